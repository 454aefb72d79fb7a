// Duplication of inventory entries between branches and dates, as the program loads it
// (OrvoCore, by class name): the copy with its lines and factors, the user's choice about
// the entries the destination holds, and the refusals that leave everything as it was.
#include "Acoes.h"
#include "OrvoDPDuplicarLctoInv_U.h"
#include "InteracaoTeste.h"
#include "MuitosLancamentos.h"
#include "Personalizacao.h"
#include "ProcessoInvTeste.h"

#include <gtest/gtest.h>

namespace {

const QString kClasse = QStringLiteral("TOrvoDPDuplicarLctoInv");
const QDate kOrigem(2024, 1, 1), kDestino(2024, 2, 1);

class DuplicarLctoInvBanco : public BancoProcessoInv {
protected:
    void SetUp() override
    {
        BancoProcessoInv::SetUp();
        if (IsSkipped())
            return;
        DefinirUsuarioConectado(1, QStringLiteral("ADMINISTRADOR"));
        Estab(3);
        for (qint64 p : {10, 20, 30})
            Produto(p);
    }
    void TearDown() override
    {
        DefinirUsuarioConectado(0, QString());
        BancoProcessoInv::TearDown();
    }
    // The process with the usual source (branch 1, January) and the given destinations, to
    // February unless told otherwise; `outros` adds or replaces parameters.
    TnDMPowerParam *Duplicar(const QString &destinos, const QVariantMap &outros = {})
    {
        QVariantMap p{{"pCodigoEstab", "1"},
                      {"pCompetenciaOrigem", "01/01/2024"},
                      {"pCodigoEstabDest", destinos},
                      {"pCompetenciaDestino", "01/02/2024"}};
        for (auto it = outros.cbegin(); it != outros.cend(); ++it)
            p.insert(it.key(), it.value());
        return Processo(kClasse, p);
    }
    // Entries (branch|product|reason|quantity|cost) at a date, in key order.
    QStringList Entradas(const QDate &data)
    {
        return Tabela(QStringLiteral("select CODIGOESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT "
                                        "from LCTOINV where DATAINVENT = '%1' "
                                        "order by CODIGOESTAB, CODIGOPRODUTO, MOTIVOINVENTARIO")
                             .arg(data.toString(Qt::ISODate)));
    }
    TnInteracaoTeste FUsuario;
    // Two entries at the destination's branch 2 that a copy may meet (product 10) or not
    // (product 30), each with a property line.
    void DestinoOcupado()
    {
        Lcto(2, kDestino, 10, 1, 99, 9);
        Propriedade(2, kDestino, 10, 1, 1, 99, 9);
        Lcto(2, kDestino, 30, 1, 77, 7);
        Propriedade(2, kDestino, 30, 1, 1, 77, 7);
    }
};

// The menu entry, under the movements, opening once a company is chosen.
TEST_F(DuplicarLctoInvBanco, AcaoNoMenu)
{
    TnAction *a = AcaoDoMenu("act" + kClasse);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Category(), "20 Movimentos");
    EXPECT_EQ(a->MenuIndex(), 20);
    EXPECT_EQ(a->Caption(), "Duplicar Lançamentos do Inventário");
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa");
}

