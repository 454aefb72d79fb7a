// The property lines of an inventory entry and their tax-situation lines as the program
// loads them (OrvoCore, by class name): menu actions, the participant rule without a form,
// the settings-driven formats, the CST rule of the period and its scripted lookup, and the
// round trip entry -> property line -> CST line under a small entries register.
#include "Acoes.h"
#include "DMClientDataSet.h"
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "LctoInvTeste.h"

#include <QMetaObject>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

const char *const kChaveLcto = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO";

// A small entries register: only the key of LCTOINV, enough to be a master and to delete.
const TnDefCadastro kMestre{
    .SQL = "Select t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO "
           "from LCTOINV t_t order by t_t.CODIGOPRODUTO",
    .Tabela = "LCTOINV",
    .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true},
               {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true},
               {.Nome = "DATAINVENT", .Tipo = ftDate, .Requerido = true},
               {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Requerido = true},
               {.Nome = "MOTIVOINVENTARIO", .Tipo = ftSmallint, .Requerido = true}},
    .Chave = kChaveLcto,
    .Caption = "Lançamentos",
};

class TTesteMestreLcto : public TnDMClientDataSet {
public:
    TTesteMestreLcto() : TnDMClientDataSet(kMestre) {}
    static QString PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa;CodigoEstab;DataInvent"); }
};

class LctoInvPropriedadeBanco : public BancoLctoInv {
protected:
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(RegistrarClasse<TTesteMestreLcto>("TTesteMestreLcto"));
        for (int p : {100, 200})
            con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, ?)",
                           {p, QStringLiteral("Produto %1").arg(p)});
        for (const char *d : {"2012-12-31", "2013-01-01"})
            for (int p : {100, 200})
                con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                               "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                               "values (1, 1, ?, ?, 1, 10, 2.5, '2013-01-02 08:00:00', 1, 2)",
                               {QString::fromLatin1(d), p});
    }
    QDate DataInventario() const override { return QDate(2012, 12, 31); }
    void Propriedade(int produto, int seq, int indicador)
    {
        con().Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                       "values (1, 1, '2012-12-31', ?, 1, ?, ?, 5, 2)",
                       {produto, seq, indicador});
    }
    // A new property line of product 100 (the selection fills company, branch and date).
    static void NovaLinha(TnDMClientDataSet *dm, int indicador)
    {
        TnClientDataSet &ds = dm->nClientDataSet();
        ds.Append();
        ds.FieldByName("CODIGOPRODUTO").SetAsInteger(100);
        ds.FieldByName("MOTIVOINVENTARIO").SetAsInteger(1);
        ds.FieldByName("INDICADORPROPRIEDADE").SetAsInteger(indicador);
        ds.FieldByName("QUANTIDADE").SetAsFloat(3);
        ds.FieldByName("PRECOUNIT").SetAsFloat(1.25);
    }
};

} // namespace

