#include "Literais.h"

#include "Conexao.h"
#include "Excecoes.h"
#include "TextoSQL.h"
#include "Valores.h"

#include <QDate>
#include <QLocale>
#include <QDateTime>
#include <QStringList>
#include <QTime>
#include <cmath>
#include <limits>

namespace {

// What a variant holds, as far as literals care.
enum class Classe { Nulo, Inteiro, SemSinal, Real, Texto, Logico, Data, DataHora, Outro };

Classe Classificar(const QVariant &v)
{
    if (EhNulo(v))
        return Classe::Nulo;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return Classe::Logico;
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return Classe::Inteiro;
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return Classe::SemSinal;
    case QMetaType::Float:
    case QMetaType::Double:
        return Classe::Real;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return Classe::Texto;
    case QMetaType::QDate:
        return v.toDate().isValid() ? Classe::Data : Classe::Nulo;
    case QMetaType::QDateTime:
        return v.toDateTime().isValid() ? Classe::DataHora : Classe::Nulo;
    default:
        return Classe::Outro;
    }
}

// The value as shown in a message (TrechoCitado).
QString Exibir(const QString &t) { return TrechoCitado(t); }

QString Exibir(const QVariant &v)
{
    if (Classificar(v) == Classe::Real)
        return TrechoCitado(NumeroParaTexto(v.toDouble()));
    return Exibir(v.toString());
}

// `esperado` completes "... não é <esperado>", e.g. "um número inteiro válido".
[[noreturn]] void Rejeitar(const QVariant &v, const QString &esperado)
{
    throw EConvertError(QStringLiteral("\"%1\" não é %2.").arg(Exibir(v), esperado));
}

// 'text' with inner quotes doubled. A NUL cannot be stored in a text column (PostgreSQL
// refuses it; in SQLite it ends the statement text), and half a UTF-16 pair has no UTF-8
// form (the literal would hold another character than a bound value): both are refused,
// naming the value.
QString TextoSQL(const QString &t)
{
    if (const qsizetype k = CaractereInvalido(t); k >= 0)
        throw EConvertError(QStringLiteral("O texto \"%1\" contém %2, que não pode ser gravado.")
                                .arg(Exibir(t), t[k].unicode() == 0 ? QStringLiteral("o caractere nulo (código 0)")
                                                                    : QStringLiteral("metade de um par UTF-16")));
    QString r;
    r.reserve(t.size() + 2);
    r += u'\'';
    for (const QChar c : t) {
        if (c == u'\'')
            r += u'\'';
        r += c;
    }
    r += u'\'';
    return r;
}

// Literal of a value that holds an integer by its type (bool, integer types).
bool LiteralDeInteiro(const QVariant &v, Classe c, QString &out)
{
    switch (c) {
    case Classe::Logico:
        out = v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        return true;
    case Classe::Inteiro:
        out = QString::number(v.toLongLong());
        return true;
    case Classe::SemSinal:
        out = QString::number(v.toULongLong());
        return true;
    default:
        return false;
    }
}

