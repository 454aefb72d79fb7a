#pragma once
// Menu actions. Each registered class adds its actions to a list in GerarPrincAction; the
// main menu places them by category path (Menu.h) and runs them through their execute
// event. An action belongs to its list; the list deletes the actions of a class when the
// class is unregistered, so hold actions through QPointer.
#include "Modulos.h"

#include <QObject>
#include <QString>
#include <vector>

class TnAction : public QObject {
    Q_OBJECT
public:
    explicit TnAction(TnActionList *lista);

    // "act" + class name for the actions of a class. Detail registers link to their master
    // by the hash of this name, so it is kept exactly as written.
    QString Name() const { return objectName(); }
    void SetName(const QString &nome);
    // The class the action opens (empty for an action of no class).
    const QString &NomeClasse() const { return FClasse; }
    void SetNomeClasse(const QString &c);

    // Place in the menu: '\'-separated path of "NN Name" segments ("02 Movimentos",
    // "01 Cadastros\45 -SPED\Consultas"). Empty: the action has no menu entry.
    const QString &Category() const { return FCategoria; }
    void SetCategory(const QString &c);
    const QString &Caption() const { return FCaption; }
    void SetCaption(const QString &c);
    int MenuIndex() const { return FIndice; }
    void SetMenuIndex(int i) { FIndice = i; }
    // Shortcut as text, modifiers first ("Shift+Ctrl+F12", "F8"); the front end parses it.
    const QString &ShortCut() const { return FAtalho; }
    void SetShortCut(const QString &s);
    int ImageIndex() const { return FImagem; } // -1: no image
    void SetImageIndex(int i) { FImagem = i; }

    // Selection keys (';'-joined selection parameters) chosen before the class opens, and the
    // switch that tells the framework to check them; a cleared switch opens the class
    // without asking for its keys.
    const QString &VerificaSelecao() const { return FChaves; }
    void SetVerificaSelecao(const QString &chaves);
    bool ChecarSelecao() const { return FChecarSelecao; }
    void SetChecarSelecao(bool b) { FChecarSelecao = b; }

    // User-rights control: the action is offered only to users granted it.
    bool ControlaDireito() const { return FControlaDireito; }
    void SetControlaDireito(bool b) { FControlaDireito = b; }

    // Master action of a detail register: TnActionList::GetHashComp of the master action's
    // name; 0 for an action without master.
    quint32 HashMestre() const { return FHashMestre; }
    void SetHashMestre(quint32 h) { FHashMestre = h; }
    void SetMestre(const QString &nomeAcaoMestre);

    // A number the action carries for the class it opens (a saved query's code); 0: none.
    int Tag() const { return FTag; }
    void SetTag(int t) { FTag = t; }

    const TnEventoAcao &OnExecute() const { return FEvento; }
    void SetOnExecute(const TnEventoAcao &e) { FEvento = e; }
    // Runs the execute event; false when there is none.
    bool Execute();

private:
    friend class TnActionList;
    friend class TnRegistro;
    QString FClasse, FCategoria, FCaption, FAtalho, FChaves;
    QString FClasseOrigem; // the class whose GerarPrincAction created it
    int FIndice = 0;
    int FImagem = -1;
    int FTag = 0;
    bool FChecarSelecao = true;
    bool FControlaDireito = false;
    quint32 FHashMestre = 0;
    TnEventoAcao FEvento;
};

class TnActionList : public QObject {
    Q_OBJECT
public:
    explicit TnActionList(QObject *pai = nullptr);
    ~TnActionList() override;

    // A new action of `classe`: name "act" + class name, the class's selection keys, the
    // event as its execute event.
    TnAction *Adicionar(const TnClasseInfo &classe, const TnEventoAcao &evento);
    // A new action of no class.
    TnAction *Adicionar(const QString &nome);
    // Takes an action of a derived kind, made on this list, into its actions.
    void Adicionar(TnAction *acao);

    int Count() const { return int(FAcoes.size()); }
    TnAction *Item(int i) const { return FAcoes.at(i); }
    const QList<TnAction *> &Acoes() const { return FAcoes; }
    TnAction *Acao(const QString &nome) const; // first of that name (any case), or nullptr
    void Limpar();
    // Deletes the actions that open `classe` or that its GerarPrincAction created.
    void RemoverDaClasse(const QString &classe);

    // Asks every registered class for its actions for the menu of `modulos`.
    void GerarPrincAction(const TnEventoAcao &evento, const TnModulos &modulos);

    // 32-bit hash of a text: FNV-1a (offset basis 2166136261, prime 16777619) over the
    // text's UTF-8 bytes, case-sensitive. Stored in the database as a master link, so it
    // must never change. GetHashComp("") = 0x811C9DC5, GetHashComp("a") = 0xE40C292C.
    static quint32 GetHashComp(const QString &texto);

signals:
    // Emitted after GerarPrincAction, Limpar and the removal of a class's actions (not on
    // each Adicionar).
    void Alterada();

private:
    QList<TnAction *> FAcoes;
};

// One menu action of a class, declared as data beside it (GerarAcao).
struct TnDefAcao {
    int Modulo = 3;              // built when the menu's module set holds it
    const char *Categoria = "";
    const char *Caption = "";
    int Indice = 0;
    const char *Atalho = "";     // "" for none
    int Imagem = -1;             // -1 for none
    bool ChecarSelecao = true;
    bool ControlaDireito = false;
    const char *AcaoMestre = ""; // the master register's action name; "" for none
};

// Adds the action of the first declaration whose module the set holds (one action per class
// and list: its name is "act" + class name) and answers it; nothing (nullptr) when the set
// holds none of them.
TnAction *GerarAcao(const std::vector<TnDefAcao> &acoes, const TnClasseInfo &classe, TnActionList &lista,
               const TnEventoAcao &evento, const TnModulos &modulos);
