#pragma once
// The suite package's branch functions: which of a company's branches (ESTAB) work in a
// period.
//
// A branch is active on the days its activity dates cover (DATAINICIOATIVIDADE to
// DATAFIMATIVIDADE, both included; an empty date is no limit on that side), and active in a
// period when it is active on any day of it.
#include "ClientDataSet.h"

#include <QDate>
#include <QString>
#include <memory>

// The company's branches active between `inicio` and `fim` (both included), among those
// that `estabs` lists (codes and ranges: the multi-value grammar of FilterInterval; blank:
// every branch of the company): a dataset with the field CODIGOESTAB, in ascending order,
// freed by the caller (DestruirSQL). `empresa` is the company's code as text. A company
// that is not a whole number, a branch list that is not valid (EConvertError) or an invalid
// date raise before anything is read.
std::unique_ptr<TnClientDataSet> CriarListaEstabAtiva(const QString &empresa, const QString &estabs, const QDate &inicio,
                                                      const QDate &fim);
