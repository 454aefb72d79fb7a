#include "OrvoDMSpedFisK200_U.h"

#include "BlocoKCampos.h"
#include "Interacao.h"

namespace {

const char *const kTipo = "INDICADORESTOQUE";
const char *const kParticipante = "CODIGOPESSOA";

std::vector<TnDefCampo> Campos(bool consulta)
{
    TnDefCampo tipo{.Nome = kTipo, .Tipo = ftSmallint, .Requerido = true,
                    .Def = {.Chave = "INDICADORESTOQUE", .DisplayLabel = "Tipo de Estoque",
                            .Hint = QString::fromUtf8(
                                "Indicador do tipo de estoque. Se preenchido com valor ‘1’ (posse de terceiros) ou "
                                "‘2’ (propriedade de terceiros), o campo 'Participante' será obrigatório"),
                            .TipoControle = ntcCombo,
                            // Only the three types of the list are stock types.
                            .SomenteDaLista = true}};
    if (consulta)
        tipo.Def.ListaValores = {QStringLiteral("Estoque de propriedade do informante e em seu poder=0"),
                                 QStringLiteral("Estoque de propriedade do informante e em posse de terceiros=1"),
                                 QStringLiteral("Estoque de propriedade de terceiros e em posse do informante=2")};
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true, "", "Código do item(campo 02 do registro 0200)");
    return {CampoEmpresaK(),
            CampoEstabK(),
            {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true,
             .Def = {.Chave = "DICDATA", .DisplayLabel = "Data do estoque final",
                     .Hint = QString::fromUtf8("A data do estoque deve ser igual à data final do período de apuração"),
                     .TipoControle = ntcData}},
            produto,
            tipo,
            {.Nome = "SEQ", .Tipo = ftSmallint, .Requerido = true, .Def = {.Chave = "SEQSMALLINT"}},
            CampoQuantidadeK("QUANTIDADE", 18, 3, "#0.000", "Quantidade em Estoque", "Quantidade em estoque"),
            {.Nome = kParticipante, .Tipo = ftInteger,
             .Def = {.Chave = "CODIGOPESSOA", .DisplayLabel = QString::fromUtf8("Código do participante"),
                     .Hint = QString::fromUtf8("Código do participante (campo 02 do Registro 0150) "
                                               "proprietário/possuidor que não seja o informante do arquivo"),
                     .Digitos = 9, .CamposLink = "CODIGOPESSOA"}}};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK200::TOrvoDMSpedFisK200() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro)) {}

void TOrvoDMSpedFisK200::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarCampo(objeto);
    ConfigurarParticipante();
    if (EhHttpExe())
        FormatarQuantidadeK(FieldByName(QStringLiteral("QUANTIDADE")), PegarQtdeCasaDecimalQtd());
}

void TOrvoDMSpedFisK200::nClientDataSetCampoChange(TnField &campo)
{
    TnModuloBlocoK::nClientDataSetCampoChange(campo);
    if (campo.FieldName().compare(QString::fromLatin1(kTipo), Qt::CaseInsensitive) == 0)
        ConfigurarParticipante();
}

void TOrvoDMSpedFisK200::ConfigurarParticipante()
{
    const TnClientDataSet &ds = nClientDataSet();
    if (!ds.Active())
        return;
    // The stored value, never the control's text: an empty type is neither.
    const TnField &tipo = FieldByName(QString::fromLatin1(kTipo));
    const int valor = tipo.IsNull() ? -1 : tipo.AsInteger();
    const bool terceiros = valor == 1 || valor == 2;
    if (EhHttpExe())
        RequererCampo(QString::fromLatin1(kParticipante), terceiros);
    else
        HabilitarCampo(QString::fromLatin1(kParticipante), terceiros);
    TnField &participante = FieldByName(QString::fromLatin1(kParticipante));
    if (valor == 0 && !participante.IsNull() && (ds.State() == dsEdit || ds.State() == dsInsert))
        participante.Clear();
}

void TOrvoDMSpedFisK200::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    const TnField &tipo = FieldByName(QString::fromLatin1(kTipo));
    if (!FieldByName(QString::fromLatin1(kParticipante)).IsNull() && !tipo.IsNull() && tipo.AsInteger() == 0)
        throw Exception(QString::fromUtf8("O Produto %1 possui 'Código de Participante' informado, o que não é "
                                          "permitido para o tipo de estoque 'Estoque de propriedade do informante e "
                                          "em seu poder'. Remova o participante deste item para concluir a gravação.")
                            .arg(FieldByName(QStringLiteral("CODIGOPRODUTO")).AsString()));
}

TOrvoDCSPEDFISK200::TOrvoDCSPEDFISK200() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

void TOrvoDCSPEDFISK200::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarCampo(objeto);
    PrecisaoQuantidadeK(FieldByName(QStringLiteral("QUANTIDADE")), PegarQtdeCasaDecimalQtd());
}

namespace {
TnRegistrador<TOrvoDMSpedFisK200> gRegistro(kClasseDMK200);
TnRegistrador<TOrvoDCSPEDFISK200> gRegistroConsulta(kClasseDCK200);
} // namespace
