#pragma once
// The database schema as data: tables with their columns, primary key, unique rules,
// references and indexes, and the statements that create them on each engine.
//
// Both engines get the same names: the primary key PK_<TABLE>, unique rules UNQ_...,
// references FK_..., indexes IDX_... (PostgreSQL folds them to lower case, and the error
// classification tells a primary key from another unique rule by the "pk_" prefix).
//
// Where the engines differ, the SQLite side is made to store what PostgreSQL stores:
// - fixed-point columns (numeric(p,s), money is numeric(18,2)) are rewritten rounded to
//   their scale by triggers after insert and after update of the column, only when the
//   value differs from its rounding;
// - dates are ISO texts 'YYYY-MM-DD' and a check refuses any other text (an impossible
//   day, a date with a time), so that = and BETWEEN compare dates;
// - a unique rule whose NULLs count as equal becomes a unique index over
//   ifnull(column, X'00') for the nullable columns (a blob no stored value can equal);
//   PostgreSQL says UNIQUE NULLS NOT DISTINCT (version 15 or later).
#include "Conexao.h"
#include "Tipos.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

// Members left out of a designated initializer take these values.
struct TnColunaEsq {
    QString Nome{};
    TFieldType Tipo = ftUnknown;
    int Tamanho = 0;   // ftString: maximum length
    int Precisao = 0;  // ftBCD: digits
    int Escala = 0;    // ftBCD: decimals
    bool NaoNulo = false;
    QString Padrao{};  // default as an SQL literal ("0", "'1'"); empty: none
    bool Fixo = false; // ftString of fixed length: CHAR(n) instead of VARCHAR(n)
};

// Rows may not repeat the values of these columns.
struct TnRegraUnicaEsq {
    QString Nome{};
    QString Colunas{};       // ";"-joined
    bool NulosIguais = true; // two NULLs in the same column count as the same value
};

// What deleting a referenced row does: refused while referenced, or deletes the referring rows.
enum TAcaoExclusao { aeRestringir, aeCascata };

// A reference to the primary key of another table.
struct TnChaveEstrangeiraEsq {
    QString Nome{};
    QString Colunas{};    // ";"-joined, in the order of the referenced key
    QString TabelaRef{};
    QString ColunasRef{}; // the referenced table's primary key
    TAcaoExclusao AoExcluir = aeRestringir;
};

struct TnIndiceEsq {
    QString Nome{};
    QString Colunas{}; // ";"-joined
};

struct TnTabelaEsq {
    QString Nome{};
    std::vector<TnColunaEsq> Colunas{};
    QString ChavePrimaria{}; // ";"-joined
    std::vector<TnRegraUnicaEsq> Unicas{};
    std::vector<TnChaveEstrangeiraEsq> Estrangeiras{};
    std::vector<TnIndiceEsq> Indices{};

    // The column of this name (letter case ignored), or null.
    const TnColunaEsq *Coluna(const QString &nome) const;
    QString NomeChavePrimaria() const { return QStringLiteral("PK_") + Nome; }
};

using TnEsquema = std::vector<TnTabelaEsq>;

// The table of this name (letter case ignored), or null.
const TnTabelaEsq *TabelaDoEsquema(const TnEsquema &esquema, const QString &nome);

// Splits a ";"-joined list of names.
QStringList ListaNomes(const QString &lista);

// Checks the declarations and raises Exception naming the first fault: names that are not
// identifiers or repeat, types without size, keys and rules over missing columns, key
// columns that accept NULL, references that do not match the referenced primary key.
void ValidarEsquema(const TnEsquema &esquema);

// The column type as the engine is told it.
QString TipoSQL(const TnColunaEsq &c, TTipoCon tipo);

// Statements that create the table with its rules, indexes and (SQLite) triggers.
QStringList DDLCriarTabela(const TnTabelaEsq &t, TTipoCon tipo);

// Statements that add one column of the table's declaration to an existing table.
QStringList DDLAdicionarColuna(const TnTabelaEsq &t, const QString &coluna, TTipoCon tipo);

// The reference of table `t` that a refused insert or update of a row broke: the one the
// engine names (PostgreSQL), or the first whose referenced row is missing for the row's
// values (`valor` answers a column's value; SQLite names no reference). Null when none of
// them was broken (a row still referenced was deleted, or the refusal was another one).
const TnChaveEstrangeiraEsq *ReferenciaRecusada(nDMConexao &con, const TnTabelaEsq &t,
                                                const std::function<QVariant(const QString &)> &valor,
                                                const QString &textoMotor);

// The statement that adds one reference of the table's declaration to an existing table on
// PostgreSQL. The rows already there are kept as they are (NOT VALID); rows written from
// then on are checked. SQLite cannot add a reference to an existing table: Exception.
QString DDLAdicionarReferencia(const TnTabelaEsq &t, const QString &referencia, TTipoCon tipo);
