#pragma once
// The main window: the menus built from the registered classes' actions, the toolbar, the
// status bar with numbered panels, and the opening of classes by name.
//
// A derived window sets, in its constructor, its caption, its top-level menu items
// (SetItensMenuPrincipal) and its status panels (SetPaineis); ExecutarProjeto then calls
// Inicializar, which builds the menus and runs CriarBtnToolBar and ConfigurarVisualMenu.
// The menus are built again whenever a class is registered or unregistered (a library
// loads or unloads).
#include "Acoes.h"
#include "Formulario.h"
#include "Menu.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QLabel;
class QToolBar;

// While it is initialised, the window is the program's main window as modules see it
// (FormPrincipal, Formulario.h).
class TnFrmMenuVarnel : public QMainWindow, public TnFormPrincipal {
    Q_OBJECT
public:
    explicit TnFrmMenuVarnel(QWidget *pai = nullptr);
    ~TnFrmMenuVarnel() override;

    void Inicializar();

    // Runs a menu action: opens the action's class (AbrirClasse with the action's selection
    // keys, unless its selection switch is off).
    virtual void actShowForm(TnAction *acao);
    // Fills the status bar: panel 0 the user, panel 1 the company.
    virtual void ConfigurarVisualMenu();
    // The toolbar's buttons (none in the base).
    virtual void CriarBtnToolBar();
    // The status bar changed size.
    virtual void nStatusBarResize();

    // A toolbar button that opens `classe` (through its menu action when there is one, so a
    // derived actShowForm sees it). `novoGrupo` puts a separator before the button; the
    // image is an index of the framework's image list (-1: none). A class that is not
    // registered when the button is pressed is reported as not available.
    QAction *CriarToolButtonMain(const QString &classe, const QString &hint, bool novoGrupo, const QString &caption,
                                 int imagem);
    // Opens `classe` modally on behalf of `sender`; true when its window was confirmed
    // (see TnFrmModulo::Confirmado). False when the class is not available or the
    // selection was cancelled.
    bool ShowFormModal(TnAction *sender, const QString &classe);
    // Opens `classe` in a window of its own; false when it could not be opened.
    bool AbrirClasse(const QString &classe, TnAction *acao = nullptr);
    // The company selection step (the dialog when there is a choice).
    bool SelecionarEmpresa();
    // The framework's own item of a suite main window (menu "Arquivos", F7): the company and
    // branch to work on, chosen again; the window shows them. False when cancelled.
    bool TrocarEmpresaEstab();

    // ---- status bar: panels numbered from 0
    void SetPaineis(const QList<int> &larguras);
    int QtdePaineis() const { return int(FPaineis.size()); }
    QString TextoPainel(int i) const override;
    void SetTextoPainel(int i, const QString &texto) override;
    int LarguraPainel(int i) const;
    void SetLarguraPainel(int i, int largura);

    // ---- what was built
    TnActionList &Acoes() { return *FAcoes; }
    const TnMenuModelo &MenuModelo() const { return FModelo; }
    QToolBar *BarraFerramentas() const { return FBarra; }
    // The menu entry at a '\'-separated path of captions ("Movimentos\Consultas\Teste"),
    // matched as the menu model matches names; nullptr when absent.
    QAction *AcaoDoMenu(const QString &caminho) const;
    // The framework's image list: a drawn icon per index.
    static QIcon Imagem(int indice);
    // The icon of a class's button and menu entries: one of the desktop theme's standard
    // icons, a different one for each class the window shows.
    QIcon IconeDaClasse(const QString &classe);

protected:
    void SetItensMenuPrincipal(const QStringList &itens) { FItensPrincipais = itens; }
    bool eventFilter(QObject *o, QEvent *e) override;
    // Closing the window ends the work: the company, branch and period chosen are kept for
    // the user's next start (GuardarSelecaoDoUsuario).
    void closeEvent(QCloseEvent *e) override;

private:
    void AgendarMenus();
    void ConstruirMenus();
    void ExecutarAcao(TnAction *acao);
    // Runs what the user started (a menu entry, a button), showing its failures.
    void Acionar(const std::function<void()> &f);
    void AcionarClasse(const QString &classe, const QString &caption);
    bool Abrir(const QString &classe, TnAction *acao, bool modal);

    void CriarAcoesFramework();

    QStringList FItensPrincipais;
    QHash<QString, int> FIcones; // class (upper case) -> standard icon it was given
    TnActionList *FAcoes;
    TnMenuModelo FModelo;
    QList<QPointer<QMenu>> FMenus;
    QToolBar *FBarra;
    QList<QLabel *> FPaineis;
    int FEmAcao = 0;          // actions running: menus are rebuilt only after them
    bool FMenusPendentes = false;
    bool FMenusAgendados = false;
    bool FInicializado = false;
};
