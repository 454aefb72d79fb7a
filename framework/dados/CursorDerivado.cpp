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
    ColunaDerivada c;
    c.Info.Nome = nome.trimmed();
    c.Info.Tipo = ftFloat;
    c.Calculo = std::move(calcular);
    FColunas.push_back(std::move(c));
    return *this;
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
        c.Valor = 0;
        c.Nula = !c.Calculo(FOrigem, c.Valor);
        c.Linha = FLinha;
    }
    return c;
}

bool TnCursorDerivado::Nulo(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    return c.Origem >= 0 ? FOrigem.Nulo(c.Origem) : Calculada(i).Nula;
}

qint64 TnCursorDerivado::Inteiro(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    return c.Origem >= 0 ? FOrigem.Inteiro(c.Origem) : qint64(Calculada(i).Valor);
}

double TnCursorDerivado::Real(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    return c.Origem >= 0 ? FOrigem.Real(c.Origem) : Calculada(i).Valor;
}

QString TnCursorDerivado::Texto(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    if (c.Origem >= 0)
        return FOrigem.Texto(c.Origem);
    const ColunaDerivada &v = Calculada(i);
    return v.Nula ? QString() : NumeroParaTexto(v.Valor);
}

QDate TnCursorDerivado::Data(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    return c.Origem >= 0 ? FOrigem.Data(c.Origem) : QDate();
}

QDateTime TnCursorDerivado::DataHora(int i)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    return c.Origem >= 0 ? FOrigem.DataHora(c.Origem) : QDateTime();
}

bool TnCursorDerivado::DataHoraPartes(int i, QDate &d, QTime &t)
{
    const ColunaDerivada &c = FColunas[size_t(i)];
    return c.Origem >= 0 && FOrigem.DataHoraPartes(c.Origem, d, t);
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
