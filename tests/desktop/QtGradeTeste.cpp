// The lazy grid: a million rows counted, not formatted; only what is drawn is read.
#include "ClientDataSet.h"
#include "Conexao.h"
#include "QtGrade.h"
#include "QtTeste.h"

#include <QApplication>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {
// Rows made up as they are read: CODIGO = n, NOME = "Produto n".
class TnCursorContador : public TnCursor {
public:
    explicit TnCursorContador(int linhas) : FLinhas(linhas) {}
    int Colunas() const override { return 2; }
    const TnColunaInfo &Coluna(int i) const override { return FColunas[i]; }
    bool Proximo() override { return ++FAtual <= FLinhas; }
    bool Nulo(int) override { return false; }
    qint64 Inteiro(int) override { return FAtual; }
    double Real(int) override { return FAtual; }
    QString Texto(int i) override { return i == 0 ? QString::number(FAtual) : QStringLiteral("Produto %1").arg(FAtual); }
    QDate Data(int) override { return {}; }
    QDateTime DataHora(int) override { return {}; }

private:
    int FLinhas;
    int FAtual = 0;
    TnColunaInfo FColunas[2] = {{"CODIGO", ftInteger}, {"NOME", ftString, 40}};
};

struct Contagem {
    int Formatados = 0;
    void Ligar(TnClientDataSet &ds)
    {
        for (int i = 0; i < ds.FieldCount(); ++i)
            ds.Fields(i).OnGetText = [this](TnField &, QString &, bool) { ++Formatados; };
    }
};
} // namespace

TEST(GradeLazy, MilhaoDeLinhasSoFormataOQueAparece)
{
    TnClientDataSet ds;
    TnCursorContador cursor(1000000);
    ds.CarregarDe(cursor);
    Contagem c;
    c.Ligar(ds);

    QObject dono;
    TnGradeDataSet grade(ds, &dono, true);
    grade.resize(500, 300);
    TnModeloDataSet &m = *grade.Modelo();
    EXPECT_EQ(m.rowCount(), 1000000);
    EXPECT_EQ(m.columnCount(), 2);
    EXPECT_EQ(c.Formatados, 0); // counting and building the grid read no row

    EXPECT_EQ(m.data(m.index(999999, 1)).toString(), "Produto 1000000");
    EXPECT_EQ(c.Formatados, 1);
    EXPECT_EQ(ds.RecNo(), 1); // reading a row does not move the dataset

    grade.show();
    QApplication::processEvents();
    teste::Capturar(&grade, "grade_inicio");
    const int primeiraTela = c.Formatados;
    EXPECT_GT(primeiraTela, 1);
    EXPECT_LT(primeiraTela, 400); // a screenful, not a million

    grade.verticalScrollBar()->setValue(grade.verticalScrollBar()->maximum());
    QApplication::processEvents();
    teste::Capturar(&grade, "grade_fim");
    EXPECT_LT(c.Formatados - primeiraTela, 400);
    EXPECT_EQ(m.data(m.index(999999, 0)).toString(), "1000000");
}

TEST(GradeLazy, GradeSegueODataSetEEditaPeloModelo)
{
    TnClientDataSet ds;
    const TnDefCampo campos[] = {{.Nome = "CODIGO", .Tipo = ftInteger},
                                 {.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2,
                                  .Def = {.DisplayFormat = "#,##0.00"}},
                                 {.Nome = "OCULTO", .Tipo = ftString, .Def = {.Visivel = false}}};
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    for (int i = 1; i <= 3; ++i) {
        ds.Append();
        ds.FieldByName("CODIGO").SetAsInteger(i);
        ds.FieldByName("VALOR").SetAsFloat(i * 1000.5);
        ds.Post();
    }
    auto dono = std::make_unique<QObject>();
    TnGradeDataSet grade(ds, dono.get(), false);
    TnModeloDataSet &m = *grade.Modelo();
    EXPECT_EQ(m.columnCount(), 2); // invisible fields are not shown
    EXPECT_EQ(m.data(m.index(1, 1)).toString(), "2.001,00");
    EXPECT_EQ(m.data(m.index(1, 1), Qt::TextAlignmentRole).toInt() & Qt::AlignRight, int(Qt::AlignRight));

    ds.First();
    EXPECT_EQ(grade.currentIndex().row(), 0);
    ds.Last();
    EXPECT_EQ(grade.currentIndex().row(), 2);
    grade.setCurrentIndex(m.index(1, 0)); // the user picks a row
    EXPECT_EQ(ds.RecNo(), 2);

    EXPECT_TRUE(m.setData(m.index(0, 1), "12,5"));
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(m.data(m.index(0, 1)).toString(), "12,50"); // the edit buffer is what is shown
    ds.Post();
    EXPECT_DOUBLE_EQ(ds.FieldByName("VALOR").AsFloat(), 12.5);

    // Inserting shows an extra last row with the buffer.
    ds.Append();
    EXPECT_EQ(m.rowCount(), 4);
    ds.FieldByName("CODIGO").SetAsInteger(9);
    EXPECT_EQ(m.data(m.index(3, 0)).toString(), "9");
    ds.Cancel();
    EXPECT_EQ(m.rowCount(), 3);

    // The module is gone: the model lets go of its dataset without touching it.
    dono.reset();
    EXPECT_EQ(m.rowCount(), 0);
    EXPECT_EQ(m.DataSet(), nullptr);
}
