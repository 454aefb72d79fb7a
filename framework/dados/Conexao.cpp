#include "Conexao.h"

#include "Literais.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QUuid>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstring>
#include <limits>

namespace {

nDMConexao *gAtual = nullptr;

// ---------------------------------------------------------------- named parameters

// When a quoted text, a quoted identifier or a comment starts at `i`, answers the index
// of its last character; otherwise -1. Statements are scanned with it so that nothing
// inside such a stretch is taken for a placeholder or a statement end.
int FimDeTrechoLiteral(const QString &sql, int i)
{
    const int n = int(sql.size());
    const QChar c = sql[i];
    if (c == '\'' || c == '"') {
        int j = i + 1;
        while (j < n) {
            if (sql[j] == c) {
                if (j + 1 < n && sql[j + 1] == c) { j += 2; continue; }
                break;
            }
            ++j;
        }
        return std::min(j, n - 1);
    }
    if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
        const int j = int(sql.indexOf('\n', i));
        return j < 0 ? n - 1 : j;
    }
    if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
        const int j = int(sql.indexOf(QLatin1String("*/"), i + 2));
        return j < 0 ? n - 1 : j + 1;
    }
    return -1;
}

// Rewrites ":nome" placeholders as "?" and lists the names by position. Quoted text,
// quoted identifiers, comments and PostgreSQL "::" casts are left as they are. Plain "?"
// placeholders count as unnamed positions.
QString ConverterParametros(const QString &sql, QStringList &nomes, int &total)
{
    QString out;
    out.reserve(sql.size());
    total = 0;
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (const int fim = FimDeTrechoLiteral(sql, i); fim >= 0) {
            out += QStringView(sql).mid(i, fim - i + 1);
            i = fim;
        } else if (c == ':' && i + 1 < n && sql[i + 1] == ':') {
            out += QLatin1String("::");
            ++i;
        } else if (c == ':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == '_')) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == '_')) ++j;
            nomes.append(sql.mid(i + 1, j - i - 1));
            ++total;
            out += '?';
            i = j - 1;
        } else if (c == '?') {
            nomes.append(QString());
            ++total;
            out += c;
        } else {
            out += c;
        }
    }
    // A statement with only "?" keeps no names.
    if (std::all_of(nomes.cbegin(), nomes.cend(), [](const QString &s) { return s.isEmpty(); }))
        nomes.clear();
    return out;
}

// Splits a text of several statements at the ";" that end them (not inside quotes or
// comments); blank pieces are dropped.
QStringList DividirComandos(const QString &sql)
{
    QStringList partes;
    QString atual;
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (const int fim = FimDeTrechoLiteral(sql, i); fim >= 0) {
            atual += QStringView(sql).mid(i, fim - i + 1);
            i = fim;
        } else if (c == ';') {
            if (!atual.trimmed().isEmpty()) partes << atual.trimmed();
            atual.clear();
        } else {
            atual += c;
        }
    }
    if (!atual.trimmed().isEmpty()) partes << atual.trimmed();
    return partes;
}

// ---------------------------------------------------------------- type names

// Column kind of a declared SQL type ("NUMERIC(18,2)", "VARCHAR(40)", "DATE", ...).
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

// Fast parse of "YYYY-MM-DD[ HH:MM:SS[.zzz]]" (also with "T"); invalid on anything else.
bool LerDataIso(const char *s, int len, QDate &d, QTime &t)
{
    auto dig = [&](int pos, int cnt, int &v) {
        if (pos + cnt > len) return false;
        v = 0;
        for (int k = 0; k < cnt; ++k) {
            const char ch = s[pos + k];
            if (ch < '0' || ch > '9') return false;
            v = v * 10 + (ch - '0');
        }
        return true;
    };
    int y, mo, da;
    if (len < 10 || !dig(0, 4, y) || s[4] != '-' || !dig(5, 2, mo) || s[7] != '-' || !dig(8, 2, da))
        return false;
    d = QDate(y, mo, da);
    t = QTime(0, 0);
    if (len >= 19 && (s[10] == ' ' || s[10] == 'T')) {
        int h, mi, se, ms = 0;
        if (!dig(11, 2, h) || s[13] != ':' || !dig(14, 2, mi) || s[16] != ':' || !dig(17, 2, se))
            return false;
        if (len > 20 && s[19] == '.') {
            int cnt = std::min(3, len - 20);
            dig(20, cnt, ms);
            for (int k = cnt; k < 3; ++k) ms *= 10;
        }
        t = QTime(h, mi, se, ms);
    }
    return d.isValid();
}

