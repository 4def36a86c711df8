#pragma once

#include <QSqlDatabase>
#include <QString>

namespace quillerby {

class Catalogue;

// The program settings kept in set000, as the data module holds them for the run. Initial values apply
// until a read succeeds.
struct ProgramSettings {
    QString thousandsSeparator;   // at most one character
    quint8 decimalDigits = 0;     // digits after the decimal point of formatted amounts
    QString reportNumberFormat;   // "%2.<digits>n": width 2, that many decimals, grouped
    QString taxEnabled;           // at most 3 characters, kept for reference
    QString pricesIncludeTax;     // at most 3 characters, kept for reference
    QString programWillProcessTax; // "yes" when the program applies its own taxes

    static QString reportFormatFor(int digits) { return QStringLiteral("%2.%1n").arg(digits); }
};

// Runs the settings query and fills `settings` in a fixed order: digits (and the report format), separator,
// then the three tax switches. A missing row reads as NULL and raises Error at that field; the fields read
// before it keep their new values. A digit count that is not a whole number fails the whole read.
void readProgramSettings(const QSqlDatabase& db, const Catalogue& catalogue, ProgramSettings& settings);

} // namespace quillerby
