#pragma once
// Record K230 (SPEDFISK230): an item produced under a production order, master of its
// inputs (K235, SPEDFISK235). TOrvoDMSpedFisK230 is its register, TOrvoDCSPEDFISK230 its
// consultation.
//
// The register holds its K235 register as a detail linked by the whole key, in its form or
// without one. The start date is required unless the order code is "0" (an empty code
// requires it too). The quantity takes the company's quantity decimals.
#include "BlocoKDeclaracoes.h"
#include "QtdeCasasBlocoK.h"

inline constexpr char kClasseDMK230[] = "TOrvoDMSpedFisK230";
inline constexpr char kClasseDCK230[] = "TOrvoDCSPEDFISK230";

class TOrvoDMSpedFisK230 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDMK230> {
    Q_OBJECT
public:
    // The link between a K230 row and its K235 rows.
    static constexpr char kLigacaoK235[] = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOORDEMPRODUCAO;CODIGOPRODUTO";

    TOrvoDMSpedFisK230();
    void ConfigurarAutoRequerido(TnClientDataSet *objeto) override;
    // The requirement follows each row: a new row does not keep the previous row's.
    void ConfigurarCampo(TnClientDataSet *objeto) override;
    void ConfigurarAutoFormato(TnClientDataSet *objeto) override;
    TnDMClientDataSet *DMK235() const { return FDMK235; }

protected:
    void nClientDataSetCampoChange(TnField &campo) override;

private:
    TnDMClientDataSet *FDMK235 = nullptr;
};

class TOrvoDCSPEDFISK230 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDCK230> {
    Q_OBJECT
public:
    TOrvoDCSPEDFISK230();
    void ConfigurarCampo(TnClientDataSet *objeto) override;
};
