// Records K230 and K235 as the program loads them, on both engines: the production order's
// start date rule, the order code's length, the 0210 check of the component or of its
// substitute, the inputs as a detail of their order (new rows take its key, a delete takes
// them along, the key does not change under them), the inputs register on its own, and the
// quantities' decimals by the company's settings.
#include "BancoOrvo.h"
#include "Modulos.h"

#include <gtest/gtest.h>

namespace {

class SpedFisK230Banco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        ExternalVar("gCodigoEmpresaAtiva", "1");
        con().Executar("delete from CFGEMPRESAINV");
        // Item 100 is made of 200; 300 is registered for no item.
        con().Executar("insert into SPEDFIS0210 (CODIGOEMPRESA, CODIGOESTAB, CODIGOPRODUTO, CODIGOINSUMO, "
                       "QUANTIDADE, PERDA) values (1, 1, 100, 200, 1, 0)");
    }
    // A K230 row of order `ordem` for item 100 in June 2024, through the register.
    static void NovaOrdem(TnDMClientDataSet *dm, const QString &ordem)
    {
        TnClientDataSet &ds = dm->nClientDataSet();
        ds.Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("CODIGOORDEMPRODUCAO").SetAsString(ordem);
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(100);
        dm->FieldByName("DATAINICIOORDEMPRODUCAO").SetAsVariant(QDate(2024, 6, 3));
        dm->FieldByName("QUANTIDADE").SetAsFloat(10);
        ds.Post();
    }
    // A K235 row of component `insumo` (and `substituido` when not 0) in the detail `dm`.
    static void NovoInsumo(TnDMClientDataSet *dm, qint64 insumo, qint64 substituido = 0)
    {
        TnClientDataSet &ds = dm->nClientDataSet();
        ds.Append();
        dm->FieldByName("DATASAIDA").SetAsVariant(QDate(2024, 6, 5));
        dm->FieldByName("CODIGOINSUMO").SetAsLargeInt(insumo);
        if (substituido)
            dm->FieldByName("CODIGOINSUMOSUBSTITUIDO").SetAsLargeInt(substituido);
        dm->FieldByName("QUANTIDADE").SetAsFloat(2.5);
        ds.Post();
    }
    static TnDMClientDataSet *Insumos(TnDMClientDataSet *k230)
    {
        const auto detalhes = k230->Detalhes();
        return detalhes.isEmpty() ? nullptr : detalhes.first();
    }
};

} // namespace

TEST_F(SpedFisK230Banco, DataInicialExigidaSalvoOrdemZero)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK230");
    ASSERT_NE(dm, nullptr);
    TnClientDataSet &ds = dm->nClientDataSet();
    ds.Append();
    const TnField &inicio = dm->FieldByName("DATAINICIOORDEMPRODUCAO");
    dm->FieldByName("CODIGOORDEMPRODUCAO").SetAsString("0");
    EXPECT_FALSE(inicio.Required());
    // Any other code requires it, an empty one too.
    dm->FieldByName("CODIGOORDEMPRODUCAO").SetAsString("");
    EXPECT_TRUE(inicio.Required());
    dm->FieldByName("CODIGOORDEMPRODUCAO").SetAsString("OP-1");
    EXPECT_TRUE(inicio.Required());
    dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(100);
    dm->FieldByName("QUANTIDADE").SetAsFloat(1);
    EXPECT_ANY_THROW(ds.Post());
    EXPECT_EQ(Linhas("SPEDFISK230"), 0);
    dm->FieldByName("CODIGOORDEMPRODUCAO").SetAsString("0");
    ds.Post();
    EXPECT_EQ(Linhas("SPEDFISK230", "DATAINICIOORDEMPRODUCAO is null"), 1);
    // A new row does not keep the order "0" of the row before.
    ds.Append();
    EXPECT_TRUE(inicio.Required());
    ds.Cancel();
}

TEST_F(SpedFisK230Banco, OrdemDeTrintaCaracteres)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK230");
    ASSERT_NE(dm, nullptr);
    const QString trinta(30, QLatin1Char('A'));
    NovaOrdem(dm, trinta);
    EXPECT_EQ(Linhas("SPEDFISK230", QStringLiteral("CODIGOORDEMPRODUCAO = '%1'").arg(trinta)), 1);
    bool recusada = false;
    try {
        NovaOrdem(dm, trinta + QLatin1Char('B'));
    } catch (const Exception &) {
        recusada = true;
        dm->nClientDataSet().Cancel();
    }
    EXPECT_TRUE(recusada);
    EXPECT_EQ(Linhas("SPEDFISK230"), 1);
}

TEST_F(SpedFisK230Banco, InsumoOuSubstitutoNoRegistro0210)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK230");
    ASSERT_NE(dm, nullptr);
    NovaOrdem(dm, "OP-1");
    TnDMClientDataSet *k235 = Insumos(dm);
    ASSERT_NE(k235, nullptr);
    const QString msg = QString::fromUtf8("Componente/Insumo não cadastrado no Registro 0210: Consumo Específico "
                                          "Padronizado!");
    // The substitute is checked, not the registered component it replaced.
    try {
        NovoInsumo(k235, 200, 300);
        ADD_FAILURE() << "a substitute outside 0210 was accepted";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "CODIGOINSUMOSUBSTITUIDO");
        EXPECT_EQ(e.Message(), msg);
    }
    k235->nClientDataSet().Cancel();
    // Without a substitute the component itself.
    try {
        NovoInsumo(k235, 300);
        ADD_FAILURE() << "a component outside 0210 was accepted";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "CODIGOINSUMO");
    }
    k235->nClientDataSet().Cancel();
    // A substitute registered for the item passes although the component it replaced is not.
    con().Executar("insert into SPEDFIS0210 (CODIGOEMPRESA, CODIGOESTAB, CODIGOPRODUTO, CODIGOINSUMO, "
                   "QUANTIDADE, PERDA) values (1, 1, 100, 300, 1, 0)");
    NovoInsumo(k235, 400, 300);
    NovoInsumo(k235, 200);
    EXPECT_EQ(Linhas("SPEDFISK235"), 2);
}

