// The embedded engine: SQLite driven through its C interface on the handle that Qt's QSQLITE
// driver opened (typed reads, prepared statements, no per-value conversions).
#include "Motor.h"

#include "DataIso.h"
#include "Decimal.h"
#include "TextoSQL.h"

#include <QHash>
#include <QScopeGuard>
#include <algorithm>

#include <QRegularExpression>
#include <QSqlDriver>
#include <QStringEncoder>
#include <sqlite3.h>

#include <charconv>
#include <limits>
#include <cstdlib>
#include <memory>
#include <string>
#include <optional>
#include <vector>

namespace {




// Reports the failure of the last call on `db`. SQLite rolls a whole transaction back by
// itself on some errors (a trigger's RAISE(ROLLBACK), a full disk, I/O errors, a busy
// database): when the transaction is gone the connection is told, and nothing may be
// written on as if it were still open.
[[noreturn]] void FalharSQLite(nDMConexao &con, sqlite3 *db, const QString &sql, sqlite3_stmt *reiniciar = nullptr)
{
    const int rc = sqlite3_extended_errcode(db);
    const QString texto = QString::fromUtf8(sqlite3_errmsg(db));
    if (reiniciar)
        sqlite3_reset(reiniciar);
    if (con.InTransaction() && sqlite3_get_autocommit(db))
        con.MarcarTransacaoPerdida();
    con.Falha(texto, QString::number(rc), sql);
}

// ---- orvo_nas_faixas(value, 'a-b;c-d;...'): whether a number lies in one of the ranges
// (in order, without overlaps, as FilterInterval writes them). The ranges are read once per
// statement and searched by halves, so a filter of thousands of ranges costs little to
// prepare and a few comparisons per row. Numbers compare as SQLite compares the literals
// they were written as: integers exactly, others as doubles.

struct LimiteFaixa {
    bool Inteiro = true;
    qint64 I = 0;
    double D = 0;
};

LimiteFaixa LerLimite(const char *ini, const char *fim)
{
    LimiteFaixa l;
    const auto r = std::from_chars(ini, fim, l.I);
    if (r.ec != std::errc() || r.ptr != fim) {
        l.Inteiro = false;
        l.D = std::strtod(std::string(ini, fim).c_str(), nullptr);
    }
    return l;
}

// Sign of (i - r), exact (as SQLite compares an integer with a double).
int CompararInteiroReal(qint64 i, double r)
{
    if (r < -9223372036854775808.0)
        return 1;
    if (r >= 9223372036854775808.0)
        return -1;
    const qint64 y = static_cast<qint64>(r);
    if (i != y)
        return i < y ? -1 : 1;
    const double s = static_cast<double>(y);
    return s < r ? -1 : (s > r ? 1 : 0);
}

int Comparar(sqlite3_value *v, const LimiteFaixa &l)
{
    if (sqlite3_value_numeric_type(v) == SQLITE_INTEGER) {
        const qint64 i = sqlite3_value_int64(v);
        return l.Inteiro ? (i < l.I ? -1 : (i > l.I ? 1 : 0)) : CompararInteiroReal(i, l.D);
    }
    const double d = sqlite3_value_double(v);
    if (l.Inteiro)
        return -CompararInteiroReal(l.I, d);
    return d < l.D ? -1 : (d > l.D ? 1 : 0);
}

using Faixas = std::vector<std::pair<LimiteFaixa, LimiteFaixa>>;

void NasFaixas(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    if (sqlite3_value_type(v) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto *faixas = static_cast<Faixas *>(sqlite3_get_auxdata(ctx, 1));
    if (!faixas) {
        auto lidas = std::make_unique<Faixas>();
        const char *p = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
        const char *fimTexto = p + sqlite3_value_bytes(argv[1]);
        while (p < fimTexto) {
            const char *fim = std::find(p, fimTexto, ';');
            const char *traco = std::find(p, fim, '-');
            if (traco == fim) {
                sqlite3_result_error(ctx, "faixa sem fim em orvo_nas_faixas", -1);
                return;
            }
            lidas->emplace_back(LerLimite(p, traco), LerLimite(traco + 1, fim));
            p = fim + 1;
        }
        faixas = lidas.get();
        sqlite3_set_auxdata(ctx, 1, lidas.release(), [](void *x) { delete static_cast<Faixas *>(x); });
        // The engine may have freed it at once (it could not keep it): read again.
        if (sqlite3_get_auxdata(ctx, 1) != faixas) {
            sqlite3_result_error(ctx, "faixas de orvo_nas_faixas não guardadas", -1);
            return;
        }
    }
    // A text that is no number is no value between numbers, as in "between".
    const int tipo = sqlite3_value_numeric_type(v);
    if (tipo != SQLITE_INTEGER && tipo != SQLITE_FLOAT) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    // The last range that starts at or before the value.
    const auto depois = std::partition_point(faixas->begin(), faixas->end(),
                                             [v](const auto &f) { return Comparar(v, f.first) >= 0; });
    sqlite3_result_int(ctx, depois != faixas->begin() && Comparar(v, std::prev(depois)->second) <= 0);
}

// ---- orvo_produto(a, b, decimals): the exact product of two numbers (nDecimal::Produto),
// rounded half away from zero and scaled by 10^decimals, as an integer; null when a factor
// is null. Lets a statement total quantity x unit cost exactly, in cents.
void ProdutoExato(sqlite3_context *ctx, int, sqlite3_value **args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int decimais = sqlite3_value_int(args[2]);
    qint64 escalado = 0;
    if (decimais < 0 || decimais > 9
        || !nDecimal::Produto(sqlite3_value_double(args[0]), sqlite3_value_double(args[1]), decimais, escalado)) {
        sqlite3_result_error(ctx, "produto fora do alcance em orvo_produto", -1);
        return;
    }
    sqlite3_result_int64(ctx, escalado);
}

class CursorSQLite final : public TnCursor {
public:
    nDMConexao *con = nullptr;
    sqlite3_stmt *st = nullptr;
    std::vector<TnColunaInfo> cols;
    bool pendente = false; // the first row was stepped to learn expression types
    bool fim = false;

    int Colunas() const override { return int(cols.size()); }
    const TnColunaInfo &Coluna(int i) const override { return cols[size_t(i)]; }
    bool Proximo() override;
    bool Nulo(int i) override { return sqlite3_column_type(st, i) == SQLITE_NULL; }
    // A real value comes truncated towards zero (clamped to the 64-bit range by SQLite).
    qint64 Inteiro(int i) override { return sqlite3_column_int64(st, i); }
    double Real(int i) override { return sqlite3_column_double(st, i); }
    QString Texto(int i) override
    {
        if (sqlite3_column_type(st, i) == SQLITE_FLOAT) {
            // Shortest round-trip decimal form, never an exponent: room for the largest
            // double written out in full (309 digits) and the smallest (about 330).
            char buf[400];
            const double v = sqlite3_column_double(st, i);
            const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
            return r.ec == std::errc() ? QString::fromLatin1(buf, int(r.ptr - buf)) : QString::number(v, 'g', 17);
        }
        return TextoDireto(i).toString();
    }
    QStringView TextoDireto(int i) override
    {
        if (sqlite3_column_type(st, i) == SQLITE_FLOAT)
            return TnCursor::TextoDireto(i);
        const auto *p = reinterpret_cast<const char16_t *>(sqlite3_column_text16(st, i));
        return p ? QStringView(p, sqlite3_column_bytes16(st, i) / 2) : QStringView();
    }
    bool TextosEmUtf8() const override { return true; }
    QByteArrayView TextoUtf8(int i) override
    {
        if (sqlite3_column_type(st, i) == SQLITE_FLOAT)
            return TnCursor::TextoUtf8(i);
        const char *p = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
        return p ? QByteArrayView(p, sqlite3_column_bytes(st, i)) : QByteArrayView();
    }
    QDate Data(int i) override
    {
        QDate d; QTime t;
        const char *p = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
        if (p) LerDataIso(p, sqlite3_column_bytes(st, i), d, t);
        return d;
    }
    QDateTime DataHora(int i) override
    {
        QDate d; QTime t;
        return DataHoraPartes(i, d, t) ? QDateTime(d, t) : QDateTime();
    }
    bool DataHoraPartes(int i, QDate &d, QTime &t) override
    {
        const char *p = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
        return p && LerDataIso(p, sqlite3_column_bytes(st, i), d, t);
    }
};

class ComandoSQLite final : public TnComando {
public:
    ComandoSQLite(nDMConexao &con, sqlite3 *db, const QString &sql, const QStringList &nomes) : FCon(con), FDb(db)
    {
        FSQL = sql;
        FNomes = nomes;
        const QByteArray u = sql.toUtf8();
        const char *resto = nullptr;
        if (sqlite3_prepare_v3(db, u.constData(), int(u.size()), SQLITE_PREPARE_PERSISTENT, &FSt, &resto) != SQLITE_OK)
            Falhar();
        if (!FSt)
            FCon.Falha(QStringLiteral("comando vazio"), QString::number(SQLITE_MISUSE), sql);
        // One statement only: what follows would be silently left out.
        const QString depois = QString::fromUtf8(resto);
        qsizetype k = 0;
        for (PrimeiraPalavra(depois, k, tcSQLite); k < depois.size() && depois[k] == u';'; PrimeiraPalavra(depois, ++k, tcSQLite)) {
        }
        if (k < depois.size()) {
            sqlite3_finalize(FSt);
            FSt = nullptr;
            throw EDatabaseError(QStringLiteral("O comando preparado tem mais de um comando: \"%1\". "
                                                "Um texto de vários comandos é executado por inteiro, sem parâmetros.")
                                     .arg(depois.mid(k).left(60).trimmed()),
                                 QString(), QString::number(SQLITE_MISUSE), QString(), sql);
        }
        FCursor.st = FSt;
        FCursor.con = &con;
    }
    ~ComandoSQLite() override { sqlite3_finalize(FSt); }

    int Parametros() const override { return sqlite3_bind_parameter_count(FSt); }
    void BindNulo(int i) override { Checar(sqlite3_bind_null(Livre(), i + 1)); }
    void BindInteiro(int i, qint64 v) override
    {
        ConferirDestino(i, v);
        Checar(sqlite3_bind_int64(Livre(), i + 1, v));
    }
    void BindReal(int i, double v) override
    {
        ExigirRealGravavel(v);
        ConferirDestino(i, v);
        Checar(sqlite3_bind_double(Livre(), i + 1, v));
    }
    // Texts travel as UTF-8, the database's own encoding, so SQLite stores them without a
    // conversion of its own. Each is encoded into its parameter's own buffer, kept with the
    // command and bound without a copy: an import binds a dozen texts per row, and a copy
    // into memory of SQLite's own (an allocation under its lock) for each cost more than the
    // encoding.
    void BindTexto(int i, const QString &v) override
    {
        ExigirTextoGravavel(v);
        ConferirDestino(i, v);
        sqlite3_stmt *st = Livre();
        QStringEncoder enc(QStringEncoder::Utf8);
        Buffer &b = BufferDe(i);
        b.Chave = kSemChave;
        const qsizetype espaco = std::max<qsizetype>(enc.requiredSpace(v.size()), 1);
        if (espaco > b.Capacidade) {
            // A new buffer takes the text before the old one goes: a failed bind leaves the
            // parameter on a buffer still alive.
            auto novo = std::make_unique<char[]>(size_t(espaco));
            const int n = int(enc.appendToBuffer(novo.get(), v) - novo.get());
            Checar(sqlite3_bind_text(st, i + 1, novo.get(), n, SQLITE_STATIC));
            b.Dados = std::move(novo);
            b.Capacidade = espaco;
            return;
        }
        const int n = int(enc.appendToBuffer(b.Dados.get(), v) - b.Dados.get());
        Checar(sqlite3_bind_text(st, i + 1, b.Dados.get(), n, SQLITE_STATIC));
    }
    // Dates travel as ISO text written straight into the parameter's buffer; the same date
    // bound again (an import's date on every row) is not written again.
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
        if (!d.isValid())
            return BindNulo(i);
        sqlite3_stmt *st = Livre();
        Buffer &b = BufferDe(i);
        const std::pair<qint64, int> chave{d.toJulianDay(), t ? t->msecsSinceStartOfDay() : -1};
        if (b.Chave != chave) {
            if (b.Capacidade < kTamIso) {
                b.Dados = std::make_unique<char[]>(kTamIso);
                b.Capacidade = kTamIso;
            }
            b.Chave = kSemChave;
            const int n = TextoIsoParaVincular(b.Dados.get(), d, t);
            if (n < 0)
                return BindNulo(i);
            b.Tamanho = n;
            b.Chave = chave;
        }
        Checar(sqlite3_bind_text(st, i + 1, b.Dados.get(), b.Tamanho, SQLITE_STATIC));
    }

    int Executar() override
    {
        FCon.ExigirTransacaoViva();
        Reiniciar();
        ++TnMotor::Contagem(FCon).Comandos;
        int rc;
        while ((rc = sqlite3_step(FSt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            Falhar();
        sqlite3_reset(FSt);
        return sqlite3_changes(FDb);
    }

    void Fechar() override { Reiniciar(); }
    TnCursor &Abrir() override
    {
        FCon.ExigirTransacaoViva();
        Reiniciar();
        ++TnMotor::Contagem(FCon).Comandos;
        const int n = sqlite3_column_count(FSt);
        // A command run again and again describes its columns once: the names and declared
        // types are compared with the last ones (a schema change may have prepared it anew).
        FDeclaradas.resize(size_t(n));
        FCursor.cols.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            Declarada &d = FDeclaradas[size_t(i)];
            const char *nome = sqlite3_column_name(FSt, i);
            const char *decl = sqlite3_column_decltype(FSt, i);
            if (!d.Valida || d.Nome != nome || d.TemDecl != (decl != nullptr) || (decl && d.Decl != decl)) {
                d.Nome = nome;
                d.TemDecl = decl != nullptr;
                d.Decl = decl ? QByteArray(decl) : QByteArray();
                d.Info = InfoDeTipoDeclarado(QString::fromUtf8(nome), decl);
                d.Valida = true;
            }
            FCursor.cols[size_t(i)] = d.Info;
        }
        // Expressions have no declared type: step once and take the kind of the first row.
        const int rc = sqlite3_step(FSt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            Falhar();
        FCursor.fim = rc == SQLITE_DONE;
        FCursor.pendente = rc == SQLITE_ROW;
        for (int i = 0; i < n; ++i) {
            auto &c = FCursor.cols[size_t(i)];
            if (c.Tipo != ftUnknown) continue;
            switch (FCursor.fim ? SQLITE_NULL : sqlite3_column_type(FSt, i)) {
            case SQLITE_INTEGER: c.Tipo = ftLargeint; break;
            case SQLITE_FLOAT: c.Tipo = ftFloat; break;
            default: c.Tipo = ftString; break;
            }
        }
        return FCursor;
    }

    [[noreturn]] void Falhar() const { FalharSQLite(FCon, FDb, FSQL, FSt); }

private:
    // A value bound while rows are being read starts a new execution.
    sqlite3_stmt *Livre()
    {
        if (sqlite3_stmt_busy(FSt))
            Reiniciar();
        return FSt;
    }
    void Reiniciar()
    {
        sqlite3_reset(FSt);
        FCursor.pendente = false;
        FCursor.fim = false;
    }
    void Checar(int rc) const
    {
        if (rc != SQLITE_OK)
            Falhar();
    }

    struct Declarada {
        bool Valida = false, TemDecl = false;
        QByteArray Nome, Decl;
        TnColunaInfo Info;
    };

    nDMConexao &FCon;
    sqlite3 *FDb;
    sqlite3_stmt *FSt = nullptr;
    CursorSQLite FCursor;
    std::vector<Declarada> FDeclaradas; // the columns as the last execution described them

    // A parameter's text as last bound; `Chave` names the date it holds, if it holds one.
    static constexpr std::pair<qint64, int> kSemChave{std::numeric_limits<qint64>::min(), 0};
    static constexpr qsizetype kTamIso = 32;
    struct Buffer {
        std::unique_ptr<char[]> Dados;
        qsizetype Capacidade = 0;
        int Tamanho = 0;
        std::pair<qint64, int> Chave = kSemChave;
    };
    std::vector<Buffer> FBuffers;
    Buffer &BufferDe(int i)
    {
        if (size_t(i) >= FBuffers.size())
            FBuffers.resize(size_t(i) + 1);
        return FBuffers[size_t(i)];
    }
    friend class CursorSQLite;
};

bool CursorSQLite::Proximo()
{
    if (pendente) {
        pendente = false;
        return true;
    }
    if (fim)
        return false;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW)
        return true;
    fim = true;
    if (rc != SQLITE_DONE) {
        FalharSQLite(*con, sqlite3_db_handle(st), QString::fromUtf8(sqlite3_sql(st)), st);
    }
    return false;
}

class MotorSQLite final : public TnMotor {
public:
    MotorSQLite(nDMConexao &con, sqlite3 *db) : TnMotor(con), FDb(db) {}

    void Configurar() override
    {
        // Referential rules are off by default in SQLite and must be switched on per connection.
        ExecutarTexto("PRAGMA foreign_keys = ON");
        ExecutarTexto("PRAGMA journal_mode = WAL");
        ExecutarTexto("PRAGMA synchronous = NORMAL");
        // Processes over a whole branch touch many pages in one transaction: a larger page
        // cache (64 MB) keeps them from spilling to the log half-way.
        ExecutarTexto("PRAGMA cache_size = -65536");
        // The search of long lists of ranges (FilterInterval).
        if (sqlite3_create_function_v2(FDb, "orvo_nas_faixas", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                       nullptr, NasFaixas, nullptr, nullptr, nullptr)
            != SQLITE_OK)
            FalharSQLite(FCon, FDb, QStringLiteral("orvo_nas_faixas"));
        if (sqlite3_create_function_v2(FDb, "orvo_produto", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                       nullptr, ProdutoExato, nullptr, nullptr, nullptr)
            != SQLITE_OK)
            FalharSQLite(FCon, FDb, QStringLiteral("orvo_produto"));
    }

    std::unique_ptr<TnComando> Preparar(const QString &sql, const QStringList &nomes, int) override
    {
        return std::make_unique<ComandoSQLite>(FCon, FDb, sql, nomes);
    }

    int ExecutarTexto(const QString &sql) override { return RodarTexto(sql, true); }

    int ExecutarComandos(const QStringList &comandos, int &falhou) override
    {
        int alteradas = 0;
        for (qsizetype k = 0; k < comandos.size(); ++k) {
            falhou = int(k);
            alteradas = RodarTexto(comandos[k], false);
        }
        falhou = -1;
        return alteradas;
    }

    // A writing transaction takes the write lock at once, so that two writers meet at the
    // start instead of one of them failing half-way.
    QString InicioTransacao(bool leitura) const override
    {
        return leitura ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE");
    }

    // The embedded database lives on this machine: its clock is the server's.
    QDateTime DataServidor() override { return QDateTime::currentDateTime(); }

    ~MotorSQLite() override
    {
        for (Forma &f : FFormas)
            sqlite3_finalize(f.St);
    }

private:
    // A statement prepared once for every statement of its shape (kept while it is one of
    // the most recently used).
    struct Forma {
        sqlite3_stmt *St = nullptr;
        quint64 Uso = 0;
    };

    [[noreturn]] void Falhar(QStringView comando) const { FalharSQLite(FCon, FDb, comando.toString()); }

    sqlite3_stmt *Preparada(const QString &chave, QStringView texto)
    {
        constexpr qsizetype kMaximo = 64;
        const auto it = FFormas.find(chave);
        if (it != FFormas.end()) {
            it->Uso = ++FUso;
            return it->St;
        }
        if (FFormas.size() >= kMaximo) {
            auto velha = FFormas.begin();
            for (auto f = FFormas.begin(); f != FFormas.end(); ++f)
                if (f->Uso < velha->Uso)
                    velha = f;
            sqlite3_finalize(velha->St);
            FFormas.erase(velha);
        }
        const QByteArray u = texto.toUtf8();
        sqlite3_stmt *st = nullptr;
        // The length counts the terminating NUL: SQLite then reads the text in place.
        if (sqlite3_prepare_v3(FDb, u.constData(), int(u.size()) + 1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK)
            Falhar(texto);
        if (st)
            FFormas.insert(chave, Forma{st, ++FUso});
        return st;
    }

    // Runs one statement that reads or writes rows: by its shape, literals bound.
    int RodarDados(QStringView comando)
    {
        QString forma, tipos;
        std::vector<TnLiteralSQL> literais;
        const bool temForma = FormaDoComando(comando, tcSQLite, forma, literais, tipos);
        sqlite3_stmt *st = temForma ? Preparada(forma, forma) : Preparada(comando.toString(), comando);
        if (!st)
            return 0;
        sqlite3_reset(st);
        for (size_t k = 0; k < literais.size(); ++k) {
            const TnLiteralSQL &l = literais[k];
            const int i = int(k) + 1;
            if (l.Tipo == TnLiteralSQL::Inteiro)
                sqlite3_bind_int64(st, i, l.I);
            else if (l.Tipo == TnLiteralSQL::Decimal)
                sqlite3_bind_double(st, i, l.S.toDouble());
            else
                sqlite3_bind_text16(st, i, l.S.utf16(), int(l.S.size() * 2), SQLITE_TRANSIENT);
        }
        ++Contagem(FCon).Comandos;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            sqlite3_reset(st);
            Falhar(comando);
        }
        sqlite3_reset(st);
        return sqlite3_changes(FDb);
    }

    // Runs the statements of `sql` in turn. Those that read or write rows end at their ";"
    // and run by their shape; any other statement is prepared straight from the text, where
    // SQLite itself finds its end (a trigger holds statements of its own). `proprio`: more
    // than one statement outside a transaction run in one of their own.
    int RodarTexto(const QString &sql, bool proprio)
    {
        const QStringView v(sql);
        const qsizetype n = v.size();
        const QByteArray u = sql.toUtf8();
        // Positions in `v` and in `u` walk together: a stretch's UTF-8 length is counted as
        // it is passed.
        qsizetype i = 0, b = 0;
        const auto avancar = [&](qsizetype ate) {
            for (; i < ate; ++i) {
                const char16_t c = v[i].unicode();
                b += c < 0x80 ? 1 : c < 0x800 ? 2 : QChar::isHighSurrogate(c) ? 4 : QChar::isLowSurrogate(c) ? 0 : 3;
            }
        };
        std::optional<TnTransacao> propria;
        int alteradas = 0;
        bool primeiro = true;
        for (;;) {
            qsizetype inicio = i;
            const QString palavra = PrimeiraPalavra(v, inicio, tcSQLite);
            if (inicio >= n)
                break;
            avancar(inicio);
            if (v[i] == u';') {
                avancar(i + 1);
                continue;
            }
            if (!EhControleDeTransacao(palavra))
                FCon.ExigirTransacaoViva();
            sqlite3_stmt *solto = nullptr;
            qsizetype fim;
            if (EhComandoDeDados(palavra)) {
                fim = FimDoComando(v, i, tcSQLite);
            } else {
                if (!EhControleDeTransacao(palavra))
                    EsquecerGuardados(PodeMudarColunas(v.mid(i)));
                const char *resto = nullptr;
                if (sqlite3_prepare_v2(FDb, u.constData() + b, int(u.size() - b) + 1, &solto, &resto) != SQLITE_OK)
                    Falhar(v.mid(i, FimDoComando(v, i, tcSQLite) - i));
                // Back from UTF-8 to the text: one UTF-16 unit per character, two for those
                // beyond the basic plane.
                fim = i;
                for (const char *p = u.constData() + b; p < resto; ++p) {
                    const unsigned char c = static_cast<unsigned char>(*p);
                    if ((c & 0xC0) != 0x80)
                        fim += c >= 0xF0 ? 2 : 1;
                }
            }
            const auto largar = qScopeGuard([&] { sqlite3_finalize(solto); });
            if (primeiro && proprio && !FCon.InTransaction() && !EhControleDeTransacao(palavra)) {
                qsizetype seguinte = fim;
                PrimeiraPalavra(v, seguinte, tcSQLite);
                while (seguinte < n && v[seguinte] == u';') {
                    ++seguinte;
                    PrimeiraPalavra(v, seguinte, tcSQLite);
                }
                if (seguinte < n)
                    propria.emplace(kTransacaoDoTexto, FCon);
            }
            primeiro = false;
            if (propria && EhControleDeTransacao(palavra)) {
                // The text manages the transaction from here on.
                propria->Commit();
                propria.reset();
            }
            if (solto) {
                ++Contagem(FCon).Comandos;
                int rc;
                while ((rc = sqlite3_step(solto)) == SQLITE_ROW) {
                }
                if (rc != SQLITE_DONE)
                    Falhar(v.mid(i, fim - i));
                alteradas = sqlite3_changes(FDb);
            } else if (EhComandoDeDados(palavra)) {
                alteradas = RodarDados(v.mid(i, fim - i));
            }
            avancar(std::min(fim + (fim < n && v[fim] == u';' ? 1 : 0), n));
        }
        if (propria)
            propria->Commit();
        return alteradas;
    }

    sqlite3 *FDb;
    QHash<QString, Forma> FFormas;
    quint64 FUso = 0;
};

} // namespace

TnColunaInfo InfoDeTipoDeclarado(const QString &nome, const char *decl)
{
    TnColunaInfo c;
    c.Nome = nome;
    if (!decl)
        return c;
    const QString t = QString::fromLatin1(decl).toUpper();
    static const QRegularExpression reArgs(QStringLiteral("\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\)"));
    const auto m = reArgs.match(t);
    const int a1 = m.hasMatch() ? m.captured(1).toInt() : 0;
    const int a2 = m.hasMatch() && m.capturedLength(2) ? m.captured(2).toInt() : 0;
    if (t.contains("SMALLINT"))
        c.Tipo = ftSmallint;
    else if (t.contains("BIGINT"))
        c.Tipo = ftLargeint;
    else if (t.contains("INT"))
        c.Tipo = ftInteger;
    else if (t.contains("NUMERIC") || t.contains("DECIMAL")) {
        c.Tipo = ftBCD;
        c.Precisao = a1; // 0: no declared precision, the value is read as it comes
        c.Escala = a2;
    } else if (t.contains("DOUBLE") || t.contains("REAL") || t.contains("FLOAT"))
        c.Tipo = ftFloat;
    else if (t.contains("TIMESTAMP") || t.contains("DATETIME"))
        c.Tipo = ftDateTime;
    else if (t.contains("DATE"))
        c.Tipo = ftDate;
    else if (t.contains("BOOL"))
        c.Tipo = ftBoolean;
    else if (t.contains("CHAR")) {
        c.Tipo = ftString;
        c.Tamanho = a1;
    } else if (t.contains("TEXT") || t.contains("CLOB"))
        c.Tipo = ftMemo;
    return c;
}

void PrepararBibliotecaSQLite()
{
    // A savepoint keeps in its sub-journal the pages it may have to give back, and a
    // statement's own journal goes to the same place: past SQLite's 64 KiB it is moved to a
    // temporary file for the rest of the transaction, and every later statement writes its
    // journal there, one system call per page. A register applied inside a process's
    // transaction (a savepoint) into a table whose index it touches all over easily keeps
    // more than that, so the threshold is raised to just under 128 KiB. Not further: the
    // library keeps the journal in memory in pieces of the threshold's size and moves each
    // piece to the file in one write, and its file layer writes at most 128 KiB - 1 bytes at
    // once, answering "disk full" to anything longer: a larger threshold makes every
    // statement whose journal outgrows it fail. The library takes this only before it
    // starts, that is before the first connection opens; later it answers SQLITE_MISUSE and
    // keeps its default.
    static const int kJournalEmMemoria = (128 - 4) * 1024;
    static const int resultado = sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, kJournalEmMemoria);
    (void)resultado;
}

std::unique_ptr<TnMotor> CriarMotorSQLite(nDMConexao &con)
{
    return std::make_unique<MotorSQLite>(con, static_cast<sqlite3 *>(con.HandleSQLite()));
}

void *nDMConexao::HandleSQLite() const
{
    if (FCfg.Tipo != tcSQLite)
        return nullptr;
    const QVariant v = FDb.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.constData());
    return nullptr;
}

