// Totals per period as the program loads it (OrvoCore, by class name) over 1,000,000 entries
// of one branch spread over 24 months (ORVO_BENCH_LINHAS changes the count), against a loop
// on SQLite's C interface that prepares and steps the same select, computes each entry's
// value exactly (nDecimal::Produto, rounded to cents) and sums the cents into a plain array
// per day. The process side's time includes creating the process and setting its
// parameters, as the raw side's includes its prepare. Rounds alternate the two sides; the
// counters give each side's minimum and median and the ratios of the minimums and of the
// medians (the project holds the process within 1.3x).
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "Decimal.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QElapsedTimer>
#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace {

int Linhas() { return LinhasBench(); }
constexpr int kMeses = 24;
constexpr int kRodadas = 7;
const QDate kInicio(2023, 1, 1);

const char *const kSelect = "select DATAINVENT, QTDEESTOQUE, PRECOUNIT from LCTOINV where CODIGOEMPRESA = ? "
                            "and CODIGOESTAB = ? and DATAINVENT between ? and ? and MOTIVOINVENTARIO = ? "
                            "order by DATAINVENT";

// A converted database with the entries of branch 1, reason 1, on the first and last day of
// each of the 24 months, and as many products as one date needs.
nDMConexao &Banco()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = NovoBancoConvertido(QStringLiteral("totais.db"));
    const int datas = kMeses * 2;
    const int produtos = (Linhas() + datas - 1) / datas;
    TnTransacao t(1, *con);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO) values (1, ?)");
    for (int i = 1; i <= produtos; ++i) {
        p->BindInteiro(0, i);
        p->Executar();
    }
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                           "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, 1, ?, ?, 1, ?, ?, 0, 0, 0, ?, 1, 2)");
    const QDateTime agora(QDate(2025, 1, 2), QTime(9, 30));
    for (int i = 0; i < Linhas(); ++i) {
        const QDate mes = kInicio.addMonths((i / produtos) / 2);
        l->BindData(0, (i / produtos) % 2 == 0 ? mes : UltimoDiaDoMes(mes));
        l->BindInteiro(1, i % produtos + 1);
        l->BindReal(2, 1 + (i % 97) * 0.5);
        l->BindReal(3, 2.5 + (i % 13) * 1.255);
        l->BindDataHora(4, agora);
        l->Executar();
    }
    t.Commit();
    return *con;
}

// The process, opened by name over the selection, run over the 24 months.
double Processo()
{
    QElapsedTimer relogio;
    relogio.start();
    std::unique_ptr<TnDataModule> dm(CriarDM(QStringLiteral("TOrvoDPTotalInventarioPeriodo")));
    auto *dp = qobject_cast<TnDMPowerParamGrid *>(dm.get());
    dp->Param(QStringLiteral("pPeriodoInicial")).SetText(QStringLiteral("01/2023"));
    dp->Param(QStringLiteral("pPeriodoFinal")).SetText(QStringLiteral("12/2024"));
    dp->Rodar();
    const double ms = relogio.nsecsElapsed() / 1e6;
    if (dp->nClientDataSet().RecordCount() != kMeses * 2)
        std::abort();
    return ms;
}

// The same select stepped with the C interface, each entry's value computed exactly in
// cents and added into a plain array by day.
double Direto()
{
    sqlite3 *db = HandleSqlite(Banco());
    QElapsedTimer relogio;
    relogio.start();
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, kSelect, -1, &st, nullptr);
    sqlite3_bind_int(st, 1, 1);
    sqlite3_bind_int(st, 2, 1);
    sqlite3_bind_text(st, 3, "2023-01-01", 10, SQLITE_STATIC);
    sqlite3_bind_text(st, 4, "2024-12-31", 10, SQLITE_STATIC);
    sqlite3_bind_int(st, 5, 1);
    std::vector<double> quantidade(kMeses * 31 + 31);
    std::vector<__int128> centavos(kMeses * 31 + 31);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const char *d = reinterpret_cast<const char *>(sqlite3_column_text(st, 0));
        const int ano = (d[0] - '0') * 1000 + (d[1] - '0') * 100 + (d[2] - '0') * 10 + (d[3] - '0');
        const int mes = (d[5] - '0') * 10 + (d[6] - '0'), dia = (d[8] - '0') * 10 + (d[9] - '0');
        const int i = ((ano - 2023) * 12 + mes - 1) * 31 + dia - 1;
        quantidade[size_t(i)] += 1;
        qint64 valor = 0;
        if (!nDecimal::Produto(sqlite3_column_double(st, 1), sqlite3_column_double(st, 2), 2, valor))
            std::abort();
        centavos[size_t(i)] += valor;
    }
    sqlite3_finalize(st);
    const double ms = relogio.nsecsElapsed() / 1e6;
    if (std::count_if(quantidade.begin(), quantidade.end(), [](double q) { return q > 0; }) != kMeses * 2)
        std::abort();
    return ms;
}

void BM_TotalPorPeriodo(benchmark::State &state)
{
    SelecionarEstab1(Banco());
    TnTempos processo, direto;
    for (auto _ : state) {
        processo.Ms.clear();
        direto.Ms.clear();
        Processo(); // warms the file cache for both sides
        for (int r = 0; r < kRodadas; ++r) {
            NaVezDaRodada(r, [&] { processo.Ms.push_back(Processo()); }, [&] { direto.Ms.push_back(Direto()); });
        }
    }
    state.counters["processo_min_ms"] = processo.Min();
    state.counters["processo_mediana_ms"] = processo.Mediana();
    state.counters["direto_min_ms"] = direto.Min();
    state.counters["direto_mediana_ms"] = direto.Mediana();
    state.counters["razao_min"] = processo.Min() / direto.Min();
    state.counters["razao_medianas"] = processo.Mediana() / direto.Mediana();
    DestruirTodosDM();
}

} // namespace

BENCHMARK(BM_TotalPorPeriodo)->Unit(benchmark::kMillisecond)->Iterations(1);
