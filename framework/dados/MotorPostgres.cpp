// The server engine: PostgreSQL through libpq, on the connection Qt's QPSQL driver opened (as
// the embedded engine runs on the handle of Qt's QSQLITE driver).
//
// Statements are prepared on the server and run with their values as text; results come
// row by row (single-row mode), in binary when every column's type is one read here, so that
// values are read typed without a string or a QVariant each. Batches go through libpq's
// pipeline (no round trip per statement), new rows of a plain INSERT held for a batch through
// COPY FROM STDIN, and texts of several statements are split by the server's own rules
// (dollar-quoted bodies, escaped strings, nested comments) and run statement by statement,
// those of one shape prepared once.
#include "Motor.h"

#include "DataIso.h"
#include "Decimal.h"
#include "Literais.h"
#include "TextoSQL.h"

#include <QHash>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDriver>
#include <QStringDecoder>
#include <QStringEncoder>
#include <libpq-fe.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#ifndef LIBPQ_HAS_PIPELINING
#error "libpq 14 or newer is needed (pipeline mode)"
#endif

namespace {

// Type identifiers of the server's catalog.
enum : Oid {
    oidBool = 16, oidName = 19, oidInt8 = 20, oidInt2 = 21, oidInt4 = 23, oidText = 25, oidOid = 26,
    oidFloat4 = 700, oidFloat8 = 701, oidBpchar = 1042, oidVarchar = 1043, oidDate = 1082, oidTimestamp = 1114,
    oidTimestamptz = 1184, oidNumeric = 1700
};

TFieldType TipoDoOid(Oid oid)
{
    switch (oid) {
    case oidInt2: return ftSmallint;
    case oidInt4: case oidOid: return ftInteger;
    case oidInt8: return ftLargeint;
    case oidFloat4: case oidFloat8: return ftFloat;
    case oidNumeric: return ftBCD;
    case oidDate: return ftDate;
    case oidTimestamp: case oidTimestamptz: return ftDateTime;
    case oidBool: return ftBoolean;
    case oidText: return ftMemo;
    default: return ftString;
    }
}

// The types whose binary form is read here; a result with any other comes as text.
bool LidoEmBinario(Oid oid)
{
    switch (oid) {
    case oidBool: case oidName: case oidInt8: case oidInt2: case oidInt4: case oidText: case oidOid:
    case oidFloat4: case oidFloat8: case oidBpchar: case oidVarchar: case oidDate: case oidTimestamp:
    case oidNumeric:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- binary values

// Big-endian integer of `n` bytes, sign-extended.
qint64 Be(const char *p, int n)
{
    quint64 v = 0;
    for (int k = 0; k < n; ++k)
        v = (v << 8) | quint8(p[k]);
    if (n < 8 && ((v >> (8 * n - 1)) & 1))
        v |= ~quint64(0) << (8 * n);
    return qint64(v);
}

double BeReal(const char *p, int n)
{
    if (n == 4) {
        const quint32 v = quint32(Be(p, 4));
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    const quint64 v = quint64(Be(p, 8));
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

// Days and microseconds are counted from 2000-01-01.
constexpr qint64 kJuliano2000 = 2451545;
constexpr qint64 kUsDia = 86400000000LL;

// A numeric in binary: digit count, weight, sign, display scale, then base-10000 digits,
// digit k worth 10000^(weight - k).
struct Numerico {
    int N = 0, Peso = 0, Sinal = 0, Escala = 0;
    const char *Digitos = nullptr;
    bool Ler(const char *p, int len)
    {
        if (len < 8)
            return false;
        N = int(Be(p, 2));
        Peso = int(Be(p + 2, 2));
        Sinal = int(quint16(Be(p + 4, 2)));
        Escala = int(Be(p + 6, 2));
        Digitos = p + 8;
        return len >= 8 + 2 * N;
    }
    bool Numero() const { return Sinal == 0 || Sinal == 0x4000; }
    int Digito(int k) const { return k >= 0 && k < N ? int(Be(Digitos + 2 * k, 2)) : 0; }
    // Scaled by 10^escala, rounded half away from zero (or cut, `arredondar` false).
    bool Escalado(int escala, qint64 &out, bool arredondar = true) const
    {
        if (!Numero() || escala < 0 || escala > 18)
            return false;
        if (Peso > 4)
            return false; // 10000^5 and more: beyond 64 bits whatever the scale
        __int128 v = 0;
        for (int k = 0; k <= Peso; ++k)
            v = v * 10000 + Digito(k);
        for (int e = 0; e < escala; ++e)
            v *= 10;
        // The decimals wanted, and the next one to round by.
        __int128 fracao = 0;
        int seguinte = 0;
        int obtidas = 0;
        for (int g = 1; obtidas <= escala; ++g) {
            int grupo = Digito(Peso + g);
            for (int m = 1000; m >= 1 && obtidas <= escala; m /= 10, ++obtidas) {
                const int d = grupo / m;
                grupo %= m;
                if (obtidas < escala)
                    fracao = fracao * 10 + d;
                else
                    seguinte = d;
            }
        }
        v += fracao;
        if (arredondar && seguinte >= 5)
            ++v;
        if (Sinal == 0x4000)
            v = -v;
        if (v > std::numeric_limits<qint64>::max() || v < std::numeric_limits<qint64>::min())
            return false;
        out = qint64(v);
        return true;
    }
    // Plain text with the display scale's decimals ("12.50"), as the server writes it.
    QString Texto() const
    {
        if (Sinal == 0xC000)
            return QStringLiteral("NaN");
        if (Sinal == 0xD000)
            return QStringLiteral("Infinity");
        if (Sinal == 0xF000)
            return QStringLiteral("-Infinity");
        QString s;
        if (Sinal == 0x4000)
            s += u'-';
        if (Peso < 0) {
            s += u'0';
        } else {
            for (int k = 0; k <= Peso; ++k) {
                const int d = Digito(k);
                s += k == 0 ? QString::number(d) : QStringLiteral("%1").arg(d, 4, 10, QLatin1Char('0'));
            }
        }
        if (Escala > 0) {
            QString fracao;
            for (int g = 1; fracao.size() < Escala; ++g)
                fracao += QStringLiteral("%1").arg(Digito(Peso + g), 4, 10, QLatin1Char('0'));
            s += u'.';
            s += QStringView(fracao).left(Escala);
        }
        return s;
    }
};

// ---------------------------------------------------------------- prepared statements

class MotorPostgres;

// A statement prepared on the server, shared by its command, the batches that run it and the
// cache of text shapes; freed on the server when the last one lets it go.
struct Preparado {
    MotorPostgres *Motor = nullptr; // set once it exists on the server, which frees it at the end
    std::string Nome;
    QString SQL;
    int Parametros = 0;
    std::vector<TnColunaInfo> Colunas;
    bool Binario = true; // results read in binary
    // An INSERT ... VALUES of placeholders and constants: rows held for a batch go by COPY.
    bool Copiavel = false;
    QString Tabela;
    QByteArray CopiaSQL;               // COPY table (columns) FROM STDIN
    std::vector<int> Origem;           // per column: the parameter, or -1 for a constant
    std::vector<QByteArray> Constantes; // per column: the constant in COPY's text form
    ~Preparado();
};

// The values bound to a command, as text (null: no value).
struct Valores {
    std::vector<std::string> Texto;
    std::vector<char> Nulo;
    void Redimensionar(int n)
    {
        Texto.resize(size_t(n));
        Nulo.assign(size_t(n), 1);
    }
    std::vector<const char *> Ponteiros() const
    {
        std::vector<const char *> p(Texto.size());
        for (size_t k = 0; k < p.size(); ++k)
            p[k] = Nulo[k] ? nullptr : Texto[k].c_str();
        return p;
    }
};

// Fewer rows of one insert than this go in a pipeline: a COPY costs exchanges of its own.
constexpr size_t kMinimoCopia = 16;

// The plain INSERT ... VALUES (...) that COPY can take: a table, a list of plain columns, and
// values that are placeholders or constants (numbers without a point, texts, NULL).
void AnalisarCopia(Preparado &p)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*insert\\s+into\\s+([A-Za-z_][A-Za-z0-9_]*(?:\\.[A-Za-z_][A-Za-z0-9_]*)?)\\s*"
                       "\\(([^()]*)\\)\\s*values\\s*\\((.*)\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(p.SQL);
    if (!m.hasMatch())
        return;
    const QStringList colunas = m.captured(2).split(u',');
    // The values, split at the commas outside quotes.
    QStringList valores;
    const QString lista = m.captured(3);
    QString atual;
    for (qsizetype i = 0; i < lista.size(); ++i) {
        if (lista[i] == u'\'') {
            const qsizetype fim = FimDeTrechoLiteral(lista, i, tcPostgreSQL);
            atual += QStringView(lista).mid(i, fim - i + 1);
            i = fim;
        } else if (lista[i] == u',') {
            valores << atual.trimmed();
            atual.clear();
        } else {
            atual += lista[i];
        }
    }
    valores << atual.trimmed();
    if (colunas.size() != valores.size())
        return;
    static const QRegularExpression reParam(QStringLiteral("^\\$(\\d+)$"));
    static const QRegularExpression reInteiro(QStringLiteral("^-?\\d+$"));
    std::vector<int> origem;
    std::vector<QByteArray> constantes;
    std::vector<bool> usado(size_t(p.Parametros), false);
    for (const QString &v : valores) {
        if (const auto mp = reParam.match(v); mp.hasMatch()) {
            const int k = mp.captured(1).toInt() - 1;
            if (k < 0 || k >= p.Parametros || usado[size_t(k)])
                return;
            usado[size_t(k)] = true;
            origem.push_back(k);
            constantes.emplace_back();
        } else if (reInteiro.match(v).hasMatch()) {
            origem.push_back(-1);
            constantes.push_back(v.toLatin1());
        } else if (v.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0) {
            origem.push_back(-1);
            constantes.push_back(QByteArrayLiteral("\\N"));
        } else if (v.size() >= 2 && v.startsWith(u'\'') && v.endsWith(u'\'') && FimDeTrechoLiteral(v, 0, tcPostgreSQL) == v.size() - 1) {
            QByteArray t = v.mid(1, v.size() - 2).replace(QLatin1String("''"), QLatin1String("'")).toUtf8();
            t.replace('\\', "\\\\").replace('\t', "\\t").replace('\n', "\\n").replace('\r', "\\r");
            origem.push_back(-1);
            constantes.push_back(t);
        } else {
            return;
        }
    }
    QStringList nomes;
    for (const QString &c : colunas) {
        if (!EhIdentificador(c.trimmed()))
            return;
        nomes << c.trimmed();
    }
    p.Copiavel = true;
    p.Tabela = m.captured(1);
    p.CopiaSQL = QStringLiteral("COPY %1 (%2) FROM STDIN").arg(p.Tabela, nomes.join(QStringLiteral(", "))).toUtf8();
    p.Origem = std::move(origem);
    p.Constantes = std::move(constantes);
}

// Appends a value in COPY's text form: backslash, tab, newline and carriage return escaped.
void AcrescentarCopia(std::string &out, const std::string &v)
{
    for (const char c : v) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c; break;
        }
    }
}

// An execution held for a batch: a prepared statement with its values, or (a statement
// without a name) a text sent as it is.
struct Execucao {
    std::shared_ptr<Preparado> P;
    Valores V;
    int Ordem = 0;  // among the executions of the batch
    QString Texto;  // the statement as the caller wrote it, for naming a failure
    // "linha N do lote (values...)": the row of a batch the server refused, for the user.
    QString Onde() const
    {
        QStringList valores;
        for (size_t k = 0; k < V.Texto.size(); ++k)
            valores << (V.Nulo[k] ? QStringLiteral("null") : QString::fromStdString(V.Texto[k]).left(40));
        return QStringLiteral("linha %1 do lote (%2)").arg(Ordem).arg(valores.join(QStringLiteral(", ")));
    }
};

// ---------------------------------------------------------------- cursor

class CursorPg final : public TnCursor {
public:
    MotorPostgres *Motor = nullptr;
    std::shared_ptr<Preparado> P;
    bool Ativo = false; // its rows are still arriving on the connection
    PGresult *Linha = nullptr;
    std::deque<PGresult *> Retidas; // rows read ahead so that another statement could run
    PGresult *Erro = nullptr;       // the failure met while reading ahead
    bool EmBinario = true;          // the format the rows of this execution come in
    bool EmPipeline = false;        // sent in a pipeline (with its preparation): its sync follows the rows
    QString Buffer;
    // Each value on its own, a leading byte order mark kept as a character of the text.
    QStringDecoder Decodificador{QStringDecoder::Utf8,
                                 QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom};

    ~CursorPg() override { Soltar(); }
    int Colunas() const override { return P ? int(P->Colunas.size()) : 0; }
    const TnColunaInfo &Coluna(int i) const override { return P->Colunas[size_t(i)]; }
    bool Proximo() override;
    bool Nulo(int i) override { return PQgetisnull(Linha, 0, i); }
    qint64 Inteiro(int i) override;
    double Real(int i) override;
    QString Texto(int i) override;
    QStringView TextoDireto(int i) override;
    QByteArrayView TextoUtf8(int i) override;
    QDate Data(int i) override;
    QDateTime DataHora(int i) override
    {
        QDate d;
        QTime t;
        return DataHoraPartes(i, d, t) ? QDateTime(d, t) : QDateTime();
    }
    bool DataHoraPartes(int i, QDate &d, QTime &t) override;
    bool Decimal(int i, int escala, qint64 &escalado) override;

    // Reads the rest of the rows into memory: the connection is needed for another statement.
    void Reter();
    // Drops the rows: read and left, or still arriving.
    void Soltar();

private:
    const char *Valor(int i) const { return PQgetvalue(Linha, 0, i); }
    int Tamanho(int i) const { return PQgetlength(Linha, 0, i); }
    Oid Tipo(int i) const { return PQftype(Linha, i); }
    bool Binario() const { return EmBinario; }
    // The rows are over: a pipeline's sync is read and the connection leaves pipeline mode.
    void FimDasLinhas();
};

// ---------------------------------------------------------------- the engine

class MotorPostgres final : public TnMotor {
public:
    MotorPostgres(nDMConexao &con, PGconn *pg) : TnMotor(con), FPg(pg)
    {
        if (!FPg)
            throw Exception(QStringLiteral("A conexão com o PostgreSQL não pôde ser usada pela biblioteca libpq."));
        if (PQlibVersion() < 140000)
            throw Exception(QStringLiteral("A biblioteca libpq desta máquina é antiga demais (versão %1); "
                                           "é preciso a versão 14 ou mais nova.")
                                .arg(PQlibVersion()));
    }
    ~MotorPostgres() override
    {
        FFechando = true;
        if (FAtivo)
            FAtivo->Soltar();
        FLoteAdiado.clear();
        FFormas.clear();
    }

    void Configurar() override
    {
        ExecutarTexto("SET client_min_messages = warning");
        // Quoted literals keep backslashes as plain characters whatever the server default.
        ExecutarTexto("SET standard_conforming_strings = on");
        // Dates read as text come in ISO form.
        ExecutarTexto("SET DateStyle = ISO");
        // Compiling a plan to machine code pays off only for long analytic queries; a long
        // condition (many ranges) would spend minutes compiling, deaf to cancellation.
        ExecutarTexto("SET jit = off");
        const QString &esquema = FCon.Config().Esquema;
        if (!esquema.isEmpty()) {
            if (!EhIdentificador(esquema))
                throw Exception(QStringLiteral("Nome de esquema inválido: \"%1\".").arg(esquema));
            ExecutarTexto("SET search_path TO " + esquema);
        }
    }

    std::unique_ptr<TnComando> Preparar(const QString &sql, const QStringList &nomes, int total) override;

    int ExecutarTexto(const QString &sql) override;
    int ExecutarComandos(const QStringList &comandos, int &falhou) override;
    std::unique_ptr<TnLote> NovoLote() override;

    void Descarregar() override;
    void Descartar() override
    {
        FLoteAdiado.clear();
        FBytesAdiados = 0;
        FOrdemAdiada = 0;
    }

    QString InicioTransacao(bool) const override { return QStringLiteral("BEGIN"); }
    bool AdiarInicio() override
    {
        FInicioPendente = true;
        FCopiadas.clear();
        return true;
    }
    bool EsquecerInicioAdiado() override
    {
        if (!FInicioPendente || !FLoteAdiado.empty())
            return false;
        FInicioPendente = false;
        return true;
    }
    bool ConcluirEConfirmar(TnLote &lote, int &falhou, std::vector<int> &linhas) override;

    QDateTime DataServidor() override
    {
        auto cmd = FCon.Preparar("select cast(localtimestamp as timestamp(3))");
        TnCursor &c = cmd->Abrir();
        c.Proximo();
        return c.DataHora(0);
    }

    // ---- for the commands, cursors and batches of this unit

    PGconn *Pg() const { return FPg; }
    nDMConexao &Con() { return FCon; }
    TnIdasEVoltas &Idas() { return Contagem(FCon); }
    // The exchange just counted, for a trace that is on (RastrearIdasEVoltas).
    void Rastrear(const char *tipo, const QString &sql)
    {
        if (QStringList *r = Rastro(FCon))
            r->append(QLatin1String(tipo) + u' ' + sql.simplified());
    }
    bool EmTransacao() const { return FCon.InTransaction(); }
    bool InicioPendente() const { return FInicioPendente; }

    // The connection is about to be used: a cursor still reading keeps its rows in memory,
    // writes held for a batch are sent (unless `manterLote`: the batch itself is sending),
    // and a transaction still to be opened is opened (unless `manterInicio`: what is sent
    // next opens it, EnviarInicio).
    void Ocupar(CursorPg *quem = nullptr, bool manterLote = false, bool manterInicio = false)
    {
        if (FAtivo && FAtivo != quem) {
            FAtivo->Reter();
            FAtivo = nullptr;
        }
        if (!manterLote && !FLoteAdiado.empty())
            Descarregar();
        if (!manterInicio && FInicioPendente) {
            FInicioPendente = false;
            ExecutarUm(QStringLiteral("BEGIN"));
        }
        LiberarPendentes();
    }
    // In pipeline mode: the transaction still to be opened opens in front of what follows.
    // Answers whether a BEGIN was queued (its result comes first).
    bool EnviarInicio()
    {
        if (!std::exchange(FInicioPendente, false))
            return false;
        PQsendQueryParams(FPg, "BEGIN", 0, nullptr, nullptr, nullptr, nullptr, 0);
        return true;
    }
    // The result of a query sent in a pipeline, and the null that ends it.
    PGresult *ResultadoNoPipeline()
    {
        PGresult *r = PQgetResult(FPg);
        if (r)
            while (PGresult *resto = PQgetResult(FPg))
                PQclear(resto);
        return r;
    }
    // Reads up to the pipeline's sync and leaves pipeline mode.
    void FecharPipeline()
    {
        LerAteSync([](PGresult *) { return false; });
        PQexitPipelineMode(FPg);
    }
    // Sends an execution of `p` with `valores` in one pipeline, with what it needs before it:
    // the transaction's BEGIN still to be sent, and the statement's preparation and
    // description when it is not on the server yet (one round trip for all). With `cursor`
    // the rows are read by it (single-row mode, the sync read when they end); otherwise the
    // result is read here and its changed rows answered.
    int ExecutarComPreparo(Preparado &p, const std::vector<const char *> &valores, CursorPg *cursor);
    void Ativar(CursorPg *c) { FAtivo = c; }
    void Desativar(CursorPg *c)
    {
        if (FAtivo == c)
            FAtivo = nullptr;
    }

    // Prepares `sql` ($n placeholders) on the server and describes it: one round trip.
    std::shared_ptr<Preparado> PrepararNoServidor(const QString &sql, const std::vector<Oid> &tipos);
    // The same, prepared with its first execution (ExecutarComPreparo, or a batch's
    // pipeline): no round trip of its own. `parametros`: its placeholders.
    std::shared_ptr<Preparado> PrepararDepois(const QString &sql, int parametros);
    // The statement is on the server, described by `descricao` (its columns, the format
    // its rows are read in).
    void Descrito(Preparado &p, PGresult *descricao);

    // A statement the server no longer needs; freed with the next statement sent.
    void Liberar(const std::string &nome)
    {
        if (!FFechando)
            FLiberar.push_back(nome);
    }

    // Holds an execution for a batch; sends the batch when it is large.
    void Adiar(const std::shared_ptr<Preparado> &p, const Valores &v)
    {
        FLoteAdiado.push_back({p, v, int(++FOrdemAdiada), QString()});
        FBytesAdiados += 64;
        for (const std::string &t : v.Texto)
            FBytesAdiados += t.size();
        if (FLoteAdiado.size() >= 50000 || FBytesAdiados >= (16u << 20))
            Descarregar();
    }

    // Runs executions in one pipeline: `aoResultado(k, linhas)` per execution in order. A
    // failure throws (after the pipeline is over) with `falhou` set to its position.
    void Pipeline(const std::vector<const Execucao *> &execucoes, int &falhou,
                  const std::function<void(size_t, int)> &aoResultado);

    // Sends `linhas` (executions of one insert COPY can take) by COPY FROM STDIN and answers
    // the rows the server wrote. A failure throws; `falhou`, when given, is set to the
    // position of the row the server names (-1 when it names none).
    qint64 Copiar(const std::vector<const Execucao *> &linhas, int *falhou = nullptr);
    [[noreturn]] void Falhar(PGresult *r, const QString &sql, const QString &onde = QString());

private:
    // Reads the results of what was sent, up to the pipeline's sync: `f(r)` answers whether
    // it keeps `r` (otherwise it is freed). Each statement's results end with a null; two
    // nulls in a row mean the connection is gone, and the sync will never come.
    template <class F> void LerAteSync(F f)
    {
        for (bool nulo = false;;) {
            PGresult *r = PQgetResult(FPg);
            if (!r) {
                if (nulo) {
                    PQexitPipelineMode(FPg);
                    Falhar(nullptr, QString());
                }
                nulo = true;
                continue;
            }
            nulo = false;
            if (PQresultStatus(r) == PGRES_PIPELINE_SYNC) {
                PQclear(r);
                return;
            }
            if (!f(r))
                PQclear(r);
        }
    }

    void LiberarPendentes();
    int ExecutarUm(const QString &comando);
    int ExecutarVarios(const std::vector<QString> &comandos, int &falhou);
    std::shared_ptr<Preparado> Forma(const QString &forma, const QString &tipos, const std::vector<TnLiteralSQL> &literais);
    bool PodeReordenar(const std::vector<std::shared_ptr<Preparado>> &ordem);

    PGconn *FPg;
    bool FFechando = false;
    bool FInicioPendente = false; // the outermost transaction opens with the next exchange
    int FSeq = 0;
    CursorPg *FAtivo = nullptr;
    std::vector<std::string> FLiberar;
    std::deque<Execucao> FLoteAdiado;
    quint64 FOrdemAdiada = 0;
    size_t FBytesAdiados = 0;
    // Statements of text shapes, by shape and literal kinds; the most recently used kept.
    struct FormaGuardada {
        std::shared_ptr<Preparado> P;
        quint64 Uso = 0;
    };
    QHash<QString, FormaGuardada> FFormas;
    quint64 FUso = 0;
    // Tables each table refers to (its foreign keys), asked once.
    QHash<QString, QStringList> FReferencias;
    // Rows the open transaction copied into each table, and the count at which it is next
    // analyzed (AnalisarSeCresceu).
    struct Copiadas {
        qint64 Linhas = 0;
        qint64 Proxima = 0;
    };
    QHash<QString, Copiadas> FCopiadas;
    void AnalisarSeCresceu(const QString &tabela, qint64 linhas);
};

Preparado::~Preparado()
{
    if (Motor)
        Motor->Liberar(Nome);
}

void MotorPostgres::LiberarPendentes()
{
    // Statements freed meanwhile go in one round trip, a few at a time; inside a transaction
    // the server may have given it up, which does not matter to a deallocation, but the
    // failure would: they wait for the transaction's end then.
    if (FLiberar.size() < 32 || EmTransacao())
        return;
    std::string sql;
    for (const std::string &n : FLiberar)
        sql += "DEALLOCATE " + n + ";";
    FLiberar.clear();
    ++Idas().Comandos;
    Rastrear("liberar", QString::fromStdString(sql));
    PQclear(PQexec(FPg, sql.c_str()));
}

[[noreturn]] void MotorPostgres::Falhar(PGresult *r, const QString &sql, const QString &onde)
{
    QString estado, texto;
    if (r) {
        estado = QString::fromUtf8(PQresultErrorField(r, PG_DIAG_SQLSTATE));
        texto = QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY));
        const char *detalhe = PQresultErrorField(r, PG_DIAG_MESSAGE_DETAIL);
        if (detalhe)
            texto += QStringLiteral(" (") + QString::fromUtf8(detalhe) + u')';
        if (texto.isEmpty())
            texto = QString::fromUtf8(PQresultErrorMessage(r));
        PQclear(r);
    }
    if (texto.isEmpty())
        texto = QString::fromUtf8(PQerrorMessage(FPg)).trimmed();
    if (estado.isEmpty() && PQstatus(FPg) != CONNECTION_OK)
        estado = QStringLiteral("08006");
    if (onde.isEmpty())
        FCon.Falha(texto, estado, sql);
    // Where in a batch it failed is part of what the user reads.
    try {
        FCon.Falha(texto, estado, sql);
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(e.Message() + QStringLiteral(" (") + onde + u')', e.Estado(), e.CodigoNativo(),
                             e.TextoMotor(), e.SQL());
    }
}

