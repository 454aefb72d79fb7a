// The company inventory settings register and consultation, loaded from OrvoPrefs as the
// program loads them: rows, refusals, menu actions, the form's hooks, the period re-check
// when the periodicity changes and what saving refreshes.
#include "Acoes.h"
#include "BancoTeste.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "DMClientDataSet.h"
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "SQLDataSet.h"
#include "SuiteInv.h"
#include "Variaveis.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMap>
#include <QPointer>

namespace {

const QString kBiblioteca = QStringLiteral("OrvoPrefs");
const QString kCad = QStringLiteral("TOrvoDMCfgEmpresaInv");
const QString kCon = QStringLiteral("TOrvoDCCfgEmpresaInv");
const QString kLembrete = QStringLiteral("Lembre-se de selecionar um novo período através das teclas “F7” ou “F8”.");

// Stands in for the entries register, opened under its instance name.
const TnDefCadastro kLctoFalso{.SQL = "Select t_t.CODIGOEMPRESA from LCTOINV t_t",
                               .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint}}};
class TTesteLctoFalso : public TnDMClientDataSet {
public:
    TTesteLctoFalso() : TnDMClientDataSet(kLctoFalso) {}
};

// A module that follows a selection key and records what the selection told it.
QStringList gReconfigurados;
template <int N> class TTesteSegue : public TnDataModule {
public:
    static QString PegarVerificaSelecao() { return N == 0 ? QStringLiteral("CodigoEmpresa") : QStringLiteral("CodigoEstab"); }
    void ReconfigurarDM(const QString &p, bool recarregar) override
    {
        gReconfigurados << QStringLiteral("%1:%2:%3").arg(N).arg(p).arg(int(recarregar));
    }
};

class TPrincipalFalso : public TnFormPrincipal {
public:
    QMap<int, QString> Paineis;
    void SetTextoPainel(int i, const QString &t) override { Paineis[i] = t; }
    QString TextoPainel(int i) const override { return Paineis.value(i); }
};

const char *const kLinhaEmpresa2 =
    "insert into CFGEMPRESAINV (CODIGOEMPRESA, QTDECASADECIMAL, QTDECASADECIMALQTD, LANCAICMSRECUP, "
    "DETALHARPISCOFINSITEM, PERIODOINVENTARIO) values (2, 3, 0, '1', '0', 2)";
const char *const kFalsos[] = {"TTesteLctoFalso", "TTesteSegueEmpresa", "TTesteSegueEstab"};

class CfgEmpresaInvBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped())
            return;
        ConverterBanco(con()); // company 1 with its settings (2, 4, "0", "0", 0)
        con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Sem configuração')");
        TnBibliotecas::Carregar(kBiblioteca);
        ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteLctoFalso>(kFalsos[0])));
        ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteSegue<0>>(kFalsos[1])));
        ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteSegue<1>>(kFalsos[2])));
        principal.Paineis[3] = QStringLiteral("Inventário: 01/2024");
        DefinirFormPrincipal(&principal);
        Selecionar(1, QDate(2024, 1, 31));
        gReconfigurados.clear();
    }
    void TearDown() override
    {
        DestruirTodosDM();
        TnBibliotecas::Descarregar(kBiblioteca);
        for (const char *c : kFalsos)
            nUnRegisterClass(QString::fromLatin1(c));
        DefinirFormPrincipal(nullptr);
        DefinirModuloAtual(3);
        SetEhHttpExe(false);
        Selecao().Reset();
        Variaveis().Reiniciar();
        BancoTeste::TearDown();
    }
    static void Selecionar(int empresa, const QDate &data)
    {
        Selecao().GetParams("CodigoEmpresa").SetValue(empresa);
        Selecao().GetParams("DataInvent").SetValue(data);
        Selecao().Refresh();
    }
    void UsarUlmar() { con().Executar("insert into NCONFIGURACAO (CHAVE, VALOR) values ('CONFIGURACOES', '1')"); }
    QVariant Valor(const char *campo, int empresa)
    {
        return nDMSQLDataSet::PegarValorCampo("CFGEMPRESAINV", campo, QStringLiteral("CODIGOEMPRESA = %1").arg(empresa));
    }
    // The register of the selected company, opened; with the form when one is given, which
    // closes as the desktop's does (close-query, then FormFechado).
    TnDMClientDataSet *Cadastro(TnFormFalso *form = nullptr)
    {
        auto *dm = qobject_cast<TnDMClientDataSet *>(CriarDM(kCad));
        EXPECT_NE(dm, nullptr);
        dm->Abrir();
        if (form)
            dm->ConfigurarForm(form);
        return dm;
    }
    static bool Fechar(TnDMClientDataSet *dm, TnFormFalso &form)
    {
        bool pode = true;
        dm->FormCloseQuery(&form, pode);
        if (pode)
            dm->FormFechado();
        return pode;
    }
    // Changes the periodicity of the company's row in its form and closes the form.
    void MudarPeriodicidade(int periodo)
    {
        TnFormFalso form;
        TnDMClientDataSet *dm = Cadastro(&form);
        dm->nClientDataSet().Edit();
        dm->FieldByName("PERIODOINVENTARIO").SetAsInteger(periodo);
        dm->nClientDataSet().Post();
        EXPECT_TRUE(Fechar(dm, form));
    }
    // The entries register, open in its form under its instance name.
    QPointer<TnDMClientDataSet> AbrirLcto()
    {
        auto *dm = qobject_cast<TnDMClientDataSet *>(CriarDM("TTesteLctoFalso", nullptr, "OrvoDMLctoInv"));
        lctoForm.AoFechar = [dm] { dm->FormFechado(); };
        dm->ConfigurarForm(&lctoForm);
        return dm;
    }
    void PeriodoIntacto(const QString &variavel, const QString &selecao)
    {
        EXPECT_EQ(Selecao().GetParams("DataInvent").AsString(), selecao);
        EXPECT_EQ(ExternalVar(VarFw::gDataInvent), variavel);
        EXPECT_EQ(principal.Paineis[3], QStringLiteral("Inventário: 01/2024"));
        EXPECT_TRUE(lctoForm.Com("Fechar").isEmpty());
        EXPECT_TRUE(usuario.Perguntas.isEmpty());
    }

    TnInteracaoTeste usuario;
    TPrincipalFalso principal;
    TnFormFalso lctoForm;
};

} // namespace

TEST_F(CfgEmpresaInvBanco, ClassesDaBibliotecaEnquantoCarregada)
{
    QStringList classes = Registro().ClassesDaBiblioteca(kBiblioteca);
    classes.sort();
    EXPECT_EQ(classes, QStringList({kCon, kCad}));
    EXPECT_EQ(Registro().Classe(kCad)->PegarVerificaSelecao(), QStringLiteral("CodigoEmpresa"));
    EXPECT_EQ(Registro().Classe(kCad)->PegarTipoObjeto(), 1);
    EXPECT_TRUE(Registro().Classe(kCon)->PegarVerificaSelecao().isEmpty());
    EXPECT_EQ(Registro().Classe(kCon)->PegarTipoObjeto(), 2);

    // The consultation: every company's row, read-only, paired with the register.
    con().Executar(kLinhaEmpresa2);
    QPointer<TnDMClientDataSet> c = qobject_cast<TnDMClientDataSet *>(CriarDM(kCon));
    c->Abrir();
    EXPECT_EQ(c->nClientDataSet().RecordCount(), 2);
    EXPECT_EQ(c->ChavePrimaria(), QStringLiteral("CODIGOEMPRESA"));
    EXPECT_EQ(c->CadCons(), QStringLiteral("OrvoDMCfgEmpresaInv"));
    EXPECT_THROW(c->nClientDataSet().Append(), Exception);

    TnBibliotecas::Descarregar(kBiblioteca);
    EXPECT_EQ(Registro().Classe(kCad), nullptr);
    EXPECT_EQ(Registro().Classe(kCon), nullptr);
    EXPECT_TRUE(c.isNull());
}

