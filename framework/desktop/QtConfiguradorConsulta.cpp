#include "QtConfiguradorConsulta.h"

#include "Interacao.h"
#include "QtGrade.h"
#include "QtInteracao.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char *const kOperadores[] = {"Igual", "Entre", "Lista", "Contém"};
constexpr int kPapelCampo = Qt::UserRole;
constexpr int kPapelCalculado = Qt::UserRole + 1;

QString TextoOperador(TnOperadorFiltro o) { return QString::fromUtf8(kOperadores[o]); }

// The filter's operator is picked in a list: every operator, or equal and range only for a
// computed field.
class TnDelegadoOperador : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *pai, const QStyleOptionViewItem &, const QModelIndex &indice) const override
    {
        auto *c = new QComboBox(pai);
        const int n = indice.siblingAtColumn(0).data(kPapelCalculado).toBool() ? 2 : 4;
        for (int i = 0; i < n; ++i)
            c->addItem(QString::fromUtf8(kOperadores[i]));
        return c;
    }
    void setEditorData(QWidget *editor, const QModelIndex &indice) const override
    {
        auto *c = static_cast<QComboBox *>(editor);
        c->setCurrentIndex(std::max(0, c->findText(indice.data().toString())));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *modelo, const QModelIndex &indice) const override
    {
        modelo->setData(indice, static_cast<QComboBox *>(editor)->currentText());
    }
};

TnTotalConsulta TotalDaColuna(int coluna)
{
    switch (coluna) {
    case TnFrmConfiguradorConsulta::ccSomar: return ntcSoma;
    case TnFrmConfiguradorConsulta::ccContar: return ntcContagem;
    case TnFrmConfiguradorConsulta::ccMinimo: return ntcMinimo;
    case TnFrmConfiguradorConsulta::ccMaximo: return ntcMaximo;
    case TnFrmConfiguradorConsulta::ccMedia: return ntcMedia;
    default: return ntcNenhum;
    }
}

// A label that puts the focus on `alvo` by its Alt letter.
QLabel *Rotulo(const QString &texto, QWidget *alvo, QWidget *pai)
{
    auto *l = new QLabel(texto, pai);
    l->setBuddy(alvo);
    return l;
}

// An action of a widget only (Del on a list), shown in its tooltip.
void AtalhoDoWidget(QWidget *w, const QKeySequence &tecla, const std::function<void()> &f)
{
    auto *a = new QAction(w);
    a->setShortcut(tecla);
    a->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(a, &QAction::triggered, w, f);
    w->addAction(a);
}

} // namespace

TnFrmConfiguradorConsulta::TnFrmConfiguradorConsulta(TnDPConfiguradorConsultaPersonalizada *dm, QWidget *pai)
    : TnFrmModulo(dm, pai), FDesenho(dm)
{
    setWindowTitle(dm->Caption());
    resize(1100, 680);
    dm->ConfigurarForm(this, [this] { Construir(); });
    Construir();
    TnFormConfiguradorConsulta &form = dm->FormConfigurador();
    form.OnNavBarAlterada = [this] { MostrarNavBar(); };
    form.OnMostrarSQL = [this](const QString &sql) {
        QDialog caixa(this);
        caixa.setObjectName(QStringLiteral("dlgSQL"));
        caixa.setWindowTitle(QStringLiteral("SQL da consulta"));
        auto *l = new QVBoxLayout(&caixa);
        auto *texto = new QPlainTextEdit(sql, &caixa);
        texto->setObjectName(QStringLiteral("edSQL"));
        texto->setReadOnly(true);
        texto->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        texto->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        l->addWidget(texto);
        auto *botoes = new QDialogButtonBox(&caixa);
        QPushButton *copiar = botoes->addButton(QStringLiteral("&Copiar"), QDialogButtonBox::ActionRole);
        QPushButton *fechar = botoes->addButton(QStringLiteral("&Fechar"), QDialogButtonBox::RejectRole);
        connect(copiar, &QPushButton::clicked, &caixa, [sql] { QApplication::clipboard()->setText(sql); });
        connect(fechar, &QPushButton::clicked, &caixa, &QDialog::reject);
        fechar->setDefault(true);
        l->addWidget(botoes);
        caixa.resize(720, 320);
        caixa.exec();
    };
    connect(dm, &TnDPConfiguradorConsultaPersonalizada::Alterado, this, &TnFrmConfiguradorConsulta::MostrarTudo);
    connect(this, &QObject::destroyed, dm, [dm] {
        dm->FormConfigurador().OnNavBarAlterada = nullptr;
        dm->FormConfigurador().OnMostrarSQL = nullptr;
    });
    MostrarNavBar();
    MostrarTudo();
    AbrirNoTamanho(minimumSizeHint());
    FNavBar->setFocus();
}

