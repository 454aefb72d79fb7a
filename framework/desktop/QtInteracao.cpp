#include "QtInteracao.h"

#include "Excecoes.h"
#include "QtForms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
struct Botao {
    TMsgDlgBtn Flag;
    const char *Texto;
    QMessageBox::ButtonRole Papel;
};
const Botao kBotoes[] = {
    {mbYes, "Sim", QMessageBox::YesRole},
    {mbNo, "Não", QMessageBox::NoRole},
    {mbOK, "Ok", QMessageBox::AcceptRole},
    {mbCancel, "Cancelar", QMessageBox::RejectRole},
    {mbAbort, "Abortar", QMessageBox::RejectRole},
    {mbRetry, "Repetir", QMessageBox::AcceptRole},
    {mbIgnore, "Ignorar", QMessageBox::AcceptRole},
    {mbAll, "Todos", QMessageBox::YesRole},
    {mbNoToAll, "Não para todos", QMessageBox::NoRole},
    {mbYesToAll, "Sim para todos", QMessageBox::YesRole},
    {mbHelp, "Ajuda", QMessageBox::HelpRole},
    {mbClose, "Fechar", QMessageBox::RejectRole},
};
const char kPropriedadeBotao[] = "nBotao";
const char kPropriedadePosicao[] = "nPosicao";

