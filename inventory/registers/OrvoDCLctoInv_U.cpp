#include "OrvoDCLctoInv_U.h"

#include "CursorDerivado.h"
#include "Interacao.h"
#include "PowerParam.h"
#include "SuiteProduto.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QMetaObject>

namespace {

#define ORVO_LCTOINV_COLUNAS                                                                                  \
    "Select L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, L.CODIGOPRODUTO, P.DESCRPRODUTO, "                  \
    "L.MOTIVOINVENTARIO, L.QTDEESTOQUE, L.PRECOUNIT, (L.QTDEESTOQUE * L.PRECOUNIT) VALORTOTAL, L.VALORICMS, " \
    "L.VALORPIS, L.VALORCOFINS, L.IDSYN from LCTOINV L join PRODUTO P on L.CODIGOEMPRESA = P.CODIGOEMPRESA " \
    "and L.CODIGOPRODUTO = P.CODIGOPRODUTO "

const char *const kSQL = ORVO_LCTOINV_COLUNAS "order by L.CODIGOPRODUTO";
const char *const kSQLSyn = ORVO_LCTOINV_COLUNAS "WHERE L.IDSYN IS NOT NULL order by L.CODIGOPRODUTO";
#undef ORVO_LCTOINV_COLUNAS

const char *const kSelecao = "CodigoEmpresa;CodigoEstab;DataInvent";
const char *const kCaption = "Lançamentos do Inventário";

TnDefCampo Dinheiro(const char *nome, const char *caption, const char *hint)
{
    return {.Nome = nome,
            .Tipo = ftBCD,
            .Precisao = 18,
            .Escala = 2,
            .Def = {.DisplayLabel = QString::fromUtf8(caption),
                    .Hint = QString::fromUtf8(hint),
                    .TamanhoMaximo = 14,
                    .Digitos = 14,
                    .Decimais = 2,
                    .DisplayFormat = "#,##0.00"}};
}

TnDefCampo Valor6(const char *nome, const char *caption, const char *hint)
{
    return {.Nome = nome,
            .Tipo = ftFloat,
            .Requerido = true,
            .Def = {.DisplayLabel = QString::fromUtf8(caption),
                    .Hint = QString::fromUtf8(hint),
                    .TamanhoMaximo = 16,
                    .Digitos = 14,
                    .Decimais = 6,
                    .DisplayFormat = "#,##0.000000"}};
}

std::vector<TnDefCampo> Campos()
{
    return {
        {.Nome = "CODIGOEMPRESA",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.Chave = "CODIGOEMPRESA", .TamanhoMaximo = 4, .CamposLink = "CODIGOEMPRESA"}},
        {.Nome = "CODIGOESTAB",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.Chave = "CODIGOESTAB",
                 .TamanhoMaximo = 4,
                 .Habilitado = false,
                 .CamposLink = "CODIGOEMPRESA;CODIGOESTAB"}},
        {.Nome = "DATAINVENT", .Tipo = ftDate, .Requerido = true, .Def = {.Chave = "DATAINVENT", .Habilitado = false}},
        {.Nome = "CODIGOPRODUTO",
         .Tipo = ftLargeint,
         .Requerido = true,
         .Def = {.Chave = "CODIGOPRODUTO", .Digitos = 15, .CamposLink = "CODIGOEMPRESA;CODIGOPRODUTO"}},
        {.Nome = "DESCRPRODUTO", .Tipo = ftString, .Tamanho = 120, .Requerido = true},
        {.Nome = "MOTIVOINVENTARIO",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.Chave = "MOTIVOINVENTARIO",
                 .DisplayLabel = QString::fromUtf8("Motivo Inventário"),
                 .TamanhoMaximo = 4,
                 .ListaValores = ListaMotivoInventario(),
                 .TipoControle = ntcCombo}},
        Valor6("QTDEESTOQUE", "Quantidade", "Quantidade em estoque"),
        Valor6("PRECOUNIT", "Custo Unitário", "Preço unitário do produto"),
        Valor6("VALORTOTAL", "Valor Total", "Valor Total"),
        Dinheiro("VALORICMS", "Valor de ICMS", "Valor de ICMS a recuperar"),
        Dinheiro("VALORPIS", "Valor de PIS", "Informe o Valor do PIS"),
        Dinheiro("VALORCOFINS", "Valor de COFINS", "Informe o Valor do COFINS"),
        {.Nome = "IDSYN",
         .Tipo = ftInteger,
         .Def = {.DisplayLabel = QString::fromUtf8("Código SYN"), .TamanhoMaximo = 9, .Habilitado = false}},
    };
}

