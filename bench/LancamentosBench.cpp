// A generated company of inventory entries, each with one property line: writing them,
// opening them in a client dataset and applying 100,000 edits through the provider, each
// against the engine's own C interface doing the same work on the same database in the
// same run (rounds alternate, a checkpoint before each). Rows: ORVO_BENCH_LINHAS.
//
// Targets: on SQLite, insert <= 1.2x, open <= 1.3x, apply <= 1.3x of the C interface and
// the open rows under 160 MB (counter "MB"); on PostgreSQL, insert within 2x of COPY FROM
// STDIN of the same rows, open within 1.5x of a libpq loop over the same query and apply
// within 1.5x of pipelined prepared UPDATEs.
#include "BenchComum.h"
#include "ClientDataSet.h"
#include "ExecutarSQL.h"
#include "Provider.h"

#include <charconv>
#include <cstring>
#include <map>

namespace {

int Produtos() { return std::max(1, LinhasBench() / 50); }
constexpr int kEdicoes = 100000;

// Entry i: branch 1..5, one of ten month-ends, product; the key stays unique.
struct Lcto {
    int estab;
    int data; // index into kDatas
    qint64 produto;
    double qtde, preco, icms;
};
const char *const kDatas[10] = {"2024-01-31", "2024-02-29", "2024-03-31", "2024-04-30", "2024-05-31",
                                "2024-06-30", "2024-07-31", "2024-08-31", "2024-09-30", "2024-10-31"};
const char *const kAgora = "2024-11-05 09:30:00";

Lcto Gerar(int i)
{
    Lcto l{};
    l.estab = i % 5 + 1;
    const int r = i / 5;
    l.data = r % 10;
    l.produto = r / 10 + 1;
    l.qtde = 1 + (i % 97) * 0.5;
    l.preco = 2.5 + (i % 13) * 1.25;
    l.icms = (i % 7) * 1.1;
    return l;
}

// The entry at position k in key order (branch, date, product), as the dataset sorts them.
Lcto NaOrdem(int k)
{
    const int p = Produtos();
    const int estab = k / (10 * p) + 1, data = (k / p) % 10, produto = k % p + 1;
    return Gerar(((produto - 1) * 10 + data) * 5 + estab - 1);
}

// The rows the apply case edits, in key order, and the quantity each gets in a round.
int PassoEdicao() { return std::max(1, LinhasBench() / kEdicoes); }
int Edicoes() { return std::min(kEdicoes, LinhasBench()); }
double QtdeEditada(const Lcto &g, int rodada) { return g.qtde + rodada; }

const char *SqlLcto = "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                      "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, "
                      "ORIGEMDADO) values (1, ?, ?, ?, 1, ?, ?, ?, 0, 0, ?, 1, 2)";
const char *SqlProp = "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                      "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                      "values (1, ?, ?, ?, 1, 1, 0, ?, ?)";
const char *SqlAbrir = "select CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
                       "PRECOUNIT, VALORIR, VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, DATAHORALCTOINV, "
                       "CODIGOUSUARIO, VALORMEDIOICMS, VALORMEDIOBCICMSST, VALORMEDIOICMSST, VALORMEDIOFCP, "
                       "ORIGEMDADO, IDSYN from LCTOINV t_t "
                       "order by CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO";
// The statement the provider writes for a changed quantity (key columns as parameters).
const char *SqlEditar = "UPDATE LCTOINV SET QTDEESTOQUE = ? WHERE CODIGOEMPRESA = ? AND CODIGOESTAB = ? AND "
                        "DATAINVENT = ? AND CODIGOPRODUTO = ? AND MOTIVOINVENTARIO = ?";
const char *SqlEditarPg = "UPDATE LCTOINV SET QTDEESTOQUE = $1 WHERE CODIGOEMPRESA = $2 AND CODIGOESTAB = $3 AND "
                          "DATAINVENT = $4 AND CODIGOPRODUTO = $5 AND MOTIVOINVENTARIO = $6";

// A converted database (its sample company is number 1) with the company's five branches
// and products.
std::unique_ptr<TnBancoBench> BancoVazio(TTipoCon tipo, const QString &nome)
{
    auto b = std::make_unique<TnBancoBench>(tipo, nome);
    ConverterBanco(b->Con());
    TnTransacao t(1, b->Con());
    for (int e = 2; e <= 5; ++e)
        b->Con().Executar(QStringLiteral("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, %1, 'Filial')")
                              .arg(e));
    auto p = b->Con().Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, ?)");
    for (int i = 1; i <= Produtos(); ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("Produto %1").arg(i));
        p->Executar();
    }
    t.Commit();
    return b;
}

