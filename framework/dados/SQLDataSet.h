#pragma once
// Small services over the current connection: one value, existence, counts, next code,
// one-column updates, deletes, and the statement block that processes fill and run.
//
// Table and column names are checked to be identifiers. Conditions are SQL fragments that
// callers build from literals (ValorParaSQL, ValorParaFiltro, FiltroIgual, FilterInterval),
// never from raw user text.
#include "Conexao.h"

#include <QStringList>
#include <QVariant>

class TnField;

class nDMSQLDataSet {
public:
    // One value of the first row; a QVariantList when `campos` names several (";" or ",");
    // an invalid QVariant (Null) when no row matches.
    static QVariant PegarValorCampo(const QString &tabela, const QString &campos, const QString &condicao,
                                    nDMConexao &c = nDMConexao::Atual());
    static bool PegarTemRegistro(const QString &tabela, const QString &campo, const QString &condicao,
                                 nDMConexao &c = nDMConexao::Atual());
    static qint64 PegarQtdRegistro(const QString &tabela, const QString &condicao,
                                   nDMConexao &c = nDMConexao::Atual());
    // The next free code: the greatest `campo` among the rows of `condicao` (or `minimo`
    // when there are none) plus `incremento`.
    static qint64 PegarProximoCodigo(const QString &tabela, const QString &campo, const QString &condicao,
                                     qint64 minimo = 0, qint64 incremento = 1,
                                     nDMConexao &c = nDMConexao::Atual());
    // The next number of a sequence column among the rows that the fields `escopo` of the
    // current row scope ("SEQK210" within a company, branch and competence): as
    // PegarProximoCodigo with minimum 0, each scope column compared with the field's value
    // bound (a null field: the rows where that column is null).
    static qint64 ProximaSequencia(const QString &tabela, const QString &coluna, const QList<const TnField *> &escopo,
                                   nDMConexao &c = nDMConexao::Atual());
    // Sets one column to `valor` (bound, never taken as SQL; null for NULL) on the rows of
    // `condicao`; answers the rows changed.
    static int UpDateValorCampo(const QString &tabela, const QString &campo, const QVariant &valor,
                                const QString &condicao, nDMConexao &c = nDMConexao::Atual());
    // Deletes the rows of `condicao` (an empty condition is refused: use a true condition
    // on purpose); answers the rows deleted.
    static int LimpaRegistro(const QString &tabela, const QString &condicao, nDMConexao &c = nDMConexao::Atual());
};

int ExecutarSQLDireto(const QString &sql, nDMConexao &c = nDMConexao::Atual());
QDateTime PegarDataServidor(bool comHora = true);
TTipoCon PegarTipoCon();

// Collects statements and runs them as a unit. Dialect and size decide how ToCommandList
// groups them into command texts (PostgreSQL: up to `tamanho`, default 200, per text;
// SQLite: one each). Executar runs them all in one call (nDMConexao::ExecutarComandos:
// statements of one shape prepared once, a pipeline on the server), inside the open
// transaction when there is one, else in a transaction of its own: all or nothing. A
// failure names the statement that failed (its position and text).
class TBlockCommand {
public:
    explicit TBlockCommand(TTipoCon dialeto, int tamanho = 0);
    void Add(const QString &sql);
    int Count() const { return int(FComandos.size()); }
    void Clear() { FComandos.clear(); }
    // The statements grouped as they will be sent.
    QStringList ToCommandList() const;
    // Runs every statement.
    void Executar(nDMConexao &c = nDMConexao::Atual());

private:
    TTipoCon FDialeto;
    int FTamanho;
    QStringList FComandos;
};
