#pragma once
// Read-only grids of the property lines and of the tax-situation lines, each row with its
// product's description.
#include "DMClientDataSet.h"

class TOrvoDCLctoInvPropriedade : public TnDMClientDataSet {
    Q_OBJECT
public:
    TOrvoDCLctoInvPropriedade();
    static QString PegarVerificaSelecao();
    static int PegarTipoObjeto();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);
    QString ChavePrimaria() const override;
};

class TOrvoDCLctoInvCST : public TnDMClientDataSet {
    Q_OBJECT
public:
    TOrvoDCLctoInvCST();
    static QString PegarVerificaSelecao();
    static int PegarTipoObjeto();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);
    QString ChavePrimaria() const override;
};
