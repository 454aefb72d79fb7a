// Clearing entries and products and copying products, as the program loads the processes
// (OrvoCore, by class name), each against the same statements run through SQLite's C
// interface on a fresh copy of the same database, rounds alternating.
//
// - Clearing ORVO_BENCH_LINHAS entries (default 1,000,000), each with one property and one
//   tax-situation line, of one period and every branch: within 1.5x of the raw DELETE with
//   the same conditions (the lines go by the tables' cascade); with the deletion of their
//   products (one per ten entries) within 2x of the raw DELETEs.
// - Clearing the products (one per ten entries) of a company: within 1.5x of the raw DELETE.
// - Copying those products into another company's group: within 1.5x of one INSERT ...
//   SELECT of those the target group lacks, in one transaction.
//
// With a server (ORVO_TESTE_PG_*), the clearing of the entries, the clearing of the
// products and the copy run on it too (names ending in "/pg"), on the same rows written by
// the server, each against raw libpq doing the same work:
// - the entries: the same DELETE with the same conditions in one transaction (the lines go
//   by the tables' cascade); within 1.5x;
// - the products: the same DELETE; within 1.5x;
// - the copy (by code, so the rows it writes follow from the database, the day and the
//   user alone): one INSERT ... SELECT of the source group's products that the target
//   group lacks, the rows never leaving the server; within 1.5x.
// Every round starts from the same rows, rewritten before it (not timed).
#include "BenchComum.h"
#include "ConversaoBanco.h"
#include "Interacao.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "Variaveis.h"


#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <unordered_set>

namespace {

int Linhas() { return LinhasBench(); }
int Produtos() { return std::max(1, Linhas() / 10); }

const QString kModelo = QStringLiteral("limpeza_modelo.db");

// Company 1: five branches, products in analytic group 11, entries over ten months with
// their lines. Company 2: the analytic group 20 the copy writes into.
void GerarModelo()
{
    static bool feito = false;
    if (feito)
        return;
    feito = true;
    // Closed before it is copied: the copies start from a whole file.
    const std::unique_ptr<nDMConexao> banco = BancoNovo(kModelo);
    nDMConexao &con = *banco;
    TnTransacao t(1, con);
    con.Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Destino')");
    for (int e = 2; e <= 5; ++e)
        con.Executar(QStringLiteral("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, %1, 'F')").arg(e));
    con.Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, TIPOGRUPOPRODUTO) "
                 "values (1, 11, '1', 2)");
    con.Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, TIPOGRUPOPRODUTO) "
                 "values (2, 20, '1', 2)");
    auto p = con.Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, "
                          "REFERENPRODUTO, UNIDADEMEDIDA, CODIGONCM, CODIGOUSUARIO) values (1, ?, 11, ?, ?, 'UN', "
                          "'84713012', 1)");
    for (int i = 1; i <= Produtos(); ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("Produto de estoque número %1").arg(i));
        p->BindTexto(2, QStringLiteral("REF-%1").arg(i));
        p->Executar();
    }
    auto l = con.Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                          "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                          "values (1, ?, ?, ?, 1, 2, 3, '2024-11-05 09:30:00', 1, 2)");
    auto lp = con.Preparar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                           "values (1, ?, ?, ?, 1, 1, 0, 2, 3)");
    auto lc = con.Preparar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO) values (1, ?, ?, ?, 1, 1, 0, 6, 1)");
    for (int i = 0; i < Linhas(); ++i) {
        const int r = i / 5;
        for (TnComando *cmd : {l.get(), lp.get(), lc.get()}) {
            cmd->BindInteiro(0, i % 5 + 1);
            cmd->BindData(1, QDate(2024, r % 10 + 1, 1));
            cmd->BindInteiro(2, r / 10 % Produtos() + 1);
            cmd->Executar();
        }
    }
    t.Commit();
}

// A fresh copy of the model, current. The last one is kept to the process's end: Qt's
// registry of connections may be gone before a static of this file would close it.
nDMConexao *FDb = nullptr;
void Renovar()
{
    GerarModelo();
    DestruirTodosDM();
    nDMConexao::DefinirAtual(nullptr);
    delete FDb;
    FDb = CopiarBanco(kModelo, QStringLiteral("limpeza.db")).release();
    nDMConexao::DefinirAtual(FDb);
}

sqlite3 *Db() { return HandleSqlite(*FDb); }

void Exec(const char *sql) { ExecSqlite(Db(), sql); }

