#pragma once
// Custom queries, without widgets: the table catalogue, the query definition and its
// storage, the SQL builder and the runner base.
//
// The catalogue names register classes (TnCatalogoConsulta::AddTabela); from each class it
// reads the register's declaration: its table, the fields that are columns of that table
// in the schema, their captions, formats, lookups, and the key. Per table it fills a field
// catalogue dataset (the fields Tipo, Tabela, Campo, Descricao, FieldTipoValor,
// NomeConsulta, Filtro, Dado, NegativarValor, Somar, Contar, Minimo, Maximo, Media, Join,
// Formula) and then calls OnCriarCamposDM, where a module appends computed fields: a
// Formula in which "%0:s" stands for the table's alias and every column is that table's.
//
// A definition (TnDefinicaoConsulta) is what the user chose: tables with generated aliases
// ("T1", "T2"...), joins on equal fields, shown fields with caption, negation and total,
// filters (equal, between, one of a list, contains) and the order. It is stored as a JSON
// document in the framework table NCONSULTAPERSONALIZADA.
//
// The builder (TnConstrutorConsultaPersonalizada) turns a definition into one statement.
// A definition is never trusted, whoever wrote it: every alias, table, field, join and
// formula is checked against the catalogue (Exception naming what is wrong; nothing
// reaches SQL), and every filter value is bound or rendered by FilterInterval.
//
// The runner (TnDPConsultaPersonalizada) is a process with a result grid created for one
// saved definition: the class bound to the definition's action type (SetActionPowerInfo)
// opens it from the menu action each saved definition gets.
#include "ClientDataSet.h"
#include "PowerParam.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

class nDMConexao;

// ---- catalogue

struct TnCampoCatalogo {
    QString Campo;       // column name, or the computed field's name
    QString Descricao;   // caption
    TFieldType Tipo = ftUnknown;
    bool NaoNulo = false;
    int Precisao = 0, Escala = 0; // a numeric(p,s)
    QString Formato;     // display format
    QString ClasseLookup;
    QString Formula;     // computed field: "%0:s" stands for the table's alias
};

struct TnTabelaCatalogo {
    QString Classe;   // the register class
    QString Grupo, Item, Caption;
    QString Tabela;   // the register's table
    QStringList Chave;
    std::vector<TnCampoCatalogo> Campos;
    const TnCampoCatalogo *Campo(const QString &nome) const; // any case; null when absent
};

class TnCatalogoConsulta {
public:
    explicit TnCatalogoConsulta(int tipoAcao = 0) : FTipo(tipoAcao) {}

    // A module's computed fields, appended to a table's field catalogue dataset (posted rows).
    std::function<void(int tipo, const QString &classe, TnClientDataSet &campos)> OnCriarCamposDM;

    // Adds the table of a register class with its group, item word and caption (empty: the
    // register's own). A class that is not registered, or no register of a table, is left
    // out: false.
    bool AddTabela(const QString &classe, const QString &grupo, const QString &item, const QString &caption);
    const std::vector<TnTabelaCatalogo> &Tabelas() const { return FTabelas; }
    const TnTabelaCatalogo *Tabela(const QString &classe) const; // any case; null when absent
    int TipoAcao() const { return FTipo; }
    void SetTipoAcao(int tipo) { FTipo = tipo; }

    // Fills `ds` with the field catalogue of a catalogue table (defining its fields when it
    // has none), then calls OnCriarCamposDM.
    void CriarCamposDM(const QString &classe, TnClientDataSet &ds) const;

    // Joins offered between two tables: pairs of equal fields, from the schema's
    // references between their tables, else the key fields of one that the other has.
    std::vector<std::pair<QString, QString>> JuncaoSugerida(const QString &classeA, const QString &classeB) const;

private:
    int FTipo;
    std::vector<TnTabelaCatalogo> FTabelas;
};

// ---- definition

