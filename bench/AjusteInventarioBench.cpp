// The inventory adjustment on the embedded database, against the same work done with
// SQLite's C interface, in rounds that alternate the two (ORVO_BENCH_RODADAS, default 5).
// Rows: ORVO_BENCH_LINHAS entries (default 1,000,000), in 5 branches.
//
// - BM_AjusteLancamentos/kind: entries without property lines; the whole run (read, compute,
//   write, commit) against a raw select of the same rows, the same exact arithmetic written
//   out on nDecimal (base, new costs or quantities, reached total, residue sweeps) and raw
//   prepared UPDATEs of them in one transaction. Target: 1.5x.
// - BM_AjusteLinhas/kind: each entry with 1 to 3 property lines and 1 to 3 tax-situation
//   lines. The run's phases are told apart by its progress texts: the reads of the lines and
//   the propagation's arithmetic (from "Aplicando Ajuste..." to "Salvando alterações...")
//   against raw selects of the same rows with the same arithmetic (each line's new and old
//   totals as exact products, its quantity share, its tax-situation lines scaled at the cent),
//   and the writing of the lines (from "Salvando alterações..." to the final message, commit
//   included) against raw prepared UPDATEs of the same rows in one transaction, which has
//   changed the same entries first, as the framework's has (not timed). Target: 1.5x.
// - BM_ResiduoLimitado: the quantity kind over a million entries whose residue needs 60,000
//   sweeps of one unit, against the same entries without a residue: the residue pass may
//   cost at most two further passes over the rows.
//
// Counters: minimum and median of each side in milliseconds and the ratio of the medians.
#include "AjusteInventarioCalculo.h"
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "Interacao.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "TextoSQL.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QElapsedTimer>
#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cstdio>
#include <map>
#include <tuple>

namespace {

int Linhas() { return LinhasBench(); }

// Entry i: branch 1..5, product, a whole quantity (three in four) or one with decimals, a
// unit cost of 1.00 to 30.99.
struct Gerado {
    int estab;
    qint64 produto;
    double qtde, preco;
};
Gerado Gerar(int i)
{
    return {i % 5 + 1, i / 5 + 1, i % 4 ? double(1 + i % 50) : 1.25 + i % 40, 1 + (i % 3000) / 100.0};
}

// A converted database with the entries of 2024-01-01 and, when asked, their lines.
std::unique_ptr<nDMConexao> Banco(const QString &arquivo, bool comLinhas)
{
    auto con = BancoNovo(arquivo);
    sqlite3 *db = HandleSqlite(*con);
    ExecSqlite(db, "BEGIN IMMEDIATE");
    ExecSqlite(db, "insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) "
                   "values (1, 2, 'E'), (1, 3, 'E'), (1, 4, 'E'), (1, 5, 'E')");
    sqlite3_stmt *p = PrepararSqlite(db, "insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, "
                                         "?, 'P')");
    for (int i = 1; i <= Linhas() / 5 + 1; ++i) {
        sqlite3_bind_int64(p, 1, i);
        PassoSqlite(db, p);
    }
    sqlite3_stmt *l = PrepararSqlite(db, "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                                         "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                                         "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, ?, '2024-01-01', ?, "
                                         "1, ?, ?, 1.5, 0, 0, '2024-01-05 10:00:00', 1, 2)");
    sqlite3_stmt *it = PrepararSqlite(db, "insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, "
                                          "CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, QUANTIDADE, PRECOUNIT) "
                                          "values (1, ?, '2024-01-01', ?, 1, ?, ?, ?)");
    sqlite3_stmt *cs = PrepararSqlite(db, "insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, "
                                          "CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO) "
                                          "values (1, ?, '2024-01-01', ?, 1, ?, ?, ?, ?)");
    for (int i = 0; i < Linhas(); ++i) {
        const Gerado g = Gerar(i);
        sqlite3_bind_int(l, 1, g.estab);
        sqlite3_bind_int64(l, 2, g.produto);
        sqlite3_bind_double(l, 3, g.qtde);
        sqlite3_bind_double(l, 4, g.preco);
        PassoSqlite(db, l);
        if (!comLinhas)
            continue;
        const int itens = i % 3 + 1, csts = (i / 3) % 3 + 1;
        for (int s = 1; s <= itens; ++s) {
            sqlite3_bind_int(it, 1, g.estab);
            sqlite3_bind_int64(it, 2, g.produto);
            sqlite3_bind_int(it, 3, s);
            sqlite3_bind_double(it, 4, g.qtde / itens);
            sqlite3_bind_double(it, 5, s == 2 ? g.preco + 0.5 : g.preco);
            PassoSqlite(db, it);
        }
        for (int k = 0; k < csts; ++k) {
            sqlite3_bind_int(cs, 1, g.estab);
            sqlite3_bind_int64(cs, 2, g.produto);
            sqlite3_bind_int(cs, 3, k % itens + 1);
            sqlite3_bind_int(cs, 4, k * 20);
            sqlite3_bind_double(cs, 5, 10 + k);
            sqlite3_bind_double(cs, 6, 1.8 + k);
            PassoSqlite(db, cs);
        }
    }
    for (sqlite3_stmt *st : {p, l, it, cs})
        sqlite3_finalize(st);
    ExecSqlite(db, "COMMIT");
    ExecSqlite(db, "ANALYZE");
    return con;
}

// The user of the benchmark: answers the final message and notes when each progress text
// first shows (the run's phases).
class Cronometro : public TnInteracao {
public:
    Cronometro() { DefinirInteracao(this); }
    ~Cronometro() override { DefinirInteracao(nullptr); }
    void Iniciar()
    {
        FMarcas.clear();
        FUltimo.clear();
        FRelogio.start();
    }
    // Milliseconds from the start to the first time `texto` showed (the final message: "fim").
    double Em(const QString &texto) const
    {
        auto it = FMarcas.find(texto);
        return it == FMarcas.end() ? -1 : double(it->second) / 1e6;
    }
    QString Mensagem;

