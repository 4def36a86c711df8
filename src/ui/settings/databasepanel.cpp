#include "settings/databasepanel.h"

#include "common/error.h"
#include "config/datamodule.h"
#include "db/databasesetup.h"
#include "db/serverdiscovery.h"
#include "widgets/busyindicator.h"
#include "widgets/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

namespace quillerby {

// The network search runs here; its result reaches the panel only through finished(), on the UI thread.
class DatabasePanel::BrowseThread : public QThread {
public:
    explicit BrowseThread(BrowseTarget target) : m_target(target) {}
    QStringList servers;

protected:
    void run() override { servers = browseSqlServers(m_target); }

private:
    BrowseTarget m_target;
};

namespace {
QLabel* label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }
} // namespace

DatabasePanel::DatabasePanel(DataModule& dm, Prompter& prompter, std::function<bool()> wizardRun, QWidget* parent)
    : QWidget(parent), m_dm(dm), m_prompter(prompter), m_wizardRun(std::move(wizardRun)) {
    setObjectName(QStringLiteral("Frame91"));

    auto* engineBox = new QGroupBox(tr("Database"), this);
    engineBox->setObjectName(QStringLiteral("RadioGroupEngine"));
    m_sqlite = new QRadioButton(tr("Embedded database (SQLite)"), engineBox);
    m_sqlite->setObjectName(QStringLiteral("RadioEmbedded"));
    m_mssql = new QRadioButton(tr("SQL Server"), engineBox);
    m_mssql->setObjectName(QStringLiteral("RadioSqlServer"));
    auto* engineLayout = new QHBoxLayout(engineBox);
    engineLayout->addWidget(m_sqlite);
    engineLayout->addWidget(m_mssql);
    engineLayout->addStretch();

    m_fileRow = new QWidget(this);
    m_file = new QLineEdit(m_fileRow);
    m_file->setObjectName(QStringLiteral("EditDatabaseFile"));
    m_file->setPlaceholderText(dm.paths().defaultDatabaseFile());
    auto* pickFile = new QPushButton(tr("Browse..."), m_fileRow);
    pickFile->setObjectName(QStringLiteral("ButtonDatabaseFile"));
    auto* fileLayout = new QHBoxLayout(m_fileRow);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    fileLayout->addWidget(label(tr("Database File"), m_fileRow));
    fileLayout->addWidget(m_file, 1);
    fileLayout->addWidget(pickFile);
    connect(pickFile, &QPushButton::clicked, this, [this] {
        const QString f = QFileDialog::getSaveFileName(this, tr("Database File"), m_file->text(),
                                                       tr("SQLite database (*.db);;All files (*)"), nullptr,
                                                       QFileDialog::DontConfirmOverwrite);
        if (!f.isEmpty())
            m_file->setText(QDir::toNativeSeparators(f));
    });

    m_serverRow = new QWidget(this);
    m_server = new QComboBox(m_serverRow);
    m_server->setObjectName(QStringLiteral("ComboBox1"));
    m_server->setEditable(true);
    m_server->setMinimumWidth(220);
    m_browse = new QPushButton(tr("Browse For More"), m_serverRow);
    m_browse->setObjectName(QStringLiteral("Button5"));
    m_busy = new BusyIndicator(m_serverRow);
    m_busy->setObjectName(QStringLiteral("Image2"));
    auto* serverLayout = new QHBoxLayout(m_serverRow);
    serverLayout->setContentsMargins(0, 0, 0, 0);
    serverLayout->addWidget(label(tr("Server Name"), m_serverRow));
    serverLayout->addWidget(m_server, 1);
    serverLayout->addWidget(m_busy);
    serverLayout->addWidget(m_browse);

    m_auth = new QGroupBox(tr("Authentication Type"), this);
    m_auth->setObjectName(QStringLiteral("RadioGroup1"));
    m_windowsAuth = new QRadioButton(tr("Windows Authentication"), m_auth);
    m_serverAuth = new QRadioButton(tr("Server Authentication"), m_auth);
    m_windowsAuth->setObjectName(QStringLiteral("RadioWindowsAuth"));
    m_serverAuth->setObjectName(QStringLiteral("RadioServerAuth"));
    m_windowsAuth->setChecked(true);
    auto* authLayout = new QHBoxLayout(m_auth);
    authLayout->addWidget(m_windowsAuth);
    authLayout->addWidget(m_serverAuth);
    authLayout->addStretch();

    m_loginRow = new QWidget(this);
    m_user = new QLineEdit(m_loginRow);
    m_user->setObjectName(QStringLiteral("Edit2"));
    m_password = new QLineEdit(m_loginRow);
    m_password->setObjectName(QStringLiteral("Edit3"));
    m_password->setEchoMode(QLineEdit::Password);
    auto* loginLayout = new QHBoxLayout(m_loginRow);
    loginLayout->setContentsMargins(0, 0, 0, 0);
    loginLayout->addWidget(label(tr("UserName"), m_loginRow));
    loginLayout->addWidget(m_user, 1);
    loginLayout->addWidget(label(tr("Password"), m_loginRow));
    loginLayout->addWidget(m_password, 1);

    m_integration = new QCheckBox(tr("Enable integration with Al ameen system"), this);
    m_integration->setObjectName(QStringLiteral("CheckBox2"));
    m_integrationGroup = new QGroupBox(this);
    m_integrationGroup->setObjectName(QStringLiteral("GroupBoxIntegration"));
    m_database = new QLineEdit(m_integrationGroup);
    m_database->setObjectName(QStringLiteral("Edit1"));
    m_ownAccounts = new QCheckBox(tr("Each customer has his own account"), m_integrationGroup);
    m_ownAccounts->setObjectName(QStringLiteral("CheckBox1"));
    m_customerAccount = new QLineEdit(m_integrationGroup);
    m_customerAccount->setObjectName(QStringLiteral("Edit5"));
    m_childAccount = new QLineEdit(m_integrationGroup);
    m_childAccount->setObjectName(QStringLiteral("Edit6"));
    auto* integrationLayout = new QFormLayout(m_integrationGroup);
    integrationLayout->addRow(tr("Database Name"), m_database);
    integrationLayout->addRow(m_ownAccounts);
    integrationLayout->addRow(tr("Customer Account"), m_customerAccount);
    integrationLayout->addRow(tr("Child customers account"), m_childAccount);

    m_testButton = new QPushButton(tr("Test Connection"), this);
    m_testButton->setObjectName(QStringLiteral("Button1"));
    m_saveButton = new QPushButton(tr("Save"), this);
    m_saveButton->setObjectName(QStringLiteral("Button2"));
    m_saveButton->setEnabled(false);
    auto* refresh = new QPushButton(tr("Refresh"), this);
    refresh->setObjectName(QStringLiteral("Button3"));
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("Button4"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_testButton);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(refresh);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(engineBox);
    layout->addWidget(m_fileRow);
    layout->addWidget(m_serverRow);
    layout->addWidget(m_auth);
    layout->addWidget(m_loginRow);
    layout->addWidget(m_integration);
    layout->addWidget(m_integrationGroup);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(m_sqlite, &QRadioButton::toggled, this, &DatabasePanel::applyRules);
    connect(m_serverAuth, &QRadioButton::toggled, this, &DatabasePanel::applyRules);
    connect(m_integration, &QCheckBox::toggled, this, &DatabasePanel::applyRules);
    connect(m_ownAccounts, &QCheckBox::toggled, this, &DatabasePanel::applyRules);
    connect(m_testButton, &QPushButton::clicked, this, &DatabasePanel::testConnection);
    connect(m_saveButton, &QPushButton::clicked, this, &DatabasePanel::save);
    connect(refresh, &QPushButton::clicked, this, &DatabasePanel::refresh);
    connect(close, &QPushButton::clicked, this, &DatabasePanel::closeRequested);
    connect(m_browse, &QPushButton::clicked, this, &DatabasePanel::browseForMore);

    ConnectionParams stored = m_dm.storedParamsOrDefaults();
    m_browseTarget = BrowseTarget::fromConfig(stored.serverBrowseAddress);
    m_sqlite->setChecked(true);
    applyRules();
}

