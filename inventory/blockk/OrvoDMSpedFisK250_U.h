#pragma once
// Record K250 (SPEDFISK250): an item a third party produced for the branch, master of the
// inputs it consumed (K255, SPEDFISK255). TOrvoDMSpedFisK250 is its register,
// TOrvoDCSPEDFISK250 its consultation.
//
// The register holds its K255 register as a detail linked by the whole key, in its form or
// without one; it starts no new row by itself when it opens empty. The quantity takes the
// quantity decimals of the row's company (3 while no row is loaded); the consultation
// keeps three.
#include "BlocoKDeclaracoes.h"
#include "QtdeCasasBlocoK.h"

inline constexpr char kClasseDMK250[] = "TOrvoDMSpedFisK250";
inline constexpr char kClasseDCK250[] = "TOrvoDCSPEDFISK250";

class TOrvoDMSpedFisK250 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDMK250> {
    Q_OBJECT
public:
    // The link between a K250 row and its K255 rows.
    static constexpr char kLigacaoK255[] = "CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO;CODIGOPRODUTO";

    TOrvoDMSpedFisK250();
    void ConfigurarAutoFormato(TnClientDataSet *objeto) override;
};

class TOrvoDCSPEDFISK250 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK250> {
    Q_OBJECT
public:
    TOrvoDCSPEDFISK250();
};
