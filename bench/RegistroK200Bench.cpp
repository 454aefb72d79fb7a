// A Bloco K register opened on one branch and month of a large table, read by the range
// keys of its selection (DataLctoFis_MENORIGUAL, DataLctoFis_MAIORIGUAL): SPEDFISK200 holds
// ORVO_BENCH_LINHAS rows (1,000,000) in June 2024 of branch 1 and as many again in ten other
// months.
//
// BM_RegistroK200PrimeiroPacote/sqlite: opening the register (its first packet of 500 rows)
// against the same keyed statement with LIMIT 500 through the sqlite3 C interface, both
// reading the rows into typed columns. Target: razao <= 2, on a plan that is a range of the
// primary key (the label gives the framework's plan as EXPLAIN QUERY PLAN answers it; a scan
// or a sort skips the case with an error).
//
// BM_RegistroK200ResultadosLookup/sqlite: the product's reference and description beside
// each of 100,000 rows scrolled through (2,000 distinct products at 1,000,000 rows): the
// statements the lookup ran are counted through the engine's trace. Target: at most one
// per distinct code (`leituras` <= `codigos`).
#include "BenchComum.h"
#include "DMClientDataSet.h"
#include "RegistroFaixaTeste.h"

#include <QSet>
#include <cmath>

namespace {

constexpr int kProdutos = 20000;
const char kInicioMes[] = "2024-06-01";
const char kFimMes[] = "2024-06-30";

// The table, written with the engine's own interface; the products carry a reference.
TnBancoBench &Banco()
{
    static TnBancoBench *b = [] {
        auto *banco = new TnBancoBench(tcSQLite, QStringLiteral("k200"));
        ConverterBanco(banco->Con());
        sqlite3 *db = banco->Lite();
        ExecSqlite(db, "BEGIN IMMEDIATE");
        sqlite3_stmt *p = PrepararSqlite(db, "insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, "
                                             "DESCRPRODUTO) values (1, ?, 'REF-' || ?, 'Produto ' || ?)");
        for (int i = 1; i <= kProdutos; ++i) {
            for (int k = 1; k <= 3; ++k)
                sqlite3_bind_int(p, k, i);
            PassoSqlite(db, p);
        }
        sqlite3_finalize(p);
        sqlite3_stmt *l = PrepararSqlite(db, "insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, "
                                             "CODIGOPRODUTO, INDICADORESTOQUE, SEQ, QUANTIDADE) "
                                             "values (1, 1, ?, ?, 0, ?, ?)");
        const int n = LinhasBench();
        const char *const outros[] = {"2024-01-31", "2024-02-29", "2024-03-31", "2024-04-30", "2024-05-31",
                                      "2024-07-31", "2024-08-31", "2024-09-30", "2024-10-31", "2024-11-30"};
        const auto gravar = [&](const char *data, int quantos) {
            for (int i = 0; i < quantos; ++i) {
                sqlite3_bind_text(l, 1, data, -1, SQLITE_STATIC);
                sqlite3_bind_int(l, 2, i % kProdutos + 1);
                sqlite3_bind_int(l, 3, i / kProdutos + 1);
                sqlite3_bind_double(l, 4, 1 + (i % 97) * 0.125);
                PassoSqlite(db, l);
            }
        };
        gravar(kFimMes, n);
        for (const char *data : outros)
            gravar(data, n / 10);
        sqlite3_finalize(l);
        ExecSqlite(db, "COMMIT");
        ExecSqlite(db, "ANALYZE");
        return banco;
    }();
    return *b;
}

// The register as the program opens it: the selection on company 1, branch 1, June 2024.
void Selecionar(TnBancoBench &b)
{
    nDMConexao::DefinirAtual(&b.Con());
    static const bool registrado =
        nRegisterClass(InfoDaClasse<teste::TTesteFaixaK200>(QStringLiteral("TTesteFaixaK200")));
    (void)registrado;
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    Selecao().GetParams("CodigoEstab").SetValue(1);
    Selecao().GetParams("DataLctoFis_MENORIGUAL").SetValue(QDate(2024, 6, 1));
    Selecao().GetParams("DataLctoFis_MAIORIGUAL").SetValue(QDate(2024, 6, 30));
    Selecao().Refresh();
}

// Statements the engine ran while `f` ran, as their texts.
QStringList Rastrear(sqlite3 *db, const std::function<void()> &f)
{
    static QStringList *rastro = nullptr;
    QStringList r;
    rastro = &r;
    sqlite3_trace_v2(
        db, SQLITE_TRACE_STMT,
        [](unsigned, void *, void *p, void *) -> int {
            rastro->append(QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt *>(p))));
            return 0;
        },
        nullptr);
    f();
    sqlite3_trace_v2(db, 0, nullptr, nullptr);
    rastro = nullptr;
    return r;
}

