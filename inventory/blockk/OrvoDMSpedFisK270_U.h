#pragma once
// Record K270 (SPEDFISK270): a correction of the production records of an earlier period,
// master of the components it corrects (K275, SPEDFISK275). TOrvoDMSpedFisK270 is its
// register, TOrvoDCSpedFisK270 its consultation.
//
// The register holds its K275 register as a detail linked by the whole key, in its form or
// without one. ORIGEM names the records corrected (one of its list, 3 by default). The
// period corrected ends before the competence month: its dates, when given, lie before the
// month's first day, whatever day the competence was stored on. A correction is positive
// or negative, never both. No item type is checked; a second row of the same competence,
// product, order and period gets the duplicate-key message.
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

inline constexpr char kClasseDMK270[] = "TOrvoDMSpedFisK270";
inline constexpr char kClasseDCK270[] = "TOrvoDCSpedFisK270";

class TOrvoDMSpedFisK270 : public TnModuloBlocoK<TOrvoDMSpedFisKBase, kClasseDMK270> {
    Q_OBJECT
public:
    // The link between a K270 row and its K275 rows.
    static constexpr char kLigacaoK275[] = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK270";

    TOrvoDMSpedFisK270();
    void ValidarDado() override;
    QString GetCamposChaveUNQ() const override;
};

class TOrvoDCSpedFisK270 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK270> {
    Q_OBJECT
public:
    TOrvoDCSpedFisK270();
};
