// The Bloco K query's K200 routine: SPEDFISK200 holds ORVO_BENCH_LINHAS rows (1,000,000) of
// branch 1 in one competence month, over 200,000 products and 10,000 people; the query asks
// for that month.
//
// BM_ConsultaBlocoKK200/sqlite: Relacionar (the statement and the load of its rows into the
// target, with the header bands) against a loop on the sqlite3 C interface that steps the
// same statement, bound the same way, and reads every column into typed columns (texts as
// strings, dates parsed, quantities exact to 4 decimals). Target: razao <= 1.5.
//
// BM_ConsultaBlocoKK200Memoria/sqlite: the peak of resident memory while Relacionar runs,
// against the peak while the same statement is loaded into one dataset (CarregarDe); each
// measured in a process of its own (getrusage's maxrss less the resident memory before the
// run), on a connection opened there. Target: razao <= 1.1.
#include "BenchComum.h"

#include "ClientDataSet.h"
#include "OrvoConsultaLctoBlocoKFactory_U.h"
#include "OrvoConsultaRotinaBlocoKBase_U.h"

#include <QProcess>
#include <cmath>
#include <sys/resource.h>

namespace {

constexpr int kProdutos = 200000;
constexpr int kPessoas = 10000;
const char kArquivo[] = "consultak200.db";

TConsultaLctoSpedBlocoKConfig Config()
{
    TConsultaLctoSpedBlocoKConfig c;
    c.CodigoEmpresa = 1;
    c.CodigoEstab = QStringLiteral("1");
    c.DataInicial = QDate(2024, 1, 1);
    c.DataFinal = QDate(2024, 1, 31);
    return c;
}

nDMConexao &Banco()
{
    static nDMConexao *con = [] {
        nDMConexao *c = NovoBancoConvertido(QString::fromLatin1(kArquivo));
        sqlite3 *db = HandleSqlite(*c);
        ExecSqlite(db, "BEGIN IMMEDIATE");
        InserirProdutosEPessoas(db, kProdutos, kPessoas);
        // Five rows per product: stock kinds 0 to 2, sequences 1 and 2; a third without a
        // participant.
        sqlite3_stmt *l = PrepararSqlite(db, "insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, "
                                             "CODIGOPRODUTO, INDICADORESTOQUE, SEQ, QUANTIDADE, CODIGOPESSOA) "
                                             "values (1, 1, '2024-01-31', ?, ?, ?, ?, ?)");
        const int n = LinhasBench();
        for (int i = 0; i < n; ++i) {
            const int k = i / kProdutos;
            sqlite3_bind_int(l, 1, i % kProdutos + 1);
            sqlite3_bind_int(l, 2, k % 3);
            sqlite3_bind_int(l, 3, k / 3 + 1);
            sqlite3_bind_double(l, 4, 1 + (i % 997) * 0.125);
            if (i % 3 == 0)
                sqlite3_bind_null(l, 5);
            else
                sqlite3_bind_int(l, 5, i % kPessoas + 1);
            PassoSqlite(db, l);
        }
        sqlite3_finalize(l);
        ExecSqlite(db, "COMMIT");
        ExecSqlite(db, "ANALYZE");
        return c;
    }();
    return *con;
}

void Relacionar(TnClientDataSet &cds)
{
    ConsultaLctoBlocoKFactory()->PegarRotina(200)->SetConfig(Config()).SetCdsMestre(&cds).Relacionar();
}

TnSQLBlocoK Instrucao()
{
    auto r = ConsultaLctoBlocoKFactory()->PegarRotina(200);
    r->SetConfig(Config());
    return dynamic_cast<TOrvoConsultaRotinaBlocoKBase &>(*r).SQLMestre();
}

void BM_ConsultaBlocoKK200(benchmark::State &state)
{
    nDMConexao &con = Banco();
    TnConexaoDoCaso atual(&con);
    sqlite3 *db = HandleSqlite(con);
    const TnSQLBlocoK sql = Instrucao();
    const QByteArray texto = sql.Texto.toUtf8();
    qsizetype linhasFw = 0, linhasBruto = 0;
    auto cds = std::make_unique<TnClientDataSet>();
    const auto framework = [&] {
        cds = std::make_unique<TnClientDataSet>();
        Relacionar(*cds);
        linhasFw = cds->RecordCount();
    };
    // The raw side keeps what the dataset keeps, typed.
    std::vector<QString> origem, descricao, nome;
    std::vector<QDate> competencia;
    std::vector<qint64> inteiros, qtdes;
    const auto direto = [&] {
        for (auto *v : {&origem, &descricao, &nome})
            v->clear();
        competencia.clear();
        inteiros.clear();
        qtdes.clear();
        sqlite3_stmt *st = PrepararSqlite(db, texto.constData());
        sqlite3_bind_int(st, 1, sql.Valores[0].toInt());
        const QByteArray inicio = sql.Valores[1].toDate().toString(Qt::ISODate).toLatin1();
        const QByteArray fim = sql.Valores[2].toDate().toString(Qt::ISODate).toLatin1();
        sqlite3_bind_text(st, 2, inicio.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, fim.constData(), -1, SQLITE_TRANSIENT);
        const auto texto = [st](int i) {
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
        };
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            origem.push_back(texto(0));
            competencia.push_back(
                QDate::fromString(QLatin1String(reinterpret_cast<const char *>(sqlite3_column_text(st, 1))), Qt::ISODate));
            for (int i : {2, 4, 6, 8, 9, 10})
                inteiros.push_back(sqlite3_column_type(st, i) == SQLITE_NULL ? -1 : sqlite3_column_int64(st, i));
            descricao.push_back(texto(3));
            qtdes.push_back(std::llround(sqlite3_column_double(st, 5) * 1e4));
            nome.push_back(sqlite3_column_type(st, 7) == SQLITE_NULL ? QString() : texto(7));
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        linhasBruto = qsizetype(origem.size());
    };
    Alternar(
        state, {.Medir = framework, .Depois = [&] { cds.reset(); }},
        {.Medir = direto,
         .Depois =
             [&] {
                 for (auto *v : {&origem, &descricao, &nome})
                     std::vector<QString>().swap(*v);
             }},
        [&] { sqlite3_exec(db, "PRAGMA wal_checkpoint(RESTART)", nullptr, nullptr, nullptr); });
    state.counters["linhas"] = double(linhasFw);
    if (linhasFw != linhasBruto || linhasFw == 0)
        state.SkipWithError("os dois lados leram linhas diferentes");
}

// The memory sides run in a process started afresh from this program (a forked child would
// start from the parent's heap, whose freed pages hide what it allocates): the variable
// names the side and the database file; the process prints the peak of its resident memory
// above what it held before the run (MB) and ends before the benchmarks start.
const char kVariavelLado[] = "ORVO_BENCH_K200_MEMORIA";

void MedirLadoEEncerrar()
{
    const QStringList pedido = qEnvironmentVariable(kVariavelLado).split(u'|');
    GarantirApp();
    TnConfigBanco c;
    c.Tipo = tcSQLite;
    c.Arquivo = pedido.value(1);
    double mb = -1;
    {
        nDMConexao con(c);
        nDMConexao::DefinirAtual(&con);
        const TnSQLBlocoK sql = Instrucao();
        TnClientDataSet cds;
        const long antes = MemoriaResidenteMB();
        try {
            if (pedido.value(0) == QLatin1String("rotina")) {
                Relacionar(cds);
            } else {
                auto cmd = con.Preparar(sql.Texto);
                for (int i = 0; i < sql.Valores.size(); ++i)
                    cmd->BindValor(i, sql.Valores[i]);
                cds.CarregarDe(cmd->Abrir());
            }
        } catch (const std::exception &e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
        struct rusage uso {};
        getrusage(RUSAGE_SELF, &uso);
        mb = double(uso.ru_maxrss) / 1024.0 - double(antes);
        if (cds.RecordCount() == 0)
            mb = -1;
        nDMConexao::DefinirAtual(nullptr);
    }
    std::printf("%.3f\n", mb);
    std::fflush(stdout);
    std::_Exit(0);
}

const bool kLadoDeMemoria = [] {
    if (qEnvironmentVariableIsSet(kVariavelLado))
        MedirLadoEEncerrar();
    return false;
}();

double PicoEmProcesso(const char *lado)
{
    QProcess p;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QString::fromLatin1(kVariavelLado),
                    QString::fromLatin1(lado) + u'|' + Pasta().filePath(QString::fromLatin1(kArquivo)));
    p.setProcessEnvironment(ambiente);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("/proc/self/exe"), {QStringLiteral("--benchmark_filter=^$")});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    bool ok = false;
    const double mb = QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble(&ok);
    return ok ? mb : -1;
}

