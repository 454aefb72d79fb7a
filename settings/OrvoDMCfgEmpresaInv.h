#pragma once
// The company inventory settings register: one row of CFGEMPRESAINV per company, read for
// the selected company. Rows are never deleted here, and a second row is never inserted.
// When the periodicity of an existing row changes, closing the form checks the selected
// inventory date against it and, when it no longer fits, clears the selected period and
// closes the entries register. After saving, the cached settings are reloaded and the
// modules that follow the company are refreshed.
//
// When the general-registry module keeps the company settings (IsUseUlmar), that module
// does this work and the register only keeps its rows and its position.
#include "DMClientDataSet.h"

#include <functional>

class TOrvoDMCfgEmpresaInv : public TnDMClientDataSet {
    Q_OBJECT
public:
    TOrvoDMCfgEmpresaInv();

    static QString PegarVerificaSelecao();
    static int PegarTipoObjeto();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    // The general-registry module keeps the company settings (first bit of the framework's
    // settings).
    bool IsUseUlmar() const;

    void AposCriar() override;
    void AntesConfigurar(TnFormModulo *form) override;
    void DepoisConfigurar(TnFormModulo *form) override;
    void ConfigurarTabela(TnClientDataSet *objeto) override;
    void FormCloseQuery(TnFormModulo *form, bool &podeFechar) override;

protected:
    void nClientDataSetBeforeInsert(TnClientDataSet &ds) override;
    void nClientDataSetBeforeDelete(TnClientDataSet &ds) override;
    void nClientDataSetBeforePost(TnClientDataSet &ds) override;
    void nClientDataSetAfterPost(TnClientDataSet &ds) override;
    void nDataSetProviderUpdateError(Exception &e, TUpdateKind tipo, TResolverResponse &resposta) override;

private:
    void ChecarPeriodoSelecionado(TnFormModulo *form, bool &podeFechar);

    bool FInformou = false;      // the period warning was given since the last change of periodicity
    bool FTeveAlteracao = false; // the periodicity of an existing row was changed in this form
    // The form's close-query before the period check was put in front of it.
    std::function<void(TnFormModulo *, bool &)> FFormCloseQuery;
    bool FRelerAposGravar = false; // a refused row was taken as written: read what is stored
};
