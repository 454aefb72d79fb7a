#include "PowerParam.h"

#include "Dicionario.h"

#include "Definicao.h"
#include "Valores.h"
#include "Variaveis.h"

namespace {

Definicao ComLista(const QStringList &lista)
{
    Definicao d;
    d.ListaValores = lista;
    return d;
}

} // namespace

// ---- TnpqParamItem --------------------------------------------------------------------

TnpqParamItem::TnpqParamItem(const TnDefParam &def) : FDef(def), FValor(def.Padrao)
{
    // No caption declared: the dictionary's for its key, else for the column its alias
    // names ("pCodigoEstab": CODIGOESTAB).
    if (FDef.Caption.isEmpty())
        FDef.Caption = CaptionDoDicionario(FDef.ChaveDicionario);
    if (FDef.Caption.isEmpty() && FDef.Alias.startsWith(u'p', Qt::CaseInsensitive))
        FDef.Caption = CaptionDoDicionario(FDef.Alias.mid(1));
    if (FDef.Tipo == ntpListaMarcacao) {
        FOpcoes = FDef.OpcoesMarcacao.isEmpty() ? LerOpcoesMarcacao(FDef.ListaValores)
                                                : LerOpcoesMarcacao(FDef.OpcoesMarcacao);
        if (FDef.ListaValores.isEmpty())
            for (const QString &peca : FDef.OpcoesMarcacao.split(u';', Qt::SkipEmptyParts))
                if (!peca.trimmed().isEmpty())
                    FDef.ListaValores << peca.trimmed();
    }
    // What else it leaves undeclared, from its dictionary key (Dicionario.h).
    const TnEntradaDicionario *e = EntradaDicionario(FDef.ChaveDicionario);
    if (!e)
        return;
    if (FDef.Tipo == ntpTexto)
        switch (e->TipoControle) {
        case ntcData: FDef.Tipo = ntpData; break;
        case ntcCombo: FDef.Tipo = ntpCombo; break;
        case ntcLookup: FDef.Tipo = ntpLookup; break;
        default: FDef.Tipo = e->Decimais > 0 ? ntpNumero : (e->Digitos > 0 ? ntpInteiro : ntpTexto);
        }
    if (FDef.ListaValores.isEmpty())
        FDef.ListaValores = e->ListaValores;
    if (FDef.ClasseLookup.isEmpty() && FDef.Tipo == ntpLookup && e->ClasseLookup)
        FDef.ClasseLookup = QString::fromLatin1(e->ClasseLookup);
    if (FDef.Hint.isEmpty() && e->Hint)
        FDef.Hint = QString::fromUtf8(e->Hint);
    if (FDef.FormatoExibicao.isEmpty() && e->DisplayFormat)
        FDef.FormatoExibicao = QString::fromLatin1(e->DisplayFormat);
    // Several values ("1; 2; 10-20") are longer than one code.
    if (FDef.TamanhoMaximo == 0 && !FDef.MultiSelecao && e->Digitos > 0)
        FDef.TamanhoMaximo = e->Digitos;
}

bool TnpqParamItem::EhMesAno() const
{
    return FDef.Tipo == ntpMesAno || (FDef.Tipo == ntpData && Definicao::EhChaveMesAno(FDef.ChaveDicionario));
}

bool TnpqParamItem::EhArquivoSalvar() const
{
    return FDef.ChaveDicionario.compare(QLatin1String("DICARQUIVOSALVAR"), Qt::CaseInsensitive) == 0;
}

void TnpqParamItem::SetValue(const QVariant &v) { FValor = v; }

void TnpqParamItem::SetText(const QString &texto)
{
    // A check list's text is its value already (the ticked values); its options are no combo.
    if (!FDef.ListaValores.isEmpty() && FDef.Tipo != ntpListaMarcacao) {
        bool achou = false;
        const QString valor = ComLista(FDef.ListaValores).ValorDoTexto(texto.trimmed(), &achou);
        if (achou) {
            FValor = valor;
            return;
        }
    }
    FValor = texto;
}

bool TnpqParamItem::IsNull() const
{
    return EhNulo(FValor) || (FValor.typeId() == QMetaType::QString && FValor.toString().trimmed().isEmpty());
}

QString TnpqParamItem::AsString() const
{
    if (IsNull())
        return QString();
    switch (FValor.typeId()) {
    case QMetaType::QDate: return FValor.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: return FValor.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case QMetaType::Double:
    case QMetaType::Float: return FormatFloat(QString(), FValor.toDouble());
    case QMetaType::Bool: return FValor.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default: return FValor.toString();
    }
}