void BM_ConsultaBlocoKK200Memoria(benchmark::State &state)
{
    Banco(); // built here, before the measuring processes read it
    TnTempos rotina, umDataSet;
    for (auto _ : state)
        for (int r = 0; r < RodadasBench(); ++r)
            NaVezDaRodada(
                r, [&] { rotina.Ms.push_back(PicoEmProcesso("rotina")); },
                [&] { umDataSet.Ms.push_back(PicoEmProcesso("dataset")); });
    if (rotina.Min() < 0 || umDataSet.Min() < 0)
        state.SkipWithError("um dos processos de medida falhou");
    state.counters["rotina_min_mb"] = rotina.Min();
    state.counters["rotina_med_mb"] = rotina.Mediana();
    state.counters["dataset_min_mb"] = umDataSet.Min();
    state.counters["dataset_med_mb"] = umDataSet.Mediana();
    state.counters["razao_min"] = rotina.Min() / umDataSet.Min();
    state.counters["razao_med"] = rotina.Mediana() / umDataSet.Mediana();
}

} // namespace

BENCHMARK(BM_ConsultaBlocoKK200)->Name("BM_ConsultaBlocoKK200/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConsultaBlocoKK200Memoria)
    ->Name("BM_ConsultaBlocoKK200Memoria/sqlite")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
