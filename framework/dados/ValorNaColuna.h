#pragma once
// Every value written fits its column, on both engines alike. SQLite takes any number in a
// numeric(p,s) or double precision column and any length in a varchar(n); the server
// refuses some of them with messages of its own. The writers (the provider, GravarCDS, the
// entry writer) check each value against the column as the database declares it
// (nDMConexao::ColunasDaTabela) before binding it, naming the field by its caption; every
// prepared INSERT ... VALUES or UPDATE ... SET checks the values bound to its columns
// (TnComando::ConferirDestino). Both engines refuse the same values with the same message,
// naming the field and the value:
//   "O valor 1e+308 está fora da faixa do campo "QTDEESTOQUE"."
//
// What fits:
// - numeric(p,s): the value rounded half away from zero to s decimals, as the database
//   rounds it, with at most p - s digits before the point (numeric without precision: any
//   finite value);
// - double precision (quantities, unit costs): a finite value below kMaiorValorReal;
// - smallint, integer, bigint: a whole number within the type's range;
// - varchar(n), char(n): at most n characters.
#include "Conexao.h"
#include "DadosColunares.h"
#include "Tipos.h"

#include <QString>

// The largest magnitude a double precision column takes, exclusive: 10^15.
// - Up to 15 significant digits a double reads back as the decimal that was typed
//   (DBL_DIG), so below 10^15 every whole quantity, and every value with up to 15 digits,
//   is stored, shown and multiplied exactly as typed; beyond it the last digits are noise.
// - A quantity or unit cost of 10^15 times any counterpart of 10 or more no longer fits the
//   money columns (numeric(18,2), below 10^16), so no entry of that size can ever be valued.
// 1e308, infinities and NaN are therefore refused, whatever the engine would store.
inline constexpr double kMaiorValorReal = 1e15;

// Raises EnField(campo, "O valor <valor> está fora da faixa do campo "<rotulo>".") (the value
// cut as TrechoCitado cuts it; `rotulo` empty: the field name).
[[noreturn]] void ErroForaDaFaixa(const QString &campo, const QString &valor, const QString &rotulo = QString());

// Whether a value fits the column `col` (rules above).
bool RealCabeNaColuna(const TnColunaInfo &col, double v);
bool InteiroCabeNaColuna(const TnColunaInfo &col, qint64 v);
// A value scaled by 10^escala.
bool DecimalCabeNaColuna(const TnColunaInfo &col, qint64 escalado, int escala);

// The same, raising ErroForaDaFaixa naming the column (`rotulo`: the caption to show).
void ExigirNaColuna(const TnColunaInfo &col, double v, const QString &rotulo = QString());
void ExigirNaColuna(const TnColunaInfo &col, qint64 v, const QString &rotulo = QString());
inline void ExigirNaColuna(const TnColunaInfo &col, int v, const QString &rotulo = QString())
{
    ExigirNaColuna(col, qint64(v), rotulo);
}
void ExigirNaColuna(const TnColunaInfo &col, const QString &v, const QString &rotulo = QString());
// Dates and timestamps fit any date column (the statement checks their years).
inline void ExigirNaColuna(const TnColunaInfo &, const QDate &, const QString & = QString()) {}
inline void ExigirNaColuna(const TnColunaInfo &, const QDateTime &, const QString & = QString()) {}
// A stored value of a field of type `tipo` with `escala` decimals (TnCelula), as the
// provider and GravarCDS bind it: whether it fits, and the refusal that names it.
bool CelulaCabeNaColuna(const TnColunaInfo &col, const TnCelula &c, TFieldType tipo, int escala);
[[noreturn]] void ErroCelulaForaDaColuna(const TnColunaInfo &col, const TnCelula &c, TFieldType tipo, int escala,
                                         const QString &rotulo = QString());
// False when the cell does not fit (CelulaCabeNaColuna), leaving it as it is. Else a number
// for a numeric column (of at most 18 decimals) becomes the exact decimal rounded half away
// from zero to the column's scale, as the server rounds it and SQLite, without the schema's
// triggers, would not: `tipo` is then ftBCD and `escala` the column's. The cell is ready for
// VincularCelula (Provider.h). The caller names the field only when it is refused, so that
// the caption is not looked up for every value.
bool AjustarCelulaNaColuna(const TnColunaInfo &col, TnCelula &c, TFieldType &tipo, int &escala);
