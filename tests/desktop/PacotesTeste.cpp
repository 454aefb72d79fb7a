// Reading a dataset in packets: what opens, what moves past the rows read, what reads the
// rest, rows saved beyond the rows read, the grid asking for more; and the split of a
// statement's order for keyset paging.
#include "ClientDataSet.h"
#include "CursorFalso.h"
#include "Paginacao.h"
#include "QtGrade.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <map>

namespace {

// A table kept in memory, in the order of CODIGO, read by key as the database source does:
// each packet takes the rows after the last CODIGO read.
class TnFonteMemoria : public TnFontePacotes {
public:
    std::map<int, QString> Tabela;
    int Pacotes = 0;

    void Reiniciar() { FContinua = false; }
    QString Chave() const override { return QStringLiteral("CODIGO"); }
    bool LerPacote(TnClientDataSet &ds, int maximo) override
    {
        ++Pacotes;
        std::vector<QVariantList> linhas;
        for (auto it = FContinua ? Tabela.upper_bound(FUltimo) : Tabela.begin(); it != Tabela.end(); ++it) {
            if (maximo > 0 && qsizetype(linhas.size()) == maximo)
                break;
            linhas.push_back({it->first, it->second});
        }
        TnCursorFalso cursor({{"CODIGO", ftInteger}, {"NOME", ftString, 40}}, linhas);
        const int lidas = ds.AcrescentarPacote(cursor, maximo);
        if (lidas > 0) {
            FUltimo = int(ds.UltimaLida(0).I);
            FContinua = true;
        }
        return maximo > 0 && lidas == maximo;
    }

private:
    bool FContinua = false;
    int FUltimo = 0;
};

class Pacotes : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fonte = std::make_shared<TnFonteMemoria>();
        for (int i = 1; i <= 3000; ++i)
            Fonte->Tabela[i * 10] = QStringLiteral("Nome %1").arg(i);
        Ds.DefinirCampos(kCampos);
        Ds.SetPacketRecords(100);
    }
    void Abrir()
    {
        Fonte->Reiniciar();
        Ds.AbrirPaginado(Fonte);
    }
    // Rows of the dataset holding CODIGO `codigo`, counted walking over every row
    // (Andadas: the rows walked).
    int Copias(int codigo)
    {
        int n = 0;
        Andadas = 0;
        for (Ds.First(); !Ds.Eof(); Ds.Next(), ++Andadas)
            n += Ds.FieldByName("CODIGO").AsInteger() == codigo;
        return n;
    }
    int Andadas = 0;

    static inline const TnDefCampo kCampos[] = {{.Nome = "CODIGO", .Tipo = ftInteger, .Requerido = true},
                                                {.Nome = "NOME", .Tipo = ftString, .Tamanho = 40}};
    std::shared_ptr<TnFonteMemoria> Fonte;
    TnClientDataSet Ds;
};

TEST_F(Pacotes, AbreComUmPacoteEAvancaPelaFronteira)
{
    Abrir();
    EXPECT_EQ(Ds.RecordCount(), 100);
    EXPECT_EQ(Fonte->Pacotes, 1);
    EXPECT_FALSE(Ds.TodosLidos());
    EXPECT_FALSE(Ds.IsEmpty());
    EXPECT_EQ(Fonte->Pacotes, 1);

    Ds.SetRecNo(100);
    EXPECT_EQ(Ds.FieldByName("CODIGO").AsInteger(), 1000);
    Ds.Next(); // past the last row read: the next packet
    EXPECT_FALSE(Ds.Eof());
    EXPECT_EQ(Ds.RecNo(), 101);
    EXPECT_EQ(Ds.FieldByName("CODIGO").AsInteger(), 1010);
    EXPECT_EQ(Ds.RecordCount(), 200);
    EXPECT_EQ(Ds.MoveBy(250), 250);
    EXPECT_EQ(Ds.FieldByName("CODIGO").AsInteger(), 3510);

    int linhas = 0, anterior = 0;
    bool emOrdem = true;
    for (Ds.First(); !Ds.Eof(); Ds.Next()) {
        emOrdem = emOrdem && Ds.FieldByName("CODIGO").AsInteger() > anterior;
        anterior = Ds.FieldByName("CODIGO").AsInteger();
        ++linhas;
    }
    EXPECT_TRUE(emOrdem);
    EXPECT_EQ(linhas, 3000);
    EXPECT_TRUE(Ds.TodosLidos());
    EXPECT_EQ(Fonte->Pacotes, 31); // 30 full ones, then one that finds nothing left

    // An empty first packet is an empty dataset, with every row read.
    Fonte->Tabela.clear();
    Ds.Close();
    Abrir();
    EXPECT_TRUE(Ds.IsEmpty());
    EXPECT_TRUE(Ds.TodosLidos());
    EXPECT_TRUE(Ds.Eof());
}

