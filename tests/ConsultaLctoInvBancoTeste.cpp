// The inventory entry consultations as the program loads them (OrvoCore, by class name):
// their grid over the entries and products, the formats that follow the company's decimals
// and the copy of a saved entry from the register.
#include "Acoes.h"
#include "DMClientDataSet.h"
#include "FormFalso.h"
#include "Interacao.h"
#include "LctoInvTeste.h"
#include "OrvoDCLctoInv_U.h"
#include "PowerParam.h"

#include <gtest/gtest.h>

namespace {

const char *const kSQLCadastro =
    "Select t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO, "
    "t_t.QTDEESTOQUE, t_t.PRECOUNIT, t_t.IDSYN from LCTOINV t_t";

const TnDefCadastro kCadastro{
    .SQL = kSQLCadastro,
    .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint},
               {.Nome = "CODIGOESTAB", .Tipo = ftSmallint},
               {.Nome = "DATAINVENT", .Tipo = ftDate},
               {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint},
               {.Nome = "MOTIVOINVENTARIO", .Tipo = ftSmallint},
               {.Nome = "QTDEESTOQUE", .Tipo = ftFloat},
               {.Nome = "PRECOUNIT", .Tipo = ftFloat},
               {.Nome = "IDSYN", .Tipo = ftInteger}},
    .Chave = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO",
    .AplicarAoGravar = false,
};

} // namespace

// The entry register as the consultation sees it: its dataset and the parameter list of
// its product panel.
class TTesteDMLctoCadastro : public TnDMClientDataSet {
    Q_OBJECT
public:
    TTesteDMLctoCadastro() : TnDMClientDataSet(kCadastro)
    {
        FParams.Adicionar({.Alias = "pDescrProduto", .Caption = "Descrição"});
    }
    Q_INVOKABLE void *npqPowerParam() { return &FParams; }
    TnpqPowerParam FParams;

    // A saved entry of the register, as the copy finds it.
    void Entrada(qint64 produto, double qtde, double preco, const QVariant &idSyn = {})
    {
        TnClientDataSet &ds = nClientDataSet();
        ds.Append();
        FieldByName("CODIGOEMPRESA").SetAsInteger(1);
        FieldByName("CODIGOESTAB").SetAsInteger(1);
        FieldByName("DATAINVENT").SetAsDate(QDate(2024, 3, 31));
        FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        FieldByName("MOTIVOINVENTARIO").SetAsInteger(1);
        FieldByName("QTDEESTOQUE").SetAsFloat(qtde);
        FieldByName("PRECOUNIT").SetAsFloat(preco);
        FieldByName("IDSYN").SetValue(idSyn);
        ds.Post();
    }
};

namespace {

class ConsultaLctoInvBanco : public BancoLctoInv {
protected:
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(RegistrarClasse<TTesteDMLctoCadastro>("TTesteDMLctoCadastro"));
        con().Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 3, QTDECASADECIMALQTD = 5 where CODIGOEMPRESA = 1");
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial')");
        for (int p : {10, 20, 30})
            con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, ?)",
                           {p, QStringLiteral("Produto %1").arg(p)});
    }
    QDate DataInventario() const override { return QDate(2024, 3, 31); }
    void Lcto(int estab, const char *data, int produto, double qtde, double preco, const QVariant &idSyn = {})
    {
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO, IDSYN) "
                       "values (1, ?, ?, ?, 1, ?, ?, '2024-04-01 08:00:00', 1, 2, ?)",
                       {estab, QString::fromLatin1(data), produto, qtde, preco, idSyn});
    }
    static TnDMClientDataSet *Consulta(const char *classe = "TOrvoDCLctoInv")
    {
        return AbrirDM(QString::fromLatin1(classe));
    }
    static QStringList Produtos(TnDMClientDataSet *dc)
    {
        QStringList r;
        TnClientDataSet &ds = dc->nClientDataSet();
        for (ds.First(); !ds.Eof(); ds.Next())
            r << dc->FieldByName("CODIGOPRODUTO").AsString() + ":" + dc->FieldByName("DESCRPRODUTO").AsString();
        return r;
    }
};

} // namespace

