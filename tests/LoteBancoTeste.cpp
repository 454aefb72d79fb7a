// Writing in bulk and in batches on both engines: rows held for a batch (COPY on the server),
// batches of executions, texts of many statements prepared by their shape; a failure in the
// middle writes nothing and names where it happened; every value comes back as it went.
#include "BancoTeste.h"
#include "Decimal.h"
#include "TextoSQL.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

class LoteBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped())
            return;
        con().Executar("create table L (ID integer not null, NOME varchar(60), VALOR numeric(18,2), DATA date, "
                       "MOMENTO timestamp, constraint PK_L primary key (ID))");
        ins = con().Preparar("insert into L (ID, NOME, VALOR, DATA, MOMENTO) values (?, ?, ?, ?, ?)");
    }
    void TearDown() override
    {
        ins.reset();
        BancoTeste::TearDown();
    }
    // Holds row `id` for the batch; `valor` in cents (none: null).
    void Linha(int id, const QString &nome, std::optional<qint64> valor = 0)
    {
        ins->BindInteiro(0, id);
        nome.isNull() ? ins->BindNulo(1) : ins->BindTexto(1, nome);
        valor ? ins->BindTexto(2, nDecimal::ParaTexto(*valor, 2)) : ins->BindNulo(2);
        ins->BindData(3, QDate(1999, 12, 31).addDays(id));
        ins->BindDataHora(4, QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59, id % 1000)));
        ins->ExecutarEmLote();
    }
    std::unique_ptr<TnComando> ins;
};

TEST_F(LoteBanco, TextosNulosENumericosVoltamComoForam)
{
    // Enough rows for the server to take them through COPY, with everything COPY's text form
    // must escape.
    const QStringList nomes = {QStringLiteral("tab\there"), QStringLiteral("barra \\ e \\N"),
                               QStringLiteral("linha\nnova\r\nfim"), QStringLiteral("aspas ' \" ''"),
                               QStringLiteral("acentuação ção ÃÉÎÕÜ €"), QString(), QStringLiteral("\\."),
                               QStringLiteral(" espaços ")};
    const qint64 valores[] = {1234567890123456, 0, 0, 99, -999999999999999, 5, -1, 100}; // the second: null
    {
        TnTransacao t(1, con());
        for (int i = 0; i < 40; ++i)
            Linha(i, nomes[i % nomes.size()], i % 8 == 1 ? std::nullopt : std::optional<qint64>(valores[i % 8]));
        t.Commit();
    }
    auto cmd = con().Preparar("select ID, NOME, VALOR, DATA, MOMENTO from L order by ID");
    TnCursor &c = cmd->Abrir();
    int n = 0;
    while (c.Proximo()) {
        const int i = int(c.Inteiro(0));
        ASSERT_EQ(i, n++);
        const QString nome = nomes[i % nomes.size()];
        EXPECT_EQ(c.Nulo(1), nome.isNull()) << i;
        if (!nome.isNull()) {
            EXPECT_EQ(c.Texto(1), nome) << i;
        }
        qint64 v = 0;
        if (i % 8 == 1) {
            EXPECT_TRUE(c.Nulo(2));
        } else {
            ASSERT_TRUE(c.Decimal(2, 2, v));
            EXPECT_EQ(v, valores[i % 8]) << i;
        }
        EXPECT_EQ(c.Data(3), QDate(1999, 12, 31).addDays(i));
        QDate d;
        QTime h;
        ASSERT_TRUE(c.DataHoraPartes(4, d, h));
        EXPECT_EQ(QDateTime(d, h), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59, i % 1000)));
    }
    EXPECT_EQ(n, 40);
}

