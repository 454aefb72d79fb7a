#pragma once
// Record K220 (SPEDFISK220): a movement between two products of the stock.
// TOrvoDMSpedFisK220 is its register, TOrvoDCSPEDFISK220 its consultation. Both quantities
// take the company's quantity decimals; origin and destination must differ.
#include "BlocoKDeclaracoes.h"
#include "QtdeCasasBlocoK.h"

inline constexpr char kClasseDMK220[] = "TOrvoDMSpedFisK220";
inline constexpr char kClasseDCK220[] = "TOrvoDCSPEDFISK220";

class TOrvoDMSpedFisK220 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDMK220> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK220();
    void ConfigurarCampo(TnClientDataSet *objeto) override;
    void ValidarDado() override;
};

class TOrvoDCSPEDFISK220 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDCK220> {
    Q_OBJECT
public:
    TOrvoDCSPEDFISK220();
    void ConfigurarCampo(TnClientDataSet *objeto) override;
};
