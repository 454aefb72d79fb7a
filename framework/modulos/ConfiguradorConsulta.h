#pragma once
// The custom-query designer, without widgets (TnDPConfiguradorConsultaPersonalizada): the
// user picks tables from a catalogue, ticks what each field does in the query (shown,
// filtered, summed, counted, least, greatest, average, negated; its caption), joins the
// tables, orders the rows, previews the first rows, reads the generated statement, and
// saves, opens, renames and deletes definitions (the storage of ConsultaPersonalizada.h).
//
// What the user chooses reaches SQL only through the builder: tables and fields are taken
// by name from the catalogue (anything else is refused here and again by the builder),
// captions go to the columns' labels and never into the statement, and filters have no
// value here (the runner binds them).
//
// The designer form (TnFormConfiguradorConsulta) is what the designer window shows beside
// the module: the action type under which definitions are saved, the catalogue's entries
// as a navigation bar of groups and items, and the form's events. The desktop window
// (QtConfiguradorConsulta.h) draws it; tests drive the module directly.
#include "ConsultaPersonalizada.h"
#include "PowerParam.h"

#include <functional>
#include <memory>
#include <vector>

class TnDPConfiguradorConsultaPersonalizada;

// One group of the navigation bar, with its items (catalogue tables) in catalogue order.
struct TnGrupoNavBar {
    struct Item {
        QString Classe;  // the register class
        QString Caption; // the table's caption
        QString Palavra; // the item word ("Lançamento", "Cadastro")
    };
    QString Caption;
    std::vector<Item> Itens;
};

class TnFormConfiguradorConsulta {
public:
    explicit TnFormConfiguradorConsulta(TnCatalogoConsulta &catalogo) : FCatalogo(catalogo) {}

    // The action type under which the designed queries are saved and run (the class bound
    // to it by SetActionPowerInfo runs them).
    void SetTipoAction(int tipo) { FCatalogo.SetTipoAcao(tipo); }
    int TipoAction() const { return FCatalogo.TipoAcao(); }

    // A catalogue entry: register class, group, item word and caption (empty: the
    // register's own). A class that is not registered is left out: false.
    bool AddTabela(const QString &classe, const QString &grupo, const QString &item, const QString &caption);
    // The navigation bar again from the catalogue: its groups in the order first met.
    void RebuildNavBar();
    const std::vector<TnGrupoNavBar> &NavBar() const { return FNavBar; }

    // ---- events
    // After every change of the design. The framework's handler refreshes the preview.
    std::function<void()> OnDefinicaoAlterada;
    // The navigation bar was rebuilt (the window draws it again).
    std::function<void()> OnNavBarAlterada;
    // Shows the generated statement; none: a message.
    std::function<void(const QString &sql)> OnMostrarSQL;

private:
    TnCatalogoConsulta &FCatalogo;
    std::vector<TnGrupoNavBar> FNavBar;
};

// A field of a chosen table as the designer shows it: the field catalogue's row and what
// the design does with it.
struct TnCampoDesenho {
    QString Campo, Descricao;
    bool Numerico = false;  // may be summed, averaged and negated
    bool Calculado = false; // a computed field: filtered only by equal or range
    bool Mostrar = false;
    bool Filtrar = false;
    TnOperadorFiltro Operador = nofIgual;
    TnTotalConsulta Total = ntcNenhum;
    bool Negativar = false;
    QString Caption; // the column's caption; empty: Descricao
};

// One pair of joined fields.
struct TnParJuncao {
    QString AliasEsquerda, CampoEsquerda, AliasDireita, CampoDireita;
    bool operator==(const TnParJuncao &) const = default;
};

using TnFabricaConstrutor = std::function<std::unique_ptr<TnConstrutorConsultaPersonalizada>(
    const TnDefinicaoConsulta &, const TnpqPowerParam *)>;

class TnDPConfiguradorConsultaPersonalizada : public TnDMPowerParam {
    Q_OBJECT
public:
    TnDPConfiguradorConsultaPersonalizada();
    ~TnDPConfiguradorConsultaPersonalizada() override;

    TnFormConfiguradorConsulta &FormConfigurador() { return FForm; }
    const TnCatalogoConsulta &Catalogo() const { return FCatalogo; }

    // The builder class the designer uses (the framework's by default).
    void SetClasseConstrutor(TnFabricaConstrutor fabrica) { FFabrica = std::move(fabrica); }
    template <class C> void SetClasseConstrutor()
    {
        FFabrica = [](const TnDefinicaoConsulta &d, const TnpqPowerParam *p) { return std::make_unique<C>(d, p); };
    }

