#pragma once
// Fixture of the custom-query cases: the libraries a custom query reaches (the registers of
// the catalogue, the products, the designer and the runner) loaded as the program loads
// them, branch 2 of company 1 and its products.
#include "BancoOrvo.h"
#include "ClientDataSet.h"

class BancoConsultaPersonalizada : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (IsSkipped())
            return;
        for (const char *b : {"OrvoCore", "Ulmar", "OrvoQuery"})
            TnBibliotecas::Carregar(QString::fromLatin1(b));
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial 2')");
    }
    // Products 1 to `quantos` of company 1, described "<descricao> N".
    void InserirProdutos(const QString &descricao, int quantos)
    {
        for (int p = 1; p <= quantos; ++p)
            con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, ?)",
                           {p, QStringLiteral("%1 %2").arg(descricao).arg(p)});
    }
    // The rows of a result as the grid shows them: the visible fields' texts joined by "|".
    static QStringList GradeVisivel(TnClientDataSet &ds)
    {
        QStringList r;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            QStringList l;
            for (int i = 0; i < ds.FieldCount(); ++i)
                if (ds.Fields(i).Visible())
                    l << ds.Fields(i).DisplayText();
            r << l.join(u'|');
        }
        return r;
    }
};
