#pragma once
// Record 0210 (SPEDFIS0210): the standard consumption of a component per unit of a
// product. TOrvoDMSpedFis0210 is its register, TOrvoDCSPEDFIS0210 its consultation.
//
// Before a row is saved: the component differs from the product, and the component is a
// product of the company whose item type (PRODUTO.INDICADORTIPO) is 0 to 5 or 10.
#include "BlocoKDeclaracoes.h"

inline constexpr char kClasseDM0210[] = "TOrvoDMSpedFis0210";
inline constexpr char kClasseDC0210[] = "TOrvoDCSPEDFIS0210";

class TOrvoDMSpedFis0210 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDM0210> {
    Q_OBJECT
public:
    TOrvoDMSpedFis0210();
    void ValidarDado() override;
};

class TOrvoDCSPEDFIS0210 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDC0210> {
    Q_OBJECT
public:
    TOrvoDCSPEDFIS0210();
};
