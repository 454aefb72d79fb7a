#include "OrvoDPConsultaPersonalizada_U.h"

#include "OrvoConstrutorConsultaPersonalizada_U.h"
#include "Variaveis.h"

namespace {

constexpr int kTipoAcaoConsulta = 12;
const char *const kCategoria = "30 Consultas\\20 Consultas Personalizadas";

} // namespace

void TOrvoDPConsultaPersonalizada::ConfigurarCatalogo(TnCatalogoConsulta &catalogo) { ConfigurarTabelas(catalogo); }

void TOrvoDPConsultaPersonalizada::CriarFiltros()
{
    const QString produto = QStringLiteral("CODIGOPRODUTO");
    if (Selecao().Existe(produto))
        Selecao().GetParams(produto).SetValue(1);
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
    if ((campo.DataType() == ftFloat || campo.DataType() == ftBCD) && campo.DisplayFormat().isEmpty())
        campo.SetDisplayFormat(QStringLiteral("#,##0.00"));
}

namespace {

// The runner is created by name for action type 12; the binding, the class and the saved
// queries' menu go when the library unloads.
struct TOrvoRegistroConsultaPersonalizada {
    TnRegistrador<TOrvoDPConsultaPersonalizada> Classe{"TOrvoDPConsultaPersonalizada"};
    TOrvoRegistroConsultaPersonalizada()
    {
        SetActionPowerInfo(kTipoAcaoConsulta, QStringLiteral("TOrvoDPConsultaPersonalizada"));
        DefinirMenuConsultasPersonalizadas(kTipoAcaoConsulta, 3, QString::fromLatin1(kCategoria));
    }
    // Unregistering the class (after this) drops its action type binding and its actions.
    ~TOrvoRegistroConsultaPersonalizada() { RemoverMenuConsultasPersonalizadas(kTipoAcaoConsulta); }
};

const TOrvoRegistroConsultaPersonalizada gRegistro;

} // namespace
