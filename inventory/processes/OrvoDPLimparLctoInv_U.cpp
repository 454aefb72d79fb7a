#include "OrvoDPLimparLctoInv_U.h"

#include "Acoes.h"
#include "Conexao.h"
#include "Interacao.h"
#include "Literais.h"
#include "Modulos.h"
#include "SuiteProduto.h"
#include "Tempo.h"
#include "Variaveis.h"

#include <QScopeGuard>

namespace {

const char *const kCaption = "Limpar Lançamentos do Inventário";
const char *const kEmpresa = "pCodigoEmpresa";
const char *const kEstab = "pCodigoEstab";
const char *const kIni = "pDataInventIni";
const char *const kFim = "pDataInventFim";
const char *const kLimparProdutos = "pLimpaCadProdutoInv";
const char *const kGrupo = "pCodigoGrupoProduto";
const char *const kUsuario = "pCodigoUsuario";
const char *const kProduto = "pCodigoProduto";
const char *const kIdSyn = "pIdSyn";
const char *const kViaSyn = "ehViaSYN";
// Products of the entries deleted, kept for the product deletion while the entries go.
const char *const kTemporaria = "TMP_LIMPAR_PRODUTO";
const char *const kCRLF = "\r\n";

const TnDefProcesso kDeclaracao{
    .Caption = QString::fromUtf8(kCaption),
    .CaptionParametros = QString::fromUtf8(kCaption),
    .Parametros =
        {
            {.Alias = kEmpresa, .ChaveDicionario = "CodigoEmpresa"},
            {.Alias = kEstab, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab", .ChaveDicionario = "CodigoEstab",
             .Requerido = true, .MultiSelecao = true},
            {.Alias = kIni, .Caption = QString::fromUtf8("Período Inicial a Limpar"), .Tipo = ntpData,
             .ChaveDicionario = "DICDATAMESANO", .Requerido = true},
            {.Alias = kFim, .Caption = QString::fromUtf8("Período Final a Limpar"), .Tipo = ntpData,
             .ChaveDicionario = "DICDATAMESANO", .Requerido = true},
            {.Alias = kLimparProdutos, .Caption = "Limpar Cadastro de Produtos", .Tipo = ntpCombo,
             .ChaveDicionario = "DICSIMNAO", .Padrao = "0", .Requerido = true,
             .ListaValores = {QStringLiteral("Sim=1"), QString::fromUtf8("Não=0")}},
            {.Alias = kGrupo, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCGrupoProduto",
             .ChaveDicionario = "CodigoGrupoProduto", .MultiSelecao = true},
            {.Alias = kUsuario, .ChaveDicionario = "CodigoUsuario", .MultiSelecao = true},
            {.Alias = kProduto, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCProduto", .ChaveDicionario = "CodigoProduto",
             .MultiSelecao = true},
            {.Alias = kIdSyn, .Caption = QString::fromUtf8("Código SYN"), .ChaveDicionario = "DICIDSYNINC",
             .MultiSelecao = true},
            {.Alias = kViaSyn, .Padrao = "0", .Visivel = false},
        },
    .ArvoreMensagens = true,
};

} // namespace

TOrvoDPLimparLctoInv::TOrvoDPLimparLctoInv() : TnDMPowerParam(kDeclaracao) {}

QString TOrvoDPLimparLctoInv::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPLimparLctoInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                            const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "20 Movimentos", .Caption = kCaption, .Indice = 30}}, classe, lista, evento, modulos);
}

void TOrvoDPLimparLctoInv::DepoisConfigurar(TnFormModulo *form)
{
    TnDMPowerParam::DepoisConfigurar(form);
    // The active company is the one cleared.
    EdVisibleField(QString::fromLatin1(kEmpresa), false);
}

void TOrvoDPLimparLctoInv::ValidarDado()
{
    TnDMPowerParam::ValidarDado();
    // On behalf of the SYN integration the period is not asked for.
    const bool viaSyn = Param(QString::fromLatin1(kViaSyn)).AsString().trimmed() == QLatin1String("1");
    for (const char *alias : {kIni, kFim})
        Param(QString::fromLatin1(alias)).SetRequerido(!viaSyn);
}

QList<QStringList> TOrvoDPLimparLctoInv::Split(const QStringList &valores, int tamanho) const
{
    QList<QStringList> fatias;
    const int n = qMax(1, tamanho);
    for (int i = 0; i < valores.size(); i += n)
        fatias.append(valores.mid(i, n));
    return fatias;
}

