#pragma once
// What the benchmark cases share: the Qt application object that Qt's SQL drivers (plugins)
// need, one temporary folder for the generated databases, the sizes and rounds from the
// environment, the engines to run on, the company and branch a case works in, and the rounds
// of a comparison between the framework and the engine's own C interface doing the same work.
//
// Environment:
//   ORVO_BENCH_LINHAS    entries of the large cases (default 1,000,000)
//   ORVO_BENCH_RODADAS   timed rounds of each side of a comparison made with Alternar
//                        (default 5, at least 5)
//   ORVO_TESTE_PG_HOST, _PORT, _USER, _DB (and _PASSWORD): the PostgreSQL server the tests
//                        use; when set, the cases registered per engine run on it too
//                        (suffix "/pg").
#include "Bibliotecas.h"
#include "Conexao.h"
#include "ConversaoBanco.h"
#include "DMClientDataSet.h"
#include "Modulos.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "Variaveis.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QSqlDriver>
#include <cstring>
#include <functional>
#include <QUuid>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <malloc.h>
#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <functional>
#include <string>
#include <vector>

inline void GarantirApp()
{
    static int argc = 1;
    static char nome[] = "orvo_bench";
    static char *argv[] = {nome, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

inline QTemporaryDir &Pasta()
{
    static QTemporaryDir dir;
    return dir;
}

// Rows of the large cases: ORVO_BENCH_LINHAS, 1,000,000 unless set.
inline int LinhasBench()
{
    static const int n = qEnvironmentVariableIsSet("ORVO_BENCH_LINHAS") ? qEnvironmentVariableIntValue("ORVO_BENCH_LINHAS")
                                                                        : 1000000;
    return n;
}

// The raw side stops at an SQLite error: a comparison with a failed run means nothing.
inline void ChecarSqlite(sqlite3 *db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

// The raw side's statements: one run at once (BEGIN IMMEDIATE, COMMIT, ANALYZE), one
// prepared, and one prepared write stepped with the row's values bound and made ready for
// the next row's.
inline void ExecSqlite(sqlite3 *db, const char *sql) { ChecarSqlite(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)); }

inline sqlite3_stmt *PrepararSqlite(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *st = nullptr;
    ChecarSqlite(db, sqlite3_prepare_v2(db, sql, -1, &st, nullptr));
    return st;
}

inline void PassoSqlite(sqlite3 *db, sqlite3_stmt *st)
{
    ChecarSqlite(db, sqlite3_step(st));
    sqlite3_reset(st);
}

// Runs the process `classe` as the user does on the current connection: the libraries
// loaded, user 1 and company 1 chosen, the parameters typed, the run. Nothing else stays
// selected: the branch or date an earlier case of the same run chose would fill the
// process's parameters, and a run over every branch would cover one. A failure skips the
// benchmark with its message.
inline void RodarProcesso(benchmark::State &state, const QString &classe, const QStringList &bibliotecas,
                          const QList<std::pair<QString, QString>> &textos)
{
    for (const QString &b : bibliotecas)
        TnBibliotecas::Carregar(b);
    DefinirUsuarioConectado(1, QStringLiteral("ADMINISTRADOR"));
    Selecao().Reset();
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    Selecao().Refresh();
    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(classe));
    try {
        for (const auto &[alias, texto] : textos)
            dp->Param(alias).SetText(texto);
        dp->Rodar();
    } catch (const Exception &e) {
        static std::string erro; // the benchmark keeps the pointer
        erro = e.what();
        std::fprintf(stderr, "%s\n", erro.c_str());
        state.SkipWithError(erro.c_str());
    }
    DestruirDM(dp);
}

// The embedded database of that file in the temporary folder, opened as the program opens it.
inline std::unique_ptr<nDMConexao> AbrirBanco(const QString &arquivo)
{
    GarantirApp();
    TnConfigBanco c;
    c.Tipo = tcSQLite;
    c.Arquivo = Pasta().filePath(arquivo);
    return std::make_unique<nDMConexao>(c);
}

// A fresh copy of the closed database `base` as `copia`, opened (the copy's old files go).
inline std::unique_ptr<nDMConexao> CopiarBanco(const QString &base, const QString &copia)
{
    for (const char *fim : {"", "-wal", "-shm"})
        QFile::remove(Pasta().filePath(copia + QLatin1String(fim)));
    if (!QFile::copy(Pasta().filePath(base), Pasta().filePath(copia)))
        std::abort();
    return AbrirBanco(copia);
}

// Resident memory of the process, in MB.
inline long MemoriaResidenteMB()
{
    long paginas = 0, residentes = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &paginas, &residentes) != 2)
            residentes = 0;
        std::fclose(f);
    }
    return residentes * 4096 / (1024 * 1024);
}

