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

TnSomador::TnSomador(const TnClientDataSet &ds, const TnField &campo)
    : FCol(&ds.ColunaArmazenada(campo.Index())), FCasas(CasasDoTotal(campo)), FEscalaCampo(campo.Scale())
{
    if (campo.DataType() == ftBCD && !campo.CampoEscala().isEmpty()) {
        // Decimals per row: one sum per scale, brought to the largest at the end.
        FModo = mEscalaPorLinha;
        FEscalas = &ds.ColunaArmazenada(ds.FieldByName(campo.CampoEscala()).Index());
    } else {
        FModo = campo.DataType() == ftBCD || EhTipoInteiro(campo.DataType()) ? mInteiro : mReal;
    }
}

TnTotalColuna TnSomador::Total() const
{
    TnTotalColuna r;
    r.Escala = FCasas;
    __int128 soma = FSoma;
    bool falhou = FFalhou;
    if (FModo == mEscalaPorLinha) {
        for (int e = 0; e <= 18; ++e)
            if (FUsadas & (1u << e))
                r.Escala = std::max(r.Escala, e);
        for (int e = 0; e <= 18; ++e) {
            __int128 parcela = 0;
            if (!(FUsadas & (1u << e)))
                continue;
            if (!nDecimal::Reescalar(FPorEscala[size_t(e)], e, r.Escala, parcela) || __builtin_add_overflow(soma, parcela, &soma))
                falhou = true;
        }
    }
    if (falhou || soma > std::numeric_limits<qint64>::max() || soma < -std::numeric_limits<qint64>::max()
        || !nDecimal::CabeNaPrecisao(qint64(soma), 18, r.Escala)) {
        r.Estouro = true;
        return r;
    }
    r.Escalado = qint64(soma);
    return r;
}

TnTotalColuna TotalizarVista(const TnClientDataSet &ds, const TnField &campo)
{
    TnSomador somador(ds, campo);
    ds.ParaCadaDaVista([&](qint32 s) { somador.Acrescentar(s); });
    return somador.Total();
}

QString TextoDoTotal(const TnField &campo, const TnTotalColuna &total)
{
    if (total.Estouro)
        return QString();
    return FormatFloat(campo.DisplayFormat(), total.Escalado, total.Escala);
}
