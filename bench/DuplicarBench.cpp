// The duplication of inventory entries as the program loads it (OrvoCore, by class name):
// the source entries of one branch and date, each with one property line and one
// tax-situation line, copied to two destination branches, against SQLite's C interface
// inserting the same rows with prepared statements in one transaction. Every run starts from
// a copy of the same database. Entries: ORVO_BENCH_LINHAS (default 1,000,000), so the copy
// writes six times as many rows.
//
// The ratio the project holds: within 1.5x of the C interface. With a server
// (ORVO_TESTE_PG_*), BM_DuplicarLctoInv/pg runs the same copy on it against raw libpq
// (DiretoPg says how).
#include "BenchComum.h"
#include "ConversaoBanco.h"

#include <benchmark/benchmark.h>

namespace {

int Linhas() { return LinhasBench(); }
constexpr int kMotivos = 5;
int Produtos() { return std::max(1, Linhas() / kMotivos); }

// Source entry i (key order): product, reason and values.
struct Fonte {
    qint64 produto;
    int motivo;
    double qtde, preco, icms;
};
Fonte Gerar(int i)
{
    return {.produto = i / kMotivos + 1,
            .motivo = i % kMotivos + 1,
            .qtde = 1 + (i % 97) * 0.5,
            .preco = 2.5 + (i % 13) * 1.25,
            .icms = (i % 7) * 1.1};
}

const QString kBase = QStringLiteral("duplicar_base.db");

// The source: branch 1 on 2024-01-01, each entry with one property line and one CST line;
// branches 2 and 3 empty. Written once, then closed.
void GerarBase()
{
    auto con = BancoNovo(kBase);
    TnTransacao t(1, *con);
    con->Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial 2'), (1, 3, 'Filial 3')");
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, 'Produto')");
    for (int i = 1; i <= Produtos(); ++i) {
        p->BindInteiro(0, i);
        p->Executar();
    }
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                           "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, "
                           "ORIGEMDADO) values (1, 1, '2024-01-01', ?, ?, ?, ?, ?, 0, 0, '2024-01-05 09:00:00', 1, 2)");
    auto pr = con->Preparar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                            "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                            "values (1, 1, '2024-01-01', ?, ?, 1, 0, ?, ?)");
    auto c = con->Preparar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO) "
                           "values (1, 1, '2024-01-01', ?, ?, 1, 0, 100, 18)");
    for (int i = 0; i < Linhas(); ++i) {
        const Fonte f = Gerar(i);
        for (TnComando *cmd : {l.get(), pr.get(), c.get()}) {
            cmd->BindInteiro(0, f.produto);
            cmd->BindInteiro(1, f.motivo);
        }
        l->BindReal(2, f.qtde);
        l->BindReal(3, f.preco);
        l->BindReal(4, f.icms);
        l->Executar();
        pr->BindReal(2, f.qtde);
        pr->BindReal(3, f.preco);
        pr->Executar();
        c->Executar();
    }
    t.Commit();
}

// The process as the user runs it: branch 1 of January to branches 2 and 3 in February.
void Framework(benchmark::State &state)
{
    RodarProcesso(state, QStringLiteral("TOrvoDPDuplicarLctoInv"), {"OrvoCore"},
                  {{"pCodigoEstab", "1"},
                   {"pCompetenciaOrigem", "01/01/2024"},
                   {"pCodigoEstabDest", "2; 3"},
                   {"pCompetenciaDestino", "01/02/2024"}});
}

