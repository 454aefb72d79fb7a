#include "OrvoDMSpedFisK265_U.h"

#include "BlocoKCampos.h"
#include "BlocoKRegras.h"
#include "OrvoDMSpedFisK260_U.h"
#include "ProducaoConjuntaCampos.h"

namespace {

// The link columns come from the master and stay hidden in its grid.
std::vector<TnDefCampo> Campos()
{
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true);
    produto.Def.ResultadoLookup = QStringLiteral("REFERENPRODUTO;DESCRPRODUTO");
    return {CampoEmpresaK(),
            CampoEstabK(),
            CampoCompetenciaK(false),
            CampoSequenciaK("SEQK260", false),
            produto,
            CampoQtde3K("QTDCONSUMIDA", "Quantidade Consumida", "Informe a quantidade consumida – saída do estoque"),
            CampoQtde3K("QTDRETORNADA", "Quantidade Retornada",
                        "Informe a quantidade retornada – entrada no estoque")};
}

} // namespace

TOrvoDMSpedFisK265::TOrvoDMSpedFisK265() : TnModuloBlocoK(DeclaracaoDaClasse(Campos)) {}

QString TOrvoDMSpedFisK265::GetCamposChaveUNQ() const { return RotulosChave(*this, {"DATALCTOFIS", "CODIGOPRODUTO"}); }

void TOrvoDMSpedFisK265::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    const TnField &produto = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    qint64 reprocessado = 0;
    if (!produto.IsNull()
        && ValorDoMestreK(*this, "SPEDFISK260", TOrvoDMSpedFisK260::kLigacaoK265, "CODIGOPRODUTO", reprocessado)
        && reprocessado == produto.AsLargeInt())
        throw EnField(produto.FieldName(), QString::fromUtf8("O produto consumido e/ou retornado não pode ser o igual "
                                                             "ao de reprocessamento/reparo!"));
    if (!QtdeAcimaDeZero(FieldByName(QStringLiteral("QTDCONSUMIDA")))
        && !QtdeAcimaDeZero(FieldByName(QStringLiteral("QTDRETORNADA"))))
        throw EnField(QStringLiteral("QTDCONSUMIDA"),
                      QString::fromUtf8("Pelo menos um dos campos devem ser preenchidos, quantidade consumida e/ou "
                                        "retornada!"));
    ValidarTipoProduto();
}

TOrvoDCSpedFisK265::TOrvoDCSpedFisK265() : TnModuloBlocoK(DeclaracaoDaClasse(Campos)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK265> gRegistro(kClasseDMK265);
TnRegistrador<TOrvoDCSpedFisK265> gRegistroConsulta(kClasseDCK265);
} // namespace
