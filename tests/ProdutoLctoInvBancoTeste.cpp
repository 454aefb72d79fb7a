// The product side of the entry register: the product text looked up by reference or code,
// the panel filled from the entry's product, and the missing product created on save in the
// entry's transaction (nothing left behind when either write fails), the code proposed or
// asked about when it is left, and the panel opened for a product still to be created.
#include "LctoInvTeste.h"
#include "DMClientDataSet.h"
#include "Excecoes.h"
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "SQLDataSet.h"

#include <QMetaObject>
#include <QSettings>
#include <gtest/gtest.h>

#include "OrvoDMLctoInv_U.h" // its messages and product operations

namespace {

class ProdutoLctoInvBanco : public BancoLctoInv {
protected:
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        Referencia(true);
        con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO) values (1, 3), (1, 7)");
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, CODIGOGRUPOPRODUTO, "
                       "DESCRPRODUTO, CODIGONCM, UNIDADEMEDIDA) values (1, 100, 'ABC', 7, 'Parafuso', '7318', 'UN')");
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) "
                       "values (1, 200, '100', 'Porca')");
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, 300, 'Arruela')");
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, 0, 'Zero')");
    }
    static TnpqPowerParam &Params(TnDMClientDataSet *dm)
    {
        void *p = nullptr;
        EXPECT_TRUE(QMetaObject::invokeMethod(dm, "npqPowerParam", Qt::DirectConnection, Q_RETURN_ARG(void *, p)));
        return *static_cast<TnpqPowerParam *>(p);
    }
    // A new valid entry of product `produto`, with a panel for a product to create.
    static void Novo(TnDMClientDataSet *dm, qint64 produto, int motivo = 1)
    {
        NovoLcto(dm, produto, motivo);
        TnpqPowerParam &p = Params(dm);
        p.Param("pCodigoGrupoProduto").SetText("3");
        p.Param("pDescrProduto").SetText("Novo");
        p.Param("pUnidadeMedida").SetText("KG");
    }
};

} // namespace

TEST_F(ProdutoLctoInvBanco, TextoDoProdutoPorReferenciaOuCodigo)
{
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    dm->nClientDataSet().Append();
    TnField &codigo = dm->FieldByName("CODIGOPRODUTO");
    codigo.SetText(" abc ");
    EXPECT_EQ(codigo.AsLargeInt(), 100);
    codigo.SetText("100"); // another product's reference wins over the code
    EXPECT_EQ(codigo.AsLargeInt(), 200);
    codigo.SetText("300"); // nobody's reference, a product's code
    EXPECT_EQ(codigo.AsLargeInt(), 300);
    for (const char *texto : {"XYZ", "0x", "' or 1=1 --"}) { // a non-number never matches code 0
        try {
            codigo.SetText(QString::fromLatin1(texto));
            ADD_FAILURE() << texto;
        } catch (const Exception &e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(OrvoSReferenciaNaoEncontrada));
        }
        EXPECT_EQ(codigo.AsLargeInt(), 300);
    }
    codigo.SetText("");
    EXPECT_TRUE(codigo.IsNull());
    dm->nClientDataSet().Cancel();

    // Without identification by reference the text is the code as typed.
    Referencia(false);
    TnDMClientDataSet *semRef = Abrir();
    ASSERT_NE(semRef, nullptr);
    semRef->nClientDataSet().Append();
    semRef->FieldByName("CODIGOPRODUTO").SetText("100");
    EXPECT_EQ(semRef->FieldByName("CODIGOPRODUTO").AsLargeInt(), 100);
    semRef->nClientDataSet().Cancel();
}

