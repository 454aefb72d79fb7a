// The filter of a grid over a dataset's view: values chosen, a text contained, ranges of
// numbers and dates, all together, checked against a plain pass over every row.
#include "ClientDataSet.h"
#include "FiltroGrade.h"
#include "TotaisVista.h"
#include "Valores.h"

#include <gtest/gtest.h>
#include <random>
#include <set>

namespace {

const TnDefCampo kCampos[] = {
    {.Nome = "ID", .Tipo = ftInteger},
    {.Nome = "FILIAL", .Tipo = ftSmallint, .Def = {.DisplayLabel = "Filial"}},
    {.Nome = "NOME", .Tipo = ftString, .Tamanho = 30, .Def = {.DisplayLabel = "Nome"}},
    {.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2,
     .Def = {.DisplayLabel = "Valor", .DisplayFormat = "#,##0.00"}},
    {.Nome = "QTDE", .Tipo = ftFloat, .Def = {.DisplayLabel = "Quantidade", .DisplayFormat = "#,##0.000"}},
    {.Nome = "DATA", .Tipo = ftDate, .Def = {.DisplayLabel = "Data"}},
};

const char *const kNomes[] = {"Parafuso", "Porca", "Arruela", "parafuso longo", "Prego"};

class FiltroGrade : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.DefinirCampos(kCampos);
        ds.CreateDataSet();
        ds.SetLogChanges(false);
        std::mt19937 sorte(7);
        std::uniform_int_distribution<int> filial(1, 6), nome(0, 4), centavos(-100000, 100000), dia(0, 365);
        ds.DisableControls();
        for (int i = 0; i < 5000; ++i) {
            ds.Append();
            ds.FieldByName("ID").SetAsInteger(i);
            ds.FieldByName("FILIAL").SetAsInteger(filial(sorte));
            if (i % 50 != 0)
                ds.FieldByName("NOME").SetAsString(QString::fromLatin1(kNomes[nome(sorte)]));
            ds.FieldByName("VALOR").SetAsEscalado(centavos(sorte), 2);
            ds.FieldByName("QTDE").SetAsFloat(centavos(sorte) / 1000.0);
            ds.FieldByName("DATA").SetAsDate(QDate(2024, 1, 1).addDays(dia(sorte)));
            ds.Post();
        }
        ds.EnableControls();
    }
    // The ids the view shows, and those a plain pass over every row lets through.
    std::set<int> Vistos()
    {
        std::set<int> r;
        for (ds.First(); !ds.Eof(); ds.Next())
            r.insert(ds.FieldByName("ID").AsInteger());
        return r;
    }
    std::set<int> Esperados(const std::function<bool()> &passa)
    {
        const bool filtrado = ds.Filtered();
        ds.SetFiltered(false);
        std::set<int> r;
        for (ds.First(); !ds.Eof(); ds.Next())
            if (passa())
                r.insert(ds.FieldByName("ID").AsInteger());
        ds.SetFiltered(filtrado);
        return r;
    }
    static TnCelula Inteiro(qint64 v)
    {
        TnCelula c;
        c.Nulo = false;
        c.I = v;
        return c;
    }
    TnClientDataSet ds;
};

} // namespace

