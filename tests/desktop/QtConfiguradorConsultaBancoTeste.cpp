// The custom-query designer's window driven from the keyboard: a table added from the
// navigation bar, fields ticked and captioned, the preview, "Mostrar SQL", the save, and
// the saved query run from its menu action in the process window.
#include "BancoConsultaPersonalizada.h"
#include "ConfiguradorConsulta.h"
#include "QtConfiguradorConsulta.h"
#include "QtEditores.h"
#include "QtInteracao.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

class QtConfiguradorConsultaBanco : public BancoConsultaPersonalizada {
protected:
    void SetUp() override
    {
        BancoConsultaPersonalizada::SetUp();
        if (IsSkipped())
            return;
        InserirProdutos("Parafuso sextavado", 2);
        const QVariantList lctos[] = {{1, 1, 29.7, 186.05}, {1, 2, 3, 1.005}, {2, 1, 7, 1.5}};
        for (const QVariantList &l : lctos)
            con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                           "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                           "values (1, ?, '2024-03-01', ?, 1, ?, ?, '2024-04-01 08:00:00', 1, 2)",
                           l);
        DefinirInteracao(&FQt);
    }
    void TearDown() override
    {
        DefinirInteracao(nullptr);
        BancoConsultaPersonalizada::TearDown();
    }
    // The row of a field in the field table.
    static int Linha(QTableWidget *t, const QString &campo)
    {
        for (int r = 0; r < t->rowCount(); ++r)
            if (t->item(r, 0)->data(Qt::UserRole).toString() == campo)
                return r;
        return -1;
    }
    // The column captioned `caption`; -1 when none.
    static int Coluna(QAbstractItemModel *m, const QString &caption)
    {
        for (int c = 0; c < m->columnCount(); ++c)
            if (m->headerData(c, Qt::Horizontal).toString() == caption)
                return c;
        return -1;
    }
    // Ticks a check cell with the space bar, as the user does.
    static void Marcar(QTableWidget *t, int linha, int coluna)
    {
        t->setFocus();
        t->setCurrentCell(linha, coluna);
        QTest::keyClick(t, Qt::Key_Space);
    }
    TnInteracaoQt FQt;
};

} // namespace

