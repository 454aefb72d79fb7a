#pragma once
// Column-wise row storage of the client dataset: per column one typed vector and null bits,
// rows addressed by a slot number that never changes, a state per row for the change log,
// and original values only for rows modified since the last merge. Clones of a dataset
// share one storage.
#include "Tipos.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <memory>
#include <unordered_map>
#include <vector>

class TnClientDataSet;
class TnFontePacotes;

// One value outside the storage (the edit buffer, a key to search, a filter literal).
// Integers, numerics (scaled), dates (Julian day), timestamps (milliseconds, see
// nDataHora) and logicals are in I; doubles in F; texts in S.
struct TnCelula {
    bool Nulo = true;
    qint64 I = 0;
    double F = 0;
    QString S;
    bool operator==(const TnCelula &o) const { return Nulo == o.Nulo && I == o.I && F == o.F && S == o.S; }
};

// Timestamps are stored as milliseconds counted from the start of Julian day 0, without
// time zone, so that a stored timestamp reads back the same wall-clock time everywhere.
namespace nDataHora {
qint64 ParaNumero(const QDateTime &dt);
// The same from a valid date and its time (an invalid time counts as midnight, as in a
// QDateTime built from them).
qint64 ParaNumero(const QDate &d, const QTime &t);
QDateTime DeNumero(qint64 v, Qt::TimeSpec spec = Qt::LocalTime);
} // namespace nDataHora

class TnColuna {
public:
    explicit TnColuna(TFieldType tipo);
    TFieldType Tipo() const { return FTipo; }
    bool GuardaTexto() const { return FArmazenamento == arTexto; }
    bool GuardaReal() const { return FArmazenamento == arF64; }
    qsizetype Linhas() const { return FLinhas; }

    void Limpar();
    // Keeps the first `n` rows only (undoes appends).
    void Truncar(qsizetype n);

    void AcrescentarNulo();
    // Appends a zero (an empty text), a place the caller writes right after.
    void AcrescentarVazio();
    // Appends of a load, straight into the storage of the column's type (no checks).
    void AcrescentarI16(qint16 v) { FI16.push_back(v); ++FLinhas; }
    void AcrescentarI32(qint32 v) { FI32.push_back(v); ++FLinhas; }
    void AcrescentarI64(qint64 v) { FI64.push_back(v); ++FLinhas; }
    void AcrescentarF64(double v) { FF64.push_back(v); ++FLinhas; }
    void AcrescentarB8(bool v) { FB8.push_back(v); ++FLinhas; }
    void AcrescentarInteiro(qint64 v);
    void AcrescentarReal(double v);
    void AcrescentarTexto(QStringView v);
    // The same from UTF-8 bytes, decoded straight into the storage (no string in between).
    void AcrescentarUtf8(QByteArrayView v);
    void AcrescentarDe(const TnColuna &outra, qsizetype linha);

    bool Nulo(qsizetype l) const
    {
        const qsizetype w = l >> 6;
        return w < static_cast<qsizetype>(FNulos.size()) && ((FNulos[w] >> (l & 63)) & 1);
    }
    qint64 Inteiro(qsizetype l) const;
    double Real(qsizetype l) const;
    QStringView Texto(qsizetype l) const
    {
        return QStringView(FTexto.data() + FInicio[l], FTamanho[l]);
    }
    void Ler(qsizetype l, TnCelula &c) const;
    void Escrever(qsizetype l, const TnCelula &c);
    void CopiarDe(const TnColuna &outra, qsizetype origem, qsizetype destino);

    // Order of two rows or of a row and a value; nulls come first.
    int Comparar(qsizetype a, qsizetype b) const;
    int Comparar(qsizetype a, const TnCelula &c) const;
    bool Igual(qsizetype a, const TnColuna &outra, qsizetype b) const;
    // A hash of a row's value, equal for the values Comparar finds equal (doubles excepted:
    // they are not hashed, see TnBuscaPorValores), and the same of a value outside.
    quint64 Hash(qsizetype l) const;
    quint64 Hash(const TnCelula &c) const;

private:
    enum Armazenamento { arI16, arI32, arI64, arF64, arB8, arTexto };
    void MarcarNulo(qsizetype l, bool nulo);
    void GravarTexto(qsizetype l, QStringView v);

