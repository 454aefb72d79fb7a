#pragma once
// Versioned conversion of the database: a module keeps one list of steps for both engines,
// and the table NVERSAOBANCO remembers, per module, the last step applied.
//
// ConverterBanco applies the steps the database lacks, in order, each in one transaction
// together with the new version number (all or nothing), so that a failed step leaves the
// version where it was and the next run starts again from that step. Running it on a
// converted database changes nothing. Each step re-reads the version under a lock, so two
// programs converting the same database at once do not apply a step twice.
//
// A step that creates tables creates those of the list that the database lacks (a table of
// the suite may already be there); a step that adds columns adds those the table lacks. So
// a new column goes into the table's declaration and into a new step: on an empty database
// the table is created with it and the later step finds it there.
#include "Conexao.h"
#include "Esquema.h"

#include <functional>
#include <vector>

enum TTipoPasso {
    tpCriarTabelas,     // Tabelas: tables of the schema, created in this order
    tpAdicionarColunas, // Tabelas: one table; Colunas: its columns in the schema
    tpExecutarSQL,      // SQLSQLite / SQLPostgreSQL: statements of each engine (";"-separated)
    // Tabelas: one table; Referencias: references of its declaration. A database whose
    // table was made before them gets them on PostgreSQL (its rows kept as they were, new
    // rows checked); SQLite cannot add them to an existing table and goes on without them.
    // A table created from the declaration has them already and is left alone.
    tpAdicionarReferencias
};

struct TnPassoConversao {
    int Versao = 0;
    TTipoPasso Tipo = tpCriarTabelas;
    QString Descricao{};
    QStringList Tabelas{};
    QStringList Colunas{};
    QStringList Referencias{};
    QString SQLSQLite{};
    QString SQLPostgreSQL{};
};

// Called after every conversion run that ends well, also when nothing was missing, with
// the version before and after the run. Not called when a step fails.
using TDepoisConverter = std::function<void(nDMConexao &con, int versaoAnterior, int versaoNova)>;
extern TDepoisConverter FDepoisConverter;

// Table of versions of the framework.
extern const char *const TabelaVersaoBanco;

// Applies the missing steps of `passos` for module `modulo` and answers the version reached.
// The steps are checked against the schema before anything runs.
int ConverterBanco(nDMConexao &con, const QString &modulo, const TnEsquema &esquema,
                   const std::vector<TnPassoConversao> &passos);

// Converts the database to the inventory module's schema (EsquemaTabelas.h).
int ConverterBanco(nDMConexao &con);

// The version of `modulo` in the database; 0 when it was never converted.
int VersaoBanco(nDMConexao &con, const QString &modulo);

bool TabelaExiste(nDMConexao &con, const QString &tabela);
bool ColunaExiste(nDMConexao &con, const QString &tabela, const QString &coluna);
// True when the table has a reference of that name (PostgreSQL), or one from the columns of
// `referencia` to its table (SQLite, which keeps no names of references).
bool ReferenciaExiste(nDMConexao &con, const QString &tabela, const TnChaveEstrangeiraEsq &referencia);
