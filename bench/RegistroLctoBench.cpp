// The inventory entry register and its consultation as the program loads them (OrvoCore, by
// class name), over one branch-date holding as many entries as the company has products,
// at 20,000, 200,000 and 1,000,000 entries: opening each (they read one packet), and, with
// the consultation open, saving a new entry (the register writes at once and copies the row
// into the consultation) right after opening and after moving to the last row, deleting it
// again, and refreshing the register on its last row. The register is configured as the
// program does, so its property lines (a detail) follow each move.
//
// Target: saving, deleting and refreshing cost the same at every size: under 2 ms at
// 1,000,000 entries and within 1.5x across the sizes.
//
// Each case also counts the round trips of its timed operation (`idas_e_voltas`, the median
// of the rounds): on a shared server every one costs the network's latency. `lat1ms_min_ms`
// and `lat1ms_med_ms` add 1 ms per round trip to each round's time, as an office network
// would: saving an entry on the server stays under 4 ms median so.
//
// There is no raw side to be fair to here: the log is checkpointed once before each case,
// not before each round (the first write after a checkpoint pays for restarting the log,
// a cost of the disk that would hide what the register costs).
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "DMClientDataSet.h"
#include "Modulos.h"
#include "SQLDataSet.h"
#include "Variaveis.h"

#include <charconv>
#include <map>

