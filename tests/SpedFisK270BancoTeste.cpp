// Records K270, K275 and K280 as the program loads them, on both engines: the corrected
// period and the stock date before the competence month's first day (also when the
// competence was kept on another day of its month), one correction at a time, the origin's
// list and default, no type check on K270; the K275 item types and its replaced component
// under the master's origin, with the master and on its own; the K280 stock type's list,
// default and participant; and the duplicate natural keys' messages.
#include "BancoOrvo.h"
#include "Modulos.h"
#include "OrvoDMSpedFisKBase_U.h"

#include <gtest/gtest.h>

namespace {

class SpedFisK270Banco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, INDICADORTIPO) values "
                       "(1, 100, null, 0), (1, 104, null, 4), (1, 105, null, 5), (1, 106, null, 6), "
                       "(1, 110, null, 10)");
    }
    // A K270 row of June 2024 for product 100 of origin `origem`, not yet saved.
    static void NovaCorrecao(TnDMClientDataSet *dm, int seq, int origem)
    {
        dm->nClientDataSet().Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("SEQK270").SetAsInteger(seq);
        dm->FieldByName("ORIGEM").SetAsInteger(origem);
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(100);
        dm->FieldByName("QTDCORRECAOPOS").SetAsFloat(2);
        dm->FieldByName("CODIGOOPOS").SetAsString(QStringLiteral("OP-%1").arg(seq));
    }
    // A K280 row of June 2024 for product 100, stock of 31 May of type `tipo`, not yet saved.
    static void NovoEstoque(TnDMClientDataSet *dm, int seq, int tipo)
    {
        dm->nClientDataSet().Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("SEQK280").SetAsInteger(seq);
        dm->FieldByName("DATAESTOQUE").SetAsVariant(QDate(2024, 5, 31));
        dm->FieldByName("INDICADORESTOQUE").SetAsInteger(tipo);
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(100);
        dm->FieldByName("QTDCORRECAONEG").SetAsFloat(1);
    }
    static void NovoInsumo(TnDMClientDataSet *dm, qint64 produto, qint64 substituido = 0)
    {
        dm->nClientDataSet().Append();
        dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        dm->FieldByName("QTDCORRECAONEG").SetAsFloat(1);
        if (substituido)
            dm->FieldByName("CODINSUMOSUBST").SetAsLargeInt(substituido);
    }
};

const QString kUmaCorrecao =
    QString::fromUtf8("Somente um dos campos pode ser preenchido, quantidade de correção positiva/negativa!");
const QString kTipoK275 = QString::fromUtf8("O produto informado deve fazer parte á um dos seguintes tipos de "
                                           "mercadoria:\r\nMercadoria para Revenda;\r\nSubproduto;\r\nOutros insumos;");
const QString kSubstituido =
    QString::fromUtf8("O insumo substituído deverá ser informado somente quando a origem da correção de apontamento "
                      "for referente aos registro K230/K235 ou K250/K255!");

} // namespace

