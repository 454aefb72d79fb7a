// The SYN import of a file of 100,000 inventory records (the inventory data group, every
// entry new, products found by reference). Records: ORVO_BENCH_IMPORTACAO (100,000).
//
// Framework: the process TOrvoDPImportacaoSyn run as the user runs it: the file read whole,
// the company's branches and products preloaded, each line split into its fields, each field
// checked and converted (the date, the decimal numbers), the product found by its reference,
// and the import's upsert bound per record in one transaction, in batches.
// Raw side: a plain program doing the same work: the branches and the products read by one
// SELECT each (on SQLite a count first sizes the hash; the products go into a hash of
// upper-cased reference -> code, and their codes in order for a text that is no reference
// but a code), the same file read with QFile, its
// lines and fields split at '\n' and ';' over the bytes, the integers and numbers converted
// with std::from_chars, the date rewritten as ISO, each reference looked up, and the
// record's values bound into the same upsert statement: on SQLite prepared and stepped in one
// transaction, on the server prepared and executed with its values as text in a pipeline
// (TnPipelinePg) in one transaction. Both write the run's moment, taken once per round.
// Targets: within 1.3x of the C interface, within 1.5x of raw libpq. `raw_leitura_ms` is the
// raw side's median time reading the file, converting its fields and looking its products
// up, alone (the SELECTs and the writes apart).
#include "Bibliotecas.h"
#include "ConfigPrograma.h"
#include "ImportacaoComum.h"
#include "Modulos.h"
#include "Personalizacao.h"
#include "SynImportacao.h"
#include "TextoSQL.h"
#include "Valores.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

int Registros() { return QtdeImportacao(); }

double Quantidade(int i) { return 1 + (i % 50) * 0.5; }
double Custo(int i) { return 2.25 + (i % 9); }

// A converted database with products 1..n, references "P<code>".
std::unique_ptr<nDMConexao> Banco()
{
    auto con = BancoNovo(QStringLiteral("syn.db"));
    TnTransacao t(1, *con);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) "
                           "values (1, ?, ?, ?)");
    for (int i = 1; i <= Registros(); ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("P%1").arg(i));
        p->BindTexto(2, QStringLiteral("Produto %1").arg(i));
        p->Executar();
    }
    t.Commit();
    return con;
}

// ---- the raw side: what a plain program importing the file does

// One record of the file as the raw side binds it.
struct TnRegistroSyn {
    qint64 IdSyn, Estab, Produto, Motivo;
    char Data[10]; // ISO, "yyyy-MM-dd"
    double Qtde, Preco;
};

// What the raw side keeps across its rounds: the file, and how long each round took to read
// it, split and convert its fields and look its products up.
struct TnLadoDireto {
    QString Arquivo;
    TnTempos Leitura;
};

// Upper case of a reference: ASCII by bytes, anything else through QString.
void Maiuscula(std::string_view t, std::string &r)
{
    r.assign(t);
    for (char &c : r) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            r = QString::fromUtf8(t.data(), qsizetype(t.size())).toUpper().toStdString();
            return;
        }
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    }
}

// The company's products, read once: upper-cased reference -> code (the lowest code of a
// reference: the rows come by code), and the codes in ascending order for a text that is
// nobody's reference but a product's code.
struct TnProdutosDireto {
    std::unordered_map<std::string, qint64> PorReferencia;
    std::vector<qint64> Codigos;
    std::string Chave;
    void Reservar(size_t n)
    {
        PorReferencia.reserve(n);
        Codigos.reserve(n);
    }
    void Adicionar(qint64 codigo, const char *referencia, int bytes)
    {
        Codigos.push_back(codigo);
        if (!referencia)
            return;
        Maiuscula(std::string_view(referencia, size_t(bytes)), Chave);
        PorReferencia.try_emplace(Chave, codigo);
    }
    // The code of the product of reference (any case) or code `t`; -1 when none.
    qint64 Encontrar(std::string_view t)
    {
        Maiuscula(t, Chave);
        if (const auto a = PorReferencia.find(Chave); a != PorReferencia.end())
            return a->second;
        qint64 codigo = 0;
        const auto r = std::from_chars(t.data(), t.data() + t.size(), codigo);
        if (t.empty() || t[0] == '-' || r.ec != std::errc() || r.ptr != t.data() + t.size())
            return -1;
        return std::binary_search(Codigos.begin(), Codigos.end(), codigo) ? codigo : -1;
    }
};

std::string_view Aparado(std::string_view t)
{
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t' || t.front() == '\r'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r'))
        t.remove_suffix(1);
    return t;
}

