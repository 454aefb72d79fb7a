// The balance roll-up over the product-group chart as the program loads it (OrvoCore, by
// class name): group values with each entry rounded to the company's decimals, the roll-up
// up the synthetic levels, the prefix and reason filters, several companies in one run, the
// broken structure and the parameters it refuses.
#include "Acoes.h"
#include "Decimal.h"
#include "PlanoGruposTeste.h"
#include "Menu.h"
#include "OrvoDPGerarSaldoInv_U.h"

#include <gtest/gtest.h>

namespace {
const QString kClasse = QStringLiteral("TOrvoDPGerarSaldoInv");

class SaldoGrupoBanco : public BancoPlanoGrupos {
protected:
    void SetUp() override
    {
        BancoPlanoGrupos::SetUp();
        if (IsSkipped())
            return;
        for (int estab : {2, 3})
            con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, ?, 'Filial')", {estab});
        // The chart of company 1: synthetic 1, 1.01 and 1.02 (which carries products too).
        Grupo(1, 1, "1", 1);
        Grupo(1, 2, "1.01", 1);
        Grupo(1, 3, "1.01.001", 2);
        Grupo(1, 4, "1.01.002", 2);
        Grupo(1, 8, "1.01.003", 2);
        Grupo(1, 5, "1.02", 1);
        Grupo(1, 6, "1.02.001", 2);
        Grupo(1, 7, "2", 2);
        // Branch 1: each entry of group 3 is worth 2.675, rounded to 2.68 before the sum.
        Lancamento(1, 1, 101, 3, 1, 2.675);
        Lancamento(1, 1, 102, 3, 1, 2.675);
        Lancamento(1, 1, 103, 4, 10, 1.5);
        Lancamento(1, 1, 104, 5, 2, 5);
        Lancamento(1, 1, 105, 6, 3, 3);
        Lancamento(1, 1, 106, 0, 100, 1); // a product without a group
        Lancamento(1, 1, 107, 7, 4, 0.5);
        // Branch 2: one entry of reason 2; branch 3: none.
        Lancamento(1, 2, 101, 3, 1, 10, 2);
    }
    TnDMPowerParam *Processo()
    {
        if (!FProcesso)
            FProcesso = qobject_cast<TnDMPowerParam *>(CriarDM(kClasse));
        EXPECT_NE(FProcesso, nullptr);
        return FProcesso;
    }
    // The result the run leaves for its report.
    TnClientDataSet &Dados()
    {
        TnClientDataSet *ds = Processo()->DadosRelatorio();
        if (!ds)
            throw Exception("sem resultado");
        return *ds;
    }
    // Runs with the parameters (alias -> text); the date is the selected one unless given.
    void Rodar(const QVariantMap &params)
    {
        TnDMPowerParam *dp = Processo();
        dp->PowerParam().Restaurar();
        dp->Param("pDataInicial").SetText("31/01/2024");
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            dp->Param(it.key()).SetText(it.value().toString());
        dp->Rodar();
    }
    // The result: "company/branch classification value total" per row, values at the
    // company's decimals.
    QStringList Resultado()
    {
        QStringList r;
        TnClientDataSet &ds = Dados();
        for (ds.First(); !ds.Eof(); ds.Next()) {
            const int casas = FCasas.value(ds.FieldByName("CODIGOEMPRESA").AsInteger(), 2);
            // The values as stored, every digit, at the company's decimals.
            const auto valor = [&](const char *campo) {
                const TnField &f = ds.FieldByName(campo);
                EXPECT_EQ(f.EscalaDaLinha(), casas) << campo;
                return nDecimal::ParaTexto(f.Celula().I, casas);
            };
            r << QString("%1/%2 %3 %4 %5")
                     .arg(ds.FieldByName("CODIGOEMPRESA").AsInteger())
                     .arg(ds.FieldByName("CODIGOESTAB").AsInteger())
                     .arg(ds.FieldByName("CLASSIFGRUPOPRODUTO").AsString())
                     .arg(valor("VALORLCTO"), valor("TOTALESTAB"));
        }
        return r;
    }
    // Company 2, its branch 1 and its cost at 6 decimals.
    void SegundaEmpresaComSeisCasas()
    {
        con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Segunda')");
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (2, 1, 'Matriz')");
        con().Executar("insert into CFGEMPRESAINV (CODIGOEMPRESA, QTDECASADECIMAL, QTDECASADECIMALQTD, LANCAICMSRECUP, "
                       "DETALHARPISCOFINSITEM, PERIODOINVENTARIO) values (2, 6, 4, '0', '0', 0)");
        FCasas[2] = 6;
    }
    // The message of the failure of a run (empty when it runs); `param` gets EnParam's.
    QString Falha(const QVariantMap &params, QString *param = nullptr)
    {
        try {
            Rodar(params);
        } catch (const EnParam &e) {
            if (param)
                *param = e.Param();
            return e.Message();
        } catch (const Exception &e) {
            return e.Message();
        }
        return QString();
    }
    TnDMPowerParam *FProcesso = nullptr;
    QHash<int, int> FCasas; // cost decimals of the companies, 2 when not listed
};

