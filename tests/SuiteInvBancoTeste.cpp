// The suite's inventory functions, the personalisation and the first run of a database.
#include "BancoTeste.h"
#include "EsquemaTabelas.h"
#include "Personalizacao.h"
#include "SQLDataSet.h"
#include "SuiteInv.h"
#include "Variaveis.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SuiteInvBanco : public BancoConvertido {
protected:
    void TearDown() override
    {
        Variaveis().Reiniciar();
        DefinirUsuarioConectado(0, QString());
        BancoTeste::TearDown();
    }
    void Sql(const QString &sql, const QVariantList &params = {})
    {
        params.isEmpty() ? con().Executar(sql) : con().Executar(sql, params);
    }
    void Configurar(int empresa, int periodo)
    {
        Sql("delete from CFGEMPRESAINV where CODIGOEMPRESA = ?", {empresa});
        Sql("insert into CFGEMPRESAINV (CODIGOEMPRESA, PERIODOINVENTARIO) values (?, ?)", {empresa, periodo});
    }
    QStringList Jobs()
    {
        QStringList r;
        auto cmd = con().Preparar("select MODULO, NOMEJOB, DESCRICAO, CLASSE, PERIODICIDADE, ATIVO from NJOBCADASTRO "
                                  "order by MODULO, NOMEJOB");
        TnCursor &c = cmd->Abrir();
        while (c.Proximo())
            r << QStringLiteral("%1|%2|%3|%4|%5|%6")
                     .arg(c.Texto(0), c.Texto(1), c.Texto(2), c.Texto(3), c.Texto(4), c.Texto(5).trimmed());
        return r;
    }
};

TEST_F(SuiteInvBanco, RegraDoPeriodoPorPeriodicidade)
{
    Configurar(2, 1);
    Configurar(3, 2);
    Configurar(4, 3);
    Configurar(5, 7); // outside the list: as none chosen
    // Company 1 (the sample) has periodicity 0; company 9 has no settings row.
    struct Caso {
        int Empresa;
        QString Meses; // the months accepted, "1".."12"
    };
    const Caso casos[] = {{1, "1,2,3,4,5,6,7,8,9,10,11,12"}, {9, "1,2,3,4,5,6,7,8,9,10,11,12"},
                          {2, "1,2,3,4,5,6,7,8,9,10,11,12"}, {3, "3,6,9,12"},
                          {4, "12"},                         {5, "1,2,3,4,5,6,7,8,9,10,11,12"}};
    for (const Caso &c : casos) {
        QStringList aceitos;
        for (int mes = 1; mes <= 12; ++mes) {
            const QDate data = QDate(2024, mes, 1).addMonths(1).addDays(-1);
            QString msg = "antes";
            const bool ok = ValidarPeriodoSelecionado(c.Empresa, data, msg);
            if (ok) {
                aceitos << QString::number(mes);
                EXPECT_TRUE(msg.isEmpty());
            } else {
                EXPECT_TRUE(msg.contains(data.toString("MM/yyyy"))) << msg.toStdString();
            }
            // Any day of the month designates the same period.
            EXPECT_EQ(ValidarPeriodoSelecionado(c.Empresa, QDate(2024, mes, 1), msg), ok);
        }
        EXPECT_EQ(aceitos.join(','), c.Meses) << "empresa " << c.Empresa;
    }
    QString msg;
    EXPECT_FALSE(ValidarPeriodoSelecionado(3, QDate(2024, 4, 30), msg));
    EXPECT_EQ(msg, "O período 04/2024 não é válido para a periodicidade trimestral do inventário da empresa 3. "
                   "Informe o último mês de um trimestre: 03, 06, 09 ou 12.");
    EXPECT_FALSE(ValidarPeriodoSelecionado(1, QDate(), msg));
    EXPECT_FALSE(msg.isEmpty());

    // Against the selected period: the active company's rule and the selected month.
    ExternalVar("gCodigoEmpresaAtiva", "3");
    EXPECT_THROW(VerificarPeriodoSelecionado(QDate(2024, 4, 30)), Exception);
    EXPECT_NO_THROW(VerificarPeriodoSelecionado(QDate(2024, 6, 30)));
    ExternalVar("gDataInvent", "31/03/2024");
    EXPECT_NO_THROW(VerificarPeriodoSelecionado(QDate(2024, 3, 15)));
    EXPECT_THROW(VerificarPeriodoSelecionado(QDate(2024, 6, 30)), Exception);
    ExternalVar("gDataInvent", " ");
    EXPECT_NO_THROW(VerificarPeriodoSelecionado(QDate(2024, 6, 30)));
}

