// The web-service reception of a 100,000-item reply, every product new, served by the local
// test server (ServidorHTTPTeste.h), against SQLite's C interface inserting the same
// products, entries and property lines with prepared statements in one transaction
// (target: within 2x). The framework's time runs from the call to the commit, so it also
// holds the HTTP exchange, shown apart as http_ms. Items: ORVO_BENCH_IMPORTACAO (100,000).
#include "Bibliotecas.h"
#include "ConfigPrograma.h"
#include "HTTP.h"
#include "ImportacaoComum.h"
#include "Modulos.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "SQLDataSet.h"
#include "ServidorHTTPTeste.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

int Itens() { return QtdeImportacao(); }

double Quantidade(int i) { return 1 + (i % 50); }
double Custo(int i) { return 1.25 + (i % 7); }

QByteArray Resposta()
{
    QJsonArray itens;
    for (int i = 1; i <= Itens(); ++i)
        itens << QJsonObject{{"CODIGO", QStringLiteral("P%1").arg(i)},
                             {"DESCRICAO", QStringLiteral("Produto número %1").arg(i)},
                             {"UNIDADE_MEDIDA", "KG"},
                             {"TIPO_ITEM", "0"},
                             {"NCM", "12345678"},
                             {"QUANTIDADE", Quantidade(i)},
                             {"CUSTO_UNITARIO", Custo(i)}};
    return QJsonDocument(QJsonObject{{"d", QString::fromUtf8(QJsonDocument(itens).toJson(QJsonDocument::Compact))}})
        .toJson(QJsonDocument::Compact);
}

// A converted database with the branch's tax number, the group and the NCM mask.
std::unique_ptr<nDMConexao> Banco()
{
    auto con = BancoNovo(QStringLiteral("receber.db"));
    con->Executar("update ESTAB set INSCRFEDERAL = '12.345.678/0001-90' where CODIGOEMPRESA = 1");
    con->Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                  "TIPOGRUPOPRODUTO) values (1, 5, '1.1', 2)");
    con->Executar("update CFGEMPRESAULMAR set MASCCLASSIFFISCALPROD = '9999.99.99' where CODIGOEMPRESA = 1");
    return con;
}

const char *kSqlProduto = "insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, CODIGOGRUPOPRODUTO, "
                          "DESCRPRODUTO, CODIGONCM, UNIDADEMEDIDA, INDICADORTIPO, TIPOCREDITO, TIPODEBITO, CSTENTRADA, "
                          "CSTSAIDA, DNF, DACON, DATAATUALIZACAO, CODIGOUSUARIO) "
                          "values (1, ?, ?, 5, ?, '1234.56.78', 'KG', 0, '0', '1', 50, 1, '0', '0', ?, 1)";
const char *kSqlLcto = "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, DATAHORALCTOINV, "
                       "CODIGOUSUARIO, ORIGEMDADO) values (1, 1, '2024-03-01', ?, 1, ?, ?, 0, 0, 0, '', ?, 1, 3)";
const char *kSqlProp = "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                       "values (1, 1, '2024-03-01', ?, 1, 1, 0, ?, ?)";

void InserirDireto(sqlite3 *db)
{
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *p = PrepararSqlite(db, kSqlProduto);
    sqlite3_stmt *l = PrepararSqlite(db, kSqlLcto);
    sqlite3_stmt *q = PrepararSqlite(db, kSqlProp);
    char texto[64];
    for (int i = 1; i <= Itens(); ++i) {
        sqlite3_bind_int64(p, 1, i);
        const int n = std::snprintf(texto, sizeof texto, "P%d", i);
        sqlite3_bind_text(p, 2, texto, n, SQLITE_TRANSIENT);
        const int m = std::snprintf(texto, sizeof texto, "Produto número %d", i);
        sqlite3_bind_text(p, 3, texto, m, SQLITE_TRANSIENT);
        sqlite3_bind_text(p, 4, "2024-04-02", 10, SQLITE_STATIC);
        PassoSqlite(db, p);
        sqlite3_bind_int64(l, 1, i);
        sqlite3_bind_double(l, 2, Quantidade(i));
        sqlite3_bind_double(l, 3, Custo(i));
        sqlite3_bind_text(l, 4, "2024-04-02 09:30:00.123", -1, SQLITE_STATIC);
        PassoSqlite(db, l);
        sqlite3_bind_int64(q, 1, i);
        sqlite3_bind_double(q, 2, Quantidade(i));
        sqlite3_bind_double(q, 3, Custo(i));
        PassoSqlite(db, q);
    }
    sqlite3_finalize(p);
    sqlite3_finalize(l);
    sqlite3_finalize(q);
    ExecSqlite(db, "COMMIT");
}

// The test server answering `resposta` always, the program's settings pointing at it, and
// the user; undone when it goes.
class TnAmbienteRecepcao {
public:
    explicit TnAmbienteRecepcao(const QByteArray &resposta)
    {
        TnBibliotecas::Carregar("OrvoCore");
        FServidor.ResponderSempre({.Corpo = resposta});
        const QString ini = Pasta().filePath("programa.ini");
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue("IntegracaoInventario/Servidor", "127.0.0.1");
            s.setValue("IntegracaoInventario/Porta", FServidor.Porta());
            s.setValue("IntegracaoInventario/Token", "bench");
        }
        TnConfigPrograma::DefinirArquivo(ini);
        TnPreferenciasUsuario::DefinirPasta(Pasta().filePath("prefs"));
        DefinirUsuarioConectado(1, "ADMINISTRADOR");
    }
    ~TnAmbienteRecepcao()
    {
        TnConfigPrograma::DefinirArquivo(QString());
        TnPreferenciasUsuario::DefinirPasta(QString());
        TnBibliotecas::DescarregarTodas();
    }
    // The HTTP exchange alone, for reference (milliseconds).
    double Http(benchmark::State &state, qsizetype tamanho)
    {
        TnHTTP cliente;
        const auto inicio = std::chrono::steady_clock::now();
        const QString r = cliente.Post(FServidor.Url("/"), QStringLiteral("{}"));
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio).count();
        if (r.size() < tamanho / 2)
            state.SkipWithError("resposta curta");
        return ms;
    }

