// The inventory's field-expression functions and its user-rights hook, loaded with OrvoCore
// as the program loads them: the company argument, the settings they read, and that both
// go with the library.
#include "Acoes.h"
#include "BancoOrvo.h"
#include "DireitoUsuario.h"
#include "ExpressoesCampo.h"

namespace {

const QString kBiblioteca = QStringLiteral("OrvoCore");
const QString kICMS = QStringLiteral("EMPRESAINFORMAICMS");
const QString kPisCofins = QStringLiteral("EMPRESAINFORMAPISCOFINS");

class ExpressoesCampoBanco : public BancoOrvoCore {
protected:
    void Definir(const char *coluna, const char *valor)
    {
        con().Executar(QStringLiteral("update CFGEMPRESAINV set %1 = '%2' where CODIGOEMPRESA = 1")
                           .arg(QLatin1String(coluna), QLatin1String(valor)));
    }
    static bool Chamar(const QString &funcao, const QVariant &arg)
    {
        const QVariant r = FieldExpressionFunctions().Chamar(funcao, arg);
        EXPECT_EQ(r.typeId(), QMetaType::Bool);
        return r.toBool();
    }
};

TEST_F(ExpressoesCampoBanco, CadaFuncaoLeSuaColunaDaEmpresaInformadaOuDaSelecionada)
{
    // Company 1 starts with both flags "0".
    EXPECT_FALSE(Chamar(kICMS, 1));
    EXPECT_FALSE(Chamar(kPisCofins, 1));
    Definir("LANCAICMSRECUP", "1");
    EXPECT_TRUE(Chamar(kICMS, 1));
    EXPECT_TRUE(Chamar(kICMS, QStringLiteral(" 1 ")));
    EXPECT_FALSE(Chamar(kPisCofins, 1)); // its own column
    // Empty or blank: the company of the selection.
    EXPECT_TRUE(Chamar(kICMS, QVariant()));
    EXPECT_TRUE(Chamar(kICMS, QStringLiteral("  ")));
    Definir("DETALHARPISCOFINSITEM", "1");
    EXPECT_TRUE(Chamar(kPisCofins, QString()));
    // The inventory settings answer, also for a company without its general settings row;
    // a company without inventory settings answers false.
    con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
    con().Executar("insert into CFGEMPRESAINV (CODIGOEMPRESA, QTDECASADECIMAL, QTDECASADECIMALQTD, LANCAICMSRECUP, "
                   "DETALHARPISCOFINSITEM, PERIODOINVENTARIO) values (2, 2, 2, '1', '1', 0)");
    EXPECT_TRUE(Chamar(kICMS, 2)); // no CFGEMPRESAULMAR row
    EXPECT_FALSE(Chamar(kICMS, 3));
    // No company selected and none given: false.
    Selecao().Reset();
    EXPECT_FALSE(Chamar(kICMS, QString()));
}

TEST_F(ExpressoesCampoBanco, ArgumentoQueNaoEhCodigoDeEmpresaRespondeFalsoSemChegarAoBanco)
{
    Definir("LANCAICMSRECUP", "1");
    Definir("DETALHARPISCOFINSITEM", "1");
    // Without a connection any statement would raise: these answers never reach one.
    nDMConexao::DefinirAtual(nullptr);
    for (const QString &arg : {QStringLiteral("1 or 1=1"), QStringLiteral("1.0"), QStringLiteral("abc"),
                               QStringLiteral("1;drop table PRODUTO"), QStringLiteral("-1"), QStringLiteral("1e2"),
                               QStringLiteral("99999"), QStringLiteral("0x1")}) {
        EXPECT_FALSE(Chamar(kICMS, arg)) << arg.toStdString();
        EXPECT_FALSE(Chamar(kPisCofins, arg)) << arg.toStdString();
    }
    EXPECT_THROW(Chamar(kICMS, 1), Exception); // a company code does read the database
    nDMConexao::DefinirAtual(&con());
    EXPECT_TRUE(Chamar(kICMS, QStringLiteral("1")));
}

TEST_F(ExpressoesCampoBanco, FuncoesEGanchoDeDireitosVaoComABiblioteca)
{
    EXPECT_TRUE(FieldExpressionFunctions().Existe(kICMS));
    EXPECT_TRUE(FieldExpressionFunctions().Existe(kPisCofins.toLower()));
    ASSERT_TRUE(FOnGerarPrincActionMods().Tem(3));
    EXPECT_FALSE(FOnGerarPrincActionMods().Tem(0));
    TnActionList lista;
    EXPECT_TRUE(FOnGerarPrincActionMods().Executar(3, lista));
    EXPECT_EQ(lista.Count(), 0); // every right granted: nothing restricted

    TnBibliotecas::Descarregar(kBiblioteca);
    EXPECT_FALSE(FieldExpressionFunctions().Existe(kICMS));
    EXPECT_FALSE(FieldExpressionFunctions().Existe(kPisCofins));
    EXPECT_THROW(FieldExpressionFunctions().Chamar(kICMS, 1), Exception);
    EXPECT_FALSE(FOnGerarPrincActionMods().Tem(3));
    EXPECT_FALSE(FOnGerarPrincActionMods().Executar(3, lista));

    TnBibliotecas::Carregar(kBiblioteca); // and come back with it
    EXPECT_TRUE(FieldExpressionFunctions().Existe(kICMS));
    EXPECT_TRUE(FOnGerarPrincActionMods().Tem(3));
}

} // namespace
