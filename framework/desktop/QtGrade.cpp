#include "QtGrade.h"

#include "QtEditores.h"
#include "QtInteracao.h"

#include "Literais.h"
#include "Valores.h"

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QStyle>
#include <QItemSelectionModel>

TnModeloDataSet::TnModeloDataSet(TnClientDataSet &ds, QObject *dono, QObject *pai)
    : QAbstractTableModel(pai), FDataSet(&ds), FDono(dono)
{
    // Once the module goes its dataset is gone as well: forget it at once.
    if (dono)
        connect(dono, &QObject::destroyed, this, [this] {
            beginResetModel();
            FDataSet = nullptr;
            FColunas.clear();
            endResetModel();
        });
    FDataSet->AdicionarObservador(this);
    Recolunar();
}

TnModeloDataSet::~TnModeloDataSet()
{
    if (TnClientDataSet *ds = DataSet())
        ds->RemoverObservador(this);
}

void TnModeloDataSet::Recolunar()
{
    FColunas.clear();
    FResultados.clear();
    if (TnClientDataSet *ds = DataSet())
        for (int i = 0; i < ds->FieldCount(); ++i) {
            TnField *f = &ds->Fields(i);
            if (!(f->Visible() && f->Def().Visivel) && !(FMostrar && FMostrar(*f)))
                continue;
            FColunas.push_back(f);
            FResultados.push_back(-1);
            // Its lookup's result columns, right after the code.
            for (int k = 0; k < NomesDaLista(f->Def().ResultadoLookup).size(); ++k) {
                FColunas.push_back(f);
                FResultados.push_back(k);
            }
        }
}

TnField *TnModeloDataSet::Campo(int coluna) const
{
    return coluna >= 0 && coluna < int(FColunas.size()) && FResultados[size_t(coluna)] < 0 ? FColunas[size_t(coluna)]
                                                                                          : nullptr;
}

int TnModeloDataSet::Coluna(const TnField *campo) const
{
    for (size_t i = 0; i < FColunas.size(); ++i)
        if (FColunas[i] == campo && FResultados[i] < 0)
            return int(i);
    return -1;
}

int TnModeloDataSet::Resultado(int coluna, TnField **codigo) const
{
    if (coluna < 0 || coluna >= int(FColunas.size()) || FResultados[size_t(coluna)] < 0)
        return -1;
    if (codigo)
        *codigo = FColunas[size_t(coluna)];
    return FResultados[size_t(coluna)];
}

int TnModeloDataSet::rowCount(const QModelIndex &pai) const
{
    const TnClientDataSet *ds = DataSet();
    if (pai.isValid() || !ds || !ds->Active())
        return 0;
    const int todas = ds->RecordCount() + (ds->State() == dsInsert ? 1 : 0);
    return FTamanhoPagina > 0 ? qBound(0, todas - FInicioPagina, FTamanhoPagina) : todas;
}

int TnModeloDataSet::columnCount(const QModelIndex &pai) const
{
    return pai.isValid() || !DataSet() ? 0 : int(FColunas.size());
}

int TnModeloDataSet::LinhaAtual() const
{
    const TnClientDataSet *ds = DataSet();
    if (!ds || !ds->Active())
        return -1;
    const int linha = (ds->State() == dsInsert ? ds->RecordCount() : ds->RecNo() - 1) - InicioPagina();
    return FTamanhoPagina > 0 && (linha < 0 || linha >= FTamanhoPagina) ? -1 : linha;
}

void TnModeloDataSet::SetPagina(int inicio, int tamanho)
{
    beginResetModel();
    FInicioPagina = qMax(0, inicio);
    FTamanhoPagina = tamanho;
    endResetModel();
}

// The row being edited or inserted shows the edit buffer, read through the current record.
bool TnModeloDataSet::LinhaDoBuffer(int linha) const
{
    const TnClientDataSet *ds = DataSet();
    return (ds->State() == dsEdit || ds->State() == dsInsert) && linha >= 0 && linha == LinhaAtual();
}

