// The arithmetic of the inventory adjustment: spreading a new total by unit cost and by
// quantity, the residue pass, the sharing of an entry's quantity over its property lines,
// the rescaling of money and the lookup of tax-situation lines.
#include "AjusteInventarioCalculo.h"

#include <gtest/gtest.h>
#include <random>

using namespace nAjusteInv;

namespace {

std::vector<TnLancamento> Lctos(std::initializer_list<std::pair<double, double>> qtdePreco)
{
    std::vector<TnLancamento> l;
    qint64 produto = 1;
    for (const auto &[q, p] : qtdePreco)
        l.push_back({produto++, q, p, 1, 1});
    return l;
}

qint64 Total(const std::vector<TnLancamento> &l, int d)
{
    qint64 t = 0;
    for (const TnLancamento &x : l)
        t += ValorUnidades(x.Qtde, x.Preco, d);
    return t;
}

// Exact decimals at 9 places, enough for the costs and quantities of these cases.
constexpr int k9 = 9;
qint64 Em9(double v)
{
    qint64 u = 0;
    EXPECT_TRUE(nDecimal::DeReal(v, k9, u));
    return u;
}
// x (9 places) at d places, half away from zero.
qint64 Arredondar9(qint64 x, int d)
{
    const qint64 div = nDecimal::Potencia10(k9 - d), m = x < 0 ? -x : x;
    const qint64 q = (m + div / 2) / div;
    return x < 0 ? -q : q;
}

// The residue rule one unit per sweep, as written for people, on exact decimals: whole
// quantities take one unit while their stored cost fits in the sweep's difference, until the
// costs added reach it; a fractional quantity whose one step makes its rounded total equal to
// its exact total plus the difference, rounded, takes it; a sweep that added something and
// reached the end starts again with the rest. Costs of 0 are passed over. The total reached
// is the sum of the rounded totals.
void ResiduoUmPorVarredura(std::vector<TnLancamento> &l, TnResultadoAjuste &r, int d)
{
    qint64 D = (r.Alvo - r.Atingido) * nDecimal::Potencia10(k9 - d);
    if (D == 0)
        return;
    const double s = PegarMenorFracao(d);
    std::vector<bool> inteira;
    for (const TnLancamento &x : l)
        inteira.push_back(x.Qtde == std::trunc(x.Qtde));
    for (bool fim = false; !fim;) {
        qint64 G = 0;
        for (size_t i = 0; i < l.size() && !fim; ++i) {
            TnLancamento &x = l[i];
            if (!(x.Preco > 0))
                continue;
            if (inteira[i]) {
                if (D >= Em9(x.Preco)) {
                    x.Qtde += 1;
                    G += Em9(x.Preco);
                    fim = G >= D;
                }
            } else {
                const int casas = std::max(CountDec(x.Qtde), d);
                const double q = RoundValor(x.Qtde + (D > 0 ? s : -s), casas);
                qint64 v = 0;
                ASSERT_TRUE(nDecimal::Produto(x.Qtde, x.Preco, k9, v));
                if (ValorUnidades(q, x.Preco, d) == Arredondar9(v + D, d)) {
                    x.Qtde = q;
                    fim = true;
                }
            }
        }
        if (fim || G == 0 || D < G)
            break;
        D -= G;
    }
    r.Atingido = Total(l, d);
}

} // namespace

// The residue for property lines done by hand, round after round, one step per line; a
// negative residue skips lines that hold nothing.
std::vector<qint64> DistribuirPorRodadas(const std::vector<double> &antigas, double nova, int dq)
{
    double total = 0;
    for (double a : antigas)
        total += a;
    std::vector<qint64> h;
    qint64 soma = 0;
    for (double a : antigas) {
        h.push_back(std::max<qint64>(0, Unidades(Dividir(a, total) * nova, dq)));
        soma += h.back();
    }
    qint64 r = Unidades(nova, dq) - soma;
    while (r != 0) {
        for (qint64 &x : h) {
            if (r > 0) {
                ++x;
                --r;
            } else if (x > 0) {
                --x;
                ++r;
            }
            if (r == 0)
                break;
        }
    }
    return h;
}