// ---------------------------------------------------------------- inserting

// Framework: two prepared statements bound per row, in one transaction, as bulk writes
// (ExecutarEmLote: COPY on the server).
void InserirFramework(nDMConexao &con)
{
    QDate datas[10];
    for (int k = 0; k < 10; ++k)
        datas[k] = QDate::fromString(QLatin1String(kDatas[k]), Qt::ISODate);
    const QDateTime agora(QDate(2024, 11, 5), QTime(9, 30));
    TnTransacao t(1, con);
    auto l = con.Preparar(SqlLcto);
    auto p = con.Preparar(SqlProp);
    for (int i = 0; i < LinhasBench(); ++i) {
        const Lcto g = Gerar(i);
        l->BindInteiro(0, g.estab);
        l->BindData(1, datas[g.data]);
        l->BindInteiro(2, g.produto);
        l->BindReal(3, g.qtde);
        l->BindReal(4, g.preco);
        l->BindReal(5, g.icms);
        l->BindDataHora(6, agora);
        l->ExecutarEmLote();
        p->BindInteiro(0, g.estab);
        p->BindData(1, datas[g.data]);
        p->BindInteiro(2, g.produto);
        p->BindReal(3, g.qtde);
        p->BindReal(4, g.preco);
        p->ExecutarEmLote();
    }
    t.Commit();
}

// The same rows with SQLite's C interface alone.
void InserirSQLite(sqlite3 *db)
{
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *l = PrepararSqlite(db, SqlLcto);
    sqlite3_stmt *p = PrepararSqlite(db, SqlProp);
    for (int i = 0; i < LinhasBench(); ++i) {
        const Lcto g = Gerar(i);
        sqlite3_bind_int(l, 1, g.estab);
        sqlite3_bind_text(l, 2, kDatas[g.data], 10, SQLITE_STATIC);
        sqlite3_bind_int64(l, 3, g.produto);
        sqlite3_bind_double(l, 4, g.qtde);
        sqlite3_bind_double(l, 5, g.preco);
        sqlite3_bind_double(l, 6, g.icms);
        sqlite3_bind_text(l, 7, kAgora, -1, SQLITE_STATIC);
        PassoSqlite(db, l);
        sqlite3_bind_int(p, 1, g.estab);
        sqlite3_bind_text(p, 2, kDatas[g.data], 10, SQLITE_STATIC);
        sqlite3_bind_int64(p, 3, g.produto);
        sqlite3_bind_double(p, 4, g.qtde);
        sqlite3_bind_double(p, 5, g.preco);
        PassoSqlite(db, p);
    }
    sqlite3_finalize(l);
    sqlite3_finalize(p);
    ExecSqlite(db, "COMMIT");
}

// The key columns both tables start with, and the quantity and price they share, as COPY
// text; `meio` goes between the key and the quantity.
void LinhaCopia(int i, std::string &s, const char *meio, bool comIcms)
{
    const Lcto g = Gerar(i);
    s += "1\t";
    TextoInteiro(s, g.estab);
    s += '\t';
    s += kDatas[g.data];
    s += '\t';
    TextoInteiro(s, g.produto);
    s += meio;
    TextoReal(s, g.qtde);
    s += '\t';
    TextoReal(s, g.preco);
    if (comIcms) {
        s += '\t';
        TextoReal(s, g.icms);
        s += "\t0\t0\t";
        s += kAgora;
        s += "\t1\t2";
    }
    s += '\n';
}

