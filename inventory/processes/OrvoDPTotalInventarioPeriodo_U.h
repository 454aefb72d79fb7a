#pragma once
// Totals per period: for one company, one branch and one inventory reason, how many entries
// each inventory date of a range of months has and what they are worth. It reads only.
//
// The range runs from the first day of the initial month to the last day of the final month.
// Each entry is worth its quantity times its unit cost rounded to cents (RoundValor, 2
// decimals, whatever the company's decimals) before it is added; the count is a number
// shown with two decimals. The entries are read once, in date order, and folded in memory;
// the grid is emptied at the start of every run and gets one row per date, in date order.
//
// Parameters: pCodigoEmpresa (hidden: the selected company, the active one when empty),
// pCodigoEstab, pPeriodoInicial and pPeriodoFinal (months), pMotivoInventario (the reason,
// "1" by default). A period that is empty or not a month, and a branch that is not a whole
// number, are refused on their parameter; an initial month after the final one gives an
// empty grid.
#include "PowerParam.h"

// Message of a period that is empty or not a month.
inline constexpr char OrvoSPeriodoTotalInvalido[] = "Informe o %1 como mês e ano, no formato mm/aaaa.";

class TOrvoDPTotalInventarioPeriodo : public TnDMPowerParamGrid {
public:
    TOrvoDPTotalInventarioPeriodo();

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;
    void TotalizarLancamentos();
};
