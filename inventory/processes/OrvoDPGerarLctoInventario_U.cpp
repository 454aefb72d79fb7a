#include "OrvoDPGerarLctoInventario_U.h"

#include "Acoes.h"
#include "ExecutarSQL.h"
#include "LctoInvPropriedadeComum.h"
#include "Personalizacao.h"
#include "SuiteEstab.h"
#include "Valores.h"

#include <QScopeGuard>

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = "Gerar Lançamentos do Inventario - Controle de Estoque",
    .Parametros =
        {{.Alias = "pCompetencia", .Caption = "Competência Mês/Ano", .Tipo = ntpData, .ChaveDicionario = "DICDATAMESANO",
          .Requerido = true},
         {.Alias = "pCodigoEmpresa", .Tipo = ntpInteiro, .ChaveDicionario = "CODIGOEMPRESA", .Requerido = true,
          .Visivel = false},
         {.Alias = "pCodigoEstab", .Caption = "Filial", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab",
          .ChaveDicionario = "CODIGOESTAB", .MultiSelecao = true},
         {.Alias = "pIndPropriedade", .Caption = "Indicador Propriedade", .Tipo = ntpCombo, .Padrao = "1",
          .Requerido = true,
          .ListaValores = {"Estoque Próprio=0", "Estoque Próprio em Poder de Terceiros=1",
                           "Estoque de Terceiros em Poder do Contribuinte=2"}},
         {.Alias = "pMotivoInventario", .Tipo = ntpCombo, .ChaveDicionario = "MOTIVOINVENTARIO", .Requerido = true},
         {.Alias = "pCodigoPessoaPart", .Caption = "Participante", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCPessoa",
          .ChaveDicionario = "CODIGOPESSOA"},
         {.Alias = "pContaCtb", .Caption = "Conta Contábil", .Tipo = ntpInteiro, .ChaveDicionario = "CONTACTB"}},
    .ArvoreMensagens = true,
};

const QString kCompetencia = QStringLiteral("pCompetencia");
const QString kEstab = QStringLiteral("pCodigoEstab");
const QString kIndicador = QStringLiteral("pIndPropriedade");
const QString kParticipante = QStringLiteral("pCodigoPessoaPart");
const QString kConta = QStringLiteral("pContaCtb");
const QString kClasseSaldo = QStringLiteral("TTelsoDPGerarSaldoInicialEstoque");
const QString kDataSetSaldo = QStringLiteral("curSaldoInicial");

const char kSQLExisteLcto[] = "select 1 from LCTOINV where CODIGOEMPRESA = ? and DATAINVENT = ?%1 limit 1";
const char kSQLInsLctoInv[] =
    "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
    "PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
    "values (?, ?, ?, ?, ?, ?, ?, 0, 0, 0, ?, ?, 1)";
const char kSQLInsPropriedade[] =
    "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, "
    "INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, PRECOUNIT, QUANTIDADE) values (?, ?, ?, ?, ?, 1, ?, ?, ?, ?, ?)";

// A whole number typed into a parameter: empty gives `vazio` (true), a text that is no
// whole number gives false.
bool LerCodigo(const TnpqParamItem &p, qint64 &valor)
{
    valor = 0;
    const QString texto = p.IsNull() ? QString() : p.AsString().trimmed();
    return texto.isEmpty() || TextoParaInteiro(texto, valor);
}

// The balances could not be had from the fiscal module.
class EModuloFiscal : public Exception {
public:
    explicit EModuloFiscal(const QString &motivo)
        : Exception(QString::fromUtf8(OrvoSGerarModuloFiscalAusente).arg(motivo)) {}
};
[[noreturn]] void FalhaModuloFiscal(const QString &motivo) { throw EModuloFiscal(motivo); }

} // namespace