std::string Texto(const QStringList &l) { return l.join('\n').toStdString(); }

const QStringList kEstab1 = {"1/1 1 39.36 41.36",        "1/1 1.01 20.36 41.36", "1/1 1.01.001 5.36 41.36",
                             "1/1 1.01.002 15.00 41.36", "1/1 1.01.003 0.00 41.36", "1/1 1.02 19.00 41.36",
                             "1/1 1.02.001 9.00 41.36",  "1/1 2 2.00 41.36"};
} // namespace

TEST_F(SaldoGrupoBanco, AcaoEParametros)
{
    TnActionList &acoes = AcoesDoMenu();
    TnAction *a = acoes.Acao("act" + kClasse);
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->ControlaDireito());
    EXPECT_TRUE(a->VerificaSelecao().isEmpty());
    TnMenuModelo menu({"&Cadastros", "&Movimentos", "&Utilitários"});
    menu.Montar(acoes);
    EXPECT_NE(menu.Item("Utilitários\\Saldo anterior e movimentação"), nullptr);
    QStringList captions;
    for (int i = 0; i < Processo()->PowerParam().Count(); ++i)
        captions << Processo()->PowerParam().Items(i).Caption();
    EXPECT_EQ(captions, QStringList({"Empresa", "Estabelecimento", "Data Inicial", "Classificação",
                                     "Motivo Inventário", ""}));
    EXPECT_FALSE(Processo()->Param("ATotalGrupos").Visivel());
}

TEST_F(SaldoGrupoBanco, ValoresSobemPeloPlanoEmOrdemDoPlano)
{
    Rodar({{"pCodigoEmpresa", "1"}});
    // Branch 2 counts its reason-2 entry; branch 3 has no entries and yields no row.
    QStringList esperado = kEstab1;
    for (const char *l : {"1 10.00", "1.01 10.00", "1.01.001 10.00", "1.01.002 0.00", "1.01.003 0.00", "1.02 0.00",
                          "1.02.001 0.00", "2 0.00"})
        esperado << QString("1/2 %1 10.00").arg(QString::fromLatin1(l));
    EXPECT_EQ(Texto(Resultado()), Texto(esperado));
    TnClientDataSet &ds = Dados();
    ds.First();
    EXPECT_EQ(ds.FieldByName("DESCRGRUPOPRODUTO").AsString(), "Grupo 1");
    EXPECT_EQ(ds.FieldByName("TIPOGRUPOPRODUTO").AsInteger(), 1);
    EXPECT_EQ(ds.FieldByName("CODIGOGRUPOPRODUTO").AsInteger(), 1);
    // The run says what it left for the report.
    ASSERT_EQ(Processo()->Mensagens().Itens().size(), 1u);
    EXPECT_EQ(Processo()->Mensagens().Itens()[0]->Texto.toStdString(),
              QString::fromUtf8(OrvoSSaldoResultado).arg(16).arg(2).toStdString());

    // Reason 1 only: branch 2 has none of it.
    Rodar({{"pMotivoInventario", "1"}});
    EXPECT_EQ(Texto(Resultado()), Texto(kEstab1));
    // Reason 0 is every reason, as an empty one.
    Rodar({{"pMotivoInventario", "0"}, {"pCodigoEstab", "1-2"}});
    EXPECT_EQ(Texto(Resultado()), Texto(esperado));
}

