#include "app/aboutbox.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/theme.h"
#include "config/datamodule.h"
#include "db/databasesetup.h"
#include "db/sqlexec.h"
#include "support/scriptedprompter.h"
#include "support/testhome.h"
#include "widgets/windowregistry.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace quillerby;

namespace {

struct Home : testing::TestHome {
    ScriptedPrompter prompter;
    WindowRegistry registry;
    void setUp() { QVERIFY(TestHome::setUp()); }
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerUiResources(); }

    void firstRunWithoutSettingsWindowEnds() {
        Home h;
        QVERIFY(!prepareDataModule(h.dm, h.prompter, SettingsRunner()));
        QCOMPARE(h.prompter.texts(), QStringList{notSetUpText()});
        QVERIFY(!h.dm.local().isValid() || !h.dm.local().isOpen());
    }

    void firstRunOpensTheWizardBeforeAnythingElse() {
        Home h;
        QList<bool> runs;
        const bool go = prepareDataModule(h.dm, h.prompter, [&](bool wizard) {
            runs << wizard;
            if (wizard) // the wizard writes the configuration and creates the database
                h.setUp();
            return true;
        });
        QVERIFY(go);
        QCOMPARE(runs, QList<bool>{true});
        QVERIFY(h.prompter.shown.isEmpty());
        QVERIFY(h.dm.local().isOpen());
        QCOMPARE(h.dm.settings().reportNumberFormat, QStringLiteral("%2.2n"));
    }

    void connectionFailureShowsTheBoxAndGoesOn() {
        Home h;
        ConnectionParams p;
        p.engine = Engine::Sqlite; // configured, but the database was never created
        h.dm.saveConnectionParams(p);
        QList<bool> runs;
        QVERIFY(prepareDataModule(h.dm, h.prompter, [&](bool wizard) {
            runs << wizard;
            return true;
        }));
        QCOMPARE(runs, QList<bool>{false});
        QCOMPARE(h.prompter.shown.size(), 1);
        QCOMPARE(h.prompter.shown[0].kind, PromptKind::Error);
        QCOMPARE(h.prompter.shown[0].text, connectionFailureText());
        QCOMPARE(connectionFailureText().size(), 180);
        QCOMPARE(h.dm.settings().thousandsSeparator, QString()); // initial values stay

        // The main window still opens; its reads fail with the error's own text and leave the values empty.
        Session s = createSession(h.dm, h.prompter, h.registry);
        QCOMPARE(h.prompter.shown.size(), 2);
        QCOMPARE(h.prompter.shown[1].kind, PromptKind::Error);
        QVERIFY(s.mainWindow->website().isEmpty());
        QVERIFY(s.mainWindow->defaultReport().isEmpty());
    }

    void mainWindowReadsFirstShopAndDefaultTemplate() {
        Home h;
        h.setUp();
        QVERIFY(prepareDataModule(h.dm, h.prompter, SettingsRunner()));
        execSql(h.dm.local(), QStringLiteral("insert into websites000 (website, consumer_key, consumer_secret) values "
                                             "('https://a.example', 'ck_a', 'cs_a'), ('https://b.example', 'ck_b', 'cs_b')"));
        Session s = createSession(h.dm, h.prompter, h.registry);
        QVERIFY(h.prompter.shown.isEmpty());
        QCOMPARE(s.mainWindow->website(), QStringLiteral("https://a.example"));
        QCOMPARE(s.mainWindow->consumerKey(), QStringLiteral("ck_a"));
        QCOMPARE(s.mainWindow->consumerSecret(), QStringLiteral("cs_a"));
        QVERIFY(s.mainWindow->defaultReport().endsWith(QStringLiteral("A4 Design.fr3")));

        // Frame, toolbar and menus as the user knows them.
        MainWindow* w = s.mainWindow.get();
        QCOMPARE(w->windowTitle(), QStringLiteral("Quillerby"));
        QCOMPARE(w->action(QStringLiteral("AcProcessingOrders"))->shortcut(), QKeySequence(Qt::Key_F9));
        QStringList menus;
        for (QAction* a : w->menuBar()->actions())
            menus << a->text() + QLatin1Char('/') + a->property("mergeGroup").toString();
        QCOMPARE(menus, (QStringList{"File/0", "Orders/1", "Reports/2", "Option/3", "Help/4"}));
        QCOMPARE(w->findChild<QToolButton*>(QStringLiteral("Button3"))->text(), QStringLiteral("Customers List"));
        QVERIFY(!w->action(QStringLiteral("AcProcessingOrders"))->isEnabled()); // its window is not part of this build
        w->action(QStringLiteral("AcDocumentation"))->trigger();
        w->action(QStringLiteral("Acgeneral"))->trigger();
        QCOMPARE(h.prompter.openedUrls.size(), 2);
        QCOMPARE(h.prompter.openedUrls[0].path(), QStringLiteral("/guide"));
        QCOMPARE(h.prompter.openedUrls[1].fragment(), QStringLiteral("general-statics"));
    }

