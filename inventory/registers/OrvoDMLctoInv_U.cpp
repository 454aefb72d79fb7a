#include "OrvoDMLctoInv_U.h"

#include "Acoes.h"
#include "Conexao.h"
#include "ControleExtra.h"
#include "Excecoes.h"
#include "InfoCadastro.h"
#include "Interacao.h"
#include "Literais.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "SQLDataSet.h"
#include "SuiteInv.h"
#include "SuiteProduto.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QLocale>
#include <QScopeGuard>
#include <QSettings>

namespace {

const char *const kCaption = "Lançamentos do Inventário";
const char *const kPaginaDados = "Dados do Inventário";
const char *const kPaginaST = "Informação Complementar ST";
// Quantities, costs and taxes are typed without a sign: digits, the comma and the point.
const char *const kNumeroSemSinal = "0123456789,.";
const char *const kDigitos = "0123456789";
const char *const kDigitosELetras = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
const char *const kFormatoValor = "###,##0.00";

// A value in cents as an extra control holds it: Brazilian comma, no grouping ("1234,56").
QString TextoValor(double v) { return FormatFloat(QStringLiteral("0.00"), v); }

TnDefCampo Valor6(const char *nome, const char *caption, const char *hint)
{
    const QString formato = QStringLiteral("#,##0.000000");
    return {.Nome = nome, .Tipo = ftFloat, .Requerido = true,
            .Def = {.DisplayLabel = QString::fromUtf8(caption), .Pagina = QString::fromUtf8(kPaginaDados),
                    .Hint = QString::fromUtf8(hint), .TamanhoMaximo = 16, .Digitos = 14, .Decimais = 6,
                    .DisplayFormat = formato, .CaracteresAceitos = kNumeroSemSinal, .CopiarAnterior = true}};
}

TnDefCampo Imposto(const char *nome, const char *caption, const char *hint)
{
    return {.Nome = nome, .Tipo = ftBCD, .Precisao = 18, .Escala = 2,
            .Def = {.DisplayLabel = QString::fromUtf8(caption), .Pagina = QString::fromUtf8(kPaginaDados),
                    .Hint = QString::fromUtf8(hint), .TamanhoMaximo = 14, .Digitos = 14, .Decimais = 2,
                    .DisplayFormat = QStringLiteral("#,##0.00"), .CaracteresAceitos = kNumeroSemSinal}};
}

TnDefCampo ValorMedio(const char *nome, const char *caption, int decimais)
{
    return {.Nome = nome, .Tipo = ftBCD, .Precisao = 18, .Escala = 6,
            .Def = {.Chave = QStringLiteral("DICVALOR6"), .DisplayLabel = QString::fromUtf8(caption),
                    .Pagina = QString::fromUtf8(kPaginaST), .Hint = QStringLiteral("Informe o valor"),
                    .TamanhoMaximo = 18, .Digitos = 18, .Decimais = decimais,
                    .DisplayFormat = QStringLiteral("#,##0.000000")}};
}

TnDefCampo Painel(const char *nome, TFieldType tipo, int tamanho = 0)
{
    return {.Nome = nome, .Tipo = tipo, .Tamanho = tamanho, .Flags = 0, .Def = {.Visivel = false, .Habilitado = false}};
}

std::vector<TnDefCampo> Campos()
{
    return {
        {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true,
         .Def = {.Chave = "CODIGOEMPRESA", .TamanhoMaximo = 4, .CamposLink = "CODIGOEMPRESA"}},
        {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true,
         .Def = {.Chave = "CODIGOESTAB", .TamanhoMaximo = 4, .Habilitado = false,
                 .CamposLink = "CODIGOEMPRESA;CODIGOESTAB"}},
        {.Nome = "DATAINVENT", .Tipo = ftDate, .Requerido = true, .Def = {.Chave = "DATAINVENT", .Habilitado = false}},
        {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Requerido = true,
         .Def = {.Chave = "CODIGOPRODUTO", .Digitos = 15, .CamposLink = "CODIGOEMPRESA;CODIGOPRODUTO"}},
        {.Nome = "MOTIVOINVENTARIO", .Tipo = ftSmallint, .Requerido = true,
         .Def = {.Chave = "MOTIVOINVENTARIO", .DisplayLabel = QString::fromUtf8("Motivo Inventário"),
                 .TamanhoMaximo = 4, .ListaValores = ListaMotivoInventario(), .TipoControle = ntcCombo}},
        Valor6("QTDEESTOQUE", "Quantidade", "Quantidade em estoque"),
        Valor6("PRECOUNIT", "Custo Unitário", "Preço unitário do produto"),
        {.Nome = "VALORIR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2,
         .Def = {.Chave = "DICVALOR", .DisplayLabel = "Valor IR", .Pagina = QString::fromUtf8(kPaginaDados),
                 .Hint = "Informe o valor para efeitos do imposto de renda", .Digitos = 14, .Decimais = 2}},
        Imposto("VALORICMS", "Valor de ICMS", "Valor de ICMS a recuperar"),
        Imposto("VALORPIS", "Valor de PIS", "Informe o Valor do PIS"),
        Imposto("VALORCOFINS", "Valor de COFINS", "Informe o Valor do COFINS"),
        {.Nome = "OBSLCTOINV", .Tipo = ftString, .Tamanho = 40,
         .Def = {.DisplayLabel = QString::fromUtf8("Observação"), .Pagina = QString::fromUtf8(kPaginaDados),
                 .Hint = QString::fromUtf8("Observação")}},
        {.Nome = "DATAHORALCTOINV", .Tipo = ftDateTime, .Requerido = true,
         .Def = {.DisplayLabel = "Data Hora Cadastro", .Hint = "Informe a data e hora do cadastro",
                 .TipoControle = ntcActDataHora, .Visivel = false, .Habilitado = false}},
        {.Nome = "CODIGOUSUARIO", .Tipo = ftSmallint, .Requerido = true,
         .Def = {.Chave = "CODIGOUSUARIO", .TamanhoMaximo = 4, .Visivel = false}},
        ValorMedio("VALORMEDIOICMS", "Valor Médio Unit. ICMS", 6),
        ValorMedio("VALORMEDIOBCICMSST", "Valor Médio Unit. BC ICMS ST", 2),
        ValorMedio("VALORMEDIOICMSST", "Valor Médio Unit. ICMS ST", 6),
        ValorMedio("VALORMEDIOFCP", "Valor Médio Unit. FCP", 6),
        {.Nome = "ORIGEMDADO", .Tipo = ftSmallint, .Requerido = true,
         .Def = {.Chave = "ORIGEMDADO", .TamanhoMaximo = 4,
                 .ListaValores = {QString::fromUtf8("Automático=1"), QStringLiteral("Digitado=2"),
                                  QStringLiteral("Importado=3")},
                 .TipoControle = ntcCombo, .Visivel = false}},
        {.Nome = "IDSYN", .Tipo = ftInteger,
         .Def = {.DisplayLabel = QString::fromUtf8("Código SYN"), .TamanhoMaximo = 9, .Habilitado = false}},
        // The product's panel columns, read with the row (PRODUTO joined): moving to an entry
        // shows its product without a read of its own. Never written; PAINELCODIGOPRODUTO is
        // empty when the product does not exist.
        Painel("PAINELCODIGOPRODUTO", ftLargeint),
        Painel("PAINELREFERENPRODUTO", ftString, 60),
        Painel("PAINELCODIGOGRUPOPRODUTO", ftInteger),
        Painel("PAINELDESCRPRODUTO", ftString, 120),
        Painel("PAINELCODIGONCM", ftString, 12),
        Painel("PAINELUNIDADEMEDIDA", ftString, 10),
        // A percentage beside the row, never read nor written.
        {.Nome = "ALIQUOTACLOUD", .Tipo = ftFloat, .Kind = fkInternalCalc, .Flags = 0,
         .Def = {.DisplayLabel = QString::fromUtf8("Alíquota ICMS"), .Pagina = QString::fromUtf8(kPaginaDados),
                 .Hint = QString::fromUtf8("Valor da alíquota do ICMS"), .TamanhoMaximo = 14, .Digitos = 14,
                 .Decimais = 2, .DisplayFormat = QStringLiteral("#,##0.00"), .CaracteresAceitos = kNumeroSemSinal,
                 .Visivel = false}},
    };
}

const TnDefCadastro kDeclaracao{
    .SQL = "Select t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO, "
           "t_t.QTDEESTOQUE, t_t.PRECOUNIT, t_t.VALORIR, t_t.VALORICMS, t_t.VALORPIS, t_t.VALORCOFINS, "
           "t_t.OBSLCTOINV, t_t.DATAHORALCTOINV, t_t.CODIGOUSUARIO, t_t.VALORMEDIOICMS, t_t.VALORMEDIOBCICMSST, "
           "t_t.VALORMEDIOICMSST, t_t.VALORMEDIOFCP, t_t.ORIGEMDADO, t_t.IDSYN, "
           "p_p.CODIGOPRODUTO as PAINELCODIGOPRODUTO, p_p.REFERENPRODUTO as PAINELREFERENPRODUTO, "
           "p_p.CODIGOGRUPOPRODUTO as PAINELCODIGOGRUPOPRODUTO, p_p.DESCRPRODUTO as PAINELDESCRPRODUTO, "
           "p_p.CODIGONCM as PAINELCODIGONCM, p_p.UNIDADEMEDIDA as PAINELUNIDADEMEDIDA, "
           "cast(null as numeric(10,0)) as ALIQUOTACLOUD from LCTOINV t_t left join PRODUTO p_p on "
           "p_p.CODIGOEMPRESA = t_t.CODIGOEMPRESA and p_p.CODIGOPRODUTO = t_t.CODIGOPRODUTO order by t_t.CODIGOEMPRESA, "
           "t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO",
    .Tabela = "LCTOINV",
    .Campos = Campos(),
    .Chave = kChaveLctoInv,
    .Ordem = "CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO",
    .Caption = QString::fromUtf8(kCaption),
    .TipoForm = ntfCadPage,
    .CadCons = "OrvoDCLctoInv",
    .Menus = {{.Caption = QString::fromUtf8(kCaption), .Categoria = "02 Movimentos", .Indice = 1,
               .Atalho = "Ctrl+Shift+L", .Modulo = "Orvo", .Imagem = 100, .Web = true}},
    .Relatorios = {"OrvoRRRelacao"},
};

constexpr int kModuloOrvo = 3;
const QDateTime kFim2019(QDate(2019, 12, 31), QTime(0, 0));

// The product parameters, by position; position 0 holds the entry's company.
std::unique_ptr<TnpqPowerParam> CriarParamsProduto()
{
    auto p = std::make_unique<TnpqPowerParam>();
    p->Adicionar({.Alias = "pCodigoEmpresa", .Visivel = false});
    p->Adicionar({.Alias = "pReferenProduto", .Caption = QString::fromUtf8("Referência"),
                  .Hint = QString::fromUtf8("Informe a referência para o produto, pode ser um texto ou apelido"),
                  .TamanhoMaximo = 15});
    p->Adicionar({.Alias = "pCodigoGrupoProduto", .ChaveDicionario = "CODIGOGRUPOPRODUTO", .Requerido = true,
                  .TamanhoMaximo = 10, .CaracteresAceitos = kDigitosELetras});
    p->Adicionar({.Alias = "pDescrProduto", .Caption = QString::fromUtf8("Descrição"), .Requerido = true,
                  .Hint = QString::fromUtf8("Informe a descrição que identifica o produto"), .TamanhoMaximo = 40});
    p->Adicionar({.Alias = "pCodigoNCM", .Caption = QString::fromUtf8("Classificação Fiscal"),
                  .ChaveDicionario = "CODIGONCMPRODUTO", .Hint = QString::fromUtf8("Código da nomenclatura comum do mercosul"),
                  .TamanhoMaximo = 12});
    p->Adicionar({.Alias = "pUnidadeMedida", .Caption = "Unidade Medida", .Requerido = true,
                  .Hint = "Sigla da unidade de medida para o produto", .TamanhoMaximo = 10});
    return p;
}

// A product parameter the company may or may not use: enabled and required together.
void HabilitarERequerer(TnpqParamItem &p, bool sim)
{
    p.SetHabilitado(sim);
    p.SetRequerido(sim);
}

// The PRODUTO column a product parameter fills: its alias without the first letter.
QString ColunaDoParam(const TnpqParamItem &p) { return p.Alias().mid(1).toUpper(); }

// A transaction number not open on the connection, so that a caller's is never reused.
int TransacaoLivre(int inicio)
{
    while (nDMConexao::Atual().InTransaction(inicio))
        ++inicio;
    return inicio;
}

} // namespace

