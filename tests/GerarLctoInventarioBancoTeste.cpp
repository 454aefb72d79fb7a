// Generation of inventory entries from the fiscal module's closing stock balances, as the
// program loads it (OrvoCore, by class name), with the fiscal module's stand-in (Telso) or
// with a balance process the case plays itself.
#include "Acoes.h"
#include "OrvoDPGerarLctoInventario_U.h"
#include "MuitosLancamentos.h"
#include "Personalizacao.h"
#include "ProcessoInvTeste.h"

#include <QPointer>
#include <gtest/gtest.h>

namespace {

const QString kClasse = QStringLiteral("TOrvoDPGerarLctoInventario");
const QString kClasseSaldo = QStringLiteral("TTelsoDPGerarSaldoInicialEstoque");

// The fiscal module's balance process as a case plays it: each run records what it was
// asked and answers the balances the case gave for the branch.
struct TnSaldoPedido {
    static inline QStringList Pedidos;                     // "branch|first day|last day|pGeraZerado"
    static inline QHash<int, QList<QVariantList>> Saldos; // branch -> rows (product, quantity, unit, total)
    static inline int Criados = 0;
    static inline bool SemDataSet = false;
};

const TnDefProcesso kDeclSaldo{.Parametros = {{.Alias = "pCodigoEmpresa"},
                                              {.Alias = "pCodigoEstab"},
                                              {.Alias = "pDataInicial", .Tipo = ntpData},
                                              {.Alias = "pDataFinal", .Tipo = ntpData},
                                              {.Alias = "pGeraZerado"}}};
const TnDefCampo kCamposSaldo[] = {{.Nome = "CodigoProduto", .Tipo = ftLargeint},
                                   {.Nome = "QuantidadeFinal", .Tipo = ftFloat},
                                   {.Nome = "ValorUnitFinal", .Tipo = ftFloat},
                                   {.Nome = "ValorTotalFinal", .Tipo = ftFloat}};

class TSaldoDoCaso : public TnDMPowerParam {
public:
    TSaldoDoCaso() : TnDMPowerParam(kDeclSaldo)
    {
        ++TnSaldoPedido::Criados;
        if (!TnSaldoPedido::SemDataSet)
            DataSet("curSaldoInicial").DefinirCampos(kCamposSaldo);
    }
    void Executar() override
    {
        const int estab = int(Param("pCodigoEstab").AsInteger());
        TnSaldoPedido::Pedidos << QStringLiteral("%1|%2|%3|%4")
                                      .arg(estab)
                                      .arg(Param("pDataInicial").AsDate().toString(Qt::ISODate),
                                           Param("pDataFinal").AsDate().toString(Qt::ISODate),
                                           Param("pGeraZerado").AsString());
        TnClientDataSet *ds = FindDataSet("curSaldoInicial");
        if (!ds)
            return;
        ds->SetLogChanges(false);
        ds->CreateDataSet();
        for (const QVariantList &s : TnSaldoPedido::Saldos.value(estab)) {
            ds->Append();
            for (int i = 0; i < 4; ++i)
                ds->Fields(i).SetValue(s.value(i));
            ds->Post();
        }
    }
};

class GerarLctoInventarioBanco : public BancoProcessoInv {
protected:
    void SetUp() override
    {
        BancoProcessoInv::SetUp();
        if (IsSkipped())
            return;
        TnSaldoPedido::Pedidos.clear();
        TnSaldoPedido::Saldos.clear();
        TnSaldoPedido::Criados = 0;
        TnSaldoPedido::SemDataSet = false;
        DefinirUsuarioConectado(1, QStringLiteral("ADMINISTRADOR"));
        for (qint64 p : {10, 20, 30})
            Produto(p);
    }
    void TearDown() override
    {
        DefinirUsuarioConectado(0, QString());
        BancoProcessoInv::TearDown();
    }
    // The balances come from the case's own process instead of the fiscal module.
    void SaldosDoCaso() { ASSERT_TRUE(RegistrarClasse<TSaldoDoCaso>(kClasseSaldo)); }
    // A month's closing balance in the fiscal module's table.
    void Saldo(int estab, const QDate &mes, qint64 produto, double qtde, double unitario)
    {
        Sql("insert into SALDOESTOQUE (CODIGOEMPRESA, CODIGOESTAB, DATASALDO, CODIGOPRODUTO, QUANTIDADE, VALORUNITARIO, "
            "VALORTOTAL) values (1, ?, ?, ?, ?, ?, ?)",
            {estab, mes, produto, qtde, unitario, qtde * unitario});
    }
    // The process for `competencia`, every branch and reason 1; `outros` adds or replaces
    // parameters.
    TnDMPowerParam *Gerar(const QString &competencia, const QVariantMap &outros = {})
    {
        QVariantMap p{{"pCompetencia", competencia}, {"pCodigoEstab", ""}, {"pMotivoInventario", "1"}};
        for (auto it = outros.cbegin(); it != outros.cend(); ++it)
            p.insert(it.key(), it.value());
        return Processo(kClasse, p);
    }
};

TEST_F(GerarLctoInventarioBanco, AcaoEParticipanteConformeIndicador)
{
    TnAction *a = AcaoDoMenu("act" + kClasse);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Category(), "40 Utilitários");
    EXPECT_EQ(a->MenuIndex(), 80);
    EXPECT_EQ(a->Caption(), "Gerar Lançamentos do Inventario - Controle de Estoque");
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa");

