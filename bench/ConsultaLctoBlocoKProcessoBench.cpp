// The Bloco K query process over ten record families: each family holds ORVO_BENCH_LINHAS
// / 10 masters (100,000) of branch 1 in four months, and the seven families with child
// records five details per master (500,000), over 20,000 products.
//
// BM_ConsultaBlocoKProcesso/sqlite: the process's whole run (parameters, the ten routines
// into datasets of their own, the tabs taking their rows, header bands), against its 17
// statements, bound alike, stepped through the sqlite3 C interface reading every column
// into typed columns (integers, texts, numbers exact to 6 decimals). Target: razao <= 1.5.
// The label gives the plan of the K290 statement filtered by a product: its item EXISTS
// read by the item tables' primary keys.
#include "BenchComum.h"

#include "OrvoConsultaLctoBlocoKFactory_U.h"
#include "OrvoConsultaRotinaBlocoKBase_U.h"

#include <cmath>

namespace {

constexpr int kProdutos = 20000;
constexpr int kMeses = 4;
constexpr int kDetalhes = 5;

int Mestres() { return std::max(1000, LinhasBench() / 10); }

TConsultaLctoSpedBlocoKConfig Config()
{
    TConsultaLctoSpedBlocoKConfig c;
    c.CodigoEmpresa = 1;
    c.CodigoEstab = QStringLiteral("1");
    c.DataInicial = QDate(2024, 1, 1);
    c.DataFinal = QDate(2024, 4, 30);
    return c;
}

QByteArray Iso(const QDate &d) { return d.toString(Qt::ISODate).toLatin1(); }

// Runs `sql` once per row i of `n`, binding what `vincular` binds.
template <class F> void Inserir(sqlite3 *db, const char *sql, int n, F vincular)
{
    sqlite3_stmt *st = PrepararSqlite(db, sql);
    for (int i = 0; i < n; ++i) {
        vincular(st, i);
        PassoSqlite(db, st);
    }
    sqlite3_finalize(st);
}

void BindTexto(sqlite3_stmt *st, int i, const QByteArray &t) { sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT); }

