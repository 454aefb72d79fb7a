// Client dataset views: index, ranges, filters, clones, bookmarks, search and notifications.
#include "ClientDataSet.h"
#include "Literais.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

const TnDefCampo kProdutos[] = {
    {.Nome = "ID", .Tipo = ftInteger},
    {.Nome = "GRUPO", .Tipo = ftSmallint},
    {.Nome = "NOME", .Tipo = ftString, .Tamanho = 30},
    {.Nome = "PRECO", .Tipo = ftBCD, .Precisao = 18, .Escala = 2},
    {.Nome = "DATA", .Tipo = ftDate},
    {.Nome = "QTDE", .Tipo = ftFloat},
};

struct Linha {
    int id, grupo;
    const char *nome;
    double preco;
    QDate data;
};

class Vista : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.DefinirCampos(kProdutos);
        ds.CreateDataSet();
        const Linha linhas[] = {{1, 2, "Parafuso", 10.5, {2020, 1, 10}}, {2, 1, "arruela", 0.35, {2019, 12, 31}},
                                {3, 2, "O'Brien", 99.99, {2020, 2, 1}},   {4, 1, "Porca", 10.5, {2020, 1, 1}},
                                {5, 3, nullptr, 10.51, {}},               {6, 2, "parafuso longo", 12, {2021, 5, 5}}};
        for (const Linha &l : linhas) {
            ds.Append();
            F("ID").SetAsInteger(l.id);
            F("GRUPO").SetAsInteger(l.grupo);
            if (l.nome)
                F("NOME").SetAsString(l.nome);
            F("PRECO").SetAsFloat(l.preco);
            F("DATA").SetAsDate(l.data);
            ds.Post();
        }
        ds.MergeChangeLog();
        ds.First();
    }
    TnField &F(const char *n) { return ds.FieldByName(n); }
    static std::vector<int> Ids(TnClientDataSet &d)
    {
        std::vector<int> r;
        const TnBookmark b = d.GetBookmark();
        for (d.First(); !d.Eof(); d.Next())
            r.push_back(d.FieldByName("ID").AsInteger());
        if (d.BookmarkValid(b))
            d.GotoBookmark(b);
        return r;
    }
    std::vector<int> Ids() { return Ids(ds); }
    std::vector<int> Filtrar(const QString &f)
    {
        ds.SetFilter(f);
        ds.SetFiltered(true);
        return Ids();
    }
    TnClientDataSet ds;
};

TEST_F(Vista, IndiceOrdenaEMantemOrdemDepoisDeGravar)
{
    ds.SetIndexFieldNames("GRUPO;NOME");
    EXPECT_EQ(Ids(), (std::vector<int>{4, 2, 3, 1, 6, 5})); // case-sensitive: "Porca" < "arruela"
    ASSERT_TRUE(ds.Locate("ID", 4));
    ds.Edit();
    F("GRUPO").SetAsInteger(3);
    ds.Post();
    EXPECT_EQ(F("ID").AsInteger(), 4); // the edited row stays current in its new place
    EXPECT_EQ(ds.RecNo(), 6);
    ds.Insert();
    F("ID").SetAsInteger(7);
    F("GRUPO").SetAsInteger(1);
    F("NOME").SetAsString("alicate");
    ds.Post();
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(Ids(), (std::vector<int>{7, 2, 3, 1, 6, 5, 4}));

    EXPECT_TRUE(ds.FindKey({2, "Parafuso"}));
    EXPECT_EQ(F("ID").AsInteger(), 1);
    EXPECT_FALSE(ds.FindKey({2, "Zz"}));
    EXPECT_EQ(F("ID").AsInteger(), 1);
    ds.FindNearest({2, "P"});
    EXPECT_EQ(F("ID").AsInteger(), 1);
    ds.FindNearest({9});
    EXPECT_EQ(F("ID").AsInteger(), 4);
    EXPECT_TRUE(ds.FindKey({3}));
    EXPECT_EQ(F("ID").AsInteger(), 5); // null name sorts first

    EXPECT_THROW(ds.SetIndexFieldNames("GRUPO;NAO_EXISTE"), Exception);
    ds.SetIndexFieldNames(""); // back to the natural order: Insert put 7 before the current row
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 7, 4, 5, 6}));
    EXPECT_THROW(ds.FindKey({1}), Exception);
}

