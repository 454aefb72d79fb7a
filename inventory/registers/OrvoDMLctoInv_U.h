#pragma once
// The inventory entry register (LCTOINV): one company, branch, inventory date, product and
// reason per row, with its quantity, unit cost and the tax values the company details.
//
// The company's settings (CFGEMPRESAULMAR and CFGEMPRESAINV) decide the decimals of the
// quantity and the unit cost and which tax values are typed. They are cached per company
// (CfgLctoInv, shared by the entry modules): taken again when the row's company (or,
// without one, the active company) changes and whenever the framework reconfigures the
// module for "CodigoEmpresa". Each save reads them again, with the user's last permitted
// date and the product, in one statement: a change another user made holds at once.
//
// The product panel's values come with the rows (PRODUTO joined, the PAINEL... fields, never
// written): a move shows them without a read.
//
// The reason "6" (goods under tax substitution) is offered only when the inventory date the
// module was opened for is after 31/12/2019.
//
// The ICMS rate is an extra value beside the row: it is computed from the row's fields
// (VALORICMS over quantity times unit cost), and applying a rate sets VALORICMS from those
// same fields. No rate given changes nothing.
//
// The product panel: a parameter list under the product code with the product's main data
// (reference, group, description, classification, unit). A typed product text is looked up
// by reference when the company identifies products by reference. Leaving the product code
// on a new entry proposes the next free code (no code typed) or, for a code no product has,
// asks whether to take the next free code instead; the panel opens for a product still to
// be created and proposes the previous entry's values of the columns the user chose to
// copy in the product register. When the entry is saved and its product does not exist,
// the product is created from the panel in the same transaction as the entry: either both
// are written or neither.
#include "DMClientDataSet.h"
#include "LctoInvPropriedadeComum.h"

#include <QDateTime>
#include <QPointer>
#include <QVariant>
#include <memory>

class TnpqPowerParam;
class TnTransacao;
class TnpqParamItem;
class TnUtilProduto;

inline constexpr char OrvoSDataLctoForaPersonalizacao[] =
    "A data do lançamento é posterior à data final permitida (%1).";
inline constexpr char OrvoSQuantidadeNaoNegativaOuZerada[] = "Quantidade não pode ser negativa ou igual a zero!";
inline constexpr char OrvoSPrecoUnitNaoNegativoOuZerado[] = "Preço unitário não pode ser negativa ou igual a zero!";
inline constexpr char OrvoSValorICMSNaoNegativo[] = "Valor de ICMS não pode ser negativo!";
inline constexpr char OrvoSValorPISNaoNegativo[] = "Valor de PIS não pode ser negativo!";
inline constexpr char OrvoSValorCOFINSNaoNegativo[] = "Valor de COFINS não pode ser negativo!";
inline constexpr char OrvoSReferenciaNaoEncontrada[] = "Não foi possível encontrar a referência do produto!";
inline constexpr char OrvoSProdutoNaoCadastrado[] = "Produto não cadastrado. Deseja incluir um novo registro?";
inline constexpr char OrvoSApelidoGrupoInvalido[] = "Não existe grupo de produto com este apelido!";
inline constexpr char OrvoSGrupoNaoCadastrado[] = "O grupo de produto %1 não está cadastrado.";
inline constexpr char OrvoSDicaCfgCadastro[] =
    "Dica: Para configurar o preenchimento dos campos do produto vá no cadastro dele, e reabra os dois.";

class TOrvoDMLctoInv : public TnDMClientDataSet {
    Q_OBJECT
public:
    TOrvoDMLctoInv();
    ~TOrvoDMLctoInv() override;

    static QString PegarVerificaSelecao();
    static int PegarTipoObjeto();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void AntesConfigurar(TnFormModulo *form) override;
    void DepoisConfigurar(TnFormModulo *form) override;
    void ConfigurarTabela(TnClientDataSet *objeto) override;
    void ConfigurarCampo(TnClientDataSet *objeto) override;
    void ConfigurarAutoValor(TnClientDataSet *objeto) override;
    void ConfigurarAutoRequerido(TnClientDataSet *objeto) override;
    void ConfigurarAutoFormato(TnClientDataSet *objeto) override;
    QString ChavePrimaria() const override;
    void ValidarDado() override;
    void ReconfigurarDM(const QString &parametro, bool recarregar) override;

    // The product parameter list (a TnpqPowerParam): pCodigoEmpresa (hidden), pReferenProduto,
    // pCodigoGrupoProduto, pDescrProduto, pCodigoNCM, pUnidadeMedida. An alias without its
    // first letter names the PRODUTO column it fills. " " (one blank) marks an empty value.
    Q_INVOKABLE void *npqPowerParam();
    TnpqPowerParam &ParamsProduto() { return *FParamsProduto; }

    // Text conversion of CODIGOPRODUTO: with identification by reference a non-empty text is
    // looked up (reference first, then code); none found raises Exception and the field keeps
    // its value. Otherwise the text is taken as typed.
    void nClientDataSetCODIGOPRODUTOSetText(TnField &campo, const QString &texto);
    // Fills the parameters from the entry's product; clears them (" ") without a product; an
    // unknown product leaves them as they are.
    void MostrarValoresProdutoInv();
    void LimparParamsProduto();
    // Switches the panel's parameters on or off (reference and classification only when the
    // company uses them).
    void HabilitaDesabilitaProdutos(bool habilitar);
    // Leaving the product code: proposes a code on a new entry (nClientDataSetCODIGOPRODUTODefIntExit)
    // and opens the panel for a product still to be created (PreencherParamsProduto).
    void nClientDataSetCODIGOPRODUTODefIntExit();
    void PreencherParamsProduto();
    // Leaving the group parameter: an alias (a text that is no integer) becomes its group's
    // code; an unknown alias is refused.
    Q_INVOKABLE void ValidarApelidoGrupoProduto();
    // The user's choice, in the product register, of the columns a new product copies from
    // the previous one ("DESCRPRODUTO;UNIDADEMEDIDA;").
    const QString &CopiarValorProduto() const { return FCopiarValorProduto; }
    Q_INVOKABLE void SetCopiarValorProduto(const QString &v) { FCopiarValorProduto = v; }

