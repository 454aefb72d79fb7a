// The production records K230 and K235 as the program loads them (OrvoCore).
//
// BM_BlocoKK235Salvar/sqlite: 10,000 K235 rows of one production order typed into the
// register, each validated (its component looked up in 0210 by the whole key) and all
// written in one transaction, against the same inserts, each after one keyed read of
// SPEDFIS0210, in one transaction through the sqlite3 C interface; the framework types the
// rows inside its transaction too, so that both sides read 0210 in one. Target: razao <= 2.
//
// BM_BlocoKK230Mover/sqlite: the K230 register moved over the production orders of June
// 2024 (20 inputs each; ORVO_BENCH_LINHAS / 200 orders, at most 10,000), its K235 detail
// following every move, in a table of ORVO_BENCH_LINHAS / 10 K235 rows and in one of
// ORVO_BENCH_LINHAS (1,000,000) rows, the rest in May. The statements on SPEDFISK235 are
// counted through the engine's trace. Targets: one statement per move (`leituras` <=
// `ordens` + 1) and razao (large table / small table, medians) <= 1.2.
#include "BlocoKComum.h"

#include <memory>

namespace {

constexpr int kLinhasK235 = 10000;
constexpr int kInsumosPorOrdem = 20;

int OrdensJunho() { return std::max(1, std::min(10000, LinhasBench() / 200)); }

// A database whose K235 table holds `total` rows: the June orders of OrdensJunho() with
// their inputs, the rest under May orders. 0210 registers components 1 to kLinhasK235 of
// item 100.
std::unique_ptr<TnBancoBench> NovoBanco(const QString &nome, int total)
{
    auto banco = std::make_unique<TnBancoBench>(tcSQLite, nome);
    ConverterBanco(banco->Con());
    sqlite3 *db = banco->Lite();
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *r = PrepararSqlite(db, "insert into SPEDFIS0210 (CODIGOEMPRESA, CODIGOESTAB, CODIGOPRODUTO, "
                                         "CODIGOINSUMO, QUANTIDADE, PERDA) values (1, 1, 100, ?, 1, 0)");
    for (int i = 1; i <= kLinhasK235; ++i) {
        sqlite3_bind_int(r, 1, i);
        PassoSqlite(db, r);
    }
    sqlite3_finalize(r);
    sqlite3_stmt *m = PrepararSqlite(db, "insert into SPEDFISK230 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, "
                                         "CODIGOORDEMPRODUCAO, CODIGOPRODUTO, DATAINICIOORDEMPRODUCAO, QUANTIDADE) "
                                         "values (1, 1, ?, ?, 100, ?, 10)");
    sqlite3_stmt *d = PrepararSqlite(db, "insert into SPEDFISK235 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, "
                                         "CODIGOORDEMPRODUCAO, CODIGOPRODUTO, DATASAIDA, CODIGOINSUMO, QUANTIDADE) "
                                         "values (1, 1, ?, ?, 100, ?, ?, 2.5)");
    const int ordens = total / kInsumosPorOrdem;
    for (int o = 0; o < ordens; ++o) {
        const char *mes = o < OrdensJunho() ? "2024-06-01" : "2024-05-01";
        const QByteArray ordem = QByteArray("OP-") + QByteArray::number(o).rightJustified(7, '0');
        sqlite3_bind_text(m, 1, mes, -1, SQLITE_STATIC);
        sqlite3_bind_text(m, 2, ordem.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(m, 3, mes, -1, SQLITE_STATIC);
        PassoSqlite(db, m);
        for (int i = 1; i <= kInsumosPorOrdem; ++i) {
            sqlite3_bind_text(d, 1, mes, -1, SQLITE_STATIC);
            sqlite3_bind_text(d, 2, ordem.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(d, 3, mes, -1, SQLITE_STATIC);
            sqlite3_bind_int(d, 4, i);
            PassoSqlite(db, d);
        }
    }
    sqlite3_finalize(m);
    sqlite3_finalize(d);
    ExecSqlite(db, "COMMIT");
    ExecSqlite(db, "ANALYZE");
    return banco;
}

void BM_BlocoKK235Salvar(benchmark::State &state)
{
    // One order, no other inputs: the rows go under order OP-0000000 of June.
    static std::unique_ptr<TnBancoBench> banco = NovoBanco(QStringLiteral("k235salvar"), kInsumosPorOrdem);
    TnBancoBench &b = *banco;
    SelecionarBlocoK(b, true);
    sqlite3 *db = b.Lite();
    TnDMClientDataSet *dm = nullptr;
    const auto limpar = [&] { ExecSqlite(db, "delete from SPEDFISK235"); };
    const auto framework = [&] {
        TnClientDataSet &ds = dm->nClientDataSet();
        TnField &data = ds.FieldByName("DATALCTOFIS");
        TnField &ordem = ds.FieldByName("CODIGOORDEMPRODUCAO");
        TnField &produto = ds.FieldByName("CODIGOPRODUTO");
        TnField &saida = ds.FieldByName("DATASAIDA");
        TnField &insumo = ds.FieldByName("CODIGOINSUMO");
        TnField &qtde = ds.FieldByName("QUANTIDADE");
        const QDate mes(2024, 6, 1);
        // One transaction around the typing and the write, as on the raw side: the 0210
        // reads of the rows run inside it there too.
        b.Con().StartTransaction(1);
        for (int i = 1; i <= kLinhasK235; ++i) {
            ds.Append();
            data.SetAsDate(mes);
            ordem.SetAsString(QStringLiteral("OP-0000000"));
            produto.SetAsLargeInt(100);
            saida.SetAsDate(mes);
            insumo.SetAsLargeInt(i);
            qtde.SetAsFloat(2.5);
            ds.Post();
        }
        dm->AplicarAlteracoes();
        b.Con().Commit(1);
    };
    const auto direto = [&] {
        sqlite3_stmt *ler = PrepararSqlite(db, "select 1 from SPEDFIS0210 where CODIGOEMPRESA = ? and CODIGOESTAB = ? "
                                               "and CODIGOPRODUTO = ? and CODIGOINSUMO = ?");
        sqlite3_stmt *ins = PrepararSqlite(db, "insert into SPEDFISK235 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, "
                                               "CODIGOORDEMPRODUCAO, CODIGOPRODUTO, DATASAIDA, CODIGOINSUMO, "
                                               "QUANTIDADE) values (?, ?, ?, ?, ?, ?, ?, ?)");
        ExecSqlite(db, "BEGIN IMMEDIATE");
        for (int i = 1; i <= kLinhasK235; ++i) {
            sqlite3_bind_int(ler, 1, 1);
            sqlite3_bind_int(ler, 2, 1);
            sqlite3_bind_int64(ler, 3, 100);
            sqlite3_bind_int64(ler, 4, i);
            if (sqlite3_step(ler) != SQLITE_ROW)
                std::abort();
            sqlite3_reset(ler);
            sqlite3_bind_int(ins, 1, 1);
            sqlite3_bind_int(ins, 2, 1);
            sqlite3_bind_text(ins, 3, "2024-06-01", -1, SQLITE_STATIC);
            sqlite3_bind_text(ins, 4, "OP-0000000", -1, SQLITE_STATIC);
            sqlite3_bind_int64(ins, 5, 100);
            sqlite3_bind_text(ins, 6, "2024-06-01", -1, SQLITE_STATIC);
            sqlite3_bind_int64(ins, 7, i);
            sqlite3_bind_double(ins, 8, 2.5);
            PassoSqlite(db, ins);
        }
        ExecSqlite(db, "COMMIT");
        sqlite3_finalize(ler);
        sqlite3_finalize(ins);
    };
    Alternar(
        state,
        {.Preparar =
             [&] {
                 limpar();
                 dm = CadastroNovo(QStringLiteral("TOrvoDMSpedFisK235"));
                 dm->Abrir();
                 dm->SetAplicarAoGravar(false);
             },
         .Medir = framework,
         .Depois =
             [&] {
                 DestruirDM(dm);
                 if (ValorSqlite(db, "select count(*) from SPEDFISK235") != kLinhasK235)
                     std::abort();
             }},
        {.Preparar = limpar, .Medir = direto}, [&] { b.Checkpoint(); }, "razao <= 2");
    state.counters["linhas"] = kLinhasK235;
}

void BM_BlocoKK230Mover(benchmark::State &state)
{
    static std::unique_ptr<TnBancoBench> pequeno =
        NovoBanco(QStringLiteral("k230pequeno"), std::max(LinhasBench() / 10, OrdensJunho() * kInsumosPorOrdem));
    static std::unique_ptr<TnBancoBench> grande = NovoBanco(QStringLiteral("k230grande"), LinhasBench());
    MoverMestreBlocoK(state, *grande, *pequeno, "TOrvoDMSpedFisK230", "SPEDFISK235", kInsumosPorOrdem, OrdensJunho(),
                      "ordens");
}

} // namespace

BENCHMARK(BM_BlocoKK235Salvar)->Name("BM_BlocoKK235Salvar/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlocoKK230Mover)->Name("BM_BlocoKK230Mover/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
