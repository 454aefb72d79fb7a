// The consultation of inventory entries as the program loads it (OrvoCore, by class name):
// its declaration, the filters of a run on both engines, the formats of the company the rows
// come from, the observation word, refused input, and the entry register opened from a row
// and played by a script.
#include "AbrirCadastro.h"
#include "Acoes.h"
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "LctoInvTeste.h"
#include "PowerParam.h"

#include <gtest/gtest.h>

namespace {

const QString kClasse = QStringLiteral("TOrvoDPConsultaLctoInv");

class ConsultaLancamentosBanco : public BancoLctoInv {
protected:
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
        for (const char *sql : {"insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial 2')",
                                "insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 3, 'Filial 3')",
                                "insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (2, 1, 'Matriz')"})
            con().Executar(sql);
        Cfg(1, 2, 2, false, false);
        for (int empresa : {1, 2})
            for (int p : {10, 20, 30})
                Produto(empresa, p, QStringLiteral("Produto %1").arg(p), QStringLiteral("REF%1").arg(p));
    }
    QDate DataInventario() const override { return QDate(2024, 3, 1); }

    // The company's settings rows: decimals of costs and quantities, the model 7 book and
    // references.
    void Cfg(int empresa, int casas, int casasQtd, bool modelo7, bool referencia)
    {
        con().Executar("delete from CFGEMPRESAINV where CODIGOEMPRESA = ?", {empresa});
        con().Executar("delete from CFGEMPRESAULMAR where CODIGOEMPRESA = ?", {empresa});
        con().Executar("insert into CFGEMPRESAINV (CODIGOEMPRESA, QTDECASADECIMAL, QTDECASADECIMALQTD, LANCAICMSRECUP, "
                       "DETALHARPISCOFINSITEM, PERIODOINVENTARIO) values (?, ?, ?, '0', '0', 0)",
                       {empresa, casas, casasQtd});
        con().Executar("insert into CFGEMPRESAULMAR (CODIGOEMPRESA, USAREFERENCIAPROD, LIVROMODELO7) values (?, ?, ?)",
                       {empresa, referencia ? "1" : "0", modelo7 ? "1" : "0"});
    }
    void Produto(int empresa, qint64 codigo, const QString &descricao, const QString &referencia = QString())
    {
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO, REFERENPRODUTO) "
                       "values (?, ?, ?, ?)",
                       {empresa, codigo, descricao, referencia.isEmpty() ? QVariant() : QVariant(referencia)});
    }
    struct L {
        int empresa = 1, estab = 1;
        const char *data = "2024-03-01";
        qint64 produto = 10;
        int motivo = 1;
        double qtde = 1, preco = 1;
        QVariant obs{};
        int usuario = 1;
    };
    void Lcto(const L &l)
    {
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, '2024-04-01 08:00:00', ?, 2)",
                       {l.empresa, l.estab, QString::fromLatin1(l.data), l.produto, l.motivo, l.qtde, l.preco, l.obs,
                        l.usuario});
    }
    // A new consultation shown on the fake form, without the branch and the period it takes
    // from the selection.
    TnDMPowerParamGrid *Abrir()
    {
        auto *dp = qobject_cast<TnDMPowerParamGrid *>(CriarDM(kClasse));
        EXPECT_NE(dp, nullptr);
        if (!dp)
            return nullptr;
        dp->ConfigurarForm(&FForm);
        for (const char *alias : {"pCodigoEstab", "pPeriodoInicial", "pPeriodoFinal"})
            dp->Param(alias).Clear();
        return dp;
    }
    // Runs with the parameters given (alias -> typed text); the grid's rows as
    // "estab|date|product|reason".
    static QStringList Rodar(TnDMPowerParamGrid *dp, const QHash<QString, QString> &params = {})
    {
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            dp->Param(it.key()).SetText(it.value());
        dp->Rodar();
        return Linhas(dp);
    }
    static QStringList Linhas(TnDMPowerParamGrid *dp)
    {
        QStringList r;
        TnClientDataSet &ds = dp->nClientDataSet();
        for (ds.First(); !ds.Eof(); ds.Next())
            r << QStringLiteral("%1|%2|%3|%4")
                     .arg(ds.FieldByName("CODIGOESTAB").AsString(), ds.FieldByName("DATAINVENT").AsString(),
                          ds.FieldByName("CODIGOPRODUTO").AsString(), ds.FieldByName("MOTIVOINVENTARIO").AsString());
        return r;
    }
    static QString Falha(TnDMPowerParamGrid *dp, const QHash<QString, QString> &params, QString *param = nullptr)
    {
        try {
            Rodar(dp, params);
        } catch (const EnParam &e) {
            if (param)
                *param = e.Param();
            return e.Message();
        }
        return QString();
    }
    TnFormFalso FForm;
};

} // namespace