enum TnTotalConsulta { ntcNenhum, ntcSoma, ntcContagem, ntcMinimo, ntcMaximo, ntcMedia };
enum TnOperadorFiltro { nofIgual, nofEntre, nofLista, nofContem };

struct TnTabelaConsulta {
    QString Alias;  // "T1"
    QString Classe; // catalogue class
};

struct TnJuncaoConsulta {
    QString AliasEsquerda, AliasDireita;
    std::vector<std::pair<QString, QString>> Campos; // left field = right field
};

struct TnCampoConsulta {
    QString Alias, Campo;
    QString Caption;        // empty: the catalogue's
    bool Negativar = false;
    TnTotalConsulta Total = ntcNenhum;
};

struct TnFiltroConsulta {
    QString Alias, Campo;
    TnOperadorFiltro Operador = nofIgual;
};

struct TnOrdemConsulta {
    QString Alias, Campo;
};

struct TnDefinicaoConsulta {
    std::vector<TnTabelaConsulta> Tabelas;
    std::vector<TnJuncaoConsulta> Juncoes;
    std::vector<TnCampoConsulta> Campos;
    std::vector<TnFiltroConsulta> Filtros;
    std::vector<TnOrdemConsulta> Ordem;

    // Adds a table under the next free alias and answers the alias.
    QString AdicionarTabela(const QString &classe);

    QString ParaJson() const;
    // Exception when the text is no definition (its checks against a catalogue are the
    // builder's).
    static TnDefinicaoConsulta DeJson(const QString &json);
};

// The runner's parameter of a filter: "pFiltro1", and for a range also "pFiltro1Final".
QString AliasParametroFiltro(int indiceFiltro, bool final = false);

// ---- storage (table NCONSULTAPERSONALIZADA)

struct TnConsultaSalva {
    int Codigo = 0;
    QString Nome;
    int TipoAcao = 0;
    QString Definicao; // the JSON document
    int Usuario = 0;
    QDateTime Momento;
};

// Saves a new definition (answers its code) or replaces the one of `codigo`. A blank name,
// or a name another query of the same action type holds, is refused.
int SalvarConsultaPersonalizada(const QString &nome, int tipoAcao, const TnDefinicaoConsulta &def, int codigo = 0);
// In name order; every action type when `tipoAcao` is negative.
std::vector<TnConsultaSalva> ListarConsultasPersonalizadas(int tipoAcao = -1);
// Exception when there is no such query.
TnConsultaSalva LerConsultaPersonalizada(int codigo);
void RenomearConsultaPersonalizada(int codigo, const QString &nome);
void ExcluirConsultaPersonalizada(int codigo);

// Tells whoever lists the saved queries (the main menu) that one was saved, renamed or
// deleted.
class TnAvisoConsultasPersonalizadas : public QObject {
    Q_OBJECT
signals:
    void Alteradas();
};
TnAvisoConsultasPersonalizadas &AvisoConsultasPersonalizadas();

// ---- builder

class TnConstrutorConsultaPersonalizada {
public:
    // `params` (the runner's) hold the filters' values; none: every filter left out.
    TnConstrutorConsultaPersonalizada(const TnDefinicaoConsulta &def, const TnpqPowerParam *params);
    virtual ~TnConstrutorConsultaPersonalizada() = default;

    // One output column of the statement.
    struct Coluna {
        QString Nome;    // output name
        QString Caption;
        QString Formato;
        TFieldType Tipo = ftUnknown;
        int Precisao = 0, Escala = 0;
        bool Total = false;
        bool NaoNulo = false;
        bool Oculta = false; // a key column added for reading in packets
        bool Centavos = false; // an exact product: the statement gives it in cents
    };

    // Builds the statement for `catalogo`; Exception on anything the catalogue does not
    // hold, EnParam on a filter value that does not convert. With `chaves`, the tables'
    // key columns are added (hidden) so that the rows can be read in packets.
    void Montar(const TnCatalogoConsulta &catalogo, bool chaves = false);

