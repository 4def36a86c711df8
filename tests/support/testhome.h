#pragma once

#include "config/datamodule.h"
#include "db/databasesetup.h"

#include <QTemporaryDir>

namespace quillerby::testing {

// Private per-user and documents folders for one test.
struct TestHome {
    QTemporaryDir dir;
    DataModule dm{AppPaths::fromFolders(dir.path() + QStringLiteral("/home"), dir.path() + QStringLiteral("/Docs"))};

    // A configured embedded database, as `quillerby-cli setup --engine sqlite` leaves it, opened and with the
    // program settings read.
    bool setUp() {
        ConnectionParams p;
        p.engine = Engine::Sqlite;
        dm.saveConnectionParams(p);
        if (!testConnection(dm, p, true, [](NoticeKind, const QString&) {}).succeeded)
            return false;
        dm.readSettings();
        return true;
    }
};

} // namespace quillerby::testing
