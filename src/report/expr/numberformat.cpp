#include "expr/numberformat.h"

#include <QRegularExpression>
#include <cmath>

namespace quillerby::report {

std::optional<NumberFormat> NumberFormat::parse(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^%(\\d*)\\.(\\d+)([nNfF])$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    NumberFormat f;
    f.width = m.captured(1).isEmpty() ? 0 : m.captured(1).toInt();
    f.decimals = qBound(0, m.captured(2).toInt(), 15);
    f.grouped = m.captured(3).compare(QLatin1String("n"), Qt::CaseInsensitive) == 0;
    return f;
}

QString NumberFormat::apply(double value, QChar decimalSeparator, QChar groupSeparator) const {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale; // std::round rounds halves away from zero
    QString digits = QString::number(std::fabs(rounded), 'f', decimals);
    QString intPart = digits.section(QLatin1Char('.'), 0, 0);
    const QString fraction = decimals > 0 ? digits.section(QLatin1Char('.'), 1, 1) : QString();
    if (grouped)
        for (int i = intPart.size() - 3; i > 0; i -= 3)
            intPart.insert(i, groupSeparator);
    QString out = intPart;
    if (decimals > 0)
        out += decimalSeparator + fraction;
    if (rounded < 0)
        out.prepend(QLatin1Char('-'));
    return out.rightJustified(width, QLatin1Char(' '));
}

} // namespace quillerby::report