TOrvoDMLctoInv::TOrvoDMLctoInv() : TnDMClientDataSet(kDeclaracao), FParamsProduto(CriarParamsProduto())
{
    LimparParamsProduto();
    FieldByName(QStringLiteral("CODIGOPRODUTO")).OnSetText = [this](TnField &campo, const QString &texto) {
        nClientDataSetCODIGOPRODUTOSetText(campo, texto);
    };
    // A save that fails after the product was created (the entry refused by the database)
    // takes the product back at once, so no transaction stays open.
    TnClientDataSet &ds = nClientDataSet();
    for (auto *evento : {&ds.BeforePost, &ds.AfterPost})
        *evento = [this, anterior = *evento](TnClientDataSet &d) {
            try {
                if (anterior)
                    anterior(d);
            } catch (...) {
                DesfazerProdutoPendente();
                throw;
            }
        };
    // The inventory date is the one selected when the module is created.
    const QDate data = QDate::fromString(ExternalVar(QString::fromLatin1(VarFw::gDataInvent)).trimmed(),
                                         QStringLiteral("dd/MM/yyyy"));
    FDataInvent = data.isValid() && !ModoImportacao() ? QDateTime(data, QTime(0, 0)) : QDateTime::currentDateTime();
    ConfigurarMotivoInventario();
}

