// A generated company of inventory entries, each with one property line, on the embedded
// database: writing them through the framework's prepared statements, opening them in a
// client dataset and applying edits through the provider, each against the same work done
// directly with SQLite's C interface. Rows: ORVO_BENCH_LINHAS (default 1,000,000).
//
// The ratios the project holds: insert and apply within 1.5x of the C interface, opening
// within 2x, and under 400 MB for the open rows (counter "MB" of the opening case).
#include "BenchComum.h"
#include "ClientDataSet.h"
#include "ConversaoBanco.h"
#include "ExecutarSQL.h"
#include "Provider.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstring>

namespace {

int Linhas()
{
    static const int n = qEnvironmentVariableIsSet("ORVO_BENCH_LINHAS") ? qEnvironmentVariableIntValue("ORVO_BENCH_LINHAS")
                                                                        : 1000000;
    return n;
}
int Produtos() { return std::max(1, Linhas() / 50); }
constexpr int Edicoes = 100000;

// Entry i: branch 1..5, one of ten month-ends, product; the key stays unique.
struct Lcto {
    int estab;
    char data[11];
    qint64 produto;
    double qtde, preco, icms;
};
Lcto Gerar(int i)
{
    Lcto l{};
    l.estab = i % 5 + 1;
    const int r = i / 5;
    static const char *datas[10] = {"2024-01-31", "2024-02-29", "2024-03-31", "2024-04-30", "2024-05-31",
                                    "2024-06-30", "2024-07-31", "2024-08-31", "2024-09-30", "2024-10-31"};
    std::memcpy(l.data, datas[r % 10], 11);
    l.produto = r / 10 + 1;
    l.qtde = 1 + (i % 97) * 0.5;
    l.preco = 2.5 + (i % 13) * 1.25;
    l.icms = (i % 7) * 1.1;
    return l;
}

// The entry at position k in key order (branch, date, product), as the dataset sorts them.
Lcto NaOrdem(int k)
{
    const int p = Produtos();
    const int estab = k / (10 * p) + 1, data = (k / p) % 10, produto = k % p + 1;
    return Gerar(((produto - 1) * 10 + data) * 5 + estab - 1);
}

std::unique_ptr<nDMConexao> Abrir(const QString &arquivo)
{
    GarantirApp();
    TnConfigBanco c;
    c.Tipo = tcSQLite;
    c.Arquivo = Pasta().filePath(arquivo);
    return std::make_unique<nDMConexao>(c);
}

// A converted database (its sample company is number 1) with the company's products,
// ready for entries.
std::unique_ptr<nDMConexao> BancoVazio(const QString &arquivo)
{
    QFile::remove(Pasta().filePath(arquivo));
    QFile::remove(Pasta().filePath(arquivo + "-wal"));
    auto con = Abrir(arquivo);
    ConverterBanco(*con);
    TnTransacao t(1, *con);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, ?)");
    for (int i = 1; i <= Produtos(); ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("Produto %1").arg(i));
        p->Executar();
    }
    t.Commit();
    return con;
}

const char *SqlLcto = "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                      "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, "
                      "ORIGEMDADO) values (1, ?, ?, ?, 1, ?, ?, ?, 0, 0, ?, 1, 2)";
const char *SqlProp = "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                      "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                      "values (1, ?, ?, ?, 1, 1, 0, ?, ?)";
const char *SqlAbrir = "select CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
                       "PRECOUNIT, VALORIR, VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, DATAHORALCTOINV, "
                       "CODIGOUSUARIO, VALORMEDIOICMS, VALORMEDIOBCICMSST, VALORMEDIOICMSST, VALORMEDIOFCP, "
                       "ORIGEMDADO, IDSYN from LCTOINV t_t "
                       "order by CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO";

