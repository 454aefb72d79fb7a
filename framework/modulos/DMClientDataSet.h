#pragma once
// Register and consultation modules: TnDMClientDataSet.
//
// A register module edits one table through its client dataset (nClientDataSet) and the
// provider that writes it (nDataSetProvider, upWhereKeyOnly); a consultation module shows
// the same kind of rows read-only. Each module class declares, as data beside the class,
// what its form description holds: the statement that reads the rows, the fields with
// their dictionary definitions (Definicao), the key, the sort order, caption, form kind,
// the paired register or consultation (CadCons) and its menu metadata:
//
//     const TnDefCadastro kDeclaracao{
//         .SQL = "Select t_t.CODIGOEMPRESA, t_t.PERIODOINVENTARIO from CFGEMPRESAINV t_t",
//         .Tabela = "CFGEMPRESAINV",
//         .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true},
//                    {.Nome = "PERIODOINVENTARIO", .Tipo = ftSmallint, .Requerido = true,
//                     .Def = {.DisplayLabel = "Período Inventário", .ValorPadrao = 0}}},
//         .Chave = "CODIGOEMPRESA", .Ordem = "CODIGOEMPRESA",
//         .Caption = "Configuração do Inventário", .CadCons = "OrvoDCCfgEmpresaInv"};
//     class TOrvoDMCfgEmpresaInv : public TnDMClientDataSet {
//     public:
//         TOrvoDMCfgEmpresaInv() : TnDMClientDataSet(kDeclaracao) {}
//         static QString PegarVerificaSelecao() { return "CodigoEmpresa"; }
//         static int PegarTipoObjeto() { return 1; }
//         ...
//     };
//
// Life of a module (the front end and the tests follow the same road):
//   1. CriarDM / CriarDMNovo (class name) builds it: the fields exist, nothing is read.
//      PegarVerificaSelecao, PegarTipoObjeto and GerarPrincAction are class methods, asked
//      before any instance exists: a class hides the base's static functions with its own,
//      and the registrar takes the class's.
//   2. Abrir() reads the rows of the current selection: each selection key of the class
//      (CodigoEmpresa, CodigoEstab, DataInvent...) that names a field of the dataset (any
//      letter case; CampoDaSelecao may map it elsewhere) and holds a value becomes the
//      condition "FIELD = ?", with the value bound, never pasted. A key without a value
//      does not filter. A detail reads only the rows of its master's current row.
//      The rows come in packets of PacketRecords (500) in the statement's order followed
//      by the key, the rest as the user moves on (TnClientDataSet::AbrirPaginado), when
//      that order is a list of required output columns; otherwise all at once.
//      Then Configurar() runs ConfigurarTabela, ConfigurarAutoRequerido,
//      ConfigurarAutoFormato and ConfigurarCampo with the dataset.
//   3. With a form: ConfigurarForm(form, buildControls) runs AntesConfigurar(form), lets the
//      front end build the controls from the fields and their definitions, runs
//      DepoisConfigurar(form) and Configurar() again.
//   4. Editing goes straight through the dataset (Append/Insert, Edit, fields, Post,
//      Delete, Cancel): its events are wired to this class's virtual handlers (below).
//      A new row starts with the fields' ValorPadrao, the selection keys' values, the
//      master's link values (a detail) and SincroCopiarDados; before it is stored,
//      ConfigurarAutoValor and ValidarDado run (a failure leaves the row in edit). After a
//      post or a delete the change goes to the database at once, in one transaction
//      (ApplyUpdates(0)), unless the declaration or SetAplicarAoGravar says otherwise. When
//      the database refuses it, the change is undone in the dataset, a refused new or
//      changed row goes back into insert or edit with the values as typed, a row whose
//      delete was refused is the current row again, read anew from the database, and the
//      error is raised: what the dataset shows is what the database holds.
//   5. The form asks FormCloseQuery before it closes and calls FormFechado when it has
//      closed; FormFechado frees the module (deleteLater). Detail modules go with their
//      master. Hold modules you do not own through QPointer.
//
// Changing the selection (TnSelecao::ReconfigurarDM) re-reads the open modules that follow
// the key; a module with a row in edit re-reads when that row is posted or cancelled.
//
// Building a form from a module (the front end):
// - one control per field of nClientDataSet() with Visible(), in field order, grouped in
//   pages by Def().Pagina; caption DisplayLabel(), Def().Hint, Def().TamanhoMaximo,
//   DisplayFormat / EditFormat; a combo for Def().ListaValores ("text=value", read and
//   written through Text() / SetText()); a lookup button for Def().ClasseLookup (link
//   fields Def().CamposLink); enabled as Def().Habilitado, required as Required();
// - key fields (EhCampoChave) are not editable on an existing row unless ChaveAlteravel();
//   fields of the selection (EhCampoDaSelecao) are never editable; key fields nothing fills
//   (EhChaveDigitada) are shown and editable on a new row;
//   SomenteLeitura() modules offer no record actions; Declaracao().InsercaoAutomatica
//   says whether an empty register starts a new row; the grid's sort orders are
//   Declaracao().Ordem (CaptionOrdem) and Declaracao().Indices;
// - focus leaving a control calls SairDoCampo(field); every operation that may fail
//   (Post, Delete, Rodar...) is wrapped so the exception reaches MostrarFalha(form, e);
// - the form observes the dataset (TnObservadorDataSet) for rows and values, and re-reads
//   a control's declaration state on AtualizarControle(name).
#include "ClientDataSet.h"
#include "ControleExtra.h"
#include "Formulario.h"
#include "Modulos.h"
#include "Paginacao.h"
#include "Provider.h"
#include "ResultadoLookup.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <optional>
#include <vector>

