#include "Variaveis.h"

#include "Excecoes.h"
#include "Modulos.h"
#include "TextoProprio.h"

#include <QDateTime>

QDate gDataInicialAtivo;

namespace {
quint64 gGeracaoSelecao = 0;
} // namespace

quint64 GeracaoSelecao() { return gGeracaoSelecao; }
void AvancarGeracaoSelecao() { ++gGeracaoSelecao; }

namespace {
bool MesmoNome(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

const char *const kVariaveisFw[] = {
    VarFw::gCodigoEmpresaAtiva, VarFw::gCodigoEstabAtiva, VarFw::gCodigoEmpresa,
    VarFw::gDataInvent,         VarFw::pDataInvent,       VarFw::pDataInvent_Pad,
    VarFw::gDataInventAtiva,    VarFw::gQTDECASADECIMAL,  VarFw::gQTDECASADECIMALQTD,
};

// Variables that follow a selection parameter.
struct Vinculo {
    const char *Parametro;
    std::initializer_list<const char *> Variaveis;
};
const Vinculo kVinculos[] = {
    {"DataInvent", {VarFw::gDataInvent, VarFw::pDataInvent, VarFw::pDataInvent_Pad, VarFw::gDataInventAtiva}},
    {"CodigoEmpresa", {VarFw::gCodigoEmpresaAtiva, VarFw::gCodigoEmpresa}},
    {"CodigoEstab", {VarFw::gCodigoEstabAtiva}},
};
} // namespace

// ---- TnVariaveis ----------------------------------------------------------------------

TnVariaveis::TnVariaveis() { Reiniciar(); }

int TnVariaveis::Indice(const QString &nome) const
{
    const QString n = nome.trimmed();
    for (int i = 0; i < FItens.size(); ++i)
        if (MesmoNome(FItens[i].first, n))
            return i;
    return -1;
}

QString TnVariaveis::Valor(const QString &nome) const
{
    const int i = Indice(nome);
    return i < 0 ? QString() : FItens[i].second;
}

void TnVariaveis::SetValor(const QString &nome, const QString &valor)
{
    const QString n = nome.trimmed();
    if (n.isEmpty() || n.contains('=') || n.contains('\n') || n.contains('\r'))
        throw Exception(QStringLiteral("Nome de variável inválido: \"%1\"").arg(nome));
    const int i = Indice(n);
    if (i < 0)
        FItens.append({TextoProprio(n), TextoProprio(valor)});
    else
        FItens[i].second = TextoProprio(valor);
}

bool TnVariaveis::Existe(const QString &nome) const { return Indice(nome) >= 0; }

void TnVariaveis::Remover(const QString &nome)
{
    const int i = Indice(nome);
    if (i >= 0)
        FItens.removeAt(i);
}

void TnVariaveis::Reiniciar()
{
    FItens.clear();
    for (const char *n : kVariaveisFw)
        FItens.append({QString::fromLatin1(n), QString()});
}

QStringList TnVariaveis::Lista() const
{
    QStringList r;
    for (const auto &p : FItens)
        r.append(p.first + '=' + p.second);
    return r;
}

TnVariaveis &Variaveis()
{
    static TnVariaveis v;
    return v;
}

QString ExternalVar(const QString &nome) { return Variaveis().Valor(nome); }
void ExternalVar(const QString &nome, const QString &valor) { Variaveis().SetValor(nome, valor); }

int EmpresaAtiva() { return ExternalVar(QString::fromLatin1(VarFw::gCodigoEmpresaAtiva)).trimmed().toInt(); }

QString PegarValorExternalVar(const QString &nome, const QString &padrao)
{
    const QString v = Variaveis().Valor(nome);
    return v.trimmed().isEmpty() ? padrao : v;
}

// ---- TnParamSelecao -------------------------------------------------------------------

TnParamSelecao::TnParamSelecao(const QString &nome) : FNome(TextoProprio(nome)) {}

void TnParamSelecao::SetValue(const QVariant &v)
{
    AvancarGeracaoSelecao();
    // A text is kept as the selection's own copy (see TextoProprio.h).
    FValor = v.typeId() == QMetaType::QString ? QVariant(TextoProprio(v.toString())) : v;
}

void TnParamSelecao::Clear()
{
    AvancarGeracaoSelecao();
    FValor = QVariant();
}

bool TnParamSelecao::IsNull() const
{
    return !FValor.isValid() || FValor.isNull()
           || (FValor.typeId() == QMetaType::QString && FValor.toString().trimmed().isEmpty());
}

QString TnParamSelecao::AsString() const
{
    if (IsNull())
        return QString();
    const int t = FValor.typeId();
    if (t == QMetaType::QDate || t == QMetaType::QDateTime)
        return AsDate().toString(QStringLiteral("dd/MM/yyyy"));
    return FValor.toString();
}

qint64 TnParamSelecao::AsInteger() const
{
    if (IsNull())
        return 0;
    if (FValor.typeId() == QMetaType::QString) {
        bool ok = false;
        const qint64 v = FValor.toString().trimmed().toLongLong(&ok);
        return ok ? v : 0;
    }
    bool ok = false;
    const double d = FValor.toDouble(&ok);
    if (!ok || d != double(qint64(d)))
        return 0;
    return qint64(d);
}

QDate TnParamSelecao::AsDate() const
{
    switch (FValor.typeId()) {
    case QMetaType::QDate:
        return FValor.toDate();
    case QMetaType::QDateTime:
        return FValor.toDateTime().date();
    case QMetaType::QString: {
        const QString s = FValor.toString().trimmed();
        QDate d = QDate::fromString(s, QStringLiteral("dd/MM/yyyy"));
        if (!d.isValid())
            d = QDate::fromString(s, Qt::ISODate);
        return d;
    }
    default:
        return QDate();
    }
}

// ---- TnSelecao ------------------------------------------------------------------------

TnParamSelecao &TnSelecao::GetParams(const QString &nome)
{
    const QString n = nome.trimmed();
    for (auto &p : FParams)
        if (MesmoNome(p->Name(), n))
            return *p;
    if (n.isEmpty())
        throw Exception(QStringLiteral("Parâmetro de seleção sem nome"));
    AvancarGeracaoSelecao();
    FParams.push_back(std::make_unique<TnParamSelecao>(n));
    return *FParams.back();
}

TnParamSelecao &TnSelecao::GetParams(int posicao)
{
    if (posicao < 0 || posicao >= Count())
        throw Exception(QStringLiteral("Parâmetro de seleção fora da lista: %1").arg(posicao));
    return *FParams[size_t(posicao)];
}

bool TnSelecao::Existe(const QString &nome) const
{
    for (const auto &p : FParams)
        if (MesmoNome(p->Name(), nome.trimmed()))
            return true;
    return false;
}

void TnSelecao::AtualizarVariaveis(const TnParamSelecao &p)
{
    for (const Vinculo &v : kVinculos) {
        if (!MesmoNome(p.Name(), QLatin1String(v.Parametro)))
            continue;
        QString texto;
        if (!p.IsNull())
            texto = MesmoNome(p.Name(), QStringLiteral("DataInvent"))
                        ? p.AsDate().toString(QStringLiteral("dd/MM/yyyy"))
                        : p.AsString().trimmed();
        for (const char *var : v.Variaveis)
            Variaveis().SetValor(QString::fromLatin1(var), texto);
    }
}

void TnSelecao::Reset()
{
    for (auto &p : FParams) {
        p->Clear();
        AtualizarVariaveis(*p);
    }
}

void TnSelecao::Refresh()
{
    for (const auto &p : FParams)
        AtualizarVariaveis(*p);
}

void TnSelecao::ReconfigurarDM(const QString &parametro, bool recarregar)
{
    const TnParamSelecao &p = GetParams(parametro);
    AtualizarVariaveis(p);
    ++FReconfiguracoes;
    // Guarded: a module's hook may open or close modules.
    const QList<TnDataModule *> modulos = Registro().Instancias();
    for (const QPointer<TnDataModule> &dm : QList<QPointer<TnDataModule>>(modulos.begin(), modulos.end())) {
        if (!dm)
            continue;
        // A key the module pinned for itself does not follow the selection.
        if (dm->SelecaoFixada(p.Name()))
            continue;
        for (const QString &chave : dm->ChavesSelecao())
            if (MesmoNome(chave, p.Name())) {
                dm->ReconfigurarDM(p.Name(), recarregar);
                break;
            }
    }
}

TnSelecao &Selecao()
{
    static TnSelecao s;
    return s;
}

void ReconfigurarDM(const QString &parametro, bool recarregar)
{
    Selecao().ReconfigurarDM(parametro, recarregar);
}
