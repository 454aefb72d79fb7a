#include "QtMenu.h"
#include "ConsultaPersonalizada.h"

#include "QtForms.h"
#include "QtInteracao.h"
#include "QtSelecao.h"
#include "Variaveis.h"

#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace {
// Module set of this program's menu.
const TnModulos &ModulosDoMenu()
{
    static const TnModulos m = Modulos({3});
    return m;
}

QStringList Chaves(const QString &lista)
{
    QStringList r;
    for (const QString &c : lista.split(';', Qt::SkipEmptyParts))
        if (!c.trimmed().isEmpty())
            r.append(c.trimmed());
    return r;
}

bool EhTeclaDeSelecao(const QKeySequence &teclas)
{
    return teclas == QKeySequence(Qt::Key_F7) || teclas == QKeySequence(Qt::Key_F8);
}

// One action per shortcut: two menu entries with the same keys would make them ambiguous and
// neither would run. When several actions claim the same keys a register's action keeps
// them (a register and its consultation may both name the keys), else the first one listed.
QHash<QString, const TnAction *> DonosDosAtalhos(const TnActionList &lista)
{
    QHash<QString, const TnAction *> donos;
    for (const TnAction *a : lista.Acoes()) {
        const QString teclas = QKeySequence::fromString(a->ShortCut(), QKeySequence::PortableText).toString();
        if (teclas.isEmpty())
            continue;
        const TnAction *atual = donos.value(teclas);
        const TnClasseInfo *classe = Registro().Classe(a->NomeClasse());
        const bool registro = classe && classe->PegarTipoObjeto && classe->PegarTipoObjeto() == 1;
        const TnClasseInfo *classeAtual = atual ? Registro().Classe(atual->NomeClasse()) : nullptr;
        const bool atualRegistro = classeAtual && classeAtual->PegarTipoObjeto && classeAtual->PegarTipoObjeto() == 1;
        if (!atual || (registro && !atualRegistro))
            donos.insert(teclas, a);
    }
    return donos;
}

// The menu holds an entry that can be chosen.
bool Ativos(const QMenu *menu)
{
    for (const QAction *a : menu->actions())
        if (a->isEnabled() && !a->isSeparator())
            return true;
    return false;
}

void PreencherMenu(QMenu *menu, const TnItemMenu &item, const std::function<void(TnAction *)> &executar,
                   const QHash<QString, const TnAction *> &donos, const std::function<QIcon(TnAction *)> &icone)
{
    for (const auto &filho : item.Itens) {
        if (filho->EhSubmenu()) {
            QMenu *submenu = menu->addMenu(filho->Caption);
            PreencherMenu(submenu, *filho, executar, donos, icone);
            // A submenu that would open nothing is shown, but cannot be opened.
            submenu->menuAction()->setEnabled(Ativos(submenu));
            continue;
        }
        if (!filho->Acao)
            continue; // its class is gone: an entry would do nothing
        QAction *a = menu->addAction(filho->Caption);
        const QPointer<TnAction> acao = filho->Acao;
        const QKeySequence teclas =
            acao ? QKeySequence::fromString(acao->ShortCut(), QKeySequence::PortableText) : QKeySequence();
        if (!teclas.isEmpty() && donos.value(teclas.toString()) == acao.data()) {
            a->setShortcut(teclas);
            // The selection keys (F7 company and branch, F8 period), which messages tell the
            // user to press, answer in every window of the program that is not behind a
            // modal one.
            if (EhTeclaDeSelecao(teclas))
                a->setShortcutContext(Qt::ApplicationShortcut);
        }
        if (acao)
            a->setIcon(icone(acao));
        // Only a guarded pointer: the action goes when its class is unregistered.
        QObject::connect(a, &QAction::triggered, menu, [acao, executar] {
            if (acao)
                executar(acao);
        });
    }
}
} // namespace

