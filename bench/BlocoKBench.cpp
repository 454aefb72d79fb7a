// The Bloco K registers of record 0210 and K220 as the program loads them (OrvoCore).
//
// BM_BlocoK0210Salvar/sqlite: 10,000 rows of 0210 typed into the register, each validated
// (its component's item type read by its code) and all written in one transaction, against
// the same inserts, each after one keyed read of PRODUTO, in one transaction through the
// sqlite3 C interface. Target: razao <= 2.
//
// BM_BlocoKK220Rolar/sqlite: the K220 consultation opened over 100,000 rows of one company
// and scrolled to the end: the statements that read the company settings are counted
// through the engine's trace. Target: `leituras_cfg` <= `empresas` (once per company).
#include "BlocoKComum.h"

namespace {

constexpr int kLinhas0210 = 10000;
constexpr int kLinhasK220 = 100000;

TnBancoBench &Banco()
{
    static TnBancoBench *b = [] {
        auto *banco = new TnBancoBench(tcSQLite, QStringLiteral("blocok"));
        ConverterBanco(banco->Con());
        sqlite3 *db = banco->Lite();
        ExecSqlite(db, "BEGIN IMMEDIATE");
        InserirProdutosBlocoK(db, kLinhas0210 + 1);
        sqlite3_stmt *k = PrepararSqlite(db, "insert into SPEDFISK220 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, "
                                             "CODIGOPRODUTOORI, CODIGOPRODUTODEST, QUANTIDADE, QUANTIDADEDEST) "
                                             "values (1, 1, '2024-06-10', ?, ?, 1.5, 1.5)");
        for (int i = 0; i < kLinhasK220; ++i) {
            sqlite3_bind_int(k, 1, i + 1);
            sqlite3_bind_int(k, 2, i + 2);
            PassoSqlite(db, k);
        }
        sqlite3_finalize(k);
        ExecSqlite(db, "COMMIT");
        ExecSqlite(db, "ANALYZE");
        return banco;
    }();
    return *b;
}

void BM_BlocoK0210Salvar(benchmark::State &state)
{
    TnBancoBench &b = Banco();
    SelecionarBlocoK(b, false);
    sqlite3 *db = b.Lite();
    TnDMClientDataSet *dm = nullptr;
    const auto limpar = [&] { ExecSqlite(db, "delete from SPEDFIS0210"); };
    const auto framework = [&] {
        TnClientDataSet &ds = dm->nClientDataSet();
        TnField &produto = ds.FieldByName("CODIGOPRODUTO");
        TnField &insumo = ds.FieldByName("CODIGOINSUMO");
        TnField &qtde = ds.FieldByName("QUANTIDADE");
        TnField &perda = ds.FieldByName("PERDA");
        for (int i = 0; i < kLinhas0210; ++i) {
            ds.Append();
            produto.SetAsLargeInt(1);
            insumo.SetAsLargeInt(i + 2);
            qtde.SetAsFloat(0.125 + i % 7);
            perda.SetAsFloat(0.5);
            ds.Post();
        }
        b.Con().StartTransaction(1);
        dm->AplicarAlteracoes();
        b.Con().Commit(1);
    };
    const auto direto = [&] {
        sqlite3_stmt *tipo = PrepararSqlite(
            db, "select INDICADORTIPO from PRODUTO where CODIGOEMPRESA = ? and CODIGOPRODUTO = ?");
        sqlite3_stmt *ins = PrepararSqlite(db, "insert into SPEDFIS0210 (CODIGOEMPRESA, CODIGOESTAB, CODIGOPRODUTO, "
                                               "CODIGOINSUMO, QUANTIDADE, PERDA) values (?, ?, ?, ?, ?, ?)");
        ExecSqlite(db, "BEGIN IMMEDIATE");
        for (int i = 0; i < kLinhas0210; ++i) {
            sqlite3_bind_int(tipo, 1, 1);
            sqlite3_bind_int64(tipo, 2, i + 2);
            if (sqlite3_step(tipo) != SQLITE_ROW)
                std::abort();
            const int t = sqlite3_column_int(tipo, 0);
            sqlite3_reset(tipo);
            if (t > 15 || !((1087u >> t) & 1u))
                std::abort();
            sqlite3_bind_int(ins, 1, 1);
            sqlite3_bind_int(ins, 2, 1);
            sqlite3_bind_int64(ins, 3, 1);
            sqlite3_bind_int64(ins, 4, i + 2);
            sqlite3_bind_double(ins, 5, 0.125 + i % 7);
            sqlite3_bind_double(ins, 6, 0.5);
            PassoSqlite(db, ins);
        }
        ExecSqlite(db, "COMMIT");
        sqlite3_finalize(tipo);
        sqlite3_finalize(ins);
    };
    Alternar(
        state,
        {.Preparar =
             [&] {
                 limpar();
                 dm = CadastroNovo(QStringLiteral("TOrvoDMSpedFis0210"));
                 dm->Abrir();
                 dm->SetAplicarAoGravar(false);
             },
         .Medir = framework,
         .Depois =
             [&] {
                 DestruirDM(dm);
                 sqlite3_stmt *n = PrepararSqlite(db, "select count(*) from SPEDFIS0210");
                 sqlite3_step(n);
                 if (sqlite3_column_int(n, 0) != kLinhas0210)
                     std::abort();
                 sqlite3_finalize(n);
             }},
        {.Preparar = limpar, .Medir = direto}, [&] { b.Checkpoint(); }, "razao <= 2");
    state.counters["linhas"] = kLinhas0210;
}

void BM_BlocoKK220Rolar(benchmark::State &state)
{
    TnBancoBench &b = Banco();
    SelecionarBlocoK(b, false);
    int leituras = 0;
    int linhas = 0;
    Repetir(
        state,
        {.Medir =
             [&] {
                 auto *dm = CadastroNovo(QStringLiteral("TOrvoDCSPEDFISK220"));
                 leituras = ContarComandos(b.Lite(), "CFGEMPRESAINV", [&] {
                     dm->Abrir();
                     TnClientDataSet &ds = dm->nClientDataSet();
                     linhas = 0;
                     for (ds.First(); !ds.Eof(); ds.Next())
                         ++linhas;
                 });
                 DestruirDM(dm);
             }},
        [&] { b.Checkpoint(); });
    state.counters["linhas"] = linhas;
    state.counters["empresas"] = 1;
    state.counters["leituras_cfg"] = leituras;
    if (linhas != kLinhasK220)
        state.SkipWithError("linhas lidas");
    else if (leituras > 1)
        state.SkipWithError("mais de uma leitura das configurações por empresa");
}

} // namespace

BENCHMARK(BM_BlocoK0210Salvar)->Name("BM_BlocoK0210Salvar/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlocoKK220Rolar)->Name("BM_BlocoKK220Rolar/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
