#include "ConversaoBanco.h"

#include "Excecoes.h"

#include <QDateTime>
#include <QSet>

TDepoisConverter FDepoisConverter;
const char *const TabelaVersaoBanco = "NVERSAOBANCO";

namespace {

// Transaction number of the conversion steps.
constexpr int TransacaoConversao = 90;

const TnTabelaEsq &TabelaVersao()
{
    static const TnTabelaEsq t{
        .Nome = TabelaVersaoBanco,
        .Colunas = {{.Nome = "MODULO", .Tipo = ftString, .Tamanho = 30, .NaoNulo = true},
                    {.Nome = "VERSAO", .Tipo = ftInteger, .NaoNulo = true},
                    {.Nome = "DATAHORACONVERSAO", .Tipo = ftDateTime}},
        .ChavePrimaria = "MODULO",
    };
    return t;
}

qint64 Contar(nDMConexao &con, const QString &sql, const QVariantList &params)
{
    auto cmd = con.Preparar(sql);
    for (int i = 0; i < params.size(); ++i)
        cmd->BindValor(i, params[i]);
    TnCursor &c = cmd->Abrir();
    return c.Proximo() ? c.Inteiro(0) : 0;
}

void ExecutarTodos(nDMConexao &con, const QStringList &comandos)
{
    for (const QString &sql : comandos)
        con.Executar(sql);
}

int LerVersao(nDMConexao &con, const QString &modulo)
{
    auto cmd = con.Preparar(QStringLiteral("select VERSAO from NVERSAOBANCO where MODULO = ?"));
    cmd->BindTexto(0, modulo);
    TnCursor &c = cmd->Abrir();
    return c.Proximo() ? int(c.Inteiro(0)) : 0;
}

void GravarVersao(nDMConexao &con, const QString &modulo, int versao)
{
    const QDateTime agora = QDateTime::currentDateTime();
    const QDateTime momento(agora.date(), QTime(agora.time().hour(), agora.time().minute(), agora.time().second()));
    auto upd = con.Preparar(QStringLiteral("update NVERSAOBANCO set VERSAO = ?, DATAHORACONVERSAO = ? where MODULO = ?"));
    upd->BindInteiro(0, versao);
    upd->BindDataHora(1, momento);
    upd->BindTexto(2, modulo);
    if (upd->Executar() > 0)
        return;
    auto ins = con.Preparar(QStringLiteral("insert into NVERSAOBANCO (MODULO, VERSAO, DATAHORACONVERSAO) values (?, ?, ?)"));
    ins->BindTexto(0, modulo);
    ins->BindInteiro(1, versao);
    ins->BindDataHora(2, momento);
    ins->Executar();
}

// Keeps other programs from converting until this transaction ends. SQLite's write
// transactions (BEGIN IMMEDIATE) hold the database already.
void TravarVersoes(nDMConexao &con)
{
    if (con.PegarTipoCon() == tcPostgreSQL)
        con.Executar(QStringLiteral("LOCK TABLE NVERSAOBANCO IN SHARE ROW EXCLUSIVE MODE"));
}

void CriarTabelaVersao(nDMConexao &con)
{
    if (TabelaExiste(con, TabelaVersaoBanco))
        return;
    try {
        TnTransacao tr(TransacaoConversao, con);
        if (!TabelaExiste(con, TabelaVersaoBanco))
            ExecutarTodos(con, DDLCriarTabela(TabelaVersao(), con.PegarTipoCon()));
        tr.Commit();
    } catch (const EDatabaseError &) {
        // Another program created it at the same moment.
        if (!TabelaExiste(con, TabelaVersaoBanco))
            throw;
    }
}

void ChecarServidor(nDMConexao &con)
{
    if (con.PegarTipoCon() != tcPostgreSQL)
        return;
    auto cmd = con.Preparar(QStringLiteral("select current_setting('server_version_num')"));
    TnCursor &c = cmd->Abrir();
    const int versao = c.Proximo() ? c.Texto(0).toInt() : 0;
    // Unique rules that take NULLs as equal need PostgreSQL 15.
    if (versao < 150000)
        throw Exception(QStringLiteral("O banco de dados precisa de um servidor PostgreSQL 15 ou mais novo."));
}

[[noreturn]] void FalharPasso(const TnPassoConversao &p, const QString &texto)
{
    throw Exception(QStringLiteral("Conversão do banco, versão %1: %2").arg(p.Versao).arg(texto));
}

// What a step adds to one table created by an earlier step (columns, references): refused
// when the table is not such a one or nothing is named.
const QStringList &NomesDoPasso(const TnPassoConversao &p, const TnEsquema &esquema, const QSet<QString> &criadas,
                                const QStringList &nomes, const char *oQue)
{
    const TnTabelaEsq *t = p.Tabelas.size() == 1 ? TabelaDoEsquema(esquema, p.Tabelas[0]) : nullptr;
    if (!t || !criadas.contains(t->Nome))
        FalharPasso(p, QStringLiteral("%1 só se acrescentam a uma tabela do esquema criada antes.")
                           .arg(QString::fromUtf8(oQue)));
    if (nomes.isEmpty())
        FalharPasso(p, QStringLiteral("passo sem %1.").arg(QString::fromUtf8(oQue)));
    return nomes;
}

void ValidarPassos(const TnEsquema &esquema, const std::vector<TnPassoConversao> &passos)
{
    ValidarEsquema(esquema);
    int anterior = 0;
    QSet<QString> criadas;
    for (const TnPassoConversao &p : passos) {
        if (p.Versao <= anterior)
            FalharPasso(p, QStringLiteral("as versões dos passos precisam crescer a partir de 1."));
        anterior = p.Versao;
        switch (p.Tipo) {
        case tpCriarTabelas:
            if (p.Tabelas.isEmpty())
                FalharPasso(p, QStringLiteral("passo sem tabelas."));
            for (const QString &nome : p.Tabelas) {
                const TnTabelaEsq *t = TabelaDoEsquema(esquema, nome);
                if (!t)
                    FalharPasso(p, QStringLiteral("a tabela %1 não está no esquema.").arg(nome));
                if (criadas.contains(t->Nome))
                    FalharPasso(p, QStringLiteral("a tabela %1 já é criada por outro passo.").arg(t->Nome));
                for (const TnChaveEstrangeiraEsq &f : t->Estrangeiras)
                    if (!criadas.contains(f.TabelaRef.toUpper()) && f.TabelaRef.compare(t->Nome, Qt::CaseInsensitive) != 0)
                        FalharPasso(p, QStringLiteral("a tabela %1 se refere a %2, que ainda não foi criada.")
                                           .arg(t->Nome, f.TabelaRef));
                criadas.insert(t->Nome);
            }
            break;
        case tpAdicionarColunas:
            for (const QString &c : NomesDoPasso(p, esquema, criadas, p.Colunas, "colunas"))
                DDLAdicionarColuna(*TabelaDoEsquema(esquema, p.Tabelas[0]), c, tcSQLite); // refuses what cannot be added
            break;
        case tpExecutarSQL:
            if (p.SQLSQLite.trimmed().isEmpty() && p.SQLPostgreSQL.trimmed().isEmpty())
                FalharPasso(p, QStringLiteral("passo sem comandos."));
            break;
        case tpAdicionarReferencias:
            for (const QString &r : NomesDoPasso(p, esquema, criadas, p.Referencias, "referências"))
                DDLAdicionarReferencia(*TabelaDoEsquema(esquema, p.Tabelas[0]), r, tcPostgreSQL); // refuses an unknown name
            break;
        }
    }
    for (const TnTabelaEsq &t : esquema)
        if (!criadas.contains(t.Nome))
            throw Exception(QStringLiteral("Conversão do banco: nenhum passo cria a tabela %1.").arg(t.Nome));
}

void AplicarPasso(nDMConexao &con, const TnEsquema &esquema, const TnPassoConversao &p)
{
    const TTipoCon tipo = con.PegarTipoCon();
    switch (p.Tipo) {
    case tpCriarTabelas:
        for (const QString &nome : p.Tabelas) {
            const TnTabelaEsq &t = *TabelaDoEsquema(esquema, nome);
            if (!TabelaExiste(con, t.Nome))
                ExecutarTodos(con, DDLCriarTabela(t, tipo));
        }
        break;
    case tpAdicionarColunas: {
        const TnTabelaEsq &t = *TabelaDoEsquema(esquema, p.Tabelas[0]);
        if (!TabelaExiste(con, t.Nome))
            FalharPasso(p, QStringLiteral("a tabela %1 não existe no banco.").arg(t.Nome));
        for (const QString &c : p.Colunas)
            if (!ColunaExiste(con, t.Nome, c))
                ExecutarTodos(con, DDLAdicionarColuna(t, c, tipo));
        break;
    }
    case tpExecutarSQL: {
        const QString sql = tipo == tcSQLite ? p.SQLSQLite : p.SQLPostgreSQL;
        if (!sql.trimmed().isEmpty())
            con.Executar(sql);
        break;
    }
    case tpAdicionarReferencias: {
        const TnTabelaEsq &t = *TabelaDoEsquema(esquema, p.Tabelas[0]);
        if (tipo != tcPostgreSQL)
            break;
        for (const QString &r : p.Referencias)
            for (const TnChaveEstrangeiraEsq &f : t.Estrangeiras)
                if (f.Nome.compare(r.trimmed(), Qt::CaseInsensitive) == 0 && !ReferenciaExiste(con, t.Nome, f))
                    con.Executar(DDLAdicionarReferencia(t, f.Nome, tipo));
        break;
    }
    }
}

} // namespace

