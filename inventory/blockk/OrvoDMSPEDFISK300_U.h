#pragma once
// Record K300 (SPEDFISK300): a joint production done by a third party, identified by the
// date its production was recognised, with its produced items (K301, SPEDFISK301) and
// consumed components (K302, SPEDFISK302) as details in one page control.
//
// The key of a K300 may change while it has no items; with items the change is refused, so
// no item is left under a key that no longer exists. K301 takes products in process or
// finished (types 3 and 4), K302 the types 0 to 5 and 10; a product the company does not
// have counts as type 0.
#include "BlocoKDeclaracoes.h"
#include "OrvoDMSpedFisKBase_U.h"

inline constexpr char kClasseDMK300[] = "TOrvoDMSPEDFISK300";
inline constexpr char kClasseDCK300[] = "TOrvoDCSPEDFISK300";
inline constexpr char kClasseDMK301[] = "TOrvoDMSPEDFISK301";
inline constexpr char kClasseDCK301[] = "TOrvoDCSPEDFISK301";
inline constexpr char kClasseDMK302[] = "TOrvoDMSPEDFISK302";
inline constexpr char kClasseDCK302[] = "TOrvoDCSPEDFISK302";

class TOrvoDMSPEDFISK300 : public TnModuloBlocoK<TOrvoDMSpedFisKBase, kClasseDMK300> {
    Q_OBJECT
public:
    TOrvoDMSPEDFISK300();
    void DepoisConfigurar(TnFormModulo *form) override;
    void ValidarDado() override;
    QString GetCamposChaveUNQ() const override;
    // "A chave desta produção não pode ser alterada: ..."
    static QString MensagemChaveComItens();
};

class TOrvoDCSPEDFISK300 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK300> {
    Q_OBJECT
public:
    TOrvoDCSPEDFISK300();
};

// An item of a K300: its product's type must be in `Mascara`, refused with `Mensagem`.
class TOrvoItemK300 : public TOrvoDMSpedFisKBase {
public:
    using TOrvoDMSpedFisKBase::TOrvoDMSpedFisKBase;
    QString GetCamposChaveUNQ() const override;
    // The type of the row's product; 0 when the company has no such product.
    unsigned TipoDoProduto() const;
protected:
    void ValidarTipo(quint32 mascara, const QString &mensagem);
};

class TOrvoDMSPEDFISK301 : public TnModuloBlocoK<TOrvoItemK300, kClasseDMK301> {
    Q_OBJECT
public:
    TOrvoDMSPEDFISK301();
    void ValidarDado() override;
    static constexpr quint32 kTipos = 24; // 3 and 4
    static QString MensagemTipo();
};

class TOrvoDCSPEDFISK301 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK301> {
    Q_OBJECT
public:
    TOrvoDCSPEDFISK301();
};

class TOrvoDMSPEDFISK302 : public TnModuloBlocoK<TOrvoItemK300, kClasseDMK302> {
    Q_OBJECT
public:
    TOrvoDMSPEDFISK302();
    void ValidarDado() override;
    static constexpr quint32 kTipos = 1087; // 0 to 5 and 10
    static QString MensagemTipo();
};

class TOrvoDCSPEDFISK302 : public TnModuloBlocoK<TnDMClientDataSet, kClasseDCK302> {
    Q_OBJECT
public:
    TOrvoDCSPEDFISK302();
};