namespace {

const QDate kDataInvent(2024, 3, 31);
constexpr int kSemLcto = 1000; // products without an entry, for the new ones

// A converted database (sample company 1) with `linhas` entries on branch 1 at the
// inventory date, one per product, and products left without an entry; written with the
// engine's own interface (the subject here is the register, not the writing).
std::unique_ptr<TnBancoBench> Gerar(TTipoCon tipo, int linhas)
{
    auto b = std::make_unique<TnBancoBench>(tipo, QStringLiteral("registro%1").arg(linhas));
    ConverterBanco(b->Con());
    const int produtos = linhas + kSemLcto;
    if (tipo == tcSQLite) {
        sqlite3 *db = b->Lite();
        ExecSqlite(db, "BEGIN IMMEDIATE");
        sqlite3_stmt *p = PrepararSqlite(db, "insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) "
                                             "values (1, ?, 'Produto ' || ?)");
        sqlite3_stmt *l = PrepararSqlite(db, "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, "
                                             "CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, "
                                             "VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                                             "values (1, 1, '2024-03-31', ?, 1, ?, ?, 0, 0, 0, "
                                             "'2024-04-02 09:30:00', 1, 2)");
        for (int i = 1; i <= produtos; ++i) {
            sqlite3_bind_int(p, 1, i);
            sqlite3_bind_int(p, 2, i);
            PassoSqlite(db, p);
            if (i > linhas)
                continue;
            sqlite3_bind_int(l, 1, i);
            sqlite3_bind_double(l, 2, 1 + (i % 97) * 0.5);
            sqlite3_bind_double(l, 3, 2.5 + (i % 13) * 1.25);
            PassoSqlite(db, l);
        }
        sqlite3_finalize(p);
        sqlite3_finalize(l);
        ExecSqlite(db, "COMMIT");
        return b;
    }
    PGconn *c = b->Pg();
    ExecPg(c, "BEGIN");
    const auto copiar = [c](const char *sql, int n, const std::function<void(int, std::string &)> &linha) {
        PGresult *r = PQexec(c, sql);
        ChecarPg(c, r, sql);
        PQclear(r);
        std::string buf;
        for (int i = 1; i <= n; ++i) {
            linha(i, buf);
            if (buf.size() > (1u << 20) || i == n) {
                PQputCopyData(c, buf.data(), int(buf.size()));
                buf.clear();
            }
        }
        PQputCopyEnd(c, nullptr);
        while ((r = PQgetResult(c))) {
            ChecarPg(c, r, sql);
            PQclear(r);
        }
    };
    copiar("COPY PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) FROM STDIN", produtos,
           [](int i, std::string &s) { s += "1\t" + std::to_string(i) + "\tProduto " + std::to_string(i) + "\n"; });
    copiar("COPY LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
           "PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) FROM STDIN",
           linhas, [](int i, std::string &s) {
               char q[32], p[32];
               *std::to_chars(q, q + 31, 1 + (i % 97) * 0.5).ptr = 0;
               *std::to_chars(p, p + 31, 2.5 + (i % 13) * 1.25).ptr = 0;
               s += "1\t1\t2024-03-31\t" + std::to_string(i) + "\t1\t" + q + "\t" + p
                    + "\t0\t0\t0\t2024-04-02 09:30:00\t1\t2\n";
           });
    ExecPg(c, "COMMIT");
    ExecPg(c, "ANALYZE");
    return b;
}

// The database of `linhas` entries, generated once per process and engine, made current
// with company 1, branch 1 and the inventory date selected and OrvoCore loaded.
TnBancoBench &Usar(TTipoCon tipo, int linhas)
{
    // Kept to the process's end and never destroyed: Qt's registry of connections may be
    // gone before a static of this file would close them.
    static auto *bancos = new std::map<std::pair<int, int>, std::unique_ptr<TnBancoBench>>;
    auto &b = (*bancos)[{int(tipo), linhas}];
    if (!b)
        b = Gerar(tipo, linhas);
    DestruirTodosDM();
    SelecionarEstab1(b->Con(), kDataInvent);
    return *b;
}

// The round trips of each timed round and its time with 1 ms added per round trip.
struct TnIdas {
    TnTempos Idas, ComLatencia;
    // `op`, counted: what the timed part of a round runs.
    std::function<void()> Contar(const std::function<void()> &op)
    {
        return [this, op] {
            nDMConexao &con = nDMConexao::Atual();
            con.ZerarIdasEVoltas();
            const double ms = MedirMs(op);
            const double n = double(con.IdasEVoltas().Total());
            Idas.Ms.push_back(n);
            ComLatencia.Ms.push_back(ms + n);
        };
    }
    // On the server only: the embedded engine has no network between.
    void Informar(benchmark::State &state) const
    {
        if (Idas.Ms.empty() || nDMConexao::Atual().PegarTipoCon() != tcPostgreSQL)
            return;
        state.counters["idas_e_voltas"] = Idas.Mediana();
        state.counters["lat1ms_min_ms"] = ComLatencia.Min();
        state.counters["lat1ms_med_ms"] = ComLatencia.Mediana();
    }
};

TnDMClientDataSet *Criar(const char *classe)
{
    auto *dm = qobject_cast<TnDMClientDataSet *>(CriarDM(QString::fromLatin1(classe)));
    if (!dm)
        throw Exception(QStringLiteral("módulo %1 não criado").arg(QLatin1String(classe)));
    return dm;
}

TnDMClientDataSet *Registro()
{
    TnDMClientDataSet *dm = Criar("TOrvoDMLctoInv");
    dm->Abrir();
    dm->ConfigurarForm(nullptr); // as the program does: the register gets its property lines
    return dm;
}

// Opening a module of `classe`: it reads its first packet only.
void MedirAbertura(benchmark::State &state, TTipoCon tipo, const char *classe)
{
    const int linhas = int(state.range(0));
    TnBancoBench &b = Usar(tipo, linhas);
    b.Checkpoint();
    TnDMClientDataSet *dm = nullptr;
    TnIdas idas;
    Repetir(state,
            {[&] { dm = Criar(classe); },
             idas.Contar([&] {
                 dm->Abrir();
                 dm->ConfigurarForm(nullptr);
             }),
             [&] {
                 const int lidas = dm->nClientDataSet().RecordCount();
                 if (lidas == 0 || lidas > linhas || (lidas < linhas && dm->nClientDataSet().TodosLidos()))
                     state.SkipWithError("linhas a menos");
                 DestruirDM(dm);
             }},
            [] {});
    idas.Informar(state);
    state.counters["linhas"] = linhas;
}

// The quantity the database holds for the entry of `produto` (-1: none).
double QtdeGravada(qint64 produto)
{
    auto c = nDMConexao::Atual().Preparar("select QTDEESTOQUE from LCTOINV where CODIGOEMPRESA = 1 and "
                                          "CODIGOESTAB = 1 and CODIGOPRODUTO = ? and MOTIVOINVENTARIO = 1");
    c->BindInteiro(0, produto);
    TnCursor &r = c->Abrir();
    return r.Proximo() ? r.Real(0) : -1;
}

void NovoLcto(TnClientDataSet &ds, qint64 produto)
{
    ds.Append();
    ds.FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
    ds.FieldByName("MOTIVOINVENTARIO").SetAsInteger(1);
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(10);
    ds.FieldByName("PRECOUNIT").SetAsFloat(2.5);
    ds.Post();
}

enum TnCaso { csSalvar, csSalvarNaUltima, csExcluir, csAtualizarNaUltima, csSalvarComConsultaInteira };

// With the consultation open (every row of it read, for the case that says so): the
// register open (on its last row for the cases that say so); times saving a new entry of a product without one, deleting the entry saved just
// before, or refreshing the register.
void MedirComConsulta(benchmark::State &state, TTipoCon tipo, TnCaso caso)
{
    const int linhas = int(state.range(0));
    TnBancoBench &b = Usar(tipo, linhas);
    b.Checkpoint();
    TnDMClientDataSet *consulta = Criar("TOrvoDCLctoInv");
    consulta->Abrir();
    if (caso == csSalvarComConsultaInteira)
        consulta->nClientDataSet().Last(); // the user went to its end: every row read
    TnDMClientDataSet *registro = nullptr;
    static std::map<std::pair<int, int>, int> usados; // products of new entries, per database
    qint64 produto = 0;
    TnIdas idas;
    Repetir(state,
            {[&] {
                 registro = Registro();
                 TnClientDataSet &ds = registro->nClientDataSet();
                 produto = linhas + 1 + usados[{int(tipo), linhas}]++ % kSemLcto;
                 if (QtdeGravada(produto) >= 0) // left by an earlier case: gone before the round
                     nDMSQLDataSet::LimpaRegistro("LCTOINV", QStringLiteral("CODIGOEMPRESA = 1 and CODIGOPRODUTO = %1").arg(produto));
                 if (caso == csSalvarNaUltima || caso == csAtualizarNaUltima)
                     ds.Last();
                 if (caso == csExcluir) {
                     NovoLcto(ds, produto);
                     if (ds.FieldByName("CODIGOPRODUTO").AsLargeInt() != produto)
                         state.SkipWithError("não está no lançamento novo");
                 }
             },
             idas.Contar([&] {
                 TnClientDataSet &ds = registro->nClientDataSet();
                 switch (caso) {
                 case csSalvar:
                 case csSalvarComConsultaInteira:
                 case csSalvarNaUltima: NovoLcto(ds, produto); break;
                 case csExcluir: ds.Delete(); break;
                 case csAtualizarNaUltima: registro->AtualizarRegistro(); break;
                 }
             }),
             [&] {
                 TnClientDataSet &ds = registro->nClientDataSet();
                 const qint64 atual = ds.FieldByName("CODIGOPRODUTO").AsLargeInt();
                 if ((caso == csSalvar || caso == csSalvarNaUltima || caso == csSalvarComConsultaInteira) && (atual != produto || QtdeGravada(produto) != 10))
                     state.SkipWithError("lançamento não gravado");
                 if (caso == csExcluir && QtdeGravada(produto) >= 0)
                     state.SkipWithError("lançamento não excluído");
                 if (caso == csAtualizarNaUltima && atual != linhas)
                     state.SkipWithError("não ficou na última linha");
                 if (QtdeGravada(produto) >= 0)
                     nDMSQLDataSet::LimpaRegistro("LCTOINV", QStringLiteral("CODIGOEMPRESA = 1 and CODIGOPRODUTO = %1").arg(produto));
                 DestruirDM(registro);
             }},
            [] {});
    DestruirDM(consulta);
    idas.Informar(state);
    state.counters["linhas"] = linhas;
}

int Registrar()
{
    const auto ajustar = [](benchmark::internal::Benchmark *b) {
        b->Arg(20000)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
    };
    RegistrarPorMotor("BM_RegistroAbrir", [](benchmark::State &s, TTipoCon t) { MedirAbertura(s, t, "TOrvoDMLctoInv"); }, ajustar);
    RegistrarPorMotor("BM_ConsultaAbrir", [](benchmark::State &s, TTipoCon t) { MedirAbertura(s, t, "TOrvoDCLctoInv"); }, ajustar);
    RegistrarPorMotor("BM_RegistroSalvar", [](benchmark::State &s, TTipoCon t) { MedirComConsulta(s, t, csSalvar); }, ajustar);
    RegistrarPorMotor("BM_RegistroSalvarComConsultaInteira", [](benchmark::State &s, TTipoCon t) { MedirComConsulta(s, t, csSalvarComConsultaInteira); }, ajustar);
    RegistrarPorMotor("BM_RegistroSalvarNaUltima", [](benchmark::State &s, TTipoCon t) { MedirComConsulta(s, t, csSalvarNaUltima); }, ajustar);
    RegistrarPorMotor("BM_RegistroExcluir", [](benchmark::State &s, TTipoCon t) { MedirComConsulta(s, t, csExcluir); }, ajustar);
    RegistrarPorMotor("BM_RegistroAtualizarNaUltima", [](benchmark::State &s, TTipoCon t) { MedirComConsulta(s, t, csAtualizarNaUltima); }, ajustar);
    return 0;
}
const int gRegistro = Registrar();

} // namespace
