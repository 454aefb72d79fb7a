#include "DataIso.h"

#include <algorithm>

bool LerDataIso(const char *s, int len, QDate &d, QTime &t)
{
    auto dig = [&](int pos, int cnt, int &v) {
        if (pos + cnt > len) return false;
        v = 0;
        for (int k = 0; k < cnt; ++k) {
            const char ch = s[pos + k];
            if (ch < '0' || ch > '9') return false;
            v = v * 10 + (ch - '0');
        }
        return true;
    };
    int y, mo, da;
    if (len < 10 || !dig(0, 4, y) || s[4] != '-' || !dig(5, 2, mo) || s[7] != '-' || !dig(8, 2, da))
        return false;
    d = QDate(y, mo, da);
    t = QTime(0, 0);
    if (len >= 19 && (s[10] == ' ' || s[10] == 'T')) {
        int h, mi, se, ms = 0;
        if (!dig(11, 2, h) || s[13] != ':' || !dig(14, 2, mi) || s[16] != ':' || !dig(17, 2, se))
            return false;
        if (len > 20 && s[19] == '.') {
            int cnt = std::min(3, len - 20);
            dig(20, cnt, ms);
            for (int k = cnt; k < 3; ++k) ms *= 10;
        }
        t = QTime(h, mi, se, ms);
    }
    return d.isValid();
}

int EscreverDataIso(char *buf, const QDate &d, const QTime *t)
{
    int y, m, dd;
    d.getDate(&y, &m, &dd);
    if (y < 0 || y > 9999)
        y = 0;
    auto dois = [](char *p, int v) { p[0] = char('0' + v / 10); p[1] = char('0' + v % 10); };
    buf[0] = char('0' + y / 1000); buf[1] = char('0' + y / 100 % 10); buf[2] = char('0' + y / 10 % 10); buf[3] = char('0' + y % 10);
    buf[4] = '-'; dois(buf + 5, m); buf[7] = '-'; dois(buf + 8, dd);
    if (!t)
        return 10;
    buf[10] = ' '; dois(buf + 11, t->hour()); buf[13] = ':'; dois(buf + 14, t->minute()); buf[16] = ':';
    dois(buf + 17, t->second());
    if (!t->msec())
        return 19;
    const int ms = t->msec();
    buf[19] = '.'; buf[20] = char('0' + ms / 100); buf[21] = char('0' + ms / 10 % 10); buf[22] = char('0' + ms % 10);
    return 23;
}

QString TextoIso(const QDate &d, const QTime *t)
{
    char buf[32];
    return QString::fromLatin1(buf, EscreverDataIso(buf, d, t));
}
