#pragma once
// What the rules of the Bloco K registers share: the competence month, dates where an empty
// one counts as the earliest, quantities where an empty one counts as 0, and the master row
// of a detail register, with its master module or without one.
#include "Campo.h"

#include <QDate>

class TnDMClientDataSet;

// The competence month of a date, from its first to its last day, whatever day was
// stored; both invalid for an empty date.
struct TnMesCompetencia {
    QDate Primeiro;
    QDate Ultimo;
    explicit TnMesCompetencia(const TnField &competencia);
    bool Valido() const { return Primeiro.isValid(); }
    // The date lies in the month (an empty date does not).
    bool Contem(const QDate &d) const { return Valido() && d.isValid() && d >= Primeiro && d <= Ultimo; }
};

// The field's date, the earliest date when it is empty.
QDate DataOuMinima(const TnField &data);
// The quantity is above 0 (an empty one counts as 0).
bool QtdeAcimaDeZero(const TnField &qtde);

// The integer `coluna` of the master row of the detail register `detalhe`: its master
// module's current row, or, opened on its own, the row of `tabelaMestre` that the detail
// row's link fields `ligacao` (';'-joined, the same names in both tables) name, read by
// its key. False when a link field is empty, no such row exists or the value is empty.
bool ValorDoMestreK(const TnDMClientDataSet &detalhe, const char *tabelaMestre, const char *ligacao,
                    const char *coluna, qint64 &valor);

// "Somente um dos campos pode ser preenchido, quantidade de correção positiva/negativa!"
// on QTDCORRECAOPOS when both corrections of `dm`'s row are above 0 (K270, K275, K280).
void ValidarUmaCorrecaoK(const TnDMClientDataSet &dm);
