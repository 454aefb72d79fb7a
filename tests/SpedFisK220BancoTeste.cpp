// Record K220 as the program loads it, on both engines: the quantities' decimals by the
// company's settings (none, 0, 6), the active company before a row is read, each row's own
// company, the settings read once per company until they are saved again, and origin and
// destination that must differ.
#include "BancoOrvo.h"
#include "Modulos.h"

#include <gtest/gtest.h>

namespace {

class SpedFisK220Banco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        ExternalVar("gCodigoEmpresaAtiva", "1");
        con().Executar("delete from CFGEMPRESAINV");
    }
    void Casas(int empresa, int casas)
    {
        con().Executar(QStringLiteral("delete from CFGEMPRESAINV where CODIGOEMPRESA = %1").arg(empresa));
        con().Executar(QStringLiteral("insert into CFGEMPRESAINV (CODIGOEMPRESA, QTDECASADECIMAL, "
                                      "QTDECASADECIMALQTD) values (%1, 2, %2)")
                           .arg(empresa)
                           .arg(casas));
    }
    static QString Formato(TnDMClientDataSet *dm, const char *campo)
    {
        return dm->FieldByName(campo).Def().DisplayFormat;
    }
};

} // namespace

TEST_F(SpedFisK220Banco, CasasDaEmpresaSemConfiguracaoZeroESeis)
{
    // No settings: three decimals, whatever the settings table's own default.
    auto *dm = AbrirDM("TOrvoDMSpedFisK220");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(Formato(dm, "QUANTIDADE"), "#,##0.000");
    EXPECT_EQ(Formato(dm, "QUANTIDADEDEST"), "#,##0.000");
    EXPECT_EQ(dm->FieldByName("QUANTIDADEDEST").Def().EditFormat, "#,##0.000");

    // Read once per company: a change not yet saved through the settings is not seen ...
    Casas(1, 0);
    dm->Reabrir();
    EXPECT_EQ(Formato(dm, "QUANTIDADE"), "#,##0.000");
    // ... and is once the selection reconfigures the modules for the company.
    Selecao().ReconfigurarDM("CodigoEmpresa", false);
    EXPECT_EQ(Formato(dm, "QUANTIDADE"), "#,##0.");
    EXPECT_EQ(Formato(dm, "QUANTIDADEDEST"), "#,##0.");

    Casas(1, 6);
    Selecao().ReconfigurarDM("CodigoEmpresa", false);
    EXPECT_EQ(Formato(dm, "QUANTIDADE"), "#,##0.000000");
    auto *dc = AbrirDM("TOrvoDCSPEDFISK220");
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dc->FieldByName("QUANTIDADE").Def().Decimais, 6);
    EXPECT_EQ(dc->FieldByName("QUANTIDADEDEST").Def().Decimais, 6);
}

TEST_F(SpedFisK220Banco, EmpresaDaLinhaOuAtiva)
{
    Casas(1, 1);
    Casas(2, 5);
    con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
    con().Executar("insert into SPEDFISK220 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTOORI, "
                   "CODIGOPRODUTODEST, QUANTIDADE, QUANTIDADEDEST) values (2, 1, '2024-06-10', 1, 2, 1, 1)");
    // Company 2 selected, company 1 active: the row's company counts once there is a row.
    Selecao().GetParams("CodigoEmpresa").SetValue(2);
    auto *dc = AbrirDM("TOrvoDCSPEDFISK220");
    ASSERT_NE(dc, nullptr);
    ASSERT_FALSE(dc->nClientDataSet().IsEmpty());
    EXPECT_EQ(dc->FieldByName("QUANTIDADE").Def().Decimais, 5);
    // Before a row is read (a new register on no rows) the active company's, not the
    // selection's.
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    ExternalVar("gCodigoEmpresaAtiva", "2");
    auto *dm = AbrirDM("TOrvoDMSpedFisK220");
    ASSERT_NE(dm, nullptr);
    ASSERT_TRUE(dm->nClientDataSet().IsEmpty());
    EXPECT_EQ(Formato(dm, "QUANTIDADE"), "#,##0.00000");
    // A new row of company 1: its own company's.
    dm->nClientDataSet().Append();
    dm->ConfigurarCampo(&dm->nClientDataSet());
    EXPECT_EQ(Formato(dm, "QUANTIDADEDEST"), "#,##0.0");
    dm->nClientDataSet().Cancel();
}

TEST_F(SpedFisK220Banco, SalvarAsConfiguracoesAtualizaAsCasas)
{
    Casas(1, 1);
    TnBibliotecas::Carregar("OrvoPrefs");
    auto *dm = AbrirDM("TOrvoDMSpedFisK220");
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(Formato(dm, "QUANTIDADE"), "#,##0.0");
    auto *cfg = AbrirDM("TOrvoDMCfgEmpresaInv");
    ASSERT_NE(cfg, nullptr);
    cfg->nClientDataSet().Edit();
    cfg->FieldByName("QTDECASADECIMALQTD").SetAsInteger(4);
    cfg->nClientDataSet().Post();
    EXPECT_EQ(Formato(dm, "QUANTIDADE"), "#,##0.0000");
    EXPECT_EQ(Formato(dm, "QUANTIDADEDEST"), "#,##0.0000");
}

TEST_F(SpedFisK220Banco, OrigemDiferenteDoDestino)
{
    auto *dm = AbrirDM("TOrvoDMSpedFisK220");
    ASSERT_NE(dm, nullptr);
    TnClientDataSet &ds = dm->nClientDataSet();
    ds.Append();
    dm->FieldByName("DATALCTOFIS").SetAsVariant(QDate(2024, 6, 10));
    dm->FieldByName("CODIGOPRODUTOORI").SetAsLargeInt(8);
    dm->FieldByName("CODIGOPRODUTODEST").SetAsLargeInt(8);
    dm->FieldByName("QUANTIDADE").SetAsFloat(1);
    dm->FieldByName("QUANTIDADEDEST").SetAsFloat(1);
    try {
        ds.Post();
        ADD_FAILURE() << "origin equal to destination was accepted";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "CODIGOPRODUTODEST");
        EXPECT_EQ(e.Message(), "Produtos de origem e destino devem ser diferentes.");
    }
    dm->FieldByName("CODIGOPRODUTODEST").SetAsLargeInt(9);
    ds.Post();
    EXPECT_EQ(Linhas("SPEDFISK220"), 1);
}

TEST_F(SpedFisK220Banco, BibliotecaRegistraOsSeisModulos)
{
    for (const char *c : {"TOrvoDMSpedFis0210", "TOrvoDCSPEDFIS0210", "TOrvoDMSpedFisK200", "TOrvoDCSPEDFISK200",
                          "TOrvoDMSpedFisK220", "TOrvoDCSPEDFISK220"})
        EXPECT_NE(Registro().Classe(c), nullptr) << c;
    // The base is never registered.
    EXPECT_EQ(Registro().Classe("TOrvoDMSpedFisKBase"), nullptr);
}
