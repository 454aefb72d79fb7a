// The Bloco K query process as the program loads it (OrvoCore, by class name), on both
// engines: its parameters and menu action, the ten tabs in their order with their details
// following, each family's period and filters (details of the masters the filter keeps,
// substitutes that may be missing, joint-production items by their own product), a K291
// quantity past 14 digits, the refusals of its parameters, a failing family that leaves
// every tab as it was, and the open-register action of each tab.
#include "Bandas.h"
#include "BancoOrvo.h"
#include "LinhasDataSet.h"
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "PowerParam.h"

#include <gtest/gtest.h>

namespace {

const char kClasse[] = "TOrvoDPConsultaLctoSpedBlocoK";
const QStringList kAbas = {"K200", "K210", "K220", "K230", "K250", "K260", "K270", "K280", "K290", "K300"};

class ConsultaLctoSpedBlocoKBanco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        for (const char *sql : {
                 "insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO, CODIGONCM) values "
                 "(1, 10, 'Parafuso', '7318'), (1, 20, 'Arruela', '7318'), (1, 30, 'Porca', '8000'), "
                 "(1, 40, 'Chapa', '8000')",
                 "insert into PESSOA (CODIGOPESSOA, NOMEPESSOA) values (7, 'Fornecedor A')",
                 "insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTO, INDICADORESTOQUE, "
                 "SEQ, QUANTIDADE, CODIGOPESSOA) values (1, 1, '2024-01-31', 10, 1, 1, 5, 7), "
                 "(1, 1, '2024-01-31', 20, 0, 1, 1, null)",
                 "insert into SPEDFISK210 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK210, CODIGOPRODUTO, QUANTIDADE) "
                 "values (1, 1, '2024-01-01', 1, 10, 2), (1, 1, '2024-01-01', 2, 30, 1)",
                 "insert into SPEDFISK215 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK210, CODIGOPRODUTO, QUANTIDADE) "
                 "values (1, 1, '2024-01-01', 1, 20, 1), (1, 1, '2024-01-01', 1, 30, 1), (1, 1, '2024-01-01', 2, 40, 1)",
                 "insert into SPEDFISK220 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTOORI, CODIGOPRODUTODEST, "
                 "QUANTIDADE, QUANTIDADEDEST) values (1, 1, '2024-01-01', 10, 20, 1, 1)",
                 "insert into SPEDFISK230 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOORDEMPRODUCAO, CODIGOPRODUTO, "
                 "QUANTIDADE) values (1, 1, '2024-01-01', 'OP1', 10, 1.123456)",
                 "insert into SPEDFISK235 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOORDEMPRODUCAO, CODIGOPRODUTO, "
                 "DATASAIDA, CODIGOINSUMO, QUANTIDADE, CODIGOINSUMOSUBSTITUIDO) values "
                 "(1, 1, '2024-01-01', 'OP1', 10, '2024-01-05', 20, 2, null), "
                 "(1, 1, '2024-01-01', 'OP1', 10, '2024-01-05', 30, 1, 40)",
                 "insert into SPEDFISK250 (CODIGOEMPRESA, CODIGOESTAB, DATAPRODUCAO, CODIGOPRODUTO, QUANTIDADE) values "
                 "(1, 1, '2024-01-20', 10, 3), (1, 1, '2024-01-05', 30, 1)",
                 "insert into SPEDFISK255 (CODIGOEMPRESA, CODIGOESTAB, DATAPRODUCAO, CODIGOPRODUTO, DATACONSUMO, "
                 "CODIGOINSUMO, QUANTIDADE, CODIGOINSUMOSUBSTITUIDO) values "
                 "(1, 1, '2024-01-20', 10, '2024-01-20', 20, 1, null)",
                 "insert into SPEDFISK260 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK260, CODIGOPRODUTO, DATASAIDA, "
                 "QUANTIDADESAI) values (1, 1, '2024-01-01', 1, 10, '2024-01-10', 1)",
                 "insert into SPEDFISK265 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK260, CODIGOPRODUTO, QTDCONSUMIDA) "
                 "values (1, 1, '2024-01-01', 1, 20, 1)",
                 "insert into SPEDFISK270 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK270, ORIGEM, CODIGOPRODUTO, "
                 "QTDCORRECAOPOS) values (1, 1, '2024-01-01', 1, 3, 10, 1)",
                 "insert into SPEDFISK275 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK270, CODIGOPRODUTO, "
                 "QTDCORRECAOPOS, CODINSUMOSUBST) values (1, 1, '2024-01-01', 1, 20, 1, null), "
                 "(1, 1, '2024-01-01', 1, 30, 1, 40)",
                 "insert into SPEDFISK280 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK280, DATAESTOQUE, "
                 "INDICADORESTOQUE, CODIGOPRODUTO, CODIGOPESSOA, QTDCORRECAOPOS) values "
                 "(1, 1, '2023-12-01', 1, '2024-01-20', 1, 10, 7, 1), (1, 1, '2023-12-01', 2, '2024-01-05', 0, 20, null, 1)",
                 "insert into SPEDFISK290 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, DATAINICIALORDEMPRODUCAO, "
                 "CODIGOOPOS) values (1, 1, '2024-01-01', 1, '2024-01-02', 'OPC1'), "
                 "(1, 1, '2024-01-01', 2, '2024-01-02', 'OPC2')",
                 "insert into SPEDFISK291 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, CODIGOPRODUTO, "
                 "QTDPRODUCAOACABADA) values (1, 1, '2024-01-01', 1, 10, 123456789012.345), "
                 "(1, 1, '2024-01-01', 2, 30, 1)",
                 "insert into SPEDFISK292 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, CODIGOPRODUTO, QTDCONSUMIDA) "
                 "values (1, 1, '2024-01-01', 1, 20, 1), (1, 1, '2024-01-01', 2, 40, 1)",
                 "insert into SPEDFISK300 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, DATARECONHECPROD) values "
                 "(1, 1, '2024-01-01', '2024-01-20'), (1, 1, '2024-01-01', '2024-01-05')",
                 "insert into SPEDFISK301 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, DATARECONHECPROD, CODIGOPRODUTO, QTDE) "
                 "values (1, 1, '2024-01-01', '2024-01-20', 10, 1), (1, 1, '2024-01-01', '2024-01-05', 30, 1)",
                 "insert into SPEDFISK302 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, DATARECONHECPROD, CODIGOPRODUTO, QTDE) "
                 "values (1, 1, '2024-01-01', '2024-01-20', 20, 1)",
             })
            con().Executar(QString::fromLatin1(sql));
        FDp = qobject_cast<TnDMPowerParamTab *>(CriarDM(kClasse));
        ASSERT_NE(FDp, nullptr);
    }

    // Company 1, branch 1, 15 January to 10 February 2024, and the filters given.
    void Rodar(const QString &produto = {}, const QString &ncm = {}, const QString &pessoa = {})
    {
        FDp->SetParamText("pCodigoEstab", "1");
        FDp->SetParamText("pDataInicial", "15/01/2024");
        FDp->SetParamText("pDataFinal", "10/02/2024");
        FDp->SetParamText("pCodigoProduto", produto);
        FDp->SetParamText("pCodigoNCM", ncm);
        FDp->SetParamText("pCodigoPessoa", pessoa);
        FDp->Rodar();
    }
    TnAbaResultado &Aba(const char *caption) { return *FDp->FindAba(QString::fromLatin1(caption)); }
    static QStringList Linhas(TnClientDataSet &ds, const QString &campos) { return teste::LinhasDoDataSet(ds, campos); }
    // The detail rows of each master row, "master: detail, detail".
    static QStringList Arvore(TnAbaResultado &aba, const QString &mestre, const QString &detalhe)
    {
        QStringList arvore;
        TnClientDataSet &m = aba.Dados;
        for (m.First(); !m.Eof(); m.Next())
            arvore << m.FieldByName(mestre).AsString() + ": " + Linhas(*aba.Detalhe(), detalhe).join(", ");
        return arvore;
    }
    // Row counts of every tab, master/detail (the details of the master's first row).
    QStringList Contagens()
    {
        QStringList c;
        for (const QString &a : kAbas) {
            TnAbaResultado &aba = *FDp->FindAba(a);
            aba.Dados.First();
            c << QString::number(aba.Dados.RecordCount())
                     + (aba.Detalhe() ? "/" + QString::number(aba.Detalhe()->RecordCount()) : QString());
        }
        return c;
    }

    TnInteracaoTeste FUsuario;
    TnDMPowerParamTab *FDp = nullptr;
};

} // namespace

