#include "Valores.h"

#include "Decimal.h"
#include "Excecoes.h"
#include "Tipos.h"

#include <QLocale>
#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Exact powers of ten representable in a double.
constexpr double kPot10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A finite double as its shortest decimal form: value = (neg ? -1 : 1) × digits × 10^pot,
// digits without leading or trailing zeros ("0" for zero, then pot is 0).
struct Decimal {
    bool neg = false;
    int n = 0;    // number of digits
    int pot = 0;  // power of ten of the last digit
    char dig[24]; // 17 significant digits at most, plus room for a carry
};

void Decompor(double v, Decimal &d)
{
    // Scientific notation gives the shortest round-trip digits in one uniform shape:
    // [-]d[.ddd]e±xx
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    const char *p = buf;
    d.neg = (*p == '-');
    if (d.neg)
        ++p;
    d.n = 0;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            d.dig[d.n++] = *p;
    ++p;
    const bool expNeg = (*p == '-');
    ++p;
    int e = 0;
    for (; p < r.ptr; ++p)
        e = e * 10 + (*p - '0');
    if (expNeg)
        e = -e;
    while (d.n > 1 && d.dig[d.n - 1] == '0')
        --d.n; // "1.50e+00" is not produced, but keep the form canonical anyway
    d.pot = e - (d.n - 1);
    if (d.n == 1 && d.dig[0] == '0') {
        d.neg = false;
        d.pot = 0;
    }
}

// Rounds d to `decimais` decimals, half away from zero, on its digits. Returns false when d
// already has no more decimals than that (d is left as it is).
bool ArredondarDigitos(Decimal &d, int decimais)
{
    if (-d.pot <= decimais)
        return false;
    const int manter = d.n + d.pot + decimais; // digits left of the rounding position
    if (manter < 0 || (manter == 0 && d.dig[0] < '5')) {
        d.neg = false;
        d.n = 1;
        d.dig[0] = '0';
        d.pot = 0;
        return true;
    }
    const bool sobe = d.dig[manter] >= '5';
    d.n = manter;
    d.pot = -decimais;
    if (sobe) {
        int i = d.n - 1;
        while (i >= 0 && d.dig[i] == '9')
            d.dig[i--] = '0';
        if (i >= 0) {
            ++d.dig[i];
        } else {
            // all nines (or nothing kept): a 1 in front
            for (int k = d.n; k > 0; --k)
                d.dig[k] = d.dig[k - 1];
            d.dig[0] = '1';
            ++d.n;
        }
    }
    while (d.n > 1 && d.dig[d.n - 1] == '0') {
        --d.n;
        ++d.pot;
    }
    if (d.n == 1 && d.dig[0] == '0') {
        d.neg = false;
        d.pot = 0;
    }
    return true;
}

// Largest text of Plano: 309 integer digits (1.8e308) or "0." + 323 zeros + 17 digits.
constexpr int kTamPlano = 360;

// Writes d as plain decimal text "[-]int[.frac]" into buf; returns its length and sets
// `ponto` to the position of "." (or the length when there are no decimals).
int Plano(const Decimal &d, char *buf, int &ponto)
{
    int k = 0;
    if (d.neg)
        buf[k++] = '-';
    if (d.pot >= 0) {
        for (int i = 0; i < d.n; ++i)
            buf[k++] = d.dig[i];
        for (int i = 0; i < d.pot; ++i)
            buf[k++] = '0';
        ponto = k;
        return k;
    }
    const int inteiros = d.n + d.pot; // digits before the point
    if (inteiros > 0) {
        for (int i = 0; i < inteiros; ++i)
            buf[k++] = d.dig[i];
    } else {
        buf[k++] = '0';
    }
    ponto = k;
    buf[k++] = '.';
    for (int i = inteiros; i < 0; ++i)
        buf[k++] = '0';
    for (int i = inteiros > 0 ? inteiros : 0; i < d.n; ++i)
        buf[k++] = d.dig[i];
    return k;
}

QString NaoFinito(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

} // namespace

