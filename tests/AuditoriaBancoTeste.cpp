// The six audit rules as the program loads them (OrvoCore, found by their codes): what each
// finds over a range of dates, the messages and keys of their findings, the re-check, and
// opening a finding's entry in the entry register.
#include "Auditoria.h"
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "ProcessoInvTeste.h"

#include <gtest/gtest.h>

namespace {

class AuditoriaBanco : public BancoProcessoInv {
protected:
    void TearDown() override
    {
        FItens.clear(); // the findings and their auditors go before their library
        BancoProcessoInv::TearDown();
    }
    // The findings of rule `codigo` over company 1, branch 1 and the range, kept in FItens,
    // as "label|product|message".
    QStringList Auditar(int codigo, const QDate &ini = QDate(2024, 2, 1), const QDate &fim = QDate(2024, 2, 29))
    {
        const std::shared_ptr<InAuditor> auditor = CriarAuditor(codigo, 1, 1, ini, fim);
        EXPECT_NE(auditor, nullptr);
        FItens = auditor ? auditor->Auditar() : TnItensAuditoria();
        QStringList r;
        for (const auto &i : FItens)
            r << QStringLiteral("%1|%2|%3").arg(i->GetMovimento()).arg(i->GetChaveLcto()).arg(i->GetDescricao());
        return r;
    }
    TnItensAuditoria FItens;
    TnInteracaoTeste FUsuario;
};

const QDate kFev1(2024, 2, 1), kFev15(2024, 2, 15), kFev29(2024, 2, 29);

} // namespace

TEST_F(AuditoriaBanco, CadaRegraAchaSoSuasLinhasNoPeriodoInclusivo)
{
    for (qint64 p : {10, 20, 30, 40, 50})
        Produto(p);
    Lcto(1, kFev1, 10, 1);              // no property line: rule 1 only
    Lcto(1, kFev29, 20, 1, 100, 2.5);   // a line with no account, no CST, other quantity and cost
    Propriedade(1, kFev29, 20, 1, 1, 99, 2.51);
    Lcto(1, kFev15, 30, 2, 100, 2.5);   // a sound line with two CST lines of zero base
    Propriedade(1, kFev15, 30, 2, 2, 100, 2.5, {}, 7);
    Cst(1, kFev15, 30, 2, 2, 0, 0, 0);
    Cst(1, kFev15, 30, 2, 2, 90, 0, 0);
    Lcto(1, QDate(2024, 3, 1), 40, 1);  // outside the range
    Lcto(2, kFev15, 50, 1);             // another branch

    EXPECT_EQ(Auditar(1), QStringList({"Inventário|10|Produto não possui informações de propriedade no período 02/2024."}));
    EXPECT_EQ(FItens[0]->GetChaveJson(),
              R"({"CODIGOESTAB":"1","DATAINVENT":"2024-02-01","CODIGOPRODUTO":"10","MOTIVOINVENTARIO":"1"})");
    EXPECT_EQ(FItens[0]->GetCadastro(), "TOrvoDMLctoInv");
    EXPECT_EQ(Auditar(2), QStringList({"CST|20|Produto não possui informações de CST no período 02/2024 para a "
                                       "sequência 1 das propriedades."}));
    EXPECT_EQ(Auditar(3), QStringList({"Propriedade|20|Produto não possui informações de Conta Contábil no período "
                                       "02/2024 para a sequência 1 das propriedades."}));
    EXPECT_EQ(Auditar(4), QStringList({"Inventário|20|Produto possui diferença na quantidade entre lançamento do "
                                       "inventário e propriedade no período 02/2024 para a sequência 1."}));
    EXPECT_EQ(Auditar(5), QStringList({"Inventário|20|Produto possui diferença no custo unitário entre lançamento do "
                                       "inventário e propriedade no período 02/2024 para a sequência 1."}));
    const QString base = "CST|30|Produto não possui informações de Base de Cálculo no detalhamento da CST no período "
                         "02/2024 para a sequência 2 das propriedades.";
    EXPECT_EQ(Auditar(6), QStringList({base, base}));
    EXPECT_TRUE(Auditar(6, QDate(2024, 1, 1), QDate(2024, 1, 31)).isEmpty());

    // A finding answers only to its own rule; fixed, it re-checks clean.
    Auditar(2);
    const std::shared_ptr<InItemAuditoria> cst = FItens[0];
    EXPECT_FALSE(CriarAuditor(3, 1, 1, kFev1, kFev29)->ValidarItem(*cst));
    EXPECT_FALSE(cst->Validar());
    Cst(1, kFev29, 20, 1, 1, 0, 10, 1);
    EXPECT_TRUE(cst->Validar());
    EXPECT_TRUE(Auditar(2).isEmpty());
}

