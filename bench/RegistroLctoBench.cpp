// The inventory entry register and its consultation as the program loads them (OrvoCore, by
// class name), over one branch-date holding as many entries as the company has products:
// opening the register (it reads one packet), scrolling through its first 1,000 rows,
// moving to its last row (every row read), saving one new entry (the register writes at
// once) right after opening and after moving to the last row, and opening the
// consultation. The register is configured as the program does, so its property lines (a
// detail) follow each move. Each case runs at 20,000 and 200,000 entries: only moving to the
// last row may grow with them.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "DMClientDataSet.h"
#include "Modulos.h"
#include "Variaveis.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <map>

namespace {

const QDate kDataInvent(2024, 3, 31);
constexpr int kSemLcto = 100; // products without an entry

// A converted database (sample company 1) with `linhas` entries on branch 1 at the
// inventory date, one per product, and products left without an entry for the new ones,
// written with prepared statements in one transaction.
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
    for (int i = 1; i <= linhas + kSemLcto; ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("Produto %1").arg(i));
        p->Executar();
        if (i > linhas)
            continue;
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

// Opens a module of `classe` and checks it read its first packet.
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
        dm->ConfigurarForm(nullptr); // as the program does: the register gets its property lines
        state.PauseTiming();
        const int lidas = dm->nClientDataSet().RecordCount();
        if (lidas == 0 || lidas > linhas || (lidas < linhas && dm->nClientDataSet().TodosLidos()))
            state.SkipWithError("linhas a menos");
        state.counters["lidas"] = lidas;
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

enum TnCaso { csRolar, csUltima, csNovo, csNovoNaUltima };

// The register open beforehand (and on its last row for csNovoNaUltima); times scrolling
// through the first 1,000 rows, the move to the last row, or a new entry of a product
// without one, saved (it is written at once).
void MedirRegistro(benchmark::State &state, TnCaso caso)
{
    const int linhas = int(state.range(0));
    Usar(linhas);
    static std::map<int, int> novos; // products used by new entries, per database
    for (auto _ : state) {
        state.PauseTiming();
        TnDMClientDataSet *dm = Criar("TOrvoDMLctoInv");
        if (!dm) {
            state.SkipWithError("modulo nao criado");
            break;
        }
        dm->Abrir();
        dm->ConfigurarForm(nullptr); // the property lines follow every move
        TnClientDataSet &ds = dm->nClientDataSet();
        if (caso == csNovoNaUltima)
            ds.Last();
        const qint64 produto = linhas + ++novos[linhas];
        if (produto > linhas + kSemLcto) {
            state.SkipWithError("produtos sem lancamento esgotados");
            break;
        }
        state.ResumeTiming();
        switch (caso) {
        case csRolar:
            for (int i = 1; i < 1000; ++i)
                ds.Next();
            break;
        case csUltima: ds.Last(); break;
        case csNovo:
        case csNovoNaUltima:
            ds.Append();
            ds.FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
            ds.FieldByName("MOTIVOINVENTARIO").SetAsInteger(1);
            ds.FieldByName("QTDEESTOQUE").SetAsFloat(10);
            ds.FieldByName("PRECOUNIT").SetAsFloat(2.5);
            ds.Post();
            break;
        }
        state.PauseTiming();
        const qint64 atual = ds.FieldByName("CODIGOPRODUTO").AsLargeInt();
        if (caso == csRolar && (ds.RecNo() != 1000 || atual != 1000))
            state.SkipWithError("nao esta na linha 1000");
        else if (caso == csUltima && atual != linhas)
            state.SkipWithError("nao esta na ultima linha");
        else if ((caso == csNovo || caso == csNovoNaUltima) && (atual != produto || QtdeGravada(produto) != 10))
            state.SkipWithError("lancamento nao gravado");
        DestruirDM(dm);
        state.ResumeTiming();
    }
    state.counters["linhas"] = linhas;
}

void BM_RegistroRolar1000(benchmark::State &state) { MedirRegistro(state, csRolar); }
void BM_RegistroUltima(benchmark::State &state) { MedirRegistro(state, csUltima); }
void BM_RegistroNovo(benchmark::State &state) { MedirRegistro(state, csNovo); }
void BM_RegistroNovoNaUltima(benchmark::State &state) { MedirRegistro(state, csNovoNaUltima); }

} // namespace

BENCHMARK(BM_RegistroAbrir)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ConsultaAbrir)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_RegistroRolar1000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_RegistroUltima)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_RegistroNovo)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_RegistroNovoNaUltima)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
