#include "OrvoDPLimparProdutoInv_U.h"

#include "Acoes.h"
#include "Conexao.h"
#include "CursorDerivado.h"
#include "ExecutarSQL.h"
#include "Interacao.h"
#include "Literais.h"
#include "OrvoDPLimparLctoInv_U.h"
#include "Personalizacao.h"
#include "SQLDataSet.h"
#include "SuiteProduto.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QScopeGuard>

namespace {

const char *const kCRLF = "\r\n";
const char *const kLimpar = "Limpar Produtos";
const char *const kDuplicar = "Duplicar Produtos";

const TnDefProcesso kDeclaracaoLimpar{
    .Caption = QString::fromUtf8(kLimpar),
    .CaptionParametros = QString::fromUtf8(kLimpar),
    .Parametros = {{.Alias = "pCodigoEmpresa", .ChaveDicionario = "CodigoEmpresa"},
                   {.Alias = "pCodigoGrupoProduto", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCGrupoProduto",
                    .ChaveDicionario = "CodigoGrupoProduto", .MultiSelecao = true},
                   {.Alias = "pCodigoUsuario", .ChaveDicionario = "CodigoUsuario", .MultiSelecao = true}},
};

const TnDefProcesso kDeclaracaoDuplicar{
    .Caption = QString::fromUtf8(kDuplicar),
    .CaptionParametros = QString::fromUtf8(kDuplicar),
    .Parametros = {{.Alias = "pCodigoEmpresaOri", .Caption = "Empresa Origem", .Tipo = ntpLookup,
                    .ClasseLookup = "UlmarDCEmpresa", .ChaveDicionario = "CodigoEmpresa", .Requerido = true},
                   {.Alias = "pCodigoGrupoProdutoOri", .Caption = "Conta\\Grupo Origem", .Requerido = true},
                   {.Alias = "pCampoRef", .Caption = "Verificar Existentes", .Tipo = ntpCombo, .Padrao = "0",
                    .Requerido = true,
                    .ListaValores = {QString::fromUtf8("Código=0"), QString::fromUtf8("Referência=1"),
                                     QString::fromUtf8("Descrição=2")}},
                   {.Alias = "pCodigoEmpresaDest", .Caption = "Empresa Destino", .Tipo = ntpLookup,
                    .ClasseLookup = "UlmarDCEmpresa", .ChaveDicionario = "CodigoEmpresa", .Requerido = true},
                   {.Alias = "pCodigoGrupoProdutoDest", .Caption = "Conta\\Grupo Destino", .Requerido = true}},
};

const char *const kGrupoOrigemInexistente =
    "Código de Conta\\Grupo inexistente ou do tipo não analítico na empresa de origem. Processo cancelado.";
const char *const kGrupoDestinoInexistente =
    "Código de Conta\\Grupo inexistente ou do tipo não analítico na empresa de destino. Processo cancelado.";
const char *const kConfirmarDuplicacao =
    "Você está prestes a duplicar os produtos entre as empresas. Lembre-se que não há como desfazer as alterações "
    "sem um Backup do banco de dados. Deseja realmente continuar?";
const char *const kCopiaCancelada =
    "Copia cancelada! Não foi possível copiar os produtos no banco de dados (Tabela: PRODUTO).";

// The copy buffer's fields: texts as wide as the table's columns.
TnDefCampo Inteiro(const char *nome, TFieldType tipo = ftInteger) { return {.Nome = nome, .Tipo = tipo}; }
TnDefCampo Texto(const char *nome, int tamanho) { return {.Nome = nome, .Tipo = ftString, .Tamanho = tamanho}; }
const TnDefCampo kBuffer[] = {
    Inteiro("CodigoEmpresa"), Inteiro("CodigoProduto", ftLargeint), Texto("ReferenProduto", 60),
    Inteiro("CodigoGrupoProduto"), Texto("DescrProduto", 120), Texto("CodigoNCM", 12), Texto("UnidadeMedida", 10),
    {.Nome = "DataAtualizacao", .Tipo = ftDate}, Inteiro("CodigoUsuario"), Texto("DNF", 1), Texto("Dacon", 1),
    Inteiro("INDICADORTIPO", ftSmallint), Texto("TipoCredito", 20), Texto("TipoDebito", 20), Inteiro("CSTEntrada"),
    Inteiro("CSTSaida"), Inteiro("CSTCofinsEntrada"), Inteiro("CSTCofinsSaida"), Texto("TipoCreditoCofins", 20),
    Texto("TipoDebitoCofins", 20),
};

// The source columns copied as they are, buffer field = source column.
const char *const kCopiados[][2] = {
    {"ReferenProduto", "REFERENPRODUTO"}, {"DescrProduto", "DESCRPRODUTO"},   {"CodigoNCM", "CODIGONCM"},
    {"UnidadeMedida", "UNIDADEMEDIDA"},   {"INDICADORTIPO", "INDICADORTIPO"}, {"TipoCredito", "TIPOCREDITO"},
    {"TipoDebito", "TIPODEBITO"},         {"CSTEntrada", "CSTENTRADA"},       {"CSTSaida", "CSTSAIDA"},
    {"CSTCofinsEntrada", "CSTCOFINSENTRADA"}, {"CSTCofinsSaida", "CSTCOFINSSAIDA"},
    {"TipoCreditoCofins", "TIPOCREDITOCOFINS"}, {"TipoDebitoCofins", "TIPODEBITOCOFINS"},
};

// The comparison column of each way of finding existing products.
const char *const kComparacao[] = {"CODIGOPRODUTO", "REFERENPRODUTO", "DESCRPRODUTO"};

} // namespace

