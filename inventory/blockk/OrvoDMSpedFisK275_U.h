#pragma once
// Record K275 (SPEDFISK275): a component a K270 correction corrects or returns.
// TOrvoDMSpedFisK275 is its register (a detail of K270, or on its own), TOrvoDCSpedFisK275
// its consultation.
//
// The component is goods for resale, a by-product or another input (item types 0, 5 and
// 10); a correction is positive or negative, never both. A replaced component is given
// only when the correction's origin is K230/K235 (1) or K250/K255 (2): the origin of the
// master's row, or, on its own, of the K270 row its link key names (one keyed read). A row
// whose K270 row does not exist is refused by the database's reference.
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

inline constexpr char kClasseDMK275[] = "TOrvoDMSpedFisK275";
inline constexpr char kClasseDCK275[] = "TOrvoDCSpedFisK275";

class TOrvoDMSpedFisK275 : public TnModuloBlocoK<TOrvoDMSpedFisKBase, kClasseDMK275> {
    Q_OBJECT
public:
    // The item types K275 accepts: {0, 5, 10}.
    static constexpr quint32 kTipos = 1057;
    // "O produto informado deve fazer parte á um dos seguintes tipos de mercadoria:" and
    // the three type names, one per line.
    static QString MensagemTipo();

    TOrvoDMSpedFisK275();
    void ValidarDado() override;
    // The detail's rows carry no natural key of their own: the primary key's captions.
    QString GetCamposChaveUNQ() const override;
};

class TOrvoDCSpedFisK275 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK275> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK275();
};
