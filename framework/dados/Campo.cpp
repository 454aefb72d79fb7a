#include "Campo.h"

#include "Dicionario.h"

#include "ClientDataSet.h"
#include "Decimal.h"
#include "Excecoes.h"
#include "ValorNaColuna.h"
#include "Valores.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A number typed by a user, read as TextoParaNumero reads it, in plain form ("1234.56") so
// that numerics keep every digit. Separators: with both "." and ",", the last one is the
// decimal point; one separator once is the decimal point; the same one several times groups.
bool NormalizarNumero(const QString &texto, QString &plano)
{
    double d = 0;
    if (!TextoParaNumero(texto, d))
        return false;
    plano = texto.trimmed();
    const qsizetype ultimoPonto = plano.lastIndexOf(u'.'), ultimaVirgula = plano.lastIndexOf(u',');
    QChar decimal;
    if (ultimoPonto >= 0 && ultimaVirgula >= 0)
        decimal = ultimoPonto > ultimaVirgula ? u'.' : u',';
    else if (ultimoPonto >= 0 && plano.count(u'.') == 1)
        decimal = u'.';
    else if (ultimaVirgula >= 0 && plano.count(u',') == 1)
        decimal = u',';
    QString r;
    for (QChar c : plano) {
        if (c == decimal)
            r += u'.';
        else if (c != u'.' && c != u',')
            r += c;
    }
    plano = r;
    return true;
}

// An integer typed by a user: as a number without a fraction ("1.234.567", "12,0").
bool LerInteiroDigitado(const QString &texto, qint64 &v)
{
    QString plano;
    if (!NormalizarNumero(texto, plano))
        return false;
    const qsizetype p = plano.indexOf(u'.');
    if (p >= 0) {
        for (qsizetype i = p + 1; i < plano.size(); ++i)
            if (plano[i] != u'0')
                return false;
        plano.truncate(p);
    }
    return nDecimal::DeTexto(plano, 0, v);
}

// A date, optionally followed by a blank or 'T' and "hh:mm", "hh:mm:ss" or "hh:mm:ss.zzz".
// Date and time apart: a time a change to summer time skips is still kept as typed.
bool LerDataHora(QStringView t, QDate &d, QTime &h)
{
    t = t.trimmed();
    qsizetype p = t.indexOf(u' ');
    if (p < 0)
        p = t.indexOf(u'T');
    if (!TextoParaData(p < 0 ? t : t.left(p), d))
        return false;
    h = QTime(0, 0);
    if (p >= 0) {
        const QStringView resto = t.mid(p + 1).trimmed();
        const QString formatos[] = {QStringLiteral("H:mm"), QStringLiteral("H:mm:ss"), QStringLiteral("H:mm:ss.zzz")};
        h = QTime();
        for (const QString &f : formatos) {
            h = QTime::fromString(resto.toString(), f);
            if (h.isValid())
                break;
        }
        if (!h.isValid())
            return false;
    }
    return true;
}

bool LerLogico(QStringView t, bool &v)
{
    t = t.trimmed();
    for (const char *s : {"sim", "s", "1", "true", "verdadeiro"})
        if (t.compare(QLatin1String(s), Qt::CaseInsensitive) == 0)
            return (v = true);
    for (const char *s : {"não", "nao", "n", "0", "false", "falso"})
        if (t.compare(QString::fromUtf8(s), Qt::CaseInsensitive) == 0)
            return !(v = false);
    return false;
}

QString RealParaTexto(double v)
{
    QString s = NumeroParaTexto(v);
    s.replace(u'.', u',');
    return s;
}

} // namespace

TnField::TnField(TnClientDataSet &dataSet, int indice, const TnDefCampo &def)
    : FDataSet(dataSet), FIndice(indice), FNome(def.Nome), FTipo(def.Tipo), FTamanho(def.Tamanho),
      FPrecisao(def.Precisao), FEscala(def.Escala), FCampoEscala(def.CampoEscala), FRequerido(def.Requerido),
      FSomenteLeitura(def.SomenteLeitura), FVisivel(def.Def.Visivel), FKind(def.Kind), FFlags(def.Flags),
      FDef(def.Def)
{
    AplicarDicionario(FDef);
    if (FTipo == ftBCD && (FEscala < 0 || FEscala > 18 || FPrecisao < 0 || FPrecisao > 18))
        throw Exception(QStringLiteral("O campo \"%1\" tem precisão ou escala inválida.").arg(FNome));
}

