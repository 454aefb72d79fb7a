#include "QtProjeto.h"

#include "Bibliotecas.h"
#include "Conexao.h"
#include "ConversaoBanco.h"
#include "Modulos.h"
#include "QtInteracao.h"
#include "QtMenu.h"
#include "QtSelecao.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QTranslator>
#include <optional>

namespace {
QString gTitulo;
}

QString TituloProjeto() { return gTitulo; }

// ---- TnFrmSplashVarnel ------------------------------------------------------------------

TnFrmSplashVarnel::TnFrmSplashVarnel(QWidget *pai)
    : QWidget(pai, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(700, 467);
}

QStringList TnFrmSplashVarnel::GetListaSplashItens() { return {}; }

QPixmap TnFrmSplashVarnel::GetImagem()
{
    QPixmap p(700, 467);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fundo(0, 0, 700, 467);
    fundo.setColorAt(0, QColor(0x12, 0x2b, 0x4a));
    fundo.setColorAt(1, QColor(0x1f, 0x6f, 0x78));
    g.fillRect(p.rect(), fundo);
    // Stacked boxes: the stock that the inventory counts.
    const QColor caixa(0xe0, 0xa4, 0x58);
    const QRectF caixas[] = {{60, 290, 110, 90}, {180, 290, 110, 90}, {120, 190, 110, 90}};
    for (const QRectF &r : caixas) {
        g.setBrush(caixa);
        g.setPen(QPen(caixa.darker(160), 3));
        g.drawRect(r);
        g.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.top() + 30));
    }
    g.setPen(QColor(255, 255, 255, 40));
    for (int x = 0; x < 700; x += 28)
        g.drawLine(x, 400, x + 60, 467);
    g.setPen(Qt::white);
    QFont f = g.font();
    f.setPointSize(30);
    f.setBold(true);
    g.setFont(f);
    g.drawText(QRectF(330, 170, 350, 60), Qt::AlignLeft | Qt::AlignVCenter,
               gTitulo.isEmpty() ? QStringLiteral("Varnel") : gTitulo);
    return p;
}