TEST_F(ConsultaLctoInvBanco, AcoesDoMenuEColunas)
{
    TnActionList &acoes = AcoesDoMenu();
    for (const char *nome : {"actTOrvoDCLctoInv", "actTOrvoDCLctoInvSyn"}) {
        TnAction *a = acoes.Acao(QString::fromLatin1(nome));
        ASSERT_NE(a, nullptr) << nome;
        EXPECT_EQ(a->Category(), "02 Movimentos\\00 Consultas");
        EXPECT_EQ(a->Caption(), QString::fromUtf8("Lançamentos do Inventário"));
        EXPECT_EQ(a->MenuIndex(), 1);
        EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa;CodigoEstab;DataInvent");
        EXPECT_FALSE(a->ChecarSelecao());
        EXPECT_FALSE(a->ControlaDireito());
    }
    TnActionList geral;
    geral.GerarPrincAction(TnEventoAcao(), Modulos({0}));
    EXPECT_EQ(geral.Acao("actTOrvoDCLctoInv"), nullptr);
    EXPECT_EQ(Registro().Classe("TOrvoDCLctoInvSyn")->PegarTipoObjeto(), 2);

    TnDMClientDataSet *dc = Consulta();
    EXPECT_TRUE(dc->SomenteLeitura());
    EXPECT_EQ(dc->ChavePrimaria(), "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO");
    EXPECT_EQ(dc->CadCons(), "OrvoDMLctoInv");
    const Definicao &motivo = dc->FieldByName("MOTIVOINVENTARIO").Def();
    ASSERT_EQ(motivo.ListaValores.size(), 6);
    EXPECT_EQ(motivo.TextoDoValor("4"), QString::fromUtf8("Na alteração de regime de pagamento – condição do contribuinte"));
    EXPECT_EQ(dc->FieldByName("VALORTOTAL").DisplayLabel(), "Valor Total");
    EXPECT_EQ(dc->FieldByName("IDSYN").DisplayLabel(), QString::fromUtf8("Código SYN"));

    // With a form: the selection fixes the branch and the date.
    TnFormFalso form;
    dc->ConfigurarForm(&form);
    EXPECT_FALSE(dc->FieldByName("CODIGOESTAB").Visible());
    EXPECT_FALSE(dc->FieldByName("DATAINVENT").Visible());
    EXPECT_EQ(dc->FieldByName("DESCRPRODUTO").DisplayLabel(), QString::fromUtf8("Descrição"));
}

// The grid lists the selection's entries with the product's description and the total as
// the statement computes it (unrounded), in formats of the company's decimals; the SYN
// grid never lists an entry without IDSYN.
TEST_F(ConsultaLctoInvBanco, GradeDaSelecaoEFormatosDaEmpresa)
{
    Lcto(1, "2024-03-31", 20, 2, 0.5025, 77);
    Lcto(1, "2024-03-31", 10, 1234.5, 2);
    Lcto(2, "2024-03-31", 30, 1, 1);     // another branch
    Lcto(1, "2024-02-29", 30, 1, 1, 78); // another date

    TnDMClientDataSet *dc = Consulta();
    EXPECT_EQ(Produtos(dc), QStringList({"10:Produto 10", "20:Produto 20"}));
    ASSERT_TRUE(dc->nClientDataSet().Locate("CODIGOPRODUTO", 20));
    EXPECT_DOUBLE_EQ(dc->FieldByName("VALORTOTAL").AsFloat(), 2 * 0.5025);
    EXPECT_EQ(dc->FieldByName("PRECOUNIT").DisplayFormat(), "#,###,###,###,##0.000");
    EXPECT_EQ(dc->FieldByName("QTDEESTOQUE").DisplayFormat(), "#,###,###,###,##0.00000");
    EXPECT_EQ(dc->FieldByName("VALORTOTAL").DisplayFormat(), "#,###,###,###,##0.000");
    EXPECT_EQ(dc->FieldByName("VALORICMS").DisplayFormat(), "#,##0.00");
    ASSERT_TRUE(dc->nClientDataSet().Locate("CODIGOPRODUTO", 10));
    EXPECT_EQ(dc->FieldByName("QTDEESTOQUE").DisplayText(), "1.234,50000");
    EXPECT_EQ(dc->FieldByName("PRECOUNIT").DisplayText(), "2,000");
    // In web mode the entry decimals follow the settings too.
    SetEhHttpExe(true);
    dc->Configurar();
    SetEhHttpExe(false);
    EXPECT_EQ(dc->FieldByName("PRECOUNIT").Def().Decimais, 3);
    EXPECT_EQ(dc->FieldByName("QTDEESTOQUE").Def().Decimais, 5);

    TnDMClientDataSet *syn = Consulta("TOrvoDCLctoInvSyn");
    EXPECT_EQ(Produtos(syn), QStringList({"20:Produto 20"}));
}

// The decimals are cached per company and read again when the framework reconfigures the
// module for the company (as the settings register does after saving).
TEST_F(ConsultaLctoInvBanco, DecimaisRelidosAoReconfigurarAEmpresa)
{
    Lcto(1, "2024-03-31", 10, 1, 1);
    TnDMClientDataSet *dc = Consulta();
    ASSERT_EQ(dc->FieldByName("PRECOUNIT").DisplayFormat(), "#,###,###,###,##0.000");

    con().Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 6, QTDECASADECIMALQTD = 0 where CODIGOEMPRESA = 1");
    dc->Configurar(); // the same company: the cache answers
    EXPECT_EQ(dc->FieldByName("PRECOUNIT").DisplayFormat(), "#,###,###,###,##0.000");

    Selecao().ReconfigurarDM("CodigoEmpresa", false);
    EXPECT_EQ(dc->FieldByName("PRECOUNIT").DisplayFormat(), "#,###,###,###,##0.000000");
    EXPECT_EQ(dc->FieldByName("QTDEESTOQUE").DisplayFormat(), "#,###,###,###,##0");

    // Another company without settings: the defaults, 2 decimals.
    Selecao().GetParams("CodigoEmpresa").SetValue(2);
    Selecao().ReconfigurarDM("CodigoEmpresa", true);
    EXPECT_TRUE(dc->nClientDataSet().IsEmpty());
    ExternalVar("gCodigoEmpresaAtiva", "2");
    dc->Configurar();
    EXPECT_EQ(dc->FieldByName("PRECOUNIT").DisplayFormat(), "#,###,###,###,##0.00");
    EXPECT_EQ(dc->FieldByName("QTDEESTOQUE").DisplayFormat(), "#,###,###,###,##0.00");
}