inline sqlite3 *HandleSqlite(nDMConexao &con) { return static_cast<sqlite3 *>(con.HandleSQLite()); }

// A new embedded database `nome` in the benchmarks' folder (the files an earlier run left
// are removed), converted (sample company 1).
inline std::unique_ptr<nDMConexao> BancoNovo(const QString &nome)
{
    for (const char *fim : {"", "-wal", "-shm"})
        QFile::remove(Pasta().filePath(nome + QLatin1String(fim)));
    auto con = AbrirBanco(nome);
    ConverterBanco(*con);
    return con;
}

// The same, never destroyed: Qt's registry of connections may be gone before a static of a
// benchmark file would close it.
inline nDMConexao *NovoBancoConvertido(const QString &nome) { return BancoNovo(nome).release(); }

// Makes `con` current with OrvoCore loaded and the selection on company 1, branch 1 and,
// when given, the inventory date: where the user stands when a register or process opens.
inline void SelecionarEstab1(nDMConexao &con, const QDate &dataInvent = QDate())
{
    nDMConexao::DefinirAtual(&con);
    TnBibliotecas::Carregar("OrvoCore");
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    Selecao().GetParams("CodigoEstab").SetValue(1);
    if (dataInvent.isValid())
        Selecao().GetParams("DataInvent").SetValue(dataInvent);
    Selecao().Refresh();
}

// Makes a connection current while it lives, then gives back the one before.
class TnConexaoDoCaso {
public:
    explicit TnConexaoDoCaso(nDMConexao *con = nullptr) : FAntes(nDMConexao::AtualOuNulo()) { Definir(con); }
    ~TnConexaoDoCaso() { nDMConexao::DefinirAtual(FAntes); }
    void Definir(nDMConexao *con) { nDMConexao::DefinirAtual(con ? con : FAntes); }

private:
    nDMConexao *FAntes;
};

// The plan of a statement as EXPLAIN QUERY PLAN answers it, its steps joined by "; ".
// A new register of `classe`, as the program creates one by name (null for a class that is
// not a register).
inline TnDMClientDataSet *CadastroNovo(const QString &classe)
{
    return qobject_cast<TnDMClientDataSet *>(CriarDMNovo(classe));
}

inline QString PlanoSqlite(sqlite3 *db, const QByteArray &sql)
{
    sqlite3_stmt *st = PrepararSqlite(db, ("EXPLAIN QUERY PLAN " + sql).constData());
    QStringList linhas;
    while (sqlite3_step(st) == SQLITE_ROW)
        linhas << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3)));
    sqlite3_finalize(st);
    return linhas.join(QStringLiteral("; "));
}

// Products 1 to `produtos` of company 1 ("Produto <code>") and people 1 to `pessoas`
// ("Pessoa <code>"), inside the open transaction of `db`.
inline void InserirProdutosEPessoas(sqlite3 *db, int produtos, int pessoas)
{
    sqlite3_stmt *p = PrepararSqlite(db, "insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) "
                                         "values (1, ?, 'Produto ' || ?)");
    for (int i = 1; i <= produtos; ++i) {
        sqlite3_bind_int(p, 1, i);
        sqlite3_bind_int(p, 2, i);
        PassoSqlite(db, p);
    }
    sqlite3_finalize(p);
    sqlite3_stmt *pe = PrepararSqlite(db, "insert into PESSOA (CODIGOPESSOA, NOMEPESSOA) values (?, 'Pessoa ' || ?)");
    for (int i = 1; i <= pessoas; ++i) {
        sqlite3_bind_int(pe, 1, i);
        sqlite3_bind_int(pe, 2, i);
        PassoSqlite(db, pe);
    }
    sqlite3_finalize(pe);
}