TEST_F(ProdutoLctoInvBanco, PainelComOsDadosDoProduto)
{
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    TnpqPowerParam &p = Params(dm);
    ASSERT_EQ(p.Count(), 6);
    EXPECT_EQ(p.Items(0).Alias(), "pCodigoEmpresa");
    EXPECT_FALSE(p.Items(0).Visivel());
    EXPECT_EQ(p.Items(5).Alias(), "pUnidadeMedida");
    EXPECT_EQ(p.Param("pDescrProduto").TamanhoMaximo(), 40);
    EXPECT_EQ(p.Param("pDescrProduto").Value(), " "); // empty panel

    TnClientDataSet &ds = dm->nClientDataSet();
    ds.Append();
    ds.FieldByName("CODIGOPRODUTO").SetAsInteger(100);
    dm->ConfigurarCampo(&ds);
    EXPECT_EQ(p.Param("pReferenProduto").Text(), "ABC");
    EXPECT_EQ(p.Param("pCodigoGrupoProduto").Text(), "7");
    EXPECT_EQ(p.Param("pDescrProduto").Text(), "Parafuso");
    EXPECT_EQ(p.Param("pCodigoNCM").Text(), "7318");
    EXPECT_EQ(p.Param("pUnidadeMedida").Text(), "UN");
    EXPECT_EQ(p.Param("pCodigoEmpresa").Text(), "1");
    // Null columns show the blank mark; an unknown product keeps the panel.
    ds.FieldByName("CODIGOPRODUTO").SetAsInteger(300);
    dm->ConfigurarCampo(&ds);
    EXPECT_EQ(p.Param("pDescrProduto").Text(), "Arruela");
    EXPECT_EQ(p.Param("pUnidadeMedida").Value(), " ");
    ds.FieldByName("CODIGOPRODUTO").SetAsInteger(999);
    dm->ConfigurarCampo(&ds);
    EXPECT_EQ(p.Param("pDescrProduto").Text(), "Arruela");
    ds.FieldByName("CODIGOPRODUTO").Clear();
    dm->ConfigurarCampo(&ds);
    EXPECT_EQ(p.Param("pDescrProduto").Value(), " ");
    ds.Cancel();
}

TEST_F(ProdutoLctoInvBanco, SairDoCodigoPropoeOuPergunta)
{
    TnInteracaoTeste usuario;
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    TnClientDataSet &ds = dm->nClientDataSet();
    TnField &codigo = dm->FieldByName("CODIGOPRODUTO");
    // No code: the next free one, without asking.
    ds.Append();
    dm->SairDoCampo("CODIGOPRODUTO");
    EXPECT_EQ(codigo.AsLargeInt(), 301);
    // An existing product: nothing asked, the panel shows it and stays closed.
    codigo.SetAsLargeInt(100);
    dm->SairDoCampo("CODIGOPRODUTO");
    EXPECT_EQ(codigo.AsLargeInt(), 100);
    EXPECT_EQ(Params(dm).Param("pDescrProduto").Text(), "Parafuso");
    EXPECT_FALSE(Params(dm).Param("pDescrProduto").Habilitado());
    // A code no product has: "Sim" takes the next free code, "Não" keeps the typed one;
    // either way the panel opens for the product to create.
    codigo.SetAsLargeInt(900);
    usuario.Responder(mbYes, QString::fromUtf8(OrvoSProdutoNaoCadastrado));
    dm->SairDoCampo("CODIGOPRODUTO");
    EXPECT_EQ(codigo.AsLargeInt(), 301);
    EXPECT_TRUE(Params(dm).Param("pDescrProduto").Habilitado());
    codigo.SetAsLargeInt(900);
    usuario.Responder(mbNo);
    dm->SairDoCampo("CODIGOPRODUTO");
    EXPECT_EQ(codigo.AsLargeInt(), 900);
    EXPECT_EQ(usuario.RespostasPendentes(), 0);
    ds.Cancel();
    // A stored entry is not touched, and its panel is closed.
    Novo(dm, 100);
    ASSERT_EQ(Falha(dm), "");
    dm->SairDoCampo("CODIGOPRODUTO");
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_FALSE(Params(dm).Param("pUnidadeMedida").Habilitado());
}