private:
    // The application object comes before the server's thread.
    bool FApp = (GarantirApp(), true);
    TnServidorHTTPTeste FServidor;
};

// The reception as the user runs it, on the current connection.
void Receber()
{
    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM("TOrvoDPReceberLancamentosInventario"));
    dp->Param("pCodigoEmpresa").SetValue(1);
    dp->Param("pCodigoEstab").SetValue(1);
    dp->Param("pCompetencia").SetText("03/2024");
    dp->Param("pCodigoGrupoProduto").SetText("5");
    dp->Rodar();
    DestruirDM(dp);
}

void BM_ReceberInventario(benchmark::State &state)
{
    const QByteArray resposta = Resposta();
    TnAmbienteRecepcao ambiente(resposta);
    const double http = ambiente.Http(state, resposta.size());
    MedirEmBancoNovo(state, Banco, Receber, InserirDireto);
    state.counters["http_ms"] = http;
}

// ---- on the server

// The raw side on the server: the same products, entries and property lines written with
// COPY FROM STDIN, in one transaction.
void InserirDiretoPg(PGconn *c)
{
    ExecPg(c, "BEGIN");
    CopiarPg(c,
             "COPY PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, CODIGONCM, "
             "UNIDADEMEDIDA, INDICADORTIPO, TIPOCREDITO, TIPODEBITO, CSTENTRADA, CSTSAIDA, DNF, DACON, DATAATUALIZACAO, "
             "CODIGOUSUARIO) FROM STDIN",
             Itens(), [](int k, std::string &s) {
                 const int i = k + 1;
                 s += "1\t";
                 TextoInteiro(s, i);
                 s += "\tP";
                 TextoInteiro(s, i);
                 s += "\t5\tProduto número ";
                 TextoInteiro(s, i);
                 s += "\t1234.56.78\tKG\t0\t0\t1\t50\t1\t0\t0\t2024-04-02\t1\n";
             });
    CopiarPg(c,
             "COPY LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
             "PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
             "FROM STDIN",
             Itens(), [](int k, std::string &s) {
                 const int i = k + 1;
                 s += "1\t1\t2024-03-01\t";
                 TextoInteiro(s, i);
                 s += "\t1\t";
                 TextoReal(s, Quantidade(i));
                 s += '\t';
                 TextoReal(s, Custo(i));
                 s += "\t0\t0\t0\t\t2024-04-02 09:30:00.123\t1\t3\n";
             });
    CopiarPg(c,
             "COPY LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, "
             "INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) FROM STDIN",
             Itens(), [](int k, std::string &s) {
                 const int i = k + 1;
                 s += "1\t1\t2024-03-01\t";
                 TextoInteiro(s, i);
                 s += "\t1\t1\t0\t";
                 TextoReal(s, Quantidade(i));
                 s += '\t';
                 TextoReal(s, Custo(i));
                 s += '\n';
             });
    ExecPg(c, "COMMIT");
}

// Each round starts without the group's products and their entries; the exchanges of the
// framework's last round are reported beside the times.
void BM_ReceberInventarioPg(benchmark::State &state)
{
    const QByteArray resposta = Resposta();
    TnAmbienteRecepcao ambiente(resposta);
    const double http = ambiente.Http(state, resposta.size());
    TnBancoBench banco(tcPostgreSQL, QStringLiteral("receber"));
    TnConexaoDoCaso atual(&banco.Con());
    nDMConexao &con = banco.Con();
    ConverterBanco(con);
    con.Executar("update ESTAB set INSCRFEDERAL = '12.345.678/0001-90' where CODIGOEMPRESA = 1");
    con.Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                 "TIPOGRUPOPRODUTO) values (1, 5, '1.1', 2)");
    con.Executar("update CFGEMPRESAULMAR set MASCCLASSIFFISCALPROD = '9999.99.99' where CODIGOEMPRESA = 1");
    // The products (the only ones of the schema) and every table that refers to them
    // emptied rather than deleted: each deleted product would be checked against each of
    // those tables, and the entries of the round before (dead rows not yet vacuumed) scanned.
    const auto limpar = [&] { con.Executar("truncate PRODUTO cascade"); };
    AlternarNoServidor(state, banco, limpar, Receber, InserirDiretoPg);
    if (nDMSQLDataSet::PegarQtdRegistro(QStringLiteral("LCTOINV"), QStringLiteral("CODIGOEMPRESA = 1")) != Itens())
        state.SkipWithError("lançamentos a menos");
    state.counters["http_ms"] = http;
    state.counters["linhas"] = 3.0 * Itens();
    DestruirTodosDM();
}

const int gRegistro = RegistrarNoServidor("BM_ReceberInventario/pg", BM_ReceberInventarioPg);

} // namespace

BENCHMARK(BM_ReceberInventario)->Unit(benchmark::kMillisecond)->Iterations(1);
