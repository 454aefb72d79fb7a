// The Bloco K query's routines of the families without details (K200, K220, K280) on both
// engines: the factory's numbers, the statements they build with and without each filter,
// the rows they load by column name and in the order of the target's key, the period of
// each family, filter texts that designate nothing or are not valid, and the header bands.
#include "BancoOrvo.h"
#include "LinhasDataSet.h"
#include "Bandas.h"
#include "ClientDataSet.h"
#include "OrvoConsultaLctoBlocoKFactory_U.h"
#include "OrvoConsultaRotinasBlocoK_U.h"
#include "Variaveis.h"

#include <gtest/gtest.h>

namespace {

const QString kDescricaoLonga = QString(56, u'D') + QString(64, u'x'); // 120, the column's width
const QString kNomeLongo = QString(100, u'N');

class ConsultaBlocoKBanco : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (IsSkipped())
            return;
        ExternalVar(VarFw::gCodigoEmpresaAtiva, QStringLiteral("1"));
        ExternalVar(VarFw::gCodigoEstabAtiva, QStringLiteral("1"));
        con().Executar("update ESTAB set INSCRFEDERAL = '11.222.333/0001-81' where CODIGOEMPRESA = 1 and CODIGOESTAB = 1");
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial Dois')");
        con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (2, 1, 'Outra Matriz')");
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO, CODIGONCM) values "
                       "(1, 10, 'Parafuso', '7318'), (1, 30, 'Porca', '7318'), (2, 10, 'Outro', '7318')");
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO, CODIGONCM) values (?, ?, ?, ?)",
                       {1, 20, kDescricaoLonga, QStringLiteral("01'02")});
        con().Executar("insert into PESSOA (CODIGOPESSOA, NOMEPESSOA) values (7, 'Fornecedor A')");
        con().Executar("insert into PESSOA (CODIGOPESSOA, NOMEPESSOA) values (?, ?)", {8, kNomeLongo});
        // Out of the key's order on purpose; one row's product is not in the registry, one
        // is after the period, one of another company.
        con().Executar(
            "insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTO, INDICADORESTOQUE, SEQ, "
            "QUANTIDADE, CODIGOPESSOA) values "
            "(1, 2, '2024-02-01', 30, 2, 1, 1, 7), (1, 1, '2024-01-31', 20, 1, 1, 2.125, 8), "
            "(1, 1, '2024-01-31', 10, 0, 1, 5.5, null), (1, 1, '2024-03-31', 10, 0, 1, 9, null), "
            "(1, 1, '2024-01-31', 99, 0, 1, 4, null), (2, 1, '2024-01-31', 10, 0, 1, 3, null)");
        con().Executar(
            "insert into SPEDFISK220 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTOORI, CODIGOPRODUTODEST, "
            "QUANTIDADE, QUANTIDADEDEST) values "
            "(1, 2, '2024-01-01', 20, 30, 1, 1), (1, 1, '2024-02-01', 30, 10, 1, 2), (1, 1, '2024-01-01', 10, 20, 3, 3)");
        con().Executar(
            "insert into SPEDFISK280 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK280, DATAESTOQUE, INDICADORESTOQUE, "
            "CODIGOPRODUTO, CODIGOPESSOA, QTDCORRECAOPOS, QTDCORRECAONEG) values "
            "(1, 1, '2023-12-01', 3, '2024-02-10', 1, 30, 8, null, 2), (1, 1, '2023-12-01', 1, '2024-01-20', 0, 10, 7, 1.5, null), "
            "(1, 1, '2023-12-01', 2, '2024-01-05', 0, 20, null, 1, null)");
    }

    // Company 1, branches 1 and 2, 15 January to 10 February 2024.
    static TConsultaLctoSpedBlocoKConfig Config()
    {
        TConsultaLctoSpedBlocoKConfig c;
        c.CodigoEmpresa = 1;
        c.CodigoEstab = QStringLiteral("1; 2");
        c.DataInicial = QDate(2024, 1, 15);
        c.DataFinal = QDate(2024, 2, 10);
        return c;
    }
    static std::unique_ptr<IRelacionarRotinaBlocoK> Rotina(quint16 registro)
    {
        return ConsultaLctoBlocoKFactory()->PegarRotina(registro);
    }
    static TOrvoConsultaRotinaBlocoKBase &Base(std::unique_ptr<IRelacionarRotinaBlocoK> &r)
    {
        return dynamic_cast<TOrvoConsultaRotinaBlocoKBase &>(*r);
    }
    static QString Sql(quint16 registro, const TConsultaLctoSpedBlocoKConfig &c)
    {
        auto r = Rotina(registro);
        r->SetConfig(c);
        return Base(r).SQLMestre().Texto;
    }
    static void Relacionar(quint16 registro, const TConsultaLctoSpedBlocoKConfig &c, TnClientDataSet &cds)
    {
        Rotina(registro)->SetConfig(c).SetCdsMestre(&cds).SetCdsDetalhe(nullptr).Relacionar();
    }
    static QStringList Linhas(TnClientDataSet &ds, const QString &campos) { return teste::LinhasDoDataSet(ds, campos); }
};

