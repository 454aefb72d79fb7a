// The consultation of inventory entries as the program loads it (OrvoCore, by class name)
// over one company's entries (ORVO_BENCH_LINHAS, default 1,000,000: five branches, ten
// months, the rest products, each with a description, a reference and an observation),
// against the same join stepped through SQLite's C interface into columns of the same
// kinds (one forward pass, no intermediate dataset, the same rounding). Also the memory the
// grid holds, and the refresh of one row's entries after the register closes.
//
// The ratio the project holds: the run within 2x of the C interface, under 400 MB.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "Interacao.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "Valores.h"
#include "Variaveis.h"


#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int Linhas() { return LinhasBench(); }
int Produtos() { return std::max(1, Linhas() / 50); }

const char *const kSelect =
    " select L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, L.CODIGOPRODUTO, L.QTDEESTOQUE, L.PRECOUNIT, "
    "L.OBSLCTOINV, P.REFERENPRODUTO, P.DESCRPRODUTO, L.MOTIVOINVENTARIO from LCTOINV L inner join PRODUTO P "
    "on L.CODIGOEMPRESA = P.CODIGOEMPRESA and L.CODIGOPRODUTO = P.CODIGOPRODUTO where L.CODIGOEMPRESA = ? "
    "order by 1, 2, 3, 4 ";

// The company's settings: 3 cost and 2 quantity decimals, the model 7 book and references,
// so that every column of the grid is filled.
nDMConexao &Banco()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = NovoBancoConvertido(QStringLiteral("consulta.db"));
    TnTransacao t(1, *con);
    con->Executar("update CFGEMPRESAINV set QTDECASADECIMAL = 3, QTDECASADECIMALQTD = 2 where CODIGOEMPRESA = 1");
    con->Executar("delete from CFGEMPRESAULMAR where CODIGOEMPRESA = 1");
    con->Executar("insert into CFGEMPRESAULMAR (CODIGOEMPRESA, USAREFERENCIAPROD, LIVROMODELO7) values (1, '1', '1')");
    for (int e = 2; e <= 5; ++e)
        con->Executar(QStringLiteral("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, %1, 'F')").arg(e));
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO, REFERENPRODUTO) "
                           "values (1, ?, ?, ?)");
    for (int i = 1; i <= Produtos(); ++i) {
        p->BindInteiro(0, i);
        p->BindTexto(1, QStringLiteral("Produto de estoque número %1").arg(i));
        p->BindTexto(2, QStringLiteral("REF-%1").arg(i));
        p->Executar();
    }
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, "
                           "ORIGEMDADO) values (1, ?, ?, ?, 1, ?, ?, ?, ?, 1, 2)");
    const QDateTime agora(QDate(2024, 11, 5), QTime(9, 30));
    for (int i = 0; i < Linhas(); ++i) {
        const int r = i / 5;
        l->BindInteiro(0, i % 5 + 1);
        l->BindData(1, QDate(2024, r % 10 + 1, 1));
        l->BindInteiro(2, r / 10 + 1);
        l->BindReal(3, 1 + (i % 97) * 0.125);
        l->BindReal(4, 2.5 + (i % 13) * 1.0625);
        l->BindTexto(5, QStringLiteral("Contagem %1").arg(i % 1000));
        l->BindDataHora(6, agora);
        l->Executar();
    }
    t.Commit();
    SelecionarEstab1(*con, QDate(2024, 3, 1));
    return *con;
}

// The same result in columns of the same kinds: integers, Julian days, doubles rounded as
// the grid rounds them, texts one after the other in UTF-16 with their starts and lengths.
struct Colunas {
    std::vector<qint16> empresa, estab, motivo;
    std::vector<qint64> data, produto, total;
    std::vector<double> qtde, custo;
    std::vector<char16_t> texto;
    std::vector<qint64> inicio;
    std::vector<qint32> tamanho;
    void Texto(sqlite3_stmt *st, int i)
    {
        const auto *p = static_cast<const char16_t *>(sqlite3_column_text16(st, i));
        const int n = sqlite3_column_bytes16(st, i) / 2;
        inicio.push_back(qint64(texto.size()));
        tamanho.push_back(n);
        if (p)
            texto.insert(texto.end(), p, p + n);
    }
};

qint64 DiaJuliano(const unsigned char *t)
{
    const auto n = [t](int i, int k) {
        int v = 0;
        for (int j = i; j < i + k; ++j)
            v = v * 10 + (t[j] - '0');
        return v;
    };
    return QDate(n(0, 4), n(5, 2), n(8, 2)).toJulianDay();
}

void Direto(sqlite3 *db)
{
    Colunas c;
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, kSelect, -1, &st, nullptr);
    sqlite3_bind_int(st, 1, 1);
    while (sqlite3_step(st) == SQLITE_ROW) {
        c.empresa.push_back(qint16(sqlite3_column_int(st, 0)));
        c.estab.push_back(qint16(sqlite3_column_int(st, 1)));
        c.data.push_back(DiaJuliano(sqlite3_column_text(st, 2)));
        c.produto.push_back(sqlite3_column_int64(st, 3));
        const double qtde = sqlite3_column_double(st, 4), preco = sqlite3_column_double(st, 5);
        c.qtde.push_back(RoundValor(qtde, 2));
        c.custo.push_back(RoundValor(preco, 3));
        c.total.push_back(qint64(RoundValor(qtde * preco, 2) * 100));
        c.Texto(st, 6);
        c.Texto(st, 7);
        c.Texto(st, 8);
        c.motivo.push_back(qint16(sqlite3_column_int(st, 9)));
    }
    sqlite3_finalize(st);
    if (int(c.produto.size()) != Linhas())
        std::abort();
}

// A new consultation over the whole company (without the branch and period the selection fills in).
TnDMPowerParamGrid *Consulta()
{
    auto *dp = qobject_cast<TnDMPowerParamGrid *>(CriarDM(QStringLiteral("TOrvoDPConsultaLctoInv")));
    for (const char *alias : {"pCodigoEstab", "pPeriodoInicial", "pPeriodoFinal"})
        dp->Param(QString::fromLatin1(alias)).Clear();
    return dp;
}

void BM_ConsultaLancamentos(benchmark::State &state)
{
    nDMConexao &con = Banco();
    long mb = 0;
    TnDMPowerParamGrid *dp = nullptr;
    MedirContraDireto(
        state, 5,
        [&] {
            // The previous run's grid goes before the next one is timed.
            delete dp;
            dp = nullptr;
        },
        [&] {
            const long antes = MemoriaResidenteMB();
            dp = Consulta();
            dp->Rodar();
            mb = std::max(mb, MemoriaResidenteMB() - antes);
            if (dp->nClientDataSet().RecordCount() != Linhas())
                std::abort();
        },
        [&] { Direto(HandleSqlite(con)); });
    state.counters["MB"] = double(mb);

    // One row's entries read again after the register closed (nobody at the form here).
    dp = Consulta();
    dp->Rodar();
    dp->nClientDataSet().SetRecNo(Linhas() / 2);
    QElapsedTimer t;
    t.start();
    dp->DBGridDblClick();
    state.counters["atualizar_ms"] = double(t.nsecsElapsed()) / 1e6;
    delete dp;
}

} // namespace

BENCHMARK(BM_ConsultaLancamentos)->Unit(benchmark::kMillisecond)->Iterations(1);