    TnDMPowerParam *dp = Gerar("03/2024");
    const TnpqParamItem &indicador = dp->Param("pIndPropriedade");
    const TnpqParamItem &participante = dp->Param("pCodigoPessoaPart");
    EXPECT_EQ(indicador.Text(), "Estoque Próprio em Poder de Terceiros"); // "1" by default
    EXPECT_TRUE(participante.Habilitado() && participante.Requerido());
    dp->SetParamText("pIndPropriedade", "Estoque Próprio");
    EXPECT_FALSE(participante.Habilitado() || participante.Requerido());
}

// March: the stand-in's March balances become entries dated March 1st with one property
// line each; a zero balance is not asked for, a balance with no positive unit value is
// reported and left out; indicator 0 writes no participant, an empty account none either.
// A second run of the month is refused.
TEST_F(GerarLctoInventarioBanco, GeraOMesComOModuloFiscal)
{
    TnBibliotecas::Carregar("Telso");
    const QDate marco(2024, 3, 1);
    Saldo(1, marco, 10, 4, 2.5);
    Saldo(1, marco, 20, 0, 3);    // zero: not wanted
    Saldo(1, marco, 30, 2, 0);    // no unit value: reported
    Saldo(2, marco, 20, 1.5, 10);
    Saldo(2, QDate(2024, 2, 1), 10, 9, 9); // another month
    TnDMPowerParam *dp = Gerar("03/2024", {{"pIndPropriedade", "Estoque Próprio"}, {"pCodigoPessoaPart", "55"}});
    EXPECT_EQ(Falha(dp), "");
    EXPECT_EQ(Tabela("select CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, "
                        "VALORICMS, VALORPIS, VALORCOFINS, ORIGEMDADO, CODIGOUSUARIO from LCTOINV "
                        "order by CODIGOESTAB, CODIGOPRODUTO"),
              QStringList({"1|2024-03-01|10|1|4|2.5|0|0|0|1|1", "2|2024-03-01|20|1|1.5|10|0|0|0|1|1"}));
    EXPECT_EQ(Tabela("select CODIGOESTAB, CODIGOPRODUTO, SEQ, INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, "
                        "QUANTIDADE, PRECOUNIT from LCTOINVPROPRIEDADE order by CODIGOESTAB, CODIGOPRODUTO"),
              QStringList({"1|10|1|0|null|null|4|2.5", "2|20|1|0|null|null|1.5|10"}));
    EXPECT_EQ(Relatorio(dp),
              QStringList({"1|" + QString::fromUtf8(OrvoSGerarSaldoIgnorado).arg(1).arg(30),
                           "5|LctoInv - Registros Gravados: 2", "5|LctoInvPropriedade - Registros Gravados: 2"}));
    EXPECT_FALSE(con().InTransaction());

    EXPECT_EQ(Falha(dp), QString::fromUtf8(OrvoSGerarLctoJaExistem));
    EXPECT_EQ(Linhas("LCTOINV"), 2);
}