TDadoSaldo TDadoSaldo::Create(int estab, const TMapSaldoIni &mapa)
{
    return {.CodigoEstab = estab,
            .CodigoProduto = mapa.CodigoProduto->AsLargeInt(),
            .QuantidadeFinal = mapa.QuantidadeFinal->AsFloat(),
            .ValorUnitFinal = mapa.ValorUnitFinal->AsFloat(),
            .ValorTotalFinal = mapa.ValorTotalFinal->AsFloat()};
}

TOrvoDPGerarLctoInventario::TOrvoDPGerarLctoInventario() : TnDMPowerParam(kDeclaracao)
{
    Param(QStringLiteral("pMotivoInventario")).SetListaValores(ListaMotivoInventario());
}

TOrvoDPGerarLctoInventario::~TOrvoDPGerarLctoInventario()
{
    if (FDMSaldo)
        DestruirDM(FDMSaldo);
}

QString TOrvoDPGerarLctoInventario::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPGerarLctoInventario::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                  const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "40 Utilitários", .Caption = "Gerar Lançamentos do Inventario - Controle de Estoque",
                .Indice = 80}},
              classe, lista, evento, modulos);
}

void TOrvoDPGerarLctoInventario::npqPowerParamParamChange(TnpqParamItem &param)
{
    TnDMPowerParam::npqPowerParamParamChange(param);
    if (param.Alias() == kIndicador)
        AplicarRegraParticipante();
}

// The participant is asked for (enabled and required) exactly when the indicator is not 0
// (own stock).
void TOrvoDPGerarLctoInventario::AplicarRegraParticipante()
{
    const TnpqParamItem &indicador = Param(kIndicador);
    qint64 valor = 0;
    const bool proprio = !LerCodigo(indicador, valor) || valor == 0;
    EdEnabledField(kParticipante, !proprio);
    EdRequiredField(kParticipante, !proprio);
}

void TOrvoDPGerarLctoInventario::ValidarDado()
{
    TnDMPowerParam::ValidarDado();
    AplicarRegraParticipante(); // also when the indicator was set other than at the form
    FCompetencia = Param(kCompetencia).AsDataInicial();
    if (!FCompetencia.isValid())
        throw EnParam(kCompetencia, QString::fromUtf8(OrvoSGerarCompetenciaInvalida));
    // The selected company, which the process took when it was opened.
    FCodigoEmpresa = int(Param(QStringLiteral("pCodigoEmpresa")).AsInteger());
    if (FCodigoEmpresa == 0)
        throw EnParam(kCompetencia, QString::fromUtf8(OrvoSEmpresaFilialNaoSelecionado));
    FCodigoEstab = Param(kEstab).AsString().trimmed();
    NoParametro(kEstab, [&] { return FilterInterval(QStringLiteral("CODIGOESTAB"), FCodigoEstab); });
    FIndPropriedade = int(Param(kIndicador).AsInteger());
    // Only a reason of the list: the entries would carry any number otherwise.
    const TnpqParamItem &motivo = Param(QStringLiteral("pMotivoInventario"));
    const qint64 codigoMotivo = motivo.AsInteger();
    if (Definicao{.ListaValores = ListaMotivoInventario()}.TextoDoValor(QString::number(codigoMotivo)).isEmpty())
        throw EnParam(motivo.Alias(),
                      QString::fromUtf8(OrvoSGerarMotivoInvalido).arg(TrechoCitado(motivo.AsString().trimmed())));
    FMotivoInventario = int(codigoMotivo);

    // A line held by or for a third party names the third party.
    FCodigoPessoaPart = 0;
    if (FIndPropriedade != 0 && (!LerCodigo(Param(kParticipante), FCodigoPessoaPart) || FCodigoPessoaPart == 0))
        throw EnParam(kParticipante, QString::fromUtf8(OrvoSGerarParticipanteObrigatorio));
    if (!LerCodigo(Param(kConta), FContaCtb))
        throw EnParam(kConta,
                      QString::fromUtf8(OrvoSGerarContaInvalida).arg(TrechoCitado(Param(kConta).AsString().trimmed())));

    if (ExistemLancamentos())
        throw Exception(QString::fromUtf8(OrvoSGerarLctoJaExistem));
}