TEST_F(LoteBanco, FalhaNoMeioDoLoteNaoGravaNadaENomeiaALinha)
{
    // A plain insert (COPY on the server) and an update (pipelined), each failing in the middle.
    for (int caso = 0; caso < 2; ++caso) {
        try {
            // Prepared first: preparing sends what the batch holds.
            auto upd = con().Preparar("update L set ID = ? where ID = ?");
            TnTransacao t(1, con());
            for (int i = 0; i < 30; ++i)
                Linha(i == 20 && caso == 0 ? 7 : i, QStringLiteral("n%1").arg(i)); // row 21 repeats key 7
            if (caso == 1) {
                for (int i = 0; i < 10; ++i) {
                    upd->BindInteiro(0, i == 4 ? 5 : 100 + i); // the 5th takes a key in use
                    upd->BindInteiro(1, i);
                    upd->ExecutarEmLote();
                }
            }
            t.Commit();
            ADD_FAILURE() << "o lote deveria falhar";
        } catch (const EDatabaseError &e) {
            EXPECT_EQ(ErroBanco(e), ebChavePrimaria) << e.Message().toStdString();
            // The server sends the rows later, so it says which one failed.
            if (teste::EmPostgres()) {
                EXPECT_TRUE(e.Message().contains(caso == 0 ? QStringLiteral("linha 21 do lote") : QStringLiteral("linha 35 do lote")))
                    << e.Message().toStdString();
            }
        }
        EXPECT_EQ(Linhas("L"), 0);
        EXPECT_FALSE(con().InTransaction());
    }
    // A rollback drops what was held: nothing reaches the database.
    {
        TnTransacao t(1, con());
        Linha(1, QStringLiteral("um"));
    }
    EXPECT_EQ(Linhas("L"), 0);
}

