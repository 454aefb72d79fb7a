#include "OrvoDPAuditoriaInv_U.h"

#include "OrvoAuditorFabrica_U.h"
#include "Valores.h"

#include <QScopeGuard>

namespace {

const char *const kCaption = "Auditoria Lançamentos Inventário";
const char *const kAuditoria = "pAuditoria";
const char *const kEmpresa = "pCodigoEmpresa";
const char *const kCompetInicial = "pCompetInicial";
const char *const kCompetFinal = "pCompetFinal";
const char *const kEstab = "pCodigoEstab";

// The rules a user may tick, "caption=code"; "*" marks an entry under the group
// "Lançamentos" (100), whose code runs nothing.
const char *const kOpcoes
    = "Lançamentos=100;*Ausência de Informações de Propriedade=1;*Ausência de Informações de CST=2;"
      "*Ausência da Conta Contábil Detalhamento Propriedade=3;"
      "*Diferença na Quantidade Entre Lançamento do Inventario e Propriedade=4;"
      "*Diferença no custo Unitário do Lançamento do Inventario e Propriedade=5;"
      "*Ausência da Base de Cálculo no Detalhamento da CST=6;";

const TnDefProcesso kDeclaracao{
    .Caption = QString::fromUtf8(kCaption),
    .CaptionParametros = QString::fromUtf8(kCaption),
    .Parametros =
        {
            // The ticked rules' codes, each followed by ";"; "0" (given by code) for every rule.
            {.Alias = kAuditoria, .Caption = "Auditoria", .Tipo = ntpListaMarcacao, .Requerido = true,
             .OpcoesMarcacao = QString::fromUtf8(kOpcoes)},
            {.Alias = kEmpresa, .Caption = "Empresa", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEmpresa",
             .ChaveDicionario = "CODIGOEMPRESA", .Requerido = true},
            {.Alias = kCompetInicial, .Caption = QString::fromUtf8("Competência Inicial"), .Tipo = ntpData,
             .ChaveDicionario = "DICDATAMESANO", .Requerido = true, .Hint = QString::fromUtf8("Informe a competência inicial")},
            {.Alias = kCompetFinal, .Caption = QString::fromUtf8("Competência Final"), .Tipo = ntpData,
             .ChaveDicionario = "DICDATAMESANO", .Requerido = true, .Hint = QString::fromUtf8("Informe a competência final")},
            {.Alias = kEstab, .Caption = "Filial", .Tipo = ntpInteiro, .Requerido = true},
        },
};

// The grid's columns, in display order.
const TnDefCampo kCampos[] = {
    {.Nome = "MOVIMENTO", .Tipo = ftString, .Tamanho = 20, .Def = {.DisplayLabel = "Cadastro"}},
    {.Nome = "CHAVELCTO", .Tipo = ftLargeint, .Def = {.DisplayLabel = QString::fromUtf8("Código")}},
    {.Nome = "CADASTRO", .Tipo = ftString, .Tamanho = 30, .Def = {.Visivel = false}},
    {.Nome = "DESCRICAO", .Tipo = ftString, .Tamanho = 200,
     .Def = {.DisplayLabel = QString::fromUtf8("Descrição da Auditoria")}},
    {.Nome = "INDICE", .Tipo = ftInteger, .Def = {.Visivel = false}},
    {.Nome = "FIELDNAMECHAVE", .Tipo = ftString, .Tamanho = 30, .Def = {.Visivel = false}},
    {.Nome = "TITULO", .Tipo = ftInteger, .Def = {.Visivel = false}},
    {.Nome = "NUMERONF", .Tipo = ftInteger, .Def = {.Visivel = false}},
    {.Nome = "HASHCODE", .Tipo = ftInteger, .Def = {.Visivel = false}},
    {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Def = {.Visivel = false}},
    {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Def = {.Visivel = false}},
};
enum { cMovimento, cChaveLcto, cCadastro, cDescricao, cIndice, cFieldNameChave, cTitulo, cNumeroNF, cHashCode,
       cEmpresa, cEstab };

} // namespace

