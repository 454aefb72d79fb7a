#pragma once
// Column totals over the rows a dataset's view shows (its order, range and filter), for the
// footer of a grid: one pass over the view reading the stored column by slot, never a row
// formatted or moved to. Exact: every value is taken at the column's decimals, as its row
// shows it, and the values are added up as integers, so the total is the sum of what the
// rows show, to the cent.
#include "ClientDataSet.h"

#include <QString>

struct TnTotalColuna {
    qint64 Escalado = 0; // the sum scaled by 10^Escala
    int Escala = 0;
    bool Estouro = false; // the sum does not fit 18 digits (or a value could not be read)
};

// The columns a grid totals: doubles and numerics that are not the codes of a value list.
bool EhColunaDeValor(const TnField &f);
// Decimals a column is totalled at: a numeric at its scale (rows of a field with decimals per
// row each at their own, the sum at the largest of them), a whole number at none, a double at
// the decimals its display format shows (6 without a format).
int CasasDoTotal(const TnField &f);
// The total of `campo` over the rows of the view of `ds`.
TnTotalColuna TotalizarVista(const TnClientDataSet &ds, const TnField &campo);
// The total in the column's display format (empty when it does not fit).
QString TextoDoTotal(const TnField &campo, const TnTotalColuna &total);
