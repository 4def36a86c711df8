#pragma once

#include "config/programsettings.h"

#include <QString>

namespace quillerby {

class DataModule;

// The settings the user edits on the "Taxes & Numbers" page: stored in set000 and mirrored at once into the
// data module, so the rest of the program uses them without a restart. UI thread; raises Error on database
// failures (statements that ran before the failure stay done).
class SettingsService {
public:
    explicit SettingsService(DataModule& dm) : m_dm(dm) {}

    // The current values as the settings query returns them (missing rows come back empty).
    struct Values {
        QString thousands;
        QString digits;
        QString programWillProcessTax;
    };
    Values read() const;

    // true: the program applies its own taxes ("yes"); false: the shop's taxes are used ("no").
    void setProgramProcessesTax(bool program);

    enum class FormatCheck { Ok, BadSeparator, BadDigits };
    // The separator must be exactly "," or "."; the digits one character "0" to "9".
    static FormatCheck checkNumberFormat(const QString& separator, const QString& digits);
    // Stores both values (separator first) and updates the data module. Call after a passing check.
    void updateNumberFormat(const QString& separator, const QString& digits);

private:
    DataModule& m_dm;
};

} // namespace quillerby
