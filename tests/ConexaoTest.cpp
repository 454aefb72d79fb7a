#include "BancoTeste.h"
#include "SQLDataSet.h"

#include "Motor.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
class ConexaoBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped()) return;
        con().Executar("create table T (ID integer not null, NOME varchar(40), DATA date, "
                       "VALOR numeric(18,2), constraint PK_T primary key (ID))");
        con().Executar("create table U (ID integer not null, COD varchar(5) not null, "
                       "constraint PK_U primary key (ID), constraint UNQ_U unique (COD))");
        con().Executar("create table F (ID integer not null, TID integer not null, constraint PK_F primary key (ID), "
                       "constraint FK_F_T foreign key (TID) references T (ID) on delete cascade)");
    }
    int TipoErro(const QString &sql)
    {
        try {
            con().Executar(sql);
        } catch (const EDatabaseError &e) {
            EXPECT_FALSE(e.Message().isEmpty());
            // Portuguese only: the engine's words stay out of what the user reads.
            EXPECT_FALSE(e.Message().contains(e.TextoMotor().trimmed())) << e.Message().toStdString();
            EXPECT_FALSE(e.Message().contains("constraint", Qt::CaseInsensitive)) << e.Message().toStdString();
            return ErroBanco(e);
        }
        ADD_FAILURE() << "sem erro: " << sql.toStdString();
        return -1;
    }
};

TEST_F(ConexaoBanco, TransacoesNumeradasAninham)
{
    con().StartTransaction(1);
    con().Executar("insert into T (ID) values (1)");
    con().StartTransaction(2); // savepoint
    con().Executar("insert into T (ID) values (2)");
    con().RollBack(2);
    EXPECT_EQ(Linhas("T"), 1);
    con().StartTransaction(1); // same number again only counts up
    con().Commit(1);
    EXPECT_TRUE(con().InTransaction(1));
    con().Commit(1);
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Linhas("T"), 1);

    // Commit of a transaction that is not open is reported, never taken as done.
    EXPECT_THROW(con().Commit(1), Exception);
    // Commit out of order is refused and leaves both open.
    con().StartTransaction(1);
    con().StartTransaction(2);
    EXPECT_THROW(con().Commit(1), Exception);
    con().RollBack(1); // undoes 2 as well
    EXPECT_FALSE(con().InTransaction());

    // A number that is not open: the open transaction and what it wrote stay as they were.
    con().StartTransaction(1);
    con().Executar("insert into T (ID) values (3)");
    con().RollBack(7);
    EXPECT_TRUE(con().InTransaction(1));
    con().Commit(1);
    EXPECT_EQ(Linhas("T"), 2);
}

TEST_F(ConexaoBanco, SavepointQueMexeEmMuitasPaginasGravaEDesfaz)
{
    // A savepoint inside a transaction that changes a few megabytes of existing pages, and
    // a cascade delete of as many rows: their journals outgrow memory and go to a file, and
    // both statements still write (and the savepoint still undoes).
    const QString texto(38, u'x');
    con().Executar("create index IX_F_TID on F (TID)");
    {
        TnTransacao t(1, con());
        auto ins = con().Preparar("insert into T (ID, NOME) values (?, ?)");
        auto filho = con().Preparar("insert into F (ID, TID) values (?, ?)");
        for (int i = 0; i < 40000; ++i) {
            ins->BindInteiro(0, i);
            ins->BindTexto(1, texto);
            ins->ExecutarEmLote();
            filho->BindInteiro(0, i);
            filho->BindInteiro(1, i);
            filho->ExecutarEmLote();
        }
        t.Commit();
    }
    con().StartTransaction(1);
    con().StartTransaction(2);
    con().Executar("update T set NOME = 'y'");
    con().RollBack(2);
    con().StartTransaction(2);
    con().Executar("delete from T where ID >= 100");
    con().Commit(2);
    con().Commit(1);
    EXPECT_EQ(Linhas("T"), 100);
    EXPECT_EQ(Linhas("F"), 100);
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("T", "NOME", "ID = 7").toString(), texto);
}

