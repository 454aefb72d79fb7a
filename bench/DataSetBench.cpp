// Client dataset operations on a million rows held in memory: opening them (time and memory),
// ranges, key searches, locates on the index fields, bookmarks, posts and deletes with a
// clone open, inserts in the middle of the natural order, and typed reads (AsDate against
// AsLargeInt over every row).
//
// Targets: SetRange, FindKey, Locate on the index fields, Post and Delete with a clone open
// under 50 us each; bookmarks without a pass over the rows; AsDate within 2x of AsLargeInt.
#include "BenchComum.h"
#include "ClientDataSet.h"

#include <random>

namespace {

constexpr int kGrupos = 1000;

// Rows made up on the fly: ID (unique), GRUPO (ID mod 1000), NOME, VALOR numeric(18,2),
// DATA, MOMENTO (timestamp), QTDE (double).
class CursorGerado : public TnCursor {
public:
    explicit CursorGerado(int linhas) : FLinhas(linhas)
    {
        const std::pair<const char *, TFieldType> colunas[] = {{"ID", ftInteger},  {"GRUPO", ftSmallint},
                                                               {"NOME", ftString}, {"VALOR", ftBCD},
                                                               {"DATA", ftDate},   {"MOMENTO", ftDateTime},
                                                               {"QTDE", ftFloat}};
        for (const auto &[nome, tipo] : colunas) {
            TnColunaInfo c;
            c.Nome = QString::fromLatin1(nome);
            c.Tipo = tipo;
            c.Precisao = tipo == ftBCD ? 18 : 0;
            c.Escala = tipo == ftBCD ? 2 : 0;
            c.Tamanho = tipo == ftString ? 12 : 0;
            FColunas.push_back(c);
        }
    }
    int Colunas() const override { return int(FColunas.size()); }
    const TnColunaInfo &Coluna(int i) const override { return FColunas[size_t(i)]; }
    bool Proximo() override { return ++FLinha < FLinhas; }
    bool Nulo(int) override { return false; }
    qint64 Inteiro(int i) override { return i == 1 ? FLinha % kGrupos : FLinha; }
    double Real(int) override { return double(FLinha % 100000) / 100.0; }
    QString Texto(int i) override
    {
        return i == 2 ? QStringLiteral("N%1").arg(FLinha, 7, 10, QLatin1Char('0')) : QString::number(Real(i), 'f', 2);
    }
    QDate Data(int) override { return QDate::fromJulianDay(2458850 + FLinha % 1000); }
    QDateTime DataHora(int) override
    {
        return QDateTime(Data(0), QTime::fromMSecsSinceStartOfDay(36000000 + FLinha % 3600 * 1000), Qt::UTC);
    }
    bool DataHoraPartes(int, QDate &d, QTime &t) override
    {
        d = Data(0);
        t = QTime::fromMSecsSinceStartOfDay(36000000 + FLinha % 3600 * 1000);
        return true;
    }

private:
    std::vector<TnColunaInfo> FColunas;
    int FLinhas;
    int FLinha = -1;
};

int Linhas() { return LinhasBench(); }

// The million rows, loaded once; cases that change them take their own copy.
std::unique_ptr<TnClientDataSet> NovoConjunto(const QString &indice)
{
    auto ds = std::make_unique<TnClientDataSet>();
    CursorGerado c(Linhas());
    ds->CarregarDe(c);
    ds->SetIndexFieldNames(indice);
    return ds;
}

TnClientDataSet &Conjunto()
{
    static auto ds = NovoConjunto(QStringLiteral("GRUPO;ID"));
    return *ds;
}

// A pseudo-random row of group g.
int Sorteio(int k) { return int((quint64(k) * 2654435761u) % quint64(Linhas())); }

void BM_CarregarMilhao(benchmark::State &state)
{
    double mb = 0;
    for (auto _ : state) {
        const double antes = HeapMB();
        CursorGerado c(Linhas());
        TnClientDataSet ds;
        ds.CarregarDe(c);
        mb = HeapMB() - antes;
        benchmark::DoNotOptimize(ds.RecordCount());
        state.PauseTiming(); // freeing is not part of opening
        ds.Close();
        state.ResumeTiming();
    }
    state.counters["MB"] = mb;
}

void BM_SetRange(benchmark::State &state)
{
    TnClientDataSet &ds = Conjunto();
    int k = 0;
    for (auto _ : state) {
        const int g = Sorteio(++k) % kGrupos;
        ds.SetRange({g}, {g});
    }
    if (ds.RecordCount() != Linhas() / kGrupos)
        state.SkipWithError("intervalo errado");
    ds.CancelRange();
}

void BM_FindKey(benchmark::State &state)
{
    TnClientDataSet &ds = Conjunto();
    int k = 0;
    for (auto _ : state) {
        const int id = Sorteio(++k);
        if (!ds.FindKey({id % kGrupos, id}))
            state.SkipWithError("chave não encontrada");
    }
}

void BM_LocateIndice(benchmark::State &state)
{
    TnClientDataSet &ds = Conjunto();
    int k = 0;
    for (auto _ : state) {
        const int id = Sorteio(++k);
        if (!ds.Locate(QStringLiteral("GRUPO;ID"), QVariantList{id % kGrupos, id}))
            state.SkipWithError("linha não encontrada");
    }
}

std::vector<TnBookmark> Marcadores(TnClientDataSet &ds)
{
    std::vector<TnBookmark> r;
    for (int k = 1; k <= 1000; ++k) {
        ds.SetRecNo(Sorteio(k) + 1);
        r.push_back(ds.GetBookmark());
    }
    return r;
}

void BM_GotoBookmark(benchmark::State &state)
{
    TnClientDataSet &ds = Conjunto();
    const auto marcas = Marcadores(ds);
    size_t k = 0;
    for (auto _ : state)
        ds.GotoBookmark(marcas[++k % marcas.size()]);
}

void BM_BookmarkValid(benchmark::State &state)
{
    TnClientDataSet &ds = Conjunto();
    const auto marcas = Marcadores(ds);
    size_t k = 0;
    for (auto _ : state)
        if (!ds.BookmarkValid(marcas[++k % marcas.size()]))
            state.SkipWithError("marcador inválido");
}

// A clone in another order is open: the dataset's post or delete must reach its view; the
// clone is read after each one so that no deferred work escapes the timing.
struct ComClone {
    std::unique_ptr<TnClientDataSet> ds = NovoConjunto(QStringLiteral("GRUPO;ID"));
    TnClientDataSet clone;
    ComClone()
    {
        clone.CloneCursor(*ds);
        clone.SetIndexFieldNames(QStringLiteral("NOME"));
    }
};

void BM_PostComClone(benchmark::State &state)
{
    static ComClone c;
    TnField &valor = c.ds->FieldByName(QStringLiteral("VALOR"));
    TnField &grupo = c.ds->FieldByName(QStringLiteral("GRUPO"));
    TnField &nome = c.ds->FieldByName(QStringLiteral("NOME"));
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        c.ds->SetRecNo(Sorteio(++k) % c.ds->RecordCount() + 1);
        state.ResumeTiming();
        c.ds->Edit();
        valor.SetAsFloat(k % 1000);
        grupo.SetAsInteger((grupo.AsInteger() + 1) % kGrupos); // moves in the dataset's order
        nome.SetAsString(QStringLiteral("M%1").arg(k, 7, 10, QLatin1Char('0'))); // and in the clone's
        c.ds->Post();
        benchmark::DoNotOptimize(c.clone.RecNo());
    }
}

