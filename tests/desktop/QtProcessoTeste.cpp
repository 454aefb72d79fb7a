// The generic process form: parameters as controls, the run action and where its failures
// point, the result grid and tabs, and the modal run from the main window.
#include "AbrirCadastro.h"
#include "Bandas.h"
#include "InteracaoTeste.h"
#include "ModulosTeste.h"
#include "QtEditores.h"
#include "QtInteracao.h"
#include "QtMenu.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>

namespace {
const TnDefProcesso kProcesso{
    .Caption = "Processo de Teste",
    .CaptionParametros = "Período",
    .Parametros = {{.Alias = "pData", .Caption = "Data", .Tipo = ntpData, .Requerido = true},
                   {.Alias = "pTipo", .Caption = "Tipo", .Tipo = ntpCombo, .Padrao = "1",
                    .ListaValores = {"Mensal=1", "Anual=3"}},
                   {.Alias = "pCodigo", .Caption = "Código", .Tipo = ntpInteiro, .Habilitado = false},
                   {.Alias = "pMarcar", .Caption = "Marcar", .Tipo = ntpCheckBox},
                   {.Alias = "pEmpresa", .Caption = "Empresa", .Tipo = ntpLookup, .ClasseLookup = "TNaoRegistrada"}}};

class TTesteDPParam : public TnDMPowerParam {
public:
    TTesteDPParam() : TnDMPowerParam(kProcesso) {}
    void ValidarDado() override
    {
        if (Param("pTipo").AsInteger() == 3 && Param("pData").AsDate().month() != 12)
            throw EnParam("pData", "Um período anual termina em dezembro.");
        if (FalharCodigo)
            throw EnParam("pCodigo", "Código recusado.");
    }
    void Executar() override
    {
        ++Execucoes;
        Marcado = Param("pMarcar").AsBoolean();
        Mensagens().Adicionar("Operação concluída!", tmInformacao);
    }
    bool FalharCodigo = false;
    bool Marcado = false;
    int Execucoes = 0;
};

// pCodigo is asked for only for a yearly run; the hook counts the changes it saw.
class TTesteDPRegra : public TTesteDPParam {
public:
    void npqPowerParamParamChange(TnpqParamItem &param) override
    {
        Alterados << param.Alias();
        if (param.Alias() == "pTipo") {
            EdEnabledField("pCodigo", param.AsString() == "3");
            EdRequiredField("pCodigo", param.AsString() == "3");
        }
    }
    QStringList Alterados;
};

const TnDefProcesso kResultado{.Caption = "Resultado"};
const TnDefCampo kCamposResultado[] = {{.Nome = "CODIGO", .Tipo = ftInteger}};

class TTesteDPGrade : public TnDMPowerParamGrid {
public:
    TTesteDPGrade() : TnDMPowerParamGrid(kResultado) {}
    void Executar() override
    {
        TnClientDataSet &ds = nClientDataSet();
        if (!ds.Active()) {
            ds.DefinirCampos(kCamposResultado);
            ds.CreateDataSet();
        }
        ds.EmptyDataSet();
        for (int i = 1; i <= 3; ++i) {
            ds.Append();
            ds.FieldByName("CODIGO").SetAsInteger(i);
            ds.Post();
        }
        ResultadoAlterado();
    }
};

class TTesteDPAbas : public TnDMPowerParamTab {
public:
    TTesteDPAbas() : TnDMPowerParamTab(kResultado) {}
    void Executar() override
    {
        LimparAbas();
        for (const char *c : {"Entradas", "Saídas"}) {
            TnAbaResultado &a = AdicionarAba(c);
            a.Dados.DefinirCampos(kCamposResultado);
            a.Dados.CreateDataSet();
            a.Dados.Append();
            a.Dados.FieldByName("CODIGO").SetAsInteger(1);
            a.Dados.Post();
        }
        ResultadoAlterado();
    }
};

// One tab of K210 records with their K215 lines under them.
const TnDefCampo kCamposK210[] = {
    {.Nome = "ORIGEM", .Tipo = ftString, .Tamanho = 20, .Def = {.DisplayLabel = "Rotina Origem"}},
    {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Def = {.DisplayLabel = "Competência Mês/Ano"}},
    {.Nome = "SEQK210", .Tipo = ftSmallint, .Def = {.DisplayLabel = "Sequência"}}};
const TnDefCampo kCamposK215[] = {
    {.Nome = "ORIGEM", .Tipo = ftString, .Tamanho = 20, .Def = {.DisplayLabel = "Rotina Origem"}},
    {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Def = {.DisplayLabel = "Produto Destino"}},
    {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Def = {.Visivel = false}},
    {.Nome = "SEQK210", .Tipo = ftSmallint, .Def = {.Visivel = false}}};

class TTesteDPMestreDetalhe : public TnDMPowerParamTab {
public:
    TTesteDPMestreDetalhe() : TnDMPowerParamTab(kResultado)
    {
        TnAbaResultado &a = AdicionarAba("K210");
        a.Dados.DefinirCampos(kCamposK210);
        a.CriarDetalhe().DefinirCampos(kCamposK215);
        a.LigarDetalhe("DATALCTOFIS;SEQK210");
        a.AcaoAbrir = new TnActAbrirCadastro(&FAcoes);
        a.AcaoAbrir->SetName("nActAbrirK210");
        a.AcaoAbrir->SetCaption("Sped Fiscal - Bloco K210");
        a.AcaoAbrir->Hint = QString::fromUtf8("Visualizar lançamento");
        a.AcaoAbrir->ClasseCadastro = "TOrvoDMSpedFisK210"; // not registered here
        a.AcaoAbrir->Mestre = &a.Dados;
        a.AcaoAbrir->CamposMestre = a.AcaoAbrir->CamposDetalhe = "DATALCTOFIS;SEQK210";
        AdicionarAba("K220").Dados.DefinirCampos(kCamposResultado);
    }
    TnActionList FAcoes;
    void Executar() override
    {
        TnAbaResultado &a = Aba(0);
        for (TnClientDataSet *ds : {&a.Dados, a.Detalhe(), &Aba(1).Dados}) {
            ds->Close();
            ds->CreateDataSet();
        }
        const QDateTime marco(QDate(2024, 3, 1), QTime());
        for (int seq : {1, 2}) {
            a.Dados.Append();
            a.Dados.FieldByName("ORIGEM").SetAsString("K210");
            a.Dados.FieldByName("DATALCTOFIS").SetAsDateTime(marco);
            a.Dados.FieldByName("SEQK210").SetAsInteger(seq);
            a.Dados.Post();
        }
        for (auto [seq, produto] : {std::pair{1, 101}, {2, 201}, {2, 202}, {1, 102}, {1, 103}}) {
            a.Detalhe()->Append();
            a.Detalhe()->FieldByName("ORIGEM").SetAsString("K215");
            a.Detalhe()->FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
            a.Detalhe()->FieldByName("DATALCTOFIS").SetAsDateTime(marco);
            a.Detalhe()->FieldByName("SEQK210").SetAsInteger(seq);
            a.Detalhe()->Post();
        }
        // The header over the master's columns, rebuilt by every run.
        TnGridBands &b = a.Dados.GridBands();
        b.Clear();
        TnGridBandsItem &empresa = b.Add("Empresa", "1 - Empresa Exemplo - 00.000.000/0001-91 - Filial (1)");
        TnGridBandsItem &periodo =
            empresa.GetChildBands().Add("Periodo", QString::fromUtf8("Período: 01/03/2024 à 31/03/2024"));
        TnGridBandsItem &rotina = periodo.GetChildBands().Add("Rotina", QString::fromUtf8("Consulta Lançamento SPED - Bloco K"));
        for (int i = 0; i < a.Dados.FieldCount(); ++i)
            rotina.GetChildBands().Add(a.Dados.Fields(i).DisplayLabel()).SetField(a.Dados.Fields(i).FieldName());
        b.AtualizarBandasGrid();
        a.Dados.First();
        ResultadoAlterado();
    }
};

// The process classes registered, with the module fixture's.
class ProcessoQt : public ModulosFixture {
protected:
    void SetUp() override
    {
        ModulosFixture::SetUp();
        nRegisterClass(InfoDaClasse<TTesteDPParam>("TTesteDPParam"));
    }
    void TearDown() override
    {
        if (FForm)
            delete FForm.data();
        nUnRegisterClass("TTesteDPParam");
        ModulosFixture::TearDown();
    }
    TnFrmProcesso *Abrir(TnDMPowerParam *dm)
    {
        FForm = new TnFrmProcesso(dm);
        FForm->show();
        QApplication::processEvents();
        return FForm;
    }
    QPointer<TnFrmProcesso> FForm;
    TnInteracaoTeste FUsuario;
};
} // namespace