// No destination entry: no question. Entries, property and tax-situation lines go to every
// destination branch with the factors and the company's decimals (4 for quantities, 2 for
// costs); taxes and tax lines as they were; accounts and participants 0 as null; written as
// automatic by the connected user.
TEST_F(DuplicarLctoInvBanco, CopiaEntradasComLinhasEFatores)
{
    LctoCom(1, kOrigem, 10, 1, 10, 3.333, {{"VALORICMS", 1.11}, {"VALORPIS", 0.5}, {"OBSLCTOINV", "nota"}});
    Propriedade(1, kOrigem, 10, 1, 1, 10, 3.333, QVariant(), 0); // no participant, account 0
    Cst(1, kOrigem, 10, 1, 1, 0, 100, 18);
    Cst(1, kOrigem, 10, 1, 1, 60, 50, 0);
    Propriedade(1, kOrigem, 10, 1, 2, 4.5, 2, 55, qint64(9876543210LL), 1);
    Cst(1, kOrigem, 10, 1, 2, 10, 10, 1);
    Lcto(1, kOrigem, 10, 5, 3, 1);
    Lcto(1, kOrigem, 20, 1, 10.5, 2);
    Lcto(1, QDate(2024, 1, 31), 30, 1, 1, 1); // another date: not copied

    TnDMPowerParam *dp = Duplicar("2; 3", {{"pReagusteQuantidade", "1,25"}, {"pReagusteValorUnitario", "1.1"}});
    EXPECT_EQ(Falha(dp), "");
    EXPECT_TRUE(FUsuario.Perguntas.isEmpty());
    EXPECT_FALSE(con().InTransaction());
    // 10 is whole: 12.5 rounds half away from zero to 13; 10.5 keeps 4 decimals.
    EXPECT_EQ(Entradas(kDestino), QStringList({"2|10|1|13|3.67", "2|10|5|4|1.1", "2|20|1|13.125|2.2",
                                               "3|10|1|13|3.67", "3|10|5|4|1.1", "3|20|1|13.125|2.2"}));
    EXPECT_EQ(Tabela("select VALORIR, VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, ORIGEMDADO, CODIGOUSUARIO "
                        "from LCTOINV where DATAINVENT = '2024-02-01' and CODIGOPRODUTO = 10 and MOTIVOINVENTARIO = 1 "
                        "order by CODIGOESTAB"),
              QStringList({"0|1.11|0.5|0|nota|1|1", "0|1.11|0.5|0|nota|1|1"}));
    EXPECT_EQ(Linhas("LCTOINV", "DATAINVENT = '2024-02-01' and DATAHORALCTOINV < '2024-01-01'"), 0);
    // The periods are months: typed as such, or as any day of the month, they mean its first day.
    EXPECT_TRUE(dp->Param("pCompetenciaOrigem").EhMesAno());
    EXPECT_EQ(Falha(Duplicar("2", {{"pCompetenciaOrigem", "1/2024"}, {"pCompetenciaDestino", "20/03/2024"}})), "");
    EXPECT_EQ(Entradas(QDate(2024, 3, 1)), QStringList({"2|10|1|10|3.33", "2|10|5|3|1", "2|20|1|10.5|2"}));
    EXPECT_EQ(Tabela("select CODIGOESTAB, SEQ, INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, QUANTIDADE, "
                        "PRECOUNIT, VALORIR from LCTOINVPROPRIEDADE where DATAINVENT = '2024-02-01' "
                        "order by CODIGOESTAB, SEQ"),
              QStringList({"2|1|0|null|null|13|3.67|1.5", "2|2|1|55|9876543210|5.625|2.2|1.5", "3|1|0|null|null|13|3.67|1.5",
                           "3|2|1|55|9876543210|5.625|2.2|1.5"}));
    EXPECT_EQ(Tabela("select CODIGOESTAB, SEQ, CST, BASECALCULO, VALORIMPOSTO from LCTOINVCST "
                        "where DATAINVENT = '2024-02-01' order by CODIGOESTAB, SEQ, CST"),
              QStringList({"2|1|0|100|18", "2|1|60|50|0", "2|2|10|10|1", "3|1|0|100|18", "3|1|60|50|0",
                           "3|2|10|10|1"}));
    EXPECT_EQ(Relatorio(dp), QStringList({"4|Lançamentos do inventário duplicados com sucesso: 6."}));
    // The factors as the form shows them again.
    EXPECT_EQ(dp->Param("pReagusteQuantidade").Text(), "1,250000");
    EXPECT_EQ(dp->Param("pReagusteValorUnitario").Text(), "1,100000");
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOESTAB = 1"), 4); // the source as it was
}

// Factors: 2 passes, a bit more or 0 does not; empty is 1; a point or a comma; a text that is
// no number is refused on its parameter.
TEST_F(DuplicarLctoInvBanco, FatoresDoReajuste)
{
    Lcto(1, kOrigem, 20, 1, 10.5, 2);
    struct Caso {
        const char *Qtde, *Custo, *Param;
    };
    for (const Caso &c : {Caso{"2,000001", "", "pReagusteQuantidade"}, Caso{"0", "", "pReagusteQuantidade"},
                          Caso{"", "2.0000001", "pReagusteValorUnitario"}, Caso{"", "0", "pReagusteValorUnitario"},
                          Caso{"abc", "", "pReagusteQuantidade"}, Caso{"1", "1,2,3", "pReagusteValorUnitario"},
                          Caso{"-1", "", "pReagusteQuantidade"}}) {
        QString param;
        const QString erro = Falha(Duplicar("2", {{"pReagusteQuantidade", c.Qtde}, {"pReagusteValorUnitario", c.Custo}}),
                                   &param);
        EXPECT_FALSE(erro.isEmpty()) << c.Qtde << " " << c.Custo;
        EXPECT_EQ(param, c.Param) << c.Qtde << " " << c.Custo;
    }
    EXPECT_EQ(Linhas("LCTOINV", "DATAINVENT = '2024-02-01'"), 0);

    EXPECT_EQ(Falha(Duplicar("2", {{"pReagusteQuantidade", "1.1"}, {"pReagusteValorUnitario", "2"}})), "");
    EXPECT_EQ(Falha(Duplicar("3", {{"pReagusteQuantidade", "1,1"}})), "");
    EXPECT_EQ(Entradas(kDestino), QStringList({"2|20|1|11.55|4", "3|20|1|11.55|2"}));
}

