#pragma once
// What a grid's declared options (OpcoesGrade.h) add to the lazy grid of QtGrade.h: shaded
// alternate rows, rows and captions as tall as their wrapped texts, what may be changed
// from the grid (deleting the current row, appending past the last one) and the footer of
// column totals. Every figure is computed over the dataset's view (TotaisVista.h); the
// heights are measured only for the rows on screen.
#include "AgrupamentoVista.h"
#include "FiltroGrade.h"
#include "OpcoesGrade.h"

#include <QAbstractItemModel>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <vector>

class QAbstractItemView;
class QHeaderView;
class QLabel;
class QMenu;
class QTreeView;
class TnModeloDataSet;
class QVBoxLayout;
class TnGradeDataSet;

// Sets the options on the grid (built read-only or not by goGridReadOnly).
void AplicarOpcoesGrade(TnGradeDataSet *grade, const TnOpcoesGrade &opcoes);

// The grid in `layout`, with what its options put around it (the filter bar over it, the
// totals footer under it) and its caption's menu. `chave` names the grid in the user's
// preferences ("TOrvoDPTotalInventarioPeriodo.nDBGrid"): the columns moved and hidden there
// are kept under it; empty: nothing is kept.
void MontarGradeComOpcoes(QVBoxLayout *layout, TnGradeDataSet *grade, const TnOpcoesGrade &opcoes,
                          const QString &chave = QString());

// The footer under a grid: the total of every value column (EhColunaDeValor) of the rows
// the view shows, under its column, in its display format; kept current as rows, order
// and filter change. Hidden while the grid has no value column.
class TnRodapeTotais : public QWidget {
    Q_OBJECT
public:
    explicit TnRodapeTotais(TnGradeDataSet *grade, QWidget *pai = nullptr);
    // The text under the model's column (empty for a column without a total).
    QString Texto(int coluna);
    // Sums again now (otherwise once the events of a change are over, or when the footer is
    // drawn or read before that).
    void Recalcular();
    QSize sizeHint() const override;
    // The view whose columns the totals stand under: the grid's unless another is given
    // (the tree of groups in its place, with the same columns).
    void SeguirVisao(QAbstractItemView *visao, QHeaderView *cabecalho);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QPointer<TnGradeDataSet> FGrade;
    QPointer<QAbstractItemView> FVisao;
    QPointer<QHeaderView> FCabecalho;
    std::vector<QMetaObject::Connection> FLigacoes;
    std::vector<QString> FTextos;
    std::vector<QString> FFalhas; // per column: why there is no total
    QTimer FAdiado;
    bool FDesatualizado = true;
};

// The filter of a grid (goPermitirFiltro): a column's caption offers "Filtrar esta coluna..."
// (the values present in it, a text it contains, a range of numbers or dates); while a
// filter is on, this bar over the grid says what it asks and clears it in one click
// ("Limpar filtro"). The rows are filtered in the dataset's view (FiltroGrade.h).
class TnBarraFiltro : public QWidget {
    Q_OBJECT
public:
    explicit TnBarraFiltro(TnGradeDataSet *grade, QWidget *pai = nullptr);
    const TnFiltroGrade &Filtro() const { return FFiltro; }
    // Sets a column's condition and filters the rows; false (the user told) when the
    // dataset refuses.
    bool Definir(const TnCondicaoColuna &c);
    void Limpar();
    // The dialog of a column's filter (model column); true when the user confirmed it.
    bool FiltrarColuna(int coluna);
    QString Texto() const;

    // The column's items of the caption's menu.
    void AdicionarAoMenu(QMenu &menu, int coluna);

private:
    bool Aplicar();

    QPointer<TnGradeDataSet> FGrade;
    TnFiltroGrade FFiltro;
    QLabel *FTexto;
};

// Moving (goPermitirMoverColuna: a caption dragged to another place) and hiding
// (goColumnHidingEnabled: the caption's menu) a grid's columns, remembered in the connected
// user's preference file under the grid's key (section "Grades"): the columns in the order
// shown, hidden ones marked with "-" ("DATAINVENT;-QTDELCTOINV;VALORTOTAL"). Columns kept
// that the grid no longer has are skipped; new ones stay where the grid puts them.
class TnColunasGrade : public QObject {
    Q_OBJECT
public:
    TnColunasGrade(TnGradeDataSet *grade, const TnOpcoesGrade &opcoes, const QString &chave);
    void AdicionarAoMenu(QMenu &menu, int coluna);
    // Hides or shows a model column (never the last one shown) and keeps it.
    void Ocultar(int coluna, bool ocultar);
    // The columns as they are kept.
    QString Estado() const;
    // Puts the columns as the preferences keep them.
    void Restaurar();

private:
    QString Nome(int coluna) const;
    void Guardar();