TnDefCadastro Declaracao(const char *sql)
{
    return {.SQL = QString::fromLatin1(sql),
            .Campos = Campos(),
            .Chave = kChaveLctoInv,
            .Ordem = "CODIGOEMPRESA, CODIGOESTAB,  CODIGOPRODUTO, DATAINVENT",
            .CaptionOrdem = "Produto",
            .Indices = {{.Caption = QString::fromUtf8("Descrição"), .Campos = "DESCRPRODUTO"}},
            .Caption = QString::fromUtf8(kCaption),
            .TipoForm = ntfConGrid,
            .CadCons = "OrvoDMLctoInv",
            .Menus = {{.Caption = QString::fromUtf8(kCaption),
                       .Categoria = "02 Movimentos\\00 Consultas",
                       .Indice = 1,
                       .Modulo = "Orvo",
                       .Imagem = 0,
                       .SemEntrada = true}},
            .ChaveAlteravel = false,
            .InsercaoAutomatica = false,
            .LogChanges = false};
}

const TnDefCadastro kDeclaracao = Declaracao(kSQL);
const TnDefCadastro kDeclaracaoSyn = Declaracao(kSQLSyn);

// The parameter list a register answers to "npqPowerParam", when it has one.
TnpqPowerParam *ParametrosDe(QObject *dono)
{
    if (!dono || dono->metaObject()->indexOfMethod("npqPowerParam()") < 0)
        return nullptr;
    void *lista = nullptr;
    if (!QMetaObject::invokeMethod(dono, "npqPowerParam", Qt::DirectConnection, Q_RETURN_ARG(void *, lista)))
        return nullptr;
    return static_cast<TnpqPowerParam *>(lista);
}

// The open register whose dataset is `ds`.
TnDMClientDataSet *DonoDoDataSet(const TnClientDataSet &ds)
{
    for (TnDataModule *dm : Registro().Instancias())
        if (auto *cad = qobject_cast<TnDMClientDataSet *>(dm); cad && &cad->nClientDataSet() == &ds)
            return cad;
    return nullptr;
}

// Lets a consultation take a row while the guard lives: the grid is read-only for users,
// not for the copy of a saved entry.
class TnGradeAberta {
public:
    explicit TnGradeAberta(TnDMClientDataSet &dm) : FDm(dm), FTipo(dm.TipoForm()) { dm.SetTipoForm(ntfCadGrid); }
    ~TnGradeAberta() { FDm.SetTipoForm(FTipo); }
    TnGradeAberta(const TnGradeAberta &) = delete;
    TnGradeAberta &operator=(const TnGradeAberta &) = delete;

private:
    TnDMClientDataSet &FDm;
    TnTipoForm FTipo;
};

} // namespace

TOrvoDCLctoInv::TOrvoDCLctoInv() : TOrvoDCLctoInv(kDeclaracao, false) {}

