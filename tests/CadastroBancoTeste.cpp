// Register and consultation modules without widgets: reading by the selection, new rows
// with the selection's values, validation, writing at each post, the database's refusals,
// master and detail registers, and the form's side of the hooks.
#include "BancoTeste.h"
#include "DMClientDataSet.h"
#include "EsquemaTabelas.h"
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "SQLDataSet.h"
#include "Variaveis.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QEvent>
#include <gtest/gtest.h>

namespace {

const char *const kChaveLcto = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO";

std::vector<TnDefCampo> CamposLcto()
{
    return {
        {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true},
        {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true},
        {.Nome = "DATAINVENT", .Tipo = ftDate, .Requerido = true},
        {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Requerido = true},
        {.Nome = "MOTIVOINVENTARIO",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.ListaValores = {"No final no período=1", "Por determinação dos fiscos=5"},
                 .ValorPadrao = 1,
                 .SomenteDaLista = true,
                 .MensagemErro = "Motivo do inventário inválido!"}},
        {.Nome = "QTDEESTOQUE", .Tipo = ftFloat, .Requerido = true, .Def = {.CopiarAnterior = true}},
        {.Nome = "PRECOUNIT", .Tipo = ftFloat, .Requerido = true,
         .Def = {.Minimo = 0.000001, .MensagemErro = "Preço unitário não pode ser negativa ou igual a zero!"}},
        {.Nome = "VALORICMS", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .Requerido = true, .Def = {.ValorPadrao = 0}},
        {.Nome = "DATAHORALCTOINV", .Tipo = ftDateTime, .Requerido = true},
        {.Nome = "CODIGOUSUARIO", .Tipo = ftSmallint, .Requerido = true},
        {.Nome = "ORIGEMDADO", .Tipo = ftSmallint, .Requerido = true},
    };
}

const char *const kSQLLcto =
    "Select t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO, "
    "t_t.QTDEESTOQUE, t_t.PRECOUNIT, t_t.VALORICMS, t_t.DATAHORALCTOINV, t_t.CODIGOUSUARIO, t_t.ORIGEMDADO "
    "from LCTOINV t_t order by t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, "
    "t_t.MOTIVOINVENTARIO";

const TnDefCadastro kCadLcto{
    .SQL = kSQLLcto,
    .Tabela = "LCTOINV",
    .Campos = CamposLcto(),
    .Chave = kChaveLcto,
    .Ordem = "CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO",
    .Caption = "Lançamentos do Inventário",
    .CadCons = "TesteConLcto",
};

const TnDefCadastro kConLcto{
    .SQL = kSQLLcto,
    .Campos = CamposLcto(),
    .Chave = kChaveLcto,
    .Caption = "Lançamentos do Inventário",
    .TipoForm = ntfConGrid,
    .CadCons = "TesteCadLcto",
    .LogChanges = false,
};

const TnDefCadastro kCadProp{
    .SQL = "Select t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO, "
           "t_t.SEQ, t_t.INDICADORPROPRIEDADE, t_t.QUANTIDADE, t_t.PRECOUNIT from LCTOINVPROPRIEDADE t_t",
    .Tabela = "LCTOINVPROPRIEDADE",
    .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true},
               {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true},
               {.Nome = "DATAINVENT", .Tipo = ftDate, .Requerido = true},
               {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Requerido = true},
               {.Nome = "MOTIVOINVENTARIO", .Tipo = ftSmallint, .Requerido = true},
               {.Nome = "SEQ", .Tipo = ftSmallint, .Requerido = true},
               {.Nome = "INDICADORPROPRIEDADE", .Tipo = ftSmallint, .Requerido = true, .Def = {.ValorPadrao = 0}},
               {.Nome = "QUANTIDADE", .Tipo = ftFloat, .Requerido = true},
               {.Nome = "PRECOUNIT", .Tipo = ftFloat, .Requerido = true}},
    .Chave = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO;SEQ",
    .Ordem = "SEQ",
    .Caption = "Lançamentos do Inventário - Propriedade",
    .TipoForm = ntfCadGrid,
};

// Products of the selected company: a product used by entries cannot be deleted.
const TnDefCadastro kCadProduto{
    .SQL = "Select t_t.CODIGOEMPRESA, t_t.CODIGOPRODUTO, t_t.DESCRPRODUTO from PRODUTO t_t "
           "order by t_t.CODIGOEMPRESA, t_t.CODIGOPRODUTO",
    .Tabela = "PRODUTO",
    .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true},
               {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Requerido = true},
               {.Nome = "DESCRPRODUTO", .Tipo = ftString, .Tamanho = 120}},
    .Chave = "CODIGOEMPRESA;CODIGOPRODUTO",
    .Ordem = "CODIGOEMPRESA, CODIGOPRODUTO",
    .Caption = "Produtos",
};