TEST_F(LoteBanco, LoteDeExecucoesRespondeEmOrdemEParaNaFalha)
{
    for (int i = 0; i < 5; ++i)
        Linha(i, QStringLiteral("n"));
    auto upd = con().Preparar("update L set NOME = ? where ID >= ?");
    TnTransacao t(1, con());
    auto lote = con().NovoLote();
    for (int i = 0; i < 4; ++i) {
        upd->BindTexto(0, QStringLiteral("v%1").arg(i));
        upd->BindInteiro(1, i + 2);
        lote->Adicionar(*upd);
    }
    int falhou = 0;
    EXPECT_EQ(lote->Concluir(falhou), (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(falhou, -1);
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("L", "NOME", "ID = 4").toString(), "v2");

    auto dup = con().Preparar("update L set ID = ? where ID = ?");
    for (int i = 0; i < 3; ++i) {
        dup->BindInteiro(0, i == 1 ? 0 : 50 + i); // the second takes a key in use
        dup->BindInteiro(1, i + 2);
        lote->Adicionar(*dup);
    }
    EXPECT_THROW(lote->Concluir(falhou), EDatabaseError);
    EXPECT_EQ(falhou, 1);
}

TEST_F(LoteBanco, LoteDeLinhasNovasGravaTodasOuNenhuma)
{
    // A batch of new rows of one insert (COPY on the server): every row counts one; one
    // refused names its position and leaves nothing; on the server, rows a trigger drops
    // without an error are not taken as written.
    auto lote = con().NovoLote();
    const auto encher = [&](int base, int repetida) {
        for (int i = 0; i < 40; ++i) {
            ins->BindInteiro(0, i == 25 ? repetida : base + i);
            ins->BindTexto(1, QStringLiteral("n%1").arg(i));
            ins->BindNulo(2);
            ins->BindNulo(3);
            ins->BindNulo(4);
            lote->Adicionar(*ins);
        }
    };
    int falhou = 0;
    {
        TnTransacao t(1, con());
        encher(100, 125);
        EXPECT_EQ(lote->Concluir(falhou), std::vector<int>(40, 1));
        EXPECT_EQ(falhou, -1);
        t.Commit();
    }
    {
        TnTransacao t(1, con());
        encher(200, 100); // the 26th repeats a key
        EXPECT_THROW(lote->Concluir(falhou), EDatabaseError);
        EXPECT_EQ(falhou, 25);
    }
    EXPECT_EQ(Linhas("L"), 40);
    if (!teste::EmPostgres())
        return;
    con().Executar("create function PULAR_L() returns trigger as $$ begin if new.ID = 325 then return null; end if; "
                   "return new; end $$ language plpgsql");
    con().Executar("create trigger TG_PULAR_L before insert on L for each row execute function PULAR_L()");
    {
        TnTransacao t(1, con());
        encher(300, 325);
        EXPECT_THROW(lote->Concluir(falhou), EDatabaseError);
    }
    EXPECT_EQ(Linhas("L"), 40);
}

TEST_F(LoteBanco, TextoDeComandosComLiteraisEmUmaTransacao)
{
    // Statements of one shape with different literals give what each would as written:
    // decimals rounded by the column, quotes, negative numbers, texts compared to a column.
    QStringList comandos;
    for (int i = 0; i < 50; ++i)
        comandos << QStringLiteral("insert into L (ID, NOME, VALOR) values (%1, 'it''s %1', %2)").arg(i).arg(i * 1.005, 0, 'f', 3);
    comandos << QStringLiteral("update L set VALOR = -VALOR where ID between 10 and 19")
             << QStringLiteral("update L set NOME = NOME || ' x' where NOME = 'it''s 3'")
             << QStringLiteral("delete from L where ID = -1 or ID > 47");
    EXPECT_EQ(con().Executar(comandos.join(u';')), 2);
    EXPECT_EQ(Linhas("L"), 48);
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("L", "NOME", "ID = 3").toString(), "it's 3 x");
    auto cmd = con().Preparar("select VALOR from L where ID = ?");
    for (int id : {1, 2, 15, 47}) {
        cmd->BindInteiro(0, id);
        TnCursor &c = cmd->Abrir();
        ASSERT_TRUE(c.Proximo());
        qint64 v = 0;
        ASSERT_TRUE(c.Decimal(0, 2, v));
        // The literal written with three decimals, rounded to the column's two.
        qint64 esperado = 0;
        ASSERT_TRUE(nDecimal::DeTexto(QString::number(id * 1.005, 'f', 3), 2, esperado));
        EXPECT_EQ(v, id >= 10 && id <= 19 ? -esperado : esperado) << id;
    }

    // Outside a transaction the text is all or nothing: a failure in its fourth statement
    // leaves nothing of the first three, and names the statement.
    try {
        con().Executar("insert into L (ID) values (100); insert into L (ID) values (101);\n"
                       "insert into L (ID) values (102); insert into L (ID) values (100); insert into L (ID) values (103)");
        FAIL() << "o texto deveria falhar";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(ErroBanco(e), ebChavePrimaria);
        EXPECT_EQ(e.SQL().trimmed(), "insert into L (ID) values (100)");
    }
    EXPECT_EQ(Linhas("L", "ID >= 100"), 0);
    EXPECT_FALSE(con().InTransaction());
}