TOrvoDCLctoInv::TOrvoDCLctoInv(const TnDefCadastro &declaracao, bool somenteSyn)
    : TnDMClientDataSet(declaracao), FSomenteSyn(somenteSyn)
{
    // The statement's VALORTOTAL is left aside: quantity x unit cost is computed from the
    // row's stored values, exact at the decimals the column shows.
    nClientDataSet().SetDerivacao([this](TnCursorDerivado &c) {
        const TnCursor &origem = c.Origem();
        const QString total = QStringLiteral("VALORTOTAL");
        for (int i = 0; i < origem.Colunas(); ++i)
            if (origem.Coluna(i).Nome.compare(total, Qt::CaseInsensitive) != 0)
                c.Coluna(origem.Coluna(i).Nome);
        const int qtde = c.IndiceOrigem(QStringLiteral("QTDEESTOQUE"));
        const int preco = c.IndiceOrigem(QStringLiteral("PRECOUNIT"));
        if (qtde < 0 || preco < 0)
            return;
        c.ColunaReal(total, [qtde, preco, casas = FCasasTotal](TnCursor &o, double &v) {
            if (o.Nulo(qtde) || o.Nulo(preco))
                return false;
            v = MultiplicarValor(o.Real(qtde), o.Real(preco), casas);
            return true;
        });
    });
}

QString TOrvoDCLctoInv::PegarVerificaSelecao() { return QString::fromLatin1(kSelecao); }

int TOrvoDCLctoInv::PegarTipoObjeto() { return 2; }

void TOrvoDCLctoInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                      const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "02 Movimentos\\00 Consultas", .Caption = kCaption, .Indice = 1, .ChecarSelecao = false}},
              classe, lista, evento, modulos);
}

QString TOrvoDCLctoInv::ChavePrimaria() const { return QString::fromLatin1(kChaveLctoInv); }

void TOrvoDCLctoInv::CarregarCasasDecimais()
{
    FCfgEmpresa.Carregar(nClientDataSet(), [this](int empresa) { LerCasas(empresa); });
}

void TOrvoDCLctoInv::AntesDeLer()
{
    QString chave;
    const TnParamSelecao *empresa = ParamSelecao(QStringLiteral("CodigoEmpresa"));
    if (empresa && !empresa->IsNull()) {
        bool ok = false;
        const int codigo = empresa->AsString().trimmed().toInt(&ok);
        chave = QString::number(ok ? codigo : -1);
    } else {
        chave = QString::number(EmpresaAtiva());
    }
    FCfgEmpresa.Carregar(chave, [this](int codigo) { LerCasas(codigo); });
    FCasasTotal = FQtdeCasaDecimal;
}

void TOrvoDCLctoInv::LerCasas(int empresa)
{
    const TnCfgLctoInv &cfg = CfgLctoInv(empresa);
    FQtdeCasaDecimal = cfg.QtdeCasaDecimal;
    FQtdeCasaDecimalQtd = cfg.QtdeCasaDecimalQtd;
}

void TOrvoDCLctoInv::ConfigurarCampo(TnClientDataSet *)
{
    // The framework's own field step is not run: it has nothing to add to a read-only grid.
    CarregarCasasDecimais();
    const QString prefixo = QStringLiteral("#,###,###,###,#");
    FieldByName(QStringLiteral("PRECOUNIT")).SetDisplayFormat(prefixo + ConstruirMascaraInv(FQtdeCasaDecimal));
    FieldByName(QStringLiteral("QTDEESTOQUE")).SetDisplayFormat(prefixo + ConstruirMascaraInv(FQtdeCasaDecimalQtd));
    FieldByName(QStringLiteral("VALORTOTAL")).SetDisplayFormat(prefixo + ConstruirMascaraInv(FQtdeCasaDecimal));
    if (EhHttpExe()) {
        FieldByName(QStringLiteral("PRECOUNIT")).Def().Decimais = FQtdeCasaDecimal;
        FieldByName(QStringLiteral("QTDEESTOQUE")).Def().Decimais = FQtdeCasaDecimalQtd;
    }
}