// ---- TOrvoDPLimparProdutoInv ----------------------------------------------------------

TOrvoDPLimparProdutoInv::TOrvoDPLimparProdutoInv() : TnDMPowerParam(kDeclaracaoLimpar) {}

QString TOrvoDPLimparProdutoInv::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPLimparProdutoInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                               const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "40 Utilitários", .Caption = kLimpar, .Indice = 130}}, classe, lista, evento, modulos);
}

void TOrvoDPLimparProdutoInv::DepoisConfigurar(TnFormModulo *form)
{
    TnDMPowerParam::DepoisConfigurar(form);
    // The active company is the one cleared.
    EdVisibleField(QStringLiteral("pCodigoEmpresa"), false);
}

void TOrvoDPLimparProdutoInv::Executar()
{
    TnDMPowerParam::Executar();
    if (!ConfirmarComFiltros(QString::fromUtf8(OrvoSAtencaoLimpaLcto) + QString::fromLatin1(kCRLF)
                             + QString::fromUtf8(OrvoSDesejaExcluirArtigo)))
        return;
    Mensagens().Limpar();
    const int empresa = EmpresaAtiva();
    QString sql = QStringLiteral(" delete from PRODUTO where CODIGOEMPRESA = ?");
    if (const TnpqParamItem &grupo = Param(QStringLiteral("pCodigoGrupoProduto")); !grupo.IsNull()) {
        const QStringList analiticos =
            NoParametro(grupo.Alias(), [&] { return PegarGruposAnaliticos(empresa, grupo.AsString().trimmed()); });
        if (analiticos.isEmpty()) {
            Mensagens().Adicionar(QString::fromUtf8(OrvoSGruposSemAnaliticosProduto), tmAviso);
            return;
        }
        sql += FilterInterval(QStringLiteral("CODIGOGRUPOPRODUTO"), analiticos.join(u';'));
    }
    const QString usuarios = Param(QStringLiteral("pCodigoUsuario")).AsString().trimmed();
    sql += NoParametro(QStringLiteral("pCodigoUsuario"),
                       [&] { return FilterInterval(QStringLiteral("CODIGOUSUARIO"), usuarios); });

    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
    progresso->MostrarSimples(QStringLiteral("Limpando Produtos do Inventário... "));
    nDMConexao &con = nDMConexao::Atual();
    int excluidos = 0;
    TnTempo tempo;
    try {
        // Prepared before the transaction: a refusal rolls it back before the statement goes.
        const auto cmd = con.Preparar(sql);
        cmd->BindInteiro(0, empresa);
        TnTransacao t(1, con);
        tempo.Iniciar();
        excluidos = cmd->Executar();
        t.Commit();
    } catch (Exception &e) {
        e.SetMessage(QString::fromUtf8(OrvoSErroLimpezaArtigos) + QString::fromLatin1(kCRLF) + e.Message());
        throw;
    }
    Mensagens().Adicionar(QString::fromUtf8(OrvoSArtigosAfetadosNaLimpeza).arg(excluidos), tmInformacao);
    Mensagens().Adicionar(QStringLiteral("Tempo decorrido: ") + TempoFinal(tempo), tmAviso);
    Mensagens().Adicionar(QString::fromUtf8("Operação concluída!"), tmInformacao);
}

