#include "QtGradeOpcoes.h"

#include "QtGrade.h"
#include "QtInteracao.h"

#include "Interacao.h"
#include "Personalizacao.h"
#include "TotaisVista.h"
#include "Valores.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeView>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Keys of the grid that change its rows: Ctrl+Delete deletes the current row where the
// options allow it; Down on the last row appends one where they allow it.
class TnTeclasGrade : public QObject {
public:
    TnTeclasGrade(TnGradeDataSet *grade, const TnOpcoesGrade &opcoes) : QObject(grade), FGrade(grade), FOpcoes(opcoes) {}

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(e);
        TnClientDataSet *ds = FGrade->Modelo()->DataSet();
        if (!ds || !ds->Active() || FGrade->Editando())
            return false;
        if (k->key() == Qt::Key_Delete && k->modifiers() == Qt::ControlModifier) {
            if (FOpcoes.PodeExcluir() && !ds->IsEmpty()
                && nMessageDlg(QStringLiteral("Excluir a linha selecionada?"), mtConfirmation, mbYes | mbNo) == mbYes)
                ExecutarTratando([ds] { ds->Delete(); });
            return true;
        }
        if (k->key() == Qt::Key_Down && k->modifiers() == Qt::NoModifier && FOpcoes.PodeIncluirAoDescer()
            && ds->State() == dsBrowse && ds->TodosLidos() && ds->RecNo() == ds->RecordCount()
            && FGrade->currentIndex().row() == FGrade->model()->rowCount() - 1) {
            ExecutarTratando([ds] { ds->Append(); });
            return true;
        }
        return false;
    }

private:
    TnGradeDataSet *FGrade;
    TnOpcoesGrade FOpcoes;
};

// Rows as tall as their wrapped texts: only the rows on screen are measured, again when the
// view scrolls or its rows or columns change.
void AlturasAutomaticas(TnGradeDataSet *grade)
{
    grade->setWordWrap(true);
    const int minima = grade->verticalHeader()->defaultSectionSize();
    auto medindo = std::make_shared<bool>(false);
    auto medir = [grade, minima, medindo] {
        if (*medindo)
            return;
        *medindo = true;
        const int n = grade->model()->rowCount();
        int r = grade->rowAt(0);
        for (int y = 0; r >= 0 && r < n && y <= grade->viewport()->height(); ++r) {
            grade->resizeRowToContents(r);
            if (grade->rowHeight(r) < minima)
                grade->setRowHeight(r, minima);
            y += grade->rowHeight(r);
        }
        *medindo = false;
    };
    auto adiar = [grade, medir] { QTimer::singleShot(0, grade, medir); };
    QObject::connect(grade->verticalScrollBar(), &QScrollBar::valueChanged, grade, adiar);
    QObject::connect(grade->model(), &QAbstractItemModel::modelReset, grade, adiar);
    QObject::connect(grade->model(), &QAbstractItemModel::rowsInserted, grade, adiar);
    QObject::connect(grade->model(), &QAbstractItemModel::dataChanged, grade, adiar);
    QObject::connect(grade->horizontalHeader(), &QHeaderView::sectionResized, grade, adiar);
    adiar();
}

// Captions wrap at their columns' widths (a column need be no wider than the longest word
// of its caption) and the caption row is as tall as the tallest.
void CabecalhoAutomatico(TnGradeDataSet *grade)
{
    QHeaderView *h = grade->horizontalHeader();
    h->setDefaultAlignment(Qt::AlignCenter | Qt::AlignmentFlag(Qt::TextWordWrap));
    auto altura = [grade, h] {
        QFont negrito = h->font();
        negrito.setBold(true); // headers may be drawn in bold
        const QFontMetrics fm(negrito);
        const int margem = grade->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
        int maior = fm.height();
        for (int c = 0; c < grade->model()->columnCount(); ++c)
            if (!h->isSectionHidden(c))
                maior = std::max(maior, fm.boundingRect(QRect(0, 0, std::max(1, h->sectionSize(c) - 4 * margem), 10000),
                                                        Qt::AlignCenter | Qt::TextWordWrap,
                                                        grade->model()->headerData(c, Qt::Horizontal).toString())
                                            .height());
        h->setMinimumHeight(maior + 2 * margem + 4);
    };
    QObject::connect(h, &QHeaderView::sectionResized, grade, altura);
    QObject::connect(grade->model(), &QAbstractItemModel::modelReset, grade, altura);
    QObject::connect(grade->model(), &QAbstractItemModel::headerDataChanged, grade, altura);
    grade->SetCabecalhoQuebrado(true);
    altura();
}

} // namespace

void AplicarOpcoesGrade(TnGradeDataSet *grade, const TnOpcoesGrade &opcoes)
{
    grade->setAlternatingRowColors(opcoes.Tem(goZebrar));
    grade->installEventFilter(new TnTeclasGrade(grade, opcoes));
    if (opcoes.Tem(goCelulaAlturaAutomatica))
        AlturasAutomaticas(grade);
    if (opcoes.Tem(goHeaderAulturaAutomatica))
        CabecalhoAutomatico(grade);
}