TEST_F(ProdutoLctoInvBanco, ProdutoFaltanteCriadoAoGravar)
{
    TnInteracaoTeste usuario;
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    // "Não" on leaving the code keeps it, and the product is still created on save.
    Novo(dm, 500);
    usuario.Responder(mbNo, QString::fromUtf8("Produto não cadastrado"));
    dm->SairDoCampo("CODIGOPRODUTO");
    // The reference is required where the company identifies products by it.
    EXPECT_TRUE(Falha(dm).contains(QString::fromUtf8("Referência")));
    Params(dm).Param("pReferenProduto").SetText("R500");
    EXPECT_EQ(Falha(dm), "");
    EXPECT_EQ(usuario.RespostasPendentes(), 0);
    EXPECT_EQ(Linhas("LCTOINV"), 1);
    // The blank of an empty panel value is stored as NULL.
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 500 and CODIGOGRUPOPRODUTO = 3 and DESCRPRODUTO = 'Novo' and "
                                "UNIDADEMEDIDA = 'KG' and CODIGONCM is null and REFERENPRODUTO = 'R500'"), 1);
    EXPECT_FALSE(con().InTransaction());

    // A required panel value left empty refuses the save before anything is written.
    Novo(dm, 510);
    Params(dm).Param("pUnidadeMedida").SetText(" ");
    EXPECT_TRUE(Falha(dm).contains("Unidade Medida"));
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 510"), 0);
    dm->nClientDataSet().Cancel();

    // An existing product is left alone; without references the code is the reference.
    Novo(dm, 100, 2);
    EXPECT_EQ(Falha(dm), "");
    Referencia(false);
    TnDMClientDataSet *semRef = Abrir();
    ASSERT_NE(semRef, nullptr);
    Novo(semRef, 600);
    EXPECT_EQ(Falha(semRef), "");
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 600 and REFERENPRODUTO = '600'"), 1);
}

TEST_F(ProdutoLctoInvBanco, PainelCopiaOsValoresEscolhidosEApelidoDoGrupo)
{
    con().Executar("update GRUPOPRODUTO set APELIDOGRUPOPRODUTO = 'Ferragens' where CODIGOEMPRESA = 1 "
                   "and CODIGOGRUPOPRODUTO = 3");
    TnInteracaoTeste usuario;
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    TnpqPowerParam &p = Params(dm);
    const auto copiar = [dm](const QString &colunas) {
        QMetaObject::invokeMethod(dm, "SetCopiarValorProduto", Qt::DirectConnection, Q_ARG(QString, colunas));
    };
    const auto validarGrupo = [dm] {
        // Failures of an invoked method reach the caller as they are.
        QMetaObject::invokeMethod(dm, "ValidarApelidoGrupoProduto", Qt::DirectConnection);
    };
    // The first entry's panel is remembered when the next one starts.
    Novo(dm, 500);
    ASSERT_EQ(Falha(dm), "");
    TnClientDataSet &ds = dm->nClientDataSet();
    copiar("DESCRPRODUTO;CODIGONCM;");
    ds.Append();
    ds.FieldByName("CODIGOPRODUTO").SetAsLargeInt(501);
    p.Param("pUnidadeMedida").SetText("CX");
    usuario.Responder(mbNo);
    dm->SairDoCampo("CODIGOPRODUTO");
    EXPECT_EQ(p.Param("pDescrProduto").Text(), "Novo"); // copied
    EXPECT_EQ(p.Param("pCodigoNCM").Value(), " ");       // chosen, empty before
    EXPECT_EQ(p.Param("pUnidadeMedida").Text(), "CX");   // not chosen: as it was
    // An empty choice leaves the panel as it is.
    copiar(QString());
    p.Param("pDescrProduto").SetText("Outro");
    usuario.Responder(mbNo);
    dm->SairDoCampo("CODIGOPRODUTO");
    EXPECT_EQ(p.Param("pDescrProduto").Text(), "Outro");

    ds.Cancel();

    // The choice is the user's preference of the product register, read with the settings.
    {
        const std::unique_ptr<QSettings> ini = CriarINIModuloCfg();
        ini->setValue(PegarSectionUsuario("frmUlmarDMProduto") + "/CopiarValor", "UNIDADEMEDIDA;");
    }
    TnDMClientDataSet *outro = Abrir();
    ASSERT_NE(outro, nullptr);
    Params(outro).Param("pUnidadeMedida").SetText("PC");
    outro->nClientDataSet().Append();
    outro->FieldByName("CODIGOPRODUTO").SetAsLargeInt(777);
    Params(outro).Param("pUnidadeMedida").SetText("XX");
    usuario.Responder(mbNo);
    outro->SairDoCampo("CODIGOPRODUTO");
    EXPECT_EQ(Params(outro).Param("pUnidadeMedida").Text(), "PC");
    outro->nClientDataSet().Cancel();
    CriarINIModuloCfg()->remove(PegarSectionUsuario("frmUlmarDMProduto") + "/CopiarValor");
    ds.Append();

    // The group: digits are a code as typed; an alias (any case) becomes its group's code;
    // an unknown alias is refused on the group parameter.
    TnpqParamItem &grupo = p.Param("pCodigoGrupoProduto");
    grupo.SetText("42");
    validarGrupo();
    EXPECT_EQ(grupo.Text(), "42");
    grupo.SetText("ferragens");
    validarGrupo();
    EXPECT_EQ(grupo.Text(), "3");
    grupo.SetText("x' or '1'='1");
    try {
        validarGrupo();
        ADD_FAILURE();
    } catch (const EnParam &e) {
        EXPECT_EQ(e.Param(), "pCodigoGrupoProduto");
        EXPECT_EQ(e.Message(), QString::fromUtf8(OrvoSApelidoGrupoInvalido));
    }
    ds.Cancel();
}

