// The property and tax-situation maintenance processes as the program loads them: their
// actions, the rules between their parameters, the mass change of indicator or account, the
// creation of missing property lines and the tax-situation lines written through the
// register, each with its failures.
#include "Acoes.h"
#include "FormFalso.h"
#include "OrvoDPManutencaoLctoInventario_U.h"
#include "MuitosLancamentos.h"
#include "ProcessoInvTeste.h"

namespace {

const QDate kMarco(2024, 3, 31);

class ManutencaoPropriedadeBanco : public BancoProcessoInv {
protected:
    // "branch|product|reason|seq|indicator|account" of every property line, by key.
    QStringList Propriedades()
    {
        return Tabela("select CODIGOESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, CONTACTB "
                      "from LCTOINVPROPRIEDADE order by CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ");
    }
    // The mass change with its filters; the other parameters empty.
    QStringList Alterar(const QVariantMap &valores)
    {
        TnDMPowerParam *dp = Processo("TOrvoDPManutencaoLctoProp");
        dp->Param("pCodigoEmpresa").SetValue(1);
        dp->Param("pCodigoEstab").SetValue(1);
        for (auto it = valores.cbegin(); it != valores.cend(); ++it)
            dp->SetParamText(it.key(), it.value().toString());
        dp->Rodar();
        const QStringList r = Relatorio(dp);
        DestruirDM(dp);
        return r;
    }
    // Two entries of product 1 (reasons 1 and 2) with two and one lines, product 2 of
    // another group, product 1 in branch 2 and in another month.
    void LinhasDeMarco(const QVariant &conta = QVariant())
    {
        Produto(1, 10);
        Produto(2, 20);
        for (int motivo : {1, 2})
            Lcto(1, kMarco, 1, motivo);
        Lcto(1, kMarco, 2, 1);
        Lcto(2, kMarco, 1, 1);
        Lcto(1, QDate(2024, 4, 30), 1, 1);
        Prop(1, kMarco, 1, 1, 1, 0, conta);
        Prop(1, kMarco, 1, 1, 2, 1);
        Prop(1, kMarco, 1, 2, 1, 0, conta);
        Prop(1, kMarco, 2, 1, 1, 0, conta);
        Prop(2, kMarco, 1, 1, 1, 0, conta);
        Prop(1, QDate(2024, 4, 30), 1, 1, 1, 0, conta);
    }
};

} // namespace

TEST_F(ManutencaoPropriedadeBanco, AcoesDosTresProcessos)
{
    TnActionList &acoes = AcoesDoMenu();
    const struct {
        const char *classe, *caption;
        int indice;
        const char *selecao;
    } esperadas[] = {
        {"TOrvoDPManutencaoLctoProp", "Manutenção Dados do Lançamento de Propriedade", 90, "CodigoEmpresa"},
        {"TOrvoDPManutencaoLctoInventario", "Manutenção Lançamentos do Inventário - CST", 100, ""},
        {"TOrvoDPIncluirLCTOINVPROPRIEDADE", "Incluir Dados dos Lançamentos de Propriedade", 110, ""},
    };
    for (const auto &e : esperadas) {
        const TnAction *a = acoes.Acao(QStringLiteral("act") + e.classe);
        ASSERT_NE(a, nullptr) << e.classe;
        EXPECT_EQ(a->Category(), QString::fromUtf8("40 Utilitários"));
        EXPECT_EQ(a->Caption(), QString::fromUtf8(e.caption));
        EXPECT_EQ(a->MenuIndex(), e.indice);
        EXPECT_EQ(a->VerificaSelecao(), QString::fromLatin1(e.selecao));
        TnDMPowerParam *dp = Processo(e.classe);
        EXPECT_EQ(dp->PowerParam().Caption, QString::fromUtf8(e.caption));
    }
    TnDMPowerParam *cst = Processo("TOrvoDPManutencaoLctoInventario");
    EXPECT_TRUE(cst->Mensagens().EhArvore());
    EXPECT_TRUE(cst->Param("pNCM").MultiSelecao());
    EXPECT_EQ(cst->Param("pCompetencia").Hint(), QString::fromUtf8("Informe a competência"));
    EXPECT_FALSE(Processo("TOrvoDPIncluirLCTOINVPROPRIEDADE")->Param("pCodigoEmpresa").Visivel());
}

