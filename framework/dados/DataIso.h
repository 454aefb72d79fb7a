#pragma once
// Dates as the engines store and take them: "YYYY-MM-DD[ HH:MM:SS[.zzz]]", read and written
// without string objects or time-zone work.
#include <QDate>
#include <QString>
#include <QTime>

// Fast parse of "YYYY-MM-DD[ HH:MM:SS[.zzz]]" (also with "T"); false on anything else.
bool LerDataIso(const char *s, int len, QDate &d, QTime &t);
// "YYYY-MM-DD", and " HH:MM:SS[.zzz]" when a time is given, into `buf` (at least 24 bytes);
// answers the length written.
int EscreverDataIso(char *buf, const QDate &d, const QTime *t);
// The same text as a string, for a driver that takes parameters as QVariants.
QString TextoIso(const QDate &d, const QTime *t);
