#include "Dicionario.h"

#include "ClientDataSet.h"

#include <QHash>

namespace {

QString Utf8(const char *s) { return s ? QString::fromUtf8(s) : QString(); }

const std::vector<TnEntradaDicionario> &Entradas()
{
    static const std::vector<TnEntradaDicionario> kEntradas{
        {.Chave = "CODIGOEMPRESA", .Caption = "Empresa"},
        {.Chave = "CODIGOESTAB", .Caption = "Estabelecimento"},
        {.Chave = "DATAINVENT", .Caption = "Data Inventário"},
        {.Chave = "CODIGOPRODUTO", .Caption = "Produto"},
        {.Chave = "MOTIVOINVENTARIO", .Caption = "Motivo Inventário"},
        {.Chave = "ORIGEMDADO", .Caption = "Origem"},
        {.Chave = "CODIGOUSUARIO", .Caption = "Usuário"},
        {.Chave = "CODIGOPESSOA", .Caption = "Pessoa", .TipoControle = ntcLookup, .Digitos = 9,
         .ClasseLookup = "UlmarDCPessoa"},
        {.Chave = "CODIGOGRUPOPRODUTO", .Caption = "Grupo Produto"},
        {.Chave = "CODIGONCMPRODUTO", .Caption = "Classificação Fiscal",
         .Hint = "Código da nomenclatura comum do mercosul"},
        {.Chave = "DICVALOR", .Caption = "Valor"},
        {.Chave = "DICVALOR3", .Caption = "Valor", .Decimais = 3, .DisplayFormat = "#,##0.000"},
        {.Chave = "DICVALOR6", .Caption = "Valor"},
        {.Chave = "DICDATA", .Caption = "Data", .TipoControle = ntcData},
        // A month and year: the value is the month's first day (Definicao::EhMesAno).
        {.Chave = "DICDATAMESANO", .Caption = "Período", .TipoControle = ntcData},
        {.Chave = "SEQSMALLINT", .Caption = "Sequência", .Digitos = 4},
        {.Chave = "INDICADORESTOQUE", .Caption = "Tipo de Estoque", .TipoControle = ntcCombo,
         .ListaValores = {QStringLiteral("Estoque de propriedade do informante e em seu poder=0"),
                          QStringLiteral("Estoque de propriedade do informante e em posse de terceiros=1"),
                          QStringLiteral("Estoque de propriedade de terceiros e em posse do informante=2")}},
        // The bounds of a range of these in the selection ("DataLctoFis_MENORIGUAL").
        {.Chave = "DATALCTOFIS", .Caption = "Competência"},
        {.Chave = "DATAPRODUCAO", .Caption = "Data Produção"},
    };
    return kEntradas;
}

} // namespace

const TnEntradaDicionario *EntradaDicionario(const QString &chave)
{
    static const QHash<QString, const TnEntradaDicionario *> kPorChave = [] {
        QHash<QString, const TnEntradaDicionario *> h;
        for (const TnEntradaDicionario &e : Entradas())
            h.insert(QString::fromLatin1(e.Chave), &e);
        return h;
    }();
    return kPorChave.value(chave.trimmed().toUpper());
}

QString CaptionDoDicionario(const QString &chave)
{
    const TnEntradaDicionario *e = EntradaDicionario(chave);
    return e ? Utf8(e->Caption) : QString();
}

void AplicarDicionario(Definicao &def)
{
    const TnEntradaDicionario *e = EntradaDicionario(def.Chave);
    if (!e)
        return;
    if (def.TipoControle == ntcEdit)
        def.TipoControle = e->TipoControle;
    if (def.Digitos == 0)
        def.Digitos = e->Digitos;
    if (def.Decimais == 0)
        def.Decimais = e->Decimais;
    if (def.DisplayFormat.isEmpty())
        def.DisplayFormat = Utf8(e->DisplayFormat);
    if (def.Hint.isEmpty())
        def.Hint = Utf8(e->Hint);
    if (def.ClasseLookup.isEmpty())
        def.ClasseLookup = Utf8(e->ClasseLookup);
    if (def.ListaValores.isEmpty())
        def.ListaValores = e->ListaValores;
}

void Dicionario(TnClientDataSet &ds)
{
    for (int i = 0; i < ds.FieldCount(); ++i) {
        Definicao &d = ds.Fields(i).Def();
        if (!d.TemListaValores())
            if (const TnEntradaDicionario *e = EntradaDicionario(d.Chave))
                d.ListaValores = e->ListaValores;
    }
}
