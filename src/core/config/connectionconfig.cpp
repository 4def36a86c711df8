#include "config/connectionconfig.h"

#include "common/error.h"
#include "config/inifile.h"

#include <QDir>
#include <QStandardPaths>

namespace quillerby {

namespace {
const QString kSection = QStringLiteral("Connection");

int readInt(const IniFile& ini, const QString& key, int fallback = 0) {
    const auto v = ini.value(kSection, key);
    if (!v)
        return fallback;
    bool ok = false;
    const int n = v->trimmed().toInt(&ok, 10);
    return ok ? n : fallback;
}

QString readText(const IniFile& ini, const QString& key) { return ini.value(kSection, key).value_or(QString()); }

QString withTrailingSeparator(const QString& folder) {
    if (folder.isEmpty())
        return folder;
    QString f = QDir::toNativeSeparators(QDir::cleanPath(folder));
    if (!f.endsWith(QDir::separator()))
        f += QDir::separator();
    return f;
}
} // namespace

QString engineName(Engine engine) {
    return engine == Engine::Sqlite ? QStringLiteral("sqlite") : QStringLiteral("mssql");
}

AppPaths AppPaths::system() {
    AppPaths p;
#ifdef Q_OS_WIN
    QString base = qEnvironmentVariable("APPDATA");
#else
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() && !QDir::homePath().isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
#endif
    if (!base.isEmpty())
        p.appDataFolder = withTrailingSeparator(base + QStringLiteral("/brantlow"));
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!docs.isEmpty())
        p.documentsFolder = QDir::toNativeSeparators(QDir::cleanPath(docs));
    return p;
}

AppPaths AppPaths::fromFolders(const QString& home, const QString& documents) {
    AppPaths p = system();
    if (!home.isEmpty())
        p.appDataFolder = withTrailingSeparator(QDir(home).absolutePath());
    if (!documents.isEmpty())
        p.documentsFolder = QDir::toNativeSeparators(QDir::cleanPath(QDir(documents).absolutePath()));
    return p;
}

QString AppPaths::configFile() const { return appDataFolder + QStringLiteral("config.ini"); }
QString AppPaths::defaultDatabaseFile() const { return appDataFolder + QStringLiteral("qv000.db"); }

QString defaultOdbcDriver() {
#ifdef Q_OS_WIN
    return QStringLiteral("ODBC Driver 18 for SQL Server");
#else
    return QStringLiteral("FreeTDS");
#endif
}

QString encodePassword(const QString& password) { return QString::fromLatin1(password.toUtf8().toBase64()); }

QString decodePassword(const QString& stored) {
    return QString::fromUtf8(QByteArray::fromBase64(stored.trimmed().toLatin1()));
}

void loadConnectionParams(const QString& configFile, ConnectionParams& p) {
    const IniFile ini = IniFile::load(configFile);
    p.server = readText(ini, QStringLiteral("Server"));
    p.database = readText(ini, QStringLiteral("Database"));
    p.windowsAuth = readInt(ini, QStringLiteral("WindowsAuth"));
    p.shippingAccount = readText(ini, QStringLiteral("shipppingaccount"));
    p.cbUnique = readInt(ini, QStringLiteral("cbunique")) != 0 ? 1 : 0;
    p.cbIsIntegrated = readInt(ini, QStringLiteral("CbIsintegrated")) != 0 ? 1 : 0;
    if (p.cbUnique) {
        p.customerAccount = readText(ini, QStringLiteral("customeraccount"));
        p.customerChildAccount = readText(ini, QStringLiteral("customerchildaccount"));
    }
    if (p.windowsAuth == 1) {
        p.username = readText(ini, QStringLiteral("Username"));
        p.password = decodePassword(readText(ini, QStringLiteral("Password")));
    }
    const QString engine = readText(ini, QStringLiteral("Engine")).trimmed().toLower();
    p.engine = engine == QLatin1String("sqlite") ? Engine::Sqlite : Engine::MsSql;
    p.databaseFile = readText(ini, QStringLiteral("DatabaseFile"));
    p.odbcDriver = readText(ini, QStringLiteral("OdbcDriver"));
    p.relayUrl = readText(ini, QStringLiteral("RelayUrl"));
    p.acceptUntrustedCertificates = readInt(ini, QStringLiteral("AcceptUntrustedCertificates")) != 0;
    p.requestTimeoutSeconds = readInt(ini, QStringLiteral("RequestTimeout"), 60);
    if (p.requestTimeoutSeconds <= 0)
        p.requestTimeoutSeconds = 60;
    p.serverBrowseAddress = readText(ini, QStringLiteral("ServerBrowseAddress"));
}

void saveConnectionParams(const QString& appDataFolder, const ConnectionParams& p) {
    if (appDataFolder.isEmpty())
        throw Error(QStringLiteral("The per-user settings folder is unknown."));
    if (!QDir().mkpath(appDataFolder))
        throw Error(QStringLiteral("Cannot create the folder %1").arg(appDataFolder));
    const QString file = appDataFolder + QStringLiteral("config.ini");
    IniFile ini = IniFile::load(file);
    const auto flag = [](int v) { return v != 0 ? QStringLiteral("1") : QStringLiteral("0"); };
    ini.setValue(kSection, QStringLiteral("Server"), p.server);
    ini.setValue(kSection, QStringLiteral("Database"), p.database);
    ini.setValue(kSection, QStringLiteral("WindowsAuth"), QString::number(p.windowsAuth));
    ini.setValue(kSection, QStringLiteral("shipppingaccount"), p.shippingAccount);
    ini.setValue(kSection, QStringLiteral("cbunique"), flag(p.cbUnique));
    ini.setValue(kSection, QStringLiteral("CbIsintegrated"), flag(p.cbIsIntegrated));
    if (p.cbUnique) {
        ini.setValue(kSection, QStringLiteral("customeraccount"), p.customerAccount);
        ini.setValue(kSection, QStringLiteral("customerchildaccount"), p.customerChildAccount);
    }
    if (p.windowsAuth == 1) {
        ini.setValue(kSection, QStringLiteral("Username"), p.username);
        ini.setValue(kSection, QStringLiteral("Password"), encodePassword(p.password));
    }
    ini.setValue(kSection, QStringLiteral("Engine"), engineName(p.engine));
    if (!p.databaseFile.isEmpty())
        ini.setValue(kSection, QStringLiteral("DatabaseFile"), p.databaseFile);
    ini.save(file);
}

} // namespace quillerby
