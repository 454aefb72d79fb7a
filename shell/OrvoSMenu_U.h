#pragma once
// The module's main window: the suite's main-menu window with its caption, eight top-level
// menus and four status panels, the routing of the company settings and period actions, the
// inventory period in status panel 3 and five toolbar buttons. The rules themselves are in
// OrvoSMenuRegras.h.
#include "QtMenu.h"

class TOrvoSMenu : public TnFrmMenuVarnel {
    Q_OBJECT
public:
    explicit TOrvoSMenu(QWidget *pai = nullptr);

    void actShowForm(TnAction *acao) override;
    void ConfigurarVisualMenu() override;
    void CriarBtnToolBar() override;
    void nStatusBarResize() override;

    // The company settings register, then the check of the active company's settings (an
    // invalid one cancels the company selection with an exception).
    void ShowConfiguracaoInv(TnAction *sender);
    // The period selection; a confirmed one is shown in the status bar.
    void ShowPeriodoInventario(TnAction *sender);
};

// The main window while the program runs (ExecutarProjeto keeps it here).
extern TnFrmMenuVarnel *OrvoSMenu;
