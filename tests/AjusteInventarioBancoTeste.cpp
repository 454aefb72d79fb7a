// The inventory adjustment as the program loads it (OrvoCore, by class name): its menu action
// and parameters, the input it refuses, the entries it reads and writes, the deletion it
// asks about, the property and tax-situation lines it carries the change to, and the
// all-or-nothing run.
#include "Acoes.h"
#include "BancoOrvo.h"
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "MuitosLancamentos.h"
#include "Menu.h"
#include "OrvoDPAjusteInventario_U.h"
#include "PowerParam.h"

#include <gtest/gtest.h>

namespace {

const QDate kData(2024, 1, 1);

class AjusteInventarioBanco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        ExternalVar("gQTDECASADECIMAL", "2");
        ExternalVar("gQTDECASADECIMALQTD", "4");
        con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial')");
        // Analytic groups 10 and 11, synthetic 20, and an analytic group of another company.
        for (const char *g : {"(1, 10, 2)", "(1, 11, 2)", "(1, 20, 1)", "(2, 30, 2)"})
            con().Executar(QStringLiteral("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, "
                                          "TIPOGRUPOPRODUTO) values %1")
                               .arg(QLatin1String(g)));
        for (int p = 1; p <= 6; ++p)
            con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO, CODIGOGRUPOPRODUTO) "
                           "values (1, ?, 'Produto', ?)",
                           {p, p == 3 ? 11 : 10});
    }

    void Lcto(int estab, qint64 produto, int motivo, double qtde, double preco, const QDate &data = kData)
    {
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, "
                       "ORIGEMDADO) values (1, ?, ?, ?, ?, ?, ?, 3.5, 1.25, 2, ?, 1, 2)",
                       {estab, data, produto, motivo, qtde, preco, QDateTime(data, QTime(8, 0))});
    }
    void Item(int estab, qint64 produto, int motivo, int seq, double qtde, double preco)
    {
        con().Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, QUANTIDADE, PRECOUNIT) values (1, ?, ?, ?, ?, ?, ?, ?)",
                       {estab, kData, produto, motivo, seq, qtde, preco});
    }
    void Cst(int estab, qint64 produto, int motivo, int seq, int cst, double base, double imposto)
    {
        con().Executar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO) values (1, ?, ?, ?, ?, ?, ?, ?, ?)",
                       {estab, kData, produto, motivo, seq, cst, base, imposto});
    }

    // One value of the run's date and company.
    double Valor(const QString &tabela, const QString &coluna, const QString &condicao)
    {
        return nDMSQLDataSet::PegarValorCampo(tabela, coluna,
                                              "CODIGOEMPRESA = 1 and DATAINVENT = '2024-01-01' and " + condicao, con())
            .toDouble();
    }

    // Every row of the three tables, as text.
    QStringList Retrato()
    {
        QStringList linhas;
        for (const char *t : {"LCTOINV", "LCTOINVPROPRIEDADE", "LCTOINVCST"}) {
            auto cmd =
                con().Preparar(QStringLiteral("select * from %1 order by 1, 2, 3, 4, 5, 6").arg(QLatin1String(t)));
            TnCursor &c = cmd->Abrir();
            while (c.Proximo()) {
                QStringList l{QLatin1String(t)};
                for (int i = 0; i < c.Colunas(); ++i)
                    l << c.Valor(i).toString();
                linhas << l.join(u'|');
            }
        }
        return linhas;
    }

    // A new adjustment with its parameters typed as the user would.
    TnDMPowerParam *Ajuste(const QString &estab, const QString &valor, int tipo = 1, const QString &grupo = QString())
    {
        auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(QStringLiteral("TOrvoDPAjusteInventario")));
        EXPECT_NE(dp, nullptr);
        dp->Param("pCodigoEstab").SetText(estab);
        dp->Param("pDataInvent").SetText("01/01/2024");
        dp->Param("pTipoAjuste").SetText(tipo == 1 ? QStringLiteral("Custo Unitário") : QStringLiteral("Quantidade"));
        dp->Param("pValorAjuste").SetText(valor);
        dp->Param("pCodigoGrupoProduto").SetText(grupo);
        return dp;
    }
    // Runs it and answers the final message; its text.
    QString Rodar(TnDMPowerParam *dp)
    {
        FUsuario.Responder(mbOK, QStringLiteral("Ajuste finalizado"));
        dp->Rodar();
        return FUsuario.Perguntas.value(FUsuario.Perguntas.size() - 1);
    }
    // The parameter and message of a refused run.
    static QString Recusa(TnDMPowerParam *dp)
    {
        try {
            dp->Rodar();
        } catch (const EnParam &e) {
            return e.Param() + ": " + e.Message();
        } catch (const Exception &e) {
            return "Exception: " + e.Message();
        }
        return QString();
    }

    TnInteracaoTeste FUsuario;
};

