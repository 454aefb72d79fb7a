#include "QtCadastro.h"

#include "Interacao.h"
#include "Literais.h"
#include "QtEditores.h"
#include "QtGrade.h"
#include "QtProcesso.h"
#include "QtRelatorio.h"
#include "QtSelecao.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

// ---- TnFrmCadastro ----------------------------------------------------------------------

TnFrmCadastro::TnFrmCadastro(TnDMClientDataSet *dm, QWidget *pai) : TnFrmModulo(dm, pai), FCadastro(dm)
{
    setWindowTitle(dm->Caption().isEmpty() ? dm->ClassName() : dm->Caption());
    resize(780, 560);
    if (!dm->Aberto())
        dm->Abrir();
    dm->ConfigurarForm(this, [this] { Construir(); });
    Construir();
    // Wide enough for every button of the toolbar: none hides behind its overflow arrow.
    resize(std::max(width(), FPainel->BarraBotoes()->sizeHint().width() + 16), height());
    // Details the module made before it had a window.
    for (TnDMClientDataSet *d : dm->Detalhes())
        MostrarDetalhe(d, QString());
    TnClientDataSet &ds = dm->nClientDataSet();
    if (!dm->SomenteLeitura() && dm->Declaracao().InsercaoAutomatica && ds.IsEmpty())
        Tentar([&] { ds.Append(); });
    // Wide enough for every button of every bar (none hidden behind the bar's extension).
    int largura = 0;
    for (TnPainelCadastro *p : Paineis()) {
        largura = qMax(largura, p->BarraBotoes()->sizeHint().width());
        // A grid as wide as its columns, as far as the screen allows.
        if (TnGradeDataSet *g = p->Grade()) {
            int colunas = 0;
            for (int c = 0; c < g->Modelo()->columnCount(); ++c)
                colunas += g->columnWidth(c);
            largura = qMax(largura, colunas + 24);
        }
    }
    AbrirNoTamanho(QSize(largura + 40, 560));
}

void TnFrmCadastro::Construir()
{
    if (FPainel)
        return;
    auto *l = new QVBoxLayout(Conteudo());
    l->setContentsMargins(0, 0, 0, 0);
    FPainel = new TnPainelCadastro(FCadastro, this, true, Conteudo());
    l->addWidget(FPainel, 3);
    FInferior = new QWidget(Conteudo());
    auto *inferior = new QVBoxLayout(FInferior);
    inferior->setContentsMargins(4, 0, 4, 4);
    l->addWidget(FInferior, 2);
    FInferior->hide();

    FPainel->BarraBotoes()->addSeparator();
    QAction *fechar = FPainel->BarraBotoes()->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                                        QStringLiteral("Fechar"));
    fechar->setObjectName(QStringLiteral("actFechar"));
    connect(fechar, &QAction::triggered, this, &QWidget::close);
    RegistrarAcaoForm(nafFechar, fechar);
    // The register's configuration, offered while the module has a handler for it.
    FCfgCadastro = new QAction(style()->standardIcon(QStyle::SP_FileDialogInfoView), QStringLiteral("Configurar"), this);
    FCfgCadastro->setObjectName(QStringLiteral("actCfgCadastro"));
    FPainel->BarraBotoes()->insertAction(fechar, FCfgCadastro);
    connect(FCfgCadastro, &QAction::triggered, this, [this] {
        if (FCadastro)
            Tentar([this] { FCadastro->ExecutarCfgCadastro(); });
    });
    RegistrarAcaoForm(nafCfgCadastro, FCfgCadastro);
    AtualizarCfgCadastro();
    CriarRelatorios(fechar);
    RegistrarAcaoForm(nafIncluir, FPainel->Botao(brIncluir));
    RegistrarAcaoForm(nafExcluir, FPainel->Botao(brExcluir));
    RegistrarAcaoForm(nafGravar, FPainel->Botao(brGravar));
    RegistrarAcaoForm(nafCancelar, FPainel->Botao(brCancelar));
    CriarTeclas();
}

void TnFrmCadastro::CriarTeclas()
{
    for (TnBotaoRegistro b : {brIncluir, brGravar, brExcluir}) {
        auto *a = new QAction(this);
        a->setObjectName(QStringLiteral("tecla") + FPainel->Botao(b)->objectName().mid(3));
        a->setShortcuts(TeclasDoBotao(b));
        connect(a, &QAction::triggered, this, [this, b] {
            const QList<TnPainelCadastro *> paineis = PaineisPeloFoco();
            if (!paineis.isEmpty())
                paineis.first()->Acionar(b);
        });
        addAction(a);
    }
}

