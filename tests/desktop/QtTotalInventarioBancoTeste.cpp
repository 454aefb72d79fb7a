// Totals per period on the desktop (offscreen): its grid with the options it declares,
// shaded rows, wrapped captions, the exact footer, the filter, navigator and pages.
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "ProcessoInvTeste.h"
#include "QtEditores.h"
#include "QtForms.h"
#include "QtGrade.h"
#include "QtGradeOpcoes.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>

namespace {
class TotalInventarioQtBanco : public BancoProcessoInv {};
} // namespace

TEST_F(TotalInventarioQtBanco, GradeComAsOpcoesDeclaradas)
{
    TnInteracaoTeste usuario;
    Produto(10);
    Produto(20);
    Lcto(1, QDate(2024, 3, 1), 10, 1, 1, 10.004);
    Lcto(1, QDate(2024, 3, 1), 20, 1, 1, 20.004);
    Lcto(1, QDate(2024, 3, 15), 10, 1, 3, 1.005);
    Lcto(1, QDate(2024, 4, 30), 20, 1, 2, 0.5);
    QPointer<TnFrmProcesso> f =
        qobject_cast<TnFrmProcesso *>(CriarFormModulo(CriarDM("TOrvoDPTotalInventarioPeriodo"), nullptr));
    ASSERT_NE(f, nullptr);
    f->resize(760, 560);
    f->show();
    f->Editor("pCodigoEstab")->SetTexto("1");
    f->Editor("pPeriodoInicial")->SetTexto("03/2024");
    f->Editor("pPeriodoFinal")->SetTexto("04/2024");
    ASSERT_TRUE(f->Executar());
    QApplication::processEvents();
    TnGradeDataSet *g = f->Grade();
    ASSERT_NE(g, nullptr);
    EXPECT_TRUE(g->alternatingRowColors());
    EXPECT_TRUE(g->horizontalHeader()->sectionsMovable());
    EXPECT_EQ(g->model()->rowCount(), 3);
    auto *rodape = f->findChild<TnRodapeTotais *>();
    ASSERT_NE(rodape, nullptr);
    EXPECT_TRUE(rodape->isVisible());
    EXPECT_EQ(rodape->Texto(1), "4,00");  // the entries counted
    EXPECT_EQ(rodape->Texto(2), "34,02"); // 10.00 + 20.00, 3.02, 1.00
    EXPECT_NE(f->findChild<TnBarraFiltro *>(), nullptr);
    auto *nav = f->findChild<TnNavegadorGrade *>();
    ASSERT_NE(nav, nullptr);
    EXPECT_EQ(nav->Posicao(), "1 de 3");
    EXPECT_EQ(nav->TextoPagina(), "Página 1 de 1");
    teste::Capturar(f, "total_inventario_opcoes");
    delete f.data();
}
