// What a register module adds to its form without widgets: controls bound to no field, a
// panel of parameters, the register's configuration handler, classification masks and the
// user's preference section, played through the fake form.
#include "DMClientDataSet.h"
#include "FormFalso.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "Valores.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const TnDefCadastro kDemo{.SQL = "select CODIGO, NOME, VALOR from DEMO",
                          .Tabela = "DEMO",
                          .Campos = {{.Nome = "CODIGO", .Tipo = ftInteger, .Requerido = true},
                                     {.Nome = "NOME", .Tipo = ftString, .Tamanho = 40},
                                     {.Nome = "VALOR", .Tipo = ftFloat}},
                          .Chave = "CODIGO",
                          .Caption = "Demonstração"};

// Keeps a parameter panel and forgets it when its form goes, as a module must.
class TTesteDMDemo : public TnDMClientDataSet {
public:
    TTesteDMDemo() : TnDMClientDataSet(kDemo)
    {
        Params.Adicionar({.Alias = "pQtde", .Caption = "Quantidade", .Tipo = ntpInteiro});
        Params.Adicionar({.Alias = "pTipo", .Caption = "Tipo", .Tipo = ntpCombo, .ListaValores = {"Entrada=E", "Saída=S"}});
    }
    void Notification(TnFormModulo *form) override
    {
        Avisado = form;
        ExtrasAoAvisar = ControlesExtras().size();
        Params.EsquecerPainel();
    }
    TnpqPowerParam Params;
    TnFormModulo *Avisado = nullptr;
    qsizetype ExtrasAoAvisar = -1;
};
} // namespace

TEST(ControlesExtras, CriadosMostradosEAvisamOForm)
{
    TTesteDMDemo dm;
    // Without a form the control exists all the same.
    QPointer<TnControleExtra> total = dm.CriarControlsFraFields("VALOR", "edTotal", "Total", ftFloat);
    TnFormFalso form;
    dm.ConfigurarForm(&form);
    TnControleExtra *saldo = dm.CriarControlsFraFields("nome", "edSaldo", "Saldo", ftFloat, 80);
    EXPECT_EQ(form.Com("Extra:"), QStringList({"Extra:nome:edSaldo"}));
    EXPECT_EQ(saldo->Largura(), 80);
    EXPECT_EQ(saldo->Tipo(), ftFloat);
    EXPECT_EQ(dm.ControlesExtras(), QList<TnControleExtra *>({total.data(), saldo}));
    EXPECT_EQ(dm.ControleExtra("EDSALDO"), saldo);
    EXPECT_EQ(dm.ControleExtra("edNada"), nullptr);
    // One after another extra control is fine; a taken or blank name, or an unknown place,
    // is not.
    EXPECT_NO_THROW(dm.CriarControlsFraFields("edSaldo", "edObs", "Obs", ftString));
    EXPECT_THROW(dm.CriarControlsFraFields("VALOR", "Nome", "X", ftString), Exception);
    EXPECT_THROW(dm.CriarControlsFraFields("VALOR", "EDTOTAL", "X", ftString), Exception);
    EXPECT_THROW(dm.CriarControlsFraFields("VALOR", " ", "X", ftString), Exception);
    EXPECT_THROW(dm.CriarControlsFraFields("NADA", "edX", "X", ftString), Exception);
    EXPECT_EQ(dm.ControlesExtras().size(), 3);

    // A change shows the control again; setting the same state does not.
    form.Chamadas.clear();
    saldo->SetTexto("10");
    saldo->SetTexto("10");
    saldo->SetNegrito(true);
    saldo->SetSomenteLeitura(true);
    saldo->SetHabilitado(false);
    saldo->SetRequerido(true);
    saldo->SetCaracteresAceitos("0123456789,");
    saldo->SetDisplayFormat("#,##0.00");
    saldo->SetEditFormat("0.00");
    EXPECT_EQ(form.Chamadas, QStringList(8, "Atualizar:edSaldo"));
    EXPECT_TRUE(saldo->Negrito() && saldo->SomenteLeitura() && saldo->Requerido() && !saldo->Habilitado());
}