std::shared_ptr<Preparado> MotorPostgres::PrepararNoServidor(const QString &sql, const std::vector<Oid> &tipos)
{
    auto p = std::make_shared<Preparado>();
    p->Nome = "orvo_" + std::to_string(++FSeq);
    p->SQL = sql;
    const QByteArray u = sql.toUtf8();
    // Prepare and describe in one pipeline: one round trip.
    Ocupar();
    PQenterPipelineMode(FPg);
    PQsendPrepare(FPg, p->Nome.c_str(), u.constData(), int(tipos.size()), tipos.empty() ? nullptr : tipos.data());
    PQsendDescribePrepared(FPg, p->Nome.c_str());
    PQpipelineSync(FPg);
    ++Idas().Comandos;
    Rastrear("preparar", sql);
    PGresult *falha = nullptr, *descricao = nullptr;
    int passo = 0;
    LerAteSync([&](PGresult *r) {
        const ExecStatusType s = PQresultStatus(r);
        ++passo;
        if (s == PGRES_FATAL_ERROR && !falha)
            falha = r;
        else if (s == PGRES_COMMAND_OK && passo == 2 && !falha)
            descricao = r;
        else
            return false;
        return true;
    });
    PQexitPipelineMode(FPg);
    if (falha) {
        PQclear(descricao);
        Falhar(falha, sql);
    }
    Descrito(*p, descricao);
    PQclear(descricao);
    AnalisarCopia(*p);
    return p;
}