TEST_F(ManutencaoPropriedadeBanco, RegrasEntreOsParametros)
{
    TnDMPowerParam *dp = Processo("TOrvoDPManutencaoLctoProp");
    TnFormFalso form;
    dp->ConfigurarForm(&form);
    auto estado = [dp](const char *alias) {
        const TnpqParamItem &p = dp->Param(alias);
        return QStringLiteral("%1%2").arg(p.Habilitado() ? "H" : "-", p.Requerido() ? "R" : "-");
    };
    auto contas = [&] {
        return QStringList{estado("pValorContaAtual"), estado("pValorContaNova"), estado("pValorIndAtual"),
                           estado("pValorIndNovo")};
    };
    // Nothing chosen yet: neither accounts nor indicators are asked for.
    EXPECT_EQ(contas(), QStringList({"--", "--", "--", "--"}));
    dp->SetParamText("pAlterarCampos", QString::fromUtf8("Conta Contábil"));
    EXPECT_EQ(contas(), QStringList({"H-", "HR", "--", "--"}));
    EXPECT_TRUE(form.Chamadas.contains("Atualizar:pValorContaNova"));
    dp->Param("pCodigoEmpresa").SetValue(1);
    dp->Param("pCodigoEstab").SetValue(1);
    try {
        dp->Rodar();
        ADD_FAILURE() << "a conta nova é exigida";
    } catch (const EnParam &e) {
        EXPECT_EQ(e.Param(), "pValorContaNova");
    }
    dp->SetParamText("pAlterarCampos", "Indicador de Propriedade");
    EXPECT_EQ(contas(), QStringList({"--", "--", "HR", "HR"}));

    // A group clears the product and takes it out of reach; without the group it is back.
    dp->SetParamText("pProduto", "5");
    dp->SetParamText("pCodigoGrupoProduto", "10");
    EXPECT_TRUE(dp->Param("pProduto").IsNull());
    EXPECT_EQ(estado("pProduto"), "--");
    dp->SetParamText("pCodigoGrupoProduto", "");
    EXPECT_EQ(estado("pProduto"), "H-");

    // The participant is asked for unless the stock is the taxpayer's own.
    TnDMPowerParam *inc = Processo("TOrvoDPIncluirLCTOINVPROPRIEDADE");
    auto participante = [inc] {
        const TnpqParamItem &p = inc->Param("pParticipante");
        return QStringLiteral("%1%2").arg(p.Habilitado() ? "H" : "-", p.Requerido() ? "R" : "-");
    };
    EXPECT_EQ(participante(), "HR");
    inc->SetParamText("pIndicadorPropriedade", QString::fromUtf8("Estoque Próprio"));
    EXPECT_EQ(participante(), "--");
    inc->SetParamText("pIndicadorPropriedade", "Estoque de Terceiros em poder do Contribuinte");
    EXPECT_EQ(participante(), "HR");
}