void MontarGradeComOpcoes(QVBoxLayout *layout, TnGradeDataSet *grade, const TnOpcoesGrade &opcoes, const QString &chave)
{
    AplicarOpcoesGrade(grade, opcoes);
    TnBarraFiltro *barra = nullptr;
    if (opcoes.Tem(goPermitirFiltro)) {
        barra = new TnBarraFiltro(grade, grade->parentWidget());
        barra->setObjectName(QStringLiteral("barraFiltro"));
        layout->addWidget(barra);
    }
    TnGruposGrade *grupos = nullptr;
    if (opcoes.Tem(goPermiteAgrupamento)) {
        grupos = new TnGruposGrade(grade, grade->parentWidget());
        grupos->setObjectName(QStringLiteral("gruposGrade"));
        layout->addWidget(grupos);
        layout->addWidget(grupos->Arvore(), 1);
        grupos->Arvore()->setAlternatingRowColors(opcoes.Tem(goZebrar));
    }
    TnColunasGrade *colunas = nullptr;
    if (opcoes.Tem(goPermitirMoverColuna) || opcoes.Tem(goColumnHidingEnabled)) {
        colunas = new TnColunasGrade(grade, opcoes, chave);
        colunas->setObjectName(QStringLiteral("colunasGrade"));
    }
    // The caption's menu: what the options offer for its column.
    if (barra || grupos || (colunas && opcoes.Tem(goColumnHidingEnabled))) {
        QHeaderView *h = grade->horizontalHeader();
        h->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(h, &QWidget::customContextMenuRequested, grade,
                         [grade, barra, grupos, colunas, opcoes](const QPoint &pos) {
            const int coluna = grade->horizontalHeader()->logicalIndexAt(pos);
            QMenu menu(grade);
            menu.setObjectName(QStringLiteral("menuCabecalho"));
            if (barra)
                barra->AdicionarAoMenu(menu, coluna);
            if (grupos)
                grupos->AdicionarAoMenu(menu, coluna);
            if (colunas && opcoes.Tem(goColumnHidingEnabled))
                colunas->AdicionarAoMenu(menu, coluna);
            if (!menu.isEmpty())
                menu.exec(grade->horizontalHeader()->mapToGlobal(pos));
        });
    }
    layout->addWidget(grade, 1);
    if (opcoes.Tem(goTotalizarValores)) {
        auto *rodape = new TnRodapeTotais(grade, grade->parentWidget());
        rodape->setObjectName(QStringLiteral("rodapeTotais"));
        layout->addWidget(rodape);
        if (grupos)
            QObject::connect(grupos, &TnGruposGrade::Alternou, rodape, [rodape, grade, grupos](bool agrupado) {
                if (agrupado)
                    rodape->SeguirVisao(grupos->Arvore(), grupos->Arvore()->header());
                else
                    rodape->SeguirVisao(grade, grade->horizontalHeader());
            });
    }
    if (opcoes.Tem(goExibirNavigator) || opcoes.Tem(goPermitePaginacao)) {
        auto *navegador = new TnNavegadorGrade(grade, opcoes, grade->parentWidget());
        navegador->setObjectName(QStringLiteral("navegadorGrade"));
        layout->addWidget(navegador);
    }
}

// ---- TnRodapeTotais -------------------------------------------------------------------

TnRodapeTotais::TnRodapeTotais(TnGradeDataSet *grade, QWidget *pai) : QWidget(pai), FGrade(grade)
{
    QFont negrito = font();
    negrito.setBold(true);
    setFont(negrito);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    // A change may come as several signals (a post: the row, then the view): one sum after them.
    FAdiado.setSingleShot(true);
    FAdiado.setInterval(0);
    connect(&FAdiado, &QTimer::timeout, this, &TnRodapeTotais::Recalcular);
    const auto adiar = [this] {
        FDesatualizado = true;
        FAdiado.start();
    };
    QAbstractItemModel *m = grade->model();
    connect(m, &QAbstractItemModel::modelReset, this, adiar);
    connect(m, &QAbstractItemModel::rowsInserted, this, adiar);
    connect(m, &QAbstractItemModel::rowsRemoved, this, adiar);
    connect(m, &QAbstractItemModel::dataChanged, this, adiar);
    connect(m, &QAbstractItemModel::layoutChanged, this, adiar);
    SeguirVisao(grade, grade->horizontalHeader());
    Recalcular();
}

void TnRodapeTotais::SeguirVisao(QAbstractItemView *visao, QHeaderView *h)
{
    for (const QMetaObject::Connection &c : FLigacoes)
        disconnect(c);
    FLigacoes.clear();
    FVisao = visao;
    FCabecalho = h;
    // Under their columns wherever they are drawn.
    const auto redesenhar = [this] { update(); };
    FLigacoes.push_back(connect(h, &QHeaderView::sectionResized, this, redesenhar));
    FLigacoes.push_back(connect(h, &QHeaderView::sectionMoved, this, redesenhar));
    FLigacoes.push_back(connect(h, &QHeaderView::geometriesChanged, this, redesenhar));
    FLigacoes.push_back(connect(visao->horizontalScrollBar(), &QScrollBar::valueChanged, this, redesenhar));
    update();
}

