// The generation of inventory entries from stock balances as the program loads it (OrvoCore,
// with the fiscal module's stand-in Telso, by class name): the closing balances of a month
// over five branches become one entry and one property line each, against SQLite's C
// interface inserting the same rows with prepared statements in one transaction. Every run
// starts from a copy of the same database. Balances: ORVO_BENCH_LINHAS (default 1,000,000).
//
// The ratio the project holds: within 1.5x of the C interface.
#include "BenchComum.h"
#include "ConversaoBanco.h"

#include <benchmark/benchmark.h>

namespace {

int Linhas() { return LinhasBench(); }
constexpr int kEstabs = 5;
int Produtos() { return std::max(1, Linhas() / kEstabs); }

// Balance i: branch, product and values (quantity and unit value above 0).
struct Saldo {
    int estab;
    qint64 produto;
    double qtde, unitario;
};
Saldo Gerar(int i)
{
    return {.estab = i / Produtos() + 1,
            .produto = i % Produtos() + 1,
            .qtde = 1 + (i % 97) * 0.5,
            .unitario = 2.5 + (i % 13) * 1.25};
}

const QString kBase = QStringLiteral("gerar_base.db");

// Five branches, the products, and their closing balances of March 2024. Written once.
void GerarBase()
{
    auto con = BancoNovo(kBase);
    TnTransacao t(1, *con);
    for (int e = 2; e <= kEstabs; ++e)
        con->Executar(QStringLiteral("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, %1, 'Filial')").arg(e));
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, 'Produto')");
    for (int i = 1; i <= Produtos(); ++i) {
        p->BindInteiro(0, i);
        p->Executar();
    }
    auto s = con->Preparar("insert into SALDOESTOQUE (CODIGOEMPRESA, CODIGOESTAB, DATASALDO, CODIGOPRODUTO, QUANTIDADE, "
                           "VALORUNITARIO, VALORTOTAL) values (1, ?, '2024-03-01', ?, ?, ?, ?)");
    for (int i = 0; i < Linhas(); ++i) {
        const Saldo g = Gerar(i);
        s->BindInteiro(0, g.estab);
        s->BindInteiro(1, g.produto);
        s->BindReal(2, g.qtde);
        s->BindReal(3, g.unitario);
        s->BindReal(4, g.qtde * g.unitario);
        s->Executar();
    }
    t.Commit();
}

// The process as the user runs it: March 2024, every branch, own stock, reason 1.
void Framework(benchmark::State &state)
{
    RodarProcesso(state, QStringLiteral("TOrvoDPGerarLctoInventario"), {"OrvoCore", "Telso"},
                  {{"pCompetencia", "03/2024"}, {"pIndPropriedade", "0"}, {"pMotivoInventario", "1"}});
}

// The same rows with the C interface alone.
void Direto(sqlite3 *db)
{
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *l = PrepararSqlite(db, "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                                         "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                                         "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, ?, '2024-03-01', ?, "
                                         "1, ?, ?, 0, 0, 0, '2024-03-10 09:00:00', 1, 1)");
    sqlite3_stmt *p = PrepararSqlite(db, "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, "
                                         "CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, "
                                         "CODIGOPESSOAPART, CONTACTB, PRECOUNIT, QUANTIDADE) values (1, ?, "
                                         "'2024-03-01', ?, 1, 1, 0, null, null, ?, ?)");
    for (int i = 0; i < Linhas(); ++i) {
        const Saldo g = Gerar(i);
        sqlite3_bind_int(l, 1, g.estab);
        sqlite3_bind_int64(l, 2, g.produto);
        sqlite3_bind_double(l, 3, g.qtde);
        sqlite3_bind_double(l, 4, g.unitario);
        PassoSqlite(db, l);
        sqlite3_bind_int(p, 1, g.estab);
        sqlite3_bind_int64(p, 2, g.produto);
        sqlite3_bind_double(p, 3, g.unitario);
        sqlite3_bind_double(p, 4, g.qtde);
        PassoSqlite(db, p);
    }
    sqlite3_finalize(l);
    sqlite3_finalize(p);
    ExecSqlite(db, "COMMIT");
}

void BM_GerarLctoInventario(benchmark::State &state)
{
    GerarBase();
    MedirEmBancoNovo(state, [] { return CopiarBanco(kBase, QStringLiteral("gerar.db")); }, [&] { Framework(state); }, Direto);
    state.counters["linhas"] = 2.0 * Linhas();
    DestruirTodosDM();
}

