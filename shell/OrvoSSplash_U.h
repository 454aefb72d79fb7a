#pragma once
// The window shown while the program starts: the module's picture and the suite's other
// modules.
#include "QtProjeto.h"

class TOrvoSSplash : public TnFrmSplashVarnel {
    Q_OBJECT
public:
    explicit TOrvoSSplash(QWidget *pai = nullptr);
    QStringList GetListaSplashItens() override;
    // 700 x 467 pixels.
    QPixmap GetImagem() override;
};
