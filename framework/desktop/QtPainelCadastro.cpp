#include "QtPainelCadastro.h"

#include "QtCadastro.h"

#include "Interacao.h"
#include "Literais.h"
#include "QtEditores.h"
#include "QtGrade.h"
#include "QtProcesso.h"
#include "QtSelecao.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
struct DefBotao {
    const char *Nome;
    const char *Caption;
    QStyle::StandardPixmap Icone;
    const char *Teclas; // as the tooltip names them
};
const DefBotao kBotoes[] = {
    {"actPrimeiro", "Primeiro", QStyle::SP_MediaSkipBackward, nullptr},
    {"actAnterior", "Anterior", QStyle::SP_MediaSeekBackward, nullptr},
    {"actProximo", "Próximo", QStyle::SP_MediaSeekForward, nullptr},
    {"actUltimo", "Último", QStyle::SP_MediaSkipForward, nullptr},
    {"actIncluir", "Incluir", QStyle::SP_FileIcon, "Insert ou Ctrl+N"},
    {"actAlterar", "Alterar", QStyle::SP_FileDialogDetailedView, nullptr},
    {"actExcluir", "Excluir", QStyle::SP_TrashIcon, "Ctrl+Del"},
    {"actGravar", "Gravar", QStyle::SP_DialogSaveButton, "Ctrl+S ou F10"},
    {"actCancelar", "Cancelar", QStyle::SP_DialogCancelButton, "Esc"},
};

// The form action a record button answers to.
int AcaoFormDoBotao(TnBotaoRegistro b)
{
    switch (b) {
    case brIncluir: return nafIncluir;
    case brExcluir: return nafExcluir;
    case brGravar: return nafGravar;
    case brCancelar: return nafCancelar;
    default: return -1;
    }
}

TnTipoEditor TipoEditorDoCampo(const TnField &f)
{
    const Definicao &d = f.Def();
    if (d.TipoControle == ntcLookup || !d.ClasseLookup.trimmed().isEmpty())
        return tePesquisa;
    if (d.TipoControle == ntcCombo || d.TemListaValores())
        return d.TipoControle == ntcCheckBox ? teMarcacao : teLista;
    if (d.TipoControle == ntcCheckBox || f.DataType() == ftBoolean)
        return teMarcacao;
    if (d.TipoControle == ntcMemo || f.DataType() == ftMemo)
        return teMemo;
    return teLinha;
}

bool MesmoNome(const QString &a, const QString &b) { return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0; }

// The form layout (a page) that holds a control, and the control's row in it.
QFormLayout *LinhaDoControle(QWidget *w, int &linha)
{
    auto *form = w && w->parentWidget() ? qobject_cast<QFormLayout *>(w->parentWidget()->layout()) : nullptr;
    QFormLayout::ItemRole papel;
    linha = -1;
    if (form)
        form->getWidgetPosition(w, &linha, &papel);
    return linha >= 0 ? form : nullptr;
}
} // namespace

QList<QKeySequence> TeclasDoBotao(TnBotaoRegistro b)
{
    switch (b) {
    case brIncluir: return {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_N)};
    case brGravar: return {QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::Key_F10)};
    case brExcluir: return {QKeySequence(Qt::CTRL | Qt::Key_Delete)};
    default: return {};
    }
}

// ---- TnPainelCadastro -------------------------------------------------------------------

