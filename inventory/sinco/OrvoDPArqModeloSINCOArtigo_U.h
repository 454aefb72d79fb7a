#pragma once
// The SINCO product register file: one line per product of the selected company (all of
// them, or those with entries of any reason in the selected branch and a period), ordered
// by product code, 73 characters: the product's update date (ddmmyyyy; none: 30121899),
// its code or reference (20) and its description (45, cut). Every line ends with CR LF, in
// ISO-8859-1.
#include "PowerParam.h"

class TOrvoDPArqModeloSINCOArtigo : public TnDMPowerParam {
public:
    TOrvoDPArqModeloSINCOArtigo();

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;
    // All products ("1"): the period is neither asked for nor read.
    void npqPowerParamParamChange(TnpqParamItem &param) override;
};
