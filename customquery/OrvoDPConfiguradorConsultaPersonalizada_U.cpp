#include "OrvoDPConfiguradorConsultaPersonalizada_U.h"

#include "Acoes.h"
#include "OrvoConstrutorConsultaPersonalizada_U.h"

void TOrvoDPConfiguradorConsultaPersonalizada::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                                const TnEventoAcao &evento, const TnModulos &modulos)
{
    if (!modulos.test(3))
        return;
    TnDPConfiguradorConsultaPersonalizada::GerarPrincAction(classe, lista, evento, modulos);
    TnAction *a = lista.Adicionar(classe, evento);
    a->SetCategory(QString::fromLatin1(kCategoriaConsultasOrvo));
    a->SetCaption(QStringLiteral("Gerador de Consultas"));
    a->SetMenuIndex(-1);
    a->SetChecarSelecao(true);
}

void TOrvoDPConfiguradorConsultaPersonalizada::Executar() { TnDPConfiguradorConsultaPersonalizada::Executar(); }

void TOrvoDPConfiguradorConsultaPersonalizada::AntesConfigurar(TnFormModulo *form)
{
    TnDPConfiguradorConsultaPersonalizada::AntesConfigurar(form);
    SetClasseConstrutor<TOrvoConstrutorConsultaPersonalizada>();
}

void TOrvoDPConfiguradorConsultaPersonalizada::DepoisConfigurar(TnFormModulo *form)
{
    TnDPConfiguradorConsultaPersonalizada::DepoisConfigurar(form);
    ConfigurarTabelas();
}

void TOrvoDPConfiguradorConsultaPersonalizada::ActMostrarSQLExecute()
{
    TnDPConfiguradorConsultaPersonalizada::ActMostrarSQLExecute();
}

void TOrvoDPConfiguradorConsultaPersonalizada::OnCriarCamposDM(int tipo, const QString &classe,
                                                               TnClientDataSet &campos)
{
    TnDPConfiguradorConsultaPersonalizada::OnCriarCamposDM(tipo, classe, campos);
    OrvoCriarCamposDM(tipo, classe, campos);
}

void TOrvoDPConfiguradorConsultaPersonalizada::OnFormatCampoConsulta(TnField &campo,
                                                                     const TnConstrutorConsultaPersonalizada &construtor)
{
    TnDPConfiguradorConsultaPersonalizada::OnFormatCampoConsulta(campo, construtor);
    FormatarValorOrvo(campo);
}

void TOrvoDPConfiguradorConsultaPersonalizada::ConfigurarTabelas()
{
    TnFormConfiguradorConsulta &form = FormConfigurador();
    form.SetTipoAction(kTipoAcaoConsultaOrvo);
    PresetarProdutoSelecao();
    ParaCadaTabelaOrvo([&](const QString &classe, const QString &grupo, const QString &item, const QString &caption) {
        form.AddTabela(classe, grupo, item, caption);
    });
    form.RebuildNavBar();
    form.OnDefinicaoAlterada = [this] { IgnorarEvento(); };
}

void TOrvoDPConfiguradorConsultaPersonalizada::IgnorarEvento() {}

namespace {

const TnRegistrador<TOrvoDPConfiguradorConsultaPersonalizada> gRegistro("TOrvoDPConfiguradorConsultaPersonalizada");

} // namespace