TEST(AjusteInventarioCalculo, CustoUnitarioEspalhaOAlvoEOsUltimosAbsorvemOArredondamento)
{
    auto l = Lctos({{4, 2.5}});
    TnResultadoAjuste r = AjustarPorCustoUnitario(l, 2500, 2);
    EXPECT_DOUBLE_EQ(l[0].Preco, 6.25);
    EXPECT_TRUE(r.Exato());

    l = Lctos({{3, 1}});
    r = AjustarPorCustoUnitario(l, 1000, 2);
    EXPECT_DOUBLE_EQ(l[0].Preco, 3.33);
    EXPECT_EQ(r.Atingido, 999);
    EXPECT_FALSE(r.Exato());

    // 10 over three equal entries: 3.33, then 6.67 over the two left gives 3.34, then 3.33.
    l = Lctos({{1, 1}, {1, 1}, {1, 1}});
    r = AjustarPorCustoUnitario(l, 1000, 2);
    EXPECT_DOUBLE_EQ(l[0].Preco, 3.33);
    EXPECT_DOUBLE_EQ(l[1].Preco, 3.34);
    EXPECT_DOUBLE_EQ(l[2].Preco, 3.33);
    EXPECT_TRUE(r.Exato());

    // An entry without value gets cost 0 (it is deleted); the others take the whole target.
    l = Lctos({{1, 0}, {1, 1}});
    r = AjustarPorCustoUnitario(l, 500, 2);
    EXPECT_TRUE(l[0].Excluir());
    EXPECT_DOUBLE_EQ(l[1].Preco, 5);
    EXPECT_TRUE(r.Exato());
}

TEST(AjusteInventarioCalculo, CustoUnitarioMedeABaseSempreDoMesmoJeito)
{
    // Three entries of 1 x 0.004 and one of 1 x 0.01: the rounded base is 0.01, the real
    // one 0.022. Reducing the rounded base by unrounded values gave 40 + 40 + 40 + 100.
    auto l = Lctos({{1, 0.004}, {1, 0.004}, {1, 0.004}, {1, 0.01}});
    EXPECT_EQ(BaseArredondada(l, 2), 1);
    const TnResultadoAjuste r = AjustarPorCustoUnitario(l, 10000, 2);
    EXPECT_EQ(r.Atingido, 10000);
    EXPECT_TRUE(r.Exato());
    EXPECT_DOUBLE_EQ(l[0].Preco, 18.18);
    EXPECT_DOUBLE_EQ(l[3].Preco, 45.46);
}

TEST(AjusteInventarioCalculo, CustoUnitarioNuncaFicaNegativo)
{
    // 1000 x 1.00 takes 1.01 (1010.00 of a target of 1006.01): nothing remains for the
    // second entry, which takes the run's overall proportion instead of -3.99.
    auto l = Lctos({{1000, 1}, {1, 1}});
    const TnResultadoAjuste r = AjustarPorCustoUnitario(l, 100601, 2);
    EXPECT_DOUBLE_EQ(l[0].Preco, 1.01);
    EXPECT_DOUBLE_EQ(l[1].Preco, 1.01);
    EXPECT_EQ(r.Atingido, 101101);
    EXPECT_FALSE(r.Exato());
}

TEST(AjusteInventarioCalculo, QuantidadeInteiraFracionariaENoveDecimos)
{
    auto uma = [](double qtde, double preco, qint64 alvo, int dq) {
        auto l = Lctos({{qtde, preco}});
        const TnResultadoAjuste r = AjustarPorQuantidade(l, alvo, 2, dq);
        return std::make_pair(l[0].Qtde, r);
    };
    EXPECT_DOUBLE_EQ(uma(1, 10, 9500, 4).first, 9);     // 9.5: the integer part
    EXPECT_DOUBLE_EQ(uma(1, 10, 9950, 4).first, 10);    // 9.95: above 0.9, one more
    EXPECT_DOUBLE_EQ(uma(1, 10, 9900, 4).first, 9);     // 9.9 is not above 0.9
    EXPECT_DOUBLE_EQ(uma(1.5, 3, 10000, 4).first, 33.3333);
    EXPECT_DOUBLE_EQ(uma(1.5, 3, 10000, 3).first, 33.333);
    EXPECT_DOUBLE_EQ(uma(1.5, 3, 10000, 0).first, 33);
    // The equal share cannot be reached in units of 10: not exact, the total reached told.
    const auto [q, r] = uma(1, 10, 9500, 4);
    EXPECT_EQ(r.Atingido, 9000);
    EXPECT_FALSE(r.Exato());

    EXPECT_TRUE(FracaoAcimaDeNoveDecimos(0.91));
    EXPECT_TRUE(FracaoAcimaDeNoveDecimos(9.99));
    EXPECT_FALSE(FracaoAcimaDeNoveDecimos(0.9));
    EXPECT_FALSE(FracaoAcimaDeNoveDecimos(10));
}