// Only the chosen branches active in the month are asked, for the whole month and without
// zero balances; the balance process is created once and freed with the module. No balance
// at all commits nothing and reports 0.
TEST_F(GerarLctoInventarioBanco, PedidosAoModuloFiscal)
{
    SaldosDoCaso();
    Sql("update ESTAB set DATAINICIOATIVIDADE = '2024-03-31' where CODIGOESTAB = 2"); // the month's last day
    Estab(3, QDate(2023, 1, 1), QDate(2024, 2, 29)); // ended before
    Estab(4, QDate(2024, 4, 1));                   // starts after
    Estab(5, {}, QDate(2024, 3, 1));               // ends on the first day
    TnDMPowerParam *dp = Gerar("3/2024", {{"pCodigoEstab", "1-4; 5"}, {"pCodigoPessoaPart", "55"}});
    EXPECT_EQ(Falha(dp), "");
    EXPECT_EQ(TnSaldoPedido::Pedidos, QStringList({"1|2024-03-01|2024-03-31|0", "2|2024-03-01|2024-03-31|0",
                                                   "5|2024-03-01|2024-03-31|0"}));
    EXPECT_EQ(Relatorio(dp), QStringList({"1|" + QString::fromUtf8(OrvoSGerarSemSaldos),
                                          "5|LctoInv - Registros Gravados: 0",
                                          "5|LctoInvPropriedade - Registros Gravados: 0"}));

    TnSaldoPedido::Saldos[4] = {{qint64(10), 2.0, 3.0, 6.0}};
    dp->Param("pCompetencia").SetText("04/2024");
    dp->Param("pCodigoEstab").SetText("3; 4");
    EXPECT_EQ(Falha(dp), "");
    EXPECT_EQ(Tabela("select CODIGOESTAB, DATAINVENT, CODIGOPRODUTO from LCTOINV"),
              QStringList({"4|2024-04-01|10"}));
    EXPECT_EQ(TnSaldoPedido::Criados, 1);
    QPointer<TnDataModule> saldo = FindGlobalDataModule("GerarLctoInv");
    ASSERT_FALSE(saldo.isNull());
    DestruirDM(dp);
    EXPECT_TRUE(saldo.isNull());
}

// A third party's stock names the participant; accounts are 64-bit and 0 is none.
TEST_F(GerarLctoInventarioBanco, ParticipanteEConta)
{
    SaldosDoCaso();
    TnSaldoPedido::Saldos[1] = {{qint64(10), 1.0, 1.0, 1.0}};
    QString param;
    for (const char *participante : {"", "abc", "0"}) {
        EXPECT_EQ(Falha(Gerar("03/2024", {{"pCodigoPessoaPart", participante}}), &param),
                  QString::fromUtf8(OrvoSGerarParticipanteObrigatorio));
        EXPECT_EQ(param, "pCodigoPessoaPart");
    }
    EXPECT_EQ(Falha(Gerar("03/2024", {{"pCodigoPessoaPart", "55"}, {"pContaCtb", "1,5"}}), &param),
              QString::fromUtf8(OrvoSGerarContaInvalida).arg("1,5"));
    EXPECT_EQ(param, "pContaCtb");
    EXPECT_TRUE(TnSaldoPedido::Pedidos.isEmpty());

    EXPECT_EQ(Falha(Gerar("03/2024", {{"pIndPropriedade", "Estoque de Terceiros em Poder do Contribuinte"},
                                      {"pCodigoPessoaPart", "55"},
                                      {"pContaCtb", "9876543210123"}})),
              "");
    EXPECT_EQ(Falha(Gerar("04/2024", {{"pCodigoPessoaPart", "56"}, {"pContaCtb", "0"}})), "");
    EXPECT_EQ(Tabela("select DATAINVENT, INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB from LCTOINVPROPRIEDADE "
                        "order by DATAINVENT"),
              QStringList({"2024-03-01|2|55|9876543210123", "2024-04-01|1|56|null"}));
}