std::shared_ptr<Preparado> MotorPostgres::PrepararDepois(const QString &sql, int parametros)
{
    auto p = std::make_shared<Preparado>();
    p->Nome = "orvo_" + std::to_string(++FSeq);
    p->SQL = sql;
    p->Parametros = parametros;
    AnalisarCopia(*p);
    return p;
}

void MotorPostgres::Descrito(Preparado &p, PGresult *descricao)
{
    p.Motor = this;
    p.Parametros = PQnparams(descricao);
    p.Colunas.clear();
    p.Binario = true;
    const int n = PQnfields(descricao);
    for (int i = 0; i < n; ++i) {
        const Oid oid = PQftype(descricao, i);
        TnColunaInfo c;
        c.Nome = QString::fromUtf8(PQfname(descricao, i)).toUpper();
        c.Tipo = TipoDoOid(oid);
        const int mod = PQfmod(descricao, i);
        if (oid == oidNumeric && mod >= 4) {
            c.Precisao = ((mod - 4) >> 16) & 0xffff;
            c.Escala = (mod - 4) & 0xffff;
        } else if ((oid == oidVarchar || oid == oidBpchar) && mod >= 4) {
            c.Tamanho = mod - 4;
        }
        if (!LidoEmBinario(oid))
            p.Binario = false;
        p.Colunas.push_back(c);
    }
}