TEST(ControlesExtras, TextoExibidoComAsMascarasDeNumero)
{
    TTesteDMDemo dm;
    TnControleExtra *v = dm.CriarControlsFraFields("VALOR", "edValor", "Valor", ftFloat);
    v->SetTexto("1234,5");
    EXPECT_EQ(v->TextoExibido(false), "1234,5"); // no mask: as typed
    v->SetDisplayFormat("#,##0.00");
    EXPECT_EQ(v->TextoExibido(false), "1.234,50");
    EXPECT_EQ(v->TextoExibido(true), "1234,5"); // no edit mask: the plain text while editing
    v->SetEditFormat("0.00");
    EXPECT_EQ(v->TextoExibido(true), "1234,50");
    v->SetTexto("abc"); // not a number: shown as it is
    EXPECT_EQ(v->TextoExibido(false), "abc");
    v->SetTexto("");
    EXPECT_EQ(v->TextoExibido(false), "");

    TnControleExtra *t = dm.CriarControlsFraFields("NOME", "edCodigo", "Código", ftString);
    t->SetDisplayFormat("#,##0.00");
    t->SetTexto("1234");
    EXPECT_EQ(t->TextoExibido(false), "1234"); // a text is never formatted
}

TEST(ControlesExtras, SairRodaOnExitEncadeado)
{
    TTesteDMDemo dm;
    TnControleExtra *x = dm.CriarControlsFraFields("CODIGO", "edX", "X", ftString);
    EXPECT_NO_THROW(dm.SairDoControleExtra("edX")); // no handler
    QStringList ordem;
    x->OnExit = [&] { ordem << "primeiro"; };
    // A module keeps the handler it finds and calls it from its own.
    const std::function<void()> anterior = x->OnExit;
    x->OnExit = [&, anterior] {
        ordem << "segundo";
        anterior();
        x->OnExit = [&] { ordem << "trocado"; }; // replacing itself while it runs
    };
    dm.SairDoControleExtra("EDX");
    dm.SairDoControleExtra("edX");
    EXPECT_EQ(ordem, QStringList({"segundo", "primeiro", "trocado"}));
    EXPECT_THROW(dm.SairDoControleExtra("edY"), Exception);
    x->OnExit = [] { throw EnField("CODIGO", "Código inválido"); };
    EXPECT_THROW(dm.SairDoControleExtra("edX"), EnField);
}

TEST(ControlesExtras, VaoComOFormDepoisDoAviso)
{
    QPointer<TTesteDMDemo> dm = new TTesteDMDemo;
    TnFormFalso form;
    dm->ConfigurarForm(&form);
    QPointer<TnControleExtra> x = dm->CriarControlsFraFields("CODIGO", "edX", "X", ftString);
    dm->Params.DisplayParamsMake(&form, "NOME");
    ASSERT_TRUE(dm->Params.TemPainel());

    dm->FormFechado();
    EXPECT_EQ(dm->Avisado, &form);
    EXPECT_EQ(dm->ExtrasAoAvisar, 1); // still there when the module is told
    EXPECT_TRUE(x.isNull());
    EXPECT_FALSE(dm->Params.TemPainel());
    EXPECT_EQ(dm->Form(), nullptr);
    EXPECT_TRUE(dm->ControlesExtras().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dm.isNull());
}

TEST(PainelParametros, IdaEVoltaPeloForm)
{
    TTesteDMDemo dm;
    TnpqPowerParam &p = dm.Params;
    p.Param("pQtde").SetValue(3);
    p.Param("pTipo").SetValue("S");
    p.DisplayParamsMake(nullptr, "VALOR"); // no form: nothing
    EXPECT_FALSE(p.TemPainel());

    TnFormFalso form;
    p.DisplayParamsMake(&form, "VALOR");
    EXPECT_TRUE(p.TemPainel());
    EXPECT_EQ(p.NomePainel(), "painel_VALOR");
    EXPECT_EQ(form.Chamadas, QStringList({"PainelParametros:VALOR", "CarregarParametros:painel_VALOR"}));
    EXPECT_EQ(form.ControlesParametros.value("pQtde"), "3");
    EXPECT_EQ(form.ControlesParametros.value("pTipo"), "Saída");

    // Only what the user changed goes in; the program's own change to another parameter
    // since the panel was shown is kept.
    form.DigitarParametro("pQtde", "12");
    p.Param("pTipo").SetValue("E");
    p.DisplayParamsSave(false);
    EXPECT_EQ(p.Param("pQtde").AsInteger(), 12);
    EXPECT_EQ(p.Param("pTipo").AsString(), "E");
    // Everything: the panel's texts, a list's text becoming its value.
    p.DisplayParamsSave(true);
    EXPECT_EQ(p.Param("pTipo").AsString(), "S");
    p.Param("pQtde").SetValue(7);
    p.DisplayParamsLoad();
    EXPECT_EQ(form.ControlesParametros.value("pQtde"), "7");

    p.EsquecerPainel();
    form.Chamadas.clear();
    p.DisplayParamsLoad();
    p.DisplayParamsSave(true);
    EXPECT_TRUE(form.Chamadas.isEmpty());
    EXPECT_EQ(p.Param("pQtde").AsInteger(), 7);
}

