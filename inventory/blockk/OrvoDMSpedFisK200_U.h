#pragma once
// Record K200 (SPEDFISK200): the stock at the end of the period. TOrvoDMSpedFisK200 is its
// register, TOrvoDCSPEDFISK200 its consultation.
//
// The participant (CODIGOPESSOA) follows the stock type (INDICADORESTOQUE) as stored in the
// row, with or without a form: on the desktop it is enabled exactly for types 1 and 2 and
// cleared for type 0; in web mode it is required for types 1 and 2 and cleared for type 0,
// and the quantity takes the company's decimals (the desktop keeps "#0.000"). A row of
// type 0 with a participant is refused before it is saved.
#include "BlocoKDeclaracoes.h"
#include "QtdeCasasBlocoK.h"

inline constexpr char kClasseDMK200[] = "TOrvoDMSpedFisK200";
inline constexpr char kClasseDCK200[] = "TOrvoDCSPEDFISK200";

class TOrvoDMSpedFisK200 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDMK200> {
    Q_OBJECT
public:
    TOrvoDMSpedFisK200();
    void ConfigurarCampo(TnClientDataSet *objeto) override;
    void ValidarDado() override;

protected:
    void nClientDataSetCampoChange(TnField &campo) override;

private:
    // The participant's state by the stock type of the row.
    void ConfigurarParticipante();
};

class TOrvoDCSPEDFISK200 : public TnModuloBlocoK<TnQtdeBlocoK<TnDMClientDataSet>, kClasseDCK200> {
    Q_OBJECT
public:
    TOrvoDCSPEDFISK200();
    void ConfigurarCampo(TnClientDataSet *objeto) override;
};
