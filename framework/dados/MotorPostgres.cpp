// The server engine: PostgreSQL through Qt's QPSQL driver.
#include "Motor.h"

#include "DataIso.h"
#include "Literais.h"
#include "TextoSQL.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <vector>

namespace {

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

class MotorPostgres final : public TnMotor {
public:
    using TnMotor::TnMotor;

    void Configurar() override
    {
        ExecutarTexto("SET client_min_messages = warning");
        // Quoted literals keep backslashes as plain characters whatever the server default.
        ExecutarTexto("SET standard_conforming_strings = on");
        const QString &esquema = FCon.Config().Esquema;
        if (!esquema.isEmpty()) {
            if (!EhIdentificador(esquema))
                throw Exception(QStringLiteral("Nome de esquema inválido: \"%1\".").arg(esquema));
            ExecutarTexto("SET search_path TO " + esquema);
        }
    }

    std::unique_ptr<TnComando> Preparar(const QString &sql, const QStringList &nomes, int total) override
    {
        return std::make_unique<ComandoPg>(FCon, sql, nomes, total);
    }

    int ExecutarTexto(const QString &sql) override
    {
        // The server driver reports only the last result of a text of several statements, so
        // each statement is sent on its own and every failure is seen.
        int alteradas = 0;
        for (const QString &um : DividirComandos(sql)) {
            QSqlQuery q(FCon.BancoQt());
            if (!q.exec(um)) {
                const QSqlError e = q.lastError();
                FCon.Falha(e.databaseText().isEmpty() ? e.text() : e.databaseText(), e.nativeErrorCode(), um);
            }
            alteradas = std::max(0, q.numRowsAffected());
        }
        return alteradas;
    }

    QString InicioTransacao(bool) const override { return QStringLiteral("BEGIN"); }

    QDateTime DataServidor() override
    {
        auto cmd = FCon.Preparar("select cast(localtimestamp as timestamp(3))");
        TnCursor &c = cmd->Abrir();
        c.Proximo();
        return c.DataHora(0);
    }
};

} // namespace

std::unique_ptr<TnMotor> CriarMotorPostgres(nDMConexao &con) { return std::make_unique<MotorPostgres>(con); }

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
