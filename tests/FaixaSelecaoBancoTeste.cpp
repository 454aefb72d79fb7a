// Range keys of the selection read by a register (bound values, inclusive bounds, one
// bound, none, a start after the end), the next number of a sequence, and the lookup
// result columns beside a code, on both engines.
#include "BancoOrvo.h"
#include "RegistroFaixaTeste.h"
#include "SQLDataSet.h"
#include "SelecaoChaves.h"

#include <gtest/gtest.h>

namespace {

class FaixaSelecaoBanco : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(RegistrarClasse<teste::TTesteFaixaK200>("TTesteFaixaK200"));
        teste::GravarProdutosFaixa(con());
        // Three months of branch 1 (two rows of product 10 in February), one of branch 2.
        con().Executar("insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTO, "
                       "INDICADORESTOQUE, SEQ, QUANTIDADE) values "
                       "(1, 1, '2024-01-31', 10, 0, 1, 1), (1, 1, '2024-02-29', 10, 0, 1, 2), "
                       "(1, 1, '2024-02-29', 10, 1, 1, 3), (1, 1, '2024-02-29', 11, 0, 1, 4), "
                       "(1, 1, '2024-02-29', 99, 0, 1, 5), (1, 1, '2024-03-31', 11, 0, 1, 6), "
                       "(1, 2, '2024-02-29', 10, 0, 1, 7)");
    }
    static void Faixa(const QVariant &inicio, const QVariant &fim)
    {
        Selecao().GetParams("DataLctoFis_MENORIGUAL").SetValue(inicio);
        Selecao().GetParams("DataLctoFis_MAIORIGUAL").SetValue(fim);
    }
    static QList<int> Quantidades(TnDMClientDataSet *dm)
    {
        QList<int> r;
        TnClientDataSet &ds = dm->nClientDataSet();
        for (ds.First(); !ds.Eof(); ds.Next())
            r << ds.FieldByName("QUANTIDADE").AsInteger();
        return r;
    }
};

} // namespace

TEST_F(FaixaSelecaoBanco, LimitesInclusivesUmSoNenhumEInicioDepoisDoFim)
{
    Faixa(QDate(2024, 2, 29), QDate(2024, 3, 31));
    auto *dm = AbrirDM("TTesteFaixaK200");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(Quantidades(dm), QList<int>({2, 3, 4, 5, 6}));
    // The bounds travel bound, never as text of the statement.
    QVariantList params;
    const QString sql = dm->TextoComando(params);
    EXPECT_FALSE(sql.contains("2024")) << sql.toStdString();
    EXPECT_TRUE(params.contains(QVariant(QDate(2024, 2, 29))));
    EXPECT_TRUE(params.contains(QVariant(QDate(2024, 3, 31))));

    Faixa(QVariant(), QDate(2024, 2, 29)); // the end only
    dm->Reabrir();
    EXPECT_EQ(Quantidades(dm), QList<int>({1, 2, 3, 4, 5}));
    Faixa(QDate(2024, 3, 1), QVariant()); // the start only
    dm->Reabrir();
    EXPECT_EQ(Quantidades(dm), QList<int>({6}));
    Faixa(QVariant(), QVariant()); // none: the branch's rows
    dm->Reabrir();
    EXPECT_EQ(Quantidades(dm), QList<int>({1, 2, 3, 4, 5, 6}));

    // A new row takes the company and branch, nothing of the range.
    Faixa(QDate(2024, 2, 1), QDate(2024, 2, 29));
    dm->Reabrir();
    dm->nClientDataSet().Append();
    EXPECT_EQ(dm->FieldByName("CODIGOESTAB").AsInteger(), 1);
    EXPECT_TRUE(dm->FieldByName("DATALCTOFIS").IsNull());
    EXPECT_FALSE(dm->EhCampoDaSelecao("DATALCTOFIS"));
    dm->nClientDataSet().Cancel();

    // A start after the end, set in code: the register refuses to read; the selection's
    // writer refuses it before writing anything.
    Faixa(QDate(2024, 3, 31), QDate(2024, 2, 29));
    try {
        dm->Reabrir();
        ADD_FAILURE() << "a range that ends before it starts was read";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "Competência final (29/02/2024) não pode ser anterior a Competência inicial (31/03/2024).");
    }
    Faixa(QDate(2024, 2, 1), QDate(2024, 2, 29));
    EXPECT_THROW(AplicarSelecao({{"DataLctoFis_MAIORIGUAL", QDate(2024, 1, 31)}}), Exception);
    EXPECT_EQ(Selecao().GetParams("DataLctoFis_MAIORIGUAL").AsDate(), QDate(2024, 2, 29));
    AplicarSelecao({{"DataLctoFis_MENORIGUAL", QDate(2024, 3, 1)}, {"DataLctoFis_MAIORIGUAL", QDate(2024, 3, 1)}});
    dm->Reabrir();
    EXPECT_TRUE(Quantidades(dm).isEmpty());
}