QString Msg(const char *m) { return QString::fromUtf8(m); }

} // namespace

TEST_F(AjusteInventarioBanco, AcaoParametrosEFormatoDoValor)
{
    TnAction *a = AcaoDoMenu("actTOrvoDPAjusteInventario");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Category(), "20 Movimentos");
    EXPECT_EQ(a->Caption(), "Ajustar Inventário");
    EXPECT_EQ(a->MenuIndex(), 40);
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa");

    TnFormFalso form;
    TnDMPowerParam *dp = Ajuste("1", "0");
    dp->ConfigurarForm(&form);
    EXPECT_FALSE(dp->Param("pCodigoEmpresa").Visivel());
    EXPECT_TRUE(dp->Param("pCodigoEstab").MultiSelecao());
    EXPECT_EQ(dp->Param("pTipoAjuste").Value().toString(), "1");
    EXPECT_EQ(dp->Param("pValorAjuste").Caption(), "Novo Custo Total (Geral)");
    // The company's 2 cost decimals show in the new total.
    EXPECT_EQ(dp->Param("pValorAjuste").FormatoExibicao(), "#0.00");
    dp->Param("pValorAjuste").SetText("1.234,5");
    EXPECT_EQ(dp->Param("pValorAjuste").Text(), "1234,50");
    dp->Param("pValorAjuste").SetText("abc");
    EXPECT_EQ(dp->Param("pValorAjuste").Text(), "abc");

    // A company without settings: 6 decimals.
    ExternalVar("gCodigoEmpresa", "2");
    TnDMPowerParam *outro = Ajuste("1", "0");
    outro->ConfigurarForm(nullptr);
    EXPECT_EQ(outro->Param("pValorAjuste").FormatoExibicao(), "#0.000000");
}

TEST_F(AjusteInventarioBanco, EntradasRuinsSaoRecusadasSemMudarNada)
{
    Lcto(1, 1, 1, 4, 2.5);
    Lcto(1, 2, 1, 0, 7); // quantity 0: never read
    const QStringList antes = Retrato();
    struct Caso {
        QString estab, valor, grupo, data, esperado;
    };
    const QString valor = "pValorAjuste: " + Msg(OrvoSValorAjusteInvalido);
    const QString grupo = "pCodigoGrupoProduto: " + Msg(OrvoSGrupoAnaliticoInvalido);
    const std::vector<Caso> casos{
        {"1", "abc", "", "01/01/2024", valor},
        {"1", "0", "", "01/01/2024", valor},
        {"1", "-5", "", "01/01/2024", valor},
        {"1", "0,001", "", "01/01/2024", valor}, // 0 at the cost decimals
        {"1", "10", "abc", "01/01/2024", grupo},
        {"1", "10", "1.5", "01/01/2024", grupo},
        {"1", "10", "20", "01/01/2024", grupo}, // synthetic
        {"1", "10", "30", "01/01/2024", grupo}, // another company's
        {"1", "10", "99", "01/01/2024", grupo},
        {"1; x", "10", "", "01/01/2024", "pCodigoEstab: "},
        {"1' or 1=1", "10", "", "01/01/2024", "pCodigoEstab: "},
        {"1", "10", "", "31/02/2024", "pDataInvent: " + Msg(OrvoSDataInventarioInvalida)},
        {"1", "10", "", "", "pDataInvent: "},
        {"2", "10", "", "01/01/2024", "pTipoAjuste: " + Msg(OrvoSEmpresaSemLacamentos)},
        {"1", "10", "11", "01/01/2024", "pTipoAjuste: " + Msg(OrvoSEmpresaSemLacamentos)},
    };
    for (const Caso &c : casos) {
        TnDMPowerParam *dp = Ajuste(c.estab, c.valor, 1, c.grupo);
        dp->Param("pDataInvent").SetText(c.data);
        EXPECT_TRUE(Recusa(dp).startsWith(c.esperado)) << c.estab.toStdString() << " " << c.valor.toStdString() << " "
                                                       << c.grupo.toStdString() << ": " << Recusa(dp).toStdString();
    }
    TnDMPowerParam *dp = Ajuste("1", "10");
    dp->Param("pTipoAjuste").SetValue(3);
    EXPECT_EQ(Recusa(dp), "pTipoAjuste: " + Msg(OrvoSTipoAjusteInvalido));

    ExternalVar("gCodigoEmpresaAtiva", "");
    EXPECT_EQ(Recusa(Ajuste("1", "10")), "pTipoAjuste: " + Msg(OrvoSEmpresaFilialNaoSelecionado));
    ExternalVar("gCodigoEmpresaAtiva", "1");

    con().Executar("update LCTOINV set PRECOUNIT = 0.001 where CODIGOPRODUTO = 1");
    EXPECT_EQ(Recusa(Ajuste("1", "10")), "pTipoAjuste: " + Msg(OrvoSLacamentosValorZerados));
    con().Executar("update LCTOINV set PRECOUNIT = 2.5 where CODIGOPRODUTO = 1");

    EXPECT_EQ(Retrato(), antes);
    EXPECT_TRUE(FUsuario.Perguntas.isEmpty());
}

