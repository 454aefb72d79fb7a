#include "Esquema.h"

#include <algorithm>

#include "Excecoes.h"

#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace {

// PostgreSQL keeps names of up to 63 characters.
constexpr int TamanhoMaximoNome = 63;

bool EhNomeValido(const QString &nome)
{
    static const QRegularExpression re(QStringLiteral("^[A-Z_][A-Z0-9_]*$"));
    return nome.size() <= TamanhoMaximoNome && re.match(nome).hasMatch();
}

bool EhLiteralValido(const QString &literal)
{
    static const QRegularExpression re(QStringLiteral("^(-?[0-9]+(\\.[0-9]+)?|'([^']|'')*')$"));
    return re.match(literal).hasMatch();
}

[[noreturn]] void Falhar(const QString &tabela, const QString &texto)
{
    throw Exception(QStringLiteral("Esquema do banco, tabela %1: %2").arg(tabela, texto));
}

void ChecarColunas(const TnTabelaEsq &t, const QString &lista, const QString &onde)
{
    const QStringList nomes = ListaNomes(lista);
    if (nomes.isEmpty())
        Falhar(t.Nome, QStringLiteral("%1 sem colunas.").arg(onde));
    QSet<QString> vistas;
    for (const QString &n : nomes) {
        if (!t.Coluna(n))
            Falhar(t.Nome, QStringLiteral("%1 cita a coluna %2, que a tabela não tem.").arg(onde, n));
        if (vistas.contains(n.toUpper()))
            Falhar(t.Nome, QStringLiteral("%1 repete a coluna %2.").arg(onde, n));
        vistas.insert(n.toUpper());
    }
}

void ChecarColuna(const TnTabelaEsq &t, const TnColunaEsq &c)
{
    if (!EhNomeValido(c.Nome))
        Falhar(t.Nome, QStringLiteral("nome de coluna inválido \"%1\".").arg(c.Nome));
    switch (c.Tipo) {
    case ftString:
        if (c.Tamanho <= 0)
            Falhar(t.Nome, QStringLiteral("a coluna %1 não tem tamanho.").arg(c.Nome));
        break;
    case ftBCD:
        if (c.Precisao <= 0 || c.Precisao > 38 || c.Escala < 0 || c.Escala > c.Precisao)
            Falhar(t.Nome, QStringLiteral("precisão ou escala inválida na coluna %1.").arg(c.Nome));
        break;
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftFloat:
    case ftDate:
    case ftDateTime:
    case ftMemo:
        break;
    case ftUnknown:
    case ftBoolean:
        // Yes/no values are one-character texts "1" and "0".
        Falhar(t.Nome, QStringLiteral("a coluna %1 tem um tipo que o esquema não usa.").arg(c.Nome));
    }
    if (c.Fixo && c.Tipo != ftString)
        Falhar(t.Nome, QStringLiteral("só texto pode ter tamanho fixo (coluna %1).").arg(c.Nome));
    if (!c.Padrao.isEmpty() && !EhLiteralValido(c.Padrao))
        Falhar(t.Nome, QStringLiteral("valor padrão inválido na coluna %1.").arg(c.Nome));
}

bool MesmoTipo(const TnColunaEsq &a, const TnColunaEsq &b)
{
    return a.Tipo == b.Tipo && a.Tamanho == b.Tamanho && a.Precisao == b.Precisao && a.Escala == b.Escala;
}

QString Juntar(const QStringList &nomes) { return nomes.join(QStringLiteral(", ")); }

QString DefinicaoColuna(const TnTabelaEsq &t, const TnColunaEsq &c, TTipoCon tipo)
{
    QString s = c.Nome + ' ' + TipoSQL(c, tipo);
    if (!c.Padrao.isEmpty())
        s += QStringLiteral(" DEFAULT ") + c.Padrao;
    if (c.NaoNulo)
        s += QStringLiteral(" NOT NULL");
    if (tipo == tcSQLite && c.Tipo == ftDate) {
        // Only a real date in ISO form passes: julianday() reads the text and date() writes
        // it back, so '2024-02-30', '2024-3-1' and '2024-03-01 10:00' do not come back equal.
        s += QStringLiteral(" CONSTRAINT CHK_%1_%2 CHECK (%2 IS date(julianday(%2)))").arg(t.Nome, c.Nome);
    }
    return s;
}