TEST_F(LctoInvPropriedadeBanco, AcoesDoMenuEClasses)
{
    TnActionList &acoes = AcoesDoMenu();
    struct Esperado {
        const char *Acao, *Categoria, *Caption;
        int Imagem;
        bool Direito;
        int Tipo;
    };
    const Esperado esperados[] = {
        {"actTOrvoDMLctoInvPropriedade", "02 Movimentos", "Lançamentos do Inventário - Propriedade", 100, true, 1},
        {"actTOrvoDCLctoInvPropriedade", "02 Movimentos\\00 Consultas", "Lançamentos do Inventário - Propriedade", -1,
         false, 2},
        {"actTOrvoDMLctoInvCST", "02 Movimentos", "Lançamentos do Inventário - CST", 100, false, 1},
        {"actTOrvoDMLctoInvCSTProc", "02 Movimentos", "Lançamentos do Inventário - CST", 100, false, 1},
        {"actTOrvoDCLctoInvCST", "02 Movimentos\\00 Consultas", "Lançamentos do Inventário - CST", -1, false, 2},
    };
    for (const Esperado &e : esperados) {
        SCOPED_TRACE(e.Acao);
        TnAction *a = acoes.Acao(QString::fromLatin1(e.Acao));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->Name(), QString::fromLatin1(e.Acao));
        EXPECT_EQ(a->Category(), QString::fromUtf8(e.Categoria));
        EXPECT_EQ(a->Caption(), QString::fromUtf8(e.Caption));
        EXPECT_EQ(a->MenuIndex(), 1);
        EXPECT_EQ(a->ImageIndex(), e.Imagem);
        EXPECT_EQ(a->ControlaDireito(), e.Direito);
        EXPECT_FALSE(a->ChecarSelecao());
        EXPECT_EQ(Registro().Classe(a->NomeClasse())->PegarTipoObjeto(), e.Tipo);
    }
    // The property register's master is the entries register's action.
    EXPECT_EQ(acoes.Acao("actTOrvoDMLctoInvPropriedade")->HashMestre(),
              TnActionList::GetHashComp("actTOrvoDMLctoInv"));
    EXPECT_EQ(acoes.Acao("actTOrvoDMLctoInvCST")->HashMestre(), 0u);
    EXPECT_EQ(acoes.Acao("actTOrvoDMLctoInvPropriedade")->VerificaSelecao(), "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT");
    EXPECT_EQ(acoes.Acao("actTOrvoDMLctoInvCSTProc")->VerificaSelecao(), "CodigoEmpresa;CodigoEstab;DataInvent");

    TnActionList outras;
    outras.GerarPrincAction(TnEventoAcao(), Modulos({0}));
    EXPECT_EQ(outras.Acao("actTOrvoDMLctoInvPropriedade"), nullptr);
}

TEST_F(LctoInvPropriedadeBanco, ParticipanteSegueOValorSemFormulario)
{
    con().Executar("insert into PESSOA (CODIGOPESSOA, NOMEPESSOA) values (7, 'Depositário')");
    TnDMClientDataSet *dm = AbrirDM("TOrvoDMLctoInvPropriedade");
    TnClientDataSet &ds = dm->nClientDataSet();
    const TnField &part = ds.FieldByName("CODIGOPESSOAPART");

    // A third party's stock needs the participant.
    NovaLinha(dm, 1);
    EXPECT_TRUE(part.Required());
    EXPECT_TRUE(part.Def().Habilitado);
    EXPECT_THROW(ds.Post(), EnField);
    ds.FieldByName("CODIGOPESSOAPART").SetAsInteger(7);
    ds.Post();
    EXPECT_EQ(ds.FieldByName("SEQ").AsInteger(), 1); // numbered within the entry

    // Back to own stock: optional and disabled again.
    ds.Edit();
    ds.FieldByName("INDICADORPROPRIEDADE").SetAsInteger(0);
    EXPECT_FALSE(part.Required());
    EXPECT_FALSE(part.Def().Habilitado);
    ds.FieldByName("CODIGOPESSOAPART").Clear();
    ds.Post();

    // The control's text goes through the value list: what counts is the value it sets.
    NovaLinha(dm, 0);
    EXPECT_EQ(ds.FieldByName("PRECOUNIT").AsFloat(), 1.25);
    ds.FieldByName("INDICADORPROPRIEDADE").SetText(QString::fromUtf8("Estoque de Terceiros em poder do Contribuinte"));
    EXPECT_EQ(ds.FieldByName("INDICADORPROPRIEDADE").AsInteger(), 2);
    EXPECT_TRUE(part.Required());
    ds.FieldByName("CODIGOPESSOAPART").SetAsInteger(7);
    ds.Post();
    EXPECT_EQ(ds.FieldByName("SEQ").AsInteger(), 2);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 100 and CODIGOPESSOAPART = 7"), 1);

    // Moving to a line of indicator 1 applies the rule to that line.
    ds.First();
    EXPECT_FALSE(part.Required());
    ds.Last();
    EXPECT_TRUE(part.Required());
}

TEST_F(LctoInvPropriedadeBanco, FormatosDasCasasDaEmpresa)
{
    con().Executar("update CFGEMPRESAINV set QTDECASADECIMALQTD = 3, QTDECASADECIMAL = 5 where CODIGOEMPRESA = 1");
    Propriedade(100, 1, 0);
    TnDMClientDataSet *dm = AbrirDM("TOrvoDMLctoInvPropriedade");
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").DisplayFormat(), "#,##0.000");
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").EditFormat(), "#,##0.000");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").DisplayFormat(), "#,##0.00000");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").EditFormat(), "#,##0.00000");
    // Read again at every configuration; no settings row gives 2 and 2.
    con().Executar("delete from CFGEMPRESAINV where CODIGOEMPRESA = 1");
    dm->Configurar();
    EXPECT_EQ(dm->FieldByName("QUANTIDADE").DisplayFormat(), "#,##0.00");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").DisplayFormat(), "#,##0.00");
}

