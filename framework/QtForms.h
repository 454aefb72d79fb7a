#pragma once
// Windows that show modules. Each open module has one window (TnFrmModulo); closing the
// window frees the module, and a module destroyed from elsewhere (its class unregistered
// when a library unloads) closes its window at once.
#include "Modulos.h"

#include <QDialog>
#include <QPointer>

class TnFrmModulo : public QDialog {
    Q_OBJECT
public:
    TnFrmModulo(TnDataModule *dm, QWidget *pai = nullptr);
    ~TnFrmModulo() override;

    TnDataModule *Modulo() const { return FModulo.data(); }
    // The module still exists (handlers check it: the window may outlive it for a moment).
    bool Vivo() const { return !FModulo.isNull(); }
    // Shows the window modally; true when it was confirmed (Confirmar).
    bool ExecutarModal();
    // Confirmed: a register's window is confirmed by closing it (what it saved is saved);
    // a process's only by a run that ended well (SetConfirmarAoFechar(false), Confirmar).
    void Confirmar() { FConfirmado = true; }
    bool Confirmado() const { return FConfirmado; }
    void SetConfirmarAoFechar(bool v) { FConfirmarAoFechar = v; }
    // Every way of closing (the close button, Esc, accept, reject) ends here.
    void done(int r) override;

protected:
    // Frees the module once the window closed; forms of modules that free themselves on
    // closing override it.
    virtual void LiberarModulo();
    // Asked before the window closes; false keeps it open.
    virtual bool PodeFechar() { return true; }

private:
    void ModuloDestruido();
    QPointer<TnDataModule> FModulo;
    bool FConfirmado = false;
    bool FConfirmarAoFechar = true;
    bool FLiberado = false;
    bool FModal = false;
};

// A window that only names the module: for modules that declare no form of their own.
class TnFrmSimples : public TnFrmModulo {
    Q_OBJECT
public:
    TnFrmSimples(TnDataModule *dm, QWidget *pai = nullptr);
};

// The window for a module: the generic form of its kind, or a plain one. The window takes
// the module (it frees it when it closes, also when building the window fails).
TnFrmModulo *CriarFormModulo(TnDataModule *dm, QWidget *pai);