TnPainelCadastro::TnPainelCadastro(TnDMClientDataSet *dm, TnFrmModulo *form, bool mestre, QWidget *pai)
    : QWidget(pai), FModulo(dm), FForm(form), FMestre(mestre), FBarra(new QToolBar(this))
{
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(4, 4, 4, 4);
    l->addWidget(FBarra);
    CriarBotoes();
    if (dm->TipoForm() == ntfCadPage) {
        CriarEditores();
        l->addWidget(FPaginas, 1);
        FAvisoCopia = new QLabel(this);
        FAvisoCopia->setObjectName(QStringLiteral("lbAvisoCopia"));
        FAvisoCopia->setWordWrap(true);
        FAvisoCopia->setStyleSheet(QStringLiteral("QLabel { background-color: #fff1b8; padding: 3px; }"));
        FAvisoCopia->hide();
        l->addWidget(FAvisoCopia);
    } else {
        FGrade = new TnGradeDataSet(dm->nClientDataSet(), dm, dm->TipoForm() == ntfConGrid, this);
        l->addWidget(FGrade, 1);
        CriarOrdens();
        FGrade->Modelo()->SetRegrasDoCadastro(
            [this](const TnField &f) { return FModulo && FModulo->EhChaveDigitada(f.FieldName()); },
            [this](const TnField &f) { return FModulo && EditorHabilitado(f); });
        // A consultation's row opens in its register (double-click or Enter).
        if (dm->SomenteLeitura() && !dm->CadCons().trimmed().isEmpty())
            connect(FGrade, &QAbstractItemView::activated, this, [this] {
                if (FModulo)
                    // A window of its own, beside the consultation's: closing one leaves the other.
                    FForm->Tentar([this] {
                        AbrirCadastroDaLinha(FModulo, FForm->parentWidget() ? FForm->parentWidget() : FForm);
                    });
            });
    }
    dm->nClientDataSet().AdicionarObservador(this);
    // Extra controls the module made before it had this page.
    for (TnControleExtra *x : dm->ControlesExtras())
        MostrarExtra(x);
    Atualizar();
}

TnPainelCadastro::~TnPainelCadastro()
{
    // The controls still send focus changes while they go: they no longer reach here.
    for (TnEditor *e : FEditores)
        disconnect(e, nullptr, this, nullptr);
    for (const Extra &x : FExtras) {
        disconnect(x.Editor, nullptr, this, nullptr);
        if (x.Controle)
            disconnect(x.Controle, nullptr, this, nullptr);
    }
    for (const PainelParametros &p : FPaineisParametros)
        for (TnEditor *e : p.Editores)
            disconnect(e, nullptr, this, nullptr);
    if (FModulo)
        FModulo->nClientDataSet().RemoverObservador(this);
}

void TnPainelCadastro::CriarBotoes()
{
    FBarra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    FBarra->setIconSize(QSize(16, 16));
    for (int b = brPrimeiro; b <= brCancelar; ++b) {
        const DefBotao &d = kBotoes[b];
        QAction *a = FBarra->addAction(style()->standardIcon(d.Icone), QString::fromUtf8(d.Caption));
        a->setObjectName(QString::fromLatin1(d.Nome));
        a->setToolTip(d.Teclas ? QStringLiteral("%1 (%2)").arg(QString::fromUtf8(d.Caption), QString::fromUtf8(d.Teclas))
                               : QString::fromUtf8(d.Caption));
        connect(a, &QAction::triggered, this, [this, b] { Acionar(TnBotaoRegistro(b)); });
        // The moves are told by their arrows (their names in the tooltip), so that the bar
        // fits a small window with every button in sight.
        if (b <= brUltimo)
            if (auto *botao = qobject_cast<QToolButton *>(FBarra->widgetForAction(a)))
                botao->setToolButtonStyle(Qt::ToolButtonIconOnly);
        FBotoes[b] = a;
        if (b == brUltimo || b == brExcluir)
            FBarra->addSeparator();
    }
    // A consultation only moves through its rows.
    if (FModulo->SomenteLeitura()) {
        for (int b = brIncluir; b <= brCancelar; ++b)
            FBotoes[b]->setVisible(false);
        for (QAction *a : FBarra->actions())
            if (a->isSeparator())
                a->setVisible(false);
    }
}

// The sort orders a grid offers: the declared order, then the further ones.
void TnPainelCadastro::CriarOrdens()
{
    const TnDefCadastro &d = FModulo->Declaracao();
    if (d.Indices.empty())
        return;
    auto *ordens = new QComboBox(FBarra);
    ordens->setObjectName(QStringLiteral("cbOrdem"));
    ordens->addItem(d.CaptionOrdem.isEmpty() ? QStringLiteral("Padrão") : d.CaptionOrdem, NomesDaLista(d.Ordem).join(u';'));
    for (const TnDefIndice &i : d.Indices)
        ordens->addItem(i.Caption, NomesDaLista(i.Campos).join(u';'));
    FBarra->addSeparator();
    FBarra->addWidget(new QLabel(QStringLiteral("Ordem:"), FBarra));
    FBarra->addWidget(ordens);
    connect(ordens, &QComboBox::activated, this, [this, ordens](int i) {
        if (FModulo)
            FForm->Tentar([&] { FModulo->nClientDataSet().SetIndexFieldNames(ordens->itemData(i).toString()); });
    });
}

