// Client dataset: opening a million rows of twenty columns against reading the same cursor,
// the memory they take, and writing 100,000 edited rows through the provider against the
// same prepared UPDATEs run directly.
#include "BenchComum.h"
#include "ClientDataSet.h"
#include "Conexao.h"
#include "Provider.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

// Rows made up on the fly: 3 small integers, 3 integers, 2 64-bit integers, 4 numerics,
// 4 doubles, 2 dates, 1 timestamp and a short text.
class CursorGerado : public TnCursor {
public:
    explicit CursorGerado(int linhas) : FLinhas(linhas)
    {
        for (int i = 0; i < 1000; ++i)
            FTextos.push_back(QStringLiteral("PROD%1").arg(i));
        const TFieldType tipos[] = {ftSmallint, ftSmallint, ftSmallint, ftInteger, ftInteger, ftInteger, ftLargeint,
                                    ftLargeint, ftBCD,      ftBCD,      ftBCD,      ftBCD,     ftFloat,   ftFloat,
                                    ftFloat,    ftFloat,    ftDate,     ftDate,     ftDateTime, ftString};
        for (int i = 0; i < 20; ++i) {
            TnColunaInfo c;
            c.Nome = QStringLiteral("C%1").arg(i);
            c.Tipo = tipos[i];
            c.Precisao = c.Tipo == ftBCD ? 18 : 0;
            c.Escala = c.Tipo == ftBCD ? 2 : 0;
            c.Tamanho = c.Tipo == ftString ? 10 : 0;
            FColunas.push_back(c);
        }
    }
    int Colunas() const override { return int(FColunas.size()); }
    const TnColunaInfo &Coluna(int i) const override { return FColunas[i]; }
    bool Proximo() override { return ++FLinha < FLinhas; }
    bool Nulo(int i) override { return i == 7 && FLinha % 10 == 0; }
    qint64 Inteiro(int i) override { return (FLinha * 7 + i) % 30000; }
    double Real(int i) override { return double((FLinha * 13 + i) % 1000000) / 100.0; }
    QString Texto(int i) override { return i == 19 ? FTextos[FLinha % 1000] : QString::number(Real(i), 'f', 2); }
    QDate Data(int) override { return QDate::fromJulianDay(2458850 + FLinha % 1000); }
    // A timestamp in UTC: a local one costs microseconds to build, which would hide what
    // the dataset itself costs.
    QDateTime DataHora(int) override
    {
        return QDateTime(Data(0), QTime::fromMSecsSinceStartOfDay(36000000 + FLinha % 3600 * 1000), Qt::UTC);
    }

private:
    std::vector<TnColunaInfo> FColunas;
    std::vector<QString> FTextos;
    int FLinhas;
    int FLinha = -1;
};

constexpr int kMilhao = 1000000;

// Reads every value the way the dataset does, and keeps nothing.
qint64 LerTudo(TnCursor &c)
{
    qint64 soma = 0;
    while (c.Proximo()) {
        for (int i = 0; i < c.Colunas(); ++i) {
            if (c.Nulo(i))
                continue;
            switch (c.Coluna(i).Tipo) {
            case ftFloat:
            case ftBCD: soma += qint64(c.Real(i)); break;
            case ftDate: soma += c.Data(i).toJulianDay(); break;
            case ftDateTime: soma += c.DataHora(i).time().second(); break;
            case ftString: soma += c.Texto(i).size(); break;
            default: soma += c.Inteiro(i); break;
            }
        }
    }
    return soma;
}

void LerCursorMilhao(benchmark::State &estado)
{
    for (auto _ : estado) {
        CursorGerado c(kMilhao);
        benchmark::DoNotOptimize(LerTudo(c));
    }
    estado.SetItemsProcessed(estado.iterations() * kMilhao);
}
BENCHMARK(LerCursorMilhao)->Unit(benchmark::kMillisecond);

void CarregarDataSetMilhao(benchmark::State &estado)
{
    double mb = 0;
    for (auto _ : estado) {
        const size_t antes = mallinfo2().uordblks + mallinfo2().hblkhd;
        CursorGerado c(kMilhao);
        TnClientDataSet ds;
        ds.CarregarDe(c);
        mb = double(mallinfo2().uordblks + mallinfo2().hblkhd - antes) / (1024.0 * 1024.0);
        benchmark::DoNotOptimize(ds.RecordCount());
        estado.PauseTiming(); // freeing is not part of opening
        ds.Close();
        estado.ResumeTiming();
    }
    estado.counters["MB"] = mb;
    estado.SetItemsProcessed(estado.iterations() * kMilhao);
}
BENCHMARK(CarregarDataSetMilhao)->Unit(benchmark::kMillisecond);

// ---- writing 100,000 edited rows

constexpr int kEditadas = 100000;

struct Banco {
    QTemporaryDir dir;
    std::unique_ptr<nDMConexao> con;
    Banco()
    {
        GarantirApp();
        TnConfigBanco c;
        c.Arquivo = dir.filePath("bench.db");
        con = std::make_unique<nDMConexao>(c);
        con->Executar("create table T (ID integer not null primary key, A integer, V numeric(18,2), "
                      "NOME varchar(20), DATA date)");
        TnTransacao tr(1, *con);
        auto cmd = con->Preparar("insert into T (ID, A, V, NOME, DATA) values (?, ?, ?, ?, ?)");
        for (int i = 0; i < kEditadas; ++i) {
            cmd->BindInteiro(0, i);
            cmd->BindInteiro(1, i % 17);
            cmd->BindReal(2, i / 100.0);
            cmd->BindTexto(3, QStringLiteral("nome %1").arg(i));
            cmd->BindData(4, QDate(2020, 1, 1));
            cmd->Executar();
        }
        tr.Commit();
    }
};