TEST(AjusteInventarioCalculo, ResiduoDecididoEmUnidadesInteiras)
{
    // Two entries 5 x 10.00, target 190: both get 9 (95 each, 9.5 units), 180 reached, the
    // residue 10.00 is one unit of the first: exactly the target.
    auto l = Lctos({{5, 10}, {5, 10}});
    TnResultadoAjuste r = AjustarPorQuantidade(l, 19000, 2, 4);
    EXPECT_DOUBLE_EQ(l[0].Qtde, 10);
    EXPECT_DOUBLE_EQ(l[1].Qtde, 9);
    EXPECT_EQ(r.Atingido, 19000);
    EXPECT_TRUE(r.Exato());

    // A fractional entry one step of which is the residue absorbs it: the target is reached.
    l = Lctos({{2, 3}, {1.5, 200}});
    r = AjustarPorQuantidade(l, 100000, 2, 2);
    EXPECT_DOUBLE_EQ(l[0].Qtde, 166);
    EXPECT_DOUBLE_EQ(l[1].Qtde, 2.51);
    EXPECT_TRUE(r.Exato());
    EXPECT_EQ(r.Atingido, Total(l, 2));

    // A million entries sum without drift: 0.1 each, a million of them.
    std::vector<TnLancamento> muitos(1000000, TnLancamento{1, 1, 0.1, 1, 1});
    r = AjustarPorQuantidade(muitos, 10000000, 2, 4);
    EXPECT_EQ(r.Atingido, 10000000);
    EXPECT_TRUE(r.Exato());
}

TEST(AjusteInventarioCalculo, ResiduoLimitadoAPoucasPassagens)
{
    // 1,000 entries at 1,000.00, one at 9,400.00 and one at 0.01, target 10,020,000.00: the
    // equal share 10,000 leaves a residue of 600.00 that only the 0.01 entry fits, 60,000
    // units, one per sweep.
    std::vector<TnLancamento> l(1000, TnLancamento{1, 1, 1000, 1, 1});
    l.push_back({2, 1, 9400, 1, 1});
    l.push_back({3, 1, 0.01, 1, 1});
    const TnResultadoAjuste r = AjustarPorQuantidade(l, 1002000000, 2, 4);
    EXPECT_TRUE(r.Exato());
    EXPECT_DOUBLE_EQ(l.back().Qtde, 1060000);
    EXPECT_DOUBLE_EQ(l[0].Qtde, 10);
    EXPECT_LE(r.Visitas, qint64(2 * l.size()));
}

TEST(AjusteInventarioCalculo, ResiduoIgualAUmaUnidadePorVarredura)
{
    std::mt19937 gerador(20240531);
    auto sorteio = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(gerador); };
    for (int caso = 0; caso < 3000; ++caso) {
        const int d = std::vector<int>{0, 2, 3}[size_t(sorteio(0, 2))];
        std::vector<TnLancamento> l;
        const int n = sorteio(1, 8);
        for (int i = 0; i < n; ++i) {
            // Some unit costs carry more decimals than the cost decimals.
            const double preco = sorteio(0, 4) == 0 ? Real(sorteio(0, 6000), d + 2) : Real(sorteio(0, 60), d);
            const double qtde = sorteio(0, 2) == 0 ? Real(sorteio(0, 30) * 100 + sorteio(1, 99), 2) : sorteio(0, 30);
            l.push_back({i + 1, qtde, preco, 1, 1});
        }
        TnResultadoAjuste r;
        r.Atingido = Total(l, d);
        r.Alvo = r.Atingido + sorteio(-60, 400);
        auto esperado = l;
        TnResultadoAjuste re = r;
        ResiduoUmPorVarredura(esperado, re, d);
        CorrigirResiduoAjuste(l, r, d);
        ASSERT_EQ(r.Atingido, re.Atingido) << "caso " << caso;
        ASSERT_EQ(r.Atingido, Total(l, d)) << "caso " << caso;
        for (int i = 0; i < n; ++i)
            ASSERT_DOUBLE_EQ(l[size_t(i)].Qtde, esperado[size_t(i)].Qtde) << "caso " << caso << " linha " << i;
    }
}

