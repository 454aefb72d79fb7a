#pragma once
// What the forms need to know about a field beyond its value: the data dictionary's
// definition (caption, page, hint, entry lengths and formats, value list, control kind).
#include <QString>
#include <QStringList>
#include <QVariant>

// Kind of control a form builds for a field.
enum TnTipoControle {
    ntcEdit,        // one-line text or number
    ntcCombo,       // choice from the value list
    ntcCheckBox,    // yes/no
    ntcMemo,        // several lines of text
    ntcData,        // date
    ntcDataHora,    // date and time typed by the user
    ntcActDataHora, // date and time stamped by the program, shown read-only
    ntcLookup       // code searched in another register (ClasseLookup)
};

struct Definicao {
    QString Chave = {};          // key in the data dictionary
    QString DisplayLabel = {};   // caption; the field name when empty
    QString Pagina = {};         // page of the register form that shows the field
    QString Hint = {};
    int TamanhoMaximo = 0;  // characters the entry control accepts, 0 for no limit
    int Digitos = 0;        // digits a number may have
    int Decimais = 0;       // decimals typed in the entry control
    QString DisplayFormat = {};  // mask of FormatFloat for showing numbers
    QString EditFormat = {};     // mask for editing; DisplayFormat when empty
    QString CaracteresAceitos = {}; // the only characters the entry control takes; empty: any
    QString MascaraEdicao = {};  // input mask of the entry control (QLineEdit); empty: none
    QStringList ListaValores = {}; // "text=value" lines
    TnTipoControle TipoControle = ntcEdit;
    bool CopiarAnterior = false; // a new row starts with this field of the previous row
    bool Visivel = true;
    bool Habilitado = true;
    bool Requerido = false;
    QString CamposLink = {};     // ';'-joined key fields that link to the lookup register
    QString ClasseLookup = {};   // class name of the lookup register
    // ';'-joined columns of the lookup register shown read-only beside the code
    // ("REFERENPRODUTO;DESCRPRODUTO"): the row of the lookup's key that CamposLink (else
    // the field alone) names, in the key's order. Empty: none.
    QString ResultadoLookup = {};
    QVariant ValorPadrao = {};   // value a new row starts with (none when invalid)
    // ';'-joined fields of the row that scope a sequence number kept in this field
    // ("CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS"): once a new row holds them all, a register
    // proposes the next number among its table's rows of that scope (the user may type
    // another); empty: none.
    QString SequenciaPor = {};
    // Rules a register checks before saving (TnDMClientDataSet::ValidarDado); a null value
    // passes them (Requerido is the rule for that).
    QVariant Minimo = {};        // smallest number accepted (none when invalid)
    QVariant Maximo = {};        // largest number accepted (none when invalid)
    bool SomenteDaLista = false; // the value must be one of ListaValores
    QString MensagemErro = {};   // message of a value that breaks these rules

    // The text shown for a stored value; empty when the list does not hold it.
    QString TextoDoValor(const QString &valor) const;
    // The value stored for a text of the list; `achou` tells if the list holds it.
    QString ValorDoTexto(const QString &texto, bool *achou = nullptr) const;
    bool TemListaValores() const { return !ListaValores.isEmpty(); }
    // The dictionary key says a month and year (DICDATAMESANO): the value is the month's
    // first day, typed and shown as "mm/yyyy" (TextoParaMesAno, Valores.h).
    bool EhMesAno() const { return EhChaveMesAno(Chave); }
    static bool EhChaveMesAno(const QString &chave)
    {
        return chave.trimmed().compare(QLatin1String("DICDATAMESANO"), Qt::CaseInsensitive) == 0;
    }
};
