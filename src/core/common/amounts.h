#pragma once

#include <QChar>
#include <QString>

#include <optional>

namespace quillerby {

// The group and decimal separators of the user's regional settings.
struct RegionalSeparators {
    QChar group = QLatin1Char(',');
    QChar decimal = QLatin1Char('.');
    // From QLocale::system(); "," and "." where the system has none.
    static RegionalSeparators system();
};

// The program's one amount formatter: every amount it stores as text or shows goes through here, so the
// same amount always looks the same. Builds the picture "#" + thousandsSep + "##0" + decimalSep followed by
// decimalDigits times "0" and formats num by it; the separators written come from `regional`, never from
// the picture (whose "," only switches grouping on and whose first "." only marks the decimal point).
QString formatAmount(const QString& thousandsSep, const QString& decimalSep, int decimalDigits, double num,
                     const RegionalSeparators& regional);
// As above, with the system's regional separators.
QString formatAmount(const QString& thousandsSep, const QString& decimalSep, int decimalDigits, double num);

// Reads an amount back: the program's own formatted amounts (grouping included) and the shop's plain
// decimal texts. nullopt for anything that is not an amount (empty, letters, misplaced separators...).
// The database carries the same rule as a SQL function, so it stays locale-free and must change with it.
std::optional<double> parseAmount(const QString& text);

} // namespace quillerby
