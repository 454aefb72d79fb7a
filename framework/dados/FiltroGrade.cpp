#include "FiltroGrade.h"

#include "Decimal.h"
#include "Valores.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <utility>
#include <unordered_set>

namespace {

bool EhData(TFieldType t) { return t == ftDate || t == ftDateTime; }

// A range compares numbers as doubles (a numeric at its row's decimals) and dates by day.
double Numero(const TnField &f) { return f.AsFloat(); }

bool MesmoValor(const TnField &f, const TnCelula &linha, const TnCelula &v)
{
    if (linha.Nulo || v.Nulo)
        return linha.Nulo == v.Nulo;
    if (EhTipoTexto(f.DataType()))
        return linha.S == v.S;
    if (f.DataType() == ftFloat)
        return linha.F == v.F;
    return linha.I == v.I;
}

QString TextoLimite(const TnField &f, const TnCelula &c)
{
    if (EhData(f.DataType()))
        return FormatDateTime(QStringLiteral("dd/mm/yyyy"), QDate::fromJulianDay(c.I));
    return f.DisplayFormat().isEmpty() ? NumeroParaTexto(c.F).replace(u'.', u',') : FormatFloat(f.DisplayFormat(), c.F);
}

} // namespace

void TnFiltroGrade::Definir(const TnCondicaoColuna &c)
{
    Retirar(c.Campo);
    if (!c.Vazia())
        FCondicoes.push_back(c);
}

void TnFiltroGrade::Retirar(const QString &campo)
{
    std::erase_if(FCondicoes, [&](const TnCondicaoColuna &c) { return c.Campo.compare(campo, Qt::CaseInsensitive) == 0; });
}

