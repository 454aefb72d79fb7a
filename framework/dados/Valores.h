#pragma once
// Numbers and dates: rounding, safe division, plain and masked number texts, date texts and
// the reading of numbers typed by users.
//
// Every function here works on the SHORTEST decimal form of a double: the fewest significant
// digits that read back as the same double (1.005 is "1.005", not 1.00499999999999989...).
// That is the number the user typed or saw, so rounding and counting decimals act on it and
// money rounds the way an accountant does it on paper.
//
// Nothing here depends on the C or Qt locale: texts for SQL use "." as the decimal point,
// texts for people use the Brazilian separators ("." thousands, "," decimals).
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

// Rounds v to `decimais` decimal digits, half away from zero, on v's shortest decimal form:
// RoundValor(1.005, 2) = 1.01, RoundValor(2.675, 2) = 2.68, RoundValor(-1.005, 2) = -1.01,
// RoundValor(0.125, 2) = 0.13. The result is the double nearest to the rounded decimal.
// - Negative `decimais` round to tens, hundreds...: RoundValor(1250, -2) = 1300.
// - A value that already has no more than `decimais` decimals is returned as it is (large
//   values, whose shortest form has no decimals, therefore come back unchanged).
// - NaN and infinities come back unchanged; a result that rounds to zero is +0 (never -0);
//   a rounding beyond the largest double (only with very negative `decimais`) gives ±infinity.
// It allocates nothing; only values lying right at a half (and decimals beyond 22) go
// through their decimal digits, the others are rounded by arithmetic with the same result.
double RoundValor(double v, int decimais);

// Money from quantity × unit cost: the exact product of the two values' shortest decimal
// forms, rounded half away from zero to `decimais` (nDecimal::Produto), as the double nearest
// to it: MultiplicarValor(3, 1.005, 2) = 3.02, where RoundValor(3 * 1.005, 2) gives 3.01.
// A product that does not fit 64 bits at those decimals (or a factor that is not finite)
// raises Exception naming both factors.
double MultiplicarValor(double a, double b, int decimais);

// A percentage of a value as money: valor × percentual / 100 from the two values' shortest
// decimal forms, exactly, rounded half away from zero to `decimais`: 1.15 at 50% is 0.58, where
// the doubles give 0.57. Raises Exception as MultiplicarValor does.
double PercentualDoValor(double valor, double percentual, int decimais);

// a / b, or 0 when b is 0 or the quotient is not a finite number (NaN, overflow).
double Dividir(double a, double b);

// Number of decimal digits of v's shortest decimal form: CountDec(1.5) = 1, CountDec(2.0) = 0,
// CountDec(0.1 + 0.2) = 17 (that sum is 0.30000000000000004). NaN and infinities count 0.
int CountDec(double v);

// Plain decimal text of v, locale-free, "." as decimal point, never an exponent, shortest
// form: 1e20 gives "100000000000000000000", 1e-7 gives "0.0000001", -0.0 gives "0".
// NaN and infinities give "NaN", "INF" and "-INF" (texts that no number reader accepts).
QString NumeroParaTexto(double v);
QString NumeroParaTexto(qint64 v);

// What a message quotes of a text someone typed or a file or reply brought: at most 60
// characters, then "…" (U+2026) when there were more; control characters shown as blanks.
// Every message that repeats such a text goes through here, so that a 100,000-character
// input never becomes a 100,000-character message.
QString TrechoCitado(QStringView texto);

// A number as a message shows it: the Brazilian decimal comma, every digit of its shortest
// form ("1234,5"); magnitudes of 10^21 and beyond in exponent form ("1e+308"); NaN and
// infinities as NumeroParaTexto.
QString NumeroParaMensagem(double v);

// Formats v with a display mask and the Brazilian separators ("." thousands, "," decimals).
// Mask characters:
//   0    a digit, always shown (leading or trailing zero when needed)
//   #    a digit, shown only when significant
//   .    position of the decimal point (the first one counts)
//   ,    anywhere: group the integer digits by thousands
//   '...' or "..."  literal text; any other character is copied as it is
// Up to three sections separated by ";": positive; negative; zero. A negative section prints
// the absolute value (it carries its own sign text); an empty or missing section falls back
// to the first one, which prints "-" before negative values. The zero section is used when
// the value rounds to zero at the first section's decimals. The value is rounded half away
// from zero (as RoundValor) to the section's decimals; a negative value that rounds to zero
// prints without "-". Exponent masks ("E+00") are not supported: "E" is plain text.
// FormatFloat("#,##0.000", 1234.5) = "1.234,500"; FormatFloat("0.00", -0.005) = "-0,01".
// An empty mask gives the shortest form with a decimal comma. NaN/infinities as NumeroParaTexto.
QString FormatFloat(const QString &mascara, double v);
// The same for an exact value kept as an integer scaled by 10^escala (a numeric's stored
// form), without passing through a double: every one of its digits is formatted, so
// FormatFloat("#,##0.00", 123456789012345678, 2) = "1.234.567.890.123.456,78".
QString FormatFloat(const QString &mascara, qint64 escalado, int escala);

