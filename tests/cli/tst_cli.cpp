#include "demoshop/demoshop.h"

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// quillerby-cli as a user or a script runs it: a separate process with its own home folder.
class TestCli : public QObject {
    Q_OBJECT

    struct Run {
        int code;
        QString out;
        QString err;
    };
    Run cli(const QStringList& args, const QByteArray& input = QByteArray()) {
        QProcess p;
        p.start(QStringLiteral(QUILLERBY_CLI), args);
        p.write(input);
        p.closeWriteChannel();
        if (!p.waitForFinished(60000))
            return {-1, {}, QStringLiteral("timed out")};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void setupInitDbAndQuery() {
        QTemporaryDir dir;
        const QString home = dir.path() + QStringLiteral("/home");
        const QStringList base{QStringLiteral("--home"), home, QStringLiteral("--documents"), dir.path()};

        Run r = cli(base + QStringList{"setup", "--engine", "sqlite"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(QFile::exists(home + QStringLiteral("/config.ini")));
        QVERIFY(QFile::exists(home + QStringLiteral("/qv000.db")));
        QVERIFY(r.out.contains(QStringLiteral("Successfully connected...")));

        r = cli({"--home", home, "query", "insert into copyitems (order_id) values ('7')"});
        QCOMPARE(r.code, 0);
        r = cli({"--home", home, "query",
                 "select element, val, qv_amount('1,234.50') as amount from set000 order by Id limit 2"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("element\tval\tamount\nthousands_separator\t,\t1234.5\ndecimal_digit_number\t2\t1234.5\n"));

        r = cli(base + QStringList{"init-db"}); // runs the scripts again: the working tables are emptied
        QCOMPARE(r.code, 0);
        r = cli({"--home", home, "query", "select count(*) as n from copyitems"});
        QCOMPARE(r.out, QStringLiteral("n\n0\n"));
    }

    void failuresExitWithOne_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no config") << QStringList{"init-db"} << "run quillerby-cli setup first";
        QTest::newRow("bad engine") << QStringList{"setup", "--engine", "oracle"} << "--engine must be";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << "Unknown command";
        QTest::newRow("integration without database")
            << QStringList{"setup", "--engine", "sqlite", "--integration"} << "--integration needs --accounting-db";
        QTest::newRow("missing accounting database")
            << QStringList{"setup", "--engine", "sqlite", "--integration", "--accounting-db", "nope.db"}
            << "Connection failed: ";
    }
    void failuresExitWithOne() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const Run r = cli(QStringList{"--home", dir.path(), "--documents", dir.path()} + args);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    void storeTestAndSynchronisations() {
        quillerby::demo::DemoShopOptions options;
        options.key = QStringLiteral("ck_cli");
        options.secret = QStringLiteral("cs_cli");
        options.orders = 150;
        options.products = 70;
        options.seed = 3;
        quillerby::demo::DemoShopThread shop(options);
        QVERIFY(shop.start());
        int finished = 0;
        for (qint64 id : shop.shop()->orderIds())
            finished += shop.shop()->order(id)->value("status").toString() != QLatin1String("processing");

        QTemporaryDir dir;
        const QString url = shop.baseUrl().toString();
        QCOMPARE(cli({"--home", dir.path(), "setup", "--engine", "sqlite"}).code, 0);
        Run r = cli({"--home", dir.path(), "store-test", "--url", url, "--key", "ck_cli", "--secret", "wrong"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.out.startsWith(QStringLiteral("An error occurred.\n")), qPrintable(r.out));
        r = cli({"--home", dir.path(), "store-test", "--url", url, "--key", "ck_cli", "--secret", "cs_cli"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("Congratulations!\nYour store has been successfully connected.\n"));

        r = cli({"--home", dir.path(), "sync-orders"}, "n\n"); // the question, answered No
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(QStringLiteral("do you want to continue?")));
        QCOMPARE(cli({"--home", dir.path(), "query", "select count(*) as n from Orders000"}).out, QStringLiteral("n\n0\n"));

        r = cli({"--home", dir.path(), "sync-orders", "--yes"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("Orders have been successfully fetched from the online store\n"));
        QVERIFY(r.err.contains(QStringLiteral("The shop reports 150 orders")));
        QCOMPARE(cli({"--home", dir.path(), "query", "select count(*) as n from Orders000"}).out,
                 QStringLiteral("n\n%1\n").arg(finished));
        // Orders changed after the newest one was created come again; they are known and add nothing.
        QCOMPARE(cli({"--home", dir.path(), "sync-orders", "--yes"}).code, 0);
        QCOMPARE(cli({"--home", dir.path(), "query", "select count(*) as n from Orders000"}).out,
                 QStringLiteral("n\n%1\n").arg(finished));

        r = cli({"--home", dir.path(), "sync-products"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("70 products synchronised\n"));

        shop.shop()->setFailure(QStringLiteral("/wp-json/wc/v3/products"), 500);
        r = cli({"--home", dir.path(), "sync-products"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("500")), qPrintable(r.err));
    }

    void badSqlReportsTheDatabaseError() {
        QTemporaryDir dir;
        QCOMPARE(cli({"--home", dir.path(), "setup", "--engine", "sqlite"}).code, 0);
        const Run r = cli({"--home", dir.path(), "query", "select * from no_such_table"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("no_such_table")), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