// ---- TOrvoDPDuplicarProdutoInv --------------------------------------------------------

TOrvoDPDuplicarProdutoInv::TOrvoDPDuplicarProdutoInv() : TnDMPowerParam(kDeclaracaoDuplicar)
{
    cdsProdutos.DefinirCampos(kBuffer);
    cdsProdutos.SetLogChanges(false);
    cdsProdutos.CreateDataSet();
}

TOrvoDPDuplicarProdutoInv::~TOrvoDPDuplicarProdutoInv() = default;

void TOrvoDPDuplicarProdutoInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                 const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "40 Utilitários", .Caption = kDuplicar, .Indice = 120}}, classe, lista, evento, modulos);
}

void TOrvoDPDuplicarProdutoInv::ValidarDado()
{
    TnDMPowerParam::ValidarDado();
    FCodEmpOrigem = int(Param(QStringLiteral("pCodigoEmpresaOri")).AsInteger());
    FVerificarExistente = int(Param(QStringLiteral("pCampoRef")).AsInteger());
    FCodEmpDestino = int(Param(QStringLiteral("pCodigoEmpresaDest")).AsInteger());
    if (FVerificarExistente < 0 || FVerificarExistente > 2)
        throw EnParam(QStringLiteral("pCampoRef"), QStringLiteral("Escolha como verificar os produtos existentes."));
    // A group that is no number is no group of the company.
    const auto grupo = [](const TnpqParamItem &p, int empresa, const char *mensagem) {
        qint64 codigo = 0;
        const bool numero = TextoParaInteiro(p.AsString(), codigo) && codigo >= INT_MIN && codigo <= INT_MAX;
        const QVariant achado =
            numero ? nDMSQLDataSet::PegarValorCampo(QStringLiteral("GRUPOPRODUTO"), QStringLiteral("CODIGOGRUPOPRODUTO"),
                                                    QStringLiteral("CodigoEmpresa = %1 and CodigoGrupoProduto = %2 and "
                                                                   "TipoGrupoProduto = 2")
                                                        .arg(ValorParaFiltro(empresa, ftSmallint),
                                                             ValorParaFiltro(codigo, ftInteger)))
                   : QVariant();
        if (!achado.isValid() || achado.isNull() || achado.toLongLong() != codigo)
            throw EnParam(p.Alias(), QString::fromUtf8(mensagem));
        return int(codigo);
    };
    FCodGrupoProdOrigem = grupo(Param(QStringLiteral("pCodigoGrupoProdutoOri")), FCodEmpOrigem, kGrupoOrigemInexistente);
    FCodGrupoProdDestino =
        grupo(Param(QStringLiteral("pCodigoGrupoProdutoDest")), FCodEmpDestino, kGrupoDestinoInexistente);
}

void TOrvoDPDuplicarProdutoInv::Executar()
{
    TnDMPowerParam::Executar();
    if (nMessageDlg(QString::fromUtf8(kConfirmarDuplicacao), mtWarning, mbYes | mbNo) != mbYes)
        return;
    const auto liberar = qScopeGuard([this] {
        cdsProdutos.EmptyDataSet();
        FExistentes.clear();
        FExistentesTexto.clear();
    });
    FTempo.Iniciar();
    CarregarProdutoOrigem();
    GravarProdutosBD();
}

void TOrvoDPDuplicarProdutoInv::CarregarProdutoOrigem()
{
    const QString condicao = QStringLiteral("CODIGOEMPRESA = %1 and CODIGOGRUPOPRODUTO = %2")
                                 .arg(ValorParaFiltro(FCodEmpOrigem, ftSmallint),
                                      ValorParaFiltro(FCodGrupoProdOrigem, ftInteger));
    FQtdOrigem = nDMSQLDataSet::PegarQtdRegistro(QStringLiteral("PRODUTO"), condicao);
    if (FQtdOrigem == 0)
        throw EnParam(QStringLiteral("pCodigoGrupoProdutoOri"),
                      QStringLiteral("Nenhum produto encontrado na empresa de origem. Processo cancelado."));
}

