#include "core/common/amounts.h"

#include <QLocale>
#include <QStringView>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace quillerby {

RegionalSeparators RegionalSeparators::system() {
    const QLocale locale = QLocale::system();
    RegionalSeparators separators;
    // Qt 6 hands the separators out as strings; an empty one means the system defines none.
    const QString group = locale.groupSeparator();
    const QString decimal = locale.decimalPoint();
    if (!group.isEmpty() && !group.at(0).isNull())
        separators.group = group.at(0);
    if (!decimal.isEmpty() && !decimal.at(0).isNull())
        separators.decimal = decimal.at(0);
    return separators;
}

namespace {

// A number picture split at its decimal point. Each section is a run of digit places and literal
// characters in picture order; "," is not kept as an item because it only switches grouping on.
struct Picture {
    struct Item {
        bool digitPlace = false;
        bool required = false; // "0" rather than "#"
        QChar literal;
    };
    std::vector<Item> integer;
    std::vector<Item> decimals;
    bool grouping = false;

    static int digitPlaces(const std::vector<Item>& section) {
        return int(std::count_if(section.begin(), section.end(), [](const Item& i) { return i.digitPlace; }));
    }
};

Picture parsePicture(QStringView text) {
    Picture picture;
    bool inDecimals = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('.')) {
            // Only the first "." is the decimal point; with "." as thousands separator this is what turns
            // "##0" into decimal places, and the later "." is then dropped.
            inDecimals = true;
            continue;
        }
        if (c == QLatin1Char(',')) {
            picture.grouping = true;
            continue;
        }
        Picture::Item item;
        if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            item.digitPlace = true;
            item.required = c == QLatin1Char('0');
        } else {
            item.literal = c;
        }
        (inDecimals ? picture.decimals : picture.integer).push_back(item);
    }
    return picture;
}

// The digits of |num| * 10^decimals after rounding, without leading zeros ("" when that is zero).
// Rounding works on the 18 significant digits of the decimal rendering, not on the exact binary value, and
// never uses more than 17 of them: this keeps 2.675 at 2.67 (it is stored just below) while 1000.005,
// whose eighteenth digit already reads as an exact half, goes up.
std::string roundedScaledDigits(double num, int decimals) {
    char buffer[64];
    const auto rendered =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(num), std::chars_format::scientific, 17);
    const std::string_view text(buffer, std::size_t(rendered.ptr - buffer)); // d.ddddddddddddddddde±xx

    const std::size_t ePos = text.find('e');
    std::string digits;
    for (std::size_t i = 0; i < ePos; ++i) {
        if (text[i] != '.')
            digits.push_back(text[i]);
    }
    if (digits.find_first_not_of('0') == std::string::npos)
        return {};

    std::string_view exponentText = text.substr(ePos + 1);
    const bool negativeExponent = exponentText.front() == '-';
    exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    if (negativeExponent)
        exponent = -exponent;

    // Significant digits needed down to the last decimal place, and those actually taken.
    const long long wanted = static_cast<long long>(exponent) + 1 + decimals;
    if (wanted < 0)
        return {};
    const std::size_t kept = std::size_t(std::min<long long>(wanted, 17));

    std::string scaled = digits.substr(0, kept);
    if (digits[kept] >= '5') {
        std::size_t i = scaled.size();
        while (i > 0 && scaled[i - 1] == '9')
            scaled[--i] = '0';
        if (i == 0)
            scaled.insert(scaled.begin(), '1');
        else
            ++scaled[i - 1];
    }
    if (scaled.empty())
        return {};
    scaled.append(std::size_t(wanted - static_cast<long long>(kept)), '0');
    return scaled;
}

QString formatByPicture(const Picture& picture, double num, const RegionalSeparators& regional) {
    const int integerPlaces = Picture::digitPlaces(picture.integer);
    const int decimalPlaces = Picture::digitPlaces(picture.decimals);

    const std::string scaled = roundedScaledDigits(num, decimalPlaces);
    const bool negative = std::signbit(num) && !scaled.empty();

    std::string integerDigits;
    std::string decimalDigits;
    if (scaled.size() > std::size_t(decimalPlaces)) {
        integerDigits = scaled.substr(0, scaled.size() - decimalPlaces);
        decimalDigits = scaled.substr(scaled.size() - decimalPlaces);
    } else {
        decimalDigits = std::string(decimalPlaces - scaled.size(), '0') + scaled;
    }

    // Leading zeros as far left as the leftmost "0" place reaches. The units place always shows a digit,
    // "#" or not: with "." as thousands separator the integer section is a lone "#", and an amount must
    // not start with a bare decimal separator.
    std::size_t minimumDigits = integerPlaces > 0 ? 1 : 0;
    {
        int fromRight = integerPlaces;
        for (const auto& item : picture.integer) {
            if (!item.digitPlace)
                continue;
            --fromRight;
            if (item.required)
                minimumDigits = std::max(minimumDigits, std::size_t(fromRight) + 1);
        }
    }
    if (integerDigits.size() < minimumDigits)
        integerDigits.insert(0, minimumDigits - integerDigits.size(), '0');
    const int written = int(integerDigits.size());

    QString out;
    if (negative)
        out += QLatin1Char('-');

    // Digit k counts from the right, starting at 0. The first digit place takes every digit the picture
    // has no room for.
    auto putIntegerDigit = [&](int k) {
        out += QLatin1Char(integerDigits[std::size_t(written - 1 - k)]);
        if (picture.grouping && k > 0 && k % 3 == 0)
            out += regional.group;
    };
    if (integerPlaces == 0) {
        for (int k = written - 1; k >= 0; --k)
            putIntegerDigit(k);
    }
    int place = 0;
    for (const auto& item : picture.integer) {
        if (!item.digitPlace) {
            out += item.literal;
            continue;
        }
        const int k = integerPlaces - 1 - place;
        for (int d = place == 0 ? written - 1 : k; d >= k; --d) {
            if (d < written)
                putIntegerDigit(d);
        }
        ++place;
    }

    // Decimal places up to the last "0" always show; "#" places after it only up to the last non-zero
    // digit, so a zero between two shown digits still shows.
    int shown = 0;
    {
        int index = 0;
        for (const auto& item : picture.decimals) {
            if (!item.digitPlace)
                continue;
            if (item.required || decimalDigits[std::size_t(index)] != '0')
                shown = index + 1;
            ++index;
        }
    }
    int index = 0;
    for (const auto& item : picture.decimals) {
        if (!item.digitPlace) {
            out += item.literal;
            continue;
        }
        if (index < shown) {
            if (index == 0)
                out += regional.decimal;
            out += QLatin1Char(decimalDigits[std::size_t(index)]);
        }
        ++index;
    }
    return out;
}