TnFrmMenuVarnel::TnFrmMenuVarnel(QWidget *pai)
    : QMainWindow(pai), FAcoes(new TnActionList(this)), FModelo(QStringList()), FBarra(addToolBar(QStringLiteral("Principal")))
{
    FBarra->setObjectName(QStringLiteral("nToolBar"));
    FBarra->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    FBarra->setMovable(false);
    statusBar()->setObjectName(QStringLiteral("nStatusBar"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->installEventFilter(this);
    SetPaineis({70, 100, 150, 150});
    resize(1024, 700); // the size it comes back to from maximised (the program opens it so)
}

TnFrmMenuVarnel::~TnFrmMenuVarnel()
{
    if (FormPrincipal() == this)
        DefinirFormPrincipal(nullptr);
    statusBar()->removeEventFilter(this);
}

void TnFrmMenuVarnel::Inicializar()
{
    if (FInicializado)
        return;
    FInicializado = true;
    DefinirFormPrincipal(this);
    connect(&Registro(), &TnRegistro::ClasseRegistrada, this, &TnFrmMenuVarnel::AgendarMenus);
    connect(&Registro(), &TnRegistro::ClasseRemovida, this, &TnFrmMenuVarnel::AgendarMenus);
    // A custom query saved, renamed or deleted is a menu entry come, renamed or gone.
    connect(&AvisoConsultasPersonalizadas(), &TnAvisoConsultasPersonalizadas::Alteradas, this,
            &TnFrmMenuVarnel::AgendarMenus);
    // The toolbar's classes take their icons first, so its few buttons never share one
    // however many classes the menus hold.
    CriarBtnToolBar();
    ConstruirMenus();
    ConfigurarVisualMenu();
}

// ---- menus ------------------------------------------------------------------------------

void TnFrmMenuVarnel::AgendarMenus()
{
    FMenusPendentes = true;
    if (FMenusAgendados)
        return;
    FMenusAgendados = true;
    QTimer::singleShot(0, this, [this] {
        FMenusAgendados = false;
        // Never under a running action: its menu entry would go from under it. The action
        // schedules the menus again when it ends.
        if (FEmAcao == 0 && FMenusPendentes)
            ConstruirMenus();
    });
}

void TnFrmMenuVarnel::Acionar(const std::function<void()> &f)
{
    ++FEmAcao;
    ExecutarTratando(f);
    if (--FEmAcao == 0 && FMenusPendentes)
        AgendarMenus();
}

void TnFrmMenuVarnel::ConstruirMenus()
{
    FMenusPendentes = false;
    FAcoes->Limpar();
    FAcoes->GerarPrincAction([this](TnAction *a) { ExecutarAcao(a); }, ModulosDoMenu());
    CriarAcoesFramework();
    FModelo = TnMenuModelo(FItensPrincipais);
    FModelo.Montar(*FAcoes);

    menuBar()->clear();
    for (const QPointer<QMenu> &m : std::as_const(FMenus))
        delete m.data();
    FMenus.clear();
    // The action's own event: the handler given above, or a class's own.
    const auto executar = [this](TnAction *a) { Acionar([a] { a->Execute(); }); };
    const auto donos = DonosDosAtalhos(*FAcoes);
    // A class's entries carry its icon; the framework's own, the theme's icon for them.
    const auto icone = [this](TnAction *a) {
        if (!a->NomeClasse().isEmpty())
            return IconeDaClasse(a->NomeClasse());
        if (a->Name() == QLatin1String("actSair"))
            return style()->standardIcon(QStyle::SP_DialogCloseButton);
        return style()->standardIcon(QStyle::SP_BrowserReload);
    };
    for (const auto &item : FModelo.Itens()) {
        auto *menu = new QMenu(item->Caption, menuBar());
        PreencherMenu(menu, *item, executar, donos, icone);
        // A menu with nothing in it is shown, but cannot be opened.
        menu->menuAction()->setEnabled(Ativos(menu));
        menuBar()->addMenu(menu);
        FMenus.append(menu);
    }
}

void TnFrmMenuVarnel::CriarAcoesFramework()
{
    const auto criar = [this](const char *nome, const char *caption, int indice, const char *atalho,
                              const std::function<void()> &executar) {
        TnAction *a = FAcoes->Adicionar(QString::fromLatin1(nome));
        a->SetCategory(QStringLiteral("99 Arquivos"));
        a->SetCaption(QString::fromUtf8(caption));
        a->SetMenuIndex(indice);
        a->SetShortCut(QString::fromLatin1(atalho));
        a->SetOnExecute([executar](TnAction *) { executar(); });
    };
    criar("actTrocarEmpresaEstab", "Trocar Empresa e Estabelecimento", 10, "F7", [this] { TrocarEmpresaEstab(); });
    criar("actSair", "Sair", 999, "Ctrl+Q", [this] { close(); });
}

QIcon TnFrmMenuVarnel::IconeDaClasse(const QString &classe)
{
    // In the order classes ask for them (the toolbar, then the menus), each its own.
    static const QStyle::StandardPixmap icones[] = {
        QStyle::SP_FileDialogContentsView, QStyle::SP_DirIcon, QStyle::SP_FileIcon, QStyle::SP_FileDialogDetailedView,
        QStyle::SP_FileDialogInfoView, QStyle::SP_ComputerIcon, QStyle::SP_DriveHDIcon, QStyle::SP_FileDialogListView,
        QStyle::SP_DesktopIcon, QStyle::SP_DirHomeIcon, QStyle::SP_DriveNetIcon, QStyle::SP_MessageBoxInformation,
        QStyle::SP_DialogApplyButton, QStyle::SP_FileDialogNewFolder, QStyle::SP_DirLinkIcon, QStyle::SP_DirOpenIcon,
        QStyle::SP_FileLinkIcon, QStyle::SP_DialogHelpButton, QStyle::SP_DialogYesButton, QStyle::SP_ArrowForward,
        QStyle::SP_FileDialogStart, QStyle::SP_FileDialogToParent, QStyle::SP_DialogOpenButton,
        QStyle::SP_MessageBoxQuestion};
    constexpr int n = int(std::size(icones));
    const QString chave = classe.trimmed().toUpper();
    auto it = FIcones.constFind(chave);
    if (it == FIcones.constEnd())
        it = FIcones.insert(chave, int(FIcones.size()) % n); // more classes than icons: again from the first
    return style()->standardIcon(icones[*it]);
}

bool TnFrmMenuVarnel::TrocarEmpresaEstab()
{
    const bool ok = EscolherSelecao({QStringLiteral("CodigoEmpresa"), QStringLiteral("CodigoEstab")}, this,
                                    QStringLiteral("Trocar Empresa e Estabelecimento"));
    ConfigurarVisualMenu();
    return ok;
}

QAction *TnFrmMenuVarnel::AcaoDoMenu(const QString &caminho) const
{
    QList<QAction *> nivel = menuBar()->actions();
    QAction *achada = nullptr;
    for (const QString &nome : caminho.split('\\', Qt::SkipEmptyParts)) {
        achada = nullptr;
        for (QAction *a : nivel)
            if (ChaveNomeMenu(a->text()) == ChaveNomeMenu(nome)) {
                achada = a;
                break;
            }
        if (!achada)
            return nullptr;
        nivel = achada->menu() ? achada->menu()->actions() : QList<QAction *>();
    }
    return achada;
}

QIcon TnFrmMenuVarnel::Imagem(int indice)
{
    if (indice < 0)
        return QIcon();
    // A box in one of a few colours: the list only has to tell buttons apart.
    static const QColor cores[] = {QColor(0x2e, 0x6d, 0xb4), QColor(0x3a, 0x9a, 0x5b), QColor(0xc2, 0x7c, 0x1e),
                                   QColor(0x8e, 0x44, 0xad)};
    QPixmap p(32, 32);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(cores[indice % 4]);
    g.setPen(QPen(cores[indice % 4].darker(140), 1.5));
    g.drawRoundedRect(QRectF(4, 8, 24, 18), 3, 3);
    g.drawLine(QPointF(4, 14), QPointF(28, 14));
    return QIcon(p);
}

// ---- opening classes --------------------------------------------------------------------

void TnFrmMenuVarnel::ExecutarAcao(TnAction *acao)
{
    actShowForm(acao);
}

void TnFrmMenuVarnel::actShowForm(TnAction *acao)
{
    if (!acao)
        throw Exception(QStringLiteral("Ação inválida."));
    if (acao->NomeClasse().isEmpty())
        throw Exception(QStringLiteral("A ação %1 não abre nenhuma classe.").arg(acao->Name()));
    AbrirClasse(acao->NomeClasse(), acao);
}

bool TnFrmMenuVarnel::Abrir(const QString &classe, TnAction *acao, bool modal)
{
    const TnClasseInfo *info = Registro().Classe(classe);
    if (!info) {
        AvisarNaoDisponivel(acao && !acao->Caption().isEmpty() ? acao->Caption() : classe);
        return false;
    }
    const QStringList chaves = acao ? (acao->ChecarSelecao() ? Chaves(acao->VerificaSelecao()) : QStringList())
                                    : info->ChavesSelecao();
    if (!GarantirSelecao(chaves, this))
        return false;
    TnFrmModulo *form = CriarFormModulo(CriarDM(info->Nome, acao), this);
    if (!modal) {
        form->show();
        form->raise();
        return true;
    }
    const std::unique_ptr<TnFrmModulo> dono(form);
    return form->ExecutarModal();
}

bool TnFrmMenuVarnel::AbrirClasse(const QString &classe, TnAction *acao) { return Abrir(classe, acao, false); }

bool TnFrmMenuVarnel::ShowFormModal(TnAction *sender, const QString &classe) { return Abrir(classe, sender, true); }

bool TnFrmMenuVarnel::SelecionarEmpresa()
{
    const bool ok = ::SelecionarEmpresa(this, true);
    ConfigurarVisualMenu();
    return ok;
}

// ---- toolbar ----------------------------------------------------------------------------

void TnFrmMenuVarnel::CriarBtnToolBar() {}

QAction *TnFrmMenuVarnel::CriarToolButtonMain(const QString &classe, const QString &hint, bool novoGrupo,
                                              const QString &caption, int imagem)
{
    if (novoGrupo && !FBarra->actions().isEmpty())
        FBarra->addSeparator();
    // The image index names the framework's list; every button gets its class's own icon,
    // so that no two look alike.
    Q_UNUSED(imagem);
    QAction *a = FBarra->addAction(IconeDaClasse(classe), caption);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    a->setObjectName(QStringLiteral("btn") + classe);
    connect(a, &QAction::triggered, this, [this, classe, caption] { Acionar([&] { AcionarClasse(classe, caption); }); });
    return a;
}

void TnFrmMenuVarnel::AcionarClasse(const QString &classe, const QString &caption)
{
    if (TnAction *a = FAcoes->Acao(QStringLiteral("act") + classe.trimmed())) {
        a->Execute();
        return;
    }
    if (!Registro().Classe(classe)) {
        AvisarNaoDisponivel(caption.isEmpty() ? classe : caption);
        return;
    }
    AbrirClasse(classe);
}

// ---- status bar -------------------------------------------------------------------------

void TnFrmMenuVarnel::SetPaineis(const QList<int> &larguras)
{
    qDeleteAll(FPaineis);
    FPaineis.clear();
    for (int i = 0; i < larguras.size(); ++i) {
        auto *l = new QLabel(statusBar());
        l->setObjectName(QStringLiteral("nPainel%1").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setFixedWidth(qMax(0, larguras[i]));
        l->setProperty("larguraDeclarada", qMax(0, larguras[i]));
        statusBar()->addWidget(l);
        FPaineis.append(l);
    }
}

QString TnFrmMenuVarnel::TextoPainel(int i) const
{
    return i >= 0 && i < FPaineis.size() ? FPaineis[i]->text() : QString();
}

void TnFrmMenuVarnel::SetTextoPainel(int i, const QString &texto)
{
    if (i < 0 || i >= FPaineis.size())
        return;
    QLabel *l = FPaineis[i];
    l->setText(texto);
    // A panel's width is its least: a longer text widens it instead of being cut off.
    const int paraOTexto = l->fontMetrics().horizontalAdvance(texto) + 2 * l->frameWidth() + 8;
    const int largura = qMax(l->property("larguraDeclarada").toInt(), texto.isEmpty() ? 0 : paraOTexto);
    if (largura != l->width()) {
        l->setFixedWidth(largura);
        nStatusBarResize();
    }
}

int TnFrmMenuVarnel::LarguraPainel(int i) const
{
    return i >= 0 && i < FPaineis.size() ? FPaineis[i]->minimumWidth() : 0;
}

void TnFrmMenuVarnel::SetLarguraPainel(int i, int largura)
{
    if (i < 0 || i >= FPaineis.size())
        return;
    FPaineis[i]->setProperty("larguraDeclarada", qMax(0, largura));
    FPaineis[i]->setFixedWidth(qMax(0, largura));
}

void TnFrmMenuVarnel::nStatusBarResize() {}

void TnFrmMenuVarnel::closeEvent(QCloseEvent *e)
{
    if (FInicializado)
        ExecutarTratando([] { GuardarSelecaoDoUsuario(); });
    QMainWindow::closeEvent(e);
}

bool TnFrmMenuVarnel::eventFilter(QObject *o, QEvent *e)
{
    if (o == statusBar() && e->type() == QEvent::Resize)
        nStatusBarResize();
    return QMainWindow::eventFilter(o, e);
}

void TnFrmMenuVarnel::ConfigurarVisualMenu()
{
    SetTextoPainel(0, PegarValorExternalVar(QStringLiteral("gNomeUsuario")));
    const QString empresa = PegarValorExternalVar(QStringLiteral("gCodigoEmpresaAtiva"));
    const QString estab = PegarValorExternalVar(QStringLiteral("gCodigoEstabAtiva"));
    QString texto = empresa.isEmpty() ? QString() : QStringLiteral("Empresa: %1").arg(empresa);
    if (!texto.isEmpty() && !estab.isEmpty())
        texto += QStringLiteral(" / Estab.: %1").arg(estab);
    SetTextoPainel(1, texto);
}