    TMsgDlgBtn MessageDlg(const QString &texto, TMsgDlgType, TMsgDlgButtons botoes, TMsgDlgBtn) override
    {
        Marcar(QStringLiteral("fim"));
        Mensagem = texto;
        return botoes.testFlag(mbOK) ? mbOK : mbYes;
    }
    void ShowMessage(const QString &) override {}
    void ProgressoAlterado(const TnProgresso &p) override
    {
        const QString &texto = p.Estado().Multiplo ? p.Estado().TextoTotal : p.Estado().Texto;
        if (texto != FUltimo) {
            FUltimo = texto;
            Marcar(texto);
        }
    }
    void ProgressoDestruido(const TnProgresso &) override {}
    void MensagemAdicionada(const TnListaMensagem &, const TnItemMensagem &) override {}
    void MensagensLimpas(const TnListaMensagem &) override {}
    void ListaDestruida(const TnListaMensagem &) override {}

private:
    void Marcar(const QString &texto) { FMarcas.emplace(texto, FRelogio.nsecsElapsed()); }
    QElapsedTimer FRelogio;
    std::map<QString, qint64> FMarcas;
    QString FUltimo;
};

// Runs the adjustment on the current connection; the milliseconds of the whole run.
double Ajustar(Cronometro &c, int tipo, double alvo)
{
    static bool carregada = false;
    if (!carregada) {
        TnBibliotecas::Carregar("OrvoCore");
        ExternalVar(VarFw::gCodigoEmpresaAtiva, "1");
        ExternalVar(VarFw::gQTDECASADECIMAL, "2");
        ExternalVar(VarFw::gQTDECASADECIMALQTD, "4");
        carregada = true;
    }
    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(QStringLiteral("TOrvoDPAjusteInventario")));
    dp->Param("pCodigoEstab").SetText("1-5");
    dp->Param("pDataInvent").SetText("01/01/2024");
    dp->Param("pTipoAjuste").SetValue(tipo);
    dp->Param("pValorAjuste").SetValue(alvo);
    c.Iniciar();
    dp->Rodar();
    const double ms = c.Em(QStringLiteral("fim"));
    DestruirDM(dp);
    if (!c.Mensagem.contains(QStringLiteral("finalizado")))
        std::abort();
    return ms;
}

const char *SqlLer = "select L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, L.QTDEESTOQUE, L.PRECOUNIT "
                     "from LCTOINV L where L.CODIGOEMPRESA = 1 and L.DATAINVENT = '2024-01-01' and L.QTDEESTOQUE > 0 "
                     "and L.CODIGOESTAB between 1 and 5 "
                     "order by L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO";
const char *SqlItens =
    "select L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, L.QTDEESTOQUE, L.PRECOUNIT, I.SEQ, I.QUANTIDADE, "
    "I.PRECOUNIT from LCTOINV L join LCTOINVPROPRIEDADE I on I.CODIGOEMPRESA = L.CODIGOEMPRESA "
    "and I.CODIGOESTAB = L.CODIGOESTAB and I.DATAINVENT = L.DATAINVENT and I.CODIGOPRODUTO = L.CODIGOPRODUTO "
    "and I.MOTIVOINVENTARIO = L.MOTIVOINVENTARIO where L.CODIGOEMPRESA = 1 and L.DATAINVENT = '2024-01-01' "
    "and L.QTDEESTOQUE > 0 and L.CODIGOESTAB between 1 and 5 "
    "order by L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, I.SEQ";
