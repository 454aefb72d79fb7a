#include "OrvoDPImportacaoSyn_U.h"

void TOrvoDPImportacaoSyn::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                            const TnEventoAcao &evento, const TnModulos &modulos)
{
    // The action this call created, never one left from an earlier menu.
    TnAction *acao = TnSynDPImportacaoBase::GerarPrincAction(classe, lista, evento, modulos);
    if (!acao || !modulos.test(3))
        return;
    acao->SetChecarSelecao(true);
    acao->SetControlaDireito(true);
}

void TOrvoDPImportacaoSyn::Executar()
{
    TnSynDPImportacaoBase::Executar();
    AtualizarWidgets();
}

void TOrvoDPImportacaoSyn::ExecutarAposAbrirLink() { Reimportar(); }

void TOrvoDPImportacaoSyn::ExecutarReImportar() { Reimportar(); }

void TOrvoDPImportacaoSyn::DataModuleCreate()
{
    TnSynDPImportacaoBase::DataModuleCreate();
    SetListarRecusados(true);
}

void TOrvoDPImportacaoSyn::DepoisConfigurar(TnFormModulo *form)
{
    ConfigurarGruposDeDadosInventario();
    ConfigurarWidgets();
    TnSynDPImportacaoBase::DepoisConfigurar(form);
}

static TnRegistrador<TOrvoDPImportacaoSyn> gRegistro("TOrvoDPImportacaoSyn");
