#pragma once
// Everything a module shows the user or asks the user goes through one interface,
// TnInteracao: questions and notices (nMessageDlg, nShowMessage), progress frames and
// message lists and trees. The desktop program installs its Qt implementation; tests install
// one that answers from a script and records what was shown. Without one installed,
// notices go to the log and a question is an error (nobody can answer it).
#include <QFlags>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <vector>

class TnDMFormulario;
class TnFormModulo;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
    mbYes = 0x1, mbNo = 0x2, mbOK = 0x4, mbCancel = 0x8, mbAbort = 0x10, mbRetry = 0x20,
    mbIgnore = 0x40, mbAll = 0x80, mbNoToAll = 0x100, mbYesToAll = 0x200, mbHelp = 0x400, mbClose = 0x800
};
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgDlgButtons)

// Kinds of the lines of a message list or tree.
enum TnTipoMensagem {
    tmErro = 0,       // an error: the step failed
    tmAviso = 1,      // a warning or remark (skipped item, cancelled records, elapsed time)
    tmInformacao = 4, // information ("Operação concluída!")
    tmSucesso = 5     // a result that was reached (rows written, integration finished)
};

// ---- Progress frame -------------------------------------------------------------------

struct TnEstadoProgresso {
    bool Visivel = false;
    bool Multiplo = false;       // two bars (total and partial) instead of one
    QString Texto;               // text of the single bar
    QString TextoTotal, TextoParcial;
    qint64 MaximoTotal = 0, PosicaoTotal = 0;
    qint64 MaximoParcial = 0, PosicaoParcial = 0;
    bool CircularParcial = false; // the partial bar only shows that work goes on
};

// A progress frame. What the frame shows reaches the interface as follows:
// - showing, hiding, the mode, the maxima and the texts are passed on at once (a text is what
//   the user reads and usually comes before a long step; set per-item texts every so many
//   items, not on each);
// - positions (IncProgressoTotal, IncProgressoParcial, SetProgressoTotal) are passed on at
//   most once per interval (IntervaloMinimo, 100 ms by default) and when a bar reaches its
//   maximum; the newest position goes out with the next update. A loop that counts a
//   million items therefore makes a handful of interface calls, not a million.
// The desktop implementation also lets pending window events run on each update, so a
// long process keeps the window alive through its progress frame.
class TnProgresso {
public:
    explicit TnProgresso(QObject *dono = nullptr);
    ~TnProgresso(); // the frame disappears
    TnProgresso(const TnProgresso &) = delete;
    TnProgresso &operator=(const TnProgresso &) = delete;

    void MostrarSimples(const QString &texto = QString());
    void MostrarMultiplo(const QString &textoTotal = QString(), const QString &textoParcial = QString());
    void ConfigurarProgressoTotal(qint64 maximo);   // position back to 0
    void ConfigurarProgressoParcial(qint64 maximo); // position back to 0
    void SetProgressoTotal(qint64 posicao);
    void IncProgressoTotal(qint64 passo = 1);
    void IncProgressoParcial(qint64 passo = 1);
    void SetTexto(const QString &texto);
    void SetTextoTotal(const QString &texto);
    void SetTextoParcial(const QString &texto);
    void SetEhCircularParcial(bool circular);
    void SetVisible(bool visivel);

    const TnEstadoProgresso &Estado() const { return FEstado; }
    QObject *Dono() const { return FDono; }
    int IntervaloMinimo() const { return FIntervalo; }
    void SetIntervaloMinimo(int ms) { FIntervalo = ms; }

private:
    void Publicar();                  // at once
    void PublicarPosicao(bool noMaximo); // throttled
    void MudarTexto(QString &campo, const QString &texto);
    TnEstadoProgresso FEstado;
    QPointer<QObject> FDono;
    int FIntervalo = 100;
    QElapsedTimer FUltima;
    bool FPendente = false;
};

// A new progress frame of `dono` (the module or form it belongs to); its creator frees it.
std::unique_ptr<TnProgresso> CriarProgresso(QObject *dono = nullptr);

// ---- Message list and tree ------------------------------------------------------------

struct TnItemMensagem {
    TnTipoMensagem Tipo = tmInformacao;
    QString Texto;
    TnItemMensagem *Pai = nullptr;
    std::vector<std::unique_ptr<TnItemMensagem>> Filhos;
    int Nivel() const; // 0 at the top
};

// The lines a process reports; a tree when lines may have children.
class TnListaMensagem {
public:
    explicit TnListaMensagem(bool arvore = false);
    ~TnListaMensagem();
    TnListaMensagem(const TnListaMensagem &) = delete;
    TnListaMensagem &operator=(const TnListaMensagem &) = delete;