QString LiteralInteiro(const QVariant &v, Classe c)
{
    QString r;
    if (c == Classe::SemSinal && v.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
        Rejeitar(v, QStringLiteral("um número inteiro válido"));
    if (LiteralDeInteiro(v, c, r))
        return r;
    if (c == Classe::Real) {
        const double d = v.toDouble();
        // 2^63 is exact in a double; [-2^63, 2^63) is the 64-bit range
        if (std::isfinite(d) && d == std::trunc(d) && d >= -9223372036854775808.0 && d < 9223372036854775808.0)
            return QString::number(qint64(d));
    } else if (c == Classe::Texto) {
        qint64 i = 0;
        if (TextoParaInteiro(v.toString(), i))
            return QString::number(i);
    }
    Rejeitar(v, QStringLiteral("um número inteiro válido"));
}

QString LiteralReal(const QVariant &v, Classe c)
{
    QString r;
    if (LiteralDeInteiro(v, c, r))
        return r;
    if (c == Classe::Real) {
        if (std::isfinite(v.toDouble()))
            return TrechoCitado(NumeroParaTexto(v.toDouble()));
    } else if (c == Classe::Texto) {
        double d = 0;
        if (TextoParaNumero(v.toString(), d))
            return NumeroParaTexto(d);
    }
    Rejeitar(v, QStringLiteral("um número válido"));
}

QString LiteralTexto(const QVariant &v, Classe c)
{
    if (c == Classe::Real)
        return TextoSQL(NumeroParaTexto(v.toDouble()));
    if (c == Classe::Outro && !v.canConvert<QString>())
        Rejeitar(v, QStringLiteral("um texto válido"));
    return TextoSQL(v.toString());
}

// Dates have four-digit years in both engines' text forms.
bool AnoValido(const QDate &d)
{
    return d.isValid() && d.year() >= 1 && d.year() <= 9999;
}

// "dd/mm/yyyy" (day and month may have one digit) or "yyyy-mm-dd".
bool LerData(const QString &t, QDate &d)
{
    d = QDate::fromString(t, t.contains(u'/') ? QStringLiteral("d/M/yyyy") : QStringLiteral("yyyy-MM-dd"));
    return AnoValido(d);
}

// A date, optionally followed by a blank or "T" and "hh:mm[:ss[.zzz]]". Date and time are
// read apart, never as a local QDateTime: a time in a daylight-saving gap stays as typed.
bool LerDataHora(const QString &texto, QDate &d, QTime &h)
{
    const QString t = texto.trimmed();
    qsizetype sep = t.indexOf(u' ');
    if (sep < 0)
        sep = t.indexOf(u'T');
    if (!LerData(sep < 0 ? t : t.left(sep), d))
        return false;
    if (sep < 0) {
        h = QTime(0, 0);
        return true;
    }
    const QString parteHora = t.mid(sep + 1).trimmed();
    for (const char *formato : {"h:mm:ss.zzz", "h:mm:ss", "h:mm"}) {
        h = QTime::fromString(parteHora, QLatin1String(formato));
        if (h.isValid())
            return true;
    }
    return false;
}

void Digitos(QString &out, int v, int largura)
{
    char buf[8];
    for (int i = largura - 1; i >= 0; --i, v /= 10)
        buf[i] = char('0' + v % 10);
    out += QLatin1String(buf, largura);
}

// Appends YYYY-MM-DD.
void DataISO(QString &out, const QDate &d)
{
    Digitos(out, d.year(), 4);
    out += u'-';
    Digitos(out, d.month(), 2);
    out += u'-';
    Digitos(out, d.day(), 2);
}

QString LiteralData(const QVariant &v, Classe c)
{
    QDate d;
    if (c == Classe::Data)
        d = v.toDate();
    else if (c == Classe::DataHora)
        d = v.toDateTime().date();
    else if (c == Classe::Texto)
        LerData(v.toString().trimmed(), d);
    if (!AnoValido(d))
        Rejeitar(v, QStringLiteral("uma data válida"));
    QString r(1, u'\'');
    DataISO(r, d);
    r += u'\'';
    return r;
}

QString LiteralDataHora(const QVariant &v, Classe c)
{
    QDate d;
    QTime h(0, 0);
    if (c == Classe::DataHora) {
        const QDateTime dt = v.toDateTime();
        d = dt.date();
        h = dt.time();
    } else if (c == Classe::Data) {
        d = v.toDate();
    } else if (c == Classe::Texto) {
        if (!LerDataHora(v.toString(), d, h))
            d = QDate();
    }
    if (!AnoValido(d) || !h.isValid())
        Rejeitar(v, QStringLiteral("uma data e hora válida"));
    QString r(1, u'\'');
    DataISO(r, d);
    r += u' ';
    Digitos(r, h.hour(), 2);
    r += u':';
    Digitos(r, h.minute(), 2);
    r += u':';
    Digitos(r, h.second(), 2);
    if (h.msec() != 0) {
        r += u'.';
        Digitos(r, h.msec(), 3);
    }
    r += u'\'';
    return r;
}

QString LiteralLogico(const QVariant &v, Classe c)
{
    int b = -1;
    if (c == Classe::Logico) {
        b = v.toBool() ? 1 : 0;
    } else if (c == Classe::Inteiro || c == Classe::SemSinal || c == Classe::Real) {
        const double d = v.toDouble();
        b = d == 0 ? 0 : d == 1 ? 1 : -1;
    } else if (c == Classe::Texto) {
        const QString t = v.toString().trimmed().toLower();
        b = (t == u"1" || t == u"true") ? 1 : (t == u"0" || t == u"false") ? 0 : -1;
    }
    if (b < 0)
        Rejeitar(v, QStringLiteral("um valor lógico válido"));
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

TFieldType TipoDoValor(Classe c)
{
    switch (c) {
    case Classe::Logico:
        return ftBoolean;
    case Classe::Inteiro:
    case Classe::SemSinal:
        return ftLargeint;
    case Classe::Real:
        return ftFloat;
    case Classe::Data:
        return ftDate;
    case Classe::DataHora:
        return ftDateTime;
    default:
        return ftString;
    }
}

// A column name: an identifier with at most one "alias." in front. Returned trimmed.
QStringView ChecarColuna(QStringView nome)
{
    const QStringView s = nome.trimmed();
    const qsizetype ponto = s.indexOf(u'.');
    const bool ok = ponto < 0 ? EhIdentificador(s) : EhIdentificador(s.left(ponto)) && EhIdentificador(s.mid(ponto + 1));
    if (!ok)
        throw EConvertError(QStringLiteral("Nome de coluna inválido: \"%1\".").arg(Exibir(nome.toString())));
    return s;
}

} // namespace

bool EhIdentificador(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        const bool letra = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        const bool digito = c >= u'0' && c <= u'9';
        if (!letra && !(digito && i > 0))
            return false;
    }
    return true;
}

