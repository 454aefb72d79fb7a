// The suite's product utility on a database: how a typed text finds a product, and products
// inserted and altered through it as the database then holds them.
#include "BancoOrvo.h"
#include "SQLDataSet.h"
#include "Personalizacao.h"
#include "SuiteProduto.h"

namespace {

class ProdutoBanco : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
        con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO) values (1, 12)");
        util.SetCodigoEmpresa(1);
    }
    void Produto(int empresa, qint64 codigo, const QVariant &referencia, const QString &descricao)
    {
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO, "
                       "UNIDADEMEDIDA) values (?, ?, ?, ?, 'UN')",
                       {empresa, codigo, referencia, descricao});
    }
    QVariant NoBanco(const char *coluna, qint64 codigo, int empresa = 1)
    {
        return nDMSQLDataSet::PegarValorCampo(
            "PRODUTO", coluna, QStringLiteral("CODIGOEMPRESA = %1 and CODIGOPRODUTO = %2").arg(empresa).arg(codigo));
    }
    TnUtilProduto util;
};

TEST_F(ProdutoBanco, ReferenciaVenceCodigoETextoNaoNumericoNaoAchaCodigoZero)
{
    Produto(1, 0, QVariant(), "Código zero");
    Produto(1, 7, "123", "Referência 123");
    Produto(1, 123, "ABC", "Código 123");
    Produto(2, 8, "abc", "Da outra empresa");

    ASSERT_TRUE(util.EncontrarProduto("123"));
    EXPECT_EQ(util.GetCodigoProduto(), 7);
    EXPECT_EQ(util.GetDescrProduto(), "Referência 123");
    ASSERT_TRUE(util.EncontrarProduto(" abc "));
    EXPECT_EQ(util.GetCodigoProduto(), 123); // any case, this company only
    ASSERT_TRUE(util.EncontrarProduto("7")); // a code that is nobody's reference
    EXPECT_EQ(util.GetCodigoProduto(), 7);
    ASSERT_TRUE(util.EncontrarProduto("0"));
    EXPECT_EQ(util.GetDescrProduto(), "Código zero");

    for (const char *t : {"xyz", "", "  ", "1 or 1=1", "7.0", "-7", "0x7", "'"}) {
        EXPECT_FALSE(util.EncontrarProduto(QString::fromLatin1(t))) << t;
        EXPECT_FALSE(util.TemAtual());
        EXPECT_EQ(util.GetCodigoProduto(), 0);
    }
    util.SetCodigoEmpresa(2);
    ASSERT_TRUE(util.EncontrarProduto("ABC"));
    EXPECT_EQ(util.GetCodigoProduto(), 8);
    EXPECT_FALSE(util.EncontrarProduto("123"));
}

TEST_F(ProdutoBanco, InserirEAlterarGravamOQueSeLeDepois)
{
    Produto(1, 41, "R41", "Existente");
    // Without a code the next free one; blank texts are stored as NULL.
    const qint64 codigo = util.InserirProduto({{"referenproduto", " "},
                                               {"DESCRPRODUTO", "Parafuso"},
                                               {"UNIDADEMEDIDA", "CX"},
                                               {"CODIGOGRUPOPRODUTO", "12"},
                                               {"CODIGONCM", ""},
                                               {"CODIGOEMPRESA", 2}}); // the utility's company wins
    EXPECT_EQ(codigo, 42);
    EXPECT_EQ(util.GetCodigoProduto(), 42);
    EXPECT_EQ(util.GetUnidadeMedida(), "CX");
    EXPECT_TRUE(nDMSQLDataSet::PegarTemRegistro("PRODUTO", "CODIGOEMPRESA",
                                                "CODIGOEMPRESA = 1 and CODIGOPRODUTO = 42 and REFERENPRODUTO is null "
                                                "and CODIGONCM is null"));
    EXPECT_EQ(NoBanco("CODIGOGRUPOPRODUTO", 42).toInt(), 12);
    // A given code is kept.
    EXPECT_EQ(util.InserirProduto({{"CODIGOPRODUTO", 900}, {"DESCRPRODUTO", "Porca"}, {"UNIDADEMEDIDA", "UN"}}), 900);

    ASSERT_TRUE(util.EncontrarCodigo(42));
    util.AlterarProduto({{"DescrProduto", "Parafuso sextavado"}, {"CODIGONCM", "7318.15.00"}, {"UNIDADEMEDIDA", "PC"}},
                        {"DESCRPRODUTO", "codigoncm"});
    EXPECT_EQ(NoBanco("DESCRPRODUTO", 42).toString(), "Parafuso sextavado");
    EXPECT_EQ(NoBanco("CODIGONCM", 42).toString(), "7318.15.00");
    EXPECT_EQ(NoBanco("UNIDADEMEDIDA", 42).toString(), "CX"); // not listed
    EXPECT_EQ(util.GetCodigoCN(), "7318.15.00");
    EXPECT_EQ(NoBanco("DESCRPRODUTO", 41).toString(), "Existente");

    // Refusals write nothing.
    const qint64 antes = nDMSQLDataSet::PegarQtdRegistro("PRODUTO", "1 = 1");
    EXPECT_THROW(util.InserirProduto({{"DESCRPRODUTO", "X"}, {"NAOEXISTE", 1}}), Exception);
    EXPECT_THROW(util.InserirProduto({{"DESCRPRODUTO", "X"}, {"CODIGOGRUPOPRODUTO", "doze"}}), EConvertError);
    EXPECT_THROW(util.AlterarProduto({{"CODIGOPRODUTO", 1}}, {"CODIGOPRODUTO"}), Exception);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("PRODUTO", "1 = 1"), antes);
    EXPECT_FALSE(util.EncontrarCodigo(5));
    EXPECT_THROW(util.AlterarProduto({{"DESCRPRODUTO", "Y"}}, {"DESCRPRODUTO"}), Exception);
}