TEST_F(ConsultaLancamentosBanco, DeclaracaoAcaoEColunas)
{
    TnAction *a = AcaoDoMenu("actTOrvoDPConsultaLctoInv");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Category(), "30 Consultas");
    EXPECT_EQ(a->Caption(), QString::fromUtf8("Lançamentos do Inventário"));
    EXPECT_EQ(a->MenuIndex(), 30);
    EXPECT_EQ(a->ShortCut(), "Shift+Ctrl+F8");
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa");

    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    QStringList params;
    for (int i = 0; i < dp->PowerParam().Count(); ++i)
        params << dp->PowerParam().Items(i).Alias() + ":" + dp->PowerParam().Items(i).Caption()
                      + (dp->PowerParam().Items(i).MultiSelecao() ? "*" : "");
    EXPECT_EQ(params, QStringList({"pCodigoEmpresa:Empresa", "pCodigoEstab:Estabelecimento*", "pCodigoProduto:Produto*",
                                   QString::fromUtf8("pPeriodoInicial:Período Inicial"),
                                   QString::fromUtf8("pPeriodoFinal:Período Final"),
                                   QString::fromUtf8("pCodigoUsuario:Usuário"), QString::fromUtf8("pObservacao:Observação")}));
    EXPECT_EQ(dp->Param("pObservacao").Hint(), "Informe uma palavra para busca");
    // A read-only grid whose rows may still be deleted from it (the list only: nothing is
    // written), with every other option of the result grids.
    EXPECT_EQ(dp->GridOptions(),
              TnOpcoesGrade({goAutoInsert, goZebrar, goPermitirFiltro, goPermitirMoverColuna, goPermiteDeletar,
                             goTotalizarValores, goPermitePaginacao, goColumnHidingEnabled, goPermiteAgrupamento,
                             goGridReadOnly, goExibirNavigator, goMostrarExpandirDetalhesVazios,
                             goCelulaAlturaAutomatica, goHeaderAulturaAutomatica}));
    EXPECT_TRUE(dp->DBGridReadOnly());
    EXPECT_TRUE(dp->GridOptions().PodeExcluir());
    EXPECT_FALSE(dp->GridOptions().PodeIncluirAoDescer());
    // It starts with the selection: the active company and the period; the branch and the
    // product, not among its selection keys, start empty.
    auto *nova = qobject_cast<TnDMPowerParamGrid *>(CriarDM(kClasse));
    ASSERT_NE(nova, nullptr);
    EXPECT_EQ(nova->Param("pCodigoEmpresa").AsInteger(), 1);
    EXPECT_TRUE(nova->Param("pCodigoEstab").IsNull());
    EXPECT_EQ(nova->Param("pPeriodoInicial").Text(), "03/2024");
    EXPECT_TRUE(dp->Param("pPeriodoInicial").EhMesAno());

    QStringList colunas;
    const TnClientDataSet &ds = dp->nClientDataSet();
    for (int i = 0; i < ds.FieldCount(); ++i)
        colunas << ds.Fields(i).FieldName() + ":" + ds.Fields(i).DisplayLabel() + (ds.Fields(i).Visible() ? "" : "-");
    EXPECT_EQ(colunas, QStringList({QString::fromUtf8("DATAINVENT:Período"), "CODIGOPRODUTO:Produto",
                                    QString::fromUtf8("DESCRPRODUTO:Descrição"), "QUANTIDADE:Quantidade",
                                    QString::fromUtf8("CUSTOUNIT:Custo Unitário"), "CUSTOTOTAL:Custo Total",
                                    "CODIGOESTAB:Estabelecimento", QString::fromUtf8("OBSERVACAO:Observação-"),
                                    QString::fromUtf8("REFERENCIA:Referência-"), "CODIGOEMPRESA:CODIGOEMPRESA-",
                                    "MOTIVOINVENTARIO:MOTIVOINVENTARIO-"}));
    EXPECT_EQ(ds.FieldByName("CODIGOPRODUTO").DataType(), ftLargeint);
    EXPECT_EQ(ds.FieldByName("DESCRPRODUTO").Size(), 120);

    // The declared open-register action, the form's panels and the row actions.
    auto *abrir = qobject_cast<TnActAbrirCadastro *>(dp->AcaoGrade());
    ASSERT_NE(abrir, nullptr);
    EXPECT_EQ(abrir->Name(), "nActAbriLctoInv");
    EXPECT_EQ(abrir->ClasseCadastro, "TOrvoDMLctoInv");
    EXPECT_FALSE(abrir->Modal);
    EXPECT_FALSE(abrir->ControlaDireito());
    EXPECT_FALSE(abrir->LogBanco);
    EXPECT_EQ(abrir->Mestre, &dp->nClientDataSet());
    EXPECT_EQ(abrir->CamposMestre, "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO");
    EXPECT_EQ(abrir->CamposDetalhe, abrir->CamposMestre);
    EXPECT_EQ(FForm.Com("Largura:"), QStringList({"Largura:0:300"}));
    EXPECT_EQ(FForm.Com("Painel:1"), QStringList({"Painel:1:"}));
    QStringList acoesLinha;
    for (const TnAcaoLinha &l : dp->AcoesLinha())
        acoesLinha << QStringLiteral("%1|%2|%3|%4|%5|%6")
                          .arg(l.Nome, l.Caption, l.Hint)
                          .arg(l.Imagem)
                          .arg(l.Atalho)
                          .arg(l.Popup ? "popup" : "botao");
    EXPECT_EQ(acoesLinha, QStringList({QString::fromUtf8("miCadastroLctoCtb|Cadastro de Lançamentos||160|Ctrl+Enter|popup"),
                                       QString::fromUtf8("LctoCtb|Cadastro do Lançamentos|Cadastro do Lançamentos|160|"
                                                         "Ctrl+Enter|botao")}));
    EXPECT_TRUE(dp->OnDBGridDblClick != nullptr);
    EXPECT_TRUE(dp->DBGridReadOnly());
}

