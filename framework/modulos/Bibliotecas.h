#pragma once
// The libraries the program loads from its own folder (OrvoCore, OrvoPrefs, OrvoQuery and the
// siblings' stand-ins). A library registers its classes while it loads (TnRegistrador) and
// the registry notes which library each class came from. Unloading first unregisters those
// classes (their modules are destroyed and their actions deleted) and only then unloads the
// code, so nothing the framework keeps points into a library that is gone.
#include <QString>
#include <QStringList>

class TnBibliotecas {
public:
    // The program's folder (where the executable is).
    static QString PastaPrograma();
    // Loads the library by its bare name ("OrvoCore": the platform's prefix and suffix are
    // added) from the program's folder. A name with a path or ".." is refused. Loading a
    // library already loaded does nothing. Failure: Exception with the system's reason.
    static void Carregar(const QString &nome);
    static void Descarregar(const QString &nome);
    static void DescarregarTodas(); // in the reverse order of loading
    static bool Carregada(const QString &nome);
    static QStringList Carregadas(); // in loading order
};
