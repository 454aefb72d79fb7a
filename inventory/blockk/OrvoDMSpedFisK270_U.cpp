#include "OrvoDMSpedFisK270_U.h"

#include "BlocoKCampos.h"
#include "BlocoKRegras.h"
#include "ProducaoConjuntaCampos.h"

namespace {

const char *const kOrdem = "CODIGOOPOS";
const char *const kInicio = "DATAINIAPURACAO";
const char *const kFim = "DATAFIMAPURACAO";

// The consultation shows the product's reference and description beside its code.
std::vector<TnDefCampo> Campos(bool consulta)
{
    TnDefCampo produto =
        CampoProdutoK("CODIGOPRODUTO", true, "", "Informe o produto que está sendo corrigido");
    if (consulta)
        produto.Def.ResultadoLookup = QStringLiteral("REFERENPRODUTO;DESCRPRODUTO");
    return {CampoEmpresaK(),
            CampoEstabK(),
            CampoCompetenciaK(true),
            CampoSequenciaK("SEQK270", true),
            {.Nome = "ORIGEM", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.DisplayLabel = QStringLiteral(" Origem"),
                     .ListaValores = {QString::fromUtf8("Desmontagem e/ou Consumo Relativo aos Registros K210/K215=3"),
                                      QString::fromUtf8("Movimentação Interna Relativo ao Registro K220=5"),
                                      QString::fromUtf8("Produção e/ou Consumo Relativo aos Registros K230/K235=1"),
                                      QString::fromUtf8("Produção e/ou Consumo Relativo aos Registros K250/K255=2"),
                                      QString::fromUtf8("Reprocessamento/Reparo e/ou Consumo Relativo aos Registros "
                                                        "K260/K265=4")},
                     .TipoControle = ntcCombo,
                     .ValorPadrao = 3,
                     // Only the records of the list are origins.
                     .SomenteDaLista = true}},
            produto,
            CampoCorrecaoK(true, true),
            CampoCorrecaoK(false, true),
            CampoOrdemOSK("Informe a ordem de produção ou da ordem de serviço que está sendo corrigida"),
            CampoDataK(kInicio, "Data Inicial Período Apuração",
                       "Informe a data inicial do período de apuração em que ocorreu o apontamento que está sendo "
                       "corrigido"),
            CampoDataK(kFim, "Data Final Período Apuração",
                       "Informe a data final do período de apuração em que ocorreu o apontamento que está sendo "
                       "corrigido")};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK270::TOrvoDMSpedFisK270() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro))
{
    ConfigurarErroChave(4);
    // The corrected components follow the current correction, with or without a form.
    CriarDetalhe(QStringLiteral("TOrvoDMSpedFisK275"), QString::fromLatin1(kLigacaoK275));
}

QString TOrvoDMSpedFisK270::GetCamposChaveUNQ() const
{
    return RotulosChave(*this, {"DATALCTOFIS", "CODIGOPRODUTO", kOrdem, kInicio, kFim});
}

void TOrvoDMSpedFisK270::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    // Before the competence month's first day: a competence kept on another day of its
    // month still refuses a period inside that month.
    const TnMesCompetencia mes(FieldByName(QStringLiteral("DATALCTOFIS")));
    if (mes.Valido()
        && (DataOuMinima(FieldByName(QString::fromLatin1(kInicio))) >= mes.Primeiro
            || DataOuMinima(FieldByName(QString::fromLatin1(kFim))) >= mes.Primeiro))
        throw EnField(QString::fromLatin1(kInicio), QString::fromUtf8("A data inicial/final do período de apuração "
                                                                      "deve anterior a competência informada!"));
    ValidarUmaCorrecaoK(*this);
}

TOrvoDCSpedFisK270::TOrvoDCSpedFisK270() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK270> gRegistro(kClasseDMK270);
TnRegistrador<TOrvoDCSpedFisK270> gRegistroConsulta(kClasseDCK270);
} // namespace
