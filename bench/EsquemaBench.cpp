// Cost of the schema's rules on the embedded database: inventory entries written with one
// prepared statement in one transaction, with the rounding triggers and date checks of the
// converted schema, against the same table without them.
#include "BenchComum.h"
#include "EsquemaTabelas.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Linhas = 20000;

std::unique_ptr<nDMConexao> NovoBanco(QTemporaryDir &dir, const char *nome)
{
    GarantirApp();
    TnConfigBanco c;
    c.Tipo = tcSQLite;
    c.Arquivo = dir.filePath(nome);
    return std::make_unique<nDMConexao>(c);
}

void Inserir(benchmark::State &state, nDMConexao &con, const QString &tabela)
{
    qint64 produto = 0;
    for (auto _ : state) {
        TnTransacao tr(1, con);
        auto cmd = con.Preparar("insert into " + tabela + " (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                                "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                                "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, 1, ?, ?, 1, ?, ?, ?, 0, 0, ?, 1, 1)");
        const QDate data(2024, 3, 31);
        const QDateTime agora(data, QTime(10, 0));
        for (int i = 0; i < Linhas; ++i) {
            cmd->BindData(0, data);
            cmd->BindInteiro(1, ++produto);
            cmd->BindReal(2, 10 + i % 7);
            cmd->BindReal(3, 2.25);
            cmd->BindReal(4, (i % 3) * 1.005); // every third value needs rounding
            cmd->BindDataHora(5, agora);
            cmd->Executar();
        }
        tr.Commit();
    }
    state.SetItemsProcessed(state.iterations() * Linhas);
}

void BM_LancamentosComRegrasDoEsquema(benchmark::State &state)
{
    QTemporaryDir dir;
    auto con = NovoBanco(dir, "com.db");
    ConverterBanco(*con);
    // Products are not the subject here: entries refer to products that do not exist.
    con->Executar("PRAGMA foreign_keys = OFF");
    Inserir(state, *con, "LCTOINV");
}
BENCHMARK(BM_LancamentosComRegrasDoEsquema)->Unit(benchmark::kMillisecond);

void BM_LancamentosSemRegras(benchmark::State &state)
{
    QTemporaryDir dir;
    auto con = NovoBanco(dir, "sem.db");
    con->Executar("create table LCTOSIMPLES (CODIGOEMPRESA SMALLINT NOT NULL, CODIGOESTAB SMALLINT NOT NULL, "
                  "DATAINVENT DATE NOT NULL, CODIGOPRODUTO BIGINT NOT NULL, MOTIVOINVENTARIO SMALLINT NOT NULL, "
                  "QTDEESTOQUE DOUBLE PRECISION NOT NULL, PRECOUNIT DOUBLE PRECISION NOT NULL, VALORIR NUMERIC(18,2), "
                  "VALORICMS NUMERIC(18,2), VALORPIS NUMERIC(18,2), VALORCOFINS NUMERIC(18,2), OBSLCTOINV VARCHAR(40), "
                  "DATAHORALCTOINV TIMESTAMP NOT NULL, CODIGOUSUARIO SMALLINT NOT NULL, VALORMEDIOICMS NUMERIC(18,6), "
                  "VALORMEDIOBCICMSST NUMERIC(18,6), VALORMEDIOICMSST NUMERIC(18,6), VALORMEDIOFCP NUMERIC(18,6), "
                  "ORIGEMDADO SMALLINT NOT NULL, IDSYN INTEGER, CONSTRAINT PK_LCTOSIMPLES PRIMARY KEY "
                  "(CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO))");
    con->Executar("create index IDX_LCTOSIMPLES_PRODUTO on LCTOSIMPLES (CODIGOEMPRESA, CODIGOPRODUTO)");
    Inserir(state, *con, "LCTOSIMPLES");
}
BENCHMARK(BM_LancamentosSemRegras)->Unit(benchmark::kMillisecond);

} // namespace
