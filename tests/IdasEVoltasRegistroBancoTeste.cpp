// The inventory entry register on the server counts its round trips: opening it on a branch
// and month, saving a new entry with the entry consultation open, changing it, moving to
// another entry with its property lines, and deleting one. Each costs the network's latency
// on a shared server, so the counts are pinned. What the register keeps of the database does
// not hide another user's change of a rule: the user's last permitted date and the company's
// settings changed on another connection hold at the next save.
#include "LctoInvTeste.h"
#include "Conexao.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "SQLDataSet.h"

#include <QStringList>
#include <gtest/gtest.h>

#include "OrvoDMLctoInv_U.h" // its messages

namespace {

class IdasEVoltasRegistroBanco : public BancoLctoInv {
protected:
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        Referencia(false);
        for (int p = 100; p <= 105; ++p)
            con().Executar(QStringLiteral("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) "
                                          "values (1, %1, 'Produto %1')").arg(p));
        for (int p = 100; p <= 102; ++p)
            con().Executar(QStringLiteral(
                "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, "
                "ORIGEMDADO) values (1, 1, '2020-01-31', %1, 1, 3, 2, 0, 0, 0, '2020-02-01 10:00:00', 1, 2)")
                               .arg(p));
        con().Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                       "values (1, 1, '2020-01-31', 100, 1, 1, 0, 3, 2)");
        con().RastrearIdasEVoltas(&FRastro);
    }
    void TearDown() override
    {
        if (!IsSkipped())
            con().RastrearIdasEVoltas(nullptr);
        BancoLctoInv::TearDown();
    }
    void Zerar()
    {
        con().ZerarIdasEVoltas();
        FRastro.clear();
    }
    // The round trips since Zerar, with what went, for the message of a failed check.
    quint64 Idas(const char *oque)
    {
        const quint64 n = con().IdasEVoltas().Total();
        FUltimo = QStringLiteral("%1: %2\n  %3").arg(QLatin1String(oque)).arg(n).arg(FRastro.join(QStringLiteral("\n  ")));
        return n;
    }
    QStringList FRastro;
    QString FUltimo;
};

} // namespace

TEST_F(IdasEVoltasRegistroBanco, SalvarAlterarMoverExcluirAbrir)
{
    if (con().PegarTipoCon() != tcPostgreSQL)
        GTEST_SKIP() << "round trips are counted on the server";
    TnDMClientDataSet *consulta = AbrirDM(QStringLiteral("TOrvoDCLctoInv"));
    ASSERT_NE(consulta, nullptr);

    Zerar();
    auto *dm = qobject_cast<TnDMClientDataSet *>(CriarDM(QStringLiteral("TOrvoDMLctoInv")));
    ASSERT_NE(dm, nullptr);
    dm->Abrir();
    dm->ConfigurarForm(nullptr); // as the program does: the property lines follow the entry
    EXPECT_EQ(Idas("abrir"), 2u) << FUltimo.toStdString();
    ASSERT_EQ(dm->Detalhes().size(), 1);
    EXPECT_EQ(dm->Detalhes().first()->nClientDataSet().RecordCount(), 1);

    TnClientDataSet &ds = dm->nClientDataSet();
    ASSERT_EQ(ds.FieldByName("CODIGOPRODUTO").AsInteger(), 100);
    Zerar();
    NovoLcto(dm, 103, 1);
    ds.Post();
    EXPECT_EQ(Idas("salvar"), 2u) << FUltimo.toStdString();
    // The new entry has no property lines yet: none read.
    EXPECT_EQ(dm->Detalhes().first()->nClientDataSet().RecordCount(), 0);

    Zerar();
    ds.Edit();
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(7);
    ds.Post();
    EXPECT_EQ(Idas("alterar"), 3u) << FUltimo.toStdString();

    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 103 and QTDEESTOQUE = 7"), 1);
    // The consultation shows the saved row, taken from the register.
    EXPECT_TRUE(consulta->nClientDataSet().Locate("CODIGOPRODUTO", 103));

    // The first entry has a property line: moving there reads it, the entry's product shown
    // from the row read before.
    Zerar();
    ds.First();
    EXPECT_EQ(Idas("mover"), 1u) << FUltimo.toStdString();
    EXPECT_EQ(dm->Detalhes().first()->nClientDataSet().RecordCount(), 1);
    void *painel = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(dm, "npqPowerParam", Qt::DirectConnection, Q_RETURN_ARG(void *, painel)));
    EXPECT_EQ(static_cast<TnpqPowerParam *>(painel)->Param("pDescrProduto").Text(), "Produto 100");

    ds.Last();
    Zerar();
    ds.Delete();
    EXPECT_EQ(Idas("excluir"), 3u) << FUltimo.toStdString();
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 103"), 0);
}

