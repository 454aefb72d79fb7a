// Groups of a dataset's view by one field and by two nested, with their counts and exact
// totals, checked against a plain recomputation over every row on random data.
#include "AgrupamentoVista.h"
#include "CamposGrade.h"
#include "ClientDataSet.h"
#include "FiltroGrade.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

struct Soma {
    qint64 Linhas = 0, Valor = 0, Qtde = 0;
};

} // namespace

TEST(AgrupamentoVista, FilialEMesComoUmaRecontagemSimples)
{
    TnClientDataSet ds;
    ds.DefinirCampos(kCamposGrade);
    ds.CreateDataSet();
    ds.SetLogChanges(false);
    std::mt19937 sorte(11);
    std::uniform_int_distribution<int> filial(1, 5), mes(1, 12), centavos(-50000, 90000);
    ds.DisableControls();
    for (int i = 0; i < 8000; ++i) {
        ds.Append();
        ds.FieldByName("ID").SetAsInteger(i);
        if (i % 333 != 0) // some rows without a branch: a group of their own
            ds.FieldByName("FILIAL").SetAsInteger(filial(sorte));
        ds.FieldByName("MES").SetAsDate(QDate(2024, mes(sorte), 1));
        ds.FieldByName("VALOR").SetAsEscalado(centavos(sorte), 2);
        ds.FieldByName("QTDE").SetAsFloat(centavos(sorte) / 1000.0); // a third decimal: rounded as shown
        ds.Post();
    }
    ds.EnableControls();
    // A filter: only the rows it leaves are grouped.
    TnFiltroGrade filtro;
    TnCondicaoColuna c{.Campo = "VALOR"};
    c.De.Nulo = false;
    c.De.F = -100;
    filtro.Definir(c);
    filtro.Aplicar(ds);

    ds.SetIndexFieldNames(IndiceDoAgrupamento({"FILIAL", "MES"}, "ID"));
    EXPECT_EQ(ds.IndexFieldNames(), "FILIAL;MES;ID");
    const std::vector<TnGrupo> grupos = AgruparVista(ds, {"FILIAL", "MES"}, {"VALOR", "QTDE"});

    // The plain way: every row, its branch and month, its values as the row shows them.
    std::map<std::pair<int, qint64>, Soma> esperado;
    std::map<int, Soma> porFilial;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        const int f = ds.FieldByName("FILIAL").IsNull() ? -1 : ds.FieldByName("FILIAL").AsInteger();
        const qint64 m = ds.FieldByName("MES").AsDate().toJulianDay();
        const qint64 v = ds.FieldByName("VALOR").Celula().I;
        const qint64 q = qRound64(ds.FieldByName("QTDE").DisplayText().remove(u'.').replace(u',', u'.').toDouble() * 100);
        for (Soma *s : {&esperado[{f, m}], &porFilial[f]}) {
            ++s->Linhas;
            s->Valor += v;
            s->Qtde += q;
        }
    }
    ASSERT_EQ(grupos.size(), porFilial.size());
    size_t subgrupos = 0;
    qsizetype proxima = 0;
    for (const TnGrupo &g : grupos) {
        const int f = g.Valor.Nulo ? -1 : int(g.Valor.I);
        SCOPED_TRACE(f);
        EXPECT_EQ(g.Nivel, 0);
        EXPECT_EQ(g.Pai, nullptr);
        EXPECT_EQ(&grupos[size_t(g.Linha)], &g);
        EXPECT_EQ(g.Inicio, proxima); // together and in order, every row once
        proxima = g.Fim;
        EXPECT_EQ(g.Quantidade(), porFilial[f].Linhas);
        EXPECT_EQ(g.Totais[0].Escalado, porFilial[f].Valor);
        EXPECT_EQ(g.Totais[1].Escalado, porFilial[f].Qtde);
        qsizetype dentro = g.Inicio;
        for (const TnGrupo &m : g.Subgrupos) {
            const Soma &e = esperado[{f, m.Valor.I}];
            EXPECT_EQ(m.Pai, &g);
            EXPECT_EQ(m.Nivel, 1);
            EXPECT_EQ(m.Inicio, dentro);
            dentro = m.Fim;
            EXPECT_EQ(m.Quantidade(), e.Linhas);
            EXPECT_EQ(m.Totais[0].Escalado, e.Valor);
            EXPECT_EQ(m.Totais[1].Escalado, e.Qtde);
            EXPECT_TRUE(m.Subgrupos.empty());
            ++subgrupos;
        }
        EXPECT_EQ(dentro, g.Fim);
    }
    EXPECT_EQ(proxima, ds.RecordCount());
    EXPECT_EQ(subgrupos, esperado.size());
    EXPECT_TRUE(grupos.front().Valor.Nulo); // the rows without a branch come first

    // A view in another order is refused rather than split into repeated groups.
    ds.SetIndexFieldNames("ID");
    EXPECT_THROW(AgruparVista(ds, {"FILIAL"}, {}), Exception);
    EXPECT_TRUE(AgruparVista(ds, {}, {"VALOR"}).empty());
}
