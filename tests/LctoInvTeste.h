#pragma once
// Fixture of the cases on the inventory entry registers as the program loads them (OrvoCore,
// by class name), over an inventory date, with the helpers they share.
#include "BancoOrvo.h"
#include "DMClientDataSet.h"
#include "Excecoes.h"

#include <QString>
#include <gtest/gtest.h>

class BancoLctoInv : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        SelecionarData(DataInventario());
    }
    // The inventory date selected before each case.
    virtual QDate DataInventario() const { return QDate(2020, 1, 31); }
    // A new entry register over the selection, opened.
    static TnDMClientDataSet *Abrir() { return AbrirDM(QStringLiteral("TOrvoDMLctoInv")); }
    // A new valid entry of `produto` (the selection fills company, branch and date).
    static void NovoLcto(TnDMClientDataSet *dm, qint64 produto, int motivo)
    {
        TnClientDataSet &ds = dm->nClientDataSet();
        ds.Append();
        ds.FieldByName("CODIGOPRODUTO").SetAsLargeInt(produto);
        ds.FieldByName("MOTIVOINVENTARIO").SetAsInteger(motivo);
        ds.FieldByName("QTDEESTOQUE").SetAsFloat(4);
        ds.FieldByName("PRECOUNIT").SetAsFloat(2.5);
    }
    // The message of a refused post; empty when the post went through.
    static QString Falha(TnDMClientDataSet *dm)
    {
        try {
            dm->nClientDataSet().Post();
        } catch (const Exception &e) {
            return e.Message();
        }
        return QString();
    }
    // Sets the company's identification of products by reference (the Ulmar settings row).
    void Referencia(bool usa)
    {
        con().Executar("delete from CFGEMPRESAULMAR where CODIGOEMPRESA = 1");
        con().Executar(QStringLiteral("insert into CFGEMPRESAULMAR (CODIGOEMPRESA, USAREFERENCIAPROD, LIVROMODELO7) "
                                      "values (1, '%1', '0')").arg(usa ? 1 : 0));
    }
};