TEST_F(FaixaSelecaoBanco, ProximaSequenciaDentroDaCompetencia)
{
    Faixa(QDate(2024, 2, 1), QDate(2024, 2, 29));
    con().Executar("update SPEDFISK200 set SEQ = 7 where QUANTIDADE = 3");
    auto *dm = AbrirDM("TTesteFaixaK200");
    ASSERT_NE(dm, nullptr);
    TnField &seq = dm->FieldByName("SEQ");
    TnField &data = dm->FieldByName("DATALCTOFIS");
    const QList<const TnField *> escopo{&dm->FieldByName("CODIGOEMPRESA"), &dm->FieldByName("CODIGOESTAB"), &data};
    // The new row's number comes once its competence is known, and follows it while the
    // user has not typed one.
    dm->nClientDataSet().Append();
    EXPECT_TRUE(seq.IsNull());
    data.SetAsDate(QDate(2024, 2, 29));
    EXPECT_EQ(seq.AsInteger(), 8);
    data.SetAsDate(QDate(2024, 4, 30));
    EXPECT_EQ(seq.AsInteger(), 1);
    seq.SetAsInteger(5);
    data.SetAsDate(QDate(2024, 2, 29));
    EXPECT_EQ(seq.AsInteger(), 5);
    EXPECT_EQ(nDMSQLDataSet::ProximaSequencia("SPEDFISK200", "SEQ", escopo), 8);
    dm->FieldByName("CODIGOESTAB").Clear(); // a null scope compares as null, never as text
    EXPECT_EQ(nDMSQLDataSet::ProximaSequencia("SPEDFISK200", "SEQ", escopo), 1);
    EXPECT_THROW(nDMSQLDataSet::ProximaSequencia("SPEDFISK200", "SEQ; drop", escopo), Exception);
    dm->nClientDataSet().Cancel();
}

TEST_F(FaixaSelecaoBanco, ResultadosDoLookupUmaLeituraPorCodigo)
{
    TnBibliotecas::Carregar("Ulmar");
    Faixa(QDate(2024, 2, 1), QDate(2024, 2, 29));
    auto *dm = AbrirDM("TTesteFaixaK200");
    ASSERT_NE(dm, nullptr);
    const TnField &produto = dm->FieldByName("CODIGOPRODUTO");
    EXPECT_EQ(produto.CaptionsResultadoLookup(), QStringList({"Referência - Descrição", "Descrição"}));
    QStringList vistos;
    TnClientDataSet &ds = dm->nClientDataSet();
    for (int volta = 0; volta < 2; ++volta)
        for (ds.First(); !ds.Eof(); ds.Next())
            vistos << produto.ResultadosLookup().join('|');
    // 10 twice, 11 without a reference, 99 that the register lacks: empty, no error.
    EXPECT_EQ(vistos.mid(0, 4), QStringList({"REF-10 - Parafuso|Parafuso", "REF-10 - Parafuso|Parafuso", "Porca|Porca", "|"}));
    EXPECT_EQ(vistos.mid(4), vistos.mid(0, 4));
    EXPECT_EQ(dm->ResultadosLookup().Leituras(), 3); // one per distinct code

    // Another row read in place (a grid drawing it) answers its own code.
    QString lida;
    ds.LerRegistro(3, [&] { lida = produto.ResultadosLookup().value(1); });
    EXPECT_EQ(lida, "Porca");

    // A product renamed is seen once the register reads again.
    con().Executar("update PRODUTO set DESCRPRODUTO = 'Porca sextavada' where CODIGOPRODUTO = 11");
    ds.Locate("CODIGOPRODUTO", QVariantList{11});
    EXPECT_EQ(produto.ResultadosLookup().value(1), "Porca");
    dm->Reabrir();
    ds.Locate("CODIGOPRODUTO", QVariantList{11});
    EXPECT_EQ(produto.ResultadosLookup().value(1), "Porca sextavada");

    // A code that is empty or no whole number names no row and asks nothing.
    ds.Edit();
    const qint64 antes = dm->ResultadosLookup().Leituras();
    const TnField &digitado = dm->FieldByName("CODIGODIGITADO");
    EXPECT_EQ(digitado.ResultadosLookup(), QStringList({""}));
    for (const char *texto : {"abc", "10.5", "10 or 1=1", "1e3"}) {
        dm->FieldByName("CODIGODIGITADO").SetAsString(texto);
        EXPECT_EQ(digitado.ResultadosLookup(), QStringList({""})) << texto;
    }
    EXPECT_EQ(dm->ResultadosLookup().Leituras(), antes);
    dm->FieldByName("CODIGODIGITADO").SetAsString(" 10 ");
    EXPECT_EQ(digitado.ResultadosLookup(), QStringList({"Parafuso"}));
    ds.Cancel();

    // A lookup class that is missing or lacks the column shows nothing.
    dm->FieldByName("CODIGOPRODUTO").Def().ResultadoLookup = "NAOEXISTE";
    EXPECT_EQ(produto.ResultadosLookup(), QStringList({""}));
    dm->FieldByName("CODIGOPRODUTO").Def().ClasseLookup = "TClasseQueNaoExiste";
    EXPECT_EQ(produto.ResultadosLookup(), QStringList({""}));
}