QString TOrvoDPLimparLctoInv::Join(const QString &separador, const QStringList &valores) const
{
    return valores.join(separador);
}

QString TOrvoDPLimparLctoInv::CriarIn(const QString &coluna, const QString &valores, int tamanho) const
{
    QString texto = valores;
    texto.replace(u',', u';');
    QStringList lista;
    for (const QString &v : texto.split(u';'))
        if (!v.trimmed().isEmpty())
            lista.append(v.trimmed());
    QStringList partes;
    for (const QStringList &fatia : Split(lista, tamanho))
        // The condition of a slice comes in parentheses.
        partes << FilterInterval(coluna, Join(QStringLiteral(";"), fatia), tvfNumerico, false).trimmed();
    return partes.isEmpty() ? QString() : u'(' + partes.join(QStringLiteral(" or ")) + u')';
}

void TOrvoDPLimparLctoInv::nClientDataSetReconcileError(qint64 produto, const QString &descricao)
{
    Mensagens().Adicionar(QString::fromUtf8(OrvoSErroExcluindoProdutoInv).arg(produto).arg(descricao), tmAviso);
}

QString TOrvoDPLimparLctoInv::Condicao(const char *alias, const QString &coluna) const
{
    const QString texto = Param(QString::fromLatin1(alias)).AsString().trimmed();
    if (texto.isEmpty())
        return QString();
    return NoParametro(QString::fromLatin1(alias), [&] { return FilterInterval(coluna, texto); })
           + QString::fromLatin1(kCRLF);
}

