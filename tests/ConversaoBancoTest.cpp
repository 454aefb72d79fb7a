// The versioned conversion on both engines: an empty database gets every table, a second
// run changes nothing, a failing step leaves the version where it was, and a new column
// reaches old and new databases alike.
#include "BancoTeste.h"
#include "ConversaoBanco.h"
#include "EsquemaTabelas.h"
#include "SQLDataSet.h"

#include <utility>

namespace {

// The conversion runs here without the program's own after-conversion hook (the runner
// links the shell, which sets one), and the hook is back afterwards.
class ConversaoBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        FHookDoPrograma = std::exchange(FDepoisConverter, nullptr);
        BancoTeste::SetUp();
    }
    void TearDown() override
    {
        FDepoisConverter = FHookDoPrograma;
        BancoTeste::TearDown();
    }
    TDepoisConverter FHookDoPrograma;
    QStringList Linhas(const QString &sql, nDMConexao &c)
    {
        auto cmd = c.Preparar(sql);
        TnCursor &cur = cmd->Abrir();
        QStringList linhas;
        while (cur.Proximo()) {
            QStringList valores;
            for (int i = 0; i < cur.Colunas(); ++i)
                valores << cur.Texto(i);
            linhas << valores.join('|');
        }
        return linhas;
    }
    // Every object of the database with its definition, and the version rows.
    QStringList Retrato()
    {
        const QString objetos = teste::EmPostgres()
            ? "select cast(c.relkind as varchar) || ' ' || c.relname from pg_class c join pg_namespace n "
              "on n.oid = c.relnamespace where n.nspname = current_schema() union all "
              "select conname || ' ' || pg_get_constraintdef(k.oid) from pg_constraint k join pg_namespace n "
              "on n.oid = k.connamespace where n.nspname = current_schema() order by 1"
            : "select type || ' ' || name || ' ' || ifnull(sql, '') from sqlite_master order by 1";
        return Linhas(objetos, con()) + Linhas("select * from NVERSAOBANCO order by MODULO", con());
    }
    static TnColunaEsq Col(const char *nome, TFieldType tipo, bool naoNulo = false)
    {
        TnColunaEsq c;
        c.Nome = nome;
        c.Tipo = tipo;
        c.NaoNulo = naoNulo;
        if (tipo == ftBCD) {
            c.Precisao = 18;
            c.Escala = 2;
        }
        return c;
    }
    static TnEsquema EsquemaTeste()
    {
        return {{.Nome = "TESTE_A",
                 .Colunas = {Col("ID", ftInteger, true), Col("VALOR", ftBCD)},
                 .ChavePrimaria = "ID"}};
    }
};

TEST_F(ConversaoBanco, BancoVazioRecebeTodasAsTabelasDoEsquema)
{
    EXPECT_EQ(VersaoBanco(con(), ModuloInv), 0);
    const int versao = ConverterBanco(con());
    EXPECT_EQ(versao, PassosConversaoInv().back().Versao);
    EXPECT_EQ(VersaoBanco(con(), ModuloInv), versao);
    for (const TnTabelaEsq &t : EsquemaInv()) {
        auto cmd = con().Preparar("select * from " + t.Nome + " where 1 = 0");
        TnCursor &c = cmd->Abrir();
        ASSERT_EQ(c.Colunas(), int(t.Colunas.size())) << t.Nome.toStdString();
        for (int i = 0; i < c.Colunas(); ++i) {
            const TnColunaEsq &esperada = t.Colunas[size_t(i)];
            EXPECT_EQ(c.Coluna(i).Nome.toUpper(), esperada.Nome) << t.Nome.toStdString();
            EXPECT_EQ(c.Coluna(i).Tipo, esperada.Tipo) << esperada.Nome.toStdString();
            if (esperada.Tipo == ftBCD) {
                EXPECT_EQ(c.Coluna(i).Escala, esperada.Escala) << esperada.Nome.toStdString();
            }
        }
    }
}

TEST_F(ConversaoBanco, SegundaExecucaoNaoMudaNadaEAvisaOutraVez)
{
    std::vector<std::pair<int, int>> avisos;
    FDepoisConverter = [&](nDMConexao &c, int anterior, int nova) {
        EXPECT_EQ(&c, &con());
        EXPECT_FALSE(c.InTransaction());
        avisos.emplace_back(anterior, nova);
    };
    const int versao = ConverterBanco(con());
    const QStringList antes = Retrato();
    EXPECT_EQ(ConverterBanco(con()), versao);
    EXPECT_EQ(Retrato(), antes);
    EXPECT_EQ(avisos, (std::vector<std::pair<int, int>>{{0, versao}, {versao, versao}}));
}