TOrvoDMLctoInv::~TOrvoDMLctoInv()
{
    DesfazerProdutoPendente();
    if (FDMPropriedade)
        DestruirDM(FDMPropriedade.data());
}

QString TOrvoDMLctoInv::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa;CodigoEstab;DataInvent"); }

int TOrvoDMLctoInv::PegarTipoObjeto() { return 1; }

void TOrvoDMLctoInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                      const TnModulos &modulos)
{
    GerarAcao({{.Modulo = kModuloOrvo, .Categoria = "20 Movimentos", .Caption = kCaption, .Indice = 10,
                .Atalho = "Ctrl+Shift+L", .Imagem = 100}},
              classe, lista, evento, modulos);
}

QString TOrvoDMLctoInv::ChavePrimaria() const { return QString::fromLatin1(kChaveLctoInv); }

void *TOrvoDMLctoInv::npqPowerParam() { return FParamsProduto.get(); }

// ---- product panel and lookup

TnUtilProduto &TOrvoDMLctoInv::CriarDMProdutoInv()
{
    if (!FProduto)
        FProduto = std::make_unique<TnUtilProduto>();
    FProduto->SetCodigoEmpresa(FieldByName(QStringLiteral("CODIGOEMPRESA")).AsInteger());
    return *FProduto;
}

bool TOrvoDMLctoInv::ProdutoExiste()
{
    const TnField &codigo = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    if (codigo.IsNull())
        return false;
    // What the row or the save's read already knows of the product.
    if (ProdutoNaLinha() || FProdutoLido == codigo.AsLargeInt())
        return true;
    if (FProdutoAusente == codigo.AsLargeInt())
        return false;
    return CriarDMProdutoInv().EncontrarCodigo(codigo.AsLargeInt());
}

void TOrvoDMLctoInv::nClientDataSetCODIGOPRODUTOSetText(TnField &campo, const QString &texto)
{
    const QString t = texto.trimmed();
    if (t.isEmpty() || !UsaReferencia()) {
        campo.SetAsString(texto);
        return;
    }
    // Keyed lookup: the reference (any case) wins over another product's code, and a text
    // that is no number never matches a code.
    TnUtilProduto &produto = CriarDMProdutoInv();
    if (!produto.EncontrarProduto(t))
        throw Exception(QString::fromUtf8(OrvoSReferenciaNaoEncontrada));
    campo.SetAsLargeInt(produto.GetCodigoProduto());
}

void TOrvoDMLctoInv::LimparParamsProduto()
{
    for (int i = 1; i < FParamsProduto->Count(); ++i)
        FParamsProduto->Items(i).SetText(QStringLiteral(" "));
}

void TOrvoDMLctoInv::MostrarValoresProdutoInv()
{
    const TnField &codigo = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    const TnField &empresa = FieldByName(QStringLiteral("CODIGOEMPRESA"));
    if (!nClientDataSet().Active() || codigo.IsNull()) {
        LimparParamsProduto();
    } else if (ProdutoNaLinha()) {
        for (int i = 1; i < FParamsProduto->Count(); ++i) {
            TnpqParamItem &p = FParamsProduto->Items(i);
            const QVariant v = FieldByName(QStringLiteral("PAINEL") + ColunaDoParam(p)).Value();
            p.SetText(EhNulo(v) ? QStringLiteral(" ") : v.toString());
        }
    } else if (CriarDMProdutoInv().EncontrarCodigo(codigo.AsLargeInt())) {
        for (int i = 1; i < FParamsProduto->Count(); ++i) {
            TnpqParamItem &p = FParamsProduto->Items(i);
            const QVariant v = FProduto->Valor(ColunaDoParam(p));
            p.SetText(EhNulo(v) ? QStringLiteral(" ") : v.toString());
        }
    }
    FParamsProduto->Items(0).SetText(nClientDataSet().Active() ? empresa.AsString() : QString());
    MostrarParamsProduto();
}

void TOrvoDMLctoInv::MostrarParamsProduto()
{
    if (FParamsProduto->TemPainel())
        FParamsProduto->DisplayParamsLoad();
}

void TOrvoDMLctoInv::SalvarParamsProduto()
{
    if (FParamsProduto->TemPainel())
        FParamsProduto->DisplayParamsSave(true);
}

void TOrvoDMLctoInv::HabilitaDesabilitaProdutos(bool habilitar)
{
    HabilitarERequerer(FParamsProduto->Param(QStringLiteral("pReferenProduto")), habilitar && UsaReferencia());
    for (const char *alias : {"pCodigoGrupoProduto", "pDescrProduto", "pUnidadeMedida"})
        FParamsProduto->Param(QString::fromLatin1(alias)).SetHabilitado(habilitar);
    HabilitarERequerer(FParamsProduto->Param(QStringLiteral("pCodigoNCM")), habilitar && UsaClassifFiscal());
    MostrarParamsProduto();
}

