#pragma once
// Contracts of the Bloco K query: a routine reads one record family into the query's
// datasets, and a factory gives the routine of a record number. Routines and factory are
// reached only through these (never through the class registry) and are owned by whoever
// asked for them.
//
//     std::unique_ptr<IRelacionarRotinaBlocoK> r = ConsultaLctoBlocoKFactory()->PegarRotina(200);
//     if (r)
//         r->SetConfig(cfg).SetCdsMestre(&cdsK200).SetCdsDetalhe(nullptr).Relacionar();
#include "OrvoConsultaLctoSpedBlocoKConfig_U.h"

#include <QtGlobal>
#include <memory>

class TnClientDataSet;

class IRelacionarRotinaBlocoK {
public:
    virtual ~IRelacionarRotinaBlocoK() = default;
    // Each setter answers the routine itself, so that calls chain.
    virtual IRelacionarRotinaBlocoK &SetConfig(const TConsultaLctoSpedBlocoKConfig &config) = 0;
    // The dataset that receives the family's master rows (belongs to the caller).
    virtual IRelacionarRotinaBlocoK &SetCdsMestre(TnClientDataSet *cds) = 0;
    // The dataset of the detail rows; null: the family is shown without details.
    virtual IRelacionarRotinaBlocoK &SetCdsDetalhe(TnClientDataSet *cds) = 0;
    // Reads the rows into the datasets and writes the master's header bands.
    virtual void Relacionar() = 0;
};

class IRelacionarRotinaBlocoKFactory {
public:
    virtual ~IRelacionarRotinaBlocoKFactory() = default;
    // The routine of a record number (200, 210, ... 300); null for a number without one.
    virtual std::unique_ptr<IRelacionarRotinaBlocoK> PegarRotina(quint16 registro) const = 0;
};
