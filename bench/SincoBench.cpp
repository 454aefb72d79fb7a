// The SINCO movement file as the program loads its process (OrvoCore, by class name),
// against the C interface reading the same rows and plain C writing the same bytes the same
// way: a temporary file beside the destination, synced to disk and renamed over it, every
// field checked (widths, ISO-8859-1, negative or too large numbers) and every number rounded
// exactly (the shortest decimal form of each double, the value as the exact product of
// quantity and unit cost, half away from zero). Both files are compared byte for byte.
//
// Rows: ORVO_BENCH_LINHAS (default 1,000,000) entries of reason 1 over 24 dates, plus one of
// reason 2 for every tenth, which neither side writes. Products have codes of 1 to 18
// digits, references of up to 20 characters (accented ones among them), units of 0 to 5
// characters (or none), and groups of SINCO type "1" to "9", blank, none, or no group at all.
// Quantities have 1 to 4 decimals and unit costs 2 or 4, so values and quantities often meet
// a half (29.7 × 186.05 = 5525.685 is written 5525.69). Case /1 writes product codes, /2
// references. Rounds alternate (NaVezDaRodada). Target: razao <= 1.3. The counter "MB" is
// what the process's run added to the resident memory: the lines are streamed to the file,
// so it does not grow with the rows.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "Variaveis.h"

#include <QFile>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kDatas = 24;

QDate DataDoLote(int k) { return QDate(2024, 1 + k / 2, k % 2 ? 15 : 1); }

int Produtos() { return (LinhasBench() + kDatas - 1) / kDatas; }

qint64 CodigoProduto(int i)
{
    switch (i % 3) {
    case 0: return i + 1;
    case 1: return 1000000000000LL + i;
    default: return 100000000000000000LL + i;
    }
}

// Quantities and unit costs written as the decimals a user types (k / 10^n).
double Quantidade(int j)
{
    switch (j % 5) {
    case 0: return (j % 1000) / 10.0;
    case 1: return 29.7;
    case 2: return (j % 100000) / 1000.0;
    case 3: return (10000 + j % 10000) / 10000.0; // 1.0005 rounds to 1.001
    default: return (j % 997) * 0.5;
    }
}

double PrecoUnitario(int j)
{
    switch (j % 3) {
    case 0: return 186.05;
    case 1: return (j % 100000) / 100.0;
    default: return (j % 1000000) / 10000.0;
    }
}

nDMConexao &Banco()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = NovoBancoConvertido(QStringLiteral("sinco.db"));
    TnTransacao t(1, *con);
    con->Executar("update CFGEMPRESAULMAR set USAREFERENCIAPROD = '1' where CODIGOEMPRESA = 1");
    auto g = con->Preparar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                           "TIPOGRUPOPRODUTO, DESCRGRUPOPRODUTO, TIPOGRUPOPRODUTOSINCO) values (1, ?, ?, 2, 'Grupo', ?)");
    // Groups 1 to 9 of types "1" to "9", 10 blank, 11 without a type.
    for (int k = 1; k <= 11; ++k) {
        g->BindInteiro(0, k);
        g->BindTexto(1, QString::number(k));
        if (k <= 9)
            g->BindTexto(2, QString::number(k));
        else if (k == 10)
            g->BindTexto(2, QString());
        else
            g->BindNulo(2);
        g->Executar();
    }
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO, UNIDADEMEDIDA, "
                           "REFERENPRODUTO, DESCRPRODUTO) values (1, ?, ?, ?, ?, 'Produto')");
    const char *const unidades[] = {"UN", "KG", "FARDO", "", nullptr, "M2", "CX"};
    for (int i = 0; i < Produtos(); ++i) {
        p->BindInteiro(0, CodigoProduto(i));
        if (i % 12 == 11)
            p->BindNulo(1);
        else
            p->BindInteiro(1, i % 12 + 1);
        if (const char *u = unidades[i % 7])
            p->BindTexto(2, QString::fromLatin1(u));
        else
            p->BindNulo(2);
        QString ref;
        switch (i % 4) {
        case 0: ref = QString::fromUtf8("AÇÚCAR-CRISTAL-%1").arg(i % 100000, 5, 10, QChar(u'0')); break;
        case 1: ref = QStringLiteral("R%1").arg(i); break;
        case 2: ref = QStringLiteral("%1").arg(i, 20, 10, QChar(u'0')); break;
        default: ref = QString::fromUtf8("CAFÉ %1 ½KG").arg(i); break;
        }
        p->BindTexto(3, ref);
        p->Executar();
    }
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                           "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, 1, ?, ?, ?, ?, ?, 0, 0, 0, ?, 1, 2)");
    const QDateTime agora(QDate(2024, 3, 1), QTime(9, 30));
    for (int j = 0; j < LinhasBench(); ++j) {
        for (int motivo : {1, 2}) {
            if (motivo == 2 && j % 10)
                continue;
            l->BindData(0, DataDoLote(j / Produtos()));
            l->BindInteiro(1, CodigoProduto(j % Produtos()));
            l->BindInteiro(2, motivo);
            l->BindReal(3, Quantidade(j));
            l->BindReal(4, PrecoUnitario(j));
            l->BindDataHora(5, agora);
            l->Executar();
        }
    }
    t.Commit();
    con->Executar("analyze");
    SelecionarEstab1(*con);
    return *con;
}

