// A result tab's detail following its master: moving the master over 1,000 rows (ten
// passes a round) with
// 1,000,000 detail rows (ORVO_BENCH_LINHAS) against the same moves with 1,000 detail rows.
// The detail shows the master row's rows through a range on the key's index, so the cost of
// a move must not grow with the detail.
//
// Target: BM_MestreDetalheMover, razao (large detail / small detail) <= 2. The "fw" side of
// the counters is the large detail, the "bruto" side the small one.
#include "BenchComum.h"
#include "MestreDetalhe.h"

namespace {

constexpr int kMestres = 1000;

// Rows CHAVE (row mod 1000, spread over every master), ID.
class CursorDetalhe : public TnCursor {
public:
    explicit CursorDetalhe(int linhas) : FLinhas(linhas)
    {
        for (const char *nome : {"CHAVE", "ID"}) {
            TnColunaInfo c;
            c.Nome = QString::fromLatin1(nome);
            c.Tipo = ftInteger;
            FColunas.push_back(c);
        }
    }
    int Colunas() const override { return int(FColunas.size()); }
    const TnColunaInfo &Coluna(int i) const override { return FColunas[size_t(i)]; }
    bool Proximo() override { return ++FLinha < FLinhas; }
    bool Nulo(int) override { return false; }
    qint64 Inteiro(int i) override { return i == 0 ? (FLinha * 7919LL) % kMestres : FLinha; }
    double Real(int i) override { return double(Inteiro(i)); }
    QString Texto(int i) override { return QString::number(Inteiro(i)); }
    QDate Data(int) override { return {}; }
    QDateTime DataHora(int) override { return {}; }

private:
    std::vector<TnColunaInfo> FColunas;
    int FLinhas;
    int FLinha = -1;
};

struct TnTabela {
    TnClientDataSet Mestre, Detalhe;
    std::unique_ptr<TnLigacaoMestreDetalhe> Ligacao;
    explicit TnTabela(int linhasDetalhe)
    {
        CursorDetalhe mestre(kMestres), detalhe(linhasDetalhe);
        Mestre.CarregarDe(mestre);
        Detalhe.CarregarDe(detalhe);
        Ligacao = std::make_unique<TnLigacaoMestreDetalhe>(Mestre, Detalhe, QStringLiteral("CHAVE"));
    }
    // Ten passes of 1,000 moves of the master, each followed by a read of the detail's
    // first row.
    void Mover()
    {
        qint64 soma = 0;
        for (int passe = 0; passe < 10; ++passe) {
            Mestre.First();
            for (int k = 0; k < kMestres; ++k) {
                soma += Detalhe.IsEmpty() ? 0 : Detalhe.Fields(1).AsLargeInt();
                Mestre.Next();
            }
        }
        benchmark::DoNotOptimize(soma);
    }
};

void BM_MestreDetalheMover(benchmark::State &state)
{
    TnTabela grande(std::max(LinhasBench(), 1000)), pequena(1000);
    grande.Mestre.SetRecNo(2);
    if (grande.Detalhe.RecordCount() != std::max(LinhasBench(), 1000) / kMestres)
        state.SkipWithError("o detalhe não segue o mestre");
    Alternar(state, {.Medir = [&] { grande.Mover(); }}, {.Medir = [&] { pequena.Mover(); }}, [] {},
             "razao <= 2 (detalhe grande / pequeno)");
}

} // namespace

BENCHMARK(BM_MestreDetalheMover)->Iterations(1)->Unit(benchmark::kMillisecond);