void TnpqParamItem::Falhar(const QString &tipo) const
{
    throw EnParam(FDef.Alias, QStringLiteral("O parâmetro \"%1\" não é %2: \"%3\".").arg(FDef.Caption, tipo, TrechoCitado(AsString())));
}

qint64 TnpqParamItem::AsInteger() const
{
    if (IsNull())
        return 0;
    switch (FValor.typeId()) {
    case QMetaType::Bool: return FValor.toBool() ? 1 : 0;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = FValor.toDouble();
        if (d != double(qint64(d)))
            Falhar(QStringLiteral("um número inteiro"));
        return qint64(d);
    }
    case QMetaType::QDate:
    case QMetaType::QDateTime: Falhar(QStringLiteral("um número inteiro"));
    default: {
        qint64 v = 0;
        if (!TextoParaInteiro(FValor.toString(), v))
            Falhar(QStringLiteral("um número inteiro"));
        return v;
    }
    }
}

double TnpqParamItem::AsFloat() const
{
    if (IsNull())
        return 0;
    switch (FValor.typeId()) {
    case QMetaType::Bool: return FValor.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Float: return FValor.toDouble();
    case QMetaType::QDate:
    case QMetaType::QDateTime: Falhar(QStringLiteral("um número"));
    default: {
        double v = 0;
        if (!TextoParaNumero(FValor.toString(), v))
            Falhar(QStringLiteral("um número"));
        return v;
    }
    }
}

bool TnpqParamItem::AsBoolean() const
{
    if (IsNull())
        return false;
    switch (FValor.typeId()) {
    case QMetaType::Bool: return FValor.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double: return FValor.toDouble() != 0;
    default: {
        const QString t = FValor.toString().trimmed().toUpper();
        return t == QLatin1String("1") || t == QLatin1String("S") || t == QLatin1String("SIM")
               || t == QLatin1String("TRUE") || t == QLatin1String("T");
    }
    }
}

QDate TnpqParamItem::AsDataInicial() const
{
    if (IsNull())
        return {};
    QDate d;
    if (FValor.typeId() == QMetaType::QDate)
        d = FValor.toDate();
    else if (FValor.typeId() == QMetaType::QDateTime)
        d = FValor.toDateTime().date();
    else if (FValor.typeId() == QMetaType::QString) {
        if (EhMesAno())
            TextoParaMesAno(FValor.toString(), d);
        else
            TextoParaData(FValor.toString(), d);
    }
    return EhMesAno() ? PrimeiroDiaDoMes(d) : d;
}

QDate TnpqParamItem::AsDataFinal() const
{
    const QDate d = AsDataInicial();
    return EhMesAno() ? UltimoDiaDoMes(d) : d;
}

QString TnpqParamItem::Text() const
{
    if (IsNull())
        return QString();
    if (!FDef.ListaValores.isEmpty() && FDef.Tipo != ntpListaMarcacao) {
        const QString t = ComLista(FDef.ListaValores).TextoDoValor(AsString());
        if (!t.isEmpty())
            return t;
    }
    if (EhMesAno()) {
        const QDate d = AsDataInicial();
        return d.isValid() ? d.toString(QStringLiteral("MM/yyyy")) : AsString();
    }
    if (FDef.Tipo == ntpData) {
        const QDate d = AsDataInicial();
        return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : AsString();
    }
    if (!FDef.FormatoExibicao.isEmpty()) {
        double v = 0;
        const bool numero = FValor.typeId() == QMetaType::Double || FValor.typeId() == QMetaType::Int
                            || FValor.typeId() == QMetaType::LongLong;
        if (numero)
            return FormatFloat(FDef.FormatoExibicao, FValor.toDouble());
        if (TextoParaNumero(AsString(), v))
            return FormatFloat(FDef.FormatoExibicao, v);
    }
    return AsString();
}

// ---- TnpqPowerParam -------------------------------------------------------------------

TnpqParamItem &TnpqPowerParam::Adicionar(const TnDefParam &def)
{
    if (def.Alias.trimmed().isEmpty())
        throw Exception(QStringLiteral("Parâmetro sem nome (alias)."));
    if (FindParam(def.Alias))
        throw Exception(QStringLiteral("O parâmetro \"%1\" foi declarado duas vezes.").arg(def.Alias));
    FItens.push_back(std::make_unique<TnpqParamItem>(def));
    return *FItens.back();
}

TnpqParamItem *TnpqPowerParam::FindParam(const QString &alias) const
{
    for (const auto &p : FItens)
        if (p->Alias().compare(alias.trimmed(), Qt::CaseInsensitive) == 0)
            return p.get();
    return nullptr;
}