// The same rows with the C interface alone: each source entry's row, property line and CST
// line at each destination branch, with the values a factor of 1 keeps.
void Direto(sqlite3 *db)
{
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *l = PrepararSqlite(db, "insert into LCTOINV(CODIGOEMPRESA, CODIGOESTAB, CODIGOPRODUTO, "
                                         "MOTIVOINVENTARIO, DATAINVENT, QTDEESTOQUE, PRECOUNIT, VALORIR, VALORICMS, "
                                         "OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO, VALORPIS, "
                                         "VALORCOFINS) values(1, ?, ?, ?, '2024-02-01', ?, ?, ?, ?, ?, "
                                         "'2024-02-10 09:00:00', 1, 1, ?, ?)");
    sqlite3_stmt *p = PrepararSqlite(db, "insert into LCTOINVPROPRIEDADE(CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, "
                                         "CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, "
                                         "CODIGOPESSOAPART, CONTACTB, QUANTIDADE, PRECOUNIT, VALORIR) values(1, ?, "
                                         "'2024-02-01', ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    sqlite3_stmt *c = PrepararSqlite(db, "insert into LCTOINVCST(CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, "
                                         "CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO) "
                                         "values(1, ?, '2024-02-01', ?, ?, ?, ?, ?, ?)");
    for (int estab : {2, 3}) {
        for (int i = 0; i < Linhas(); ++i) {
            const Fonte f = Gerar(i);
            sqlite3_bind_int(l, 1, estab);
            sqlite3_bind_int64(l, 2, f.produto);
            sqlite3_bind_int(l, 3, f.motivo);
            sqlite3_bind_double(l, 4, f.qtde);
            sqlite3_bind_double(l, 5, f.preco);
            sqlite3_bind_double(l, 6, 0);
            sqlite3_bind_double(l, 7, f.icms);
            sqlite3_bind_null(l, 8);
            sqlite3_bind_double(l, 9, 0);
            sqlite3_bind_double(l, 10, 0);
            PassoSqlite(db, l);
            sqlite3_bind_int(p, 1, estab);
            sqlite3_bind_int64(p, 2, f.produto);
            sqlite3_bind_int(p, 3, f.motivo);
            sqlite3_bind_int(p, 4, 1);
            sqlite3_bind_int(p, 5, 0);
            sqlite3_bind_null(p, 6);
            sqlite3_bind_null(p, 7);
            sqlite3_bind_double(p, 8, f.qtde);
            sqlite3_bind_double(p, 9, f.preco);
            sqlite3_bind_null(p, 10);
            PassoSqlite(db, p);
            sqlite3_bind_int(c, 1, estab);
            sqlite3_bind_int64(c, 2, f.produto);
            sqlite3_bind_int(c, 3, f.motivo);
            sqlite3_bind_int(c, 4, 1);
            sqlite3_bind_int(c, 5, 0);
            sqlite3_bind_double(c, 6, 100);
            sqlite3_bind_double(c, 7, 18);
            PassoSqlite(db, c);
        }
    }
    for (sqlite3_stmt *st : {l, p, c})
        sqlite3_finalize(st);
    ExecSqlite(db, "COMMIT");
}

void BM_DuplicarLctoInv(benchmark::State &state)
{
    GerarBase();
    MedirEmBancoNovo(state, [] { return CopiarBanco(kBase, QStringLiteral("duplicar.db")); }, [&] { Framework(state); }, Direto);
    state.counters["linhas"] = 6.0 * Linhas();
    DestruirTodosDM();
}

// ---- on the server

// The same source on a schema of the server, written by the server itself.
void GerarBasePg(nDMConexao &con)
{
    ConverterBanco(con);
    const QString n = QString::number(Linhas());
    con.Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial 2'), (1, 3, 'Filial 3')");
    con.Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) "
                 "select 1, i, 'Produto' from generate_series(1, " + QString::number(Produtos()) + ") i");
    // Entry i as Gerar(i) gives it.
    con.Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                 "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                 "select 1, 1, '2024-01-01', i / 5 + 1, i % 5 + 1, 1 + (i % 97) * 0.5, 2.5 + (i % 13) * 1.25, "
                 "(i % 7) * 1.1, 0, 0, '2024-01-05 09:00:00', 1, 2 from generate_series(0, " + n + " - 1) i");
    con.Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                 "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                 "select 1, 1, '2024-01-01', i / 5 + 1, i % 5 + 1, 1, 0, 1 + (i % 97) * 0.5, 2.5 + (i % 13) * 1.25 "
                 "from generate_series(0, " + n + " - 1) i");
    con.Executar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                 "SEQ, CST, BASECALCULO, VALORIMPOSTO) select 1, 1, '2024-01-01', i / 5 + 1, i % 5 + 1, 1, 0, 100, 18 "
                 "from generate_series(0, " + n + " - 1) i");
    con.Executar("ANALYZE");
}

// The raw side on the server: the same rows the fastest sensible way, three INSERT ...
// SELECT per destination branch in one transaction (the rows never leave the server), with
// the values a factor of 1 keeps.
void DiretoPg(PGconn *c)
{
    ExecPg(c, "BEGIN");
    for (const char *estab : {"2", "3"}) {
        const std::string e = estab;
        ExecPg(c, ("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO, DATAINVENT, "
                   "QTDEESTOQUE, PRECOUNIT, VALORIR, VALORICMS, OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO, "
                   "VALORPIS, VALORCOFINS) select 1, " + e + ", CODIGOPRODUTO, MOTIVOINVENTARIO, '2024-02-01', "
                   "QTDEESTOQUE, PRECOUNIT, coalesce(VALORIR, 0), coalesce(VALORICMS, 0), OBSLCTOINV, "
                   "'2024-02-10 09:00:00', 1, 1, coalesce(VALORPIS, 0), coalesce(VALORCOFINS, 0) from LCTOINV "
                   "where CODIGOEMPRESA = 1 and CODIGOESTAB = 1 and DATAINVENT = '2024-01-01'").c_str());
        ExecPg(c, ("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                   "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, QUANTIDADE, PRECOUNIT, "
                   "VALORIR) select 1, " + e + ", '2024-02-01', CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, "
                   "INDICADORPROPRIEDADE, nullif(CODIGOPESSOAPART, 0), nullif(CONTACTB, 0), QUANTIDADE, PRECOUNIT, "
                   "VALORIR from LCTOINVPROPRIEDADE where CODIGOEMPRESA = 1 and CODIGOESTAB = 1 "
                   "and DATAINVENT = '2024-01-01'").c_str());
        ExecPg(c, ("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                   "SEQ, CST, BASECALCULO, VALORIMPOSTO) select 1, " + e + ", '2024-02-01', CODIGOPRODUTO, "
                   "MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO from LCTOINVCST where CODIGOEMPRESA = 1 "
                   "and CODIGOESTAB = 1 and DATAINVENT = '2024-01-01'").c_str());
    }
    ExecPg(c, "COMMIT");
}

// Each round starts with the destination branches empty (their lines go with the
// entries); the exchanges of the framework's last round are reported beside the times.
void BM_DuplicarLctoInvPg(benchmark::State &state)
{
    TnBancoBench banco(tcPostgreSQL, QStringLiteral("duplicar"));
    TnConexaoDoCaso atual(&banco.Con());
    GerarBasePg(banco.Con());
    AlternarNoServidor(
        state, banco, [&] { banco.Con().Executar("delete from LCTOINV where CODIGOESTAB in (2, 3)"); },
        [&] { Framework(state); }, DiretoPg);
    state.counters["linhas"] = 6.0 * Linhas();
    DestruirTodosDM();
}

const int gRegistro = RegistrarNoServidor("BM_DuplicarLctoInv/pg", BM_DuplicarLctoInvPg);

} // namespace

BENCHMARK(BM_DuplicarLctoInv)->Unit(benchmark::kMillisecond)->Iterations(1);