TEST_F(SaldoGrupoBanco, PrefixoParaNoNivelDoPrefixoECadaExecucaoComecaDoZero)
{
    Rodar({{"pCodigoEstab", "1"}, {"pClassifConta", " 1.01 "}});
    // 1 is neither in the set nor totalled; entries of other groups count nowhere.
    EXPECT_EQ(Texto(Resultado()), Texto(QStringList({"1/1 1.01 20.36 20.36", "1/1 1.01.001 5.36 20.36", "1/1 1.01.002 15.00 20.36",
                                        "1/1 1.01.003 0.00 20.36"})));
    // Another run with another prefix: its own set, from an empty result.
    Rodar({{"pCodigoEstab", "1"}, {"pClassifConta", "1.02"}});
    EXPECT_EQ(Texto(Resultado()), Texto(QStringList({"1/1 1.02 19.00 19.00", "1/1 1.02.001 9.00 19.00"})));
    Rodar({{"pCodigoEstab", "1"}});
    EXPECT_EQ(Texto(Resultado()), Texto(kEstab1));

    // The prefix is text compared as stored: no pattern, no quotes, letter case counts.
    con().Executar("update GRUPOPRODUTO set CLASSIFGRUPOPRODUTO = 'a.1' where CODIGOGRUPOPRODUTO = 7");
    for (const char *prefixo : {"1'; --", "%", "_", "1.0_", "A"}) {
        Rodar({{"pCodigoEstab", "1"}, {"pClassifConta", QString::fromLatin1(prefixo)}});
        EXPECT_TRUE(Resultado().isEmpty()) << prefixo;
    }
    EXPECT_EQ(Linhas("GRUPOPRODUTO"), 8);
    Rodar({{"pCodigoEstab", "1"}, {"pClassifConta", "a.1"}});
    EXPECT_EQ(Texto(Resultado()), Texto(QStringList({"1/1 a.1 2.00 2.00"})));
}

TEST_F(SaldoGrupoBanco, EstruturaQuebradaParaORodadaMasGuardaOsEstabelecimentosAnteriores)
{
    // Branch 2 has an entry of a group whose parent is no synthetic group of the set.
    Grupo(1, 9, "3.01.001", 2);
    Lancamento(1, 2, 109, 9, 1, 1);
    EXPECT_EQ(Falha({{"pCodigoEmpresa", "1"}}), QString::fromUtf8(OrvoSEstruturaPlanoContas));
    EXPECT_EQ(Texto(Resultado()), Texto(kEstab1 + QStringList({"1/1 3.01.001 0.00 41.36"})));

    // Under a prefix the parent is the prefix's level.
    con().Executar("delete from GRUPOPRODUTO where CODIGOGRUPOPRODUTO = 2");
    EXPECT_EQ(Falha({{"pCodigoEstab", "1"}, {"pClassifConta", "1.01"}}), QString::fromUtf8(OrvoSEstruturaPlanoContas));
    EXPECT_TRUE(Resultado().isEmpty());
    // A synthetic group of an empty classification stands for no level.
    Grupo(1, 2, "", 1);
    EXPECT_EQ(Falha({{"pCodigoEstab", "1"}}), QString::fromUtf8(OrvoSEstruturaPlanoContas));
}

TEST_F(SaldoGrupoBanco, CadaEmpresaComSuasCasasDecimais)
{
    SegundaEmpresaComSeisCasas();
    Grupo(2, 1, "1", 1);
    Grupo(2, 2, "1.1", 2);
    Lancamento(2, 1, 201, 2, 1, 1.2345675);
    Lancamento(2, 1, 202, 2, 1, 2.0000005);
    // Branches without companies: the branch condition holds for every company.
    Rodar({{"pCodigoEstab", "1"}});
    EXPECT_EQ(Texto(Resultado()), Texto(kEstab1 + QStringList({"2/1 1 3.234569 3.234569", "2/1 1.1 3.234569 3.234569"})));

    // 4 decimals: each entry rounded (1.2346 + 2.0000), the sum rounded again.
    con().Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 4 where CODIGOEMPRESA = 2");
    FCasas[2] = 4;
    Rodar({{"pCodigoEmpresa", "2"}});
    EXPECT_EQ(Texto(Resultado()), Texto(QStringList({"2/1 1 3.2346 3.2346", "2/1 1.1 3.2346 3.2346"})));
    EXPECT_EQ(Dados().FieldByName("VALORLCTO").EscalaDaLinha(), 4);
    // Without a settings row: 2 decimals.
    con().Executar("delete from CFGEMPRESAINV where CODIGOEMPRESA = 2");
    FCasas[2] = 2;
    Rodar({{"pCodigoEmpresa", "2"}});
    EXPECT_EQ(Texto(Resultado()), Texto(QStringList({"2/1 1 3.23 3.23", "2/1 1.1 3.23 3.23"})));
}

