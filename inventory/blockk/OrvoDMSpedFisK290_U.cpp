#include "OrvoDMSpedFisK290_U.h"

#include "ProducaoConjuntaCampos.h"

namespace {

const char *const kChaveOrdem = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK290";

TnDefCampo Data(const char *nome, bool requerido, const char *label, const char *hint)
{
    return {.Nome = nome, .Tipo = ftDate, .Requerido = requerido,
            .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8(label), .Hint = QString::fromUtf8(hint),
                    .TipoControle = ntcData}};
}

// The order's sequence: proposed within company, branch and competence in the register;
// in the items it comes from the order (hidden, never proposed).
TnDefCampo Sequencia(bool ordem)
{
    TnDefCampo c{.Nome = "SEQK290", .Tipo = ftSmallint, .Requerido = ordem,
                 .Def = {.Chave = "SEQSMALLINT", .Hint = QString::fromUtf8("Número da sequência"), .Visivel = ordem}};
    if (ordem)
        c.Def.SequenciaPor = QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS");
    return c;
}

std::vector<TnDefCampo> Campos(bool consulta)
{
    const bool req = !consulta;
    return {EmpresaProducaoConjunta(req),
            EstabProducaoConjunta(req),
            CompetenciaProducaoConjunta(req),
            Sequencia(true),
            Data("DATAINICIALORDEMPRODUCAO", req, "Data Inicial Produção",
                 consulta ? "Data" : "Data de início da ordem de produção"),
            Data("DATAFINALORDEMPRODUCAO", false, "Data Final Produção",
                 consulta ? "Data" : "Data de conclusão da ordem de produção"),
            {.Nome = "CODIGOOPOS", .Tipo = ftString, .Tamanho = 30, .Requerido = req,
             .Def = {.DisplayLabel = QString::fromUtf8("Ordem de Produção/Serviço"),
                     .Hint = QString::fromUtf8("Informe o código da ordem de produção no reprocessamento, ou da "
                                               "ordem de serviço no reparo")}}};
}

std::vector<TnDefCampo> CamposItem(const char *produto, const char *hintProduto, const char *resultado,
                                   const char *quantidade, const char *labelQtde)
{
    return {EmpresaProducaoConjunta(false),
            EstabProducaoConjunta(false),
            CompetenciaProducaoConjunta(false, false),
            Sequencia(false),
            ProdutoProducaoConjunta(produto, hintProduto, resultado),
            QuantidadeProducaoConjunta(quantidade, 18, labelQtde, "Informe o valor")};
}

std::vector<TnDefCampo> CamposRegistro() { return Campos(false); }
std::vector<TnDefCampo> CamposConsulta() { return Campos(true); }
std::vector<TnDefCampo> CamposK291()
{
    return CamposItem("Código do Item Produzido", "Informe o código do Produto", "REFERENPRODUTO;DESCRPRODUTO",
                      "QTDPRODUCAOACABADA", "Quantidade de Produção Acabada");
}
std::vector<TnDefCampo> CamposK292(bool consulta)
{
    return CamposItem("Código do Insumo/Componente Consumido",
                      consulta ? "Informe o código do Produto" : "Informe o código do Insumo",
                      consulta ? "REFERDESCRPRODUTO" : "REFERENPRODUTO;DESCRPRODUTO", "QTDCONSUMIDA",
                      "Quantidade Consumida");
}
std::vector<TnDefCampo> CamposK292Registro() { return CamposK292(false); }
std::vector<TnDefCampo> CamposK292Consulta() { return CamposK292(true); }

} // namespace

TOrvoDMSpedFisK290::TOrvoDMSpedFisK290() : TnModuloBlocoK(DeclaracaoDaClasse(CamposRegistro))
{
    // A second order of the same code in the competence is refused with the natural key.
    ConfigurarErroChave(4);
}

void TOrvoDMSpedFisK290::DepoisConfigurar(TnFormModulo *form)
{
    TnModuloBlocoK::DepoisConfigurar(form);
    // Once per module: a new configuration keeps the details it made.
    if (!Detalhes().isEmpty())
        return;
    CriarDetalheEmPage(QString::fromLatin1(kClasseDMK291),
                       QString::fromUtf8("K291 - Produção Conjunta Itens Produzidos"), QString::fromLatin1(kChaveOrdem));
    CriarDetalheEmPage(QString::fromLatin1(kClasseDMK292),
                       QString::fromUtf8("K292 - Produção Conjunta Industrialização Efetuada por Terceiros Insumos "
                                         "Consumidos"),
                       QString::fromLatin1(kChaveOrdem));
}

QString TOrvoDMSpedFisK290::GetCamposChaveUNQ() const
{
    return RotulosChave(*this, {"CODIGOEMPRESA", "CODIGOESTAB", "DATALCTOFIS", "CODIGOOPOS"});
}

TOrvoDCSpedFisK290::TOrvoDCSpedFisK290() : TnModuloBlocoK(DeclaracaoDaClasse(CamposConsulta)) {}
TOrvoDMSpedFisK291::TOrvoDMSpedFisK291() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK291)) {}
TOrvoDCSpedFisK291::TOrvoDCSpedFisK291() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK291)) {}
TOrvoDMSpedFisK292::TOrvoDMSpedFisK292() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK292Registro)) {}
TOrvoDCSpedFisK292::TOrvoDCSpedFisK292() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK292Consulta)) {}

namespace {
TnRegistrador<TOrvoDMSpedFisK290> gRegistroK290(kClasseDMK290);
TnRegistrador<TOrvoDCSpedFisK290> gRegistroConsultaK290(kClasseDCK290);
TnRegistrador<TOrvoDMSpedFisK291> gRegistroK291(kClasseDMK291);
TnRegistrador<TOrvoDCSpedFisK291> gRegistroConsultaK291(kClasseDCK291);
TnRegistrador<TOrvoDMSpedFisK292> gRegistroK292(kClasseDMK292);
TnRegistrador<TOrvoDCSpedFisK292> gRegistroConsultaK292(kClasseDCK292);
} // namespace
