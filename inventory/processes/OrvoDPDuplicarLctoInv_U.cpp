#include "OrvoDPDuplicarLctoInv_U.h"

#include "Acoes.h"
#include "ExecutarSQL.h"
#include "LctoInvPropriedadeComum.h"
#include "OrvoDMLctoInv_U.h"
#include "Personalizacao.h"
#include "SQLDataSet.h"
#include "SuiteProduto.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QScopeGuard>
#include <tuple>

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = "Duplicar Lançamentos do Inventário",
    // The source and destination periods are months, typed "mm/aaaa" (or a date of the
    // month): entries are dated on the month's first day.
    .Parametros =
        {{.Alias = "pCodigoEmpresa", .Tipo = ntpInteiro, .ChaveDicionario = "CodigoEmpresa", .Visivel = false},
         {.Alias = "pCodigoEstab", .Caption = "Filial Origem", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab",
          .ChaveDicionario = "CodigoEstab", .Requerido = true},
         {.Alias = "pCompetenciaOrigem", .Caption = "Período de Origem", .Tipo = ntpData,
          .ChaveDicionario = "DICDATAMESANO", .Requerido = true},
         {.Alias = "pCodigoGrupoProduto", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCGrupoProduto",
          .ChaveDicionario = "CodigoGrupoProduto", .MultiSelecao = true},
         {.Alias = "pCodigoEstabDest", .Caption = "Filial Destino", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab",
          .ChaveDicionario = "CodigoEstab", .Requerido = true, .MultiSelecao = true,
          .Hint = "Informe para quais filiais deseja copiar os lançamentos"},
         {.Alias = "pCompetenciaDestino", .Caption = "Período de Destino", .Tipo = ntpData,
          .ChaveDicionario = "DICDATAMESANO", .Requerido = true},
         {.Alias = "pReagusteQuantidade", .Caption = "Reajuste para a Quantidade", .Tipo = ntpNumero,
          .ChaveDicionario = "DICNUMERICO"},
         {.Alias = "pReagusteValorUnitario", .Caption = "Reajuste para o Custo Unitário", .Tipo = ntpNumero,
          .ChaveDicionario = "DICNUMERICO"}},
    .ArvoreMensagens = true,
};

const QString kOrigem = QStringLiteral("pCompetenciaOrigem");
const QString kDestinos = QStringLiteral("pCodigoEstabDest");
const QString kGrupos = QStringLiteral("pCodigoGrupoProduto");
const QString kReajusteCusto = QStringLiteral("pReagusteValorUnitario");

// The answers of the question about the entries the destination holds, in this order.
const QStringList kFormasGeracao = {QStringLiteral("Excluir e incluir novamente"),
                                    QStringLiteral("Manter existentes e incluir novos"),
                                    QStringLiteral("Alterar existentes e incluir novos"), QStringLiteral("Cancelar")};
enum { fgExcluir = 0, fgManter = 1, fgAlterar = 2, fgCancelar = 3 };

const char kSQLInsLctoInv[] =
    "insert into LCTOINV(CODIGOEMPRESA, CODIGOESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO, DATAINVENT, QTDEESTOQUE, "
    "PRECOUNIT, VALORIR, VALORICMS, OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO, VALORPIS, VALORCOFINS) "
    "values(:pCODIGOEMPRESA, :pCODIGOESTAB, :pCODIGOPRODUTO, :pMOTIVOINVENTARIO, :pDATAINVENT, :pQTDEESTOQUE, "
    ":pPRECOUNIT, :pVALORIR, :pVALORICMS, :pOBSLCTOINV, :pDATAHORALCTOINV, :pCODIGOUSUARIO, :pORIGEMDADO, "
    ":pVALORPIS, :pVALORCOFINS)";
const char kSQLInsProp[] =
    "insert into LCTOINVPROPRIEDADE(CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, "
    "INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, QUANTIDADE, PRECOUNIT, VALORIR) "
    "values(:pCODIGOEMPRESA, :pCODIGOESTAB, :pDATAINVENT, :pCODIGOPRODUTO, :pMOTIVOINVENTARIO, :pSEQ, "
    ":pINDICADORPROPRIEDADE, :pCODIGOPESSOAPART, :pCONTACTB, :pQUANTIDADE, :pPRECOUNIT, :pVALORIR)";
const char kSQLInsCST[] =
    "insert into LCTOINVCST(CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST, "
    "BASECALCULO, VALORIMPOSTO) "
    "values(:pCODIGOEMPRESA, :pCODIGOESTAB, :pDATAINVENT, :pCODIGOPRODUTO, :pMOTIVOINVENTARIO, :pSEQ, :pCST, "
    ":pBASECALCULO, :pVALORIMPOSTO)";
// The destination entry a copy replaces (mode 2); its lines go with it.
const char kSQLExcluirDestino[] = "delete from LCTOINV where CODIGOEMPRESA = ? and CODIGOESTAB = ? and DATAINVENT = ? "
                                  "and CODIGOPRODUTO = ? and MOTIVOINVENTARIO = ?";