TEST(AjusteInventarioCalculo, ResiduoComOCustoGravadoEValoresExatos)
{
    // 10 x 5.00 and 1 x 0.004, target 100.03: the shares give 10 and 12,503 (100.01); the
    // stored cost 0.004 fits the difference 0.02 five times: 12,508 units, 50.032 -> 50.03.
    auto l = Lctos({{10, 5}, {1, 0.004}});
    TnResultadoAjuste r = AjustarPorQuantidade(l, 10003, 2, 4);
    EXPECT_DOUBLE_EQ(l[0].Qtde, 10);
    EXPECT_DOUBLE_EQ(l[1].Qtde, 12508);
    EXPECT_EQ(r.Atingido, 10003);
    EXPECT_TRUE(r.Exato());

    // No cost decimals: 40 x 3.22 and 12 x 10, target 274: 42 and 13 (265); 3.22 fits 9 and
    // then 5.78, not 2.56: 44 and 13, 141.68 + 130 = 272, not reached.
    l = Lctos({{40, 3.22}, {12, 10}});
    r = AjustarPorQuantidade(l, 274, 0, 4);
    EXPECT_DOUBLE_EQ(l[0].Qtde, 44);
    EXPECT_DOUBLE_EQ(l[1].Qtde, 13);
    EXPECT_EQ(r.Atingido, 272);
    EXPECT_FALSE(r.Exato());

    // 3 x 1.005 is 3.02, the target itself; 50 x 0.8401 is 42.01.
    l = Lctos({{3, 1.005}});
    r = AjustarPorQuantidade(l, 302, 2, 4);
    EXPECT_DOUBLE_EQ(l[0].Qtde, 3);
    EXPECT_TRUE(r.Exato());
    EXPECT_EQ(BaseArredondada(Lctos({{50, 0.8401}, {3, 1.005}}), 2), 4201 + 302);

    // By unit cost the last entry takes exactly what remains over its quantity: 1 x 0.37 and
    // 2 x 0.37, target 2.89: 0.96 for the first, then 1.93 over 2 = 0.965, so 0.97.
    l = Lctos({{1, 0.37}, {2, 0.37}});
    r = AjustarPorCustoUnitario(l, 289, 2);
    EXPECT_DOUBLE_EQ(l[0].Preco, 0.96);
    EXPECT_DOUBLE_EQ(l[1].Preco, 0.97);
    EXPECT_EQ(r.Atingido, 290);
}

TEST(AjusteInventarioCalculo, CasasDeCustoEDeQuantidade)
{
    for (int d : {0, 2, 6})
        for (int dq : {0, 3, 4}) {
            SCOPED_TRACE(testing::Message() << d << " casas de custo, " << dq << " de quantidade");
            const auto base = Lctos({{3, 1.5}, {2.75, 7.25}, {10, 0.333}, {0.5, 12}, {1, 4}});
            const qint64 alvo = Unidades(1234.567891, d);
            // By unit cost: costs at the cost decimals; the last entry (quantity 1) takes
            // whatever remains, so the target is reached.
            auto l = base;
            TnResultadoAjuste r = AjustarPorCustoUnitario(l, alvo, d);
            for (const TnLancamento &x : l) {
                EXPECT_LE(CountDec(x.Preco), d);
                EXPECT_GE(x.Preco, 0);
            }
            EXPECT_TRUE(r.Exato());
            EXPECT_EQ(r.Atingido, Total(l, d));
            // By quantity: whole quantities stay whole, fractional ones take the quantity
            // decimals (a residue step adds one of the cost decimals); the total told is
            // the total of the rows.
            l = base;
            r = AjustarPorQuantidade(l, alvo, d, dq);
            for (size_t i = 0; i < l.size(); ++i) {
                EXPECT_GE(l[i].Qtde, 0);
                if (base[i].Qtde == std::trunc(base[i].Qtde))
                    EXPECT_EQ(l[i].Qtde, std::trunc(l[i].Qtde));
                else
                    EXPECT_LE(CountDec(l[i].Qtde), std::max(dq, d == 0 ? 1 : d));
                EXPECT_EQ(l[i].Preco, base[i].Preco);
            }
            EXPECT_EQ(r.Atingido, Total(l, d));
        }
}

