#pragma once
// Record K260 (SPEDFISK260): a product or input taken out of stock for reprocessing or
// repair in a competence month and its return, master of the goods the work consumed or
// returned (K265, SPEDFISK265). TOrvoDMSpedFisK260 is its register, TOrvoDCSpedFisK260 its
// consultation.
//
// The register holds its K265 register as a detail linked by the whole key, in its form or
// without one. The exit lies no later than the competence month's last day; a return lies
// in the competence month, after the exit, with a quantity above 0; an exit in the
// competence month without a return needs the production or service order. The product
// must have an accepted item type; a second row of the same competence, product and order
// gets the duplicate-key message.
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

inline constexpr char kClasseDMK260[] = "TOrvoDMSpedFisK260";
inline constexpr char kClasseDCK260[] = "TOrvoDCSpedFisK260";

class TOrvoDMSpedFisK260 : public TnModuloBlocoK<TOrvoDMSpedFisKBase, kClasseDMK260> {
    Q_OBJECT
public:
    // The link between a K260 row and its K265 rows.
    static constexpr char kLigacaoK265[] = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK260";

    TOrvoDMSpedFisK260();
    void ValidarDado() override;
    QString GetCamposChaveUNQ() const override;
};

class TOrvoDCSpedFisK260 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK260> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK260();
};