QWidget *JanelaAtiva()
{
    if (QWidget *w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

// QProgressBar counts in int; larger counts are shown in thousandths.
void AjustarBarra(QProgressBar *barra, qint64 maximo, qint64 posicao, bool circular)
{
    if (circular || maximo <= 0) {
        barra->setRange(0, circular ? 0 : 1);
        barra->setValue(0);
        return;
    }
    if (maximo > INT_MAX) {
        barra->setRange(0, 1000);
        barra->setValue(int(posicao * 1000 / maximo));
    } else {
        barra->setRange(0, int(maximo));
        barra->setValue(int(posicao));
    }
}

QIcon IconeDoTipo(TnTipoMensagem tipo)
{
    QStyle *s = QApplication::style();
    switch (tipo) {
    case tmErro:
        return s->standardIcon(QStyle::SP_MessageBoxCritical);
    case tmAviso:
        return s->standardIcon(QStyle::SP_MessageBoxWarning);
    case tmSucesso:
        return s->standardIcon(QStyle::SP_DialogApplyButton);
    case tmInformacao:
        break;
    }
    return s->standardIcon(QStyle::SP_MessageBoxInformation);
}

int LarguraMinimaCaixa(const QString &titulo, const QFontMetrics &fonte)
{
    // The title bar's font may be larger than the box's, and its buttons take about 120 px.
    return qMax(280, fonte.horizontalAdvance(titulo) * 3 / 2 + 160);
}

// A box of that kind, with its icon and Portuguese title, and no buttons yet.
QMessageBox *CaixaSemBotoes(const QString &texto, TMsgDlgType tipo, QWidget *pai)
{
    static const QMessageBox::Icon icones[] = {QMessageBox::Warning, QMessageBox::Critical, QMessageBox::Information,
                                               QMessageBox::Question, QMessageBox::NoIcon};
    static const char *const titulos[] = {"Aviso", "Erro", "Informação", "Confirmação", "Mensagem"};
    const QString titulo = QString::fromUtf8(titulos[tipo]);
    auto *caixa = new QMessageBox(icones[tipo], titulo, texto, QMessageBox::NoButton, pai);
    // A short text makes a narrow box, whose title bar would cut the title ("Men…em"): the
    // box is at least as wide as the title with room for the window's own buttons.
    if (auto *grade = qobject_cast<QGridLayout *>(caixa->layout()))
        grade->addItem(new QSpacerItem(LarguraMinimaCaixa(titulo, caixa->fontMetrics()), 0, QSizePolicy::Minimum,
                                       QSizePolicy::Minimum),
                       grade->rowCount(), 0, 1, grade->columnCount());
    return caixa;
}
} // namespace

QString TextoBotao(TMsgDlgBtn b)
{
    for (const Botao &x : kBotoes)
        if (x.Flag == b)
            return QString::fromUtf8(x.Texto);
    return QString();
}

void MostrarExcecao(const std::exception &e)
{
    if (dynamic_cast<const EAbort *>(&e))
        return;
    const auto *ex = dynamic_cast<const Exception *>(&e);
    nShowMessage(ex ? ex->Message() : QString::fromLocal8Bit(e.what()));
}

bool ExecutarTratando(const std::function<void()> &f)
{
    try {
        f();
        return true;
    } catch (const std::exception &e) {
        MostrarExcecao(e);
    }
    return false;
}

// ---- TnFrmProgresso -------------------------------------------------------------------

TnFrmProgresso::TnFrmProgresso(QWidget *pai) : QFrame(pai)
{
    setFrameShape(QFrame::StyledPanel);
    auto *l = new QVBoxLayout(this);
    FTextoTotal = new QLabel(this);
    FTotal = new QProgressBar(this);
    FTextoParcial = new QLabel(this);
    FParcial = new QProgressBar(this);
    for (QWidget *w : {static_cast<QWidget *>(FTextoTotal), static_cast<QWidget *>(FTotal),
                       static_cast<QWidget *>(FTextoParcial), static_cast<QWidget *>(FParcial)})
        l->addWidget(w);
    setMinimumWidth(360);
}

void TnFrmProgresso::Mostrar(const TnEstadoProgresso &e)
{
    FTextoTotal->setText(e.Multiplo ? e.TextoTotal : e.Texto);
    AjustarBarra(FTotal, e.MaximoTotal, e.PosicaoTotal, false);
    FTextoParcial->setVisible(e.Multiplo);
    FParcial->setVisible(e.Multiplo);
    if (e.Multiplo) {
        FTextoParcial->setText(e.TextoParcial);
        AjustarBarra(FParcial, e.MaximoParcial, e.PosicaoParcial, e.CircularParcial);
    }
}

// ---- TnVisaoMensagens -----------------------------------------------------------------

TnVisaoMensagens::TnVisaoMensagens(QWidget *pai) : QTreeWidget(pai)
{
    setColumnCount(1);
    setHeaderLabels({QStringLiteral("Mensagem")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
}

void TnVisaoMensagens::Adicionar(const TnItemMensagem &item)
{
    // A window may keep the view hidden while it has nothing to say.
    if (isHidden())
        show();
    QTreeWidgetItem *pai = item.Pai ? FLinhas.value(item.Pai) : nullptr;
    auto *linha = pai ? new QTreeWidgetItem(pai) : new QTreeWidgetItem(this);
    linha->setText(0, item.Texto);
    linha->setIcon(0, IconeDoTipo(item.Tipo));
    linha->setData(0, Qt::UserRole, int(item.Tipo));
    FLinhas.insert(&item, linha);
    if (pai) {
        setRootIsDecorated(true);
        pai->setExpanded(true);
    }
    scrollToItem(linha);
}

void TnVisaoMensagens::Limpar()
{
    FLinhas.clear();
    clear();
}

void TnVisaoMensagens::Mostrar(const TnListaMensagem &lista)
{
    Limpar();
    const std::function<void(const std::vector<std::unique_ptr<TnItemMensagem>> &)> mostrar = [&](const auto &itens) {
        for (const auto &i : itens) {
            Adicionar(*i);
            mostrar(i->Filhos);
        }
    };
    mostrar(lista.Itens());
}

void TnVisaoMensagens::Esquecer() { FLinhas.clear(); }

// ---- TnInteracaoQt --------------------------------------------------------------------

TnInteracaoQt::~TnInteracaoQt()
{
    if (&Interacao() == this)
        DefinirInteracao(nullptr);
    for (const JanelaProgresso &j : std::as_const(FProgressos))
        delete j.Janela.data();
}

void TnInteracaoQt::Vincular(const TnListaMensagem &lista, TnVisaoMensagens *visao)
{
    FListas.insert(&lista, visao);
}

QMessageBox *TnInteracaoQt::CriarCaixa(const QString &texto, TMsgDlgType tipo, TMsgDlgButtons botoes, QWidget *pai,
                                       TMsgDlgBtn padrao)
{
    QMessageBox *caixa = CaixaSemBotoes(texto, tipo, pai);
    if (!botoes)
        botoes = mbOK;
    QAbstractButton *primeiro = nullptr;
    QHash<int, QAbstractButton *> porFlag;
    for (const Botao &b : kBotoes) {
        if (!botoes.testFlag(b.Flag))
            continue;
        QPushButton *bt = caixa->addButton(QString::fromUtf8(b.Texto), b.Papel);
        bt->setProperty(kPropriedadeBotao, int(b.Flag));
        porFlag.insert(b.Flag, bt);
        if (!primeiro)
            primeiro = bt;
    }
    caixa->setDefaultButton(static_cast<QPushButton *>(porFlag.value(padrao, primeiro)));
    for (TMsgDlgBtn esc : {mbCancel, mbNo, mbClose, mbOK})
        if (porFlag.contains(esc)) {
            caixa->setEscapeButton(porFlag.value(esc));
            break;
        }
    return caixa;
}

TMsgDlgBtn TnInteracaoQt::Resposta(const QMessageBox &caixa)
{
    QAbstractButton *b = caixa.clickedButton();
    if (!b)
        b = caixa.escapeButton();
    if (!b && !caixa.buttons().isEmpty())
        b = caixa.buttons().first();
    return b ? TMsgDlgBtn(b->property(kPropriedadeBotao).toInt()) : mbOK;
}

QMessageBox *TnInteracaoQt::CriarCaixaBotoes(const QString &texto, TMsgDlgType tipo, const QStringList &botoes,
                                             int cancelar, QWidget *pai, int padrao)
{
    QMessageBox *caixa = CaixaSemBotoes(texto, tipo, pai);
    for (int i = 0; i < botoes.size(); ++i) {
        QPushButton *bt = caixa->addButton(botoes.at(i), i == cancelar ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        bt->setProperty(kPropriedadePosicao, i);
        if (i == padrao)
            caixa->setDefaultButton(bt);
        if (i == cancelar)
            caixa->setEscapeButton(bt);
    }
    return caixa;
}

int TnInteracaoQt::RespostaBotoes(const QMessageBox &caixa)
{
    QAbstractButton *b = caixa.clickedButton();
    if (!b)
        b = caixa.escapeButton();
    return b ? b->property(kPropriedadePosicao).toInt() : -1;
}

int TnInteracaoQt::MessageDlgBotoes(const QString &texto, TMsgDlgType tipo, const QStringList &botoes, int cancelar,
                                    int padrao)
{
    std::unique_ptr<QMessageBox> caixa(CriarCaixaBotoes(texto, tipo, botoes, cancelar, JanelaAtiva(), padrao));
    caixa->exec();
    return RespostaBotoes(*caixa);
}

TMsgDlgBtn TnInteracaoQt::MessageDlg(const QString &texto, TMsgDlgType tipo, TMsgDlgButtons botoes, TMsgDlgBtn padrao)
{
    std::unique_ptr<QMessageBox> caixa(CriarCaixa(texto, tipo, botoes, JanelaAtiva(), padrao));
    caixa->exec();
    return Resposta(*caixa);
}

int TnInteracaoQt::SelecionarItem(const QString &titulo, const QStringList &itens)
{
    if (itens.isEmpty())
        return -1;
    QInputDialog caixa(JanelaAtiva());
    caixa.setWindowTitle(titulo);
    caixa.setLabelText(titulo);
    caixa.setOption(QInputDialog::UseListViewForComboBoxItems);
    caixa.setComboBoxItems(itens);
    caixa.setComboBoxEditable(false);
    caixa.setOkButtonText(TextoBotao(mbOK));
    caixa.setCancelButtonText(TextoBotao(mbCancel));
    return caixa.exec() == QDialog::Accepted ? int(itens.indexOf(caixa.textValue())) : -1;
}

bool TnInteracaoQt::SelecionarItens(const QString &titulo, const QStringList &itens, QList<int> &marcados)
{
    QDialog caixa(JanelaAtiva());
    caixa.setWindowTitle(titulo);
    auto *l = new QVBoxLayout(&caixa);
    l->addWidget(new QLabel(titulo, &caixa));
    auto *lista = new QListWidget(&caixa);
    for (int i = 0; i < itens.size(); ++i) {
        auto *item = new QListWidgetItem(itens.at(i), lista);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(marcados.contains(i) ? Qt::Checked : Qt::Unchecked);
    }
    l->addWidget(lista);
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &caixa);
    botoes->button(QDialogButtonBox::Ok)->setText(TextoBotao(mbOK));
    botoes->button(QDialogButtonBox::Cancel)->setText(TextoBotao(mbCancel));
    QObject::connect(botoes, &QDialogButtonBox::accepted, &caixa, &QDialog::accept);
    QObject::connect(botoes, &QDialogButtonBox::rejected, &caixa, &QDialog::reject);
    l->addWidget(botoes);
    if (caixa.exec() != QDialog::Accepted)
        return false;
    marcados.clear();
    for (int i = 0; i < lista->count(); ++i)
        if (lista->item(i)->checkState() == Qt::Checked)
            marcados.append(i);
    return true;
}

void TnInteracaoQt::ShowMessage(const QString &texto)
{
    std::unique_ptr<QMessageBox> caixa(CriarCaixa(texto, mtCustom, mbOK, JanelaAtiva()));
    caixa->exec();
}

void TnInteracaoQt::ProgressoAlterado(const TnProgresso &p)
{
    JanelaProgresso &j = FProgressos[&p];
    if (!j.Janela) {
        j.Janela = new QDialog(JanelaAtiva(), Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        j.Janela->setWindowTitle(QStringLiteral("Processando"));
        j.Frame = new TnFrmProgresso(j.Janela);
        (new QVBoxLayout(j.Janela))->addWidget(j.Frame);
    }
    j.Frame->Mostrar(p.Estado());
    j.Janela->setVisible(p.Estado().Visivel);
    // A long process keeps the window painted through its progress; the user's input waits,
    // so nothing else starts while it runs.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TnInteracaoQt::ProgressoDestruido(const TnProgresso &p)
{
    const JanelaProgresso j = FProgressos.take(&p);
    delete j.Janela.data();
}

void TnInteracaoQt::MensagemAdicionada(const TnListaMensagem &lista, const TnItemMensagem &item)
{
    QPointer<TnVisaoMensagens> &visao = FListas[&lista];
    if (!visao) {
        auto *janela = new QDialog(JanelaAtiva());
        janela->setAttribute(Qt::WA_DeleteOnClose);
        janela->setWindowTitle(QStringLiteral("Mensagens"));
        janela->resize(560, 320);
        visao = new TnVisaoMensagens(janela);
        (new QVBoxLayout(janela))->addWidget(visao);
        janela->show();
    }
    visao->Adicionar(item);
}

void TnInteracaoQt::MensagensLimpas(const TnListaMensagem &lista)
{
    if (TnVisaoMensagens *v = FListas.value(&lista))
        v->Limpar();
}

void TnInteracaoQt::ListaDestruida(const TnListaMensagem &lista)
{
    if (TnVisaoMensagens *v = FListas.take(&lista))
        v->Esquecer();
}

bool TnInteracaoQt::MostrarForm(TnDMFormulario *dm, bool modal, const std::function<void(TnFormModulo &)> &preparar)
{
    const QPointer<TnDMFormulario> vivo(dm);
    QWidget *pai = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    // The window takes the module: it frees it when it closes (or fails while being built).
    std::unique_ptr<TnFrmModulo> form(CriarFormModulo(dm, pai));
    if (preparar)
        preparar(*form);
    if (!modal) {
        form->show();
        form->raise();
        form.release(); // closing it deletes it
        return true;
    }
    const bool confirmado = form->ExecutarModal();
    form.reset();
    // Freed now, not at the next turn of the event loop: the caller goes on with the data.
    delete vivo.data();
    return confirmado;
}
