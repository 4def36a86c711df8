#include "common/error.h"
#include "store/ordersync.h"
#include "store/productsync.h"
#include "support/shopfixture.h"

#include <QSqlQuery>
#include <QSqlRecord>

using namespace quillerby;
using namespace quillerby::testing;

namespace {
const QString kOrders = QStringLiteral("/wp-json/wc/v3/orders");
const QString kProducts = QStringLiteral("/wp-json/wc/v3/products");

QString day(int n) { return QDate(2024, 1, 1).addDays(n).toString(Qt::ISODate) + QStringLiteral("T10:00:00"); }

QStringList queryNames(const demo::RecordedRequest& r) {
    QStringList names;
    for (const auto& p : r.query)
        if (!p.first.startsWith(QLatin1String("oauth_")))
            names << p.first;
    return names;
}

QJsonObject product(qint64 id, const QString& modified, const QJsonValue& stock = QJsonValue::Null,
                    const QJsonArray& categories = {}) {
    return QJsonObject{{"id", id},
                       {"name", QStringLiteral("Product %1").arg(id)},
                       {"slug", QStringLiteral("product-%1").arg(id)},
                       {"permalink", QStringLiteral("https://shop.example/p/%1").arg(id)},
                       {"date_created", "2023-01-01T09:00:00"},
                       {"date_created_gmt", "2023-01-01T06:00:00"},
                       {"date_modified", modified},
                       {"date_modified_gmt", modified},
                       {"type", "simple"},
                       {"status", "publish"},
                       {"featured", id % 2 == 0},
                       {"catalog_visibility", "visible"},
                       {"description", "<p>Nice</p>"},
                       {"short_description", ""},
                       {"sku", QStringLiteral("P-%1").arg(id)},
                       {"price", "21.99"},
                       {"regular_price", "21.99"},
                       {"sale_price", ""},
                       {"virtual", false},
                       {"tax_status", "taxable"},
                       {"tax_class", ""},
                       {"manage_stock", stock.isDouble()},
                       {"stock_quantity", stock},
                       {"stock_status", "instock"},
                       {"categories", categories}};
}
} // namespace

class TestSync : public QObject {
    Q_OBJECT

private slots:
    void firstSyncPagesAndSkipsProcessing() {
        ShopFixture f;
        for (int i = 0; i < 61; ++i)
            f.server().putOrder(order(1000 + i, QStringLiteral("completed"), day(i)));
        f.server().putOrder(order(2000, QStringLiteral("processing"), day(70)));
        int maximum = -1, steps = 0;
        SyncProgress progress;
        progress.setMaximum = [&](int n) { maximum = n; };
        progress.step = [&] { ++steps; };
        const OrderSyncResult r = OrderSync(f.dm, f.access()).run(progress);

        QCOMPARE(r.added, 61);
        QCOMPARE(maximum, 62);
        QCOMPARE(steps, 2);
        QCOMPARE(f.count(QStringLiteral("select count(*) from Orders000")), 61);
        QCOMPARE(f.count(QStringLiteral("select count(*) from Orders000 where Order_id='2000'")), 0);
        // One request for the headers, then pages 1 and 2, each with the same page size and no start point.
        const auto gets = f.gets(kOrders);
        QCOMPARE(gets.size(), 3);
        QCOMPARE(queryNames(gets[0]), (QStringList{"per_page", "page"}));
        QCOMPARE(gets[0].queryValue("per_page"), QStringLiteral("60"));
        QCOMPARE(gets[1].queryValue("page"), QStringLiteral("1"));
        QCOMPARE(gets[2].queryValue("page"), QStringLiteral("2"));
        QCOMPARE(gets[0].header("User-Agent"),
                 QByteArray("Mozilla/5.0 (Windows NT 6.1; Win64; x64; rv:47.0) Gecko/20100101 Firefox/47.0"));
        // The month-totals view now exists with the year's pair of columns.
        QCOMPARE(f.db().record(QStringLiteral("OrderTotalsByMonthYear1")).count(), 4);
    }

