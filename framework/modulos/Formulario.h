#pragma once
// What a module knows of the form that shows it, without widgets.
//
// The desktop front end implements TnFormModulo for its register page, register grid,
// consultation grid and process parameter form; tests implement it with a fake that
// records the calls. Modules receive it in their hooks (AntesConfigurar, DepoisConfigurar,
// FormCloseQuery) and keep it while the form is open (Form()); it is null in web mode and
// for a module used without a form (a process run by another, a test).
//
// Controls are named by the field name (registers) or the parameter alias (processes).
// State that belongs to a field or parameter (enabled, visible, required, caption, value
// list, formats) lives in its declaration (Definicao, TnpqParamItem): the module changes
// it there and tells the form to show it again with AtualizarControle.
#include "Modulos.h"

#include <QString>
#include <exception>
#include <functional>

class TnControleExtra;
class TnDMClientDataSet;
class TnpqPowerParam;

// Record and form actions a module may switch on or off (ConfigurarActionForm) or give
// another shortcut (AdicionarAtalhoSecundario).
enum TnAcaoForm {
    nafIncluir = 0,     // new record
    nafExcluir = 1,     // delete the record
    nafGravar = 2,      // save the record
    nafCancelar = 3,    // cancel the record's changes
    nafFechar = 4,      // close the form
    nafExecutar = 5,    // run the process
    nafCfgCadastro = 6  // the register's configuration of default values
};

class TnFormModulo {
public:
    virtual ~TnFormModulo() = default;

    // Closes the form. The form asks the module first (FormCloseQuery); when it does close,
    // it calls the module's FormFechado, which frees the module.
    virtual void Fechar() = 0;

    // Puts the focus on the control of a field or parameter: where an EnField or EnParam
    // points. Also when the control is disabled: the user must see what to correct.
    virtual void FocarControle(const QString &nome) = 0;

    // Shows again the declaration state of the control of a field or parameter (enabled,
    // visible, required, caption, value list, formats); an empty name: of every control.
    virtual void AtualizarControle(const QString &nome) = 0;

    // The form is inserting a new record (GetFormInsercao).
    virtual bool Inserindo() const = 0;

    // Switches a record or form action on or off.
    virtual void ConfigurarActionForm(TnAcaoForm acao, bool ativa) = 0;
    // Adds a further shortcut to an action ("Esc" to close, "Ctrl+Enter" to run).
    virtual void AdicionarAtalhoSecundario(TnAcaoForm acao, const QString &atalho) = 0;

    // The form's own status bar: panels counted from 0, added as needed.
    virtual void SetTextoPainel(int painel, const QString &texto) = 0;
    virtual void SetLarguraPainel(int painel, int largura) = 0;

    // Client area in pixels; the form is then centred on the screen.
    virtual void DefinirTamanho(int largura, int altura) = 0;

    // Places of detail registers (CriarPageControl, CriarTabSheet): the form creates a page
    // control inside the control `pai` (empty: the form's own detail area) or a tab on a
    // page control (empty: the form's main page control) and answers its name.
    virtual QString CriarPageControl(const QString &pai) = 0;
    virtual QString CriarTabSheet(const QString &pageControl, const QString &caption) = 0;
    // Shows a detail register inside `controlePai` (a name answered above; empty: the
    // form's own detail area), as a page or grid by its TipoForm. The form holds the detail
    // through a QPointer: the master frees it.
    virtual void MostrarDetalhe(TnDMClientDataSet *detalhe, const QString &controlePai) = 0;

    // The module's results changed (a process's grid or tabs): show them again.
    virtual void ResultadoAlterado() = 0;

    // Shows a control of the module bound to no field (TnDMClientDataSet::
    // CriarControlsFraFields) right after the control of its CampoAnterior, on that
    // control's page. The form holds it through a QPointer: the module frees it.
    // AtualizarControle and FocarControle find it by its name.
    virtual void MostrarControleExtra(TnControleExtra *extra) = 0;

    // A panel of parameters on a register's page (TnpqPowerParam::DisplayParamsMake): one
    // control per parameter, placed right under the control of `campoAnterior`; answers the
    // panel's name. When the focus leaves a parameter's control, the form stores the typed
    // text (SetText) and runs the parameter's OnExit, reporting a failure as MostrarFalha.
    // AtualizarControle and FocarControle find the controls by the parameters' aliases.
    virtual QString CriarPainelParametros(TnpqPowerParam &params, const QString &campoAnterior) = 0;
    // The panel's controls show the parameters' Text() and declaration state again.
    virtual void CarregarPainelParametros(const QString &painel) = 0;
    // What the panel's controls hold goes into the parameters (SetText): into every one
    // (`todos`), or only into those the user changed since the panel last showed them.
    virtual void SalvarPainelParametros(const QString &painel, bool todos) = 0;
};

// A module shown in a form: the base of register, consultation and process modules
// (TnDMClientDataSet, TnDMPowerParam). It keeps the form while it is open and runs the
// form's hooks.
class TnDMFormulario : public TnDataModule {
    Q_OBJECT
public:
    // Configures the module with its form (`form` may be null: web mode): AntesConfigurar,
    // then the front end builds the controls, then DepoisConfigurar, then the controls show
    // the module's state (FormConfigurado).
    void ConfigurarForm(TnFormModulo *form, const std::function<void()> &construirControles = {});
    TnFormModulo *Form() const { return FForm; }
    // The form asks before it closes; `podeFechar` false keeps it open. The base lets it close.
    virtual void FormCloseQuery(TnFormModulo *form, bool &podeFechar);
    // The form has closed: the module forgets it (EsquecerForm) and is freed (deleteLater).
    void FormFechado();
    // Closes the module's form, when it has one.
    void FecharForm();

    // ---- hooks
    virtual void AntesConfigurar(TnFormModulo *form);
    virtual void DepoisConfigurar(TnFormModulo *form);

protected:
    // The last step of ConfigurarForm; the base shows every control again.
    virtual void FormConfigurado();
    // The form is going; the base forgets it.
    virtual void EsquecerForm();
    // Shows a control's declaration state again on the form, when there is one (an empty
    // name: every control).
    void AtualizarControle(const QString &nome);

    TnFormModulo *FForm = nullptr;
};

// The main window as modules see it: its status bar (panel 3 holds the inventory period).
class TnFormPrincipal {
public:
    virtual ~TnFormPrincipal() = default;
    virtual void SetTextoPainel(int painel, const QString &texto) = 0;
    virtual QString TextoPainel(int painel) const = 0;
};

// The main window while the program has one (null in tests, web mode and at start-up).
TnFormPrincipal *FormPrincipal();
void DefinirFormPrincipal(TnFormPrincipal *f);

// How a form reports a failure of a module's operation, in one place for every form:
// - EAbort: nothing (a silent cancel);
// - EnField / EnParam: the message, then the focus on the field or parameter named;
// - any other exception: its message.
// Messages go through nShowMessage. `form` may be null.
void MostrarFalha(TnFormModulo *form, const std::exception &e);