TEST_F(Vista, IntervaloNosCamposDoIndice)
{
    EXPECT_THROW(ds.SetRange({1}, {1}), Exception);
    ds.SetIndexFieldNames("GRUPO;PRECO");
    ds.SetRange({2}, {2});
    EXPECT_EQ(Ids(), (std::vector<int>{1, 6, 3}));
    ds.SetRange({1, 10.5}, {2, 12});
    EXPECT_EQ(Ids(), (std::vector<int>{4, 1, 6}));
    // A row edited out of the range leaves the view; one inserted into it appears.
    ds.First();
    ds.Edit();
    F("GRUPO").SetAsInteger(3);
    ds.Post();
    EXPECT_EQ(Ids(), (std::vector<int>{1, 6}));
    ds.Append();
    F("ID").SetAsInteger(8);
    F("GRUPO").SetAsInteger(2);
    F("PRECO").SetAsFloat(11);
    ds.Post();
    EXPECT_EQ(F("ID").AsInteger(), 8);
    EXPECT_EQ(Ids(), (std::vector<int>{1, 8, 6}));
    ds.CancelRange();
    EXPECT_EQ(ds.RecordCount(), 7);
    EXPECT_EQ(F("ID").AsInteger(), 8);
}

TEST_F(Vista, FiltroComLiteraisComoOSQLEscreve)
{
    EXPECT_EQ(Filtrar("GRUPO = 2"), (std::vector<int>{1, 3, 6}));
    EXPECT_EQ(Filtrar("grupo = 2 and (preco > 10.5 or nome = 'O''Brien')"), (std::vector<int>{3, 6}));
    EXPECT_EQ(Filtrar("NOME = " + ValorParaFiltro("O'Brien", ftString)), (std::vector<int>{3}));
    EXPECT_EQ(Filtrar("PRECO = 10.50"), (std::vector<int>{1, 4}));
    EXPECT_EQ(Filtrar("PRECO > 10.505"), (std::vector<int>{3, 5, 6})); // exact, not rounded to cents
    EXPECT_EQ(Filtrar("10.5 < PRECO"), (std::vector<int>{3, 5, 6}));
    EXPECT_EQ(Filtrar("DATA >= " + ValorParaFiltro(QDate(2020, 1, 1), ftDate)), (std::vector<int>{1, 3, 4, 6}));
    EXPECT_EQ(Filtrar("DATA < '2020-01-10 00:00:01'"), (std::vector<int>{1, 2, 4}));
    // SQL's logic of nulls: a comparison with null is not true, and neither is its negation.
    EXPECT_EQ(Filtrar("NOME <> 'Porca'"), (std::vector<int>{1, 2, 3, 6}));
    EXPECT_EQ(Filtrar("not (NOME = 'Porca')"), (std::vector<int>{1, 2, 3, 6}));
    EXPECT_EQ(Filtrar("NOME is null or DATA is not null and GRUPO = 1"), (std::vector<int>{2, 4, 5}));
    EXPECT_EQ(Filtrar("QTDE is null and [GRUPO] = 3 and \"ID\" = 5"), (std::vector<int>{5}));
    EXPECT_EQ(Filtrar("ID = -1 or 1 = 1"), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Filtrar("NOME = 'a'' or ''1''=''1'"), std::vector<int>{});
    EXPECT_EQ(Filtrar("GRUPO <> 2 and GRUPO != 1"), (std::vector<int>{5}));

    for (const char *ruim : {"GRUPO = 'dois'", "NOME = 5", "DATA = '31/12/2019'", "NAOEXISTE = 1", "GRUPO =",
                             "GRUPO = 1 and", "(GRUPO = 1", "NOME = 'aberto", "GRUPO == 1", "GRUPO = 1; drop"}) {
        EXPECT_THROW(ds.SetFilter(ruim), EConvertError) << ruim;
    }
    EXPECT_EQ(ds.Filter(), "GRUPO <> 2 and GRUPO != 1"); // a bad filter leaves the previous one
    ds.SetFiltered(false);
    EXPECT_EQ(ds.RecordCount(), 6);
}

TEST_F(Vista, FiltroEOnFilterRecordJuntos)
{
    ds.SetFilter("GRUPO = 2");
    ds.SetOnFilterRecord([](TnClientDataSet &d) { return d.FieldByName("PRECO").AsFloat() < 50; });
    EXPECT_EQ(ds.RecordCount(), 6); // only when Filtered
    ds.SetFiltered(true);
    EXPECT_EQ(Ids(), (std::vector<int>{1, 6}));
    // A row posted that no longer passes leaves the view.
    ds.First();
    ds.Edit();
    F("PRECO").SetAsFloat(60);
    ds.Post();
    EXPECT_EQ(Ids(), (std::vector<int>{6}));
    ds.SetFilter("");
    EXPECT_EQ(Ids(), (std::vector<int>{2, 4, 5, 6}));
}

