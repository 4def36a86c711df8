#pragma once

#include "config/connectionconfig.h"
#include "config/programsettings.h"
#include "db/catalogue.h"

#include <QSqlDatabase>
#include <memory>

namespace quillerby {

enum class ConnectionRole { Accounting, Master, Local };

// The application context: per-user paths, the configuration, the three database connections and the
// program settings for the whole run. Created in main() (or a test) and handed to every service and window.
// Lives on the UI thread; its connections must only be used from that thread.
class DataModule {
public:
    explicit DataModule(AppPaths paths);
    ~DataModule();
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;

    const AppPaths& paths() const { return m_paths; }
    // The documents folder without a trailing separator (empty when the system cannot name it).
    QString myDocumentsPath() const { return m_paths.documentsFolder; }
    QString configFile() const { return m_paths.configFile(); }
    bool configExists() const;

    void loadConnectionParams(ConnectionParams& params) const;
    void saveConnectionParams(const ConnectionParams& params) const;
    // What the configuration file holds now; the defaults when it is missing or cannot be read (for the
    // optional keys a window or worker needs, where an unreadable file is reported elsewhere).
    ConnectionParams storedParamsOrDefaults() const;

    // The parameters the connections were last built from.
    const ConnectionParams& params() const { return m_params; }
    Engine engine() const { return m_params.engine; }
    const Catalogue& catalogue() const { return *m_catalogue; }

    // Closes all three connections and rebuilds their parameters; they open again with open().
    void configure(const ConnectionParams& params);
    // Opens one connection. `createIfMissing` lets the embedded engine create the local database file
    // (creating the database); otherwise a missing file is an error, as a missing database is on a server.
    void open(ConnectionRole role, bool createIfMissing = false);
    QSqlDatabase connection(ConnectionRole role) const;
    QSqlDatabase local() const { return connection(ConnectionRole::Local); }
    QSqlDatabase accounting() const { return connection(ConnectionRole::Accounting); }
    QSqlDatabase master() const { return connection(ConnectionRole::Master); }
    void closeConnections();

    // SQLite files behind the local and accounting connections.
    QString localDatabaseFile() const;
    QString accountingDatabaseFile() const;
    // The ODBC connection string of a SQL Server connection to `database` (without user and password,
    // which go through the driver's own fields).
    static QString odbcConnectionString(const ConnectionParams& params, const QString& database);

    // A separate connection of the same database for a worker thread (connections belong to one thread).
    // Created and used on that thread; closed and removed when the object goes. Raises Error when the
    // database cannot be opened.
    class ThreadConnection {
    public:
        ThreadConnection(const DataModule& dm, ConnectionRole role);
        ~ThreadConnection();
        ThreadConnection(const ThreadConnection&) = delete;
        ThreadConnection& operator=(const ThreadConnection&) = delete;
        QSqlDatabase db() const;

    private:
        QString m_name;
    };

    // Start-up steps after the configuration file exists: read it, open the accounting connection when the
    // integration is on, open the local connection, read the program settings. Raises Error on the first
    // failure; what was opened or read before it stays.
    void openAtStartup();

    // A shop date ("2024-03-05T17:42:09", zone optional) as a parameter for a date-time column of this
    // engine; raises Error naming `member` when it is not an ISO 8601 date.
    QVariant dateParameter(const QString& shopText, const QString& member) const;
    // A date-time read back from the database as "yyyy-mm-dd HH:nn:ss" (no fraction), the form of the
    // shop's "modified_after" filter.
    static QString filterDateText(const QVariant& value);

    bool isIntegratedWithAlameen() const { return m_integrated; }
    ProgramSettings& settings() { return m_settings; }
    const ProgramSettings& settings() const { return m_settings; }
    void readSettings();

    // An amount formatted with the program's separator and digits, for showing (regional separators).
    QString formatAmount(double value) const;
    // The same amount as it is stored in the database: "," grouping and "." decimals whatever the machine's
    // regional settings, so that every later sum reads it back the same way.
    QString formatStoredAmount(double value) const;

private:
    QString connectionName(ConnectionRole role) const;

    AppPaths m_paths;
    ConnectionParams m_params;
    std::unique_ptr<Catalogue> m_catalogue;
    ProgramSettings m_settings;
    bool m_integrated = false;
    QString m_prefix;
};

} // namespace quillerby
