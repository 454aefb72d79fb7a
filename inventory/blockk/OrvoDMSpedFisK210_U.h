#pragma once
// Record K210 (SPEDFISK210): a product taken apart in a competence month, master of the
// products it gave (K215, SPEDFISK215). TOrvoDMSpedFisK210 is its register,
// TOrvoDCSpedFisK210 its consultation.
//
// The register holds its K215 register as a detail linked by the whole key, in its form or
// without one. A service order and its start date go together: either one filled requires
// the other. The start lies no later than the competence month's last day; a conclusion
// lies in the competence month and not before the start. The origin product must have an
// accepted item type; a second row of the same competence, product and service order gets
// the duplicate-key message.
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

inline constexpr char kClasseDMK210[] = "TOrvoDMSpedFisK210";
inline constexpr char kClasseDCK210[] = "TOrvoDCSpedFisK210";

class TOrvoDMSpedFisK210 : public TnModuloBlocoK<TOrvoDMSpedFisKBase, kClasseDMK210> {
    Q_OBJECT
public:
    // The link between a K210 row and its K215 rows.
    static constexpr char kLigacaoK215[] = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210";

    TOrvoDMSpedFisK210();
    void ConfigurarAutoRequerido(TnClientDataSet *objeto) override;
    // The requirement follows each row: a new row does not keep the previous row's.
    void ConfigurarCampo(TnClientDataSet *objeto) override;
    void ValidarDado() override;
    QString GetCamposChaveUNQ() const override;

protected:
    void nClientDataSetCampoChange(TnField &campo) override;
};

class TOrvoDCSpedFisK210 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK210> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK210();
};
