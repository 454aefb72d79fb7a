#pragma once
// Reading statement texts the way the engines do: quoted text, quoted identifiers, comments
// and (PostgreSQL) escaped strings, dollar-quoted bodies and BEGIN ATOMIC bodies are
// stretches in which nothing is a placeholder or a statement end. Everything here is one
// pass over the text.
#include "Conexao.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// When a quoted text, a quoted identifier or a comment starts at `i`, answers the index of
// its last character (the text's last when it is not closed); otherwise -1.
qsizetype FimDeTrechoLiteral(QStringView sql, qsizetype i, TTipoCon dialeto);
// Rewrites ":nome" placeholders as "?" and lists the names by position (empty when the
// statement has only plain "?"); `total` counts every placeholder.
QString ConverterParametros(const QString &sql, TTipoCon dialeto, QStringList &nomes, int &total);
// The same "?" placeholders numbered as the server wants them: $1, $2...
QString NumerarParametros(const QString &sql);

// A statement of a text: where it starts and where it ends (before its ";"), and its first
// word in upper case.
struct TnTrechoComando {
    qsizetype Inicio = 0, Fim = 0;
    QString Palavra;
};
// The statements of `sql` as the engine splits them; blank and comment-only pieces are
// dropped. On SQLite a CREATE TRIGGER holds statements of its own: callers leave such texts
// to the engine (ComecaComCriacao).
std::vector<TnTrechoComando> DividirComandos(QStringView sql, TTipoCon dialeto);
// The end of the statement that starts at `i` (the position of its ";", or the text's end).
qsizetype FimDoComando(QStringView sql, qsizetype i, TTipoCon dialeto);
// The first word of the statement at `i` (upper case), blanks and comments skipped; `i`
// moves to it.
QString PrimeiraPalavra(QStringView sql, qsizetype &i, TTipoCon dialeto);
// Whether a schema statement may change a table's columns: any but creating or dropping a
// trigger, function, procedure or index (what the writers read of the catalog stays).
bool PodeMudarColunas(QStringView comando);
// Words of statements that manage the transaction or cannot run inside one.
bool EhControleDeTransacao(const QString &palavra);
// Words of statements that only read or write rows (no schema change).
bool EhComandoDeDados(const QString &palavra);

// A literal taken out of a statement (FormaDoComando).
struct TnLiteralSQL {
    enum TTipo { Inteiro, Decimal, Texto } Tipo = Inteiro;
    qint64 I = 0;  // Inteiro
    QString S;     // Decimal (as written) and Texto (quotes undone)
};
// An INSERT, UPDATE or DELETE written with literals, as the same statement with placeholders
// ("?" on SQLite, "$n" on PostgreSQL) and the literals apart, so that statements of one
// shape are prepared once and bound per row. Only literals that meet a column or an operator
// are taken (not the literal of a type, nor numbers with an exponent or beyond 64 bits);
// `tipos` gets one letter per literal (i, d, t). False when the statement is better run as
// written: any other kind of statement, one with placeholders, casts or special strings.
bool FormaDoComando(QStringView comando, TTipoCon dialeto, QString &forma, std::vector<TnLiteralSQL> &literais,
                    QString &tipos);

// Texts the engines cannot take: a NUL character ends a statement early on SQLite and is
// refused by the server, and a UTF-16 surrogate without its pair has no UTF-8 form (a literal
// and a bound value would store different characters). Answers the position of the first
// such character, or -1.
qsizetype CaractereInvalido(QStringView texto);
