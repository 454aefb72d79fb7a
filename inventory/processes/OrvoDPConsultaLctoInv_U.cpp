#include "OrvoDPConsultaLctoInv_U.h"

#include "AbrirCadastro.h"
#include "Acoes.h"
#include "CursorDerivado.h"
#include "DMClientDataSet.h"
#include "Interacao.h"
#include "LctoInvPropriedadeComum.h"
#include "Literais.h"
#include "SQLDataSet.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QScopeGuard>

namespace {

const char *const kCaption = "Lançamentos do Inventário";
const char *const kEmpresa = "pCodigoEmpresa";
const char *const kEstab = "pCodigoEstab";
const char *const kProduto = "pCodigoProduto";
const char *const kPeriodoInicial = "pPeriodoInicial";
const char *const kPeriodoFinal = "pPeriodoFinal";
const char *const kUsuario = "pCodigoUsuario";
const char *const kObservacao = "pObservacao";
// The register's rows of one row of the grid: every reason of the product at the branch
// and date.
const char *const kChaveLinha = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO";
const char *const kCadastro = "TOrvoDMLctoInv";

const TnDefProcesso kDeclaracao{
    .Caption = QString::fromUtf8(kCaption),
    .CaptionParametros = QString::fromUtf8(kCaption),
    .Parametros =
        {
            {.Alias = kEmpresa, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEmpresa", .ChaveDicionario = "CodigoEmpresa"},
            {.Alias = kEstab, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab", .ChaveDicionario = "CodigoEstab",
             .MultiSelecao = true},
            {.Alias = kProduto, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCProduto", .ChaveDicionario = "CodigoProduto",
             .MultiSelecao = true},
            {.Alias = kPeriodoInicial, .Caption = QString::fromUtf8("Período Inicial"), .Tipo = ntpData,
             .ChaveDicionario = "DICDATAMESANO"},
            {.Alias = kPeriodoFinal, .Caption = QString::fromUtf8("Período Final"), .Tipo = ntpData,
             .ChaveDicionario = "DICDATAMESANO"},
            {.Alias = kUsuario, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCUsuario", .ChaveDicionario = "CodigoUsuario"},
            {.Alias = kObservacao, .Caption = QString::fromUtf8("Observação"),
             .Hint = "Informe uma palavra para busca", .TamanhoMaximo = 40},
        },
};

// The entries joined with their products; the company is bound.
const char *const kSelect =
    " select L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, L.CODIGOPRODUTO, L.QTDEESTOQUE, L.PRECOUNIT, "
    "L.OBSLCTOINV, P.REFERENPRODUTO, P.DESCRPRODUTO, L.MOTIVOINVENTARIO from LCTOINV L inner join PRODUTO P "
    "on L.CODIGOEMPRESA = P.CODIGOEMPRESA and L.CODIGOPRODUTO = P.CODIGOPRODUTO where L.CODIGOEMPRESA = ?";

TnDefCampo Numero(const char *nome, const char *caption, TFieldType tipo)
{
    return {.Nome = nome, .Tipo = tipo, .Precisao = tipo == ftBCD ? 18 : 0, .Escala = tipo == ftBCD ? 2 : 0,
            .Def = {.DisplayLabel = QString::fromUtf8(caption)}};
}

// The result columns, in the grid's order. Quantities and unit costs are kept as the entry
// keeps them (doubles), rounded to the company's decimals; the total cost is money.
const TnDefCampo kCampos[] = {
    {.Nome = "DATAINVENT", .Tipo = ftDate, .Def = {.Chave = "DICDATAMESANO", .DisplayLabel = QString::fromUtf8("Período")}},
    {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Def = {.Chave = "CODIGOPRODUTO", .DisplayLabel = "Produto"}},
    {.Nome = "DESCRPRODUTO", .Tipo = ftString, .Tamanho = 120, .Def = {.DisplayLabel = QString::fromUtf8("Descrição")}},
    Numero("QUANTIDADE", "Quantidade", ftFloat),
    Numero("CUSTOUNIT", "Custo Unitário", ftFloat),
    Numero("CUSTOTOTAL", "Custo Total", ftBCD),
    {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Def = {.Chave = "CODIGOESTAB"}},
    {.Nome = "OBSERVACAO", .Tipo = ftString, .Tamanho = 40, .Def = {.DisplayLabel = QString::fromUtf8("Observação")}},
    {.Nome = "REFERENCIA", .Tipo = ftString, .Tamanho = 60, .Def = {.DisplayLabel = QString::fromUtf8("Referência")}},
    {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Def = {.Visivel = false}},
    {.Nome = "MOTIVOINVENTARIO", .Tipo = ftSmallint, .Def = {.Visivel = false}},
};

QStringList Nomes(const char *lista) { return QString::fromLatin1(lista).split(u';'); }

// The selection parameter's value, for putting it back exactly.
struct TnValorSelecao {
    QString Nome;
    QVariant Valor;
};

} // namespace

TOrvoDPConsultaLctoInv::TOrvoDPConsultaLctoInv()
    : TnDMPowerParamGrid(kDeclaracao), FAcoes(new TnActionList(this)), FActAbriLctoInv(new TnActAbrirCadastro(FAcoes)),
      FActAbrirLinha(new TnActAbrirCadastro(nullptr))
{
    SetGridOptions({goAutoInsert, goZebrar, goPermitirFiltro, goPermitirMoverColuna, goPermiteDeletar,
                    goTotalizarValores, goPermitePaginacao, goColumnHidingEnabled, goPermiteAgrupamento, goGridReadOnly,
                    goExibirNavigator, goMostrarExpandirDetalhesVazios, goCelulaAlturaAutomatica,
                    goHeaderAulturaAutomatica});
    FActAbrirLinha->setParent(this);
    FActAbrirLinha->SetName(QStringLiteral("nActAbrirLinhaLctoInv"));
    FActAbrirLinha->ClasseCadastro = QString::fromLatin1(kCadastro);
    FActAbrirLinha->Instancia = QStringLiteral("ConsultaLctoInv");
    FActAbrirLinha->Modal = true;
    FActAbrirLinha->Mestre = &nClientDataSet();
    FActAbrirLinha->CamposMestre = FActAbrirLinha->CamposDetalhe = QString::fromLatin1(kChaveLinha);
    FActAbrirLinha->PrepararForm = [](TnFormModulo &form) { form.ConfigurarActionForm(nafIncluir, false); };
    SetDBGridOrdenar(true);
    SetPesquisa(true);
    TnActAbrirCadastro &a = *FActAbriLctoInv;
    a.SetName(QStringLiteral("nActAbriLctoInv"));
    a.SetCaption(QStringLiteral("nActAbriLctoInv"));
    a.SetControlaDireito(false);
    a.LogBanco = false;
    a.ClasseCadastro = QString::fromLatin1(kCadastro);
    a.Modal = false;
    a.Mestre = &nClientDataSet();
    a.CamposMestre = a.CamposDetalhe = QString::fromLatin1(kChaveLctoInv);
    SetAcaoGrade(&a);
    nClientDataSet().SetLogChanges(false);
}

TOrvoDPConsultaLctoInv::~TOrvoDPConsultaLctoInv() = default;

QString TOrvoDPConsultaLctoInv::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPConsultaLctoInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                              const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "30 Consultas", .Caption = kCaption, .Indice = 30, .Atalho = "Shift+Ctrl+F8"}}, classe,
              lista, evento, modulos);
}

