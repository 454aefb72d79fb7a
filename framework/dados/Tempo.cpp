#include "Tempo.h"

void TnTempo::Iniciar() { FRelogio.start(); }

qint64 TnTempo::Milissegundos() const { return FRelogio.isValid() ? FRelogio.elapsed() : 0; }

QString TnTempo::TempoDecorrido(qint64 ms)
{
    ms = qMax<qint64>(0, ms);
    const qint64 segundos = ms / 1000;
    return QStringLiteral("%1:%2:%3,%4")
        .arg(segundos / 3600, 2, 10, QLatin1Char('0'))
        .arg(segundos / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(segundos % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

TnTempo TempoInicio()
{
    TnTempo t;
    t.Iniciar();
    return t;
}

QString TempoFinal(const TnTempo &inicio) { return inicio.Decorrido(); }
