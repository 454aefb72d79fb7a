// The SYN import of 100,000 inventory records (a file of the inventory data group, every
// entry new, products found by reference) against SQLite's C interface running the import's
// own upsert statement, prepared, over the same rows in one transaction (target: within 1.5x). The framework's time
// holds reading and checking the file; the raw side upserts rows already in memory.
// Records: ORVO_BENCH_IMPORTACAO (default 100,000).
#include "Bibliotecas.h"
#include "ConfigPrograma.h"
#include "ImportacaoComum.h"
#include "Modulos.h"
#include "Personalizacao.h"
#include "SynImportacao.h"
#include "TextoSQL.h"
#include "Valores.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <benchmark/benchmark.h>

namespace {

int Registros() { return QtdeImportacao(); }

double Quantidade(int i) { return 1 + (i % 50) * 0.5; }
double Custo(int i) { return 2.25 + (i % 9); }

// A converted database with products 1..n, references "P<code>".
std::unique_ptr<nDMConexao> Banco()
{
    auto con = BancoNovo(QStringLiteral("syn.db"));
    TnTransacao t(1, *con);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) "
                           "values (1, ?, ?, ?)");
    for (int i = 1; i <= Registros(); ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("P%1").arg(i));
        p->BindTexto(2, QStringLiteral("Produto %1").arg(i));
        p->Executar();
    }
    t.Commit();
    return con;
}

void UpsertsDiretos(sqlite3 *db)
{
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *st = PrepararSqlite(db, TnSynDPImportacaoBase::kUpsertInventario);
    for (int i = 1; i <= Registros(); ++i) {
        sqlite3_bind_int(st, 1, 1);
        sqlite3_bind_int(st, 2, 1);
        sqlite3_bind_text(st, 3, "2024-03-01", 10, SQLITE_STATIC);
        sqlite3_bind_int64(st, 4, i);
        sqlite3_bind_int(st, 5, 1);
        sqlite3_bind_double(st, 6, Quantidade(i));
        sqlite3_bind_double(st, 7, Custo(i));
        sqlite3_bind_text(st, 8, "2024-04-02 09:30:00.123", -1, SQLITE_STATIC);
        sqlite3_bind_int(st, 9, 1);
        sqlite3_bind_int(st, 10, 5000 + i);
        PassoSqlite(db, st);
    }
    sqlite3_finalize(st);
    ExecSqlite(db, "COMMIT");
}

// The settings and the file of the import: ORVO_BENCH_IMPORTACAO records of the inventory
// data group, every entry new, products by reference.
void PrepararArquivo(benchmark::State &state)
{
    GarantirApp();
    TnBibliotecas::Carregar("OrvoCore");
    const QString ini = Pasta().filePath("syn.ini");
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue("SYN/Pasta", Pasta().filePath("syn"));
    }
    TnConfigPrograma::DefinirArquivo(ini);
    DefinirUsuarioConectado(1, "ADMINISTRADOR");
    QDir().mkpath(Pasta().filePath("syn"));
    QFile f(TnSynDPImportacaoBase::Arquivo(QStringLiteral("LCTOINV"), 1));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        state.SkipWithError("arquivo");
    QByteArray texto;
    for (int i = 1; i <= Registros(); ++i)
        texto += QStringLiteral("%1;1;01/03/2024;P%2;1;%3;%4\n")
                     .arg(5000 + i)
                     .arg(i)
                     .arg(NumeroParaTexto(Quantidade(i)), NumeroParaTexto(Custo(i)))
                     .toUtf8();
    f.write(texto);
}

void Encerrar()
{
    TnConfigPrograma::DefinirArquivo(QString());
    DefinirUsuarioConectado(0, QString());
    TnBibliotecas::DescarregarTodas();
}

// The import as the user runs it, on the current connection; the records imported.
int Importar()
{
    auto *dp = dynamic_cast<TnSynDPImportacaoBase *>(CriarDM("TOrvoDPImportacaoSyn"));
    dp->ConfigurarForm(nullptr); // chooses the inventory data group
    dp->Param("pCodigoEmpresa").SetValue(1);
    dp->Rodar();
    const int importados = dp->Importados();
    DestruirDM(dp);
    return importados;
}

void BM_ImportacaoSyn(benchmark::State &state)
{
    PrepararArquivo(state);
    int importados = 0;
    MedirEmBancoNovo(state, Banco, [&] { importados = Importar(); }, UpsertsDiretos);
    if (importados != Registros())
        state.SkipWithError("registros a menos");
    Encerrar();
}

// ---- on the server

// The raw side on the server: the import's own upsert, prepared, executed for the same rows
// in a pipeline (a sync every thousand) in one transaction.
void UpsertsDiretosPg(PGconn *c)
{
    ExecPg(c, "BEGIN");
    {
        const QByteArray sql = NumerarParametros(QString::fromLatin1(TnSynDPImportacaoBase::kUpsertInventario)).toUtf8();
        TnPipelinePg p(c, sql.constData(), 10);
        std::string produto, qtde, custo, id;
        for (int i = 1; i <= Registros(); ++i) {
            produto.clear();
            TextoInteiro(produto, i);
            qtde.clear();
            TextoReal(qtde, Quantidade(i));
            custo.clear();
            TextoReal(custo, Custo(i));
            id.clear();
            TextoInteiro(id, 5000 + i);
            const char *v[10] = {"1", "1", "2024-03-01", produto.c_str(), "1", qtde.c_str(), custo.c_str(),
                                 "2024-04-02 09:30:00.123", "1", id.c_str()};
            p.Enviar(v);
        }
    }
    ExecPg(c, "COMMIT");
}

// Each round starts without entries; the exchanges of the framework's last round are
// reported beside the times.
void BM_ImportacaoSynPg(benchmark::State &state)
{
    PrepararArquivo(state);
    {
        TnBancoBench banco(tcPostgreSQL, QStringLiteral("syn"));
        TnConexaoDoCaso atual(&banco.Con());
        ConverterBanco(banco.Con());
        banco.Con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) "
                             "select 1, i, 'P' || i, 'Produto ' || i from generate_series(1, " +
                             QString::number(Registros()) + ") i");
        banco.Con().Executar("ANALYZE");
        int importados = 0;
        AlternarNoServidor(
            state, banco, [&] { banco.Con().Executar("delete from LCTOINV where CODIGOEMPRESA = 1"); },
            [&] { importados = Importar(); }, UpsertsDiretosPg);
        if (importados != Registros())
            state.SkipWithError("registros a menos");
        state.counters["linhas"] = double(Registros());
    }
    Encerrar();
}

const int gRegistro = RegistrarNoServidor("BM_ImportacaoSyn/pg", BM_ImportacaoSynPg);

} // namespace

BENCHMARK(BM_ImportacaoSyn)->Unit(benchmark::kMillisecond)->Iterations(1);
