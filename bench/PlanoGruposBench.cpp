// The product-group chart's processes as the program loads them (OrvoCore, by class name),
// each against the same work done directly with SQLite's C interface, in alternating rounds
// (framework, C interface, framework...), five of each:
// - the balance roll-up of 1,000,000 entries (200,000 products in 5 branches) over a chart of
//   10,000 groups in 4 levels, against reading the same entries joined to their products
//   with one prepared statement re-bound per branch;
// - the mask change of a chart of 100,000 groups in 4 levels, against prepared UPDATEs of
//   the same rows to the same classifications in one transaction.
// The ratios the project holds: both within 2x of the C interface.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "Interacao.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "SuiteProduto.h"
#include "Variaveis.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <vector>

namespace {

const QDate kData(2024, 1, 31);
constexpr int kEstabs = 5;
constexpr int kProdutos = 200000;
constexpr int kRodadas = 5;

std::unique_ptr<nDMConexao> Abrir(const QString &nome)
{
    GarantirApp();
    // Kept to the process's end and never destroyed, as the connections below: Qt's own
    // registries may be gone before a static of this file would be.
    static auto *usuario = new TnUsuarioBench;
    DefinirInteracao(usuario);
    auto con = BancoNovo(nome);
    nDMConexao::DefinirAtual(con.get());
    TnBibliotecas::Carregar("OrvoCore");
    return con;
}

// A chart of `grupos` groups in 4 levels: 9 synthetic groups of one digit, 10 under each,
// 10 under each of those, and the analytic groups spread under the third level; the
// classifications under the mask "9.99.99.<digitos>". Answers the analytic groups' codes.
std::vector<int> Plano(nDMConexao &con, int grupos, int digitos)
{
    std::vector<int> analiticos;
    auto g = con.Preparar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                          "TIPOGRUPOPRODUTO, DESCRGRUPOPRODUTO) values (1, ?, ?, ?, ?)");
    int codigo = 0;
    const auto grupo = [&](const QString &classif, int tipo) {
        g->BindInteiro(0, ++codigo);
        g->BindTexto(1, classif);
        g->BindInteiro(2, tipo);
        g->BindTexto(3, QStringLiteral("Grupo ") + classif);
        g->Executar();
        if (tipo == 2)
            analiticos.push_back(codigo);
    };
    const int terceiros = 9 * 10 * 10, quartos = grupos - 9 - 90 - terceiros;
    for (int a = 1; a <= 9; ++a) {
        grupo(QString::number(a), 1);
        for (int b = 1; b <= 10; ++b) {
            const QString nb = QStringLiteral("%1.%2").arg(a).arg(b, 2, 10, QChar('0'));
            grupo(nb, 1);
            for (int c = 1; c <= 10; ++c) {
                const QString nc = QStringLiteral("%1.%2").arg(nb).arg(c, 2, 10, QChar('0'));
                grupo(nc, 1);
                const int t = ((a - 1) * 10 + b - 1) * 10 + c - 1;
                const int n = quartos / terceiros + (t < quartos % terceiros ? 1 : 0);
                for (int d = 1; d <= n; ++d)
                    grupo(QStringLiteral("%1.%2").arg(nc).arg(d, digitos, 10, QChar('0')), 2);
            }
        }
    }
    return analiticos;
}

// ---- balance roll-up ---------------------------------------------------------------------

const char *const kSqlLancamentos =
    "select P.CODIGOGRUPOPRODUTO, L.QTDEESTOQUE, L.PRECOUNIT from LCTOINV L "
    "inner join PRODUTO P on L.CODIGOEMPRESA = P.CODIGOEMPRESA and L.CODIGOPRODUTO = P.CODIGOPRODUTO "
    "where L.CODIGOEMPRESA = ? and L.CODIGOESTAB = ? and L.DATAINVENT = ?";

nDMConexao &BancoSaldo()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = Abrir(QStringLiteral("saldo.db")).release();
    TnTransacao t(1, *con);
    for (int e = 2; e <= kEstabs; ++e)
        con->Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, ?, 'Filial')", {e});
    const std::vector<int> analiticos = Plano(*con, 10000, 2);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO) values (1, ?, ?)");
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                           "values (1, ?, ?, ?, 1, ?, ?, ?, 1, 2)");
    const QDateTime agora(kData, QTime(9, 30));
    for (int i = 1; i <= kProdutos; ++i) {
        p->BindInteiro(0, i);
        p->BindInteiro(1, analiticos[size_t(i) % analiticos.size()]);
        p->Executar();
        for (int e = 1; e <= kEstabs; ++e) {
            l->BindInteiro(0, e);
            l->BindData(1, kData);
            l->BindInteiro(2, i);
            l->BindReal(3, 1 + (i % 97) * 0.5);
            l->BindReal(4, 2.675 + (i % 13) * 1.25);
            l->BindDataHora(5, agora);
            l->Executar();
        }
    }
    t.Commit();
    return *con;
}

void BM_SaldoGrupoFramework(benchmark::State &state)
{
    nDMConexao::DefinirAtual(&BancoSaldo());
    // Nothing selected, as when this case runs alone: a branch an earlier case chose would
    // limit the report to it.
    Selecao().Reset();
    Selecao().Refresh();
    for (auto _ : state) {
        auto *dp = qobject_cast<TnDMPowerParam *>(CriarDMNovo(QStringLiteral("TOrvoDPGerarSaldoInv")));
        dp->Param(QStringLiteral("pCodigoEmpresa")).SetText(QStringLiteral("1"));
        dp->Param(QStringLiteral("pDataInicial")).SetText(QStringLiteral("31/01/2024"));
        dp->Rodar();
        const int linhas = dp->DadosRelatorio()->RecordCount();
        state.PauseTiming();
        if (linhas != kEstabs * 10000)
            state.SkipWithError("linhas a menos");
        DestruirDM(dp);
        state.ResumeTiming();
    }
}

