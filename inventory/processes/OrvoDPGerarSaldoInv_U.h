#pragma once
// Balance roll-up over the product-group chart: the inventory entries of one date valued per
// group and rolled up the company's chart, per company and branch.
//
// For every selected company and every branch of it with entries at the date (of the
// reason, when one is chosen) the result holds one row per group of the company's chart,
// or of its part whose classification begins with the given prefix (compared as text, letter
// case included), in chart order (classification, type, description, code):
// - an analytic group is worth the sum of its entries' quantity times unit cost, each
//   product rounded to the company's cost decimals (2 without settings);
// - a synthetic group (TIPOGRUPOPRODUTO 1) is worth the sum of the totals of the groups
//   below it, its own entries included; a classification held by two synthetic groups
//   gives both the sum;
// - TOTALESTAB is the branch's total: the sum of the totals of the groups of the chart set.
// An entry whose product has no group, or a group outside the set, counts nowhere. A group
// with entries whose parent levels (up to the prefix's parent, or the top) are not synthetic
// groups of the set stops the run with the structure message; the rows of the branches done
// before stay. Values are exact at each company's decimals: each entry's product exact and
// rounded half away from zero, the sums in whole numbers of the company's smallest unit; a
// value beyond numeric(18, the company's decimals) stops the run naming company and group.
//
// The run only reads. Each run starts from an empty result, which stays in the module for
// the report of the process; its message list says how many rows and branches it holds.
#include "PowerParam.h"

#include <memory>

inline constexpr char OrvoSEstruturaPlanoContas[] =
    "Não foi possível totalizar o plano de contas por problema na estrutura.";
inline constexpr char OrvoSDataInicialInvalida[] = "Informe uma data válida em \"Data Inicial\".";
inline constexpr char OrvoSValorForaDoLimite[] =
    "O valor do grupo %1 da empresa %2 (estabelecimento %3) ultrapassa o limite de 18 dígitos.";
inline constexpr char OrvoSSaldoResultado[] =
    "%1 grupo(s) valorado(s) em %2 estabelecimento(s). Use \"Relatório\" para ver e imprimir.";
inline constexpr char OrvoSSaldoSemLancamentos[] = "Nenhum estabelecimento tem lançamentos na data informada.";

class TOrvoDPGerarSaldoInv : public TnDMPowerParam {
public:
    TOrvoDPGerarSaldoInv();
    ~TOrvoDPGerarSaldoInv() override;

    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;

    // The result of the last run: CODIGOEMPRESA, CODIGOESTAB, CODIGOGRUPOPRODUTO,
    // CLASSIFGRUPOPRODUTO, TIPOGRUPOPRODUTO, DESCRGRUPOPRODUTO, VALORLCTO, TOTALESTAB, and
    // the hidden CASASDECIMAIS: the company's cost decimals, at which the row's two values
    // are numeric(18, CASASDECIMAIS) each. Not open before the first run.
    TnClientDataSet &nClientDataSetGrupoProduto() { return *FResultado; }

    // The report: per company and branch, the groups indented by level, the synthetic ones
    // in bold, the values at the company's decimals, closed by the branch's total.
    TnClientDataSet *DadosRelatorio() override { return FResultado.get(); }
    const TnDefRelatorio *DefRelatorio() const override { return &FDefRelatorio; }

    // A company and branch to value, with the company's cost decimals.
    struct Estab;

private:
    struct Plano;
    // Appends the branch's rows; false when it has no entries (and so no rows).
    bool Totalizar(const Plano &plano, const Estab &estab, TnComando &lancamentos, const QDate &data);

    QString FNivelClassif;
    int FMotivoInventario = 0;
    std::unique_ptr<TnClientDataSet> FResultado;
    TnDefRelatorio FDefRelatorio;
};
