#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace quillerby::report {

// A report number format such as "%2.2n": minimum width, decimals, thousands grouping ("n"), or "f" for
// plain fixed decimals.
struct NumberFormat {
    int width = 0;
    int decimals = 2;
    bool grouped = true;

    // Parses "%W.Dn" / "%W.Df" / "%.Dn"; nullopt for anything else.
    static std::optional<NumberFormat> parse(const QString& text);
    // Formats `value`, rounding half away from zero, padding on the left to the width.
    QString apply(double value, QChar decimalSeparator = QLatin1Char('.'), QChar groupSeparator = QLatin1Char(',')) const;
};

} // namespace quillerby::report
