#pragma once
// Record K280 (SPEDFISK280): a correction of the stock recorded at the end of an earlier
// period. TOrvoDMSpedFisK280 is its register, TOrvoDCSpedFisK280 its consultation.
//
// The stock date lies before the competence month's first day, whatever day the
// competence was stored on; the product must have an accepted item type; a correction is
// positive or negative, never both. Stock held by or for third parties (types 1 and 2)
// names its participant: the field is required while the type says so and the row is
// checked again before it is saved. A second row of the same competence, stock date, type,
// product and participant gets the duplicate-key message.
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

inline constexpr char kClasseDMK280[] = "TOrvoDMSpedFisK280";
inline constexpr char kClasseDCK280[] = "TOrvoDCSpedFisK280";

class TOrvoDMSpedFisK280 : public TnModuloBlocoK<TOrvoDMSpedFisKBase, kClasseDMK280> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK280();
    // The participant is required exactly when the stock type is 1 or 2.
    void ConfigurarAutoRequerido(TnClientDataSet *objeto) override;
    // The requirement follows each row: a new row does not keep the previous row's.
    void ConfigurarCampo(TnClientDataSet *objeto) override;
    void ValidarDado() override;
    QString GetCamposChaveUNQ() const override;

protected:
    void nClientDataSetCampoChange(TnField &campo) override;

private:
    bool ParticipanteExigido() const;
};

class TOrvoDCSpedFisK280 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK280> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK280();
};