TEST_F(Vista, LocateComOpcoes)
{
    ds.Last();
    EXPECT_FALSE(ds.Locate("NOME", "parafuso"));
    EXPECT_EQ(F("ID").AsInteger(), 6); // stays where it was
    EXPECT_TRUE(ds.Locate("NOME", "parafuso", loCaseInsensitive));
    EXPECT_EQ(F("ID").AsInteger(), 1);
    EXPECT_TRUE(ds.Locate("NOME", "PARAF", loCaseInsensitive | loPartialKey));
    EXPECT_EQ(F("ID").AsInteger(), 1);
    EXPECT_TRUE(ds.Locate("GRUPO;NOME", {2, "parafuso l"}, loPartialKey));
    EXPECT_EQ(F("ID").AsInteger(), 6);
    EXPECT_TRUE(ds.Locate("NOME", QVariant()));
    EXPECT_EQ(F("ID").AsInteger(), 5);
    EXPECT_TRUE(ds.Locate("PRECO", "10,51"));
    EXPECT_EQ(F("ID").AsInteger(), 5);
    EXPECT_TRUE(ds.Locate("DATA", QDate(2019, 12, 31)));
    EXPECT_EQ(F("ID").AsInteger(), 2);
    EXPECT_FALSE(ds.Locate("NOME", QString(40, 'x'))); // longer than the field: simply not found
    EXPECT_THROW(ds.Locate("GRUPO;NOME", QVariantList{2}), Exception);
    EXPECT_THROW(ds.Locate("GRUPO", "abc"), EConvertError);
}

TEST_F(Vista, ClonePartilhaLinhasComOrdemFiltroEPosicaoProprios)
{
    TnClientDataSet clone;
    clone.CloneCursor(ds);
    clone.SetIndexFieldNames("PRECO");
    clone.SetFilter("GRUPO = 2");
    clone.SetFiltered(true);
    EXPECT_EQ(Ids(clone), (std::vector<int>{1, 6, 3}));
    ds.Last();
    clone.First();
    EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 6);
    EXPECT_EQ(clone.FieldByName("ID").AsInteger(), 1);

    // An edit through the clone is seen by the source and kept in the shared change log.
    clone.Edit();
    clone.FieldByName("PRECO").SetAsFloat(100);
    clone.Post();
    EXPECT_EQ(clone.RecNo(), 3);
    ASSERT_TRUE(ds.Locate("ID", 1));
    EXPECT_EQ(ds.FieldByName("PRECO").AsFloat(), 100.0);
    EXPECT_EQ(ds.ChangeCount(), 1);
    EXPECT_EQ(clone.ChangeCount(), 1);

    // Rows the source inserts and deletes show in the clone, which keeps its own row.
    clone.First();
    const TnBookmark seis = clone.GetBookmark();
    ds.Append();
    ds.FieldByName("ID").SetAsInteger(9);
    ds.FieldByName("GRUPO").SetAsInteger(2);
    ds.FieldByName("PRECO").SetAsFloat(1);
    ds.Post();
    EXPECT_EQ(clone.FieldByName("ID").AsInteger(), 6);
    EXPECT_EQ(Ids(clone), (std::vector<int>{9, 6, 3, 1}));
    ASSERT_TRUE(ds.Locate("ID", 6));
    ds.Delete();
    EXPECT_FALSE(clone.BookmarkValid(seis));
    EXPECT_EQ(Ids(clone), (std::vector<int>{9, 3, 1}));

    ds.CancelUpdates();
    EXPECT_EQ(Ids(clone), (std::vector<int>{1, 6, 3}));
    ASSERT_TRUE(clone.Locate("ID", 1));
    EXPECT_EQ(clone.FieldByName("PRECO").AsFloat(), 10.5);

    TnClientDataSet igual;
    igual.CloneCursor(clone, true);
    EXPECT_EQ(igual.IndexFieldNames(), "PRECO");
    EXPECT_EQ(Ids(igual), (std::vector<int>{1, 6, 3}));
    clone.Close();
    EXPECT_EQ(ds.RecordCount(), 6);
    EXPECT_EQ(igual.RecordCount(), 3);
}