TEST_F(LctoInvPropriedadeBanco, CstDoPeriodoEEscolhaRoteirizada)
{
    Propriedade(100, 1, 0);
    TnDMClientDataSet *dm = AbrirDM("TOrvoDMLctoInvCST");
    TnClientDataSet &ds = dm->nClientDataSet();
    auto nova = [&ds](int cst) {
        ds.Append();
        ds.FieldByName("CODIGOPRODUTO").SetAsInteger(100);
        ds.FieldByName("MOTIVOINVENTARIO").SetAsInteger(1);
        ds.FieldByName("SEQ").SetAsInteger(1);
        ds.FieldByName("CST").SetAsInteger(cst);
        ds.FieldByName("BASECALCULO").SetAsFloat(100);
        ds.FieldByName("VALORIMPOSTO").SetAsFloat(18);
    };
    // 31 December 2012: CST 0 is "000" of the list; 4 ("004") is no code of the time.
    nova(4);
    try {
        ds.Post();
        FAIL() << "CST 4 accepted before 2013";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "CST");
        EXPECT_EQ(e.Message(), QString::fromUtf8("CST inválida para o período! Utilize a consulta para ver os "
                                                  "valores válidos para o período."));
    }
    EXPECT_EQ(ds.State(), dsInsert); // the line stays in edit
    ds.FieldByName("CST").SetAsInteger(0);
    ds.Post();
    EXPECT_EQ(Linhas("LCTOINVCST", "CST = 0"), 1);

    // The lookup button: the user's choice goes into CST, the row into edit.
    {
        TnInteracaoTeste usuario;
        usuario.Escolher("041");
        ASSERT_TRUE(QMetaObject::invokeMethod(dm, "nClientDataSetCSTDefIntButtonClick"));
        EXPECT_EQ(ds.State(), dsEdit);
        EXPECT_EQ(ds.FieldByName("CST").AsInteger(), 41);
        ds.Cancel();
        usuario.Escolher(QString()); // nothing chosen: nothing changes
        ASSERT_TRUE(QMetaObject::invokeMethod(dm, "nClientDataSetCSTDefIntButtonClick"));
        EXPECT_EQ(ds.State(), dsBrowse);
        EXPECT_EQ(ds.FieldByName("CST").AsInteger(), 0);
        EXPECT_EQ(usuario.ListasOferecidas.size(), 2);
    }

    // 1 January 2013: any code.
    DestruirDM(dm);
    con().Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                   "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                   "values (1, 1, '2013-01-01', 100, 1, 1, 0, 5, 2)");
    SelecionarData(QDate(2013, 1, 1));
    dm = AbrirDM("TOrvoDMLctoInvCSTProc");
    TnClientDataSet &proc = dm->nClientDataSet();
    EXPECT_TRUE(proc.IsEmpty()); // only the selected date's lines
    proc.Append();
    proc.FieldByName("CODIGOPRODUTO").SetAsInteger(100);
    proc.FieldByName("MOTIVOINVENTARIO").SetAsInteger(1);
    proc.FieldByName("SEQ").SetAsInteger(1);
    proc.FieldByName("CST").SetAsInteger(4);
    proc.FieldByName("BASECALCULO").SetAsFloat(1);
    proc.FieldByName("VALORIMPOSTO").SetAsFloat(0);
    proc.Post();
    EXPECT_EQ(Linhas("LCTOINVCST", "CST = 4 and DATAINVENT = '2013-01-01'"), 1);
}