TEST_F(CfgEmpresaInvBanco, AcoesDosMenusDosModulos3E0)
{
    QStringList executadas;
    const TnEventoAcao evento = [&](TnAction *a) { executadas << a->Name(); };
    auto acao = [](TnActionList &l, const QString &classe) {
        TnAction *a = l.Acao("act" + classe);
        return a ? QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                       .arg(a->Category(), a->Caption())
                       .arg(a->MenuIndex())
                       .arg(a->ShortCut())
                       .arg(a->ImageIndex())
                       .arg(a->VerificaSelecao())
                       .arg(int(a->ChecarSelecao()))
                       .arg(int(a->ControlaDireito()))
                 : QString();
    };
    TnActionList l3, l0, ambos, outro;
    l3.GerarPrincAction(evento, Modulos({3}));
    l0.GerarPrincAction(evento, Modulos({0}));
    ambos.GerarPrincAction(evento, Modulos({0, 3}));
    outro.GerarPrincAction(evento, Modulos({1}));
    EXPECT_EQ(acao(l3, kCad), "10 Configurações|Configuração da Empresa|20|Shift+Ctrl+F12|101|CodigoEmpresa|1|0");
    EXPECT_EQ(acao(l3, kCon), "10 Configurações|Configuração da Empresa|1|Shift+Ctrl+F12|101||0|0");
    EXPECT_EQ(acao(l0, kCad), "10 Configurações|Inventário|40||101|CodigoEmpresa|0|0");
    EXPECT_EQ(acao(l0, kCon), "10 Configurações\\00 Consultas|Inventário|40||-1||0|0");
    EXPECT_EQ(l3.Count(), 2);
    EXPECT_EQ(ambos.Count(), 2); // one action per class and list
    EXPECT_EQ(acao(ambos, kCad), acao(l3, kCad));
    EXPECT_EQ(outro.Count(), 0);
    l3.Acao("act" + kCad)->Execute();
    EXPECT_EQ(executadas, QStringList({"act" + kCad}));
}

TEST_F(CfgEmpresaInvBanco, LinhaNovaInsercaoEExclusaoRecusadas)
{
    Selecionar(2, QDate(2024, 1, 31));
    TnDMClientDataSet *dm = Cadastro();
    TnClientDataSet &ds = dm->nClientDataSet();
    EXPECT_TRUE(ds.IsEmpty()); // no automatic insert
    ds.Append();
    EXPECT_EQ(QStringList({ds.FieldByName("CODIGOEMPRESA").AsString(), ds.FieldByName("QTDECASADECIMAL").AsString(),
                           ds.FieldByName("QTDECASADECIMALQTD").AsString(), ds.FieldByName("LANCAICMSRECUP").Text(),
                           ds.FieldByName("DETALHARPISCOFINSITEM").Text(), ds.FieldByName("PERIODOINVENTARIO").AsString()}),
              QStringList({"2", "2", "4", "Não", "Não", "0"}));
    ds.FieldByName("LANCAICMSRECUP").SetText("Sim");
    ds.FieldByName("PERIODOINVENTARIO").SetText("Trimestral");
    ds.Post();
    EXPECT_EQ(Valor("LANCAICMSRECUP", 2).toString(), "1");
    EXPECT_EQ(Valor("PERIODOINVENTARIO", 2).toInt(), 2);
    EXPECT_EQ(ds.FieldByName("LANCAICMSRECUP").Def().Hint,
              "Lançar ICMS a recuperar por item, informe \"Sim\" caso contrário informe \"Não\"");

    // A second row, and any delete, are cancelled silently.
    EXPECT_THROW(ds.Append(), EAbort);
    EXPECT_THROW(ds.Delete(), EAbort);
    EXPECT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("CFGEMPRESAINV", "CODIGOEMPRESA = 2"), 1);
    EXPECT_TRUE(usuario.Perguntas.isEmpty());
    EXPECT_TRUE(usuario.Avisos.isEmpty());
}

