#include "OrvoDMSpedFis0210_U.h"

#include "BlocoKCampos.h"
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

namespace {

// The register shows six decimals of the quantity and four of the loss; the consultation
// two of each. The quantity is numeric(18,6) in both, as in the table.
std::vector<TnDefCampo> Campos(bool consulta)
{
    const char *fQtde = consulta ? "#0.00" : "#0.000000";
    const char *fPerda = consulta ? "#0.00" : "#0.0000";
    return {CampoEmpresaK(), CampoEstabK(), CampoProdutoK("CODIGOPRODUTO", true),
            CampoProdutoK("CODIGOINSUMO", true, "Código do item componente/insumo",
                          "Informe o Código do item componente/insumo (campo02 do Registro 0200) ao qual este "
                          "registro se refere"),
            CampoQuantidadeK("QUANTIDADE", 18, 6, fQtde, "Quantidade componente/insumo",
                             "Quantidade do item componente/insumo para se produzir uma unidade do item "
                             "composto/resultante"),
            CampoQuantidadeK("PERDA", 18, 4, fPerda, "Perda/quebra",
                             "Perda/quebra normal percentual do insumo/componente para se produzir uma unidade do "
                             "item composto/resultante")};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFis0210::TOrvoDMSpedFis0210() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro)) {}

void TOrvoDMSpedFis0210::ValidarDado()
{
    TnDMClientDataSet::ValidarDado();
    const TnField &produto = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    const TnField &insumo = FieldByName(QStringLiteral("CODIGOINSUMO"));
    if (!produto.IsNull() && !insumo.IsNull() && produto.AsLargeInt() == insumo.AsLargeInt())
        throw EnField(produto.FieldName(),
                      QString::fromUtf8("O código do item componente/insumo deve ser diferente do código do produto "
                                        "resultante - Reg. 0200 correspondente ao nível hierárquico superior ao "
                                        "Registro 0210 que se declara"));
    // The component's item type, read by its code (bound); a component the company does
    // not have is refused on the component, one without a type like any type refused.
    const TnField &empresa = FieldByName(QStringLiteral("CODIGOEMPRESA"));
    unsigned tipo = TOrvoDMSpedFisKBase::kSemTipo;
    if (insumo.IsNull() || empresa.IsNull()
        || !TOrvoDMSpedFisKBase::LerIndicadorTipo(empresa.AsLargeInt(), insumo.AsLargeInt(), tipo))
        throw EnField(insumo.FieldName(), TOrvoDMSpedFisKBase::MensagemProdutoInexistente(insumo.AsString()));
    if (!TOrvoDMSpedFisKBase::TipoNoConjunto(tipo, TOrvoDMSpedFisKBase::kTiposAceitos))
        throw EnField(produto.FieldName(),
                      QString::fromUtf8("O tipo do componente/insumo (campo TIPO_ITEM do Registro 0200) deve ser "
                                        "igual a 00, 01, 02, 03, 04, 05 ou 10"));
}

TOrvoDCSPEDFIS0210::TOrvoDCSPEDFIS0210() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

namespace {
TnRegistrador<TOrvoDMSpedFis0210> gRegistro(kClasseDM0210);
TnRegistrador<TOrvoDCSPEDFIS0210> gRegistroConsulta(kClasseDC0210);
} // namespace