void TOrvoDCLctoInv::ReconfigurarDM(const QString &parametro, bool recarregar)
{
    // The company's settings may have changed (the settings register reconfigures for the
    // company after saving): the cached decimals are read again even for the same company.
    if (parametro.compare(QStringLiteral("CodigoEmpresa"), Qt::CaseInsensitive) == 0) {
        FCfgEmpresa.Esquecer();
        if (Aberto()) {
            ConfigurarCampo(&nClientDataSet());
            // Totals computed at other decimals than those now shown are computed again.
            if (!recarregar && FQtdeCasaDecimal != FCasasTotal) {
                TnDMClientDataSet::ReconfigurarDM(parametro, recarregar);
                Reabrir();
                return;
            }
        }
    }
    TnDMClientDataSet::ReconfigurarDM(parametro, recarregar);
}

void TOrvoDCLctoInv::DepoisConfigurar(TnFormModulo *form)
{
    TnDMClientDataSet::DepoisConfigurar(form);
    if (!form)
        return;
    // The selection fixes the branch and the date.
    MostrarCampo(QStringLiteral("CODIGOESTAB"), false);
    MostrarCampo(QStringLiteral("DATAINVENT"), false);
    FieldByName(QStringLiteral("DESCRPRODUTO")).SetDisplayLabel(QString::fromUtf8("Descrição"));
}

void TOrvoDCLctoInv::SincroCopiarDados(TnClientDataSet &ds)
{
    if (&ds == &nClientDataSet())
        TnDMClientDataSet::SincroCopiarDados(ds);
    else
        CopiarDoCadastro(ds);
}

void TOrvoDCLctoInv::CopiarDoCadastro(const TnClientDataSet &origem)
{
    TnClientDataSet &ds = nClientDataSet();
    if (!ds.Active() || !origem.Active() || origem.IsEmpty())
        return;
    const TnField *idSyn = origem.FindField(QStringLiteral("IDSYN"));
    if (FSomenteSyn && (!idSyn || idSyn->IsNull()))
        return;

    QVariantList chave;
    for (const QString &campo : QString::fromLatin1(kChaveLctoInv).split(QLatin1Char(';')))
        chave << origem.FieldByName(campo).AsVariant();
    TnGradeAberta aberta(*this);
    // The grid's row of the same key is replaced (its key stays as it is). A row not read yet
    // is not asked for: the copy stands for it, and the packet that reaches it leaves the
    // database's copy out.
    const bool existe = ds.Locate(QString::fromLatin1(kChaveLctoInv), chave, loSomenteLidas);
    if (existe)
        ds.Edit();
    else
        ds.Append();
    try {
        for (int i = 0; i < ds.FieldCount(); ++i) {
            TnField &f = ds.Fields(i);
            if (existe && EhCampoChave(f.FieldName()))
                continue;
            if (const TnField *o = origem.FindField(f.FieldName()))
                f.SetAsVariant(o->AsVariant());
        }
        TnField &descricao = FieldByName(QStringLiteral("DESCRPRODUTO"));
        if (TnpqPowerParam *params = ParametrosDe(DonoDoDataSet(origem)))
            if (TnpqParamItem *p = params->FindParam(QStringLiteral("pDescrProduto")); p && !p->IsNull())
                descricao.SetAsString(p->Text());
        if (descricao.IsNull() || descricao.AsString().isEmpty())
            descricao.SetAsString(QString::fromUtf8(OrvoSDescricaoDesconhecida));
        FieldByName(QStringLiteral("VALORTOTAL"))
            .SetAsFloat(MultiplicarValor(FieldByName(QStringLiteral("QTDEESTOQUE")).AsFloat(),
                                         FieldByName(QStringLiteral("PRECOUNIT")).AsFloat(), 2));
        ds.Post();
    } catch (...) {
        ds.Cancel();
        throw;
    }
}

TOrvoDCLctoInvSyn::TOrvoDCLctoInvSyn() : TOrvoDCLctoInv(kDeclaracaoSyn, true) {}

namespace {
TnRegistrador<TOrvoDCLctoInv> gRegistro("TOrvoDCLctoInv");
TnRegistrador<TOrvoDCLctoInvSyn> gRegistroSyn("TOrvoDCLctoInvSyn");
} // namespace
