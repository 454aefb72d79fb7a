#include "OrvoDCLctoInvPeriodo_U.h"

#include "Modulos.h"

namespace {

const TnDefCadastro kDeclaracao{
    .SQL = "Select distinct t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT from LCTOINV t_t "
           "order by t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT",
    .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true,
                .Def = {.Chave = "CODIGOEMPRESA", .Visivel = false}},
               {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true,
                .Def = {.Chave = "CODIGOESTAB", .Visivel = false}},
               {.Nome = "DATAINVENT", .Tipo = ftDate, .Requerido = true, .Def = {.Chave = "DATAINVENT"}}},
    .Chave = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT",
    .Ordem = "CODIGOEMPRESA, CODIGOESTAB, DATAINVENT",
    .CaptionOrdem = "Data",
    .Caption = "Datas do Inventário",
    .TipoForm = ntfConGrid,
    .LogChanges = false,
};

} // namespace

TOrvoDCLctoInvPeriodo::TOrvoDCLctoInvPeriodo() : TnDMClientDataSet(kDeclaracao) {}
QString TOrvoDCLctoInvPeriodo::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa;CodigoEstab"); }
int TOrvoDCLctoInvPeriodo::PegarTipoObjeto() { return 2; }

// Registered under the name the lookups give it.
static TnRegistrador<TOrvoDCLctoInvPeriodo> gRegistro("OrvoDCLctoInvPeriodo");