// Framework: two prepared statements, one transaction.
void InserirFramework(nDMConexao &con)
{
    TnTransacao t(1, con);
    auto l = con.Preparar(SqlLcto);
    auto p = con.Preparar(SqlProp);
    const QDateTime agora(QDate(2024, 11, 5), QTime(9, 30));
    for (int i = 0; i < Linhas(); ++i) {
        const Lcto g = Gerar(i);
        const QDate data = QDate::fromString(QLatin1String(g.data), Qt::ISODate);
        l->BindInteiro(0, g.estab);
        l->BindData(1, data);
        l->BindInteiro(2, g.produto);
        l->BindReal(3, g.qtde);
        l->BindReal(4, g.preco);
        l->BindReal(5, g.icms);
        l->BindDataHora(6, agora);
        l->Executar();
        p->BindInteiro(0, g.estab);
        p->BindData(1, data);
        p->BindInteiro(2, g.produto);
        p->BindReal(3, g.qtde);
        p->BindReal(4, g.preco);
        p->Executar();
    }
    t.Commit();
}

void Checar(sqlite3 *db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

// The same rows with the C interface alone.
void InserirDireto(sqlite3 *db)
{
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt *l = nullptr, *p = nullptr;
    Checar(db, sqlite3_prepare_v2(db, SqlLcto, -1, &l, nullptr));
    Checar(db, sqlite3_prepare_v2(db, SqlProp, -1, &p, nullptr));
    for (int i = 0; i < Linhas(); ++i) {
        const Lcto g = Gerar(i);
        sqlite3_bind_int(l, 1, g.estab);
        sqlite3_bind_text(l, 2, g.data, 10, SQLITE_STATIC);
        sqlite3_bind_int64(l, 3, g.produto);
        sqlite3_bind_double(l, 4, g.qtde);
        sqlite3_bind_double(l, 5, g.preco);
        sqlite3_bind_double(l, 6, g.icms);
        sqlite3_bind_text(l, 7, "2024-11-05 09:30:00", -1, SQLITE_STATIC);
        Checar(db, sqlite3_step(l));
        sqlite3_reset(l);
        sqlite3_bind_int(p, 1, g.estab);
        sqlite3_bind_text(p, 2, g.data, 10, SQLITE_STATIC);
        sqlite3_bind_int64(p, 3, g.produto);
        sqlite3_bind_double(p, 4, g.qtde);
        sqlite3_bind_double(p, 5, g.preco);
        Checar(db, sqlite3_step(p));
        sqlite3_reset(p);
    }
    sqlite3_finalize(l);
    sqlite3_finalize(p);
    Checar(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
}

sqlite3 *Handle(nDMConexao &con) { return static_cast<sqlite3 *>(con.HandleSQLite()); }

void BM_InserirFramework(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto con = BancoVazio("inserir.db");
        state.ResumeTiming();
        InserirFramework(*con);
    }
    state.counters["linhas"] = 2.0 * Linhas();
}

void BM_InserirDireto(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto con = BancoVazio("inserir.db");
        state.ResumeTiming();
        InserirDireto(Handle(*con));
    }
    state.counters["linhas"] = 2.0 * Linhas();
}

// The database the opening and applying cases read, filled once.
nDMConexao &Cheio()
{
    static std::unique_ptr<nDMConexao> con;
    if (!con) {
        con = BancoVazio("cheio.db");
        InserirDireto(Handle(*con));
        nDMConexao::DefinirAtual(con.get());
    }
    return *con;
}

void BM_AbrirFramework(benchmark::State &state)
{
    nDMConexao &con = Cheio();
    long mb = 0;
    for (auto _ : state) {
        const long antes = MemoriaResidenteMB();
        auto ds = ExecutarSQL(SqlAbrir);
        mb = MemoriaResidenteMB() - antes;
        if (ds->RecordCount() != Linhas())
            state.SkipWithError("linhas a menos");
        state.PauseTiming();
        ds.reset();
        state.ResumeTiming();
    }
    (void)con;
    state.counters["MB"] = double(mb);
}

