#include "QtSelecao.h"

#include "Personalizacao.h"
#include "QtInteracao.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString Chave(const QString &nome) { return nome.trimmed().toLower(); }

void PreencherCombo(QComboBox *cb, const QList<TnOpcaoSelecao> &opcoes, const QVariant &atual)
{
    cb->clear();
    for (const TnOpcaoSelecao &o : opcoes)
        cb->addItem(o.Texto, o.Valor);
    const int i = atual.isValid() ? cb->findData(atual.toLongLong()) : -1;
    cb->setCurrentIndex(i >= 0 ? i : (cb->count() > 0 ? 0 : -1));
}

QDialogButtonBox *BotoesOkCancelar(QDialog *d)
{
    auto *b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    b->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ok"));
    b->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    QObject::connect(b, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(b, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return b;
}
} // namespace

// ---- TnDlgSelecao ---------------------------------------------------------------------

TnDlgSelecao::TnDlgSelecao(const QStringList &chaves, QWidget *pai) : QDialog(pai), FChaves(chaves)
{
    setWindowTitle(QStringLiteral("Seleção"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    for (const QString &c : chaves) {
        const TnParamSelecao &p = Selecao().GetParams(c);
        QWidget *editor = nullptr;
        switch (TipoChaveSelecao(c)) {
        case tcsLista: {
            auto *cb = new QComboBox(this);
            cb->setPlaceholderText(QStringLiteral("(nenhum cadastrado)"));
            cb->setMinimumContentsLength(24);
            PreencherCombo(cb, OpcoesChaveSelecao(c), p.IsNull() ? QVariant() : QVariant(p.AsInteger()));
            editor = cb;
            break;
        }
        case tcsData:
        case tcsMesAno: {
            // Typed as text and read only on Ok: nothing rewrites what the user typed, and
            // nothing is offered when no date was chosen yet.
            const bool mes = TipoChaveSelecao(c) == tcsMesAno;
            auto *d = new QLineEdit(this);
            d->setPlaceholderText(mes ? QStringLiteral("mm/aaaa") : QStringLiteral("dd/mm/aaaa"));
            d->setMaxLength(10);
            if (p.AsDate().isValid())
                d->setText(p.AsDate().toString(mes ? QStringLiteral("MM/yyyy") : QStringLiteral("dd/MM/yyyy")));
            editor = d;
            break;
        }
        case tcsTexto:
            editor = new QLineEdit(p.AsString(), this);
            break;
        }
        FEditores.insert(Chave(c), editor);
        form->addRow(RotuloChaveSelecao(c) + ':', editor);
    }
    if (auto *empresa = qobject_cast<QComboBox *>(Editor(QStringLiteral("CodigoEmpresa"))))
        connect(empresa, &QComboBox::currentIndexChanged, this, &TnDlgSelecao::CarregarEstabs);
    layout->addWidget(BotoesOkCancelar(this));
}

QWidget *TnDlgSelecao::Editor(const QString &chave) const { return FEditores.value(Chave(chave)); }

void TnDlgSelecao::CarregarEstabs()
{
    auto *estab = qobject_cast<QComboBox *>(Editor(QStringLiteral("CodigoEstab")));
    if (estab)
        PreencherCombo(estab, OpcoesChaveSelecao(QStringLiteral("CodigoEstab"), Valor(QStringLiteral("CodigoEmpresa"))),
                       estab->currentData());
}

QVariant TnDlgSelecao::Valor(const QString &chave) const
{
    QWidget *e = Editor(chave);
    if (auto *cb = qobject_cast<QComboBox *>(e))
        return cb->currentIndex() >= 0 ? cb->currentData() : QVariant();
    auto *t = qobject_cast<QLineEdit *>(e);
    if (!t || t->text().trimmed().isEmpty())
        return {};
    QDate d;
    switch (TipoChaveSelecao(chave)) {
    case tcsMesAno: return TextoParaMesAno(t->text(), d) ? QVariant(d) : QVariant();
    case tcsData: return TextoParaData(t->text(), d) ? QVariant(d) : QVariant();
    default: return t->text().trimmed();
    }
}

void TnDlgSelecao::SetValor(const QString &chave, const QVariant &valor)
{
    QWidget *e = Editor(chave);
    if (auto *cb = qobject_cast<QComboBox *>(e))
        cb->setCurrentIndex(cb->findData(valor.toLongLong()));
    else if (auto *t = qobject_cast<QLineEdit *>(e))
        t->setText(valor.typeId() != QMetaType::QDate ? valor.toString()
                   : valor.toDate().toString(TipoChaveSelecao(chave) == tcsMesAno ? QStringLiteral("MM/yyyy")
                                                                                 : QStringLiteral("dd/MM/yyyy")));
}

void TnDlgSelecao::accept()
{
    QList<QPair<QString, QVariant>> valores;
    for (const QString &c : std::as_const(FChaves)) {
        const QVariant v = Valor(c);
        // A list with nothing to choose (a new company without branches yet) is left empty
        // where the dialog allows it: the company is chosen, its first branch registered next.
        if (auto *lista = qobject_cast<QComboBox *>(Editor(c)); lista && lista->count() == 0) {
            if (FAceitaListaVazia) {
                valores.append({c, QVariant()});
                continue;
            }
            Editor(c)->setFocus();
            nShowMessage(QStringLiteral("Não há %1 cadastrado para escolher: cadastre um antes (menu Cadastros).")
                             .arg(RotuloChaveSelecao(c)));
            return;
        }
        if (!v.isValid()) {
            Editor(c)->setFocus();
            const auto *t = qobject_cast<QLineEdit *>(Editor(c));
            const TnTipoChaveSelecao tipo = TipoChaveSelecao(c);
            if (t && !t->text().trimmed().isEmpty() && (tipo == tcsData || tipo == tcsMesAno))
                nShowMessage(QStringLiteral("\"%1\" não é %2 válido: informe %3.")
                                 .arg(TrechoCitado(t->text().trimmed()), tipo == tcsMesAno ? QStringLiteral("um mês") : QStringLiteral("uma data"),
                                      tipo == tcsMesAno ? QStringLiteral("o mês e o ano (mm/aaaa)")
                                                        : QStringLiteral("a data (dd/mm/aaaa)")));
            else
                nShowMessage(QStringLiteral("Informe %1.").arg(RotuloChaveSelecao(c)));
            return;
        }
        valores.append({c, v});
    }
    // A range that ends before it starts: the end is what the user fixes.
    for (const QString &c : std::as_const(FChaves)) {
        QString campo;
        const QString inicio = LimiteFaixa(c, &campo) == lfFim ? campo + QStringLiteral("_MENORIGUAL") : QString();
        if (!inicio.isEmpty() && Editor(inicio)
            && !ExecutarTratando([&] { ExigirFaixaValida(campo, Valor(inicio), Valor(c)); })) {
            Editor(c)->setFocus();
            return;
        }
    }
    if (ExecutarTratando([&] { AplicarSelecao(valores); }))
        QDialog::accept();
}

bool GarantirSelecao(const QStringList &chaves, QWidget *pai)
{
    if (ChavesPendentes(chaves).isEmpty())
        return true;
    TnDlgSelecao dlg(chaves, pai);
    return dlg.exec() == QDialog::Accepted;
}

bool EscolherSelecao(const QStringList &chaves, QWidget *pai, const QString &titulo)
{
    TnDlgSelecao dlg(chaves, pai);
    dlg.SetAceitaListaVazia(true);
    if (!titulo.isEmpty())
        dlg.setWindowTitle(titulo);
    return dlg.exec() == QDialog::Accepted;
}

bool SelecionarEmpresa(QWidget *pai, bool perguntar)
{
    const QList<TnOpcaoSelecao> empresas = EmpresasCadastradas();
    if (empresas.isEmpty())
        return true;
    if (empresas.size() == 1) {
        AplicarSelecao({{QStringLiteral("CodigoEmpresa"), empresas.first().Valor}});
        return true;
    }
    if (!perguntar && !Selecao().GetParams(QStringLiteral("CodigoEmpresa")).IsNull())
        return true;
    TnDlgSelecao dlg({QStringLiteral("CodigoEmpresa")}, pai);
    dlg.setWindowTitle(QStringLiteral("Seleção de Empresa"));
    return dlg.exec() == QDialog::Accepted;
}

// ---- TnFrmLogin -----------------------------------------------------------------------

TnFrmLogin::TnFrmLogin(QWidget *pai) : QDialog(pai)
{
    setWindowTitle(QStringLiteral("Acesso ao sistema"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    FUsuarios = new QComboBox(this);
    form->addRow(QStringLiteral("Usuário:"), FUsuarios);
    layout->addLayout(form);
    layout->addWidget(BotoesOkCancelar(this));
}

void TnFrmLogin::Escolher(const TnOpcaoSelecao &usuario)
{
    ExternalVar(QStringLiteral("gCodigoUsuario"), usuario.Valor.toString());
    QString nome = usuario.Texto.section(QStringLiteral(" - "), 1);
    if (nome.isEmpty())
        nome = usuario.Texto;
    ExternalVar(QStringLiteral("gNomeUsuario"), nome);
    // The connected user: what entries are stamped with and whose preferences are kept.
    DefinirUsuarioConectado(usuario.Valor.toInt(), nome);
}

bool TnFrmLogin::Executar()
{
    FOpcoes = UsuariosCadastrados();
    if (FOpcoes.size() <= 1) {
        if (!FOpcoes.isEmpty())
            Escolher(FOpcoes.first());
        return true;
    }
    PreencherCombo(FUsuarios, FOpcoes, QVariant());
    if (exec() != QDialog::Accepted)
        return false;
    Escolher(FOpcoes.value(FUsuarios->currentIndex()));
    return true;
}