TEST_F(ManutencaoPropriedadeBanco, IndicadorMudaSoAsLinhasDosFiltros)
{
    LinhasDeMarco();
    const QStringList antes = Propriedades();
    // Sequence 1 of product 1's two reasons in March, branch 1, group 10.
    EXPECT_EQ(Alterar({{"pAlterarCampos", "1"}, {"pValorIndAtual", "0"}, {"pValorIndNovo", "2"}, {"pSeq", "1"},
                       {"pData", "03/2024"}, {"pCodigoGrupoProduto", "10"}}),
              QStringList({"5|Foram alterados 2 registro(s)."}));
    EXPECT_EQ(Propriedades(), QStringList({"1|1|1|1|2|null", "1|1|1|2|1|null", "1|1|2|1|2|null", "1|2|1|1|0|null", "1|1|1|1|0|null",
                                           "2|1|1|1|0|null"}));
    // Without sequence: only the lines whose indicator is the current one (seq 2 is 1).
    EXPECT_EQ(Alterar({{"pAlterarCampos", "1"}, {"pValorIndAtual", "2"}, {"pValorIndNovo", "0"}, {"pProduto", "1"},
                       {"pData", "03/2024"}}),
              QStringList({"5|Foram alterados 2 registro(s)."}));
    EXPECT_EQ(Propriedades(), antes);
    // Nothing meets them: nothing changes.
    EXPECT_EQ(Alterar({{"pAlterarCampos", "1"}, {"pValorIndAtual", "2"}, {"pValorIndNovo", "1"}}),
              QStringList({QString::fromUtf8("1|Não existe nenhum registro para os paramêtros selecinados. ")}));
    EXPECT_EQ(Propriedades(), antes);
}

TEST_F(ManutencaoPropriedadeBanco, ContaAtualZeroSaoAsLinhasSemContaEContaNovaZeroAtingeTodas)
{
    LinhasDeMarco(12345678901LL); // beyond 32 bits
    Prop(1, kMarco, 1, 1, 3, 0); // without an account
    EXPECT_EQ(Alterar({{"pAlterarCampos", "2"}, {"pValorContaAtual", ""}, {"pValorContaNova", "98765432109"},
                       {"pData", "03/2024"}}),
              QStringList({"5|Foram alterados 2 registro(s)."})); // seq 2 and 3 of product 1
    EXPECT_EQ(Alterar({{"pAlterarCampos", "2"}, {"pValorContaAtual", "12345678901"}, {"pValorContaNova", "5"},
                       {"pProduto", "1"}, {"pData", "03/2024"}}),
              QStringList({"5|Foram alterados 2 registro(s)."}));
    EXPECT_EQ(Propriedades(), QStringList({"1|1|1|1|0|5", "1|1|1|2|1|98765432109", "1|1|1|3|0|98765432109",
                                           "1|1|2|1|0|5", "1|2|1|1|0|12345678901", "1|1|1|1|0|12345678901",
                                           "2|1|1|1|0|12345678901"}));
    // A new account 0 takes no current value: every line of the filters gets it.
    EXPECT_EQ(Alterar({{"pAlterarCampos", "2"}, {"pValorContaAtual", "5"}, {"pValorContaNova", "0"},
                       {"pData", "03/2024"}, {"pProduto", "1"}}),
              QStringList({"5|Foram alterados 4 registro(s)."}));
}

TEST_F(ManutencaoPropriedadeBanco, FalhasDaAlteracaoNumaLinhaDeErro)
{
    LinhasDeMarco();
    const QStringList antes = Propriedades();
    const QString erro = QStringLiteral("0|Erro ao processar: ");
    TnDMPowerParam *dp = Processo("TOrvoDPManutencaoLctoProp");
    dp->Param("pCodigoEmpresa").Clear(); // the selection's company taken away
    dp->Param("pCodigoEstab").SetValue(1);
    dp->Param("pAlterarCampos").SetValue("1");
    dp->Param("pValorIndAtual").SetValue("0");
    dp->Param("pValorIndNovo").SetValue("1");
    dp->Rodar(); // no company
    EXPECT_EQ(Relatorio(dp), QStringList({erro + QString::fromUtf8("Código da empresa/filial inválido.")}));
    DestruirDM(dp);

    EXPECT_EQ(Alterar({{"pAlterarCampos", "2"}, {"pValorContaAtual", " 7"}, {"pValorContaNova", "7 "}}),
              QStringList({erro + QString::fromUtf8("O valor da Conta atual deve diferir do nova Conta.")}));
    EXPECT_EQ(Alterar({{"pAlterarCampos", "1"}, {"pValorIndAtual", "2"}, {"pValorIndNovo", "2"}}),
              QStringList({erro + QString::fromUtf8("O Indicador de Atividade atual deve diferir do nova Conta.")}));
    // Texts that are no numbers, quotes included, never reach the statement.
    for (const char *texto : {"1; drop table LCTOINV", "1' or '1'='1"}) {
        const QStringList r = Alterar({{"pAlterarCampos", "2"}, {"pValorContaNova", "3"}, {"pProduto", texto}});
        ASSERT_EQ(r.size(), 1);
        EXPECT_TRUE(r[0].startsWith(erro)) << r[0].toStdString();
    }
    // The database refuses the change: nothing is changed.
    InjetarFalha("LCTOINVPROPRIEDADE", "update", "NEW.SEQ = 2");
    const QStringList r = Alterar({{"pAlterarCampos", "2"}, {"pValorContaNova", "3"}});
    ASSERT_EQ(r.size(), 1);
    EXPECT_TRUE(r[0].startsWith(erro + "Não foi possível atualizar a tabela LCTOINVPROPRIEDADE:\r\n")) << r[0].toStdString();
    EXPECT_TRUE(r[0].contains("falha injetada"));
    EXPECT_EQ(Propriedades(), antes);
}