// The three sources share the condition; the key order lets them be walked together.
const char kSQLLctoOrigem[] =
    "select L.CODIGOEMPRESA, L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, L.DATAINVENT, L.QTDEESTOQUE, "
    "L.PRECOUNIT, L.VALORIR, L.VALORICMS, L.VALORPIS, L.VALORCOFINS, L.OBSLCTOINV from LCTOINV L%1 where %2 "
    "order by L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO";
const char kSQLPropOrigem[] =
    "select L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, L.SEQ, "
    "L.INDICADORPROPRIEDADE, L.CODIGOPESSOAPART, L.CONTACTB, L.QUANTIDADE, L.PRECOUNIT, L.VALORIR "
    "from LCTOINVPROPRIEDADE L%1 where %2 "
    "order by L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, L.SEQ";
const char kSQLCSTOrigem[] =
    "select L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, L.SEQ, L.CST, "
    "L.BASECALCULO, L.VALORIMPOSTO from LCTOINVCST L%1 where %2 "
    "order by L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, L.SEQ, L.CST";
const char kJoinProduto[] = " join PRODUTO P on L.CODIGOEMPRESA = P.CODIGOEMPRESA and L.CODIGOPRODUTO = P.CODIGOPRODUTO";

// Walks a source dataset in key order from its current row: passes the rows whose key
// (`chave()`, a tuple of key columns of the current row) comes before `alvo`, runs `f` on
// those whose key is `alvo`, and stops on the first row after them.
template <class K, class C, class F> void PercorrerChave(TnClientDataSet &ds, const K &alvo, C &&chave, F &&f)
{
    for (; !ds.Eof(); ds.Next()) {
        const K k = chave();
        if (k < alvo)
            continue;
        if (alvo < k)
            break;
        f();
    }
}

// A money or IR value of a source row: null is written as 0.
double ValorOuZero(const TnField *f) { return f->IsNull() ? 0.0 : f->AsFloat(); }

// An account or participant of a source line: null or 0 is written as null.
void CodigoOuNulo(TnParam &p, const TnField *f)
{
    const qint64 v = f->IsNull() ? 0 : f->AsLargeInt();
    if (v == 0)
        p.Clear();
    else
        p.SetAsInteger(v);
}

} // namespace

TOrvoDPDuplicarLctoInv::TOrvoDPDuplicarLctoInv() : TnDMPowerParam(kDeclaracao) {}

TOrvoDPDuplicarLctoInv::~TOrvoDPDuplicarLctoInv() = default;

QString TOrvoDPDuplicarLctoInv::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPDuplicarLctoInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                              const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "20 Movimentos", .Caption = "Duplicar Lançamentos do Inventário", .Indice = 20}}, classe,
              lista, evento, modulos);
}

// The unit-cost factor is shown with the company's cost decimals.
void TOrvoDPDuplicarLctoInv::DepoisConfigurar(TnFormModulo *form)
{
    TnDMPowerParam::DepoisConfigurar(form);
    Param(kReajusteCusto).SetFormatoExibicao(FormatoCasasDeCusto());
    AtualizarControle(kReajusteCusto);
}

// ---- validation -----------------------------------------------------------------------

double TOrvoDPDuplicarLctoInv::LerReajuste(const QString &alias)
{
    TnpqParamItem &p = Param(alias);
    const QString texto = p.IsNull() ? QString() : p.AsString().trimmed();
    double fator = 1.0;
    if (!texto.isEmpty() && !TextoParaNumero(texto, fator))
        throw EnParam(alias, QString::fromUtf8(OrvoSReajusteNaoNumerico).arg(TrechoCitado(texto)));
    p.SetText(FormatFloat(QStringLiteral("0.000000"), fator));
    AtualizarControle(alias);
    return fator;
}