void BM_DeleteComClone(benchmark::State &state)
{
    static auto c = std::make_unique<ComClone>();
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Deletes of small sets can outnumber their rows: start again from a whole set.
        if (c->ds->RecordCount() < Linhas() / 2)
            c = std::make_unique<ComClone>();
        c->ds->SetRecNo(Sorteio(++k) % c->ds->RecordCount() + 1);
        state.ResumeTiming();
        c->ds->Delete();
        benchmark::DoNotOptimize(c->clone.RecNo());
    }
}

// Insert before a row in the middle of the natural order (no index).
void BM_InserirNoMeio(benchmark::State &state)
{
    static auto ds = NovoConjunto(QString());
    TnField &id = ds->FieldByName(QStringLiteral("ID"));
    TnField &nome = ds->FieldByName(QStringLiteral("NOME"));
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ds->SetRecNo(ds->RecordCount() / 2);
        state.ResumeTiming();
        ds->Insert();
        id.SetAsInteger(Linhas() + ++k);
        nome.SetAsString(QStringLiteral("novo"));
        ds->Post();
    }
}

// Every row's date against every row's integer, in the same walk.
void BM_AsDateContraAsLargeInt(benchmark::State &state)
{
    TnClientDataSet &ds = Conjunto();
    TnField &data = ds.FieldByName(QStringLiteral("DATA"));
    TnField &id = ds.FieldByName(QStringLiteral("ID"));
    qint64 soma = 0;
    TnLado datas{[] {}, [&] {
                     for (ds.First(); !ds.Eof(); ds.Next())
                         soma += data.AsDate().toJulianDay();
                 }};
    TnLado inteiros{[] {}, [&] {
                        for (ds.First(); !ds.Eof(); ds.Next())
                            soma += id.AsLargeInt();
                    }};
    Alternar(state, datas, inteiros, [] {}, "alvo <= 2");
    benchmark::DoNotOptimize(soma);
}

double Minimo(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }

void Microssegundos(benchmark::internal::Benchmark *b)
{
    b->Unit(benchmark::kMicrosecond)->MinTime(0.3)->Repetitions(5)->ReportAggregatesOnly(true)->ComputeStatistics("min", Minimo);
}

} // namespace

BENCHMARK(BM_CarregarMilhao)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ComputeStatistics("min", Minimo);
BENCHMARK(BM_SetRange)->Apply(Microssegundos);
BENCHMARK(BM_FindKey)->Apply(Microssegundos);
BENCHMARK(BM_LocateIndice)->Apply(Microssegundos);
BENCHMARK(BM_GotoBookmark)->Apply(Microssegundos);
BENCHMARK(BM_BookmarkValid)->Apply(Microssegundos);
BENCHMARK(BM_PostComClone)->Apply(Microssegundos);
BENCHMARK(BM_DeleteComClone)->Apply(Microssegundos);
BENCHMARK(BM_InserirNoMeio)->Apply(Microssegundos);
BENCHMARK(BM_AsDateContraAsLargeInt)->Unit(benchmark::kMillisecond)->Iterations(1);
