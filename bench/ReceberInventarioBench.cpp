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

void BM_ReceberInventario(benchmark::State &state)
{
    GarantirApp();
    TnBibliotecas::Carregar("OrvoCore");
    TnServidorHTTPTeste servidor;
    const QByteArray resposta = Resposta();
    servidor.ResponderSempre({.Corpo = resposta});
    const QString ini = Pasta().filePath("programa.ini");
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue("IntegracaoInventario/Servidor", "127.0.0.1");
        s.setValue("IntegracaoInventario/Porta", servidor.Porta());
        s.setValue("IntegracaoInventario/Token", "bench");
    }
    TnConfigPrograma::DefinirArquivo(ini);
    TnPreferenciasUsuario::DefinirPasta(Pasta().filePath("prefs"));
    DefinirUsuarioConectado(1, "ADMINISTRADOR");

    // The HTTP exchange alone, for reference.
    double http = 0;
    {
        TnHTTP cliente;
        const auto inicio = std::chrono::steady_clock::now();
        const QString r = cliente.Post(servidor.Url("/"), QStringLiteral("{}"));
        http = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio).count();
        if (r.size() < resposta.size() / 2)
            state.SkipWithError("resposta curta");
    }

    MedirEmBancoNovo(state, Banco,
                     [&] {
                         auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM("TOrvoDPReceberLancamentosInventario"));
                         dp->Param("pCodigoEmpresa").SetValue(1);
                         dp->Param("pCodigoEstab").SetValue(1);
                         dp->Param("pCompetencia").SetText("03/2024");
                         dp->Param("pCodigoGrupoProduto").SetText("5");
                         dp->Rodar();
                         DestruirDM(dp);
                     },
                     InserirDireto);
    state.counters["http_ms"] = http;
    TnConfigPrograma::DefinirArquivo(QString());
    TnPreferenciasUsuario::DefinirPasta(QString());
    TnBibliotecas::DescarregarTodas();
}

} // namespace

BENCHMARK(BM_ReceberInventario)->Unit(benchmark::kMillisecond)->Iterations(1);
