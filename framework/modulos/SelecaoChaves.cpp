#include "SelecaoChaves.h"

#include "Conexao.h"
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

TnTipoChaveSelecao TipoChaveSelecao(const QString &chave)
{
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
