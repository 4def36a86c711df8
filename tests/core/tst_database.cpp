#include "common/error.h"
#include "config/datamodule.h"
#include "db/databasesetup.h"
#include "db/schema.h"
#include "db/serverdiscovery.h"
#include "db/sqlexec.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillerby;

namespace {

struct Fixture {
    QTemporaryDir dir;
    DataModule dm{AppPaths::fromFolders(dir.path() + QStringLiteral("/home"), dir.path() + QStringLiteral("/Docs"))};
    ConnectionParams params;
    QList<QPair<NoticeKind, QString>> notices;

    Fixture() { params.engine = Engine::Sqlite; }
    bool test() {
        return testConnection(dm, params, false, [this](NoticeKind k, const QString& t) { notices.append({k, t}); })
            .succeeded;
    }
    QSqlDatabase db() { return dm.local(); }
    int count(const QString& table) { return scalar(db(), QStringLiteral("select count(*) from ") + table).toInt(); }
    void exec(const QString& sql) { execSql(db(), sql); }
    void addOrder(const QString& id, const QString& status, const QString& date, const QString& total,
                  const QString& mobile = QStringLiteral("0500"), const QString& name = QStringLiteral("Ann")) {
        execSql(db(),
                QStringLiteral("insert into Orders000 (Order_id, Status, Post_date, Order_total, Order_shipping, "
                               "Mobile, _billing_first_name) values (:id, :st, :d, :t, '5.00', :m, :n)"),
                {{"id", id}, {"st", status}, {"d", date}, {"t", total}, {"m", mobile}, {"n", name}});
    }
};

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void schemaIsIdempotentAndEmptiesOnlyWorkingTables() {
        Fixture f;
        QVERIFY(f.test());
        QCOMPARE(f.notices.size(), 1);
        QCOMPARE(f.notices.first().second, QStringLiteral("Successfully connected...\r\n"));
        QVERIFY(QFile::exists(f.dir.path() + QStringLiteral("/home/qv000.db")));

        f.exec(QStringLiteral("insert into copyitems (order_id) values ('1')"));
        f.exec(QStringLiteral("insert into copyfromexcel (Order_id) values ('1')"));
        f.exec(QStringLiteral("insert into websites000 (website, consumer_key, consumer_secret) values ('w','k','s')"));
        f.exec(QStringLiteral("update set000 set val = ';' where element = 'thousands_separator'"));
        f.exec(QStringLiteral("delete from HiddenColumns000 where ColumnIndex = 23"));
        QVERIFY(f.test());
        QVERIFY(f.test());

        QCOMPARE(f.count(QStringLiteral("set000")), 5);
        QCOMPARE(f.count(QStringLiteral("HiddenColumns000")), 23); // a deleted seed row is not re-seeded
        QCOMPARE(f.count(QStringLiteral("reports000")), 2);
        QCOMPARE(f.count(QStringLiteral("copyitems")), 0);
        QCOMPARE(f.count(QStringLiteral("copyfromexcel")), 0);
        QCOMPARE(f.count(QStringLiteral("websites000")), 1);
        QCOMPARE(scalar(f.db(), QStringLiteral("select val from set000 where element='thousands_separator'")).toString(),
                 QStringLiteral(";"));
        // Twelve of the list's columns are shown by default.
        QCOMPARE(scalar(f.db(), QStringLiteral("select count(*) from HiddenColumns000 where IsHidden = 1")).toInt(), 12);

        QSqlQuery q = execSql(f.db(), QStringLiteral("select TemplateName, FilePath, defaultRep from reports000 order by id"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("A4 Design"));
        QCOMPARE(q.value(1).toString(),
                 QDir::toNativeSeparators(f.dir.path() + QStringLiteral("/Docs/Quillerby/2.0/Reports/A4 Design.fr3")));
        QCOMPARE(q.value(2).toInt(), 1);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Thermal paper size"));
        QCOMPARE(q.value(2).toInt(), 0);

        // Column order of the working tables matters to the accounting copies.
        const QSqlRecord items = f.db().record(QStringLiteral("copyitems"));
        QCOMPARE(items.fieldName(3), QStringLiteral("total_tax"));
        QCOMPARE(items.fieldName(4), QStringLiteral("line_total"));
        const QSqlRecord headers = f.db().record(QStringLiteral("copyfromexcel"));
        QCOMPARE(headers.count(), 37);
        QCOMPARE(headers.fieldName(12), QStringLiteral("Cart_subtotal"));
        QCOMPARE(headers.fieldName(20), QStringLiteral("Cart_discount"));
        QCOMPARE(f.db().record(QStringLiteral("Orders000")).count(), 36);
        QCOMPARE(f.db().record(QStringLiteral("Products000")).count(), 26);
    }

    void taxRateKeepsItsFraction() {
        Fixture f;
        QVERIFY(f.test());
        f.exec(QStringLiteral("insert into taxes000 (TaxeName, Rate) values ('VAT', 7.5)"));
        f.exec(QStringLiteral("insert into taxes000 (TaxeName) values ('Default')"));
        QSqlQuery q = execSql(f.db(), QStringLiteral("select Rate, Priority, compound, shipping from taxes000 order by ID"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), 7.5);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toInt(), 0);
        QCOMPARE(q.value(2).toInt(), 0);
    }

