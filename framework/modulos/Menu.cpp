#include "Menu.h"

#include <algorithm>
#include <climits>

TnSegmentoCategoria DividirSegmento(const QString &segmento)
{
    const QString s = segmento.trimmed();
    int i = 0;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
        ++i;
    TnSegmentoCategoria r;
    // A prefix is digits followed by a blank; "2024" alone or "3D Cadastros" are names.
    if (i > 0 && i < s.size() && s[i].isSpace() && i <= 9) {
        r.Prefixo = s.left(i).toInt();
        r.Nome = s.mid(i).trimmed();
    } else {
        r.Nome = s;
    }
    return r;
}

QString ChaveNomeMenu(const QString &nome)
{
    QString s;
    s.reserve(nome.size());
    for (int i = 0; i < nome.size(); ++i) {
        if (nome[i] == '&') {
            if (i + 1 < nome.size() && nome[i + 1] == '&') // "&&" is a literal '&'
                s += nome[++i];
            continue;
        }
        s += nome[i];
    }
    return s.trimmed().toCaseFolded();
}

const TnItemMenu *TnItemMenu::Filho(const QString &nome) const
{
    const QString chave = ChaveNomeMenu(nome);
    for (const auto &i : Itens)
        if (ChaveNomeMenu(i->Caption) == chave)
            return i.get();
    return nullptr;
}

bool AntesNoMenu(const TnItemMenu &a, const TnItemMenu &b)
{
    if (a.Posicao != b.Posicao)
        return a.Posicao < b.Posicao;
    if (a.EhSubmenu() != b.EhSubmenu())
        return a.EhSubmenu();
    return a.Caption.compare(b.Caption, Qt::CaseInsensitive) < 0;
}

namespace {
constexpr int kSemPrefixo = INT_MAX;

int PosicaoDoPrefixo(int prefixo) { return prefixo < 0 ? kSemPrefixo : prefixo; }

// The submenu of `pai` named like the segment, made when absent; a merged submenu keeps the
// smallest prefix.
TnItemMenu *Submenu(TnItemMenu &pai, const TnSegmentoCategoria &seg)
{
    const QString chave = ChaveNomeMenu(seg.Nome);
    for (auto &i : pai.Itens)
        if (i->EhSubmenu() && ChaveNomeMenu(i->Caption) == chave) {
            i->Posicao = std::min(i->Posicao, PosicaoDoPrefixo(seg.Prefixo));
            return i.get();
        }
    auto novo = std::make_unique<TnItemMenu>();
    novo->Caption = seg.Nome;
    novo->Posicao = PosicaoDoPrefixo(seg.Prefixo);
    pai.Itens.push_back(std::move(novo));
    return pai.Itens.back().get();
}

void Ordenar(std::vector<std::unique_ptr<TnItemMenu>> &itens, size_t desde)
{
    std::stable_sort(itens.begin() + qsizetype(desde), itens.end(),
                     [](const auto &a, const auto &b) { return AntesNoMenu(*a, *b); });
    for (auto &i : itens)
        Ordenar(i->Itens, 0);
}
} // namespace

TnMenuModelo::TnMenuModelo(const QStringList &itensPrincipais) : FPrincipais(itensPrincipais)
{
    Montar(QList<TnAction *>());
}

void TnMenuModelo::Montar(const TnActionList &acoes) { Montar(acoes.Acoes()); }

void TnMenuModelo::Montar(const QList<TnAction *> &acoes)
{
    FRaiz.Itens.clear();
    for (int i = 0; i < FPrincipais.size(); ++i) {
        auto item = std::make_unique<TnItemMenu>();
        item->Caption = FPrincipais[i];
        item->Posicao = i;
        FRaiz.Itens.push_back(std::move(item));
    }
    const size_t fixos = FRaiz.Itens.size();

    for (TnAction *a : acoes) {
        const QStringList segmentos = a->Category().split('\\', Qt::SkipEmptyParts);
        if (segmentos.isEmpty())
            continue;
        const TnSegmentoCategoria topo = DividirSegmento(segmentos.first());
        if (topo.Nome.isEmpty())
            continue;
        TnItemMenu *menu = nullptr;
        const QString chave = ChaveNomeMenu(topo.Nome);
        for (size_t i = 0; i < fixos && !menu; ++i)
            if (ChaveNomeMenu(FRaiz.Itens[i]->Caption) == chave)
                menu = FRaiz.Itens[i].get();
        if (!menu) {
            // Not one of the form's items: a top-level item of its own after them.
            menu = Submenu(FRaiz, topo);
        }
        for (int s = 1; s < segmentos.size(); ++s) {
            const TnSegmentoCategoria seg = DividirSegmento(segmentos[s]);
            if (!seg.Nome.isEmpty())
                menu = Submenu(*menu, seg);
        }
        auto folha = std::make_unique<TnItemMenu>();
        folha->Caption = a->Caption().isEmpty() ? a->Name() : a->Caption();
        folha->Posicao = a->MenuIndex();
        folha->Acao = a;
        folha->Folha = true;
        menu->Itens.push_back(std::move(folha));
    }
    Ordenar(FRaiz.Itens, fixos);
}

const TnItemMenu *TnMenuModelo::Item(const QString &caminho) const
{
    const TnItemMenu *item = &FRaiz;
    for (const QString &nome : caminho.split('\\', Qt::SkipEmptyParts)) {
        item = item->Filho(nome);
        if (!item)
            return nullptr;
    }
    return item == &FRaiz ? nullptr : item;
}