double RoundValor(double v, int decimais)
{
    if (!std::isfinite(v))
        return v;
    // No double has more than 340 decimals, and any double rounds to 0 at 10^400.
    decimais = std::clamp(decimais, -400, 400);
    if (decimais >= 0 && decimais <= 22) {
        // Short path. With t = |v| × 10^d below 2^50, t differs from the shortest decimal of
        // |v| times 10^d by less than 4e-16 × t. When t's fraction is farther than that from
        // one half, both round to the same whole number k, and k / 10^d (a correctly rounded
        // division of exact numbers) is the double nearest to the rounded decimal. Only values
        // right at a half (1.005, 0.125) need their digits.
        const double p = kPot10[decimais];
        const double t = std::fabs(v * p);
        if (t < 1125899906842624.0) {
            const double piso = std::floor(t);
            const double fracao = t - piso; // exact below 2^52
            if (std::fabs(fracao - 0.5) > t * 1e-12 + 1e-300) {
                const double k = fracao > 0.5 ? piso + 1 : piso;
                const double r = k / p;
                return v < 0 && k != 0 ? -r : r;
            }
        }
    }
    Decimal d;
    Decompor(v, d);
    if (!ArredondarDigitos(d, decimais))
        return v + 0.0;
    if (d.n == 1 && d.dig[0] == '0')
        return 0.0;
    // Read "[-]digitsE<pot>" back: from_chars rounds correctly to the nearest double.
    char buf[48];
    int k = 0;
    if (d.neg)
        buf[k++] = '-';
    for (int i = 0; i < d.n; ++i)
        buf[k++] = d.dig[i];
    buf[k++] = 'e';
    const auto r = std::to_chars(buf + k, buf + sizeof buf, d.pot);
    double res = 0;
    const auto lido = std::from_chars(buf, r.ptr, res);
    if (lido.ec == std::errc::result_out_of_range)
        return d.neg ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return res;
}

double Dividir(double a, double b)
{
    if (b == 0)
        return 0;
    const double q = a / b;
    return std::isfinite(q) ? q : 0;
}

double MultiplicarValor(double a, double b, int decimais)
{
    qint64 escalado = 0;
    if (!nDecimal::Produto(a, b, decimais, escalado))
        throw Exception(QStringLiteral("O produto de %1 por %2 é grande demais para %3 casas decimais.")
                            .arg(NumeroParaTexto(a), NumeroParaTexto(b), QString::number(decimais)));
    return nDecimal::ParaReal(escalado, decimais);
}

double PercentualDoValor(double valor, double percentual, int decimais)
{
    __int128 mantissa = 0, escalado = 0;
    int escala = 0;
    if (decimais < 0 || decimais > 18 || !nDecimal::ProdutoExato(valor, percentual, mantissa, escala) ||
        !nDecimal::Reescalar(mantissa, escala + 2, decimais, escalado) ||
        escalado > std::numeric_limits<qint64>::max() || escalado < -std::numeric_limits<qint64>::max())
        throw Exception(QStringLiteral("%1% de %2 é grande demais para %3 casas decimais.")
                            .arg(NumeroParaTexto(percentual), NumeroParaTexto(valor), QString::number(decimais)));
    return nDecimal::ParaReal(static_cast<qint64>(escalado), decimais);
}

int CountDec(double v)
{
    if (!std::isfinite(v))
        return 0;
    Decimal d;
    Decompor(v, d);
    return d.pot < 0 ? -d.pot : 0;
}

QString NumeroParaTexto(double v)
{
    if (!std::isfinite(v))
        return NaoFinito(v);
    Decimal d;
    Decompor(v, d);
    char buf[kTamPlano];
    int ponto = 0;
    const int n = Plano(d, buf, ponto);
    return QString::fromLatin1(buf, n);
}

QString NumeroParaTexto(qint64 v)
{
    return QString::number(v);
}

// ---------------------------------------------------------------------------------------
// FormatFloat

namespace {

// What one section of a number mask asks for.
struct SecaoMascara {
    QStringView texto;
    int phInteiros = 0;   // digit placeholders before the decimal point
    int minInteiros = 0;  // of them, from the first "0" on
    int maxDecimais = 0;  // digit placeholders after the decimal point
    int minDecimais = 0;  // up to the last "0" after the point
    bool agrupar = false; // a "," somewhere
};

// Calls f(i, c, literal) for each character of a mask section, skipping the quotes of
// quoted text and telling whether c is literal text.
template<class F>
void PercorrerMascara(QStringView s, F f)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\'' || c == u'"') {
            qsizetype j = i + 1;
            while (j < s.size() && s[j] != c)
                f(j, s[j], true), ++j;
            i = j; // on the closing quote (or past the end)
        } else {
            f(i, c, false);
        }
    }
}

