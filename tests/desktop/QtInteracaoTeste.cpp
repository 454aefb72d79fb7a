// The Qt side of the interaction: boxes with Portuguese buttons answered by clicking them,
// the progress window and the message views.
#include "Excecoes.h"
#include "QtInteracao.h"
#include "QtTeste.h"

#include <QApplication>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
QStringList TextosDosBotoes(const QMessageBox &caixa)
{
    QStringList r;
    for (QAbstractButton *b : caixa.buttons())
        r.append(b->text());
    r.sort();
    return r;
}

// Installs the Qt interaction for one case.
class InteracaoQt : public ::testing::Test {
protected:
    void SetUp() override { DefinirInteracao(&FQt); }
    void TearDown() override { DefinirInteracao(nullptr); }
    TnInteracaoQt FQt;
};
} // namespace

TEST_F(InteracaoQt, CaixaTemOsBotoesPedidosEmPortugues)
{
    std::unique_ptr<QMessageBox> caixa(TnInteracaoQt::CriarCaixa("Excluir?", mtConfirmation, mbYes | mbNo | mbCancel, nullptr));
    EXPECT_EQ(TextosDosBotoes(*caixa), QStringList({"Cancelar", "Não", "Sim"}));
    EXPECT_EQ(caixa->defaultButton()->text(), "Sim");
    EXPECT_EQ(caixa->escapeButton()->text(), "Cancelar");
    EXPECT_EQ(caixa->icon(), QMessageBox::Question);

    std::unique_ptr<QMessageBox> ok(TnInteracaoQt::CriarCaixa("Pronto", mtInformation, {}, nullptr));
    EXPECT_EQ(TextosDosBotoes(*ok), QStringList({"Ok"}));
    // Closed without a click: the escape answer, which is always one of the offered buttons.
    EXPECT_EQ(TnInteracaoQt::Resposta(*ok), mbOK);
    // A short text still makes a box wide enough for its whole title.
    EXPECT_GE(ok->sizeHint().width(), 280);
    std::unique_ptr<QMessageBox> simNao(TnInteracaoQt::CriarCaixa("?", mtWarning, mbYes | mbNo, nullptr));
    EXPECT_EQ(TnInteracaoQt::Resposta(*simNao), mbNo);
    // A question before deleting makes "Não" the button Enter presses.
    std::unique_ptr<QMessageBox> excluir(TnInteracaoQt::CriarCaixa("Excluir?", mtConfirmation, mbYes | mbNo, nullptr, mbNo));
    EXPECT_EQ(excluir->defaultButton()->text(), QString::fromUtf8("Não"));
    EXPECT_EQ(TextoBotao(mbOK), "Ok");
    EXPECT_EQ(TextoBotao(mbCancel), "Cancelar");
}

TEST_F(InteracaoQt, PerguntaRespondidaPeloBotaoClicado)
{
    QString pergunta;
    teste::QuandoModal([&](QWidget *w) {
        pergunta = qobject_cast<QMessageBox *>(w)->text();
        EXPECT_TRUE(teste::Clicar(w, "Não"));
    });
    EXPECT_EQ(nMessageDlg("Confirma a exclusão?", mtConfirmation, mbYes | mbNo), mbNo);
    EXPECT_EQ(pergunta, "Confirma a exclusão?");

    teste::QuandoModal([](QWidget *w) { EXPECT_TRUE(teste::Clicar(w, "Sim")); });
    EXPECT_EQ(nMessageDlg("De novo?", mtConfirmation, mbYes | mbNo), mbYes);

    // Esc answers "Cancelar".
    teste::QuandoModal([](QWidget *w) { qobject_cast<QMessageBox *>(w)->reject(); });
    EXPECT_EQ(nMessageDlg("Gravar?", mtConfirmation, mbYes | mbNo | mbCancel), mbCancel);
}

