// Record K200 as the program loads it, on both engines: the participant following the
// stock type's value (desktop and web, without a form), the participant rule, a stock type
// outside the list, and the quantity decimals of the company's settings (none, 0, 6) in
// the web register and the consultation, read again when the settings change.
#include "BancoOrvo.h"
#include "Interacao.h"

#include <gtest/gtest.h>

namespace {

class SpedFisK200Banco : public BancoOrvoCore {
protected:
    void TearDown() override
    {
        SetEhHttpExe(false);
        BancoOrvoCore::TearDown();
    }
    static void NovaLinha(TnDMClientDataSet *dm, int tipo, int seq = 1)
    {
        dm->nClientDataSet().Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 30));
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(123);
        dm->FieldByName("INDICADORESTOQUE").SetAsInteger(tipo);
        dm->FieldByName("SEQ").SetAsInteger(seq);
        dm->FieldByName("QUANTIDADE").SetAsFloat(2.5);
    }
    static QString Falha(TnDMClientDataSet *dm)
    {
        try {
            dm->nClientDataSet().Post();
        } catch (const Exception &e) {
            return e.Message();
        }
        return QString();
    }
    void Casas(const QVariant &casas)
    {
        con().Executar("delete from CFGEMPRESAINV where CODIGOEMPRESA = 1");
        if (casas.isValid())
            con().Executar(QStringLiteral("insert into CFGEMPRESAINV (CODIGOEMPRESA, QTDECASADECIMAL, "
                                          "QTDECASADECIMALQTD) values (1, 2, %1)")
                               .arg(casas.toInt()));
    }
};

} // namespace

TEST_F(SpedFisK200Banco, ParticipanteSegueOTipoDeEstoque)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK200");
    ASSERT_NE(dm, nullptr);
    NovaLinha(dm, 1);
    EXPECT_TRUE(dm->FieldByName("CODIGOPESSOA").Def().Habilitado);
    dm->FieldByName("CODIGOPESSOA").SetAsInteger(77);
    // Type 0 clears and disables the participant; the stored value counts, whatever text
    // a control would show.
    dm->FieldByName("INDICADORESTOQUE").SetAsInteger(0);
    EXPECT_TRUE(dm->FieldByName("CODIGOPESSOA").IsNull());
    EXPECT_FALSE(dm->FieldByName("CODIGOPESSOA").Def().Habilitado);
    dm->FieldByName("INDICADORESTOQUE").SetAsInteger(2);
    EXPECT_TRUE(dm->FieldByName("CODIGOPESSOA").Def().Habilitado);
    // Type 2 without a participant is accepted.
    EXPECT_EQ(Falha(dm), QString());
    // The desktop register keeps its own quantity format.
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Def().DisplayFormat, "#0.000");

    // Type 0 with a participant typed afterwards: refused with the product's code.
    NovaLinha(dm, 0, 2);
    dm->FieldByName("CODIGOPESSOA").SetAsInteger(77);
    EXPECT_EQ(Falha(dm), QString::fromUtf8("O Produto 123 possui 'Código de Participante' informado, o que não é "
                                           "permitido para o tipo de estoque 'Estoque de propriedade do informante "
                                           "e em seu poder'. Remova o participante deste item para concluir a "
                                           "gravação."));
    // A stock type outside the list.
    dm->FieldByName("CODIGOPESSOA").Clear();
    dm->FieldByName("INDICADORESTOQUE").SetAsInteger(3);
    EXPECT_FALSE(Falha(dm).isEmpty());
    EXPECT_FALSE(dm->FieldByName("CODIGOPESSOA").Def().Habilitado);
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK200"), 1);
}

TEST_F(SpedFisK200Banco, WebExigeParticipanteEFormataQuantidade)
{
    SetEhHttpExe(true);
    Casas(QVariant()); // no settings row: three decimals
    auto *dm = AbrirDM("TOrvoDMSpedFisK200");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.000");
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Def().EditFormat, "#,##0.000");
    NovaLinha(dm, 1);
    EXPECT_TRUE(dm->FieldByName("CODIGOPESSOA").Required());
    EXPECT_FALSE(Falha(dm).isEmpty());
    dm->FieldByName("INDICADORESTOQUE").SetAsInteger(0);
    EXPECT_FALSE(dm->FieldByName("CODIGOPESSOA").Required());
    EXPECT_EQ(Falha(dm), QString());

    // The settings change and are saved: the register follows them.
    Casas(0);
    Selecao().ReconfigurarDM("CodigoEmpresa", false);
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.");
}

TEST_F(SpedFisK200Banco, ConsultaComCasasDaEmpresaAtiva)
{
    Casas(6);
    ExternalVar("gCodigoEmpresaAtiva", "1");
    // No rows: the active company's decimals.
    auto *dc = AbrirDM("TOrvoDCSPEDFISK200");
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(dc->nClientDataSet().IsEmpty());
    EXPECT_EQ(dc->FieldByName("QUANTIDADE").Def().Decimais, 6);
    EXPECT_EQ(dc->FieldByName("QUANTIDADE").Def().DisplayFormat, "#,##0.000000");
    con().Executar("insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTO, "
                   "INDICADORESTOQUE, SEQ, QUANTIDADE) values (1, 1, '2024-06-30', 5, 1, 1, 1.25)");
    dc->Reabrir();
    EXPECT_EQ(dc->FieldByName("QUANTIDADE").DisplayText(), "1,250000");
    EXPECT_EQ(dc->FieldByName("INDICADORESTOQUE").DisplayText(),
              "Estoque de propriedade do informante e em posse de terceiros");
    EXPECT_TRUE(dc->SomenteLeitura());
}
