#pragma once
// Grids over a client dataset. The model is lazy: it counts the rows of the dataset's view
// and formats a cell only when the view asks for it (only visible cells are drawn), reading
// the row in place (TnClientDataSet::LerRegistro) without moving the dataset. A million rows
// therefore scroll without being formatted or copied. A dataset read in packets shows the
// rows read so far; scrolling to the end reads the next packet (canFetchMore/fetchMore).
#include "ClientDataSet.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <vector>

class TnModeloDataSet : public QAbstractTableModel, private TnObservadorDataSet {
    Q_OBJECT
public:
    // `dono` is the object the dataset lives in (the module): once it is destroyed the model
    // shows nothing and no longer touches the dataset.
    TnModeloDataSet(TnClientDataSet &ds, QObject *dono, QObject *pai = nullptr);
    ~TnModeloDataSet() override;

    TnClientDataSet *DataSet() const { return FDono ? FDataSet : nullptr; }
    // The field shown in a column (visible fields, in their order); null for a lookup result
    // column, which follows its code's column (Definicao::ResultadoLookup), read-only.
    TnField *Campo(int coluna) const;
    int Coluna(const TnField *campo) const; // -1 when not shown
    // The position among its code's lookup results of a result column (its code field in
    // `codigo`); -1 for any other column.
    int Resultado(int coluna, TnField **codigo = nullptr) const;
    void SetSomenteLeitura(bool v) { FSomenteLeitura = v; }
    // A register's say over its columns: which fields are shown besides those visible by
    // their declaration, and which cells take typing (besides the enabled fields'). Unset:
    // the declarations alone decide.
    void SetRegrasDoCadastro(std::function<bool(const TnField &)> mostrar, std::function<bool(const TnField &)> editavel);
    // The fields' declarations changed (shown, captions): the columns follow them.
    void AtualizarColunas();
    // Rows whose field `campo` holds 1 are drawn bold on money green (#C0DCC0); empty: none.
    void SetCampoEstilo(const QString &campo);

    int rowCount(const QModelIndex &pai = QModelIndex()) const override;
    int columnCount(const QModelIndex &pai = QModelIndex()) const override;
    QVariant data(const QModelIndex &i, int papel = Qt::DisplayRole) const override;
    QVariant headerData(int secao, Qt::Orientation o, int papel = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &i) const override;
    // Edits the row: moves the dataset to it, enters edit mode and sets the field's text.
    // A refused value is shown to the user and the cell keeps the field's value.
    bool setData(const QModelIndex &i, const QVariant &valor, int papel = Qt::EditRole) override;
    // Rows remain to be read (a dataset opened in packets); fetchMore reads the next packet.
    bool canFetchMore(const QModelIndex &pai) const override;
    void fetchMore(const QModelIndex &pai) override;

    // The row of the dataset's current record (while inserting: the extra last row); -1
    // when it is not on the page shown.
    int LinhaAtual() const;

    // Paging: the model shows only the rows from `inicio` (0-based in the dataset's view),
    // at most `tamanho` of them; `tamanho` <= 0 shows every row (the default).
    void SetPagina(int inicio, int tamanho);
    int InicioPagina() const { return FTamanhoPagina > 0 ? FInicioPagina : 0; }
    int TamanhoPagina() const { return FTamanhoPagina; }
    // The dataset's RecNo of a row of the model.
    int RecNoDaLinha(int linha) const { return InicioPagina() + linha + 1; }

signals:
    // The dataset moved to another record.
    void RegistroMudou(int linha);

private:
    void DadosAlterados(TnClientDataSet &) override;
    void RegistroAlterado(TnClientDataSet &, TnField *) override;
    void Rolou(TnClientDataSet &) override;
    void EstadoAlterado(TnClientDataSet &) override;
    void AntesDeAcrescentar(TnClientDataSet &, int primeira, int quantidade) override;
    void Acrescentados(TnClientDataSet &) override;
    void Recolunar();
    bool LinhaDoBuffer(int linha) const;

    TnClientDataSet *FDataSet;
    QPointer<QObject> FDono;
    std::function<bool(const TnField &)> FMostrar, FEditavel;
    std::vector<TnField *> FColunas;   // a result column holds its code's field
    std::vector<int> FResultados;      // per column: -1, or the position of a lookup result
    bool FSomenteLeitura = true;
    QString FCampoEstilo;
    int FInicioPagina = 0, FTamanhoPagina = 0;
};

// A grid: the lazy model in a table view that follows the dataset's current record and
// moves it when the user picks a row.
class TnGradeDataSet : public QTableView {
    Q_OBJECT
public:
    TnGradeDataSet(TnClientDataSet &ds, QObject *dono, bool somenteLeitura, QWidget *pai = nullptr);
    TnModeloDataSet *Modelo() const { return FModelo; }
    // Puts the focus on the field's column in the current row; false when the field is
    // not shown.
    bool FocarCampo(const QString &campo);
    // The cell being typed in, when there is one: its text goes into the record (as when
    // the user leaves the cell) or is dropped; either way the cell's editor closes.
    void ConfirmarEdicao();
    void DescartarEdicao();
    bool Editando() const { return EditorAberto() != nullptr; }
    // Captions wrap: a column need be only as wide as its values and its caption's longest
    // word (the caption row grows to show the rest).
    void SetCabecalhoQuebrado(bool v);

private:
    void LinhaEscolhida(const QModelIndex &atual);
    void SeguirDataSet(int linha);
    void AjustarLarguras();
    QWidget *EditorAberto() const;

    TnModeloDataSet *FModelo;
    bool FSincronizando = false;
    bool FCabecalhoQuebrado = false;
};