// The same rows with libpq's COPY FROM STDIN, in one transaction.
void InserirPg(PGconn *c)
{
    ExecPg(c, "BEGIN");
    CopiarPg(c,
           "COPY LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
           "PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) FROM STDIN",
           LinhasBench(), [](int i, std::string &s) { LinhaCopia(i, s, "\t1\t", true); });
    CopiarPg(c,
           "COPY LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, "
           "INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) FROM STDIN",
           LinhasBench(), [](int i, std::string &s) { LinhaCopia(i, s, "\t1\t1\t0\t", false); });
    ExecPg(c, "COMMIT");
}

// The rows of LCTOINV on the bench's database.
qint64 LinhasLcto(TnBancoBench &b)
{
    auto c = b.Con().Preparar("select count(*) from LCTOINV");
    TnCursor &r = c->Abrir();
    return r.Proximo() ? r.Inteiro(0) : -1;
}

void BM_Inserir(benchmark::State &state, TTipoCon tipo)
{
    std::unique_ptr<TnBancoBench> banco;
    auto novo = [&] { banco = BancoVazio(tipo, "inserir"); };
    auto largar = [&] {
        if (LinhasLcto(*banco) != LinhasBench())
            state.SkipWithError("linhas a menos");
        banco.reset();
    };
    TnLado fw{novo, [&] { InserirFramework(banco->Con()); }, largar};
    TnLado bruto{novo, [&] { tipo == tcSQLite ? InserirSQLite(banco->Lite()) : InserirPg(banco->Pg()); }, largar};
    Alternar(state, fw, bruto, [&] { banco->Checkpoint(); }, tipo == tcSQLite ? "alvo <= 1.2" : "alvo <= 2 (COPY)");
    state.counters["linhas"] = 2.0 * LinhasBench();
}

// ---------------------------------------------------------------- opening

// The database the opening and applying cases read, filled once per engine.
TnBancoBench &Cheio(TTipoCon tipo)
{
    static std::map<TTipoCon, std::unique_ptr<TnBancoBench>> bancos;
    auto &b = bancos[tipo];
    if (!b) {
        b = BancoVazio(tipo, "cheio");
        tipo == tcSQLite ? InserirSQLite(b->Lite()) : InserirPg(b->Pg());
        if (tipo == tcPostgreSQL)
            ExecPg(b->Pg(), "ANALYZE");
    }
    nDMConexao::DefinirAtual(&b->Con());
    return *b;
}

// Every value of every row read typed into columns, as the dataset keeps them: integers,
// doubles, numerics scaled to integers, dates as Julian days, timestamps as milliseconds,
// texts copied; a null flag per value of the nullable columns.
struct Colunas {
    std::vector<qint64> I[7];
    std::vector<double> D[2];
    std::vector<qint64> N[8];
    std::vector<qint64> Data, DataHora;
    std::vector<std::string> Obs;
    std::vector<quint8> Nulos;
    void Reservar(size_t n)
    {
        for (auto &v : I)
            v.reserve(n);
        for (auto &v : D)
            v.reserve(n);
        for (auto &v : N)
            v.reserve(n);
        Data.reserve(n);
        DataHora.reserve(n);
        Obs.reserve(n);
        Nulos.reserve(n * 10);
    }
    size_t Linhas() const { return Data.size(); }
};
// Column positions of SqlAbrir by kind.
constexpr int kInteiros[7] = {0, 1, 3, 4, 13, 18, 19};
constexpr int kReais[2] = {5, 6};
constexpr int kNumericos[8] = {7, 8, 9, 10, 14, 15, 16, 17};
constexpr int kEscalas[8] = {2, 2, 2, 2, 6, 6, 6, 6};
constexpr qint64 kPot[7] = {1, 10, 100, 1000, 10000, 100000, 1000000};

