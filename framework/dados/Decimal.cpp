#include "Decimal.h"

#include "Valores.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace nDecimal {

namespace {
constexpr double k2a53 = 9007199254740992.0;

constexpr double kPot10Real[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// 10^n as a 128-bit integer, n in 0..38.
const __int128 *TabelaPotencia10Larga()
{
    static const auto tabela = [] {
        std::array<__int128, 39> t{};
        t[0] = 1;
        for (size_t i = 1; i < t.size(); ++i)
            t[i] = t[i - 1] * 10;
        return t;
    }();
    return tabela.data();
}
__int128 Potencia10Larga(int n) { return TabelaPotencia10Larga()[n]; }
} // namespace

bool Curto(double v, qint64 &mantissa, int &escala)
{
    if (!std::isfinite(v))
        return false;
    if (v == 0) {
        mantissa = 0;
        escala = 0;
        return true;
    }
    // Below 10^15 the decimals of one scale lie farther apart than the doubles that read back
    // as v, so at most one of them does, and the rounded product finds it; the smallest scale
    // at which it reads back is the shortest form's.
    for (int k = 0; k <= 15; ++k) {
        const double x = v * kPot10Real[k];
        if (!(std::fabs(x) < 1e15))
            break;
        const double r = std::nearbyint(x);
        if (r / kPot10Real[k] == v) {
            mantissa = static_cast<qint64>(r);
            escala = k;
            return true;
        }
    }
    // The printed shortest form: at most 17 significant digits, which fit 64 bits.
    char buf[40];
    const auto fim = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific).ptr;
    const char *p = buf;
    const bool negativo = *p == '-';
    if (negativo)
        ++p;
    qint64 m = 0;
    int digitos = 0;
    for (; *p != 'e'; ++p)
        if (*p != '.') {
            m = m * 10 + (*p - '0');
            ++digitos;
        }
    ++p;
    const bool expoenteNegativo = *p == '-';
    ++p;
    int e = 0;
    for (; p < fim; ++p)
        e = e * 10 + (*p - '0');
    if (expoenteNegativo)
        e = -e;
    escala = (digitos - 1) - e;
    while (m != 0 && m % 10 == 0) {
        m /= 10;
        --escala;
    }
    mantissa = negativo ? -m : m;
    return true;
}

bool ProdutoExato(double a, double b, __int128 &mantissa, int &escala)
{
    qint64 ma = 0, mb = 0;
    int ea = 0, eb = 0;
    if (!Curto(a, ma, ea) || !Curto(b, mb, eb))
        return false;
    // Each mantissa is below 10^17, so the product stays below 10^34 < 2^127.
    mantissa = static_cast<__int128>(ma) * mb;
    escala = mantissa == 0 ? 0 : ea + eb;
    return true;
}

bool Reescalar(__int128 mantissa, int escala, int decimais, __int128 &escalado)
{
    if (mantissa == 0) {
        escalado = 0;
        return true;
    }
    if (escala > decimais) {
        const int corte = escala - decimais;
        if (corte > 38) { // |mantissa| < 2^127 < 10^39 / 2: rounds to zero
            escalado = 0;
            return true;
        }
        const __int128 divisor = Potencia10Larga(corte);
        const bool negativo = mantissa < 0;
        const __int128 m = negativo ? -mantissa : mantissa;
        __int128 q = m / divisor;
        if ((m % divisor) * 2 >= divisor)
            ++q;
        escalado = negativo ? -q : q;
        return true;
    }
    const int falta = decimais - escala;
    if (falta > 38)
        return false;
    __int128 r = 0;
    if (__builtin_mul_overflow(mantissa, Potencia10Larga(falta), &r))
        return false;
    escalado = r;
    return true;
}

bool Produto(double a, double b, int decimais, qint64 &escalado)
{
    __int128 m = 0, r = 0;
    int escala = 0;
    if (decimais < 0 || decimais > 18 || !ProdutoExato(a, b, m, escala) || !Reescalar(m, escala, decimais, r))
        return false;
    if (r > std::numeric_limits<qint64>::max() || r < -std::numeric_limits<qint64>::max())
        return false;
    escalado = static_cast<qint64>(r);
    return true;
}

