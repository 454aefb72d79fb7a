#pragma once
// The rows of a dataset's view as the cases compare them: the fields `campos` (';'-joined)
// of each row as they show (AsString; "null" for a null), joined by "|".
#include "ClientDataSet.h"

#include <QStringList>

namespace teste {
inline QStringList LinhasDoDataSet(TnClientDataSet &ds, const QString &campos)
{
    QStringList linhas;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        QStringList v;
        for (const QString &c : campos.split(u';'))
            v << (ds.FieldByName(c).IsNull() ? QStringLiteral("null") : ds.FieldByName(c).AsString());
        linhas << v.join(u'|');
    }
    return linhas;
}
} // namespace teste