TEST_F(SpedFisK270Banco, PeriodoAnteriorAoMesDaCompetencia)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK270");
    ASSERT_NE(dm, nullptr);
    const QString periodoMsg =
        QString::fromUtf8("A data inicial/final do período de apuração deve anterior a competência informada!");
    NovaCorrecao(dm, 1, 3);
    // The competence's first day, for the start or for the end: refused on the start.
    dm->FieldByName("DATAINIAPURACAO").SetAsVariant(QDate(2024, 6, 1));
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("DATAINIAPURACAO"), periodoMsg));
    dm->FieldByName("DATAINIAPURACAO").SetAsVariant(QDate(2024, 5, 1));
    dm->FieldByName("DATAFIMAPURACAO").SetAsVariant(QDate(2024, 6, 1));
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("DATAINIAPURACAO"), periodoMsg));
    dm->FieldByName("DATAFIMAPURACAO").SetAsVariant(QDate(2024, 5, 31));
    // Both corrections above 0 are refused; one above 0 and the other 0 passes, a negative too.
    dm->FieldByName("QTDCORRECAONEG").SetAsFloat(1);
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("QTDCORRECAOPOS"), kUmaCorrecao));
    dm->FieldByName("QTDCORRECAONEG").SetAsFloat(0);
    EXPECT_EQ(Recusa(dm).first, QString());
    NovaCorrecao(dm, 2, 1);
    dm->FieldByName("QTDCORRECAONEG").SetAsFloat(-4);
    // Empty period dates pass; no item type is checked.
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(106);
    EXPECT_EQ(Recusa(dm).first, QString());
    EXPECT_EQ(Linhas("SPEDFISK270"), 2);

    // A competence kept on another day of its month still refuses a period inside the month.
    con().Executar("delete from SPEDFISK270");
    con().Executar("insert into SPEDFISK270 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK270, ORIGEM, "
                   "CODIGOPRODUTO, QTDCORRECAOPOS) values (1, 1, '2024-07-15', 1, 3, 100, 1)");
    dm->Reabrir();
    ASSERT_EQ(dm->nClientDataSet().RecordCount(), 1);
    dm->nClientDataSet().First();
    dm->nClientDataSet().Edit();
    dm->FieldByName("DATAINIAPURACAO").SetAsVariant(QDate(2024, 7, 2));
    EXPECT_EQ(Recusa(dm).first, "DATAINIAPURACAO");
    dm->nClientDataSet().Cancel();
}

TEST_F(SpedFisK270Banco, OrigemDaListaETresDePadrao)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK270");
    ASSERT_NE(dm, nullptr);
    dm->nClientDataSet().Append();
    EXPECT_EQ(dm->FieldByName("ORIGEM").AsInteger(), 3);
    const QStringList lista = dm->FieldByName("ORIGEM").Def().ListaValores;
    ASSERT_EQ(lista.size(), 5);
    QStringList valores;
    for (const QString &l : lista)
        valores << l.section(u'=', -1);
    EXPECT_EQ(valores, QStringList({"3", "5", "1", "2", "4"}));
    dm->nClientDataSet().Cancel();
    // An origin outside the list is refused, nothing written.
    NovaCorrecao(dm, 1, 6);
    EXPECT_EQ(Recusa(dm).first, "ORIGEM");
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK270"), 0);
}

TEST_F(SpedFisK270Banco, InsumosDaCorrecaoPelaOrigem)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK270");
    ASSERT_NE(dm, nullptr);
    ASSERT_EQ(dm->Detalhes().size(), 1);
    TnDMClientDataSet *k275 = dm->Detalhes().first();
    // Types 0, 5 and 10 pass; 4 and 6 are refused with the record's own message.
    NovaCorrecao(dm, 1, 3);
    dm->nClientDataSet().Post();
    for (qint64 p : {104, 106}) {
        NovoInsumo(k275, p);
        EXPECT_EQ(Recusa(k275), std::make_pair(QString("CODIGOPRODUTO"), kTipoK275)) << p;
        k275->nClientDataSet().Cancel();
    }
    for (qint64 p : {100, 105, 110}) {
        NovoInsumo(k275, p);
        EXPECT_EQ(Recusa(k275).first, QString()) << p;
    }
    NovoInsumo(k275, 104);
    k275->nClientDataSet().Cancel();
    // One correction at a time.
    con().Executar("delete from SPEDFISK275");
    k275->Reabrir();
    NovoInsumo(k275, 105);
    k275->FieldByName("QTDCORRECAOPOS").SetAsFloat(1);
    EXPECT_EQ(Recusa(k275), std::make_pair(QString("QTDCORRECAOPOS"), kUmaCorrecao));
    k275->nClientDataSet().Cancel();

    // A replaced component under origin 3 is refused; under 1 and 2 it passes.
    NovoInsumo(k275, 100, 110);
    EXPECT_EQ(Recusa(k275), std::make_pair(QString("CODINSUMOSUBST"), kSubstituido));
    k275->nClientDataSet().Cancel();
    for (int origem : {1, 2}) {
        NovaCorrecao(dm, origem + 1, origem);
        dm->nClientDataSet().Post();
        NovoInsumo(k275, 100, 110);
        EXPECT_EQ(Recusa(k275).first, QString()) << origem;
    }
    EXPECT_EQ(Linhas("SPEDFISK275", "CODINSUMOSUBST = 110"), 2);
    EXPECT_EQ(Linhas("SPEDFISK275", "CODINSUMOSUBST = 110 and SEQK270 = 1"), 0);

    // Deleting a correction deletes its components, and only them.
    ASSERT_TRUE(dm->nClientDataSet().Locate("SEQK270", 2));
    dm->nClientDataSet().Delete();
    EXPECT_EQ(Linhas("SPEDFISK275", "SEQK270 = 2"), 0);
    EXPECT_EQ(Linhas("SPEDFISK275", "SEQK270 = 3"), 1);
}