const char kSelectK200[] =
    "select cast('K200' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.CODIGOPRODUTO,P.DESCRPRODUTO DESCRICAOPRODUTO,"
    "K.INDICADORESTOQUE,K.QUANTIDADE,K.CODIGOPESSOA,PE.NOMEPESSOA,K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQ from SPEDFISK200 K "
    "join PRODUTO P on P.CODIGOPRODUTO=K.CODIGOPRODUTO and P.CODIGOEMPRESA=K.CODIGOEMPRESA "
    "left join PESSOA PE on PE.CODIGOPESSOA=K.CODIGOPESSOA where K.CODIGOEMPRESA = ?";
const char kOrdemK200[] =
    " order by K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.CODIGOPRODUTO,K.INDICADORESTOQUE,K.SEQ";
const char kSelectK220[] =
    "select cast('K220' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.CODIGOPRODUTOORI,P.DESCRPRODUTO DESCRIPRODORIGEM,"
    "K.CODIGOPRODUTODEST,PR.DESCRPRODUTO DESCRIPRODDESTINO,K.QUANTIDADE,K.QUANTIDADEDEST,K.CODIGOEMPRESA,K.CODIGOESTAB "
    "from SPEDFISK220 K join PRODUTO P on P.CODIGOPRODUTO=K.CODIGOPRODUTOORI and P.CODIGOEMPRESA=K.CODIGOEMPRESA "
    "join PRODUTO PR on PR.CODIGOPRODUTO=K.CODIGOPRODUTODEST and PR.CODIGOEMPRESA=K.CODIGOEMPRESA "
    "where K.CODIGOEMPRESA = ?";
const char kOrdemK220[] = " order by K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.CODIGOPRODUTOORI,K.CODIGOPRODUTODEST";
const char kSelectK280[] =
    "select cast('K280' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.DATAESTOQUE,K.INDICADORESTOQUE,K.CODIGOPRODUTO,"
    "P.DESCRPRODUTO DESCRICAO,K.CODIGOPESSOA,PE.NOMEPESSOA DESCRICAOPESSOA,K.QTDCORRECAOPOS,K.QTDCORRECAONEG,"
    "K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQK280 from SPEDFISK280 K "
    "join PRODUTO P on P.CODIGOPRODUTO=K.CODIGOPRODUTO and P.CODIGOEMPRESA=K.CODIGOEMPRESA "
    "left join PESSOA PE on PE.CODIGOPESSOA=K.CODIGOPESSOA where K.CODIGOEMPRESA = ?";
const char kOrdemK280[] = " order by K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK280";
const char kEstabs[] = " and (K.CODIGOESTAB in (1, 2))  and ";

QString S(const char *a, const char *b = "", const char *c = "", const char *d = "")
{
    return QString::fromLatin1(a) + QString::fromLatin1(b) + QString::fromLatin1(c) + QString::fromLatin1(d);
}

} // namespace