void TnFrmSplashVarnel::SetMensagem(const QString &texto)
{
    FMensagem = texto;
    update();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TnFrmSplashVarnel::paintEvent(QPaintEvent *)
{
    if (!FPreparado) { // the virtuals are called once the object is complete
        FPreparado = true;
        FImagem = GetImagem();
        FItens = GetListaSplashItens();
    }
    QPainter g(this);
    g.drawPixmap(rect(), FImagem);
    g.setPen(Qt::white);
    QFont f = font();
    f.setPointSize(9);
    g.setFont(f);
    const int linha = g.fontMetrics().height() + 2;
    for (int i = 0; i < FItens.size(); ++i)
        g.drawText(QPointF(width() - 200, 40 + i * linha), FItens[i].trimmed());
    g.drawText(QRectF(20, height() - 34, width() - 40, 24), Qt::AlignLeft | Qt::AlignVCenter, FMensagem);
}

// ---- libraries --------------------------------------------------------------------------

QStringList &BibliotecasProjeto()
{
    static QStringList l{QStringLiteral("OrvoCore"), QStringLiteral("OrvoPrefs"), QStringLiteral("OrvoQuery"),
                         QStringLiteral("Ulmar"), QStringLiteral("Quen"), QStringLiteral("Telso")};
    return l;
}

QStringList CarregarBibliotecas(const QStringList &nomes)
{
    QStringList falhas;
    for (const QString &n : nomes) {
        try {
            TnBibliotecas::Carregar(n);
        } catch (const Exception &e) {
            falhas.append(e.Message());
        }
    }
    return falhas;
}

// ---- language ---------------------------------------------------------------------------

bool InstalarTraducoes()
{
    // Dates, numbers and the toolkit's own dialogs (files, printing, its standard buttons)
    // in Brazilian Portuguese, whatever the machine's language.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    static QPointer<QTranslator> traducao; // goes with the application object that owns it
    if (traducao)
        return true;
    auto *t = new QTranslator(qApp);
    if (!t->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    traducao = t;
    return true;
}

// ---- the run ----------------------------------------------------------------------------

namespace {
// What the run opened, closed in reverse order whatever way it ends.
struct Sessao {
    TnInteracaoQt Interacao;
    std::unique_ptr<nDMConexao> Conexao;
    QPointer<TnFrmMenuVarnel> Janela;
    TnFrmMenuVarnel **Variavel = nullptr;

    Sessao() { DefinirInteracao(&Interacao); }
    ~Sessao()
    {
        delete Janela.data(); // its windows and actions before the code they came from
        if (Variavel)
            *Variavel = nullptr;
        DestruirTodosDM();
        TnBibliotecas::DescarregarTodas();
        nDMConexao::DefinirAtual(nullptr);
        Conexao.reset();
        DefinirInteracao(nullptr);
    }
};

// Steps up to the main window; false when the user gave up (login or company cancelled).
bool Iniciar(Sessao &s, TnFrmSplashVarnel &splash, const TnFabricaLogin &classeLogin)
{
    splash.SetMensagem(QStringLiteral("Conectando ao banco de dados..."));
    s.Conexao = std::make_unique<nDMConexao>(TnConfigBanco::Ler(TnConfigBanco::ArquivoPadrao()));
    nDMConexao::DefinirAtual(s.Conexao.get());
    splash.SetMensagem(QStringLiteral("Atualizando o banco de dados..."));
    ConverterBanco(*s.Conexao);

    splash.hide(); // the dialogs go in front of nothing
    std::unique_ptr<TnFrmLogin> login(classeLogin ? classeLogin() : new TnFrmLogin());
    if (!login->Executar())
        return false;
    login.reset();
    // Where the user left off: the company, branch and period of the last session.
    ExecutarTratando([] { RestaurarSelecaoDoUsuario(); });
    if (!SelecionarEmpresa(nullptr))
        return false;
    splash.show();
    splash.SetMensagem(QStringLiteral("Carregando bibliotecas..."));
    return true;
}
} // namespace

int ExecutarProjeto(int &argc, char **argv, const QString &titulo, const TnFabricaSplash &classeSplash,
                    const TnFabricaMenu &classeMenu, TnFrmMenuVarnel **variavelFormPrincipal,
                    const TnFabricaLogin &classeLogin)
{
    std::optional<QApplication> app;
    if (!qApp)
        app.emplace(argc, argv);
    InstalarTraducoes();
    gTitulo = titulo;

    Sessao s;
    s.Variavel = variavelFormPrincipal;
    QStringList falhas;
    try {
        std::unique_ptr<TnFrmSplashVarnel> splash(classeSplash ? classeSplash() : new TnFrmSplashVarnel());
        if (QScreen *tela = QGuiApplication::primaryScreen())
            splash->move(tela->availableGeometry().center() - splash->rect().center());
        splash->show();
        if (!Iniciar(s, *splash, classeLogin))
            return 0;
        falhas = CarregarBibliotecas(BibliotecasProjeto());
        splash->SetMensagem(QStringLiteral("Montando os menus..."));
        s.Janela = classeMenu ? classeMenu() : new TnFrmMenuVarnel();
        s.Janela->setAttribute(Qt::WA_DeleteOnClose, false);
        if (variavelFormPrincipal)
            *variavelFormPrincipal = s.Janela;
        s.Janela->Inicializar();
        s.Janela->showMaximized();
    } catch (const std::exception &e) {
        MostrarExcecao(e);
        return 1;
    }
    if (!falhas.isEmpty())
        nShowMessage(QStringLiteral("Bibliotecas não carregadas:\n") + falhas.join('\n'));
    return QApplication::exec();
}