const char *SqlCst =
    "select L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, C.SEQ, C.CST, C.BASECALCULO, C.VALORIMPOSTO "
    "from LCTOINV L join LCTOINVCST C on C.CODIGOEMPRESA = L.CODIGOEMPRESA and C.CODIGOESTAB = L.CODIGOESTAB "
    "and C.DATAINVENT = L.DATAINVENT and C.CODIGOPRODUTO = L.CODIGOPRODUTO "
    "and C.MOTIVOINVENTARIO = L.MOTIVOINVENTARIO where L.CODIGOEMPRESA = 1 and L.DATAINVENT = '2024-01-01' "
    "and L.QTDEESTOQUE > 0 and L.CODIGOESTAB between 1 and 5 "
    "order by L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, C.SEQ, C.CST";

struct Lido {
    qint64 produto;
    double a, b;
    int estab, motivo, seq, cst;
};

// Steps a query to its end keeping what an update needs of each row.
std::vector<Lido> Ler(sqlite3 *db, const char *sql, int colSeq, int colA, int colB, int colCst = -1)
{
    std::vector<Lido> v;
    sqlite3_stmt *st = PrepararSqlite(db, sql);
    while (sqlite3_step(st) == SQLITE_ROW)
        v.push_back({sqlite3_column_int64(st, 1), sqlite3_column_double(st, colA), sqlite3_column_double(st, colB),
                     sqlite3_column_int(st, 0), sqlite3_column_int(st, 2), colSeq < 0 ? 0 : sqlite3_column_int(st, colSeq),
                     colCst < 0 ? 0 : sqlite3_column_int(st, colCst)});
    sqlite3_finalize(st);
    return v;
}

// Prepared UPDATEs of the rows read with the values computed for them (a, b), key bound per
// row, in one transaction. Money (`centavos`) is bound as the provider binds numeric(18,2).
void Atualizar(sqlite3 *db, const char *sql, const std::vector<Lido> &linhas, int chaves, bool centavos = false)
{
    sqlite3_stmt *st = PrepararSqlite(db, sql);
    auto dinheiro = [&](int i, double v) {
        const qint64 c = qint64(v);
        if (c % 100 == 0)
            sqlite3_bind_int64(st, i, c / 100);
        else
            sqlite3_bind_double(st, i, nDecimal::ParaReal(c, 2));
    };
    for (const Lido &x : linhas) {
        int i = 1;
        if (centavos) {
            dinheiro(i++, x.a);
            dinheiro(i++, x.b);
        } else {
            sqlite3_bind_double(st, i++, x.a);
            if (chaves > 5)
                sqlite3_bind_double(st, i++, x.b);
        }
        sqlite3_bind_int(st, i++, 1);
        sqlite3_bind_int(st, i++, x.estab);
        sqlite3_bind_text(st, i++, "2024-01-01", 10, SQLITE_STATIC);
        sqlite3_bind_int64(st, i++, x.produto);
        sqlite3_bind_int(st, i++, x.motivo);
        if (chaves > 5)
            sqlite3_bind_int(st, i++, x.seq);
        if (chaves > 6)
            sqlite3_bind_int(st, i++, x.cst);
        PassoSqlite(db, st);
    }
    sqlite3_finalize(st);
}

double Ms(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// ---- The raw side's arithmetic, written out on nDecimal: the same exact products, quotients
// and sweeps as the process, without its classes.

__int128 Pot10(int n)
{
    __int128 r = 0;
    nDecimal::Reescalar(1, 0, n, r);
    return r;
}

// num / den (den > 0) rounded half away from zero.
__int128 DividirMeio(__int128 num, __int128 den)
{
    const __int128 q = num / den, r = num % den;
    return r * 2 >= den ? q + 1 : (r * 2 <= -den ? q - 1 : q);
}

qint64 Produto(double a, double b, int casas)
{
    qint64 u = 0;
    if (!nDecimal::Produto(a, b, casas, u))
        std::abort();
    return u;
}

qint64 Escalar(double v, int casas)
{
    qint64 u = 0;
    if (!nDecimal::DeRealRapido(v, casas, u) && !nDecimal::DeReal(v, casas, u))
        std::abort();
    return u;
}

// By unit cost (a: quantity, b: cost, written): cost × remaining target / remaining exact
// base, one quotient rounded at the cent.
void CustoBruto(std::vector<Lido> &l, qint64 alvo)
{
    __int128 m = 0;
    int e = 0, escala = 0;
    for (const Lido &x : l) {
        nDecimal::ProdutoExato(x.a, x.b, m, e);
        escala = std::max(escala, std::min(e, 18));
    }
    auto valor = [&](const Lido &x) {
        __int128 v = 0;
        nDecimal::ProdutoExato(x.a, x.b, m, e);
        nDecimal::Reescalar(m, e, escala, v);
        return v;
    };
    __int128 base = 0;
    for (const Lido &x : l)
        base += valor(x);
    const __int128 inicial = base;
    qint64 falta = alvo;
    for (Lido &x : l) {
        const __int128 v = valor(x), resto = base;
        base -= v;
        double preco = 0;
        if (v != 0 && resto != 0) {
            qint64 mp = 0;
            int ep = 0;
            nDecimal::Curto(x.b, mp, ep);
            __int128 num = __int128(mp) * (falta < 0 ? alvo : falta), den = falta < 0 ? inicial : resto;
            if (escala >= ep)
                num *= Pot10(escala - ep);
            else
                den *= Pot10(ep - escala);
            preco = nDecimal::ParaReal(qint64(DividirMeio(num, den)), 2);
        }
        x.b = preco > 0 ? preco : 0;
        falta -= Produto(x.a, x.b, 2);
    }
}

bool AcimaDeNoveDecimos(double q)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, q, std::chars_format::fixed);
    const char *ponto = static_cast<const char *>(std::memchr(buf, '.', size_t(r.ptr - buf)));
    return ponto && ponto[1] == '9' && ponto + 2 < r.ptr;
}

