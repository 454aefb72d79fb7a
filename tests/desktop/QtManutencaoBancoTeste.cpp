// Process windows of the maintenance and SINCO processes, as a user drives them: the rules
// between the parameters follow what is picked and typed, dates are picked from the
// inventory dates, and the run's result shows.
#include "InteracaoTeste.h"
#include "ProcessoInvTeste.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtGrade.h"
#include "QtInteracao.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

TEST_F(BancoProcessoInv, JanelaDaManutencaoDePropriedade)
{
    Produto(1, 10);
    Lcto(1, QDate(2024, 3, 31), 1, 1);
    Prop(1, QDate(2024, 3, 31), 1, 1, 1, 0);
    TnInteracaoTeste usuario;
    auto *dm = Processo("TOrvoDPManutencaoLctoProp");
    dm->Param("pCodigoEmpresa").SetValue(1);
    QPointer<TnFrmProcesso> f = new TnFrmProcesso(dm);
    f->show();
    QApplication::processEvents();
    EXPECT_EQ(f->windowTitle(), QString::fromUtf8("Manutenção Dados do Lançamento de Propriedade"));
    EXPECT_FALSE(f->Editor("pValorContaNova")->Widget()->isEnabled());

    auto *campos = qobject_cast<QComboBox *>(f->Editor("pAlterarCampos")->Entrada());
    ASSERT_NE(campos, nullptr);
    campos->setCurrentIndex(campos->findText(QString::fromUtf8("Conta Contábil")));
    emit campos->activated(campos->currentIndex());
    EXPECT_TRUE(f->Editor("pValorContaNova")->Widget()->isEnabled());
    EXPECT_FALSE(f->Editor("pValorIndNovo")->Widget()->isEnabled());

    teste::Digitar(f->Editor("pProduto")->Entrada(), "1");
    teste::Digitar(f->Editor("pCodigoGrupoProduto")->Entrada(), "10");
    emit qobject_cast<QLineEdit *>(f->Editor("pCodigoGrupoProduto")->Entrada())->editingFinished(); // left
    EXPECT_EQ(f->Editor("pProduto")->Texto(), QString());
    EXPECT_FALSE(f->Editor("pProduto")->Habilitado());

    teste::Digitar(f->Editor("pCodigoEstab")->Entrada(), "1");
    teste::Digitar(f->Editor("pValorContaNova")->Entrada(), "4455");
    QApplication::processEvents(); // the layout follows the captions that changed
    teste::Capturar(f, "manutencao_propriedade");
    EXPECT_TRUE(f->Executar());
    ASSERT_EQ(f->VisaoMensagens()->topLevelItemCount(), 1);
    EXPECT_EQ(f->VisaoMensagens()->topLevelItem(0)->text(0), "Foram alterados 1 registro(s).");
    EXPECT_EQ(Tabela("select CONTACTB from LCTOINVPROPRIEDADE"), QStringList({"4455"}));
    delete f.data();
}

TEST_F(BancoProcessoInv, JanelaDoArquivoSINCODeProdutos)
{
    Produto(1, 10);
    Lcto(1, QDate(2024, 1, 1), 1, 1);
    Lcto(1, QDate(2024, 2, 1), 1, 1);
    TnInteracaoTeste usuario;
    QPointer<TnFrmProcesso> f = new TnFrmProcesso(Processo("TOrvoDPArqModeloSINCOArtigo"));
    f->show();
    QApplication::processEvents();
    // All products: no period. The dates and the file have their search buttons.
    EXPECT_FALSE(f->Editor("pDataMovIni")->Widget()->isEnabled());
    EXPECT_EQ(f->Editor("pDataMovIni")->Tipo(), tePesquisa);
    EXPECT_EQ(f->Editor("pArqDestinoSINCOMovimento")->Tipo(), tePesquisa);
    auto *tipo = qobject_cast<QComboBox *>(f->Editor("pTipoArqModeloSINCOArtigo")->Entrada());
    tipo->setCurrentIndex(tipo->findText("Somente Produtos Movimentados"));
    emit tipo->activated(tipo->currentIndex());
    EXPECT_TRUE(f->Editor("pDataMovIni")->Widget()->isEnabled());

    // The second inventory date of the branch, picked in its consultation.
    teste::QuandoModal([](QWidget *w) {
        auto *dlg = qobject_cast<TnDlgPesquisa *>(w);
        ASSERT_NE(dlg, nullptr);
        dlg->Grade()->setCurrentIndex(dlg->Grade()->model()->index(1, 0));
        teste::Clicar(w, "Ok");
    });
    emit f->Editor("pDataMovIni")->Pesquisar();
    EXPECT_EQ(f->Editor("pDataMovIni")->Texto(), "01/02/2024");
    QApplication::processEvents();
    teste::Capturar(f, "sinco_produtos");
    delete f.data();
}