// ---- company settings -----------------------------------------------------------------

int TOrvoDPConsultaLctoInv::EmpresaEscolhida(bool estrito) const
{
    const TnpqParamItem &p = Param(QString::fromLatin1(kEmpresa));
    if (!p.IsNull()) {
        if (estrito)
            return int(p.AsInteger());
        qint64 v = 0;
        if (TextoParaInteiro(p.AsString(), v) && v != 0)
            return int(v);
    }
    qint64 ativa = 0;
    return TextoParaInteiro(ExternalVar(QString::fromLatin1(VarFw::gCodigoEmpresaAtiva)), ativa) ? int(ativa) : -1;
}

void TOrvoDPConsultaLctoInv::LerCfgEmpresa(int empresa)
{
    const QString condicao = QStringLiteral(" CODIGOEMPRESA = ") + ValorParaSQL(empresa, ftSmallint);
    const TnCasasDecimaisInv casas = LerCasasDecimaisInv(condicao);
    FQtdCasas = casas.Valor;
    FQtdCasasQtd = casas.Qtde;
    const QVariantList flags =
        nDMSQLDataSet::PegarValorCampo(QStringLiteral("CFGEMPRESAULMAR"), QStringLiteral("LIVROMODELO7, USAREFERENCIAPROD"),
                                       condicao)
            .toList();
    FUsaModelo7 = flags.value(0).toString().trimmed() == QLatin1String("1");
    FUsaRef = flags.value(1).toString().trimmed() == QLatin1String("1");
    FEmpresaCfg = empresa;
    EdVisibleField(QString::fromLatin1(kObservacao), FUsaModelo7);
}

