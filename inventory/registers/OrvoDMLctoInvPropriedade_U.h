#pragma once
// The property lines of an inventory entry (LCTOINVPROPRIEDADE): who owns the stock and who
// holds it. Opened as a detail of the entry register, or on its own over the selected
// company, branch and date. Each line holds its tax-situation lines, a detail register
// created after the form is built.
//
// A line whose stock is held by or for a third party (indicator 1 or 2) needs the
// participant: the participant field is enabled and required exactly then, following the
// indicator's value with or without a form.
#include "DMClientDataSet.h"

#include <QPointer>

class TOrvoDMLctoInvPropriedade : public TnDMClientDataSet {
    Q_OBJECT
public:
    TOrvoDMLctoInvPropriedade();
    ~TOrvoDMLctoInvPropriedade() override;

    static QString PegarVerificaSelecao();
    static int PegarTipoObjeto();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    QString ChavePrimaria() const override;
    void DepoisConfigurar(TnFormModulo *form) override;
    void ConfigurarCampo(TnClientDataSet *objeto) override;
    void ConfigurarAutoFormato(TnClientDataSet *objeto) override;
    void ConfigurarAutoValor(TnClientDataSet *objeto) override;

    // Enables and requires CODIGOPESSOAPART exactly when INDICADORPROPRIEDADE is not 0.
    void ConfigurarCampoParticipante();
    // Quantity and cost decimals of the line's company (CFGEMPRESAINV); 2 without settings.
    int PegarQtdeCasaDecimalQtd();
    int PegarQtdeCasaDecimal();
    // The tax-situation register of the form, while it lives.
    TnDMClientDataSet *DMDetalhe() const { return FDMDetalhe.data(); }

protected:
    void nClientDataSetNewRecord(TnClientDataSet &ds) override;
    void nClientDataSetCampoChange(TnField &campo) override;

private:
    void LerCasasDecimais();
    void NumerarSeq(bool somenteVazio);

    QPointer<TnDMClientDataSet> FDMDetalhe;
    int FQtdeCasaDecimalQtd = 2;
    int FQtdeCasaDecimalVal = 2;
};