// Entries of the company and chosen branches at the month's date, of any reason.
bool TOrvoDPGerarLctoInventario::ExistemLancamentos() const
{
    auto cmd = nDMConexao::Atual().Preparar(
        QString::fromLatin1(kSQLExisteLcto).arg(FilterInterval(QStringLiteral("CODIGOESTAB"), FCodigoEstab)));
    cmd->BindInteiro(0, FCodigoEmpresa);
    cmd->BindData(1, FCompetencia);
    return cmd->Abrir().Proximo();
}

void TOrvoDPGerarLctoInventario::Executar()
{
    TnDMPowerParam::Executar();
    FLstSaldo.clear();
    FGravados = 0;
    FProgresso = CriarProgresso(this);
    const auto finalizar = qScopeGuard([this] {
        FLstSaldo.clear();
        FLstSaldo.shrink_to_fit();
        FProgresso.reset();
    });
    GerarSaldoFinal();
    GravarDados();
    MostrarResumo();
}

void TOrvoDPGerarLctoInventario::GerarSaldoFinal()
{
    FProgresso->MostrarSimples(QStringLiteral("Gerando Saldo Final, Aguarde..."));
    const QDate fim = UltimoDiaDoMes(FCompetencia);
    auto estabs = CriarListaEstabAtiva(QString::number(FCodigoEmpresa), FCodigoEstab, FCompetencia, fim);
    if (estabs->IsEmpty())
        throw EnParam(kEstab, QString::fromUtf8(OrvoSGerarSemEstabAtivo));
    TnField &estab = estabs->FieldByName(QStringLiteral("CODIGOESTAB"));
    for (estabs->First(); !estabs->Eof(); estabs->Next())
        CarregarSaldoEstab(estab.AsInteger());
    DestruirSQL(estabs);
}

// The fiscal module's balance process, created by name at the first run.
TnDMPowerParam &TOrvoDPGerarLctoInventario::ModuloSaldo()
{
    if (FDMSaldo)
        return *FDMSaldo;
    TnDataModule *dm = nullptr;
    try {
        dm = CriarDM(kClasseSaldo, nullptr, QStringLiteral("GerarLctoInv"));
    } catch (const Exception &e) {
        FalhaModuloFiscal(e.Message());
    }
    FDMSaldo = qobject_cast<TnDMPowerParam *>(dm);
    if (!FDMSaldo) {
        DestruirDM(dm);
        FalhaModuloFiscal(QStringLiteral("a classe %1 não é um processo.").arg(kClasseSaldo));
    }
    return *FDMSaldo;
}

void TOrvoDPGerarLctoInventario::CarregarSaldoEstab(int estab)
{
    TnDMPowerParam &saldo = ModuloSaldo();
    const QDate fim = UltimoDiaDoMes(FCompetencia);
    TnClientDataSet *ds = nullptr;
    const TMapSaldoIni *mapa = nullptr;
    try {
        saldo.Param(QStringLiteral("pCodigoEmpresa")).SetValue(FCodigoEmpresa);
        saldo.Param(QStringLiteral("pCodigoEstab")).SetValue(estab);
        saldo.Param(QStringLiteral("pDataInicial")).SetValue(FCompetencia);
        saldo.Param(QStringLiteral("pDataFinal")).SetValue(fim);
        saldo.Param(QStringLiteral("pGeraZerado")).SetValue(QStringLiteral("0"));
        saldo.Rodar();
        ds = saldo.FindDataSet(kDataSetSaldo);
        if (!ds || !ds->Active())
            FalhaModuloFiscal(QStringLiteral("o conjunto de dados \"%1\" não existe.").arg(kDataSetSaldo));
        mapa = &ds->Mapa<TMapSaldoIni>();
    } catch (const EModuloFiscal &) {
        throw;
    } catch (const EAbort &) {
        throw;
    } catch (const Exception &e) {
        FalhaModuloFiscal(e.Message());
    }
    FLstSaldo.reserve(FLstSaldo.size() + size_t(ds->RecordCount()));
    for (ds->First(); !ds->Eof(); ds->Next())
        FLstSaldo.push_back(TDadoSaldo::Create(estab, *mapa));
}

