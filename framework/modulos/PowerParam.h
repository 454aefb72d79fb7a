#pragma once
// Process modules: TnDMPowerParam and its grid and tab variants.
//
// A process is a parameter form: the module declares its parameters as data (TnDefParam,
// beside the class), the form shows one control per visible parameter in their order,
// and the run action calls Rodar(): ValidarDado, then the check of the required
// parameters, then Executar. A process reports through its message list or tree
// (Mensagens, Interacao.h) and its progress frame (CriarProgresso).
//
//     const TnDefProcesso kDeclaracao{
//         .Caption = "Selecionar Período Inventário",
//         .CaptionParametros = "Períodos Inventário",
//         .Parametros = {{.Alias = "pDataPeriodo", .Caption = "Período", .Tipo = ntpData,
//                         .ChaveDicionario = "DICDATAMESANO", .Requerido = true}}};
//     class TOrvoDPPeriodoInventario : public TnDMPowerParam {
//     public:
//         TOrvoDPPeriodoInventario() : TnDMPowerParam(kDeclaracao) {}
//         void Executar() override;
//     };
//
// Failures: EnParam (alias, message) refuses a parameter (the form focuses it), EnField a
// field of a result, Abort cancels silently, any other exception shows its message
// (MostrarFalha in Formulario.h does that for every form).
//
// Building the parameter form (the front end): one control per item of PowerParam() in
// order, shown when Visivel(), enabled when Habilitado(), marked when Requerido(); its kind
// by Tipo() (a month-and-year entry when EhMesAno()), Hint(), TamanhoMaximo(), a combo of
// ListaValores(), a lookup of ClasseLookup() (several codes when MultiSelecao()), a check
// list of OpcoesMarcacao() (ntpListaMarcacao, ListaMarcacao.h: its value is the values of
// the ticked options, "1;4;6;", and nothing ticked is no value). The
// control writes SetText() and shows Text(). The run action calls Rodar() and hands any
// exception to MostrarFalha(form, e); the grid variant's result is nClientDataSet(), the
// tab variant's Aba(i).Dados, shown again on ResultadoAlterado().
//
// Dates entered as a month and year ("03/2024"): a parameter of type ntpMesAno, or a date
// parameter whose dictionary key is DICDATAMESANO, designates a month, and its value is the
// month's FIRST day (01/03/2024), as every month-and-year value of the system: AsDate and
// AsDataInicial answer it, AsDataFinal answers the month's last day (31/03/2024). "mm/yyyy",
// "m/yyyy" and a whole date "dd/mm/yyyy" (its month) are accepted; Text() shows "mm/yyyy".
#include "AbrirCadastro.h"
#include "Acoes.h"
#include "ClientDataSet.h"
#include "Formulario.h"
#include "Interacao.h"
#include "ListaMarcacao.h"
#include "Literais.h"
#include "MestreDetalhe.h"
#include "Modulos.h"
#include "OpcoesGrade.h"
#include "Relatorio.h"

#include <QDate>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

// Kind of control of a parameter.
enum TnTipoParam {
    ntpTexto,    // one line of text
    ntpInteiro,  // an integer
    ntpNumero,   // a number with decimals
    ntpData,     // a date (a month and year with the dictionary key DICDATAMESANO)
    ntpMesAno,   // a month and year
    ntpLookup,   // a code chosen in the consultation ClasseLookup
    ntpCombo,    // a choice from ListaValores
    ntpCheckBox, // yes or no
    ntpMemo,     // several lines of text
    ntpListaMarcacao // options to tick, in groups (OpcoesMarcacao)
};

// Declaration of one parameter.
struct TnDefParam {
    QString Alias{};            // "pDataPeriodo": the name the process reads it by
    QString Caption{};          // empty: the dictionary's, for ChaveDicionario or the alias's column
    TnTipoParam Tipo = ntpTexto;
    QString ClasseLookup{};     // consultation class of a lookup
    QString ChaveDicionario{};  // key in the data dictionary
    QVariant Padrao{};          // value the form starts with
    bool Requerido = false;
    bool Visivel = true;
    bool Habilitado = true;
    bool MultiSelecao = false;  // several values, as "1; 2; 10-20" (FilterInterval)
    QStringList ListaValores{}; // "text=value" lines of a combo
    QString Hint{};
    int TamanhoMaximo = 0;      // characters accepted, 0 for no limit
    QString CaracteresAceitos{}; // the only characters the control takes; empty: any
    QString MascaraEdicao{};     // input mask of the control; empty: none
    QString FormatoExibicao{};   // how a number is shown (FormatFloat mask, "#0.00"); empty: plain
    QString OpcoesMarcacao{};    // a check list's options, "Grupo=100;*Entrada=1;" (ListaMarcacao.h)
};