// The factors apply as exact decimal products, also at half a cent: 0.15 x 1.5 = 0.225 is
// 0.23 and 1.0003 x 1.5 = 1.50045 is 1.5005 (the product of the doubles lies below both).
TEST_F(DuplicarLctoInvBanco, ReajusteExatoNoMeioCentavo)
{
    Lcto(1, kOrigem, 20, 1, 1.0003, 0.15);
    Propriedade(1, kOrigem, 20, 1, 1, 1.0003, 0.15);
    EXPECT_EQ(Falha(Duplicar("2", {{"pReagusteQuantidade", "1,5"}, {"pReagusteValorUnitario", "1,5"}})), "");
    EXPECT_EQ(Entradas(kDestino), QStringList({"2|20|1|1.5005|0.23"}));
    EXPECT_EQ(Tabela("select QUANTIDADE, PRECOUNIT from LCTOINVPROPRIEDADE where DATAINVENT = '2024-02-01'"),
              QStringList({"1.5005|0.23"}));
}

// The product starts from the shortest decimal form of the stored value, on the server too
// whatever number of digits the session shows: 0.9999999999999999 x 1.00005 is
// 1.0000499999999999899995, 1 at 4 decimals, where its 15-digit form (1) would give 1.0001.
TEST_F(DuplicarLctoInvBanco, ReajusteDoValorGuardadoInteiro)
{
    Lcto(1, kOrigem, 20, 1, 0.9999999999999999, 2);
    const bool pg = con().PegarTipoCon() == tcPostgreSQL;
    if (pg)
        Sql("set extra_float_digits = 0");
    EXPECT_EQ(Falha(Duplicar("2", {{"pReagusteQuantidade", "1,00005"}})), "");
    if (pg)
        Sql("reset extra_float_digits");
    EXPECT_EQ(Entradas(kDestino), QStringList({"2|20|1|1|2"}));
}

// A factor that takes a value past what its column holds (6e14 x 2) refuses the run on both engines,
// naming the entry, and writes nothing (the set-based copy on the server included).
TEST_F(DuplicarLctoInvBanco, ReajusteForaDaColunaRecusado)
{
    Lcto(1, kOrigem, 10, 1, 5, 5);
    Lcto(1, kOrigem, 20, 1, 600000000000000.0, 2);
    Propriedade(1, kOrigem, 20, 1, 1, 600000000000000.0, 2);
    const QString erro = Falha(Duplicar("2", {{"pReagusteQuantidade", "2"}}));
    EXPECT_FALSE(erro.isEmpty());
    EXPECT_TRUE(erro.contains("20")) << erro.toStdString();
    EXPECT_EQ(Linhas("LCTOINV", "DATAINVENT = '2024-02-01'"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "DATAINVENT = '2024-02-01'"), 0);
}