QVariant TnModeloDataSet::data(const QModelIndex &i, int papel) const
{
    const TnClientDataSet *ds = DataSet();
    TnField *codigo = nullptr;
    if (const int k = Resultado(i.column(), &codigo); k >= 0 && ds && i.isValid()) {
        if (papel != Qt::DisplayRole && papel != Qt::EditRole)
            return {};
        QStringList textos;
        try {
            const auto ler = [&] { textos = codigo->ResultadosLookup(); };
            if (LinhaDoBuffer(i.row()))
                ler();
            else
                ds->LerRegistro(RecNoDaLinha(i.row()), ler);
        } catch (const std::exception &) {
            return {};
        }
        return textos.value(k);
    }
    TnField *f = Campo(i.column());
    if (!ds || !f || !i.isValid())
        return {};
    if (papel == Qt::TextAlignmentRole)
        return EhTipoNumerico(f->DataType()) && !f->Def().TemListaValores()
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (papel == Qt::BackgroundRole || papel == Qt::FontRole) {
        const TnField *estilo = FCampoEstilo.isEmpty() ? nullptr : ds->FindField(FCampoEstilo);
        if (!estilo)
            return {};
        qint64 valor = 0;
        try {
            const auto ler = [&] { valor = estilo->IsNull() ? 0 : estilo->AsInteger(); };
            if (LinhaDoBuffer(i.row()))
                ler();
            else
                ds->LerRegistro(RecNoDaLinha(i.row()), ler);
        } catch (const std::exception &) {
            return {};
        }
        if (valor != 1)
            return {};
        if (papel == Qt::BackgroundRole)
            return QColor(0xC0, 0xDC, 0xC0);
        QFont negrito;
        negrito.setBold(true);
        return negrito;
    }
    if (papel != Qt::DisplayRole && papel != Qt::EditRole)
        return {};
    QString texto;
    try {
        const auto ler = [&] { texto = papel == Qt::EditRole ? f->Text() : f->DisplayText(); };
        if (LinhaDoBuffer(i.row()))
            ler();
        else
            ds->LerRegistro(RecNoDaLinha(i.row()), ler);
    } catch (const std::exception &) {
        return {}; // a row that went away between the count and the drawing
    }
    return texto;
}

QVariant TnModeloDataSet::headerData(int secao, Qt::Orientation o, int papel) const
{
    TnField *codigo = nullptr;
    if (const int k = Resultado(secao, &codigo); k >= 0 && o == Qt::Horizontal && papel == Qt::DisplayRole)
        return codigo->CaptionsResultadoLookup().value(k);
    if (o == Qt::Horizontal && papel == Qt::DisplayRole)
        if (const TnField *f = Campo(secao))
            return f->DisplayLabel();
    if (o == Qt::Horizontal && papel == Qt::ToolTipRole)
        if (const TnField *f = Campo(secao))
            return f->Def().Hint;
    return QAbstractTableModel::headerData(secao, o, papel);
}

Qt::ItemFlags TnModeloDataSet::flags(const QModelIndex &i) const
{
    Qt::ItemFlags r = QAbstractTableModel::flags(i);
    const TnField *f = Campo(i.column());
    if (!FSomenteLeitura && f && !f->ReadOnly() && (FEditavel ? FEditavel(*f) : f->Def().Habilitado))
        r |= Qt::ItemIsEditable;
    return r;
}

void TnModeloDataSet::SetRegrasDoCadastro(std::function<bool(const TnField &)> mostrar,
                                          std::function<bool(const TnField &)> editavel)
{
    beginResetModel();
    FMostrar = std::move(mostrar);
    FEditavel = std::move(editavel);
    Recolunar();
    endResetModel();
}

void TnModeloDataSet::SetCampoEstilo(const QString &campo)
{
    FCampoEstilo = campo;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole, Qt::FontRole});
}

void TnModeloDataSet::AtualizarColunas()
{
    const std::vector<TnField *> antes = FColunas;
    Recolunar();
    if (FColunas == antes) {
        if (!FColunas.empty())
            emit headerDataChanged(Qt::Horizontal, 0, int(FColunas.size()) - 1);
        return;
    }
    // Other columns: the view starts again from the dataset.
    FColunas = antes;
    beginResetModel();
    Recolunar();
    endResetModel();
}

