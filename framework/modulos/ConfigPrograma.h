#pragma once
// The program's settings file: the INI file the program reads at start for its database
// (TnConfigBanco::ArquivoPadrao, "banco.ini" in the user's configuration folder). Besides
// the section [Banco], modules keep there the settings of their installation that the
// user does not choose (addresses of outside services, access tokens, folders), each in a
// section of its own.
#include <QString>

class TnConfigPrograma {
public:
    // The file read (TnConfigBanco::ArquivoPadrao unless another was set).
    static QString Arquivo();
    // Another file (tests, portable installs); empty: back to the default.
    static void DefinirArquivo(const QString &arquivo);
    // The value of `chave` in `secao`, trimmed; `padrao` when absent or blank.
    static QString Ler(const QString &secao, const QString &chave, const QString &padrao = QString());
};
