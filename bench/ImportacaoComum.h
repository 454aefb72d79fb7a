#pragma once
// What the import benchmarks share: how many rows they write (ORVO_BENCH_IMPORTACAO, default
// 100,000), a new converted database file, and the current connection while a case runs.
#include "BenchComum.h"
#include "Conexao.h"
#include "ConversaoBanco.h"

#include <QFile>

#include <sqlite3.h>

#include <memory>

inline int QtdeImportacao()
{
    static const int n = qEnvironmentVariableIsSet("ORVO_BENCH_IMPORTACAO")
                             ? qEnvironmentVariableIntValue("ORVO_BENCH_IMPORTACAO")
                             : 100000;
    return n;
}

inline sqlite3 *HandleSqlite(nDMConexao &con) { return static_cast<sqlite3 *>(con.HandleSQLite()); }

// A new embedded database `nome` in the benchmarks' folder, converted (sample company 1).
inline std::unique_ptr<nDMConexao> BancoNovo(const QString &nome)
{
    for (const char *fim : {"", "-wal", "-shm"})
        QFile::remove(Pasta().filePath(nome + QLatin1String(fim)));
    auto con = AbrirBanco(nome);
    ConverterBanco(*con);
    return con;
}

// Makes a connection current while it lives, then gives back the one before.
class TnConexaoDoCaso {
public:
    explicit TnConexaoDoCaso(nDMConexao *con = nullptr) : FAntes(nDMConexao::AtualOuNulo()) { Definir(con); }
    ~TnConexaoDoCaso() { nDMConexao::DefinirAtual(FAntes); }
    void Definir(nDMConexao *con) { nDMConexao::DefinirAtual(con ? con : FAntes); }

private:
    nDMConexao *FAntes;
};
