#pragma once
// The company inventory settings consultation: every company's row, read-only.
#include "DMClientDataSet.h"

class TOrvoDCCfgEmpresaInv : public TnDMClientDataSet {
    Q_OBJECT
public:
    TOrvoDCCfgEmpresaInv();

    static int PegarTipoObjeto();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);
};
