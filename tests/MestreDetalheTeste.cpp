// Master and detail datasets of a result tab: the detail follows the master's current row
// through a range on the key's index.
#include "FormFalso.h"
#include "MestreDetalhe.h"
#include "PowerParam.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

const TnDefProcesso kConsulta{.Caption = "Consulta"};

const TnDefCampo kMestre[] = {{.Nome = "ORIGEM", .Tipo = ftString, .Tamanho = 20},
                              {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint},
                              {.Nome = "DATALCTOFIS", .Tipo = ftDate},
                              {.Nome = "SEQK210", .Tipo = ftSmallint}};
const TnDefCampo kDetalhe[] = {{.Nome = "ORIGEM", .Tipo = ftString, .Tamanho = 20},
                               {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint},
                               {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint},
                               {.Nome = "DATALCTOFIS", .Tipo = ftDate},
                               {.Nome = "SEQK210", .Tipo = ftSmallint}};
const char kChave[] = "CODIGOEMPRESA;DATALCTOFIS;SEQK210";

void Linha(TnClientDataSet &ds, int seq, qint64 produto = -1)
{
    ds.Append();
    ds.FieldByName("ORIGEM").SetAsString(produto < 0 ? "K210" : "K215");
    ds.FieldByName("CODIGOEMPRESA").SetAsInteger(1);
    ds.FieldByName("DATALCTOFIS").SetAsDateTime(QDateTime(QDate(2024, 3, 1), QTime()));
    ds.FieldByName("SEQK210").SetAsInteger(seq);
    if (produto >= 0)
        ds.FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
    ds.Post();
}

QList<qint64> Produtos(TnClientDataSet &ds)
{
    QList<qint64> r;
    for (ds.First(); !ds.Eof(); ds.Next())
        r << ds.FieldByName("CODIGOPRODUTO").AsLargeInt();
    return r;
}

} // namespace

TEST(MestreDetalhe, DetalheSegueOMestrePelaChave)
{
    TnDMPowerParamTab dm(kConsulta);
    TnFormFalso form;
    dm.ConfigurarForm(&form);
    TnAbaResultado &aba = dm.AdicionarAba("K210");
    aba.Dados.DefinirCampos(kMestre);
    aba.CriarDetalhe().DefinirCampos(kDetalhe);
    aba.LigarDetalhe(kChave);
    EXPECT_EQ(aba.CamposChave(), kChave);
    aba.Dados.CreateDataSet();
    aba.Detalhe()->CreateDataSet();
    TnClientDataSet &det = *aba.Detalhe();
    EXPECT_TRUE(det.IsEmpty()); // no master row: nothing to show

    // The run fills the master, then the detail (rows in any order), then shows the result.
    aba.Dados.DisableControls();
    for (int seq : {1, 2, 3})
        Linha(aba.Dados, seq);
    aba.Dados.EnableControls();
    for (auto [seq, produto] : {std::pair{2, 20}, {1, 10}, {2, 21}, {1, 11}, {1, 12}, {9, 90}})
        Linha(det, seq, produto);
    dm.ResultadoAlterado();

    aba.Dados.First();
    EXPECT_EQ(Produtos(det), (QList<qint64>{10, 11, 12}));
    aba.Dados.Next();
    EXPECT_EQ(Produtos(det), (QList<qint64>{20, 21}));
    // A master row whose key no detail row has: an empty detail.
    aba.Dados.Next();
    EXPECT_TRUE(det.IsEmpty());
    aba.Dados.First();
    EXPECT_EQ(det.RecordCount(), 3);

    // A new run empties both and refills them: the detail follows the new first row.
    aba.Dados.EmptyDataSet();
    det.EmptyDataSet();
    EXPECT_TRUE(det.IsEmpty());
    Linha(aba.Dados, 2);
    Linha(det, 2, 22);
    Linha(det, 1, 13);
    dm.ResultadoAlterado();
    EXPECT_EQ(Produtos(det), (QList<qint64>{22}));
    // The row of another key is kept, only out of the range.
    det.CancelRange();
    EXPECT_EQ(det.RecordCount(), 2);
    dm.ResultadoAlterado();
    EXPECT_EQ(det.RecordCount(), 1);
    EXPECT_EQ(form.Chamadas.count("Resultado"), 3);
}

