#pragma once
// Record K255 (SPEDFISK255): an input consumed by a K250 production of a third party.
// TOrvoDMSpedFisK255 is its register (a detail of K250, or on its own), TOrvoDCSPEDFISK255
// its consultation. The quantity takes the quantity decimals of the row's company (3 while
// no row is loaded); the consultation keeps three. A row whose K250 row does not exist is
// refused by the database's reference.
#include "BlocoKDeclaracoes.h"
#include "QtdeCasasBlocoK.h"

inline constexpr char kClasseDMK255[] = "TOrvoDMSpedFisK255";
inline constexpr char kClasseDCK255[] = "TOrvoDCSPEDFISK255";

class TOrvoDMSpedFisK255 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDMK255> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK255();
    void ConfigurarAutoFormato(TnClientDataSet *objeto) override;
};

class TOrvoDCSPEDFISK255 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK255> {
    Q_OBJECT
public:
    TOrvoDCSPEDFISK255();
};
