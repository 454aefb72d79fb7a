// Stand-in of the tax-calendar module's calendar form, opened by class name from the main
// window's toolbar: a module without declarations, which the framework shows as a plain
// window with its caption and a sentence.
#include "Modulos.h"

namespace {
class TQuenDPQuenbyAgenda : public TnDataModule {
public:
    QString TituloJanela() const override { return QString::fromUtf8("Agenda Tributária"); }
    QString TextoJanela() const override
    {
        return QString::fromUtf8("A agenda tributária pertence a outro módulo da suíte Varnel e é consultada nele.");
    }
};
} // namespace

static TnRegistrador<TQuenDPQuenbyAgenda> gRegistro("TQuenDPQuenbyAgenda");
