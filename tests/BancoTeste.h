#pragma once
// Fixture for cases that need a database: a fresh empty SQLite file, or on the PostgreSQL
// runner a fresh schema on the server that the test command started. The connection is
// made current for the duration of the case.
#include "Conexao.h"
#include "ConversaoBanco.h"
#include "SQLDataSet.h"

#include <gtest/gtest.h>
#include <memory>

namespace teste {
// True in the runner that works on PostgreSQL.
bool EmPostgres();
// Settings of the server the PostgreSQL runner uses (from ORVO_TESTE_PG_* variables).
TnConfigBanco ConfigPostgres();
// A new database: SQLite in a temporary file, or a new schema on the server.
std::unique_ptr<nDMConexao> NovoBanco();
// Drops what NovoBanco made (the server schema); SQLite files go with the temporary folder.
void DescartarBanco(std::unique_ptr<nDMConexao> &c);
// Column `i` of the cursor's current row as text: null as "null", numbers in their shortest
// form ("4", "4.56"), dates as yyyy-mm-dd, anything else as the engine gives it.
QString TextoDaColuna(TnCursor &c, int i);
} // namespace teste

// Cases in suites derived from BancoTeste run on both runners; all other suites run on the
// SQLite runner only. On the PostgreSQL runner without a server the cases are skipped.
class BancoTeste : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    nDMConexao &con() { return *FCon; }
    // Rows of `tabela` on the case's database, those meeting `condicao` when one is given.
    qint64 Linhas(const QString &tabela, const QString &condicao = QString())
    {
        return nDMSQLDataSet::PegarQtdRegistro(tabela, condicao, con());
    }
    // From now on the database refuses, with `mensagem`, the rows of `tabela` that meet
    // `condicao` (on NEW) when they are inserted or updated (`evento` "insert" or "update"),
    // as a failing row would be; RetirarFalha takes the refusal away again.
    void InjetarFalha(const QString &tabela, const QString &evento, const QString &condicao,
                      const QString &mensagem = QStringLiteral("falha injetada"));
    void RetirarFalha(const QString &tabela, const QString &evento);
    std::unique_ptr<nDMConexao> FCon;
};

// A database already converted to the module's schema (with its sample company).
class BancoConvertido : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (!IsSkipped())
            ConverterBanco(con());
    }
};