TnpqParamItem &TnpqPowerParam::Param(const QString &alias) const
{
    TnpqParamItem *p = FindParam(alias);
    if (!p)
        throw Exception(QStringLiteral("O parâmetro \"%1\" não existe.").arg(alias));
    return *p;
}

void TnpqPowerParam::Restaurar()
{
    for (const auto &p : FItens)
        p->Restaurar();
}

void TnpqPowerParam::DisplayParamsMake(TnFormModulo *form, const QString &campoAnterior)
{
    EsquecerPainel();
    if (!form)
        return;
    FNomePainel = form->CriarPainelParametros(*this, campoAnterior);
    FFormPainel = form;
    DisplayParamsLoad();
}

void TnpqPowerParam::DisplayParamsLoad()
{
    if (FFormPainel)
        FFormPainel->CarregarPainelParametros(FNomePainel);
}

void TnpqPowerParam::DisplayParamsSave(bool todos)
{
    if (FFormPainel)
        FFormPainel->SalvarPainelParametros(FNomePainel, todos);
}

void TnpqPowerParam::EsquecerPainel()
{
    FFormPainel = nullptr;
    FNomePainel.clear();
}

// ---- TnDMPowerParam -------------------------------------------------------------------

TnDMPowerParam::TnDMPowerParam(const TnDefProcesso &declaracao)
    : FDecl(declaracao), FCaption(declaracao.Caption), FMensagens(declaracao.ArvoreMensagens)
{
    FParams.Caption = FDecl.CaptionParametros;
    for (const TnDefParam &p : FDecl.Parametros)
        FParams.Adicionar(p);
}

TnDMPowerParam::~TnDMPowerParam() = default;

void TnDMPowerParam::EdEnabledField(const QString &alias, bool habilitado)
{
    TnpqParamItem &p = Param(alias);
    p.SetHabilitado(habilitado);
    AtualizarControle(p.Alias());
}

void TnDMPowerParam::EdRequiredField(const QString &alias, bool requerido)
{
    TnpqParamItem &p = Param(alias);
    p.SetRequerido(requerido);
    AtualizarControle(p.Alias());
}

void TnDMPowerParam::EdVisibleField(const QString &alias, bool visivel)
{
    TnpqParamItem &p = Param(alias);
    p.SetVisivel(visivel);
    AtualizarControle(p.Alias());
}

void TnDMPowerParam::EdClearField(const QString &alias)
{
    TnpqParamItem &p = Param(alias);
    p.Clear();
    AtualizarControle(p.Alias());
}

void TnDMPowerParam::SetParamText(const QString &alias, const QString &texto)
{
    TnpqParamItem &p = Param(alias);
    const QVariant antes = p.Value();
    const bool vazioAntes = p.IsNull();
    p.SetText(texto);
    // An empty control taken into an empty parameter changes nothing.
    if (vazioAntes ? !p.IsNull() : p.Value() != antes)
        ParamChange(p);
}

void TnDMPowerParam::ParamChange(TnpqParamItem &param) { npqPowerParamParamChange(param); }

void TnDMPowerParam::AposCriar()
{
    TnDMFormulario::AposCriar();
    PreencherDaSelecao();
    // The rules between parameters hold for the starting values.
    for (int i = 0; i < FParams.Count(); ++i)
        npqPowerParamParamChange(FParams.Items(i));
}

void TnDMPowerParam::PreencherDaSelecao()
{
    TnSelecao &selecao = Selecao();
    // Only the keys this process follows, and the active company every process works in: a
    // key some other module put into the selection (a branch or a product, after an entry
    // was opened from a consultation) would be a filter the user never chose.
    QStringList chaves = ChavesSelecao();
    chaves << QStringLiteral("CodigoEmpresa");
    for (int i = 0; i < FParams.Count(); ++i) {
        TnpqParamItem &p = FParams.Items(i);
        const QString chave = p.Alias().mid(1);
        if (p.Alias().startsWith(u'p', Qt::CaseInsensitive) && !chave.isEmpty()
            && chaves.contains(chave, Qt::CaseInsensitive) && selecao.Existe(chave)) {
            const TnParamSelecao &s = selecao.GetParams(chave);
            if (!s.IsNull())
                p.SetValue(s.Value());
        } else if (p.EhMesAno() && p.IsNull() && selecao.Existe(QStringLiteral("DataInvent"))) {
            const QDate mes = PrimeiroDiaDoMes(selecao.GetParams(QStringLiteral("DataInvent")).AsDate());
            if (mes.isValid())
                p.SetValue(mes);
        }
    }
}