TEST_F(ConsultaLancamentosBanco, FiltrosSozinhosEJuntos)
{
    Lcto({.estab = 2, .data = "2024-03-01", .produto = 20, .usuario = 2});
    Lcto({.estab = 1, .data = "2024-03-01", .produto = 30});
    Lcto({.estab = 1, .data = "2024-01-01", .produto = 10, .motivo = 2});
    Lcto({.estab = 1, .data = "2024-01-31", .produto = 10});
    Lcto({.estab = 3, .data = "2024-05-31", .produto = 20, .usuario = 3});
    Lcto({.empresa = 2, .estab = 1, .data = "2024-03-01", .produto = 10}); // another company
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);

    // No filter: every entry of the company, by branch, date and product.
    dp->Rodar();
    EXPECT_EQ(dp->nClientDataSet().RecNo(), 1); // the first row is current
    EXPECT_EQ(FForm.Com("Painel:0").last(), QString::fromUtf8("Painel:0:Foram encontrados 5 lançamentos"));
    EXPECT_EQ(Linhas(dp), QStringList({"1|01/01/2024|10|2", "1|31/01/2024|10|1", "1|01/03/2024|30|1",
                                       "2|01/03/2024|20|1", "3|31/05/2024|20|1"}));
    // The months include their first and last days.
    EXPECT_EQ(Rodar(dp, {{"pPeriodoInicial", "01/2024"}, {"pPeriodoFinal", "01/2024"}}),
              QStringList({"1|01/01/2024|10|2", "1|31/01/2024|10|1"}));
    // Only a final month: no lower bound.
    EXPECT_EQ(Rodar(dp, {{"pPeriodoInicial", ""}, {"pPeriodoFinal", "03/2024"}}).size(), 4);
    // Only an initial month.
    EXPECT_EQ(Rodar(dp, {{"pPeriodoInicial", "05/2024"}, {"pPeriodoFinal", ""}}), QStringList({"3|31/05/2024|20|1"}));
    // An initial month after the final month lists nothing.
    EXPECT_TRUE(Rodar(dp, {{"pPeriodoInicial", "06/2024"}, {"pPeriodoFinal", "01/2024"}}).isEmpty());
    EXPECT_EQ(FForm.Com("Painel:0").last(), QString::fromUtf8("Painel:0:Nenhum lançamento foi encontrado"));
    dp->Param("pPeriodoInicial").Clear();
    dp->Param("pPeriodoFinal").Clear();
    // Branches, products and users, each multi-value.
    EXPECT_EQ(Rodar(dp, {{"pCodigoEstab", "2; 3"}}), QStringList({"2|01/03/2024|20|1", "3|31/05/2024|20|1"}));
    EXPECT_EQ(Rodar(dp, {{"pCodigoEstab", ""}, {"pCodigoProduto", "10, 30"}}),
              QStringList({"1|01/01/2024|10|2", "1|31/01/2024|10|1", "1|01/03/2024|30|1"}));
    EXPECT_EQ(Rodar(dp, {{"pCodigoProduto", ""}, {"pCodigoUsuario", "2-3"}}),
              QStringList({"2|01/03/2024|20|1", "3|31/05/2024|20|1"}));
    // Together.
    EXPECT_EQ(Rodar(dp, {{"pCodigoUsuario", "1;3"}, {"pCodigoEstab", "1"}, {"pCodigoProduto", "10"},
                         {"pPeriodoInicial", "01/2024"}, {"pPeriodoFinal", "02/2024"}}),
              QStringList({"1|01/01/2024|10|2", "1|31/01/2024|10|1"}));
    // The other company, chosen by its parameter.
    EXPECT_EQ(Rodar(dp, {{"pCodigoEmpresa", "2"}, {"pCodigoUsuario", ""}, {"pCodigoEstab", ""}, {"pCodigoProduto", ""},
                         {"pPeriodoInicial", ""}, {"pPeriodoFinal", ""}}),
              QStringList({"1|01/03/2024|10|1"}));
}

