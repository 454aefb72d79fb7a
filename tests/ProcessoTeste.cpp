// Process modules: declared parameters, their values and conversions, the run with its
// checks, links, the form's side and the way forms report failures.
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "Variaveis.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QEvent>
#include <QPointer>
#include <QScopeGuard>
#include <memory>
#include <gtest/gtest.h>

namespace {

const TnDefProcesso kPeriodo{
    .Caption = "Selecionar Período Inventário",
    .CaptionParametros = "Períodos Inventário",
    .Parametros = {{.Alias = "pDataPeriodo", .Caption = "Período", .Tipo = ntpData,
                    .ChaveDicionario = "DICDATAMESANO", .Requerido = true},
                   {.Alias = "pCodigoEstab", .Caption = "Estabelecimentos", .Tipo = ntpLookup,
                    .ClasseLookup = "UlmarDCEstab", .Padrao = "1", .MultiSelecao = true},
                   {.Alias = "pMotivo", .Caption = "Motivo", .Tipo = ntpCombo, .Padrao = 1,
                    .ListaValores = {"No final no período=1", "Por determinação dos fiscos=5"}},
                   {.Alias = "pOculto", .Caption = "Oculto", .Requerido = true, .Visivel = false}},
    .ArvoreMensagens = true,
};

class TTesteDPPeriodo : public TnDMPowerParam {
public:
    TTesteDPPeriodo() : TnDMPowerParam(kPeriodo) {}
    QStringList Chamadas;
    bool RecusarMotivo5 = false;

