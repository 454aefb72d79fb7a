#include "QtEditores.h"

#include "QtListaMarcacao.h"

#include <QCheckBox>
#include <QComboBox>
#include <QAbstractItemView>
#include <QEvent>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {
bool Marcado(const QString &texto)
{
    static const QStringList sim = {"1", "S", "Sim", "T", "True"};
    return sim.contains(texto.trimmed(), Qt::CaseInsensitive);
}

// Selects the line's whole text once the event being handled is over (a press of the
// mouse would put the caret back where the pointer is), if the line still has the focus.
void SelecionarTudoEmSeguida(QLineEdit *l)
{
    QTimer::singleShot(0, l, [l] {
        if (l->hasFocus())
            l->selectAll();
    });
}
} // namespace

TnEditor::TnEditor(const QString &nome, TnTipoEditor tipo, QWidget *pai)
    : QObject(pai), FNome(nome), FTipo(tipo), FRotulo(new QLabel(pai))
{
    switch (tipo) {
    case teLista: {
        auto *cb = new QComboBox(pai);
        connect(cb, &QComboBox::activated, this, [this] { emit Editado(); });
        FWidget = FEntrada = cb;
        break;
    }
    case teMarcacao: {
        auto *ck = new QCheckBox(pai);
        connect(ck, &QCheckBox::toggled, this, [this] {
            if (!FAtualizando)
                emit Editado();
        });
        FWidget = FEntrada = ck;
        break;
    }
    case teListaMarcacao: {
        auto *lm = new TnListaMarcacao(pai);
        connect(lm, &TnListaMarcacao::Alterada, this, [this] {
            if (!FAtualizando)
                emit Editado();
        });
        FWidget = FEntrada = lm;
        break;
    }
    case teMemo: {
        auto *m = new QPlainTextEdit(pai);
        m->setTabChangesFocus(true);
        m->setMaximumHeight(90);
        connect(m, &QPlainTextEdit::textChanged, this, [this] { Digitou(); });
        FWidget = FEntrada = m; // taken when the focus leaves (below)
        break;
    }
    case teLinha:
    case tePesquisa: {
        auto *l = new QLineEdit(pai);
        connect(l, &QLineEdit::editingFinished, this, [this] { emit Editado(); });
        connect(l, &QLineEdit::textEdited, this, [this] { Digitou(); });
        FEntrada = l;
        FWidget = l;
        if (tipo == tePesquisa) {
            FWidget = new QWidget(pai);
            auto *h = new QHBoxLayout(FWidget);
            h->setContentsMargins(0, 0, 0, 0);
            l->setParent(FWidget);
            h->addWidget(l, 1);
            auto *b = new QToolButton(FWidget);
            b->setText(QStringLiteral("..."));
            b->setToolTip(QStringLiteral("Pesquisar"));
            b->setFocusPolicy(Qt::NoFocus);
            connect(b, &QToolButton::clicked, this, [this] { emit Pesquisar(); });
            h->addWidget(b);
        }
        break;
    }
    }
    FEntrada->setObjectName(nome);
    FEntrada->installEventFilter(this);
    FRotulo->setBuddy(FEntrada);
}

void TnEditor::SetResultados(const QStringList &captions, const QStringList &textos)
{
    auto *h = FTipo == tePesquisa ? qobject_cast<QHBoxLayout *>(FWidget->layout()) : nullptr;
    if (!h)
        return;
    while (FResultados.size() > captions.size())
        delete FResultados.takeLast();
    while (FResultados.size() < captions.size()) {
        auto *l = new QLineEdit(FWidget);
        l->setReadOnly(true);
        l->setFocusPolicy(Qt::NoFocus);
        l->setObjectName(FNome + u'_' + QString::number(FResultados.size()));
        h->addWidget(l, 2);
        FResultados.append(l);
    }
    for (int i = 0; i < FResultados.size(); ++i) {
        auto *l = static_cast<QLineEdit *>(FResultados[i]);
        l->setToolTip(captions[i]);
        l->setPlaceholderText(captions[i]);
        const QString texto = textos.value(i);
        if (l->text() != texto) {
            l->setText(texto);
            l->setCursorPosition(0);
        }
    }
}

QStringList TnEditor::Resultados() const
{
    QStringList r;
    for (QWidget *w : FResultados)
        r << static_cast<QLineEdit *>(w)->text();
    return r;
}

