#include "Decimal.h"

#include "Valores.h"

#include <cmath>
#include <limits>

namespace nDecimal {

namespace {
constexpr double k2a53 = 9007199254740992.0;
} // namespace

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
