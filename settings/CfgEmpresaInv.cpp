#include "CfgEmpresaInv.h"

const char *const kSQLCfgEmpresaInv =
    "Select t_t.CODIGOEMPRESA,t_t.QTDECASADECIMAL,t_t.QTDECASADECIMALQTD,t_t.LANCAICMSRECUP,"
    "t_t.DETALHARPISCOFINSITEM,t_t.PERIODOINVENTARIO from CFGEMPRESAINV t_t ORDER BY t_t.CodigoEmpresa";

namespace {

// "0=0", "1=1"... from `de` to `ate`.
QStringList ListaNumeros(int de, int ate)
{
    QStringList r;
    for (int i = de; i <= ate; ++i)
        r << QStringLiteral("%1=%1").arg(i);
    return r;
}

QStringList SimNao() { return {QString::fromUtf8("Sim=1"), QString::fromUtf8("Não=0")}; }

} // namespace

std::vector<TnDefCampo> CamposCfgEmpresaInv()
{
    return {
        {.Nome = "CODIGOEMPRESA",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.Chave = "CODIGOEMPRESA",
                 .DisplayLabel = "Empresa",
                 .TamanhoMaximo = 4,
                 .TipoControle = ntcLookup,
                 .CamposLink = "CODIGOEMPRESA",
                 .ClasseLookup = "UlmarDCEmpresa"}},
        {.Nome = "QTDECASADECIMAL",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.DisplayLabel = "Número Casas Decimais para o Custo Unitário",
                 .Hint = "Número de casas decimais para o campo custo unitário",
                 .TamanhoMaximo = 1,
                 .ListaValores = ListaNumeros(2, 6),
                 .TipoControle = ntcCombo,
                 .ValorPadrao = 2,
                 .Minimo = 2,
                 .Maximo = 6,
                 .SomenteDaLista = true,
                 .MensagemErro = "Número de Casas Decimais inválido!"}},
        {.Nome = "QTDECASADECIMALQTD",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.DisplayLabel = "Número Casas Decimais para a Quantidade",
                 .Hint = "Número Casas Decimais para a Quantidade",
                 .TamanhoMaximo = 1,
                 .ListaValores = ListaNumeros(0, 6),
                 .TipoControle = ntcCombo,
                 .ValorPadrao = 4,
                 .Maximo = 6,
                 .SomenteDaLista = true,
                 .MensagemErro = "Número de Casas Decimais inválido!"}},
        {.Nome = "LANCAICMSRECUP",
         .Tipo = ftString,
         .Tamanho = 1,
         .Requerido = true,
         .Def = {.DisplayLabel = "Detalhar ICMS a Recuperar por Item",
                 .Hint = "Lançar ICMS a recuperar por item, informe \"Sim\" caso contrário informe \"Não\"",
                 .TamanhoMaximo = 1,
                 .ListaValores = SimNao(),
                 .TipoControle = ntcCombo,
                 .ValorPadrao = QStringLiteral("0"),
                 .SomenteDaLista = true,
                 .MensagemErro = "ICMS a recuperar valor lógico inválido!"}},
        {.Nome = "DETALHARPISCOFINSITEM",
         .Tipo = ftString,
         .Tamanho = 1,
         .Requerido = true,
         .Def = {.DisplayLabel = "Detalhar PIS/COFINS a Recuperar por Item",
                 .Hint = "Lançar PIS/COFINS por item, informe \"Sim\" caso contrário informe \"Não\"",
                 .TamanhoMaximo = 1,
                 .ListaValores = SimNao(),
                 .TipoControle = ntcCombo,
                 .ValorPadrao = QStringLiteral("0"),
                 .SomenteDaLista = true,
                 .MensagemErro = "PIS/COFINS valor lógico inválido!"}},
        // 0, the default, is outside the list: no periodicity chosen. Values beyond 3 would
        // be stored as a periodicity nobody knows, so they are refused too.
        {.Nome = "PERIODOINVENTARIO",
         .Tipo = ftSmallint,
         .Requerido = true,
         .Def = {.DisplayLabel = "Período Inventário",
                 .Hint = "Informe a forma de utilização do período para a movimentação",
                 .TamanhoMaximo = 4,
                 .ListaValores = {QString::fromUtf8("Mensal=1"), QString::fromUtf8("Trimestral=2"),
                                  QString::fromUtf8("Anual=3")},
                 .TipoControle = ntcCombo,
                 .ValorPadrao = 0,
                 .Minimo = 0,
                 .Maximo = 3}},
    };
}

void GerarAcoesCfg(const std::vector<TnDefAcaoCfg> &acoes, const TnClasseInfo &classe, TnActionList &lista,
                   const TnEventoAcao &evento, const TnModulos &modulos)
{
    for (const TnDefAcaoCfg &d : acoes) {
        if (d.Modulo < 0 || d.Modulo >= int(modulos.size()) || !modulos.test(d.Modulo))
            continue;
        TnAction *a = lista.Adicionar(classe, evento);
        a->SetCategory(QString::fromUtf8(d.Categoria));
        a->SetCaption(QString::fromUtf8(d.Caption));
        a->SetMenuIndex(d.Indice);
        a->SetShortCut(QString::fromUtf8(d.Atalho));
        a->SetImageIndex(d.Imagem);
        a->SetChecarSelecao(d.ChecarSelecao);
        if (d.SemControleDireito)
            a->SetControlaDireito(false);
        return;
    }
}