TEST_F(Vista, MarcadoresSobrevivemAOrdemEFiltros)
{
    ASSERT_TRUE(ds.Locate("ID", 3));
    const TnBookmark b = ds.GetBookmark();
    ds.SetIndexFieldNames("NOME");
    ds.First();
    ds.GotoBookmark(b);
    EXPECT_EQ(F("ID").AsInteger(), 3);
    ds.SetFilter("GRUPO = 1");
    ds.SetFiltered(true);
    EXPECT_FALSE(ds.BookmarkValid(b));
    EXPECT_THROW(ds.GotoBookmark(b), Exception);
    ds.SetFiltered(false);
    ASSERT_TRUE(ds.BookmarkValid(b));
    ds.GotoBookmark(b);
    ds.Delete();
    EXPECT_FALSE(ds.BookmarkValid(b));
    ds.CancelUpdates();
    EXPECT_TRUE(ds.BookmarkValid(b));
    EXPECT_FALSE(ds.BookmarkValid(-1));
    EXPECT_FALSE(ds.BookmarkValid(1000));
}

// Rows inserted, edited and deleted at random through a dataset and its clones, with a
// range and a filter on: every view, locate, key search and bookmark gives what a fresh
// sort of the rows that are left gives.
TEST(VistaModelo, AlteracoesComClonesAbertosDaoOMesmoQueUmaNovaOrdenacao)
{
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger},
                                 {.Nome = "GRUPO", .Tipo = ftSmallint},
                                 {.Nome = "NOME", .Tipo = ftString, .Tamanho = 20}};
    struct Linha {
        int grupo;
        QString nome;
    };
    std::map<int, Linha> modelo;  // visible rows by ID
    std::vector<int> natural;     // IDs in natural order
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    ds.SetIndexFieldNames("GRUPO;ID");
    TnClientDataSet porNome, filtrado;
    porNome.CloneCursor(ds);
    porNome.SetIndexFieldNames("NOME");
    filtrado.CloneCursor(ds);
    filtrado.SetFilter("GRUPO >= 3");
    filtrado.SetFiltered(true);

    std::mt19937 sorteio(11);
    int proximo = 1, nomes = 0;
    auto nome = [&] { return QStringLiteral("N%1").arg(int(sorteio() % 100000) * 1000 + ++nomes, 9, 10, QLatin1Char('0')); };
    auto atual = [](TnClientDataSet &d) { return d.IsEmpty() ? -1 : d.FieldByName("ID").AsInteger(); };
    auto ids = [](TnClientDataSet &d) {
        std::vector<int> r;
        for (d.First(); !d.Eof(); d.Next())
            r.push_back(d.FieldByName("ID").AsInteger());
        return r;
    };
    bool intervalo = false;
    int lo = 0, hi = 0;
    auto conferir = [&] {
        std::vector<int> esperado;
        for (const auto &[id, l] : modelo)
            if (!intervalo || (l.grupo >= lo && l.grupo <= hi))
                esperado.push_back(id);
        std::sort(esperado.begin(), esperado.end(), [&](int a, int b) {
            return std::pair(modelo[a].grupo, a) < std::pair(modelo[b].grupo, b);
        });
        ASSERT_EQ(ids(ds), esperado);
        std::vector<int> porNomeEsperado;
        for (const auto &[id, l] : modelo)
            porNomeEsperado.push_back(id);
        std::sort(porNomeEsperado.begin(), porNomeEsperado.end(),
                  [&](int a, int b) { return modelo[a].nome < modelo[b].nome; });
        ASSERT_EQ(ids(porNome), porNomeEsperado);
        std::vector<int> filtradoEsperado;
        for (int id : natural)
            if (modelo[id].grupo >= 3)
                filtradoEsperado.push_back(id);
        ASSERT_EQ(ids(filtrado), filtradoEsperado);
        // Key searches, locates on the index fields (in any order) and bookmarks.
        for (int k = 0; k < 5 && !modelo.empty(); ++k) {
            auto it = std::next(modelo.begin(), qsizetype(sorteio() % modelo.size()));
            const bool naJanela = !intervalo || (it->second.grupo >= lo && it->second.grupo <= hi);
            ASSERT_EQ(ds.FindKey({it->second.grupo, it->first}), naJanela);
            ASSERT_EQ(ds.Locate("ID;GRUPO", QVariantList{it->first, it->second.grupo}), naJanela);
            if (naJanela) {
                ASSERT_EQ(atual(ds), it->first);
            }
            ASSERT_TRUE(porNome.Locate("ID", it->first));
            const TnBookmark b = porNome.GetBookmark();
            porNome.First();
            ASSERT_TRUE(porNome.BookmarkValid(b));
            porNome.GotoBookmark(b);
            ASSERT_EQ(atual(porNome), it->first);
        }
    };
    for (int passo = 0; passo < 1500; ++passo) {
        TnClientDataSet &c = sorteio() % 3 == 0 ? porNome : ds;
        const int op = int(sorteio() % 10);
        if (op < 4 || c.IsEmpty()) {
            // Insert before the current row, or append.
            const bool noFim = op % 2 || c.IsEmpty();
            if (!c.IsEmpty())
                c.SetRecNo(int(sorteio() % uint(c.RecordCount())) + 1);
            const int antes = noFim ? -1 : atual(c);
            noFim ? c.Append() : c.Insert();
            const int id = proximo++;
            const Linha l{int(sorteio() % 6), nome()};
            c.FieldByName("ID").SetAsInteger(id);
            c.FieldByName("GRUPO").SetAsInteger(l.grupo);
            c.FieldByName("NOME").SetAsString(l.nome);
            c.Post();
            modelo[id] = l;
            natural.insert(antes < 0 ? natural.end() : std::find(natural.begin(), natural.end(), antes), id);
        } else if (op < 8) {
            c.SetRecNo(int(sorteio() % uint(c.RecordCount())) + 1);
            const int id = atual(c);
            Linha &l = modelo[id];
            c.Edit();
            if (sorteio() % 2)
                c.FieldByName("GRUPO").SetAsInteger(l.grupo = int(sorteio() % 6));
            if (sorteio() % 2)
                c.FieldByName("NOME").SetAsString(l.nome = nome());
            c.Post();
        } else {
            c.SetRecNo(int(sorteio() % uint(c.RecordCount())) + 1);
            const int id = atual(c);
            c.Delete();
            modelo.erase(id);
            std::erase(natural, id);
        }
        if (passo % 97 == 0) {
            intervalo = !intervalo;
            lo = int(sorteio() % 6);
            hi = lo + int(sorteio() % 3);
            intervalo ? ds.SetRange({lo}, {hi}) : ds.CancelRange();
        }
        if (passo % 10 == 0) {
            conferir();
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
    // The log merged and undone: views as a fresh sort gives them.
    ds.MergeChangeLog();
    conferir();
}

struct Observador : TnObservadorDataSet {
    int dados = 0, registro = 0, rolou = 0, estado = 0;
    void DadosAlterados(TnClientDataSet &) override { ++dados; }
    void RegistroAlterado(TnClientDataSet &, TnField *) override { ++registro; }
    void Rolou(TnClientDataSet &) override { ++rolou; }
    void EstadoAlterado(TnClientDataSet &) override { ++estado; }
};

// Goes to the first row of the view whose fields hold the values, walking it; false when
// none does. NOME compares as text (without case with loCaseInsensitive), others as numbers.
bool PrimeiraAndando(TnClientDataSet &ds, const QStringList &nomesCampos, const QVariantList &v, int opcoes)
{
    for (ds.First(); !ds.Eof(); ds.Next()) {
        bool igual = true;
        for (qsizetype k = 0; k < nomesCampos.size() && igual; ++k) {
            TnField &f = ds.FieldByName(nomesCampos[k]);
            if (v[k].isNull())
                igual = f.IsNull();
            else if (f.IsNull())
                igual = false;
            else if (nomesCampos[k] == u"NOME")
                igual = f.AsString().compare(v[k].toString(),
                                             opcoes & loCaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
            else
                igual = f.AsFloat() == v[k].toDouble();
        }
        if (igual)
            return true;
    }
    return false;
}

TEST(VistaModelo, LocateNosCamposDoIndiceAchaOPrimeiroComoUmaBuscaDeLinhaEmLinha)
{
    // Repeated keys, texts differing only in case, nulls and halves of cents: the search
    // on the index must find the row a walk through the view finds first.
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger},
                                 {.Nome = "GRUPO", .Tipo = ftSmallint},
                                 {.Nome = "NOME", .Tipo = ftString, .Tamanho = 20},
                                 {.Nome = "PRECO", .Tipo = ftBCD, .Precisao = 18, .Escala = 2}};
    const QString nomes[] = {QStringLiteral("abc"), QStringLiteral("ABC"), QStringLiteral("Abc"), QString(),
                             QStringLiteral("ab"), QStringLiteral("ação"), QStringLiteral("acao")};
    std::mt19937 sorteio(5);
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    for (int id = 1; id <= 400; ++id) {
        ds.Append();
        ds.FieldByName("ID").SetAsInteger(id);
        ds.FieldByName("GRUPO").SetAsInteger(int(sorteio() % 6));
        const QString &n = nomes[sorteio() % std::size(nomes)];
        if (!n.isNull())
            ds.FieldByName("NOME").SetAsString(n);
        ds.FieldByName("PRECO").SetAsFloat(double(sorteio() % 8) * 0.25);
        ds.Post();
    }
    auto andando = [&ds](const QStringList &nomesCampos, const QVariantList &v, int opcoes) {
        return PrimeiraAndando(ds, nomesCampos, v, opcoes) ? ds.FieldByName("ID").AsInteger() : 0;
    };
    const char *indices[] = {"GRUPO;NOME;ID", "NOME;GRUPO", "PRECO;GRUPO", "NOME"};
    for (const char *indice : indices) {
        ds.SetIndexFieldNames(indice);
        for (int vez = 0; vez < 3; ++vez) {
            // No filter, a filter, then a range on the index's first field as well.
            ds.SetFilter(vez ? QStringLiteral("ID > 37") : QString());
            ds.SetFiltered(vez > 0);
            if (vez == 2) {
                ds.First();
                const QVariant primeiro = ds.FieldByName(QString::fromLatin1(indice).section(u';', 0, 0)).AsVariant();
                ds.SetRange({primeiro}, {primeiro});
            }
            for (int q = 0; q < 60; ++q) {
                const QVariant grupo = int(sorteio() % 7), nome = nomes[sorteio() % std::size(nomes)],
                               preco = double(sorteio() % 9) * 0.25;
                const int opcoes = q % 3 == 0 ? int(loCaseInsensitive) : 0;
                QStringList f;
                QVariantList v;
                switch (q % 4) {
                case 0: f = {"NOME"}; v = {nome}; break;
                case 1: f = {"GRUPO", "NOME"}; v = {grupo, nome}; break;
                case 2: f = {"NOME", "GRUPO"}; v = {nome, grupo}; break;
                default: f = {"PRECO", "GRUPO"}; v = {preco, grupo}; break;
                }
                const int esperado = andando(f, v, opcoes);
                ds.Last();
                const bool achou = ds.Locate(f.join(u';'), v, opcoes);
                EXPECT_EQ(achou, esperado != 0) << indice << ' ' << vez << ' ' << q;
                if (achou) {
                    EXPECT_EQ(ds.FieldByName("ID").AsInteger(), esperado) << indice << ' ' << vez << ' ' << q;
                }
            }
            ds.CancelRange();
        }
    }
}

