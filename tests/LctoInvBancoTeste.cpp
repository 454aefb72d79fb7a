// The inventory entry register as the program loads it (OrvoCore, by class name): the
// reasons offered by the inventory date, the order and messages of its checks, the formats
// and tax fields that follow the company's settings, and the round trip entry -> property
// line with the lines going with their entry.
#include "Acoes.h"
#include "LctoInvTeste.h"
#include "DMClientDataSet.h"
#include "Excecoes.h"
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "PowerParam.h"
#include "Valores.h"
#include "Personalizacao.h"
#include "SQLDataSet.h"

#include <QMetaObject>
#include <QPointer>
#include <gtest/gtest.h>

#include "OrvoDMLctoInv_U.h" // its messages

namespace {

class LctoInvBanco : public BancoLctoInv {
protected:
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        Referencia(true);
        con().Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 4, QTDECASADECIMALQTD = 0, LANCAICMSRECUP = '0', "
                       "DETALHARPISCOFINSITEM = '1' where CODIGOEMPRESA = 1");
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, 100, 'Produto')");
    }
    // A new valid entry of product 100 (the selection fills company, branch and date).
    static void Novo(TnDMClientDataSet *dm, int motivo = 1) { NovoLcto(dm, 100, motivo); }
    static void Aliquota(TnDMClientDataSet *dm, const QVariant &taxa)
    {
        ASSERT_TRUE(QMetaObject::invokeMethod(dm, "AtualizarValorICMS", Qt::DirectConnection, Q_ARG(QVariant, taxa)));
    }
    static QVariant AliquotaAtual(TnDMClientDataSet *dm)
    {
        QVariant r;
        EXPECT_TRUE(QMetaObject::invokeMethod(dm, "AliquotaICMS", Qt::DirectConnection, Q_RETURN_ARG(QVariant, r)));
        return r;
    }
};

} // namespace

TEST_F(LctoInvBanco, AcaoEMotivoSeisSoDepoisDe2019)
{
    TnAction *a = AcaoDoMenu("actTOrvoDMLctoInv");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Category(), "20 Movimentos");
    EXPECT_EQ(a->Caption(), QString::fromUtf8("Lançamentos do Inventário"));
    EXPECT_EQ(a->MenuIndex(), 10);
    EXPECT_EQ(a->ImageIndex(), 100);
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa;CodigoEstab;DataInvent");
    EXPECT_EQ(Registro().Classe(a->NomeClasse())->PegarTipoObjeto(), 1);

    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->ChavePrimaria(), "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO");
    EXPECT_EQ(dm->FieldByName("MOTIVOINVENTARIO").Def().ListaValores.size(), 6);
    EXPECT_TRUE(dm->FieldByName("MOTIVOINVENTARIO").Def().ListaValores.last().endsWith("=6"));
    EXPECT_EQ(dm->metaObject()->indexOfMethod("npqPowerParam()") >= 0, true);

    // The list follows the date selected when the module was created.
    SelecionarData(QDate(2019, 12, 31));
    TnDMClientDataSet *antigo = Abrir();
    ASSERT_NE(antigo, nullptr);
    const QStringList lista = antigo->FieldByName("MOTIVOINVENTARIO").Def().ListaValores;
    ASSERT_EQ(lista.size(), 5);
    EXPECT_TRUE(lista.last().endsWith("=5"));
    EXPECT_EQ(dm->FieldByName("MOTIVOINVENTARIO").Def().ListaValores.size(), 6);
}

