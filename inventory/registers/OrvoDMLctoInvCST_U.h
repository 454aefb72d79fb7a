#pragma once
// The tax-situation lines of a property line (LCTOINVCST): per ICMS code, the tax base and
// the tax. Before 2013 only the codes then in force are accepted. TOrvoDMLctoInvCSTProc is
// the same register as the tax-situation maintenance process creates it.
#include "DMClientDataSet.h"

class TOrvoDMLctoInvCST : public TnDMClientDataSet {
    Q_OBJECT
public:
    TOrvoDMLctoInvCST();

    static QString PegarVerificaSelecao();
    static int PegarTipoObjeto();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    QString ChavePrimaria() const override;
    void ValidarDado() override;
    // The search button of CST opens the choice of codes (nClientDataSetCSTDefIntButtonClick).
    bool PesquisarCampo(const QString &campo) override;

public slots:
    // The lookup button of CST: the user picks a code valid on the selected inventory date.
    void nClientDataSetCSTDefIntButtonClick();
};

class TOrvoDMLctoInvCSTProc : public TOrvoDMLctoInvCST {
    Q_OBJECT
public:
    static QString PegarVerificaSelecao();
};