TEST_F(ConversaoBanco, PassoQueFalhaDeixaAVersaoOndeEstava)
{
    int avisos = 0;
    FDepoisConverter = [&](nDMConexao &, int, int) { ++avisos; };
    const QString falha = "create table TESTE_B (ID integer); insert into TESTE_A (ID) values (1); "
                          "insert into TESTE_INEXISTENTE (ID) values (1)";
    std::vector<TnPassoConversao> passos = {
        {.Versao = 1, .Tipo = tpCriarTabelas, .Descricao = "tabela A", .Tabelas = {"TESTE_A"}},
        {.Versao = 2, .Tipo = tpExecutarSQL, .Descricao = "dados", .SQLSQLite = falha, .SQLPostgreSQL = falha},
    };
    try {
        ConverterBanco(con(), "Teste", EsquemaTeste(), passos);
        ADD_FAILURE() << "o passo 2 deveria falhar";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.Message().contains("versão 2 (dados)")) << e.what();
        EXPECT_EQ(ErroBanco(e), ebSintaxe);
    }
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(VersaoBanco(con(), "Teste"), 1);
    EXPECT_TRUE(TabelaExiste(con(), "TESTE_A"));
    EXPECT_FALSE(TabelaExiste(con(), "TESTE_B"));
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("TESTE_A", "", con()), 0);
    EXPECT_EQ(avisos, 0);

    // Corrected, the next run starts again at the step that failed.
    passos[1].SQLSQLite = passos[1].SQLPostgreSQL = "insert into TESTE_A (ID) values (1)";
    EXPECT_EQ(ConverterBanco(con(), "Teste", EsquemaTeste(), passos), 2);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("TESTE_A", "", con()), 1);
    EXPECT_EQ(avisos, 1);
    EXPECT_EQ(VersaoBanco(con(), ModuloInv), 0); // another module's version is its own
}

TEST_F(ConversaoBanco, ColunaNovaChegaAoBancoAntigoEAoNovo)
{
    const std::vector<TnPassoConversao> v1 = {
        {.Versao = 1, .Tipo = tpCriarTabelas, .Descricao = "tabela A", .Tabelas = {"TESTE_A"}}};
    TnEsquema novo = EsquemaTeste();
    TnColunaEsq nome = Col("NOME", ftString, true);
    nome.Tamanho = 20;
    nome.Padrao = "'sem nome'";
    novo[0].Colunas.push_back(Col("TAXA", ftBCD));
    novo[0].Colunas.push_back(nome);
    std::vector<TnPassoConversao> v2 = v1;
    v2.push_back({.Versao = 2, .Tipo = tpAdicionarColunas, .Descricao = "taxa e nome",
                  .Tabelas = {"TESTE_A"}, .Colunas = {"TAXA", "NOME"}});

    ConverterBanco(con(), "Teste", EsquemaTeste(), v1);
    con().Executar("insert into TESTE_A (ID) values (1)");
    EXPECT_EQ(ConverterBanco(con(), "Teste", novo, v2), 2);
    con().Executar("update TESTE_A set TAXA = ?", {1.005});
    EXPECT_EQ(Linhas("select ID, TAXA, NOME from TESTE_A", con()), QStringList{"1|1.01|sem nome"});

    // A new database gets the table with the columns, and step 2 finds them there.
    auto outro = teste::NovoBanco();
    EXPECT_EQ(ConverterBanco(*outro, "Teste", novo, v2), 2);
    outro->Executar("insert into TESTE_A (ID, TAXA) values (1, 2.675)");
    EXPECT_EQ(Linhas("select ID, TAXA, NOME from TESTE_A", *outro), QStringList{"1|2.68|sem nome"});
    teste::DescartarBanco(outro);
}

