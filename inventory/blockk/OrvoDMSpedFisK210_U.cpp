#include "OrvoDMSpedFisK210_U.h"

#include "BlocoKCampos.h"
#include "BlocoKRegras.h"

namespace {

const char *const kOrdem = "CODIGODOCOS";
const char *const kInicio = "DATAINICIALOS";
const char *const kFim = "DATAFINALOS";

std::vector<TnDefCampo> Campos(bool consulta)
{
    TnDefCampo produto = CampoProdutoK("CODIGOPRODUTO", true, "Produto Origem",
                                       "Informe o produto que deu origem à desmontagem");
    if (consulta)
        produto.Def.ResultadoLookup = QStringLiteral("REFERENPRODUTO;DESCRPRODUTO");
    TnDefCampo quantidade = CampoQuantidadeK("QUANTIDADE", 18, 3, "#,##0.000", " Quantidade",
                                             "Informe a quantidade – saída do estoque");
    quantidade.Def.Chave = QStringLiteral("DICVALOR3");
    return {CampoEmpresaK(),
            CampoEstabK(),
            {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true,
             .Def = {.Chave = "DICDATAMESANO", .Hint = QString::fromUtf8("Informe a competência do lançamento"),
                     .TipoControle = ntcData}},
            // Numbered within the branch's competence month.
            {.Nome = "SEQK210", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.Chave = "SEQSMALLINT", .SequenciaPor = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS"}},
            produto,
            quantidade,
            {.Nome = kOrdem, .Tipo = ftString, .Tamanho = 30,
             .Def = {.DisplayLabel = QString::fromUtf8("Ordem de Serviço"),
                     .Hint = QString::fromUtf8("Informe o código de identificação da ordem de serviço"),
                     .TamanhoMaximo = 30}},
            {.Nome = kInicio, .Tipo = ftDate,
             .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8("Data Inicío Ordem de Serviço"),
                     .Hint = QString::fromUtf8("Informe a data de início da ordem de serviço")}},
            {.Nome = kFim, .Tipo = ftDate,
             .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8("Data Conclusão Ordem de Serviço"),
                     .Hint = QString::fromUtf8("Informe a data de conclusão da ordem de serviço")}}};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }

} // namespace

TOrvoDMSpedFisK210::TOrvoDMSpedFisK210() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro))
{
    ConfigurarErroChave(4);
    // The destination products follow the current disassembly, with or without a form.
    CriarDetalhe(QStringLiteral("TOrvoDMSpedFisK215"), QString::fromLatin1(kLigacaoK215));
}

QString TOrvoDMSpedFisK210::GetCamposChaveUNQ() const
{
    return QStringLiteral("[%1]\r\n[%2]\r\n[%3]")
        .arg(FieldByName(QStringLiteral("DATALCTOFIS")).DisplayLabel(),
             FieldByName(QStringLiteral("CODIGOPRODUTO")).DisplayLabel(),
             FieldByName(QString::fromLatin1(kOrdem)).DisplayLabel());
}

void TOrvoDMSpedFisK210::ConfigurarAutoRequerido(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarAutoRequerido(objeto);
    // The service order and its start date go together.
    const bool temOrdem = !FieldByName(QString::fromLatin1(kOrdem)).AsString().isEmpty();
    const bool temInicio = !FieldByName(QString::fromLatin1(kInicio)).IsNull();
    RequererCampo(QString::fromLatin1(kInicio), temOrdem);
    RequererCampo(QString::fromLatin1(kOrdem), temInicio);
}

void TOrvoDMSpedFisK210::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnModuloBlocoK::ConfigurarCampo(objeto);
    ConfigurarAutoRequerido(objeto);
}

void TOrvoDMSpedFisK210::nClientDataSetCampoChange(TnField &campo)
{
    TnModuloBlocoK::nClientDataSetCampoChange(campo);
    if (campo.FieldName().compare(QLatin1String(kOrdem), Qt::CaseInsensitive) == 0
        || campo.FieldName().compare(QLatin1String(kInicio), Qt::CaseInsensitive) == 0)
        ConfigurarAutoRequerido(&nClientDataSet());
}

void TOrvoDMSpedFisK210::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    const TnField &competencia = FieldByName(QStringLiteral("DATALCTOFIS"));
    const TnField &inicio = FieldByName(QString::fromLatin1(kInicio));
    const TnField &fim = FieldByName(QString::fromLatin1(kFim));
    const TnMesCompetencia mes(competencia);
    if (!inicio.IsNull() && mes.Valido() && inicio.AsDate() > mes.Ultimo)
        throw EnField(inicio.FieldName(), QString::fromUtf8("A data de início da ordem de serviço não pode ser "
                                                            "superior a competência informada!"));
    if (!fim.IsNull()) {
        if (!inicio.IsNull() && inicio.AsDate() > fim.AsDate())
            throw EnField(fim.FieldName(), QString::fromUtf8("A data de conclusão da ordem de serviço não pode ser "
                                                             "inferior a data de início!"));
        if (!mes.Contem(fim.AsDate()))
            throw EnField(fim.FieldName(), QString::fromUtf8("A data de conclusão da ordem de serviço deve "
                                                             "pertencer ao mesmo período informado no campo "
                                                             "competência!"));
    }
    ValidarTipoProduto();
}

TOrvoDCSpedFisK210::TOrvoDCSpedFisK210() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK210> gRegistro(kClasseDMK210);
TnRegistrador<TOrvoDCSpedFisK210> gRegistroConsulta(kClasseDCK210);
} // namespace
