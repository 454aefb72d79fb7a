#pragma once
// The data dictionary: what a field or parameter takes from its dictionary key
// (Definicao::Chave, TnDefParam::ChaveDicionario) when it declares nothing of its own.
//
// One table of entries, one per key (any case). A member the declaration leaves at its
// default (an empty text or list, 0, ntcEdit) takes the entry's; anything declared stays.
// A key the dictionary does not know changes nothing.
#include "Definicao.h"

#include <QString>
#include <QStringList>

class TnClientDataSet;

struct TnEntradaDicionario {
    const char *Chave;
    const char *Caption = nullptr;        // UTF-8
    TnTipoControle TipoControle = ntcEdit;
    int Digitos = 0;
    int Decimais = 0;
    const char *DisplayFormat = nullptr;
    const char *Hint = nullptr;           // UTF-8
    const char *ClasseLookup = nullptr;
    QStringList ListaValores = {};        // "text=value" lines
};

// The entry of a key (any case, blanks around ignored); null when the dictionary has none.
const TnEntradaDicionario *EntradaDicionario(const QString &chave);

// The caption of a dictionary key (any case); empty when the dictionary has none.
QString CaptionDoDicionario(const QString &chave);

// Fills what `def` leaves undeclared from the entry of def.Chave (see the top of this
// file). The caption is not copied: DisplayLabel falls back on the dictionary by itself.
void AplicarDicionario(Definicao &def);

// Fills the value lists of the dataset's fields from their keys (a field with a list of
// its own keeps it): for a process's result dataset, whose fields are made in code.
void Dicionario(TnClientDataSet &ds);