    // Rebuilds the value list of MOTIVOINVENTARIO (reason 6 only after 31/12/2019).
    void ConfigurarMotivoInventario();
    QDateTime DataInvent() const { return FDataInvent; }

    // "Automático", "Digitado", "Importado" for ORIGEMDADO 1, 2, 3; empty otherwise.
    static QString TextoOrigem(const QVariant &origem);

    // Quantity times unit cost, rounded to cents; 0 when either is empty.
    double ValorTotal() const;
    // VALORICMS over the total, in percent rounded to 2 decimals; null when the total is 0.
    Q_INVOKABLE QVariant AliquotaICMS() const;
    // VALORICMS := total times `aliquota` / 100, rounded to cents; a row in browse goes into
    // edit only when the value changes. A null rate (nothing typed) changes nothing.
    Q_INVOKABLE void AtualizarValorICMS(const QVariant &aliquota);

    // Settings of the current company (read through the cache).
    bool UsaReferencia();
    bool UsaClassifFiscal();
    bool InformaICMS();
    bool InformaPISCOFINS();
    int QtdeCasaDecimal();
    int QtdeCasaDecimalQtd();
    QVariant MascClassifFiscal();

    // The extra controls of the desktop page: the ICMS rate and the total cost.
    TnControleExtra *ControleValorAliq() const { return FValorAliq.data(); }
    TnControleExtra *ControleValorTotal() const { return FValorTotal.data(); }
    // Leaving the quantity or the unit cost: the total cost control follows.
    void AtualizarValorTotal();
    // The register's configuration action: a hint on where the product panel is set up.
    void actCfgCadastroExecute();

    TnDMClientDataSet *DMPropriedade() const { return FDMPropriedade.data(); }
    // Adds the property lines as a detail (done after the form is built; callable without one).
    void CriarDetalhePropriedade();

protected:
    void nClientDataSetCampoExit(TnField &campo) override;
    void nClientDataSetBeforeInsert(TnClientDataSet &ds) override;
    void nClientDataSetAfterPost(TnClientDataSet &ds) override;
    void nClientDataSetBeforeCancel(TnClientDataSet &ds) override;
    void nClientDataSetAfterCancel(TnClientDataSet &ds) override;
    void nClientDataSetAfterScroll(TnClientDataSet &ds) override;
    void Notification(TnFormModulo *form) override;

private:
    TnUtilProduto &CriarDMProdutoInv();
    void CriarProdutoFaltante();
    bool ProdutoExiste();
    // The panel's controls show the parameters again / the typed values go into them.
    void MostrarParamsProduto();
    void SalvarParamsProduto();
    void CopiarParaOutrasConsultas();
    void DesfazerProdutoPendente();
    void CarregarCfgEmpresa();
    // Before a save: the settings, the user's limit and the product read again, together.
    void LerAoGravar();
    // The row's panel columns (PAINEL...): the product `codigo` (null: none) and its values.
    void GuardarProdutoNaLinha(const QVariant &codigo, const QVariantList &valores);
    // The row's panel columns hold its product.
    bool ProdutoNaLinha() const;
    void CriarControlesExtras();
    void CriarPainelProduto(TnFormModulo *form);
    void MostrarAliquota();
    void SairDaAliquota();
    void ConfigurarCamposImpostos();

    QPointer<TnDMClientDataSet> FDMPropriedade;
    QPointer<TnControleExtra> FValorAliq;
    QPointer<TnControleExtra> FValorTotal;
    // Handlers found before this register replaced them.
    std::function<void()> FOnValorAliquotaExit;
    std::function<void()> FOnactCfgCadastroExecute;
    bool FCfgCadastroTrocado = false;
    std::function<void(TnpqParamItem &)> FCodigoGrupoInvnDBEditExit;
    QDateTime FDataInvent;
    TnCfgLctoInv FCfg; // the company's settings, as of the last read
    TnCacheCfgEmpresa FCfgEmpresa;
    // What the read of the save under way found: the user's limit (invalid: not read), the
    // product found (-1: none) or known missing (-1: not known).
    QDate FLimiteLido;
    qint64 FProdutoLido = -1;
    qint64 FProdutoAusente = -1;
    std::unique_ptr<TnpqPowerParam> FParamsProduto;
    // The product accessor of this register (CriarDMProdutoInv): keyed reads and writes of
    // PRODUTO, created once and freed with the register.
    std::unique_ptr<TnUtilProduto> FProduto;
    QString FCopiarValorProduto;
    // The panel's values when the previous entry started: a new product proposes them.
    QString FOldConta, FOldDescricao, FOldUnidadeMedida, FOldCodigoNCM;
    // Open from the product's creation until the entry is written; rolled back when the
    // entry is not.
    std::unique_ptr<TnTransacao> FTransacaoProduto;
};
