// Reports on paper: the roll-up's result and the entry register's list of entries reached
// from their windows, shown in the report window, saved as PDF and read back as text; the
// pages break with the title, heading and captions on each and their numbers at the foot.
// The first pages are saved as pictures under build/capturas/.
#include "PlanoGruposTeste.h"
#include "InteracaoTeste.h"
#include "PowerParam.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtProcesso.h"
#include "QtRelatorio.h"
#include "QtTeste.h"
#include "Valores.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {
// Files and pictures are named per engine: the two runners may run at once.
QString DoMotor(const QString &nome) { return teste::EmPostgres() ? nome + "_pg" : nome; }

// A file under build/capturas/.
QString Arquivo(const QString &nome, const QString &extensao)
{
    QDir pasta(QCoreApplication::applicationDirPath());
    pasta.cdUp();
    pasta.mkpath(QStringLiteral("capturas"));
    return pasta.filePath(QStringLiteral("capturas/%1.%2").arg(DoMotor(nome), extensao));
}

// The text of pages `primeira` to `ultima` of a PDF (0: to the end), as pdftotext lays it out.
QString TextoPDF(const QString &pdf, int primeira = 1, int ultima = 0)
{
    QProcess p;
    QStringList args{"-layout", "-f", QString::number(primeira)};
    if (ultima > 0)
        args << "-l" << QString::number(ultima);
    p.start("pdftotext", args << pdf << "-");
    if (!p.waitForFinished(20000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext (poppler-utils) falhou: " << p.readAllStandardError().toStdString();
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PaginasPDF(const QString &pdf)
{
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished(20000);
    for (const QString &l : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (l.startsWith("Pages:"))
            return l.mid(6).trimmed().toInt();
    return -1;
}

class QtRelatorioBanco : public BancoPlanoGrupos {
protected:
    TnInteracaoTeste FUsuario;
};
} // namespace

TEST_F(QtRelatorioBanco, SaldoPorGrupoDaJanelaDoProcessoAoPDF)
{
    Grupo(1, 1, "1", 1, "Ativo Circulante");
    Grupo(1, 2, "1.01", 1, "Estoques");
    // Enough groups for more than one page.
    for (int i = 1; i <= 70; ++i) {
        Grupo(1, 100 + i, QString("1.01.%1").arg(i, 3, 10, QChar('0')), 2, QString("Mercadorias da linha %1").arg(i));
        Lancamento(1, 1, i, 100 + i, i, 1000.125);
    }
    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDMNovo("TOrvoDPGerarSaldoInv"));
    ASSERT_NE(dp, nullptr);
    auto *form = new TnFrmProcesso(dp);
    form->show();
    QApplication::processEvents();
    QAction *relatorio = form->findChild<QAction *>("actRelatorio");
    ASSERT_NE(relatorio, nullptr);
    EXPECT_TRUE(relatorio->isVisible());
    EXPECT_FALSE(relatorio->isEnabled()); // nothing run yet
    form->Editor("pCodigoEmpresa")->SetTexto("1");
    form->Editor("pDataInicial")->SetTexto("31/01/2024");
    ASSERT_TRUE(form->Executar()) << FUsuario.Avisos.join('\n').toStdString();
    EXPECT_TRUE(relatorio->isEnabled());
    teste::Capturar(form, DoMotor("relatorio_saldo_processo"));

    // The report window opens on the first page; its picture and the PDF it saves.
    const QString pdf = Arquivo("relatorio_saldo_grupos", "pdf");
    QFile::remove(pdf);
    int paginas = 0;
    teste::QuandoModal([&](QWidget *w) {
        auto *janela = qobject_cast<TnFrmRelatorio *>(w);
        if (janela) {
            paginas = janela->Paginas();
            QApplication::processEvents();
            teste::Capturar(janela, DoMotor("relatorio_saldo_janela"));
            EXPECT_TRUE(janela->SalvarPDF(pdf));
            janela->IrParaPagina(2);
            EXPECT_EQ(janela->Pagina(), 2);
        }
        w->close();
    });
    relatorio->trigger();
    ASSERT_EQ(paginas, 2);
    EXPECT_EQ(PaginasPDF(pdf), 2);
    ImagemPaginaRelatorio(dp->Relatorio(), 1, 110).save(Arquivo("relatorio_saldo_pagina1", "png"));

    const QString pagina1 = TextoPDF(pdf, 1, 1), pagina2 = TextoPDF(pdf, 2, 2);
    for (const QString &p : {pagina1, pagina2}) {
        EXPECT_TRUE(p.contains("Saldo anterior e movimentação")) << p.toStdString();
        EXPECT_TRUE(p.contains("Empresa: 1 - Empresa Exemplo"));
        EXPECT_TRUE(p.contains("Data Inicial: 31/01/2024"));
        EXPECT_TRUE(p.contains("Classificação")); // the captions on every page
    }
    EXPECT_TRUE(pagina1.contains("Página 1 de 2"));
    EXPECT_TRUE(pagina2.contains("Página 2 de 2"));
    EXPECT_TRUE(pagina1.contains("Empresa 1 - Empresa Exemplo / Estabelecimento 1 - Estabelecimento Exemplo"));
    // 1.01.001: 1 x 1000.125 = 1.000,13; the chart's total: 2485 x 1000.125 with each entry rounded.
    EXPECT_TRUE(pagina1.contains("Mercadorias da linha 1 ")) << pagina1.toStdString();
    EXPECT_TRUE(pagina1.contains("1.000,13"));
    EXPECT_TRUE(pagina2.contains("Mercadorias da linha 70"));
    EXPECT_TRUE(pagina2.contains("Total do Estabelecimento"));
    double total = 0;
    for (int i = 1; i <= 70; ++i)
        total += RoundValor(i * 1000.125, 2);
    EXPECT_TRUE(pagina2.contains(FormatFloat("#,##0.00", total))) << FormatFloat("#,##0.00", total).toStdString();
    EXPECT_TRUE(pagina1.contains(FormatFloat("#,##0.00", total))); // the synthetic groups at the top
    delete form;
}

TEST_F(QtRelatorioBanco, RelacaoDosLancamentosDaJanelaDoCadastro)
{
    Lancamento(1, 1, 7, 0, 2, 2.675);
    Lancamento(1, 1, 5, 0, 1.5, 10);
    auto *lcto = qobject_cast<TnDMClientDataSet *>(CriarDMNovo("TOrvoDMLctoInv"));
    ASSERT_NE(lcto, nullptr);
    auto *form = new TnFrmCadastro(lcto);
    form->show();
    QApplication::processEvents();
    QAction *relatorios = form->findChild<QAction *>("actRelatorios");
    ASSERT_NE(relatorios, nullptr);
    ASSERT_NE(relatorios->menu(), nullptr);
    QAction *relacao = relatorios->menu()->findChild<QAction *>("OrvoRRRelacao");
    ASSERT_NE(relacao, nullptr);
    EXPECT_EQ(relacao->text(), "Relação dos Lançamentos do Inventário");
    teste::Capturar(form, DoMotor("relatorio_cadastro"));

    const QString pdf = Arquivo("relatorio_relacao_lancamentos", "pdf");
    QFile::remove(pdf);
    teste::QuandoModal([&](QWidget *w) {
        if (auto *janela = qobject_cast<TnFrmRelatorio *>(w)) {
            QApplication::processEvents();
            EXPECT_TRUE(janela->SalvoEm().isEmpty());
            EXPECT_TRUE(janela->SalvarPDF(pdf));
            // The window says where the file went.
            EXPECT_EQ(janela->SalvoEm(), "PDF salvo em " + QDir::toNativeSeparators(QFileInfo(pdf).absoluteFilePath()));
            QApplication::processEvents();
            teste::Capturar(janela, DoMotor("relatorio_relacao_janela"));
        }
        w->close();
    });
    relacao->trigger();
    EXPECT_EQ(PaginasPDF(pdf), 1);
    const QString texto = TextoPDF(pdf);
    for (const char *t : {"Relação dos Lançamentos do Inventário", "Empresa: 1 - Empresa Exemplo",
                          "Estabelecimento: 1 - Estabelecimento Exemplo", "Data Inventário: 31/01/2024", "Custo Total",
                          "Produto número 5", "Produto número 7", "No final no período", "15,00", "5,35", "Total Geral",
                          "20,35", "Página 1 de 1"})
        EXPECT_TRUE(texto.contains(QString::fromUtf8(t))) << t << "\n" << texto.toStdString();
    delete form;

    // A file that cannot be written is reported, not taken as saved.
    TnFrmRelatorio janela(TnRelatorio{.Titulo = "Vazio"});
    EXPECT_EQ(janela.Paginas(), 1);
    EXPECT_FALSE(janela.SalvarPDF("/nao/existe/relatorio.pdf"));
    EXPECT_TRUE(janela.SalvoEm().isEmpty());
    EXPECT_EQ(FUsuario.Avisos.size(), 1);
}

// The report window fits the screen it opens on, and "Salvar PDF" proposes the report's
// title, made a valid file name, in the user's own folder.
TEST(RelatorioJanela, CabeNaTelaENomeDoPDF)
{
    TnFrmRelatorio janela(TnRelatorio{.Titulo = "Entradas 01/2024"});
    const QSize tela = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_LE(janela.width(), tela.width());
    EXPECT_LE(janela.height(), tela.height());

    EXPECT_EQ(NomeArquivoPDF("Entradas 01/2024"), "Entradas 01-2024.pdf");
    EXPECT_EQ(NomeArquivoPDF("  A: \"B\" <c>|d?*\\  "), "A- -B- -c--d---.pdf");
    EXPECT_EQ(NomeArquivoPDF(""), "Relatório.pdf");
    const QDir pasta = PastaPDF();
    EXPECT_TRUE(pasta.exists());
    EXPECT_NE(pasta.absolutePath(), QDir::current().absolutePath());
}
