#pragma once
// Windows that show modules. Each open module has one window (TnFrmModulo); closing the
// window frees the module, and a module destroyed from elsewhere (its class unregistered
// when a library unloads) closes its window at once.
//
// TnFrmModulo is also what the module sees of its window (TnFormModulo, Formulario.h): the
// common parts live here (closing, form actions, status panels, size); the register page,
// grids and the process parameter form (QtCadastro.h, QtProcesso.h) add the controls.
#include "Formulario.h"
#include "Modulos.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <functional>

class QAction;
class QStatusBar;
class QLabel;

class TnFrmModulo : public QDialog, public TnFormModulo {
    Q_OBJECT
public:
    TnFrmModulo(TnDataModule *dm, QWidget *pai = nullptr);
    ~TnFrmModulo() override;

    TnDataModule *Modulo() const { return FModulo.data(); }
    // The module still exists (handlers check it: the window may outlive it for a moment).
    bool Vivo() const { return !FModulo.isNull(); }
    // Shows the window modally; true when it was confirmed.
    bool ExecutarModal();
    // Confirmed: a register's window is confirmed by closing it (what it saved is saved);
    // a process's only by a run that ended well (SetConfirmarAoFechar(false), Confirmar).
    void Confirmar() { FConfirmado = true; }
    bool Confirmado() const { return FConfirmado; }
    void SetConfirmarAoFechar(bool v) { FConfirmarAoFechar = v; }
    bool EmModal() const { return FModal; }
    // Every way of closing (the close button, Esc, accept, reject) ends here.
    void done(int r) override;

    // Runs what the user asked for, reporting a failure as MostrarFalha does (the message,
    // then the focus on the field or parameter an EnField or EnParam names). True when it
    // ended without an exception.
    bool Tentar(const std::function<void()> &f);

    // The action of the window for a form action, when it has one.
    QAction *AcaoForm(TnAcaoForm a) const { return FAcoesForm.value(a); }
    // Switched off by the module (ConfigurarActionForm).
    bool AcaoDesligada(TnAcaoForm a) const { return FDesligadas.contains(a); }

    // ---- TnFormModulo (the parts every window has)
    void Fechar() override;
    void FocarControle(const QString &) override {}
    void AtualizarControle(const QString &) override {}
    bool Inserindo() const override { return false; }
    void ConfigurarActionForm(TnAcaoForm acao, bool ativa) override;
    void AdicionarAtalhoSecundario(TnAcaoForm acao, const QString &atalho) override;
    void SetTextoPainel(int painel, const QString &texto) override;
    void SetLarguraPainel(int painel, int largura) override;
    QString TextoPainel(int painel) const;
    void DefinirTamanho(int largura, int altura) override;
    // The size the window opens at: the one the user left it at last time (kept per user
    // and module class), never less than `minimo` (what shows all its buttons).
    void AbrirNoTamanho(const QSize &minimo);
    QString CriarPageControl(const QString &pai) override { return pai; }
    QString CriarTabSheet(const QString &, const QString &caption) override { return caption; }
    void MostrarDetalhe(TnDMClientDataSet *, const QString &) override {}
    void ResultadoAlterado() override {}
    // Only the register page shows extra controls and parameter panels (QtCadastro.h):
    // here an extra is not shown and a panel is refused.
    void MostrarControleExtra(TnControleExtra *) override {}
    QString CriarPainelParametros(TnpqPowerParam &params, const QString &campoAnterior) override;
    void CarregarPainelParametros(const QString &) override {}
    void SalvarPainelParametros(const QString &, bool) override {}

protected:
    // Where the derived window puts its controls (the status panels go below it).
    QWidget *Conteudo() const { return FConteudo; }
    // Binds a window action to a form action (switching and shortcuts).
    void RegistrarAcaoForm(TnAcaoForm a, QAction *acao);
    // Applies the state the window wants for its actions, and the module's switches.
    virtual void AtualizarAcoes() {}
    // Frees the module once the window closed: a module shown in a form frees itself
    // (TnDMFormulario::FormFechado); other modules are deleted here.
    void LiberarModulo();
    // Asked before the window closes; false keeps it open. A module shown in a form is
    // asked (FormCloseQuery; a failure is shown and keeps the window open).
    virtual bool PodeFechar();

private:
    void ModuloDestruido();
    void GuardarTamanho();
    QPointer<TnDataModule> FModulo;
    QWidget *FConteudo;
    QStatusBar *FStatus = nullptr;
    QList<QLabel *> FPaineis;
    QHash<int, QPointer<QAction>> FAcoesForm;
    QSet<int> FDesligadas;
    bool FConfirmado = false;
    bool FConfirmarAoFechar = true;
    bool FLiberado = false;
    bool FModal = false;
};

// A plain window for modules that declare no form of their own: the module's caption and
// sentence (TituloJanela, TextoJanela) and a close button.
class TnFrmSimples : public TnFrmModulo {
    Q_OBJECT
public:
    TnFrmSimples(TnDataModule *dm, QWidget *pai = nullptr);
};

// Tells the user that a class (a button's, a lookup's) is not available: not registered.
void AvisarNaoDisponivel(const QString &nome);

// The window for a module: the register page or grid, the consultation grid or the process
// parameter form by the module's kind, or a plain window. The window takes the module (it
// frees it when it closes, also when building the window fails). A register module is
// opened (Abrir) and configured with its window (ConfigurarForm).
TnFrmModulo *CriarFormModulo(TnDataModule *dm, QWidget *pai);