TEST_F(ConsultaLctoSpedBlocoKBanco, ParametrosAcaoDoMenuEAbas)
{
    QStringList aliases;
    for (int i = 0; i < FDp->PowerParam().Count(); ++i)
        if (FDp->PowerParam().Items(i).Visivel())
            aliases << FDp->PowerParam().Items(i).Alias();
    EXPECT_EQ(aliases, (QStringList{"pCodigoEmpresa", "pCodigoEstab", "pDataInicial", "pDataFinal", "pCodigoPessoa",
                                    "pCodigoProduto", "pCodigoNCM"}));
    EXPECT_EQ(FDp->PowerParam().Caption, "Lançamentos SPEED - Bloco K");
    // The company follows the active one.
    EXPECT_EQ(FDp->Param("pCodigoEmpresa").AsString(), "1");

    TnAction *acao = AcaoDoMenu("actTOrvoDPConsultaLctoSpedBlocoK");
    ASSERT_NE(acao, nullptr);
    EXPECT_EQ(acao->Category(), "30 Consultas");
    EXPECT_EQ(acao->Caption(), "Lançamento SPED - Bloco K");
    EXPECT_EQ(acao->MenuIndex(), 40);
    EXPECT_EQ(acao->ShortCut(), "Shift+Ctrl+F9");
    EXPECT_TRUE(acao->ControlaDireito());
    EXPECT_EQ(acao->VerificaSelecao(), "CodigoEmpresa");

    ASSERT_EQ(FDp->QtdAbas(), 10);
    QStringList abas, detalhes;
    for (int i = 0; i < FDp->QtdAbas(); ++i) {
        abas << FDp->Aba(i).Caption;
        if (FDp->Aba(i).Detalhe())
            detalhes << FDp->Aba(i).Caption + ":" + FDp->Aba(i).CamposChave();
        ASSERT_FALSE(FDp->Aba(i).AcaoAbrir.isNull());
        EXPECT_EQ(FDp->Aba(i).AcaoAbrir->Name(), "nActAbrir" + FDp->Aba(i).Caption);
        EXPECT_EQ(FDp->Aba(i).AcaoAbrir->Hint, "Visualizar lançamento");
    }
    EXPECT_EQ(abas, kAbas);
    EXPECT_EQ(detalhes, (QStringList{"K210:CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210",
                                     "K230:CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOORDEMPRODUCAO;CODIGOPRODUTO",
                                     "K250:CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO;CODIGOPRODUTO",
                                     "K260:CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK260",
                                     "K270:CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK270",
                                     "K290:CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK290",
                                     "K300:CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATARECONHECPROD"}));
    // The stock kind's combo from the dictionary.
    EXPECT_FALSE(Aba("K200").Dados.FieldByName("INDICADORESTOQUE").Def().ListaValores.isEmpty());
    EXPECT_FALSE(Aba("K280").Dados.FieldByName("INDICADORESTOQUE").Def().ListaValores.isEmpty());
}

