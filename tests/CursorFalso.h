#pragma once
// A cursor over rows kept in memory, for cases that load datasets without a database.
#include "Conexao.h"

#include <vector>

class TnCursorFalso : public TnCursor {
public:
    TnCursorFalso(std::vector<TnColunaInfo> colunas, std::vector<QVariantList> linhas)
        : FColunas(std::move(colunas)), FLinhas(std::move(linhas))
    {
    }
    int Colunas() const override { return int(FColunas.size()); }
    const TnColunaInfo &Coluna(int i) const override { return FColunas[i]; }
    bool Proximo() override { return ++FLinha < qsizetype(FLinhas.size()); }
    bool Nulo(int i) override { return EhNulo(V(i)); }
    qint64 Inteiro(int i) override { return V(i).toLongLong(); }
    double Real(int i) override { return V(i).toDouble(); }
    QString Texto(int i) override { return V(i).toString(); }
    QDate Data(int i) override { return V(i).toDate(); }
    QDateTime DataHora(int i) override { return V(i).toDateTime(); }

private:
    const QVariant &V(int i) const { return FLinhas[FLinha][i]; }
    std::vector<TnColunaInfo> FColunas;
    std::vector<QVariantList> FLinhas;
    qsizetype FLinha = -1;
};