void TOrvoDMLctoInv::nClientDataSetCODIGOPRODUTODefIntExit()
{
    TnClientDataSet &ds = nClientDataSet();
    if (ds.State() == dsInsert && !ModoImportacao()) {
        TnField &codigo = FieldByName(QStringLiteral("CODIGOPRODUTO"));
        const int empresa = FieldByName(QStringLiteral("CODIGOEMPRESA")).AsInteger();
        const QString condicao = QStringLiteral("CODIGOEMPRESA = ") + ValorParaSQL(empresa, ftSmallint);
        const auto proximo = [&] {
            return nDMSQLDataSet::PegarProximoCodigo(QStringLiteral("PRODUTO"), QStringLiteral("CODIGOPRODUTO"),
                                                     condicao, 0, 1);
        };
        if (codigo.IsNull()) {
            codigo.SetAsLargeInt(proximo());
        } else if (!ProdutoExiste()
                   && nMessageDlg(QString::fromUtf8(OrvoSProdutoNaoCadastrado), mtInformation, mbYes | mbNo) == mbYes) {
            // "No" keeps the typed code: the product is created with it when the entry is saved.
            codigo.SetAsLargeInt(proximo());
        }
    }
    ConfigurarCampo(&ds);
}

void TOrvoDMLctoInv::PreencherParamsProduto()
{
    const TnField &codigo = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    if (codigo.IsNull()) {
        HabilitaDesabilitaProdutos(false);
        return;
    }
    if (ProdutoExiste()) {
        HabilitaDesabilitaProdutos(false);
        return;
    }
    // A product still to be created: the columns the user chose to copy take the values
    // of the previous entry's panel; other chosen columns start empty; the rest stay.
    for (int i = 1; i < FParamsProduto->Count(); ++i) {
        TnpqParamItem &p = FParamsProduto->Items(i);
        if (!FCopiarValorProduto.contains(ColunaDoParam(p) + QLatin1Char(';')))
            continue;
        const QString &alias = p.Alias();
        const QString *anterior = nullptr;
        if (alias == QLatin1String("pCodigoGrupoProduto"))
            anterior = &FOldConta;
        else if (alias == QLatin1String("pDescrProduto"))
            anterior = &FOldDescricao;
        else if (alias == QLatin1String("pUnidadeMedida"))
            anterior = &FOldUnidadeMedida;
        else if (alias == QLatin1String("pCodigoNCM"))
            anterior = &FOldCodigoNCM;
        p.SetText(anterior && !anterior->isEmpty() ? *anterior : QStringLiteral(" "));
    }
    HabilitaDesabilitaProdutos(true);
    // The panel was closed when the focus left the code and passed it by: the focus goes on
    // into it, to its first control open to typing.
    if (FForm)
        for (int i = 1; i < FParamsProduto->Count(); ++i)
            if (const TnpqParamItem &p = FParamsProduto->Items(i); p.Habilitado() && p.Visivel()) {
                FForm->FocarControle(p.Alias());
                break;
            }
}

void TOrvoDMLctoInv::ValidarApelidoGrupoProduto()
{
    TnpqParamItem &grupo = FParamsProduto->Param(QStringLiteral("pCodigoGrupoProduto"));
    const QString texto = grupo.Text().trimmed();
    bool inteiro = false;
    texto.toLongLong(&inteiro);
    if (!texto.isEmpty() && !inteiro) {
        auto cmd = nDMConexao::Atual().Preparar(QStringLiteral(
            "select CODIGOGRUPOPRODUTO from GRUPOPRODUTO where CODIGOEMPRESA = ? and "
            "UPPER(APELIDOGRUPOPRODUTO) = UPPER(?)"));
        cmd->BindInteiro(0, FieldByName(QStringLiteral("CODIGOEMPRESA")).AsInteger());
        cmd->BindValor(1, texto);
        TnCursor &c = cmd->Abrir();
        if (!c.Proximo() || EhNulo(c.Valor(0)))
            throw EnParam(grupo.Alias(), QString::fromUtf8(OrvoSApelidoGrupoInvalido));
        grupo.SetText(c.Valor(0).toString());
        MostrarParamsProduto();
    }
    if (FCodigoGrupoInvnDBEditExit)
        FCodigoGrupoInvnDBEditExit(grupo);
}

void TOrvoDMLctoInv::CriarProdutoFaltante()
{
    const TnField &codigo = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    if (ModoImportacao() || codigo.IsNull())
        return;
    SalvarParamsProduto();
    if (ProdutoExiste())
        return;
    QVariantMap registro{{QStringLiteral("CODIGOPRODUTO"), codigo.AsLargeInt()}};
    for (int i = 1; i < FParamsProduto->Count(); ++i) {
        const TnpqParamItem &p = FParamsProduto->Items(i);
        if (p.Requerido() && p.IsNull())
            throw EnParam(p.Alias(), QStringLiteral("O campo \"%1\" do produto deve ser informado.").arg(p.Caption()));
        // The product utility stores a blank (the panel's empty mark) as NULL.
        registro.insert(ColunaDoParam(p), p.Text());
    }
    if (registro.value(QStringLiteral("REFERENPRODUTO")).toString().trimmed().isEmpty() && !UsaReferencia())
        registro.insert(QStringLiteral("REFERENPRODUTO"), codigo.AsString());
    // A group nobody has is refused at its parameter (the database would refuse it too).
    const TnpqParamItem &grupo = FParamsProduto->Param(QStringLiteral("pCodigoGrupoProduto"));
    qint64 codigoGrupo = 0;
    if (TextoParaInteiro(grupo.Text(), codigoGrupo)
        && !nDMSQLDataSet::PegarTemRegistro(QStringLiteral("GRUPOPRODUTO"), QStringLiteral("CODIGOGRUPOPRODUTO"),
                                            QStringLiteral("CODIGOEMPRESA = %1 and CODIGOGRUPOPRODUTO = %2")
                                                .arg(ValorParaSQL(FieldByName(QStringLiteral("CODIGOEMPRESA")).AsInteger(), ftSmallint),
                                                     ValorParaSQL(codigoGrupo, ftInteger))))
        throw EnParam(grupo.Alias(), QString::fromUtf8(OrvoSGrupoNaoCadastrado).arg(codigoGrupo));
    // The product and the entry are written in one transaction, committed once the entry
    // is written (nClientDataSetAfterPost); a product that cannot be written leaves nothing.
    auto transacao = std::make_unique<TnTransacao>(TransacaoLivre(7290));
    CriarDMProdutoInv().InserirProduto(registro);
    FTransacaoProduto = std::move(transacao);
    FProdutoAusente = -1;
    QVariantList painel;
    for (const char *c : {"REFERENPRODUTO", "CODIGOGRUPOPRODUTO", "DESCRPRODUTO", "CODIGONCM", "UNIDADEMEDIDA"})
        painel << FProduto->Valor(QString::fromLatin1(c));
    GuardarProdutoNaLinha(codigo.AsLargeInt(), painel);
}