TEST_F(ConexaoBanco, GuardaDesfazQuandoExcecaoPassa)
{
    try {
        TnTransacao t(1, con());
        con().Executar("insert into T (ID) values (10)");
        throw Exception("falhou no meio");
    } catch (const Exception &) {
    }
    EXPECT_EQ(Linhas("T"), 0);
    EXPECT_FALSE(con().InTransaction());
    {
        TnTransacao t(1, con());
        con().Executar("insert into T (ID) values (11)");
        t.Commit();
    }
    EXPECT_EQ(Linhas("T"), 1);
    // A read transaction joins an open write transaction.
    con().StartTransaction(1);
    con().StartTransactionRO(1);
    con().Executar("insert into T (ID) values (12)");
    con().CommitRO(1);
    con().Commit(1);
    EXPECT_EQ(Linhas("T"), 2);
}

TEST_F(ConexaoBanco, ParametrosPorNomeEPosicaoETiposDeVolta)
{
    con().Executar("insert into T (ID, NOME, DATA, VALOR) values (?, ?, ?, ?)",
                   {1, QString("O'Brien; drop table T"), QDate(2024, 3, 31), 10.25});
    auto cmd = con().Preparar("select ID, NOME, DATA, VALOR from T where NOME = :nome and ID = :id and ID = :id");
    cmd->BindValor("nome", QString("O'Brien; drop table T"));
    cmd->BindValor("ID", 1);
    TnCursor &c = cmd->Abrir();
    ASSERT_TRUE(c.Proximo());
    EXPECT_EQ(c.Coluna(0).Tipo, ftInteger);
    EXPECT_EQ(c.Coluna(1).Tipo, ftString);
    EXPECT_EQ(c.Coluna(2).Tipo, ftDate);
    EXPECT_EQ(c.Coluna(3).Tipo, ftBCD);
    EXPECT_EQ(c.Coluna(3).Escala, 2);
    EXPECT_EQ(c.Data(2), QDate(2024, 3, 31));
    EXPECT_EQ(c.Texto(3), "10.25");
    EXPECT_FALSE(c.Proximo());
    EXPECT_THROW(cmd->BindValor("naoexiste", 1), Exception);

    // Dates compare as dates: equality and between.
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("T", "DATA between '2024-03-01' and '2024-03-31'"), 1);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("T", "DATA = '2024-03-31'"), 1);
}

TEST_F(ConexaoBanco, ErrosClassificados)
{
    con().Executar("insert into T (ID) values (1)");
    con().Executar("insert into U (ID, COD) values (1, 'A')");
    EXPECT_EQ(TipoErro("insert into T (ID) values (1)"), ebChavePrimaria);
    EXPECT_EQ(TipoErro("insert into U (ID, COD) values (2, 'A')"), ebUnico);
    EXPECT_EQ(TipoErro("insert into U (ID) values (3)"), ebNaoNulo);
    EXPECT_EQ(TipoErro("insert into F (ID, TID) values (1, 99)"), ebChaveEstrangeira);
    EXPECT_EQ(TipoErro("select * from TABELA_QUE_NAO_EXISTE"), ebSintaxe);
    EXPECT_EQ(ErroBanco(Exception("outra coisa")), ebOutro);
}

TEST_F(ConexaoBanco, ExclusaoEmCascataEConsultasSimples)
{
    // Several statements in one text; a ";" inside quotes or comments does not split them.
    con().Executar("insert into T (ID, NOME) values (1, 'um;'); -- comentário; com ponto e vírgula\n"
                   "insert into T (ID, NOME) values (2, 'dois')");
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("T", "NOME", "ID = 1").toString(), "um;");
    con().Executar("insert into F (ID, TID) values (1, 1)");
    EXPECT_EQ(nDMSQLDataSet::LimpaRegistro("T", "ID = 1"), 1);
    EXPECT_EQ(Linhas("F"), 0);
    EXPECT_THROW(nDMSQLDataSet::LimpaRegistro("T", "  "), Exception);

    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("T", "NOME", "ID = 2").toString(), "dois");
    EXPECT_FALSE(nDMSQLDataSet::PegarValorCampo("T", "NOME", "ID = 5").isValid());
    const QVariantList v = nDMSQLDataSet::PegarValorCampo("T", "ID;NOME", "ID = 2").toList();
    ASSERT_EQ(v.size(), 2);
    EXPECT_EQ(v[0].toInt(), 2);
    EXPECT_TRUE(nDMSQLDataSet::PegarTemRegistro("T", "ID", "ID = 2"));
    EXPECT_FALSE(nDMSQLDataSet::PegarTemRegistro("T", "ID", "ID = 3"));
    EXPECT_EQ(nDMSQLDataSet::PegarProximoCodigo("T", "ID", ""), 3);
    EXPECT_EQ(nDMSQLDataSet::PegarProximoCodigo("T", "ID", "ID > 100", 0, 1), 1);
    EXPECT_EQ(nDMSQLDataSet::UpDateValorCampo("T", "NOME", QStringLiteral("novo"), "ID = 2"), 1);
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("T", "NOME", "ID = 2").toString(), "novo");
    EXPECT_THROW(nDMSQLDataSet::PegarValorCampo("T; drop table T", "ID", ""), Exception);
    EXPECT_THROW(nDMSQLDataSet::PegarValorCampo("T", "ID) from T; --", ""), Exception);
}

