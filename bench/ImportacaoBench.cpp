// The import building blocks on the embedded database, each against SQLite's C interface
// doing the same work in the same run (MedirContraDireto, BenchComum.h):
// - the entry writer: 100,000 entries with one property line each, inserted (target within
//   1.5x of raw prepared inserts) and replaced (within 2x of raw delete and insert);
// - the product utility preloaded: 100,000 lookups by reference over 100,000 products
//   (within 2x of 100,000 raw keyed selects), and the same with each product's row read.
// Rows: ORVO_BENCH_IMPORTACAO (default 100,000).
#include "Gravador.h"
#include "ImpFabrica.h"
#include "ImportacaoComum.h"
#include "SuiteProduto.h"

#include <benchmark/benchmark.h>

namespace {

int Linhas() { return QtdeImportacao(); }

// A converted database with products 1..n of company 1, references "REF-<code>".
std::unique_ptr<nDMConexao> BancoComProdutos(const QString &arquivo)
{
    auto con = BancoNovo(arquivo);
    TnTransacao t(1, *con);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO, "
                           "UNIDADEMEDIDA, INDICADORTIPO) values (1, ?, ?, ?, 'UN', 0)");
    for (int i = 1; i <= Linhas(); ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("REF-%1").arg(i));
        p->BindTexto(2, QStringLiteral("Produto %1").arg(i));
        p->Executar();
    }
    t.Commit();
    return con;
}

// The entries the web-service import builds: product i, reason 1, origin 3, one own-stock line.
TImpFabrica &Fabrica()
{
    static TImpFabrica f;
    if (f.Count() == 0)
        for (int i = 1; i <= Linhas(); ++i) {
            TLCTOINV &l = f.NovoLctoInv();
            l.CODIGOEMPRESA = 1;
            l.CODIGOESTAB = 1;
            l.DATAINVENT = QDate(2024, 3, 1);
            l.CODIGOPRODUTO = i;
            l.MOTIVOINVENTARIO = 1;
            l.QTDEESTOQUE = 1 + (i % 97) * 0.5;
            l.PRECOUNIT = 2.5 + (i % 13) * 1.25;
            l.VALORICMS = l.VALORPIS = l.VALORCOFINS = 0;
            l.OBSLCTOINV = QString();
            l.DATAHORALCTOINV = QDateTime(QDate(2024, 4, 2), QTime(9, 30));
            l.CODIGOUSUARIO = 1;
            l.ORIGEMDADO = 3;
            TLCTOINVPROPRIEDADE &p = TImpFabrica::NovoLctoInvPropriedade(l.Propriedades);
            p.SEQ = 1;
            p.INDICADORPROPRIEDADE = 0;
            p.QUANTIDADE = *l.QTDEESTOQUE;
            p.PRECOUNIT = *l.PRECOUNIT;
        }
    return f;
}

const char *kSqlLcto = "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, DATAHORALCTOINV, "
                       "CODIGOUSUARIO, ORIGEMDADO) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char *kSqlProp = "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char *kSqlExcluir = "delete from LCTOINV where CODIGOEMPRESA = ? and CODIGOESTAB = ? and DATAINVENT = ? "
                          "and CODIGOPRODUTO = ? and MOTIVOINVENTARIO = ?";

// The same rows through the C interface; `substituir`: each deleted by key first.
void GravarDireto(sqlite3 *db, bool substituir)
{
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *l = PrepararSqlite(db, kSqlLcto);
    sqlite3_stmt *p = PrepararSqlite(db, kSqlProp);
    sqlite3_stmt *d = PrepararSqlite(db, kSqlExcluir);
    for (int i = 1; i <= Linhas(); ++i) {
        const double qtde = 1 + (i % 97) * 0.5, preco = 2.5 + (i % 13) * 1.25;
        const auto chave = [i](sqlite3_stmt *st) {
            sqlite3_bind_int(st, 1, 1);
            sqlite3_bind_int(st, 2, 1);
            sqlite3_bind_text(st, 3, "2024-03-01", 10, SQLITE_STATIC);
            sqlite3_bind_int64(st, 4, i);
            sqlite3_bind_int(st, 5, 1);
        };
        if (substituir) {
            chave(d);
            PassoSqlite(db, d);
        }
        chave(l);
        sqlite3_bind_double(l, 6, qtde);
        sqlite3_bind_double(l, 7, preco);
        sqlite3_bind_double(l, 8, 0);
        sqlite3_bind_double(l, 9, 0);
        sqlite3_bind_double(l, 10, 0);
        sqlite3_bind_text(l, 11, "", 0, SQLITE_STATIC);
        sqlite3_bind_text(l, 12, "2024-04-02 09:30:00", -1, SQLITE_STATIC);
        sqlite3_bind_int(l, 13, 1);
        sqlite3_bind_int(l, 14, 3);
        PassoSqlite(db, l);
        chave(p);
        sqlite3_bind_int(p, 6, 1);
        sqlite3_bind_int(p, 7, 0);
        sqlite3_bind_double(p, 8, qtde);
        sqlite3_bind_double(p, 9, preco);
        PassoSqlite(db, p);
    }
    sqlite3_finalize(l);
    sqlite3_finalize(p);
    sqlite3_finalize(d);
    ExecSqlite(db, "COMMIT");
}