QList<TnPainelCadastro *> TnFrmCadastro::PaineisPeloFoco() const
{
    QList<TnPainelCadastro *> paineis = Paineis();
    // The innermost panel that holds the focus: a detail's lies inside its master's page.
    TnPainelCadastro *comFoco = nullptr;
    for (QWidget *w = focusWidget(); w && !comFoco; w = w->parentWidget())
        if (auto *p = qobject_cast<TnPainelCadastro *>(w); p && paineis.contains(p))
            comFoco = p;
    if (comFoco) {
        paineis.removeOne(comFoco);
        paineis.prepend(comFoco);
    }
    return paineis;
}

void TnFrmCadastro::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        for (TnPainelCadastro *p : PaineisPeloFoco())
            if (p->Modulo() && p->Modulo()->nClientDataSet().EmEdicao() && p->Botao(brCancelar)->isEnabled()) {
                p->Acionar(brCancelar);
                e->accept();
                return;
            }
    }
    TnFrmModulo::keyPressEvent(e);
}

void TnFrmCadastro::CriarRelatorios(QAction *antes)
{
    const QStringList &nomes = FCadastro->Declaracao().Relatorios;
    if (nomes.isEmpty())
        return;
    auto *menu = new QMenu(this);
    for (const QString &nome : nomes) {
        const QString titulo = TituloRelatorio(nome);
        QAction *a = menu->addAction(titulo.isEmpty() ? nome : titulo);
        a->setObjectName(nome);
        connect(a, &QAction::triggered, this, [this, nome] {
            if (FCadastro)
                Tentar([&] { MostrarRelatorio(GerarRelatorioCadastro(nome, *FCadastro), this); });
        });
    }
    auto *relatorios = new QAction(style()->standardIcon(QStyle::SP_FileIcon), QStringLiteral("Relatórios"), this);
    relatorios->setObjectName(QStringLiteral("actRelatorios"));
    relatorios->setMenu(menu);
    FPainel->BarraBotoes()->insertAction(antes, relatorios);
    if (auto *botao = qobject_cast<QToolButton *>(FPainel->BarraBotoes()->widgetForAction(relatorios)))
        botao->setPopupMode(QToolButton::InstantPopup);
}

void TnFrmCadastro::AtualizarAcoes()
{
    if (FPainel)
        FPainel->AtualizarBotoes();
    AtualizarCfgCadastro();
}

void TnFrmCadastro::AtualizarCfgCadastro()
{
    if (!FCfgCadastro)
        return;
    FCfgCadastro->setVisible(FCadastro && FCadastro->OnCfgCadastro);
    FCfgCadastro->setEnabled(!AcaoDesligada(nafCfgCadastro));
}

QList<TnPainelCadastro *> TnFrmCadastro::Paineis() const
{
    QList<TnPainelCadastro *> r;
    if (FPainel)
        r.append(FPainel);
    return r + PaineisDetalhe();
}

QList<TnPainelCadastro *> TnFrmCadastro::PaineisDetalhe() const
{
    QList<TnPainelCadastro *> r;
    for (const QPointer<TnPainelCadastro> &p : FPaineisDetalhe)
        if (p)
            r.append(p);
    return r;
}

void TnFrmCadastro::FocarControle(const QString &nome)
{
    for (TnPainelCadastro *p : Paineis())
        if (p->Focar(nome))
            return;
}

void TnFrmCadastro::AtualizarControle(const QString &nome)
{
    if (FPainel)
        FPainel->Atualizar(nome);
    if (nome.isEmpty())
        AtualizarCfgCadastro();
    else // an extra control or a parameter of a detail's page
        for (TnPainelCadastro *p : PaineisDetalhe())
            if (p->Editor(nome))
                p->Atualizar(nome);
}

void TnFrmCadastro::MostrarControleExtra(TnControleExtra *extra)
{
    Construir();
    for (TnPainelCadastro *p : Paineis())
        if (p->Modulo() == extra->Dono())
            p->MostrarExtra(extra);
}

QString TnFrmCadastro::CriarPainelParametros(TnpqPowerParam &params, const QString &campoAnterior)
{
    Construir();
    const QString nome = QStringLiteral("nPainelParametros%1").arg(++FNumero);
    for (TnPainelCadastro *p : Paineis())
        if (QGroupBox *caixa = p->CriarPainelParametros(params, campoAnterior, nome)) {
            FLugares.insert(nome, caixa);
            return nome;
        }
    throw Exception(QStringLiteral("O formulário de \"%1\" não tem o controle %2.").arg(windowTitle(), campoAnterior));
}

