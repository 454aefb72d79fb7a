#include "ProcessoInvComum.h"

#include "Literais.h"
#include "SQLDataSet.h"
#include "Valores.h"
#include "Variaveis.h"

#include <algorithm>

QString FormatoCasasDeCusto()
{
    qint64 empresa = 0;
    if (!TextoParaInteiro(ExternalVar(QString::fromLatin1(VarFw::gCodigoEmpresa)), empresa))
        empresa = 0;
    const QVariant casas = nDMSQLDataSet::PegarValorCampo(QStringLiteral("CFGEMPRESAINV"),
                                                         QStringLiteral("QTDECASADECIMAL"),
                                                         "CODIGOEMPRESA = " + ValorParaSQL(empresa, ftSmallint));
    const int n = casas.isValid() && !casas.isNull() ? casas.toInt() : 6;
    return QStringLiteral("#0.") + QString(std::clamp(n, 0, 9), u'0');
}