int Digitos(const char *p, int n)
{
    int v = 0;
    for (int k = 0; k < n; ++k)
        v = v * 10 + (p[k] - '0');
    return v;
}
qint64 DiaJuliano(int a, int m, int d)
{
    const int x = (14 - m) / 12, y = a + 4800 - x, z = m + 12 * x - 3;
    return d + (153 * z + 2) / 5 + 365LL * y + y / 4 - y / 100 + y / 400 - 32045;
}

void AbrirSQLite(sqlite3 *db, Colunas &c)
{
    sqlite3_stmt *st = PrepararSqlite(db, SqlAbrir);
    c.Reservar(size_t(LinhasBench()));
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int k = 0; k < 7; ++k) {
            const bool nulo = sqlite3_column_type(st, kInteiros[k]) == SQLITE_NULL;
            c.Nulos.push_back(nulo);
            c.I[k].push_back(nulo ? 0 : sqlite3_column_int64(st, kInteiros[k]));
        }
        for (int k = 0; k < 2; ++k)
            c.D[k].push_back(sqlite3_column_double(st, kReais[k]));
        for (int k = 0; k < 8; ++k) {
            const bool nulo = sqlite3_column_type(st, kNumericos[k]) == SQLITE_NULL;
            c.Nulos.push_back(nulo);
            c.N[k].push_back(nulo ? 0 : std::llround(sqlite3_column_double(st, kNumericos[k]) * kPot[kEscalas[k]]));
        }
        const char *d = reinterpret_cast<const char *>(sqlite3_column_text(st, 2));
        c.Data.push_back(DiaJuliano(Digitos(d, 4), Digitos(d + 5, 2), Digitos(d + 8, 2)));
        const char *h = reinterpret_cast<const char *>(sqlite3_column_text(st, 12));
        c.DataHora.push_back(DiaJuliano(Digitos(h, 4), Digitos(h + 5, 2), Digitos(h + 8, 2)) * 86400000
                             + ((Digitos(h + 11, 2) * 60 + Digitos(h + 14, 2)) * 60 + Digitos(h + 17, 2)) * 1000LL);
        const char *o = reinterpret_cast<const char *>(sqlite3_column_text(st, 11));
        c.Nulos.push_back(!o);
        c.Obs.emplace_back(o ? o : "");
    }
    sqlite3_finalize(st);
}

// Binary values of the server: big-endian integers.
qint64 Be(const char *p, int n)
{
    quint64 v = 0;
    for (int k = 0; k < n; ++k)
        v = (v << 8) | quint8(p[k]);
    if (n < 8 && (v >> (8 * n - 1)) & 1)
        v |= ~quint64(0) << (8 * n);
    return qint64(v);
}
double BeReal(const char *p)
{
    const quint64 v = quint64(Be(p, 8));
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}
// numeric in binary: digit count, weight, sign, scale, then base-10000 digits, digit k
// being worth 10000^(weight - k).
qint64 NumericoBin(const char *p, int escala)
{
    const int n = int(Be(p, 2)), peso = int(Be(p + 2, 2)), sinal = int(quint16(Be(p + 4, 2)));
    auto dig = [&](int k) { return k >= 0 && k < n ? int(Be(p + 8 + 2 * k, 2)) : 0; };
    qint64 v = 0;
    for (int k = 0; k <= peso; ++k)
        v = v * 10000 + dig(k);
    v *= kPot[escala];
    qint64 f = 0, pot = 1;
    for (int j = 1; pot < kPot[escala]; ++j) {
        f = f * 10000 + dig(peso + j);
        pot *= 10000;
    }
    v += f * kPot[escala] / pot;
    return sinal == 0x4000 ? -v : v;
}

