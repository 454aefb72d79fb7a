#pragma once
// The Bloco K query: for one company, its branches and a period, with optional participant,
// product and fiscal classification filters, ten result tabs, one per record family (K200,
// K210, K220, K230, K250, K260, K270, K280, K290, K300), each a master grid and, for the
// families with child records, a detail grid following it. Each family is read by its
// routine (ConsultaLctoBlocoKFactory); from each master grid an action opens the row's
// register.
//
// A run reads every family into datasets of its own and only then puts all of them in the
// tabs: a failing family leaves every tab as it was. The company follows the active one; a
// run without it is refused on the parameter.
#include "OrvoConsultaLctoSpedBlocoKConfig_U.h"
#include "PowerParam.h"

#include <array>

inline constexpr char OrvoSBuscandoRotinasBlocoK[] = "Buscando lançamentos das rotinas do Bloco K, aguarde...";
inline constexpr char OrvoSDataInvalida[] = "Data inválida!";
inline constexpr char OrvoSDataFinalMenor[] = "Data Final não pode ser menor que a Data Inicial!";
inline constexpr char OrvoSEmpresaNaoInformada[] = "Informe o Código da Empresa";

class TOrvoDPConsultaLctoSpedBlocoK : public TnDMPowerParamTab {
    Q_OBJECT
public:
    // The record numbers of the tabs, in their order.
    static constexpr std::array<quint16, 10> kRegistros{200, 210, 220, 230, 250, 260, 270, 280, 290, 300};

    TOrvoDPConsultaLctoSpedBlocoK();
    ~TOrvoDPConsultaLctoSpedBlocoK() override;

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void ValidarDado() override;
    void Executar() override;

    // The query as the last run read it from the parameters.
    const TConsultaLctoSpedBlocoKConfig &Config() const { return FConfig; }
    // The master and detail rows of record `registro` (cdsK200 ... cdsK300,
    // cdsDetalheK210 ...); null for a record without a detail grid.
    TnClientDataSet &cdsK(quint16 registro) const;
    TnClientDataSet *cdsDetalheK(quint16 registro) const;
    // The open-register action of the record's tab (nActAbrirK200 ...).
    TnActAbrirCadastro *nActAbrirK(quint16 registro) const;
    TnActionList &Acoes() const { return *FAcoes; }

private:
    TnAbaResultado &AbaDe(quint16 registro) const;
    void LerConfig();

    TnActionList *FAcoes;
    TConsultaLctoSpedBlocoKConfig FConfig;
};
