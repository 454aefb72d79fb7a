#pragma once
// The module's custom-query designer: the framework's designer over the module's table
// catalogue and builder, saving under action type 12 (run by TOrvoDPConsultaPersonalizada),
// with the computed field "Custo Total" of the inventory entries.
#include "ConfiguradorConsulta.h"

class TOrvoDPConfiguradorConsultaPersonalizada : public TnDPConfiguradorConsultaPersonalizada {
    Q_OBJECT
public:
    // Only for module 3: after the inherited actions, "Gerador de Consultas" under
    // "30 Consultas\20 Consultas Personalizadas", menu index -1.
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;
    // The builder class becomes TOrvoConstrutorConsultaPersonalizada.
    void AntesConfigurar(TnFormModulo *form) override;
    // Then the catalogue (ConfigurarTabelas).
    void DepoisConfigurar(TnFormModulo *form) override;
    void ActMostrarSQLExecute() override;
    // "CUSTOTOTAL" appended to the field catalogue of "TOrvoDMLctoInv" only.
    void OnCriarCamposDM(int tipo, const QString &classe, TnClientDataSet &campos) override;

    // The preview's float and decimal columns shown as the runner shows them.
    void OnFormatCampoConsulta(TnField &campo, const TnConstrutorConsultaPersonalizada &construtor) override;

    // Action type 12, the product selection preset, the twelve catalogue entries, the
    // navigation bar, and the form's OnDefinicaoAlterada replaced by IgnorarEvento: the
    // preview is read only when the user asks for it (the entries may be a million rows;
    // a grouped preview after every tick would read them all each time).
    void ConfigurarTabelas();
    // Does nothing.
    void IgnorarEvento();
};