// One parameter and its value. The value is kept as given (SetValue) or typed (SetText).
class TnpqParamItem {
public:
    explicit TnpqParamItem(const TnDefParam &def);

    const QString &Alias() const { return FDef.Alias; }
    const QString &Caption() const { return FDef.Caption; }
    void SetCaption(const QString &c) { FDef.Caption = c; }
    TnTipoParam Tipo() const { return FDef.Tipo; }
    const QString &ClasseLookup() const { return FDef.ClasseLookup; }
    const QString &ChaveDicionario() const { return FDef.ChaveDicionario; }
    const QVariant &Padrao() const { return FDef.Padrao; }
    bool Requerido() const { return FDef.Requerido; }
    bool Visivel() const { return FDef.Visivel; }
    bool Habilitado() const { return FDef.Habilitado; }
    bool MultiSelecao() const { return FDef.MultiSelecao; }
    const QStringList &ListaValores() const { return FDef.ListaValores; }
    void SetListaValores(const QStringList &l) { FDef.ListaValores = l; }
    const QString &Hint() const { return FDef.Hint; }
    int TamanhoMaximo() const { return FDef.TamanhoMaximo; }
    void SetTamanhoMaximo(int caracteres) { FDef.TamanhoMaximo = caracteres; }
    const QString &CaracteresAceitos() const { return FDef.CaracteresAceitos; }
    void SetCaracteresAceitos(const QString &c) { FDef.CaracteresAceitos = c; }
    const QString &MascaraEdicao() const { return FDef.MascaraEdicao; }
    void SetMascaraEdicao(const QString &m) { FDef.MascaraEdicao = m; }
    const QString &FormatoExibicao() const { return FDef.FormatoExibicao; }
    void SetFormatoExibicao(const QString &f) { FDef.FormatoExibicao = f; }
    // A check list's options (ntpListaMarcacao), read from the declaration; ListaValores()
    // holds them one a line for the form.
    const std::vector<TnOpcaoMarcacao> &OpcoesMarcacao() const { return FOpcoes; }
    // The options the value ticks, one flag per option.
    std::vector<bool> Marcadas() const { return MarcadasDoTexto(FOpcoes, AsString()); }
    // Ticks the options `marcadas` flags (a group its entries): the value is their values.
    void Marcar(const std::vector<bool> &marcadas) { FValor = TextoMarcacao(FOpcoes, marcadas); }
    // Entered as a month and year (see the top of this file).
    bool EhMesAno() const;
    // Names a file the process writes (the dictionary key DICARQUIVOSALVAR): the form offers
    // the system's dialog for choosing where to save it.
    bool EhArquivoSalvar() const;

    // ---- value
    const QVariant &Value() const { return FValor; }
    void SetValue(const QVariant &v);
    // What the user typed or picked: a combo's text becomes its value.
    void SetText(const QString &texto);
    // The value as the control shows it: a combo's text, dates as dd/mm/yyyy, a month and
    // year as mm/yyyy, numbers in the Brazilian form (with FormatoExibicao when set; a text
    // that is no number is shown as typed).
    QString Text() const;
    void Clear() { FValor = QVariant(); }
    // Back to the declared default.
    void Restaurar() { FValor = FDef.Padrao; }
    // No value, or a blank text.
    bool IsNull() const;

    QString AsString() const; // dates as dd/mm/yyyy; empty when null
    // 0 when null; EnParam naming the caption when the value is not a whole number.
    qint64 AsInteger() const;
    // 0 when null; EnParam when the value is not a number ("1.234,56" is read).
    double AsFloat() const;
    bool AsBoolean() const;   // true for true, "1", "S", "Sim", "True"
    // The date; a null QDate when null or not a date. A month and year: its first day.
    QDate AsDate() const { return AsDataInicial(); }
    QDate AsDataInicial() const; // a month and year: its first day; a date: the date
    QDate AsDataFinal() const;   // a month and year: its last day; a date: the date

