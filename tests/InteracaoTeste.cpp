#include "InteracaoTeste.h"

#include "Excecoes.h"
#include "TextoProprio.h"

#include <gtest/gtest.h>

TnInteracaoTeste::TnInteracaoTeste() { DefinirInteracao(this); }

TnInteracaoTeste::~TnInteracaoTeste()
{
    DefinirInteracao(nullptr);
    EXPECT_TRUE(FRoteiro.isEmpty()) << "respostas não usadas: " << FRoteiro.size();
}

void TnInteracaoTeste::Responder(TMsgDlgBtn resposta, const QString &contendo)
{
    FRoteiro.append({resposta, contendo});
}

TMsgDlgBtn TnInteracaoTeste::MessageDlg(const QString &texto, TMsgDlgType, TMsgDlgButtons)
{
    Perguntas.append(TextoProprio(texto));
    if (FRoteiro.isEmpty()) {
        ADD_FAILURE() << "pergunta sem resposta no roteiro: " << texto.toStdString();
        throw Exception(QStringLiteral("Pergunta sem resposta no roteiro: ") + texto);
    }
    const Resposta r = FRoteiro.takeFirst();
    EXPECT_TRUE(r.Contendo.isEmpty() || texto.contains(r.Contendo))
        << "pergunta inesperada: " << texto.toStdString() << " (esperava " << r.Contendo.toStdString() << ")";
    return r.Botao;
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
