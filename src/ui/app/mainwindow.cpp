#include "app/mainwindow.h"

#include "app/aboutbox.h"
#include "common/error.h"
#include "config/datamodule.h"
#include "db/sqlexec.h"
#include "settings/settingswindow.h"
#include "store/ordersync.h"
#include "widgets/operationgate.h"
#include "store/storetest.h"
#include "widgets/links.h"
#include "widgets/prompter.h"
#include "widgets/windowregistry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace quillerby {

namespace {
// Each top-level menu carries the group that decides how a child window's menu merges into the frame's.
const char* kMergeGroup = "mergeGroup";
} // namespace

MainWindow::MainWindow(DataModule& dm, Prompter& prompter, WindowRegistry& registry, OperationGate& gate,
                       QWidget* parent)
    : QMainWindow(parent), m_dm(dm), m_prompter(prompter), m_registry(registry), m_gate(gate) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(tr("Quillerby"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    resize(830, 458 + 42 + 17 + 24);

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setFixedHeight(17);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addPermanentWidget(m_progress, 1);

    buildActions();
    buildMenus();
    buildToolBar();

    // Nothing that starts another long operation, or changes the database under one, while one runs.
    connect(&m_gate, &OperationGate::busyChanged, this, [this](bool busy) {
        for (const char* name : {"AcSynchAll", "AcDatabaseSetting"})
            action(QLatin1String(name))->setEnabled(!busy);
    });
}

QAction* MainWindow::makeAction(const char* objectName, const QString& caption, bool available) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(objectName));
    // Actions whose windows are not part of this build stay visible but cannot be chosen.
    a->setEnabled(available);
    return a;
}

void MainWindow::buildActions() {
    auto* processing = makeAction("AcProcessingOrders", tr("Processing Orders"), false);
    processing->setShortcut(QKeySequence(Qt::Key_F9));
    processing->setIcon(QIcon(QStringLiteral(":/icons/processing-orders.svg")));
    auto* sync = makeAction("AcSynchAll", tr("Synch All Orders"), true);
    sync->setIcon(QIcon(QStringLiteral(":/icons/sync-orders.svg")));
    connect(sync, &QAction::triggered, this, &MainWindow::synchronizeOrders);
    makeAction("AcCustomerList", tr("Customer List"), false)->setIcon(QIcon(QStringLiteral(":/icons/customers.svg")));
    makeAction("AcAnalytics", tr("Analytics"), false)->setIcon(QIcon(QStringLiteral(":/icons/analytics.svg")));
    auto* settings = makeAction("AcDatabaseSetting", tr("Program Setting"), true);
    settings->setIcon(QIcon(QStringLiteral(":/icons/settings.svg")));
    connect(settings, &QAction::triggered, this, &MainWindow::openSettings);
    auto* docs = makeAction("AcDocumentation", tr("Documentation"), true);
    docs->setIcon(QIcon(QStringLiteral(":/icons/documentation.svg")));
    connect(docs, &QAction::triggered, this, [this] { m_prompter.openUrl(guideUrl(QStringLiteral("/guide"))); });
    auto* general = makeAction("Acgeneral", tr("General Statics"), true);
    connect(general, &QAction::triggered, this,
            [this] { m_prompter.openUrl(guideUrl(QStringLiteral("/guide#general-statics"))); });
    auto* about = makeAction("Acabout", tr("About"), true);
    about->setIcon(QIcon(QStringLiteral(":/icons/about.svg")));
    connect(about, &QAction::triggered, this, [this] {
        if (m_about)
            m_about->exec();
    });
    auto* exitApp = makeAction("AcExitApp", tr("Exit"), true);
    exitApp->setIcon(QIcon(QStringLiteral(":/icons/exit.svg")));
    connect(exitApp, &QAction::triggered, this, &QWidget::close);
    makeAction("AcMonthlySales", tr("Monthly Sales"), false);
    makeAction("AcSalesByPayment", tr("Sales By Payment Method"), false);
}

void MainWindow::openSettings() {
    SettingsWindow window(m_dm, m_prompter, false, this);
    window.exec();
    if (window.quitRequested()) {
        m_closeConfirmed = true;
        m_dm.closeConnections();
        QCoreApplication::quit();
    }
}

void MainWindow::setProductsWindow(QWidget* window) {
    m_products = window;
    findChild<QAction*>(QStringLiteral("ProductsListButtonAction"))->setEnabled(window != nullptr);
}

ShopAccess MainWindow::shopAccess() const {
    ConnectionParams p = m_dm.storedParamsOrDefaults();
    return ShopAccess{m_website, m_ck, m_cs, NetworkSettings::from(p)};
}

void MainWindow::synchronizeOrders() {
    OperationScope operation(m_gate);
    if (!operation.active())
        return;
    m_progress->setValue(0);
    progressStep();
    progressStep();
    if (m_prompter.confirm(tr("This process takes some time to fetch orders\r from your online store do you want to "
                              "continue? \r Click Yes to continue or No to cancel the process"),
                           PromptButtons::YesNo, this) != PromptAnswer::Yes)
        return;
    progressStep();
    progressStep();
    try {
        OrderSync sync(m_dm, shopAccess());
        SyncProgress progress;
        progress.setMaximum = [this](int total) {
            m_progress->setMaximum(qMax(1, total));
            m_progress->setValue(0);
            QCoreApplication::processEvents();
        };
        progress.step = [this] { progressStep(); };
        progress.pageDone = [this](int orders) { m_progress->setValue(qMin(m_progress->maximum(), m_progress->value() + orders)); };
        progress.idle = [] { QCoreApplication::processEvents(); };
        const OrderSyncResult r = sync.run(progress);
        if (r.upToDate) {
            m_prompter.information(tr("Your data is up to date"), this);
            return;
        }
        m_prompter.information(tr("Orders have been successfully fetched from the online store"), this);
        m_progress->setValue(0);
        emit ordersChanged();
    } catch (const Error& e) {
        m_prompter.error(e.message(), this);
        emit ordersChanged();
    }
}

