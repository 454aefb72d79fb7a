// The duplication and the generation from stock balances on the desktop (offscreen): each
// form shows its parameters and runs as the user runs it, and a failure keeps it open.
#include "InteracaoTeste.h"
#include "OrvoDPDuplicarLctoInv_U.h"
#include "OrvoDPGerarLctoInventario_U.h"
#include "Personalizacao.h"
#include "ProcessoInvTeste.h"
#include "QtEditores.h"
#include "QtForms.h"
#include "QtInteracao.h"
#include "QtProcesso.h"
#include "QtTeste.h"
#include "Variaveis.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

namespace {

class ProcessosInvQtBanco : public BancoProcessoInv {
protected:
    void SetUp() override
    {
        BancoProcessoInv::SetUp();
        DefinirUsuarioConectado(1, QStringLiteral("ADMINISTRADOR"));
    }
    void TearDown() override
    {
        if (FForm)
            delete FForm.data();
        DefinirUsuarioConectado(0, QString());
        BancoProcessoInv::TearDown();
    }
    TnFrmProcesso *Abrir(const QString &classe)
    {
        FForm = qobject_cast<TnFrmProcesso *>(CriarFormModulo(CriarDM(classe), nullptr));
        EXPECT_NE(FForm, nullptr);
        FForm->show();
        QApplication::processEvents();
        return FForm;
    }
    // The captions of the visible parameters, in the form's order.
    QStringList Visiveis(const QStringList &aliases)
    {
        QStringList r;
        for (const QString &a : aliases)
            if (TnEditor *e = FForm->Editor(a); e && e->Widget()->isVisible())
                r << a;
        return r;
    }
    QPointer<TnFrmProcesso> FForm;
    TnInteracaoTeste FUsuario;
};

} // namespace

TEST_F(ProcessosInvQtBanco, DuplicarPeloFormulario)
{
    Produto(10);
    Lcto(1, QDate(2024, 1, 1), 10, 1, 4, 2.5);
    TnFrmProcesso *f = Abrir("TOrvoDPDuplicarLctoInv");
    EXPECT_EQ(f->windowTitle(), "Duplicar Lançamentos do Inventário");
    EXPECT_EQ(Visiveis({"pCodigoEmpresa", "pCodigoEstab", "pCompetenciaOrigem", "pCodigoGrupoProduto",
                        "pCodigoEstabDest", "pCompetenciaDestino", "pReagusteQuantidade", "pReagusteValorUnitario"}),
              QStringList({"pCodigoEstab", "pCompetenciaOrigem", "pCodigoGrupoProduto", "pCodigoEstabDest",
                           "pCompetenciaDestino", "pReagusteQuantidade", "pReagusteValorUnitario"}));
    f->Editor("pCodigoEstab")->SetTexto("1");
    f->Editor("pCompetenciaOrigem")->SetTexto("01/01/2024");
    f->Editor("pCodigoEstabDest")->SetTexto("2");
    f->Editor("pCompetenciaDestino")->SetTexto("01/02/2024");
    f->Editor("pReagusteQuantidade")->SetTexto("abc");
    EXPECT_FALSE(f->Executar());
    EXPECT_EQ(FUsuario.Avisos, QStringList({QString::fromUtf8(OrvoSReajusteNaoNumerico).arg("abc")}));
    EXPECT_EQ(f->focusWidget(), f->Editor("pReagusteQuantidade")->Entrada());

    f->Editor("pReagusteQuantidade")->SetTexto("1.5");
    EXPECT_TRUE(f->Executar());
    EXPECT_EQ(f->Editor("pReagusteQuantidade")->Texto(), "1,500000");
    EXPECT_EQ(f->Editor("pReagusteValorUnitario")->Texto(), "1,00"); // the company's cost decimals
    ASSERT_EQ(f->VisaoMensagens()->topLevelItemCount(), 1);
    EXPECT_EQ(f->VisaoMensagens()->topLevelItem(0)->text(0), "Lançamentos do inventário duplicados com sucesso: 1.");
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOESTAB = 2 and QTDEESTOQUE = 6"), 1);
    teste::Capturar(f, "duplicar_lancamentos");
}