TEST_F(ProdutoBanco, PrecarregadoAchaOMesmoQueOBancoEAcompanhaOsInseridos)
{
    Produto(1, 0, QVariant(), "Código zero");
    Produto(1, 7, "123", "Referência 123");
    Produto(1, 123, "ABC", "Código 123");
    Produto(1, 9, "abc", "Mesma referência, código maior");
    Produto(1, 5, QString::fromUtf8("Água"), "Acentuada");
    Produto(2, 8, "abc", "Da outra empresa");
    TnUtilProduto banco;
    banco.SetCodigoEmpresa(1);
    util.Precarregar();
    ASSERT_TRUE(util.Precarregado());
    for (const char *t : {"123", " abc ", "ABC", "7", "0", "9", "xyz", "", "1 or 1=1", "7.0", "-7", "8", "'"}) {
        const QString texto = QString::fromLatin1(t);
        const bool achou = banco.EncontrarProduto(texto);
        EXPECT_EQ(util.EncontrarProduto(texto), achou) << t;
        EXPECT_EQ(util.GetCodigoProduto(), banco.GetCodigoProduto()) << t;
        EXPECT_EQ(util.GetDescrProduto(), banco.GetDescrProduto()) << t;
    }
    ASSERT_TRUE(util.EncontrarProduto(QString::fromUtf8("ÁGUA"))); // every letter folds
    EXPECT_EQ(util.GetCodigoProduto(), 5);

    // An inserted product is found at once and takes the next code after the highest.
    TnRegistroProduto r;
    util.SetarValoresPadroesRecord(r);
    r.Set("REFERENPRODUTO", "nova-1");
    r.Set("DESCRPRODUTO", "Nova");
    EXPECT_EQ(util.InserirProduto(r), 124);
    EXPECT_EQ(util.InserirProduto({{"REFERENPRODUTO", "nova-2"}, {"CODIGOPRODUTO", 500}}), 500);
    EXPECT_EQ(util.InserirProduto({{"REFERENPRODUTO", "nova-3"}}), 501);
    ASSERT_TRUE(util.EncontrarProduto("NOVA-1"));
    EXPECT_EQ(util.GetCodigoProduto(), 124);
    EXPECT_EQ(util.GetDescrProduto(), "Nova");
    ASSERT_TRUE(util.EncontrarProduto("500"));
    EXPECT_EQ(NoBanco("REFERENPRODUTO", 501).toString(), "nova-3");

    // Changing a reference leaves the memory behind: the database answers again.
    ASSERT_TRUE(util.EncontrarCodigo(124));
    util.AlterarProduto({{"REFERENPRODUTO", "outra"}}, {"REFERENPRODUTO"});
    EXPECT_FALSE(util.Precarregado());
    EXPECT_FALSE(util.EncontrarProduto("nova-1"));
    ASSERT_TRUE(util.EncontrarProduto("OUTRA"));
    EXPECT_EQ(util.GetCodigoProduto(), 124);

    // LimparDados and a change of company forget it all.
    util.Precarregar();
    util.LimparDados();
    EXPECT_FALSE(util.Precarregado());
    EXPECT_FALSE(util.TemAtual());
    util.Precarregar();
    util.SetCodigoEmpresa(2);
    EXPECT_FALSE(util.Precarregado());
}

