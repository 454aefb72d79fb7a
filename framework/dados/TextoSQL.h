#pragma once
// Reading statement texts the way both engines do: quoted text, quoted identifiers and
// comments are stretches in which nothing is a placeholder or a statement end.
#include <QString>
#include <QStringList>

// When a quoted text, a quoted identifier or a comment starts at `i`, answers the index of
// its last character; otherwise -1.
int FimDeTrechoLiteral(const QString &sql, int i);
// Rewrites ":nome" placeholders as "?" and lists the names by position (empty when the
// statement has only plain "?"); `total` counts every placeholder.
QString ConverterParametros(const QString &sql, QStringList &nomes, int &total);
// Splits a text of several statements at the ";" that end them; blank pieces are dropped.
QStringList DividirComandos(const QString &sql);
