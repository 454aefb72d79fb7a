#include "OrvoDMSpedFisK255_U.h"

#include "BlocoKCampos.h"

namespace {

// The link columns come from the master and stay hidden in its grid. The register shows
// six decimals of the quantity until the company's rule replaces them; the consultation
// declares three.
std::vector<TnDefCampo> Campos(bool consulta)
{
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true);
    produto.Def.Visivel = false;
    TnDefCampo insumo =
        CampoProdutoK("CODIGOINSUMO", true, "Código do insumo", "Código do insumo consumido para produção do item");
    insumo.Def.ResultadoLookup = QStringLiteral("DESCRPRODUTO");
    insumo.Def.TipoControle = ntcLookup;
    return {CampoEmpresaK(),
            CampoEstabK(),
            {.Nome = "DATAPRODUCAO", .Tipo = ftDate, .Requerido = true, .Def = {.Chave = "DICDATA", .Visivel = false}},
            produto,
            {.Nome = "DATACONSUMO", .Tipo = ftDate, .Requerido = true,
             .Def = {.DisplayLabel = QString::fromUtf8("Data consumo"),
                     .Hint = QString::fromUtf8(
                         "Data do reconhecimento do consumo do insumo referente ao produto informado"),
                     .TipoControle = ntcData}},
            insumo,
            consulta ? CampoQuantidadeK("QUANTIDADE", 18, 3, "#0.000", "Quantidade de consumo",
                                        "Quantidade de consumo do insumo")
                     : CampoQuantidadeK("QUANTIDADE", 18, 6, "##,##0.000000", "Quantidade de consumo",
                                        "Quantidade de consumo do insumo"),
            CampoProdutoK("CODIGOINSUMOSUBSTITUIDO", false, "Código Insumo Substituído",
                          "Código do insumo que foi substituído, caso ocorra a substituição")};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK255::TOrvoDMSpedFisK255() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro))
{
    SetEmpresaDaLinha(true);
}

void TOrvoDMSpedFisK255::ConfigurarAutoFormato(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarAutoFormato(objeto);
    FormatarQuantidadeK(FieldByName(QStringLiteral("QUANTIDADE")), PegarQtdeCasaDecimalQtd());
}

TOrvoDCSPEDFISK255::TOrvoDCSPEDFISK255() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK255> gRegistro(kClasseDMK255);
TnRegistrador<TOrvoDCSPEDFISK255> gRegistroConsulta(kClasseDCK255);
} // namespace
