// The property and tax-situation maintenance processes as the program loads them (OrvoCore,
// by class name), each against the same work done with SQLite's C interface, in alternating
// rounds (MedirContraDireto):
// - creating the missing property lines of every entry of a month (one INSERT ... SELECT);
// - changing the indicator of every property line of the month (one UPDATE);
// - giving every property line a tax-situation line through the register, against reading
//   the same lines and inserting them with one prepared statement in one transaction.
// Rows: ORVO_BENCH_LINHAS (default 1,000,000) entries of one branch and month, one product
// each, and as many property lines. The targets: 1.5x, 1.5x and 2x.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "SQLDataSet.h"
#include "Variaveis.h"

#include <QFile>

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRodadas = 5;

// The converted database with LinhasBench() products and entries (branch 1, March 2024, reason 1),
// generated once, current, with OrvoCore loaded.
nDMConexao &Banco()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = NovoBancoConvertido(QStringLiteral("manutencao.db"));
    TnTransacao t(1, *con);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, 'Produto')");
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORIR, VALORICMS, VALORPIS, VALORCOFINS, "
                           "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, 1, ?, ?, 1, ?, ?, ?, 0, 0, 0, ?, 1, 2)");
    const QDate data(2024, 3, 31);
    const QDateTime agora(data, QTime(9, 30));
    for (int i = 1; i <= LinhasBench(); ++i) {
        p->BindInteiro(0, i);
        p->Executar();
        l->BindData(0, data);
        l->BindInteiro(1, i);
        l->BindReal(2, 1 + (i % 97) * 0.5);
        l->BindReal(3, 2.5 + (i % 13) * 1.25);
        l->BindReal(4, (i % 7) * 1.1);
        l->BindDataHora(5, agora);
        l->Executar();
    }
    t.Commit();
    SelecionarEstab1(*con, data);
    return *con;
}

sqlite3 *Handle() { return HandleSqlite(Banco()); }

qint64 Contar(const char *tabela)
{
    return nDMSQLDataSet::PegarQtdRegistro(QString::fromLatin1(tabela), QString(), Banco());
}

void Apagar(const char *tabela) { Banco().Executar(QStringLiteral("delete from %1").arg(QString::fromLatin1(tabela))); }

// Runs the process `classe` with the parameters given as typed; false when it reported an error.
bool Rodar(const char *classe, const QVariantMap &valores)
{
    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(QString::fromLatin1(classe)));
    for (auto it = valores.cbegin(); it != valores.cend(); ++it)
        dp->SetParamText(it.key(), it.value().toString());
    dp->Rodar();
    bool ok = true;
    for (const auto &m : dp->Mensagens().Itens())
        ok = ok && m->Tipo != tmErro;
    DestruirDM(dp);
    return ok;
}

const char kInsertSelect[] =
    "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ,"
    " INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, PRECOUNIT, VALORIR, QUANTIDADE)"
    " select I.CODIGOEMPRESA, I.CODIGOESTAB, I.DATAINVENT, I.CODIGOPRODUTO, I.MOTIVOINVENTARIO, 1,"
    " cast(? as smallint), cast(? as integer), cast(? as bigint), I.PRECOUNIT, I.VALORIR, I.QTDEESTOQUE"
    " from LCTOINV I"
    " where I.CODIGOEMPRESA = ? and I.CODIGOESTAB = ? and I.DATAINVENT between ? and ? and I.MOTIVOINVENTARIO = ?"
    " and not exists (select 1 from LCTOINVPROPRIEDADE D where D.CODIGOEMPRESA = I.CODIGOEMPRESA"
    " and D.CODIGOESTAB = I.CODIGOESTAB and D.DATAINVENT = I.DATAINVENT and D.CODIGOPRODUTO = I.CODIGOPRODUTO"
    " and D.MOTIVOINVENTARIO = I.MOTIVOINVENTARIO)";