void TnFrmCadastro::CarregarPainelParametros(const QString &painel)
{
    for (TnPainelCadastro *p : Paineis())
        if (p->TemPainelParametros(painel))
            p->CarregarPainelParametros(painel);
}

void TnFrmCadastro::SalvarPainelParametros(const QString &painel, bool todos)
{
    for (TnPainelCadastro *p : Paineis())
        if (p->TemPainelParametros(painel))
            p->SalvarPainelParametros(painel, todos);
}

bool TnFrmCadastro::Inserindo() const
{
    return FCadastro && FCadastro->nClientDataSet().State() == dsInsert;
}

QString TnFrmCadastro::Registrar(QWidget *w, const char *prefixo)
{
    const QString nome = QString::fromLatin1(prefixo) + QString::number(++FNumero);
    w->setObjectName(nome);
    FLugares.insert(nome, w);
    return nome;
}

QWidget *TnFrmCadastro::LugarOuErro(const QString &nome) const
{
    QWidget *w = FLugares.value(nome.trimmed());
    if (!w)
        throw Exception(QStringLiteral("O formulário de \"%1\" não tem o controle %2.").arg(windowTitle(), nome));
    return w;
}

QTabWidget *TnFrmCadastro::AreaDetalhes()
{
    Construir();
    if (!FDetalhes) {
        FDetalhes = new QTabWidget(FInferior);
        FInferior->layout()->addWidget(FDetalhes);
    }
    FInferior->show();
    return FDetalhes;
}

QString TnFrmCadastro::CriarPageControl(const QString &pai)
{
    Construir();
    QWidget *lugar = pai.trimmed().isEmpty() ? FInferior : LugarOuErro(pai);
    if (!lugar->layout())
        new QVBoxLayout(lugar);
    auto *pc = new QTabWidget(lugar);
    lugar->layout()->addWidget(pc);
    if (lugar == FInferior)
        FInferior->show();
    return Registrar(pc, "nPageControl");
}

QString TnFrmCadastro::CriarTabSheet(const QString &pageControl, const QString &caption)
{
    Construir();
    QTabWidget *pc = nullptr;
    if (pageControl.trimmed().isEmpty())
        pc = FPainel->Paginas() ? FPainel->Paginas() : AreaDetalhes();
    else if (!(pc = qobject_cast<QTabWidget *>(LugarOuErro(pageControl))))
        throw Exception(QStringLiteral("O controle %1 não é um controle de páginas.").arg(pageControl));
    auto *pagina = new QWidget(pc);
    auto *l = new QVBoxLayout(pagina);
    l->setContentsMargins(0, 0, 0, 0);
    pc->addTab(pagina, caption);
    return Registrar(pagina, "nTabSheet");
}

void TnFrmCadastro::MostrarDetalhe(TnDMClientDataSet *detalhe, const QString &controlePai)
{
    Construir();
    for (TnPainelCadastro *p : PaineisDetalhe())
        if (p->Modulo() == detalhe)
            return;
    auto *painel = new TnPainelCadastro(detalhe, this, false, nullptr);
    TnPainelCadastro *doMestre = nullptr;
    for (TnPainelCadastro *p : PaineisDetalhe())
        if (p->Modulo() == detalhe->DmMaster())
            doMestre = p;
    if (controlePai.trimmed().isEmpty() && doMestre) {
        // The detail of a detail goes right under its master's lines, in the same place.
        ColocarAbaixo(doMestre, painel);
    } else {
        QWidget *lugar = controlePai.trimmed().isEmpty() ? AreaDetalhes() : LugarOuErro(controlePai);
        if (auto *pc = qobject_cast<QTabWidget *>(lugar)) {
            pc->addTab(painel, detalhe->Caption());
        } else {
            if (!lugar->layout())
                new QVBoxLayout(lugar);
            painel->setParent(lugar);
            lugar->layout()->addWidget(painel);
        }
    }
    FPaineisDetalhe.append(painel);
    // The detail is configured with this window as its master is: its own details (the
    // lines under each of its lines) come now.
    if (detalhe->Form() != this)
        detalhe->ConfigurarForm(this);
}