class TTesteCadProduto : public TnDMClientDataSet {
public:
    TTesteCadProduto() : TnDMClientDataSet(kCadProduto) {}
    static QString PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }
    static int PegarTipoObjeto() { return 1; }
};

// The entries register: stamps its rows, refuses a quantity that is not positive, and
// records the hooks it went through.
class TTesteCadLcto : public TnDMClientDataSet {
public:
    TTesteCadLcto() : TnDMClientDataSet(kCadLcto) {}
    static QString PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa;CodigoEstab;DataInvent"); }
    static int PegarTipoObjeto() { return 1; }

    QStringList Chamadas;
    QStringList Rolagens; // the product of each row the dataset scrolled to
    bool IgnorarChaveDuplicada = false;

    void AntesConfigurar(TnFormModulo *form) override { Chamadas << (form ? "AntesConfigurar" : "AntesConfigurar:sem"); }
    void DepoisConfigurar(TnFormModulo *) override { Chamadas << "DepoisConfigurar"; }
    void ConfigurarTabela(TnClientDataSet *) override { Chamadas << "ConfigurarTabela"; }
    void ConfigurarCampo(TnClientDataSet *) override { Chamadas << "ConfigurarCampo"; }
    void ConfigurarAutoRequerido(TnClientDataSet *) override { Chamadas << "ConfigurarAutoRequerido"; }
    void ConfigurarAutoFormato(TnClientDataSet *) override { Chamadas << "ConfigurarAutoFormato"; }
    void ConfigurarAutoValor(TnClientDataSet *ds) override
    {
        Chamadas << "ConfigurarAutoValor";
        ds->FieldByName("DATAHORALCTOINV").SetAsDateTime(QDateTime(QDate(2024, 4, 2), QTime(9, 30)));
        ds->FieldByName("CODIGOUSUARIO").SetAsInteger(1);
        ds->FieldByName("ORIGEMDADO").SetAsInteger(2);
    }
    void ValidarDado() override
    {
        Chamadas << "ValidarDado";
        TnDMClientDataSet::ValidarDado();
        if (FieldByName("QTDEESTOQUE").AsFloat() <= 0)
            throw EnField("QTDEESTOQUE", "Quantidade não pode ser negativa ou igual a zero!");
    }

protected:
    void nClientDataSetBeforePost(TnClientDataSet &) override { Chamadas << "BeforePost"; }
    void nClientDataSetAfterScroll(TnClientDataSet &ds) override
    {
        Rolagens << (ds.IsEmpty() ? QString() : ds.FieldByName("CODIGOPRODUTO").AsString());
    }
    void nClientDataSetAfterPost(TnClientDataSet &) override
    {
        Chamadas << "AfterPost:" + QString::number(nDMSQLDataSet::PegarQtdRegistro("LCTOINV", "CODIGOPRODUTO = 300"));
    }
    void nClientDataSetCampoExit(TnField &campo) override { Chamadas << "Saiu:" + campo.FieldName(); }
    void nDataSetProviderUpdateError(Exception &e, TUpdateKind, TResolverResponse &resposta) override
    {
        if (IgnorarChaveDuplicada && ErroBanco(e) == ebChavePrimaria)
            resposta = rrIgnore;
    }
};

class TTesteConLcto : public TnDMClientDataSet {
public:
    TTesteConLcto() : TnDMClientDataSet(kConLcto) {}
    static QString PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }
    static int PegarTipoObjeto() { return 2; }
};

