#pragma once
// The base of the Bloco K registers that check their product's SPED item type or explain a
// duplicate natural key: TOrvoDMSpedFisKBase (abstract, never registered).
//
// Item type of the row's product (PRODUTO.INDICADORTIPO of the row's company and code):
// read by its code with one keyed statement, never through the product utility the suite
// shares (ControleProduto keeps its current product, and a reference equal to the code's
// text never wins). A product the company does not have is refused on CODIGOPRODUTO.
//
// Duplicate key: ConfigurarErroChave(kind) makes the refusals of the kinds [4, kind]
// (ErroBanco: 1 primary key, 4 another unique rule) say "Registro com esta chave já foi
// cadastrado! " and the captions of the natural key (GetCamposChaveUNQ). A record calls
// it once, when it is created, so the message holds with or without a form; the message
// is replaced, never appended to, and the handler that was installed before still runs
// and decides what happens to the row.
#include "DMClientDataSet.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class TOrvoDMSpedFisKBase : public TnDMClientDataSet {
public:
    explicit TOrvoDMSpedFisKBase(const TnDefCadastro &declaracao);

    // The item types the Bloco K registers accept: {0, 1, 2, 3, 4, 5, 10}.
    static constexpr quint32 kTiposAceitos = 1087;
    // What PegarIndicadorTipoProduto answers for a product without a type: no set holds it.
    static constexpr unsigned kSemTipo = 255;
    // A type belongs to the set of `mascara`: at most 15 and its bit set.
    static bool TipoNoConjunto(unsigned tipo, quint32 mascara) { return tipo <= 15 && (mascara >> tipo) & 1u; }

    // The product's type as stored (true) or nothing (false, `tipo` untouched) when
    // the company has no product of that code; an empty type gives kSemTipo.
    static bool LerIndicadorTipo(qint64 empresa, qint64 produto, unsigned &tipo);

    // "O produto informado deve fazer parte á um dos seguintes tipos de mercadorias:" and
    // the seven type names, one per line.
    static QString MensagemTipoProduto();
    // The duplicate-key message over the captions `campos`.
    static QString MensagemChaveDuplicada(const QString &campos);
    // A product the company does not have.
    static QString MensagemProdutoInexistente(const QString &codigo);

    // The SPED item type of the row's product (CODIGOEMPRESA, CODIGOPRODUTO). EnField on
    // CODIGOPRODUTO when the company has no such product.
    virtual unsigned PegarIndicadorTipoProduto();
    // The captions of the natural key, each "[caption]", one per line.
    virtual QString GetCamposChaveUNQ() const = 0;
    // EnField on CODIGOPRODUTO unless the row's product has an accepted type.
    virtual void ValidarTipoProduto();

    // Makes the refusals of the kinds [4, tipo] give the duplicate-key message; the
    // reconcile handler is installed the first time only.
    void ConfigurarErroChave(int tipo);
    bool EhErroChave(int tipo) const;
    void TratarErroChave(TnClientDataSet &ds, Exception &e, TUpdateKind tipo, TReconcileAction &acao);

protected:
    std::vector<std::uint8_t> FDBErros;
    std::function<void(TnClientDataSet &, Exception &, TUpdateKind, TReconcileAction &)> FDoReconcileErrorOld;

private:
    bool FErroChaveInstalado = false;
};
