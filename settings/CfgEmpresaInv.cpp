#include "CfgEmpresaInv.h"

const char *const kSQLCfgEmpresaInv =
    "Select t_t.CODIGOEMPRESA,t_t.QTDECASADECIMAL,t_t.QTDECASADECIMALQTD,t_t.LANCAICMSRECUP,"
    "t_t.DETALHARPISCOFINSITEM,t_t.PERIODOINVENTARIO from CFGEMPRESAINV t_t ORDER BY t_t.CodigoEmpresa";

namespace {

// A count of decimals chosen from `de` to 6.
TnDefCampo CasasDecimais(const char *nome, const char *caption, const char *hint, int de, int padrao)
{
    QStringList lista;
    for (int i = de; i <= 6; ++i)
        lista << QStringLiteral("%1=%1").arg(i);
    return {.Nome = nome,
            .Tipo = ftSmallint,
            .Requerido = true,
            .Def = {.DisplayLabel = caption,
                    .Hint = hint,
                    .TamanhoMaximo = 1,
                    .ListaValores = lista,
                    .TipoControle = ntcCombo,
                    .ValorPadrao = padrao,
                    .SomenteDaLista = true,
                    .MensagemErro = "Número de Casas Decimais inválido!"}};
}

// A yes/no setting: "1" or "0", shown as "Sim" and "Não", "0" for a new row.
TnDefCampo SimNao(const char *nome, const char *caption, const char *hint, const char *erro)
{
    return {.Nome = nome,
            .Tipo = ftString,
            .Tamanho = 1,
            .Requerido = true,
            .Def = {.DisplayLabel = caption,
                    .Hint = hint,
                    .TamanhoMaximo = 1,
                    .ListaValores = {QStringLiteral("Sim=1"), QStringLiteral("Não=0")},
                    .TipoControle = ntcCombo,
                    .ValorPadrao = QStringLiteral("0"),
                    .SomenteDaLista = true,
                    .MensagemErro = erro}};
}

} // namespace

std::vector<TnDefCampo> CamposCfgEmpresaInv()
{
    return {
        // Its caption is the dictionary's.
        {.Nome = "CODIGOEMPRESA",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.Chave = "CODIGOEMPRESA",
                 .TamanhoMaximo = 4,
                 .TipoControle = ntcLookup,
                 .CamposLink = "CODIGOEMPRESA",
                 .ClasseLookup = "UlmarDCEmpresa"}},
        CasasDecimais("QTDECASADECIMAL", "Número Casas Decimais para o Custo Unitário",
                      "Número de casas decimais para o campo custo unitário", 2, 2),
        CasasDecimais("QTDECASADECIMALQTD", "Número Casas Decimais para a Quantidade",
                      "Número Casas Decimais para a Quantidade", 0, 4),
        SimNao("LANCAICMSRECUP", "Detalhar ICMS a Recuperar por Item",
               "Lançar ICMS a recuperar por item, informe \"Sim\" caso contrário informe \"Não\"",
               "ICMS a recuperar valor lógico inválido!"),
        SimNao("DETALHARPISCOFINSITEM", "Detalhar PIS/COFINS a Recuperar por Item",
               "Lançar PIS/COFINS por item, informe \"Sim\" caso contrário informe \"Não\"",
               "PIS/COFINS valor lógico inválido!"),
        // 0, the default, is outside the list: no periodicity chosen. Values beyond 3 would
        // be stored as a periodicity nobody knows, so they are refused too.
        {.Nome = "PERIODOINVENTARIO",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.DisplayLabel = "Período Inventário",
                 .Hint = "Informe a forma de utilização do período para a movimentação",
                 .TamanhoMaximo = 4,
                 .ListaValores = {QStringLiteral("Mensal=1"), QStringLiteral("Trimestral=2"),
                                  QStringLiteral("Anual=3")},
                 .TipoControle = ntcCombo,
                 .ValorPadrao = 0,
                 .Minimo = 0,
                 .Maximo = 3}},
    };
}

