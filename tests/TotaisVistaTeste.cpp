// Column totals over a dataset's view: exact at the column's decimals, over the rows the
// order, range and filter leave, checked against a plain recomputation row by row.
#include "ClientDataSet.h"
#include "Decimal.h"
#include "TotaisVista.h"
#include "Valores.h"

#include <gtest/gtest.h>
#include <random>

namespace {

const TnDefCampo kCampos[] = {
    {.Nome = "ID", .Tipo = ftInteger},
    {.Nome = "GRUPO", .Tipo = ftSmallint},
    {.Nome = "QTDE", .Tipo = ftFloat, .Def = {.DisplayFormat = "#,##0.00"}},
    {.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .Def = {.DisplayFormat = "#,##0.00"}},
    {.Nome = "CASAS", .Tipo = ftSmallint},
    {.Nome = "CUSTO", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .CampoEscala = "CASAS",
     .Def = {.DisplayFormat = "#,##0.######"}},
    {.Nome = "MEDIA", .Tipo = ftFloat},
    {.Nome = "TIPO", .Tipo = ftSmallint, .Def = {.ListaValores = {"Entrada=1", "Saída=2"}}},
};

// The plain way: walk the rows with the cursor and add what each row shows, read back from
// its displayed text.
qint64 SomaDoQueAparece(TnClientDataSet &ds, const QString &campo, int casas)
{
    __int128 soma = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        const TnField &f = ds.FieldByName(campo);
        if (f.IsNull())
            continue;
        qint64 e = 0;
        EXPECT_TRUE(nDecimal::DeTexto(f.DisplayText().remove(u'.').replace(u',', u'.'), casas, e)) << f.DisplayText().toStdString();
        soma += e;
    }
    return qint64(soma);
}

} // namespace

TEST(TotaisVista, ExatosComoALinhaMostraSobreDadosAleatorios)
{
    TnClientDataSet ds;
    ds.DefinirCampos(kCampos);
    ds.CreateDataSet();
    std::mt19937_64 sorte(20261209);
    std::uniform_int_distribution<qint64> centesimos(-5000000, 5000000), casas(0, 6), grupo(1, 7);
    ds.DisableControls();
    for (int i = 0; i < 20000; ++i) {
        ds.Append();
        ds.FieldByName("ID").SetAsInteger(i);
        ds.FieldByName("GRUPO").SetAsInteger(int(grupo(sorte)));
        // Doubles with a third decimal: each is taken as its row shows it, at two.
        if (i % 97 != 0)
            ds.FieldByName("QTDE").SetAsFloat(double(centesimos(sorte)) / 1000.0);
        ds.FieldByName("VALOR").SetAsEscalado(centesimos(sorte), 2);
        const int c = int(casas(sorte));
        ds.FieldByName("CASAS").SetAsInteger(c);
        ds.FieldByName("CUSTO").SetAsEscalado(centesimos(sorte), c);
        ds.FieldByName("MEDIA").SetAsFloat(double(centesimos(sorte)) / 7.0);
        ds.Post();
    }
    ds.EnableControls();

    const auto conferir = [&](const char *caso) {
        SCOPED_TRACE(caso);
        const TnTotalColuna qtde = TotalizarVista(ds, ds.FieldByName("QTDE"));
        EXPECT_FALSE(qtde.Estouro);
        EXPECT_EQ(qtde.Escala, 2);
        EXPECT_EQ(qtde.Escalado, SomaDoQueAparece(ds, "QTDE", 2));
        const TnTotalColuna valor = TotalizarVista(ds, ds.FieldByName("VALOR"));
        EXPECT_EQ(valor.Escalado, SomaDoQueAparece(ds, "VALOR", 2));
        EXPECT_EQ(TextoDoTotal(ds.FieldByName("VALOR"), valor), FormatFloat("#,##0.00", valor.Escalado, 2));
        // Decimals per row: the sum at the largest of them.
        const TnTotalColuna custo = TotalizarVista(ds, ds.FieldByName("CUSTO"));
        EXPECT_EQ(custo.Escala, 6);
        EXPECT_EQ(custo.Escalado, SomaDoQueAparece(ds, "CUSTO", 6));
    };
    conferir("todas");
    ds.SetIndexFieldNames("GRUPO;ID");
    ds.SetRange({2}, {4});
    conferir("faixa");
    ds.SetOnFilterRecord([](TnClientDataSet &d) { return d.FieldByName("ID").AsInteger() % 3 == 0; });
    ds.SetFiltered(true);
    conferir("faixa e filtro");
    ds.CancelRange();
    ds.SetFiltered(false);

    // A row changed, deleted or added changes the total at once.
    const qint64 antes = TotalizarVista(ds, ds.FieldByName("VALOR")).Escalado;
    ds.First();
    const qint64 primeira = ds.FieldByName("VALOR").Celula().I;
    ds.Edit();
    ds.FieldByName("VALOR").SetAsEscalado(primeira + 1, 2);
    ds.Post();
    EXPECT_EQ(TotalizarVista(ds, ds.FieldByName("VALOR")).Escalado, antes + 1);
    ds.Delete();
    EXPECT_EQ(TotalizarVista(ds, ds.FieldByName("VALOR")).Escalado, antes - primeira);
    conferir("alterada e excluída");
}

TEST(TotaisVista, ColunasCasasEstouro)
{
    TnClientDataSet ds;
    ds.DefinirCampos(kCampos);
    ds.CreateDataSet();
    EXPECT_TRUE(EhColunaDeValor(ds.FieldByName("QTDE")));
    EXPECT_TRUE(EhColunaDeValor(ds.FieldByName("VALOR")));
    EXPECT_FALSE(EhColunaDeValor(ds.FieldByName("ID")));   // a code, not a value
    EXPECT_FALSE(EhColunaDeValor(ds.FieldByName("TIPO"))); // the codes of a list
    EXPECT_EQ(CasasDoTotal(ds.FieldByName("MEDIA")), 6);   // no format
    EXPECT_EQ(CasasDoTotal(ds.FieldByName("CUSTO")), 2);

    // Empty: zero, shown in the format.
    EXPECT_EQ(TextoDoTotal(ds.FieldByName("QTDE"), TotalizarVista(ds, ds.FieldByName("QTDE"))), "0,00");
    // Each value as its row shows it: 10.00 + 20.00 + 0.00, never 30.01.
    for (double v : {10.004, 20.004, 0.001, 1.005}) {
        ds.Append();
        ds.FieldByName("QTDE").SetAsFloat(v);
        ds.FieldByName("VALOR").SetAsEscalado(999999999999999900LL, 2);
        ds.Post();
    }
    EXPECT_EQ(TextoDoTotal(ds.FieldByName("QTDE"), TotalizarVista(ds, ds.FieldByName("QTDE"))), "31,01");
    // Beyond 18 digits: no total, never a wrapped one.
    const TnTotalColuna grande = TotalizarVista(ds, ds.FieldByName("VALOR"));
    EXPECT_TRUE(grande.Estouro);
    EXPECT_EQ(TextoDoTotal(ds.FieldByName("VALOR"), grande), "");
}
