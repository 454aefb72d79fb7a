#pragma once
// Column totals over the rows a dataset's view shows (its order, range and filter), for the
// footer of a grid: one pass over the view reading the stored column by slot, never a row
// formatted or moved to. Exact: every value is taken at the column's decimals, as its row
// shows it, and the values are added up as integers, so the total is the sum of what the
// rows show, to the cent.
#include "ClientDataSet.h"
#include "Decimal.h"

#include <QString>
#include <algorithm>
#include <array>

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
// Adds up one column's values row by row (by slot), each at the column's decimals: the
// total of any set of rows (the view's, a group's).
class TnSomador {
public:
    TnSomador(const TnClientDataSet &ds, const TnField &campo);
    void Acrescentar(qint32 s)
    {
        if (FCol->Nulo(s))
            return;
        switch (FModo) {
        case mInteiro: FSoma += FCol->Inteiro(s); break;
        case mReal: {
            const double v = FCol->Real(s);
            qint64 e = 0;
            if (nDecimal::DeRealRapido(v, FCasas, e) || nDecimal::DeReal(v, FCasas, e))
                FSoma += e;
            else
                FFalhou = true;
            break;
        }
        case mEscalaPorLinha: {
            const int e = FEscalas->Nulo(s) ? FEscalaCampo : int(std::clamp<qint64>(FEscalas->Inteiro(s), 0, 18));
            FPorEscala[size_t(e)] += FCol->Inteiro(s);
            FUsadas |= 1u << e;
            break;
        }
        }
    }
    TnTotalColuna Total() const;

private:
    enum { mInteiro, mReal, mEscalaPorLinha } FModo;
    const TnColuna *FCol;
    const TnColuna *FEscalas = nullptr;
    int FCasas, FEscalaCampo;
    // 128-bit sums: no run of 64-bit values overflows them before the end.
    __int128 FSoma = 0;
    std::array<__int128, 19> FPorEscala{};
    quint32 FUsadas = 0;
    bool FFalhou = false;
};

// The total of `campo` over the rows of the view of `ds`.
TnTotalColuna TotalizarVista(const TnClientDataSet &ds, const TnField &campo);
// The total in the column's display format (empty when it does not fit).
QString TextoDoTotal(const TnField &campo, const TnTotalColuna &total);
