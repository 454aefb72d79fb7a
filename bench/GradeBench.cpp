// A result grid's figures over a million rows held in a dataset, computed over its view:
// the footer's totals of two value columns, a filter on one value of a column, and the
// groups by branch then month with their counts and totals. Each is
// measured against the same aggregate or filter through the sqlite3 C interface over the
// same rows (the table the dataset was read from, with the same indexes: only its key).
//
// Target: each under 2x the C interface's time.
#include "AgrupamentoVista.h"
#include "BenchComum.h"
#include "CamposGrade.h"
#include "ClientDataSet.h"
#include "FiltroGrade.h"
#include "TotaisVista.h"

namespace {

// The table and the dataset read from it, made once for the cases of a run.
struct Dados {
    TnBancoBench Banco{tcSQLite, QStringLiteral("grade")};
    TnClientDataSet Ds;
    Dados()
    {
        sqlite3 *db = Banco.Lite();
        ExecSqlite(db, "create table GRADE (ID integer primary key, FILIAL smallint, MES date, VALOR numeric(18,2), "
                       "QTDE double precision)");
        ExecSqlite(db, "begin");
        sqlite3_stmt *ins = PrepararSqlite(db, "insert into GRADE values (?, ?, ?, ?, ?)");
        for (int i = 0; i < LinhasBench(); ++i) {
            sqlite3_bind_int(ins, 1, i);
            sqlite3_bind_int(ins, 2, 1 + i % 10);
            const QByteArray mes = QDate(2024, 1 + i % 12, 1).toString(Qt::ISODate).toLatin1();
            sqlite3_bind_text(ins, 3, mes.constData(), int(mes.size()), SQLITE_TRANSIENT);
            sqlite3_bind_double(ins, 4, double(i % 100003) / 100.0);
            sqlite3_bind_double(ins, 5, double(i % 7919) / 1000.0);
            PassoSqlite(db, ins);
        }
        sqlite3_finalize(ins);
        ExecSqlite(db, "commit");
        Ds.DefinirCampos(kCamposGrade);
        Ds.SetLogChanges(false);
        auto cmd = Banco.Con().Preparar(QStringLiteral("select ID, FILIAL, MES, VALOR, QTDE from GRADE order by ID"));
        Ds.CarregarDe(cmd->Abrir());
    }
};

Dados &Linhas()
{
    static Dados *d = new Dados; // kept to the end: the connection outlives every case
    return *d;
}

void BM_GradeTotais(benchmark::State &state)
{
    Dados &d = Linhas();
    sqlite3 *db = d.Banco.Lite();
    qint64 valor = 0;
    double bruto = 0;
    TnLado fw{.Medir = [&] {
        valor = TotalizarVista(d.Ds, d.Ds.FieldByName("VALOR")).Escalado
                + TotalizarVista(d.Ds, d.Ds.FieldByName("QTDE")).Escalado;
    }};
    TnLado direto{.Medir = [&] {
        sqlite3_stmt *st = PrepararSqlite(db, "select sum(VALOR), sum(QTDE) from GRADE");
        ChecarSqlite(db, sqlite3_step(st));
        bruto = sqlite3_column_double(st, 0) + sqlite3_column_double(st, 1);
        sqlite3_finalize(st);
    }};
    Alternar(state, fw, direto, [&] { d.Banco.Checkpoint(); }, "razao <= 2");
    benchmark::DoNotOptimize(valor);
    benchmark::DoNotOptimize(bruto);
    state.counters["linhas"] = d.Ds.RecordCount();
}

void BM_GradeFiltroUmValor(benchmark::State &state)
{
    Dados &d = Linhas();
    sqlite3 *db = d.Banco.Lite();
    TnCelula tres;
    tres.Nulo = false;
    tres.I = 3;
    TnFiltroGrade filtro;
    filtro.Definir({.Campo = "FILIAL", .Valores = {tres}});
    int vistas = 0;
    std::vector<qint64> ids;
    TnLado fw{.Medir = [&] {
                  filtro.Aplicar(d.Ds);
                  vistas = d.Ds.RecordCount();
              },
              .Depois = [&] { TnFiltroGrade().Aplicar(d.Ds); }};
    TnLado direto{.Medir = [&] {
                      ids.clear();
                      sqlite3_stmt *st = PrepararSqlite(db, "select ID from GRADE where FILIAL = ?");
                      sqlite3_bind_int(st, 1, 3);
                      while (sqlite3_step(st) == SQLITE_ROW)
                          ids.push_back(sqlite3_column_int64(st, 0));
                      sqlite3_finalize(st);
                  }};
    Alternar(state, fw, direto, [&] { d.Banco.Checkpoint(); }, "razao <= 2");
    if (size_t(vistas) != ids.size())
        state.SkipWithError("o filtro e a consulta não acharam as mesmas linhas");
    state.counters["linhas"] = vistas;
}

// Grouping by branch then month: the view ordered by them (the grid's index), then the
// groups with their counts and totals; against the same GROUP BY through the C interface
// (on the table's key only, as the dataset had only its own order).
void BM_GradeAgruparFilialMes(benchmark::State &state)
{
    Dados &d = Linhas();
    sqlite3 *db = d.Banco.Lite();
    size_t grupos = 0, brutos = 0;
    TnLado fw{.Medir = [&] {
                  d.Ds.SetIndexFieldNames(IndiceDoAgrupamento({"FILIAL", "MES"}, d.Ds.IndexFieldNames()));
                  const std::vector<TnGrupo> g = AgruparVista(d.Ds, {"FILIAL", "MES"}, {"VALOR", "QTDE"});
                  grupos = 0;
                  for (const TnGrupo &f : g)
                      grupos += f.Subgrupos.size();
              },
              .Depois = [&] { d.Ds.SetIndexFieldNames(QString()); }};
    TnLado direto{.Medir = [&] {
                      brutos = 0;
                      sqlite3_stmt *st = PrepararSqlite(db, "select FILIAL, MES, count(*), sum(VALOR), sum(QTDE) from GRADE "
                                                            "group by FILIAL, MES order by FILIAL, MES");
                      while (sqlite3_step(st) == SQLITE_ROW) {
                          benchmark::DoNotOptimize(sqlite3_column_double(st, 3));
                          ++brutos;
                      }
                      sqlite3_finalize(st);
                  }};
    Alternar(state, fw, direto, [&] { d.Banco.Checkpoint(); }, "razao <= 2");
    if (grupos != brutos)
        state.SkipWithError("o agrupamento e a consulta não acharam os mesmos grupos");
    state.counters["grupos"] = double(grupos);
}

} // namespace

BENCHMARK(BM_GradeAgruparFilialMes)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_GradeTotais)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_GradeFiltroUmValor)->Unit(benchmark::kMillisecond)->Iterations(1);
