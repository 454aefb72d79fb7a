#include "OrvoDMSpedFisK275_U.h"

#include "BlocoKCampos.h"
#include "BlocoKRegras.h"
#include "OrvoDMSpedFisK270_U.h"
#include "ProducaoConjuntaCampos.h"

namespace {

const char *const kSubstituido = "CODINSUMOSUBST";

// The link columns come from the master and stay hidden in its grid.
std::vector<TnDefCampo> Campos()
{
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true, "Produto/Insumo",
                                       "Informe o código do produto/insumo para correção de apontamento ou retorno "
                                       "de insumos");
    produto.Def.ResultadoLookup = QStringLiteral("REFERENPRODUTO;DESCRPRODUTO");
    TnDefCampo substituido = CampoProdutoK(kSubstituido, false, "Insumo Substituído",
                                           "Informe o código do insumo que foi substituído relativo aos registros "
                                           "K235/K255");
    substituido.Def.ResultadoLookup = QStringLiteral("REFERENPRODUTO;DESCRPRODUTO");
    return {CampoEmpresaK(),
            CampoEstabK(),
            CampoCompetenciaK(false),
            CampoSequenciaK("SEQK270", false),
            produto,
            CampoCorrecaoK(true, false),
            CampoCorrecaoK(false, false),
            substituido};
}

} // namespace

TOrvoDMSpedFisK275::TOrvoDMSpedFisK275() : TnModuloBlocoK(DeclaracaoDaClasse(Campos)) {}

QString TOrvoDMSpedFisK275::MensagemTipo()
{
    return QString::fromUtf8("O produto informado deve fazer parte á um dos seguintes tipos de mercadoria:\r\n"
                             "Mercadoria para Revenda;\r\n"
                             "Subproduto;\r\n"
                             "Outros insumos;");
}

QString TOrvoDMSpedFisK275::GetCamposChaveUNQ() const { return RotulosChave(*this, {"DATALCTOFIS", "CODIGOPRODUTO"}); }

void TOrvoDMSpedFisK275::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    if (!TipoNoConjunto(PegarIndicadorTipoProduto(), kTipos))
        throw EnField(QStringLiteral("CODIGOPRODUTO"), MensagemTipo());
    ValidarUmaCorrecaoK(*this);
    // A replaced component belongs to the corrections of K230/K235 and K250/K255 only; an
    // empty origin is neither.
    const TnField &substituido = FieldByName(QString::fromLatin1(kSubstituido));
    if (substituido.IsNull())
        return;
    qint64 origem = 0;
    const bool temOrigem = ValorDoMestreK(*this, "SPEDFISK270", TOrvoDMSpedFisK270::kLigacaoK275, "ORIGEM", origem);
    if (!temOrigem && !DmMaster())
        return; // no K270 row of that key: the database's reference refuses the row
    if (!temOrigem || (origem != 1 && origem != 2))
        throw EnField(substituido.FieldName(),
                      QString::fromUtf8("O insumo substituído deverá ser informado somente quando a origem da "
                                        "correção de apontamento for referente aos registro K230/K235 ou "
                                        "K250/K255!"));
}

TOrvoDCSpedFisK275::TOrvoDCSpedFisK275() : TnModuloBlocoK(DeclaracaoDaClasse(Campos)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK275> gRegistro(kClasseDMK275);
TnRegistrador<TOrvoDCSpedFisK275> gRegistroConsulta(kClasseDCK275);
} // namespace
