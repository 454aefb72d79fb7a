// Declaration faults that the schema check must catch before any statement runs.
#include "Esquema.h"
#include "EsquemaTabelas.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TnColunaEsq Col(const char *nome, TFieldType tipo, bool naoNulo)
{
    TnColunaEsq c;
    c.Nome = nome;
    c.Tipo = tipo;
    c.NaoNulo = naoNulo;
    return c;
}

TnEsquema MestreDetalhe()
{
    return {
        {.Nome = "MESTRE", .Colunas = {Col("ID", ftInteger, true), Col("COD", ftSmallint, true)}, .ChavePrimaria = "ID;COD"},
        {.Nome = "DETALHE",
         .Colunas = {Col("ID", ftInteger, true), Col("COD", ftSmallint, true), Col("SEQ", ftSmallint, true),
                     Col("OBS", ftInteger, false)},
         .ChavePrimaria = "ID;COD;SEQ",
         .Unicas = {{.Nome = "UNQ_DETALHE", .Colunas = "ID;OBS"}},
         .Estrangeiras = {{.Nome = "FK_DETALHE_MESTRE", .Colunas = "ID;COD", .TabelaRef = "MESTRE",
                           .ColunasRef = "ID;COD", .AoExcluir = aeCascata}}},
    };
}

TEST(Esquema, DeclaracoesErradasSaoRecusadas)
{
    EXPECT_NO_THROW(ValidarEsquema(EsquemaInv()));
    EXPECT_NO_THROW(ValidarEsquema(MestreDetalhe()));
    const std::vector<std::function<void(TnEsquema &)>> erros = {
        [](TnEsquema &e) { e[1].Estrangeiras[0].ColunasRef = "ID"; },          // not the whole key
        [](TnEsquema &e) { e[1].Estrangeiras[0].ColunasRef = "COD;ID"; },      // key out of order
        [](TnEsquema &e) { e[1].Colunas[1].Tipo = ftInteger; },                // smallint key, integer reference
        [](TnEsquema &e) { e[1].Estrangeiras[0].TabelaRef = "OUTRA"; },
        [](TnEsquema &e) { e[0].Colunas[1].NaoNulo = false; },                 // SQLite would take NULL in a key
        [](TnEsquema &e) { e[1].Unicas[0].Colunas = "ID;OBSERVACAO"; },
        [](TnEsquema &e) { e[1].Unicas[0].Nome = "PK_MESTRE"; },               // names share one namespace
        [](TnEsquema &e) { e[1].Colunas[3].Nome = "SEQ"; },
        [](TnEsquema &e) { e[1].Colunas[3].Tipo = ftString; },                 // text without a length
        [](TnEsquema &e) { e[1].Colunas[3].Padrao = "0; drop table MESTRE"; },
        [](TnEsquema &e) { e[1].Nome = "detalhe"; },
    };
    for (size_t i = 0; i < erros.size(); ++i) {
        TnEsquema e = MestreDetalhe();
        erros[i](e);
        EXPECT_THROW(ValidarEsquema(e), Exception) << "caso " << i;
    }
}

TEST(Esquema, ColunaAcrescentadaNaoPodeQuebrarAsLinhasExistentes)
{
    TnEsquema e = MestreDetalhe();
    TnTabelaEsq &t = e[1];
    TnColunaEsq obrigatoria = Col("QTDE", ftFloat, true);
    t.Colunas.push_back(obrigatoria);
    EXPECT_THROW(DDLAdicionarColuna(t, "QTDE", tcSQLite), Exception); // existing rows would have no value
    t.Colunas.back().Padrao = "0";
    EXPECT_EQ(DDLAdicionarColuna(t, "QTDE", tcPostgreSQL),
              QStringList{"ALTER TABLE DETALHE ADD COLUMN QTDE DOUBLE PRECISION DEFAULT 0 NOT NULL"});
    EXPECT_THROW(DDLAdicionarColuna(t, "OBS", tcSQLite), Exception);  // part of a unique rule
    EXPECT_THROW(DDLAdicionarColuna(t, "SEQ", tcPostgreSQL), Exception); // part of the key
}

} // namespace
