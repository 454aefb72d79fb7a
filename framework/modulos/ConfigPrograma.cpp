#include "ConfigPrograma.h"

#include "Conexao.h"

#include <QSettings>

namespace {
QString gArquivo;
}

QString TnConfigPrograma::Arquivo() { return gArquivo.isEmpty() ? TnConfigBanco::ArquivoPadrao() : gArquivo; }

void TnConfigPrograma::DefinirArquivo(const QString &arquivo) { gArquivo = arquivo; }

QString TnConfigPrograma::Ler(const QString &secao, const QString &chave, const QString &padrao)
{
    QSettings s(Arquivo(), QSettings::IniFormat);
    const QVariant lido = s.value(secao + u'/' + chave);
    // An unquoted value with commas comes back as a list: it is still one text.
    const QString v = (lido.typeId() == QMetaType::QStringList ? lido.toStringList().join(u',') : lido.toString()).trimmed();
    return v.isEmpty() ? padrao : v;
}
