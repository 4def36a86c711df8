#include "config/programsettings.h"

#include "common/error.h"
#include "db/catalogue.h"
#include "db/sqlexec.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace quillerby {

namespace {
QString nullError(const QString& column) {
    return QStringLiteral("The program setting \"%1\" is missing (NULL) in set000.").arg(column);
}
} // namespace

void readProgramSettings(const QSqlDatabase& db, const Catalogue& catalogue, ProgramSettings& s) {
    QSqlQuery q = execSql(db, catalogue.statement(QStringLiteral("settings_query")));
    if (!q.next())
        throw Error(QStringLiteral("The settings query returned no row."));
    const QSqlRecord r = q.record();
    const auto column = [&](const char* name) { return q.value(r.indexOf(QLatin1String(name))); };

    // A digit count that is not a whole number makes SQL Server's CAST fail the query itself, before any
    // field is assigned; SQLite hands back the text, so the same check happens here.
    const QVariant digits = column("digitnum");
    bool ok = true;
    const int digitCount = digits.isNull() ? 0 : digits.toString().trimmed().toInt(&ok);
    if (!ok)
        throw Error(QStringLiteral("Conversion failed when converting the value '%1' to data type int.")
                        .arg(digits.toString()));

    if (digits.isNull())
        throw Error(nullError(QStringLiteral("digitnum")));
    s.decimalDigits = static_cast<quint8>(digitCount);
    s.reportNumberFormat = ProgramSettings::reportFormatFor(s.decimalDigits);

    const QVariant thousands = column("thousands");
    if (thousands.isNull())
        throw Error(nullError(QStringLiteral("thousands")));
    s.thousandsSeparator = thousands.toString().left(1);

    const struct {
        const char* column;
        QString* field;
    } switches[] = {{"taxEnabled", &s.taxEnabled},
                    {"PriceIncludeTax", &s.pricesIncludeTax},
                    {"ProgramWillProcessTax", &s.programWillProcessTax}};
    for (const auto& sw : switches) {
        const QVariant v = column(sw.column);
        if (v.isNull())
            throw Error(nullError(QLatin1String(sw.column)));
        *sw.field = v.toString().left(3);
    }
}

} // namespace quillerby
