// The data dictionary's defaults for fields and parameters that declare nothing of their
// own, VarToIntDef, and the selection's range keys as the selection dialog asks for them.
#include "ClientDataSet.h"
#include "Dicionario.h"
#include "PowerParam.h"
#include "SelecaoChaves.h"
#include "Valores.h"
#include "Variaveis.h"

#include <gtest/gtest.h>

namespace {
const QStringList kIndicadores{"Estoque de propriedade do informante e em seu poder=0",
                               "Estoque de propriedade do informante e em posse de terceiros=1",
                               "Estoque de propriedade de terceiros e em posse do informante=2"};
}

TEST(Dicionario, CampoTomaDaChaveSoOQueNaoDeclara)
{
    TnClientDataSet ds;
    const TnDefCampo campos[] = {
        {.Nome = "QTD", .Tipo = ftBCD, .Precisao = 18, .Escala = 3, .Def = {.Chave = "dicvalor3"}},
        {.Nome = "QTDPROPRIA", .Tipo = ftBCD, .Precisao = 18, .Escala = 3,
         .Def = {.Chave = "DICVALOR3", .DisplayLabel = "Quantidade", .Decimais = 2, .DisplayFormat = "#0.00"}},
        {.Nome = "IND", .Tipo = ftSmallint, .Def = {.Chave = " INDICADORESTOQUE "}},
        {.Nome = "INDPROPRIO", .Tipo = ftSmallint,
         .Def = {.Chave = "INDICADORESTOQUE", .ListaValores = {"Próprio=0"}, .TipoControle = ntcLookup}},
        {.Nome = "DT", .Tipo = ftDate, .Def = {.Chave = "DICDATA"}},
        {.Nome = "SEQ", .Tipo = ftSmallint, .Def = {.Chave = "SEQSMALLINT"}},
        {.Nome = "PART", .Tipo = ftInteger, .Def = {.Chave = "CODIGOPESSOA"}},
        {.Nome = "OUTRO", .Tipo = ftInteger, .Def = {.Chave = "CHAVEDESCONHECIDA", .Digitos = 2}}};
    ds.DefinirCampos(campos, int(std::size(campos)));
    ds.AbrirVazio();
    const auto def = [&](const char *campo) -> const Definicao & { return ds.FieldByName(campo).Def(); };
    EXPECT_EQ(def("QTD").Decimais, 3);
    EXPECT_EQ(def("QTDPROPRIA").Decimais, 2);
    EXPECT_EQ(def("QTDPROPRIA").DisplayFormat, "#0.00");
    EXPECT_EQ(ds.FieldByName("QTDPROPRIA").DisplayLabel(), "Quantidade");
    EXPECT_EQ(def("IND").TipoControle, ntcCombo);
    EXPECT_EQ(ds.FieldByName("IND").DisplayLabel(), "Tipo de Estoque");
    EXPECT_EQ(def("INDPROPRIO").ListaValores, QStringList({"Próprio=0"}));
    EXPECT_EQ(def("INDPROPRIO").TipoControle, ntcLookup);
    EXPECT_EQ(def("DT").TipoControle, ntcData);
    EXPECT_EQ(def("SEQ").Digitos, 4);
    EXPECT_EQ(ds.FieldByName("SEQ").DisplayLabel(), "Sequência");
    EXPECT_EQ(def("PART").ClasseLookup, "UlmarDCPessoa");
    EXPECT_EQ(def("OUTRO").Digitos, 2);
    EXPECT_EQ(ds.FieldByName("OUTRO").DisplayLabel(), "OUTRO");

    // Values shown and typed through the defaults.
    ds.Append();
    ds.FieldByName("QTD").SetAsFloat(1234.5);
    ds.FieldByName("IND").SetText("Estoque de propriedade de terceiros e em posse do informante");
    EXPECT_EQ(ds.FieldByName("QTD").DisplayText(), "1.234,500");
    EXPECT_EQ(ds.FieldByName("IND").AsInteger(), 2);
    ds.Cancel();

    // A result dataset's field keyed after it was made takes its list from Dicionario.
    ds.FieldByName("OUTRO").Def().Chave = "IndicadorEstoque";
    Dicionario(ds);
    EXPECT_EQ(def("OUTRO").ListaValores, kIndicadores);
    EXPECT_EQ(def("INDPROPRIO").ListaValores, QStringList({"Próprio=0"}));
}

