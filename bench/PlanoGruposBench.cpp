// The product-group chart's processes as the program loads them (OrvoCore, by class name),
// each against the same work done directly with SQLite's C interface, the side that starts
// changing every round (Alternar), the database log checkpointed before each timed round:
// - the balance roll-up of ORVO_BENCH_LINHAS entries (a fifth as many products, 5 branches)
//   over a chart of 10,000 groups in 4 levels. The raw side does the roll-up too: it reads
//   the companies and branches and the chart, puts the chart in its order, values each
//   entry by the exact product rounded to the company's decimals, sums per group, adds each
//   group up its synthetic levels (checked against 18 digits as the program does) and builds
//   the same rows, which are compared with the program's after every round (untimed);
// - the mask change of a chart of 100,000 groups in 4 levels. The raw side reads the mask
//   and the groups, computes every new classification (refusing one that does not fit) and
//   writes the changed ones and the mask with prepared UPDATEs in one transaction; both
//   sides' classifications are checked after their rounds (untimed).
// Targets: the roll-up within 1.3x of the C interface, the mask change within 2x.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ClientDataSet.h"
#include "Decimal.h"
#include "ConversaoBanco.h"
#include "Interacao.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "SuiteProduto.h"
#include "Variaveis.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

const QDate kData(2024, 1, 31);
constexpr int kEstabs = 5;
constexpr int kGruposSaldo = 10000;

// Products of the roll-up: each has one entry per branch.
int Produtos() { return std::max(1, LinhasBench() / kEstabs); }

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

nDMConexao &BancoSaldo()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = Abrir(QStringLiteral("saldo.db")).release();
    TnTransacao t(1, *con);
    for (int e = 2; e <= kEstabs; ++e)
        con->Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, ?, 'Filial')", {e});
    const std::vector<int> analiticos = Plano(*con, kGruposSaldo, 2);
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO) values (1, ?, ?)");
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                           "values (1, ?, ?, ?, 1, ?, ?, ?, 1, 2)");
    const QDateTime agora(kData, QTime(9, 30));
    for (int i = 1; i <= Produtos(); ++i) {
        p->BindInteiro(0, i);
        p->BindInteiro(1, analiticos[size_t(i) % analiticos.size()]);
        p->Executar();
        for (int e = 1; e <= kEstabs; ++e) {
            // Half cents in many products: the rounding of each entry counts.
            l->BindInteiro(0, e);
            l->BindData(1, kData);
            l->BindInteiro(2, i);
            l->BindReal(3, 1 + (i % 97) * 0.5);
            l->BindReal(4, 2.675 + (i % 13) * 1.25 + e * 0.001);
            l->BindDataHora(5, agora);
            l->Executar();
        }
    }
    t.Commit();
    return *con;
}

// What both sides' rows must agree on: their number and every group's code and values.
struct Resumo {
    qint64 Linhas = 0;
    quint64 Hash = 1469598103934665603ULL;
    void Somar(qint64 empresa, qint64 estab, qint64 codigo, qint64 valor, qint64 total)
    {
        ++Linhas;
        for (qint64 v : {empresa, estab, codigo, valor, total})
            Hash = (Hash ^ quint64(v)) * 1099511628211ULL;
    }
    bool operator==(const Resumo &o) const { return Linhas == o.Linhas && Hash == o.Hash; }
};

Resumo ResumoDoProcesso(TnDMPowerParam &dp)
{
    Resumo r;
    TnClientDataSet &ds = *dp.DadosRelatorio();
    const int n = ds.RecordCount();
    for (int i = 1; i <= n; ++i)
        ds.LerRegistro(i, [&] {
            r.Somar(ds.Fields(0).AsInteger(), ds.Fields(1).AsInteger(), ds.Fields(2).AsInteger(),
                    ds.Fields(6).Celula().I, ds.Fields(7).Celula().I);
        });
    return r;
}

// The raw roll-up's rows.
struct LinhaSaldo {
    int Empresa, Estab, Codigo;
    std::string Classif;
    int Tipo;
    std::string Descr;
    qint64 Valor, Total;
};

std::string ColunaTexto(sqlite3_stmt *st, int i)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
    return t ? std::string(t, size_t(sqlite3_column_bytes(st, i))) : std::string();
}

