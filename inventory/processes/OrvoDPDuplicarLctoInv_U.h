#pragma once
// Duplication of inventory entries: the entries of one source branch and inventory date of
// the active company, with their property and tax-situation lines, are copied to one or more
// destination branches at a destination date, quantities and unit costs multiplied by two
// factors on the way.
//
// Factors: empty is 1; "1,5" and "1.5" are both one and a half, whatever the system's
// locale; they must be greater than 0 and at most 2. A whole source quantity stays whole
// (rounded half away from zero), any other is rounded to the company's quantity decimals;
// unit costs to its cost decimals. Taxes, tax bases and IR values are copied as they are.
// An entry whose adjusted quantity and cost are both 0 is not written, nor are its lines.
// An account or participant 0 is written as null.
//
// When the destination already holds entries (of the chosen product groups, when some are
// chosen) the user chooses:
//   0 "Excluir e incluir novamente": they are deleted and everything is copied;
//   1 "Manter existentes e incluir novos": at each destination branch only the entries
//     whose product and reason that branch lacks are copied;
//   2 "Alterar existentes e incluir novos": everything is copied, each existing entry with
//     the key being written is replaced (deleted with its lines first);
//   3 "Cancelar": nothing changes.
// Deletions and copies are one transaction: a run that fails, or finds no source entry,
// leaves the destination as it was. Only branches registered for the company (ESTAB) are
// written. The report counts the source entries times the destination branches, those not
// written for being zero included and those kept back by mode 1 left out.
//
// The three sources (entries, property lines, tax-situation lines) are read once each in
// key order and walked together, so a run costs one pass over them per destination branch.
#include "FieldMapper.h"
#include "PowerParam.h"
#include "ProcessoInvComum.h"

#include <QDate>
#include <QStringList>
#include <memory>
#include <vector>

class TnComando;

// Messages of the process.
inline constexpr char OrvoSDuplicaDataOrigenDestinoInvalida[] =
    "Informe datas válidas (dd/mm/aaaa) para o período de origem e o período de destino.";
inline constexpr char OrvoSValorReajusteQtdeInvalido[] = "O reajuste da quantidade deve ser maior que 0 e no máximo 2.";
inline constexpr char OrvoSReajusteValorUnitarioInvalido[] =
    "O reajuste do custo unitário deve ser maior que 0 e no máximo 2.";
inline constexpr char OrvoSReajusteNaoNumerico[] = "O reajuste \"%1\" não é um número.";
inline constexpr char OrvoSDuplicaSemLancamentos[] = "Não há lançamentos na filial e no período de origem para duplicar.";
inline constexpr char OrvoSDuplicaGrupoSemAnaliticos[] =
    "Os grupos de produto informados não têm grupos analíticos: nada foi duplicado nem excluído.";
inline constexpr char OrvoSDuplicaFilialDestinoInexistente[] =
    "Nenhuma das filiais destino informadas está cadastrada na empresa.";
inline constexpr char OrvoSDuplicaOrigemEntreDestinos[] = "A Filial de Origem não pode estar entre as Filiais Destino!";
inline constexpr char OrvoSDuplicaPergunta[] = "Foram encontrados %1 lançamentos no período destino. Deseja?";
inline constexpr char OrvoSOperacaoCancelada[] = "Operação cancelada!";
inline constexpr char OrvoSErroReprocessar[] = "Nenhum lançamento foi duplicado. Corrija o problema e execute novamente. ";
inline constexpr char OrvoSDuplicaLctoInvComSucesso[] = "Lançamentos do inventário duplicados com sucesso: %1.";

// The fields of a source entry, property line and tax-situation line.
struct TMapDadosLctoInv {
    TnField *CODIGOEMPRESA = nullptr, *CODIGOESTAB = nullptr, *DATAINVENT = nullptr, *CODIGOPRODUTO = nullptr,
            *MOTIVOINVENTARIO = nullptr, *QTDEESTOQUE = nullptr, *PRECOUNIT = nullptr, *VALORICMS = nullptr,
            *VALORPIS = nullptr, *VALORCOFINS = nullptr, *OBSLCTOINV = nullptr, *VALORIR = nullptr;
    ORVO_MAPA(CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT,
              VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, VALORIR)
};
struct TMapDadosLctoInvProp {
    TnField *CODIGOEMPRESA = nullptr, *CODIGOESTAB = nullptr, *DATAINVENT = nullptr, *CODIGOPRODUTO = nullptr,
            *MOTIVOINVENTARIO = nullptr, *SEQ = nullptr, *INDICADORPROPRIEDADE = nullptr,
            *CODIGOPESSOAPART = nullptr, *CONTACTB = nullptr, *QUANTIDADE = nullptr, *PRECOUNIT = nullptr,
            *VALORIR = nullptr;
    ORVO_MAPA(CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE,
              CODIGOPESSOAPART, CONTACTB, QUANTIDADE, PRECOUNIT, VALORIR)
};
struct TMapDadosLctoInvCST {
    TnField *CODIGOEMPRESA = nullptr, *DATAINVENT = nullptr, *CODIGOPRODUTO = nullptr, *MOTIVOINVENTARIO = nullptr,
            *SEQ = nullptr, *CST = nullptr, *BASECALCULO = nullptr, *VALORIMPOSTO = nullptr;
    ORVO_MAPA(CODIGOEMPRESA, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO)
};