nDMConexao &Banco()
{
    static nDMConexao *con = [] {
        nDMConexao *c = NovoBancoConvertido(QStringLiteral("consultablocok.db"));
        sqlite3 *db = HandleSqlite(*c);
        ExecSqlite(db, "BEGIN IMMEDIATE");
        InserirProdutosEPessoas(db, kProdutos, 1000);
        const int n = Mestres();
        const int porMes = (n + kMeses - 1) / kMeses;
        // Masters spread over the four months, a sequence within each; details on products
        // of their own.
        const auto mes = [porMes](int i) { return Iso(QDate(2024, 1 + i / porMes, 1)); };
        const auto seq = [porMes](int i) { return i % porMes + 1; };
        const auto produto = [](int i) { return i % kProdutos + 1; };
        const auto item = [](int i, int j) { return (i * kDetalhes + j) % kProdutos + 1; };
        Inserir(db, "insert into SPEDFISK200 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTO, INDICADORESTOQUE, "
                    "SEQ, QUANTIDADE, CODIGOPESSOA) values (1, 1, ?, ?, ?, ?, ?, ?)",
                n, [&](sqlite3_stmt *st, int i) {
                    const int k = seq(i) - 1;
                    BindTexto(st, 1, mes(i));
                    sqlite3_bind_int(st, 2, k % kProdutos + 1);
                    sqlite3_bind_int(st, 3, (k / kProdutos) % 3);
                    sqlite3_bind_int(st, 4, k / (3 * kProdutos) + 1);
                    sqlite3_bind_double(st, 5, 1 + i % 97 * 0.125);
                    sqlite3_bind_int(st, 6, i % 1000 + 1);
                });
        const auto mestreEDetalhe = [&](const char *mestre, const char *detalhe, auto vincularMestre, auto vincularDetalhe) {
            Inserir(db, mestre, n, vincularMestre);
            sqlite3_stmt *st = PrepararSqlite(db, detalhe);
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < kDetalhes; ++j) {
                    vincularDetalhe(st, i, j);
                    PassoSqlite(db, st);
                }
            sqlite3_finalize(st);
        };
        mestreEDetalhe(
            "insert into SPEDFISK210 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK210, CODIGOPRODUTO, QUANTIDADE, "
            "CODIGODOCOS) values (1, 1, ?, ?, ?, 2, 'OS' || ?)",
            "insert into SPEDFISK215 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK210, CODIGOPRODUTO, QUANTIDADE) "
            "values (1, 1, ?, ?, ?, 1)",
            [&](sqlite3_stmt *st, int i) {
                BindTexto(st, 1, mes(i));
                sqlite3_bind_int(st, 2, seq(i));
                sqlite3_bind_int(st, 3, produto(i));
                sqlite3_bind_int(st, 4, i);
            },
            [&](sqlite3_stmt *st, int i, int j) {
                BindTexto(st, 1, mes(i));
                sqlite3_bind_int(st, 2, seq(i));
                sqlite3_bind_int(st, 3, item(i, j));
            });
        Inserir(db, "insert into SPEDFISK220 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOPRODUTOORI, "
                    "CODIGOPRODUTODEST, QUANTIDADE, QUANTIDADEDEST) values (1, 1, ?, ?, ?, 1, 1)",
                n, [&](sqlite3_stmt *st, int i) {
                    const int k = seq(i) - 1;
                    BindTexto(st, 1, mes(i));
                    sqlite3_bind_int(st, 2, k % kProdutos + 1);
                    sqlite3_bind_int(st, 3, kProdutos - k / kProdutos);
                });
        mestreEDetalhe(
            "insert into SPEDFISK230 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOORDEMPRODUCAO, CODIGOPRODUTO, "
            "QUANTIDADE) values (1, 1, ?, 'OP' || ?, ?, 1.5)",
            "insert into SPEDFISK235 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, CODIGOORDEMPRODUCAO, CODIGOPRODUTO, "
            "DATASAIDA, CODIGOINSUMO, QUANTIDADE, CODIGOINSUMOSUBSTITUIDO) values (1, 1, ?, 'OP' || ?, ?, ?, ?, 0.5, ?)",
            [&](sqlite3_stmt *st, int i) {
                BindTexto(st, 1, mes(i));
                sqlite3_bind_int(st, 2, i);
                sqlite3_bind_int(st, 3, produto(i));
            },
            [&](sqlite3_stmt *st, int i, int j) {
                BindTexto(st, 1, mes(i));
                sqlite3_bind_int(st, 2, i);
                sqlite3_bind_int(st, 3, produto(i));
                BindTexto(st, 4, mes(i));
                sqlite3_bind_int(st, 5, item(i, j));
                if (j == 0)
                    sqlite3_bind_int(st, 6, item(i, 4) % kProdutos + 1);
                else
                    sqlite3_bind_null(st, 6);
            });
        // K250 is dated by its production date: a day per 20,000 products.
        mestreEDetalhe(
            "insert into SPEDFISK250 (CODIGOEMPRESA, CODIGOESTAB, DATAPRODUCAO, CODIGOPRODUTO, QUANTIDADE) "
            "values (1, 1, ?, ?, 2)",
            "insert into SPEDFISK255 (CODIGOEMPRESA, CODIGOESTAB, DATAPRODUCAO, CODIGOPRODUTO, DATACONSUMO, "
            "CODIGOINSUMO, QUANTIDADE) values (1, 1, ?, ?, ?, ?, 1)",
            [&](sqlite3_stmt *st, int i) {
                BindTexto(st, 1, Iso(QDate(2024, 1, 1).addDays(i / kProdutos)));
                sqlite3_bind_int(st, 2, produto(i));
            },
            [&](sqlite3_stmt *st, int i, int j) {
                BindTexto(st, 1, Iso(QDate(2024, 1, 1).addDays(i / kProdutos)));
                sqlite3_bind_int(st, 2, produto(i));
                BindTexto(st, 3, Iso(QDate(2024, 1, 1).addDays(i / kProdutos)));
                sqlite3_bind_int(st, 4, item(i, j));
            });
        for (const char *familia : {"260", "270"}) {
            const bool k260 = familia[1] == '6';
            const QByteArray mestre =
                k260 ? "insert into SPEDFISK260 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK260, CODIGOPRODUTO, "
                       "DATASAIDA, QUANTIDADESAI, CODIGOOPOS) values (1, 1, ?, ?, ?, ?, 1, 'OS' || ?)"
                     : "insert into SPEDFISK270 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK270, CODIGOPRODUTO, "
                       "DATAINIAPURACAO, QTDCORRECAOPOS, CODIGOOPOS) values (1, 1, ?, ?, ?, ?, 1, 'OS' || ?)";
            const QByteArray detalhe =
                k260 ? "insert into SPEDFISK265 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK260, CODIGOPRODUTO, "
                       "QTDCONSUMIDA) values (1, 1, ?, ?, ?, 1)"
                     : "insert into SPEDFISK275 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK270, CODIGOPRODUTO, "
                       "QTDCORRECAOPOS) values (1, 1, ?, ?, ?, 1)";
            mestreEDetalhe(
                mestre.constData(), detalhe.constData(),
                [&](sqlite3_stmt *st, int i) {
                    BindTexto(st, 1, mes(i));
                    sqlite3_bind_int(st, 2, seq(i));
                    sqlite3_bind_int(st, 3, produto(i));
                    BindTexto(st, 4, mes(i));
                    sqlite3_bind_int(st, 5, i);
                },
                [&](sqlite3_stmt *st, int i, int j) {
                    BindTexto(st, 1, mes(i));
                    sqlite3_bind_int(st, 2, seq(i));
                    sqlite3_bind_int(st, 3, item(i, j));
                });
        }
        Inserir(db, "insert into SPEDFISK280 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK280, DATAESTOQUE, "
                    "INDICADORESTOQUE, CODIGOPRODUTO, QTDCORRECAOPOS) values (1, 1, ?, ?, ?, ?, ?, 1)",
                n, [&](sqlite3_stmt *st, int i) {
                    const int k = seq(i) - 1;
                    BindTexto(st, 1, mes(i));
                    sqlite3_bind_int(st, 2, seq(i));
                    BindTexto(st, 3, mes(i));
                    sqlite3_bind_int(st, 4, k / kProdutos % 3);
                    sqlite3_bind_int(st, 5, k % kProdutos + 1);
                });
        // Joint productions: three produced items and two consumed components each.
        Inserir(db, "insert into SPEDFISK290 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, "
                    "DATAINICIALORDEMPRODUCAO, CODIGOOPOS) values (1, 1, ?, ?, ?, 'OPC' || ?)",
                n, [&](sqlite3_stmt *st, int i) {
                    BindTexto(st, 1, mes(i));
                    sqlite3_bind_int(st, 2, seq(i));
                    BindTexto(st, 3, mes(i));
                    sqlite3_bind_int(st, 4, i);
                });
        // K300: the recognition dates of 120 days, each under as many competences as needed.
        const int competencias = (n + 119) / 120;
        Inserir(db, "insert into SPEDFISK300 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, DATARECONHECPROD) "
                    "values (1, 1, ?, ?)",
                n, [&](sqlite3_stmt *st, int i) {
                    BindTexto(st, 1, Iso(QDate(2020, 1, 1).addDays(i % competencias)));
                    BindTexto(st, 2, Iso(QDate(2024, 1, 1).addDays(i / competencias)));
                });
        for (const char *tabela : {"SPEDFISK291", "SPEDFISK292", "SPEDFISK301", "SPEDFISK302"}) {
            const bool k29 = tabela[9] == '9';
            const bool produzido = tabela[10] == '1';
            const QByteArray sql =
                QByteArray("insert into ") + tabela
                + (k29 ? QByteArray(" (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, CODIGOPRODUTO, ")
                             + (produzido ? "QTDPRODUCAOACABADA" : "QTDCONSUMIDA") + ") values (1, 1, ?, ?, ?, 1.25)"
                       : QByteArray(" (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, DATARECONHECPROD, CODIGOPRODUTO, "
                                    "QTDE) values (1, 1, ?, ?, ?, 1.25)"));
            sqlite3_stmt *st = PrepararSqlite(db, sql.constData());
            for (int i = 0; i < n; ++i)
                for (int j = produzido ? 0 : 3; j < (produzido ? 3 : kDetalhes); ++j) {
                    if (k29) {
                        BindTexto(st, 1, mes(i));
                        sqlite3_bind_int(st, 2, seq(i));
                    } else {
                        BindTexto(st, 1, Iso(QDate(2020, 1, 1).addDays(i % competencias)));
                        BindTexto(st, 2, Iso(QDate(2024, 1, 1).addDays(i / competencias)));
                    }
                    sqlite3_bind_int(st, 3, item(i, j));
                    PassoSqlite(db, st);
                }
            sqlite3_finalize(st);
        }
        ExecSqlite(db, "COMMIT");
        ExecSqlite(db, "ANALYZE");
        return c;
    }();
    return *con;
}

