#include "OrvoDMSPEDFISK300_U.h"

#include "Conexao.h"
#include "ProducaoConjuntaCampos.h"

namespace {

const char *const kChaveProducao = "CodigoEmpresa;CodigoEstab;DataLctoFis;DataReconhecProd";

TnDefCampo Reconhecimento(bool requerido, bool visivel, const char *label = "")
{
    return {.Nome = "DATARECONHECPROD", .Tipo = ftDate, .Requerido = requerido,
            .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8(label), .Hint = QStringLiteral("Data"),
                    .TipoControle = ntcData, .Visivel = visivel}};
}

std::vector<TnDefCampo> CamposK300()
{
    return {EmpresaProducaoConjunta(false), EstabProducaoConjunta(false),
            CompetenciaProducaoConjunta(true, true, "Competência Mês/Ano"),
            Reconhecimento(true, true, "Data do Reconhecimento da Produção")};
}

// The register lists the key first; the consultation the quantity and the product first.
std::vector<TnDefCampo> CamposItem(bool consulta, const char *produto, const char *quantidade)
{
    TnDefCampo codigo = ProdutoProducaoConjunta(produto, "Informe o código do Produto",
                                                consulta ? "REFERDESCRPRODUTO" : "REFERENPRODUTO;DESCRPRODUTO");
    codigo.Requerido = !consulta;
    TnDefCampo qtde = QuantidadeProducaoConjunta("QTDE", 18, quantidade);
    if (consulta)
        return {qtde, codigo, EmpresaProducaoConjunta(false), EstabProducaoConjunta(false),
                CompetenciaProducaoConjunta(false, false), Reconhecimento(false, false)};
    return {EmpresaProducaoConjunta(false), EstabProducaoConjunta(false), CompetenciaProducaoConjunta(false, false),
            Reconhecimento(false, false), codigo, qtde};
}

std::vector<TnDefCampo> CamposK301() { return CamposItem(false, "Código do Item Produzido", "Quantidade Produzida"); }
std::vector<TnDefCampo> CamposK301Consulta()
{
    return CamposItem(true, "Código do Item Produzido", "Quantidade Produzida");
}
std::vector<TnDefCampo> CamposK302() { return CamposItem(false, "Código do Insumo", "Quantidade Consumida"); }
std::vector<TnDefCampo> CamposK302Consulta() { return CamposItem(true, "Código do Insumo", "Quantidade Consumida"); }

// The type lists of the items begin with this line.
const char *const kPertencer = "O produto informado deve pertencer a um dos seguintes tipos de mercadorias:";

} // namespace

TOrvoDMSPEDFISK300::TOrvoDMSPEDFISK300() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK300))
{
    ConfigurarErroChave(1);
}

void TOrvoDMSPEDFISK300::DepoisConfigurar(TnFormModulo *form)
{
    TnModuloBlocoK::DepoisConfigurar(form);
    // Once per module: a new configuration keeps the details it made.
    if (!Detalhes().isEmpty())
        return;
    const QString paginas = CriarPageControl();
    CriarDetalhe(QString::fromLatin1(kClasseDMK301), QString::fromLatin1(kChaveProducao), QString(), paginas);
    CriarDetalhe(QString::fromLatin1(kClasseDMK302), QString::fromLatin1(kChaveProducao), QString(), paginas);
}

QString TOrvoDMSPEDFISK300::MensagemChaveComItens()
{
    return QString::fromUtf8("A competência e a data do reconhecimento desta produção não podem ser alteradas: "
                             "há itens produzidos ou insumos consumidos lançados nela. Exclua-os ou lance-os "
                             "em uma nova produção.");
}