void TOrvoDMLctoInv::DesfazerProdutoPendente()
{
    FTransacaoProduto.reset();
}

void TOrvoDMLctoInv::nClientDataSetBeforeInsert(TnClientDataSet &ds)
{
    DesfazerProdutoPendente();
    TnDMClientDataSet::nClientDataSetBeforeInsert(ds);
    // The panel's values as they were: a new product of the next entry proposes them.
    SalvarParamsProduto();
    const auto texto = [this](const char *alias) {
        return FParamsProduto->Param(QString::fromLatin1(alias)).Text().trimmed();
    };
    FOldConta = texto("pCodigoGrupoProduto");
    FOldDescricao = texto("pDescrProduto");
    FOldUnidadeMedida = texto("pUnidadeMedida");
    FOldCodigoNCM = texto("pCodigoNCM");
}

void TOrvoDMLctoInv::nClientDataSetBeforeCancel(TnClientDataSet &ds)
{
    DesfazerProdutoPendente();
    TnDMClientDataSet::nClientDataSetBeforeCancel(ds);
}

void TOrvoDMLctoInv::nClientDataSetAfterPost(TnClientDataSet &ds)
{
    if (FTransacaoProduto) {
        FTransacaoProduto->Commit();
        FTransacaoProduto.reset();
    }
    TnDMClientDataSet::nClientDataSetAfterPost(ds);
    if (!ModoImportacao())
        CopiarParaOutrasConsultas();
}

void TOrvoDMLctoInv::CopiarParaOutrasConsultas()
{
    // The open consultations of the entries show the saved row at once.
    for (const char *classe : {"TOrvoDCLctoInv", "TOrvoDCLctoInvSyn"})
        for (TnDataModule *m : Registro().Instancias(QString::fromLatin1(classe)))
            if (auto *dc = qobject_cast<TnDMClientDataSet *>(m))
                dc->SincroCopiarDados(nClientDataSet());
}

void TOrvoDMLctoInv::ConfigurarMotivoInventario()
{
    QStringList lista = ListaMotivoInventario();
    if (!(FDataInvent > kFim2019))
        lista.removeLast();
    FieldByName(QStringLiteral("MOTIVOINVENTARIO")).Def().ListaValores = lista;
}

QString TOrvoDMLctoInv::TextoOrigem(const QVariant &origem)
{
    if (EhNulo(origem))
        return QString();
    switch (origem.toInt()) {
    case 1: return QString::fromUtf8("Automático");
    case 2: return QStringLiteral("Digitado");
    case 3: return QStringLiteral("Importado");
    default: return QString();
    }
}

// ---- settings

void TOrvoDMLctoInv::CarregarCfgEmpresa()
{
    FCfgEmpresa.Carregar(nClientDataSet(), [this](int empresa) {
        // The company's settings as the entry modules keep them (read once per company).
        FCfg = CfgLctoInv(empresa);
        // The product register's copy choice of this user; kept as it was when never set.
        const std::unique_ptr<QSettings> ini = CriarINIModuloCfg();
        const QString copiar = PegarSectionUsuario(QStringLiteral("frmUlmarDMProduto")) + QStringLiteral("/CopiarValor");
        if (ini->contains(copiar))
            FCopiarValorProduto = ini->value(copiar).toString();
    });
}

void TOrvoDMLctoInv::LerAoGravar()
{
    // What the save depends on, read fresh in one statement: the settings (another user may
    // have changed them), the user's last permitted date and the product. The panel's
    // columns of the row follow the product as it is now.
    TnClientDataSet &ds = nClientDataSet();
    const TnField &codigo = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    const TnLeituraLctoInv r =
        LerParaLctoInv(ChaveEmpresaConfiguracao(ds).toInt(), codigo.IsNull() ? QVariant() : QVariant(codigo.AsLargeInt()));
    FLimiteLido = r.Limite;
    FProdutoLido = r.TemProduto ? codigo.AsLargeInt() : -1;
    FProdutoAusente = r.TemProduto || codigo.IsNull() ? -1 : codigo.AsLargeInt();
    GuardarProdutoNaLinha(r.TemProduto ? codigo.AsVariant() : QVariant(), r.Produto);
    if (!(r.Cfg == FCfg)) {
        // The row is checked and written under the settings as they are now.
        FCfgEmpresa.Esquecer();
        Configurar();
    }
}

void TOrvoDMLctoInv::GuardarProdutoNaLinha(const QVariant &codigo, const QVariantList &valores)
{
    const auto guardar = [this](const char *campo, const QVariant &v) {
        TnField &f = FieldByName(QString::fromLatin1(campo));
        if (f.IsNull() != EhNulo(v) || (!f.IsNull() && f.AsVariant() != v))
            f.SetAsVariant(v);
    };
    guardar("PAINELCODIGOPRODUTO", codigo);
    int i = 0;
    for (const char *c : {"PAINELREFERENPRODUTO", "PAINELCODIGOGRUPOPRODUTO", "PAINELDESCRPRODUTO", "PAINELCODIGONCM",
                          "PAINELUNIDADEMEDIDA"})
        guardar(c, valores.value(i++));
}

bool TOrvoDMLctoInv::ProdutoNaLinha() const
{
    const TnField &painel = FieldByName(QStringLiteral("PAINELCODIGOPRODUTO"));
    const TnField &codigo = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    return nClientDataSet().Active() && !painel.IsNull() && !codigo.IsNull() && painel.AsLargeInt() == codigo.AsLargeInt();
}

