#pragma once
// The query routines of the Bloco K record families (TOrvoConsultaRotinaBlocoKBase): each
// gives its family's select, its fields and what it reads otherwise than the base.
#include "OrvoConsultaRotinaBlocoKBase_U.h"

// Inventory at the end of the period, with its participant (K200).
class TOrvoConsultaRotinaBlocoK200 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;

protected:
    QString GetSQLMestre() const override;
    QString GetNomeCampoCodigoPessoa() const override;
    QString GetOrdemMestre() const override;
};

// Internal movement between products: a product filter finds it as origin or destination
// (K220).
class TOrvoConsultaRotinaBlocoK220 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;

protected:
    QString GetSQLMestre() const override;
    QString GetFiltroProduto() const override;
    QString GetOrdemMestre() const override;
};

// Corrections of earlier inventories, dated by the stock date as entered (K280).
class TOrvoConsultaRotinaBlocoK280 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;

protected:
    QString GetSQLMestre() const override;
    TnSQLBlocoK GetFiltroPeriodo() const override;
    QString GetNomeCampoCodigoPessoa() const override;
    QString GetOrdemMestre() const override;
};

// Disassembly: the origin product and its destination products (K210, K215).
class TOrvoConsultaRotinaBlocoK210 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;
    std::span<const TnDefCampo> CamposDetalhe() const override;

protected:
    QString GetSQLMestre() const override;
    QString GetSQLDetalhe() const override;
    QString GetTabelaMestre() const override;
    QString GetChaveMestre() const override;
    QString GetOrdemMestre() const override;
    QString GetOrdemDetalhe() const override;
};

// Production order and its consumed inputs (K230, K235).
class TOrvoConsultaRotinaBlocoK230 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;
    std::span<const TnDefCampo> CamposDetalhe() const override;

protected:
    QString GetSQLMestre() const override;
    QString GetSQLDetalhe() const override;
    QString GetTabelaMestre() const override;
    QString GetChaveMestre() const override;
    QString GetOrdemMestre() const override;
    QString GetOrdemDetalhe() const override;
};

// Production by third parties and its inputs (K250, K255), dated by the production date as
// entered.
class TOrvoConsultaRotinaBlocoK250 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;
    std::span<const TnDefCampo> CamposDetalhe() const override;

protected:
    QString GetSQLMestre() const override;
    QString GetSQLDetalhe() const override;
    TnSQLBlocoK GetFiltroPeriodo() const override;
    QString GetTabelaMestre() const override;
    QString GetChaveMestre() const override;
    QString GetOrdemMestre() const override;
    QString GetOrdemDetalhe() const override;
};

// Reprocessing and repair and its items (K260, K265).
class TOrvoConsultaRotinaBlocoK260 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;
    std::span<const TnDefCampo> CamposDetalhe() const override;

protected:
    QString GetSQLMestre() const override;
    QString GetSQLDetalhe() const override;
    QString GetTabelaMestre() const override;
    QString GetChaveMestre() const override;
    QString GetOrdemMestre() const override;
    QString GetOrdemDetalhe() const override;
};

// Corrections of earlier production and its inputs (K270, K275).
class TOrvoConsultaRotinaBlocoK270 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;
    std::span<const TnDefCampo> CamposDetalhe() const override;

protected:
    QString GetSQLMestre() const override;
    QString GetSQLDetalhe() const override;
    QString GetTabelaMestre() const override;
    QString GetChaveMestre() const override;
    QString GetOrdemMestre() const override;
    QString GetOrdemDetalhe() const override;
};

// Joint production order (K290) with its produced items (K291) and consumed components
// (K292) as one detail. The order has no product: the product and classification filters
// keep the orders having an item of them, and the detail shows only those items.
class TOrvoConsultaRotinaBlocoK290 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;
    std::span<const TnDefCampo> CamposDetalhe() const override;
    // The select of the items of "K291" or "K292".
    static QString MontarSQLItensK290(const QString &registro);

protected:
    QString GetSQLMestre() const override;
    QString GetSQLDetalhe() const override;
    QString GetFiltroProduto() const override;
    QString GetFiltroNCM() const override;
    QString GetOrdemMestre() const override;
    QString GetOrdemDetalhe() const override;
};

// Joint production by third parties (K300) with its items K301 and K302, dated by the
// recognition date as entered; filtered as K290.
class TOrvoConsultaRotinaBlocoK300 : public TOrvoConsultaRotinaBlocoKBase {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoK> New();
    std::span<const TnDefCampo> CamposMestre() const override;
    std::span<const TnDefCampo> CamposDetalhe() const override;
    // The select of the items of "K301" or "K302".
    static QString MontarSQLItensK300(const QString &registro);

protected:
    QString GetSQLMestre() const override;
    QString GetSQLDetalhe() const override;
    TnSQLBlocoK GetFiltroPeriodo() const override;
    QString GetFiltroProduto() const override;
    QString GetFiltroNCM() const override;
    QString GetOrdemMestre() const override;
    QString GetOrdemDetalhe() const override;
};
