#pragma once
// The main menu without widgets: where each action goes and in which order.
//
// Placement. An action's category path is split at '\'. Each segment is "NN Name" (a
// numeric prefix, blanks, the name) or just "Name". The first segment names the top-level
// item: the main form's items are matched by name, ignoring the prefix, the accelerator '&',
// surrounding blanks and letter case ("02 Movimentos" and "20 Movimentos" both go under
// "&Movimentos"). A name that matches no item of the form becomes a new top-level item
// after the form's own. Each further segment is a submenu; submenus of one parent are
// merged by name the same way, so "01 Cadastros\35 -SPED" and "01 Cadastros\45 -SPED" share
// one "-SPED" submenu. The action is the leaf under the last segment. An action with an
// empty category has no menu entry.
//
// Order (AntesNoMenu, the only place the rule is written). The form's top-level items keep
// the form's order. Inside a menu, entries are sorted by position: a submenu's position is
// its numeric prefix (the smallest one when merged; none sorts after every number), an
// action's position is its menu index. At the same position submenus come before actions,
// then captions in alphabetical order (ignoring case), then the order in which they came.
#include "Acoes.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One segment of a category path: "20 Movimentos" -> {20, "Movimentos"}; "Utilitários" ->
// {-1, "Utilitários"}.
struct TnSegmentoCategoria {
    int Prefixo = -1;
    QString Nome;
};
TnSegmentoCategoria DividirSegmento(const QString &segmento);
// The form of a name used to match items: without '&', trimmed, case-folded.
QString ChaveNomeMenu(const QString &nome);

class TnItemMenu {
public:
    QString Caption;          // submenu: the name after the prefix; action: its caption
    int Posicao = 0;          // see the order rule above
    QPointer<TnAction> Acao;  // an action's entry: the action, null once it was deleted
    bool Folha = false;       // an action's entry (else a submenu)
    std::vector<std::unique_ptr<TnItemMenu>> Itens;

    bool EhSubmenu() const { return !Folha; }
    const TnItemMenu *Filho(const QString &nome) const; // submenu or action caption, by ChaveNomeMenu
};

// True when `a` comes before `b` inside one menu.
bool AntesNoMenu(const TnItemMenu &a, const TnItemMenu &b);

class TnMenuModelo {
public:
    // The main form's top-level items, in the form's order ("&Cadastros", "&Movimentos"...).
    explicit TnMenuModelo(const QStringList &itensPrincipais);

    // Rebuilds the tree from the actions of the list (the entries refer to the actions, so
    // rebuild after the list changes: TnActionList::Alterada).
    void Montar(const TnActionList &acoes);

    const std::vector<std::unique_ptr<TnItemMenu>> &Itens() const { return FRaiz.Itens; }
    // The entry at a '\'-separated path of names ("Movimentos\Consultas\Lançamentos do
    // Inventário"), matched by ChaveNomeMenu; nullptr when absent.
    const TnItemMenu *Item(const QString &caminho) const;

private:
    void Montar(const QList<TnAction *> &acoes);
    QStringList FPrincipais;
    TnItemMenu FRaiz;
};