bool TOrvoDMLctoInv::UsaReferencia() { CarregarCfgEmpresa(); return FCfg.UsaReferencia; }
bool TOrvoDMLctoInv::UsaClassifFiscal() { CarregarCfgEmpresa(); return FCfg.UsaClassifFiscal; }
bool TOrvoDMLctoInv::InformaICMS() { CarregarCfgEmpresa(); return FCfg.InformaICMS; }
bool TOrvoDMLctoInv::InformaPISCOFINS() { CarregarCfgEmpresa(); return FCfg.InformaPISCOFINS; }
int TOrvoDMLctoInv::QtdeCasaDecimal() { CarregarCfgEmpresa(); return FCfg.QtdeCasaDecimal; }
int TOrvoDMLctoInv::QtdeCasaDecimalQtd() { CarregarCfgEmpresa(); return FCfg.QtdeCasaDecimalQtd; }
QVariant TOrvoDMLctoInv::MascClassifFiscal() { CarregarCfgEmpresa(); return FCfg.MascClassifFiscal; }

void TOrvoDMLctoInv::ReconfigurarDM(const QString &parametro, bool recarregar)
{
    // The settings register reconfigures for the company after saving: read them again.
    if (parametro.compare(QStringLiteral("CodigoEmpresa"), Qt::CaseInsensitive) == 0) {
        FCfgEmpresa.Esquecer();
        if (Aberto())
            Configurar();
    }
    TnDMClientDataSet::ReconfigurarDM(parametro, recarregar);
}

// ---- configuration

void TOrvoDMLctoInv::AntesConfigurar(TnFormModulo *form)
{
    TnDMClientDataSet::AntesConfigurar(form);
    FieldByName(QStringLiteral("OBSLCTOINV")).SetDisplayLabel(QString::fromUtf8("Classificação Fiscal"));
    if (form && TipoForm() == ntfCadPage) {
        form->SetLarguraPainel(1, 300);
        form->SetLarguraPainel(2, 75);
    }
    ConfigurarMotivoInventario();
}

void TOrvoDMLctoInv::DepoisConfigurar(TnFormModulo *form)
{
    TnDMClientDataSet::DepoisConfigurar(form);
    FieldByName(QStringLiteral("OBSLCTOINV")).SetDisplayLabel(QString::fromUtf8("Observação"));
    HabilitarCampo(QStringLiteral("CODIGOESTAB"), false);
    HabilitarCampo(QStringLiteral("DATAINVENT"), false);
    if (form && !EhHttpExe()) {
        if (!ModoImportacao())
            CriarControlesExtras();
        CriarPainelProduto(form);
    }
    MostrarValoresProdutoInv();
    MostrarAliquota();
    if (form && TipoForm() == ntfCadPage) {
        if (!FCfgCadastroTrocado) {
            FOnactCfgCadastroExecute = OnCfgCadastro;
            FCfgCadastroTrocado = true;
        }
        OnCfgCadastro = [this] { actCfgCadastroExecute(); };
    }
    CriarDetalhePropriedade();
}

void TOrvoDMLctoInv::actCfgCadastroExecute()
{
    nShowMessage(QString::fromUtf8(OrvoSDicaCfgCadastro));
    if (FOnactCfgCadastroExecute)
        FOnactCfgCadastroExecute();
}

void TOrvoDMLctoInv::CriarControlesExtras()
{
    if (!FValorAliq) {
        FValorAliq = CriarControlsFraFields(QStringLiteral("VALORIR"), QStringLiteral("edValorAliquota"),
                                            QString::fromUtf8("Alíquota ICMS"), ftBCD);
        FValorAliq->SetEditFormat(QStringLiteral("#"));
        FValorAliq->SetCaracteresAceitos(QString::fromLatin1(kNumeroSemSinal));
        FOnValorAliquotaExit = FValorAliq->OnExit;
        FValorAliq->OnExit = [this] { SairDaAliquota(); };
    }
    if (!FValorTotal) {
        FValorTotal = CriarControlsFraFields(QStringLiteral("PRECOUNIT"), QStringLiteral("edValorTotal"),
                                             QStringLiteral("Custo Total"), ftBCD);
        FValorTotal->SetSomenteLeitura(true);
        FValorTotal->SetNegrito(true);
        FValorTotal->SetDisplayFormat(QString::fromLatin1(kFormatoValor));
    }
}

void TOrvoDMLctoInv::CriarPainelProduto(TnFormModulo *form)
{
    if (FParamsProduto->TemPainel())
        return;
    FParamsProduto->DisplayParamsMake(form, QStringLiteral("CODIGOPRODUTO"));
    TnpqParamItem &grupo = FParamsProduto->Param(QStringLiteral("pCodigoGrupoProduto"));
    FCodigoGrupoInvnDBEditExit = grupo.OnExit;
    grupo.OnExit = [this](TnpqParamItem &) { ValidarApelidoGrupoProduto(); };
}

void TOrvoDMLctoInv::Notification(TnFormModulo *form)
{
    TnDMClientDataSet::Notification(form);
    // The panel's controls go with the form; the parameters and their values stay.
    FParamsProduto->EsquecerPainel();
    FParamsProduto->Param(QStringLiteral("pCodigoGrupoProduto")).OnExit = FCodigoGrupoInvnDBEditExit;
}

void TOrvoDMLctoInv::CriarDetalhePropriedade()
{
    if (FDMPropriedade)
        return;
    if (Form())
        FDMPropriedade = CriarDetalheEmPage(QStringLiteral("TOrvoDMLctoInvPropriedade"),
                                            QStringLiteral("Propriedade (&3)"), QString::fromLatin1(kChaveLctoInv),
                                            QStringLiteral("Detalhe"));
    else
        FDMPropriedade = CriarDetalhe(QStringLiteral("TOrvoDMLctoInvPropriedade"), QString::fromLatin1(kChaveLctoInv),
                                      QStringLiteral("Detalhe"));
}