    QPointer<TnGradeDataSet> FGrade;
    TnOpcoesGrade FOpcoes;
    QString FChave;
    bool FRestaurando = false;
};

// The navigator (goExibirNavigator: "Primeiro", "Anterior", "Próximo", "Último" and the
// current row's position, "n de m") and the pages (goPermitePaginacao: the grid shows the
// rows a page at a time, "Página p de q", and follows the current row to its page). The
// counts are those of the dataset's view (the rows read so far, for a dataset read in
// packets); a page reads the packets it needs.
class TnNavegadorGrade : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLinhasPorPagina = 100;
    TnNavegadorGrade(TnGradeDataSet *grade, const TnOpcoesGrade &opcoes, QWidget *pai = nullptr);
    enum TnMovimento { nmPrimeiro, nmAnterior, nmProximo, nmUltimo };
    void Mover(TnMovimento m);
    // Shows the page (0-based) and makes its first row current.
    void IrParaPagina(int pagina);
    int Pagina() const;
    int Paginas() const;
    QString Posicao() const;    // "n de m"
    QString TextoPagina() const; // "Página p de q"

private:
    void SeguirRegistro();
    void Atualizar();

    QPointer<TnGradeDataSet> FGrade;
    TnOpcoesGrade FOpcoes;
    QLabel *FPosicao = nullptr;
    QLabel *FPagina = nullptr;
    bool FSeguindo = false;
};

// The rows of a grid grouped by its columns (AgrupamentoVista.h), as a tree: a group row
// shows its column's caption and value, its count and its totals; groups expand to their
// subgroups or rows. The rows are read from the dataset as they are drawn.
class TnModeloGrupos : public QAbstractItemModel {
    Q_OBJECT
public:
    TnModeloGrupos(TnModeloDataSet *base, QObject *pai = nullptr);
    // Groups the dataset's view (already in their order) by `campos`; empty: no groups.
    void Agrupar(const QStringList &campos);
    const std::vector<TnGrupo> &Grupos() const { return FGrupos; }
    // The group of an index; null for a row of the dataset.
    const TnGrupo *Grupo(const QModelIndex &i) const;

    QModelIndex index(int linha, int coluna, const QModelIndex &pai = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &i) const override;
    int rowCount(const QModelIndex &pai = QModelIndex()) const override;
    int columnCount(const QModelIndex &pai = QModelIndex()) const override;
    QVariant data(const QModelIndex &i, int papel = Qt::DisplayRole) const override;
    QVariant headerData(int secao, Qt::Orientation o, int papel = Qt::DisplayRole) const override;

private:
    QPointer<TnModeloDataSet> FBase;
    QStringList FCampos;
    std::vector<TnGrupo> FGrupos;
    std::vector<int> FTotalDaColuna; // per column: its place among the totals, or -1
};

// Grouping a grid (goPermiteAgrupamento): the caption's menu offers "Agrupar por esta
// coluna" (again on another column: nested groups); while grouped, a bar over the grid says
// by what, with "Desagrupar", and the tree of groups takes the grid's place. The dataset's
// view is ordered by the grouped columns first (its order within them kept) and put back
// as it was when the grouping ends; the groups follow the rows as they change.
class TnGruposGrade : public QWidget {
    Q_OBJECT
public:
    TnGruposGrade(TnGradeDataSet *grade, QWidget *pai = nullptr);
    // Adds a level grouped by the field; false (the user told) when it cannot.
    bool Agrupar(const QString &campo);
    void Desagrupar();
    const QStringList &Campos() const { return FCampos; }
    QTreeView *Arvore() const { return FArvore; }
signals:
    // The tree took the grid's place (or gave it back).
    void Alternou(bool agrupado);

public:
    TnModeloGrupos *Modelo() const { return FModelo; }
    void AdicionarAoMenu(QMenu &menu, int coluna);

private:
    void Refazer();
    void Mostrar();
    void AlargarPrimeira();

    QPointer<TnGradeDataSet> FGrade;
    QStringList FCampos;
    QString FIndiceAntes;
    QLabel *FTexto;
    QTreeView *FArvore;
    TnModeloGrupos *FModelo;
    QTimer FAdiado;
};
