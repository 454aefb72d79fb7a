#include "QtListaMarcacao.h"

#include <QHeaderView>
#include <QScrollBar>

TnListaMarcacao::TnListaMarcacao(QWidget *pai) : QTreeWidget(pai)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(true);
    // A group's tick changes its entries one by one: the value is reported once they all
    // have changed, and only when it differs from the last one.
    connect(this, &QTreeWidget::itemChanged, this, [this] {
        if (FAtualizando)
            return;
        const QString t = Texto();
        if (t == FUltimo)
            return;
        FUltimo = t;
        emit Alterada();
    });
}

void TnListaMarcacao::SetOpcoes(const QStringList &linhas)
{
    std::vector<TnOpcaoMarcacao> opcoes = LerOpcoesMarcacao(linhas);
    const auto mesmas = [](const TnOpcaoMarcacao &a, const TnOpcaoMarcacao &b) {
        return a.Caption == b.Caption && a.Valor == b.Valor && a.Grupo == b.Grupo;
    };
    if (std::equal(opcoes.begin(), opcoes.end(), FOpcoes.begin(), FOpcoes.end(), mesmas))
        return;
    const QString atual = Texto();
    FAtualizando = true;
    clear();
    FItens.clear();
    FOpcoes = std::move(opcoes);
    for (const TnOpcaoMarcacao &o : FOpcoes) {
        auto *item = o.Grupo >= 0 ? new QTreeWidgetItem(FItens[o.Grupo]) : new QTreeWidgetItem(this);
        item->setText(0, o.Caption);
        item->setToolTip(0, o.Caption);
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
        if (o.EhGrupo)
            f |= Qt::ItemIsAutoTristate;
        item->setFlags(f);
        item->setCheckState(0, Qt::Unchecked);
        FItens.append(item);
    }
    expandAll();
    FAtualizando = false;
    SetTexto(atual);
    updateGeometry();
}

std::vector<bool> TnListaMarcacao::Marcadas() const
{
    std::vector<bool> m(FOpcoes.size(), false);
    for (size_t i = 0; i < FOpcoes.size(); ++i)
        m[i] = FItens[int(i)]->checkState(0) == Qt::Checked;
    return m;
}

QString TnListaMarcacao::Texto() const
{
    return TextoMarcacao(FOpcoes, Marcadas());
}

void TnListaMarcacao::SetTexto(const QString &texto)
{
    const std::vector<bool> m = MarcadasDoTexto(FOpcoes, texto);
    FAtualizando = true;
    // A group's tick follows its entries.
    for (size_t i = 0; i < FOpcoes.size(); ++i)
        if (!FOpcoes[i].EhGrupo)
            FItens[int(i)]->setCheckState(0, m[i] ? Qt::Checked : Qt::Unchecked);
    FAtualizando = false;
    FUltimo = Texto();
}

QSize TnListaMarcacao::sizeHint() const
{
    // Every row and the widest caption, with the frame around them.
    int altura = 0;
    int largura = 0;
    for (QTreeWidgetItem *item : FItens) {
        const QModelIndex i = indexFromItem(item);
        const QSize s = sizeHintForIndex(i);
        altura += s.height();
        int nivel = 0;
        for (QTreeWidgetItem *p = item->parent(); p; p = p->parent())
            ++nivel;
        largura = std::max(largura, s.width() + nivel * indentation());
    }
    if (FItens.isEmpty())
        altura = fontMetrics().height();
    const int moldura = 2 * frameWidth();
    return QSize(largura + moldura + 4, altura + moldura + 2);
}

QSize TnListaMarcacao::minimumSizeHint() const
{
    return sizeHint();
}
