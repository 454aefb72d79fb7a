#include "OrvoDMSpedFisK215_U.h"

#include "BlocoKCampos.h"
#include "BlocoKRegras.h"
#include "OrvoDMSpedFisK210_U.h"

namespace {

// The link columns come from the master and stay hidden in its grid.
std::vector<TnDefCampo> Campos()
{
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true, "Produto Destino", "Informe o produto de destino");
    produto.Def.ResultadoLookup = QStringLiteral("REFERENPRODUTO;DESCRPRODUTO");
    TnDefCampo quantidade = CampoQuantidadeK("QUANTIDADE", 18, 3, "#,##0.000", " Quantidade",
                                             "Informe a quantidade - entrada no estoque");
    quantidade.Def.Chave = QStringLiteral("DICVALOR3");
    return {CampoEmpresaK(),
            CampoEstabK(),
            {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true,
             .Def = {.Chave = "DICDATAMESANO", .Visivel = false}},
            {.Nome = "SEQK210", .Tipo = ftSmallint, .Requerido = true, .Def = {.Chave = "SEQSMALLINT", .Visivel = false}},
            produto,
            quantidade};
}

} // namespace

TOrvoDMSpedFisK215::TOrvoDMSpedFisK215() : TnModuloBlocoK(DeclaracaoDaClasse(Campos)) {}

QString TOrvoDMSpedFisK215::GetCamposChaveUNQ() const
{
    return QStringLiteral("[%1]\r\n[%2]")
        .arg(FieldByName(QStringLiteral("DATALCTOFIS")).DisplayLabel(),
             FieldByName(QStringLiteral("CODIGOPRODUTO")).DisplayLabel());
}

bool TOrvoDMSpedFisK215::ProdutoOrigem(qint64 &produto) const
{
    return ValorDoMestreK(*this, "SPEDFISK210", TOrvoDMSpedFisK210::kLigacaoK215, "CODIGOPRODUTO", produto);
}

void TOrvoDMSpedFisK215::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    const TnField &destino = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    qint64 origem = 0;
    if (!destino.IsNull() && ProdutoOrigem(origem) && origem == destino.AsLargeInt())
        throw EnField(destino.FieldName(), QString::fromUtf8("O produto de destino não pode ser igual ao de origem!"));
    ValidarTipoProduto();
}

TOrvoDCSpedFisK215::TOrvoDCSpedFisK215() : TnModuloBlocoK(DeclaracaoDaClasse(Campos)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK215> gRegistro(kClasseDMK215);
TnRegistrador<TOrvoDCSpedFisK215> gRegistroConsulta(kClasseDCK215);
} // namespace