// "YYYY-MM-DD", and " HH:MM:SS[.zzz]" when a time is given; answers the length written.
int EscreverDataIso(char *buf, const QDate &d, const QTime *t)
{
    int y, m, dd;
    d.getDate(&y, &m, &dd);
    if (y < 0 || y > 9999)
        y = 0;
    auto dois = [](char *p, int v) { p[0] = char('0' + v / 10); p[1] = char('0' + v % 10); };
    buf[0] = char('0' + y / 1000); buf[1] = char('0' + y / 100 % 10); buf[2] = char('0' + y / 10 % 10); buf[3] = char('0' + y % 10);
    buf[4] = '-'; dois(buf + 5, m); buf[7] = '-'; dois(buf + 8, dd);
    if (!t)
        return 10;
    buf[10] = ' '; dois(buf + 11, t->hour()); buf[13] = ':'; dois(buf + 14, t->minute()); buf[16] = ':';
    dois(buf + 17, t->second());
    if (!t->msec())
        return 19;
    const int ms = t->msec();
    buf[19] = '.'; buf[20] = char('0' + ms / 100); buf[21] = char('0' + ms / 10 % 10); buf[22] = char('0' + ms % 10);
    return 23;
}

// The same text for the server's driver, which takes parameters as QVariants.
QString TextoIso(const QDate &d, const QTime *t)
{
    char buf[32];
    return QString::fromLatin1(buf, EscreverDataIso(buf, d, t));
}

// ---------------------------------------------------------------- SQLite

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
    qint64 Inteiro(int i) override
    {
        if (sqlite3_column_type(st, i) == SQLITE_FLOAT) return qint64(sqlite3_column_double(st, i));
        return sqlite3_column_int64(st, i);
    }
    double Real(int i) override { return sqlite3_column_double(st, i); }
    QString Texto(int i) override
    {
        if (sqlite3_column_type(st, i) == SQLITE_FLOAT) {
            // Shortest round-trip decimal form, never an exponent.
            char buf[64];
            const double v = sqlite3_column_double(st, i);
            auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
            return QString::fromLatin1(buf, int(r.ptr - buf));
        }
        const auto *p = reinterpret_cast<const char16_t *>(sqlite3_column_text16(st, i));
        return p ? QString::fromUtf16(p, sqlite3_column_bytes16(st, i) / 2) : QString();
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
        FCursor.st = FSt;
        FCursor.con = &con;
    }
    ~ComandoSQLite() override { sqlite3_finalize(FSt); }

    int Parametros() const override { return sqlite3_bind_parameter_count(FSt); }
    void BindNulo(int i) override { Checar(sqlite3_bind_null(FSt, i + 1)); }
    void BindInteiro(int i, qint64 v) override { Checar(sqlite3_bind_int64(FSt, i + 1, v)); }
    void BindReal(int i, double v) override { Checar(sqlite3_bind_double(FSt, i + 1, v)); }
    void BindTexto(int i, const QString &v) override
    {
        Checar(sqlite3_bind_text16(FSt, i + 1, v.utf16(), int(v.size() * 2), SQLITE_TRANSIENT));
    }
    // Dates travel as ISO text written straight into a small buffer (no string objects).
    void BindData(int i, const QDate &v) override
    {
        if (!v.isValid())
            return BindNulo(i);
        char buf[16];
        const int n = EscreverDataIso(buf, v, nullptr);
        Checar(sqlite3_bind_text(FSt, i + 1, buf, n, SQLITE_TRANSIENT));
    }
    void BindDataHora(int i, const QDateTime &v) override
    {
        if (!v.isValid())
            return BindNulo(i);
        char buf[32];
        const QTime t = v.time();
        const int n = EscreverDataIso(buf, v.date(), &t);
        Checar(sqlite3_bind_text(FSt, i + 1, buf, n, SQLITE_TRANSIENT));
    }

    int Executar() override
    {
        Reiniciar();
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
        Reiniciar();
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

    void Falhar() const
    {
        const int rc = sqlite3_extended_errcode(FDb);
        const QString texto = QString::fromUtf8(sqlite3_errmsg(FDb));
        sqlite3_reset(FSt);
        FCon.Falha(texto, QString::number(rc), FSQL);
    }

private:
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
        // Report through the statement's owner: rebuild the error from the database handle.
        sqlite3 *db = sqlite3_db_handle(st);
        const int code = sqlite3_extended_errcode(db);
        const QString texto = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_reset(st);
        con->Falha(texto, QString::number(code), QString::fromUtf8(sqlite3_sql(st)));
    }
    return false;
}