TEST_F(SpedFisK270Banco, InsumosAbertosSemCorrecao)
{
    con().Executar("insert into SPEDFISK270 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK270, ORIGEM, "
                   "CODIGOPRODUTO, CODIGOOPOS) values (1, 1, '2024-06-01', 1, 3, 100, 'OP-1'), "
                   "(1, 1, '2024-06-01', 2, 2, 100, 'OP-2')");
    auto *dm = AbrirDM("TOrvoDMSpedFisK275");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->DmMaster(), nullptr);
    const auto nova = [dm](int seq) {
        NovoInsumo(dm, 100, 110);
        dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 1));
        dm->FieldByName("SEQK270").SetAsInteger(seq);
    };
    // The origin is read from the K270 row the link names.
    nova(1);
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("CODINSUMOSUBST"), kSubstituido));
    dm->nClientDataSet().Cancel();
    nova(2);
    EXPECT_EQ(Recusa(dm).first, QString());
    EXPECT_EQ(Linhas("SPEDFISK275"), 1);
    // A correction that does not exist is refused, nothing written.
    nova(9);
    EXPECT_ANY_THROW(dm->nClientDataSet().Post());
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK275"), 1);
}

TEST_F(SpedFisK270Banco, EstoqueAnteriorAoMesDaCompetencia)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK280");
    ASSERT_NE(dm, nullptr);
    const QString estoqueMsg = QString::fromUtf8("A data do estoque deve anterior a competência informada!");
    NovoEstoque(dm, 1, 0);
    dm->FieldByName("DATAESTOQUE").SetAsVariant(QDate(2024, 6, 1));
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("DATAESTOQUE"), estoqueMsg));
    // Then the type, then one correction at a time.
    dm->FieldByName("DATAESTOQUE").SetAsVariant(QDate(2024, 5, 31));
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(106);
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("CODIGOPRODUTO"), TOrvoDMSpedFisKBase::MensagemTipoProduto()));
    dm->FieldByName("CODIGOPRODUTO").SetAsLargeInt(104);
    dm->FieldByName("QTDCORRECAOPOS").SetAsFloat(3);
    EXPECT_EQ(Recusa(dm), std::make_pair(QString("QTDCORRECAOPOS"), kUmaCorrecao));
    dm->FieldByName("QTDCORRECAOPOS").SetAsFloat(-3);
    EXPECT_EQ(Recusa(dm).first, QString());
    EXPECT_EQ(Linhas("SPEDFISK280"), 1);

    // A competence kept on another day of its month still refuses a stock date inside it.
    con().Executar("insert into SPEDFISK280 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK280, DATAESTOQUE, "
                   "INDICADORESTOQUE, CODIGOPRODUTO, QTDCORRECAOPOS) values (1, 1, '2024-07-15', 1, '2024-06-30', 0, "
                   "100, 1)");
    con().Executar("delete from SPEDFISK280 where DATALCTOFIS = '2024-06-01'");
    dm->Reabrir();
    ASSERT_EQ(dm->nClientDataSet().RecordCount(), 1);
    dm->nClientDataSet().First();
    dm->nClientDataSet().Edit();
    dm->FieldByName("DATAESTOQUE").SetAsVariant(QDate(2024, 7, 2));
    EXPECT_EQ(Recusa(dm).first, "DATAESTOQUE");
    dm->nClientDataSet().Cancel();
}