    // ---- switches changed by EdEnabledField, EdRequiredField, EdVisibleField
    void SetHabilitado(bool v) { FDef.Habilitado = v; }
    void SetRequerido(bool v) { FDef.Requerido = v; }
    void SetVisivel(bool v) { FDef.Visivel = v; }

    // Runs when the user leaves the parameter's control in a register's parameter panel
    // (TnpqPowerParam::DisplayParamsMake), after the typed text was stored. Throws EnParam
    // to refuse it: the form shows the message and focuses the control.
    std::function<void(TnpqParamItem &)> OnExit;

private:
    [[noreturn]] void Falhar(const QString &tipo) const;
    TnDefParam FDef;
    QVariant FValor;
    std::vector<TnOpcaoMarcacao> FOpcoes;
};

// The parameters of a process, in the order of the form.
class TnpqPowerParam {
public:
    TnpqPowerParam() = default;
    TnpqPowerParam(const TnpqPowerParam &) = delete;
    TnpqPowerParam &operator=(const TnpqPowerParam &) = delete;

    QString Caption; // caption of the parameter form

    // Adds a parameter with its default as value. A blank alias, or one already there (any
    // case), is an error.
    TnpqParamItem &Adicionar(const TnDefParam &def);
    int Count() const { return int(FItens.size()); }
    TnpqParamItem &Items(int i) const { return *FItens.at(size_t(i)); }
    TnpqParamItem *FindParam(const QString &alias) const; // any case; null when absent
    // Exception naming the alias when absent.
    TnpqParamItem &Param(const QString &alias) const;
    void Restaurar(); // every value back to its default

    // ---- a panel of these parameters on a register's form
    // Asks `form` for a panel with one control per parameter, right under the control of
    // `campoAnterior` (TnFormModulo::CriarPainelParametros), and shows the values in it. A
    // panel made before is forgotten (one panel at a time). No form: nothing.
    void DisplayParamsMake(TnFormModulo *form, const QString &campoAnterior);
    // The panel's controls show the parameters' Text() and declaration state again.
    void DisplayParamsLoad();
    // What the panel's controls hold goes into the parameters (SetText): all of them
    // (`todos`) or only those the user changed since the panel last showed them.
    void DisplayParamsSave(bool todos);
    bool TemPainel() const { return FFormPainel != nullptr; }
    const QString &NomePainel() const { return FNomePainel; }
    // The form is gone (the module's Notification): the panel is forgotten.
    void EsquecerPainel();
    // Lives as long as these parameters: a form that keeps them checks it before use.
    std::weak_ptr<const void> Vida() const { return FVida; }

private:
    std::vector<std::unique_ptr<TnpqParamItem>> FItens;
    TnFormModulo *FFormPainel = nullptr;
    QString FNomePainel;
    std::shared_ptr<const void> FVida = std::make_shared<const bool>(true);
};

// Runs `f` (which reads a parameter's text: a multi-value list, a code) and answers what it
// answers; an EConvertError it raises is refused on the parameter `alias` (EnParam with the
// same message), so the form focuses that parameter.
template <class F> auto NoParametro(const QString &alias, F &&f)
{
    try {
        return f();
    } catch (const EConvertError &e) {
        throw EnParam(alias, e.Message());
    }
}

// The declaration of a process module.
struct TnDefProcesso {
    QString Caption{};
    QString CaptionParametros{};       // caption of the parameter form
    std::vector<TnDefParam> Parametros{};
    bool ArvoreMensagens = false;      // the report is a tree (else a list)
};

class TnDMPowerParam : public TnDMFormulario {
    Q_OBJECT
public:
    // The declaration must outlive the module (a static table beside the class).
    explicit TnDMPowerParam(const TnDefProcesso &declaracao);
    ~TnDMPowerParam() override;

    const TnDefProcesso &Declaracao() const { return FDecl; }
    const QString &Caption() const { return FCaption; }
    void SetCaption(const QString &c) { FCaption = c; }

    // ---- parameters
    TnpqPowerParam &PowerParam() { return FParams; }
    TnpqParamItem &Param(const QString &alias) const { return FParams.Param(alias); }
    // Switch a parameter's control and show it on the form.
    void EdEnabledField(const QString &alias, bool habilitado);
    void EdRequiredField(const QString &alias, bool requerido);
    void EdVisibleField(const QString &alias, bool visivel);
    // Empties a parameter and shows it on the form.
    void EdClearField(const QString &alias);

