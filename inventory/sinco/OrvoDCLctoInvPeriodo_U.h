#pragma once
// The inventory dates of the selected company and branch, one row each: the lookup the
// SINCO files offer for their period.
#include "DMClientDataSet.h"

class TOrvoDCLctoInvPeriodo : public TnDMClientDataSet {
    Q_OBJECT
public:
    TOrvoDCLctoInvPeriodo();
    static QString PegarVerificaSelecao();
    static int PegarTipoObjeto();
};