TEST_F(LctoInvBanco, ValidacaoNaOrdemEValoresPadrao)
{
    DefinirUsuarioConectado(1, QStringLiteral("Teste"));
    con().Executar("delete from NPERSONALIZACAO where CODIGOUSUARIO = 1");
    con().Executar("insert into NPERSONALIZACAO (CODIGOUSUARIO, DATAFINALPERMITIDA) values (1, '2019-12-31')");
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    TnClientDataSet &ds = dm->nClientDataSet();
    Novo(dm);
    // Every check fails; the date after the permitted one is reported first, on its field.
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(0);
    ds.FieldByName("PRECOUNIT").SetAsFloat(-1);
    ds.FieldByName("VALORPIS").SetAsFloat(-1);
    ds.FieldByName("VALORCOFINS").SetAsFloat(-1);
    try {
        ds.Post();
        ADD_FAILURE() << "date after the permitted one accepted";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "DATAINVENT");
        EXPECT_TRUE(e.Message().contains("31/12/2019")) << e.Message().toStdString();
    }
    EXPECT_EQ(ds.State(), dsInsert);
    con().Executar("update NPERSONALIZACAO set DATAFINALPERMITIDA = '2020-12-31' where CODIGOUSUARIO = 1");
    EXPECT_EQ(Falha(dm), QString::fromUtf8(OrvoSQuantidadeNaoNegativaOuZerada));
    ds.FieldByName("QTDEESTOQUE").SetAsFloat(1);
    EXPECT_EQ(Falha(dm), QString::fromUtf8("Preço unitário não pode ser negativa ou igual a zero!"));
    ds.FieldByName("PRECOUNIT").SetAsFloat(0);
    EXPECT_EQ(Falha(dm), QString::fromUtf8("Preço unitário não pode ser negativa ou igual a zero!"));
    ds.FieldByName("PRECOUNIT").SetAsFloat(2);
    EXPECT_EQ(Falha(dm), QString::fromUtf8(OrvoSValorPISNaoNegativo));
    ds.FieldByName("VALORPIS").SetAsFloat(0);
    EXPECT_EQ(Falha(dm), QString::fromUtf8(OrvoSValorCOFINSNaoNegativo));
    ds.FieldByName("VALORCOFINS").SetAsFloat(0);
    // The company does not detail ICMS: whatever was typed is saved as 0.
    ds.FieldByName("VALORICMS").SetAsFloat(-5);
    EXPECT_EQ(Falha(dm), QString());
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("LCTOINV", "VALORICMS", "CODIGOPRODUTO = 100").toDouble(), 0.0);
    EXPECT_EQ(dm->FieldByName("ORIGEMDADO").AsInteger(), 2);
    EXPECT_EQ(dm->FieldByName("CODIGOUSUARIO").AsInteger(), 1);
    EXPECT_FALSE(dm->FieldByName("DATAHORALCTOINV").IsNull());
    EXPECT_EQ(dm->FieldByName("DATAINVENT").AsDate(), QDate(2020, 1, 31));
    DefinirUsuarioConectado(0, QString());
}

TEST_F(LctoInvBanco, FormatosECamposDeImpostoPelaConfiguracao)
{
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->FieldByName("QTDEESTOQUE").DisplayFormat(), "#,##0.");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").DisplayFormat(), "#,##0.0000");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").EditFormat(), "#,##0.0000");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").Def().Decimais, 4);
    EXPECT_FALSE(dm->FieldByName("VALORICMS").Def().Habilitado);
    EXPECT_FALSE(dm->FieldByName("VALORICMS").Required());
    EXPECT_TRUE(dm->FieldByName("VALORPIS").Def().Habilitado);
    EXPECT_TRUE(dm->FieldByName("VALORCOFINS").Required());
    EXPECT_FALSE(dm->FieldByName("OBSLCTOINV").Def().Habilitado);

    // A change of the settings shows after the company's reconfiguration.
    con().Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 6, QTDECASADECIMALQTD = 3, LANCAICMSRECUP = '1' "
                   "where CODIGOEMPRESA = 1");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").DisplayFormat(), "#,##0.0000"); // cached
    dm->ReconfigurarDM(QStringLiteral("CodigoEmpresa"), false);
    EXPECT_EQ(dm->FieldByName("QTDEESTOQUE").DisplayFormat(), "#,##0.000");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").DisplayFormat(), "#,##0.000000");
    EXPECT_TRUE(dm->FieldByName("VALORICMS").Def().Habilitado);
    EXPECT_TRUE(dm->FieldByName("VALORICMS").Required());

    // Without its general settings row the company keeps its inventory settings; the
    // general ones take their defaults (products identified by reference).
    con().Executar("delete from CFGEMPRESAULMAR where CODIGOEMPRESA = 1");
    con().Executar("update CFGEMPRESAINV set QTDECASADECIMALQTD = 4 where CODIGOEMPRESA = 1");
    dm->ReconfigurarDM(QStringLiteral("CodigoEmpresa"), false);
    EXPECT_EQ(dm->FieldByName("QTDEESTOQUE").DisplayFormat(), "#,##0.0000");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").DisplayFormat(), "#,##0.000000");
    EXPECT_TRUE(dm->FieldByName("VALORICMS").Def().Habilitado);
    EXPECT_TRUE(dm->FieldByName("VALORICMS").Required());
    EXPECT_TRUE(dm->FieldByName("CODIGOPRODUTO").Def().CaracteresAceitos.isEmpty()); // by reference

    // Without either row: every setting's default.
    con().Executar("delete from CFGEMPRESAINV where CODIGOEMPRESA = 1");
    dm->ReconfigurarDM(QStringLiteral("CodigoEmpresa"), false);
    EXPECT_EQ(dm->FieldByName("QTDEESTOQUE").DisplayFormat(), "#,##0.00");
    EXPECT_EQ(dm->FieldByName("PRECOUNIT").DisplayFormat(), "#,##0.00");
    EXPECT_FALSE(dm->FieldByName("VALORICMS").Def().Habilitado);
    EXPECT_FALSE(dm->FieldByName("VALORPIS").Required());
}