void TnEditor::Digitou()
{
    if (FAtualizando || FDigitando)
        return;
    FDigitando = true;
    emit Alterando();
}

QString TnEditor::Texto() const
{
    if (auto *l = qobject_cast<QLineEdit *>(FEntrada))
        return l->text();
    if (auto *cb = qobject_cast<QComboBox *>(FEntrada))
        return cb->currentIndex() >= 0 ? cb->currentText() : QString();
    if (auto *ck = qobject_cast<QCheckBox *>(FEntrada))
        return ck->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto *m = qobject_cast<QPlainTextEdit *>(FEntrada))
        return m->toPlainText();
    if (auto *lm = qobject_cast<TnListaMarcacao *>(FEntrada))
        return lm->Texto();
    return {};
}

void TnEditor::SetTexto(const QString &texto)
{
    FDigitando = false;
    if (texto == Texto() && FTipo != teLista)
        return;
    FAtualizando = true;
    if (auto *l = qobject_cast<QLineEdit *>(FEntrada)) {
        l->setText(texto);
        l->setCursorPosition(0);
    } else if (auto *cb = qobject_cast<QComboBox *>(FEntrada)) {
        cb->setCurrentIndex(cb->findText(texto));
    } else if (auto *ck = qobject_cast<QCheckBox *>(FEntrada)) {
        ck->setChecked(Marcado(texto));
    } else if (auto *m = qobject_cast<QPlainTextEdit *>(FEntrada)) {
        m->setPlainText(texto);
    } else if (auto *lm = qobject_cast<TnListaMarcacao *>(FEntrada)) {
        lm->SetTexto(texto);
    }
    FAtualizando = false;
}

bool TnEditor::MesmoTexto(TnTipoEditor tipo, const QString &a, const QString &b)
{
    return tipo == teMarcacao ? Marcado(a) == Marcado(b) : a == b;
}

void TnEditor::SetLista(const QStringList &linhasTextoValor)
{
    if (auto *lm = qobject_cast<TnListaMarcacao *>(FEntrada)) {
        FAtualizando = true;
        lm->SetOpcoes(linhasTextoValor);
        FAtualizando = false;
        return;
    }
    auto *cb = qobject_cast<QComboBox *>(FEntrada);
    if (!cb)
        return;
    QStringList textos;
    for (const QString &linha : linhasTextoValor) {
        const qsizetype p = linha.lastIndexOf(u'=');
        textos.append(p < 0 ? linha : linha.left(p));
    }
    QStringList atuais;
    for (int i = 0; i < cb->count(); ++i)
        atuais.append(cb->itemText(i));
    if (atuais == textos)
        return;
    const QString atual = Texto();
    FAtualizando = true;
    cb->clear();
    cb->addItems(textos);
    cb->setCurrentIndex(cb->findText(atual));
    FAtualizando = false;
}

void TnEditor::SetCaption(const QString &caption, bool requerido)
{
    FRotulo->setText(caption + (requerido ? QStringLiteral(" *") : QString()) + u':');
}

void TnEditor::SetHabilitado(bool habilitado)
{
    FHabilitado = habilitado;
    if (!FForcado || habilitado)
        FWidget->setEnabled(habilitado);
}

void TnEditor::SetVisivel(bool visivel)
{
    FRotulo->setVisible(visivel);
    FWidget->setVisible(visivel);
}

void TnEditor::SetTamanhoMaximo(int caracteres)
{
    if (auto *l = qobject_cast<QLineEdit *>(FEntrada))
        l->setMaxLength(caracteres > 0 ? caracteres : 32767);
}

void TnEditor::SetDica(const QString &dica)
{
    FEntrada->setToolTip(dica);
}

void TnEditor::SetAlinharDireita(bool direita)
{
    if (auto *l = qobject_cast<QLineEdit *>(FEntrada))
        l->setAlignment(direita ? Qt::AlignRight : Qt::AlignLeft);
}

void TnEditor::SetCaracteresAceitos(const QString &caracteres)
{
    auto *l = qobject_cast<QLineEdit *>(FEntrada);
    if (!l || caracteres == FAceitos)
        return;
    FAceitos = caracteres;
    const QValidator *antigo = l->validator();
    if (caracteres.isEmpty()) {
        l->setValidator(nullptr);
    } else {
        // Every character escaped: "-", "]", "^" and "\\" are taken as themselves.
        const QRegularExpression re(QStringLiteral("[%1]*").arg(QRegularExpression::escape(caracteres)));
        l->setValidator(new QRegularExpressionValidator(re, l));
    }
    delete antigo;
}

