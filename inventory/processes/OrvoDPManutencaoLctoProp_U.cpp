#include "OrvoDPManutencaoLctoProp_U.h"

#include "Acoes.h"
#include "LctoInvPropriedadeComum.h"
#include "SQLDataSet.h"

namespace {

const char kCaption[] = "Manutenção Dados do Lançamento de Propriedade";

const TnDefProcesso kDeclaracao{
    .Caption = kCaption,
    .CaptionParametros = kCaption,
    .Parametros =
        {{.Alias = "pCodigoEstab", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab", .ChaveDicionario = "CODIGOESTAB",
          .Requerido = true},
         {.Alias = "pCodigoEmpresa", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEmpresa",
          .ChaveDicionario = "CODIGOEMPRESA"},
         {.Alias = "pAlterarCampos", .Caption = "Alterar Campos", .Tipo = ntpCombo, .Requerido = true,
          .ListaValores = {"Indicador de Propriedade=1", "Conta Contábil=2"}},
         {.Alias = "pCodigoGrupoProduto", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCGrupoProduto",
          .ChaveDicionario = "CODIGOGRUPOPRODUTO"},
         {.Alias = "pProduto", .Caption = "Produto", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCProduto",
          .ChaveDicionario = "CODIGOPRODUTO"},
         {.Alias = "pData", .Caption = "Período", .Tipo = ntpData, .ChaveDicionario = "DICDATAMESANO"},
         {.Alias = "pSeq", .Caption = "Sequencia", .Tipo = ntpInteiro, .ChaveDicionario = "SEQSMALLINT"},
         {.Alias = "pValorContaAtual", .Caption = "Conta Contábil Atual", .Tipo = ntpInteiro,
          .ChaveDicionario = "CONTACTB"},
         {.Alias = "pValorContaNova", .Caption = "Conta Contábil Nova", .Tipo = ntpInteiro,
          .ChaveDicionario = "CONTACTB", .Requerido = true},
         {.Alias = "pValorIndAtual", .Caption = "Ind Atividade Atual", .Tipo = ntpCombo, .Requerido = true,
          .ListaValores = ListaIndicadorPropriedade()},
         {.Alias = "pValorIndNovo", .Caption = "Ind Atividade Novo", .Tipo = ntpCombo, .Requerido = true,
          .ListaValores = ListaIndicadorPropriedade()}},
};

const char kTabela[] = "LCTOINVPROPRIEDADE";

} // namespace

TOrvoDPManutencaoLctoProp::TOrvoDPManutencaoLctoProp() : TnDMPowerParam(kDeclaracao) {}

QString TOrvoDPManutencaoLctoProp::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPManutencaoLctoProp::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                 const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "40 Utilitários", .Caption = kCaption, .Indice = 90}}, classe, lista, evento, modulos);
}

void TOrvoDPManutencaoLctoProp::npqPowerParamParamChange(TnpqParamItem &param)
{
    TnDMPowerParam::npqPowerParamParamChange(param);
    const QString &alias = param.Alias();
    if (alias == QLatin1String("pCodigoGrupoProduto")) {
        // A group filters by itself: the product is then cleared and not offered.
        const bool semGrupo = param.IsNull();
        if (!semGrupo)
            EdClearField(QStringLiteral("pProduto"));
        EdEnabledField(QStringLiteral("pProduto"), semGrupo);
    } else if (alias == QLatin1String("pAlterarCampos")) {
        const QString campo = param.AsString().trimmed();
        const bool conta = campo == QLatin1String("2");
        const bool indicador = campo == QLatin1String("1");
        EdEnabledField(QStringLiteral("pValorContaAtual"), conta);
        const std::pair<const char *, bool> regras[] = {
            {"pValorContaNova", conta}, {"pValorIndAtual", indicador}, {"pValorIndNovo", indicador}};
        for (const auto &[alias, ativo] : regras) {
            EdEnabledField(QString::fromLatin1(alias), ativo);
            EdRequiredField(QString::fromLatin1(alias), ativo);
        }
    }
}

void TOrvoDPManutencaoLctoProp::Executar()
{
    TnDMPowerParam::Executar();
    try {
        SetParams();
        PrepararSQLS();
        ConfigurarMsg();
    } catch (const Exception &e) {
        Mensagens().Adicionar(QStringLiteral("Erro ao processar: ") + e.Message(), tmErro);
    }
}

