#pragma once
// Generic windows of register and consultation modules, built from their declarations:
// - the register page (ntfCadPage): one record at a time, its fields grouped in pages by
//   their definition's page, a list of values as a combo box, a lookup as a line with a
//   search button; detail registers as tabs of the page control or of the detail area;
// - the register grid (ntfCadGrid): the rows in an editable grid;
// - the consultation grid (ntfConGrid): the rows in a read-only grid (lazy: QtGrade.h).
// Every register has the record buttons: first, prior, next, last, insert, edit, delete,
// save and cancel; a register with a report list has "Relatórios", one entry per report.
#include "QtPainelCadastro.h"

#include <QVariantMap>
#include <QWidget>
#include <memory>
#include <vector>

class QAction;
class QKeyEvent;
class QTabWidget;
class TnGradeDataSet;

// The window of a register or consultation module.
class TnFrmCadastro : public TnFrmModulo {
    Q_OBJECT
public:
    // Opens the module (Abrir) and configures it with this window (ConfigurarForm).
    TnFrmCadastro(TnDMClientDataSet *dm, QWidget *pai = nullptr);

    TnPainelCadastro *Painel() const { return FPainel; }
    // The panels of the detail registers shown, in the order they were created.
    QList<TnPainelCadastro *> PaineisDetalhe() const;
    // A page control or tab sheet created for the module, by the name it was given.
    QWidget *Lugar(const QString &nome) const { return FLugares.value(nome); }

    // ---- TnFormModulo
    void FocarControle(const QString &nome) override;
    void AtualizarControle(const QString &nome) override;
    bool Inserindo() const override;
    QString CriarPageControl(const QString &pai) override;
    QString CriarTabSheet(const QString &pageControl, const QString &caption) override;
    void MostrarDetalhe(TnDMClientDataSet *detalhe, const QString &controlePai) override;
    void MostrarControleExtra(TnControleExtra *extra) override;
    QString CriarPainelParametros(TnpqPowerParam &params, const QString &campoAnterior) override;
    void CarregarPainelParametros(const QString &painel) override;
    void SalvarPainelParametros(const QString &painel, bool todos) override;

protected:
    bool PodeFechar() override;
    void AtualizarAcoes() override;
    // Esc cancels the edit in progress; with nothing being edited it closes the window.
    void keyPressEvent(QKeyEvent *e) override;

private:
    void Construir();
    // The keys of the record buttons (TeclasDoBotao), answered by the panel that holds the
    // focus (a detail's, when the user is in it), else by the module's.
    void CriarTeclas();
    // The panels, the one that holds the focus first.
    QList<TnPainelCadastro *> PaineisPeloFoco() const;
    QTabWidget *AreaDetalhes();
    void ColocarAbaixo(QWidget *acima, QWidget *abaixo);
    QWidget *LugarOuErro(const QString &nome) const;
    QString Registrar(QWidget *w, const char *prefixo);
    QList<TnPainelCadastro *> Paineis() const; // the module's, then the details'
    void AtualizarCfgCadastro();
    // "Relatórios": a menu of the register's report list, each shown in the report window.
    void CriarRelatorios(QAction *antes);

    QPointer<TnDMClientDataSet> FCadastro;
    TnPainelCadastro *FPainel = nullptr;
    QWidget *FInferior = nullptr;      // below the record: page controls and details
    QTabWidget *FDetalhes = nullptr;   // the form's own detail area
    QAction *FCfgCadastro = nullptr;   // "Configurar": shown while the module has a handler
    QHash<QString, QPointer<QWidget>> FLugares;
    QList<QPointer<TnPainelCadastro>> FPaineisDetalhe;
    int FNumero = 0;
};

// A dialog that shows a consultation's rows for the user to pick one.
class TnDlgPesquisa : public QDialog {
    Q_OBJECT
public:
    TnDlgPesquisa(TnDMClientDataSet *consulta, QWidget *pai = nullptr);
    TnGradeDataSet *Grade() const { return FGrade; }

private:
    TnGradeDataSet *FGrade;
};

// Opens the consultation `classe` (its selection keys chosen first) for the user to pick a
// row; answers the row's fields by their names in upper case, or nothing when the user
// cancelled or the class is not available (which is reported). `chave` receives the value
// of the row's first key field.
QVariantMap PesquisarNaConsulta(const QString &classe, QWidget *pai, QVariant *chave = nullptr);

// Opens the register of a consultation (its CadCons, by class name or instance name) in a
// window of its own, on the consultation's current row (found by the consultation's key).
// The register's selection keys are chosen first. Null when it is not available or the
// selection was cancelled.
TnFrmModulo *AbrirCadastroDaLinha(TnDMClientDataSet *consulta, QWidget *pai);