TnDefCampo DefinicaoDoCampo(const TnField &f)
{
    TnDefCampo d;
    d.Nome = f.FieldName();
    d.Tipo = f.DataType();
    d.Tamanho = f.Size();
    d.Precisao = f.Precision();
    d.Escala = f.Scale();
    d.CampoEscala = f.CampoEscala();
    d.Requerido = f.Required();
    d.SomenteLeitura = f.ReadOnly();
    d.Kind = f.FieldKind();
    d.Flags = f.ProviderFlags();
    d.Def = f.Def();
    d.Def.Visivel = f.Visible();
    return d;
}

TnCelula TnField::Celula() const { return FDataSet.LerCelula(FIndice); }

int TnField::EscalaDaLinha() const
{
    if (FCampoEscala.isEmpty())
        return FEscala;
    if (FIndiceEscala < 0)
        FIndiceEscala = FDataSet.FieldByName(FCampoEscala).Index();
    const TnCelula c = FDataSet.LerCelula(FIndiceEscala);
    return c.Nulo ? FEscala : int(std::clamp<qint64>(c.I, 0, 18));
}

void TnField::Gravar(TnCelula c) { FDataSet.GravarCampo(*this, std::move(c)); }

void TnField::ErroConversao(const QString &texto) const
{
    throw EConvertError(
        QStringLiteral("\"%1\" não é um valor válido para o campo \"%2\".").arg(TrechoCitado(texto), DisplayLabel()));
}

void TnField::ErroFaixa(const QString &texto) const
{
    ErroForaDaFaixa(FNome, texto, DisplayLabel());
}

// ---- conversions into the field's type ------------------------------------------------

TnCelula TnField::DeInteiro(qint64 v) const
{
    TnCelula c;
    c.Nulo = false;
    switch (FTipo) {
    case ftSmallint:
        if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
            ErroFaixa(QString::number(v));
        c.I = v;
        break;
    case ftInteger:
        if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
            ErroFaixa(QString::number(v));
        c.I = v;
        break;
    case ftLargeint: c.I = v; break;
    case ftBoolean: c.I = v != 0; break;
    case ftFloat: c.F = static_cast<double>(v); break;
    case ftBCD: {
        const __int128 e = static_cast<__int128>(v) * nDecimal::Potencia10(EscalaDaLinha());
        const __int128 limite = FPrecisao > 0 ? nDecimal::Potencia10(FPrecisao) : std::numeric_limits<qint64>::max();
        if (e >= limite || e <= -limite)
            ErroFaixa(QString::number(v));
        c.I = static_cast<qint64>(e);
        break;
    }
    case ftString:
    case ftMemo:
    case ftUnknown: return DeTexto(QString::number(v));
    default: ErroConversao(QString::number(v));
    }
    return c;
}

TnCelula TnField::DeReal(double v) const
{
    if (!std::isfinite(v))
        ErroConversao(QString::number(v));
    TnCelula c;
    c.Nulo = false;
    switch (FTipo) {
    case ftFloat: c.F = v; break;
    case ftBCD: {
        qint64 e = 0;
        if (!nDecimal::DeReal(v, EscalaDaLinha(), e) || (FPrecisao > 0 && std::llabs(e) >= nDecimal::Potencia10(FPrecisao)))
            ErroFaixa(NumeroParaMensagem(v));
        c.I = e;
        break;
    }
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftBoolean:
        if (std::fabs(v) >= 9.2e18)
            ErroFaixa(NumeroParaMensagem(v));
        return DeInteiro(std::llround(v));
    case ftString:
    case ftMemo:
    case ftUnknown: return DeTexto(RealParaTexto(v));
    default: ErroConversao(NumeroParaMensagem(v));
    }
    return c;
}