// Statements naming `tabela` that the engine ran while `f` ran (through its trace).
inline int ContarComandos(sqlite3 *db, const char *tabela, const std::function<void()> &f)
{
    static int *conta = nullptr;
    static const char *nome = nullptr;
    int n = 0;
    conta = &n;
    nome = tabela;
    sqlite3_trace_v2(
        db, SQLITE_TRACE_STMT,
        [](unsigned, void *, void *p, void *) -> int {
            if (std::strstr(sqlite3_sql(static_cast<sqlite3_stmt *>(p)), nome))
                ++*conta;
            return 0;
        },
        nullptr);
    f();
    sqlite3_trace_v2(db, 0, nullptr, nullptr);
    conta = nullptr;
    return n;
}

inline int RodadasBench()
{
    static const int n = std::max(5, qEnvironmentVariableIntValue("ORVO_BENCH_RODADAS"));
    return n;
}

// Heap in use (bytes): what a structure keeps, measured before and after building it.
inline double HeapMB()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

// ---------------------------------------------------------------- engines

inline bool TemPostgres() { return !qEnvironmentVariableIsEmpty("ORVO_TESTE_PG_HOST"); }

inline TnConfigBanco ConfigPostgresBench()
{
    const auto env = QProcessEnvironment::systemEnvironment();
    TnConfigBanco c;
    c.Tipo = tcPostgreSQL;
    c.Servidor = env.value("ORVO_TESTE_PG_HOST", "localhost");
    c.Porta = env.value("ORVO_TESTE_PG_PORT", "5432").toInt();
    c.Banco = env.value("ORVO_TESTE_PG_DB", "orvo_teste");
    c.Usuario = env.value("ORVO_TESTE_PG_USER", "postgres");
    c.Senha = env.value("ORVO_TESTE_PG_PASSWORD");
    return c;
}

// A database of the bench: an SQLite file in the temporary folder, or a schema of its own
// on the server (dropped when the database goes). The engine's handle serves the raw side,
// so both sides work on one connection with the same settings.
class TnBancoBench {
public:
    TnBancoBench(TTipoCon tipo, const QString &nome) : FTipo(tipo)
    {
        GarantirApp();
        if (tipo == tcSQLite) {
            TnConfigBanco c;
            c.Tipo = tcSQLite;
            c.Arquivo = Pasta().filePath(nome + ".db");
            for (const char *sufixo : {"", "-wal", "-shm"})
                QFile::remove(c.Arquivo + sufixo);
            FCon = std::make_unique<nDMConexao>(c);
            return;
        }
        FCfg = ConfigPostgresBench();
        FCfg.Esquema = QStringLiteral("bench_%1_%2").arg(nome.toLower(), QUuid::createUuid().toString(QUuid::Id128).left(8));
        {
            TnConfigBanco adm = FCfg;
            adm.Esquema.clear();
            nDMConexao(adm).Executar("create schema " + FCfg.Esquema);
        }
        FCon = std::make_unique<nDMConexao>(FCfg);
    }
    ~TnBancoBench()
    {
        if (nDMConexao::AtualOuNulo() == FCon.get())
            nDMConexao::DefinirAtual(nullptr);
        FCon.reset();
        if (FTipo == tcPostgreSQL) {
            TnConfigBanco adm = FCfg;
            adm.Esquema.clear();
            try {
                nDMConexao(adm).Executar("drop schema " + FCfg.Esquema + " cascade");
            } catch (...) {
            }
        }
    }
    TnBancoBench(const TnBancoBench &) = delete;
    TnBancoBench &operator=(const TnBancoBench &) = delete;

    nDMConexao &Con() { return *FCon; }
    TTipoCon Tipo() const { return FTipo; }
    sqlite3 *Lite() { return HandleSqlite(*FCon); }
    PGconn *Pg()
    {
        const QVariant v = FCon->BancoQt().driver()->handle();
        // Qt registers the handle under the structure's own name.
        const bool pg = v.isValid() && (qstrcmp(v.typeName(), "PGconn*") == 0 || qstrcmp(v.typeName(), "pg_conn*") == 0);
        return pg ? *static_cast<PGconn *const *>(v.constData()) : nullptr;
    }
    // The log written into the database file (SQLite) or a server checkpoint, so that no
    // round pays for the writes of the one before it. SQLite's page cache is emptied too: a
    // side that read the whole table before its round (the dataset an apply needs) must not
    // start with other pages cached than a side that did not.
    void Checkpoint()
    {
        if (FTipo == tcSQLite) {
            sqlite3_exec(Lite(), "PRAGMA wal_checkpoint(RESTART)", nullptr, nullptr, nullptr);
            sqlite3_db_release_memory(Lite());
        } else {
            // Needs a superuser or pg_checkpoint; without it the rounds run without one.
            PQclear(PQexec(Pg(), "CHECKPOINT"));
        }
    }

private:
    TTipoCon FTipo;
    TnConfigBanco FCfg;
    std::unique_ptr<nDMConexao> FCon;
};

