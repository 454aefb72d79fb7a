#include "OrvoConstrutorConsultaPersonalizada_U.h"

#include "Variaveis.h"

namespace {

struct TnEntradaCatalogo {
    const char *Classe, *Grupo, *Item, *Caption;
};

const TnEntradaCatalogo kCatalogo[] = {
    {"TOrvoDMLctoInv", "Lancamentos", "Lançamento", "Lançamentos do Inventário"},
    {"TOrvoDMLctoInvPropriedade", "Lancamentos", "Lançamento", "Lançamentos do Inventário - Propriedade"},
    {"TOrvoDMLctoInvCST", "Lancamentos", "Lançamento", "Lançamentos do Inventário - CST"},
    {"TUlmarDMProduto", "Cadastros", "Cadastro", ""},
    {"TOrvoDMSpedFis0210", "Cadastros", "Cadastro", "0210 (Consumo Específico Padronizado)"},
    {"TOrvoDMSpedFisK200", "Cadastros", "Cadastro", "K200 (Estoque Escriturado)"},
    {"TOrvoDMSpedFisK220", "Cadastros", "Cadastro", "K220 (Outras Movimentações Internas Entre Mercadorias)"},
    {"TOrvoDMSpedFisK230", "Cadastros", "Cadastro", "K230 (Itens Produzidos)"},
    {"TOrvoDMSpedFisK235", "Cadastros", "Cadastro", "K235 (Insumos Consumidos)"},
    {"TOrvoDMSpedFisK250", "Cadastros", "Cadastro", "K250 (Industrialização Efetuada por Terceiros)"},
    {"TOrvoDMSpedFisK255", "Cadastros", "Cadastro",
     "K255 (Industrialização Efetuada por Terceiros - Insumos Consumidos)"},
    {"TTavroDCPlanoEspec", "Cadastros", "Cadastro", ""},
};

} // namespace

void OrvoCriarCamposDM(int tipo, const QString &classe, TnClientDataSet &campos)
{
    if (classe != QLatin1String("TOrvoDMLctoInv"))
        return;
    auto valor = [&](const char *campo, const QVariant &v) {
        campos.FieldByName(QString::fromLatin1(campo)).SetAsVariant(v);
    };
    campos.Append();
    valor("Tipo", tipo);
    valor("Tabela", classe);
    valor("Campo", QStringLiteral("CUSTOTOTAL"));
    valor("Descricao", QStringLiteral("Custo Total"));
    valor("FieldTipoValor", true);
    valor("NomeConsulta", QString());
    for (const char *c : {"Filtro", "Dado", "NegativarValor", "Somar", "Contar", "Minimo", "Maximo", "Media", "Join"})
        valor(c, false);
    valor("Formula", QStringLiteral("(%0:s.QTDEESTOQUE * %0:s.PRECOUNIT)"));
    campos.Post();
}

void ParaCadaTabelaOrvo(
    const std::function<void(const QString &, const QString &, const QString &, const QString &)> &adicionar)
{
    for (const TnEntradaCatalogo &e : kCatalogo)
        adicionar(QString::fromLatin1(e.Classe), QString::fromUtf8(e.Grupo), QString::fromUtf8(e.Item),
                  QString::fromUtf8(e.Caption));
}

void ConfigurarTabelas(TnCatalogoConsulta &catalogo)
{
    catalogo.OnCriarCamposDM = &OrvoCriarCamposDM;
    ParaCadaTabelaOrvo([&](const QString &classe, const QString &grupo, const QString &item, const QString &caption) {
        catalogo.AddTabela(classe, grupo, item, caption);
    });
}

void PresetarProdutoSelecao()
{
    const QString produto = QStringLiteral("CODIGOPRODUTO");
    if (Selecao().Existe(produto))
        Selecao().GetParams(produto).SetValue(1);
}

void FormatarValorOrvo(TnField &campo)
{
    if ((campo.DataType() == ftFloat || campo.DataType() == ftBCD) && campo.DisplayFormat().isEmpty())
        campo.SetDisplayFormat(QStringLiteral("#,##0.00"));
}
