#include "SelecaoChaves.h"

#include "Conexao.h"
#include "Dicionario.h"
#include "Personalizacao.h"
#include "Valores.h"
#include "Variaveis.h"

namespace {
bool MesmoNome(const QString &a, const char *b) { return a.trimmed().compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

// Code and name of every row of a query, as "code - name".
QList<TnOpcaoSelecao> LerOpcoes(const QString &sql, const QVariantList &params = {})
{
    QList<TnOpcaoSelecao> r;
    nDMConexao *con = nDMConexao::AtualOuNulo();
    if (!con)
        return r;
    auto cmd = con->Preparar(sql);
    for (int i = 0; i < params.size(); ++i)
        cmd->BindValor(i, params[i]);
    TnCursor &c = cmd->Abrir();
    while (c.Proximo()) {
        const qint64 codigo = c.Inteiro(0);
        const QString nome = c.Nulo(1) ? QString() : c.Texto(1).trimmed();
        r.append({codigo, nome.isEmpty() ? QString::number(codigo) : QStringLiteral("%1 - %2").arg(codigo).arg(nome)});
    }
    return r;
}
} // namespace

TnLimiteFaixa LimiteFaixa(const QString &chave, QString *campo)
{
    static const QLatin1String kInicio("_MENORIGUAL"), kFim("_MAIORIGUAL");
    const QString c = chave.trimmed();
    const TnLimiteFaixa r = c.endsWith(kInicio, Qt::CaseInsensitive) ? lfInicio
                            : c.endsWith(kFim, Qt::CaseInsensitive)  ? lfFim
                                                                     : lfNenhum;
    if (r != lfNenhum && c.size() == kInicio.size())
        return lfNenhum; // a suffix alone names no field
    if (campo)
        *campo = r == lfNenhum ? QString() : c.left(c.size() - kInicio.size());
    return r;
}

namespace {
// -1, 0 or 1; `comparavel` false when the two are not both dates or both numbers.
int CompararLimites(const QVariant &a, const QVariant &b, bool &comparavel)
{
    TnParamSelecao pa(QStringLiteral("a")), pb(QStringLiteral("b"));
    pa.SetValue(a);
    pb.SetValue(b);
    comparavel = true;
    if (pa.AsDate().isValid() && pb.AsDate().isValid())
        return pa.AsDate() < pb.AsDate() ? -1 : (pa.AsDate() == pb.AsDate() ? 0 : 1);
    double x = 0, y = 0;
    if (TextoParaNumero(pa.AsString(), x) && TextoParaNumero(pb.AsString(), y))
        return x < y ? -1 : (x == y ? 0 : 1);
    comparavel = false;
    return 0;
}
} // namespace

void ExigirFaixaValida(const QString &campo, const QVariant &inicio, const QVariant &fim)
{
    if (EhNulo(inicio) || EhNulo(fim))
        return;
    bool comparavel = false;
    if (CompararLimites(inicio, fim, comparavel) <= 0 || !comparavel)
        return;
    TnParamSelecao pi(QStringLiteral("i")), pf(QStringLiteral("f"));
    pi.SetValue(inicio);
    pf.SetValue(fim);
    const QString base = campo.trimmed();
    throw Exception(QStringLiteral("%1 (%2) não pode ser anterior a %3 (%4).")
                        .arg(RotuloChaveSelecao(base + QStringLiteral("_MAIORIGUAL")), pf.AsString(),
                             RotuloChaveSelecao(base + QStringLiteral("_MENORIGUAL")), pi.AsString()));
}

TnTipoChaveSelecao TipoChaveSelecao(const QString &chave)
{
    if (LimiteFaixa(chave) != lfNenhum)
        return tcsData;
    if (MesmoNome(chave, "CodigoEmpresa") || MesmoNome(chave, "CodigoEstab"))
        return tcsLista;
    if (MesmoNome(chave, "DataInvent"))
        return tcsMesAno;
    if (chave.trimmed().startsWith(QLatin1String("Data"), Qt::CaseInsensitive))
        return tcsData;
    return tcsTexto;
}

QString RotuloChaveSelecao(const QString &chave)
{
    QString campo;
    if (const TnLimiteFaixa limite = LimiteFaixa(chave, &campo); limite != lfNenhum) {
        const QString caption = CaptionDoDicionario(campo);
        return (caption.isEmpty() ? campo : caption)
               + (limite == lfInicio ? QStringLiteral(" inicial") : QStringLiteral(" final"));
    }
    if (MesmoNome(chave, "CodigoEmpresa"))
        return QStringLiteral("Empresa");
    if (MesmoNome(chave, "CodigoEstab"))
        return QStringLiteral("Estabelecimento");
    if (MesmoNome(chave, "DataInvent"))
        return QStringLiteral("Período do inventário");
    return chave.trimmed();
}

QStringList ChavesPendentes(const QStringList &chaves)
{
    QStringList r;
    for (const QString &c : chaves)
        if (!c.trimmed().isEmpty() && Selecao().GetParams(c).IsNull())
            r.append(c.trimmed());
    return r;
}

QList<TnOpcaoSelecao> EmpresasCadastradas()
{
    return LerOpcoes(QStringLiteral("select CODIGOEMPRESA, NOMEEMPRESA from EMPRESA order by CODIGOEMPRESA"));
}

QList<TnOpcaoSelecao> UsuariosCadastrados()
{
    return LerOpcoes(QStringLiteral("select CODIGOUSUARIO, NOMEUSUARIO from USUARIO order by CODIGOUSUARIO"));
}

QList<TnOpcaoSelecao> OpcoesChaveSelecao(const QString &chave, const QVariant &empresa)
{
    if (MesmoNome(chave, "CodigoEmpresa"))
        return EmpresasCadastradas();
    if (!MesmoNome(chave, "CodigoEstab"))
        return {};
    const TnParamSelecao &p = Selecao().GetParams(QStringLiteral("CodigoEmpresa"));
    bool ok = false;
    const qint64 codigo = (empresa.isValid() && !empresa.toString().trimmed().isEmpty() ? empresa : p.Value())
                              .toString().trimmed().toLongLong(&ok);
    if (!ok)
        return {};
    return LerOpcoes(QStringLiteral("select CODIGOESTAB, NOMEESTAB from ESTAB where CODIGOEMPRESA = ? order by CODIGOESTAB"),
                     {codigo});
}

void AplicarSelecao(const QList<QPair<QString, QVariant>> &valores)
{
    // Each range the values touch, the bound not given taken from the selection.
    const auto valorDe = [&](const QString &nome) -> QVariant {
        for (const auto &v : valores)
            if (v.first.trimmed().compare(nome, Qt::CaseInsensitive) == 0)
                return v.second;
        return Selecao().Existe(nome) ? Selecao().GetParams(nome).Value() : QVariant();
    };
    for (const auto &v : valores) {
        QString campo;
        if (LimiteFaixa(v.first, &campo) != lfNenhum)
            ExigirFaixaValida(campo, valorDe(campo + QStringLiteral("_MENORIGUAL")),
                              valorDe(campo + QStringLiteral("_MAIORIGUAL")));
    }
    bool temEstab = false;
    for (const auto &v : valores)
        temEstab = temEstab || MesmoNome(v.first, "CodigoEstab");
    QStringList mudaram;
    for (const auto &v : valores) {
        TnParamSelecao &p = Selecao().GetParams(v.first);
        if (p.Value() == v.second)
            continue;
        p.SetValue(v.second);
        mudaram.append(p.Name());
        if (MesmoNome(v.first, "CodigoEmpresa") && !temEstab && Selecao().Existe(QStringLiteral("CodigoEstab"))) {
            TnParamSelecao &estab = Selecao().GetParams(QStringLiteral("CodigoEstab"));
            if (!estab.IsNull()) {
                estab.Clear();
                mudaram.append(estab.Name());
            }
        }
    }
    for (const QString &nome : mudaram)
        ReconfigurarDM(nome, true);
}

namespace {
const char kSecaoSessao[] = "Sessao";
const char *const kChavesSessao[] = {"CodigoEmpresa", "CodigoEstab", "DataInvent"};

bool TemOpcao(const QList<TnOpcaoSelecao> &opcoes, qint64 valor)
{
    for (const TnOpcaoSelecao &o : opcoes)
        if (o.Valor.toLongLong() == valor)
            return true;
    return false;
}
} // namespace

void GuardarSelecaoDoUsuario()
{
    for (const char *chave : kChavesSessao) {
        const QString nome = QString::fromLatin1(chave);
        const TnParamSelecao *p = Selecao().Existe(nome) ? &Selecao().GetParams(nome) : nullptr;
        QString valor;
        if (p && !p->IsNull())
            valor = MesmoNome(nome, "DataInvent") ? p->AsDate().toString(Qt::ISODate) : p->AsString().trimmed();
        TnPreferenciasUsuario::Gravar(QString::fromLatin1(kSecaoSessao), nome, valor);
    }
}

bool RestaurarSelecaoDoUsuario()
{
    const auto ler = [](const char *chave) {
        return TnPreferenciasUsuario::Ler(QString::fromLatin1(kSecaoSessao), QString::fromLatin1(chave)).trimmed();
    };
    bool ok = false;
    const qint64 empresa = ler("CodigoEmpresa").toLongLong(&ok);
    if (!ok || !TemOpcao(EmpresasCadastradas(), empresa))
        return false;
    QList<QPair<QString, QVariant>> valores{{QStringLiteral("CodigoEmpresa"), empresa}};
    const qint64 estab = ler("CodigoEstab").toLongLong(&ok);
    if (ok && TemOpcao(OpcoesChaveSelecao(QStringLiteral("CodigoEstab"), empresa), estab))
        valores.append({QStringLiteral("CodigoEstab"), estab});
    const QDate periodo = PrimeiroDiaDoMes(QDate::fromString(ler("DataInvent"), Qt::ISODate));
    if (periodo.isValid()) {
        valores.append({QStringLiteral("DataInvent"), periodo});
        gDataInicialAtivo = periodo;
    }
    AplicarSelecao(valores);
    return true;
}