void TnPainelCadastro::CriarEditores()
{
    FPaginas = new QTabWidget(this);
    QHash<QString, QFormLayout *> paginas;
    TnClientDataSet &ds = FModulo->nClientDataSet();
    for (int i = 0; i < ds.FieldCount(); ++i) {
        const TnField &f = ds.Fields(i);
        const QString pagina = f.Def().Pagina.trimmed().isEmpty() ? QStringLiteral("Principal") : f.Def().Pagina.trimmed();
        QFormLayout *form = paginas.value(pagina);
        if (!form) {
            auto *w = new QWidget(FPaginas);
            form = new QFormLayout(w);
            FPaginas->addTab(w, pagina);
            paginas.insert(pagina, form);
        }
        auto *e = new TnEditor(f.FieldName(), TipoEditorDoCampo(f), form->parentWidget());
        e->SetAlinharDireita(EhTipoNumerico(f.DataType()) && e->Tipo() == teLinha);
        // A number or a date is replaced whole more often than edited.
        e->SetSelecionarAoEntrar(e->Tipo() == teLinha && (EhTipoNumerico(f.DataType()) || EhTipoData(f.DataType())));
        form->addRow(e->Rotulo(), e->Widget());
        connect(e, &TnEditor::Editado, this, [this, e] {
            const QString texto = e->Texto();
            if (!FForm->Tentar([&] { Escrever(e, texto); }))
                Atualizar(e->Nome());
        });
        // Typing in a stored row puts it in edit (in an empty register: a new row), so the
        // save and cancel buttons answer at once.
        connect(e, &TnEditor::Alterando, this, [this, e] {
            Desmarcar(e);
            TnField *f = Campo(e);
            if (!f || !EditorHabilitado(*f) || FModulo->nClientDataSet().State() != dsBrowse)
                return;
            if (!FForm->Tentar([&] { Editar(); })) {
                e->Descartar();
                Atualizar(e->Nome());
            }
        });
        connect(e, &TnEditor::Entrou, this, [this, e] {
            if (e->Destacado() && !FVisitados.contains(e))
                FVisitados << e;
        });
        connect(e, &TnEditor::Saiu, this, [this, e] {
            if (FVisitados.contains(e))
                Desmarcar(e);
            if (FModulo && Campo(e) && EditorHabilitado(*Campo(e)))
                FForm->Tentar([&] { FModulo->SairDoCampo(e->Nome()); });
        });
        connect(e, &TnEditor::Pesquisar, this, [this, e] { Pesquisar(e); });
        connect(e, &TnEditor::Confirmou, this, [e] { ProximoControle(e); });
        FEditores.push_back(e);
    }
    OrdenarTab();
}

// Tab goes through the controls in the order the pages show them: fields in their order,
// an extra control or a panel of parameters right after the control it follows.
void TnPainelCadastro::OrdenarTab()
{
    if (!FPaginas)
        return;
    QHash<QWidget *, QWidget *> entradas; // a control's widget -> what takes the focus
    for (TnEditor *e : FEditores)
        entradas.insert(e->Widget(), e->Entrada());
    for (const Extra &x : FExtras)
        entradas.insert(x.Editor->Widget(), x.Editor->Entrada());
    for (const PainelParametros &p : FPaineisParametros)
        for (TnEditor *e : p.Editores)
            entradas.insert(e->Widget(), e->Entrada());
    QList<QWidget *> ordem;
    std::function<void(QFormLayout *)> percorrer = [&](QFormLayout *form) {
        for (int r = 0; r < form->rowCount(); ++r)
            for (QFormLayout::ItemRole papel : {QFormLayout::FieldRole, QFormLayout::SpanningRole}) {
                QLayoutItem *item = form->itemAt(r, papel);
                QWidget *w = item ? item->widget() : nullptr;
                if (auto *caixa = qobject_cast<QGroupBox *>(w)) {
                    if (auto *interno = qobject_cast<QFormLayout *>(caixa->layout()))
                        percorrer(interno);
                } else if (QWidget *entrada = entradas.value(w)) {
                    ordem.append(entrada);
                }
            }
    };
    for (int p = 0; p < FPaginas->count(); ++p)
        if (auto *form = qobject_cast<QFormLayout *>(FPaginas->widget(p)->layout()))
            percorrer(form);
    for (int i = 1; i < ordem.size(); ++i)
        QWidget::setTabOrder(ordem[i - 1], ordem[i]);
}

