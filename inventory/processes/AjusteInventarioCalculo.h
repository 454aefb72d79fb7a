#pragma once
// The arithmetic of the inventory adjustment, apart from the database: spreading a new total
// cost over the entries (by unit cost or by quantity), the residue pass of the quantity kind,
// the sharing of an entry's new quantity over its property lines and the rescaling of money
// by a line's new total over its old one.
//
// Amounts that decide whether the target was reached are whole units of 10^-d (d: the
// company's cost decimals), so a sum of a million entries is exact and "reached" means equal.
// Unit costs and quantities stay doubles rounded with RoundValor, as they are stored.
#include "Decimal.h"
#include "Excecoes.h"
#include "Valores.h"

#include <QString>
#include <algorithm>
#include <charconv>
#include <utility>
#include <cmath>
#include <cstring>
#include <vector>

namespace nAjusteInv {

// v in whole units of 10^-decimais, rounded half away from zero on its shortest decimal form
// (the rounding of RoundValor). A value beyond the 64-bit range is an error.
inline qint64 Unidades(double v, int decimais)
{
    qint64 u = 0;
    if (nDecimal::DeRealRapido(v, decimais, u) || nDecimal::DeReal(v, decimais, u))
        return u;
    throw Exception(QStringLiteral("O valor %1 excede o limite do cálculo com %2 casas decimais.")
                        .arg(NumeroParaTexto(v))
                        .arg(decimais));
}

inline double Real(qint64 unidades, int decimais) { return nDecimal::ParaReal(unidades, decimais); }

// The smallest step of `decimais` decimals: 0.01 for 2; 0.1 when there are none.
inline double PegarMenorFracao(int decimais)
{
    return decimais >= 1 ? 1.0 / double(nDecimal::Potencia10(decimais)) : 0.1;
}

// The fractional part of q (q >= 0) as written in its shortest decimal form is above 0.9:
// 9.95 is, 9.9 is not (although its double lies a hair above 9.9).
inline bool FracaoAcimaDeNoveDecimos(double q)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, q, std::chars_format::fixed);
    const char *ponto = static_cast<const char *>(std::memchr(buf, '.', size_t(r.ptr - buf)));
    // The shortest form has no trailing zeros: "0.9" is exactly nine tenths, "0.9x" more.
    return ponto && ponto[1] == '9' && ponto + 2 < r.ptr;
}

// One entry of the run, in key order (branch, product, reason).
struct TnLancamento {
    qint64 Produto = 0;
    double Qtde = 0;  // QTDEESTOQUE: as read, then as adjusted
    double Preco = 0; // PRECOUNIT: as read, then as adjusted
    qint16 Estab = 0;
    qint16 Motivo = 0;
    bool Excluir() const { return Preco == 0 || Qtde == 0; }
};

struct TnResultadoAjuste {
    qint64 Alvo = 0;     // the new total cost, in units
    qint64 Atingido = 0; // the total the entries reach, in units
    qint64 Visitas = 0;  // rows the residue pass looked at
    bool Exato() const { return Atingido == Alvo; }
};

// The base of the run: the sum of the entries' totals rounded to the cost decimals. 0 means
// there is nothing to spread the target over.
inline qint64 BaseArredondada(const std::vector<TnLancamento> &l, int d)
{
    qint64 soma = 0;
    for (const TnLancamento &x : l)
        soma += Unidades(x.Preco * x.Qtde, d);
    return soma;
}

// By unit cost: each entry gets its share of what remains of the target in proportion to what
// remains of the base, so the last entries absorb the rounding of the earlier ones. The base
// is summed and reduced with the same measure, the unrounded cost × quantity. When earlier
// entries rounded up so far that nothing remains for an entry, it takes the run's overall
// proportion instead of a negative cost; no cost ends below 0.
inline TnResultadoAjuste AjustarPorCustoUnitario(std::vector<TnLancamento> &l, qint64 alvo, int d)
{
    TnResultadoAjuste r;
    r.Alvo = alvo;
    const size_t n = l.size();
    // What remains of the base before each entry, summed from the end: the last entry's
    // remaining base is exactly its own value.
    std::vector<double> resto(n + 1, 0.0);
    for (size_t i = n; i-- > 0;)
        resto[i] = resto[i + 1] + l[i].Preco * l[i].Qtde;
    const double proporcao = Dividir(Real(alvo, d), resto[0]);
    qint64 falta = alvo;
    for (size_t i = 0; i < n; ++i) {
        TnLancamento &x = l[i];
        const double v = x.Preco * x.Qtde;
        double w = v * Dividir(Real(falta, d), resto[i]);
        if (w < 0)
            w = v * proporcao;
        double preco = w == 0 ? 0 : RoundValor(Dividir(w, x.Qtde), d);
        if (!(preco > 0))
            preco = 0;
        x.Preco = preco;
        const qint64 u = Unidades(preco * x.Qtde, d);
        falta -= u;
        r.Atingido += u;
    }
    return r;
}

