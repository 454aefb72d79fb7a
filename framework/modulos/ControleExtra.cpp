#include "ControleExtra.h"

#include "DMClientDataSet.h"
#include "Valores.h"

TnControleExtra::TnControleExtra(TnDMClientDataSet *dono, const QString &campoAnterior, const QString &nome,
                                 const QString &caption, TFieldType tipo, int largura)
    : QObject(dono), FDono(dono), FCampoAnterior(campoAnterior.trimmed()), FNome(nome.trimmed()), FCaption(caption),
      FTipo(tipo), FLargura(qMax(0, largura))
{
    setObjectName(FNome);
}

void TnControleExtra::Mostrar()
{
    if (FDono && FDono->Form())
        FDono->Form()->AtualizarControle(FNome);
}

void TnControleExtra::Mudar(QString &campo, const QString &valor)
{
    if (campo == valor)
        return;
    campo = valor;
    Mostrar();
}

void TnControleExtra::Mudar(bool &campo, bool valor)
{
    if (campo == valor)
        return;
    campo = valor;
    Mostrar();
}

void TnControleExtra::SetTexto(const QString &texto) { Mudar(FTexto, texto); }
void TnControleExtra::SetHabilitado(bool v) { Mudar(FHabilitado, v); }
void TnControleExtra::SetRequerido(bool v) { Mudar(FRequerido, v); }
void TnControleExtra::SetNegrito(bool v) { Mudar(FNegrito, v); }
void TnControleExtra::SetSomenteLeitura(bool v) { Mudar(FSomenteLeitura, v); }
void TnControleExtra::SetDisplayFormat(const QString &mascara) { Mudar(FDisplayFormat, mascara); }
void TnControleExtra::SetEditFormat(const QString &mascara) { Mudar(FEditFormat, mascara); }
void TnControleExtra::SetCaracteresAceitos(const QString &caracteres) { Mudar(FCaracteresAceitos, caracteres); }

QString TnControleExtra::TextoExibido(bool editando) const
{
    const QString &mascara = editando ? FEditFormat : FDisplayFormat;
    double v = 0;
    if (!EhTipoNumerico(FTipo) || mascara.isEmpty() || !TextoParaNumero(FTexto, v))
        return FTexto;
    return FormatFloat(mascara, v);
}