TEST(VistaModelo, LocateSemIndiceEmMuitasLinhasAchaOPrimeiroDepoisDeCadaMudanca)
{
    // Without an index, a Locate over many rows searches by a hash of the values: after
    // appends, inserts, edits (of this cursor and of a clone), deletes, undos and filters it
    // must find the row a walk through the view finds first, and nothing where the walk finds
    // nothing. IDs repeat, names differ in case or are null, doubles are compared only.
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger},
                                 {.Nome = "GRUPO", .Tipo = ftSmallint},
                                 {.Nome = "NOME", .Tipo = ftString, .Tamanho = 20},
                                 {.Nome = "PRECO", .Tipo = ftBCD, .Precisao = 18, .Escala = 2},
                                 {.Nome = "QTDE", .Tipo = ftFloat}};
    const QString nomes[] = {QStringLiteral("abc"), QStringLiteral("ABC"), QString(), QStringLiteral("ação"),
                             QStringLiteral("acao"), QStringLiteral("x")};
    std::mt19937 sorteio(11);
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    int proximo = 1;
    auto preencher = [&](TnClientDataSet &d, int id) {
        d.FieldByName("ID").SetAsInteger(id);
        d.FieldByName("GRUPO").SetAsInteger(int(sorteio() % 4));
        const QString &n = nomes[sorteio() % std::size(nomes)];
        if (n.isNull())
            d.FieldByName("NOME").Clear();
        else
            d.FieldByName("NOME").SetAsString(n);
        d.FieldByName("PRECO").SetAsFloat(double(sorteio() % 5) * 0.25);
        d.FieldByName("QTDE").SetAsFloat(double(sorteio() % 3));
    };
    // The values of the row changed last, which one of the searches after a step looks for.
    QVariantList ultima;
    auto lembrar = [&ultima](TnClientDataSet &d) {
        ultima.clear();
        for (const char *c : {"ID", "QTDE", "NOME", "PRECO"})
            ultima << d.FieldByName(c).AsVariant();
    };
    for (; proximo <= 6000; ++proximo) {
        ds.Append();
        preencher(ds, proximo);
        ds.Post();
    }
    ds.MergeChangeLog();
    TnClientDataSet clone;
    clone.CloneCursor(ds);

    auto andando = [&ds](const QStringList &nomesCampos, const QVariantList &v) -> TnBookmark {
        return PrimeiraAndando(ds, nomesCampos, v, 0) ? ds.GetBookmark() : -1;
    };
    auto aoAcaso = [&](TnClientDataSet &d) { d.SetRecNo(1 + int(sorteio() % unsigned(d.RecordCount()))); };
    for (int passo = 0; passo < 240; ++passo) {
        switch (sorteio() % 8) {
        case 0:
            ds.Append();
            preencher(ds, sorteio() % 3 ? proximo++ : 1 + int(sorteio() % 6000));
            ds.Post();
            lembrar(ds);
            break;
        case 1:
            aoAcaso(ds);
            ds.Insert();
            preencher(ds, proximo++);
            ds.Post();
            lembrar(ds);
            break;
        case 2:
        case 3:
            aoAcaso(ds);
            ds.Edit();
            lembrar(ds); // its old values: found no more, or in another row
            preencher(ds, sorteio() % 2 ? ds.FieldByName("ID").AsInteger() : 1 + int(sorteio() % 6000));
            ds.Post();
            if (sorteio() % 2)
                lembrar(ds);
            break;
        case 4:
            aoAcaso(clone);
            clone.Edit();
            preencher(clone, 1 + int(sorteio() % 6000));
            clone.Post();
            lembrar(clone);
            break;
        case 5:
            aoAcaso(ds);
            lembrar(ds);
            ds.Delete();
            break;
        case 6:
            ds.SetFilter(QStringLiteral("GRUPO <> 3"));
            ds.SetFiltered(!ds.Filtered());
            break;
        default:
            if (passo % 3 == 0)
                ds.CancelUpdates();
            else
                ds.MergeChangeLog();
            break;
        }
        for (int q = 0; q < 2; ++q) {
            const bool daUltima = q == 0 && !ultima.isEmpty();
            const QVariant id = daUltima ? ultima[0] : QVariant(1 + int(sorteio() % unsigned(proximo + 5))),
                           qtde = daUltima ? ultima[1] : QVariant(double(sorteio() % 3)),
                           nome = daUltima ? ultima[2] : QVariant(nomes[sorteio() % std::size(nomes)]),
                           preco = daUltima ? ultima[3] : QVariant(double(sorteio() % 5) * 0.25);
            QStringList f;
            QVariantList v;
            // One set of fields for a stretch of steps: the search kept for it must follow
            // every change in between.
            switch (passo / 80) {
            case 0: f = {"ID"}; v = {id}; break;
            case 1: f = {"ID", "QTDE"}; v = {id, qtde}; break;
            default: f = {"NOME", "PRECO"}; v = {nome, preco}; break;
            }
            const qint64 esperado = andando(f, v);
            ds.Last();
            const bool achou = ds.Locate(f.join(u';'), v);
            ASSERT_EQ(achou, esperado >= 0) << passo << ' ' << f.join(u';').toStdString();
            if (achou) {
                ASSERT_EQ(ds.GetBookmark(), esperado) << passo << ' ' << f.join(u';').toStdString();
            }
        }
    }
    // Undone after the search was built on the edited values: found by the values it has
    // again, not by the ones undone.
    ds.SetFiltered(false);
    ds.MergeChangeLog();
    ds.SetRecNo(100);
    ds.Edit();
    ds.FieldByName("ID").SetAsInteger(777777);
    ds.Post();
    ds.MergeChangeLog();
    ds.Edit();
    ds.FieldByName("ID").SetAsInteger(999999);
    ds.Post();
    ASSERT_TRUE(ds.Locate("NOME;PRECO", QVariantList{QStringLiteral("abc"), 0.25}));
    ASSERT_TRUE(ds.Locate("ID", 999999)); // the search of ID built now, on the edited value
    ds.CancelUpdates();
    EXPECT_FALSE(ds.Locate("ID", 999999));
    ASSERT_TRUE(ds.Locate("ID", 777777));
    EXPECT_EQ(ds.RecNo(), 100);
}

