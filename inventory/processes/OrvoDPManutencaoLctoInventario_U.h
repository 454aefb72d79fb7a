#pragma once
// Gives a tax situation to the property lines of one month that have none: each such line
// (of the chosen company, branches, and products or NCMs) gets one LCTOINVCST line with the
// chosen CST, the line's unit cost as base and the rate applied to that base.
//
// The lines are written through the tax-situation register itself (TOrvoDMLctoInvCSTProc,
// created by name), so its validation runs on every line; the register keeps them until
// the end and then writes them all in one transaction. A line the register refuses, or a
// database error, saves nothing of the run and is reported in the message tree.
#include "ClientDataSet.h"
#include "PowerParam.h"

#include <memory>

// The CST parameter holds no whole number from 0 to 999.
inline constexpr char OrvoSCstInvalido[] = "O CST \"%1\" não é um número inteiro de 0 a 999.";

class TOrvoDPManutencaoLctoInventario : public TnDMPowerParam {
public:
    TOrvoDPManutencaoLctoInventario();
    ~TOrvoDPManutencaoLctoInventario() override;

    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    // The inherited checks, then the CST: a whole number from 0 to 999 (OrvoSCstInvalido).
    void ValidarDado() override;
    void Executar() override;

    // ---- the steps of a run
    void LerParametros();
    // Reads the property lines without a tax situation; true when there is at least one.
    bool ProcessarLctoInvPropriedade();
    // The statement of those lines (company and month bound, "?"), and its product and NCM
    // condition: a line qualifies by its product or by its product's NCM (NCMs as texts).
    QString MontarSQLPropriedadeSemCST() const;
    QString MontarFiltroProdutoNCM() const;
    // Appends and saves the tax-situation lines.
    void GerarLctoInvCST();

private:
    int FCodigoEmpresa = 0;
    QString FCodigoEstab; // branches as typed ("1; 3-5")
    QDate FDataCompetencia; // the month's first day; null when not a month
    QString FNCM;
    QString FProduto;
    int FCST = 0;
    double FAliquota = 0; // percent
    std::unique_ptr<TnClientDataSet> FCdsLctoInvCST;
};