// ---------------------------------------------------------------- PostgreSQL (Qt QPSQL)

TFieldType TipoDoOidPg(int oid, QMetaType mt)
{
    switch (oid) {
    case 21: return ftSmallint;
    case 23: return ftInteger;
    case 20: return ftLargeint;
    case 700: case 701: return ftFloat;
    case 1700: return ftBCD;
    case 1082: return ftDate;
    case 1114: case 1184: return ftDateTime;
    case 16: return ftBoolean;
    case 25: return ftMemo;
    case 1042: case 1043: return ftString;
    default: break;
    }
    switch (mt.id()) {
    case QMetaType::Int: return ftInteger;
    case QMetaType::LongLong: return ftLargeint;
    case QMetaType::Double: return ftFloat;
    case QMetaType::QDate: return ftDate;
    case QMetaType::QDateTime: return ftDateTime;
    case QMetaType::Bool: return ftBoolean;
    default: return ftString;
    }
}

class CursorPg final : public TnCursor {
public:
    QSqlQuery *q = nullptr;
    std::vector<TnColunaInfo> cols;

    int Colunas() const override { return int(cols.size()); }
    const TnColunaInfo &Coluna(int i) const override { return cols[size_t(i)]; }
    bool Proximo() override { return q->next(); }
    bool Nulo(int i) override { return q->isNull(i); }
    qint64 Inteiro(int i) override { return q->value(i).toLongLong(); }
    double Real(int i) override { return q->value(i).toDouble(); }
    QString Texto(int i) override
    {
        const QVariant v = q->value(i);
        if (v.metaType().id() == QMetaType::Double)
            return QString::number(v.toDouble(), 'f', QLocale::FloatingPointShortest);
        return v.toString();
    }
    QDate Data(int i) override { return q->value(i).toDate(); }
    QDateTime DataHora(int i) override
    {
        const QVariant v = q->value(i);
        if (v.metaType().id() == QMetaType::QString) {
            QDate d; QTime t;
            const QByteArray b = v.toString().toLatin1();
            return LerDataIso(b.constData(), int(b.size()), d, t) ? QDateTime(d, t) : QDateTime();
        }
        QDateTime dt = v.toDateTime();
        return QDateTime(dt.date(), dt.time()); // local, no zone conversion
    }
};

