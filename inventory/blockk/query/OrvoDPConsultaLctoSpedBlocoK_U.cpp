#include "OrvoDPConsultaLctoSpedBlocoK_U.h"

#include "AbrirCadastro.h"
#include "Acoes.h"
#include "Bandas.h"
#include "Dicionario.h"
#include "Interacao.h"
#include "Literais.h"
#include "OrvoConsultaLctoBlocoKFactory_U.h"
#include "OrvoConsultaRotinaBlocoKBase_U.h"
#include "Valores.h"

namespace {

const char *const kCaption = "Lançamentos SPEED - Bloco K";
const char *const kEmpresa = "pCodigoEmpresa";
const char *const kEstab = "pCodigoEstab";
const char *const kDataInicial = "pDataInicial";
const char *const kDataFinal = "pDataFinal";
const char *const kPessoa = "pCodigoPessoa";
const char *const kProduto = "pCodigoProduto";
const char *const kNCM = "pCodigoNCM";

const TnDefProcesso kDeclaracao{
    .Caption = QString::fromUtf8(kCaption),
    .CaptionParametros = QString::fromUtf8(kCaption),
    .Parametros =
        {
            {.Alias = kEmpresa, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEmpresa", .ChaveDicionario = "CodigoEmpresa",
             .Hint = QString::fromUtf8("Informe o Código da Empresa")},
            {.Alias = kEstab, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab", .ChaveDicionario = "CodigoEstab",
             .Requerido = true, .MultiSelecao = true, .Hint = "Informe a Filial"},
            {.Alias = kDataInicial, .Caption = QString::fromUtf8("Período Inicial"), .Tipo = ntpData,
             .ChaveDicionario = "DICDATA", .Requerido = true, .Hint = QString::fromUtf8("Informe a Período Inicial")},
            {.Alias = kDataFinal, .Caption = QString::fromUtf8("Período Final"), .Tipo = ntpData,
             .ChaveDicionario = "DICDATA", .Requerido = true, .Hint = QString::fromUtf8("Informe a Período Final")},
            {.Alias = kPessoa, .Caption = "Cliente/Fornecedor/Participante", .Tipo = ntpLookup,
             .ChaveDicionario = "CODIGOPESSOA", .MultiSelecao = true},
            {.Alias = kProduto, .Caption = "Produto", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCProduto",
             .ChaveDicionario = "CodigoProduto", .MultiSelecao = true,
             .Hint = "Informe o produto para filtrar a consulta"},
            {.Alias = kNCM, .Caption = QString::fromUtf8("Classificação Fiscal"), .ChaveDicionario = "CODIGONCMPRODUTO",
             .Hint = QString::fromUtf8("Informe a classificação fiscal para filtrar a consulta")},
        },
};

// The register each tab's rows open, positioned by the row's key.
struct TnAbrirRegistro {
    quint16 Registro;
    const char *Classe;
    const char *Chave;
};
const TnAbrirRegistro kAbrir[] = {
    {200, "TOrvoDMSpedFisK200", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTO;INDICADORESTOQUE;SEQ"},
    {210, "TOrvoDMSpedFisK210", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210"},
    {220, "TOrvoDMSpedFisK220", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTOORI;CODIGOPRODUTODEST"},
    {230, "TOrvoDMSpedFisK230", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOORDEMPRODUCAO;CODIGOPRODUTO"},
    {250, "TOrvoDMSpedFisK250", "CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO;CODIGOPRODUTO"},
    {260, "TOrvoDMSpedFisK260", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK260"},
    {270, "TOrvoDMSpedFisK270", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK270"},
    {280, "TOrvoDMSpedFisK280", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK280"},
    {290, "TOrvoDMSpedFisK290", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK290"},
    {300, "TOrvoDMSpedFisK300", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATARECONHECPROD"},
};

// The key that links a family's detail grid to its master.
const char *ChaveDetalhe(quint16 registro)
{
    switch (registro) {
    case 210: return "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210";
    case 230: return "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOORDEMPRODUCAO;CODIGOPRODUTO";
    case 250: return "CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO;CODIGOPRODUTO";
    case 260: return "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK260";
    case 270: return "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK270";
    case 290: return "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK290";
    case 300: return "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATARECONHECPROD";
    default: return "";
    }
}

QString NomeAba(quint16 registro) { return QStringLiteral("K%1").arg(registro); }

TOrvoConsultaRotinaBlocoKBase &Rotina(std::unique_ptr<IRelacionarRotinaBlocoK> &r)
{
    return dynamic_cast<TOrvoConsultaRotinaBlocoKBase &>(*r);
}

void Declarar(TnClientDataSet &ds, std::span<const TnDefCampo> campos)
{
    ds.DefinirCampos(campos.data(), int(campos.size()));
    ds.SetLogChanges(false);
}

} // namespace

TOrvoDPConsultaLctoSpedBlocoK::TOrvoDPConsultaLctoSpedBlocoK()
    : TnDMPowerParamTab(kDeclaracao), FAcoes(new TnActionList(this))
{
    const auto fabrica = ConsultaLctoBlocoKFactory();
    for (const TnAbrirRegistro &a : kAbrir) {
        std::unique_ptr<IRelacionarRotinaBlocoK> r = fabrica->PegarRotina(a.Registro);
        TnAbaResultado &aba = AdicionarAba(NomeAba(a.Registro));
        Declarar(aba.Dados, Rotina(r).CamposMestre());
        // The combo of the stock kind takes its values from the dictionary.
        if (a.Registro == 200 || a.Registro == 280)
            Dicionario(aba.Dados);
        aba.Dados.CreateDataSet();
        if (Rotina(r).TemDetalhe()) {
            Declarar(aba.CriarDetalhe(), Rotina(r).CamposDetalhe());
            aba.Detalhe()->CreateDataSet();
            aba.LigarDetalhe(QString::fromLatin1(ChaveDetalhe(a.Registro)));
        }
        // Until the first run the grid shows one empty band above its columns.
        aba.Dados.GridBands().Add(QStringLiteral("Empresa"), QString());

        auto *acao = new TnActAbrirCadastro(FAcoes);
        acao->SetName(QStringLiteral("nActAbrir") + NomeAba(a.Registro));
        acao->SetCaption(QStringLiteral("Sped Fiscal - Bloco ") + NomeAba(a.Registro));
        acao->Hint = QString::fromUtf8("Visualizar lançamento");
        acao->SetImageIndex(EhHttpExe() ? 104 : 100);
        acao->SetControlaDireito(false);
        acao->LogBanco = false;
        acao->ClasseCadastro = QString::fromLatin1(a.Classe);
        acao->Mestre = &aba.Dados;
        acao->CamposMestre = acao->CamposDetalhe = QString::fromLatin1(a.Chave);
        aba.AcaoAbrir = acao;
    }
    FAcoes->Adicionar(QStringLiteral("actExecutar"))->SetCaption(QStringLiteral("actExecutar"));
}

TOrvoDPConsultaLctoSpedBlocoK::~TOrvoDPConsultaLctoSpedBlocoK() = default;

QString TOrvoDPConsultaLctoSpedBlocoK::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPConsultaLctoSpedBlocoK::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                     const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "30 Consultas", .Caption = "Lançamento SPED - Bloco K", .Indice = 40,
                .Atalho = "Shift+Ctrl+F9", .ControlaDireito = true}},
              classe, lista, evento, modulos);
}

TnAbaResultado &TOrvoDPConsultaLctoSpedBlocoK::AbaDe(quint16 registro) const
{
    TnAbaResultado *aba = FindAba(NomeAba(registro));
    if (!aba)
        throw Exception(QStringLiteral("A consulta do Bloco K não tem o registro %1.").arg(registro));
    return *aba;
}

TnClientDataSet &TOrvoDPConsultaLctoSpedBlocoK::cdsK(quint16 registro) const { return AbaDe(registro).Dados; }
TnClientDataSet *TOrvoDPConsultaLctoSpedBlocoK::cdsDetalheK(quint16 registro) const { return AbaDe(registro).Detalhe(); }
TnActAbrirCadastro *TOrvoDPConsultaLctoSpedBlocoK::nActAbrirK(quint16 registro) const
{
    return AbaDe(registro).AcaoAbrir.data();
}

// ---- the run ------------------------------------------------------------------------------

void TOrvoDPConsultaLctoSpedBlocoK::ValidarDado()
{
    TnDMPowerParamTab::ValidarDado();
    const TnpqParamItem &inicial = Param(QString::fromLatin1(kDataInicial));
    const TnpqParamItem &final = Param(QString::fromLatin1(kDataFinal));
    if (inicial.IsNull() || !inicial.AsDate().isValid())
        throw EnParam(inicial.Alias(), QString::fromUtf8(OrvoSDataInvalida));
    if (final.IsNull() || !final.AsDate().isValid())
        throw EnParam(final.Alias(), QString::fromUtf8(OrvoSDataInvalida));
    if (final.AsDate() < inicial.AsDate())
        throw EnParam(final.Alias(), QString::fromUtf8(OrvoSDataFinalMenor));
    // Never company 0 in place of a company left empty.
    const TnpqParamItem &empresa = Param(QString::fromLatin1(kEmpresa));
    qint64 codigo = 0;
    if (empresa.IsNull() || !TextoParaInteiro(empresa.AsString().trimmed(), codigo) || codigo == 0)
        throw EnParam(empresa.Alias(), QString::fromUtf8(OrvoSEmpresaNaoInformada));
}

void TOrvoDPConsultaLctoSpedBlocoK::LerConfig()
{
    TConsultaLctoSpedBlocoKConfig c;
    qint64 empresa = 0;
    TextoParaInteiro(Param(QString::fromLatin1(kEmpresa)).AsString().trimmed(), empresa);
    c.CodigoEmpresa = int(empresa);
    c.CodigoEstab = Param(QString::fromLatin1(kEstab)).AsString();
    c.DataInicial = Param(QString::fromLatin1(kDataInicial)).AsDate();
    c.DataFinal = Param(QString::fromLatin1(kDataFinal)).AsDate();
    c.CodigoPessoa = Param(QString::fromLatin1(kPessoa)).AsString();
    c.CodigoProduto = Param(QString::fromLatin1(kProduto)).AsString();
    c.CodigoNCM = Param(QString::fromLatin1(kNCM)).AsString().trimmed();
    // A value of a filter that is not valid is refused on its parameter before anything runs.
    const auto conferir = [this](const char *alias, const QString &texto, TTipoValorFiltro tipo) {
        NoParametro(QString::fromLatin1(alias), [&] { return FilterInterval(QStringLiteral("K.C"), texto, tipo); });
    };
    conferir(kEstab, c.CodigoEstab, tvfNumerico);
    conferir(kPessoa, c.CodigoPessoa, tvfNumerico);
    conferir(kProduto, c.CodigoProduto, tvfNumerico);
    conferir(kNCM, c.CodigoNCM, tvfTexto);
    FConfig = c;
}

void TOrvoDPConsultaLctoSpedBlocoK::Executar()
{
    TnDMPowerParamTab::Executar();
    LerConfig();
    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
    progresso->MostrarSimples(QString::fromUtf8(OrvoSBuscandoRotinasBlocoK));

    // Every family into datasets of its own first; the tabs change only once all were read.
    struct TnLido {
        std::unique_ptr<TnClientDataSet> Mestre, Detalhe;
    };
    std::vector<TnLido> lidos;
    for (quint16 registro : kRegistros) {
        std::unique_ptr<IRelacionarRotinaBlocoK> rotina = ConsultaLctoBlocoKFactory()->PegarRotina(registro);
        TnLido lido{std::make_unique<TnClientDataSet>(), nullptr};
        if (AbaDe(registro).Detalhe())
            lido.Detalhe = std::make_unique<TnClientDataSet>();
        rotina->SetConfig(FConfig).SetCdsMestre(lido.Mestre.get()).SetCdsDetalhe(lido.Detalhe.get()).Relacionar();
        lidos.push_back(std::move(lido));
    }
    for (size_t i = 0; i < kRegistros.size(); ++i) {
        TnAbaResultado &aba = AbaDe(kRegistros[i]);
        aba.Dados.DisableControls();
        aba.Dados.AssumirLinhas(*lidos[i].Mestre);
        aba.Dados.GridBands().CopiarDe(lidos[i].Mestre->GridBands());
        if (aba.Detalhe())
            aba.Detalhe()->AssumirLinhas(*lidos[i].Detalhe);
        aba.Dados.EnableControls();
        aba.Dados.GridBands().AtualizarBandasGrid();
    }
    ResultadoAlterado();
}

static TnRegistrador<TOrvoDPConsultaLctoSpedBlocoK> gRegistro("TOrvoDPConsultaLctoSpedBlocoK");
