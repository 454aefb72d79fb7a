#pragma once
// Columns of the joint-production records (K290 to K302), which describe their company,
// branch, competence and product more fully than the other Bloco K records: company and
// branch with their registers' lookups, the competence as a month and year, the product
// with its reference and description beside the code.
#include "Campo.h"

#include <initializer_list>

class TnDMClientDataSet;

// CODIGOEMPRESA and CODIGOESTAB, hidden, with the company's and branch's lookups.
TnDefCampo EmpresaProducaoConjunta(bool requerido);
TnDefCampo EstabProducaoConjunta(bool requerido);
// DATALCTOFIS, the competence (month and year).
TnDefCampo CompetenciaProducaoConjunta(bool requerido, bool visivel = true, const char *label = "");
// A product column, required: it ends the key. `resultado`: the lookup columns shown.
TnDefCampo ProdutoProducaoConjunta(const char *label, const char *hint,
                                   const char *resultado = "REFERENPRODUTO;DESCRPRODUTO");
// A quantity numeric(precisao, 3) (dictionary DICVALOR3).
TnDefCampo QuantidadeProducaoConjunta(const char *nome, int precisao, const char *label, const char *hint = "");
// The captions of `campos` of `dm`, each "[caption]", one per line: a natural key for the
// duplicate-key message.
QString RotulosChave(const TnDMClientDataSet &dm, std::initializer_list<const char *> campos);