TEST_F(ManutencaoPropriedadeBanco, InclusaoUmaLinhaPorLancamentoSemPropriedade)
{
    for (qint64 p : {1, 2, 3, 4})
        Produto(p);
    Lcto(1, kMarco, 1, 1, 12.5, 3.2, 7.15);
    Lcto(1, kMarco, 2, 1);
    Lcto(1, kMarco, 3, 1);
    Lcto(1, kMarco, 4, 2); // another reason
    Lcto(2, kMarco, 1, 1); // another branch
    Lcto(1, QDate(2024, 2, 29), 1, 1); // another month
    Prop(1, kMarco, 3, 1, 2, 1); // already has a line
    auto incluir = [this](const QString &indicador, const QString &participante, const QString &conta) {
        // The company comes from the selection; the branch is typed.
        TnDMPowerParam *dp = Processo("TOrvoDPIncluirLCTOINVPROPRIEDADE");
        dp->SetParamText("pCodigoEstab", "1");
        dp->SetParamText("pPeriodo", "03/2024");
        dp->SetParamText("pMotivoInventario", "1");
        dp->SetParamText("pIndicadorPropriedade", indicador);
        dp->SetParamText("pParticipante", participante);
        dp->SetParamText("pContaCtb", conta);
        dp->Rodar();
        const QStringList r = Relatorio(dp);
        DestruirDM(dp);
        return r;
    };
    // Own stock: the participant typed is not written; an empty account is none.
    EXPECT_EQ(incluir("0", "9", " "), QStringList({QString::fromUtf8("5|Incluídos 2 lançamentos"),
                                                   QString::fromUtf8("5|Concluído")}));
    const QStringList criadas = Tabela("select CODIGOPRODUTO, SEQ, INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, "
                                       "QUANTIDADE, PRECOUNIT, VALORIR, DATAINVENT from LCTOINVPROPRIEDADE "
                                       "where CODIGOESTAB = 1 order by CODIGOPRODUTO, SEQ");
    EXPECT_EQ(criadas, QStringList({"1|1|0|null|null|12.5|3.2|7.15|2024-03-31", "2|1|0|null|null|4|2.5|null|2024-03-31",
                                    "3|2|1|7|null|1|2.5|null|2024-03-31"})); // product 3's line untouched
    // A second run finds nothing to do.
    EXPECT_EQ(incluir("2", "9", "12345678901"),
              QStringList({QString::fromUtf8("1|Nenhum lançamento sem propriedade encontrado."),
                           QString::fromUtf8("5|Concluído")}));
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 3);
}