QAction *TnFrmConfiguradorConsulta::NovaAcao(const QString &nome, const QString &texto, const QKeySequence &tecla,
                                             const QString &dica)
{
    auto *a = new QAction(texto, this);
    a->setObjectName(nome);
    a->setShortcut(tecla);
    a->setToolTip(QStringLiteral("%1 (%2)").arg(dica, tecla.toString(QKeySequence::NativeText)));
    addAction(a); // the key works anywhere in the window
    FAcoes << a;
    return a;
}

QAction *TnFrmConfiguradorConsulta::Acao(const QString &nome) const
{
    for (QAction *a : FAcoes)
        if (a->objectName() == nome)
            return a;
    return nullptr;
}

void TnFrmConfiguradorConsulta::Construir()
{
    if (FNavBar)
        return;
    auto *l = new QVBoxLayout(Conteudo());

    auto *barra = new QToolBar(Conteudo());
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    barra->setIconSize(QSize(16, 16));
    const auto botao = [&](const char *nome, const QString &texto, const QKeySequence &tecla, const QString &dica,
                           QStyle::StandardPixmap icone, void (TnFrmConfiguradorConsulta::*f)()) {
        QAction *a = NovaAcao(QString::fromLatin1(nome), texto, tecla, dica);
        a->setIcon(style()->standardIcon(icone));
        connect(a, &QAction::triggered, this, f);
        barra->addAction(a);
    };
    botao("actNovo", QStringLiteral("Nova"), QKeySequence(Qt::CTRL | Qt::Key_N), QStringLiteral("Nova consulta"),
          QStyle::SP_FileIcon, &TnFrmConfiguradorConsulta::NovaConsulta);
    botao("actAbrir", QStringLiteral("Abrir"), QKeySequence(Qt::CTRL | Qt::Key_O),
          QStringLiteral("Abrir uma consulta salva"), QStyle::SP_DialogOpenButton, &TnFrmConfiguradorConsulta::AbrirConsulta);
    botao("actSalvar", QStringLiteral("Salvar"), QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("Salvar a consulta"),
          QStyle::SP_DialogSaveButton, &TnFrmConfiguradorConsulta::SalvarConsulta);
    botao("actRenomear", QStringLiteral("Renomear"), QKeySequence(Qt::CTRL | Qt::Key_R),
          QStringLiteral("Renomear uma consulta salva"), QStyle::SP_FileDialogDetailedView,
          &TnFrmConfiguradorConsulta::RenomearConsulta);
    botao("actExcluir", QStringLiteral("Excluir"), QKeySequence(Qt::CTRL | Qt::Key_Delete),
          QStringLiteral("Excluir uma consulta salva"), QStyle::SP_TrashIcon, &TnFrmConfiguradorConsulta::ExcluirConsulta);
    barra->addSeparator();
    botao("actVisualizar", QStringLiteral("Visualizar"), QKeySequence(Qt::Key_F5),
          QStringLiteral("Mostrar as primeiras linhas da consulta"), QStyle::SP_BrowserReload,
          &TnFrmConfiguradorConsulta::Visualizar);
    botao("actMostrarSQL", QStringLiteral("Mostrar SQL"), QKeySequence(Qt::Key_F9),
          QStringLiteral("Mostrar o comando SQL da consulta"), QStyle::SP_FileDialogContentsView,
          &TnFrmConfiguradorConsulta::MostrarSQL);
    barra->addSeparator();
    QAction *fechar = barra->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Fechar"));
    fechar->setObjectName(QStringLiteral("actFechar"));
    fechar->setToolTip(QStringLiteral("Fechar (Esc)"));
    connect(fechar, &QAction::triggered, this, &QWidget::close);
    RegistrarAcaoForm(nafFechar, fechar);
    l->addWidget(barra);

    auto *divisor = new QSplitter(Qt::Horizontal, Conteudo());
    l->addWidget(divisor, 1);

    // Left: the catalogue.
    auto *esquerda = new QWidget(divisor);
    auto *le = new QVBoxLayout(esquerda);
    le->setContentsMargins(0, 0, 0, 0);
    FNavBar = new QTreeWidget(esquerda);
    FNavBar->setObjectName(QStringLiteral("nNavBar"));
    FNavBar->setHeaderHidden(true);
    // A long caption scrolls sideways instead of being cut off.
    FNavBar->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    FNavBar->header()->setStretchLastSection(false);
    FNavBar->setMinimumWidth(300);
    FNavBar->setToolTip(QStringLiteral("Enter ou duplo clique: adicionar a tabela à consulta"));
    connect(FNavBar, &QTreeWidget::itemActivated, this, [this] { AdicionarTabelaAtual(); });
    le->addWidget(Rotulo(QStringLiteral("Tabelas &disponíveis"), FNavBar, esquerda));
    le->addWidget(FNavBar, 1);
    auto *adicionar = new QPushButton(QStringLiteral("&Adicionar tabela"), esquerda);
    adicionar->setObjectName(QStringLiteral("btAdicionarTabela"));
    connect(adicionar, &QPushButton::clicked, this, &TnFrmConfiguradorConsulta::AdicionarTabelaAtual);
    le->addWidget(adicionar);

    // Right: the query.
    auto *direita = new QWidget(divisor);
    auto *ld = new QVBoxLayout(direita);
    ld->setContentsMargins(0, 0, 0, 0);
    FTabelas = new QListWidget(direita);
    FTabelas->setObjectName(QStringLiteral("lstTabelas"));
    FTabelas->setMaximumHeight(110);
    FTabelas->setToolTip(QStringLiteral("Del: retirar a tabela da consulta"));
    const auto removerTabela = [this] {
        const QString alias = AliasAtual();
        if (!alias.isEmpty() && FDesenho)
            Tentar([&] { FDesenho->RemoverTabela(alias); });
    };
    AtalhoDoWidget(FTabelas, QKeySequence(Qt::Key_Delete), removerTabela);
    connect(FTabelas, &QListWidget::currentRowChanged, this, [this] {
        if (FMostrando)
            return;
        FAliasAtual = AliasAtual();
        MostrarCampos();
    });
    auto *linhaTabelas = new QHBoxLayout;
    linhaTabelas->addWidget(FTabelas, 1);
    auto *remover = new QPushButton(QStringLiteral("Re&tirar tabela"), direita);
    remover->setObjectName(QStringLiteral("btRetirarTabela"));
    connect(remover, &QPushButton::clicked, this, removerTabela);
    linhaTabelas->addWidget(remover, 0, Qt::AlignTop);
    ld->addWidget(Rotulo(QStringLiteral("Tabelas da &consulta"), FTabelas, direita));
    ld->addLayout(linhaTabelas);

    FAbas = new QTabWidget(direita);
    FAbas->setObjectName(QStringLiteral("pgcConsulta"));
    ld->addWidget(FAbas, 1);

    // Fields.
    FCampos = new QTableWidget(0, ccQuantidade, FAbas);
    FCampos->setObjectName(QStringLiteral("grdCampos"));
    FCampos->setHorizontalHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Título"), QStringLiteral("Mostrar"),
                                        QStringLiteral("Filtrar"), QStringLiteral("Operador"), QStringLiteral("Somar"),
                                        QStringLiteral("Contar"), QStringLiteral("Mínimo"), QStringLiteral("Máximo"),
                                        QStringLiteral("Média"), QStringLiteral("Negativar")});
    FCampos->verticalHeader()->hide();
    FCampos->setSelectionMode(QAbstractItemView::SingleSelection);
    FCampos->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);
    FCampos->setItemDelegateForColumn(ccOperador, new TnDelegadoOperador(FCampos));
    FCampos->setToolTip(QStringLiteral("Espaço marca ou desmarca; F2 edita o título ou o operador"));
    FCampos->setWordWrap(false);
    // Tab leaves the table for the next control; the arrows move between its cells.
    FCampos->setTabKeyNavigation(false);
    FCampos->setAlternatingRowColors(true);
    FCampos->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FCampos->verticalHeader()->setDefaultSectionSize(FCampos->fontMetrics().height() + 8);
    FCampos->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(FCampos, &QTableWidget::cellChanged, this, &TnFrmConfiguradorConsulta::CampoAlterado);
    FAbas->addTab(FCampos, QStringLiteral("Ca&mpos"));

    // Joins.
    auto *pJuncoes = new QWidget(FAbas);
    auto *lj = new QVBoxLayout(pJuncoes);
    FJuncoes = new QListWidget(pJuncoes);
    FJuncoes->setObjectName(QStringLiteral("lstJuncoes"));
    FJuncoes->setToolTip(QStringLiteral("Del: retirar o par de campos"));
    const auto removerJuncao = [this] {
        QListWidgetItem *i = FJuncoes->currentItem();
        if (!i || !FDesenho)
            return;
        const QStringList p = i->data(Qt::UserRole).toStringList();
        Tentar([&] { FDesenho->RemoverJuncao({p[0], p[1], p[2], p[3]}); });
    };
    AtalhoDoWidget(FJuncoes, QKeySequence(Qt::Key_Delete), removerJuncao);
    lj->addWidget(Rotulo(QStringLiteral("Campos iguais entre as tabelas"), FJuncoes, pJuncoes));
    lj->addWidget(FJuncoes, 1);
    auto *gj = new QGridLayout;
    FJuncaoTabelaE = new QComboBox(pJuncoes);
    FJuncaoCampoE = new QComboBox(pJuncoes);
    FJuncaoTabelaD = new QComboBox(pJuncoes);
    FJuncaoCampoD = new QComboBox(pJuncoes);
    FJuncaoTabelaE->setObjectName(QStringLiteral("cbJuncaoTabela1"));
    FJuncaoCampoE->setObjectName(QStringLiteral("cbJuncaoCampo1"));
    FJuncaoTabelaD->setObjectName(QStringLiteral("cbJuncaoTabela2"));
    FJuncaoCampoD->setObjectName(QStringLiteral("cbJuncaoCampo2"));
    connect(FJuncaoTabelaE, &QComboBox::currentIndexChanged, this, [this] { CamposJuncaoDe(FJuncaoTabelaE, FJuncaoCampoE); });
    connect(FJuncaoTabelaD, &QComboBox::currentIndexChanged, this, [this] { CamposJuncaoDe(FJuncaoTabelaD, FJuncaoCampoD); });
    gj->addWidget(Rotulo(QStringLiteral("Tabela"), FJuncaoTabelaE, pJuncoes), 0, 0);
    gj->addWidget(FJuncaoTabelaE, 0, 1);
    gj->addWidget(Rotulo(QStringLiteral("Campo"), FJuncaoCampoE, pJuncoes), 0, 2);
    gj->addWidget(FJuncaoCampoE, 0, 3);
    gj->addWidget(Rotulo(QStringLiteral("= Tabela"), FJuncaoTabelaD, pJuncoes), 1, 0);
    gj->addWidget(FJuncaoTabelaD, 1, 1);
    gj->addWidget(Rotulo(QStringLiteral("Campo"), FJuncaoCampoD, pJuncoes), 1, 2);
    gj->addWidget(FJuncaoCampoD, 1, 3);
    gj->setColumnStretch(1, 1);
    gj->setColumnStretch(3, 1);
    lj->addLayout(gj);
    auto *bj = new QHBoxLayout;
    auto *addJuncao = new QPushButton(QStringLiteral("Adicionar j&unção"), pJuncoes);
    addJuncao->setObjectName(QStringLiteral("btAdicionarJuncao"));
    connect(addJuncao, &QPushButton::clicked, this, [this] {
        if (!FDesenho || FJuncaoCampoE->currentIndex() < 0 || FJuncaoCampoD->currentIndex() < 0)
            return;
        Tentar([this] {
            FDesenho->AdicionarJuncao({FJuncaoTabelaE->currentData().toString(), FJuncaoCampoE->currentData().toString(),
                                       FJuncaoTabelaD->currentData().toString(), FJuncaoCampoD->currentData().toString()});
        });
    });
    auto *remJuncao = new QPushButton(QStringLiteral("Retirar par"), pJuncoes);
    remJuncao->setObjectName(QStringLiteral("btRetirarJuncao"));
    connect(remJuncao, &QPushButton::clicked, this, removerJuncao);
    bj->addWidget(addJuncao);
    bj->addWidget(remJuncao);
    bj->addStretch();
    lj->addLayout(bj);
    FAbas->addTab(pJuncoes, QStringLiteral("&Junções"));

    // Order.
    auto *pOrdem = new QWidget(FAbas);
    auto *lo = new QVBoxLayout(pOrdem);
    FOrdem = new QListWidget(pOrdem);
    FOrdem->setObjectName(QStringLiteral("lstOrdem"));
    FOrdem->setToolTip(QStringLiteral("Ctrl+Seta para cima/baixo: mover; Del: retirar"));
    const auto mover = [this](int passo) {
        if (!FDesenho || FOrdem->currentRow() < 0)
            return;
        int destino = FOrdem->currentRow();
        Tentar([&] { destino = FDesenho->MoverOrdem(FOrdem->currentRow(), passo); });
        FOrdem->setCurrentRow(destino);
    };
    const auto removerOrdem = [this] {
        if (FDesenho && FOrdem->currentRow() >= 0)
            Tentar([this] { FDesenho->RemoverOrdem(FOrdem->currentRow()); });
    };
    AtalhoDoWidget(FOrdem, QKeySequence(Qt::CTRL | Qt::Key_Up), [mover] { mover(-1); });
    AtalhoDoWidget(FOrdem, QKeySequence(Qt::CTRL | Qt::Key_Down), [mover] { mover(1); });
    AtalhoDoWidget(FOrdem, QKeySequence(Qt::Key_Delete), removerOrdem);
    lo->addWidget(Rotulo(QStringLiteral("Linhas ordenadas por"), FOrdem, pOrdem));
    lo->addWidget(FOrdem, 1);
    auto *bo = new QHBoxLayout;
    FOrdemCampo = new QComboBox(pOrdem);
    FOrdemCampo->setObjectName(QStringLiteral("cbOrdemCampo"));
    bo->addWidget(Rotulo(QStringLiteral("Campo"), FOrdemCampo, pOrdem));
    bo->addWidget(FOrdemCampo, 1);
    auto *addOrdem = new QPushButton(QStringLiteral("Adicionar à o&rdem"), pOrdem);
    addOrdem->setObjectName(QStringLiteral("btAdicionarOrdem"));
    connect(addOrdem, &QPushButton::clicked, this, [this] {
        const QStringList c = FOrdemCampo->currentData().toStringList();
        if (FDesenho && c.size() == 2)
            Tentar([&] { FDesenho->AdicionarOrdem(c[0], c[1]); });
    });
    bo->addWidget(addOrdem);
    for (const auto &[texto, passo] : {std::pair{QStringLiteral("Subir"), -1}, std::pair{QStringLiteral("Descer"), 1}}) {
        auto *b = new QPushButton(texto, pOrdem);
        b->setObjectName(QStringLiteral("bt") + texto);
        connect(b, &QPushButton::clicked, this, [mover, passo] { mover(passo); });
        bo->addWidget(b);
    }
    auto *remOrdem = new QPushButton(QStringLiteral("Retirar"), pOrdem);
    remOrdem->setObjectName(QStringLiteral("btRetirarOrdem"));
    connect(remOrdem, &QPushButton::clicked, this, removerOrdem);
    bo->addWidget(remOrdem);
    lo->addLayout(bo);
    FAbas->addTab(pOrdem, QStringLiteral("&Ordem"));

    // Preview.
    FPaginaPrevia = new QWidget(FAbas);
    auto *lp = new QVBoxLayout(FPaginaPrevia);
    FInfoPrevia = new QLabel(FPaginaPrevia);
    FInfoPrevia->setObjectName(QStringLiteral("lblPrevia"));
    lp->addWidget(FInfoPrevia);
    FAbas->addTab(FPaginaPrevia, QStringLiteral("&Prévia"));

    divisor->setStretchFactor(0, 1);
    divisor->setStretchFactor(1, 3);
    divisor->setSizes({360, 840});
    // Enter belongs to the control in focus (it adds the table of the navigation bar), not to
    // a default button of the window.
    for (QPushButton *b : Conteudo()->findChildren<QPushButton *>())
        b->setAutoDefault(false);
    // Tab goes from the catalogue to the query, then through the tabs' controls.
    setTabOrder(FNavBar, adicionar);
    setTabOrder(adicionar, FTabelas);
    setTabOrder(FTabelas, remover);
    setTabOrder(remover, FAbas);
}

