#include "QtProcesso.h"

#include "Bandas.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtGrade.h"
#include "QtGradeOpcoes.h"
#include "QtInteracao.h"
#include "QtRelatorio.h"
#include "QtMenu.h"
#include "Valores.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
// The header bands over other bands, one row of captions per depth, outermost first; the
// bands of fields are the columns' own captions.
void MostrarBandas(QWidget *quadro, const TnGridBands &bandas)
{
    delete quadro->layout();
    for (QWidget *w : quadro->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        delete w;
    auto *l = new QVBoxLayout(quadro);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    std::vector<const TnGridBands *> nivel{&bandas};
    while (!nivel.empty()) {
        std::vector<const TnGridBands *> proximo;
        auto *linha = new QHBoxLayout;
        linha->setSpacing(0);
        for (const TnGridBands *b : nivel)
            for (int i = 0; i < b->Count(); ++i) {
                const TnGridBandsItem &item = b->Items(i);
                if (!item.Campo().isEmpty())
                    continue;
                auto *rotulo = new QLabel(item.Caption(), quadro);
                rotulo->setObjectName(QStringLiteral("banda") + item.Nome());
                rotulo->setAlignment(Qt::AlignCenter);
                rotulo->setFrameShape(QFrame::StyledPanel);
                rotulo->setVisible(!item.Caption().trimmed().isEmpty());
                linha->addWidget(rotulo, 1);
                proximo.push_back(&item.Filhas());
            }
        if (linha->count() > 0)
            l->addLayout(linha);
        else
            delete linha;
        nivel = std::move(proximo);
    }
}

TnTipoEditor TipoEditorDoParametro(const TnpqParamItem &p)
{
    switch (p.Tipo()) {
    case ntpCombo: return teLista;
    case ntpCheckBox: return teMarcacao;
    case ntpMemo: return teMemo;
    case ntpListaMarcacao: return teListaMarcacao;
    case ntpLookup: return tePesquisa;
    default:
        if (!p.ListaValores().isEmpty())
            return teLista;
        // A date picked among those a consultation lists, or a file to save: typed or searched.
        return p.ClasseLookup().isEmpty() && !p.EhArquivoSalvar() ? teLinha : tePesquisa;
    }
}
} // namespace

TnEditor *CriarEditorParametro(const TnpqParamItem &p, QWidget *pai)
{
    auto *e = new TnEditor(p.Alias(), TipoEditorDoParametro(p), pai);
    if (auto *linha = qobject_cast<QLineEdit *>(e->Entrada())) {
        if (p.EhMesAno())
            linha->setPlaceholderText(QStringLiteral("mm/aaaa"));
        else if (p.Tipo() == ntpData)
            linha->setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
    }
    e->SetAlinharDireita(p.Tipo() == ntpInteiro || p.Tipo() == ntpNumero);
    // A number or a date is replaced whole more often than edited.
    e->SetSelecionarAoEntrar(p.Tipo() == ntpInteiro || p.Tipo() == ntpNumero || p.Tipo() == ntpData || p.EhMesAno());
    return e;
}

void MostrarParametro(TnEditor *e, const TnpqParamItem &p)
{
    e->SetCaption(p.Caption(), p.Requerido());
    e->SetVisivel(p.Visivel());
    e->SetLista(p.ListaValores());
    e->SetTamanhoMaximo(p.TamanhoMaximo());
    e->SetDica(p.Hint());
    e->SetHabilitado(p.Habilitado());
    e->SetMascara(p.MascaraEdicao());
    e->SetCaracteresAceitos(p.CaracteresAceitos());
    if (!e->Digitando())
        e->SetTexto(p.Text());
}

TnFrmProcesso::TnFrmProcesso(TnDMPowerParam *dm, QWidget *pai) : TnFrmModulo(dm, pai), FProcesso(dm)
{
    // Only a run that ended well confirms the window.
    SetConfirmarAoFechar(false);
    setWindowTitle(dm->Caption().isEmpty() ? dm->ClassName() : dm->Caption());
    resize(640, 480);
    dm->ConfigurarForm(this, [this] { Construir(); });
    Construir();
    CriarBotoesLinha();
    if (auto *qt = dynamic_cast<TnInteracaoQt *>(&Interacao()))
        qt->Vincular(dm->Mensagens(), FMensagens);
    ResultadoAlterado();
    AbrirNoTamanho(minimumSizeHint());
}