// The total of a row read is quantity x unit cost exact at the cost decimals the column
// shows, in every packet and in a row looked up beyond them, and again when those decimals
// change; a copied row's total is exact to the cent.
TEST_F(ConsultaLctoInvBanco, TotalExatoNasCasasDoCusto)
{
    con().Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 2 where CODIGOEMPRESA = 1");
    Lcto(1, "2024-03-31", 10, 1, 10.004);
    Lcto(1, "2024-03-31", 20, 3, 1.005); // exactly 3.015: the doubles' product gives 3.01
    Lcto(1, "2024-03-31", 30, 29.7, 186.05); // exactly 5525.685
    TnDMClientDataSet *dc = Consulta();
    TnClientDataSet &ds = dc->nClientDataSet();
    ds.SetPacketRecords(1);
    dc->Reabrir();
    ASSERT_TRUE(ds.Locate("CODIGOPRODUTO", 30)); // beyond the first packet
    EXPECT_EQ(dc->FieldByName("VALORTOTAL").AsFloat(), 5525.69);
    QStringList totais;
    for (ds.First(); !ds.Eof(); ds.Next())
        totais << dc->FieldByName("VALORTOTAL").DisplayText();
    EXPECT_EQ(totais, QStringList({"10,00", "3,02", "5.525,69"}));

    con().Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 3 where CODIGOEMPRESA = 1");
    Selecao().ReconfigurarDM("CodigoEmpresa", false);
    ASSERT_TRUE(ds.Locate("CODIGOPRODUTO", 20));
    EXPECT_EQ(dc->FieldByName("VALORTOTAL").DisplayText(), "3,015");

    auto *cad = static_cast<TTesteDMLctoCadastro *>(CriarDM("TTesteDMLctoCadastro"));
    cad->Abrir();
    cad->Entrada(40, 3, 1.005);
    dc->SincroCopiarDados(cad->nClientDataSet());
    EXPECT_EQ(dc->FieldByName("VALORTOTAL").AsFloat(), 3.02);
}

// A saved entry copied from the register: the panel's description, else "**Desconhecido**",
// and the total rounded to cents; the SYN grid takes only entries with IDSYN.
TEST_F(ConsultaLctoInvBanco, CopiaDoCadastro)
{
    TnDMClientDataSet *dc = Consulta();
    TnDMClientDataSet *syn = Consulta("TOrvoDCLctoInvSyn");
    auto *cad = static_cast<TTesteDMLctoCadastro *>(CriarDM("TTesteDMLctoCadastro"));
    cad->Abrir();

    cad->FParams.Param("pDescrProduto").SetValue(QStringLiteral("Parafuso novo"));
    cad->Entrada(10, 2, 0.5025);
    dc->SincroCopiarDados(cad->nClientDataSet());
    syn->SincroCopiarDados(cad->nClientDataSet());
    ASSERT_EQ(Produtos(dc), QStringList({"10:Parafuso novo"}));
    EXPECT_DOUBLE_EQ(dc->FieldByName("VALORTOTAL").AsFloat(), 1.01);
    EXPECT_TRUE(syn->nClientDataSet().IsEmpty());
    EXPECT_EQ(dc->nClientDataSet().State(), dsBrowse);

    cad->FParams.Param("pDescrProduto").Clear();
    cad->Entrada(20, 1, 3, 55);
    dc->SincroCopiarDados(cad->nClientDataSet());
    syn->SincroCopiarDados(cad->nClientDataSet());
    EXPECT_EQ(Produtos(dc), QStringList({"10:Parafuso novo", "20:**Desconhecido**"}));
    EXPECT_EQ(Produtos(syn), QStringList({"20:**Desconhecido**"}));

    // The same entry again replaces its row.
    cad->nClientDataSet().MergeChangeLog(); // as if the register had written its rows
    cad->nClientDataSet().Edit();
    cad->FieldByName("QTDEESTOQUE").SetAsFloat(2);
    cad->nClientDataSet().Post();
    dc->SincroCopiarDados(cad->nClientDataSet());
    EXPECT_EQ(dc->nClientDataSet().RecordCount(), 2);
    EXPECT_DOUBLE_EQ(dc->FieldByName("VALORTOTAL").AsFloat(), 6);
    // Users still cannot change the grid.
    EXPECT_THROW(dc->nClientDataSet().Append(), Exception);
}

#include "ConsultaLctoInvBancoTeste.moc"
