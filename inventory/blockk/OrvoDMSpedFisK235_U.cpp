#include "OrvoDMSpedFisK235_U.h"

#include "BlocoKCampos.h"
#include "Conexao.h"

namespace {

const char *const kInsumo = "CODIGOINSUMO";
const char *const kSubstituido = "CODIGOINSUMOSUBSTITUIDO";

// The link columns come from the master and stay hidden in its grid. The register shows
// six decimals of the quantity until the company's rule replaces them; the consultation
// declares three.
std::vector<TnDefCampo> Campos(bool consulta)
{
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true);
    produto.Def.Visivel = false;
    TnDefCampo insumo = CampoProdutoK(kInsumo, true, "Código componente/insumo",
                                      "Código do item componente/insumo utilizado na produção");
    insumo.Def.ResultadoLookup = QStringLiteral("DESCRPRODUTO");
    insumo.Def.TipoControle = ntcLookup;
    TnDefCampo quantidade =
        consulta ? CampoQuantidadeK("QUANTIDADE", 18, 3, "#0.000", "Quantidade consumida", "Quantidade consumida do item")
                 : CampoQuantidadeK("QUANTIDADE", 18, 6, "#,##0.000000", "Quantidade consumida",
                                    "Quantidade consumida do item");
    if (!consulta)
        quantidade.Def.EditFormat = QStringLiteral("##,##0.000000");
    return {CampoEmpresaK(),
            CampoEstabK(),
            {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true,
             .Def = {.Chave = "DICDATAMESANO", .Visivel = false}},
            {.Nome = "CODIGOORDEMPRODUCAO", .Tipo = ftString, .Tamanho = 30, .Requerido = true,
             .Def = {.TamanhoMaximo = 30, .Visivel = false}},
            produto,
            {.Nome = "DATASAIDA", .Tipo = ftDate, .Requerido = true,
             .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8("Data Saída"),
                     .Hint = QString::fromUtf8("Data de saída do estoque para alocação ao produto")}},
            insumo,
            quantidade,
            CampoProdutoK(kSubstituido, false, "Codigo Insumo Substituído",
                          "Código do insumo que foi substituído, caso ocorra a substituição")};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK235::TOrvoDMSpedFisK235() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro)) {}

void TOrvoDMSpedFisK235::ConfigurarAutoFormato(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarAutoFormato(objeto);
    FormatarQuantidadeK(FieldByName(QStringLiteral("QUANTIDADE")), PegarQtdeCasaDecimalQtd());
}

void TOrvoDMSpedFisK235::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    // A substitute is checked instead of the component it replaced.
    const QString substituido = QString::fromLatin1(kSubstituido);
    const QString insumo = QString::fromLatin1(kInsumo);
    if (!FieldByName(substituido).IsNull())
        ValidarProdutoSPEDFIS0210(substituido);
    else if (!FieldByName(insumo).IsNull())
        ValidarProdutoSPEDFIS0210(insumo);
}

void TOrvoDMSpedFisK235::ValidarProdutoSPEDFIS0210(const QString &coluna)
{
    const TnField &empresa = FieldByName(QStringLiteral("CODIGOEMPRESA"));
    const TnField &estab = FieldByName(QStringLiteral("CODIGOESTAB"));
    const TnField &produto = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    const TnField &componente = FieldByName(coluna);
    bool existe = false;
    if (!empresa.IsNull() && !estab.IsNull() && !produto.IsNull() && !componente.IsNull()) {
        // Read on every row saved: the statement stays prepared.
        auto cmd = nDMConexao::Atual().PrepararGuardado(
            QStringLiteral("select 1 from SPEDFIS0210 where CODIGOEMPRESA = ? and CODIGOESTAB = ? "
                           "and CODIGOPRODUTO = ? and CODIGOINSUMO = ?"));
        cmd->BindInteiro(0, empresa.AsLargeInt());
        cmd->BindInteiro(1, estab.AsLargeInt());
        cmd->BindInteiro(2, produto.AsLargeInt());
        cmd->BindInteiro(3, componente.AsLargeInt());
        existe = cmd->Abrir().Proximo();
        cmd->Fechar();
    }
    if (!existe)
        throw EnField(componente.FieldName(),
                      QString::fromUtf8("Componente/Insumo não cadastrado no Registro 0210: Consumo Específico "
                                        "Padronizado!"));
}

TOrvoDCSPEDFISK235::TOrvoDCSPEDFISK235() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK235> gRegistro(kClasseDMK235);
TnRegistrador<TOrvoDCSPEDFISK235> gRegistroConsulta(kClasseDCK235);
} // namespace