void TOrvoDPDuplicarLctoInv::ValidarDado()
{
    TnDMPowerParam::ValidarDado();
    FFormaGeracao = fgExcluir;

    FCodigoEmpresa = EmpresaAtiva();
    if (FCodigoEmpresa == 0)
        throw EnParam(kOrigem, QString::fromUtf8(OrvoSEmpresaFilialNaoSelecionado));

    FCompetOrigem = Param(kOrigem).AsDataInicial();
    FCompetDestino = Param(QStringLiteral("pCompetenciaDestino")).AsDataInicial();
    if (!FCompetOrigem.isValid() || !FCompetDestino.isValid())
        throw EnParam(kOrigem, QString::fromUtf8(OrvoSDuplicaDataOrigenDestinoInvalida));

    FCodigoEstab = int(Param(QStringLiteral("pCodigoEstab")).AsInteger());

    FFiliaisDestino = Param(kDestinos).AsString().trimmed();
    NoParametro(kDestinos, [&] { return FilterInterval(QStringLiteral("CODIGOESTAB"), FFiliaisDestino); });
    // With two different dates the source branch may be a destination too.
    if (FCompetOrigem == FCompetDestino && CheckInInclusion(FCodigoEstab, FFiliaisDestino))
        throw EnParam(kDestinos, QString::fromUtf8(OrvoSDuplicaOrigemEntreDestinos));

    const QDate permitida = nDMPersonalizacao::GetPermiDataFinal();
    if (permitida < FCompetDestino)
        throw EnParam(kOrigem, QString::fromUtf8(OrvoSDataLctoForaPersonalizacao)
                                   .arg(permitida.toString(QStringLiteral("dd/MM/yyyy"))));

    FpReagusteValorUnitario = LerReajuste(kReajusteCusto);
    FpReagusteQuantidade = LerReajuste(QStringLiteral("pReagusteQuantidade"));
    if (!(FpReagusteQuantidade > 0) || FpReagusteQuantidade > 2)
        throw EnParam(QStringLiteral("pReagusteQuantidade"), QString::fromUtf8(OrvoSValorReajusteQtdeInvalido));
    if (!(FpReagusteValorUnitario > 0) || FpReagusteValorUnitario > 2)
        throw EnParam(kReajusteCusto, QString::fromUtf8(OrvoSReajusteValorUnitarioInvalido));

    // Chosen groups that hold no analytic group select no product: nothing is copied or
    // deleted, rather than every product.
    const QString grupos = Param(kGrupos).AsString().trimmed();
    FFiltraGrupos = !grupos.isEmpty();
    FGrupos = FFiltraGrupos ? NoParametro(kGrupos, [&] { return PegarGruposAnaliticos(FCodigoEmpresa, grupos); })
                            : QStringList();
    if (FFiltraGrupos && FGrupos.isEmpty())
        throw EnParam(kGrupos, QString::fromUtf8(OrvoSDuplicaGrupoSemAnaliticos));
}

// ---- adjustments ----------------------------------------------------------------------

// Both factors apply as exact decimal products: 0.15 x 1.5 = 0.225 is 0.23 at 2 decimals.
double TOrvoDPDuplicarLctoInv::ReajustarQuantidade(double q) const
{
    // A whole quantity (units) stays whole.
    return MultiplicarValor(q, FpReagusteQuantidade, CountDec(q) == 0 ? 0 : FCasasDecimaisQuantidade);
}

double TOrvoDPDuplicarLctoInv::ReajustarValorUnitario(double c) const
{
    return MultiplicarValor(c, FpReagusteValorUnitario, FCasasDecimaisCusto);
}

void TOrvoDPDuplicarLctoInv::CarregarCasasDecimais(int empresa)
{
    const TnCasasDecimaisInv casas =
        LerCasasDecimaisInv(QStringLiteral(" CODIGOEMPRESA = ") + ValorParaSQL(empresa, ftSmallint), 3);
    FCasasDecimaisCusto = casas.Valor;
    FCasasDecimaisQuantidade = casas.Qtde;
}

// ---- sources and destination -----------------------------------------------------------

void TOrvoDPDuplicarLctoInv::AbrirFiliaisDestino()
{
    FFiliais.clear();
    auto cmd = nDMConexao::Atual().Preparar(QStringLiteral("select CODIGOESTAB from ESTAB where CODIGOEMPRESA = ?") +
                                            FilterInterval(QStringLiteral("CODIGOESTAB"), FFiliaisDestino) +
                                            QStringLiteral(" order by CODIGOESTAB"));
    cmd->BindInteiro(0, FCodigoEmpresa);
    for (TnCursor &c = cmd->Abrir(); c.Proximo();)
        FFiliais.push_back(int(c.Inteiro(0)));
    if (FFiliais.empty())
        throw EnParam(kDestinos, QString::fromUtf8(OrvoSDuplicaFilialDestinoInexistente));
}

// The destination entries a run meets: of the company, the destination branches and date,
// and of the chosen groups' products.
void TOrvoDPDuplicarLctoInv::VerificarLancamentosDestino()
{
    QStringList filiais;
    for (int f : FFiliais)
        filiais << QString::number(f);
    QString w = QStringLiteral(" CODIGOEMPRESA = ") + ValorParaSQL(FCodigoEmpresa, ftInteger) +
                FilterInterval(QStringLiteral("CODIGOESTAB"), filiais.join(u';')) +
                QStringLiteral(" and DATAINVENT = ") + ValorParaSQL(FCompetDestino, ftDate);
    if (FFiltraGrupos)
        w += QStringLiteral(" and exists(select 1 from PRODUTO where CODIGOEMPRESA = LCTOINV.CODIGOEMPRESA "
                            "and CODIGOPRODUTO = LCTOINV.CODIGOPRODUTO") +
             FilterInterval(QStringLiteral("CODIGOGRUPOPRODUTO"), FGrupos.join(u';')) + u')';
    FCondicaoDestino = w;
    const qint64 n = nDMSQLDataSet::PegarQtdRegistro(QStringLiteral("LCTOINV"), w);
    if (n == 0)
        return;
    // Enter cancels: each other answer deletes or rewrites entries.
    FFormaGeracao = nMessageDlg(PerguntaComFiltros(QString::fromUtf8(OrvoSDuplicaPergunta).arg(n)), mtConfirmation,
                                kFormasGeracao, fgCancelar, fgCancelar);
    if (FFormaGeracao == fgCancelar)
        throw EnParam(kOrigem, QString::fromUtf8(OrvoSOperacaoCancelada));
}

