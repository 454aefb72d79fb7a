#pragma once
// The SYN import of inventory entries: the suite's SYN import (TnSynDPImportacaoBase) bound
// to the inventory data group and to this module's menu. Its entries keep their SYN
// identifier (LCTOINV.IDSYN) and are listed by the consultation TOrvoDCLctoInvSyn.
#include "SynImportacao.h"

class TOrvoDPImportacaoSyn : public TnSynDPImportacaoBase {
public:
    // The base's action; for this module's menu it also checks the selection and the
    // user's rights.
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    // The base's import, then the form shows its state (also when nothing was imported).
    void Executar() override;
    // Opened from a link: imports at once. The framework's own link handling would run the
    // process as well, so only the re-import runs: one import per link.
    void ExecutarAposAbrirLink() override;
    // The re-import asked for on the form.
    void ExecutarReImportar();
    // The base's creation, then every refused record is listed in the report.
    void DataModuleCreate() override;
    // The inventory data group and the state panels, then the base's configuration.
    void DepoisConfigurar(TnFormModulo *form) override;
};
