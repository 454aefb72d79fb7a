#pragma once
// Selection of the inventory period: the month the running application works on.
//
// The chosen month must fit the active company's inventory periodicity
// (ValidarPeriodoSelecionado). It is checked before anything changes: a refused month leaves
// the active date, the selection parameter "DataInvent" and the open modules as they were.
// An accepted month becomes the selection's "DataInvent" and gDataInicialAtivo, both its
// first day (a month is its first day everywhere; gDataInvent and its variants follow it as
// dd/mm/yyyy), the open modules that follow "DataInvent" are reconfigured and the form
// closes itself.
#include "PowerParam.h"

// Messages of the process.
inline constexpr char OrvoSEmpresaNaoSelecionada[] =
    "Nenhuma empresa está selecionada. Selecione a empresa antes de escolher o período do inventário.";
inline constexpr char OrvoSCompetInventInvalida[] =
    "Competência do inventário inválida. Informe o mês e o ano no formato mm/aaaa.";

class TOrvoDPPeriodoInventario : public TnDMPowerParam {
public:
    TOrvoDPPeriodoInventario();

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void DepoisConfigurar(TnFormModulo *form) override;
    void Executar() override;
};