// SQLite does not keep the scale of numeric(p,s): the value is rewritten rounded when it
// differs from its rounding. The guard rounds with round(x * 10^s) / 10^s, which SQLite
// computes without text conversion; the rewrite uses round(x, s), which rounds the decimal
// form half away from zero (1.005 -> 1.01, 2.675 -> 2.68), as PostgreSQL's numeric does.
QStringList GatilhosArredondamento(const TnTabelaEsq &t, const TnColunaEsq &c)
{
    const QString fator = QString::number(std::pow(10.0, c.Escala), 'f', 1);
    const QString guarda = QStringLiteral("NEW.%1 <> round(NEW.%1 * %2) / %2").arg(c.Nome, fator);
    const QString corpo = QStringLiteral("BEGIN UPDATE %1 SET %2 = round(%2, %3) WHERE rowid = NEW.rowid; END")
                              .arg(t.Nome, c.Nome).arg(c.Escala);
    return {
        QStringLiteral("CREATE TRIGGER TRG_%1_%2_I AFTER INSERT ON %1 FOR EACH ROW WHEN %3 %4")
            .arg(t.Nome, c.Nome, guarda, corpo),
        QStringLiteral("CREATE TRIGGER TRG_%1_%2_U AFTER UPDATE OF %2 ON %1 FOR EACH ROW WHEN %3 %4")
            .arg(t.Nome, c.Nome, guarda, corpo),
    };
}

bool TemColunaNula(const TnTabelaEsq &t, const QStringList &colunas)
{
    for (const QString &n : colunas)
        if (!t.Coluna(n)->NaoNulo)
            return true;
    return false;
}

QString RegraUnicaPg(const TnTabelaEsq &t, const TnRegraUnicaEsq &u)
{
    const QStringList cols = ListaNomes(u.Colunas);
    const bool nulosIguais = u.NulosIguais && TemColunaNula(t, cols);
    return QStringLiteral("CONSTRAINT %1 UNIQUE%2 (%3)")
        .arg(u.Nome, nulosIguais ? QStringLiteral(" NULLS NOT DISTINCT") : QString(), Juntar(cols));
}

QString IndiceUnicoSQLite(const TnTabelaEsq &t, const TnRegraUnicaEsq &u)
{
    QStringList termos;
    for (const QString &n : ListaNomes(u.Colunas))
        termos << (u.NulosIguais && !t.Coluna(n)->NaoNulo ? QStringLiteral("ifnull(%1, X'00')").arg(n) : n);
    return QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)").arg(u.Nome, t.Nome, Juntar(termos));
}

// A refused delete is NO ACTION, checked at the end of the statement: SQLite reports it as
// a broken reference, while for RESTRICT it reports an error of its internal triggers.
QString ChaveEstrangeira(const TnChaveEstrangeiraEsq &f)
{
    return QStringLiteral("CONSTRAINT %1 FOREIGN KEY (%2) REFERENCES %3 (%4) ON DELETE %5")
        .arg(f.Nome, Juntar(ListaNomes(f.Colunas)), f.TabelaRef, Juntar(ListaNomes(f.ColunasRef)),
             f.AoExcluir == aeCascata ? QStringLiteral("CASCADE") : QStringLiteral("NO ACTION"));
}

} // namespace