// Kind of form of a module.
enum TnTipoForm {
    ntfCadPage, // register: one record per page
    ntfCadGrid, // register: a grid of records
    ntfConGrid  // consultation: a read-only grid
};

// One entry of the menu metadata (DefAdic.Menus). GerarPrincAction builds the actions; these
// are the form description's data for the front end and for whoever lists the menus.
struct TnDefMenu {
    QString Caption{};
    QString Categoria{};     // '\'-separated path ("10 Configurações\00 Consultas")
    int Indice = 0;          // menu index
    QString Atalho{};        // "Shift+Ctrl+F12"; empty: none
    QString Modulo{};        // module that owns the entry ("Orvo", "Ulmar")
    int Imagem = -1;         // -1: no image
    bool Separador = false;  // a separator before the entry
    bool Web = false;        // also created in web mode
    bool SemEntrada = false; // no menu entry of its own
};

// A sort order the grid offers.
struct TnDefIndice {
    QString Caption{};
    QString Campos{}; // fields separated by ',' or ';'
};

// The declaration of a register or consultation module.
struct TnDefCadastro {
    QString SQL{};                    // statement that reads the rows (no parameters)
    QString Tabela{};                 // table the provider writes; empty: nothing is written
    std::vector<TnDefCampo> Campos{}; // fields, in the statement's order
    QString Chave{};                  // ';'-joined key: ChavePrimaria's default
    QString Ordem{};                  // sort order, fields separated by ',' or ';'
    QString CaptionOrdem{};           // caption of that order in the grid
    std::vector<TnDefIndice> Indices{}; // further sort orders of the grid
    QString Caption{};
    TnTipoForm TipoForm = ntfCadPage;
    QString CadCons{};                // the paired consultation (of a register) or register
    std::vector<TnDefMenu> Menus{};
    // The register's report list: names of report modules ("OrvoRRRelacao", the class
    // "TOrvoRRRelacao", Relatorio.h) the form offers to print.
    QStringList Relatorios{};
    bool ChaveAlteravel = false;      // the key may change on an existing row
    bool InsercaoAutomatica = true;   // the form starts a new row when it opens on no rows
    bool LogChanges = true;           // the dataset keeps a change log (a register needs it to write)
    bool AplicarAoGravar = true;      // each post or delete goes to the database at once
};

class TnDMClientDataSet : public TnDMFormulario {
    Q_OBJECT
public:
    // The declaration must outlive the module (a static table beside the class).
    explicit TnDMClientDataSet(const TnDefCadastro &declaracao);
    ~TnDMClientDataSet() override;

