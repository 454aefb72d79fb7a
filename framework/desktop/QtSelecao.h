#pragma once
// Dialogs that choose the selection keys, the company and the user.
#include "SelecaoChaves.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QFormLayout;

// Asks for selection keys: a list of values for the company and the branch (the branches
// follow the company chosen), a date editor for dates and for both bounds of a range
// ("… inicial", "… final"), a text editor for anything else. Opens with the selection's
// current values; Ok writes the values (AplicarSelecao), refusing a range whose end comes
// before its start.
class TnDlgSelecao : public QDialog {
    Q_OBJECT
public:
    TnDlgSelecao(const QStringList &chaves, QWidget *pai = nullptr);
    const QStringList &Chaves() const { return FChaves; }
    QWidget *Editor(const QString &chave) const;
    // The value in the editor of `chave` (invalid when nothing is chosen).
    QVariant Valor(const QString &chave) const;
    // Sets the editor of `chave` (a list picks the entry of that value).
    void SetValor(const QString &chave, const QVariant &valor);
    void accept() override;
    // A list with nothing in it may be left empty (otherwise the user is told to register
    // one first).
    void SetAceitaListaVazia(bool v) { FAceitaListaVazia = v; }

private:
    void CarregarEstabs();
    QStringList FChaves;
    bool FAceitaListaVazia = false;
    QHash<QString, QWidget *> FEditores; // by key in lower case
};

// Makes sure `chaves` are chosen: asks for them when some are still empty. False when the
// user cancelled.
bool GarantirSelecao(const QStringList &chaves, QWidget *pai = nullptr);
// Asks for `chaves` again, starting from the current values; a list with nothing to choose
// may stay empty (a new company without branches). False when the user cancelled.
bool EscolherSelecao(const QStringList &chaves, QWidget *pai = nullptr, const QString &titulo = QString());

// Chooses the company: with one registered company it is taken without asking; with none
// nothing is chosen; with several the dialog asks (also when one is chosen already and
// `perguntar` is true). False when the user cancelled.
bool SelecionarEmpresa(QWidget *pai = nullptr, bool perguntar = false);

// The default login. Our user table keeps no passwords, so the dialog only says who works:
// with one user (or none) it is not shown at all. The chosen user becomes the connected
// user (DefinirUsuarioConectado) and its code and name go into the variables
// gCodigoUsuario and gNomeUsuario.
class TnFrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TnFrmLogin(QWidget *pai = nullptr);
    // Shows the dialog when there is a choice to make; false when the user cancelled.
    virtual bool Executar();
    QComboBox *Usuarios() const { return FUsuarios; }

protected:
    void Escolher(const TnOpcaoSelecao &usuario);

private:
    QComboBox *FUsuarios;
    QList<TnOpcaoSelecao> FOpcoes;
};
