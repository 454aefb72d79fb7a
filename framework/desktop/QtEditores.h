#pragma once
// One entry control of a generic form, for a field of a register or a parameter of a
// process: its caption, its widget (a line, a list of values, a check box, several lines,
// a line with a search button for lookups, or a check list) and its text. The forms write the text into
// the field or parameter, which convert it (a list's text becomes its value).
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QStringList>

class QLabel;
class QWidget;

enum TnTipoEditor {
    teLinha,     // one line of text, a number or a date
    teLista,     // a choice among the texts of a "text=value" list
    teMarcacao,  // yes or no: "1" or "0"
    teMemo,      // several lines
    tePesquisa,  // a code, with a button that searches it in a consultation
    teListaMarcacao // options to tick (QtListaMarcacao.h): the ticked values, "1;4;"
};

class TnEditor : public QObject {
    Q_OBJECT
public:
    // `nome`: the field or parameter the control edits (the name errors point to).
    TnEditor(const QString &nome, TnTipoEditor tipo, QWidget *pai);

    const QString &Nome() const { return FNome; }
    TnTipoEditor Tipo() const { return FTipo; }
    QLabel *Rotulo() const { return FRotulo; }
    QWidget *Widget() const { return FWidget; }  // what goes into the layout
    QWidget *Entrada() const { return FEntrada; } // what takes the focus

    QString Texto() const;
    void SetTexto(const QString &texto);
    // The control shows something other than `texto` (a field's or parameter's text): the
    // user changed it and it is still to be taken.
    bool Difere(const QString &texto) const { return !MesmoTexto(FTipo, texto, Texto()); }
    // The user is typing in the control: its text is not yet taken, and showing the
    // field's value again leaves it alone. Descartar forgets the typing.
    bool Digitando() const { return FDigitando; }
    void Descartar() { FDigitando = false; }
    // Two texts mean the same in a control of that kind (a check box: both yes or both no).
    static bool MesmoTexto(TnTipoEditor tipo, const QString &a, const QString &b);
    // The texts of a list of values, or a check list's options ("*" an entry of a group).
    void SetLista(const QStringList &linhasTextoValor);
    void SetCaption(const QString &caption, bool requerido);
    void SetHabilitado(bool habilitado);
    bool Habilitado() const { return FHabilitado; }
    void SetVisivel(bool visivel);
    void SetTamanhoMaximo(int caracteres);
    void SetDica(const QString &dica);
    void SetAlinharDireita(bool direita);
    // The only characters the control takes (a line); empty: any. A character outside the
    // set cannot be typed nor pasted.
    void SetCaracteresAceitos(const QString &caracteres);
    // Input mask of a line (QLineEdit::setInputMask); empty: none.
    void SetMascara(const QString &mascara);
    // The text can be read and selected but not changed (a line or several lines).
    void SetSomenteLeitura(bool somenteLeitura);
    // Caption and text in bold.
    void SetNegrito(bool negrito);
    // Read-only texts shown beside the control of a code (a lookup's result columns), one
    // per caption; names "<field>_<caption position>" for whoever looks for them. Only a
    // lookup control shows them.
    void SetResultados(const QStringList &captions, const QStringList &textos);
    QStringList Resultados() const;
    // The whole text is selected whenever the control takes the focus, by mouse or by
    // keyboard, so that what is typed replaces it (numbers and dates).
    void SetSelecionarAoEntrar(bool selecionar) { FSelecionarAoEntrar = selecionar; }
    bool SelecionarAoEntrar() const { return FSelecionarAoEntrar; }
    // A tinted background that draws the eye to a value the program filled in (a value
    // copied from the previous record); while it is tinted, a click into the control
    // selects its whole text even when it has the focus already.
    void SetDestacado(bool destacado);
    bool Destacado() const { return FDestacado; }

    // Puts the focus on the control, also when it is disabled: it is enabled until the
    // focus leaves it (what the user types there meanwhile is not taken: see Habilitado).
    void Focar();

signals:
    void Alterando(); // the user began to type (a line or several lines)
    void Editado();   // the user finished changing the text
    void Entrou();    // the control took the focus
    void Saiu();      // the focus left the control
    void Pesquisar(); // the search button of a lookup
    // Enter in a line or a list: what was typed is taken first (Editado). A register moves
    // to the next field, a process form runs.
    void Confirmou();

protected:
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void Digitou();
    QString FNome;
    TnTipoEditor FTipo;
    QLabel *FRotulo;
    QWidget *FWidget;
    QWidget *FEntrada;
    bool FHabilitado = true;
    bool FForcado = false;     // focused while disabled: enabled until the focus leaves
    bool FAtualizando = false; // the program is setting the text: no Editado
    bool FDigitando = false;
    bool FSelecionarAoEntrar = false;
    bool FDestacado = false;
    QPalette FPaletaAntes; // the entry's colours before it was tinted
    QString FAceitos;          // the characters of the current validator
    QList<QWidget *> FResultados; // read-only lines beside a lookup's code
};

// Brings to the front every page (of a tab widget) that holds `w`.
void TornarVisivel(QWidget *w);
