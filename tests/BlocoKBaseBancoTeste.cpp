// The Bloco K register base on both engines: the product's item type read by its code
// (never a reference equal to the code's text, never the shared product utility's current
// product), a missing product, and the duplicate-key message for the primary key (kind 1)
// and a natural key with an empty optional column (kind 4), with the handler installed
// before it deciding the row's fate.
#include "BancoOrvo.h"
#include "OrvoDMSpedFisKBase_U.h"
#include "SQLDataSet.h"
#include "SuiteProduto.h"

#include <gtest/gtest.h>

namespace {

std::vector<TnDefCampo> CamposK210()
{
    return {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true, .Def = {.Chave = "CODIGOEMPRESA"}},
            {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true, .Def = {.Chave = "CODIGOESTAB"}},
            {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true, .Def = {.Chave = "DICDATAMESANO"}},
            {.Nome = "SEQK210", .Tipo = ftSmallint, .Requerido = true, .Def = {.Chave = "SEQSMALLINT"}},
            {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Requerido = true,
             .Def = {.Chave = "CODIGOPRODUTO", .DisplayLabel = "Produto Origem"}},
            // Not required here, so that the database's own refusal can be met.
            {.Nome = "QUANTIDADE", .Tipo = ftBCD, .Precisao = 18, .Escala = 3},
            {.Nome = "CODIGODOCOS", .Tipo = ftString, .Tamanho = 30, .Def = {.DisplayLabel = "Ordem de Serviço"}}};
}

const TnDefCadastro kK210{
    .SQL = "Select t_t.CODIGOEMPRESA,t_t.CODIGOESTAB,t_t.DATALCTOFIS,t_t.SEQK210,t_t.CODIGOPRODUTO,t_t.QUANTIDADE,"
           "t_t.CODIGODOCOS from SPEDFISK210 t_t ORDER BY t_t.CODIGOEMPRESA,t_t.CODIGOESTAB,t_t.DATALCTOFIS,"
           "t_t.SEQK210",
    .Tabela = "SPEDFISK210",
    .Campos = CamposK210(),
    .Chave = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210",
    .Caption = "Desmontagem de Mercadorias"};

const TnDefCadastro kK300{
    .SQL = "Select t_t.CODIGOEMPRESA,t_t.CODIGOESTAB,t_t.DATALCTOFIS,t_t.DATARECONHECPROD from SPEDFISK300 t_t "
           "ORDER BY T_T.CODIGOEMPRESA,T_T.CODIGOESTAB,T_T.DATALCTOFIS,T_T.DATARECONHECPROD",
    .Tabela = "SPEDFISK300",
    .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true},
               {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true},
               {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true, .Def = {.DisplayLabel = "Competência"}},
               {.Nome = "DATARECONHECPROD", .Tipo = ftDate, .Requerido = true,
                .Def = {.DisplayLabel = "Data Reconhecimento"}}},
    .Chave = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATARECONHECPROD"};

// What the handler installed before the base's saw, and what it decides.
struct Recusas {
    QStringList Mensagens;
    TReconcileAction Acao = raSkip;
};

