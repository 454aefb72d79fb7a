#pragma once
// The user, as the tests play it: questions are answered from a script, and everything shown
// is recorded. Installed while the object lives.
#include "Interacao.h"

#include <QStringList>
#include <functional>

class TnFormFalso;

class TnInteracaoTeste : public TnInteracao {
public:
    TnInteracaoTeste();
    ~TnInteracaoTeste() override;

    // The next question is answered with `resposta`; when `contendo` is given, the question
    // must contain that text. A question with no answer left fails the test and raises.
    void Responder(TMsgDlgBtn resposta, const QString &contendo = QString());
    int RespostasPendentes() const { return int(FRoteiro.size() + FRoteiroBotoes.size()); }
    // The next question with the caller's own buttons is answered with the button of that
    // caption (which must be offered); when `contendo` is given, the question must contain it.
    void ResponderBotao(const QString &botao, const QString &contendo = QString());
    QList<QStringList> BotoesOferecidos; // the captions of each such question
    // The next list choice answers the item whose text starts with `item` (-1 when the
    // list holds none, or when `item` is empty: nothing chosen).
    void Escolher(const QString &item) { FEscolhas.append(item); }
    QStringList ListasOferecidas; // titles of the lists offered
    // The next choice of several items checks those whose texts start with the given ones
    // and confirms; Desistir: the user gives up.
    void Marcar(const QStringList &itens) { FMarcacoes.append({itens, true}); }
    void Desistir() { FMarcacoes.append({{}, false}); }
    QList<QStringList> MarcadosOferecidos; // texts checked when each choice was offered

    // The user at a module's form shown from headless code (MostrarForm): the form is a
    // TnFormFalso the module configures; AoMostrarForm plays what the user does in it and
    // answers whether the form is confirmed (none set: it closes confirmed at once). The
    // form then closes as the desktop closes it (close-query, FormFechado) and the module
    // is freed, also when the play throws.
    std::function<bool(TnDMFormulario &, TnFormFalso &)> AoMostrarForm;
    QStringList FormsMostrados; // "modal|class|instance" or "janela|class|instance"

    QStringList Perguntas;  // texts of the questions asked
    // The button Enter presses in each question: the flag of a question with the fixed
    // buttons, the position (as a number) of one with the caller's own.
    QList<int> Padroes;
    QStringList Avisos;     // texts of nShowMessage
    QStringList Mensagens;  // "kind|level|text" of every line added to a list or tree
    int AtualizacoesProgresso = 0;
    int ProgressosDestruidos = 0;
    TnEstadoProgresso UltimoProgresso;

    TMsgDlgBtn MessageDlg(const QString &texto, TMsgDlgType tipo, TMsgDlgButtons botoes, TMsgDlgBtn padrao) override;
    int MessageDlgBotoes(const QString &texto, TMsgDlgType tipo, const QStringList &botoes, int cancelar,
                         int padrao) override;
    void ShowMessage(const QString &texto) override;
    void ProgressoAlterado(const TnProgresso &p) override;
    void ProgressoDestruido(const TnProgresso &p) override;
    void MensagemAdicionada(const TnListaMensagem &lista, const TnItemMensagem &item) override;
    void MensagensLimpas(const TnListaMensagem &lista) override;
    void ListaDestruida(const TnListaMensagem &lista) override;
    int SelecionarItem(const QString &titulo, const QStringList &itens) override;
    bool SelecionarItens(const QString &titulo, const QStringList &itens, QList<int> &marcados) override;
    bool MostrarForm(TnDMFormulario *dm, bool modal, const std::function<void(TnFormModulo &)> &preparar) override;

private:
    struct Resposta { TMsgDlgBtn Botao; QString Contendo; };
    QList<Resposta> FRoteiro;
    QList<std::pair<QString, QString>> FRoteiroBotoes; // caption, text the question contains
    QStringList FEscolhas;
    struct Marcacao { QStringList Itens; bool Confirmar; };
    QList<Marcacao> FMarcacoes;
};
