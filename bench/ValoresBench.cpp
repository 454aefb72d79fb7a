// Rounding runs once per value on hundreds of thousands of rows; filters may list thousands
// of codes.
#include "Literais.h"
#include "Valores.h"

#include <QStringList>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

std::vector<double> Valores(bool jaNaEscala)
{
    std::mt19937_64 gerador(1);
    std::uniform_int_distribution<qint64> sorteio(0, 99999999);
    std::vector<double> v(100000);
    for (double &x : v)
        x = jaNaEscala ? double(sorteio(gerador)) / 100.0                       // money as stored
                       : double(sorteio(gerador)) / 1000.0 * 1.37;              // products of factors
    return v;
}

// Argument 1: money values already at the scale; 0: products of factors.
void RoundValorDuasCasas(benchmark::State &estado)
{
    const auto v = Valores(estado.range(0) == 1);
    for (auto _ : estado)
        for (double x : v)
            benchmark::DoNotOptimize(RoundValor(x, 2));
    estado.SetItemsProcessed(estado.iterations() * qint64(v.size()));
}
BENCHMARK(RoundValorDuasCasas)->Arg(1)->Arg(0);

void FormatFloatMoeda(benchmark::State &estado)
{
    const auto v = Valores(false);
    for (auto _ : estado)
        for (double x : v)
            benchmark::DoNotOptimize(FormatFloat(QStringLiteral("#,##0.00"), x));
    estado.SetItemsProcessed(estado.iterations() * qint64(v.size()));
}
BENCHMARK(FormatFloatMoeda);

void FilterIntervalMilCodigos(benchmark::State &estado)
{
    QStringList codigos;
    for (int i = 0; i < 5000; ++i)
        codigos << QString::number(100000000000LL + i * 37);
    const QString texto = codigos.join(';');
    for (auto _ : estado)
        benchmark::DoNotOptimize(FilterInterval(QStringLiteral("L.CODIGOPRODUTO"), texto));
    estado.SetItemsProcessed(estado.iterations() * codigos.size());
}
BENCHMARK(FilterIntervalMilCodigos);

} // namespace

BENCHMARK_MAIN();