// By quantity (a: quantity, written; b: cost): the equal share at each cost, then the residue
// sweeps one unit at a time as written, on exact decimals at 9 places (the data's costs have
// 2 decimals and its fractional quantities 2).
void QtdeBruta(std::vector<Lido> &l, qint64 alvo)
{
    const double parte = nDecimal::ParaReal(alvo, 2) / double(l.size());
    qint64 t = 0;
    for (Lido &x : l) {
        double q = x.b != 0 ? parte / x.b : 0;
        if (!(q > 0))
            q = 0;
        else if (x.a == std::trunc(x.a))
            q = std::floor(q) + (AcimaDeNoveDecimos(q) ? 1 : 0);
        else
            q = RoundValor(q, 4);
        x.a = q;
        t += Produto(q, x.b, 2);
    }
    qint64 D = (alvo - t) * 10000000;
    for (bool fim = D == 0; !fim;) {
        qint64 G = 0;
        for (size_t i = 0; i < l.size() && !fim; ++i) {
            Lido &x = l[i];
            if (!(x.b > 0))
                continue;
            if (x.a == std::trunc(x.a)) {
                const qint64 custo = Produto(1, x.b, 9);
                if (D >= custo) {
                    x.a += 1;
                    t += Produto(x.a, x.b, 2) - Produto(x.a - 1, x.b, 2);
                    G += custo;
                    fim = G >= D;
                }
            } else {
                const double q = RoundValor(x.a + (D > 0 ? 0.01 : -0.01), std::max(CountDec(x.a), 2));
                const qint64 v = Produto(x.a, x.b, 9) + D, m = v < 0 ? -v : v;
                const qint64 alvoLinha = (m + 5000000) / 10000000 * (v < 0 ? -1 : 1);
                if (Produto(q, x.b, 2) == alvoLinha) {
                    t += Produto(q, x.b, 2) - Produto(x.a, x.b, 2);
                    x.a = q;
                    fim = true;
                }
            }
        }
        if (fim || G == 0 || D < G)
            break;
        D -= G;
    }
}

// A property line as read with its entry's new quantity and cost.
struct LinhaItem {
    qint64 produto;
    double qtdeLcto, precoLcto, qtde, preco;
    int estab, motivo, seq;
};

std::vector<LinhaItem> LerItens(sqlite3 *db)
{
    std::vector<LinhaItem> v;
    sqlite3_stmt *st = PrepararSqlite(db, SqlItens);
    while (sqlite3_step(st) == SQLITE_ROW)
        v.push_back({sqlite3_column_int64(st, 1), sqlite3_column_double(st, 3), sqlite3_column_double(st, 4),
                     sqlite3_column_double(st, 6), sqlite3_column_double(st, 7), sqlite3_column_int(st, 0),
                     sqlite3_column_int(st, 2), sqlite3_column_int(st, 5)});
    sqlite3_finalize(st);
    return v;
}

