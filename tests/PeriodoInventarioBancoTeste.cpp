// The inventory period selection as the program loads it (OrvoCore, by class name): its menu
// action and form, and a run that refuses a month before changing anything or applies it to
// the framework's state and the open modules.
#include "Acoes.h"
#include "BancoOrvo.h"
#include "FormFalso.h"
#include "Menu.h"
#include "ModulosTeste.h"
#include "OrvoDPPeriodoInventario_U.h"
#include "OrvoSMenuRegras.h"
#include "SuiteInv.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

namespace {
const QString kClasse = QStringLiteral("TOrvoDPPeriodoInventario");

class PeriodoInventarioBanco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(RegistrarClasse<TTesteDMLcto>("TTesteDMLcto"));
        SelecionarData(QDate(2023, 12, 1));
        gDataInicialAtivo = QDate(2023, 12, 1);
    }
    // A new process shown on a fake form that closes as the desktop's does.
    TnDMPowerParam *Abrir()
    {
        auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(kClasse));
        EXPECT_NE(dp, nullptr);
        FForm.AoFechar = [this, dp] {
            bool pode = true;
            dp->FormCloseQuery(&FForm, pode);
            dp->FormFechado();
        };
        dp->ConfigurarForm(&FForm);
        return dp;
    }
    // The inventory entries register, open and following "DataInvent".
    TTesteDMLcto *Lancamentos()
    {
        auto *lcto = static_cast<TTesteDMLcto *>(CriarDM("TTesteDMLcto"));
        lcto->Reconfiguracoes.clear();
        return lcto;
    }
    // The framework's state the process may change.
    QStringList Estado()
    {
        QStringList r{gDataInicialAtivo.toString(Qt::ISODate),
                      Selecao().GetParams("DataInvent").AsDate().toString(Qt::ISODate)};
        for (const char *v : {"gDataInvent", "pDataInvent", "pDataInvent_Pad", "gDataInventAtiva"})
            r << ExternalVar(QString::fromLatin1(v));
        return r;
    }
    TnFormFalso FForm;
};
} // namespace

TEST_F(PeriodoInventarioBanco, AcaoDoMenuEForm)
{
    TnActionList &acoes = AcoesDoMenu();
    TnAction *a = acoes.Acao("acttorvodpperiodoinventario");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(RotaDaAcao(a->Name()), TOrvoRotaAcao::PeriodoInventario); // the main window takes it
    EXPECT_EQ(a->ShortCut(), "F8");
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa;CodigoEstab");
    TnMenuModelo menu({"&Cadastros", "&Movimentos", "Co&nfigurações"});
    menu.Montar(acoes);
    EXPECT_NE(menu.Item("Configurações\\Selecionar Período Inventário"), nullptr);
    TnActionList geral;
    geral.GerarPrincAction(TnEventoAcao(), Modulos({0}));
    EXPECT_EQ(geral.Acao(a->Name()), nullptr); // only in this module's menu

    TnDMPowerParam *dp = Abrir();
    EXPECT_TRUE(dp->Param("pDataPeriodo").EhMesAno());
    EXPECT_EQ(FForm.Com("Atalho"), QStringList({QString("Atalho:%1:Esc").arg(int(nafFechar))}));
    EXPECT_EQ(FForm.Com("Tamanho"), QStringList({"Tamanho:400:100"}));

    // Unloading the library takes the class and its open module.
    QPointer<TnDataModule> vivo(dp);
    TnBibliotecas::Descarregar("OrvoCore");
    EXPECT_TRUE(vivo.isNull());
    EXPECT_EQ(Registro().Classe(kClasse), nullptr);
}

TEST_F(PeriodoInventarioBanco, RecusasNaoMudamNada)
{
    con().Executar("update CFGEMPRESAINV set PERIODOINVENTARIO = 2 where CODIGOEMPRESA = 1");
    TTesteDMLcto *lcto = Lancamentos();
    const QStringList antes = Estado();
    ASSERT_EQ(antes.value(2), "01/12/2023");
    TnDMPowerParam *dp = Abrir();

    // No company.
    ExternalVar("gCodigoEmpresaAtiva", "");
    dp->Param("pDataPeriodo").SetText("03/2024");
    try {
        dp->Rodar();
        ADD_FAILURE() << "sem empresa";
    } catch (const EnParam &) {
        ADD_FAILURE() << "sem empresa não é falha do parâmetro";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8(OrvoSEmpresaNaoSelecionada));
    }
    ExternalVar("gCodigoEmpresaAtiva", "1");

    // Texts that are not a month.
    for (const char *texto : {"abc", "13/2024", "00/2024", "31/02/2024"}) {
        dp->Param("pDataPeriodo").SetText(QString::fromLatin1(texto));
        try {
            dp->Rodar();
            ADD_FAILURE() << texto;
        } catch (const EnParam &e) {
            EXPECT_EQ(e.Param(), "pDataPeriodo");
            EXPECT_EQ(e.Message(), QString::fromUtf8(OrvoSCompetInventInvalida)) << texto;
        }
    }

    // A month the quarterly company does not take: the suite's message at the parameter.
    QString esperada;
    ASSERT_FALSE(ValidarPeriodoSelecionado(1, QDate(2024, 4, 30), esperada));
    dp->Param("pDataPeriodo").SetText("04/2024");
    try {
        dp->Rodar();
        ADD_FAILURE() << "abril numa empresa trimestral";
    } catch (const EnParam &e) {
        EXPECT_EQ(e.Param(), "pDataPeriodo");
        EXPECT_EQ(e.Message(), esperada);
    }

    EXPECT_EQ(Estado(), antes);
    EXPECT_TRUE(lcto->Reconfiguracoes.isEmpty());
    EXPECT_FALSE(FForm.Chamadas.contains("Fechar"));
    EXPECT_EQ(dp->Form(), &FForm);
}

TEST_F(PeriodoInventarioBanco, MesValidoSegueParaAsVariaveisEOsModulosEFechaOForm)
{
    con().Executar("update CFGEMPRESAINV set PERIODOINVENTARIO = 2 where CODIGOEMPRESA = 1");
    TTesteDMLcto *lcto = Lancamentos();
    QPointer<TnDMPowerParam> dp = Abrir();
    dp->Param("pDataPeriodo").SetText("03/2024");
    dp->Rodar();

    // The month's first day everywhere.
    EXPECT_EQ(Estado(), QStringList({"2024-03-01", "2024-03-01", "01/03/2024", "01/03/2024", "01/03/2024",
                                     "01/03/2024"}));
    EXPECT_EQ(lcto->Reconfiguracoes, QStringList({"DataInvent-"}));
    EXPECT_TRUE(FForm.Chamadas.contains("Fechar"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dp.isNull()); // freed with its form
    ExternalVar("gCodigoEmpresaAtiva", "1");
    EXPECT_EQ(TextoPeriodoInventario(), "Inventário: 03/2024 - Trimestral");
}
