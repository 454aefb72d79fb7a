#pragma once
// Many entries of company 1 written by the database itself (a few statements, whatever the
// count), for the cases that count the exchanges a process has with the server.
#include "Conexao.h"

#include <QDate>
#include <QString>

inline QString SerieAte(int n)
{
    return QStringLiteral("with recursive N(I) as (select 1 union all select I + 1 from N where I < %1) ").arg(n);
}

// `n` products of company 1, codes 100001..100000 + n.
inline void MuitosProdutos(nDMConexao &con, int n)
{
    con.Executar(SerieAte(n) + QStringLiteral("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) "
                                              "select 1, 100000 + I, 'Produto' from N"));
}

// `n` products (codes 100001..100000 + n) with an entry each at `data` in branch `estab` (quantity the
// code less 100000, cost 2.5), a property line (SEQ 1) and a tax-situation line (CST 0) under it.
// `comProdutos` false: the products exist already.
inline void MuitosLancamentos(nDMConexao &con, int estab, const QDate &data, int n, bool comProdutos = true)
{
    const QString serie = SerieAte(n);
    const QString dia = QLatin1Char('\'') + data.toString(Qt::ISODate) + QLatin1Char('\'');
    if (comProdutos)
        MuitosProdutos(con, n);
    con.Executar(serie + QStringLiteral("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                                        "MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, VALORIR, DATAHORALCTOINV, "
                                        "CODIGOUSUARIO, ORIGEMDADO) select 1, %1, %2, 100000 + I, 1, I, 2.5, 0, "
                                        "'2024-01-01 08:00:00', 1, 2 from N")
                             .arg(estab)
                             .arg(dia));
    con.Executar(serie + QStringLiteral("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, "
                                        "CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, "
                                        "PRECOUNIT, VALORIR) select 1, %1, %2, 100000 + I, 1, 1, 0, I, 2.5, 0 from N")
                             .arg(estab)
                             .arg(dia));
    con.Executar(serie + QStringLiteral("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                                        "MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO) "
                                        "select 1, %1, %2, 100000 + I, 1, 1, 0, I, 1 from N")
                             .arg(estab)
                             .arg(dia));
}
