// The web-service reception's form as the program shows it: its parameters as controls, a
// run against the local server, and the report tree with the summary.
#include "BancoOrvo.h"
#include "ConfigPrograma.h"
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "QtEditores.h"
#include "QtProcesso.h"
#include "QtTeste.h"
#include "ServidorHTTPTeste.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

TEST_F(BancoOrvo, ReceberInventarioNoFormulario)
{
    TnBibliotecas::Carregar("Ulmar");
    TnBibliotecas::Carregar("OrvoCore");
    con().Executar("update ESTAB set INSCRFEDERAL = '12.345.678/0001-90' where CODIGOEMPRESA = 1");
    con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                   "TIPOGRUPOPRODUTO, DESCRGRUPOPRODUTO) values (1, 5, '1.1', 2, 'Mercadorias')");
    SelecionarData(QDate(2024, 3, 1));
    TnServidorHTTPTeste servidor;
    servidor.ResponderSempre({.Corpo = R"({"d":"[{\"CODIGO\":\"A1\",\"DESCRICAO\":\"Açúcar\",\"QUANTIDADE\":2,)"
                                       R"(\"CUSTO_UNITARIO\":3.5},{\"CODIGO\":\"\",\"QUANTIDADE\":1}]"})"});
    QTemporaryDir dir;
    const QString ini = dir.filePath("banco.ini");
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue("IntegracaoInventario/Servidor", "127.0.0.1");
        s.setValue("IntegracaoInventario/Porta", servidor.Porta());
        s.setValue("IntegracaoInventario/Token", "teste");
    }
    TnConfigPrograma::DefinirArquivo(ini);
    TnPreferenciasUsuario::DefinirPasta(dir.path());
    TnInteracaoTeste usuario;

    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM("TOrvoDPReceberLancamentosInventario"));
    ASSERT_NE(dp, nullptr);
    QPointer<TnFrmProcesso> f = new TnFrmProcesso(dp);
    f->show();
    QApplication::processEvents();
    EXPECT_EQ(f->windowTitle(), QString::fromUtf8("Integração Inventário Pequenas Empresas"));
    EXPECT_EQ(f->Editor("pCompetencia")->Texto(), "03/2024"); // the selected period
    EXPECT_EQ(f->Editor("pTipoProcessamento")->Texto(), QString::fromUtf8("Importar Somente Inventários não Importados"));
    EXPECT_EQ(f->Editor("pAtualizarCadastroProduto")->Texto(), QString::fromUtf8("Não"));
    // The branch is not among the process's selection keys: the user types it.
    EXPECT_EQ(f->Editor("pCodigoEstab")->Texto(), "");
    EXPECT_FALSE(f->Editor("pCodigoEmpresa")->Widget()->isVisibleTo(f));
    teste::Digitar(f->Editor("pCodigoEstab")->Entrada(), "1");
    teste::Digitar(f->Editor("pCodigoGrupoProduto")->Entrada(), "5");
    teste::Capturar(f, "receber_inventario");

    EXPECT_TRUE(f->Executar()) << usuario.Avisos.join('\n').toStdString();
    EXPECT_EQ(Linhas("LCTOINV", "DATAINVENT = '2024-03-01'"), 1);
    auto *arvore = f->findChild<QTreeWidget *>();
    ASSERT_NE(arvore, nullptr);
    arvore->expandAll();
    QStringList linhas;
    for (QTreeWidgetItemIterator it(arvore); *it; ++it)
        linhas << (*it)->text(0);
    EXPECT_TRUE(linhas.contains(QString::fromUtf8("Integração Concluída"))) << linhas.join('\n').toStdString();
    EXPECT_TRUE(linhas.contains(QString::fromUtf8("Quantidade de Inventários Importados: 1")));
    EXPECT_TRUE(linhas.contains(QString::fromUtf8("Item 2 do retorno ignorado: sem CODIGO.")));
    teste::Capturar(f, "receber_inventario_concluido");
    f->close();
    QApplication::processEvents();
    TnConfigPrograma::DefinirArquivo(QString());
    TnPreferenciasUsuario::DefinirPasta(QString());
}