bool TabelaExiste(nDMConexao &con, const QString &tabela)
{
    if (con.PegarTipoCon() == tcSQLite)
        return Contar(con, QStringLiteral("select count(*) from sqlite_master where type = 'table' and upper(name) = upper(?)"),
                      {tabela}) > 0;
    return Contar(con, QStringLiteral("select count(*) from information_schema.tables "
                                      "where table_schema = current_schema() and upper(table_name) = upper(?)"),
                  {tabela}) > 0;
}

bool ColunaExiste(nDMConexao &con, const QString &tabela, const QString &coluna)
{
    if (con.PegarTipoCon() == tcSQLite)
        return Contar(con, QStringLiteral("select count(*) from pragma_table_info(?) where upper(name) = upper(?)"),
                      {tabela, coluna}) > 0;
    return Contar(con, QStringLiteral("select count(*) from information_schema.columns where table_schema = current_schema() "
                                      "and upper(table_name) = upper(?) and upper(column_name) = upper(?)"),
                  {tabela, coluna}) > 0;
}

bool ReferenciaExiste(nDMConexao &con, const QString &tabela, const TnChaveEstrangeiraEsq &referencia)
{
    if (con.PegarTipoCon() == tcSQLite)
        return Contar(con, QStringLiteral("select count(*) from pragma_foreign_key_list(?) "
                                          "where upper(\"table\") = upper(?) and upper(\"from\") = upper(?)"),
                      {tabela, referencia.TabelaRef, ListaNomes(referencia.Colunas).value(0)}) > 0;
    return Contar(con, QStringLiteral("select count(*) from information_schema.table_constraints "
                                      "where table_schema = current_schema() and constraint_type = 'FOREIGN KEY' "
                                      "and upper(table_name) = upper(?) and upper(constraint_name) = upper(?)"),
                  {tabela, referencia.Nome}) > 0;
}