TEST_F(ManutencaoPropriedadeBanco, InclusaoComFalhaNaoGravaNenhumaLinha)
{
    for (qint64 p : {1, 2, 3})
        Produto(p);
    for (qint64 p : {1, 2, 3})
        Lcto(1, kMarco, p, 1);
    InjetarFalha("LCTOINVPROPRIEDADE", "insert", "NEW.CODIGOPRODUTO = 2");
    TnDMPowerParam *dp = Processo("TOrvoDPIncluirLCTOINVPROPRIEDADE");
    dp->Param("pCodigoEmpresa").SetValue(1);
    dp->SetParamText("pPeriodo", "03/2024");
    dp->SetParamText("pCodigoEstab", "1");
    dp->SetParamText("pMotivoInventario", "1");
    dp->SetParamText("pIndicadorPropriedade", "2");
    dp->SetParamText("pParticipante", "9");
    dp->SetParamText("pContaCtb", "4");
    dp->Rodar();
    const QStringList r = Relatorio(dp);
    ASSERT_EQ(r.size(), 3);
    EXPECT_TRUE(r[0].startsWith(QString::fromUtf8("0|Ocorreu um erro na execução: "))) << r[0].toStdString();
    EXPECT_TRUE(r[0].contains("falha injetada"));
    EXPECT_EQ(r.mid(1), QStringList({"1|Processo cancelado", QString::fromUtf8("5|Concluído")}));
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 0);

    // A participant or account that is no number is refused before anything runs.
    dp->SetParamText("pContaCtb", "4'; delete from LCTOINV");
    EXPECT_THROW(dp->Rodar(), EnParam);
    EXPECT_EQ(Linhas("LCTOINV"), 3);
}

// ---- tax-situation lines ----------------------------------------------------------------

namespace {

class ManutencaoCSTBanco : public ManutencaoPropriedadeBanco {
protected:
    // Products 1 to 4 (NCMs "01012100", "1012100", "02023000", none), each with an entry and
    // a property line in March, branch 1; product 1 also in branch 2.
    void SetUp() override
    {
        ManutencaoPropriedadeBanco::SetUp();
        if (IsSkipped())
            return;
        const QVariant ncms[] = {"01012100", "1012100", "02023000", QVariant()};
        const double custos[] = {3.555, 4.555, 5.5, 6.555};
        for (int p = 1; p <= 4; ++p) {
            Produto(p, QVariant(), ncms[p - 1]);
            Lcto(1, kMarco, p, 1);
            Prop(1, kMarco, p, 1, 1, 0, QVariant(), custos[p - 1]);
        }
        Lcto(2, kMarco, 1, 1);
        Prop(2, kMarco, 1, 1, 1, 0);
    }
    QStringList Gerar(const QVariantMap &valores)
    {
        TnDMPowerParam *dp = Processo("TOrvoDPManutencaoLctoInventario");
        dp->SetParamText("pCompetencia", "03/2024");
        for (auto it = valores.cbegin(); it != valores.cend(); ++it)
            dp->SetParamText(it.key(), it.value().toString());
        dp->Rodar();
        const QStringList r = Relatorio(dp);
        DestruirDM(dp);
        // The register the run created is gone with its pending lines.
        EXPECT_EQ(Registro().Instancias("TOrvoDMLctoInvCSTProc").size(), 0);
        return r;
    }
    // "branch|product|seq|cst|base|tax" of every tax-situation line, by key.
    QStringList Csts()
    {
        return Tabela("select CODIGOESTAB, CODIGOPRODUTO, SEQ, CST, BASECALCULO, VALORIMPOSTO from LCTOINVCST "
                      "order by CODIGOESTAB, CODIGOPRODUTO, SEQ, CST");
    }
    const QString kSucesso = QStringLiteral("5|Registros processados com Sucesso");
    const QString kNada =
        QString::fromUtf8("1|Não existe informações no Detalhamento de Propriedade!\r\nNenhum Registro Processado!");
};

} // namespace