// A question with the caller's own captions answers the position of the button clicked;
// Esc answers the cancelling one, and without one Esc is no answer.
TEST_F(InteracaoQt, PerguntaComBotoesProprios)
{
    const QStringList botoes{"Excluir e incluir novamente", "Manter existentes e incluir novos", "Cancelar"};
    std::unique_ptr<QMessageBox> caixa(TnInteracaoQt::CriarCaixaBotoes("Deseja?", mtConfirmation, botoes, 2, nullptr));
    QStringList textos;
    for (QAbstractButton *b : caixa->buttons())
        textos << b->text();
    textos.sort();
    QStringList esperados = botoes;
    esperados.sort();
    EXPECT_EQ(textos, esperados);
    EXPECT_EQ(caixa->defaultButton()->text(), botoes.first());
    EXPECT_EQ(caixa->escapeButton()->text(), "Cancelar");
    EXPECT_EQ(TnInteracaoQt::RespostaBotoes(*caixa), 2);
    std::unique_ptr<QMessageBox> cancelarPadrao(
        TnInteracaoQt::CriarCaixaBotoes("Deseja?", mtConfirmation, botoes, 2, nullptr, 2));
    EXPECT_EQ(cancelarPadrao->defaultButton()->text(), "Cancelar");
    std::unique_ptr<QMessageBox> semEsc(TnInteracaoQt::CriarCaixaBotoes("?", mtConfirmation, {"A", "B"}, -1, nullptr));
    EXPECT_EQ(semEsc->escapeButton(), nullptr);
    EXPECT_EQ(TnInteracaoQt::RespostaBotoes(*semEsc), -1);

    teste::QuandoModal([](QWidget *w) {
        teste::Capturar(w, "pergunta_botoes");
        EXPECT_TRUE(teste::Clicar(w, "Manter existentes e incluir novos"));
    });
    EXPECT_EQ(nMessageDlg("Foram encontrados 3 lançamentos no período destino. Deseja?", mtConfirmation, botoes, 2), 1);
    teste::QuandoModal([](QWidget *w) { qobject_cast<QMessageBox *>(w)->reject(); });
    EXPECT_EQ(nMessageDlg("De novo?", mtConfirmation, botoes, 2), 2);
}

TEST_F(InteracaoQt, EscolhaNumaListaOuNenhuma)
{
    const QStringList itens{"000", "041", "090"};
    teste::QuandoModal([](QWidget *w) {
        auto *caixa = qobject_cast<QInputDialog *>(w);
        ASSERT_NE(caixa, nullptr);
        caixa->setTextValue("041");
        EXPECT_TRUE(teste::Clicar(w, "Ok"));
    });
    EXPECT_EQ(Interacao().SelecionarItem("CST", itens), 1);
    teste::QuandoModal([](QWidget *w) { EXPECT_TRUE(teste::Clicar(w, "Cancelar")); });
    EXPECT_EQ(Interacao().SelecionarItem("CST", itens), -1);
    EXPECT_EQ(Interacao().SelecionarItem("CST", {}), -1); // nothing to offer, nothing shown
}

TEST_F(InteracaoQt, MarcacaoDeVariosItens)
{
    const QStringList itens{"Referência", "Grupo", "Descrição"};
    QList<int> marcados{2};
    teste::QuandoModal([](QWidget *w) {
        auto *lista = w->findChild<QListWidget *>();
        ASSERT_NE(lista, nullptr);
        EXPECT_EQ(lista->item(2)->checkState(), Qt::Checked); // what was chosen before
        EXPECT_EQ(lista->item(0)->checkState(), Qt::Unchecked);
        lista->item(0)->setCheckState(Qt::Checked);
        lista->item(2)->setCheckState(Qt::Unchecked);
        EXPECT_TRUE(teste::Clicar(w, "Ok"));
    });
    EXPECT_TRUE(Interacao().SelecionarItens("Copiar", itens, marcados));
    EXPECT_EQ(marcados, QList<int>({0}));
    teste::QuandoModal([](QWidget *w) {
        w->findChild<QListWidget *>()->item(1)->setCheckState(Qt::Checked);
        EXPECT_TRUE(teste::Clicar(w, "Cancelar"));
    });
    EXPECT_FALSE(Interacao().SelecionarItens("Copiar", itens, marcados));
    EXPECT_EQ(marcados, QList<int>({0})); // given up: as it came
}