    bool EhArvore() const { return FArvore; }
    // Adds a line under `pai` (a line of this tree), or at the top. A parent given to a
    // plain list, or a line of another list, is an error (Exception).
    TnItemMensagem *Adicionar(const QString &texto, TnTipoMensagem tipo = tmInformacao, TnItemMensagem *pai = nullptr);
    TnItemMensagem *Adicionar(TnTipoMensagem tipo, const QString &texto) { return Adicionar(texto, tipo); }
    void Limpar();
    const std::vector<std::unique_ptr<TnItemMensagem>> &Itens() const { return FItens; }
    int Count() const; // every line, children included

private:
    bool Contem(const TnItemMensagem *item) const;
    bool FArvore;
    std::vector<std::unique_ptr<TnItemMensagem>> FItens;
};

// ---- The interface --------------------------------------------------------------------

class TnInteracao {
public:
    virtual ~TnInteracao() = default;
    // A question; answers one of `botoes`. `padrao`, one of them, is the button Enter
    // presses.
    virtual TMsgDlgBtn MessageDlg(const QString &texto, TMsgDlgType tipo, TMsgDlgButtons botoes,
                                  TMsgDlgBtn padrao) = 0;
    // A question with the caller's own button captions, in order; answers the position of
    // the chosen one. `cancelar` is the position that Esc and closing the box answer (-1:
    // none, a button must be chosen); `padrao` the position Enter presses. Without a user
    // to ask, an error (Exception).
    virtual int MessageDlgBotoes(const QString &texto, TMsgDlgType tipo, const QStringList &botoes, int cancelar,
                                 int padrao);
    virtual void ShowMessage(const QString &texto) = 0;
    virtual void ProgressoAlterado(const TnProgresso &p) = 0;
    virtual void ProgressoDestruido(const TnProgresso &p) = 0;
    virtual void MensagemAdicionada(const TnListaMensagem &lista, const TnItemMensagem &item) = 0;
    virtual void MensagensLimpas(const TnListaMensagem &lista) = 0;
    virtual void ListaDestruida(const TnListaMensagem &lista) = 0;
    // A choice from a list (a lookup): answers the chosen position, or -1 when the user
    // chose nothing. Without a user to ask, nothing is chosen.
    virtual int SelecionarItem(const QString &titulo, const QStringList &itens);
    // A choice of several items of a list: `marcados` comes with the positions checked at
    // first and goes back with those the user checked. False when the user gave up (then
    // `marcados` is left as it came). Without a user to ask, nothing is chosen (false).
    virtual bool SelecionarItens(const QString &titulo, const QStringList &itens, QList<int> &marcados);
    // Shows a module's form from headless code: the desktop opens the module's window,
    // modally or not; tests play what the user does in it. The interface takes the module:
    // it is freed when its form closes (a modal one before this returns), and at once when
    // nothing is shown. `preparar` runs on the form once the module configured it, before
    // the user sees it. Modal: answers when the form has closed, true when it was confirmed;
    // not modal: whether it was shown. Without a user, nothing is shown (false).
    virtual bool MostrarForm(TnDMFormulario *dm, bool modal, const std::function<void(TnFormModulo &)> &preparar);
};

// Installs the interface (nullptr: back to none). The caller keeps it alive while installed.
void DefinirInteracao(TnInteracao *i);
TnInteracao &Interacao();

// Asks the user. No buttons given means OK only. An answer that is not among the buttons
// offered is an error (Exception): the caller would take a step the user never chose.
// `padrao` is the button Enter presses (a question before deleting or rewriting rows
// passes mbNo); one not offered means the first offered, in the order of TMsgDlgBtn.
TMsgDlgBtn nMessageDlg(const QString &texto, TMsgDlgType tipo, TMsgDlgButtons botoes,
                       TMsgDlgBtn padrao = TMsgDlgBtn(0));
// Asks with the caller's own buttons ("Excluir e incluir novamente", ..., "Cancelar") and
// answers the position (0-based) of the one chosen. `cancelar`, when given, is the position
// that Esc answers; `padrao` the one Enter presses (the first unless given). No buttons, a
// `cancelar` or `padrao` outside them, or an answer outside them, is an error (Exception).
int nMessageDlg(const QString &texto, TMsgDlgType tipo, const QStringList &botoes, int cancelar = -1,
                int padrao = 0);
void nShowMessage(const QString &texto);
// A module's form from headless code (TnInteracao::MostrarForm), modal or not.
bool nShowFormModal(TnDMFormulario *dm, const std::function<void(TnFormModulo &)> &preparar = {});
bool nShowForm(TnDMFormulario *dm, const std::function<void(TnFormModulo &)> &preparar = {});

// Web mode: the program runs as the suite's web server instead of the desktop.
bool EhHttpExe();
void SetEhHttpExe(bool sim);
