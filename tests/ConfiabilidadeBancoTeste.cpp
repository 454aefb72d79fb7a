// The data layer as a hostile caller meets it, on both engines: every failure is seen,
// nothing is half-written, no value is silently wrong.
#include "BancoTeste.h"
#include "ClientDataSet.h"
#include "ExecutarSQL.h"
#include "Literais.h"
#include "Provider.h"
#include "SQLDataSet.h"

#include <gtest/gtest.h>
#include <functional>
#include <limits>
#include <optional>

namespace {

class ConfiabilidadeBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped())
            return;
        con().Executar("create table T (ID integer not null, NOME varchar(40), VALOR numeric(18,2), DATA date, "
                       "REAL_ double precision, constraint PK_T primary key (ID))");
    }
    QVariant Valor(const QString &campo, int id)
    {
        return nDMSQLDataSet::PegarValorCampo("T", campo, "ID = " + QString::number(id));
    }
};

TEST_F(ConfiabilidadeBanco, TextoComCaractereNuloVoltaComErro)
{
    for (const QString &sql : {QStringLiteral("select 1;") + QChar(0) + QStringLiteral("select 2"), QString(QChar(0)),
                               QStringLiteral("insert into T (ID) values (1);") + QChar(0xD800)}) {
        EXPECT_THROW(con().Executar(sql), EDatabaseError);
        EXPECT_THROW(con().Preparar(sql), EDatabaseError);
        EXPECT_THROW(con().ExecutarComandos({sql}), EDatabaseError);
    }
    EXPECT_EQ(Linhas("T"), 0);
}

// SQLite rolls a whole transaction back by itself on some errors; a trigger's RAISE(ROLLBACK)
// does it on purpose. The server has no such thing.
TEST_F(ConfiabilidadeBanco, TransacaoDesfeitaPeloProprioMotorNaoSegueSemTransacao)
{
    if (teste::EmPostgres())
        GTEST_SKIP() << "o servidor não desfaz transações sozinho";
    con().Executar("create trigger TRG_DESFAZ before insert on T when NEW.ID = 2500 "
                   "begin select raise(rollback, 'desfeita pelo gatilho'); end");
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger, .Flags = pfPadrao | pfInKey}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    for (int i = 1; i <= 5000; ++i) {
        ds.Append();
        ds.FieldByName("ID").SetAsInteger(i);
        ds.Post();
    }
    TnDataSetProvider prov("T");
    ds.SetProvider(&prov);
    for (int maxErros : {0, -1}) {
        try {
            ds.ApplyUpdates(maxErros);
            ADD_FAILURE() << "ApplyUpdates(" << maxErros << ") deveria falhar";
        } catch (const EDatabaseError &e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("foi desfeita pelo banco de dados"))) << e.Message().toStdString();
        }
        EXPECT_EQ(Linhas("T"), 0);
        EXPECT_EQ(ds.ChangeCount(), 5000); // a retry writes each row once
        EXPECT_FALSE(con().InTransaction());
    }

    // Inside a caller's transaction: neither its earlier row nor its later one is kept.
    con().StartTransaction(1);
    con().Executar("insert into T (ID) values (7000)");
    EXPECT_THROW(ds.ApplyUpdates(-1), EDatabaseError);
    EXPECT_TRUE(con().InTransaction(1));
    EXPECT_THROW(con().Executar("insert into T (ID) values (7001)"), EDatabaseError);
    EXPECT_THROW(con().Commit(1), Exception);
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Linhas("T"), 0);

    // Without the trigger the same change log goes through whole.
    con().Executar("drop trigger TRG_DESFAZ");
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(Linhas("T"), 5000);
}

TEST_F(ConfiabilidadeBanco, NumerosForaDaEscalaLidosOuRecusadosPeloNome)
{
    con().Executar("insert into T (ID, REAL_) values (1, 1e70), (2, 1e-70), (3, -123.455)");
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger},
                                 {.Nome = "REAL_", .Tipo = ftBCD, .Precisao = 18, .Escala = 2,
                                  .Def = {.DisplayLabel = "Valor real"}}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    try {
        ds.CarregarDe(con().Preparar("select ID, REAL_ from T order by ID")->Abrir());
        ADD_FAILURE() << "1e70 não cabe em numeric(18,2)";
    } catch (const EConvertError &e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Valor real"))) << e.Message().toStdString();
    }
    ds.CarregarDe(con().Preparar("select ID, REAL_ from T where ID > 1 order by ID")->Abrir());
    EXPECT_EQ(ds.FieldByName("REAL_").AsString(), "0");
    ds.Next();
    EXPECT_EQ(ds.FieldByName("REAL_").AsString(), "-123,46");
}

