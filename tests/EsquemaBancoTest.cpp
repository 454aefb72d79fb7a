// The module's schema at work on both engines: unique rules, dates, fixed-point values and
// the references between entries, breakdowns, products and Bloco K records.
#include "BancoTeste.h"
#include "EsquemaTabelas.h"
#include "SQLDataSet.h"

#include <QDate>
#include <functional>

namespace {

class EsquemaBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped()) return;
        ConverterBanco(con());
    }
    void Sql(const QString &sql, const QVariantList &params = {}) { con().Executar(sql, params); }
    // The kind of database error the statement raises; -1 when it runs.
    int Erro(const QString &sql, const QVariantList &params = {})
    {
        try {
            Sql(sql, params);
        } catch (const EDatabaseError &e) {
            return ErroBanco(e);
        }
        return -1;
    }
    QVariantList Linha(const QString &sql, const QVariantList &params = {})
    {
        auto cmd = con().Preparar(sql);
        for (int i = 0; i < params.size(); ++i)
            cmd->BindValor(i, params[i]);
        TnCursor &c = cmd->Abrir();
        QVariantList valores;
        if (c.Proximo())
            for (int i = 0; i < c.Colunas(); ++i)
                valores << c.Valor(i);
        return valores;
    }
    void Produto(qint64 codigo)
    {
        Sql("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, 'Produto')", {codigo});
    }
    void Lancamento(const QDate &data, qint64 produto, const QVariant &icms = 0)
    {
        Sql("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
            "QTDEESTOQUE, PRECOUNIT, VALORICMS, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
            "values (1, 1, ?, ?, 1, 10, 2.5, ?, ?, 1, 2)",
            {data, produto, icms, QDateTime(data, QTime(10, 30))});
    }
    void Propriedade(const QDate &data, qint64 produto, int seq)
    {
        Sql("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
            "MOTIVOINVENTARIO, SEQ, QUANTIDADE, PRECOUNIT) values (1, 1, ?, ?, 1, ?, 5, 2.5)",
            {data, produto, seq});
    }
    void Cst(const QDate &data, qint64 produto, int seq, int cst)
    {
        Sql("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
            "SEQ, CST, BASECALCULO, VALORIMPOSTO) values (1, 1, ?, ?, 1, ?, ?, 12.5, 2.25)",
            {data, produto, seq, cst});
    }
};

const QDate Marco(2024, 3, 31);

TEST_F(EsquemaBanco, ChavesNaturaisDoBlocoKTomamNulosComoIguais)
{
    const QString k210 = "insert into SPEDFISK210 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK210, "
                         "CODIGOPRODUTO, QUANTIDADE, CODIGODOCOS) values (1, 1, ?, ?, 7, 1, ?)";
    Sql(k210, {Marco, 1, QVariant()});
    EXPECT_EQ(Erro(k210, {Marco, 2, QVariant()}), ebUnico); // same product and competence, no order
    EXPECT_EQ(Erro(k210, {Marco, 2, "OS-1"}), -1);          // an order makes it another record
    EXPECT_EQ(Erro(k210, {Marco, 3, "OS-1"}), ebUnico);
    EXPECT_EQ(Erro(k210, {Marco, 1, "OS-2"}), ebChavePrimaria);

    // Three optional columns of the natural key, all empty.
    const QString k270 = "insert into SPEDFISK270 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK270, "
                         "CODIGOPRODUTO, DATAINIAPURACAO) values (1, 1, ?, ?, 7, ?)";
    Sql(k270, {Marco, 1, QVariant()});
    EXPECT_EQ(Erro(k270, {Marco, 2, QVariant()}), ebUnico);
    EXPECT_EQ(Erro(k270, {Marco, 2, QDate(2024, 1, 1)}), -1);
    EXPECT_EQ(Erro(k270, {Marco, 3, QDate(2024, 1, 1)}), ebUnico);

    const QString k280 = "insert into SPEDFISK280 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK280, "
                         "DATAESTOQUE, INDICADORESTOQUE, CODIGOPRODUTO, CODIGOPESSOA) values (1, ?, ?, ?, ?, 0, 7, ?)";
    Sql(k280, {1, Marco, 1, QDate(2023, 12, 31), QVariant()});
    EXPECT_EQ(Erro(k280, {1, Marco, 2, QDate(2023, 12, 31), QVariant()}), ebUnico);
    EXPECT_EQ(Erro(k280, {2, Marco, 2, QDate(2023, 12, 31), QVariant()}), -1); // another branch
    EXPECT_EQ(Linhas("SPEDFISK280"), 2);
}

