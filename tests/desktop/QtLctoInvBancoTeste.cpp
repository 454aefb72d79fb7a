// The inventory entry register on the desktop (offscreen): one entry typed through the real
// register page, its product created from the panel under the product code.
#include "Bibliotecas.h"
#include "InteracaoTeste.h"
#include "LctoInvTeste.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtForms.h"
#include "QtTeste.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QLabel>
#include <QPointer>
#include <QScopeGuard>
#include <QTabWidget>
#include <QtTest/QTest>

namespace {

class LctoInvQtBanco : public BancoLctoInv {
protected:
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        Referencia(true);
        con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, APELIDOGRUPOPRODUTO) "
                       "values (1, 3, 'FERRAGEM')");
        FForm = qobject_cast<TnFrmCadastro *>(CriarFormModulo(CriarDM(QStringLiteral("TOrvoDMLctoInv")), nullptr));
        ASSERT_NE(FForm, nullptr);
        FForm->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        if (FForm)
            delete FForm.data();
        BancoLctoInv::TearDown();
    }
    TnEditor *Editor(const QString &nome) { return FForm->Painel()->Editor(nome); }
    // Types into a control and leaves it, as the user does with Tab.
    void Digitar(const QString &nome, const QString &texto) { teste::Digitar(FForm->Painel(), nome, texto); }
    QPointer<TnFrmCadastro> FForm;
    TnInteracaoTeste FUsuario;
};

} // namespace

TEST_F(LctoInvQtBanco, DigitarUmLancamentoComProdutoNovo)
{
    TnPainelCadastro *p = FForm->Painel();
    EXPECT_EQ(FForm->windowTitle(), QString::fromUtf8("Lançamentos do Inventário"));
    EXPECT_TRUE(FForm->Inserindo()); // an empty register starts a new entry
    ASSERT_NE(Editor("pDescrProduto"), nullptr);
    ASSERT_NE(Editor("edValorTotal"), nullptr);

    // The company identifies products by reference: a reference nobody has is refused, the
    // code stays empty, and leaving it empty proposes the next free code and opens the panel.
    con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) "
                   "values (1, 899, 'R-899', 'Antigo')");
    Digitar("CODIGOPRODUTO", "R-900");
    EXPECT_EQ(FUsuario.Avisos, QStringList({QString::fromUtf8("Não foi possível encontrar a referência do produto!")}));
    FUsuario.Avisos.clear();
    EXPECT_EQ(Editor("CODIGOPRODUTO")->Texto(), "900");
    EXPECT_TRUE(Editor("pDescrProduto")->Habilitado());
    Digitar("pReferenProduto", "R-900");
    Digitar("pCodigoGrupoProduto", "ferragem"); // the group's alias becomes its code
    EXPECT_EQ(Editor("pCodigoGrupoProduto")->Texto(), "3");
    Digitar("pDescrProduto", "Produto novo");
    Digitar("pUnidadeMedida", "UN");

    Editor("MOTIVOINVENTARIO")->SetTexto(QString::fromUtf8("No final no período"));
    emit Editor("MOTIVOINVENTARIO")->Editado();
    Digitar("QTDEESTOQUE", "-2"); // no sign can be typed
    Digitar("PRECOUNIT", "3,5");
    EXPECT_EQ(Editor("edValorTotal")->Texto(), "7,00");
    // The company does not detail ICMS: no rate to type, and VALORICMS saved as 0.
    EXPECT_FALSE(Editor("edValorAliquota")->Habilitado());
    EXPECT_FALSE(Editor("VALORICMS")->Habilitado());
    teste::Capturar(FForm, "lancamento_inventario");
    p->Paginas()->setCurrentIndex(0);
    teste::Capturar(FForm, "lancamento_produto");

    p->Botao(brGravar)->trigger();
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_FALSE(FForm->Inserindo());
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 900 and MOTIVOINVENTARIO = 1 and QTDEESTOQUE = 2 and "
                                "PRECOUNIT = 3.5 and ORIGEMDADO = 2 and VALORICMS = 0"), 1);
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 900 and REFERENPRODUTO = 'R-900' and CODIGOGRUPOPRODUTO = 3 and "
                                "DESCRPRODUTO = 'Produto novo' and UNIDADEMEDIDA = 'UN'"), 1);
    // The stored entry's panel shows its product and is closed.
    EXPECT_EQ(Editor("pDescrProduto")->Texto(), "Produto novo");
    EXPECT_FALSE(Editor("pDescrProduto")->Habilitado());
}