    void ValidarDado() override
    {
        Chamadas << "ValidarDado";
        if (RecusarMotivo5 && Param("pMotivo").AsInteger() == 5)
            throw EnParam("pMotivo", "Motivo não aceito aqui.");
    }
    void Executar() override
    {
        TnDMPowerParam::Executar();
        Chamadas << "Executar:" + Param("pDataPeriodo").AsDate().toString("dd/MM/yyyy");
        Mensagens().Adicionar("Operação concluída!", tmSucesso);
    }
    void DepoisConfigurar(TnFormModulo *form) override
    {
        TnDMPowerParam::DepoisConfigurar(form);
        form->AdicionarAtalhoSecundario(nafFechar, "Esc");
        form->DefinirTamanho(400, 100);
    }
};

// A process that follows the branch of the selection, not the product, and deletes what its
// filters find.
const TnDefProcesso kFiltros{
    .Caption = "Limpar",
    .Parametros = {{.Alias = "pCodigoEmpresa", .Caption = "Empresa", .Tipo = ntpInteiro, .Visivel = false},
                   {.Alias = "pCodigoEstab", .Caption = "Estabelecimento", .Tipo = ntpInteiro},
                   {.Alias = "pCodigoProduto", .Caption = "Produto", .Tipo = ntpLookup,
                    .ClasseLookup = "UlmarDCProduto", .MultiSelecao = true},
                   {.Alias = "pDataPeriodo", .Caption = "Período", .Tipo = ntpData, .ChaveDicionario = "DICDATAMESANO"}},
};

class TTesteDPFiltros : public TnDMPowerParam {
public:
    TTesteDPFiltros() : TnDMPowerParam(kFiltros) {}
    static QString PegarVerificaSelecao() { return "CodigoEstab"; }
    bool Confirmou = false;
    void Executar() override { Confirmou = ConfirmarComFiltros("Deseja excluir os registros?"); }
};

TEST(Processo, ParametroRequeridoRecusadoDepoisRoda)
{
    TnInteracaoTeste usuario;
    TTesteDPPeriodo dp;
    EXPECT_EQ(dp.PowerParam().Caption, "Períodos Inventário");
    EXPECT_EQ(dp.PowerParam().Count(), 4);
    EXPECT_EQ(&dp.Param("PDATAPERIODO"), &dp.PowerParam().Items(0));
    EXPECT_THROW(dp.Param("pNaoExiste"), Exception);

    try {
        dp.Rodar();
        ADD_FAILURE() << "o período é obrigatório";
    } catch (const EnParam &e) {
        EXPECT_EQ(e.Param(), "pDataPeriodo");
        EXPECT_EQ(e.Message(), "O parâmetro \"Período\" deve ser informado.");
    }
    EXPECT_EQ(dp.Chamadas, QStringList{"ValidarDado"}); // ValidarDado first, then the check

    // The module's own check runs before the required ones.
    dp.RecusarMotivo5 = true;
    dp.Param("pMotivo").SetText("Por determinação dos fiscos");
    EXPECT_EQ(dp.Param("pMotivo").AsString(), "5");
    EXPECT_EQ(dp.Param("pMotivo").Text(), "Por determinação dos fiscos");
    dp.Chamadas.clear();
    try {
        dp.Rodar();
        ADD_FAILURE();
    } catch (const EnParam &e) {
        EXPECT_EQ(e.Param(), "pMotivo");
    }
    dp.Param("pMotivo").Restaurar();

    // A hidden parameter is the process's own business; the visible ones are filled.
    dp.Param("pDataPeriodo").SetText("02/2024");
    dp.Chamadas.clear();
    dp.Rodar();
    EXPECT_EQ(dp.Chamadas, (QStringList{"ValidarDado", "Executar:01/02/2024"}));
    ASSERT_EQ(dp.Mensagens().Itens().size(), 1u);
    EXPECT_EQ(usuario.Mensagens, (QStringList{"limpa", "limpa", "limpa", "5|0|Operação concluída!"}));
    EXPECT_TRUE(dp.Mensagens().EhArvore());
    dp.Rodar(); // each run starts a new report
    EXPECT_EQ(dp.Mensagens().Count(), 1);

    // Switched on by the module: hidden parameters are checked once shown.
    dp.EdVisibleField("poculto", true);
    EXPECT_THROW(dp.Rodar(), EnParam);
    dp.EdRequiredField("pOculto", false);
    EXPECT_NO_THROW(dp.Rodar());
}

TEST(Processo, ValoresEConversoes)
{
    TTesteDPPeriodo dp;
    TnpqParamItem &periodo = dp.Param("pDataPeriodo");
    EXPECT_TRUE(periodo.EhMesAno());
    EXPECT_TRUE(periodo.IsNull());
    EXPECT_FALSE(periodo.AsDate().isValid());

    // A month and year is its first day (AsDate, AsDataInicial); its last day on request.
    for (const char *texto : {"03/2024", "3/2024", " 03/2024 ", "15/03/2024", "31/03/2024", "2024-03-01"}) {
        periodo.SetText(QString::fromLatin1(texto));
        EXPECT_EQ(periodo.AsDate(), QDate(2024, 3, 1)) << texto;
        EXPECT_EQ(periodo.AsDataInicial(), QDate(2024, 3, 1)) << texto;
        EXPECT_EQ(periodo.AsDataFinal(), QDate(2024, 3, 31)) << texto;
        EXPECT_EQ(periodo.Text(), "03/2024") << texto;
    }
    // The month's edges, a leap February and the turn of the year.
    const std::pair<QDate, QDate> meses[] = {{QDate(2023, 2, 10), QDate(2023, 2, 28)},
                                             {QDate(2024, 2, 29), QDate(2024, 2, 29)},
                                             {QDate(2000, 2, 1), QDate(2000, 2, 29)},
                                             {QDate(2100, 2, 15), QDate(2100, 2, 28)},
                                             {QDate(2024, 12, 31), QDate(2024, 12, 31)},
                                             {QDate(2025, 1, 1), QDate(2025, 1, 31)}};
    for (const auto &[dia, ultimo] : meses) {
        periodo.SetValue(dia);
        EXPECT_EQ(periodo.AsDate(), QDate(dia.year(), dia.month(), 1)) << dia.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(periodo.AsDataFinal(), ultimo) << dia.toString(Qt::ISODate).toStdString();
    }
    periodo.SetValue(QDateTime(QDate(2024, 4, 30), QTime(23, 59)));
    EXPECT_EQ(periodo.AsDate(), QDate(2024, 4, 1));
    EXPECT_EQ(periodo.Text(), "04/2024");
    for (const char *texto : {"13/2024", "abc", "00/2024", "31/02/2024"}) {
        periodo.SetText(QString::fromLatin1(texto));
        EXPECT_FALSE(periodo.AsDate().isValid()) << texto;
    }

    // A plain date keeps its day; a month and year is not a date.
    TnpqParamItem data({.Alias = "pData", .Caption = "Data", .Tipo = ntpData});
    data.SetText("15/03/2024");
    EXPECT_EQ(data.AsDate(), QDate(2024, 3, 15));
    EXPECT_EQ(data.AsDataInicial(), QDate(2024, 3, 15));
    data.SetText("03/2024");
    EXPECT_FALSE(data.AsDate().isValid());

    TnpqParamItem n({.Alias = "pN", .Caption = "Quantidade", .Tipo = ntpNumero});
    n.SetText("1.234,56");
    EXPECT_DOUBLE_EQ(n.AsFloat(), 1234.56);
    EXPECT_THROW(n.AsInteger(), EnParam);
    n.SetText("12");
    EXPECT_EQ(n.AsInteger(), 12);
    n.SetText("doze");
    try {
        n.AsFloat();
        ADD_FAILURE();
    } catch (const EnParam &e) {
        EXPECT_EQ(e.Param(), "pN");
        EXPECT_TRUE(e.Message().contains("Quantidade")) << e.what();
    }
    n.SetText("  ");
    EXPECT_TRUE(n.IsNull());
    EXPECT_EQ(n.AsInteger(), 0);

    TnpqParamItem c({.Alias = "pC", .Tipo = ntpCheckBox, .Padrao = true});
    EXPECT_TRUE(c.AsBoolean());
    EXPECT_EQ(c.AsString(), "1");
    c.SetText("Não");
    EXPECT_FALSE(c.AsBoolean());

    EXPECT_EQ(dp.Param("pCodigoEstab").AsString(), "1");
    EXPECT_TRUE(dp.Param("pCodigoEstab").MultiSelecao());
    EXPECT_EQ(dp.Param("pCodigoEstab").ClasseLookup(), "UlmarDCEstab");

    TnpqPowerParam lista;
    lista.Adicionar({.Alias = "pA"});
    EXPECT_THROW(lista.Adicionar({.Alias = "PA"}), Exception);
    EXPECT_THROW(lista.Adicionar({.Alias = " "}), Exception);
}

TEST(Processo, FormularioLinkEFalhas)
{
    TnInteracaoTeste usuario;
    QPointer<TTesteDPPeriodo> dp = new TTesteDPPeriodo();
    TnFormFalso form;
    dp->ConfigurarForm(&form);
    EXPECT_EQ(form.Chamadas, (QStringList{"Atalho:4:Esc", "Tamanho:400:100", "Atualizar:"}));
    dp->EdEnabledField("pMotivo", false);
    EXPECT_FALSE(dp->Param("pMotivo").Habilitado());
    EXPECT_EQ(form.Chamadas.last(), "Atualizar:pMotivo");

    // Opened by a link: the values given, then the run.
    dp->AbrirLink({{"pDataPeriodo", "12/2023"}});
    EXPECT_EQ(dp->Chamadas.last(), "Executar:01/12/2023");
    EXPECT_THROW(dp->AbrirLink({{"pErrado", 1}}), Exception);

    // Forms report failures in one way.
    form.Chamadas.clear();
    MostrarFalha(&form, EnParam("pDataPeriodo", "Período inválido"));
    MostrarFalha(&form, EnField("QTDEESTOQUE", "Quantidade inválida"));
    MostrarFalha(&form, EAbort());
    MostrarFalha(nullptr, Exception("Falhou"));
    MostrarFalha(&form, std::runtime_error("std"));
    EXPECT_EQ(usuario.Avisos, (QStringList{"Período inválido", "Quantidade inválida", "Falhou", "std"}));
    EXPECT_EQ(form.Chamadas, (QStringList{"Focar:pDataPeriodo", "Focar:QTDEESTOQUE"}));

    dp->FormFechado();
    EXPECT_EQ(dp->Form(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dp.isNull());
}

TEST(Processo, AbertoComOsValoresDaSelecao)
{
    const TnClasseInfo info = InfoDaClasse<TTesteDPPeriodo>("TTesteDPSelecao");
    ASSERT_TRUE(nRegisterClass(info));
    struct Limpeza {
        ~Limpeza()
        {
            nUnRegisterClass("TTesteDPSelecao");
            Selecao().Reset();
            Variaveis().Reiniciar();
        }
    } limpeza;

    // Nothing chosen yet: the declared values stay.
    std::unique_ptr<TnDataModule> vazio(CriarDM("TTesteDPSelecao"));
    auto *dp = static_cast<TTesteDPPeriodo *>(vazio.get());
    EXPECT_EQ(dp->Param("pCodigoEstab").AsString(), "1");
    EXPECT_TRUE(dp->Param("pDataPeriodo").IsNull());

    // Only the keys the process follows fill its parameters: the branch of the selection
    // does not reach a process that does not declare it; an empty month takes the
    // selected period's first day.
    Selecao().GetParams("CodigoEmpresa").SetValue(4);
    Selecao().GetParams("CodigoEstab").SetValue(7);
    Selecao().GetParams("CodigoProduto").SetValue(1002);
    Selecao().GetParams("DataInvent").SetValue(QDate(2024, 12, 1));
    std::unique_ptr<TnDataModule> aberto(CriarDM("TTesteDPSelecao"));
    dp = static_cast<TTesteDPPeriodo *>(aberto.get());
    EXPECT_EQ(dp->Param("pCodigoEstab").AsString(), "1");
    EXPECT_EQ(dp->Param("pDataPeriodo").AsDate(), QDate(2024, 12, 1));
    EXPECT_EQ(dp->Param("pDataPeriodo").Text(), "12/2024");
    // The caller may set another value afterwards.
    dp->Param("pCodigoEstab").SetText("3");
    dp->Param("pDataPeriodo").SetText("01/2025");
    EXPECT_EQ(dp->Param("pCodigoEstab").AsInteger(), 3);
    EXPECT_EQ(dp->Param("pDataPeriodo").AsDataFinal(), QDate(2025, 1, 31));

    // A process that follows the branch takes it, hidden or not, and the active company;
    // the product an entry opened elsewhere left in the selection fills nothing.
    ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteDPFiltros>("TTesteDPFiltros")));
    const auto semFiltros = qScopeGuard([] { nUnRegisterClass("TTesteDPFiltros"); });
    std::unique_ptr<TnDataModule> filtros(CriarDM("TTesteDPFiltros"));
    auto *limpar = static_cast<TTesteDPFiltros *>(filtros.get());
    EXPECT_EQ(limpar->Param("pCodigoEmpresa").AsInteger(), 4);
    EXPECT_EQ(limpar->Param("pCodigoEstab").AsInteger(), 7);
    EXPECT_TRUE(limpar->Param("pCodigoProduto").IsNull());

