#include "OrvoDMSpedFisK220_U.h"

#include "BlocoKCampos.h"

namespace {

// In the register the branch carries no lookup link.
std::vector<TnDefCampo> Campos(bool consulta)
{
    return {CampoEmpresaK(),
            CampoEstabK(consulta),
            {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true,
             .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8("Data da movimentação interna"),
                     .Hint = QString::fromUtf8("Data na qual a movimentação interna foi efetuada"),
                     .TipoControle = ntcData}},
            CampoProdutoK("CODIGOPRODUTOORI", true, "Código do item de origem", "Código do produto de origem"),
            CampoProdutoK("CODIGOPRODUTODEST", true, "Código do item de destino", "Código do produto destino"),
            CampoQuantidadeK("QUANTIDADE", 18, 3, "#0.000", "Quantidade Movimentada Origem",
                             "Quantidade do produto de origem movimentada"),
            CampoQuantidadeK("QUANTIDADEDEST", 18, 3, "#0.000", "Quantidade Movimentada Destino",
                             "Quantidade do produto de destino movimentada")};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK220::TOrvoDMSpedFisK220() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro)) {}

void TOrvoDMSpedFisK220::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarCampo(objeto);
    const int casas = PegarQtdeCasaDecimalQtd();
    FormatarQuantidadeK(FieldByName(QStringLiteral("QUANTIDADE")), casas);
    FormatarQuantidadeK(FieldByName(QStringLiteral("QUANTIDADEDEST")), casas);
}

void TOrvoDMSpedFisK220::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    const TnField &origem = FieldByName(QStringLiteral("CODIGOPRODUTOORI"));
    const TnField &destino = FieldByName(QStringLiteral("CODIGOPRODUTODEST"));
    if (!origem.IsNull() && !destino.IsNull() && origem.AsLargeInt() == destino.AsLargeInt())
        throw EnField(destino.FieldName(), QStringLiteral("Produtos de origem e destino devem ser diferentes."));
}

TOrvoDCSPEDFISK220::TOrvoDCSPEDFISK220() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

void TOrvoDCSPEDFISK220::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarCampo(objeto);
    const int casas = PegarQtdeCasaDecimalQtd();
    PrecisaoQuantidadeK(FieldByName(QStringLiteral("QUANTIDADE")), casas);
    PrecisaoQuantidadeK(FieldByName(QStringLiteral("QUANTIDADEDEST")), casas);
}

namespace {
TnRegistrador<TOrvoDMSpedFisK220> gRegistro(kClasseDMK220);
TnRegistrador<TOrvoDCSPEDFISK220> gRegistroConsulta(kClasseDCK220);
} // namespace
