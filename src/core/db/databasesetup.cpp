#include "db/databasesetup.h"

#include "common/error.h"
#include "config/datamodule.h"
#include "db/schema.h"
#include "db/sqlexec.h"

#include <QCoreApplication>

namespace quillerby {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("DatabaseSetup", text); }

// An account code is compared as a number, as the accounting system's codes are numeric; a code that is
// not a number fails the check the way the server's conversion would, instead of being spliced into SQL.
QVariant numericCode(const QString& code) {
    bool ok = false;
    const qlonglong n = code.trimmed().toLongLong(&ok);
    if (ok)
        return n;
    const double d = code.trimmed().toDouble(&ok);
    if (ok)
        return d;
    throw Error(QStringLiteral("Conversion failed when converting the value '%1' to a number.").arg(code));
}

// Returns the account's name, or an empty text (after a notice) when no account has that code.
QString lookUpAccount(const QSqlDatabase& accounting, const QString& code, const Notify& notify) {
    const QVariant number = numericCode(code);
    const int count =
        scalar(accounting, QStringLiteral("select count(*) as cc from ac000 where code = :code"),
               {{QStringLiteral("code"), number}})
            .toInt();
    if (count == 0) {
        notify(NoticeKind::Plain, tr("there is no account with code ") + code);
        return {};
    }
    return scalar(accounting, QStringLiteral("select name  from ac000 where code = :code"),
                  {{QStringLiteral("code"), code}})
        .toString();
}

} // namespace

ConnectionTestResult testConnection(DataModule& dm, const ConnectionParams& params, bool wizard,
                                    const Notify& notify) {
    ConnectionTestResult result;
    try {
        dm.configure(params);
        const bool integrated = params.cbIsIntegrated != 0;
        if (integrated)
            dm.open(ConnectionRole::Accounting);
        const SchemaInstaller schema(dm.catalogue());
        dm.open(ConnectionRole::Master);
        schema.createDatabase(dm.master());
        dm.open(ConnectionRole::Local, true);

        if (params.cbUnique != 0) {
            if (params.customerAccount.isEmpty()) {
                notify(NoticeKind::Plain, tr("customer account cannot be empty"));
                return result;
            }
            // The check reads the accounting database even while the integration switch is off.
            if (!integrated)
                dm.open(ConnectionRole::Accounting);
            result.customerAccountName = lookUpAccount(dm.accounting(), params.customerAccount, notify);
            if (!params.customerChildAccount.isEmpty())
                result.childAccountName = lookUpAccount(dm.accounting(), params.customerChildAccount, notify);
        }

        if (!wizard) {
            if (params.cbUnique != 0)
                notify(NoticeKind::Information, tr("Successfully connected...\r\ncustomer account will be ") +
                                                    result.customerAccountName + QStringLiteral("\r\n") +
                                                    tr("Child customers account will be ") +
                                                    result.childAccountName);
            else
                notify(NoticeKind::Information, tr("Successfully connected...\r\n"));
        }
        result.saveEnabled = true;

        schema.installSchema(dm.local(), dm.myDocumentsPath());
        if (integrated)
            schema.installCopyTables(dm.accounting());
        schema.createMonthTotalsView(dm.local(), false);
        schema.createReturnCustomerView(dm.local());
        result.succeeded = true;
    } catch (const Error& e) {
        notify(NoticeKind::Error, tr("Connection failed: \r") + e.message());
        result.succeeded = false;
    }
    return result;
}

} // namespace quillerby
