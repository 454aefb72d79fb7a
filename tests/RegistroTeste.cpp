#include "ModulosTeste.h"

#include <QPointer>

namespace {
class TTesteDMOutro : public TnDataModule {};
} // namespace

using RegistroClasses = ModulosFixture;

TEST_F(RegistroClasses, NomesSemDistincaoDeCaixaEClasseDesconhecida)
{
    const TnClasseInfo *info = Registro().Classe(QStringLiteral("ttestedmlcto"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Nome, QStringLiteral("TTesteDMLcto"));
    EXPECT_EQ(info->PegarTipoObjeto(), 1);
    EXPECT_EQ(info->ChavesSelecao(), QStringList({"CodigoEmpresa", "CodigoEstab", "DataInvent"}));
    EXPECT_EQ(Registro().Classe(QStringLiteral("TTesteDPProcesso"))->PegarTipoObjeto(), 0); // the base's

    // Another class under the same name, in any case, is refused and the first one stays.
    EXPECT_FALSE(nRegisterClass(InfoDaClasse<TTesteDMOutro>(QStringLiteral("TTESTEDMLCTO"))));
    EXPECT_EQ(Registro().Classe(QStringLiteral("TTesteDMLcto"))->Criar, info->Criar);

    try {
        CriarDM(QStringLiteral("TNaoExiste"));
        FAIL() << "classe desconhecida criada";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Classe não registrada: TNaoExiste"));
    }
    EXPECT_EQ(Registro().Instancias().size(), 0);
}

TEST_F(RegistroClasses, CriarDMDaNomesEFindGlobalDataModuleOsAcha)
{
    TnActionList lista;
    TnAction *acao = lista.Adicionar(QStringLiteral("actTTesteDMLcto"));
    TnDataModule *a = CriarDM(QStringLiteral("ttestedmlcto"), acao);
    EXPECT_EQ(a->ClassName(), QStringLiteral("TTesteDMLcto"));
    EXPECT_EQ(a->Nome(), QStringLiteral("TesteDMLcto"));
    EXPECT_EQ(a->Acao(), acao);
    EXPECT_TRUE(a->Global());
    EXPECT_EQ(a->ChavesSelecao().size(), 3);
    EXPECT_NE(dynamic_cast<TTesteDMLcto *>(a), nullptr);

    // The same instance name again: the new module gets a free name, the first keeps its own.
    TnDataModule *b = CriarDM(QStringLiteral("TTesteDMLcto"));
    TnDataModule *c = CriarDM(QStringLiteral("TTesteDMLcto"), nullptr, QStringLiteral("TESTEDMLCTO"));
    EXPECT_EQ(b->Nome(), QStringLiteral("TesteDMLcto_2"));
    EXPECT_EQ(c->Nome(), QStringLiteral("TESTEDMLCTO_3"));
    EXPECT_EQ(FindGlobalDataModule(QStringLiteral("testedmlcto")), a);
    EXPECT_EQ(FindGlobalDataModule(QStringLiteral("TesteDMLcto_2")), b);

    // A private module is not among the open ones; a module freed leaves the list.
    TnDataModule *p = CriarDMNovo(QStringLiteral("TTesteDPProcesso"));
    EXPECT_FALSE(p->Global());
    EXPECT_EQ(FindGlobalDataModule(QStringLiteral("TesteDPProcesso")), nullptr);
    DestruirDM(a);
    EXPECT_EQ(FindGlobalDataModule(QStringLiteral("TesteDMLcto")), nullptr);
    EXPECT_EQ(Registro().Instancias().size(), 3);

    // The action that opened a module may go before it.
    TnDataModule *d = CriarDM(QStringLiteral("TTesteDMLcto"), acao, QStringLiteral("comAcao"));
    lista.Limpar();
    EXPECT_EQ(d->Acao(), nullptr);

    DestruirTodosDM();
    EXPECT_TRUE(Registro().Instancias().isEmpty());
}

TEST_F(RegistroClasses, FalhaAoConfigurarNaoDeixaModuloAberto)
{
    EXPECT_THROW(CriarDM(QStringLiteral("TTesteDMFalha")), Exception);
    EXPECT_TRUE(Registro().Instancias().isEmpty());
}

TEST_F(RegistroClasses, RemoverClasseDestroiModulosAcoesETipoDeAcao)
{
    TnActionList lista;
    lista.GerarPrincAction(TnEventoAcao(), Modulos({3}));
    ASSERT_NE(lista.Acao(QStringLiteral("actTTesteDMLcto")), nullptr);
    QPointer<TnAction> acao = lista.Acao(QStringLiteral("actTTesteDMLcto"));
    QPointer<TnDataModule> dm = CriarDM(QStringLiteral("TTesteDMLcto"));
    QPointer<TnDataModule> outro = CriarDM(QStringLiteral("TTesteDPProcesso"));
    SetActionPowerInfo(12, QStringLiteral("ttestedmlcto"));
    int alteracoes = 0;
    QObject::connect(&lista, &TnActionList::Alterada, [&] { ++alteracoes; });

    nUnRegisterClass(QStringLiteral("TTESTEDMLCTO"));
    EXPECT_EQ(Registro().Classe(QStringLiteral("TTesteDMLcto")), nullptr);
    EXPECT_TRUE(dm.isNull());
    EXPECT_TRUE(acao.isNull());
    EXPECT_EQ(lista.Count(), 0);
    EXPECT_EQ(alteracoes, 1);
    EXPECT_TRUE(Registro().ActionPowerInfo(12).isEmpty());
    EXPECT_FALSE(outro.isNull());
    nUnRegisterClass(QStringLiteral("TTesteDMLcto")); // unknown now: nothing happens
}

TEST_F(RegistroClasses, RegistradorRegistraEnquantoViveENaoRemoveClasseAlheia)
{
    {
        TnRegistrador<TTesteDMOutro> r("TTesteDMOutro");
        EXPECT_NE(Registro().Classe(QStringLiteral("TTesteDMOutro")), nullptr);
    }
    EXPECT_EQ(Registro().Classe(QStringLiteral("TTesteDMOutro")), nullptr);

    // A registrar refused because the name is taken leaves the owner's class in place.
    {
        TnRegistrador<TTesteDMOutro> r("TTesteDMLcto");
    }
    EXPECT_NE(Registro().Classe(QStringLiteral("TTesteDMLcto")), nullptr);
    // Removing by entry only removes the entry made from it.
    RemoverRegistroDe(InfoDaClasse<TTesteDMOutro>(QStringLiteral("TTesteDMLcto")));
    EXPECT_NE(Registro().Classe(QStringLiteral("TTesteDMLcto")), nullptr);
}

TEST_F(RegistroClasses, AtualizarDMPorNomeDeClasse)
{
    auto *a = static_cast<TTesteDMLcto *>(CriarDM(QStringLiteral("TTesteDMLcto")));
    auto *b = static_cast<TTesteDMLcto *>(CriarDMNovo(QStringLiteral("TTesteDMLcto")));
    auto *p = static_cast<TTesteDPProcesso *>(CriarDM(QStringLiteral("TTesteDPProcesso")));
    AtualizarDM(QStringLiteral("ttestedmlcto"));
    AtualizarDMRecord(QStringLiteral("TTesteDMLcto"));
    AtualizarDM(QString()); // no class: nobody
    EXPECT_EQ(a->Atualizacoes, 1);
    EXPECT_EQ(b->Atualizacoes, 1);
    EXPECT_EQ(a->AtualizacoesRegistro, 1);
    EXPECT_EQ(p->Atualizacoes, 0);
}