TEST_F(SuiteInvBanco, ConfiguracaoValidaECache)
{
    EXPECT_TRUE(ChecarConfiguracaoInv(1)); // the sample company's row
    EXPECT_FALSE(ChecarConfiguracaoInv(9));
    EXPECT_FALSE(ChecarConfiguracaoInv(0));
    const char *invalidas[] = {"QTDECASADECIMAL = 1", "QTDECASADECIMAL = 7", "QTDECASADECIMALQTD = 7",
                               "LANCAICMSRECUP = 'S'", "DETALHARPISCOFINSITEM = '2'", "PERIODOINVENTARIO = 4"};
    for (const char *alteracao : invalidas) {
        Configurar(2, 2);
        ASSERT_TRUE(ChecarConfiguracaoInv(2));
        Sql(QStringLiteral("update CFGEMPRESAINV set %1 where CODIGOEMPRESA = 2").arg(alteracao));
        EXPECT_FALSE(ChecarConfiguracaoInv(2)) << alteracao;
    }

    Sql("update CFGEMPRESAINV set QTDECASADECIMAL = 3, QTDECASADECIMALQTD = 0, LANCAICMSRECUP = '1', "
        "PERIODOINVENTARIO = 2 where CODIGOEMPRESA = 1");
    ExternalVar("gCodigoEmpresaAtiva", "1");
    AtualizarConfiguracaoInv();
    EXPECT_EQ(ExternalVar("gQTDECASADECIMAL"), "3");
    EXPECT_EQ(ExternalVar("gQTDECASADECIMALQTD"), "0");
    const TnConfiguracaoInv &cfg = ConfiguracaoInvAtiva();
    EXPECT_TRUE(cfg.Existe);
    EXPECT_TRUE(cfg.LancaICMSRecup);
    EXPECT_FALSE(cfg.DetalharPISCOFINSItem);
    EXPECT_EQ(cfg.PeriodoInventario, 2);

    // The cache is a copy: it changes when it is reloaded.
    Sql("update CFGEMPRESAINV set QTDECASADECIMAL = 4 where CODIGOEMPRESA = 1");
    EXPECT_EQ(ConfiguracaoInvAtiva().QtdeCasaDecimal, 3);
    ExternalVar("gCodigoEmpresaAtiva", "9");
    AtualizarConfiguracaoInv();
    EXPECT_FALSE(ConfiguracaoInvAtiva().Existe);
    EXPECT_EQ(ConfiguracaoInvAtiva().QtdeCasaDecimal, 2);
    EXPECT_EQ(ExternalVar("gQTDECASADECIMAL"), "");
}

