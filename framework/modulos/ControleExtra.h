#pragma once
// A control a register module adds to its form that is bound to no field: a total, a
// balance, a code the module reads when the user leaves it. The module creates it with
// TnDMClientDataSet::CriarControlsFraFields and keeps it through QPointer: it belongs to the
// module and goes when the module's form goes.
//
// Its state lives here, as a field's lives in its definition: a setter that changes it tells
// the module's form to show the control again (AtualizarControle(Nome())). The form shows
// Texto() (formatted when numeric, see TextoExibido), stores what the user typed with
// SetTexto when the focus leaves, and then runs OnExit.
#include "Tipos.h"

#include <QObject>
#include <QString>
#include <functional>

class TnDMClientDataSet;

class TnControleExtra : public QObject {
    Q_OBJECT
public:
    // Made by TnDMClientDataSet::CriarControlsFraFields; `dono` owns it.
    TnControleExtra(TnDMClientDataSet *dono, const QString &campoAnterior, const QString &nome, const QString &caption,
                    TFieldType tipo, int largura);

    const QString &Nome() const { return FNome; }
    const QString &Caption() const { return FCaption; }
    TFieldType Tipo() const { return FTipo; }
    // The field (or extra control) after whose control this one is shown.
    const QString &CampoAnterior() const { return FCampoAnterior; }
    // Width in pixels; 0: the width of the control of CampoAnterior.
    int Largura() const { return FLargura; }
    TnDMClientDataSet *Dono() const { return FDono; }

    // ---- state; each setter that changes something shows the control again
    const QString &Texto() const { return FTexto; }
    void SetTexto(const QString &texto);
    bool Habilitado() const { return FHabilitado; }
    void SetHabilitado(bool v);
    bool Requerido() const { return FRequerido; }
    void SetRequerido(bool v);
    bool Negrito() const { return FNegrito; }
    void SetNegrito(bool v);
    bool SomenteLeitura() const { return FSomenteLeitura; }
    void SetSomenteLeitura(bool v);
    // FormatFloat masks of a numeric control: shown, and while the user edits it.
    const QString &DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const QString &mascara);
    const QString &EditFormat() const { return FEditFormat; }
    void SetEditFormat(const QString &mascara);
    // The only characters the control takes; empty: any.
    const QString &CaracteresAceitos() const { return FCaracteresAceitos; }
    void SetCaracteresAceitos(const QString &caracteres);

    // The text the control shows: a numeric control whose text is a number, with
    // DisplayFormat (`editando`: with EditFormat, the plain text when it has none); any other
    // text as it is.
    QString TextoExibido(bool editando) const;

    // Runs when the user leaves the control (TnDMClientDataSet::SairDoControleExtra). A
    // module may keep the handler it finds and call it from its own.
    std::function<void()> OnExit;

private:
    void Mudar(QString &campo, const QString &valor);
    void Mudar(bool &campo, bool valor);
    void Mostrar();

    TnDMClientDataSet *FDono;
    QString FCampoAnterior;
    QString FNome;
    QString FCaption;
    TFieldType FTipo;
    int FLargura;
    QString FTexto;
    bool FHabilitado = true;
    bool FRequerido = false;
    bool FNegrito = false;
    bool FSomenteLeitura = false;
    QString FDisplayFormat;
    QString FEditFormat;
    QString FCaracteresAceitos;
};