// The propagation: each line's new quantity (kind 2, shared in proportion with the residue
// one step per line) or cost (kind 1), its new and old totals as exact products at the cent,
// and its tax-situation lines (a: base, b: tax, in cents) scaled by new over old. Both lists
// come in key order, so the tax-situation lines are met by a merge. `itens` becomes the
// values to write (a: quantity, b: cost).
void PropagarBruto(int tipo, const std::vector<LinhaItem> &li, std::vector<Lido> &itens, std::vector<Lido> &csts)
{
    itens.clear();
    itens.reserve(li.size());
    std::vector<qint64> novo(li.size()), antigo(li.size());
    for (size_t i = 0; i < li.size();) {
        size_t fim = i;
        double total = 0;
        while (fim < li.size() && li[fim].estab == li[i].estab && li[fim].produto == li[i].produto
               && li[fim].motivo == li[i].motivo)
            total += li[fim++].qtde;
        qint64 soma = 0;
        std::vector<qint64> partes;
        for (size_t k = i; k < fim; ++k) {
            partes.push_back(tipo == 2 ? std::max<qint64>(0, Escalar(total != 0 ? li[k].qtde / total * li[k].qtdeLcto : 0, 4))
                                       : 0);
            soma += partes.back();
        }
        qint64 residuo = tipo == 2 ? Escalar(li[i].qtdeLcto, 4) - soma : 0;
        while (residuo != 0)
            for (qint64 &h : partes) {
                if (residuo > 0) {
                    ++h;
                    --residuo;
                } else if (h > 0) {
                    --h;
                    ++residuo;
                }
                if (residuo == 0)
                    break;
            }
        for (size_t k = i; k < fim; ++k) {
            const LinhaItem &x = li[k];
            const double qtde = tipo == 2 ? nDecimal::ParaReal(partes[k - i], 4) : x.qtde;
            const double preco = tipo == 2 ? x.preco : x.precoLcto;
            novo[k] = Produto(qtde, preco, 2);
            antigo[k] = Produto(x.qtde, x.preco, 2);
            itens.push_back({x.produto, qtde, preco, x.estab, x.motivo, x.seq, 0});
        }
        i = fim;
    }
    size_t k = 0;
    for (Lido &c : csts) {
        while (k < li.size() && (li[k].estab < c.estab || (li[k].estab == c.estab && li[k].produto < c.produto)
                                 || (li[k].estab == c.estab && li[k].produto == c.produto && li[k].motivo < c.motivo)
                                 || (li[k].estab == c.estab && li[k].produto == c.produto && li[k].motivo == c.motivo
                                     && li[k].seq < c.seq)))
            ++k;
        const qint64 base = Escalar(c.a, 2), imposto = Escalar(c.b, 2);
        qint64 b = base, t = imposto;
        if (k < li.size() && antigo[k] != 0) {
            b = qint64(DividirMeio(__int128(base) * novo[k], antigo[k]));
            t = qint64(DividirMeio(__int128(imposto) * novo[k], antigo[k]));
        }
        c.a = double(b);
        c.b = double(t);
    }
}

void Informar(benchmark::State &state, const std::string &nome, const TnTempos &fw, const TnTempos &raw,
              const std::string &lado = "fw", const std::string &base = "raw")
{
    state.counters[nome + "_" + lado + "_min"] = fw.Min();
    state.counters[nome + "_" + lado + "_med"] = fw.Mediana();
    state.counters[nome + "_" + base + "_min"] = raw.Min();
    state.counters[nome + "_" + base + "_med"] = raw.Mediana();
    state.counters[nome + "_razao"] = fw.Mediana() / raw.Mediana();
}

const char *SqlAtualizarPreco = "update LCTOINV set PRECOUNIT = ?, "
                                "VALORICMS = case when VALORICMS is null then null else 0 end, "
                                "VALORPIS = case when VALORPIS is null then null else 0 end, "
                                "VALORCOFINS = case when VALORCOFINS is null then null else 0 end "
                                "where CODIGOEMPRESA = ? and CODIGOESTAB = ? and DATAINVENT = ? and CODIGOPRODUTO = ? "
                                "and MOTIVOINVENTARIO = ?";
const char *SqlAtualizarQtde = "update LCTOINV set QTDEESTOQUE = ?, "
                               "VALORICMS = case when VALORICMS is null then null else 0 end, "
                               "VALORPIS = case when VALORPIS is null then null else 0 end, "
                               "VALORCOFINS = case when VALORCOFINS is null then null else 0 end "
                               "where CODIGOEMPRESA = ? and CODIGOESTAB = ? and DATAINVENT = ? and CODIGOPRODUTO = ? "
                               "and MOTIVOINVENTARIO = ?";

// Targets that change every row in each round: by unit cost the total moves up and back;
// by quantity the equal share (at least the highest unit cost) alternates.
double Alvo(int tipo, int rodada)
{
    if (tipo == 1)
        return (rodada % 2 ? 1.1 : 1.0) * 400.0 * Linhas();
    return (rodada % 2 ? 60.0 : 40.0) * Linhas();
}

void BM_AjusteLancamentos(benchmark::State &state)
{
    const int tipo = int(state.range(0));
    // Kept to the process's end and never destroyed: Qt's registry of connections may be
    // gone before a static would close it.
    static nDMConexao *con = nullptr;
    if (!con)
        con = Banco(QStringLiteral("ajuste.db"), false).release();
    nDMConexao::DefinirAtual(con);
    sqlite3 *db = HandleSqlite(*con);
    Cronometro c;
    for (auto _ : state) {
        TnTempos fw, raw;
        for (int r = 0; r < RodadasBench(); ++r) {
            const auto framework = [&] { fw.Ms.push_back(Ajustar(c, tipo, Alvo(tipo, r))); };
            const auto direto = [&] {
                QElapsedTimer t;
                t.start();
                auto linhas = Ler(db, SqlLer, -1, 3, 4);
                const qint64 alvo = Escalar(Alvo(tipo, r), 2);
                if (tipo == 1) {
                    CustoBruto(linhas, alvo);
                    for (Lido &x : linhas)
                        x.a = x.b;
                } else {
                    QtdeBruta(linhas, alvo);
                }
                ExecSqlite(db, "BEGIN IMMEDIATE");
                Atualizar(db, tipo == 1 ? SqlAtualizarPreco : SqlAtualizarQtde, linhas, 5);
                ExecSqlite(db, "COMMIT");
                raw.Ms.push_back(Ms(t));
                if (int(linhas.size()) != Linhas())
                    state.SkipWithError("linhas a menos");
            };
            NaVezDaRodada(r, framework, direto);
        }
        Informar(state, "execucao", fw, raw);
    }
}

