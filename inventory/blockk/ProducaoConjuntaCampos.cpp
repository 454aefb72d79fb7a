#include "ProducaoConjuntaCampos.h"

#include "BlocoKCampos.h"
#include "DMClientDataSet.h"

TnDefCampo EmpresaProducaoConjunta(bool requerido)
{
    TnDefCampo c = CampoEmpresaK();
    c.Requerido = requerido;
    c.Def.Visivel = false;
    c.Def.TipoControle = ntcLookup;
    c.Def.MensagemErro = QString::fromUtf8("Código da empresa inválido!");
    c.Def.Hint = QStringLiteral("Informe o código da empresa");
    c.Def.ClasseLookup = QStringLiteral("UlmarDCEmpresa");
    c.Def.ResultadoLookup = QStringLiteral("NOMEEMPRESA");
    return c;
}

TnDefCampo EstabProducaoConjunta(bool requerido)
{
    TnDefCampo c = CampoEstabK();
    c.Requerido = requerido;
    c.Def.Visivel = false;
    c.Def.TipoControle = ntcLookup;
    c.Def.Hint = QStringLiteral("Informe o código da matriz ou filial");
    c.Def.ClasseLookup = QStringLiteral("UlmarDCEstab");
    c.Def.ResultadoLookup = QStringLiteral("NOMEESTAB");
    return c;
}

TnDefCampo CompetenciaProducaoConjunta(bool requerido, bool visivel, const char *label)
{
    return {.Nome = "DATALCTOFIS", .Tipo = ftDate, .Requerido = requerido,
            .Def = {.Chave = "DICDATAMESANO", .DisplayLabel = QString::fromUtf8(label),
                    .Hint = QString::fromUtf8("Competência de mês e ano"), .TipoControle = ntcData,
                    .Visivel = visivel}};
}

TnDefCampo ProdutoProducaoConjunta(const char *label, const char *hint, const char *resultado)
{
    TnDefCampo c = CampoProdutoK("CODIGOPRODUTO", true, label, hint);
    c.Def.Digitos = 15;
    c.Def.ResultadoLookup = QString::fromLatin1(resultado);
    return c;
}

TnDefCampo QuantidadeProducaoConjunta(const char *nome, int precisao, const char *label, const char *hint)
{
    TnDefCampo c = CampoQuantidadeK(nome, precisao, 3, "#,##0.000", label, hint);
    c.Def.Chave = QStringLiteral("DICVALOR3");
    c.Def.Digitos = 14;
    return c;
}

QString RotulosChave(const TnDMClientDataSet &dm, std::initializer_list<const char *> campos)
{
    QStringList r;
    for (const char *c : campos)
        r << QLatin1Char('[') + dm.FieldByName(QString::fromLatin1(c)).DisplayLabel() + QLatin1Char(']');
    return r.join(QStringLiteral("\r\n"));
}
