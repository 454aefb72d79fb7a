// The options of a grid on the desktop (offscreen): shaded rows, what a read-only grid lets
// the user change, rows and captions as tall as their wrapped texts and the footer of
// exact totals kept current over the dataset's view.
#include "ClientDataSet.h"
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "QtGrade.h"
#include "QtGradeOpcoes.h"
#include "QtTeste.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QTreeView>
#include <QMenu>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

const TnDefCampo kCampos[] = {
    {.Nome = "DATA", .Tipo = ftDate, .Def = {.DisplayLabel = QString::fromUtf8("Data Inventário")}},
    {.Nome = "DESCRICAO", .Tipo = ftString, .Tamanho = 200, .Def = {.DisplayLabel = QString::fromUtf8("Descrição")}},
    {.Nome = "QTDE", .Tipo = ftFloat,
     .Def = {.DisplayLabel = QString::fromUtf8("Quantidade Lançamentos"), .DisplayFormat = "#,##0.00"}},
    {.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2,
     .Def = {.DisplayLabel = "Valor Total", .DisplayFormat = "#,##0.00"}},
    {.Nome = "CODIGO", .Tipo = ftInteger, .Def = {.DisplayLabel = QString::fromUtf8("Código")}},
};

void Linha(TnClientDataSet &ds, int dia, const QString &descricao, double qtde, qint64 centavos)
{
    ds.Append();
    ds.FieldByName("DATA").SetAsDate(QDate(2024, 3, dia));
    ds.FieldByName("DESCRICAO").SetAsString(descricao);
    ds.FieldByName("QTDE").SetAsFloat(qtde);
    ds.FieldByName("VALOR").SetAsEscalado(centavos, 2);
    ds.FieldByName("CODIGO").SetAsInteger(dia);
    ds.Post();
}

// A page as the process window builds it: the grid with what its options add.
struct Pagina {
    QWidget janela;
    TnGradeDataSet *grade;
    TnRodapeTotais *rodape = nullptr;
    Pagina(TnClientDataSet &ds, QObject *dono, const TnOpcoesGrade &opcoes)
    {
        auto *l = new QVBoxLayout(&janela);
        l->setContentsMargins(0, 0, 0, 0);
        grade = new TnGradeDataSet(ds, dono, opcoes.Tem(goGridReadOnly), &janela);
        MontarGradeComOpcoes(l, grade, opcoes);
        rodape = janela.findChild<TnRodapeTotais *>();
        janela.resize(640, 300);
        janela.show();
        QApplication::processEvents();
    }
};

class GradeOpcoes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.DefinirCampos(kCampos);
        ds.CreateDataSet();
        ds.SetLogChanges(false);
        Linha(ds, 1, "Contagem de abertura", 1, 1000);
        Linha(ds, 2, QString::fromUtf8("Lançamento com uma observação bem longa que não cabe na largura da coluna "
                                       "e deve quebrar em várias linhas"),
              2.004, 2000);
        Linha(ds, 3, "Ajuste", 0.001, 1);
        Linha(ds, 4, "Entrada", 1.005, 99);
    }
    TnClientDataSet ds;
    QObject dono;
};

} // namespace