    TFieldType FTipo;
    Armazenamento FArmazenamento;
    qsizetype FLinhas = 0;
    std::vector<qint16> FI16;
    std::vector<qint32> FI32;
    std::vector<qint64> FI64;
    std::vector<double> FF64;
    std::vector<quint8> FB8;
    std::vector<char16_t> FTexto; // characters of every text, one after the other
    std::vector<qint64> FInicio;
    std::vector<qint32> FTamanho;
    std::vector<quint64> FNulos;  // one bit per row; missing words mean "not null"
};

// The natural order of the rows (load order, appends at the end, inserts before a given
// row). While no row was inserted before another it is the order of the slots and costs
// nothing; the first such insert links the slots in a list and gives each a rank (Posto)
// that grows along the order, so that two slots compare in constant time and an insert
// costs no shift of the rows after it (ranks are spread anew around a crowded place).
class TnOrdemNatural {
public:
    bool PorSlot() const { return FPostos.empty(); }
    qint64 Posto(qint32 s) const { return FPostos.empty() ? s : FPostos[size_t(s)]; }
    // Slot `s` (the next one) goes at the end, or before `antesDe`.
    void Acrescentar(qint32 s);
    void InserirAntes(qint32 s, qint32 antesDe);
    // A slot that will never be seen again leaves the order.
    void Retirar(qint32 s);
    // Only the first `n` slots stay (they are all that precede the others in the order).
    void Truncar(qint32 n);
    void Limpar();
    // Calls f(slot) for every slot in the order (gone ones included while the order is that
    // of the slots).
    template <class F> void ParaCada(qint32 linhas, F f) const
    {
        if (FPostos.empty()) {
            for (qint32 s = 0; s < linhas; ++s)
                f(s);
            return;
        }
        for (qint32 s = FCabeca; s >= 0; s = FProx[size_t(s)])
            f(s);
    }

private:
    void Ligar(qint32 s, qint32 ant, qint32 prox);
    void Espalhar(qint32 s);

    std::vector<qint64> FPostos;
    std::vector<qint32> FAnt, FProx;
    qint32 FCabeca = -1, FCauda = -1;
    qint32 FLinhas = 0; // slots the order knows of
    std::vector<qint32> FRetiradas; // slots gone while the order was that of the slots
};

// A search of the rows by the values of some columns, for a Locate on fields that the
// view's order does not sort: one pass builds it, and later it takes in the slots added and
// the rows written again since (their old entries stay behind; every row it offers is checked
// against the values looked for, so a stale entry never finds a wrong row). Columns of
// doubles are left out of the hash and only checked.
struct TnBuscaPorValores {
    std::vector<int> Colunas;                          // the columns it was built for
    std::vector<std::pair<quint64, qint32>> Ordenados; // (hash, slot) sorted by hash
    std::unordered_multimap<quint64, qint32> Novos;    // entries taken in after the sort
    qint32 Vistos = 0;                                 // slots [0, Vistos) were taken in
    std::vector<qint32> Reescritas;                    // slots written again since then
};

enum TnEstadoLinha : quint8 {
    elInalterada,
    elModificada,
    elInserida,
    elExcluida,  // deleted, waiting to be applied
    elDescartada // gone: an inserted row deleted again, or a deletion already applied
};

class TnDadosColunares {
public:
    explicit TnDadosColunares(const std::vector<TFieldType> &tipos);

    int Colunas() const { return static_cast<int>(FColunas.size()); }
    TnColuna &Coluna(int c) { return FColunas[c]; }
    const TnColuna &Coluna(int c) const { return FColunas[c]; }
    qint32 Linhas() const { return static_cast<qint32>(FEstados.size()); }

