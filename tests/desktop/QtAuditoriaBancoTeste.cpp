// The inventory audit on the desktop (offscreen): its grid on the tab "Executar", the title
// rows drawn bold on money green and a double-click on a title row opening nothing; its
// rules ticked in the check list.
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "ProcessoInvTeste.h"
#include "QtEditores.h"
#include "QtForms.h"
#include "QtGrade.h"
#include "QtListaMarcacao.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QTabWidget>
#include <QTest>

namespace {
class AuditoriaQtBanco : public BancoProcessoInv {};
} // namespace

TEST_F(AuditoriaQtBanco, TitulosEmNegritoSobreVerdeEDuploCliqueNelesNaoAbre)
{
    TnInteracaoTeste usuario;
    DefinirUsuarioConectado(1, QStringLiteral("ADMINISTRADOR"));
    Produto(10);
    Lcto(1, QDate(2024, 2, 10), 10, 1);
    QPointer<TnFrmProcesso> f = qobject_cast<TnFrmProcesso *>(CriarFormModulo(CriarDM("TOrvoDPAuditoriaInv"), nullptr));
    ASSERT_NE(f, nullptr);
    f->show();
    f->Editor("pAuditoria")->SetTexto("1");
    f->Editor("pCompetInicial")->SetTexto("02/2024");
    f->Editor("pCompetFinal")->SetTexto("02/2024");
    f->Editor("pCodigoEstab")->SetTexto("1");
    EXPECT_TRUE(f->Executar());
    QApplication::processEvents();
    ASSERT_EQ(f->Resultados()->count(), 1);
    EXPECT_EQ(f->Resultados()->tabText(0), "Executar");
    const QAbstractItemModel *m = f->Grade()->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->data(m->index(0, 0), Qt::BackgroundRole).value<QColor>(), QColor(0xC0, 0xDC, 0xC0));
    EXPECT_TRUE(m->data(m->index(0, 1), Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(m->data(m->index(1, 0), Qt::BackgroundRole).isValid());
    // As drawn: the empty code cell of the title row, with the finding row current.
    f->Grade()->setCurrentIndex(m->index(1, 0));
    QApplication::processEvents();
    const QRect celula = f->Grade()->visualRect(m->index(0, 1));
    EXPECT_EQ(f->Grade()->viewport()->grab().toImage().pixelColor(celula.center()), QColor(0xC0, 0xDC, 0xC0));
    teste::Capturar(f, "auditoria");

    f->Grade()->setCurrentIndex(m->index(0, 0));
    emit f->Grade()->doubleClicked(m->index(0, 0));
    EXPECT_TRUE(usuario.FormsMostrados.isEmpty());
    delete f.data();
    DefinirUsuarioConectado(0, QString());
}

// Two rules ticked with the space bar run in the list's order, and only they; the group's
// tick follows its entries and ticks them all.
TEST_F(AuditoriaQtBanco, RegrasMarcadasNaListaRodamNaOrdemDaLista)
{
    TnInteracaoTeste usuario;
    DefinirUsuarioConectado(1, QStringLiteral("ADMINISTRADOR"));
    Produto(10);
    Produto(20);
    Lcto(1, QDate(2024, 2, 10), 10, 1);          // no property: rule 1
    Lcto(1, QDate(2024, 2, 20), 20, 1, 100, 2.5); // other quantity: rule 4 (and rules 2, 3, 5)
    Propriedade(1, QDate(2024, 2, 20), 20, 1, 1, 99, 2.51);
    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM("TOrvoDPAuditoriaInv"));
    ASSERT_NE(dp, nullptr);
    QPointer<TnFrmProcesso> f = qobject_cast<TnFrmProcesso *>(CriarFormModulo(dp, nullptr));
    ASSERT_NE(f, nullptr);
    f->show();
    auto *lista = qobject_cast<TnListaMarcacao *>(f->Editor("pAuditoria")->Entrada());
    ASSERT_NE(lista, nullptr);
    ASSERT_EQ(lista->topLevelItemCount(), 1);
    QTreeWidgetItem *grupo = lista->topLevelItem(0);
    EXPECT_EQ(grupo->text(0), "Lançamentos");
    ASSERT_EQ(grupo->childCount(), 6);
    EXPECT_EQ(grupo->child(3)->text(0), "Diferença na Quantidade Entre Lançamento do Inventario e Propriedade");
    EXPECT_EQ(lista->Texto(), "");

    // Every option shows whole: none cut at the bottom or the right.
    QApplication::processEvents();
    for (QTreeWidgetItem *item : {grupo, grupo->child(4), grupo->child(5)}) {
        const QRect r = lista->visualItemRect(item);
        EXPECT_LE(r.bottom(), lista->viewport()->height()) << item->text(0).toStdString();
        const int largura = lista->fontMetrics().horizontalAdvance(item->text(0));
        EXPECT_LE(r.left() + largura, lista->viewport()->width()) << item->text(0).toStdString();
    }

    lista->setFocus();
    lista->setCurrentItem(grupo->child(3));
    QTest::keyClick(lista, Qt::Key_Space);
    lista->setCurrentItem(grupo->child(0));
    QTest::keyClick(lista, Qt::Key_Space);
    EXPECT_EQ(grupo->checkState(0), Qt::PartiallyChecked);
    EXPECT_EQ(lista->Texto(), "1;4;");
    EXPECT_EQ(dp->Param("pAuditoria").AsString(), "1;4;");

    f->Editor("pCompetInicial")->SetTexto("02/2024");
    f->Editor("pCompetFinal")->SetTexto("02/2024");
    f->Editor("pCodigoEstab")->SetTexto("1");
    EXPECT_TRUE(f->Executar());
    QApplication::processEvents();
    const QAbstractItemModel *m = f->Grade()->model();
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->data(m->index(1, 1)).toString(), "10");
    EXPECT_EQ(m->data(m->index(3, 1)).toString(), "20");
    EXPECT_TRUE(m->data(m->index(3, 2)).toString().contains("diferença na quantidade"));
    teste::Capturar(f, "auditoria_lista");

    // The group ticks every rule, and unticked leaves none: the run refuses it.
    lista->setCurrentItem(grupo);
    QTest::keyClick(lista, Qt::Key_Space);
    EXPECT_EQ(dp->Param("pAuditoria").AsString(), "100;1;2;3;4;5;6;");
    QTest::keyClick(lista, Qt::Key_Space);
    EXPECT_EQ(grupo->child(2)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(dp->Param("pAuditoria").IsNull());
    EXPECT_FALSE(f->Executar());
    delete f.data();
    DefinirUsuarioConectado(0, QString());
}