    // NoParametro (below) for the module's own parameters: a value of a filter text it
    // refuses is named with the parameter's caption, as the user sees it ("Valor "abc"
    // inválido em Estabelecimento: ..."), not with the columns it filters.
    template <class F> auto NoParametro(const QString &alias, F &&f) const
    {
        try {
            return f();
        } catch (const EFiltroInvalido &e) {
            throw EnParam(alias, MensagemFiltroInvalido(alias, e));
        } catch (const EConvertError &e) {
            throw EnParam(alias, e.Message());
        }
    }

    // "Valor "abc" inválido em "<caption>": <why>" of a filter value of the parameter.
    QString MensagemFiltroInvalido(const QString &alias, const EFiltroInvalido &e) const;

    // ---- a parameter changed at the form
    // The form stores what the user typed or picked in a parameter (SetText) through here;
    // when the value differs from the one it held (empty and blank count as the same),
    // npqPowerParamParamChange runs with it.
    void SetParamText(const QString &alias, const QString &texto);
    // Runs npqPowerParamParamChange for a parameter whose value was changed at the form by
    // other means (a lookup's pick).
    void ParamChange(TnpqParamItem &param);

    // ---- opening
    // CriarDM calls it once the module has its class: PreencherDaSelecao, then
    // npqPowerParamParamChange for every parameter.
    void AposCriar() override;
    // A parameter that stands for one of the process's own selection keys (ChavesSelecao,
    // its class's PegarVerificaSelecao) or for the active company, its alias "p" followed
    // by the key ("pCodigoEmpresa"), takes the selection's value, hidden or not; a key the
    // process does not declare ("pCodigoEstab", "pCodigoProduto" of a process that follows
    // only the company) fills nothing, whatever the selection holds for it; a
    // month-and-year parameter still empty takes the selected inventory month ("DataInvent").
    // Keys the selection holds no value for leave their parameters alone. A caller may set
    // other values afterwards.
    void PreencherDaSelecao();
    // The selection changed one of the module's keys while it is open (the user chose
    // another company): the parameter named after that key follows it, empty when the
    // selection holds none, shown again on the form, and npqPowerParamParamChange runs.
    void ReconfigurarDM(const QString &parametro, bool recarregar) override;

    // ---- running
    // Clears the report, then ValidarDado, then every visible required parameter without a
    // value refused with EnParam ("O parâmetro \"Período\" deve ser informado."), then
    // Executar.
    void Rodar();
    // The process was opened by a link with these parameter values (alias -> value): sets
    // them and runs ExecutarAposAbrirLink. An unknown alias is an error.
    void AbrirLink(const QVariantMap &valores);
    // The parameters in effect, "Caption: value" each: the visible ones holding a value, in
    // their order.
    QStringList ParametrosInformados() const;
    // A question before rows are deleted or rewritten: `pergunta`, then under "Filtros
    // informados:" every parameter in effect, so that no filter goes unseen.
    QString PerguntaComFiltros(const QString &pergunta) const;
    // Asks that question with "Sim" and "Não", "Não" the button Enter presses; true when
    // the user answered "Sim".
    bool ConfirmarComFiltros(const QString &pergunta) const;

    // The report of the runs: a list, or a tree when the declaration says so.
    TnListaMensagem &Mensagens() { return FMensagens; }

    // ---- datasets the module owns, found by name (what another module that runs this one
    // reads afterwards: FindComponent)
    // The dataset of that name (any case), created empty and inactive on first request.
    TnClientDataSet &DataSet(const QString &nome);
    // The dataset of that name; null when the module has none.
    TnClientDataSet *FindDataSet(const QString &nome) const;

    // The form (ConfigurarForm, Form, FormCloseQuery, FormFechado, FecharForm) is
    // TnDMFormulario's. Tells the form to show the result again (the grid and tab variants,
    // after Executar refilled it).
    void ResultadoAlterado();

    // ---- the report of the result (Relatorio.h)
    // The rows a run leaves for the report, and their layout (null: the dataset's visible
    // fields). The grid variant offers its grid; the base, nothing.
    virtual TnClientDataSet *DadosRelatorio();
    virtual const TnDefRelatorio *DefRelatorio() const;
    // The last run (Rodar) ended well and left rows to report (the dataset is open). A run
    // that fails leaves nothing to report, not even what an earlier run left.
    bool TemRelatorio();
    // The report of the last run, headed by the selection's company and branch and by the
    // parameters that hold a value ("Parâmetros - Empresa: 1; Data Inicial: 31/01/2024"), as
    // they were when the run ended: parameters changed since then do not relabel its rows.
    // Exception when there is nothing to report.
    TnRelatorio Relatorio();