TEST_F(SuiteInvBanco, JobsPadraoInseridosOuAtualizados)
{
    TnInserirOuAtualizarJobCadastroPadrao::Executar();
    const QStringList primeira = Jobs();
    ASSERT_EQ(primeira.size(), int(JobsPadraoInv().size()));
    EXPECT_TRUE(primeira[0].startsWith("Orvo|AUDITORIAINVENTARIO|")) << primeira[0].toStdString();
    EXPECT_TRUE(primeira[0].endsWith("|TOrvoDPAuditoriaInv|3|0"));

    // The user's switch stays; what the module says of its jobs is brought up to date.
    Sql("update NJOBCADASTRO set ATIVO = '1', DESCRICAO = 'antiga' where NOMEJOB = 'AUDITORIAINVENTARIO'");
    Sql("insert into NJOBCADASTRO (MODULO, NOMEJOB, DESCRICAO, CLASSE) values ('Ulmar', 'AUDITORIAINVENTARIO', 'x', 'y')");
    TnInserirOuAtualizarJobCadastroPadrao::Executar();
    const QStringList segunda = Jobs();
    EXPECT_EQ(segunda.size(), primeira.size() + 1);
    EXPECT_EQ(segunda[0], QString(primeira[0]).replace(QRegularExpression("\\|0$"), "|1"));
    EXPECT_EQ(segunda[1], primeira[1]);
    EXPECT_TRUE(segunda[2].startsWith("Ulmar|AUDITORIAINVENTARIO|x|y|")); // another module's job is its own

    // All or nothing: the second job breaks a rule of the table, the first is not kept.
    Sql("create unique index IDX_TESTE_DESCRICAO on NJOBCADASTRO (DESCRICAO)");
    const std::vector<TnJobPadrao> ruins = {{"NOVO", "novo", "TOrvoDPNovo", 1}, {"OUTRO", "x", "TOrvoDPOutro", 1}};
    EXPECT_THROW(TnInserirOuAtualizarJobCadastroPadrao::Executar(con(), "Orvo", ruins), EDatabaseError);
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Jobs(), segunda);
}

TEST_F(SuiteInvBanco, PrimeiraExecucaoCriaEmpresaExemploUmaVez)
{
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("EMPRESA", "NOMEEMPRESA", "CODIGOEMPRESA = 1", con()).toString(),
              "Empresa Exemplo");
    EXPECT_EQ(Linhas("EMPRESA"), 1);
    EXPECT_EQ(Linhas("ESTAB"), 1);
    EXPECT_TRUE(nDMSQLDataSet::PegarTemRegistro("ESTAB", "CODIGOESTAB", "CODIGOEMPRESA = 1 and CODIGOESTAB = 1", con()));
    EXPECT_EQ(Linhas("USUARIO"), 1);
    EXPECT_TRUE(ChecarConfiguracaoInv(1));
    // Its general settings too: products identified by their codes.
    EXPECT_EQ(Linhas("CFGEMPRESAULMAR", "CODIGOEMPRESA = 1 and USAREFERENCIAPROD = '0' and LIVROMODELO7 = '0'"), 1);

    // Converting again adds nothing, even after the sample was removed.
    Sql("delete from CFGEMPRESAINV");
    Sql("delete from ESTAB");
    Sql("delete from EMPRESA");
    ConverterBanco(con());
    EXPECT_EQ(Linhas("EMPRESA"), 0);

    // A database that already keeps companies gets no sample.
    auto outro = teste::NovoBanco();
    // Brought to version 4 (before the sample), with the tables of those steps.
    const std::vector<TnPassoConversao> ate4(PassosConversaoInv().begin(), PassosConversaoInv().begin() + 4);
    TnEsquema tabelas;
    for (const TnPassoConversao &p : ate4)
        for (const QString &t : p.Tabelas)
            tabelas.push_back(*TabelaDoEsquema(EsquemaInv(), t));
    ConverterBanco(*outro, ModuloInv, tabelas, ate4);
    outro->Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (7, 'Da suíte')");
    outro->Executar("insert into USUARIO (CODIGOUSUARIO, NOMEUSUARIO) values (3, 'ANA')");
    EXPECT_EQ(ConverterBanco(*outro), PassosConversaoInv().back().Versao);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("EMPRESA", "", *outro), 1);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("USUARIO", "", *outro), 1);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("CFGEMPRESAINV", "", *outro), 0);
    teste::DescartarBanco(outro);
}

