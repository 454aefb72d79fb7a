// The program's own windows without a database: the main window's routing, panels, menus
// and toolbar, the inventory-period text where it must not read anything, and the splash.
#include "Conexao.h"
#include "InteracaoTeste.h"
#include "Menu.h"
#include "OrvoSMenuRegras.h"
#include "OrvoSMenu_U.h"
#include "OrvoSSplash_U.h"
#include "QtTeste.h"
#include "Variaveis.h"

#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {
class MenuOrvo : public ::testing::Test {
protected:
    void TearDown() override
    {
        Selecao().Reset();
        Variaveis().Reiniciar();
    }
};
} // namespace

TEST_F(MenuOrvo, AcoesRoteadasPeloNomeSemDiferencaDeCaixa)
{
    for (const char *nome : {"actTOrvoDMCfgEmpresaInv", "ACTTORVODMCFGEMPRESAINV", "acttorvodmcfgempresainv"})
        EXPECT_EQ(RotaDaAcao(QString::fromLatin1(nome)), TOrvoRotaAcao::ConfiguracaoInv) << nome;
    for (const char *nome : {"actTOrvoDPPeriodoInventario", "ActTorvoDpPeriodoInventario"})
        EXPECT_EQ(RotaDaAcao(QString::fromLatin1(nome)), TOrvoRotaAcao::PeriodoInventario) << nome;
    for (const char *nome : {"actTOrvoDMLctoInv", "TOrvoDMCfgEmpresaInv", "actTOrvoDMCfgEmpresaInvX",
                             "act TOrvoDPPeriodoInventario", "actTOrvoDCCfgEmpresaInv", "act", ""})
        EXPECT_EQ(RotaDaAcao(QString::fromLatin1(nome)), TOrvoRotaAcao::Herdada) << nome;

    // On the window: the routed actions open their classes modally (not registered here, so
    // the user is told); any other action reaches the framework's handler unchanged.
    TnInteracaoTeste usuario;
    TOrvoSMenu janela;
    janela.Inicializar();
    janela.SetTextoPainel(3, "Inventário: 12/2023");
    TnActionList acoes;
    janela.actShowForm(acoes.Adicionar("ACTTORVODPPERIODOINVENTARIO"));
    janela.actShowForm(acoes.Adicionar("acttorvodmcfgempresainv"));
    EXPECT_EQ(usuario.Avisos, QStringList({"\"TOrvoDPPeriodoInventario\" não está disponível.",
                                           "\"TOrvoDMCfgEmpresaInv\" não está disponível."}));
    EXPECT_EQ(janela.TextoPainel(3), "Inventário: 12/2023"); // not confirmed: left as it was
    try {
        janela.actShowForm(acoes.Adicionar("actOutra"));
        ADD_FAILURE() << "a ação sem classe deveria chegar ao tratamento do framework";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "A ação actOutra não abre nenhuma classe.");
    }
}

// Without a period nothing is read; without a company only the date part is shown. No
// connection is open here, so any read would fail.
TEST_F(MenuOrvo, TextoDoPeriodoSemLeituraDoBanco)
{
    ASSERT_EQ(nDMConexao::AtualOuNulo(), nullptr);
    ExternalVar("gCodigoEmpresaAtiva", "1");
    for (const char *vazio : {"", " ", "   "}) {
        ExternalVar("gDataInvent", QString::fromLatin1(vazio));
        EXPECT_EQ(TextoPeriodoInventario(), "") << '"' << vazio << '"';
    }
    ExternalVar("gDataInvent", "31/03/2024");
    for (const char *empresa : {"", "0", "abc", "1a"}) {
        ExternalVar("gCodigoEmpresaAtiva", QString::fromLatin1(empresa));
        EXPECT_EQ(TextoPeriodoInventario(), "Inventário: 03/2024") << empresa;
    }
}

TEST_F(MenuOrvo, JanelaComMenusPaineisEBarra)
{
    TnInteracaoTeste usuario;
    ExternalVar("gDataInvent", " "); // the period cleared by the settings register
    TOrvoSMenu janela;
    janela.Inicializar();
    janela.resize(900, 600);
    janela.show();
    QApplication::processEvents();

    EXPECT_EQ(janela.windowTitle(), "Inventário - Varnel");
    QStringList topo;
    for (QAction *a : janela.menuBar()->actions())
        topo.append(a->text());
    EXPECT_EQ(topo, QStringList({"Á&reas de Trabalho", "&Cadastros", "&Movimentos", "C&onsultas", "&Utilitários",
                                 "Co&nfigurações", "R&elatórios", "Ar&quivos"}));

    ASSERT_EQ(janela.QtdePaineis(), 4);
    EXPECT_EQ(janela.LarguraPainel(0), 70);
    EXPECT_EQ(janela.LarguraPainel(1), 100);
    EXPECT_EQ(janela.LarguraPainel(3), 150);
    EXPECT_EQ(janela.LarguraPainel(2), janela.statusBar()->width() - 70 - 100 - 150 - 15);
    EXPECT_EQ(janela.TextoPainel(3), "");

    // Five buttons; a separator before each one that starts a group.
    QStringList barra;
    for (QAction *a : janela.BarraFerramentas()->actions())
        barra.append(a->isSeparator() ? QStringLiteral("|") : a->text() + "=" + a->toolTip());
    EXPECT_EQ(barra, QStringList({"Período=Selecionar Período Inventário", "|", "Plano=Cadastro do Plano de Contas",
                                  "Produtos=Cadastro de Produtos", "|", "Lançamentos=Lançamento do Inventário", "|",
                                  "Agenda Tributária=Agenda Tributária"}));
    // Classes that are not there: the user is told, nothing breaks.
    for (QAction *a : janela.BarraFerramentas()->actions())
        if (!a->isSeparator())
            a->trigger();
    EXPECT_EQ(usuario.Avisos.size(), 5);
    EXPECT_EQ(usuario.Avisos.value(1), "\"Plano\" não está disponível.");
}

TEST(SplashOrvo, ItensLegendaEImagem)
{
    TOrvoSSplash splash;
    EXPECT_EQ(splash.GetListaSplashItens().size(), 9);
    EXPECT_EQ(splash.GetImagem().size(), QSize(700, 467));
    EXPECT_EQ(splash.size(), QSize(700, 467));
    splash.SetMensagem("Carregando bibliotecas...");
    EXPECT_FALSE(teste::Capturar(&splash, "splash_orvo").isEmpty());
}