void TOrvoDPConsultaLctoInv::CarregarCfgEmpresa() { LerCfgEmpresa(EmpresaEscolhida(false)); }

void TOrvoDPConsultaLctoInv::ConfigurarFields()
{
    TnClientDataSet &ds = nClientDataSet();
    ds.Close();
    if (ds.FieldCount() == 0)
        ds.DefinirCampos(kCampos);
    ds.SetIndexFieldNames(QString());
    ds.FieldByName(QStringLiteral("QUANTIDADE")).SetDisplayFormat(FormatoCasas(FQtdCasasQtd));
    ds.FieldByName(QStringLiteral("CUSTOUNIT")).SetDisplayFormat(FormatoCasas(FQtdCasas));
    ds.FieldByName(QStringLiteral("CUSTOTOTAL")).SetDisplayFormat(FormatoCasas(FQtdCasas));
    ds.FieldByName(QStringLiteral("OBSERVACAO")).SetVisible(FUsaModelo7);
    ds.FieldByName(QStringLiteral("REFERENCIA")).SetVisible(FUsaRef);
    ds.FieldByName(QStringLiteral("CODIGOEMPRESA")).SetVisible(false);
    ds.FieldByName(QStringLiteral("MOTIVOINVENTARIO")).SetVisible(false);
    ds.CreateDataSet();
    ResultadoAlterado();
}

void TOrvoDPConsultaLctoInv::Atualizar()
{
    TnDMPowerParamGrid::Atualizar();
    CarregarCfgEmpresa();
    ConfigurarFields();
}

void TOrvoDPConsultaLctoInv::ReconfigurarDM(const QString &parametro, bool)
{
    // Another company, or its settings saved again: the company parameter follows the
    // selection and the grid starts again with its formats.
    if (parametro.compare(QStringLiteral("CodigoEmpresa"), Qt::CaseInsensitive) != 0)
        return;
    const int ativa = EmpresaAtiva();
    Param(QString::fromLatin1(kEmpresa)).SetValue(ativa != 0 ? QVariant(ativa) : QVariant());
    AtualizarControle(QString::fromLatin1(kEmpresa));
    Atualizar();
}

// ---- form -----------------------------------------------------------------------------

void TOrvoDPConsultaLctoInv::DepoisConfigurar(TnFormModulo *form)
{
    CarregarCfgEmpresa();
    ConfigurarFields();
    TnDMPowerParamGrid::DepoisConfigurar(form);
    AdicionarItemPopup(QStringLiteral("miCadastroLctoCtb"), QString::fromUtf8("Cadastro de Lançamentos"), 160,
                       QStringLiteral("Ctrl+Enter"), [this] { nDBGridDblClick(); });
    CriarToolButton(QStringLiteral("LctoCtb"), QString::fromUtf8("Cadastro do Lançamentos"), 160,
                    [this] { nDBGridDblClick(); }, QStringLiteral("Ctrl+Enter"));
    if (!form)
        return;
    form->SetLarguraPainel(0, 300);
    form->SetTextoPainel(1, QString());
}

void TOrvoDPConsultaLctoInv::ConfigurarDBGrid()
{
    TnDMPowerParamGrid::ConfigurarDBGrid();
    OnDBGridDblClick = [this] { nDBGridDblClick(); };
}

// ---- the run --------------------------------------------------------------------------

QString TOrvoDPConsultaLctoInv::Condicao(const char *alias, const char *coluna) const
{
    const QString texto = Param(QString::fromLatin1(alias)).AsString().trimmed();
    return NoParametro(QString::fromLatin1(alias), [&] { return FilterInterval(QString::fromLatin1(coluna), texto); });
}