TEST(Dicionario, ParametroTomaDaChaveSoOQueNaoDeclara)
{
    const TnpqParamItem ind({.Alias = "pIndicador", .ChaveDicionario = "INDICADORESTOQUE"});
    EXPECT_EQ(ind.Tipo(), ntpCombo);
    EXPECT_EQ(ind.ListaValores(), kIndicadores);
    const TnpqParamItem proprio({.Alias = "pIndicador", .Caption = "Indicador", .Tipo = ntpInteiro,
                                 .ChaveDicionario = "INDICADORESTOQUE", .ListaValores = {"Próprio=0"}});
    EXPECT_EQ(proprio.Tipo(), ntpInteiro);
    EXPECT_EQ(proprio.ListaValores(), QStringList({"Próprio=0"}));
    const TnpqParamItem qtd({.Alias = "pQtd", .ChaveDicionario = "DICVALOR3"});
    EXPECT_EQ(qtd.Tipo(), ntpNumero);
    EXPECT_EQ(qtd.FormatoExibicao(), "#,##0.000");
    TnpqParamItem mes({.Alias = "pMes", .ChaveDicionario = "DICDATAMESANO"});
    mes.SetText("3/2024");
    EXPECT_EQ(mes.AsDate(), QDate(2024, 3, 1)); // the month's first day, as always
    const TnpqParamItem pessoa({.Alias = "pPessoa", .ChaveDicionario = "CODIGOPESSOA"});
    EXPECT_EQ(pessoa.ClasseLookup(), "UlmarDCPessoa");
    EXPECT_EQ(pessoa.TamanhoMaximo(), 9);
    // Several sequences in one text are longer than one.
    EXPECT_EQ(TnpqParamItem({.Alias = "pSeq", .ChaveDicionario = "SEQSMALLINT", .MultiSelecao = true}).TamanhoMaximo(), 0);
    EXPECT_EQ(TnpqParamItem({.Alias = "pX", .ChaveDicionario = "NAOEXISTE"}).Tipo(), ntpTexto);
}

TEST(Dicionario, VarToIntDef)
{
    for (const QVariant &v : {QVariant(), QVariant(QString()), QVariant(4.5), QVariant("1,5"), QVariant("abc"),
                              QVariant(qlonglong(1) << 40)})
        EXPECT_EQ(VarToIntDef(v, -1), -1) << v.toString().toStdString();
    EXPECT_EQ(VarToIntDef(0, 3), 0);
    EXPECT_EQ(VarToIntDef(4.0, 3), 4);
    EXPECT_EQ(VarToIntDef(" -12 ", 3), -12);
}

TEST(SelecaoFaixa, ChavesPendentesRotulosELimites)
{
    const QStringList chaves{"CodigoEmpresa", "DataLctoFis_MENORIGUAL", "DataLctoFis_MAIORIGUAL"};
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    EXPECT_EQ(ChavesPendentes(chaves), QStringList({"DataLctoFis_MENORIGUAL", "DataLctoFis_MAIORIGUAL"}));
    AplicarSelecao({{"DataLctoFis_MENORIGUAL", QDate(2024, 2, 1)}});
    EXPECT_EQ(ChavesPendentes(chaves), QStringList({"DataLctoFis_MAIORIGUAL"}));

    QString campo;
    EXPECT_EQ(LimiteFaixa("datalctofis_menorigual", &campo), lfInicio);
    EXPECT_EQ(campo, "datalctofis");
    EXPECT_EQ(LimiteFaixa("DATAPRODUCAO_MAIORIGUAL", &campo), lfFim);
    EXPECT_EQ(campo, "DATAPRODUCAO");
    EXPECT_EQ(LimiteFaixa("_MAIORIGUAL"), lfNenhum);
    EXPECT_EQ(LimiteFaixa("DataInvent"), lfNenhum);
    EXPECT_EQ(TipoChaveSelecao("QTDE_MENORIGUAL"), tcsData);
    EXPECT_EQ(RotuloChaveSelecao("DataLctoFis_MENORIGUAL"), "Competência inicial");
    EXPECT_EQ(RotuloChaveSelecao("DATAPRODUCAO_MAIORIGUAL"), "Data Produção final");
    EXPECT_EQ(RotuloChaveSelecao("DataEntrega_MAIORIGUAL"), "DataEntrega final");

    // An end before the start, given together or against the bound already chosen: refused,
    // the selection as it was. The same day at both ends is a range.
    EXPECT_THROW(AplicarSelecao({{"DataLctoFis_MAIORIGUAL", QDate(2024, 1, 31)}}), Exception);
    EXPECT_THROW(AplicarSelecao({{"DataLctoFis_MENORIGUAL", "01/03/2024"}, {"DataLctoFis_MAIORIGUAL", "28/02/2024"}}),
                 Exception);
    EXPECT_EQ(Selecao().GetParams("DataLctoFis_MENORIGUAL").AsDate(), QDate(2024, 2, 1));
    EXPECT_TRUE(Selecao().GetParams("DataLctoFis_MAIORIGUAL").IsNull());
    AplicarSelecao({{"DataLctoFis_MAIORIGUAL", QDate(2024, 2, 1)}});
    EXPECT_TRUE(ChavesPendentes(chaves).isEmpty());
    Selecao().Reset();
}