// Texts come back as written, whatever their characters (a leading byte order mark, a pair
// of surrogates, an empty text apart from a null); a real read into a text or an integer
// field comes as its decimal form or truncated.
TEST_F(ConfiabilidadeBanco, TextosEReaisLidosComoForamGravados)
{
    const QString textos[] = {QStringLiteral("Ação €"), QString(QChar(0xFEFF)) + QStringLiteral("marca"),
                              QStringLiteral("x") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("y"), QString(""),
                              QString()};
    auto cmd = con().Preparar("insert into T (ID, NOME, REAL_) values (?, ?, ?)");
    for (int i = 0; i < 5; ++i) {
        cmd->BindInteiro(0, i);
        textos[i].isNull() ? cmd->BindNulo(1) : cmd->BindTexto(1, textos[i]);
        cmd->BindReal(2, -2.75 + i);
        cmd->Executar();
    }
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger},
                                 {.Nome = "NOME", .Tipo = ftString, .Tamanho = 40},
                                 {.Nome = "COMO_TEXTO", .Tipo = ftString, .Tamanho = 40},
                                 {.Nome = "COMO_INTEIRO", .Tipo = ftLargeint}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CarregarDe(
        con().Preparar("select ID, NOME, REAL_ COMO_TEXTO, REAL_ COMO_INTEIRO from T order by ID")->Abrir());
    for (int i = 0; i < 5; ++i, ds.Next()) {
        EXPECT_EQ(ds.FieldByName("NOME").AsString(), textos[i]) << i;
        EXPECT_EQ(ds.FieldByName("NOME").IsNull(), textos[i].isNull()) << i;
        EXPECT_EQ(ds.FieldByName("COMO_TEXTO").AsString().replace(u',', u'.'), QString::number(-2.75 + i)) << i;
        EXPECT_EQ(ds.FieldByName("COMO_INTEIRO").AsLargeInt(), qint64(-2.75 + i)) << i;
    }
}

TEST_F(ConfiabilidadeBanco, DatasForaDosAnosDeQuatroDigitosSaoRecusadas)
{
    auto cmd = con().Preparar("insert into T (ID, DATA) values (?, ?)");
    for (const QDate &d : {QDate(10000, 1, 1), QDate(-5, 3, 1), QDate(1, 1, 1).addDays(-1)}) {
        cmd->BindInteiro(0, 1);
        EXPECT_THROW(cmd->BindValor(1, d), EConvertError) << d.toString().toStdString();
        EXPECT_THROW(cmd->BindValor(1, QDateTime(d, QTime(1, 0))), EConvertError);
    }
    cmd->BindValor(1, QDate(9999, 12, 31));
    EXPECT_EQ(cmd->Executar(), 1);
    EXPECT_EQ(Valor("DATA", 1).toDate(), QDate(9999, 12, 31));

    // The provider binds what a field holds the same way: the apply fails and writes nothing.
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger, .Flags = pfPadrao | pfInKey},
                                 {.Nome = "DATA", .Tipo = ftDate}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName("ID").SetAsInteger(2);
    ds.FieldByName("DATA").SetAsDate(QDate(12000, 1, 1));
    ds.Post();
    TnDataSetProvider prov("T");
    ds.SetProvider(&prov);
    EXPECT_THROW(ds.ApplyUpdates(0), EConvertError);
    EXPECT_EQ(Linhas("T"), 1);
}