TEST_F(Pacotes, OperacoesSobreTodasAsLinhasLeemORestoAntes)
{
    Abrir();
    Ds.Last();
    EXPECT_TRUE(Ds.TodosLidos());
    EXPECT_EQ(Ds.RecordCount(), 3000);
    EXPECT_EQ(Ds.FieldByName("CODIGO").AsInteger(), 30000);
    EXPECT_EQ(Fonte->Pacotes, 2); // the rest in one go

    // Locate reads packet by packet until found; not found reads everything.
    Ds.Close();
    Abrir();
    EXPECT_TRUE(Ds.Locate("NOME", QStringLiteral("Nome 1234")));
    EXPECT_EQ(Ds.FieldByName("CODIGO").AsInteger(), 12340);
    EXPECT_EQ(Ds.RecordCount(), 1300);
    EXPECT_FALSE(Ds.Locate("NOME", QStringLiteral("Nome 9999")));
    EXPECT_TRUE(Ds.TodosLidos());
    EXPECT_EQ(Ds.FieldByName("CODIGO").AsInteger(), 12340);

    // FindKey likewise, through the index.
    Ds.Close();
    Ds.SetIndexFieldNames("CODIGO");
    Abrir();
    EXPECT_TRUE(Ds.FindKey({2550}));
    EXPECT_EQ(Ds.RecordCount(), 300);
    EXPECT_FALSE(Ds.FindKey({2555}));
    EXPECT_TRUE(Ds.TodosLidos());

    // Ranges, filters, another index and clones need every row.
    auto reaberto = [&] {
        Ds.Close();
        Abrir();
        return Ds.RecordCount() == 100;
    };
    ASSERT_TRUE(reaberto());
    Ds.SetRange({29000}, {29990});
    EXPECT_EQ(Ds.RecordCount(), 100);
    EXPECT_TRUE(Ds.TodosLidos());
    Ds.CancelRange();
    ASSERT_TRUE(reaberto());
    Ds.SetFilter("CODIGO > 29500");
    Ds.SetFiltered(true);
    EXPECT_EQ(Ds.RecordCount(), 50);
    Ds.SetFiltered(false);
    ASSERT_TRUE(reaberto());
    Ds.SetIndexFieldNames("NOME");
    EXPECT_EQ(Ds.RecordCount(), 3000);
    Ds.SetIndexFieldNames("CODIGO");
    ASSERT_TRUE(reaberto());
    TnClientDataSet clone;
    clone.CloneCursor(Ds);
    EXPECT_EQ(clone.RecordCount(), 3000);
    EXPECT_EQ(Ds.RecordCount(), 3000);
}

TEST_F(Pacotes, LinhaSalvaAlemDaFronteiraNaoSeRepete)
{
    Ds.SetIndexFieldNames("CODIGO");
    Abrir();
    // Saved here and in the table (as the register does), far beyond the rows read.
    Ds.Append();
    Ds.FieldByName("CODIGO").SetAsInteger(25005);
    Ds.FieldByName("NOME").SetAsString(QStringLiteral("Nova"));
    Ds.Post();
    Ds.MergeChangeLog();
    Fonte->Tabela[25005] = QStringLiteral("Nova");
    // An edit that moves a read row's key beyond them, saved too.
    Ds.First();
    Ds.Edit();
    Ds.FieldByName("CODIGO").SetAsInteger(27005);
    Ds.Post();
    Ds.MergeChangeLog();
    Fonte->Tabela.erase(10);
    Fonte->Tabela[27005] = QStringLiteral("Nome 1");
    // A new row given up: the table's row of that key (saved by someone else) must come.
    Ds.Append();
    Ds.FieldByName("CODIGO").SetAsInteger(28005);
    Ds.Post();
    Ds.CancelUpdates();
    Fonte->Tabela[28005] = QStringLiteral("De outro");

    // The first walk reads the packets on the way: the rows they bring before the saved
    // ones are walked too, not passed over.
    EXPECT_EQ(Copias(25005), 1);
    EXPECT_EQ(Andadas, int(Fonte->Tabela.size()));
    EXPECT_EQ(Copias(27005), 1);
    EXPECT_EQ(Copias(28005), 1);
    EXPECT_EQ(Ds.RecordCount(), int(Fonte->Tabela.size()));
    ASSERT_TRUE(Ds.Locate("CODIGO", 28005));
    EXPECT_EQ(Ds.FieldByName("NOME").AsString(), QStringLiteral("De outro"));
    // In the index's order, also after the rows that came around the saved ones.
    int anterior = 0;
    for (Ds.First(); !Ds.Eof(); Ds.Next()) {
        ASSERT_GT(Ds.FieldByName("CODIGO").AsInteger(), anterior);
        anterior = Ds.FieldByName("CODIGO").AsInteger();
    }
}