class TTesteCadProp : public TnDMClientDataSet {
public:
    TTesteCadProp() : TnDMClientDataSet(kCadProp) {}
    static QString PegarVerificaSelecao() { return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATAINVENT"); }
    // The master's product each time the rows were read and configured.
    QStringList Lidas;
    void ConfigurarTabela(TnClientDataSet *) override
    {
        if (auto *m = DmMaster(); m && !m->nClientDataSet().IsEmpty())
            Lidas << m->nClientDataSet().FieldByName("CODIGOPRODUTO").AsString();
    }
};

class CadastroBanco : public BancoConvertido {
protected:
    void SetUp() override
    {
        BancoConvertido::SetUp();
        if (IsSkipped())
            return;
        Sql("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
        Sql("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial'), (2, 1, 'Outra Matriz')");
        for (const char *p : {"(1, 100)", "(1, 200)", "(1, 300)", "(2, 100)"})
            Sql(QStringLiteral("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO) values %1").arg(p));
        Lcto(1, 1, "2024-03-31", 100, 10);
        Lcto(1, 1, "2024-03-31", 200, 20);
        Lcto(1, 2, "2024-03-31", 100, 30);
        Lcto(1, 1, "2024-06-30", 100, 40);
        Lcto(2, 1, "2024-03-31", 100, 50);
        Sql("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
            "SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) values "
            "(1, 1, '2024-03-31', 100, 1, 1, 0, 4, 1), (1, 1, '2024-03-31', 100, 1, 2, 0, 6, 1), "
            "(1, 1, '2024-03-31', 200, 1, 1, 0, 20, 1)");
        ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteCadLcto>("TTesteCadLcto")));
        ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteConLcto>("TTesteConLcto")));
        ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteCadProp>("TTesteCadProp")));
        Selecionar(1, 1, QDate(2024, 3, 31));
    }
    void TearDown() override
    {
        DestruirTodosDM();
        for (const char *c : {"TTesteCadLcto", "TTesteConLcto", "TTesteCadProp"})
            nUnRegisterClass(QString::fromLatin1(c));
        Selecao().Reset();
        Variaveis().Reiniciar();
        BancoTeste::TearDown();
    }
    void Sql(const QString &sql) { con().Executar(sql); }
    void Lcto(int empresa, int estab, const char *data, int produto, double qtde)
    {
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                       "values (?, ?, ?, ?, 1, ?, 2.5, '2024-04-01 08:00:00', 1, 2)",
                       {empresa, estab, QString::fromLatin1(data), produto, qtde});
    }
    void Selecionar(int empresa, int estab, const QDate &data)
    {
        Selecao().GetParams("CodigoEmpresa").SetValue(empresa);
        Selecao().GetParams("CodigoEstab").SetValue(estab);
        Selecao().GetParams("DataInvent").SetValue(data);
    }
    template <class T> T *Criar(const char *classe)
    {
        auto *dm = dynamic_cast<T *>(CriarDM(QString::fromLatin1(classe)));
        EXPECT_NE(dm, nullptr);
        return dm;
    }
    // The rows' values of one field, in the dataset's order.
    static QStringList Valores(TnClientDataSet &ds, const char *campo)
    {
        QStringList r;
        const TnBookmark b = ds.IsEmpty() ? 0 : ds.GetBookmark();
        for (ds.First(); !ds.Eof(); ds.Next())
            r << ds.FieldByName(campo).AsString();
        if (b)
            ds.GotoBookmark(b);
        return r;
    }
    static void Preencher(TnClientDataSet &ds, int produto, double qtde)
    {
        ds.FieldByName("CODIGOPRODUTO").SetAsInteger(produto);
        ds.FieldByName("QTDEESTOQUE").SetAsFloat(qtde);
        ds.FieldByName("PRECOUNIT").SetAsFloat(1.5);
    }
};

