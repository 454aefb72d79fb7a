#include "OrvoDPManutencaoLctoInventario_U.h"

#include "Acoes.h"
#include "DMClientDataSet.h"
#include "ExecutarSQL.h"
#include "FieldMapper.h"
#include "Literais.h"
#include "Valores.h"

#include <QPointer>
#include <QScopeGuard>
#include <algorithm>

namespace {

const char kCaption[] = "Manutenção Lançamentos do Inventário - CST";

const TnDefProcesso kDeclaracao{
    .Caption = kCaption,
    .CaptionParametros = kCaption,
    .Parametros =
        {{.Alias = "pCompetencia", .Caption = "Competência Mês/Ano", .Tipo = ntpData, .ChaveDicionario = "DICDATAMESANO",
          .Requerido = true, .Hint = "Informe a competência"},
         {.Alias = "pCodigoEmpresa", .Caption = "Empresa", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEmpresa",
          .Requerido = true},
         {.Alias = "pCodigoEstab", .Caption = "Filial", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab",
          .ChaveDicionario = "CODIGOESTAB", .MultiSelecao = true},
         {.Alias = "pNCM", .Caption = "NCM", .ChaveDicionario = "CODIGONCMPRODUTO", .MultiSelecao = true},
         {.Alias = "pProduto", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCProduto", .ChaveDicionario = "CODIGOPRODUTO",
          .MultiSelecao = true},
         {.Alias = "pCst", .Caption = "CST", .Tipo = ntpInteiro, .ChaveDicionario = "CODIGOCSTSUBTRIBUT",
          .Requerido = true},
         {.Alias = "pAliquota", .Caption = "Alíquota", .Tipo = ntpNumero, .ChaveDicionario = "DICVALOR",
          .Requerido = true}},
    .ArvoreMensagens = true,
};

// The property line read, by column name.
struct TMapLctoInvProp {
    TnField *CODIGOEMPRESA = nullptr;
    TnField *CODIGOESTAB = nullptr;
    TnField *DATAINVENT = nullptr;
    TnField *CODIGOPRODUTO = nullptr;
    TnField *MOTIVOINVENTARIO = nullptr;
    TnField *SEQ = nullptr;
    TnField *PRECOUNIT = nullptr;
    TnField *QUANTIDADE = nullptr;
    ORVO_MAPA(CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, PRECOUNIT, QUANTIDADE)
};

// The tax-situation line written, by column name.
struct TMapLctoInvCST {
    TnField *CODIGOEMPRESA = nullptr;
    TnField *CODIGOESTAB = nullptr;
    TnField *DATAINVENT = nullptr;
    TnField *CODIGOPRODUTO = nullptr;
    TnField *MOTIVOINVENTARIO = nullptr;
    TnField *SEQ = nullptr;
    TnField *CST = nullptr;
    TnField *BASECALCULO = nullptr;
    TnField *VALORIMPOSTO = nullptr;
    ORVO_MAPA(CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST, BASECALCULO,
              VALORIMPOSTO)
};

// A parameter the process reads as 0 when it holds no number (the register's validation
// then decides about a CST or rate of 0; company 0 finds no line).
qint64 InteiroOuZero(const TnpqParamItem &p)
{
    try {
        return p.AsInteger();
    } catch (const EnParam &) {
        return 0;
    }
}

double NumeroOuZero(const TnpqParamItem &p)
{
    try {
        return p.AsFloat();
    } catch (const EnParam &) {
        return 0;
    }
}

} // namespace

TOrvoDPManutencaoLctoInventario::TOrvoDPManutencaoLctoInventario() : TnDMPowerParam(kDeclaracao) {}

TOrvoDPManutencaoLctoInventario::~TOrvoDPManutencaoLctoInventario() = default;

void TOrvoDPManutencaoLctoInventario::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                       const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "40 Utilitários", .Caption = kCaption, .Indice = 100}}, classe, lista, evento, modulos);
}