    const QString &SQL() const { return FSQL; }        // with its order by
    const QString &SQLBase() const { return FBase; }   // without the order by
    const QVariantList &Valores() const { return FValores; }
    const std::vector<Coluna> &Colunas() const { return FColunas; }
    bool Agrupada() const { return FAgrupada; }
    // Output columns of the order by: the chosen order, then the keys (with `chaves`).
    const QStringList &Ordem() const { return FOrdem; }
    // The order makes every row's place unique and holds no nulls.
    bool OrdemPaginavel() const { return FPaginavel; }

    const TnDefinicaoConsulta &Definicao() const { return FDef; }
    const TnpqPowerParam *Parametros() const { return FParams; }

private:
    TnDefinicaoConsulta FDef;
    const TnpqPowerParam *FParams;
    QString FSQL, FBase;
    QVariantList FValores;
    std::vector<Coluna> FColunas;
    QStringList FOrdem;
    bool FAgrupada = false;
    bool FPaginavel = false;
};

// The builder's columns as the fields of `ds` (when it has none yet), each given to
// `formatar`, and exact products, which the statement gives in cents, read as their value
// (divided by 100 on their way in).
void DefinirResultadoConsulta(TnClientDataSet &ds, const TnConstrutorConsultaPersonalizada &c,
                              const std::function<void(TnField &)> &formatar);
// A result field's caption, format and visibility from the builder's column of its name.
void FormatarColunaConsulta(TnField &campo, const TnConstrutorConsultaPersonalizada &c);

// ---- runner

// The process that runs one saved definition: parameters from its filters, the result in
// its grid, read in packets when its order allows it.
class TnDPConsultaPersonalizada : public TnDMPowerParamGrid {
    Q_OBJECT
public:
    TnDPConsultaPersonalizada();

    // The saved definition of the action that opened the module (TnAction::Tag), read and
    // checked; its parameters built. A definition that does not read raises Exception
    // naming the query: the module is not created.
    void AposCriar() override;
    // Opens another saved definition (a module created without an action).
    void CarregarConsulta(int codigo);

    TnCatalogoConsulta &Catalogo() { return FCatalogo; }
    const TnDefinicaoConsulta &Definicao() const { return FDef; }
    const QString &NomeConsulta() const { return FNome; }
    TnConstrutorConsultaPersonalizada *Construtor() const { return FConstrutor.get(); }

    void Executar() override;

protected:
    // The catalogue the definitions are checked against. The base adds nothing.
    virtual void ConfigurarCatalogo(TnCatalogoConsulta &catalogo);
    // The selection's presets, then the parameters' values (the base does nothing).
    virtual void CriarFiltros();
    // The builder for the definition and the parameters; the base makes the framework's.
    virtual void CreateContructor();
    void SetConstrutor(std::unique_ptr<TnConstrutorConsultaPersonalizada> c) { FConstrutor = std::move(c); }
    // A result column was made: its caption and format from the catalogue are set.
    virtual void OnFormatCampoConsulta(TnField &campo);

private:
    void MontarParametros();
    TnCatalogoConsulta FCatalogo;
    TnDefinicaoConsulta FDef;
    QString FNome;
    int FTipoAcao = 0;
    std::unique_ptr<TnConstrutorConsultaPersonalizada> FConstrutor;
};

// The menu: each saved definition of `tipoAcao` becomes an action under `categoria` in the
// menus of module `modulo`, opening the class bound to that action type. A library sets
// this while it is loaded (its actions go with the bound class when it unloads).
void DefinirMenuConsultasPersonalizadas(int tipoAcao, int modulo, const QString &categoria);
void RemoverMenuConsultasPersonalizadas(int tipoAcao);
// Called by TnActionList::GerarPrincAction after the classes' actions.
void GerarAcoesConsultasPersonalizadas(TnActionList &lista, const TnEventoAcao &evento, const TnModulos &modulos);
