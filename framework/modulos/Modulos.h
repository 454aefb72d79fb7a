#pragma once
// Modules and the class registry.
//
// Every module is a class derived from TnDataModule, registered by name when the library
// that holds it loads and unregistered when it unloads. The framework then finds it only by
// name: it creates modules (CriarDM), finds open ones (FindGlobalDataModule), asks each
// class for its menu actions (GerarPrincAction) and its selection keys
// (PegarVerificaSelecao) before any instance exists. Names are matched without regard to
// case.
//
// Nothing the registry keeps may outlive the library it came from: unregistering a class
// destroys its live instances, deletes the actions it created (in every TnActionList) and
// drops the action types bound to it.
//
// Where the register, consultation and process bases plug in: TnDMClientDataSet and
// TnDMPowerParam derive from TnDataModule. They redeclare the class methods below
// (PegarVerificaSelecao, PegarTipoObjeto, GerarPrincAction) with their own defaults, do
// their configuration in AposCriar (which CriarDM calls once the instance has its class and
// name), and refresh their data in Atualizar / AtualizarRegistro / ReconfigurarDM.
#include "Excecoes.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <bitset>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

class TnAction;
class TnActionList;
class TnDataModule;
class TnParamSelecao;
struct TnClasseInfo;

// Set of module numbers 0 to 191 for which a menu is built (this module is number 3, the
// general registry 0).
using TnModulos = std::bitset<192>;
TnModulos Modulos(std::initializer_list<int> numeros);

// Execute event of a menu action; the argument is the action (the sender).
using TnEventoAcao = std::function<void(TnAction *)>;

// The class-level entry of a registered class: its name, its factory and its class methods.
// The function pointers point into the library that registered the class.
struct TnClasseInfo {
    QString Nome;
    TnDataModule *(*Criar)() = nullptr;
    // Adds the class's actions to the list when `modulos` holds the module numbers it
    // belongs to. Receives its own entry as "Self" (name, selection keys).
    void (*GerarPrincAction)(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                             const TnModulos &modulos) = nullptr;
    // Selection keys the framework must have chosen before it opens the class: a ';'-joined
    // list of selection parameters ("CodigoEmpresa;CodigoEstab;DataInvent").
    QString (*PegarVerificaSelecao)() = nullptr;
    // 1 register, 2 consultation, 0 anything else.
    int (*PegarTipoObjeto)() = nullptr;

    QStringList ChavesSelecao() const; // PegarVerificaSelecao split at ';', blanks dropped
};

// Base of every module. An instance belongs to whoever created it (the form that shows it
// frees it when it closes); the registry only keeps track of it, and destroys it when its
// class is unregistered or at the program's end (DestruirTodosDM). Keep QPointers to
// modules you do not own.
class TnDataModule : public QObject {
    Q_OBJECT
public:
    TnDataModule();
    ~TnDataModule() override;

    // Registered class name ("TOrvoDMLctoInv"), set by CriarDM.
    const QString &ClassName() const { return FClasse; }
    // Instance name ("OrvoDMLctoInv"), the name FindGlobalDataModule finds.
    QString Nome() const { return objectName(); }
    // The action that opened the module, when one did (it may be gone by now).
    TnAction *Acao() const;
    // Listed among the open modules that FindGlobalDataModule finds (CriarDM), or a
    // private module (CriarDMNovo).
    bool Global() const { return FGlobal; }
    // The selection keys this instance follows: its class's, unless set by hand.
    const QStringList &ChavesSelecao() const { return FChaves; }
    // This instance reads by these keys instead of its class's: a ';'-joined list of
    // selection parameters or field names ("CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;"), blanks
    // dropped. For a caller that opens a module on one row (a register opened from a
    // consultation or a finding).
    void SetVerificaSelecaoManual(const QString &chaves);
    // Pins a selection key's value for this instance only: it reads (and fills new rows) by
    // `valor` instead of the connection's selection, which stays as it is, and a change of
    // that parameter in the selection no longer reaches it. A null `valor` pins "no value"
    // (the key does not filter). SoltarSelecao goes back to the connection's selection.
    void FixarSelecao(const QString &chave, const QVariant &valor);
    void SoltarSelecao(const QString &chave);
    bool SelecaoFixada(const QString &chave) const;
    // The selection parameter this instance reads for `chave`: its pinned value, else the
    // connection's selection parameter when one of that name exists; null otherwise (a key
    // nobody chose is not added to the selection by reading it).
    const TnParamSelecao *ParamSelecao(const QString &chave) const;

    // Class methods. A derived class hides them with its own static functions of the same
    // names; the registrar takes them from the class it registers.
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);
    static QString PegarVerificaSelecao();
    static int PegarTipoObjeto();

    // What the plain window of a module that declares no form of its own shows: its caption
    // and a sentence. Both default to the class name.
    virtual QString TituloJanela() const;
    virtual QString TextoJanela() const;

    // Hooks the framework calls on open modules.
    virtual void AposCriar();      // once, after CriarDM gave the instance its class and name
    virtual void Atualizar();      // AtualizarDM: re-read the data
    virtual void AtualizarRegistro(); // AtualizarDMRecord: re-read the current record
    // A selection parameter among the module's keys was changed (TnSelecao::ReconfigurarDM).
    // The base re-reads the data (Atualizar) when `recarregar` is true.
    virtual void ReconfigurarDM(const QString &parametro, bool recarregar);