void TnRodapeTotais::Recalcular()
{
    FAdiado.stop();
    FDesatualizado = false;
    FTextos.clear();
    FFalhas.clear();
    TnModeloDataSet *m = FGrade ? FGrade->Modelo() : nullptr;
    const TnClientDataSet *ds = m ? m->DataSet() : nullptr;
    const int n = m ? m->columnCount() : 0;
    FTextos.resize(size_t(n));
    FFalhas.resize(size_t(n));
    for (int c = 0; ds && ds->Active() && c < n; ++c) {
        const TnField *f = m->Campo(c);
        if (!f || !EhColunaDeValor(*f))
            continue;
        const TnTotalColuna t = TotalizarVista(*ds, *f);
        FTextos[size_t(c)] = TextoDoTotal(*f, t);
        if (t.Estouro)
            FFalhas[size_t(c)] = QStringLiteral("O total da coluna \"%1\" ultrapassa o limite de 18 dígitos.").arg(f->DisplayLabel());
    }
    // A grid without value columns shows no empty footer.
    bool algum = false;
    for (int c = 0; m && c < n; ++c)
        algum = algum || (m->Campo(c) && EhColunaDeValor(*m->Campo(c)));
    setVisible(algum);
    QStringList falhas;
    for (const QString &f : FFalhas)
        if (!f.isEmpty())
            falhas << f;
    setToolTip(falhas.join(u'\n'));
    update();
}

QString TnRodapeTotais::Texto(int coluna)
{
    if (FDesatualizado)
        Recalcular();
    return coluna >= 0 && coluna < int(FTextos.size()) ? FTextos[size_t(coluna)] : QString();
}

QSize TnRodapeTotais::sizeHint() const { return {100, fontMetrics().height() + 8}; }

void TnRodapeTotais::paintEvent(QPaintEvent *)
{
    if (!FGrade || !FVisao || !FCabecalho)
        return;
    if (FDesatualizado)
        Recalcular();
    QPainter p(this);
    const QHeaderView *h = FCabecalho;
    // The view's cells start where its viewport does.
    const int x0 = FVisao->viewport()->mapTo(parentWidget(), QPoint(0, 0)).x() - x();
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(0, 0, width(), 0);
    p.setPen(palette().color(QPalette::ButtonText));
    for (int c = 0; c < int(FTextos.size()); ++c) {
        if (FTextos[size_t(c)].isEmpty() || h->isSectionHidden(c))
            continue;
        const QRect r(x0 + h->sectionViewportPosition(c), 0, h->sectionSize(c), height());
        p.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, FTextos[size_t(c)]);
    }
}

// ---- TnBarraFiltro --------------------------------------------------------------------

namespace {
// Most values a column's filter lists; beyond them the user types a text or a range.
constexpr int kMaximoValores = 1000;
} // namespace

TnBarraFiltro::TnBarraFiltro(TnGradeDataSet *grade, QWidget *pai) : QWidget(pai), FGrade(grade)
{
    auto *l = new QHBoxLayout(this);
    l->setContentsMargins(4, 2, 4, 2);
    FTexto = new QLabel(this);
    FTexto->setObjectName(QStringLiteral("lblFiltro"));
    FTexto->setWordWrap(true);
    auto *limpar = new QPushButton(QStringLiteral("Limpar filtro"), this);
    limpar->setObjectName(QStringLiteral("btnLimparFiltro"));
    connect(limpar, &QPushButton::clicked, this, &TnBarraFiltro::Limpar);
    l->addWidget(FTexto, 1);
    l->addWidget(limpar);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xC2)); // a filter on is seen at once
    setPalette(p);
    hide();
    // New rows of a new run: the filter stays on them.
    connect(grade->model(), &QAbstractItemModel::modelReset, this, [this] { FTexto->setText(Texto()); });
}

QString TnBarraFiltro::Texto() const
{
    const TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    return ds && FFiltro.Ativo() ? QStringLiteral("Filtro ativo: ") + FFiltro.Descricao(*ds) : QString();
}

bool TnBarraFiltro::Aplicar()
{
    TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    if (!ds)
        return false;
    const bool ok = ExecutarTratando([&] { FFiltro.Aplicar(*ds); });
    FTexto->setText(Texto());
    setVisible(FFiltro.Ativo());
    return ok;
}

bool TnBarraFiltro::Definir(const TnCondicaoColuna &c)
{
    FFiltro.Definir(c);
    return Aplicar();
}

void TnBarraFiltro::Limpar()
{
    FFiltro.Limpar();
    Aplicar();
}

void TnBarraFiltro::AdicionarAoMenu(QMenu &menu, int coluna)
{
    const TnField *f = FGrade ? FGrade->Modelo()->Campo(coluna) : nullptr;
    if (f) {
        menu.addAction(QStringLiteral("Filtrar esta coluna..."), this, [this, coluna] { FiltrarColuna(coluna); });
        if (FFiltro.Condicao(f->FieldName())) {
            const QString nome = f->FieldName();
            menu.addAction(QStringLiteral("Retirar o filtro desta coluna"), this, [this, nome] {
                FFiltro.Retirar(nome);
                Aplicar();
            });
        }
    }
    if (FFiltro.Ativo())
        menu.addAction(QStringLiteral("Limpar filtro"), this, &TnBarraFiltro::Limpar);
}