TEST_F(ConsultaLancamentosBanco, ValoresArredondadosPelasCasasDaEmpresa)
{
    Cfg(1, 3, 0, false, true);
    const QString longa = QString(120, u'D');
    Produto(1, 40, longa);
    Lcto({.produto = 10, .qtde = 2.5, .preco = 1.23456});
    Lcto({.produto = 40, .qtde = 3.4999, .preco = 0.3333});
    Lcto({.produto = 40, .motivo = 2, .qtde = 3, .preco = 1.005});
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    Rodar(dp);
    TnClientDataSet &ds = dp->nClientDataSet();
    EXPECT_EQ(ds.FieldByName("QUANTIDADE").DisplayFormat(), "#,##0.");
    EXPECT_EQ(ds.FieldByName("CUSTOUNIT").DisplayFormat(), "#,##0.000");
    EXPECT_EQ(ds.FieldByName("CUSTOTOTAL").DisplayFormat(), "#,##0.000");
    EXPECT_TRUE(ds.FieldByName("REFERENCIA").Visible());
    ds.First();
    EXPECT_EQ(ds.FieldByName("QUANTIDADE").AsFloat(), 3);      // 2.5 to whole units
    EXPECT_EQ(ds.FieldByName("CUSTOUNIT").AsFloat(), 1.235);
    EXPECT_EQ(ds.FieldByName("CUSTOTOTAL").AsFloat(), 3.09);   // 2.5 x 1.23456 = 3.0864
    EXPECT_EQ(ds.FieldByName("CUSTOTOTAL").DisplayText(), "3,090");
    EXPECT_EQ(ds.FieldByName("REFERENCIA").AsString(), "REF10");
    ds.Next();
    EXPECT_EQ(ds.FieldByName("DESCRPRODUTO").AsString(), longa); // a long description whole
    EXPECT_EQ(ds.FieldByName("QUANTIDADE").AsFloat(), 3);
    EXPECT_EQ(ds.FieldByName("CUSTOTOTAL").AsFloat(), 1.17);   // 3.4999 x 0.3333 = 1.16647
    EXPECT_TRUE(ds.FieldByName("REFERENCIA").IsNull());
    ds.Next();
    EXPECT_EQ(ds.FieldByName("CUSTOTOTAL").DisplayText(), "3,020"); // 3 x 1.005 = 3.015 exactly
}

