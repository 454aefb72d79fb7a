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
//
// BM_ConsultaBlocoKK290Produto/pg: the same K290 orders (ORVO_BENCH_LINHAS / 10, three
// produced items and two consumed components each, over 20,000 products) on the server, and
// the K290 routine filtered by a product (the master statement with its item EXISTS, the
// load into the target and the header bands) against the same three statements, bound alike
// (values as text, typed by the server), read through libpq in binary, one row at a time,
// into typed columns. The label says how each item EXISTS reads its table (EXPLAIN of the
// statement bound as the routine binds it: the scan node, whether it is the primary key's
// index, once per order or once hashed) and gives the plan. Beside it, `sonda_min_ms` and
// `sonda_med_ms`: the same statement with each EXISTS's correlation moved into its join's
// condition, which the server cannot hash and so probes the item tables' primary keys once
// per order (its reading in the label too), stepped the same way on libpq.
#include "BenchComum.h"
#include "TextoSQL.h"

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

// ---- on the server

// The K290 orders of Banco() on a schema of the server, written by the server itself.
void GerarK290Pg(nDMConexao &con)
{
    ConverterBanco(con);
    const QString n = QString::number(Mestres());
    const QString porMes = QString::number((Mestres() + kMeses - 1) / kMeses);
    // Order i: its month and sequence as mes(i) and seq(i) give them; its item j the product
    // item(i, j) gives.
    const QString mes = QStringLiteral("cast(date '2024-01-01' + (i / ") + porMes + QStringLiteral(") * interval '1 month' as date)");
    const QString seq = QStringLiteral("i % ") + porMes + QStringLiteral(" + 1");
    con.Executar(QStringLiteral("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) "
                                "select 1, i, 'Produto ' || i from generate_series(1, %1) i")
                     .arg(kProdutos));
    con.Executar(QStringLiteral("insert into SPEDFISK290 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, "
                                "DATAINICIALORDEMPRODUCAO, CODIGOOPOS) select 1, 1, %1, %2, %1, 'OPC' || i "
                                "from generate_series(0, %3 - 1) i")
                     .arg(mes, seq, n));
    // The orders' statistics first: the check of each item's order is planned with them.
    con.Executar("ANALYZE SPEDFISK290");
    for (const char *tabela : {"SPEDFISK291", "SPEDFISK292"}) {
        const bool produzido = tabela[10] == '1';
        con.Executar(QStringLiteral("insert into %1 (CODIGOEMPRESA, CODIGOESTAB, DATALCTOFIS, SEQK290, CODIGOPRODUTO, %2) "
                                    "select 1, 1, %3, %4, (i * %5 + j) % %6 + 1, 1.25 "
                                    "from generate_series(0, %7 - 1) i, generate_series(%8, %9) j")
                         .arg(QString::fromLatin1(tabela),
                              QString::fromLatin1(produzido ? "QTDPRODUCAOACABADA" : "QTDCONSUMIDA"), mes, seq)
                         .arg(kDetalhes)
                         .arg(kProdutos)
                         .arg(n)
                         .arg(produzido ? 0 : 3)
                         .arg(produzido ? 2 : kDetalhes - 1));
    }
    // Only these tables: a bare ANALYZE would go through every schema of the server.
    con.Executar("ANALYZE PRODUTO, SPEDFISK291, SPEDFISK292");
}

// The values of a statement as the framework sends them: texts the server types.
struct TnValoresTexto {
    std::vector<std::string> Textos;
    std::vector<const char *> Ponteiros;
    explicit TnValoresTexto(const QVariantList &valores)
    {
        for (const QVariant &v : valores)
            Textos.push_back(v.metaType().id() == QMetaType::QDate ? Iso(v.toDate()).toStdString()
                                                                   : std::to_string(v.toLongLong()));
        for (const std::string &t : Textos)
            Ponteiros.push_back(t.c_str());
    }
};

// The plan the server makes for `sql` with those values, one line per node.
QStringList PlanoPg(PGconn *c, const QByteArray &sql, const TnValoresTexto &v)
{
    PGresult *r = PQexecParams(c, ("EXPLAIN " + sql).constData(), int(v.Ponteiros.size()), nullptr,
                               v.Ponteiros.data(), nullptr, nullptr, 0);
    ChecarPg(c, r, "explain");
    QStringList linhas;
    for (int i = 0; i < PQntuples(r); ++i)
        linhas << QString::fromUtf8(PQgetvalue(r, i, 0)).trimmed();
    PQclear(r);
    return linhas;
}