TEST_F(SpedFisK270Banco, ParticipanteDoEstoqueDeTerceiros)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK280");
    ASSERT_NE(dm, nullptr);
    const TnField &participante = dm->FieldByName("CODIGOPESSOA");
    dm->nClientDataSet().Append();
    EXPECT_EQ(dm->FieldByName("INDICADORESTOQUE").AsInteger(), 0);
    EXPECT_FALSE(participante.Required());
    dm->nClientDataSet().Cancel();
    // Types 1 and 2 require it, and the row is refused without it; type 0 does not.
    for (int tipo : {1, 2}) {
        NovoEstoque(dm, tipo, tipo);
        EXPECT_TRUE(participante.Required()) << tipo;
        EXPECT_EQ(Recusa(dm).first, "CODIGOPESSOA") << tipo;
        dm->FieldByName("CODIGOPESSOA").SetAsInteger(77);
        EXPECT_EQ(Recusa(dm).first, QString()) << tipo;
    }
    NovoEstoque(dm, 3, 0);
    EXPECT_FALSE(participante.Required());
    EXPECT_EQ(Recusa(dm).first, QString());
    // A new row does not keep the requirement of the row before.
    ASSERT_TRUE(dm->nClientDataSet().Locate("SEQK280", 1));
    EXPECT_TRUE(participante.Required());
    dm->nClientDataSet().Append();
    EXPECT_FALSE(participante.Required());
    dm->nClientDataSet().Cancel();
    // A type outside the list is refused.
    NovoEstoque(dm, 4, 3);
    EXPECT_EQ(Recusa(dm).first, "INDICADORESTOQUE");
    dm->nClientDataSet().Cancel();
    EXPECT_EQ(Linhas("SPEDFISK280"), 3);
    EXPECT_EQ(Linhas("SPEDFISK280", "CODIGOPESSOA is null"), 1);
}

TEST_F(SpedFisK270Banco, ChavesNaturaisDuplicadas)
{
    auto *k270 = AbrirDM("TOrvoDMSpedFisK270");
    ASSERT_NE(k270, nullptr);
    NovaCorrecao(k270, 1, 3);
    k270->FieldByName("CODIGOOPOS").SetAsString("OP-1");
    k270->nClientDataSet().Post();
    NovaCorrecao(k270, 2, 1);
    k270->FieldByName("CODIGOOPOS").SetAsString("OP-1");
    EXPECT_EQ(MensagemDaRecusa(k270),
              TOrvoDMSpedFisKBase::MensagemChaveDuplicada(QString::fromUtf8(
                  "[Período]\r\n[Produto]\r\n[Ordem de Produção/Serviço]\r\n[Data Inicial Período Apuração]\r\n"
                  "[Data Final Período Apuração]")));
    EXPECT_EQ(Linhas("SPEDFISK270"), 1);

    auto *k280 = AbrirDM("TOrvoDMSpedFisK280");
    ASSERT_NE(k280, nullptr);
    NovoEstoque(k280, 1, 0);
    k280->nClientDataSet().Post();
    NovoEstoque(k280, 2, 0);
    EXPECT_EQ(MensagemDaRecusa(k280),
              TOrvoDMSpedFisKBase::MensagemChaveDuplicada(QString::fromUtf8(
                  "[Período]\r\n[Data Estoque]\r\n[Tipo de Estoque]\r\n[Produto]\r\n[Pessoa]")));
    EXPECT_EQ(Linhas("SPEDFISK280"), 1);
}
