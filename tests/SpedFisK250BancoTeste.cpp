// Records K250 and K255 as the program loads them, on both engines: the register opens
// without a new row, the inputs follow their production as a detail (new rows take its key,
// a delete takes them along, the key does not change under them), the inputs register on
// its own, and the quantities take the decimals of the row's company only (three while no
// row is loaded, whatever the active company's settings), the consultations keeping three.
#include "BancoOrvo.h"
#include "Modulos.h"

#include <gtest/gtest.h>

namespace {

class SpedFisK250Banco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        ExternalVar("gCodigoEmpresaAtiva", "1");
        con().Executar("delete from CFGEMPRESAINV");
    }
    // A K250 row of item `produto` produced on 10 June 2024, through the register.
    static void NovaProducao(TnDMClientDataSet *dm, qint64 produto)
    {
        TnClientDataSet &ds = dm->nClientDataSet();
        ds.Append();
        dm->FieldByName("DATAPRODUCAO").SetAsVariant(QDate(2024, 6, 10));
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        dm->FieldByName("QUANTIDADE").SetAsFloat(12.5);
        ds.Post();
    }
    static void NovoInsumo(TnDMClientDataSet *dm, qint64 insumo, double qtde = 1.25)
    {
        dm->nClientDataSet().Append();
        GravarInsumo(dm, insumo, qtde);
    }
    // Fills the input row being inserted in `dm` and posts it.
    static void GravarInsumo(TnDMClientDataSet *dm, qint64 insumo, double qtde = 1.25)
    {
        TnClientDataSet &ds = dm->nClientDataSet();
        dm->FieldByName("DATACONSUMO").SetAsVariant(QDate(2024, 6, 9));
        dm->FieldByName("CODIGOINSUMO").SetAsLargeInt(insumo);
        dm->FieldByName("QUANTIDADE").SetAsFloat(qtde);
        ds.Post();
    }
};

} // namespace

TEST_F(SpedFisK250Banco, InsumosSeguemAProducaoEApagamComEla)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK250");
    ASSERT_NE(dm, nullptr);
    // An empty register waits for the user to ask for a new row.
    EXPECT_FALSE(dm->Declaracao().InsercaoAutomatica);
    EXPECT_EQ(dm->nClientDataSet().State(), dsBrowse);
    ASSERT_EQ(dm->Detalhes().size(), 1);
    TnDMClientDataSet *k255 = dm->Detalhes().first();
    NovaProducao(dm, 100);
    NovoInsumo(k255, 200);
    // A negative consumption is accepted: no rule bounds it.
    NovoInsumo(k255, 201, -3);
    NovaProducao(dm, 101);
    EXPECT_TRUE(k255->nClientDataSet().IsEmpty());
    NovoInsumo(k255, 200);
    EXPECT_EQ(Linhas("SPEDFISK255", "CODIGOPRODUTO = 101 and CODIGOESTAB = 1 and DATAPRODUCAO = '2024-06-10'"), 1);
    EXPECT_EQ(Linhas("SPEDFISK255", "QUANTIDADE = -3"), 1);

    ASSERT_TRUE(dm->nClientDataSet().Locate("CODIGOPRODUTO", 100));
    EXPECT_EQ(k255->nClientDataSet().RecordCount(), 2);
    // The production's key does not change under its inputs.
    dm->nClientDataSet().Edit();
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(105);
    try {
        dm->nClientDataSet().Post();
        ADD_FAILURE() << "the production's key changed";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "CODIGOPRODUTO");
        EXPECT_TRUE(e.Message().contains(QString::fromUtf8("não pode ser alterado"))) << e.Message().toStdString();
    }
    dm->nClientDataSet().Cancel();
    // Deleting it deletes its inputs, and only them.
    ASSERT_TRUE(dm->nClientDataSet().Locate("CODIGOPRODUTO", 100));
    dm->nClientDataSet().Delete();
    EXPECT_EQ(Linhas("SPEDFISK250"), 1);
    EXPECT_EQ(Linhas("SPEDFISK255"), 1);
    EXPECT_EQ(Linhas("SPEDFISK255", "CODIGOPRODUTO = 101"), 1);
}

TEST_F(SpedFisK250Banco, InsumosAbertosSemProducao)
{
    con().Executar("insert into SPEDFISK250 (CODIGOEMPRESA, CODIGOESTAB, DATAPRODUCAO, CODIGOPRODUTO, QUANTIDADE) "
                   "values (1, 1, '2024-06-10', 100, 12.5)");
    auto *dm = AbrirDM("TOrvoDMSpedFisK255");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->DmMaster(), nullptr);
    const auto nova = [dm](qint64 produto) {
        dm->nClientDataSet().Append();
        dm->FieldByName("DATAPRODUCAO").SetAsVariant(QDate(2024, 6, 10));
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        GravarInsumo(dm, 200);
    };
    nova(100);
    EXPECT_EQ(Linhas("SPEDFISK255"), 1);
    // A production that does not exist is refused, nothing written.
    EXPECT_ANY_THROW(nova(101));
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK255"), 1);
}

TEST_F(SpedFisK250Banco, QuantidadesPelaEmpresaDaLinha)
{
    // The active company keeps two decimals; no row is loaded yet: three.
    con().Executar("insert into CFGEMPRESAINV (CODIGOEMPRESA, QTDECASADECIMAL, QTDECASADECIMALQTD) values (1, 2, 2)");
    auto *vazio = AbrirDM("TOrvoDMSpedFisK250");
    ASSERT_NE(vazio, nullptr);
    EXPECT_EQ(vazio->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.000");
    auto *vazio255 = AbrirDM("TOrvoDMSpedFisK255");
    ASSERT_NE(vazio255, nullptr);
    EXPECT_EQ(vazio255->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.000");
    EXPECT_EQ(vazio255->FieldByName("QUANTIDADE").Def().EditFormat, "#,##0.000");

    // With the company's rows the register follows it.
    con().Executar("insert into SPEDFISK250 (CODIGOEMPRESA, CODIGOESTAB, DATAPRODUCAO, CODIGOPRODUTO, QUANTIDADE) "
                   "values (1, 1, '2024-06-10', 100, 12.5)");
    con().Executar("insert into SPEDFISK255 (CODIGOEMPRESA, CODIGOESTAB, DATAPRODUCAO, CODIGOPRODUTO, DATACONSUMO, "
                   "CODIGOINSUMO, QUANTIDADE) values (1, 1, '2024-06-10', 100, '2024-06-09', 200, 1.25)");
    auto *dm = AbrirDM("TOrvoDMSpedFisK250");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.00");
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Def().EditFormat, "#,##0.00");
    auto *k255 = AbrirDM("TOrvoDMSpedFisK255");
    ASSERT_NE(k255, nullptr);
    EXPECT_EQ(k255->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.00");
    // The grids keep three decimals.
    for (const char *c : {"TOrvoDCSPEDFISK250", "TOrvoDCSPEDFISK255"}) {
        auto *dc = AbrirDM(c);
        ASSERT_NE(dc, nullptr) << c;
        EXPECT_EQ(dc->FieldByName("QUANTIDADE").Def().Decimais, 3) << c;
        EXPECT_EQ(dc->FieldByName("QUANTIDADE").Def().DisplayFormat, "#0.000") << c;
    }
    // The values keep their six decimals whatever is shown.
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Scale(), 6);
}
