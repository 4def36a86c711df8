#include "shoptime.h"

#include <QDateTime>

namespace quillerby::demo::shoptime {

namespace {

// Howard Hinnant's days-from-civil: exact for the proleptic Gregorian calendar, no library calls.
qint64 daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(qint64 z, int& y, int& m, int& d) {
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

bool digits(QStringView t, qsizetype at, int count, int& value) {
    if (at + count > t.size())
        return false;
    value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = t[at + i];
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    return true;
}

void put(QByteArray& out, int value, int width) {
    char buf[8];
    for (int i = width - 1; i >= 0; --i) {
        buf[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(buf, width);
}

} // namespace

qint64 fromCivil(int year, int month, int day, int hour, int minute, int second) {
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

std::optional<qint64> parse(QStringView t) {
    int y, mo, d, h, mi, s;
    if (!digits(t, 0, 4, y) || t.size() < 19 || t[4] != u'-' || !digits(t, 5, 2, mo) || t[7] != u'-' ||
        !digits(t, 8, 2, d) || (t[10] != u'T' && t[10] != u't' && t[10] != u' ') || !digits(t, 11, 2, h) ||
        t[13] != u':' || !digits(t, 14, 2, mi) || t[16] != u':' || !digits(t, 17, 2, s))
        return std::nullopt;
    if (mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo) || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    qsizetype i = 19;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        const qsizetype start = i;
        while (i < t.size() && t[i] >= u'0' && t[i] <= u'9')
            ++i;
        if (i == start)
            return std::nullopt;
    }
    if (i < t.size()) {
        int oh, om;
        if (t[i] == u'Z' || t[i] == u'z') {
            ++i;
        } else if ((t[i] == u'+' || t[i] == u'-') && digits(t, i + 1, 2, oh)) {
            i += 3;
            if (i < t.size() && t[i] == u':' && digits(t, i + 1, 2, om))
                i += 3;
            else if (digits(t, i, 2, om))
                i += 2;
        } else {
            return std::nullopt;
        }
    }
    if (i != t.size())
        return std::nullopt;
    return fromCivil(y, mo, d, h, mi, s);
}

QByteArray format(qint64 seconds) {
    qint64 days = seconds / 86400;
    qint64 rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int y, m, d;
    civilFromDays(days, y, m, d);
    QByteArray out;
    out.reserve(19);
    put(out, y, 4);
    out += '-';
    put(out, m, 2);
    out += '-';
    put(out, d, 2);
    out += 'T';
    put(out, int(rest / 3600), 2);
    out += ':';
    put(out, int(rest / 60 % 60), 2);
    out += ':';
    put(out, int(rest % 60), 2);
    return out;
}

QByteArray formatDate(qint64 seconds) {
    return format(seconds).left(10);
}

qint64 now(int utcOffsetSeconds) {
    return QDateTime::currentSecsSinceEpoch() + utcOffsetSeconds;
}

} // namespace quillerby::demo::shoptime
