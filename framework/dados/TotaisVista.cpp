#include "TotaisVista.h"

#include "Decimal.h"
#include "Valores.h"

#include <algorithm>
#include <array>
#include <limits>

bool EhColunaDeValor(const TnField &f)
{
    return (f.DataType() == ftFloat || f.DataType() == ftBCD) && !f.Def().TemListaValores();
}

int CasasDoTotal(const TnField &f)
{
    if (f.DataType() == ftBCD)
        return f.Scale();
    if (EhTipoInteiro(f.DataType()))
        return 0;
    const QString secao = f.DisplayFormat().section(u';', 0, 0);
    if (secao.isEmpty())
        return 6;
    const qsizetype ponto = secao.indexOf(u'.');
    int casas = 0;
    for (qsizetype i = ponto + 1; ponto >= 0 && i < secao.size() && (secao[i] == u'0' || secao[i] == u'#'); ++i)
        ++casas;
    return casas;
}

TnTotalColuna TotalizarVista(const TnClientDataSet &ds, const TnField &campo)
{
    TnTotalColuna r;
    r.Escala = CasasDoTotal(campo);
    const TnColuna &col = ds.ColunaArmazenada(campo.Index());
    // 128-bit sums: no run of 64-bit values overflows them before the end.
    __int128 soma = 0;
    bool falhou = false;
    if (campo.DataType() == ftBCD && !campo.CampoEscala().isEmpty()) {
        // Decimals per row: one sum per scale, brought to the largest at the end.
        const TnColuna &escalas = ds.ColunaArmazenada(ds.FieldByName(campo.CampoEscala()).Index());
        std::array<__int128, 19> porEscala{};
        std::array<bool, 19> usada{};
        ds.ParaCadaDaVista([&](qint32 s) {
            if (col.Nulo(s))
                return;
            const int e = escalas.Nulo(s) ? campo.Scale() : int(std::clamp<qint64>(escalas.Inteiro(s), 0, 18));
            porEscala[size_t(e)] += col.Inteiro(s);
            usada[size_t(e)] = true;
        });
        for (int e = 0; e <= 18; ++e)
            if (usada[size_t(e)])
                r.Escala = std::max(r.Escala, e);
        for (int e = 0; e <= 18; ++e) {
            __int128 parcela = 0;
            if (!usada[size_t(e)])
                continue;
            if (!nDecimal::Reescalar(porEscala[size_t(e)], e, r.Escala, parcela) || __builtin_add_overflow(soma, parcela, &soma))
                falhou = true;
        }
    } else if (campo.DataType() == ftBCD || EhTipoInteiro(campo.DataType())) {
        ds.ParaCadaDaVista([&](qint32 s) {
            if (!col.Nulo(s))
                soma += col.Inteiro(s);
        });
    } else {
        const int casas = r.Escala;
        ds.ParaCadaDaVista([&](qint32 s) {
            if (col.Nulo(s))
                return;
            const double v = col.Real(s);
            qint64 e = 0;
            if (nDecimal::DeRealRapido(v, casas, e) || nDecimal::DeReal(v, casas, e))
                soma += e;
            else
                falhou = true;
        });
    }
    if (falhou || soma > std::numeric_limits<qint64>::max() || soma < -std::numeric_limits<qint64>::max()
        || !nDecimal::CabeNaPrecisao(qint64(soma), 18, r.Escala)) {
        r.Estouro = true;
        return r;
    }
    r.Escalado = qint64(soma);
    return r;
}

QString TextoDoTotal(const TnField &campo, const TnTotalColuna &total)
{
    if (total.Estouro)
        return QString();
    return FormatFloat(campo.DisplayFormat(), total.Escalado, total.Escala);
}