bool TnModeloDataSet::setData(const QModelIndex &i, const QVariant &valor, int papel)
{
    TnClientDataSet *ds = DataSet();
    TnField *f = Campo(i.column());
    if (!ds || !f || papel != Qt::EditRole || FSomenteLeitura)
        return false;
    return ExecutarTratando([&] {
        if (i.row() != LinhaAtual())
            ds->SetRecNo(RecNoDaLinha(i.row()));
        if (ds->State() == dsBrowse)
            ds->Edit();
        f->SetText(valor.toString());
    });
}

void TnModeloDataSet::DadosAlterados(TnClientDataSet &)
{
    beginResetModel();
    Recolunar();
    endResetModel();
}

bool TnModeloDataSet::canFetchMore(const QModelIndex &pai) const
{
    const TnClientDataSet *ds = DataSet();
    // A full page needs no more rows.
    return !pai.isValid() && ds && ds->Active() && !ds->TodosLidos()
           && (FTamanhoPagina <= 0 || ds->RecordCount() < FInicioPagina + FTamanhoPagina);
}

void TnModeloDataSet::fetchMore(const QModelIndex &pai)
{
    if (canFetchMore(pai))
        ExecutarTratando([&] { DataSet()->BuscarPacote(); });
}

void TnModeloDataSet::AntesDeAcrescentar(TnClientDataSet &, int primeira, int quantidade)
{
    // On a page, the rows that reach it are counted again once they are there.
    if (FTamanhoPagina <= 0)
        beginInsertRows(QModelIndex(), primeira, primeira + quantidade - 1);
}

void TnModeloDataSet::Acrescentados(TnClientDataSet &)
{
    if (FTamanhoPagina > 0) {
        beginResetModel();
        endResetModel();
        return;
    }
    endInsertRows();
}

void TnModeloDataSet::RegistroAlterado(TnClientDataSet &, TnField *campo)
{
    const int linha = LinhaAtual();
    if (linha < 0)
        return;
    // A code with lookup results: they change with it (the whole row).
    const int c = campo && campo->Def().ResultadoLookup.isEmpty() ? Coluna(campo) : -1;
    emit dataChanged(index(linha, c < 0 ? 0 : c), index(linha, c < 0 ? columnCount() - 1 : c));
}

void TnModeloDataSet::Rolou(TnClientDataSet &) { emit RegistroMudou(LinhaAtual()); }

void TnModeloDataSet::EstadoAlterado(TnClientDataSet &)
{
    // Inserting adds (and ending it removes) the extra row: the count changed.
    beginResetModel();
    endResetModel();
}

// ---- TnGradeDataSet -------------------------------------------------------------------

TnGradeDataSet::TnGradeDataSet(TnClientDataSet &ds, QObject *dono, bool somenteLeitura, QWidget *pai)
    : QTableView(pai), FModelo(new TnModeloDataSet(ds, dono, this))
{
    FModelo->SetSomenteLeitura(somenteLeitura);
    setModel(FModelo);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(somenteLeitura ? QAbstractItemView::NoEditTriggers
                                   : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                         | QAbstractItemView::AnyKeyPressed);
    // Fixed row heights: the view never measures rows it does not draw.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &atual) { LinhaEscolhida(atual); });
    connect(FModelo, &TnModeloDataSet::RegistroMudou, this, &TnGradeDataSet::SeguirDataSet);
    connect(FModelo, &QAbstractItemModel::modelReset, this, [this] {
        AjustarLarguras();
        SeguirDataSet(FModelo->LinhaAtual());
    });
    AjustarLarguras();
    SeguirDataSet(FModelo->LinhaAtual());
}