void GravarFramework(nDMConexao &con, bool substituir)
{
    TGravador gravador;
    TnTransacao t(1, con);
    for (const auto &l : Fabrica().Lctos())
        gravador.GravarLancamento(*l, substituir, &con);
    t.Commit();
}

// Before each timed round: the WAL written back, so that no round pays for another's.
void Checkpoint(nDMConexao &con) { con.Executar("PRAGMA wal_checkpoint(TRUNCATE)"); }

void Esvaziar(nDMConexao &con)
{
    con.Executar("delete from LCTOINV");
    Checkpoint(con);
}

void BM_GravadorInserir(benchmark::State &state)
{
    auto con = BancoComProdutos("gravador.db");
    TnConexaoDoCaso atual(con.get());
    Fabrica();
    MedirContraDireto(state, 5, [&] { Esvaziar(*con); }, [&] { GravarFramework(*con, false); },
                      [&] { GravarDireto(HandleSqlite(*con), false); });
}

void BM_GravadorSubstituir(benchmark::State &state)
{
    auto con = BancoComProdutos("gravador.db");
    TnConexaoDoCaso atual(con.get());
    GravarDireto(HandleSqlite(*con), false); // every entry exists: each round replaces them all
    MedirContraDireto(state, 5, [&] { Checkpoint(*con); }, [&] { GravarFramework(*con, true); },
                      [&] { GravarDireto(HandleSqlite(*con), true); });
}

// The products looked up: every code once, in a scattered order.
int Sorteado(int k) { return int((qint64(k) * 7919) % Linhas()) + 1; }

// Every product looked up once by its reference (in another letter case), against keyed
// selects by the primary key; `comLinha`: the product's row is read too (the description
// asked for), against keyed selects of the whole row kept in memory.
void ProdutoPorReferencia(benchmark::State &state, bool comLinha)
{
    auto con = BancoComProdutos("produtos.db");
    TnConexaoDoCaso atual(con.get());
    std::vector<QString> referencias;
    for (int k = 0; k < Linhas(); ++k)
        referencias.push_back(QStringLiteral("ref-%1").arg(Sorteado(k)));
    qint64 soma = 0;
    const char *colunas = comLinha ? "CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, "
                                     "CODIGONCM, UNIDADEMEDIDA, INDICADORTIPO, TIPOCREDITO, TIPODEBITO, CSTENTRADA, "
                                     "CSTSAIDA, CSTCOFINSENTRADA, CSTCOFINSSAIDA, TIPOCREDITOCOFINS, TIPODEBITOCOFINS, "
                                     "DNF, DACON, DATAATUALIZACAO, CODIGOUSUARIO"
                                   : "CODIGOEMPRESA, CODIGOPRODUTO";
    const std::string sql = std::string("select ") + colunas +
                            " from PRODUTO where CODIGOEMPRESA = ? and CODIGOPRODUTO = ?";
    MedirContraDireto(
        state, 5, [] {},
        [&] {
             TnUtilProduto util;
             util.SetCodigoEmpresa(1);
             util.Precarregar();
             for (const QString &r : referencias)
                 if (util.EncontrarProduto(r))
                     soma += util.GetCodigoProduto() + (comLinha ? util.GetDescrProduto().size() : 0);
         },
        [&] {
             std::vector<std::string> linha(20);
             sqlite3 *db = HandleSqlite(*con);
             sqlite3_stmt *st = PrepararSqlite(db, sql.c_str());
             const int n = sqlite3_column_count(st);
             for (int k = 0; k < Linhas(); ++k) {
                 sqlite3_bind_int(st, 1, 1);
                 sqlite3_bind_int64(st, 2, Sorteado(k));
                 // The row kept in memory, as the utility keeps its current product.
                 if (sqlite3_step(st) == SQLITE_ROW) {
                     soma += sqlite3_column_int64(st, 1);
                     for (int c = 2; c < n; ++c) {
                         const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
                         linha[size_t(c)].assign(t ? t : "");
                     }
                 }
                 sqlite3_reset(st);
             }
             sqlite3_finalize(st);
         });
    benchmark::DoNotOptimize(soma);
}