void BM_AjusteLinhas(benchmark::State &state)
{
    const int tipo = int(state.range(0));
    // Kept to the process's end and never destroyed: Qt's registry of connections may be
    // gone before a static would close it.
    static nDMConexao *con = nullptr;
    if (!con)
        con = Banco(QStringLiteral("ajuste_linhas.db"), true).release();
    nDMConexao::DefinirAtual(con);
    sqlite3 *db = HandleSqlite(*con);
    const QString aplicando = tipo == 1 ? QStringLiteral("Aplicando Ajuste pelo Custo Unitário...")
                                        : QStringLiteral("Aplicando Ajuste pela Quantidade...");
    const QString salvando = QStringLiteral("Salvando alterações...");
    Cronometro c;
    for (auto _ : state) {
        TnTempos lerFw, lerRaw, gravarFw, gravarRaw, todoFw;
        size_t itens = 0, csts = 0;
        for (int r = 0; r < RodadasBench(); ++r) {
            const auto framework = [&] {
                todoFw.Ms.push_back(Ajustar(c, tipo, Alvo(tipo, r)));
                lerFw.Ms.push_back(c.Em(salvando) - c.Em(aplicando));
                gravarFw.Ms.push_back(c.Em(QStringLiteral("fim")) - c.Em(salvando));
            };
            const auto direto = [&] {
                QElapsedTimer t;
                t.start();
                const auto li = LerItens(db);
                auto lc = Ler(db, SqlCst, 3, 5, 6, 4);
                std::vector<Lido> novos;
                PropagarBruto(tipo, li, novos, lc);
                lerRaw.Ms.push_back(Ms(t));
                itens = li.size();
                csts = lc.size();
                // The framework writes the entries before the lines, in the same transaction,
                // and its lines' phase ends with the commit of both: the raw transaction
                // changes the same entries first and back (not timed; SQLite leaves a row
                // rewritten with the same bytes unchanged), so that its lines meet as many
                // pages already changed and its commit writes them too.
                ExecSqlite(db, "BEGIN IMMEDIATE");
                for (int k = 0; k < 2; ++k)
                    ExecSqlite(db, "update LCTOINV set PRECOUNIT = -PRECOUNIT where CODIGOEMPRESA = 1 "
                                   "and DATAINVENT = '2024-01-01' and QTDEESTOQUE > 0 and CODIGOESTAB between 1 and 5");
                t.start();
                Atualizar(db,
                          "update LCTOINVPROPRIEDADE set QUANTIDADE = ?, PRECOUNIT = ? where CODIGOEMPRESA = ? "
                          "and CODIGOESTAB = ? and DATAINVENT = ? and CODIGOPRODUTO = ? and MOTIVOINVENTARIO = ? and SEQ = ?",
                          novos, 6);
                Atualizar(db,
                          "update LCTOINVCST set BASECALCULO = ?, VALORIMPOSTO = ? where CODIGOEMPRESA = ? "
                          "and CODIGOESTAB = ? and DATAINVENT = ? and CODIGOPRODUTO = ? and MOTIVOINVENTARIO = ? and SEQ = ? "
                          "and CST = ?",
                          lc, 7, true);
                ExecSqlite(db, "COMMIT");
                gravarRaw.Ms.push_back(Ms(t));
            };
            NaVezDaRodada(r, framework, direto);
        }
        Informar(state, "leitura", lerFw, lerRaw);
        Informar(state, "gravacao", gravarFw, gravarRaw);
        state.counters["execucao_fw_med"] = todoFw.Mediana();
        state.counters["itens"] = double(itens);
        state.counters["csts"] = double(csts);
    }
}

