#pragma once
// The audit of the inventory entries ("Auditoria Lançamentos Inventário"): runs the chosen
// audit rules over a company, a branch and a range of months and lists what they find in a
// grid, one highlighted title row per rule that found something (TITULO 1) followed by one
// row per finding (TITULO 2).
//
// The rules are chosen by their codes in pAuditoria, joined by ";" ("1;4;6"); "0" chooses
// every rule; empty pieces are skipped and a code given twice runs once, in the order first
// given. The months run from the first day of the initial month to the last day of the
// final one.
//
// A finding row opens its entry in the entry register, modally (double-click, the popup
// item, the tool button "LctoFis", Ctrl+Enter). When the register closes, every row with
// the same label and product code is re-checked through the rule that found it (a keyed
// range of a second cursor over the grid, sorted by label and code); the rows whose problem
// is gone are refreshed in open registers and leave the grid. Title rows stay.
//
// Findings and rules are keyed by serial numbers of the run (HASHCODE, INDICE; 0 on title
// rows). The second cursor is rebuilt at the end of every run, also of one that failed, so
// the re-check always walks the grid as it is.
#include "PowerParam.h"

#include "Auditoria.h"

#include <QHash>
#include <memory>

class TOrvoDPAuditoriaInv : public TnDMPowerParamGrid {
    Q_OBJECT
public:
    TOrvoDPAuditoriaInv();
    ~TOrvoDPAuditoriaInv() override;

    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void ValidarDado() override;
    void Executar() override;
    void DepoisConfigurar(TnFormModulo *form) override;
    void ConfigurarDBGrid() override;

    // Opens the current row's finding and removes the fixed ones (nothing on a title row).
    void actAbrirCadastro();

    // The chosen codes after validation, joined by ";".
    const QString &Auditorias() const { return FAuditoria; }
    const QDate &DataInicial() const { return FDataInicial; }
    const QDate &DataFinal() const { return FDataFinal; }

private:
    void ExecutarAuditorias();
    void ExecutarAuditoria(int codigo);
    void AusenciaPropriedade();
    void AusenciaCST();
    void AusenciaCContabilDetPropriedade();
    void DiferencaQtdInvPropriedade();
    void DiferencaCustoUnitInvPropriedade();
    void AusenciaBaseCalcDetCST();
    void ProcessarAuditor(const std::shared_ptr<InAuditor> &auditor);
    void IncluirTituloAuditoria(const InAuditor &auditor, int chaveAuditor);
    void IncluirItensAuditoria(const TnItensAuditoria &itens, int chaveAuditor);
    void CriarClone();
    void RemoverItensCorrigidos();
    bool ValidarItemAuditoria(int chave);
    QString SelecionarTodasAuditorias() const;
    void PrepararGrade();

    QHash<int, std::shared_ptr<InItemAuditoria>> FItensAuditoria;
    int FUltimaChave = 0;
    int FCodigoEmpresa = 0;
    int FCodigoEstab = 0;
    QDate FDataFinal;
    QDate FDataInicial;
    QString FAuditoria;
    std::unique_ptr<TnClientDataSet> FClone;
    std::unique_ptr<TnProgresso> FProgresso;
};
