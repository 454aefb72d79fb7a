#include "QtTeste.h"
#include "QtEditores.h"
#include "QtPainelCadastro.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace teste {
namespace {
// Polls the event loop for the window `achar` answers (given up after 5 s) and runs `acao` on it.
void Quando(QWidget *(*achar)(), const std::function<void(QWidget *)> &acao)
{
    auto *relogio = new QTimer(qApp);
    QObject::connect(relogio, &QTimer::timeout, relogio, [relogio, tentativas = 0, achar, acao]() mutable {
        QWidget *w = achar();
        if (!w && ++tentativas < 500)
            return;
        relogio->stop();
        relogio->deleteLater();
        if (w)
            acao(w);
    });
    relogio->start(10);
}
} // namespace

void QuandoModal(const std::function<void(QWidget *)> &acao) { Quando(&QApplication::activeModalWidget, acao); }

void QuandoPopup(const std::function<void(QWidget *)> &acao) { Quando(&QApplication::activePopupWidget, acao); }

bool Clicar(QWidget *janela, const QString &texto)
{
    for (QAbstractButton *b : janela->findChildren<QAbstractButton *>())
        if (b->text() == texto) {
            b->click();
            return true;
        }
    return false;
}

void Digitar(QWidget *linha, const QString &texto)
{
    if (auto *l = qobject_cast<QLineEdit *>(linha))
        l->selectAll();
    for (const QChar c : texto) {
        QKeyEvent aperta(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent solta(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(linha, &aperta);
        QApplication::sendEvent(linha, &solta);
    }
}

void Digitar(TnPainelCadastro *painel, const QString &nome, const QString &texto)
{
    TnEditor *e = painel->Editor(nome);
    ASSERT_NE(e, nullptr) << nome.toStdString();
    e->Focar();
    Digitar(e->Entrada(), texto);
    e->Entrada()->clearFocus();
}

QString Capturar(QWidget *w, const QString &nome)
{
    QDir pasta(QCoreApplication::applicationDirPath());
    pasta.cdUp(); // build/bin -> build
    pasta.mkpath(QStringLiteral("capturas"));
    const QString arquivo = pasta.filePath(QStringLiteral("capturas/%1.png").arg(nome));
    return w->grab().save(arquivo) ? arquivo : QString();
}
} // namespace teste