TEST_F(LctoInvBanco, PaginaSTEAliquotaPelosValoresDosCampos)
{
    con().Executar("update CFGEMPRESAINV set LANCAICMSRECUP = '1' where CODIGOEMPRESA = 1");
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    TnClientDataSet &ds = dm->nClientDataSet();
    Novo(dm, 1);
    dm->SairDoCampo("MOTIVOINVENTARIO");
    EXPECT_FALSE(dm->FieldByName("VALORMEDIOICMS").Def().Habilitado);
    EXPECT_FALSE(dm->FieldByName("VALORMEDIOFCP").Required());
    ds.FieldByName("MOTIVOINVENTARIO").SetAsInteger(6);
    dm->SairDoCampo("MOTIVOINVENTARIO");
    EXPECT_TRUE(dm->FieldByName("VALORMEDIOICMS").Def().Habilitado);
    EXPECT_TRUE(dm->FieldByName("VALORMEDIOFCP").Required());
    ds.FieldByName("MOTIVOINVENTARIO").SetAsInteger(1);
    dm->SairDoCampo("MOTIVOINVENTARIO");
    EXPECT_FALSE(dm->FieldByName("VALORMEDIOICMS").Required());

    // Total 10.00: a rate of 18% gives 1.80; no rate typed changes nothing.
    Aliquota(dm, 18.0);
    EXPECT_DOUBLE_EQ(dm->FieldByName("VALORICMS").AsFloat(), 1.8);
    Aliquota(dm, QVariant());
    EXPECT_DOUBLE_EQ(dm->FieldByName("VALORICMS").AsFloat(), 1.8);
    ds.FieldByName("VALORPIS").SetAsFloat(0);
    ds.FieldByName("VALORCOFINS").SetAsFloat(0);
    ds.Post();
    EXPECT_DOUBLE_EQ(AliquotaAtual(dm).toDouble(), 18.0);
    // A browsing row goes into edit only when the value changes.
    Aliquota(dm, 18.0);
    EXPECT_EQ(ds.State(), dsBrowse);
    Aliquota(dm, 12.0);
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_DOUBLE_EQ(dm->FieldByName("VALORICMS").AsFloat(), 1.2);
    ds.Cancel();
}