// Input refused before anything is computed or written.
TEST_F(GerarLctoInventarioBanco, RecusasAntesDeGerar)
{
    SaldosDoCaso();
    QString param;
    for (const char *mes : {"", "13/2024", "abc"}) {
        EXPECT_EQ(Falha(Gerar(mes, {{"pCodigoPessoaPart", "55"}}), &param),
                  QString::fromUtf8(OrvoSGerarCompetenciaInvalida));
        EXPECT_EQ(param, "pCompetencia");
    }
    EXPECT_FALSE(Falha(Gerar("03/2024", {{"pCodigoEstab", "1;x"}, {"pCodigoPessoaPart", "55"}}), &param).isEmpty());
    EXPECT_EQ(param, "pCodigoEstab");
    EXPECT_EQ(Falha(Gerar("03/2024", {{"pCodigoEstab", "7"}, {"pCodigoPessoaPart", "55"}}), &param),
              QString::fromUtf8(OrvoSGerarSemEstabAtivo));
    EXPECT_EQ(param, "pCodigoEstab");
    EXPECT_EQ(Falha(Gerar("03/2024", {{"pCodigoEmpresa", ""}, {"pCodigoPessoaPart", "55"}})),
              QString::fromUtf8(OrvoSEmpresaFilialNaoSelecionado));
    // Only a reason of the list, 1 to 6; what was typed is quoted up to 60 characters.
    for (const char *motivo : {"-1", "0", "7", "65537"}) {
        EXPECT_EQ(Falha(Gerar("03/2024", {{"pMotivoInventario", motivo}, {"pCodigoPessoaPart", "55"}}), &param),
                  QString::fromUtf8(OrvoSGerarMotivoInvalido).arg(motivo));
        EXPECT_EQ(param, "pMotivoInventario");
    }
    const QString longa = QString(100000, u'7');
    EXPECT_EQ(Falha(Gerar("03/2024", {{"pContaCtb", longa}, {"pCodigoPessoaPart", "55"}}), &param),
              QString::fromUtf8(OrvoSGerarContaInvalida).arg(QString(60, u'7') + QChar(0x2026)));
    EXPECT_EQ(param, "pContaCtb");

    // Entries of branch 2 in the month, of another reason: a run that includes branch 2 is
    // refused as a whole; one of branch 1 alone goes on.
    Lcto(2, QDate(2024, 3, 1), 10, 5, 1, 1);
    EXPECT_EQ(Falha(Gerar("03/2024", {{"pCodigoEstab", "1;2"}, {"pCodigoPessoaPart", "55"}})),
              QString::fromUtf8(OrvoSGerarLctoJaExistem));
    EXPECT_TRUE(TnSaldoPedido::Pedidos.isEmpty());
    EXPECT_EQ(Falha(Gerar("03/2024", {{"pCodigoEstab", "1"}, {"pCodigoPessoaPart", "55"}})), "");
    EXPECT_EQ(TnSaldoPedido::Pedidos.size(), 1);
}