TOrvoDPAuditoriaInv::TOrvoDPAuditoriaInv() : TnDMPowerParamGrid(kDeclaracao)
{
    SetGridOptions({goAutoInsert, goZebrar, goPermitirFiltro, goTotalizarValores, goPermitePaginacao,
                    goColumnHidingEnabled, goGridReadOnly, goExibirNavigator, goMostrarExpandirDetalhesVazios,
                    goCelulaAlturaAutomatica, goHeaderAulturaAutomatica});
    SetDBGridOrdenar(false);
    SetPesquisa(false);
    SetCampoEstiloLinha(QStringLiteral("TITULO"));
    SetCaptionResultado(QStringLiteral("Executar"));
    nClientDataSet().SetLogChanges(false);
    PrepararGrade();
}

TOrvoDPAuditoriaInv::~TOrvoDPAuditoriaInv()
{
    // The second cursor goes before the rows it walks.
    FClone.reset();
}

void TOrvoDPAuditoriaInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                           const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "40 Utilitários", .Caption = kCaption, .Indice = 70}}, classe, lista, evento, modulos);
}

void TOrvoDPAuditoriaInv::PrepararGrade()
{
    TnClientDataSet &ds = nClientDataSet();
    if (ds.FieldCount() == 0)
        ds.DefinirCampos(kCampos);
    if (!ds.Active())
        ds.CreateDataSet();
}

// ---- validation -------------------------------------------------------------------------

QString TOrvoDPAuditoriaInv::SelecionarTodasAuditorias() const
{
    QString r;
    for (const TnOpcaoMarcacao &opcao : Param(QString::fromLatin1(kAuditoria)).OpcoesMarcacao())
        r += opcao.Valor + u';';
    return r;
}

void TOrvoDPAuditoriaInv::ValidarDado()
{
    TnDMPowerParamGrid::ValidarDado();
    const TnpqParamItem &empresa = Param(QString::fromLatin1(kEmpresa));
    const TnpqParamItem &estab = Param(QString::fromLatin1(kEstab));
    FCodigoEmpresa = int(empresa.AsInteger());
    FCodigoEstab = int(estab.AsInteger());

    const auto mes = [this](const char *alias, bool final) {
        const TnpqParamItem &p = Param(QString::fromLatin1(alias));
        if (p.IsNull())
            return QDate(); // the required-parameter check names it
        const QDate d = final ? p.AsDataFinal() : p.AsDataInicial();
        if (!d.isValid())
            throw EnParam(p.Alias(), QString::fromUtf8("%1 inválida: \"%2\".").arg(p.Caption(), p.AsString()));
        return d;
    };
    FDataInicial = mes(kCompetInicial, false);
    FDataFinal = mes(kCompetFinal, true);

    // Each code once, in the order first given; empty pieces are no codes.
    QStringList codigos;
    const QString texto = Param(QString::fromLatin1(kAuditoria)).AsString();
    for (const QString &peca : texto.split(u';')) {
        const QString codigo = peca.trimmed();
        if (codigo.isEmpty() || codigos.contains(codigo, Qt::CaseInsensitive))
            continue;
        qint64 n = 0;
        if (!TextoParaInteiro(codigo, n))
            throw EnParam(QString::fromLatin1(kAuditoria),
                          QString::fromUtf8("Código de auditoria inválido: \"%1\".").arg(codigo));
        codigos << codigo;
    }
    FAuditoria = codigos.join(u';');
    if (FAuditoria == QLatin1String("0"))
        FAuditoria = SelecionarTodasAuditorias().chopped(1);
}

// ---- the run ----------------------------------------------------------------------------

void TOrvoDPAuditoriaInv::Executar()
{
    TnDMPowerParamGrid::Executar();
    FItensAuditoria.clear();
    FUltimaChave = 0;
    PrepararGrade();
    FClone.reset();
    nClientDataSet().EmptyDataSet();
    // Whatever happens, the grid starts on its first row and the re-check walks it as it is.
    const auto fim = qScopeGuard([this] {
        FProgresso.reset();
        if (!nClientDataSet().IsEmpty())
            nClientDataSet().First();
        CriarClone();
        ResultadoAlterado();
    });
    FProgresso = CriarProgresso(this);
    FProgresso->MostrarSimples();
    ExecutarAuditorias();
}