void TOrvoDPConsultaLctoInv::MapearColunas(TnCursorDerivado &c) const
{
    const int qtde = c.IndiceOrigem(QStringLiteral("QTDEESTOQUE"));
    const int preco = c.IndiceOrigem(QStringLiteral("PRECOUNIT"));
    const int casasQtd = FQtdCasasQtd, casas = FQtdCasas;
    c.Coluna(QStringLiteral("DATAINVENT")).Coluna(QStringLiteral("CODIGOPRODUTO")).Coluna(QStringLiteral("DESCRPRODUTO"));
    c.ColunaReal(QStringLiteral("QUANTIDADE"), [qtde, casasQtd](TnCursor &o, double &v) {
        if (o.Nulo(qtde))
            return false;
        v = RoundValor(o.Real(qtde), casasQtd);
        return true;
    });
    c.ColunaReal(QStringLiteral("CUSTOUNIT"), [preco, casas](TnCursor &o, double &v) {
        if (o.Nulo(preco))
            return false;
        v = RoundValor(o.Real(preco), casas);
        return true;
    });
    c.ColunaReal(QStringLiteral("CUSTOTOTAL"), [qtde, preco](TnCursor &o, double &v) {
        if (o.Nulo(qtde) || o.Nulo(preco))
            return false;
        v = MultiplicarValor(o.Real(qtde), o.Real(preco), 2);
        return true;
    });
    c.Coluna(QStringLiteral("CODIGOESTAB"));
    if (FUsaModelo7)
        c.Coluna(QStringLiteral("OBSLCTOINV"), QStringLiteral("OBSERVACAO"));
    if (FUsaRef)
        c.Coluna(QStringLiteral("REFERENPRODUTO"), QStringLiteral("REFERENCIA"));
    c.Coluna(QStringLiteral("CODIGOEMPRESA")).Coluna(QStringLiteral("MOTIVOINVENTARIO"));
}

void TOrvoDPConsultaLctoInv::Executar()
{
    TnDMPowerParamGrid::Executar();
    TnClientDataSet &ds = nClientDataSet();
    if (ds.Active())
        ds.EmptyDataSet();
    ds.SetIndexFieldNames(QString());
    // The count of the last result goes with its rows: a run refused below shows none.
    if (Form())
        Form()->SetTextoPainel(0, QString());

    const auto mes = [this](const char *alias, bool final, const char *mensagem) {
        const TnpqParamItem &p = Param(QString::fromLatin1(alias));
        if (p.IsNull())
            return QDate();
        const QDate d = final ? p.AsDataFinal() : p.AsDataInicial();
        if (!d.isValid())
            throw EnParam(p.Alias(), QString::fromUtf8(mensagem));
        return d;
    };
    const QDate inicio = mes(kPeriodoInicial, false, OrvoSPeriodoInicialIncorreto);
    const QDate fim = mes(kPeriodoFinal, true, OrvoSPeriodoFinalIncorreto);
    FCodigoEmpresa = EmpresaEscolhida(true);
    // The formats are those of the company the rows come from.
    LerCfgEmpresa(FCodigoEmpresa);
    ConfigurarFields();

    QString sql = QString::fromLatin1(kSelect);
    sql += Condicao(kProduto, "L.CODIGOPRODUTO");
    sql += Condicao(kEstab, "L.CODIGOESTAB");
    sql += Condicao(kUsuario, "L.CODIGOUSUARIO");
    if (inicio.isValid())
        sql += QStringLiteral(" and L.DATAINVENT >= ?");
    if (fim.isValid())
        sql += QStringLiteral(" and L.DATAINVENT <= ?");
    sql += QStringLiteral(" order by 1, 2, 3, 4 ");
    const QString palavra = Param(QString::fromLatin1(kObservacao)).AsString();
    const bool filtrar = FUsaModelo7 && !palavra.trimmed().isEmpty();

    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
    progresso->MostrarSimples(QString::fromUtf8(OrvoSBuscandoLancamentos));
    const std::unique_ptr<TnComando> cmd = nDMConexao::Atual().Preparar(sql);
    int n = 0;
    cmd->BindInteiro(n++, FCodigoEmpresa);
    if (inicio.isValid())
        cmd->BindData(n++, inicio);
    if (fim.isValid())
        cmd->BindData(n++, fim);
    TnCursorDerivado linhas(cmd->Abrir());
    MapearColunas(linhas);
    if (filtrar) {
        const int obs = linhas.IndiceOrigem(QStringLiteral("OBSLCTOINV"));
        linhas.SetFiltro([obs, palavra](TnCursor &o) {
            return !o.Nulo(obs) && o.Texto(obs).contains(palavra, Qt::CaseInsensitive);
        });
    }
    ds.CarregarDe(linhas);
    cmd->Fechar();

    if (Form())
        Form()->SetTextoPainel(0, ds.IsEmpty() ? QString::fromUtf8(OrvoSNenhumLancamento)
                                               : QString::fromUtf8(OrvoSLancamentosEncontrados)
                                                     .arg(ds.RecordCount()));
    if (!ds.IsEmpty())
        ds.First();
    ResultadoAlterado();
}

// ---- opening a row --------------------------------------------------------------------