TnFrmProcesso::~TnFrmProcesso()
{
    for (TnEditor *e : FEditores)
        disconnect(e, nullptr, this, nullptr);
}

void TnFrmProcesso::Construir()
{
    if (FMensagens)
        return;
    auto *l = new QVBoxLayout(Conteudo());
    const TnpqPowerParam &params = FProcesso->PowerParam();
    auto *grupo = new QGroupBox(params.Caption.isEmpty() ? FProcesso->Declaracao().CaptionParametros : params.Caption,
                                Conteudo());
    if (grupo->title().isEmpty())
        grupo->setTitle(QStringLiteral("Parâmetros"));
    auto *form = new QFormLayout(grupo);
    for (int i = 0; i < params.Count(); ++i) {
        TnEditor *e = CriarEditorParametro(params.Items(i), grupo);
        form->addRow(e->Rotulo(), e->Widget());
        connect(e, &TnEditor::Editado, this, [this, e] {
            if (FProcesso && e->Habilitado())
                Tentar([this, e] { FProcesso->SetParamText(e->Nome(), e->Texto()); });
        });
        connect(e, &TnEditor::Pesquisar, this, [this, e] { Pesquisar(e); });
        // Enter runs the process (after the typed value was taken).
        connect(e, &TnEditor::Confirmou, this, [this] { Executar(); });
        FEditores.push_back(e);
    }
    l->addWidget(grupo);
    FGrupoParametros = grupo;
    MostrarGrupoParametros();

    auto *barra = FBarra = new QToolBar(Conteudo());
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    barra->setIconSize(QSize(16, 16));
    FExecutar = barra->addAction(style()->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("Executar"));
    FExecutar->setObjectName(QStringLiteral("actExecutar"));
    FExecutar->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    connect(FExecutar, &QAction::triggered, this, &TnFrmProcesso::Executar);
    QAction *fechar = barra->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Fechar"));
    fechar->setObjectName(QStringLiteral("actFechar"));
    connect(fechar, &QAction::triggered, this, &QWidget::close);
    // The report of the last run's result, for the processes that leave one.
    FRelatorio = barra->addAction(style()->standardIcon(QStyle::SP_FileIcon), QStringLiteral("Relatório"));
    FRelatorio->setObjectName(QStringLiteral("actRelatorio"));
    connect(FRelatorio, &QAction::triggered, this, [this] {
        if (FProcesso)
            Tentar([this] { MostrarRelatorio(FProcesso->Relatorio(), this); });
    });
    barra->insertAction(fechar, FRelatorio);
    RegistrarAcaoForm(nafExecutar, FExecutar);
    RegistrarAcaoForm(nafFechar, fechar);
    l->addWidget(barra);

    if (qobject_cast<TnDMPowerParamGrid *>(FProcesso) || qobject_cast<TnDMPowerParamTab *>(FProcesso)) {
        FResultados = new QTabWidget(Conteudo());
        l->addWidget(FResultados, 3);
    }
    FMensagens = new TnVisaoMensagens(Conteudo());
    l->addWidget(FMensagens, 1);
    FMensagens->hide(); // until a run reports something
    if (!FResultados)
        l->addStretch();
    AtualizarControle(QString());
    AtualizarAcoes();
}

TnEditor *TnFrmProcesso::Editor(const QString &alias) const
{
    for (TnEditor *e : FEditores)
        if (e->Nome().compare(alias.trimmed(), Qt::CaseInsensitive) == 0)
            return e;
    return nullptr;
}

void TnFrmProcesso::AtualizarControle(const QString &nome)
{
    if (!FProcesso)
        return;
    for (TnEditor *e : FEditores) {
        if (!nome.isEmpty() && e->Nome().compare(nome.trimmed(), Qt::CaseInsensitive) != 0)
            continue;
        // The parameter's value wins over anything typed and not yet taken.
        e->Descartar();
        MostrarParametro(e, FProcesso->Param(e->Nome()));
    }
    MostrarGrupoParametros();
}

