#include "ModulosTeste.h"

TEST(VariaveisFramework, ListaNomeValorSemDistincaoDeCaixa)
{
    TnVariaveis v;
    for (const char *n : {"gCodigoEmpresaAtiva", "gCodigoEstabAtiva", "gCodigoEmpresa", "gDataInvent", "pDataInvent",
                          "pDataInvent_Pad", "gDataInventAtiva", "gQTDECASADECIMAL", "gQTDECASADECIMALQTD"})
        EXPECT_TRUE(v.Existe(QString::fromLatin1(n))) << n;
    v.SetValor(QStringLiteral("GDATAINVENT"), QStringLiteral("31/03/2024"));
    v.SetValor(QStringLiteral("gNova"), QStringLiteral("a=b"));
    EXPECT_EQ(v.Valor(QStringLiteral("gdatainvent")), QStringLiteral("31/03/2024"));
    EXPECT_EQ(v.Lista().at(3), QStringLiteral("gDataInvent=31/03/2024")); // the first spelling stays
    EXPECT_EQ(v.Lista().last(), QStringLiteral("gNova=a=b"));
    EXPECT_TRUE(v.Valor(QStringLiteral("gAusente")).isEmpty());
    for (const QString &ruim : {QStringLiteral(""), QStringLiteral(" "), QStringLiteral("a=b"), QStringLiteral("a\nb")})
        EXPECT_THROW(v.SetValor(ruim, QStringLiteral("x")), Exception);
    v.Remover(QStringLiteral("gnova"));
    EXPECT_FALSE(v.Existe(QStringLiteral("gNova")));
    v.Reiniciar();
    EXPECT_TRUE(v.Valor(QStringLiteral("gDataInvent")).isEmpty());

    // The global list through the framework's names; one blank counts as no value.
    ExternalVar(QStringLiteral("gDataInvent"), QStringLiteral(" "));
    EXPECT_EQ(ExternalVar(QStringLiteral("gDataInvent")), QStringLiteral(" "));
    EXPECT_EQ(PegarValorExternalVar(QStringLiteral("gDataInvent"), QStringLiteral("vazio")), QStringLiteral("vazio"));
    ExternalVar(QStringLiteral("gCodigoEmpresaAtiva"), QStringLiteral("7"));
    EXPECT_EQ(PegarValorExternalVar(QStringLiteral("gCodigoEmpresaAtiva"), QStringLiteral("0")), QStringLiteral("7"));
    Variaveis().Reiniciar();
}

TEST(SelecaoParametros, PorNomeEPorPosicaoEConversoes)
{
    TnSelecao s;
    s.GetParams(QStringLiteral("CodigoEmpresa")).SetValue(12);
    s.GetParams(QStringLiteral("DataInvent")).SetValue(QStringLiteral("31/03/2024"));
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(&s.GetParams(QStringLiteral("codigoempresa")), &s.GetParams(0));
    EXPECT_EQ(s.GetParams(1).AsDate(), QDate(2024, 3, 31));
    EXPECT_EQ(s.GetParams(0).AsInteger(), 12);
    EXPECT_EQ(s.GetParams(0).AsString(), QStringLiteral("12"));
    EXPECT_THROW(s.GetParams(2), Exception);
    EXPECT_THROW(s.GetParams(-1), Exception);
    EXPECT_THROW(s.GetParams(QStringLiteral(" ")), Exception);

    TnParamSelecao p(QStringLiteral("X"));
    EXPECT_TRUE(p.IsNull());
    EXPECT_EQ(p.AsInteger(), 0);
    p.SetValue(QDate(2024, 1, 5));
    EXPECT_EQ(p.AsString(), QStringLiteral("05/01/2024"));
    p.SetValue(QStringLiteral("2024-02-29"));
    EXPECT_EQ(p.AsDate(), QDate(2024, 2, 29));
    p.SetValue(QStringLiteral("31/02/2024"));
    EXPECT_FALSE(p.AsDate().isValid());
    p.SetValue(QStringLiteral("12abc"));
    EXPECT_EQ(p.AsInteger(), 0);
    p.SetValue(2.5);
    EXPECT_EQ(p.AsInteger(), 0);
    p.SetValue(QStringLiteral("  "));
    EXPECT_TRUE(p.IsNull());
}

using SelecaoModulos = ModulosFixture;