TEST_F(ConsultaLctoSpedBlocoKBanco, SemFiltrosCadaFamiliaComSeuPeriodoESeusDetalhes)
{
    Rodar();
    // K210, K230, K260, K270 and K290 from the 1st of January (their competence); K250, K280
    // and K300 from the 15th as entered.
    EXPECT_EQ(Contagens(), (QStringList{"2", "2/2", "1", "1/2", "1/1", "1/1", "1/2", "1", "2/2", "1/2"}));
    EXPECT_EQ(FUsuario.UltimoProgresso.Texto, "Buscando lançamentos das rotinas do Bloco K, aguarde...");
    EXPECT_EQ(FUsuario.ProgressosDestruidos, 1);

    EXPECT_EQ(Arvore(Aba("K210"), "SEQK210", "CODIGOPRODUTO;DESCRICAO"),
              (QStringList{"1: 20|Arruela, 30|Porca", "2: 40|Chapa"}));
    // Inputs without a substitute are listed, with an empty description.
    EXPECT_EQ(Arvore(Aba("K230"), "CODIGOORDEMPRODUCAO", "CODIGOINSUMO;DESCRICAOCOMPONENTE;CODIGOINSUMOSUBSTITUIDO;DESCRICAO"),
              QStringList{"OP1: 20|Arruela|null|null, 30|Porca|40|Chapa"});
    EXPECT_EQ(Arvore(Aba("K250"), "CODIGOPRODUTO", "CODIGOINSUMO;CODIGOINSUMOSUBSTITUIDO;DESCRIINSUMOSUB"),
              QStringList{"10: 20|null|null"});
    EXPECT_EQ(Arvore(Aba("K270"), "SEQK270", "CODIGOPRODUTO;CODINSUMOSUBST;DESCRICAOINSUMOSUB"),
              QStringList{"1: 20|null|null, 30|40|Chapa"});
    // The production quantity keeps its 6 decimals.
    Aba("K230").Dados.First();
    EXPECT_EQ(Aba("K230").Dados.FieldByName("QUANTIDADE").AsString(), "1,123456");
    // The joint production's items, produced then consumed, the quantity whole past 11
    // integer digits.
    EXPECT_EQ(Arvore(Aba("K290"), "CODIGOOPOS", "ORIGEM;CODIGOPRODUTO"),
              (QStringList{"OPC1: K291 - Item Produzido|10, K292 - Insumo Consumido|20",
                           "OPC2: K291 - Item Produzido|30, K292 - Insumo Consumido|40"}));
    TnClientDataSet &itens = *Aba("K290").Detalhe();
    Aba("K290").Dados.First();
    itens.First();
    EXPECT_EQ(itens.FieldByName("QUANTIDADE").AsString(), "123456789012,345");
    EXPECT_EQ(Linhas(Aba("K300").Dados, "DATARECONHECPROD"), QStringList{"20/01/2024"});
    EXPECT_EQ(Linhas(Aba("K280").Dados, "SEQK280;DESCRICAOPESSOA"), QStringList{"1|Fornecedor A"});

    // Each master's header names the branch and the period as entered.
    for (const QString &a : kAbas) {
        const TnGridBands &b = FDp->FindAba(a)->Dados.GridBands();
        ASSERT_EQ(b.Count(), 1) << a.toStdString();
        EXPECT_TRUE(b.Items(0).Caption().endsWith(" Filial (1)")) << a.toStdString();
        EXPECT_NE(b.Find("Periodo"), nullptr);
        EXPECT_EQ(b.Find("Periodo")->Caption(), "Período: 15/01/2024 à 10/02/2024");
    }
}