TEST_F(ConsultaLancamentosBanco, EmpresaSemConfiguracaoEMudancaDeEmpresa)
{
    Cfg(1, 3, 0, true, true);
    Lcto({.empresa = 2, .produto = 10, .qtde = 1.23456, .preco = 2.34567});
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    TnClientDataSet &ds = dp->nClientDataSet();
    EXPECT_EQ(ds.FieldByName("QUANTIDADE").DisplayFormat(), "#,##0.");
    EXPECT_EQ(ds.FieldByName("CUSTOUNIT").DisplayFormat(), "#,##0.000");
    EXPECT_TRUE(ds.FieldByName("OBSERVACAO").Visible());
    EXPECT_TRUE(ds.FieldByName("REFERENCIA").Visible());
    // Company 2 has no settings rows: the defaults, never company 1's.
    Rodar(dp, {{"pCodigoEmpresa", "2"}});
    EXPECT_EQ(ds.FieldByName("QUANTIDADE").DisplayFormat(), "#,##0.00");
    EXPECT_EQ(ds.FieldByName("CUSTOUNIT").DisplayFormat(), "#,##0.00");
    EXPECT_FALSE(ds.FieldByName("REFERENCIA").Visible());
    EXPECT_EQ(ds.FieldByName("QUANTIDADE").AsFloat(), 1.23);
    EXPECT_EQ(ds.FieldByName("CUSTOUNIT").AsFloat(), 2.35);
    EXPECT_FALSE(ds.FieldByName("OBSERVACAO").Visible());
    EXPECT_TRUE(FForm.Com("Atualizar:pObservacao").size() >= 2);
    EXPECT_FALSE(dp->Param("pObservacao").Visivel());

    // The framework reconfigures for another active company: the parameter follows it and
    // the grid starts again, empty, with that company's formats.
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    ReconfigurarDM("CodigoEmpresa", true);
    EXPECT_EQ(dp->Param("pCodigoEmpresa").AsInteger(), 1);
    EXPECT_TRUE(ds.Active());
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_EQ(ds.FieldByName("QUANTIDADE").DisplayFormat(), "#,##0.");
    EXPECT_EQ(ds.FieldByName("CUSTOUNIT").DisplayFormat(), "#,##0.000");
    EXPECT_TRUE(ds.FieldByName("OBSERVACAO").Visible());
    EXPECT_TRUE(dp->Param("pObservacao").Visivel());
    // Settings saved again for the same company are read at the next reconfiguration.
    Cfg(1, 4, 1, true, true);
    ReconfigurarDM("CodigoEmpresa", false);
    EXPECT_EQ(ds.FieldByName("CUSTOUNIT").DisplayFormat(), "#,##0.0000");
}

TEST_F(ConsultaLancamentosBanco, PalavraDaObservacao)
{
    Cfg(1, 2, 2, true, false);
    Lcto({.produto = 10, .obs = "MERCADORIA AVARIADA"});
    Lcto({.produto = 20, .obs = "desconto de 10% aplicado"});
    Lcto({.produto = 30, .obs = "codigo_interno 'x'"});
    Lcto({.estab = 2, .produto = 10, .obs = "100 unidades"});
    Lcto({.estab = 2, .produto = 20});
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    // Lower case inside a longer upper-case word.
    EXPECT_EQ(Rodar(dp, {{"pObservacao", "vari"}}), QStringList({"1|01/03/2024|10|1"}));
    EXPECT_EQ(dp->nClientDataSet().FieldByName("OBSERVACAO").AsString(), "MERCADORIA AVARIADA");
    // "%", "_" and quotes are plain characters.
    EXPECT_EQ(Rodar(dp, {{"pObservacao", "10%"}}), QStringList({"1|01/03/2024|20|1"}));
    EXPECT_EQ(Rodar(dp, {{"pObservacao", "o_i"}}), QStringList({"1|01/03/2024|30|1"}));
    EXPECT_EQ(Rodar(dp, {{"pObservacao", "'x'"}}), QStringList({"1|01/03/2024|30|1"}));
    EXPECT_TRUE(Rodar(dp, {{"pObservacao", "%"}}).size() == 1);
    EXPECT_EQ(Rodar(dp, {{"pObservacao", "  "}}).size(), 5); // blank: no filter

    // A company without the model 7 book: the word is ignored and the column hidden.
    Cfg(1, 2, 2, false, false);
    EXPECT_EQ(Rodar(dp, {{"pObservacao", "vari"}}).size(), 5);
    EXPECT_FALSE(dp->nClientDataSet().FieldByName("OBSERVACAO").Visible());
    EXPECT_TRUE(dp->nClientDataSet().FieldByName("OBSERVACAO").IsNull());
}