TEST_F(AjusteInventarioBanco, CustoUnitarioSoNosLancamentosEscolhidos)
{
    Lcto(1, 1, 1, 4, 2.5);
    Lcto(1, 2, 1, 6, 2);               // another product of group 10
    Lcto(2, 1, 1, 4, 2.5);             // another branch
    Lcto(1, 3, 1, 2, 5);               // group 11
    Lcto(1, 4, 1, -1, 7);              // negative quantity
    Lcto(1, 1, 1, 4, 2.5, QDate(2024, 2, 1)); // another date
    const QString texto = Rodar(Ajuste("1", "49", 1, "10"));
    // 10 + 12 = 22 becomes 49: 4 x 2.50 takes 5.57 (22.28), the 26.72 left gives 6 x 2 the
    // cost 4.45 (26.70): 48.98 reached.
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOESTAB = 1 and CODIGOPRODUTO = 1"), 5.57);
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOESTAB = 1 and CODIGOPRODUTO = 2"), 4.45);
    EXPECT_EQ(texto, Msg(OrvoSAjusteNaoFinalizadoSucesso).arg("R$ 48,98", "2"));
    for (const char *imposto : {"VALORICMS", "VALORPIS", "VALORCOFINS"})
        EXPECT_EQ(Valor("LCTOINV", imposto, "CODIGOESTAB = 1 and CODIGOPRODUTO = 1"), 0) << imposto;
    EXPECT_EQ(Valor("LCTOINV", "VALORICMS", "CODIGOESTAB = 2"), 3.5);
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOESTAB = 2"), 2.5);
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOPRODUTO = 3"), 5);
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOPRODUTO = 4"), 7);
    EXPECT_EQ(Linhas("LCTOINV", "PRECOUNIT = 2.5 and DATAINVENT = '2024-02-01'"), 1);
    EXPECT_FALSE(con().InTransaction());

    // Exact: 4 x 2.50 (with 6 x 2 now 4.46 left out by the branch "2" only) reaches 25.
    const QString exato = Rodar(Ajuste("2", "25"));
    EXPECT_EQ(exato, Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 25,00", "2"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOESTAB = 2"), 6.25);
}

TEST_F(AjusteInventarioBanco, ValorDigitadoDeVariasFormasECasasDoCusto)
{
    Lcto(1, 1, 1, 1, 1);
    EXPECT_EQ(Rodar(Ajuste("1", "1,5")), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 1,50", "2"));
    EXPECT_EQ(Rodar(Ajuste("1", "1.5")), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 1,50", "2"));
    EXPECT_EQ(Rodar(Ajuste("1", "1.234,56")), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 1.234,56", "2"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOPRODUTO = 1"), 1234.56);
    // The target is taken and shown at the cost decimals.
    ExternalVar("gQTDECASADECIMAL", "4");
    EXPECT_EQ(Rodar(Ajuste("1", "10,123456")), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 10,1235", "4"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOPRODUTO = 1"), 10.1235);
}

