#pragma once
// Header bands of a dataset's grid: a tree of captions above the grid's columns. A band
// holds other bands (a caption over them) or stands for one field (SetField), whose column
// it heads. The bands belong to the dataset's grid settings (TnClientDataSet::GridBands)
// and are rebuilt on demand: Clear, then Add, then AtualizarBandasGrid tells the grid.
//
//     TnGridBands &b = cds.GridBands();
//     b.Clear();
//     TnGridBandsItem &empresa = b.Add("Empresa", "1 - Empresa Exemplo - ...");
//     TnGridBandsItem &rotina = empresa.GetChildBands().Add("Rotina", "Consulta ...");
//     rotina.GetChildBands().Add("Rotina Origem").SetField("ORIGEMROTINA");
//     b.AtualizarBandasGrid();
//
// A band's identity is its name, and a field band's name is its field's: two fields with
// the same label are two bands, and a field bound again among the same bands replaces its
// former band instead of heading its column twice.
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TnGridBands;

class TnGridBandsItem {
public:
    TnGridBandsItem(const QString &nome, const QString &caption);
    ~TnGridBandsItem();
    TnGridBandsItem(const TnGridBandsItem &) = delete;
    TnGridBandsItem &operator=(const TnGridBandsItem &) = delete;

    const QString &Nome() const { return FNome; }
    const QString &Caption() const { return FCaption; }
    void SetCaption(const QString &c) { FCaption = c; }
    // The field the band heads; empty for a band over other bands.
    const QString &Campo() const { return FCampo; }
    // Binds the band to a field by name: the band takes the field's name as its identity.
    TnGridBandsItem &SetField(const QString &campo);
    // The bands inside this one.
    TnGridBands &GetChildBands() { return *FFilhas; }
    const TnGridBands &Filhas() const { return *FFilhas; }

private:
    friend class TnGridBands;
    QString FNome, FCaption, FCampo;
    TnGridBands *FDono = nullptr;
    std::unique_ptr<TnGridBands> FFilhas;
};

class TnGridBands {
public:
    TnGridBands() = default;
    TnGridBands(const TnGridBands &) = delete;
    TnGridBands &operator=(const TnGridBands &) = delete;

    // A new band at the end; its caption is the name when none is given.
    TnGridBandsItem &Add(const QString &nome, const QString &caption = QString());
    void Clear();
    int Count() const { return int(FItens.size()); }
    TnGridBandsItem &Items(int i) const { return *FItens.at(size_t(i)); }
    // The band of that name (any case) among these and their children, depth first; null
    // when none.
    TnGridBandsItem *Find(const QString &nome) const;
    // Bands in all, children included.
    int Total() const;

    // These bands become a copy of `outra`'s (names, captions, fields, nesting); the grid's
    // hook (AoAtualizar) stays. The grid is not told (AtualizarBandasGrid).
    void CopiarDe(const TnGridBands &outra);

    // Tells the grid to show the bands again (what the grid set in AoAtualizar); counts the
    // rebuilds.
    void AtualizarBandasGrid();
    int Versao() const { return FVersao; }
    std::function<void()> AoAtualizar;

private:
    friend class TnGridBandsItem;
    std::vector<std::unique_ptr<TnGridBandsItem>> FItens;
    int FVersao = 0;
};