    // ---- hooks, in slot order
    static QString PegarVerificaSelecao() { return QString(); }
    static int PegarTipoObjeto() { return 0; }
    // Class name of the form that shows the process; empty: the framework's process form.
    virtual QString GetFormClass() const;
    // Checks the parameters together; throws EnParam (or Exception, or Abort).
    virtual void ValidarDado();
    // The work. The base does nothing.
    virtual void Executar();
    // AntesConfigurar, DepoisConfigurar: TnDMFormulario.
    // After AbrirLink set the parameters; the base runs the process (Rodar).
    virtual void ExecutarAposAbrirLink();
    // A parameter's value changed at the form: the process switches the controls that
    // depend on it (EdEnabledField, EdRequiredField, EdVisibleField) or clears them. It also
    // runs once for every parameter, in order, when the module is created (AposCriar), so
    // the rules hold for the starting values. The base does nothing.
    virtual void npqPowerParamParamChange(TnpqParamItem &param);

protected:
    // Runs in ResultadoAlterado before the form is told; the tab variant links its details.
    virtual void AntesDeMostrarResultado() {}

private:
    const TnDefProcesso &FDecl;
    QString FCaption;
    TnpqPowerParam FParams;
    TnListaMensagem FMensagens;
    std::vector<std::pair<QString, std::unique_ptr<TnClientDataSet>>> FDataSets;
    QStringList FCabecalhoRelatorio; // heading of the last run's report
    bool FRodouBem = false;          // the last run ended without an exception
};

// An action on the current row of a process's result grid, offered by the form as an item
// of the grid's popup menu and/or a tool button, with its shortcut.
struct TnAcaoLinha {
    QString Nome{};      // "LctoCtb"
    QString Caption{};   // of the popup item and of the button
    QString Hint{};
    int Imagem = -1;     // an index of the framework's image list; -1: none
    QString Atalho{};    // "Ctrl+Enter"; empty: none
    bool Popup = false;  // an item of the grid's popup menu
    bool Botao = false;  // a tool button of the form
    std::function<void()> Executar{};
};

// A process that shows its result in a grid (nClientDataSet).
//
// Rows of the grid may be acted on: the grid's double-click (OnDBGridDblClick, else the
// grid's action AcaoGrade, such as a TnActAbrirCadastro), popup items and tool buttons
// (AcoesLinha). The module declares them before its form is configured or in
// DepoisConfigurar; the form offers them and runs the module's handler, which looks at the
// grid's current row itself (an empty grid included). Tests run them as the form does
// (DBGridDblClick, ExecutarAcaoLinha).
class TnDMPowerParamGrid : public TnDMPowerParam {
    Q_OBJECT
public:
    using TnDMPowerParam::TnDMPowerParam;
    TnClientDataSet &nClientDataSet() { return FResultado; }
    TnClientDataSet *DadosRelatorio() override { return &FResultado; }

    // ---- the grid's options
    // The options declared by name (OpcoesGrade.h); goGridReadOnly is DBGridReadOnly.
    const TnOpcoesGrade &GridOptions() const { return FOpcoes; }
    void SetGridOptions(const TnOpcoesGrade &opcoes) { FOpcoes = opcoes; }
    bool DBGridReadOnly() const { return FOpcoes.Tem(goGridReadOnly); }
    void SetDBGridReadOnly(bool v) { FOpcoes.Ligar(goGridReadOnly, v); }
    // A click on a column's caption sorts the rows by that column.
    bool DBGridOrdenar() const { return FOrdenar; }
    void SetDBGridOrdenar(bool v) { FOrdenar = v; }
    // A search line over the grid finds the next row whose current column holds the text.
    bool Pesquisa() const { return FPesquisa; }
    void SetPesquisa(bool v) { FPesquisa = v; }
    // A field of the result whose value 1 marks a highlighted row (a title among the rows:
    // drawn bold on money green, #C0DCC0); empty: every row is drawn alike.
    const QString &CampoEstiloLinha() const { return FCampoEstilo; }
    void SetCampoEstiloLinha(const QString &campo) { FCampoEstilo = campo; }
    // Caption of the tab that shows the grid.
    const QString &CaptionResultado() const { return FCaptionResultado; }
    void SetCaptionResultado(const QString &c) { FCaptionResultado = c; }