void TOrvoDMLctoInv::ConfigurarTabela(TnClientDataSet *objeto)
{
    TnDMClientDataSet::ConfigurarTabela(objeto);
    const bool classificacao = UsaClassifFiscal();
    TnpqParamItem &ncm = FParamsProduto->Param(QStringLiteral("pCodigoNCM"));
    HabilitarERequerer(ncm, classificacao);
    ncm.SetMascaraEdicao(classificacao ? PrepararMascara(MascClassifFiscal(), 1) : QString());
    HabilitarCampo(QStringLiteral("OBSLCTOINV"), classificacao);
    HabilitarERequerer(FParamsProduto->Param(QStringLiteral("pReferenProduto")), UsaReferencia());
    MostrarParamsProduto();
}

void TOrvoDMLctoInv::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnDMClientDataSet::ConfigurarCampo(objeto);
    const TnClientDataSet &ds = nClientDataSet();
    if (objeto == &nClientDataSet()) {
        // With identification by reference the product is typed as any text.
        TnField &produto = FieldByName(QStringLiteral("CODIGOPRODUTO"));
        const QString aceitos = UsaReferencia() ? QString() : QString::fromLatin1(kDigitos);
        if (produto.Def().CaracteresAceitos != aceitos) {
            produto.Def().CaracteresAceitos = aceitos;
            if (Form())
                Form()->AtualizarControle(produto.FieldName());
        }
    }
    const bool temLinha = ds.Active() && (!ds.IsEmpty() || ds.State() == dsInsert);
    if (Form() && !ModoImportacao()) {
        FormatarNomeDataCadastro(FieldByName(QStringLiteral("CODIGOUSUARIO")),
                                 FieldByName(QStringLiteral("DATAHORALCTOINV")), Form());
        if (TipoForm() == ntfCadPage)
            Form()->SetTextoPainel(2, temLinha ? TextoOrigem(FieldByName(QStringLiteral("ORIGEMDADO")).Value())
                                               : QString());
    }
    MostrarValoresProdutoInv();
    if (ds.State() != dsInsert)
        HabilitaDesabilitaProdutos(false);
    ConfigurarCamposImpostos();
    if (FValorTotal) {
        FValorTotal->SetDisplayFormat(QString::fromLatin1(kFormatoValor));
        FValorTotal->SetTexto(temLinha ? TextoValor(ValorTotal()) : QString());
    }
    if (FValorAliq) {
        const bool icms = InformaICMS();
        FValorAliq->SetDisplayFormat(QString::fromLatin1(kFormatoValor));
        FValorAliq->SetHabilitado(icms);
        FValorAliq->SetRequerido(icms);
        FValorAliq->SetNegrito(icms);
    }
    // The ST page follows the reason.
    const bool st = temLinha && FieldByName(QStringLiteral("MOTIVOINVENTARIO")).AsInteger() == 6;
    for (const char *c : {"VALORMEDIOICMS", "VALORMEDIOBCICMSST", "VALORMEDIOICMSST", "VALORMEDIOFCP"}) {
        HabilitarCampo(QString::fromLatin1(c), st);
        RequererCampo(QString::fromLatin1(c), st);
    }
}

void TOrvoDMLctoInv::ConfigurarCamposImpostos()
{
    const bool icms = InformaICMS();
    const bool pisCofins = InformaPISCOFINS();
    HabilitarCampo(QStringLiteral("VALORICMS"), icms);
    HabilitarCampo(QStringLiteral("VALORPIS"), pisCofins);
    HabilitarCampo(QStringLiteral("VALORCOFINS"), pisCofins);
    const bool web = EhHttpExe();
    HabilitarCampo(QStringLiteral("ALIQUOTACLOUD"), web && icms);
    MostrarCampo(QStringLiteral("ALIQUOTACLOUD"), web && icms);
}

void TOrvoDMLctoInv::ConfigurarAutoRequerido(TnClientDataSet *objeto)
{
    TnDMClientDataSet::ConfigurarAutoRequerido(objeto);
    RequererCampo(QStringLiteral("VALORICMS"), InformaICMS());
    RequererCampo(QStringLiteral("VALORPIS"), InformaPISCOFINS());
    RequererCampo(QStringLiteral("VALORCOFINS"), InformaPISCOFINS());
}

void TOrvoDMLctoInv::ConfigurarAutoFormato(TnClientDataSet *objeto)
{
    TnDMClientDataSet::ConfigurarAutoFormato(objeto);
    TnField &preco = FieldByName(QStringLiteral("PRECOUNIT"));
    preco.Def().Decimais = QtdeCasaDecimal();
    preco.SetDisplayFormat(FormatoCasas(QtdeCasaDecimal()));
    preco.SetEditFormat(preco.DisplayFormat());
    TnField &qtde = FieldByName(QStringLiteral("QTDEESTOQUE"));
    qtde.SetDisplayFormat(FormatoCasas(QtdeCasaDecimalQtd()));
    qtde.SetEditFormat(qtde.DisplayFormat());
}

void TOrvoDMLctoInv::ConfigurarAutoValor(TnClientDataSet *objeto)
{
    FLimiteLido = QDate();
    FProdutoLido = FProdutoAusente = -1;
    TnClientDataSet &ds = nClientDataSet();
    // What the user changed, before the product's panel columns are refreshed.
    const bool alterado = ds.State() == dsInsert || ds.Modified();
    if (!ModoImportacao())
        LerAoGravar();
    TnDMClientDataSet::ConfigurarAutoValor(objeto);
    if (alterado) {
        FieldByName(QStringLiteral("DATAHORALCTOINV")).SetAsDateTime(QDateTime::currentDateTime());
        FieldByName(QStringLiteral("CODIGOUSUARIO")).SetAsInteger(CodigoUsuarioConectado());
    }
    FieldByName(QStringLiteral("ORIGEMDADO")).SetAsInteger(ModoImportacao() ? 3 : 2);
    if (!FieldByName(QStringLiteral("OBSLCTOINV")).Def().Habilitado)
        FieldByName(QStringLiteral("OBSLCTOINV")).Clear();
    for (const char *c : {"VALORICMS", "VALORPIS", "VALORCOFINS"}) {
        TnField &f = FieldByName(QString::fromLatin1(c));
        if (!f.Required())
            f.SetAsFloat(0);
    }
}

