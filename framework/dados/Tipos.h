#pragma once
// Field types shared by literals, datasets and the schema.
#include <QVariant>

enum TFieldType {
    ftUnknown,
    ftSmallint,  // 16-bit integer
    ftInteger,   // 32-bit integer
    ftLargeint,  // 64-bit integer
    ftFloat,     // double
    ftBCD,       // fixed point numeric(p,s); money is numeric(18,2)
    ftString,    // text with a maximum length
    ftDate,      // date only
    ftDateTime,  // date and time
    ftBoolean,
    ftMemo       // text without a maximum length
};

inline bool EhNulo(const QVariant &v) { return !v.isValid() || v.isNull(); }
inline bool EhTipoInteiro(TFieldType t) { return t == ftSmallint || t == ftInteger || t == ftLargeint; }
inline bool EhTipoNumerico(TFieldType t) { return EhTipoInteiro(t) || t == ftFloat || t == ftBCD; }
inline bool EhTipoData(TFieldType t) { return t == ftDate || t == ftDateTime; }
inline bool EhTipoTexto(TFieldType t) { return t == ftString || t == ftMemo; }
