#include "QtForms.h"

#include "DMClientDataSet.h"
#include "Interacao.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "QtCadastro.h"
#include "QtConfiguradorConsulta.h"
#include "QtProcesso.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>
#include <optional>

TnFrmModulo::TnFrmModulo(TnDataModule *dm, QWidget *pai) : QDialog(pai), FModulo(dm), FConteudo(new QWidget(this))
{
    setWindowFlag(Qt::Window);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->addWidget(FConteudo, 1);
    if (dm)
        connect(dm, &QObject::destroyed, this, &TnFrmModulo::ModuloDestruido);
}

TnFrmModulo::~TnFrmModulo()
{
    if (!FLiberado) {
        FLiberado = true;
        delete FModulo.data();
    }
}

void TnFrmModulo::LiberarModulo()
{
    if (auto *m = qobject_cast<TnDMFormulario *>(FModulo.data()))
        m->FormFechado();
    else
        delete FModulo.data();
}

bool TnFrmModulo::PodeFechar()
{
    auto *m = qobject_cast<TnDMFormulario *>(FModulo.data());
    bool pode = true;
    return !m || (Tentar([&] { m->FormCloseQuery(this, pode); }) && pode);
}

bool TnFrmModulo::ExecutarModal()
{
    // The caller frees the window after the run.
    setAttribute(Qt::WA_DeleteOnClose, false);
    FModal = true;
    exec();
    FModal = false;
    return FConfirmado;
}

void TnFrmModulo::done(int r)
{
    if (Vivo() && !PodeFechar())
        return;
    GuardarTamanho();
    if (FConfirmarAoFechar)
        FConfirmado = true;
    const QPointer<TnFrmModulo> vivo(this);
    QDialog::done(r);
    if (vivo && !FLiberado) {
        FLiberado = true;
        if (FModulo)
            LiberarModulo();
    }
}

// The module went without the window (its class was unregistered): nothing here may touch
// it any more, so the window goes too.
void TnFrmModulo::ModuloDestruido()
{
    if (FLiberado)
        return;
    FLiberado = true;
    FConfirmarAoFechar = false;
    if (FModal)
        QDialog::done(QDialog::Rejected);
    else
        close();
}

bool TnFrmModulo::Tentar(const std::function<void()> &f)
{
    try {
        f();
        return true;
    } catch (const std::exception &e) {
        MostrarFalha(this, e);
    }
    return false;
}

void TnFrmModulo::Fechar() { close(); }

void TnFrmModulo::RegistrarAcaoForm(TnAcaoForm a, QAction *acao)
{
    FAcoesForm.insert(a, acao);
    addAction(acao); // its shortcuts work wherever the action is shown
}

void TnFrmModulo::ConfigurarActionForm(TnAcaoForm acao, bool ativa)
{
    if (ativa)
        FDesligadas.remove(acao);
    else
        FDesligadas.insert(acao);
    if (QAction *a = AcaoForm(acao); a && !ativa)
        a->setEnabled(false);
    AtualizarAcoes();
}

void TnFrmModulo::AdicionarAtalhoSecundario(TnAcaoForm acao, const QString &atalho)
{
    QAction *a = AcaoForm(acao);
    const QKeySequence tecla = QKeySequence::fromString(atalho, QKeySequence::PortableText);
    if (!a || tecla.isEmpty())
        return;
    QList<QKeySequence> teclas = a->shortcuts();
    if (!teclas.contains(tecla))
        teclas.append(tecla);
    a->setShortcuts(teclas);
}

void TnFrmModulo::SetTextoPainel(int painel, const QString &texto)
{
    if (painel < 0)
        return;
    if (!FStatus) {
        FStatus = new QStatusBar(this);
        FStatus->setSizeGripEnabled(false);
        layout()->addWidget(FStatus);
    }
    while (FPaineis.size() <= painel) {
        auto *l = new QLabel(FStatus);
        l->setObjectName(QStringLiteral("nPainel%1").arg(FPaineis.size()));
        FStatus->addWidget(l);
        FPaineis.append(l);
    }
    FPaineis[painel]->setText(texto);
}

QString TnFrmModulo::TextoPainel(int painel) const
{
    return painel >= 0 && painel < FPaineis.size() ? FPaineis[painel]->text() : QString();
}

void TnFrmModulo::SetLarguraPainel(int painel, int largura)
{
    SetTextoPainel(painel, TextoPainel(painel));
    // The least width: a longer text widens the panel instead of being cut off.
    FPaineis[painel]->setMinimumWidth(qMax(0, largura));
}

