#pragma once
// The options of a check list and the text of its ticked options.
//
// The options are written "caption=value" and separated by ";"; an option that begins with
// "*" is an entry under the nearest option above it without "*", which so becomes a group:
//     "Lançamentos=100;*Ausência de Informações de CST=2;*Ausência da Base de Cálculo=6;"
// Ticking a group ticks its entries, and a group counts as ticked when all its entries are.
// The list's value is the values of its ticked options in list order, each followed by ";"
// ("100;2;6;"); nothing ticked is the empty text.
#include <QString>
#include <QStringList>
#include <vector>

struct TnOpcaoMarcacao {
    QString Caption;
    QString Valor;
    int Grupo = -1;       // position of the group the entry is under; -1: none
    bool EhGrupo = false; // has entries under it
};

// The options of that text, one per non-blank piece (also given as one piece a line). A
// piece without "=" is its own value; an entry before any group stands on its own.
std::vector<TnOpcaoMarcacao> LerOpcoesMarcacao(const QString &texto);
std::vector<TnOpcaoMarcacao> LerOpcoesMarcacao(const QStringList &pecas);

// The value of the list with `marcadas` ticked (one flag per option; missing ones unticked).
QString TextoMarcacao(const std::vector<TnOpcaoMarcacao> &opcoes, const std::vector<bool> &marcadas);

// The options a value ticks, one flag per option: those whose value is among the value's
// pieces (any case, blanks around ignored, empty pieces skipped) and the entries of a group
// among them; "0", when no option has that value, ticks every option.
std::vector<bool> MarcadasDoTexto(const std::vector<TnOpcaoMarcacao> &opcoes, const QString &texto);