void TnPainelCadastro::ProximoControle(TnEditor *e)
{
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(e->Entrada(), &tab);
}

TnEditor *TnPainelCadastro::EditorDeCampo(const QString &campo) const
{
    for (TnEditor *e : FEditores)
        if (MesmoNome(e->Nome(), campo))
            return e;
    return nullptr;
}

TnEditor *TnPainelCadastro::Editor(const QString &campo) const
{
    if (TnEditor *e = EditorDeCampo(campo))
        return e;
    if (const Extra *x = ExtraDe(campo))
        return x->Editor;
    for (const PainelParametros &p : FPaineisParametros)
        for (TnEditor *e : p.Editores)
            if (MesmoNome(e->Nome(), campo))
                return e;
    return nullptr;
}

TnField *TnPainelCadastro::Campo(const TnEditor *e) const
{
    return FModulo ? FModulo->nClientDataSet().FindField(e->Nome()) : nullptr;
}

bool TnPainelCadastro::EditorHabilitado(const TnField &f) const
{
    const TnClientDataSet &ds = FModulo->nClientDataSet();
    if (FModulo->SomenteLeitura() || !ds.Active() || f.ReadOnly() || f.Def().TipoControle == ntcActDataHora)
        return false;
    // A key nothing else fills is typed on a new row, whatever the declaration says.
    if (ds.State() == dsInsert && FModulo->EhChaveDigitada(f.FieldName()))
        return true;
    if (!f.Def().Habilitado)
        return false;
    // A key changes only on a new row, unless the register allows it.
    const bool linhaExistente = ds.State() != dsInsert && !ds.IsEmpty();
    if (linhaExistente && FModulo->EhCampoChave(f.FieldName()) && !FModulo->ChaveAlteravel())
        return false;
    // The selection chose it.
    if (FModulo->EhCampoDaSelecao(f.FieldName()))
        return false;
    // A detail's link fields come from its master.
    return !NomesDaLista(FModulo->CamposLink()).contains(f.FieldName(), Qt::CaseInsensitive);
}

void TnPainelCadastro::Atualizar(const QString &campo)
{
    if (!FModulo)
        return;
    if (FGrade)
        FGrade->Modelo()->AtualizarColunas();
    const TnClientDataSet &ds = FModulo->nClientDataSet();
    const bool comLinha = ds.Active() && (ds.EmEdicao() || !ds.IsEmpty());
    for (TnEditor *e : FEditores) {
        if (!campo.isEmpty() && !MesmoNome(e->Nome(), campo))
            continue;
        const TnField &f = *Campo(e);
        e->SetMascara(f.Def().MascaraEdicao);
        e->SetCaracteresAceitos(f.Def().CaracteresAceitos);
        if (!e->Digitando())
            e->SetTexto(comLinha ? f.Text() : QString());
        e->SetCaption(f.DisplayLabel(), f.Required());
        e->SetVisivel((f.Visible() && f.Def().Visivel) || FModulo->EhChaveDigitada(f.FieldName()));
        e->SetLista(f.Def().ListaValores);
        e->SetTamanhoMaximo(f.Def().TamanhoMaximo > 0 ? f.Def().TamanhoMaximo : f.Size());
        e->SetDica(f.Def().Hint);
        e->SetHabilitado(EditorHabilitado(f));
        MostrarResultados(e, f);
    }
    for (const Extra &x : FExtras)
        if (campo.isEmpty() || MesmoNome(x.Editor->Nome(), campo))
            AtualizarExtra(x);
    for (const PainelParametros &p : FPaineisParametros)
        for (TnEditor *e : p.Editores)
            if (campo.isEmpty() || MesmoNome(e->Nome(), campo))
                if (TnpqParamItem *item = Parametro(p, e))
                    MostrarParametro(e, *item);
    MarcarCopiados();
    AtualizarBotoes();
}

