// What a register module adds to its desktop page: accepted characters and input masks, a
// control bound to no field, a panel of parameters, a search the module handles itself and
// the register's configuration action.
#include "BancoTeste.h"
#include "InteracaoTeste.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtTeste.h"
#include "Valores.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const TnDefCadastro kEmpresa{
    .SQL = "select CODIGOEMPRESA, NOMEEMPRESA from EMPRESA",
    .Tabela = "EMPRESA",
    .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true, .Flags = pfPadrao | pfInKey,
                .Def = {.DisplayLabel = "Empresa", .TipoControle = ntcLookup}},
               {.Nome = "NOMEEMPRESA", .Tipo = ftString, .Tamanho = 100,
                .Def = {.DisplayLabel = "Nome", .CaracteresAceitos = "0123456789,."}}},
    .Chave = "CODIGOEMPRESA",
    .Ordem = "CODIGOEMPRESA",
    .Caption = "Empresas"};

class TTesteDMEmpresaExtra : public TnDMClientDataSet {
public:
    TTesteDMEmpresaExtra() : TnDMClientDataSet(kEmpresa)
    {
        TnpqParamItem &qtde = Params.Adicionar({.Alias = "pQtde", .Caption = "Quantidade", .Tipo = ntpInteiro,
                                                .CaracteresAceitos = "0123456789"});
        qtde.OnExit = [this](TnpqParamItem &p) {
            SaidasParametro << p.Text();
            if (p.AsInteger() == 0)
                throw EnParam(p.Alias(), "Informe a quantidade.");
        };
    }
    void DepoisConfigurar(TnFormModulo *form) override
    {
        Total = CriarControlsFraFields("CODIGOEMPRESA", "edTotal", "Total", ftFloat);
        Total->SetDisplayFormat("#,##0.00");
        Total->OnExit = [this] { SaidasTotal << Total->Texto(); };
        Params.DisplayParamsMake(form, "NOMEEMPRESA");
    }
    void Notification(TnFormModulo *) override { Params.EsquecerPainel(); }
    bool PesquisarCampo(const QString &campo) override
    {
        Pesquisados << campo;
        return true;
    }
    TnpqPowerParam Params;
    QPointer<TnControleExtra> Total;
    QStringList SaidasTotal, SaidasParametro, Pesquisados;
};

class ControlesQtBanco : public BancoConvertido {
protected:
    void SetUp() override
    {
        BancoConvertido::SetUp();
        if (IsSkipped())
            return;
        nRegisterClass(InfoDaClasse<TTesteDMEmpresaExtra>("TTesteDMEmpresaExtra"));
        FForm = qobject_cast<TnFrmCadastro *>(CriarFormModulo(CriarDM("TTesteDMEmpresaExtra"), nullptr));
        FForm->show();
        QApplication::processEvents();
        FDm = static_cast<TTesteDMEmpresaExtra *>(FForm->Modulo());
    }
    void TearDown() override
    {
        if (FForm)
            delete FForm.data();
        nUnRegisterClass("TTesteDMEmpresaExtra");
        DestruirTodosDM();
        BancoTeste::TearDown();
    }
    // The focus leaves the control (as when the user moves on).
    static void Sair(TnEditor *e)
    {
        QFocusEvent saiu(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(e->Entrada(), &saiu);
    }
    static int Linha(QWidget *w)
    {
        int linha = -1;
        QFormLayout::ItemRole papel;
        qobject_cast<QFormLayout *>(w->parentWidget()->layout())->getWidgetPosition(w, &linha, &papel);
        return linha;
    }
    TnEditor *Editor(const QString &nome) { return FForm->Painel()->Editor(nome); }
    QPointer<TnFrmCadastro> FForm;
    TTesteDMEmpresaExtra *FDm = nullptr;
    TnInteracaoTeste FUsuario;
};
} // namespace

TEST_F(ControlesQtBanco, CaracteresAceitosEMascara)
{
    auto *nome = qobject_cast<QLineEdit *>(Editor("NOMEEMPRESA")->Entrada());
    teste::Digitar(nome, "12-3a,5");
    EXPECT_EQ(nome->text(), "123,5"); // "-" and "a" cannot be typed

    FDm->FieldByName("NOMEEMPRESA").Def().CaracteresAceitos.clear();
    FDm->FieldByName("NOMEEMPRESA").Def().MascaraEdicao = PrepararMascara("9999.99.99", 1);
    FForm->AtualizarControle("NOMEEMPRESA");
    EXPECT_TRUE(nome->inputMask().startsWith("0000.00.00"));
    teste::Digitar(nome, "-");
    EXPECT_EQ(nome->text(), "..");
    teste::Digitar(nome, "12345678");
    EXPECT_EQ(nome->text(), "1234.56.78");
}