// Digits only, within bounds.
bool InteiroDireto(std::string_view t, qint64 minimo, qint64 maximo, qint64 &v)
{
    if (t.empty() || t[0] < '0' || t[0] > '9')
        return false;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    return r.ec == std::errc() && r.ptr == t.data() + t.size() && v >= minimo && v <= maximo;
}

// A number greater than zero, "." or "," as the decimal point.
bool PositivoDireto(std::string_view t, double &v)
{
    char buf[64];
    if (t.empty() || t.size() > sizeof buf)
        return false;
    for (size_t k = 0; k < t.size(); ++k)
        buf[k] = t[k] == ',' ? '.' : t[k];
    const auto r = std::from_chars(buf, buf + t.size(), v);
    return r.ec == std::errc() && r.ptr == buf + t.size() && std::isfinite(v) && v > 0;
}

// "dd/MM/yyyy" (day and month of one or two digits) into "yyyy-MM-dd".
bool DataDireta(std::string_view t, char *iso)
{
    const size_t b1 = t.find('/'), b2 = t.rfind('/');
    if (b1 == std::string_view::npos || b1 == b2)
        return false;
    qint64 d = 0, m = 0, a = 0;
    if (b1 > 2 || b2 - b1 - 1 > 2 || t.size() - b2 - 1 != 4 || !InteiroDireto(t.substr(0, b1), 1, 31, d)
        || !InteiroDireto(t.substr(b1 + 1, b2 - b1 - 1), 1, 12, m) || !InteiroDireto(t.substr(b2 + 1), 1, 9999, a))
        return false;
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool bissexto = (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
    if (d > dias[m - 1] + (m == 2 && bissexto))
        return false;
    const auto dois = [](char *p, qint64 v) { p[0] = char('0' + v / 10), p[1] = char('0' + v % 10); };
    dois(iso, a / 100);
    dois(iso + 2, a % 100);
    iso[4] = '-';
    dois(iso + 5, m);
    iso[7] = '-';
    dois(iso + 8, d);
    return true;
}

// The file read whole, its lines split and their fields checked and converted, each product
// found; a record that does not read is counted in `recusados` and left out.
std::vector<TnRegistroSyn> LerRegistros(const QString &arquivo, const std::vector<qint64> &estabs,
                                        TnProdutosDireto &produtos, int &recusados)
{
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray texto = f.readAll();
    std::vector<TnRegistroSyn> r;
    r.reserve(size_t(std::count(texto.begin(), texto.end(), '\n')) + 1);
    recusados = 0;
    const char *p = texto.constData(), *const fim = p + texto.size();
    while (p < fim) {
        const char *q = static_cast<const char *>(std::memchr(p, '\n', size_t(fim - p)));
        if (!q)
            q = fim;
        const std::string_view linha = Aparado(std::string_view(p, size_t(q - p)));
        p = q + 1;
        if (linha.empty() || linha[0] == '#')
            continue;
        std::string_view campos[7];
        int n = 0;
        for (size_t i = 0;; ++n) {
            const size_t j = linha.find(';', i);
            if (n < 7)
                campos[n] = Aparado(linha.substr(i, j == std::string_view::npos ? std::string_view::npos : j - i));
            if (j == std::string_view::npos)
                break;
            i = j + 1;
        }
        TnRegistroSyn g;
        if (++n != 7 || !InteiroDireto(campos[0], 1, 999999999, g.IdSyn) || !InteiroDireto(campos[1], 1, 32767, g.Estab)
            || std::find(estabs.begin(), estabs.end(), g.Estab) == estabs.end() || !DataDireta(campos[2], g.Data)
            || (g.Produto = produtos.Encontrar(campos[3])) < 0 || !InteiroDireto(campos[4], 1, 6, g.Motivo)
            || !PositivoDireto(campos[5], g.Qtde) || !PositivoDireto(campos[6], g.Preco)) {
            ++recusados;
            continue;
        }
        r.push_back(g);
    }
    return r;
}

// LerRegistros timed into `lado`.
std::vector<TnRegistroSyn> LerMedindo(TnLadoDireto &lado, const std::vector<qint64> &estabs,
                                      TnProdutosDireto &produtos, int &recusados)
{
    std::vector<TnRegistroSyn> r;
    lado.Leitura.Ms.push_back(MedirMs([&] { r = LerRegistros(lado.Arquivo, estabs, produtos, recusados); }));
    return r;
}

// The moment the run writes on every entry, as the database takes it.
QByteArray Agora() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toUtf8(); }