void TOrvoDPDuplicarProdutoInv::CarregarProdutoDestino()
{
    // The target group's values of the comparison column, looked up by key.
    FExistentes.clear();
    FExistentesTexto.clear();
    const auto cmd = nDMConexao::Atual().Preparar(QStringLiteral("select ") + QString::fromLatin1(kComparacao[FVerificarExistente])
                                                  + QStringLiteral(" from PRODUTO where CODIGOEMPRESA = ? and "
                                                                   "CODIGOGRUPOPRODUTO = ?"));
    cmd->BindInteiro(0, FCodEmpDestino);
    cmd->BindInteiro(1, FCodGrupoProdDestino);
    TnCursor &c = cmd->Abrir();
    while (c.Proximo()) {
        if (c.Nulo(0))
            continue;
        if (FVerificarExistente == 0)
            FExistentes.insert(c.Inteiro(0));
        else
            FExistentesTexto.insert(c.Texto(0));
    }
}

void TOrvoDPDuplicarProdutoInv::GravarCDSProdutoDestino()
{
    qint64 proximo = nDMSQLDataSet::PegarProximoCodigo(QStringLiteral("PRODUTO"), QStringLiteral("CODIGOPRODUTO"),
                                                      QStringLiteral("CODIGOEMPRESA = ")
                                                          + ValorParaFiltro(FCodEmpDestino, ftSmallint),
                                                      0, 1);
    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
    progresso->MostrarSimples(QStringLiteral("Duplicando Produtos ..."));
    progresso->ConfigurarProgressoTotal(FQtdOrigem);

    // The source products read in one pass into the buffer; new codes are given in the
    // order of the source codes.
    const auto origem = nDMConexao::Atual().Preparar(
        QStringLiteral("select CODIGOPRODUTO ,REFERENPRODUTO ,CODIGOGRUPOPRODUTO ,DESCRPRODUTO ,CODIGONCM "
                       ",UNIDADEMEDIDA ,INDICADORTIPO ,TIPOCREDITO ,TIPODEBITO ,CSTENTRADA ,CSTSAIDA ,CSTCOFINSENTRADA "
                       ",CSTCOFINSSAIDA ,TIPOCREDITOCOFINS ,TIPODEBITOCOFINS from PRODUTO where CODIGOEMPRESA = ? "
                       "and CODIGOGRUPOPRODUTO = ?")
        + (FVerificarExistente == 0 ? QString() : QStringLiteral(" order by CODIGOPRODUTO")));
    origem->BindInteiro(0, FCodEmpOrigem);
    origem->BindInteiro(1, FCodGrupoProdOrigem);
    cdsProdutos.EmptyDataSet();
    TnCursorDerivado linhas(origem->Abrir());
    const int codigo = linhas.IndiceOrigem(QStringLiteral("CODIGOPRODUTO"));
    const int comparado = linhas.IndiceOrigem(QString::fromLatin1(kComparacao[FVerificarExistente]));
    const auto constante = [](qint64 i) {
        TnCelula c;
        c.Nulo = false;
        c.I = i;
        return c;
    };
    TnCelula zero;
    zero.Nulo = false;
    zero.S = QStringLiteral("0");
    linhas.ColunaConstante(QStringLiteral("CodigoEmpresa"), ftInteger, constante(FCodEmpDestino))
        .ColunaCalculada(QStringLiteral("CodigoProduto"), ftLargeint,
                         [this, codigo, &proximo](TnCursor &o, TnCelula &v) {
                             // Code mode keeps the source code; the others take the next free one.
                             v.I = FVerificarExistente == 0 ? o.Inteiro(codigo) : proximo++;
                             return true;
                         })
        .ColunaConstante(QStringLiteral("CodigoGrupoProduto"), ftInteger, constante(FCodGrupoProdDestino))
        .ColunaConstante(QStringLiteral("DataAtualizacao"), ftDate, constante(QDate::currentDate().toJulianDay()))
        .ColunaConstante(QStringLiteral("CodigoUsuario"), ftInteger, constante(CodigoUsuarioConectado()))
        .ColunaConstante(QStringLiteral("DNF"), ftString, zero)
        .ColunaConstante(QStringLiteral("Dacon"), ftString, zero);
    for (const auto &par : kCopiados)
        linhas.Coluna(QString::fromLatin1(par[1]), QString::fromLatin1(par[0]));
    // Every source product counts in the progress; those the target group has are skipped.
    linhas.SetFiltro([this, comparado, &progresso](TnCursor &o) {
        progresso->IncProgressoTotal();
        if (o.Nulo(comparado))
            return true;
        return FVerificarExistente == 0 ? !FExistentes.contains(o.Inteiro(comparado))
                                        : !FExistentesTexto.contains(o.Texto(comparado));
    });
    cdsProdutos.CarregarDe(linhas);
}