SecaoMascara AnalisarSecao(QStringView s)
{
    SecaoMascara m;
    m.texto = s;
    bool depoisPonto = false;
    int primeiroZero = -1;
    PercorrerMascara(s, [&](qsizetype, QChar c, bool literal) {
        if (literal)
            return;
        if (c == u'0' || c == u'#') {
            if (depoisPonto) {
                ++m.maxDecimais;
                if (c == u'0')
                    m.minDecimais = m.maxDecimais;
            } else {
                if (c == u'0' && primeiroZero < 0)
                    primeiroZero = m.phInteiros;
                ++m.phInteiros;
            }
        } else if (c == u'.') {
            depoisPonto = true;
        } else if (c == u',') {
            m.agrupar = true;
        }
    });
    m.minInteiros = primeiroZero < 0 ? 0 : m.phInteiros - primeiroZero;
    return m;
}

// Splits a mask into its sections at ";" outside quoted text (three at most; anything after
// a third ";" is ignored).
int SepararSecoes(QStringView mascara, QStringView secoes[3])
{
    int n = 0;
    qsizetype inicio = 0;
    QChar aspas;
    for (qsizetype i = 0; i <= mascara.size() && n < 3; ++i) {
        const bool fim = i == mascara.size();
        const QChar c = fim ? QChar() : mascara[i];
        if (!fim && !aspas.isNull()) {
            if (c == aspas)
                aspas = QChar();
        } else if (c == u'\'' || c == u'"') {
            aspas = c;
        } else if (fim || c == u';') {
            secoes[n++] = mascara.mid(inicio, i - inicio);
            inicio = i + 1;
        }
    }
    return n;
}

// Formats the already rounded absolute value d with section m.
QString AplicarSecao(const SecaoMascara &m, const Decimal &d, bool sinal)
{
    char buf[kTamPlano];
    int ponto = 0;
    const int tam = Plano(d, buf, ponto);

    // Integer digits, padded to the minimum; a lone "0" is dropped when no "0" asks for it.
    QVarLengthArray<char, kTamPlano> inteiro;
    const int digitosInteiros = (ponto == 1 && buf[0] == '0' && m.minInteiros == 0) ? 0 : ponto;
    for (int k = digitosInteiros; k < m.minInteiros; ++k)
        inteiro.append('0');
    inteiro.append(buf, digitosInteiros);
    // Decimal digits, padded to the maximum, then trailing zeros cut down to the minimum.
    QVarLengthArray<char, kTamPlano> fracao;
    if (ponto < tam)
        fracao.append(buf + ponto + 1, tam - ponto - 1);
    while (fracao.size() < m.maxDecimais)
        fracao.append('0');
    while (fracao.size() > m.minDecimais && fracao.back() == '0')
        fracao.removeLast();

    QString out;
    out.reserve(m.texto.size() + inteiro.size() + inteiro.size() / 3 + fracao.size() + 2);
    if (sinal)
        out += u'-';
    const qsizetype ni = inteiro.size();
    auto digitoInteiro = [&](qsizetype k) {
        out += QLatin1Char(inteiro[k]);
        const qsizetype resto = ni - 1 - k;
        if (m.agrupar && resto > 0 && resto % 3 == 0)
            out += u'.';
    };
    auto todosInteiros = [&] {
        for (qsizetype k = 0; k < ni; ++k)
            digitoInteiro(k);
    };
    const qsizetype excesso = ni - m.phInteiros; // digits beyond the placeholders go first
    int iInt = 0, iDec = 0;
    bool depoisPonto = false;
    PercorrerMascara(m.texto, [&](qsizetype, QChar c, bool literal) {
        if (literal) {
            out += c;
        } else if (c == u'0' || c == u'#') {
            if (depoisPonto) {
                if (iDec < fracao.size())
                    out += QLatin1Char(fracao[iDec]);
                ++iDec;
            } else {
                if (iInt == 0)
                    for (qsizetype k = 0; k < excesso; ++k)
                        digitoInteiro(k);
                const qsizetype j = iInt + excesso;
                if (j >= 0)
                    digitoInteiro(j);
                ++iInt;
            }
        } else if (c == u'.') {
            if (!depoisPonto) {
                depoisPonto = true;
                if (m.phInteiros == 0)
                    todosInteiros();
                if (!fracao.isEmpty())
                    out += u',';
            }
        } else if (c != u',') {
            out += c;
        }
    });
    return out;
}

} // namespace

