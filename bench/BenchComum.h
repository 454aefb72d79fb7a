#pragma once
// What the benchmark cases share: the Qt application object that Qt's SQL drivers (plugins)
// need, and one temporary folder for the generated databases.
#include "Bibliotecas.h"
#include "Conexao.h"
#include "ConversaoBanco.h"
#include "Modulos.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "Variaveis.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
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

// Rows of the large cases: ORVO_BENCH_LINHAS, 1,000,000 unless set.
inline int LinhasBench()
{
    static const int n = qEnvironmentVariableIsSet("ORVO_BENCH_LINHAS") ? qEnvironmentVariableIntValue("ORVO_BENCH_LINHAS")
                                                                        : 1000000;
    return n;
}

// The raw side stops at an SQLite error: a comparison with a failed run means nothing.
inline void ChecarSqlite(sqlite3 *db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

// Runs the process `classe` as the user does on the current connection: the libraries
// loaded, user 1 and company 1 chosen, the parameters typed, the run. A failure skips the
// benchmark with its message.
inline void RodarProcesso(benchmark::State &state, const QString &classe, const QStringList &bibliotecas,
                          const QList<std::pair<QString, QString>> &textos)
{
    for (const QString &b : bibliotecas)
        TnBibliotecas::Carregar(b);
    DefinirUsuarioConectado(1, QStringLiteral("ADMINISTRADOR"));
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    Selecao().Refresh();
    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(classe));
    try {
        for (const auto &[alias, texto] : textos)
            dp->Param(alias).SetText(texto);
        dp->Rodar();
    } catch (const Exception &e) {
        static std::string erro; // the benchmark keeps the pointer
        erro = e.what();
        std::fprintf(stderr, "%s\n", erro.c_str());
        state.SkipWithError(erro.c_str());
    }
    DestruirDM(dp);
}

// The embedded database of that file in the temporary folder, opened as the program opens it.
inline std::unique_ptr<nDMConexao> AbrirBanco(const QString &arquivo)
{
    GarantirApp();
    TnConfigBanco c;
    c.Tipo = tcSQLite;
    c.Arquivo = Pasta().filePath(arquivo);
    return std::make_unique<nDMConexao>(c);
}

// A fresh copy of the closed database `base` as `copia`, opened (the copy's old files go).
inline std::unique_ptr<nDMConexao> CopiarBanco(const QString &base, const QString &copia)
{
    for (const char *fim : {"", "-wal", "-shm"})
        QFile::remove(Pasta().filePath(copia + QLatin1String(fim)));
    if (!QFile::copy(Pasta().filePath(base), Pasta().filePath(copia)))
        std::abort();
    return AbrirBanco(copia);
}

// Resident memory of the process, in MB.
inline long MemoriaResidenteMB()
{
    long paginas = 0, residentes = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &paginas, &residentes) != 2)
            residentes = 0;
        std::fclose(f);
    }
    return residentes * 4096 / (1024 * 1024);
}

// A new converted database `nome` in the benchmarks' folder (one an earlier run left is
// removed). It is never destroyed: Qt's registry of connections may be gone before a static
// of a benchmark file would close it.
inline nDMConexao *NovoBancoConvertido(const QString &nome)
{
    QFile::remove(Pasta().filePath(nome));
    nDMConexao *con = AbrirBanco(nome).release();
    ConverterBanco(*con);
    return con;
}