int MotorPostgres::ExecutarComPreparo(Preparado &p, const std::vector<const char *> &valores, CursorPg *cursor)
{
    const bool preparar = !p.Motor;
    const QByteArray u = preparar ? p.SQL.toUtf8() : QByteArray();
    // Rows of a statement not described yet come as text: their format is chosen before
    // the description arrives.
    const bool binario = !preparar && p.Binario && cursor;
    PQenterPipelineMode(FPg);
    const bool inicio = EnviarInicio();
    if (preparar) {
        PQsendPrepare(FPg, p.Nome.c_str(), u.constData(), 0, nullptr);
        PQsendDescribePrepared(FPg, p.Nome.c_str());
    }
    PQsendQueryPrepared(FPg, p.Nome.c_str(), p.Parametros, valores.data(), nullptr, nullptr, binario ? 1 : 0);
    PQpipelineSync(FPg);
    PGresult *falha = nullptr;
    const auto conferir = [&](PGresult *r, ExecStatusType esperado) {
        if (!r)
            return;
        if (PQresultStatus(r) != esperado && !falha && PQresultStatus(r) != PGRES_PIPELINE_ABORTED)
            falha = r;
        else
            PQclear(r);
    };
    if (inicio)
        conferir(ResultadoNoPipeline(), PGRES_COMMAND_OK);
    if (preparar) {
        conferir(ResultadoNoPipeline(), PGRES_COMMAND_OK);
        PGresult *d = ResultadoNoPipeline();
        if (d && PQresultStatus(d) == PGRES_COMMAND_OK && !falha)
            Descrito(p, d);
        conferir(d, PGRES_COMMAND_OK);
    }
    if (falha) {
        FecharPipeline();
        Falhar(falha, p.SQL);
    }
    if (cursor) {
        if (!PQsetSingleRowMode(FPg)) {
            // Rows that would come all at once are refused rather than half read.
            PQclear(ResultadoNoPipeline());
            FecharPipeline();
            Falhar(nullptr, p.SQL);
        }
        cursor->EmBinario = binario;
        cursor->EmPipeline = true;
        return 0;
    }
    PGresult *r = ResultadoNoPipeline();
    FecharPipeline();
    const ExecStatusType st = PQresultStatus(r);
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        Falhar(r, p.SQL);
    const int n = std::atoi(PQcmdTuples(r));
    PQclear(r);
    return n;
}

// ---------------------------------------------------------------- commands

class ComandoPg final : public TnComando {
public:
    ComandoPg(MotorPostgres &motor, const QString &sql, const QStringList &nomes, int total) : FMotor(motor)
    {
        FSQL = sql;
        FNomes = nomes;
        // Prepared with its first execution; a text of several statements goes to the server
        // at once, which refuses it here, where the caller expects it.
        const QString numerado = NumerarParametros(sql);
        FP = DividirComandos(numerado, tcPostgreSQL).size() > 1 ? motor.PrepararNoServidor(numerado, {})
                                                                : motor.PrepararDepois(numerado, total);
        FValores.Redimensionar(FP->Parametros);
        FCursor.Motor = &motor;
        FCursor.P = FP;
    }
    ~ComandoPg() override { FCursor.Soltar(); }