int VersaoBanco(nDMConexao &con, const QString &modulo)
{
    return TabelaExiste(con, TabelaVersaoBanco) ? LerVersao(con, modulo) : 0;
}

int ConverterBanco(nDMConexao &con, const QString &modulo, const TnEsquema &esquema,
                   const std::vector<TnPassoConversao> &passos)
{
    ValidarPassos(esquema, passos);
    ChecarServidor(con);
    CriarTabelaVersao(con);
    const int anterior = LerVersao(con, modulo);
    int atual = anterior;
    for (const TnPassoConversao &p : passos) {
        if (p.Versao <= atual)
            continue;
        TnTransacao tr(TransacaoConversao, con);
        TravarVersoes(con);
        atual = LerVersao(con, modulo);
        if (p.Versao > atual) {
            try {
                AplicarPasso(con, esquema, p);
                GravarVersao(con, modulo, p.Versao);
            } catch (Exception &e) {
                e.SetMessage(QStringLiteral("A conversão do banco de dados para a versão %1 (%2) falhou: %3")
                                 .arg(p.Versao).arg(p.Descricao, e.Message()));
                throw;
            }
            atual = p.Versao;
        }
        tr.Commit();
    }
    if (FDepoisConverter)
        FDepoisConverter(con, anterior, atual);
    return atual;
}
