#pragma once
// The module's custom-query builder: the framework's, under the module's name (the runner
// and the designer use it; it changes nothing).
#include "ConsultaPersonalizada.h"

class TOrvoConstrutorConsultaPersonalizada : public TnConstrutorConsultaPersonalizada {
public:
    using TnConstrutorConsultaPersonalizada::TnConstrutorConsultaPersonalizada;
};

#include <functional>

// The framework action type under which the module's queries are saved and run, and the
// menu where the designer and the saved queries are.
inline constexpr int kTipoAcaoConsultaOrvo = 12;
inline constexpr char kCategoriaConsultasOrvo[] = "30 Consultas\\20 Consultas Personalizadas";

// The module's table catalogue, in the designer's order: the inventory entries with their
// property and tax-situation lines, the products, record 0210, the Bloco K records K200 to
// K255 and the account plan. Each entry given to `adicionar` (register class, group, item
// word, caption; an empty caption: the register's own).
void ParaCadaTabelaOrvo(
    const std::function<void(const QString &classe, const QString &grupo, const QString &item, const QString &caption)>
        &adicionar);
// The catalogue of those tables; classes not registered are left out. The entries get the
// computed field "Custo Total" (CUSTOTOTAL).
void ConfigurarTabelas(TnCatalogoConsulta &catalogo);
// A float or decimal result column without a display format gets "#,##0.00" (the runner's
// grid and the designer's preview show values alike).
void FormatarValorOrvo(TnField &campo);
// The selection's "CODIGOPRODUTO" set to 1, only when the selection has that parameter
// (none is added).
void PresetarProdutoSelecao();
// The computed fields of a table's field catalogue: only "TOrvoDMLctoInv" gets one.
void OrvoCriarCamposDM(int tipo, const QString &classe, TnClientDataSet &campos);