const char kSqlEstabs[] = "select CODIGOESTAB from ESTAB where CODIGOEMPRESA = 1";
const char kSqlQtdeProdutos[] = "select count(*) from PRODUTO where CODIGOEMPRESA = 1";
const char kSqlProdutos[] =
    "select CODIGOPRODUTO, REFERENPRODUTO from PRODUTO where CODIGOEMPRESA = 1 order by CODIGOPRODUTO";

// The raw side on SQLite: the company's branches and products read, the file read and its
// records found, then the import's own upsert, prepared, bound per record in one
// transaction. Answers the records that changed a row (the refused ones change none).
int UpsertsDiretos(sqlite3 *db, TnLadoDireto &lado)
{
    // Steps `sql` to its end, handing each row to `f`.
    const auto ler = [db](const char *sql, const auto &f) {
        sqlite3_stmt *s = PrepararSqlite(db, sql);
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW)
            f(s);
        ChecarSqlite(db, rc);
        sqlite3_finalize(s);
    };
    std::vector<qint64> estabs;
    ler(kSqlEstabs, [&](sqlite3_stmt *s) { estabs.push_back(sqlite3_column_int64(s, 0)); });
    TnProdutosDireto produtos;
    ler(kSqlQtdeProdutos, [&](sqlite3_stmt *s) { produtos.Reservar(size_t(sqlite3_column_int64(s, 0))); });
    ler(kSqlProdutos, [&](sqlite3_stmt *s) {
        produtos.Adicionar(sqlite3_column_int64(s, 0), reinterpret_cast<const char *>(sqlite3_column_text(s, 1)),
                           sqlite3_column_bytes(s, 1));
    });
    int recusados = 0;
    const std::vector<TnRegistroSyn> registros = LerMedindo(lado, estabs, produtos, recusados);

    const QByteArray agora = Agora();
    int importados = 0;
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *st = PrepararSqlite(db, TnSynDPImportacaoBase::kUpsertInventario);
    for (const TnRegistroSyn &g : registros) {
        sqlite3_bind_int64(st, 1, 1);
        sqlite3_bind_int64(st, 2, g.Estab);
        sqlite3_bind_text(st, 3, g.Data, 10, SQLITE_STATIC);
        sqlite3_bind_int64(st, 4, g.Produto);
        sqlite3_bind_int64(st, 5, g.Motivo);
        sqlite3_bind_double(st, 6, g.Qtde);
        sqlite3_bind_double(st, 7, g.Preco);
        sqlite3_bind_text(st, 8, agora.constData(), int(agora.size()), SQLITE_STATIC);
        sqlite3_bind_int64(st, 9, 1);
        sqlite3_bind_int64(st, 10, g.IdSyn);
        PassoSqlite(db, st);
        importados += sqlite3_changes(db);
    }
    sqlite3_finalize(st);
    ExecSqlite(db, "COMMIT");
    return importados;
}
// The settings and the file of the import: ORVO_BENCH_IMPORTACAO records of the inventory
// data group, every entry new, products by reference. Answers the file's name.
QString PrepararArquivo(benchmark::State &state)
{
    GarantirApp();
    TnBibliotecas::Carregar("OrvoCore");
    const QString ini = Pasta().filePath("syn.ini");
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue("SYN/Pasta", Pasta().filePath("syn"));
    }
    TnConfigPrograma::DefinirArquivo(ini);
    DefinirUsuarioConectado(1, "ADMINISTRADOR");
    QDir().mkpath(Pasta().filePath("syn"));
    const QString arquivo = TnSynDPImportacaoBase::Arquivo(QStringLiteral("LCTOINV"), 1);
    QFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        state.SkipWithError("arquivo");
    QByteArray texto;
    for (int i = 1; i <= Registros(); ++i)
        texto += QStringLiteral("%1;1;01/03/2024;P%2;1;%3;%4\n")
                     .arg(5000 + i)
                     .arg(i)
                     .arg(NumeroParaTexto(Quantidade(i)), NumeroParaTexto(Custo(i)))
                     .toUtf8();
    f.write(texto);
    return arquivo;
}

void Encerrar()
{
    TnConfigPrograma::DefinirArquivo(QString());
    DefinirUsuarioConectado(0, QString());
    TnBibliotecas::DescarregarTodas();
}

// The import as the user runs it, on the current connection; the records imported.
int Importar()
{
    auto *dp = dynamic_cast<TnSynDPImportacaoBase *>(CriarDM("TOrvoDPImportacaoSyn"));
    dp->ConfigurarForm(nullptr); // chooses the inventory data group
    dp->Param("pCodigoEmpresa").SetValue(1);
    dp->Rodar();
    const int importados = dp->Importados();
    DestruirDM(dp);
    return importados;
}

