#pragma once
// The options a module declares for the grid that shows its rows, by name, as a set:
//
//     SetGridOptions({goZebrar, goPermitirFiltro, goTotalizarValores, goGridReadOnly});
//
// What each one asks of the grid:
//   goAutoInsert                       moving down past the last row appends a row (none
//                                      on a read-only grid)
//   goZebrar                           every other row on a shaded background
//   goPermitirFiltro                   the rows can be filtered by the values of a column
//   goPermitirMoverColuna              columns can be dragged to another place
//   goTotalizarValores                 a footer with the sum of every value column
//   goPermitePaginacao                 the rows are shown a page at a time
//   goColumnHidingEnabled              columns can be hidden and shown again
//   goPermiteAgrupamento               rows can be grouped by a column
//   goGridReadOnly                     no cell can be typed in
//   goExibirNavigator                  the navigator (first, previous, next, last, "n de m")
//   goMostrarExpandirDetalhesVazios    a row without details may still be expanded
//   goCelulaAlturaAutomatica           rows grow to show wrapped texts whole
//   goHeaderAulturaAutomatica          the caption row grows to show wrapped captions whole
//   goPermiteDeletar                   the current row can be deleted, even on a read-only grid
#include <QtGlobal>
#include <initializer_list>

enum TnOpcaoGrade : quint32 {
    goAutoInsert,
    goZebrar,
    goPermitirFiltro,
    goPermitirMoverColuna,
    goTotalizarValores,
    goPermitePaginacao,
    goColumnHidingEnabled,
    goPermiteAgrupamento,
    goGridReadOnly,
    goExibirNavigator,
    goMostrarExpandirDetalhesVazios,
    goCelulaAlturaAutomatica,
    goHeaderAulturaAutomatica,
    goPermiteDeletar,
};

class TnOpcoesGrade {
public:
    constexpr TnOpcoesGrade() = default;
    constexpr TnOpcoesGrade(std::initializer_list<TnOpcaoGrade> opcoes)
    {
        for (TnOpcaoGrade o : opcoes)
            FBits |= Bit(o);
    }
    constexpr bool Tem(TnOpcaoGrade o) const { return FBits & Bit(o); }
    constexpr void Ligar(TnOpcaoGrade o, bool ligar = true) { FBits = ligar ? FBits | Bit(o) : FBits & ~Bit(o); }
    constexpr bool operator==(const TnOpcoesGrade &) const = default;

    // What the grid lets the user change: typing in cells only on a grid that is not
    // read-only; deleting a row only where the module allows it; appending by moving past
    // the last row only where cells can be typed in.
    constexpr bool PodeEditar() const { return !Tem(goGridReadOnly); }
    constexpr bool PodeExcluir() const { return Tem(goPermiteDeletar); }
    constexpr bool PodeIncluirAoDescer() const { return PodeEditar() && Tem(goAutoInsert); }

private:
    static constexpr quint32 Bit(TnOpcaoGrade o) { return quint32(1) << quint32(o); }
    quint32 FBits = 0;
};
