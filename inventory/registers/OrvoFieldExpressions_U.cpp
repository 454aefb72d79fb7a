// Field-expression functions of the inventory: whether a company details recoverable ICMS
// (EMPRESAINFORMAICMS) or PIS/COFINS (EMPRESAINFORMAPISCOFINS) per inventory entry, read
// from its inventory settings. Registered while OrvoCore is loaded, removed when it unloads.
//
// The argument is the company code. An empty one means the company of the current
// selection. Anything that is not a whole number answers false and reaches no statement:
// the expression text comes from outside and is never pasted into SQL.
#include "Conexao.h"
#include "ExpressoesCampo.h"
#include "Variaveis.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <optional>

namespace {

// The call log: off unless the category is switched on (QT_LOGGING_RULES).
Q_LOGGING_CATEGORY(lcExpressoes, "orvo.expressoes", QtInfoMsg)

std::optional<int> EmpresaDoArgumento(const QVariant &argumento)
{
    QString texto;
    if (argumento.isValid() && !argumento.isNull())
        texto = argumento.toString().trimmed();
    if (texto.isEmpty()) {
        if (!Selecao().Existe(QStringLiteral("CodigoEmpresa")))
            return std::nullopt;
        const TnParamSelecao &p = Selecao().GetParams(QStringLiteral("CODIGOEMPRESA"));
        if (p.IsNull())
            return std::nullopt;
        texto = p.AsString().trimmed();
    }
    static const QRegularExpression inteiro(QStringLiteral("^[0-9]{1,5}$"));
    if (!inteiro.match(texto).hasMatch())
        return std::nullopt;
    const int empresa = texto.toInt();
    if (empresa > 32767) // company codes are small integers
        return std::nullopt;
    return empresa;
}

// True when the company's inventory settings hold "1" in the column (a company without
// them answers false; its general settings have no say in these two).
bool EmpresaInforma(const char *funcao, const char *coluna, const QVariant &argumento)
{
    bool resultado = false;
    if (const auto empresa = EmpresaDoArgumento(argumento)) {
        auto cmd = nDMConexao::Atual().Preparar(
            QStringLiteral("select CI.%1 from CFGEMPRESAINV CI where CI.CODIGOEMPRESA = ?")
                .arg(QLatin1String(coluna)));
        cmd->BindInteiro(0, *empresa);
        TnCursor &c = cmd->Abrir();
        resultado = c.Proximo() && !c.Nulo(0) && c.Texto(0).trimmed() == QLatin1String("1");
    }
    qCDebug(lcExpressoes).noquote() << QStringLiteral("%1(%2):%3")
                              .arg(QLatin1String(funcao), argumento.toString(),
                                   resultado ? QStringLiteral("true") : QStringLiteral("false"));
    return resultado;
}

// Registers the functions while the library is loaded.
struct TOrvoFieldExpressions {
    TOrvoFieldExpressions()
    {
        FieldExpressionFunctions().RegisterFunction(QStringLiteral("EMPRESAINFORMAICMS"), [](const QVariant &a) {
            return QVariant(EmpresaInforma("EMPRESAINFORMAICMS", "LANCAICMSRECUP", a));
        });
        FieldExpressionFunctions().RegisterFunction(QStringLiteral("EMPRESAINFORMAPISCOFINS"), [](const QVariant &a) {
            return QVariant(EmpresaInforma("EMPRESAINFORMAPISCOFINS", "DETALHARPISCOFINSITEM", a));
        });
    }
    ~TOrvoFieldExpressions()
    {
        FieldExpressionFunctions().UnregisterFunction(QStringLiteral("EMPRESAINFORMAICMS"));
        FieldExpressionFunctions().UnregisterFunction(QStringLiteral("EMPRESAINFORMAPISCOFINS"));
    }
};

const TOrvoFieldExpressions gFieldExpressions;

} // namespace