TnCelula TnField::DeTexto(const QString &v) const
{
    TnCelula c;
    if (FTipo == ftString || FTipo == ftMemo || FTipo == ftUnknown) {
        // An empty text is no value, so that a required text must really be filled.
        if (v.isEmpty())
            return c;
        if (FTipo == ftString && FTamanho > 0 && v.size() > FTamanho)
            throw EnField(FNome, QStringLiteral("O campo \"%1\" aceita no máximo %2 caracteres; foram informados %3.")
                                     .arg(DisplayLabel())
                                     .arg(FTamanho)
                                     .arg(v.size()));
        c.Nulo = false;
        c.S = v;
        return c;
    }
    if (v.trimmed().isEmpty())
        return c;
    QString plano;
    switch (FTipo) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint: {
        qint64 i = 0;
        if (!LerInteiroDigitado(v, i))
            ErroConversao(v);
        return DeInteiro(i);
    }
    case ftFloat: {
        double d = 0;
        if (!TextoParaNumero(v, d))
            ErroConversao(v);
        return DeReal(d);
    }
    case ftBCD: {
        qint64 e = 0;
        if (!NormalizarNumero(v, plano))
            ErroConversao(v);
        if (!nDecimal::DeTexto(plano, EscalaDaLinha(), e) || (FPrecisao > 0 && std::llabs(e) >= nDecimal::Potencia10(FPrecisao)))
            ErroFaixa(v.trimmed());
        c.Nulo = false;
        c.I = e;
        return c;
    }
    case ftDate:
    case ftDateTime: {
        QDate d;
        QTime h(0, 0);
        QDate mes;
        if (FDef.EhMesAno() && TextoParaMesAno(v, mes))
            d = mes;
        else if (!LerDataHora(v, d, h))
            ErroConversao(v);
        return DeDataEHora(d, h);
    }
    case ftBoolean: {
        bool b = false;
        if (!LerLogico(v, b))
            ErroConversao(v);
        c.Nulo = false;
        c.I = b;
        return c;
    }
    default: ErroConversao(v);
    }
}

TnCelula TnField::DeData(const QDate &v) const
{
    if (!v.isValid())
        return {};
    if (FTipo == ftString || FTipo == ftMemo)
        return DeTexto(v.toString(QStringLiteral("dd/MM/yyyy")));
    return DeDataEHora(v, QTime(0, 0));
}

TnCelula TnField::DeDataHora(const QDateTime &v) const
{
    if (!v.isValid())
        return {};
    return DeDataEHora(v.date(), v.time());
}

TnCelula TnField::DeDataEHora(const QDate &d, const QTime &h) const
{
    // Kept as the wall clock shows them, never through a local date-time (the midnight of
    // a day that starts with summer time does not exist as one).
    TnCelula c;
    c.Nulo = false;
    const bool mes = FDef.EhMesAno();
    switch (FTipo) {
    case ftDate: c.I = (mes ? PrimeiroDiaDoMes(d) : d).toJulianDay(); break;
    // A month and year is stored as its month's first day, whatever day names it.
    case ftDateTime: c.I = mes ? nDataHora::ParaNumero(PrimeiroDiaDoMes(d), QTime(0, 0)) : nDataHora::ParaNumero(d, h); break;
    case ftString:
    case ftMemo:
        return DeTexto(d.toString(QStringLiteral("dd/MM/yyyy")) + u' ' + h.toString(QStringLiteral("HH:mm:ss")));
    default: ErroConversao(d.toString(QStringLiteral("dd/MM/yyyy")) + u' ' + h.toString(QStringLiteral("HH:mm:ss")));
    }
    return c;
}