void TnFrmProcesso::MostrarGrupoParametros()
{
    // A process with no parameter to show (all hidden, or none) shows no empty box.
    if (!FGrupoParametros || !FProcesso)
        return;
    bool algum = false;
    for (int i = 0; i < FProcesso->PowerParam().Count() && !algum; ++i)
        algum = FProcesso->PowerParam().Items(i).Visivel();
    FGrupoParametros->setVisible(algum);
}

void TnFrmProcesso::FocarControle(const QString &nome)
{
    if (TnEditor *e = Editor(nome)) {
        e->Focar();
        return;
    }
    // A field of a result (EnField): its column in the result grid.
    for (int i = 0; FResultados && i < FResultados->count(); ++i)
        if (auto *grade = FResultados->widget(i)->findChild<TnGradeDataSet *>(); grade && grade->FocarCampo(nome))
            return;
}

void TnFrmProcesso::AtualizarAcoes()
{
    if (FExecutar)
        FExecutar->setEnabled(!AcaoDesligada(nafExecutar));
    if (FRelatorio && FProcesso) {
        FRelatorio->setVisible(FProcesso->DadosRelatorio() != nullptr);
        FRelatorio->setEnabled(FProcesso->TemRelatorio());
    }
}

void TnFrmProcesso::TomarParametros()
{
    for (TnEditor *e : FEditores)
        if (e->Habilitado() && e->Widget()->isVisibleTo(this))
            FProcesso->SetParamText(e->Nome(), e->Texto());
}

void TnFrmProcesso::LimparResultados()
{
    // The tabs' datasets are replaced by the run: their grids go first.
    if (!FResultados || !qobject_cast<TnDMPowerParamTab *>(FProcesso))
        return;
    while (FResultados->count() > 0) {
        QWidget *w = FResultados->widget(0);
        FResultados->removeTab(0);
        delete w;
    }
}

bool TnFrmProcesso::Executar()
{
    if (!FProcesso || (FExecutar && !FExecutar->isEnabled()))
        return false;
    LimparResultados();
    const bool ok = Tentar([this] {
        TomarParametros();
        FProcesso->Rodar();
    });
    if (!FProcesso) // the run closed the window's module
        return ok;
    FMensagens->Mostrar(FProcesso->Mensagens());
    FMensagens->setVisible(FProcesso->Mensagens().Count() > 0);
    ResultadoAlterado();
    AtualizarAcoes();
    AtualizarControle(QString());
    // The rows found take the focus.
    if (ok && FGrade && FGrade->model()->rowCount() > 0)
        FGrade->setFocus(Qt::OtherFocusReason);
    if (ok && EmModal()) {
        Confirmar();
        accept();
    }
    return ok;
}

void TnFrmProcesso::ResultadoAlterado()
{
    if (!FResultados || !FProcesso)
        return;
    if (auto *grade = qobject_cast<TnDMPowerParamGrid *>(FProcesso)) {
        if (FResultados->count() == 0)
            FResultados->addTab(CriarPaginaGrade(grade), grade->CaptionResultado());
        return;
    }
    auto *abas = qobject_cast<TnDMPowerParamTab *>(FProcesso);
    const int atual = FResultados->currentIndex();
    LimparResultados();
    for (int i = 0; i < abas->QtdAbas(); ++i)
        FResultados->addTab(CriarPaginaAba(abas->Aba(i), i), abas->Aba(i).Caption);
    if (atual >= 0 && atual < FResultados->count())
        FResultados->setCurrentIndex(atual);
}