TEST_F(GradeOpcoes, ZebraAlturasAutomaticasERodapeDeTotais)
{
    const TnOpcoesGrade opcoes{goZebrar, goTotalizarValores, goGridReadOnly, goCelulaAlturaAutomatica,
                               goHeaderAulturaAutomatica};
    Pagina p(ds, &dono, opcoes);
    TnGradeDataSet *g = p.grade;
    EXPECT_TRUE(g->alternatingRowColors());
    QApplication::processEvents();
    // The long text wraps: its row grows, the others keep the default height.
    const int padrao = g->verticalHeader()->defaultSectionSize();
    EXPECT_EQ(g->rowHeight(0), padrao);
    EXPECT_GT(g->rowHeight(1), padrao);
    // Captions wrap at the longest word: the caption row holds two lines.
    EXPECT_LT(g->columnWidth(2), g->horizontalHeader()->fontMetrics().horizontalAdvance("Quantidade Lançamentos"));
    EXPECT_GE(g->horizontalHeader()->height(), 2 * g->horizontalHeader()->fontMetrics().height());

    // Totals of the value columns only, each value as its row shows it.
    ASSERT_NE(p.rodape, nullptr);
    EXPECT_EQ(p.rodape->Texto(2), "4,01"); // 1.00 + 2.00 + 0.00 + 1.01
    EXPECT_EQ(p.rodape->Texto(3), "31,00");
    EXPECT_EQ(p.rodape->Texto(0), "");
    EXPECT_EQ(p.rodape->Texto(4), ""); // a code
    teste::Capturar(&p.janela, "grade_opcoes_totais");

    // Kept current: a row changed, a filter, a row deleted.
    ds.First();
    ds.Edit();
    ds.FieldByName("VALOR").SetAsEscalado(100000, 2);
    ds.Post();
    QApplication::processEvents();
    EXPECT_EQ(p.rodape->Texto(3), "1.021,00");
    ds.SetOnFilterRecord([](TnClientDataSet &d) { return d.FieldByName("CODIGO").AsInteger() >= 3; });
    ds.SetFiltered(true);
    QApplication::processEvents();
    EXPECT_EQ(p.rodape->Texto(3), "1,00");
    EXPECT_EQ(p.rodape->Texto(2), "1,01");
    ds.SetFiltered(false);
    ds.Last();
    ds.Delete();
    QApplication::processEvents();
    EXPECT_EQ(p.rodape->Texto(3), "1.020,01");

    // Under its column wherever it is: drawn where the column is after a move.
    g->horizontalHeader()->moveSection(3, 0);
    QApplication::processEvents();
    teste::Capturar(&p.janela, "grade_opcoes_totais_coluna_movida");
}

