// The consultation of inventory entries in its window: the run with its status panel, the
// result grid's sorting and search, and the entry register opened modally from a row by the
// double-click, Enter, the popup item, the tool button and Ctrl+Enter.
#include "Bibliotecas.h"
#include "LctoInvTeste.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtGrade.h"
#include "QtInteracao.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScopeGuard>
#include <QToolBar>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

class QtConsultaLancamentosBanco : public BancoLctoInv {
protected:
    QDate DataInventario() const override { return QDate(2024, 3, 1); }
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial 2')");
        con().Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 3, QTDECASADECIMALQTD = 0 where CODIGOEMPRESA = 1");
        con().Executar("delete from CFGEMPRESAULMAR where CODIGOEMPRESA = 1");
        con().Executar("insert into CFGEMPRESAULMAR (CODIGOEMPRESA, USAREFERENCIAPROD, LIVROMODELO7) values (1, '1', '1')");
        const char *produtos[][3] = {{"10", "Parafuso sextavado de aço inoxidável M8 x 40", "PAR-M8"},
                                     {"20", "Arruela lisa", "ARR-08"},
                                     {"30", "Porca sextavada", "POR-M8"}};
        for (const auto &p : produtos)
            con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO, REFERENPRODUTO) "
                           "values (1, ?, ?, ?)",
                           {QString::fromLatin1(p[0]), QString::fromUtf8(p[1]), QString::fromLatin1(p[2])});
        const QVariantList lctos[] = {{1, "2024-03-01", 10, 1, 120.4, 1.2345, "CONTAGEM GERAL"},
                                      {1, "2024-03-01", 20, 1, 3000, 0.05, QVariant()},
                                      {2, "2024-03-01", 10, 1, 7, 1.5, "avaria no depósito"},
                                      {2, "2024-03-01", 10, 2, 2, 1.5, QVariant()},
                                      {2, "2024-03-01", 30, 1, 15, 0.8, QVariant()}};
        for (const QVariantList &l : lctos)
            con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                           "QTDEESTOQUE, PRECOUNIT, OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                           "values (1, ?, ?, ?, ?, ?, ?, ?, '2024-04-01 08:00:00', 1, 2)",
                           l);
        DefinirInteracao(&FQt);
    }
    void TearDown() override
    {
        if (FJanela) {
            FJanela->close();
            QApplication::processEvents();
        }
        DefinirInteracao(nullptr);
        BancoLctoInv::TearDown();
    }
    // The consultation's window, closed at the end of the case.
    TnFrmProcesso *AbrirJanela()
    {
        auto *f = new TnFrmProcesso(qobject_cast<TnDMPowerParamGrid *>(CriarDM("TOrvoDPConsultaLctoInv")));
        f->setAttribute(Qt::WA_DeleteOnClose);
        FJanela = f;
        return f;
    }
    TnInteracaoQt FQt;
    QPointer<TnFrmProcesso> FJanela;
};

} // namespace