void TnPainelCadastro::MarcarCopiados()
{
    if (!FAvisoCopia)
        return;
    const QStringList copiados = FModulo ? FModulo->CamposCopiados() : QStringList();
    if (copiados.isEmpty()) { // a new row starts with its own
        FDesmarcados.clear();
        FVisitados.clear();
    }
    QStringList nomes;
    for (TnEditor *e : FEditores) {
        const TnField *f = Campo(e);
        const bool copiado = f && copiados.contains(e->Nome(), Qt::CaseInsensitive)
                             && !FDesmarcados.contains(e->Nome(), Qt::CaseInsensitive) && e->Widget()->isVisibleTo(this);
        e->SetDestacado(copiado);
        if (copiado)
            nomes << f->DisplayLabel();
    }
    if (nomes.isEmpty()) {
        FAvisoCopia->clear();
        FAvisoCopia->hide();
        return;
    }
    const QString lista = nomes.size() == 1 ? nomes.first()
                                            : nomes.mid(0, nomes.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" e ")
                                                  + nomes.last();
    FAvisoCopia->setText((nomes.size() == 1 ? QStringLiteral("Valor copiado do registro anterior: ")
                                            : QStringLiteral("Valores copiados do registro anterior: "))
                         + lista + QStringLiteral(". Digite para substituir."));
    FAvisoCopia->show();
}

void TnPainelCadastro::Desmarcar(TnEditor *e)
{
    FVisitados.removeAll(e);
    if (!e->Destacado())
        return;
    FDesmarcados << e->Nome();
    MarcarCopiados();
}

void TnPainelCadastro::RegistroAlterado(TnClientDataSet &, TnField *campo)
{
    if (!campo)
        return;
    if (TnEditor *e = EditorDeCampo(campo->FieldName()); e && !e->Digitando())
        e->SetTexto(campo->Text());
    // A code, or a link value of one, changed: its lookup's result columns follow.
    for (TnEditor *e : FEditores)
        if (const TnField *f = Campo(e); f && !f->Def().ResultadoLookup.isEmpty())
            MostrarResultados(e, *f);
}

void TnPainelCadastro::MostrarResultados(TnEditor *e, const TnField &f)
{
    if (f.Def().ResultadoLookup.trimmed().isEmpty() && e->Resultados().isEmpty())
        return;
    const TnClientDataSet &ds = FModulo->nClientDataSet();
    const bool comLinha = ds.Active() && (ds.EmEdicao() || !ds.IsEmpty());
    e->SetResultados(f.CaptionsResultadoLookup(), comLinha ? f.ResultadosLookup() : QStringList());
}

void TnPainelCadastro::AtualizarBotoes()
{
    if (!FModulo)
        return;
    const TnClientDataSet &ds = FModulo->nClientDataSet();
    const bool editando = ds.EmEdicao();
    const bool temLinhas = ds.Active() && ds.RecordCount() > 0;
    const bool alteravel = ds.Active() && !FModulo->SomenteLeitura();
    bool ligado[brCancelar + 1];
    ligado[brPrimeiro] = ligado[brAnterior] = ligado[brProximo] = ligado[brUltimo] = temLinhas && !editando;
    ligado[brIncluir] = alteravel && !editando;
    ligado[brAlterar] = ligado[brExcluir] = alteravel && temLinhas && !editando;
    ligado[brGravar] = ligado[brCancelar] = editando;
    for (int b = brPrimeiro; b <= brCancelar; ++b) {
        const int acao = AcaoFormDoBotao(TnBotaoRegistro(b));
        FBotoes[b]->setEnabled(ligado[b] && !(FMestre && acao >= 0 && FForm->AcaoDesligada(TnAcaoForm(acao))));
    }
}

void TnPainelCadastro::TomarDigitado()
{
    if (!FModulo)
        return;
    // Everything typed is read before the first write: entering edit mode shows the
    // fields' values again in every control.
    // Lists and check boxes are taken as soon as they change; lines when the focus leaves.
    // The cell being typed in a grid is taken as when the user leaves it.
    if (FGrade)
        FGrade->ConfirmarEdicao();
    QList<QPair<TnEditor *, QString>> pendentes;
    for (TnEditor *e : FEditores) {
        if (e->Tipo() == teLista || e->Tipo() == teMarcacao)
            continue;
        const TnField *f = Campo(e);
        if (f && EditorHabilitado(*f) && (e->Digitando() || e->Difere(f->Text())))
            pendentes.append({e, e->Texto()});
    }
    for (const auto &[e, texto] : pendentes)
        Escrever(e, texto);
    for (const Extra &x : FExtras)
        TomarExtra(x);
}