// ---------------------------------------------------------------- the raw writer

// v's shortest decimal form as m × 10^-e (the digits a user typed).
bool DecimalCurto(double v, long long &m, int &e)
{
    static constexpr double p10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (!std::isfinite(v))
        return false;
    for (int k = 0; k < 16; ++k) {
        const double x = v * p10[k];
        if (!(std::fabs(x) < 1e15))
            break;
        const double r = std::nearbyint(x);
        if (r / p10[k] == v) {
            m = static_cast<long long>(r);
            e = k;
            return true;
        }
    }
    char buf[48];
    const char *fim = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific).ptr;
    const char *x = buf;
    const bool neg = *x == '-';
    x += neg;
    long long mant = 0;
    int digitos = 0;
    for (; *x != 'e'; ++x)
        if (*x != '.') {
            mant = mant * 10 + (*x - '0');
            ++digitos;
        }
    int exp = 0;
    std::from_chars(x + 1 + (x[1] == '+'), fim, exp);
    e = digitos - 1 - exp;
    if (e < -18)
        return false;
    for (; e < 0; ++e)
        mant *= 10;
    m = neg ? -mant : mant;
    return true;
}

// m × 10^-e rounded half away from zero to d decimals, in 17 digits; false when negative or
// too large.
bool Arredondar(__int128 m, int e, int d, long long &r)
{
    const bool neg = m < 0;
    __int128 a = neg ? -m : m;
    for (; e > d + 1; --e)
        a /= 10; // only the first dropped digit decides a half (the rest lower it, never raise it)
    if (e == d + 1)
        a = a / 10 + (a % 10 >= 5);
    for (; e < d; ++e)
        a *= 10;
    if ((neg && a != 0) || a >= static_cast<__int128>(100000000000000000LL))
        return false;
    r = static_cast<long long>(a);
    return true;
}

void Digitos(char *p, unsigned long long v, int n)
{
    for (int i = n - 1; i >= 0; --i, v /= 10)
        p[i] = char('0' + v % 10);
}

// UTF-8 into ISO-8859-1 in `largura` characters, blanks on the right; longer is cut when
// `cortar`, else refused, as is a character ISO-8859-1 has not.
bool Latin1(const unsigned char *t, int n, int largura, bool cortar, char *&o)
{
    int k = 0;
    for (int i = 0; i < n; ++k) {
        if (k == largura)
            return cortar;
        if (t[i] < 0x80) {
            *o++ = char(t[i++]);
        } else if ((t[i] == 0xC2 || t[i] == 0xC3) && i + 1 < n && (t[i + 1] & 0xC0) == 0x80) {
            *o++ = char(((t[i] & 3) << 6) | (t[i + 1] & 0x3F));
            i += 2;
        } else {
            return false;
        }
    }
    for (; k < largura; ++k)
        *o++ = ' ';
    return true;
}

