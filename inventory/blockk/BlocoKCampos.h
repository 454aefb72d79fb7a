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
// A quantity numeric(18,3) of the dictionary's three decimals (DICVALOR3).
TnDefCampo CampoQtde3K(const char *nome, const char *label, const char *hint, bool requerido = false);
// A date of the dictionary's date entry (DICDATA).
TnDefCampo CampoDataK(const char *nome, const char *label, const char *hint, bool requerido = false);
// DATALCTOFIS, the competence (month and year): typed in a master, hidden in its details.
TnDefCampo CampoCompetenciaK(bool mestre);
// The master's sequence `nome` (smallint): numbered within the branch's competence month in
// the master, hidden in its details.
TnDefCampo CampoSequenciaK(const char *nome, bool mestre);
// CODIGOOPOS char(30), "Ordem de Produção/Serviço".
TnDefCampo CampoOrdemOSK(const char *hint);
// QTDCORRECAOPOS or QTDCORRECAONEG, a positive or negative correction; `periodoAnterior`:
// its hint speaks of a record of an earlier period (K270, K280).
TnDefCampo CampoCorrecaoK(bool positiva, bool periodoAnterior);
