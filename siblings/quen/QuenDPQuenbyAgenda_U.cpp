// Stand-in of the tax-calendar module's calendar form, opened by class name from the main
// window's toolbar: a module without declarations, which the framework shows as a plain
// window naming it.
#include "Modulos.h"

namespace {
class TQuenDPQuenbyAgenda : public TnDataModule {};
} // namespace

static TnRegistrador<TQuenDPQuenbyAgenda> gRegistro("TQuenDPQuenbyAgenda");