TEST_F(CadastroBanco, CicloDoCadastroSemFormulario)
{
    auto *dm = Criar<TTesteCadLcto>("TTesteCadLcto");
    TnClientDataSet &ds = dm->nClientDataSet();
    EXPECT_FALSE(dm->Aberto()); // creating reads nothing
    dm->Abrir();
    EXPECT_EQ(dm->Chamadas, (QStringList{"ConfigurarCampo", "ConfigurarTabela", "ConfigurarAutoRequerido",
                                          "ConfigurarAutoFormato", "ConfigurarCampo"}));
    // Only the selected company, branch and date.
    EXPECT_EQ(Valores(ds, "CODIGOPRODUTO"), (QStringList{"100", "200"}));
    EXPECT_EQ(Valores(ds, "QTDEESTOQUE"), (QStringList{"10", "20"}));

    // A new row starts with the selection's values and the declared defaults, and copies
    // the quantity of the row that was current.
    ds.Last();
    ds.Append();
    EXPECT_EQ(ds.FieldByName("CODIGOEMPRESA").AsInteger(), 1);
    EXPECT_EQ(ds.FieldByName("CODIGOESTAB").AsInteger(), 1);
    EXPECT_EQ(ds.FieldByName("DATAINVENT").AsDate(), QDate(2024, 3, 31));
    EXPECT_EQ(ds.FieldByName("MOTIVOINVENTARIO").AsInteger(), 1);
    EXPECT_EQ(ds.FieldByName("VALORICMS").AsFloat(), 0.0);
    EXPECT_EQ(ds.FieldByName("QTDEESTOQUE").AsFloat(), 20.0);
    EXPECT_TRUE(ds.FieldByName("PRECOUNIT").IsNull());

    // Refused by the module: the row stays in insert and nothing reaches the database.
    dm->Chamadas.clear();
    Preencher(ds, 300, 0);
    try {
        ds.Post();
        ADD_FAILURE() << "a quantidade zero deveria ser recusada";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "QTDEESTOQUE");
    }
    EXPECT_EQ(ds.State(), dsInsert);
    EXPECT_EQ(dm->Chamadas, (QStringList{"ConfigurarAutoValor", "ValidarDado"}));
    // Refused by the field's declared rules.
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(7);
    ds.FieldByName("MOTIVOINVENTARIO").SetAsInteger(3);
    try {
        ds.Post();
        ADD_FAILURE() << "o motivo 3 não está na lista";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "MOTIVOINVENTARIO");
        EXPECT_EQ(e.Message(), "Motivo do inventário inválido!");
    }
    ds.FieldByName("MOTIVOINVENTARIO").SetText("Por determinação dos fiscos");
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 300"), 0);

    // Accepted: written at once, before the module's AfterPost runs.
    dm->Chamadas.clear();
    ds.Post();
    EXPECT_EQ(dm->Chamadas, (QStringList{"ConfigurarAutoValor", "ValidarDado", "BeforePost", "AfterPost:1", "ConfigurarCampo"}));
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOEMPRESA = 1 and CODIGOESTAB = 1 and DATAINVENT = '2024-03-31' and "
                                "CODIGOPRODUTO = 300 and MOTIVOINVENTARIO = 5 and QTDEESTOQUE = 7 and ORIGEMDADO = 2"),
              1);

    // Changed and deleted the same way.
    ASSERT_TRUE(ds.Locate("CODIGOPRODUTO", 300));
    ds.Edit();
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(8);
    ds.Post();
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 300 and QTDEESTOQUE = 8"), 1);
    ds.Delete();
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 300"), 0);
    EXPECT_EQ(Valores(ds, "CODIGOPRODUTO"), (QStringList{"100", "200"}));
}

TEST_F(CadastroBanco, ChaveNaoMudaERecusaDoBancoVoltaParaEdicao)
{
    auto *dm = Criar<TTesteCadLcto>("TTesteCadLcto");
    TnClientDataSet &ds = dm->nClientDataSet();
    dm->Abrir();

    ds.First();
    ds.Edit();
    ds.FieldByName("CODIGOPRODUTO").SetAsInteger(300);
    EXPECT_THROW(ds.Post(), EnField);
    ds.Cancel();

    // A key the table already holds: the database refuses it, the dataset holds what the
    // database holds and the row is back in insert as typed.
    ds.Append();
    Preencher(ds, 200, 3);
    try {
        ds.Post();
        ADD_FAILURE() << "chave repetida deveria ser recusada";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(ErroBanco(e), ebChavePrimaria);
        // In the register's words: the key fields with their captions and values.
        EXPECT_EQ(e.Message(), "Já existe um registro com esta chave: CODIGOEMPRESA 1, CODIGOESTAB 1, DATAINVENT "
                               "31/03/2024, CODIGOPRODUTO 200 e MOTIVOINVENTARIO No final no período.");
    }
    EXPECT_EQ(ds.State(), dsInsert);
    EXPECT_EQ(ds.FieldByName("CODIGOPRODUTO").AsInteger(), 200);
    EXPECT_EQ(ds.FieldByName("QTDEESTOQUE").AsFloat(), 3.0);
    ds.Cancel();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(Valores(ds, "QTDEESTOQUE"), (QStringList{"10", "20"}));
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 200 and QTDEESTOQUE = 20"), 1);

    // A change the database refuses (the row was deleted meanwhile) goes back into edit.
    Sql("delete from LCTOINV where CODIGOPRODUTO = 100 and CODIGOESTAB = 1 and DATAINVENT = '2024-03-31'");
    ds.First();
    ds.Edit();
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(99);
    EXPECT_THROW(ds.Post(), EDatabaseError);
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(ds.FieldByName("QTDEESTOQUE").AsFloat(), 99.0);
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("QTDEESTOQUE").AsFloat(), 10.0);
    EXPECT_EQ(ds.ChangeCount(), 0);

    // The selection's fields: another company typed into a new row on the form is refused;
    // a process writing through the register without a form names its own rows.
    EXPECT_TRUE(dm->EhCampoDaSelecao("codigoempresa"));
    EXPECT_TRUE(dm->EhCampoDaSelecao("DATAINVENT"));
    EXPECT_FALSE(dm->EhCampoDaSelecao("CODIGOPRODUTO"));
    {
        TnFormFalso form;
        dm->ConfigurarForm(&form);
        ds.Append();
        Preencher(ds, 300, 1);
        ds.FieldByName("CODIGOEMPRESA").SetAsInteger(2);
        try {
            ds.Post();
            ADD_FAILURE() << "empresa fora da seleção";
        } catch (const EnField &e) {
            EXPECT_EQ(e.Campo(), "CODIGOEMPRESA");
        }
        ds.Cancel();
        dm->ConfigurarForm(nullptr);
    }
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOEMPRESA = 2 and CODIGOPRODUTO = 300"), 0);

    // A product nobody has: the field that names it.
    ds.Append();
    Preencher(ds, 777, 1);
    try {
        ds.Post();
        ADD_FAILURE() << "produto inexistente";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(ErroBanco(e), ebChaveEstrangeira);
        EXPECT_EQ(e.Message(), "O campo \"CODIGOPRODUTO\" tem um valor que não está cadastrado: 777.");
    }
    ds.Cancel();

    // The module may take a refusal as written.
    dm->IgnorarChaveDuplicada = true;
    ds.Append();
    Preencher(ds, 200, 5);
    ds.Post();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 200 and QTDEESTOQUE = 20"), 1);
}