TEST_F(LoteBanco, LoteGravaNaOrdemQueAsChavesEstrangeirasPedem)
{
    // A child table of L, and another with a key to itself.
    con().Executar("create table F (ID integer not null, PAI integer not null, constraint PK_F primary key (ID), "
                   "constraint FK_F_L foreign key (PAI) references L (ID))");
    con().Executar("create table A (ID integer not null, ACIMA integer, constraint PK_A primary key (ID), "
                   "constraint FK_A_A foreign key (ACIMA) references A (ID))");
    Linha(1000, QStringLiteral("já gravada"));
    auto filho = con().Preparar("insert into F (ID, PAI) values (?, ?)");
    auto arvore = con().Preparar("insert into A (ID, ACIMA) values (?, ?)");
    auto dobrar = con().Preparar("update L set VALOR = VALOR * 2");
    {
        TnTransacao t(1, con());
        // Children of a row already there come first, then new parents with their
        // children: the children of the new parents cannot go before them.
        for (int i = 0; i < 20; ++i) {
            filho->BindInteiro(0, i);
            filho->BindInteiro(1, 1000);
            filho->ExecutarEmLote();
        }
        for (int i = 0; i < 20; ++i) {
            Linha(i, QStringLiteral("pai"), 100);
            filho->BindInteiro(0, 100 + i);
            filho->BindInteiro(1, i);
            filho->ExecutarEmLote();
        }
        // A statement run now sends what was held before it.
        EXPECT_EQ(Linhas("F"), 40);
        // An update between two runs of inserts sees the first run only.
        for (int i = 20; i < 40; ++i)
            Linha(i, QStringLiteral("antes"), 100);
        dobrar->ExecutarEmLote();
        for (int i = 40; i < 60; ++i)
            Linha(i, QStringLiteral("depois"), 100);
        EXPECT_EQ(Linhas("L"), 61);
        // Each row of the tree hangs from the one before.
        for (int i = 0; i < 30; ++i) {
            arvore->BindInteiro(0, i);
            i == 0 ? arvore->BindNulo(1) : arvore->BindInteiro(1, i - 1);
            arvore->ExecutarEmLote();
        }
        t.Commit();
    }
    EXPECT_EQ(Linhas("F"), 40);
    EXPECT_EQ(Linhas("F", "PAI = 1000"), 20);
    EXPECT_EQ(Linhas("A"), 30);
    EXPECT_EQ(Linhas("L", "VALOR = 2"), 40);
    EXPECT_EQ(Linhas("L", "VALOR = 1"), 20);
    EXPECT_EQ(Linhas("L", "ID = 1000 and VALOR = 0"), 1);
}

TEST_F(LoteBanco, GatilhoRecusadoNomeadoPorInteiro)
{
    if (teste::EmPostgres())
        GTEST_SKIP() << "o servidor não escreve corpos de gatilhos";
    const QString gatilho = QStringLiteral("create trigger G after insert on NAOHA begin "
                                           "update L set NOME = case when new.ID = 1 then 'a' end; delete from L; end");
    try {
        con().Executar(gatilho + QStringLiteral("; insert into L (ID) values (1)"));
        FAIL() << "a tabela do gatilho não existe";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.SQL().trimmed(), gatilho);
    }
    EXPECT_EQ(Linhas("L"), 0);
}

// The exchanges of a connection are counted: rows held for a batch go by COPY, and
// statements of several shapes interleaved (a delete before each insert) share one
// pipeline, a sync per part of it rather than one per run; a refused row in such a
// batch is named by its values and nothing of the batch stays.
TEST_F(LoteBanco, IdasEVoltasDeLotesIntercalados)
{
    const bool servidor = con().PegarTipoCon() == tcPostgreSQL;
    con().ZerarIdasEVoltas();
    {
        TnTransacao t(1, con());
        for (int id = 1; id <= 5000; ++id)
            Linha(id, QStringLiteral("n%1").arg(id));
        t.Commit();
    }
    // BEGIN, one COPY, COMMIT (and, the first time, the table's references are asked).
    if (servidor) {
        EXPECT_EQ(con().IdasEVoltas().Copias, 1u);
        EXPECT_LE(con().IdasEVoltas().Total(), 6u);
    }
    else
        EXPECT_EQ(con().IdasEVoltas().Comandos, 5002u);

    auto apagar = con().Preparar("delete from L where ID = ?");
    const auto trocar = [&](int ate) {
        TnTransacao t(1, con());
        for (int id = 1; id <= ate; ++id) {
            apagar->BindInteiro(0, id);
            apagar->ExecutarEmLote();
            Linha(id, QStringLiteral("t%1").arg(id));
        }
        t.Commit();
    };
    con().ZerarIdasEVoltas();
    trocar(5000);
    if (servidor)
        EXPECT_LE(con().IdasEVoltas().Total(), 12u);
    EXPECT_EQ(Linhas("L", "NOME like 't%'"), 5000);

    InjetarFalha("L", "insert", "NEW.NOME = 't4321'");
    try {
        trocar(4321);
        ADD_FAILURE() << "a row refused by a rule went through";
    } catch (const EDatabaseError &e) {
        if (servidor)
            EXPECT_TRUE(e.Message().contains("4321, t4321")) << e.Message().toStdString();
    }
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Linhas("L", "NOME like 't%'"), 5000);
}