class TTesteK210 : public TOrvoDMSpedFisKBase {
public:
    TTesteK210() : TOrvoDMSpedFisKBase(kK210) { ConfigurarErroChave(4); }
    static QString PegarVerificaSelecao() { return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB"); }
    static int PegarTipoObjeto() { return 1; }
    QString GetCamposChaveUNQ() const override
    {
        return QStringLiteral("[%1]\r\n[%2]\r\n[%3]")
            .arg(FieldByName("DATALCTOFIS").DisplayLabel(), FieldByName("CODIGOPRODUTO").DisplayLabel(),
                 FieldByName("CODIGODOCOS").DisplayLabel());
    }
    void ValidarDado() override
    {
        TOrvoDMSpedFisKBase::ValidarDado();
        ValidarTipoProduto();
    }
    Recusas Visto;

protected:
    void nClientDataSetReconcileError(TnClientDataSet &, Exception &e, TUpdateKind, TReconcileAction &acao) override
    {
        Visto.Mensagens << e.Message();
        acao = Visto.Acao;
    }
};

class TTesteK300 : public TOrvoDMSpedFisKBase {
public:
    TTesteK300() : TOrvoDMSpedFisKBase(kK300) { ConfigurarErroChave(1); }
    static QString PegarVerificaSelecao() { return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB"); }
    static int PegarTipoObjeto() { return 1; }
    QString GetCamposChaveUNQ() const override { return QStringLiteral("[Competência]\r\n[Data Reconhecimento]"); }
};

class BlocoKBaseBanco : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(RegistrarClasse<TTesteK210>("TTesteK210Base"));
        ASSERT_TRUE(RegistrarClasse<TTesteK300>("TTesteK300Base"));
        // 20 of type 0; 21 of type 6; 22 without a type; "21" is the reference of product 30
        // (type 4).
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, INDICADORTIPO) values "
                       "(1, 20, null, 0), (1, 21, null, 6), (1, 22, null, null), (1, 30, '21', 4)");
    }
    TTesteK210 *K210() { return static_cast<TTesteK210 *>(AbrirDM("TTesteK210Base")); }
    static void NovaLinha(TTesteK210 *dm, int seq, qint64 produto, const QVariant &ordem = QVariant())
    {
        TnClientDataSet &ds = dm->nClientDataSet();
        ds.Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("SEQK210").SetAsInteger(seq);
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        dm->FieldByName("QUANTIDADE").SetAsFloat(1.5);
        dm->FieldByName("CODIGODOCOS").SetAsVariant(ordem);
    }
    static QString Falha(TnClientDataSet &ds)
    {
        try {
            ds.Post();
        } catch (const Exception &e) {
            return e.Message();
        }
        return QString();
    }
};

} // namespace

TEST(BlocoKBase, ConjuntoDeTiposEMensagens)
{
    for (unsigned t : {0u, 1u, 2u, 3u, 4u, 5u, 10u})
        EXPECT_TRUE(TOrvoDMSpedFisKBase::TipoNoConjunto(t, TOrvoDMSpedFisKBase::kTiposAceitos)) << t;
    for (unsigned t : {6u, 7u, 8u, 9u, 11u, 15u, 16u, 42u, 255u, 1087u})
        EXPECT_FALSE(TOrvoDMSpedFisKBase::TipoNoConjunto(t, TOrvoDMSpedFisKBase::kTiposAceitos)) << t;
    // Bits above 15 of a mask never admit a type.
    EXPECT_FALSE(TOrvoDMSpedFisKBase::TipoNoConjunto(16, 0xFFFFFFFFu));
    EXPECT_EQ(TOrvoDMSpedFisKBase::MensagemTipoProduto(),
              QString::fromUtf8("O produto informado deve fazer parte á um dos seguintes tipos de mercadorias:\r\n"
                                "Mercadoria para Revenda;\r\nMatéria-Prima;\r\nEmbalagem;\r\nProduto em Processo;\r\n"
                                "Produto Acabado;\r\nSubproduto;\r\nOutros insumos;"));
}

TEST_F(BlocoKBaseBanco, TipoDoProdutoPeloCodigoNuncaPelaReferencia)
{
    // The shared product utility's current product is left alone.
    ControleProduto().SetCodigoEmpresa(1);
    ASSERT_TRUE(ControleProduto().EncontrarCodigo(20));

    TTesteK210 *dm = K210();
    ASSERT_NE(dm, nullptr);
    // Product 21 is of type 6 although another product's reference is "21".
    NovaLinha(dm, 1, 21);
    EXPECT_EQ(dm->PegarIndicadorTipoProduto(), 6u);
    EXPECT_EQ(Falha(dm->nClientDataSet()), TOrvoDMSpedFisKBase::MensagemTipoProduto());
    // The answer does not depend on the product looked up before.
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(30);
    EXPECT_EQ(dm->PegarIndicadorTipoProduto(), 4u);
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(21);
    EXPECT_EQ(dm->PegarIndicadorTipoProduto(), 6u);
    // Without a type: refused with the type message.
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(22);
    EXPECT_EQ(Falha(dm->nClientDataSet()), TOrvoDMSpedFisKBase::MensagemTipoProduto());
    // Missing from PRODUTO: its own message, on the product.
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(99);
    try {
        dm->nClientDataSet().Post();
        ADD_FAILURE() << "a missing product was accepted";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "CODIGOPRODUTO");
        EXPECT_EQ(e.Message(), TOrvoDMSpedFisKBase::MensagemProdutoInexistente("99"));
    }
    EXPECT_EQ(Linhas("SPEDFISK210"), 0);
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(20);
    dm->nClientDataSet().Post();
    EXPECT_EQ(Linhas("SPEDFISK210"), 1);
    EXPECT_EQ(ControleProduto().GetCodigoProduto(), 20);
}

