#pragma once
// Consultation of the inventory entries: the entries of one company joined with their
// products, filtered by branches, products and users (multi-value texts), by a period of
// months and by a word of the observation, in a read-only grid whose quantities and costs
// follow the company's decimals.
//
// The company: pCodigoEmpresa when filled (it starts with the active company), else the
// active company. Its settings are read when the form is configured, when the framework
// reconfigures the module for "CodigoEmpresa" and at each run; a company without settings
// rows gets the defaults (2 and 2 decimals, no model 7 book, no references), never the
// previous company's. The grid is rebuilt empty whenever the settings are read outside a run.
//
// The period: the initial month from its first day, the final month to its last day; a text
// that is no month is refused (EnParam). The observation word (only for a company that keeps
// the model 7 book) keeps the rows whose observation contains it, letter case ignored, every
// character taken literally.
//
// A row opens the entry register "TOrvoDMLctoInv" (double-click, the popup item, the tool
// button, Ctrl+Enter) on the row's company, branch, date and product, modally and without
// the new-record action. The branch and the date are set in the connection's selection for
// the register and put back afterwards, by name and to exactly their previous values, also
// when the register fails; the product keeps the row's value. The register itself opens
// through an open-register action (TnActAbrirCadastro), as the declared nActAbriLctoInv
// does: those four keys pinned on it, so the row's company is for the register alone. When the register closes, the grid rows of that company, branch, date and
// product are read again by their full key: each takes its own entry's values, rounded as
// at the first load, or goes when its entry is gone.
#include "PowerParam.h"

class TnActAbrirCadastro;
class TnCursor;
class TnCursorDerivado;

inline constexpr char OrvoSPeriodoInicialIncorreto[] = "Período inicial incorreto!";
inline constexpr char OrvoSPeriodoFinalIncorreto[] = "Período final incorreto!";
inline constexpr char OrvoSNenhumLancamento[] = "Nenhum lançamento foi encontrado";
inline constexpr char OrvoSLancamentosEncontrados[] = "Foram encontrados %1 lançamentos";
inline constexpr char OrvoSBuscandoLancamentos[] = "Buscando lançamentos dos inventários...";

class TOrvoDPConsultaLctoInv : public TnDMPowerParamGrid {
    Q_OBJECT
public:
    TOrvoDPConsultaLctoInv();
    ~TOrvoDPConsultaLctoInv() override;

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;
    void DepoisConfigurar(TnFormModulo *form) override;
    void ConfigurarDBGrid() override;
    // The settings of the company now chosen, and the grid rebuilt empty with them.
    void Atualizar() override;
    void ReconfigurarDM(const QString &parametro, bool recarregar) override;

    // Reads the company's settings into the module (CFGEMPRESAINV, CFGEMPRESAULMAR).
    void CarregarCfgEmpresa();
    // The eleven result columns, empty, with the formats of the settings read.
    void ConfigurarFields();
    // Opens the register on the current row (nothing on an empty grid).
    void nDBGridDblClick();

    int QtdCasas() const { return FQtdCasas; }
    int QtdCasasQtd() const { return FQtdCasasQtd; }
    bool UsaRef() const { return FUsaRef; }
    bool UsaModelo7() const { return FUsaModelo7; }
    int CodigoEmpresa() const { return FCodigoEmpresa; }
    TnActAbrirCadastro *nActAbriLctoInv() const { return FActAbriLctoInv; }

private:
    // The company the rows and the formats come from (see the top of this file); -1 when
    // the active company is no number. `estrito`: a pCodigoEmpresa that is no number is
    // refused (a run); otherwise it counts as empty.
    int EmpresaEscolhida(bool estrito) const;
    void LerCfgEmpresa(int empresa);
    // The statement's columns mapped to the grid's, computed as the grid shows them.
    void MapearColunas(TnCursorDerivado &c) const;
    // The multi-value condition of a parameter on `coluna`; a bad token: EnParam on it.
    QString Condicao(const char *alias, const char *coluna) const;
    void AtualizarLinhas();

    TnActionList *FAcoes;
    TnActAbrirCadastro *FActAbriLctoInv;
    TnActAbrirCadastro *FActAbrirLinha; // the double-click's: the row's entry group, modal
    int FQtdCasas = 2;
    int FQtdCasasQtd = 2;
    int FCodigoEmpresa = 0;
    int FEmpresaCfg = 0; // company whose settings were read last
    bool FUsaRef = false;
    bool FUsaModelo7 = false;
};