TEST_F(GradeOpcoes, SomenteLeituraNaoMudaNadaSemPermissao)
{
    TnInteracaoTeste usuario;
    // Read-only with automatic insert: Down on the last row appends nothing, Ctrl+Delete
    // deletes nothing and asks nothing.
    {
        Pagina p(ds, &dono, {goAutoInsert, goGridReadOnly, goZebrar});
        p.grade->setFocus();
        p.grade->setCurrentIndex(p.grade->model()->index(3, 0));
        QTest::keyClick(p.grade, Qt::Key_Down);
        QTest::keyClick(p.grade, Qt::Key_Delete, Qt::ControlModifier);
        QTest::keyClick(p.grade, Qt::Key_A);
        EXPECT_EQ(ds.State(), dsBrowse);
        EXPECT_EQ(ds.RecordCount(), 4);
        EXPECT_TRUE(usuario.Perguntas.isEmpty());
        EXPECT_FALSE(p.grade->model()->flags(p.grade->model()->index(0, 1)) & Qt::ItemIsEditable);
    }
    // Read-only that allows deleting: the current row goes once the user confirms.
    {
        Pagina p(ds, &dono, {goAutoInsert, goGridReadOnly, goPermiteDeletar});
        p.grade->setFocus();
        p.grade->setCurrentIndex(p.grade->model()->index(1, 0));
        usuario.Responder(mbNo, "Excluir");
        QTest::keyClick(p.grade, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(ds.RecordCount(), 4);
        usuario.Responder(mbYes, "Excluir");
        QTest::keyClick(p.grade, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(ds.RecordCount(), 3);
        EXPECT_FALSE(ds.Locate("CODIGO", 2));
        QTest::keyClick(p.grade, Qt::Key_Down);
        QTest::keyClick(p.grade, Qt::Key_Down);
        QTest::keyClick(p.grade, Qt::Key_Down);
        EXPECT_EQ(ds.State(), dsBrowse);
    }
    // Open to editing with automatic insert: Down on the last row appends one.
    {
        Pagina p(ds, &dono, {goAutoInsert});
        p.grade->setFocus();
        p.grade->setCurrentIndex(p.grade->model()->index(2, 0));
        QTest::keyClick(p.grade, Qt::Key_Down);
        EXPECT_EQ(ds.State(), dsInsert);
        ds.Cancel();
    }
    EXPECT_EQ(usuario.RespostasPendentes(), 0);
}

TEST_F(GradeOpcoes, FiltroPelaColunaComAvisoELimpezaNumClique)
{
    TnInteracaoTeste usuario;
    Pagina p(ds, &dono, {goPermitirFiltro, goTotalizarValores, goGridReadOnly, goZebrar});
    auto *barra = p.janela.findChild<TnBarraFiltro *>();
    ASSERT_NE(barra, nullptr);
    EXPECT_FALSE(barra->isVisible()); // no filter: no bar

    // Values present in the column, two of them chosen.
    QStringList oferecidos;
    teste::QuandoModal([&](QWidget *d) {
        auto *lista = d->findChild<QListWidget *>("lstValores");
        for (int i = 0; i < lista->count(); ++i) {
            oferecidos << lista->item(i)->text();
            if (lista->item(i)->text() == "Ajuste" || lista->item(i)->text() == "Entrada")
                lista->item(i)->setCheckState(Qt::Checked);
        }
        teste::Capturar(d, "grade_filtro_dialogo");
        teste::Clicar(d, "OK");
    });
    EXPECT_TRUE(barra->FiltrarColuna(1));
    EXPECT_EQ(oferecidos.size(), 4);
    EXPECT_EQ(ds.RecordCount(), 2);
    EXPECT_TRUE(barra->isVisible());
    EXPECT_EQ(barra->Texto(), QString::fromUtf8("Filtro ativo: Descrição em (Ajuste; Entrada)"));
    EXPECT_EQ(p.rodape->Texto(3), "1,00");

    // A range of dates over it; a bound that is no date is refused and the dialog stays.
    teste::QuandoModal([&](QWidget *d) {
        d->findChild<QLineEdit *>("edDe")->setText("99/99/2024");
        teste::Clicar(d, "OK");
        // The same dialog again, once the notice was given.
        QTimer::singleShot(50, d, [d] {
            d->findChild<QLineEdit *>("edDe")->setText("04/03/2024");
            teste::Clicar(d, "OK");
        });
    });
    EXPECT_TRUE(barra->FiltrarColuna(0));
    EXPECT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(usuario.Avisos, QStringList({QString::fromUtf8("\"99/99/2024\" não é um valor válido para \"Data Inventário\".")}));
    EXPECT_EQ(p.rodape->Texto(3), "0,99");
    QApplication::processEvents();
    teste::Capturar(&p.janela, "grade_filtro_ativo");

    // One click: every row again.
    auto *limpar = barra->findChild<QPushButton *>("btnLimparFiltro");
    ASSERT_NE(limpar, nullptr);
    QTest::mouseClick(limpar, Qt::LeftButton);
    EXPECT_FALSE(ds.Filtered());
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_FALSE(barra->isVisible());
    EXPECT_EQ(p.rodape->Texto(3), "31,00");
}

TEST_F(GradeOpcoes, ColunasMovidasEOcultasLembradasPorUsuarioEGrade)
{
    QTemporaryDir pasta;
    TnPreferenciasUsuario::DefinirPasta(pasta.path());
    const auto restaurar = qScopeGuard([] {
        TnPreferenciasUsuario::DefinirPasta(QString());
        DefinirUsuarioConectado(0, QString());
    });
    DefinirUsuarioConectado(7, "MARIA");
    const TnOpcoesGrade opcoes{goPermitirMoverColuna, goColumnHidingEnabled, goPermitirFiltro, goGridReadOnly};
    const QString chave = "TTesteGrade.nDBGrid";
    {
        QWidget janela;
        auto *l = new QVBoxLayout(&janela);
        auto *g = new TnGradeDataSet(ds, &dono, true, &janela);
        MontarGradeComOpcoes(l, g, opcoes, chave);
        janela.resize(640, 240);
        janela.show();
        QApplication::processEvents();
        QHeaderView *h = g->horizontalHeader();
        EXPECT_TRUE(h->sectionsMovable());
        h->moveSection(3, 0); // "Valor Total" dragged to the front
        // Hidden from the caption's menu, beside the filter's items.
        QStringList itens;
        teste::QuandoPopup([&](QWidget *popup) {
            auto *menu = qobject_cast<QMenu *>(popup);
            ASSERT_NE(menu, nullptr);
            teste::Capturar(menu, "grade_menu_cabecalho");
            for (QAction *a : menu->actions())
                if (!a->isSeparator())
                    itens << a->text();
            for (QAction *a : menu->actions())
                if (a->text() == "Ocultar esta coluna")
                    a->trigger();
            menu->close();
        });
        emit h->customContextMenuRequested(QPoint(h->sectionViewportPosition(2) + 5, 5));
        EXPECT_EQ(itens, QStringList({"Filtrar esta coluna...", "Ocultar esta coluna", "Colunas"}));
        EXPECT_TRUE(h->isSectionHidden(2));
        teste::Capturar(&janela, "grade_colunas_movidas_ocultas");
    }
    EXPECT_EQ(TnPreferenciasUsuario::Ler("Grades", chave), "VALOR;DATA;DESCRICAO;-QTDE;CODIGO");

    // The same grid again, for the same user: as left. For another user: as declared.
    const auto ordem = [&](QHeaderView *h) {
        QStringList r;
        for (int v = 0; v < h->count(); ++v)
            r << (h->isSectionHidden(h->logicalIndex(v)) ? "-" : "") + QString::number(h->logicalIndex(v));
        return r.join(u',');
    };
    {
        QWidget janela;
        auto *l = new QVBoxLayout(&janela);
        auto *g = new TnGradeDataSet(ds, &dono, true, &janela);
        MontarGradeComOpcoes(l, g, opcoes, chave);
        EXPECT_EQ(ordem(g->horizontalHeader()), "3,0,1,-2,4");
        auto *colunas = g->findChild<TnColunasGrade *>();
        ASSERT_NE(colunas, nullptr);
        // Shown again, and never the last column hidden.
        colunas->Ocultar(2, false);
        for (int c = 0; c < 5; ++c)
            colunas->Ocultar(c, true);
        EXPECT_EQ(g->horizontalHeader()->hiddenSectionCount(), 4);
    }
    DefinirUsuarioConectado(8, "JOAO");
    {
        QWidget janela;
        auto *l = new QVBoxLayout(&janela);
        auto *g = new TnGradeDataSet(ds, &dono, true, &janela);
        MontarGradeComOpcoes(l, g, opcoes, chave);
        EXPECT_EQ(ordem(g->horizontalHeader()), "0,1,2,3,4");
    }
}

TEST_F(GradeOpcoes, NavegadorEPaginasSeguemOMesmoRegistro)
{
    ds.DisableControls();
    for (int i = 5; i <= 250; ++i)
        Linha(ds, 1 + i % 28, QStringLiteral("Linha %1").arg(i), i, i * 100);
    ds.EnableControls();
    ds.First();
    Pagina p(ds, &dono, {goExibirNavigator, goPermitePaginacao, goGridReadOnly, goTotalizarValores, goPermitirFiltro});
    auto *nav = p.janela.findChild<TnNavegadorGrade *>();
    ASSERT_NE(nav, nullptr);
    const auto clicar = [&](const char *nome) {
        auto *b = nav->findChild<QToolButton *>(QString::fromLatin1(nome));
        ASSERT_NE(b, nullptr) << nome;
        QTest::mouseClick(b, Qt::LeftButton);
    };
    const auto rotulo = [&](const char *nome) { return nav->findChild<QLabel *>(QString::fromLatin1(nome))->text(); };
    QAbstractItemModel *m = p.grade->model();
    EXPECT_EQ(m->rowCount(), 100); // a page, not the 250 rows
    EXPECT_EQ(rotulo("lblPosicao"), "1 de 250");
    EXPECT_EQ(rotulo("lblPagina"), "Página 1 de 3");
    EXPECT_FALSE(nav->findChild<QToolButton *>("btnAnterior")->isEnabled());
    EXPECT_FALSE(nav->findChild<QToolButton *>("btnPaginaAnterior")->isEnabled());
    // The footer's totals stay those of every row, not of the page.
    EXPECT_EQ(p.rodape->Texto(3), "31.396,00"); // 31,00 + 5 + 6 + ... + 250

    clicar("btnProximo");
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(rotulo("lblPosicao"), "2 de 250");
    EXPECT_EQ(p.grade->currentIndex().row(), 1);
    clicar("btnUltimo");
    EXPECT_EQ(rotulo("lblPosicao"), "250 de 250");
    EXPECT_EQ(rotulo("lblPagina"), "Página 3 de 3");
    EXPECT_EQ(m->rowCount(), 50);
    EXPECT_EQ(p.grade->currentIndex().row(), 49);
    EXPECT_EQ(m->data(m->index(49, 4)).toString(), QString::number(ds.FieldByName("CODIGO").AsInteger()));
    EXPECT_FALSE(nav->findChild<QToolButton *>("btnProximaPagina")->isEnabled());
    QApplication::processEvents();
    teste::Capturar(&p.janela, "grade_navegador_ultima_pagina");

    // A page back: its first row is current; a row picked in the grid is the dataset's.
    clicar("btnPaginaAnterior");
    EXPECT_EQ(ds.RecNo(), 101);
    EXPECT_EQ(rotulo("lblPagina"), "Página 2 de 3");
    p.grade->setCurrentIndex(m->index(5, 0));
    EXPECT_EQ(ds.RecNo(), 106);
    EXPECT_EQ(rotulo("lblPosicao"), "106 de 250");
    // Moving past the page's end turns the page.
    ds.SetRecNo(200);
    clicar("btnProximo");
    EXPECT_EQ(rotulo("lblPagina"), "Página 3 de 3");
    EXPECT_EQ(p.grade->currentIndex().row(), 0);
    clicar("btnPrimeiro");
    EXPECT_EQ(rotulo("lblPagina"), "Página 1 de 3");
    EXPECT_EQ(ds.RecNo(), 1);

    // Fewer rows, fewer pages.
    TnFiltroGrade filtro;
    filtro.Definir({.Campo = "CODIGO", .Valores = {TnCelula{.Nulo = false, .I = 3}}});
    filtro.Aplicar(ds);
    QApplication::processEvents();
    EXPECT_EQ(rotulo("lblPagina"), "Página 1 de 1");
    EXPECT_EQ(m->rowCount(), ds.RecordCount());
}

TEST_F(GradeOpcoes, AgrupamentoPorDuasColunasComContagemETotais)
{
    Linha(ds, 1, "Contagem de abertura", 2, 500);
    Linha(ds, 1, "Ajuste", 1, 250);
    Linha(ds, 3, "Ajuste", 4, 3);
    ds.SetIndexFieldNames("CODIGO");
    Pagina p(ds, &dono, {goPermiteAgrupamento, goTotalizarValores, goZebrar, goGridReadOnly, goPermitirFiltro});
    auto *grupos = p.janela.findChild<TnGruposGrade *>();
    ASSERT_NE(grupos, nullptr);
    EXPECT_FALSE(grupos->isVisible());

    // From the caption's menu.
    QHeaderView *h = p.grade->horizontalHeader();
    teste::QuandoPopup([&](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        ASSERT_NE(menu, nullptr);
        for (QAction *a : menu->actions())
            if (a->text() == "Agrupar por esta coluna")
                a->trigger();
        menu->close();
    });
    emit h->customContextMenuRequested(QPoint(h->sectionViewportPosition(0) + 5, 5));
    ASSERT_EQ(grupos->Campos(), QStringList({"DATA"}));
    EXPECT_EQ(ds.IndexFieldNames(), "DATA;CODIGO");
    EXPECT_TRUE(grupos->isVisible());
    EXPECT_TRUE(grupos->Arvore()->isVisible());
    EXPECT_FALSE(p.grade->isVisible());
    TnModeloGrupos *m = grupos->Modelo();
    ASSERT_EQ(m->rowCount(), 4); // days 1, 2, 3, 4
    const QModelIndex dia1 = m->index(0, 0);
    EXPECT_EQ(m->data(dia1).toString(), QString::fromUtf8("Data Inventário: 01/03/2024 (3 linhas)"));
    EXPECT_EQ(m->data(m->index(0, 3)).toString(), "17,50");     // 10,00 + 5,00 + 2,50
    EXPECT_EQ(m->data(m->index(0, 2)).toString(), "4,00");
    EXPECT_EQ(m->rowCount(dia1), 3);
    EXPECT_EQ(m->data(m->index(1, 1, dia1)).toString(), "Contagem de abertura");

    // Nested: the day, then the description.
    ASSERT_TRUE(grupos->Agrupar("DESCRICAO"));
    EXPECT_EQ(ds.IndexFieldNames(), "DATA;DESCRICAO;CODIGO");
    const QModelIndex d1 = m->index(0, 0);
    ASSERT_EQ(m->rowCount(d1), 2);
    const QModelIndex contagem = m->index(1, 0, d1);
    EXPECT_EQ(m->data(contagem).toString(), QString::fromUtf8("Descrição: Contagem de abertura (2 linhas)"));
    EXPECT_EQ(m->data(m->index(1, 3, d1)).toString(), "15,00");
    EXPECT_EQ(m->rowCount(contagem), 2);
    EXPECT_EQ(m->parent(m->index(0, 0, contagem)), contagem);
    EXPECT_EQ(m->parent(contagem), d1);
    grupos->Arvore()->expand(d1);
    grupos->Arvore()->expand(contagem);
    p.janela.resize(980, 300);
    QApplication::processEvents();
    EXPECT_TRUE(grupos->Arvore()->isExpanded(contagem));
    EXPECT_EQ(grupos->findChild<QLabel *>("lblAgrupamento")->text(),
              QString::fromUtf8("Agrupado por: Data Inventário > Descrição"));
    teste::Capturar(&p.janela, "grade_agrupada");
    grupos->Arvore()->collapse(d1);
    EXPECT_FALSE(grupos->Arvore()->isExpanded(d1));

    // The groups follow the rows: a row changed.
    ds.Locate("CODIGO", 3);
    ds.Edit();
    ds.FieldByName("VALOR").SetAsEscalado(1000, 2);
    ds.Post();
    QApplication::processEvents();
    EXPECT_EQ(m->data(m->index(2, 3)).toString(), "10,03"); // day 3: 10,00 + 0,03

    // One click: the grid again, in its own order.
    QTest::mouseClick(grupos->findChild<QPushButton *>("btnDesagrupar"), Qt::LeftButton);
    EXPECT_TRUE(grupos->Campos().isEmpty());
    EXPECT_EQ(ds.IndexFieldNames(), "CODIGO");
    EXPECT_TRUE(p.grade->isVisible());
    EXPECT_FALSE(grupos->Arvore()->isVisible());
    EXPECT_EQ(p.rodape->Texto(3), "48,52");
}
