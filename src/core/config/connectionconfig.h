#pragma once

#include <QString>

namespace quillerby {

enum class Engine { Sqlite, MsSql };

QString engineName(Engine engine);

// Where the program keeps its per-user files. Both folders can be overridden (command line, tests).
struct AppPaths {
    QString appDataFolder;   // per-user folder, ending with the platform's separator; empty if unknown
    QString documentsFolder; // the user's documents folder without a trailing separator; empty if unknown

    // Windows: the roaming application-data folder + "brantlow"; elsewhere $XDG_CONFIG_HOME (else
    // ~/.config) + "brantlow". Documents from the platform's known folder.
    static AppPaths system();
    // Builds paths from explicit folders: `home` is the per-user folder itself.
    static AppPaths fromFolders(const QString& home, const QString& documents);

    QString configFile() const;          // appDataFolder + "config.ini"
    QString defaultDatabaseFile() const; // appDataFolder + "qv000.db"
};

// The values of config.ini's "Connection" section. Integers keep the file's meaning: non-zero is true.
struct ConnectionParams {
    QString server;
    QString database; // the accounting database; never the program's own
    QString username;
    QString password; // clear text in memory, Base64 of its UTF-8 bytes in the file
    QString shippingAccount;
    QString customerAccount;
    QString customerChildAccount;
    int windowsAuth = 0; // 0 = Windows login, 1 = SQL Server login
    int cbUnique = 0;
    int cbIsIntegrated = 0;

    Engine engine = Engine::MsSql; // absent key means SQL Server: files of older versions keep working
    QString databaseFile;          // SQLite: the program's database file; empty = default location
    QString odbcDriver;            // SQL Server: ODBC driver name; empty = platform default (read only)

    // Optional keys of the shop and network layer (read only; the user adds them by hand).
    QString relayUrl;                // empty = the built-in relay
    bool acceptUntrustedCertificates = false;
    int requestTimeoutSeconds = 60;
    QString serverBrowseAddress;     // SQL Server Browser target; empty = broadcast
};

QString defaultOdbcDriver();

// Reads config.ini. Outputs whose keys are governed by a flag that says "not stored" keep the values the
// caller passed in. A missing file reads as all keys absent. Raises Error when the file cannot be read.
void loadConnectionParams(const QString& configFile, ConnectionParams& params);

// Creates the folder (with parents) and writes the keys in their fixed order; keys it does not write keep
// what the file held. Raises Error when the folder or the file cannot be written.
void saveConnectionParams(const QString& appDataFolder, const ConnectionParams& params);

QString encodePassword(const QString& password);
QString decodePassword(const QString& stored);

} // namespace quillerby
