#include "common/error.h"
#include "config/connectionconfig.h"
#include "config/datamodule.h"
#include "config/inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillerby;

class TestConfig : public QObject {
    Q_OBJECT

    QString readFile(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
    void writeFile(const QString& path, const QByteArray& text) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

private slots:
    void keysAreWrittenInOrderAndForeignKeysSurvive() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/a/b/brantlow/"); // parents are created
        writeFile(dir.path() + QStringLiteral("/seed.ini"), "");
        ConnectionParams p;
        p.server = QStringLiteral("PC\\SQLEXPRESS");
        p.database = QStringLiteral("AmnDb");
        p.windowsAuth = 1;
        p.username = QStringLiteral("sa");
        p.password = QStringLiteral("pässwörd ✓");
        p.cbUnique = 1;
        p.customerAccount = QStringLiteral("131");
        p.customerChildAccount = QStringLiteral("1311");
        p.cbIsIntegrated = 1;
        saveConnectionParams(folder, p);
        const QString text = readFile(folder + QStringLiteral("config.ini"));
        const QStringList keys = {"[Connection]", "Server=PC\\SQLEXPRESS", "Database=AmnDb", "WindowsAuth=1",
                                  "shipppingaccount=", "cbunique=1", "CbIsintegrated=1", "customeraccount=131",
                                  "customerchildaccount=1311", "Username=sa", "Password=",
                                  "Engine=mssql"};
        int at = -1;
        for (const QString& k : keys) {
            const int next = text.indexOf(k, at + 1);
            QVERIFY2(next > at, qPrintable(k + QStringLiteral(" out of order in\n") + text));
            at = next;
        }
        QVERIFY(text.contains(QStringLiteral("Password=") + QString::fromLatin1(p.password.toUtf8().toBase64())));
        // It holds a password: nobody but its owner may read it.
        const auto perms = QFile::permissions(folder + QStringLiteral("config.ini"));
        QVERIFY(perms & QFileDevice::ReadOwner);
        QCOMPARE(perms & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup |
                          QFileDevice::WriteOther), QFileDevice::Permissions());

        // A second write with the governing flags off leaves the governed keys as they were, and a key the
        // program does not know survives.
        QString edited = text;
        edited.replace(QStringLiteral("[Connection]"), QStringLiteral("; kept comment\n[Connection]\nOdbcDriver=My Driver"));
        writeFile(folder + QStringLiteral("config.ini"), edited.toUtf8());
        ConnectionParams q;
        q.server = QStringLiteral("other");
        saveConnectionParams(folder, q);
        const QString second = readFile(folder + QStringLiteral("config.ini"));
        QVERIFY(second.contains(QStringLiteral("; kept comment")));
        QVERIFY(second.contains(QStringLiteral("OdbcDriver=My Driver")));
        QVERIFY(second.contains(QStringLiteral("Username=sa")));
        QVERIFY(second.contains(QStringLiteral("customeraccount=131")));
        QVERIFY(second.contains(QStringLiteral("Server=other")));

        // Loading honours the flags: the stale keys are not read, and the caller's values stay.
        ConnectionParams loaded;
        loaded.username = QStringLiteral("caller");
        loaded.customerAccount = QStringLiteral("caller-acc");
        loadConnectionParams(folder + QStringLiteral("config.ini"), loaded);
        QCOMPARE(loaded.username, QStringLiteral("caller"));
        QCOMPARE(loaded.customerAccount, QStringLiteral("caller-acc"));
        QCOMPARE(loaded.odbcDriver, QStringLiteral("My Driver"));
        QCOMPARE(loaded.windowsAuth, 0);

        // With the first file's flags on, everything comes back, the non-ASCII password included.
        writeFile(folder + QStringLiteral("config.ini"), text.toUtf8());
        ConnectionParams full;
        loadConnectionParams(folder + QStringLiteral("config.ini"), full);
        QCOMPARE(full.password, p.password);
        QCOMPARE(full.username, QStringLiteral("sa"));
        QCOMPARE(full.customerChildAccount, QStringLiteral("1311"));
        QCOMPARE(full.cbUnique, 1);
        QCOMPARE(full.cbIsIntegrated, 1);
        QCOMPARE(full.engine, Engine::MsSql);
    }

    void readingRules_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("unique");
        QTest::addColumn<int>("integrated");
        QTest::addColumn<int>("engine");
        QTest::newRow("missing file") << QByteArray() << 0 << 0 << int(Engine::MsSql);
        QTest::newRow("any non-zero is true") << QByteArray("[Connection]\ncbunique=7\nCbIsintegrated=-1\n") << 1
                                              << 1 << int(Engine::MsSql);
        QTest::newRow("not a number is false") << QByteArray("[connection]\nCBUNIQUE=yes\n") << 0 << 0
                                               << int(Engine::MsSql);
        QTest::newRow("sqlite, CRLF") << QByteArray("[Connection]\r\nEngine=SQLite\r\ncbunique=0\r\n") << 0 << 0
                                      << int(Engine::Sqlite);
    }
    void readingRules() {
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/config.ini");
        if (!file.isNull())
            writeFile(path, file);
        ConnectionParams p;
        loadConnectionParams(path, p);
        QFETCH(int, unique);
        QFETCH(int, integrated);
        QFETCH(int, engine);
        QCOMPARE(p.cbUnique, unique);
        QCOMPARE(p.cbIsIntegrated, integrated);
        QCOMPARE(int(p.engine), engine);
        QCOMPARE(p.server, QString());
    }

    void unwritableFolderRaises() {
        QTemporaryDir dir;
        writeFile(dir.path() + QStringLiteral("/file"), "x");
        QVERIFY_THROWS_EXCEPTION(Error, saveConnectionParams(dir.path() + QStringLiteral("/file/sub/"), {}));
    }

    void perUserFolderFollowsXdg() {
        qputenv("XDG_CONFIG_HOME", "/tmp/xdg-test-home");
        QCOMPARE(AppPaths::system().appDataFolder, QStringLiteral("/tmp/xdg-test-home/brantlow/"));
        QCOMPARE(AppPaths::system().configFile(), QStringLiteral("/tmp/xdg-test-home/brantlow/config.ini"));
        qunsetenv("XDG_CONFIG_HOME");
        QVERIFY(AppPaths::system().appDataFolder.endsWith(QStringLiteral("/.config/brantlow/")));
    }

    void odbcConnectionString() {
        ConnectionParams p;
        p.server = QStringLiteral("PC\\SQLEXPRESS");
        p.database = QStringLiteral("Amn;Db");
        const QString windows = DataModule::odbcConnectionString(p, QStringLiteral("qv000"));
        QVERIFY(windows.contains(QStringLiteral("SERVER=PC\\SQLEXPRESS;")));
        QVERIFY(windows.contains(QStringLiteral("DATABASE=qv000;")));
        QVERIFY(windows.contains(QStringLiteral("Trusted_Connection=yes")));
        QVERIFY(windows.contains(QStringLiteral("Encrypt=no")));
        QVERIFY(windows.contains(QStringLiteral("TrustServerCertificate=yes")));
        p.windowsAuth = 1;
        p.odbcDriver = QStringLiteral("ODBC Driver 18 for SQL Server");
        const QString server = DataModule::odbcConnectionString(p, p.database);
        QVERIFY(!server.contains(QStringLiteral("Trusted_Connection")));
        QVERIFY(server.startsWith(QStringLiteral("DRIVER={ODBC Driver 18 for SQL Server};")));
        QVERIFY(server.contains(QStringLiteral("DATABASE={Amn;Db};"))); // a separator cannot inject attributes
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
