#include "Dicionario.h"

#include <QHash>

QString CaptionDoDicionario(const QString &chave)
{
    static const QHash<QString, QString> kCaptions{
        {QStringLiteral("CODIGOEMPRESA"), QStringLiteral("Empresa")},
        {QStringLiteral("CODIGOESTAB"), QStringLiteral("Estabelecimento")},
        {QStringLiteral("DATAINVENT"), QString::fromUtf8("Data Inventário")},
        {QStringLiteral("CODIGOPRODUTO"), QStringLiteral("Produto")},
        {QStringLiteral("MOTIVOINVENTARIO"), QString::fromUtf8("Motivo Inventário")},
        {QStringLiteral("ORIGEMDADO"), QStringLiteral("Origem")},
        {QStringLiteral("CODIGOUSUARIO"), QString::fromUtf8("Usuário")},
        {QStringLiteral("CODIGOPESSOA"), QStringLiteral("Pessoa")},
        {QStringLiteral("CODIGOGRUPOPRODUTO"), QStringLiteral("Grupo Produto")},
        {QStringLiteral("CODIGONCMPRODUTO"), QString::fromUtf8("Classificação Fiscal")},
        {QStringLiteral("DICVALOR"), QStringLiteral("Valor")},
        {QStringLiteral("DICVALOR6"), QStringLiteral("Valor")},
        {QStringLiteral("DICDATAMESANO"), QString::fromUtf8("Período")},
        {QStringLiteral("SEQSMALLINT"), QString::fromUtf8("Sequência")},
    };
    return kCaptions.value(chave.trimmed().toUpper());
}
