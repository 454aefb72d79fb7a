// The six audit rules as the program loads them (OrvoCore, found by their codes) over one
// branch with ORVO_BENCH_LINHAS entries (default 1,000,000) over twelve months, as many
// property lines and as many tax-situation lines, spread so that every rule finds rows
// (entries without lines and with two, lines without an account, lines with other
// quantities and costs, lines without CST and with two, zero bases). Each rule's run
// (Auditar: its period query, one finding per row) is compared with the same query
// stepped through SQLite's C interface, each row's keys read into a plain record (the date
// parsed, rule 4's sum compared at the company's decimals as the auditor does). Rounds
// alternate (NaVezDaRodada); the counters give min and median of each side, their ratios,
// and the heap a finding keeps.
//
// The project holds each rule within 1.5x of the C interface and a finding under 200 bytes.
//
// BM_AuditoriaProcesso: the audit process (every rule) over a branch whose 1,000,000
// entries all offend (half without property lines, half with a line without CST lines), its
// grid filled with a title row per rule and a row per finding, against the six queries
// stepped through the C interface as above; the heap the process keeps afterwards (grid,
// findings, second cursor), and the re-check after opening one finding. The project holds
// the run within 2x and under 600 MB.
#include "Auditoria.h"
#include "BenchComum.h"
#include "Valores.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QDate kInicio(2024, 1, 1), kFim(2024, 12, 31);
constexpr int kCasasQtd = 4;

const char *const kProp =
    " JOIN LCTOINVPROPRIEDADE LP ON LP.CODIGOEMPRESA = L.CODIGOEMPRESA AND LP.CODIGOPRODUTO = L.CODIGOPRODUTO"
    " AND LP.CODIGOESTAB = L.CODIGOESTAB AND LP.DATAINVENT = L.DATAINVENT AND LP.MOTIVOINVENTARIO = L.MOTIVOINVENTARIO";
const char *const kCst =
    " JOIN LCTOINVCST LC ON LC.CODIGOEMPRESA = LP.CODIGOEMPRESA AND LC.CODIGOESTAB = LP.CODIGOESTAB"
    " AND LC.DATAINVENT = LP.DATAINVENT AND LC.CODIGOPRODUTO = LP.CODIGOPRODUTO"
    " AND LC.MOTIVOINVENTARIO = LP.MOTIVOINVENTARIO AND LC.SEQ = LP.SEQ";
const char *const kSoma =
    " JOIN (SELECT S1.DATAINVENT, S1.CODIGOPRODUTO, S1.MOTIVOINVENTARIO, SUM(S1.QUANTIDADE) AS QTDE"
    " FROM LCTOINVPROPRIEDADE S1 WHERE S1.CODIGOEMPRESA = ? AND S1.CODIGOESTAB = ? AND S1.DATAINVENT BETWEEN ? AND ?"
    " GROUP BY S1.DATAINVENT, S1.CODIGOPRODUTO, S1.MOTIVOINVENTARIO) S ON S.DATAINVENT = L.DATAINVENT"
    " AND S.CODIGOPRODUTO = L.CODIGOPRODUTO AND S.MOTIVOINVENTARIO = L.MOTIVOINVENTARIO";
const char *const kOnde = " WHERE L.CODIGOEMPRESA = ? AND L.CODIGOESTAB = ? AND L.DATAINVENT BETWEEN ? AND ?";
const char *const kOrdem = " ORDER BY L.CODIGOPRODUTO, L.DATAINVENT";

// The period query of each rule, as the auditors write it.
std::string Consulta(int regra)
{
    const std::string cols = "SELECT L.CODIGOPRODUTO, L.DATAINVENT, L.MOTIVOINVENTARIO";
    const std::string de = " FROM LCTOINV L";
    switch (regra) {
    case 1: return cols + de + " LEFT" + kProp + kOnde + " AND LP.CODIGOEMPRESA IS NULL" + kOrdem;
    case 2: return cols + ", LP.SEQ" + de + kProp + " LEFT" + kCst + kOnde + " AND LC.CODIGOEMPRESA IS NULL" + kOrdem;
    case 3: return cols + ", LP.SEQ" + de + kProp + kOnde + " AND LP.CONTACTB IS NULL" + kOrdem;
    case 4:
        return cols + ", LP.SEQ, L.QTDEESTOQUE, S.QTDE" + de + kProp + kSoma + kOnde + " AND L.QTDEESTOQUE <> S.QTDE"
               + kOrdem;
    case 5: return cols + ", LP.SEQ" + de + kProp + kOnde + " AND L.PRECOUNIT <> LP.PRECOUNIT" + kOrdem;
    default: return cols + ", LP.SEQ" + de + kProp + kCst + kOnde + " AND LC.BASECALCULO = 0" + kOrdem;
    }
}

