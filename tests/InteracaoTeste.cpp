#include "InteracaoTeste.h"

#include "Excecoes.h"
#include "FormFalso.h"
#include "TextoProprio.h"

#include <QPointer>
#include <QScopeGuard>

#include <gtest/gtest.h>

TnInteracaoTeste::TnInteracaoTeste() { DefinirInteracao(this); }

TnInteracaoTeste::~TnInteracaoTeste()
{
    DefinirInteracao(nullptr);
    EXPECT_TRUE(FRoteiro.isEmpty()) << "respostas não usadas: " << FRoteiro.size();
    EXPECT_TRUE(FRoteiroBotoes.isEmpty()) << "respostas por botão não usadas: " << FRoteiroBotoes.size();
    EXPECT_TRUE(FEscolhas.isEmpty()) << "escolhas não usadas: " << FEscolhas.size();
    EXPECT_TRUE(FMarcacoes.isEmpty()) << "marcações não usadas: " << FMarcacoes.size();
}

void TnInteracaoTeste::Responder(TMsgDlgBtn resposta, const QString &contendo)
{
    FRoteiro.append({resposta, contendo});
}

TMsgDlgBtn TnInteracaoTeste::MessageDlg(const QString &texto, TMsgDlgType, TMsgDlgButtons, TMsgDlgBtn padrao)
{
    Perguntas.append(TextoProprio(texto));
    Padroes.append(int(padrao));
    if (FRoteiro.isEmpty()) {
        ADD_FAILURE() << "pergunta sem resposta no roteiro: " << texto.toStdString();
        throw Exception(QStringLiteral("Pergunta sem resposta no roteiro: ") + texto);
    }
    const Resposta r = FRoteiro.takeFirst();
    EXPECT_TRUE(r.Contendo.isEmpty() || texto.contains(r.Contendo))
        << "pergunta inesperada: " << texto.toStdString() << " (esperava " << r.Contendo.toStdString() << ")";
    return r.Botao;
}

void TnInteracaoTeste::ResponderBotao(const QString &botao, const QString &contendo)
{
    FRoteiroBotoes.append({botao, contendo});
}

int TnInteracaoTeste::MessageDlgBotoes(const QString &texto, TMsgDlgType, const QStringList &botoes, int, int padrao)
{
    Perguntas.append(TextoProprio(texto));
    Padroes.append(padrao);
    BotoesOferecidos.append(TextoProprio(botoes));
    if (FRoteiroBotoes.isEmpty()) {
        ADD_FAILURE() << "pergunta sem resposta no roteiro: " << texto.toStdString();
        throw Exception(QStringLiteral("Pergunta sem resposta no roteiro: ") + texto);
    }
    const auto [botao, contendo] = FRoteiroBotoes.takeFirst();
    EXPECT_TRUE(contendo.isEmpty() || texto.contains(contendo))
        << "pergunta inesperada: " << texto.toStdString() << " (esperava " << contendo.toStdString() << ")";
    const int r = int(botoes.indexOf(botao));
    EXPECT_GE(r, 0) << "botão não oferecido: " << botao.toStdString();
    return r;
}

int TnInteracaoTeste::SelecionarItem(const QString &titulo, const QStringList &itens)
{
    ListasOferecidas.append(TextoProprio(titulo));
    if (FEscolhas.isEmpty()) {
        ADD_FAILURE() << "lista sem escolha no roteiro: " << titulo.toStdString();
        throw Exception(QStringLiteral("Lista sem escolha no roteiro: ") + titulo);
    }
    const QString item = FEscolhas.takeFirst();
    if (item.isEmpty())
        return -1;
    for (int i = 0; i < itens.size(); ++i)
        if (itens.at(i).startsWith(item))
            return i;
    return -1;
}

bool TnInteracaoTeste::SelecionarItens(const QString &titulo, const QStringList &itens, QList<int> &marcados)
{
    ListasOferecidas.append(TextoProprio(titulo));
    QStringList oferecidos;
    for (int i : marcados)
        oferecidos.append(itens.value(i));
    MarcadosOferecidos.append(oferecidos);
    if (FMarcacoes.isEmpty()) {
        ADD_FAILURE() << "marcação sem resposta no roteiro: " << titulo.toStdString();
        throw Exception(QStringLiteral("Marcação sem resposta no roteiro: ") + titulo);
    }
    const Marcacao m = FMarcacoes.takeFirst();
    if (!m.Confirmar)
        return false;
    marcados.clear();
    for (int i = 0; i < itens.size(); ++i)
        for (const QString &item : m.Itens)
            if (itens.at(i).startsWith(item) && !marcados.contains(i))
                marcados.append(i);
    return true;
}

void TnInteracaoTeste::ShowMessage(const QString &texto) { Avisos.append(TextoProprio(texto)); }

void TnInteracaoTeste::ProgressoAlterado(const TnProgresso &p)
{
    ++AtualizacoesProgresso;
    UltimoProgresso = p.Estado();
}

void TnInteracaoTeste::ProgressoDestruido(const TnProgresso &) { ++ProgressosDestruidos; }

void TnInteracaoTeste::MensagemAdicionada(const TnListaMensagem &, const TnItemMensagem &item)
{
    Mensagens.append(QStringLiteral("%1|%2|%3").arg(int(item.Tipo)).arg(item.Nivel()).arg(item.Texto));
}

void TnInteracaoTeste::MensagensLimpas(const TnListaMensagem &) { Mensagens.append(QStringLiteral("limpa")); }
void TnInteracaoTeste::ListaDestruida(const TnListaMensagem &) {}

bool TnInteracaoTeste::MostrarForm(TnDMFormulario *dm, bool modal, const std::function<void(TnFormModulo &)> &preparar)
{
    FormsMostrados.append(QStringLiteral("%1|%2|%3").arg(modal ? "modal" : "janela", dm->ClassName(), dm->Nome()));
    const QPointer<TnDMFormulario> vivo(dm);
    TnFormFalso form;
    const auto fechar = qScopeGuard([&] {
        if (!vivo)
            return;
        vivo->FormFechado();
        delete vivo.data();
    });
    dm->ConfigurarForm(&form);
    if (preparar)
        preparar(form);
    const bool confirmado = !AoMostrarForm || AoMostrarForm(*dm, form);
    if (vivo) {
        bool pode = true;
        vivo->FormCloseQuery(&form, pode);
        EXPECT_TRUE(pode) << "o formulário não pôde fechar";
    }
    return modal ? confirmado : true;
}