    void monthTotalsViewFollowsCompletedYears() {
        Fixture f;
        QVERIFY(f.test());
        const SchemaInstaller schema(f.dm.catalogue());
        const QString exists = f.dm.catalogue().statement(QStringLiteral("month_totals_view_exists"));
        QCOMPARE(scalar(f.db(), exists).toInt(), 0); // no completed order, no view

        f.addOrder("1", "completed", "2023-01-15 10:00:00", "1,000.50");
        f.addOrder("2", "Completed", "2024-01-20 10:00:00", "20.00"); // status compares without case
        f.addOrder("3", "completed", "2024-03-02 09:00:00", "2,500.25");
        f.addOrder("4", "processing", "2022-03-02 09:00:00", "99.00");
        schema.createMonthTotalsView(f.db(), true);

        const QSqlRecord r = f.db().record(QStringLiteral("OrderTotalsByMonthYear1"));
        QStringList names;
        for (int i = 0; i < r.count(); ++i)
            names << r.fieldName(i);
        QCOMPARE(names, (QStringList{"month", "month_name", "2023", "order_shipping_total_2023", "2024",
                                     "order_shipping_total_2024"}));
        QSqlQuery q = execSql(f.db(), QStringLiteral("select * from OrderTotalsByMonthYear1 order by month"));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), QStringLiteral("January"));
        QCOMPARE(q.value(2).toDouble(), 1000.5); // grouped amounts of 1,000 and more sum correctly
        QCOMPARE(q.value(4).toDouble(), 20.0);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 3);
        QCOMPARE(q.value(2).toDouble(), 0.0); // no 2023 orders in March
        QCOMPARE(q.value(4).toDouble(), 2500.25);
        QCOMPARE(q.value(5).toDouble(), 5.0);
        QVERIFY(!q.next());
        q.finish();

        // A test keeps the existing view; a re-creation follows new years.
        f.addOrder("5", "completed", "2025-06-01 08:00:00", "1.00");
        QVERIFY(f.test());
        QCOMPARE(f.db().record(QStringLiteral("OrderTotalsByMonthYear1")).count(), 6);
        schema.createMonthTotalsView(f.db(), true);
        QCOMPARE(f.db().record(QStringLiteral("OrderTotalsByMonthYear1")).count(), 8);
    }

    void returnCustomerView() {
        Fixture f;
        QVERIFY(f.test());
        f.addOrder("1", "completed", "2024-01-01 10:00:00", "1,200.00", "0501", "Ann");
        f.addOrder("2", "completed", "2024-05-01 10:00:00", "300.00", "0501", "Annie");
        f.addOrder("3", "completed", "2024-05-01 10:00:00", "1.00", "0501", "Zed");
        f.addOrder("4", "cancelled", "2024-09-01 10:00:00", "9.00", "0501", "Late");
        f.addOrder("5", "completed", "2024-02-01 10:00:00", "5.00", QString(), "NoPhone");
        QSqlQuery q = execSql(f.db(), QStringLiteral("select mobile, num_orders, total_orders, last_order_date, "
                                                     "last_order_customer_name from ReturnCustomer"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("0501"));
        QCOMPARE(q.value(1).toInt(), 3);
        QCOMPARE(q.value(2).toDouble(), 1501.0);
        QCOMPARE(q.value(3).toString(), QStringLiteral("2024-05-01 10:00:00"));
        QCOMPARE(q.value(4).toString(), QStringLiteral("Zed"));
        QVERIFY(!q.next()); // an order without a phone drops out
    }

    void amountsThatAreNotAmountsFail() {
        Fixture f;
        QVERIFY(f.test());
        QCOMPARE(scalar(f.db(), QStringLiteral("select qv_amount('1,234,567.89')")).toDouble(), 1234567.89);
        QVERIFY(scalar(f.db(), QStringLiteral("select qv_amount(NULL)")).isNull());
        f.addOrder("1", "completed", "2024-01-01 10:00:00", "abc");
        QVERIFY_THROWS_EXCEPTION(Error, execSql(f.db(), QStringLiteral("select * from ReturnCustomer")));
        QVERIFY_THROWS_EXCEPTION(Error, execSql(f.db(), QStringLiteral("select qv_int('2.5')")));
    }

    void programSettings_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("processTax");
        QTest::newRow("fresh database") << QString() << false << "," << 2 << "%2.2n" << "no";
        QTest::newRow("no decimals") << "update set000 set val='0' where element='decimal_digit_number'" << false << ","
                                     << 0 << "%2.0n" << "no";
        QTest::newRow("long values are cut")
            << "update set000 set val=case element when 'thousands_separator' then '.,' "
               "when 'Program_Will_Process_Tax' then 'yesss' else val end"
            << false << "." << 2 << "%2.2n" << "yes";
        // A missing separator fails after the digits were taken; the tax switch keeps its initial value.
        QTest::newRow("missing separator") << "delete from set000 where element='thousands_separator'" << true << ""
                                           << 4 << "%2.4n" << "";
        QTest::newRow("missing digits fail first")
            << "delete from set000 where element in ('decimal_digit_number','thousands_separator')" << true << "" << 0
            << "" << "";
        QTest::newRow("digits not whole") << "update set000 set val='2.5' where element='decimal_digit_number'" << true
                                          << "" << 0 << "" << "";
    }
    void programSettings() {
        QFETCH(QString, setup);
        QFETCH(bool, fails);
        Fixture f;
        QVERIFY(f.test());
        if (QString(QTest::currentDataTag()) == QLatin1String("missing separator"))
            f.exec(QStringLiteral("update set000 set val='4' where element='decimal_digit_number'"));
        if (!setup.isEmpty())
            f.exec(setup);
        bool failed = false;
        try {
            f.dm.readSettings();
        } catch (const Error&) {
            failed = true;
        }
        QCOMPARE(failed, fails);
        QTEST(f.dm.settings().thousandsSeparator, "separator");
        QTEST(int(f.dm.settings().decimalDigits), "digits");
        QTEST(f.dm.settings().reportNumberFormat, "format");
        QTEST(f.dm.settings().programWillProcessTax, "processTax");
    }

    void startupOpensTheExistingDatabaseOnly() {
        Fixture f;
        f.dm.saveConnectionParams(f.params);
        QVERIFY_THROWS_EXCEPTION(Error, f.dm.openAtStartup()); // nothing created yet: the file is missing
        QVERIFY(!QFile::exists(f.dm.localDatabaseFile()));
        QVERIFY(f.test());
        f.dm.closeConnections();
        f.dm.openAtStartup();
        QVERIFY(f.dm.local().isOpen());
        QCOMPARE(f.dm.settings().thousandsSeparator, QStringLiteral(","));
        QCOMPARE(f.dm.formatAmount(1234.5), QStringLiteral("1,234.50"));

        // With the integration on, a missing accounting database fails before the local one is opened.
        f.params.cbIsIntegrated = 1;
        f.params.database = QStringLiteral("amn.db");
        f.dm.saveConnectionParams(f.params);
        f.dm.closeConnections();
        QVERIFY_THROWS_EXCEPTION(Error, f.dm.openAtStartup());
        QVERIFY(!f.dm.local().isOpen());
    }

    void accountChecksAndCopyTables() {
        Fixture f;
        // The accounting system's database, as far as the program reads it.
        {
            QSqlDatabase acc = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("acc-setup"));
            acc.setDatabaseName(f.dir.path() + QStringLiteral("/home/amn.db"));
            QDir().mkpath(f.dir.path() + QStringLiteral("/home"));
            QVERIFY(acc.open());
            execSql(acc, QStringLiteral("create table ac000 (code nvarchar(20), name nvarchar(100))"));
            execSql(acc, QStringLiteral("insert into ac000 values ('131', 'Customers')"));
            acc.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("acc-setup"));
        f.params.database = QStringLiteral("amn.db");
        f.params.cbUnique = 1;
        f.params.customerAccount = QStringLiteral("131");
        f.params.customerChildAccount = QStringLiteral("999");
        QVERIFY(f.test()); // the accounts option reads the accounting database even with the integration off
        QCOMPARE(f.notices.size(), 2);
        QCOMPARE(f.notices[0].second, QStringLiteral("there is no account with code 999"));
        QCOMPARE(f.notices[1].second, QStringLiteral("Successfully connected...\r\ncustomer account will be "
                                                     "Customers\r\nChild customers account will be "));
        QCOMPARE(scalar(f.dm.accounting(), QStringLiteral("select count(*) from sqlite_master where name='copyitems'")).toInt(), 0);

        f.notices.clear();
        f.params.cbIsIntegrated = 1;
        f.params.customerAccount = QStringLiteral("131 or 1=1");
        QVERIFY(!f.test());
        QCOMPARE(f.notices.size(), 1);
        QCOMPARE(f.notices[0].first, NoticeKind::Error);
        QVERIFY(f.notices[0].second.startsWith(QStringLiteral("Connection failed: \r")));

        f.notices.clear();
        f.params.customerAccount.clear();
        QVERIFY(!f.test());
        QCOMPARE(f.notices.size(), 1);
        QCOMPARE(f.notices[0].second, QStringLiteral("customer account cannot be empty"));

        f.notices.clear();
        f.params.cbUnique = 0;
        QVERIFY(f.test());
        QCOMPARE(scalar(f.dm.accounting(), QStringLiteral("select count(*) from sqlite_master where name in ('copyitems','copyfromexcel')")).toInt(), 2);
    }

    void serverDiscovery() {
        QTemporaryDir root;
        QVERIFY(localSqlServerInstances(root.path()).isEmpty());
        QDir().mkpath(root.path() + QStringLiteral("/bin"));
        QFile server(root.path() + QStringLiteral("/bin/sqlservr"));
        QVERIFY(server.open(QIODevice::WriteOnly));
        server.close();
        const QStringList local = localSqlServerInstances(root.path());
        QCOMPARE(local.size(), 1);
        QVERIFY(local.first().endsWith(QStringLiteral("\\MSSQLSERVER"))); // never the bare computer name

        QByteArray reply("ServerName;PC1;InstanceName;SQLEXPRESS;IsClustered;No;Version;16.0;tcp;1433;;"
                         "ServerName;PC1;InstanceName;MSSQLSERVER;IsClustered;No;Version;16.0;tcp;1434;;");
        reply.prepend(char(reply.size() >> 8)).prepend(char(reply.size() & 0xff)).prepend('\x05');
        QCOMPARE(parseBrowserResponse(reply), (QStringList{"PC1\\SQLEXPRESS", "PC1\\MSSQLSERVER"}));
        QVERIFY(parseBrowserResponse("\x04junk").isEmpty());

        QCOMPARE(BrowseTarget::fromConfig(QString()).address, QHostAddress(QHostAddress::Broadcast));
        const BrowseTarget loop = BrowseTarget::fromConfig(QStringLiteral("127.0.0.1:14340"));
        QCOMPARE(loop.address, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(loop.port, quint16(14340));
        QCOMPARE(BrowseTarget::fromConfig(QStringLiteral("localhost")).port, quint16(1434));
    }

    void bothEnginesHaveEveryStatement() {
        const Catalogue sqlite(Engine::Sqlite);
        const Catalogue mssql(Engine::MsSql);
        for (const char* name : {"settings_query", "websites_first", "default_report_path", "month_totals_view_exists",
                                 "drop_month_totals_view", "month_totals_years", "month_totals_view",
                                 "return_customer_view"}) {
            QVERIFY2(sqlite.contains(QLatin1String(name)), name);
            QVERIFY2(mssql.contains(QLatin1String(name)), name);
        }
        for (const char* name : {"create_database", "schema", "copy_tables"})
            QVERIFY2(mssql.contains(QLatin1String(name)), name);
        QVERIFY(mssql.statement(QStringLiteral("month_totals_view")).contains(QStringLiteral("{columns}")));
        QVERIFY(mssql.statement(QStringLiteral("schema")).contains(QStringLiteral(":s")));
        QCOMPARE(mssql.statement(QStringLiteral("websites_first")), QStringLiteral("select * from websites000 "));
        QVERIFY(SchemaInstaller::monthTotalsColumns(Engine::MsSql, {2023, 2024})
                    .contains(QStringLiteral("AS [2023], SUM(CASE WHEN DATEPART(year, o.post_date) = 2023 THEN "
                                             "CAST(dbo.qv_amount(o.order_shipping) AS decimal(18, 2)) ELSE 0 END) AS "
                                             "[order_shipping_total_2023], SUM")));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