nDMConexao &Banco()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = NovoBancoConvertido(QStringLiteral("auditoria.db"));
    const int n = LinhasBench();
    const int produtos = (n + 11) / 12;
    TnTransacao t(1, *con);
    con->Executar(QStringLiteral("update CFGEMPRESAINV set QTDECASADECIMALQTD = %1 where CODIGOEMPRESA = 1").arg(kCasasQtd));
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO) values (1, ?)");
    for (int i = 1; i <= produtos; ++i) {
        p->BindInteiro(0, i);
        p->Executar();
    }
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                           "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, 1, ?, ?, 1, 10, 2.5, 0, 0, 0, ?, 1, 2)");
    auto lp = con->Preparar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                            "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, CONTACTB, QUANTIDADE, PRECOUNIT) "
                            "values (1, 1, ?, ?, 1, ?, 0, ?, ?, ?)");
    auto lc = con->Preparar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                            "MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO) values (1, 1, ?, ?, 1, ?, ?, ?, 0)");
    const QDateTime agora(QDate(2025, 1, 2), QTime(9, 30));
    qint64 linha = 0;
    for (int i = 0; i < n; ++i) {
        const QDate data = UltimoDiaDoMes(kInicio.addMonths(i / produtos));
        const qint64 produto = i % produtos + 1;
        l->BindData(0, data);
        l->BindInteiro(1, produto);
        l->BindDataHora(2, agora);
        l->Executar();
        // Every tenth entry has no line, the next one two: as many lines as entries.
        const int linhas = i % 10 == 0 ? 0 : i % 10 == 1 ? 2 : 1;
        for (int s = 1; s <= linhas; ++s, ++linha) {
            const double qtde = linhas == 2 ? (s == 1 ? 6 : (i % 20 == 1 ? 3 : 4.00001)) : (i % 7 == 0 ? 9 : 10);
            lp->BindData(0, data);
            lp->BindInteiro(1, produto);
            lp->BindInteiro(2, s);
            if (i % 2 == 0)
                lp->BindNulo(3);
            else
                lp->BindInteiro(3, 1101);
            lp->BindReal(4, qtde);
            lp->BindReal(5, i % 3 == 0 ? 2.51 : 2.5);
            lp->Executar();
            // Every tenth line has no CST line, the next one two: as many CST lines as lines.
            const int csts = linha % 10 == 0 ? 0 : linha % 10 == 1 ? 2 : 1;
            for (int c = 0; c < csts; ++c) {
                lc->BindData(0, data);
                lc->BindInteiro(1, produto);
                lc->BindInteiro(2, s);
                lc->BindInteiro(3, c == 0 ? 0 : 90);
                lc->BindReal(4, linha % 4 == 0 ? 0 : 100);
                lc->Executar();
            }
        }
    }
    t.Commit();
    con->Executar("ANALYZE");
    return *con;
}

// A finding's keys as the raw side keeps them.
struct TnAchado {
    int Empresa, Estab, Seq, Motivo;
    qint64 Produto;
    QDate Data;
};

size_t Direto(sqlite3 *db, int regra, std::vector<TnAchado> &achados)
{
    const std::string sql = Consulta(regra);
    sqlite3_stmt *st = PrepararSqlite(db, sql.c_str());
    int n = 1;
    for (int vez = 0; vez < (regra == 4 ? 2 : 1); ++vez) {
        sqlite3_bind_int(st, n++, 1);
        sqlite3_bind_int(st, n++, 1);
        sqlite3_bind_text(st, n++, "2024-01-01", 10, SQLITE_STATIC);
        sqlite3_bind_text(st, n++, "2024-12-31", 10, SQLITE_STATIC);
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        if (regra == 4
            && RoundValor(sqlite3_column_double(st, 4), kCasasQtd) == RoundValor(sqlite3_column_double(st, 5), kCasasQtd))
            continue;
        const char *d = reinterpret_cast<const char *>(sqlite3_column_text(st, 1));
        const QDate data((d[0] - '0') * 1000 + (d[1] - '0') * 100 + (d[2] - '0') * 10 + (d[3] - '0'),
                         (d[5] - '0') * 10 + (d[6] - '0'), (d[8] - '0') * 10 + (d[9] - '0'));
        achados.push_back({1, 1, regra == 1 ? 0 : sqlite3_column_int(st, 3), sqlite3_column_int(st, 2),
                           sqlite3_column_int64(st, 0), data});
    }
    sqlite3_finalize(st);
    return achados.size();
}