void BM_RegistroK200PrimeiroPacote(benchmark::State &state)
{
    TnBancoBench &b = Banco();
    Selecionar(b);
    sqlite3 *db = b.Lite();
    TnDMClientDataSet *dm = nullptr;
    // The statement the register runs for its first packet, and its plan.
    {
        auto *primeiro = CadastroNovo(QStringLiteral("TTesteFaixaK200"));
        const QStringList rastro = Rastrear(db, [&] { primeiro->Abrir(); });
        DestruirDM(primeiro);
        QString pacote;
        for (const QString &s : rastro)
            if (s.contains(QLatin1String("SPEDFISK200")))
                pacote = s;
        const QString plano = PlanoSqlite(db, pacote.toUtf8());
        static std::string rotulo;
        rotulo = plano.toStdString();
        std::fprintf(stderr, "primeiro pacote: %s\nplano: %s\n", pacote.toUtf8().constData(), rotulo.c_str());
        const bool chave = plano.contains(QLatin1String("USING PRIMARY KEY"))
                           || plano.contains(QLatin1String("USING INDEX sqlite_autoindex_SPEDFISK200"));
        if (!chave || plano.contains(QLatin1String("TEMP B-TREE")) || plano.contains(QLatin1String("SCAN"))) {
            state.SkipWithError(rotulo.c_str());
            return;
        }
        state.SetLabel(rotulo);
    }
    // The raw side reads what the register reads into typed columns: the same columns,
    // the same rows, the date parsed and the quantity exact to its 3 decimals.
    std::vector<qint64> empresa, estab, produto, indicador, seq, qtde;
    std::vector<QDate> data;
    const auto direto = [&] {
        sqlite3_stmt *st = PrepararSqlite(
            db, "select CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTO, INDICADORESTOQUE, SEQ, QUANTIDADE "
                "from SPEDFISK200 where CODIGOEMPRESA = ? and CODIGOESTAB = ? and DATALCTOFIS >= ? and DATALCTOFIS <= ? "
                "order by DATALCTOFIS, CODIGOPRODUTO, INDICADORESTOQUE, SEQ limit 500");
        sqlite3_bind_int(st, 1, 1);
        sqlite3_bind_int(st, 2, 1);
        sqlite3_bind_text(st, 3, kInicioMes, -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 4, kFimMes, -1, SQLITE_STATIC);
        for (auto *v : {&empresa, &estab, &produto, &indicador, &seq, &qtde})
            v->clear();
        data.clear();
        while (sqlite3_step(st) == SQLITE_ROW) {
            empresa.push_back(sqlite3_column_int64(st, 0));
            estab.push_back(sqlite3_column_int64(st, 1));
            data.push_back(QDate::fromString(QString::fromLatin1(reinterpret_cast<const char *>(sqlite3_column_text(st, 2))),
                                             Qt::ISODate));
            produto.push_back(sqlite3_column_int64(st, 3));
            indicador.push_back(sqlite3_column_int64(st, 4));
            seq.push_back(sqlite3_column_int64(st, 5));
            qtde.push_back(qint64(std::llround(sqlite3_column_double(st, 6) * 1000)));
        }
        sqlite3_finalize(st);
        if (produto.size() != 500)
            std::abort();
    };
    Alternar(
        state,
        {.Preparar = [&] { dm = CadastroNovo(QStringLiteral("TTesteFaixaK200")); },
         .Medir =
             [&] {
                 dm->Abrir();
                 if (dm->nClientDataSet().RecordCount() != 500)
                     std::abort();
             },
         .Depois = [&] { DestruirDM(dm); }},
        {.Medir = direto}, [&] { b.Checkpoint(); });
}

void BM_RegistroK200ResultadosLookup(benchmark::State &state)
{
    TnBancoBench &b = Banco();
    Selecionar(b);
    TnBibliotecas::Carregar("Ulmar");
    const int linhas = std::min(100000, LinhasBench());
    qint64 leituras = 0;
    QSet<qint64> codigos;
    Repetir(
        state,
        {.Medir =
             [&] {
                 auto *dm = CadastroNovo(QStringLiteral("TTesteFaixaK200"));
                 const QStringList rastro = Rastrear(b.Lite(), [&] {
                     dm->Abrir();
                     TnClientDataSet &ds = dm->nClientDataSet();
                     const TnField &produto = ds.FieldByName("CODIGOPRODUTO");
                     codigos.clear();
                     int n = 0;
                     for (ds.First(); !ds.Eof() && n < linhas; ds.Next(), ++n) {
                         if (produto.ResultadosLookup().value(1).isEmpty())
                             std::abort();
                         codigos.insert(produto.AsLargeInt());
                     }
                 });
                 leituras = 0;
                 for (const QString &s : rastro)
                     leituras += s.contains(QLatin1String("t_l")) ? 1 : 0;
                 DestruirDM(dm);
             }},
        [&] { b.Checkpoint(); });
    state.counters["linhas"] = linhas;
    state.counters["codigos"] = double(codigos.size());
    state.counters["leituras"] = double(leituras);
    if (leituras > codigos.size())
        state.SkipWithError("mais de uma leitura por código");
}

} // namespace

BENCHMARK(BM_RegistroK200PrimeiroPacote)->Name("BM_RegistroK200PrimeiroPacote/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegistroK200ResultadosLookup)->Name("BM_RegistroK200ResultadosLookup/sqlite")->Iterations(1)->Unit(benchmark::kMillisecond);
