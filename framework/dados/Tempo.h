#pragma once
// Elapsed time of a step, for the closing lines of processes ("Tempo decorrido: 00:00:02,150").
//
//     const TnTempo tempo = TempoInicio();
//     ... the work ...
//     Mensagens().Adicionar(tmAviso, QStringLiteral("Tempo decorrido: ") + TempoFinal(tempo));
//
// The clock is monotonic: a change of the system clock during the step does not change it.
#include <QElapsedTimer>
#include <QString>

class TnTempo {
public:
    // Starts (or starts again) counting from now.
    void Iniciar();
    bool Iniciado() const { return FRelogio.isValid(); }
    // Milliseconds since Iniciar; 0 when it was never started.
    qint64 Milissegundos() const;
    // The time since Iniciar as TempoDecorrido writes it.
    QString Decorrido() const { return TempoDecorrido(Milissegundos()); }

    // "hh:mm:ss,zzz": hours (two digits at least, more past 99), minutes, seconds and
    // milliseconds; a negative count is taken as 0.
    static QString TempoDecorrido(qint64 ms);

private:
    QElapsedTimer FRelogio;
};

// A clock started now.
TnTempo TempoInicio();
// The time elapsed on `inicio`, as TnTempo::TempoDecorrido writes it.
QString TempoFinal(const TnTempo &inicio);