TEST_F(LctoInvBanco, PropriedadeComoDetalheEExclusaoEmCascata)
{
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    dm->ConfigurarForm(nullptr); // web mode: the property lines come without a form
    ASSERT_EQ(dm->Detalhes().size(), 1);
    TnDMClientDataSet *prop = dm->Detalhes().first();
    EXPECT_STREQ(prop->metaObject()->className(), "TOrvoDMLctoInvPropriedade");
    EXPECT_EQ(prop->DmMaster(), dm);
    Novo(dm);
    dm->FieldByName("VALORPIS").SetAsFloat(0);
    dm->FieldByName("VALORCOFINS").SetAsFloat(0);
    dm->nClientDataSet().Post();
    ASSERT_EQ(Linhas("LCTOINV"), 1);

    TnClientDataSet &linhas = prop->nClientDataSet();
    linhas.Append();
    EXPECT_EQ(prop->FieldByName("CODIGOPRODUTO").AsInteger(), 100);
    EXPECT_EQ(prop->FieldByName("MOTIVOINVENTARIO").AsInteger(), 1);
    prop->FieldByName("INDICADORPROPRIEDADE").SetAsInteger(0);
    prop->FieldByName("QUANTIDADE").SetAsFloat(4);
    prop->FieldByName("PRECOUNIT").SetAsFloat(2.5);
    linhas.Post();
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 1);
    EXPECT_EQ(prop->FieldByName("SEQ").AsInteger(), 1);

    dm->nClientDataSet().Delete();
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 0);
}

TEST_F(LctoInvBanco, FormularioMostraOrigemEAbaDaPropriedade)
{
    con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                   "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                   "values (1, 1, '2020-01-31', 100, 1, 2, 3, '2020-02-01 08:00:00', 1, 3)");
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    TnFormFalso form;
    dm->ConfigurarForm(&form);
    EXPECT_EQ(form.Com("Largura:"), QStringList({"Largura:1:300", "Largura:2:75"}));
    EXPECT_EQ(form.Com("Painel:2:").last(), "Painel:2:Importado");
    EXPECT_EQ(form.Com("Tab:"), QStringList({QStringLiteral("Tab::Propriedade (&3)")}));
    ASSERT_EQ(dm->Detalhes().size(), 1);
    EXPECT_EQ(dm->Detalhes().first()->nClientDataSet().RecordCount(), 0);
    // A row saved in the register is a typed one.
    dm->nClientDataSet().Edit();
    dm->FieldByName("VALORPIS").SetAsFloat(0);
    dm->FieldByName("VALORCOFINS").SetAsFloat(0);
    dm->nClientDataSet().Post();
    EXPECT_EQ(form.Com("Painel:2:").last(), "Painel:2:Digitado");
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("LCTOINV", "ORIGEMDADO", "CODIGOPRODUTO = 100").toInt(), 2);
    dm->FecharForm();
}