bool TnBarraFiltro::FiltrarColuna(int coluna)
{
    TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    const TnField *f = FGrade ? FGrade->Modelo()->Campo(coluna) : nullptr;
    if (!ds || !f || !ds->Active())
        return false;
    const TnCondicaoColuna *atual = FFiltro.Condicao(f->FieldName());
    // The values present among the rows the other conditions leave.
    TnFiltroGrade outros = FFiltro;
    outros.Retirar(f->FieldName());
    bool mais = false;
    std::vector<TnCelula> valores;
    const bool lidos = ExecutarTratando([&] {
        outros.Aplicar(*ds);
        valores = ValoresDaColuna(*ds, *f, kMaximoValores, mais);
    });
    // The rows as the filter leaves them again, whatever happened while the values were read.
    if (!Aplicar() || !lidos)
        return false;

    QDialog d(FGrade);
    d.setObjectName(QStringLiteral("dlgFiltroColuna"));
    d.setWindowTitle(QStringLiteral("Filtrar: ") + f->DisplayLabel());
    auto *l = new QVBoxLayout(&d);
    l->addWidget(new QLabel(mais ? QStringLiteral("Valores presentes (os primeiros %1):").arg(kMaximoValores)
                                 : QStringLiteral("Valores presentes:"),
                            &d));
    auto *lista = new QListWidget(&d);
    lista->setObjectName(QStringLiteral("lstValores"));
    for (size_t i = 0; i < valores.size(); ++i) {
        auto *item = new QListWidgetItem(TextoDoValor(*f, valores[i]), lista);
        const bool marcado = atual && std::any_of(atual->Valores.begin(), atual->Valores.end(),
                                                  [&](const TnCelula &v) { return v == valores[i]; });
        item->setCheckState(marcado ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, int(i));
    }
    l->addWidget(lista, 1);
    auto *form = new QFormLayout;
    auto *contem = new QLineEdit(atual ? atual->Contem : QString(), &d);
    contem->setObjectName(QStringLiteral("edContem"));
    form->addRow(QStringLiteral("Contém:"), contem);
    const bool faixa = (EhTipoNumerico(f->DataType()) && !f->Def().TemListaValores()) || f->DataType() == ftDate
                       || f->DataType() == ftDateTime;
    QLineEdit *de = nullptr, *ate = nullptr;
    if (faixa) {
        const auto texto = [f](const TnCelula &c) {
            if (c.Nulo)
                return QString();
            return f->DataType() == ftDate || f->DataType() == ftDateTime
                       ? FormatDateTime(QStringLiteral("dd/mm/yyyy"), QDate::fromJulianDay(c.I))
                       : NumeroParaTexto(c.F).replace(u'.', u',');
        };
        de = new QLineEdit(atual ? texto(atual->De) : QString(), &d);
        de->setObjectName(QStringLiteral("edDe"));
        ate = new QLineEdit(atual ? texto(atual->Ate) : QString(), &d);
        ate->setObjectName(QStringLiteral("edAte"));
        form->addRow(QStringLiteral("De:"), de);
        form->addRow(QStringLiteral("Até:"), ate);
    }
    l->addLayout(form);
    auto *botoes = new QDialogButtonBox(&d);
    botoes->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    botoes->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    connect(botoes, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    connect(botoes, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    l->addWidget(botoes);
    d.resize(360, 420);

    TnCondicaoColuna c;
    c.Campo = f->FieldName();
    for (;;) {
        if (d.exec() != QDialog::Accepted || !FGrade)
            return false;
        c.Valores.clear();
        for (int i = 0; i < lista->count(); ++i)
            if (lista->item(i)->checkState() == Qt::Checked)
                c.Valores.push_back(valores[size_t(lista->item(i)->data(Qt::UserRole).toInt())]);
        c.Contem = contem->text().trimmed();
        // A bound that does not read is refused on its line; the dialog stays.
        QLineEdit *invalido = nullptr;
        for (auto [linha, limite] : {std::pair{de, &c.De}, std::pair{ate, &c.Ate}})
            if (linha && !linha->text().trimmed().isEmpty() && !LerLimite(*f, linha->text().trimmed(), *limite))
                invalido = linha;
            else if (linha && linha->text().trimmed().isEmpty())
                *limite = TnCelula{};
        if (!invalido)
            break;
        nShowMessage(QStringLiteral("\"%1\" não é um valor válido para \"%2\".").arg(invalido->text().trimmed(), f->DisplayLabel()));
        invalido->setFocus();
    }
    return Definir(c);
}

// ---- TnColunasGrade -------------------------------------------------------------------

namespace {
// The user's preferences keep each grid's columns under this section, by the grid's key.
const char kSecaoGrades[] = "Grades";
} // namespace

TnColunasGrade::TnColunasGrade(TnGradeDataSet *grade, const TnOpcoesGrade &opcoes, const QString &chave)
    : QObject(grade), FGrade(grade), FOpcoes(opcoes), FChave(chave)
{
    QHeaderView *h = grade->horizontalHeader();
    h->setSectionsMovable(opcoes.Tem(goPermitirMoverColuna));
    connect(h, &QHeaderView::sectionMoved, this, &TnColunasGrade::Guardar);
    // Other columns (a new run may declare others): put as kept again.
    connect(grade->model(), &QAbstractItemModel::modelReset, this, &TnColunasGrade::Restaurar);
    Restaurar();
}

QString TnColunasGrade::Nome(int coluna) const
{
    TnModeloDataSet *m = FGrade->Modelo();
    if (const TnField *f = m->Campo(coluna))
        return f->FieldName();
    TnField *codigo = nullptr;
    const int k = m->Resultado(coluna, &codigo);
    return codigo ? codigo->FieldName() + u'#' + QString::number(k) : QString();
}

QString TnColunasGrade::Estado() const
{
    if (!FGrade)
        return {};
    const QHeaderView *h = FGrade->horizontalHeader();
    QStringList r;
    for (int v = 0; v < h->count(); ++v) {
        const int c = h->logicalIndex(v);
        r << (h->isSectionHidden(c) ? QStringLiteral("-") : QString()) + Nome(c);
    }
    return r.join(u';');
}

void TnColunasGrade::Guardar()
{
    if (FRestaurando || FChave.isEmpty() || !FGrade)
        return;
    try {
        TnPreferenciasUsuario::Gravar(QString::fromLatin1(kSecaoGrades), FChave, Estado());
    } catch (const std::exception &) {
        // Columns not kept are no reason to refuse the change on screen.
    }
}

void TnColunasGrade::Restaurar()
{
    if (FChave.isEmpty() || !FGrade)
        return;
    QString guardado;
    try {
        guardado = TnPreferenciasUsuario::Ler(QString::fromLatin1(kSecaoGrades), FChave);
    } catch (const std::exception &) {
        return; // unreadable preferences: the grid's own order
    }
    if (guardado.isEmpty())
        return;
    FRestaurando = true;
    QHeaderView *h = FGrade->horizontalHeader();
    int destino = 0;
    for (const QString &item : guardado.split(u';', Qt::SkipEmptyParts)) {
        const bool oculta = item.startsWith(u'-');
        const QString nome = oculta ? item.mid(1) : item;
        int coluna = -1;
        for (int c = 0; c < h->count() && coluna < 0; ++c)
            if (Nome(c).compare(nome, Qt::CaseInsensitive) == 0)
                coluna = c;
        if (coluna < 0)
            continue;
        if (FOpcoes.Tem(goPermitirMoverColuna) && h->visualIndex(coluna) != destino)
            h->moveSection(h->visualIndex(coluna), destino);
        ++destino;
        if (FOpcoes.Tem(goColumnHidingEnabled))
            h->setSectionHidden(coluna, oculta);
    }
    // Never every column hidden.
    if (h->hiddenSectionCount() == h->count() && h->count() > 0)
        h->setSectionHidden(h->logicalIndex(0), false);
    FRestaurando = false;
}

void TnColunasGrade::Ocultar(int coluna, bool ocultar)
{
    QHeaderView *h = FGrade ? FGrade->horizontalHeader() : nullptr;
    if (!h || coluna < 0 || coluna >= h->count())
        return;
    if (ocultar && h->count() - h->hiddenSectionCount() <= 1)
        return;
    h->setSectionHidden(coluna, ocultar);
    Guardar();
}

void TnColunasGrade::AdicionarAoMenu(QMenu &menu, int coluna)
{
    if (!FGrade)
        return;
    QHeaderView *h = FGrade->horizontalHeader();
    if (!menu.isEmpty())
        menu.addSeparator();
    if (coluna >= 0 && h->count() - h->hiddenSectionCount() > 1)
        menu.addAction(QStringLiteral("Ocultar esta coluna"), this, [this, coluna] { Ocultar(coluna, true); });
    QMenu *lista = menu.addMenu(QStringLiteral("Colunas"));
    lista->setObjectName(QStringLiteral("menuColunas"));
    for (int v = 0; v < h->count(); ++v) {
        const int c = h->logicalIndex(v);
        QAction *a = lista->addAction(FGrade->model()->headerData(c, Qt::Horizontal).toString());
        a->setCheckable(true);
        a->setChecked(!h->isSectionHidden(c));
        connect(a, &QAction::toggled, this, [this, c](bool mostrar) { Ocultar(c, !mostrar); });
    }
}

// ---- TnNavegadorGrade -----------------------------------------------------------------

TnNavegadorGrade::TnNavegadorGrade(TnGradeDataSet *grade, const TnOpcoesGrade &opcoes, QWidget *pai)
    : QWidget(pai), FGrade(grade), FOpcoes(opcoes)
{
    auto *l = new QHBoxLayout(this);
    l->setContentsMargins(2, 2, 2, 2);
    const auto botao = [this, l](const char *nome, const QString &texto, QStyle::StandardPixmap icone, auto acao) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setIcon(style()->standardIcon(icone));
        b->setText(texto);
        b->setToolTip(texto);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, acao);
        l->addWidget(b);
    };
    if (opcoes.Tem(goExibirNavigator)) {
        botao("btnPrimeiro", QStringLiteral("Primeiro"), QStyle::SP_MediaSkipBackward, [this] { Mover(nmPrimeiro); });
        botao("btnAnterior", QStringLiteral("Anterior"), QStyle::SP_MediaSeekBackward, [this] { Mover(nmAnterior); });
        FPosicao = new QLabel(this);
        FPosicao->setObjectName(QStringLiteral("lblPosicao"));
        l->addWidget(FPosicao);
        botao("btnProximo", QStringLiteral("Próximo"), QStyle::SP_MediaSeekForward, [this] { Mover(nmProximo); });
        botao("btnUltimo", QStringLiteral("Último"), QStyle::SP_MediaSkipForward, [this] { Mover(nmUltimo); });
    }
    l->addStretch(1);
    if (opcoes.Tem(goPermitePaginacao)) {
        botao("btnPaginaAnterior", QStringLiteral("Página anterior"), QStyle::SP_ArrowLeft,
              [this] { IrParaPagina(Pagina() - 1); });
        FPagina = new QLabel(this);
        FPagina->setObjectName(QStringLiteral("lblPagina"));
        l->addWidget(FPagina);
        botao("btnProximaPagina", QStringLiteral("Próxima página"), QStyle::SP_ArrowRight,
              [this] { IrParaPagina(Pagina() + 1); });
        grade->Modelo()->SetPagina(0, kLinhasPorPagina);
    }
    TnModeloDataSet *m = grade->Modelo();
    connect(m, &TnModeloDataSet::RegistroMudou, this, &TnNavegadorGrade::SeguirRegistro);
    connect(m, &QAbstractItemModel::modelReset, this, &TnNavegadorGrade::SeguirRegistro);
    connect(m, &QAbstractItemModel::rowsInserted, this, &TnNavegadorGrade::Atualizar);
    connect(m, &QAbstractItemModel::rowsRemoved, this, &TnNavegadorGrade::Atualizar);
    SeguirRegistro();
}