void TnFrmConfiguradorConsulta::MostrarNavBar()
{
    if (!FDesenho || !FNavBar)
        return;
    FNavBar->clear();
    for (const TnGrupoNavBar &g : FDesenho->FormConfigurador().NavBar()) {
        auto *grupo = new QTreeWidgetItem(FNavBar, {g.Caption});
        grupo->setFlags(Qt::ItemIsEnabled);
        QFont negrito = grupo->font(0);
        negrito.setBold(true);
        grupo->setFont(0, negrito);
        for (const TnGrupoNavBar::Item &i : g.Itens) {
            auto *item = new QTreeWidgetItem(grupo, {i.Caption});
            item->setData(0, Qt::UserRole, i.Classe);
            item->setToolTip(0, QStringLiteral("%1: %2").arg(i.Palavra, i.Caption));
        }
    }
    FNavBar->expandAll();
    if (FNavBar->topLevelItemCount() > 0 && FNavBar->topLevelItem(0)->childCount() > 0)
        FNavBar->setCurrentItem(FNavBar->topLevelItem(0)->child(0));
}

void TnFrmConfiguradorConsulta::AdicionarTabelaAtual()
{
    QTreeWidgetItem *i = FNavBar ? FNavBar->currentItem() : nullptr;
    if (!FDesenho || !i || !i->parent())
        return;
    const QString classe = i->data(0, Qt::UserRole).toString();
    Tentar([&] { FAliasAtual = FDesenho->AdicionarTabela(classe); });
    MostrarTudo();
}

