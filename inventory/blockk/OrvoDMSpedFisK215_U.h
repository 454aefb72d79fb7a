#pragma once
// Record K215 (SPEDFISK215): a product a K210 disassembly gave. TOrvoDMSpedFisK215 is its
// register (a detail of K210, or on its own), TOrvoDCSpedFisK215 its consultation.
//
// The destination differs from the origin: the master's product, or, on its own, the
// product of the K210 row its link key names (one keyed read). A row whose K210 row does
// not exist is refused by the database's reference.
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

inline constexpr char kClasseDMK215[] = "TOrvoDMSpedFisK215";
inline constexpr char kClasseDCK215[] = "TOrvoDCSpedFisK215";

class TOrvoDMSpedFisK215 : public TnModuloBlocoK<TOrvoDMSpedFisKBase, kClasseDMK215> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK215();
    void ValidarDado() override;
    // The detail's rows carry no natural key of their own: the primary key's captions.
    QString GetCamposChaveUNQ() const override;

private:
    // The origin product of the row's K210 row (false when there is none).
    bool ProdutoOrigem(qint64 &produto) const;
};

class TOrvoDCSpedFisK215 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK215> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK215();
};