void TOrvoDPAuditoriaInv::ExecutarAuditorias()
{
    TnClientDataSet &ds = nClientDataSet();
    ds.DisableControls();
    const auto reativar = qScopeGuard([&ds] { ds.EnableControls(); });
    for (const QString &codigo : FAuditoria.split(u';', Qt::SkipEmptyParts)) {
        qint64 n = 0;
        if (TextoParaInteiro(codigo, n))
            ExecutarAuditoria(int(n));
    }
}

void TOrvoDPAuditoriaInv::ExecutarAuditoria(int codigo)
{
    switch (codigo) {
    case 1: AusenciaPropriedade(); break;
    case 2: AusenciaCST(); break;
    case 3: AusenciaCContabilDetPropriedade(); break;
    case 4: DiferencaQtdInvPropriedade(); break;
    case 5: DiferencaCustoUnitInvPropriedade(); break;
    case 6: AusenciaBaseCalcDetCST(); break;
    default: break; // the group and unknown codes run nothing
    }
}

void TOrvoDPAuditoriaInv::AusenciaPropriedade()
{
    ProcessarAuditor(TAuditorFabrica::AuditorAusenciaPropriedade(FCodigoEmpresa, FCodigoEstab, FDataInicial, FDataFinal,
                                                                 FProgresso.get()));
}

void TOrvoDPAuditoriaInv::AusenciaCST()
{
    ProcessarAuditor(
        TAuditorFabrica::AuditorAusenciaCST(FCodigoEmpresa, FCodigoEstab, FDataInicial, FDataFinal, FProgresso.get()));
}

void TOrvoDPAuditoriaInv::AusenciaCContabilDetPropriedade()
{
    ProcessarAuditor(TAuditorFabrica::AuditorAusenciaCContabilDetPropriedade(FCodigoEmpresa, FCodigoEstab, FDataInicial,
                                                                             FDataFinal, FProgresso.get()));
}

void TOrvoDPAuditoriaInv::DiferencaQtdInvPropriedade()
{
    ProcessarAuditor(TAuditorFabrica::AuditorDiferencaQtdInvPropriedade(FCodigoEmpresa, FCodigoEstab, FDataInicial,
                                                                        FDataFinal, FProgresso.get()));
}

void TOrvoDPAuditoriaInv::DiferencaCustoUnitInvPropriedade()
{
    ProcessarAuditor(TAuditorFabrica::AuditorDiferencaCustoUnitInvPropriedade(FCodigoEmpresa, FCodigoEstab,
                                                                              FDataInicial, FDataFinal,
                                                                              FProgresso.get()));
}

void TOrvoDPAuditoriaInv::AusenciaBaseCalcDetCST()
{
    ProcessarAuditor(TAuditorFabrica::AuditorAusenciaBaseCalcDetCST(FCodigoEmpresa, FCodigoEstab, FDataInicial,
                                                                    FDataFinal, FProgresso.get()));
}

void TOrvoDPAuditoriaInv::ProcessarAuditor(const std::shared_ptr<InAuditor> &auditor)
{
    const TnItensAuditoria itens = auditor->Auditar();
    if (itens.empty())
        return;
    const int chave = ++FUltimaChave;
    IncluirTituloAuditoria(*auditor, chave);
    IncluirItensAuditoria(itens, chave);
}

void TOrvoDPAuditoriaInv::IncluirTituloAuditoria(const InAuditor &auditor, int chaveAuditor)
{
    TnClientDataSet &ds = nClientDataSet();
    ds.Append();
    ds.Fields(cTitulo).SetAsInteger(1);
    ds.Fields(cDescricao).SetAsString(auditor.GetDescricao());
    ds.Fields(cIndice).SetAsInteger(chaveAuditor);
    ds.Post();
}