QString ValorParaSQL(const QVariant &v, TFieldType tipo)
{
    const Classe c = Classificar(v);
    if (c == Classe::Nulo)
        return QStringLiteral("null");
    switch (tipo == ftUnknown ? TipoDoValor(c) : tipo) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
        return LiteralInteiro(v, c);
    case ftFloat:
    case ftBCD:
        return LiteralReal(v, c);
    case ftDate:
        return LiteralData(v, c);
    case ftDateTime:
        return LiteralDataHora(v, c);
    case ftBoolean:
        return LiteralLogico(v, c);
    case ftString:
    case ftMemo:
    case ftUnknown:
        break;
    }
    return LiteralTexto(v, c);
}

QString ValorParaFiltro(const QVariant &v, TFieldType tipo)
{
    return ValorParaSQL(v, tipo);
}

QString FiltroIgual(const QString &campo, const QVariant &valor, bool comE, TFieldType tipo)
{
    const QStringView coluna = ChecarColuna(campo);
    const Classe c = Classificar(valor);
    if (c == Classe::Nulo || (c == Classe::Texto && valor.toString().trimmed().isEmpty()))
        return QString();
    QString r = comE ? QStringLiteral(" and ") : QString();
    r += coluna;
    r += QStringLiteral(" = ");
    r += ValorParaSQL(valor, tipo);
    r += u' ';
    return r;
}

// ---------------------------------------------------------------------------------------
// FilterInterval

namespace {

[[noreturn]] void ErroFiltro(QStringView token, const QString &campos, const QString &motivo)
{
    const QString onde = campos.trimmed().isEmpty() ? QString() : QStringLiteral(" de ") + campos.trimmed();
    const QString valor = Exibir(token.toString());
    throw EFiltroInvalido(QStringLiteral("Valor \"%1\" inválido no filtro%2: %3").arg(valor, onde, motivo), valor, motivo);
}

// Canonical text of a decimal "[-]digits[.digits]": no leading zeros in the integer part,
// no trailing zeros in the fraction, "-0" as "0". False when t is not such a number.
bool NumeroCanonico(QStringView t, bool aceitaNegativo, QString &out)
{
    qsizetype i = 0;
    const bool neg = aceitaNegativo && t.startsWith(u'-');
    if (neg)
        ++i;
    auto digitos = [&] {
        const qsizetype ini = i;
        while (i < t.size() && t[i] >= u'0' && t[i] <= u'9')
            ++i;
        return t.mid(ini, i - ini);
    };
    QStringView inteiro = digitos();
    if (inteiro.isEmpty())
        return false;
    QStringView fracao;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        fracao = digitos();
        if (fracao.isEmpty())
            return false;
    }
    if (i != t.size())
        return false;
    while (inteiro.size() > 1 && inteiro.front() == u'0')
        inteiro = inteiro.mid(1);
    while (!fracao.isEmpty() && fracao.back() == u'0')
        fracao.chop(1);
    out.clear();
    if (neg && !(inteiro == u"0" && fracao.isEmpty()))
        out += u'-';
    out += inteiro;
    if (!fracao.isEmpty()) {
        out += u'.';
        out += fracao;
    }
    return true;
}