void AbrirPg(PGconn *pg, Colunas &c)
{
    if (!PQsendQueryParams(pg, SqlAbrir, 0, nullptr, nullptr, nullptr, nullptr, 1))
        ChecarPg(pg, nullptr, "send");
    PQsetSingleRowMode(pg);
    c.Reservar(size_t(LinhasBench()));
    constexpr qint64 kJuliano2000 = 2451545;
    while (PGresult *r = PQgetResult(pg)) {
        if (PQresultStatus(r) == PGRES_SINGLE_TUPLE) {
            for (int k = 0; k < 7; ++k) {
                const bool nulo = PQgetisnull(r, 0, kInteiros[k]);
                c.Nulos.push_back(nulo);
                c.I[k].push_back(nulo ? 0 : Be(PQgetvalue(r, 0, kInteiros[k]), PQgetlength(r, 0, kInteiros[k])));
            }
            for (int k = 0; k < 2; ++k)
                c.D[k].push_back(BeReal(PQgetvalue(r, 0, kReais[k])));
            for (int k = 0; k < 8; ++k) {
                const bool nulo = PQgetisnull(r, 0, kNumericos[k]);
                c.Nulos.push_back(nulo);
                c.N[k].push_back(nulo ? 0 : NumericoBin(PQgetvalue(r, 0, kNumericos[k]), kEscalas[k]));
            }
            c.Data.push_back(kJuliano2000 + Be(PQgetvalue(r, 0, 2), 4));
            c.DataHora.push_back(kJuliano2000 * 86400000 + Be(PQgetvalue(r, 0, 12), 8) / 1000);
            const bool nulo = PQgetisnull(r, 0, 11);
            c.Nulos.push_back(nulo);
            c.Obs.emplace_back(PQgetvalue(r, 0, 11), size_t(PQgetlength(r, 0, 11)));
        } else {
            ChecarPg(pg, r, "abrir");
        }
        PQclear(r);
    }
}

void BM_Abrir(benchmark::State &state, TTipoCon tipo)
{
    TnBancoBench &b = Cheio(tipo);
    std::unique_ptr<TnClientDataSet> ds;
    double mb = 0, antes = 0;
    Colunas colunas;
    TnLado fw{[&] { antes = HeapMB(); }, [&] { ds = ExecutarSQL(SqlAbrir, QVariantList(), b.Con()); },
              [&] {
                  mb = HeapMB() - antes;
                  if (ds->RecordCount() != LinhasBench())
                      state.SkipWithError("linhas a menos");
                  ds.reset();
              }};
    TnLado bruto{[] {}, [&] { tipo == tcSQLite ? AbrirSQLite(b.Lite(), colunas) : AbrirPg(b.Pg(), colunas); },
                 [&] {
                     if (int(colunas.Linhas()) != LinhasBench())
                         state.SkipWithError("linhas a menos (bruto)");
                     colunas = Colunas();
                 }};
    Alternar(state, fw, bruto, [&] { b.Checkpoint(); }, tipo == tcSQLite ? "alvo <= 1.3, < 160 MB" : "alvo <= 1.5");
    state.counters["MB"] = mb;
}

// ---------------------------------------------------------------- applying edits

