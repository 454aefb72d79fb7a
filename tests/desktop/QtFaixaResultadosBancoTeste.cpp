// A register opened on a range of its selection chosen in the selection dialog, showing
// the product consultation's reference and description beside the product code on its
// page and in its grid.
#include "BancoOrvo.h"
#include "InteracaoTeste.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtGrade.h"
#include "QtPainelCadastro.h"
#include "QtSelecao.h"
#include "QtTeste.h"
#include "RegistroFaixaTeste.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class FaixaResultadosQtBanco : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (IsSkipped())
            return;
        TnBibliotecas::Carregar("Ulmar");
        ASSERT_TRUE(RegistrarClasse<teste::TTesteFaixaK200>("TTesteFaixaK200"));
        ASSERT_TRUE(RegistrarClasse<teste::TTesteFaixaK200Grade>("TTesteFaixaK200Grade"));
        teste::GravarProdutosFaixa(con());
        con().Executar("insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTO, "
                       "INDICADORESTOQUE, SEQ, QUANTIDADE) values (1, 1, '2024-01-31', 11, 0, 1, 1), "
                       "(1, 1, '2024-02-29', 10, 0, 1, 2.5), (1, 1, '2024-02-29', 11, 2, 1, 3), "
                       "(1, 1, '2024-02-29', 99, 0, 1, 4)");
    }
    void TearDown() override
    {
        for (const QPointer<TnFrmCadastro> &f : FForms)
            delete f.data();
        BancoOrvo::TearDown();
    }
    TnFrmCadastro *Abrir(const QString &classe)
    {
        auto *f = qobject_cast<TnFrmCadastro *>(CriarFormModulo(CriarDM(classe), nullptr));
        FForms.append(f);
        f->resize(900, 360);
        f->show();
        QApplication::processEvents();
        return f;
    }
    QList<QPointer<TnFrmCadastro>> FForms;
};

} // namespace

TEST_F(FaixaResultadosQtBanco, FaixaEscolhidaNoDialogoEResultadosAoLadoDoCodigo)
{
    const QStringList chaves = NomesDaLista(teste::TTesteFaixaK200::PegarVerificaSelecao());
    teste::QuandoModal([](QWidget *w) {
        auto *dlg = qobject_cast<TnDlgSelecao *>(w);
        ASSERT_NE(dlg, nullptr);
        QStringList rotulos;
        for (const QLabel *l : dlg->findChildren<QLabel *>())
            rotulos << l->text();
        EXPECT_TRUE(rotulos.contains("Competência inicial:")) << rotulos.join('|').toStdString();
        EXPECT_TRUE(rotulos.contains("Competência final:"));
        auto *inicio = qobject_cast<QLineEdit *>(dlg->Editor("DataLctoFis_MENORIGUAL"));
        auto *fim = qobject_cast<QLineEdit *>(dlg->Editor("DataLctoFis_MAIORIGUAL"));
        ASSERT_TRUE(inicio && fim);
        EXPECT_EQ(inicio->placeholderText(), "dd/mm/aaaa");
        teste::Digitar(inicio, "01/02/2024");
        teste::Digitar(fim, "31/01/2024");
        teste::Capturar(dlg, "selecao_faixa");
        TnInteracaoTeste usuario;
        dlg->accept(); // an end before the start: refused, the end to fix
        EXPECT_EQ(usuario.Avisos,
                  QStringList({"Competência final (31/01/2024) não pode ser anterior a Competência inicial (01/02/2024)."}));
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->focusWidget(), fim);
        teste::Digitar(fim, "29/02/2024");
        EXPECT_TRUE(teste::Clicar(w, "Ok"));
    });
    ASSERT_TRUE(GarantirSelecao(chaves));
    EXPECT_EQ(Selecao().GetParams("DataLctoFis_MAIORIGUAL").AsDate(), QDate(2024, 2, 29));

    // The page: the code, and beside it its reference and description, read-only.
    TnFrmCadastro *pagina = Abrir("TTesteFaixaK200");
    TnPainelCadastro *p = pagina->Painel();
    TnEditor *produto = p->Editor("CODIGOPRODUTO");
    EXPECT_EQ(produto->Texto(), "10");
    EXPECT_EQ(produto->Resultados(), QStringList({"REF-10 - Parafuso", "Parafuso"}));
    auto *descricao = produto->Widget()->findChild<QLineEdit *>("CODIGOPRODUTO_1");
    ASSERT_NE(descricao, nullptr);
    EXPECT_TRUE(descricao->isReadOnly());
    EXPECT_EQ(descricao->placeholderText(), "Descrição");
    EXPECT_EQ(p->Editor("INDICADORESTOQUE")->Tipo(), teLista); // from the dictionary
    teste::Capturar(pagina, "faixa_resultados_pagina");
    p->Botao(brProximo)->trigger();
    EXPECT_EQ(produto->Resultados(), QStringList({"Porca", "Porca"}));
    p->Botao(brProximo)->trigger(); // a code the product register lacks
    EXPECT_EQ(produto->Texto(), "99");
    EXPECT_EQ(produto->Resultados(), QStringList({"", ""}));
    // A code typed on a new row shows its product at once.
    p->Botao(brIncluir)->trigger();
    teste::Digitar(p, "CODIGOPRODUTO", "11");
    EXPECT_EQ(produto->Resultados().value(1), "Porca");
    p->Botao(brCancelar)->trigger();

    // The grid: the two result columns right after the code, read-only, as the rows scroll.
    TnFrmCadastro *grade = Abrir("TTesteFaixaK200Grade");
    TnModeloDataSet *m = grade->Painel()->Grade()->Modelo();
    const int codigo = m->Coluna(&static_cast<TnDMClientDataSet *>(grade->Modulo())->FieldByName("CODIGOPRODUTO"));
    ASSERT_GE(codigo, 0);
    EXPECT_EQ(m->headerData(codigo + 1, Qt::Horizontal).toString(), "Referência - Descrição");
    EXPECT_EQ(m->headerData(codigo + 2, Qt::Horizontal).toString(), "Descrição");
    EXPECT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->data(m->index(0, codigo + 1)).toString(), "REF-10 - Parafuso");
    EXPECT_EQ(m->data(m->index(1, codigo + 2)).toString(), "Porca");
    EXPECT_EQ(m->data(m->index(2, codigo + 2)).toString(), "");
    EXPECT_EQ(m->Campo(codigo + 1), nullptr);
    EXPECT_FALSE(m->flags(m->index(0, codigo + 1)) & Qt::ItemIsEditable);
    const int quantidade = m->Coluna(&static_cast<TnDMClientDataSet *>(grade->Modulo())->FieldByName("QUANTIDADE"));
    EXPECT_TRUE(m->flags(m->index(0, quantidade)) & Qt::ItemIsEditable);
    teste::Capturar(grade, "faixa_resultados_grade");
}
