#include "CursorDerivado.h"

#include "ClientDataSet.h"
#include "Valores.h"

TnCursorDerivado::TnCursorDerivado(TnCursor &origem) : FOrigem(origem) {}

int TnCursorDerivado::IndiceOrigem(const QString &nome) const
{
    for (int i = 0; i < FOrigem.Colunas(); ++i)
        if (FOrigem.Coluna(i).Nome.compare(nome.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TnCursorDerivado &TnCursorDerivado::Coluna(const QString &origem, const QString &nome)
{
    const int i = IndiceOrigem(origem);
    if (i < 0)
        throw Exception(QStringLiteral("A consulta não tem a coluna %1.").arg(origem));
    ColunaDerivada c;
    c.Info = FOrigem.Coluna(i);
    if (!nome.trimmed().isEmpty())
        c.Info.Nome = nome.trimmed();
    c.Origem = i;
    FColunas.push_back(std::move(c));
    return *this;
}

TnCursorDerivado &TnCursorDerivado::ColunaReal(const QString &nome, TnCalculo calcular)
{
    return ColunaCalculada(nome, ftFloat, [calcular = std::move(calcular)](TnCursor &o, TnCelula &c) {
        return calcular(o, c.F);
    });
}

TnCursorDerivado &TnCursorDerivado::ColunaCalculada(const QString &nome, TFieldType tipo, TnCalculoCelula calcular)
{
    ColunaDerivada c;
    c.Info.Nome = nome.trimmed();
    c.Info.Tipo = tipo;
    c.Calculo = std::move(calcular);
    FColunas.push_back(std::move(c));
    return *this;
}

TnCursorDerivado &TnCursorDerivado::ColunaConstante(const QString &nome, TFieldType tipo, const TnCelula &valor)
{
    return ColunaCalculada(nome, tipo, [valor](TnCursor &, TnCelula &c) {
        c = valor;
        return !valor.Nulo;
    });
}

bool TnCursorDerivado::Proximo()
{
    while (FOrigem.Proximo()) {
        ++FLinha;
        if (!FFiltro || FFiltro(FOrigem))
            return true;
    }
    return false;
}

TnCursorDerivado::ColunaDerivada &TnCursorDerivado::Calculada(int i)
{
    ColunaDerivada &c = FColunas[size_t(i)];
    if (c.Linha != FLinha) {
        c.Valor = TnCelula{};
        c.Valor.Nulo = !c.Calculo(FOrigem, c.Valor);
        c.Linha = FLinha;
    }
    return c;
}

namespace {
bool EhReal(TFieldType t) { return t == ftFloat || t == ftBCD; }
} // namespace

bool TnCursorDerivado::Nulo(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    return c.Origem >= 0 ? FOrigem.Nulo(c.Origem) : Calculada(i).Valor.Nulo;
}

qint64 TnCursorDerivado::Inteiro(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    if (c.Origem >= 0)
        return FOrigem.Inteiro(c.Origem);
    const TnCelula &v = Calculada(i).Valor;
    return EhReal(c.Info.Tipo) ? qint64(v.F) : v.I;
}

double TnCursorDerivado::Real(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    if (c.Origem >= 0)
        return FOrigem.Real(c.Origem);
    const TnCelula &v = Calculada(i).Valor;
    return EhReal(c.Info.Tipo) ? v.F : double(v.I);
}

QString TnCursorDerivado::Texto(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    if (c.Origem >= 0)
        return FOrigem.Texto(c.Origem);
    const TnCelula &v = Calculada(i).Valor;
    if (v.Nulo)
        return QString();
    switch (c.Info.Tipo) {
    case ftFloat:
    case ftBCD: return NumeroParaTexto(v.F);
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftBoolean: return NumeroParaTexto(v.I);
    case ftDate: return QDate::fromJulianDay(v.I).toString(Qt::ISODate);
    default: return v.S;
    }
}

QDate TnCursorDerivado::Data(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    if (c.Origem >= 0)
        return FOrigem.Data(c.Origem);
    const TnCelula &v = Calculada(i).Valor;
    return v.Nulo || c.Info.Tipo != ftDate ? QDate() : QDate::fromJulianDay(v.I);
}

QDateTime TnCursorDerivado::DataHora(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    if (c.Origem >= 0)
        return FOrigem.DataHora(c.Origem);
    const QDate d = Data(i);
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

bool TnCursorDerivado::DataHoraPartes(int i, QDate &d, QTime &t)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    if (c.Origem >= 0)
        return FOrigem.DataHoraPartes(c.Origem, d, t);
    d = Data(i);
    t = QTime(0, 0);
    return d.isValid();
}

void CopiarLinhaDoCursor(TnCursor &cursor, TnClientDataSet &ds)
{
    for (int i = 0; i < cursor.Colunas(); ++i) {
        TnField *f = ds.FindField(cursor.Coluna(i).Nome);
        if (!f || f->FieldKind() != fkData)
            continue;
        if (cursor.Nulo(i)) {
            f->Clear();
            continue;
        }
        switch (f->DataType()) {
        case ftSmallint:
        case ftInteger:
        case ftLargeint: f->SetAsLargeInt(cursor.Inteiro(i)); break;
        case ftFloat:
        case ftBCD: f->SetAsFloat(cursor.Real(i)); break;
        case ftBoolean: f->SetAsBoolean(cursor.Inteiro(i) != 0); break;
        case ftDate: f->SetAsDate(cursor.Data(i)); break;
        case ftDateTime: f->SetAsDateTime(cursor.DataHora(i)); break;
        default: f->SetAsString(cursor.Texto(i)); break;
        }
    }
}

bool TnCursorDerivado::Decimal(int i, int escala, qint64 &escalado)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    return c.Origem >= 0 ? FOrigem.Decimal(c.Origem, escala, escalado) : TnCursor::Decimal(i, escala, escalado);
}

QStringView TnCursorDerivado::TextoDireto(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    return c.Origem >= 0 ? FOrigem.TextoDireto(c.Origem) : TnCursor::TextoDireto(i);
}
