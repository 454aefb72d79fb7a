#include "OrvoDMSpedFisK260_U.h"

#include "BlocoKCampos.h"
#include "BlocoKRegras.h"
#include "ProducaoConjuntaCampos.h"

namespace {

const char *const kSaida = "DATASAIDA";
const char *const kRetorno = "DATARETORNO";
const char *const kQtdeRetorno = "QUANTIDADERET";
const char *const kOrdem = "CODIGOOPOS";

// The consultation shows the product's reference and description beside its code.
std::vector<TnDefCampo> Campos(bool consulta)
{
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true, "Produto/Insumo",
                                       "Informe o código do produto/insumo a ser reprocessado ou já processado");
    if (consulta)
        produto.Def.ResultadoLookup = QStringLiteral("REFERENPRODUTO;DESCRPRODUTO");
    return {CampoEmpresaK(),
            CampoEstabK(),
            CampoCompetenciaK(true),
            CampoSequenciaK("SEQK260", true),
            produto,
            CampoDataK(kSaida, "Data Saída", "Informe a data de saída do estoque", true),
            CampoQtde3K("QUANTIDADESAI", "Quantidade Saída", "Informe a quantidade de saída do estoque", true),
            CampoDataK(kRetorno, "Data Retorno", "Informe a data de retorno ao estoque"),
            CampoQtde3K(kQtdeRetorno, "Quantidade Retorno", "Informe a quantidade de retorno ao estoque"),
            CampoOrdemOSK("Informe o código da ordem de produção no reprocessamento, ou da ordem de serviço no "
                          "reparo")};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK260::TOrvoDMSpedFisK260() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro))
{
    ConfigurarErroChave(4);
    // The goods consumed or returned follow the current reprocessing, with or without a form.
    CriarDetalhe(QStringLiteral("TOrvoDMSpedFisK265"), QString::fromLatin1(kLigacaoK265));
}

QString TOrvoDMSpedFisK260::GetCamposChaveUNQ() const
{
    return RotulosChave(*this, {"DATALCTOFIS", "CODIGOPRODUTO", kOrdem});
}

void TOrvoDMSpedFisK260::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    const TnMesCompetencia mes(FieldByName(QStringLiteral("DATALCTOFIS")));
    const TnField &saida = FieldByName(QString::fromLatin1(kSaida));
    const TnField &retorno = FieldByName(QString::fromLatin1(kRetorno));
    const QDate dataSaida = DataOuMinima(saida);
    if (mes.Valido() && dataSaida > mes.Ultimo)
        throw EnField(saida.FieldName(), QString::fromUtf8("A data de saída não pode ser superior a competência "
                                                           "informada!"));
    if (!retorno.IsNull()) {
        if (dataSaida >= retorno.AsDate())
            throw EnField(retorno.FieldName(), QString::fromUtf8("A data de retorno deve ser maior que a data de "
                                                                 "saída!"));
        if (!mes.Contem(retorno.AsDate()))
            throw EnField(retorno.FieldName(), QString::fromUtf8("A data de retorno deve pertencer ao mesmo período "
                                                                 "informado no campo competência!"));
        if (!QtdeAcimaDeZero(FieldByName(QString::fromLatin1(kQtdeRetorno))))
            throw EnField(QString::fromLatin1(kQtdeRetorno),
                          QString::fromUtf8("A quantidade de retorno é obrigatória quando informado data de retorno!"));
    }
    const TnField &ordem = FieldByName(QString::fromLatin1(kOrdem));
    if (ordem.AsString().trimmed().isEmpty() && retorno.IsNull() && !saida.IsNull() && mes.Contem(saida.AsDate()))
        throw EnField(ordem.FieldName(),
                      QString::fromUtf8("A ordem de produção/serviço é obrigatória quando a data de retorno não foi "
                                        "preenchida e da data de saída está no mesmo período da competência "
                                        "informada!"));
    ValidarTipoProduto();
}

TOrvoDCSpedFisK260::TOrvoDCSpedFisK260() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK260> gRegistro(kClasseDMK260);
TnRegistrador<TOrvoDCSpedFisK260> gRegistroConsulta(kClasseDCK260);
} // namespace