TEST_F(ConsultaBlocoKBanco, FabricaDasDezFamilias)
{
    const auto fabrica = ConsultaLctoBlocoKFactory();
    for (quint16 n : {200, 210, 220, 230, 250, 260, 270, 280, 290, 300})
        EXPECT_NE(fabrica->PegarRotina(n), nullptr) << n;
    EXPECT_NE(dynamic_cast<TOrvoConsultaRotinaBlocoK220 *>(fabrica->PegarRotina(220).get()), nullptr);
    for (quint16 n : {0, 201, 240, 301, 65535})
        EXPECT_EQ(fabrica->PegarRotina(n), nullptr) << n;
}

TEST_F(ConsultaBlocoKBanco, InstrucoesComESemCadaFiltro)
{
    TConsultaLctoSpedBlocoKConfig c = Config();
    // No filter: company bound, branches as a value condition, the period's dates bound.
    EXPECT_EQ(Sql(200, c), S(kSelectK200, kEstabs, "K.DATALCTOFIS between ? and ?", kOrdemK200));
    EXPECT_EQ(Sql(220, c), S(kSelectK220, kEstabs, "K.DATALCTOFIS between ? and ?", kOrdemK220));
    EXPECT_EQ(Sql(280, c), S(kSelectK280, kEstabs, "K.DATAESTOQUE between ? and ?", kOrdemK280));
    {
        auto r = Rotina(200);
        r->SetConfig(c);
        // The start widened to the 1st of its month; the end as entered.
        EXPECT_EQ(Base(r).SQLMestre().Valores, (QVariantList{1, QDate(2024, 1, 1), QDate(2024, 2, 10)}));
        auto k280 = Rotina(280);
        k280->SetConfig(c);
        EXPECT_EQ(Base(k280).SQLMestre().Valores, (QVariantList{1, QDate(2024, 1, 15), QDate(2024, 2, 10)}));
    }
    // No branch: every branch of the company.
    c.CodigoEstab.clear();
    EXPECT_EQ(Sql(200, c), S(kSelectK200, " and K.DATALCTOFIS between ? and ?", kOrdemK200));

    c = Config();
    c.CodigoProduto = QStringLiteral("10; 20-30");
    EXPECT_EQ(Sql(200, c), S(kSelectK200, kEstabs, "K.DATALCTOFIS between ? and ? and (P.CODIGOPRODUTO = 10 or "
                                                   "P.CODIGOPRODUTO between 20 and 30) ",
                             kOrdemK200));
    EXPECT_EQ(Sql(220, c), S(kSelectK220, kEstabs,
                             "K.DATALCTOFIS between ? and ? and (K.CODIGOPRODUTOORI = 10 or K.CODIGOPRODUTOORI between 20 "
                             "and 30 or K.CODIGOPRODUTODEST = 10 or K.CODIGOPRODUTODEST between 20 and 30) ",
                             kOrdemK220));
    EXPECT_EQ(Sql(280, c), S(kSelectK280, kEstabs, "K.DATAESTOQUE between ? and ? and (P.CODIGOPRODUTO = 10 or "
                                                   "P.CODIGOPRODUTO between 20 and 30) ",
                             kOrdemK280));

    c = Config();
    c.CodigoNCM = QStringLiteral("7318");
    EXPECT_EQ(Sql(200, c), S(kSelectK200, kEstabs, "K.DATALCTOFIS between ? and ? and (P.CODIGONCM = '7318') ", kOrdemK200));
    EXPECT_EQ(Sql(220, c), S(kSelectK220, kEstabs, "K.DATALCTOFIS between ? and ? and (P.CODIGONCM = '7318') ", kOrdemK220));

    // The participant narrows K200 and K280 only.
    c = Config();
    c.CodigoPessoa = QStringLiteral("7;8");
    EXPECT_EQ(Sql(200, c), S(kSelectK200, kEstabs, "K.DATALCTOFIS between ? and ? and (K.CODIGOPESSOA in (7, 8)) ",
                             kOrdemK200));
    EXPECT_EQ(Sql(220, c), S(kSelectK220, kEstabs, "K.DATALCTOFIS between ? and ?", kOrdemK220));
    EXPECT_EQ(Sql(280, c), S(kSelectK280, kEstabs, "K.DATAESTOQUE between ? and ? and (K.CODIGOPESSOA in (7, 8)) ",
                             kOrdemK280));

    // All of them, in the order product, classification, participant.
    c.CodigoProduto = QStringLiteral("10");
    c.CodigoNCM = QStringLiteral("7318");
    EXPECT_EQ(Sql(200, c), S(kSelectK200, kEstabs,
                             "K.DATALCTOFIS between ? and ? and (P.CODIGOPRODUTO = 10)  and (P.CODIGONCM = '7318')  and "
                             "(K.CODIGOPESSOA in (7, 8)) ",
                             kOrdemK200));
}