    void missingDefaultTemplateWarns() {
        Home h;
        h.setUp();
        QVERIFY(prepareDataModule(h.dm, h.prompter, SettingsRunner()));
        execSql(h.dm.local(), QStringLiteral("update reports000 set defaultRep = 0"));
        Session s = createSession(h.dm, h.prompter, h.registry);
        QCOMPARE(h.prompter.texts(),
                 QStringList{QStringLiteral("No report is set as default, Please select one to be the default")});
        QCOMPARE(h.prompter.shown[0].kind, PromptKind::Warning);
        QVERIFY(s.mainWindow->defaultReport().isEmpty());
    }

    void closeQuestion() {
        Home h;
        h.setUp();
        QVERIFY(prepareDataModule(h.dm, h.prompter, SettingsRunner()));
        Session s = createSession(h.dm, h.prompter, h.registry);
        s.mainWindow->show();
        h.prompter.answers.enqueue(PromptAnswer::Cancel);
        QVERIFY(!s.mainWindow->close());
        QCOMPARE(h.prompter.texts().last(), QStringLiteral("Do you want to exit applications?"));
        QCOMPARE(h.prompter.shown.last().buttons, PromptButtons::OkCancel);
        QVERIFY(s.mainWindow->isVisible());
        QVERIFY(h.dm.local().isOpen());

        h.prompter.answers.enqueue(PromptAnswer::Ok);
        QVERIFY(s.mainWindow->close());
        QVERIFY(!h.dm.local().isOpen());
    }

    void registryFindsApplicationWindowsByName() {
        WindowRegistry registry;
        auto* appOwned = new QWidget;
        appOwned->setObjectName(QStringLiteral("Form2"));
        auto* mainOwned = new QWidget;
        mainOwned->setObjectName(QStringLiteral("Form1"));
        registry.add(appOwned, WindowOwner::Application);
        registry.add(mainOwned, WindowOwner::MainWindow);
        QVERIFY(registry.isFormCreated(QStringLiteral("form2")));
        QVERIFY(registry.isFormCreated(QStringLiteral("FORM2")));
        QVERIFY(!registry.isFormCreated(QStringLiteral("form1")));
        delete appOwned;
        QVERIFY(!registry.isFormCreated(QStringLiteral("form2")));
        delete mainOwned;
    }

    void progressStepClosesProcessedOrdersAndAdvancesStatistics() {
        Home h;
        h.setUp();
        QVERIFY(prepareDataModule(h.dm, h.prompter, SettingsRunner()));
        Session s = createSession(h.dm, h.prompter, h.registry);
        auto* processed = new QWidget;
        processed->setObjectName(QStringLiteral("Form2"));
        processed->setAttribute(Qt::WA_DeleteOnClose);
        processed->show();
        h.registry.add(processed, WindowOwner::Application);
        QWidget statistics;
        auto* bar = new QProgressBar(&statistics);
        bar->setObjectName(QStringLiteral("ProgressBar1"));
        bar->setRange(0, 100);
        bar->setValue(50);
        s.mainWindow->setCurrentStatistics(&statistics);

        s.mainWindow->progressStep();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!h.registry.isFormCreated(QStringLiteral("form2")));
        QCOMPARE(bar->value(), 85);
        s.mainWindow->progressStep();
        QCOMPARE(bar->value(), 100); // never beyond the maximum
    }

    void aboutBox() {
        ScriptedPrompter prompter;
        AboutBox about(prompter);
        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        QCOMPARE(about.size(), QSize(370, 303));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("Version"))->text(), QStringLiteral("2.10.0.1"));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("ProductName"))->text(), QStringLiteral("Quillerby"));
        emit about.findChild<QLabel*>(QStringLiteral("LinkLabel1"))->linkActivated(QLatin1String(kMakerSite));
        QCOMPARE(prompter.openedUrls, QList<QUrl>{QUrl(QLatin1String(kMakerSite))});
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