void MainWindow::setAboutBox(AboutBox* about) { m_about = about; }

QAction* MainWindow::action(const QString& objectName) const {
    return findChild<QAction*>(objectName, Qt::FindDirectChildrenOnly);
}

void MainWindow::buildMenus() {
    const auto menu = [this](const QString& title, const char* name, int group) {
        QMenu* m = menuBar()->addMenu(title);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setProperty(kMergeGroup, group);
        return m;
    };
    QMenu* file = menu(tr("File"), "File1", 0);
    file->addAction(action(QStringLiteral("AcExitApp")));
    QMenu* orders = menu(tr("Orders"), "Orders1", 1);
    orders->addAction(action(QStringLiteral("AcProcessingOrders")));
    orders->addAction(action(QStringLiteral("AcSynchAll")));
    orders->addSeparator();
    orders->addAction(action(QStringLiteral("AcCustomerList")));
    QMenu* reports = menu(tr("Reports"), "Reports1", 2);
    reports->addAction(action(QStringLiteral("AcAnalytics")));
    QMenu* option = menu(tr("Option"), "Option1", 3);
    option->addAction(action(QStringLiteral("AcDatabaseSetting")));
    QMenu* help = menu(tr("Help"), "Help1", 4);
    help->addAction(action(QStringLiteral("AcDocumentation")));
    help->addAction(action(QStringLiteral("Acgeneral")));
    help->addSeparator();
    help->addAction(action(QStringLiteral("Acabout")));
}

void MainWindow::buildToolBar() {
    m_toolBar = addToolBar(tr("Main"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setFixedHeight(42);
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto button = [this](const char* name, QAction* act, const QString& caption, int width) {
        auto* b = new QToolButton(m_toolBar);
        b->setObjectName(QLatin1String(name));
        b->setDefaultAction(act);
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        // The widths are minimums: a caption is never cut, whatever the font.
        b->setMinimumWidth(width);
        b->setFixedHeight(35);
        b->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        m_toolBar->addWidget(b);
        return b;
    };
    button("Button2", action(QStringLiteral("AcProcessingOrders")), tr("Processing Orders"), 140);
    button("Button1", action(QStringLiteral("AcSynchAll")), tr("Synch All Orders"), 140);
    button("Button3", action(QStringLiteral("AcCustomerList")), tr("Customers List"), 116);
    // The products and template windows are plain buttons, not actions of the menu.
    auto* products = new QAction(QIcon(QStringLiteral(":/icons/products.svg")), tr("Products List"), this);
    products->setObjectName(QStringLiteral("ProductsListButtonAction"));
    products->setEnabled(false);
    connect(products, &QAction::triggered, this, [this] {
        if (m_products) {
            m_products->show();
            m_products->raise();
            m_products->activateWindow();
        }
    });
    button("Button4", products, tr("Products List"), 120);
    auto* addReport = new QAction(QIcon(QStringLiteral(":/icons/add-report.svg")), tr("Add Report"), this);
    addReport->setObjectName(QStringLiteral("AddReportButtonAction"));
    addReport->setEnabled(false);
    button("Button5", addReport, tr("Add Report"), 128);
}

void MainWindow::loadStartupValues() {
    try {
        if (const auto shop = firstStoredShop(m_dm.local(), m_dm.catalogue())) {
            m_ck = shop->key;
            m_cs = shop->secret;
            m_website = shop->website;
        }

        const QString reportSql = m_dm.catalogue().statement(QStringLiteral("default_report_path"));
        if (scalar(m_dm.local(), reportSql).toString().isEmpty()) {
            m_prompter.warning(tr("No report is set as default, Please select one to be the default"), this);
            // The template window that lets the user pick one joins here once it is part of the build.
        }
        m_defaultRep = scalar(m_dm.local(), reportSql).toString();
    } catch (const Error& e) {
        m_prompter.error(e.message(), this);
    }
}

void MainWindow::afterShown() {
    // The statistics window, the frame's home view, opens here once it is part of the build.
}

void MainWindow::progressStep() {
    if (QWidget* processed = m_registry.find(QStringLiteral("form2")))
        processed->close();
    if (m_currentStatistics) {
        if (auto* bar = m_currentStatistics->findChild<QProgressBar*>(QStringLiteral("ProgressBar1")))
            bar->setValue(qMin(bar->maximum(), bar->value() + 35));
    }
    QCoreApplication::processEvents();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A running synchronisation owns the connections until it ends.
    if (m_gate.busy()) {
        event->ignore();
        return;
    }
    if (m_closeConfirmed) {
        event->accept();
        return;
    }
    if (m_prompter.confirm(tr("Do you want to exit applications?"), PromptButtons::OkCancel, this) !=
        PromptAnswer::Ok) {
        event->ignore();
        return;
    }
    m_closeConfirmed = true;
    m_dm.closeConnections();
    event->accept();
}

} // namespace quillerby
