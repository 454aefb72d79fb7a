#pragma once
// The arithmetic of the inventory adjustment, apart from the database: spreading a new total
// cost over the entries (by unit cost or by quantity), the residue pass of the quantity kind,
// the sharing of an entry's new quantity over its property lines and the rescaling of money
// by a line's new total over its old one.
//
// Amounts that decide whether the target was reached are whole units of 10^-d (d: the
// company's cost decimals), so a sum of a million entries is exact and "reached" means equal.
// Every quantity × unit cost is the exact product of the stored decimals (nDecimal), never
// the product of two doubles: 3 × 1.005 is 3.02 at 2 decimals. Unit costs and quantities
// stay doubles rounded with RoundValor, as they are stored.
#include "Decimal.h"
#include "Excecoes.h"
#include "Valores.h"

#include <QString>
#include <algorithm>
#include <charconv>
#include <utility>
#include <cmath>
#include <cstring>
#include <limits>
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

// qtde × preco exactly, rounded half away from zero, in whole units of 10^-decimais.
inline qint64 ValorUnidades(double qtde, double preco, int decimais)
{
    qint64 u = 0;
    if (nDecimal::Produto(qtde, preco, decimais, u))
        return u;
    throw Exception(QStringLiteral("O valor de %1 × %2 excede o limite do cálculo com %3 casas decimais.")
                        .arg(NumeroParaTexto(qtde), NumeroParaTexto(preco))
                        .arg(decimais));
}

inline double Real(qint64 unidades, int decimais) { return nDecimal::ParaReal(unidades, decimais); }

// ---- exact decimals in 128 bits, for sums and comparisons of unrounded products.

// Finest scale the exact sums keep: digits beyond 10^-18 of a value (only doubles with
// 17 significant digits below 0.1 have them) are rounded there.
inline constexpr int kEscalaExata = 18;

[[noreturn]] inline void ForaDoLimiteExato()
{
    throw Exception(QStringLiteral("Os valores do ajuste excedem o limite do cálculo exato."));
}

// m × 10^-e at scale `escala`.
inline __int128 NaEscala(__int128 m, int e, int escala)
{
    __int128 r = 0;
    if (!nDecimal::Reescalar(m, e, escala, r))
        ForaDoLimiteExato();
    return r;
}

inline __int128 SomaExata(__int128 a, __int128 b)
{
    __int128 r = 0;
    if (__builtin_add_overflow(a, b, &r))
        ForaDoLimiteExato();
    return r;
}

inline __int128 ProdutoInteiro(__int128 a, __int128 b)
{
    __int128 r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        ForaDoLimiteExato();
    return r;
}

inline __int128 Potencia10Exata(int n) { return NaEscala(1, 0, n); }

// num / den rounded half away from zero; den is not 0.
inline __int128 DividirArredondado(__int128 num, __int128 den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const __int128 q = num / den, resto = num % den;
    if (resto * 2 >= den)
        return q + 1;
    if (resto * 2 <= -den)
        return q - 1;
    return q;
}

// qtde × preco exactly, at scale `escala` (rounded there only beyond kEscalaExata decimals).
inline __int128 ValorExato(double qtde, double preco, int escala)
{
    __int128 m = 0;
    int e = 0;
    if (!nDecimal::ProdutoExato(qtde, preco, m, e))
        ForaDoLimiteExato();
    return NaEscala(m, e, escala);
}

// The decimals of qtde × preco as stored (capped at kEscalaExata).
inline int EscalaDoValor(double qtde, double preco)
{
    __int128 m = 0;
    int e = 0;
    if (!nDecimal::ProdutoExato(qtde, preco, m, e))
        ForaDoLimiteExato();
    return std::clamp(e, 0, kEscalaExata);
}

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
        soma += ValorUnidades(x.Qtde, x.Preco, d);
    return soma;
}