void TnNavegadorGrade::Mover(TnMovimento mov)
{
    TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    if (!ds || !ds->Active())
        return;
    ExecutarTratando([&] {
        switch (mov) {
        case nmPrimeiro: ds->First(); break;
        case nmAnterior: ds->Prior(); break;
        case nmProximo: ds->Next(); break;
        case nmUltimo: ds->Last(); break;
        }
    });
    SeguirRegistro();
}

int TnNavegadorGrade::Pagina() const
{
    const TnModeloDataSet *m = FGrade ? FGrade->Modelo() : nullptr;
    return m && m->TamanhoPagina() > 0 ? m->InicioPagina() / m->TamanhoPagina() : 0;
}

int TnNavegadorGrade::Paginas() const
{
    const TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    const int n = ds && ds->Active() ? ds->RecordCount() : 0;
    return std::max(1, (n + kLinhasPorPagina - 1) / kLinhasPorPagina);
}

void TnNavegadorGrade::IrParaPagina(int pagina)
{
    TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    if (!ds || !ds->Active() || pagina < 0)
        return;
    ExecutarTratando([&] {
        // The packets the page needs, when the dataset is read in packets.
        while (!ds->TodosLidos() && ds->RecordCount() <= pagina * kLinhasPorPagina)
            if (ds->BuscarPacote() == 0)
                break;
        if (pagina * kLinhasPorPagina < ds->RecordCount())
            ds->SetRecNo(pagina * kLinhasPorPagina + 1);
    });
    SeguirRegistro();
}

