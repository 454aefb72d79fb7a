// The main window: menus from the registered classes, toolbar buttons, status panels and the
// opening of classes by name.
#include "Bibliotecas.h"
#include "InteracaoTeste.h"
#include "ModulosTeste.h"
#include "QtForms.h"
#include "QtMenu.h"
#include "QtTeste.h"

#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest/QTest>

namespace {
// A main window as a module's own: eight top-level items, four panels, panel 2 taking the
// free width.
class TTesteMenu : public TnFrmMenuVarnel {
public:
    TTesteMenu()
    {
        setWindowTitle("Inventário - Varnel");
        SetItensMenuPrincipal({"Á&reas de Trabalho", "&Cadastros", "&Movimentos", "C&onsultas", "&Utilitários",
                               "Co&nfigurações", "R&elatórios", "Ar&quivos"});
        SetPaineis({70, 100, 150, 150});
    }
    void nStatusBarResize() override
    {
        TnFrmMenuVarnel::nStatusBarResize();
        ++Redimensionamentos;
        SetLarguraPainel(2, statusBar()->width() - LarguraPainel(0) - LarguraPainel(1) - LarguraPainel(3) - 15);
    }
    void actShowForm(TnAction *acao) override
    {
        Roteadas.append(acao->Name());
        TnFrmMenuVarnel::actShowForm(acao);
    }
    int Redimensionamentos = 0;
    QStringList Roteadas;
};

// A class registered while the window is open.
class TTesteDMTardio : public TnDataModule {
public:
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos)
    {
        if (!modulos.test(3))
            return;
        TnAction *a = lista.Adicionar(classe, evento);
        a->SetCategory("04 Consultas\\10 Outras");
        a->SetCaption("Consulta Tardia");
    }
};

class JanelaPrincipal : public ModulosFixture {
protected:
    void SetUp() override
    {
        ModulosFixture::SetUp();
        Selecao().GetParams("CodigoEmpresa").SetValue(1);
        Selecao().GetParams("CodigoEstab").SetValue(1);
        Selecao().GetParams("DataInvent").SetValue(QDate(2024, 3, 31));
    }
};

TnFrmModulo *JanelaDoModulo(TnDataModule *dm)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = qobject_cast<TnFrmModulo *>(w); f && f->Modulo() == dm)
            return f;
    return nullptr;
}
} // namespace

TEST_F(JanelaPrincipal, MenusDasClassesRegistradasRefeitosComORegistro)
{
    TTesteMenu janela;
    janela.Inicializar();
    QStringList topo;
    for (QAction *a : janela.menuBar()->actions())
        topo.append(a->text());
    EXPECT_EQ(topo.mid(0, 8), QStringList({"Á&reas de Trabalho", "&Cadastros", "&Movimentos", "C&onsultas",
                                           "&Utilitários", "Co&nfigurações", "R&elatórios", "Ar&quivos"}));
    QAction *lcto = janela.AcaoDoMenu("Movimentos\\Lançamentos do Inventário");
    ASSERT_NE(lcto, nullptr);
    EXPECT_EQ(lcto->shortcut(), QKeySequence("Ctrl+Shift+L"));
    EXPECT_FALSE(lcto->icon().isNull());
    // Only the module-3 actions: the general-registry entry of the class is not built.
    EXPECT_EQ(janela.AcaoDoMenu("Configurações\\Consultas\\Inventário"), nullptr);

    ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteDMTardio>("TTesteDMTardio")));
    QApplication::processEvents();
    EXPECT_NE(janela.AcaoDoMenu("Consultas\\Outras\\Consulta Tardia"), nullptr);
    nUnRegisterClass("TTesteDMTardio");
    QApplication::processEvents();
    EXPECT_EQ(janela.AcaoDoMenu("Consultas\\Outras\\Consulta Tardia"), nullptr);
    EXPECT_EQ(janela.Acoes().Acao("actTTesteDMTardio"), nullptr);
}

