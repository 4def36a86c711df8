#include "settings/settingswindow.h"

#include "common/error.h"
#include "config/datamodule.h"
#include "db/serverdiscovery.h"
#include "settings/databasepanel.h"
#include "settings/storepage.h"
#include "settings/taxespage.h"
#include "store/shopclient.h"
#include "widgets/links.h"
#include "widgets/prompter.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSemaphore>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>

namespace quillerby {

struct SettingsWindow::Link {
    QMutex mutex;
    SettingsWindow* window = nullptr;
    std::atomic<bool> gone{false};

    // Runs `call` on the window's thread unless the window is gone. Never blocks.
    template <typename F> bool post(F call) {
        QMutexLocker lock(&mutex);
        if (!window)
            return false;
        QMetaObject::invokeMethod(window, std::move(call), Qt::QueuedConnection);
        return true;
    }
};

// One store test. Its messages are shown on the UI thread while it waits; it reports its outcome and its end
// to the window, which releases it.
class StoreTestWorker : public QThread {
public:
    StoreTestWorker(const DataModule& dm, StoreTestInput input, std::shared_ptr<SettingsWindow::Link> link)
        : m_dm(dm), m_input(std::move(input)), m_link(std::move(link)) {
        ConnectionParams p = dm.storedParamsOrDefaults();
        m_network = NetworkSettings::from(p);
        m_relay = p.relayUrl;
    }

protected:
    void run() override {
        std::unique_ptr<DataModule::ThreadConnection> connection;
        StoreTestServices services;
        services.database = [&] {
            connection = std::make_unique<DataModule::ThreadConnection>(m_dm, ConnectionRole::Local);
            return connection->db();
        };
        services.catalogue = &m_dm.catalogue();
        services.network = &m_network;
        services.relayBase = m_relay;
        services.message = [this](const QString& text) { showAndWait(text); };
        const StoreTestOutcome outcome = runStoreTest(m_input, services);
        connection.reset();
        auto link = m_link;
        StoreTestWorker* self = this;
        link->post([link, self, outcome] {
            if (link->window)
                link->window->storeTestDone(self, outcome);
        });
    }

private:
    void showAndWait(const QString& text) {
        auto shown = std::make_shared<QSemaphore>();
        auto link = m_link;
        if (!link->post([link, shown, text] {
                if (link->window)
                    link->window->showWorkerMessage(text);
                shown->release();
            }))
            return;
        while (!shown->tryAcquire(1, 50)) {
            if (link->gone)
                return;
        }
    }