// Another user changes the rules while the register is open: the next save follows them,
// on both engines. The settings read when the register opened say the ICMS is typed; the
// other connection turns it off, so the save writes 0. The user's last permitted date set
// there refuses the next change, and lifting it lets the change through.
TEST_F(IdasEVoltasRegistroBanco, OutraConexaoMudaLimiteEConfiguracao)
{
    const int usuario = CodigoUsuarioConectado();
    const QString nome = NomeUsuarioConectado();
    DefinirUsuarioConectado(1, QStringLiteral("Teste"));
    struct Repor {
        int U;
        QString N;
        ~Repor() { DefinirUsuarioConectado(U, N); }
    } repor{usuario, nome};
    con().Executar("update CFGEMPRESAINV set LANCAICMSRECUP = '1' where CODIGOEMPRESA = 1");
    con().Executar("delete from NPERSONALIZACAO where CODIGOUSUARIO = 1");
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    dm->ConfigurarForm(nullptr);
    TnClientDataSet &ds = dm->nClientDataSet();
    EXPECT_TRUE(ds.FieldByName("VALORICMS").Required());

    nDMConexao outra(con().Config());
    outra.Executar("update CFGEMPRESAINV set LANCAICMSRECUP = '0' where CODIGOEMPRESA = 1");
    NovoLcto(dm, 103, 1);
    ds.FieldByName("VALORICMS").SetAsFloat(5);
    ds.FieldByName("VALORPIS").SetAsFloat(0);
    ds.FieldByName("VALORCOFINS").SetAsFloat(0);
    EXPECT_EQ(Falha(dm), QString());
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 103 and VALORICMS = 0"), 1);
    EXPECT_FALSE(ds.FieldByName("VALORICMS").Required());

    outra.Executar("insert into NPERSONALIZACAO (CODIGOUSUARIO, DATAFINALPERMITIDA) values (1, '2019-12-31')");
    ds.Edit();
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(9);
    const QString recusa = Falha(dm);
    EXPECT_TRUE(recusa.contains("31/12/2019")) << recusa.toStdString();
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 103 and QTDEESTOQUE = 9"), 0);
    outra.Executar("delete from NPERSONALIZACAO where CODIGOUSUARIO = 1");
    EXPECT_EQ(Falha(dm), QString());
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 103 and QTDEESTOQUE = 9"), 1);
}

// The save's read refreshes the product's panel columns of the row; a row the user did not
// change is still not stamped again, and a product changed meanwhile shows as it is now.
TEST_F(IdasEVoltasRegistroBanco, SalvarSemMudarNaoCarimba)
{
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    TnClientDataSet &ds = dm->nClientDataSet();
    ASSERT_EQ(ds.FieldByName("CODIGOPRODUTO").AsInteger(), 100);
    nDMConexao outra(con().Config());
    outra.Executar("update PRODUTO set DESCRPRODUTO = 'Outro nome' where CODIGOEMPRESA = 1 and CODIGOPRODUTO = 100");
    ds.Edit();
    EXPECT_EQ(Falha(dm), QString());
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 100 and DATAHORALCTOINV = '2020-02-01 10:00:00'"), 1);
    void *painel = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(dm, "npqPowerParam", Qt::DirectConnection, Q_RETURN_ARG(void *, painel)));
    EXPECT_EQ(static_cast<TnpqPowerParam *>(painel)->Param("pDescrProduto").Text(), "Outro nome");
}