TEST_F(FiltroGrade, CondicoesJuntasComoUmaPassadaSimples)
{
    TnFiltroGrade filtro;
    EXPECT_FALSE(filtro.Ativo());
    // Branches 2 and 5, names containing "parafuso" in any case, values from -100,00 to 250,50,
    // dates of the first quarter.
    filtro.Definir({.Campo = "FILIAL", .Valores = {Inteiro(2), Inteiro(5)}});
    filtro.Definir({.Campo = "NOME", .Contem = "PARAFUSO"});
    TnCondicaoColuna valor{.Campo = "VALOR"};
    ASSERT_TRUE(LerLimite(ds.FieldByName("VALOR"), "-100,00", valor.De));
    ASSERT_TRUE(LerLimite(ds.FieldByName("VALOR"), "250,5", valor.Ate));
    filtro.Definir(valor);
    TnCondicaoColuna data{.Campo = "DATA"};
    ASSERT_TRUE(LerLimite(ds.FieldByName("DATA"), "31/03/2024", data.Ate));
    filtro.Definir(data);
    EXPECT_FALSE(LerLimite(ds.FieldByName("DATA"), "32/01/2024", data.De));
    EXPECT_FALSE(LerLimite(ds.FieldByName("VALOR"), "abc", data.De));
    filtro.Aplicar(ds);
    EXPECT_EQ(filtro.Descricao(ds), QString::fromUtf8("Filial em (2; 5); Nome contém \"PARAFUSO\"; Valor de -100,00 até "
                                                      "250,50; Data até 31/03/2024"));
    const auto passa = [&] {
        const int filial = ds.FieldByName("FILIAL").AsInteger();
        const qint64 v = ds.FieldByName("VALOR").Celula().I;
        return (filial == 2 || filial == 5) && ds.FieldByName("NOME").AsString().toLower().contains("parafuso")
               && v >= -10000 && v <= 25050 && ds.FieldByName("DATA").AsDate() <= QDate(2024, 3, 31);
    };
    const std::set<int> esperados = Esperados(passa);
    EXPECT_GT(esperados.size(), 10u);
    EXPECT_EQ(Vistos(), esperados);
    // The totals are those of the rows left.
    qint64 soma = 0;
    for (ds.First(); !ds.Eof(); ds.Next())
        soma += ds.FieldByName("VALOR").Celula().I;
    EXPECT_EQ(TotalizarVista(ds, ds.FieldByName("VALOR")).Escalado, soma);

    // A condition taken away, then all of them.
    filtro.Retirar("nome");
    filtro.Retirar("DATA");
    filtro.Retirar("VALOR");
    filtro.Aplicar(ds);
    EXPECT_EQ(Vistos(), Esperados([&] {
                  const int f = ds.FieldByName("FILIAL").AsInteger();
                  return f == 2 || f == 5;
              }));
    filtro.Limpar();
    filtro.Aplicar(ds);
    EXPECT_FALSE(ds.Filtered());
    EXPECT_EQ(ds.RecordCount(), 5000);
}

TEST_F(FiltroGrade, ValoresPresentesSemRepetirEmOrdem)
{
    bool mais = true;
    const std::vector<TnCelula> nomes = ValoresDaColuna(ds, ds.FieldByName("NOME"), 100, mais);
    EXPECT_FALSE(mais);
    QStringList textos;
    for (const TnCelula &c : nomes)
        textos << TextoDoValor(ds.FieldByName("NOME"), c);
    EXPECT_EQ(textos, QStringList({"(vazio)", "Arruela", "Parafuso", "Porca", "Prego", "parafuso longo"}));

    // Doubles, distinct by value; as many as there are, or the first ones and "more".
    std::set<double> qtdes;
    for (ds.First(); !ds.Eof(); ds.Next())
        qtdes.insert(ds.FieldByName("QTDE").AsFloat());
    const std::vector<TnCelula> todas = ValoresDaColuna(ds, ds.FieldByName("QTDE"), 100000, mais);
    EXPECT_FALSE(mais);
    ASSERT_EQ(todas.size(), qtdes.size());
    EXPECT_EQ(todas.front().F, *qtdes.begin());
    EXPECT_EQ(ValoresDaColuna(ds, ds.FieldByName("QTDE"), 10, mais).size(), 10u);
    EXPECT_TRUE(mais);

    // Only among the rows the view shows; a value chosen finds its rows again.
    TnFiltroGrade filtro;
    filtro.Definir({.Campo = "FILIAL", .Valores = {Inteiro(3)}});
    filtro.Aplicar(ds);
    const std::vector<TnCelula> filiais = ValoresDaColuna(ds, ds.FieldByName("FILIAL"), 100, mais);
    ASSERT_EQ(filiais.size(), 1u);
    EXPECT_EQ(filiais[0].I, 3);
    filtro.Definir({.Campo = "QTDE", .Valores = {todas[7]}});
    filtro.Definir({.Campo = "FILIAL"});
    filtro.Aplicar(ds);
    EXPECT_EQ(Vistos(), Esperados([&] { return ds.FieldByName("QTDE").AsFloat() == todas[7].F; }));
    EXPECT_EQ(TextoDoValor(ds.FieldByName("VALOR"), Inteiro(123456)), "1.234,56");
}