TEST_F(InteracaoQt, FalhasMostradasEAbortSilencioso)
{
    EXPECT_FALSE(ExecutarTratando([] { Abort(); })); // no window: nothing to answer

    QString mostrado;
    teste::QuandoModal([&](QWidget *w) {
        mostrado = qobject_cast<QMessageBox *>(w)->text();
        teste::Clicar(w, "Ok");
    });
    EXPECT_FALSE(ExecutarTratando([] { throw EnField("CODIGO", "Código inválido"); }));
    EXPECT_EQ(mostrado, "Código inválido");
    EXPECT_TRUE(ExecutarTratando([] {}));
}

TEST_F(InteracaoQt, ProgressoAbreAtualizaEFecha)
{
    auto janelas = [] {
        int n = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            n += w->findChild<TnFrmProgresso *>() && w->isVisible();
        return n;
    };
    {
        auto p = CriarProgresso();
        p->MostrarMultiplo("Produtos", "Lançamentos");
        p->ConfigurarProgressoTotal(10);
        p->ConfigurarProgressoParcial(5000000000LL); // beyond int: shown in thousandths
        p->IncProgressoTotal(10);
        EXPECT_EQ(janelas(), 1);
        TnFrmProgresso *frame = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = w->findChild<TnFrmProgresso *>())
                frame = f;
        ASSERT_NE(frame, nullptr);
        const auto barras = frame->findChildren<QProgressBar *>();
        ASSERT_EQ(barras.size(), 2);
        EXPECT_EQ(barras[0]->value(), 10);
        EXPECT_EQ(barras[1]->maximum(), 1000);
        teste::Capturar(frame, "progresso");
    }
    EXPECT_EQ(janelas(), 0);
}

TEST_F(InteracaoQt, MensagensNaVisaoVinculadaEmArvore)
{
    TnVisaoMensagens visao;
    EXPECT_FALSE(visao.isHeaderHidden());
    EXPECT_EQ(visao.headerItem()->text(0), "Mensagem");
    {
        TnListaMensagem arvore(true);
        FQt.Vincular(arvore, &visao);
        TnItemMensagem *produto = arvore.Adicionar("Produto 10", tmAviso);
        arvore.Adicionar("Sem CST", tmErro, produto);
        arvore.Adicionar("Operação concluída!", tmInformacao);
        ASSERT_EQ(visao.topLevelItemCount(), 2);
        EXPECT_EQ(visao.topLevelItem(0)->childCount(), 1);
        EXPECT_EQ(visao.topLevelItem(0)->child(0)->text(0), "Sem CST");
        EXPECT_EQ(visao.topLevelItem(0)->child(0)->data(0, Qt::UserRole).toInt(), int(tmErro));
        arvore.Limpar();
        EXPECT_EQ(visao.topLevelItemCount(), 0);
        arvore.Adicionar("Concluído", tmSucesso);
    }
    // The list is gone; what it showed stays for the user to read.
    EXPECT_EQ(visao.topLevelItemCount(), 1);

    // A list without a view of its own opens a window at its first line.
    TnListaMensagem solta;
    solta.Adicionar("Tempo decorrido: 00:00:01", tmAviso);
    TnVisaoMensagens *janela = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *v = w->findChild<TnVisaoMensagens *>(); v && w->isVisible())
            janela = v;
    ASSERT_NE(janela, nullptr);
    EXPECT_EQ(janela->topLevelItem(0)->text(0), "Tempo decorrido: 00:00:01");
    janela->window()->close();
}