[[noreturn]] void FalhaDireto(const char *motivo)
{
    std::fprintf(stderr, "saldo direto: %s\n", motivo);
    std::abort();
}

void SomarDireto(qint64 &total, qint64 parcela, int casas)
{
    if (__builtin_add_overflow(total, parcela, &total) || !nDecimal::CabeNaPrecisao(total, 18, casas))
        FalhaDireto("valor além de 18 dígitos");
}

std::vector<LinhaSaldo> SaldoDireto(sqlite3 *db)
{
    struct Estab {
        int Empresa, Codigo, Casas;
    };
    std::vector<Estab> estabs;
    sqlite3_stmt *es = PrepararSqlite(
        db, "select EM.CODIGOEMPRESA, ES.CODIGOESTAB, CF.QTDECASADECIMAL from EMPRESA EM "
            "inner join ESTAB ES on EM.CODIGOEMPRESA = ES.CODIGOEMPRESA "
            "left outer join CFGEMPRESAINV CF on EM.CODIGOEMPRESA = CF.CODIGOEMPRESA "
            "where EM.CODIGOEMPRESA = 1 order by EM.CODIGOEMPRESA, ES.CODIGOESTAB");
    while (sqlite3_step(es) == SQLITE_ROW)
        estabs.push_back({sqlite3_column_int(es, 0), sqlite3_column_int(es, 1),
                          sqlite3_column_type(es, 2) == SQLITE_NULL ? 2 : std::clamp(sqlite3_column_int(es, 2), 0, 6)});
    sqlite3_finalize(es);

    // The chart in its order, its analytic groups by code, its synthetic ones by
    // classification (the first of each).
    struct Grupo {
        int Codigo;
        std::string Classif;
        int Tipo;
        std::string Descr;
    };
    std::vector<Grupo> plano;
    sqlite3_stmt *gs = PrepararSqlite(db, "select CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, TIPOGRUPOPRODUTO, "
                                          "DESCRGRUPOPRODUTO from GRUPOPRODUTO where CODIGOEMPRESA = ?");
    sqlite3_bind_int(gs, 1, 1);
    while (sqlite3_step(gs) == SQLITE_ROW)
        plano.push_back({sqlite3_column_int(gs, 0), ColunaTexto(gs, 1), sqlite3_column_int(gs, 2), ColunaTexto(gs, 3)});
    sqlite3_finalize(gs);
    std::sort(plano.begin(), plano.end(), [](const Grupo &a, const Grupo &b) {
        if (const int r = a.Classif.compare(b.Classif); r != 0)
            return r < 0;
        if (a.Tipo != b.Tipo)
            return a.Tipo < b.Tipo;
        if (const int r = a.Descr.compare(b.Descr); r != 0)
            return r < 0;
        return a.Codigo < b.Codigo;
    });
    std::unordered_map<int, int> porCodigo;
    std::unordered_map<std::string, int> sinteticos;
    std::vector<int> indiceSintetico(plano.size(), -1);
    int nSinteticos = 0;
    for (size_t i = 0; i < plano.size(); ++i) {
        porCodigo.emplace(plano[i].Codigo, int(i));
        if (plano[i].Tipo == 1) {
            const auto [it, novo] = sinteticos.emplace(plano[i].Classif, nSinteticos);
            if (novo)
                ++nSinteticos;
            indiceSintetico[i] = it->second;
        }
    }
    // The synthetic totals each group's value goes to, once per chart: its own, when it has
    // one, and every level above it, each a synthetic group (-1 at the start: broken).
    std::vector<int> niveis;
    std::vector<std::pair<int, int>> faixaNiveis(plano.size());
    for (size_t i = 0; i < plano.size(); ++i) {
        const int inicio = int(niveis.size());
        std::string nivel = plano[i].Classif;
        bool primeiro = true, quebrado = false;
        while (!nivel.empty() && !quebrado) {
            const auto it = sinteticos.find(nivel);
            quebrado = it == sinteticos.end() && !primeiro;
            if (it != sinteticos.end())
                niveis.push_back(it->second);
            const size_t ponto = nivel.rfind('.');
            nivel.resize(ponto == std::string::npos ? 0 : ponto);
            primeiro = false;
        }
        faixaNiveis[i] = {quebrado ? -1 : inicio, int(niveis.size())};
    }

    std::vector<LinhaSaldo> linhas;
    sqlite3_stmt *st = PrepararSqlite(
        db, "select P.CODIGOGRUPOPRODUTO, L.QTDEESTOQUE, L.PRECOUNIT from LCTOINV L "
            "inner join PRODUTO P on L.CODIGOEMPRESA = P.CODIGOEMPRESA and L.CODIGOPRODUTO = P.CODIGOPRODUTO "
            "where L.CODIGOEMPRESA = ? and L.CODIGOESTAB = ? and L.DATAINVENT = ?");
    for (const Estab &e : estabs) {
        sqlite3_bind_int(st, 1, e.Empresa);
        sqlite3_bind_int(st, 2, e.Codigo);
        sqlite3_bind_text(st, 3, "2024-01-31", 10, SQLITE_STATIC);
        std::vector<qint64> totais(plano.size(), 0);
        std::vector<char> lancado(plano.size(), 0);
        bool temLancamentos = false;
        int ultimoCodigo = 0, ultimo = -2;
        while (sqlite3_step(st) == SQLITE_ROW) {
            temLancamentos = true;
            if (sqlite3_column_type(st, 0) == SQLITE_NULL)
                continue;
            const int codigo = sqlite3_column_int(st, 0);
            if (ultimo == -2 || codigo != ultimoCodigo) {
                ultimoCodigo = codigo;
                const auto it = porCodigo.find(codigo);
                ultimo = it == porCodigo.end() ? -1 : it->second;
            }
            if (ultimo < 0)
                continue;
            qint64 valor = 0;
            if (!nDecimal::Produto(sqlite3_column_double(st, 2), sqlite3_column_double(st, 1), e.Casas, valor))
                FalhaDireto("produto além de 64 bits");
            lancado[size_t(ultimo)] = 1;
            SomarDireto(totais[size_t(ultimo)], valor, e.Casas);
        }
        sqlite3_reset(st);
        if (!temLancamentos)
            continue;
        // Each group with entries up its levels: its own synthetic total, when it has one,
        // and every level above it, each a synthetic group of the chart.
        std::vector<qint64> saldos(size_t(nSinteticos), 0);
        qint64 totalEstab = 0;
        for (size_t i = 0; i < plano.size(); ++i) {
            if (!lancado[i])
                continue;
            if (faixaNiveis[i].first < 0)
                FalhaDireto("estrutura do plano");
            for (int k = faixaNiveis[i].first; k < faixaNiveis[i].second; ++k)
                SomarDireto(saldos[size_t(niveis[size_t(k)])], totais[i], e.Casas);
            SomarDireto(totalEstab, totais[i], e.Casas);
        }
        for (size_t i = 0; i < plano.size(); ++i) {
            const Grupo &g = plano[i];
            linhas.push_back({e.Empresa, e.Codigo, g.Codigo, g.Classif, g.Tipo, g.Descr,
                              g.Tipo == 1 ? saldos[size_t(indiceSintetico[i])] : totais[i], totalEstab});
        }
    }
    sqlite3_finalize(st);
    return linhas;
}