TEST(TextoSQL, FormaDosComandosSoTiraValores)
{
    QString forma, tipos;
    std::vector<TnLiteralSQL> l;
    ASSERT_TRUE(FormaDoComando(u"update T set A = -12, B = 'O''Brien' where C = 1.50 and D in ('x', 2)", tcSQLite,
                               forma, l, tipos));
    EXPECT_EQ(forma, "update T set A = -?, B = ? where C = ? and D in (?, ?)");
    EXPECT_EQ(tipos, "itdti");
    EXPECT_EQ(l[0].I, 12);
    EXPECT_EQ(l[1].S, "O'Brien");
    EXPECT_EQ(l[2].S, "1.50");
    ASSERT_TRUE(FormaDoComando(u"insert into T (A, B) values (7, date '2024-01-01')", tcPostgreSQL, forma, l, tipos));
    EXPECT_EQ(forma, "insert into T (A, B) values ($1, date '2024-01-01')"); // a typed literal stays
    // Statements that keep their literals: casts, placeholders, escaped and dollar strings,
    // numbers with an exponent or glued to a name, and anything but INSERT, UPDATE, DELETE.
    for (const char16_t *t : {u"update T set A = cast(B as numeric(18,2))", u"update T set A = B::numeric(18,2)",
                              u"update T set A = ?", u"update T set A = :a", u"update T set A = E'\\n'",
                              u"update T set A = $$x$$", u"update T set A = 0x1F", u"select 1 from T where A = 2",
                              u"create table X (A numeric(18,2))", u"update T set A = B"})
        EXPECT_FALSE(FormaDoComando(t, tcPostgreSQL, forma, l, tipos)) << QString::fromUtf16(t).toStdString();
    ASSERT_TRUE(FormaDoComando(u"delete from T where A = 1e3 and B = 4", tcSQLite, forma, l, tipos));
    EXPECT_EQ(forma, "delete from T where A = 1e3 and B = ?");
}

TEST(TextoSQL, ComandosSeparadosPelasRegrasDeCadaMotor)
{
    const QString pg = QStringLiteral(
        "create function f() returns text as $corpo$ select 'a;b'; $corpo$ language sql;\n"
        "select E'x\\';y' ; /* a /* nested; */ comment; */ select 2;"
        "create procedure p() language sql begin atomic insert into T values (1); update T set A = 2; end;"
        "select $$;$$");
    const auto partes = DividirComandos(pg, tcPostgreSQL);
    ASSERT_EQ(partes.size(), size_t(5));
    EXPECT_EQ(pg.mid(partes[0].Inicio, partes[0].Fim - partes[0].Inicio),
              "create function f() returns text as $corpo$ select 'a;b'; $corpo$ language sql");
    EXPECT_EQ(partes[1].Palavra, "SELECT");
    EXPECT_EQ(pg.mid(partes[2].Inicio, partes[2].Fim - partes[2].Inicio), "select 2");
    EXPECT_TRUE(pg.mid(partes[3].Inicio, partes[3].Fim - partes[3].Inicio).endsWith("end"));
    EXPECT_EQ(partes[4].Palavra, "SELECT");
    // SQLite has no dollar quotes, but brackets and backquotes for names.
    const QString lite = QStringLiteral("select [a;b], `c;d` from T; select '$$;'");
    EXPECT_EQ(DividirComandos(lite, tcSQLite).size(), size_t(2));
    EXPECT_EQ(CaractereInvalido(u"abc"), -1);
    EXPECT_EQ(CaractereInvalido(QStringView(u"a\0b", 3)), 1);
    EXPECT_EQ(CaractereInvalido(QString(QChar(0xD800)) + "x"), 0);
    EXPECT_EQ(CaractereInvalido(QString::fromUtf16(u"\U0001F600")), -1);
}