    // ---- declaration
    const TnDefCadastro &Declaracao() const { return FDecl; }
    const QString &Caption() const { return FCaption; }
    void SetCaption(const QString &c) { FCaption = c; }
    TnTipoForm TipoForm() const { return FTipoForm; }
    void SetTipoForm(TnTipoForm t) { FTipoForm = t; }
    const QString &CadCons() const { return FDecl.CadCons; }
    // A consultation: inserting, editing and deleting are refused.
    bool SomenteLeitura() const { return FTipoForm == ntfConGrid; }
    bool ChaveAlteravel() const { return FDecl.ChaveAlteravel; }
    // The field is part of ChavePrimaria.
    bool EhCampoChave(const QString &campo) const;
    // The field takes a selection key's value (a key of the module that holds a value in
    // the selection): the selection chose it, so the user cannot type another one, and a
    // new row typed on the form whose field differs from it is refused before it is
    // written.
    bool EhCampoDaSelecao(const QString &campo) const;
    // A key field nothing fills: not a detail's link to its master nor a field of the
    // selection. A register opened on its own shows such fields and takes them on a new
    // row, also those its declaration hides or disables (they are filled when it is a
    // detail).
    bool EhChaveDigitada(const QString &campo) const;

    // ---- the dataset and its provider
    TnClientDataSet &nClientDataSet() { return FDataSet; }
    const TnClientDataSet &nClientDataSet() const { return FDataSet; }
    TnDataSetProvider &nDataSetProvider() { return FProvider; }
    TnField &FieldByName(const QString &campo) const { return FDataSet.FieldByName(campo); }

    // ---- lookup result columns of the code fields (ResultadoLookup.h): read once per
    // distinct code, forgotten whenever the rows are read again
    TnResultadosLookup &ResultadosLookup() { return *FResultados; }

    // ---- reading
    // Reads the rows of the selection (a detail: of its master's current row) and runs
    // Configurar(). A module already open is read again (Reabrir).
    void Abrir();
    void Fechar();
    bool Aberto() const { return FDataSet.Active(); }
    // Reads again, staying on the row of the same key when it is still there. A row in
    // edit is posted first (or cancelled when untouched); pending changes are written.
    void Reabrir();
    // The statement Abrir runs, with the selection and master conditions, and the values of
    // its "?" in order: a consultation grid may page through it instead of opening.
    QString TextoComando(QVariantList &parametros) const;

    // ---- saving
    bool AplicarAoGravar() const { return FAplicarAoGravar; }
    void SetAplicarAoGravar(bool v) { FAplicarAoGravar = v; }
    // Import mode: the module is driven by an import process, not by a user at a form;
    // modules skip there what only serves the user (refreshing other open modules, extra
    // controls, prompts).
    bool ModoImportacao() const { return FModoImportacao; }
    void SetModoImportacao(bool v) { FModoImportacao = v; }
    // Posts a row in edit and writes every pending change (ApplyUpdates(0)); for modules
    // that do not write at each post.
    void AplicarAlteracoes();

    // ---- the form (ConfigurarForm, Form, FormFechado, FecharForm: TnDMFormulario; see
    // the top of this file, step 3)
    // The form is inserting a new record; without a form, the dataset is.
    bool GetFormInsercao() const;
    // The form asks before it closes; `podeFechar` false keeps it open. This base, with a
    // changed row in edit, asks whether to save it: Yes saves (a failure keeps the form
    // open and raises), No cancels it, Cancel keeps the form open.
    void FormCloseQuery(TnFormModulo *form, bool &podeFechar) override;
    // The form is going (FormFechado: the module forgets it, Notification first, then its
    // extra controls go): the module drops what it kept of it (parameter panels:
    // TnpqPowerParam::EsquecerPainel). Runs before the module forgets the form; the
    // extra controls still exist. The base does nothing.
    virtual void Notification(TnFormModulo *form);
    // The user left the control of a field: runs nClientDataSetCampoExit.
    void SairDoCampo(const QString &campo);
    // Changes a field's definition and shows it on the form.
    void HabilitarCampo(const QString &campo, bool habilitado);
    void RequererCampo(const QString &campo, bool requerido); // the field's Required too
    void MostrarCampo(const QString &campo, bool visivel);    // the field's Visible too
    // Runs ConfigurarTabela, ConfigurarAutoRequerido, ConfigurarAutoFormato and
    // ConfigurarCampo with the dataset, then shows the controls again.
    void Configurar();