inline const char *SufixoMotor(TTipoCon t) { return t == tcSQLite ? "/sqlite" : "/pg"; }

// Registers `f` once per engine: always on SQLite, on PostgreSQL when a server is set.
template <class F> void RegistrarPorMotor(const std::string &nome, F f, const std::function<void(benchmark::internal::Benchmark *)> &ajustar)
{
    for (TTipoCon t : {tcSQLite, tcPostgreSQL}) {
        if (t == tcPostgreSQL && !TemPostgres())
            continue;
        auto *b = benchmark::RegisterBenchmark((nome + SufixoMotor(t)).c_str(), [f, t](benchmark::State &s) { f(s, t); });
        ajustar(b);
    }
}

// ---------------------------------------------------------------- raw helpers

inline void ChecarPg(PGconn *c, PGresult *r, const char *onde)
{
    const ExecStatusType s = PQresultStatus(r);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK && s != PGRES_COPY_IN && s != PGRES_PIPELINE_SYNC
        && s != PGRES_SINGLE_TUPLE) {
        std::fprintf(stderr, "libpq (%s): %s %s\n", onde, PQresultErrorMessage(r), PQerrorMessage(c));
        std::abort();
    }
}

inline void ExecPg(PGconn *c, const char *sql)
{
    PGresult *r = PQexec(c, sql);
    ChecarPg(c, r, sql);
    PQclear(r);
}

// Appends the shortest text of a number (COPY's text format and a bound text parameter read
// a double's exactly).
inline void TextoReal(std::string &s, double v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    s.append(buf, r.ptr);
}
inline void TextoInteiro(std::string &s, qint64 v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    s.append(buf, r.ptr);
}

// Sends `gerar(i, buffer)` for i in [0, n) through one COPY FROM STDIN (`sql`), in parts of
// about a megabyte.
inline void CopiarPg(PGconn *c, const char *sql, int n, const std::function<void(int, std::string &)> &gerar)
{
    PGresult *r = PQexec(c, sql);
    ChecarPg(c, r, sql);
    PQclear(r);
    std::string buf;
    buf.reserve(1 << 20);
    for (int i = 0; i < n; ++i) {
        gerar(i, buf);
        if (buf.size() > (1u << 20) - 256) {
            if (PQputCopyData(c, buf.data(), int(buf.size())) != 1)
                ChecarPg(c, nullptr, "COPY");
            buf.clear();
        }
    }
    if (!buf.empty() && PQputCopyData(c, buf.data(), int(buf.size())) != 1)
        ChecarPg(c, nullptr, "COPY");
    PQputCopyEnd(c, nullptr);
    while ((r = PQgetResult(c))) {
        ChecarPg(c, r, sql);
        PQclear(r);
    }
}

// Reads the results of the statements sent since the last sync, up to and with the sync;
// with `umaLinha`, each must have changed exactly one row.
inline void LerAteSyncPg(PGconn *c, bool umaLinha = true)
{
    for (;;) {
        PGresult *r = PQgetResult(c);
        if (!r)
            continue; // end of one statement's results
        const ExecStatusType s = PQresultStatus(r);
        ChecarPg(c, r, "pipeline");
        if (umaLinha && s == PGRES_COMMAND_OK && std::strcmp(PQcmdTuples(r), "1") != 0)
            std::abort();
        PQclear(r);
        if (s == PGRES_PIPELINE_SYNC)
            return;
    }
}