// A delete the database refuses leaves the register on the row the user meant to delete,
// as the database holds it now; a delete that goes through moves on.
TEST_F(CadastroBanco, ExclusaoRecusadaFicaNoRegistro)
{
    ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteCadProduto>("TTesteCadProduto")));
    const auto semClasse = qScopeGuard([] { nUnRegisterClass("TTesteCadProduto"); });
    auto *dm = Criar<TTesteCadProduto>("TTesteCadProduto");
    TnClientDataSet &ds = dm->nClientDataSet();
    dm->Abrir();
    EXPECT_EQ(Valores(ds, "CODIGOPRODUTO"), (QStringList{"100", "200", "300"}));
    ASSERT_TRUE(ds.Locate("CODIGOPRODUTO", 100));
    // Another user renames it meanwhile.
    Sql("update PRODUTO set DESCRPRODUTO = 'Parafuso' where CODIGOEMPRESA = 1 and CODIGOPRODUTO = 100");
    try {
        ds.Delete();
        ADD_FAILURE() << "produto usado por lançamentos";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.Message(), "Este registro não pode ser excluído: ainda é usado por outros registros.");
    }
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(ds.FieldByName("CODIGOPRODUTO").AsInteger(), 100);
    EXPECT_EQ(ds.FieldByName("DESCRPRODUTO").AsString(), "Parafuso");
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(Valores(ds, "CODIGOPRODUTO"), (QStringList{"100", "200", "300"}));

    // The same in the middle of the rows.
    ASSERT_TRUE(ds.Locate("CODIGOPRODUTO", 200));
    EXPECT_THROW(ds.Delete(), EDatabaseError);
    EXPECT_EQ(ds.FieldByName("CODIGOPRODUTO").AsInteger(), 200);

    ASSERT_TRUE(ds.Locate("CODIGOPRODUTO", 300));
    ds.Delete();
    EXPECT_EQ(Valores(ds, "CODIGOPRODUTO"), (QStringList{"100", "200"}));
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOEMPRESA = 1 and CODIGOPRODUTO = 300"), 0);
}

