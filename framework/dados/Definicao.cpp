#include "Definicao.h"

namespace {
// A line "text=value" splits at its last '=' so that a text may itself hold one.
bool Dividir(const QString &linha, QStringView &texto, QStringView &valor)
{
    const qsizetype p = linha.lastIndexOf(u'=');
    if (p < 0)
        return false;
    texto = QStringView(linha).left(p);
    valor = QStringView(linha).mid(p + 1);
    return true;
}
} // namespace

QString Definicao::TextoDoValor(const QString &valor) const
{
    QStringView t, v;
    for (const QString &linha : ListaValores)
        if (Dividir(linha, t, v) && v == valor)
            return t.toString();
    return {};
}

QString Definicao::ValorDoTexto(const QString &texto, bool *achou) const
{
    QStringView t, v;
    for (const QString &linha : ListaValores) {
        if (Dividir(linha, t, v) && t.compare(texto, Qt::CaseInsensitive) == 0) {
            if (achou)
                *achou = true;
            return v.toString();
        }
    }
    if (achou)
        *achou = false;
    return {};
}
