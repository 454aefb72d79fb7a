#pragma once
// Exceptions of the framework. Every failure a user may see carries a Portuguese message.
#include <QString>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(QString mensagem) : FMensagem(std::move(mensagem)), FUtf8(FMensagem.toStdString()) {}
    const QString &Message() const { return FMensagem; }
    void SetMessage(const QString &m) { FMensagem = m; FUtf8 = m.toStdString(); }
    const char *what() const noexcept override { return FUtf8.c_str(); }

private:
    QString FMensagem;
    std::string FUtf8;
};

// Cancels the current operation without a message to the user.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operação cancelada")) {}
};
[[noreturn]] inline void Abort() { throw EAbort(); }

// A parameter of a process is wrong: the form focuses the parameter named here.
class EnParam : public Exception {
public:
    EnParam(QString param, QString mensagem) : Exception(std::move(mensagem)), FParam(std::move(param)) {}
    const QString &Param() const { return FParam; }

private:
    QString FParam;
};

// A field value is wrong: the form focuses the field named here.
class EnField : public Exception {
public:
    EnField(QString campo, QString mensagem) : Exception(std::move(mensagem)), FCampo(std::move(campo)) {}
    const QString &Campo() const { return FCampo; }

private:
    QString FCampo;
};

// A bad value typed or passed by a user (a literal, a filter, a number text).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A value of a multi-value filter text that is refused (FilterInterval): the value as shown
// and why, besides the whole message, which names the filtered columns.
class EFiltroInvalido : public EConvertError {
public:
    EFiltroInvalido(QString mensagem, QString valor, QString motivo)
        : EConvertError(std::move(mensagem)), FValor(std::move(valor)), FMotivo(std::move(motivo))
    {
    }
    const QString &Valor() const { return FValor; }
    const QString &Motivo() const { return FMotivo; }

private:
    QString FValor, FMotivo;
};

// An error reported by the database engine. The kind is the classification of ErroBanco.
class EDatabaseError : public Exception {
public:
    EDatabaseError(QString mensagem, QString estado, QString codigoNativo, QString textoMotor, QString sql)
        : Exception(std::move(mensagem)), FEstado(std::move(estado)), FCodigoNativo(std::move(codigoNativo)),
          FTextoMotor(std::move(textoMotor)), FSQL(std::move(sql)) {}
    const QString &Estado() const { return FEstado; }          // SQLSTATE on PostgreSQL
    const QString &CodigoNativo() const { return FCodigoNativo; } // extended result code on SQLite
    const QString &TextoMotor() const { return FTextoMotor; }     // the engine's own words
    const QString &SQL() const { return FSQL; }

private:
    QString FEstado, FCodigoNativo, FTextoMotor, FSQL;
};