    // Its question before deleting names every filter in effect (not the hidden company)
    // and Enter answers "Não".
    TnInteracaoTeste usuario;
    usuario.Responder(mbNo, "Deseja excluir os registros?");
    limpar->Param("pCodigoProduto").SetText("1002; 1003");
    limpar->Rodar();
    EXPECT_FALSE(limpar->Confirmou);
    ASSERT_EQ(usuario.Perguntas.size(), 1);
    EXPECT_EQ(usuario.Perguntas[0], QString::fromUtf8("Deseja excluir os registros?\r\n\r\nFiltros informados:\r\n"
                                                      "Estabelecimento: 7\r\nProduto: 1002; 1003\r\n"
                                                      "Período: 12/2024"));
    EXPECT_EQ(usuario.Padroes, QList<int>({mbNo}));
}

namespace {
const TnDefProcesso kEmpresa{.Caption = "Consulta por empresa",
                             .Parametros = {{.Alias = "pCodigoEmpresa", .Caption = "Empresa"},
                                            {.Alias = "pCodigoEstab", .Caption = "Estabelecimentos"}}};
class TTesteDPEmpresa : public TnDMPowerParam {
public:
    TTesteDPEmpresa() : TnDMPowerParam(kEmpresa) {}
    static QString PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }
    void npqPowerParamParamChange(TnpqParamItem &param) override { Alterados << param.Alias() + '=' + param.AsString(); }
    QStringList Alterados;
};
} // namespace