void TOrvoDPConsultaLctoInv::nDBGridDblClick()
{
    TnClientDataSet &ds = nClientDataSet();
    if (!ds.Active() || ds.IsEmpty() || ds.FieldByName(QStringLiteral("CODIGOPRODUTO")).IsNull())
        return;
    // The branch and the date go back to exactly what they were, whatever happens.
    std::vector<TnValorSelecao> anteriores;
    for (const char *nome : {"CODIGOESTAB", "DATAINVENT"})
        anteriores.push_back({QString::fromLatin1(nome), Selecao().GetParams(QString::fromLatin1(nome)).Value()});
    const auto restaurar = qScopeGuard([&anteriores] {
        for (const TnValorSelecao &v : anteriores)
            Selecao().GetParams(v.Nome).SetValue(v.Valor);
    });
    for (const char *nome : {"CODIGOPRODUTO", "DATAINVENT", "CODIGOESTAB"})
        Selecao().GetParams(QString::fromLatin1(nome)).SetValue(ds.FieldByName(QString::fromLatin1(nome)).AsVariant());

    // The register on the row's company, branch, date and product (every reason), the
    // company pinned for it alone; modal, without the new-record action.
    FActAbrirLinha->Abrir();
    AtualizarLinhas();
}

void TOrvoDPConsultaLctoInv::AtualizarLinhas()
{
    TnClientDataSet &ds = nClientDataSet();
    if (!ds.Active() || ds.IsEmpty())
        return;
    const QStringList chave = Nomes(kChaveLinha);
    QVariantList valores;
    for (const QString &c : chave)
        valores << ds.FieldByName(c).AsVariant();
    const auto mesmaChave = [&] {
        for (int i = 0; i < chave.size(); ++i)
            if (ds.FieldByName(chave[i]).AsVariant() != valores[i])
                return false;
        return true;
    };

    ds.DisableControls();
    const auto reativar = qScopeGuard([&ds] { ds.EnableControls(); });
    // The rows of one entry group are neighbours in the order of the load (or any order led
    // by the group's key); under another order the load's order serves the refresh.
    const QString ordem = ds.IndexFieldNames();
    const bool outraOrdem = !ordem.isEmpty() && !ordem.toUpper().remove(u' ').startsWith(QString::fromLatin1(kChaveLinha));
    if (outraOrdem) {
        const TnBookmark atual = ds.GetBookmark();
        ds.SetIndexFieldNames(QString());
        ds.GotoBookmark(atual);
    }
    while (!ds.Bof() && mesmaChave())
        if (ds.MoveBy(-1) == 0)
            break;
    if (!mesmaChave())
        ds.Next();
    QHash<int, TnBookmark> porMotivo;
    for (; !ds.Eof() && mesmaChave(); ds.Next())
        porMotivo.insert(ds.FieldByName(QStringLiteral("MOTIVOINVENTARIO")).AsInteger(), ds.GetBookmark());

    const std::unique_ptr<TnComando> cmd = nDMConexao::Atual().Preparar(
        QString::fromLatin1(kSelect)
        + QStringLiteral(" and L.CODIGOESTAB = ? and L.DATAINVENT = ? and L.CODIGOPRODUTO = ? order by L.MOTIVOINVENTARIO"));
    for (int i = 0; i < valores.size(); ++i)
        cmd->BindValor(i, valores[i]);
    TnCursorDerivado linhas(cmd->Abrir());
    MapearColunas(linhas);
    const int motivo = linhas.IndiceOrigem(QStringLiteral("MOTIVOINVENTARIO"));
    TnBookmark ultima = -1;
    while (linhas.Proximo()) {
        const auto it = porMotivo.find(int(linhas.Origem().Inteiro(motivo)));
        if (it == porMotivo.end())
            continue;
        ds.GotoBookmark(it.value());
        ds.Edit();
        CopiarLinhaDoCursor(linhas, ds);
        ds.Post();
        ultima = it.value();
        porMotivo.erase(it);
    }
    cmd->Fechar();
    // What is left lost its entry.
    for (const TnBookmark b : std::as_const(porMotivo)) {
        ds.GotoBookmark(b);
        ds.Delete();
    }
    if (outraOrdem)
        ds.SetIndexFieldNames(ordem);
    if (ultima >= 0 && ds.BookmarkValid(ultima))
        ds.GotoBookmark(ultima);
}

static TnRegistrador<TOrvoDPConsultaLctoInv> gRegistro("TOrvoDPConsultaLctoInv");
