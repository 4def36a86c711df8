#include "app/theme.h"
#include "config/datamodule.h"
#include "config/taxtable.h"
#include "db/databasesetup.h"
#include "db/serverdiscovery.h"
#include "db/sqlexec.h"
#include "config/settingsservice.h"
#include "settings/databasepanel.h"
#include "settings/settingswindow.h"
#include "settings/storepage.h"
#include "settings/taxespage.h"
#include "support/scriptedprompter.h"
#include "support/testhome.h"
#include "widgets/busyindicator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillerby;

namespace {

struct Home : testing::TestHome {
    ScriptedPrompter prompter;
    void setUp() { QVERIFY(TestHome::setUp()); }
};

template <typename T> T* child(QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerUiResources(); }

    void wizardFirstRun() {
        Home h;
        SettingsWindow w(h.dm, h.prompter, true);
        for (const char* name : {"Button1", "Button2", "Button11"})
            QVERIFY(!child<QPushButton>(&w, name)->isEnabled());
        QCOMPARE(w.currentPage(), 0);
        QCOMPARE(w.databasePanel()->engine(), Engine::Sqlite); // a first run needs no server

        w.next();
        QCOMPARE(h.prompter.texts(), QStringList{QStringLiteral("Settings saved successfully")});
        QCOMPARE(w.currentPage(), 2);
        QVERIFY(h.dm.configExists());
        QVERIFY(QFile::exists(h.dm.paths().defaultDatabaseFile()));

        // Once "Next" ran, a later test shows no success box either.
        h.prompter.shown.clear();
        w.databasePanel()->testConnection();
        QVERIFY(h.prompter.shown.isEmpty());

        // "Finish" with an empty box asks for the fields, and still marks the window for closing.
        w.finish();
        QCOMPARE(h.prompter.texts(), QStringList{QStringLiteral("Please fill in all fields before proceeding")});
        QVERIFY(w.getCorrectStoreSetting());
    }

    void nextStaysWhenTheTestFails() {
        Home h;
        SettingsWindow w(h.dm, h.prompter, true);
        DatabasePanel* panel = w.databasePanel();
        child<QCheckBox>(panel, "CheckBox2")->setChecked(true);
        child<QLineEdit>(panel, "Edit1")->setText(QStringLiteral("missing-accounting.db"));
        w.next();
        QCOMPARE(h.prompter.shown.size(), 1);
        QCOMPARE(h.prompter.shown[0].kind, PromptKind::Error);
        QVERIFY(h.prompter.shown[0].text.startsWith(QStringLiteral("Connection failed: \r")));
        QCOMPARE(w.currentPage(), 0);
        QVERIFY(!h.dm.configExists());
        QVERIFY(!panel->databaseCorrectSetting());
    }