// The chosen groups' products (PRODUTO joined as P), or nothing when every product goes.
QString TOrvoDPDuplicarLctoInv::FiltroGrupos() const
{
    return FFiltraGrupos ? FilterInterval(QStringLiteral("P.CODIGOGRUPOPRODUTO"), FGrupos.join(u';')) : QString();
}

QString TOrvoDPDuplicarLctoInv::MontarFiltroOrigem() const
{
    return QStringLiteral("L.CODIGOEMPRESA = ? and L.CODIGOESTAB = ? and L.DATAINVENT = ?") + FiltroGrupos();
}

namespace {
std::unique_ptr<TnClientDataSet> AbrirOrigem(const char *sql, bool comProduto, const QString &filtro, int empresa,
                                             int estab, const QDate &data)
{
    auto ds = ExecutarSQL(QString::fromLatin1(sql).arg(comProduto ? QLatin1String(kJoinProduto) : QLatin1String(),
                                                       filtro),
                          {empresa, estab, data});
    ds->SetLogChanges(false);
    return ds;
}
} // namespace

void TOrvoDPDuplicarLctoInv::AbrirLctoInvOrigem(const QString &filtro)
{
    cdsLancamento = AbrirOrigem(kSQLLctoOrigem, FFiltraGrupos, filtro, FCodigoEmpresa, FCodigoEstab, FCompetOrigem);
    FLctoInventario = &cdsLancamento->Mapa<TMapDadosLctoInv>();
    FInsLctoInv = std::make_unique<TMapParamInsLctoInv>();
    TnFieldMapper::MapearParams(*SQLQueryDuplicar, *FInsLctoInv);
}

void TOrvoDPDuplicarLctoInv::AbrirLctoInvPropriedadeOrigem(const QString &filtro)
{
    cdsInvProp = AbrirOrigem(kSQLPropOrigem, FFiltraGrupos, filtro, FCodigoEmpresa, FCodigoEstab, FCompetOrigem);
    FPropriedade = &cdsInvProp->Mapa<TMapDadosLctoInvProp>();
    FInsLctoInvProp = std::make_unique<TMapParamInsLctoInvProp>();
    TnFieldMapper::MapearParams(*nSQLQueryProp, *FInsLctoInvProp);
}

void TOrvoDPDuplicarLctoInv::AbrirLctoInvCSTOrigem(const QString &filtro)
{
    cdsInvCst = AbrirOrigem(kSQLCSTOrigem, FFiltraGrupos, filtro, FCodigoEmpresa, FCodigoEstab, FCompetOrigem);
    FCst = &cdsInvCst->Mapa<TMapDadosLctoInvCST>();
    FInsLctoInvCST = std::make_unique<TMapParamInsLctoInvCST>();
    TnFieldMapper::MapearParams(*nSQLQueryCST, *FInsLctoInvCST);
}

// Whether the source holds any entry (on the server, where it is not read).
bool TOrvoDPDuplicarLctoInv::ExisteOrigem(const QString &filtro) const
{
    auto cmd = nDMConexao::Atual().Preparar(QStringLiteral("select 1 from LCTOINV L%1 where %2 limit 1")
                                                .arg(FFiltraGrupos ? QLatin1String(kJoinProduto) : QLatin1String(),
                                                     filtro));
    cmd->BindInteiro(0, FCodigoEmpresa);
    cmd->BindInteiro(1, FCodigoEstab);
    cmd->BindData(2, FCompetOrigem);
    return cmd->Abrir().Proximo();
}

// The three sources, read into datasets for the copy row by row (the run ends when there
// is no source entry), and in mode 1 the keys the destination holds.
void TOrvoDPDuplicarLctoInv::AbrirOrigens(const QString &filtro)
{
    PrepararInsercoes();
    AbrirLctoInvOrigem(filtro);
    if (cdsLancamento->IsEmpty())
        throw EnParam(kOrigem, QString::fromUtf8(OrvoSDuplicaSemLancamentos));
    AbrirLctoInvPropriedadeOrigem(filtro);
    AbrirLctoInvCSTOrigem(filtro);
    if (FFormaGeracao == fgManter)
        LerChavesDestino();
}

// Mode 1: the products and reasons each destination branch holds at the destination date,
// in the order the source entries are walked.
void TOrvoDPDuplicarLctoInv::LerChavesDestino()
{
    FChavesDestino.clear();
    QStringList filiais;
    for (int f : FFiliais)
        filiais << QString::number(f);
    auto cmd = nDMConexao::Atual().Preparar(
        QStringLiteral("select CODIGOESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO from LCTOINV "
                       "where CODIGOEMPRESA = ? and DATAINVENT = ?") +
        FilterInterval(QStringLiteral("CODIGOESTAB"), filiais.join(u';')) +
        QStringLiteral(" order by CODIGOESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO"));
    cmd->BindInteiro(0, FCodigoEmpresa);
    cmd->BindData(1, FCompetDestino);
    for (TnCursor &c = cmd->Abrir(); c.Proximo();)
        FChavesDestino.push_back({int(c.Inteiro(0)), c.Inteiro(1), int(c.Inteiro(2))});
}