namespace {
// The user's preferences keep each module window's size under this section, by class name:
// "<width>x<height>", then "@<x>,<y>" (its place) and ";max" when it was maximised. A
// maximised window keeps the size and place it comes back to.
const char kSecaoJanelas[] = "Janelas";

struct TnLugarJanela {
    QSize Tamanho;
    std::optional<QPoint> Posicao;
    bool Maximizada = false;
};

TnLugarJanela LerLugar(const QString &texto)
{
    TnLugarJanela l;
    static const QRegularExpression formato(QStringLiteral("^(\\d+)x(\\d+)(?:@(-?\\d+),(-?\\d+))?(;max)?$"));
    const QRegularExpressionMatch m = formato.match(texto.trimmed());
    if (!m.hasMatch())
        return l;
    l.Tamanho = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    if (m.hasCaptured(3))
        l.Posicao = QPoint(m.captured(3).toInt(), m.captured(4).toInt());
    l.Maximizada = m.hasCaptured(5);
    return l;
}
} // namespace

void TnFrmModulo::AbrirNoTamanho(const QSize &minimo)
{
    QSize tamanho = size().expandedTo(minimo);
    TnLugarJanela lugar;
    if (FModulo) {
        try {
            lugar = LerLugar(TnPreferenciasUsuario::Ler(QString::fromLatin1(kSecaoJanelas), FModulo->ClassName()));
            if (lugar.Tamanho.width() > 0 && lugar.Tamanho.height() > 0)
                tamanho = lugar.Tamanho.expandedTo(minimo);
        } catch (const std::exception &) {
            // Unreadable preferences: the window opens at its own size.
        }
    }
    QScreen *tela = screen() ? screen() : QGuiApplication::primaryScreen();
    if (tela)
        tamanho = tamanho.boundedTo(tela->availableGeometry().size());
    resize(tamanho);
    // Its place, when it is still on a screen (a screen may have gone since).
    if (lugar.Posicao)
        if (QGuiApplication::screenAt(*lugar.Posicao + QPoint(20, 20)))
            move(*lugar.Posicao);
    if (lugar.Maximizada)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TnFrmModulo::GuardarTamanho()
{
    if (!FModulo || !isVisible())
        return;
    const bool maximizada = isMaximized();
    // Maximised: the size and place it comes back to.
    const QRect normal = maximizada ? normalGeometry() : geometry();
    if (normal.width() <= 0 || normal.height() <= 0)
        return;
    // The place of the frame, as move() takes it.
    const QPoint lugar = normal.topLeft() - (geometry().topLeft() - pos());
    try {
        TnPreferenciasUsuario::Gravar(QString::fromLatin1(kSecaoJanelas), FModulo->ClassName(),
                                      QStringLiteral("%1x%2@%3,%4%5")
                                          .arg(normal.width())
                                          .arg(normal.height())
                                          .arg(lugar.x())
                                          .arg(lugar.y())
                                          .arg(maximizada ? QStringLiteral(";max") : QString()));
    } catch (const std::exception &) {
        // A size not kept is no reason to keep the window open.
    }
}

void TnFrmModulo::DefinirTamanho(int largura, int altura)
{
    resize(largura, altura);
    if (QScreen *tela = screen() ? screen() : QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

QString TnFrmModulo::CriarPainelParametros(TnpqPowerParam &, const QString &campoAnterior)
{
    throw Exception(QStringLiteral("O formulário \"%1\" não mostra parâmetros junto de \"%2\".")
                        .arg(windowTitle(), campoAnterior));
}

// ---- TnFrmSimples ---------------------------------------------------------------------

TnFrmSimples::TnFrmSimples(TnDataModule *dm, QWidget *pai) : TnFrmModulo(dm, pai)
{
    setWindowTitle(dm ? dm->TituloJanela() : QString());
    auto *l = new QVBoxLayout(Conteudo());
    auto *texto = new QLabel(dm ? dm->TextoJanela() : QString(), Conteudo());
    texto->setObjectName(QStringLiteral("lblTexto"));
    texto->setAlignment(Qt::AlignCenter);
    texto->setWordWrap(true);
    l->addWidget(texto, 1);
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Close, Conteudo());
    botoes->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fechar"));
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    l->addWidget(botoes);
    resize(420, 240);
}

void AvisarNaoDisponivel(const QString &nome)
{
    nShowMessage(QStringLiteral("\"%1\" não está disponível.").arg(nome));
}

TnFrmModulo *CriarFormModulo(TnDataModule *dm, QWidget *pai)
{
    // A window that fails while it is built frees the module itself (its destructor).
    if (auto *cadastro = qobject_cast<TnDMClientDataSet *>(dm))
        return new TnFrmCadastro(cadastro, pai);
    if (auto *configurador = qobject_cast<TnDPConfiguradorConsultaPersonalizada *>(dm))
        return new TnFrmConfiguradorConsulta(configurador, pai);
    if (auto *processo = qobject_cast<TnDMPowerParam *>(dm))
        return new TnFrmProcesso(processo, pai);
    return new TnFrmSimples(dm, pai);
}
