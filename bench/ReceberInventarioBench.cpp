// The web-service reception of a 100,000-item reply, every product new, served by the local
// test server (ServidorHTTPTeste.h). Items: ORVO_BENCH_IMPORTACAO (100,000).
//
// Framework: the process TOrvoDPReceberLancamentosInventario run as the user runs it, from
// the call to the commit: the HTTP exchange, the reply decoded (the outer object, then the
// array held in its "d" text), each item's CODIGO looked up among the company's preloaded
// references, the NCM formatted through the company's mask, and the products, entries and
// property lines written in one transaction.
// Raw side: a plain program doing the same work: the same reply fetched with the same client
// (TnHTTP) from the same server, decoded with QJsonDocument (the outer document, "d" as a
// text, the inner document), a hash of the company's upper-cased references (one SELECT)
// looked up per item and given the next free code when absent, the mask read once and the
// NCM digits laid into it by a loop, and the item's values bound: on SQLite, prepared
// statements in one transaction; on the server, COPY FROM STDIN with the values written in
// COPY's text format, in one transaction. Targets: within 1.3x of the C interface, within
// 1.5x of raw libpq. `raw_decod_ms` is the raw side's median time decoding the reply and
// looking its items up, alone (the fetch, the two reads and the writes apart): the raw
// side less it and less `http_ms` (one HTTP exchange alone) is about what writing the rows
// already in memory costs.
#include "Bibliotecas.h"
#include "ConfigPrograma.h"
#include "HTTP.h"
#include "ImportacaoComum.h"
#include "Modulos.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "SQLDataSet.h"
#include "ServidorHTTPTeste.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

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
                          "values (1, ?, ?, 5, ?, ?, ?, ?, '0', '1', 50, 1, '0', '0', ?, 1)";
const char *kSqlLcto = "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, DATAHORALCTOINV, "
                       "CODIGOUSUARIO, ORIGEMDADO) values (1, 1, '2024-03-01', ?, 1, ?, ?, 0, 0, 0, '', ?, 1, 3)";
const char *kSqlProp = "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                       "values (1, 1, '2024-03-01', ?, 1, 1, 0, ?, ?)";
const char *kSqlMascara = "select MASCCLASSIFFISCALPROD from CFGEMPRESAULMAR where CODIGOEMPRESA = 1";
const char *kSqlProdutos = "select CODIGOPRODUTO, REFERENPRODUTO from PRODUTO where CODIGOEMPRESA = 1";

// ---- the raw side: what a plain program receiving the reply does

// One item of the reply as the raw side writes it: its texts in UTF-8, its product's code
// found among the company's or given.
struct TnItemDireto {
    QByteArray Referencia, Descricao, Unidade, NCM;
    int Tipo = 0;
    double Quantidade = 0, Custo = 0;
    qint64 Codigo = 0;
    bool Novo = false; // a product to insert
};

// What the raw side keeps across its rounds: where the reply comes from, and how long each
// round took to decode it and look its items up.
struct TnLadoDireto {
    QString Url;
    TnTempos Decodificacao;
};

// The company's products by upper-cased reference, and the next free code.
struct TnProdutosDireto {
    QHash<QString, qint64> PorReferencia;
    qint64 Proximo = 1;
    void Adicionar(qint64 codigo, const char *referencia, int bytes)
    {
        PorReferencia.insert(QString::fromUtf8(referencia, bytes).toUpper(), codigo);
        Proximo = std::max(Proximo, codigo + 1);
    }
};

// The reply, the same way the process asks for it.
QString BuscarResposta(const QString &url)
{
    TnHTTP cliente;
    return cliente.Post(url, QStringLiteral("{}"));
}

// The NCM's digits laid into the mask's places ('9'); the literals between two places are
// written when the place after them is filled.
QByteArray FormatarNCM(QStringView ncm, const QByteArray &mascara)
{
    QByteArray r;
    r.reserve(mascara.size());
    qsizetype k = 0, literais = 0;
    for (qsizetype i = 0; i < mascara.size(); ++i) {
        if (mascara[i] != '9')
            continue;
        while (k < ncm.size() && !ncm[k].isDigit())
            ++k;
        if (k == ncm.size())
            break;
        r.append(mascara.constData() + literais, i - literais);
        r.append(char(ncm[k++].unicode()));
        literais = i + 1;
    }
    return r;
}