TEST(Processo, ParametroDaEmpresaSegueATrocaDeEmpresa)
{
    ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteDPEmpresa>("TTesteDPEmpresa")));
    const auto limpeza = qScopeGuard([] {
        nUnRegisterClass("TTesteDPEmpresa");
        Selecao().Reset();
        Variaveis().Reiniciar();
    });
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    Selecao().GetParams("CodigoEstab").SetValue(3);
    std::unique_ptr<TnDataModule> aberto(CriarDM("TTesteDPEmpresa"));
    auto *dp = static_cast<TTesteDPEmpresa *>(aberto.get());
    TnFormFalso form;
    dp->ConfigurarForm(&form);
    EXPECT_EQ(dp->Param("pCodigoEmpresa").AsInteger(), 1);
    dp->Alterados.clear();
    form.Chamadas.clear();

    // Another company chosen while the process is open: its parameter follows, on the form too.
    Selecao().GetParams("CodigoEmpresa").SetValue(2);
    Selecao().ReconfigurarDM("CodigoEmpresa", true);
    EXPECT_EQ(dp->Param("pCodigoEmpresa").AsInteger(), 2);
    EXPECT_EQ(dp->Alterados, QStringList({"pCodigoEmpresa=2"}));
    EXPECT_TRUE(form.Chamadas.contains("Atualizar:pCodigoEmpresa"));
    // The same company again changes nothing; a key the process does not follow is not told.
    Selecao().ReconfigurarDM("CodigoEmpresa", true);
    Selecao().GetParams("CodigoEstab").SetValue(5);
    Selecao().ReconfigurarDM("CodigoEstab", true);
    EXPECT_EQ(dp->Alterados.size(), 1);
    EXPECT_TRUE(dp->Param("pCodigoEstab").IsNull()); // not among its keys: neither filled nor followed
    // No company in the selection: the parameter is emptied.
    Selecao().GetParams("CodigoEmpresa").Clear();
    Selecao().ReconfigurarDM("CodigoEmpresa", false);
    EXPECT_TRUE(dp->Param("pCodigoEmpresa").IsNull());
    dp->ConfigurarForm(nullptr);
}