namespace {

// FormatFloat on an absolute value d (its shortest decimal digits) of sign `negativo`.
QString FormatarDecimal(const QString &mascara, Decimal d, bool negativo)
{
    QStringView secoes[3];
    const int n = SepararSecoes(mascara, secoes);
    const SecaoMascara positiva = AnalisarSecao(secoes[0]);

    Decimal arred = d;
    ArredondarDigitos(arred, positiva.maxDecimais);
    const bool zero = arred.n == 1 && arred.dig[0] == '0';

    if (zero && n >= 3 && !secoes[2].isEmpty()) {
        const SecaoMascara m = AnalisarSecao(secoes[2]);
        Decimal z;
        Decompor(0.0, z);
        return AplicarSecao(m, z, false);
    }
    if (negativo && !zero && n >= 2 && !secoes[1].isEmpty()) {
        const SecaoMascara m = AnalisarSecao(secoes[1]);
        ArredondarDigitos(d, m.maxDecimais);
        return AplicarSecao(m, d, false);
    }
    return AplicarSecao(positiva, arred, negativo && !zero);
}

} // namespace

QString FormatFloat(const QString &mascara, double v)
{
    if (!std::isfinite(v))
        return NaoFinito(v);
    if (mascara.isEmpty()) {
        QString t = NumeroParaTexto(v);
        t.replace(u'.', u',');
        return t;
    }
    Decimal d;
    Decompor(std::fabs(v), d);
    return FormatarDecimal(mascara, d, v < 0);
}

QString FormatFloat(const QString &mascara, qint64 escalado, int escala)
{
    const quint64 m = escalado < 0 ? 0 - static_cast<quint64>(escalado) : static_cast<quint64>(escalado);
    Decimal d;
    const auto r = std::to_chars(d.dig, d.dig + sizeof d.dig, m);
    d.n = int(r.ptr - d.dig);
    d.pot = -escala;
    while (d.n > 1 && d.dig[d.n - 1] == '0') {
        --d.n;
        ++d.pot;
    }
    if (m == 0)
        d.pot = 0;
    if (mascara.isEmpty()) {
        char buf[kTamPlano];
        int ponto = 0;
        QString t = QString::fromLatin1(buf, Plano(d, buf, ponto));
        t.replace(u'.', u',');
        return escalado < 0 ? u'-' + t : t;
    }
    return FormatarDecimal(mascara, d, escalado < 0);
}

// ---------------------------------------------------------------------------------------
// FormatDateTime

namespace {

const char *const kMesCurto[] = {"jan", "fev", "mar", "abr", "mai", "jun",
                                 "jul", "ago", "set", "out", "nov", "dez"};
const char *const kMesLongo[] = {"janeiro", "fevereiro", "março",    "abril",   "maio",     "junho",
                                 "julho",   "agosto",    "setembro", "outubro", "novembro", "dezembro"};
const char *const kDiaCurto[] = {"seg", "ter", "qua", "qui", "sex", "sáb", "dom"};
const char *const kDiaLongo[] = {"segunda-feira", "terça-feira", "quarta-feira", "quinta-feira",
                                 "sexta-feira",   "sábado",      "domingo"};

void Numero(QString &out, int v, int largura)
{
    const QString t = QString::number(v);
    for (qsizetype i = t.size(); i < largura; ++i)
        out += u'0';
    out += t;
}

// Day or month: 1 or 2 letters give the number (2 padded), 3 the short name, more the long one.
void NumeroOuNome(QString &out, int n, int valor, const char *const curtos[], const char *const longos[], int indice)
{
    if (n <= 2)
        Numero(out, valor, n);
    else
        out += QString::fromUtf8((n == 3 ? curtos : longos)[indice]);
}

} // namespace