// The reply decoded (the outer document, "d" as a text, the array it holds) and each item's
// product looked up by its upper-cased reference, a new one taking the next free code.
std::vector<TnItemDireto> Decodificar(const QString &resposta, const QByteArray &mascara, TnProdutosDireto &produtos)
{
    const QJsonDocument externo = QJsonDocument::fromJson(resposta.toUtf8());
    const QString d = externo.object().value(QLatin1String("d")).toString();
    const QJsonArray lista = QJsonDocument::fromJson(d.toUtf8()).array();
    std::vector<TnItemDireto> itens;
    itens.reserve(lista.size());
    produtos.PorReferencia.reserve(produtos.PorReferencia.size() + lista.size());
    for (const QJsonValue v : lista) {
        const QJsonObject o = v.toObject();
        TnItemDireto &item = itens.emplace_back();
        const QString codigo = o.value(QLatin1String("CODIGO")).toString();
        item.Referencia = codigo.toUtf8();
        item.Descricao = o.value(QLatin1String("DESCRICAO")).toString().toUtf8();
        item.Unidade = o.value(QLatin1String("UNIDADE_MEDIDA")).toString().toUtf8();
        if (item.Unidade.isEmpty())
            item.Unidade = "UN";
        const QJsonValue tipo = o.value(QLatin1String("TIPO_ITEM"));
        item.Tipo = tipo.isString() ? tipo.toString().toInt() : tipo.toInt();
        item.NCM = FormatarNCM(o.value(QLatin1String("NCM")).toString(), mascara);
        item.Quantidade = o.value(QLatin1String("QUANTIDADE")).toDouble();
        item.Custo = o.value(QLatin1String("CUSTO_UNITARIO")).toDouble();
        const QString chave = codigo.toUpper();
        const auto achado = produtos.PorReferencia.constFind(chave);
        if (achado != produtos.PorReferencia.constEnd()) {
            item.Codigo = *achado;
        } else {
            item.Codigo = produtos.Proximo++;
            item.Novo = true;
            produtos.PorReferencia.insert(chave, item.Codigo);
        }
    }
    return itens;
}

// Decodificar timed into `lado`.
std::vector<TnItemDireto> DecodificarMedindo(TnLadoDireto &lado, const QString &resposta, const QByteArray &mascara,
                                             TnProdutosDireto &produtos)
{
    std::vector<TnItemDireto> itens;
    lado.Decodificacao.Ms.push_back(MedirMs([&] { itens = Decodificar(resposta, mascara, produtos); }));
    return itens;
}

// The dates the process writes: today (the product's update) and now (the entry's moment).
QByteArray Hoje() { return QDate::currentDate().toString(Qt::ISODate).toUtf8(); }
QByteArray Agora() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toUtf8(); }

void BindTexto(sqlite3_stmt *st, int i, const QByteArray &t)
{
    sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_STATIC);
}

