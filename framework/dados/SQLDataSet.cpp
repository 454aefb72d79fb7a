#include "SQLDataSet.h"

#include "Campo.h"
#include "Literais.h"

namespace {
QString Identificador(const QString &nome)
{
    const QString t = nome.trimmed();
    if (!EhIdentificador(t))
        throw Exception(QStringLiteral("Nome de tabela ou campo inválido: \"%1\".").arg(nome));
    return t;
}

QString ListaCampos(const QString &campos, int &quantos)
{
    const QStringList partes = QString(campos).replace(',', ';').split(';', Qt::SkipEmptyParts);
    QStringList ok;
    for (const QString &p : partes)
        ok << Identificador(p);
    if (ok.isEmpty())
        throw Exception(QStringLiteral("Nenhum campo foi informado."));
    quantos = int(ok.size());
    return ok.join(", ");
}

// The greatest value the statement answers (`minimo` when none or smaller) plus `incremento`.
qint64 MaiorMais(TnComando &cmd, qint64 minimo, qint64 incremento)
{
    TnCursor &cur = cmd.Abrir();
    qint64 maior = minimo;
    if (cur.Proximo() && !cur.Nulo(0))
        maior = std::max(minimo, cur.Inteiro(0));
    return maior + incremento;
}

QString Onde(const QString &condicao)
{
    const QString t = condicao.trimmed();
    return t.isEmpty() ? QString() : QStringLiteral(" where ") + t;
}
} // namespace

QVariant nDMSQLDataSet::PegarValorCampo(const QString &tabela, const QString &campos, const QString &condicao,
                                        nDMConexao &c)
{
    int n = 0;
    const QString lista = ListaCampos(campos, n);
    // Settings are looked up again and again (a module configuring its fields on each move).
    auto cmd = c.PrepararGuardado("select " + lista + " from " + Identificador(tabela) + Onde(condicao));
    TnCursor &cur = cmd->Abrir();
    if (!cur.Proximo())
        return {};
    if (n == 1)
        return cur.Valor(0);
    QVariantList vals;
    for (int i = 0; i < n; ++i)
        vals << cur.Valor(i);
    return vals;
}

bool nDMSQLDataSet::PegarTemRegistro(const QString &tabela, const QString &campo, const QString &condicao,
                                     nDMConexao &c)
{
    auto cmd = c.Preparar("select " + Identificador(campo) + " from " + Identificador(tabela) + Onde(condicao) +
                          " limit 1");
    return cmd->Abrir().Proximo();
}

qint64 nDMSQLDataSet::PegarQtdRegistro(const QString &tabela, const QString &condicao, nDMConexao &c)
{
    auto cmd = c.Preparar("select count(*) from " + Identificador(tabela) + Onde(condicao));
    TnCursor &cur = cmd->Abrir();
    return cur.Proximo() ? cur.Inteiro(0) : 0;
}

qint64 nDMSQLDataSet::PegarProximoCodigo(const QString &tabela, const QString &campo, const QString &condicao,
                                         qint64 minimo, qint64 incremento, nDMConexao &c)
{
    auto cmd = c.Preparar("select max(" + Identificador(campo) + ") from " + Identificador(tabela) + Onde(condicao));
    return MaiorMais(*cmd, minimo, incremento);
}

qint64 nDMSQLDataSet::ProximaSequencia(const QString &tabela, const QString &coluna,
                                       const QList<const TnField *> &escopo, nDMConexao &c)
{
    QStringList condicoes;
    QList<const TnField *> vinculados;
    for (const TnField *f : escopo) {
        const QString nome = Identificador(f->FieldName());
        if (f->IsNull())
            condicoes << nome + " is null";
        else {
            condicoes << nome + " = ?";
            vinculados << f;
        }
    }
    auto cmd = c.PrepararGuardado("select max(" + Identificador(coluna) + ") from " + Identificador(tabela) +
                                  Onde(condicoes.join(" and ")));
    for (int i = 0; i < vinculados.size(); ++i)
        cmd->BindValor(i, vinculados[i]->AsVariant());
    const qint64 r = MaiorMais(*cmd, 0, 1);
    cmd->Fechar();
    return r;
}

int nDMSQLDataSet::UpDateValorCampo(const QString &tabela, const QString &campo, const QVariant &valor,
                                    const QString &condicao, nDMConexao &c)
{
    auto cmd = c.Preparar("update " + Identificador(tabela) + " set " + Identificador(campo) + " = ?" + Onde(condicao));
    cmd->BindValor(0, valor);
    return cmd->Executar();
}

int nDMSQLDataSet::LimpaRegistro(const QString &tabela, const QString &condicao, nDMConexao &c)
{
    if (condicao.trimmed().isEmpty())
        throw Exception(QStringLiteral("Exclusão sem condição recusada na tabela %1.").arg(tabela));
    return c.Executar("delete from " + Identificador(tabela) + Onde(condicao));
}

int ExecutarSQLDireto(const QString &sql, nDMConexao &c) { return c.Executar(sql); }
QDateTime PegarDataServidor(bool comHora) { return nDMConexao::Atual().PegarDataServidor(comHora); }
TTipoCon PegarTipoCon() { return nDMConexao::Atual().PegarTipoCon(); }

// ---------------------------------------------------------------- TBlockCommand

TBlockCommand::TBlockCommand(TTipoCon dialeto, int tamanho)
    : FDialeto(dialeto), FTamanho(tamanho > 0 ? tamanho : (dialeto == tcPostgreSQL ? 200 : 1))
{
}

void TBlockCommand::Add(const QString &sql)
{
    QString s = sql.trimmed();
    while (s.endsWith(';'))
        s.chop(1);
    if (!s.isEmpty())
        FComandos << s;
}

QStringList TBlockCommand::ToCommandList() const
{
    QStringList grupos;
    for (qsizetype i = 0; i < FComandos.size(); i += FTamanho)
        grupos << FComandos.mid(i, FTamanho).join(";\n");
    return grupos;
}

void TBlockCommand::Executar(nDMConexao &c)
{
    // A private transaction number that cannot meet a caller's numbers.
    constexpr int idBloco = -1001;
    TnTransacao t(idBloco, c);
    // One call for the whole block: statements of one shape are prepared once, and on the
    // server they go in one pipeline; a failure is still named where it happens.
    int falhou = -1;
    try {
        c.ExecutarComandos(FComandos, &falhou);
    } catch (const EDatabaseError &e) {
        const QString comando = falhou >= 0 && falhou < FComandos.size() ? FComandos[falhou] : e.SQL();
        throw EDatabaseError(QStringLiteral("Falha no comando %1 de %2 do bloco; nada do bloco foi gravado. %3\n%4")
                                 .arg(falhou + 1).arg(FComandos.size()).arg(e.Message(), comando),
                             e.Estado(), e.CodigoNativo(), e.TextoMotor(), comando);
    }
    t.Commit();
}