TEST_F(SpedFisK230Banco, InsumosSeguemAOrdemEApagamComEla)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK230");
    ASSERT_NE(dm, nullptr);
    TnDMClientDataSet *k235 = Insumos(dm);
    ASSERT_NE(k235, nullptr);
    NovaOrdem(dm, "OP-1");
    NovoInsumo(k235, 200);
    NovaOrdem(dm, "OP-2");
    EXPECT_TRUE(k235->nClientDataSet().IsEmpty());
    NovoInsumo(k235, 200);
    // The detail's rows took their order's key.
    EXPECT_EQ(Linhas("SPEDFISK235", "CODIGOORDEMPRODUCAO = 'OP-2' and CODIGOPRODUTO = 100 and CODIGOESTAB = 1 "
                                    "and DATALCTOFIS = '2024-06-01'"),
              1);
    EXPECT_EQ(Linhas("SPEDFISK235"), 2);
    ASSERT_TRUE(dm->nClientDataSet().Locate("CODIGOORDEMPRODUCAO", "OP-1"));
    EXPECT_EQ(k235->nClientDataSet().RecordCount(), 1);
    EXPECT_EQ(k235->FieldByName("CODIGOORDEMPRODUCAO").AsString(), "OP-1");

    // The order's key does not change under its inputs.
    dm->nClientDataSet().Edit();
    dm->FieldByName("CODIGOORDEMPRODUCAO").SetAsString("OP-9");
    try {
        dm->nClientDataSet().Post();
        ADD_FAILURE() << "the order's key changed";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "CODIGOORDEMPRODUCAO");
        EXPECT_TRUE(e.Message().contains(QString::fromUtf8("não pode ser alterado"))) << e.Message().toStdString();
    }
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK235", "CODIGOORDEMPRODUCAO = 'OP-1'"), 1);

    // Deleting the order deletes its inputs, and only them.
    ASSERT_TRUE(dm->nClientDataSet().Locate("CODIGOORDEMPRODUCAO", "OP-1"));
    dm->nClientDataSet().Delete();
    EXPECT_EQ(Linhas("SPEDFISK230"), 1);
    EXPECT_EQ(Linhas("SPEDFISK235", "CODIGOORDEMPRODUCAO = 'OP-1'"), 0);
    EXPECT_EQ(Linhas("SPEDFISK235", "CODIGOORDEMPRODUCAO = 'OP-2'"), 1);
}

TEST_F(SpedFisK230Banco, InsumosAbertosSemOrdem)
{
    con().Executar("insert into SPEDFISK230 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOORDEMPRODUCAO, "
                   "CODIGOPRODUTO, DATAINICIOORDEMPRODUCAO, QUANTIDADE) values (1, 1, '2024-06-01', 'OP-1', 100, "
                   "'2024-06-03', 10)");
    auto *dm = AbrirDM("TOrvoDMSpedFisK235");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->DmMaster(), nullptr);
    const auto nova = [dm](const char *ordem) {
        dm->nClientDataSet().Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("CODIGOORDEMPRODUCAO").SetAsString(ordem);
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(100);
        dm->FieldByName("DATASAIDA").SetAsVariant(QDate(2024, 6, 5));
        dm->FieldByName("CODIGOINSUMO").SetAsLargeInt(200);
        dm->FieldByName("QUANTIDADE").SetAsFloat(1);
        dm->nClientDataSet().Post();
    };
    nova("OP-1");
    EXPECT_EQ(Linhas("SPEDFISK235"), 1);
    // An order that does not exist is refused, nothing written.
    EXPECT_ANY_THROW(nova("OP-2"));
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK235"), 1);
}

TEST_F(SpedFisK230Banco, QuantidadesComAsCasasDaEmpresa)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK230");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.000");
    con().Executar("insert into CFGEMPRESAINV (CODIGOEMPRESA, QTDECASADECIMAL, QTDECASADECIMALQTD) values (1, 2, 6)");
    Selecao().ReconfigurarDM("CodigoEmpresa", false);
    auto *novo = AbrirDM("TOrvoDMSpedFisK230");
    ASSERT_NE(novo, nullptr);
    EXPECT_EQ(novo->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.000000");
    TnDMClientDataSet *k235 = Insumos(novo);
    ASSERT_NE(k235, nullptr);
    EXPECT_EQ(k235->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.000000");
    EXPECT_EQ(k235->FieldByName("QUANTIDADE").Def().EditFormat, "#,##0.000000");
    auto *dc = AbrirDM("TOrvoDCSPEDFISK230");
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dc->FieldByName("QUANTIDADE").Def().Decimais, 6);
    for (const char *c : {"TOrvoDMSpedFisK235", "TOrvoDCSPEDFISK235"})
        EXPECT_NE(Registro().Classe(c), nullptr) << c;
}
