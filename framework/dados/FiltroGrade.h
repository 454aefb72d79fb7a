#pragma once
// The filter a user sets on a grid, column by column: values chosen among those present, a
// text contained, a range of numbers or dates. Every condition must hold. It filters the
// dataset's own view (SetOnFilterRecord), so order, totals and reading stay those of the
// dataset; the grid's filter owns the dataset's record filter while it is applied.
#include "ClientDataSet.h"

#include <QString>
#include <vector>

struct TnCondicaoColuna {
    QString Campo;
    // The values chosen (a row passes holding one of them); empty: no such condition.
    std::vector<TnCelula> Valores;
    // Text the row's value shows, letter case ignored; empty: none.
    QString Contem;
    // A range of numbers or dates, bounds included; a null bound leaves that side open.
    // Numbers in F, dates as Julian days in I.
    TnCelula De, Ate;
    bool Vazia() const { return Valores.empty() && Contem.isEmpty() && De.Nulo && Ate.Nulo; }
};

class TnFiltroGrade {
public:
    // Sets the condition of its column (an empty one takes it away).
    void Definir(const TnCondicaoColuna &c);
    void Retirar(const QString &campo);
    void Limpar() { FCondicoes.clear(); }
    bool Ativo() const { return !FCondicoes.empty(); }
    const TnCondicaoColuna *Condicao(const QString &campo) const;
    // What the filter asks, for the user: "Descrição contém "porca"; Valor Total de 10,00 até 20,00".
    QString Descricao(const TnClientDataSet &ds) const;
    // Filters the dataset's view by the conditions (none: the view shows every row again).
    void Aplicar(TnClientDataSet &ds) const;
    // Whether the dataset's current row (as its fields read it) passes.
    bool Aceita(const TnClientDataSet &ds) const;

private:
    std::vector<TnCondicaoColuna> FCondicoes;
};

// The distinct values of a field among the rows the view shows, in order, at most `maximo`
// (`mais` tells whether there were others); a null value counts as one.
std::vector<TnCelula> ValoresDaColuna(const TnClientDataSet &ds, const TnField &campo, int maximo, bool &mais);
// A value as the column shows it (for the list of values present).
QString TextoDoValor(const TnField &campo, const TnCelula &valor);
// Reads a bound typed by the user for the field's range (a number, or a date "dd/mm/yyyy");
// false when it does not read.
bool LerLimite(const TnField &campo, const QString &texto, TnCelula &limite);
