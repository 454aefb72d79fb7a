#pragma once
// What the import benchmarks share besides BenchComum.h: how many rows they write
// (ORVO_BENCH_IMPORTACAO, default 100,000).
#include "BenchComum.h"

inline int QtdeImportacao()
{
    static const int n = qEnvironmentVariableIsSet("ORVO_BENCH_IMPORTACAO")
                             ? qEnvironmentVariableIntValue("ORVO_BENCH_IMPORTACAO")
                             : 100000;
    return n;
}
