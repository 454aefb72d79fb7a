#pragma once
// The engines behind nDMConexao, internal to the data layer (modules use nDMConexao).
//
// The connection opens the database through Qt's driver and keeps the numbered transactions
// and the wording of errors. An engine does the rest in its own dialect: the settings a new
// connection takes, statements prepared as TnComando with their TnCursor, texts of several
// statements, the statement that opens a transaction and the server's clock. Each engine
// lives in a unit of its own (MotorSQLite.cpp, MotorPostgres.cpp).
#include "Conexao.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TnMotor {
public:
    explicit TnMotor(nDMConexao &con) : FCon(con) {}
    virtual ~TnMotor() = default;
    TnMotor(const TnMotor &) = delete;
    TnMotor &operator=(const TnMotor &) = delete;

    // The settings every new connection takes, right after it opened.
    virtual void Configurar() = 0;
    // `sql` has its named parameters written as "?" already (`nomes` by position, empty for
    // a statement of plain "?"; `total` placeholders in all).
    virtual std::unique_ptr<TnComando> Preparar(const QString &sql, const QStringList &nomes, int total) = 0;
    // Runs a text of one or more statements without parameters, each in turn, split by the
    // engine's own rules; answers the rows the last one changed. The first failure stops it.
    // Outside a transaction, several statements run in one of their own (all or nothing),
    // unless one of them manages the transaction itself. Statements of one shape written
    // with different literals are prepared once and bound (TextoSQL.h: FormaDoComando).
    virtual int ExecutarTexto(const QString &sql) = 0;
    // The same for statements apart, in order, inside the transaction that is open; a
    // failure sets `falhou` to the position of the statement that failed before it throws.
    virtual int ExecutarComandos(const QStringList &comandos, int &falhou) = 0;
    // A batch of executions; the embedded engine runs each as it comes.
    virtual std::unique_ptr<TnLote> NovoLote();
    // Writes held back for a batch are sent (before another statement, a savepoint or a
    // commit) or dropped (before a rollback).
    virtual void Descarregar() {}
    virtual void Descartar() {}
    // The statement that opens the outermost transaction.
    virtual QString InicioTransacao(bool leitura) const = 0;
    // The outermost transaction opens in front of the next statement the engine sends,
    // rather than in an exchange of its own (the server: BEGIN leads the next pipeline).
    // False: the caller opens it now.
    virtual bool AdiarInicio() { return false; }
    // The transaction AdiarInicio held is still unopened (nothing was sent since): it is
    // forgotten, and ends without a statement. False when it was opened.
    virtual bool EsquecerInicioAdiado() { return false; }
    // Runs `lote` with the commit of the outermost transaction behind it, in one exchange.
    // False when the engine cannot (the caller runs the batch, then commits).
    virtual bool ConcluirEConfirmar(TnLote &, int &, std::vector<int> &) { return false; }
    // The server's date and time (the embedded engine: this machine's).
    virtual QDateTime DataServidor() = 0;

    // The count of exchanges of `con`, for its engine's commands and batches.
    static TnIdasEVoltas &Contagem(nDMConexao &con) { return con.FIdas; }
    // Where the exchanges are traced (RastrearIdasEVoltas), or null.
    static QStringList *Rastro(nDMConexao &con) { return con.FRastro; }

protected:
    // The number of the transaction a text of several statements runs in.
    static constexpr int kTransacaoDoTexto = -1002;
    // A statement that changes the schema makes the kept commands describe tables that are
    // no more: they go.
    void EsquecerGuardados(bool colunas = true);

    nDMConexao &FCon;
};

std::unique_ptr<TnMotor> CriarMotorSQLite(nDMConexao &con);
// Library-wide settings of SQLite, made once before the first connection opens.
void PrepararBibliotecaSQLite();
std::unique_ptr<TnMotor> CriarMotorPostgres(nDMConexao &con);

// The kind of a column of a declared SQL type ("NUMERIC(18,2)", "VARCHAR(40)", "DOUBLE
// PRECISION", "DATE", ...), as both engines' catalogs name them.
TnColunaInfo InfoDeTipoDeclarado(const QString &nome, const char *decl);

// Kinds of error (TErroBanco) of each engine's codes: SQLite's extended result code, and
// PostgreSQL's SQLSTATE with the message (which names the broken constraint).
int ClassificarErroSQLite(int codigo);
int ClassificarErroPostgres(const QString &estado, const QString &texto);
// The native code an embedded database that cannot be opened reports.
QString CodigoSQLiteNaoAbriu();
// What an SQLite code says of the file `arquivo` itself (read-only, damaged, full, cannot
// be opened), or a trigger's own refusal (`textoMotor`, written for the user), in the
// user's words; empty when the kind of error says it all.
QString DescricaoErroSQLite(int codigo, const QString &arquivo, const QString &textoMotor = QString());