QString FormatDateTime(const QString &formato, const QDateTime &v)
{
    if (!v.isValid())
        return QString();
    const QDate data = v.date();
    const QTime hora = v.time();
    QString out;
    out.reserve(formato.size() + 8);
    QChar ultimo; // the last letter code, upper case ("N" for minutes)
    for (qsizetype i = 0; i < formato.size();) {
        const QChar c = formato[i];
        if (c == u'\'' || c == u'"') {
            qsizetype j = i + 1;
            while (j < formato.size() && formato[j] != c)
                out += formato[j++];
            i = j + 1;
            continue;
        }
        QChar cod = c.toUpper();
        if (!QStringView(u"DMYHNSZ").contains(cod)) {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < formato.size() && formato[j].toUpper() == cod)
            ++j;
        const int n = int(j - i);
        i = j;
        if (cod == u'M' && ultimo == u'H')
            cod = u'N';
        ultimo = cod;
        switch (cod.unicode()) {
        case u'D':
            NumeroOuNome(out, n, data.day(), kDiaCurto, kDiaLongo, data.dayOfWeek() - 1);
            break;
        case u'M':
            NumeroOuNome(out, n, data.month(), kMesCurto, kMesLongo, data.month() - 1);
            break;
        case u'Y':
            if (n <= 2)
                Numero(out, ((data.year() % 100) + 100) % 100, 2);
            else
                Numero(out, data.year(), 4);
            break;
        case u'H':
            Numero(out, hora.hour(), n >= 2 ? 2 : 1);
            break;
        case u'N':
            Numero(out, hora.minute(), n >= 2 ? 2 : 1);
            break;
        case u'S':
            Numero(out, hora.second(), n >= 2 ? 2 : 1);
            break;
        case u'Z':
            Numero(out, hora.msec(), n >= 3 ? 3 : 1);
            break;
        }
    }
    return out;
}

QString FormatDateTime(const QString &formato, const QDate &v)
{
    if (!v.isValid())
        return QString();
    // Built from date and time directly: no local-time conversion, so a date whose midnight
    // falls in a daylight-saving gap still formats as that date.
    return FormatDateTime(formato, QDateTime(v, QTime(0, 0), Qt::UTC));
}

// ---------------------------------------------------------------------------------------
// Reading typed numbers

namespace {

// The typed text without surrounding blanks and without its optional leading sign.
QStringView SemSinal(const QString &texto, bool &neg)
{
    QStringView s = QStringView(texto).trimmed();
    neg = s.startsWith(u'-');
    if (neg || s.startsWith(u'+'))
        s = s.mid(1);
    return s;
}

} // namespace