// Executions of one prepared statement (parameters as text) sent in a pipeline, a sync every
// thousand: the raw side's way of writing rows whose values are computed on the client.
class TnPipelinePg {
public:
    TnPipelinePg(PGconn *c, const char *sql, int parametros, bool umaLinha = true)
        : FC(c), FN(parametros), FUmaLinha(umaLinha)
    {
        static int seq = 0;
        FNome = "bench_pipeline_" + std::to_string(++seq);
        PGresult *r = PQprepare(c, FNome.c_str(), sql, parametros, nullptr);
        ChecarPg(c, r, sql);
        PQclear(r);
        if (!PQenterPipelineMode(c))
            ChecarPg(c, nullptr, "pipeline");
    }
    ~TnPipelinePg()
    {
        if (FPendentes) {
            PQpipelineSync(FC);
            LerAteSyncPg(FC, FUmaLinha);
        }
        PQexitPipelineMode(FC);
        ExecPg(FC, ("DEALLOCATE " + FNome).c_str());
    }
    TnPipelinePg(const TnPipelinePg &) = delete;
    TnPipelinePg &operator=(const TnPipelinePg &) = delete;
    // Sends one execution with `valores` (FN texts, nullptr for NULL).
    void Enviar(const char *const *valores)
    {
        if (!PQsendQueryPrepared(FC, FNome.c_str(), FN, valores, nullptr, nullptr, 0))
            ChecarPg(FC, nullptr, "send");
        if (++FPendentes == 1000) {
            PQpipelineSync(FC);
            LerAteSyncPg(FC, FUmaLinha);
            FPendentes = 0;
        }
    }

private:
    PGconn *FC;
    int FN;
    bool FUmaLinha;
    std::string FNome;
    int FPendentes = 0;
};

// Runs a query and hands each row of its (text) result to `f(result, row)`.
inline void LerPg(PGconn *c, const char *sql, const std::function<void(PGresult *, int)> &f)
{
    PGresult *r = PQexec(c, sql);
    ChecarPg(c, r, sql);
    for (int i = 0, n = PQntuples(r); i < n; ++i)
        f(r, i);
    PQclear(r);
}
inline double RealPg(PGresult *r, int linha, int col) { return std::strtod(PQgetvalue(r, linha, col), nullptr); }
inline qint64 InteiroPg(PGresult *r, int linha, int col) { return std::strtoll(PQgetvalue(r, linha, col), nullptr, 10); }

// ---------------------------------------------------------------- alternating rounds

// One side of a comparison: `Preparar` and `Depois` run untimed around each timed `Medir`.
struct TnLado {
    std::function<void()> Preparar = [] {};
    std::function<void()> Medir;
    std::function<void()> Depois = [] {};
};

