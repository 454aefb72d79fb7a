// Records K210 and K215 as the program loads them, on both engines: the service order and
// its start date required together, the dates against the competence month, the destination
// product against the origin (with the master and on its own), the destination products as a
// detail of their disassembly (new rows take its key, a delete takes them along, the key does
// not change under them), and the duplicate natural key's message.
#include "BancoOrvo.h"
#include "Modulos.h"
#include "OrvoDMSpedFisKBase_U.h"

#include <gtest/gtest.h>

namespace {

class SpedFisK210Banco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, INDICADORTIPO) values "
                       "(1, 100, null, 0), (1, 101, null, 4), (1, 102, null, 6)");
    }
    // A K210 row of June 2024 for `produto`, not yet saved.
    static void NovaLinha(TnDMClientDataSet *dm, int seq, qint64 produto)
    {
        dm->nClientDataSet().Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("SEQK210").SetAsInteger(seq);
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        dm->FieldByName("QUANTIDADE").SetAsFloat(5);
    }
    static void NovoDestino(TnDMClientDataSet *dm, qint64 produto)
    {
        dm->nClientDataSet().Append();
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        dm->FieldByName("QUANTIDADE").SetAsFloat(2);
    }
};

} // namespace

TEST_F(SpedFisK210Banco, OrdemEInicioExigidosJuntos)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK210");
    ASSERT_NE(dm, nullptr);
    NovaLinha(dm, 1, 100);
    const TnField &ordem = dm->FieldByName("CODIGODOCOS");
    const TnField &inicio = dm->FieldByName("DATAINICIALOS");
    EXPECT_FALSE(ordem.Required());
    EXPECT_FALSE(inicio.Required());
    dm->FieldByName("CODIGODOCOS").SetAsString("OS-1");
    EXPECT_TRUE(inicio.Required());
    dm->FieldByName("CODIGODOCOS").SetAsString("");
    dm->FieldByName("DATAINICIALOS").SetAsVariant(QDate(2024, 6, 2));
    EXPECT_TRUE(ordem.Required());
    EXPECT_FALSE(inicio.Required());
    EXPECT_ANY_THROW(dm->nClientDataSet().Post());
    EXPECT_EQ(Linhas("SPEDFISK210"), 0);
    // Order of 30 characters with its start date: saved.
    dm->FieldByName("CODIGODOCOS").SetAsString(QString(30, QLatin1Char('9')));
    dm->nClientDataSet().Post();
    EXPECT_EQ(Linhas("SPEDFISK210"), 1);
}

TEST_F(SpedFisK210Banco, DatasDaOrdemNaCompetencia)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK210");
    ASSERT_NE(dm, nullptr);
    const QString inicioMsg =
        QString::fromUtf8("A data de início da ordem de serviço não pode ser superior a competência informada!");
    const QString antesMsg =
        QString::fromUtf8("A data de conclusão da ordem de serviço não pode ser inferior a data de início!");
    const QString foraMsg = QString::fromUtf8("A data de conclusão da ordem de serviço deve pertencer ao mesmo "
                                              "período informado no campo competência!");
    NovaLinha(dm, 1, 100);
    dm->FieldByName("CODIGODOCOS").SetAsString("OS-1");
    // The day after the competence month is refused, its last day passes.
    dm->FieldByName("DATAINICIALOS").SetAsVariant(QDate(2024, 7, 1));
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("DATAINICIALOS"), inicioMsg));
    dm->FieldByName("DATAINICIALOS").SetAsVariant(QDate(2024, 6, 30));
    // A conclusion a day before the start, both in the month: the conclusion message.
    dm->FieldByName("DATAFINALOS").SetAsVariant(QDate(2024, 6, 29));
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("DATAFINALOS"), antesMsg));
    dm->FieldByName("DATAINICIALOS").SetAsVariant(QDate(2024, 5, 20));
    dm->FieldByName("DATAFINALOS").SetAsVariant(QDate(2024, 5, 31));
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("DATAFINALOS"), foraMsg));
    dm->FieldByName("DATAFINALOS").SetAsVariant(QDate(2024, 7, 1));
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("DATAFINALOS"), foraMsg));
    // Then the origin's item type.
    dm->FieldByName("DATAFINALOS").SetAsVariant(QDate(2024, 6, 1));
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(102);
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("CODIGOPRODUTO"), TOrvoDMSpedFisKBase::MensagemTipoProduto()));
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(100);
    EXPECT_EQ(Recusa(dm).first, QString());
    // No order and no dates: the date rules pass.
    NovaLinha(dm, 2, 101);
    EXPECT_EQ(Recusa(dm).first, QString());
    EXPECT_EQ(Linhas("SPEDFISK210"), 2);
}