TEST_F(ProcessoQt, FalhasDoProcessoFocamOParametro)
{
    auto *dm = static_cast<TTesteDPParam *>(CriarDMNovo("TTesteDPParam"));
    TnFrmProcesso *f = Abrir(dm);
    EXPECT_EQ(f->windowTitle(), "Processo de Teste");
    EXPECT_EQ(f->Editor("pTipo")->Tipo(), teLista);
    EXPECT_EQ(f->Editor("pTipo")->Texto(), "Mensal");
    EXPECT_FALSE(f->Editor("pCodigo")->Habilitado());

    EXPECT_FALSE(f->Executar());
    EXPECT_EQ(FUsuario.Avisos, QStringList({"O parâmetro \"Data\" deve ser informado."}));
    EXPECT_EQ(f->focusWidget(), f->Editor("pData")->Entrada());

    f->Editor("pData")->SetTexto("31/03/2024");
    f->Editor("pTipo")->SetTexto("Anual");
    EXPECT_FALSE(f->Executar());
    EXPECT_EQ(FUsuario.Avisos.value(1), "Um período anual termina em dezembro.");
    EXPECT_EQ(f->focusWidget(), f->Editor("pData")->Entrada());

    // A refused parameter whose control is disabled gets the focus all the same.
    f->Editor("pTipo")->SetTexto("Mensal");
    dm->FalharCodigo = true;
    EXPECT_FALSE(f->Executar());
    EXPECT_EQ(f->focusWidget(), f->Editor("pCodigo")->Entrada());
    EXPECT_TRUE(f->Editor("pCodigo")->Widget()->isEnabled());
    dm->FalharCodigo = false;
    EXPECT_EQ(dm->Execucoes, 0);

    f->Editor("pMarcar")->SetTexto("1");
    EXPECT_TRUE(f->Executar());
    EXPECT_EQ(dm->Execucoes, 1);
    EXPECT_TRUE(dm->Marcado);
    ASSERT_EQ(f->VisaoMensagens()->topLevelItemCount(), 1);
    EXPECT_EQ(f->VisaoMensagens()->topLevelItem(0)->text(0), "Operação concluída!");

    // The module switches its run action off.
    f->ConfigurarActionForm(nafExecutar, false);
    EXPECT_FALSE(f->AcaoForm(nafExecutar)->isEnabled());
    EXPECT_FALSE(f->Executar());
    EXPECT_EQ(dm->Execucoes, 1);

    // A lookup whose consultation is not registered is reported, nothing breaks.
    emit f->Editor("pEmpresa")->Pesquisar();
    EXPECT_EQ(FUsuario.Avisos.last(), "\"TNaoRegistrada\" não está disponível.");
    teste::Capturar(f, "processo");
}