struct TnTempos {
    std::vector<double> Ms;
    double Min() const { return *std::min_element(Ms.begin(), Ms.end()); }
    double Mediana() const
    {
        std::vector<double> v = Ms;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
};

inline double MedirMs(const std::function<void()> &f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// One round of a comparison: the framework's side first in even rounds, the raw side first
// in odd ones, so neither always runs on a warm (or a cold) cache.
template <class F, class B> void NaVezDaRodada(int rodada, F framework, B direto)
{
    if (rodada % 2) {
        direto();
        framework();
    } else {
        framework();
        direto();
    }
}

// Runs the rounds, the two sides taking turns (the side that starts changes every round),
// with `checkpoint` before every timed round, and reports min and median of each side and
// their ratios (framework / raw) as counters, in milliseconds.
inline void Alternar(benchmark::State &state, TnLado fw, TnLado bruto, const std::function<void()> &checkpoint,
                     const char *alvo = nullptr)
{
    TnTempos tf, tb;
    for (auto _ : state) {
        for (int r = 0; r < RodadasBench(); ++r) {
            for (int k = 0; k < 2; ++k) {
                const bool vezFw = (r + k) % 2 == 0;
                TnLado &lado = vezFw ? fw : bruto;
                lado.Preparar();
                checkpoint();
                (vezFw ? tf : tb).Ms.push_back(MedirMs(lado.Medir));
                lado.Depois();
            }
        }
    }
    state.counters["fw_min_ms"] = tf.Min();
    state.counters["fw_med_ms"] = tf.Mediana();
    state.counters["bruto_min_ms"] = tb.Min();
    state.counters["bruto_med_ms"] = tb.Mediana();
    state.counters["razao_min"] = tf.Min() / tb.Min();
    state.counters["razao_med"] = tf.Mediana() / tb.Mediana();
    if (alvo)
        state.SetLabel(alvo);
}

// A comparison on the server (Alternar): each side's round starts after `limpar` (not
// timed); the raw side gets the connection's libpq handle; the exchanges of the framework's
// last round are reported as `idas_e_voltas`.
inline void AlternarNoServidor(benchmark::State &state, TnBancoBench &banco, const std::function<void()> &limpar,
                               const std::function<void()> &framework, const std::function<void(PGconn *)> &direto)
{
    quint64 idas = 0;
    TnLado fw{limpar, [&] {
                  banco.Con().ZerarIdasEVoltas();
                  framework();
                  idas = banco.Con().IdasEVoltas().Total();
              }};
    TnLado bruto{limpar, [&] { direto(banco.Pg()); }};
    Alternar(state, fw, bruto, [&] { banco.Checkpoint(); });
    state.counters["idas_e_voltas"] = double(idas);
}

// Registers `f` as `nome` (one iteration, milliseconds) when a server is set.
template <class F> int RegistrarNoServidor(const std::string &nome, F f)
{
    if (TemPostgres())
        benchmark::RegisterBenchmark(nome.c_str(), f)->Unit(benchmark::kMillisecond)->Iterations(1);
    return 0;
}

// Rounds of one measurement alone (no raw side): min and median as counters.
inline void Repetir(benchmark::State &state, TnLado lado, const std::function<void()> &checkpoint,
                    const char *prefixo = "")
{
    TnTempos t;
    for (auto _ : state) {
        for (int r = 0; r < RodadasBench(); ++r) {
            lado.Preparar();
            checkpoint();
            t.Ms.push_back(MedirMs(lado.Medir));
            lado.Depois();
        }
    }
    state.counters[std::string(prefixo) + "min_ms"] = t.Min();
    state.counters[std::string(prefixo) + "med_ms"] = t.Mediana();
}

// Rounds of a case measured against the same work done with the engine's C interface: each
// side runs after its own `preparar` (not timed), and the side that starts changes every
// round (NaVezDaRodada). The benchmark's counters
// give each side's minimum and median in milliseconds and the ratio of the medians
// (framework / raw). Meant for a case registered with Iterations(1).
inline void MedirContraDireto(benchmark::State &state, int rodadas, const std::function<void()> &preparar,
                              const std::function<void()> &framework, const std::function<void()> &direto)
{
    TnTempos fw, raw;
    for (auto _ : state) {
        for (int r = 0; r < rodadas; ++r)
            NaVezDaRodada(
                r,
                [&] {
                    preparar();
                    fw.Ms.push_back(MedirMs(framework));
                },
                [&] {
                    preparar();
                    raw.Ms.push_back(MedirMs(direto));
                });
    }
    if (fw.Ms.empty())
        return;
    state.counters["fw_min"] = fw.Min();
    state.counters["fw_med"] = fw.Mediana();
    state.counters["raw_min"] = raw.Min();
    state.counters["raw_med"] = raw.Mediana();
    state.counters["razao"] = fw.Mediana() / raw.Mediana();
}

// Rounds of a case that writes into the database (MedirContraDireto, five rounds): each side
// starts from the database `novo` gives, current while the side runs; `direto` gets its
// handle. The last database is closed at the end.
inline void MedirEmBancoNovo(benchmark::State &state, const std::function<std::unique_ptr<nDMConexao>()> &novo,
                             const std::function<void()> &framework, const std::function<void(sqlite3 *)> &direto)
{
    std::unique_ptr<nDMConexao> con;
    TnConexaoDoCaso atual;
    MedirContraDireto(
        state, 5,
        [&] {
            con.reset();
            con = novo();
            atual.Definir(con.get());
        },
        framework, [&] { direto(HandleSqlite(*con)); });
    atual.Definir(nullptr);
    con.reset();
}

// The user of the runs: every question answered "Sim" (or "Ok"), nothing else shown.
class TnUsuarioBench : public TnInteracao {
public:
    TMsgDlgBtn MessageDlg(const QString &, TMsgDlgType, TMsgDlgButtons botoes, TMsgDlgBtn) override
    {
        return botoes.testFlag(mbYes) ? mbYes : mbOK;
    }
    void ShowMessage(const QString &) override {}
    void ProgressoAlterado(const TnProgresso &) override {}
    void ProgressoDestruido(const TnProgresso &) override {}
    void MensagemAdicionada(const TnListaMensagem &, const TnItemMensagem &) override {}
    void MensagensLimpas(const TnListaMensagem &) override {}
    void ListaDestruida(const TnListaMensagem &) override {}
};
