#include "TextoSQL.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace {

bool ComecaIdentificador(QChar c) { return c.isLetter() || c == u'_'; }
bool ContinuaIdentificador(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }
bool EhDigito(QChar c) { return c >= u'0' && c <= u'9'; }

// A word starting at `i`: its end (exclusive).
qsizetype FimDaPalavra(QStringView sql, qsizetype i)
{
    qsizetype j = i + 1;
    while (j < sql.size() && ContinuaIdentificador(sql[j]))
        ++j;
    return j;
}

// The end (exclusive) of a dollar-quoted body's opening tag at `i` ("$$", "$corpo$"), or -1
// when `i` starts no such tag ("$1" is a placeholder, "a$b" a name).
qsizetype FimDaMarcaDolar(QStringView sql, qsizetype i)
{
    if (sql[i] != u'$' || (i > 0 && ContinuaIdentificador(sql[i - 1])))
        return -1;
    qsizetype j = i + 1;
    if (j < sql.size() && ComecaIdentificador(sql[j]))
        while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
            ++j;
    return j < sql.size() && sql[j] == u'$' ? j + 1 : -1;
}

// The index of the quote that closes the stretch opened at `i`, the doubled quote standing
// for itself (and, in an escaped string, a backslash escaping the next character).
qsizetype FimDeAspas(QStringView sql, qsizetype i, QChar aspa, bool barra)
{
    const qsizetype n = sql.size();
    for (qsizetype j = i + 1; j < n; ++j) {
        if (barra && sql[j] == u'\\') {
            ++j;
        } else if (sql[j] == aspa) {
            if (j + 1 < n && sql[j + 1] == aspa)
                ++j;
            else
                return j;
        }
    }
    return n - 1;
}

} // namespace

qsizetype FimDeTrechoLiteral(QStringView sql, qsizetype i, TTipoCon dialeto)
{
    const qsizetype n = sql.size();
    const QChar c = sql[i];
    const bool pg = dialeto == tcPostgreSQL;
    if (c == u'\'') {
        // E'...' keeps backslash escapes on the server.
        const bool escapada = pg && i > 0 && (sql[i - 1] == u'E' || sql[i - 1] == u'e')
                              && (i < 2 || !ContinuaIdentificador(sql[i - 2]));
        return FimDeAspas(sql, i, c, escapada);
    }
    if (c == u'"' || (!pg && c == u'`'))
        return FimDeAspas(sql, i, c, false);
    if (!pg && c == u'[') {
        const qsizetype j = sql.indexOf(u']', i + 1);
        return j < 0 ? n - 1 : j;
    }
    if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
        const qsizetype j = sql.indexOf(u'\n', i);
        return j < 0 ? n - 1 : j;
    }
    if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
        // The server nests comments; SQLite ends one at the first "*/".
        int profundidade = 1;
        for (qsizetype j = i + 2; j + 1 < n; ++j) {
            if (sql[j] == u'*' && sql[j + 1] == u'/') {
                if (--profundidade == 0 || !pg)
                    return j + 1;
                ++j;
            } else if (pg && sql[j] == u'/' && sql[j + 1] == u'*') {
                ++profundidade;
                ++j;
            }
        }
        return n - 1;
    }
    if (pg && c == u'$') {
        const qsizetype fimMarca = FimDaMarcaDolar(sql, i);
        if (fimMarca < 0)
            return -1;
        const QStringView marca = sql.mid(i, fimMarca - i);
        const qsizetype fecha = sql.indexOf(marca, fimMarca);
        return fecha < 0 ? n - 1 : fecha + marca.size() - 1;
    }
    return -1;
}

QString ConverterParametros(const QString &sql, TTipoCon dialeto, QStringList &nomes, int &total)
{
    QString out;
    out.reserve(sql.size());
    total = 0;
    const QStringView v(sql);
    const qsizetype n = v.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = v[i];
        if (const qsizetype fim = FimDeTrechoLiteral(v, i, dialeto); fim >= 0) {
            out += v.mid(i, fim - i + 1);
            i = fim;
        } else if (c == u':' && i + 1 < n && v[i + 1] == u':') {
            out += QLatin1String("::");
            ++i;
        } else if (c == u':' && i + 1 < n && ComecaIdentificador(v[i + 1])) {
            qsizetype j = i + 1;
            while (j < n && (v[j].isLetterOrNumber() || v[j] == u'_'))
                ++j;
            nomes.append(v.mid(i + 1, j - i - 1).toString());
            ++total;
            out += u'?';
            i = j - 1;
        } else if (c == u'?') {
            nomes.append(QString());
            ++total;
            out += c;
        } else {
            out += c;
        }
    }
    // A statement with only "?" keeps no names.
    if (std::all_of(nomes.cbegin(), nomes.cend(), [](const QString &s) { return s.isEmpty(); }))
        nomes.clear();
    return out;
}

QString NumerarParametros(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    const QStringView v(sql);
    int k = 0;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (const qsizetype fim = FimDeTrechoLiteral(v, i, tcPostgreSQL); fim >= 0) {
            out += v.mid(i, fim - i + 1);
            i = fim;
        } else if (v[i] == u'?') {
            out += u'$';
            out += QString::number(++k);
        } else {
            out += v[i];
        }
    }
    return out;
}

