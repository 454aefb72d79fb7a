#include "AgrupamentoVista.h"

#include "Excecoes.h"

namespace {

// A group being filled, with the sums of its rows.
struct Aberto {
    TnGrupo Grupo;
    std::vector<TnSomador> Somas;
};

void AcertarPais(std::vector<TnGrupo> &grupos, const TnGrupo *pai)
{
    for (size_t i = 0; i < grupos.size(); ++i) {
        grupos[i].Pai = pai;
        grupos[i].Linha = int(i);
        AcertarPais(grupos[i].Subgrupos, &grupos[i]);
    }
}

} // namespace

std::vector<TnGrupo> AgruparVista(const TnClientDataSet &ds, const QStringList &campos, const QStringList &totais)
{
    std::vector<const TnColuna *> colunas;
    for (const QString &c : campos)
        colunas.push_back(&ds.ColunaArmazenada(ds.FieldByName(c).Index()));
    std::vector<const TnField *> somados;
    for (const QString &c : totais)
        somados.push_back(&ds.FieldByName(c));
    const int niveis = int(colunas.size());
    std::vector<TnGrupo> r;
    if (niveis == 0)
        return r;

    std::vector<Aberto> abertos; // one per level, from the first
    const auto abrir = [&](int nivel, qint32 s, qsizetype pos) {
        // A value before the last group's: the view is not in the fields' order.
        const std::vector<TnGrupo> &irmaos = abertos.empty() ? r : abertos.back().Grupo.Subgrupos;
        if (!irmaos.empty() && colunas[size_t(nivel)]->Comparar(s, irmaos.back().Valor) < 0)
            throw Exception(QStringLiteral("As linhas não estão na ordem dos campos agrupados."));
        Aberto a;
        a.Grupo.Inicio = pos;
        a.Grupo.Nivel = nivel;
        colunas[size_t(nivel)]->Ler(s, a.Grupo.Valor);
        for (const TnField *f : somados)
            a.Somas.emplace_back(ds, *f);
        abertos.push_back(std::move(a));
    };
    const auto fechar = [&](qsizetype pos) {
        Aberto a = std::move(abertos.back());
        abertos.pop_back();
        a.Grupo.Fim = pos;
        for (const TnSomador &s : a.Somas)
            a.Grupo.Totais.push_back(s.Total());
        (abertos.empty() ? r : abertos.back().Grupo.Subgrupos).push_back(std::move(a.Grupo));
    };

    qsizetype pos = 0;
    qint32 anterior = -1;
    ds.ParaCadaDaVista([&](qint32 s) {
        int nivel = anterior < 0 ? 0 : niveis;
        for (int k = 0; anterior >= 0 && k < niveis; ++k)
            if (colunas[size_t(k)]->Comparar(anterior, s) != 0) {
                nivel = k;
                break;
            }
        while (int(abertos.size()) > nivel)
            fechar(pos);
        for (int k = nivel; k < niveis; ++k)
            abrir(k, s, pos);
        for (Aberto &a : abertos)
            for (TnSomador &soma : a.Somas)
                soma.Acrescentar(s);
        anterior = s;
        ++pos;
    });
    while (!abertos.empty())
        fechar(pos);
    AcertarPais(r, nullptr);
    return r;
}

QString IndiceDoAgrupamento(const QStringList &campos, const QString &indiceAtual)
{
    QStringList r = campos;
    for (const QString &c : indiceAtual.split(u';', Qt::SkipEmptyParts))
        if (!r.contains(c.trimmed(), Qt::CaseInsensitive))
            r << c.trimmed();
    return r.join(u';');
}