TEST_F(CadastroBanco, SelecaoNovaRelerEConsultaSoLe)
{
    auto *dm = Criar<TTesteCadLcto>("TTesteCadLcto");
    TnClientDataSet &ds = dm->nClientDataSet();
    dm->Abrir();

    Selecao().GetParams("DataInvent").SetValue(QDate(2024, 6, 30));
    ReconfigurarDM("DataInvent", false);
    EXPECT_EQ(Valores(ds, "QTDEESTOQUE"), QStringList{"40"});
    EXPECT_EQ(ExternalVar("gDataInvent"), "30/06/2024");

    // A row in edit keeps its place; the module follows once it is saved.
    ds.First();
    ds.Edit();
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(41);
    Selecao().GetParams("CodigoEstab").SetValue(2);
    Selecao().GetParams("DataInvent").SetValue("31/03/2024");
    ReconfigurarDM("CodigoEstab", true);
    EXPECT_EQ(ds.State(), dsEdit);
    ds.Post();
    EXPECT_EQ(Valores(ds, "QTDEESTOQUE"), QStringList{"30"});
    EXPECT_EQ(Linhas("LCTOINV", "QTDEESTOQUE = 41"), 1);

    // A value that does not fit the field is an error, never a condition.
    Selecao().GetParams("CodigoEstab").SetValue("1 or 1=1");
    EXPECT_THROW(dm->Reabrir(), Exception);
    Selecao().GetParams("CodigoEstab").Clear(); // no value: no condition
    dm->Reabrir();
    EXPECT_EQ(Valores(ds, "QTDEESTOQUE"), (QStringList{"10", "20", "30"}));

    auto *con = Criar<TTesteConLcto>("TTesteConLcto");
    EXPECT_TRUE(con->SomenteLeitura());
    con->Abrir();
    EXPECT_EQ(con->nClientDataSet().RecordCount(), 4);
    EXPECT_THROW(con->nClientDataSet().Append(), Exception);
    EXPECT_THROW(con->nClientDataSet().Edit(), Exception);
    EXPECT_THROW(con->nClientDataSet().Delete(), Exception);
    QVariantList params;
    EXPECT_EQ(con->TextoComando(params), "select * from (" + QString::fromLatin1(kSQLLcto) + ") t_q where t_q.CODIGOEMPRESA = ?");
    EXPECT_EQ(params, QVariantList{QVariant(qlonglong(1))});
}

TEST_F(CadastroBanco, DetalheCopiaAChaveESegueOMestre)
{
    auto *mestre = Criar<TTesteCadLcto>("TTesteCadLcto");
    TnClientDataSet &m = mestre->nClientDataSet();
    mestre->Abrir();
    QPointer<TnDMClientDataSet> det = mestre->CriarDetalhe("TTesteCadProp", "CODIGOEMPRESA; CODIGOESTAB;DATAINVENT;"
                                                                             "CODIGOPRODUTO;MOTIVOINVENTARIO");
    ASSERT_TRUE(det);
    TnClientDataSet &d = det->nClientDataSet();
    EXPECT_EQ(det->DmMaster(), mestre);
    EXPECT_EQ(mestre->Detalhes(), QList<TnDMClientDataSet *>{det.data()});
    EXPECT_EQ(FindGlobalDataModule("TesteCadProp"), nullptr); // a private module without a name

    m.First(); // product 100
    EXPECT_EQ(Valores(d, "SEQ"), (QStringList{"1", "2"}));
    m.Next(); // product 200
    EXPECT_EQ(Valores(d, "QUANTIDADE"), QStringList{"20"});

    d.Append();
    EXPECT_EQ(d.FieldByName("CODIGOPRODUTO").AsInteger(), 200);
    EXPECT_EQ(d.FieldByName("DATAINVENT").AsDate(), QDate(2024, 3, 31));
    EXPECT_EQ(d.FieldByName("INDICADORPROPRIEDADE").AsInteger(), 0);
    d.FieldByName("SEQ").SetAsInteger(2);
    d.FieldByName("QUANTIDADE").SetAsFloat(1);
    d.FieldByName("PRECOUNIT").SetAsFloat(1);
    d.Post();
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 200 and SEQ = 2"), 1);
    m.First();
    EXPECT_EQ(Valores(d, "SEQ"), (QStringList{"1", "2"}));
    EXPECT_EQ(Valores(d, "QUANTIDADE"), (QStringList{"4", "6"}));

    // A detail row must belong to the master's row.
    d.Append();
    d.FieldByName("CODIGOPRODUTO").SetAsInteger(300);
    d.FieldByName("SEQ").SetAsInteger(9);
    d.FieldByName("QUANTIDADE").SetAsFloat(1);
    d.FieldByName("PRECOUNIT").SetAsFloat(1);
    EXPECT_THROW(d.Post(), EnField);
    d.Cancel();

    // A new master row has no details yet, and takes none until it is saved.
    m.Append();
    EXPECT_TRUE(d.IsEmpty());
    EXPECT_THROW(d.Append(), Exception);
    Preencher(m, 300, 1);
    m.Post();
    EXPECT_TRUE(d.IsEmpty());
    d.Append();
    EXPECT_EQ(d.FieldByName("CODIGOPRODUTO").AsInteger(), 300);
    d.Cancel();

    // Deleting the master row takes its details (the database cascades) and moves on.
    ASSERT_TRUE(m.Locate("CODIGOPRODUTO", 100));
    m.Delete();
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 100"), 0);
    EXPECT_EQ(m.FieldByName("CODIGOPRODUTO").AsInteger(), 200);
    EXPECT_EQ(Valores(d, "SEQ"), (QStringList{"1", "2"}));

    // Refreshing the master reads its details again, also when it stays on its row.
    Sql("update LCTOINVPROPRIEDADE set QUANTIDADE = 7 where CODIGOPRODUTO = 200 and SEQ = 1");
    AtualizarDM("ttestecadlcto");
    EXPECT_EQ(Valores(d, "QUANTIDADE"), (QStringList{"7", "1"}));

    // The detail goes with its master.
    DestruirDM(mestre);
    EXPECT_TRUE(det.isNull());
}