// The same rows read with the C interface, each line written into a 64 KiB buffer, the
// buffer written to a temporary file, synced and renamed over `destino`. False (no file)
// when a value does not fit.
bool GerarDireto(const QString &destino, bool referencia)
{
    sqlite3 *db = HandleSqlite(Banco());
    sqlite3_stmt *st = PrepararSqlite(
        db,
        "select L.DATAINVENT, G.TIPOGRUPOPRODUTOSINCO, L.CODIGOPRODUTO, P.UNIDADEMEDIDA, L.QTDEESTOQUE, L.PRECOUNIT,"
        " P.REFERENPRODUTO from LCTOINV L join PRODUTO P on P.CODIGOEMPRESA = L.CODIGOEMPRESA and P.CODIGOPRODUTO ="
        " L.CODIGOPRODUTO left join GRUPOPRODUTO G on G.CODIGOEMPRESA = P.CODIGOEMPRESA and G.CODIGOGRUPOPRODUTO ="
        " P.CODIGOGRUPOPRODUTO where L.CODIGOEMPRESA = ? and L.CODIGOESTAB = ? and L.DATAINVENT between ? and ?"
        " and L.MOTIVOINVENTARIO = 1 order by L.DATAINVENT, L.CODIGOPRODUTO");
    sqlite3_bind_int(st, 1, 1);
    sqlite3_bind_int(st, 2, 1);
    sqlite3_bind_text(st, 3, "2024-01-01", -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 4, "2024-12-31", -1, SQLITE_STATIC);
    const std::string final = QFile::encodeName(destino).toStdString();
    std::string temporario = final + ".XXXXXX";
    const int fd = mkstemp(temporario.data());
    std::string buf;
    buf.resize(64 * 1024 + 256);
    size_t usado = 0;
    bool ok = fd >= 0;
    while (ok && sqlite3_step(st) == SQLITE_ROW) {
        char *const inicio = buf.data() + usado;
        char *o = inicio;
        const auto *data = sqlite3_column_text(st, 0);
        std::memcpy(o, data + 8, 2);
        std::memcpy(o + 2, data + 5, 2);
        std::memcpy(o + 4, data, 4);
        o += 8;
        ok = Latin1(sqlite3_column_text(st, 1), sqlite3_column_bytes(st, 1), 1, false, o);
        if (referencia) {
            const auto *ref = sqlite3_column_text(st, 6);
            const int n = sqlite3_column_bytes(st, 6);
            bool branco = true;
            for (int i = 0; i < n && branco; ++i)
                branco = ref[i] == ' ' || (ref[i] >= '\t' && ref[i] <= '\r');
            ok = ok && !branco && Latin1(ref, n, 20, false, o);
        } else {
            char num[24];
            const char *fim = std::to_chars(num, num + sizeof num, static_cast<long long>(sqlite3_column_int64(st, 2))).ptr;
            ok = ok && Latin1(reinterpret_cast<const unsigned char *>(num), int(fim - num), 20, false, o);
        }
        ok = ok && Latin1(sqlite3_column_text(st, 3), sqlite3_column_bytes(st, 3), 3, true, o);
        long long mq = 0, mp = 0, q = 0, v = 0;
        int eq = 0, ep = 0;
        ok = ok && DecimalCurto(sqlite3_column_double(st, 4), mq, eq) && DecimalCurto(sqlite3_column_double(st, 5), mp, ep)
             && Arredondar(mq, eq, 3, q) && Arredondar(static_cast<__int128>(mq) * mp, eq + ep, 2, v);
        if (!ok)
            break;
        Digitos(o, static_cast<unsigned long long>(q), 17);
        Digitos(o + 17, static_cast<unsigned long long>(v), 17);
        o[34] = '\r';
        o[35] = '\n';
        usado += size_t(o + 36 - inicio);
        if (usado >= 64 * 1024) {
            ok = write(fd, buf.data(), usado) == ssize_t(usado);
            usado = 0;
        }
    }
    sqlite3_finalize(st);
    ok = ok && write(fd, buf.data(), usado) == ssize_t(usado) && fdatasync(fd) == 0;
    if (fd >= 0)
        ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temporario.c_str(), final.c_str()) == 0;
    if (!ok)
        std::remove(temporario.c_str());
    return ok;
}

void BM_SincoMovimento(benchmark::State &state)
{
    const bool referencia = state.range(0) == 2;
    Banco();
    const QString fw = Pasta().filePath(QStringLiteral("sinco_fw.txt"));
    const QString raw = Pasta().filePath(QStringLiteral("sinco_raw.txt"));
    long mb = 0;
    bool rawOk = true;
    MedirContraDireto(
        state, RodadasBench(), [] {},
        [&] {
            auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(QStringLiteral("TOrvoDPArqModeloSINCOMovimento")));
            dp->SetParamText("pDataMovIni", "01/01/2024");
            dp->SetParamText("pDataMovFim", "31/12/2024");
            dp->SetParamText("pTipoProduto", referencia ? "2" : "1");
            dp->SetParamText("pArqDestinoSINCOMovimento", fw);
            const long antes = MemoriaResidenteMB();
            try {
                dp->Rodar();
            } catch (const Exception &e) {
                std::fprintf(stderr, "%s\n", e.what());
            }
            mb = std::max(mb, MemoriaResidenteMB() - antes);
            DestruirDM(dp);
        },
        [&] { rawOk = GerarDireto(raw, referencia) && rawOk; });
    QFile a(fw), b(raw);
    if (!rawOk || !a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != qint64(LinhasBench()) * 68
        || a.readAll() != b.readAll())
        state.SkipWithError("arquivos diferentes");
    state.counters["razao_min"] = state.counters["fw_min"] / state.counters["raw_min"];
    state.counters["MB"] = double(mb);
    state.counters["linhas"] = LinhasBench();
}

} // namespace

BENCHMARK(BM_SincoMovimento)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);