TEST_F(CfgEmpresaInvBanco, ValoresForaDasRegrasRecusadosComSuasMensagens)
{
    TnDMClientDataSet *dm = Cadastro();
    TnClientDataSet &ds = dm->nClientDataSet();
    const QString casas = QStringLiteral("Número de Casas Decimais inválido!");
    const struct {
        const char *campo;
        QVariant valor;
        QString mensagem;
    } casos[] = {{"QTDECASADECIMAL", 1, casas},
                 {"QTDECASADECIMAL", 7, casas},
                 {"QTDECASADECIMALQTD", -1, casas},
                 {"QTDECASADECIMALQTD", 7, casas},
                 {"LANCAICMSRECUP", "2", "ICMS a recuperar valor lógico inválido!"},
                 {"DETALHARPISCOFINSITEM", "S", "PIS/COFINS valor lógico inválido!"},
                 {"PERIODOINVENTARIO", 4, "Valor inválido para o campo \"Período Inventário\"."}};
    for (const auto &c : casos) {
        ds.Edit();
        ds.FieldByName(c.campo).SetValue(c.valor);
        try {
            ds.Post();
            ADD_FAILURE() << c.campo << " aceito com " << c.valor.toString().toStdString();
        } catch (const EnField &e) {
            EXPECT_EQ(e.Campo(), c.campo);
            EXPECT_EQ(e.Message(), c.mensagem);
        }
        ds.Cancel();
    }
    ds.Edit();
    ds.FieldByName("QTDECASADECIMALQTD").SetAsInteger(0);
    ds.FieldByName("QTDECASADECIMAL").SetAsInteger(6);
    ds.Post();
    EXPECT_EQ(Valor("QTDECASADECIMALQTD", 1).toInt(), 0);
    EXPECT_EQ(Valor("QTDECASADECIMAL", 1).toInt(), 6);
}

TEST_F(CfgEmpresaInvBanco, EmpresaVisivelNoModuloEControlesDoFormulario)
{
    TnFormFalso form;
    TnDMClientDataSet *dm = Cadastro(&form);
    EXPECT_TRUE(dm->FieldByName("CODIGOEMPRESA").Visible());
    EXPECT_FALSE(dm->FieldByName("CODIGOEMPRESA").Def().Habilitado);
    EXPECT_EQ(form.Com("Acao:"), QStringList({"Acao:1:0", "Acao:0:0"}));

    // Without its row the company may still get one: "new" stays on.
    DefinirModuloAtual(0);
    Selecionar(2, QDate(2024, 1, 31));
    TnFormFalso vazio;
    dm = Cadastro(&vazio);
    EXPECT_FALSE(dm->FieldByName("CODIGOEMPRESA").Visible());
    EXPECT_EQ(vazio.Com("Acao:"), QStringList({"Acao:1:0"}));
}