TEST_F(ConexaoBanco, DataDoServidorEHojeNoRelogioDoServidor)
{
    // The server's own date (the embedded engine's is this machine's), with or without its
    // time; read around the calls, a midnight passing in between cannot fool the check.
    QDate hoje;
    if (teste::EmPostgres()) {
        auto cmd = con().Preparar("select current_date");
        TnCursor &c = cmd->Abrir();
        ASSERT_TRUE(c.Proximo());
        hoje = c.Data(0);
    } else {
        hoje = QDate::currentDate();
    }
    const QDateTime comHora = PegarDataServidor(true);
    const QDateTime semHora = PegarDataServidor(false);
    EXPECT_TRUE(comHora.date() == hoje || comHora.date() == hoje.addDays(1)) << comHora.toString().toStdString();
    EXPECT_TRUE(semHora.date() == comHora.date() || semHora.date() == comHora.date().addDays(1));
    EXPECT_EQ(semHora.time(), QTime(0, 0));
    EXPECT_NE(comHora.time(), QTime()) << "com hora vem a hora do servidor";
}

TEST_F(ConexaoBanco, BlocoFalhandoNoMeioNaoGravaNada)
{
    for (int tamanho : {0, 3}) {
        TBlockCommand b(con().PegarTipoCon(), tamanho);
        for (int i = 1; i <= 5; ++i)
            b.Add(QStringLiteral("insert into T (ID) values (%1);").arg(i));
        b.Add("insert into T (ID) values (3)"); // duplicate key
        b.Add("insert into T (ID) values (9)");
        try {
            b.Executar();
            ADD_FAILURE() << "o bloco deveria falhar";
        } catch (const EDatabaseError &e) {
            EXPECT_TRUE(e.Message().contains("comando 6 de 7")) << e.Message().toStdString();
            EXPECT_EQ(ErroBanco(e), ebChavePrimaria);
        }
        EXPECT_EQ(Linhas("T"), 0);
        EXPECT_FALSE(con().InTransaction());
    }
    // Inside a caller's transaction the block joins it and a later rollback undoes it.
    TBlockCommand b(con().PegarTipoCon());
    b.Add("insert into T (ID) values (1)");
    b.Add("insert into T (ID) values (2)");
    con().StartTransaction(1);
    b.Executar();
    EXPECT_EQ(Linhas("T"), 2);
    con().RollBack(1);
    EXPECT_EQ(Linhas("T"), 0);
}

TEST(Conexao, ConfiguracaoPadraoEhEmbutida)
{
    const TnConfigBanco c = TnConfigBanco::Ler("/caminho/que/nao/existe.ini");
    EXPECT_EQ(c.Tipo, tcSQLite);
    EXPECT_FALSE(c.Arquivo.isEmpty());
}

TEST(Conexao, ArquivoNovoSoDoUsuarioEDanificadoDitoComOCaminho)
{
    QTemporaryDir dir;
    TnConfigBanco c;
    c.Tipo = tcSQLite;
    c.Arquivo = dir.filePath("dados/novo.db");
    {
        nDMConexao novo(c);
        novo.Executar("create table T (ID integer)");
    }
    // A folder and a file the program creates are its user's alone.
    EXPECT_EQ(QFile::permissions(dir.filePath("dados")) & 0x0777, 0x0700);
    EXPECT_EQ(QFile::permissions(c.Arquivo) & 0x0777, 0x0600);

    // A file that is no database: its path and the advice to restore a copy.
    c.Arquivo = dir.filePath("danificado.db");
    QFile f(c.Arquivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    try {
        nDMConexao danificado(c);
        danificado.Executar("select count(*) from sqlite_master");
        ADD_FAILURE() << "arquivo danificado aberto";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.Message().contains(QDir::toNativeSeparators(c.Arquivo))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("danificado")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("cópia de segurança")) << e.Message().toStdString();
    }
    // A file that cannot be written: its path, said so.
    EXPECT_TRUE(DescricaoErroSQLite(8, "/dados/orvo.db").contains("/dados/orvo.db está somente para leitura"));
    EXPECT_TRUE(DescricaoErroSQLite(1, "/dados/orvo.db").isEmpty()); // about the statement
}
} // namespace