TEST_F(QtConsultaLancamentosBanco, GradeAbreOCadastroPorTodosOsCaminhos)
{
    TnFrmProcesso *f = AbrirJanela();
    auto *dp = qobject_cast<TnDMPowerParamGrid *>(f->Modulo());
    ASSERT_NE(dp, nullptr);
    f->resize(1000, 620);
    f->show();
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    // The selection's branch and period come filled in: the whole company instead.
    f->Editor("pCodigoEstab")->SetTexto(QString());
    f->Editor("pPeriodoInicial")->SetTexto(QString());
    f->Editor("pPeriodoFinal")->SetTexto(QString());
    ASSERT_TRUE(f->Executar());
    EXPECT_EQ(f->TextoPainel(0), QString::fromUtf8("Foram encontrados 5 lançamentos"));
    TnGradeDataSet *grade = f->Grade();
    ASSERT_NE(grade, nullptr);
    EXPECT_EQ(grade->model()->rowCount(), 5);
    EXPECT_EQ(grade->model()->data(grade->model()->index(0, 3)).toString(), "120");     // 0 quantity decimals
    EXPECT_EQ(grade->model()->data(grade->model()->index(0, 4)).toString(), "1,235");   // 3 cost decimals
    EXPECT_EQ(grade->model()->data(grade->model()->index(0, 5)).toString(), "148,630"); // cents shown with 3
    EXPECT_EQ(f->focusWidget(), grade); // the rows found take the focus
    teste::Capturar(f, "consulta_lancamentos");

    // Each way opens the register on the current row, modally, without a new-record action.
    QStringList abertos;
    const auto fecharCadastro = [&abertos](QWidget *w) {
        auto *cadastro = qobject_cast<TnFrmModulo *>(w);
        ASSERT_NE(cadastro, nullptr);
        abertos << cadastro->Modulo()->ClassName() + ":" + cadastro->Modulo()->Nome();
        if (abertos.size() == 1)
            teste::Capturar(w, "consulta_lancamentos_cadastro");
        EXPECT_TRUE(cadastro->AcaoDesligada(nafIncluir));
        w->close();
    };
    const QRect celula = grade->visualRect(grade->model()->index(2, 2));
    teste::QuandoModal(fecharCadastro);
    QTest::mouseClick(grade->viewport(), Qt::LeftButton, {}, celula.center());
    QTest::mouseDClick(grade->viewport(), Qt::LeftButton, {}, celula.center());
    ASSERT_EQ(abertos.size(), 1);
    EXPECT_EQ(abertos.last(), "TOrvoDMLctoInv:ConsultaLctoInv");

    teste::QuandoModal(fecharCadastro);
    teste::QuandoPopup([](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        ASSERT_NE(menu, nullptr);
        teste::Capturar(menu, "consulta_lancamentos_popup");
        QAction *item = menu->findChild<QAction *>("miCadastroLctoCtb");
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QString::fromUtf8("Cadastro de Lançamentos"));
        item->trigger();
        menu->close();
    });
    emit grade->customContextMenuRequested(celula.center());
    EXPECT_EQ(abertos.size(), 2);

    auto *botao = f->findChild<QAction *>("btnLctoCtb");
    ASSERT_NE(botao, nullptr);
    EXPECT_EQ(botao->toolTip(), QString::fromUtf8("Cadastro do Lançamentos"));
    EXPECT_FALSE(f->findChild<QToolBar *>()->widgetForAction(botao) == nullptr);
    teste::QuandoModal(fecharCadastro);
    botao->trigger();
    EXPECT_EQ(abertos.size(), 3);

    // The progress window took the activation away; the platform gives no window back by itself.
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    grade->setFocus();
    teste::QuandoModal(fecharCadastro);
    QTest::keyClick(grade, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(abertos.size(), 4);
    // Enter on a row does what the double-click does.
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    grade->setFocus();
    teste::QuandoModal(fecharCadastro);
    QTest::keyClick(grade, Qt::Key_Return);
    EXPECT_EQ(abertos.size(), 5);
    // The key is the module's: the run action gave it up.
    EXPECT_FALSE(f->AcaoForm(nafExecutar)->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Return)));
    // The grid keeps its rows and the selection its branch.
    EXPECT_EQ(grade->model()->rowCount(), 5);
    EXPECT_EQ(Selecao().GetParams("CodigoEstab").AsString(), "1");

    // A click on a caption sorts by that column; the search line finds the next row.
    grade->horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(dp->nClientDataSet().IndexFieldNames(), "DESCRPRODUTO");
    EXPECT_EQ(grade->model()->data(grade->model()->index(0, 2)).toString(), "Arruela lisa");
    QLineEdit *pesquisa = f->Pesquisa();
    ASSERT_NE(pesquisa, nullptr);
    grade->setCurrentIndex(grade->model()->index(0, 2));
    EXPECT_TRUE(f->PesquisarNaGrade("sextavada"));
    EXPECT_EQ(dp->nClientDataSet().FieldByName("CODIGOPRODUTO").AsInteger(), 30);
    EXPECT_FALSE(f->PesquisarNaGrade("nenhum produto assim"));
}

// The parameters as the user meets them: the user is picked in the users' consultation, a
// filter value refused is named by the parameter's caption, and a refused run leaves no count
// of the rows it did not find.
TEST_F(QtConsultaLancamentosBanco, ParametrosPesquisaDoUsuarioERecusas)
{
    TnBibliotecas::Carregar("Ulmar"); // the users' consultation
    TnFrmProcesso *f = AbrirJanela();
    f->show();
    QApplication::processEvents();
    f->Editor("pCodigoEstab")->SetTexto(QString());
    f->Editor("pPeriodoInicial")->SetTexto(QString());
    f->Editor("pPeriodoFinal")->SetTexto(QString());

    teste::QuandoModal([](QWidget *w) {
        auto *dlg = qobject_cast<TnDlgPesquisa *>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->Grade()->model()->index(0, 1).data().toString(), "ADMINISTRADOR");
        teste::Capturar(w, "consulta_lancamentos_usuarios");
        dlg->Grade()->setCurrentIndex(dlg->Grade()->model()->index(0, 0));
        teste::Clicar(w, "Ok");
    });
    emit f->Editor("pCodigoUsuario")->Pesquisar();
    EXPECT_EQ(f->Editor("pCodigoUsuario")->Texto(), "1");
    ASSERT_TRUE(f->Executar());
    EXPECT_EQ(f->TextoPainel(0), QString::fromUtf8("Foram encontrados 5 lançamentos"));

    QString mensagem;
    const auto lerMensagem = [&mensagem](QWidget *w) {
        if (auto *caixa = qobject_cast<QMessageBox *>(w))
            mensagem = caixa->text();
        w->close();
    };
    teste::QuandoModal(lerMensagem);
    f->Editor("pCodigoEstab")->SetTexto("abc");
    EXPECT_FALSE(f->Executar());
    EXPECT_TRUE(mensagem.contains(QString::fromUtf8("Valor \"abc\" inválido em \"Estabelecimento\""))) << mensagem.toStdString();
    EXPECT_FALSE(mensagem.contains("L.CODIGOESTAB")) << mensagem.toStdString();
    EXPECT_TRUE(f->TextoPainel(0).isEmpty()) << f->TextoPainel(0).toStdString();

    f->Editor("pCodigoEstab")->SetTexto(QString());
    ASSERT_TRUE(f->Executar());
    teste::QuandoModal(lerMensagem);
    f->Editor("pPeriodoInicial")->SetTexto("13/2024");
    EXPECT_FALSE(f->Executar());
    EXPECT_EQ(mensagem, QString::fromUtf8("Período inicial incorreto!"));
    EXPECT_TRUE(f->TextoPainel(0).isEmpty()) << f->TextoPainel(0).toStdString();
    teste::Capturar(f, "consulta_lancamentos_recusada");
}
