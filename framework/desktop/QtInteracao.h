#pragma once
// The desktop's side of TnInteracao: message boxes with Portuguese buttons, a progress frame
// per TnProgresso and a view per message list or tree. ExecutarProjeto installs it.
#include "Interacao.h"

#include <QDialog>
#include <QFrame>
#include <QHash>
#include <QPointer>
#include <QTreeWidget>
#include <functional>

class QLabel;
class QMessageBox;
class QProgressBar;

// Caption of a button: "Sim", "Não", "Ok", "Cancelar"...
QString TextoBotao(TMsgDlgBtn b);

// Runs `f` and shows what it throws (MostrarExcecao). Answers true when `f` ended without an
// exception. For slots and event handlers, which must not let an exception into the event
// loop.
bool ExecutarTratando(const std::function<void()> &f);
// Shows a failure through the interaction (nShowMessage): EAbort is a silent cancel, any
// other exception shows its message.
void MostrarExcecao(const std::exception &e);

// One or two progress bars with their texts, showing a TnEstadoProgresso. Embeddable; the
// interface also shows it in a small window of its own.
class TnFrmProgresso : public QFrame {
    Q_OBJECT
public:
    explicit TnFrmProgresso(QWidget *pai = nullptr);
    void Mostrar(const TnEstadoProgresso &e);

private:
    QLabel *FTextoTotal, *FTextoParcial;
    QProgressBar *FTotal, *FParcial;
};

// The lines of a message list or tree, each with the icon of its kind.
class TnVisaoMensagens : public QTreeWidget {
    Q_OBJECT
public:
    explicit TnVisaoMensagens(QWidget *pai = nullptr);
    // Adds the line under its parent's line (when the parent was shown here) or at the top;
    // a hidden view shows itself.
    void Adicionar(const TnItemMensagem &item);
    void Limpar();
    // Shows every line of the list again (Limpar, then each line in order).
    void Mostrar(const TnListaMensagem &lista);
    // The list is gone: its lines stay on screen, the links to its items are dropped.
    void Esquecer();

private:
    QHash<const TnItemMensagem *, QTreeWidgetItem *> FLinhas;
};

class TnInteracaoQt : public TnInteracao {
public:
    TnInteracaoQt() = default;
    ~TnInteracaoQt() override;
    TnInteracaoQt(const TnInteracaoQt &) = delete;
    TnInteracaoQt &operator=(const TnInteracaoQt &) = delete;

    // Shows the lines of `lista` in `visao` (a form's own view). A list not bound to a view
    // gets a window of its own at its first line.
    void Vincular(const TnListaMensagem &lista, TnVisaoMensagens *visao);

    // The box of a question, not yet shown: one button per flag, in the order of
    // TMsgDlgBtn, `padrao` the default (when not offered, the first); Esc answers
    // "Cancelar", else "Não", else "Fechar", else "Ok" when offered. Resposta(caixa) reads
    // the button that closed it.
    static QMessageBox *CriarCaixa(const QString &texto, TMsgDlgType tipo, TMsgDlgButtons botoes, QWidget *pai,
                                   TMsgDlgBtn padrao = TMsgDlgBtn(0));
    static TMsgDlgBtn Resposta(const QMessageBox &caixa);
    // The box of a question with the caller's own captions, in their order, the one at
    // `padrao` the default; Esc answers the one at `cancelar` (-1: Esc does nothing, a
    // button must be clicked). RespostaBotoes(caixa) reads the position of the button that
    // closed it.
    static QMessageBox *CriarCaixaBotoes(const QString &texto, TMsgDlgType tipo, const QStringList &botoes,
                                         int cancelar, QWidget *pai, int padrao = 0);
    static int RespostaBotoes(const QMessageBox &caixa);

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
    // A dialog with one check box per item, "Ok" and "Cancelar".
    bool SelecionarItens(const QString &titulo, const QStringList &itens, QList<int> &marcados) override;
    // The module's window (CriarFormModulo) over the active window; modal: shown until it
    // closes, the module freed before this returns.
    bool MostrarForm(TnDMFormulario *dm, bool modal, const std::function<void(TnFormModulo &)> &preparar) override;

private:
    struct JanelaProgresso {
        QPointer<QDialog> Janela;
        TnFrmProgresso *Frame = nullptr;
    };
    QHash<const TnProgresso *, JanelaProgresso> FProgressos;
    QHash<const TnListaMensagem *, QPointer<TnVisaoMensagens>> FListas;
};
