#pragma once
// What the benchmark cases share: the Qt application object that Qt's SQL drivers (plugins)
// need, and one temporary folder for the generated databases.
#include <QCoreApplication>
#include <QTemporaryDir>

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