// The 17 statements of a run, in the process's order.
std::vector<TnSQLBlocoK> Instrucoes(const TConsultaLctoSpedBlocoKConfig &cfg)
{
    std::vector<TnSQLBlocoK> r;
    for (quint16 n : {200, 210, 220, 230, 250, 260, 270, 280, 290, 300}) {
        auto rotina = ConsultaLctoBlocoKFactory()->PegarRotina(n);
        rotina->SetConfig(cfg);
        auto &base = dynamic_cast<TOrvoConsultaRotinaBlocoKBase &>(*rotina);
        r.push_back(base.SQLMestre());
        if (base.TemDetalhe())
            r.push_back(base.SQLDetalhe());
    }
    return r;
}

void BM_ConsultaBlocoKProcesso(benchmark::State &state)
{
    nDMConexao &con = Banco();
    SelecionarEstab1(con);
    sqlite3 *db = HandleSqlite(con);
    static TnUsuarioBench usuario;
    const std::vector<TnSQLBlocoK> instrucoes = Instrucoes(Config());
    // The K290 statement with a product filter: the items read by their keys.
    TConsultaLctoSpedBlocoKConfig comProduto = Config();
    comProduto.CodigoProduto = QStringLiteral("10");
    const std::vector<TnSQLBlocoK> filtradas = Instrucoes(comProduto);
    static std::string plano;
    plano = PlanoSqlite(db, filtradas[13].Texto.toUtf8()).toStdString();
    state.SetLabel(plano);

    auto *dp = qobject_cast<TnDMPowerParamTab *>(CriarDM(QStringLiteral("TOrvoDPConsultaLctoSpedBlocoK")));
    if (!dp) {
        state.SkipWithError("processo não registrado");
        return;
    }
    qint64 linhasFw = 0, linhasBruto = 0;
    const auto framework = [&] {
        dp->SetParamText("pCodigoEstab", "1");
        dp->SetParamText("pDataInicial", "01/01/2024");
        dp->SetParamText("pDataFinal", "30/04/2024");
        dp->Rodar();
        linhasFw = 0;
        for (int i = 0; i < dp->QtdAbas(); ++i) {
            linhasFw += dp->Aba(i).Dados.RecordCount();
            if (TnClientDataSet *d = dp->Aba(i).Detalhe()) {
                d->CancelRange();
                linhasFw += d->RecordCount();
            }
        }
    };
    std::vector<QString> textos;
    std::vector<qint64> inteiros;
    const auto direto = [&] {
        textos.clear();
        inteiros.clear();
        linhasBruto = 0;
        ExecSqlite(db, "BEGIN");
        for (const TnSQLBlocoK &s : instrucoes) {
            sqlite3_stmt *st = PrepararSqlite(db, s.Texto.toUtf8().constData());
            for (int i = 0; i < s.Valores.size(); ++i) {
                const QVariant &v = s.Valores[i];
                if (v.metaType().id() == QMetaType::QDate) {
                    const QByteArray d = Iso(v.toDate());
                    sqlite3_bind_text(st, i + 1, d.constData(), int(d.size()), SQLITE_TRANSIENT);
                } else {
                    sqlite3_bind_int64(st, i + 1, v.toLongLong());
                }
            }
            const int colunas = sqlite3_column_count(st);
            while (sqlite3_step(st) == SQLITE_ROW) {
                ++linhasBruto;
                for (int c = 0; c < colunas; ++c)
                    switch (sqlite3_column_type(st, c)) {
                    case SQLITE_INTEGER: inteiros.push_back(sqlite3_column_int64(st, c)); break;
                    case SQLITE_FLOAT: inteiros.push_back(std::llround(sqlite3_column_double(st, c) * 1e6)); break;
                    case SQLITE_TEXT:
                        textos.push_back(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                                           sqlite3_column_bytes(st, c)));
                        break;
                    default: inteiros.push_back(-1); break;
                    }
            }
            sqlite3_finalize(st);
        }
        ExecSqlite(db, "COMMIT");
    };
    Alternar(
        state, {.Medir = framework},
        {.Medir = direto,
         .Depois =
             [&] {
                 std::vector<QString>().swap(textos);
                 std::vector<qint64>().swap(inteiros);
             }},
        [&] { sqlite3_exec(db, "PRAGMA wal_checkpoint(RESTART)", nullptr, nullptr, nullptr); });
    DestruirDM(dp);
    state.counters["linhas"] = double(linhasFw);
    if (linhasFw != linhasBruto || linhasFw == 0)
        state.SkipWithError("os dois lados leram linhas diferentes");
}

} // namespace

BENCHMARK(BM_ConsultaBlocoKProcesso)
    ->Name("BM_ConsultaBlocoKProcesso/sqlite")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