QString TnFrmConfiguradorConsulta::AliasAtual() const
{
    QListWidgetItem *i = FTabelas ? FTabelas->currentItem() : nullptr;
    return i ? i->data(Qt::UserRole).toString() : QString();
}

void TnFrmConfiguradorConsulta::MostrarTudo()
{
    if (!FDesenho)
        return;
    QString titulo = FDesenho->Caption();
    if (!FDesenho->NomeConsulta().isEmpty())
        titulo += QStringLiteral(" - ") + FDesenho->NomeConsulta();
    if (FDesenho->Alterada())
        titulo += QStringLiteral(" *");
    setWindowTitle(titulo);
    MostrarTabelas();
    MostrarCampos();
    MostrarJuncoes();
    MostrarOrdem();
    MostrarPrevia();
}

void TnFrmConfiguradorConsulta::MostrarTabelas()
{
    FMostrando = true;
    FTabelas->clear();
    int atual = -1;
    for (const TnTabelaConsulta &t : FDesenho->Definicao().Tabelas) {
        auto *i = new QListWidgetItem(FDesenho->DescricaoTabela(t.Alias), FTabelas);
        i->setData(Qt::UserRole, t.Alias);
        if (t.Alias == FAliasAtual)
            atual = FTabelas->count() - 1;
    }
    if (atual < 0 && FTabelas->count() > 0)
        atual = 0;
    FTabelas->setCurrentRow(atual);
    FAliasAtual = AliasAtual();
    FMostrando = false;

    // The joins' table lists follow the tables of the query.
    for (QComboBox *c : {FJuncaoTabelaE, FJuncaoTabelaD}) {
        const QString antes = c->currentData().toString();
        c->blockSignals(true);
        c->clear();
        for (const TnTabelaConsulta &t : FDesenho->Definicao().Tabelas)
            c->addItem(FDesenho->DescricaoTabela(t.Alias), t.Alias);
        c->setCurrentIndex(std::max(0, c->findData(antes)));
        // The second table of a pair is another table than the first.
        if (c == FJuncaoTabelaD && c->count() > 1 && c->currentData() == FJuncaoTabelaE->currentData())
            c->setCurrentIndex(FJuncaoTabelaE->currentIndex() == 0 ? 1 : 0);
        c->blockSignals(false);
    }
    CamposJuncaoDe(FJuncaoTabelaE, FJuncaoCampoE);
    CamposJuncaoDe(FJuncaoTabelaD, FJuncaoCampoD);
}