void TOrvoDPManutencaoLctoInventario::ValidarDado()
{
    TnDMPowerParam::ValidarDado();
    // Digits only: a sign, a decimal or a letter never becomes CST 0 or a negative code.
    const TnpqParamItem &cst = Param(QStringLiteral("pCst"));
    const QString texto = cst.AsString().trimmed();
    if (texto.isEmpty())
        return; // the required-parameter check speaks of it
    qint64 codigo = -1;
    const bool digitos = texto.size() <= 3
                         && std::all_of(texto.cbegin(), texto.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digitos || !TextoParaInteiro(texto, codigo) || codigo < 0 || codigo > 999)
        throw EnParam(cst.Alias(), QString::fromUtf8(OrvoSCstInvalido).arg(TrechoCitado(texto)));
}

void TOrvoDPManutencaoLctoInventario::Executar()
{
    TnDMPowerParam::Executar();
    const auto liberar = qScopeGuard([this] { DestruirSQL(FCdsLctoInvCST); });
    LerParametros();
    if (ProcessarLctoInvPropriedade())
        GerarLctoInvCST();
    else
        Mensagens().Adicionar(
            QString::fromUtf8("Não existe informações no Detalhamento de Propriedade!\r\nNenhum Registro Processado!"),
            tmAviso);
}

void TOrvoDPManutencaoLctoInventario::LerParametros()
{
    FCodigoEmpresa = int(InteiroOuZero(Param(QStringLiteral("pCodigoEmpresa"))));
    FCodigoEstab = Param(QStringLiteral("pCodigoEstab")).AsString().trimmed();
    FDataCompetencia = Param(QStringLiteral("pCompetencia")).AsDataInicial();
    FNCM = Param(QStringLiteral("pNCM")).AsString().trimmed();
    FProduto = Param(QStringLiteral("pProduto")).AsString().trimmed();
    FCST = int(InteiroOuZero(Param(QStringLiteral("pCst"))));
    FAliquota = NumeroOuZero(Param(QStringLiteral("pAliquota")));
}

QString TOrvoDPManutencaoLctoInventario::MontarFiltroProdutoNCM() const
{
    const QString produto = QStringLiteral("P.CODIGOPRODUTO");
    const QString ncm = QStringLiteral("P.CODIGONCM");
    if (!FProduto.isEmpty() && !FNCM.isEmpty())
        return QStringLiteral(" and (") + FilterInterval(produto, FProduto, tvfNumerico, false) + QStringLiteral(" or ")
               + FilterInterval(ncm, FNCM, tvfTexto, false) + QStringLiteral(") ");
    if (!FProduto.isEmpty())
        return FilterInterval(produto, FProduto, tvfNumerico, true);
    if (!FNCM.isEmpty())
        return FilterInterval(ncm, FNCM, tvfTexto, true);
    return QString();
}

QString TOrvoDPManutencaoLctoInventario::MontarSQLPropriedadeSemCST() const
{
    // The month, whichever of its days the entries are dated.
    return QStringLiteral("select LP.CODIGOEMPRESA, LP.CODIGOESTAB, LP.DATAINVENT, LP.CODIGOPRODUTO,"
                          " LP.MOTIVOINVENTARIO, LP.SEQ, LP.PRECOUNIT, LP.QUANTIDADE"
                          " from LCTOINVPROPRIEDADE LP"
                          " join PRODUTO P on P.CODIGOEMPRESA = LP.CODIGOEMPRESA and P.CODIGOPRODUTO = LP.CODIGOPRODUTO"
                          " where LP.CODIGOEMPRESA = ? ")
           + FilterInterval(QStringLiteral("LP.CODIGOESTAB"), FCodigoEstab)
           + QStringLiteral(" and LP.DATAINVENT between ? and ? ") + MontarFiltroProdutoNCM()
           + QStringLiteral(" and not exists (select 1 from LCTOINVCST LC"
                            " where LC.CODIGOEMPRESA = LP.CODIGOEMPRESA and LC.CODIGOESTAB = LP.CODIGOESTAB"
                            " and LC.DATAINVENT = LP.DATAINVENT and LC.CODIGOPRODUTO = LP.CODIGOPRODUTO"
                            " and LC.MOTIVOINVENTARIO = LP.MOTIVOINVENTARIO and LC.SEQ = LP.SEQ)");
}