TEST_F(ProcessoQt, MudancaDeParametroAlcancaORegraDoProcesso)
{
    auto *dm = new TTesteDPRegra();
    // The rules see the starting values once, when the module is created.
    dm->AposCriar();
    EXPECT_EQ(dm->Alterados, QStringList({"pData", "pTipo", "pCodigo", "pMarcar", "pEmpresa"}));
    dm->Alterados.clear();
    TnFrmProcesso *f = Abrir(dm);
    auto *tipo = qobject_cast<QComboBox *>(f->Editor("pTipo")->Entrada());
    ASSERT_NE(tipo, nullptr);
    tipo->setCurrentIndex(tipo->findText("Anual"));
    emit tipo->activated(tipo->currentIndex()); // as the user picks it
    EXPECT_EQ(dm->Alterados, QStringList({"pTipo"}));
    EXPECT_TRUE(f->Editor("pCodigo")->Habilitado());
    EXPECT_TRUE(f->Editor("pCodigo")->Widget()->isEnabled());
    // The run takes every control: what changed reaches the hook (the check box's
    // first "0"), an empty control over an empty parameter does not.
    f->Editor("pData")->SetTexto("31/12/2024");
    EXPECT_FALSE(f->Executar()); // the code is now required
    EXPECT_EQ(FUsuario.Avisos.last(), "O parâmetro \"Código\" deve ser informado.");
    EXPECT_EQ(dm->Alterados, QStringList({"pTipo", "pData", "pMarcar"}));
    tipo->setCurrentIndex(tipo->findText("Mensal"));
    emit tipo->activated(tipo->currentIndex());
    EXPECT_FALSE(f->Editor("pCodigo")->Widget()->isEnabled());
    f->Editor("pData")->SetTexto("31/03/2024");
    EXPECT_TRUE(f->Executar());
    teste::Capturar(f, "processo_regra");
}

