#pragma once
// The rows a dataset cursor shows, in order: slots kept in blocks of a few thousand, with the
// position where each block starts. Reading a position finds its block by the starts (the
// block read last is tried first, so walking the rows costs no search); inserting or
// deleting a row moves the rows of its block and counts the later starts up or down: a
// change anywhere costs microseconds on a million rows, never a shift of every row after it.
//
// The cursor may show a window of the rows only (a range over its index): positions, size()
// and the searches below count inside the window; the *Total functions count over all rows.
// Rows inserted or deleted outside the window move it, so it keeps showing the same rows.
#include <QtGlobal>
#include <algorithm>
#include <vector>

class TnVista {
public:
    // ---- the window
    qsizetype size() const { return FFim - FIni; }
    bool empty() const { return FFim == FIni; }
    qint32 operator[](qsizetype i) const { return Slot(FIni + i); }
    qsizetype InicioJanela() const { return FIni; }
    // Shows positions [ini, fim) of all rows; SemJanela shows them all again.
    void DefinirJanela(qsizetype ini, qsizetype fim)
    {
        FJanela = true;
        FIni = ini;
        FFim = fim;
    }
    void SemJanela()
    {
        FJanela = false;
        FIni = 0;
        FFim = FTotal;
    }
    // Insert and erase at a position of the window (the row belongs to it).
    void insert(qsizetype pos, qint32 s) { InserirTotal(FIni + pos, s, 0); }
    void erase(qsizetype pos) { RetirarTotal(FIni + pos); }
    // First position of the window whose slot does not satisfy `antes` (the rows satisfying
    // it come first).
    template <class Antes> qsizetype LimiteInferior(Antes antes) const
    {
        return std::clamp(LimiteInferiorTotal(antes), FIni, FFim) - FIni;
    }

    // ---- all rows
    qsizetype Total() const { return FTotal; }
    qint32 Slot(qsizetype i) const
    {
        const size_t b = Bloco(i);
        return FBlocos[b][size_t(i - FInicio[b])];
    }
    void clear()
    {
        FBlocos.clear();
        FInicio.clear();
        FTotal = FIni = FFim = 0;
        FJanela = false;
        FUltimo = 0;
    }
    void reserve(qsizetype n) { FBlocos.reserve(size_t(n / kBloco + 1)); }
    // Appends after every row (inside the window when it shows every row).
    void push_back(qint32 s)
    {
        if (FBlocos.empty() || qsizetype(FBlocos.back().size()) >= kBloco) {
            FBlocos.emplace_back();
            FBlocos.back().reserve(size_t(kBloco));
            FInicio.push_back(FTotal);
        }
        FBlocos.back().push_back(s);
        ++FTotal;
        if (!FJanela)
            FFim = FTotal;
    }
    // Inserts at a position of all rows; `lado` tells where the row falls against the window:
    // before it (-1), in it (0) or after it (1). Without a window every row is in it.
    void InserirTotal(qsizetype pos, qint32 s, int lado)
    {
        if (pos >= FTotal) {
            const bool janela = FJanela;
            FJanela = true; // push_back must not move the window
            push_back(s);
            FJanela = janela;
        } else {
            const size_t b = Bloco(pos);
            std::vector<qint32> &bl = FBlocos[b];
            bl.insert(bl.begin() + (pos - FInicio[b]), s);
            ++FTotal;
            for (size_t k = b + 1; k < FInicio.size(); ++k)
                ++FInicio[k];
            if (qsizetype(bl.size()) > 2 * kBloco)
                Dividir(b);
        }
        if (!FJanela || lado == 0) {
            ++FFim;
        } else if (lado < 0) {
            ++FIni;
            ++FFim;
        }
    }
    void RetirarTotal(qsizetype pos)
    {
        const size_t b = Bloco(pos);
        std::vector<qint32> &bl = FBlocos[b];
        bl.erase(bl.begin() + (pos - FInicio[b]));
        --FTotal;
        for (size_t k = b + 1; k < FInicio.size(); ++k)
            --FInicio[k];
        if (bl.empty()) {
            FBlocos.erase(FBlocos.begin() + qsizetype(b));
            FInicio.erase(FInicio.begin() + qsizetype(b));
            FUltimo = 0;
        }
        if (pos < FIni)
            --FIni;
        if (pos < FFim)
            --FFim;
    }
    // Sorts all rows; the window shows them all.
    template <class Menor> void Ordenar(Menor menor)
    {
        std::vector<qint32> todos;
        todos.reserve(size_t(FTotal));
        for (const auto &bl : FBlocos)
            todos.insert(todos.end(), bl.begin(), bl.end());
        std::sort(todos.begin(), todos.end(), menor);
        clear();
        for (qint32 s : todos)
            push_back(s);
    }
    // The same search over all rows: the block by its last row, then the row inside it.
    template <class Antes> qsizetype LimiteInferiorTotal(Antes antes) const
    {
        return LimiteEntreBlocos(antes, 0, FBlocos.size());
    }
    // Both bounds of a range over all rows: the first row `antesIni` does not let before,
    // and the first row `antesFim` does not (every row before the first bound is before the
    // second). The two searches share their steps while both bounds lie on the same side.
    template <class A, class B> std::pair<qsizetype, qsizetype> IntervaloTotal(A antesIni, B antesFim) const
    {
        size_t ini = 0, fim = FBlocos.size();
        while (ini < fim) {
            const size_t meio = ini + (fim - ini) / 2;
            const qint32 s = FBlocos[meio].back();
            if (antesIni(s))
                ini = meio + 1;
            else if (!antesFim(s))
                fim = meio;
            else // the first bound in blocks ini..meio, the second after meio
                return {LimiteEntreBlocos(antesIni, ini, meio), LimiteEntreBlocos(antesFim, meio + 1, fim)};
        }
        if (ini == FBlocos.size())
            return {FTotal, FTotal};
        const std::vector<qint32> &bl = FBlocos[ini];
        auto lo = bl.begin(), hi = bl.end();
        while (lo < hi) {
            const auto meio = lo + (hi - lo) / 2;
            if (antesIni(*meio))
                lo = meio + 1;
            else if (!antesFim(*meio))
                hi = meio;
            else
                return {FInicio[ini] + (std::partition_point(lo, meio, antesIni) - bl.begin()),
                        FInicio[ini] + (std::partition_point(meio + 1, hi, antesFim) - bl.begin())};
        }
        return {FInicio[ini] + (lo - bl.begin()), FInicio[ini] + (lo - bl.begin())};
    }

private:
    static constexpr qsizetype kBloco = 2048;