bool TOrvoDPDuplicarLctoInv::ExisteNoDestino(int estab, size_t &pos) const
{
    const qint64 produto = FLctoInventario->CODIGOPRODUTO->AsLargeInt();
    const int motivo = FLctoInventario->MOTIVOINVENTARIO->AsInteger();
    auto antes = [&](const TChaveDestino &k) {
        if (k.Estab != estab)
            return k.Estab < estab;
        return std::tuple(k.Produto, k.Motivo) < std::tuple(produto, motivo);
    };
    while (pos < FChavesDestino.size() && antes(FChavesDestino[pos]))
        ++pos;
    if (pos == FChavesDestino.size())
        return false;
    const TChaveDestino &k = FChavesDestino[pos];
    return k.Estab == estab && k.Produto == produto && k.Motivo == motivo;
}

// ---- copying ----------------------------------------------------------------------------

void TOrvoDPDuplicarLctoInv::PrepararInsercoes()
{
    nDMConexao &con = nDMConexao::Atual();
    SQLQueryDuplicar = con.Preparar(QString::fromLatin1(kSQLInsLctoInv));
    nSQLQueryProp = con.Preparar(QString::fromLatin1(kSQLInsProp));
    nSQLQueryCST = con.Preparar(QString::fromLatin1(kSQLInsCST));
    FExcluirDestino = con.Preparar(QString::fromLatin1(kSQLExcluirDestino));
}

void TOrvoDPDuplicarLctoInv::ExcluirLancamentoDestino(int estab)
{
    if (FFormaGeracao != fgAlterar)
        return;
    FExcluirDestino->BindInteiro(0, FCodigoEmpresa);
    FExcluirDestino->BindInteiro(1, estab);
    FExcluirDestino->BindData(2, FCompetDestino);
    FExcluirDestino->BindInteiro(3, FLctoInventario->CODIGOPRODUTO->AsLargeInt());
    FExcluirDestino->BindInteiro(4, FLctoInventario->MOTIVOINVENTARIO->AsInteger());
    FExcluirDestino->ExecutarEmLote();
}

void TOrvoDPDuplicarLctoInv::InserirLctoInv(int estab)
{
    const TMapDadosLctoInv &o = *FLctoInventario;
    const double qtde = ReajustarQuantidade(o.QTDEESTOQUE->AsFloat());
    const double preco = ReajustarValorUnitario(o.PRECOUNIT->AsFloat());
    if (qtde == 0 && preco == 0)
        return; // neither the entry nor its lines
    ExcluirLancamentoDestino(estab);
    TMapParamInsLctoInv &p = *FInsLctoInv;
    const qint64 produto = o.CODIGOPRODUTO->AsLargeInt();
    const int motivo = o.MOTIVOINVENTARIO->AsInteger();
    p.pCODIGOPRODUTO.SetAsInteger(produto);
    p.pMOTIVOINVENTARIO.SetAsInteger(motivo);
    p.pQTDEESTOQUE.SetAsFloat(qtde);
    p.pPRECOUNIT.SetAsFloat(preco);
    p.pVALORIR.SetAsFloat(ValorOuZero(o.VALORIR));
    p.pVALORICMS.SetAsFloat(ValorOuZero(o.VALORICMS));
    p.pVALORPIS.SetAsFloat(ValorOuZero(o.VALORPIS));
    p.pVALORCOFINS.SetAsFloat(ValorOuZero(o.VALORCOFINS));
    if (o.OBSLCTOINV->IsNull())
        p.pOBSLCTOINV.Clear();
    else
        p.pOBSLCTOINV.SetAsString(o.OBSLCTOINV->AsString());
    SQLQueryDuplicar->ExecutarEmLote();

    FInsLctoInvProp->pCODIGOPRODUTO.SetAsInteger(produto);
    FInsLctoInvProp->pMOTIVOINVENTARIO.SetAsInteger(motivo);
    FInsLctoInvCST->pCODIGOPRODUTO.SetAsInteger(produto);
    FInsLctoInvCST->pMOTIVOINVENTARIO.SetAsInteger(motivo);
    InserirLctoInvPropriedade();
}

