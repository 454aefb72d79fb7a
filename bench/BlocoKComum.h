#pragma once
// What the Bloco K register cases share: the products they type, the selection of company
// 1, branch 1 and (for the records of a competence) June 2024, a count read on the C
// interface, and the move of a master register over its rows with its detail following.
#include "BenchComum.h"
#include "Bibliotecas.h"
#include "DMClientDataSet.h"

// PRODUTO of company 1 holds the products 1 to `n` (types 0 and 10, which every Bloco K
// record accepts), inside the caller's transaction.
inline void InserirProdutosBlocoK(sqlite3 *db, int n)
{
    sqlite3_stmt *p = PrepararSqlite(db, "insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, "
                                         "DESCRPRODUTO, INDICADORTIPO) values (1, ?, 'REF-' || ?, 'Produto', ?)");
    for (int i = 1; i <= n; ++i) {
        sqlite3_bind_int(p, 1, i);
        sqlite3_bind_int(p, 2, i);
        sqlite3_bind_int(p, 3, i % 2 ? 0 : 10);
        PassoSqlite(db, p);
    }
    sqlite3_finalize(p);
}

// Makes `b` current with OrvoCore loaded, company 1 and branch 1 selected and active and,
// when `junho`, the competences of June 2024.
inline void SelecionarBlocoK(TnBancoBench &b, bool junho)
{
    nDMConexao::DefinirAtual(&b.Con());
    TnBibliotecas::Carregar("OrvoCore");
    Selecao().Reset();
    Selecao().GetParams("CodigoEmpresa").SetValue(1);
    Selecao().GetParams("CodigoEstab").SetValue(1);
    if (junho) {
        Selecao().GetParams("DataLctoFis_MENORIGUAL").SetValue(QDate(2024, 6, 1));
        Selecao().GetParams("DataLctoFis_MAIORIGUAL").SetValue(QDate(2024, 6, 30));
    }
    Selecao().Refresh();
    ExternalVar("gCodigoEmpresaAtiva", "1");
}

// The first column of the first row of `sql` on the C interface.
inline qint64 ValorSqlite(sqlite3 *db, const QByteArray &sql)
{
    sqlite3_stmt *n = PrepararSqlite(db, sql.constData());
    sqlite3_step(n);
    const qint64 v = sqlite3_column_int64(n, 0);
    sqlite3_finalize(n);
    return v;
}

// The master register `classe` moved over the June rows of `grande` (a detail table of
// many rows) against the same over `pequeno` (few), its detail following every move with
// `itens` rows each; then, once more on `grande`, the statements on `tabelaDetalhe` are
// counted. Counters: `contador` (the masters moved), `leituras`, `linhas_pequena`,
// `linhas_grande`. Skipped with an error when not `esperados` masters were moved or a move
// read the detail more than once.
inline void MoverMestreBlocoK(benchmark::State &state, TnBancoBench &grande, TnBancoBench &pequeno,
                              const char *classe, const char *tabelaDetalhe, int itens, int esperados,
                              const char *contador)
{
    int leituras = 0;
    int movimentos = 0;
    const auto mover = [&](TnBancoBench &b, bool contar) {
        SelecionarBlocoK(b, true);
        auto *dm = CadastroNovo(QString::fromLatin1(classe));
        const auto percorrer = [&] {
            dm->Abrir();
            TnDMClientDataSet *detalhe = dm->Detalhes().value(0);
            TnClientDataSet &ds = dm->nClientDataSet();
            movimentos = 0;
            for (ds.First(); !ds.Eof(); ds.Next()) {
                if (detalhe->nClientDataSet().RecordCount() != itens)
                    std::abort();
                ++movimentos;
            }
        };
        if (contar)
            leituras = ContarComandos(b.Lite(), tabelaDetalhe, percorrer);
        else
            percorrer();
        DestruirDM(dm);
    };
    Alternar(
        state, {.Medir = [&] { mover(grande, false); }}, {.Medir = [&] { mover(pequeno, false); }},
        [&] {
            grande.Checkpoint();
            pequeno.Checkpoint();
        },
        "razao (grande / pequena) <= 1.2");
    mover(grande, true);
    const QByteArray contarLinhas = QByteArray("select count(*) from ") + tabelaDetalhe;
    state.counters[contador] = movimentos;
    state.counters["leituras"] = leituras;
    state.counters["linhas_pequena"] = double(ValorSqlite(pequeno.Lite(), contarLinhas));
    state.counters["linhas_grande"] = double(ValorSqlite(grande.Lite(), contarLinhas));
    if (movimentos != esperados)
        state.SkipWithError("registros principais percorridos");
    else if (leituras > movimentos + 1)
        state.SkipWithError("mais de uma leitura do detalhe por registro principal");
}
