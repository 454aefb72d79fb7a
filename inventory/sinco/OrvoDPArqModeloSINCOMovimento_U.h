#pragma once
// The SINCO inventory movement file: one line per entry of reason 1 (end of period) of the
// selected company and branch in a period, ordered by date and product, 66 characters:
// date (ddmmyyyy), the product group's SINCO type (1, blank when none), the product's code
// or reference (20), its unit (3, cut), the quantity (14 integer and 3 decimal digits) and
// the value, the exact product of unit cost and quantity (15 and 2), numbers zero-filled
// without a mark.
// Every line ends with CR LF, in ISO-8859-1.
#include "PowerParam.h"

class TOrvoDPArqModeloSINCOMovimento : public TnDMPowerParam {
public:
    TOrvoDPArqModeloSINCOMovimento();

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;
};