// The process run as the user runs it, every question answered "Sim".
void Rodar(benchmark::State &state, const char *classe, const QList<std::pair<QString, QString>> &textos)
{
    TnUsuarioBench sim;
    DefinirInteracao(&sim);
    RodarProcesso(state, QString::fromLatin1(classe), {QStringLiteral("OrvoCore")}, textos);
    DefinirInteracao(nullptr);
}

const QList<std::pair<QString, QString>> kLimpar{
    {"pCodigoEstab", "1-5"}, {"pDataInventIni", "01/2024"}, {"pDataInventFim", "12/2024"}};

// The raw side: the same conditions, the same transaction.
void LimparDireto(bool produtos)
{
    Exec("BEGIN IMMEDIATE");
    if (produtos)
        Exec("create temporary table T (CODIGOPRODUTO bigint not null primary key); "
             "insert into T select distinct CODIGOPRODUTO from LCTOINV where CODIGOEMPRESA = 1 and DATAINVENT "
             "between '2024-01-01' and '2024-12-31' and CODIGOESTAB between 1 and 5");
    Exec("delete from LCTOINV where CODIGOEMPRESA = 1 and DATAINVENT between '2024-01-01' and '2024-12-31' "
         "and CODIGOESTAB between 1 and 5");
    if (produtos)
        Exec("delete from PRODUTO where CODIGOEMPRESA = 1 and CODIGOPRODUTO in (select CODIGOPRODUTO from T) and not "
             "exists (select 1 from LCTOINV X where X.CODIGOEMPRESA = PRODUTO.CODIGOEMPRESA and X.CODIGOPRODUTO = "
             "PRODUTO.CODIGOPRODUTO); drop table T");
    Exec("COMMIT");
}

void BM_LimparLancamentos(benchmark::State &state)
{
    MedirContraDireto(state, 5, Renovar, [&] { Rodar(state, "TOrvoDPLimparLctoInv", kLimpar); },
                      [] { LimparDireto(false); });
}

void BM_LimparLancamentosEProdutos(benchmark::State &state)
{
    auto params = kLimpar;
    params.append(std::pair<QString, QString>("pLimpaCadProdutoInv", "1"));
    MedirContraDireto(state, 5, Renovar, [&] { Rodar(state, "TOrvoDPLimparLctoInv", params); },
                      [] { LimparDireto(true); });
}

// Products without entries (the entries of the model go first, untimed).
void SemLancamentos()
{
    Renovar();
    Exec("delete from LCTOINV");
}

void BM_LimparProdutos(benchmark::State &state)
{
    MedirContraDireto(
        state, 5, SemLancamentos, [&] { Rodar(state, "TOrvoDPLimparProdutoInv", {{"pCodigoUsuario", "1"}}); },
        [] { Exec("BEGIN IMMEDIATE; delete from PRODUTO where CODIGOEMPRESA = 1 and CODIGOUSUARIO = 1; COMMIT"); });
}

// The raw copy: the source group's products that the target group lacks by code, inserted
// by one statement in one transaction with the values the process writes (the target company
// and group, the day of the run, the connected user, "0" for the two flags).
void CopiarDireto()
{
    const std::string hoje = QDate::currentDate().toString(Qt::ISODate).toStdString();
    Exec(("BEGIN IMMEDIATE; insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, CODIGOGRUPOPRODUTO, "
          "DESCRPRODUTO, CODIGONCM, UNIDADEMEDIDA, DATAATUALIZACAO, CODIGOUSUARIO, DNF, DACON, INDICADORTIPO, "
          "TIPOCREDITO, TIPODEBITO, CSTENTRADA, CSTSAIDA, CSTCOFINSENTRADA, CSTCOFINSSAIDA, TIPOCREDITOCOFINS, "
          "TIPODEBITOCOFINS) select 2, O.CODIGOPRODUTO, O.REFERENPRODUTO, 20, O.DESCRPRODUTO, O.CODIGONCM, "
          "O.UNIDADEMEDIDA, '" + hoje + "', 0, '0', '0', O.INDICADORTIPO, O.TIPOCREDITO, O.TIPODEBITO, O.CSTENTRADA, "
          "O.CSTSAIDA, O.CSTCOFINSENTRADA, O.CSTCOFINSSAIDA, O.TIPOCREDITOCOFINS, O.TIPODEBITOCOFINS from PRODUTO O "
          "where O.CODIGOEMPRESA = 1 and O.CODIGOGRUPOPRODUTO = 11 and not exists (select 1 from PRODUTO D "
          "where D.CODIGOEMPRESA = 2 and D.CODIGOGRUPOPRODUTO = 20 and D.CODIGOPRODUTO = O.CODIGOPRODUTO); COMMIT")
             .c_str());
}

