#pragma once
// Fixture of the cases on the product-group chart and the entries valued over it (OrvoCore
// loaded, 31/01/2024 selected), with the rows they write.
#include "LctoInvTeste.h"
#include "SQLDataSet.h"

#include <QDateTime>
#include <QVariant>

class BancoPlanoGrupos : public BancoLctoInv {
protected:
    QDate DataInventario() const override { return QDate(2024, 1, 31); }
    // A group of the company's chart (TIPOGRUPOPRODUTO 1 synthetic, 2 analytic); its
    // description defaults to "Grupo " + classification.
    void Grupo(int empresa, int codigo, const QString &classif, int tipo, const QString &descr = QString())
    {
        con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                       "TIPOGRUPOPRODUTO, DESCRGRUPOPRODUTO) values (?, ?, ?, ?, ?)",
                       {empresa, codigo, classif, tipo, descr.isEmpty() ? "Grupo " + classif : descr});
    }
    // An entry at the selected date of the product, which is created with the group (0:
    // none) and the description "Produto número <code>" when the company lacks it.
    void Lancamento(int empresa, int estab, int produto, int grupo, double qtde, double preco, int motivo = 1)
    {
        if (!nDMSQLDataSet::PegarTemRegistro("PRODUTO", "CODIGOPRODUTO",
                                             QString("CODIGOEMPRESA = %1 and CODIGOPRODUTO = %2").arg(empresa).arg(produto),
                                             con()))
            con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO, CODIGOGRUPOPRODUTO) "
                           "values (?, ?, ?, ?)",
                           {empresa, produto, QString("Produto número %1").arg(produto), grupo ? QVariant(grupo) : QVariant()});
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, 1, 2)",
                       {empresa, estab, DataInventario(), produto, motivo, qtde, preco,
                        QDateTime(DataInventario(), QTime(8, 0))});
    }
};
