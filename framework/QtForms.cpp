#include "QtForms.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TnFrmModulo::TnFrmModulo(TnDataModule *dm, QWidget *pai) : QDialog(pai), FModulo(dm)
{
    setWindowFlag(Qt::Window);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    if (dm)
        connect(dm, &QObject::destroyed, this, &TnFrmModulo::ModuloDestruido);
}

TnFrmModulo::~TnFrmModulo()
{
    if (!FLiberado) {
        FLiberado = true;
        if (FModulo)
            delete FModulo.data();
    }
}

void TnFrmModulo::LiberarModulo()
{
    delete FModulo.data();
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
    FLiberado = true;
    FConfirmarAoFechar = false;
    if (FModal)
        QDialog::done(QDialog::Rejected);
    else
        close();
}

TnFrmSimples::TnFrmSimples(TnDataModule *dm, QWidget *pai) : TnFrmModulo(dm, pai)
{
    setWindowTitle(dm ? dm->ClassName() : QString());
    auto *l = new QVBoxLayout(this);
    auto *texto = new QLabel(dm ? dm->ClassName() : QString(), this);
    texto->setAlignment(Qt::AlignCenter);
    l->addWidget(texto, 1);
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Close, this);
    botoes->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fechar"));
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    l->addWidget(botoes);
    resize(420, 240);
}

TnFrmModulo *CriarFormModulo(TnDataModule *dm, QWidget *pai)
{
    try {
        return new TnFrmSimples(dm, pai);
    } catch (...) {
        delete dm;
        throw;
    }
}