TEST_F(AjusteInventarioBanco, QuantidadeComResiduoAbsorvidoAtingeOAlvo)
{
    Lcto(1, 1, 1, 2, 3);
    Lcto(1, 2, 1, 1.5, 200);
    ExternalVar("gQTDECASADECIMALQTD", "2");
    EXPECT_EQ(Rodar(Ajuste("1", "1000", 2)), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 1.000,00", "2"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "QTDEESTOQUE", "CODIGOPRODUTO = 1"), 166);
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "QTDEESTOQUE", "CODIGOPRODUTO = 2"), 2.51);
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOPRODUTO = 2"), 200);
}

TEST_F(AjusteInventarioBanco, ExclusaoPerguntadaAntesENaoNaoMudaNada)
{
    Lcto(1, 1, 1, 4, 2.5);
    Lcto(1, 2, 1, 3, 0); // cost 0: ends at 0 and is deleted
    Item(1, 2, 1, 1, 3, 0);
    Cst(1, 2, 1, 1, 0, 10, 1);
    const QStringList antes = Retrato();

    TnDMPowerParam *dp = Ajuste("1", "30");
    FUsuario.Responder(mbNo, QStringLiteral("1 lançamento(s)"));
    EXPECT_EQ(Recusa(dp), "Exception: Operação cancelada");
    EXPECT_EQ(Retrato(), antes);
    EXPECT_EQ(FUsuario.Perguntas.size(), 1);

    FUsuario.Responder(mbYes, QStringLiteral("excluídos"));
    EXPECT_EQ(Rodar(Ajuste("1", "30")), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 30,00", "2"));
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOPRODUTO = 2"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 2"), 0);
    EXPECT_EQ(Linhas("LCTOINVCST", "CODIGOPRODUTO = 2"), 0);
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "PRECOUNIT", "CODIGOPRODUTO = 1"), 7.5);
}

TEST_F(AjusteInventarioBanco, RecusaDoBancoDesfazTudoEChegaComoErro)
{
    Lcto(1, 1, 1, 4, 2.5);
    Lcto(1, 2, 1, 3, 0);
    Lcto(1, 3, 1, 1, 2); // group 11; adjusted as well without a group
    Item(1, 1, 1, 1, 4, 2.5);
    Cst(1, 1, 1, 1, 0, 10, 1);
    const QStringList antes = Retrato();
    InjetarFalha("LCTOINV", "update", "new.CODIGOPRODUTO = 3", "recusado pelo banco");
    FUsuario.Responder(mbYes, QStringLiteral("excluídos"));
    const QString erro = Recusa(Ajuste("1", "50"));
    EXPECT_TRUE(erro.startsWith("Exception: ") && erro.contains("recusado pelo banco")) << erro.toStdString();
    EXPECT_EQ(Retrato(), antes);
    EXPECT_FALSE(con().InTransaction());
    // No success message after the rollback: only the deletion was asked.
    EXPECT_EQ(FUsuario.Perguntas.size(), 1);
}

TEST_F(AjusteInventarioBanco, OutraOrdemFisicaMesmoResultado)
{
    // The same entries written in two orders, under two reasons: the run reads them in key
    // order, so both get the same costs.
    const std::vector<std::tuple<qint64, double, double>> dados{{1, 3, 1.1}, {2, 7, 0.9}, {4, 1, 13}, {5, 2.5, 4}};
    for (const auto &[p, q, c] : dados)
        Lcto(1, p, 1, q, c);
    for (auto it = dados.rbegin(); it != dados.rend(); ++it)
        Lcto(2, std::get<0>(*it), 1, std::get<1>(*it), std::get<2>(*it));
    const QString a = Rodar(Ajuste("1", "100"));
    const QString b = Rodar(Ajuste("2", "100"));
    EXPECT_EQ(a, b);
    auto custo = [this](int estab, qint64 p) {
        const QString onde = QStringLiteral("CODIGOESTAB = %1 and CODIGOPRODUTO = %2").arg(estab).arg(p);
        return Valor("LCTOINV", "PRECOUNIT", onde);
    };
    for (const auto &[p, q, c] : dados)
        EXPECT_DOUBLE_EQ(custo(1, p), custo(2, p));
}

