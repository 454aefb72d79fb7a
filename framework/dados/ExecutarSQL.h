#pragma once
// Queries read into client datasets, and conditions written from a field's value.
#include "ClientDataSet.h"
#include "Conexao.h"
#include "Literais.h"

#include <QString>
#include <QVariant>
#include <memory>

// Runs a query with positional parameters ("?") and answers an open dataset holding its
// rows, with fields made from the result columns. The caller frees it (DestruirSQL).
std::unique_ptr<TnClientDataSet> ExecutarSQL(const QString &sql, const QVariantList &params = {},
                                             nDMConexao &c = nDMConexao::Atual());
// The same with named parameters (":NOME" in the text, "NOME" or ":NOME" in the map). Every
// parameter of the text must get a value and every value must name a parameter.
std::unique_ptr<TnClientDataSet> ExecutarSQL(const QString &sql, const QVariantMap &params,
                                             nDMConexao &c = nDMConexao::Atual());
void DestruirSQL(std::unique_ptr<TnClientDataSet> &ds);

// "FIELD = literal" with the field's current value rendered by ValorParaSQL for its type,
// or only the literal when `comNome` is false. A null value with "=" or "<>" gives
// "FIELD is null" / "FIELD is not null" (a comparison with null is never true). The
// operator is one of = <> != < <= > >=.
QString ValorParaSQL(const TnField &campo, const QString &operador = QStringLiteral("="), bool comNome = true);