TEST_F(ConversaoBanco, ReferenciaNovaChegaAoBancoAntigoSemPerderLinhas)
{
    TnEsquema antigo = EsquemaTeste();
    antigo.push_back({.Nome = "TESTE_B", .Colunas = {Col("ID", ftInteger, true), Col("A", ftInteger)},
                      .ChavePrimaria = "ID"});
    TnEsquema novo = antigo;
    const TnChaveEstrangeiraEsq ref{.Nome = "FK_TESTE_B_A", .Colunas = "A", .TabelaRef = "TESTE_A", .ColunasRef = "ID"};
    novo[1].Estrangeiras.push_back(ref);
    const std::vector<TnPassoConversao> v1 = {
        {.Versao = 1, .Tipo = tpCriarTabelas, .Descricao = "tabelas", .Tabelas = {"TESTE_A", "TESTE_B"}}};
    std::vector<TnPassoConversao> v2 = v1;
    v2.push_back({.Versao = 2, .Tipo = tpAdicionarReferencias, .Descricao = "B se refere a A",
                  .Tabelas = {"TESTE_B"}, .Referencias = {"FK_TESTE_B_A"}});

    ConverterBanco(con(), "Teste", antigo, v1);
    con().Executar("insert into TESTE_A (ID) values (1); insert into TESTE_B (ID, A) values (1, 1), (2, 9)");
    EXPECT_EQ(ConverterBanco(con(), "Teste", novo, v2), 2);
    // The rows written before stay; PostgreSQL checks the new ones, SQLite cannot add it.
    EXPECT_EQ(Linhas("select ID, A from TESTE_B order by ID", con()), QStringList({"1|1", "2|9"}));
    EXPECT_EQ(ReferenciaExiste(con(), "TESTE_B", ref), teste::EmPostgres());
    if (teste::EmPostgres()) {
        try {
            con().Executar("insert into TESTE_B (ID, A) values (3, 8)");
            ADD_FAILURE() << "referência recusada";
        } catch (const EDatabaseError &e) {
            EXPECT_EQ(ErroBanco(e), ebChaveEstrangeira);
        }
    }

    // A new database gets the reference with the table, and step 2 finds it there.
    auto outro = teste::NovoBanco();
    EXPECT_EQ(ConverterBanco(*outro, "Teste", novo, v2), 2);
    EXPECT_TRUE(ReferenciaExiste(*outro, "TESTE_B", ref));
    EXPECT_THROW(outro->Executar("insert into TESTE_B (ID, A) values (1, 8)"), EDatabaseError);
    teste::DescartarBanco(outro);

    // A step naming a reference the table does not declare is refused before anything runs.
    v2.back().Referencias = {"FK_NENHUMA"};
    EXPECT_THROW(ConverterBanco(con(), "Outro", novo, v2), Exception);
}

} // namespace

TEST_F(ConversaoBanco, IndicesDePeriodoDoBlocoKChegamAoBancoAntigo)
{
    const QStringList indices = {"IDX_SPEDFISK280_DATAESTOQUE", "IDX_SPEDFISK300_RECONHEC", "IDX_SPEDFISK301_RECONHEC",
                                 "IDX_SPEDFISK302_RECONHEC"};
    const QString sqlIndice = teste::EmPostgres()
        ? "select count(*) from pg_indexes where schemaname = current_schema() and upper(indexname) = upper(?)"
        : "select count(*) from sqlite_master where type = 'index' and upper(name) = upper(?)";
    const auto existentes = [&] {
        QStringList r;
        for (const QString &i : indices) {
            auto cmd = con().Preparar(sqlIndice);
            cmd->BindTexto(0, i);
            TnCursor &c = cmd->Abrir();
            if (c.Proximo() && c.Inteiro(0) > 0)
                r << i;
        }
        return r;
    };
    const int versao = ConverterBanco(con());
    EXPECT_EQ(existentes(), indices); // a new database has them from the declaration

    // A database converted before the indexes were declared: the next conversion adds them.
    for (const QString &i : indices)
        con().Executar("drop index " + i);
    con().Executar("update NVERSAOBANCO set VERSAO = 10 where MODULO = ?", {ModuloInv});
    ASSERT_TRUE(existentes().isEmpty());
    EXPECT_EQ(ConverterBanco(con()), versao);
    EXPECT_EQ(existentes(), indices);

    // The stock-date filter of K280 is a range on its index, not the company and branch prefix.
    if (!teste::EmPostgres()) {
        const QStringList plano = Linhas(
            "explain query plan select K.SEQK280 from SPEDFISK280 K where K.CODIGOEMPRESA = 1 "
            "and K.CODIGOESTAB in (1, 2) and K.DATAESTOQUE between '2024-01-01' and '2024-03-31'",
            con());
        EXPECT_TRUE(plano.join('\n').contains("IDX_SPEDFISK280_DATAESTOQUE (CODIGOEMPRESA=? AND CODIGOESTAB=? AND DATAESTOQUE>? AND DATAESTOQUE<?)"))
            << plano.join('\n').toStdString();
    }
}
