// The SYN import's form as the program shows it: no empty box where parameters would be, a
// run from its button, the report tree and the state panels of the status bar.
#include "BancoOrvo.h"
#include "ConfigPrograma.h"
#include "InteracaoTeste.h"
#include "QtProcesso.h"
#include "QtTeste.h"
#include "SynImportacao.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>

TEST_F(BancoOrvo, ImportacaoSynNoFormulario)
{
    TnBibliotecas::Carregar("OrvoCore");
    con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) "
                   "values (1, 10, 'P10', 'Dez')");
    QTemporaryDir dir;
    {
        QSettings s(dir.filePath("banco.ini"), QSettings::IniFormat);
        s.setValue("SYN/Pasta", dir.path());
    }
    TnConfigPrograma::DefinirArquivo(dir.filePath("banco.ini"));
    QFile f(TnSynDPImportacaoBase::Arquivo("LCTOINV", 1));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("501;1;01/03/2024;P10;1;2;3,5\n502;1;01/03/2024;SEM;1;1;1\n");
    f.close();
    TnInteracaoTeste usuario;

    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM("TOrvoDPImportacaoSyn"));
    ASSERT_NE(dp, nullptr);
    QPointer<TnFrmProcesso> form = new TnFrmProcesso(dp);
    form->show();
    QApplication::processEvents();
    // No parameter to show: no empty box of parameters.
    ASSERT_NE(form->findChild<QGroupBox *>(), nullptr);
    EXPECT_FALSE(form->findChild<QGroupBox *>()->isVisible());
    QStatusBar *barra = form->findChild<QStatusBar *>();
    ASSERT_NE(barra, nullptr);
    EXPECT_TRUE(form->Executar()) << usuario.Avisos.join('\n').toStdString();
    EXPECT_EQ(Linhas("LCTOINV", "IDSYN = 501"), 1);
    QStringList paineis;
    for (QLabel *l : barra->findChildren<QLabel *>())
        paineis << l->text();
    EXPECT_TRUE(paineis.contains("Importados: 1")) << paineis.join(" | ").toStdString();
    EXPECT_TRUE(paineis.contains("Recusados: 1")) << paineis.join(" | ").toStdString();
    auto *arvore = form->findChild<QTreeWidget *>();
    ASSERT_NE(arvore, nullptr);
    arvore->expandAll();
    teste::Capturar(form, "importacao_syn");
    form->close();
    QApplication::processEvents();
    TnConfigPrograma::DefinirArquivo(QString());
}