// ---- on the server

// The same branches, products and balances on a schema of the server, written by the server.
void GerarBasePg(nDMConexao &con)
{
    ConverterBanco(con);
    const QString n = QString::number(Linhas()), produtos = QString::number(Produtos());
    con.Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) select 1, e, 'Filial' "
                 "from generate_series(2, " + QString::number(kEstabs) + ") e");
    con.Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) "
                 "select 1, i, 'Produto' from generate_series(1, " + produtos + ") i");
    // Balance i as Gerar(i) gives it.
    con.Executar("insert into SALDOESTOQUE (CODIGOEMPRESA, CODIGOESTAB, DATASALDO, CODIGOPRODUTO, QUANTIDADE, "
                 "VALORUNITARIO, VALORTOTAL) select 1, i / " + produtos + " + 1, '2024-03-01', i % " + produtos +
                 " + 1, 1 + (i % 97) * 0.5, 2.5 + (i % 13) * 1.25, (1 + (i % 97) * 0.5) * (2.5 + (i % 13) * 1.25) "
                 "from generate_series(0, " + n + " - 1) i");
    con.Executar("ANALYZE");
}

// The raw side on the server: each branch's balances read as the fiscal module reads them
// (one query per branch, in product order), then the entries and property lines of those
// above 0 written with COPY FROM STDIN, in one transaction.
void DiretoPg(PGconn *c)
{
    struct Lido {
        int estab;
        qint64 produto;
        double qtde, unitario;
    };
    std::vector<Lido> saldos;
    saldos.reserve(size_t(Linhas()));
    ExecPg(c, "BEGIN");
    for (int e = 1; e <= kEstabs; ++e) {
        const std::string sql = "select CODIGOPRODUTO, QUANTIDADE, VALORUNITARIO from SALDOESTOQUE "
                                "where CODIGOEMPRESA = 1 and CODIGOESTAB = " + std::to_string(e) +
                                " and DATASALDO = '2024-03-01' and QUANTIDADE <> 0 order by CODIGOPRODUTO";
        LerPg(c, sql.c_str(), [&](PGresult *r, int i) {
            const Lido l{e, InteiroPg(r, i, 0), RealPg(r, i, 1), RealPg(r, i, 2)};
            if (l.qtde > 0 && l.unitario > 0)
                saldos.push_back(l);
        });
    }
    const auto chave = [&](const Lido &l, std::string &s) {
        s += "1\t";
        TextoInteiro(s, l.estab);
        s += "\t2024-03-01\t";
        TextoInteiro(s, l.produto);
        s += "\t1\t";
    };
    const int n = int(saldos.size());
    CopiarPg(c,
             "COPY LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
             "PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) FROM STDIN",
             n, [&](int i, std::string &s) {
                 chave(saldos[size_t(i)], s);
                 TextoReal(s, saldos[size_t(i)].qtde);
                 s += '\t';
                 TextoReal(s, saldos[size_t(i)].unitario);
                 s += "\t0\t0\t0\t2024-03-10 09:00:00\t1\t1\n";
             });
    CopiarPg(c,
             "COPY LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, "
             "INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, PRECOUNIT, QUANTIDADE) FROM STDIN",
             n, [&](int i, std::string &s) {
                 chave(saldos[size_t(i)], s);
                 s += "1\t0\t\\N\t\\N\t";
                 TextoReal(s, saldos[size_t(i)].unitario);
                 s += '\t';
                 TextoReal(s, saldos[size_t(i)].qtde);
                 s += '\n';
             });
    ExecPg(c, "COMMIT");
}

// Each round starts without the entries of March (their lines go with them); the
// exchanges of the framework's last round are reported beside the times.
void BM_GerarLctoInventarioPg(benchmark::State &state)
{
    TnBancoBench banco(tcPostgreSQL, QStringLiteral("gerar"));
    TnConexaoDoCaso atual(&banco.Con());
    GerarBasePg(banco.Con());
    AlternarNoServidor(
        state, banco, [&] { banco.Con().Executar("delete from LCTOINV where DATAINVENT = '2024-03-01'"); },
        [&] { Framework(state); }, DiretoPg);
    state.counters["linhas"] = 2.0 * Linhas();
    DestruirTodosDM();
}

const int gRegistro = RegistrarNoServidor("BM_GerarLctoInventario/pg", BM_GerarLctoInventarioPg);

} // namespace

BENCHMARK(BM_GerarLctoInventario)->Unit(benchmark::kMillisecond)->Iterations(1);
