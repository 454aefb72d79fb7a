#pragma once
// The generic window of a process module: one control per declared parameter, the run
// action (ValidarDado, then the required parameters, then Executar: TnDMPowerParam::Rodar),
// the result grid or tabs of the grid and tab variants, the report of the result a run
// leaves ("Relatório", TnDMPowerParam::Relatorio), and the process's message list or tree. A refused parameter (EnParam) gets the focus, also when its control is disabled.
#include "PowerParam.h"
#include "QtForms.h"

#include <vector>

class QAction;
class QLineEdit;
class QTabWidget;
class QToolBar;
class TnGradeDataSet;
class TnEditor;
class TnVisaoMensagens;

// The control of a parameter, by its kind (a lookup: with the search button), and what it
// shows of the parameter's declaration: caption, required mark, visibility, list, maximum
// length, hint, enabled, mask and accepted characters, and its Text() unless the user is
// typing there. The process form and a register's parameter panel build them alike.
TnEditor *CriarEditorParametro(const TnpqParamItem &p, QWidget *pai);
void MostrarParametro(TnEditor *e, const TnpqParamItem &p);
// The search button of a lookup parameter: the code picked in its consultation goes into
// the control and the parameter (added to the list when it takes several).
void PesquisarParametro(TnEditor *e, TnpqParamItem &p, QWidget *pai);

class TnFrmProcesso : public TnFrmModulo {
    Q_OBJECT
public:
    TnFrmProcesso(TnDMPowerParam *dm, QWidget *pai = nullptr);
    // The controls stop reporting here: a line that loses the focus while the window goes
    // must not reach members already destroyed.
    ~TnFrmProcesso() override;

    TnEditor *Editor(const QString &alias) const;
    TnVisaoMensagens *VisaoMensagens() const { return FMensagens; }
    QTabWidget *Resultados() const { return FResultados; } // null for a plain process
    // The result grid of a grid process (null before its first result, and for others) and
    // its search line (null when the process asks for none).
    TnGradeDataSet *Grade() const;
    QLineEdit *Pesquisa() const { return FPesquisa; }
    // Finds, from the row after the current one and round to it, the first row whose value
    // in the grid's current column shows `texto` (letter case ignored); false when none.
    bool PesquisarNaGrade(const QString &texto);
    // The run action: takes what was typed into the parameters and runs the process. True
    // when it ended well; a modal window then closes confirmed.
    bool Executar();

    // ---- TnFormModulo
    void FocarControle(const QString &nome) override;
    void AtualizarControle(const QString &nome) override;
    void ResultadoAlterado() override;

protected:
    void AtualizarAcoes() override;

private:
    void Construir();
    void TomarParametros();
    void Pesquisar(TnEditor *e);
    void LimparResultados();
    // The grid process's result page: search line, grid, double-click, popup and sorting.
    QWidget *CriarPaginaGrade(TnDMPowerParamGrid *grade);
    // A tab process's page: the master grid and, under it, the detail grid when the tab has one.
    QWidget *CriarPaginaAba(TnAbaResultado &aba, int indice);
    // Tool buttons of the grid process's row actions, with their shortcuts.
    void CriarBotoesLinha();
    void MenuDaGrade(const QPoint &pos);
    void MostrarGrupoParametros();

    QPointer<TnDMPowerParam> FProcesso;
    std::vector<TnEditor *> FEditores;
    TnVisaoMensagens *FMensagens = nullptr;
    QTabWidget *FResultados = nullptr;
    QWidget *FGrupoParametros = nullptr;
    QAction *FExecutar = nullptr;
    QAction *FRelatorio = nullptr; // "Relatório": the last run's result, when the process leaves one
    QToolBar *FBarra = nullptr;
    QPointer<TnGradeDataSet> FGrade;
    QLineEdit *FPesquisa = nullptr;
};