TEST_F(ConsultaBlocoKBanco, FiltroQueNadaDesignaNadaAcrescentaEValorInvalidoNadaExecuta)
{
    TConsultaLctoSpedBlocoKConfig c = Config();
    c.CodigoProduto = QStringLiteral("; ;");
    c.CodigoPessoa = QStringLiteral(" ; ");
    c.CodigoNCM = QStringLiteral(";");
    EXPECT_EQ(Sql(200, c), S(kSelectK200, kEstabs, "K.DATALCTOFIS between ? and ?", kOrdemK200));
    // Never " and ( or )": the origin-or-destination condition is one condition or none.
    EXPECT_EQ(Sql(220, c), S(kSelectK220, kEstabs, "K.DATALCTOFIS between ? and ?", kOrdemK220));
    TnClientDataSet k220;
    Relacionar(220, c, k220);
    EXPECT_EQ(k220.RecordCount(), 3);

    // A value that is not valid stops the routine before any statement: the target keeps
    // its rows.
    TnClientDataSet k200;
    Relacionar(200, Config(), k200);
    ASSERT_EQ(k200.RecordCount(), 3);
    for (const char *produto : {"1-", "abc", "5-2"}) {
        c = Config();
        c.CodigoProduto = QString::fromLatin1(produto);
        const quint64 antes = con().IdasEVoltas().Comandos;
        for (quint16 n : {200, 220, 280}) {
            TnClientDataSet &alvo = n == 200 ? k200 : k220;
            EXPECT_THROW(Relacionar(n, c, alvo), EConvertError) << produto << " " << n;
        }
        EXPECT_EQ(con().IdasEVoltas().Comandos, antes) << produto;
        EXPECT_EQ(k200.RecordCount(), 3);
        EXPECT_EQ(k220.RecordCount(), 3);
    }
    c = Config();
    c.CodigoPessoa = QStringLiteral("7 or 1=1");
    EXPECT_THROW(Relacionar(200, c, k200), EConvertError);

    // A classification with a quote is a value like any other.
    c = Config();
    c.CodigoNCM = QStringLiteral("01'02");
    Relacionar(200, c, k200);
    EXPECT_EQ(Linhas(k200, "CODIGOPRODUTO"), QStringList{"20"});

    // Company 0 has no rows; nothing fails.
    c = Config();
    c.CodigoEmpresa = 0;
    Relacionar(200, c, k200);
    EXPECT_TRUE(k200.IsEmpty());
}

