// The program's rules on a database: the periodicity in the inventory-period text, the
// company check after the settings register, and the standard jobs after each conversion.
#include "BancoOrvo.h"
#include "OrvoJobCadastro_U.h"
#include "OrvoSMenuRegras.h"
#include "Personalizacao.h"
#include "SelecaoChaves.h"
#include "SQLDataSet.h"
#include "SuiteInv.h"
#include "Variaveis.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class ShellBanco : public BancoOrvo {
protected:
    void Sql(const QString &sql) { con().Executar(sql); }
    qint64 Jobs() { return nDMSQLDataSet::PegarQtdRegistro("NJOBCADASTRO", "MODULO = 'Orvo'", con()); }
};
} // namespace

TEST_F(ShellBanco, TextoDoPeriodoComAPeriodicidadeDaEmpresa)
{
    ExternalVar("gDataInvent", "31/03/2024");
    ExternalVar("gCodigoEmpresaAtiva", "1");
    const QList<QPair<int, QString>> casos = {{0, ""}, {1, " - Mensal"}, {2, " - Trimestral"}, {3, " - Anual"},
                                              {4, ""}, {-1, ""}};
    for (const auto &[periodo, sufixo] : casos) {
        Sql(QString("update CFGEMPRESAINV set PERIODOINVENTARIO = %1 where CODIGOEMPRESA = 1").arg(periodo));
        EXPECT_EQ(TextoPeriodoInventario(), "Inventário: 03/2024" + sufixo) << periodo;
    }
    // Another company's settings do not count; a company without a settings row shows only
    // the date; a blank period shows nothing at all.
    Sql("insert into CFGEMPRESAINV (CODIGOEMPRESA, PERIODOINVENTARIO) values (2, 1)");
    ExternalVar("gCodigoEmpresaAtiva", "3");
    EXPECT_EQ(TextoPeriodoInventario(), "Inventário: 03/2024");
    ExternalVar("gCodigoEmpresaAtiva", "2");
    EXPECT_EQ(TextoPeriodoInventario(), "Inventário: 03/2024 - Mensal");
    ExternalVar("gDataInvent", " ");
    EXPECT_EQ(TextoPeriodoInventario(), "");
}

TEST_F(ShellBanco, ConfiguracaoInvalidaCancelaASelecaoDaEmpresa)
{
    Selecao().GetParams("DataInvent").SetValue(QDate(2024, 3, 31));
    Selecao().Refresh();
    int selecoes = 0;
    QString empresaNaSelecao;
    const auto selecionar = [&] {
        ++selecoes;
        empresaNaSelecao = ExternalVar("gCodigoEmpresaAtiva");
    };

    // Valid settings: nothing happens.
    EXPECT_NO_THROW(ChecarEmpresaAposConfiguracao(selecionar));
    EXPECT_EQ(selecoes, 0);
    EXPECT_EQ(ExternalVar("gDataInvent"), "31/03/2024");

    // Settings out of their rules: the selection is reset before the company is chosen again,
    // and the choice is cancelled.
    Sql("update CFGEMPRESAINV set QTDECASADECIMAL = 9 where CODIGOEMPRESA = 1");
    try {
        ChecarEmpresaAposConfiguracao(selecionar);
        ADD_FAILURE() << "a configuração inválida deveria cancelar a seleção";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8(OrvoSCancelamentoSelecaoEmpresa));
    }
    EXPECT_EQ(selecoes, 1);
    EXPECT_EQ(empresaNaSelecao, "");
    EXPECT_TRUE(Selecao().GetParams("CodigoEmpresa").IsNull());
    EXPECT_TRUE(Selecao().GetParams("DataInvent").IsNull());
    EXPECT_EQ(ExternalVar("gDataInvent"), "");

    // No settings row, or a company that is not a number, is no valid settings either.
    Sql("delete from CFGEMPRESAINV");
    for (const char *empresa : {"1", "abc"}) {
        ExternalVar("gCodigoEmpresaAtiva", QString::fromLatin1(empresa));
        EXPECT_THROW(ChecarEmpresaAposConfiguracao(selecionar), Exception) << empresa;
    }
    EXPECT_EQ(selecoes, 3);
}

// The hook is the one the program's start set, and every conversion runs it again, also
// one that finds nothing to convert.
TEST_F(ShellBanco, CadaConversaoGravaOsJobsPadraoOutraVez)
{
    using Hook = void (*)(nDMConexao &, int, int);
    const Hook *hook = FDepoisConverter.target<Hook>();
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(*hook, &TOrvoJobCadastro::DepoisConverter);

    const qint64 padrao = qint64(JobsPadraoInv().size());
    EXPECT_EQ(Jobs(), padrao); // the conversion in SetUp
    for (int vez = 0; vez < 2; ++vez) {
        Sql("delete from NJOBCADASTRO");
        ConverterBanco(con());
        EXPECT_EQ(Jobs(), padrao) << vez;
    }
}

TEST_F(ShellBanco, PeriodoAntesDasAcoesQueOPedemESessaoDoUsuario)
{
    // An action that needs the period, with none chosen: the period comes first.
    EXPECT_TRUE(PeriodoAntesDaAcao("CodigoEmpresa;CodigoEstab;DataInvent"));
    EXPECT_TRUE(PeriodoAntesDaAcao("codigoempresa; datainvent"));
    EXPECT_FALSE(PeriodoAntesDaAcao("CodigoEmpresa;CodigoEstab"));
    Selecao().GetParams("DataInvent").SetValue(QDate(2024, 12, 1));
    EXPECT_FALSE(PeriodoAntesDaAcao("CodigoEmpresa;CodigoEstab;DataInvent"));

    // The session kept in the user's preferences and offered again.
    QTemporaryDir pasta;
    TnPreferenciasUsuario::DefinirPasta(pasta.path());
    DefinirUsuarioConectado(1, "ADMINISTRADOR");
    Sql("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
    Sql("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (2, 3, 'Filial')");
    AplicarSelecao({{"CodigoEmpresa", 2}, {"CodigoEstab", 3}, {"DataInvent", QDate(2024, 12, 1)}});
    GuardarSelecaoDoUsuario();
    Selecao().Reset();
    ASSERT_TRUE(RestaurarSelecaoDoUsuario());
    EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "2");
    EXPECT_EQ(ExternalVar("gCodigoEstabAtiva"), "3");
    EXPECT_EQ(ExternalVar("gDataInvent"), "01/12/2024");
    EXPECT_EQ(gDataInicialAtivo, QDate(2024, 12, 1));
    // A branch that is gone stays unchosen; a company that is gone is not offered.
    Sql("delete from ESTAB where CODIGOEMPRESA = 2");
    Selecao().Reset();
    ASSERT_TRUE(RestaurarSelecaoDoUsuario());
    EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "2");
    EXPECT_EQ(ExternalVar("gCodigoEstabAtiva"), "");
    Sql("delete from EMPRESA where CODIGOEMPRESA = 2");
    Selecao().Reset();
    EXPECT_FALSE(RestaurarSelecaoDoUsuario());
    EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "");
    // Each user has a session of their own.
    DefinirUsuarioConectado(5, "ANA");
    EXPECT_FALSE(RestaurarSelecaoDoUsuario());
    DefinirUsuarioConectado(0, QString());
    TnPreferenciasUsuario::DefinirPasta(QString());
}
