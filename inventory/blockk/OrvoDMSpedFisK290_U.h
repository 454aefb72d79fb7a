#pragma once
// Record K290 (SPEDFISK290): a joint-production order, with its produced items (K291,
// SPEDFISK291) and consumed components (K292, SPEDFISK292) as details on two tab pages.
// The order's SEQK290 is the next number within company, branch and competence; the items
// take it, with the rest of the order's key, from the order.
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

inline constexpr char kClasseDMK290[] = "TOrvoDMSpedFisK290";
inline constexpr char kClasseDCK290[] = "TOrvoDCSpedFisK290";
inline constexpr char kClasseDMK291[] = "TOrvoDMSpedFisK291";
inline constexpr char kClasseDCK291[] = "TOrvoDCSpedFisK291";
inline constexpr char kClasseDMK292[] = "TOrvoDMSpedFisK292";
inline constexpr char kClasseDCK292[] = "TOrvoDCSpedFisK292";

class TOrvoDMSpedFisK290 : public TnModuloBlocoK<TOrvoDMSpedFisKBase, kClasseDMK290> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK290();
    void DepoisConfigurar(TnFormModulo *form) override;
    QString GetCamposChaveUNQ() const override;
};

class TOrvoDCSpedFisK290 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK290> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK290();
};

class TOrvoDMSpedFisK291 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDMK291> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK291();
};

class TOrvoDCSpedFisK291 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK291> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK291();
};

class TOrvoDMSpedFisK292 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDMK292> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK292();
};

class TOrvoDCSpedFisK292 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK292> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK292();
};