TnCelula TnField::DeVariant(const QVariant &v) const
{
    if (EhNulo(v))
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool: return FTipo == ftBoolean || EhTipoInteiro(FTipo) ? DeInteiro(v.toBool()) : DeTexto(v.toBool() ? "Sim" : "Não");
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong: return DeInteiro(v.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        if (v.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            ErroFaixa(v.toString());
        return DeInteiro(v.toLongLong());
    case QMetaType::Float:
    case QMetaType::Double: return DeReal(v.toDouble());
    case QMetaType::QDate: return DeData(v.toDate());
    case QMetaType::QDateTime: return DeDataHora(v.toDateTime());
    default: return DeTexto(v.toString());
    }
}

// ---- reading --------------------------------------------------------------------------

QString TnField::ParaTexto(const TnCelula &c) const
{
    if (c.Nulo)
        return {};
    switch (FTipo) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint: return QString::number(c.I);
    case ftFloat: return RealParaTexto(c.F);
    case ftBCD: {
        const int escala = EscalaDaLinha();
        QString s = nDecimal::ParaTexto(c.I, escala, u',');
        if (escala > 0) {
            while (s.endsWith(u'0'))
                s.chop(1);
            if (s.endsWith(u','))
                s.chop(1);
        }
        return s;
    }
    case ftDate: return QDate::fromJulianDay(c.I).toString(QStringLiteral("dd/MM/yyyy"));
    case ftDateTime: {
        // From the stored fields, not through a local date-time.
        const QDateTime dt = nDataHora::DeNumero(c.I, Qt::UTC);
        return dt.date().toString(QStringLiteral("dd/MM/yyyy")) + u' ' + dt.time().toString(QStringLiteral("HH:mm:ss"));
    }
    case ftBoolean: return c.I ? QStringLiteral("Sim") : QStringLiteral("Não");
    default: return c.S;
    }
}

QVariant TnField::ParaVariant(const TnCelula &c) const
{
    if (c.Nulo)
        return {};
    switch (FTipo) {
    case ftSmallint:
    case ftInteger: return QVariant(static_cast<int>(c.I));
    case ftLargeint: return QVariant(static_cast<qlonglong>(c.I));
    case ftFloat: return QVariant(c.F);
    case ftBCD: return QVariant(nDecimal::ParaReal(c.I, EscalaDaLinha()));
    case ftDate: return QVariant(QDate::fromJulianDay(c.I));
    case ftDateTime: return QVariant(nDataHora::DeNumero(c.I));
    case ftBoolean: return QVariant(c.I != 0);
    default: return QVariant(c.S);
    }
}

bool TnField::IsNull() const { return Celula().Nulo; }

void TnField::Clear() { Gravar(TnCelula{}); }

qint64 TnField::AsLargeInt() const
{
    const TnCelula c = Celula();
    if (c.Nulo)
        return 0;
    switch (FTipo) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftBoolean: return c.I;
    case ftFloat: return std::llround(c.F);
    case ftBCD: {
        // Rounds half away from zero, as the numeric's decimals are dropped.
        qint64 r = 0;
        nDecimal::Reescalar(c.I, EscalaDaLinha(), 0, r);
        return r;
    }
    case ftDate:
    case ftDateTime: ErroConversao(ParaTexto(c));
    default: {
        qint64 i = 0;
        if (!LerInteiroDigitado(c.S, i))
            ErroConversao(c.S);
        return i;
    }
    }
}

int TnField::AsInteger() const
{
    const qint64 v = AsLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        ErroFaixa(QString::number(v));
    return static_cast<int>(v);
}

double TnField::AsFloat() const
{
    const TnCelula c = Celula();
    if (c.Nulo)
        return 0;
    switch (FTipo) {
    case ftFloat: return c.F;
    case ftBCD: return nDecimal::ParaReal(c.I, EscalaDaLinha());
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftBoolean: return static_cast<double>(c.I);
    case ftDate:
    case ftDateTime: ErroConversao(ParaTexto(c));
    default: {
        double d = 0;
        if (!TextoParaNumero(c.S, d))
            ErroConversao(c.S);
        return d;
    }
    }
}

bool TnField::AsBoolean() const
{
    const TnCelula c = Celula();
    if (c.Nulo)
        return false;
    if (FTipo == ftString || FTipo == ftMemo || FTipo == ftUnknown) {
        bool b = false;
        if (!LerLogico(c.S, b))
            ErroConversao(c.S);
        return b;
    }
    if (EhTipoData(FTipo))
        ErroConversao(ParaTexto(c));
    return FTipo == ftFloat ? c.F != 0 : c.I != 0;
}

QString TnField::AsString() const { return ParaTexto(Celula()); }