void TOrvoDPAuditoriaInv::IncluirItensAuditoria(const TnItensAuditoria &itens, int chaveAuditor)
{
    TnClientDataSet &ds = nClientDataSet();
    FItensAuditoria.reserve(FItensAuditoria.size() + qsizetype(itens.size()));
    for (const std::shared_ptr<InItemAuditoria> &item : itens) {
        const int chave = ++FUltimaChave;
        FItensAuditoria.insert(chave, item);
        ds.Append();
        ds.Fields(cTitulo).SetAsInteger(2);
        ds.Fields(cMovimento).SetAsString(item->GetMovimento());
        if (const qint64 chaveLcto = item->GetChaveLcto(); chaveLcto != 0)
            ds.Fields(cChaveLcto).SetAsLargeInt(chaveLcto);
        ds.Fields(cDescricao).SetAsString(item->GetDescricao());
        ds.Fields(cHashCode).SetAsInteger(chave);
        ds.Fields(cIndice).SetAsInteger(chaveAuditor);
        ds.Fields(cEmpresa).SetAsInteger(FCodigoEmpresa);
        ds.Fields(cEstab).SetAsInteger(FCodigoEstab);
        ds.Post();
    }
}

void TOrvoDPAuditoriaInv::CriarClone()
{
    FClone = std::make_unique<TnClientDataSet>();
    FClone->CloneCursor(nClientDataSet());
    FClone->SetIndexFieldNames(QStringLiteral("MOVIMENTO;CHAVELCTO"));
}

// ---- opening a finding --------------------------------------------------------------------

void TOrvoDPAuditoriaInv::actAbrirCadastro()
{
    TnClientDataSet &ds = nClientDataSet();
    if (!ds.Active() || ds.IsEmpty())
        return;
    const auto item = FItensAuditoria.constFind(ds.Fields(cHashCode).AsInteger());
    if (ds.Fields(cHashCode).AsInteger() == 0 || item == FItensAuditoria.constEnd())
        return;
    (*item)->AbrirCadastro();
    RemoverItensCorrigidos();
}

bool TOrvoDPAuditoriaInv::ValidarItemAuditoria(int chave)
{
    const auto item = FItensAuditoria.constFind(chave);
    if (item == FItensAuditoria.constEnd() || !(*item)->Validar())
        return false;
    (*item)->AtualizarCadastro();
    return true;
}

void TOrvoDPAuditoriaInv::RemoverItensCorrigidos()
{
    TnClientDataSet &ds = nClientDataSet();
    if (!FClone || !ds.Active() || ds.IsEmpty())
        return;
    const QVariantList chave{ds.Fields(cMovimento).AsVariant(), ds.Fields(cChaveLcto).AsVariant()};
    TnField &hash = FClone->Fields(cHashCode);
    FClone->SetRange(chave, chave);
    const auto soltar = qScopeGuard([this] { FClone->CancelRange(); });
    FClone->First();
    while (!FClone->Eof()) {
        const int h = hash.AsInteger();
        if (h != 0 && ValidarItemAuditoria(h))
            FClone->Delete();
        else
            FClone->Next();
    }
}

// ---- form -------------------------------------------------------------------------------

void TOrvoDPAuditoriaInv::ConfigurarDBGrid()
{
    TnDMPowerParamGrid::ConfigurarDBGrid();
    OnDBGridDblClick = [this] { actAbrirCadastro(); };
}

void TOrvoDPAuditoriaInv::DepoisConfigurar(TnFormModulo *form)
{
    TnDMPowerParamGrid::DepoisConfigurar(form);
    AdicionarItemPopup(QStringLiteral("miAbrirCadastroLctoInv"), QString::fromUtf8("Abrir Cadastro do Lançamento"), 160,
                       QString(), [this] { actAbrirCadastro(); });
    CriarToolButton(QStringLiteral("LctoFis"), QString::fromUtf8("Cadastro dos Lançamentos"), 160,
                    [this] { actAbrirCadastro(); }, QStringLiteral("Ctrl+Enter"));
    if (form)
        form->SetLarguraPainel(0, 300);
}

static TnRegistrador<TOrvoDPAuditoriaInv> gRegistro("TOrvoDPAuditoriaInv");
