// The entry writer on both engines: an entry built by the import factory reads back as it
// was built, members left empty take the column defaults, replacing drops the old entry's
// lines with it, and a refused entry leaves nothing behind.
#include "BancoOrvo.h"
#include "Gravador.h"
#include "ImpFabrica.h"
#include "Valores.h"

namespace {

class GravadorBanco : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, 10, 'Dez'), "
                       "(1, 11, 'Onze')");
    }
    void TearDown() override
    {
        gravador.Liberar();
        BancoOrvo::TearDown();
    }
    // An entry of product `produto` on 01/03/2024, reason 1, with its quantity and cost.
    TLCTOINV &Lcto(qint64 produto, double qtde, double preco)
    {
        TLCTOINV &l = fabrica.NovoLctoInv();
        l.CODIGOEMPRESA = 1;
        l.CODIGOESTAB = 1;
        l.DATAINVENT = QDate(2024, 3, 1);
        l.CODIGOPRODUTO = produto;
        l.MOTIVOINVENTARIO = 1;
        l.QTDEESTOQUE = qtde;
        l.PRECOUNIT = preco;
        l.DATAHORALCTOINV = QDateTime(QDate(2024, 4, 2), QTime(10, 20, 30));
        l.CODIGOUSUARIO = 1;
        l.ORIGEMDADO = 3;
        return l;
    }
    TLCTOINVPROPRIEDADE &Linha(TLCTOINV &l, int seq, double qtde)
    {
        TLCTOINVPROPRIEDADE &p = fabrica.NovoLctoInvPropriedade(l.Propriedades);
        p.SEQ = seq;
        p.QUANTIDADE = qtde;
        p.PRECOUNIT = 2.5;
        return p;
    }
    // The stored columns of product `produto`'s entry, as texts (teste::TextoDaColuna).
    QStringList NoBanco(const QString &colunas, const QString &tabela, qint64 produto)
    {
        auto cmd = con().Preparar(QStringLiteral("select %1 from %2 where CODIGOPRODUTO = ? order by 1").arg(colunas, tabela));
        cmd->BindInteiro(0, produto);
        TnCursor &c = cmd->Abrir();
        QStringList r;
        while (c.Proximo())
            for (int i = 0; i < c.Colunas(); ++i)
                r << teste::TextoDaColuna(c, i);
        return r;
    }
    TImpFabrica fabrica;
    TGravador gravador;
};

TEST_F(GravadorBanco, LancamentoGravadoVoltaIgualEOsMembrosVaziosTomamOPadrao)
{
    TLCTOINV &l = Lcto(10, 12.5, 3.25);
    l.VALORICMS = 1.5;
    l.OBSLCTOINV = QString::fromUtf8("Importação nº 1");
    l.IDSYN = 777;
    TLCTOINVPROPRIEDADE &p = Linha(l, 1, 12.5);
    p.INDICADORPROPRIEDADE = 0;
    p.CONTACTB = 1234567890123LL;
    Linha(l, 2, 0.5).VALORIR = 9.99;
    TLCTOINV &nula = Lcto(11, 1, 1);
    nula.ORIGEMDADO = 2;
    ASSERT_EQ(fabrica.Count(), 2);
    EXPECT_EQ(fabrica.Lctos()[0].get(), &l); // in the order built
    {
        TnTransacao t(1, con());
        for (const auto &e : fabrica.Lctos())
            gravador.GravarLancamento(*e, false);
        t.Commit();
    }
    EXPECT_EQ(NoBanco("CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORIR, "
                      "VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, CODIGOUSUARIO, VALORMEDIOICMS, ORIGEMDADO, IDSYN",
                      "LCTOINV", 10),
              QStringList({"1", "1", "2024-03-01", "1", "12.5", "3.25", "null", "1.5", "0", "0",
                           QString::fromUtf8("Importação nº 1"), "1", "null", "3", "777"}));
    auto cmd = con().Preparar("select DATAHORALCTOINV from LCTOINV where CODIGOPRODUTO = 10");
    TnCursor &c = cmd->Abrir();
    ASSERT_TRUE(c.Proximo());
    EXPECT_EQ(c.DataHora(0), QDateTime(QDate(2024, 4, 2), QTime(10, 20, 30)));
    cmd.reset();
    // Lines carry their entry's key; INDICADORPROPRIEDADE left empty takes its default 0.
    EXPECT_EQ(NoBanco("CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, "
                      "CODIGOPESSOAPART, CONTACTB, QUANTIDADE, PRECOUNIT, VALORIR",
                      "LCTOINVPROPRIEDADE", 10),
              QStringList({"1", "1", "2024-03-01", "1", "1", "0", "null", "1234567890123", "12.5", "2.5", "null",
                           "1", "1", "2024-03-01", "1", "2", "0", "null", "null", "0.5", "2.5", "9.99"}));
    EXPECT_EQ(NoBanco("ORIGEMDADO, VALORICMS, OBSLCTOINV, IDSYN", "LCTOINV", 11), QStringList({"2", "0", "null", "null"}));
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 11"), 0);
}

