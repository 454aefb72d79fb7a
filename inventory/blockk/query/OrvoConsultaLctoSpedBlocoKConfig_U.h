#pragma once
// What the Bloco K query asks for: one company, the branches and the period, and the
// optional participant, product and fiscal classification filters. Copied by value into
// each query routine.
#include <QDate>
#include <QString>

struct TConsultaLctoSpedBlocoKConfig {
    int CodigoEmpresa = 0;
    QString CodigoEstab;   // multi-value text of branches ("1; 3-5"), FilterInterval's grammar
    QDate DataInicial;     // as entered
    QDate DataFinal;
    QString CodigoPessoa;  // multi-value text of participants; empty: all
    QString CodigoProduto; // multi-value text of products; empty: all
    QString CodigoNCM;     // fiscal classifications (text values); empty: all
    QString DetalhamentoCadastral; // kept with the query; the routines do not read it
};
