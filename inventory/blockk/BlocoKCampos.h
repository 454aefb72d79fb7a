#pragma once
// Columns the Bloco K records share: company and branch, which begin every table, and the
// product columns, codes of PRODUTO of the same company.
#include "Campo.h"

// CODIGOEMPRESA smallint, required, linked to the company.
TnDefCampo CampoEmpresaK();
// CODIGOESTAB smallint, required, linked to the company's branch (`link` false: no link).
TnDefCampo CampoEstabK(bool link = true);
// A product column (bigint, dictionary CODIGOPRODUTO, linked to the company's product).
TnDefCampo CampoProdutoK(const char *nome, bool requerido, const char *label = "", const char *hint = "");
// A numeric(precisao, escala) column shown and edited with `formato`.
TnDefCampo CampoQuantidadeK(const char *nome, int precisao, int escala, const char *formato, const char *label,
                            const char *hint, bool requerido = true);
