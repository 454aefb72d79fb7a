// Totals per period as the program loads it (OrvoCore, by class name): its action and
// declaration, the selection it opens with, the totals per date over a range of months and
// the parameters it refuses.
#include "Acoes.h"
#include "LctoInvTeste.h"
#include "PowerParam.h"

#include <gtest/gtest.h>

namespace {

const QString kClasse = QStringLiteral("TOrvoDPTotalInventarioPeriodo");

class TotalInventarioPeriodoBanco : public BancoLctoInv {
protected:
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial')");
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values "
                       "(1, 1, 'A'), (1, 2, 'B'), (1, 3, 'C')");
    }
    void Lcto(const char *data, int produto, double qtde, double preco, int motivo = 1, int estab = 1)
    {
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                       "values (1, ?, ?, ?, ?, ?, ?, '2025-01-02 08:00:00', 1, 2)",
                       {estab, QString::fromLatin1(data), produto, motivo, qtde, preco});
    }
    TnDMPowerParamGrid *Abrir()
    {
        auto *dp = qobject_cast<TnDMPowerParamGrid *>(CriarDM(kClasse));
        EXPECT_NE(dp, nullptr);
        return dp;
    }
    // Runs over the months and answers the grid as "dd/mm/yyyy|count|value" lines.
    static QStringList Rodar(TnDMPowerParamGrid *dp, const QString &inicial, const QString &final)
    {
        // The branch is not among the process's selection keys: the user types it.
        if (dp->Param("pCodigoEstab").IsNull())
            dp->Param("pCodigoEstab").SetText("1");
        dp->Param("pPeriodoInicial").SetText(inicial);
        dp->Param("pPeriodoFinal").SetText(final);
        dp->Rodar();
        QStringList r;
        TnClientDataSet &ds = dp->nClientDataSet();
        for (ds.First(); !ds.Eof(); ds.Next())
            r << ds.FieldByName("DataInvent").AsString() + '|' + ds.FieldByName("QTDELCTOINV").DisplayText() + '|'
                     + ds.FieldByName("VALORTOTAL").DisplayText();
        return r;
    }
};

TEST_F(TotalInventarioPeriodoBanco, AcaoDeclaracaoESelecaoAoAbrir)
{
    TnAction *a = AcaoDoMenu("act" + kClasse);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Caption(), "Total Inventário por Período");
    EXPECT_EQ(a->Category(), "30 Consultas");
    EXPECT_EQ(a->MenuIndex(), 50);
    EXPECT_EQ(a->ImageIndex(), 91);
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa");

    // The selection's company and its period, as the process opens; the branch is not among
    // its selection keys and starts empty.
    SelecionarData(QDate(2024, 12, 1));
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    EXPECT_FALSE(dp->Param("pCodigoEmpresa").Visivel());
    EXPECT_EQ(dp->Param("pCodigoEmpresa").AsInteger(), 1);
    EXPECT_TRUE(dp->Param("pCodigoEstab").IsNull());
    EXPECT_EQ(dp->Param("pCodigoEstab").Caption(), "Estabelecimento");
    EXPECT_EQ(dp->Param("pPeriodoInicial").Text(), "12/2024");
    EXPECT_EQ(dp->Param("pPeriodoFinal").Text(), "12/2024");
    EXPECT_EQ(dp->Param("pMotivoInventario").Text(), "No final no período");
    const TnClientDataSet &ds = dp->nClientDataSet();
    EXPECT_TRUE(ds.Active());
    EXPECT_EQ(ds.FieldByName("DataInvent").DisplayLabel(), "Data Inventário");
    EXPECT_EQ(ds.FieldByName("QTDELCTOINV").DisplayLabel(), "Quantidade Lançamentos");
    EXPECT_EQ(ds.FieldByName("VALORTOTAL").DisplayFormat(), "#,##0.00");
}

