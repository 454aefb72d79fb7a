#include "InteracaoTeste.h"

#include "Excecoes.h"

#include <gtest/gtest.h>

TEST(DialogosUsuario, PerguntasRespondidasPeloRoteiro)
{
    TnInteracaoTeste u;
    u.Responder(mbYes, QStringLiteral("Confirma"));
    u.Responder(mbNo);
    EXPECT_EQ(nMessageDlg(QStringLiteral("Confirma a limpeza?"), mtConfirmation, mbYes | mbNo), mbYes);
    EXPECT_EQ(nMessageDlg(QStringLiteral("Outra?"), mtConfirmation, mbYes | mbNo), mbNo);
    nShowMessage(QStringLiteral("Pronto"));
    EXPECT_EQ(u.Perguntas, QStringList({"Confirma a limpeza?", "Outra?"}));
    EXPECT_EQ(u.Avisos, QStringList({"Pronto"}));

    // An answer the dialog did not offer never reaches the caller as a choice.
    u.Responder(mbYes);
    EXPECT_THROW(nMessageDlg(QStringLiteral("Só OK"), mtInformation, TMsgDlgButtons()), Exception);
    u.Responder(mbOK);
    EXPECT_EQ(nMessageDlg(QStringLiteral("Só OK"), mtInformation, TMsgDlgButtons()), mbOK);
}

TEST(DialogosUsuario, PerguntaComBotoesProprios)
{
    const QStringList botoes{"Excluir", "Manter", "Cancelar"};
    TnInteracaoTeste u;
    u.ResponderBotao("Manter", "Deseja?");
    EXPECT_EQ(nMessageDlg(QStringLiteral("Foram encontrados 3. Deseja?"), mtConfirmation, botoes, 2), 1);
    EXPECT_EQ(u.BotoesOferecidos, QList<QStringList>({botoes}));
    EXPECT_EQ(u.Perguntas, QStringList({"Foram encontrados 3. Deseja?"}));
    // No buttons, or an Esc answer outside them, is the caller's error; nothing is asked.
    EXPECT_THROW(nMessageDlg(QStringLiteral("?"), mtConfirmation, QStringList()), Exception);
    EXPECT_THROW(nMessageDlg(QStringLiteral("?"), mtConfirmation, botoes, 3), Exception);
    EXPECT_EQ(u.Perguntas.size(), 1);
}

// An interface that answers a position outside the buttons: never reaches the caller.
TEST(DialogosUsuario, RespostaForaDosBotoesProprios)
{
    struct ForaDosBotoes : TnInteracaoTeste {
        int MessageDlgBotoes(const QString &, TMsgDlgType, const QStringList &b, int, int) override
        {
            return int(b.size());
        }
    } u;
    EXPECT_THROW(nMessageDlg(QStringLiteral("Qual?"), mtConfirmation, QStringList({"A", "B"})), Exception);
}

TEST(DialogosUsuario, SemInterfaceNinguemResponde)
{
    EXPECT_THROW(nMessageDlg(QStringLiteral("Apagar?"), mtConfirmation, mbYes | mbNo), Exception);
    EXPECT_THROW(nMessageDlg(QStringLiteral("Qual?"), mtConfirmation, QStringList({"A", "B"})), Exception);
    nShowMessage(QStringLiteral("vai para o registro"));
    EXPECT_FALSE(EhHttpExe());
    SetEhHttpExe(true);
    EXPECT_TRUE(EhHttpExe());
    SetEhHttpExe(false);
}

