#include "OrvoDPConsultaPersonalizada_U.h"

#include "OrvoConstrutorConsultaPersonalizada_U.h"

void TOrvoDPConsultaPersonalizada::ConfigurarCatalogo(TnCatalogoConsulta &catalogo) { ConfigurarTabelas(catalogo); }

void TOrvoDPConsultaPersonalizada::CriarFiltros()
{
    PresetarProdutoSelecao();
    TnDPConsultaPersonalizada::CriarFiltros();
}

void TOrvoDPConsultaPersonalizada::CreateContructor()
{
    TnDPConsultaPersonalizada::CreateContructor();
    SetConstrutor(std::make_unique<TOrvoConstrutorConsultaPersonalizada>(Definicao(), &PowerParam()));
}

void TOrvoDPConsultaPersonalizada::OnFormatCampoConsulta(TnField &campo)
{
    TnDPConsultaPersonalizada::OnFormatCampoConsulta(campo);
    FormatarValorOrvo(campo);
}

namespace {

// The runner is created by name for action type 12; the binding, the class and the saved
// queries' menu go when the library unloads.
struct TOrvoRegistroConsultaPersonalizada {
    TnRegistrador<TOrvoDPConsultaPersonalizada> Classe{"TOrvoDPConsultaPersonalizada"};
    TOrvoRegistroConsultaPersonalizada()
    {
        SetActionPowerInfo(kTipoAcaoConsultaOrvo, QStringLiteral("TOrvoDPConsultaPersonalizada"));
        DefinirMenuConsultasPersonalizadas(kTipoAcaoConsultaOrvo, 3, QString::fromLatin1(kCategoriaConsultasOrvo));
    }
    // Unregistering the class (after this) drops its action type binding and its actions.
    ~TOrvoRegistroConsultaPersonalizada() { RemoverMenuConsultasPersonalizadas(kTipoAcaoConsultaOrvo); }
};

const TOrvoRegistroConsultaPersonalizada gRegistro;

} // namespace
