#pragma once
// The inventory module's tables and the steps that bring a database to them.
#include "ConversaoBanco.h"
#include "Esquema.h"

// Name of the module in NVERSAOBANCO.
extern const char *const ModuloInv;

// Every table the module reads or writes: the suite's registry tables it relies on, its
// own inventory tables, the SPED Fiscal 0210 and Bloco K tables, our framework's tables
// (personalisation, settings, standard jobs) and the fiscal module's monthly stock balances
// (SALDOESTOQUE, which its balance process reads).
const TnEsquema &EsquemaInv();

// The module's conversion steps, oldest first. A database without any company gets a
// sample company ("Empresa Exemplo", code 1, branch 1, its inventory settings) and, when it
// has no user, a default user (code 1), once, in the step that brings it to version 5.
const std::vector<TnPassoConversao> &PassosConversaoInv();