class ComandoPg final : public TnComando {
public:
    ComandoPg(nDMConexao &con, const QString &sql, const QStringList &nomes, int total)
        : FCon(con), FQ(con.BancoQt()), FTotal(total)
    {
        FSQL = sql;
        FNomes = nomes;
        FValores.resize(size_t(total));
        FQ.setForwardOnly(true);
        FQ.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!FQ.prepare(sql))
            Falhar();
        FCursor.q = &FQ;
    }
    int Parametros() const override { return FTotal; }
    void BindNulo(int i) override { Set(i, QVariant(QMetaType::fromType<QString>())); }
    void BindInteiro(int i, qint64 v) override { Set(i, QVariant(v)); }
    void BindReal(int i, double v) override { Set(i, QVariant(v)); }
    void BindTexto(int i, const QString &v) override { Set(i, QVariant(v.isNull() ? QString("") : v)); }
    void BindData(int i, const QDate &v) override
    {
        v.isValid() ? Set(i, QVariant(TextoIso(v, nullptr))) : BindNulo(i);
    }
    void BindDataHora(int i, const QDateTime &v) override
    {
        if (!v.isValid())
            return BindNulo(i);
        const QTime t = v.time();
        Set(i, QVariant(TextoIso(v.date(), &t)));
    }
    int Executar() override
    {
        Rodar();
        const int n = FQ.numRowsAffected();
        FQ.finish();
        return n < 0 ? 0 : n;
    }
    void Fechar() override { FQ.finish(); }
    TnCursor &Abrir() override
    {
        Rodar();
        const QSqlRecord r = FQ.record();
        FCursor.cols.clear();
        for (int i = 0; i < r.count(); ++i) {
            const QSqlField f = r.field(i);
            TnColunaInfo c;
            c.Nome = f.name().toUpper();
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
            c.Tipo = TipoDoOidPg(f.typeID(), f.metaType());
QT_WARNING_POP
            if (c.Tipo == ftBCD) {
                c.Precisao = f.length() > 0 ? f.length() : 0; // 0: unconstrained numeric
                c.Escala = f.precision() > 0 ? f.precision() : 0;
            } else if (c.Tipo == ftString) {
                c.Tamanho = f.length() > 0 ? f.length() : 0;
            }
            FCursor.cols.push_back(c);
        }
        return FCursor;
    }

private:
    void Set(int i, const QVariant &v)
    {
        if (i < 0 || i >= FTotal)
            throw Exception(QStringLiteral("Parâmetro %1 inexistente no comando.").arg(i + 1));
        FValores[size_t(i)] = v;
    }
    void Rodar()
    {
        for (int i = 0; i < FTotal; ++i)
            FQ.bindValue(i, FValores[size_t(i)]);
        if (!FQ.exec())
            Falhar();
    }
    [[noreturn]] void Falhar()
    {
        const QSqlError e = FQ.lastError();
        FCon.Falha(e.databaseText().isEmpty() ? e.text() : e.databaseText(), e.nativeErrorCode(), FSQL);
    }

    nDMConexao &FCon;
    QSqlQuery FQ;
    int FTotal;
    std::vector<QVariant> FValores;
    CursorPg FCursor;
};

std::atomic<int> gSeqConexao{0};

} // namespace

// ---------------------------------------------------------------- TnCursor / TnComando

bool TnCursor::DataHoraPartes(int i, QDate &d, QTime &t)
{
    const QDateTime dt = DataHora(i);
    d = dt.date();
    t = dt.time();
    return dt.isValid();
}

QVariant TnCursor::Valor(int i)
{
    if (Nulo(i))
        return {};
    switch (Coluna(i).Tipo) {
    case ftSmallint:
    case ftInteger: return QVariant(int(Inteiro(i)));
    case ftLargeint: return QVariant(Inteiro(i));
    case ftFloat: return QVariant(Real(i));
    case ftBCD: return QVariant(Texto(i).toDouble());
    case ftDate: return QVariant(Data(i));
    case ftDateTime: return QVariant(DataHora(i));
    case ftBoolean: return QVariant(Inteiro(i) != 0);
    default: return QVariant(Texto(i));
    }
}