// Rows typed one after another take the master's and the selection's values as they are
// at each row: a master that moved or changed in place, a selection set again, pinned or
// emptied between two rows.
TEST_F(CadastroBanco, NovasLinhasSeguemMestreESelecaoQueMudam)
{
    auto *mestre = Criar<TTesteCadLcto>("TTesteCadLcto");
    TnClientDataSet &m = mestre->nClientDataSet();
    mestre->Abrir();
    TnDMClientDataSet *det = mestre->CriarDetalhe("TTesteCadProp", kChaveLcto);
    det->SetAplicarAoGravar(false);
    TnClientDataSet &d = det->nClientDataSet();
    const auto digitar = [&](int seq) {
        d.Append();
        d.FieldByName("SEQ").SetAsInteger(seq);
        d.FieldByName("QUANTIDADE").SetAsFloat(1);
        d.FieldByName("PRECOUNIT").SetAsFloat(1);
    };

    ASSERT_TRUE(m.Locate("CODIGOPRODUTO", 100));
    digitar(3);
    d.Post();
    digitar(4);
    d.Post();
    EXPECT_EQ(d.FieldByName("CODIGOPRODUTO").AsInteger(), 100);
    // Moving the master writes the rows kept so far; the next one hangs from the new row.
    ASSERT_TRUE(m.Locate("CODIGOPRODUTO", 200));
    digitar(5);
    EXPECT_EQ(d.FieldByName("CODIGOPRODUTO").AsInteger(), 200);
    d.Post();
    det->AplicarAlteracoes();
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 100 and SEQ in (3, 4)"), 2);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 200 and SEQ = 5"), 1);

    // The master's row changed in place: the row typed before no longer belongs to it, a
    // new one takes what it holds now, and what it held again once the change is undone.
    digitar(6);
    m.Edit();
    m.FieldByName("MOTIVOINVENTARIO").SetAsInteger(5);
    EXPECT_THROW(d.Post(), EnField);
    d.Cancel();
    d.Append();
    EXPECT_EQ(d.FieldByName("MOTIVOINVENTARIO").AsInteger(), 5);
    d.Cancel();
    m.Cancel();
    digitar(6);
    EXPECT_EQ(d.FieldByName("MOTIVOINVENTARIO").AsInteger(), 1);
    d.Post();
    det->AplicarAlteracoes();
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 200 and SEQ = 6 and MOTIVOINVENTARIO = 1"), 1);

    // The selection set again without re-reading, pinned for the register, let go, emptied.
    const auto estabDoNovo = [&] {
        m.Append();
        const QVariant v = m.FieldByName("CODIGOESTAB").AsVariant();
        m.Cancel();
        return v;
    };
    EXPECT_EQ(estabDoNovo().toInt(), 1);
    Selecao().GetParams("CodigoEstab").SetValue(2);
    EXPECT_EQ(estabDoNovo().toInt(), 2);
    mestre->FixarSelecao("CodigoEstab", 3);
    EXPECT_EQ(estabDoNovo().toInt(), 3);
    mestre->SoltarSelecao("CodigoEstab");
    EXPECT_EQ(estabDoNovo().toInt(), 2);
    Selecao().GetParams("CodigoEstab").Clear();
    EXPECT_TRUE(EhNulo(estabDoNovo()));
    mestre->SetVerificaSelecaoManual("CodigoEmpresa");
    Selecao().GetParams("CodigoEstab").SetValue(1);
    EXPECT_TRUE(EhNulo(estabDoNovo()));
}