TEST_F(Pacotes, LinhasLidasExcluidasNaoEsvaziamOConjunto)
{
    Abrir();
    while (Ds.RecordCount() > 0 && Ds.RecNo() <= 100 && Ds.FieldByName("CODIGO").AsInteger() <= 1000)
        Ds.Delete();
    // Every row read is gone; asking whether it is empty reads on.
    EXPECT_FALSE(Ds.IsEmpty());
    EXPECT_EQ(Ds.FieldByName("CODIGO").AsInteger(), 1010);
    EXPECT_EQ(Ds.ChangeCount(), 100);
}

TEST_F(Pacotes, GradePedeMaisAoRolar)
{
    Abrir();
    QObject dono;
    TnModeloDataSet modelo(Ds, &dono);
    EXPECT_EQ(modelo.rowCount(), 100);
    ASSERT_TRUE(modelo.canFetchMore(QModelIndex()));
    std::vector<std::pair<int, int>> inseridas;
    int reinicios = 0;
    QObject::connect(&modelo, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex &, int ini, int fim) { inseridas.emplace_back(ini, fim); });
    QObject::connect(&modelo, &QAbstractItemModel::modelReset, [&] { ++reinicios; });
    modelo.fetchMore(QModelIndex());
    EXPECT_EQ(modelo.rowCount(), 200);
    EXPECT_EQ(inseridas, (std::vector<std::pair<int, int>>{{100, 199}}));
    EXPECT_EQ(reinicios, 0);
    EXPECT_EQ(modelo.data(modelo.index(150, 0)).toString(), QStringLiteral("1510"));
    EXPECT_EQ(Ds.RecNo(), 1); // the grid reads on without moving the dataset
    Ds.Last();
    EXPECT_FALSE(modelo.canFetchMore(QModelIndex()));
    EXPECT_EQ(modelo.rowCount(), 3000);
}

TEST(PacotesOrdem, OrdemDoComandoEmColunasDeSaida)
{
    TnOrdemComando r;
    ASSERT_TRUE(SepararOrdem("Select t_t.A, t_t.B, cast(null as numeric(10,0)) as C, (t_t.A * t_t.B) D "
                             "from T t_t where t_t.X = 'order by Z' order by t_t.B, t_t.A asc;",
                             r));
    EXPECT_EQ(r.Base, QStringLiteral("Select t_t.A, t_t.B, cast(null as numeric(10,0)) as C, (t_t.A * t_t.B) D "
                                     "from T t_t where t_t.X = 'order by Z'"));
    EXPECT_EQ(r.Ordem, QStringList({"B", "A"}));
    EXPECT_EQ(r.Saidas, QStringList({"A", "B", "C", "D"}));
    // An output name, a renamed column, no order at all.
    ASSERT_TRUE(SepararOrdem("select x.A as CODIGO, x.B from T x order by CODIGO, x.B", r));
    EXPECT_EQ(r.Ordem, QStringList({"CODIGO", "B"}));
    ASSERT_TRUE(SepararOrdem("select A from T -- order by A\n", r));
    EXPECT_TRUE(r.Ordem.isEmpty());

    // Orders that do not map to plain ascending output columns, and statements that a
    // wrapping would change.
    for (const char *sql : {"select A, B from T order by B desc", "select A, B from T order by A + B",
                            "select A, B from T order by 2", "select A from T order by A nulls first",
                            "select x.B as A, x.A as B from T x order by x.C",
                            "select * from T order by A", "select x.* from T x order by x.A",
                            "select \"A\" from T order by A", "select A from T order by A limit 10",
                            "select A from T union select A from U order by A", "select A, A from T order by A",
                            "select A from T where B = 'x order by A"})
        EXPECT_FALSE(SepararOrdem(QString::fromLatin1(sql), r)) << sql;
}

} // namespace
