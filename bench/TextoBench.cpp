// Statement texts of many statements (as processes build them with literals) and statement
// blocks: N single-row updates run as one text through the connection, and added one by one
// to a TBlockCommand, each against the same updates bound per row to one prepared statement
// of the engine's C interface (pipelined on PostgreSQL). Sizes 10,000 to 100,000 statements:
// the time per statement ("us_por_comando") must not grow with the length of the text.
#include "BenchComum.h"
#include "SQLDataSet.h"

#include <charconv>
#include <map>

namespace {

constexpr int kMaiorTexto = 100000;

TnBancoBench &Tabela(TTipoCon tipo)
{
    static std::map<TTipoCon, std::unique_ptr<TnBancoBench>> bancos;
    auto &b = bancos[tipo];
    if (!b) {
        b = std::make_unique<TnBancoBench>(tipo, "texto");
        b->Con().Executar("create table T (ID integer not null primary key, V numeric(18,2) not null)");
        TnTransacao t(1, b->Con());
        auto cmd = b->Con().Preparar("insert into T (ID, V) values (?, 0)");
        for (int i = 0; i < kMaiorTexto; ++i) {
            cmd->BindInteiro(0, i);
            cmd->Executar();
        }
        t.Commit();
    }
    return *b;
}

// The value row i gets in round r, as literal text (two decimals).
QString Valor(int i, int r) { return QString::number((i % 1000 + r) / 100.0, 'f', 2); }

QStringList Comandos(int n, int r)
{
    QStringList l;
    l.reserve(n);
    for (int i = 0; i < n; ++i)
        l << QStringLiteral("update T set V = %1 where ID = %2").arg(Valor(i, r)).arg(i);
    return l;
}

void BrutoSQLite(sqlite3 *db, int n, int r)
{
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *st = PrepararSqlite(db, "update T set V = ? where ID = ?");
    for (int i = 0; i < n; ++i) {
        sqlite3_bind_double(st, 1, (i % 1000 + r) / 100.0);
        sqlite3_bind_int(st, 2, i);
        PassoSqlite(db, st);
    }
    sqlite3_finalize(st);
    ExecSqlite(db, "COMMIT");
}

void BrutoPg(PGconn *c, int n, int r)
{
    ExecPg(c, "BEGIN");
    PGresult *p = PQprepare(c, "bench_texto", "update T set V = $1 where ID = $2", 2, nullptr);
    ChecarPg(c, p, "prepare");
    PQclear(p);
    PQenterPipelineMode(c);
    char v[32], id[16];
    const char *valores[2] = {v, id};
    for (int i = 0; i < n; ++i) {
        const QByteArray t = Valor(i, r).toLatin1();
        std::memcpy(v, t.constData(), size_t(t.size()) + 1);
        *std::to_chars(id, id + 15, i).ptr = 0;
        PQsendQueryPrepared(c, "bench_texto", 2, valores, nullptr, nullptr, 0);
        if ((i + 1) % 1000 == 0 || i + 1 == n) {
            PQpipelineSync(c);
            for (;;) {
                PGresult *res = PQgetResult(c);
                if (!res)
                    continue;
                const bool sync = PQresultStatus(res) == PGRES_PIPELINE_SYNC;
                ChecarPg(c, res, "update");
                PQclear(res);
                if (sync)
                    break;
            }
        }
    }
    PQexitPipelineMode(c);
    ExecPg(c, "DEALLOCATE bench_texto");
    ExecPg(c, "COMMIT");
}

enum TnForma { fmTexto, fmBloco };

void Medir(benchmark::State &state, TTipoCon tipo, TnForma forma)
{
    TnBancoBench &b = Tabela(tipo);
    const int n = int(state.range(0));
    int rodada = 0;
    QString texto;
    TBlockCommand bloco(tipo);
    TnLado fw{[&] {
                  ++rodada;
                  if (forma == fmTexto) {
                      texto = Comandos(n, rodada).join(QStringLiteral(";\n"));
                  } else {
                      bloco.Clear();
                      for (const QString &c : Comandos(n, rodada))
                          bloco.Add(c);
                  }
              },
              [&] {
                  if (forma == fmTexto) {
                      TnTransacao t(1, b.Con());
                      b.Con().Executar(texto);
                      t.Commit();
                  } else {
                      bloco.Executar(b.Con());
                  }
              }};
    TnLado bruto{[&] { ++rodada; },
                 [&] { tipo == tcSQLite ? BrutoSQLite(b.Lite(), n, rodada) : BrutoPg(b.Pg(), n, rodada); }};
    Alternar(state, fw, bruto, [&] { b.Checkpoint(); });
    state.counters["us_por_comando"] = state.counters["fw_med_ms"] * 1000.0 / n;
}

int Registrar()
{
    const auto ajustar = [](benchmark::internal::Benchmark *b) {
        b->Arg(10000)->Arg(20000)->Arg(40000)->Arg(kMaiorTexto)->Unit(benchmark::kMillisecond)->Iterations(1);
    };
    RegistrarPorMotor("BM_TextoDeComandos", [](benchmark::State &s, TTipoCon t) { Medir(s, t, fmTexto); }, ajustar);
    RegistrarPorMotor("BM_BlocoDeComandos", [](benchmark::State &s, TTipoCon t) { Medir(s, t, fmBloco); }, ajustar);
    return 0;
}
const int gRegistro = Registrar();

} // namespace
