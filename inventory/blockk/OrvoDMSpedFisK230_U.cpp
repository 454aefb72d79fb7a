#include "OrvoDMSpedFisK230_U.h"

#include "BlocoKCampos.h"

namespace {

const char *const kOrdem = "CODIGOORDEMPRODUCAO";
const char *const kInicio = "DATAINICIOORDEMPRODUCAO";
// The order code that leaves the start date optional.
const char *const kOrdemSemInicio = "0";

// The register shows six decimals of the quantity until the company's rule replaces them;
// the consultation declares three.
std::vector<TnDefCampo> Campos(bool consulta)
{
    return {CampoEmpresaK(),
            CampoEstabK(),
            {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true, .Def = {.Chave = "DICDATAMESANO"}},
            {.Nome = kOrdem, .Tipo = ftString, .Tamanho = 30, .Requerido = true,
             .Def = {.DisplayLabel = QString::fromUtf8("Ordem de produção"),
                     .Hint = QString::fromUtf8("Código de identificação da ordem de produção"), .TamanhoMaximo = 30}},
            CampoProdutoK("CODIGOPRODUTO", true, "", "Código do item produzido"),
            {.Nome = kInicio, .Tipo = ftDate,
             .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8("Data Inicial Produção"),
                     .Hint = QString::fromUtf8("Data de início da ordem de produção")}},
            {.Nome = "DATAFIMORDEMPRODUCAO", .Tipo = ftDate,
             .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8("Data Final Produção"),
                     .Hint = QString::fromUtf8("Data de conclusão da ordem de produção")}},
            consulta ? CampoQuantidadeK("QUANTIDADE", 18, 3, "#0.000", "Quantidade de Produção",
                                        "Quantidade de produção acabada")
                     : CampoQuantidadeK("QUANTIDADE", 18, 6, "##,##0.000000", "Quantidade de Produção",
                                        "Quantidade de produção acabada")};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK230::TOrvoDMSpedFisK230() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro))
{
    // The inputs follow the current production order, with or without a form.
    FDMK235 = CriarDetalhe(QStringLiteral("TOrvoDMSpedFisK235"), QString::fromLatin1(kLigacaoK235));
}

void TOrvoDMSpedFisK230::ConfigurarAutoRequerido(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarAutoRequerido(objeto);
    // Only the code "0" spares the start date; an empty code does not.
    RequererCampo(QString::fromLatin1(kInicio),
                  FieldByName(QString::fromLatin1(kOrdem)).AsString() != QLatin1String(kOrdemSemInicio));
}

void TOrvoDMSpedFisK230::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarCampo(objeto);
    ConfigurarAutoRequerido(objeto);
}

void TOrvoDMSpedFisK230::ConfigurarAutoFormato(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarAutoFormato(objeto);
    FormatarQuantidadeK(FieldByName(QStringLiteral("QUANTIDADE")), PegarQtdeCasaDecimalQtd());
}

void TOrvoDMSpedFisK230::nClientDataSetCampoChange(TnField &campo)
{
    TnModuloBlocoK::nClientDataSetCampoChange(campo);
    if (campo.FieldName().compare(QLatin1String(kOrdem), Qt::CaseInsensitive) == 0)
        ConfigurarAutoRequerido(&nClientDataSet());
}

TOrvoDCSPEDFISK230::TOrvoDCSPEDFISK230() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

void TOrvoDCSPEDFISK230::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarCampo(objeto);
    PrecisaoQuantidadeK(FieldByName(QStringLiteral("QUANTIDADE")), PegarQtdeCasaDecimalQtd());
}

namespace {
TnRegistrador<TOrvoDMSpedFisK230> gRegistro(kClasseDMK230);
TnRegistrador<TOrvoDCSPEDFISK230> gRegistroConsulta(kClasseDCK230);
} // namespace
