#pragma once
// What the desktop offers when it asks for selection keys, users and companies, without
// widgets: the kind of value each key takes, the values read from the database (companies,
// the branches of the chosen company, users), the keys still to be chosen before a class
// opens, and the writing of the chosen values into the selection.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

enum TnTipoChaveSelecao {
    tcsLista,  // a value of a list read from the database (company, branch)
    tcsMesAno, // a month and year, its first day: the inventory period ("DataInvent")
    tcsData,   // a date (any other key beginning with "Data")
    tcsTexto   // anything else, typed
};

struct TnOpcaoSelecao {
    QVariant Valor;
    QString Texto; // "1 - Empresa Exemplo"
};

// A bound of a range: the key "X_MENORIGUAL" (any case) holds the start of a range of
// field X (start <= X), "X_MAIORIGUAL" its end (X <= end). Both are dates in the dialog, a
// register reads the rows between them (an empty bound does not filter) and a new row
// takes nothing from them.
enum TnLimiteFaixa {
    lfNenhum, // not a range key
    lfInicio, // X_MENORIGUAL
    lfFim     // X_MAIORIGUAL
};
// The bound `chave` is, and in `campo` (when given) the field X it names.
TnLimiteFaixa LimiteFaixa(const QString &chave, QString *campo = nullptr);
// Refuses a range that starts after it ends: Exception naming both bounds (their captions
// and values). Values that are not both dates or both numbers are not compared.
void ExigirFaixaValida(const QString &campo, const QVariant &inicio, const QVariant &fim);

TnTipoChaveSelecao TipoChaveSelecao(const QString &chave);
// Caption of a key in the dialog: "Empresa", "Estabelecimento", "Período do inventário";
// a range's bounds, the field's caption (the dictionary's, else its name) followed by
// " inicial" and " final".
QString RotuloChaveSelecao(const QString &chave);

// The keys of `chaves` whose selection parameter is still empty, in their order.
QStringList ChavesPendentes(const QStringList &chaves);

// The values offered for a list key: the companies, or the branches of `empresa` (when
// `empresa` is empty: of the company in the selection). Empty for other keys and when no
// connection is open.
QList<TnOpcaoSelecao> OpcoesChaveSelecao(const QString &chave, const QVariant &empresa = QVariant());

QList<TnOpcaoSelecao> EmpresasCadastradas();
QList<TnOpcaoSelecao> UsuariosCadastrados();

// Writes the chosen values into the selection; for every parameter whose value changed, the
// variables bound to it and the open modules that follow it are brought in step
// (ReconfigurarDM, reloading). A change of company also empties the branch when no branch
// comes with it: branches are numbered per company, so the old code would name another
// company's branch. A range that would start after its end (with the values given, else
// those of the selection) is refused before anything is written.
void AplicarSelecao(const QList<QPair<QString, QVariant>> &valores);

// The company, branch and inventory period the connected user worked on, kept in the
// user's preferences (section "Sessao") when the program ends and offered at the next
// start: RestaurarSelecaoDoUsuario applies those that still exist (a company that is
// gone takes its branch and period with it; a branch that is gone is left empty) and
// answers whether a company was applied. The inventory period is a month: its first day.
void GuardarSelecaoDoUsuario();
bool RestaurarSelecaoDoUsuario();
