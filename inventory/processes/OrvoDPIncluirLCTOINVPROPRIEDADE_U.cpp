#include "OrvoDPIncluirLCTOINVPROPRIEDADE_U.h"

#include "Acoes.h"
#include "LctoInvPropriedadeComum.h"
#include "SQLDataSet.h"

namespace {

const char kCaption[] = "Incluir Dados dos Lançamentos de Propriedade";

const TnDefProcesso kDeclaracao{
    .Caption = kCaption,
    .CaptionParametros = kCaption,
    .Parametros =
        {{.Alias = "pCodigoEmpresa", .Tipo = ntpInteiro, .ChaveDicionario = "CODIGOEMPRESA", .Visivel = false},
         {.Alias = "pPeriodo", .Tipo = ntpData, .ChaveDicionario = "DICDATAMESANO", .Requerido = true},
         {.Alias = "pCodigoEstab", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab", .ChaveDicionario = "CodigoEstab"},
         {.Alias = "pIndicadorPropriedade", .Caption = "Indicador Propr.", .Tipo = ntpCombo, .Requerido = true,
          .ListaValores = ListaIndicadorPropriedade()},
         {.Alias = "pMotivoInventario", .Tipo = ntpCombo, .ChaveDicionario = "MOTIVOINVENTARIO", .Requerido = true,
          .ListaValores = ListaMotivoInventario()},
         {.Alias = "pParticipante", .Caption = "Participante", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCPessoa",
          .ChaveDicionario = "CODIGOPESSOA"},
         {.Alias = "pContaCtb", .Caption = "Conta Contábil", .Tipo = ntpInteiro, .ChaveDicionario = "CONTACTB"}},
    .ArvoreMensagens = true,
};

} // namespace

TOrvoDPIncluirLCTOINVPROPRIEDADE::TOrvoDPIncluirLCTOINVPROPRIEDADE() : TnDMPowerParam(kDeclaracao) {}

void TOrvoDPIncluirLCTOINVPROPRIEDADE::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                        const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "40 Utilitários", .Caption = kCaption, .Indice = 110}}, classe, lista, evento, modulos);
}

void TOrvoDPIncluirLCTOINVPROPRIEDADE::npqPowerParamParamChange(TnpqParamItem &param)
{
    TnDMPowerParam::npqPowerParamParamChange(param);
    if (param.Alias() != QLatin1String("pIndicadorPropriedade"))
        return;
    const bool terceiros = param.AsString().trimmed() != QLatin1String("0");
    EdEnabledField(QStringLiteral("pParticipante"), terceiros);
    EdRequiredField(QStringLiteral("pParticipante"), terceiros);
}

void TOrvoDPIncluirLCTOINVPROPRIEDADE::Executar()
{
    TnDMPowerParam::Executar();
    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
    progresso->MostrarSimples(QStringLiteral("Carregando dados..."));
    QVariantList valores;
    const QString sql = MontarInsertLctoInvPropriedade(valores);
    progresso->SetTexto(QStringLiteral("Gravando dados..."));
    GravarDados(sql, valores);
    Mensagens().Adicionar(QString::fromUtf8("Concluído"), tmSucesso);
}

QString TOrvoDPIncluirLCTOINVPROPRIEDADE::MontarInsertLctoInvPropriedade(QVariantList &valores) const
{
    const TnpqParamItem &periodo = Param(QStringLiteral("pPeriodo"));
    const QDate inicio = periodo.AsDataInicial();
    if (!inicio.isValid())
        throw EnParam(periodo.Alias(), QString::fromUtf8("Informe o período como mês e ano (mm/aaaa)."));
    const qint64 indicador = Param(QStringLiteral("pIndicadorPropriedade")).AsInteger();
    const TnpqParamItem &participante = Param(QStringLiteral("pParticipante"));
    const TnpqParamItem &conta = Param(QStringLiteral("pContaCtb"));
    // Own stock has no participant, whatever was typed; an empty account is none.
    valores << indicador << (indicador == 0 || participante.IsNull() ? QVariant() : QVariant(participante.AsInteger()))
            << (conta.IsNull() ? QVariant() : QVariant(conta.AsInteger()))
            << Param(QStringLiteral("pCodigoEmpresa")).AsInteger() << Param(QStringLiteral("pCodigoEstab")).AsInteger()
            << inicio << periodo.AsDataFinal() << Param(QStringLiteral("pMotivoInventario")).AsInteger();
    // The entries of the month (whichever of its days they are dated) without any line;
    // each line takes its entry's date, as its reference to the entry requires.
    return QStringLiteral(
        "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ,"
        " INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, PRECOUNIT, VALORIR, QUANTIDADE)"
        " select I.CODIGOEMPRESA, I.CODIGOESTAB, I.DATAINVENT, I.CODIGOPRODUTO, I.MOTIVOINVENTARIO, 1,"
        " cast(? as smallint), cast(? as integer), cast(? as bigint), I.PRECOUNIT, I.VALORIR, I.QTDEESTOQUE"
        " from LCTOINV I"
        " where I.CODIGOEMPRESA = ? and I.CODIGOESTAB = ? and I.DATAINVENT between ? and ? and I.MOTIVOINVENTARIO = ?"
        " and not exists (select 1 from LCTOINVPROPRIEDADE D where D.CODIGOEMPRESA = I.CODIGOEMPRESA"
        " and D.CODIGOESTAB = I.CODIGOESTAB and D.DATAINVENT = I.DATAINVENT and D.CODIGOPRODUTO = I.CODIGOPRODUTO"
        " and D.MOTIVOINVENTARIO = I.MOTIVOINVENTARIO)");
}

void TOrvoDPIncluirLCTOINVPROPRIEDADE::GravarDados(const QString &sql, const QVariantList &valores)
{
    nDMConexao &con = nDMConexao::Atual();
    try {
        TnTransacao transacao(1, con);
        const int incluidos = con.Executar(sql, valores);
        transacao.Commit();
        if (incluidos == 0)
            Mensagens().Adicionar(QString::fromUtf8("Nenhum lançamento sem propriedade encontrado."), tmAviso);
        else
            Mensagens().Adicionar(QString::fromUtf8("Incluídos %1 lançamentos").arg(incluidos), tmSucesso);
    } catch (const Exception &e) {
        Mensagens().Adicionar(QString::fromUtf8("Ocorreu um erro na execução: ") + e.Message(), tmErro);
        Mensagens().Adicionar(QStringLiteral("Processo cancelado"), tmAviso);
    }
}

static TnRegistrador<TOrvoDPIncluirLCTOINVPROPRIEDADE> gRegistro("TOrvoDPIncluirLCTOINVPROPRIEDADE");
