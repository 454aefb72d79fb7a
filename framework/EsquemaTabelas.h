#pragma once
// The inventory module's tables and the steps that bring a database to them.
#include "ConversaoBanco.h"
#include "Esquema.h"

// Name of the module in NVERSAOBANCO.
extern const char *const ModuloInv;

// Every table the module reads or writes: the suite's registry tables it relies on, its
// own inventory tables and the SPED Fiscal 0210 and Bloco K tables.
const TnEsquema &EsquemaInv();

// The module's conversion steps, oldest first.
const std::vector<TnPassoConversao> &PassosConversaoInv();