void TOrvoDMSPEDFISK300::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    if (nClientDataSet().State() != dsEdit)
        return;
    static const char *const kChave[] = {"CODIGOEMPRESA", "CODIGOESTAB", "DATALCTOFIS", "DATARECONHECPROD"};
    bool mudou = false;
    for (const char *c : kChave) {
        const TnField &f = FieldByName(QString::fromLatin1(c));
        mudou = mudou || f.OldValue() != f.AsVariant();
    }
    if (!mudou)
        return;
    // The items of the key as it is stored: with any, the change would leave them behind.
    auto cmd = nDMConexao::Atual().PrepararGuardado(QStringLiteral(
        "select 1 from SPEDFISK301 where CODIGOEMPRESA = ? and CODIGOESTAB = ? and DATALCTOFIS = ? and "
        "DATARECONHECPROD = ? union all select 1 from SPEDFISK302 where CODIGOEMPRESA = ? and CODIGOESTAB = ? and "
        "DATALCTOFIS = ? and DATARECONHECPROD = ?"));
    for (int i = 0; i < 8; ++i)
        cmd->BindValor(i, FieldByName(QString::fromLatin1(kChave[i % 4])).OldValue());
    const bool temItens = cmd->Abrir().Proximo();
    cmd->Fechar();
    if (temItens)
        throw EnField(QStringLiteral("DATARECONHECPROD"), MensagemChaveComItens());
}

QString TOrvoDMSPEDFISK300::GetCamposChaveUNQ() const
{
    return RotulosChave(*this, {"DATALCTOFIS", "DATARECONHECPROD"});
}

TOrvoDCSPEDFISK300::TOrvoDCSPEDFISK300() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK300)) {}

QString TOrvoItemK300::GetCamposChaveUNQ() const { return RotulosChave(*this, {"CODIGOPRODUTO"}); }

unsigned TOrvoItemK300::TipoDoProduto() const
{
    const TnField &produto = FieldByName(QStringLiteral("CODIGOPRODUTO"));
    const TnField &empresa = FieldByName(QStringLiteral("CODIGOEMPRESA"));
    unsigned tipo = 0;
    if (produto.IsNull() || empresa.IsNull() || !LerIndicadorTipo(empresa.AsLargeInt(), produto.AsLargeInt(), tipo))
        return 0;
    return tipo;
}

void TOrvoItemK300::ValidarTipo(quint32 mascara, const QString &mensagem)
{
    if (!TipoNoConjunto(TipoDoProduto(), mascara))
        throw EnField(QStringLiteral("CODIGOPRODUTO"), mensagem);
}

TOrvoDMSPEDFISK301::TOrvoDMSPEDFISK301() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK301)) { ConfigurarErroChave(1); }

QString TOrvoDMSPEDFISK301::MensagemTipo()
{
    return QString::fromUtf8(kPertencer) + QString::fromUtf8("\r\nProduto em Processo;\r\n"
                             "Produto Acabado;");
}

void TOrvoDMSPEDFISK301::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    ValidarTipo(kTipos, MensagemTipo());
}

TOrvoDCSPEDFISK301::TOrvoDCSPEDFISK301() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK301Consulta)) {}

TOrvoDMSPEDFISK302::TOrvoDMSPEDFISK302() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK302)) { ConfigurarErroChave(1); }

QString TOrvoDMSPEDFISK302::MensagemTipo()
{
    // The seven types every Bloco K register accepts, under this record's first line.
    return QString::fromUtf8(kPertencer) + QStringLiteral("\r\n")
           + MensagemTipoProduto().section(QStringLiteral("\r\n"), 1);
}

void TOrvoDMSPEDFISK302::ValidarDado()
{
    TnModuloBlocoK::ValidarDado();
    ValidarTipo(kTipos, MensagemTipo());
}

TOrvoDCSPEDFISK302::TOrvoDCSPEDFISK302() : TnModuloBlocoK(DeclaracaoDaClasse(CamposK302Consulta)) {}

namespace {
TnRegistrador<TOrvoDMSPEDFISK300> gRegistroK300(kClasseDMK300);
TnRegistrador<TOrvoDCSPEDFISK300> gRegistroConsultaK300(kClasseDCK300);
TnRegistrador<TOrvoDMSPEDFISK301> gRegistroK301(kClasseDMK301);
TnRegistrador<TOrvoDCSPEDFISK301> gRegistroConsultaK301(kClasseDCK301);
TnRegistrador<TOrvoDMSPEDFISK302> gRegistroK302(kClasseDMK302);
TnRegistrador<TOrvoDCSPEDFISK302> gRegistroConsultaK302(kClasseDCK302);
} // namespace