    // ---- controls bound to no field (ControleExtra.h)
    // Creates the control `nome` shown after the control of `campoAnterior` (a field of the
    // dataset, or an extra control made before) and asks the form, when there is one, to
    // show it. The module owns it; it is destroyed when the form goes (hold it through
    // QPointer). A blank or taken name (a field's or another extra's, any case), or an
    // unknown `campoAnterior`, is an error.
    TnControleExtra *CriarControlsFraFields(const QString &campoAnterior, const QString &nome, const QString &caption,
                                           TFieldType tipo, int largura = 0);
    QList<TnControleExtra *> ControlesExtras() const; // in the order they were made
    TnControleExtra *ControleExtra(const QString &nome) const; // any case; null when absent
    // The user left the extra control: runs its OnExit. An unknown name is an error.
    void SairDoControleExtra(const QString &nome);

    // ---- the register's configuration (the form's action nafCfgCadastro, "Configurar")
    // The form offers the action while a handler is set. A module may keep the handler it
    // finds and call it from its own.
    std::function<void()> OnCfgCadastro;
    // Runs OnCfgCadastro; nothing when none is set.
    void ExecutarCfgCadastro();

    // The search button of a field's control: the module searches it itself and answers
    // true, or answers false and the form opens the consultation of the field's
    // ClasseLookup. The base answers false.
    virtual bool PesquisarCampo(const QString &campo);

    // ---- detail registers
    // Binds `detalhe` to this module as master by the ';'-joined link fields (same names in
    // both datasets): the detail reads only the rows whose link fields equal this module's
    // current row, again on every move, post, cancel and delete here, and its new rows get
    // those values; it takes ownership (the detail is freed with its master) and opens the
    // detail when this module is open. With a form, the form shows it in `controlePai`.
    TnDMClientDataSet *CriarDetalhe(TnDMClientDataSet *detalhe, const QString &camposLink,
                                    const QString &controlePai = QString());
    // The same for a new module of `classe`: CriarDM under `instancia` when one is given,
    // else CriarDMNovo. A class that is not a register is an error.
    TnDMClientDataSet *CriarDetalhe(const QString &classe, const QString &camposLink,
                                    const QString &instancia = QString(), const QString &controlePai = QString());
    // Places on the form for details; without a form they answer the name they were given.
    QString CriarPageControl(const QString &pai = QString());
    QString CriarTabSheet(const QString &caption, const QString &pageControl = QString());
    // A tab `caption` on the form's page control holding a new detail of `classe`.
    TnDMClientDataSet *CriarDetalheEmPage(const QString &classe, const QString &caption, const QString &camposLink,
                                          const QString &instancia = QString());
    TnDMClientDataSet *DmMaster() const { return FMestre.data(); }
    const QString &CamposLink() const { return FCamposLink; }
    QList<TnDMClientDataSet *> Detalhes() const; // the live ones

    // ---- hooks, in slot order
    static QString PegarVerificaSelecao() { return QString(); }
    static int PegarTipoObjeto() { return 0; }
    // AntesConfigurar, DepoisConfigurar: TnDMFormulario.
    // `objeto` is the dataset being configured, or null (no particular one).
    virtual void ConfigurarTabela(TnClientDataSet *objeto);
    // Also runs on every change of the current row (scroll, insert, post, cancel, delete).
    virtual void ConfigurarCampo(TnClientDataSet *objeto);
    // Runs before a row is stored: values the module sets itself (stamps, origins).
    virtual void ConfigurarAutoValor(TnClientDataSet *objeto);
    virtual void ConfigurarAutoRequerido(TnClientDataSet *objeto);
    virtual void ConfigurarAutoFormato(TnClientDataSet *objeto);
    // ';'-joined key fields; the declaration's Chave.
    virtual QString ChavePrimaria() const;
    // Runs before a row is stored; throws EnField (or Exception, or Abort) to refuse it.
    // The base checks the fields' Minimo, Maximo and SomenteDaLista rules.
    virtual void ValidarDado();
    // A new row copies from the row that was current before the insert the fields whose
    // definition says CopiarAnterior.
    virtual void SincroCopiarDados(TnClientDataSet &ds);
    // The fields that copy filled with a value in the row being inserted (so that the
    // form can show them as copied); empty while no row is being inserted.
    QStringList CamposCopiados() const;
    // The field a selection key filters and fills; the field of the key's name (any case),
    // or empty when the dataset has none. New rows ask it again only when the selection
    // changed (GeracaoSelecao): its answer while inserting must not depend on the row.
    virtual QString CampoDaSelecao(const QString &chave) const;