TEST_F(AjusteInventarioBanco, CustoUnitarioChegaAsLinhasDePropriedadeECST)
{
    // Reason 1: 5 x 10 with one line (base 50, tax 9). Reason 2: 2 x 10 with a line that has
    // a CST line and one that has none. 70 becomes 84: both entries at 12.
    Lcto(1, 1, 1, 5, 10);
    Item(1, 1, 1, 1, 5, 10);
    Cst(1, 1, 1, 1, 0, 50, 9);
    Cst(1, 1, 1, 1, 20, 25, 4.5);
    Lcto(1, 1, 2, 2, 10);
    Item(1, 1, 2, 1, 1, 10);
    Item(1, 1, 2, 2, 1, 10);
    Cst(1, 1, 2, 1, 0, 10, 1.8);
    // Other branch and other group: untouched.
    Lcto(2, 1, 1, 5, 10);
    Item(2, 1, 1, 1, 5, 10);
    Cst(2, 1, 1, 1, 0, 50, 9);
    Lcto(1, 3, 1, 5, 10);
    Item(1, 3, 1, 1, 5, 10);
    Cst(1, 3, 1, 1, 0, 50, 9);

    EXPECT_EQ(Rodar(Ajuste("1", "84", 1, "10")), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 84,00", "2"));
    auto motivo = [](int m, const QString &resto = QString()) {
        return QStringLiteral("CODIGOESTAB = 1 and CODIGOPRODUTO = 1 and MOTIVOINVENTARIO = %1").arg(m) + resto;
    };
    EXPECT_DOUBLE_EQ(Valor("LCTOINVPROPRIEDADE", "PRECOUNIT", motivo(1)), 12);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "BASECALCULO", motivo(1, " and CST = 0")), 60);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "VALORIMPOSTO", motivo(1, " and CST = 0")), 10.8);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "BASECALCULO", motivo(1, " and CST = 20")), 30);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "VALORIMPOSTO", motivo(1, " and CST = 20")), 5.4);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", motivo(2, " and PRECOUNIT = 12")), 2);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "BASECALCULO", motivo(2)), 12);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "VALORIMPOSTO", motivo(2)), 2.16);
    for (const char *fora : {"CODIGOESTAB = 2", "CODIGOPRODUTO = 3"}) {
        EXPECT_DOUBLE_EQ(Valor("LCTOINVPROPRIEDADE", "PRECOUNIT", fora), 10) << fora;
        EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "BASECALCULO", fora), 50) << fora;
        EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "VALORIMPOSTO", fora), 9) << fora;
    }
}