TEST(PainelParametros, DeclaracaoDosControles)
{
    TnpqPowerParam p;
    TnpqParamItem &i = p.Adicionar({.Alias = "pNcm", .Caption = "NCM", .TamanhoMaximo = 8,
                                    .CaracteresAceitos = "0123456789", .MascaraEdicao = "9999.99.99"});
    EXPECT_EQ(i.CaracteresAceitos(), "0123456789");
    EXPECT_EQ(i.MascaraEdicao(), "9999.99.99");
    i.SetTamanhoMaximo(10);
    i.SetMascaraEdicao(PrepararMascara("99.99", 1));
    i.SetCaracteresAceitos("");
    EXPECT_EQ(i.TamanhoMaximo(), 10);
    EXPECT_EQ(i.MascaraEdicao(), "00.00");
    EXPECT_TRUE(i.CaracteresAceitos().isEmpty());
}

TEST(Mascaras, ClassificacaoDaEmpresaParaMascaraDeEntrada)
{
    EXPECT_EQ(PrepararMascara("9999.99.99", 0), "9999.99.99");
    EXPECT_EQ(PrepararMascara("9999.99.99", 1), "0000.00.00");
    EXPECT_EQ(PrepararMascara(" 00.0#-99 ", 0), "99.99-99");
    // Characters that mean something in an input mask stay literal.
    EXPECT_EQ(PrepararMascara("99/AB;x", 1), "00/\\A\\B\\;\\x");
    EXPECT_EQ(PrepararMascara(QVariant(), 1), "");
    EXPECT_EQ(PrepararMascara(QVariant(QMetaType(QMetaType::QString)), 0), "");
    EXPECT_EQ(PrepararMascara("", 0), "");
}

TEST(PreferenciasModulo, SecaoDoUsuarioEArquivoNaPastaDasPreferencias)
{
    QTemporaryDir dir;
    TnPreferenciasUsuario::DefinirPasta(dir.filePath("prefs"));
    DefinirUsuarioConectado(5, "Ana Maria");
    EXPECT_EQ(PegarSectionUsuario("frmUlmarDMProduto"), "frmUlmarDMProduto_ANA MARIA");
    {
        std::unique_ptr<QSettings> ini = CriarINIModuloCfg();
        EXPECT_EQ(QFileInfo(ini->fileName()).absoluteFilePath(), QFileInfo(dir.filePath("prefs/usuario_5.ini")).absoluteFilePath());
        ini->setValue(PegarSectionUsuario("frmX") + "/Chave", "A;B;");
    }
    EXPECT_EQ(TnPreferenciasUsuario::Ler("frmX_ANA MARIA", "Chave"), "A;B;");
    DefinirUsuarioConectado(6, "a/b=c");
    EXPECT_EQ(PegarSectionUsuario("frmX"), "frmX_A_B_C");
    DefinirUsuarioConectado(7, "");
    EXPECT_EQ(PegarSectionUsuario("frmX"), "frmX_7");
    EXPECT_THROW(PegarSectionUsuario(" "), Exception);
    EXPECT_THROW(PegarSectionUsuario("frm/X"), Exception);
    DefinirUsuarioConectado(0, QString());
    TnPreferenciasUsuario::DefinirPasta(QString());
}

TEST(CfgCadastro, ExecutaOManipuladorEncadeado)
{
    TTesteDMDemo dm;
    EXPECT_NO_THROW(dm.ExecutarCfgCadastro()); // none set: nothing
    QStringList ordem;
    dm.OnCfgCadastro = [&] { ordem << "base"; };
    const std::function<void()> anterior = dm.OnCfgCadastro;
    dm.OnCfgCadastro = [&, anterior] {
        anterior();
        ordem << "modulo";
    };
    dm.ExecutarCfgCadastro();
    EXPECT_EQ(ordem, QStringList({"base", "modulo"}));
    EXPECT_FALSE(dm.PesquisarCampo("CODIGO")); // the base leaves the search to the form
}