void TnNavegadorGrade::SeguirRegistro()
{
    TnModeloDataSet *m = FGrade ? FGrade->Modelo() : nullptr;
    const TnClientDataSet *ds = m ? m->DataSet() : nullptr;
    if (!m || FSeguindo)
        return;
    FSeguindo = true;
    if (ds && ds->Active() && m->TamanhoPagina() > 0) {
        // The page of the current row (while inserting: the new last row).
        const int linha = ds->State() == dsInsert ? ds->RecordCount() : std::max(0, ds->RecNo() - 1);
        const int inicio = linha / kLinhasPorPagina * kLinhasPorPagina;
        if (inicio != m->InicioPagina())
            m->SetPagina(inicio, kLinhasPorPagina);
    }
    FSeguindo = false;
    Atualizar();
}

QString TnNavegadorGrade::Posicao() const
{
    const TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    const int n = ds && ds->Active() ? ds->RecordCount() : 0;
    const int atual = !ds || n == 0 ? 0 : ds->State() == dsInsert ? n + 1 : ds->RecNo();
    return QStringLiteral("%1 de %2").arg(atual).arg(n + (ds && ds->State() == dsInsert ? 1 : 0));
}

QString TnNavegadorGrade::TextoPagina() const
{
    return QStringLiteral("Página %1 de %2").arg(Pagina() + 1).arg(Paginas());
}

void TnNavegadorGrade::Atualizar()
{
    if (FPosicao)
        FPosicao->setText(Posicao());
    if (FPagina)
        FPagina->setText(TextoPagina());
    const TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    const bool dados = ds && ds->Active() && ds->RecordCount() > 0;
    const int recNo = dados ? ds->RecNo() : 0;
    const bool mais = ds && !ds->TodosLidos();
    const auto habilitar = [this](const char *nome, bool v) {
        if (auto *b = findChild<QToolButton *>(QString::fromLatin1(nome)))
            b->setEnabled(v);
    };
    habilitar("btnPrimeiro", dados && recNo > 1);
    habilitar("btnAnterior", dados && recNo > 1);
    habilitar("btnProximo", dados && (recNo < ds->RecordCount() || mais));
    habilitar("btnUltimo", dados && (recNo < ds->RecordCount() || mais));
    habilitar("btnPaginaAnterior", Pagina() > 0);
    habilitar("btnProximaPagina", Pagina() + 1 < Paginas() || mais);
}

// ---- TnModeloGrupos -------------------------------------------------------------------

