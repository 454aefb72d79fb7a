#pragma once
// A register over SPEDFISK200 for the cases of range selection keys and lookup result
// columns: its rows are read between the bounds "DataLctoFis_MENORIGUAL" and
// "DataLctoFis_MAIORIGUAL" of the selection, and its product shows the product
// consultation's reference and description beside the code. TTesteFaixaK200 is the page
// register, TTesteFaixaK200Grade the same in a grid.
#include "Conexao.h"
#include "DMClientDataSet.h"

#include <QString>

namespace teste {

inline std::vector<TnDefCampo> CamposFaixaK200()
{
    return {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true, .Def = {.Chave = "CODIGOEMPRESA"}},
            {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true, .Def = {.Chave = "CODIGOESTAB"}},
            {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true, .Def = {.Chave = "DICDATA"}},
            {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Requerido = true,
             .Def = {.Chave = "CODIGOPRODUTO", .CamposLink = "CODIGOEMPRESA;CODIGOPRODUTO",
                     .ClasseLookup = "UlmarDCProduto", .ResultadoLookup = "REFERDESCRPRODUTO;DESCRPRODUTO"}},
            {.Nome = "INDICADORESTOQUE", .Tipo = ftSmallint, .Requerido = true, .Def = {.Chave = "INDICADORESTOQUE"}},
            {.Nome = "SEQ", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.Chave = "SEQSMALLINT", .SequenciaPor = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS"}},
            {.Nome = "QUANTIDADE", .Tipo = ftBCD, .Precisao = 18, .Escala = 3, .Def = {.Chave = "DICVALOR3"}},
            // A code kept as text, as a user typed it: its lookup reads only whole numbers.
            {.Nome = "CODIGODIGITADO", .Tipo = ftString, .Tamanho = 20, .Kind = fkInternalCalc,
             .Def = {.Visivel = false, .CamposLink = "CODIGOEMPRESA;CODIGODIGITADO", .ClasseLookup = "UlmarDCProduto",
                     .ResultadoLookup = "DESCRPRODUTO"}}};
}

inline TnDefCadastro DeclaracaoFaixaK200(TnTipoForm tipo)
{
    return {.SQL = "Select t_t.CODIGOEMPRESA,t_t.CODIGOESTAB,t_t.DATALCTOFIS,t_t.CODIGOPRODUTO,t_t.INDICADORESTOQUE,"
                   "t_t.SEQ,t_t.QUANTIDADE from SPEDFISK200 t_t ORDER BY t_t.CODIGOEMPRESA,t_t.CODIGOESTAB,"
                   "t_t.DATALCTOFIS,t_t.CODIGOPRODUTO,t_t.INDICADORESTOQUE,t_t.SEQ",
            .Tabela = "SPEDFISK200",
            .Campos = CamposFaixaK200(),
            .Chave = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTO;INDICADORESTOQUE;SEQ",
            .Caption = "Estoque Escriturado",
            .TipoForm = tipo};
}

inline const TnDefCadastro kFaixaK200 = DeclaracaoFaixaK200(ntfCadPage);
inline const TnDefCadastro kFaixaK200Grade = DeclaracaoFaixaK200(ntfCadGrid);

class TTesteFaixaK200 : public TnDMClientDataSet {
public:
    TTesteFaixaK200() : TnDMClientDataSet(kFaixaK200) {}
    static QString PegarVerificaSelecao()
    {
        return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DataLctoFis_MENORIGUAL;DataLctoFis_MAIORIGUAL");
    }
    static int PegarTipoObjeto() { return 1; }
};

class TTesteFaixaK200Grade : public TnDMClientDataSet {
public:
    TTesteFaixaK200Grade() : TnDMClientDataSet(kFaixaK200Grade) {}
    static QString PegarVerificaSelecao() { return TTesteFaixaK200::PegarVerificaSelecao(); }
    static int PegarTipoObjeto() { return 1; }
};

// The products the register's rows name: 10 with a reference, 11 without one (group 1).
inline void GravarProdutosFaixa(nDMConexao &con)
{
    con.Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, TIPOGRUPOPRODUTO) values (1, 1, 2)");
    con.Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, CODIGOGRUPOPRODUTO, "
                 "DESCRPRODUTO, UNIDADEMEDIDA) values (1, 10, 'REF-10', 1, 'Parafuso', 'UN'), "
                 "(1, 11, null, 1, 'Porca', 'UN')");
}

} // namespace teste