TEST_F(ProcessosInvQtBanco, GerarPeloFormularioFalhaFicaAberto)
{
    TnBibliotecas::Carregar("Telso");
    Produto(10);
    Sql("insert into SALDOESTOQUE (CODIGOEMPRESA, CODIGOESTAB, DATASALDO, CODIGOPRODUTO, QUANTIDADE, VALORUNITARIO, "
        "VALORTOTAL) values (1, 1, '2024-03-01', 10, 2, 3, 6), (1, 1, '2024-03-01', 99, 1, 1, 1)");
    TnFrmProcesso *f = Abrir("TOrvoDPGerarLctoInventario");
    EXPECT_EQ(f->windowTitle(), "Gerar Lançamentos do Inventario - Controle de Estoque");
    EXPECT_FALSE(f->Editor("pCodigoEmpresa")->Widget()->isVisible());
    EXPECT_TRUE(f->Editor("pCodigoPessoaPart")->Habilitado());
    // Own stock: the participant is no longer asked for.
    auto *indicador = qobject_cast<QComboBox *>(f->Editor("pIndPropriedade")->Entrada());
    ASSERT_NE(indicador, nullptr);
    indicador->setCurrentIndex(indicador->findText("Estoque Próprio"));
    emit indicador->activated(indicador->currentIndex());
    EXPECT_FALSE(f->Editor("pCodigoPessoaPart")->Habilitado());
    f->Editor("pCompetencia")->SetTexto("03/2024");
    auto *motivo = qobject_cast<QComboBox *>(f->Editor("pMotivoInventario")->Entrada());
    ASSERT_NE(motivo, nullptr);
    motivo->setCurrentIndex(0);
    emit motivo->activated(0);
    teste::Capturar(f, "gerar_lancamentos");

    // Product 99 is not registered: the database refuses it, nothing is written, and the
    // failure is shown in the tree and as a message; the form stays.
    EXPECT_FALSE(f->Executar());
    EXPECT_EQ(FUsuario.Avisos.size(), 1);
    EXPECT_TRUE(FUsuario.Avisos.value(0).startsWith(QString::fromUtf8(OrvoSGerarFalhaGravacao)));
    ASSERT_EQ(f->VisaoMensagens()->topLevelItemCount(), 1);
    EXPECT_EQ(f->VisaoMensagens()->topLevelItem(0)->data(0, Qt::UserRole).toInt(), int(tmErro));
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_TRUE(f->isVisible());

    Sql("delete from SALDOESTOQUE where CODIGOPRODUTO = 99");
    EXPECT_TRUE(f->Executar());
    EXPECT_EQ(f->VisaoMensagens()->topLevelItemCount(), 2);
    EXPECT_EQ(Linhas("LCTOINV", "DATAINVENT = '2024-03-01'"), 1);
    teste::Capturar(f, "gerar_lancamentos_concluido");
}

// Clearing entries after an entry was opened elsewhere: the product the selection holds
// does not become a filter, and the question names the filters typed, "Não" its default.
TEST_F(ProcessosInvQtBanco, LimparNaoHerdaFiltroEPerguntaComOsFiltros)
{
    Produto(10);
    Lcto(1, QDate(2024, 1, 1), 10, 1, 4, 2.5);
    Selecao().GetParams("CodigoProduto").SetValue(1002);
    TnInteracaoQt qt;
    DefinirInteracao(&qt);
    const auto devolver = qScopeGuard([this] { DefinirInteracao(&FUsuario); });
    TnFrmProcesso *f = Abrir("TOrvoDPLimparLctoInv");
    EXPECT_EQ(f->Editor("pCodigoProduto")->Texto(), "");
    f->Editor("pCodigoEstab")->SetTexto("1");
    f->Editor("pDataInventIni")->SetTexto("01/2024");
    f->Editor("pDataInventFim")->SetTexto("01/2024");
    teste::Capturar(f, "limpar_lancamentos");
    QString pergunta, padrao;
    teste::QuandoModal([&](QWidget *w) {
        auto *caixa = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(caixa, nullptr);
        pergunta = caixa->text();
        padrao = caixa->defaultButton() ? caixa->defaultButton()->text() : QString();
        teste::Capturar(w, "limpar_lancamentos_pergunta");
        EXPECT_TRUE(teste::Clicar(w, QString::fromUtf8("Não")));
    });
    f->Executar();
    EXPECT_TRUE(pergunta.contains(QString::fromUtf8("Filtros informados:\r\nEstabelecimento: 1\r\n"
                                                    "Período Inicial a Limpar: 01/2024\r\n"
                                                    "Período Final a Limpar: 01/2024\r\n")))
        << pergunta.toStdString();
    EXPECT_FALSE(pergunta.contains("Produto:"));
    EXPECT_EQ(padrao, QString::fromUtf8("Não"));
    EXPECT_EQ(Linhas("LCTOINV"), 1);
}
