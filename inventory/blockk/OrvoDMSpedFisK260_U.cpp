#include "OrvoDMSpedFisK260_U.h"

#include "BlocoKCampos.h"
#include "BlocoKRegras.h"
#include "ProducaoConjuntaCampos.h"

namespace {

const char *const kSaida = "DATASAIDA";
const char *const kRetorno = "DATARETORNO";
const char *const kQtdeRetorno = "QUANTIDADERET";
const char *const kOrdem = "CODIGOOPOS";

TnDefCampo Quantidade(const char *nome, const char *label, const char *hint, bool requerido)
{
    TnDefCampo q = CampoQuantidadeK(nome, 18, 3, "#,##0.000", label, hint, requerido);
    q.Def.Chave = QStringLiteral("DICVALOR3");
    return q;
}

TnDefCampo Data(const char *nome, const char *label, const char *hint, bool requerido)
{
    return {.Nome = QString::fromLatin1(nome), .Tipo = ftDate, .Requerido = requerido,
            .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8(label), .Hint = QString::fromUtf8(hint)}};
}

// The consultation shows the product's reference and description beside its code.
std::vector<TnDefCampo> Campos(bool consulta)
{
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true, "Produto/Insumo",
                                       "Informe o código do produto/insumo a ser reprocessado ou já processado");
    if (consulta)
        produto.Def.ResultadoLookup = QStringLiteral("REFERENPRODUTO;DESCRPRODUTO");
    return {CampoEmpresaK(),
            CampoEstabK(),
            {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true,
             .Def = {.Chave = "DICDATAMESANO", .Hint = QString::fromUtf8("Informe a competência do lançamento"),
                     .TipoControle = ntcData}},
            // Numbered within the branch's competence month.
            {.Nome = "SEQK260", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.Chave = "SEQSMALLINT", .SequenciaPor = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS"}},
            produto,
            Data(kSaida, "Data Saída", "Informe a data de saída do estoque", true),
            Quantidade("QUANTIDADESAI", "Quantidade Saída", "Informe a quantidade de saída do estoque", true),
            Data(kRetorno, "Data Retorno", "Informe a data de retorno ao estoque", false),
            Quantidade(kQtdeRetorno, "Quantidade Retorno", "Informe a quantidade de retorno ao estoque", false),
            {.Nome = kOrdem, .Tipo = ftString, .Tamanho = 30,
             .Def = {.DisplayLabel = QString::fromUtf8("Ordem de Produção/Serviço"),
                     .Hint = QString::fromUtf8("Informe o código da ordem de produção no reprocessamento, ou da "
                                               "ordem de serviço no reparo"),
                     .TamanhoMaximo = 30}}};
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
