#pragma once
// Creation of the missing property lines: every entry of one company, branch, month and
// reason that has no property line gets one (sequence 1) with the chosen indicator,
// participant and account and the entry's quantity, unit cost and IR value.
//
// The lines are written by one statement inside one transaction: all of them or, on a
// failure, none (the message tree then says why and that the process was cancelled).
#include "PowerParam.h"

class TOrvoDPIncluirLCTOINVPROPRIEDADE : public TnDMPowerParam {
public:
    TOrvoDPIncluirLCTOINVPROPRIEDADE();

    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;
    // The participant is asked for (enabled and required) unless the stock is the
    // taxpayer's own (indicator 0).
    void npqPowerParamParamChange(TnpqParamItem &param) override;

    // The statement that writes the missing lines, its values in `valores`, in order.
    // EnParam for a parameter that does not hold what it must (a month, a number).
    QString MontarInsertLctoInvPropriedade(QVariantList &valores) const;
    // Runs it in transaction 1 and reports the lines written, or the failure (rolled back).
    void GravarDados(const QString &sql, const QVariantList &valores);
};
