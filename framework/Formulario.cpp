#include "Formulario.h"

#include "Excecoes.h"
#include "Interacao.h"

namespace {
TnFormPrincipal *gFormPrincipal = nullptr;
}

TnFormPrincipal *FormPrincipal() { return gFormPrincipal; }
void DefinirFormPrincipal(TnFormPrincipal *f) { gFormPrincipal = f; }

void MostrarFalha(TnFormModulo *form, const std::exception &e)
{
    if (dynamic_cast<const EAbort *>(&e))
        return;
    const auto *ex = dynamic_cast<const Exception *>(&e);
    nShowMessage(ex ? ex->Message() : QString::fromUtf8(e.what()));
    if (!form)
        return;
    if (const auto *campo = dynamic_cast<const EnField *>(&e))
        form->FocarControle(campo->Campo());
    else if (const auto *param = dynamic_cast<const EnParam *>(&e))
        form->FocarControle(param->Param());
}
