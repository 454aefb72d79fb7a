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