// Refusals that change nothing: the source branch among the destinations at the same date,
// a destination list or group list the grammar refuses, a destination date after the
// user's window, no company, no known destination branch.
TEST_F(DuplicarLctoInvBanco, RecusasNaValidacao)
{
    Lcto(1, kOrigem, 10, 1, 1, 1);
    QString param;
    EXPECT_EQ(Falha(Duplicar("2; 1", {{"pCompetenciaDestino", "01/01/2024"}}), &param),
              "A Filial de Origem não pode estar entre as Filiais Destino!");
    EXPECT_EQ(param, "pCodigoEstabDest");
    EXPECT_FALSE(Falha(Duplicar("0-5", {{"pCompetenciaDestino", "01/01/2024"}}), &param).isEmpty());
    EXPECT_EQ(param, "pCodigoEstabDest");
    EXPECT_FALSE(Falha(Duplicar("2; x"), &param).isEmpty());
    EXPECT_EQ(param, "pCodigoEstabDest");
    EXPECT_FALSE(Falha(Duplicar("2", {{"pCodigoGrupoProduto", "1;drop"}}), &param).isEmpty());
    EXPECT_EQ(param, "pCodigoGrupoProduto");
    EXPECT_FALSE(Falha(Duplicar("2", {{"pCompetenciaOrigem", "32/01/2024"}}), &param).isEmpty());
    EXPECT_EQ(param, "pCompetenciaOrigem");
    EXPECT_EQ(Falha(Duplicar("9", {}), &param), QString::fromUtf8(OrvoSDuplicaFilialDestinoInexistente));
    EXPECT_EQ(param, "pCodigoEstabDest");

    DataPermitida(QDate(2024, 1, 31));
    EXPECT_TRUE(Falha(Duplicar("2"), &param).contains("31/01/2024"));
    EXPECT_EQ(param, "pCompetenciaOrigem");
    DataPermitida(QDate(2024, 2, 1));

    ExternalVar("gCodigoEmpresaAtiva", "");
    EXPECT_EQ(Falha(Duplicar("2"), &param), QString::fromUtf8(OrvoSEmpresaFilialNaoSelecionado));
    ExternalVar("gCodigoEmpresaAtiva", "1");
    EXPECT_EQ(Linhas("LCTOINV"), 1);

    // With different dates the source branch may be a destination; an unknown branch among
    // known ones is not written.
    EXPECT_EQ(Falha(Duplicar("1; 9")), "");
    EXPECT_EQ(Entradas(kDestino), QStringList({"1|10|1|1|1"}));
}

// The question about the destination's entries, with its count and the module's buttons;
// "Cancelar" changes nothing.
TEST_F(DuplicarLctoInvBanco, PerguntaECancelar)
{
    Lcto(1, kOrigem, 10, 1, 5, 5);
    DestinoOcupado();
    Lcto(3, kDestino, 20, 1, 1, 1);
    Lcto(3, QDate(2024, 3, 1), 20, 1, 1, 1); // another date: not counted
    const QStringList antes = Entradas(kDestino);
    FUsuario.ResponderBotao("Cancelar");
    QString param;
    EXPECT_EQ(Falha(Duplicar("2;3"), &param), "Operação cancelada!");
    EXPECT_EQ(param, "pCompetenciaOrigem");
    // The question names the filters in effect, and Enter cancels.
    ASSERT_EQ(FUsuario.Perguntas.size(), 1);
    EXPECT_TRUE(FUsuario.Perguntas[0].startsWith(
        "Foram encontrados 3 lançamentos no período destino. Deseja?\r\n\r\nFiltros informados:\r\n"));
    EXPECT_TRUE(FUsuario.Perguntas[0].contains("Filial Destino: 2;3")) << FUsuario.Perguntas[0].toStdString();
    EXPECT_EQ(FUsuario.Padroes, QList<int>({3}));
    EXPECT_EQ(FUsuario.BotoesOferecidos,
              QList<QStringList>({{"Excluir e incluir novamente", "Manter existentes e incluir novos",
                                   "Alterar existentes e incluir novos", "Cancelar"}}));
    EXPECT_EQ(Entradas(kDestino), antes);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 2);
}

// Mode 0: the destination's entries of the chosen branches and date go, with their lines,
// and the copy takes their place; other dates and branches stay.
TEST_F(DuplicarLctoInvBanco, ExcluirEIncluirNovamente)
{
    Lcto(1, kOrigem, 20, 1, 5, 5);
    Propriedade(1, kOrigem, 20, 1, 1, 5, 5);
    DestinoOcupado();
    Lcto(3, kDestino, 30, 1, 1, 1);
    Lcto(2, QDate(2024, 3, 1), 30, 1, 1, 1);
    FUsuario.ResponderBotao("Excluir e incluir novamente", "Foram encontrados 2 lançamentos");
    EXPECT_EQ(Falha(Duplicar("2")), "");
    EXPECT_EQ(Entradas(kDestino), QStringList({"2|20|1|5|5", "3|30|1|1|1"}));
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "DATAINVENT = '2024-02-01'"), 1);
    EXPECT_EQ(Linhas("LCTOINV", "DATAINVENT = '2024-03-01'"), 1);
}