TEST_F(SpedFisK210Banco, DestinosSeguemADesmontagem)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK210");
    ASSERT_NE(dm, nullptr);
    ASSERT_EQ(dm->Detalhes().size(), 1);
    TnDMClientDataSet *k215 = dm->Detalhes().first();
    NovaLinha(dm, 1, 100);
    dm->nClientDataSet().Post();
    // The destination may not be the origin, and must have an accepted type.
    NovoDestino(k215, 100);
    EXPECT_EQ(Recusa(k215),
              std::make_pair(QString("CODIGOPRODUTO"), QString::fromUtf8("O produto de destino não pode ser igual ao de origem!")));
    k215->FieldByName("CODIGOPRODUTO").SetAsLargeInt(102);
    EXPECT_EQ(Recusa(k215).second, TOrvoDMSpedFisKBase::MensagemTipoProduto());
    k215->FieldByName("CODIGOPRODUTO").SetAsLargeInt(101);
    k215->nClientDataSet().Post();
    EXPECT_EQ(Linhas("SPEDFISK215", "SEQK210 = 1 and DATALCTOFIS = '2024-06-01' and CODIGOESTAB = 1"), 1);
    NovaLinha(dm, 2, 101);
    dm->nClientDataSet().Post();
    EXPECT_TRUE(k215->nClientDataSet().IsEmpty());
    NovoDestino(k215, 100);
    k215->nClientDataSet().Post();

    // The disassembly's key does not change under its products.
    ASSERT_TRUE(dm->nClientDataSet().Locate("SEQK210", 1));
    dm->nClientDataSet().Edit();
    dm->FieldByName("SEQK210").SetAsInteger(7);
    EXPECT_EQ(Recusa(dm).first, "SEQK210");
    dm->nClientDataSet().Cancel();
    // Deleting it deletes its products, and only them.
    ASSERT_TRUE(dm->nClientDataSet().Locate("SEQK210", 1));
    EXPECT_EQ(k215->nClientDataSet().RecordCount(), 1);
    dm->nClientDataSet().Delete();
    EXPECT_EQ(Linhas("SPEDFISK215"), 1);
    EXPECT_EQ(Linhas("SPEDFISK215", "SEQK210 = 2"), 1);
}

TEST_F(SpedFisK210Banco, DestinosAbertosSemDesmontagem)
{
    con().Executar("insert into SPEDFISK210 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK210, CODIGOPRODUTO, "
                   "QUANTIDADE) values (1, 1, '2024-06-01', 1, 100, 5)");
    auto *dm = AbrirDM("TOrvoDMSpedFisK215");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->DmMaster(), nullptr);
    const auto nova = [dm](int seq, qint64 produto) {
        NovoDestino(dm, produto);
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("SEQK210").SetAsInteger(seq);
    };
    // The origin is read from the disassembly the row names.
    nova(1, 100);
    EXPECT_EQ(Recusa(dm).first, "CODIGOPRODUTO");
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(101);
    EXPECT_EQ(Recusa(dm).first, QString());
    EXPECT_EQ(Linhas("SPEDFISK215"), 1);
    // A disassembly that does not exist is refused, nothing written.
    nova(2, 101);
    EXPECT_ANY_THROW(dm->nClientDataSet().Post());
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK215"), 1);
}

TEST_F(SpedFisK210Banco, ChaveNaturalDuplicada)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK210");
    ASSERT_NE(dm, nullptr);
    NovaLinha(dm, 1, 100);
    dm->FieldByName("CODIGODOCOS").SetAsString("OS-1");
    dm->FieldByName("DATAINICIALOS").SetAsVariant(QDate(2024, 6, 2));
    dm->nClientDataSet().Post();
    NovaLinha(dm, 2, 100);
    dm->FieldByName("CODIGODOCOS").SetAsString("OS-1");
    dm->FieldByName("DATAINICIALOS").SetAsVariant(QDate(2024, 6, 3));
    QString msg;
    try {
        dm->nClientDataSet().Post();
    } catch (const Exception &e) {
        msg = e.Message();
    }
    dm->nClientDataSet().Cancel();
    EXPECT_TRUE(msg.startsWith(QString::fromUtf8("Registro com esta chave já foi cadastrado!"))) << msg.toStdString();
    EXPECT_TRUE(msg.contains(QString::fromUtf8("[Ordem de Serviço]"))) << msg.toStdString();
    EXPECT_EQ(Linhas("SPEDFISK210"), 1);
    for (const char *c : {"TOrvoDMSpedFisK215", "TOrvoDCSpedFisK210", "TOrvoDCSpedFisK215"})
        EXPECT_NE(Registro().Classe(c), nullptr) << c;
}