// The residue pass of the quantity kind, for a difference D = target - reached that is not 0.
// A sweep visits the entries in order:
// - a whole quantity whose unit cost fits in D takes one unit more; once the costs added in
//   the sweep reach D the pass ends;
// - a fractional quantity one step (PegarMenorFracao of the cost decimals) of which changes its
//   rounded total by exactly D takes that step, and the pass ends.
// A sweep that reaches the end having added something starts again with D less what it added.
// Consecutive sweeps in which the same entries fit add the same units, so they are applied
// together: the pass looks at the entries a bounded number of times (at most once per
// distinct fitting unit cost, plus the final sweep), never once per unit of residue. Entries
// whose unit cost rounds to 0 are passed over (they would fit for ever). A unit is added
// while its cost fits in the sweep's D, so the pass may overshoot; the result tells the total
// reached.
inline void CorrigirResiduoAjuste(std::vector<TnLancamento> &l, TnResultadoAjuste &r, int d)
{
    qint64 D = r.Alvo - r.Atingido;
    if (D == 0)
        return;
    const double passo = PegarMenorFracao(d);
    struct Inteira {
        size_t i;
        qint64 custo;
    };
    struct Fracionaria {
        size_t i;
        qint64 sobe, desce;  // change of the rounded total one step up and one step down
        double mais, menos;  // the quantity one step up and one step down
    };
    std::vector<Inteira> inteiras;
    std::vector<Fracionaria> fracionarias;
    for (size_t i = 0; i < l.size(); ++i) {
        ++r.Visitas;
        const TnLancamento &x = l[i];
        if (x.Qtde == std::trunc(x.Qtde)) {
            // D only decreases: a cost above it now never fits.
            const qint64 custo = Unidades(x.Preco, d);
            if (custo > 0 && custo <= D)
                inteiras.push_back({i, custo});
        } else {
            const int casas = std::max(CountDec(x.Qtde), d);
            const double mais = RoundValor(x.Qtde + passo, casas), menos = RoundValor(x.Qtde - passo, casas);
            const qint64 atual = Unidades(x.Qtde * x.Preco, d);
            fracionarias.push_back(
                {i, Unidades(mais * x.Preco, d) - atual, Unidades(menos * x.Preco, d) - atual, mais, menos});
        }
    }
    auto somarUnidades = [&](size_t i, qint64 k) {
        TnLancamento &x = l[i];
        const qint64 antes = Unidades(x.Qtde * x.Preco, d);
        x.Qtde += double(k);
        r.Atingido += Unidades(x.Qtde * x.Preco, d) - antes;
    };
    auto darPasso = [&](const Fracionaria &f, bool sobe) {
        l[f.i].Qtde = sobe ? f.mais : f.menos;
        r.Atingido += sobe ? f.sobe : f.desce;
    };
    // The first fractional entry whose step matches `dif`, or null.
    auto casamento = [&](qint64 dif) -> const Fracionaria * {
        for (const Fracionaria &f : fracionarias) {
            ++r.Visitas;
            if ((dif > 0 ? f.sobe : f.desce) == dif)
                return &f;
        }
        return nullptr;
    };

    if (D < 0) {
        // No unit cost fits a negative difference: only a step down can absorb it.
        if (const Fracionaria *f = casamento(D))
            darPasso(*f, false);
        return;
    }
    std::vector<Inteira> &cabem = inteiras;
    for (;;) {
        r.Visitas += qint64(cabem.size());
        cabem.erase(std::remove_if(cabem.begin(), cabem.end(), [D](const Inteira &x) { return x.custo > D; }),
                    cabem.end());
        qint64 soma = 0, maior = 0;
        for (const Inteira &x : cabem) {
            soma += x.custo;
            maior = std::max(maior, x.custo);
        }
        const Fracionaria *f = casamento(D);
        if (cabem.empty() && !f)
            return; // nothing fits: not reached
        if (soma < D && !f) {
            // This sweep and the next ones add `soma` each while the same entries fit and
            // the sweep completes (D stays above the sum); a fractional entry whose step
            // matches a later D ends the batch at that sweep.
            qint64 k = (D - std::max(maior, soma + 1)) / soma + 1;
            for (const Fracionaria &g : fracionarias) {
                ++r.Visitas;
                if (g.sobe > 0 && g.sobe < D && (D - g.sobe) % soma == 0)
                    k = std::min(k, (D - g.sobe) / soma);
            }
            for (const Inteira &x : cabem) {
                ++r.Visitas;
                somarUnidades(x.i, k);
            }
            D -= k * soma;
            continue;
        }
        // The last sweep: it ends inside, when the added costs reach D or at a match.
        qint64 adicionado = 0;
        auto it = cabem.begin();
        const size_t ate = f ? f->i : l.size();
        for (; it != cabem.end() && it->i < ate; ++it) {
            ++r.Visitas;
            somarUnidades(it->i, 1);
            adicionado += it->custo;
            if (adicionado >= D)
                return;
        }
        if (f)
            darPasso(*f, true);
        return;
    }
}