bool TOrvoDPManutencaoLctoInventario::ProcessarLctoInvPropriedade()
{
    FCdsLctoInvCST = ExecutarSQL(MontarSQLPropriedadeSemCST(),
                                 QVariantList{FCodigoEmpresa, FDataCompetencia, UltimoDiaDoMes(FDataCompetencia)});
    if (FCdsLctoInvCST->IsEmpty())
        return false;
    FCdsLctoInvCST->Mapa<TMapLctoInvProp>();
    return true;
}

void TOrvoDPManutencaoLctoInventario::GerarLctoInvCST()
{
    TnClientDataSet &origem = *FCdsLctoInvCST;
    const TMapLctoInvProp &prop = origem.Mapa<TMapLctoInvProp>();
    QPointer<TnDMClientDataSet> registro = qobject_cast<TnDMClientDataSet *>(
        CriarDM(QStringLiteral("TOrvoDMLctoInvCSTProc"), nullptr, QStringLiteral("DMLctoInvCST")));
    if (!registro)
        throw Exception(QStringLiteral("TOrvoDMLctoInvCSTProc não é um cadastro."));
    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
    const auto fim = qScopeGuard([&] {
        progresso->SetVisible(false);
        if (registro)
            DestruirDM(registro);
    });
    progresso->MostrarSimples();
    progresso->ConfigurarProgressoTotal(origem.RecordCount());
    try {
        // Every line stays in the register until all were accepted; then all are written
        // in one transaction, or none.
        registro->SetAplicarAoGravar(false);
        if (!registro->Aberto())
            registro->Abrir();
        TnClientDataSet &ds = registro->nClientDataSet();
        if (ds.State() == dsEdit || ds.State() == dsInsert)
            ds.Cancel();
        const TMapLctoInvCST &cst = ds.Mapa<TMapLctoInvCST>();
        for (origem.First(); !origem.Eof(); origem.Next()) {
            progresso->IncProgressoTotal();
            ds.Append();
            cst.CODIGOEMPRESA->SetAsInteger(prop.CODIGOEMPRESA->AsInteger());
            cst.CODIGOESTAB->SetAsInteger(prop.CODIGOESTAB->AsInteger());
            cst.DATAINVENT->SetAsDate(prop.DATAINVENT->AsDate());
            cst.CODIGOPRODUTO->SetAsLargeInt(prop.CODIGOPRODUTO->AsLargeInt());
            cst.MOTIVOINVENTARIO->SetAsInteger(prop.MOTIVOINVENTARIO->AsInteger());
            cst.SEQ->SetAsInteger(prop.SEQ->AsInteger());
            cst.CST->SetAsInteger(FCST);
            cst.BASECALCULO->SetAsFloat(prop.PRECOUNIT->AsFloat());
            // The tax on the base as the register keeps it (two decimals).
            cst.VALORIMPOSTO->SetAsFloat(PercentualDoValor(cst.BASECALCULO->AsFloat(), FAliquota, 2));
            ds.Post();
        }
        // The apply is one transaction of its own: the first refused line raises and nothing
        // stays written. (Inside a transaction of the process it would be a savepoint, and
        // SQLite would copy every page it reuses from the space the deleted lines left into
        // the savepoint's journal.)
        ds.ApplyUpdates(0);
        Mensagens().Adicionar(QStringLiteral("Registros processados com Sucesso"), tmSucesso);
    } catch (const Exception &e) {
        Mensagens().Adicionar(QStringLiteral("Erro ao inserir registros\r\n") + e.Message(), tmErro);
    }
}

static TnRegistrador<TOrvoDPManutencaoLctoInventario> gRegistro("TOrvoDPManutencaoLctoInventario");
