#pragma once
// Personalisation: the connected user, the user's permitted date window, the framework's
// settings and the user preference file.
//
// Where each comes from:
// - the connected user: set by the login (DefinirUsuarioConectado); 0 before any login;
// - the permitted window: the framework table NPERSONALIZACAO, one row per user
//   (CODIGOUSUARIO, DATAFINALPERMITIDA). No row, or no date, means no limit. It is kept in
//   the database, not in the user's own file, because an administrator sets it;
// - the framework's settings: the framework table NCONFIGURACAO (CHAVE, VALOR), key
//   "CONFIGURACOES" holding the settings set as an integer of bits. No row: every bit off;
// - the preference file: an INI file per user in the user's configuration folder,
//   "<folder>/usuario_<code>.ini", read and written by section and key.
// Without a current connection the window has no limit and every setting is off.
#include <QDate>
#include <QSettings>
#include <QString>
#include <bitset>
#include <memory>

class nDMConexao;

// The user the program is working for.
int CodigoUsuarioConectado();
QString NomeUsuarioConectado();
void DefinirUsuarioConectado(int codigo, const QString &nome);

// Bits of the framework's settings set.
enum TnConfiguracaoFw {
    cfgUsaUlmar = 0 // the general-registry module keeps the company settings
};
using TnConfiguracoesFw = std::bitset<32>;

class nDMPersonalizacao {
public:
    // The date that stands for "no limit": every date is at or before it.
    static QDate SemLimite() { return QDate(9999, 12, 31); }
    // The last date the connected user may write (SemLimite when none is set).
    static QDate GetPermiDataFinal();
    static QDate GetPermiDataFinal(int usuario, nDMConexao &con);
    static TnConfiguracoesFw GetConfiguracoes();
    static TnConfiguracoesFw GetConfiguracoes(nDMConexao &con);
};

// The first bit of the framework's settings: the general-registry module keeps the company
// settings (default off).
bool IsUseUlmar();

// The suite module the program is working as: this inventory module is 3, the general
// registry 0. Registers that are shared between modules show or hide what only one of them
// needs by it. 3 unless set (the program is the inventory module).
int PegarModuloAtual();
void DefinirModuloAtual(int modulo);

// The connected user's preference file.
class TnPreferenciasUsuario {
public:
    // Folder of the preference files: the user's configuration folder of the program
    // unless another was set (tests, portable installs). Other files that belong with the
    // user's preferences are looked for here too.
    static QString Pasta();
    static void DefinirPasta(const QString &pasta); // empty: back to the default
    static QString Arquivo(int usuario);
    static QString Arquivo() { return Arquivo(CodigoUsuarioConectado()); }

    // A blank section or key, or one holding '/', '\', '=', '[', ']' or a line break, is
    // refused (Exception): it could not be written as an INI line.
    static QString Ler(const QString &secao, const QString &chave, const QString &padrao = QString());
    // Exception when the file cannot be written.
    static void Gravar(const QString &secao, const QString &chave, const QString &valor);
};

// The connected user's preference file (TnPreferenciasUsuario::Arquivo) opened for a module
// to read and write its own keys; its folder is created when missing. Write keys under the
// section PegarSectionUsuario gives.
std::unique_ptr<QSettings> CriarINIModuloCfg();
// The section of the connected user's preferences of a form: "<nomeForm>_<USER NAME>"
// ("frmUlmarDMProduto_ADMINISTRADOR"), the user's code when the name is blank; characters an
// INI section cannot hold become "_". A blank form name, or one with such characters, is an
// error (Exception).
QString PegarSectionUsuario(const QString &nomeForm);
