#pragma once
// Clearing of inventory entries: the active company's entries of a period of months (the
// first day of the initial month to the last day of the final month), branches, users,
// products, product groups (their analytic groups) and SYN identifiers are deleted with
// their property and tax-situation lines; on request their products go too, within the
// user and product filters.
//
// Everything is deleted set-based in one transaction: a product still used by entries left
// outside the deletion is kept and listed; any other refusal of the database rolls the whole
// clearing back and is reported as a failure, with no closing lines. The count reported is
// the number of entries really deleted. A product-group filter that reaches no analytic
// group deletes nothing and says so. A run on behalf of the SYN integration ("ehViaSYN"
// "1") takes no period.
#include "PowerParam.h"
#include "ProcessoInvComum.h"

#include <QList>
#include <QStringList>

inline constexpr char OrvoSAtencaoLimpaLcto[] =
    "Atenção: os registros excluídos não poderão ser recuperados sem uma cópia de segurança do banco de dados.";
inline constexpr char OrvoSDesejaExcluirLcto[] =
    "Deseja excluir os lançamentos do inventário que atendem aos filtros informados?";
inline constexpr char OrvoSLimpaDataInventIniInvalido[] =
    "Período inicial a limpar inválido. Informe o mês e o ano no formato mm/aaaa.";
inline constexpr char OrvoSLimpaDataInventFimInvalido[] =
    "Período final a limpar inválido. Informe o mês e o ano no formato mm/aaaa.";
inline constexpr char OrvoSLimpaDataInventInvalido[] = "O período inicial a limpar é posterior ao período final.";
inline constexpr char OrvoSLctoAfetadosNaLimpeza[] = "Lançamentos do inventário excluídos: %1.";
inline constexpr char OrvoSErroExcluindoProdutoInv[] =
    "O produto %1 - %2 não foi excluído: ainda há lançamentos do inventário dele fora da limpeza.";
inline constexpr char OrvoSGruposSemAnaliticos[] =
    "Os grupos de produtos informados não têm grupos analíticos: nenhum lançamento foi excluído.";
inline constexpr char OrvoSLimpezaDesfeita[] = "A limpeza foi desfeita, nada foi excluído: %1";

class TOrvoDPLimparLctoInv : public TnDMPowerParam {
    Q_OBJECT
public:
    TOrvoDPLimparLctoInv();

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void ValidarDado() override;
    void Executar() override;
    void DepoisConfigurar(TnFormModulo *form) override;

    // The condition "column holds one of the values", as a disjunction of lists of at most
    // `tamanho` values each: "((COL in (...)) or (COL in (...)))". Values are separated by
    // ";" or ","; blank ones are dropped before the lists are cut. Empty values: "". A value
    // that is no number raises EConvertError naming it.
    Q_INVOKABLE QString CriarIn(const QString &coluna, const QString &valores, int tamanho) const;
    // Consecutive slices of at most `tamanho` values; the last holds what is left.
    Q_INVOKABLE QList<QStringList> Split(const QStringList &valores, int tamanho) const;
    Q_INVOKABLE QString Join(const QString &separador, const QStringList &valores) const;
    // The line of a product the database would not delete: its code and description.
    void nClientDataSetReconcileError(qint64 produto, const QString &descricao);

private:
    QString Condicao(const char *alias, const QString &coluna) const;
};
