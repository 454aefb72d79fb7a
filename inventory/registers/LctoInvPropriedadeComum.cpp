#include "LctoInvPropriedadeComum.h"

#include "Conexao.h"
#include "Personalizacao.h"
#include "SQLDataSet.h"
#include "Variaveis.h"

#include <map>

const char *const kChaveLctoInv = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO";
const char *const kChavePropriedade = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO;SEQ";
const char *const kChaveCST = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO;SEQ;CST";

namespace {

// The five key columns of the entry, hidden; the date, product and reason also disabled.
std::vector<TnDefCampo> ChaveLcto(bool consulta)
{
    Definicao motivo{.Chave = QStringLiteral("MOTIVOINVENTARIO"), .DisplayLabel = QString::fromUtf8("Motivo Inventário"),
                     .TamanhoMaximo = 4,
                     .Visivel = false, .Habilitado = false};
    if (!consulta) {
        motivo.ListaValores = ListaMotivoInventario();
        motivo.TipoControle = ntcCombo;
    }
    return {
        {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true,
         .Def = {.Chave = "CODIGOEMPRESA", .TamanhoMaximo = 4, .Visivel = false}},
        {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true,
         .Def = {.Chave = "CODIGOESTAB", .TamanhoMaximo = 4, .Visivel = false}},
        {.Nome = "DATAINVENT", .Tipo = ftDate, .Requerido = true,
         .Def = {.Chave = "DATAINVENT", .Visivel = false, .Habilitado = false}},
        {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Requerido = true,
         .Def = {.Chave = "CODIGOPRODUTO", .Digitos = 15, .Visivel = false, .Habilitado = false}},
        {.Nome = "MOTIVOINVENTARIO", .Tipo = ftSmallint, .Requerido = true, .Def = motivo},
    };
}

Definicao Valor(const char *caption, const char *hint)
{
    return {.Chave = QStringLiteral("DICVALOR"), .DisplayLabel = QString::fromUtf8(caption), .Hint = QString::fromUtf8(hint), .Digitos = 14,
            .Decimais = 2, .DisplayFormat = QStringLiteral("#,##0.00")};
}

} // namespace

QStringList ListaIndicadorPropriedade()
{
    return {QString::fromUtf8("Estoque Próprio=0"), QString::fromUtf8("Estoque Próprio em poder de Terceiros=1"),
            QString::fromUtf8("Estoque de Terceiros em poder do Contribuinte=2")};
}

QStringList ListaMotivoInventario()
{
    return {QString::fromUtf8("No final no período=1"),
            QString::fromUtf8("Na mudança de forma de tributação da mercadoria (ICMS)=2"),
            QString::fromUtf8("Na solicitação da baixa cadastral, paralisação temporária e outras situações=3"),
            QString::fromUtf8("Na alteração de regime de pagamento – condição do contribuinte=4"),
            QString::fromUtf8("Por determinação dos fiscos=5"),
            QString::fromUtf8("Para controle das mercadorias sujeitas ao regime de Subs. Tributária – "
                              "restituição/ressarcimento/complementação=6")};
}

