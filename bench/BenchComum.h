#pragma once
// What the benchmark cases share: the Qt application object that Qt's SQL drivers (plugins)
// need, and one temporary folder for the generated databases.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

inline void GarantirApp()
{
    static int argc = 1;
    static char nome[] = "orvo_bench";
    static char *argv[] = {nome, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

inline QTemporaryDir &Pasta()
{
    static QTemporaryDir dir;
    return dir;
}

// Rounds of a case measured against the same work done with the engine's C interface: each
// round runs `preparar` (not timed), then the framework's side, then `preparar` again and the
// raw side, so neither side always runs first on a warm cache. The benchmark's counters
// give each side's minimum and median in milliseconds and the ratio of the medians
// (framework / raw). Meant for a case registered with Iterations(1).
inline void MedirContraDireto(benchmark::State &state, int rodadas, const std::function<void()> &preparar,
                              const std::function<void()> &framework, const std::function<void()> &direto)
{
    std::vector<double> fw, raw;
    auto medir = [](const std::function<void()> &f) {
        const auto inicio = std::chrono::steady_clock::now();
        f();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio).count();
    };
    for (auto _ : state) {
        for (int r = 0; r < rodadas; ++r) {
            preparar();
            fw.push_back(medir(framework));
            preparar();
            raw.push_back(medir(direto));
        }
    }
    if (fw.empty())
        return;
    auto mediana = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    state.counters["fw_min"] = *std::min_element(fw.begin(), fw.end());
    state.counters["fw_med"] = mediana(fw);
    state.counters["raw_min"] = *std::min_element(raw.begin(), raw.end());
    state.counters["raw_med"] = mediana(raw);
    state.counters["razao"] = mediana(fw) / mediana(raw);
}