TEST_F(GravadorBanco, SubstituirTrocaOLancamentoEDescartaAsLinhasAntigas)
{
    TLCTOINV &antigo = Lcto(10, 30, 4);
    for (int seq = 1; seq <= 3; ++seq)
        Linha(antigo, seq, 10);
    gravador.GravarLancamento(antigo, false); // outside a transaction: one of its own
    con().Executar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                   "SEQ, CST, BASECALCULO, VALORIMPOSTO) values (1, 1, '2024-03-01', 10, 1, 2, 0, 100, 18)");
    ASSERT_EQ(Linhas("LCTOINVPROPRIEDADE"), 3);

    // Inserting the same key again is refused and changes nothing.
    fabrica.LimparListaLctos();
    EXPECT_EQ(fabrica.Count(), 0);
    TLCTOINV &novo = Lcto(10, 7, 5);
    Linha(novo, 1, 7);
    try {
        TnTransacao t(1, con());
        gravador.GravarLancamento(novo, false);
        t.Commit();
        ADD_FAILURE() << "chave repetida aceita";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(ErroBanco(e), ebChavePrimaria);
    }
    EXPECT_EQ(NoBanco("QTDEESTOQUE", "LCTOINV", 10), QStringList({"30"}));
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 3);

    // Replacing: the new entry with its one line; the old lines and their CST line are gone.
    {
        TnTransacao t(1, con());
        gravador.GravarLancamento(novo, true);
        t.Commit();
    }
    EXPECT_EQ(NoBanco("QTDEESTOQUE, PRECOUNIT", "LCTOINV", 10), QStringList({"7", "5"}));
    EXPECT_EQ(NoBanco("SEQ, QUANTIDADE", "LCTOINVPROPRIEDADE", 10), QStringList({"1", "7"}));
    EXPECT_EQ(Linhas("LCTOINVCST"), 0);
    // Replacing a key nobody has just inserts.
    gravador.GravarLancamento(Lcto(11, 2, 2), true);
    EXPECT_EQ(Linhas("LCTOINV"), 2);
}

TEST_F(GravadorBanco, LancamentoRecusadoNaoDeixaNada)
{
    // An incomplete key: nothing is tried.
    TLCTOINV &semMotivo = Lcto(10, 1, 1);
    semMotivo.MOTIVOINVENTARIO.reset();
    try {
        gravador.GravarLancamento(semMotivo, false);
        ADD_FAILURE() << "chave incompleta aceita";
    } catch (const EDatabaseError &) {
        ADD_FAILURE() << "chegou ao banco";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().contains("MOTIVOINVENTARIO")) << e.Message().toStdString();
    }

    // A line the database refuses (no SEQ) takes its entry with it, outside a transaction...
    TLCTOINV &l = Lcto(10, 1, 1);
    Linha(l, 1, 1);
    Linha(l, 2, 1).SEQ.reset();
    EXPECT_THROW(gravador.GravarLancamento(l, false), EDatabaseError);
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_FALSE(con().InTransaction());

    // ... and inside the caller's, whose rollback undoes what went before.
    l.Propriedades.pop_back();
    try {
        TnTransacao t(1, con());
        gravador.GravarLancamento(l, false);
        gravador.GravarLancamento(l, false);
        t.Commit();
    } catch (const EDatabaseError &) {
    }
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 0);

    // The writer still works afterwards.
    gravador.GravarLancamento(l, true);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 1);
}

} // namespace
