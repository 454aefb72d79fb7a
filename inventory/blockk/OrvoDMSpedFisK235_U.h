#pragma once
// Record K235 (SPEDFISK235): an input consumed by a K230 production order. TOrvoDMSpedFisK235
// is its register (a detail of K230, or on its own), TOrvoDCSPEDFISK235 its consultation.
//
// The component checked against record 0210 of the produced item is the substitute when
// one is given, else the component itself: a substitute must be registered in 0210 for
// that item, and the component it replaced is then not looked up.
#include "BlocoKDeclaracoes.h"
#include "QtdeCasasBlocoK.h"

inline constexpr char kClasseDMK235[] = "TOrvoDMSpedFisK235";
inline constexpr char kClasseDCK235[] = "TOrvoDCSPEDFISK235";

class TOrvoDMSpedFisK235 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDMK235> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK235();
    void ConfigurarAutoFormato(TnClientDataSet *objeto) override;
    void ValidarDado() override;
    // EnField on `coluna` unless 0210 holds the row's company, branch and product with the
    // component in `coluna` (one keyed statement, values bound).
    void ValidarProdutoSPEDFIS0210(const QString &coluna);
};

class TOrvoDCSPEDFISK235 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDCK235> {
    Q_OBJECT
public:
    TOrvoDCSPEDFISK235();
};