TEST(AjusteInventarioCalculo, QuantidadeDasLinhasEmProporcaoComResiduoFechado)
{
    std::vector<qint64> novas;
    DistribuirQuantidadeItens({1, 1, 1}, 10, 3, novas);
    EXPECT_EQ(novas, (std::vector<qint64>{3334, 3333, 3333}));
    // Residue -0.0001: taken from a line that holds a step, never from the empty one.
    DistribuirQuantidadeItens({1, 1, 1, 0}, 0.0002, 4, novas);
    EXPECT_EQ(novas, (std::vector<qint64>{0, 1, 1, 0}));
    // Old quantities summing to 0: the equal split, a billion steps without a loop.
    DistribuirQuantidadeItens({0, 0, 0}, 1000, 6, novas);
    EXPECT_EQ(novas, (std::vector<qint64>{333333334, 333333333, 333333333}));
    // A negative old quantity gives no negative share.
    DistribuirQuantidadeItens({5, -1}, 4, 0, novas);
    EXPECT_EQ(novas, (std::vector<qint64>{4, 0}));
    DistribuirQuantidadeItens({}, 4, 0, novas);
    EXPECT_TRUE(novas.empty());

    std::mt19937 gerador(7);
    auto sorteio = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(gerador); };
    for (int caso = 0; caso < 3000; ++caso) {
        const int dq = sorteio(0, 4);
        std::vector<double> antigas;
        for (int i = sorteio(1, 6); i > 0; --i)
            antigas.push_back(sorteio(-3, 40) / 4.0);
        const double nova = Real(sorteio(0, 300), std::min(dq, 2));
        DistribuirQuantidadeItens(antigas, nova, dq, novas);
        ASSERT_EQ(novas, DistribuirPorRodadas(antigas, nova, dq)) << "caso " << caso;
        qint64 soma = 0;
        for (qint64 h : novas) {
            ASSERT_GE(h, 0);
            soma += h;
        }
        ASSERT_EQ(soma, Unidades(nova, dq)) << "caso " << caso;
    }
}

TEST(AjusteInventarioCalculo, DinheiroEscaladoAoCentavo)
{
    EXPECT_EQ(EscalarValor(5000, 6000, 5000), 6000); // base 50 of a line from 50 to 60
    EXPECT_EQ(EscalarValor(900, 6000, 5000), 1080);  // tax 9 becomes 10.80
    EXPECT_EQ(EscalarValor(900, 0, 0), 900);         // old total 0: kept
    EXPECT_EQ(EscalarValor(1, 1, 2), 1);             // half a cent away from zero
    EXPECT_EQ(EscalarValor(-1, 1, 2), -1);
    EXPECT_EQ(EscalarValor(1, 1, 3), 0);
    EXPECT_EQ(EscalarValor(4000000000000000000LL, 3, 4), 3000000000000000000LL); // no overflow inside
    EXPECT_THROW(Unidades(1e300, 2), Exception);
}

TEST(AjusteInventarioCalculo, LinhasDeCSTPorLinhaDePropriedade)
{
    TnLinhasCST linhas;
    linhas.Adicionar({10, 1, 1, 1}, 0, 5000, 900);
    linhas.Adicionar({10, 1, 1, 1}, 20, 100, 10);
    linhas.Adicionar({10, 1, 2, 1}, 0, 7, 1); // another reason of the same product
    linhas.Indexar();
    auto [a, b] = linhas.Linhas({10, 1, 1, 1});
    ASSERT_EQ(b - a, 2);
    EXPECT_EQ(a[1].CST, 20);
    auto [c, e] = linhas.Linhas({10, 1, 2, 1});
    ASSERT_EQ(e - c, 1);
    EXPECT_EQ(c->Base, 7);
    auto [f, g] = linhas.Linhas({10, 1, 1, 2});
    EXPECT_EQ(f, g);

    TnLinhasCST separadas;
    separadas.Adicionar({10, 1, 1, 1}, 0, 1, 1);
    separadas.Adicionar({11, 1, 1, 1}, 0, 1, 1);
    separadas.Adicionar({10, 1, 1, 1}, 20, 1, 1);
    EXPECT_THROW(separadas.Indexar(), Exception);
}
