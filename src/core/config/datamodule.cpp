#include "config/datamodule.h"

#include "common/amounts.h"
#include "common/error.h"
#include "common/isodate.h"
#include "db/sqlitefunctions.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>

namespace quillerby {

namespace {
QAtomicInt g_instances;

// ODBC attribute values with separators or braces must be wrapped in braces, inner "}" doubled.
QString odbcValue(const QString& v) {
    if (!v.contains(QRegularExpression(QStringLiteral("[;{}=\\s]"))))
        return v;
    QString e = v;
    e.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + e + QLatin1Char('}');
}

QString sqlError(const QSqlError& e) {
    const QString t = e.databaseText().trimmed().isEmpty() ? e.text() : e.databaseText().trimmed();
    return t.isEmpty() ? QStringLiteral("The database could not be opened.") : t;
}
} // namespace

DataModule::DataModule(AppPaths paths)
    : m_paths(std::move(paths)), m_catalogue(std::make_unique<Catalogue>(m_params.engine)),
      m_prefix(QStringLiteral("quillerby-%1-").arg(g_instances.fetchAndAddRelaxed(1))) {}

DataModule::~DataModule() {
    closeConnections();
    for (auto role : {ConnectionRole::Accounting, ConnectionRole::Master, ConnectionRole::Local})
        QSqlDatabase::removeDatabase(connectionName(role));
}

bool DataModule::configExists() const { return QFileInfo::exists(configFile()); }

void DataModule::loadConnectionParams(ConnectionParams& params) const {
    quillerby::loadConnectionParams(configFile(), params);
}

ConnectionParams DataModule::storedParamsOrDefaults() const {
    ConnectionParams p;
    try {
        loadConnectionParams(p);
    } catch (const Error&) {
        p = ConnectionParams();
    }
    return p;
}

void DataModule::saveConnectionParams(const ConnectionParams& params) const {
    quillerby::saveConnectionParams(m_paths.appDataFolder, params);
}

QString DataModule::connectionName(ConnectionRole role) const {
    switch (role) {
    case ConnectionRole::Accounting:
        return m_prefix + QStringLiteral("accounting");
    case ConnectionRole::Master:
        return m_prefix + QStringLiteral("master");
    case ConnectionRole::Local:
        break;
    }
    return m_prefix + QStringLiteral("local");
}

QSqlDatabase DataModule::connection(ConnectionRole role) const {
    return QSqlDatabase::database(connectionName(role), false);
}

void DataModule::closeConnections() {
    for (auto role : {ConnectionRole::Accounting, ConnectionRole::Master, ConnectionRole::Local}) {
        QSqlDatabase db = connection(role);
        if (db.isValid() && db.isOpen())
            db.close();
    }
}

QString DataModule::localDatabaseFile() const {
    return m_params.databaseFile.isEmpty() ? m_paths.defaultDatabaseFile()
                                           : QDir::toNativeSeparators(m_params.databaseFile);
}

QString DataModule::accountingDatabaseFile() const {
    if (m_params.database.isEmpty())
        return {};
    if (QDir::isAbsolutePath(m_params.database))
        return QDir::toNativeSeparators(m_params.database);
    // A bare name lives beside the program's own database file.
    return QDir::toNativeSeparators(QFileInfo(localDatabaseFile()).absolutePath() + QLatin1Char('/') +
                                    m_params.database);
}

QString DataModule::odbcConnectionString(const ConnectionParams& p, const QString& database) {
    const QString driver = p.odbcDriver.isEmpty() ? defaultOdbcDriver() : p.odbcDriver;
    QStringList parts;
    parts << QStringLiteral("DRIVER={%1}").arg(QString(driver).replace(QLatin1Char('}'), QStringLiteral("}}")));
    parts << QStringLiteral("SERVER=%1").arg(odbcValue(p.server));
    parts << QStringLiteral("DATABASE=%1").arg(odbcValue(database));
    if (driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive))
        parts << QStringLiteral("ClientCharset=UTF-8") << QStringLiteral("TDS_Version=7.4");
    parts << QStringLiteral("Encrypt=no") << QStringLiteral("TrustServerCertificate=yes");
    if (p.windowsAuth == 0)
        parts << QStringLiteral("Trusted_Connection=yes");
    return parts.join(QLatin1Char(';')) + QLatin1Char(';');
}

