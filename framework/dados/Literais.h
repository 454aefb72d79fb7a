#pragma once
// Literals and conditions written into SQL text.
//
// A value never reaches a statement as typed: it is checked against the column's field type
// and rendered as a literal that SQLite and PostgreSQL read the same way. A value that does
// not fit its type raises EConvertError naming the value and the expected kind; no SQL is
// produced from it. Numbers are locale-free with "." as decimal point and never an exponent.
// Texts are quoted with ' and inner quotes doubled. On PostgreSQL this relies on
// standard_conforming_strings = on (the server default), under which a backslash inside a
// quoted text is an ordinary character.
#include "Tipos.h"

#include <QString>
#include <QVariant>

// The names of a ';'- or ','-joined list ("CODIGOEMPRESA; CODIGOESTAB"), trimmed; blank
// entries dropped.
QStringList NomesDaLista(const QString &lista);

// A plain SQL identifier, safe to write into statement text: ASCII letters, digits and "_",
// not starting with a digit.
bool EhIdentificador(QStringView s);

// Kinds of the values of a multi-value condition (FilterInterval).
enum TTipoValorFiltro { tvfNumerico, tvfTexto };

// SQL literal of v for a column of field type `tipo`:
//   null variant                  null
//   ftSmallint/Integer/Largeint   an integer: integer values, doubles without fraction and
//                                 texts holding an integer ("12", " -7 "); anything else
//                                 ("1.5", "abc", "1;drop") is an error. 64-bit codes keep
//                                 every digit.
//   ftFloat/ftBCD                 a plain decimal (NumeroParaTexto); integer values keep every
//                                 digit; a text is read with TextoParaNumero ("1.234,56").
//                                 NaN and infinities are errors.
//   ftString/ftMemo               'text' with ' doubled; a NUL character is an error
//   ftDate                        'YYYY-MM-DD' from a QDate, a QDateTime (its date) or a text
//                                 "dd/mm/yyyy" or "yyyy-mm-dd"
//   ftDateTime                    'YYYY-MM-DD HH:MM:SS', with .zzz only when the milliseconds
//                                 are not 0; from a QDateTime, a QDate (midnight) or a text
//                                 "dd/mm/yyyy[ hh:mm[:ss[.zzz]]]" or "yyyy-mm-dd[ |Thh:mm...]"
//   ftBoolean                     1 or 0, from a bool, 0/1 or the texts 0, 1, true, false
//   ftUnknown                     the kind follows the variant's own type
// A null (invalid) QDate or QDateTime is rendered as null. The field type only chooses the
// kind of literal: the range of a smallint or integer column is the database's to check.
QString ValorParaSQL(const QVariant &v, TFieldType tipo);

// Literal for a condition that is used both in SQL text and as the filter of an in-memory
// dataset. The filter language reads literals exactly as ValorParaSQL writes them (numbers
// with "." and no exponent, 'quoted text', 'YYYY-MM-DD' dates, 1/0, null), so this renders
// the same text as ValorParaSQL; it exists so that callers state where the literal goes.
QString ValorParaFiltro(const QVariant &v, TFieldType tipo);

// "campo = literal " (" and campo = literal " when comE), or "" when the value is null,
// a null date or a blank text. The result ends with a blank so more SQL can follow.
// `campo` must be a column name as in FilterInterval; the value is rendered by ValorParaSQL.
QString FiltroIgual(const QString &campo, const QVariant &valor, bool comE, TFieldType tipo);

// Condition from a multi-value parameter typed by the user. Grammar (see docs/filtros.md):
//   texto   := token { (";" | ",") token }      blanks around tokens are ignored,
//                                               empty tokens ("1;;2", "1;") are skipped
//   numeric token := number | range
//     number := ["-"] digits ["." digits]      "." is the decimal point
//     range  := number "-" number              both non-negative, start <= end
//   text token := any text without ";" and ","
//               | quoted text in ' or " (a doubled quote inside is one quote), which may
//                 hold ";" and ","; only blanks may follow the closing quote
// `campos` names one column or several separated by ";" ("A;B"): the condition holds when
// any of them matches. A column name is letters, digits and "_", not starting with a digit,
// with at most one "alias." prefix; anything else is an error.
// Rendering, per column: the single values as "COL = v" (one) or "COL in (v1, v2, ...)";
// the ranges in order, overlapping ones merged, each as "COL between a and b" (up to 64
// per column) or, beyond, as one search through them: on the current connection's SQLite
// the engine's function "orvo_nas_faixas(COL, 'a-b;c-d;...') = 1", elsewhere nested
// "case when COL < x then ... end" by sixteenths; so the cost stays near linear in the
// ranges to prepare and logarithmic per row; all joined with " or " inside parentheses (long
// chains are nested in groups of 100 so the SQL parser's depth limits are not hit). More
// than kMaximoTermosFiltro values and ranges are refused with a message.
// comE puts " and " in front. The result always ends with a blank, so more SQL can follow.
// Blank text gives "" (no condition). A token not valid for its kind raises EConvertError
// naming the token and the column; no SQL is produced.
//   FilterInterval("L.CODIGOESTAB", "1; 2; 10-20")
//     == " and (L.CODIGOESTAB in (1, 2) or L.CODIGOESTAB between 10 and 20) "
QString FilterInterval(const QString &campos, const QString &texto, TTipoValorFiltro tipo = tvfNumerico,
                       bool comE = true);
// The most values and ranges one FilterInterval takes (docs/filtros.md).
constexpr qsizetype kMaximoTermosFiltro = 50000;

// Whether `valor` is among the values that a multi-value text (the grammar of
// FilterInterval) designates: equal to one of its single values or inside one of its
// ranges, as the condition FilterInterval writes would find it. Numeric: by value ("2.0"
// holds 2), a value that is no number is in no list; text: exact, as typed. A blank text or
// a null value: false. A text that is not valid raises EConvertError as FilterInterval does.
//   CheckInInclusion(15, "1; 2; 10-20") == true
bool CheckInInclusion(const QVariant &valor, const QString &texto, TTipoValorFiltro tipo = tvfNumerico);
