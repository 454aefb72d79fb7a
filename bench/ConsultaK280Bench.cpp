// The Bloco K query's K280 statement over its stock-date period: SPEDFISK280 holds
// ORVO_BENCH_LINHAS rows (1,000,000) spread over 24 months of branch 1, joined with 20,000
// products and 500 people; the query asks for one month of stock dates.
//
// BM_ConsultaK280Periodo/sqlite: the statement run through the framework's connection and
// read into a client dataset, against the same statement through the sqlite3 C interface
// reading the same columns into typed columns (texts as strings, dates parsed, quantities
// exact to their 6 decimals). Target: razao <= 1.2, on a plan that is a range of
// IDX_SPEDFISK280_DATAESTOQUE (the label gives the plan; any other skips the case).
#include "BenchComum.h"

#include <cmath>

namespace {

constexpr int kProdutos = 20000;
constexpr int kPessoas = 500;

const char kConsulta[] =
    "select cast('K280' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.DATAESTOQUE,K.INDICADORESTOQUE,K.CODIGOPRODUTO,"
    "P.DESCRPRODUTO DESCRICAO,K.CODIGOPESSOA,PE.NOMEPESSOA,K.QTDCORRECAOPOS,K.QTDCORRECAONEG,K.CODIGOEMPRESA,"
    "K.CODIGOESTAB,K.SEQK280 from SPEDFISK280 K join PRODUTO P on P.CODIGOPRODUTO=K.CODIGOPRODUTO and "
    "P.CODIGOEMPRESA=K.CODIGOEMPRESA left join PESSOA PE on PE.CODIGOPESSOA=K.CODIGOPESSOA "
    "where K.CODIGOEMPRESA = 1 and K.CODIGOESTAB in (1) and K.DATAESTOQUE between '2024-06-01' and '2024-06-30'";

TnBancoBench &Banco()
{
    static TnBancoBench *b = [] {
        auto *banco = new TnBancoBench(tcSQLite, QStringLiteral("k280"));
        ConverterBanco(banco->Con());
        sqlite3 *db = banco->Lite();
        ExecSqlite(db, "BEGIN IMMEDIATE");
        InserirProdutosEPessoas(db, kProdutos, kPessoas);
        sqlite3_stmt *l = PrepararSqlite(db, "insert into SPEDFISK280 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK280, "
                                             "DATAESTOQUE, INDICADORESTOQUE, CODIGOPRODUTO, CODIGOPESSOA, QTDCORRECAOPOS, "
                                             "QTDCORRECAONEG) values (1, 1, ?, ?, ?, ?, ?, ?, ?, ?)");
        const int n = LinhasBench();
        const int porMes = n / 24;
        for (int m = 0; m < 24; ++m) {
            const QDate mes(2023 + m / 12, m % 12 + 1, 1);
            const QByteArray competencia = mes.toString(Qt::ISODate).toLatin1();
            for (int i = 0; i < porMes; ++i) {
                const QByteArray estoque = mes.addDays(i / kProdutos % 28).toString(Qt::ISODate).toLatin1();
                sqlite3_bind_text(l, 1, competencia.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(l, 2, i + 1);
                sqlite3_bind_text(l, 3, estoque.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(l, 4, i % 3);
                sqlite3_bind_int(l, 5, i % kProdutos + 1);
                if (i % 3 == 0)
                    sqlite3_bind_null(l, 6);
                else
                    sqlite3_bind_int(l, 6, i % kPessoas + 1);
                sqlite3_bind_double(l, 7, 1 + (i % 97) * 0.125);
                sqlite3_bind_double(l, 8, (i % 13) * 0.5);
                PassoSqlite(db, l);
            }
        }
        sqlite3_finalize(l);
        ExecSqlite(db, "COMMIT");
        ExecSqlite(db, "ANALYZE");
        return banco;
    }();
    return *b;
}

void BM_ConsultaK280Periodo(benchmark::State &state)
{
    TnBancoBench &b = Banco();
    sqlite3 *db = b.Lite();
    static std::string rotulo;
    rotulo = PlanoSqlite(db, kConsulta).toStdString();
    if (!QString::fromStdString(rotulo).contains(QLatin1String("IDX_SPEDFISK280_DATAESTOQUE (CODIGOEMPRESA=? AND "
                                                                  "CODIGOESTAB=? AND DATAESTOQUE>? AND DATAESTOQUE<?)"))) {
        state.SkipWithError(rotulo.c_str());
        return;
    }
    state.SetLabel(rotulo);
    qsizetype linhasFw = 0, linhasBruto = 0;
    TnClientDataSet ds;
    const auto framework = [&] {
        auto cmd = b.Con().Preparar(QString::fromLatin1(kConsulta));
        ds.Close();
        ds.CarregarDe(cmd->Abrir());
        linhasFw = ds.RecordCount();
    };
    // The raw side keeps what the dataset keeps, typed: texts, dates, integers, and the
    // quantities as integers of 6 decimals.
    std::vector<QString> origem, descricao, nome;
    std::vector<QDate> competencia, estoque;
    std::vector<qint64> inteiros, qtdes;
    const auto direto = [&] {
        sqlite3_stmt *st = PrepararSqlite(db, kConsulta);
        for (auto *v : {&origem, &descricao, &nome})
            v->clear();
        competencia.clear();
        estoque.clear();
        inteiros.clear();
        qtdes.clear();
        const auto texto = [st](int i) {
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
        };
        const auto data = [st](int i) {
            return QDate::fromString(QLatin1String(reinterpret_cast<const char *>(sqlite3_column_text(st, i))), Qt::ISODate);
        };
        while (sqlite3_step(st) == SQLITE_ROW) {
            origem.push_back(texto(0));
            competencia.push_back(data(1));
            estoque.push_back(data(2));
            for (int i : {3, 4, 6, 10, 11, 12})
                inteiros.push_back(sqlite3_column_type(st, i) == SQLITE_NULL ? -1 : sqlite3_column_int64(st, i));
            descricao.push_back(texto(5));
            nome.push_back(sqlite3_column_type(st, 7) == SQLITE_NULL ? QString() : texto(7));
            for (int i : {8, 9})
                qtdes.push_back(std::llround(sqlite3_column_double(st, i) * 1e6));
        }
        sqlite3_finalize(st);
        linhasBruto = qsizetype(origem.size());
    };
    Alternar(state, {.Medir = framework}, {.Medir = direto}, [&] { b.Checkpoint(); });
    state.counters["linhas"] = double(linhasFw);
    if (linhasFw != linhasBruto || linhasFw == 0)
        state.SkipWithError("os dois lados leram linhas diferentes");
}

} // namespace

BENCHMARK(BM_ConsultaK280Periodo)->Name("BM_ConsultaK280Periodo/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