void InserirPropriedadesDireto()
{
    sqlite3 *db = Handle();
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *st = PrepararSqlite(db, kInsertSelect);
    sqlite3_bind_int(st, 1, 0);
    sqlite3_bind_null(st, 2);
    sqlite3_bind_null(st, 3);
    sqlite3_bind_int(st, 4, 1);
    sqlite3_bind_int(st, 5, 1);
    sqlite3_bind_text(st, 6, "2024-03-01", 10, SQLITE_STATIC);
    sqlite3_bind_text(st, 7, "2024-03-31", 10, SQLITE_STATIC);
    sqlite3_bind_int(st, 8, 1);
    ChecarSqlite(db, sqlite3_step(st));
    sqlite3_finalize(st);
    ExecSqlite(db, "COMMIT");
}

const QVariantMap kInclusao{{"pCodigoEmpresa", "1"}, {"pPeriodo", "03/2024"}, {"pCodigoEstab", "1"},
                            {"pMotivoInventario", "1"}, {"pIndicadorPropriedade", "0"}};

void BM_IncluirPropriedades(benchmark::State &state)
{
    Banco();
    bool ok = true;
    MedirContraDireto(
        state, kRodadas, [] { Apagar("LCTOINVPROPRIEDADE"); },
        [&] { ok = ok && Rodar("TOrvoDPIncluirLCTOINVPROPRIEDADE", kInclusao) && Contar("LCTOINVPROPRIEDADE") == LinhasBench(); },
        [] { InserirPropriedadesDireto(); });
    if (!ok || Contar("LCTOINVPROPRIEDADE") != LinhasBench())
        state.SkipWithError("linhas de propriedade a menos");
    state.counters["linhas"] = LinhasBench();
}

// Every entry with its one property line.
void GarantirPropriedades()
{
    if (Contar("LCTOINVPROPRIEDADE") == LinhasBench())
        return;
    Apagar("LCTOINVCST");
    Apagar("LCTOINVPROPRIEDADE");
    InserirPropriedadesDireto();
}

void BM_AlterarIndicador(benchmark::State &state)
{
    GarantirPropriedades();
    bool ok = true;
    MedirContraDireto(
        state, kRodadas, [] {},
        [&] {
            ok = ok && Rodar("TOrvoDPManutencaoLctoProp", {{"pCodigoEmpresa", "1"}, {"pCodigoEstab", "1"},
                                                            {"pAlterarCampos", "1"}, {"pData", "03/2024"},
                                                            {"pValorIndAtual", "0"}, {"pValorIndNovo", "1"}});
        },
        [] {
            // The statement the process runs, back from 1 to 0.
            sqlite3 *db = Handle();
            ExecSqlite(db, "BEGIN IMMEDIATE");
            sqlite3_stmt *st = PrepararSqlite(db, "update LCTOINVPROPRIEDADE set INDICADORPROPRIEDADE = ? where "
                                                  "LCTOINVPROPRIEDADE.CODIGOEMPRESA = ? and "
                                                  "LCTOINVPROPRIEDADE.CODIGOESTAB = ? and "
                                                  "LCTOINVPROPRIEDADE.DATAINVENT between ? and ? and "
                                                  "LCTOINVPROPRIEDADE.INDICADORPROPRIEDADE = ?");
            sqlite3_bind_int(st, 1, 0);
            sqlite3_bind_int(st, 2, 1);
            sqlite3_bind_int(st, 3, 1);
            sqlite3_bind_text(st, 4, "2024-03-01", 10, SQLITE_STATIC);
            sqlite3_bind_text(st, 5, "2024-03-31", 10, SQLITE_STATIC);
            sqlite3_bind_int(st, 6, 1);
            ChecarSqlite(db, sqlite3_step(st));
            if (sqlite3_changes(db) != LinhasBench())
                std::abort();
            sqlite3_finalize(st);
            ExecSqlite(db, "COMMIT");
        });
    if (!ok)
        state.SkipWithError("erro ao alterar");
    state.counters["linhas"] = LinhasBench();
}