    void closeRules() {
        Home h;
        {
            SettingsWindow w(h.dm, h.prompter, true);
            w.show();
            h.prompter.answers.enqueue(PromptAnswer::No);
            QVERIFY(!w.close());
            QCOMPARE(h.prompter.texts().last(),
                     QStringLiteral("Settings are not saved, the program\rWill be close if you click Yes"));
            QCOMPARE(h.prompter.shown.last().buttons, PromptButtons::YesNo);
            QVERIFY(w.isVisible());
            h.prompter.answers.enqueue(PromptAnswer::Yes);
            QVERIFY(w.close());
            QVERIFY(w.quitRequested());
        }
        h.setUp();
        // An unposted tax edit: Yes writes it, No drops it; the window closes either way.
        for (const PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No}) {
            SettingsWindow w(h.dm, h.prompter, false);
            w.show();
            w.showPage(1);
            TaxesPage* taxes = w.taxesPage();
            taxes->setTaxProcessing(true);
            taxes->addTax();
            const int row = taxes->grid()->currentIndex().row();
            taxes->taxModel()->setData(taxes->taxModel()->index(row, TaxTableModel::Name),
                                       answer == PromptAnswer::Yes ? QStringLiteral("Kept") : QStringLiteral("Dropped"));
            h.prompter.answers.enqueue(answer);
            QVERIFY(w.close());
            QVERIFY(!w.quitRequested());
            QCOMPARE(h.prompter.texts().last(),
                     QStringLiteral("Tax settings have not been saved, do you  \r want to save before closing?"));
        }
        QCOMPARE(scalar(h.dm.local(), QStringLiteral("select group_concat(TaxeName) from taxes000")).toString(),
                 QStringLiteral("Kept"));
    }

    void numberFormatUpdate_data() {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("boxAfter");
        QTest::addColumn<QString>("storedSeparator");
        QTest::addColumn<QString>("storedDigits");
        const QString sepError = QStringLiteral("The thousands separator must be consistent with the global currency format");
        const QString digitError = QStringLiteral("The decimal digit number must be consistent with the global currency format");
        QTest::newRow("dot and three") << "." << "3" << "successfully updated" << "." << "." << "3";
        QTest::newRow("two characters") << "ab" << "2" << sepError << "a" << "," << "2";
        QTest::newRow("semicolon") << ";" << "2" << sepError << ";" << "," << "2";
        QTest::newRow("empty") << "" << "2" << sepError << "" << "," << "2";
        QTest::newRow("ten digits") << "," << "10" << digitError << "," << "," << "2";
        QTest::newRow("minus") << "." << "-" << digitError << "." << "," << "2";
        QTest::newRow("arabic digit") << "," << QString(QChar(0x0663)) << digitError << "," << "," << "2";
    }
    void numberFormatUpdate() {
        QFETCH(QString, separator);
        QFETCH(QString, digits);
        Home h;
        h.setUp();
        TaxesPage page(h.dm, h.prompter);
        page.reload();
        child<QLineEdit>(&page, "Edit1")->setText(separator);
        child<QLineEdit>(&page, "Edit2")->setText(digits);
        page.updateNumberFormat();
        QTEST(h.prompter.texts().join(QLatin1Char('|')), "message");
        QTEST(child<QLineEdit>(&page, "Edit1")->text(), "boxAfter");
        SettingsService::Values v = SettingsService(h.dm).read();
        QTEST(v.thousands, "storedSeparator");
        QTEST(v.digits, "storedDigits");
        QFETCH(QString, storedDigits);
        QCOMPARE(h.dm.settings().reportNumberFormat, QStringLiteral("%2.%1n").arg(storedDigits));
        QCOMPARE(h.dm.settings().thousandsSeparator, v.thousands);
        QCOMPARE(h.dm.formatAmount(1234.5),
                 v.thousands == QLatin1String(".") ? QStringLiteral("1234.500000") : QStringLiteral("1,234.50"));
    }

    void taxGrid() {
        Home h;
        h.setUp();
        execSql(h.dm.local(), QStringLiteral("insert into taxes000 (TaxeName, Rate) values ('Stored', 5)"));
        TaxesPage page(h.dm, h.prompter);
        page.resize(600, 420);
        page.show();
        page.reload();
        QVERIFY(!page.grid()->isEnabled()); // the shop computes taxes by default

        page.setTaxProcessing(true);
        QVERIFY(page.grid()->isEnabled());
        QCOMPARE(h.dm.settings().programWillProcessTax, QStringLiteral("yes"));
        QCOMPARE(SettingsService(h.dm).read().programWillProcessTax, QStringLiteral("yes"));
        TaxTableModel* m = page.taxModel();
        QCOMPARE(m->rowCount(), 1);

        // A row that was only added is discarded without a question.
        page.addTax();
        QCOMPARE(m->rowCount(), 2);
        page.deleteTax();
        QVERIFY(h.prompter.shown.isEmpty());
        QCOMPARE(m->rowCount(), 1);

        // "Save" posts an added row; unset columns take their defaults.
        page.addTax();
        int row = page.grid()->currentIndex().row();
        m->setData(m->index(row, TaxTableModel::Name), QStringLiteral("VAT"));
        m->setData(m->index(row, TaxTableModel::Rate), 7.5);
        page.saveTax();
        QVERIFY(!m->hasPendingEdit());
        QSqlQuery q = execSql(h.dm.local(), QStringLiteral("select Rate, Priority, compound from taxes000 where TaxeName='VAT'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), 7.5);
        QCOMPARE(q.value(1).toInt(), 0);
        QCOMPARE(q.value(2).toInt(), 0);
        q.finish();

        // A click anywhere in a yes/no cell flips it and leaves the row pending until "Save".
        row = -1;
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, TaxTableModel::Name).data().toString() == QLatin1String("VAT"))
                row = r;
        const QModelIndex cell = m->index(row, TaxTableModel::Compound);
        page.grid()->setCurrentIndex(cell);
        QApplication::processEvents();
        QRect rect = page.grid()->visualRect(cell);
        QTest::mouseClick(page.grid()->viewport(), Qt::LeftButton, {}, rect.topLeft() + QPoint(3, 3));
        QVERIFY(m->hasPendingEdit());
        QCOMPARE(cell.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        page.saveTax();
        QCOMPARE(scalar(h.dm.local(), QStringLiteral("select compound from taxes000 where TaxeName='VAT'")).toInt(), 1);

        // Deleting a stored row asks first.
        page.grid()->setCurrentIndex(m->index(row, TaxTableModel::Name));
        h.prompter.answers.enqueue(PromptAnswer::No);
        page.deleteTax();
        QCOMPARE(h.prompter.texts().last(), QStringLiteral("Are you sure you want to delete?"));
        QCOMPARE(scalar(h.dm.local(), QStringLiteral("select count(*) from taxes000")).toInt(), 2);
        h.prompter.answers.enqueue(PromptAnswer::Yes);
        page.deleteTax();
        QCOMPARE(scalar(h.dm.local(), QStringLiteral("select count(*) from taxes000 where TaxeName='VAT'")).toInt(), 0);

        page.setTaxProcessing(false);
        QVERIFY(!page.grid()->isEnabled());
        QCOMPARE(SettingsService(h.dm).read().programWillProcessTax, QStringLiteral("no"));
    }

    void databasePanelRules() {
        Home h;
        h.setUp();
        DatabasePanel panel(h.dm, h.prompter, [] { return false; });
        panel.resize(600, 420);
        panel.show();
        panel.refresh();
        QCOMPARE(panel.engine(), Engine::Sqlite);
        QVERIFY(!child<QComboBox>(&panel, "ComboBox1")->isVisible()); // the embedded database needs no server
        QVERIFY(child<QLineEdit>(&panel, "EditDatabaseFile")->isVisible());
        QVERIFY(!child<QPushButton>(&panel, "Button2")->isEnabled());

        panel.setEngine(Engine::MsSql);
        QVERIFY(child<QComboBox>(&panel, "ComboBox1")->isVisible());
        QVERIFY(!child<QLineEdit>(&panel, "Edit2")->isEnabled());
        child<QRadioButton>(&panel, "RadioServerAuth")->setChecked(true);
        QVERIFY(child<QLineEdit>(&panel, "Edit2")->isEnabled());
        QVERIFY(!child<QWidget>(&panel, "GroupBoxIntegration")->isVisible());
        child<QCheckBox>(&panel, "CheckBox2")->setChecked(true);
        QVERIFY(child<QWidget>(&panel, "GroupBoxIntegration")->isVisible());
        QVERIFY(!child<QLineEdit>(&panel, "Edit5")->isEnabled());
        child<QCheckBox>(&panel, "CheckBox1")->setChecked(true);
        QVERIFY(child<QLineEdit>(&panel, "Edit5")->isEnabled());

        // "Refresh" brings back what the file holds.
        panel.refresh();
        QCOMPARE(panel.engine(), Engine::Sqlite);
        QVERIFY(!child<QCheckBox>(&panel, "CheckBox2")->isChecked());

        // A successful test enables "Save", a save disables it again.
        panel.testConnection();
        QCOMPARE(h.prompter.texts(), QStringList{QStringLiteral("Successfully connected...\r\n")});
        QVERIFY(child<QPushButton>(&panel, "Button2")->isEnabled());
        panel.save();
        QVERIFY(!child<QPushButton>(&panel, "Button2")->isEnabled());
        QVERIFY(panel.databaseSaveSetting());
    }

    void browseForMoreStaysOnLoopback() {
        Home h;
        SqlBrowserResponder responder({QStringLiteral("SHOPPC\\SQLEXPRESS"), QStringLiteral("SHOPPC\\MSSQLSERVER")});
        DatabasePanel panel(h.dm, h.prompter, [] { return false; });
        panel.setEngine(Engine::MsSql);
        panel.setBrowseTarget(BrowseTarget::fromConfig(QStringLiteral("127.0.0.1:%1").arg(responder.port())));
        QSignalSpy done(&panel, &DatabasePanel::browseFinished);
        panel.browseForMore();
        auto* combo = child<QComboBox>(&panel, "ComboBox1");
        QCOMPARE(combo->currentText(), QStringLiteral("Retrieving please wait..."));
        QVERIFY(!child<QPushButton>(&panel, "Button5")->isEnabled());
        QVERIFY(child<BusyIndicator>(&panel, "Image2")->isAnimating());
        QVERIFY(done.wait(10000));
        QCOMPARE(responder.requestsSeen(), 1);
        QStringList names;
        for (int i = 0; i < combo->count(); ++i)
            names << combo->itemText(i);
        QCOMPARE(names, (QStringList{QStringLiteral("SHOPPC\\SQLEXPRESS"), QStringLiteral("SHOPPC\\MSSQLSERVER")}));
        QVERIFY(child<QPushButton>(&panel, "Button5")->isEnabled());
        QVERIFY(!child<BusyIndicator>(&panel, "Image2")->isAnimating());
        QCOMPARE(combo->currentText(), QStringLiteral("Retrieving please wait..."));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