std::vector<TnDefCampo> CamposPropriedade(bool consulta)
{
    std::vector<TnDefCampo> c = ChaveLcto(consulta);
    const QString formato = QStringLiteral("#,##0.000000");
    c.push_back({.Nome = "SEQ", .Tipo = ftSmallint, .Requerido = true,
                 .Def = {.Chave = QStringLiteral("SEQSMALLINT"), .DisplayLabel = QStringLiteral("Sequencia"),
                         .Pagina = QString::fromUtf8("Dados da Propriedade do Inventário"), .TamanhoMaximo = 4}});
    c.push_back({.Nome = "INDICADORPROPRIEDADE", .Tipo = ftSmallint, .Requerido = true,
                 .Def = {.DisplayLabel = QStringLiteral("Indicador Propr."), .TamanhoMaximo = 4,
                         .ListaValores = ListaIndicadorPropriedade(), .TipoControle = ntcCombo, .ValorPadrao = 0}});
    c.push_back({.Nome = "CODIGOPESSOAPART", .Tipo = ftInteger,
                 .Def = {.Chave = QStringLiteral("CODIGOPESSOA"), .DisplayLabel = QStringLiteral("Participante"),
                         .Hint = QString::fromUtf8("Informe o código da pessoa participante"), .TamanhoMaximo = 9,
                         .TipoControle = ntcLookup, .CamposLink = QStringLiteral("CODIGOPESSOAPART"),
                         .ClasseLookup = QStringLiteral("UlmarDCPessoa")}});
    c.push_back({.Nome = "CONTACTB", .Tipo = ftLargeint,
                 .Def = {.Chave = QStringLiteral("CONTACTB"), .DisplayLabel = QString::fromUtf8("Conta Contábil"),
                         .Digitos = 10,
                         .CamposLink = QStringLiteral("CODIGOEMPRESA;CONTACTB")}});
    c.push_back({.Nome = "QUANTIDADE", .Tipo = ftFloat, .Requerido = true,
                 .Def = {.DisplayLabel = QStringLiteral("Quantidade "),
                         .Hint = QString::fromUtf8("Informe a quantidade do produto associada ao tipo de indicador"),
                         .TamanhoMaximo = 16, .Digitos = 14, .Decimais = 6, .DisplayFormat = formato,
                         .EditFormat = formato}});
    c.push_back({.Nome = "PRECOUNIT", .Tipo = ftFloat, .Requerido = true,
                 .Def = {.DisplayLabel = QString::fromUtf8("Custo Unitário"),
                         .Hint = QString::fromUtf8("Preço unitário do produto"), .TamanhoMaximo = 16, .Digitos = 14,
                         .Decimais = 6, .DisplayFormat = formato, .EditFormat = formato, .CopiarAnterior = true}});
    c.push_back({.Nome = "VALORIR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2,
                 .Def = Valor("Valor IR", "Informe o valor para efeitos do imposto de renda")});
    return c;
}

std::vector<TnDefCampo> CamposCST(bool consulta)
{
    std::vector<TnDefCampo> c = ChaveLcto(consulta);
    c.push_back({.Nome = "SEQ", .Tipo = ftSmallint, .Requerido = consulta,
                 .Def = {.Chave = QStringLiteral("SEQSMALLINT"), .Visivel = false}});
    c.push_back({.Nome = "CST", .Tipo = ftSmallint, .Requerido = true,
                 // The register's search button picks among the codes in force. A code reads
                 // with its three digits ("060"), shown, edited and printed; stored as a number.
                 .Def = {.DisplayLabel = QStringLiteral("CST"), .TamanhoMaximo = 4, .DisplayFormat = "000",
                         .EditFormat = "000", .TipoControle = consulta ? ntcEdit : ntcLookup}});
    c.push_back({.Nome = "BASECALCULO", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .Requerido = true,
                 .Def = Valor("Base de Cálculo", "Informe a base de cálculo para a CST informada")});
    c.push_back({.Nome = "VALORIMPOSTO", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .Requerido = true,
                 .Def = Valor("Imposto", "Informe o valor do imposto para a CST informada")});
    return c;
}

TnDefCampo CampoDescrProduto()
{
    return {.Nome = "DESCRPRODUTO", .Tipo = ftString, .Tamanho = 120, .Requerido = true, .Flags = 0,
            .Def = {.DisplayLabel = QString::fromUtf8("Descrição")}};
}


QString ChaveEmpresaConfiguracao(const TnClientDataSet &ds)
{
    const TnField *empresa = ds.Active() && (!ds.IsEmpty() || ds.State() == dsInsert)
                                 ? ds.FindField(QStringLiteral("CODIGOEMPRESA"))
                                 : nullptr;
    if (empresa && !empresa->IsNull())
        return empresa->AsString();
    bool ok = false;
    const int ativa = ExternalVar(QString::fromLatin1(VarFw::gCodigoEmpresaAtiva)).trimmed().toInt(&ok);
    return QString::number(ok ? ativa : -1);
}

int CasasDecimais(const QVariant &valor, int padrao)
{
    bool ok = false;
    const int casas = valor.toInt(&ok);
    return ok ? casas : padrao;
}

TnCasasDecimaisInv LerCasasDecimaisInv(const QString &condicao, int padrao)
{
    const QVariantList v = nDMSQLDataSet::PegarValorCampo(QStringLiteral("CFGEMPRESAINV"),
                                                          QStringLiteral("QTDECASADECIMAL, QTDECASADECIMALQTD"), condicao)
                               .toList();
    return {.Valor = CasasDecimais(v.value(0), padrao), .Qtde = CasasDecimais(v.value(1), padrao)};
}

QString FormatoCasas(int casas) { return QStringLiteral("#,##0.") + QString(qMax(casas, 0), u'0'); }