// By quantity: every entry gets the equal share of the target (target / entries) in quantity
// at its own unit cost. A whole quantity takes the share's integer part, one more when its
// fraction is above 0.9; a fractional one the share rounded to the quantity decimals. No
// quantity ends below 0. Then the residue pass.
inline TnResultadoAjuste AjustarPorQuantidade(std::vector<TnLancamento> &l, qint64 alvo, int d, int dq)
{
    TnResultadoAjuste r;
    r.Alvo = alvo;
    const double parte = Dividir(Real(alvo, d), double(l.size()));
    for (TnLancamento &x : l) {
        double q = Dividir(parte, x.Preco);
        if (!(q > 0))
            q = 0;
        else if (x.Qtde == std::trunc(x.Qtde))
            q = std::floor(q) + (FracaoAcimaDeNoveDecimos(q) ? 1 : 0);
        else
            q = RoundValor(q, dq);
        x.Qtde = q;
        r.Atingido += Unidades(q * x.Preco, d);
    }
    if (!r.Exato())
        CorrigirResiduoAjuste(l, r, d);
    return r;
}

// An entry's new quantity `nova` shared over its property lines in proportion to their old
// quantities, in units of 10^-dq, written to `novas` (same order as `antigas`: SEQ order).
// Each share is rounded to the quantity decimals (never below 0); the residue, k steps of
// one unit, goes k div n to every line and one more to the first k mod n lines, which is what
// giving one step per line round after round yields. A negative residue takes its steps
// round after round only from lines that still hold one, so no line ends below 0. Old
// quantities that sum to 0 give the equal split.
inline void DistribuirQuantidadeItens(const std::vector<double> &antigas, double nova, int dq,
                                      std::vector<qint64> &novas)
{
    const size_t n = antigas.size();
    novas.assign(n, 0);
    if (n == 0)
        return;
    double total = 0;
    for (double a : antigas)
        total += a;
    qint64 soma = 0;
    for (size_t i = 0; i < n; ++i) {
        novas[i] = std::max<qint64>(0, Unidades(Dividir(antigas[i], total) * nova, dq));
        soma += novas[i];
    }
    const qint64 residuo = Unidades(nova, dq) - soma;
    if (residuo > 0) {
        const qint64 cada = residuo / qint64(n), resto = residuo % qint64(n);
        for (size_t i = 0; i < n; ++i)
            novas[i] += cada + (qint64(i) < resto ? 1 : 0);
    } else if (residuo < 0) {
        // t full rounds take min(holding, t) from each line: the largest t whose rounds fit
        // in the residue, then one more step from the first lines still holding more than t.
        const qint64 k = std::min(-residuo, soma);
        auto tirados = [&](qint64 t) {
            qint64 s = 0;
            for (qint64 h : novas)
                s += std::min(h, t);
            return s;
        };
        qint64 baixo = 0, alto = *std::max_element(novas.begin(), novas.end());
        while (baixo < alto) {
            const qint64 meio = baixo + (alto - baixo + 1) / 2;
            if (tirados(meio) <= k)
                baixo = meio;
            else
                alto = meio - 1;
        }
        qint64 falta = k - tirados(baixo);
        for (qint64 &h : novas) {
            const bool mais = h > baixo && falta > 0;
            h -= std::min(h, baixo) + (mais ? 1 : 0);
            falta -= mais ? 1 : 0;
        }
    }
}