private:
    friend class TnRegistro;
    QString FClasse;
    QPointer<TnAction> FAcao;
    QStringList FChaves;
    std::vector<std::unique_ptr<TnParamSelecao>> FSelecaoFixa;
    bool FGlobal = false;
};

// The registry. One per process (Registro()); all calls come from the user-interface thread.
class TnRegistro : public QObject {
    Q_OBJECT
public:
    TnRegistro();
    ~TnRegistro() override;

    // Registers a class. A class of the same name (any case) registered before is kept and
    // the new one refused (false, with a warning): two libraries cannot claim one name.
    bool Registrar(const TnClasseInfo &info);
    // Unregisters a class (see the top of this file for what goes with it). Unknown names
    // are ignored.
    void Remover(const QString &nome);
    // Unregisters only the entry made from `info` (same factory), so a library never
    // removes a class another library registered under the same name.
    void Remover(const TnClasseInfo &info);
    // Unregisters every class registered while `biblioteca` was loading.
    void RemoverDaBiblioteca(const QString &biblioteca);

    const TnClasseInfo *Classe(const QString &nome) const; // nullptr when not registered
    QStringList Classes() const;                           // in registration order
    QStringList ClassesDaBiblioteca(const QString &biblioteca) const;

    // Classes registered between Iniciar and Terminar belong to that library.
    void IniciarCargaBiblioteca(const QString &biblioteca) { FBibliotecaCarregando = biblioteca; }
    void TerminarCargaBiblioteca() { FBibliotecaCarregando.clear(); }

    TnDataModule *Criar(const QString &classe, TnAction *acao, const QString &instancia, bool global);
    TnDataModule *FindGlobalDataModule(const QString &instancia) const;
    QList<TnDataModule *> Instancias(const QString &classe = QString()) const; // all when empty
    void DestruirTodos();

    void SetActionPowerInfo(int tipo, const QString &classe);
    QString ActionPowerInfo(int tipo) const; // empty when no class is bound

    // Asks every registered class, in registration order, for its actions.
    void GerarAcoes(TnActionList &lista, const TnEventoAcao &evento, const TnModulos &modulos);

signals:
    void ClasseRegistrada(const QString &nome);
    // After its modules are gone; action lists delete the class's actions on it.
    void ClasseRemovida(const QString &nome);

private:
    struct Entrada {
        TnClasseInfo Info;
        QString Biblioteca; // empty: registered by the program itself
    };
    int Indice(const QString &nome) const;
    void RemoverIndice(int i);
    void EsquecerInstancia(TnDataModule *dm);
    friend class TnDataModule;

    QList<Entrada> FClasses;
    QList<TnDataModule *> FInstancias;
    QHash<int, QString> FActionPower;
    QString FBibliotecaCarregando;
};

TnRegistro &Registro();

// The operations by their framework names.
bool nRegisterClass(const TnClasseInfo &info);
void nUnRegisterClass(const QString &nome);
// A new module of the class, listed among the open modules under `instancia` (default: the
// class name without its leading "T"; when that name is already open, the new module gets
// "_2", "_3"... appended). Unknown class: Exception "Classe não registrada: ...".
TnDataModule *CriarDM(const QString &classe, TnAction *acao = nullptr, const QString &instancia = QString());
// A new private module of the class: not found by FindGlobalDataModule, freed by its creator.
TnDataModule *CriarDMNovo(const QString &classe, TnAction *acao = nullptr);
TnDataModule *FindGlobalDataModule(const QString &instancia);
void DestruirDM(TnDataModule *dm);
// Final destruction: every module still alive.
void DestruirTodosDM();
void SetActionPowerInfo(int tipo, const QString &classe);
// AtualizarDM / AtualizarDMRecord: the hook on every live module of the class.
void AtualizarDM(const QString &classe);
void AtualizarDMRecord(const QString &classe);

// The class-level entry of T (derived from TnDataModule, default-constructible).
template <class T>
TnClasseInfo InfoDaClasse(const QString &nome)
{
    static_assert(std::is_base_of_v<TnDataModule, T>, "a registered class derives from TnDataModule");
    TnClasseInfo i;
    i.Nome = nome;
    i.Criar = []() -> TnDataModule * { return new T(); };
    i.GerarPrincAction = &T::GerarPrincAction;
    i.PegarVerificaSelecao = &T::PegarVerificaSelecao;
    i.PegarTipoObjeto = &T::PegarTipoObjeto;
    return i;
}

// Unregisters the entry made from `info`; does nothing once the registry itself is gone
// (libraries finalised at the process's end).
void RemoverRegistroDe(const TnClasseInfo &info) noexcept;

// Registers T while the object lives: a unit declares one at namespace scope, so its classes
// are registered when its library loads and unregistered when it unloads.
//     static TnRegistrador<TOrvoDMLctoInv> registro("TOrvoDMLctoInv");
template <class T>
class TnRegistrador {
public:
    explicit TnRegistrador(const char *nome) : FInfo(InfoDaClasse<T>(QString::fromUtf8(nome)))
    {
        // Nothing may escape a library's start-up; a refusal was already warned about.
        try {
            FRegistrado = Registro().Registrar(FInfo);
        } catch (...) {
            FRegistrado = false;
        }
    }
    ~TnRegistrador()
    {
        if (FRegistrado)
            RemoverRegistroDe(FInfo);
    }
    TnRegistrador(const TnRegistrador &) = delete;
    TnRegistrador &operator=(const TnRegistrador &) = delete;

private:
    TnClasseInfo FInfo;
    bool FRegistrado = false;
};