TEST_F(AjusteInventarioBanco, DinheiroDasLinhasComDuasCasasMesmoComSeisNoCusto)
{
    ExternalVar("gQTDECASADECIMAL", "6");
    Lcto(1, 1, 1, 3, 10);
    Item(1, 1, 1, 1, 3, 10);
    Cst(1, 1, 1, 1, 0, 10, 1);
    // 35 over 3 units: 11.666667 each, 35.000001 reached.
    EXPECT_EQ(Rodar(Ajuste("1", "35")), Msg(OrvoSAjusteNaoFinalizadoSucesso).arg("R$ 35,000001", "6"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINVPROPRIEDADE", "PRECOUNIT", "CODIGOPRODUTO = 1"), 11.666667);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "BASECALCULO", "CODIGOPRODUTO = 1"), 11.67);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "VALORIMPOSTO", "CODIGOPRODUTO = 1"), 1.17);
}

TEST_F(AjusteInventarioBanco, QuantidadeRepartidaNasLinhasPeloCustoDeCadaUma)
{
    ExternalVar("gQTDECASADECIMALQTD", "3");
    // 9 x 10 becomes 10: lines 1, 1, 1 take 3.334, 3.333, 3.333.
    Lcto(1, 1, 1, 9, 10);
    Item(1, 1, 1, 1, 1, 10);
    Item(1, 1, 1, 2, 1, 10);
    Item(1, 1, 1, 3, 1, 10);
    Cst(1, 1, 1, 1, 0, 10, 1);
    // 2 x 50 stays 2: its lines keep their quantities, and their tax lines their values, the
    // line at 8.00 under the entry at 50.00 included; a line of old quantity 0 keeps its own.
    Lcto(1, 2, 1, 2, 50);
    Item(1, 2, 1, 1, 1, 8);
    Item(1, 2, 1, 2, 1, 12);
    Item(1, 2, 1, 3, 0, 10);
    Cst(1, 2, 1, 1, 0, 8, 1.44);
    Cst(1, 2, 1, 3, 0, 5, 1);

    EXPECT_EQ(Rodar(Ajuste("1", "200", 2)), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 200,00", "2"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "QTDEESTOQUE", "CODIGOPRODUTO = 1"), 10);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVPROPRIEDADE", "QUANTIDADE", "CODIGOPRODUTO = 1 and SEQ = 1"), 3.334);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVPROPRIEDADE", "QUANTIDADE", "CODIGOPRODUTO = 1 and SEQ = 2"), 3.333);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVPROPRIEDADE", "QUANTIDADE", "CODIGOPRODUTO = 1 and SEQ = 3"), 3.333);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVPROPRIEDADE", "PRECOUNIT", "CODIGOPRODUTO = 1 and SEQ = 1"), 10);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "BASECALCULO", "CODIGOPRODUTO = 1"), 33.34);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "VALORIMPOSTO", "CODIGOPRODUTO = 1"), 3.33);

    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "QTDEESTOQUE", "CODIGOPRODUTO = 2"), 2);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVPROPRIEDADE", "QUANTIDADE", "CODIGOPRODUTO = 2 and SEQ = 1"), 1);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "BASECALCULO", "CODIGOPRODUTO = 2 and SEQ = 1"), 8);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "VALORIMPOSTO", "CODIGOPRODUTO = 2 and SEQ = 1"), 1.44);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "BASECALCULO", "CODIGOPRODUTO = 2 and SEQ = 3"), 5);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "VALORIMPOSTO", "CODIGOPRODUTO = 2 and SEQ = 3"), 1);
}

TEST_F(AjusteInventarioBanco, FalhaNaUltimaLinhaDeCSTDesfazTudo)
{
    Lcto(1, 1, 1, 5, 10);
    Item(1, 1, 1, 1, 5, 10);
    Cst(1, 1, 1, 1, 0, 50, 9);
    Lcto(1, 2, 1, 5, 10);
    Item(1, 2, 1, 1, 5, 10);
    Cst(1, 2, 1, 1, 0, 50, 9);
    Cst(1, 2, 1, 1, 60, 50, 9); // the last tax-situation line written
    const QStringList antes = Retrato();
    InjetarFalha("LCTOINVCST", "update", "new.CST = 60", "recusado pelo banco");
    for (int tipo : {1, 2}) {
        const QString erro = Recusa(Ajuste("1", "120", tipo));
        EXPECT_TRUE(erro.startsWith("Exception: ") && erro.contains("recusado pelo banco")) << erro.toStdString();
        EXPECT_EQ(Retrato(), antes);
        EXPECT_FALSE(con().InTransaction());
    }
    EXPECT_TRUE(FUsuario.Perguntas.isEmpty());
}

TEST_F(AjusteInventarioBanco, ValoresExatosDoCustoGravadoNoAjusteENasLinhas)
{
    // By quantity: 10 x 5.00 and 1 x 0.004, target 100.03. The shares give 100.01; the stored
    // cost 0.004 fits the difference five times: 12,508 units (50.032), the target reached.
    Lcto(1, 1, 1, 10, 5);
    Lcto(1, 2, 1, 1, 0.004);
    EXPECT_EQ(Rodar(Ajuste("1", "100,03", 2)), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 100,03", "2"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "QTDEESTOQUE", "CODIGOPRODUTO = 1"), 10);
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "QTDEESTOQUE", "CODIGOPRODUTO = 2"), 12508);
    // 3 x 1.005 is 3.02: the target 3.02 is met by the first share, no residue.
    Lcto(2, 3, 1, 1, 1.005);
    EXPECT_EQ(Rodar(Ajuste("2", "3,02", 2)), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 3,02", "2"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "QTDEESTOQUE", "CODIGOPRODUTO = 3"), 3);
    // No cost decimals: 40 x 3.22 and 12 x 10, target 274: 44 and 13, R$ 272 reached.
    ExternalVar("gQTDECASADECIMAL", "0");
    Lcto(2, 5, 1, 40, 3.22);
    Lcto(2, 6, 1, 12, 10);
    EXPECT_EQ(Rodar(Ajuste("2", "274", 2, "10")), Msg(OrvoSAjusteNaoFinalizadoSucesso).arg("R$ 272", "0"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "QTDEESTOQUE", "CODIGOPRODUTO = 5"), 44);
    EXPECT_DOUBLE_EQ(Valor("LCTOINV", "QTDEESTOQUE", "CODIGOPRODUTO = 6"), 13);
}