    // ---- the design. Every change runs the form's OnDefinicaoAlterada and emits Alterado.
    const TnDefinicaoConsulta &Definicao() const { return FDef; }
    // Adds a catalogue table under the next alias ("T1", "T2"...), joined to the first
    // table before it that the catalogue suggests a join with; answers the alias.
    // Exception for a class outside the catalogue.
    QString AdicionarTabela(const QString &classe);
    // Takes a chosen table out, with its fields, filters, order and joins.
    void RemoverTabela(const QString &alias);
    // "T1 - Lançamentos do Inventário"
    QString DescricaoTabela(const QString &alias) const;
    // The fields of a chosen table: its field catalogue (OnCriarCamposDM included), in
    // order, with the design's state.
    std::vector<TnCampoDesenho> Campos(const QString &alias) const;
    TnCampoDesenho Campo(const QString &alias, const QString &campo) const;
    // Each refuses (Exception) a table or field the design or catalogue does not hold, and
    // what the field cannot do (a total, average or negation of a non-numeric field; a
    // list or text filter of a computed field).
    void SetMostrar(const QString &alias, const QString &campo, bool mostrar);
    void SetFiltro(const QString &alias, const QString &campo, bool filtrar);
    void SetOperadorFiltro(const QString &alias, const QString &campo, TnOperadorFiltro operador);
    // A total shows the field and takes it out of the order (a total orders nothing).
    void SetTotal(const QString &alias, const QString &campo, TnTotalConsulta total);
    void SetNegativar(const QString &alias, const QString &campo, bool negativar);
    void SetCaption(const QString &alias, const QString &campo, const QString &caption);
    // Joins: pairs of equal fields between two chosen tables.
    std::vector<TnParJuncao> Juncoes() const;
    void AdicionarJuncao(const TnParJuncao &par);
    void RemoverJuncao(const TnParJuncao &par);
    // The order: shown fields without a total (an unshown field is shown).
    void AdicionarOrdem(const QString &alias, const QString &campo);
    void RemoverOrdem(int indice);
    // Moves an entry by `passo` places (clamped); answers its new place.
    int MoverOrdem(int indice, int passo);
    // An empty design (a new query).
    void Novo();

    // ---- statement and preview
    // The statement of the design, built by the builder class; Exception when the design
    // cannot be built yet (the builder's reason).
    QString SQLGerado() const;
    // The first rows of the last preview (Executar); null before one.
    TnClientDataSet *Previa() const { return FPrevia.get(); }
    // Destroyed just before the preview's dataset goes (a grid over it forgets it then).
    QObject *DonoPrevia() const { return FDonoPrevia.get(); }
    static constexpr int kLinhasPrevia = 100;

    // ---- storage, under the form's action type
    int Codigo() const { return FCodigo; }
    const QString &NomeConsulta() const { return FNome; }
    // Unsaved changes since the last save or open.
    bool Alterada() const { return FAlterada; }
    // Saves the design (checked by the builder first) under `nome`: a new query, or the
    // one opened or saved last (renamed when the name differs). Answers its code.
    int Salvar(const QString &nome);
    // Opens a saved query of the form's action type; Exception when it is of another type
    // or no longer builds over the catalogue.
    void Abrir(int codigo);
    void Renomear(int codigo, const QString &nome);
    // Deletes a saved query; the design stays, as a new query when it was that one.
    void Excluir(int codigo);
    std::vector<TnConsultaSalva> ConsultasSalvas() const;

    // ---- hooks, in slot order
    // The base has no menu entry.
    static void GerarPrincAction(const TnClasseInfo &, TnActionList &, const TnEventoAcao &, const TnModulos &) {}
    // The preview: the design's first rows (filters left out) into Previa.
    void Executar() override;
    void AntesConfigurar(TnFormModulo *form) override;
    void DepoisConfigurar(TnFormModulo *form) override;
    // Shows the generated statement (the form's OnMostrarSQL).
    virtual void ActMostrarSQLExecute();
    // A table's field catalogue was filled with the framework's rows; a module appends its
    // computed fields here. The base adds nothing.
    virtual void OnCriarCamposDM(int tipo, const QString &classe, TnClientDataSet &campos);
    // A column of the preview was made: its caption, format and visibility from the
    // builder's column are set.
    virtual void OnFormatCampoConsulta(TnField &campo, const TnConstrutorConsultaPersonalizada &construtor);
    // Asks before the form closes on unsaved changes.
    void FormCloseQuery(TnFormModulo *form, bool &podeFechar) override;

signals:
    // The design, the preview or the saved query changed (the window shows it again).
    void Alterado();

private:
    const TnTabelaCatalogo &TabelaDoAlias(const QString &alias) const;
    const TnCampoCatalogo &CampoDoAlias(const QString &alias, const QString &campo) const;
    TnCampoConsulta *CampoMostrado(const QString &alias, const QString &campo);
    // The shown field's entry; a new one when it is not shown and `mostrar` (else null).
    TnCampoConsulta *CampoParaAlterar(const QString &alias, const QString &campo, bool mostrar);
    TnFiltroConsulta *FiltroDo(const QString &alias, const QString &campo);
    void TirarDaOrdem(const QString &alias, const QString &campo);
    std::unique_ptr<TnConstrutorConsultaPersonalizada> Construtor(const TnDefinicaoConsulta &def) const;
    void Alterou();
    void AtualizarPrevia();
    void TrocarPrevia(std::unique_ptr<TnClientDataSet> ds);

    TnCatalogoConsulta FCatalogo;
    TnFormConfiguradorConsulta FForm{FCatalogo};
    TnFabricaConstrutor FFabrica;
    TnDefinicaoConsulta FDef;
    std::unique_ptr<TnClientDataSet> FPrevia;
    std::unique_ptr<QObject> FDonoPrevia; // declared after the dataset: it goes first
    int FCodigo = 0;
    QString FNome;
    bool FAlterada = false;
};