// Reads the property lines without a tax situation and inserts one line each.
void GerarCSTDireto()
{
    sqlite3 *db = Handle();
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *sel = PrepararSqlite(
        db, "select LP.CODIGOEMPRESA, LP.CODIGOESTAB, LP.DATAINVENT, LP.CODIGOPRODUTO, LP.MOTIVOINVENTARIO, "
            "LP.SEQ, LP.PRECOUNIT, LP.QUANTIDADE from LCTOINVPROPRIEDADE LP join PRODUTO P on "
            "P.CODIGOEMPRESA = LP.CODIGOEMPRESA and P.CODIGOPRODUTO = LP.CODIGOPRODUTO where "
            "LP.CODIGOEMPRESA = ? and LP.DATAINVENT between ? and ? and not exists (select 1 from LCTOINVCST LC "
            "where LC.CODIGOEMPRESA = LP.CODIGOEMPRESA and LC.CODIGOESTAB = LP.CODIGOESTAB and LC.DATAINVENT = "
            "LP.DATAINVENT and LC.CODIGOPRODUTO = LP.CODIGOPRODUTO and LC.MOTIVOINVENTARIO = LP.MOTIVOINVENTARIO "
            "and LC.SEQ = LP.SEQ)");
    sqlite3_stmt *ins = PrepararSqlite(db, "INSERT INTO LCTOINVCST (CODIGOEMPRESA,CODIGOESTAB,DATAINVENT,CODIGOPRODUTO,"
                                           "MOTIVOINVENTARIO,SEQ,CST,BASECALCULO,VALORIMPOSTO) VALUES (?,?,?,?,?,?,?,?,?)");
    sqlite3_bind_int(sel, 1, 1);
    sqlite3_bind_text(sel, 2, "2024-03-01", 10, SQLITE_STATIC);
    sqlite3_bind_text(sel, 3, "2024-03-31", 10, SQLITE_STATIC);
    while (sqlite3_step(sel) == SQLITE_ROW) {
        for (int c = 0; c < 6; ++c)
            if (c == 2)
                sqlite3_bind_text(ins, 3, reinterpret_cast<const char *>(sqlite3_column_text(sel, 2)), 10,
                                  SQLITE_TRANSIENT);
            else
                sqlite3_bind_int64(ins, c + 1, sqlite3_column_int64(sel, c));
        const double base = std::round(sqlite3_column_double(sel, 6) * 100) / 100;
        sqlite3_bind_int(ins, 7, 60);
        sqlite3_bind_double(ins, 8, base);
        sqlite3_bind_double(ins, 9, std::round(base * 18) / 100);
        PassoSqlite(db, ins);
    }
    sqlite3_finalize(sel);
    sqlite3_finalize(ins);
    ExecSqlite(db, "COMMIT");
}

void BM_GerarCST(benchmark::State &state)
{
    GarantirPropriedades();
    bool ok = true;
    MedirContraDireto(
        state, kRodadas, [] { Apagar("LCTOINVCST"); },
        [&] {
            ok = ok && Rodar("TOrvoDPManutencaoLctoInventario", {{"pCompetencia", "03/2024"}, {"pCodigoEmpresa", "1"},
                                                                  {"pCst", "60"}, {"pAliquota", "18"}})
                 && Contar("LCTOINVCST") == LinhasBench();
        },
        [] { GerarCSTDireto(); });
    if (!ok || Contar("LCTOINVCST") != LinhasBench())
        state.SkipWithError("linhas de CST a menos");
    state.counters["linhas"] = LinhasBench();
}

} // namespace

BENCHMARK(BM_IncluirPropriedades)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AlterarIndicador)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_GerarCST)->Unit(benchmark::kMillisecond)->Iterations(1);