TEST(MestreDetalhe, CamposDaChaveAusentesRecusadosNaDeclaracao)
{
    TnDMPowerParamTab dm(kConsulta);
    TnAbaResultado &aba = dm.AdicionarAba("K230");
    aba.Dados.DefinirCampos(kMestre);
    // No detail yet.
    EXPECT_THROW(aba.LigarDetalhe(kChave), Exception);
    aba.CriarDetalhe().DefinirCampos(kDetalhe);
    try {
        aba.LigarDetalhe("CODIGOEMPRESA;CODIGOPRODUTO");
        FAIL() << "a key field missing in the master must be refused";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().contains("CODIGOPRODUTO")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("K230")) << e.Message().toStdString();
    }
    TnClientDataSet mestre, detalhe;
    mestre.DefinirCampos(kDetalhe);
    detalhe.DefinirCampos(kMestre);
    EXPECT_THROW(TnLigacaoMestreDetalhe(mestre, detalhe, "SEQK210;CODIGOPRODUTO"), Exception);
    EXPECT_THROW(TnLigacaoMestreDetalhe(mestre, detalhe, " ; "), Exception);
    EXPECT_TRUE(aba.CamposChave().isEmpty());
}

TEST(MestreDetalhe, IntervaloVazioENovasLinhas)
{
    TnClientDataSet ds;
    ds.DefinirCampos(kDetalhe);
    ds.CreateDataSet();
    ds.SetIndexFieldNames(kChave);
    Linha(ds, 1, 10);
    Linha(ds, 2, 20);
    ds.SetRangeVazio();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Eof());
    // A row added while the range shows none stays out of it, and is there once it ends.
    Linha(ds, 3, 30);
    EXPECT_EQ(ds.RecordCount(), 0);
    TnClientDataSet clone;
    clone.CloneCursor(ds, true);
    EXPECT_TRUE(clone.IsEmpty());
    ds.CancelRange();
    EXPECT_EQ(Produtos(ds), (QList<qint64>{10, 20, 30}));
    ds.SetRangeVazio();
    ds.SetRange({1, QDate(2024, 3, 1), 2}, {1, QDate(2024, 3, 1), 2});
    EXPECT_EQ(Produtos(ds), (QList<qint64>{20}));
}

TEST(MestreDetalhe, IntervalosSobreMilharesDeLinhas)
{
    // Enough rows for the index to span several blocks: a range may begin in one block and
    // end in another, or lie inside one.
    TnClientDataSet ds;
    const TnDefCampo campos[] = {{.Nome = "CHAVE", .Tipo = ftInteger}, {.Nome = "ID", .Tipo = ftInteger}};
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    ds.DisableControls();
    for (int i = 0; i < 20000; ++i) {
        ds.Append();
        ds.FieldByName("CHAVE").SetAsInteger((i * 7919) % 1000); // 20 rows of each key, scattered
        ds.FieldByName("ID").SetAsInteger(i);
        ds.Post();
    }
    ds.EnableControls();
    ds.SetIndexFieldNames("CHAVE");
    const auto contar = [&](int ini, int fim) {
        ds.SetRange({ini}, {fim});
        int n = 0;
        bool dentro = true;
        for (ds.First(); !ds.Eof(); ds.Next(), ++n)
            dentro = dentro && ds.FieldByName("CHAVE").AsInteger() >= ini && ds.FieldByName("CHAVE").AsInteger() <= fim;
        EXPECT_TRUE(dentro) << ini << ".." << fim;
        return n;
    };
    EXPECT_EQ(contar(0, 0), 20);
    EXPECT_EQ(contar(999, 999), 20);
    EXPECT_EQ(contar(101, 102), 40);
    EXPECT_EQ(contar(0, 999), 20000);
    EXPECT_EQ(contar(50, 949), 18000); // across many blocks
    EXPECT_EQ(contar(1000, 2000), 0);  // after every row
    EXPECT_EQ(contar(-5, -1), 0);      // before every row
    EXPECT_EQ(contar(600, 400), 0);    // a range that ends before it starts
    for (int k = 0; k < 1000; k += 37)
        EXPECT_EQ(contar(k, k), 20) << k;
}
