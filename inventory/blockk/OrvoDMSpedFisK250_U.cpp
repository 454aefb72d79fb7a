#include "OrvoDMSpedFisK250_U.h"

#include "BlocoKCampos.h"

namespace {

// The register shows six decimals of the quantity until the company's rule replaces them,
// and its branch carries no lookup link; the consultation declares three decimals.
std::vector<TnDefCampo> Campos(bool consulta)
{
    return {CampoEmpresaK(),
            CampoEstabK(consulta),
            {.Nome = "DATAPRODUCAO", .Tipo = ftDate, .Requerido = true,
             .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8("Data produção"),
                     .Hint = QString::fromUtf8("Data do reconhecimento da produção ocorrida no terceiro"),
                     .TipoControle = ntcData}},
            CampoProdutoK("CODIGOPRODUTO", true, "", "Código do item produzido pelo terceiro"),
            consulta ? CampoQuantidadeK("QUANTIDADE", 18, 3, "#0.000", "Quantidade produzida", "Quantidade produzida")
                     : CampoQuantidadeK("QUANTIDADE", 18, 6, "##,##0.000000", "Quantidade produzida",
                                        "Quantidade produzida")};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK250::TOrvoDMSpedFisK250() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro))
{
    SetEmpresaDaLinha(true);
    // The inputs follow the current production, with or without a form.
    CriarDetalhe(QStringLiteral("TOrvoDMSpedFisK255"), QString::fromLatin1(kLigacaoK255));
}

void TOrvoDMSpedFisK250::ConfigurarAutoFormato(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarAutoFormato(objeto);
    FormatarQuantidadeK(FieldByName(QStringLiteral("QUANTIDADE")), PegarQtdeCasaDecimalQtd());
}

TOrvoDCSPEDFISK250::TOrvoDCSPEDFISK250() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK250> gRegistro(kClasseDMK250);
TnRegistrador<TOrvoDCSPEDFISK250> gRegistroConsulta(kClasseDCK250);
} // namespace