// The property lines of the current source entry: the walk of the lines moves past those
// of earlier entries (skipped ones included) and copies those of this entry.
void TOrvoDPDuplicarLctoInv::InserirLctoInvPropriedade()
{
    const TMapDadosLctoInvProp &o = *FPropriedade;
    const auto entrada = std::tuple(FLctoInventario->CODIGOPRODUTO->AsLargeInt(),
                                    FLctoInventario->MOTIVOINVENTARIO->AsInteger());
    const auto chave = [&o] { return std::tuple(o.CODIGOPRODUTO->AsLargeInt(), o.MOTIVOINVENTARIO->AsInteger()); };
    PercorrerChave(*cdsInvProp, entrada, chave, [&] {
        TMapParamInsLctoInvProp &p = *FInsLctoInvProp;
        p.pSEQ.SetAsInteger(o.SEQ->AsInteger());
        p.pINDICADORPROPRIEDADE.SetAsInteger(o.INDICADORPROPRIEDADE->AsInteger());
        CodigoOuNulo(p.pCODIGOPESSOAPART, o.CODIGOPESSOAPART);
        CodigoOuNulo(p.pCONTACTB, o.CONTACTB);
        p.pQUANTIDADE.SetAsFloat(ReajustarQuantidade(o.QUANTIDADE->AsFloat()));
        p.pPRECOUNIT.SetAsFloat(ReajustarValorUnitario(o.PRECOUNIT->AsFloat()));
        if (o.VALORIR->IsNull())
            p.pVALORIR.Clear();
        else
            p.pVALORIR.SetAsFloat(o.VALORIR->AsFloat());
        nSQLQueryProp->ExecutarEmLote();
        InserirLctoInvCST();
    });
}

// The tax-situation lines of the current source property line, copied without factors.
void TOrvoDPDuplicarLctoInv::InserirLctoInvCST()
{
    const TMapDadosLctoInvCST &o = *FCst;
    const TMapDadosLctoInvProp &prop = *FPropriedade;
    const auto linha =
        std::tuple(prop.CODIGOPRODUTO->AsLargeInt(), prop.MOTIVOINVENTARIO->AsInteger(), prop.SEQ->AsInteger());
    const auto chave = [&o] {
        return std::tuple(o.CODIGOPRODUTO->AsLargeInt(), o.MOTIVOINVENTARIO->AsInteger(), o.SEQ->AsInteger());
    };
    PercorrerChave(*cdsInvCst, linha, chave, [&] {
        TMapParamInsLctoInvCST &p = *FInsLctoInvCST;
        p.pSEQ.SetAsInteger(o.SEQ->AsInteger());
        p.pCST.SetAsInteger(o.CST->AsInteger());
        p.pBASECALCULO.SetAsFloat(o.BASECALCULO->AsFloat());
        p.pVALORIMPOSTO.SetAsFloat(o.VALORIMPOSTO->AsFloat());
        nSQLQueryCST->ExecutarEmLote();
    });
}

// Every source entry to every destination branch, in ascending branch order. The values
// that do not change within a branch are bound once for it.
void TOrvoDPDuplicarLctoInv::Copiar()
{
    TnClientDataSet &lctos = *cdsLancamento;
    const QDateTime agora = QDateTime::currentDateTime();
    const int usuario = CodigoUsuarioConectado();
    TMapParamInsLctoInv &l = *FInsLctoInv;
    l.pCODIGOEMPRESA.SetAsInteger(FCodigoEmpresa);
    l.pDATAINVENT.SetAsDate(FCompetDestino);
    l.pDATAHORALCTOINV.SetAsDateTime(agora);
    l.pCODIGOUSUARIO.SetAsInteger(usuario);
    l.pORIGEMDADO.SetAsInteger(1); // automatic
    for (TnParam *p : {&FInsLctoInvProp->pCODIGOEMPRESA, &FInsLctoInvCST->pCODIGOEMPRESA})
        p->SetAsInteger(FCodigoEmpresa);
    for (TnParam *p : {&FInsLctoInvProp->pDATAINVENT, &FInsLctoInvCST->pDATAINVENT})
        p->SetAsDate(FCompetDestino);

    for (const int estab : FFiliais) {
        for (TnParam *p : {&l.pCODIGOESTAB, &FInsLctoInvProp->pCODIGOESTAB, &FInsLctoInvCST->pCODIGOESTAB})
            p->SetAsInteger(estab);
        FProgresso->ConfigurarProgressoTotal(lctos.RecordCount());
        size_t posDestino = 0;
        lctos.First();
        cdsInvProp->First();
        cdsInvCst->First();
        for (; !lctos.Eof(); lctos.Next()) {
            FProgresso->IncProgressoTotal();
            if (FFormaGeracao == fgManter && ExisteNoDestino(estab, posDestino))
                continue; // the branch keeps its own: neither copied nor counted
            ++FContador;
            InserirLctoInv(estab);
        }
    }
}

namespace {

// A readjusted float column as MultiplicarValor gives it: the exact product of the value's
// and the factor's shortest decimal forms (a float8's text is its shortest form while
// extra_float_digits is above 0), rounded half away from zero (numeric's round) to `casas`.
// A product that may reach past what the column holds (1e15, checked with a margin on the
// doubles, cheaply) fails the statement on purpose, by a cast of the row's own text (a
// constant would fail when the statement is planned): the copy row by row then runs and
// refuses the entry by name, as it does on the embedded database.
QString ReajusteNoServidor(const QString &coluna, const QString &fator, const QString &casas)
{
    return QStringLiteral("case when abs(%1) * %2::float8 < 999000000000000 "
                          "then round(%1::text::numeric * %2::numeric, %3)::float8 "
                          "else cast(%1::text || ' fora da coluna' as float8) end")
        .arg(coluna, fator, casas);
}
// A whole quantity stays whole.
QString QtdeNoServidor(const QString &coluna)
{
    return ReajusteNoServidor(coluna, QStringLiteral(":fq"),
                              QStringLiteral("case when %1 = trunc(%1) then 0 else :cq::int end").arg(coluna));
}
QString CustoNoServidor(const QString &coluna)
{
    return ReajusteNoServidor(coluna, QStringLiteral(":fc"), QStringLiteral(":cc::int"));
}

} // namespace