TEST_F(ConsultaBlocoKBanco, LinhasPorNomeNaOrdemDaChaveComTextosInteiros)
{
    TnClientDataSet k200;
    Relacionar(200, Config(), k200);
    // From the 1st of January; the product 99 the registry lacks, the row after the period
    // and the other company's are not listed.
    EXPECT_EQ(Linhas(k200, "ORIGEM;DATALCTOFIS;CODIGOPRODUTO;INDICADORESTOQUE;QUANTIDADE;CODIGOPESSOA;CODIGOESTAB;SEQ"),
              (QStringList{"K200|31/01/2024|10|0|5,5|null|1|1", "K200|31/01/2024|20|1|2,125|8|1|1",
                           "K200|01/02/2024|30|2|1|7|2|1"}));
    // Descriptions and names as wide as their columns, whole.
    EXPECT_EQ(k200.FieldByName("DESCRICAOPRODUTO").Size(), 120);
    EXPECT_EQ(k200.FieldByName("NOMEPESSOA").Size(), 100);
    k200.First();
    k200.Next();
    EXPECT_EQ(k200.FieldByName("DESCRICAOPRODUTO").AsString(), kDescricaoLonga);
    EXPECT_EQ(k200.FieldByName("NOMEPESSOA").AsString(), kNomeLongo);
    // Set through the field (the grid's fields are read-only), the longest text fits as well.
    k200.FieldByName("DESCRICAOPRODUTO").SetReadOnly(false);
    k200.FieldByName("NOMEPESSOA").SetReadOnly(false);
    k200.Edit();
    k200.FieldByName("DESCRICAOPRODUTO").SetAsString(kDescricaoLonga);
    k200.FieldByName("NOMEPESSOA").SetAsString(kNomeLongo);
    k200.Cancel();

    TnClientDataSet k220;
    Relacionar(220, Config(), k220);
    EXPECT_EQ(Linhas(k220, "ORIGEM;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTOORI;DESCRIPRODORIGEM;CODIGOPRODUTODEST;"
                           "DESCRIPRODDESTINO;QUANTIDADEDEST"),
              (QStringList{"K220|1|01/01/2024|10|Parafuso|20|" + kDescricaoLonga + "|3",
                           "K220|1|01/02/2024|30|Porca|10|Parafuso|2",
                           "K220|2|01/01/2024|20|" + kDescricaoLonga + "|30|Porca|1"}));

    // K280 by its stock date as entered: from the 15th.
    TnClientDataSet k280;
    Relacionar(280, Config(), k280);
    EXPECT_EQ(Linhas(k280, "ORIGEM;SEQK280;DATAESTOQUE;INDICADORESTOQUE;CODIGOPRODUTO;DESCRICAO;CODIGOPESSOA;"
                           "DESCRICAOPESSOA;QTDCORRECAOPOS;QTDCORRECAONEG"),
              (QStringList{"K280|1|20/01/2024|0|10|Parafuso|7|Fornecedor A|1,5|null",
                           "K280|3|10/02/2024|1|30|Porca|8|" + kNomeLongo + "|null|2"}));

    // A target declared by its owner keeps its fields: columns it lacks are not loaded.
    TnClientDataSet parcial;
    const TnDefCampo campos[] = {{.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint}, {.Nome = "SEQ", .Tipo = ftSmallint}};
    parcial.DefinirCampos(campos);
    Relacionar(200, Config(), parcial);
    EXPECT_EQ(parcial.FieldCount(), 2);
    EXPECT_EQ(Linhas(parcial, "CODIGOPRODUTO;SEQ"), (QStringList{"10|1", "20|1", "30|1"}));
}

TEST_F(ConsultaBlocoKBanco, ParticipanteProdutoEClassificacaoEstreitamAsFamilias)
{
    TConsultaLctoSpedBlocoKConfig c = Config();
    c.CodigoPessoa = QStringLiteral("8");
    TnClientDataSet k200, k220, k280;
    Relacionar(200, c, k200);
    Relacionar(220, c, k220);
    Relacionar(280, c, k280);
    EXPECT_EQ(Linhas(k200, "CODIGOPRODUTO"), QStringList{"20"});
    EXPECT_EQ(k220.RecordCount(), 3);
    EXPECT_EQ(Linhas(k280, "SEQK280"), QStringList{"3"});

    // K220: the product as origin or as destination.
    c = Config();
    c.CodigoProduto = QStringLiteral("10");
    Relacionar(220, c, k220);
    EXPECT_EQ(Linhas(k220, "CODIGOPRODUTOORI;CODIGOPRODUTODEST"), (QStringList{"10|20", "30|10"}));
    c.CodigoEstab = QStringLiteral("2");
    c.CodigoProduto = QStringLiteral("30");
    Relacionar(220, c, k220);
    EXPECT_EQ(Linhas(k220, "CODIGOPRODUTOORI;CODIGOPRODUTODEST"), QStringList{"20|30"});

    c = Config();
    c.CodigoNCM = QStringLiteral("7318");
    Relacionar(280, c, k280);
    EXPECT_EQ(Linhas(k280, "SEQK280"), (QStringList{"1", "3"}));
}

