#pragma once
// Exact fixed-point numbers: a numeric(p,s) value is kept as a 64-bit integer scaled by 10^s.
// Conversions from text and from doubles round half away from zero to the scale.
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <cmath>

namespace nDecimal {

// 10^n for n in 0..18.
inline qint64 Potencia10(int n)
{
    static constexpr qint64 p[] = {1LL, 10LL, 100LL, 1000LL, 10000LL, 100000LL, 1000000LL, 10000000LL,
                                   100000000LL, 1000000000LL, 10000000000LL, 100000000000LL, 1000000000000LL,
                                   10000000000000LL, 100000000000000LL, 1000000000000000LL,
                                   10000000000000000LL, 100000000000000000LL, 1000000000000000000LL};
    Q_ASSERT(n >= 0 && n <= 18);
    return p[n];
}

// Reads a plain decimal text ("-12.345"; no exponent, no grouping) into a value scaled by
// 10^escala, rounding extra digits half away from zero. Answers false for malformed text or
// a value out of range.
bool DeTexto(QStringView texto, int escala, qint64 &escalado);

// The double's shortest decimal form, scaled by 10^escala and rounded half away from zero:
// 10.005 at scale 2 gives 1001. Answers false when the value does not fit 64 bits.
bool DeReal(double valor, int escala, qint64 &escalado);
// The same without formatting the double: answers false when the product is too large or
// too close to a half to be decided from the double alone. The product differs from the
// exact decimal by a few units in its last place at most; when its fraction is farther
// than that from a half, it rounds to the same integer as the shortest decimal form would.
inline bool DeRealRapido(double valor, int escala, qint64 &escalado)
{
    if (escala < 0 || escala > 18)
        return false;
    const double x = valor * static_cast<double>(Potencia10(escala));
    const double ax = std::fabs(x);
    if (!(ax < 4503599627370496.0)) // 2^52; false for NaN and infinities as well
        return false;
    const double fracao = ax - std::floor(ax);
    if (std::fabs(fracao - 0.5) <= ax * 4e-15 + 1e-12)
        return false;
    escalado = std::llround(x);
    return true;
}

// v's shortest decimal form (the digits a user typed or saw) as mantissa × 10^-escala:
// 1.005 gives 1005 and 3, 2500.0 gives 2500 and 0, 1e20 gives 1 and -20. Answers false for NaN
// and infinities. Values with up to 15 significant digits take a few multiplications; the
// others go through their printed digits.
bool Curto(double v, qint64 &mantissa, int &escala);

// The exact product of a and b, each taken at its shortest decimal form, rounded half away
// from zero to `decimais` decimals and scaled by 10^decimais: 3 × 1.005 at 2 decimals gives
// 302, 29.7 × 186.05 gives 552569. Quantity × unit cost is computed this way, never as the
// product of two doubles. Answers false when a factor is not finite or the result does not
// fit 64 bits.
bool Produto(double a, double b, int decimais, qint64 &escalado);

// The exact product of a and b, each taken at its shortest decimal form, as
// mantissa × 10^-escala (the factors' decimals added): 3 × 1.005 gives 3015 and 3. Sums and
// comparisons of such products stay exact in 128 bits. Answers false when a factor is not finite.
bool ProdutoExato(double a, double b, __int128 &mantissa, int &escala);

// mantissa × 10^-escala at `decimais` decimals: rounded half away from zero when digits go,
// multiplied out when they come. Answers false when the result does not fit 128 bits.
bool Reescalar(__int128 mantissa, int escala, int decimais, __int128 &escalado);
// The same for a value scaled by 10^de brought to 10^para (both 0 to 18). Answers false when
// the result does not fit 64 bits.
bool Reescalar(qint64 escalado, int de, int para, qint64 &resultado);

// Whether a value scaled by 10^escala fits numeric(precisao, escala): at most
// precisao - escala digits before the point.
bool CabeNaPrecisao(qint64 escalado, int precisao, int escala);

// Plain text of a scaled value with exactly `escala` decimals ("10.01", "-0.50").
QString ParaTexto(qint64 escalado, int escala, QChar separador = u'.');

// The scaled value as the nearest double.
double ParaReal(qint64 escalado, int escala);

} // namespace nDecimal
