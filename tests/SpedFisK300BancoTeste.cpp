// The joint production by a third party K300 with its items K301 and K302, on both engines:
// the two details in one page control, the item types each accepts (a product the company
// does not have as type 0), the duplicate messages, an item without a product, and a key
// that may change only while no item hangs from it.
#include "BancoOrvo.h"
#include "FormFalso.h"
#include "Modulos.h"
#include "OrvoDMSpedFisKBase_U.h"

#include <gtest/gtest.h>

namespace {

const QString kK301Tipos = QString::fromUtf8("O produto informado deve pertencer a um dos seguintes tipos de "
                                             "mercadorias:\r\nProduto em Processo;\r\nProduto Acabado;");

class SpedFisK300Banco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        // 30 in process (3), 31 for resale (0), 32 other input (10), 33 fixed asset (6); 99 missing.
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, INDICADORTIPO) values "
                       "(1, 30, 3), (1, 31, 0), (1, 32, 10), (1, 33, 6)");
        FDm = AbrirDM("TOrvoDMSPEDFISK300");
        ASSERT_NE(FDm, nullptr);
        FDm->ConfigurarForm(&FForm);
        for (TnDMClientDataSet *d : FDm->Detalhes())
            FDetalhes << d;
    }
    void NovaProducao(const QDate &competencia, const QDate &reconhecimento)
    {
        FDm->nClientDataSet().Append();
        FDm->FieldByName("DATALCTOFIS").SetAsVariant(competencia);
        FDm->FieldByName("DATARECONHECPROD").SetAsVariant(reconhecimento);
    }
    static void NovoItem(TnDMClientDataSet *dm, qint64 produto)
    {
        dm->nClientDataSet().Append();
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        dm->FieldByName("QTDE").SetAsFloat(1.5);
    }
    // The message of a refused post (the row stays in edit); empty when it went through.
    static QString Falha(TnDMClientDataSet *dm)
    {
        try {
            dm->nClientDataSet().Post();
        } catch (const Exception &e) {
            EXPECT_NE(dm->nClientDataSet().State(), dsBrowse);
            return e.Message();
        }
        return QString();
    }
    TnFormFalso FForm;
    TnDMClientDataSet *FDm = nullptr;
    QList<TnDMClientDataSet *> FDetalhes;
};

} // namespace

TEST_F(SpedFisK300Banco, TiposDosItensEDuplicados)
{
    EXPECT_TRUE(FForm.Chamadas.join('\n').contains("PageControl:"));
    ASSERT_EQ(FDetalhes.size(), 2);
    EXPECT_EQ(FDetalhes[0]->ClassName(), "TOrvoDMSPEDFISK301");
    EXPECT_EQ(FDetalhes[1]->ClassName(), "TOrvoDMSPEDFISK302");
    TnDMClientDataSet *k301 = FDetalhes[0];
    TnDMClientDataSet *k302 = FDetalhes[1];
    NovaProducao(QDate(2024, 6, 1), QDate(2024, 6, 15));
    FDm->nClientDataSet().Post();

    // K301: in process or finished only; a product the company does not have is type 0.
    for (qint64 p : {31, 32, 99}) {
        NovoItem(k301, p);
        EXPECT_EQ(Falha(k301), kK301Tipos) << p;
        k301->nClientDataSet().Cancel();
    }
    NovoItem(k301, 30);
    EXPECT_EQ(Falha(k301), QString());
    // The same product twice under one production: its single label.
    NovoItem(k301, 30);
    EXPECT_EQ(Falha(k301), TOrvoDMSpedFisKBase::MensagemChaveDuplicada(
                               "[" + k301->FieldByName("CODIGOPRODUTO").DisplayLabel() + "]"));
    k301->nClientDataSet().Cancel();

    // K302: 0 and 10 and a missing product accepted, 6 refused.
    for (qint64 p : {31, 32, 99}) {
        NovoItem(k302, p);
        EXPECT_EQ(Falha(k302), QString()) << p;
    }
    NovoItem(k302, 33);
    const QString recusa = Falha(k302);
    EXPECT_EQ(recusa, QString::fromUtf8("O produto informado deve pertencer a um dos seguintes tipos de mercadorias:"
                                        "\r\nMercadoria para Revenda;\r\nMatéria-Prima;\r\nEmbalagem;\r\n"
                                        "Produto em Processo;\r\nProduto Acabado;\r\nSubproduto;\r\n"
                                        "Outros insumos;"));
    k302->nClientDataSet().Cancel();
    // No blank default: an item without a product is refused on the product.
    k302->nClientDataSet().Append();
    EXPECT_TRUE(k302->FieldByName("CODIGOPRODUTO").IsNull());
    k302->FieldByName("QTDE").SetAsFloat(2);
    try {
        k302->nClientDataSet().Post();
        ADD_FAILURE() << "an item without a product was accepted";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "CODIGOPRODUTO");
    }
    k302->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK301"), 1);
    EXPECT_EQ(Linhas("SPEDFISK302", "DATARECONHECPROD = '2024-06-15'"), 3);

    // A second production of the same competence and recognition date: two labels.
    NovaProducao(QDate(2024, 6, 1), QDate(2024, 6, 15));
    EXPECT_EQ(Falha(FDm), TOrvoDMSpedFisKBase::MensagemChaveDuplicada(
                              "[" + FDm->FieldByName("DATALCTOFIS").DisplayLabel() + "]\r\n["
                              + FDm->FieldByName("DATARECONHECPROD").DisplayLabel() + "]"));
    FDm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK300"), 1);
}

TEST_F(SpedFisK300Banco, ChaveMudaSomenteSemItens)
{
    ASSERT_EQ(FDetalhes.size(), 2);
    NovaProducao(QDate(2024, 6, 1), QDate(2024, 6, 15));
    FDm->nClientDataSet().Post();
    // Without items the recognition date may change.
    FDm->nClientDataSet().Edit();
    FDm->FieldByName("DATARECONHECPROD").SetAsVariant(QDate(2024, 6, 16));
    EXPECT_EQ(Falha(FDm), QString());
    NovoItem(FDetalhes[1], 31);
    FDetalhes[1]->nClientDataSet().Post();
    // With one, the change is refused and the item stays under its production.
    FDm->nClientDataSet().Edit();
    FDm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 7, 1));
    try {
        FDm->nClientDataSet().Post();
        ADD_FAILURE() << "the key changed under its items";
    } catch (const EnField &e) {
        EXPECT_TRUE(e.Message().startsWith(QString::fromUtf8("A competência e a data do reconhecimento desta "
                                                             "produção não podem ser alteradas")))
            << e.Message().toStdString();
    } catch (const Exception &e) {
        ADD_FAILURE() << e.Message().toStdString();
    }
    FDm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK300", "DATALCTOFIS = '2024-06-01' and DATARECONHECPROD = '2024-06-16'"), 1);
    EXPECT_EQ(Linhas("SPEDFISK302", "DATALCTOFIS = '2024-06-01' and DATARECONHECPROD = '2024-06-16'"), 1);
}

TEST_F(SpedFisK300Banco, BibliotecaRegistraOsSeisModulos)
{
    for (const char *c : {"TOrvoDMSPEDFISK300", "TOrvoDCSPEDFISK300", "TOrvoDMSPEDFISK301", "TOrvoDCSPEDFISK301",
                          "TOrvoDMSPEDFISK302", "TOrvoDCSPEDFISK302"})
        EXPECT_NE(Registro().Classe(c), nullptr) << c;
}
