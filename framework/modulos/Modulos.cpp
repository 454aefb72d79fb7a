#include "Modulos.h"

#include "Acoes.h"
#include "TextoProprio.h"
#include "Variaveis.h"
#include "Valores.h"

#include <QtDebug>

namespace {
// The registry while it exists; null before and after (hooks that may run during the
// process's end check it instead of reviving the object).
TnRegistro *gRegistro = nullptr;

bool MesmoNome(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The live modules of a class, guarded: a hook may close other modules while we go.
QList<QPointer<TnDataModule>> Vivos(const QString &classe)
{
    QList<QPointer<TnDataModule>> l;
    if (classe.trimmed().isEmpty())
        return l;
    for (TnDataModule *m : Registro().Instancias(classe.trimmed()))
        l.append(m);
    return l;
}
} // namespace

TnModulos Modulos(std::initializer_list<int> numeros)
{
    TnModulos m;
    for (int n : numeros)
        m.set(size_t(n)); // std::out_of_range beyond 191
    return m;
}

QStringList TnClasseInfo::ChavesSelecao() const
{
    QStringList chaves;
    if (!PegarVerificaSelecao)
        return chaves;
    for (const QString &c : PegarVerificaSelecao().split(';', Qt::SkipEmptyParts)) {
        const QString t = c.trimmed();
        if (!t.isEmpty())
            chaves.append(TextoProprio(t));
    }
    return chaves;
}

// ---- TnDataModule ---------------------------------------------------------------------

TnDataModule::TnDataModule() = default;

TnDataModule::~TnDataModule()
{
    if (gRegistro)
        gRegistro->EsquecerInstancia(this);
}

TnAction *TnDataModule::Acao() const { return FAcao.data(); }

void TnDataModule::SetVerificaSelecaoManual(const QString &chaves)
{
    QStringList lista;
    for (const QString &c : chaves.split(';', Qt::SkipEmptyParts))
        if (const QString t = c.trimmed(); !t.isEmpty())
            lista.append(t);
    FChaves = lista;
    AvancarGeracaoSelecao();
}

void TnDataModule::FixarSelecao(const QString &chave, const QVariant &valor)
{
    const QString nome = chave.trimmed();
    if (nome.isEmpty())
        throw Exception(QStringLiteral("Parâmetro de seleção sem nome"));
    for (auto &p : FSelecaoFixa)
        if (MesmoNome(p->Name(), nome)) {
            p->SetValue(valor);
            return;
        }
    FSelecaoFixa.push_back(std::make_unique<TnParamSelecao>(nome));
    FSelecaoFixa.back()->SetValue(valor); // also a new generation of the selection
}

void TnDataModule::SoltarSelecao(const QString &chave)
{
    std::erase_if(FSelecaoFixa, [&](const auto &p) { return MesmoNome(p->Name(), chave.trimmed()); });
    AvancarGeracaoSelecao();
}

bool TnDataModule::SelecaoFixada(const QString &chave) const
{
    for (const auto &p : FSelecaoFixa)
        if (MesmoNome(p->Name(), chave.trimmed()))
            return true;
    return false;
}

const TnParamSelecao *TnDataModule::ParamSelecao(const QString &chave) const
{
    for (const auto &p : FSelecaoFixa)
        if (MesmoNome(p->Name(), chave.trimmed()))
            return p.get();
    return Selecao().Existe(chave) ? &Selecao().GetParams(chave) : nullptr;
}

void TnDataModule::GerarPrincAction(const TnClasseInfo &, TnActionList &, const TnEventoAcao &, const TnModulos &) {}
QString TnDataModule::PegarVerificaSelecao() { return QString(); }
int TnDataModule::PegarTipoObjeto() { return 0; }
QString TnDataModule::TituloJanela() const { return ClassName(); }
QString TnDataModule::TextoJanela() const { return ClassName(); }
void TnDataModule::AposCriar() {}
void TnDataModule::Atualizar() {}
void TnDataModule::AtualizarRegistro() {}

void TnDataModule::ReconfigurarDM(const QString &, bool recarregar)
{
    if (recarregar)
        Atualizar();
}

// ---- TnRegistro -----------------------------------------------------------------------

TnRegistro::TnRegistro()
{
    // The variables and the selection are made first so they outlive the registry: modules
    // destroyed at the end may still use them.
    Variaveis();
    Selecao();
    gRegistro = this;
}

TnRegistro::~TnRegistro()
{
    DestruirTodos();
    gRegistro = nullptr;
}

TnRegistro &Registro()
{
    static TnRegistro r;
    return r;
}

int TnRegistro::Indice(const QString &nome) const
{
    for (int i = 0; i < FClasses.size(); ++i)
        if (MesmoNome(FClasses[i].Info.Nome, nome))
            return i;
    return -1;
}

bool TnRegistro::Registrar(const TnClasseInfo &info)
{
    const QString nome = info.Nome.trimmed();
    if (nome.isEmpty() || !info.Criar) {
        qWarning("Classe sem nome ou sem construtor não pode ser registrada");
        return false;
    }
    if (Indice(nome) >= 0) {
        qWarning().noquote() << "Classe já registrada, registro recusado:" << nome;
        return false;
    }
    Entrada e;
    e.Info = info;
    e.Info.Nome = TextoProprio(nome);
    e.Biblioteca = FBibliotecaCarregando;
    FClasses.append(e);
    emit ClasseRegistrada(e.Info.Nome);
    return true;
}

void TnRegistro::RemoverIndice(int i)
{
    const QString nome = FClasses[i].Info.Nome;
    // Its modules first: their code (and the code of their destructors) is in the library.
    for (const QPointer<TnDataModule> &dm : Vivos(nome))
        delete dm.data();
    for (auto it = FActionPower.begin(); it != FActionPower.end();)
        it = MesmoNome(it.value(), nome) ? FActionPower.erase(it) : std::next(it);
    const int j = Indice(nome); // a destructor may have changed the list
    if (j >= 0)
        FClasses.removeAt(j);
    // Action lists delete the class's actions on this signal.
    emit ClasseRemovida(nome);
}

void TnRegistro::Remover(const QString &nome)
{
    const int i = Indice(nome);
    if (i >= 0)
        RemoverIndice(i);
}

void TnRegistro::Remover(const TnClasseInfo &info)
{
    const int i = Indice(info.Nome.trimmed());
    if (i >= 0 && FClasses[i].Info.Criar == info.Criar)
        RemoverIndice(i);
}

void TnRegistro::RemoverDaBiblioteca(const QString &biblioteca)
{
    for (const QString &nome : ClassesDaBiblioteca(biblioteca))
        Remover(nome);
}

const TnClasseInfo *TnRegistro::Classe(const QString &nome) const
{
    const int i = Indice(nome.trimmed());
    return i < 0 ? nullptr : &FClasses[i].Info;
}

QStringList TnRegistro::Classes() const
{
    QStringList r;
    for (const Entrada &e : FClasses)
        r.append(e.Info.Nome);
    return r;
}

QStringList TnRegistro::ClassesDaBiblioteca(const QString &biblioteca) const
{
    QStringList r;
    for (const Entrada &e : FClasses)
        if (!e.Biblioteca.isEmpty() && MesmoNome(e.Biblioteca, biblioteca))
            r.append(e.Info.Nome);
    return r;
}

TnDataModule *TnRegistro::Criar(const QString &classe, TnAction *acao, const QString &instancia, bool global)
{
    const TnClasseInfo *info = Classe(classe);
    if (!info)
        throw Exception(QStringLiteral("Classe não registrada: %1").arg(TrechoCitado(classe.trimmed())));
    QString nome = instancia.trimmed();
    if (nome.isEmpty())
        nome = info->Nome.startsWith('T', Qt::CaseInsensitive) ? info->Nome.mid(1) : info->Nome;
    if (global && FindGlobalDataModule(nome)) {
        int n = 2;
        while (FindGlobalDataModule(nome + '_' + QString::number(n)))
            ++n;
        nome += '_' + QString::number(n);
    }

    TnDataModule *dm = info->Criar();
    if (!dm)
        throw Exception(QStringLiteral("A classe %1 não criou o módulo").arg(info->Nome));
    dm->FClasse = info->Nome;
    dm->FAcao = acao;
    dm->FChaves = info->ChavesSelecao();
    AvancarGeracaoSelecao();
    dm->FGlobal = global;
    dm->setObjectName(TextoProprio(nome));
    FInstancias.append(dm);
    try {
        dm->AposCriar();
    } catch (...) {
        delete dm;
        throw;
    }
    return dm;
}

TnDataModule *TnRegistro::FindGlobalDataModule(const QString &instancia) const
{
    const QString nome = instancia.trimmed();
    for (TnDataModule *dm : FInstancias)
        if (dm->FGlobal && MesmoNome(dm->objectName(), nome))
            return dm;
    return nullptr;
}

QList<TnDataModule *> TnRegistro::Instancias(const QString &classe) const
{
    if (classe.isEmpty())
        return FInstancias;
    QList<TnDataModule *> r;
    for (TnDataModule *dm : FInstancias)
        if (MesmoNome(dm->FClasse, classe))
            r.append(dm);
    return r;
}

void TnRegistro::EsquecerInstancia(TnDataModule *dm)
{
    FInstancias.removeOne(dm);
}

void TnRegistro::DestruirTodos()
{
    // Newest first: a module may use one opened before it while it closes.
    while (!FInstancias.isEmpty())
        delete FInstancias.takeLast();
}

void TnRegistro::SetActionPowerInfo(int tipo, const QString &classe)
{
    if (classe.trimmed().isEmpty())
        FActionPower.remove(tipo);
    else
        FActionPower.insert(tipo, TextoProprio(classe.trimmed()));
}

QString TnRegistro::ActionPowerInfo(int tipo) const
{
    return FActionPower.value(tipo);
}

void TnRegistro::GerarAcoes(TnActionList &lista, const TnEventoAcao &evento, const TnModulos &modulos)
{
    // A copy: a class's GerarPrincAction must not be able to pull the list from under us.
    const QList<Entrada> classes = FClasses;
    for (const Entrada &e : classes) {
        if (!e.Info.GerarPrincAction)
            continue;
        const int antes = lista.Count();
        e.Info.GerarPrincAction(e.Info, lista, evento, modulos);
        for (int i = antes; i < lista.Count(); ++i)
            lista.Item(i)->FClasseOrigem = e.Info.Nome;
    }
}

// ---- The operations by their framework names -------------------------------------------

bool nRegisterClass(const TnClasseInfo &info) { return Registro().Registrar(info); }
void nUnRegisterClass(const QString &nome) { Registro().Remover(nome); }

void RemoverRegistroDe(const TnClasseInfo &info) noexcept
{
    if (!gRegistro)
        return;
    try {
        gRegistro->Remover(info);
    } catch (...) {
        qWarning().noquote() << "Falha ao remover o registro da classe" << info.Nome;
    }
}

TnDataModule *CriarDM(const QString &classe, TnAction *acao, const QString &instancia)
{
    return Registro().Criar(classe, acao, instancia, true);
}

TnDataModule *CriarDMNovo(const QString &classe, TnAction *acao)
{
    return Registro().Criar(classe, acao, QString(), false);
}

TnDataModule *FindGlobalDataModule(const QString &instancia) { return Registro().FindGlobalDataModule(instancia); }
void DestruirDM(TnDataModule *dm) { delete dm; }
void DestruirTodosDM() { Registro().DestruirTodos(); }
void SetActionPowerInfo(int tipo, const QString &classe) { Registro().SetActionPowerInfo(tipo, classe); }

void AtualizarDM(const QString &classe)
{
    for (const QPointer<TnDataModule> &dm : Vivos(classe))
        if (dm)
            dm->Atualizar();
}

void AtualizarDMRecord(const QString &classe)
{
    for (const QPointer<TnDataModule> &dm : Vivos(classe))
        if (dm)
            dm->AtualizarRegistro();
}