TEST(Processo, VariantesGradeEAbas)
{
    TnFormFalso form;
    TnDMPowerParamGrid grade(kPeriodo);
    grade.ConfigurarForm(&form);
    grade.nClientDataSet().DefinirCampos({TnDefCampo{.Nome = "TOTAL", .Tipo = ftFloat}});
    grade.nClientDataSet().CreateDataSet();
    grade.ResultadoAlterado();
    EXPECT_EQ(form.Chamadas.last(), "Resultado");

    TnDMPowerParamTab abas(kPeriodo);
    TnAbaResultado &a = abas.AdicionarAba("K200");
    abas.AdicionarAba("K280");
    EXPECT_EQ(abas.QtdAbas(), 2);
    EXPECT_EQ(&abas.Aba(0), &a);
    EXPECT_EQ(abas.Aba(1).Caption, "K280");
    abas.LimparAbas();
    EXPECT_EQ(abas.QtdAbas(), 0);
}

TEST(Processo, AcoesDasLinhasDaGrade)
{
    TnDMPowerParamGrid grade(kPeriodo);
    QStringList feitas;
    // Without a handler of its own, a double-click runs the grid's action.
    TnActionList lista;
    TnAction *acao = lista.Adicionar("nActAbrir");
    acao->SetOnExecute([&](TnAction *) { feitas << "acao"; });
    grade.SetAcaoGrade(acao);
    grade.DBGridDblClick();
    grade.OnDBGridDblClick = [&] { feitas << "duplo"; };
    grade.DBGridDblClick();
    EXPECT_EQ(feitas, QStringList({"acao", "duplo"}));

    // One name is one action: a popup item that is also a button.
    grade.AdicionarItemPopup("Abrir", "Abrir lançamento", 160, "Ctrl+Enter", [&] { feitas << "popup"; });
    grade.CriarToolButton("abrir", "Abre o lançamento", 161, [&] { feitas << "botao"; }, "Ctrl+Enter");
    grade.CriarToolButton("Outra", "Outra ação", -1, [&] { feitas << "outra"; });
    ASSERT_EQ(grade.AcoesLinha().size(), 2u);
    const TnAcaoLinha &a = grade.AcoesLinha()[0];
    EXPECT_EQ(QStringList({a.Nome, a.Caption, a.Hint, QString::number(a.Imagem), a.Atalho}),
              QStringList({"Abrir", QString::fromUtf8("Abrir lançamento"), QString::fromUtf8("Abre o lançamento"), "161",
                           "Ctrl+Enter"}));
    EXPECT_TRUE(a.Popup && a.Botao);
    EXPECT_EQ(grade.AcoesLinha()[1].Caption, QString::fromUtf8("Outra ação")); // a button's caption is its hint
    grade.ExecutarAcaoLinha("ABRIR");
    EXPECT_EQ(feitas.last(), "botao");
    EXPECT_THROW(grade.ExecutarAcaoLinha("Nenhuma"), Exception);

    // The grid's set-up hook runs after the form's configuration.
    struct TGrade : TnDMPowerParamGrid {
        TGrade() : TnDMPowerParamGrid(kPeriodo) {}
        int Configuracoes = 0;
        void ConfigurarDBGrid() override { ++Configuracoes; }
    } outra;
    outra.ConfigurarForm(nullptr);
    EXPECT_EQ(outra.Configuracoes, 1);
    EXPECT_TRUE(outra.DBGridReadOnly());
    EXPECT_FALSE(outra.DBGridOrdenar());
    EXPECT_FALSE(outra.Pesquisa());
}