void TnDMPowerParam::ReconfigurarDM(const QString &parametro, bool recarregar)
{
    TnSelecao &selecao = Selecao();
    if (TnpqParamItem *p = FParams.FindParam(u'p' + parametro.trimmed()); p && selecao.Existe(parametro)) {
        const TnParamSelecao &s = selecao.GetParams(parametro);
        const QVariant antes = p->Value();
        if (s.IsNull())
            p->Clear();
        else
            p->SetValue(s.Value());
        AtualizarControle(p->Alias());
        if (p->Value() != antes)
            ParamChange(*p);
    }
    TnDMFormulario::ReconfigurarDM(parametro, recarregar);
}

void TnDMPowerParam::Rodar()
{
    FMensagens.Limpar();
    FRodouBem = false;
    FCabecalhoRelatorio.clear();
    ValidarDado();
    for (int i = 0; i < FParams.Count(); ++i) {
        const TnpqParamItem &p = FParams.Items(i);
        if (p.Visivel() && p.Requerido() && p.IsNull())
            throw EnParam(p.Alias(), QStringLiteral("O parâmetro \"%1\" deve ser informado.").arg(p.Caption()));
    }
    Executar();
    if (DadosRelatorio()) {
        // The heading of what this run left, before anyone changes the parameters.
        FCabecalhoRelatorio = CabecalhoSelecao();
        const QStringList parametros = ParametrosInformados();
        if (!parametros.isEmpty())
            FCabecalhoRelatorio << QStringLiteral("Parâmetros - ") + parametros.join(QStringLiteral("; "));
    }
    FRodouBem = true;
}

QStringList TnDMPowerParam::ParametrosInformados() const
{
    QStringList parametros;
    for (int i = 0; i < FParams.Count(); ++i) {
        const TnpqParamItem &p = FParams.Items(i);
        if (p.Visivel() && !p.IsNull())
            parametros << p.Caption() + QStringLiteral(": ") + p.Text();
    }
    return parametros;
}

QString TnDMPowerParam::PerguntaComFiltros(const QString &pergunta) const
{
    const QStringList filtros = ParametrosInformados();
    return pergunta + QStringLiteral("\r\n\r\nFiltros informados:\r\n")
           + (filtros.isEmpty() ? QStringLiteral("nenhum") : filtros.join(QStringLiteral("\r\n")));
}

bool TnDMPowerParam::ConfirmarComFiltros(const QString &pergunta) const
{
    return nMessageDlg(PerguntaComFiltros(pergunta), mtConfirmation, mbYes | mbNo, mbNo) == mbYes;
}

void TnDMPowerParam::AbrirLink(const QVariantMap &valores)
{
    for (auto it = valores.cbegin(); it != valores.cend(); ++it)
        Param(it.key()).SetValue(it.value());
    ExecutarAposAbrirLink();
}

TnClientDataSet &TnDMPowerParam::DataSet(const QString &nome)
{
    if (TnClientDataSet *ds = FindDataSet(nome))
        return *ds;
    if (nome.trimmed().isEmpty())
        throw Exception(QStringLiteral("Conjunto de dados sem nome."));
    FDataSets.emplace_back(nome.trimmed(), std::make_unique<TnClientDataSet>());
    return *FDataSets.back().second;
}

TnClientDataSet *TnDMPowerParam::FindDataSet(const QString &nome) const
{
    for (const auto &[n, ds] : FDataSets)
        if (n.compare(nome.trimmed(), Qt::CaseInsensitive) == 0)
            return ds.get();
    return nullptr;
}

void TnDMPowerParam::ResultadoAlterado()
{
    AntesDeMostrarResultado();
    if (FForm)
        FForm->ResultadoAlterado();
}

TnClientDataSet *TnDMPowerParam::DadosRelatorio() { return nullptr; }
const TnDefRelatorio *TnDMPowerParam::DefRelatorio() const { return nullptr; }

bool TnDMPowerParam::TemRelatorio()
{
    const TnClientDataSet *dados = DadosRelatorio();
    return FRodouBem && dados && dados->Active();
}

TnRelatorio TnDMPowerParam::Relatorio()
{
    if (!TemRelatorio())
        throw Exception(QStringLiteral("Execute o processo antes de emitir o relatório."));
    return MontarRelatorio(DefRelatorio(), *DadosRelatorio(), FCaption, FCabecalhoRelatorio);
}