// Compares two canonical non-negative decimals.
int CompararDecimais(const QString &a, const QString &b)
{
    const qsizetype ia = a.contains(u'.') ? a.indexOf(u'.') : a.size();
    const qsizetype ib = b.contains(u'.') ? b.indexOf(u'.') : b.size();
    if (ia != ib)
        return ia < ib ? -1 : 1;
    return a.compare(b); // same integer length: digit by digit
}

bool EhSeparador(QChar c)
{
    return c == u';' || c == u',';
}

// Splits the typed text into tokens at ";" and ",". With `aspas`, a token that starts with
// ' or " runs to the matching quote (doubled quotes inside are one quote) and may hold the
// separators. Calls f(valor, bruto) for each non-empty token (quoted ones always).
template<class F>
void SepararTokens(QStringView t, bool aspas, const QString &campos, F f)
{
    const qsizetype n = t.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && t[i].isSpace())
            ++i;
        if (aspas && i < n && (t[i] == u'\'' || t[i] == u'"')) {
            const QChar q = t[i];
            QString valor;
            qsizetype j = i + 1;
            bool fechado = false;
            while (j < n) {
                if (t[j] == q) {
                    if (j + 1 < n && t[j + 1] == q) {
                        valor += q;
                        j += 2;
                        continue;
                    }
                    fechado = true;
                    ++j;
                    break;
                }
                valor += t[j++];
            }
            if (!fechado)
                ErroFiltro(t.mid(i), campos, QStringLiteral("aspas sem fechamento."));
            qsizetype k = j;
            while (k < n && t[k].isSpace())
                ++k;
            if (k < n && !EhSeparador(t[k])) {
                while (k < n && !EhSeparador(t[k]))
                    ++k;
                ErroFiltro(t.mid(i, k - i).trimmed(), campos, QStringLiteral("há texto depois das aspas."));
            }
            f(valor, t.mid(i, j - i));
            i = k + 1;
        } else {
            qsizetype j = i;
            while (j < n && !EhSeparador(t[j]))
                ++j;
            const QStringView token = t.mid(i, j - i).trimmed();
            if (!token.isEmpty())
                f(token.toString(), token);
            i = j + 1;
        }
    }
}

// Many ranges: a search in the statement itself, by sixteenths,
//   case when COL < <start of the 2nd group> then <the 1st group>
//        when COL < <start of the 3rd group> then <the 2nd group> ... else <the last> end
// down to groups of up to 16 "COL between a and b" joined with "or": a row meets a few dozen
// comparisons instead of one per range, the text grows in proportion to the ranges, and the
// nesting stays shallow (SQLite's parser has a small stack). `faixas` are in order and do
// not overlap.
QString ArvoreDeFaixas(const QString &col, const QList<std::pair<QString, QString>> &faixas, qsizetype ini, qsizetype fim)
{
    constexpr qsizetype kRamos = 16;
    const qsizetype n = fim - ini + 1;
    if (n <= kRamos) {
        QStringList ou;
        for (qsizetype k = ini; k <= fim; ++k)
            ou << col + QStringLiteral(" between ") + faixas[k].first + QStringLiteral(" and ") + faixas[k].second;
        return u'(' + ou.join(QStringLiteral(" or ")) + u')';
    }
    // Groups of about the same size, each a subtree.
    qsizetype porGrupo = kRamos;
    while (porGrupo * kRamos < n)
        porGrupo *= kRamos;
    QString r = QStringLiteral("case");
    for (qsizetype g = ini; g <= fim; g += porGrupo) {
        const qsizetype ultimo = std::min(fim, g + porGrupo - 1);
        const QString sub = ArvoreDeFaixas(col, faixas, g, ultimo);
        if (ultimo == fim)
            r += QStringLiteral(" else ") + sub;
        else
            r += QStringLiteral(" when %1 < %2 then %3").arg(col, faixas[ultimo + 1].first, sub);
    }
    return r + QStringLiteral(" end");
}