// The menus follow a library that loads and unloads; an entry left from before the menus
// are rebuilt does nothing once its library is gone (its action went with the classes).
TEST_F(JanelaPrincipal, MenusSeguemABibliotecaCarregadaEDescarregada)
{
    TTesteMenu janela;
    janela.Inicializar();
    TnBibliotecas::Carregar("PluginTeste");
    QApplication::processEvents();
    QPointer<QAction> consulta = janela.AcaoDoMenu("Consultas\\Consulta do Plugin");
    ASSERT_FALSE(consulta.isNull());
    consulta->trigger(); // the class's own event, code of the library
    EXPECT_EQ(ExternalVar("gPluginExecutado"), "sim");

    ExternalVar("gPluginExecutado", "");
    TnBibliotecas::Descarregar("PluginTeste");
    EXPECT_EQ(janela.Acoes().Acao("actTPluginDPConsulta"), nullptr);
    if (consulta)
        consulta->trigger(); // not rebuilt yet: nothing runs
    EXPECT_EQ(ExternalVar("gPluginExecutado"), "");
    QApplication::processEvents();
    EXPECT_EQ(janela.AcaoDoMenu("Consultas\\Consulta do Plugin"), nullptr);
    EXPECT_EQ(janela.AcaoDoMenu("Movimentos\\Consultas\\Teste do Plugin"), nullptr);
}

TEST_F(JanelaPrincipal, MenuAbreAClasseEFecharLiberaOModulo)
{
    TTesteMenu janela;
    janela.Inicializar();
    janela.AcaoDoMenu("Movimentos\\Lançamentos do Inventário")->trigger();
    EXPECT_EQ(janela.Roteadas, QStringList({"actTTesteDMLcto"}));
    TnDataModule *dm = FindGlobalDataModule("TesteDMLcto");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->Acao(), janela.Acoes().Acao("actTTesteDMLcto"));
    TnFrmModulo *form = JanelaDoModulo(dm);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    form->close();
    EXPECT_EQ(FindGlobalDataModule("TesteDMLcto"), nullptr);

    // Unregistering the class destroys its module: the window goes with it.
    janela.AbrirClasse("TTesteDPProcesso");
    QPointer<TnFrmModulo> outra = JanelaDoModulo(FindGlobalDataModule("TesteDPProcesso"));
    ASSERT_FALSE(outra.isNull());
    nUnRegisterClass("TTesteDPProcesso");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(outra.isNull());
}

TEST_F(JanelaPrincipal, ShowFormModalConfirmadoAoFechar)
{
    TTesteMenu janela;
    janela.Inicializar();
    teste::QuandoModal([](QWidget *w) {
        EXPECT_NE(FindGlobalDataModule("TesteDMLcto"), nullptr);
        EXPECT_TRUE(teste::Clicar(w, "Fechar"));
    });
    EXPECT_TRUE(janela.ShowFormModal(janela.Acoes().Acao("actttestedmlcto"), "ttestedmlcto"));
    EXPECT_EQ(FindGlobalDataModule("TesteDMLcto"), nullptr);

    TnInteracaoTeste usuario;
    EXPECT_FALSE(janela.ShowFormModal(nullptr, "TNaoRegistrada"));
    EXPECT_EQ(usuario.Avisos, QStringList({"\"TNaoRegistrada\" não está disponível."}));
}

TEST_F(JanelaPrincipal, BotoesDaBarraSemClasseNaoQuebram)
{
    TTesteMenu janela;
    janela.Inicializar();
    QAction *lcto = janela.CriarToolButtonMain("TTesteDMLcto", "Lançamento do Inventário", false, "Lançamentos", 0);
    QAction *agenda = janela.CriarToolButtonMain("TQuenDPQuenbyAgenda", "Agenda Tributária", true, "Agenda Tributária", 0);
    EXPECT_EQ(janela.BarraFerramentas()->actions().size(), 3); // a separator before the second
    EXPECT_TRUE(janela.BarraFerramentas()->actions()[1]->isSeparator());
    EXPECT_EQ(agenda->toolTip(), "Agenda Tributária");

    TnInteracaoTeste usuario;
    agenda->trigger();
    EXPECT_EQ(usuario.Avisos, QStringList({"\"Agenda Tributária\" não está disponível."}));

    // A button of a class with a menu action goes through actShowForm, as the menu does.
    lcto->trigger();
    EXPECT_EQ(janela.Roteadas, QStringList({"actTTesteDMLcto"}));
    ASSERT_NE(FindGlobalDataModule("TesteDMLcto"), nullptr);
    JanelaDoModulo(FindGlobalDataModule("TesteDMLcto"))->close();
}

