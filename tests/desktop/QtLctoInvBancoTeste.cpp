// The inventory entry register on the desktop (offscreen): one entry typed through the real
// register page, its product created from the panel under the product code.
#include "InteracaoTeste.h"
#include "LctoInvTeste.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtForms.h"
#include "QtTeste.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>

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