    int Parametros() const override { return FP->Parametros; }
    void BindNulo(int i) override { Slot(i), FValores.Nulo[size_t(i)] = 1; }
    void BindInteiro(int i, qint64 v) override
    {
        ConferirDestino(i, v);
        char buf[24];
        Texto(i, buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    void BindReal(int i, double v) override
    {
        ExigirRealGravavel(v);
        ConferirDestino(i, v);
        char buf[32];
        Texto(i, buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    void BindTexto(int i, const QString &v) override
    {
        Slot(i);
        ExigirTextoGravavel(v);
        ConferirDestino(i, v);
        // Encoded into the slot's own string: its room stays from row to row of a batch.
        std::string &t = FValores.Texto[size_t(i)];
        QStringEncoder enc(QStringEncoder::Utf8);
        t.resize(size_t(enc.requiredSpace(v.size())));
        t.resize(size_t(enc.appendToBuffer(t.data(), v) - t.data()));
        FValores.Nulo[size_t(i)] = 0;
    }
    void BindData(int i, const QDate &v) override { BindIso(i, v, nullptr); }
    void BindDataHora(int i, const QDateTime &v) override
    {
        if (!v.isValid())
            return BindNulo(i);
        const QTime t = v.time();
        BindIso(i, v.date(), &t);
    }
    void BindIso(int i, const QDate &d, const QTime *t)
    {
        char buf[32];
        const int n = TextoIsoParaVincular(buf, d, t);
        if (n < 0)
            return BindNulo(i);
        Texto(i, buf, buf + n);
    }

    int Executar() override
    {
        FMotor.Con().ExigirTransacaoViva();
        FCursor.Soltar();
        FMotor.Ocupar(nullptr, false, true);
        const std::vector<const char *> valores = FValores.Ponteiros();
        ++FMotor.Idas().Comandos;
        FMotor.Rastrear("executar", FSQL);
        if (!FP->Motor || FMotor.InicioPendente())
            return FMotor.ExecutarComPreparo(*FP, valores, nullptr);
        PGresult *r = PQexecPrepared(FMotor.Pg(), FP->Nome.c_str(), FP->Parametros, valores.data(), nullptr, nullptr, 0);
        const ExecStatusType s = PQresultStatus(r);
        if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
            FMotor.Falhar(r, FSQL);
        const int n = std::atoi(PQcmdTuples(r));
        PQclear(r);
        return n;
    }

    void ExecutarEmLote() override
    {
        FMotor.Con().ExigirTransacaoViva();
        if (!FMotor.EmTransacao()) {
            Executar();
            return;
        }
        FCursor.Soltar();
        FMotor.Adiar(FP, FValores);
    }

    void Fechar() override { FCursor.Soltar(); }

    TnCursor &Abrir() override
    {
        FMotor.Con().ExigirTransacaoViva();
        FCursor.Soltar();
        FMotor.Ocupar(nullptr, false, true);
        const std::vector<const char *> valores = FValores.Ponteiros();
        ++FMotor.Idas().Comandos;
        FMotor.Rastrear("abrir", FSQL);
        if (!FP->Motor || FMotor.InicioPendente()) {
            FMotor.ExecutarComPreparo(*FP, valores, &FCursor);
            FCursor.Ativo = true;
            FMotor.Ativar(&FCursor);
            return FCursor;
        }
        FCursor.EmBinario = FP->Binario;
        if (!PQsendQueryPrepared(FMotor.Pg(), FP->Nome.c_str(), FP->Parametros, valores.data(), nullptr, nullptr,
                                 FP->Binario ? 1 : 0))
            FMotor.Falhar(nullptr, FSQL);
        PQsetSingleRowMode(FMotor.Pg());
        FCursor.Ativo = true;
        FMotor.Ativar(&FCursor);
        return FCursor;
    }

    const std::shared_ptr<Preparado> &P() const { return FP; }
    const Valores &ValoresAtuais() const { return FValores; }

private:
    void Slot(int i) const
    {
        if (i < 0 || i >= FP->Parametros)
            throw Exception(QStringLiteral("Parâmetro %1 inexistente no comando.").arg(i + 1));
    }
    void Texto(int i, const char *ini, const char *fim)
    {
        Slot(i);
        FValores.Texto[size_t(i)].assign(ini, fim);
        FValores.Nulo[size_t(i)] = 0;
    }
    void Texto(int i, const char *t) { Texto(i, t, t + std::strlen(t)); }
    MotorPostgres &FMotor;
    std::shared_ptr<Preparado> FP;
    Valores FValores;
    CursorPg FCursor;
};

std::unique_ptr<TnComando> MotorPostgres::Preparar(const QString &sql, const QStringList &nomes, int total)
{
    return std::make_unique<ComandoPg>(*this, sql, nomes, total);
}

// ---------------------------------------------------------------- cursor reading

bool CursorPg::Proximo()
{
    if (Linha) {
        PQclear(Linha);
        Linha = nullptr;
    }
    if (!Retidas.empty()) {
        Linha = Retidas.front();
        Retidas.pop_front();
        return true;
    }
    if (Erro) {
        PGresult *e = std::exchange(Erro, nullptr);
        Motor->Falhar(e, P->SQL);
    }
    if (!Ativo)
        return false;
    PGresult *r = PQgetResult(Motor->Pg());
    const ExecStatusType s = r ? PQresultStatus(r) : PGRES_COMMAND_OK;
    if (s == PGRES_SINGLE_TUPLE) {
        Linha = r;
        return true;
    }
    // The end of the rows (or a failure): what remains of the result is read off.
    Ativo = false;
    Motor->Desativar(this);
    PGresult *falha = s == PGRES_FATAL_ERROR ? r : nullptr;
    if (!falha)
        PQclear(r);
    while (PGresult *resto = PQgetResult(Motor->Pg()))
        PQclear(resto);
    FimDasLinhas();
    if (falha)
        Motor->Falhar(falha, P->SQL);
    return false;
}

void CursorPg::Reter()
{
    while (Ativo) {
        PGresult *r = PQgetResult(Motor->Pg());
        const ExecStatusType s = r ? PQresultStatus(r) : PGRES_COMMAND_OK;
        if (s == PGRES_SINGLE_TUPLE) {
            Retidas.push_back(r);
            continue;
        }
        Ativo = false;
        if (s == PGRES_FATAL_ERROR)
            Erro = r;
        else
            PQclear(r);
        while (PGresult *resto = PQgetResult(Motor->Pg()))
            PQclear(resto);
        FimDasLinhas();
    }
}

void CursorPg::FimDasLinhas()
{
    if (std::exchange(EmPipeline, false))
        Motor->FecharPipeline();
}

void CursorPg::Soltar()
{
    if (Linha) {
        PQclear(Linha);
        Linha = nullptr;
    }
    for (PGresult *r : Retidas)
        PQclear(r);
    Retidas.clear();
    if (Erro) {
        PQclear(Erro);
        Erro = nullptr;
    }
    if (Ativo) {
        while (PGresult *r = PQgetResult(Motor->Pg()))
            PQclear(r);
        FimDasLinhas();
        Ativo = false;
        Motor->Desativar(this);
    }
}

qint64 CursorPg::Inteiro(int i)
{
    const char *v = Valor(i);
    const int n = Tamanho(i);
    if (Binario()) {
        switch (Tipo(i)) {
        case oidInt2: case oidInt4: case oidInt8: case oidOid: return Be(v, n);
        case oidBool: return v[0] != 0;
        case oidFloat4: case oidFloat8: return qint64(BeReal(v, n));
        case oidNumeric: {
            Numerico num;
            qint64 e = 0;
            return num.Ler(v, n) && num.Escalado(0, e, false) ? e : 0;
        }
        case oidDate: return kJuliano2000 + Be(v, 4);
        default: break;
        }
    }
    if (Tipo(i) == oidBool)
        return v[0] == 't';
    qint64 e = 0;
    std::from_chars(v, v + n, e);
    return e;
}

double CursorPg::Real(int i)
{
    const char *v = Valor(i);
    const int n = Tamanho(i);
    if (Binario()) {
        switch (Tipo(i)) {
        case oidFloat4: case oidFloat8: return BeReal(v, n);
        case oidInt2: case oidInt4: case oidInt8: case oidOid: return double(Be(v, n));
        case oidBool: return v[0] != 0;
        case oidNumeric: return Texto(i).toDouble();
        default: break;
        }
    }
    if (Tipo(i) == oidBool)
        return v[0] == 't';
    return QByteArray::fromRawData(v, n).toDouble();
}

QStringView CursorPg::TextoDireto(int i)
{
    const Oid t = Tipo(i);
    if (Binario() && !(t == oidText || t == oidVarchar || t == oidBpchar || t == oidName))
        return TnCursor::TextoDireto(i);
    // UTF-8 into a buffer kept between values: no string made per value.
    const int n = Tamanho(i);
    if (Buffer.size() < n)
        Buffer.resize(n);
    QChar *fim = Decodificador.appendToBuffer(Buffer.data(), QByteArrayView(Valor(i), n));
    return QStringView(Buffer.constData(), fim - Buffer.constData());
}

QByteArrayView CursorPg::TextoUtf8(int i)
{
    const Oid t = Tipo(i);
    const bool texto = t == oidText || t == oidVarchar || t == oidBpchar || t == oidName;
    if (Nulo(i) || (Binario() && !texto) || t == oidBool)
        return TnCursor::TextoUtf8(i);
    // The connection's client encoding is UTF-8: the value as it arrived.
    return QByteArrayView(Valor(i), Tamanho(i));
}

QString CursorPg::Texto(int i)
{
    const char *v = Valor(i);
    const int n = Tamanho(i);
    if (!Binario()) {
        if (Tipo(i) == oidBool)
            return v[0] == 't' ? QStringLiteral("true") : QStringLiteral("false");
        return QString::fromUtf8(v, n);
    }
    switch (Tipo(i)) {
    case oidInt2: case oidInt4: case oidInt8: case oidOid: return QString::number(Be(v, n));
    case oidBool: return v[0] ? QStringLiteral("true") : QStringLiteral("false");
    case oidFloat4: case oidFloat8: {
        char buf[400];
        const double d = BeReal(v, n);
        const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
        return r.ec == std::errc() ? QString::fromLatin1(buf, int(r.ptr - buf)) : QString::number(d, 'g', 17);
    }
    case oidNumeric: {
        Numerico num;
        return num.Ler(v, n) ? num.Texto() : QString();
    }
    case oidDate: {
        const QDate d = Data(i);
        char buf[32];
        return d.isValid() ? QString::fromLatin1(buf, EscreverDataIso(buf, d, nullptr)) : QStringLiteral("infinity");
    }
    case oidTimestamp: {
        QDate d;
        QTime t;
        char buf[32];
        return DataHoraPartes(i, d, t) ? QString::fromLatin1(buf, EscreverDataIso(buf, d, &t)) : QStringLiteral("infinity");
    }
    default: return QString::fromUtf8(v, n);
    }
}

QDate CursorPg::Data(int i)
{
    const char *v = Valor(i);
    const int n = Tamanho(i);
    if (Binario() && Tipo(i) == oidDate) {
        const qint64 d = Be(v, 4);
        // The server's infinities are the extreme values: no date.
        return d == std::numeric_limits<qint32>::max() || d == std::numeric_limits<qint32>::min()
                   ? QDate()
                   : QDate::fromJulianDay(kJuliano2000 + d);
    }
    if (Binario() && Tipo(i) == oidTimestamp) {
        QDate d;
        QTime t;
        DataHoraPartes(i, d, t);
        return d;
    }
    QDate d;
    QTime t;
    LerDataIso(v, n, d, t);
    return d;
}

bool CursorPg::DataHoraPartes(int i, QDate &d, QTime &t)
{
    const char *v = Valor(i);
    const int n = Tamanho(i);
    if (Binario() && Tipo(i) == oidTimestamp) {
        const qint64 us = Be(v, 8);
        if (us == std::numeric_limits<qint64>::max() || us == std::numeric_limits<qint64>::min())
            return false;
        qint64 dia = us / kUsDia, resto = us % kUsDia;
        if (resto < 0) {
            resto += kUsDia;
            --dia;
        }
        d = QDate::fromJulianDay(kJuliano2000 + dia);
        t = QTime::fromMSecsSinceStartOfDay(int(resto / 1000));
        return true;
    }
    if (Binario() && Tipo(i) == oidDate) {
        d = Data(i);
        t = QTime(0, 0);
        return d.isValid();
    }
    return LerDataIso(v, n, d, t);
}

bool CursorPg::Decimal(int i, int escala, qint64 &escalado)
{
    if (Binario() && Tipo(i) == oidNumeric) {
        Numerico num;
        return num.Ler(Valor(i), Tamanho(i)) && num.Escalado(escala, escalado);
    }
    if (Binario() && (Tipo(i) == oidInt2 || Tipo(i) == oidInt4 || Tipo(i) == oidInt8)) {
        const __int128 v = __int128(Be(Valor(i), Tamanho(i))) * nDecimal::Potencia10(escala);
        if (v > std::numeric_limits<qint64>::max() || v < std::numeric_limits<qint64>::min())
            return false;
        escalado = qint64(v);
        return true;
    }
    if (!Binario() && Tipo(i) != oidFloat4 && Tipo(i) != oidFloat8)
        return nDecimal::DeTexto(QString::fromLatin1(Valor(i), Tamanho(i)), escala, escalado);
    return TnCursor::Decimal(i, escala, escalado);
}

// ---------------------------------------------------------------- pipelines and batches

void MotorPostgres::Pipeline(const std::vector<const Execucao *> &execucoes, int &falhou,
                             const std::function<void(size_t, int)> &aoResultado)
{
    falhou = -1;
    if (execucoes.empty())
        return;
    PGresult *erro = nullptr;
    size_t indiceErro = 0;
    // In parts: what one part sends and answers fits the connection's buffers, so sending
    // all before reading cannot stall.
    constexpr size_t kParte = 1000;
    PQenterPipelineMode(FPg);
    // Ahead of the first part: the transaction's BEGIN still to be sent, then the statements
    // not on the server yet, prepared and described (each with the first execution that
    // uses it, for naming a failure).
    struct Preliminar {
        Preparado *P = nullptr; // null: the BEGIN
        size_t Execucao = 0;
        bool Descricao = false;
    };
    std::vector<Preliminar> preliminares;
    if (EnviarInicio())
        preliminares.push_back({});
    std::vector<QByteArray> textos;
    for (size_t k = 0; k < execucoes.size(); ++k) {
        Preparado *p = execucoes[k]->P.get();
        if (p->Nome.empty() || p->Motor
            || std::any_of(preliminares.begin(), preliminares.end(), [p](const Preliminar &x) { return x.P == p; }))
            continue;
        textos.push_back(p->SQL.toUtf8());
        PQsendPrepare(FPg, p->Nome.c_str(), textos.back().constData(), 0, nullptr);
        PQsendDescribePrepared(FPg, p->Nome.c_str());
        preliminares.push_back({p, k, false});
        preliminares.push_back({p, k, true});
    }
    size_t preliminar = 0;
    for (size_t ini = 0; ini < execucoes.size() && !erro; ini += kParte) {
        const size_t fim = std::min(execucoes.size(), ini + kParte);
        for (size_t k = ini; k < fim; ++k) {
            const Execucao &e = *execucoes[k];
            if (e.P->Nome.empty()) {
                PQsendQueryParams(FPg, e.Texto.toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
                continue;
            }
            const std::vector<const char *> valores = e.V.Ponteiros();
            PQsendQueryPrepared(FPg, e.P->Nome.c_str(), e.P->Parametros, valores.data(), nullptr, nullptr, 0);
        }
        PQpipelineSync(FPg);
        ++Idas().Sincronizacoes;
        if (Rastro(FCon)) {
            QStringList partes;
            for (size_t k = ini; k < fim; ++k)
                partes << (execucoes[k]->P->Nome.empty() ? execucoes[k]->Texto : execucoes[k]->P->SQL).simplified();
            Rastrear("pipeline", partes.join(QStringLiteral(" | ")));
        }
        size_t k = ini;
        LerAteSync([&](PGresult *r) {
            const ExecStatusType s = PQresultStatus(r);
            if (preliminar < preliminares.size()) {
                const Preliminar &x = preliminares[preliminar++];
                if (s == PGRES_FATAL_ERROR && !erro) {
                    erro = r;
                    indiceErro = x.Execucao;
                    return true;
                }
                if (x.Descricao && s == PGRES_COMMAND_OK)
                    Descrito(*x.P, r);
                return false;
            }
            const size_t esta = k++;
            if (s == PGRES_FATAL_ERROR && !erro) {
                erro = r;
                indiceErro = esta;
                return true;
            }
            if (s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK)
                aoResultado(esta, std::atoi(PQcmdTuples(r)));
            return false;
        });
    }
    PQexitPipelineMode(FPg);
    if (erro) {
        falhou = int(indiceErro);
        const Execucao &e = *execucoes[indiceErro];
        Falhar(erro, e.Texto.isEmpty() ? e.P->SQL : e.Texto);
    }
}

// A batch of executions of commands: queued with their values, sent in one pipeline.
class LotePg final : public TnLote {
public:
    explicit LotePg(MotorPostgres &motor) : FMotor(motor) {}
    // The next Concluir sends the commit of the open transaction behind the executions.
    bool Confirmar = false;
    void Adicionar(TnComando &cmd) override
    {
        auto &c = dynamic_cast<ComandoPg &>(cmd);
        FExecucoes.push_back({c.P(), c.ValoresAtuais(), int(FExecucoes.size()) + 1, QString()});
    }
    std::vector<int> Concluir(int &falhou) override
    {
        std::vector<const Execucao *> lista;
        for (const Execucao &e : FExecucoes)
            lista.push_back(&e);
        const size_t n = lista.size();
        std::vector<int> linhas(n, 0);
        Execucao commit;
        if (std::exchange(Confirmar, false)) {
            commit.P = std::make_shared<Preparado>();
            commit.Texto = QStringLiteral("COMMIT");
            lista.push_back(&commit);
        }
        const auto limpar = qScopeGuard([this] { FExecucoes.clear(); });
        FMotor.Ocupar(nullptr, false, true);
        // New rows of one plain insert (a register's or a process's batch of new rows) go by
        // COPY, several times cheaper on the server than as many executions. Each writes its
        // row or the whole COPY fails naming it; a count short of the rows (a trigger that
        // dropped one) is refused rather than taken as every row written.
        if (!commit.P && n >= kMinimoCopia && lista.front()->P->Copiavel &&
            std::all_of(lista.begin(), lista.end(), [&](const Execucao *e) { return e->P == lista.front()->P; })) {
            falhou = -1;
            const qint64 gravadas = FMotor.Copiar(lista, &falhou);
            if (gravadas != qint64(n)) {
                falhou = -1;
                throw EDatabaseError(QStringLiteral("O banco de dados gravou %1 das %2 linhas novas do lote: nada foi "
                                                    "aceito.")
                                         .arg(gravadas)
                                         .arg(n),
                                     QString(), QString(), QString(), QString::fromUtf8(lista.front()->P->CopiaSQL));
            }
            std::fill(linhas.begin(), linhas.end(), 1);
            return linhas;
        }
        try {
            FMotor.Pipeline(lista, falhou, [&](size_t k, int m) {
                if (k < n)
                    linhas[k] = m;
            });
        } catch (EDatabaseError &e) {
            if (falhou < 0 || size_t(falhou) >= n) {
                falhou = -1; // the commit itself
                throw;
            }
            throw EDatabaseError(e.Message() + QStringLiteral(" (") + lista[size_t(falhou)]->Onde() + u')', e.Estado(),
                                 e.CodigoNativo(), e.TextoMotor(), e.SQL());
        }
        return linhas;
    }

private:
    MotorPostgres &FMotor;
    std::deque<Execucao> FExecucoes;
};

std::unique_ptr<TnLote> MotorPostgres::NovoLote() { return std::make_unique<LotePg>(*this); }

bool MotorPostgres::ConcluirEConfirmar(TnLote &lote, int &falhou, std::vector<int> &linhas)
{
    auto *l = dynamic_cast<LotePg *>(&lote);
    if (!l || !FLoteAdiado.empty())
        return false;
    l->Confirmar = true;
    linhas = l->Concluir(falhou);
    return true;
}

bool MotorPostgres::PodeReordenar(const std::vector<std::shared_ptr<Preparado>> &ordem)
{
    // Rows of one statement go together, statements in the order they first came: sound
    // unless a table of an earlier statement refers to the table of a later one (its rows
    // could need rows the later statement writes) or two statements write one table.
    QStringList tabelas;
    for (const auto &p : ordem) {
        const QString t = p->Tabela.toLower().section(u'.', -1);
        if (tabelas.contains(t))
            return false;
        tabelas << t;
        if (!FReferencias.contains(t)) {
            QStringList refs;
            auto cmd = FCon.Preparar(QStringLiteral("select lower(confrelid::regclass::text) from pg_constraint "
                                                    "where contype = 'f' and conrelid = cast(? as regclass)"));
            cmd->BindTexto(0, t);
            for (TnCursor &c = cmd->Abrir(); c.Proximo();)
                refs << c.Texto(0).section(u'.', -1);
            FReferencias.insert(t, refs);
        }
    }
    for (qsizetype a = 0; a < tabelas.size(); ++a)
        for (qsizetype b = a + 1; b < tabelas.size(); ++b)
            if (FReferencias.value(tabelas[a]).contains(tabelas[b]))
                return false;
    return true;
}

qint64 MotorPostgres::Copiar(const std::vector<const Execucao *> &linhas, int *falhou)
{
    const Preparado &p = *linhas.front()->P;
    if (std::exchange(FInicioPendente, false))
        ExecutarUm(QStringLiteral("BEGIN"));
    ++Idas().Copias;
    Rastrear("copiar", QString::fromUtf8(p.CopiaSQL));
    PGresult *r = PQexec(FPg, p.CopiaSQL.constData());
    if (PQresultStatus(r) != PGRES_COPY_IN)
        Falhar(r, QString::fromUtf8(p.CopiaSQL));
    PQclear(r);
    std::string buf;
    buf.reserve(1 << 20);
    for (const Execucao *e : linhas) {
        for (size_t c = 0; c < p.Origem.size(); ++c) {
            if (c)
                buf += '\t';
            const int k = p.Origem[c];
            if (k < 0)
                buf.append(p.Constantes[c].constData(), size_t(p.Constantes[c].size()));
            else if (e->V.Nulo[size_t(k)])
                buf += "\\N";
            else
                AcrescentarCopia(buf, e->V.Texto[size_t(k)]);
        }
        buf += '\n';
        if (buf.size() >= (1u << 20) - 4096) {
            PQputCopyData(FPg, buf.data(), int(buf.size()));
            buf.clear();
        }
    }
    if (!buf.empty())
        PQputCopyData(FPg, buf.data(), int(buf.size()));
    PQputCopyEnd(FPg, nullptr);
    PGresult *falha = nullptr;
    qint64 gravadas = 0;
    while ((r = PQgetResult(FPg))) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK && !falha) {
            falha = r;
        } else {
            if (PQresultStatus(r) == PGRES_COMMAND_OK)
                gravadas += QByteArray(PQcmdTuples(r)).toLongLong();
            PQclear(r);
        }
    }
    if (!falha) {
        AnalisarSeCresceu(p.Tabela, gravadas);
        return gravadas;
    }
    // "COPY table, line N": the row of the batch that failed (a trigger's function names a
    // line of its own in the same context, before it).
    const QString contexto = QString::fromUtf8(PQresultErrorField(falha, PG_DIAG_CONTEXT));
    static const QRegularExpression reLinha(QStringLiteral("COPY [^,\\n]+, line (\\d+)"));
    const int n = reLinha.match(contexto).captured(1).toInt();
    const bool nomeada = n >= 1 && n <= int(linhas.size());
    if (falhou)
        *falhou = nomeada ? n - 1 : -1;
    Falhar(falha, p.SQL, nomeada ? linhas[size_t(n - 1)]->Onde() : QString());
}

// A table a transaction fills by the thousands can have statistics that say it is empty:
// autovacuum analyzes it once the changes of an earlier transaction commit, while this one's
// rows are not yet visible to it, and the plans of the foreign-key checks of the rows that
// follow (and of statements by key) then read the table by any index that takes the
// company, or from the start, once per row. The transaction analyzes the table itself
// (counting its own rows) when its copied rows reach 10,000 and each time they double: an
// analysis of the open transaction also makes autovacuum wait for new changes before it
// analyzes the table again. The analysis holds its lock to the transaction's end, and two
// analyses of one table wait for each other: one that would wait (another transaction
// analyzed the table and is still open), or that the user may not make, is left out inside
// a savepoint of its own, so that concurrent loads neither wait nor deadlock.
void MotorPostgres::AnalisarSeCresceu(const QString &tabela, qint64 linhas)
{
    constexpr qint64 kPrimeiraAnalise = 10000;
    if (!EmTransacao() || linhas <= 0)
        return;
    Copiadas &c = FCopiadas[tabela];
    if (c.Proxima == 0)
        c.Proxima = kPrimeiraAnalise;
    c.Linhas += linhas;
    if (c.Linhas < c.Proxima)
        return;
    c.Proxima = 2 * c.Linhas;
    Ocupar();
    const QString analise = QStringLiteral("SAVEPOINT orvo_analise; LOCK TABLE %1 IN SHARE UPDATE EXCLUSIVE MODE "
                                           "NOWAIT; ANALYZE %1; RELEASE SAVEPOINT orvo_analise")
                                .arg(tabela);
    ++Idas().Comandos;
    Rastrear("texto", analise);
    PGresult *r = PQexec(FPg, analise.toUtf8().constData());
    const bool feita = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    if (!feita)
        ExecutarUm(QStringLiteral("ROLLBACK TO SAVEPOINT orvo_analise; RELEASE SAVEPOINT orvo_analise"));
}

void MotorPostgres::Descarregar()
{
    if (FLoteAdiado.empty())
        return;
    std::deque<Execucao> lote;
    lote.swap(FLoteAdiado);
    FBytesAdiados = 0;
    FOrdemAdiada = 0; // the next batch counts its rows from one
    Ocupar(nullptr, true, true);
    // Statements in the order they first came, and whether their rows can go together.
    std::vector<std::shared_ptr<Preparado>> ordem;
    bool copiaveis = true;
    for (const Execucao &e : lote) {
        if (std::find(ordem.begin(), ordem.end(), e.P) == ordem.end()) {
            ordem.push_back(e.P);
            copiaveis = copiaveis && e.P->Copiavel;
        }
    }
    // Runs of one statement (in the order given), or all rows of each statement together.
    std::vector<std::vector<const Execucao *>> grupos;
    if (copiaveis && PodeReordenar(ordem)) {
        for (const auto &p : ordem) {
            grupos.emplace_back();
            for (const Execucao &e : lote)
                if (e.P == p)
                    grupos.back().push_back(&e);
        }
    } else {
        for (const Execucao &e : lote) {
            if (grupos.empty() || grupos.back().front()->P != e.P)
                grupos.emplace_back();
            grupos.back().push_back(&e);
        }
    }
    // Runs too short for COPY go together in one pipeline, in their order: statements of
    // several shapes interleaved (a delete before each insert) cost a sync per part of the
    // pipeline, not one per run.
    std::vector<const Execucao *> encadeadas;
    const auto enviarEncadeadas = [&] {
        if (encadeadas.empty())
            return;
        int falhou = -1;
        try {
            Pipeline(encadeadas, falhou, [](size_t, int) {});
        } catch (EDatabaseError &e) {
            throw EDatabaseError(e.Message() + QStringLiteral(" (") + encadeadas[size_t(falhou)]->Onde() + u')',
                                 e.Estado(), e.CodigoNativo(), e.TextoMotor(), e.SQL());
        }
        encadeadas.clear();
    };
    for (const auto &g : grupos) {
        if (g.front()->P->Copiavel && g.size() >= kMinimoCopia) {
            enviarEncadeadas();
            Copiar(g);
        } else {
            encadeadas.insert(encadeadas.end(), g.begin(), g.end());
        }
    }
    enviarEncadeadas();
}

// ---------------------------------------------------------------- texts

std::shared_ptr<Preparado> MotorPostgres::Forma(const QString &forma, const QString &tipos,
                                                const std::vector<TnLiteralSQL> &literais)
{
    const QString chave = forma + u'\x1' + tipos;
    const auto it = FFormas.find(chave);
    if (it != FFormas.end()) {
        it->Uso = ++FUso;
        return it->P;
    }
    if (FFormas.size() >= 64) {
        auto velha = FFormas.begin();
        for (auto f = FFormas.begin(); f != FFormas.end(); ++f)
            if (f->Uso < velha->Uso)
                velha = f;
        FFormas.erase(velha);
    }
    // Each literal keeps the type the server gives such a literal: integers int4 or int8,
    // numbers with a point numeric, texts unknown until their place decides.
    std::vector<Oid> oids;
    for (size_t k = 0; k < literais.size(); ++k) {
        const TnLiteralSQL &l = literais[k];
        if (l.Tipo == TnLiteralSQL::Inteiro)
            oids.push_back(l.I >= std::numeric_limits<qint32>::min() && l.I <= std::numeric_limits<qint32>::max() ? oidInt4
                                                                                                             : oidInt8);
        else if (l.Tipo == TnLiteralSQL::Decimal)
            oids.push_back(oidNumeric);
        else
            oids.push_back(0);
    }
    auto p = PrepararNoServidor(forma, oids);
    FFormas.insert(chave, FormaGuardada{p, ++FUso});
    return p;
}

int MotorPostgres::ExecutarUm(const QString &comando)
{
    Ocupar();
    ++Idas().Comandos;
    Rastrear("texto", comando);
    PGresult *r = PQexec(FPg, comando.toUtf8().constData());
    const ExecStatusType s = PQresultStatus(r);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK && s != PGRES_EMPTY_QUERY)
        Falhar(r, comando);
    const int n = std::atoi(PQcmdTuples(r));
    PQclear(r);
    return n;
}

int MotorPostgres::ExecutarVarios(const std::vector<QString> &comandos, int &falhou)
{
    // Statements that write rows run by their shape (prepared once), the others as written;
    // all in one pipeline.
    Ocupar(nullptr, false, true);
    std::deque<Execucao> execucoes;
    std::vector<const Execucao *> lista;
    const auto semNome = std::make_shared<Preparado>();
    // Shapes are prepared before the pipeline runs: a text that changes the schema (a table
    // or function its later statements use) runs every statement as written, in order.
    bool esquema = false, colunas = false;
    for (const QString &c : comandos) {
        qsizetype i = 0;
        if (!EhComandoDeDados(PrimeiraPalavra(c, i, tcPostgreSQL))) {
            esquema = true;
            colunas = colunas || PodeMudarColunas(c);
        }
    }
    if (esquema) {
        EsquecerGuardados(colunas);
        FFormas.clear();
    }
    for (const QString &c : comandos) {
        QString forma, tipos;
        std::vector<TnLiteralSQL> literais;
        Execucao e;
        e.Texto = c;
        if (!esquema && FormaDoComando(c, tcPostgreSQL, forma, literais, tipos)) {
            e.P = Forma(forma, tipos, literais);
            e.V.Redimensionar(int(literais.size()));
            for (size_t k = 0; k < literais.size(); ++k) {
                e.V.Nulo[k] = 0;
                e.V.Texto[k] = literais[k].Tipo == TnLiteralSQL::Inteiro ? std::to_string(literais[k].I)
                                                                          : literais[k].S.toStdString();
            }
        } else {
            e.P = semNome;
        }
        e.Ordem = int(execucoes.size());
        execucoes.push_back(std::move(e));
        lista.push_back(&execucoes.back());
    }
    int ultima = 0;
    Pipeline(lista, falhou, [&](size_t, int n) { ultima = n; });
    return ultima;
}

int MotorPostgres::ExecutarTexto(const QString &sql)
{
    const std::vector<TnTrechoComando> partes = DividirComandos(sql, tcPostgreSQL);
    if (partes.empty())
        return 0;
    const auto texto = [&](const TnTrechoComando &t) { return sql.mid(t.Inicio, t.Fim - t.Inicio); };
    if (!EhControleDeTransacao(partes.front().Palavra))
        FCon.ExigirTransacaoViva();
    bool controle = false;
    for (const TnTrechoComando &t : partes) {
        controle = controle || EhControleDeTransacao(t.Palavra);
        if (!EhComandoDeDados(t.Palavra) && !EhControleDeTransacao(t.Palavra)) {
            EsquecerGuardados(PodeMudarColunas(texto(t)));
            FFormas.clear();
        }
    }
    if (partes.size() == 1 || controle) {
        // One statement, or a text that manages the transaction itself: each as written.
        int n = 0;
        for (const TnTrechoComando &t : partes)
            n = ExecutarUm(texto(t));
        return n;
    }
    std::vector<QString> comandos;
    for (const TnTrechoComando &t : partes)
        comandos.push_back(texto(t));
    std::optional<TnTransacao> propria;
    if (!FCon.InTransaction())
        propria.emplace(kTransacaoDoTexto, FCon);
    int falhou = -1;
    const int n = ExecutarVarios(comandos, falhou);
    if (propria)
        propria->Commit();
    return n;
}

int MotorPostgres::ExecutarComandos(const QStringList &comandos, int &falhou)
{
    FCon.ExigirTransacaoViva();
    // The statements of each entry, and the entry each came from.
    std::vector<QString> todos;
    std::vector<int> entrada;
    for (qsizetype k = 0; k < comandos.size(); ++k)
        for (const TnTrechoComando &t : DividirComandos(comandos[k], tcPostgreSQL)) {
            todos.push_back(comandos[k].mid(t.Inicio, t.Fim - t.Inicio));
            entrada.push_back(int(k));
        }
    int falha = -1;
    try {
        return ExecutarVarios(todos, falha);
    } catch (...) {
        falhou = falha >= 0 && falha < int(entrada.size()) ? entrada[size_t(falha)] : -1;
        throw;
    }
}

PGconn *ConexaoDe(nDMConexao &con)
{
    const QVariant v = con.BancoQt().driver()->handle();
    // Qt names the handle by the structure behind the typedef.
    if (v.isValid() && (qstrcmp(v.typeName(), "PGconn*") == 0 || qstrcmp(v.typeName(), "pg_conn*") == 0))
        return *static_cast<PGconn *const *>(v.constData());
    return nullptr;
}

} // namespace

std::unique_ptr<TnMotor> CriarMotorPostgres(nDMConexao &con)
{
    return std::make_unique<MotorPostgres>(con, ConexaoDe(con));
}

int ClassificarErroPostgres(const QString &estado, const QString &texto)
{
    if (estado == "23505") {
        // Both key kinds report 23505; the constraint's name tells them apart.
        static const QRegularExpression re(QStringLiteral("constraint \"([^\"]+)\""));
        const QString nome = re.match(texto).captured(1).toLower();
        return nome.startsWith("pk_") || nome.endsWith("_pkey") ? ebChavePrimaria : ebUnico;
    }
    if (estado == "23503") return ebChaveEstrangeira;
    if (estado == "23502") return ebNaoNulo;
    if (estado == "23514") return ebChecagem;
    if (estado == "40P01" || estado == "55P03" || estado == "40001") return ebBloqueio;
    if (estado.startsWith("08") || estado == "57P01") return ebConexao;
    if (estado.startsWith("42")) return ebSintaxe;
    return ebOutro;
}
