// A saved custom query over 1,000,000 entries (ORVO_BENCH_LINHAS changes the count) of two
// branches over 24 months, as the program runs it (OrvoQuery's runner, by class name):
// - its first packet (500 rows) of the entries joined to their products, in the product's
//   order and the keys, against the same first-packet statement stepped with SQLite's C
//   interface, every column read typed;
// - the sum of "Custo Total" per branch and month, against the raw aggregate stepped the
//   same way.
// The runner is created and its definition read before the timed part; the timed part is
// the run (statement built, prepared, rows read into the grid's dataset). Rounds alternate.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ConsultaPersonalizada.h"
#include "Modulos.h"
#include "Paginacao.h"
#include "Valores.h"
#include "Variaveis.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kMeses = 24;
const QDate kInicio(2023, 1, 1);

nDMConexao &Banco()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = NovoBancoConvertido(QStringLiteral("consulta_personalizada.db"));
    const int linhas = LinhasBench();
    const int datas = kMeses * 2;
    const int produtos = (linhas + datas - 1) / datas;
    TnTransacao t(1, *con);
    con->Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial')");
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, ?)");
    for (int i = 1; i <= produtos; ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("Produto %1").arg(i));
        p->Executar();
    }
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                           "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, ?, ?, ?, 1, ?, ?, 0, 0, 0, ?, 1, 2)");
    const QDateTime agora(QDate(2025, 1, 2), QTime(9, 30));
    for (int i = 0; i < linhas; ++i) {
        const int d = i / produtos; // 0 .. 47: branch and month
        l->BindInteiro(0, 1 + d % 2);
        l->BindData(1, kInicio.addMonths(d / 2));
        l->BindInteiro(2, i % produtos + 1);
        l->BindReal(3, 1 + (i % 97) * 0.5);
        l->BindReal(4, 2.5 + (i % 13) * 1.255);
        l->BindDataHora(5, agora);
        l->Executar();
    }
    t.Commit();
    return *con;
}

TnDefinicaoConsulta Linhas()
{
    TnDefinicaoConsulta d;
    const QString l = d.AdicionarTabela("TOrvoDMLctoInv"), p = d.AdicionarTabela("TUlmarDMProduto");
    d.Juncoes.push_back({l, p, {{"CODIGOEMPRESA", "CODIGOEMPRESA"}, {"CODIGOPRODUTO", "CODIGOPRODUTO"}}});
    d.Campos = {{l, "CODIGOESTAB"}, {l, "DATAINVENT"}, {l, "CODIGOPRODUTO"}, {p, "DESCRPRODUTO"},
                {l, "QTDEESTOQUE"}, {l, "PRECOUNIT"}, {l, "CUSTOTOTAL"}};
    d.Ordem = {{l, "CODIGOPRODUTO"}};
    return d;
}

TnDefinicaoConsulta Totais()
{
    TnDefinicaoConsulta d;
    const QString l = d.AdicionarTabela("TOrvoDMLctoInv");
    d.Campos = {{l, "CODIGOESTAB"}, {l, "DATAINVENT"}, {l, "CUSTOTOTAL", "", false, ntcSoma}};
    d.Ordem = {{l, "CODIGOESTAB"}, {l, "DATAINVENT"}};
    return d;
}

struct TnCaso {
    std::unique_ptr<TnDataModule> Dm;
    TnDPConsultaPersonalizada *Runner = nullptr;
};

TnCaso AbrirRunner(int codigo)
{
    TnCaso c;
    c.Dm.reset(CriarDMNovo(QStringLiteral("TOrvoDPConsultaPersonalizada")));
    c.Runner = qobject_cast<TnDPConsultaPersonalizada *>(c.Dm.get());
    if (!c.Runner)
        std::abort();
    c.Runner->CarregarConsulta(codigo);
    return c;
}

// Steps `sql` reading every column typed as the dataset would (integers, doubles, texts).
int Passar(sqlite3 *db, const QByteArray &sql, int colunas)
{
    sqlite3_stmt *st = PrepararSqlite(db, sql.constData());
    int n = 0;
    std::vector<qint64> valInt(static_cast<size_t>(colunas));
    std::vector<double> valReal(static_cast<size_t>(colunas));
    std::vector<QString> valTexto(static_cast<size_t>(colunas));
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int i = 0; i < colunas; ++i)
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER: valInt[size_t(i)] = sqlite3_column_int64(st, i); break;
            case SQLITE_FLOAT: valReal[size_t(i)] = sqlite3_column_double(st, i); break;
            case SQLITE_TEXT:
                valTexto[size_t(i)] = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                                      sqlite3_column_bytes(st, i));
                break;
            default: break;
            }
        ++n;
    }
    sqlite3_finalize(st);
    return n;
}

void Comparar(benchmark::State &state, const TnDefinicaoConsulta &def, const char *nome, int linhasEsperadas)
{
    nDMConexao &con = Banco();
    SelecionarEstab1(con);
    TnBibliotecas::Carregar("Ulmar");
    TnBibliotecas::Carregar("OrvoQuery");
    con.Executar("delete from NCONSULTAPERSONALIZADA");
    const int codigo = SalvarConsultaPersonalizada(QString::fromUtf8(nome), 12, def);
    TnCaso caso = AbrirRunner(codigo);
    caso.Runner->Rodar(); // builds the statement the raw side runs, and warms the cache
    const TnConstrutorConsultaPersonalizada &c = *caso.Runner->Construtor();
    QByteArray sql;
    if (c.OrdemPaginavel())
        sql = TnFonteChaveada(con, c.SQLBase(), c.Valores(), c.Ordem(), c.Ordem().join(u';'))
                  .TextoPacote(false, caso.Runner->nClientDataSet().PacketRecords())
                  .toUtf8();
    else
        sql = c.SQL().toUtf8();
    const int colunas = int(c.Colunas().size());
    sqlite3 *db = HandleSqlite(con);
    TnLado fw{[] {}, [&] {
                  caso.Runner->Rodar();
                  if (caso.Runner->nClientDataSet().RecordCount() != linhasEsperadas)
                      std::abort();
              },
              [] {}};
    TnLado bruto{[] {}, [&] {
                     if (Passar(db, sql, colunas) != linhasEsperadas)
                         std::abort();
                 },
                 [] {}};
    Alternar(state, fw, bruto, [&] { ExecSqlite(db, "PRAGMA wal_checkpoint(TRUNCATE)"); });
    caso = {};
    DestruirTodosDM();
}

void BM_ConsultaPersonalizadaPrimeiroPacote(benchmark::State &state)
{
    Comparar(state, Linhas(), "Linhas", std::min(500, LinhasBench()));
}

void BM_ConsultaPersonalizadaTotalizada(benchmark::State &state)
{
    Comparar(state, Totais(), "Custo por filial e mês", kMeses * 2);
}

} // namespace

BENCHMARK(BM_ConsultaPersonalizadaPrimeiroPacote)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ConsultaPersonalizadaTotalizada)->Unit(benchmark::kMillisecond)->Iterations(1);
