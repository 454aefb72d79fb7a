#pragma once
// Exact fixed-point numbers: a numeric(p,s) value is kept as a 64-bit integer scaled by 10^s.
// Conversions from text and from doubles round half away from zero to the scale.
#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace nDecimal {

// 10^n for n in 0..18.
qint64 Potencia10(int n);

// Reads a plain decimal text ("-12.345"; no exponent, no grouping) into a value scaled by
// 10^escala, rounding extra digits half away from zero. Answers false for malformed text or
// a value out of range.
bool DeTexto(QStringView texto, int escala, qint64 &escalado);

// The double's shortest decimal form, scaled by 10^escala and rounded half away from zero:
// 10.005 at scale 2 gives 1001. Answers false when the value does not fit 64 bits.
bool DeReal(double valor, int escala, qint64 &escalado);
// The same without formatting the double: answers false when the product is too large or
// too close to a half to be decided from the double alone.
bool DeRealRapido(double valor, int escala, qint64 &escalado);

// Plain text of a scaled value with exactly `escala` decimals ("10.01", "-0.50").
QString ParaTexto(qint64 escalado, int escala, QChar separador = u'.');

// The scaled value as the nearest double.
double ParaReal(qint64 escalado, int escala);

} // namespace nDecimal