// Widths from the fields' declarations, not from the rows (which are not read for it): the
// caption as the header draws it, and the widest text the field's type and format give.
void TnGradeDataSet::AjustarLarguras()
{
    const QFontMetrics fm = fontMetrics();
    QFont negrito = horizontalHeader()->font();
    negrito.setBold(true); // headers may be drawn in bold: never clip them
    const QFontMetrics cabecalho(negrito);
    const int margemCabecalho = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader())
                                + style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, horizontalHeader()) + 12;
    for (int c = 0; c < FModelo->columnCount(); ++c) {
        const TnField *f = FModelo->Campo(c);
        QString amostra;
        if (!f) // a lookup result: a description's reasonable share
            amostra = QString(30, QLatin1Char('x'));
        else if (f->DataType() == ftDate)
            amostra = QStringLiteral("00/00/0000");
        else if (f->DataType() == ftDateTime)
            amostra = QStringLiteral("00/00/0000 00:00:00");
        else if (EhTipoNumerico(f->DataType()) && !f->DisplayFormat().isEmpty())
            amostra = FormatFloat(f->DisplayFormat(), -99999999.999999);
        else if (f->Def().TemListaValores()) {
            for (const QString &linha : f->Def().ListaValores) {
                const QString texto = linha.left(linha.lastIndexOf(u'='));
                if (texto.size() > amostra.size())
                    amostra = texto;
            }
            amostra = amostra.left(24);
        } else if (EhTipoNumerico(f->DataType())) {
            const int digitos = qMax(f->Def().Digitos, f->Def().TamanhoMaximo);
            amostra = QString(digitos > 0 ? qMin(digitos, 18) : 10, QLatin1Char('0'));
        } else {
            // Long texts take a reasonable share; the user widens the column for the rest.
            const int caracteres = f->Size() > 0 ? f->Size() : (EhTipoNumerico(f->DataType()) ? 12 : 20);
            amostra = QString(qMin(caracteres, 24), QLatin1Char('x'));
        }
        const QString caption = FModelo->headerData(c, Qt::Horizontal).toString();
        int larguraCaption = cabecalho.horizontalAdvance(caption);
        if (FCabecalhoQuebrado) {
            larguraCaption = 0;
            for (const QString &palavra : caption.split(u' ', Qt::SkipEmptyParts))
                larguraCaption = qMax(larguraCaption, cabecalho.horizontalAdvance(palavra));
        }
        const int largura = qMax(fm.horizontalAdvance(amostra) + 16, larguraCaption + margemCabecalho);
        setColumnWidth(c, largura);
    }
}

void TnGradeDataSet::SetCabecalhoQuebrado(bool v)
{
    FCabecalhoQuebrado = v;
    AjustarLarguras();
}

bool TnGradeDataSet::FocarCampo(const QString &campo)
{
    const TnClientDataSet *ds = FModelo->DataSet();
    const TnField *f = ds ? ds->FindField(campo) : nullptr;
    const int coluna = f ? FModelo->Coluna(f) : -1;
    if (coluna < 0)
        return false;
    TornarVisivel(this);
    setCurrentIndex(FModelo->index(qMax(0, FModelo->LinhaAtual()), coluna));
    setFocus(Qt::OtherFocusReason);
    return true;
}

QWidget *TnGradeDataSet::EditorAberto() const
{
    if (state() != QAbstractItemView::EditingState)
        return nullptr;
    // The delegate's editor is a child of the viewport, and the one with the focus there.
    QWidget *e = viewport()->focusWidget();
    return e && e->parentWidget() == viewport() ? e : nullptr;
}

void TnGradeDataSet::ConfirmarEdicao()
{
    if (QWidget *e = EditorAberto()) {
        commitData(e);
        closeEditor(e, QAbstractItemDelegate::NoHint);
    }
}

void TnGradeDataSet::DescartarEdicao()
{
    if (QWidget *e = EditorAberto())
        closeEditor(e, QAbstractItemDelegate::RevertModelCache);
}

void TnGradeDataSet::LinhaEscolhida(const QModelIndex &atual)
{
    if (FSincronizando || !atual.isValid() || atual.row() == FModelo->LinhaAtual())
        return;
    TnClientDataSet *ds = FModelo->DataSet();
    if (!ds)
        return;
    const int linha = atual.row();
    if (!ExecutarTratando([&] { ds->SetRecNo(FModelo->RecNoDaLinha(linha)); }))
        SeguirDataSet(FModelo->LinhaAtual()); // the record could not be left: back to it
}

void TnGradeDataSet::SeguirDataSet(int linha)
{
    if (linha < 0 || linha >= FModelo->rowCount())
        return;
    const QModelIndex alvo = FModelo->index(linha, qMax(0, currentIndex().column()));
    if (currentIndex().row() == linha)
        return;
    FSincronizando = true;
    selectionModel()->setCurrentIndex(alvo, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(alvo);
    FSincronizando = false;
}
