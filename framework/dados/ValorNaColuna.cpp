#include "ValorNaColuna.h"

#include "Decimal.h"
#include "Excecoes.h"
#include "Valores.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// 10^n for n in 0..38.
__int128 Potencia10Larga(int n)
{
    __int128 r = 1;
    for (int i = 0; i < n; ++i)
        r *= 10;
    return r;
}

__int128 Modulo(__int128 v) { return v < 0 ? -v : v; }

// Whether a value scaled by 10^escala, rounded half away from zero to the column's scale,
// has at most precisao - escala digits before the point.
bool CabeNoNumerico(const TnColunaInfo &col, __int128 escalado, int escala)
{
    if (col.Precisao <= 0)
        return true; // numeric without a declared precision
    const int s = std::clamp(col.Escala, 0, 38), p = std::min(col.Precisao, 38);
    __int128 e = escalado;
    if (escala > s) {
        const __int128 d = Potencia10Larga(std::min(escala - s, 38));
        const __int128 q = e / d, r = e % d;
        e = Modulo(r) * 2 >= d ? q + (e < 0 ? -1 : 1) : q;
    } else if (escala < s) {
        const int k = s - escala;
        if (k > 20 || Modulo(e) >= Potencia10Larga(38 - k))
            return e == 0;
        e *= Potencia10Larga(k);
    }
    return Modulo(e) < Potencia10Larga(p);
}

bool InteiroNaFaixa(TFieldType tipo, qint64 v)
{
    switch (tipo) {
    case ftSmallint: return v >= std::numeric_limits<qint16>::min() && v <= std::numeric_limits<qint16>::max();
    case ftInteger: return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
    default: return true;
    }
}

bool EhInteiro(TFieldType t) { return t == ftSmallint || t == ftInteger || t == ftLargeint; }

QString Rotulo(const TnColunaInfo &col, const QString &rotulo) { return rotulo.isEmpty() ? col.Nome : rotulo; }

} // namespace

void ErroForaDaFaixa(const QString &campo, const QString &valor, const QString &rotulo)
{
    throw EnField(campo, QStringLiteral("O valor %1 está fora da faixa do campo \"%2\".")
                             .arg(TrechoCitado(valor), rotulo.isEmpty() ? campo : rotulo));
}

bool RealCabeNaColuna(const TnColunaInfo &col, double v)
{
    if (!std::isfinite(v))
        return false;
    if (col.Tipo == ftFloat)
        return std::fabs(v) < kMaiorValorReal;
    if (col.Tipo == ftBCD) {
        if (col.Precisao <= 0)
            return true;
        if (col.Escala < 0 || col.Escala > 18 || col.Precisao > 18)
            return std::fabs(v) < std::pow(10.0, col.Precisao - col.Escala);
        qint64 e = 0;
        return (nDecimal::DeRealRapido(v, col.Escala, e) || nDecimal::DeReal(v, col.Escala, e))
               && nDecimal::CabeNaPrecisao(e, col.Precisao, col.Escala);
    }
    if (EhInteiro(col.Tipo))
        return v == std::trunc(v) && v >= -9223372036854775808.0 && v < 9223372036854775808.0
               && InteiroNaFaixa(col.Tipo, qint64(v));
    return true;
}

bool InteiroCabeNaColuna(const TnColunaInfo &col, qint64 v)
{
    if (col.Tipo == ftFloat)
        return std::fabs(double(v)) < kMaiorValorReal;
    if (col.Tipo == ftBCD)
        return CabeNoNumerico(col, v, 0);
    return InteiroNaFaixa(col.Tipo, v);
}

bool DecimalCabeNaColuna(const TnColunaInfo &col, qint64 escalado, int escala)
{
    if (col.Tipo == ftBCD)
        return CabeNoNumerico(col, escalado, escala);
    if (col.Tipo == ftFloat)
        return std::fabs(nDecimal::ParaReal(escalado, escala)) < kMaiorValorReal;
    if (EhInteiro(col.Tipo)) {
        const qint64 d = nDecimal::Potencia10(std::clamp(escala, 0, 18));
        return escalado % d == 0 && InteiroNaFaixa(col.Tipo, escalado / d);
    }
    return true;
}