// Mode 0 deletes nothing when the source is empty or the copy fails.
TEST_F(DuplicarLctoInvBanco, ExcluirSoQuandoACopiaSeFaz)
{
    DestinoOcupado();
    const QStringList antes = Entradas(kDestino);
    FUsuario.ResponderBotao("Excluir e incluir novamente");
    EXPECT_EQ(Falha(Duplicar("2")), QString::fromUtf8(OrvoSDuplicaSemLancamentos));
    EXPECT_EQ(Entradas(kDestino), antes);

    Lcto(1, kOrigem, 20, 1, 5, 5);
    Propriedade(1, kOrigem, 20, 1, 1, 5, 5);
    InjetarFalha("LCTOINVPROPRIEDADE", "insert", "NEW.CODIGOESTAB = 2");
    FUsuario.ResponderBotao("Excluir e incluir novamente");
    const QString erro = Falha(Duplicar("2"));
    EXPECT_TRUE(erro.startsWith(QString::fromUtf8(OrvoSErroReprocessar))) << erro.toStdString();
    EXPECT_TRUE(erro.contains("falha injetada")) << erro.toStdString();
    EXPECT_EQ(Entradas(kDestino), antes);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "DATAINVENT = '2024-02-01'"), 2);
    EXPECT_FALSE(con().InTransaction());
}

// Mode 1 works per branch: a source entry is kept back only where its product and reason
// already are, and is neither copied nor counted there.
TEST_F(DuplicarLctoInvBanco, ManterExistentesPorFilial)
{
    Lcto(1, kOrigem, 10, 1, 5, 5);
    Propriedade(1, kOrigem, 10, 1, 1, 5, 5);
    Lcto(1, kOrigem, 10, 2, 6, 6);
    Lcto(1, kOrigem, 20, 1, 7, 7);
    DestinoOcupado(); // branch 2 holds product 10 reason 1 (and 30)
    FUsuario.ResponderBotao("Manter existentes e incluir novos");
    TnDMPowerParam *dp = Duplicar("2; 3");
    EXPECT_EQ(Falha(dp), "");
    EXPECT_EQ(Entradas(kDestino), QStringList({"2|10|1|99|9", "2|10|2|6|6", "2|20|1|7|7", "2|30|1|77|7",
                                               "3|10|1|5|5", "3|10|2|6|6", "3|20|1|7|7"}));
    EXPECT_EQ(Tabela("select CODIGOESTAB, QUANTIDADE from LCTOINVPROPRIEDADE where DATAINVENT = '2024-02-01' "
                        "and CODIGOPRODUTO = 10 order by CODIGOESTAB"),
              QStringList({"2|99", "3|5"}));
    EXPECT_EQ(Relatorio(dp), QStringList({"4|Lançamentos do inventário duplicados com sucesso: 5."}));
}

// Mode 2 replaces what the copy meets, with its lines; an entry the factors bring to 0 (and
// its lines) is not written, so the destination's entry of its key stays; it is counted.
TEST_F(DuplicarLctoInvBanco, AlterarExistentes)
{
    Lcto(1, kOrigem, 10, 1, 5.5, 5);
    Propriedade(1, kOrigem, 10, 1, 1, 5.5, 5);
    Cst(1, kOrigem, 10, 1, 1, 0, 10, 1);
    Lcto(1, kOrigem, 30, 1, 0.0001, 0.001); // zero once rounded
    Propriedade(1, kOrigem, 30, 1, 1, 0.0001, 0.001);
    DestinoOcupado();
    Cst(2, kDestino, 10, 1, 1, 90, 1, 1);
    Lcto(3, kDestino, 10, 1, 1, 1); // branch 3 is not a destination
    FUsuario.ResponderBotao("Alterar existentes e incluir novos");
    TnDMPowerParam *dp = Duplicar("2", {{"pReagusteQuantidade", "0,1"}, {"pReagusteValorUnitario", "1"}});
    EXPECT_EQ(Falha(dp), "");
    EXPECT_EQ(Entradas(kDestino), QStringList({"2|10|1|0.55|5", "2|30|1|77|7", "3|10|1|1|1"}));
    EXPECT_EQ(Tabela("select CODIGOPRODUTO, QUANTIDADE from LCTOINVPROPRIEDADE where DATAINVENT = '2024-02-01' "
                        "order by CODIGOPRODUTO"),
              QStringList({"10|0.55", "30|77"}));
    EXPECT_EQ(Tabela("select CST from LCTOINVCST where DATAINVENT = '2024-02-01'"), QStringList({"0"}));
    EXPECT_EQ(Relatorio(dp), QStringList({"4|Lançamentos do inventário duplicados com sucesso: 2."}));
}

