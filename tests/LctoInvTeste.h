#pragma once
// Fixture of the cases on the inventory entry register as the program loads it (OrvoCore,
// by class name), with the helpers they share.
#include "BancoOrvo.h"
#include "DMClientDataSet.h"
#include "Excecoes.h"
#include "SQLDataSet.h"

#include <QString>
#include <gtest/gtest.h>

class BancoLctoInv : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (!IsSkipped())
            TnBibliotecas::Carregar("OrvoCore");
    }
    // Selects the inventory date the registers follow.
    static void SelecionarData(const QDate &d)
    {
        Selecao().GetParams("DataInvent").SetValue(d);
        Selecao().Refresh();
    }
    // A new register over the selection, opened.
    static TnDMClientDataSet *Abrir()
    {
        auto *dm = qobject_cast<TnDMClientDataSet *>(CriarDM(QStringLiteral("TOrvoDMLctoInv")));
        EXPECT_NE(dm, nullptr);
        if (dm)
            dm->Abrir();
        return dm;
    }
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
    static qint64 Linhas(const char *tabela, const char *condicao = "1 = 1")
    {
        return nDMSQLDataSet::PegarQtdRegistro(QString::fromLatin1(tabela), QString::fromLatin1(condicao));
    }
};