// An insert the database refuses undoes the run, shows the error in the tree and fails.
TEST_F(GerarLctoInventarioBanco, FalhaDesfazEMostraOErro)
{
    TnBibliotecas::Carregar("Telso");
    Saldo(1, QDate(2024, 3, 1), 10, 1, 1);
    Saldo(2, QDate(2024, 3, 1), 10, 1, 1);
    InjetarFalha("LCTOINVPROPRIEDADE", "insert", "NEW.CODIGOESTAB = 2");
    TnDMPowerParam *dp = Gerar("03/2024", {{"pCodigoPessoaPart", "55"}});
    const QString erro = Falha(dp);
    EXPECT_TRUE(erro.startsWith(QString::fromUtf8(OrvoSGerarFalhaGravacao))) << erro.toStdString();
    EXPECT_TRUE(erro.contains("falha injetada")) << erro.toStdString();
    const QStringList relatorio = Relatorio(dp);
    ASSERT_EQ(relatorio.size(), 1);
    EXPECT_TRUE(relatorio.first().startsWith("0|")) << relatorio.first().toStdString();
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 0);
    EXPECT_FALSE(con().InTransaction());
}

// Without the fiscal module's balance class, or without its dataset, the run fails naming
// the fiscal module, before anything is written.
TEST_F(GerarLctoInventarioBanco, SemOModuloFiscal)
{
    const QString inicio = QString::fromUtf8(OrvoSGerarModuloFiscalAusente).section(u'%', 0, 0);
    QString erro = Falha(Gerar("03/2024", {{"pCodigoPessoaPart", "55"}}));
    EXPECT_TRUE(erro.startsWith(inicio) && erro.contains("Telso")) << erro.toStdString();
    TnSaldoPedido::SemDataSet = true;
    SaldosDoCaso();
    erro = Falha(Gerar("03/2024", {{"pCodigoPessoaPart", "55"}}));
    EXPECT_TRUE(erro.startsWith(inicio) && erro.contains("curSaldoInicial")) << erro.toStdString();
    EXPECT_EQ(Linhas("LCTOINV"), 0);
}

} // namespace

namespace {

// Ten thousand balances become entries with their property lines in bulk: on the server a
// few exchanges per thousand rows. A row refused in the middle leaves nothing written and
// the message names it.
TEST_F(GerarLctoInventarioBanco, EmLotesNoServidor)
{
    constexpr int kSaldos = 10000;
    SaldosDoCaso();
    MuitosProdutos(con(), kSaldos);
    QList<QVariantList> &saldos = TnSaldoPedido::Saldos[1];
    for (int i = 1; i <= kSaldos; ++i)
        saldos.append({qint64(100000 + i), double(i), 2.5, i * 2.5});
    InjetarFalha("LCTOINVPROPRIEDADE", "insert", "NEW.CODIGOPRODUTO = 106543");
    const QString erro = Falha(Gerar("03/2024", {{"pCodigoEstab", "1"}, {"pCodigoPessoaPart", "55"}}));
    EXPECT_TRUE(erro.contains("falha injetada")) << erro.toStdString();
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_TRUE(erro.contains("106543")) << erro.toStdString();
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 0);
    EXPECT_FALSE(con().InTransaction());

    RetirarFalha("LCTOINVPROPRIEDADE", "insert");
    con().ZerarIdasEVoltas();
    EXPECT_EQ(Falha(Gerar("03/2024", {{"pCodigoEstab", "1"}, {"pCodigoPessoaPart", "55"}})), "");
    const quint64 idas = con().IdasEVoltas().Total();
    EXPECT_EQ(Linhas("LCTOINV", "QTDEESTOQUE + 100000 = CODIGOPRODUTO and PRECOUNIT = 2.5"), kSaldos);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "QUANTIDADE + 100000 = CODIGOPRODUTO and PRECOUNIT = 2.5"), kSaldos);
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_LE(idas, 2u * 2 * kSaldos / 1000) << idas; // two rows per balance
}

} // namespace
