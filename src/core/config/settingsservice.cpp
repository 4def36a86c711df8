#include "config/settingsservice.h"

#include "config/datamodule.h"
#include "db/sqlexec.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace quillerby {

SettingsService::Values SettingsService::read() const {
    QSqlQuery q = execSql(m_dm.local(), m_dm.catalogue().statement(QStringLiteral("settings_query")));
    Values v;
    if (q.next()) {
        const QSqlRecord r = q.record();
        v.thousands = q.value(r.indexOf(QStringLiteral("thousands"))).toString();
        v.digits = q.value(r.indexOf(QStringLiteral("digitnum"))).toString();
        v.programWillProcessTax = q.value(r.indexOf(QStringLiteral("ProgramWillProcessTax"))).toString();
    }
    return v;
}

void SettingsService::setProgramProcessesTax(bool program) {
    const QString val = program ? QStringLiteral("yes") : QStringLiteral("no");
    execSql(m_dm.local(), m_dm.catalogue().statement(QStringLiteral("update_tax_processing")),
            {{QStringLiteral("val"), val}});
    m_dm.settings().programWillProcessTax = val;
}

SettingsService::FormatCheck SettingsService::checkNumberFormat(const QString& separator, const QString& digits) {
    if (separator != QLatin1String(",") && separator != QLatin1String("."))
        return FormatCheck::BadSeparator;
    if (digits.size() != 1 || !digits.at(0).isDigit() || digits.at(0).unicode() > '9')
        return FormatCheck::BadDigits;
    return FormatCheck::Ok;
}

void SettingsService::updateNumberFormat(const QString& separator, const QString& digits) {
    execSql(m_dm.local(), m_dm.catalogue().statement(QStringLiteral("update_thousands_separator")),
            {{QStringLiteral("val"), separator}});
    execSql(m_dm.local(), m_dm.catalogue().statement(QStringLiteral("update_decimal_digits")),
            {{QStringLiteral("val"), digits}});
    ProgramSettings& s = m_dm.settings();
    s.thousandsSeparator = separator.left(1);
    s.decimalDigits = static_cast<quint8>(digits.toInt());
    s.reportNumberFormat = ProgramSettings::reportFormatFor(s.decimalDigits);
}

} // namespace quillerby