void BM_ResiduoLimitado(benchmark::State &state)
{
    // A million entries at 1,000.00, one at 9,400.00 (its rounding leaves 600.00) and one at
    // 0.01, the only cost that fits: 60,000 sweeps of one unit. Without the 9,400.00 entry
    // there is no residue.
    auto conjunto = [](bool residuo) {
        std::vector<nAjusteInv::TnLancamento> l(size_t(Linhas()), {1, 1, 1000, 1, 1});
        l[l.size() - 2].Preco = residuo ? 9400 : 1000;
        l.back().Preco = 0.01;
        return l;
    };
    const qint64 alvo = qint64(Linhas()) * 1000000; // 10,000.00 per entry
    for (auto _ : state) {
        TnTempos com, sem;
        qint64 visitas = 0;
        for (int r = 0; r < RodadasBench(); ++r) {
            auto a = conjunto(true), b = conjunto(false);
            QElapsedTimer t;
            t.start();
            const auto ra = nAjusteInv::AjustarPorQuantidade(a, alvo, 2, 4);
            com.Ms.push_back(Ms(t));
            t.start();
            const auto rb = nAjusteInv::AjustarPorQuantidade(b, alvo, 2, 4);
            sem.Ms.push_back(Ms(t));
            if (!ra.Exato() || !rb.Exato() || a.back().Qtde != 1060000)
                state.SkipWithError("resultado inesperado");
            visitas = ra.Visitas;
        }
        Informar(state, "residuo", com, sem, "com", "sem");
        state.counters["visitas_por_linha"] = double(visitas) / Linhas();
    }
}

// ---- on the server

// The same entries, property lines and tax-situation lines as Banco(…, true), on a schema of
// the server, written by the server.
void GerarBasePg(nDMConexao &con)
{
    ConverterBanco(con);
    const QString n = QString::number(Linhas());
    con.Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) "
                 "values (1, 2, 'E'), (1, 3, 'E'), (1, 4, 'E'), (1, 5, 'E')");
    con.Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) select 1, i, 'P' "
                 "from generate_series(1, " + QString::number(Linhas() / 5 + 1) + ") i");
    // Entry i as Gerar(i) gives it, with its line counts.
    const QString gerados = "(select i, i % 5 + 1 as ESTAB, i / 5 + 1 as PRODUTO, case when i % 4 <> 0 "
                            "then (1 + i % 50)::float8 else (1.25 + i % 40)::float8 end as QTDE, "
                            "1 + (i % 3000) / 100.0::float8 as PRECO, i % 3 + 1 as ITENS, (i / 3) % 3 + 1 as CSTS "
                            "from generate_series(0, " + n + " - 1) i) G";
    con.Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                 "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                 "select 1, ESTAB, '2024-01-01', PRODUTO, 1, QTDE, PRECO, 1.5, 0, 0, '2024-01-05 10:00:00', 1, 2 from " +
                 gerados);
    con.Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                 "MOTIVOINVENTARIO, SEQ, QUANTIDADE, PRECOUNIT) select 1, ESTAB, '2024-01-01', PRODUTO, 1, S, "
                 "QTDE / ITENS, case when S = 2 then PRECO + 0.5 else PRECO end from " + gerados +
                 " cross join lateral generate_series(1, ITENS) S");
    con.Executar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                 "SEQ, CST, BASECALCULO, VALORIMPOSTO) select 1, ESTAB, '2024-01-01', PRODUTO, 1, K % ITENS + 1, "
                 "K * 20, 10 + K, 1.8 + K from " + gerados + " cross join lateral generate_series(0, CSTS - 1) K");
    con.Executar("ANALYZE");
}

// Money in cents as the text of numeric(18,2).
void TextoCentavos(std::string &s, qint64 c)
{
    if (c < 0) {
        s += '-';
        c = -c;
    }
    TextoInteiro(s, c / 100);
    s += '.';
    s += char('0' + c / 10 % 10);
    s += char('0' + c % 10);
}

// Pipelined prepared UPDATEs of the rows read with the values computed for them (as
// Atualizar does on SQLite): a and b (b when the key has more than 5 columns), money as
// numeric text when `centavos`, then the key.
void AtualizarPg(PGconn *c, const char *sql, const std::vector<Lido> &linhas, int chaves, bool centavos = false)
{
    const int valores = chaves > 5 ? 2 : 1;
    TnPipelinePg p(c, sql, valores + chaves);
    std::string a, b, estab, produto, seq, cst;
    for (const Lido &x : linhas) {
        a.clear();
        b.clear();
        if (centavos) {
            TextoCentavos(a, qint64(x.a));
            TextoCentavos(b, qint64(x.b));
        } else {
            TextoReal(a, x.a);
            TextoReal(b, x.b);
        }
        estab.clear();
        TextoInteiro(estab, x.estab);
        produto.clear();
        TextoInteiro(produto, x.produto);
        seq.clear();
        TextoInteiro(seq, x.seq);
        cst.clear();
        TextoInteiro(cst, x.cst);
        const char *v[9];
        int i = 0;
        v[i++] = a.c_str();
        if (valores == 2)
            v[i++] = b.c_str();
        v[i++] = "1";
        v[i++] = estab.c_str();
        v[i++] = "2024-01-01";
        v[i++] = produto.c_str();
        v[i++] = "1";
        if (chaves > 5)
            v[i++] = seq.c_str();
        if (chaves > 6)
            v[i++] = cst.c_str();
        p.Enviar(v);
    }
}

