// The inventory audit on the desktop (offscreen): its grid on the tab "Executar", the title
// rows drawn bold on money green and a double-click on a title row opening nothing.
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "ProcessoInvTeste.h"
#include "QtEditores.h"
#include "QtForms.h"
#include "QtGrade.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QTabWidget>

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
