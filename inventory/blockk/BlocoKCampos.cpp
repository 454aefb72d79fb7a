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