// Joins conditions with " or ". Past 100 terms they are nested in parenthesised groups of
// 100, so a long list of conditions does not exceed SQLite's expression depth (1000).
QString JuntarOu(QStringList partes)
{
    constexpr qsizetype kGrupo = 100;
    while (partes.size() > kGrupo) {
        QStringList grupos;
        grupos.reserve(partes.size() / kGrupo + 1);
        for (qsizetype i = 0; i < partes.size(); i += kGrupo)
            grupos << u'(' + partes.mid(i, kGrupo).join(QStringLiteral(" or ")) + u')';
        partes = std::move(grupos);
    }
    return partes.join(QStringLiteral(" or "));
}

} // namespace

namespace {

// The values a multi-value text designates: single values (canonical numbers, or texts as
// typed) and ranges (canonical non-negative numbers). `campos` only names the filter in
// errors.
struct TnValoresFiltro {
    QStringList Simples;
    QList<std::pair<QString, QString>> Faixas;
};

TnValoresFiltro LerValoresFiltro(const QString &campos, const QString &texto, TTipoValorFiltro tipo)
{
    TnValoresFiltro r;
    QString a, b;
    if (tipo == tvfTexto) {
        SepararTokens(texto, true, campos, [&](const QString &valor, QStringView bruto) {
            if (const qsizetype k = CaractereInvalido(valor); k >= 0)
                ErroFiltro(bruto, campos, valor[k].unicode() == 0 ? QStringLiteral("o texto contém o caractere nulo.")
                                                                  : QStringLiteral("o texto contém metade de um par UTF-16."));
            r.Simples << valor;
        });
        return r;
    }
    const QString motivo = QStringLiteral("use números (como 10 ou 2.5) ou intervalos (como 10-20), "
                                          "separados por \";\".");
    SepararTokens(texto, false, campos, [&](const QString &, QStringView token) {
        const qsizetype traco = token.indexOf(u'-', 1);
        if (traco < 0) {
            if (!NumeroCanonico(token, true, a))
                ErroFiltro(token, campos, motivo);
            r.Simples << a;
            return;
        }
        if (!NumeroCanonico(token.left(traco).trimmed(), false, a) ||
            !NumeroCanonico(token.mid(traco + 1).trimmed(), false, b))
            ErroFiltro(token, campos, motivo);
        if (CompararDecimais(a, b) > 0)
            ErroFiltro(token, campos, QStringLiteral("o início do intervalo é maior que o fim."));
        r.Faixas.append({a, b});
    });
    return r;
}

// Compares two canonical decimals of any sign.
int CompararComSinal(const QString &a, const QString &b)
{
    const bool na = a.startsWith(u'-'), nb = b.startsWith(u'-');
    if (na != nb)
        return na ? -1 : 1;
    return na ? CompararDecimais(b.mid(1), a.mid(1)) : CompararDecimais(a, b);
}

} // namespace