QWidget *TnFrmProcesso::CriarPaginaAba(TnAbaResultado &aba, int indice)
{
    auto *mestre = new TnGradeDataSet(aba.Dados, FProcesso, true);
    mestre->setObjectName(QStringLiteral("gradeMestre"));
    const bool bandas = aba.Dados.TemGridBands() && aba.Dados.GridBands().Count() > 0;
    if (!aba.Detalhe() && !aba.AcaoAbrir && !bandas)
        return mestre; // a tab of one grid is that grid
    auto *pagina = new QWidget(FResultados);
    pagina->setObjectName(QStringLiteral("abaResultado%1").arg(indice));
    auto *l = new QVBoxLayout(pagina);
    l->setContentsMargins(0, 0, 0, 0);
    if (TnActAbrirCadastro *acao = aba.AcaoAbrir) {
        // The master row's register: a button offered while there is a row, and the double-click.
        auto *barra = new QToolBar(pagina);
        barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        QAction *abrir = barra->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView), acao->Caption());
        abrir->setObjectName(acao->Name());
        abrir->setToolTip(acao->Hint.isEmpty() ? acao->Caption() : acao->Hint);
        QPointer<TnActAbrirCadastro> alvo = acao;
        const auto atualizar = [abrir, alvo] { abrir->setEnabled(alvo && alvo->Habilitada()); };
        connect(abrir, &QAction::triggered, this, [alvo] {
            if (alvo)
                alvo->Execute();
        });
        connect(mestre, &QAbstractItemView::doubleClicked, this, [alvo] {
            if (alvo)
                alvo->Execute();
        });
        connect(mestre->model(), &QAbstractItemModel::modelReset, abrir, atualizar);
        connect(mestre->model(), &QAbstractItemModel::rowsInserted, abrir, atualizar);
        connect(mestre->model(), &QAbstractItemModel::rowsRemoved, abrir, atualizar);
        atualizar();
        l->addWidget(barra);
    }
    if (aba.Dados.TemGridBands()) {
        // The bands above the master's columns, shown again whenever the module rebuilds them.
        auto *quadro = new QWidget(pagina);
        quadro->setObjectName(QStringLiteral("bandas"));
        TnGridBands &b = aba.Dados.GridBands();
        MostrarBandas(quadro, b);
        QPointer<QWidget> alvo = quadro;
        b.AoAtualizar = [alvo, &b] {
            if (alvo)
                MostrarBandas(alvo, b);
        };
        l->addWidget(quadro);
    }
    if (!aba.Detalhe()) {
        mestre->setParent(pagina);
        l->addWidget(mestre);
        return pagina;
    }
    // The detail under its master, both read-only; the detail shows the master row's lines.
    auto *divisor = new QSplitter(Qt::Vertical, pagina);
    divisor->addWidget(mestre);
    auto *detalhe = new TnGradeDataSet(*aba.Detalhe(), FProcesso, true, divisor);
    detalhe->setObjectName(QStringLiteral("gradeDetalhe"));
    divisor->addWidget(detalhe);
    divisor->setStretchFactor(0, 3);
    divisor->setStretchFactor(1, 2);
    l->addWidget(divisor);
    return pagina;
}

TnGradeDataSet *TnFrmProcesso::Grade() const { return FGrade.data(); }

