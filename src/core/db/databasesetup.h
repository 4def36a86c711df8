#pragma once

#include "config/connectionconfig.h"

#include <QString>
#include <functional>

namespace quillerby {

class DataModule;

// How a message of a long operation should be shown; the caller (window or command line) decides the look.
enum class NoticeKind { Plain, Information, Warning, Error };
using Notify = std::function<void(NoticeKind kind, const QString& text)>;

struct ConnectionTestResult {
    bool succeeded = false;   // the database is reachable, created and up to date
    bool saveEnabled = false; // the local database opened and the account checks passed
    QString customerAccountName;
    QString childAccountName;
};

// The database connection test: rebuilds the three connections from `params`, opens the accounting database
// when the integration is on, creates the program's database when missing, checks the customer accounts,
// then runs the schema, copy-table and view scripts. Messages go to `notify` at the moment they arise, in
// order; a failure ends with an Error notice "Connection failed: \r" + the cause. With `wizard` set the
// success message is not sent.
ConnectionTestResult testConnection(DataModule& dm, const ConnectionParams& params, bool wizard,
                                    const Notify& notify);

} // namespace quillerby