void TnFrmConfiguradorConsulta::CamposJuncaoDe(QComboBox *tabela, QComboBox *campo)
{
    const QString antes = campo->currentData().toString();
    campo->clear();
    const QString alias = tabela->currentData().toString();
    if (!FDesenho || alias.isEmpty())
        return;
    for (const TnCampoDesenho &c : FDesenho->Campos(alias))
        if (!c.Calculado)
            campo->addItem(QStringLiteral("%1 (%2)").arg(c.Descricao, c.Campo), c.Campo);
    campo->setCurrentIndex(std::max(0, campo->findData(antes)));
}

void TnFrmConfiguradorConsulta::MostrarCampos()
{
    // Inside the commit of a cell being edited the view still holds its editor: shown
    // again once the view is done with it.
    if (FNaEdicao) {
        QTimer::singleShot(0, this, &TnFrmConfiguradorConsulta::MostrarCampos);
        return;
    }
    const QPoint atual(FCampos->currentColumn(), FCampos->currentRow());
    FMostrando = true;
    const std::vector<TnCampoDesenho> campos =
        FDesenho && !FAliasAtual.isEmpty() ? FDesenho->Campos(FAliasAtual) : std::vector<TnCampoDesenho>{};
    FCampos->setRowCount(int(campos.size()));
    for (int r = 0; r < int(campos.size()); ++r) {
        const TnCampoDesenho &c = campos[size_t(r)];
        const auto item = [&](int col) {
            QTableWidgetItem *i = FCampos->item(r, col);
            if (!i) {
                i = new QTableWidgetItem;
                FCampos->setItem(r, col, i);
            }
            return i;
        };
        QTableWidgetItem *nome = item(ccCampo);
        nome->setText(c.Descricao);
        nome->setData(kPapelCampo, c.Campo);
        nome->setData(kPapelCalculado, c.Calculado);
        nome->setToolTip(c.Calculado ? QStringLiteral("%1 (campo calculado)").arg(c.Campo) : c.Campo);
        nome->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        QTableWidgetItem *titulo = item(ccTitulo);
        titulo->setText(c.Caption.isEmpty() ? c.Descricao : c.Caption);
        titulo->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        const auto marca = [&](int col, bool marcado, bool permitido) {
            QTableWidgetItem *i = item(col);
            i->setFlags(permitido ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable
                                  : Qt::ItemIsSelectable);
            i->setCheckState(marcado ? Qt::Checked : Qt::Unchecked);
        };
        marca(ccMostrar, c.Mostrar, true);
        marca(ccFiltrar, c.Filtrar, true);
        QTableWidgetItem *op = item(ccOperador);
        op->setText(c.Filtrar ? TextoOperador(c.Operador) : QString());
        op->setFlags(c.Filtrar ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::ItemIsSelectable);
        marca(ccSomar, c.Total == ntcSoma, c.Numerico);
        marca(ccContar, c.Total == ntcContagem, true);
        marca(ccMinimo, c.Total == ntcMinimo, true);
        marca(ccMaximo, c.Total == ntcMaximo, true);
        marca(ccMedia, c.Total == ntcMedia, c.Numerico);
        marca(ccNegativar, c.Negativar, c.Numerico);
    }
    if (FCampos->rowCount() > 0)
        FCampos->setCurrentCell(std::clamp(atual.y(), 0, FCampos->rowCount() - 1), std::max(atual.x(), int(ccMostrar)));
    FMostrando = false;
}