QDateTime TnField::AsDateTime() const
{
    const TnCelula c = Celula();
    if (c.Nulo)
        return {};
    switch (FTipo) {
    case ftDate: return QDateTime(QDate::fromJulianDay(c.I), QTime(0, 0));
    case ftDateTime: return nDataHora::DeNumero(c.I);
    case ftString:
    case ftMemo:
    case ftUnknown: {
        QDate d;
        QTime h;
        if (!LerDataHora(c.S, d, h))
            ErroConversao(c.S);
        return QDateTime(d, h);
    }
    default: ErroConversao(ParaTexto(c));
    }
}

QDate TnField::AsDate() const
{
    // The stored fields, without a local QDateTime (a time-zone lookup per value).
    const TnCelula c = Celula();
    if (c.Nulo)
        return {};
    switch (FTipo) {
    case ftDate: return QDate::fromJulianDay(c.I);
    case ftDateTime: return nDataHora::DeNumero(c.I, Qt::UTC).date();
    default: return AsDateTime().date();
    }
}

QVariant TnField::AsVariant() const { return ParaVariant(Celula()); }

QVariant TnField::OldValue() const { return FDataSet.ValorOriginal(*this); }

// ---- writing --------------------------------------------------------------------------

void TnField::SetAsLargeInt(qint64 v) { Gravar(DeInteiro(v)); }
void TnField::SetAsFloat(double v) { Gravar(DeReal(v)); }
void TnField::SetAsBoolean(bool v) { Gravar(FTipo == ftString || FTipo == ftMemo ? DeTexto(v ? "Sim" : "Não") : DeInteiro(v)); }
void TnField::SetAsString(const QString &v) { Gravar(DeTexto(v)); }

void TnField::SetAsEscalado(qint64 escalado, int escala)
{
    if (FTipo != ftBCD) {
        SetAsString(nDecimal::ParaTexto(escalado, escala, u','));
        return;
    }
    TnCelula c;
    c.Nulo = false;
    if (!nDecimal::Reescalar(escalado, escala, EscalaDaLinha(), c.I) ||
        (FPrecisao > 0 && !nDecimal::CabeNaPrecisao(c.I, FPrecisao, EscalaDaLinha())))
        ErroFaixa(nDecimal::ParaTexto(escalado, escala, u','));
    Gravar(std::move(c));
}
void TnField::SetAsDate(const QDate &v) { Gravar(DeData(v)); }
void TnField::SetAsDateTime(const QDateTime &v) { Gravar(DeDataHora(v)); }
void TnField::SetAsVariant(const QVariant &v) { Gravar(DeVariant(v)); }

// ---- texts for forms ------------------------------------------------------------------

QString TnField::Formatar(bool exibicao) const
{
    const TnCelula c = Celula();
    QString texto = ParaTexto(c);
    if (!c.Nulo) {
        bool achou = false;
        if (FDef.TemListaValores()) {
            const QString t = FDef.TextoDoValor(texto);
            achou = !t.isEmpty();
            if (achou)
                texto = t;
        }
        if (!achou && FDef.EhMesAno() && EhTipoData(FTipo))
            texto = AsDate().toString(QStringLiteral("MM/yyyy"));
        else if (!achou && EhTipoNumerico(FTipo)) {
            const QString &mascara = exibicao || FDef.EditFormat.isEmpty() ? FDef.DisplayFormat : FDef.EditFormat;
            // A numeric is formatted from its stored digits: a double holds 15 of them.
            if (!mascara.isEmpty())
                texto = FTipo == ftBCD ? FormatFloat(mascara, c.I, EscalaDaLinha()) : FormatFloat(mascara, AsFloat());
        }
    }
    if (OnGetText)
        OnGetText(const_cast<TnField &>(*this), texto, exibicao);
    return texto;
}

QString TnField::Text() const { return Formatar(false); }

QString TnField::DisplayText() const { return Formatar(true); }

void TnField::SetText(const QString &texto)
{
    if (OnSetText) {
        OnSetText(*this, texto);
        return;
    }
    bool achou = false;
    const QString valor = FDef.TemListaValores() ? FDef.ValorDoTexto(texto, &achou) : QString();
    SetAsString(achou ? valor : texto);
}

QString TnField::DisplayLabel() const
{
    if (!FDef.DisplayLabel.isEmpty())
        return FDef.DisplayLabel;
    const QString doDicionario = CaptionDoDicionario(FDef.Chave);
    return doDicionario.isEmpty() ? FNome : doDicionario;
}