// The name of the index of `tabela`'s primary key.
QString IndiceDaChavePg(PGconn *c, const char *tabela)
{
    const char *v[] = {tabela};
    PGresult *r = PQexecParams(c, "select i.relname from pg_index x join pg_class i on i.oid = x.indexrelid "
                                  "where x.indrelid = to_regclass($1) and x.indisprimary",
                               1, nullptr, v, nullptr, nullptr, 0);
    ChecarPg(c, r, "chave");
    const QString nome = PQntuples(r) ? QString::fromUtf8(PQgetvalue(r, 0, 0)) : QString();
    PQclear(r);
    return nome;
}

// How `plano` reads each K290 item table: its scan node, whether that is the primary key's
// index, and whether its EXISTS runs once per order or once for the statement (hashed).
QString LeituraDosItensPg(PGconn *c, const QStringList &plano)
{
    const QString filtro = plano.filter(QStringLiteral("Filter: ")).value(0);
    QStringList r;
    for (const char *tabela : {"spedfisk291", "spedfisk292"}) {
        QString no = QStringLiteral("?"), subplano;
        for (const QString &l : plano) {
            if (l.startsWith(QLatin1String("SubPlan ")))
                subplano = l;
            if (l.contains(QStringLiteral(" on ") + QLatin1String(tabela) + QLatin1Char(' '))) {
                no = l.left(l.indexOf(QStringLiteral(" on "))).remove(QStringLiteral("->")).trimmed();
                break;
            }
        }
        const bool chave = no.endsWith(QStringLiteral(" using ") + IndiceDaChavePg(c, tabela));
        const bool hash = !subplano.isEmpty() && filtro.contains(QStringLiteral("hashed ") + subplano + QLatin1Char(')'));
        r << QString::fromLatin1(tabela).toUpper() + QStringLiteral(" ") + no
                 + (chave ? QStringLiteral(" (chave primária") : QStringLiteral(" (NÃO pela chave primária"))
                 + (hash ? QStringLiteral(", uma vez: hashed)") : QStringLiteral(", por ordem)"));
    }
    return r.join(QStringLiteral(", "));
}

// Sends `sql` with `v` and reads its rows one at a time in binary: integers, dates (days) and
// texts into typed columns.
qint64 LerPg(PGconn *c, const char *sql, const TnValoresTexto &v, std::vector<qint64> &inteiros,
             std::vector<QString> &textos)
{
    if (!PQsendQueryParams(c, sql, int(v.Ponteiros.size()), nullptr, v.Ponteiros.data(), nullptr, nullptr, 1))
        ChecarPg(c, nullptr, "send");
    PQsetSingleRowMode(c);
    qint64 linhas = 0;
    while (PGresult *r = PQgetResult(c)) {
        if (PQresultStatus(r) == PGRES_SINGLE_TUPLE) {
            ++linhas;
            for (int k = 0; k < PQnfields(r); ++k) {
                const char *p = PQgetvalue(r, 0, k);
                const int n = PQgetlength(r, 0, k);
                if (PQgetisnull(r, 0, k)) {
                    inteiros.push_back(-1);
                    continue;
                }
                switch (PQftype(r, k)) {
                case 21: case 23: case 20: case 1082: case 1114: {
                    quint64 x = 0;
                    for (int b = 0; b < n; ++b)
                        x = (x << 8) | quint8(p[b]);
                    inteiros.push_back(qint64(x));
                    break;
                }
                default: textos.push_back(QString::fromUtf8(p, n)); break;
                }
            }
        } else {
            ChecarPg(c, r, sql);
        }
        PQclear(r);
    }
    return linhas;
}

