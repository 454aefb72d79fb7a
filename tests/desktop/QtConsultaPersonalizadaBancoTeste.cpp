// A saved custom query opened from its menu action in the process window: its filters as
// parameters, the run, the result grid with the catalogue's captions and formats.
#include "BancoConsultaPersonalizada.h"
#include "ConsultaPersonalizada.h"
#include "QtEditores.h"
#include "QtGrade.h"
#include "QtInteracao.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QApplication>
#include <QScopeGuard>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

class QtConsultaPersonalizadaBanco : public BancoConsultaPersonalizada {
protected:
    void SetUp() override
    {
        BancoConsultaPersonalizada::SetUp();
        if (IsSkipped())
            return;
        InserirProdutos("Parafuso sextavado", 2);
        const QVariantList lctos[] = {{1, "2024-03-01", 1, 120.4, 1.25}, {1, "2024-03-01", 2, 3000, 0.05},
                                      {2, "2024-03-01", 1, 7, 1.5}, {2, "2024-04-01", 2, 15, 0.8}};
        for (const QVariantList &l : lctos)
            con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                           "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                           "values (1, ?, ?, ?, 1, ?, ?, '2024-04-01 08:00:00', 1, 2)",
                           l);
        DefinirInteracao(&FQt);
    }
    void TearDown() override
    {
        DefinirInteracao(nullptr);
        BancoConsultaPersonalizada::TearDown();
    }
    TnInteracaoQt FQt;
};

} // namespace

TEST_F(QtConsultaPersonalizadaBanco, ConsultaSalvaAbertaPeloMenuRodaNaJanela)
{
    TnDefinicaoConsulta d;
    const QString l = d.AdicionarTabela("TOrvoDMLctoInv");
    d.Campos = {{l, "CODIGOESTAB"}, {l, "DATAINVENT"}, {l, "CUSTOTOTAL", "", false, ntcSoma},
                {l, "QTDEESTOQUE", "Quantidade total", false, ntcSoma}};
    d.Filtros = {{l, "DATAINVENT", nofEntre}, {l, "CODIGOESTAB", nofLista}};
    d.Ordem = {{l, "CODIGOESTAB"}, {l, "DATAINVENT"}};
    SalvarConsultaPersonalizada(QString::fromUtf8("Custo por filial e mês"), 12, d);

    TnActionList acoes;
    acoes.GerarPrincAction([](TnAction *) {}, Modulos({3}));
    TnAction *acao = acoes.Acao("actConsultaPersonalizada1");
    ASSERT_NE(acao, nullptr);
    auto *dp = qobject_cast<TnDMPowerParamGrid *>(CriarDM(acao->NomeClasse(), acao));
    ASSERT_NE(dp, nullptr);
    auto *f = new TnFrmProcesso(dp);
    f->setAttribute(Qt::WA_DeleteOnClose);
    const auto fechar = qScopeGuard([f] {
        f->close();
        QApplication::processEvents();
    });
    f->resize(900, 520);
    f->show();
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    EXPECT_EQ(f->windowTitle(), QString::fromUtf8("Custo por filial e mês"));
    f->Editor("pFiltro1")->SetTexto("01/03/2024");
    f->Editor("pFiltro2")->SetTexto("1; 2");
    ASSERT_TRUE(f->Executar());
    TnGradeDataSet *grade = f->Grade();
    ASSERT_NE(grade, nullptr);
    QAbstractItemModel *m = grade->model();
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Custo Total"));
    EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Quantidade total"));
    EXPECT_EQ(m->data(m->index(0, 2)).toString(), QStringLiteral("300,50")); // 150.50 + 150
    EXPECT_EQ(m->data(m->index(2, 2)).toString(), QStringLiteral("12,00"));
    teste::Capturar(f, "consulta_personalizada");
}