QWidget *TnFrmProcesso::CriarPaginaGrade(TnDMPowerParamGrid *grade)
{
    auto *pagina = new QWidget(FResultados);
    auto *l = new QVBoxLayout(pagina);
    l->setContentsMargins(0, 0, 0, 0);
    if (grade->Pesquisa()) {
        FPesquisa = new QLineEdit(pagina);
        FPesquisa->setObjectName(QStringLiteral("edPesquisa"));
        FPesquisa->setPlaceholderText(QString::fromUtf8("Pesquisar na coluna atual (Enter: próxima linha)"));
        FPesquisa->setClearButtonEnabled(true);
        connect(FPesquisa, &QLineEdit::returnPressed, this, [this] {
            if (!FPesquisa->text().trimmed().isEmpty() && !PesquisarNaGrade(FPesquisa->text().trimmed()))
                nShowMessage(QString::fromUtf8("Nenhuma linha contém \"%1\" nesta coluna.").arg(TrechoCitado(FPesquisa->text().trimmed())));
        });
        l->addWidget(FPesquisa);
    }
    FGrade = new TnGradeDataSet(grade->nClientDataSet(), grade, grade->DBGridReadOnly(), pagina);
    FGrade->setObjectName(QStringLiteral("nDBGrid"));
    FGrade->Modelo()->SetCampoEstilo(grade->CampoEstiloLinha());
    // A double-click, or Enter on a row, runs what the module gives the grid (in a grid
    // open to editing, it edits).
    if (grade->DBGridReadOnly()) {
        const auto abrir = [this] {
            if (auto *g = qobject_cast<TnDMPowerParamGrid *>(FProcesso); g && FGrade && FGrade->currentIndex().isValid())
                Tentar([g] { g->DBGridDblClick(); });
        };
        connect(FGrade, &QAbstractItemView::doubleClicked, this, abrir);
        auto *enter = new QAction(FGrade);
        enter->setObjectName(QStringLiteral("actAbrirLinha"));
        enter->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
        enter->setShortcutContext(Qt::WidgetShortcut);
        connect(enter, &QAction::triggered, this, abrir);
        FGrade->addAction(enter);
    }
    FGrade->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FGrade, &QWidget::customContextMenuRequested, this, &TnFrmProcesso::MenuDaGrade);
    if (grade->DBGridOrdenar()) {
        QHeaderView *cabecalho = FGrade->horizontalHeader();
        cabecalho->setSectionsClickable(true);
        cabecalho->setSortIndicator(-1, Qt::AscendingOrder); // the rows come in the run's order
        cabecalho->setSortIndicatorShown(true);
        connect(cabecalho, &QHeaderView::sectionClicked, this, [this, cabecalho](int coluna) {
            TnField *campo = FGrade ? FGrade->Modelo()->Campo(coluna) : nullptr;
            TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
            if (campo && ds && Tentar([&] { ds->SetIndexFieldNames(campo->FieldName()); }))
                cabecalho->setSortIndicator(coluna, Qt::AscendingOrder);
        });
    }
    MontarGradeComOpcoes(l, FGrade, grade->GridOptions(), grade->ClassName() + QStringLiteral(".nDBGrid"));
    return pagina;
}

bool TnFrmProcesso::PesquisarNaGrade(const QString &texto)
{
    TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    TnField *campo = FGrade ? FGrade->Modelo()->Campo(qMax(0, FGrade->currentIndex().column())) : nullptr;
    if (!ds || !campo || !ds->Active() || ds->IsEmpty() || texto.isEmpty())
        return false;
    const int n = ds->RecordCount(), atual = qMax(1, ds->RecNo());
    for (int k = 1; k <= n; ++k) {
        const int linha = (atual - 1 + k) % n + 1;
        bool achou = false;
        ds->LerRegistro(linha, [&] { achou = campo->DisplayText().contains(texto, Qt::CaseInsensitive); });
        if (achou)
            return Tentar([&] { ds->SetRecNo(linha); });
    }
    return false;
}

void TnFrmProcesso::MenuDaGrade(const QPoint &pos)
{
    auto *g = qobject_cast<TnDMPowerParamGrid *>(FProcesso);
    if (!g || !FGrade)
        return;
    // The row under the pointer becomes current first.
    if (const QModelIndex i = FGrade->indexAt(pos); i.isValid())
        FGrade->setCurrentIndex(i);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("nPopupMenu"));
    for (const TnAcaoLinha &a : g->AcoesLinha()) {
        if (!a.Popup)
            continue;
        QAction *item = menu.addAction(TnFrmMenuVarnel::Imagem(a.Imagem), a.Caption);
        item->setObjectName(a.Nome);
        // Shown beside the item; the window's own button takes the key.
        item->setShortcut(QKeySequence::fromString(a.Atalho, QKeySequence::PortableText));
        item->setShortcutVisibleInContextMenu(true);
        const QString nome = a.Nome;
        connect(item, &QAction::triggered, this, [this, nome] {
            if (auto *m = qobject_cast<TnDMPowerParamGrid *>(FProcesso))
                Tentar([m, nome] { m->ExecutarAcaoLinha(nome); });
        });
    }
    if (!menu.isEmpty())
        menu.exec(FGrade->viewport()->mapToGlobal(pos));
}