TEST_F(ConsultaLctoSpedBlocoKBanco, FiltrosDoProdutoEDoParticipante)
{
    // A disassembly's destinations always differ from its origin: the detail follows the
    // master's product, never its own.
    Rodar("10");
    EXPECT_EQ(Arvore(Aba("K210"), "SEQK210", "CODIGOPRODUTO"), QStringList{"1: 20, 30"});
    EXPECT_EQ(Arvore(Aba("K230"), "CODIGOORDEMPRODUCAO", "CODIGOINSUMO"), QStringList{"OP1: 20, 30"});
    EXPECT_EQ(Arvore(Aba("K250"), "CODIGOPRODUTO", "CODIGOINSUMO"), QStringList{"10: 20"});
    EXPECT_EQ(Arvore(Aba("K260"), "SEQK260", "CODIGOPRODUTO"), QStringList{"1: 20"});
    EXPECT_EQ(Arvore(Aba("K270"), "SEQK270", "CODIGOPRODUTO"), QStringList{"1: 20, 30"});
    EXPECT_EQ(Linhas(Aba("K200").Dados, "CODIGOPRODUTO"), QStringList{"10"});
    EXPECT_EQ(Linhas(Aba("K220").Dados, "CODIGOPRODUTOORI"), QStringList{"10"});
    // The joint productions having an item of the product, and only those items.
    EXPECT_EQ(Arvore(Aba("K290"), "CODIGOOPOS", "CODIGOPRODUTO"), QStringList{"OPC1: 10"});
    EXPECT_EQ(Arvore(Aba("K300"), "DATARECONHECPROD", "CODIGOPRODUTO"), QStringList{"20/01/2024: 10"});
    Rodar("20");
    EXPECT_EQ(Aba("K210").Dados.RecordCount(), 0);
    EXPECT_EQ(Linhas(Aba("K220").Dados, "CODIGOPRODUTODEST"), QStringList{"20"});
    EXPECT_EQ(Arvore(Aba("K290"), "CODIGOOPOS", "ORIGEM"), QStringList{"OPC1: K292 - Insumo Consumido"});

    // The classification of the master's product.
    Rodar({}, "8000");
    EXPECT_EQ(Arvore(Aba("K210"), "SEQK210", "CODIGOPRODUTO"), QStringList{"2: 40"});
    EXPECT_EQ(Arvore(Aba("K290"), "CODIGOOPOS", "CODIGOPRODUTO"), QStringList{"OPC2: 30, 40"});
    EXPECT_EQ(Aba("K230").Dados.RecordCount(), 0);

    // The participant narrows K200 and K280 only.
    Rodar({}, {}, "7");
    EXPECT_EQ(Contagens(), (QStringList{"1", "2/2", "1", "1/2", "1/1", "1/1", "1/2", "1", "2/2", "1/2"}));
}

