#pragma once
// A text literal written in a loaded library (QStringLiteral, u""_s) keeps pointing into that
// library's read-only data, and so does every copy of it. Whatever the framework keeps
// beyond the life of a library (names, variable values, shown messages) is stored as its own
// copy, made here.
#include <QString>
#include <QStringList>

inline QString TextoProprio(const QString &s)
{
    return s.isNull() ? QString() : QString(s.constData(), s.size());
}

inline QStringList TextoProprio(const QStringList &l)
{
    QStringList r;
    r.reserve(l.size());
    for (const QString &s : l)
        r.append(TextoProprio(s));
    return r;
}