TEST(Processo, FormDeModuloSemUsuarioLiberaOModulo)
{
    // Nobody to show it to: the module is freed at once and nothing was confirmed.
    QPointer<TnDMPowerParam> dp = new TTesteDPPeriodo;
    EXPECT_FALSE(nShowFormModal(dp));
    EXPECT_TRUE(dp.isNull());
    dp = new TTesteDPPeriodo;
    EXPECT_FALSE(nShowForm(dp));
    EXPECT_TRUE(dp.isNull());
    EXPECT_FALSE(nShowFormModal(nullptr));

    // The tests' user: the module is configured with a form, prepared, played and freed.
    TnInteracaoTeste usuario;
    auto *periodo = new TTesteDPPeriodo;
    dp = periodo;
    QStringList vistas;
    usuario.AoMostrarForm = [&](TnDMFormulario &m, TnFormFalso &form) {
        vistas << form.Chamadas;
        EXPECT_EQ(&m, periodo);
        return false;
    };
    EXPECT_FALSE(nShowFormModal(dp, [](TnFormModulo &f) { f.ConfigurarActionForm(nafExecutar, false); }));
    EXPECT_TRUE(dp.isNull());
    EXPECT_EQ(vistas, QStringList({"Atalho:4:Esc", "Tamanho:400:100", "Atualizar:", "Acao:5:0"}));
    dp = new TTesteDPPeriodo;
    EXPECT_TRUE(nShowForm(dp)); // shown, not modal
    EXPECT_TRUE(dp.isNull());
    EXPECT_EQ(usuario.FormsMostrados.size(), 2);
}

} // namespace

