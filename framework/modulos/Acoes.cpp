#include "Acoes.h"

#include "ConsultaPersonalizada.h"
#include "TextoProprio.h"

// ---- TnAction -------------------------------------------------------------------------

TnAction::TnAction(TnActionList *lista) : QObject(lista) {}

void TnAction::SetName(const QString &nome) { setObjectName(TextoProprio(nome)); }
void TnAction::SetNomeClasse(const QString &c) { FClasse = TextoProprio(c); }
void TnAction::SetCategory(const QString &c) { FCategoria = TextoProprio(c); }
void TnAction::SetCaption(const QString &c) { FCaption = TextoProprio(c); }
void TnAction::SetShortCut(const QString &s) { FAtalho = TextoProprio(s); }
void TnAction::SetVerificaSelecao(const QString &chaves) { FChaves = TextoProprio(chaves); }
void TnAction::SetMestre(const QString &nomeAcaoMestre) { FHashMestre = TnActionList::GetHashComp(nomeAcaoMestre); }

bool TnAction::Execute()
{
    if (!FEvento)
        return false;
    FEvento(this);
    return true;
}

// ---- TnActionList ---------------------------------------------------------------------

TnActionList::TnActionList(QObject *pai) : QObject(pai)
{
    connect(&Registro(), &TnRegistro::ClasseRemovida, this, &TnActionList::RemoverDaClasse);
}

// The actions are children of the list and go with it.
TnActionList::~TnActionList() = default;

TnAction *TnActionList::Adicionar(const QString &nome)
{
    auto *a = new TnAction(this);
    a->SetName(nome);
    FAcoes.append(a);
    return a;
}

void TnActionList::Adicionar(TnAction *acao)
{
    if (!acao || acao->parent() != this)
        throw Exception(QStringLiteral("A ação não foi criada nesta lista."));
    if (!FAcoes.contains(acao))
        FAcoes.append(acao);
}

TnAction *TnActionList::Adicionar(const TnClasseInfo &classe, const TnEventoAcao &evento)
{
    TnAction *a = Adicionar(QStringLiteral("act") + classe.Nome);
    a->SetNomeClasse(classe.Nome);
    a->FClasseOrigem = a->FClasse;
    a->SetOnExecute(evento);
    if (classe.PegarVerificaSelecao)
        a->SetVerificaSelecao(classe.PegarVerificaSelecao());
    return a;
}

TnAction *TnActionList::Acao(const QString &nome) const
{
    for (TnAction *a : FAcoes)
        if (a->objectName().compare(nome, Qt::CaseInsensitive) == 0)
            return a;
    return nullptr;
}

void TnActionList::Limpar()
{
    const QList<TnAction *> acoes = std::exchange(FAcoes, {});
    qDeleteAll(acoes);
    emit Alterada();
}

void TnActionList::RemoverDaClasse(const QString &classe)
{
    QList<TnAction *> fora;
    for (TnAction *a : FAcoes)
        if (a->FClasse.compare(classe, Qt::CaseInsensitive) == 0
            || a->FClasseOrigem.compare(classe, Qt::CaseInsensitive) == 0)
            fora.append(a);
    if (fora.isEmpty())
        return;
    for (TnAction *a : fora)
        FAcoes.removeOne(a);
    qDeleteAll(fora);
    emit Alterada();
}

void TnActionList::GerarPrincAction(const TnEventoAcao &evento, const TnModulos &modulos)
{
    Registro().GerarAcoes(*this, evento, modulos);
    // Each saved custom query of a bound action type is an action of its own.
    GerarAcoesConsultasPersonalizadas(*this, evento, modulos);
    emit Alterada();
}

quint32 TnActionList::GetHashComp(const QString &texto)
{
    quint32 h = 2166136261u;
    for (const char c : texto.toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return h;
}

TnAction *GerarAcao(const std::vector<TnDefAcao> &acoes, const TnClasseInfo &classe, TnActionList &lista,
                    const TnEventoAcao &evento, const TnModulos &modulos)
{
    for (const TnDefAcao &d : acoes) {
        if (d.Modulo < 0 || d.Modulo >= int(modulos.size()) || !modulos.test(size_t(d.Modulo)))
            continue;
        TnAction *a = lista.Adicionar(classe, evento);
        a->SetCategory(QString::fromUtf8(d.Categoria));
        a->SetCaption(QString::fromUtf8(d.Caption));
        a->SetMenuIndex(d.Indice);
        a->SetShortCut(QString::fromUtf8(d.Atalho));
        a->SetImageIndex(d.Imagem);
        a->SetChecarSelecao(d.ChecarSelecao);
        a->SetControlaDireito(d.ControlaDireito);
        if (*d.AcaoMestre)
            a->SetMestre(QString::fromLatin1(d.AcaoMestre));
        return a;
    }
    return nullptr;
}
