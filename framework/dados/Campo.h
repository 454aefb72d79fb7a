#pragma once
// Typed fields of the client dataset. A field reads and writes the current row of its
// dataset; its declaration (TnDefCampo) is data that a module keeps in a static table.
#include "DadosColunares.h"
#include "Definicao.h"
#include "Tipos.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class TnClientDataSet;

enum TFieldKind {
    fkData,        // read from and written to the database
    fkInternalCalc // kept in the dataset only: never read from nor written to the database
};

// How the provider uses a field when it writes the changes.
enum TProviderFlag {
    pfInUpdate = 1, // written by INSERT and UPDATE
    pfInWhere = 2,  // identifies the row when the provider compares every column
    pfInKey = 4     // part of the key that identifies the row
};
constexpr int pfPadrao = pfInUpdate | pfInWhere;

// Declaration of one field, e.g.
//   const TnDefCampo campos[] = {
//       {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true, .Flags = pfPadrao | pfInKey},
//       {.Nome = "VALORIR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2,
//        .Def = {.DisplayLabel = "Valor IR", .DisplayFormat = "#,##0.00"}}};
struct TnDefCampo {
    QString Nome = {};
    TFieldType Tipo = ftUnknown;
    int Tamanho = 0;  // maximum characters of a text, 0 for no limit
    int Precisao = 0; // digits of a numeric(p,s)
    int Escala = 0;   // decimals of a numeric(p,s)
    // ftBCD only: an integer field of the same dataset holding each row's decimals (0 to 18;
    // null: Escala), for a result whose rows keep the decimals of their own source, each
    // row's value a numeric(Precisao, its decimals). Write that field before the value. Rows
    // of such a field compare by their stored integers (sort and search only among rows of
    // the same decimals) and it is never written to the database.
    QString CampoEscala = {};
    bool Requerido = false;
    bool SomenteLeitura = false;
    TFieldKind Kind = fkData;
    int Flags = pfPadrao;
    Definicao Def = {};
};

class TnField {
public:
    TnField(TnClientDataSet &dataSet, int indice, const TnDefCampo &def);
    TnField(const TnField &) = delete;
    TnField &operator=(const TnField &) = delete;

    TnClientDataSet &DataSet() const { return FDataSet; }
    int Index() const { return FIndice; }
    const QString &FieldName() const { return FNome; }
    TFieldType DataType() const { return FTipo; }
    int Size() const { return FTamanho; }
    int Precision() const { return FPrecisao; }
    int Scale() const { return FEscala; }
    // Decimals of the current row's value: Scale(), or the row's value of CampoEscala.
    int EscalaDaLinha() const;
    const QString &CampoEscala() const { return FCampoEscala; }
    TFieldKind FieldKind() const { return FKind; }

    bool Required() const { return FRequerido; }
    void SetRequired(bool v) { FRequerido = v; }
    bool ReadOnly() const { return FSomenteLeitura; }
    void SetReadOnly(bool v) { FSomenteLeitura = v; }
    bool Visible() const { return FVisivel; }
    void SetVisible(bool v) { FVisivel = v; }
    int ProviderFlags() const { return FFlags; }
    void SetProviderFlags(int f) { FFlags = f; }
    bool InKey() const { return FFlags & pfInKey; }
    bool InUpdate() const { return FFlags & pfInUpdate; }
    bool InWhere() const { return FFlags & pfInWhere; }

    Definicao &Def() { return FDef; }
    const Definicao &Def() const { return FDef; }
    // The declared caption, else the dictionary's for the field's key, else the field name.
    QString DisplayLabel() const;
    void SetDisplayLabel(const QString &s) { FDef.DisplayLabel = s; }
    const QString &DisplayFormat() const { return FDef.DisplayFormat; }
    void SetDisplayFormat(const QString &s) { FDef.DisplayFormat = s; }
    const QString &EditFormat() const { return FDef.EditFormat; }
    void SetEditFormat(const QString &s) { FDef.EditFormat = s; }

