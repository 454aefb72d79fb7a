#include "AbrirCadastro.h"

#include "ClientDataSet.h"
#include "DMClientDataSet.h"
#include "Interacao.h"

namespace {
QStringList Campos(const QString &lista)
{
    QStringList r;
    for (const QString &c : lista.split(u';', Qt::SkipEmptyParts))
        if (const QString t = c.trimmed(); !t.isEmpty())
            r << t;
    return r;
}
} // namespace

TnActAbrirCadastro::TnActAbrirCadastro(TnActionList *lista) : TnAction(lista)
{
    if (lista)
        lista->Adicionar(this);
    SetOnExecute([this](TnAction *) { Abrir(); });
}

bool TnActAbrirCadastro::Abrir()
{
    if (!Mestre || !Mestre->Active() || Mestre->State() == dsInsert || Mestre->IsEmpty())
        return false;
    const QStringList mestre = Campos(CamposMestre), detalhe = Campos(CamposDetalhe);
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
    } catch (...) {
        delete cadastro;
        throw;
    }
    return Modal ? nShowFormModal(cadastro) : nShowForm(cadastro);
}