void BM_SaldoGrupo(benchmark::State &state)
{
    nDMConexao &con = BancoSaldo();
    nDMConexao::DefinirAtual(&con);
    // Nothing selected, as when this case runs alone: a branch an earlier case chose would
    // limit the report to it.
    Selecao().Reset();
    Selecao().Refresh();
    sqlite3 *db = HandleSqlite(con);
    TnDMPowerParam *dp = nullptr;
    std::vector<LinhaSaldo> linhas;
    Resumo doProcesso, direto;
    bool diferem = false;
    TnLado fw{[] {},
              [&] {
                  dp = qobject_cast<TnDMPowerParam *>(CriarDMNovo(QStringLiteral("TOrvoDPGerarSaldoInv")));
                  dp->Param(QStringLiteral("pCodigoEmpresa")).SetText(QStringLiteral("1"));
                  dp->Param(QStringLiteral("pDataInicial")).SetText(QStringLiteral("31/01/2024"));
                  dp->Rodar();
              },
              [&] {
                  doProcesso = ResumoDoProcesso(*dp);
                  DestruirDM(dp);
                  dp = nullptr;
              }};
    TnLado bruto{[] {}, [&] { linhas = SaldoDireto(db); },
                 [&] {
                     direto = Resumo();
                     for (const LinhaSaldo &l : linhas)
                         direto.Somar(l.Empresa, l.Estab, l.Codigo, l.Valor, l.Total);
                     linhas.clear();
                     if (doProcesso.Linhas > 0 && !(direto == doProcesso))
                         diferem = true;
                 }};
    Alternar(state, fw, bruto, [&] { sqlite3_db_release_memory(db); }, "alvo <= 1.3");
    if (diferem || doProcesso.Linhas != qint64(kEstabs) * kGruposSaldo)
        state.SkipWithError("as linhas do processo e as diretas diferem");
    state.counters["lancamentos"] = double(Produtos()) * kEstabs;
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
    auto c = m.con->Preparar("select CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO from GRUPOPRODUTO order by 1");
    TnCursor &r = c->Abrir();
    while (r.Proximo()) {
        m.codigos.push_back(r.Inteiro(0));
        m.antes.push_back(r.Texto(1).toLatin1());
        m.depois.push_back(FormatarClassificacao(QString::fromLatin1(kMascaraDepois), r.Texto(1)).toLatin1());
    }
    return m;
}