void TnComando::BindValor(int i, const QVariant &v)
{
    if (EhNulo(v)) {
        BindNulo(i);
        return;
    }
    switch (v.metaType().id()) {
    case QMetaType::Bool: BindInteiro(i, v.toBool() ? 1 : 0); break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::Long: BindInteiro(i, v.toLongLong()); break;
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
        if (v.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            throw EConvertError(QStringLiteral("O valor %1 é grande demais para o banco de dados.").arg(v.toULongLong()));
        BindInteiro(i, v.toLongLong());
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float: BindReal(i, v.toDouble()); break;
    case QMetaType::QDate: BindData(i, v.toDate()); break;
    case QMetaType::QDateTime: BindDataHora(i, v.toDateTime()); break;
    default: BindTexto(i, v.toString()); break;
    }
}

int TnComando::IndiceParametro(const QString &nome) const
{
    for (int i = 0; i < FNomes.size(); ++i)
        if (FNomes[i].compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TnComando::BindValor(const QString &nome, const QVariant &v)
{
    bool achou = false;
    for (int i = 0; i < FNomes.size(); ++i)
        if (FNomes[i].compare(nome, Qt::CaseInsensitive) == 0) {
            BindValor(i, v);
            achou = true;
        }
    if (!achou)
        throw Exception(QStringLiteral("Parâmetro \"%1\" não existe no comando.").arg(nome));
}

// ---------------------------------------------------------------- settings

QString TnConfigBanco::ArquivoPadrao()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath("banco.ini");
}

QString TnConfigBanco::BancoEmbutidoPadrao()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("inv.db");
}

TnConfigBanco TnConfigBanco::Ler(const QString &arquivoIni)
{
    TnConfigBanco c;
    c.Arquivo = BancoEmbutidoPadrao();
    if (arquivoIni.isEmpty() || !QFileInfo::exists(arquivoIni))
        return c;
    QSettings s(arquivoIni, QSettings::IniFormat);
    s.beginGroup("Banco");
    const QString tipo = s.value("Tipo", "SQLite").toString().trimmed();
    if (tipo.compare("PostgreSQL", Qt::CaseInsensitive) == 0) {
        c.Tipo = tcPostgreSQL;
        c.Servidor = s.value("Servidor", c.Servidor).toString();
        c.Porta = s.value("Porta", c.Porta).toInt();
        c.Banco = s.value("Banco").toString();
        c.Usuario = s.value("Usuario").toString();
        c.Senha = s.value("Senha").toString();
        c.Esquema = s.value("Esquema").toString();
    } else if (tipo.compare("SQLite", Qt::CaseInsensitive) == 0) {
        const QString arq = s.value("Arquivo").toString();
        if (!arq.isEmpty())
            c.Arquivo = arq;
    } else {
        throw Exception(QStringLiteral("Tipo de banco \"%1\" desconhecido em %2: use SQLite ou PostgreSQL.")
                            .arg(tipo, arquivoIni));
    }
    return c;
}

// ---------------------------------------------------------------- connection

nDMConexao &nDMConexao::Atual()
{
    if (!gAtual)
        throw Exception(QStringLiteral("Não há conexão com o banco de dados."));
    return *gAtual;
}
nDMConexao *nDMConexao::AtualOuNulo() { return gAtual; }
void nDMConexao::DefinirAtual(nDMConexao *c) { gAtual = c; }

nDMConexao::nDMConexao(const TnConfigBanco &cfg) : FCfg(cfg)
{
    FNomeConexao = QStringLiteral("orvo_%1").arg(++gSeqConexao);
    if (cfg.Tipo == tcSQLite) {
        if (cfg.Arquivo.isEmpty())
            throw Exception(QStringLiteral("Nenhum arquivo de banco de dados foi informado."));
        QDir().mkpath(QFileInfo(cfg.Arquivo).absolutePath());
        FDb = QSqlDatabase::addDatabase("QSQLITE", FNomeConexao);
        FDb.setDatabaseName(cfg.Arquivo);
        FDb.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
    } else {
        FDb = QSqlDatabase::addDatabase("QPSQL", FNomeConexao);
        FDb.setHostName(cfg.Servidor);
        FDb.setPort(cfg.Porta);
        FDb.setDatabaseName(cfg.Banco);
        FDb.setUserName(cfg.Usuario);
        FDb.setPassword(cfg.Senha);
    }
    if (!FDb.isValid() || !FDb.open()) {
        const QString erro = FDb.lastError().text();
        FDb = QSqlDatabase();
        QSqlDatabase::removeDatabase(FNomeConexao);
        throw EDatabaseError(QStringLiteral("Não foi possível abrir o banco de dados %1: %2").arg(Descricao(), erro),
                             QStringLiteral("08000"), QString::number(SQLITE_CANTOPEN), erro, QString());
    }
    FDb.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (cfg.Tipo == tcSQLite) {
        // Referential rules are off by default in SQLite and must be switched on per connection.
        Executar("PRAGMA foreign_keys = ON");
        Executar("PRAGMA journal_mode = WAL");
        Executar("PRAGMA synchronous = NORMAL");
        // Processes over a whole branch touch many pages in one transaction: a larger page
        // cache (64 MB) keeps them from spilling to the log half-way.
        Executar("PRAGMA cache_size = -65536");
    } else {
        Executar("SET client_min_messages = warning");
        // Quoted literals keep backslashes as plain characters whatever the server default.
        Executar("SET standard_conforming_strings = on");
        if (!cfg.Esquema.isEmpty()) {
            if (!EhIdentificador(cfg.Esquema))
                throw Exception(QStringLiteral("Nome de esquema inválido: \"%1\".").arg(cfg.Esquema));
            Executar("SET search_path TO " + cfg.Esquema);
        }
    }
}

nDMConexao::~nDMConexao()
{
    if (gAtual == this)
        gAtual = nullptr;
    FGuardados.clear(); // statements go before the database closes
    if (FDb.isValid()) {
        if (!FPilha.empty()) {
            // Whatever was left open is undone: nothing half-written survives.
            QSqlQuery(FDb).exec("ROLLBACK");
        }
        FDb.close();
    }
    FDb = QSqlDatabase();
    QSqlDatabase::removeDatabase(FNomeConexao);
}

QString nDMConexao::Descricao() const
{
    if (FCfg.Tipo == tcSQLite)
        return QDir::toNativeSeparators(QFileInfo(FCfg.Arquivo).absoluteFilePath());
    return QStringLiteral("PostgreSQL %1:%2/%3").arg(FCfg.Servidor).arg(FCfg.Porta).arg(FCfg.Banco);
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

std::unique_ptr<TnComando> nDMConexao::Preparar(const QString &sql)
{
    QStringList nomes;
    int total = 0;
    const QString convertido = ConverterParametros(sql, nomes, total);
    if (FCfg.Tipo == tcSQLite)
        return std::make_unique<ComandoSQLite>(*this, static_cast<sqlite3 *>(HandleSQLite()), convertido, nomes);
    return std::make_unique<ComandoPg>(*this, convertido, nomes, total);
}

nDMConexao::TnComandoGuardado nDMConexao::PrepararGuardado(const QString &sql)
{
    // A few texts only are run this way: a small pool, searched from the end (the ones let
    // go last), is enough; when full, the one let go longest ago goes.
    constexpr size_t kMaximo = 32;
    std::unique_ptr<TnComando> cmd;
    const auto it = std::find_if(FGuardados.rbegin(), FGuardados.rend(),
                                 [&sql](const std::unique_ptr<TnComando> &c) { return c->FTexto == sql; });
    if (it != FGuardados.rend()) {
        cmd = std::move(*it);
        FGuardados.erase(std::next(it).base());
    } else {
        cmd = Preparar(sql);
        cmd->FTexto = sql;
    }
    return TnComandoGuardado(cmd.release(), [this](TnComando *c) {
        std::unique_ptr<TnComando> devolvido(c);
        try {
            devolvido->Fechar();
        } catch (...) {
            return; // a command that cannot be closed is not kept
        }
        if (FGuardados.size() >= kMaximo)
            FGuardados.erase(FGuardados.begin());
        FGuardados.push_back(std::move(devolvido));
    });
}

int nDMConexao::Executar(const QString &sql)
{
    // Scripts change the schema: a kept statement could describe tables as they were (the
    // server refuses a prepared statement whose columns changed).
    FGuardados.clear();
    if (FCfg.Tipo == tcSQLite) {
        // Several statements may follow one another; run each in turn.
        auto *db = static_cast<sqlite3 *>(HandleSQLite());
        const QByteArray u = sql.toUtf8();
        const char *p = u.constData();
        const char *fim = p + u.size();
        int alteradas = 0;
        while (p < fim) {
            sqlite3_stmt *st = nullptr;
            const char *resto = nullptr;
            if (sqlite3_prepare_v2(db, p, int(fim - p), &st, &resto) != SQLITE_OK)
                Falha(QString::fromUtf8(sqlite3_errmsg(db)), QString::number(sqlite3_extended_errcode(db)), sql);
            p = resto;
            if (!st)
                continue;
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE) {
                const int code = sqlite3_extended_errcode(db);
                const QString texto = QString::fromUtf8(sqlite3_errmsg(db));
                sqlite3_finalize(st);
                Falha(texto, QString::number(code), sql);
            }
            alteradas = sqlite3_changes(db);
            sqlite3_finalize(st);
        }
        return alteradas;
    }
    // The server driver reports only the last result of a text of several statements, so
    // each statement is sent on its own and every failure is seen.
    int alteradas = 0;
    for (const QString &um : DividirComandos(sql)) {
        QSqlQuery q(FDb);
        if (!q.exec(um)) {
            const QSqlError e = q.lastError();
            Falha(e.databaseText().isEmpty() ? e.text() : e.databaseText(), e.nativeErrorCode(), um);
        }
        alteradas = std::max(0, q.numRowsAffected());
    }
    return alteradas;
}

int nDMConexao::Executar(const QString &sql, const QVariantList &params)
{
    auto cmd = Preparar(sql);
    if (params.size() != cmd->Parametros())
        throw Exception(QStringLiteral("O comando espera %1 parâmetros e recebeu %2.")
                            .arg(cmd->Parametros()).arg(params.size()));
    for (int i = 0; i < params.size(); ++i)
        cmd->BindValor(i, params[i]);
    return cmd->Executar();
}

int nDMConexao::ExecutarProtegido(TnComando &cmd)
{
    if (FCfg.Tipo != tcPostgreSQL || FPilha.empty())
        return cmd.Executar();
    Executar("SAVEPOINT sp_protegido");
    try {
        const int n = cmd.Executar();
        Executar("RELEASE SAVEPOINT sp_protegido");
        return n;
    } catch (...) {
        Executar("ROLLBACK TO SAVEPOINT sp_protegido; RELEASE SAVEPOINT sp_protegido");
        FAbortada = false; // the savepoint undid the failure: the transaction goes on
        throw;
    }
}

QDateTime nDMConexao::PegarDataServidor(bool comHora)
{
    QDateTime agora;
    if (FCfg.Tipo == tcPostgreSQL) {
        auto cmd = Preparar("select cast(localtimestamp as timestamp(3))");
        TnCursor &c = cmd->Abrir();
        c.Proximo();
        agora = c.DataHora(0);
    } else {
        // The embedded database lives on this machine: its clock is the server's.
        agora = QDateTime::currentDateTime();
    }
    return comHora ? agora : QDateTime(agora.date(), QTime(0, 0));
}

// ---------------------------------------------------------------- transactions

bool nDMConexao::InTransaction(int id) const
{
    return std::any_of(FPilha.begin(), FPilha.end(), [id](const Nivel &n) { return n.id == id; });
}

void nDMConexao::Iniciar(int id, bool ro)
{
    if (!FPilha.empty() && FPilha.back().id == id && FPilha.back().ro == ro) {
        ++FPilha.back().profundidade;
        return;
    }
    if (FPilha.empty()) {
        if (FCfg.Tipo == tcSQLite)
            Executar(ro ? "BEGIN" : "BEGIN IMMEDIATE");
        else
            Executar("BEGIN");
    } else {
        Executar(QStringLiteral("SAVEPOINT sp_%1").arg(FPilha.size()));
    }
    FPilha.push_back({id, ro, 1});
}

void nDMConexao::Terminar(int id, bool ro)
{
    const char *tipo = ro ? "de leitura " : "";
    if (FPilha.empty() || !InTransaction(id))
        throw Exception(QStringLiteral("A transação %1%2 não está aberta: nada foi gravado.").arg(tipo).arg(id));
    Nivel &topo = FPilha.back();
    if (topo.id != id || topo.ro != ro)
        throw Exception(QStringLiteral("A transação %1%2 não pode ser confirmada antes da transação %3, aberta dentro dela.")
                            .arg(tipo).arg(id).arg(topo.id));
    if (--topo.profundidade > 0)
        return;
    if (FAbortada) {
        // PostgreSQL took a failed statement as the end of the transaction: a COMMIT now
        // would quietly roll back. Say so instead of reporting success.
        FPilha.clear();
        FAbortada = false;
        QSqlQuery(FDb).exec("ROLLBACK");
        throw Exception(QStringLiteral("A transação %1 foi desfeita por um erro anterior: nada foi gravado.").arg(id));
    }
    if (FPilha.size() == 1)
        Executar("COMMIT");
    else
        Executar(QStringLiteral("RELEASE SAVEPOINT sp_%1").arg(FPilha.size() - 1));
    FPilha.pop_back();
}

void nDMConexao::StartTransaction(int id, bool, bool) { Iniciar(id, false); }
void nDMConexao::Commit(int id) { Terminar(id, false); }
void nDMConexao::StartTransactionRO(int id) { Iniciar(id, true); }
void nDMConexao::CommitRO(int id) { Terminar(id, true); }

void nDMConexao::RollBack(int id)
{
    auto it = std::find_if(FPilha.begin(), FPilha.end(), [id](const Nivel &n) { return n.id == id; });
    if (it == FPilha.end())
        return;
    const size_t nivel = size_t(it - FPilha.begin());
    FPilha.resize(nivel);
    FAbortada = false;
    if (nivel == 0)
        Executar("ROLLBACK");
    else
        Executar(QStringLiteral("ROLLBACK TO SAVEPOINT sp_%1; RELEASE SAVEPOINT sp_%1").arg(nivel));
}

TnTransacao::TnTransacao(int id, nDMConexao &c, bool ro) : FCon(c), FId(id), FRo(ro)
{
    ro ? FCon.StartTransactionRO(id) : FCon.StartTransaction(id);
}

TnTransacao::~TnTransacao()
{
    if (!FAberta)
        return;
    try {
        FCon.RollBack(FId);
    } catch (...) {
        // A destructor must not throw; the connection discards the transaction when closed.
    }
}

void TnTransacao::Commit()
{
    FRo ? FCon.CommitRO(FId) : FCon.Commit(FId);
    FAberta = false;
}

// ---------------------------------------------------------------- errors

namespace {
int ClassificarSQLite(int rc)
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

int ClassificarPg(const QString &estado, const QString &texto)
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

QString DescricaoErro(int tipo)
{
    switch (tipo) {
    case ebChavePrimaria: return QStringLiteral("Já existe um registro com esta chave.");
    case ebChaveEstrangeira:
        return QStringLiteral("O registro se refere a outro que não existe, ou ainda é usado por outros registros.");
    case ebNaoNulo: return QStringLiteral("Um campo obrigatório ficou sem valor.");
    case ebUnico: return QStringLiteral("Já existe um registro com estes valores, que não podem se repetir.");
    case ebChecagem: return QStringLiteral("Um valor não atende às regras da tabela.");
    case ebBloqueio: return QStringLiteral("O banco de dados está ocupado por outro usuário; tente novamente.");
    case ebConexao: return QStringLiteral("A conexão com o banco de dados foi perdida.");
    case ebSintaxe: return QStringLiteral("O comando enviado ao banco de dados é inválido.");
    default: return QStringLiteral("O banco de dados recusou a operação.");
    }
}
} // namespace

void nDMConexao::Falha(const QString &textoMotor, const QString &codigo, const QString &sql) const
{
    const bool pg = FCfg.Tipo == tcPostgreSQL;
    if (pg && !FPilha.empty())
        FAbortada = true;
    const int tipo = pg ? ClassificarPg(codigo, textoMotor) : ClassificarSQLite(codigo.toInt());
    const QString msg = DescricaoErro(tipo) + QStringLiteral(" (") + textoMotor.trimmed() + ')';
    throw EDatabaseError(msg, pg ? codigo : QString(), pg ? QString() : codigo, textoMotor, sql);
}

int ErroBanco(const std::exception &e)
{
    const auto *db = dynamic_cast<const EDatabaseError *>(&e);
    if (!db)
        return ebOutro;
    if (!db->Estado().isEmpty())
        return ClassificarPg(db->Estado(), db->TextoMotor());
    return ClassificarSQLite(db->CodigoNativo().toInt());
}
