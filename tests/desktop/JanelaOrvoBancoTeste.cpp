// The module's main window on a converted database with the program's libraries loaded, as
// the program shows it: menus filled from the registered classes, the period chosen through
// its form (F8), the company settings register when its library is there, the toolbar, and
// the sibling modules' stand-ins reached by class name.
#include "BancoOrvo.h"
#include "DMClientDataSet.h"
#include "InteracaoTeste.h"
#include "OrvoSMenu_U.h"
#include "PowerParam.h"
#include "QtEditores.h"
#include "QtProcesso.h"
#include "QtProjeto.h"
#include "QtTeste.h"
#include "SQLDataSet.h"
#include "Variaveis.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {
class JanelaOrvoBanco : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (IsSkipped())
            return;
        // OrvoPrefs is built on its own; whatever is not there is left out.
        CarregarBibliotecas(BibliotecasProjeto());
        ExternalVar("gNomeUsuario", "ADMINISTRADOR");
    }
    // Types a month into the period form and runs it, or closes the form without running;
    // saves a picture of the form when `captura` names one.
    static void NoFormDoPeriodo(const QString &mes, bool executar, const QString &captura = QString())
    {
        teste::QuandoModal([mes, executar, captura](QWidget *w) {
            auto *f = qobject_cast<TnFrmProcesso *>(w);
            ASSERT_NE(f, nullptr);
            teste::Digitar(f->Editor("pDataPeriodo")->Entrada(), mes);
            if (!executar) {
                EXPECT_TRUE(f->AcaoForm(nafFechar)->shortcuts().contains(QKeySequence(Qt::Key_Escape)));
                f->AcaoForm(nafFechar)->trigger();
                return;
            }
            if (!captura.isEmpty())
                teste::Capturar(f, captura);
            f->AcaoForm(nafExecutar)->trigger();
            if (f->isVisible()) // refused: the message was shown, the form stays open
                f->AcaoForm(nafFechar)->trigger();
        });
    }
};

TnFrmModulo *JanelaDaClasse(const QString &classe)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *f = qobject_cast<TnFrmModulo *>(w); f && f->isVisible() && f->Modulo()
                                                     && f->Modulo()->ClassName() == classe)
            return f;
    return nullptr;
}
} // namespace

TEST_F(JanelaOrvoBanco, JanelaPrincipalComPeriodoConfiguracaoEBarra)
{
    con().Executar("update CFGEMPRESAINV set PERIODOINVENTARIO = 2 where CODIGOEMPRESA = 1");
    TnInteracaoTeste usuario;
    TOrvoSMenu janela;
    janela.Inicializar();
    janela.resize(1000, 650);
    janela.show();
    QApplication::processEvents();
    EXPECT_EQ(janela.TextoPainel(1), "Empresa: 1 / Estab.: 1");
    EXPECT_EQ(janela.TextoPainel(3), "");

    QAction *periodo = janela.AcaoDoMenu("Configurações\\Selecionar Período Inventário");
    ASSERT_NE(periodo, nullptr);
    EXPECT_EQ(periodo->shortcut(), QKeySequence(Qt::Key_F8));

    // A month the quarterly company takes.
    NoFormDoPeriodo("03/2024", true, "periodo_inventario");
    periodo->trigger();
    EXPECT_EQ(janela.TextoPainel(3), "Inventário: 03/2024 - Trimestral");
    EXPECT_EQ(ExternalVar("gDataInvent"), "01/03/2024");
    EXPECT_TRUE(usuario.Avisos.isEmpty()) << usuario.Avisos.join('\n').toStdString();

    // Refused, then closed without confirming; and closed at once (the toolbar's button):
    // panel 3 and the period stay as they were.
    NoFormDoPeriodo("04/2024", true);
    periodo->trigger();
    ASSERT_EQ(usuario.Avisos.size(), 1);
    EXPECT_TRUE(usuario.Avisos[0].contains("trimestral")) << usuario.Avisos[0].toStdString();
    NoFormDoPeriodo("06/2024", false);
    janela.BarraFerramentas()->actions().value(0)->trigger();
    EXPECT_EQ(janela.TextoPainel(3), "Inventário: 03/2024 - Trimestral");
    EXPECT_EQ(ExternalVar("gDataInvent"), "01/03/2024");

    // The company settings register, when its library was built: closing it checks the
    // company's settings, which are valid.
    if (Registro().Classe("TOrvoDMCfgEmpresaInv")) {
        teste::QuandoModal([](QWidget *w) {
            teste::Capturar(w, "configuracao_empresa");
            w->close();
        });
        EXPECT_NO_THROW(janela.ShowConfiguracaoInv(janela.Acoes().Acao("actTOrvoDMCfgEmpresaInv")));
        EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "1");
    }

    // The calendar's and the general registry's stand-ins open by class name: the
    // product-group chart ("Plano") and the products.
    usuario.Avisos.clear();
    for (QAction *a : janela.BarraFerramentas()->actions())
        if (a->text() == "Agenda Tributária" || a->text() == "Plano" || a->text() == "Produtos")
            a->trigger();
    EXPECT_TRUE(usuario.Avisos.isEmpty()) << usuario.Avisos.join('\n').toStdString();
    // The calendar's window speaks of itself, in Portuguese.
    if (TnFrmModulo *agenda = JanelaDaClasse("TQuenDPQuenbyAgenda")) {
        EXPECT_EQ(agenda->windowTitle(), "Agenda Tributária");
        auto *texto = agenda->findChild<QLabel *>("lblTexto");
        ASSERT_NE(texto, nullptr);
        EXPECT_TRUE(texto->text().contains("outro módulo da suíte")) << texto->text().toStdString();
        teste::Capturar(agenda, "agenda_tributaria");
    }
    for (const char *classe : {"TQuenDPQuenbyAgenda", "TUlmarDMGrupoProduto", "TUlmarDMProduto"}) {
        TnFrmModulo *f = JanelaDaClasse(classe);
        ASSERT_NE(f, nullptr) << classe;
        f->close();
    }

    EXPECT_FALSE(teste::Capturar(&janela, "janela_principal").isEmpty());
}