TEST_F(BlocoKBaseBanco, ChaveNaturalDuplicadaComColunaVaziaETratadorAnterior)
{
    TTesteK210 *dm = K210();
    ASSERT_NE(dm, nullptr);
    const QString esperada =
        QString::fromUtf8("Registro com esta chave já foi cadastrado! \r\nVerifique os lançamentos observando os "
                          "campos chave: \r\n[") +
        dm->FieldByName("DATALCTOFIS").DisplayLabel() + QString::fromUtf8("]\r\n[Produto Origem]\r\n[Ordem de Serviço]");
    NovaLinha(dm, 1, 20);
    dm->nClientDataSet().Post();
    // The same competence and product, no service order, another sequence: the natural key
    // with its empty column is taken.
    NovaLinha(dm, 2, 20);
    EXPECT_EQ(Falha(dm->nClientDataSet()), esperada);
    EXPECT_EQ(dm->nClientDataSet().State(), dsInsert);
    EXPECT_EQ(Linhas("SPEDFISK210"), 1);
    // The handler installed before saw the replaced message (on the server the provider
    // writes again in savepoints, so it may see it twice, never appended to).
    ASSERT_FALSE(dm->Visto.Mensagens.isEmpty());
    for (const QString &m : dm->Visto.Mensagens)
        EXPECT_EQ(m, esperada);
    dm->nClientDataSet().Cancel();

    // Another kind of refusal keeps its own words and reaches that handler unchanged.
    dm->Visto = {};
    NovaLinha(dm, 3, 20, "OS-1");
    dm->FieldByName("QUANTIDADE").Clear();
    const QString outra = Falha(dm->nClientDataSet());
    EXPECT_FALSE(outra.isEmpty());
    EXPECT_FALSE(outra.contains("Registro com esta chave")) << outra.toStdString();
    ASSERT_FALSE(dm->Visto.Mensagens.isEmpty());
    EXPECT_FALSE(dm->Visto.Mensagens.first().contains("Registro com esta chave"));
    dm->nClientDataSet().Cancel();

    // Kind 1 is not among this record's kinds: a second row of the same primary key keeps
    // the register's own words.
    dm->Visto = {};
    NovaLinha(dm, 1, 20, "OS-2");
    const QString primaria = Falha(dm->nClientDataSet());
    EXPECT_FALSE(primaria.isEmpty());
    EXPECT_FALSE(primaria.contains("Registro com esta chave")) << primaria.toStdString();
    dm->nClientDataSet().Cancel();

    // The previous handler's action stands: abort stops the write with the same message
    // untouched by the register.
    dm->Visto = {.Acao = raAbort};
    NovaLinha(dm, 4, 20);
    try {
        dm->nClientDataSet().Post();
        ADD_FAILURE() << "a duplicate was accepted";
    } catch (const EAbort &) {
    } catch (const Exception &e) {
        ADD_FAILURE() << e.Message().toStdString();
    }
    EXPECT_EQ(dm->Visto.Mensagens.value(0), esperada);
    EXPECT_EQ(Linhas("SPEDFISK210"), 1);
}

TEST_F(BlocoKBaseBanco, ChavePrimariaDuplicadaTipoUm)
{
    auto *dm = AbrirDM("TTesteK300Base");
    ASSERT_NE(dm, nullptr);
    // Configured again (another form): still one handler, the message given once.
    static_cast<TOrvoDMSpedFisKBase *>(dm)->ConfigurarErroChave(1);
    TnClientDataSet &ds = dm->nClientDataSet();
    for (int i = 0; i < 2; ++i) {
        ds.Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("DATARECONHECPROD").SetAsVariant(QDate(2024, 6, 10));
        if (i == 0)
            ds.Post();
    }
    // The module read before the first row was written; a second module writes the same key.
    EXPECT_EQ(Falha(ds), QString::fromUtf8("Registro com esta chave já foi cadastrado! \r\nVerifique os "
                                           "lançamentos observando os campos chave: \r\n[Competência]\r\n"
                                           "[Data Reconhecimento]"));
    EXPECT_EQ(Linhas("SPEDFISK300"), 1);
}
