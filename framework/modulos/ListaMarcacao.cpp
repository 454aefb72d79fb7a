#include "ListaMarcacao.h"
#include <algorithm>

std::vector<TnOpcaoMarcacao> LerOpcoesMarcacao(const QString &texto)
{
    return LerOpcoesMarcacao(texto.split(u';'));
}

std::vector<TnOpcaoMarcacao> LerOpcoesMarcacao(const QStringList &pecas)
{
    std::vector<TnOpcaoMarcacao> r;
    int grupo = -1;
    for (const QString &bruta : pecas) {
        QString peca = bruta.trimmed();
        if (peca.isEmpty())
            continue;
        const bool entrada = peca.startsWith(u'*');
        if (entrada)
            peca = peca.mid(1).trimmed();
        TnOpcaoMarcacao o;
        const qsizetype igual = peca.lastIndexOf(u'=');
        o.Caption = igual < 0 ? peca : peca.left(igual).trimmed();
        o.Valor = igual < 0 ? peca : peca.mid(igual + 1).trimmed();
        if (entrada && grupo >= 0) {
            o.Grupo = grupo;
            r[size_t(grupo)].EhGrupo = true;
        } else if (!entrada) {
            grupo = int(r.size());
        }
        r.push_back(o);
    }
    return r;
}

namespace {
// The ticks as the list shows them: an entry of a ticked group is ticked, a group whose
// entries are all ticked is ticked.
std::vector<bool> Completar(const std::vector<TnOpcaoMarcacao> &opcoes, std::vector<bool> m)
{
    m.resize(opcoes.size(), false);
    for (size_t i = 0; i < opcoes.size(); ++i)
        if (opcoes[i].Grupo >= 0 && m[size_t(opcoes[i].Grupo)])
            m[i] = true;
    for (size_t g = 0; g < opcoes.size(); ++g) {
        if (!opcoes[g].EhGrupo || m[g])
            continue;
        bool todas = true;
        for (size_t i = g + 1; i < opcoes.size() && todas; ++i)
            if (opcoes[i].Grupo == int(g))
                todas = m[i];
        m[g] = todas;
    }
    return m;
}
} // namespace

QString TextoMarcacao(const std::vector<TnOpcaoMarcacao> &opcoes, const std::vector<bool> &marcadas)
{
    const std::vector<bool> m = Completar(opcoes, marcadas);
    QString r;
    for (size_t i = 0; i < opcoes.size(); ++i)
        if (m[i])
            r += opcoes[i].Valor + u';';
    return r;
}

std::vector<bool> MarcadasDoTexto(const std::vector<TnOpcaoMarcacao> &opcoes, const QString &texto)
{
    QStringList pecas;
    for (const QString &p : texto.split(u';'))
        if (!p.trimmed().isEmpty())
            pecas << p.trimmed();
    const auto tem = [&pecas](const QString &v) { return pecas.contains(v, Qt::CaseInsensitive); };
    const bool zeroEhOpcao
        = std::any_of(opcoes.begin(), opcoes.end(), [](const TnOpcaoMarcacao &o) { return o.Valor == u"0"; });
    const bool todas = !zeroEhOpcao && pecas == QStringList{QStringLiteral("0")};
    std::vector<bool> m(opcoes.size(), false);
    for (size_t i = 0; i < opcoes.size(); ++i)
        m[i] = todas || tem(opcoes[i].Valor);
    return Completar(opcoes, m);
}