TEST_F(JanelaPrincipal, PaineisDaBarraDeStatusECaptura)
{
    ExternalVar("gNomeUsuario", "ADMIN");
    ExternalVar("gCodigoEmpresaAtiva", "1");
    TTesteMenu janela;
    janela.Inicializar();
    janela.CriarToolButtonMain("TTesteDMLcto", "Lançamento do Inventário", false, "Lançamentos", 0);
    EXPECT_EQ(janela.QtdePaineis(), 4);
    EXPECT_EQ(janela.TextoPainel(0), "ADMIN");
    EXPECT_EQ(janela.TextoPainel(1), "Empresa: 1");
    janela.SetTextoPainel(3, "Inventário: 03/2024 - Trimestral");
    EXPECT_EQ(janela.TextoPainel(3), "Inventário: 03/2024 - Trimestral");
    EXPECT_EQ(janela.TextoPainel(9), ""); // panels that do not exist are ignored

    janela.resize(900, 600);
    janela.show();
    QApplication::processEvents();
    EXPECT_GT(janela.Redimensionamentos, 0);
    // A text longer than its panel widens the panel instead of being cut off.
    EXPECT_GT(janela.LarguraPainel(3), 150);
    EXPECT_EQ(janela.LarguraPainel(2),
              janela.statusBar()->width() - janela.LarguraPainel(0) - janela.LarguraPainel(1) - janela.LarguraPainel(3) - 15);
    janela.SetTextoPainel(3, "");
    EXPECT_EQ(janela.LarguraPainel(3), 150);
    EXPECT_FALSE(teste::Capturar(&janela, "janela_principal").isEmpty());
}

namespace {
// A register and its consultation that both name the same keys.
template <int Tipo, int Indice> class TTesteAtalho : public TnDataModule {
public:
    static int PegarTipoObjeto() { return Tipo; }
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos)
    {
        if (!modulos.test(3))
            return;
        TnAction *a = lista.Adicionar(classe, evento);
        a->SetCategory("10 Configurações");
        a->SetCaption(Tipo == 1 ? "Registro Atalho" : "Consulta Atalho");
        a->SetMenuIndex(Indice);
        a->SetShortCut("Shift+Ctrl+F11");
    }
};
} // namespace

TEST_F(JanelaPrincipal, AtalhoRepetidoFicaComORegistro)
{
    // The consultation comes first in the menu; the keys still open the register.
    ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteAtalho<2, 1>>("TTesteDCAtalho")));
    ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteAtalho<1, 20>>("TTesteDMAtalho")));
    {
        TTesteMenu janela;
        janela.Inicializar();
        QAction *registro = janela.AcaoDoMenu("Configurações\\Registro Atalho");
        QAction *consulta = janela.AcaoDoMenu("Configurações\\Consulta Atalho");
        ASSERT_NE(registro, nullptr);
        ASSERT_NE(consulta, nullptr);
        EXPECT_EQ(registro->shortcut(), QKeySequence("Shift+Ctrl+F11"));
        EXPECT_TRUE(consulta->shortcut().isEmpty());
    }
    nUnRegisterClass("TTesteDCAtalho");
    nUnRegisterClass("TTesteDMAtalho");
}

// F7 (company and branch) answers while a module's window has the focus.
TEST_F(JanelaPrincipal, TeclaDeSelecaoNaJanelaDeUmModulo)
{
    TTesteMenu janela;
    janela.Inicializar();
    janela.show();
    QAction *trocar = janela.AcaoDoMenu("Arquivos\\Trocar Empresa e Estabelecimento");
    ASSERT_NE(trocar, nullptr);
    EXPECT_EQ(trocar->shortcut(), QKeySequence(Qt::Key_F7));
    EXPECT_EQ(trocar->shortcutContext(), Qt::ApplicationShortcut);
    janela.AcaoDoMenu("Movimentos\\Lançamentos do Inventário")->trigger();
    TnFrmModulo *form = JanelaDoModulo(FindGlobalDataModule("TesteDMLcto"));
    ASSERT_NE(form, nullptr);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QString titulo;
    teste::QuandoModal([&titulo](QWidget *w) {
        titulo = w->windowTitle();
        w->close();
    });
    QTest::keyClick(form, Qt::Key_F7);
    EXPECT_EQ(titulo, "Trocar Empresa e Estabelecimento");
    form->close();
}