// Formats a date and time. Codes (case-insensitive):
//   d dd ddd dddd    day; two digits; short and long Portuguese weekday name
//   m mm mmm mmmm    month; two digits; short and long Portuguese month name
//   yy yyyy          two- and four-digit year ("y" is as "yy", "yyy" as "yyyy")
//   h hh, n nn, s ss hour, minute, second; the doubled code pads to two digits
//   z zzz            milliseconds; zzz pads to three digits
//   "m"/"mm" right after an "h"/"hh" code (only other characters between) mean minutes.
//   '...' or "..." literal text; any other character ("/", ":", "-", blanks) is copied.
// An invalid date gives an empty text.
QString FormatDateTime(const QString &formato, const QDateTime &v);
QString FormatDateTime(const QString &formato, const QDate &v);

// Reads a number typed by a user. Accepted, after surrounding blanks are removed: an optional
// sign, digits, and "." or "," as separators:
//   - one separator is the decimal point: "1,5", "1.5", "1.234" (= 1.234), ",5";
//   - when both "." and "," appear, the LAST separator is the decimal point and every
//     separator before it must be the other character, grouping by thousands:
//     "1.234,56", "1,234.56", "1.234.567,89";
//   - the same separator several times is grouping: "1.234.567" = 1234567.
// Grouped digits must form valid thousands groups (1 to 3 digits, then groups of 3).
// Rejected: empty text, letters, inner blanks, exponents, "nan"/"inf", bad grouping
// ("1,2,3,4.5", "12.34.567"), numbers beyond the double range. -0 reads as 0.
bool TextoParaNumero(const QString &texto, double &valor);

// As TextoParaNumero, raising EConvertError ("\"abc\" não é um número válido.") on failure.
double StrToFloatBR(const QString &texto);

// Reads an integer typed by a user: optional sign and digits only (no separators), blanks
// around allowed, within the 64-bit range.
bool TextoParaInteiro(const QString &texto, qint64 &valor);

// A value read from the database or a variable as an int: a whole number, a double without
// a fraction, or a text TextoParaInteiro reads; `padrao` for null, anything else and values
// beyond the int range.
int VarToIntDef(const QVariant &valor, int padrao);

// Reads a date typed by a user: "31/12/2019" (day and month of one or two digits, a
// four-digit year) or "2019-12-31", blanks around allowed.
bool TextoParaData(QStringView texto, QDate &data);

// A month and year (the dictionary key DICDATAMESANO) is its month's FIRST day, everywhere:
// in parameters, fields, the selection and the database. TextoParaMesAno reads one typed by
// a user: "12/2019" or "2/2019", or a whole date (TextoParaData) naming its month; the
// result is the month's first day. PrimeiroDiaDoMes gives the value of d's month (a null
// date stays null); UltimoDiaDoMes the last day, the end of a range of months.
bool TextoParaMesAno(QStringView texto, QDate &primeiroDia);
QDate PrimeiroDiaDoMes(const QDate &d);
QDate UltimoDiaDoMes(const QDate &d);

// `texto` followed by `caractere` up to `tamanho` characters. A text already that long or
// longer comes back whole: whether it may be cut is the caller's to decide.
QString PreencherDireita(const QString &texto, int tamanho, QChar caractere = u' ');

// Turns a company's stored classification mask (CFGEMPRESAULMAR.MASCCLASSIFFISCALPROD, as
// "9999.99.99") into an input mask of an entry control (QLineEdit::setInputMask). In the
// stored mask "9", "0" and "#" stand for a digit; every other character is copied as a
// literal. `modo` 1: the digits may be left blank ("0000.00.00"); any other mode: each digit
// must be typed ("9999.99.99"). A null or blank mask gives an empty text (no mask).
QString PrepararMascara(const QVariant &mascara, int modo);

// A tax number (CNPJ, CPF) as typed or stored, punctuation and all ("12.345.678/0001-90"),
// reduced to its digits ("12345678000190"). Everything that is not a digit 0-9 goes.
QString LimparStrToInscricaoFederal(const QString &texto);

// Writes `texto` under an input mask prepared by PrepararMascara ("0000.00.00"): the
// letters and digits of the text (its punctuation and blanks dropped) fill the mask's
// places in order and the mask's literals go between them: "12345678" and "1234.56.78"
// under "0000.00.00" both give "1234.56.78". The text stops where its characters run out
// ("123456" gives "1234.56"); characters beyond the mask's places follow unmasked. The
// result is cut to `tamanho` characters (0: no limit). An empty mask leaves the trimmed
// text as it is (cut to `tamanho`).
QString FormatarConteudoMascara(const QString &texto, const QString &mascaraPreparada, int tamanho);