void UpdatesDiretos(benchmark::State &estado)
{
    Banco b;
    int volta = 0;
    for (auto _ : estado) {
        ++volta;
        TnTransacao tr(1, *b.con);
        auto cmd = b.con->Preparar("update T set V = ? where ID = ?");
        for (int i = 0; i < kEditadas; ++i) {
            cmd->BindReal(0, (i + volta) / 100.0);
            cmd->BindInteiro(1, i);
            if (cmd->Executar() != 1)
                estado.SkipWithError("linha não encontrada");
        }
        tr.Commit();
    }
    estado.SetItemsProcessed(estado.iterations() * kEditadas);
}
BENCHMARK(UpdatesDiretos)->Unit(benchmark::kMillisecond);

void ApplyUpdatesEditadas(benchmark::State &estado)
{
    Banco b;
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger, .Flags = pfPadrao | pfInKey},
                                 {.Nome = "A", .Tipo = ftInteger},
                                 {.Nome = "V", .Tipo = ftBCD, .Precisao = 18, .Escala = 2},
                                 {.Nome = "NOME", .Tipo = ftString, .Tamanho = 20},
                                 {.Nome = "DATA", .Tipo = ftDate}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CarregarDe(b.con->Preparar("select ID, A, V, NOME, DATA from T")->Abrir());
    TnDataSetProvider prov("T");
    prov.SetConexao(b.con.get());
    ds.SetProvider(&prov);
    TnField &v = ds.FieldByName("V");
    int volta = 0;
    for (auto _ : estado) {
        estado.PauseTiming();
        ++volta;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            ds.Edit();
            v.SetAsFloat((ds.RecNo() + volta) / 100.0);
            ds.Post();
        }
        estado.ResumeTiming();
        if (ds.ApplyUpdates(0) != 0 || ds.ChangeCount() != 0)
            estado.SkipWithError("falhou");
    }
    estado.SetItemsProcessed(estado.iterations() * kEditadas);
}
BENCHMARK(ApplyUpdatesEditadas)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The same million rows read from the embedded database: the cursor alone, then into a
// dataset. Built once for both.
struct BancoMilhao : Banco {
    BancoMilhao()
    {
        QStringList colunas, marcas;
        const char *tipos[] = {"smallint", "smallint", "smallint", "integer", "integer", "integer", "bigint",
                               "bigint", "numeric(18,2)", "numeric(18,2)", "numeric(18,2)", "numeric(18,2)",
                               "double precision", "double precision", "double precision", "double precision",
                               "date", "date", "timestamp", "varchar(10)"};
        for (int i = 0; i < 20; ++i) {
            colunas << QStringLiteral("C%1 %2").arg(i).arg(tipos[i]);
            marcas << "?";
        }
        con->Executar("create table M (" + colunas.join(", ") + ")");
        TnTransacao tr(1, *con);
        auto cmd = con->Preparar("insert into M values (" + marcas.join(",") + ")");
        CursorGerado g(kMilhao);
        while (g.Proximo()) {
            for (int i = 0; i < 20; ++i) {
                if (g.Nulo(i))
                    cmd->BindNulo(i);
                else if (i == 19)
                    cmd->BindTexto(i, g.Texto(i));
                else if (i >= 16)
                    i == 18 ? cmd->BindDataHora(i, g.DataHora(i)) : cmd->BindData(i, g.Data(i));
                else if (i >= 8)
                    cmd->BindReal(i, g.Real(i));
                else
                    cmd->BindInteiro(i, g.Inteiro(i));
            }
            cmd->Executar();
        }
        tr.Commit();
    }
    static BancoMilhao &Unico()
    {
        static BancoMilhao b;
        return b;
    }
};

void LerSQLiteMilhao(benchmark::State &estado)
{
    auto &b = BancoMilhao::Unico();
    for (auto _ : estado) {
        auto cmd = b.con->Preparar("select * from M");
        benchmark::DoNotOptimize(LerTudo(cmd->Abrir()));
    }
    estado.SetItemsProcessed(estado.iterations() * kMilhao);
}
BENCHMARK(LerSQLiteMilhao)->Unit(benchmark::kMillisecond);

void CarregarSQLiteMilhao(benchmark::State &estado)
{
    auto &b = BancoMilhao::Unico();
    for (auto _ : estado) {
        TnClientDataSet ds;
        auto cmd = b.con->Preparar("select * from M");
        ds.CarregarDe(cmd->Abrir());
        benchmark::DoNotOptimize(ds.RecordCount());
        estado.PauseTiming();
        ds.Close();
        estado.ResumeTiming();
    }
    estado.SetItemsProcessed(estado.iterations() * kMilhao);
}
BENCHMARK(CarregarSQLiteMilhao)->Unit(benchmark::kMillisecond);

} // namespace
