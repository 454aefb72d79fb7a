#pragma once
// Mass change of the property lines (LCTOINVPROPRIEDADE): either the property indicator or
// the accounting account of the lines that meet the filters (company, branch, month,
// product or product group, sequence and the column's current value) is set to a new value.
//
// The change is one statement, the same on both engines, that reaches exactly the lines
// meeting every filter; the result message counts the lines it changed. Every failure
// (a missing company or branch, equal current and new values, a text that is no number, a
// database error) ends as one error line of the message list, and nothing is changed.
#include "PowerParam.h"

class TOrvoDPManutencaoLctoProp : public TnDMPowerParam {
public:
    TOrvoDPManutencaoLctoProp();

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;
    // The product is offered only without a group (a group clears it); the current and new
    // accounts or indicators follow the column chosen to change.
    void npqPowerParamParamChange(TnpqParamItem &param) override;

    // ---- the steps of a run
    // Reads and checks the parameters; sets the column to change and its new value.
    void SetParams();
    // The change statement with its values in `valores`, in order.
    QString MontarSQLLctoProp(QVariantList &valores) const;
    // The condition on the column's current value ("" when none applies).
    QString MontarFiltroValorAtual(QVariantList &valores) const;
    // Runs the change; the lines changed are counted.
    void PrepararSQLS();
    // The result line of the message list.
    void ConfigurarMsg();

    int QtdeRegistro() const { return FQtdeRegistro; }

private:
    QString FEmpresa;  // as typed
    QString FEstab;    // as typed
    QString FCampo;    // the column to change
    int FQtdeRegistro = 0;
    int FCampoAlterar = 0; // 1 indicator, 2 account
    qint64 FValorContaAtual = 0;
    qint64 FValorContaNovo = 0;
    qint64 FValorNovo = 0;
    int FIndAtual = 0;
    int FIndNovo = 0;
};