    void orderRowsAsTheShopSentThem() {
        ShopFixture f;
        QJsonObject full = order(727, QStringLiteral("completed"), QStringLiteral("2024-03-05T17:42:09"), QString(),
                                 QJsonArray{lineItem("Big lamp", 1234.5, "1234.5", 1, "LAMP", "https://img/lamp.jpg"),
                                            lineItem("No image", 18.5, "37.00", 2, "")});
        full["total"] = "1271.50";
        full["customer_user_agent"] = "Mozilla/5.0 (iPad; CPU OS 17_0 like Mac OS X)";
        QJsonObject billing = full["billing"].toObject();
        billing["delivery_date"] = "2024-03-09";
        full["billing"] = billing;
        f.server().putOrder(full);
        QJsonObject anonymous = order(728, QStringLiteral("cancelled"), QStringLiteral("2024-03-04T08:00:00"));
        QJsonObject noName = anonymous["billing"].toObject();
        noName.remove("first_name");
        noName["delivery_date"] = "2024-03-10";
        anonymous["billing"] = noName;
        anonymous.remove("line_items");
        anonymous["customer_user_agent"] = "";
        f.server().putOrder(anonymous);

        OrderSync(f.dm, f.access()).run({});
        QSqlQuery q = execSql(f.db(), QStringLiteral(
            "select Order_id, Status, Post_date, Order_total, Order_shipping, Customer_user_agent, _billing_first_name, "
            "_billing_city, _billing_address_1, Mobile, Billing_email, Delivery_date, Country, Currency "
            "from Orders000 order by Order_id"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("727"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("2024-03-05 17:42:09")); // shop time, unchanged
        QCOMPARE(q.value(3).toString(), QStringLiteral("1271.50"));             // the shop's text
        QCOMPARE(q.value(4).toString(), QStringLiteral("10.00"));
        QCOMPARE(q.value(5).toString(), QStringLiteral("iPhone"));
        QCOMPARE(q.value(6).toString(), QStringLiteral("Ann Lee"));
        QCOMPARE(q.value(7).toString(), QStringLiteral("IL")); // the state goes to the city column
        QCOMPARE(q.value(8).toString(), QStringLiteral("1 Main St Apt 2"));
        QCOMPARE(q.value(11).toString(), QStringLiteral("2024-03-09"));
        QVERIFY(q.next());
        QCOMPARE(q.value(5).toString(), QStringLiteral("Unknown"));
        for (int c = 6; c <= 12; ++c)
            QVERIFY2(q.value(c).isNull(), qPrintable(q.record().fieldName(c)));
        q.finish();

        QSqlQuery items = execSql(f.db(), QStringLiteral(
            "select order_id, qty, line_total, price, sku, item_name, src, post_date from orderitems order by rowid"));
        QVERIFY(items.next());
        QCOMPARE(items.value(2).toString(), QStringLiteral("1,234.50"));
        QCOMPARE(items.value(3).toString(), QStringLiteral("1,234.50"));
        QCOMPARE(items.value(6).toString(), QStringLiteral("https://img/lamp.jpg"));
        QCOMPARE(items.value(7).toString(), QStringLiteral("2024-03-05 17:42:09"));
        QVERIFY(items.next());
        QCOMPARE(items.value(1).toString(), QStringLiteral("2"));
        QCOMPARE(items.value(3).toString(), QStringLiteral("18.50")); // a JSON number, formatted
        QCOMPARE(items.value(6).toString(), QStringLiteral("NA"));
        QVERIFY(!items.next());
        items.finish();
        // Grouped amounts still sum right.
        QCOMPARE(scalar(f.db(), QStringLiteral("select sum(qv_amount(line_total)) from orderitems")).toDouble(), 1271.5);
    }

    void laterRunsStartAfterTheNewestOrderAndFollowStatuses() {
        ShopFixture f;
        f.server().putOrder(order(10, QStringLiteral("completed"), QStringLiteral("2024-03-01T09:00:00")));
        f.server().putOrder(order(11, QStringLiteral("completed"), QStringLiteral("2024-03-02T09:00:00")));
        f.server().putOrder(order(12, QStringLiteral("completed"), QStringLiteral("2024-03-05T17:42:09")));
        OrderSync(f.dm, f.access()).run({});
        f.server().clearRequests();

        const OrderSyncResult same = OrderSync(f.dm, f.access()).run({});
        QVERIFY(same.upToDate);
        auto gets = f.gets(kOrders);
        QCOMPARE(gets.size(), 1);
        QCOMPARE(queryNames(gets[0]), (QStringList{"per_page", "modified_after", "page"}));
        QCOMPARE(gets[0].queryValue("modified_after"), QStringLiteral("2024-03-05 17:42:10"));

        // 10 was cancelled, 11 went back to processing, 13 is new.
        f.server().putOrder(order(10, QStringLiteral("cancelled"), QStringLiteral("2024-03-01T09:00:00"),
                                  QStringLiteral("2024-03-07T10:00:00")));
        f.server().putOrder(order(11, QStringLiteral("processing"), QStringLiteral("2024-03-02T09:00:00"),
                                  QStringLiteral("2024-03-07T11:00:00")));
        f.server().putOrder(order(13, QStringLiteral("failed"), QStringLiteral("2024-03-06T09:00:00")));
        const OrderSyncResult r = OrderSync(f.dm, f.access()).run({});
        QCOMPARE(r.added, 1);
        QCOMPARE(r.statusChanges, 2);
        QCOMPARE(r.removed, 1);
        QCOMPARE(scalar(f.db(), QStringLiteral("select Status from Orders000 where Order_id='10'")).toString(),
                 QStringLiteral("cancelled"));
        QCOMPARE(f.count(QStringLiteral("select count(*) from Orders000 where Order_id='11'")), 0);
        QCOMPARE(f.count(QStringLiteral("select count(*) from orderitems where order_id='11'")), 1); // items stay
        QCOMPARE(f.count(QStringLiteral("select count(*) from orderitems")), 4);
    }

    void failureMidRunLosesNothingAndRepeatsNothing() {
        ShopFixture f;
        for (int i = 0; i < 130; ++i)
            f.server().putOrder(order(5000 + i, QStringLiteral("completed"), day(i),
                                      QString(), QJsonArray{lineItem("A", 1, "1.00"), lineItem("B", 2, "2.00")}));
        f.server().setFailure(kOrders + QStringLiteral("@page=2"), 500);
        try {
            OrderSync(f.dm, f.access()).run({});
            QFAIL("the run should have failed");
        } catch (const Error& e) {
            QVERIFY2(e.message().contains(QStringLiteral("500")), qPrintable(e.message()));
        }
        // Page 1 (the newest orders) is stored whole, each order with its items.
        QCOMPARE(f.count(QStringLiteral("select count(*) from Orders000")), 60);
        QCOMPARE(f.count(QStringLiteral("select count(*) from orderitems")), 120);

        f.server().clearFailures();
        f.server().clearRequests();
        OrderSync(f.dm, f.access()).run({});
        // The next run starts where the interrupted one started, not after the newest stored order.
        QVERIFY(!f.gets(kOrders).first().hasQuery(QStringLiteral("modified_after")));
        QCOMPARE(f.count(QStringLiteral("select count(*) from Orders000")), 130);
        QCOMPARE(f.count(QStringLiteral("select count(distinct Order_id) from Orders000")), 130);
        QCOMPARE(f.count(QStringLiteral("select count(*) from orderitems")), 260);

        // Completed, the following run is incremental again.
        f.server().clearRequests();
        QVERIFY(OrderSync(f.dm, f.access()).run({}).upToDate);
        QVERIFY(f.gets(kOrders).first().hasQuery(QStringLiteral("modified_after")));
    }

    void malformedPageStopsTheRun() {
        ShopFixture f;
        f.server().putOrder(order(1, QStringLiteral("completed"), day(1)));
        f.server().setMalformed(kOrders);
        QVERIFY_THROWS_EXCEPTION(Error, OrderSync(f.dm, f.access()).run({}));
        QCOMPARE(f.count(QStringLiteral("select count(*) from Orders000")), 0);
    }

    void deviceClass_data() {
        QTest::addColumn<QString>("agent");
        QTest::addColumn<QString>("device");
        QTest::newRow("windows wins over android") << "Windows; Android" << "Windows";
        QTest::newRow("android") << "Mozilla/5.0 (Linux; Android 14)" << "Android";
        QTest::newRow("ipad") << "Mozilla/5.0 (iPad; CPU OS 17_0)" << "iPhone";
        QTest::newRow("mac") << "Mozilla/5.0 (Macintosh; Intel Mac OS X 14_0)" << "Macintosh";
        QTest::newRow("case matters") << "windows" << "Unknown";
        QTest::newRow("empty") << "" << "Unknown";
    }
    void deviceClass() {
        QFETCH(QString, agent);
        QTEST(OrderSync::deviceClass(agent), "device");
    }

    void productSync() {
        ShopFixture f;
        for (int i = 0; i < 61; ++i)
            f.server().putProduct(product(300 + i, day(i)));
        f.server().putProduct(product(400, QStringLiteral("2024-03-05T17:42:09"), 7,
                                      QJsonArray{QJsonObject{{"id", 1}, {"name", "Shirts"}, {"slug", "shirts"}},
                                                 QJsonObject{{"id", 2}, {"name", "Sale"}, {"slug", "sale"}}}));
        ProductSync sync(f.dm, f.access());
        QCOMPARE(sync.run({}).products, 62);
        // The first answer is page 1: two requests for two pages.
        auto gets = f.gets(kProducts);
        QCOMPARE(gets.size(), 2);
        QCOMPARE(queryNames(gets[0]), (QStringList{"per_page", "page"}));
        QCOMPARE(gets[1].queryValue("page"), QStringLiteral("2"));
        QCOMPARE(gets[0].header("User-Agent"), QByteArray("Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.8.1.4) Gecko/20070531"));

        QSqlQuery q = execSql(f.db(), QStringLiteral("select categories, stock_quantity, featured, date_modified, Pname "
                                                     "from Products000 where id='400'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral(" ,Shirts ,Sale"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("7"));
        QCOMPARE(q.value(2).toInt(), 1);
        QCOMPARE(q.value(3).toString(), QStringLiteral("2024-03-05 17:42:09"));
        q.finish();
        QCOMPARE(scalar(f.db(), QStringLiteral("select stock_quantity from Products000 where id='301'")).toString(),
                 QStringLiteral("null"));
        QCOMPARE(scalar(f.db(), QStringLiteral("select categories from Products000 where id='301'")).toString(), QString());

        // A changed product replaces its row; the next run starts one second after the newest change.
        QJsonObject changed = product(400, QStringLiteral("2024-04-01T08:00:00.500"));
        changed["name"] = "Renamed";
        f.server().putProduct(changed);
        f.server().clearRequests();
        QCOMPARE(sync.run({}).products, 1);
        gets = f.gets(kProducts);
        QCOMPARE(queryNames(gets[0]), (QStringList{"per_page", "page", "modified_after"}));
        QCOMPARE(gets[0].queryValue("modified_after"), QStringLiteral("2024-03-05 17:42:10"));
        QCOMPARE(f.count(QStringLiteral("select count(*) from Products000 where id='400'")), 1);
        QCOMPARE(scalar(f.db(), QStringLiteral("select Pname from Products000 where id='400'")).toString(),
                 QStringLiteral("Renamed"));
        QCOMPARE(sync.modifiedAfter(), QStringLiteral("2024-04-01 08:00:01"));
        QCOMPARE(sync.storedProducts().size(), 62);
    }

    void productMissingMemberFailsButKeepsTheStoredRow() {
        ShopFixture f;
        f.server().putProduct(product(1, day(1)));
        ProductSync(f.dm, f.access()).run({});
        QJsonObject broken = product(1, day(5));
        broken.remove("stock_status");
        f.server().putProduct(broken);
        try {
            ProductSync(f.dm, f.access()).run({});
            QFAIL("the run should have failed");
        } catch (const Error& e) {
            QVERIFY2(e.message().contains(QStringLiteral("stock_status")), qPrintable(e.message()));
        }
        QCOMPARE(f.count(QStringLiteral("select count(*) from Products000 where id='1'")), 1);
    }
};

QTEST_GUILESS_MAIN(TestSync)
#include "tst_sync.moc"
