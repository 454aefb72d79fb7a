#pragma once
// Keyset paging: a dataset's rows read packet by packet, each packet a fresh statement that
// takes the rows following the last one read in a unique order,
//
//     select * from (<statement>) q_p where (q_p.K1, q_p.K2) > (?, ?)
//     order by q_p.K1, q_p.K2 limit <packet>
//
// so that no cursor stays open between packets (a statement held across the user's edits
// and transactions would lock the embedded file or break on the server).
#include "ClientDataSet.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

class nDMConexao;

// A statement split at its trailing ORDER BY.
struct TnOrdemComando {
    QString Base;       // the statement without its trailing order by
    QStringList Ordem;  // output columns of that order by, in order (empty: none)
    QStringList Saidas; // names of the output columns of the select list
};

// Splits `sql` for keyset paging. False when that is not sound: the statement is not one
// plain SELECT (WITH, UNION...), ends in LIMIT/OFFSET/FETCH/FOR, its select list has * or
// quoted names or repeats a name, or an order item is not a column of the select list in
// ascending order (an expression, a position, DESC, NULLS FIRST/LAST).
bool SepararOrdem(const QString &sql, TnOrdemComando &r);

// Packets of a statement in the order of `ordem` (output columns that are fields of the
// dataset, never null, together unique): the first packet without the row comparison, the
// next ones after the last row read. Texts, dates and numerics of the order are bound as
// the provider writes them.
// The packets are read on `con`, which must stay the current connection.
class TnFonteChaveada : public TnFontePacotes {
public:
    TnFonteChaveada(nDMConexao &con, QString sql, QVariantList parametros, QStringList ordem, QString chave);

    QString Chave() const override { return FChave; }
    // `maximo` <= 0: every remaining row.
    bool LerPacote(TnClientDataSet &ds, int maximo) override;
    // The row of one value of the order columns among the rows after the last one read
    // (the server compares, with its own collation): `campos` must name every order column.
    int LerLinha(TnClientDataSet &ds, const std::vector<int> &campos, const std::vector<TnCelula> &valores) override;
    // The statement of the first packet (`continuacao` false) or of the following ones.
    QString TextoPacote(bool continuacao, int maximo) const;
    // The statement that looks one row up by the order columns (after the last row read when
    // `continuacao`).
    QString TextoLinha(bool continuacao) const;

private:
    void ExigirConexao(TnClientDataSet &ds);
    // " where (q_p.K1, q_p.K2) > (?, ?)" for the rows after the last one read.
    QString CondicaoContinuacao() const;
    void VincularFronteira(TnComando &cmd, int &i, const TnClientDataSet &ds) const;

    nDMConexao *FCon;
    quint64 FIdentidade; // of the connection: another may open where it was
    QString FSQL;
    QVariantList FParametros;
    QStringList FOrdem;
    QString FChave;
    bool FContinua = false;           // a packet was read: the next ones follow its last row
    std::vector<TnCelula> FFronteira; // values of the order columns in the last row read
    std::vector<int> FCampos;         // the order columns' fields in the dataset
    QString FFalha;                   // why no packet can follow (a null in the order)
};