bool allAsciiDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

} // namespace

QString formatAmount(const QString& thousandsSep, const QString& decimalSep, int decimalDigits, double num,
                     const RegionalSeparators& regional) {
    if (std::isnan(num))
        return QStringLiteral("NAN");
    if (std::isinf(num))
        return num < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    const QString picture = QLatin1Char('#') + thousandsSep + QLatin1String("##0") + decimalSep +
                            QString(std::max(decimalDigits, 0), QLatin1Char('0'));
    return formatByPicture(parsePicture(picture), num, regional);
}

QString formatAmount(const QString& thousandsSep, const QString& decimalSep, int decimalDigits, double num) {
    return formatAmount(thousandsSep, decimalSep, decimalDigits, num, RegionalSeparators::system());
}

std::optional<double> parseAmount(const QString& text) {
    // Spaces only, as SQL's TRIM does, so that this and the database's copy of the rule agree.
    QStringView s(text);
    while (!s.isEmpty() && s.front() == QLatin1Char(' '))
        s = s.mid(1);
    while (!s.isEmpty() && s.back() == QLatin1Char(' '))
        s.chop(1);

    bool negative = false;
    if (!s.isEmpty() && (s.front() == QLatin1Char('-') || s.front() == QLatin1Char('+'))) {
        negative = s.front() == QLatin1Char('-');
        s = s.mid(1);
    }

    const QChar comma = QLatin1Char(',');
    const QChar dot = QLatin1Char('.');
    const qsizetype lastComma = s.lastIndexOf(comma);
    const qsizetype lastDot = s.lastIndexOf(dot);
    QChar decimal; // null: none
    QChar group;
    if (lastComma >= 0 && lastDot >= 0) {
        decimal = lastComma > lastDot ? comma : dot;
        group = lastComma > lastDot ? dot : comma;
    } else if (lastComma >= 0) {
        // "1,234" is our own grouped thousand; "0,5" or "12,50" is a decimal comma.
        const QStringView after = s.mid(lastComma + 1);
        if (s.count(comma) > 1 || (after.size() == 3 && allAsciiDigits(after)))
            group = comma;
        else
            decimal = comma;
    } else if (lastDot >= 0) {
        if (s.count(dot) > 1)
            group = dot;
        else
            decimal = dot;
    }

    QStringView integerPart = s;
    QStringView fraction;
    if (!decimal.isNull()) {
        const qsizetype at = s.lastIndexOf(decimal);
        integerPart = s.left(at);
        fraction = s.mid(at + 1);
    }
    if (integerPart.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    if (!allAsciiDigits(fraction))
        return std::nullopt;

    std::string number;
    if (negative)
        number.push_back('-');
    if (!group.isNull() && integerPart.contains(group)) {
        const auto groups = integerPart.split(group);
        for (qsizetype i = 0; i < groups.size(); ++i) {
            const QStringView g = groups.at(i);
            const bool sizeOk = i == 0 ? (g.size() >= 1 && g.size() <= 3) : g.size() == 3;
            if (!sizeOk || !allAsciiDigits(g))
                return std::nullopt;
            number += g.toLatin1().toStdString();
        }
    } else {
        if (!allAsciiDigits(integerPart))
            return std::nullopt;
        number += integerPart.isEmpty() ? std::string("0") : integerPart.toLatin1().toStdString();
    }
    if (!fraction.isEmpty()) {
        number.push_back('.');
        number += fraction.toLatin1().toStdString();
    }

    double value = 0;
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != number.data() + number.size())
        return std::nullopt;
    // "-0" reads as plain zero: a signed zero would only resurface as a stray sign somewhere else.
    return value == 0 ? 0.0 : value;
}

} // namespace quillerby