TEST_F(ControlesQtBanco, ControleExtraAposOCampoDigitadoESaida)
{
    TnEditor *codigo = Editor("CODIGOEMPRESA");
    TnEditor *total = Editor("edTotal");
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(Linha(total->Widget()), Linha(codigo->Widget()) + 1);
    EXPECT_EQ(total->Widget()->parentWidget(), codigo->Widget()->parentWidget());
    EXPECT_EQ(total->Widget()->width(), codigo->Widget()->width());
    EXPECT_EQ(total->Rotulo()->text(), "Total:");

    teste::Digitar(total->Entrada(), "1234,5");
    EXPECT_EQ(FDm->Total->Texto(), ""); // not taken while the user is still there
    Sair(total);
    EXPECT_EQ(FDm->Total->Texto(), "1234,5");
    EXPECT_EQ(FDm->SaidasTotal, QStringList({"1234,5"}));
    EXPECT_EQ(total->Texto(), "1.234,50"); // shown with its display mask once left
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();

    // The module's changes reach the control; a read-only control takes nothing.
    FDm->Total->SetNegrito(true);
    FDm->Total->SetRequerido(true);
    FDm->Total->SetSomenteLeitura(true);
    EXPECT_TRUE(total->Entrada()->font().bold());
    EXPECT_TRUE(total->Rotulo()->font().bold());
    EXPECT_EQ(total->Rotulo()->text(), "Total *:");
    EXPECT_TRUE(qobject_cast<QLineEdit *>(total->Entrada())->isReadOnly());
    Sair(total);
    EXPECT_EQ(FDm->SaidasTotal.size(), 1);

    FForm->FocarControle("EDTOTAL");
    EXPECT_EQ(FForm->focusWidget(), total->Entrada());
    teste::Capturar(FForm, "cadastro_extras");

    // The form goes: so do the extra controls, and the module forgets its panel.
    QPointer<TnControleExtra> extra = FDm->Total;
    FForm->close();
    EXPECT_TRUE(extra.isNull());
}

TEST_F(ControlesQtBanco, PainelDeParametrosSobOCampo)
{
    const QString painel = FDm->Params.NomePainel();
    auto *caixa = FForm->findChild<QGroupBox *>(painel);
    ASSERT_NE(caixa, nullptr);
    EXPECT_EQ(Linha(caixa), Linha(Editor("NOMEEMPRESA")->Widget()) + 1);
    TnEditor *qtde = Editor("pQtde");
    ASSERT_NE(qtde, nullptr);
    EXPECT_EQ(qtde->Rotulo()->text(), "Quantidade:");

    teste::Digitar(qtde->Entrada(), "-7");
    Sair(qtde);
    EXPECT_EQ(FDm->Params.Param("pQtde").AsInteger(), 7);
    EXPECT_EQ(FDm->SaidasParametro, QStringList({"7"}));

    // A refused value: its message, and the focus back on the parameter's control.
    Editor("NOMEEMPRESA")->Focar();
    teste::Digitar(qtde->Entrada(), "0");
    Sair(qtde);
    EXPECT_EQ(FUsuario.Avisos, QStringList({"Informe a quantidade."}));
    EXPECT_EQ(FForm->focusWidget(), qtde->Entrada());

    // The module's state and values reach the panel; what is typed goes back on request.
    TnpqParamItem &p = FDm->Params.Param("pQtde");
    p.SetValue(3);
    p.SetCaption("Qtde");
    p.SetRequerido(true);
    FDm->Params.DisplayParamsLoad();
    EXPECT_EQ(qtde->Texto(), "3");
    EXPECT_EQ(qtde->Rotulo()->text(), "Qtde *:");
    teste::Digitar(qtde->Entrada(), "15");
    FDm->Params.DisplayParamsSave(false);
    EXPECT_EQ(p.AsInteger(), 15);
    teste::Capturar(FForm, "cadastro_parametros");

    FForm->close();
    EXPECT_FALSE(FDm->Params.TemPainel());
}

TEST_F(ControlesQtBanco, PesquisaDoModuloEConfiguracao)
{
    TnPainelCadastro *p = FForm->Painel();
    EXPECT_EQ(Editor("CODIGOEMPRESA")->Tipo(), tePesquisa); // a lookup with no consultation
    p->Botao(brIncluir)->trigger();
    emit Editor("CODIGOEMPRESA")->Pesquisar();
    EXPECT_EQ(FDm->Pesquisados, QStringList({"CODIGOEMPRESA"}));
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString(); // no consultation opened
    p->Botao(brCancelar)->trigger();

    QAction *cfg = FForm->AcaoForm(nafCfgCadastro);
    ASSERT_NE(cfg, nullptr);
    EXPECT_EQ(cfg->text(), "Configurar");
    EXPECT_FALSE(cfg->isVisible()); // no handler yet
    int configurado = 0;
    FDm->OnCfgCadastro = [&] { ++configurado; };
    FForm->AtualizarControle(QString());
    EXPECT_TRUE(cfg->isVisible());
    cfg->trigger();
    EXPECT_EQ(configurado, 1);
    FForm->ConfigurarActionForm(nafCfgCadastro, false);
    EXPECT_FALSE(cfg->isEnabled());
    FDm->OnCfgCadastro = [] { throw Exception("Sem permissão."); };
    FForm->ConfigurarActionForm(nafCfgCadastro, true);
    cfg->trigger();
    EXPECT_EQ(FUsuario.Avisos, QStringList({"Sem permissão."}));
}