TEST(ProgressoUsuario, EstadoDaMolduraETextosNaHora)
{
    TnInteracaoTeste u;
    {
        auto p = CriarProgresso();
        p->MostrarMultiplo(QStringLiteral("Total"), QStringLiteral("Parcial"));
        p->ConfigurarProgressoTotal(3);
        p->ConfigurarProgressoParcial(10);
        p->SetEhCircularParcial(true);
        p->IncProgressoTotal();
        p->IncProgressoTotal(5); // stops at the maximum
        p->IncProgressoParcial(-4); // never below zero
        p->SetTextoTotal(QStringLiteral("Salvando alterações..."));
        const TnEstadoProgresso &e = u.UltimoProgresso;
        EXPECT_TRUE(e.Visivel);
        EXPECT_TRUE(e.Multiplo);
        EXPECT_TRUE(e.CircularParcial);
        EXPECT_EQ(e.TextoTotal, QStringLiteral("Salvando alterações..."));
        EXPECT_EQ(e.TextoParcial, QStringLiteral("Parcial"));
        EXPECT_EQ(e.MaximoTotal, 3);
        EXPECT_EQ(e.PosicaoTotal, 3);
        EXPECT_EQ(e.PosicaoParcial, 0);
        p->SetProgressoTotal(1);
        p->SetVisible(false);
        EXPECT_FALSE(u.UltimoProgresso.Visivel);
        EXPECT_EQ(u.UltimoProgresso.PosicaoTotal, 1);
        p->MostrarSimples(QStringLiteral("Carregando dados..."));
        EXPECT_FALSE(u.UltimoProgresso.Multiplo);
        EXPECT_EQ(u.UltimoProgresso.Texto, QStringLiteral("Carregando dados..."));
    }
    EXPECT_EQ(u.ProgressosDestruidos, 1);
}

TEST(ProgressoUsuario, UmMilhaoDePassosPoucasAtualizacoes)
{
    TnInteracaoTeste u;
    auto p = CriarProgresso();
    p->MostrarSimples(QStringLiteral("Processando"));
    // An interval no run reaches (one hour): the count of updates does not hang on the
    // machine's speed.
    p->SetIntervaloMinimo(3600 * 1000);
    p->ConfigurarProgressoTotal(1000000);
    const int antes = u.AtualizacoesProgresso;
    for (int i = 0; i < 1000000; ++i)
        p->IncProgressoTotal();
    const int feitas = u.AtualizacoesProgresso - antes;
    EXPECT_GE(feitas, 1);     // the end was shown
    EXPECT_LT(feitas, 1000);  // not one per step
    EXPECT_EQ(u.UltimoProgresso.PosicaoTotal, 1000000);

    // Without an interval every step goes out.
    p->SetIntervaloMinimo(0);
    p->ConfigurarProgressoTotal(10);
    const int antes2 = u.AtualizacoesProgresso;
    for (int i = 0; i < 10; ++i)
        p->IncProgressoTotal();
    EXPECT_EQ(u.AtualizacoesProgresso - antes2, 10);
}

TEST(MensagensProcesso, ListaEArvoreComTipos)
{
    TnInteracaoTeste u;
    TnListaMensagem arvore(true);
    TnItemMensagem *raiz = arvore.Adicionar(QStringLiteral("Integração Concluída"), tmSucesso);
    arvore.Adicionar(QStringLiteral("Quantidade de Produtos Importados: 3"), tmSucesso, raiz);
    arvore.Adicionar(tmErro, QStringLiteral("Erro ao processar: x"));
    arvore.Adicionar(QStringLiteral("Tempo decorrido: 00:00:01"), tmAviso);
    arvore.Adicionar(QStringLiteral("Operação concluída!"));
    EXPECT_EQ(arvore.Count(), 5);
    EXPECT_EQ(u.Mensagens, QStringList({"5|0|Integração Concluída", "5|1|Quantidade de Produtos Importados: 3",
                                        "0|0|Erro ao processar: x", "1|0|Tempo decorrido: 00:00:01",
                                        "4|0|Operação concluída!"}));

    TnListaMensagem lista;
    EXPECT_THROW(lista.Adicionar(QStringLiteral("filho"), tmAviso, raiz), Exception); // a plain list has no children
    TnListaMensagem outra(true);
    EXPECT_THROW(outra.Adicionar(QStringLiteral("filho"), tmAviso, raiz), Exception); // raiz is not its own
    arvore.Limpar();
    EXPECT_EQ(arvore.Count(), 0);
    EXPECT_EQ(u.Mensagens.last(), QStringLiteral("limpa"));
}
