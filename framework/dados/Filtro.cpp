#include "Filtro.h"

#include "Excecoes.h"
#include "Valores.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <vector>

namespace {

enum TipoToken { tkFim, tkNome, tkNumero, tkTexto, tkSimbolo };

struct Token {
    TipoToken Tipo = tkFim;
    QString Texto;
    qsizetype Posicao = 0;
};

[[noreturn]] void Erro(const QString &filtro, const QString &motivo)
{
    throw EConvertError(QStringLiteral("Filtro inválido (%1): %2").arg(motivo, TrechoCitado(filtro)));
}

std::vector<Token> Separar(const QString &f)
{
    std::vector<Token> r;
    qsizetype i = 0;
    const qsizetype n = f.size();
    while (i < n) {
        const QChar c = f[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.Posicao = i;
        if (c == u'\'') {
            t.Tipo = tkTexto;
            for (++i;; ++i) {
                if (i >= n)
                    Erro(f, QStringLiteral("texto sem aspas de fechamento"));
                if (f[i] == u'\'') {
                    if (i + 1 < n && f[i + 1] == u'\'') {
                        t.Texto += u'\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.Texto += f[i];
            }
        } else if (c == u'"' || c == u'[') {
            const QChar fecha = c == u'"' ? u'"' : u']';
            const qsizetype fim = f.indexOf(fecha, i + 1);
            if (fim < 0)
                Erro(f, QStringLiteral("nome de campo sem fechamento"));
            t.Tipo = tkNome;
            t.Texto = f.mid(i + 1, fim - i - 1);
            i = fim + 1;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && f[i + 1].isDigit())) {
            t.Tipo = tkNumero;
            while (i < n && (f[i].isDigit() || f[i] == u'.'))
                t.Texto += f[i++];
            if (i < n && (f[i] == u'e' || f[i] == u'E')) {
                t.Texto += f[i++];
                if (i < n && (f[i] == u'+' || f[i] == u'-'))
                    t.Texto += f[i++];
                while (i < n && f[i].isDigit())
                    t.Texto += f[i++];
            }
        } else if (c.isLetter() || c == u'_') {
            t.Tipo = tkNome;
            while (i < n && (f[i].isLetterOrNumber() || f[i] == u'_'))
                t.Texto += f[i++];
        } else {
            t.Tipo = tkSimbolo;
            const QString dois = f.mid(i, 2);
            if (dois == QLatin1String("<>") || dois == QLatin1String("<=") || dois == QLatin1String(">=")
                || dois == QLatin1String("!=")) {
                t.Texto = dois;
                i += 2;
            } else if (QStringLiteral("=<>()-").contains(c)) {
                t.Texto = c;
                ++i;
            } else {
                Erro(f, QStringLiteral("caractere '%1' inesperado").arg(c));
            }
        }
        r.push_back(std::move(t));
    }
    r.push_back(Token{tkFim, QString(), n});
    return r;
}

// Values as the filter compares them: exact decimals, doubles, texts and instants
// (milliseconds of nDataHora; a date is its midnight).
enum ClasseValor { cvDecimal, cvReal, cvTexto, cvInstante };

struct Valor {
    ClasseValor Classe = cvDecimal;
    qint64 M = 0; // decimal mantissa, or instant
    int E = 0;    // decimal scale
    double D = 0;
    QStringView T;
};

constexpr qint64 kMsDia = 86400000;

int Ordem3(auto a, auto b) { return a < b ? -1 : (b < a ? 1 : 0); }

int CompararValores(const Valor &a, const Valor &b)
{
    if (a.Classe == cvTexto)
        return a.T.compare(b.T);
    if (a.Classe == cvInstante)
        return Ordem3(a.M, b.M);
    if (a.Classe == cvDecimal && b.Classe == cvDecimal) {
        // Exact: bring both to the larger scale in 128 bits.
        __int128 x = a.M, y = b.M;
        for (int e = a.E; e < b.E; ++e)
            x *= 10;
        for (int e = b.E; e < a.E; ++e)
            y *= 10;
        return Ordem3(x, y);
    }
    // A decimal met by a double becomes the double nearest to it, as the engines read the
    // literal: one division of two exact numbers (dividing by ten again and again would
    // drift, and 0.0000001 would not equal the double 1e-7).
    auto real = [](const Valor &v) {
        if (v.Classe == cvReal)
            return v.D;
        static constexpr double kPot10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        if (v.E >= 0 && v.E <= 22 && std::llabs(v.M) <= (qint64(1) << 53))
            return static_cast<double>(v.M) / kPot10[v.E];
        return QStringLiteral("%1e-%2").arg(v.M).arg(v.E).toDouble();
    };
    return Ordem3(real(a), real(b));
}

ClasseValor ClasseDoTipo(TFieldType t)
{
    switch (t) {
    case ftFloat: return cvReal;
    case ftDate:
    case ftDateTime: return cvInstante;
    case ftString:
    case ftMemo:
    case ftUnknown: return cvTexto;
    default: return cvDecimal;
    }
}

enum Operador { opIgual, opDiferente, opMenor, opMenorIgual, opMaior, opMaiorIgual };

Operador Inverso(Operador op)
{
    switch (op) {
    case opMenor: return opMaior;
    case opMenorIgual: return opMaiorIgual;
    case opMaior: return opMenor;
    case opMaiorIgual: return opMenorIgual;
    default: return op;
    }
}

// Three-valued logic of SQL.
enum Logico { lFalso = 0, lVerdadeiro = 1, lDesconhecido = 2 };

} // namespace

// One operand: a field or a literal already in the class of the value it meets.
struct Operando {
    bool EhCampo = false;
    TnCampoFiltro Campo;
    bool Nulo = false;
    QString Texto; // owns the text of a literal
    Valor V;
    // Reads the operand of a row; answers false for null.
    bool Ler(const TnDadosColunares &d, qint32 s, Valor &v) const
    {
        if (!EhCampo) {
            v = V;
            if (v.Classe == cvTexto)
                v.T = Texto;
            return !Nulo;
        }
        const TnColuna &col = d.Coluna(Campo.Coluna);
        if (col.Nulo(s))
            return false;
        v.Classe = ClasseDoTipo(Campo.Tipo);
        switch (Campo.Tipo) {
        case ftFloat: v.D = col.Real(s); break;
        case ftDate: v.M = col.Inteiro(s) * kMsDia; break;
        case ftDateTime: v.M = col.Inteiro(s); break;
        case ftBCD:
            v.M = col.Inteiro(s);
            v.E = Campo.Escala;
            break;
        case ftString:
        case ftMemo:
        case ftUnknown: v.T = col.Texto(s); break;
        default:
            v.M = col.Inteiro(s);
            v.E = 0;
            break;
        }
        return true;
    }
};

struct TnFiltro::No {
    enum TipoNo { nE, nOu, nNao, nEhNulo, nComparacao, nConstante } Tipo = nConstante;
    Operador Op = opIgual;
    bool Negado = false; // is not null
    Logico Constante = lVerdadeiro;
    Operando A, B;
    std::unique_ptr<No> Esq, Dir;

    Logico Avaliar(const TnDadosColunares &d, qint32 s) const
    {
        switch (Tipo) {
        case nConstante: return Constante;
        case nNao: {
            const Logico x = Esq->Avaliar(d, s);
            return x == lDesconhecido ? x : (x == lVerdadeiro ? lFalso : lVerdadeiro);
        }
        case nE: {
            const Logico x = Esq->Avaliar(d, s);
            if (x == lFalso)
                return lFalso;
            const Logico y = Dir->Avaliar(d, s);
            return y == lFalso ? lFalso : (x == lVerdadeiro && y == lVerdadeiro ? lVerdadeiro : lDesconhecido);
        }
        case nOu: {
            const Logico x = Esq->Avaliar(d, s);
            if (x == lVerdadeiro)
                return lVerdadeiro;
            const Logico y = Dir->Avaliar(d, s);
            return y == lVerdadeiro ? lVerdadeiro : (x == lFalso && y == lFalso ? lFalso : lDesconhecido);
        }
        case nEhNulo: {
            Valor v;
            const bool nulo = !A.Ler(d, s, v);
            return nulo != Negado ? lVerdadeiro : lFalso;
        }
        case nComparacao: {
            Valor a, b;
            if (!A.Ler(d, s, a) || !B.Ler(d, s, b))
                return lDesconhecido;
            const int r = CompararValores(a, b);
            bool ok = false;
            switch (Op) {
            case opIgual: ok = r == 0; break;
            case opDiferente: ok = r != 0; break;
            case opMenor: ok = r < 0; break;
            case opMenorIgual: ok = r <= 0; break;
            case opMaior: ok = r > 0; break;
            case opMaiorIgual: ok = r >= 0; break;
            }
            return ok ? lVerdadeiro : lFalso;
        }
        }
        return lDesconhecido;
    }
};

namespace {

class Compilador {
public:
    Compilador(const QString &texto, const std::function<bool(const QString &, TnCampoFiltro &)> &campo)
        : FTexto(texto), FCampo(campo), FTokens(Separar(texto))
    {
    }

    std::unique_ptr<TnFiltro::No> Compilar()
    {
        auto no = Ou();
        if (Atual().Tipo != tkFim)
            Erro(FTexto, QStringLiteral("\"%1\" inesperado").arg(TrechoCitado(Atual().Texto)));
        return no;
    }

private:
    using No = TnFiltro::No;

    const Token &Atual() const { return FTokens[FPos]; }
    bool EhPalavra(const char *p) const
    {
        return Atual().Tipo == tkNome && Atual().Texto.compare(QLatin1String(p), Qt::CaseInsensitive) == 0;
    }
    bool EhSimbolo(const char *s) const { return Atual().Tipo == tkSimbolo && Atual().Texto == QLatin1String(s); }
    void Esperar(const char *s)
    {
        if (!EhSimbolo(s))
            Erro(FTexto, QStringLiteral("esperava \"%1\"").arg(QLatin1String(s)));
        ++FPos;
    }

    std::unique_ptr<No> Binario(No::TipoNo tipo, std::unique_ptr<No> esq, std::unique_ptr<No> dir)
    {
        auto n = std::make_unique<No>();
        n->Tipo = tipo;
        n->Esq = std::move(esq);
        n->Dir = std::move(dir);
        return n;
    }

    std::unique_ptr<No> Ou()
    {
        auto no = E();
        while (EhPalavra("or")) {
            ++FPos;
            no = Binario(No::nOu, std::move(no), E());
        }
        return no;
    }

    std::unique_ptr<No> E()
    {
        auto no = Nao();
        while (EhPalavra("and")) {
            ++FPos;
            no = Binario(No::nE, std::move(no), Nao());
        }
        return no;
    }

    std::unique_ptr<No> Nao()
    {
        if (EhPalavra("not")) {
            ++FPos;
            return Binario(No::nNao, Nao(), nullptr);
        }
        if (EhSimbolo("(")) {
            ++FPos;
            auto no = Ou();
            Esperar(")");
            return no;
        }
        return Comparacao();
    }

    static bool EhPalavraReservada(const QString &s)
    {
        for (const char *p : {"and", "or", "not", "is", "null"})
            if (s.compare(QLatin1String(p), Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }

    Operando LerOperando()
    {
        Operando o;
        const Token t = Atual();
        if (t.Tipo == tkNome && !EhPalavraReservada(t.Texto)) {
            ++FPos;
            o.EhCampo = true;
            if (!FCampo(t.Texto, o.Campo))
                Erro(FTexto, QStringLiteral("campo \"%1\" não encontrado").arg(TrechoCitado(t.Texto)));
            return o;
        }
        if (EhPalavra("null")) {
            ++FPos;
            o.Nulo = true;
            return o;
        }
        bool negativo = false;
        if (EhSimbolo("-")) {
            ++FPos;
            negativo = true;
            if (Atual().Tipo != tkNumero)
                Erro(FTexto, QStringLiteral("número esperado após \"-\""));
        }
        const Token lit = Atual();
        if (lit.Tipo == tkNumero) {
            ++FPos;
            o.Texto = negativo ? QLatin1Char('-') + lit.Texto : lit.Texto;
            o.V.Classe = cvDecimal;
            if (!LerDecimal(o.Texto, o.V)) {
                bool ok = false;
                o.V.Classe = cvReal;
                o.V.D = QLocale::c().toDouble(o.Texto, &ok);
                if (!ok)
                    Erro(FTexto, QStringLiteral("número \"%1\" malformado").arg(TrechoCitado(o.Texto)));
            }
            return o;
        }
        if (lit.Tipo == tkTexto) {
            ++FPos;
            o.Texto = lit.Texto;
            o.V.Classe = cvTexto;
            return o;
        }
        Erro(FTexto, lit.Tipo == tkFim ? QStringLiteral("fim inesperado") : QStringLiteral("\"%1\" inesperado").arg(TrechoCitado(lit.Texto)));
    }

    // "12.50" -> mantissa 1250, scale 2; false beyond 18 digits or with an exponent.
    static bool LerDecimal(const QString &s, Valor &v)
    {
        if (s.contains(u'e', Qt::CaseInsensitive) || s.count(u'.') > 1)
            return false;
        QString digitos = s;
        const qsizetype p = digitos.indexOf(u'.');
        v.E = p < 0 ? 0 : int(digitos.size() - p - 1);
        if (p >= 0)
            digitos.remove(p, 1);
        bool ok = false;
        v.M = digitos.toLongLong(&ok);
        return ok && v.E <= 18;
    }

    // Brings a literal to the class of the field it meets: a quoted date or timestamp for a
    // date field. Texts and numbers never meet.
    void Ajustar(Operando &lit, const Operando &campo)
    {
        if (lit.EhCampo || lit.Nulo)
            return;
        const ClasseValor alvo = ClasseDoTipo(campo.Campo.Tipo);
        const bool numerico = lit.V.Classe == cvDecimal || lit.V.Classe == cvReal;
        if (alvo == cvInstante) {
            if (lit.V.Classe != cvTexto)
                Erro(FTexto, QStringLiteral("uma data deve vir entre aspas: %1").arg(TrechoCitado(lit.Texto)));
            // Date and time are read apart, never as a local date-time: a midnight that a
            // change to summer time skips is still that day.
            const QString t = lit.Texto.trimmed();
            const QDate d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
            QTime h(0, 0);
            if (d.isValid() && t.size() > 10) {
                h = QTime();
                if (t[10] == u' ' || t[10] == u'T')
                    for (const char *fmt : {"HH:mm:ss", "HH:mm", "HH:mm:ss.zzz"}) {
                        h = QTime::fromString(t.mid(11), QLatin1String(fmt));
                        if (h.isValid())
                            break;
                    }
            }
            if (!d.isValid() || !h.isValid())
                Erro(FTexto, QStringLiteral("data \"%1\" inválida").arg(TrechoCitado(lit.Texto)));
            lit.V.Classe = cvInstante;
            lit.V.M = nDataHora::ParaNumero(d, h);
        } else if (alvo == cvTexto && numerico) {
            Erro(FTexto, QStringLiteral("o texto deve vir entre aspas: %1").arg(TrechoCitado(lit.Texto)));
        } else if (alvo != cvTexto && !numerico) {
            Erro(FTexto, QStringLiteral("'%1' não é um número").arg(TrechoCitado(lit.Texto)));
        }
    }

    std::unique_ptr<No> Comparacao()
    {
        auto n = std::make_unique<No>();
        n->A = LerOperando();
        if (EhPalavra("is")) {
            ++FPos;
            n->Tipo = No::nEhNulo;
            if (EhPalavra("not")) {
                ++FPos;
                n->Negado = true;
            }
            if (!EhPalavra("null"))
                Erro(FTexto, QStringLiteral("esperava \"null\""));
            ++FPos;
            return n;
        }
        static const std::pair<const char *, Operador> ops[] = {{"=", opIgual},  {"<>", opDiferente},   {"!=", opDiferente},
                                                                {"<", opMenor}, {"<=", opMenorIgual}, {">", opMaior},
                                                                {">=", opMaiorIgual}};
        bool achou = false;
        for (const auto &[s, op] : ops) {
            if (EhSimbolo(s)) {
                n->Op = op;
                achou = true;
                break;
            }
        }
        if (!achou)
            Erro(FTexto, QStringLiteral("esperava um operador de comparação"));
        ++FPos;
        n->B = LerOperando();
        n->Tipo = No::nComparacao;
        if (!n->A.EhCampo && n->B.EhCampo) {
            std::swap(n->A, n->B);
            n->Op = Inverso(n->Op);
        }
        if (n->A.Nulo || n->B.Nulo) {
            // As in SQL, comparing with null is never true.
            n->Tipo = No::nConstante;
            n->Constante = lDesconhecido;
            return n;
        }
        if (n->A.EhCampo) {
            Ajustar(n->B, n->A);
            if (n->B.EhCampo) {
                const ClasseValor a = ClasseDoTipo(n->A.Campo.Tipo), b = ClasseDoTipo(n->B.Campo.Tipo);
                const bool numA = a == cvDecimal || a == cvReal, numB = b == cvDecimal || b == cvReal;
                if (a != b && !(numA && numB))
                    Erro(FTexto, QStringLiteral("campos de tipos diferentes"));
            }
        } else {
            // Two literals: decided now.
            const bool numA = n->A.V.Classe != cvTexto, numB = n->B.V.Classe != cvTexto;
            if (numA != numB)
                Erro(FTexto, QStringLiteral("comparação de texto com número"));
            TnDadosColunares vazio({});
            const Logico r = n->Avaliar(vazio, 0);
            n->Tipo = No::nConstante;
            n->Constante = r;
        }
        return n;
    }

    const QString &FTexto;
    const std::function<bool(const QString &, TnCampoFiltro &)> &FCampo;
    std::vector<Token> FTokens;
    size_t FPos = 0;
};

} // namespace

std::unique_ptr<TnFiltro> TnFiltro::Compilar(const QString &texto,
                                             const std::function<bool(const QString &, TnCampoFiltro &)> &campo)
{
    std::unique_ptr<TnFiltro> f(new TnFiltro);
    f->FRaiz = Compilador(texto, campo).Compilar();
    return f;
}

TnFiltro::~TnFiltro() = default;

bool TnFiltro::Aceita(const TnDadosColunares &dados, qint32 slot) const
{
    return FRaiz->Avaliar(dados, slot) == lVerdadeiro;
}
