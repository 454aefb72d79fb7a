#pragma once
// Record K265 (SPEDFISK265): goods a K260 reprocessing or repair consumed or returned.
// TOrvoDMSpedFisK265 is its register (a detail of K260, or on its own), TOrvoDCSpedFisK265
// its consultation.
//
// The goods differ from the reprocessed product: the master's product, or, on its own, the
// product of the K260 row its link key names (one keyed read). A consumed or a returned
// quantity above 0 is required, and the product must have an accepted item type. A row
// whose K260 row does not exist is refused by the database's reference.
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

inline constexpr char kClasseDMK265[] = "TOrvoDMSpedFisK265";
inline constexpr char kClasseDCK265[] = "TOrvoDCSpedFisK265";

class TOrvoDMSpedFisK265 : public TnModuloBlocoK<TOrvoDMSpedFisKBase, kClasseDMK265> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK265();
    void ValidarDado() override;
    // The detail's rows carry no natural key of their own: the primary key's captions.
    QString GetCamposChaveUNQ() const override;
};

class TOrvoDCSpedFisK265 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK265> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK265();
};
