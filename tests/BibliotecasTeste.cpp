#include "Bibliotecas.h"
#include "Menu.h"
#include "ModulosTeste.h"

#include <QPointer>

namespace {
const QString kPlugin = QStringLiteral("PluginTeste");

class Bibliotecas : public ::testing::Test {
protected:
    void TearDown() override
    {
        TnBibliotecas::DescarregarTodas();
        DestruirTodosDM();
        Variaveis().Reiniciar();
    }
};
} // namespace

TEST_F(Bibliotecas, CarregarRegistraEDescarregarNaoDeixaNadaDaBiblioteca)
{
    TnBibliotecas::Carregar(kPlugin);
    TnBibliotecas::Carregar(kPlugin); // again: nothing
    EXPECT_EQ(TnBibliotecas::Carregadas(), QStringList({kPlugin}));
    EXPECT_EQ(Registro().ClassesDaBiblioteca(kPlugin), QStringList({"TPluginDMTeste", "TPluginDPConsulta"}));
    EXPECT_EQ(Registro().ActionPowerInfo(12), QStringLiteral("TPluginDPConsulta"));
    const TnClasseInfo *info = Registro().Classe(QStringLiteral("tplugindmteste"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->PegarVerificaSelecao(), QStringLiteral("CodigoEmpresa;DataInvent"));

    TnActionList acoes;
    acoes.GerarPrincAction(TnEventoAcao(), Modulos({3}));
    ASSERT_EQ(acoes.Count(), 2);
    TnMenuModelo menu({"&Movimentos", "C&onsultas"});
    menu.Montar(acoes);
    QObject::connect(&acoes, &TnActionList::Alterada, [&] { menu.Montar(acoes); });
    ASSERT_NE(menu.Item(QStringLiteral("Movimentos\\Consultas\\Teste do Plugin")), nullptr);
    acoes.Acao(QStringLiteral("actTPluginDPConsulta"))->Execute();
    EXPECT_EQ(ExternalVar(QStringLiteral("gPluginExecutado")), QStringLiteral("sim"));

    QPointer<TnDataModule> dm = CriarDM(QStringLiteral("TPluginDMTeste"));
    AtualizarDM(QStringLiteral("TPluginDMTeste"));
    EXPECT_EQ(ExternalVar(QStringLiteral("gPluginAtualizado")), QStringLiteral("sim"));
    const QString nomeAcao = acoes.Item(0)->Name();

    TnBibliotecas::Descarregar(kPlugin);
    EXPECT_FALSE(TnBibliotecas::Carregada(kPlugin));
    EXPECT_EQ(Registro().Classe(QStringLiteral("TPluginDMTeste")), nullptr);
    EXPECT_TRUE(dm.isNull());
    EXPECT_EQ(acoes.Count(), 0);
    EXPECT_TRUE(menu.Item(QStringLiteral("Movimentos"))->Itens.empty());
    EXPECT_TRUE(Registro().ActionPowerInfo(12).isEmpty());
    // Texts that came from the library are the framework's own copies and still readable.
    EXPECT_EQ(nomeAcao, QStringLiteral("actTPluginDMTeste"));
    EXPECT_EQ(ExternalVar(QStringLiteral("gPluginAtualizado")), QStringLiteral("sim"));
    EXPECT_THROW(CriarDM(QStringLiteral("TPluginDMTeste")), Exception);

    // Loaded again, it registers again.
    TnBibliotecas::Carregar(kPlugin);
    EXPECT_NE(Registro().Classe(QStringLiteral("TPluginDMTeste")), nullptr);
    acoes.GerarPrincAction(TnEventoAcao(), Modulos({3}));
    EXPECT_EQ(acoes.Count(), 2);
}

TEST_F(Bibliotecas, NomesForaDaPastaDoProgramaEBibliotecaAusente)
{
    for (const QString &nome : {QStringLiteral("../PluginTeste"), QStringLiteral("/tmp/PluginTeste"),
                                QStringLiteral("sub\\PluginTeste"), QStringLiteral(""), QStringLiteral("..")})
        EXPECT_THROW(TnBibliotecas::Carregar(nome), Exception) << nome.toStdString();
    try {
        TnBibliotecas::Carregar(QStringLiteral("NaoExiste"));
        FAIL() << "biblioteca ausente carregada";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Não foi possível carregar a biblioteca NaoExiste")));
    }
    EXPECT_TRUE(TnBibliotecas::Carregadas().isEmpty());
    TnBibliotecas::Descarregar(QStringLiteral("NaoExiste")); // nothing to do
}