TEST_F(ManutencaoCSTBanco, ProdutoOuNCMComoTextoEUmaLinhaPorPropriedade)
{
    // Product 4, or the products of NCM 01012100 (not 1012100: the NCM is a text).
    EXPECT_EQ(Gerar({{"pProduto", "4"}, {"pNCM", "01012100"}, {"pCst", "60"}, {"pAliquota", "18"},
                     {"pCodigoEstab", "1"}}),
              QStringList({kSucesso}));
    // Base: the unit cost to two decimals (3.555 -> 3.56); tax: 18% of that base (0.6408).
    EXPECT_EQ(Csts(), QStringList({"1|1|1|60|3.56|0.64", "1|4|1|60|6.56|1.18"}));
    // A line with a tax situation already (any CST) is skipped; rate 0 gives tax 0.
    con().Executar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                   "SEQ, CST, BASECALCULO, VALORIMPOSTO) values (1, 1, ?, 3, 1, 1, 10, 1, 0)",
                   {kMarco});
    EXPECT_EQ(Gerar({{"pCst", "0"}, {"pAliquota", "0"}, {"pCodigoEstab", ""}}), QStringList({kSucesso}));
    EXPECT_EQ(Csts(), QStringList({"1|1|1|60|3.56|0.64", "1|2|1|0|4.56|0", "1|3|1|10|1|0", "1|4|1|60|6.56|1.18",
                                   "2|1|1|0|2.5|0"}));
    // Nothing left: a second run appends nothing.
    EXPECT_EQ(Gerar({{"pCst", "0"}, {"pAliquota", "0"}, {"pCodigoEstab", ""}}), QStringList({kNada}));
    EXPECT_EQ(Linhas("LCTOINVCST"), 5);
}

TEST_F(ManutencaoCSTBanco, FiltrosQueNadaAcham)
{
    // Quotes and separators in the filters are values, never SQL.
    EXPECT_EQ(Gerar({{"pNCM", "'01012100'' or ''1''=''1'"}, {"pCst", "60"}, {"pAliquota", "1"}}), QStringList({kNada}));
    EXPECT_EQ(Gerar({{"pCodigoEstab", "3-9"}, {"pCst", "60"}, {"pAliquota", "1"}}), QStringList({kNada}));
    // A company or month that cannot be read finds nothing.
    EXPECT_EQ(Gerar({{"pCodigoEmpresa", "um"}, {"pCst", "60"}, {"pAliquota", "1"}}), QStringList({kNada}));
    EXPECT_EQ(Gerar({{"pCompetencia", "13/2024"}, {"pCst", "60"}, {"pAliquota", "1"}}), QStringList({kNada}));
    TnDMPowerParam *dp = Processo("TOrvoDPManutencaoLctoInventario");
    dp->SetParamText("pCompetencia", "03/2024");
    dp->SetParamText("pCst", "60");
    dp->SetParamText("pAliquota", "1");
    dp->SetParamText("pCodigoEstab", "1; drop");
    EXPECT_THROW(dp->Rodar(), EConvertError);
    EXPECT_EQ(Linhas("LCTOINVCST"), 0);
}

// The CST is a whole number from 0 to 999, refused on its parameter otherwise: nothing
// becomes CST 0 or a negative code. What was typed is quoted up to 60 characters.
TEST_F(ManutencaoCSTBanco, CstForaDeZeroANoveNoveNoveRecusadoNoParametro)
{
    const QString longo = QString(100000, u'1');
    for (const QString &cst : {QStringLiteral("-1"), QStringLiteral("abc"), QStringLiteral("1,5"), QStringLiteral("1000"),
                               QStringLiteral("+5"), longo}) {
        TnDMPowerParam *dp = Processo("TOrvoDPManutencaoLctoInventario");
        dp->SetParamText("pCompetencia", "03/2024");
        dp->SetParamText("pCst", cst);
        dp->SetParamText("pAliquota", "1");
        try {
            dp->Rodar();
            ADD_FAILURE() << cst.left(10).toStdString();
        } catch (const EnParam &e) {
            EXPECT_EQ(e.Param(), "pCst");
            EXPECT_EQ(e.Message(), QString::fromUtf8(OrvoSCstInvalido)
                                       .arg(cst == longo ? QString(60, u'1') + QChar(0x2026) : cst));
        }
        DestruirDM(dp);
    }
    EXPECT_EQ(Linhas("LCTOINVCST"), 0);
    EXPECT_EQ(Gerar({{"pCst", "060"}, {"pAliquota", "0"}, {"pCodigoEstab", "2"}}), QStringList({kSucesso}));
    EXPECT_EQ(Csts(), QStringList({"2|1|1|60|2.5|0"}));
}

