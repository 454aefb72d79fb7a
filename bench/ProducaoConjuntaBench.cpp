// The joint-production order K290 with its produced items K291 as the program loads them
// (OrvoCore).
//
// BM_BlocoKK291Salvar/sqlite: 10 orders of one branch-month, each with 1,000 produced
// items typed into the K291 detail under its order (the order's key taken from the
// master) and written in one transaction, against the same 10,000 inserts in one
// transaction through the sqlite3 C interface. Target: razao <= 2.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "DMClientDataSet.h"

namespace {

constexpr int kOrdens = 10;
constexpr int kItensPorOrdem = 1000;

TnBancoBench &Banco()
{
    static TnBancoBench *b = [] {
        auto *banco = new TnBancoBench(tcSQLite, QStringLiteral("producaoconjunta"));
        ConverterBanco(banco->Con());
        sqlite3 *db = banco->Lite();
        ExecSqlite(db, "BEGIN IMMEDIATE");
        sqlite3_stmt *o = PrepararSqlite(db, "insert into SPEDFISK290 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, "
                                             "SEQK290, DATAINICIALORDEMPRODUCAO, CODIGOOPOS) "
                                             "values (1, 1, '2024-06-01', ?, '2024-06-03', 'OP-' || ?)");
        for (int i = 1; i <= kOrdens; ++i) {
            sqlite3_bind_int(o, 1, i);
            sqlite3_bind_int(o, 2, i);
            PassoSqlite(db, o);
        }
        sqlite3_finalize(o);
        ExecSqlite(db, "COMMIT");
        ExecSqlite(db, "ANALYZE");
        return banco;
    }();
    return *b;
}

void BM_BlocoKK291Salvar(benchmark::State &state)
{
    TnBancoBench &b = Banco();
    nDMConexao::DefinirAtual(&b.Con());
    TnBibliotecas::Carregar("OrvoCore");
    Selecao().Reset();
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    Selecao().GetParams("CodigoEstab").SetValue(1);
    Selecao().Refresh();
    ExternalVar("gCodigoEmpresaAtiva", "1");
    sqlite3 *db = b.Lite();
    TnDMClientDataSet *mestre = nullptr;
    TnDMClientDataSet *itens = nullptr;
    const auto limpar = [&] { ExecSqlite(db, "delete from SPEDFISK291"); };
    const auto framework = [&] {
        TnClientDataSet &m = mestre->nClientDataSet();
        TnClientDataSet &ds = itens->nClientDataSet();
        TnField &produto = ds.FieldByName("CODIGOPRODUTO");
        TnField &qtde = ds.FieldByName("QTDPRODUCAOACABADA");
        b.Con().StartTransaction(1);
        for (m.First(); !m.Eof(); m.Next()) {
            for (int i = 0; i < kItensPorOrdem; ++i) {
                ds.Append();
                produto.SetAsLargeInt(i + 1);
                qtde.SetAsFloat(0.125 + i % 7);
                ds.Post();
            }
            itens->AplicarAlteracoes();
        }
        b.Con().Commit(1);
    };
    const auto direto = [&] {
        sqlite3_stmt *ins = PrepararSqlite(db, "insert into SPEDFISK291 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, "
                                               "SEQK290, CODIGOPRODUTO, QTDPRODUCAOACABADA) "
                                               "values (?, ?, ?, ?, ?, ?)");
        ExecSqlite(db, "BEGIN IMMEDIATE");
        for (int o = 1; o <= kOrdens; ++o)
            for (int i = 0; i < kItensPorOrdem; ++i) {
                sqlite3_bind_int(ins, 1, 1);
                sqlite3_bind_int(ins, 2, 1);
                sqlite3_bind_text(ins, 3, "2024-06-01", -1, SQLITE_STATIC);
                sqlite3_bind_int(ins, 4, o);
                sqlite3_bind_int64(ins, 5, i + 1);
                sqlite3_bind_double(ins, 6, 0.125 + i % 7);
                PassoSqlite(db, ins);
            }
        ExecSqlite(db, "COMMIT");
        sqlite3_finalize(ins);
    };
    Alternar(
        state,
        {.Preparar =
             [&] {
                 limpar();
                 mestre = CadastroNovo(QStringLiteral("TOrvoDMSpedFisK290"));
                 mestre->Abrir();
                 itens = mestre->CriarDetalhe(QStringLiteral("TOrvoDMSpedFisK291"),
                                              QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK290"));
                 itens->SetAplicarAoGravar(false);
             },
         .Medir = framework,
         .Depois =
             [&] {
                 DestruirDM(mestre);
                 sqlite3_stmt *n = PrepararSqlite(db, "select count(*), count(distinct SEQK290) from SPEDFISK291");
                 sqlite3_step(n);
                 if (sqlite3_column_int(n, 0) != kOrdens * kItensPorOrdem || sqlite3_column_int(n, 1) != kOrdens)
                     std::abort();
                 sqlite3_finalize(n);
             }},
        {.Preparar = limpar, .Medir = direto}, [&] { b.Checkpoint(); }, "razao <= 2");
    state.counters["linhas"] = kOrdens * kItensPorOrdem;
}

} // namespace

BENCHMARK(BM_BlocoKK291Salvar)->Name("BM_BlocoKK291Salvar/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