// Every value written fits its column as the database declares it. SQLite would keep 1e17
// in numeric(18,2) and 1e308 in double precision, which the server refuses or keeps: the
// provider and GravarCDS refuse both on both engines, with one message naming field and
// value, and write nothing of the rows.
TEST_F(ConfiabilidadeBanco, ValorQueNaoCabeNaColunaRecusadoNosDoisMotores)
{
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger, .Flags = pfPadrao | pfInKey},
                                 {.Nome = "VALOR", .Tipo = ftFloat},
                                 {.Nome = "REAL_", .Tipo = ftFloat},
                                 {.Nome = "NOME", .Tipo = ftString}};
    // Rows 1 (fits) and 2 (`valor`, `real`, `nome`); the failure's message, empty when written.
    const auto gravar = [&](bool provedor, double valor, double real, const QString &nome = QStringLiteral("x")) {
        TnClientDataSet ds;
        ds.DefinirCampos(campos);
        ds.CreateDataSet();
        for (int id : {1, 2}) {
            ds.Append();
            ds.FieldByName("ID").SetAsInteger(id);
            ds.FieldByName("VALOR").SetAsFloat(id == 1 ? 1 : valor);
            ds.FieldByName("REAL_").SetAsFloat(id == 1 ? 1 : real);
            ds.FieldByName("NOME").SetAsString(id == 1 ? QStringLiteral("x") : nome);
            ds.Post();
        }
        TnDataSetProvider prov("T");
        try {
            if (provedor) {
                ds.SetProvider(&prov);
                ds.ApplyUpdates(0);
            } else {
                GravarCDS(ds, "T", "ID", con());
            }
        } catch (const EnField &e) {
            EXPECT_FALSE(e.Campo().isEmpty());
            return e.Message();
        }
        return QString();
    };
    for (bool provedor : {true, false}) {
        EXPECT_EQ(gravar(provedor, 1e17, 1), "O valor 100000000000000000 está fora da faixa do campo \"VALOR\".");
        EXPECT_EQ(gravar(provedor, 1, 1e308), "O valor 1e+308 está fora da faixa do campo \"REAL_\".");
        EXPECT_EQ(gravar(provedor, 1, -1e15), "O valor -1000000000000000 está fora da faixa do campo \"REAL_\".");
        EXPECT_EQ(gravar(provedor, 1, 1, QString(41, u'a')),
                  "O campo \"NOME\" aceita no máximo 40 caracteres; foram informados 41.");
        EXPECT_EQ(Linhas("T"), 0);
    }
    // Values bound to a statement's columns are checked the same way, by position or by
    // name; a value compared in a condition is not a column's.
    const auto recusa = [&](const std::function<void()> &f) {
        try {
            f();
        } catch (const EnField &e) {
            return e.Message();
        }
        return QString();
    };
    EXPECT_EQ(recusa([&] { con().Executar("insert into T (ID, VALOR) values (?, ?)", {3, 1e17}); }),
              "O valor 100000000000000000 está fora da faixa do campo \"VALOR\".");
    EXPECT_EQ(recusa([&] { con().Executar("insert into T (ID, VALOR) values (?, ?)", {qint64(1) << 60, 1}); }),
              "O valor 1152921504606846976 está fora da faixa do campo \"ID\"."); // ID is integer
    con().Executar("delete from T");
    EXPECT_EQ(recusa([&] {
                  auto cmd = con().Preparar("insert into T (ID, NOME, REAL_) values (:ID, upper(:NOME), :REAL_)");
                  cmd->BindValor("ID", 4);
                  cmd->BindValor("NOME", QString(41, u'a')); // inside a function: not checked here
                  cmd->BindValor("REAL_", 1e308);
              }),
              "O valor 1e+308 está fora da faixa do campo \"REAL_\".");
    EXPECT_EQ(recusa([&] { con().Executar("update T set NOME = ?, VALOR = ? where REAL_ > ?", {QString(41, u'b'), 1, 1e300}); }),
              "O campo \"NOME\" aceita no máximo 40 caracteres; foram informados 41.");
    EXPECT_EQ(recusa([&] { con().Executar("update T set NOME = ? where REAL_ > ?", {QStringLiteral("b"), 1e300}); }),
              QString());
    EXPECT_EQ(Linhas("T"), 0);

    // A bound value that is no finite number reaches neither engine.
    for (double v : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()})
        EXPECT_THROW(con().Executar("insert into T (ID, REAL_) values (1, ?)", {v}), EConvertError);
    EXPECT_EQ(Linhas("T"), 0);
    // What fits is written; the column's scale rounds half away from zero, as the server does.
    EXPECT_EQ(gravar(true, 1234567890.125, 999999999999999), QString());
    EXPECT_EQ(Valor("VALOR", 2).toDouble(), 1234567890.13);
    EXPECT_EQ(Valor("REAL_", 2).toDouble(), 999999999999999.0);
    con().Executar("delete from T");
    EXPECT_EQ(gravar(false, -0.125, -999999999999999), QString());
    EXPECT_EQ(Valor("VALOR", 2).toDouble(), -0.13);
}

TEST_F(ConfiabilidadeBanco, ComandoPreparadoDeDoisComandosERecusado)
{
    EXPECT_THROW(con().Preparar("insert into T (ID) values (?); insert into T (ID) values (3)"), EDatabaseError);
    EXPECT_EQ(Linhas("T"), 0);
    // What follows a statement but says nothing is no second statement.
    auto cmd = con().Preparar("insert into T (ID) values (?); -- fim\n ;");
    cmd->BindInteiro(0, 4);
    EXPECT_EQ(cmd->Executar(), 1);
}