DatabasePanel::~DatabasePanel() {
    if (m_browseThread) {
        // The search ends by itself within its answer time; the panel must outlive the thread's result.
        m_browseThread->disconnect(this);
        m_browseThread->wait();
        delete m_browseThread;
    }
}

void DatabasePanel::setEngine(Engine engine) {
    (engine == Engine::Sqlite ? m_sqlite : m_mssql)->setChecked(true);
    applyRules();
}

Engine DatabasePanel::engine() const { return m_sqlite->isChecked() ? Engine::Sqlite : Engine::MsSql; }

void DatabasePanel::applyRules() {
    const bool embedded = m_sqlite->isChecked();
    m_fileRow->setVisible(embedded);
    m_serverRow->setVisible(!embedded);
    m_auth->setVisible(!embedded);
    m_loginRow->setVisible(!embedded);
    m_user->setEnabled(m_serverAuth->isChecked());
    m_password->setEnabled(m_serverAuth->isChecked());
    m_integrationGroup->setVisible(m_integration->isChecked());
    m_customerAccount->setEnabled(m_ownAccounts->isChecked());
    m_childAccount->setEnabled(m_ownAccounts->isChecked());
}

void DatabasePanel::fillLocalServers(const QStringList& names) {
    const QString typed = m_server->currentText();
    m_server->clear();
    m_server->addItems(names);
    m_server->setEditText(typed);
}

