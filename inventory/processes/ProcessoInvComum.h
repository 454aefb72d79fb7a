#pragma once
// What the inventory processes share.
#include <QString>

// The processes that work on the active company refuse to run without one.
inline constexpr char OrvoSEmpresaFilialNaoSelecionado[] =
    "Nenhuma empresa está selecionada. Selecione a empresa antes de executar o processo.";

// The display format of a cost parameter: "#0." followed by as many zeros as the cost
// decimals (CFGEMPRESAINV.QTDECASADECIMAL) of the company the framework variable
// gCodigoEmpresa names, 6 when that company has no settings.
QString FormatoCasasDeCusto();