TEST_F(ConfiabilidadeBanco, UpDateValorCampoGravaOValorNuncaSQL)
{
    con().Executar("insert into T (ID, NOME) values (1, 'um'), (2, 'dois')");
    EXPECT_EQ(nDMSQLDataSet::UpDateValorCampo("T", "NOME", QStringLiteral("ID; delete from T"), "ID = 2"), 1);
    EXPECT_EQ(Linhas("T"), 2);
    EXPECT_EQ(Valor("NOME", 2).toString(), "ID; delete from T");
    EXPECT_EQ(nDMSQLDataSet::UpDateValorCampo("T", "VALOR", 10.25, "ID = 1"), 1);
    EXPECT_EQ(Valor("VALOR", 1).toDouble(), 10.25);
    EXPECT_EQ(nDMSQLDataSet::UpDateValorCampo("T", "NOME", QVariant(), "ID = 1"), 1);
    EXPECT_TRUE(Valor("NOME", 1).isNull());
}

TEST_F(ConfiabilidadeBanco, ProviderEscreveNaConexaoNovaMesmoNoMesmoEndereco)
{
    // Two databases, the second opened where the first one was.
    auto primeiro = teste::NovoBanco();
    const TnConfigBanco cfgPrimeiro = primeiro->Config();
    auto segundo = teste::NovoBanco();
    const TnConfigBanco cfgSegundo = segundo->Config();
    for (auto *c : {primeiro.get(), segundo.get()})
        c->Executar("create table P (ID integer not null primary key, NOME varchar(10))");
    primeiro.reset();
    segundo.reset();

    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger, .Flags = pfPadrao | pfInKey},
                                 {.Nome = "NOME", .Tipo = ftString, .Tamanho = 10}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    TnDataSetProvider prov("P");
    ds.SetProvider(&prov);
    std::optional<nDMConexao> lugar;
    const auto incluir = [&](int id) {
        ds.Append();
        ds.FieldByName("ID").SetAsInteger(id);
        ds.Post();
        ds.ApplyUpdates(0);
    };
    lugar.emplace(cfgPrimeiro);
    nDMConexao *a = &*lugar;
    nDMConexao::DefinirAtual(a);
    incluir(1);
    nDMConexao::DefinirAtual(&con());
    lugar.reset(); // the provider lets its statements of the first database go
    lugar.emplace(cfgSegundo);
    ASSERT_EQ(&*lugar, a);
    nDMConexao::DefinirAtual(&*lugar);
    incluir(2);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("P", "ID = 2", *lugar), 1);
    lugar.reset();
    lugar.emplace(cfgPrimeiro);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("P", "", *lugar), 1);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("P", "ID = 2", *lugar), 0);
    nDMConexao::DefinirAtual(&con());
    lugar.reset();
    for (const TnConfigBanco &cfg : {cfgPrimeiro, cfgSegundo}) {
        auto c = std::make_unique<nDMConexao>(cfg);
        teste::DescartarBanco(c);
    }
}

TEST_F(ConfiabilidadeBanco, VinteMilFaixasNumaCondicaoPreparada)
{
    TnTransacao t(1, con());
    auto ins = con().Preparar("insert into T (ID) values (?)");
    for (int i = 0; i < 5000; ++i) {
        ins->BindInteiro(0, i);
        ins->ExecutarEmLote();
    }
    t.Commit();
    QStringList faixas;
    for (int i = 0; i < 20000; ++i)
        faixas << QStringLiteral("%1-%2").arg(i * 10).arg(i * 10 + 2); // 3 of every 10
    const QString condicao = FilterInterval("T.ID", faixas.join(u';'));
    auto cmd = con().Preparar("select count(*) from T where 1 = 1" + condicao);
    TnCursor &c = cmd->Abrir();
    ASSERT_TRUE(c.Proximo());
    EXPECT_EQ(c.Inteiro(0), 1500);

    // Past the plain conditions the search gives the rows "between" gives: ends included,
    // decimals exact, nulls nowhere.
    con().Executar("update T set REAL_ = ID / 4.0 where ID < 400");
    QStringList decimais, ou;
    for (int i = 0; i < 100; ++i) {
        decimais << QStringLiteral("%1.25-%1.5").arg(i);
        ou << QStringLiteral("REAL_ between %1.25 and %1.5").arg(i);
    }
    const auto contar = [&](const QString &condicao) {
        auto q = con().Preparar("select count(*) from T where " + condicao);
        TnCursor &r = q->Abrir();
        return r.Proximo() ? r.Inteiro(0) : -1;
    };
    EXPECT_EQ(contar("1 = 1" + FilterInterval("REAL_", decimais.join(u';'))), contar(ou.join(QStringLiteral(" or "))));
    EXPECT_EQ(contar("1 = 1" + FilterInterval("REAL_", decimais.join(u';'))), 200);
    if (teste::EmPostgres()) {
        auto jit = con().Preparar("show jit");
        TnCursor &j = jit->Abrir();
        ASSERT_TRUE(j.Proximo());
        EXPECT_EQ(j.Texto(0), "off");
    }
}

