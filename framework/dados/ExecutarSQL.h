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

// The dataset writer: inserts the rows of `ds` (all of them, in the cursor's order) into
// `tabela` with one prepared statement bound per row, inside the open transaction (else in
// one of its own: all or nothing); answers the rows written. The columns are the dataset's
// data fields, by name. A row the database refuses ends the writing with the database's
// error (its kind kept, see ErroBanco), its message naming the row by `camposChave`
// (";"-joined fields, "CodigoEmpresa;CodigoProduto;"). The cursor is not moved.
int GravarCDS(TnClientDataSet &ds, const QString &tabela, const QString &camposChave,
              nDMConexao &c = nDMConexao::Atual());

// "FIELD = literal" with the field's current value rendered by ValorParaSQL for its type,
// or only the literal when `comNome` is false. A null value with "=" or "<>" gives
// "FIELD is null" / "FIELD is not null" (a comparison with null is never true). The
// operator is one of = <> != < <= > >=.
QString ValorParaSQL(const TnField &campo, const QString &operador = QStringLiteral("="), bool comNome = true);
