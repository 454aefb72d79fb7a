// Reports without widgets: the lines a layout makes of a dataset (texts, groups, exact
// totals), the roll-up's report of a run and the entry register's list of entries.
#include "PlanoGruposTeste.h"
#include "PowerParam.h"
#include "Relatorio.h"

#include <gtest/gtest.h>

namespace {
std::string Texto(const QStringList &l) { return l.join(" | ").toStdString(); }

// "tipo:recuo:negrito:texto|células" per line.
QStringList LinhasDe(const TnRelatorio &r)
{
    QStringList l;
    for (const TnLinhaRelatorio &linha : r.Linhas)
        l << QString("%1:%2:%3:%4|%5")
                 .arg(int(linha.Tipo))
                 .arg(linha.Recuo)
                 .arg(linha.Negrito ? "N" : "")
                 .arg(linha.Texto, linha.Celulas.join(';'));
    return l;
}

using RelatorioBanco = BancoPlanoGrupos;
} // namespace

TEST(Relatorio, LinhasGruposETotaisExatos)
{
    const TnDefCampo campos[] = {{.Nome = "GRUPO", .Tipo = ftString, .Tamanho = 10, .Def = {.DisplayLabel = "Grupo"}},
                                 {.Nome = "ITEM", .Tipo = ftInteger},
                                 {.Nome = "VALOR", .Tipo = ftFloat, .Def = {.DisplayFormat = "#,##0.00"}},
                                 {.Nome = "OCULTO", .Tipo = ftInteger}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.Fields(3).SetVisible(false);
    ds.CreateDataSet();
    // Ten times 0.1 and a large value: summed as decimals, not as doubles.
    for (int i = 0; i < 12; ++i) {
        ds.Append();
        ds.FieldByName("GRUPO").SetAsString(i < 10 ? "A" : "B");
        ds.FieldByName("ITEM").SetAsInteger(i);
        ds.FieldByName("VALOR").SetAsFloat(i < 10 ? 0.1 : 1234567.005);
        ds.Post();
    }
    ds.SetRecNo(5);
    const TnDefRelatorio def{.Titulo = "Valores",
                             .Colunas = {{.Campo = "ITEM", .Caption = "Item"},
                                         {.Campo = "VALOR", .Caption = "Valor", .Total = ntrSoma}},
                             .Quebra = "GRUPO",
                             .Estilo = [](const TnClientDataSet &d) {
                                 return TnEstiloLinhaRelatorio{.Recuo = d.FieldByName("ITEM").AsInteger() % 2,
                                                               .Negrito = d.FieldByName("GRUPO").AsString() == "B"};
                             }};
    const TnRelatorio r = MontarRelatorio(&def, ds, "ignorado", {"Empresa: 1"});
    EXPECT_EQ(ds.RecNo(), 5); // the dataset did not move
    EXPECT_EQ(r.Titulo, "Valores");
    EXPECT_EQ(r.Cabecalho, QStringList({"Empresa: 1"}));
    ASSERT_EQ(r.Colunas.size(), 2u);
    EXPECT_EQ(r.Colunas[1].Caption, "Valor");
    EXPECT_TRUE(r.Colunas[1].Direita);
    const QStringList l = LinhasDe(r);
    ASSERT_EQ(l.size(), 1 + 10 + 1 + 1 + 2 + 1 + 1);
    EXPECT_EQ(l.at(0).toStdString(), "1:0:N:Grupo: A|");
    EXPECT_EQ(l.at(2).toStdString(), "0:1::|1;0,10");
    EXPECT_EQ(l.at(11).toStdString(), "2:0:N:Total|;1,00");
    EXPECT_EQ(l.at(12).toStdString(), "1:0:N:Grupo: B|");
    EXPECT_EQ(l.at(13).toStdString(), "0:0:N:|10;1.234.567,01");
    EXPECT_EQ(l.at(15).toStdString(), "2:0:N:Total|;2.469.134,01");
    EXPECT_EQ(l.at(16).toStdString(), "3:0:N:Total Geral|;2.469.135,01");

    // No layout: every visible field, no totals.
    const TnRelatorio simples = MontarRelatorio(nullptr, ds, "Título", {});
    EXPECT_EQ(simples.Titulo, "Título");
    ASSERT_EQ(simples.Colunas.size(), 3u);
    EXPECT_EQ(simples.Colunas[0].Caption, "Grupo");
    EXPECT_EQ(simples.Linhas.size(), 12u);
    EXPECT_EQ(simples.Linhas[11].Celulas, QStringList({"B", "11", "1.234.567,01"}));
    // Each column as wide as its bold caption and its widest text: nothing cut.
    for (size_t i = 0; i < simples.Colunas.size(); ++i) {
        EXPECT_GE(simples.Colunas[i].Largura, simples.Colunas[i].Caption.size() + 2) << i;
        for (const TnLinhaRelatorio &l : simples.Linhas)
            EXPECT_GT(simples.Colunas[i].Largura, l.Celulas.value(int(i)).size()) << i;
    }

    // A column of no field is an error.
    const TnDefRelatorio errado{.Colunas = {{.Campo = "NADA"}}};
    EXPECT_THROW(MontarRelatorio(&errado, ds, "", {}), Exception);
}

TEST(Relatorio, SomaDeNumericosComCasasPorLinha)
{
    const TnDefCampo campos[] = {{.Nome = "G", .Tipo = ftString, .Tamanho = 1},
                                 {.Nome = "CASAS", .Tipo = ftSmallint},
                                 {.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 18, .Escala = 0, .CampoEscala = "CASAS"}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    for (const auto &[g, casas, valor] : {std::tuple{"A", 2, "9999999999999999,99"}, {"B", 1, "1,5"}, {"B", 2, "0,25"},
                                          {"B", 6, "0,000001"}}) {
        ds.Append();
        ds.FieldByName("G").SetAsString(g);
        ds.FieldByName("CASAS").SetAsInteger(casas);
        ds.FieldByName("VALOR").SetAsString(QString::fromLatin1(valor));
        ds.Post();
    }
    // Every digit of each row; a group's sum at the most decimals of its rows.
    TnDefRelatorio def{.Colunas = {{.Campo = "VALOR", .Total = ntrSoma}}, .Quebra = "G", .TotalGeral = false};
    QStringList totais;
    for (const TnLinhaRelatorio &l : MontarRelatorio(&def, ds, "", {}).Linhas)
        if (l.Tipo != ntlQuebra)
            totais << l.Celulas.join(';');
    EXPECT_EQ(Texto(totais), "9999999999999999,99 | 9999999999999999,99 | 1,5 | 0,25 | 0,000001 | 1,750001");
    // The report's sum of both would need 22 digits.
    def.TotalGeral = true;
    EXPECT_THROW(MontarRelatorio(&def, ds, "", {}), Exception);
}

TEST_F(RelatorioBanco, RelatorioDoSaldoPorGrupo)
{
    Grupo(1, 1, "1", 1);
    Grupo(1, 2, "1.01", 1);
    Grupo(1, 3, "1.01.001", 2);
    Lancamento(1, 1, 10, 3, 1000, 1234.5);
    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM("TOrvoDPGerarSaldoInv"));
    ASSERT_NE(dp, nullptr);
    EXPECT_FALSE(dp->TemRelatorio());
    EXPECT_THROW(dp->Relatorio(), Exception);
    dp->Param("pCodigoEmpresa").SetText("1");
    dp->Param("pCodigoEstab").SetText("1");
    dp->Param("pDataInicial").SetText("31/01/2024");
    dp->Rodar();
    ASSERT_TRUE(dp->TemRelatorio());
    const TnRelatorio r = dp->Relatorio();
    EXPECT_EQ(r.Titulo, "Saldo anterior e movimentação");
    EXPECT_EQ(Texto(r.Cabecalho), "Empresa: 1 - Empresa Exemplo | Estabelecimento: 1 - Estabelecimento Exemplo | "
                                  "Parâmetros - Empresa: 1; Estabelecimento: 1; Data Inicial: 31/01/2024");
    // Groups indented by level, synthetic ones in bold, each branch closed by its total.
    EXPECT_EQ(Texto(LinhasDe(r)),
              "1:0:N:Empresa 1 - Empresa Exemplo / Estabelecimento 1 - Estabelecimento Exemplo| | "
              "0:0:N:|1;Grupo 1;Sintético;1.234.500,00 | 0:1:N:|1.01;Grupo 1.01;Sintético;1.234.500,00 | "
              "0:2::|1.01.001;Grupo 1.01.001;Analítico;1.234.500,00 | 2:0:N:Total do Estabelecimento|;;;1.234.500,00");

    // A parameter changed after the run does not relabel the run's rows; a run that fails
    // leaves nothing to report, not the rows of the run before it.
    dp->Param("pDataInicial").SetText("29/02/2024");
    EXPECT_EQ(Texto(dp->Relatorio().Cabecalho), Texto(r.Cabecalho));
    dp->Param("pDataInicial").SetText("");
    EXPECT_ANY_THROW(dp->Rodar());
    EXPECT_FALSE(dp->TemRelatorio());
    EXPECT_THROW(dp->Relatorio(), Exception);
}

TEST_F(RelatorioBanco, RelacaoDosLancamentosDoCadastro)
{
    con().Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 3, QTDECASADECIMALQTD = 1 where CODIGOEMPRESA = 1");
    Lancamento(1, 1, 7, 0, 2, 2.675);
    Lancamento(1, 1, 5, 0, 1.5, 10, 2);
    Lancamento(1, 1, 9, 0, 3, 1.005); // exactly 3.015: 3.02
    TnDMClientDataSet *lcto = AbrirDM("TOrvoDMLctoInv");
    ASSERT_NE(lcto, nullptr);
    EXPECT_EQ(lcto->Declaracao().Relatorios, QStringList({"OrvoRRRelacao"}));
    EXPECT_EQ(TituloRelatorio("OrvoRRRelacao"), "Relação dos Lançamentos do Inventário");
    const TnRelatorio r = GerarRelatorioCadastro("OrvoRRRelacao", *lcto);
    EXPECT_EQ(Texto(r.Cabecalho), "Empresa: 1 - Empresa Exemplo | Estabelecimento: 1 - Estabelecimento Exemplo | "
                                  "Data Inventário: 31/01/2024");
    QStringList captions;
    for (const TnColunaMontada &c : r.Colunas)
        captions << c.Caption;
    EXPECT_EQ(Texto(captions), "Produto | Descrição | Motivo | Quantidade | Custo Unitário | Custo Total");
    // Each entry's total rounded to cents, the grand total their sum.
    EXPECT_EQ(Texto(LinhasDe(r)), "0:0::|5;Produto número 5;Na mudança de forma de tributação da mercadoria (ICMS);1,5;10,000;15,00 | "
                                "0:0::|7;Produto número 7;No final no período;2,0;2,675;5,35 | "
                                "0:0::|9;Produto número 9;No final no período;3,0;1,005;3,02 | "
                                "3:0:N:Total Geral|;;;;;23,37");

    // Another branch's selection lists its own entries: none here.
    Selecao().GetParams("CodigoEstab").SetValue(2);
    EXPECT_TRUE(LinhasDe(GerarRelatorioCadastro("OrvoRRRelacao", *lcto)).isEmpty());
    EXPECT_THROW(GerarRelatorioCadastro("OrvoRRNenhum", *lcto), Exception);
}