TEST_F(ConsultaBlocoKBanco, CabecalhoDaFilialAtivaComAsFiliaisConsultadas)
{
    TnClientDataSet k200;
    TConsultaLctoSpedBlocoKConfig c = Config();
    Relacionar(200, c, k200);
    const TnGridBands &b = k200.GridBands();
    ASSERT_EQ(b.Count(), 1);
    const TnGridBandsItem &empresa = b.Items(0);
    EXPECT_EQ(empresa.Nome(), "Empresa");
    EXPECT_EQ(empresa.Caption(), "1 - Estabelecimento Exemplo - 11.222.333/0001-81 -  Filial (1; 2)");
    const TnGridBandsItem &emissao = empresa.Filhas().Items(0);
    EXPECT_EQ(emissao.Caption(), "Emissão: " + PegarDataServidor(false).date().toString("dd/MM/yyyy"));
    const TnGridBandsItem &periodo = emissao.Filhas().Items(0);
    // The period as entered, whatever the family reads.
    EXPECT_EQ(periodo.Caption(), "Período: 15/01/2024 à 10/02/2024");
    const TnGridBandsItem &rotina = periodo.Filhas().Items(0);
    EXPECT_EQ(rotina.Caption(), "Consulta Lançamento SPED - Bloco K");
    // One band per visible field, in field order, bound by name.
    QStringList campos, titulos;
    for (int i = 0; i < rotina.Filhas().Count(); ++i) {
        campos << rotina.Filhas().Items(i).Campo();
        titulos << rotina.Filhas().Items(i).Caption();
    }
    EXPECT_EQ(campos, (QStringList{"ORIGEM", "DATALCTOFIS", "CODIGOPRODUTO", "DESCRICAOPRODUTO", "INDICADORESTOQUE",
                                   "QUANTIDADE", "CODIGOPESSOA", "NOMEPESSOA"}));
    EXPECT_EQ(titulos, (QStringList{"Rotina Origem", "Data do Estoque Final", "Produto", "Descricao", "Tipo de Estoque",
                                    "Quantidade em Estoque", "Código do Participante", "Descrição"}));
    const int versao = b.Versao();

    // Another active branch names itself; a branch without its row shows empty texts.
    ExternalVar(VarFw::gCodigoEstabAtiva, QStringLiteral("2"));
    c.CodigoEstab = QStringLiteral("2");
    Relacionar(280, c, k200);
    EXPECT_EQ(k200.GridBands().Items(0).Caption(), "1 - Filial Dois -  -  Filial (2)");
    EXPECT_GT(k200.GridBands().Versao(), versao);
    ExternalVar(VarFw::gCodigoEstabAtiva, QStringLiteral("9"));
    Relacionar(220, c, k200);
    EXPECT_EQ(k200.GridBands().Items(0).Caption(), " -  -  -  Filial (2)");
    ExternalVar(VarFw::gCodigoEmpresaAtiva, QStringLiteral("x"));
    Relacionar(220, c, k200);
    EXPECT_EQ(k200.GridBands().Items(0).Caption(), " -  -  -  Filial (2)");
}

TEST_F(ConsultaBlocoKBanco, InstrucaoQueFalhaDeixaOAlvoComoEstava)
{
    TnClientDataSet k280;
    Relacionar(280, Config(), k280);
    ASSERT_EQ(k280.RecordCount(), 2);
    con().Executar("drop table PESSOA");
    EXPECT_ANY_THROW(Relacionar(280, Config(), k280));
    EXPECT_EQ(k280.RecordCount(), 2);
    EXPECT_FALSE(con().InTransaction());
    // K220 does not read the people.
    TnClientDataSet k220;
    Relacionar(220, Config(), k220);
    EXPECT_EQ(k220.RecordCount(), 3);
}

