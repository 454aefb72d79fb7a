// The reprocessing records K260/K265 and the correction records K270/K275 as the program
// loads them (OrvoCore): each master register with its items as a detail.
//
// BM_BlocoKK265Salvar/sqlite, BM_BlocoKK275Salvar/sqlite: 10,000 items typed into the
// detail of the register's one June master, each validated (the master's product or origin
// read from the master's row, the item's type read by its code) and all written in one
// transaction, against the same inserts, each after one keyed read of PRODUTO, in one
// transaction through the sqlite3 C interface. Target: razao <= 2.
//
// BM_BlocoKK260Mover/sqlite, BM_BlocoKK270Mover/sqlite: the master register moved over the
// June masters (20 items each; ORVO_BENCH_LINHAS / 200 masters, at most 10,000), its detail
// following every move, in a table of ORVO_BENCH_LINHAS / 10 items and in one of
// ORVO_BENCH_LINHAS (1,000,000), the rest under masters of earlier months. The statements
// on the detail table are counted through the engine's trace. Targets: one statement per
// move (`leituras` <= `mestres` + 1) and razao (large table / small table, medians) <= 1.2.
#include "BlocoKComum.h"

#include <map>
#include <memory>

namespace {

constexpr int kItensSalvar = 10000;
constexpr int kItensPorMestre = 20;
// Numbers of a month's masters stay within the smallint sequence.
constexpr int kMestresPorMes = 30000;
// The masters' product: none of the items'.
constexpr int kProdutoMestre = 100000;

// A master record and its items as the bench writes and reads them.
struct TnParK {
    const char *Mestre;          // the master register's class
    const char *TabelaItens;     // the detail's table
    const char *InserirMestre;   // values bound: competence, sequence, order
    const char *InserirItem;     // values bound: competence, sequence, product
    const char *Quantidade;      // the item's quantity column typed
    const char *Substituto;      // a column typed with the same product on every item; "" none
};

const TnParK kK260{"TOrvoDMSpedFisK260", "SPEDFISK265",
                   "insert into SPEDFISK260 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK260, CODIGOPRODUTO, "
                   "DATASAIDA, QUANTIDADESAI, CODIGOOPOS) values (1, 1, ?1, ?2, 100000, ?1, 4, ?3)",
                   "insert into SPEDFISK265 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK260, CODIGOPRODUTO, "
                   "QTDCONSUMIDA, QTDRETORNADA) values (1, 1, ?, ?, ?, 2.5, null)",
                   "QTDCONSUMIDA", ""};
// Origin 1 (K230/K235): a replaced component is accepted.
const TnParK kK270{"TOrvoDMSpedFisK270", "SPEDFISK275",
                   "insert into SPEDFISK270 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK270, ORIGEM, "
                   "CODIGOPRODUTO, QTDCORRECAOPOS, CODIGOOPOS) values (1, 1, ?1, ?2, 1, 100000, 1, ?3)",
                   "insert into SPEDFISK275 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK270, CODIGOPRODUTO, "
                   "QTDCORRECAOPOS, QTDCORRECAONEG, CODINSUMOSUBST) values (1, 1, ?, ?, ?, null, 2.5, 10001)",
                   "QTDCORRECAONEG", "CODINSUMOSUBST"};

int MestresJunho() { return std::max(1, std::min(10000, LinhasBench() / 200)); }

// A database whose item table holds `itens` rows: the June masters of MestresJunho() with
// their items, the rest under masters of earlier months. PRODUTO holds the items' products
// 1 to kItensSalvar + 1 (types 0 and 10, which every item record accepts).
std::unique_ptr<TnBancoBench> NovoBanco(const TnParK &par, const QString &nome, int itens)
{
    auto banco = std::make_unique<TnBancoBench>(tcSQLite, nome);
    ConverterBanco(banco->Con());
    sqlite3 *db = banco->Lite();
    ExecSqlite(db, "BEGIN IMMEDIATE");
    InserirProdutosBlocoK(db, kItensSalvar + 1);
    sqlite3_stmt *m = PrepararSqlite(db, par.InserirMestre);
    sqlite3_stmt *d = PrepararSqlite(db, par.InserirItem);
    // No items: one June master alone.
    const int mestres = itens ? itens / kItensPorMestre : 1;
    const int itensPorMestre = itens ? kItensPorMestre : 0;
    for (int o = 0; o < mestres; ++o) {
        // June first, then May, April, ... kMestresPorMes each.
        const int antes = o < MestresJunho() ? 0 : 1 + (o - MestresJunho()) / kMestresPorMes;
        const int seq = (o < MestresJunho() ? o : (o - MestresJunho()) % kMestresPorMes) + 1;
        const QByteArray mes = QDate(2024, 6, 1).addMonths(-antes).toString(Qt::ISODate).toLatin1();
        const QByteArray ordem = QByteArray("OS-") + QByteArray::number(o);
        sqlite3_bind_text(m, 1, mes.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(m, 2, seq);
        sqlite3_bind_text(m, 3, ordem.constData(), -1, SQLITE_TRANSIENT);
        PassoSqlite(db, m);
        for (int i = 1; i <= itensPorMestre; ++i) {
            sqlite3_bind_text(d, 1, mes.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(d, 2, seq);
            sqlite3_bind_int(d, 3, i);
            PassoSqlite(db, d);
        }
    }
    sqlite3_finalize(m);
    sqlite3_finalize(d);
    ExecSqlite(db, "COMMIT");
    ExecSqlite(db, "ANALYZE");
    return banco;
}

// The cases' databases by name, never destroyed: Qt's registry of connections may be gone
// before a static of this file would close them.
std::map<QString, std::unique_ptr<TnBancoBench>> &Bancos()
{
    static auto *bancos = new std::map<QString, std::unique_ptr<TnBancoBench>>;
    return *bancos;
}

void Salvar(benchmark::State &state, const TnParK &par, const QString &nome)
{
    // One June master without items: the rows go under it.
    std::unique_ptr<TnBancoBench> &banco = Bancos()[nome];
    if (!banco)
        banco = NovoBanco(par, nome, 0);
    TnBancoBench &b = *banco;
    SelecionarBlocoK(b, true);
    sqlite3 *db = b.Lite();
    const QByteArray tabela(par.TabelaItens);
    ExecSqlite(db, ("delete from " + tabela).constData());
    TnDMClientDataSet *dm = nullptr;
    TnDMClientDataSet *itens = nullptr;
    const auto limpar = [&] { ExecSqlite(db, ("delete from " + tabela).constData()); };
    const auto framework = [&] {
        TnClientDataSet &ds = itens->nClientDataSet();
        TnField &produto = ds.FieldByName("CODIGOPRODUTO");
        TnField &qtde = ds.FieldByName(QString::fromLatin1(par.Quantidade));
        TnField *substituto = *par.Substituto ? &ds.FieldByName(QString::fromLatin1(par.Substituto)) : nullptr;
        for (int i = 1; i <= kItensSalvar; ++i) {
            ds.Append();
            produto.SetAsLargeInt(i);
            qtde.SetAsFloat(2.5);
            if (substituto)
                substituto->SetAsLargeInt(kItensSalvar + 1);
            ds.Post();
        }
        b.Con().StartTransaction(1);
        itens->AplicarAlteracoes();
        b.Con().Commit(1);
    };
    // The item statement of the database's build, its three values bound per row.
    const auto direto = [&] {
        sqlite3_stmt *ler =
            PrepararSqlite(db, "select INDICADORTIPO from PRODUTO where CODIGOEMPRESA = ? and CODIGOPRODUTO = ?");
        sqlite3_stmt *ins = PrepararSqlite(db, par.InserirItem);
        ExecSqlite(db, "BEGIN IMMEDIATE");
        for (int i = 1; i <= kItensSalvar; ++i) {
            sqlite3_bind_int(ler, 1, 1);
            sqlite3_bind_int64(ler, 2, i);
            if (sqlite3_step(ler) != SQLITE_ROW)
                std::abort();
            sqlite3_reset(ler);
            sqlite3_bind_text(ins, 1, "2024-06-01", -1, SQLITE_STATIC);
            sqlite3_bind_int(ins, 2, 1);
            sqlite3_bind_int64(ins, 3, i);
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
                 dm = CadastroNovo(QString::fromLatin1(par.Mestre));
                 dm->Abrir();
                 itens = dm->Detalhes().value(0);
                 if (!itens || dm->nClientDataSet().RecordCount() != 1)
                     std::abort();
                 itens->SetAplicarAoGravar(false);
             },
         .Medir = framework,
         .Depois =
             [&] {
                 DestruirDM(dm);
                 if (ValorSqlite(db, "select count(*) from " + tabela) != kItensSalvar)
                     std::abort();
             }},
        {.Preparar = limpar, .Medir = direto}, [&] { b.Checkpoint(); }, "razao <= 2");
    state.counters["linhas"] = kItensSalvar;
}

void Mover(benchmark::State &state, const TnParK &par, const QString &nome)
{
    std::unique_ptr<TnBancoBench> &pequeno = Bancos()[nome + QStringLiteral("pequeno")];
    std::unique_ptr<TnBancoBench> &grande = Bancos()[nome + QStringLiteral("grande")];
    if (!pequeno)
        pequeno = NovoBanco(par, nome + QStringLiteral("pequeno"),
                            std::max(LinhasBench() / 10, MestresJunho() * kItensPorMestre));
    if (!grande)
        grande = NovoBanco(par, nome + QStringLiteral("grande"), LinhasBench());
    MoverMestreBlocoK(state, *grande, *pequeno, par.Mestre, par.TabelaItens, kItensPorMestre, MestresJunho(),
                      "mestres");
}

void BM_BlocoKK265Salvar(benchmark::State &state) { Salvar(state, kK260, QStringLiteral("k265salvar")); }
void BM_BlocoKK275Salvar(benchmark::State &state) { Salvar(state, kK270, QStringLiteral("k275salvar")); }
void BM_BlocoKK260Mover(benchmark::State &state) { Mover(state, kK260, QStringLiteral("k260")); }
void BM_BlocoKK270Mover(benchmark::State &state) { Mover(state, kK270, QStringLiteral("k270")); }

} // namespace

BENCHMARK(BM_BlocoKK265Salvar)->Name("BM_BlocoKK265Salvar/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlocoKK275Salvar)->Name("BM_BlocoKK275Salvar/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlocoKK260Mover)->Name("BM_BlocoKK260Mover/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlocoKK270Mover)->Name("BM_BlocoKK270Mover/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
