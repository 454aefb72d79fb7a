#pragma once
// What the main window (TOrvoSMenu) decides without widgets: the actions it routes itself,
// the inventory-period text of status panel 3, the width of panel 2, its toolbar buttons and
// the check that follows the company settings register.
#include <QString>
#include <functional>
#include <vector>

// Classes the main window opens itself.
inline constexpr char ClasseCfgEmpresaInv[] = "TOrvoDMCfgEmpresaInv";
inline constexpr char ClassePeriodoInventario[] = "TOrvoDPPeriodoInventario";

inline constexpr char OrvoSCancelamentoSelecaoEmpresa[] =
    "A empresa selecionada não tem uma configuração de inventário válida; a seleção da empresa foi cancelada. "
    "Revise a configuração da empresa.";

// Where an action of the menu goes, by its name ("act" + class), without regard to case.
enum class TOrvoRotaAcao {
    ConfiguracaoInv,   // "actTOrvoDMCfgEmpresaInv": ShowConfiguracaoInv
    PeriodoInventario, // "actTOrvoDPPeriodoInventario": ShowPeriodoInventario
    Herdada            // any other: the framework opens the action's class
};
TOrvoRotaAcao RotaDaAcao(const QString &nomeAcao);

// An action whose selection keys (';'-joined) hold "DataInvent" while no inventory period is
// chosen yet: the window has the period chosen first (the period selection checks it
// against the company's periodicity), instead of asking for a bare date.
bool PeriodoAntesDaAcao(const QString &chavesSelecao);

// Text of status panel 3: empty when gDataInvent is blank (nothing is read then); else
// "Inventário: " and the month and year of gDataInvent (dd/mm/yyyy from its 4th character),
// followed by the active company's periodicity from CFGEMPRESAINV: " - Mensal" (1),
// " - Trimestral" (2), " - Anual" (3), nothing for any other value, a missing row, a null
// periodicity or no company (gCodigoEmpresaAtiva 0 or not a number).
QString TextoPeriodoInventario();

// Width of status panel 2, which takes what the other three leave of the bar.
int LarguraPainelLivre(int larguraBarra, int larguraPainel0, int larguraPainel1, int larguraPainel3);

// One button of the main toolbar (CriarToolButtonMain).
struct TOrvoBotaoBarra {
    QString Classe;
    QString Hint;
    bool NovoGrupo;
    QString Caption;
    int Imagem;
};
// The module's five buttons, in their order.
const std::vector<TOrvoBotaoBarra> &BotoesBarraOrvo();

// After the company settings register closed: when the active company (gCodigoEmpresaAtiva)
// has no valid inventory settings, resets the connection's selection, runs
// `selecionarEmpresa` (the window's company selection) and raises Exception with
// OrvoSCancelamentoSelecaoEmpresa. Does nothing when the settings are valid.
void ChecarEmpresaAposConfiguracao(const std::function<void()> &selecionarEmpresa);