// The general registry's stand-ins: registers and consultations over EMPRESA and ESTAB,
// found by the names the lookups give, gone with their library.
TEST_F(JanelaOrvoBanco, CadastrosDoRegistroGeral)
{
    for (const char *classe : {"TUlmarDMEmpresa", "UlmarDCEmpresa", "TUlmarDMEstab", "UlmarDCEstab"})
        ASSERT_NE(Registro().Classe(QString::fromLatin1(classe)), nullptr) << classe;
    EXPECT_EQ(Registro().Classe("TUlmarDMEmpresa")->PegarTipoObjeto(), 1);
    EXPECT_EQ(Registro().Classe("UlmarDCEstab")->PegarTipoObjeto(), 2);

    auto *empresas = qobject_cast<TnDMClientDataSet *>(CriarDM("TUlmarDMEmpresa"));
    ASSERT_NE(empresas, nullptr);
    empresas->Abrir();
    empresas->nClientDataSet().Append();
    empresas->FieldByName("CODIGOEMPRESA").SetAsInteger(2);
    empresas->FieldByName("NOMEEMPRESA").SetAsString("Segunda Empresa");
    empresas->nClientDataSet().Post();
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("EMPRESA", "NOMEEMPRESA", "CODIGOEMPRESA = 2").toString(),
              "Segunda Empresa");
    con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (2, 1, 'Outra')");

    // The branches of the selected company only; a consultation writes nothing.
    auto *estabs = qobject_cast<TnDMClientDataSet *>(CriarDM("UlmarDCEstab"));
    ASSERT_NE(estabs, nullptr);
    estabs->Abrir();
    EXPECT_EQ(estabs->nClientDataSet().RecordCount(), 1);
    EXPECT_EQ(estabs->FieldByName("NOMEESTAB").AsString(), "Estabelecimento Exemplo");
    EXPECT_TRUE(estabs->SomenteLeitura());
    EXPECT_ANY_THROW(estabs->nClientDataSet().Append());

    QPointer<TnDataModule> vivo(estabs);
    TnBibliotecas::Descarregar("Ulmar");
    EXPECT_TRUE(vivo.isNull());
    EXPECT_EQ(Registro().Classe("UlmarDCEmpresa"), nullptr);
}

