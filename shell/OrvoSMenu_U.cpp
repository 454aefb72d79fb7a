#include "OrvoSMenu_U.h"

#include "OrvoSMenuRegras.h"

#include <QStatusBar>

TnFrmMenuVarnel *OrvoSMenu = nullptr;

TOrvoSMenu::TOrvoSMenu(QWidget *pai) : TnFrmMenuVarnel(pai)
{
    setObjectName(QStringLiteral("OrvoSMenu"));
    setWindowTitle(QStringLiteral("Inventário - Varnel"));
    SetItensMenuPrincipal({QStringLiteral("Á&reas de Trabalho"), QStringLiteral("&Cadastros"),
                           QStringLiteral("&Movimentos"), QStringLiteral("C&onsultas"), QStringLiteral("&Utilitários"),
                           QStringLiteral("Co&nfigurações"), QStringLiteral("R&elatórios"),
                           QStringLiteral("Ar&quivos")});
    SetPaineis({70, 100, 150, 150});
}

void TOrvoSMenu::actShowForm(TnAction *acao)
{
    switch (acao ? RotaDaAcao(acao->Name()) : TOrvoRotaAcao::Herdada) {
    case TOrvoRotaAcao::ConfiguracaoInv:
        ShowConfiguracaoInv(acao);
        break;
    case TOrvoRotaAcao::PeriodoInventario:
        ShowPeriodoInventario(acao);
        break;
    case TOrvoRotaAcao::Herdada:
        // The period first; given up, the action does not open.
        if (acao && acao->ChecarSelecao() && PeriodoAntesDaAcao(acao->VerificaSelecao()))
            ShowPeriodoInventario(nullptr);
        if (acao && acao->ChecarSelecao() && PeriodoAntesDaAcao(acao->VerificaSelecao()))
            return;
        TnFrmMenuVarnel::actShowForm(acao);
        break;
    }
}

void TOrvoSMenu::ShowConfiguracaoInv(TnAction *sender)
{
    if (!ShowFormModal(sender, QString::fromLatin1(ClasseCfgEmpresaInv)))
        return;
    ChecarEmpresaAposConfiguracao([this] { SelecionarEmpresa(); });
}

void TOrvoSMenu::ShowPeriodoInventario(TnAction *sender)
{
    if (ShowFormModal(sender, QString::fromLatin1(ClassePeriodoInventario)))
        ConfigurarVisualMenu();
}

void TOrvoSMenu::ConfigurarVisualMenu()
{
    TnFrmMenuVarnel::ConfigurarVisualMenu();
    SetTextoPainel(3, QString()); // stays empty if reading the company's settings fails
    SetTextoPainel(3, TextoPeriodoInventario());
}

void TOrvoSMenu::CriarBtnToolBar()
{
    TnFrmMenuVarnel::CriarBtnToolBar();
    for (const TOrvoBotaoBarra &b : BotoesBarraOrvo())
        CriarToolButtonMain(b.Classe, b.Hint, b.NovoGrupo, b.Caption, b.Imagem);
}

void TOrvoSMenu::nStatusBarResize()
{
    TnFrmMenuVarnel::nStatusBarResize();
    SetLarguraPainel(2, LarguraPainelLivre(statusBar()->width(), LarguraPainel(0), LarguraPainel(1), LarguraPainel(3)));
}