TnModeloGrupos::TnModeloGrupos(TnModeloDataSet *base, QObject *pai) : QAbstractItemModel(pai), FBase(base) {}

void TnModeloGrupos::Agrupar(const QStringList &campos)
{
    beginResetModel();
    FCampos = campos;
    FGrupos.clear();
    FTotalDaColuna.assign(FBase ? size_t(FBase->columnCount()) : 0, -1);
    const TnClientDataSet *ds = FBase ? FBase->DataSet() : nullptr;
    if (ds && ds->Active() && !campos.isEmpty()) {
        QStringList totais;
        for (int c = 0; c < FBase->columnCount(); ++c)
            if (const TnField *f = FBase->Campo(c); f && EhColunaDeValor(*f)) {
                FTotalDaColuna[size_t(c)] = int(totais.size());
                totais << f->FieldName();
            }
        try {
            FGrupos = AgruparVista(*ds, campos, totais);
        } catch (...) {
            endResetModel();
            throw;
        }
    }
    endResetModel();
}

const TnGrupo *TnModeloGrupos::Grupo(const QModelIndex &i) const
{
    if (!i.isValid())
        return nullptr;
    const auto *pai = static_cast<const TnGrupo *>(i.internalPointer());
    if (!pai)
        return &FGrupos[size_t(i.row())];
    return pai->Subgrupos.empty() ? nullptr : &pai->Subgrupos[size_t(i.row())];
}

QModelIndex TnModeloGrupos::index(int linha, int coluna, const QModelIndex &pai) const
{
    if (linha < 0 || coluna < 0 || linha >= rowCount(pai) || coluna >= columnCount())
        return {};
    // Every index points at the group it lies in (none at the first level).
    return createIndex(linha, coluna, const_cast<TnGrupo *>(Grupo(pai)));
}

QModelIndex TnModeloGrupos::parent(const QModelIndex &i) const
{
    const auto *pai = i.isValid() ? static_cast<const TnGrupo *>(i.internalPointer()) : nullptr;
    return pai ? createIndex(pai->Linha, 0, const_cast<TnGrupo *>(pai->Pai)) : QModelIndex();
}

int TnModeloGrupos::rowCount(const QModelIndex &pai) const
{
    if (!pai.isValid())
        return int(FGrupos.size());
    const TnGrupo *g = Grupo(pai);
    if (!g || pai.column() != 0)
        return 0;
    return g->Subgrupos.empty() ? int(g->Quantidade()) : int(g->Subgrupos.size());
}

int TnModeloGrupos::columnCount(const QModelIndex &) const { return FBase ? FBase->columnCount() : 0; }

QVariant TnModeloGrupos::headerData(int secao, Qt::Orientation o, int papel) const
{
    return FBase ? FBase->headerData(secao, o, papel) : QVariant();
}

QVariant TnModeloGrupos::data(const QModelIndex &i, int papel) const
{
    const TnClientDataSet *ds = FBase ? FBase->DataSet() : nullptr;
    if (!ds || !i.isValid())
        return {};
    const TnField *f = FBase->Campo(i.column());
    if (papel == Qt::TextAlignmentRole)
        return f && EhTipoNumerico(f->DataType()) && !f->Def().TemListaValores()
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (const TnGrupo *g = Grupo(i)) {
        if (papel == Qt::FontRole) {
            QFont negrito;
            negrito.setBold(true);
            return negrito;
        }
        if (papel != Qt::DisplayRole)
            return {};
        if (i.column() == 0) {
            const TnField &campo = ds->FieldByName(FCampos[g->Nivel]);
            return QStringLiteral("%1: %2 (%3 %4)")
                .arg(campo.DisplayLabel(), TextoDoValor(campo, g->Valor), FormatFloat(QStringLiteral("#,##0"), double(g->Quantidade())),
                     g->Quantidade() == 1 ? QStringLiteral("linha") : QStringLiteral("linhas"));
        }
        const int k = size_t(i.column()) < FTotalDaColuna.size() ? FTotalDaColuna[size_t(i.column())] : -1;
        return k >= 0 && f ? TextoDoTotal(*f, g->Totais[size_t(k)]) : QVariant();
    }
    if (papel != Qt::DisplayRole)
        return {};
    // A row of the dataset: read in place, as the grid reads it.
    const auto *pai = static_cast<const TnGrupo *>(i.internalPointer());
    QString texto;
    TnField *codigo = nullptr;
    const int resultado = FBase->Resultado(i.column(), &codigo);
    try {
        ds->LerRegistro(int(pai->Inicio) + i.row() + 1, [&] {
            texto = resultado >= 0 ? codigo->ResultadosLookup().value(resultado) : f ? f->DisplayText() : QString();
        });
    } catch (const std::exception &) {
        return {};
    }
    return texto;
}

// ---- TnGruposGrade --------------------------------------------------------------------