// The C interface writing, in one transaction, the classification grupo(i) gives for each
// i < n (a code and its text; a null text: unchanged) and the mask.
template <class F> void GravarPlano(sqlite3 *db, size_t n, F grupo, const char *mascara)
{
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *st = PrepararSqlite(db, "update GRUPOPRODUTO set CLASSIFGRUPOPRODUTO = ? "
                                          "where CODIGOEMPRESA = ? and CODIGOGRUPOPRODUTO = ?");
    for (size_t i = 0; i < n; ++i) {
        const auto [codigo, classif] = grupo(i);
        if (!classif.data())
            continue;
        sqlite3_bind_text(st, 1, classif.data(), int(classif.size()), SQLITE_STATIC);
        sqlite3_bind_int(st, 2, 1);
        sqlite3_bind_int64(st, 3, codigo);
        PassoSqlite(db, st);
    }
    sqlite3_finalize(st);
    sqlite3_stmt *ms = PrepararSqlite(db, "update CFGEMPRESAULMAR set MASCGRUPOPRODUTO = ? where CODIGOEMPRESA = 1");
    sqlite3_bind_text(ms, 1, mascara, -1, SQLITE_STATIC);
    ChecarSqlite(db, sqlite3_step(ms));
    sqlite3_finalize(ms);
    ExecSqlite(db, "COMMIT");
}

// The classifications and the mask back as they were (untimed).
void Reescrever(Mascara &m, const std::vector<QByteArray> &classifs, const char *mascara)
{
    GravarPlano(
        HandleSqlite(*m.con), m.codigos.size(),
        [&](size_t i) {
            return std::pair{m.codigos[i], std::string_view(classifs[i].constData(), size_t(classifs[i].size()))};
        },
        mascara);
}

// A classification rewritten under the mask's level widths: each level's number without its
// leading zeros, padded to its width. False when a level is no number, is wider than its
// place or has none.
bool ReformatarDireto(const std::vector<size_t> &larguras, const std::string &classif, std::string &nova)
{
    nova.clear();
    size_t inicio = 0, nivel = 0;
    while (inicio <= classif.size()) {
        size_t fim = classif.find('.', inicio);
        if (fim == std::string::npos)
            fim = classif.size();
        size_t a = inicio;
        while (a + 1 < fim && classif[a] == '0')
            ++a;
        if (a == fim || nivel >= larguras.size() || fim - a > larguras[nivel])
            return false;
        for (size_t k = a; k < fim; ++k)
            if (classif[k] < '0' || classif[k] > '9')
                return false;
        if (nivel > 0)
            nova += '.';
        nova.append(larguras[nivel] - (fim - a), '0');
        nova.append(classif, a, fim - a);
        ++nivel;
        inicio = fim + 1;
    }
    return true;
}

