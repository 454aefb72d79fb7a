// Register helpers that read the database: who registered a row (status panel 1) and the
// product register's choice of the columns a new product copies, kept in the user's
// preference file.
#include "BancoOrvo.h"
#include "DMClientDataSet.h"
#include "FormFalso.h"
#include "InfoCadastro.h"
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "QtProjeto.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const TnDefCampo kCampos[] = {{.Nome = "CODIGOUSUARIO", .Tipo = ftSmallint},
                              {.Nome = "DATAHORA", .Tipo = ftDateTime},
                              {.Nome = "DATA", .Tipo = ftDate}};

class InfoCadastroBanco : public BancoConvertido {
protected:
    void SetUp() override
    {
        BancoConvertido::SetUp();
        if (IsSkipped())
            return;
        FDs.DefinirCampos(kCampos);
        FDs.CreateDataSet();
        FDs.Append();
    }
    QString Mostrado()
    {
        TnFormFalso form;
        FormatarNomeDataCadastro(FDs.FieldByName("CODIGOUSUARIO"), FDs.FieldByName(FCampoData), &form);
        EXPECT_EQ(form.Chamadas.size(), 1);
        return form.Chamadas.value(0);
    }
    TnClientDataSet FDs;
    QString FCampoData = QStringLiteral("DATAHORA");
};
} // namespace

TEST_F(InfoCadastroBanco, QuemCadastrouEQuando)
{
    EXPECT_EQ(Mostrado(), "Painel:1:"); // no user, no time
    FDs.FieldByName("CODIGOUSUARIO").SetAsInteger(1);
    EXPECT_EQ(Mostrado(), "Painel:1:"); // a user without a time
    FDs.FieldByName("DATAHORA").SetAsDateTime(QDateTime(QDate(2026, 12, 9), QTime(7, 31, 40)));
    EXPECT_EQ(Mostrado(), "Painel:1:Cadastrado por ADMINISTRADOR em 09/12/2026 07:31");
    FCampoData = "DATA";
    FDs.FieldByName("DATA").SetAsDate(QDate(2026, 12, 9));
    EXPECT_EQ(Mostrado(), "Painel:1:Cadastrado por ADMINISTRADOR em 09/12/2026");
    FCampoData = "DATAHORA";

    // The name is read once per user; an unknown user shows its code until it exists.
    con().Executar("update USUARIO set NOMEUSUARIO = 'OUTRO' where CODIGOUSUARIO = 1");
    EXPECT_EQ(Mostrado(), "Painel:1:Cadastrado por ADMINISTRADOR em 09/12/2026 07:31");
    FDs.FieldByName("CODIGOUSUARIO").SetAsInteger(8);
    EXPECT_EQ(Mostrado(), "Painel:1:Cadastrado por 8 em 09/12/2026 07:31");
    con().Executar("insert into USUARIO (CODIGOUSUARIO, NOMEUSUARIO) values (8, 'O''BRIEN')");
    EXPECT_EQ(Mostrado(), "Painel:1:Cadastrado por O'BRIEN em 09/12/2026 07:31");

    EXPECT_NO_THROW(FormatarNomeDataCadastro(FDs.FieldByName("CODIGOUSUARIO"), FDs.FieldByName("DATAHORA"), nullptr));
}

namespace {
class ProdutoCfgBanco : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (IsSkipped())
            return;
        CarregarBibliotecas(BibliotecasProjeto());
        TnPreferenciasUsuario::DefinirPasta(FDir.filePath("prefs"));
        DefinirUsuarioConectado(1, "ADMINISTRADOR");
        con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, TIPOGRUPOPRODUTO, DESCRGRUPOPRODUTO) "
                       "values (1, 10, 2, 'Ferragens')");
    }
    void TearDown() override
    {
        DefinirUsuarioConectado(0, QString());
        TnPreferenciasUsuario::DefinirPasta(QString());
        BancoOrvo::TearDown();
    }
    static QString Copiar() { return TnPreferenciasUsuario::Ler("frmUlmarDMProduto_ADMINISTRADOR", "CopiarValor"); }
    QTemporaryDir FDir;
    TnInteracaoTeste FUsuario;
};
} // namespace

TEST_F(ProdutoCfgBanco, EscolhaDasColunasCopiadasDoProdutoAnterior)
{
    auto *dm = qobject_cast<TnDMClientDataSet *>(CriarDM("TUlmarDMProduto"));
    ASSERT_NE(dm, nullptr);
    ASSERT_TRUE(dm->OnCfgCadastro);
    dm->Abrir();

    FUsuario.Marcar({"Unidade", "Descrição"});
    dm->ExecutarCfgCadastro();
    EXPECT_EQ(Copiar(), "DESCRPRODUTO;UNIDADEMEDIDA;");
    EXPECT_EQ(FUsuario.MarcadosOferecidos.value(0), QStringList());
    // Offered again with the choice made; giving up keeps it.
    FUsuario.Desistir();
    dm->ExecutarCfgCadastro();
    EXPECT_EQ(FUsuario.MarcadosOferecidos.value(1), QStringList({"Descrição", "Unidade Medida"}));
    EXPECT_EQ(Copiar(), "DESCRPRODUTO;UNIDADEMEDIDA;");

    TnClientDataSet &ds = dm->nClientDataSet();
    ds.Append();
    dm->FieldByName("CODIGOPRODUTO").SetAsInteger(5);
    dm->FieldByName("REFERENPRODUTO").SetAsString("P5");
    dm->FieldByName("CODIGOGRUPOPRODUTO").SetAsInteger(10);
    dm->FieldByName("DESCRPRODUTO").SetAsString("Parafuso");
    dm->FieldByName("UNIDADEMEDIDA").SetAsString("UN");
    ds.Post();
    ds.Append();
    EXPECT_EQ(dm->FieldByName("DESCRPRODUTO").AsString(), "Parafuso");
    EXPECT_EQ(dm->FieldByName("UNIDADEMEDIDA").AsString(), "UN");
    EXPECT_TRUE(dm->FieldByName("REFERENPRODUTO").IsNull());
    EXPECT_TRUE(dm->FieldByName("CODIGOGRUPOPRODUTO").IsNull());
    ds.Cancel();

    // Nothing chosen: a new product starts empty.
    FUsuario.Marcar({});
    dm->ExecutarCfgCadastro();
    EXPECT_EQ(Copiar(), "");
    ds.Append();
    EXPECT_TRUE(dm->FieldByName("DESCRPRODUTO").IsNull());
    ds.Cancel();
}