TnGruposGrade::TnGruposGrade(TnGradeDataSet *grade, QWidget *pai) : QWidget(pai), FGrade(grade)
{
    auto *l = new QHBoxLayout(this);
    l->setContentsMargins(4, 2, 4, 2);
    FTexto = new QLabel(this);
    FTexto->setObjectName(QStringLiteral("lblAgrupamento"));
    auto *desagrupar = new QPushButton(QStringLiteral("Desagrupar"), this);
    desagrupar->setObjectName(QStringLiteral("btnDesagrupar"));
    connect(desagrupar, &QPushButton::clicked, this, &TnGruposGrade::Desagrupar);
    l->addWidget(FTexto, 1);
    l->addWidget(desagrupar);
    FArvore = new QTreeView(pai);
    FArvore->setObjectName(QStringLiteral("arvoreGrupos"));
    FArvore->setUniformRowHeights(true); // rows are measured once, not each
    FModelo = new TnModeloGrupos(grade->Modelo(), FArvore);
    FArvore->setModel(FModelo);
    FArvore->hide();
    connect(FArvore, &QTreeView::expanded, this, &TnGruposGrade::AlargarPrimeira);
    hide();
    // The rows changed: the groups again, once the events of the change are over.
    FAdiado.setSingleShot(true);
    FAdiado.setInterval(0);
    connect(&FAdiado, &QTimer::timeout, this, &TnGruposGrade::Refazer);
    const auto adiar = [this] {
        if (!FCampos.isEmpty())
            FAdiado.start();
    };
    QAbstractItemModel *m = grade->Modelo();
    connect(m, &QAbstractItemModel::modelReset, this, adiar);
    connect(m, &QAbstractItemModel::rowsInserted, this, adiar);
    connect(m, &QAbstractItemModel::dataChanged, this, adiar);
}

void TnGruposGrade::AdicionarAoMenu(QMenu &menu, int coluna)
{
    const TnField *f = FGrade ? FGrade->Modelo()->Campo(coluna) : nullptr;
    if (!f && FCampos.isEmpty())
        return;
    if (!menu.isEmpty())
        menu.addSeparator();
    if (f && !FCampos.contains(f->FieldName(), Qt::CaseInsensitive)) {
        const QString nome = f->FieldName();
        menu.addAction(QStringLiteral("Agrupar por esta coluna"), this, [this, nome] { Agrupar(nome); });
    }
    if (!FCampos.isEmpty())
        menu.addAction(QStringLiteral("Desagrupar"), this, &TnGruposGrade::Desagrupar);
}

bool TnGruposGrade::Agrupar(const QString &campo)
{
    TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    if (!ds || !ds->Active() || FCampos.contains(campo, Qt::CaseInsensitive))
        return false;
    if (FCampos.isEmpty())
        FIndiceAntes = ds->IndexFieldNames();
    const QStringList campos = FCampos + QStringList{campo};
    const bool ok = ExecutarTratando([&] {
        ds->SetIndexFieldNames(IndiceDoAgrupamento(campos, FIndiceAntes));
        FModelo->Agrupar(campos);
    });
    if (ok)
        FCampos = campos;
    FAdiado.stop(); // grouped just now: the new order needs no second pass
    Mostrar();
    return ok;
}

void TnGruposGrade::Desagrupar()
{
    TnClientDataSet *ds = FGrade ? FGrade->Modelo()->DataSet() : nullptr;
    FCampos.clear();
    FAdiado.stop();
    ExecutarTratando([&] {
        FModelo->Agrupar({});
        if (ds && ds->Active())
            ds->SetIndexFieldNames(FIndiceAntes);
    });
    Mostrar();
}

void TnGruposGrade::Refazer()
{
    if (FCampos.isEmpty() || !FGrade)
        return;
    if (!ExecutarTratando([&] { FModelo->Agrupar(FCampos); })) {
        FCampos.clear();
        FModelo->Agrupar({});
    }
    Mostrar();
}

void TnGruposGrade::Mostrar()
{
    if (!FGrade)
        return;
    const bool agrupado = !FCampos.isEmpty();
    QStringList nomes;
    for (const QString &c : FCampos)
        if (const TnField *f = FGrade->Modelo()->DataSet() ? FGrade->Modelo()->DataSet()->FindField(c) : nullptr)
            nomes << f->DisplayLabel();
    FTexto->setText(QStringLiteral("Agrupado por: ") + nomes.join(QStringLiteral(" > ")));
    setVisible(agrupado);
    // The tree in the grid's place, its columns as the grid shows them.
    const QHeaderView *h = FGrade->horizontalHeader();
    QHeaderView *ha = FArvore->header();
    for (int v = 0; agrupado && v < h->count(); ++v) {
        const int c = h->logicalIndex(v);
        if (ha->visualIndex(c) != v)
            ha->moveSection(ha->visualIndex(c), v);
        FArvore->setColumnHidden(c, h->isSectionHidden(c));
        FArvore->setColumnWidth(c, FGrade->columnWidth(c));
    }
    AlargarPrimeira();
    const bool mudou = FArvore->isVisibleTo(FArvore->parentWidget()) != agrupado;
    FArvore->setVisible(agrupado);
    FGrade->setVisible(!agrupado);
    if (mudou)
        emit Alternou(agrupado);
}

// The first column holds the groups' captions: wide enough to show them whole (measured on
// the rows the tree shows, as the tree measures).
void TnGruposGrade::AlargarPrimeira()
{
    QHeaderView *ha = FArvore->header();
    if (FCampos.isEmpty() || ha->count() == 0)
        return;
    const int c = ha->logicalIndex(0);
    FArvore->resizeColumnToContents(c);
    if (FGrade && FArvore->columnWidth(c) < FGrade->columnWidth(c))
        FArvore->setColumnWidth(c, FGrade->columnWidth(c));
}