bool TextoParaNumero(const QString &texto, double &valor)
{
    bool neg = false;
    const QStringView corpo = SemSinal(texto, neg);
    if (corpo.isEmpty() || corpo.size() > 400)
        return false;

    int pontos = 0, virgulas = 0;
    qsizetype ultimoSep = -1;
    for (qsizetype k = 0; k < corpo.size(); ++k) {
        const QChar c = corpo[k];
        if (c == u'.') {
            ++pontos;
            ultimoSep = k;
        } else if (c == u',') {
            ++virgulas;
            ultimoSep = k;
        } else if (c < u'0' || c > u'9') {
            return false;
        }
    }

    // Which separator is the decimal point, and which one groups thousands.
    QChar decimal, grupo;
    if (pontos > 0 && virgulas > 0) {
        decimal = corpo[ultimoSep];
        grupo = decimal == u'.' ? u',' : u'.';
        if ((decimal == u'.' ? pontos : virgulas) != 1)
            return false;
    } else if (pontos + virgulas == 1) {
        decimal = corpo[ultimoSep];
    } else if (pontos + virgulas > 1) {
        grupo = pontos > 0 ? u'.' : u',';
    }
    const qsizetype fimInteiro = decimal.isNull() ? corpo.size() : ultimoSep;

    char buf[420];
    int k = 0;
    if (neg)
        buf[k++] = '-';
    // Integer part: groups of 1-3 digits, then of 3, when a grouping separator appears.
    int digitosGrupo = 0;
    bool agrupado = false;
    for (qsizetype p = 0; p < fimInteiro; ++p) {
        const QChar c = corpo[p];
        if (c == grupo) {
            if (digitosGrupo == 0 || digitosGrupo > 3 || (agrupado && digitosGrupo != 3))
                return false;
            agrupado = true;
            digitosGrupo = 0;
        } else {
            buf[k++] = char(c.unicode());
            ++digitosGrupo;
        }
    }
    if (agrupado && digitosGrupo != 3)
        return false;
    const int digitosInteiros = k - (neg ? 1 : 0);
    int digitosFracao = 0;
    if (!decimal.isNull()) {
        buf[k++] = '.';
        for (qsizetype p = ultimoSep + 1; p < corpo.size(); ++p, ++digitosFracao)
            buf[k++] = char(corpo[p].unicode());
    }
    if (digitosInteiros == 0 && digitosFracao == 0)
        return false;
    if (digitosInteiros == 0) {
        // ",5": from_chars wants a digit before the point
        std::memmove(buf + (neg ? 2 : 1), buf + (neg ? 1 : 0), size_t(k - (neg ? 1 : 0)));
        buf[neg ? 1 : 0] = '0';
        ++k;
    }
    double v = 0;
    const auto r = std::from_chars(buf, buf + k, v, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != buf + k || !std::isfinite(v))
        return false;
    valor = v + 0.0;
    return true;
}

double StrToFloatBR(const QString &texto)
{
    double v = 0;
    if (!TextoParaNumero(texto, v))
        throw EConvertError(QStringLiteral("\"%1\" não é um número válido.").arg(TrechoCitado(texto)));
    return v;
}

bool TextoParaInteiro(const QString &texto, qint64 &valor)
{
    bool neg = false;
    const QStringView s = SemSinal(texto, neg);
    if (s.isEmpty())
        return false;
    // Accumulated as a negative number, whose range reaches one further than the positive.
    qint64 v = 0;
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c < u'0' || c > u'9')
            return false;
        const int dig = c.unicode() - u'0';
        if (v < (kMin + dig) / 10)
            return false;
        v = v * 10 - dig;
    }
    if (!neg) {
        if (v == kMin)
            return false;
        v = -v;
    }
    valor = v;
    return true;
}

QString PrepararMascara(const QVariant &mascara, int modo)
{
    if (EhNulo(mascara))
        return QString();
    const QString origem = mascara.toString().trimmed();
    // Characters with a meaning in an input mask: as literals they go escaped.
    static const QString especiais = QStringLiteral("AaNnXx90DdHhBb#><![]{}\\;");
    const QChar digito = modo == 1 ? u'0' : u'9';
    QString r;
    r.reserve(origem.size() * 2);
    for (const QChar c : origem) {
        if (c == u'9' || c == u'0' || c == u'#') {
            r += digito;
        } else {
            if (especiais.contains(c))
                r += u'\\';
            r += c;
        }
    }
    return r;
}

// ---------------------------------------------------------------------------------------
// Reading typed dates

namespace {

bool LerInteiroFixo(QStringView t, int &v)
{
    if (t.isEmpty())
        return false;
    v = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    return true;
}

} // namespace

bool TextoParaData(QStringView t, QDate &d)
{
    t = t.trimmed();
    const QChar sep = t.contains(u'/') ? u'/' : u'-';
    const auto partes = t.split(sep);
    if (partes.size() != 3)
        return false;
    int a, b, c;
    if (!LerInteiroFixo(partes[0], a) || !LerInteiroFixo(partes[1], b) || !LerInteiroFixo(partes[2], c))
        return false;
    QDate lida;
    if (sep == u'/') {
        if (partes[0].size() > 2 || partes[1].size() > 2 || partes[2].size() != 4)
            return false;
        lida = QDate(c, b, a);
    } else {
        if (partes[0].size() != 4 || partes[1].size() != 2 || partes[2].size() != 2)
            return false;
        lida = QDate(a, b, c);
    }
    if (!lida.isValid())
        return false;
    d = lida;
    return true;
}

