#include "TextoSQL.h"

#include <algorithm>

int FimDeTrechoLiteral(const QString &sql, int i)
{
    const int n = int(sql.size());
    const QChar c = sql[i];
    if (c == '\'' || c == '"') {
        int j = i + 1;
        while (j < n) {
            if (sql[j] == c) {
                if (j + 1 < n && sql[j + 1] == c) { j += 2; continue; }
                break;
            }
            ++j;
        }
        return std::min(j, n - 1);
    }
    if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
        const int j = int(sql.indexOf('\n', i));
        return j < 0 ? n - 1 : j;
    }
    if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
        const int j = int(sql.indexOf(QLatin1String("*/"), i + 2));
        return j < 0 ? n - 1 : j + 1;
    }
    return -1;
}

// Rewrites ":nome" placeholders as "?" and lists the names by position. Quoted text,
// quoted identifiers, comments and PostgreSQL "::" casts are left as they are. Plain "?"
// placeholders count as unnamed positions.
QString ConverterParametros(const QString &sql, QStringList &nomes, int &total)
{
    QString out;
    out.reserve(sql.size());
    total = 0;
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (const int fim = FimDeTrechoLiteral(sql, i); fim >= 0) {
            out += QStringView(sql).mid(i, fim - i + 1);
            i = fim;
        } else if (c == ':' && i + 1 < n && sql[i + 1] == ':') {
            out += QLatin1String("::");
            ++i;
        } else if (c == ':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == '_')) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == '_')) ++j;
            nomes.append(sql.mid(i + 1, j - i - 1));
            ++total;
            out += '?';
            i = j - 1;
        } else if (c == '?') {
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

// Splits a text of several statements at the ";" that end them (not inside quotes or
// comments); blank pieces are dropped.
QStringList DividirComandos(const QString &sql)
{
    QStringList partes;
    QString atual;
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (const int fim = FimDeTrechoLiteral(sql, i); fim >= 0) {
            atual += QStringView(sql).mid(i, fim - i + 1);
            i = fim;
        } else if (c == ';') {
            if (!atual.trimmed().isEmpty()) partes << atual.trimmed();
            atual.clear();
        } else {
            atual += c;
        }
    }
    if (!atual.trimmed().isEmpty()) partes << atual.trimmed();
    return partes;
}