void DataModule::configure(const ConnectionParams& params) {
    closeConnections();
    if (!m_catalogue || m_catalogue->engine() != params.engine)
        m_catalogue = std::make_unique<Catalogue>(params.engine);
    m_params = params;
    for (auto role : {ConnectionRole::Accounting, ConnectionRole::Master, ConnectionRole::Local}) {
        const QString name = connectionName(role);
        if (QSqlDatabase::contains(name))
            QSqlDatabase::removeDatabase(name);
        QSqlDatabase db =
            QSqlDatabase::addDatabase(params.engine == Engine::Sqlite ? QStringLiteral("QSQLITE")
                                                                      : QStringLiteral("QODBC"),
                                      name);
        if (params.engine == Engine::Sqlite) {
            if (role == ConnectionRole::Local)
                db.setDatabaseName(localDatabaseFile());
            else if (role == ConnectionRole::Accounting)
                db.setDatabaseName(accountingDatabaseFile());
            else
                db.setDatabaseName(QStringLiteral(":memory:")); // nothing to administer on an embedded file
            continue;
        }
        const QString database = role == ConnectionRole::Local    ? QStringLiteral("qv000")
                                 : role == ConnectionRole::Master ? QStringLiteral("master")
                                                                  : params.database;
        db.setDatabaseName(odbcConnectionString(params, database));
        if (params.windowsAuth != 0) {
            db.setUserName(params.username);
            db.setPassword(params.password);
        }
    }
}

void DataModule::open(ConnectionRole role, bool createIfMissing) {
    QSqlDatabase db = connection(role);
    if (!db.isValid())
        throw Error(QStringLiteral("The database connection is not configured."));
    if (db.isOpen())
        return;
    if (m_params.engine == Engine::Sqlite && role != ConnectionRole::Master) {
        const QString file = db.databaseName();
        if (file.isEmpty())
            throw Error(QStringLiteral("No accounting database is named in the settings."));
        if (!QFileInfo::exists(file)) {
            if (!createIfMissing)
                throw Error(QStringLiteral("The database file %1 does not exist.").arg(file));
            if (!QDir().mkpath(QFileInfo(file).absolutePath()))
                throw Error(QStringLiteral("Cannot create the folder of %1").arg(file));
        }
    }
    if (!db.open())
        throw Error(sqlError(db.lastError()));
    if (m_params.engine == Engine::Sqlite) {
        try {
            prepareSqliteConnection(db);
        } catch (...) {
            db.close();
            throw;
        }
    }
}

void DataModule::openAtStartup() {
    ConnectionParams p;
    loadConnectionParams(p);
    m_integrated = p.cbIsIntegrated != 0;
    configure(p);
    if (m_integrated)
        open(ConnectionRole::Accounting);
    open(ConnectionRole::Local);
    readSettings();
}

void DataModule::readSettings() { readProgramSettings(local(), *m_catalogue, m_settings); }

QVariant DataModule::dateParameter(const QString& shopText, const QString& member) const {
    const auto normalised = normaliseIsoDateTime(shopText);
    if (!normalised)
        throw Error(QStringLiteral("\"%1\" is not an ISO 8601 date (%2).").arg(shopText, member));
    // SQL Server reads the "T" form the same way whatever its language settings.
    return engine() == Engine::MsSql ? toServerDateTime(*normalised) : *normalised;
}

QString DataModule::filterDateText(const QVariant& value) {
    // SQLite hands back the text already in that form; SQL Server a date-time.
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return value.toString().left(19);
}

QString DataModule::formatStoredAmount(double value) const {
    static const RegionalSeparators stored{QLatin1Char(','), QLatin1Char('.')};
    return quillerby::formatAmount(m_settings.thousandsSeparator, QStringLiteral("."), m_settings.decimalDigits, value,
                                   stored);
}

QString DataModule::formatAmount(double value) const {
    return quillerby::formatAmount(m_settings.thousandsSeparator, QStringLiteral("."), m_settings.decimalDigits,
                                   value);
}

} // namespace quillerby

namespace quillerby {

DataModule::ThreadConnection::ThreadConnection(const DataModule& dm, ConnectionRole role) {
    static QAtomicInt counter;
    m_name = dm.connectionName(role) + QStringLiteral("-thread-%1").arg(counter.fetchAndAddRelaxed(1));
    QSqlDatabase db = QSqlDatabase::cloneDatabase(dm.connectionName(role), m_name);
    if (!db.isValid())
        throw Error(QStringLiteral("The database connection is not configured."));
    if (dm.engine() == Engine::Sqlite && !QFileInfo::exists(db.databaseName()))
        throw Error(QStringLiteral("The database file %1 does not exist.").arg(db.databaseName()));
    if (!db.open())
        throw Error(sqlError(db.lastError()));
    if (dm.engine() == Engine::Sqlite)
        prepareSqliteConnection(db);
}

DataModule::ThreadConnection::~ThreadConnection() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase DataModule::ThreadConnection::db() const { return QSqlDatabase::database(m_name, false); }

} // namespace quillerby