QString FilterInterval(const QString &campos, const QString &texto, TTipoValorFiltro tipo, bool comE)
{
    // Up to this many ranges a column's ranges are plain "between" conditions joined with
    // "or" (an index on the column can serve each); beyond, a search by halves.
    constexpr qsizetype kFaixasEmSequencia = 64;
    QList<QStringView> colunas;
    for (const QStringView parte : QStringView(campos).split(u';'))
        colunas << ChecarColuna(parte);
    if (texto.trimmed().isEmpty())
        return QString();

    TnValoresFiltro valores = LerValoresFiltro(campos, texto, tipo);
    QStringList &simples = valores.Simples; // literals of the single values
    if (tipo == tvfTexto)
        for (QString &v : simples)
            v = TextoSQL(v);
    auto &faixas = valores.Faixas; // ranges, as canonical numbers
    if (simples.isEmpty() && faixas.isEmpty())
        return QString();
    const qsizetype termos = simples.size() + faixas.size();
    if (termos > kMaximoTermosFiltro)
        throw EConvertError(QStringLiteral("O filtro de %1 tem %2 valores e intervalos; o máximo é %3. "
                                           "Use intervalos mais largos ou menos valores.")
                                .arg(campos.trimmed())
                                .arg(termos)
                                .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(kMaximoTermosFiltro)));

    // Ranges in order, those that overlap made one: a row is looked for among them by
    // halves, not one after another.
    std::sort(faixas.begin(), faixas.end(), [](const auto &x, const auto &y) { return CompararDecimais(x.first, y.first) < 0; });
    QList<std::pair<QString, QString>> juntas;
    for (const auto &f : faixas) {
        if (!juntas.isEmpty() && CompararDecimais(f.first, juntas.back().second) <= 0) {
            if (CompararDecimais(f.second, juntas.back().second) > 0)
                juntas.back().second = f.second;
        } else {
            juntas.append(f);
        }
    }

    const QString lista = simples.size() > 1 ? simples.join(QStringLiteral(", ")) : QString();
    const nDMConexao *atual = nDMConexao::AtualOuNulo();
    const bool embutido = atual && atual->PegarTipoCon() == tcSQLite;
    QStringList partes;
    partes.reserve(colunas.size() * (1 + qMin(juntas.size(), qsizetype(kFaixasEmSequencia))));
    for (const QStringView coluna : colunas) {
        const QString col = coluna.toString();
        if (simples.size() == 1)
            partes << col + QStringLiteral(" = ") + simples.front();
        else if (simples.size() > 1)
            partes << col + QStringLiteral(" in (") + lista + u')';
        if (juntas.size() <= kFaixasEmSequencia) {
            for (const auto &[ini, fim] : juntas)
                partes << col + QStringLiteral(" between ") + ini + QStringLiteral(" and ") + fim;
        } else if (embutido) {
            // SQLite prepares long expressions in time quadratic in their constants: the
            // ranges go as one text to the engine's search function instead.
            QString todas;
            todas.reserve(juntas.size() * 12);
            for (const auto &[ini, fim] : juntas) {
                if (!todas.isEmpty())
                    todas += u';';
                todas += ini + u'-' + fim;
            }
            partes << QStringLiteral("orvo_nas_faixas(%1, '%2') = 1").arg(col, todas);
        } else {
            partes << ArvoreDeFaixas(col, juntas, 0, juntas.size() - 1);
        }
    }
    QString r = comE ? QStringLiteral(" and (") : QStringLiteral("(");
    r += JuntarOu(std::move(partes));
    r += QStringLiteral(") ");
    return r;
}

QStringList NomesDaLista(const QString &lista)
{
    QStringList r;
    qsizetype inicio = 0;
    for (qsizetype i = 0; i <= lista.size(); ++i)
        if (i == lista.size() || lista[i] == u';' || lista[i] == u',') {
            const QString n = lista.mid(inicio, i - inicio).trimmed();
            if (!n.isEmpty())
                r << n;
            inicio = i + 1;
        }
    return r;
}

bool CheckInInclusion(const QVariant &valor, const QString &texto, TTipoValorFiltro tipo)
{
    if (texto.trimmed().isEmpty())
        return false;
    const TnValoresFiltro valores = LerValoresFiltro(QString(), texto, tipo);
    if (EhNulo(valor))
        return false;
    if (tipo == tvfTexto)
        return valores.Simples.contains(valor.toString());
    QString v;
    switch (valor.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
        NumeroCanonico(NumeroParaTexto(valor.toLongLong()), true, v);
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        if (!NumeroCanonico(NumeroParaTexto(valor.toDouble()), true, v))
            return false; // NaN and infinities are in no list
        break;
    default:
        if (!NumeroCanonico(QStringView(valor.toString()).trimmed(), true, v))
            return false;
    }
    for (const QString &s : valores.Simples)
        if (s == v)
            return true;
    for (const auto &[ini, fim] : valores.Faixas)
        if (CompararComSinal(ini, v) <= 0 && CompararComSinal(v, fim) <= 0)
            return true;
    return false;
}