    // ---- TnDataModule
    void Atualizar() override;         // Reabrir when open
    void AtualizarRegistro() override; // Reabrir when open
    // Follows the selection: re-reads when open (see the top of this file). A detail
    // follows its master instead.
    void ReconfigurarDM(const QString &parametro, bool recarregar) override;

protected:
    // ---- TnDMFormulario
    void FormConfigurado() override; // Configurar when open
    void EsquecerForm() override;    // Notification, the extra controls, the details'

    // Runs before the rows are read (Abrir, Reabrir, a move of the master), with no
    // statement open: what a derivation of the dataset (TnClientDataSet::SetDerivacao)
    // needs from the database is read here. The base does nothing.
    virtual void AntesDeLer();

    // Dataset events, wired to the dataset; the framework's own work around them is done
    // by the wiring, so an override need not call the base (which does nothing).
    virtual void nClientDataSetAfterOpen(TnClientDataSet &ds);
    virtual void nClientDataSetBeforeInsert(TnClientDataSet &ds);
    virtual void nClientDataSetNewRecord(TnClientDataSet &ds);
    virtual void nClientDataSetAfterInsert(TnClientDataSet &ds);
    virtual void nClientDataSetBeforeEdit(TnClientDataSet &ds);
    virtual void nClientDataSetAfterEdit(TnClientDataSet &ds);
    // After ConfigurarAutoValor and ValidarDado passed.
    virtual void nClientDataSetBeforePost(TnClientDataSet &ds);
    // After the row was written to the database (when AplicarAoGravar).
    virtual void nClientDataSetAfterPost(TnClientDataSet &ds);
    virtual void nClientDataSetBeforeCancel(TnClientDataSet &ds);
    virtual void nClientDataSetAfterCancel(TnClientDataSet &ds);
    virtual void nClientDataSetBeforeDelete(TnClientDataSet &ds);
    virtual void nClientDataSetAfterDelete(TnClientDataSet &ds);
    virtual void nClientDataSetAfterScroll(TnClientDataSet &ds);
    // A field's value changed (every field's OnChange). Per-field text conversions are
    // wired by the module itself: FieldByName("X").OnSetText = [this](...) {...}.
    virtual void nClientDataSetCampoChange(TnField &campo);
    // The user left the field's control (DefIntExit).
    virtual void nClientDataSetCampoExit(TnField &campo);
    // The database refused a row; `resposta` rrIgnore takes it as written.
    virtual void nDataSetProviderUpdateError(Exception &e, TUpdateKind tipo, TResolverResponse &resposta);
    virtual void nClientDataSetReconcileError(TnClientDataSet &ds, Exception &e, TUpdateKind tipo,
                                              TReconcileAction &acao);
    // A reconcile handler worded the refusal itself: the register keeps its message
    // instead of its own words for a duplicate key or a missing reference.
    void ManterMensagemDaRecusa() { FManterMensagem = true; }

private:
    void Ligar();
    void LerDados();
    QString MontarComando(const QString &sql, QVariantList &parametros, QStringList *fixos) const;
    void SeguirMestre(bool forcar);
    QVariantList ValoresDoMestre(bool &posicionado) const;
    QVariant ValorSelecao(const QString &chave, const TnField &campo, bool &temValor) const;
    void PreencherNovo();
    // A new row's sequence fields (Definicao::SequenciaPor) whose scope is filled take the
    // next number; `mudou`: only those whose scope holds that field.
    void ProporSequencias(const TnField *mudou);
    void AntesDeGravar();
    void Aplicar(TDataSetState estadoAntes);
    // Words a refused change in the register's own terms: a duplicate key with the key
    // fields' captions and values, a missing reference with the field that names it.
    void ExplicarRecusa(EDatabaseError &e, TDataSetState estadoAntes);
    // After a post, cancel or delete; `linhaNova`: the row was just inserted in the database,
    // so no detail row can refer to it yet and the details open empty without a read.
    void DepoisDeMudarLinha(bool linhaNova = false);
    // After a refused delete: back on the row the user tried to delete, read again from
    // the database.
    void VoltarAoExcluido();
    void ChecarAlteracao(const QString &operacao) const;
    void ChecarMestre() const;
    void SincronizarDetalhes(bool forcar = false);