TEST(TextoSQL, GatilhosComentariosENomesNaoCortamOComando)
{
    auto textos = [](const QString &sql, TTipoCon dialeto) {
        QStringList r;
        for (const TnTrechoComando &p : DividirComandos(sql, dialeto))
            r << sql.mid(p.Inicio, p.Fim - p.Inicio);
        return r;
    };
    // A trigger's body ends at its own END, not at the END of a CASE inside it.
    const QString gatilho = QStringLiteral(
        "create trigger G after insert on T begin update T set A = case when new.B = 1 then 2 else 3 end; "
        "select case new.B when 0 then raise(abort, 'x;y') end; end; select 1");
    EXPECT_EQ(textos(gatilho, tcSQLite),
              (QStringList{gatilho.left(gatilho.indexOf(QStringLiteral("; select 1"))), QStringLiteral("select 1")}));
    const QString atomico = QStringLiteral(
        "create procedure P() language sql begin atomic update T set A = case when B = 1 then 2 end; end; select 1");
    EXPECT_EQ(textos(atomico, tcPostgreSQL).size(), 2);
    // Comments of either kind and quoted names hold semicolons; empty statements are none.
    for (TTipoCon d : {tcSQLite, tcPostgreSQL}) {
        EXPECT_EQ(textos(QStringLiteral("select 1 -- a; b\n;; select \"x;y\" from T /* ; */ ;\n"), d),
                  (QStringList{QStringLiteral("select 1 -- a; b"), QStringLiteral("select \"x;y\" from T /* ; */")}))
            << d;
    }
    // On the server a backslash is plain in a standard string, an escape in E''.
    EXPECT_EQ(textos(QStringLiteral("select 'a\\'; select e'b\\';'; select 3"), tcPostgreSQL).size(), 3);
    // SQLite's comments do not nest: the first */ ends it.
    EXPECT_EQ(textos(QStringLiteral("select /* a /* b */ 1; select 2"), tcSQLite).size(), 2);
}

} // namespace

// On the server, a table another connection analyzed while this transaction filled it looks
// empty to the planner (the new rows are not visible to the analysis); the transaction
// analyzes it again once its copied rows reach ten thousand and each time they double, so
// that checks by key that follow are planned on the rows it holds. An analysis that would
// wait for another transaction is left out: the rows go on.
TEST_F(LoteBanco, TabelaQueOServidorJulgaVaziaEAnalisadaDeNovo)
{
    if (con().PegarTipoCon() != tcPostgreSQL)
        GTEST_SKIP() << "estatísticas do servidor";
    const auto estimadas = [&](nDMConexao &c) {
        auto q = c.Preparar("select reltuples from pg_class where oid = 'l'::regclass");
        TnCursor &r = q->Abrir();
        return r.Proximo() ? r.Real(0) : -2.0;
    };
    nDMConexao outra(con().Config());
    auto t = std::make_optional<TnTransacao>(1, con());
    const auto lote = [&](int de, int n) {
        for (int id = de; id < de + n; ++id)
            Linha(id, QStringLiteral("linha"));
        con().Executar("select 1"); // sends the rows held
    };
    lote(1, 6000);
    {
        TnTransacao bloqueio(1, outra);
        outra.Executar("lock table L in share update exclusive mode");
        lote(6001, 6000); // 12,000: its analysis would wait
    }
    outra.Executar("analyze L");
    EXPECT_EQ(estimadas(outra), 0.0);
    lote(12001, 12000); // 24,000
    EXPECT_EQ(estimadas(outra), 24000.0);
    t.reset(); // rolls back
    EXPECT_EQ(Linhas("L"), 0);
}