QString CodigoSQLiteNaoAbriu() { return QString::number(SQLITE_CANTOPEN); }

QString DescricaoErroSQLite(int rc, const QString &arquivo, const QString &textoMotor)
{
    if (rc == SQLITE_CONSTRAINT_TRIGGER && !textoMotor.trimmed().isEmpty())
        return QStringLiteral("O banco de dados recusou a operação: %1").arg(textoMotor.trimmed());
    switch (rc & 0xff) {
    case SQLITE_READONLY:
        return QStringLiteral("O arquivo do banco de dados %1 está somente para leitura: o programa não pode gravar "
                              "nele. Verifique as permissões do arquivo e da sua pasta.").arg(arquivo);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("O arquivo do banco de dados %1 está danificado ou não é um banco de dados. "
                              "Restaure uma cópia de segurança desse arquivo.").arg(arquivo);
    case SQLITE_CANTOPEN:
        return QStringLiteral("O arquivo do banco de dados %1 não pôde ser aberto. Verifique se ele e a sua pasta "
                              "existem e podem ser lidos.").arg(arquivo);
    case SQLITE_FULL:
        return QStringLiteral("Não há espaço em disco para gravar no banco de dados %1.").arg(arquivo);
    case SQLITE_IOERR:
        return QStringLiteral("Houve um erro de leitura ou gravação no arquivo do banco de dados %1.").arg(arquivo);
    default:
        return QString();
    }
}

int ClassificarErroSQLite(int rc)
{
    switch (rc) {
    case SQLITE_CONSTRAINT_PRIMARYKEY: return ebChavePrimaria;
    case SQLITE_CONSTRAINT_UNIQUE: return ebUnico;
    case SQLITE_CONSTRAINT_FOREIGNKEY: return ebChaveEstrangeira;
    case SQLITE_CONSTRAINT_NOTNULL: return ebNaoNulo;
    case SQLITE_CONSTRAINT_CHECK: return ebChecagem;
    default: break;
    }
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ebBloqueio;
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB: return ebConexao;
    case SQLITE_ERROR: return ebSintaxe;
    default: return ebOutro;
    }
}