    // Adds a slot, at the end of the natural order or before the slot `antesDe`; the caller
    // writes every column of it next.
    qint32 NovaLinha(TnEstadoLinha estado, qint32 antesDe = -1);
    // Adds a slot during a load; the caller appends one value to every column.
    void AcrescentarCarregada()
    {
        FEstados.push_back(elInalterada);
        FOrdem.Acrescentar(Linhas() - 1);
    }
    // Undoes a load that stopped halfway: keeps the first `linhas` slots, which must be all
    // the slots loaded before it (the load's slots are the last of the natural order).
    void Truncar(qint32 linhas);

    TnEstadoLinha Estado(qint32 s) const { return static_cast<TnEstadoLinha>(FEstados[s]); }
    bool Visivel(qint32 s) const { return FEstados[s] < elExcluida; }
    void DefinirEstado(qint32 s, TnEstadoLinha e);
    int ChangeCount() const { return FAlteracoes; }
    // Slots in the change log (modified, inserted, deleted), in slot order; the cost follows
    // the number of changes, not of rows.
    std::vector<qint32> SlotsPendentes();

    // Original values of modified rows.
    bool TemOriginal(qint32 s) const { return s < static_cast<qint32>(FOriginal.size()) && FOriginal[s] >= 0; }
    void GuardarOriginal(qint32 s);
    const TnColuna &ColunaOriginal(int c) const { return FOriginais[c]; }
    qint32 LinhaOriginal(qint32 s) const { return FOriginal[s]; }

    // Change log of one row: undo its changes, or take them as the new baseline.
    void Reverter(qint32 s);
    void Consolidar(qint32 s);
    // Whole change log.
    void ReverterTudo();
    void ConsolidarTudo();

    // The natural order (load order, appends at the end, inserts before the row that was
    // current); discarded slots leave it.
    const TnOrdemNatural &Ordem() const { return FOrdem; }
    // Calls f(slot) for the slots in natural order (invisible ones may be among them).
    template <class F> void ParaCadaNaOrdem(F f) const { FOrdem.ParaCada(Linhas(), f); }

    // Removes every row and forgets the packet source.
    void Limpar();

    // The slots that may hold `chave` in `colunas` (each still to be checked), building or
    // bringing up to date the search of those columns; false when the columns have no
    // value to hash (all doubles).
    bool Candidatos(const std::vector<int> &colunas, const std::vector<TnCelula> &chave, std::vector<qint32> &saida);
    // A row's values were written again (an edit, an undo): the search takes it in anew.
    void AnotarReescrita(qint32 s)
    {
        if (FBusca)
            FBusca->Reescritas.push_back(s);
    }

    // Reading in packets (TnClientDataSet::AbrirPaginado): the source of the rows not yet
    // read (null once every row was read), the columns of the key that identifies a row,
    // and the rows saved here while rows remained, by key: a later packet bringing one of
    // them again (it was saved beyond the rows read) skips it.
    std::shared_ptr<TnFontePacotes> Fonte;
    std::vector<int> ColunasChave;
    std::unordered_map<QString, qint32> SalvasAlemDaFronteira;
    qint32 UltimaDaFonte = -1; // slot of the last row a packet brought (the frontier)
    // The key of a row as one text (type-tagged values; nulls distinct from any value).
    QString TextoChave(qint32 s) const;

    bool LogChanges = true;
    // Cursors over this storage (the dataset and its clones), told of changes made by one
    // of them.
    std::vector<TnClientDataSet *> Cursores;

private:
    void LiberarOriginal(qint32 s);
    // After the whole log was undone or merged: forgets it and the original values.
    void EsvaziarLog();

    std::vector<TnColuna> FColunas;
    std::vector<TnColuna> FOriginais;
    std::vector<qint32> FOriginal; // slot -> row in FOriginais, -1 when none; sized lazily
    std::vector<quint8> FEstados;
    TnOrdemNatural FOrdem;
    int FAlteracoes = 0;
    std::vector<qint32> FPendentes; // slots that entered the change log (may repeat or be stale)
    std::unique_ptr<TnBuscaPorValores> FBusca; // the last search by values a Locate needed
};
