// Choosing the selection keys, the company and the user from the database's registers.
#include "BancoTeste.h"
#include "ConversaoBanco.h"
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "QtSelecao.h"
#include "QtTeste.h"
#include "SelecaoChaves.h"
#include "Variaveis.h"

#include <QComboBox>
#include <QLineEdit>

namespace {
class SelecaoBanco : public BancoConvertido {
protected:
    void SetUp() override
    {
        BancoConvertido::SetUp();
        if (IsSkipped())
            return;
        Selecao().Reset(); // whatever a case before left chosen
        con().Executar("delete from ESTAB; delete from EMPRESA; delete from USUARIO");
        con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (1, 'Alfa'), (2, 'Beta')");
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values "
                       "(1, 1, 'Alfa Matriz'), (2, 1, 'Beta Matriz'), (2, 3, 'Beta Filial')");
        con().Executar("insert into USUARIO (CODIGOUSUARIO, NOMEUSUARIO) values (1, 'ADMIN')");
    }
    void TearDown() override
    {
        Selecao().Reset();
        Variaveis().Reiniciar();
        BancoTeste::TearDown();
    }
};

QStringList Textos(const QList<TnOpcaoSelecao> &l)
{
    QStringList r;
    for (const TnOpcaoSelecao &o : l)
        r.append(o.Texto);
    return r;
}
} // namespace

TEST_F(SelecaoBanco, OpcoesDasChavesVemDosCadastros)
{
    EXPECT_EQ(Textos(OpcoesChaveSelecao("codigoempresa")), QStringList({"1 - Alfa", "2 - Beta"}));
    EXPECT_EQ(Textos(OpcoesChaveSelecao("CodigoEstab", 2)), QStringList({"1 - Beta Matriz", "3 - Beta Filial"}));
    EXPECT_TRUE(OpcoesChaveSelecao("CodigoEstab").isEmpty()); // no company chosen yet
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    EXPECT_EQ(Textos(OpcoesChaveSelecao("CodigoEstab")), QStringList({"1 - Alfa Matriz"}));
    // A company code that is not a number is never pasted into the statement.
    EXPECT_TRUE(OpcoesChaveSelecao("CodigoEstab", "1 or 1=1").isEmpty());
    EXPECT_EQ(TipoChaveSelecao("DataInvent"), tcsMesAno);
    EXPECT_EQ(TipoChaveSelecao("DataFinal"), tcsData);
    EXPECT_EQ(TipoChaveSelecao("CodigoProduto"), tcsTexto);
    EXPECT_EQ(ChavesPendentes({"CodigoEmpresa", "CodigoEstab", "DataInvent"}), QStringList({"CodigoEstab", "DataInvent"}));
}

TEST_F(SelecaoBanco, TrocarEmpresaEsvaziaOEstabelecimento)
{
    AplicarSelecao({{"CodigoEmpresa", 2}, {"CodigoEstab", 3}, {"DataInvent", QDate(2024, 3, 31)}});
    EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "2");
    EXPECT_EQ(ExternalVar("gCodigoEstabAtiva"), "3");
    EXPECT_EQ(ExternalVar("gDataInvent"), "31/03/2024");
    AplicarSelecao({{"CodigoEmpresa", 1}});
    EXPECT_TRUE(Selecao().GetParams("CodigoEstab").IsNull());
    EXPECT_EQ(ExternalVar("gCodigoEstabAtiva"), "");
    EXPECT_EQ(ExternalVar("gDataInvent"), "31/03/2024");
}

TEST_F(SelecaoBanco, DialogoDeSelecaoSegueAEmpresaEscolhida)
{
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    teste::QuandoModal([](QWidget *w) {
        auto *dlg = qobject_cast<TnDlgSelecao *>(w);
        ASSERT_NE(dlg, nullptr);
        auto *estab = qobject_cast<QComboBox *>(dlg->Editor("CodigoEstab"));
        EXPECT_EQ(estab->count(), 1);
        dlg->SetValor("CodigoEmpresa", 2);
        EXPECT_EQ(estab->count(), 2);
        dlg->SetValor("CodigoEstab", 3);
        // The inventory period is a month, typed; none is offered before one was chosen.
        auto *periodo = qobject_cast<QLineEdit *>(dlg->Editor("DataInvent"));
        ASSERT_NE(periodo, nullptr);
        EXPECT_TRUE(periodo->text().isEmpty());
        teste::Digitar(periodo, "13/2024");
        TnInteracaoTeste usuario;
        dlg->accept(); // refused with a message; what was typed stays as it was
        EXPECT_EQ(usuario.Avisos, QStringList({"\"13/2024\" não é um mês válido: informe o mês e o ano (mm/aaaa)."}));
        EXPECT_EQ(periodo->text(), "13/2024");
        EXPECT_TRUE(dlg->isVisible());
        teste::Digitar(periodo, "6/2024");
        EXPECT_EQ(dlg->Valor("DataInvent"), QVariant(QDate(2024, 6, 1)));
        EXPECT_TRUE(teste::Clicar(w, "Ok"));
    });
    EXPECT_TRUE(GarantirSelecao({"CodigoEmpresa", "CodigoEstab", "DataInvent"}));
    EXPECT_EQ(Selecao().GetParams("CodigoEstab").AsInteger(), 3);
    EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "2");
    EXPECT_EQ(ExternalVar("pDataInvent"), "01/06/2024");
    // Everything chosen: no dialog.
    EXPECT_TRUE(GarantirSelecao({"CodigoEmpresa", "CodigoEstab", "DataInvent"}));

    Selecao().Reset();
    teste::QuandoModal([](QWidget *w) { EXPECT_TRUE(teste::Clicar(w, "Cancelar")); });
    EXPECT_FALSE(GarantirSelecao({"CodigoEmpresa"}));
    EXPECT_TRUE(Selecao().GetParams("CodigoEmpresa").IsNull());
}

TEST_F(SelecaoBanco, EmpresaUnicaEUsuarioUnicoSemPerguntar)
{
    TnFrmLogin login;
    EXPECT_TRUE(login.Executar());
    EXPECT_EQ(ExternalVar("gCodigoUsuario"), "1");
    EXPECT_EQ(ExternalVar("gNomeUsuario"), "ADMIN");
    EXPECT_EQ(CodigoUsuarioConectado(), 1); // what entries are stamped with

    con().Executar("delete from ESTAB where CODIGOEMPRESA = 2; delete from EMPRESA where CODIGOEMPRESA = 2");
    EXPECT_TRUE(SelecionarEmpresa(nullptr));
    EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "1");

    con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (5, 'Gama')");
    con().Executar("insert into USUARIO (CODIGOUSUARIO, NOMEUSUARIO) values (2, 'MARIA')");
    teste::QuandoModal([](QWidget *w) {
        qobject_cast<TnDlgSelecao *>(w)->SetValor("CodigoEmpresa", 5);
        teste::Clicar(w, "Ok");
    });
    EXPECT_TRUE(SelecionarEmpresa(nullptr, true));
    EXPECT_EQ(ExternalVar("gCodigoEmpresa"), "5");

    teste::QuandoModal([](QWidget *w) {
        auto *l = qobject_cast<TnFrmLogin *>(w);
        l->Usuarios()->setCurrentIndex(1);
        teste::Clicar(w, "Ok");
    });
    EXPECT_TRUE(login.Executar());
    EXPECT_EQ(ExternalVar("gNomeUsuario"), "MARIA");
    EXPECT_EQ(CodigoUsuarioConectado(), 2);
    EXPECT_EQ(NomeUsuarioConectado(), "MARIA");
    DefinirUsuarioConectado(0, QString());
}