TEST_F(TotalInventarioPeriodoBanco, TotaisPorDataArredondadosAoCentavo)
{
    // Each entry rounded first: 10.00 + 20.00 + 0.00.
    Lcto("2024-03-31", 1, 1, 10.004);
    Lcto("2024-03-31", 2, 1, 20.004);
    Lcto("2024-03-31", 3, 1, 0.001);
    Lcto("2024-03-01", 1, 2.5, 4); // the initial month's first day counts
    Lcto("2024-03-20", 1, 3, 1.005); // exactly 3.015: 3.02, not the doubles' 3.01
    Lcto("2024-03-15", 2, 3, 1.5, 2);    // another reason
    Lcto("2024-03-15", 3, 3, 1.5, 1, 2); // another branch
    Lcto("2024-04-01", 1, 1, 1);         // after the final month
    Lcto("2024-02-29", 1, 1, 1);         // before the initial month
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    const qint64 antes = Linhas("LCTOINV");
    EXPECT_EQ(Rodar(dp, "03/2024", "03/2024"),
              QStringList({"01/03/2024|1,00|10,00", "20/03/2024|1,00|3,02", "31/03/2024|3,00|30,00"}));
    EXPECT_EQ(Linhas("LCTOINV"), antes); // it writes nothing
    EXPECT_FALSE(con().InTransaction());

    // Another reason, another run: only its own rows.
    dp->Param("pMotivoInventario").SetText("Na mudança de forma de tributação da mercadoria (ICMS)");
    EXPECT_EQ(Rodar(dp, "01/2024", "12/2024"), QStringList({"15/03/2024|1,00|4,50"}));
    dp->Param("pMotivoInventario").Restaurar();
    dp->Param("pCodigoEstab").SetText("2");
    EXPECT_EQ(Rodar(dp, "03/2024", "03/2024"), QStringList({"15/03/2024|1,00|4,50"}));
}

TEST_F(TotalInventarioPeriodoBanco, FevereiroFinalAteOUltimoDiaEIntervaloVazio)
{
    Lcto("2024-02-29", 1, 1, 1);
    Lcto("2023-02-28", 1, 1, 2);
    Lcto("2023-03-01", 1, 1, 3);
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    EXPECT_EQ(Rodar(dp, "02/2024", "02/2024"), QStringList({"29/02/2024|1,00|1,00"}));
    EXPECT_EQ(Rodar(dp, "01/2023", "02/2023"), QStringList({"28/02/2023|1,00|2,00"}));
    EXPECT_TRUE(Rodar(dp, "05/2023", "06/2023").isEmpty()); // no entry in the range
    EXPECT_TRUE(Rodar(dp, "03/2024", "02/2024").isEmpty()); // initial after final
    EXPECT_EQ(Rodar(dp, "2023-01-10", "31/03/2023").size(), 2); // whole dates name their months

    // An empty company parameter stands for the active company.
    dp->Param("pCodigoEmpresa").Clear();
    EXPECT_EQ(Rodar(dp, "02/2024", "02/2024").size(), 1);
}

TEST_F(TotalInventarioPeriodoBanco, ParametrosRecusadosNoProprioParametro)
{
    Lcto("2024-03-31", 1, 1, 1);
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    ASSERT_EQ(Rodar(dp, "03/2024", "03/2024").size(), 1);
    const auto recusado = [&](const char *inicial, const char *final, const char *param) {
        try {
            Rodar(dp, QString::fromLatin1(inicial), QString::fromLatin1(final));
            ADD_FAILURE() << inicial << " " << final;
        } catch (const EnParam &e) {
            EXPECT_EQ(e.Param(), QString::fromLatin1(param)) << inicial << " " << final;
        }
        EXPECT_TRUE(dp->nClientDataSet().IsEmpty()); // a refused run shows no old rows
    };
    recusado("", "03/2024", "pPeriodoInicial");
    recusado("13/2024", "03/2024", "pPeriodoInicial");
    recusado("03/2024", " ", "pPeriodoFinal");
    recusado("03/2024", "março", "pPeriodoFinal");
    dp->Param("pCodigoEstab").SetText("1a");
    recusado("03/2024", "03/2024", "pCodigoEstab");
}

} // namespace

TEST_F(TotalInventarioPeriodoBanco, OpcoesDaGrade)
{
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    EXPECT_EQ(dp->GridOptions(),
              TnOpcoesGrade({goAutoInsert, goZebrar, goPermitirFiltro, goPermitirMoverColuna, goTotalizarValores,
                             goPermitePaginacao, goColumnHidingEnabled, goPermiteAgrupamento, goGridReadOnly,
                             goExibirNavigator, goMostrarExpandirDetalhesVazios, goCelulaAlturaAutomatica,
                             goHeaderAulturaAutomatica}));
    // Read-only: nothing typed, no row deleted, no row appended by moving down.
    EXPECT_TRUE(dp->DBGridReadOnly());
    EXPECT_FALSE(dp->GridOptions().PodeEditar());
    EXPECT_FALSE(dp->GridOptions().PodeExcluir());
    EXPECT_FALSE(dp->GridOptions().PodeIncluirAoDescer());
}