void TnPainelCadastro::Escrever(TnEditor *e, const QString &texto)
{
    TnField *f = Campo(e);
    if (!f || FEscrevendo)
        return;
    if (!EditorHabilitado(*f)) { // focused while disabled: nothing typed there is taken
        e->SetTexto(f->Text());
        return;
    }
    e->Descartar();
    if (TnEditor::MesmoTexto(e->Tipo(), texto, f->Text()))
        return;
    FEscrevendo = true;
    try {
        Editar();
        f->SetText(texto);
    } catch (...) {
        FEscrevendo = false;
        throw;
    }
    FEscrevendo = false;
}

void TnPainelCadastro::Editar()
{
    TnClientDataSet &ds = FModulo->nClientDataSet();
    if (ds.State() != dsBrowse)
        return;
    if (ds.IsEmpty())
        ds.Append();
    else
        ds.Edit();
}

void TnPainelCadastro::Acionar(TnBotaoRegistro b)
{
    if (!FModulo || !FBotoes[b]->isEnabled() || !FBotoes[b]->isVisible())
        return;
    TnClientDataSet &ds = FModulo->nClientDataSet();
    FForm->Tentar([&] {
        if (b == brCancelar) {
            for (TnEditor *e : FEditores)
                e->Descartar();
            if (FGrade)
                FGrade->DescartarEdicao();
        } else
            TomarDigitado();
        switch (b) {
        case brPrimeiro: ds.First(); break;
        case brAnterior: ds.Prior(); break;
        case brProximo: ds.Next(); break;
        case brUltimo: ds.Last(); break;
        case brIncluir:
            ds.Append();
            for (TnEditor *e : FEditores)
                if (e->Habilitado() && e->Widget()->isVisible()) {
                    e->Focar();
                    break;
                }
            break;
        case brAlterar: ds.Edit(); break;
        case brExcluir:
            if (nMessageDlg(QStringLiteral("Confirma a exclusão do registro?"), mtConfirmation, mbYes | mbNo) == mbYes)
                ds.Delete();
            break;
        case brGravar: ds.Post(); break;
        case brCancelar: ds.Cancel(); break;
        }
    });
    Atualizar();
}

void TnPainelCadastro::Pesquisar(TnEditor *e)
{
    TnField *f = Campo(e);
    if (!f || !EditorHabilitado(*f))
        return;
    // The module may search the field itself.
    bool tratado = false;
    if (!FForm->Tentar([&] { tratado = FModulo->PesquisarCampo(f->FieldName()); }) || tratado || !FModulo)
        return;
    const QVariantMap linha = PesquisarNaConsulta(f->Def().ClasseLookup, this);
    if (linha.isEmpty() || !FModulo)
        return;
    FForm->Tentar([&] {
        TnClientDataSet &ds = FModulo->nClientDataSet();
        Editar();
        f->SetAsVariant(linha.value(f->FieldName().toUpper()));
        // The other link fields the consultation has, where this row may take them.
        for (const QString &nome : NomesDaLista(f->Def().CamposLink)) {
            TnField *g = ds.FindField(nome);
            const QString chave = nome.toUpper();
            if (g && g != f && linha.contains(chave) && EditorHabilitado(*g) && g->AsVariant() != linha.value(chave))
                g->SetAsVariant(linha.value(chave));
        }
    });
}

// ---- extra controls ----------------------------------------------------------------------

const TnPainelCadastro::Extra *TnPainelCadastro::ExtraDe(const QString &nome) const
{
    for (const Extra &x : FExtras)
        if (MesmoNome(x.Editor->Nome(), nome))
            return &x;
    return nullptr;
}

