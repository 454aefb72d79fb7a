#include "SuiteEstab.h"

#include "ExecutarSQL.h"
#include "Valores.h"

std::unique_ptr<TnClientDataSet> CriarListaEstabAtiva(const QString &empresa, const QString &estabs, const QDate &inicio,
                                                      const QDate &fim)
{
    qint64 codigo = 0;
    if (!TextoParaInteiro(empresa, codigo))
        throw EConvertError(QStringLiteral("\"%1\" não é um código de empresa válido.").arg(TrechoCitado(empresa)));
    if (!inicio.isValid() || !fim.isValid())
        throw EConvertError(QStringLiteral("Período inválido para a lista de estabelecimentos ativos."));
    return ExecutarSQL(QStringLiteral("select CODIGOESTAB from ESTAB where CODIGOEMPRESA = ?") +
                           FilterInterval(QStringLiteral("CODIGOESTAB"), estabs) +
                           QStringLiteral(" and (DATAINICIOATIVIDADE is null or DATAINICIOATIVIDADE <= ?)"
                                          " and (DATAFIMATIVIDADE is null or DATAFIMATIVIDADE >= ?)"
                                          " order by CODIGOESTAB"),
                       {codigo, fim, inicio});
}