ConnectionParams DatabasePanel::paramsFromFields() const {
    // Keys the panel does not show (driver, network options) keep what the file holds.
    ConnectionParams p = m_dm.storedParamsOrDefaults();
    p.engine = engine();
    p.databaseFile = m_file->text().trimmed();
    p.server = m_server->currentText();
    p.database = m_database->text();
    p.username = m_user->text();
    p.password = m_password->text();
    p.shippingAccount.clear();
    p.customerAccount = m_customerAccount->text();
    p.customerChildAccount = m_childAccount->text();
    p.windowsAuth = m_serverAuth->isChecked() ? 1 : 0;
    p.cbUnique = m_ownAccounts->isChecked() ? 1 : 0;
    p.cbIsIntegrated = m_integration->isChecked() ? 1 : 0;
    return p;
}

void DatabasePanel::testConnection() {
    const ConnectionParams p = paramsFromFields();
    const ConnectionTestResult r =
        quillerby::testConnection(m_dm, p, m_wizardRun && m_wizardRun(), [this](NoticeKind kind, const QString& text) {
            switch (kind) {
            case NoticeKind::Plain:
                m_prompter.plain(text, this);
                break;
            case NoticeKind::Information:
                m_prompter.information(text, this);
                break;
            case NoticeKind::Warning:
                m_prompter.warning(text, this);
                break;
            case NoticeKind::Error:
                m_prompter.error(text, this);
                break;
            }
        });
    if (r.saveEnabled)
        m_saveButton->setEnabled(true);
    m_correct = r.succeeded;
}

void DatabasePanel::save() {
    try {
        m_dm.saveConnectionParams(paramsFromFields());
        m_prompter.information(tr("Settings saved successfully"), this);
        m_correct = true;
        m_saved = true;
        m_saveButton->setEnabled(false);
    } catch (const Error& e) {
        m_prompter.error(tr("An error accured:\r\n") + e.message(), this);
        m_saved = false;
    }
}

void DatabasePanel::refresh() {
    ConnectionParams p;
    p.username = m_user->text();
    p.password = m_password->text();
    p.customerAccount = m_customerAccount->text();
    p.customerChildAccount = m_childAccount->text();
    try {
        m_dm.loadConnectionParams(p);
    } catch (const Error& e) {
        m_prompter.error(e.message(), this);
        return;
    }
    if (m_dm.configExists())
        (p.engine == Engine::Sqlite ? m_sqlite : m_mssql)->setChecked(true);
    m_file->setText(p.databaseFile);
    m_server->setEditText(p.server);
    m_database->setText(p.database);
    m_user->setText(p.username);
    m_password->setText(p.password);
    m_customerAccount->setText(p.customerAccount);
    m_childAccount->setText(p.customerChildAccount);
    (p.windowsAuth == 1 ? m_serverAuth : m_windowsAuth)->setChecked(true);
    m_ownAccounts->setChecked(p.cbUnique != 0);
    m_integration->setChecked(p.cbIsIntegrated != 0);
    applyRules();
}

void DatabasePanel::browseForMore() {
    if (m_browseThread)
        return;
    m_server->clear();
    m_busy->start();
    m_browse->setEnabled(false);
    m_server->setEditText(tr("Retrieving please wait..."));
    m_browseThread = new BrowseThread(m_browseTarget);
    connect(m_browseThread, &QThread::finished, this, [this] {
        BrowseThread* done = m_browseThread;
        m_browseThread = nullptr;
        try {
            const QString typed = m_server->currentText();
            m_server->clear();
            m_server->addItems(done->servers);
            m_server->setEditText(typed);
            m_browse->setEnabled(true);
            if (isVisible() && m_server->count() > 0)
                m_server->showPopup();
        } catch (...) {
            m_prompter.error(tr("A connection to the database server could not be established.\rPlease make sure "
                                "that there is a copy of SQL Server installed, and \rthat the database connection "
                                "settings are correct."),
                             this);
        }
        m_busy->stop();
        done->deleteLater();
        emit browseFinished();
    });
    m_browseThread->start();
}

} // namespace quillerby