// The keyboard of a register window, and a new entry's values copied from the previous one:
// tinted and named under the record until the user changes or leaves them, a number
// selected whole when the user enters it, so that typing replaces it.
TEST_F(LctoInvQtBanco, TecladoEValoresCopiados)
{
    for (const char *p : {"(1, 501, 'R-501', 'Prego')", "(1, 502, 'R-502', 'Martelo')"})
        con().Executar(QStringLiteral("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) "
                                      "values %1").arg(QString::fromLatin1(p)));
    TnPainelCadastro *p = FForm->Painel();
    FForm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FForm));
    EXPECT_EQ(p->Botao(brIncluir)->toolTip(), "Incluir (Insert ou Ctrl+N)");
    EXPECT_EQ(p->Botao(brGravar)->toolTip(), "Gravar (Ctrl+S ou F10)");
    EXPECT_EQ(p->Botao(brExcluir)->toolTip(), "Excluir (Ctrl+Del)");
    EXPECT_EQ(p->Botao(brCancelar)->toolTip(), "Cancelar (Esc)");
    const auto tecla = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QWidget *foco = QApplication::focusWidget();
        ASSERT_NE(foco, nullptr);
        QTest::keyClick(foco, k, m);
        QApplication::processEvents();
    };
    auto *qtde = qobject_cast<QLineEdit *>(Editor("QTDEESTOQUE")->Entrada());
    auto *custo = qobject_cast<QLineEdit *>(Editor("PRECOUNIT")->Entrada());
    ASSERT_NE(qtde, nullptr);
    ASSERT_NE(custo, nullptr);

    // The first entry copies nothing; Ctrl+S saves it.
    EXPECT_FALSE(p->AvisoCopia()->isVisibleTo(FForm));
    Digitar("CODIGOPRODUTO", "R-501");
    Editor("MOTIVOINVENTARIO")->SetTexto(QString::fromUtf8("No final no período"));
    emit Editor("MOTIVOINVENTARIO")->Editado();
    Digitar("QTDEESTOQUE", "20010,5");
    Digitar("PRECOUNIT", "3,5");
    custo->setFocus();
    tecla(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(FForm->Inserindo());
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 501 and QTDEESTOQUE = 20010.5"), 1);

    // Insert: a new entry with the quantity and cost of the previous one, marked.
    tecla(Qt::Key_Insert);
    ASSERT_TRUE(FForm->Inserindo());
    EXPECT_TRUE(Editor("QTDEESTOQUE")->Destacado());
    EXPECT_TRUE(Editor("PRECOUNIT")->Destacado());
    EXPECT_FALSE(Editor("CODIGOPRODUTO")->Destacado());
    EXPECT_TRUE(p->AvisoCopia()->isVisibleTo(FForm));
    EXPECT_EQ(p->AvisoCopia()->text(), QString::fromUtf8("Valores copiados do registro anterior: Quantidade e Custo "
                                                         "Unitário. Digite para substituir."));
    p->Paginas()->setCurrentWidget(qtde->parentWidget());
    teste::Capturar(FForm, "lancamento_copiado");

    // A click into the quantity selects it whole: "200" replaces it.
    QTest::mouseClick(qtde, Qt::LeftButton, {}, QPoint(qtde->width() / 2, qtde->height() / 2));
    QApplication::processEvents();
    ASSERT_TRUE(qtde->hasFocus());
    EXPECT_FALSE(qtde->text().isEmpty());
    EXPECT_EQ(qtde->selectedText(), qtde->text());
    QTest::keyClicks(qtde, "200");
    EXPECT_EQ(qtde->text(), "200");
    EXPECT_FALSE(Editor("QTDEESTOQUE")->Destacado());
    EXPECT_TRUE(Editor("PRECOUNIT")->Destacado());
    EXPECT_EQ(p->AvisoCopia()->text(),
              QString::fromUtf8("Valor copiado do registro anterior: Custo Unitário. Digite para substituir."));
    // Entering the cost by keyboard selects it whole too; leaving it takes the mark away.
    custo->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(custo->selectedText(), custo->text());
    Digitar("CODIGOPRODUTO", "R-502");
    Editor("MOTIVOINVENTARIO")->SetTexto(QString::fromUtf8("No final no período"));
    emit Editor("MOTIVOINVENTARIO")->Editado();
    EXPECT_FALSE(Editor("PRECOUNIT")->Destacado());
    EXPECT_FALSE(p->AvisoCopia()->isVisibleTo(FForm));

    // F10 saves, with the focus anywhere in the window.
    qtde->setFocus();
    tecla(Qt::Key_F10);
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_FALSE(FForm->Inserindo());
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 502 and QTDEESTOQUE = 200 and PRECOUNIT = 3.5"), 1);

    // Ctrl+Del deletes the current entry, also from inside a line.
    FUsuario.Responder(mbYes, QString::fromUtf8("Confirma a exclusão do registro?"));
    qtde->setFocus();
    tecla(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 502"), 0);
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 501"), 1);

    // Ctrl+N starts a new entry; Esc cancels it and leaves the window open; a second Esc,
    // with nothing being edited, closes it.
    qtde->setFocus();
    tecla(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(FForm->Inserindo());
    tecla(Qt::Key_Escape);
    EXPECT_FALSE(FForm->Inserindo());
    EXPECT_TRUE(FForm->isVisible());
    EXPECT_EQ(Linhas("LCTOINV"), 1);
    tecla(Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(FForm.isNull() || !FForm->isVisible());
}

// A delete the database refuses (a product its entries still use) leaves the register on
// that product.
TEST_F(LctoInvQtBanco, ExclusaoRecusadaFicaNoProduto)
{
    con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) values "
                   "(1, 1001, 'R-1001', 'Prego'), (1, 1002, 'R-1002', 'Martelo')");
    con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                   "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                   "values (1, 1, '2020-01-31', 1001, 1, 1, 1, '2020-02-01 08:00:00', 1, 2)");
    TnBibliotecas::Carregar("Ulmar");
    QPointer<TnFrmCadastro> produtos =
        qobject_cast<TnFrmCadastro *>(CriarFormModulo(CriarDM(QStringLiteral("TUlmarDMProduto")), nullptr));
    ASSERT_NE(produtos, nullptr);
    const auto fechar = qScopeGuard([&produtos] { delete produtos.data(); });
    produtos->show();
    QApplication::processEvents();
    TnPainelCadastro *p = produtos->Painel();
    TnClientDataSet &ds = p->Modulo()->nClientDataSet();
    ASSERT_TRUE(ds.Locate("CODIGOPRODUTO", 1001));
    FUsuario.Responder(mbYes, QString::fromUtf8("Confirma a exclusão do registro?"));
    p->Botao(brExcluir)->trigger();
    EXPECT_EQ(FUsuario.Avisos,
              QStringList({QString::fromUtf8("Este registro não pode ser excluído: ainda é usado por outros registros.")}));
    EXPECT_EQ(p->Editor("CODIGOPRODUTO")->Texto(), "1001");
    EXPECT_EQ(p->Editor("DESCRPRODUTO")->Texto(), "Prego");
    EXPECT_EQ(ds.FieldByName("CODIGOPRODUTO").AsInteger(), 1001);
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOPRODUTO = 1001"), 1);
    teste::Capturar(produtos, "produto_exclusao_recusada");
}