void TnFrmConfiguradorConsulta::CampoAlterado(int linha, int coluna)
{
    if (FMostrando || !FDesenho || FAliasAtual.isEmpty())
        return;
    const QString campo = FCampos->item(linha, ccCampo)->data(kPapelCampo).toString();
    QTableWidgetItem *i = FCampos->item(linha, coluna);
    const bool marcado = i->checkState() == Qt::Checked;
    const QString alias = FAliasAtual;
    FNaEdicao = coluna == ccTitulo || coluna == ccOperador; // committed by the cell's editor
    const auto fim = qScopeGuard([this] { FNaEdicao = false; });
    const bool ok = Tentar([&] {
        switch (coluna) {
        case ccTitulo: FDesenho->SetCaption(alias, campo, i->text()); break;
        case ccMostrar: FDesenho->SetMostrar(alias, campo, marcado); break;
        case ccFiltrar: FDesenho->SetFiltro(alias, campo, marcado); break;
        case ccOperador: {
            int o = 0;
            while (o < 4 && i->text() != QString::fromUtf8(kOperadores[o]))
                ++o;
            if (o < 4)
                FDesenho->SetOperadorFiltro(alias, campo, TnOperadorFiltro(o));
            break;
        }
        case ccNegativar: FDesenho->SetNegativar(alias, campo, marcado); break;
        case ccSomar:
        case ccContar:
        case ccMinimo:
        case ccMaximo:
        case ccMedia: FDesenho->SetTotal(alias, campo, marcado ? TotalDaColuna(coluna) : ntcNenhum); break;
        default: break;
        }
    });
    if (!ok)
        MostrarCampos(); // back to what the design holds
}