TEST_F(ConfiabilidadeBanco, DesfazerQueFalhaNoDestrutorEAvisadoNoComandoSeguinte)
{
    if (!teste::EmPostgres())
        GTEST_SKIP() << "um ROLLBACK do SQLite não falha sem o arquivo sumir";
    // The server ends this connection's session: the guard's rollback cannot reach it.
    auto pid = con().Preparar("select pg_backend_pid()");
    TnCursor &p = pid->Abrir();
    ASSERT_TRUE(p.Proximo());
    const qint64 sessao = p.Inteiro(0);
    pid.reset();
    {
        TnTransacao t(1, con());
        con().Executar("insert into T (ID) values (1)");
        TnConfigBanco cfg = con().Config();
        cfg.Esquema.clear();
        nDMConexao adm(cfg);
        adm.Executar(QStringLiteral("select pg_terminate_backend(%1)").arg(sessao));
    }
    try {
        con().Executar("select 1");
        ADD_FAILURE() << "o desfazimento que falhou não foi avisado";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("não pôde ser desfeita"))) << e.Message().toStdString();
    }
}

TEST_F(ConfiabilidadeBanco, CorposEntreDolaresNaoSaoDivididos)
{
    if (!teste::EmPostgres())
        GTEST_SKIP() << "o SQLite não tem funções de servidor";
    con().Executar("create function dobro(x integer) returns integer as $$ begin return x * 2; end; $$ language plpgsql;\n"
                   "insert into T (ID) values (dobro(21))");
    EXPECT_EQ(Linhas("T", "ID = 42"), 1);
}

// A literal means the same to the in-memory filter as to the engine: the same rows.
TEST_F(ConfiabilidadeBanco, LiteralDoFiltroEDoSQLAchamAsMesmasLinhas)
{
    con().Executar("insert into T (ID, NOME, VALOR, DATA, REAL_) values "
                   "(1, 'O''Brien', 10.50, '2020-01-31', 0.1), (2, 'a;b', 0.01, '2019-12-31', 2.5), "
                   "(3, null, -7, null, null), (4, 'ção', 12345678901234.56, '2020-02-29', 1e-7)");
    auto ds = ExecutarSQL("select ID, NOME, VALOR, DATA, REAL_ from T order by ID");
    struct Caso {
        const char *campo;
        QVariant valor;
        TFieldType tipo;
    };
    const Caso casos[] = {{"NOME", QStringLiteral("O'Brien"), ftString}, {"NOME", QStringLiteral("a;b"), ftString},
                          {"NOME", QStringLiteral("ção"), ftString},    {"VALOR", 10.5, ftBCD},
                          {"VALOR", QStringLiteral("0,01"), ftBCD},      {"VALOR", -7, ftBCD},
                          {"VALOR", 12345678901234.56, ftBCD},          {"DATA", QDate(2020, 2, 29), ftDate},
                          {"DATA", QStringLiteral("31/12/2019"), ftDate}, {"REAL_", 2.5, ftFloat},
                          {"REAL_", 1e-7, ftFloat},                      {"ID", QStringLiteral("3"), ftInteger}};
    for (const Caso &c : casos) {
        // Texts are ordered by each server's collation: only equality is the same everywhere.
        const bool texto = c.tipo == ftString;
        for (const char *op : {" = ", " <> ", " < ", " >= "}) {
            if (texto && QByteArray(op).trimmed() != "=" && QByteArray(op).trimmed() != "<>")
                continue;
            const QString condicao = QString::fromLatin1(c.campo) + QLatin1String(op) + ValorParaFiltro(c.valor, c.tipo);
            QList<qint64> peloSQL, peloFiltro;
            auto cmd = con().Preparar("select ID from T where " + condicao + " order by ID");
            for (TnCursor &r = cmd->Abrir(); r.Proximo();)
                peloSQL << r.Inteiro(0);
            ds->SetFilter(condicao);
            ds->SetFiltered(true);
            for (ds->First(); !ds->Eof(); ds->Next())
                peloFiltro << ds->FieldByName("ID").AsLargeInt();
            EXPECT_EQ(peloFiltro, peloSQL) << condicao.toStdString();
        }
    }
}

} // namespace