TEST_F(ProcessoQt, ResultadosEmGradeEEmAbas)
{
    auto *grade = new TTesteDPGrade();
    TnFrmProcesso *f = Abrir(grade);
    ASSERT_NE(f->Resultados(), nullptr);
    EXPECT_TRUE(f->Executar());
    ASSERT_EQ(f->Resultados()->count(), 1);
    auto *tabela = f->Resultados()->widget(0)->findChild<QTableView *>();
    ASSERT_NE(tabela, nullptr);
    EXPECT_EQ(tabela->model()->rowCount(), 3);
    EXPECT_TRUE(f->Executar()); // refilled, same grid
    EXPECT_EQ(tabela->model()->rowCount(), 3);
    // A failure that names a field of the result focuses its column.
    f->Tentar([] { throw EnField("CODIGO", "Código repetido."); });
    EXPECT_EQ(FUsuario.Avisos.last(), "Código repetido.");
    EXPECT_EQ(f->focusWidget(), tabela);
    EXPECT_EQ(tabela->currentIndex().column(), 0);
    delete FForm.data();

    TnFrmProcesso *a = Abrir(new TTesteDPAbas());
    EXPECT_TRUE(a->Executar());
    EXPECT_TRUE(a->Executar()); // the tabs' datasets are replaced: their grids too
    ASSERT_EQ(a->Resultados()->count(), 2);
    EXPECT_EQ(a->Resultados()->tabText(1), "Saídas");
    EXPECT_EQ(qobject_cast<QTableView *>(a->Resultados()->widget(1))->model()->rowCount(), 1);
}