TEST_F(ConsultaLancamentosBanco, EntradaRecusada)
{
    Lcto({.produto = 10});
    TnDMPowerParamGrid *dp = Abrir();
    ASSERT_NE(dp, nullptr);
    QString param;
    EXPECT_EQ(Falha(dp, {{"pPeriodoInicial", "13/2024"}}, &param), QString::fromUtf8("Período inicial incorreto!"));
    EXPECT_EQ(param, "pPeriodoInicial");
    EXPECT_EQ(Falha(dp, {{"pPeriodoInicial", "03/2024"}, {"pPeriodoFinal", "mar/24"}}, &param),
              QString::fromUtf8("Período final incorreto!"));
    EXPECT_EQ(param, "pPeriodoFinal");
    dp->Param("pPeriodoFinal").Clear();
    // A bad token of a multi-value text names the parameter and the token; no SQL runs.
    EXPECT_TRUE(Falha(dp, {{"pCodigoEstab", "1;x"}}, &param).contains("x"));
    EXPECT_EQ(param, "pCodigoEstab");
    EXPECT_TRUE(Falha(dp, {{"pCodigoEstab", ""}, {"pCodigoProduto", "10) or (1=1"}}, &param).contains("10) or (1=1"));
    EXPECT_EQ(param, "pCodigoProduto");
    EXPECT_TRUE(Falha(dp, {{"pCodigoProduto", ""}, {"pCodigoUsuario", "1'--"}}, &param).contains("1'--"));
    EXPECT_EQ(param, "pCodigoUsuario");
    EXPECT_FALSE(Falha(dp, {{"pCodigoUsuario", ""}, {"pCodigoEmpresa", "um"}}, &param).isEmpty());
    EXPECT_EQ(param, "pCodigoEmpresa");
    EXPECT_EQ(Linhas(dp), QStringList()); // the grid stays empty
    // An active company that is no number lists nothing.
    dp->Param("pCodigoEmpresa").Clear();
    ExternalVar("gCodigoEmpresaAtiva", "x");
    EXPECT_TRUE(Rodar(dp).isEmpty());
}

namespace {
// Entries of product 10 at branch 2 under two reasons, beside others, and the consultation
// run over them with the grid on reason 2 of product 10.
class ConsultaAbrirCadastroBanco : public ConsultaLancamentosBanco {
protected:
    void SetUp() override
    {
        ConsultaLancamentosBanco::SetUp();
        if (IsSkipped())
            return;
        Cfg(1, 2, 0, true, false);
        Lcto({.estab = 2, .produto = 10, .motivo = 1, .qtde = 5, .preco = 2});
        Lcto({.estab = 2, .produto = 10, .motivo = 2, .qtde = 7, .preco = 3});
        Lcto({.estab = 2, .produto = 20, .motivo = 1, .qtde = 1, .preco = 1});
        Lcto({.estab = 1, .produto = 10, .motivo = 2, .qtde = 4, .preco = 4});
        FDp = Abrir();
        ASSERT_NE(FDp, nullptr);
        FDp->Rodar();
        ASSERT_TRUE(Grade().Locate("CODIGOESTAB;CODIGOPRODUTO;MOTIVOINVENTARIO", QVariantList{2, 10, 2}));
    }
    TnClientDataSet &Grade() { return FDp->nClientDataSet(); }
    // "quantity|unit cost|total" of the grid's row of that branch, product and reason; empty
    // when it has none.
    QString Valores(int estab, int produto, int motivo)
    {
        if (!Grade().Locate("CODIGOESTAB;CODIGOPRODUTO;MOTIVOINVENTARIO", QVariantList{estab, produto, motivo}))
            return QString();
        return QStringLiteral("%1|%2|%3").arg(Grade().FieldByName("QUANTIDADE").AsString(),
                                              Grade().FieldByName("CUSTOUNIT").AsString(),
                                              Grade().FieldByName("CUSTOTOTAL").AsString());
    }
    // The register's rows as "branch|product|reason".
    static QStringList Registros(TnDMClientDataSet &cad)
    {
        QStringList r;
        TnClientDataSet &ds = cad.nClientDataSet();
        for (ds.First(); !ds.Eof(); ds.Next())
            r << QStringLiteral("%1|%2|%3|%4").arg(ds.FieldByName("CODIGOEMPRESA").AsString(),
                                                   ds.FieldByName("CODIGOESTAB").AsString(),
                                                   ds.FieldByName("CODIGOPRODUTO").AsString(),
                                                   ds.FieldByName("MOTIVOINVENTARIO").AsString());
        return r;
    }
    TnDMPowerParamGrid *FDp = nullptr;
    TnInteracaoTeste FUsuario;
};
} // namespace

