// The Bloco K query on the desktop (offscreen): every parameter on the form, the ten tabs
// in their order after a run, a family's master and detail grids under the header bands,
// and the screenshots of two tabs.
#include "BancoOrvo.h"
#include "InteracaoTeste.h"
#include "QtEditores.h"
#include "QtForms.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>
#include <QTableView>

namespace {
class ConsultaBlocoKQtBanco : public BancoOrvoCore {};
} // namespace

TEST_F(ConsultaBlocoKQtBanco, DezAbasComMestreDetalheECabecalho)
{
    TnInteracaoTeste usuario;
    for (const char *sql :
         {"insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, 10, 'Parafuso sextavado'), "
          "(1, 20, 'Arruela lisa'), (1, 30, 'Porca')",
          "insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTO, INDICADORESTOQUE, SEQ, "
          "QUANTIDADE) values (1, 1, '2024-03-31', 10, 0, 1, 12.5), (1, 1, '2024-03-31', 20, 1, 1, 3)",
          "insert into SPEDFISK210 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK210, CODIGOPRODUTO, QUANTIDADE) "
          "values (1, 1, '2024-03-01', 1, 10, 2)",
          "insert into SPEDFISK215 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK210, CODIGOPRODUTO, QUANTIDADE) "
          "values (1, 1, '2024-03-01', 1, 20, 1), (1, 1, '2024-03-01', 1, 30, 1)"})
        con().Executar(QString::fromLatin1(sql));
    QPointer<TnFrmProcesso> f =
        qobject_cast<TnFrmProcesso *>(CriarFormModulo(CriarDM("TOrvoDPConsultaLctoSpedBlocoK"), nullptr));
    ASSERT_NE(f, nullptr);
    f->resize(1100, 700);
    f->show();
    for (const char *p : {"pCodigoEmpresa", "pCodigoEstab", "pDataInicial", "pDataFinal", "pCodigoPessoa",
                          "pCodigoProduto", "pCodigoNCM"})
        EXPECT_NE(f->Editor(p), nullptr) << p;
    f->Editor("pCodigoEstab")->SetTexto("1");
    f->Editor("pDataInicial")->SetTexto("01/03/2024");
    f->Editor("pDataFinal")->SetTexto("31/03/2024");
    ASSERT_TRUE(f->Executar());
    QApplication::processEvents();
    EXPECT_EQ(usuario.ProgressosDestruidos, 1);

    QTabWidget *abas = f->Resultados();
    ASSERT_NE(abas, nullptr);
    ASSERT_EQ(abas->count(), 10);
    QStringList titulos;
    for (int i = 0; i < abas->count(); ++i)
        titulos << abas->tabText(i);
    EXPECT_EQ(titulos, (QStringList{"K200", "K210", "K220", "K230", "K250", "K260", "K270", "K280", "K290", "K300"}));

    QWidget *k200 = abas->widget(0);
    auto *grade200 = k200->findChild<QTableView *>("gradeMestre");
    if (!grade200)
        grade200 = qobject_cast<QTableView *>(k200);
    ASSERT_NE(grade200, nullptr);
    EXPECT_EQ(grade200->model()->rowCount(), 2);
    abas->setCurrentIndex(0);
    QApplication::processEvents();
    teste::Capturar(f, "consulta_bloco_k_k200");

    abas->setCurrentIndex(1);
    QApplication::processEvents();
    QWidget *k210 = abas->widget(1);
    auto *mestre = k210->findChild<QTableView *>("gradeMestre");
    auto *detalhe = k210->findChild<QTableView *>("gradeDetalhe");
    ASSERT_NE(mestre, nullptr);
    ASSERT_NE(detalhe, nullptr);
    EXPECT_EQ(mestre->model()->rowCount(), 1);
    EXPECT_EQ(detalhe->model()->rowCount(), 2);
    auto *periodo = k210->findChild<QLabel *>("bandaPeriodo");
    ASSERT_NE(periodo, nullptr);
    EXPECT_EQ(periodo->text(), QString::fromUtf8("Período: 01/03/2024 à 31/03/2024"));
    EXPECT_NE(k210->findChild<QAction *>("nActAbrirK210"), nullptr);
    teste::Capturar(f, "consulta_bloco_k_k210");
    delete f.data();
}
