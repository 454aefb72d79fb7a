// A whole run of the desktop program on a fresh embedded database in a temporary folder.
#include "Bibliotecas.h"
#include "Conexao.h"
#include "ConversaoBanco.h"
#include "QtMenu.h"
#include "QtProjeto.h"
#include "QtTeste.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
class TTesteSplash : public TnFrmSplashVarnel {
public:
    QStringList GetListaSplashItens() override
    {
        ++Pedidos;
        return QString("Ulmar;Telso;Quen").split(';');
    }
    static inline int Pedidos = 0;
};

// Points the user's configuration and data folders at a temporary folder for one case.
class PastasTemporarias {
public:
    PastasTemporarias()
    {
        for (const char *v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            FAntes.append({v, qgetenv(v)});
            qputenv(v, FDir.path().toUtf8());
        }
    }
    ~PastasTemporarias()
    {
        for (const auto &[nome, valor] : FAntes)
            valor.isNull() ? qunsetenv(nome) : qputenv(nome, valor);
    }

private:
    QTemporaryDir FDir;
    QList<QPair<const char *, QByteArray>> FAntes;
};
} // namespace

TEST(ProjetoDesktop, ExecutarProjetoAbreAJanelaEFechaTudoNoFim)
{
    PastasTemporarias pastas;
    // The program's libraries and one that is not there, which is reported.
    const QStringList bibliotecas = BibliotecasProjeto();
    BibliotecasProjeto() = {"OrvoCore", "Ulmar", "NaoExiste"};
    TnFrmMenuVarnel *principal = nullptr;
    int conversoes = 0;
    const TDepoisConverter antes = FDepoisConverter;
    FDepoisConverter = [&](nDMConexao &, int, int) { ++conversoes; };
    QString aviso;
    bool abertaDuranteARodada = false;
    // The missing libraries are reported once the window is up; then the window is closed.
    teste::QuandoModal([&](QWidget *w) {
        aviso = qobject_cast<QMessageBox *>(w)->text();
        teste::Clicar(w, "Ok");
        QTimer::singleShot(0, [&] {
            abertaDuranteARodada = principal && principal->isVisible() && nDMConexao::AtualOuNulo();
            if (principal)
                principal->close();
        });
    });
    int argc = 1;
    char nome[] = "orvo_tests";
    char *argv[] = {nome, nullptr};
    const int rc = ExecutarProjeto(argc, argv, "INV - Varnel", ClasseForm<TTesteSplash>(), ClasseForm<TnFrmMenuVarnel>(),
                                   &principal);
    FDepoisConverter = antes;
    BibliotecasProjeto() = bibliotecas;

    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(abertaDuranteARodada);
    EXPECT_EQ(conversoes, 1);
    EXPECT_EQ(TTesteSplash::Pedidos, 1);
    EXPECT_TRUE(aviso.startsWith("Bibliotecas não carregadas:")) << aviso.toStdString();
    EXPECT_TRUE(aviso.contains("NaoExiste"));
    EXPECT_FALSE(aviso.contains("OrvoCore"));
    EXPECT_FALSE(aviso.contains("Ulmar"));
    EXPECT_EQ(TituloProjeto(), "INV - Varnel");
    // Everything the run opened is closed.
    EXPECT_EQ(principal, nullptr);
    EXPECT_EQ(nDMConexao::AtualOuNulo(), nullptr);
    EXPECT_TRUE(TnBibliotecas::Carregadas().isEmpty());

    TTesteSplash splash;
    splash.SetMensagem("Conectando ao banco de dados...");
    EXPECT_EQ(splash.size(), QSize(700, 467));
    EXPECT_FALSE(teste::Capturar(&splash, "splash").isEmpty());
}

// The toolkit's own dialogs (choosing the PDF's file, printing) speak Portuguese, and dates
// and numbers follow the Brazilian locale, whatever the machine's language.
TEST(ProjetoDesktop, DialogosDoToolkitEmPortugues)
{
    ASSERT_TRUE(InstalarTraducoes()) << "traduções do Qt não instaladas (pacote qt6-translations-l10n)";
    EXPECT_TRUE(InstalarTraducoes()); // once is enough
    EXPECT_EQ(QLocale().name(), "pt_BR");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Procurar em:");
    EXPECT_EQ(QLocale().toString(1234.5, 'f', 2), "1.234,50");
}