// With a form: the rate after VALORIR and the total cost after PRECOUNIT, computed from the
// row's values; leaving the rate control with a typed rate sets VALORICMS, with nothing typed
// changes nothing; the product panel under the product code; the register's configuration
// hint; and the panel forgotten with the form.
TEST_F(LctoInvBanco, ControlesExtrasEPainelNoFormulario)
{
    con().Executar("update CFGEMPRESAINV set LANCAICMSRECUP = '1' where CODIGOEMPRESA = 1");
    con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                   "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, "
                   "ORIGEMDADO) values (1, 1, '2020-01-31', 100, 1, 2, 5, 1.8, 0, 0, '2020-02-01 08:00:00', 1, 2), "
                   "(1, 1, '2020-01-31', 100, 2, 0, 5, 0, 0, 0, '2020-02-01 08:00:00', 1, 1)");
    TnInteracaoTeste usuario;
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    TnFormFalso form;
    dm->ConfigurarForm(&form);
    EXPECT_EQ(form.Com("Extra:"), QStringList({"Extra:VALORIR:edValorAliquota", "Extra:PRECOUNIT:edValorTotal"}));
    EXPECT_EQ(form.Com("PainelParametros:").size(), 1);
    EXPECT_TRUE(form.Com("Painel:1:Cadastrado por ").size() > 0);
    QPointer<TnControleExtra> aliq = dm->ControleExtra("edValorAliquota");
    TnControleExtra *total = dm->ControleExtra("edValorTotal");
    ASSERT_TRUE(aliq && total);
    EXPECT_EQ(total->TextoExibido(false), "10,00");
    EXPECT_TRUE(total->SomenteLeitura() && total->Negrito());
    EXPECT_EQ(aliq->TextoExibido(false), "18,00");
    EXPECT_TRUE(aliq->Habilitado() && aliq->Requerido() && aliq->Negrito());
    EXPECT_EQ(aliq->CaracteresAceitos(), "0123456789,.");
    EXPECT_EQ(dm->FieldByName("QTDEESTOQUE").Def().CaracteresAceitos, "0123456789,.");
    // Identification by reference takes any text as the product; otherwise only digits.
    EXPECT_EQ(dm->FieldByName("CODIGOPRODUTO").Def().CaracteresAceitos, "");

    TnClientDataSet &ds = dm->nClientDataSet();
    aliq->SetTexto("");
    dm->SairDoControleExtra("edValorAliquota");
    EXPECT_EQ(ds.State(), dsBrowse);
    aliq->SetTexto("1.234,5"); // a grouped text is the number it shows
    dm->SairDoControleExtra("edValorAliquota");
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_DOUBLE_EQ(dm->FieldByName("VALORICMS").AsFloat(), 123.45);
    aliq->SetTexto("");
    ds.Cancel();
    EXPECT_EQ(aliq->Texto(), "0");
    EXPECT_DOUBLE_EQ(dm->FieldByName("VALORICMS").AsFloat(), 1.8);
    // A row of total 0 leaves the rate as shown.
    aliq->SetTexto("7");
    ds.Next();
    EXPECT_EQ(dm->FieldByName("MOTIVOINVENTARIO").AsInteger(), 2);
    EXPECT_EQ(aliq->Texto(), "7");
    EXPECT_EQ(total->TextoExibido(false), "0,00");

    // Leaving the quantity or the cost while editing updates the total.
    ds.First();
    ds.Edit();
    dm->FieldByName("QTDEESTOQUE").SetAsFloat(3);
    dm->SairDoCampo("QTDEESTOQUE");
    EXPECT_EQ(total->TextoExibido(false), "15,00");
    dm->FieldByName("PRECOUNIT").SetAsFloat(1.005);
    dm->SairDoCampo("PRECOUNIT");
    EXPECT_EQ(total->TextoExibido(false), "3,02"); // exactly 3.015, half a cent up
    ds.Cancel();

    dm->ExecutarCfgCadastro();
    EXPECT_EQ(usuario.Avisos, QStringList({QString::fromUtf8(OrvoSDicaCfgCadastro)}));

    void *p = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(dm, "npqPowerParam", Qt::DirectConnection, Q_RETURN_ARG(void *, p)));
    auto *params = static_cast<TnpqPowerParam *>(p);
    EXPECT_TRUE(params->TemPainel());
    form.AoFechar = [dm] { dm->FormFechado(); };
    dm->FecharForm();
    EXPECT_FALSE(params->TemPainel());
    EXPECT_TRUE(aliq.isNull());
}

// Without identification by reference the product code takes digits only; the
// classification parameter follows the company's mask.
TEST_F(LctoInvBanco, CodigoSoDigitosEMascaraDaClassificacao)
{
    con().Executar("update CFGEMPRESAULMAR set USAREFERENCIAPROD = '0', LIVROMODELO7 = '1', "
                   "MASCCLASSIFFISCALPROD = '9999.99.99' where CODIGOEMPRESA = 1");
    TnDMClientDataSet *dm = Abrir();
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->FieldByName("CODIGOPRODUTO").Def().CaracteresAceitos, "0123456789");
    void *p = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(dm, "npqPowerParam", Qt::DirectConnection, Q_RETURN_ARG(void *, p)));
    const TnpqParamItem &ncm = static_cast<TnpqPowerParam *>(p)->Param("pCodigoNCM");
    EXPECT_EQ(ncm.MascaraEdicao(), PrepararMascara(QStringLiteral("9999.99.99"), 1));
    EXPECT_FALSE(ncm.MascaraEdicao().isEmpty());
    EXPECT_TRUE(dm->FieldByName("OBSLCTOINV").Def().Habilitado);
}