TEST_F(ConsultaBlocoKBanco, DetalhesPeloMestreEItensDaProducaoConjuntaPorExists)
{
    TConsultaLctoSpedBlocoKConfig c = Config();
    c.CodigoEstab = QStringLiteral("1");
    c.CodigoProduto = QStringLiteral("10");
    c.CodigoNCM = QStringLiteral("7318");
    auto k210 = Rotina(210);
    k210->SetConfig(c);
    // The details of the masters the filter keeps: the master by its key, with its product.
    EXPECT_EQ(Base(k210).SQLDetalhe().Texto,
              "select cast('K215' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.CODIGOPRODUTO,P.DESCRPRODUTO DESCRICAO,"
              "K.QUANTIDADE,K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQK210 from SPEDFISK215 K join PRODUTO P on "
              "P.CODIGOPRODUTO=K.CODIGOPRODUTO and P.CODIGOEMPRESA=K.CODIGOEMPRESA join SPEDFISK210 M on "
              "M.CODIGOEMPRESA=K.CODIGOEMPRESA and M.CODIGOESTAB=K.CODIGOESTAB and M.DATALCTOFIS=K.DATALCTOFIS and "
              "M.SEQK210=K.SEQK210 join PRODUTO MP on MP.CODIGOPRODUTO=M.CODIGOPRODUTO and "
              "MP.CODIGOEMPRESA=M.CODIGOEMPRESA where K.CODIGOEMPRESA = ? and (K.CODIGOESTAB = 1)  and K.DATALCTOFIS "
              "between ? and ? and (MP.CODIGOPRODUTO = 10)  and (MP.CODIGONCM = '7318')  order by "
              "K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK210,K.CODIGOPRODUTO");
    // Without a filter the detail is the family's select as it is.
    c.CodigoProduto.clear();
    c.CodigoNCM.clear();
    k210->SetConfig(c);
    EXPECT_FALSE(Base(k210).SQLDetalhe().Texto.contains("SPEDFISK210"));

    // A joint production's filter: one EXISTS per item table, correlated on the item's key.
    c.CodigoProduto = QStringLiteral("10");
    auto k290 = Rotina(290);
    k290->SetConfig(c);
    const QString item = "exists (select 1 from SPEDFISK29%1 I join PRODUTO IP on IP.CODIGOPRODUTO=I.CODIGOPRODUTO and "
                         "IP.CODIGOEMPRESA=I.CODIGOEMPRESA where I.CODIGOEMPRESA=K.CODIGOEMPRESA and "
                         "I.CODIGOESTAB=K.CODIGOESTAB and I.DATALCTOFIS=K.DATALCTOFIS and I.SEQK290=K.SEQK290 and "
                         "(I.CODIGOPRODUTO = 10))";
    EXPECT_EQ(Base(k290).SQLMestre().Texto,
              "select cast('K290' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.DATAINICIALORDEMPRODUCAO,"
              "K.DATAFINALORDEMPRODUCAO,K.CODIGOOPOS,K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQK290 from SPEDFISK290 K "
              "where K.CODIGOEMPRESA = ? and (K.CODIGOESTAB = 1)  and K.DATALCTOFIS between ? and ? and ("
                  + item.arg(1) + " or " + item.arg(2)
                  + ")  order by K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK290");
    // Its items keep every digit of their quantities.
    EXPECT_TRUE(Base(k290).SQLDetalhe().Texto.contains("cast(K.QTDPRODUCAOACABADA as numeric(18,3)) QUANTIDADE"));
    EXPECT_TRUE(Base(k290).SQLDetalhe().Texto.contains("cast(K.QTDCONSUMIDA as numeric(18,3)) QUANTIDADE"));
    // A text that designates nothing adds no EXISTS.
    c.CodigoProduto = QStringLiteral(";");
    k290->SetConfig(c);
    EXPECT_FALSE(Base(k290).SQLMestre().Texto.contains("exists"));
    auto k300 = Rotina(300);
    c.CodigoNCM = QStringLiteral("7318");
    k300->SetConfig(c);
    EXPECT_TRUE(Base(k300).SQLMestre().Texto.contains(
        "I.DATARECONHECPROD=K.DATARECONHECPROD and (IP.CODIGONCM = '7318'))"));
    EXPECT_TRUE(Base(k300).SQLMestre().Texto.contains("K.DATARECONHECPROD between ? and ?"));
}
