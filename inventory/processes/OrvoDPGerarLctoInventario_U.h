#pragma once
// Generation of inventory entries from the closing stock balances of a month, as the fiscal
// module's stock control computes them ("TTelsoDPGerarSaldoInicialEstoque", reached by class
// name): for every chosen branch active in the month and every product with a balance, one
// entry dated the month's first day and one property line (SEQ 1) with the chosen
// indicator, participant and account.
//
// One date, the month's first day, is both looked for and written. A month that already
// holds entries of the company and chosen branches (any reason) is refused before anything
// is computed. A balance with a quantity or unit value not above 0 is not written (the entry
// register would refuse it) and is reported by branch and product. Every row of a run is
// written in one transaction; a failure undoes them all, is reported in the message tree
// and raised, so the run ends as a failure. After a commit the tree shows the counts.
//
// The fiscal module's balance process is created at the first run and kept for later runs
// of the same module; it is freed with this module.
#include "FieldMapper.h"
#include "PowerParam.h"
#include "ProcessoInvComum.h"

#include <QDate>
#include <QPointer>
#include <memory>
#include <vector>

// Messages of the process.
inline constexpr char OrvoSGerarLctoJaExistem[] = "Já existem Lançamentos de Inventário para o filtro "
                                                  "Competência/Filial selecionado! A geração será cancelada.";
inline constexpr char OrvoSGerarCompetenciaInvalida[] = "Informe a competência (mês e ano) no formato mm/aaaa.";
inline constexpr char OrvoSGerarParticipanteObrigatorio[] =
    "Informe o código do participante: o indicador de propriedade escolhido exige um participante.";
inline constexpr char OrvoSGerarMotivoInvalido[] =
    "O motivo do inventário \"%1\" não é um dos motivos da lista (1 a 6).";
inline constexpr char OrvoSGerarContaInvalida[] = "A conta contábil \"%1\" não é um número inteiro.";
inline constexpr char OrvoSGerarSemEstabAtivo[] =
    "Nenhum dos estabelecimentos escolhidos está ativo na competência. Nada foi gerado.";
inline constexpr char OrvoSGerarModuloFiscalAusente[] =
    "Os saldos de estoque não puderam ser obtidos do módulo fiscal (Telso): %1";
inline constexpr char OrvoSGerarSaldoIgnorado[] =
    "Estabelecimento %1, produto %2: saldo com quantidade ou valor unitário menor ou igual a zero não foi gerado.";
inline constexpr char OrvoSGerarFalhaGravacao[] = "Nenhum lançamento foi gerado: ";
inline constexpr char OrvoSGerarSemSaldos[] =
    "O módulo fiscal não tem saldos de estoque para a competência e os estabelecimentos escolhidos: "
    "nenhum lançamento foi gerado.";
inline constexpr char OrvoSGerarResumoLctoInv[] = "LctoInv - Registros Gravados: ";
inline constexpr char OrvoSGerarResumoPropriedade[] = "LctoInvPropriedade - Registros Gravados: ";

// The fields of a row of the fiscal module's balances ("curSaldoInicial").
struct TMapSaldoIni {
    TnField *CodigoProduto = nullptr, *QuantidadeFinal = nullptr, *ValorUnitFinal = nullptr,
            *ValorTotalFinal = nullptr;
    ORVO_MAPA(CodigoProduto, QuantidadeFinal, ValorUnitFinal, ValorTotalFinal)
};

// One closing balance of a branch.
struct TDadoSaldo {
    int CodigoEstab = 0;
    qint64 CodigoProduto = 0;
    double QuantidadeFinal = 0;
    double ValorUnitFinal = 0;
    double ValorTotalFinal = 0; // carried, not written
    // The balance of the current row of the map's dataset, at branch `estab`.
    static TDadoSaldo Create(int estab, const TMapSaldoIni &mapa);
};

class TOrvoDPGerarLctoInventario : public TnDMPowerParam {
    Q_OBJECT
public:
    TOrvoDPGerarLctoInventario();
    ~TOrvoDPGerarLctoInventario() override;

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void npqPowerParamParamChange(TnpqParamItem &param) override;
    void ValidarDado() override;
    void Executar() override;

private:
    void AplicarRegraParticipante();
    bool ExistemLancamentos() const;
    void GerarSaldoFinal();
    void CarregarSaldoEstab(int estab);
    TnDMPowerParam &ModuloSaldo();
    void GravarDados();
    void MostrarResumo();

    QDate FCompetencia; // the month's first day
    int FCodigoEmpresa = 0;
    int FIndPropriedade = 0;
    qint64 FCodigoPessoaPart = 0;
    qint64 FContaCtb = 0;
    int FMotivoInventario = 0;
    QString FCodigoEstab; // the branches as typed
    std::unique_ptr<TnProgresso> FProgresso;
    QPointer<TnDMPowerParam> FDMSaldo;
    std::vector<TDadoSaldo> FLstSaldo;
    qint64 FGravados = 0;
};