TEST_F(EsquemaBanco, DatasSeComparamComoDatas)
{
    Produto(7);
    Produto(8);
    Lancamento(QDate(2024, 1, 31), 7);
    Lancamento(QDate(2024, 2, 29), 7);
    Lancamento(Marco, 7);
    Lancamento(Marco, 8);
    const QString entre = "select count(*) from LCTOINV where DATAINVENT between ? and ?";
    EXPECT_EQ(Linha("select count(*) from LCTOINV where DATAINVENT = ?", {Marco}).value(0).toInt(), 2);
    EXPECT_EQ(Linha(entre, {QDate(2024, 2, 1), QDate(2024, 3, 31)}).value(0).toInt(), 3);
    EXPECT_EQ(Linha(entre, {QDate(2024, 2, 29), QDate(2024, 2, 29)}).value(0).toInt(), 1);
    EXPECT_EQ(Linha("select DATAINVENT, DATAHORALCTOINV from LCTOINV where CODIGOPRODUTO = 8"),
              QVariantList({Marco, QDateTime(Marco, QTime(10, 30))}));

    // A day that does not exist is refused by both engines, never stored as text.
    EXPECT_NE(Erro("insert into SPEDFISK300 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, DATARECONHECPROD) "
                   "values (1, 1, '2024-02-30', '2024-02-01')"), -1);
    if (!teste::EmPostgres()) {
        // SQLite keeps a date with a time as text that = and BETWEEN would miss: refused.
        EXPECT_EQ(Erro("insert into SPEDFISK300 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, DATARECONHECPROD) "
                       "values (1, 1, ?, '2024-02-01')", {QDateTime(Marco, QTime(0, 0))}), ebChecagem);
    }
    EXPECT_EQ(Linhas("SPEDFISK300"), 0);
}

TEST_F(EsquemaBanco, ValoresDecimaisGuardadosArredondadosAEscala)
{
    Produto(7);
    Lancamento(Marco, 7, 10.005);
    Sql("update LCTOINV set VALORPIS = ?, VALORCOFINS = ?, VALORIR = ?, VALORMEDIOICMS = ?", {2.675, 1.005, -1.005, 1.0000005});
    const QString valores = "select VALORICMS, VALORPIS, VALORCOFINS, VALORIR, VALORMEDIOICMS from LCTOINV";
    EXPECT_EQ(Linha(valores), QVariantList({10.01, 2.68, 1.01, -1.01, 1.000001}));

    // Arithmetic on stored money keeps two decimals; a sum of fractions too.
    Sql("update LCTOINV set VALORICMS = VALORICMS * 1.1, VALORPIS = VALORPIS + 0.001, VALORCOFINS = 0.1 + 0.2");
    EXPECT_EQ(Linha(valores).mid(0, 3), QVariantList({11.01, 2.68, 0.3}));
    EXPECT_EQ(Linhas("LCTOINV", "VALORCOFINS = 0.3"), 1);

    // Bloco K quantities keep their three decimals.
    Sql("insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTO, INDICADORESTOQUE, SEQ, "
        "QUANTIDADE) values (1, 1, ?, 7, 0, 1, ?)", {Marco, 2.0005});
    EXPECT_EQ(Linha("select QUANTIDADE from SPEDFISK200").value(0).toDouble(), 2.001);
}

TEST_F(EsquemaBanco, LancamentoLevaSuasLinhasEProdutoUsadoNaoSaiDoCadastro)
{
    Produto(7);
    Produto(8);
    Lancamento(Marco, 7);
    Lancamento(Marco, 8);
    for (qint64 p : {7, 8})
        for (int seq : {1, 2}) {
            Propriedade(Marco, p, seq);
            Cst(Marco, p, seq, 0);
            Cst(Marco, p, seq, 60);
        }
    // A line needs its entry, and a tax-situation line its property line.
    EXPECT_EQ(Erro("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                   "MOTIVOINVENTARIO, SEQ, QUANTIDADE, PRECOUNIT) values (1, 1, ?, 7, 2, 1, 1, 1)", {Marco}),
              ebChaveEstrangeira);

    EXPECT_EQ(Erro("delete from PRODUTO where CODIGOPRODUTO = 7"), ebChaveEstrangeira);
    EXPECT_EQ(Linhas("PRODUTO"), 2);

    Sql("delete from LCTOINVPROPRIEDADE where CODIGOPRODUTO = 8 and SEQ = 1");
    EXPECT_EQ(Linhas("LCTOINVCST", "CODIGOPRODUTO = 8"), 2);
    EXPECT_EQ(Linhas("LCTOINVCST", "CODIGOPRODUTO = 8 and SEQ = 1"), 0);

    Sql("delete from LCTOINV where CODIGOPRODUTO = 7");
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOPRODUTO = 7"), 0);
    EXPECT_EQ(Linhas("LCTOINVCST", "CODIGOPRODUTO = 7"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 1);
    Sql("delete from PRODUTO where CODIGOPRODUTO = 7");
    EXPECT_EQ(Linhas("PRODUTO"), 1);

    // Bloco K details go with their master.
    Sql("insert into SPEDFISK290 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, DATAINICIALORDEMPRODUCAO, "
        "CODIGOOPOS) values (1, 1, ?, 1, ?, 'OP-1')", {Marco, QDate(2024, 3, 1)});
    Sql("insert into SPEDFISK291 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, CODIGOPRODUTO, "
        "QTDPRODUCAOACABADA) values (1, 1, ?, 1, 99, 1)", {Marco});
    Sql("insert into SPEDFISK292 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, CODIGOPRODUTO, QTDCONSUMIDA) "
        "values (1, 1, ?, 1, 98, 1)", {Marco});
    Sql("delete from SPEDFISK290");
    EXPECT_EQ(Linhas("SPEDFISK291") + Linhas("SPEDFISK292"), 0);
}

} // namespace