TEST_F(SuiteInvBanco, ReferenciasRecusamCodigosQueNinguemTem)
{
    Sql("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO) values (1, 3)");
    Sql("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO) values (1, 100, 3), (1, 101, null)");
    const QString lcto = "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                         "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                         "values (%1, %2, '2024-12-01', 100, 1, 1, 1, '2024-12-02 08:00:00', 1, 2)";
    const auto recusado = [this](const QString &sql) {
        try {
            Sql(sql);
            ADD_FAILURE() << "aceito: " << sql.toStdString();
        } catch (const EDatabaseError &e) {
            EXPECT_EQ(ErroBanco(e), ebChaveEstrangeira) << sql.toStdString();
        }
    };
    recusado(lcto.arg(7).arg(1)); // a company nobody has
    recusado(lcto.arg(1).arg(9)); // a branch the company does not have
    recusado("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO) values (7, 100)");
    recusado("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO) values (1, 102, 99)");
    recusado("update PRODUTO set CODIGOGRUPOPRODUTO = 1 where CODIGOPRODUTO = 101");
    recusado("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB) values (7, 1)");
    Sql(lcto.arg(1).arg(1));
    EXPECT_EQ(Linhas("LCTOINV"), 1);
    // What is still used cannot go.
    recusado("delete from ESTAB where CODIGOEMPRESA = 1");
    recusado("delete from GRUPOPRODUTO where CODIGOGRUPOPRODUTO = 3");
    EXPECT_EQ(Linhas("ESTAB"), 1);
}

TEST_F(SuiteInvBanco, JanelaPermitidaEConfiguracoes)
{
    EXPECT_EQ(nDMPersonalizacao::GetPermiDataFinal(), nDMPersonalizacao::SemLimite());
    EXPECT_FALSE(IsUseUlmar());

    DefinirUsuarioConectado(1, "ADMINISTRADOR");
    Sql("insert into NPERSONALIZACAO (CODIGOUSUARIO, DATAFINALPERMITIDA) values (1, '2023-12-31'), (2, null)");
    EXPECT_EQ(nDMPersonalizacao::GetPermiDataFinal(), QDate(2023, 12, 31));
    DefinirUsuarioConectado(2, "ANA");
    EXPECT_EQ(nDMPersonalizacao::GetPermiDataFinal(), nDMPersonalizacao::SemLimite());

    Sql("insert into NCONFIGURACAO (CHAVE, VALOR) values ('CONFIGURACOES', '1')");
    EXPECT_TRUE(IsUseUlmar());
    Sql("update NCONFIGURACAO set VALOR = '6'");
    EXPECT_FALSE(IsUseUlmar());
    EXPECT_TRUE(nDMPersonalizacao::GetConfiguracoes().test(1));
    Sql("update NCONFIGURACAO set VALOR = 'lixo'");
    EXPECT_FALSE(IsUseUlmar());

    nDMConexao::DefinirAtual(nullptr); // no connection: no limit, everything off
    EXPECT_EQ(nDMPersonalizacao::GetPermiDataFinal(), nDMPersonalizacao::SemLimite());
    EXPECT_FALSE(IsUseUlmar());
}

TEST(PreferenciasUsuario, LerEGravarPorUsuario)
{
    QTemporaryDir dir;
    TnPreferenciasUsuario::DefinirPasta(dir.filePath("prefs"));
    DefinirUsuarioConectado(5, "ANA");
    EXPECT_EQ(TnPreferenciasUsuario::Arquivo(), dir.filePath("prefs/usuario_5.ini"));
    EXPECT_EQ(TnPreferenciasUsuario::Ler("Inventario", "CopiarValorProduto", "padrão"), "padrão");
    TnPreferenciasUsuario::Gravar("Inventario", "CopiarValorProduto", "UNIDADEMEDIDA;CONTA=1; ação");
    EXPECT_EQ(TnPreferenciasUsuario::Ler("Inventario", "CopiarValorProduto"), "UNIDADEMEDIDA;CONTA=1; ação");
    EXPECT_TRUE(QFile::exists(dir.filePath("prefs/usuario_5.ini")));

    DefinirUsuarioConectado(6, "BIA"); // each user has a file of their own
    EXPECT_EQ(TnPreferenciasUsuario::Ler("Inventario", "CopiarValorProduto"), "");
    for (const char *ruim : {"", " ", "a/b", "a\\b", "a=b", "[a]", "a\nb"}) {
        EXPECT_THROW(TnPreferenciasUsuario::Gravar(QString::fromLatin1(ruim), "k", "v"), Exception) << ruim;
        EXPECT_THROW(TnPreferenciasUsuario::Ler("s", QString::fromLatin1(ruim)), Exception) << ruim;
    }
    DefinirUsuarioConectado(0, QString());
    TnPreferenciasUsuario::DefinirPasta(QString());
}

} // namespace