const TnCondicaoColuna *TnFiltroGrade::Condicao(const QString &campo) const
{
    for (const TnCondicaoColuna &c : FCondicoes)
        if (c.Campo.compare(campo, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

namespace {

bool Passa(const TnField &f, const TnCondicaoColuna &c)
{
    if (!c.Valores.empty()) {
        const TnCelula linha = f.Celula();
        if (std::none_of(c.Valores.begin(), c.Valores.end(), [&](const TnCelula &v) { return MesmoValor(f, linha, v); }))
            return false;
    }
    if (!c.Contem.isEmpty()) {
        if (f.IsNull())
            return false;
        const QString texto = EhTipoTexto(f.DataType()) ? f.AsString() : f.DisplayText();
        if (!texto.contains(c.Contem, Qt::CaseInsensitive))
            return false;
    }
    if (!c.De.Nulo || !c.Ate.Nulo) {
        if (f.IsNull())
            return false;
        if (EhData(f.DataType())) {
            const qint64 dia = f.AsDate().toJulianDay();
            if ((!c.De.Nulo && dia < c.De.I) || (!c.Ate.Nulo && dia > c.Ate.I))
                return false;
        } else {
            const double v = Numero(f);
            if ((!c.De.Nulo && v < c.De.F) || (!c.Ate.Nulo && v > c.Ate.F))
                return false;
        }
    }
    return true;
}

} // namespace

bool TnFiltroGrade::Aceita(const TnClientDataSet &ds) const
{
    for (const TnCondicaoColuna &c : FCondicoes)
        if (!Passa(ds.FieldByName(c.Campo), c))
            return false;
    return true;
}

void TnFiltroGrade::Aplicar(TnClientDataSet &ds) const
{
    if (!Ativo()) {
        ds.SetFiltered(false);
        ds.SetOnFilterRecord({});
        return;
    }
    // The conditions are copied (the dataset may outlive this object) with their fields'
    // positions, found once here rather than by name for every row.
    std::vector<std::pair<int, TnCondicaoColuna>> condicoes;
    for (const TnCondicaoColuna &c : FCondicoes)
        condicoes.emplace_back(ds.FieldByName(c.Campo).Index(), c);
    ds.SetOnFilterRecord([condicoes = std::move(condicoes)](TnClientDataSet &d) {
        for (const auto &[indice, c] : condicoes)
            if (indice >= d.FieldCount() || !Passa(d.Fields(indice), c))
                return false;
        return true;
    });
    ds.SetFiltered(true);
}

QString TnFiltroGrade::Descricao(const TnClientDataSet &ds) const
{
    QStringList partes;
    for (const TnCondicaoColuna &c : FCondicoes) {
        const TnField *f = ds.FindField(c.Campo);
        if (!f)
            continue;
        const QString nome = f->DisplayLabel();
        if (!c.Valores.empty()) {
            QStringList valores;
            for (size_t i = 0; i < c.Valores.size() && i < 3; ++i)
                valores << TextoDoValor(*f, c.Valores[i]);
            if (c.Valores.size() > 3)
                valores << QStringLiteral("…");
            partes << QStringLiteral("%1 em (%2)").arg(nome, valores.join(QStringLiteral("; ")));
        }
        if (!c.Contem.isEmpty())
            partes << QStringLiteral("%1 contém \"%2\"").arg(nome, c.Contem);
        if (!c.De.Nulo && !c.Ate.Nulo)
            partes << QStringLiteral("%1 de %2 até %3").arg(nome, TextoLimite(*f, c.De), TextoLimite(*f, c.Ate));
        else if (!c.De.Nulo)
            partes << QStringLiteral("%1 a partir de %2").arg(nome, TextoLimite(*f, c.De));
        else if (!c.Ate.Nulo)
            partes << QStringLiteral("%1 até %2").arg(nome, TextoLimite(*f, c.Ate));
    }
    return partes.join(QStringLiteral("; "));
}

std::vector<TnCelula> ValoresDaColuna(const TnClientDataSet &ds, const TnField &campo, int maximo, bool &mais)
{
    // Distinct by the stored column's hash and comparison: no value formatted on the way.
    const TnColuna &col = ds.ColunaArmazenada(campo.Index());
    std::vector<qint32> distintos;
    std::unordered_multimap<quint64, qint32> vistos;
    const bool real = col.GuardaReal();
    std::unordered_set<double> reais;
    bool nulo = false;
    mais = false;
    ds.ParaCadaDaVista([&](qint32 s) {
        if (mais && int(distintos.size()) >= maximo)
            return;
        if (col.Nulo(s)) {
            if (std::exchange(nulo, true))
                return;
        } else if (real) {
            if (!reais.insert(col.Real(s)).second)
                return;
        } else {
            const quint64 h = col.Hash(s);
            const auto [ini, fim] = vistos.equal_range(h);
            for (auto it = ini; it != fim; ++it)
                if (col.Comparar(it->second, s) == 0)
                    return;
            vistos.emplace(h, s);
        }
        if (int(distintos.size()) >= maximo) {
            mais = true;
            return;
        }
        distintos.push_back(s);
    });
    std::sort(distintos.begin(), distintos.end(), [&](qint32 a, qint32 b) { return col.Comparar(a, b) < 0; });
    std::vector<TnCelula> r;
    r.reserve(distintos.size());
    for (qint32 s : distintos) {
        TnCelula c;
        col.Ler(s, c);
        r.push_back(std::move(c));
    }
    return r;
}

QString TextoDoValor(const TnField &campo, const TnCelula &valor)
{
    if (valor.Nulo)
        return QStringLiteral("(vazio)");
    const TFieldType t = campo.DataType();
    if (campo.Def().TemListaValores())
        return campo.Def().TextoDoValor(EhTipoTexto(t) ? valor.S : QString::number(valor.I));
    if (EhTipoTexto(t))
        return valor.S;
    if (t == ftDate)
        return FormatDateTime(QStringLiteral("dd/mm/yyyy"), QDate::fromJulianDay(valor.I));
    if (t == ftDateTime)
        return FormatDateTime(QStringLiteral("dd/mm/yyyy hh:nn:ss"), nDataHora::DeNumero(valor.I));
    if (t == ftFloat)
        return FormatFloat(campo.DisplayFormat(), valor.F);
    if (t == ftBCD)
        return FormatFloat(campo.DisplayFormat(), valor.I, campo.Scale());
    return FormatFloat(campo.DisplayFormat(), valor.I, 0);
}

bool LerLimite(const TnField &campo, const QString &texto, TnCelula &limite)
{
    limite = TnCelula{};
    if (EhData(campo.DataType())) {
        QDate d;
        if (!TextoParaData(texto, d))
            return false;
        limite.Nulo = false;
        limite.I = d.toJulianDay();
        return true;
    }
    double v = 0;
    if (!TextoParaNumero(texto, v))
        return false;
    limite.Nulo = false;
    limite.F = v;
    return true;
}
