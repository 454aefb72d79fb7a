#pragma once
// The module's custom-query builder: the framework's, under the module's name (the runner
// and the designer use it; it changes nothing).
#include "ConsultaPersonalizada.h"

class TOrvoConstrutorConsultaPersonalizada : public TnConstrutorConsultaPersonalizada {
public:
    using TnConstrutorConsultaPersonalizada::TnConstrutorConsultaPersonalizada;
};

// The module's table catalogue, in the designer's order: the inventory entries with their
// property and tax-situation lines, the products, record 0210, the Bloco K records K200 to
// K255 and the account plan. Classes not registered are left out. The entries get the
// computed field "Custo Total" (CUSTOTOTAL).
void ConfigurarTabelas(TnCatalogoConsulta &catalogo);
// The computed fields of a table's field catalogue: only "TOrvoDMLctoInv" gets one.
void OrvoCriarCamposDM(int tipo, const QString &classe, TnClientDataSet &campos);