void InserirDireto(sqlite3 *db, TnLadoDireto &lado)
{
    const QString resposta = BuscarResposta(lado.Url);
    const QByteArray hoje = Hoje(), agora = Agora();
    ExecSqlite(db, "BEGIN IMMEDIATE");
    QByteArray mascara;
    sqlite3_stmt *s = PrepararSqlite(db, kSqlMascara);
    int rc = sqlite3_step(s);
    ChecarSqlite(db, rc);
    if (rc == SQLITE_ROW)
        mascara = QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)), sqlite3_column_bytes(s, 0));
    sqlite3_finalize(s);
    TnProdutosDireto produtos;
    s = PrepararSqlite(db, kSqlProdutos);
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        produtos.Adicionar(sqlite3_column_int64(s, 0), reinterpret_cast<const char *>(sqlite3_column_text(s, 1)),
                           sqlite3_column_bytes(s, 1));
    ChecarSqlite(db, rc);
    sqlite3_finalize(s);
    const std::vector<TnItemDireto> itens = DecodificarMedindo(lado, resposta, mascara, produtos);
    sqlite3_stmt *p = PrepararSqlite(db, kSqlProduto);
    sqlite3_stmt *l = PrepararSqlite(db, kSqlLcto);
    sqlite3_stmt *q = PrepararSqlite(db, kSqlProp);
    for (const TnItemDireto &item : itens) {
        if (item.Novo) {
            sqlite3_bind_int64(p, 1, item.Codigo);
            BindTexto(p, 2, item.Referencia);
            BindTexto(p, 3, item.Descricao);
            BindTexto(p, 4, item.NCM);
            BindTexto(p, 5, item.Unidade);
            sqlite3_bind_int(p, 6, item.Tipo);
            BindTexto(p, 7, hoje);
            PassoSqlite(db, p);
        }
        sqlite3_bind_int64(l, 1, item.Codigo);
        sqlite3_bind_double(l, 2, item.Quantidade);
        sqlite3_bind_double(l, 3, item.Custo);
        BindTexto(l, 4, agora);
        PassoSqlite(db, l);
        sqlite3_bind_int64(q, 1, item.Codigo);
        sqlite3_bind_double(q, 2, item.Quantidade);
        sqlite3_bind_double(q, 3, item.Custo);
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
    // Where the server answers.
    QString Url() const { return FServidor.Url(QStringLiteral("/")); }
    // The HTTP exchange alone, for reference (milliseconds).
    double Http(benchmark::State &state, qsizetype tamanho)
    {
        TnHTTP cliente;
        const auto inicio = std::chrono::steady_clock::now();
        const QString r = cliente.Post(Url(), QStringLiteral("{}"));
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
    TnLadoDireto lado{.Url = ambiente.Url(), .Decodificacao = {}};
    MedirEmBancoNovo(state, Banco, Receber, [&](sqlite3 *db) { InserirDireto(db, lado); });
    state.counters["http_ms"] = http;
    state.counters["raw_decod_ms"] = lado.Decodificacao.Mediana();
}

// ---- on the server

// A text in COPY's text format: backslash, tab, newline and carriage return escaped.
void TextoCopia(std::string &s, const QByteArray &t)
{
    const char *p = t.constData(), *const fim = p + t.size();
    while (p < fim) {
        const char *q = p;
        while (q < fim && *q != '\\' && *q != '\t' && *q != '\n' && *q != '\r')
            ++q;
        s.append(p, q);
        if (q == fim)
            break;
        s += '\\';
        s += *q == '\t' ? 't' : *q == '\n' ? 'n' : *q == '\r' ? 'r' : '\\';
        p = q + 1;
    }
}

// The raw side on the server: the same fetch, decoding and lookup, the mask and the
// products read in the transaction, and the products, entries and property lines written
// with COPY FROM STDIN, each table analyzed inside the transaction once it holds the rows
// (as the framework does from 10,000 rows on): autovacuum may have analyzed it while the
// rows were not yet visible, and the foreign-key checks of the next table would then be
// planned on an empty one.
void InserirDiretoPg(PGconn *c, TnLadoDireto &lado)
{
    const QString resposta = BuscarResposta(lado.Url);
    const QByteArray hoje = Hoje(), agora = Agora();
    ExecPg(c, "BEGIN");
    QByteArray mascara;
    LerPg(c, kSqlMascara, [&](PGresult *r, int i) { mascara = PQgetvalue(r, i, 0); });
    TnProdutosDireto produtos;
    LerPg(c, kSqlProdutos, [&](PGresult *r, int i) {
        produtos.Adicionar(InteiroPg(r, i, 0), PQgetvalue(r, i, 1), PQgetlength(r, i, 1));
    });
    const std::vector<TnItemDireto> itens = DecodificarMedindo(lado, resposta, mascara, produtos);
    const int n = int(itens.size());
    CopiarPg(c,
             "COPY PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, CODIGONCM, "
             "UNIDADEMEDIDA, INDICADORTIPO, TIPOCREDITO, TIPODEBITO, CSTENTRADA, CSTSAIDA, DNF, DACON, DATAATUALIZACAO, "
             "CODIGOUSUARIO) FROM STDIN",
             n, [&](int k, std::string &s) {
                 const TnItemDireto &item = itens[size_t(k)];
                 if (!item.Novo)
                     return;
                 s += "1\t";
                 TextoInteiro(s, item.Codigo);
                 s += '\t';
                 TextoCopia(s, item.Referencia);
                 s += "\t5\t";
                 for (const QByteArray *texto : {&item.Descricao, &item.NCM, &item.Unidade}) {
                     TextoCopia(s, *texto);
                     s += '\t';
                 }
                 TextoInteiro(s, item.Tipo);
                 s += "\t0\t1\t50\t1\t0\t0\t";
                 s.append(hoje.constData(), size_t(hoje.size()));
                 s += "\t1\n";
             });
    if (n >= 10000)
        ExecPg(c, "ANALYZE PRODUTO");
    CopiarPg(c,
             "COPY LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
             "PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
             "FROM STDIN",
             n, [&](int k, std::string &s) {
                 const TnItemDireto &item = itens[size_t(k)];
                 s += "1\t1\t2024-03-01\t";
                 TextoInteiro(s, item.Codigo);
                 s += "\t1\t";
                 TextoReal(s, item.Quantidade);
                 s += '\t';
                 TextoReal(s, item.Custo);
                 s += "\t0\t0\t0\t\t";
                 s.append(agora.constData(), size_t(agora.size()));
                 s += "\t1\t3\n";
             });
    if (n >= 10000)
        ExecPg(c, "ANALYZE LCTOINV");
    CopiarPg(c,
             "COPY LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, "
             "INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) FROM STDIN",
             n, [&](int k, std::string &s) {
                 const TnItemDireto &item = itens[size_t(k)];
                 s += "1\t1\t2024-03-01\t";
                 TextoInteiro(s, item.Codigo);
                 s += "\t1\t1\t0\t";
                 TextoReal(s, item.Quantidade);
                 s += '\t';
                 TextoReal(s, item.Custo);
                 s += '\n';
             });
    if (n >= 10000)
        ExecPg(c, "ANALYZE LCTOINVPROPRIEDADE");
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
    TnLadoDireto lado{.Url = ambiente.Url(), .Decodificacao = {}};
    AlternarNoServidor(state, banco, limpar, Receber, [&](PGconn *c) { InserirDiretoPg(c, lado); });
    if (nDMSQLDataSet::PegarQtdRegistro(QStringLiteral("LCTOINV"), QStringLiteral("CODIGOEMPRESA = 1")) != Itens())
        state.SkipWithError("lançamentos a menos");
    state.counters["http_ms"] = http;
    state.counters["linhas"] = 3.0 * Itens();
    state.counters["raw_decod_ms"] = lado.Decodificacao.Mediana();
    DestruirTodosDM();
}

const int gRegistro = RegistrarNoServidor("BM_ReceberInventario/pg", BM_ReceberInventarioPg);

} // namespace

BENCHMARK(BM_ReceberInventario)->Unit(benchmark::kMillisecond)->Iterations(1);
