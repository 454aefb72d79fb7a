// The joint-production order K290 with its items K291 and K292, on both engines: the two
// tab pages in order, the order's sequence within company, branch and competence, the
// items taking the order's key, a repeated order code in the competence, and an item
// without a product refused on the product.
#include "BancoOrvo.h"
#include "FormFalso.h"
#include "Modulos.h"
#include "OrvoDMSpedFisKBase_U.h"

#include <gtest/gtest.h>

namespace {

class SpedFisK290Banco : public BancoOrvoCore {
protected:
    void NovaOrdem(TnDMClientDataSet *dm, const QDate &competencia, const QString &ordem)
    {
        TnClientDataSet &ds = dm->nClientDataSet();
        ds.Append();
        dm->FieldByName("DATALCTOFIS").SetAsVariant(competencia);
        dm->FieldByName("DATAINICIALORDEMPRODUCAO").SetAsVariant(competencia.addDays(2));
        dm->FieldByName("CODIGOOPOS").SetAsString(ordem);
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
    TnDMClientDataSet *Detalhe(TnDMClientDataSet *dm, const char *classe)
    {
        for (TnDMClientDataSet *d : dm->Detalhes())
            if (d->ClassName() == QLatin1String(classe))
                return d;
        return nullptr;
    }
};

} // namespace

TEST_F(SpedFisK290Banco, DuasAbasNaOrdemEItensComAChaveDaOrdem)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK290");
    ASSERT_NE(dm, nullptr);
    TnFormFalso form;
    dm->ConfigurarForm(&form);
    QStringList abas;
    for (const QString &c : form.Chamadas)
        if (c.startsWith("Tab:"))
            abas << c.section(':', 2);
    EXPECT_EQ(abas, QStringList({QString::fromUtf8("K291 - Produção Conjunta Itens Produzidos"),
                                 QString::fromUtf8("K292 - Produção Conjunta Industrialização Efetuada por Terceiros "
                                                   "Insumos Consumidos")}));
    // Configured again: still two details.
    dm->ConfigurarForm(&form);
    ASSERT_EQ(dm->Detalhes().size(), 2);
    TnDMClientDataSet *k291 = Detalhe(dm, "TOrvoDMSpedFisK291");
    TnDMClientDataSet *k292 = Detalhe(dm, "TOrvoDMSpedFisK292");
    ASSERT_NE(k291, nullptr);
    ASSERT_NE(k292, nullptr);

    // The sequence counts within company, branch and competence.
    NovaOrdem(dm, QDate(2024, 6, 1), "OP-1");
    EXPECT_EQ(dm->FieldByName("SEQK290").AsInteger(), 1);
    dm->nClientDataSet().Post();
    NovaOrdem(dm, QDate(2024, 6, 1), "OP-2");
    EXPECT_EQ(dm->FieldByName("SEQK290").AsInteger(), 2);
    dm->nClientDataSet().Post();
    NovaOrdem(dm, QDate(2024, 7, 1), "OP-1");
    EXPECT_EQ(dm->FieldByName("SEQK290").AsInteger(), 1);
    dm->nClientDataSet().Cancel();
    ASSERT_TRUE(dm->nClientDataSet().Locate("CODIGOOPOS", "OP-2"));

    // The items take the order's sequence, never a number of their own.
    TnClientDataSet &itens = k291->nClientDataSet();
    itens.Append();
    k291->FieldByName("CODIGOPRODUTO").SetAsLargeInt(7);
    k291->FieldByName("QTDPRODUCAOACABADA").SetAsFloat(2.5);
    itens.Post();
    k292->nClientDataSet().Append();
    k292->FieldByName("CODIGOPRODUTO").SetAsLargeInt(8);
    k292->FieldByName("QTDCONSUMIDA").SetAsFloat(1.25);
    k292->nClientDataSet().Post();
    EXPECT_EQ(Linhas("SPEDFISK291", "SEQK290 = 2 and CODIGOPRODUTO = 7"), 1);
    EXPECT_EQ(Linhas("SPEDFISK292"), 1);

    // An item without a product is a field error, not a database refusal.
    itens.Append();
    k291->FieldByName("QTDPRODUCAOACABADA").SetAsFloat(1);
    try {
        itens.Post();
        ADD_FAILURE() << "an item without a product was accepted";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "CODIGOPRODUTO");
    }
    itens.Cancel();
    EXPECT_EQ(Linhas("SPEDFISK291"), 1);
}

TEST_F(SpedFisK290Banco, OrdemRepetidaNaCompetencia)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK290");
    ASSERT_NE(dm, nullptr);
    NovaOrdem(dm, QDate(2024, 6, 1), "OP-1");
    dm->nClientDataSet().Post();
    NovaOrdem(dm, QDate(2024, 6, 1), "OP-1");
    QStringList rotulos;
    for (const char *c : {"CODIGOEMPRESA", "CODIGOESTAB", "DATALCTOFIS", "CODIGOOPOS"})
        rotulos << "[" + dm->FieldByName(c).DisplayLabel() + "]";
    EXPECT_EQ(Falha(dm->nClientDataSet()), TOrvoDMSpedFisKBase::MensagemChaveDuplicada(rotulos.join("\r\n")));
    EXPECT_EQ(dm->nClientDataSet().State(), dsInsert);
    dm->nClientDataSet().Cancel();
    // Another competence takes the same code.
    NovaOrdem(dm, QDate(2024, 7, 1), "OP-1");
    dm->nClientDataSet().Post();
    EXPECT_EQ(Linhas("SPEDFISK290"), 2);
}

TEST_F(SpedFisK290Banco, BibliotecaRegistraOsSeisModulos)
{
    for (const char *c : {"TOrvoDMSpedFisK290", "TOrvoDCSpedFisK290", "TOrvoDMSpedFisK291", "TOrvoDCSpedFisK291",
                          "TOrvoDMSpedFisK292", "TOrvoDCSpedFisK292"})
        EXPECT_NE(Registro().Classe(c), nullptr) << c;
}