// preco × falta / resto rounded half away from zero at d decimals, as one exact quotient:
// falta in units of 10^-d, resto at scale `escala`, resto not 0. Figures too large for 128
// bits take the quotient of doubles.
inline double NovoCusto(double preco, qint64 falta, __int128 resto, int escala, int d)
{
    qint64 mp = 0;
    int ep = 0;
    if (nDecimal::Curto(preco, mp, ep)) {
        __int128 num = 0, den = resto, fator = 0;
        bool cabe = !__builtin_mul_overflow(static_cast<__int128>(mp), static_cast<__int128>(falta), &num);
        if (cabe && escala >= ep)
            cabe = nDecimal::Reescalar(1, 0, escala - ep, fator) && !__builtin_mul_overflow(num, fator, &num);
        else if (cabe)
            cabe = nDecimal::Reescalar(1, 0, ep - escala, fator) && !__builtin_mul_overflow(den, fator, &den);
        if (cabe) {
            const __int128 u = DividirArredondado(num, den);
            if (u <= std::numeric_limits<qint64>::max() && u >= -std::numeric_limits<qint64>::max())
                return Real(qint64(u), d);
        }
    }
    const double proporcao = Dividir(Real(falta, d), double(resto) / double(Potencia10Exata(escala)));
    return RoundValor(preco * proporcao, d);
}

// By unit cost: each entry gets its share of what remains of the target in proportion to what
// remains of the base, so the last entries absorb the rounding of the earlier ones. The base
// is summed and reduced with the same measure, the exact unrounded cost × quantity, and the
// new cost is cost × remaining target / remaining base rounded at the cost decimals as one
// exact quotient (the last entry takes exactly what remains over its quantity). When earlier
// entries rounded up so far that nothing remains for an entry, it takes the run's overall
// proportion instead of a negative cost; no cost ends below 0.
inline TnResultadoAjuste AjustarPorCustoUnitario(std::vector<TnLancamento> &l, qint64 alvo, int d)
{
    TnResultadoAjuste r;
    r.Alvo = alvo;
    int escala = 0;
    for (const TnLancamento &x : l)
        escala = std::max(escala, EscalaDoValor(x.Qtde, x.Preco));
    __int128 base = 0;
    for (const TnLancamento &x : l)
        base = SomaExata(base, ValorExato(x.Qtde, x.Preco, escala));
    const __int128 baseInicial = base;
    qint64 falta = alvo;
    for (TnLancamento &x : l) {
        const __int128 v = ValorExato(x.Qtde, x.Preco, escala);
        // What remains of the base before this entry (Dividir: nothing remains, no share).
        const __int128 resto = base;
        base -= v;
        double preco = 0;
        if (v != 0 && resto != 0) {
            const bool global = falta < 0;
            preco = NovoCusto(x.Preco, global ? alvo : falta, global ? baseInicial : resto, escala, d);
        }
        if (!(preco > 0))
            preco = 0;
        x.Preco = preco;
        const qint64 u = ValorUnidades(preco, x.Qtde, d);
        falta -= u;
        r.Atingido += u;
    }
    return r;
}

