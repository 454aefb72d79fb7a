#include "QtdeCasasBlocoK.h"

#include "Conexao.h"
#include "Valores.h"

int LerCasasQtdeBlocoK(int empresa)
{
    auto cmd = nDMConexao::Atual().PrepararGuardado(
        QStringLiteral("select QTDECASADECIMALQTD from CFGEMPRESAINV where CODIGOEMPRESA = ?"));
    cmd->BindInteiro(0, empresa);
    TnCursor &c = cmd->Abrir();
    const QVariant valor = c.Proximo() ? c.Valor(0) : QVariant();
    cmd->Fechar();
    return VarToIntDef(valor, 3);
}

QString EmpresaDaLinhaK(const TnClientDataSet &ds)
{
    const TnField *empresa = ds.Active() && (!ds.IsEmpty() || ds.State() == dsInsert)
                                 ? ds.FindField(QStringLiteral("CODIGOEMPRESA"))
                                 : nullptr;
    return empresa && !empresa->IsNull() ? empresa->AsString() : QStringLiteral("-1");
}

void FormatarQuantidadeK(TnField &campo, int casas)
{
    const QString formato = FormatoCasas(casas);
    campo.SetDisplayFormat(formato);
    campo.SetEditFormat(formato);
}

void PrecisaoQuantidadeK(TnField &campo, int casas)
{
    campo.Def().Decimais = qMax(casas, 0);
    campo.SetDisplayFormat(FormatoCasas(casas));
}
