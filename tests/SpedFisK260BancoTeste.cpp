// Records K260 and K265 as the program loads them, on both engines: the exit and return
// dates against the competence month and each other, the return quantity, the order an exit
// of the month without a return needs, the product's type; the goods as a detail of their
// reprocessing (new rows take its key, a delete takes them along, the key does not change
// under them), their quantities and product against the master's, with the master and on
// their own; and the duplicate natural key's message.
#include "BancoOrvo.h"
#include "Modulos.h"
#include "OrvoDMSpedFisKBase_U.h"

#include <gtest/gtest.h>

namespace {

class SpedFisK260Banco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, INDICADORTIPO) values "
                       "(1, 100, null, 4), (1, 101, null, 1), (1, 102, null, 6)");
    }
    // A K260 row of June 2024 for product 100 leaving stock on `saida`, not yet saved.
    static void NovaLinha(TnDMClientDataSet *dm, int seq, const QDate &saida)
    {
        dm->nClientDataSet().Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("SEQK260").SetAsInteger(seq);
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(100);
        dm->FieldByName("DATASAIDA").SetAsVariant(saida);
        dm->FieldByName("QUANTIDADESAI").SetAsFloat(4);
    }
    // A K265 row of `produto` in `dm` with the quantities given (NaN: empty), not yet saved.
    static void NovaMercadoria(TnDMClientDataSet *dm, qint64 produto, double consumida, double retornada)
    {
        dm->nClientDataSet().Append();
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        if (!std::isnan(consumida))
            dm->FieldByName("QTDCONSUMIDA").SetAsFloat(consumida);
        if (!std::isnan(retornada))
            dm->FieldByName("QTDRETORNADA").SetAsFloat(retornada);
    }
};

constexpr double kVazio = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST_F(SpedFisK260Banco, SaidaERetornoNaCompetencia)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK260");
    ASSERT_NE(dm, nullptr);
    const QString maiorMsg = QString::fromUtf8("A data de retorno deve ser maior que a data de saída!");
    // An exit after the competence month.
    NovaLinha(dm, 1, QDate(2024, 7, 1));
    dm->FieldByName("CODIGOOPOS").SetAsString("OS-1");
    EXPECT_EQ(Recusa(dm),
              std::make_pair(QString("DATASAIDA"),
                             QString::fromUtf8("A data de saída não pode ser superior a competência informada!")));
    // A return on the exit's day is refused, and one outside the month.
    dm->FieldByName("DATASAIDA").SetAsVariant(QDate(2024, 6, 30));
    dm->FieldByName("DATARETORNO").SetAsVariant(QDate(2024, 6, 30));
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("DATARETORNO"), maiorMsg));
    dm->FieldByName("DATASAIDA").SetAsVariant(QDate(2024, 5, 20));
    dm->FieldByName("DATARETORNO").SetAsVariant(QDate(2024, 5, 31));
    EXPECT_EQ(Recusa(dm).second, QString::fromUtf8("A data de retorno deve pertencer ao mesmo período informado no "
                                                   "campo competência!"));
    dm->nClientDataSet().Cancel();

    // An exit of the month without return and without order: refused on the order.
    NovaLinha(dm, 1, QDate(2024, 6, 5));
    EXPECT_EQ(Recusa(dm).first, "CODIGOOPOS");
    // With a return in the month the order may be missing, but the return needs a quantity.
    dm->FieldByName("DATARETORNO").SetAsVariant(QDate(2024, 6, 20));
    const QString qtdeMsg = QString::fromUtf8("A quantidade de retorno é obrigatória quando informado data de retorno!");
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("QUANTIDADERET"), qtdeMsg));
    dm->FieldByName("QUANTIDADERET").SetAsFloat(0);
    EXPECT_EQ(Recusa(dm).first, "QUANTIDADERET");
    dm->FieldByName("QUANTIDADERET").SetAsFloat(-1);
    EXPECT_EQ(Recusa(dm).first, "QUANTIDADERET");
    // Then the product's type.
    dm->FieldByName("QUANTIDADERET").SetAsFloat(3);
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(102);
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("CODIGOPRODUTO"), TOrvoDMSpedFisKBase::MensagemTipoProduto()));
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(100);
    EXPECT_EQ(Recusa(dm).first, QString());

    // An exit of an earlier month without order and without return passes.
    NovaLinha(dm, 2, QDate(2024, 5, 31));
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(101);
    EXPECT_EQ(Recusa(dm).first, QString());
    EXPECT_EQ(Linhas("SPEDFISK260"), 2);
    EXPECT_EQ(Linhas("SPEDFISK260", "CODIGOOPOS is null and DATARETORNO is null"), 1);
}