TEST_F(ConsultaAbrirCadastroBanco, QuantidadeAlteradaVoltaArredondadaSoNaSuaLinha)
{
    QStringList noCadastro;
    FUsuario.AoMostrarForm = [&](TnDMFormulario &dm, TnFormFalso &form) {
        auto &cad = static_cast<TnDMClientDataSet &>(dm);
        noCadastro = Registros(cad);
        noCadastro << Selecao().GetParams("CodigoEstab").AsString() << Selecao().GetParams("DataInvent").AsString()
                   << form.Com("Acao:").join(',');
        TnClientDataSet &ds = cad.nClientDataSet();
        EXPECT_TRUE(ds.Locate("MOTIVOINVENTARIO", 2));
        ds.Edit();
        ds.FieldByName("QTDEESTOQUE").SetAsFloat(8.6);
        ds.Post();
        return true;
    };
    FDp->DBGridDblClick();
    EXPECT_EQ(FUsuario.FormsMostrados, QStringList({"modal|TOrvoDMLctoInv|ConsultaLctoInv"}));
    // Every reason of the product at the row's branch and date, with the new-record action off.
    EXPECT_EQ(noCadastro, QStringList({"1|2|10|1", "1|2|10|2", "2", "01/03/2024", "Acao:0:0"}));
    EXPECT_EQ(FindGlobalDataModule("ConsultaLctoInv"), nullptr); // freed with its form
    // The row of reason 2 takes its entry's values, rounded as at the load; reason 1 keeps its own.
    EXPECT_EQ(Valores(2, 10, 2), "9|3|25,8");
    EXPECT_EQ(Valores(2, 10, 1), "5|2|10");
    EXPECT_EQ(Valores(1, 10, 2), "4|4|16");
    EXPECT_EQ(Grade().RecordCount(), 4);
    // The branch and date are back; the product keeps the row's.
    EXPECT_EQ(Selecao().GetParams("CodigoEstab").AsString(), "1");
    EXPECT_EQ(Selecao().GetParams("DataInvent").AsDate(), QDate(2024, 3, 1));
    EXPECT_EQ(Selecao().GetParams("CodigoProduto").AsString(), "10");
}

TEST_F(ConsultaAbrirCadastroBanco, LancamentoExcluidoSaiDaGrade)
{
    FUsuario.AoMostrarForm = [&](TnDMFormulario &dm, TnFormFalso &) {
        TnClientDataSet &ds = static_cast<TnDMClientDataSet &>(dm).nClientDataSet();
        EXPECT_TRUE(ds.Locate("MOTIVOINVENTARIO", 1));
        ds.Delete();
        return true;
    };
    // Through the tool button, as Ctrl+Enter runs it.
    FDp->ExecutarAcaoLinha("LctoCtb");
    EXPECT_EQ(Valores(2, 10, 1), QString());
    EXPECT_EQ(Valores(2, 10, 2), "7|3|21");
    EXPECT_EQ(Grade().RecordCount(), 3);
    EXPECT_EQ(BancoTeste::Linhas("LCTOINV", "CODIGOEMPRESA = 1 and CODIGOESTAB = 2 and CODIGOPRODUTO = 10"), 1);

    // The popup item opens it too; with nothing changed the rows stay as they are.
    FUsuario.AoMostrarForm = nullptr;
    ASSERT_TRUE(Grade().Locate("CODIGOESTAB;CODIGOPRODUTO", QVariantList{2, 20}));
    FDp->ExecutarAcaoLinha("miCadastroLctoCtb");
    EXPECT_EQ(FUsuario.FormsMostrados.size(), 2);
    EXPECT_EQ(Valores(2, 20, 1), "1|1|1");
    EXPECT_EQ(Grade().RecordCount(), 3);
}

