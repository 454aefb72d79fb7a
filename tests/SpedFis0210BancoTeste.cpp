// Record 0210 as the program loads it, on both engines: product and component equal, the
// component's item type read by its code (a component missing or without a type, a code
// equal to another product's reference), the quantity's six decimals and the formats.
#include "BancoOrvo.h"
#include "OrvoDMSpedFisKBase_U.h"

#include <gtest/gtest.h>

namespace {

const char *const kTipoItem =
    "O tipo do componente/insumo (campo TIPO_ITEM do Registro 0200) deve ser igual a 00, 01, 02, 03, 04, 05 ou 10";

class SpedFis0210Banco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        // 1 the product; 10 of type 10; 6 of type 6; 7 without a type; "6" is the reference
        // of product 40, of type 1.
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, INDICADORTIPO) values "
                       "(1, 1, null, 4), (1, 10, null, 10), (1, 6, null, 6), (1, 7, null, null), (1, 40, '6', 1)");
    }
    // A new row of product 1 and component `insumo`, posted: the refusal's field and
    // message, or empty ones when it was saved.
    static std::pair<QString, QString> Gravar(TnDMClientDataSet *dm, qint64 produto, qint64 insumo,
                                              const QString &quantidade = "1.5")
    {
        TnClientDataSet &ds = dm->nClientDataSet();
        ds.Append();
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        dm->FieldByName("CODIGOINSUMO").SetAsLargeInt(insumo);
        dm->FieldByName("QUANTIDADE").SetAsString(quantidade);
        dm->FieldByName("PERDA").SetAsString("0.25");
        try {
            ds.Post();
        } catch (const EnField &e) {
            ds.Cancel();
            return {e.Campo(), e.Message()};
        }
        return {};
    }
};

} // namespace

TEST_F(SpedFis0210Banco, RegrasDoComponente)
{
    auto *dm = AbrirDM("TOrvoDMSpedFis0210");
    ASSERT_NE(dm, nullptr);
    // Product and component equal: refused before the component's type is read (product 1
    // is of an accepted type, 99 is missing).
    auto r = Gravar(dm, 99, 99);
    EXPECT_EQ(r.first, "CODIGOPRODUTO");
    EXPECT_TRUE(r.second.startsWith(QString::fromUtf8("O código do item componente/insumo deve ser diferente")));
    // Type 10 passes; type 6 is refused on the product column.
    EXPECT_EQ(Gravar(dm, 1, 10), std::make_pair(QString(), QString()));
    r = Gravar(dm, 1, 6);
    EXPECT_EQ(r.first, "CODIGOPRODUTO");
    EXPECT_EQ(r.second, QString::fromUtf8(kTipoItem));
    // Without a type: the type message, never a conversion error.
    r = Gravar(dm, 1, 7);
    EXPECT_EQ(r.second, QString::fromUtf8(kTipoItem));
    // Missing: refused on the component with its own message.
    r = Gravar(dm, 1, 55);
    EXPECT_EQ(r.first, "CODIGOINSUMO");
    EXPECT_EQ(r.second, TOrvoDMSpedFisKBase::MensagemProdutoInexistente("55"));
    EXPECT_EQ(Linhas("SPEDFIS0210"), 1);
}

TEST_F(SpedFis0210Banco, QuantidadeComSeisDecimaisEFormatos)
{
    auto *dm = AbrirDM("TOrvoDMSpedFis0210");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Def().DisplayFormat, "#0.000000");
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Def().EditFormat, "#0.000000");
    EXPECT_EQ(dm->FieldByName("PERDA").Def().DisplayFormat, "#0.0000");
    EXPECT_EQ(dm->FieldByName("CODIGOINSUMO").DisplayLabel(), QString::fromUtf8("Código do item componente/insumo"));
    EXPECT_EQ(Gravar(dm, 1, 10, "0.123456"), std::make_pair(QString(), QString()));
    EXPECT_EQ(Linhas("SPEDFIS0210", "QUANTIDADE = 0.123456"), 1);

    auto *dc = AbrirDM("TOrvoDCSPEDFIS0210");
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(dc->SomenteLeitura());
    ASSERT_EQ(dc->nClientDataSet().RecordCount(), 1);
    EXPECT_EQ(dc->FieldByName("QUANTIDADE").AsString(), "0,123456");
    EXPECT_EQ(dc->FieldByName("QUANTIDADE").Def().DisplayFormat, "#0.00");
    EXPECT_EQ(dc->FieldByName("PERDA").Def().DisplayFormat, "#0.00");
}

TEST_F(SpedFis0210Banco, CodigoComLetrasOuAlemDe64BitsRecusado)
{
    auto *dm = AbrirDM("TOrvoDMSpedFis0210");
    ASSERT_NE(dm, nullptr);
    dm->nClientDataSet().Append();
    EXPECT_THROW(dm->FieldByName("CODIGOINSUMO").SetText("12a"), Exception);
    EXPECT_THROW(dm->FieldByName("CODIGOINSUMO").SetText("99999999999999999999"), Exception);
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFIS0210"), 0);
}