void ExigirNaColuna(const TnColunaInfo &col, double v, const QString &rotulo)
{
    if (!RealCabeNaColuna(col, v))
        ErroForaDaFaixa(col.Nome, NumeroParaMensagem(v), Rotulo(col, rotulo));
}

void ExigirNaColuna(const TnColunaInfo &col, qint64 v, const QString &rotulo)
{
    if (!InteiroCabeNaColuna(col, v))
        ErroForaDaFaixa(col.Nome, QString::number(v), Rotulo(col, rotulo));
}

void ExigirNaColuna(const TnColunaInfo &col, const QString &v, const QString &rotulo)
{
    if ((col.Tipo == ftString || col.Tipo == ftMemo) && col.Tamanho > 0 && v.size() > col.Tamanho)
        throw EnField(col.Nome, QStringLiteral("O campo \"%1\" aceita no máximo %2 caracteres; foram informados %3.")
                                    .arg(Rotulo(col, rotulo))
                                    .arg(col.Tamanho)
                                    .arg(v.size()));
}

bool CelulaCabeNaColuna(const TnColunaInfo &col, const TnCelula &c, TFieldType tipo, int escala)
{
    if (c.Nulo || col.Tipo == ftUnknown)
        return true;
    switch (tipo) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftBoolean: return InteiroCabeNaColuna(col, c.I);
    case ftFloat: return RealCabeNaColuna(col, c.F);
    case ftBCD: return DecimalCabeNaColuna(col, c.I, escala);
    case ftString:
    case ftMemo:
    case ftUnknown:
        return !((col.Tipo == ftString || col.Tipo == ftMemo) && col.Tamanho > 0 && c.S.size() > col.Tamanho);
    default: return true;
    }
}

void ErroCelulaForaDaColuna(const TnColunaInfo &col, const TnCelula &c, TFieldType tipo, int escala,
                            const QString &rotulo)
{
    switch (tipo) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftBoolean: ErroForaDaFaixa(col.Nome, QString::number(c.I), Rotulo(col, rotulo));
    case ftFloat: ErroForaDaFaixa(col.Nome, NumeroParaMensagem(c.F), Rotulo(col, rotulo));
    case ftBCD: ErroForaDaFaixa(col.Nome, nDecimal::ParaTexto(c.I, escala, u','), Rotulo(col, rotulo));
    default:
        ExigirNaColuna(col, c.S, rotulo);
        ErroForaDaFaixa(col.Nome, c.S, Rotulo(col, rotulo));
    }
}

bool AjustarCelulaNaColuna(const TnColunaInfo &col, TnCelula &c, TFieldType &tipo, int &escala)
{
    if (!CelulaCabeNaColuna(col, c, tipo, escala))
        return false;
    if (c.Nulo || col.Tipo != ftBCD || col.Precisao <= 0 || col.Precisao > 18 || col.Escala < 0 || col.Escala > 18)
        return true;
    if (tipo == ftFloat) {
        qint64 e = 0;
        if (!nDecimal::DeRealRapido(c.F, col.Escala, e))
            nDecimal::DeReal(c.F, col.Escala, e);
        c.I = e;
    } else if (tipo == ftBCD && escala > col.Escala) {
        const qint64 d = nDecimal::Potencia10(std::min(escala - col.Escala, 18));
        const qint64 q = c.I / d, r = c.I % d;
        c.I = (r < 0 ? -r : r) >= d - (r < 0 ? -r : r) ? q + (c.I < 0 ? -1 : 1) : q;
    } else {
        return true;
    }
    tipo = ftBCD;
    escala = col.Escala;
    return true;
}
