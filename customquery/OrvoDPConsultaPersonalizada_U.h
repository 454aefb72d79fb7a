#pragma once
// The runner of the module's saved custom queries (framework action type 12): the
// framework's runner over the module's catalogue and builder, with the product selection
// preset and a display format for decimal columns.
#include "ConsultaPersonalizada.h"

class TOrvoDPConsultaPersonalizada : public TnDPConsultaPersonalizada {
    Q_OBJECT
public:
    // No menu entry of its own: each saved query is one.
    static void GerarPrincAction(const TnClasseInfo &, TnActionList &, const TnEventoAcao &, const TnModulos &) {}

protected:
    void ConfigurarCatalogo(TnCatalogoConsulta &catalogo) override;
    // Sets the selection's "CODIGOPRODUTO" to 1 when the selection has that parameter.
    void CriarFiltros() override;
    void CreateContructor() override;
    // Float and decimal columns without a display format get "#,##0.00".
    void OnFormatCampoConsulta(TnField &campo) override;
};
