#pragma once
// The import factory: inventory entries built from an outside source before they are
// written (TGravador, Gravador.h).
//
// An entry record (TLCTOINV) has one nullable member per LCTOINV column, in the table's
// column order, and the list of its property lines (TLCTOINVPROPRIEDADE), whose members are
// the line's own LCTOINVPROPRIEDADE columns: the key columns of a line are its entry's.
// A member left empty (std::nullopt) is not written, so the column takes its default.
//
//     TImpFabrica fabrica;
//     fabrica.Substituir = true;                 // existing entries are replaced
//     TLCTOINV &l = fabrica.NovoLctoInv();
//     l.CODIGOEMPRESA = 1; ...
//     TLCTOINVPROPRIEDADE &p = fabrica.NovoLctoInvPropriedade(l.Propriedades);
//     p.SEQ = 1; ...
//     for (const auto &l : fabrica.Lctos()) gravador.GravarLancamento(*l, fabrica.Substituir);
#include <QDate>
#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

struct TLCTOINVPROPRIEDADE {
    std::optional<int> SEQ;
    std::optional<int> INDICADORPROPRIEDADE;
    std::optional<int> CODIGOPESSOAPART;
    std::optional<qint64> CONTACTB;
    std::optional<double> QUANTIDADE;
    std::optional<double> PRECOUNIT;
    std::optional<double> VALORIR;
};

// The property lines of an entry, in the order they were added.
using TListaPropriedades = std::vector<std::unique_ptr<TLCTOINVPROPRIEDADE>>;

struct TLCTOINV {
    std::optional<int> CODIGOEMPRESA;
    std::optional<int> CODIGOESTAB;
    std::optional<QDate> DATAINVENT;
    std::optional<qint64> CODIGOPRODUTO;
    std::optional<int> MOTIVOINVENTARIO;
    std::optional<double> QTDEESTOQUE;
    std::optional<double> PRECOUNIT;
    std::optional<double> VALORIR;
    std::optional<double> VALORICMS;
    std::optional<double> VALORPIS;
    std::optional<double> VALORCOFINS;
    std::optional<QString> OBSLCTOINV;
    std::optional<QDateTime> DATAHORALCTOINV;
    std::optional<int> CODIGOUSUARIO;
    std::optional<double> VALORMEDIOICMS;
    std::optional<double> VALORMEDIOBCICMSST;
    std::optional<double> VALORMEDIOICMSST;
    std::optional<double> VALORMEDIOFCP;
    std::optional<int> ORIGEMDADO;
    std::optional<int> IDSYN;

    TListaPropriedades Propriedades;
};

class TImpFabrica {
public:
    // Replace mode: the writer replaces an entry that exists with the same key.
    bool Substituir = false;

    // Forgets every entry built.
    void LimparListaLctos() { FLctos.clear(); }
    // A new, empty entry at the end of the list.
    TLCTOINV &NovoLctoInv();
    // A new, empty property line at the end of `linhas` (an entry's Propriedades).
    static TLCTOINVPROPRIEDADE &NovoLctoInvPropriedade(TListaPropriedades &linhas);

    // The entries, in the order they were built.
    const std::vector<std::unique_ptr<TLCTOINV>> &Lctos() const { return FLctos; }
    int Count() const { return int(FLctos.size()); }

private:
    std::vector<std::unique_ptr<TLCTOINV>> FLctos;
};

inline TLCTOINV &TImpFabrica::NovoLctoInv()
{
    FLctos.push_back(std::make_unique<TLCTOINV>());
    return *FLctos.back();
}

inline TLCTOINVPROPRIEDADE &TImpFabrica::NovoLctoInvPropriedade(TListaPropriedades &linhas)
{
    linhas.push_back(std::make_unique<TLCTOINVPROPRIEDADE>());
    return *linhas.back();
}
