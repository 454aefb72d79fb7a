#include "OrvoSSplash_U.h"

#include <QLinearGradient>
#include <QPainter>

TOrvoSSplash::TOrvoSSplash(QWidget *pai) : TnFrmSplashVarnel(pai)
{
    setObjectName(QStringLiteral("OrvoSSplash"));
    setWindowTitle(QStringLiteral("OrvoSSplash"));
}

QStringList TOrvoSSplash::GetListaSplashItens()
{
    return QStringLiteral("Ulmar;Telso;Quen;Tavro;Brisa;Corvel;Dalmo;Fenar;Lisar").split(';');
}

QPixmap TOrvoSSplash::GetImagem()
{
    constexpr int largura = 700, altura = 467;
    QPixmap p(largura, altura);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fundo(0, 0, 0, altura);
    fundo.setColorAt(0, QColor(0x1b, 0x3a, 0x2f));
    fundo.setColorAt(1, QColor(0x0e, 0x1f, 0x2c));
    g.fillRect(p.rect(), fundo);

    // A warehouse shelf: three levels of boxes, one of them being counted.
    const QColor estante(0x9a, 0xa5, 0xb1), caixa(0xd8, 0x9a, 0x4e);
    g.setPen(QPen(estante, 6));
    for (int nivel = 0; nivel < 3; ++nivel)
        g.drawLine(50, 180 + nivel * 95, 330, 180 + nivel * 95);
    g.drawLine(50, 80, 50, 380);
    g.drawLine(330, 80, 330, 380);
    for (int nivel = 0; nivel < 3; ++nivel)
        for (int i = 0; i < 3 - (nivel % 2); ++i) {
            const QRectF r(70 + i * 85, 110 + nivel * 95, 70, 65);
            g.setBrush(caixa);
            g.setPen(QPen(caixa.darker(170), 2));
            g.drawRect(r);
            g.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.top() + 18));
        }
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(QColor(0x7f, 0xd6, 0x8f), 4));
    g.drawEllipse(QPointF(275, 142), 46, 46);

    g.setPen(Qt::white);
    QFont f = g.font();
    f.setPointSize(32);
    f.setBold(true);
    g.setFont(f);
    g.drawText(QRectF(370, 250, 300, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Inventário"));
    f.setPointSize(14);
    f.setBold(false);
    g.setFont(f);
    g.drawText(QRectF(372, 310, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Varnel - INV"));
    return p;
}