TEST_F(CfgEmpresaInvBanco, PeriodicidadeQueInvalidaOPeriodoLimpaASelecaoEFechaOsLancamentos)
{
    Selecao().ReconfigurarDM("DataInvent", false);
    ASSERT_EQ(ExternalVar(VarFw::gDataInvent), "31/01/2024");
    QPointer<TnDMClientDataSet> lcto = AbrirLcto();
    usuario.Responder(mbOK, kLembrete);
    MudarPeriodicidade(2); // quarterly: January no longer fits

    QString motivo;
    EXPECT_FALSE(ValidarPeriodoSelecionado(1, QDate(2024, 1, 31), motivo));
    EXPECT_EQ(usuario.Perguntas, QStringList({motivo + "\r\n" + kLembrete}));
    EXPECT_TRUE(Selecao().GetParams("DataInvent").IsNull());
    for (const char *v : {VarFw::gDataInvent, VarFw::pDataInvent, VarFw::pDataInvent_Pad, VarFw::gDataInventAtiva})
        EXPECT_EQ(ExternalVar(v), " ") << v;
    EXPECT_EQ(principal.Paineis[3], "");
    EXPECT_EQ(lctoForm.Com("Fechar"), QStringList({"Fechar"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(lcto.isNull());
    EXPECT_EQ(Valor("PERIODOINVENTARIO", 1).toInt(), 2);
}

TEST_F(CfgEmpresaInvBanco, ReChecagemQueNaoTemOQueLimpar)
{
    AbrirLcto();
    // A date that still fits the new periodicity.
    Selecionar(1, QDate(2024, 3, 31));
    MudarPeriodicidade(2);
    PeriodoIntacto("31/03/2024", "31/03/2024");

    // No inventory date in the variable: empty, one blank or not a date.
    for (const char *texto : {"", " ", "13/2024"}) {
        ExternalVar(VarFw::gDataInvent, texto);
        MudarPeriodicidade(3);
        MudarPeriodicidade(1);
        PeriodoIntacto(texto, "31/03/2024");
    }

    // A new row, changed while the form inserts it.
    Selecionar(2, QDate(2024, 1, 31));
    TnFormFalso form;
    TnDMClientDataSet *dm = Cadastro(&form);
    form.EstaInserindo = true;
    dm->nClientDataSet().Append();
    dm->FieldByName("PERIODOINVENTARIO").SetAsInteger(3);
    dm->nClientDataSet().Post();
    EXPECT_TRUE(Fechar(dm, form));
    PeriodoIntacto("31/01/2024", "31/01/2024");
}

TEST_F(CfgEmpresaInvBanco, GravarRecarregaAConfiguracaoEOsModulosDaEmpresa)
{
    CriarDM(kFalsos[1]);
    CriarDM(kFalsos[2]);
    TnDMClientDataSet *dm = Cadastro();
    auto gravar = [&](int casas) {
        gReconfigurados.clear();
        dm->nClientDataSet().Edit();
        dm->FieldByName("QTDECASADECIMAL").SetAsInteger(casas);
        dm->nClientDataSet().Post();
        return ExternalVar(VarFw::gQTDECASADECIMAL);
    };
    EXPECT_EQ(gravar(5), "5");
    EXPECT_EQ(gReconfigurados, QStringList({"0:CodigoEmpresa:0"}));

    dm->SetModoImportacao(true);
    EXPECT_EQ(gravar(4), "4");
    EXPECT_TRUE(gReconfigurados.isEmpty());

    dm->SetModoImportacao(false);
    SetEhHttpExe(true);
    EXPECT_EQ(gravar(3), "4");
    EXPECT_TRUE(gReconfigurados.isEmpty());
    EXPECT_EQ(Valor("QTDECASADECIMAL", 1).toInt(), 3);
}

TEST_F(CfgEmpresaInvBanco, ComOCadastroGeralChaveRepetidaRelidaEPosicaoNaEmpresa)
{
    UsarUlmar();
    TnFormFalso form;
    TnDMClientDataSet *dm = Cadastro(&form);
    TnClientDataSet &ds = dm->nClientDataSet();
    EXPECT_TRUE(dm->FieldByName("CODIGOEMPRESA").Def().Habilitado);
    // A second row of the company is let through, refused by the database and ignored:
    // the form then shows the stored row, and nothing else is refreshed.
    ds.Append();
    ds.FieldByName("QTDECASADECIMAL").SetAsInteger(6);
    ds.Post();
    EXPECT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(ds.FieldByName("QTDECASADECIMAL").AsInteger(), 2);
    EXPECT_EQ(Valor("QTDECASADECIMAL", 1).toInt(), 2);
    EXPECT_TRUE(ExternalVar(VarFw::gQTDECASADECIMAL).isEmpty());
    // Without a form the refusal is the caller's to see.
    TnDMClientDataSet *semForm = Cadastro();
    semForm->nClientDataSet().Append();
    try {
        semForm->nClientDataSet().Post();
        ADD_FAILURE() << "chave repetida aceita";
    } catch (const Exception &e) {
        EXPECT_EQ(ErroBanco(e), ebChavePrimaria);
    }

    // Every company's rows, positioned on the general registry's company.
    con().Executar(kLinhaEmpresa2);
    Selecao().Reset();
    ExternalVar(VarFw::gCodigoEmpresa, "2");
    EXPECT_EQ(Cadastro()->FieldByName("CODIGOEMPRESA").AsInteger(), 2);
    con().Executar("delete from NCONFIGURACAO");
    EXPECT_EQ(Cadastro()->FieldByName("CODIGOEMPRESA").AsInteger(), 1);
}
