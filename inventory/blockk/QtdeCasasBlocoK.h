#pragma once
// The quantity display rule of the Bloco K modules: the company's quantity decimals
// (CFGEMPRESAINV.QTDECASADECIMALQTD), 3 when the company has no settings row or the column
// is empty (not the settings table's own default). The company is the row's CODIGOEMPRESA,
// else the active company (gCodigoEmpresaAtiva); a module that follows the row's company
// alone (SetEmpresaDaLinha) takes 3 while no row gives a company, without a read.
// Registers show and edit their quantities as "#,##0." followed by that many zeros;
// consultations take that many decimals.
//
// The decimals are kept per company: read when the company changes, and again after the
// selection reconfigures the module for "CodigoEmpresa" (the settings register does so
// after saving).
#include "DMClientDataSet.h"
#include "LctoInvPropriedadeComum.h"

// The quantity decimals of company `empresa`, read with the company bound.
int LerCasasQtdeBlocoK(int empresa);

// The company of the dataset's current row (or of the row being inserted) as text; "-1"
// while no row gives one.
QString EmpresaDaLinhaK(const TnClientDataSet &ds);

// A register's quantity column shown and edited with `casas` decimals.
void FormatarQuantidadeK(TnField &campo, int casas);
// A consultation's quantity column with `casas` decimals.
void PrecisaoQuantidadeK(TnField &campo, int casas);

// A module of `Base` that keeps the rule's decimals (FQtdeCasaDecimalQtd).
template <class Base>
class TnQtdeBlocoK : public Base {
public:
    explicit TnQtdeBlocoK(const TnDefCadastro &declaracao) : Base(declaracao) {}

    // The decimals for the current row's company (see the top of this file).
    int PegarQtdeCasaDecimalQtd()
    {
        const auto ler = [this](int empresa) { FQtdeCasaDecimalQtd = empresa < 0 ? 3 : LerCasasQtdeBlocoK(empresa); };
        if (FEmpresaDaLinha)
            FCache.Carregar(EmpresaDaLinhaK(this->nClientDataSet()), ler);
        else
            FCache.Carregar(this->nClientDataSet(), ler);
        return FQtdeCasaDecimalQtd;
    }

    void ReconfigurarDM(const QString &parametro, bool recarregar) override
    {
        if (parametro.compare(QStringLiteral("CodigoEmpresa"), Qt::CaseInsensitive) == 0) {
            FCache.Esquecer();
            if (this->Aberto())
                this->ConfigurarCampo(&this->nClientDataSet());
        }
        Base::ReconfigurarDM(parametro, recarregar);
    }

protected:
    // The rule follows the row's company alone, never the active one.
    void SetEmpresaDaLinha(bool v) { FEmpresaDaLinha = v; }

    int FQtdeCasaDecimalQtd = 3;

private:
    TnCacheCfgEmpresa FCache;
    bool FEmpresaDaLinha = false;
};
