#include "MestreDetalhe.h"

#include "Esquema.h"

TnLigacaoMestreDetalhe::TnLigacaoMestreDetalhe(TnClientDataSet &mestre, TnClientDataSet &detalhe,
                                               const QString &camposChave)
    : FMestre(mestre), FDetalhe(detalhe), FCampos(ListaNomes(camposChave))
{
    if (FCampos.isEmpty())
        throw Exception(QStringLiteral("A ligação entre mestre e detalhe não tem campos de chave."));
    for (const QString &c : FCampos) {
        if (!mestre.FindField(c))
            throw Exception(QStringLiteral("O campo %1 da ligação não existe no mestre.").arg(c));
        if (!detalhe.FindField(c))
            throw Exception(QStringLiteral("O campo %1 da ligação não existe no detalhe.").arg(c));
    }
    FDetalhe.SetIndexFieldNames(FCampos.join(u';'));
    FMestre.AdicionarObservador(this);
    Seguir();
}

TnLigacaoMestreDetalhe::~TnLigacaoMestreDetalhe() { FMestre.RemoverObservador(this); }

void TnLigacaoMestreDetalhe::Seguir()
{
    if (!FDetalhe.Active() || FDetalhe.EmEdicao())
        return;
    // An index set on the detail since (a sort of its grid) gives way to the key's again.
    const QString indice = FCampos.join(u';');
    if (FDetalhe.IndexFieldNames() != indice)
        FDetalhe.SetIndexFieldNames(indice);
    if (!FMestre.Active() || FMestre.IsEmpty() || FMestre.State() == dsInsert) {
        FDetalhe.SetRangeVazio();
        return;
    }
    QVariantList chave;
    chave.reserve(FCampos.size());
    for (const QString &c : FCampos)
        chave << FMestre.FieldByName(c).AsVariant();
    FDetalhe.SetRange(chave, chave);
}