TEST_F(AjusteInventarioBanco, BaseDoCSTEscaladaPeloTotalExatoDaLinha)
{
    // 50 x 0.8401 = 42.005: the line's old total is 42.01. The new cost 49.92 makes it
    // 2,496.00, so base 42.00 becomes 42 x 2496 / 42.01 = 2,495.41 and tax 7.56 becomes 449.17.
    Lcto(1, 1, 1, 50, 0.8401);
    Item(1, 1, 1, 1, 50, 0.8401);
    Cst(1, 1, 1, 1, 0, 42, 7.56);
    EXPECT_EQ(Rodar(Ajuste("1", "2496")), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 2.496,00", "2"));
    EXPECT_DOUBLE_EQ(Valor("LCTOINVPROPRIEDADE", "PRECOUNIT", "CODIGOPRODUTO = 1"), 49.92);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "BASECALCULO", "CODIGOPRODUTO = 1"), 2495.41);
    EXPECT_DOUBLE_EQ(Valor("LCTOINVCST", "VALORIMPOSTO", "CODIGOPRODUTO = 1"), 449.17);

    // A base scaled beyond numeric(18,2) is refused and nothing of the run stays.
    Lcto(2, 2, 1, 1, 0.01);
    Item(2, 2, 1, 1, 1, 0.01);
    Cst(2, 2, 1, 1, 0, 1e11, 1);
    const QStringList antes = Retrato();
    EXPECT_EQ(Recusa(Ajuste("2", "1000")),
              "Exception: " + Msg(OrvoSValorForaDaFaixaAjuste).arg("10000000000000000,00", "Base de Cálculo").arg(2).arg(2).arg(1));
    EXPECT_EQ(Retrato(), antes);
}

// Ten thousand entries adjusted by unit cost, the cost reaching their property and
// tax-situation lines: on the server the writes go in batches, a few exchanges per
// thousand rows. A line refused in the middle leaves every row as it was and the message
// names it.
TEST_F(AjusteInventarioBanco, EmLotesNoServidor)
{
    constexpr int kEntradas = 10000;
    MuitosLancamentos(con(), 1, kData, kEntradas);
    const QStringList antes = Retrato();
    InjetarFalha("LCTOINVCST", "update", "new.CODIGOPRODUTO = 106543", "recusado pelo banco");
    const QString erro = Recusa(Ajuste("1", "250025000"));
    EXPECT_TRUE(erro.contains("recusado pelo banco")) << erro.toStdString();
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_TRUE(erro.contains("106543")) << erro.toStdString();
    EXPECT_EQ(Retrato(), antes);
    EXPECT_FALSE(con().InTransaction());

    RetirarFalha("LCTOINVCST", "update");
    con().ZerarIdasEVoltas();
    // Twice the value (quantity x 2.5 summed over 1..10000): every cost doubles.
    EXPECT_EQ(Rodar(Ajuste("1", "250025000")), Msg(OrvoSAjusteFinalizadoSucesso).arg("R$ 250.025.000,00", "2"));
    const quint64 idas = con().IdasEVoltas().Total();
    EXPECT_EQ(Linhas("LCTOINV", "PRECOUNIT = 5"), kEntradas);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "PRECOUNIT = 5"), kEntradas);
    EXPECT_EQ(Linhas("LCTOINVCST", "BASECALCULO = 2 * (CODIGOPRODUTO - 100000) and VALORIMPOSTO = 2"), kEntradas);
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_LE(idas, 2u * 3 * kEntradas / 1000) << idas; // three rows per entry
}
