#pragma once
// A detail dataset that follows its master's current row.
//
// The two datasets are linked by equal ';'-joined key fields: the detail shows only the
// rows whose key fields hold the values of the master's current row. The detail is
// ordered by an index over those fields and the link keeps a range on it, so moving the
// master costs two searches on the index, whatever the number of detail rows. A master
// that is inactive or has no row leaves the detail an empty range.
//
//     TnLigacaoMestreDetalhe ligacao(cdsK210, cdsDetalheK210,
//                                    "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210");
//
// The link watches the master (TnObservadorDataSet): another current row, new rows or
// EnableControls move the detail's range. Filling a master row by row is cheaper with its
// controls disabled (the link then follows once, on EnableControls). Both datasets must
// outlive the link.
#include "ClientDataSet.h"

#include <QString>
#include <QStringList>

class TnLigacaoMestreDetalhe : public TnObservadorDataSet {
public:
    // The key fields must be declared in both datasets (Exception naming the first one
    // missing, and the dataset that lacks it). The detail takes the index of the key.
    TnLigacaoMestreDetalhe(TnClientDataSet &mestre, TnClientDataSet &detalhe, const QString &camposChave);
    ~TnLigacaoMestreDetalhe() override;
    TnLigacaoMestreDetalhe(const TnLigacaoMestreDetalhe &) = delete;
    TnLigacaoMestreDetalhe &operator=(const TnLigacaoMestreDetalhe &) = delete;

    const QStringList &Campos() const { return FCampos; }
    TnClientDataSet &Mestre() const { return FMestre; }
    TnClientDataSet &Detalhe() const { return FDetalhe; }
    // Puts the detail's range on the master's current row (what the link does by itself
    // when the master tells it of a change). A detail not open is left alone.
    void Seguir();

    void DadosAlterados(TnClientDataSet &) override { Seguir(); }
    void Rolou(TnClientDataSet &) override { Seguir(); }
    void EstadoAlterado(TnClientDataSet &) override { Seguir(); }

private:
    TnClientDataSet &FMestre;
    TnClientDataSet &FDetalhe;
    QStringList FCampos;
};