TEST_F(SpedFisK260Banco, MercadoriasSeguemOReprocessamento)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK260");
    ASSERT_NE(dm, nullptr);
    ASSERT_EQ(dm->Detalhes().size(), 1);
    TnDMClientDataSet *k265 = dm->Detalhes().first();
    NovaLinha(dm, 1, QDate(2024, 5, 10));
    dm->nClientDataSet().Post();
    const QString qtdeMsg = QString::fromUtf8("Pelo menos um dos campos devem ser preenchidos, quantidade consumida "
                                              "e/ou retornada!");
    // The reprocessed product itself is refused.
    NovaMercadoria(k265, 100, 1, kVazio);
    EXPECT_EQ(Recusa(k265), std::make_pair(QString("CODIGOPRODUTO"),
                                           QString::fromUtf8("O produto consumido e/ou retornado não pode ser o igual "
                                                             "ao de reprocessamento/reparo!")));
    k265->nClientDataSet().Cancel();
    // Both quantities empty, both 0, or neither above 0: refused on the consumed quantity.
    for (const auto &[consumida, retornada] : {std::pair{kVazio, kVazio}, {0.0, 0.0}, {0.0, kVazio}, {-2.0, 0.0}}) {
        NovaMercadoria(k265, 101, consumida, retornada);
        EXPECT_EQ(Recusa(k265), std::make_pair(QString("QTDCONSUMIDA"), qtdeMsg)) << consumida << " " << retornada;
        k265->nClientDataSet().Cancel();
    }
    // Then the type; one quantity above 0 is enough, the other may be negative.
    NovaMercadoria(k265, 102, kVazio, 1);
    EXPECT_EQ(Recusa(k265).second, TOrvoDMSpedFisKBase::MensagemTipoProduto());
    k265->FieldByName("CODIGOPRODUTO").SetAsLargeInt(101);
    k265->FieldByName("QTDCONSUMIDA").SetAsFloat(-1);
    EXPECT_EQ(Recusa(k265).first, QString());
    EXPECT_EQ(Linhas("SPEDFISK265", "SEQK260 = 1 and DATALCTOFIS = '2024-06-01' and CODIGOESTAB = 1"), 1);

    NovaLinha(dm, 2, QDate(2024, 5, 11));
    dm->FieldByName("CODIGOOPOS").SetAsString("OS-2");
    dm->nClientDataSet().Post();
    EXPECT_TRUE(k265->nClientDataSet().IsEmpty());
    NovaMercadoria(k265, 101, 2, kVazio);
    k265->nClientDataSet().Post();

    // The reprocessing's key does not change under its goods.
    ASSERT_TRUE(dm->nClientDataSet().Locate("SEQK260", 1));
    dm->nClientDataSet().Edit();
    dm->FieldByName("SEQK260").SetAsInteger(7);
    EXPECT_EQ(Recusa(dm).first, "SEQK260");
    dm->nClientDataSet().Cancel();
    // Deleting it deletes its goods, and only them.
    ASSERT_TRUE(dm->nClientDataSet().Locate("SEQK260", 1));
    EXPECT_EQ(k265->nClientDataSet().RecordCount(), 1);
    dm->nClientDataSet().Delete();
    EXPECT_EQ(Linhas("SPEDFISK265"), 1);
    EXPECT_EQ(Linhas("SPEDFISK265", "SEQK260 = 2"), 1);
}

TEST_F(SpedFisK260Banco, MercadoriasAbertasSemReprocessamento)
{
    con().Executar("insert into SPEDFISK260 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK260, CODIGOPRODUTO, "
                   "DATASAIDA, QUANTIDADESAI) values (1, 1, '2024-06-01', 1, 100, '2024-05-10', 4)");
    auto *dm = AbrirDM("TOrvoDMSpedFisK265");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->DmMaster(), nullptr);
    const auto nova = [dm](int seq, qint64 produto) {
        NovaMercadoria(dm, produto, 1, kVazio);
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("SEQK260").SetAsInteger(seq);
    };
    // The reprocessed product is read from the K260 row the link names.
    nova(1, 100);
    EXPECT_EQ(Recusa(dm).first, "CODIGOPRODUTO");
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(101);
    EXPECT_EQ(Recusa(dm).first, QString());
    EXPECT_EQ(Linhas("SPEDFISK265"), 1);
    // A reprocessing that does not exist is refused, nothing written.
    nova(2, 101);
    EXPECT_ANY_THROW(dm->nClientDataSet().Post());
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK265"), 1);
}

TEST_F(SpedFisK260Banco, ChaveNaturalDuplicada)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK260");
    ASSERT_NE(dm, nullptr);
    NovaLinha(dm, 1, QDate(2024, 6, 2));
    dm->FieldByName("CODIGOOPOS").SetAsString("OS-1");
    dm->nClientDataSet().Post();
    NovaLinha(dm, 2, QDate(2024, 6, 3));
    dm->FieldByName("CODIGOOPOS").SetAsString("OS-1");
    EXPECT_EQ(MensagemDaRecusa(dm), TOrvoDMSpedFisKBase::MensagemChaveDuplicada(QString::fromUtf8(
                       "[Período]\r\n[Produto/Insumo]\r\n[Ordem de Produção/Serviço]")));
    EXPECT_EQ(Linhas("SPEDFISK260"), 1);
}