const TnColunaEsq *TnTabelaEsq::Coluna(const QString &nome) const
{
    for (const TnColunaEsq &c : Colunas)
        if (c.Nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const TnTabelaEsq *TabelaDoEsquema(const TnEsquema &esquema, const QString &nome)
{
    for (const TnTabelaEsq &t : esquema)
        if (t.Nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QStringList ListaNomes(const QString &lista)
{
    QStringList nomes;
    for (const QString &n : lista.split(';', Qt::SkipEmptyParts))
        if (!n.trimmed().isEmpty())
            nomes << n.trimmed();
    return nomes;
}

void ValidarEsquema(const TnEsquema &esquema)
{
    // Tables, keys, rules and indexes share one namespace on PostgreSQL.
    QSet<QString> nomes;
    auto registrar = [&nomes](const QString &tabela, const QString &nome) {
        if (!EhNomeValido(nome))
            Falhar(tabela, QStringLiteral("nome inválido \"%1\".").arg(nome));
        if (nomes.contains(nome))
            Falhar(tabela, QStringLiteral("o nome %1 já foi usado no esquema.").arg(nome));
        nomes.insert(nome);
    };
    for (const TnTabelaEsq &t : esquema) {
        registrar(t.Nome, t.Nome);
        registrar(t.Nome, t.NomeChavePrimaria());
        if (t.Colunas.empty())
            Falhar(t.Nome, QStringLiteral("tabela sem colunas."));
        QSet<QString> colunas;
        for (const TnColunaEsq &c : t.Colunas) {
            ChecarColuna(t, c);
            if (colunas.contains(c.Nome))
                Falhar(t.Nome, QStringLiteral("coluna %1 repetida.").arg(c.Nome));
            colunas.insert(c.Nome);
        }
        ChecarColunas(t, t.ChavePrimaria, QStringLiteral("a chave primária"));
        for (const QString &n : ListaNomes(t.ChavePrimaria))
            if (!t.Coluna(n)->NaoNulo)
                Falhar(t.Nome, QStringLiteral("a coluna %1 da chave primária aceita nulo.").arg(n));
        for (const TnRegraUnicaEsq &u : t.Unicas) {
            registrar(t.Nome, u.Nome);
            ChecarColunas(t, u.Colunas, QStringLiteral("a regra %1").arg(u.Nome));
        }
        for (const TnIndiceEsq &i : t.Indices) {
            registrar(t.Nome, i.Nome);
            ChecarColunas(t, i.Colunas, QStringLiteral("o índice %1").arg(i.Nome));
        }
        for (const TnChaveEstrangeiraEsq &f : t.Estrangeiras) {
            registrar(t.Nome, f.Nome);
            ChecarColunas(t, f.Colunas, QStringLiteral("a referência %1").arg(f.Nome));
            const TnTabelaEsq *ref = TabelaDoEsquema(esquema, f.TabelaRef);
            if (!ref)
                Falhar(t.Nome, QStringLiteral("a referência %1 cita a tabela %2, que o esquema não tem.")
                                   .arg(f.Nome, f.TabelaRef));
            const QStringList de = ListaNomes(f.Colunas);
            const QStringList para = ListaNomes(f.ColunasRef);
            if (para.join(';').compare(ListaNomes(ref->ChavePrimaria).join(';'), Qt::CaseInsensitive) != 0)
                Falhar(t.Nome, QStringLiteral("a referência %1 não aponta para a chave primária de %2.")
                                   .arg(f.Nome, ref->Nome));
            if (de.size() != para.size())
                Falhar(t.Nome, QStringLiteral("a referência %1 tem um número de colunas diferente da chave de %2.")
                                   .arg(f.Nome, ref->Nome));
            for (int i = 0; i < de.size(); ++i)
                if (!MesmoTipo(*t.Coluna(de[i]), *ref->Coluna(para[i])))
                    Falhar(t.Nome, QStringLiteral("a referência %1 liga %2 a %3.%4, de outro tipo.")
                                       .arg(f.Nome, de[i], ref->Nome, para[i]));
        }
    }
}

QString TipoSQL(const TnColunaEsq &c, TTipoCon tipo)
{
    switch (c.Tipo) {
    case ftSmallint: return QStringLiteral("SMALLINT");
    case ftInteger: return QStringLiteral("INTEGER");
    case ftLargeint: return QStringLiteral("BIGINT");
    case ftFloat: return QStringLiteral("DOUBLE PRECISION");
    case ftBCD: return QStringLiteral("NUMERIC(%1,%2)").arg(c.Precisao).arg(c.Escala);
    case ftString: return QStringLiteral("%1(%2)").arg(c.Fixo ? "CHAR" : "VARCHAR").arg(c.Tamanho);
    case ftDate: return QStringLiteral("DATE");
    case ftDateTime: return QStringLiteral("TIMESTAMP");
    case ftMemo: return QStringLiteral("TEXT");
    case ftUnknown:
    case ftBoolean: break;
    }
    Q_UNUSED(tipo);
    throw Exception(QStringLiteral("A coluna %1 tem um tipo que o esquema não usa.").arg(c.Nome));
}

QStringList DDLCriarTabela(const TnTabelaEsq &t, TTipoCon tipo)
{
    QStringList partes;
    for (const TnColunaEsq &c : t.Colunas)
        partes << DefinicaoColuna(t, c, tipo);
    partes << QStringLiteral("CONSTRAINT %1 PRIMARY KEY (%2)")
                  .arg(t.NomeChavePrimaria(), Juntar(ListaNomes(t.ChavePrimaria)));
    if (tipo == tcPostgreSQL)
        for (const TnRegraUnicaEsq &u : t.Unicas)
            partes << RegraUnicaPg(t, u);
    for (const TnChaveEstrangeiraEsq &f : t.Estrangeiras)
        partes << ChaveEstrangeira(f);

    QStringList ddl;
    ddl << QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(t.Nome, partes.join(QStringLiteral(",\n  ")));
    if (tipo == tcSQLite)
        for (const TnRegraUnicaEsq &u : t.Unicas)
            ddl << IndiceUnicoSQLite(t, u);
    for (const TnIndiceEsq &i : t.Indices)
        ddl << QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(i.Nome, t.Nome, Juntar(ListaNomes(i.Colunas)));
    if (tipo == tcSQLite)
        for (const TnColunaEsq &c : t.Colunas)
            if (c.Tipo == ftBCD)
                ddl << GatilhosArredondamento(t, c);
    return ddl;
}

QStringList DDLAdicionarColuna(const TnTabelaEsq &t, const QString &coluna, TTipoCon tipo)
{
    const TnColunaEsq *c = t.Coluna(coluna);
    if (!c)
        Falhar(t.Nome, QStringLiteral("não há coluna %1 para acrescentar.").arg(coluna));
    auto naLista = [c](const QString &lista) { return ListaNomes(lista).contains(c->Nome, Qt::CaseInsensitive); };
    bool emRegra = naLista(t.ChavePrimaria);
    for (const TnRegraUnicaEsq &u : t.Unicas)
        emRegra = emRegra || naLista(u.Colunas);
    for (const TnChaveEstrangeiraEsq &f : t.Estrangeiras)
        emRegra = emRegra || naLista(f.Colunas);
    for (const TnIndiceEsq &i : t.Indices)
        emRegra = emRegra || naLista(i.Colunas);
    // Keys, rules and indexes over a new column are made by a step of their own.
    if (emRegra)
        Falhar(t.Nome, QStringLiteral("a coluna %1 faz parte de uma chave, regra ou índice e não pode ser "
                                      "acrescentada a uma tabela que já existe.").arg(c->Nome));
    if (c->NaoNulo && c->Padrao.isEmpty())
        Falhar(t.Nome, QStringLiteral("a coluna obrigatória %1 precisa de um valor padrão para as linhas que já "
                                      "existem.").arg(c->Nome));
    QStringList ddl;
    ddl << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(t.Nome, DefinicaoColuna(t, *c, tipo));
    if (tipo == tcSQLite && c->Tipo == ftBCD)
        ddl << GatilhosArredondamento(t, *c);
    return ddl;
}

QString DDLAdicionarReferencia(const TnTabelaEsq &t, const QString &referencia, TTipoCon tipo)
{
    const auto f = std::find_if(t.Estrangeiras.begin(), t.Estrangeiras.end(), [&](const TnChaveEstrangeiraEsq &e) {
        return e.Nome.compare(referencia.trimmed(), Qt::CaseInsensitive) == 0;
    });
    if (f == t.Estrangeiras.end())
        Falhar(t.Nome, QStringLiteral("não há referência %1 para acrescentar.").arg(referencia));
    if (tipo != tcPostgreSQL)
        Falhar(t.Nome, QStringLiteral("o SQLite não acrescenta a referência %1 a uma tabela que já existe.").arg(f->Nome));
    return QStringLiteral("ALTER TABLE %1 ADD %2 NOT VALID").arg(t.Nome, ChaveEstrangeira(*f));
}

const TnChaveEstrangeiraEsq *ReferenciaRecusada(nDMConexao &con, const TnTabelaEsq &t,
                                                const std::function<QVariant(const QString &)> &valor,
                                                const QString &textoMotor)
{
    for (const TnChaveEstrangeiraEsq &f : t.Estrangeiras)
        if (textoMotor.contains(QLatin1Char('"') + f.Nome + QLatin1Char('"'), Qt::CaseInsensitive))
            return &f;
    if (con.PegarTipoCon() != tcSQLite)
        return nullptr;
    for (const TnChaveEstrangeiraEsq &f : t.Estrangeiras) {
        const QStringList colunas = ListaNomes(f.Colunas), ref = ListaNomes(f.ColunasRef);
        QStringList condicoes;
        QVariantList valores;
        for (int i = 0; i < colunas.size(); ++i) {
            valores << valor(colunas[i]);
            condicoes << ref[i] + QStringLiteral(" = ?");
        }
        // A reference with a NULL column binds nothing.
        if (std::any_of(valores.begin(), valores.end(), [](const QVariant &v) { return !v.isValid() || v.isNull(); }))
            continue;
        auto cmd = con.Preparar(QStringLiteral("select 1 from %1 where %2").arg(f.TabelaRef, condicoes.join(" and ")));
        for (int i = 0; i < valores.size(); ++i)
            cmd->BindValor(i, valores[i]);
        if (!cmd->Abrir().Proximo())
            return &f;
    }
    return nullptr;
}
