#pragma once
// The user, as the tests play it: questions are answered from a script, and everything shown
// is recorded. Installed while the object lives.
#include "Interacao.h"

#include <QStringList>

class TnInteracaoTeste : public TnInteracao {
public:
    TnInteracaoTeste();
    ~TnInteracaoTeste() override;

    // The next question is answered with `resposta`; when `contendo` is given, the question
    // must contain that text. A question with no answer left fails the test and raises.
    void Responder(TMsgDlgBtn resposta, const QString &contendo = QString());
    int RespostasPendentes() const { return int(FRoteiro.size()); }

    QStringList Perguntas;  // texts of the questions asked
    QStringList Avisos;     // texts of nShowMessage
    QStringList Mensagens;  // "kind|level|text" of every line added to a list or tree
    int AtualizacoesProgresso = 0;
    int ProgressosDestruidos = 0;
    TnEstadoProgresso UltimoProgresso;

    TMsgDlgBtn MessageDlg(const QString &texto, TMsgDlgType tipo, TMsgDlgButtons botoes) override;
    void ShowMessage(const QString &texto) override;
    void ProgressoAlterado(const TnProgresso &p) override;
    void ProgressoDestruido(const TnProgresso &p) override;
    void MensagemAdicionada(const TnListaMensagem &lista, const TnItemMensagem &item) override;
    void MensagensLimpas(const TnListaMensagem &lista) override;
    void ListaDestruida(const TnListaMensagem &lista) override;

private:
    struct Resposta { TMsgDlgBtn Botao; QString Contendo; };
    QList<Resposta> FRoteiro;
};