// Every n-th entry gets a new quantity in the dataset (untimed); the changes are then
// applied in one transaction (timed). The raw side runs the statement the provider writes,
// bound per row: prepared on SQLite, prepared and pipelined on PostgreSQL.
void AplicarSQLite(sqlite3 *db, int rodada)
{
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *st = PrepararSqlite(db, SqlEditar);
    for (int n = 0; n < Edicoes(); ++n) {
        const Lcto g = NaOrdem(n * PassoEdicao());
        sqlite3_bind_double(st, 1, QtdeEditada(g, rodada));
        sqlite3_bind_int(st, 2, 1);
        sqlite3_bind_int(st, 3, g.estab);
        sqlite3_bind_text(st, 4, kDatas[g.data], 10, SQLITE_STATIC);
        sqlite3_bind_int64(st, 5, g.produto);
        sqlite3_bind_int(st, 6, 1);
        ChecarSqlite(db, sqlite3_step(st));
        if (sqlite3_changes(db) != 1)
            std::abort();
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    ExecSqlite(db, "COMMIT");
}

void AplicarPg(PGconn *c, int rodada)
{
    static int seq = 0;
    const std::string nome = "bench_editar_" + std::to_string(++seq);
    ExecPg(c, "BEGIN");
    PGresult *r = PQprepare(c, nome.c_str(), SqlEditarPg, 6, nullptr);
    ChecarPg(c, r, "prepare");
    PQclear(r);
    if (!PQenterPipelineMode(c))
        ChecarPg(c, nullptr, "pipeline");
    constexpr int kLote = 1000;
    char qtde[32], estab[8], produto[24];
    const char *valores[6] = {qtde, "1", estab, nullptr, produto, "1"};
    for (int n = 0; n < Edicoes(); ++n) {
        const Lcto g = NaOrdem(n * PassoEdicao());
        *std::to_chars(qtde, qtde + 31, QtdeEditada(g, rodada)).ptr = 0;
        *std::to_chars(estab, estab + 7, g.estab).ptr = 0;
        *std::to_chars(produto, produto + 23, g.produto).ptr = 0;
        valores[3] = kDatas[g.data];
        if (!PQsendQueryPrepared(c, nome.c_str(), 6, valores, nullptr, nullptr, 0))
            ChecarPg(c, nullptr, "send");
        if ((n + 1) % kLote == 0 || n + 1 == Edicoes()) {
            PQpipelineSync(c);
            LerAteSyncPg(c);
        }
    }
    PQexitPipelineMode(c);
    ExecPg(c, ("DEALLOCATE " + nome).c_str());
    ExecPg(c, "COMMIT");
}

void BM_Aplicar(benchmark::State &state, TTipoCon tipo)
{
    TnBancoBench &b = Cheio(tipo);
    int rodada = 0;
    std::unique_ptr<TnClientDataSet> ds;
    TnDataSetProvider provider("LCTOINV", upWhereKeyOnly);
    provider.SetConexao(&b.Con());
    provider.SetKeyFields("CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO");
    TnLado fw{[&] {
                  ds = ExecutarSQL(SqlAbrir, QVariantList(), b.Con());
                  ds->SetProvider(&provider);
                  ++rodada;
                  TnField &qtde = ds->FieldByName("QTDEESTOQUE");
                  for (int n = 0; n < Edicoes(); ++n) {
                      ds->SetRecNo(n * PassoEdicao() + 1);
                      ds->Edit();
                      qtde.SetAsFloat(QtdeEditada(NaOrdem(n * PassoEdicao()), rodada));
                      ds->Post();
                  }
              },
              [&] {
                  if (ds->ApplyUpdates(0) != 0)
                      state.SkipWithError("erro ao aplicar");
              },
              [&] { ds.reset(); }};
    TnLado bruto{[&] { ++rodada; },
                 [&] { tipo == tcSQLite ? AplicarSQLite(b.Lite(), rodada) : AplicarPg(b.Pg(), rodada); }};
    Alternar(state, fw, bruto, [&] { b.Checkpoint(); }, tipo == tcSQLite ? "alvo <= 1.3" : "alvo <= 1.5");
    state.counters["edicoes"] = Edicoes();
}

int Registrar()
{
    const auto ajustar = [](benchmark::internal::Benchmark *b) { b->Unit(benchmark::kMillisecond)->Iterations(1); };
    RegistrarPorMotor("BM_LancamentosInserir", BM_Inserir, ajustar);
    RegistrarPorMotor("BM_LancamentosAbrir", BM_Abrir, ajustar);
    RegistrarPorMotor("BM_LancamentosAplicar", BM_Aplicar, ajustar);
    return 0;
}
const int gRegistro = Registrar();

} // namespace
