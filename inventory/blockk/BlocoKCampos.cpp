#include "BlocoKCampos.h"

TnDefCampo CampoEmpresaK()
{
    return {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true,
            .Def = {.Chave = "CODIGOEMPRESA", .Digitos = 4, .CamposLink = "CODIGOEMPRESA"}};
}

TnDefCampo CampoEstabK(bool link)
{
    return {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true,
            .Def = {.Chave = "CODIGOESTAB", .Digitos = 4,
                    .CamposLink = link ? QStringLiteral("CODIGOEMPRESA;CODIGOESTAB") : QString()}};
}

TnDefCampo CampoProdutoK(const char *nome, bool requerido, const char *label, const char *hint)
{
    const QString n = QString::fromLatin1(nome);
    return {.Nome = n, .Tipo = ftLargeint, .Requerido = requerido,
            .Def = {.Chave = "CODIGOPRODUTO", .DisplayLabel = QString::fromUtf8(label), .Hint = QString::fromUtf8(hint),
                    .CamposLink = QStringLiteral("CODIGOEMPRESA;") + n, .ClasseLookup = "UlmarDCProduto"}};
}

TnDefCampo CampoQuantidadeK(const char *nome, int precisao, int escala, const char *formato, const char *label,
                            const char *hint, bool requerido)
{
    return {.Nome = QString::fromLatin1(nome), .Tipo = ftBCD, .Precisao = precisao, .Escala = escala,
            .Requerido = requerido,
            .Def = {.DisplayLabel = QString::fromUtf8(label), .Hint = QString::fromUtf8(hint), .Decimais = escala,
                    .DisplayFormat = QString::fromUtf8(formato), .EditFormat = QString::fromUtf8(formato)}};
}

TnDefCampo CampoQtde3K(const char *nome, const char *label, const char *hint, bool requerido)
{
    TnDefCampo q = CampoQuantidadeK(nome, 18, 3, "#,##0.000", label, hint, requerido);
    q.Def.Chave = QStringLiteral("DICVALOR3");
    return q;
}

TnDefCampo CampoDataK(const char *nome, const char *label, const char *hint, bool requerido)
{
    return {.Nome = QString::fromLatin1(nome), .Tipo = ftDate, .Requerido = requerido,
            .Def = {.Chave = "DICDATA", .DisplayLabel = QString::fromUtf8(label), .Hint = QString::fromUtf8(hint)}};
}

TnDefCampo CampoCompetenciaK(bool mestre)
{
    TnDefCampo c{.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = true, .Def = {.Chave = "DICDATAMESANO"}};
    if (mestre) {
        c.Def.Hint = QString::fromUtf8("Informe a competência do lançamento");
        c.Def.TipoControle = ntcData;
    } else {
        c.Def.Visivel = false;
    }
    return c;
}

TnDefCampo CampoSequenciaK(const char *nome, bool mestre)
{
    TnDefCampo s{.Nome = QString::fromLatin1(nome), .Tipo = ftSmallint, .Requerido = true,
                 .Def = {.Chave = "SEQSMALLINT"}};
    if (mestre)
        s.Def.SequenciaPor = QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS");
    else
        s.Def.Visivel = false;
    return s;
}

TnDefCampo CampoOrdemOSK(const char *hint)
{
    return {.Nome = "CODIGOOPOS", .Tipo = ftString, .Tamanho = 30,
            .Def = {.DisplayLabel = QString::fromUtf8("Ordem de Produção/Serviço"), .Hint = QString::fromUtf8(hint),
                    .TamanhoMaximo = 30}};
}

TnDefCampo CampoCorrecaoK(bool positiva, bool periodoAnterior)
{
    const QString sinal = positiva ? QStringLiteral("positiva") : QStringLiteral("negativa");
    TnDefCampo c = CampoQtde3K(positiva ? "QTDCORRECAOPOS" : "QTDCORRECAONEG", "", "");
    c.Def.DisplayLabel = positiva ? QString::fromUtf8("Quantidade Correção Positiva")
                                  : QString::fromUtf8("Quantidade Correção Negativa");
    c.Def.Hint = QString::fromUtf8("Informe a quantidade de correção %1 de apontamento").arg(sinal)
                 + (periodoAnterior ? QString::fromUtf8(" ocorrido em período de apuração anterior") : QString());
    return c;
}