QString TnDMPowerParam::GetFormClass() const { return QString(); }
void TnDMPowerParam::ValidarDado() {}
void TnDMPowerParam::Executar() {}
void TnDMPowerParam::ExecutarAposAbrirLink() { Rodar(); }
void TnDMPowerParam::npqPowerParamParamChange(TnpqParamItem &) {}

// ---- variants -------------------------------------------------------------------------

TnAcaoLinha &TnDMPowerParamGrid::AcaoLinha(const QString &nome)
{
    for (TnAcaoLinha &a : FAcoesLinha)
        if (a.Nome.compare(nome.trimmed(), Qt::CaseInsensitive) == 0)
            return a;
    FAcoesLinha.push_back({.Nome = nome.trimmed()});
    return FAcoesLinha.back();
}

void TnDMPowerParamGrid::AdicionarItemPopup(const QString &nome, const QString &caption, int imagem,
                                            const QString &atalho, std::function<void()> executar)
{
    TnAcaoLinha &a = AcaoLinha(nome);
    a.Caption = caption;
    a.Imagem = imagem;
    a.Atalho = atalho;
    a.Popup = true;
    a.Executar = std::move(executar);
}

void TnDMPowerParamGrid::CriarToolButton(const QString &nome, const QString &hint, int imagem,
                                         std::function<void()> clique, const QString &atalho)
{
    TnAcaoLinha &a = AcaoLinha(nome);
    a.Hint = hint;
    if (a.Caption.isEmpty())
        a.Caption = hint;
    a.Imagem = imagem;
    a.Atalho = atalho;
    a.Botao = true;
    a.Executar = std::move(clique);
}

void TnDMPowerParamGrid::DBGridDblClick()
{
    if (OnDBGridDblClick)
        OnDBGridDblClick();
    else if (FAcaoGrade)
        FAcaoGrade->Execute();
}

void TnDMPowerParamGrid::ExecutarAcaoLinha(const QString &nome)
{
    for (const TnAcaoLinha &a : FAcoesLinha)
        if (a.Nome.compare(nome.trimmed(), Qt::CaseInsensitive) == 0) {
            if (a.Executar)
                a.Executar();
            return;
        }
    throw Exception(QStringLiteral("A grade não tem a ação %1.").arg(nome));
}

void TnDMPowerParamGrid::ConfigurarDBGrid() {}

void TnDMPowerParamGrid::DepoisConfigurar(TnFormModulo *form)
{
    TnDMPowerParam::DepoisConfigurar(form);
    ConfigurarDBGrid();
}

TnClientDataSet &TnAbaResultado::CriarDetalhe()
{
    if (!FDetalhe)
        FDetalhe = std::make_unique<TnClientDataSet>();
    return *FDetalhe;
}

void TnAbaResultado::LigarDetalhe(const QString &camposChave)
{
    if (!FDetalhe)
        throw Exception(QStringLiteral("A aba %1 não tem detalhe para ligar.").arg(Caption));
    FLigacao.reset();
    try {
        FLigacao = std::make_unique<TnLigacaoMestreDetalhe>(Dados, *FDetalhe, camposChave);
    } catch (Exception &e) {
        e.SetMessage(QStringLiteral("Aba %1: %2").arg(Caption, e.Message()));
        throw;
    }
}

QString TnAbaResultado::CamposChave() const { return FLigacao ? FLigacao->Campos().join(u';') : QString(); }

void TnAbaResultado::SeguirMestre()
{
    if (FLigacao)
        FLigacao->Seguir();
}

TnAbaResultado &TnDMPowerParamTab::AdicionarAba(const QString &caption)
{
    FAbas.push_back(std::make_unique<TnAbaResultado>());
    FAbas.back()->Caption = caption;
    return *FAbas.back();
}

TnAbaResultado *TnDMPowerParamTab::FindAba(const QString &caption) const
{
    for (const auto &a : FAbas)
        if (a->Caption.compare(caption.trimmed(), Qt::CaseInsensitive) == 0)
            return a.get();
    return nullptr;
}

void TnDMPowerParamTab::LimparAbas() { FAbas.clear(); }

QString TnDMPowerParam::MensagemFiltroInvalido(const QString &alias, const EFiltroInvalido &e) const
{
    const TnpqParamItem *p = FParams.FindParam(alias);
    const QString nome = p && !p->Caption().trimmed().isEmpty() ? p->Caption().trimmed() : alias;
    return QStringLiteral("Valor \"%1\" inválido em \"%2\": %3").arg(e.Valor(), nome, e.Motivo());
}

void TnDMPowerParamTab::AntesDeMostrarResultado()
{
    for (const auto &a : FAbas)
        a->SeguirMestre();
}
