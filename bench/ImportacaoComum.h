#pragma once
// What the import benchmarks share: how many rows they write (ORVO_BENCH_IMPORTACAO, default
// 100,000), the check of a call to SQLite's C interface, a new converted database file, and
// the current connection while a case runs.
#include "BenchComum.h"
#include "Conexao.h"
#include "ConversaoBanco.h"

#include <QFile>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

inline int QtdeImportacao()
{
    static const int n = qEnvironmentVariableIsSet("ORVO_BENCH_IMPORTACAO")
                             ? qEnvironmentVariableIntValue("ORVO_BENCH_IMPORTACAO")
                             : 100000;
    return n;
}

inline void ChecarSqlite(sqlite3 *db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

inline sqlite3 *HandleSqlite(nDMConexao &con) { return static_cast<sqlite3 *>(con.HandleSQLite()); }

// A new embedded database `nome` in the benchmarks' folder, converted (sample company 1).
inline std::unique_ptr<nDMConexao> BancoNovo(const QString &nome)
{
    GarantirApp();
    const QString arquivo = Pasta().filePath(nome);
    for (const char *fim : {"", "-wal", "-shm"})
        QFile::remove(arquivo + QLatin1String(fim));
    TnConfigBanco c;
    c.Tipo = tcSQLite;
    c.Arquivo = arquivo;
    auto con = std::make_unique<nDMConexao>(c);
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
