#pragma once
// The desktop program's run: ExecutarProjeto and the splash window.
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <functional>

class TnFrmLogin;
class TnFrmMenuVarnel;

// The window shown while the program starts: a picture, the list of items the derived
// class gives and a line saying what is being done.
class TnFrmSplashVarnel : public QWidget {
    Q_OBJECT
public:
    explicit TnFrmSplashVarnel(QWidget *pai = nullptr);
    // The items written over the picture (the suite's other modules, for instance).
    virtual QStringList GetListaSplashItens();
    // The picture, 700 x 467 pixels by default, drawn by the framework.
    virtual QPixmap GetImagem();
    void SetMensagem(const QString &texto);
    const QString &Mensagem() const { return FMensagem; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QPixmap FImagem;
    QStringList FItens;
    QString FMensagem;
    bool FPreparado = false;
};

// Window classes are given as factories: ClasseForm<TOrvoSMenu>().
using TnFabricaSplash = std::function<TnFrmSplashVarnel *()>;
using TnFabricaMenu = std::function<TnFrmMenuVarnel *()>;
using TnFabricaLogin = std::function<TnFrmLogin *()>;
template <class T> std::function<T *()> ClasseForm()
{
    return [] { return new T(); };
}

// The libraries ExecutarProjeto loads from the program's folder, in order: the module's
// own and the sibling modules' stand-ins. A program may change the list before the run.
QStringList &BibliotecasProjeto();
// Loads the libraries; answers one message per library that could not be loaded (the
// others load all the same).
QStringList CarregarBibliotecas(const QStringList &nomes);

// Brazilian Portuguese for the toolkit's own texts (file and print dialogs, standard
// buttons) and the default locale; ExecutarProjeto calls it. False when the toolkit's
// translations are not installed (the dialogs then stay in the toolkit's language).
bool InstalarTraducoes();

// The title the program was started with ("INV - Varnel").
QString TituloProjeto();

// Runs the desktop program and returns its exit code when the main window closes:
// the application object (made here unless one exists), the splash, the database of the
// settings file (TnConfigBanco::ArquivoPadrao: the embedded file unless it names a server)
// converted to the current schema (which fires FDepoisConverter), the login (`classeLogin`,
// or the default TnFrmLogin), the company, the libraries (a missing one is reported, not
// fatal), the main window of `classeMenu` (kept in `variavelFormPrincipal` while it
// exists) and the message loop; at the end, modules, libraries and the connection are
// closed in that order.
int ExecutarProjeto(int &argc, char **argv, const QString &titulo, const TnFabricaSplash &classeSplash,
                    const TnFabricaMenu &classeMenu, TnFrmMenuVarnel **variavelFormPrincipal = nullptr,
                    const TnFabricaLogin &classeLogin = nullptr);