void TOrvoDPManutencaoLctoProp::SetParams()
{
    FQtdeRegistro = 0;
    FCampo.clear();
    FValorNovo = 0;
    FEmpresa = Param(QStringLiteral("pCodigoEmpresa")).AsString().trimmed();
    FEstab = Param(QStringLiteral("pCodigoEstab")).AsString().trimmed();
    // A text that is no number is refused (EnParam) rather than read as 0: a new account 0
    // would reach every line of the filters.
    FCampoAlterar = int(Param(QStringLiteral("pAlterarCampos")).AsInteger());
    const TnpqParamItem &contaAtual = Param(QStringLiteral("pValorContaAtual"));
    const TnpqParamItem &contaNova = Param(QStringLiteral("pValorContaNova"));
    const TnpqParamItem &indAtual = Param(QStringLiteral("pValorIndAtual"));
    const TnpqParamItem &indNovo = Param(QStringLiteral("pValorIndNovo"));
    FValorContaAtual = contaAtual.AsInteger();
    FValorContaNovo = contaNova.AsInteger();
    FIndAtual = int(indAtual.AsInteger());
    FIndNovo = int(indNovo.AsInteger());

    if (FEmpresa.isEmpty() || FEstab.isEmpty())
        throw EnParam(QStringLiteral("pCodigoEstab"), QString::fromUtf8("Código da empresa/filial inválido."));
    if (FCampoAlterar == 2 && contaAtual.AsString().trimmed().compare(contaNova.AsString().trimmed(), Qt::CaseInsensitive) == 0)
        throw EnParam(contaAtual.Alias(), QString::fromUtf8("O valor da Conta atual deve diferir do nova Conta."));
    if (FCampoAlterar == 1 && indAtual.AsString().trimmed().compare(indNovo.AsString().trimmed(), Qt::CaseInsensitive) == 0)
        throw EnParam(indAtual.Alias(), QString::fromUtf8("O Indicador de Atividade atual deve diferir do nova Conta."));

    if (FCampoAlterar == 1) {
        FCampo = QStringLiteral("INDICADORPROPRIEDADE");
        FValorNovo = FIndNovo;
    } else if (FCampoAlterar == 2) {
        FCampo = QStringLiteral("CONTACTB");
        FValorNovo = FValorContaNovo;
    } else {
        throw EnParam(QStringLiteral("pAlterarCampos"),
                      QString::fromUtf8("Escolha o campo a alterar: Indicador de Propriedade ou Conta Contábil."));
    }
}

QString TOrvoDPManutencaoLctoProp::MontarFiltroValorAtual(QVariantList &valores) const
{
    const QString coluna = QStringLiteral(" and ") + QString::fromLatin1(kTabela) + u'.' + FCampo;
    if (FCampoAlterar == 1) {
        valores << FIndAtual;
        return coluna + QStringLiteral(" = ?");
    }
    if (FCampoAlterar != 2 || FValorContaNovo == 0)
        return QString();
    if (FValorContaAtual == 0)
        return coluna + QStringLiteral(" is null"); // lines without an account
    valores << FValorContaAtual;
    return coluna + QStringLiteral(" = ?");
}

QString TOrvoDPManutencaoLctoProp::MontarSQLLctoProp(QVariantList &valores) const
{
    // Every line has its entry and every entry its product (the tables' references), so
    // the entry's filters are the line's own key columns and the group is the product's.
    const QString t = QString::fromLatin1(kTabela);
    QString sql = QStringLiteral("update %1 set %2 = ? where %1.CODIGOEMPRESA = ? and %1.CODIGOESTAB = ?").arg(t, FCampo);
    valores << FValorNovo << Param(QStringLiteral("pCodigoEmpresa")).AsInteger()
            << Param(QStringLiteral("pCodigoEstab")).AsInteger();
    const TnpqParamItem &data = Param(QStringLiteral("pData"));
    if (!data.IsNull()) {
        const QDate inicio = data.AsDataInicial();
        if (!inicio.isValid())
            throw EnParam(data.Alias(), QString::fromUtf8("Informe o período como mês e ano (mm/aaaa)."));
        // The month, whichever of its days the entries are dated.
        sql += QStringLiteral(" and %1.DATAINVENT between ? and ?").arg(t);
        valores << inicio << data.AsDataFinal();
    }
    const TnpqParamItem &produto = Param(QStringLiteral("pProduto"));
    if (!produto.IsNull()) {
        sql += QStringLiteral(" and %1.CODIGOPRODUTO = ?").arg(t);
        valores << produto.AsInteger();
    }
    const TnpqParamItem &seq = Param(QStringLiteral("pSeq"));
    if (!seq.IsNull()) {
        sql += QStringLiteral(" and %1.SEQ = ?").arg(t);
        valores << seq.AsInteger();
    }
    const TnpqParamItem &grupo = Param(QStringLiteral("pCodigoGrupoProduto"));
    if (!grupo.IsNull()) {
        sql += QStringLiteral(" and exists (select 1 from PRODUTO R where R.CODIGOEMPRESA = %1.CODIGOEMPRESA"
                              " and R.CODIGOPRODUTO = %1.CODIGOPRODUTO and R.CODIGOGRUPOPRODUTO = ?)")
                   .arg(t);
        valores << grupo.AsInteger();
    }
    return sql + MontarFiltroValorAtual(valores);
}

void TOrvoDPManutencaoLctoProp::PrepararSQLS()
{
    QVariantList valores;
    const QString sql = MontarSQLLctoProp(valores);
    nDMConexao &con = nDMConexao::Atual();
    try {
        TnTransacao transacao(1, con);
        FQtdeRegistro = con.Executar(sql, valores);
        transacao.Commit();
    } catch (const Exception &e) {
        throw Exception(QStringLiteral("Não foi possível atualizar a tabela LCTOINVPROPRIEDADE:\r\n") + e.Message());
    }
}

void TOrvoDPManutencaoLctoProp::ConfigurarMsg()
{
    if (FQtdeRegistro > 0)
        Mensagens().Adicionar(QStringLiteral("Foram alterados %1 registro(s).").arg(FQtdeRegistro), tmSucesso);
    else
        Mensagens().Adicionar(QString::fromUtf8("Não existe nenhum registro para os paramêtros selecinados. "), tmAviso);
}

static TnRegistrador<TOrvoDPManutencaoLctoProp> gRegistro("TOrvoDPManutencaoLctoProp");
