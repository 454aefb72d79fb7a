#pragma once
// Groups of the rows a dataset's view shows, by one field or several nested: one pass over
// the view, which must be in the fields' order (the dataset's index starts with them), marks
// where each group's rows start and end and adds up its totals (TnSomador, exact at each
// column's decimals). The rows stay in the dataset: a group holds positions of the view.
#include "TotaisVista.h"

#include <QStringList>
#include <vector>

struct TnGrupo {
    qsizetype Inicio = 0, Fim = 0; // positions of its rows in the view, [Inicio, Fim)
    int Nivel = 0;                 // the position of its field among those grouped by
    TnCelula Valor;                // its field's value
    std::vector<TnTotalColuna> Totais; // one per field totalled, in their order
    std::vector<TnGrupo> Subgrupos;    // by the next field; none at the last level
    const TnGrupo *Pai = nullptr;      // null at the first level
    int Linha = 0;                     // its place among its parent's groups
    qsizetype Quantidade() const { return Fim - Inicio; }
};

// The groups of the view of `ds` by `campos` (field names), nested in their order, with the
// totals of `totais`. Exception when the view is not in the order of `campos` (a group would
// be split) or a field is unknown.
std::vector<TnGrupo> AgruparVista(const TnClientDataSet &ds, const QStringList &campos, const QStringList &totais);
// The index that puts a view in the order of `campos`, keeping the order it had within each
// group: `campos` followed by the fields of `indiceAtual` not among them.
QString IndiceDoAgrupamento(const QStringList &campos, const QString &indiceAtual);
