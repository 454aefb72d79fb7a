#pragma once
// What the company inventory settings register and its consultation share: the statement
// that reads CFGEMPRESAINV and its columns, and the menu actions both classes build from a
// table of their own.
#include "Acoes.h"
#include "Campo.h"

#include <QString>
#include <vector>

// Reads every company's row; the register reads only the selected company's.
extern const char *const kSQLCfgEmpresaInv;
// The columns of CFGEMPRESAINV with their captions, hints, value lists and rules.
std::vector<TnDefCampo> CamposCfgEmpresaInv();