namespace {
TEST_F(ConexaoBanco, CommitAposFalhaNaoFingeSucesso)
{
    // On both engines a failed statement loses the transaction: the commit says so and the
    // earlier row is not kept (SQLite undoes only the statement, but keeping the rest would
    // write half of what the caller meant as one).
    con().StartTransaction(1);
    con().Executar("insert into T (ID) values (1)");
    EXPECT_THROW(con().Executar("insert into T (ID) values (1)"), EDatabaseError);
    EXPECT_TRUE(con().TransacaoAbortada());
    EXPECT_THROW(con().Executar("insert into T (ID) values (2)"), EDatabaseError); // nothing runs on
    try {
        con().Commit(1);
        ADD_FAILURE() << "o commit deveria falhar";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("A transação 1 foi desfeita"))) << e.Message().toStdString();
    }
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Linhas("T"), 0);

    // A protected statement keeps the transaction usable on both engines.
    con().Executar("insert into T (ID) values (5)");
    con().StartTransaction(1);
    auto cmd = con().Preparar("insert into T (ID) values (?)");
    cmd->BindInteiro(0, 5);
    EXPECT_THROW(con().ExecutarProtegido(*cmd), EDatabaseError);
    EXPECT_FALSE(con().TransacaoAbortada());
    cmd->BindInteiro(0, 2);
    con().ExecutarProtegido(*cmd);
    con().Commit(1);
    EXPECT_TRUE(nDMSQLDataSet::PegarTemRegistro("T", "ID", "ID = 2"));
}
} // namespace

namespace {
QString LerNome(TnComando &cmd, int id)
{
    cmd.BindInteiro(0, id);
    TnCursor &c = cmd.Abrir();
    return c.Proximo() ? c.Texto(0) : QStringLiteral("-");
}
} // namespace

TEST_F(ConexaoBanco, ComandoGuardadoReusadoFechadoELargadoComOEsquema)
{
    con().Executar("insert into T (ID, NOME) values (1, 'um')");
    con().Executar("insert into T (ID, NOME) values (2, 'dois')");
    const QString sql = QStringLiteral("select NOME from T where ID >= ? order by ID");
    TnComando *primeiro = nullptr;
    {
        auto a = con().PrepararGuardado(sql);
        primeiro = a.get();
        EXPECT_EQ(LerNome(*a, 1), "um"); // one row of two read: the statement is left unfinished
        // In use: another caller gets a command of its own.
        auto b = con().PrepararGuardado(sql);
        EXPECT_NE(b.get(), primeiro);
        EXPECT_EQ(LerNome(*b, 2), "dois");
        EXPECT_EQ(LerNome(*con().PrepararGuardado(QStringLiteral("select NOME from T where ID = ?")), 2), "dois");
    }
    {
        auto a = con().PrepararGuardado(sql);
        EXPECT_EQ(a.get(), primeiro) << "the kept command is reused";
        EXPECT_EQ(LerNome(*a, 2), "dois");
    }
    // Let go half read, it holds nothing: the rows change and the table goes.
    auto cmd = con().Preparar("update T set NOME = 'novo' where ID = 1");
    cmd->Executar();
    {
        auto a = con().PrepararGuardado(sql);
        EXPECT_EQ(LerNome(*a, 1), "novo");
    }
    // SQLite refuses while a read is unfinished (the server prepares no DDL: a script there).
    if (teste::EmPostgres())
        con().Executar("drop table F");
    else
        con().Preparar("drop table F")->Executar();
    con().Executar("drop table T");
    con().Executar("create table T (ID integer not null, NOME date)");
    con().Executar("insert into T (ID, NOME) values (1, '2024-03-31')");
    // The same text after the schema changed reads the new columns, typed as they are now.
    auto a = con().PrepararGuardado(sql);
    a->BindInteiro(0, 1);
    TnCursor &c = a->Abrir();
    EXPECT_EQ(c.Coluna(0).Tipo, ftDate);
    ASSERT_TRUE(c.Proximo());
    EXPECT_EQ(c.Data(0), QDate(2024, 3, 31));
}
