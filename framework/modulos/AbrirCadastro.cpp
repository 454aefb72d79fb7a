#include "AbrirCadastro.h"

#include "ClientDataSet.h"
#include "DMClientDataSet.h"
#include "Esquema.h"
#include "Formulario.h"
#include "Interacao.h"

namespace {
// The register opened on a row that is no longer there.
const char kRegistroAusente[] = "O registro desta linha não existe mais; o cadastro será aberto vazio.";
} // namespace

TnActAbrirCadastro::TnActAbrirCadastro(TnActionList *lista) : TnAction(lista)
{
    if (lista)
        lista->Adicionar(this);
    SetOnExecute([this](TnAction *) {
        if (!Habilitada())
            return;
        try {
            Abrir();
        } catch (const std::exception &e) {
            MostrarFalha(nullptr, e);
        }
    });
}

bool TnActAbrirCadastro::Habilitada() const
{
    return Mestre && Mestre->Active() && Mestre->State() == dsBrowse && !Mestre->IsEmpty();
}

bool TnActAbrirCadastro::Abrir()
{
    if (!Mestre || !Mestre->Active() || Mestre->State() == dsInsert || Mestre->IsEmpty())
        return false;
    const QStringList mestre = ListaNomes(CamposMestre), detalhe = ListaNomes(CamposDetalhe);
    if (mestre.isEmpty() || mestre.size() != detalhe.size())
        throw Exception(QStringLiteral("A ação %1 liga campos do mestre e do cadastro em números diferentes.").arg(Name()));
    QVariantList valores;
    for (const QString &c : mestre)
        valores << Mestre->FieldByName(c).AsVariant();

    TnDataModule *dm = CriarDM(ClasseCadastro, this, Instancia);
    auto *cadastro = qobject_cast<TnDMClientDataSet *>(dm);
    if (!cadastro) {
        delete dm;
        throw Exception(QStringLiteral("A classe %1 não é um cadastro.").arg(ClasseCadastro));
    }
    try {
        cadastro->SetVerificaSelecaoManual(detalhe.join(u';'));
        for (int i = 0; i < detalhe.size(); ++i)
            cadastro->FixarSelecao(detalhe[i], valores[i]);
        cadastro->Abrir();
        TnClientDataSet &ds = cadastro->nClientDataSet();
        // Opened on one row (its whole key pinned), an empty register means the row is gone;
        // opened on part of a key (a company's branches), it may simply have none yet.
        bool linhaUnica = true;
        for (const QString &k : ListaNomes(cadastro->ChavePrimaria()))
            linhaUnica = linhaUnica && detalhe.contains(k, Qt::CaseInsensitive);
        if (ds.IsEmpty() && linhaUnica)
            nShowMessage(QString::fromUtf8(kRegistroAusente));
        else if (!ds.IsEmpty())
            ds.First();
    } catch (...) {
        delete cadastro;
        throw;
    }
    return Modal ? nShowFormModal(cadastro, PrepararForm) : nShowForm(cadastro, PrepararForm);
}