TEST_F(ProcessoQt, AbaComMestreEDetalhe)
{
    auto *dm = new TTesteDPMestreDetalhe();
    TnFrmProcesso *f = Abrir(dm);
    f->resize(900, 600);
    EXPECT_TRUE(f->Executar());
    EXPECT_TRUE(f->Executar()); // refilled: the grids are built again over the same datasets
    ASSERT_EQ(f->Resultados()->count(), 2);
    QWidget *pagina = f->Resultados()->widget(0);
    auto *mestre = pagina->findChild<QTableView *>("gradeMestre");
    auto *detalhe = pagina->findChild<QTableView *>("gradeDetalhe");
    ASSERT_NE(mestre, nullptr);
    ASSERT_NE(detalhe, nullptr);
    EXPECT_EQ(mestre->model()->rowCount(), 2);
    EXPECT_EQ(detalhe->model()->rowCount(), 3);
    EXPECT_TRUE(detalhe->isVisible());
    // Hidden key fields are no columns of the detail.
    EXPECT_EQ(detalhe->model()->columnCount(), 2);
    EXPECT_EQ(detalhe->model()->headerData(1, Qt::Horizontal).toString(), "Produto Destino");
    // Choosing the master's second row shows its two lines.
    mestre->setCurrentIndex(mestre->model()->index(1, 0));
    QApplication::processEvents();
    EXPECT_EQ(dm->Aba(0).Dados.RecNo(), 2);
    EXPECT_EQ(detalhe->model()->rowCount(), 2);
    EXPECT_EQ(detalhe->model()->index(1, 1).data().toString(), "202");
    // The tab of one grid is that grid.
    EXPECT_NE(qobject_cast<QTableView *>(f->Resultados()->widget(1)), nullptr);
    // The header bands above the master, once each although the run rebuilt them twice.
    auto *periodo = pagina->findChild<QLabel *>("bandaPeriodo");
    ASSERT_NE(periodo, nullptr);
    EXPECT_EQ(periodo->text(), QString::fromUtf8("Período: 01/03/2024 à 31/03/2024"));
    EXPECT_EQ(pagina->findChildren<QLabel *>("bandaEmpresa").size(), 1);
    EXPECT_EQ(dm->Aba(0).Dados.GridBands().Total(), 6);
    EXPECT_TRUE(periodo->isVisible());
    teste::Capturar(f, "processo_mestre_detalhe");

    // The master row's register, by its button or a double-click: a class nobody registered
    // gives a message. Without master rows the button is off.
    auto *abrir = pagina->findChild<QAction *>("nActAbrirK210");
    ASSERT_NE(abrir, nullptr);
    EXPECT_TRUE(abrir->isEnabled());
    EXPECT_EQ(abrir->toolTip(), QString::fromUtf8("Visualizar lançamento"));
    abrir->trigger();
    ASSERT_EQ(FUsuario.Avisos.size(), 1);
    EXPECT_TRUE(FUsuario.Avisos[0].contains("TOrvoDMSpedFisK210"));
    emit mestre->doubleClicked(mestre->model()->index(0, 0));
    EXPECT_EQ(FUsuario.Avisos.size(), 2);
    dm->Aba(0).Dados.EmptyDataSet();
    QApplication::processEvents();
    EXPECT_FALSE(abrir->isEnabled());
    EXPECT_EQ(detalhe->model()->rowCount(), 0);
}

TEST_F(ProcessoQt, ShowFormModalConfirmadoSoPelaExecucao)
{
    TnFrmMenuVarnel janela;
    janela.Inicializar();
    teste::QuandoModal([](QWidget *w) {
        auto *f = qobject_cast<TnFrmProcesso *>(w);
        ASSERT_NE(f, nullptr);
        f->Editor("pData")->SetTexto("31/12/2024");
        f->AcaoForm(nafExecutar)->trigger();
    });
    EXPECT_TRUE(janela.ShowFormModal(nullptr, "TTesteDPParam"));

    teste::QuandoModal([](QWidget *w) { qobject_cast<TnFrmProcesso *>(w)->AcaoForm(nafFechar)->trigger(); });
    EXPECT_FALSE(janela.ShowFormModal(nullptr, "TTesteDPParam"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Registro().Instancias("TTesteDPParam").isEmpty()); // freed with their windows
}