TEST_F(ManutencaoCSTBanco, LinhaRecusadaNaoGravaNada)
{
    // Before 2013 the register takes only the codes then in force.
    Produto(9);
    const QDate dezembro(2012, 12, 31);
    for (int estab : {1, 2}) {
        Lcto(estab, dezembro, 9, 1);
        Prop(estab, dezembro, 9, 1, 1, 0);
    }
    TnDMPowerParam *dp = Processo("TOrvoDPManutencaoLctoInventario");
    dp->SetParamText("pCompetencia", "12/2012");
    dp->SetParamText("pCodigoEstab", ""); // every branch, not the selection's
    dp->SetParamText("pCst", "999");
    dp->SetParamText("pAliquota", "abc"); // read as 0
    dp->Rodar();
    QStringList r = Relatorio(dp);
    ASSERT_EQ(r.size(), 1);
    EXPECT_TRUE(r[0].startsWith("0|Erro ao inserir registros\r\nCST inválida para o período!")) << r[0].toStdString();
    EXPECT_EQ(Linhas("LCTOINVCST"), 0);
    // A code in force passes (CST 0 is "000").
    dp->SetParamText("pCst", "0");
    dp->Rodar();
    EXPECT_EQ(Relatorio(dp), QStringList({kSucesso}));
    EXPECT_EQ(Linhas("LCTOINVCST"), 2);

    // The database refuses the third line of March: none of the five is saved.
    InjetarFalha("LCTOINVCST", "insert", "NEW.CODIGOPRODUTO = 3");
    const QStringList falha = Gerar({{"pCst", "60"}, {"pAliquota", "1"}});
    ASSERT_EQ(falha.size(), 1);
    EXPECT_TRUE(falha[0].startsWith("0|Erro ao inserir registros\r\n")) << falha[0].toStdString();
    EXPECT_TRUE(falha[0].contains("falha injetada"));
    EXPECT_EQ(Linhas("LCTOINVCST"), 2);
}

namespace {

// Ten thousand property lines get their tax-situation line through the register in one
// apply: on the server a few exchanges per thousand lines. A line refused in the middle
// leaves none written.
TEST_F(ManutencaoCSTBanco, EmLotesNoServidor)
{
    constexpr int kLinhas = 10000;
    MuitosLancamentos(con(), 1, kMarco, kLinhas);
    Sql("delete from LCTOINVCST");
    InjetarFalha("LCTOINVCST", "insert", "NEW.CODIGOPRODUTO = 106543");
    const QStringList falha = Gerar({{"pCst", "60"}, {"pAliquota", "18"}, {"pCodigoEstab", "1"}});
    ASSERT_EQ(falha.size(), 1);
    EXPECT_TRUE(falha[0].contains("falha injetada")) << falha[0].toStdString();
    EXPECT_EQ(Linhas("LCTOINVCST"), 0);

    RetirarFalha("LCTOINVCST", "insert");
    con().ZerarIdasEVoltas();
    EXPECT_EQ(Gerar({{"pCst", "60"}, {"pAliquota", "18"}, {"pCodigoEstab", "1"}}), QStringList({kSucesso}));
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_LE(con().IdasEVoltas().Total(), 2u * kLinhas / 1000) << con().IdasEVoltas().Total();
    EXPECT_EQ(Linhas("LCTOINVCST", "CST = 60 and BASECALCULO = 2.5 and VALORIMPOSTO = 0.45"), kLinhas);
}

} // namespace
