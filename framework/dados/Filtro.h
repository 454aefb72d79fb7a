#pragma once
// Filter expressions of the client dataset, compiled once and evaluated per row.
//
// Language (keywords in any case): comparisons = <> != < <= > >= between fields and
// literals, `and`, `or`, `not`, parentheses, `field is [not] null`. Literals are written as
// SQL writes them: numbers with a point (12.5, -3), 'text' with '' for a quote, dates
// 'YYYY-MM-DD' and timestamps 'YYYY-MM-DD HH:MM:SS'. Field names are plain words, or in
// double quotes or brackets. Comparisons follow SQL: with a null they are unknown, and a
// row passes only when the whole expression is true. Texts compare case-sensitively.
#include "DadosColunares.h"
#include "Tipos.h"

#include <QString>
#include <functional>
#include <memory>

// What the filter needs to know of a field.
struct TnCampoFiltro {
    int Coluna = -1;
    TFieldType Tipo = ftUnknown;
    int Escala = 0;
};

class TnFiltro {
public:
    struct No;
    // `campo` answers the field of a name, or false when there is none. Throws
    // EConvertError for a malformed expression, an unknown field or a literal that does not
    // fit its field.
    static std::unique_ptr<TnFiltro> Compilar(const QString &texto,
                                              const std::function<bool(const QString &, TnCampoFiltro &)> &campo);
    ~TnFiltro();
    bool Aceita(const TnDadosColunares &dados, qint32 slot) const;

private:
    TnFiltro() = default;
    std::unique_ptr<No> FRaiz;
};
