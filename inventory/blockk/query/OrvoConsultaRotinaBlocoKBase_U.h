#pragma once
// The base of the Bloco K query routines: one record family read into the query's datasets.
//
// The master statement is the family's select (GetSQLMestre) followed by
//   where K.CODIGOEMPRESA = ? <branches> and <period>
// then, in this order, the product, the fiscal classification and the participant
// conditions, each only when its filter text is filled and renders to a condition, and the
// order of the target's key. The company and the period's dates are bound; the branch,
// product, participant and classification texts are multi-value texts (FilterInterval):
// a value that is not valid raises EConvertError before any statement runs, and a text
// that designates nothing ("; ;") adds nothing.
//
// The detail statement (GetSQLDetalhe) takes the same common condition; a product or
// classification filter selects the details of the masters it selects (the master's table
// joined by its key, with its product), or, for a family whose master has no product, the
// details of that product themselves.
//
// The base period is the record's competence (K.DATALCTOFIS) from the first day of the
// start's month to the end as entered; a family dated otherwise overrides it with its own
// column, taken as entered.
//
// Relacionar prepares the statements inside read-only transaction 1 (a malformed one
// fails before any dataset is touched) and loads each result straight into its target by
// column name: the statements alias their columns to the targets' field names, so no
// intermediate dataset and no copy field by field. A target without declared fields gets
// the family's (CamposMestre, CamposDetalhe); their texts are as wide as the columns they
// come from. Then the master's header bands: the active company and branch (from ESTAB;
// empty texts when it has no row), the server's date, the period and one band per visible
// field.
#include "OrvoConsultaLctoBlocoKInterfaces_U.h"

#include "Campo.h"

#include <QString>
#include <QVariantList>
#include <span>

class TnComando;

// A statement and the values of its "?", in order.
struct TnSQLBlocoK {
    QString Texto;
    QVariantList Valores;
};

inline constexpr char OrvoSConsultaBlocoK[] = "Consulta Lançamento SPED - Bloco K";

class TOrvoConsultaRotinaBlocoKBase : public IRelacionarRotinaBlocoK {
public:
    IRelacionarRotinaBlocoK &SetConfig(const TConsultaLctoSpedBlocoKConfig &config) override;
    IRelacionarRotinaBlocoK &SetCdsMestre(TnClientDataSet *cds) override;
    IRelacionarRotinaBlocoK &SetCdsDetalhe(TnClientDataSet *cds) override;
    void Relacionar() override;

    const TConsultaLctoSpedBlocoKConfig &Config() const { return FConfig; }
    // The statements as Relacionar runs them.
    TnSQLBlocoK SQLMestre() const;
    TnSQLBlocoK SQLDetalhe() const;
    // The fields of the master and detail targets, in the grids' order.
    virtual std::span<const TnDefCampo> CamposMestre() const = 0;
    virtual std::span<const TnDefCampo> CamposDetalhe() const { return {}; }
    bool TemDetalhe() const { return !CamposDetalhe().empty(); }
    // The first band's caption: "<company> - <name> - <registration> -  Filial (<branches>)".
    QString TextoEmpresa() const;

protected:
    // The family's select without its where clause.
    virtual QString GetSQLMestre() const = 0;
    virtual QString GetSQLDetalhe() const { return {}; }
    // The period condition with its two dates.
    virtual TnSQLBlocoK GetFiltroPeriodo() const;
    // The column of the participant filter; empty: the family ignores that filter.
    virtual QString GetNomeCampoCodigoPessoa() const { return {}; }
    virtual QString GetFiltroProduto() const;
    virtual QString GetFiltroNCM() const;
    // The master table of the detail rows and its key (the detail's columns of the same
    // names): with a product or classification filter the detail keeps the rows whose
    // master's product passes it, as the master's own rows do. Empty: the detail's rows are
    // filtered by their own product (K.CODIGOPRODUTO) and its classification.
    virtual QString GetTabelaMestre() const { return {}; }
    virtual QString GetChaveMestre() const { return {}; }
    // The target's key, as the statements' order ("K.CODIGOEMPRESA, ...").
    virtual QString GetOrdemMestre() const = 0;
    virtual QString GetOrdemDetalhe() const { return {}; }

    // "<coluna> between ? and ?" from `inicio` to the end as entered.
    TnSQLBlocoK PeriodoEntre(const QString &coluna, const QDate &inicio) const;
    // The common condition: company, branches and the period.
    TnSQLBlocoK CondicaoComum() const;

private:
    void Carregar(TnClientDataSet &cds, std::span<const TnDefCampo> campos, TnComando &cmd) const;
    void EscreverBandas() const;

    TnClientDataSet *FCdsMestre = nullptr;
    TnClientDataSet *FCdsDetalhe = nullptr;
    TConsultaLctoSpedBlocoKConfig FConfig;
};
