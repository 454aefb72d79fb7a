#pragma once
// A check list (ListaMarcacao.h) as a tree: a group is a parent item whose tick follows
// its entries (ticked, partly, not) and ticks or unticks them all; its entries are under
// it. Every option shows at once (the tree takes the height of all its rows, nothing
// folds); the space bar ticks the current option.
#include "ListaMarcacao.h"

#include <QTreeWidget>

class TnListaMarcacao : public QTreeWidget {
    Q_OBJECT
public:
    explicit TnListaMarcacao(QWidget *pai = nullptr);

    // The options, "caption=value" one a line ("*" an entry of the group above); the ticks
    // of the values still among them stay.
    void SetOpcoes(const QStringList &linhas);
    const std::vector<TnOpcaoMarcacao> &Opcoes() const { return FOpcoes; }
    // The values of the ticked options, each followed by ";"; empty when none is ticked.
    QString Texto() const;
    // Ticks what that value ticks (MarcadasDoTexto), without Alterada.
    void SetTexto(const QString &texto);
    // The item of an option (its position in Opcoes()).
    QTreeWidgetItem *Item(int opcao) const { return FItens.value(opcao); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user changed the ticks (once per change, with the whole new value).
    void Alterada();

private:
    std::vector<bool> Marcadas() const;
    std::vector<TnOpcaoMarcacao> FOpcoes;
    QList<QTreeWidgetItem *> FItens;
    QString FUltimo;           // the value last reported or set
    bool FAtualizando = false; // the program is ticking: no Alterada
};
