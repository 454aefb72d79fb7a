// The inventory entry register and its consultation as the program loads them (OrvoCore, by
// class name), over one branch-date holding as many entries as the company has products:
// opening the register, moving to its last row, editing and saving one entry (the register
// writes at once) and opening the consultation. Each case runs at 20,000 and 200,000 entries:
// opening reads every row, so it may grow with them; saving one entry must not.
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "DMClientDataSet.h"
#include "Modulos.h"
#include "Variaveis.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include "BenchComum.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

const QDate kDataInvent(2024, 3, 31);

// A converted database (sample company 1) with `linhas` products and one entry of each on
// branch 1 at the inventory date, written with prepared statements in one transaction.
std::unique_ptr<nDMConexao> Gerar(int linhas)
{
    GarantirApp();
    const QString arquivo = Pasta().filePath(QStringLiteral("registro%1.db").arg(linhas));
    QFile::remove(arquivo);
    TnConfigBanco c;
    c.Tipo = tcSQLite;
    c.Arquivo = arquivo;
    auto con = std::make_unique<nDMConexao>(c);
    ConverterBanco(*con);
    TnTransacao t(1, *con);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, ?)");
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                           "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, 1, ?, ?, 1, ?, ?, 0, 0, 0, ?, 1, 2)");
    const QDateTime agora(QDate(2024, 4, 2), QTime(9, 30));
    for (int i = 1; i <= linhas; ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("Produto %1").arg(i));
        p->Executar();
        l->BindData(0, kDataInvent);
        l->BindInteiro(1, i);
        l->BindReal(2, 1 + (i % 97) * 0.5);
        l->BindReal(3, 2.5 + (i % 13) * 1.25);
        l->BindDataHora(4, agora);
        l->Executar();
    }
    t.Commit();
    return con;
}

// The database of `linhas` entries, generated once per process, made current with company 1,
// branch 1 and the inventory date selected and OrvoCore loaded.
void Usar(int linhas)
{
    // Kept to the process's end and never destroyed: Qt's registry of connections may be
    // gone before a static of this file would close them.
    static auto *bancos = new std::map<int, std::unique_ptr<nDMConexao>>;
    auto &con = (*bancos)[linhas];
    if (!con)
        con = Gerar(linhas);
    DestruirTodosDM();
    nDMConexao::DefinirAtual(con.get());
    TnBibliotecas::Carregar("OrvoCore");
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    Selecao().GetParams("CodigoEstab").SetValue(1);
    Selecao().GetParams("DataInvent").SetValue(kDataInvent);
    Selecao().Refresh();
}

TnDMClientDataSet *Criar(const char *classe)
{
    return qobject_cast<TnDMClientDataSet *>(CriarDM(QString::fromLatin1(classe)));
}

// Opens a module of `classe` and checks it holds every entry.
void MedirAbertura(benchmark::State &state, const char *classe)
{
    const int linhas = int(state.range(0));
    Usar(linhas);
    for (auto _ : state) {
        state.PauseTiming();
        TnDMClientDataSet *dm = Criar(classe);
        if (!dm) {
            state.SkipWithError("modulo nao criado");
            break;
        }
        state.ResumeTiming();
        dm->Abrir();
        state.PauseTiming();
        if (dm->nClientDataSet().RecordCount() != linhas)
            state.SkipWithError("linhas a menos");
        DestruirDM(dm);
        state.ResumeTiming();
    }
    state.counters["linhas"] = linhas;
}

void BM_RegistroAbrir(benchmark::State &state) { MedirAbertura(state, "TOrvoDMLctoInv"); }
void BM_ConsultaAbrir(benchmark::State &state) { MedirAbertura(state, "TOrvoDCLctoInv"); }

// The quantity the database holds for the entry of `produto`.
double QtdeGravada(qint64 produto)
{
    auto c = nDMConexao::Atual().Preparar("select QTDEESTOQUE from LCTOINV where CODIGOEMPRESA = 1 and "
                                          "CODIGOESTAB = 1 and CODIGOPRODUTO = ? and MOTIVOINVENTARIO = 1");
    c->BindInteiro(0, produto);
    TnCursor &r = c->Abrir();
    return r.Proximo() ? r.Real(0) : -1;
}

// The register open beforehand; `salvar` false times only the move to the last row, true
// times editing and saving its quantity (the row is written at once).
void MedirUltima(benchmark::State &state, bool salvar)
{
    const int linhas = int(state.range(0));
    Usar(linhas);
    int rodada = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TnDMClientDataSet *dm = Criar("TOrvoDMLctoInv");
        if (!dm) {
            state.SkipWithError("modulo nao criado");
            break;
        }
        dm->Abrir();
        TnClientDataSet &ds = dm->nClientDataSet();
        if (salvar)
            ds.Last();
        state.ResumeTiming();
        if (!salvar) {
            ds.Last();
        } else {
            ds.Edit();
            ds.FieldByName("QTDEESTOQUE").SetAsFloat(10 + ++rodada);
            ds.Post();
        }
        state.PauseTiming();
        if (ds.FieldByName("CODIGOPRODUTO").AsLargeInt() != linhas)
            state.SkipWithError("nao esta na ultima linha");
        else if (salvar && QtdeGravada(linhas) != 10 + rodada)
            state.SkipWithError("quantidade nao gravada");
        DestruirDM(dm);
        state.ResumeTiming();
    }
    state.counters["linhas"] = linhas;
}

void BM_RegistroUltima(benchmark::State &state) { MedirUltima(state, false); }
void BM_RegistroSalvar(benchmark::State &state) { MedirUltima(state, true); }

} // namespace

BENCHMARK(BM_RegistroAbrir)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_RegistroUltima)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_RegistroSalvar)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ConsultaAbrir)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