bool TextoParaMesAno(QStringView t, QDate &primeiroDia)
{
    t = t.trimmed();
    const auto partes = t.split(u'/');
    int mes = 0, ano = 0;
    if (partes.size() == 2 && partes[0].size() <= 2 && partes[1].size() == 4 && LerInteiroFixo(partes[0], mes)
        && LerInteiroFixo(partes[1], ano) && mes >= 1 && mes <= 12) {
        primeiroDia = QDate(ano, mes, 1);
        return primeiroDia.isValid();
    }
    QDate d;
    if (!TextoParaData(t, d))
        return false;
    primeiroDia = PrimeiroDiaDoMes(d);
    return true;
}

QDate PrimeiroDiaDoMes(const QDate &d) { return d.isValid() ? QDate(d.year(), d.month(), 1) : QDate(); }

QDate UltimoDiaDoMes(const QDate &d) { return d.isValid() ? QDate(d.year(), d.month(), d.daysInMonth()) : QDate(); }

QString LimparStrToInscricaoFederal(const QString &texto)
{
    QString r;
    r.reserve(texto.size());
    for (const QChar c : texto)
        if (c >= u'0' && c <= u'9')
            r += c;
    return r;
}

QString FormatarConteudoMascara(const QString &texto, const QString &mascaraPreparada, int tamanho)
{
    const auto cortar = [tamanho](QString s) { return tamanho > 0 && s.size() > tamanho ? s.left(tamanho) : s; };
    if (mascaraPreparada.isEmpty())
        return cortar(texto.trimmed());
    QString conteudo;
    conteudo.reserve(texto.size());
    for (const QChar c : texto)
        if (c.isLetterOrNumber())
            conteudo += c;
    // Places of an input mask; "\" makes the next character a literal, ";" starts the blank
    // character's part, "<", ">" and "!" only switch letter case.
    static const QString lugares = QStringLiteral("AaNnXx90DdHhBb#");
    QString r;
    r.reserve(mascaraPreparada.size() + conteudo.size());
    qsizetype usados = 0;
    QString literais; // waiting until the next place is filled
    for (qsizetype i = 0; i < mascaraPreparada.size() && usados < conteudo.size(); ++i) {
        const QChar m = mascaraPreparada[i];
        if (m == u';')
            break;
        if (m == u'<' || m == u'>' || m == u'!')
            continue;
        if (m == u'\\') {
            if (++i < mascaraPreparada.size())
                literais += mascaraPreparada[i];
            continue;
        }
        if (!lugares.contains(m)) {
            literais += m;
            continue;
        }
        r += literais;
        literais.clear();
        r += conteudo[usados++];
    }
    r += conteudo.mid(usados);
    return cortar(r);
}

QString PreencherDireita(const QString &texto, int tamanho, QChar caractere)
{
    return texto.size() >= tamanho ? texto : texto + QString(tamanho - texto.size(), caractere);
}

int VarToIntDef(const QVariant &valor, int padrao)
{
    if (!valor.isValid() || valor.isNull())
        return padrao;
    qint64 i = 0;
    switch (valor.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::UShort:
        i = valor.toLongLong();
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = valor.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 1e18)
            return padrao;
        i = qint64(d);
        break;
    }
    case QMetaType::Bool:
        return padrao;
    default:
        if (!TextoParaInteiro(valor.toString(), i))
            return padrao;
    }
    return i < std::numeric_limits<int>::min() || i > std::numeric_limits<int>::max() ? padrao : int(i);
}

QString TrechoCitado(QStringView texto)
{
    constexpr qsizetype kMaximo = 60;
    qsizetype n = std::min(texto.size(), kMaximo);
    // Never half of a pair of UTF-16 units.
    if (n < texto.size() && n > 0 && texto[n - 1].isHighSurrogate())
        --n;
    QString r = texto.left(n).toString();
    for (QChar &c : r)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = u' ';
    if (n < texto.size())
        r += QChar(0x2026);
    return r;
}

QString NumeroParaMensagem(double v)
{
    QString s = std::isfinite(v) && std::fabs(v) >= 1e21 ? QString::number(v, 'g', QLocale::FloatingPointShortest)
                                                              : NumeroParaTexto(v);
    s.replace(u'.', u',');
    return s;
}