// Product groups: only the products of the chosen groups' analytic groups are copied and
// met; groups that hold no analytic group select nothing, and the run says so.
TEST_F(DuplicarLctoInvBanco, GruposDeProduto)
{
    // Groups 10 and 20 are analytic; 3 is synthetic and holds none.
    Sql("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, TIPOGRUPOPRODUTO) "
        "values (1, 3, '3', 1)");
    Sql("update PRODUTO set CODIGOGRUPOPRODUTO = 10 where CODIGOPRODUTO = 10");
    Lcto(1, kOrigem, 10, 1, 5, 5);
    Lcto(1, kOrigem, 20, 1, 6, 6);
    DestinoOcupado();
    QString param;
    EXPECT_EQ(Falha(Duplicar("2", {{"pCodigoGrupoProduto", "3"}}), &param),
              QString::fromUtf8(OrvoSDuplicaGrupoSemAnaliticos));
    EXPECT_EQ(param, "pCodigoGrupoProduto");
    EXPECT_EQ(Linhas("LCTOINV", "DATAINVENT = '2024-02-01'"), 2);

    FUsuario.ResponderBotao("Excluir e incluir novamente", "Foram encontrados 1 lançamentos");
    EXPECT_EQ(Falha(Duplicar("2", {{"pCodigoGrupoProduto", "10"}})), "");
    EXPECT_EQ(Entradas(kDestino), QStringList({"2|10|1|5|5", "2|30|1|77|7"}));
}

// A failure in the second destination branch undoes the whole run, the deletions of mode 2
// included, and reaches the user as a failure.
TEST_F(DuplicarLctoInvBanco, FalhaDesfazTudo)
{
    Lcto(1, kOrigem, 10, 1, 5, 5);
    Propriedade(1, kOrigem, 10, 1, 1, 5, 5);
    Cst(1, kOrigem, 10, 1, 1, 0, 10, 1);
    DestinoOcupado();
    InjetarFalha("LCTOINVCST", "insert", "NEW.CODIGOESTAB = 3");
    FUsuario.ResponderBotao("Alterar existentes e incluir novos");
    TnDMPowerParam *dp = Duplicar("2; 3");
    const QString erro = Falha(dp);
    EXPECT_TRUE(erro.startsWith(QString::fromUtf8(OrvoSErroReprocessar))) << erro.toStdString();
    EXPECT_TRUE(Relatorio(dp).isEmpty());
    EXPECT_EQ(Entradas(kDestino), QStringList({"2|10|1|99|9", "2|30|1|77|7"}));
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "DATAINVENT = '2024-02-01'"), 2);
    EXPECT_EQ(Linhas("LCTOINVCST", "DATAINVENT = '2024-02-01'"), 0);
    EXPECT_FALSE(con().InTransaction());
}

} // namespace

namespace {

// Ten thousand entries with their lines go to another branch in batches: on the server a
// few exchanges per thousand rows written. A row refused in the middle of the run leaves
// nothing written and the user reads which row it was.
TEST_F(DuplicarLctoInvBanco, EmLotesNoServidor)
{
    constexpr int kEntradas = 10000;
    MuitosLancamentos(con(), 1, kOrigem, kEntradas);
    con().ZerarIdasEVoltas();
    EXPECT_EQ(Falha(Duplicar("2")), "");
    const quint64 idas = con().IdasEVoltas().Total();
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOESTAB = 2 and DATAINVENT = '2024-02-01'"), kEntradas);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOESTAB = 2 and QUANTIDADE + 100000 = CODIGOPRODUTO"), kEntradas);
    EXPECT_EQ(Linhas("LCTOINVCST", "CODIGOESTAB = 2 and BASECALCULO + 100000 = CODIGOPRODUTO"), kEntradas);
    // On the server the copy is one statement: a dozen exchanges whatever the rows (the
    // copy row by row, taken only after a refusal, needs 25 here and more with more rows).
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_LE(idas, 15u) << idas;

    InjetarFalha("LCTOINVCST", "insert", "NEW.CODIGOESTAB = 3 and NEW.CODIGOPRODUTO = 106543");
    const QString erro = Falha(Duplicar("3"));
    EXPECT_TRUE(erro.contains("falha injetada")) << erro.toStdString();
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_TRUE(erro.contains("106543")) << erro.toStdString();
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOESTAB = 3"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOESTAB = 3"), 0);
    EXPECT_FALSE(con().InTransaction());
}

} // namespace