int TOrvoDPDuplicarProdutoInv::CopiarEmConjunto()
{
    QString colunas, valores;
    for (const auto &par : kCopiados) {
        colunas += QStringLiteral(", ") + QString::fromLatin1(par[1]);
        valores += QStringLiteral(", O.") + QString::fromLatin1(par[1]);
    }
    const QString comparado = QString::fromLatin1(kComparacao[FVerificarExistente]);
    // Code mode keeps the source code; the others number the copies from the target
    // company's next free code in the order of the source codes, as the copy row by row does.
    const QString codigo = FVerificarExistente == 0
                               ? QStringLiteral("O.CODIGOPRODUTO")
                               : QStringLiteral("cast(? as bigint) + row_number() over (order by O.CODIGOPRODUTO) - 1");
    const auto cmd = nDMConexao::Atual().Preparar(
        QStringLiteral("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO, DATAATUALIZACAO, "
                       "CODIGOUSUARIO, DNF, DACON%1) select ?, %2, ?, ?, ?, '0', '0'%3 from PRODUTO O "
                       "where O.CODIGOEMPRESA = ? and O.CODIGOGRUPOPRODUTO = ? and not exists (select 1 from PRODUTO D "
                       "where D.CODIGOEMPRESA = ? and D.CODIGOGRUPOPRODUTO = ? and D.%4 = O.%4)")
            .arg(colunas, codigo, valores, comparado));
    int i = 0;
    cmd->BindInteiro(i++, FCodEmpDestino);
    if (FVerificarExistente != 0)
        cmd->BindInteiro(i++, nDMSQLDataSet::PegarProximoCodigo(QStringLiteral("PRODUTO"), QStringLiteral("CODIGOPRODUTO"),
                                                                QStringLiteral("CODIGOEMPRESA = ")
                                                                    + ValorParaFiltro(FCodEmpDestino, ftSmallint),
                                                                0, 1));
    cmd->BindInteiro(i++, FCodGrupoProdDestino);
    cmd->BindData(i++, QDate::currentDate());
    cmd->BindInteiro(i++, CodigoUsuarioConectado());
    cmd->BindInteiro(i++, FCodEmpOrigem);
    cmd->BindInteiro(i++, FCodGrupoProdOrigem);
    cmd->BindInteiro(i++, FCodEmpDestino);
    cmd->BindInteiro(i++, FCodGrupoProdDestino);
    return cmd->Executar();
}

void TOrvoDPDuplicarProdutoInv::GravarProdutosBD()
{
    int gravados = 0;
    try {
        TnTransacao t(1);
        // The products never leave the database. A refusal undoes the set-based copy alone;
        // the copy row by row then meets it again and names the product refused.
        bool copiado = false;
        try {
            const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
            progresso->MostrarSimples(QStringLiteral("Duplicando Produtos ..."));
            TnTransacao emConjunto(2);
            gravados = CopiarEmConjunto();
            emConjunto.Commit();
            copiado = true;
        } catch (const EAbort &) {
            throw;
        } catch (const Exception &) {
            gravados = 0;
        }
        if (!copiado) {
            CarregarProdutoDestino();
            GravarCDSProdutoDestino();
            if (cdsProdutos.Active() && !cdsProdutos.IsEmpty())
                gravados =
                    GravarCDS(cdsProdutos, QStringLiteral("Produto"), QStringLiteral("CodigoEmpresa;CodigoProduto;"));
        }
        t.Commit();
    } catch (Exception &e) {
        e.SetMessage(QString::fromUtf8(kCopiaCancelada) + QString::fromLatin1(kCRLF) + e.Message());
        throw;
    }
    Mensagens().Adicionar(QStringLiteral("Inseridos %1 produtos na empresa de destino de %2 produtos da empresa de origem!")
                              .arg(gravados)
                              .arg(FQtdOrigem),
                          tmInformacao);
    Mensagens().Adicionar(QString::fromUtf8("Operação concluída! Tempo decorrido: ") + FTempo.Decorrido(), tmSucesso);
}

static TnRegistrador<TOrvoDPLimparProdutoInv> gRegistroLimpar("TOrvoDPLimparProdutoInv");
static TnRegistrador<TOrvoDPDuplicarProdutoInv> gRegistroDuplicar("TOrvoDPDuplicarProdutoInv");