void TOrvoDPLimparLctoInv::Executar()
{
    TnDMPowerParam::Executar();
    if (!ConfirmarComFiltros(QString::fromUtf8(OrvoSAtencaoLimpaLcto) + QString::fromLatin1(kCRLF)
                             + QString::fromUtf8(OrvoSDesejaExcluirLcto)))
        return;
    const int empresa = EmpresaAtiva();
    if (empresa == 0)
        throw EnParam(QString::fromLatin1(kIni), QString::fromUtf8(OrvoSEmpresaFilialNaoSelecionado));
    const bool viaSyn = Param(QString::fromLatin1(kViaSyn)).AsString().trimmed() == QLatin1String("1");
    QDate inicio, fim;
    if (!viaSyn) {
        inicio = Param(QString::fromLatin1(kIni)).AsDataInicial();
        if (!inicio.isValid())
            throw EnParam(QString::fromLatin1(kIni), QString::fromUtf8(OrvoSLimpaDataInventIniInvalido));
        fim = Param(QString::fromLatin1(kFim)).AsDataFinal();
        if (!fim.isValid())
            throw EnParam(QString::fromLatin1(kFim), QString::fromUtf8(OrvoSLimpaDataInventFimInvalido));
        if (inicio > fim)
            throw EnParam(QString::fromLatin1(kIni), QString::fromUtf8(OrvoSLimpaDataInventInvalido));
    }

    // The entries to delete, as a condition on LCTOINV L; its values bound.
    QVariantList valores{empresa};
    QString condicao = QStringLiteral(" where L.CODIGOEMPRESA = ?");
    if (!viaSyn) {
        condicao += QStringLiteral(" and L.DATAINVENT between ? and ?");
        valores << inicio << fim;
    }
    if (const TnpqParamItem &syn = Param(QString::fromLatin1(kIdSyn)); !syn.IsNull()) {
        const QString in =
            NoParametro(syn.Alias(), [&] { return CriarIn(QStringLiteral("L.IDSYN"), syn.AsString().trimmed(), 100); });
        if (!in.isEmpty())
            condicao += QStringLiteral(" AND ") + in;
    }
    condicao += Condicao(kEstab, QStringLiteral("L.CODIGOESTAB"));
    condicao += Condicao(kUsuario, QStringLiteral("L.CODIGOUSUARIO"));
    condicao += Condicao(kProduto, QStringLiteral("L.CODIGOPRODUTO"));
    if (const TnpqParamItem &grupo = Param(QString::fromLatin1(kGrupo)); !grupo.IsNull()) {
        const QStringList analiticos =
            NoParametro(grupo.Alias(), [&] { return PegarGruposAnaliticos(empresa, grupo.AsString().trimmed()); });
        if (analiticos.isEmpty()) {
            Mensagens().Adicionar(QString::fromUtf8(OrvoSGruposSemAnaliticos), tmAviso);
            return;
        }
        condicao += QStringLiteral(" and exists (select 1 from PRODUTO P where P.CODIGOEMPRESA = L.CODIGOEMPRESA "
                                   "and P.CODIGOPRODUTO = L.CODIGOPRODUTO")
                    + FilterInterval(QStringLiteral("P.CODIGOGRUPOPRODUTO"), analiticos.join(u';')) + u')';
    }
    const bool limparProdutos = Param(QString::fromLatin1(kLimparProdutos)).AsString().trimmed() == QLatin1String("1");
    // The product deletion keeps to the user and product filters (not to the groups).
    const QString filtroProduto = Condicao(kUsuario, QStringLiteral("P.CODIGOUSUARIO"))
                                  + Condicao(kProduto, QStringLiteral("P.CODIGOPRODUTO"));

    nDMConexao &con = nDMConexao::Atual();
    const auto executar = [&con](const QString &sql, const QVariantList &params) {
        auto cmd = con.Preparar(sql);
        for (int i = 0; i < params.size(); ++i)
            cmd->BindValor(i, params[i]);
        // A refusal leaves the transaction able to roll back while the statement goes.
        return con.ExecutarProtegido(*cmd);
    };
    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
    progresso->MostrarSimples(QStringLiteral("Limpando movimento Inventário... "));
    // The open consultations of entries show what is left, whatever happens.
    const auto atualizar = qScopeGuard([] { AtualizarDM(QStringLiteral("TOrvoDCLctoInv")); });
    const TnTempo tempo = TempoInicio();
    int excluidos = 0;
    try {
        TnTransacao t(1, con);
        const QString temporaria = QString::fromLatin1(kTemporaria);
        if (limparProdutos) {
            con.Executar(QStringLiteral("drop table if exists %1").arg(temporaria));
            con.Executar(QStringLiteral("create temporary table %1 (CODIGOPRODUTO bigint not null primary key)")
                             .arg(temporaria));
            executar(QStringLiteral("insert into %1 (CODIGOPRODUTO) select distinct L.CODIGOPRODUTO from LCTOINV L")
                             .arg(temporaria)
                         + condicao,
                     valores);
        }
        // The property and tax-situation lines go with their entries (the tables' references).
        excluidos = executar(QStringLiteral("delete from LCTOINV as L") + condicao, valores);
        if (limparProdutos) {
            const QString produtos = QStringLiteral(" from PRODUTO P where P.CODIGOEMPRESA = ? and P.CODIGOPRODUTO in "
                                                    "(select T.CODIGOPRODUTO from %1 T) ")
                                         .arg(temporaria)
                                     + filtroProduto;
            const QString usados = QStringLiteral(" exists (select 1 from LCTOINV X where X.CODIGOEMPRESA = "
                                                  "P.CODIGOEMPRESA and X.CODIGOPRODUTO = P.CODIGOPRODUTO)");
            auto lista = con.Preparar(QStringLiteral("select P.CODIGOPRODUTO, P.DESCRPRODUTO") + produtos
                                      + QStringLiteral(" and") + usados + QStringLiteral(" order by 1"));
            lista->BindInteiro(0, empresa);
            TnCursor &c = lista->Abrir();
            while (c.Proximo())
                nClientDataSetReconcileError(c.Inteiro(0), c.Texto(1));
            lista->Fechar();
            executar(QStringLiteral("delete from PRODUTO as P where P.CODIGOEMPRESA = ? and P.CODIGOPRODUTO in "
                                    "(select T.CODIGOPRODUTO from %1 T) ")
                             .arg(temporaria)
                         + filtroProduto + QStringLiteral(" and not") + usados,
                     {empresa});
            con.Executar(QStringLiteral("drop table %1").arg(temporaria));
        }
        t.Commit();
    } catch (const Exception &e) {
        Mensagens().Limpar();
        Mensagens().Adicionar(QString::fromUtf8(OrvoSLimpezaDesfeita).arg(e.Message()), tmErro);
        throw;
    }
    Mensagens().Adicionar(QString::fromUtf8(OrvoSLctoAfetadosNaLimpeza).arg(excluidos), tmSucesso);
    Mensagens().Adicionar(QStringLiteral("Tempo decorrido: ") + TempoFinal(tempo), tmAviso);
    Mensagens().Adicionar(QString::fromUtf8("Operação concluída!"), tmInformacao);
}

static TnRegistrador<TOrvoDPLimparLctoInv> gRegistro("TOrvoDPLimparLctoInv");