void BM_Auditoria(benchmark::State &state)
{
    const int regra = int(state.range(0));
    nDMConexao &con = Banco();
    SelecionarEstab1(con);
    sqlite3 *db = HandleSqlite(con);

    TnItensAuditoria itens;
    std::vector<TnAchado> achados;
    // Both sides find the same rows; the heap one run's findings keep, measured on a second
    // run (the engine's caches and the statement's memory grew on the first).
    itens = CriarAuditor(regra, 1, 1, kInicio, kFim)->Auditar();
    itens.clear();
    const double antes = HeapMB();
    itens = CriarAuditor(regra, 1, 1, kInicio, kFim)->Auditar();
    const double depois = HeapMB();
    if (itens.empty() || itens.size() != Direto(db, regra, achados)) {
        std::fprintf(stderr, "regra %d: %zu achados contra %zu\n", regra, itens.size(), achados.size());
        std::abort();
    }
    state.counters["achados"] = double(itens.size());
    state.counters["bytes_por_achado"] = (depois - antes) * 1024 * 1024 / double(itens.size());
    itens.clear();
    achados.clear();

    TnLado fw{.Medir = [&] { itens = CriarAuditor(regra, 1, 1, kInicio, kFim)->Auditar(); },
              .Depois = [&] { itens.clear(); }};
    TnLado bruto{.Medir = [&] { Direto(db, regra, achados); }, .Depois = [&] { achados.clear(); }};
    Alternar(state, fw, bruto, [db] { sqlite3_db_release_memory(db); }, "razao <= 1.5, < 200 bytes por achado");
    DestruirTodosDM();
}

nDMConexao &BancoProcesso()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = NovoBancoConvertido(QStringLiteral("auditoria_processo.db"));
    const int n = LinhasBench();
    const int produtos = (n + 11) / 12;
    TnTransacao t(1, *con);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO) values (1, ?)");
    for (int i = 1; i <= produtos; ++i) {
        p->BindInteiro(0, i);
        p->Executar();
    }
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                           "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, 1, ?, ?, 1, 10, 2.5, 0, 0, 0, ?, 1, 2)");
    auto lp = con->Preparar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                            "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, CONTACTB, QUANTIDADE, PRECOUNIT) "
                            "values (1, 1, ?, ?, 1, 1, 0, 1101, 10, 2.5)");
    const QDateTime agora(QDate(2025, 1, 2), QTime(9, 30));
    for (int i = 0; i < n; ++i) {
        const QDate data = UltimoDiaDoMes(kInicio.addMonths(i / produtos));
        l->BindData(0, data);
        l->BindInteiro(1, i % produtos + 1);
        l->BindDataHora(2, agora);
        l->Executar();
        if (i % 2) {
            lp->BindData(0, data);
            lp->BindInteiro(1, i % produtos + 1);
            lp->Executar();
        }
    }
    t.Commit();
    con->Executar("ANALYZE");
    return *con;
}

void BM_AuditoriaProcesso(benchmark::State &state)
{
    nDMConexao &con = BancoProcesso();
    SelecionarEstab1(con);
    sqlite3 *db = HandleSqlite(con);
    std::unique_ptr<TnDataModule> dm;
    const auto criar = [&] {
        dm.reset(CriarDM(QStringLiteral("TOrvoDPAuditoriaInv")));
        auto *dp = qobject_cast<TnDMPowerParamGrid *>(dm.get());
        dp->ConfigurarForm(nullptr);
        dp->Param(QStringLiteral("pAuditoria")).SetText(QStringLiteral("0"));
        dp->Param(QStringLiteral("pCompetInicial")).SetText(QStringLiteral("01/2024"));
        dp->Param(QStringLiteral("pCompetFinal")).SetText(QStringLiteral("12/2024"));
        return dp;
    };
    size_t linhas = 0;
    std::vector<TnAchado> achados;
    TnLado fw{.Preparar = [&] { criar(); },
              .Medir = [&] { qobject_cast<TnDMPowerParamGrid *>(dm.get())->Rodar(); },
              .Depois = [&] {
                  linhas = size_t(qobject_cast<TnDMPowerParamGrid *>(dm.get())->nClientDataSet().RecordCount());
                  dm.reset();
              }};
    TnLado bruto{.Medir = [&] {
                     for (int regra = 1; regra <= 6; ++regra)
                         Direto(db, regra, achados);
                 },
                 .Depois = [&] { achados.clear(); }};
    Alternar(state, fw, bruto, [db] { sqlite3_db_release_memory(db); }, "razao <= 2, < 600 MB");

    // What a run keeps, and the re-check after opening a finding in the middle of the grid.
    const double antes = HeapMB();
    TnDMPowerParamGrid *dp = criar();
    dp->Rodar();
    state.counters["linhas"] = double(dp->nClientDataSet().RecordCount());
    state.counters["MB"] = HeapMB() - antes;
    dp->nClientDataSet().SetRecNo(dp->nClientDataSet().RecordCount() / 2);
    QElapsedTimer relogio;
    relogio.start();
    dp->DBGridDblClick();
    state.counters["reverificar_ms"] = relogio.nsecsElapsed() / 1e6;
    if (linhas != size_t(LinhasBench()) + 2)
        std::abort();
    dm.reset();
    DestruirTodosDM();
}

} // namespace

BENCHMARK(BM_AuditoriaProcesso)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Auditoria)->DenseRange(1, 6)->Unit(benchmark::kMillisecond)->Iterations(1);