    // Value of the current row. Null reads as 0, "" or an invalid date.
    bool IsNull() const;
    void Clear();
    int AsInteger() const;
    void SetAsInteger(int v) { SetAsLargeInt(v); }
    qint64 AsLargeInt() const;
    void SetAsLargeInt(qint64 v);
    double AsFloat() const;
    void SetAsFloat(double v);
    bool AsBoolean() const;
    void SetAsBoolean(bool v);
    // Text in the Brazilian form: "1234,56", "31/12/2019", "31/12/2019 08:30:00".
    QString AsString() const;
    void SetAsString(const QString &v);
    // A number given exactly as an integer scaled by 10^escala (0 to 18): a numeric takes it
    // at its row's decimals (rounded half away from zero), refused beyond its precision;
    // other fields as its plain text.
    void SetAsEscalado(qint64 escalado, int escala);
    QDate AsDate() const;
    void SetAsDate(const QDate &v);
    QDateTime AsDateTime() const;
    void SetAsDateTime(const QDateTime &v);
    // Typed value: int, qlonglong, double, bool, QString, QDate or QDateTime; invalid when
    // null. Numerics read as double. A QString written is read as AsString reads text.
    QVariant AsVariant() const;
    void SetAsVariant(const QVariant &v);
    QVariant Value() const { return AsVariant(); }
    void SetValue(const QVariant &v) { SetAsVariant(v); }
    // Value of the row before its changes: the stored value for a row not yet changed, the
    // original for a modified row, null for an inserted row.
    QVariant OldValue() const;
    // The value as the storage keeps it (see TnCelula), read once: for writers that bind it
    // to a statement as it is (VincularCelula, Provider.h).
    TnCelula Celula() const;

    // Text for editing (value list text, EditFormat or else DisplayFormat) and for showing
    // (value list text, DisplayFormat). SetText takes what a user typed.
    QString Text() const;
    void SetText(const QString &texto);
    QString DisplayText() const;

    std::function<void(TnField &)> OnChange;
    std::function<void(TnField &)> OnValidate; // reads the new value; throws to refuse it
    std::function<void(TnField &, const QString &)> OnSetText;
    std::function<void(TnField &, QString &texto, bool exibicao)> OnGetText;

    // Lookup result columns (Def().ResultadoLookup), answered by whoever owns the dataset
    // (a register module): their captions, and their texts for the row being read (the
    // current one, or the one TnClientDataSet::LerRegistro reads). Unanswered: none.
    std::function<QStringList(const TnField &)> OnCaptionsResultadoLookup;
    std::function<QStringList(const TnField &)> OnResultadosLookup;
    QStringList CaptionsResultadoLookup() const
    {
        return OnCaptionsResultadoLookup ? OnCaptionsResultadoLookup(*this) : QStringList();
    }
    QStringList ResultadosLookup() const { return OnResultadosLookup ? OnResultadosLookup(*this) : QStringList(); }

private:
    friend class TnClientDataSet;
    void Gravar(TnCelula c);
    TnCelula DeInteiro(qint64 v) const;
    TnCelula DeReal(double v) const;
    TnCelula DeTexto(const QString &v) const;
    TnCelula DeData(const QDate &v) const;
    TnCelula DeDataHora(const QDateTime &v) const;
    TnCelula DeDataEHora(const QDate &d, const QTime &h) const;
    TnCelula DeVariant(const QVariant &v) const;
    QVariant ParaVariant(const TnCelula &c) const;
    QString ParaTexto(const TnCelula &c) const;
    QString Formatar(bool exibicao) const;
    [[noreturn]] void ErroConversao(const QString &texto) const;
    [[noreturn]] void ErroFaixa(const QString &texto) const;

    TnClientDataSet &FDataSet;
    int FIndice;
    QString FNome;
    TFieldType FTipo;
    int FTamanho, FPrecisao, FEscala;
    QString FCampoEscala;
    mutable int FIndiceEscala = -1; // of FCampoEscala, looked up at its first use
    bool FRequerido, FSomenteLeitura, FVisivel;
    TFieldKind FKind;
    int FFlags;
    Definicao FDef;
};

// Declaration of an existing field, for a clone or a copy of a dataset's structure.
TnDefCampo DefinicaoDoCampo(const TnField &f);