void BM_DuplicarProdutos(benchmark::State &state)
{
    MedirContraDireto(
        state, 5, Renovar,
        [&] {
            Rodar(state, "TOrvoDPDuplicarProdutoInv",
                  {{"pCodigoEmpresaOri", "1"}, {"pCodigoGrupoProdutoOri", "11"}, {"pCampoRef", "0"},
                   {"pCodigoEmpresaDest", "2"}, {"pCodigoGrupoProdutoDest", "20"}});
        },
        CopiarDireto);
}

// ---- on the server

QString Num(int n) { return QString::number(n); }

// Company 2 with its group, company 1's branches 2 to 5 and group 11, as GerarModelo
// writes them.
void GerarCadastrosPg(nDMConexao &con)
{
    ConverterBanco(con);
    con.Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Destino')");
    con.Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) select 1, e, 'F' from generate_series(2, 5) e");
    con.Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, TIPOGRUPOPRODUTO) "
                 "values (1, 11, '1', 2), (2, 20, '1', 2)");
}

// Company 1's products as GerarModelo writes them.
void InserirProdutosPg(PGconn *c)
{
    ExecPg(c, ("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, REFERENPRODUTO, "
               "UNIDADEMEDIDA, CODIGONCM, CODIGOUSUARIO) select 1, i, 11, 'Produto de estoque número ' || i, 'REF-' || i, "
               "'UN', '84713012', 1 from generate_series(1, " + Num(Produtos()) + ") i").toUtf8().constData());
}

// The entries and their lines as GerarModelo writes them: entry i of branch i % 5 + 1, in
// month i / 5 % 10 + 1 of 2024, of product i / 50 + 1.
void InserirLancamentosPg(PGconn *c)
{
    const QString de = " from generate_series(0, " + Num(Linhas()) + " - 1) i";
    const QString chave = "select 1, i % 5 + 1, make_date(2024, i / 5 % 10 + 1, 1), i / 50 % " + Num(Produtos()) + " + 1, 1, ";
    ExecPg(c, ("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
               "PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) " + chave + "2, 3, '2024-11-05 09:30:00', 1, 2" + de)
                  .toUtf8().constData());
    ExecPg(c, ("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
               "SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) " + chave + "1, 0, 2, 3" + de).toUtf8().constData());
    ExecPg(c, ("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST, "
               "BASECALCULO, VALORIMPOSTO) " + chave + "1, 0, 6, 1" + de).toUtf8().constData());
}

// Each round starts from the entries and lines of the model written anew into emptied
// tables, vacuumed and analysed, so that no round meets the dead rows of the one before.
void BM_LimparLancamentosPg(benchmark::State &state)
{
    TnBancoBench banco(tcPostgreSQL, QStringLiteral("limpar_lcto"));
    TnConexaoDoCaso atual(&banco.Con());
    GerarCadastrosPg(banco.Con());
    InserirProdutosPg(banco.Pg());
    ExecPg(banco.Pg(), "ANALYZE");
    AlternarNoServidor(
        state, banco,
        [&] {
            PGconn *c = banco.Pg();
            ExecPg(c, "truncate LCTOINVCST, LCTOINVPROPRIEDADE, LCTOINV");
            InserirLancamentosPg(c);
            ExecPg(c, "vacuum analyze LCTOINV, LCTOINVPROPRIEDADE, LCTOINVCST");
        },
        [&] { Rodar(state, "TOrvoDPLimparLctoInv", kLimpar); },
        [](PGconn *c) {
            ExecPg(c, "BEGIN");
            ExecPg(c, "delete from LCTOINV where CODIGOEMPRESA = 1 and DATAINVENT between '2024-01-01' and '2024-12-31' "
                      "and CODIGOESTAB between 1 and 5");
            ExecPg(c, "COMMIT");
        });
    state.counters["linhas"] = 3.0 * Linhas();
    DestruirTodosDM();
}