bool PodeMudarColunas(QStringView comando)
{
    static const QRegularExpression reSemColunas(
        QStringLiteral(R"(^\s*(create|drop)\s+(or\s+replace\s+)?(constraint\s+)?(trigger|function|procedure|(unique\s+)?index)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return !reSemColunas.match(comando.toString()).hasMatch();
}

QString PrimeiraPalavra(QStringView sql, qsizetype &i, TTipoCon dialeto)
{
    const qsizetype n = sql.size();
    while (i < n) {
        if (sql[i].isSpace()) {
            ++i;
        } else if ((sql[i] == u'-' && i + 1 < n && sql[i + 1] == u'-') || (sql[i] == u'/' && i + 1 < n && sql[i + 1] == u'*')) {
            i = FimDeTrechoLiteral(sql, i, dialeto) + 1;
        } else {
            break;
        }
    }
    if (i >= n || !ComecaIdentificador(sql[i]))
        return QString();
    return sql.mid(i, FimDaPalavra(sql, i) - i).toString().toUpper();
}

qsizetype FimDoComando(QStringView sql, qsizetype i, TTipoCon dialeto)
{
    const qsizetype n = sql.size();
    qsizetype inicio = i;
    // A body of statements of its own ends at its END (the CASEs inside have theirs): a
    // server function written as BEGIN ATOMIC ... END, an SQLite trigger's BEGIN ... END.
    const bool criacao = PrimeiraPalavra(sql, inicio, dialeto) == QLatin1String("CREATE");
    const bool servidor = dialeto == tcPostgreSQL;
    int profundidade = 0;
    bool depoisDeBegin = false;
    for (qsizetype j = i; j < n; ++j) {
        const QChar c = sql[j];
        if (const qsizetype fim = FimDeTrechoLiteral(sql, j, dialeto); fim >= 0) {
            j = fim;
        } else if (c == u';' && profundidade == 0) {
            return j;
        } else if (criacao && ComecaIdentificador(c) && (j == 0 || !ContinuaIdentificador(sql[j - 1]))) {
            const qsizetype fim = FimDaPalavra(sql, j);
            const QStringView palavra = sql.mid(j, fim - j);
            const bool begin = palavra.compare(QLatin1String("BEGIN"), Qt::CaseInsensitive) == 0;
            if (servidor ? depoisDeBegin && palavra.compare(QLatin1String("ATOMIC"), Qt::CaseInsensitive) == 0
                         : begin && profundidade == 0)
                ++profundidade;
            else if (profundidade > 0 && palavra.compare(QLatin1String("CASE"), Qt::CaseInsensitive) == 0)
                ++profundidade;
            else if (profundidade > 0 && palavra.compare(QLatin1String("END"), Qt::CaseInsensitive) == 0)
                --profundidade;
            depoisDeBegin = begin;
            j = fim - 1;
        }
    }
    return n;
}

std::vector<TnTrechoComando> DividirComandos(QStringView sql, TTipoCon dialeto)
{
    std::vector<TnTrechoComando> r;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype inicio = i;
        QString palavra = PrimeiraPalavra(sql, inicio, dialeto);
        if (inicio >= n)
            break;
        if (sql[inicio] == u';') {
            i = inicio + 1;
            continue;
        }
        const qsizetype fim = FimDoComando(sql, inicio, dialeto);
        qsizetype ultimo = fim;
        while (ultimo > inicio && sql[ultimo - 1].isSpace())
            --ultimo;
        r.push_back({inicio, ultimo, std::move(palavra)});
        i = fim + 1;
    }
    return r;
}

bool EhControleDeTransacao(const QString &palavra)
{
    static const char *const palavras[] = {"BEGIN",  "START",  "COMMIT", "END",    "ROLLBACK",   "ABORT", "SAVEPOINT",
                                           "RELEASE", "VACUUM", "PRAGMA", "ATTACH", "DETACH", "CHECKPOINT", "COPY"};
    return std::any_of(std::begin(palavras), std::end(palavras), [&](const char *p) { return palavra == QLatin1String(p); });
}

bool EhComandoDeDados(const QString &palavra)
{
    static const char *const palavras[] = {"SELECT", "INSERT", "UPDATE", "DELETE", "WITH", "VALUES", "REPLACE"};
    return std::any_of(std::begin(palavras), std::end(palavras), [&](const char *p) { return palavra == QLatin1String(p); });
}

qsizetype CaractereInvalido(QStringView texto)
{
    const qsizetype n = texto.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = texto[i];
        if (c.unicode() == 0)
            return i;
        if (c.isHighSurrogate()) {
            if (i + 1 < n && texto[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            return i;
        }
        if (c.isLowSurrogate())
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------- statement shapes

namespace {

// What comes before a literal decides whether it is a value that a placeholder can take.
bool AceitaValor(const QString &anterior, bool texto)
{
    static const char *const sinais[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "(", ","};
    static const char *const aritmetica[] = {"+", "-", "*", "/", "%"};
    static const char *const palavras[] = {"AND", "OR", "NOT", "BETWEEN", "THEN", "ELSE", "WHEN", "LIKE", "WHERE"};
    const auto em = [&](const auto &lista) {
        return std::any_of(std::begin(lista), std::end(lista), [&](const char *p) { return anterior == QLatin1String(p); });
    };
    return em(sinais) || em(palavras) || (!texto && em(aritmetica));
}

bool EhSinal(QChar c) { return QStringView(u"<>=!|+-*/%").contains(c); }

} // namespace

bool FormaDoComando(QStringView sql, TTipoCon dialeto, QString &forma, std::vector<TnLiteralSQL> &literais,
                    QString &tipos)
{
    forma.clear();
    literais.clear();
    tipos.clear();
    qsizetype inicio = 0;
    const QString primeira = PrimeiraPalavra(sql, inicio, dialeto);
    if (primeira != QLatin1String("INSERT") && primeira != QLatin1String("UPDATE") && primeira != QLatin1String("DELETE"))
        return false;
    const bool pg = dialeto == tcPostgreSQL;
    const qsizetype n = sql.size();
    forma.reserve(n);
    QString anterior; // the last token: a word (upper case) or a sign
    const auto marcar = [&](TnLiteralSQL l, QChar tipo) {
        literais.push_back(std::move(l));
        tipos += tipo;
        if (pg) {
            forma += u'$';
            forma += QString::number(literais.size());
        } else {
            forma += u'?';
        }
        anterior = QStringLiteral("?");
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            forma += c;
            ++i;
        } else if (c == u'\'') {
            if (i > 0 && ContinuaIdentificador(sql[i - 1]))
                return false; // E'...', X'...' and the like
            const qsizetype fim = FimDeTrechoLiteral(sql, i, dialeto);
            if (fim >= n - 1 && sql[fim] != u'\'')
                return false;
            if (AceitaValor(anterior, true)) {
                TnLiteralSQL l;
                l.Tipo = TnLiteralSQL::Texto;
                l.S = sql.mid(i + 1, fim - i - 1).toString();
                l.S.replace(QLatin1String("''"), QLatin1String("'"));
                marcar(std::move(l), u't');
            } else {
                forma += sql.mid(i, fim - i + 1);
                anterior = QStringLiteral("'");
            }
            i = fim + 1;
        } else if (const qsizetype fim = FimDeTrechoLiteral(sql, i, dialeto); fim >= 0) {
            if (pg && c == u'$')
                return false; // a dollar-quoted body
            forma += sql.mid(i, fim - i + 1);
            if (c == u'"' || c == u'`' || c == u'[')
                anterior = QStringLiteral("nome");
            i = fim + 1;
        } else if (c == u'?' || c == u'$' || (c == u':' && i + 1 < n && (sql[i + 1] == u':' || ComecaIdentificador(sql[i + 1])))) {
            return false; // placeholders already, or a cast
        } else if (EhDigito(c) || (c == u'.' && i + 1 < n && EhDigito(sql[i + 1]))) {
            if (i > 0 && ContinuaIdentificador(sql[i - 1]))
                return false;
            qsizetype j = i;
            while (j < n && EhDigito(sql[j]))
                ++j;
            bool ponto = false, expoente = false;
            if (j < n && sql[j] == u'.') {
                ponto = true;
                ++j;
                while (j < n && EhDigito(sql[j]))
                    ++j;
            }
            if (j < n && (sql[j] == u'e' || sql[j] == u'E')) {
                expoente = true;
                ++j;
                if (j < n && (sql[j] == u'+' || sql[j] == u'-'))
                    ++j;
                while (j < n && EhDigito(sql[j]))
                    ++j;
            }
            if (j < n && ContinuaIdentificador(sql[j]))
                return false; // 0x1F and the like
            const QStringView numero = sql.mid(i, j - i);
            bool ok = !expoente && AceitaValor(anterior, false);
            TnLiteralSQL l;
            if (ok && !ponto) {
                l.I = numero.toLongLong(&ok);
            } else if (ok) {
                l.Tipo = TnLiteralSQL::Decimal;
                l.S = numero.toString();
            }
            if (ok) {
                marcar(std::move(l), ponto ? u'd' : u'i');
            } else {
                forma += numero;
                anterior = QStringLiteral("0");
            }
            i = j;
        } else if (ComecaIdentificador(c)) {
            const qsizetype fim = FimDaPalavra(sql, i);
            const QStringView palavra = sql.mid(i, fim - i);
            anterior = palavra.toString().toUpper();
            if (anterior == QLatin1String("CAST"))
                return false; // its type may hold numbers that are no values
            forma += palavra;
            i = fim;
        } else if (EhSinal(c)) {
            qsizetype j = i;
            while (j < n && EhSinal(sql[j]) && !(sql[j] == u'-' && j + 1 < n && sql[j + 1] == u'-'))
                ++j;
            if (j == i)
                ++j;
            anterior = sql.mid(i, j - i).toString();
            forma += sql.mid(i, j - i);
            i = j;
        } else {
            anterior = QString(c);
            forma += c;
            ++i;
        }
    }
    return !literais.empty();
}