void BM_ImportacaoSyn(benchmark::State &state)
{
    TnLadoDireto lado{.Arquivo = PrepararArquivo(state), .Leitura = {}};
    int importados = 0, diretos = 0;
    MedirEmBancoNovo(
        state, Banco, [&] { importados = Importar(); }, [&](sqlite3 *db) { diretos = UpsertsDiretos(db, lado); });
    if (importados != Registros() || diretos != Registros())
        state.SkipWithError("registros a menos");
    state.counters["raw_leitura_ms"] = lado.Leitura.Mediana();
    Encerrar();
}

// ---- on the server

// The raw side on the server: the company's branches and products read, the file read and
// its records found as on SQLite, then the import's own upsert, prepared, executed per
// record with its values as text in a pipeline (a sync every thousand) in one transaction.
// Every execution must change one row.
void UpsertsDiretosPg(PGconn *c, TnLadoDireto &lado)
{
    std::vector<qint64> estabs;
    LerPg(c, kSqlEstabs, [&](PGresult *r, int i) { estabs.push_back(InteiroPg(r, i, 0)); });
    TnProdutosDireto produtos;
    {
        PGresult *r = PQexec(c, kSqlProdutos);
        ChecarPg(c, r, kSqlProdutos);
        const int n = PQntuples(r);
        produtos.Reservar(size_t(n));
        for (int i = 0; i < n; ++i) {
            qint64 codigo = 0;
            const char *t = PQgetvalue(r, i, 0);
            std::from_chars(t, t + PQgetlength(r, i, 0), codigo);
            produtos.Adicionar(codigo, PQgetisnull(r, i, 1) ? nullptr : PQgetvalue(r, i, 1), PQgetlength(r, i, 1));
        }
        PQclear(r);
    }
    int recusados = 0;
    const std::vector<TnRegistroSyn> registros = LerMedindo(lado, estabs, produtos, recusados);
    if (recusados)
        std::abort();

    const QByteArray agora = Agora();
    ExecPg(c, "BEGIN");
    {
        const QByteArray sql = NumerarParametros(QString::fromLatin1(TnSynDPImportacaoBase::kUpsertInventario)).toUtf8();
        TnPipelinePg p(c, sql.constData(), 10);
        std::string estab, data, produto, motivo, qtde, preco, id;
        for (const TnRegistroSyn &g : registros) {
            estab.clear();
            TextoInteiro(estab, g.Estab);
            data.assign(g.Data, sizeof g.Data);
            produto.clear();
            TextoInteiro(produto, g.Produto);
            motivo.clear();
            TextoInteiro(motivo, g.Motivo);
            qtde.clear();
            TextoReal(qtde, g.Qtde);
            preco.clear();
            TextoReal(preco, g.Preco);
            id.clear();
            TextoInteiro(id, g.IdSyn);
            const char *v[10] = {"1", estab.c_str(), data.c_str(), produto.c_str(), motivo.c_str(), qtde.c_str(),
                                 preco.c_str(), agora.constData(), "1", id.c_str()};
            p.Enviar(v);
        }
    }
    ExecPg(c, "COMMIT");
}

// Each round starts without entries; the exchanges of the framework's last round are
// reported beside the times.
void BM_ImportacaoSynPg(benchmark::State &state)
{
    TnLadoDireto lado{.Arquivo = PrepararArquivo(state), .Leitura = {}};
    {
        TnBancoBench banco(tcPostgreSQL, QStringLiteral("syn"));
        TnConexaoDoCaso atual(&banco.Con());
        ConverterBanco(banco.Con());
        banco.Con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) "
                             "select 1, i, 'P' || i, 'Produto ' || i from generate_series(1, " +
                             QString::number(Registros()) + ") i");
        banco.Con().Executar("ANALYZE");
        int importados = 0;
        AlternarNoServidor(
            state, banco, [&] { banco.Con().Executar("delete from LCTOINV where CODIGOEMPRESA = 1"); },
            [&] { importados = Importar(); }, [&](PGconn *c) { UpsertsDiretosPg(c, lado); });
        if (importados != Registros())
            state.SkipWithError("registros a menos");
        state.counters["linhas"] = double(Registros());
        state.counters["raw_leitura_ms"] = lado.Leitura.Mediana();
    }
    Encerrar();
}

const int gRegistro = RegistrarNoServidor("BM_ImportacaoSyn/pg", BM_ImportacaoSynPg);

} // namespace

BENCHMARK(BM_ImportacaoSyn)->Unit(benchmark::kMillisecond)->Iterations(1);