TEST_F(SaldoGrupoBanco, DezoitoDigitosExatosNasCasasDeCadaEmpresa)
{
    // Company 2 at 6 decimals in the same run as company 1 at 2.
    SegundaEmpresaComSeisCasas();
    Grupo(2, 1, "1", 2);
    Lancamento(2, 1, 201, 1, 3, 1.0000005); // 3.0000015 -> 3.000002 (half away from zero)
    // Branch 2: 10,000,010,000,000.00 beside its 10.00; branch 3: 1234567890123456.78.
    Lancamento(1, 2, 301, 4, 1000001, 10000000);
    Lancamento(1, 3, 302, 4, 123456789, 10000000);
    Lancamento(1, 3, 303, 4, 1, 123456.78);
    Rodar({{"pCodigoEmpresa", "1;2"}, {"pCodigoEstab", "1-3"}});
    QStringList esperado = kEstab1;
    for (const char *l : {"1 10000010000010.00", "1.01 10000010000010.00", "1.01.001 10.00",
                          "1.01.002 10000010000000.00", "1.01.003 0.00", "1.02 0.00", "1.02.001 0.00", "2 0.00"})
        esperado << QString("1/2 %1 10000010000010.00").arg(QString::fromLatin1(l));
    for (const char *l : {"1 1234567890123456.78", "1.01 1234567890123456.78", "1.01.001 0.00",
                          "1.01.002 1234567890123456.78", "1.01.003 0.00", "1.02 0.00", "1.02.001 0.00", "2 0.00"})
        esperado << QString("1/3 %1 1234567890123456.78").arg(QString::fromLatin1(l));
    esperado << "2/1 1 3.000002 3.000002";
    EXPECT_EQ(Texto(Resultado()), Texto(esperado));
    // The report shows every digit, at each company's decimals.
    const TnRelatorio r = Processo()->Relatorio();
    QStringList valores;
    for (const TnLinhaRelatorio &l : r.Linhas)
        if (l.Tipo == ntlTotal)
            valores << l.Celulas.last();
    EXPECT_EQ(Texto(valores), Texto(QStringList({"41,36", "10.000.010.000.010,00", "1.234.567.890.123.456,78", "3,000002"})));

    // A total beyond numeric(18, 2) is refused naming company, branch and group: the
    // analytic group, then a synthetic one, and no row of that branch is left.
    Lancamento(1, 3, 304, 4, 9000000, 1000000000); // 9,000,000,000,000,000.00 in all
    EXPECT_EQ(Falha({{"pCodigoEmpresa", "1"}, {"pCodigoEstab", "3"}}),
              QString::fromUtf8(OrvoSValorForaDoLimite).arg(4).arg(1).arg(3));
    EXPECT_TRUE(Resultado().isEmpty());
    con().Executar("update PRODUTO set CODIGOGRUPOPRODUTO = 8 where CODIGOPRODUTO = 304");
    EXPECT_EQ(Falha({{"pCodigoEmpresa", "1"}, {"pCodigoEstab", "1;3"}}),
              QString::fromUtf8(OrvoSValorForaDoLimite).arg(2).arg(1).arg(3));
    EXPECT_EQ(Texto(Resultado()), Texto(kEstab1));
}

TEST_F(SaldoGrupoBanco, ParametrosRecusadosNoSeuLugar)
{
    QString param;
    EXPECT_EQ(Falha({{"pDataInicial", ""}}, &param), QString::fromUtf8(OrvoSDataInicialInvalida));
    EXPECT_EQ(param, "pDataInicial");
    EXPECT_EQ(Falha({{"pDataInicial", "31/02/2024"}}, &param), QString::fromUtf8(OrvoSDataInicialInvalida));
    EXPECT_FALSE(Falha({{"pMotivoInventario", "x"}}, &param).isEmpty());
    EXPECT_EQ(param, "pMotivoInventario");
    EXPECT_TRUE(Falha({{"pCodigoEmpresa", "1;x"}}, &param).contains("x"));
    EXPECT_EQ(param, "pCodigoEmpresa");
    EXPECT_TRUE(Falha({{"pCodigoEstab", "1 or 1=1"}}, &param).contains("1 or 1=1"));
    EXPECT_EQ(param, "pCodigoEstab");
    // A company that does not exist selects nothing, and the run says so.
    Rodar({{"pCodigoEmpresa", "99"}});
    EXPECT_TRUE(Resultado().isEmpty());
    ASSERT_EQ(Processo()->Mensagens().Itens().size(), 1u);
    EXPECT_EQ(Processo()->Mensagens().Itens()[0]->Texto, QString::fromUtf8(OrvoSSaldoSemLancamentos));
}
