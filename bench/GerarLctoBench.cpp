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

} // namespace

BENCHMARK(BM_GerarLctoInventario)->Unit(benchmark::kMillisecond)->Iterations(1);