TEST_F(ProdutoBanco, PrecarregadoComMilharesDeProdutosAchaCadaUmPeloTextoEPeloCodigo)
{
    // More products than the memory was sized for, read and inserted: every reference (in
    // another letter case, accented ones too) and every code is found, and nothing else.
    {
        TnTransacao t(1, con());
        auto ins = con().Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO, "
                                  "UNIDADEMEDIDA) values (1, ?, ?, 'P', 'UN')");
        for (int i = 1; i <= 2000; ++i) {
            ins->BindInteiro(0, 10 * i);
            ins->BindTexto(1, i % 3 ? QStringLiteral("ref-%1").arg(i) : QString::fromUtf8("çã-%1").arg(i));
            ins->Executar();
        }
        t.Commit();
    }
    util.Precarregar(10);
    for (int i = 1; i <= 3000; ++i)
        util.InserirProduto({{"REFERENPRODUTO", QStringLiteral("nova-%1").arg(i)}, {"DESCRPRODUTO", "N"}});
    for (int i = 1; i <= 2000; ++i) {
        const QString ref = i % 3 ? QStringLiteral("REF-%1").arg(i) : QString::fromUtf8("ÇÃ-%1").arg(i);
        ASSERT_TRUE(util.EncontrarProduto(ref)) << i;
        ASSERT_EQ(util.GetCodigoProduto(), 10 * i);
        ASSERT_TRUE(util.EncontrarProduto(QString::number(10 * i))) << i;
        ASSERT_FALSE(util.EncontrarProduto(QString::number(10 * i - 5))) << i;
    }
    for (int i = 1; i <= 3000; ++i) {
        ASSERT_TRUE(util.EncontrarProduto(QStringLiteral("Nova-%1").arg(i))) << i;
        ASSERT_EQ(util.GetCodigoProduto(), 20000 + i);
    }
    EXPECT_FALSE(util.EncontrarProduto("ref-2001"));
    EXPECT_FALSE(util.EncontrarProduto("nova-0"));
}

TEST_F(ProdutoBanco, ValoresPadroesDeUmProdutoNovo)
{
    DefinirUsuarioConectado(1, "ADMINISTRADOR");
    TnRegistroProduto r({{"DESCRPRODUTO", "some"}});
    const auto valor = [&r](const char *coluna) { return r.Valor(TnRegistroProduto::Posicao(coluna)); };
    util.SetarValoresPadroesRecord(r);
    EXPECT_FALSE(r.Tem(TnRegistroProduto::Posicao("descrproduto")));
    EXPECT_EQ(valor("CODIGOEMPRESA").toInt(), 1);
    EXPECT_EQ(valor("INDICADORTIPO").toInt(), 0);
    EXPECT_EQ(valor("DATAATUALIZACAO").toDate(), QDate::currentDate());
    EXPECT_EQ(valor("CODIGOUSUARIO").toInt(), 1);
    EXPECT_THROW(TnRegistroProduto::Posicao("NAOEXISTE"), Exception);
    r.Set("DESCRPRODUTO", QString::fromUtf8("Com padrões"));
    const qint64 codigo = util.InserirProduto(r);
    EXPECT_EQ(NoBanco("DNF", codigo).toString(), "0");
    EXPECT_EQ(NoBanco("DACON", codigo).toString(), "0");
    EXPECT_EQ(NoBanco("DATAATUALIZACAO", codigo).toDate(), QDate::currentDate());
    DefinirUsuarioConectado(0, QString());
}

TEST_F(ProdutoBanco, GruposAnaliticosSobOsGruposEscolhidos)
{
    // 1 Materiais (1) > 2 Ferragens (1.1) > 3 Parafusos (1.1.1), 4 Porcas (1.1.2);
    // 5 Madeiras (1.2); 6 Tintas (1.10, not under 1.1); 7 Serviços (2); company 2's 8 (1.1.1).
    const char *linhas[] = {"1, 1, '1', 1", "1, 2, '1.1', 1", "1, 3, '1.1.1', 2", "1, 4, '1.1.2', 2",
                            "1, 5, '1.2', 2", "1, 6, '1.10', 2", "1, 7, '2', 2", "2, 8, '1.1.1', 2"};
    for (const char *l : linhas)
        con().Executar(QStringLiteral("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, "
                                      "CLASSIFGRUPOPRODUTO, TIPOGRUPOPRODUTO) values (%1)")
                           .arg(QLatin1String(l)));
    EXPECT_EQ(PegarGruposAnaliticos(1, "2"), QStringList({"3", "4"}));
    EXPECT_EQ(PegarGruposAnaliticos(1, "1"), QStringList({"3", "4", "5", "6"}));
    EXPECT_EQ(PegarGruposAnaliticos(1, "5; 7"), QStringList({"5", "7"}));
    EXPECT_EQ(PegarGruposAnaliticos(1, "2-4"), QStringList({"3", "4"}));
    EXPECT_EQ(PegarGruposAnaliticos(2, "8"), QStringList({"8"}));
    EXPECT_TRUE(PegarGruposAnaliticos(1, "99").isEmpty());
    EXPECT_TRUE(PegarGruposAnaliticos(1, " ").isEmpty());
    EXPECT_THROW(PegarGruposAnaliticos(1, "1 or 1=1"), EConvertError);
}

} // namespace