// Datasets a process owns by name, for the module that runs it to read afterwards.
TEST(Processo, ConjuntosDeDadosPorNome)
{
    TTesteDPPeriodo dp;
    EXPECT_EQ(dp.FindDataSet("curSaldo"), nullptr);
    TnClientDataSet &ds = dp.DataSet("curSaldo");
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(&dp.DataSet("CURSALDO"), &ds);
    EXPECT_EQ(dp.FindDataSet(" cursaldo "), &ds);
    EXPECT_NE(&dp.DataSet("outro"), &ds);
    EXPECT_THROW(dp.DataSet(" "), Exception);
}

// A check list: its options read into groups and entries, the value its ticks give (a group
// ticks its entries, list order kept), a code given as text ticking the same, and nothing
// ticked refused as a missing required parameter.
TEST(Processo, ListaDeMarcacao)
{
    static const TnDefProcesso kMarcacao{
        .Caption = "Marcar",
        .Parametros = {{.Alias = "pRegras", .Caption = "Regras", .Tipo = ntpListaMarcacao, .Requerido = true,
                        .OpcoesMarcacao = "Lançamentos=100; *Propriedade=1;*CST=2;;*Conta=3;Outra=7;*Base=6;Solta"}},
    };
    struct TTesteDPMarcacao : TnDMPowerParam {
        TTesteDPMarcacao() : TnDMPowerParam(kMarcacao) {}
    } dp;
    TnpqParamItem &p = dp.Param("pRegras");
    const std::vector<TnOpcaoMarcacao> &o = p.OpcoesMarcacao();
    ASSERT_EQ(o.size(), 7u);
    EXPECT_EQ(o[0].Caption, "Lançamentos");
    EXPECT_EQ(o[0].Valor, "100");
    EXPECT_TRUE(o[0].EhGrupo);
    EXPECT_EQ(o[1].Caption, "Propriedade");
    EXPECT_EQ(o[1].Grupo, 0);
    EXPECT_EQ(o[3].Grupo, 0);
    EXPECT_EQ(o[5].Grupo, 4); // under "Outra"
    EXPECT_EQ(o[6].Valor, "Solta");
    EXPECT_EQ(o[6].Grupo, -1);
    EXPECT_EQ(p.ListaValores().size(), 7);

    // Order of the list; a group whose entries are all ticked reports itself too.
    p.Marcar({false, false, true, false, false, true, false});
    EXPECT_EQ(p.AsString(), "2;7;6;");
    p.Marcar({true});
    EXPECT_EQ(p.AsString(), "100;1;2;3;");
    p.Marcar({false, true, true, true, false, false, true});
    EXPECT_EQ(p.AsString(), "100;1;2;3;Solta;");
    EXPECT_EQ(p.Text(), "100;1;2;3;Solta;"); // the text is the value, never an option's caption

    // Typed codes (as headless callers give them) are kept as given and tick the same options;
    // "0" ticks every one.
    dp.SetParamText("pRegras", "6;1");
    EXPECT_EQ(p.AsString(), "6;1");
    EXPECT_EQ(p.Marcadas(), (std::vector<bool>{false, true, false, false, true, true, false}));
    dp.SetParamText("pRegras", "1");
    EXPECT_EQ(p.Text(), "1");
    dp.SetParamText("pRegras", " 7 ;;");
    EXPECT_EQ(p.Marcadas(), (std::vector<bool>{false, false, false, false, true, true, false}));
    dp.SetParamText("pRegras", "0");
    EXPECT_EQ(TextoMarcacao(o, p.Marcadas()), "100;1;2;3;7;6;Solta;");

    p.Marcar({});
    EXPECT_TRUE(p.IsNull());
    try {
        dp.Rodar();
        ADD_FAILURE() << "nada marcado";
    } catch (const EnParam &e) {
        EXPECT_EQ(e.Param(), "pRegras");
        EXPECT_EQ(e.Message(), "O parâmetro \"Regras\" deve ser informado.");
    }
}
