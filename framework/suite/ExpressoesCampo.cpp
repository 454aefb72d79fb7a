#include "ExpressoesCampo.h"

#include "Excecoes.h"

void TnFieldExpressionFunctions::RegisterFunction(const QString &nome, TnFuncaoExpressao funcao)
{
    FFuncoes.insert(nome.trimmed().toUpper(), std::move(funcao));
}

void TnFieldExpressionFunctions::UnregisterFunction(const QString &nome)
{
    FFuncoes.remove(nome.trimmed().toUpper());
}

bool TnFieldExpressionFunctions::Existe(const QString &nome) const
{
    return FFuncoes.contains(nome.trimmed().toUpper());
}

QVariant TnFieldExpressionFunctions::Chamar(const QString &nome, const QVariant &argumento) const
{
    const auto it = FFuncoes.constFind(nome.trimmed().toUpper());
    if (it == FFuncoes.constEnd())
        throw Exception(QStringLiteral("Função de expressão não registrada: %1").arg(nome));
    return it.value()(argumento);
}

TnFieldExpressionFunctions &FieldExpressionFunctions()
{
    static TnFieldExpressionFunctions funcoes;
    return funcoes;
}