bool CabeNaPrecisao(qint64 escalado, int precisao, int escala)
{
    if (precisao <= 0 || precisao > 18)
        return precisao > 18;
    const quint64 m = escalado < 0 ? 0 - static_cast<quint64>(escalado) : static_cast<quint64>(escalado);
    return m < static_cast<quint64>(Potencia10(precisao));
}

bool DeTexto(QStringView texto, int escala, qint64 &escalado)
{
    texto = texto.trimmed();
    if (texto.isEmpty() || escala < 0 || escala > 18)
        return false;
    qsizetype i = 0;
    bool negativo = false;
    if (texto[0] == u'-' || texto[0] == u'+') {
        negativo = texto[0] == u'-';
        ++i;
    }
    __int128 valor = 0;
    int digitos = 0;
    const __int128 limite = static_cast<__int128>(std::numeric_limits<qint64>::max()) * 10;
    for (; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c.isDigit() && c.unicode() < 128) {
            valor = valor * 10 + (c.unicode() - u'0');
            if (valor > limite)
                return false;
            ++digitos;
        } else {
            break;
        }
    }
    int decimaisLidos = 0;
    int primeiroDescartado = -1; // first digit beyond the scale decides the rounding
    if (i < texto.size() && texto[i] == u'.') {
        ++i;
        for (; i < texto.size(); ++i) {
            const QChar c = texto[i];
            if (!(c.isDigit() && c.unicode() < 128))
                return false;
            ++digitos;
            if (decimaisLidos < escala) {
                valor = valor * 10 + (c.unicode() - u'0');
                ++decimaisLidos;
            } else if (primeiroDescartado < 0) {
                primeiroDescartado = c.unicode() - u'0';
            }
        }
    }
    if (i != texto.size() || digitos == 0)
        return false;
    for (; decimaisLidos < escala; ++decimaisLidos)
        valor *= 10;
    if (primeiroDescartado >= 5)
        valor += 1;
    if (valor > std::numeric_limits<qint64>::max())
        return false;
    escalado = static_cast<qint64>(negativo ? -valor : valor);
    return true;
}

bool DeReal(double valor, int escala, qint64 &escalado)
{
    if (DeRealRapido(valor, escala, escalado))
        return true;
    if (!std::isfinite(valor) || escala < 0 || escala > 18)
        return false;
    const double arredondado = RoundValor(valor, escala) * static_cast<double>(Potencia10(escala));
    if (std::fabs(arredondado) < k2a53) {
        escalado = std::llround(arredondado);
        return true;
    }
    // Too many digits for a double to hold them all: the shortest decimal form decides.
    return DeTexto(NumeroParaTexto(valor), escala, escalado);
}

bool Reescalar(qint64 escalado, int de, int para, qint64 &resultado)
{
    __int128 r = 0;
    if (de < 0 || de > 18 || para < 0 || para > 18 || !Reescalar(static_cast<__int128>(escalado), de, para, r) ||
        r > std::numeric_limits<qint64>::max() || r < std::numeric_limits<qint64>::min())
        return false;
    resultado = static_cast<qint64>(r);
    return true;
}

QString ParaTexto(qint64 escalado, int escala, QChar separador)
{
    const bool negativo = escalado < 0;
    // Works on the magnitude as unsigned so that the smallest 64-bit value has one.
    quint64 m = negativo ? 0 - static_cast<quint64>(escalado) : static_cast<quint64>(escalado);
    QString digitos = QString::number(m);
    if (escala > 0) {
        if (digitos.size() <= escala)
            digitos = QString(escala - digitos.size() + 1, u'0') + digitos;
        digitos.insert(digitos.size() - escala, separador);
    }
    return negativo ? QLatin1Char('-') + digitos : digitos;
}

double ParaReal(qint64 escalado, int escala)
{
    return static_cast<double>(escalado) / static_cast<double>(Potencia10(escala));
}

} // namespace nDecimal
