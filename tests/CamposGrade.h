#pragma once
// The rows of a result grid's cases and benchmarks: an id, a branch, a month and two value
// columns, a numeric and a double shown with two decimals.
#include "Campo.h"

inline const TnDefCampo kCamposGrade[] = {
    {.Nome = "ID", .Tipo = ftInteger},
    {.Nome = "FILIAL", .Tipo = ftSmallint},
    {.Nome = "MES", .Tipo = ftDate},
    {.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .Def = {.DisplayFormat = "#,##0.00"}},
    {.Nome = "QTDE", .Tipo = ftFloat, .Def = {.DisplayFormat = "#,##0.00"}},
};