TEST_F(Vista, AvisosAosObservadoresEDisableControls)
{
    Observador o;
    ds.AdicionarObservador(&o);
    ds.Next();
    EXPECT_EQ(o.rolou, 1);
    ds.Edit();
    F("NOME").SetAsString("novo");
    EXPECT_EQ(o.registro, 1);
    EXPECT_EQ(o.estado, 1);
    ds.Post();
    EXPECT_EQ(o.estado, 2);
    EXPECT_GE(o.dados, 1);

    Observador zero;
    ds.AdicionarObservador(&zero);
    ds.RemoverObservador(&o);
    int rolagens = 0;
    ds.AfterScroll = [&](TnClientDataSet &) { ++rolagens; };
    ds.DisableControls();
    ds.DisableControls();
    for (ds.First(); !ds.Eof(); ds.Next()) {
        ds.Edit();
        F("QTDE").SetAsFloat(1);
        ds.Post();
    }
    ds.EnableControls();
    EXPECT_EQ(zero.dados + zero.registro + zero.rolou + zero.estado, 0);
    EXPECT_TRUE(ds.ControlsDisabled());
    ds.EnableControls();
    EXPECT_FALSE(ds.ControlsDisabled());
    EXPECT_EQ(zero.dados, 1);
    EXPECT_EQ(zero.registro + zero.rolou + zero.estado, 0);
    EXPECT_EQ(rolagens, 6); // events still run while controls are disabled

    // A clone's observers learn of changes made through the source.
    TnClientDataSet clone;
    clone.CloneCursor(ds);
    Observador oc;
    clone.AdicionarObservador(&oc);
    ds.Edit();
    F("QTDE").SetAsFloat(2);
    ds.Post();
    EXPECT_EQ(oc.dados, 1);
}

