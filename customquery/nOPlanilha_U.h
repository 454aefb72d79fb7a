#pragma once
// The five formula functions this library adds to the spreadsheet engine's repository while
// it is loaded: "gerEMP" and "gerPAG" ask the hosting spreadsheet data module for company
// and page data, "FORMATARDATAHORA", "FMTNUM" and "REPT" format a date-time, a number and a
// repeated text. No failure leaves a function: the result gets error code 3 instead.
#include "Planilha.h"

#include <QList>
#include <QVariant>

// Adds the five functions, in the order gerEMP, gerPAG, FORMATARDATAHORA, FMTNUM, REPT.
void RegistrarFuncoesPlanilha();
// Takes them out again (the library is unloading).
void RemoverFuncoesPlanilha();

void GerEmpFuncao(TnResultadoFormula &resultado, int token);
void GerPagFuncao(TnResultadoFormula &resultado, int token);
void FormatarDataHoraFuncao(TnResultadoFormula &resultado, int token);
void FmtNumFuncao(TnResultadoFormula &resultado, int token);
void ReptFuncao(TnResultadoFormula &resultado, int token);

// The hosting spreadsheet data module: the component that owns the spreadsheet being
// calculated; null when there is none. An owner of another class raises Exception, its
// message ending in "PegarDM".
TnDMPlanilha *PegarDM(const TnResultadoFormula &resultado);
// The argument at `indice` as given (null when absent).
QVariant ExtrairParametro(const TnResultadoFormula &resultado, int indice);

void InfoParamDoisOpcionais(int &quantidade, QList<int> &tipos);
void InfoParamSemParametros(int &quantidade, QList<int> &tipos);