    const DataModule& m_dm;
    StoreTestInput m_input;
    NetworkSettings m_network;
    QString m_relay;
    std::shared_ptr<SettingsWindow::Link> m_link;
};

SettingsWindow::SettingsWindow(DataModule& dm, Prompter& prompter, bool wizard, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_prompter(prompter), m_link(std::make_shared<Link>()) {
    m_link->window = this;
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(tr("Setting"));
    setFixedSize(673, 478);

    const auto side = [this](const char* name, const QString& caption, const char* icon) {
        auto* b = new QPushButton(QIcon(QLatin1String(icon)), caption, this);
        b->setObjectName(QLatin1String(name));
        b->setIconSize(QSize(32, 32));
        b->setMinimumHeight(64);
        b->setMinimumWidth(150);
        b->setCheckable(true);
        b->setAutoExclusive(true);
        b->setAutoDefault(false);
        m_sideButtons << b;
        return b;
    };
    QPushButton* dbButton = side("Button1", tr("DataBase Setting"), ":/icons/settings.svg");
    QPushButton* taxButton = side("Button2", tr("Taxes && Numbers"), ":/icons/analytics.svg");
    QPushButton* storeButton = side("Button11", tr("Store Setting"), ":/icons/products.svg");
    auto* sideColumn = new QVBoxLayout;
    for (QPushButton* b : m_sideButtons) {
        sideColumn->addWidget(b);
        b->setEnabled(!wizard);
    }
    sideColumn->addStretch();

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->tabBar()->hide();

    auto* page1 = new QWidget;
    page1->setObjectName(QStringLiteral("TabSheet1"));
    m_panel = new DatabasePanel(dm, prompter, [this] { return m_wizardRun; }, page1);
    auto* nextButton = new QPushButton(tr("Next"), page1);
    nextButton->setObjectName(QStringLiteral("Button4"));
    nextButton->setDefault(true);
    auto* help = new QPushButton(tr("Help"), page1);
    help->setObjectName(QStringLiteral("Button7"));
    auto* page1Buttons = new QHBoxLayout;
    page1Buttons->addWidget(help);
    page1Buttons->addStretch();
    page1Buttons->addWidget(nextButton);
    auto* page1Layout = new QVBoxLayout(page1);
    page1Layout->setContentsMargins(4, 4, 4, 4);
    page1Layout->addWidget(m_panel, 1);
    page1Layout->addLayout(page1Buttons);
    m_pages->addTab(page1, tr("DataBase Setting"));

    auto* page2 = new QWidget;
    page2->setObjectName(QStringLiteral("TabSheet2"));
    m_taxes = new TaxesPage(dm, prompter, page2);
    auto* page2Layout = new QVBoxLayout(page2);
    page2Layout->setContentsMargins(4, 4, 4, 4);
    page2Layout->addWidget(m_taxes);
    m_pages->addTab(page2, tr("Taxes && Numbers"));

    auto* page3 = new QWidget;
    page3->setObjectName(QStringLiteral("TabSheet3"));
    m_store = new StorePage(dm, prompter, page3);
    auto* finishButton = new QPushButton(tr("Finish"), page3);
    finishButton->setObjectName(QStringLiteral("Button5"));
    auto* page3Buttons = new QHBoxLayout;
    page3Buttons->addStretch();
    page3Buttons->addWidget(finishButton);
    auto* page3Layout = new QVBoxLayout(page3);
    page3Layout->setContentsMargins(4, 4, 4, 4);
    page3Layout->addWidget(m_store, 1);
    page3Layout->addLayout(page3Buttons);
    m_pages->addTab(page3, tr("Store Details"));

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(sideColumn);
    layout->addWidget(m_pages, 1);

    connect(dbButton, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(taxButton, &QPushButton::clicked, this, [this] { showPage(1); });
    connect(storeButton, &QPushButton::clicked, this, [this] { showPage(2); });
    connect(nextButton, &QPushButton::clicked, this, &SettingsWindow::next);
    connect(finishButton, &QPushButton::clicked, this, &SettingsWindow::finish);
    connect(help, &QPushButton::clicked, this,
            [this] { m_prompter.openUrl(guideUrl(QStringLiteral("/guide#getting-started"))); });
    connect(m_panel, &DatabasePanel::closeRequested, this, &QWidget::close);
    connect(m_store, &StorePage::testRequested, this, &SettingsWindow::startStoreTest);

    m_panel->fillLocalServers(localSqlServerInstances());
    showPage(0);
}

SettingsWindow::~SettingsWindow() {
    {
        QMutexLocker lock(&m_link->mutex);
        m_link->window = nullptr;
        m_link->gone = true;
    }
    // Workers still at work finish on their own and release themselves; those that already reported their
    // end are only finishing their thread.
    for (StoreTestWorker* w : std::as_const(m_running)) {
        w->setParent(nullptr);
        connect(w, &QThread::finished, w, &QObject::deleteLater);
        if (w->isFinished())
            w->deleteLater();
    }
    QMutexLocker lock(&m_terminatedLock);
    for (StoreTestWorker* w : std::as_const(m_terminated)) {
        w->wait();
        delete w;
    }
    m_terminated.clear();
}

void SettingsWindow::showPage(int index) {
    m_pages->setCurrentIndex(index);
    if (index >= 0 && index < m_sideButtons.size())
        m_sideButtons[index]->setChecked(true);
    switch (index) {
    case 0:
        m_panel->refresh();
        break;
    case 1:
        m_taxes->reload();
        break;
    case 2:
        m_store->reload();
        break;
    default:
        break;
    }
}

int SettingsWindow::currentPage() const { return m_pages->currentIndex(); }

void SettingsWindow::next() {
    m_wizardRun = true;
    m_panel->testConnection();
    if (m_panel->databaseCorrectSetting())
        m_panel->save();
    if (m_panel->databaseSaveSetting())
        showPage(2);
}

void SettingsWindow::finish() {
    m_store->startTest();
    m_finishRequested = true;
}

void SettingsWindow::startStoreTest(const QString& link, const QString& key, const QString& secret) {
    auto* worker = new StoreTestWorker(m_dm, StoreTestInput{link, key, secret}, m_link);
    m_running << worker;
    worker->start();
}

void SettingsWindow::showWorkerMessage(const QString& text) { m_prompter.plain(text, this); }

void SettingsWindow::storeTestDone(StoreTestWorker* worker, StoreTestOutcome outcome) {
    switch (outcome) {
    case StoreTestOutcome::DatabaseFailed:
    case StoreTestOutcome::RelayFailed:
        m_finishRequested = false;
        break;
    case StoreTestOutcome::Connected:
        if (m_finishRequested)
            close();
        break;
    default:
        break;
    }
    emit storeTestEnded(outcome);
    workerTerminated(worker);
}

void SettingsWindow::workerTerminated(StoreTestWorker* worker) {
    m_running.removeOne(worker);
    m_store->endBusy();
    if (worker->isFinished()) {
        delete worker;
    } else {
        QMutexLocker lock(&m_terminatedLock);
        m_terminated << worker;
    }
    // Release every listed worker whose thread has ended, keeping the others in order.
    QMutexLocker lock(&m_terminatedLock);
    m_terminated.removeIf([](StoreTestWorker* w) {
        if (!w->isFinished())
            return false;
        delete w;
        return true;
    });
}

int SettingsWindow::terminatedThreadsCount() const {
    QMutexLocker lock(&m_terminatedLock);
    return m_terminated.size();
}

void SettingsWindow::reject() { close(); }

void SettingsWindow::closeEvent(QCloseEvent* event) {
    if (!m_dm.configExists()) {
        if (m_prompter.confirm(tr("Settings are not saved, the program\rWill be close if you click Yes"),
                               PromptButtons::YesNo, this) == PromptAnswer::Yes) {
            m_quitRequested = true;
            event->accept();
            QDialog::reject();
            return;
        }
        event->ignore();
        return;
    }
    if (m_taxes->hasPendingTaxEdit()) {
        const bool save = m_prompter.confirm(tr("Tax settings have not been saved, do you  \r want to save before "
                                                "closing?"),
                                             PromptButtons::YesNo, this) == PromptAnswer::Yes;
        try {
            if (save)
                m_taxes->postPendingTaxEdit();
            else
                m_taxes->dropPendingTaxEdit();
        } catch (const Error& e) {
            m_prompter.error(e.message(), this);
            event->ignore();
            return;
        }
    }
    event->accept();
    QDialog::reject();
}

} // namespace quillerby
