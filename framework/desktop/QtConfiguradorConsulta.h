#pragma once
// The window of the custom-query designer (ConfiguradorConsulta.h): on the left the
// navigation bar of the catalogue's groups and tables (Enter or a double-click adds the
// table); on the right the tables of the query and, in tabs, the fields of the chosen one
// (check columns and an editable caption), the joins, the order and the preview grid; the
// toolbar holds new, open, save, rename, delete, preview and "Mostrar SQL". Everything is
// reached from the keyboard: the labels' Alt letters, Tab, the tooltips' keys.
#include "ConfiguradorConsulta.h"
#include "QtForms.h"
#include "QtGrade.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;
class QTabWidget;
class QTreeWidget;

class TnFrmConfiguradorConsulta : public TnFrmModulo {
    Q_OBJECT
public:
    TnFrmConfiguradorConsulta(TnDPConfiguradorConsultaPersonalizada *dm, QWidget *pai = nullptr);

    // Columns of the field table.
    enum ColunaCampo { ccCampo, ccTitulo, ccMostrar, ccFiltrar, ccOperador, ccSomar, ccContar, ccMinimo, ccMaximo,
                       ccMedia, ccNegativar, ccQuantidade };

    QTreeWidget *NavBar() const { return FNavBar; }
    QListWidget *TabelasEscolhidas() const { return FTabelas; }
    QTableWidget *TabelaCampos() const { return FCampos; }
    QListWidget *ListaJuncoes() const { return FJuncoes; }
    QListWidget *ListaOrdem() const { return FOrdem; }
    QTabWidget *Abas() const { return FAbas; }
    TnGradeDataSet *GradePrevia() const { return FGrade; }
    QAction *Acao(const QString &nome) const; // by object name ("actSalvar")

    // The toolbar's actions, as the user starts them.
    void AdicionarTabelaAtual();
    void Visualizar();
    void MostrarSQL();
    void NovaConsulta();
    void AbrirConsulta();
    void SalvarConsulta();
    void RenomearConsulta();
    void ExcluirConsulta();

private:
    void Construir();
    void MostrarNavBar();
    void MostrarTudo();
    void MostrarTabelas();
    void MostrarCampos();
    void MostrarJuncoes();
    void MostrarOrdem();
    void MostrarPrevia();
    void CampoAlterado(int linha, int coluna);
    void CamposJuncaoDe(QComboBox *tabela, QComboBox *campo);
    QString AliasAtual() const;
    // The text typed in a cell of the field table still open is taken (a key of the
    // toolbar pressed while typing must not lose it).
    void ConfirmarEdicao();
    // Unsaved changes may be dropped: true when there are none or the user agrees.
    bool PodeDescartar();
    // Asks a query's name; empty when cancelled.
    QString PedirNome(const QString &titulo, const QString &atual);
    // Picks a saved query; 0 when cancelled or there is none.
    int EscolherSalva(const QString &titulo);
    QAction *NovaAcao(const QString &nome, const QString &texto, const QKeySequence &tecla, const QString &dica);

    QPointer<TnDPConfiguradorConsultaPersonalizada> FDesenho;
    QTreeWidget *FNavBar = nullptr;
    QListWidget *FTabelas = nullptr;
    QTableWidget *FCampos = nullptr;
    QListWidget *FJuncoes = nullptr;
    QComboBox *FJuncaoTabelaE = nullptr, *FJuncaoCampoE = nullptr, *FJuncaoTabelaD = nullptr, *FJuncaoCampoD = nullptr;
    QListWidget *FOrdem = nullptr;
    QComboBox *FOrdemCampo = nullptr;
    QTabWidget *FAbas = nullptr;
    QWidget *FPaginaPrevia = nullptr;
    QLabel *FInfoPrevia = nullptr;
    QPointer<TnGradeDataSet> FGrade;
    QPointer<QObject> FDonoMostrado; // the owner of the preview the grid shows
    QList<QAction *> FAcoes;
    QString FAliasAtual;
    bool FMostrando = false;
    bool FNaEdicao = false; // a cell's editor is committing its text
};