TEST_F(SelecaoModulos, ReconfigurarDMAcertaVariaveisEAvisaQuemSegueOParametro)
{
    auto *lcto = static_cast<TTesteDMLcto *>(CriarDM(QStringLiteral("TTesteDMLcto")));
    auto *proc = static_cast<TTesteDPProcesso *>(CriarDM(QStringLiteral("TTesteDPProcesso")));

    Selecao().GetParams(QStringLiteral("DataInvent")).SetValue(QDate(2024, 3, 31));
    ReconfigurarDM(QStringLiteral("datainvent"), true);
    for (const char *n : {"gDataInvent", "pDataInvent", "pDataInvent_Pad", "gDataInventAtiva"})
        EXPECT_EQ(ExternalVar(QString::fromLatin1(n)), QStringLiteral("31/03/2024")) << n;
    EXPECT_EQ(lcto->Reconfiguracoes, QStringList({"DataInvent+"}));
    EXPECT_EQ(lcto->Atualizacoes, 1); // the base hook re-reads when asked to
    EXPECT_EQ(proc->Atualizacoes, 0); // does not follow the date

    Selecao().GetParams(QStringLiteral("CodigoEmpresa")).SetValue(QStringLiteral(" 5 "));
    ReconfigurarDM(QStringLiteral("CodigoEmpresa"), false);
    EXPECT_EQ(ExternalVar(QStringLiteral("gCodigoEmpresaAtiva")), QStringLiteral("5"));
    EXPECT_EQ(ExternalVar(QStringLiteral("gCodigoEmpresa")), QStringLiteral("5"));
    EXPECT_EQ(lcto->Reconfiguracoes, QStringList({"DataInvent+", "CodigoEmpresa-"}));
    EXPECT_EQ(lcto->Atualizacoes, 1);

    // A module closed before the change is not called; one freed by another's hook neither.
    DestruirDM(proc);
    Selecao().GetParams(QStringLiteral("CodigoEstab")).SetValue(3);
    Selecao().Refresh();
    EXPECT_EQ(ExternalVar(QStringLiteral("gCodigoEstabAtiva")), QStringLiteral("3"));
    ReconfigurarDM(QStringLiteral("CodigoEmpresa"), true);
    EXPECT_EQ(lcto->Atualizacoes, 2);

    Selecao().Reset();
    EXPECT_TRUE(Selecao().GetParams(QStringLiteral("DataInvent")).IsNull());
    for (const char *n : {"gDataInvent", "gDataInventAtiva", "gCodigoEmpresaAtiva", "gCodigoEstabAtiva"})
        EXPECT_TRUE(ExternalVar(QString::fromLatin1(n)).isEmpty()) << n;
}

TEST_F(SelecaoModulos, ChavesEValoresDaSelecaoPorInstancia)
{
    // A key of this case only: the selection keeps the keys other cases chose (empty) for the
    // runner's life, and this case checks that pinning does not add one.
    auto *lcto = static_cast<TTesteDMLcto *>(CriarDM(QStringLiteral("TTesteDMLcto")));
    auto *outro = static_cast<TTesteDMLcto *>(CriarDM(QStringLiteral("TTesteDMLcto")));
    EXPECT_EQ(lcto->ChavesSelecao(), QStringList({"CodigoEmpresa", "CodigoEstab", "DataInvent"}));
    lcto->SetVerificaSelecaoManual(QStringLiteral(" CODIGOEMPRESA;CODIGOESTAB;;DATAINVENT;CODIGOLOTEFIXADO; "));
    EXPECT_EQ(lcto->ChavesSelecao(), QStringList({"CODIGOEMPRESA", "CODIGOESTAB", "DATAINVENT", "CODIGOLOTEFIXADO"}));
    EXPECT_EQ(outro->ChavesSelecao().size(), 3); // the class keeps its keys

    // A pinned value is the instance's own; the selection stays as it is.
    EXPECT_EQ(lcto->ParamSelecao(QStringLiteral("CodigoLoteFixado")), nullptr); // nobody chose it
    EXPECT_FALSE(Selecao().Existe(QStringLiteral("CodigoLoteFixado")));
    Selecao().GetParams(QStringLiteral("CodigoEstab")).SetValue(1);
    lcto->FixarSelecao(QStringLiteral("codigoestab"), 7);
    lcto->FixarSelecao(QStringLiteral("CODIGOESTAB"), 8); // the same key, any case
    lcto->FixarSelecao(QStringLiteral("CodigoLoteFixado"), QVariant());
    EXPECT_EQ(lcto->ParamSelecao(QStringLiteral("CodigoEstab"))->AsInteger(), 8);
    EXPECT_TRUE(lcto->ParamSelecao(QStringLiteral("CodigoLoteFixado"))->IsNull());
    EXPECT_EQ(outro->ParamSelecao(QStringLiteral("CodigoEstab"))->AsInteger(), 1);
    EXPECT_EQ(Selecao().GetParams(QStringLiteral("CodigoEstab")).AsInteger(), 1);
    EXPECT_FALSE(Selecao().Existe(QStringLiteral("CodigoLoteFixado")));
    EXPECT_THROW(lcto->FixarSelecao(QStringLiteral(" "), 1), Exception);

    // A pinned key no longer follows the selection; the others still do.
    lcto->Reconfiguracoes.clear();
    outro->Reconfiguracoes.clear();
    ReconfigurarDM(QStringLiteral("CodigoEstab"), false);
    EXPECT_TRUE(lcto->Reconfiguracoes.isEmpty());
    EXPECT_EQ(outro->Reconfiguracoes, QStringList({"CodigoEstab-"}));
    ReconfigurarDM(QStringLiteral("DataInvent"), false);
    EXPECT_EQ(lcto->Reconfiguracoes, QStringList({"DataInvent-"}));
    lcto->SoltarSelecao(QStringLiteral("CodigoEstab"));
    EXPECT_EQ(lcto->ParamSelecao(QStringLiteral("CodigoEstab"))->AsInteger(), 1);
    ReconfigurarDM(QStringLiteral("CodigoEstab"), false);
    EXPECT_EQ(lcto->Reconfiguracoes.last(), "CodigoEstab-");
}