void BM_ProdutoPorReferencia(benchmark::State &state) { ProdutoPorReferencia(state, false); }
void BM_ProdutoPorReferenciaComLinha(benchmark::State &state) { ProdutoPorReferencia(state, true); }

// 100,000 new products inserted through the preloaded utility from a record of the shape
// the web-service import builds, against raw prepared inserts of the same columns.
void BM_ProdutoInserir(benchmark::State &state)
{
    const auto novo = [] {
        auto con = BancoComProdutos("inserir.db");
        con->Executar("delete from PRODUTO");
        con->Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                      "TIPOGRUPOPRODUTO) values (1, 5, '1.1', 2)");
        Checkpoint(*con);
        return con;
    };
    const char *sql = "insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, CODIGOGRUPOPRODUTO, "
                      "DESCRPRODUTO, CODIGONCM, UNIDADEMEDIDA, INDICADORTIPO, TIPOCREDITO, TIPODEBITO, CSTENTRADA, "
                      "CSTSAIDA, DNF, DACON, DATAATUALIZACAO, CODIGOUSUARIO) "
                      "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    MedirEmBancoNovo(
        state, novo,
        [&] {
             TnTransacao t(1, nDMConexao::Atual());
             TnUtilProduto util;
             util.SetCodigoEmpresa(1);
             util.Precarregar(Linhas());
             TnRegistroProduto padrao;
             util.SetarValoresPadroesRecord(padrao);
             for (const char *c : {"TIPOCREDITO", "DNF"})
                 padrao.Set(QString::fromLatin1(c), QStringLiteral("0"));
             padrao.Set(QStringLiteral("TIPODEBITO"), QStringLiteral("1"));
             padrao.Set(QStringLiteral("CSTENTRADA"), 50);
             padrao.Set(QStringLiteral("CSTSAIDA"), 1);
             padrao.Set(QStringLiteral("CODIGOGRUPOPRODUTO"), 5);
             padrao.Set(QStringLiteral("CODIGONCM"), QStringLiteral("1234.56.78"));
             padrao.Set(QStringLiteral("UNIDADEMEDIDA"), QStringLiteral("KG"));
             const int referencia = TnRegistroProduto::Posicao(QStringLiteral("REFERENPRODUTO"));
             const int descricao = TnRegistroProduto::Posicao(QStringLiteral("DESCRPRODUTO"));
             for (int i = 1; i <= Linhas(); ++i) {
                 TnRegistroProduto r = padrao;
                 r.Set(referencia, QStringLiteral("P%1").arg(i));
                 r.Set(descricao, QStringLiteral("Produto %1").arg(i));
                 util.InserirProduto(r);
             }
             t.Commit();
         },
        [&](sqlite3 *db) {
             ExecSqlite(db, "BEGIN IMMEDIATE");
             sqlite3_stmt *st = PrepararSqlite(db, sql);
             char texto[64];
             for (int i = 1; i <= Linhas(); ++i) {
                 sqlite3_bind_int(st, 1, 1);
                 sqlite3_bind_int64(st, 2, i);
                 int n = std::snprintf(texto, sizeof texto, "P%d", i);
                 sqlite3_bind_text(st, 3, texto, n, SQLITE_TRANSIENT);
                 sqlite3_bind_int(st, 4, 5);
                 n = std::snprintf(texto, sizeof texto, "Produto %d", i);
                 sqlite3_bind_text(st, 5, texto, n, SQLITE_TRANSIENT);
                 sqlite3_bind_text(st, 6, "1234.56.78", -1, SQLITE_STATIC);
                 sqlite3_bind_text(st, 7, "KG", -1, SQLITE_STATIC);
                 sqlite3_bind_int(st, 8, 0);
                 sqlite3_bind_text(st, 9, "0", -1, SQLITE_STATIC);
                 sqlite3_bind_text(st, 10, "1", -1, SQLITE_STATIC);
                 sqlite3_bind_int(st, 11, 50);
                 sqlite3_bind_int(st, 12, 1);
                 sqlite3_bind_text(st, 13, "0", -1, SQLITE_STATIC);
                 sqlite3_bind_text(st, 14, "0", -1, SQLITE_STATIC);
                 sqlite3_bind_text(st, 15, "2024-04-02", -1, SQLITE_STATIC);
                 sqlite3_bind_int(st, 16, 1);
                 PassoSqlite(db, st);
             }
             sqlite3_finalize(st);
             ExecSqlite(db, "COMMIT");
         });
}

} // namespace

BENCHMARK(BM_GravadorInserir)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_GravadorSubstituir)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ProdutoPorReferencia)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ProdutoPorReferenciaComLinha)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ProdutoInserir)->Unit(benchmark::kMillisecond)->Iterations(1);