QByteArray ComDolar(const char *sql) { return NumerarParametros(QString::fromLatin1(sql)).toUtf8(); }

// The whole adjustment on libpq: the entries read, adjusted (CustoBruto, QtdeBruta), their
// lines and tax-situation lines read and propagated from the new values (PropagarBruto),
// and every entry and line written with pipelined prepared UPDATEs in one transaction.
void AjustarPg(PGconn *c, int tipo, double alvoReais)
{
    std::vector<Lido> lctos;
    lctos.reserve(size_t(Linhas()));
    LerPg(c, SqlLer, [&](PGresult *r, int i) {
        lctos.push_back({InteiroPg(r, i, 1), RealPg(r, i, 3), RealPg(r, i, 4), int(InteiroPg(r, i, 0)),
                         int(InteiroPg(r, i, 2)), 0, 0});
    });
    const qint64 alvo = Escalar(alvoReais, 2);
    if (tipo == 1)
        CustoBruto(lctos, alvo);
    else
        QtdeBruta(lctos, alvo);
    // The lines come in the entries' order: each takes its entry's new quantity and cost.
    std::vector<LinhaItem> li;
    size_t k = 0;
    LerPg(c, SqlItens, [&](PGresult *r, int i) {
        LinhaItem x{InteiroPg(r, i, 1), 0, 0, RealPg(r, i, 6), RealPg(r, i, 7), int(InteiroPg(r, i, 0)),
                    int(InteiroPg(r, i, 2)), int(InteiroPg(r, i, 5))};
        while (k < lctos.size() && std::tuple(lctos[k].estab, lctos[k].produto, lctos[k].motivo)
                                       < std::tuple(x.estab, x.produto, x.motivo))
            ++k;
        x.qtdeLcto = lctos[k].a;
        x.precoLcto = lctos[k].b;
        li.push_back(x);
    });
    std::vector<Lido> csts;
    LerPg(c, SqlCst, [&](PGresult *r, int i) {
        csts.push_back({InteiroPg(r, i, 1), RealPg(r, i, 5), RealPg(r, i, 6), int(InteiroPg(r, i, 0)),
                        int(InteiroPg(r, i, 2)), int(InteiroPg(r, i, 3)), int(InteiroPg(r, i, 4))});
    });
    std::vector<Lido> itens;
    PropagarBruto(tipo, li, itens, csts);
    if (tipo == 1)
        for (Lido &x : lctos)
            x.a = x.b;
    ExecPg(c, "BEGIN");
    AtualizarPg(c, ComDolar(tipo == 1 ? SqlAtualizarPreco : SqlAtualizarQtde).constData(), lctos, 5);
    AtualizarPg(c,
                ComDolar("update LCTOINVPROPRIEDADE set QUANTIDADE = ?, PRECOUNIT = ? where CODIGOEMPRESA = ? "
                         "and CODIGOESTAB = ? and DATAINVENT = ? and CODIGOPRODUTO = ? and MOTIVOINVENTARIO = ? "
                         "and SEQ = ?")
                    .constData(),
                itens, 6);
    AtualizarPg(c,
                ComDolar("update LCTOINVCST set BASECALCULO = ?, VALORIMPOSTO = ? where CODIGOEMPRESA = ? "
                         "and CODIGOESTAB = ? and DATAINVENT = ? and CODIGOPRODUTO = ? and MOTIVOINVENTARIO = ? "
                         "and SEQ = ? and CST = ?")
                    .constData(),
                csts, 7, true);
    ExecPg(c, "COMMIT");
}

// The whole run with its lines on the server, against AjustarPg. Each run (of either side)
// takes the other target from the run before it, so every entry and line changes every time;
// the sides take turns (NaVezDaRodada) and each meets both targets. The exchanges of the
// framework's last run are reported beside the times.
void BM_AjusteLinhasPg(benchmark::State &state, int tipo)
{
    TnBancoBench banco(tcPostgreSQL, QStringLiteral("ajuste"));
    TnConexaoDoCaso atual(&banco.Con());
    GerarBasePg(banco.Con());
    Cronometro c;
    int vez = 0;
    AlternarNoServidor(
        state, banco, [] {}, [&] { Ajustar(c, tipo, Alvo(tipo, vez++)); },
        [&](PGconn *pg) { AjustarPg(pg, tipo, Alvo(tipo, vez++)); });
    DestruirTodosDM();
}

const int gRegistro =
    RegistrarNoServidor("BM_AjusteLinhas/1/pg", [](benchmark::State &s) { BM_AjusteLinhasPg(s, 1); })
    + RegistrarNoServidor("BM_AjusteLinhas/2/pg", [](benchmark::State &s) { BM_AjusteLinhasPg(s, 2); });

} // namespace

BENCHMARK(BM_AjusteLancamentos)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AjusteLinhas)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ResiduoLimitado)->Unit(benchmark::kMillisecond)->Iterations(1);