void TnPainelCadastro::MostrarExtra(TnControleExtra *extra)
{
    if (!extra || !FPaginas || ExtraDe(extra->Nome()))
        return;
    // After the control it follows, and after the extra controls that follow it already.
    TnEditor *ancora = EditorDeCampo(extra->CampoAnterior());
    if (const Extra *x = ExtraDe(extra->CampoAnterior()))
        ancora = x->Editor;
    for (const Extra &x : FExtras)
        if (x.Controle && MesmoNome(x.Controle->CampoAnterior(), extra->CampoAnterior()))
            ancora = x.Editor;
    int linha = -1;
    QFormLayout *form = ancora ? LinhaDoControle(ancora->Widget(), linha) : nullptr;
    if (!form)
        return;
    auto *e = new TnEditor(extra->Nome(), extra->Tipo() == ftMemo ? teMemo : teLinha, form->parentWidget());
    e->SetAlinharDireita(EhTipoNumerico(extra->Tipo()));
    e->SetSelecionarAoEntrar(EhTipoNumerico(extra->Tipo()) || EhTipoData(extra->Tipo()));
    if (extra->Largura() > 0)
        e->Widget()->setFixedWidth(extra->Largura());
    else if (ancora->Widget()->maximumWidth() < QWIDGETSIZE_MAX) // a control of a fixed width
        e->Widget()->setFixedWidth(ancora->Widget()->maximumWidth());
    form->insertRow(linha + 1, e->Rotulo(), e->Widget());
    const QPointer<TnControleExtra> controle(extra);
    FExtras.push_back({controle, e});
    connect(e, &TnEditor::Confirmou, this, [e] { ProximoControle(e); });
    OrdenarTab();
    // While the user edits a number it shows with its edit mask.
    connect(e, &TnEditor::Entrou, this, [e, controle] {
        if (controle && !e->Digitando())
            e->SetTexto(controle->TextoExibido(true));
    });
    connect(e, &TnEditor::Editado, this, [this, e] {
        if (const Extra *x = ExtraDe(e->Nome()))
            TomarExtra(*x);
    });
    connect(e, &TnEditor::Saiu, this, [this, e, controle] {
        const Extra *x = ExtraDe(e->Nome());
        if (!x || !controle || !FModulo)
            return;
        if (controle->Habilitado() && !controle->SomenteLeitura())
            FForm->Tentar([&] {
                TomarExtra(*x);
                FModulo->SairDoControleExtra(controle->Nome());
            });
        if (const Extra *y = ExtraDe(e->Nome()))
            AtualizarExtra(*y);
    });
    connect(extra, &QObject::destroyed, this, [this, e] { RemoverExtra(e); });
    AtualizarExtra(FExtras.back());
}

void TnPainelCadastro::AtualizarExtra(const Extra &x)
{
    if (!x.Controle)
        return;
    const TnControleExtra &c = *x.Controle;
    TnEditor *e = x.Editor;
    e->SetCaption(c.Caption(), c.Requerido());
    e->SetHabilitado(c.Habilitado());
    e->SetSomenteLeitura(c.SomenteLeitura());
    e->SetNegrito(c.Negrito());
    e->SetCaracteresAceitos(c.CaracteresAceitos());
    if (!e->Digitando())
        e->SetTexto(c.TextoExibido(e->Entrada()->hasFocus()));
}

// What the user typed into an extra control goes into its Texto (what the control shows
// otherwise is Texto itself, perhaps formatted).
void TnPainelCadastro::TomarExtra(const Extra &x)
{
    if (!x.Controle || !x.Controle->Habilitado() || x.Controle->SomenteLeitura())
        return;
    TnEditor *e = x.Editor;
    if (!e->Digitando())
        return;
    const QString texto = e->Texto();
    e->Descartar();
    x.Controle->SetTexto(texto);
}

void TnPainelCadastro::RemoverLinha(QWidget *w)
{
    int linha = -1;
    if (QFormLayout *form = LinhaDoControle(w, linha))
        form->removeRow(linha); // deletes the caption and the control
}

void TnPainelCadastro::RemoverExtra(TnEditor *e)
{
    const auto it = std::find_if(FExtras.begin(), FExtras.end(), [e](const Extra &x) { return x.Editor == e; });
    if (it == FExtras.end())
        return;
    FExtras.erase(it);
    disconnect(e, nullptr, this, nullptr);
    RemoverLinha(e->Widget());
    delete e;
}

// ---- parameter panels ------------------------------------------------------------------

TnpqParamItem *TnPainelCadastro::Parametro(const PainelParametros &painel, const TnEditor *e) const
{
    TnpqPowerParam *params = painel.Vivos();
    return params ? params->FindParam(e->Nome()) : nullptr;
}