void BM_SaldoGrupoDireto(benchmark::State &state)
{
    sqlite3 *db = HandleSqlite(BancoSaldo());
    for (auto _ : state) {
        sqlite3_stmt *st = PrepararSqlite(db, kSqlLancamentos);
        double soma = 0;
        qint64 lidas = 0;
        for (int e = 1; e <= kEstabs; ++e) {
            sqlite3_bind_int(st, 1, 1);
            sqlite3_bind_int(st, 2, e);
            sqlite3_bind_text(st, 3, "2024-01-31", 10, SQLITE_STATIC);
            while (sqlite3_step(st) == SQLITE_ROW) {
                soma += sqlite3_column_int(st, 0) + sqlite3_column_double(st, 1) * sqlite3_column_double(st, 2);
                ++lidas;
            }
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(soma);
        if (lidas != qint64(kEstabs) * kProdutos)
            state.SkipWithError("linhas a menos");
    }
}

// ---- mask change -------------------------------------------------------------------------

const char *const kMascaraAntes = "9.99.99.999";
const char *const kMascaraDepois = "9.999.999.9999";

struct Mascara {
    std::unique_ptr<nDMConexao> con;
    std::vector<qint64> codigos;
    std::vector<QByteArray> antes, depois; // classifications under each mask, by code
};

Mascara &BancoMascara()
{
    static Mascara &m = *new Mascara;
    if (m.con)
        return m;
    m.con = Abrir(QStringLiteral("mascara.db"));
    TnTransacao t(1, *m.con);
    m.con->Executar("update CFGEMPRESAULMAR set MASCGRUPOPRODUTO = ? where CODIGOEMPRESA = 1",
                    {QString::fromLatin1(kMascaraAntes)});
    Plano(*m.con, 100000, 3);
    t.Commit();
    auto c = m.con->Preparar("select CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO from GRUPOPRODUTO");
    TnCursor &r = c->Abrir();
    while (r.Proximo()) {
        m.codigos.push_back(r.Inteiro(0));
        m.antes.push_back(r.Texto(1).toLatin1());
        m.depois.push_back(FormatarClassificacao(QString::fromLatin1(kMascaraDepois), r.Texto(1)).toLatin1());
    }
    return m;
}

// The C interface writing one classification per group and the mask, in one transaction.
void Reescrever(Mascara &m, const std::vector<QByteArray> &classifs, const char *mascara)
{
    sqlite3 *db = HandleSqlite(*m.con);
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *st = PrepararSqlite(db, "update GRUPOPRODUTO set CLASSIFGRUPOPRODUTO = ? "
                                          "where CODIGOEMPRESA = ? and CODIGOGRUPOPRODUTO = ?");
    for (size_t i = 0; i < m.codigos.size(); ++i) {
        sqlite3_bind_text(st, 1, classifs[i].constData(), int(classifs[i].size()), SQLITE_STATIC);
        sqlite3_bind_int(st, 2, 1);
        sqlite3_bind_int64(st, 3, m.codigos[i]);
        PassoSqlite(db, st);
    }
    sqlite3_finalize(st);
    sqlite3_stmt *ms = PrepararSqlite(db, "update CFGEMPRESAULMAR set MASCGRUPOPRODUTO = ? where CODIGOEMPRESA = 1");
    sqlite3_bind_text(ms, 1, mascara, -1, SQLITE_STATIC);
    ChecarSqlite(db, sqlite3_step(ms));
    sqlite3_finalize(ms);
    ExecSqlite(db, "COMMIT");
}

void BM_MascaraFramework(benchmark::State &state)
{
    Mascara &m = BancoMascara();
    nDMConexao::DefinirAtual(m.con.get());
    Selecao().GetParams(QStringLiteral("CodigoEmpresa")).SetValue(1); // the active company
    Selecao().Refresh();
    for (auto _ : state) {
        auto *dp = qobject_cast<TnDMPowerParam *>(CriarDMNovo(QStringLiteral("TOrvoDPAlterarClassifGrupoInv")));
        dp->Param(QStringLiteral("pNewMascara")).SetText(QString::fromLatin1(kMascaraDepois));
        dp->Rodar();
        state.PauseTiming();
        DestruirDM(dp);
        Reescrever(m, m.antes, kMascaraAntes); // back as it was, for the next round
        state.ResumeTiming();
    }
}

void BM_MascaraDireto(benchmark::State &state)
{
    Mascara &m = BancoMascara();
    for (auto _ : state) {
        Reescrever(m, m.depois, kMascaraDepois);
        state.PauseTiming();
        Reescrever(m, m.antes, kMascaraAntes);
        state.ResumeTiming();
    }
}

// Rounds registered alternately: framework, C interface, framework...
const bool kRegistrados = [] {
    for (int r = 0; r < kRodadas; ++r) {
        benchmark::RegisterBenchmark("BM_SaldoGrupo/framework", BM_SaldoGrupoFramework)
            ->Unit(benchmark::kMillisecond)->Iterations(1);
        benchmark::RegisterBenchmark("BM_SaldoGrupo/direto", BM_SaldoGrupoDireto)
            ->Unit(benchmark::kMillisecond)->Iterations(1);
    }
    for (int r = 0; r < kRodadas; ++r) {
        benchmark::RegisterBenchmark("BM_MascaraPlano/framework", BM_MascaraFramework)
            ->Unit(benchmark::kMillisecond)->Iterations(1);
        benchmark::RegisterBenchmark("BM_MascaraPlano/direto", BM_MascaraDireto)
            ->Unit(benchmark::kMillisecond)->Iterations(1);
    }
    return true;
}();

} // namespace
