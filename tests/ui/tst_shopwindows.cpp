#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/theme.h"
#include "common/error.h"
#include "products/productswindow.h"
#include "settings/settingswindow.h"
#include "settings/storepage.h"
#include "store/storetest.h"
#include "support/scriptedprompter.h"
#include "support/shopfixture.h"
#include "widgets/operationgate.h"
#include "widgets/windowregistry.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

using namespace quillerby;
using namespace quillerby::testing;

Q_DECLARE_METATYPE(quillerby::StoreTestOutcome)

namespace {

const QString kCongratulations = QStringLiteral("Congratulations!\r\nYour store has been successfully connected.");

void appendConfig(const DataModule& dm, const QByteArray& line) {
    QFile f(dm.configFile());
    QVERIFY(f.open(QIODevice::Append));
    f.write(line + '\n');
}

// Runs one store test from the window's page and waits for its end.
StoreTestOutcome storeTest(SettingsWindow& w, const QString& link, const QString& key, const QString& secret,
                           bool viaFinish = false) {
    w.showPage(2);
    w.storePage()->findChild<QLineEdit*>(QStringLiteral("Edit5"))->setText(link);
    w.storePage()->findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(key);
    w.storePage()->findChild<QLineEdit*>(QStringLiteral("Edit4"))->setText(secret);
    QSignalSpy ended(&w, &SettingsWindow::storeTestEnded);
    if (viaFinish)
        w.finish();
    else
        w.storePage()->startTest();
    if (!ended.wait(20000))
        qFatal("the store test did not end");
    return ended.first().first().value<StoreTestOutcome>();
}

} // namespace

class TestShopWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        registerUiResources();
        qRegisterMetaType<StoreTestOutcome>();
    }

    void wizardFromFirstRunToFinish() {
        // A first run: no configuration yet, the shop is waiting.
        QTemporaryDir dir;
        DataModule dm(AppPaths::fromFolders(dir.path() + QStringLiteral("/home"), dir.path()));
        demo::DemoShopThread shop(ShopFixture::options());
        QVERIFY(shop.start());
        ScriptedPrompter prompter;
        bool continued = prepareDataModule(dm, prompter, [&](bool wizard) {
            SettingsWindow w(dm, prompter, wizard);
            w.show();
            w.next();
            if (w.currentPage() != 2)
                return false;
            const StoreTestOutcome outcome = storeTest(w, shop.baseUrl().toString(), "ck_test", "cs_test", true);
            if (outcome != StoreTestOutcome::Connected || w.isVisible())
                return false;
            return !w.quitRequested();
        });
        QVERIFY(continued);
        QCOMPARE(prompter.texts(), (QStringList{QStringLiteral("Settings saved successfully"), kCongratulations}));
        QVERIFY(dm.local().isOpen()); // start-up went on with the new configuration
        QCOMPARE(firstStoredShop(dm.local(), dm.catalogue())->website, shop.baseUrl().toString());
    }

    void storeTestOutcomes() {
        ShopFixture f;
        ScriptedPrompter prompter;
        const QString url = f.shop.baseUrl().toString();
        SettingsWindow w(f.dm, prompter, false);
        w.show();

        // Wrong secret: the shop answers 401, which is a failed request with the client's own text.
        QCOMPARE(storeTest(w, url, "ck_test", "cs_wrong"), StoreTestOutcome::Failed);
        QVERIFY(prompter.texts().last().startsWith(QStringLiteral("An error occurred.\r\n")));
        QVERIFY(prompter.texts().last().contains(QStringLiteral("401")));
        QCOMPARE(prompter.shown.last().kind, PromptKind::Plain);

        // A completed request with another 2xx status.
        f.server().setFailure(QStringLiteral("/wp-json/wc/v3/settings/general"), 201);
        QCOMPARE(storeTest(w, url, "ck_test", "cs_test"), StoreTestOutcome::Rejected);
        QCOMPARE(prompter.texts().last(), QStringLiteral("Invalid WooCommerce API credentials or configuration."));
        f.server().clearFailures();

        // Nothing listens there.
        QCOMPARE(storeTest(w, QStringLiteral("http://127.0.0.1:1"), "ck_test", "cs_test"), StoreTestOutcome::Failed);
        QVERIFY(prompter.texts().last().startsWith(QStringLiteral("An error occurred.\r\n")));
        QCOMPARE(f.count(QStringLiteral("select count(*) from websites000")), 0);

        // Success stores the shop with its currency; the built-in relay has nothing to register.
        QCOMPARE(storeTest(w, url, "ck_test", "cs_test"), StoreTestOutcome::Connected);
        QCOMPARE(prompter.texts().last(), kCongratulations);
        QSqlQuery q = execSql(f.db(), QStringLiteral("select website, consumer_key, consumer_secret, currency from websites000"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), url);
        QCOMPARE(q.value(2).toString(), QStringLiteral("cs_test"));
        QCOMPARE(q.value(3).toString(), f.server().currency());
        q.finish();
        QVERIFY(w.isVisible()); // not started by "Finish"
        QVERIFY(!w.storePage()->isBusy());

        // The same secret again writes nothing new.
        QCOMPARE(storeTest(w, url, "ck_test", "cs_test"), StoreTestOutcome::Connected);
        QCOMPARE(f.count(QStringLiteral("select count(*) from websites000")), 1);
    }

    void storeTestRelayAndDatabaseFailures() {
        ShopFixture f;
        ScriptedPrompter prompter;
        const QString url = f.shop.baseUrl().toString();
        appendConfig(f.dm, "RelayUrl=" + url.toUtf8());
        {
            SettingsWindow w(f.dm, prompter, false);
            w.show();
            // A relay that fails: the row is already stored, and "Finish" no longer closes the window.
            f.server().setFailure(QStringLiteral("/api/getcred"), 500);
            QCOMPARE(storeTest(w, url, "ck_test", "cs_test", true), StoreTestOutcome::RelayFailed);
            QVERIFY(prompter.texts().last().startsWith(QStringLiteral("An error occurred.\r\n")));
            QVERIFY(!w.getCorrectStoreSetting());
            QCOMPARE(f.count(QStringLiteral("select count(*) from websites000")), 1);
            QVERIFY(w.isVisible());

            // "Finish" again, with the relay working: the credentials are registered (escaped JSON) and the
            // window closes after its success box.
            f.server().clearFailures();
            QCOMPARE(storeTest(w, url, "ck_test", "cs_test", true), StoreTestOutcome::Connected);
            QCOMPARE(prompter.texts().last(), kCongratulations);
            QVERIFY(!w.isVisible());
            const auto registrations = f.server().credentialRegistrations();
            QCOMPARE(registrations.size(), 1);
            QCOMPARE(registrations.first().websiteName, url);
            QCOMPARE(f.server().requests().last().body.count("\r\n"), 2);
        }
        {
            // The connection cannot be stored.
            execSql(f.db(), QStringLiteral("create trigger refuse before insert on websites000 "
                                           "begin select raise(abort, 'disk full'); end"));
            f.server().setCredentials(QStringLiteral("ck_test"), QStringLiteral("cs_other")); // new keys: a new row
            SettingsWindow w(f.dm, prompter, false);
            w.show();
            QCOMPARE(storeTest(w, url, "ck_test", "cs_other", true), StoreTestOutcome::DatabaseFailed);
            QCOMPARE(prompter.texts().last(), QStringLiteral("A connection to database error occurred "));
            QVERIFY(!w.getCorrectStoreSetting());
            QCOMPARE(f.server().credentialRegistrations().size(), 1); // the relay was not told
        }
    }

    void workersNeverTouchAGoneWindow() {
        ShopFixture f;
        ScriptedPrompter prompter;
        f.server().setDelay(400);
        {
            SettingsWindow w(f.dm, prompter, false);
            w.show();
            w.showPage(2);
            w.storePage()->findChild<QLineEdit*>(QStringLiteral("Edit5"))->setText(f.shop.baseUrl().toString());
            w.storePage()->findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(QStringLiteral("ck_test"));
            w.storePage()->findChild<QLineEdit*>(QStringLiteral("Edit4"))->setText(QStringLiteral("cs_test"));
            w.storePage()->startTest();
            w.storePage()->startTest(); // a second test while the first runs: a worker each
            QCOMPARE(w.storeTestsRunning(), 2);
        } // the window goes while both wait for the shop
        // The workers finish on their own: they store the shop but show nothing.
        QTRY_COMPARE_WITH_TIMEOUT(f.count(QStringLiteral("select count(*) from websites000")), 1, 10000);
        QTest::qWait(300);
        QVERIFY(prompter.shown.isEmpty());
    }

    void twoTestsReleaseTheirWorkers() {
        ShopFixture f;
        ScriptedPrompter prompter;
        SettingsWindow w(f.dm, prompter, false);
        for (int i = 0; i < 2; ++i)
            QCOMPARE(storeTest(w, f.shop.baseUrl().toString(), "ck_test", "cs_test"), StoreTestOutcome::Connected);
        QCOMPARE(w.storeTestsRunning(), 0);
        QVERIFY(w.terminatedThreadsCount() <= 1); // the first one was released by the second's bookkeeping
    }

    void synchAllOrdersFromTheMainWindow() {
        ShopFixture f;
        for (int i = 0; i < 3; ++i)
            f.server().putOrder(order(100 + i, QStringLiteral("completed"), QStringLiteral("2024-05-0%1T10:00:00").arg(i + 1)));
        execSql(f.db(), QStringLiteral("insert into websites000 (website, consumer_key, consumer_secret) values (:w, 'ck_test', 'cs_test')"),
                {{QStringLiteral("w"), f.shop.baseUrl().toString()}});
        ScriptedPrompter prompter;
        WindowRegistry registry;
        QVERIFY(prepareDataModule(f.dm, prompter, SettingsRunner()));
        Session s = createSession(f.dm, prompter, registry);
        MainWindow* w = s.mainWindow.get();
        QAction* sync = w->action(QStringLiteral("AcSynchAll"));

        // "No" after the question: nothing is asked of the shop.
        prompter.answers.enqueue(PromptAnswer::No);
        sync->trigger();
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].buttons, PromptButtons::YesNo);
        QVERIFY(prompter.shown[0].text.startsWith(QStringLiteral("This process takes some time to fetch orders\r")));
        QCOMPARE(f.server().requestCount(), 0);

        // While it runs, another run cannot start; afterwards the action is back.
        bool disabledWhileRunning = false;
        connect(s.gate.get(), &OperationGate::busyChanged, this, [&](bool busy) {
            if (busy)
                disabledWhileRunning = !sync->isEnabled();
        });
        sync->trigger();
        QCOMPARE(prompter.texts().last(), QStringLiteral("Orders have been successfully fetched from the online store"));
        QVERIFY(sync->isEnabled());
        QCOMPARE(w->progressBar()->maximum(), 3);
        QCOMPARE(f.count(QStringLiteral("select count(*) from Orders000")), 3);

        sync->trigger();
        QCOMPARE(prompter.texts().last(), QStringLiteral("Your data is up to date"));

        f.server().putOrder(order(200, QStringLiteral("completed"), QStringLiteral("2024-06-01T10:00:00")));
        f.server().setFailure(QStringLiteral("/wp-json/wc/v3/orders"), 503);
        sync->trigger();
        QCOMPARE(prompter.shown.last().kind, PromptKind::Error);
        QVERIFY(prompter.texts().last().contains(QStringLiteral("503")));
        QVERIFY(sync->isEnabled());
        Q_UNUSED(disabledWhileRunning);
    }

    void productsWindowListsTheCatalogue() {
        ShopFixture f;
        QJsonObject p{{"id", 9},           {"name", "Mug"},         {"slug", "mug"},
                      {"permalink", "x"},  {"date_created", "2024-01-01T00:00:00"},
                      {"date_modified", "2024-01-02T00:00:00"}, {"type", "simple"}, {"status", "publish"},
                      {"featured", false}, {"catalog_visibility", "visible"}, {"description", ""},
                      {"short_description", ""}, {"sku", "MUG"}, {"price", "4.50"}, {"regular_price", "4.50"},
                      {"sale_price", ""}, {"virtual", false}, {"tax_status", "taxable"}, {"tax_class", ""},
                      {"manage_stock", false}, {"stock_quantity", QJsonValue::Null}, {"stock_status", "instock"},
                      {"categories", QJsonArray{QJsonObject{{"id", 1}, {"name", "Kitchen"}}}}};
        f.server().putProduct(p);
        execSql(f.db(), QStringLiteral("insert into Products000 (id, Pname, catalog_visibility, stock_quantity) "
                                       "values ('1', 'Old', 'null', 'null')"));
        ScriptedPrompter prompter;
        OperationGate gate;
        ProductsWindow w(f.dm, prompter, gate, [&f] { return f.access(); }, {});
        QCOMPARE(w.windowTitle(), QStringLiteral("Products"));
        QCOMPARE(w.list()->topLevelItemCount(), 0); // empty until the first synchronisation
        w.synchronize();
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(w.list()->topLevelItemCount(), 2);
        const QTreeWidgetItem* old = w.list()->topLevelItem(0);
        QCOMPARE(old->text(4), QStringLiteral("null")); // shown as stored in "Catalog Visibility"
        QCOMPARE(old->text(6), QString());              // "null" quantity: empty cell
        const QTreeWidgetItem* mug = w.list()->topLevelItem(1);
        QCOMPARE(mug->text(0), QStringLiteral("MUG"));
        QCOMPARE(mug->text(5), QStringLiteral(" ,Kitchen"));
        w.synchronize(); // twice: each product listed once
        QCOMPARE(w.list()->topLevelItemCount(), 2);
    }
};

QTEST_MAIN(TestShopWindows)
#include "tst_shopwindows.moc"