// The copy on the server: the rows follow from the source, so the database makes them
// itself, every destination branch at once, in one statement (mode 2 deletes first, in
// another). The entries to copy (`cand`: each source entry at each destination branch, in
// mode 1 only where the branch lacks its key) are counted; those the factors leave with
// quantity and cost 0 are not written, and the lines go with the entries written.
void TOrvoDPDuplicarLctoInv::CopiarNoServidor()
{
    nDMConexao &con = nDMConexao::Atual();
    QStringList filiais;
    for (int f : FFiliais)
        filiais << QString::number(f);
    const QString de = QStringLiteral("from LCTOINV L") + (FFiltraGrupos ? QLatin1String(kJoinProduto) : QLatin1String());
    const QString onde =
        QStringLiteral(" where L.CODIGOEMPRESA = :emp and L.CODIGOESTAB = :origem and L.DATAINVENT = :dorig") +
        FiltroGrupos();
    const QString qtde = QtdeNoServidor(QStringLiteral("L.QTDEESTOQUE"));
    const QString custo = CustoNoServidor(QStringLiteral("L.PRECOUNIT"));
    const auto vincular = [&](TnComando &cmd) {
        for (const auto &[nome, valor] :
             std::initializer_list<std::pair<const char *, QVariant>>{
                 {"emp", FCodigoEmpresa},
                 {"origem", FCodigoEstab},
                 {"dorig", FCompetOrigem},
                 {"ddest", FCompetDestino},
                 {"filiais", QStringLiteral("{%1}").arg(filiais.join(u','))},
                 {"fq", FpReagusteQuantidade},
                 {"fc", FpReagusteValorUnitario},
                 {"cq", FCasasDecimaisQuantidade},
                 {"cc", FCasasDecimaisCusto},
                 {"agora", QDateTime::currentDateTime()},
                 {"usuario", CodigoUsuarioConectado()}})
            if (cmd.IndiceParametro(QString::fromLatin1(nome)) >= 0)
                cmd.BindValor(QString::fromLatin1(nome), valor);
    };
    // For this transaction only: the decimal forms above need the shortest text of a
    // float8, whatever the server's setting; and the lines join the entries written by
    // hash or merge, never a nested loop, which statistics of a table not analysed since it
    // grew (one row, say) would choose and make quadratic.
    con.Executar(QStringLiteral(
        "select set_config('extra_float_digits', '1', true), set_config('enable_nestloop', 'off', true)"));
    if (FFormaGeracao == fgAlterar) {
        auto excluir = con.Preparar(
            QStringLiteral("delete from LCTOINV D where D.CODIGOEMPRESA = :emp and D.DATAINVENT = :ddest "
                           "and D.CODIGOESTAB = any(:filiais::int[]) and exists(select 1 %1%2 "
                           "and L.CODIGOPRODUTO = D.CODIGOPRODUTO and L.MOTIVOINVENTARIO = D.MOTIVOINVENTARIO "
                           "and (%3 <> 0 or %4 <> 0))")
                .arg(de, onde, qtde, custo));
        vincular(*excluir);
        excluir->Executar();
    }
    const QString manter = FFormaGeracao != fgManter
                               ? QString()
                               : QStringLiteral(" and not exists(select 1 from LCTOINV D where D.CODIGOEMPRESA = :emp "
                                                "and D.CODIGOESTAB = E.ESTAB and D.DATAINVENT = :ddest "
                                                "and D.CODIGOPRODUTO = L.CODIGOPRODUTO "
                                                "and D.MOTIVOINVENTARIO = L.MOTIVOINVENTARIO)");
    const QString linhaDe = QStringLiteral(
        "from NOVOS N join %1 S on S.CODIGOEMPRESA = :emp and S.CODIGOESTAB = :origem and S.DATAINVENT = :dorig "
        "and S.CODIGOPRODUTO = N.CODIGOPRODUTO and S.MOTIVOINVENTARIO = N.MOTIVOINVENTARIO");
    const QString textoCopia =
        QStringLiteral(
            "with CAND as (select E.ESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, %1 as QTDE, %2 as PRECO, "
            "coalesce(L.VALORIR, 0) as VALORIR, coalesce(L.VALORICMS, 0) as VALORICMS, "
            "coalesce(L.VALORPIS, 0) as VALORPIS, coalesce(L.VALORCOFINS, 0) as VALORCOFINS, L.OBSLCTOINV "
            "%3 cross join unnest(:filiais::int[]) E(ESTAB)%4%5), "
            "NOVOS as (insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO, DATAINVENT, "
            "QTDEESTOQUE, PRECOUNIT, VALORIR, VALORICMS, OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO, "
            "VALORPIS, VALORCOFINS) select :emp, ESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO, :ddest, QTDE, PRECO, "
            "VALORIR, VALORICMS, OBSLCTOINV, :agora, :usuario, 1, VALORPIS, VALORCOFINS from CAND "
            "where QTDE <> 0 or PRECO <> 0 returning CODIGOESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO), "
            "PROPS as (insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
            "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, QUANTIDADE, PRECOUNIT, VALORIR) "
            "select :emp, N.CODIGOESTAB, :ddest, S.CODIGOPRODUTO, S.MOTIVOINVENTARIO, S.SEQ, S.INDICADORPROPRIEDADE, "
            "nullif(S.CODIGOPESSOAPART, 0), nullif(S.CONTACTB, 0), %6, %7, S.VALORIR %8), "
            "CSTS as (insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
            "SEQ, CST, BASECALCULO, VALORIMPOSTO) select :emp, N.CODIGOESTAB, :ddest, S.CODIGOPRODUTO, "
            "S.MOTIVOINVENTARIO, S.SEQ, S.CST, S.BASECALCULO, S.VALORIMPOSTO %9) "
            "select count(*) from CAND")
            .arg(qtde, custo, de, onde, manter, QtdeNoServidor(QStringLiteral("S.QUANTIDADE")),
                 CustoNoServidor(QStringLiteral("S.PRECOUNIT")), linhaDe.arg(QLatin1String("LCTOINVPROPRIEDADE")),
                 linhaDe.arg(QLatin1String("LCTOINVCST")));
    auto copiar = con.Preparar(textoCopia);
    vincular(*copiar);
    TnCursor &c = copiar->Abrir();
    FContador = c.Proximo() ? c.Inteiro(0) : 0;
    copiar->Fechar();
}