// The product stand-ins: the chart of product groups, the product register with the
// columns the entry register fills, their consultations and the person lookup.
TEST_F(JanelaOrvoBanco, CadastrosDeProdutosGruposEPessoas)
{
    for (const char *classe : {"TUlmarDMProduto", "UlmarDCProduto", "TUlmarDMGrupoProduto", "UlmarDCGrupoProduto",
                               "UlmarDCPessoa"})
        ASSERT_NE(Registro().Classe(QString::fromLatin1(classe)), nullptr) << classe;
    EXPECT_EQ(Registro().Classe("TUlmarDMProduto")->PegarTipoObjeto(), 1);
    EXPECT_EQ(Registro().Classe("UlmarDCPessoa")->PegarTipoObjeto(), 2);

    auto *grupos = qobject_cast<TnDMClientDataSet *>(CriarDM("TUlmarDMGrupoProduto"));
    ASSERT_NE(grupos, nullptr);
    grupos->Abrir();
    grupos->nClientDataSet().Append();
    EXPECT_EQ(grupos->FieldByName("CODIGOEMPRESA").AsInteger(), 1);
    EXPECT_EQ(grupos->FieldByName("TIPOGRUPOPRODUTO").AsInteger(), 2); // analytic
    grupos->FieldByName("CODIGOGRUPOPRODUTO").SetAsInteger(10);
    grupos->FieldByName("DESCRGRUPOPRODUTO").SetAsString("Ferragens");
    grupos->FieldByName("APELIDOGRUPOPRODUTO").SetAsString("FER");
    EXPECT_EQ(grupos->FieldByName("TIPOGRUPOPRODUTOSINCO").DisplayLabel(), "Tipo SINCO");
    EXPECT_EQ(grupos->FieldByName("TIPOGRUPOPRODUTOSINCO").Def().TamanhoMaximo, 1);
    grupos->FieldByName("TIPOGRUPOPRODUTOSINCO").SetAsString("1");
    grupos->nClientDataSet().Post();
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("GRUPOPRODUTO", "TIPOGRUPOPRODUTOSINCO", "CODIGOGRUPOPRODUTO = 10")
                  .toString(),
              "1");

    auto *produtos = qobject_cast<TnDMClientDataSet *>(CriarDM("TUlmarDMProduto"));
    ASSERT_NE(produtos, nullptr);
    produtos->Abrir();
    for (const char *c : {"CODIGOEMPRESA", "CODIGOPRODUTO", "REFERENPRODUTO", "CODIGOGRUPOPRODUTO", "DESCRPRODUTO",
                          "CODIGONCM", "UNIDADEMEDIDA"})
        EXPECT_NO_THROW(produtos->FieldByName(c)) << c;
    produtos->nClientDataSet().Append();
    produtos->FieldByName("CODIGOPRODUTO").SetAsInteger(5);
    produtos->FieldByName("REFERENPRODUTO").SetAsString("P5");
    produtos->FieldByName("CODIGOGRUPOPRODUTO").SetAsInteger(10);
    produtos->FieldByName("DESCRPRODUTO").SetAsString("Parafuso");
    produtos->FieldByName("UNIDADEMEDIDA").SetAsString("UN");
    produtos->nClientDataSet().Post();
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("PRODUTO", "DESCRPRODUTO", "CODIGOEMPRESA = 1 and CODIGOPRODUTO = 5")
                  .toString(),
              "Parafuso");
    // Every insert and every change carries its day (the SINCO product file writes it).
    const auto atualizacao = [] {
        return nDMSQLDataSet::PegarValorCampo("PRODUTO", "DATAATUALIZACAO", "CODIGOEMPRESA = 1 and CODIGOPRODUTO = 5")
            .toDate();
    };
    EXPECT_EQ(atualizacao(), QDate::currentDate());
    con().Executar("update PRODUTO set DATAATUALIZACAO = '2020-01-31' where CODIGOPRODUTO = 5");
    produtos->Reabrir();
    produtos->nClientDataSet().Edit();
    produtos->FieldByName("DESCRPRODUTO").SetAsString("Parafuso sextavado");
    produtos->nClientDataSet().Post();
    EXPECT_EQ(atualizacao(), QDate::currentDate());
    EXPECT_FALSE(produtos->FieldByName("DATAATUALIZACAO").Def().Habilitado);

    con().Executar("insert into PESSOA (CODIGOPESSOA, NOMEPESSOA) values (7, 'Depositário')");
    for (const char *consulta : {"UlmarDCProduto", "UlmarDCGrupoProduto", "UlmarDCPessoa"}) {
        auto *dc = qobject_cast<TnDMClientDataSet *>(CriarDM(QString::fromLatin1(consulta)));
        ASSERT_NE(dc, nullptr) << consulta;
        dc->Abrir();
        EXPECT_EQ(dc->nClientDataSet().RecordCount(), 1) << consulta;
        EXPECT_TRUE(dc->SomenteLeitura()) << consulta;
    }
}