TEST_F(LctoInvPropriedadeBanco, IdaEVoltaLctoPropriedadeCstEExclusaoEmCascata)
{
    Propriedade(200, 1, 0);
    TnDMClientDataSet *mestre = AbrirDM("TTesteMestreLcto");
    TnClientDataSet &m = mestre->nClientDataSet();
    QPointer<TnDMClientDataSet> prop = mestre->CriarDetalhe("TOrvoDMLctoInvPropriedade", kChaveLcto);
    ASSERT_TRUE(prop);
    TnFormFalso form;
    prop->ConfigurarForm(&form);
    ASSERT_EQ(prop->Detalhes().size(), 1);
    QPointer<TnDMClientDataSet> cst = prop->Detalhes().first();
    EXPECT_EQ(cst->ClassName(), "TOrvoDMLctoInvCST");
    EXPECT_EQ(cst->CamposLink(), "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO;SEQ");

    // The entry of product 100: a property line numbered 1, then a CST line under it.
    ASSERT_TRUE(m.Locate("CODIGOPRODUTO", 100));
    EXPECT_TRUE(prop->nClientDataSet().IsEmpty());
    NovaLinha(prop, 0);
    EXPECT_EQ(prop->FieldByName("SEQ").AsInteger(), 1);
    prop->nClientDataSet().Post();
    TnClientDataSet &c = cst->nClientDataSet();
    c.Append();
    EXPECT_EQ(c.FieldByName("CODIGOPRODUTO").AsInteger(), 100);
    EXPECT_EQ(c.FieldByName("SEQ").AsInteger(), 1);
    EXPECT_EQ(c.FieldByName("DATAINVENT").AsDate(), QDate(2012, 12, 31));
    c.FieldByName("CST").SetText(QStringLiteral("060")); // typed as the code reads
    EXPECT_EQ(c.FieldByName("CST").Text(), "060");
    EXPECT_EQ(c.FieldByName("CST").DisplayText(), "060");
    c.FieldByName("BASECALCULO").SetAsFloat(3.75);
    c.FieldByName("VALORIMPOSTO").SetAsFloat(0.68);
    c.Post();
    EXPECT_EQ(Linhas("LCTOINVCST", "CODIGOPRODUTO = 100 and SEQ = 1 and CST = 60"), 1);

    // The other entry shows its own line and no CST lines; back again, ours.
    m.Next();
    EXPECT_EQ(prop->nClientDataSet().RecordCount(), 1);
    EXPECT_TRUE(c.IsEmpty());
    m.Prior();
    EXPECT_EQ(c.FieldByName("CST").AsInteger(), 60);

    // Deleting the entry takes its property and CST lines with it.
    m.Delete();
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 100"), 0);
    EXPECT_EQ(Linhas("LCTOINVCST", "CODIGOPRODUTO = 100"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 200"), 1);

    // The CST register may go first; the property register then finds it gone.
    DestruirDM(cst.data());
    EXPECT_TRUE(cst.isNull());
    DestruirDM(mestre);
    EXPECT_TRUE(prop.isNull());
}

TEST_F(LctoInvPropriedadeBanco, ConsultasComDescricaoDoProduto)
{
    Propriedade(200, 1, 0);
    Propriedade(100, 1, 1);
    con().Executar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                   "SEQ, CST, BASECALCULO, VALORIMPOSTO) values (1, 1, '2012-12-31', 200, 1, 1, 10, 5, 1)");
    TnDMClientDataSet *dc = AbrirDM("TOrvoDCLctoInvPropriedade");
    TnClientDataSet &ds = dc->nClientDataSet();
    ASSERT_EQ(ds.RecordCount(), 2);
    ds.First();
    EXPECT_EQ(ds.FieldByName("DESCRPRODUTO").AsString(), "Produto 100");
    EXPECT_TRUE(dc->SomenteLeitura());
    EXPECT_FALSE(ds.FieldByName("MOTIVOINVENTARIO").Def().TemListaValores());
    EXPECT_TRUE(ds.FieldByName("SEQ").Required());
    TnDMClientDataSet *cc = AbrirDM("TOrvoDCLctoInvCST");
    ASSERT_EQ(cc->nClientDataSet().RecordCount(), 1);
    EXPECT_EQ(cc->FieldByName("DESCRPRODUTO").AsString(), "Produto 200");
    EXPECT_TRUE(cc->FieldByName("SEQ").Required());
    SelecionarData(QDate(2013, 1, 1));
    cc->Abrir();
    EXPECT_TRUE(cc->nClientDataSet().IsEmpty());
}
