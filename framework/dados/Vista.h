#pragma once
// The rows a dataset cursor shows, in order: slots in a buffer with a gap at the place of
// the last insert or delete. Deleting or inserting row after row near one place (a loop
// that deletes as it walks) costs only the distance walked, not a shift of every row after.
#include <QtGlobal>
#include <algorithm>
#include <vector>

class TnVista {
public:
    qsizetype size() const { return qsizetype(FSlots.size()) - Gap(); }
    bool empty() const { return size() == 0; }
    qint32 operator[](qsizetype i) const { return FSlots[i < FGapIni ? i : i + Gap()]; }

    void clear()
    {
        FSlots.clear();
        FGapIni = FGapFim = 0;
    }
    void reserve(qsizetype n) { FSlots.reserve(n); }
    void push_back(qint32 s)
    {
        MoverGap(size());
        if (Gap() > 0) {
            FSlots[FGapIni++] = s;
        } else {
            FSlots.push_back(s);
            FGapIni = FGapFim = qsizetype(FSlots.size());
        }
    }
    void insert(qsizetype pos, qint32 s)
    {
        if (Gap() == 0) {
            // Opens a new gap at the end, as large as a quarter of the rows.
            const qsizetype n = size();
            const qsizetype folga = std::max<qsizetype>(16, n / 4);
            FSlots.resize(n + folga);
            FGapIni = n;
            FGapFim = n + folga;
        }
        MoverGap(pos);
        FSlots[FGapIni++] = s;
    }
    void erase(qsizetype pos)
    {
        MoverGap(pos);
        ++FGapFim;
    }

    // Sorts the rows (the gap goes to the end first).
    template <class Menor> void Ordenar(Menor menor)
    {
        MoverGap(size());
        std::sort(FSlots.begin(), FSlots.begin() + FGapIni, menor);
    }
    // Position of a slot, or size() when absent.
    qsizetype Procurar(qint32 s) const
    {
        for (qsizetype i = 0; i < size(); ++i)
            if ((*this)[i] == s)
                return i;
        return size();
    }
    // First position whose slot does not satisfy `antes` (the rows satisfying it come first).
    template <class Antes> qsizetype LimiteInferior(Antes antes) const
    {
        qsizetype ini = 0, fim = size();
        while (ini < fim) {
            const qsizetype meio = ini + (fim - ini) / 2;
            if (antes((*this)[meio]))
                ini = meio + 1;
            else
                fim = meio;
        }
        return ini;
    }

private:
    qsizetype Gap() const { return FGapFim - FGapIni; }
    void MoverGap(qsizetype pos)
    {
        if (pos < FGapIni)
            std::move_backward(FSlots.begin() + pos, FSlots.begin() + FGapIni, FSlots.begin() + FGapFim);
        else if (pos > FGapIni)
            std::move(FSlots.begin() + FGapFim, FSlots.begin() + FGapFim + (pos - FGapIni), FSlots.begin() + FGapIni);
        FGapFim += pos - FGapIni;
        FGapIni = pos;
    }

    std::vector<qint32> FSlots;
    qsizetype FGapIni = 0, FGapFim = 0;
};