TEST_F(ProdutoLctoInvBanco, FalhaNaoDeixaProdutoENovaTentativaGrava)
{
    TnInteracaoTeste usuario;
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    // The product cannot be written: neither it nor the entry is.
    Novo(dm, 500);
    Params(dm).Param("pCodigoGrupoProduto").SetText("abc");
    EXPECT_FALSE(Falha(dm).isEmpty());
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 500"), 0);
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_FALSE(con().InTransaction());
    // A group nobody has: refused at the group, nothing written.
    Params(dm).Param("pCodigoGrupoProduto").SetText("99");
    try {
        dm->nClientDataSet().Post();
        ADD_FAILURE() << "grupo inexistente";
    } catch (const EnParam &e) {
        EXPECT_EQ(e.Param(), "pCodigoGrupoProduto");
        EXPECT_EQ(e.Message(), "O grupo de produto 99 não está cadastrado.");
    }
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 500"), 0);
    EXPECT_FALSE(con().InTransaction());

    Params(dm).Param("pCodigoGrupoProduto").SetText("3");
    // The retry really writes the product, with the entry.
    EXPECT_EQ(Falha(dm), "");
    EXPECT_EQ(usuario.RespostasPendentes(), 0);
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 500 and CODIGOGRUPOPRODUTO = 3"), 1);
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 500"), 1);
    EXPECT_FALSE(con().InTransaction());

    // The database refuses the entry: the product goes with it, then the retry writes both.
    if (con().PegarTipoCon() != tcSQLite)
        return;
    InjetarFalha("LCTOINV", "insert", "1 = 1", "recusado");
    Novo(dm, 700);
    EXPECT_TRUE(Falha(dm).contains("recusado"));
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 700"), 0);
    EXPECT_FALSE(con().InTransaction());
    RetirarFalha("LCTOINV", "insert");
    EXPECT_EQ(Falha(dm), "");
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 700"), 1);
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 700"), 1);
}

// A saved entry shows at once in the entry consultations that are open.
TEST_F(ProdutoLctoInvBanco, GravarMostraNasConsultasAbertas)
{
    auto *dc = qobject_cast<TnDMClientDataSet *>(CriarDM(QStringLiteral("TOrvoDCLctoInv")));
    auto *syn = qobject_cast<TnDMClientDataSet *>(CriarDM(QStringLiteral("TOrvoDCLctoInvSyn")));
    ASSERT_TRUE(dc && syn);
    dc->Abrir();
    syn->Abrir();
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    Novo(dm, 100);
    ASSERT_EQ(Falha(dm), "");
    ASSERT_EQ(dc->nClientDataSet().RecordCount(), 1);
    EXPECT_EQ(dc->FieldByName("CODIGOPRODUTO").AsLargeInt(), 100);
    EXPECT_DOUBLE_EQ(dc->FieldByName("VALORTOTAL").AsFloat(), 10);
    EXPECT_TRUE(syn->nClientDataSet().IsEmpty()); // not a SYN entry
}