void BM_ConsultaBlocoKK290ProdutoPg(benchmark::State &state)
{
    TnBancoBench banco(tcPostgreSQL, QStringLiteral("consultak290"));
    GerarK290Pg(banco.Con());
    SelecionarEstab1(banco.Con());
    static TnUsuarioBench usuario;
    PGconn *pg = banco.Pg();
    TConsultaLctoSpedBlocoKConfig cfg = Config();
    cfg.CodigoProduto = QStringLiteral("10");
    const auto rotina = [&cfg] {
        auto r = ConsultaLctoBlocoKFactory()->PegarRotina(290);
        r->SetConfig(cfg);
        return r;
    };
    const TnSQLBlocoK sql = [&] {
        auto r = rotina();
        return dynamic_cast<TOrvoConsultaRotinaBlocoKBase &>(*r).SQLMestre();
    }();
    const QByteArray texto = NumerarParametros(sql.Texto).toUtf8();
    const TnValoresTexto valores(sql.Valores);

    const QStringList plano = PlanoPg(pg, texto, valores);
    // The same statement with each EXISTS's correlation in its join's condition: the server
    // cannot hash such a subquery and probes the item tables' primary keys once per order.
    QString sondaTexto = QString::fromUtf8(texto);
    sondaTexto.replace(QStringLiteral("IP.CODIGOEMPRESA=I.CODIGOEMPRESA where I.CODIGOEMPRESA=K.CODIGOEMPRESA and "
                                      "I.CODIGOESTAB=K.CODIGOESTAB and I.DATALCTOFIS=K.DATALCTOFIS and I.SEQK290=K.SEQK290 and "),
                       QStringLiteral("IP.CODIGOEMPRESA=I.CODIGOEMPRESA and I.CODIGOEMPRESA=K.CODIGOEMPRESA and "
                                      "I.CODIGOESTAB=K.CODIGOESTAB and I.DATALCTOFIS=K.DATALCTOFIS and I.SEQK290=K.SEQK290 where "));
    const QByteArray sonda = sondaTexto.toUtf8();
    const QStringList planoSonda = PlanoPg(pg, sonda, valores);
    const QString rotulo = QStringLiteral("rotina: ") + LeituraDosItensPg(pg, plano) + QStringLiteral(" | correlação na junção: ")
                           + LeituraDosItensPg(pg, planoSonda) + QStringLiteral(" | plano: ") + plano.join(QStringLiteral("; "));
    TnTempos sondaMs;
    std::vector<qint64> inteirosSonda;
    std::vector<QString> textosSonda;
    qint64 linhasSonda = 0;
    for (int r = 0; r < RodadasBench(); ++r) {
        banco.Checkpoint();
        sondaMs.Ms.push_back(MedirMs([&] {
            inteirosSonda.clear();
            textosSonda.clear();
            linhasSonda = LerPg(pg, sonda.constData(), valores, inteirosSonda, textosSonda);
        }));
    }

    TnClientDataSet cds;
    qint64 linhasFw = 0, linhasBruto = 0;
    const auto framework = [&] {
        rotina()->SetCdsMestre(&cds).Relacionar();
        linhasFw = cds.RecordCount();
    };
    // The bands' reads: the active branch by its key and the server's time.
    const TnValoresTexto estab(QVariantList{1, 1});
    const TnValoresTexto nada{QVariantList{}};
    std::vector<qint64> inteiros;
    std::vector<QString> textos;
    const auto direto = [&] {
        inteiros.clear();
        textos.clear();
        ExecPg(pg, "BEGIN");
        linhasBruto = LerPg(pg, texto.constData(), valores, inteiros, textos);
        LerPg(pg, "select CODIGOEMPRESA, NOMEESTAB, INSCRFEDERAL from ESTAB where CODIGOEMPRESA = $1 and CODIGOESTAB = $2",
              estab, inteiros, textos);
        LerPg(pg, "select cast(localtimestamp as timestamp(3))", nada, inteiros, textos);
        ExecPg(pg, "COMMIT");
    };
    Alternar(state, {.Medir = framework}, {.Medir = direto}, [&] { banco.Checkpoint(); });
    static std::string rotuloTexto; // the benchmark keeps the pointer
    rotuloTexto = rotulo.toStdString();
    state.SetLabel(rotuloTexto);
    state.counters["sonda_min_ms"] = sondaMs.Min();
    state.counters["sonda_med_ms"] = sondaMs.Mediana();
    state.counters["linhas"] = double(linhasFw);
    state.counters["ordens"] = double(Mestres());
    if (linhasFw != linhasBruto || linhasFw != linhasSonda || linhasFw == 0)
        state.SkipWithError("os lados leram linhas diferentes");
    cds.Close();
    nDMConexao::DefinirAtual(nullptr);
}

int Registrar()
{
    if (TemPostgres())
        benchmark::RegisterBenchmark("BM_ConsultaBlocoKK290Produto/pg", BM_ConsultaBlocoKK290ProdutoPg)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    return 0;
}
const int gRegistro = Registrar();

} // namespace

BENCHMARK(BM_ConsultaBlocoKProcesso)
    ->Name("BM_ConsultaBlocoKProcesso/sqlite")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
