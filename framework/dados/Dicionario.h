#pragma once
// The data dictionary: what a field or parameter takes from its dictionary key (Definicao::Chave,
// TnDefParam::ChaveDicionario) when it declares nothing of its own. For now, the caption.
#include <QString>

// The caption of a dictionary key (any case); empty when the dictionary has none.
QString CaptionDoDicionario(const QString &chave);