// A money amount (in cents) scaled by a line's new total over its old total, rounded half
// away from zero to the cent. A line whose old total is 0 keeps its amount.
inline qint64 EscalarValor(qint64 valor, qint64 novo, qint64 antigo)
{
    if (antigo == 0)
        return valor;
    __int128 num = static_cast<__int128>(valor) * novo;
    __int128 den = antigo;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const __int128 q = (num >= 0 ? num + den / 2 : num - den / 2) / den;
    return static_cast<qint64>(q);
}

// ---- The tax-situation lines of a run, found per property line by a hash of its key.

// Key of a property line within the run's company and date.
struct TnChaveItem {
    qint64 Produto = 0;
    qint16 Estab = 0, Motivo = 0, Seq = 0;
    bool operator==(const TnChaveItem &o) const
    {
        return Produto == o.Produto && Estab == o.Estab && Motivo == o.Motivo && Seq == o.Seq;
    }
};

struct TnLinhaCST {
    qint64 Base = 0;    // BASECALCULO in cents
    qint64 Imposto = 0; // VALORIMPOSTO in cents
    qint16 CST = 0;
    bool Alterada = false;
};

class TnLinhasCST {
public:
    struct Grupo {
        TnChaveItem Chave;
        qint32 Inicio = 0, Quantidade = 0;
    };
    // Lines arrive grouped by property line: every line of one property line together.
    void Adicionar(const TnChaveItem &item, qint16 cst, qint64 base, qint64 imposto)
    {
        if (FGrupos.empty() || !(FGrupos.back().Chave == item))
            FGrupos.push_back({item, qint32(FLinhas.size()), 0});
        ++FGrupos.back().Quantidade;
        FLinhas.push_back({base, imposto, cst, false});
    }
    // Builds the hash once every line was added. A property line met twice (its lines not
    // together) is an error.
    void Indexar()
    {
        size_t capacidade = 16;
        while (capacidade < FGrupos.size() * 2)
            capacidade *= 2;
        FTabela.assign(capacidade, -1);
        for (qint32 g = 0; g < qint32(FGrupos.size()); ++g) {
            size_t i = Posicao(FGrupos[size_t(g)].Chave);
            while (FTabela[i] >= 0) {
                if (FGrupos[size_t(FTabela[i])].Chave == FGrupos[size_t(g)].Chave)
                    throw Exception(QStringLiteral("As linhas de CST de uma linha de propriedade vieram separadas."));
                i = (i + 1) & (FTabela.size() - 1);
            }
            FTabela[i] = g;
        }
    }
    // The lines of a property line (none: an empty range).
    std::pair<TnLinhaCST *, TnLinhaCST *> Linhas(const TnChaveItem &item)
    {
        if (FTabela.empty())
            return {nullptr, nullptr};
        for (size_t i = Posicao(item); FTabela[i] >= 0; i = (i + 1) & (FTabela.size() - 1)) {
            const Grupo &g = FGrupos[size_t(FTabela[i])];
            if (g.Chave == item) {
                TnLinhaCST *p = FLinhas.data() + g.Inicio;
                return {p, p + g.Quantidade};
            }
        }
        return {nullptr, nullptr};
    }
    const std::vector<Grupo> &Grupos() const { return FGrupos; }
    const TnLinhaCST &Linha(qint32 i) const { return FLinhas[size_t(i)]; }
    size_t Count() const { return FLinhas.size(); }

private:
    size_t Posicao(const TnChaveItem &k) const
    {
        quint64 h = quint64(k.Produto) * 0x9E3779B97F4A7C15ull;
        h ^= (quint64(quint16(k.Estab)) << 32) | (quint64(quint16(k.Motivo)) << 16) | quint64(quint16(k.Seq));
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
        return size_t(h) & (FTabela.size() - 1);
    }
    std::vector<Grupo> FGrupos;
    std::vector<TnLinhaCST> FLinhas;
    std::vector<qint32> FTabela; // group index per slot, -1 for a free slot
};

} // namespace nAjusteInv