TEST_F(QtConfiguradorConsultaBanco, ConsultaDesenhadaPeloTecladoSalvaERodada)
{
    auto *dm = qobject_cast<TnDPConfiguradorConsultaPersonalizada *>(CriarDM("TOrvoDPConfiguradorConsultaPersonalizada"));
    ASSERT_NE(dm, nullptr);
    auto *f = qobject_cast<TnFrmConfiguradorConsulta *>(CriarFormModulo(dm, nullptr));
    ASSERT_NE(f, nullptr);
    QPointer<TnFrmConfiguradorConsulta> vivo(f);
    const auto fechar = qScopeGuard([vivo] {
        if (vivo) {
            teste::QuandoModal([](QWidget *w) { teste::Clicar(w, QStringLiteral("Sim")); });
            vivo->close();
        }
        QApplication::processEvents();
    });
    f->resize(1180, 700);
    f->show();
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Gerador de Consultas"));

    // The navigation bar: the groups with their tables; Enter adds the current one.
    QTreeWidget *nav = f->NavBar();
    ASSERT_GE(nav->topLevelItemCount(), 2);
    EXPECT_EQ(nav->topLevelItem(0)->text(0), QStringLiteral("Lancamentos"));
    EXPECT_EQ(nav->topLevelItem(1)->text(0), QStringLiteral("Cadastros"));
    EXPECT_EQ(nav->currentItem()->text(0), QStringLiteral("Lançamentos do Inventário"));
    EXPECT_TRUE(nav->hasFocus());
    QTest::keyClick(nav, Qt::Key_Return);
    ASSERT_EQ(f->TabelasEscolhidas()->count(), 1);
    EXPECT_EQ(f->TabelasEscolhidas()->item(0)->text(), QStringLiteral("T1 - Lançamentos do Inventário"));
    // The products, by the arrow keys and Enter: joined on their key at once.
    nav->setFocus();
    nav->setCurrentItem(nav->topLevelItem(1)->child(0));
    QTest::keyClick(nav, Qt::Key_Return);
    ASSERT_EQ(f->TabelasEscolhidas()->count(), 2);
    EXPECT_EQ(f->ListaJuncoes()->count(), 2);

    // Fields of the entries: branch shown, total cost summed and captioned, branch filtered.
    f->TabelasEscolhidas()->setCurrentRow(0);
    QTableWidget *campos = f->TabelaCampos();
    const int estab = Linha(campos, "CODIGOESTAB"), custo = Linha(campos, "CUSTOTOTAL");
    ASSERT_GE(estab, 0);
    ASSERT_EQ(custo, campos->rowCount() - 1);
    EXPECT_EQ(campos->item(custo, TnFrmConfiguradorConsulta::ccCampo)->text(), QStringLiteral("Custo Total"));
    Marcar(campos, estab, TnFrmConfiguradorConsulta::ccMostrar);
    Marcar(campos, estab, TnFrmConfiguradorConsulta::ccFiltrar);
    Marcar(campos, custo, TnFrmConfiguradorConsulta::ccSomar);
    EXPECT_EQ(dm->Campo("T1", "CODIGOESTAB").Mostrar, true);
    EXPECT_EQ(dm->Campo("T1", "CODIGOESTAB").Filtrar, true);
    EXPECT_EQ(dm->Campo("T1", "CUSTOTOTAL").Total, ntcSoma);
    EXPECT_EQ(campos->item(estab, TnFrmConfiguradorConsulta::ccOperador)->text(), QStringLiteral("Lista"));
    // The operator is picked in its list: F2, the arrows, Enter.
    const auto operador = [&](int linha, int passos, int opcoes) {
        campos->setFocus();
        campos->setCurrentCell(linha, TnFrmConfiguradorConsulta::ccOperador);
        QTest::keyClick(campos, Qt::Key_F2);
        auto *lista = qobject_cast<QComboBox *>(QApplication::focusWidget());
        ASSERT_NE(lista, nullptr);
        EXPECT_EQ(lista->count(), opcoes);
        for (int i = 0; i < std::abs(passos); ++i)
            QTest::keyClick(lista, passos < 0 ? Qt::Key_Up : Qt::Key_Down);
        QTest::keyClick(lista, Qt::Key_Return);
        QTest::qWait(20); // the view takes the choice, then the table is shown again
    };
    operador(estab, -2, 4); // Lista -> Igual
    EXPECT_EQ(dm->Campo("T1", "CODIGOESTAB").Operador, nofIgual);
    Marcar(campos, custo, TnFrmConfiguradorConsulta::ccFiltrar);
    operador(custo, -1, 2); // a computed field: equal or range only
    EXPECT_EQ(dm->Campo("T1", "CUSTOTOTAL").Operador, nofIgual);
    Marcar(campos, custo, TnFrmConfiguradorConsulta::ccFiltrar);
    EXPECT_FALSE(dm->Campo("T1", "CUSTOTOTAL").Filtrar);
    // A text field cannot be summed: its cell is not offered.
    f->TabelasEscolhidas()->setCurrentRow(1);
    const int descricao = Linha(campos, "DESCRPRODUTO");
    ASSERT_GE(descricao, 0);
    EXPECT_FALSE(campos->item(descricao, TnFrmConfiguradorConsulta::ccSomar)->flags() & Qt::ItemIsEnabled);
    Marcar(campos, descricao, TnFrmConfiguradorConsulta::ccMostrar);
    f->TabelasEscolhidas()->setCurrentRow(0);
    // The caption: F2, type, Enter.
    campos->setFocus();
    campos->setCurrentCell(custo, TnFrmConfiguradorConsulta::ccTitulo);
    QTest::keyClick(campos, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("Custo do estoque"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the view takes the typed text after the key
    EXPECT_EQ(dm->Campo("T1", "CUSTOTOTAL").Caption, QStringLiteral("Custo do estoque"));
    EXPECT_TRUE(f->windowTitle().endsWith(" *"));
    EXPECT_EQ(f->GradePrevia(), nullptr); // the module previews only on demand
    teste::Capturar(f, "configurador_consulta_campos");
    f->Abas()->setCurrentIndex(1);
    teste::Capturar(f, "configurador_consulta_juncoes");
    // The order: the shown fields without a total are offered; Tab to the button and the
    // space bar add the one chosen.
    f->Abas()->setCurrentIndex(2);
    auto *ordemCampo = f->findChild<QComboBox *>("cbOrdemCampo");
    ASSERT_NE(ordemCampo, nullptr);
    ASSERT_EQ(ordemCampo->count(), 2); // branch and description; the summed cost orders nothing
    ordemCampo->setFocus();
    QTest::keyClick(ordemCampo, Qt::Key_Down);
    EXPECT_EQ(ordemCampo->currentIndex(), 1);
    QTest::keyClick(ordemCampo, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("btAdicionarOrdem"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_EQ(f->ListaOrdem()->count(), 1);
    EXPECT_EQ(f->ListaOrdem()->item(0)->text(), QStringLiteral("T2 - Descrição"));
    EXPECT_EQ(ordemCampo->count(), 1);
    teste::Capturar(f, "configurador_consulta_ordem");

    // F5, even while a caption is still being typed (it is taken first): the first rows,
    // exact to the cent.
    f->Abas()->setCurrentIndex(0);
    campos->setFocus();
    campos->setCurrentCell(estab, TnFrmConfiguradorConsulta::ccTitulo);
    QTest::keyClick(campos, Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Filial"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    QApplication::processEvents();
    EXPECT_EQ(dm->Campo("T1", "CODIGOESTAB").Caption, QStringLiteral("Filial"));
    ASSERT_NE(f->GradePrevia(), nullptr);
    QAbstractItemModel *m = f->GradePrevia()->model();
    ASSERT_EQ(m->rowCount(), 3);
    const int colCusto = Coluna(m, QStringLiteral("Custo do estoque"));
    ASSERT_GE(colCusto, 0);
    EXPECT_EQ(f->Abas()->currentIndex(), 3);
    QStringList custos;
    for (int r = 0; r < 3; ++r)
        custos << m->data(m->index(r, colCusto)).toString();
    custos.sort();
    EXPECT_EQ(custos, QStringList({"10,50", "3,02", "5.525,69"}));
    teste::Capturar(f, "configurador_consulta");

    // "Mostrar SQL" (F9): the statement in a window of its own.
    QString sql;
    QString capturaSQL;
    teste::QuandoModal([&](QWidget *w) {
        if (auto *t = w->findChild<QPlainTextEdit *>("edSQL"))
            sql = t->toPlainText();
        capturaSQL = teste::Capturar(w, "configurador_consulta_sql");
        teste::Clicar(w, QStringLiteral("&Fechar"));
    });
    QTest::keyClick(f, Qt::Key_F9);
    EXPECT_TRUE(sql.startsWith("select T1.CODIGOESTAB as CODIGOESTAB")) << sql.toStdString();
    EXPECT_TRUE(sql.contains("group by")) << sql.toStdString();

    // Ctrl+S: the name, then the notice.
    QString aviso;
    teste::QuandoModal([&](QWidget *w) {
        auto *caixa = qobject_cast<QInputDialog *>(w);
        ASSERT_NE(caixa, nullptr) << w->metaObject()->className() << " "
                                  << (qobject_cast<QMessageBox *>(w) ? qobject_cast<QMessageBox *>(w)->text().toStdString() : "");
        caixa->setTextValue(QStringLiteral("Custo por filial e produto"));
        teste::QuandoModal([&](QWidget *m2) {
            if (auto *caixaAviso = qobject_cast<QMessageBox *>(m2)) {
                aviso = caixaAviso->text();
                caixaAviso->accept();
            }
        });
        caixa->accept();
    });
    f->activateWindow(); // back from the statement's window
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    QTest::keyClick(f, Qt::Key_S, Qt::ControlModifier);
    ASSERT_GT(dm->Codigo(), 0);
    EXPECT_FALSE(dm->Alterada());
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Gerador de Consultas - Custo por filial e produto"));
    EXPECT_TRUE(aviso.contains("salva")) << aviso.toStdString();

    // The saved query is a menu action; run in the process window with branch 1.
    TnActionList acoes;
    acoes.GerarPrincAction([](TnAction *) {}, Modulos({3}));
    TnAction *acao = acoes.Acao(QStringLiteral("actConsultaPersonalizada%1").arg(dm->Codigo()));
    ASSERT_NE(acao, nullptr);
    EXPECT_EQ(acao->Caption(), QStringLiteral("Custo por filial e produto"));
    auto *dp = qobject_cast<TnDMPowerParamGrid *>(CriarDM(acao->NomeClasse(), acao));
    ASSERT_NE(dp, nullptr);
    auto *p = new TnFrmProcesso(dp);
    const auto fecharProcesso = qScopeGuard([p] {
        p->close();
        QApplication::processEvents();
    });
    p->resize(820, 460);
    p->show();
    p->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(p));
    p->Editor("pFiltro1")->SetTexto("1");
    ASSERT_TRUE(p->Executar());
    QAbstractItemModel *r = p->Grade()->model();
    ASSERT_EQ(r->rowCount(), 2);
    const int colExec = Coluna(r, QStringLiteral("Custo do estoque"));
    ASSERT_GE(colExec, 0);
    QStringList executados{r->data(r->index(0, colExec)).toString(), r->data(r->index(1, colExec)).toString()};
    executados.sort();
    EXPECT_EQ(executados, QStringList({"3,02", "5.525,69"}));
    teste::Capturar(p, "configurador_consulta_execucao");
}