void TnFrmConfiguradorConsulta::MostrarJuncoes()
{
    const int atual = FJuncoes->currentRow();
    FJuncoes->clear();
    const auto descricao = [this](const QString &alias, const QString &campo) {
        for (const TnCampoDesenho &c : FDesenho->Campos(alias))
            if (c.Campo.compare(campo, Qt::CaseInsensitive) == 0)
                return QStringLiteral("%1.%2 (%3)").arg(alias, c.Campo, c.Descricao);
        return alias + u'.' + campo;
    };
    for (const TnParJuncao &p : FDesenho->Juncoes()) {
        auto *i = new QListWidgetItem(descricao(p.AliasEsquerda, p.CampoEsquerda) + QStringLiteral("  =  ")
                                          + descricao(p.AliasDireita, p.CampoDireita),
                                      FJuncoes);
        i->setData(Qt::UserRole, QStringList{p.AliasEsquerda, p.CampoEsquerda, p.AliasDireita, p.CampoDireita});
    }
    if (FJuncoes->count() > 0)
        FJuncoes->setCurrentRow(std::clamp(atual, 0, FJuncoes->count() - 1));
}

void TnFrmConfiguradorConsulta::MostrarOrdem()
{
    const int atual = FOrdem->currentRow();
    const TnDefinicaoConsulta &d = FDesenho->Definicao();
    const auto descricao = [this](const QString &alias, const QString &campo) {
        for (const TnCampoDesenho &c : FDesenho->Campos(alias))
            if (c.Campo.compare(campo, Qt::CaseInsensitive) == 0)
                return QStringLiteral("%1 - %2").arg(alias, c.Caption.isEmpty() ? c.Descricao : c.Caption);
        return QStringLiteral("%1 - %2").arg(alias, campo);
    };
    FOrdem->clear();
    for (const TnOrdemConsulta &o : d.Ordem)
        FOrdem->addItem(descricao(o.Alias, o.Campo));
    if (FOrdem->count() > 0)
        FOrdem->setCurrentRow(std::clamp(atual, 0, FOrdem->count() - 1));
    // What may order the rows: the shown fields without a total that do not order yet.
    FOrdemCampo->clear();
    for (const TnCampoConsulta &c : d.Campos) {
        if (c.Total != ntcNenhum)
            continue;
        const bool ordena = std::any_of(d.Ordem.begin(), d.Ordem.end(), [&](const TnOrdemConsulta &o) {
            return o.Alias == c.Alias && o.Campo.compare(c.Campo, Qt::CaseInsensitive) == 0;
        });
        if (!ordena)
            FOrdemCampo->addItem(descricao(c.Alias, c.Campo), QStringList{c.Alias, c.Campo});
    }
}

void TnFrmConfiguradorConsulta::MostrarPrevia()
{
    TnClientDataSet *ds = FDesenho->Previa();
    // A grid shows one preview: a new one (its owner is another) gets a new grid.
    if (FGrade && (!ds || !FDonoMostrado || FDonoMostrado != FDesenho->DonoPrevia())) {
        delete FGrade.data();
        FGrade = nullptr;
    }
    if (!ds) {
        FInfoPrevia->setText(FDesenho->Definicao().Tabelas.empty()
                                 ? QStringLiteral("Escolha as tabelas e os campos da consulta; F5 mostra as primeiras linhas.")
                                 : QStringLiteral("F5 mostra as primeiras linhas da consulta."));
        return;
    }
    if (!FGrade) {
        FGrade = new TnGradeDataSet(*ds, FDesenho->DonoPrevia(), true, FPaginaPrevia);
        FGrade->setObjectName(QStringLiteral("grdPrevia"));
        FDonoMostrado = FDesenho->DonoPrevia();
        FPaginaPrevia->layout()->addWidget(FGrade);
    }
    const int n = ds->RecordCount();
    FInfoPrevia->setText(n == 0 ? QStringLiteral("A consulta não trouxe nenhuma linha.")
                         : n >= TnDPConfiguradorConsultaPersonalizada::kLinhasPrevia
                             ? QStringLiteral("As primeiras %1 linhas da consulta.").arg(n)
                             : QStringLiteral("%1 linha(s).").arg(n));
}