QGroupBox *TnPainelCadastro::CriarPainelParametros(TnpqPowerParam &params, const QString &campoAnterior,
                                                   const QString &nome)
{
    TnEditor *ancora = EditorDeCampo(campoAnterior);
    if (const Extra *x = ExtraDe(campoAnterior))
        ancora = x->Editor;
    int linha = -1;
    QFormLayout *form = ancora ? LinhaDoControle(ancora->Widget(), linha) : nullptr;
    if (!form)
        return nullptr;
    // One panel per set of parameters: the one shown before goes.
    for (auto it = FPaineisParametros.begin(); it != FPaineisParametros.end(); ++it)
        if (it->Params == &params) {
            for (TnEditor *e : it->Editores)
                disconnect(e, nullptr, this, nullptr);
            QGroupBox *caixa = it->Caixa;
            FPaineisParametros.erase(it);
            RemoverLinha(caixa);
            LinhaDoControle(ancora->Widget(), linha);
            break;
        }
    auto *caixa = new QGroupBox(params.Caption, form->parentWidget());
    caixa->setObjectName(nome);
    auto *interno = new QFormLayout(caixa);
    PainelParametros painel{nome, &params, params.Vida(), caixa, {}};
    for (int i = 0; i < params.Count(); ++i) {
        TnEditor *e = CriarEditorParametro(params.Items(i), caixa);
        interno->addRow(e->Rotulo(), e->Widget());
        // Lists, check boxes and check lists are taken as they change; every control when
        // the focus leaves it, which then runs the parameter's OnExit.
        connect(e, &TnEditor::Editado, this, [this, nome, e] {
            // A line already taken when the focus left holds nothing new.
            if (e->Tipo() != teLista && e->Tipo() != teMarcacao && e->Tipo() != teListaMarcacao && !e->Digitando())
                return;
            for (const PainelParametros &p : FPaineisParametros)
                if (p.Nome == nome)
                    if (TnpqParamItem *item = Parametro(p, e); item && e->Habilitado()) {
                        e->Descartar();
                        item->SetText(e->Texto());
                    }
        });
        connect(e, &TnEditor::Saiu, this, [this, nome, e] { SairDoParametro(nome, e); });
        connect(e, &TnEditor::Confirmou, this, [e] { ProximoControle(e); });
        connect(e, &TnEditor::Pesquisar, this, [this, nome, e] {
            for (const PainelParametros &p : FPaineisParametros)
                if (p.Nome == nome)
                    if (TnpqParamItem *item = Parametro(p, e); item && e->Habilitado())
                        FForm->Tentar([&] { PesquisarParametro(e, *item, this); });
        });
        painel.Editores.push_back(e);
    }
    form->insertRow(linha + 1, caixa);
    FPaineisParametros.push_back(std::move(painel));
    CarregarPainelParametros(nome);
    OrdenarTab();
    return caixa;
}

void TnPainelCadastro::SairDoParametro(const QString &painel, TnEditor *e)
{
    for (const PainelParametros &p : FPaineisParametros) {
        if (p.Nome != painel)
            continue;
        TnpqParamItem *item = Parametro(p, e);
        if (!item || !e->Habilitado())
            return;
        FForm->Tentar([&] {
            e->Descartar();
            item->SetText(e->Texto());
            // A copy: the handler may replace itself.
            if (const std::function<void(TnpqParamItem &)> h = item->OnExit)
                h(*item);
        });
        return;
    }
}

bool TnPainelCadastro::TemPainelParametros(const QString &nome) const
{
    return std::any_of(FPaineisParametros.begin(), FPaineisParametros.end(),
                       [&](const PainelParametros &p) { return p.Nome == nome; });
}

void TnPainelCadastro::CarregarPainelParametros(const QString &nome)
{
    for (const PainelParametros &p : FPaineisParametros)
        if (p.Nome == nome)
            for (TnEditor *e : p.Editores)
                if (TnpqParamItem *item = Parametro(p, e)) {
                    e->Descartar();
                    MostrarParametro(e, *item);
                }
}

void TnPainelCadastro::SalvarPainelParametros(const QString &nome, bool todos)
{
    for (const PainelParametros &p : FPaineisParametros)
        if (p.Nome == nome)
            for (TnEditor *e : p.Editores)
                if (TnpqParamItem *item = Parametro(p, e); item && (todos || e->Digitando())) {
                    e->Descartar();
                    item->SetText(e->Texto());
                }
}

bool TnPainelCadastro::Focar(const QString &campo)
{
    if (TnEditor *e = Editor(campo)) {
        e->Focar();
        return true;
    }
    return FGrade && FGrade->FocarCampo(campo);
}
