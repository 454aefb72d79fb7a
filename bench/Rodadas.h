#pragma once
// A comparison of the framework against the raw engine interface doing the same work:
// rounds alternate framework and raw, each side prepared (untimed) before its timed part,
// and the case reports for each side the minimum and the median of its rounds and the
// ratio of the medians (counters fw_min_ms, fw_med_ms, raw_min_ms, raw_med_ms, razao).
// Run the case with Iterations(1): the rounds are inside.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

struct TnLado {
    std::function<void()> Preparar; // untimed, before each round of this side
    std::function<void()> Trabalho; // timed
};

inline void AlternarRodadas(benchmark::State &state, int rodadas, const TnLado &framework, const TnLado &direto)
{
    std::vector<double> fw, raw;
    const auto medir = [](const TnLado &lado, std::vector<double> &tempos) {
        if (lado.Preparar)
            lado.Preparar();
        const auto inicio = std::chrono::steady_clock::now();
        lado.Trabalho();
        tempos.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio).count());
    };
    for (auto _ : state)
        for (int r = 0; r < rodadas; ++r) {
            medir(framework, fw);
            medir(direto, raw);
        }
    const auto mediana = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    };
    state.counters["fw_min_ms"] = *std::min_element(fw.begin(), fw.end());
    state.counters["fw_med_ms"] = mediana(fw);
    state.counters["raw_min_ms"] = *std::min_element(raw.begin(), raw.end());
    state.counters["raw_med_ms"] = mediana(raw);
    state.counters["razao"] = mediana(fw) / mediana(raw);
}