// The residue pass of the quantity kind, for a difference D = target - reached that is not 0.
// A sweep visits the entries in order:
// - a whole quantity whose stored unit cost fits in D (cost <= D) takes one unit more, and
//   the costs added in the sweep (G) grow by that cost; once G reaches D the pass ends;
// - a fractional quantity one step (PegarMenorFracao of the cost decimals) of which makes its
//   rounded total equal to its exact total plus D, rounded, takes that step, and the pass ends.
// A sweep that reaches the end having added something starts again with D less what it added.
// D, the costs and the totals are exact decimals (the stored digits of every unit cost), so a
// cost of 0.004 fits in a difference of 0.02 five times; entries whose cost is 0 (or below) are
// passed over (they would fit for ever). The total reached is the sum of the entries' totals
// rounded at the cost decimals, whatever the pass added.
// Consecutive sweeps in which the same entries fit and no fractional entry matches add the
// same units, so they are applied together: the entries leave the fitting set from the
// dearest down as D falls, and each fractional entry's step matches D on one interval, whose
// first sweep is found by a division. The pass looks at each entry a bounded number of times,
// never once per unit of residue.
inline void CorrigirResiduoAjuste(std::vector<TnLancamento> &l, TnResultadoAjuste &r, int d)
{
    const qint64 D0 = r.Alvo - r.Atingido;
    if (D0 == 0)
        return;
    const double passo = PegarMenorFracao(d);
    // The working scale: one decimal more than the cost decimals (for half a unit), the stored
    // decimals of the unit costs and of the fractional entries' totals.
    int E = d + 1;
    for (const TnLancamento &x : l) {
        ++r.Visitas;
        if (!(x.Preco > 0))
            continue;
        if (x.Qtde == std::trunc(x.Qtde)) {
            if (D0 > 0)
                E = std::max(E, EscalaDoValor(1, x.Preco));
        } else {
            E = std::max(E, EscalaDoValor(x.Qtde, x.Preco));
        }
    }
    const __int128 u = Potencia10Exata(E - d), meio = u / 2;
    __int128 D = ProdutoInteiro(D0, u);

    struct Fracionaria {
        size_t i;
        __int128 valor;       // exact total
        qint64 sobe, desce;   // rounded total one step up and one step down
        double mais, menos;   // the quantity one step up and one step down
    };
    struct Inteira {
        size_t i;
        __int128 custo;
    };
    std::vector<Fracionaria> fracionarias;
    std::vector<Inteira> inteiras; // those that fit, in row order
    for (size_t i = 0; i < l.size(); ++i) {
        const TnLancamento &x = l[i];
        if (!(x.Preco > 0))
            continue;
        if (x.Qtde == std::trunc(x.Qtde)) {
            if (D > 0) {
                const __int128 custo = ValorExato(1, x.Preco, E);
                if (custo <= D)
                    inteiras.push_back({i, custo});
            }
        } else {
            const int casas = std::max(CountDec(x.Qtde), d);
            const double mais = RoundValor(x.Qtde + passo, casas), menos = RoundValor(x.Qtde - passo, casas);
            fracionarias.push_back({i, ValorExato(x.Qtde, x.Preco, E), ValorUnidades(mais, x.Preco, d),
                                    ValorUnidades(menos, x.Preco, d), mais, menos});
        }
    }
    auto mudar = [&](size_t i, double qtde) {
        TnLancamento &x = l[i];
        r.Atingido += ValorUnidades(qtde, x.Preco, d) - ValorUnidades(x.Qtde, x.Preco, d);
        x.Qtde = qtde;
    };

    if (D < 0) {
        // No unit cost fits a negative difference: only a step down can absorb it.
        for (const Fracionaria &f : fracionarias) {
            ++r.Visitas;
            __int128 alvo = 0;
            if (nDecimal::Reescalar(SomaExata(f.valor, D), E, d, alvo) && alvo == f.desce) {
                mudar(f.i, f.menos);
                return;
            }
        }
        return;
    }

    // The values of D at which a step up matches: [inicio, inicio + u), from the highest.
    struct Intervalo {
        __int128 inicio;
        size_t f;
    };
    std::vector<Intervalo> intervalos;
    intervalos.reserve(fracionarias.size());
    for (size_t k = 0; k < fracionarias.size(); ++k)
        intervalos.push_back({ProdutoInteiro(fracionarias[k].sobe, u) - meio - fracionarias[k].valor, k});
    std::sort(intervalos.begin(), intervalos.end(), [](const Intervalo &a, const Intervalo &b) {
        return a.inicio != b.inicio ? a.inicio > b.inicio : a.f < b.f;
    });
    size_t vivo = 0; // intervals before it lie above D for good

    // Sweeps completed (K); for an entry that stopped fitting, the sweeps it took part in.
    qint64 K = 0;
    std::vector<qint64> saiuEm(inteiras.size(), -1);
    std::vector<char> naUltima(inteiras.size(), 0);
    std::vector<quint32> porCusto; // the fitting entries from the dearest, built when first needed
    size_t saidas = 0;
    __int128 soma = 0, maior = 0;
    for (const Inteira &x : inteiras) {
        soma = SomaExata(soma, x.custo);
        maior = std::max(maior, x.custo);
    }
    auto ordenarPorCusto = [&] {
        if (!porCusto.empty() || inteiras.empty())
            return;
        porCusto.resize(inteiras.size());
        for (size_t k = 0; k < inteiras.size(); ++k)
            porCusto[k] = quint32(k);
        std::stable_sort(porCusto.begin(), porCusto.end(),
                         [&](quint32 a, quint32 b) { return inteiras[a].custo > inteiras[b].custo; });
    };
    const Fracionaria *casada = nullptr;
    while (D > 0) {
        if (maior > D) {
            ordenarPorCusto();
            while (saidas < porCusto.size() && inteiras[porCusto[saidas]].custo > D) {
                ++r.Visitas;
                saiuEm[porCusto[saidas]] = K;
                soma -= inteiras[porCusto[saidas]].custo;
                ++saidas;
            }
            maior = saidas < porCusto.size() ? inteiras[porCusto[saidas]].custo : 0;
        }
        // The first fractional entry, in row order, whose step matches this D.
        while (vivo < intervalos.size() && intervalos[vivo].inicio > D)
            ++vivo;
        casada = nullptr;
        for (size_t k = vivo; k < intervalos.size() && intervalos[k].inicio > D - u; ++k) {
            ++r.Visitas;
            const Fracionaria &f = fracionarias[intervalos[k].f];
            if (!casada || f.i < casada->i)
                casada = &f;
        }
        if (soma == 0 && !casada)
            break; // nothing fits: not reached
        if (soma >= D || casada) {
            // The last sweep: it ends inside, when the added costs reach D or at a match.
            __int128 G = 0;
            bool fim = false;
            const size_t ate = casada ? casada->i : l.size();
            for (size_t k = 0; k < inteiras.size() && inteiras[k].i < ate; ++k) {
                ++r.Visitas;
                if (saiuEm[k] >= 0)
                    continue;
                naUltima[k] = 1;
                G += inteiras[k].custo;
                if (G >= D) {
                    fim = true;
                    break;
                }
            }
            if (fim)
                casada = nullptr;
            break;
        }
        // This sweep and the next ones add `soma` each while every fitting cost still fits
        // and the sweep completes (D stays above the sum), up to the first sweep at which a
        // fractional step matches.
        const __int128 limiar = std::max(maior, soma + 1);
        __int128 k = (D - limiar) / soma + 1;
        const __int128 depois = D - k * soma;
        for (size_t j = vivo; j < intervalos.size() && intervalos[j].inicio + u > depois; ++j) {
            ++r.Visitas;
            const __int128 inicio = intervalos[j].inicio;
            const __int128 varredura = (D - (inicio + u)) / soma + 1;
            if (varredura < k && D - varredura * soma >= inicio)
                k = varredura;
        }
        K += qint64(k);
        D -= k * soma;
    }
    for (size_t k = 0; k < inteiras.size(); ++k) {
        const qint64 somadas = (saiuEm[k] >= 0 ? saiuEm[k] : K) + naUltima[k];
        if (somadas != 0)
            mudar(inteiras[k].i, l[inteiras[k].i].Qtde + double(somadas));
    }
    if (casada)
        mudar(casada->i, casada->mais);
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
        r.Atingido += ValorUnidades(q, x.Preco, d);
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
    const __int128 q = DividirArredondado(static_cast<__int128>(valor) * novo, antigo);
    if (q > std::numeric_limits<qint64>::max() || q < -std::numeric_limits<qint64>::max())
        ForaDoLimiteExato();
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