    // The first row `antes` does not let before, known to lie in blocks ini..fim (fim: the
    // block after the last that may hold it, or the end).
    template <class Antes> qsizetype LimiteEntreBlocos(Antes antes, size_t ini, size_t fim) const
    {
        while (ini < fim) {
            const size_t meio = ini + (fim - ini) / 2;
            if (antes(FBlocos[meio].back()))
                ini = meio + 1;
            else
                fim = meio;
        }
        if (ini == FBlocos.size())
            return FTotal;
        const std::vector<qint32> &bl = FBlocos[ini];
        const auto it = std::partition_point(bl.begin(), bl.end(), antes);
        return FInicio[ini] + (it - bl.begin());
    }
    size_t Bloco(qsizetype i) const
    {
        const size_t u = FUltimo;
        if (u < FBlocos.size() && i >= FInicio[u] && i < FInicio[u] + qsizetype(FBlocos[u].size()))
            return u;
        const auto it = std::upper_bound(FInicio.begin(), FInicio.end(), i);
        FUltimo = size_t(it - FInicio.begin()) - 1;
        return FUltimo;
    }
    void Dividir(size_t b)
    {
        std::vector<qint32> &bl = FBlocos[b];
        const qsizetype metade = qsizetype(bl.size()) / 2;
        std::vector<qint32> segunda(bl.begin() + metade, bl.end());
        bl.resize(size_t(metade));
        FBlocos.insert(FBlocos.begin() + qsizetype(b) + 1, std::move(segunda));
        FInicio.insert(FInicio.begin() + qsizetype(b) + 1, FInicio[b] + metade);
    }

    std::vector<std::vector<qint32>> FBlocos;
    std::vector<qsizetype> FInicio; // position of each block's first row
    qsizetype FTotal = 0;
    qsizetype FIni = 0, FFim = 0; // the window
    bool FJanela = false;         // a window narrower than all rows may be shown
    mutable size_t FUltimo = 0;   // the block read last
};
