#include "Bandas.h"

#include <algorithm>

TnGridBandsItem::TnGridBandsItem(const QString &nome, const QString &caption)
    : FNome(nome.trimmed()), FCaption(caption.isNull() ? nome : caption), FFilhas(std::make_unique<TnGridBands>())
{
}

TnGridBandsItem::~TnGridBandsItem() = default;

TnGridBandsItem &TnGridBandsItem::SetField(const QString &campo)
{
    const QString nome = campo.trimmed();
    // A field heads one column once among the same bands: its former band goes.
    if (FDono && !nome.isEmpty()) {
        auto &itens = FDono->FItens;
        std::erase_if(itens, [&](const std::unique_ptr<TnGridBandsItem> &b) {
            return b.get() != this && b->FCampo.compare(nome, Qt::CaseInsensitive) == 0;
        });
    }
    FCampo = nome;
    FNome = nome;
    return *this;
}

TnGridBandsItem &TnGridBands::Add(const QString &nome, const QString &caption)
{
    FItens.push_back(std::make_unique<TnGridBandsItem>(nome, caption));
    FItens.back()->FDono = this;
    return *FItens.back();
}

void TnGridBands::Clear() { FItens.clear(); }

void TnGridBands::CopiarDe(const TnGridBands &outra)
{
    if (&outra == this)
        return;
    Clear();
    for (const auto &b : outra.FItens) {
        TnGridBandsItem &copia = Add(b->Nome(), b->Caption());
        if (!b->Campo().isEmpty())
            copia.SetField(b->Campo());
        copia.GetChildBands().CopiarDe(b->Filhas());
    }
}

TnGridBandsItem *TnGridBands::Find(const QString &nome) const
{
    for (const auto &b : FItens) {
        if (b->Nome().compare(nome.trimmed(), Qt::CaseInsensitive) == 0)
            return b.get();
        if (TnGridBandsItem *f = b->Filhas().Find(nome))
            return f;
    }
    return nullptr;
}

int TnGridBands::Total() const
{
    int n = 0;
    for (const auto &b : FItens)
        n += 1 + b->Filhas().Total();
    return n;
}

void TnGridBands::AtualizarBandasGrid()
{
    ++FVersao;
    if (AoAtualizar)
        AoAtualizar();
}