void TnEditor::SetMascara(const QString &mascara)
{
    auto *l = qobject_cast<QLineEdit *>(FEntrada);
    if (!l || l->inputMask() == mascara)
        return;
    FAtualizando = true;
    l->setInputMask(mascara);
    FAtualizando = false;
}

void TnEditor::SetSomenteLeitura(bool somenteLeitura)
{
    if (auto *l = qobject_cast<QLineEdit *>(FEntrada))
        l->setReadOnly(somenteLeitura);
    else if (auto *m = qobject_cast<QPlainTextEdit *>(FEntrada))
        m->setReadOnly(somenteLeitura);
}

void TnEditor::SetNegrito(bool negrito)
{
    for (QWidget *w : {static_cast<QWidget *>(FRotulo), FEntrada}) {
        QFont f = w->font();
        f.setBold(negrito);
        w->setFont(f);
    }
}

void TnEditor::SetDestacado(bool destacado)
{
    if (destacado == FDestacado)
        return;
    FDestacado = destacado;
    // A pale yellow behind the text; the control's own colours again when it goes.
    if (destacado) {
        FPaletaAntes = FEntrada->palette();
        QPalette p = FPaletaAntes;
        p.setColor(QPalette::Base, QColor(0xff, 0xf1, 0xb8));
        FEntrada->setPalette(p);
    } else {
        FEntrada->setPalette(FPaletaAntes);
    }
}

void TnEditor::Focar()
{
    if (!FHabilitado) {
        FForcado = true;
        FWidget->setEnabled(true);
    }
    TornarVisivel(FEntrada);
    FEntrada->setFocus(Qt::OtherFocusReason);
    if (auto *l = qobject_cast<QLineEdit *>(FEntrada))
        l->selectAll();
}

bool TnEditor::eventFilter(QObject *o, QEvent *e)
{
    if (o == FEntrada && e->type() == QEvent::FocusIn) {
        emit Entrou();
        // After the line's own focus handling and, for a click, after the press that puts
        // the caret where the pointer is: the whole text, ready to be replaced.
        if (auto *l = qobject_cast<QLineEdit *>(FEntrada); l && FSelecionarAoEntrar)
            SelecionarTudoEmSeguida(l);
    }
    // A click into a tinted value that has the focus already selects it whole as well:
    // the first thing typed replaces what the program filled in.
    if (o == FEntrada && e->type() == QEvent::MouseButtonRelease && FDestacado && FSelecionarAoEntrar)
        if (auto *l = qobject_cast<QLineEdit *>(FEntrada); l && !l->hasSelectedText())
            SelecionarTudoEmSeguida(l);
    // Ctrl+Del deletes the record in a register window; the line would take it for
    // deleting a word.
    if (o == FEntrada && e->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(e)->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Delete))
        return true;
    if (o == FEntrada && e->type() == QEvent::KeyPress && FTipo != teMemo && receivers(SIGNAL(Confirmou())) > 0) {
        const auto *tecla = static_cast<QKeyEvent *>(e);
        const bool enter = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
        const auto *lista = qobject_cast<QComboBox *>(FEntrada);
        if (enter && !(tecla->modifiers() & ~Qt::KeypadModifier) && !(lista && lista->view()->isVisible())) {
            if (FDigitando)
                emit Editado();
            emit Confirmou();
            return true;
        }
    }
    if (o == FEntrada && e->type() == QEvent::FocusOut) {
        // What was typed is taken before the leave runs, so the leave sees the new value
        // (a line's own editingFinished comes after this and then finds nothing new).
        if (FTipo == teMemo || FDigitando)
            emit Editado();
        if (FForcado) {
            FForcado = false;
            FWidget->setEnabled(FHabilitado);
        }
        emit Saiu();
    }
    return QObject::eventFilter(o, e);
}

void TornarVisivel(QWidget *w)
{
    for (QWidget *p = w ? w->parentWidget() : nullptr; p; p = p->parentWidget())
        if (auto *tw = qobject_cast<QTabWidget *>(p))
            for (int i = 0; i < tw->count(); ++i)
                if (tw->widget(i) == w || tw->widget(i)->isAncestorOf(w))
                    tw->setCurrentIndex(i);
}