// What the inventory reaches by class name in the sibling modules is there once the program's
// libraries are loaded: the fiscal module's stock balances, and the general registry's people
// (the participants of property lines) and company settings (how products are identified,
// the chart's mask). The mask is set there once; a mask in use changes only through the
// process that rewrites the chart, which then runs.
TEST_F(JanelaOrvoBanco, ModulosIrmaosPessoasEConfiguracaoDoRegistroGeral)
{
    for (const char *classe : {"TTelsoDPGerarSaldoInicialEstoque", "TUlmarDMPessoa", "UlmarDCPessoa",
                               "TUlmarDMCfgEmpresa", "TOrvoDPGerarLctoInventario"})
        ASSERT_NE(Registro().Classe(QString::fromLatin1(classe)), nullptr) << classe;
    EXPECT_EQ(Registro().Classe("TUlmarDMPessoa")->PegarTipoObjeto(), 1);

    auto *pessoas = qobject_cast<TnDMClientDataSet *>(CriarDM("TUlmarDMPessoa"));
    ASSERT_NE(pessoas, nullptr);
    EXPECT_EQ(pessoas->CadCons(), "UlmarDCPessoa");
    pessoas->Abrir();
    pessoas->nClientDataSet().Append();
    pessoas->FieldByName("CODIGOPESSOA").SetAsInteger(7);
    pessoas->FieldByName("NOMEPESSOA").SetAsString("Depositário");
    pessoas->nClientDataSet().Post();
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("PESSOA", "NOMEPESSOA", "CODIGOPESSOA = 7").toString(), "Depositário");

    auto *cfg = qobject_cast<TnDMClientDataSet *>(CriarDM("TUlmarDMCfgEmpresa"));
    ASSERT_NE(cfg, nullptr);
    cfg->Abrir();
    ASSERT_EQ(cfg->nClientDataSet().RecordCount(), 1); // the selected company's row
    TnClientDataSet &ds = cfg->nClientDataSet();
    EXPECT_THROW(ds.Append(), EAbort); // one row per company, never deleted
    EXPECT_THROW(ds.Delete(), EAbort);
    EXPECT_EQ(ds.RecordCount(), 1);
    const auto gravarMascara = [&](const QString &mascara) -> QString {
        ds.Edit();
        cfg->FieldByName("MASCGRUPOPRODUTO").SetAsString(mascara);
        try {
            ds.Post();
        } catch (const EnField &e) {
            ds.Cancel();
            return e.Campo() + "|" + e.Message();
        }
        return QString();
    };
    EXPECT_TRUE(gravarMascara("9..99").startsWith("MASCGRUPOPRODUTO|Máscara do plano de contas inválida"));
    EXPECT_EQ(gravarMascara("9.99"), "");
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("CFGEMPRESAULMAR", "MASCGRUPOPRODUTO", "CODIGOEMPRESA = 1").toString(),
              "9.99");
    EXPECT_TRUE(gravarMascara("9.999").contains("Alterar Estrutura do Plano de Contas Inventário"));
    EXPECT_EQ(gravarMascara("9.99"), ""); // the same mask again is no change
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("CFGEMPRESAULMAR", "MASCGRUPOPRODUTO", "CODIGOEMPRESA = 1").toString(),
              "9.99");

    con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                   "TIPOGRUPOPRODUTO, DESCRGRUPOPRODUTO) values (1, 1, '1', 1, 'Mercadorias'), "
                   "(1, 2, '1.01', 2, 'Alimentos')");
    TnInteracaoTeste usuario;
    usuario.Responder(mbOK);
    usuario.Responder(mbYes);
    auto *mascara = qobject_cast<TnDMPowerParam *>(CriarDM("TOrvoDPAlterarClassifGrupoInv"));
    ASSERT_NE(mascara, nullptr);
    mascara->Param("pNewMascara").SetText("9.999");
    EXPECT_NO_THROW(mascara->Rodar());
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("GRUPOPRODUTO", "CLASSIFGRUPOPRODUTO", "CODIGOEMPRESA = 1 and "
                                             "CODIGOGRUPOPRODUTO = 2").toString(),
              "1.001");
}