TEST_F(ConsultaAbrirCadastroBanco, FalhaDoCadastroRestauraSelecaoEGradeVaziaNaoAbre)
{
    Selecao().GetParams("DataInvent").Clear(); // an empty date stays empty
    Selecao().GetParams("CodigoEstab").SetValue(3);
    FUsuario.AoMostrarForm = [&](TnDMFormulario &, TnFormFalso &) -> bool {
        EXPECT_EQ(Selecao().GetParams("CodigoEstab").AsString(), "2");
        throw Exception("falha no cadastro");
    };
    EXPECT_THROW(FDp->DBGridDblClick(), Exception);
    EXPECT_EQ(Selecao().GetParams("CodigoEstab").Value(), QVariant(3));
    EXPECT_TRUE(Selecao().GetParams("DataInvent").IsNull());
    EXPECT_EQ(FindGlobalDataModule("ConsultaLctoInv"), nullptr);
    EXPECT_EQ(Valores(2, 10, 2), "7|3|21");

    // An empty grid opens nothing.
    FUsuario.AoMostrarForm = nullptr;
    FDp->Param("pCodigoProduto").SetText("99");
    FDp->Rodar();
    FDp->DBGridDblClick();
    FDp->ExecutarAcaoLinha("LctoCtb");
    EXPECT_EQ(FUsuario.FormsMostrados.size(), 1);
}

TEST_F(ConsultaAbrirCadastroBanco, OutraEmpresaFixadaSoNoCadastroEAcaoDeAbrirCadastro)
{
    Lcto({.empresa = 2, .estab = 1, .produto = 20, .motivo = 3, .qtde = 2, .preco = 5});
    FDp->Param("pCodigoEmpresa").SetText("2");
    FDp->Rodar();
    ASSERT_EQ(Grade().RecordCount(), 1);
    QStringList noCadastro;
    FUsuario.AoMostrarForm = [&](TnDMFormulario &dm, TnFormFalso &) {
        auto &cad = static_cast<TnDMClientDataSet &>(dm);
        noCadastro = Registros(cad);
        noCadastro << Selecao().GetParams("CodigoEmpresa").AsString();
        TnClientDataSet &ds = cad.nClientDataSet();
        ds.Edit();
        ds.FieldByName("PRECOUNIT").SetAsFloat(6.25);
        ds.Post();
        return true;
    };
    FDp->DBGridDblClick();
    // The row's company for the register alone: the active company stays.
    EXPECT_EQ(noCadastro, QStringList({"2|1|20|3", "1"}));
    EXPECT_EQ(Selecao().GetParams("CodigoEmpresa").AsString(), "1");
    EXPECT_EQ(Valores(1, 20, 3), "2|6,25|12,5");

    // The declared open-register action: the register on the row's whole key, not modal,
    // with the connection's selection untouched.
    FDp->Param("pCodigoEmpresa").SetText("1");
    FDp->Rodar();
    ASSERT_TRUE(Grade().Locate("CODIGOESTAB;CODIGOPRODUTO;MOTIVOINVENTARIO", QVariantList{2, 10, 2}));
    auto *abrir = qobject_cast<TnActAbrirCadastro *>(FDp->AcaoGrade());
    ASSERT_NE(abrir, nullptr);
    noCadastro.clear();
    FUsuario.AoMostrarForm = [&](TnDMFormulario &dm, TnFormFalso &) {
        noCadastro = Registros(static_cast<TnDMClientDataSet &>(dm));
        return true;
    };
    EXPECT_TRUE(abrir->Execute());
    EXPECT_EQ(FUsuario.FormsMostrados.last(), "janela|TOrvoDMLctoInv|OrvoDMLctoInv");
    EXPECT_EQ(noCadastro, QStringList({"1|2|10|2"}));
    EXPECT_EQ(Selecao().GetParams("CodigoEstab").AsString(), "1");
    EXPECT_EQ(FindGlobalDataModule("OrvoDMLctoInv"), nullptr);
    // Nothing opens on an empty grid; field lists of different lengths are refused.
    Grade().EmptyDataSet();
    EXPECT_FALSE(abrir->Abrir());
    FDp->Rodar();
    abrir->CamposDetalhe = "CODIGOEMPRESA";
    EXPECT_THROW(abrir->Abrir(), Exception);
    EXPECT_EQ(FUsuario.FormsMostrados.size(), 2);
}