// Two prepared statements, bound per balance, all in one transaction (in bulk on the server).
void TOrvoDPGerarLctoInventario::GravarDados()
{
    FProgresso->MostrarSimples(QStringLiteral("Gravando Dados, Aguarde..."));
    FProgresso->ConfigurarProgressoTotal(qint64(FLstSaldo.size()));
    nDMConexao &con = nDMConexao::Atual();
    try {
        TnTransacao t(1, con);
        auto lcto = con.Preparar(QString::fromLatin1(kSQLInsLctoInv));
        auto prop = con.Preparar(QString::fromLatin1(kSQLInsPropriedade));
        // What every row of the run shares.
        for (TnComando *c : {lcto.get(), prop.get()}) {
            c->BindInteiro(0, FCodigoEmpresa);
            c->BindData(2, FCompetencia);
            c->BindInteiro(4, FMotivoInventario);
        }
        lcto->BindDataHora(7, QDateTime::currentDateTime());
        lcto->BindInteiro(8, CodigoUsuarioConectado());
        prop->BindInteiro(5, FIndPropriedade);
        if (FIndPropriedade == 0)
            prop->BindNulo(6);
        else
            prop->BindInteiro(6, FCodigoPessoaPart);
        if (FContaCtb == 0)
            prop->BindNulo(7);
        else
            prop->BindInteiro(7, FContaCtb);

        for (const TDadoSaldo &s : FLstSaldo) {
            FProgresso->IncProgressoTotal();
            if (!(s.QuantidadeFinal > 0) || !(s.ValorUnitFinal > 0)) {
                Mensagens().Adicionar(QString::fromUtf8(OrvoSGerarSaldoIgnorado).arg(s.CodigoEstab).arg(s.CodigoProduto),
                                      tmAviso);
                continue;
            }
            lcto->BindInteiro(1, s.CodigoEstab);
            lcto->BindInteiro(3, s.CodigoProduto);
            lcto->BindReal(5, s.QuantidadeFinal);
            lcto->BindReal(6, s.ValorUnitFinal);
            lcto->ExecutarEmLote();
            prop->BindInteiro(1, s.CodigoEstab);
            prop->BindInteiro(3, s.CodigoProduto);
            prop->BindReal(8, s.ValorUnitFinal);
            prop->BindReal(9, s.QuantidadeFinal);
            prop->ExecutarEmLote();
            ++FGravados;
        }
        t.Commit();
    } catch (const EAbort &) {
        throw;
    } catch (const Exception &e) {
        FGravados = 0;
        const QString mensagem = QString::fromUtf8(OrvoSGerarFalhaGravacao) + e.Message();
        Mensagens().Adicionar(mensagem, tmErro);
        throw Exception(mensagem);
    }
}

void TOrvoDPGerarLctoInventario::MostrarResumo()
{
    // Nothing to generate is said in words, not only by the counts.
    if (FLstSaldo.empty())
        Mensagens().Adicionar(QString::fromUtf8(OrvoSGerarSemSaldos), tmAviso);
    Mensagens().Adicionar(QString::fromUtf8(OrvoSGerarResumoLctoInv) + QString::number(FGravados), tmSucesso);
    Mensagens().Adicionar(QString::fromUtf8(OrvoSGerarResumoPropriedade) + QString::number(FGravados), tmSucesso);
}

static TnRegistrador<TOrvoDPGerarLctoInventario> gRegistro("TOrvoDPGerarLctoInventario");
