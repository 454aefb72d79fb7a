// The embedded engine: SQLite driven through its C interface on the handle that Qt's QSQLITE
// driver opened (typed reads, prepared statements, no per-value conversions).
#include "Motor.h"

#include "DataIso.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QStringEncoder>
#include <sqlite3.h>

#include <charconv>
#include <vector>

namespace {


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
    // Texts travel as UTF-8, the database's own encoding, so SQLite stores them without a
    // conversion of its own; a short one is encoded on the stack.
    void BindTexto(int i, const QString &v) override
    {
        char local[512];
        QStringEncoder enc(QStringEncoder::Utf8);
        if (enc.requiredSpace(v.size()) <= qsizetype(sizeof local)) {
            char *fim = enc.appendToBuffer(local, v);
            Checar(sqlite3_bind_text(FSt, i + 1, local, int(fim - local), SQLITE_TRANSIENT));
            return;
        }
        const QByteArray u = v.toUtf8();
        Checar(sqlite3_bind_text(FSt, i + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT));
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
    }

    std::unique_ptr<TnComando> Preparar(const QString &sql, const QStringList &nomes, int) override
    {
        return std::make_unique<ComandoSQLite>(FCon, FDb, sql, nomes);
    }

    int ExecutarTexto(const QString &sql) override
    {
        // Several statements may follow one another; run each in turn.
        const QByteArray u = sql.toUtf8();
        const char *p = u.constData();
        const char *fim = p + u.size();
        int alteradas = 0;
        while (p < fim) {
            sqlite3_stmt *st = nullptr;
            const char *resto = nullptr;
            if (sqlite3_prepare_v2(FDb, p, int(fim - p), &st, &resto) != SQLITE_OK)
                FCon.Falha(QString::fromUtf8(sqlite3_errmsg(FDb)), QString::number(sqlite3_extended_errcode(FDb)), sql);
            p = resto;
            if (!st)
                continue;
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE) {
                const int code = sqlite3_extended_errcode(FDb);
                const QString texto = QString::fromUtf8(sqlite3_errmsg(FDb));
                sqlite3_finalize(st);
                FCon.Falha(texto, QString::number(code), sql);
            }
            alteradas = sqlite3_changes(FDb);
            sqlite3_finalize(st);
        }
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

private:
    sqlite3 *FDb;
};

} // namespace

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