    // ---- actions on rows
    std::function<void()> OnDBGridDblClick;
    // The grid's own action, run by a double-click when the module sets no handler.
    TnAction *AcaoGrade() const { return FAcaoGrade.data(); }
    void SetAcaoGrade(TnAction *a) { FAcaoGrade = a; }
    // A popup item of the grid running `executar`.
    void AdicionarItemPopup(const QString &nome, const QString &caption, int imagem, const QString &atalho,
                            std::function<void()> executar);
    // A tool button of the form running `clique`; `atalho` works wherever the form has the focus.
    void CriarToolButton(const QString &nome, const QString &hint, int imagem, std::function<void()> clique,
                         const QString &atalho = QString());
    const std::vector<TnAcaoLinha> &AcoesLinha() const { return FAcoesLinha; }
    // What a double-click on the grid does: OnDBGridDblClick, else the grid's action.
    void DBGridDblClick();
    // Runs the row action `nome` (any case); Exception when the module has none of that name.
    void ExecutarAcaoLinha(const QString &nome);

    // ---- hooks
    // After the form is configured (DepoisConfigurar of this base): the module's grid set-up.
    virtual void ConfigurarDBGrid();
    void DepoisConfigurar(TnFormModulo *form) override;

private:
    TnAcaoLinha &AcaoLinha(const QString &nome);
    TnClientDataSet FResultado;
    TnOpcoesGrade FOpcoes{goGridReadOnly};
    bool FOrdenar = false;
    bool FPesquisa = false;
    QString FCampoEstilo;
    QString FCaptionResultado = QStringLiteral("Resultado");
    QPointer<TnAction> FAcaoGrade;
    std::vector<TnAcaoLinha> FAcoesLinha;
};

// One tab of a process's result: a master grid over Dados and, when the tab has one, a
// detail grid under it showing the detail rows of the master's current row (LigarDetalhe).
// Both grids are read-only.
class TnAbaResultado {
public:
    QString Caption;
    TnClientDataSet Dados; // the master rows

    // The detail rows; null while the tab has no detail.
    TnClientDataSet *Detalhe() const { return FDetalhe.get(); }
    // The tab's detail dataset (made on first call); its fields are declared by the module.
    TnClientDataSet &CriarDetalhe();
    // Links the detail to the master by equal ';'-joined key fields: the detail shows the
    // rows whose key equals the master's current row, as a range on an index over those
    // fields (MestreDetalhe.h). Exception when the tab has no detail or a key field is
    // declared in neither dataset (declare the fields first).
    void LigarDetalhe(const QString &camposChave);
    // The key fields of the link; empty without one.
    QString CamposChave() const;
    // The detail follows the master's current row again (after both were refilled).
    void SeguirMestre();

    // The master grid's open-register action (its Mestre is Dados): a double-click on a
    // master row and the tab's button run it, offered only while it is Habilitada.
    QPointer<TnActAbrirCadastro> AcaoAbrir;

private:
    std::unique_ptr<TnClientDataSet> FDetalhe;
    std::unique_ptr<TnLigacaoMestreDetalhe> FLigacao; // goes before the datasets it watches
};

// A process that shows its results in tabs, one master grid each, with an optional detail
// grid. A module declares its tabs once (at creation) and refills their datasets on every
// run, or adds them during a run after LimparAbas. ResultadoAlterado makes every detail
// follow its master before the form shows the tabs again.
class TnDMPowerParamTab : public TnDMPowerParam {
    Q_OBJECT
public:
    using TnDMPowerParam::TnDMPowerParam;
    TnAbaResultado &AdicionarAba(const QString &caption);
    int QtdAbas() const { return int(FAbas.size()); }
    TnAbaResultado &Aba(int i) const { return *FAbas.at(size_t(i)); }
    // The tab of that caption (any case); null when none.
    TnAbaResultado *FindAba(const QString &caption) const;
    void LimparAbas();

protected:
    void AntesDeMostrarResultado() override;

private:
    std::vector<std::unique_ptr<TnAbaResultado>> FAbas;
};