// The C interface reading every column of every row into memory (a vector of rows).
struct LinhaLida {
    qint64 i[8];
    double d[9];
    std::string obs, data, dataHora;
};
void BM_AbrirDireto(benchmark::State &state)
{
    sqlite3 *db = Handle(Cheio());
    for (auto _ : state) {
        std::vector<LinhaLida> linhas;
        sqlite3_stmt *st = nullptr;
        Checar(db, sqlite3_prepare_v2(db, SqlAbrir, -1, &st, nullptr));
        while (sqlite3_step(st) == SQLITE_ROW) {
            LinhaLida l;
            const int inteiros[] = {0, 1, 3, 4, 13, 18, 19};
            for (int k = 0; k < 7; ++k)
                l.i[k] = sqlite3_column_int64(st, inteiros[k]);
            const int reais[] = {5, 6, 7, 8, 9, 10, 14, 15, 16, 17};
            for (int k = 0; k < 9; ++k)
                l.d[k] = sqlite3_column_double(st, reais[k]);
            if (auto *t = sqlite3_column_text(st, 11))
                l.obs = reinterpret_cast<const char *>(t);
            l.data = reinterpret_cast<const char *>(sqlite3_column_text(st, 2));
            l.dataHora = reinterpret_cast<const char *>(sqlite3_column_text(st, 12));
            linhas.push_back(std::move(l));
        }
        sqlite3_finalize(st);
        if (int(linhas.size()) != Linhas())
            state.SkipWithError("linhas a menos");
        state.PauseTiming();
        linhas = {};
        state.ResumeTiming();
    }
}

// Every tenth entry gets a new quantity; the edits are then applied in one transaction.
// The baseline runs the statement the provider writes (key columns as parameters).
void BM_AplicarFramework(benchmark::State &state)
{
    nDMConexao &con = Cheio();
    int rodada = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto ds = ExecutarSQL(SqlAbrir);
        TnDataSetProvider provider("LCTOINV", upWhereKeyOnly);
        provider.SetConexao(&con);
        provider.SetKeyFields("CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO");
        ds->SetProvider(&provider);
        ++rodada;
        state.ResumeTiming();
        TnField &qtde = ds->FieldByName("QTDEESTOQUE");
        const int passo = std::max(1, Linhas() / Edicoes);
        for (int n = 0; n < std::min(Edicoes, Linhas()); ++n) {
            ds->SetRecNo(n * passo + 1);
            ds->Edit();
            qtde.SetAsFloat(qtde.AsFloat() + rodada);
            ds->Post();
        }
        if (ds->ApplyUpdates(0) != 0)
            state.SkipWithError("erro ao aplicar");
        state.PauseTiming();
        ds.reset();
        state.ResumeTiming();
    }
}

void BM_AplicarDireto(benchmark::State &state)
{
    sqlite3 *db = Handle(Cheio());
    int rodada = 0;
    for (auto _ : state) {
        ++rodada;
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt *st = nullptr;
        Checar(db, sqlite3_prepare_v2(db,
                                      "UPDATE LCTOINV SET QTDEESTOQUE = ? WHERE CODIGOEMPRESA = ? AND CODIGOESTAB = ? "
                                      "AND DATAINVENT = ? AND CODIGOPRODUTO = ? AND MOTIVOINVENTARIO = ?",
                                      -1, &st, nullptr));
        const int passo = std::max(1, Linhas() / Edicoes);
        for (int n = 0; n < std::min(Edicoes, Linhas()); ++n) {
            const Lcto g = NaOrdem(n * passo);
            sqlite3_bind_double(st, 1, g.qtde + rodada);
            sqlite3_bind_int(st, 2, 1);
            sqlite3_bind_int(st, 3, g.estab);
            sqlite3_bind_text(st, 4, g.data, 10, SQLITE_STATIC);
            sqlite3_bind_int64(st, 5, g.produto);
            sqlite3_bind_int(st, 6, 1);
            Checar(db, sqlite3_step(st));
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        Checar(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
    }
}

} // namespace

BENCHMARK(BM_InserirFramework)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_InserirDireto)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_AbrirFramework)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_AbrirDireto)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_AplicarFramework)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_AplicarDireto)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