// The raw mask change: the current mask and the groups read, every new classification
// computed, the changed ones and the mask written in one transaction.
void MascaraDireto(sqlite3 *db, const char *mascara)
{
    sqlite3_stmt *ma = PrepararSqlite(db, "select MASCGRUPOPRODUTO from CFGEMPRESAULMAR where CODIGOEMPRESA = 1");
    if (sqlite3_step(ma) != SQLITE_ROW || sqlite3_column_type(ma, 0) == SQLITE_NULL ||
        ColunaTexto(ma, 0) == mascara)
        FalhaDireto("máscara");
    sqlite3_finalize(ma);
    std::vector<size_t> larguras;
    for (const char *p = mascara; *p;) {
        const char *f = std::strchr(p, '.');
        larguras.push_back(f ? size_t(f - p) : std::strlen(p));
        p = f ? f + 1 : p + larguras.back();
    }
    std::vector<std::pair<qint64, std::string>> grupos;
    sqlite3_stmt *gs = PrepararSqlite(db, "select CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO from GRUPOPRODUTO "
                                          "where CODIGOEMPRESA = ?");
    sqlite3_bind_int(gs, 1, 1);
    while (sqlite3_step(gs) == SQLITE_ROW)
        grupos.emplace_back(sqlite3_column_int64(gs, 0), ColunaTexto(gs, 1));
    sqlite3_finalize(gs);
    std::vector<std::string> novas(grupos.size());
    for (size_t i = 0; i < grupos.size(); ++i)
        if (!ReformatarDireto(larguras, grupos[i].second, novas[i]))
            FalhaDireto("classificação fora da máscara");

    // The changed ones only, as the program writes them.
    GravarPlano(
        db, grupos.size(),
        [&](size_t i) {
            return std::pair{grupos[i].first, novas[i] == grupos[i].second ? std::string_view() : std::string_view(novas[i])};
        },
        mascara);
}

// Whether the chart holds the classifications of `esperadas`, by code (untimed).
bool Conferir(Mascara &m, const std::vector<QByteArray> &esperadas)
{
    sqlite3 *db = HandleSqlite(*m.con);
    sqlite3_stmt *st = PrepararSqlite(db, "select CLASSIFGRUPOPRODUTO from GRUPOPRODUTO order by CODIGOGRUPOPRODUTO");
    size_t i = 0;
    bool iguais = true;
    while (sqlite3_step(st) == SQLITE_ROW)
        iguais = iguais && i < esperadas.size() && ColunaTexto(st, 0) == esperadas[i++].toStdString();
    sqlite3_finalize(st);
    return iguais && i == esperadas.size();
}

void BM_MascaraPlano(benchmark::State &state)
{
    Mascara &m = BancoMascara();
    nDMConexao::DefinirAtual(m.con.get());
    Selecao().Reset();
    Selecao().GetParams(QStringLiteral("CodigoEmpresa")).SetValue(1); // the active company
    Selecao().Refresh();
    sqlite3 *db = HandleSqlite(*m.con);
    bool errado = false;
    const auto voltar = [&] { Reescrever(m, m.antes, kMascaraAntes); };
    const auto conferir = [&] { errado = errado || !Conferir(m, m.depois); };
    TnLado fw{voltar,
              [&] {
                  auto *dp = qobject_cast<TnDMPowerParam *>(CriarDMNovo(QStringLiteral("TOrvoDPAlterarClassifGrupoInv")));
                  dp->Param(QStringLiteral("pNewMascara")).SetText(QString::fromLatin1(kMascaraDepois));
                  dp->Rodar();
                  DestruirDM(dp);
              },
              conferir};
    TnLado bruto{voltar, [&] { MascaraDireto(db, kMascaraDepois); }, conferir};
    Alternar(state, fw, bruto, [&] { sqlite3_exec(db, "PRAGMA wal_checkpoint(RESTART)", nullptr, nullptr, nullptr); },
             "alvo <= 2");
    if (errado)
        state.SkipWithError("classificações diferentes das esperadas");
}

const bool kRegistrados = [] {
    benchmark::RegisterBenchmark("BM_SaldoGrupo/sqlite", BM_SaldoGrupo)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("BM_MascaraPlano/sqlite", BM_MascaraPlano)->Unit(benchmark::kMillisecond)->Iterations(1);
    return true;
}();

} // namespace