// The parameters of the three inserts.
struct TMapParamInsLctoInv {
    TnParam pCODIGOEMPRESA, pCODIGOESTAB, pCODIGOPRODUTO, pMOTIVOINVENTARIO, pDATAINVENT, pQTDEESTOQUE, pPRECOUNIT,
        pVALORICMS, pVALORPIS, pVALORCOFINS, pOBSLCTOINV, pDATAHORALCTOINV, pCODIGOUSUARIO, pORIGEMDADO, pVALORIR;
    ORVO_MAPA(pCODIGOEMPRESA, pCODIGOESTAB, pCODIGOPRODUTO, pMOTIVOINVENTARIO, pDATAINVENT, pQTDEESTOQUE, pPRECOUNIT,
              pVALORICMS, pVALORPIS, pVALORCOFINS, pOBSLCTOINV, pDATAHORALCTOINV, pCODIGOUSUARIO, pORIGEMDADO,
              pVALORIR)
};
struct TMapParamInsLctoInvProp {
    TnParam pCODIGOEMPRESA, pCODIGOESTAB, pDATAINVENT, pCODIGOPRODUTO, pMOTIVOINVENTARIO, pSEQ,
        pINDICADORPROPRIEDADE, pCODIGOPESSOAPART, pCONTACTB, pQUANTIDADE, pPRECOUNIT, pVALORIR;
    ORVO_MAPA(pCODIGOEMPRESA, pCODIGOESTAB, pDATAINVENT, pCODIGOPRODUTO, pMOTIVOINVENTARIO, pSEQ,
              pINDICADORPROPRIEDADE, pCODIGOPESSOAPART, pCONTACTB, pQUANTIDADE, pPRECOUNIT, pVALORIR)
};
struct TMapParamInsLctoInvCST {
    TnParam pCODIGOEMPRESA, pCODIGOESTAB, pDATAINVENT, pCODIGOPRODUTO, pMOTIVOINVENTARIO, pSEQ, pCST, pBASECALCULO,
        pVALORIMPOSTO;
    ORVO_MAPA(pCODIGOEMPRESA, pCODIGOESTAB, pDATAINVENT, pCODIGOPRODUTO, pMOTIVOINVENTARIO, pSEQ, pCST,
              pBASECALCULO, pVALORIMPOSTO)
};

class TOrvoDPDuplicarLctoInv : public TnDMPowerParam {
    Q_OBJECT
public:
    TOrvoDPDuplicarLctoInv();
    ~TOrvoDPDuplicarLctoInv() override;

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void DepoisConfigurar(TnFormModulo *form) override;
    void ValidarDado() override;
    void Executar() override;

    // The adjusted quantity and unit cost of a source value (factors and decimals of the
    // last validation and run).
    double ReajustarQuantidade(double q) const;
    double ReajustarValorUnitario(double c) const;

private:
    // A key of an entry at one branch: product and reason.
    struct TChaveDestino {
        int Estab;
        qint64 Produto;
        int Motivo;
    };

    double LerReajuste(const QString &alias);
    void AbrirFiliaisDestino();
    void VerificarLancamentosDestino();
    QString FiltroGrupos() const;
    QString MontarFiltroOrigem() const;
    void AbrirOrigens(const QString &filtro);
    bool ExisteOrigem(const QString &filtro) const;
    void AbrirLctoInvOrigem(const QString &filtro);
    void AbrirLctoInvPropriedadeOrigem(const QString &filtro);
    void AbrirLctoInvCSTOrigem(const QString &filtro);
    void LerChavesDestino();
    void CarregarCasasDecimais(int empresa);
    void PrepararInsercoes();
    void ExcluirLancamentoDestino(int estab);
    void InserirLctoInv(int estab);
    void InserirLctoInvPropriedade();
    void InserirLctoInvCST();
    bool ExisteNoDestino(int estab, size_t &pos) const;
    void Copiar();
    void CopiarNoServidor();
    void Liberar();

    // ---- state of the run
    std::unique_ptr<TnComando> SQLQueryDuplicar, nSQLQueryProp, nSQLQueryCST, FExcluirDestino;
    TMapDadosLctoInv *FLctoInventario = nullptr;
    TMapDadosLctoInvProp *FPropriedade = nullptr;
    TMapDadosLctoInvCST *FCst = nullptr;
    std::unique_ptr<TMapParamInsLctoInv> FInsLctoInv;
    std::unique_ptr<TMapParamInsLctoInvProp> FInsLctoInvProp;
    std::unique_ptr<TMapParamInsLctoInvCST> FInsLctoInvCST;
    std::unique_ptr<TnClientDataSet> cdsLancamento, cdsInvProp, cdsInvCst;
    std::vector<int> FFiliais;                 // destination branches of ESTAB, ascending
    std::vector<TChaveDestino> FChavesDestino; // mode 1: the keys the destination holds
    std::unique_ptr<TnProgresso> FProgresso;

    // ---- parameters read by ValidarDado
    double FpReagusteQuantidade = 1;
    double FpReagusteValorUnitario = 1;
    int FCodigoEmpresa = 0;
    int FCodigoEstab = 0;
    int FFormaGeracao = 0;
    QDate FCompetOrigem, FCompetDestino;
    int FCasasDecimaisQuantidade = 3;
    int FCasasDecimaisCusto = 3;
    QString FFiliaisDestino;  // the destination branches as typed (trimmed)
    QString FCondicaoDestino; // the destination entries the run meets (LCTOINV)
    QStringList FGrupos;      // the analytic groups chosen; empty: every product
    bool FFiltraGrupos = false;
    qint64 FContador = 0;
};