TEST_F(CadastroBanco, AtualizarNumaLinhaAlemDaPrimeiraSegueSoALinhaEmQueFica)
{
    auto *mestre = Criar<TTesteCadLcto>("TTesteCadLcto");
    TnClientDataSet &m = mestre->nClientDataSet();
    mestre->Abrir();
    auto *det = dynamic_cast<TTesteCadProp *>(mestre->CriarDetalhe("TTesteCadProp", kChaveLcto));
    ASSERT_NE(det, nullptr);
    ASSERT_TRUE(m.Locate("CODIGOPRODUTO", 200));
    Sql("update LCTOINVPROPRIEDADE set QUANTIDADE = 21 where CODIGOPRODUTO = 200");
    mestre->Chamadas.clear();
    mestre->Rolagens.clear();
    det->Lidas.clear();
    // Reading again starts on the first row (product 100) and finds product 200 again:
    // the hook, the fields' settings and the details follow product 200 only, once.
    AtualizarDM("ttestecadlcto");
    EXPECT_EQ(m.FieldByName("CODIGOPRODUTO").AsInteger(), 200);
    EXPECT_EQ(mestre->Rolagens, QStringList{"200"});
    EXPECT_EQ(mestre->Chamadas.count("ConfigurarCampo"), 1);
    EXPECT_EQ(det->Lidas, QStringList{"200"});
    EXPECT_EQ(Valores(det->nClientDataSet(), "QUANTIDADE"), QStringList{"21"});
    // On the first row: once, on it.
    m.First();
    mestre->Rolagens.clear();
    det->Lidas.clear();
    AtualizarDM("ttestecadlcto");
    EXPECT_EQ(mestre->Rolagens, QStringList{"100"});
    EXPECT_EQ(det->Lidas, QStringList{"100"});
}

TEST_F(CadastroBanco, FormularioRecebeOsGanchosEFechaOModulo)
{
    TnInteracaoTeste usuario;
    QPointer<TTesteCadLcto> dm = Criar<TTesteCadLcto>("TTesteCadLcto");
    TnFormFalso form;
    form.AoFechar = [&] {
        bool pode = true;
        dm->FormCloseQuery(&form, pode);
        if (pode)
            dm->FormFechado();
    };
    dm->Abrir();
    dm->Chamadas.clear();
    bool construiu = false;
    dm->ConfigurarForm(&form, [&] {
        construiu = true;
        dm->Chamadas << "controles";
    });
    EXPECT_TRUE(construiu);
    EXPECT_EQ(dm->Chamadas.mid(0, 3), (QStringList{"AntesConfigurar", "controles", "DepoisConfigurar"}));
    EXPECT_EQ(dm->Form(), &form);
    EXPECT_EQ(form.Chamadas.last(), "Atualizar:");

    dm->HabilitarCampo("codigoestab", false);
    EXPECT_FALSE(dm->FieldByName("CODIGOESTAB").Def().Habilitado);
    dm->RequererCampo("VALORICMS", false);
    EXPECT_FALSE(dm->FieldByName("VALORICMS").Required());
    EXPECT_EQ(form.Com("Atualizar:C").join(','), "Atualizar:CODIGOESTAB");
    dm->SairDoCampo("datainvent");
    EXPECT_EQ(dm->Chamadas.last(), "Saiu:DATAINVENT");
    EXPECT_FALSE(dm->GetFormInsercao());
    form.EstaInserindo = true;
    EXPECT_TRUE(dm->GetFormInsercao());

    // Detail pages go through the form.
    dm->CriarDetalheEmPage("TTesteCadProp", "Propriedade (&3)", kChaveLcto, "Detalhe");
    EXPECT_NE(FindGlobalDataModule("Detalhe"), nullptr);
    EXPECT_EQ(form.Com("Tab:"), QStringList{"Tab::Propriedade (&3)"});
    EXPECT_EQ(form.Com("Detalhe:"), QStringList{"Detalhe:tab_Propriedade (&3)"});

    // Closing with a changed row asks first.
    TnClientDataSet &ds = dm->nClientDataSet();
    ds.First();
    ds.Edit();
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(12);
    usuario.Responder(mbCancel, "Deseja gravar");
    dm->FecharForm();
    ASSERT_FALSE(dm.isNull());
    EXPECT_EQ(ds.State(), dsEdit);
    usuario.Responder(mbYes);
    dm->FecharForm();
    EXPECT_EQ(Linhas("LCTOINV", "QTDEESTOQUE = 12"), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dm.isNull());
    EXPECT_EQ(FindGlobalDataModule("Detalhe"), nullptr);
}

} // namespace