// Products without entries, as the SQLite case leaves them; each round starts from them
// written anew.
void BM_LimparProdutosPg(benchmark::State &state)
{
    TnBancoBench banco(tcPostgreSQL, QStringLiteral("limpar_prod"));
    TnConexaoDoCaso atual(&banco.Con());
    GerarCadastrosPg(banco.Con());
    AlternarNoServidor(
        state, banco,
        [&] {
            PGconn *c = banco.Pg();
            ExecPg(c, "truncate LCTOINVCST, LCTOINVPROPRIEDADE, LCTOINV, PRODUTO");
            InserirProdutosPg(c);
            ExecPg(c, "vacuum analyze PRODUTO");
        },
        [&] { Rodar(state, "TOrvoDPLimparProdutoInv", {{"pCodigoUsuario", "1"}}); },
        [](PGconn *c) {
            ExecPg(c, "BEGIN");
            ExecPg(c, "delete from PRODUTO where CODIGOEMPRESA = 1 and CODIGOUSUARIO = 1");
            ExecPg(c, "COMMIT");
        });
    state.counters["linhas"] = Produtos();
    DestruirTodosDM();
}

// The raw copy on the server: the source group's products that the target group lacks by
// code, inserted by one statement (its own transaction) with the values the process writes
// (the target company and group, the day of the run, the connected user, "0" for the two
// flags).
void CopiarDiretoPg(PGconn *c)
{
    const std::string hoje = QDate::currentDate().toString(Qt::ISODate).toStdString();
    ExecPg(c, ("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, "
               "CODIGONCM, UNIDADEMEDIDA, DATAATUALIZACAO, CODIGOUSUARIO, DNF, DACON, INDICADORTIPO, TIPOCREDITO, "
               "TIPODEBITO, CSTENTRADA, CSTSAIDA, CSTCOFINSENTRADA, CSTCOFINSSAIDA, TIPOCREDITOCOFINS, TIPODEBITOCOFINS) "
               "select 2, O.CODIGOPRODUTO, O.REFERENPRODUTO, 20, O.DESCRPRODUTO, O.CODIGONCM, O.UNIDADEMEDIDA, '" + hoje +
               "', 1, '0', '0', O.INDICADORTIPO, O.TIPOCREDITO, O.TIPODEBITO, O.CSTENTRADA, O.CSTSAIDA, "
               "O.CSTCOFINSENTRADA, O.CSTCOFINSSAIDA, O.TIPOCREDITOCOFINS, O.TIPODEBITOCOFINS from PRODUTO O "
               "where O.CODIGOEMPRESA = 1 and O.CODIGOGRUPOPRODUTO = 11 and not exists (select 1 from PRODUTO D "
               "where D.CODIGOEMPRESA = 2 and D.CODIGOGRUPOPRODUTO = 20 and D.CODIGOPRODUTO = O.CODIGOPRODUTO)")
                  .c_str());
}

// The whole model (products, entries and lines); each round starts with company 2 without
// products, the table rewritten without the copies the round before left dead.
void BM_DuplicarProdutosPg(benchmark::State &state)
{
    TnBancoBench banco(tcPostgreSQL, QStringLiteral("duplicar_prod"));
    TnConexaoDoCaso atual(&banco.Con());
    GerarCadastrosPg(banco.Con());
    InserirProdutosPg(banco.Pg());
    InserirLancamentosPg(banco.Pg());
    ExecPg(banco.Pg(), "VACUUM ANALYZE");
    AlternarNoServidor(
        state, banco,
        [&] {
            ExecPg(banco.Pg(), "delete from PRODUTO where CODIGOEMPRESA = 2");
            ExecPg(banco.Pg(), "vacuum full analyze PRODUTO");
        },
        [&] {
            Rodar(state, "TOrvoDPDuplicarProdutoInv",
                  {{"pCodigoEmpresaOri", "1"}, {"pCodigoGrupoProdutoOri", "11"}, {"pCampoRef", "0"},
                   {"pCodigoEmpresaDest", "2"}, {"pCodigoGrupoProdutoDest", "20"}});
        },
        CopiarDiretoPg);
    state.counters["linhas"] = Produtos();
    DestruirTodosDM();
}

const int gRegistroLcto = RegistrarNoServidor("BM_LimparLancamentos/pg", BM_LimparLancamentosPg);
const int gRegistroProd = RegistrarNoServidor("BM_LimparProdutos/pg", BM_LimparProdutosPg);
const int gRegistroDup = RegistrarNoServidor("BM_DuplicarProdutos/pg", BM_DuplicarProdutosPg);

} // namespace

BENCHMARK(BM_LimparLancamentos)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LimparLancamentosEProdutos)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LimparProdutos)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DuplicarProdutos)->Unit(benchmark::kMillisecond)->Iterations(1);