void TnFrmConfiguradorConsulta::ConfirmarEdicao()
{
    QWidget *editor = QApplication::focusWidget();
    if (!editor || editor->parentWidget() != FCampos->viewport())
        return;
    QAbstractItemDelegate *d = FCampos->itemDelegateForIndex(FCampos->currentIndex());
    emit d->commitData(editor);
    emit d->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TnFrmConfiguradorConsulta::Visualizar()
{
    if (!FDesenho)
        return;
    ConfirmarEdicao();
    if (Tentar([this] { FDesenho->Executar(); }))
        FAbas->setCurrentWidget(FPaginaPrevia);
    MostrarPrevia();
}

void TnFrmConfiguradorConsulta::MostrarSQL()
{
    ConfirmarEdicao();
    if (FDesenho)
        Tentar([this] { FDesenho->ActMostrarSQLExecute(); });
}

bool TnFrmConfiguradorConsulta::PodeDescartar()
{
    if (!FDesenho || !FDesenho->Alterada() || FDesenho->Definicao().Tabelas.empty())
        return true;
    return nMessageDlg(QStringLiteral("A consulta tem alterações que não foram salvas. Descartá-las?"), mtConfirmation,
                       mbYes | mbNo, mbNo) == mbYes;
}

QString TnFrmConfiguradorConsulta::PedirNome(const QString &titulo, const QString &atual)
{
    QInputDialog caixa(this);
    caixa.setObjectName(QStringLiteral("dlgNomeConsulta"));
    caixa.setWindowTitle(titulo);
    caixa.setLabelText(QStringLiteral("Nome da consulta:"));
    caixa.setTextValue(atual);
    caixa.setOkButtonText(TextoBotao(mbOK));
    caixa.setCancelButtonText(TextoBotao(mbCancel));
    return caixa.exec() == QDialog::Accepted ? caixa.textValue().trimmed() : QString();
}

int TnFrmConfiguradorConsulta::EscolherSalva(const QString &titulo)
{
    std::vector<TnConsultaSalva> salvas;
    if (!Tentar([&] { salvas = FDesenho->ConsultasSalvas(); }))
        return 0;
    if (salvas.empty()) {
        nShowMessage(QStringLiteral("Não há consultas salvas."));
        return 0;
    }
    QStringList nomes;
    for (const TnConsultaSalva &s : salvas)
        nomes << s.Nome;
    const int i = Interacao().SelecionarItem(titulo, nomes);
    return i >= 0 && i < int(salvas.size()) ? salvas[size_t(i)].Codigo : 0;
}

void TnFrmConfiguradorConsulta::NovaConsulta()
{
    if (FDesenho && PodeDescartar()) {
        FAliasAtual.clear();
        FDesenho->Novo();
    }
}

void TnFrmConfiguradorConsulta::AbrirConsulta()
{
    if (!FDesenho || !PodeDescartar())
        return;
    if (const int codigo = EscolherSalva(QStringLiteral("Abrir consulta")); codigo > 0) {
        FAliasAtual.clear();
        Tentar([&] { FDesenho->Abrir(codigo); });
    }
}

void TnFrmConfiguradorConsulta::SalvarConsulta()
{
    if (!FDesenho)
        return;
    ConfirmarEdicao();
    QString nome = FDesenho->NomeConsulta();
    if (FDesenho->Codigo() == 0)
        nome = PedirNome(QStringLiteral("Salvar consulta"), QString());
    if (nome.isEmpty())
        return;
    if (Tentar([&] { FDesenho->Salvar(nome); }))
        nShowMessage(QStringLiteral("Consulta \"%1\" salva. Ela está no menu \"Consultas Personalizadas\".").arg(nome));
}

void TnFrmConfiguradorConsulta::RenomearConsulta()
{
    if (!FDesenho)
        return;
    const int codigo = FDesenho->Codigo() > 0 ? FDesenho->Codigo() : EscolherSalva(QStringLiteral("Renomear consulta"));
    if (codigo <= 0)
        return;
    QString atual;
    Tentar([&] { atual = LerConsultaPersonalizada(codigo).Nome; });
    const QString nome = PedirNome(QStringLiteral("Renomear consulta"), atual);
    if (!nome.isEmpty())
        Tentar([&] { FDesenho->Renomear(codigo, nome); });
}

void TnFrmConfiguradorConsulta::ExcluirConsulta()
{
    if (!FDesenho)
        return;
    const int codigo = FDesenho->Codigo() > 0 ? FDesenho->Codigo() : EscolherSalva(QStringLiteral("Excluir consulta"));
    if (codigo <= 0)
        return;
    QString nome;
    if (!Tentar([&] { nome = LerConsultaPersonalizada(codigo).Nome; }))
        return;
    if (nMessageDlg(QStringLiteral("Excluir a consulta \"%1\"?").arg(nome), mtConfirmation, mbYes | mbNo, mbNo) == mbYes)
        Tentar([&] { FDesenho->Excluir(codigo); });
}