    const TnDefCadastro &FDecl;
    TnClientDataSet FDataSet;
    TnDataSetProvider FProvider;
    std::unique_ptr<TnResultadosLookup> FResultados;
    QString FCaption;
    TnTipoForm FTipoForm;
    bool FAplicarAoGravar;
    bool FModoImportacao = false;
    QPointer<TnDMClientDataSet> FMestre;
    QString FCamposLink;
    // FCamposLink parsed once, with the last index each name was found at in the master's
    // and in this register's fields: every new or saved row reads the link.
    QStringList FListaLink;
    mutable std::vector<int> FIndiceLinkMestre, FIndiceLink;
    static TnField &CampoLigado(const TnClientDataSet &ds, const QString &nome, int &indice);
    QVariantList FValoresMestre;     // the master's link values the rows were read for
    // The master's link values read last, as cells and as values (LinkDoMestre): each new or
    // saved row reads the cells again, and the values are made again only when one changed.
    mutable std::vector<TnCelula> FCelulasMestre;
    mutable QVariantList FValoresLink;
    mutable bool FValoresLinkValidos = false;
    // The master has a current row the detail's rows may hang from.
    bool MestrePosicionado() const;
    // The master's link values (in FListaLink's order); null without a current master row.
    const QVariantList *LinkDoMestre() const;
    // What a new row takes from the selection: each selection key's field (by index, as
    // CampoLigado finds it) and value, found again only when the selection changed
    // (GeracaoSelecao), not on every row.
    struct TnValorDaSelecao {
        QString Campo;
        int Indice;
        QVariant Valor;
    };
    std::vector<TnValorDaSelecao> FSelecaoDoNovo;
    // The selection's generation FSelecaoDoNovo was found at; empty while it is not found.
    std::optional<quint64> FGeracaoDoNovo;
    // The declared statement split at its order (SepararOrdem), made once: a detail reads
    // again on every move of its master.
    int FOrdemSeparada = -1; // -1: not split yet; 0: cannot be read in packets; 1: FOrdem
    TnOrdemComando FOrdem;
    QList<QPointer<TnDMClientDataSet>> FDetalhes;
    QList<QPointer<TnControleExtra>> FExtras;
    std::vector<std::pair<int, QVariant>> FAnterior; // CopiarAnterior fields before an insert
    QStringList FCopiados; // the fields SincroCopiarDados filled in the new row
    // The row being deleted: its key values (ChavePrimaria) and its bookmark.
    QVariantList FChaveExcluindo;
    TnBookmark FMarcaExcluindo = -1;
    TDataSetState FEstadoGravando = dsBrowse;
    bool FRestaurando = false;       // putting a refused row back into edit: no hooks
    bool FPropondoSequencia = false;
    bool FManterMensagem = false;    // ManterMensagemDaRecusa during the write under way
    std::map<int, QVariant> FSequenciasPropostas; // by field: the number proposed to the new row
    bool FRelerPendente = false;     // the selection changed while a row was in edit
    bool FLinhaNovaGravada = false;  // the details follow a row just inserted (DepoisDeMudarLinha)
    // Reading again and finding the row again: the scroll's effects wait for the row it
    // ends on (FRolouRelendo: the dataset scrolled meanwhile).
    bool FRelendo = false;
    bool FRolouRelendo = false;
};