TEST_F(AuditoriaBanco, QuantidadeComparadaComASomaDasLinhasDoLancamento)
{
    Sql("update CFGEMPRESAINV set QTDECASADECIMALQTD = 4 where CODIGOEMPRESA = 1");
    Produto(10);
    Lcto(1, kFev15, 10, 1, 100);
    Propriedade(1, kFev15, 10, 1, 1, 60, 2.5);
    Propriedade(1, kFev15, 10, 1, 2, 40.00001, 2.5); // equal at 4 decimals
    EXPECT_TRUE(Auditar(4).isEmpty());

    Sql("update LCTOINVPROPRIEDADE set QUANTIDADE = 39 where SEQ = 2");
    const QStringList achados = Auditar(4);
    ASSERT_EQ(achados.size(), 2);
    EXPECT_TRUE(achados[0].endsWith("sequência 1.") && achados[1].endsWith("sequência 2."));
    EXPECT_FALSE(FItens[0]->Validar());
    Sql("update LCTOINVPROPRIEDADE set QUANTIDADE = 40 where SEQ = 2");
    EXPECT_TRUE(FItens[0]->Validar());
    EXPECT_TRUE(FItens[1]->Validar());
}

TEST_F(AuditoriaBanco, AbreOLancamentoDeOutraEmpresaSemMudarAEmpresaAtiva)
{
    Sql("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
    Sql("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (2, 3, 'Filial')");
    Sql("insert into CFGEMPRESAINV (CODIGOEMPRESA) values (2)");
    Sql("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (2, 5000000000, 'Grande')");
    for (int motivo : {1, 2})
        Sql("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
            "PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (2, 3, ?, 5000000000, ?, 4, 2.5, ?, 1, 2)",
            {kFev15, motivo, QDateTime(kFev15, QTime(8, 0))});
    Selecao().GetParams("MOTIVOINVENTARIO").SetValue(6);
    const QString empresaAtiva = ExternalVar(VarFw::gCodigoEmpresaAtiva);

    FItens = CriarAuditor(1, 2, 3, kFev1, kFev29)->Auditar();
    ASSERT_EQ(FItens.size(), 2u);
    EXPECT_EQ(FItens[1]->GetChaveLcto(), 5000000000);
    QStringList noCadastro;
    FUsuario.AoMostrarForm = [&](TnDMFormulario &dm, TnFormFalso &) {
        TnClientDataSet &ds = static_cast<TnDMClientDataSet &>(dm).nClientDataSet();
        for (ds.First(); !ds.Eof(); ds.Next())
            noCadastro << ds.FieldByName("CODIGOEMPRESA").AsString() + "|" + ds.FieldByName("CODIGOPRODUTO").AsString()
                              + "|" + ds.FieldByName("MOTIVOINVENTARIO").AsString();
        return true;
    };
    FItens[1]->AbrirCadastro();
    EXPECT_EQ(FUsuario.FormsMostrados, QStringList({"modal|TOrvoDMLctoInv|Individual"}));
    EXPECT_EQ(noCadastro, QStringList({"2|5000000000|2"}));
    EXPECT_EQ(ExternalVar(VarFw::gCodigoEmpresaAtiva), empresaAtiva);
    EXPECT_EQ(Selecao().GetParams("MOTIVOINVENTARIO").Value(), QVariant(6));
    EXPECT_EQ(Selecao().GetParams("CodigoEstab").AsString(), "3");
    EXPECT_EQ(Selecao().GetParams("DataInvent").AsDate(), kFev15);
    EXPECT_EQ(Selecao().GetParams("CodigoProduto").AsString(), "5000000000");

    // A register that fails is freed all the same, and the failure reaches the caller.
    FUsuario.AoMostrarForm = [](TnDMFormulario &, TnFormFalso &) -> bool { throw Exception("falhou"); };
    EXPECT_THROW(FItens[0]->AbrirCadastro(), Exception);
    EXPECT_EQ(FindGlobalDataModule("Individual"), nullptr);
}

TEST_F(AuditoriaBanco, AtualizaORegistroAbertoDoLancamento)
{
    Produto(10);
    Lcto(1, kFev15, 10, 1, 4);
    SelecionarData(kFev15);
    TnDMClientDataSet *cadastro = AbrirDM("TOrvoDMLctoInv");
    ASSERT_EQ(Auditar(1).size(), 1);
    Sql("update LCTOINV set QTDEESTOQUE = 9");
    FItens[0]->AtualizarCadastro();
    EXPECT_EQ(cadastro->FieldByName("QTDEESTOQUE").AsFloat(), 9);
}

// ---- the audit process -------------------------------------------------------------------

namespace {

class AuditoriaProcessoBanco : public AuditoriaBanco {
protected:
    TnDMPowerParamGrid *Rodar(const QString &codigos, const QString &ini = "02/2024", const QString &fim = "02/2024")
    {
        if (!FDp)
            Criar();
        FDp->SetParamText("pAuditoria", codigos);
        FDp->SetParamText("pCompetInicial", ini);
        FDp->SetParamText("pCompetFinal", fim);
        FDp->Rodar();
        return FDp;
    }
    // The process as its form shows it.
    void Criar()
    {
        FDp = qobject_cast<TnDMPowerParamGrid *>(Processo("TOrvoDPAuditoriaInv"));
        FDp->ConfigurarForm(&FForm);
        // The process declares no selection keys: its branch is typed, never taken from the selection.
        FDp->SetParamText("pCodigoEstab", "1");
    }
    // The grid's rows, one a line, as "T|title" or "label|code|message start".
    std::string Grade()
    {
        QStringList r;
        TnClientDataSet &ds = FDp->nClientDataSet();
        for (ds.First(); !ds.Eof(); ds.Next())
            r << (ds.FieldByName("TITULO").AsInteger() == 1
                      ? "T|" + ds.FieldByName("DESCRICAO").AsString()
                      : ds.FieldByName("MOVIMENTO").AsString() + "|" + ds.FieldByName("CHAVELCTO").AsString() + "|"
                            + ds.FieldByName("DESCRICAO").AsString().left(25));
        return r.join(u'\n').toStdString();
    }
    static std::string Linhas(const QStringList &l) { return l.join(u'\n').toStdString(); }
    // Stands on the finding row whose message starts with `texto` and product is `produto`.
    void IrPara(qint64 produto, const QString &texto)
    {
        TnClientDataSet &ds = FDp->nClientDataSet();
        for (ds.First(); !ds.Eof(); ds.Next())
            if (ds.FieldByName("CHAVELCTO").AsLargeInt() == produto && ds.FieldByName("DESCRICAO").AsString().startsWith(texto))
                return;
        ADD_FAILURE() << "sem a linha " << produto;
    }
    TnFormFalso FForm;
    TnDMPowerParamGrid *FDp = nullptr;
};

const char *const kSemProp = "Inventário|10|Produto não possui inform";

} // namespace

TEST_F(AuditoriaProcessoBanco, RegrasNaOrdemDadaUmaVezETituloSoQuandoAcham)
{
    Produto(10);
    Produto(20);
    Lcto(1, kFev1, 10, 1);             // rule 1
    Lcto(1, kFev29, 20, 1, 4, 2.5);    // rule 2: a sound line without CST
    Propriedade(1, kFev29, 20, 1, 1, 4, 2.5, {}, 7);
    Produto(30);
    Lcto(1, QDate(2024, 3, 1), 30, 1); // outside February

    Rodar("2;1;2;;3");
    EXPECT_EQ(FDp->GridOptions(),
              TnOpcoesGrade({goAutoInsert, goZebrar, goPermitirFiltro, goTotalizarValores, goPermitePaginacao,
                             goColumnHidingEnabled, goGridReadOnly, goExibirNavigator, goMostrarExpandirDetalhesVazios,
                             goCelulaAlturaAutomatica, goHeaderAulturaAutomatica}));
    EXPECT_EQ(Grade(), Linhas({"T|Ausência de informações de CST.", "CST|20|Produto não possui inform",
                                    "T|Ausência de informações de propriedade.", kSemProp}));
    // Every rule, in the list's order; a list ending with ";" runs as well.
    for (const QString &todas : {QString("0"), QString("100;1;2;3;4;5;6;")}) {
        Rodar(todas);
        EXPECT_EQ(Grade(), Linhas({"T|Ausência de informações de propriedade.", kSemProp,
                                        "T|Ausência de informações de CST.", "CST|20|Produto não possui inform"}));
    }
    EXPECT_TRUE(Rodar("0", "03/2024", "02/2024")->nClientDataSet().IsEmpty());
    EXPECT_TRUE(Rodar("3;4;5;6")->nClientDataSet().IsEmpty());

    // What is no month, company or code is refused on its parameter.
    QString param;
    FDp->SetParamText("pCompetInicial", "13/2024");
    EXPECT_FALSE(Falha(FDp, &param).isEmpty());
    EXPECT_EQ(param, "pCompetInicial");
    FDp->SetParamText("pCompetInicial", "02/2024");
    FDp->SetParamText("pCodigoEmpresa", "x");
    EXPECT_FALSE(Falha(FDp, &param).isEmpty());
    EXPECT_EQ(param, "pCodigoEmpresa");
    FDp->SetParamText("pCodigoEmpresa", "1");
    FDp->SetParamText("pAuditoria", "1;a");
    EXPECT_FALSE(Falha(FDp, &param).isEmpty());
    EXPECT_EQ(param, "pAuditoria");
}

TEST_F(AuditoriaProcessoBanco, AbrirRemoveSoOsCorrigidosDoMesmoRotuloEProduto)
{
    Produto(10);
    Produto(20);
    Lcto(1, QDate(2024, 2, 10), 10, 1, 10, 2.5);    // rule 5 (and rule 2: its line has no CST)
    Propriedade(1, QDate(2024, 2, 10), 10, 1, 1, 10, 2.6, {}, 7);
    Lcto(1, QDate(2024, 2, 20), 10, 1);             // rule 1, another date of the same product
    Lcto(1, QDate(2024, 2, 10), 20, 1);             // rule 1, another product
    Rodar("0");
    ASSERT_EQ(FDp->nClientDataSet().RecordCount(), 7);

    // A title row opens nothing.
    FDp->nClientDataSet().First();
    FDp->DBGridDblClick();
    EXPECT_TRUE(FUsuario.FormsMostrados.isEmpty());

    // The user fixes the cost and gives the other date its line: both rows of label
    // "Inventário" and product 10 go, whatever their rule and date; the rest stays.
    IrPara(10, "Produto possui diferença no custo");
    FUsuario.AoMostrarForm = [&](TnDMFormulario &, TnFormFalso &) {
        Sql("update LCTOINVPROPRIEDADE set PRECOUNIT = 2.5");
        Propriedade(1, QDate(2024, 2, 20), 10, 1, 1, 4, 2.5, {}, 7);
        Cst(1, QDate(2024, 2, 20), 10, 1, 1, 0, 10, 1);
        return true;
    };
    FDp->ExecutarAcaoLinha("LctoFis");
    EXPECT_EQ(FUsuario.FormsMostrados, QStringList({"modal|TOrvoDMLctoInv|Individual"}));
    EXPECT_EQ(Grade(), Linhas({"T|Ausência de informações de propriedade.", "Inventário|20|Produto não possui inform",
                                    "T|Ausência de informações de CST.", "CST|10|Produto não possui inform",
                                    "T|Diferença no custo unitário entre lançamento do inventário e propriedade."}));
}

TEST_F(AuditoriaProcessoBanco, FalhaNumaRegraGuardaAsAnterioresEAReverificacao)
{
    Produto(10);
    Produto(20);
    Lcto(1, kFev1, 10, 1);
    Lcto(1, kFev15, 20, 1);
    Sql("alter table LCTOINVPROPRIEDADE rename column CONTACTB to CONTACTBX");
    Criar();
    FDp->SetParamText("pAuditoria", "1;3;2");
    FDp->SetParamText("pCompetInicial", "02/2024");
    FDp->SetParamText("pCompetFinal", "02/2024");
    EXPECT_FALSE(Falha(FDp).isEmpty());
    Sql("alter table LCTOINVPROPRIEDADE rename column CONTACTBX to CONTACTB");
    ASSERT_EQ(FDp->nClientDataSet().RecordCount(), 3); // rule 1: its title and two findings

    IrPara(10, "");
    FUsuario.AoMostrarForm = [&](TnDMFormulario &, TnFormFalso &) {
        Propriedade(1, kFev1, 10, 1, 1, 4, 2.5, {}, 7);
        return true;
    };
    FDp->DBGridDblClick();
    EXPECT_EQ(Grade(), Linhas({"T|Ausência de informações de propriedade.", "Inventário|20|Produto não possui inform"}));
}