namespace {

struct TnCfgGuardadas {
    quint64 Conexao = 0; // the connection they were read on (its identity)
    quint64 Textos = 0;  // its texts of statements run by then (TextosExecutados)
    quint64 Reconfiguracoes = 0; // the selection's reconfigurations by then
    std::map<int, TnCfgLctoInv> PorEmpresa;
};

// The settings kept are those of this connection as it is now.
bool Valem(const TnCfgGuardadas &g, const nDMConexao &con)
{
    return g.Conexao == con.Identidade() && g.Textos == con.TextosExecutados()
           && g.Reconfiguracoes == Selecao().Reconfiguracoes();
}

TnCfgGuardadas &Guardadas()
{
    static TnCfgGuardadas g;
    return g;
}

void Guardar(nDMConexao &con, int empresa, const TnCfgLctoInv &cfg)
{
    TnCfgGuardadas &g = Guardadas();
    if (!Valem(g, con)) {
        g.PorEmpresa.clear();
        g.Conexao = con.Identidade();
        g.Textos = con.TextosExecutados();
        g.Reconfiguracoes = Selecao().Reconfiguracoes();
    }
    g.PorEmpresa[empresa] = cfg;
}

} // namespace

TnLeituraLctoInv LerParaLctoInv(int empresa, const QVariant &produto)
{
    nDMConexao &con = nDMConexao::Atual();
    // One row whatever exists: each settings row, the product and the user's limit joined
    // on their own, a missing one giving its defaults.
    auto cmd = con.PrepararGuardado(QStringLiteral(
        "select (select N.DATAFINALPERMITIDA from NPERSONALIZACAO N where N.CODIGOUSUARIO = ?), "
        "CG.USAREFERENCIAPROD, CG.LIVROMODELO7, CG.MASCCLASSIFFISCALPROD, CI.QTDECASADECIMAL, "
        "CI.LANCAICMSRECUP, CI.DETALHARPISCOFINSITEM, CI.QTDECASADECIMALQTD, P.CODIGOPRODUTO, "
        "P.REFERENPRODUTO, P.CODIGOGRUPOPRODUTO, P.DESCRPRODUTO, P.CODIGONCM, P.UNIDADEMEDIDA "
        "from (select cast(? as integer) as EMPRESA, cast(? as bigint) as PRODUTO) X "
        "left join CFGEMPRESAULMAR CG on CG.CODIGOEMPRESA = X.EMPRESA "
        "left join CFGEMPRESAINV CI on CI.CODIGOEMPRESA = X.EMPRESA "
        "left join PRODUTO P on P.CODIGOEMPRESA = X.EMPRESA and P.CODIGOPRODUTO = X.PRODUTO"));
    cmd->BindInteiro(0, CodigoUsuarioConectado());
    cmd->BindInteiro(1, empresa);
    if (EhNulo(produto))
        cmd->BindNulo(2);
    else
        cmd->BindInteiro(2, produto.toLongLong());
    TnLeituraLctoInv r;
    r.Limite = nDMPersonalizacao::SemLimite();
    TnCursor &c = cmd->Abrir();
    if (c.Proximo()) {
        if (!c.Nulo(0)) {
            const QDate d = c.Data(0);
            if (d.isValid())
                r.Limite = d;
        }
        const auto sim = [&c](int i, bool padrao) {
            return c.Nulo(i) ? padrao : c.Valor(i).toString().trimmed() == QLatin1String("1");
        };
        TnCfgLctoInv &cfg = r.Cfg;
        cfg.UsaReferencia = sim(1, true);
        cfg.UsaClassifFiscal = sim(2, false);
        cfg.MascClassifFiscal = c.Valor(3);
        cfg.QtdeCasaDecimal = CasasDecimais(c.Valor(4));
        cfg.InformaICMS = sim(5, false);
        cfg.InformaPISCOFINS = sim(6, false);
        cfg.QtdeCasaDecimalQtd = CasasDecimais(c.Valor(7));
        r.TemProduto = !c.Nulo(8);
        if (r.TemProduto)
            for (int i = 9; i < 14; ++i)
                r.Produto << c.Valor(i);
    }
    cmd->Fechar();
    Guardar(con, empresa, r.Cfg);
    return r;
}

const TnCfgLctoInv &CfgLctoInv(int empresa)
{
    TnCfgGuardadas &g = Guardadas();
    nDMConexao &con = nDMConexao::Atual();
    if (Valem(g, con))
        if (const auto it = g.PorEmpresa.find(empresa); it != g.PorEmpresa.end())
            return it->second;
    LerParaLctoInv(empresa, QVariant());
    return g.PorEmpresa[empresa];
}