void TnFrmCadastro::ColocarAbaixo(QWidget *acima, QWidget *abaixo)
{
    QWidget *lugar = acima->parentWidget();
    // A tab of its own: the tab becomes a column holding both.
    if (auto *pc = lugar ? qobject_cast<QTabWidget *>(lugar->parentWidget()) : nullptr; pc && pc->indexOf(acima) >= 0) {
        const int i = pc->indexOf(acima);
        const QString caption = pc->tabText(i);
        auto *coluna = new QWidget;
        auto *l = new QVBoxLayout(coluna);
        l->setContentsMargins(0, 0, 0, 0);
        pc->removeTab(i);
        l->addWidget(acima, 3);
        l->addWidget(abaixo, 2);
        pc->insertTab(i, coluna, caption);
        return;
    }
    auto *box = lugar ? qobject_cast<QBoxLayout *>(lugar->layout()) : nullptr;
    if (!box) {
        AreaDetalhes()->addTab(abaixo, QString());
        return;
    }
    abaixo->setParent(lugar);
    box->insertWidget(box->indexOf(acima) + 1, abaixo, 2);
    box->setStretchFactor(acima, 3);
}

bool TnFrmCadastro::PodeFechar()
{
    // What is typed in the controls goes into the records before the module is asked.
    return Tentar([&] {
               for (TnPainelCadastro *p : PaineisDetalhe())
                   p->TomarDigitado();
               if (FPainel)
                   FPainel->TomarDigitado();
           })
           && TnFrmModulo::PodeFechar();
}

// ---- the search of a lookup -------------------------------------------------------------

TnDlgPesquisa::TnDlgPesquisa(TnDMClientDataSet *consulta, QWidget *pai) : QDialog(pai)
{
    setWindowTitle(QStringLiteral("Pesquisar: %1").arg(consulta->Caption()));
    auto *l = new QVBoxLayout(this);
    FGrade = new TnGradeDataSet(consulta->nClientDataSet(), consulta, true, this);
    l->addWidget(FGrade, 1);
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ok"));
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(botoes, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FGrade, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
    l->addWidget(botoes);
    resize(640, 420);
}

QVariantMap PesquisarNaConsulta(const QString &classe, QWidget *pai, QVariant *chave)
{
    const TnClasseInfo *info = Registro().Classe(classe);
    if (!info) {
        AvisarNaoDisponivel(classe.trimmed().isEmpty() ? QStringLiteral("Pesquisa") : classe.trimmed());
        return {};
    }
    if (!GarantirSelecao(info->ChavesSelecao(), pai))
        return {};
    std::unique_ptr<TnDataModule> dm(CriarDMNovo(info->Nome));
    auto *consulta = qobject_cast<TnDMClientDataSet *>(dm.get());
    if (!consulta)
        throw Exception(QStringLiteral("A classe %1 não é uma consulta.").arg(info->Nome));
    consulta->Abrir();
    TnClientDataSet &ds = consulta->nClientDataSet();
    TnDlgPesquisa dlg(consulta, pai);
    if (dlg.exec() != QDialog::Accepted || ds.IsEmpty())
        return {};
    QVariantMap r;
    for (int i = 0; i < ds.FieldCount(); ++i)
        r.insert(ds.Fields(i).FieldName().toUpper(), ds.Fields(i).AsVariant());
    if (chave) {
        const QStringList campos = NomesDaLista(consulta->ChavePrimaria());
        *chave = campos.isEmpty() ? ds.Fields(0).AsVariant() : ds.FieldByName(campos.first()).AsVariant();
    }
    return r;
}

TnFrmModulo *AbrirCadastroDaLinha(TnDMClientDataSet *consulta, QWidget *pai)
{
    const QString nome = consulta->CadCons().trimmed();
    const TnClasseInfo *info = Registro().Classe(nome);
    if (!info)
        info = Registro().Classe(QStringLiteral("T") + nome);
    if (!info) {
        AvisarNaoDisponivel(nome.isEmpty() ? consulta->Caption() : nome);
        return nullptr;
    }
    const TnClientDataSet &linha = consulta->nClientDataSet();
    if (linha.IsEmpty())
        return nullptr;
    const QStringList campos = NomesDaLista(consulta->ChavePrimaria());
    QVariantList valores;
    for (const QString &c : campos)
        valores << linha.FieldByName(c).AsVariant();
    if (!GarantirSelecao(info->ChavesSelecao(), pai))
        return nullptr;
    TnFrmModulo *form = CriarFormModulo(CriarDM(info->Nome), pai);
    if (auto *cadastro = qobject_cast<TnDMClientDataSet *>(form->Modulo()); cadastro && !campos.isEmpty())
        cadastro->nClientDataSet().Locate(campos.join(u';'), valores);
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}
