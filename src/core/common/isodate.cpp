#include "common/isodate.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

namespace quillerby {

std::optional<QString> normaliseIsoDateTime(const QString& text) {
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})(?:[T ](\\d{2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,9}))?)?)?\\s*(Z|[+-]\\d{2}:?\\d{2})?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const int hour = m.captured(4).isEmpty() ? 0 : m.captured(4).toInt();
    const int minute = m.captured(5).isEmpty() ? 0 : m.captured(5).toInt();
    const int second = m.captured(6).isEmpty() ? 0 : m.captured(6).toInt();
    const QString fraction = m.captured(7).left(3).leftJustified(m.captured(7).isEmpty() ? 0 : 3, QLatin1Char('0'));
    const QTime time(hour, minute, second, fraction.isEmpty() ? 0 : fraction.toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    QDateTime dt(date, time, Qt::UTC);
    const QString zone = m.captured(8);
    if (!zone.isEmpty() && zone != QLatin1String("Z")) {
        const int sign = zone.startsWith(QLatin1Char('-')) ? -1 : 1;
        const QString digits = QString(zone).remove(QLatin1Char(':'));
        const int offset = sign * (digits.mid(1, 2).toInt() * 3600 + digits.mid(3, 2).toInt() * 60);
        dt = dt.addSecs(-offset);
    }
    QString out = dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!fraction.isEmpty())
        out += QLatin1Char('.') + fraction;
    return out;
}

QString toServerDateTime(const QString& normalised) {
    QString s = normalised;
    if (s.size() > 10 && s.at(10) == QLatin1Char(' '))
        s[10] = QLatin1Char('T');
    return s;
}

} // namespace quillerby
