#pragma once
// The controls of one register module inside its window: the record buttons, the record page
// (fields grouped in pages, a list of values as a combo box, a lookup as a line with a search
// button, extra controls, parameter panels under a field) or the register grid.
#include "DMClientDataSet.h"
#include "PowerParam.h"
#include "QtForms.h"

#include <QKeySequence>
#include <QPointer>
#include <QWidget>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QTabWidget;
class QToolBar;
class TnEditor;
class TnGradeDataSet;

// Record buttons, in the order of the button bar.
enum TnBotaoRegistro { brPrimeiro, brAnterior, brProximo, brUltimo, brIncluir, brAlterar, brExcluir, brGravar, brCancelar };

// The keys of a record button in a register window (Insert or Ctrl+N, Ctrl+S or F10,
// Ctrl+Del); none for the others. Esc, which cancels an edit and else closes the window,
// is the window's own (TnFrmCadastro).
QList<QKeySequence> TeclasDoBotao(TnBotaoRegistro b);

// The controls of one register module: its button bar and its record page or grid. The
// register's window holds one for its module and one per detail register.
class TnPainelCadastro : public QWidget, private TnObservadorDataSet {
    Q_OBJECT
public:
    // `form` is the window (failures are reported through it); `mestre` tells whether the
    // window's form actions (ConfigurarActionForm) apply to these buttons.
    TnPainelCadastro(TnDMClientDataSet *dm, TnFrmModulo *form, bool mestre, QWidget *pai);
    ~TnPainelCadastro() override;

    TnDMClientDataSet *Modulo() const { return FModulo.data(); }
    QToolBar *BarraBotoes() const { return FBarra; }
    QAction *Botao(TnBotaoRegistro b) const { return FBotoes[b]; }
    QTabWidget *Paginas() const { return FPaginas; } // null for grids
    TnGradeDataSet *Grade() const { return FGrade; } // null for record pages
    // The control of a field, of an extra control or of a parameter of a panel, by name.
    TnEditor *Editor(const QString &campo) const;

    // Puts the focus on the control of a field, extra control or parameter (also when
    // disabled) and brings its page to the front; false when there is none here.
    bool Focar(const QString &campo);
    // Shows the declaration state and value of that control again; all when empty.
    void Atualizar(const QString &campo = QString());
    // Writes into the fields and extra controls what the user typed in controls not yet
    // taken (before saving).
    void TomarDigitado();
    void AtualizarBotoes();
    // Presses a record button as the user does (nothing when it is off).
    void Acionar(TnBotaoRegistro b);
    // The line under the record that tells which values of a new record were copied from
    // the previous one; hidden when none is.
    QLabel *AvisoCopia() const { return FAvisoCopia; }

    // An extra control of the module, after the control of its CampoAnterior (QtCadastro
    // shows it once; a record page only).
    void MostrarExtra(TnControleExtra *extra);
    // A panel of `params` named `nome` under the control of `campoAnterior` (a field or an
    // extra control); a panel of the same parameters shown before goes. Null when that
    // control is not here.
    QGroupBox *CriarPainelParametros(TnpqPowerParam &params, const QString &campoAnterior, const QString &nome);
    bool TemPainelParametros(const QString &nome) const;
    void CarregarPainelParametros(const QString &nome);
    void SalvarPainelParametros(const QString &nome, bool todos);

private:
    void CriarBotoes();
    void CriarEditores();
    void CriarOrdens();
    // Tints the controls the copy from the previous record filled in the new row, until
    // the user changes or leaves them, and says so in the line under the record.
    void MarcarCopiados();
    void Desmarcar(TnEditor *e);
    void Escrever(TnEditor *e, const QString &texto);
    void Editar(); // a stored row into edit; an empty register into a new row
    void Pesquisar(TnEditor *e);
    bool EditorHabilitado(const TnField &f) const;
    void OrdenarTab();
    static void ProximoControle(TnEditor *e);
    TnField *Campo(const TnEditor *e) const;

    struct Extra {
        QPointer<TnControleExtra> Controle;
        TnEditor *Editor;
    };
    struct PainelParametros {
        QString Nome;
        TnpqPowerParam *Params;
        std::weak_ptr<const void> Vida;
        QGroupBox *Caixa;
        std::vector<TnEditor *> Editores;
        TnpqPowerParam *Vivos() const { return Vida.expired() ? nullptr : Params; }
    };
    TnEditor *EditorDeCampo(const QString &campo) const;
    const Extra *ExtraDe(const QString &nome) const;
    void AtualizarExtra(const Extra &x);
    void TomarExtra(const Extra &x);
    void RemoverExtra(TnEditor *e);
    TnpqParamItem *Parametro(const PainelParametros &painel, const TnEditor *e) const;
    void SairDoParametro(const QString &painel, TnEditor *e);
    void RemoverLinha(QWidget *w);

    void DadosAlterados(TnClientDataSet &) override { Atualizar(); }
    void RegistroAlterado(TnClientDataSet &, TnField *campo) override;
    // The lookup result columns beside the code of `f` (TnField::ResultadosLookup).
    void MostrarResultados(TnEditor *e, const TnField &f);
    void Rolou(TnClientDataSet &) override { Atualizar(); }
    void EstadoAlterado(TnClientDataSet &) override { Atualizar(); }

    QPointer<TnDMClientDataSet> FModulo;
    TnFrmModulo *FForm;
    bool FMestre;
    QToolBar *FBarra;
    QAction *FBotoes[brCancelar + 1] = {};
    QTabWidget *FPaginas = nullptr;
    TnGradeDataSet *FGrade = nullptr;
    std::vector<TnEditor *> FEditores;
    std::vector<Extra> FExtras;
    std::vector<PainelParametros> FPaineisParametros;
    bool FEscrevendo = false;
    QLabel *FAvisoCopia = nullptr;
    QStringList FDesmarcados; // copied fields of the new row the user changed or left
    QList<TnEditor *> FVisitados; // tinted controls the user entered (leaving them unmarks)
};