void TOrvoDMLctoInv::nClientDataSetCampoExit(TnField &campo)
{
    TnDMClientDataSet::nClientDataSetCampoExit(campo);
    const TnClientDataSet &ds = nClientDataSet();
    const bool editando = ds.State() == dsEdit || ds.State() == dsInsert;
    if (campo.FieldName() == QLatin1String("DATAINVENT") && editando && !campo.IsNull())
        VerificarPeriodoSelecionado(campo.AsDate());
    else if (campo.FieldName() == QLatin1String("MOTIVOINVENTARIO"))
        ConfigurarCampo(&nClientDataSet());
    else if (campo.FieldName() == QLatin1String("QTDEESTOQUE") || campo.FieldName() == QLatin1String("PRECOUNIT"))
        AtualizarValorTotal();
    else if (campo.FieldName() == QLatin1String("CODIGOPRODUTO")) {
        nClientDataSetCODIGOPRODUTODefIntExit();
        PreencherParamsProduto();
    }
}

// ---- ICMS rate

double TOrvoDMLctoInv::ValorTotal() const
{
    const TnField &qtde = FieldByName(QStringLiteral("QTDEESTOQUE"));
    const TnField &preco = FieldByName(QStringLiteral("PRECOUNIT"));
    if (qtde.IsNull() || preco.IsNull())
        return 0;
    return MultiplicarValor(qtde.AsFloat(), preco.AsFloat(), 2);
}

QVariant TOrvoDMLctoInv::AliquotaICMS() const
{
    const double total = ValorTotal();
    if (total == 0)
        return QVariant();
    return RoundValor(FieldByName(QStringLiteral("VALORICMS")).AsFloat() / total * 100, 2);
}

void TOrvoDMLctoInv::AtualizarValorICMS(const QVariant &aliquota)
{
    bool ok = false;
    const double taxa = EhNulo(aliquota) ? 0 : aliquota.toDouble(&ok);
    if (!ok)
        return;
    TnClientDataSet &ds = nClientDataSet();
    if (!ds.Active() || (ds.IsEmpty() && ds.State() != dsInsert))
        return;
    const double calc = PercentualDoValor(ValorTotal(), taxa, 2);
    TnField &icms = FieldByName(QStringLiteral("VALORICMS"));
    if (ds.State() == dsBrowse) {
        if (!icms.IsNull() && icms.AsFloat() == calc)
            return;
        ds.Edit();
    }
    icms.SetAsFloat(calc);
}

void TOrvoDMLctoInv::AtualizarValorTotal()
{
    const TnClientDataSet &ds = nClientDataSet();
    if (!FValorTotal || (ds.State() != dsEdit && ds.State() != dsInsert))
        return;
    if (FieldByName(QStringLiteral("QTDEESTOQUE")).IsNull() || FieldByName(QStringLiteral("PRECOUNIT")).IsNull())
        return;
    FValorTotal->SetDisplayFormat(QString::fromLatin1(kFormatoValor));
    FValorTotal->SetTexto(TextoValor(ValorTotal()));
}

void TOrvoDMLctoInv::MostrarAliquota()
{
    // A total of 0 leaves the rate as it is shown.
    if (!FValorAliq || ValorTotal() == 0)
        return;
    FValorAliq->SetTexto(TextoValor(AliquotaICMS().toDouble()));
}

void TOrvoDMLctoInv::SairDaAliquota()
{
    if (FOnValorAliquotaExit)
        FOnValorAliquotaExit();
    if (!FValorAliq)
        return;
    // The rate as typed; nothing typed changes nothing. A grouped text ("1.234,56") is read
    // as the number it shows.
    const QString texto = FValorAliq->Texto().trimmed();
    if (texto.isEmpty())
        return;
    double taxa = 0;
    if (!TextoParaNumero(texto, taxa))
        throw Exception(QString::fromUtf8("Alíquota de ICMS inválida: %1").arg(TrechoCitado(texto)));
    AtualizarValorICMS(taxa);
}

void TOrvoDMLctoInv::nClientDataSetAfterScroll(TnClientDataSet &ds)
{
    TnDMClientDataSet::nClientDataSetAfterScroll(ds);
    MostrarAliquota();
}

void TOrvoDMLctoInv::nClientDataSetAfterCancel(TnClientDataSet &ds)
{
    TnDMClientDataSet::nClientDataSetAfterCancel(ds);
    if (FValorAliq && FValorAliq->Texto().trimmed().isEmpty())
        FValorAliq->SetTexto(QStringLiteral("0"));
}

// ---- validation

void TOrvoDMLctoInv::ValidarDado()
{
    // A product created by an earlier attempt whose entry was not written is undone: it is
    // created again with this attempt.
    DesfazerProdutoPendente();
    // What the save's read found serves this check only.
    const auto esquecer = qScopeGuard([this] {
        FLimiteLido = QDate();
        FProdutoLido = FProdutoAusente = -1;
    });
    TnDMClientDataSet::ValidarDado();
    const TnField &data = FieldByName(QStringLiteral("DATAINVENT"));
    const QDate limite = FLimiteLido.isValid() ? FLimiteLido : nDMPersonalizacao::GetPermiDataFinal();
    if (!data.IsNull() && data.AsDate() > limite)
        throw EnField(data.FieldName(), QString::fromUtf8(OrvoSDataLctoForaPersonalizacao)
                                            .arg(QLocale(QLocale::Portuguese, QLocale::Brazil)
                                                     .toString(limite, QLocale::ShortFormat)));
    if (FieldByName(QStringLiteral("QTDEESTOQUE")).AsFloat() <= 0)
        throw Exception(QString::fromUtf8(OrvoSQuantidadeNaoNegativaOuZerada));
    if (FieldByName(QStringLiteral("PRECOUNIT")).AsFloat() <= 0)
        throw Exception(QString::fromUtf8(OrvoSPrecoUnitNaoNegativoOuZerado));
    if (FieldByName(QStringLiteral("VALORICMS")).AsFloat() < 0)
        throw Exception(QString::fromUtf8(OrvoSValorICMSNaoNegativo));
    if (FieldByName(QStringLiteral("VALORPIS")).AsFloat() < 0)
        throw Exception(QString::fromUtf8(OrvoSValorPISNaoNegativo));
    if (FieldByName(QStringLiteral("VALORCOFINS")).AsFloat() < 0)
        throw Exception(QString::fromUtf8(OrvoSValorCOFINSNaoNegativo));
    CriarProdutoFaltante();
}

namespace {
TnRegistrador<TOrvoDMLctoInv> gRegistro("TOrvoDMLctoInv");
}
