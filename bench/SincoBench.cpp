// The SINCO movement file as the program loads its process (OrvoCore, by class name),
// against the C interface reading the same rows and the C library formatting and writing the
// same bytes, in alternating rounds (MedirContraDireto). Rows: ORVO_BENCH_LINHAS (default
// 1,000,000) entries over two dates. Target: 2x. The counter "MB" is what the process's run
// added to the resident memory: the lines are streamed to the file, so it does not grow with
// the rows.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "Modulos.h"
#include "PowerParam.h"
#include "Variaveis.h"

#include <QFile>

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Products of group 10 (SINCO type "1"), each with an entry on 1 January and 1 February.
nDMConexao &Banco()
{
    static nDMConexao *con = nullptr;
    if (con)
        return *con;
    con = NovoBancoConvertido(QStringLiteral("sinco.db"));
    TnTransacao t(1, *con);
    con->Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, TIPOGRUPOPRODUTO, "
                  "DESCRGRUPOPRODUTO, TIPOGRUPOPRODUTOSINCO) values (1, 10, '1', 2, 'Grupo', '1')");
    auto p = con->Preparar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO, UNIDADEMEDIDA, "
                           "DESCRPRODUTO) values (1, ?, 10, 'UN', 'Produto')");
    auto l = con->Preparar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                           "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, "
                           "DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) values (1, 1, ?, ?, 1, ?, ?, 0, 0, 0, ?, 1, 2)");
    const QDateTime agora(QDate(2024, 3, 1), QTime(9, 30));
    const int produtos = std::max(1, LinhasBench() / 2);
    for (int i = 1; i <= produtos; ++i) {
        p->BindInteiro(0, i);
        p->Executar();
        for (const QDate &d : {QDate(2024, 1, 1), QDate(2024, 2, 1)}) {
            l->BindData(0, d);
            l->BindInteiro(1, i);
            l->BindReal(2, 1 + (i % 97) * 0.5);
            l->BindReal(3, 2.5 + (i % 13) * 1.25);
            l->BindDataHora(4, agora);
            l->Executar();
        }
    }
    t.Commit();
    SelecionarEstab1(*con);
    return *con;
}

// The same rows read with the C interface, each line formatted with snprintf and written
// with fwrite, CR LF at the end.
void GerarDireto(const QString &destino)
{
    sqlite3 *db = HandleSqlite(Banco());
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(
        db,
        "select L.DATAINVENT, G.TIPOGRUPOPRODUTOSINCO, L.CODIGOPRODUTO, P.UNIDADEMEDIDA, L.QTDEESTOQUE, L.PRECOUNIT,"
        " P.REFERENPRODUTO from LCTOINV L join PRODUTO P on P.CODIGOEMPRESA = L.CODIGOEMPRESA and P.CODIGOPRODUTO ="
        " L.CODIGOPRODUTO left join GRUPOPRODUTO G on G.CODIGOEMPRESA = P.CODIGOEMPRESA and G.CODIGOGRUPOPRODUTO ="
        " P.CODIGOGRUPOPRODUTO where L.CODIGOEMPRESA = 1 and L.CODIGOESTAB = 1 and L.DATAINVENT between '2024-01-01'"
        " and '2024-02-29' and L.MOTIVOINVENTARIO = 1 order by L.DATAINVENT, L.CODIGOPRODUTO",
        -1, &st, nullptr);
    FILE *f = std::fopen(QFile::encodeName(destino).constData(), "wb");
    char linha[128];
    while (sqlite3_step(st) == SQLITE_ROW) {
        const char *data = reinterpret_cast<const char *>(sqlite3_column_text(st, 0));
        const char *tipo = reinterpret_cast<const char *>(sqlite3_column_text(st, 1));
        const char *unidade = reinterpret_cast<const char *>(sqlite3_column_text(st, 3));
        const double qtde = sqlite3_column_double(st, 4);
        const int n = std::snprintf(linha, sizeof linha, "%.2s%.2s%.4s%c%-20lld%-3.3s%017lld%017lld\r\n", data + 8,
                                    data + 5, data, tipo && *tipo ? *tipo : ' ',
                                    static_cast<long long>(sqlite3_column_int64(st, 2)), unidade ? unidade : "",
                                    std::llround(qtde * 1000), std::llround(qtde * sqlite3_column_double(st, 5) * 100));
        std::fwrite(linha, 1, size_t(n), f);
    }
    std::fclose(f);
    sqlite3_finalize(st);
}

void BM_SincoMovimento(benchmark::State &state)
{
    Banco();
    const QString fw = Pasta().filePath(QStringLiteral("sinco_fw.txt"));
    const QString raw = Pasta().filePath(QStringLiteral("sinco_raw.txt"));
    long mb = 0;
    MedirContraDireto(
        state, 5, [] {},
        [&] {
            auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(QStringLiteral("TOrvoDPArqModeloSINCOMovimento")));
            dp->SetParamText("pDataMovIni", "01/01/2024");
            dp->SetParamText("pDataMovFim", "29/02/2024");
            dp->SetParamText("pArqDestinoSINCOMovimento", fw);
            const long antes = MemoriaResidenteMB();
            dp->Rodar();
            mb = std::max(mb, MemoriaResidenteMB() - antes);
            DestruirDM(dp);
        },
        [&] { GerarDireto(raw); });
    QFile a(fw), b(raw);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != qint64(LinhasBench() / 2) * 2 * 68
        || a.readAll() != b.readAll())
        state.SkipWithError("arquivos diferentes");
    state.counters["MB"] = double(mb);
    state.counters["linhas"] = LinhasBench();
}

} // namespace

BENCHMARK(BM_SincoMovimento)->Unit(benchmark::kMillisecond)->Iterations(1);