void TnFrmProcesso::CriarBotoesLinha()
{
    auto *g = qobject_cast<TnDMPowerParamGrid *>(FProcesso);
    if (!g || !FBarra)
        return;
    for (const TnAcaoLinha &a : g->AcoesLinha()) {
        if (!a.Botao)
            continue;
        QAction *botao = new QAction(TnFrmMenuVarnel::Imagem(a.Imagem), a.Caption, this);
        botao->setObjectName(QStringLiteral("btn") + a.Nome);
        botao->setToolTip(a.Hint);
        botao->setStatusTip(a.Hint);
        // "Ctrl+Enter" is the main Enter key as well as the keypad's.
        QList<QKeySequence> teclas;
        if (const QKeySequence tecla = QKeySequence::fromString(a.Atalho, QKeySequence::PortableText); !tecla.isEmpty()) {
            teclas << tecla;
            if (a.Atalho.endsWith(QLatin1String("Enter"), Qt::CaseInsensitive))
                teclas << QKeySequence::fromString(a.Atalho.chopped(5) + QStringLiteral("Return"), QKeySequence::PortableText);
        }
        botao->setShortcuts(teclas);
        // The module asked for these keys: the window's own actions give them up (two
        // actions on one key would leave it doing nothing).
        for (QAction *outra : actions()) {
            QList<QKeySequence> suas = outra->shortcuts();
            if (suas.removeIf([&](const QKeySequence &k) { return teclas.contains(k); }) > 0)
                outra->setShortcuts(suas);
        }
        const QString nome = a.Nome;
        connect(botao, &QAction::triggered, this, [this, nome] {
            if (auto *m = qobject_cast<TnDMPowerParamGrid *>(FProcesso))
                Tentar([m, nome] { m->ExecutarAcaoLinha(nome); });
        });
        // Before "Fechar", which stays last.
        FBarra->insertAction(AcaoForm(nafFechar), botao);
        addAction(botao); // its shortcut works wherever the window has the focus
    }
}

void TnFrmProcesso::Pesquisar(TnEditor *e)
{
    if (!FProcesso || !e->Habilitado())
        return;
    TnpqParamItem &p = FProcesso->Param(e->Nome());
    const QVariant antes = p.Value();
    if (p.EhArquivoSalvar()) {
        const QString arquivo = QFileDialog::getSaveFileName(this, p.Caption(), e->Texto().trimmed(),
                                                             QStringLiteral("Arquivos de texto (*.txt);;Todos os arquivos (*)"));
        if (arquivo.isEmpty() || !FProcesso)
            return;
        e->SetTexto(QDir::toNativeSeparators(arquivo));
        p.SetText(e->Texto());
    } else {
        PesquisarParametro(e, p, this);
    }
    if (FProcesso && p.Value() != antes)
        Tentar([this, &p] { FProcesso->ParamChange(p); });
}

void PesquisarParametro(TnEditor *e, TnpqParamItem &p, QWidget *pai)
{
    QVariant chave;
    const QVariantMap linha = PesquisarNaConsulta(p.ClasseLookup(), pai, &chave);
    if (linha.isEmpty())
        return;
    // The field of the parameter's dictionary key ("pProduto", CODIGOPRODUTO), else the
    // field named as the parameter without its "p" ("pCodigoEmpresa": CODIGOEMPRESA), else
    // the row's key.
    QString campo = p.ChaveDicionario().trimmed().toUpper();
    if (!linha.contains(campo))
        campo = p.Alias().startsWith(u'p') ? p.Alias().mid(1).toUpper() : p.Alias().toUpper();
    const QVariant v = linha.contains(campo) ? linha.value(campo) : chave;
    const QString valor = v.typeId() == QMetaType::QDate ? v.toDate().toString(QStringLiteral("dd/MM/yyyy")) : v.toString();
    const QString atual = e->Texto().trimmed();
    e->SetTexto(p.MultiSelecao() && !atual.isEmpty() ? atual + QStringLiteral("; ") + valor : valor);
    p.SetText(e->Texto());
}

