#include "Formulario.h"

#include "Excecoes.h"
#include "Interacao.h"

namespace {
TnFormPrincipal *gFormPrincipal = nullptr;
}

TnFormPrincipal *FormPrincipal() { return gFormPrincipal; }
void DefinirFormPrincipal(TnFormPrincipal *f) { gFormPrincipal = f; }

// ---- TnDMFormulario -------------------------------------------------------------------

void TnDMFormulario::ConfigurarForm(TnFormModulo *form, const std::function<void()> &construirControles)
{
    FForm = form;
    AntesConfigurar(form);
    if (construirControles)
        construirControles();
    DepoisConfigurar(form);
    FormConfigurado();
}

void TnDMFormulario::FormCloseQuery(TnFormModulo *, bool &) {}

void TnDMFormulario::FormFechado()
{
    EsquecerForm();
    deleteLater();
}

void TnDMFormulario::FecharForm()
{
    if (FForm)
        FForm->Fechar();
}

void TnDMFormulario::AntesConfigurar(TnFormModulo *) {}
void TnDMFormulario::DepoisConfigurar(TnFormModulo *) {}
void TnDMFormulario::FormConfigurado() { AtualizarControle(QString()); }
void TnDMFormulario::EsquecerForm() { FForm = nullptr; }

void TnDMFormulario::AtualizarControle(const QString &nome)
{
    if (FForm)
        FForm->AtualizarControle(nome);
}

// ---- failures -------------------------------------------------------------------------

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