TEST(VistaDeSlots, InsercoesEExclusoesComoUmVetor)
{
    TnVista v;
    std::vector<qint32> modelo;
    std::mt19937 sorteio(7);
    for (int i = 0; i < 20000; ++i) {
        // More inserts than deletes: the rows fill several blocks.
        const int op = int(sorteio() % 4) % 3;
        const qsizetype pos = modelo.empty() ? 0 : qsizetype(sorteio() % (modelo.size() + (op == 0 ? 1 : 0)));
        if (op == 0 || modelo.empty()) {
            v.insert(std::min(pos, qsizetype(modelo.size())), i);
            modelo.insert(modelo.begin() + std::min(pos, qsizetype(modelo.size())), i);
        } else if (op == 1) {
            v.push_back(i);
            modelo.push_back(i);
        } else {
            v.erase(pos);
            modelo.erase(modelo.begin() + pos);
        }
    }
    ASSERT_EQ(v.size(), qsizetype(modelo.size()));
    for (qsizetype i = 0; i < v.size(); ++i)
        ASSERT_EQ(v[i], modelo[i]) << i;
    v.Ordenar(std::less<qint32>());
    std::sort(modelo.begin(), modelo.end());
    for (qsizetype i = 0; i < v.size(); ++i)
        ASSERT_EQ(v[i], modelo[i]);
    EXPECT_EQ(v.LimiteInferior([&](qint32 s) { return s < modelo[10]; }), 10);

    // A window over positions 100..199: rows inserted and deleted before, in and after it
    // keep it on the same rows.
    const std::vector<qint32> janela(modelo.begin() + 100, modelo.begin() + 200);
    v.DefinirJanela(100, 200);
    v.InserirTotal(5, -1, -1);
    v.InserirTotal(v.Total(), -2, 1);
    v.RetirarTotal(0);
    ASSERT_GT(v.Total(), 203);
    v.RetirarTotal(v.Total() - 1);
    ASSERT_EQ(v.size(), 100);
    for (qsizetype i = 0; i < v.size(); ++i)
        ASSERT_EQ(v[i], janela[size_t(i)]);
    v.insert(0, -3);
    v.erase(v.size() - 1);
    EXPECT_EQ(v[0], -3);
    EXPECT_EQ(v[v.size() - 1], janela[98]);
    EXPECT_EQ(v.LimiteInferior([](qint32) { return true; }), v.size());
    v.SemJanela();
    EXPECT_EQ(v.size(), v.Total());
}

} // namespace