void TOrvoDPDuplicarLctoInv::Liberar()
{
    FLctoInventario = nullptr;
    FPropriedade = nullptr;
    FCst = nullptr;
    FInsLctoInv.reset();
    FInsLctoInvProp.reset();
    FInsLctoInvCST.reset();
    SQLQueryDuplicar.reset();
    nSQLQueryProp.reset();
    nSQLQueryCST.reset();
    FExcluirDestino.reset();
    cdsLancamento.reset();
    cdsInvProp.reset();
    cdsInvCst.reset();
    FChavesDestino.clear();
    FProgresso.reset();
}

void TOrvoDPDuplicarLctoInv::Executar()
{
    TnDMPowerParam::Executar();
    const auto liberar = qScopeGuard([this] { Liberar(); });
    FContador = 0;
    AbrirFiliaisDestino();
    VerificarLancamentosDestino();

    FProgresso = CriarProgresso(this);
    FProgresso->MostrarSimples(QStringLiteral("Aguarde, Buscando Dados."));
    const QString filtro = MontarFiltroOrigem();
    CarregarCasasDecimais(FCodigoEmpresa);
    // On the server the rows never leave it (CopiarNoServidor): only whether there are any
    // is asked here.
    const bool noServidor = nDMConexao::Atual().PegarTipoCon() == tcPostgreSQL;
    if (!noServidor)
        AbrirOrigens(filtro);
    else if (!ExisteOrigem(filtro))
        throw EnParam(kOrigem, QString::fromUtf8(OrvoSDuplicaSemLancamentos));
    FProgresso->MostrarSimples(QStringLiteral("Duplicando Lançamentos Inventários... "));

    try {
        TnTransacao t(1);
        // The entries the user chose to replace go only once the copy can be made, and
        // come back with the rollback when it fails.
        if (FFormaGeracao == fgExcluir)
            nDMSQLDataSet::LimpaRegistro(QStringLiteral("LCTOINV"), FCondicaoDestino);
        bool copiado = false;
        if (noServidor) {
            // A refusal undoes the set-based copy alone; the copy row by row then meets it
            // again and names the row refused.
            try {
                TnTransacao emConjunto(2);
                CopiarNoServidor();
                emConjunto.Commit();
                copiado = true;
            } catch (const EAbort &) {
                throw;
            } catch (const Exception &) {
                FContador = 0;
            }
            if (!copiado)
                AbrirOrigens(filtro);
        }
        if (!copiado)
            Copiar();
        t.Commit();
    } catch (const EAbort &) {
        throw;
    } catch (const Exception &e) {
        throw Exception(QString::fromUtf8(OrvoSErroReprocessar) + e.Message());
    } catch (const std::exception &e) {
        throw Exception(QString::fromUtf8(OrvoSErroReprocessar) + QString::fromLocal8Bit(e.what()));
    }
    FProgresso.reset();
    Mensagens().Adicionar(QString::fromUtf8(OrvoSDuplicaLctoInvComSucesso).arg(FContador));
}

static TnRegistrador<TOrvoDPDuplicarLctoInv> gRegistro("TOrvoDPDuplicarLctoInv");