TEST_F(ConsultaLctoSpedBlocoKBanco, ParametrosRecusados)
{
    const auto recusa = [this](const QString &alias) -> QString {
        try {
            FDp->Rodar();
        } catch (const EnParam &e) {
            EXPECT_EQ(e.Param(), alias);
            return e.Message();
        }
        ADD_FAILURE() << "sem recusa";
        return {};
    };
    FDp->SetParamText("pCodigoEstab", "1");
    FDp->SetParamText("pDataInicial", "");
    FDp->SetParamText("pDataFinal", "10/02/2024");
    EXPECT_EQ(recusa("pDataInicial"), "Data inválida!");
    FDp->SetParamText("pDataInicial", "15/01/2024");
    FDp->SetParamText("pDataFinal", "");
    EXPECT_EQ(recusa("pDataFinal"), "Data inválida!");
    FDp->SetParamText("pDataFinal", "14/01/2024");
    EXPECT_EQ(recusa("pDataFinal"), "Data Final não pode ser menor que a Data Inicial!");
    FDp->SetParamText("pDataFinal", "10/02/2024");
    FDp->SetParamText("pCodigoProduto", "abc");
    EXPECT_TRUE(recusa("pCodigoProduto").contains("abc"));
    FDp->SetParamText("pCodigoProduto", "");
    FDp->SetParamText("pCodigoNCM", "73'18");
    FDp->Rodar();
    EXPECT_EQ(Aba("K200").Dados.RecordCount(), 0);
    // No company: refused, never company 0.
    FDp->SetParamText("pCodigoEmpresa", "");
    recusa("pCodigoEmpresa");
    FDp->SetParamText("pCodigoEmpresa", "0");
    recusa("pCodigoEmpresa");
    // Nothing ran: no progress frame was shown by the refusals.
    EXPECT_EQ(FUsuario.ProgressosDestruidos, 1);
}

TEST_F(ConsultaLctoSpedBlocoKBanco, FamiliaQueFalhaDeixaTodasAsAbasComoEstavam)
{
    Rodar();
    const QStringList antes = Contagens();
    const int versao = Aba("K200").Dados.GridBands().Versao();
    // The sixth family (K260) cannot read its detail; the data of the others changed.
    con().Executar("delete from SPEDFISK200 where CODIGOPRODUTO = 20");
    con().Executar("delete from SPEDFISK300 where DATARECONHECPROD = '2024-01-20'");
    con().Executar("drop table SPEDFISK265");
    EXPECT_ANY_THROW(Rodar());
    EXPECT_EQ(Contagens(), antes);
    EXPECT_EQ(Aba("K200").Dados.GridBands().Versao(), versao);
    // The progress frame went with the failure too.
    EXPECT_EQ(FUsuario.ProgressosDestruidos, 2);
    EXPECT_FALSE(con().InTransaction());
}

TEST_F(ConsultaLctoSpedBlocoKBanco, CadaAbaAbreORegistroDaLinha)
{
    Rodar();
    QStringList abertos;
    FUsuario.AoMostrarForm = [&abertos](TnDMFormulario &dm, TnFormFalso &) {
        abertos << QString::fromLatin1(dm.metaObject()->className()) + ":"
                       + QString::number(static_cast<TnDMClientDataSet &>(dm).nClientDataSet().RecordCount());
        return true;
    };
    for (const QString &a : kAbas) {
        TnAbaResultado &aba = *FDp->FindAba(a);
        ASSERT_TRUE(aba.AcaoAbrir->Habilitada()) << a.toStdString();
        aba.Dados.Last();
        EXPECT_EQ(aba.AcaoAbrir->Caption(), "Sped Fiscal - Bloco " + a);
        // The records of this library that are registered open on the row; a register the
        // library does not hold is refused by name.
        if (Registro().Classe(aba.AcaoAbrir->ClasseCadastro)) {
            EXPECT_TRUE(aba.AcaoAbrir->Abrir()) << a.toStdString();
        } else {
            EXPECT_THROW(aba.AcaoAbrir->Abrir(), Exception) << a.toStdString();
        }
    }
    // K300 is registered in capitals and found all the same.
    EXPECT_TRUE(abertos.contains("TOrvoDMSPEDFISK300:1")) << abertos.join(" ").toStdString();
    for (const char *k : {"TOrvoDMSpedFisK200:1", "TOrvoDMSpedFisK210:1", "TOrvoDMSpedFisK220:1", "TOrvoDMSpedFisK230:1",
                          "TOrvoDMSpedFisK290:1"})
        EXPECT_TRUE(abertos.contains(k)) << k << " " << abertos.join(" ").toStdString();
}
