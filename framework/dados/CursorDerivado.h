#pragma once
// A cursor over another one: the columns it shows are columns of the source (under their
// own name or another) or numbers computed from the source's current row, and a filter may
// skip source rows. A client dataset loads it as it loads any cursor (CarregarDe), so a
// query result goes into the dataset in one forward pass, computed on the way, without an
// intermediate dataset.
//
//     TnCursor &origem = comando->Abrir();
//     TnCursorDerivado c(origem);
//     c.Coluna("CODIGOPRODUTO").Coluna("OBSLCTOINV", "OBSERVACAO");
//     const int qtde = c.IndiceOrigem("QTDEESTOQUE");
//     c.ColunaReal("QUANTIDADE", [qtde](TnCursor &o, double &v) {
//         if (o.Nulo(qtde)) return false;
//         v = RoundValor(o.Real(qtde), 2);
//         return true;
//     });
//     ds.CarregarDe(c);
//
// A computed column is computed once per row, when first read. The source must outlive
// this cursor.
#include "Conexao.h"
#include "DadosColunares.h"

#include <functional>
#include <vector>

class TnClientDataSet;

class TnCursorDerivado final : public TnCursor {
public:
    using TnCalculo = std::function<bool(TnCursor &origem, double &valor)>;
    // A value of the column's type as the storage keeps it (TnCelula): integers, logicals and
    // dates (Julian day) in I, numbers with decimals in F, texts in S.
    using TnCalculoCelula = std::function<bool(TnCursor &origem, TnCelula &valor)>;
    using TnFiltroLinha = std::function<bool(TnCursor &origem)>;

    explicit TnCursorDerivado(TnCursor &origem);

    // Shows the source's column `origem` (any case) as `nome` (empty: under its own name).
    // Exception when the source has no such column.
    TnCursorDerivado &Coluna(const QString &origem, const QString &nome = QString());
    // A number computed from the source's current row; `calcular` answers false for null.
    TnCursorDerivado &ColunaReal(const QString &nome, TnCalculo calcular);
    // A value of type `tipo` (integers, ftFloat, ftString, ftDate) computed from the source's
    // current row; `calcular` answers false for null.
    TnCursorDerivado &ColunaCalculada(const QString &nome, TFieldType tipo, TnCalculoCelula calcular);
    // The same value on every row.
    TnCursorDerivado &ColunaConstante(const QString &nome, TFieldType tipo, const TnCelula &valor);
    // Source rows for which `aceitar` answers false are skipped.
    void SetFiltro(TnFiltroLinha aceitar) { FFiltro = std::move(aceitar); }
    // Position of a source column (any case); -1 when the source has none.
    int IndiceOrigem(const QString &nome) const;
    TnCursor &Origem() const { return FOrigem; }

    int Colunas() const override { return int(FColunas.size()); }
    const TnColunaInfo &Coluna(int i) const override { return FColunas[size_t(i)].Info; }
    bool Proximo() override;
    bool Nulo(int i) override;
    qint64 Inteiro(int i) override;
    double Real(int i) override;
    QString Texto(int i) override;
    QDate Data(int i) override;
    QDateTime DataHora(int i) override;
    bool DataHoraPartes(int i, QDate &d, QTime &t) override;
    // A column of the source is read as the source reads it (exact numerics, texts in place).
    bool Decimal(int i, int escala, qint64 &escalado) override;
    QStringView TextoDireto(int i) override;

private:
    struct ColunaDerivada {
        TnColunaInfo Info;
        int Origem = -1; // source column; -1 for a computed one
        TnCalculoCelula Calculo;
        qint64 Linha = -1; // row the cached value belongs to
        TnCelula Valor;
    };
    ColunaDerivada &Calculada(int i);

    TnCursor &FOrigem;
    std::vector<ColunaDerivada> FColunas;
    TnFiltroLinha FFiltro;
    qint64 FLinha = 0;
};

// Writes the cursor's current row into the dataset's row in edit or insert: every field
// that the cursor has a column of the same name for (any case) takes that column's value,
// typed by the field (null clears it); other fields are left as they are. For refreshing a
// few rows of a dataset from a keyed query.
void CopiarLinhaDoCursor(TnCursor &cursor, TnClientDataSet &ds);
