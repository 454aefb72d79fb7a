#include "OrvoDMSpedFisK280_U.h"

#include "BlocoKCampos.h"
#include "BlocoKRegras.h"
#include "ProducaoConjuntaCampos.h"

namespace {

const char *const kEstoque = "DATAESTOQUE";
const char *const kTipo = "INDICADORESTOQUE";
const char *const kParticipante = "CODIGOPESSOA";

// The consultation shows the product's reference and description beside its code.
std::vector<TnDefCampo> Campos(bool consulta)
{
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true);
    if (consulta)
        produto.Def.ResultadoLookup = QStringLiteral("REFERENPRODUTO;DESCRPRODUTO");
    return {CampoEmpresaK(),
            CampoEstabK(),
            CampoCompetenciaK(true),
            CampoSequenciaK("SEQK280", true),
            CampoDataK(kEstoque, "Data Estoque", "Informe a data do estoque escriturado que está sendo corrigido", true),
            {.Nome = kTipo, .Tipo = ftSmallint, .Requerido = true,
             .Def = {.Chave = "INDICADORESTOQUE", .DisplayLabel = QString::fromUtf8("Tipo de Estoque"),
                     .Hint = QString::fromUtf8("Informe o indicador do tipo de estoque"),
                     .ListaValores = {QString::fromUtf8("Estoque de Propriedade do Informante e em Seu Poder=0"),
                                      QString::fromUtf8("Estoque de Propriedade do Informante e em Posse de "
                                                        "Terceiros=1"),
                                      QString::fromUtf8("Estoque de Propriedade de Terceiros e em Posse do "
                                                        "Informante=2")},
                     .TipoControle = ntcCombo,
                     .ValorPadrao = 0,
                     // Only the three types of the list are stock types.
                     .SomenteDaLista = true}},
            produto,
            {.Nome = kParticipante, .Tipo = ftInteger,
             .Def = {.Chave = "CODIGOPESSOA", .Digitos = 9, .CamposLink = "CODIGOPESSOA"}},
            CampoCorrecaoK(true, true),
            CampoCorrecaoK(false, true)};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK280::TOrvoDMSpedFisK280() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro))
{
    ConfigurarErroChave(4);
}

QString TOrvoDMSpedFisK280::GetCamposChaveUNQ() const
{
    return RotulosChave(*this, {"DATALCTOFIS", kEstoque, kTipo, "CODIGOPRODUTO", kParticipante});
}

bool TOrvoDMSpedFisK280::ParticipanteExigido() const
{
    // The stored value: an empty type is neither.
    const TnField &tipo = FieldByName(QString::fromLatin1(kTipo));
    const int valor = tipo.IsNull() ? -1 : tipo.AsInteger();
    return valor == 1 || valor == 2;
}

void TOrvoDMSpedFisK280::ConfigurarAutoRequerido(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarAutoRequerido(objeto);
    RequererCampo(QString::fromLatin1(kParticipante), ParticipanteExigido());
}

void TOrvoDMSpedFisK280::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarCampo(objeto);
    ConfigurarAutoRequerido(objeto);
}

void TOrvoDMSpedFisK280::nClientDataSetCampoChange(TnField &campo)
{
    TnModuloBlocoK::nClientDataSetCampoChange(campo);
    if (campo.FieldName().compare(QLatin1String(kTipo), Qt::CaseInsensitive) == 0)
        ConfigurarAutoRequerido(&nClientDataSet());
}

void TOrvoDMSpedFisK280::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    // Before the competence month's first day: a competence kept on another day of its
    // month still refuses a stock date inside that month.
    const TnMesCompetencia mes(FieldByName(QStringLiteral("DATALCTOFIS")));
    const TnField &estoque = FieldByName(QString::fromLatin1(kEstoque));
    if (mes.Valido() && DataOuMinima(estoque) >= mes.Primeiro)
        throw EnField(estoque.FieldName(), QString::fromUtf8("A data do estoque deve anterior a competência "
                                                             "informada!"));
    ValidarTipoProduto();
    ValidarUmaCorrecaoK(*this);
    // The participant's requirement as the row now stands, whatever the form showed.
    ConfigurarAutoRequerido(&nClientDataSet());
    const TnField &participante = FieldByName(QString::fromLatin1(kParticipante));
    if (ParticipanteExigido() && participante.IsNull())
        throw EnField(participante.FieldName(),
                      QStringLiteral("O campo \"%1\" deve ser informado.").arg(participante.DisplayLabel()));
}

TOrvoDCSpedFisK280::TOrvoDCSpedFisK280() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK280> gRegistro(kClasseDMK280);
TnRegistrador<TOrvoDCSpedFisK280> gRegistroConsulta(kClasseDCK280);
} // namespace
