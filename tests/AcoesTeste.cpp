#include "ModulosTeste.h"

TEST(HashComp, FnvUmAEstavel)
{
    EXPECT_EQ(TnActionList::GetHashComp(QString()), 0x811C9DC5u);
    EXPECT_EQ(TnActionList::GetHashComp(QStringLiteral("a")), 0xE40C292Cu);
    EXPECT_EQ(TnActionList::GetHashComp(QStringLiteral("foobar")), 0xBF9CF968u);
    // UTF-8 bytes, and case matters: the master link is the exact action name.
    EXPECT_EQ(TnActionList::GetHashComp(QStringLiteral("ç")), 0x189DDF4Fu);
    EXPECT_EQ(TnActionList::GetHashComp(QStringLiteral("actTOrvoDMSpedFisK290")), 0xE5BA81A4u);
    EXPECT_NE(TnActionList::GetHashComp(QStringLiteral("actTOrvoDMSpedFisK290")),
              TnActionList::GetHashComp(QStringLiteral("actTOrvoDMSPEDFISK290")));
}

using AcoesMenu = ModulosFixture;

TEST_F(AcoesMenu, GerarPrincActionPorConjuntoDeModulos)
{
    int executadas = 0;
    TnAction *vista = nullptr;
    const TnEventoAcao evento = [&](TnAction *a) { ++executadas; vista = a; };

    TnActionList menu3;
    menu3.GerarPrincAction(evento, Modulos({3}));
    ASSERT_EQ(menu3.Count(), 1); // the process adds nothing
    TnAction *a = menu3.Acao(QStringLiteral("ACTTTESTEDMLCTO"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Name(), QStringLiteral("actTTesteDMLcto"));
    EXPECT_EQ(a->NomeClasse(), QStringLiteral("TTesteDMLcto"));
    EXPECT_EQ(a->Category(), QStringLiteral("20 Movimentos"));
    EXPECT_EQ(a->Caption(), QStringLiteral("Lançamentos do Inventário"));
    EXPECT_EQ(a->MenuIndex(), 10);
    EXPECT_EQ(a->ShortCut(), QStringLiteral("Ctrl+Shift+L"));
    EXPECT_EQ(a->ImageIndex(), 100);
    EXPECT_EQ(a->VerificaSelecao(), QStringLiteral("CodigoEmpresa; CodigoEstab;DataInvent;"));
    EXPECT_TRUE(a->ChecarSelecao());
    EXPECT_FALSE(a->ControlaDireito());
    EXPECT_EQ(a->HashMestre(), 0u);
    EXPECT_TRUE(a->Execute());
    EXPECT_EQ(executadas, 1);
    EXPECT_EQ(vista, a);

    TnActionList menu0;
    menu0.GerarPrincAction(evento, Modulos({0}));
    ASSERT_EQ(menu0.Count(), 1);
    EXPECT_EQ(menu0.Item(0)->Category(), QStringLiteral("10 Configurações\\00 Consultas"));
    EXPECT_FALSE(menu0.Item(0)->ChecarSelecao());

    TnActionList nenhum;
    nenhum.GerarPrincAction(evento, Modulos({1, 191}));
    EXPECT_EQ(nenhum.Count(), 0);
    EXPECT_THROW(Modulos({192}), std::out_of_range);

    TnAction *detalhe = nenhum.Adicionar(QStringLiteral("actDetalhe"));
    detalhe->SetMestre(QStringLiteral("actTTesteDMLcto"));
    EXPECT_EQ(detalhe->HashMestre(), TnActionList::GetHashComp(QStringLiteral("actTTesteDMLcto")));
    EXPECT_FALSE(detalhe->Execute()); // no execute event
}
