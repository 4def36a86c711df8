#pragma once

#include "config/connectionconfig.h"
#include "db/serverdiscovery.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quillerby {

class BusyIndicator;
class DataModule;
class Prompter;

// The database page's panel: engine, server and login, the accounting integration, "Test Connection",
// "Save", "Refresh", "Close". Works on the data module's connections and the configuration file.
class DatabasePanel : public QWidget {
    Q_OBJECT
public:
    // `wizardRun` tells whether the window runs as the wizard (no success box then).
    DatabasePanel(DataModule& dm, Prompter& prompter, std::function<bool()> wizardRun, QWidget* parent = nullptr);
    ~DatabasePanel() override;

    bool databaseCorrectSetting() const { return m_correct; }
    bool databaseSaveSetting() const { return m_saved; }

    void fillLocalServers(const QStringList& names);
    void testConnection();
    void save();
    void refresh();
    void browseForMore();
    // The engine chosen; a first run starts on the embedded database.
    void setEngine(Engine engine);
    Engine engine() const;
    // Where "Browse For More" asks (from the configuration's ServerBrowseAddress unless set here).
    void setBrowseTarget(const BrowseTarget& target) { m_browseTarget = target; }

signals:
    void closeRequested();
    void browseFinished();

private:
    ConnectionParams paramsFromFields() const;
    void applyRules();

    DataModule& m_dm;
    Prompter& m_prompter;
    std::function<bool()> m_wizardRun;
    bool m_correct = false;
    bool m_saved = false;

    QRadioButton* m_sqlite;
    QRadioButton* m_mssql;
    QWidget* m_fileRow;
    QLineEdit* m_file;
    QWidget* m_serverRow;
    QComboBox* m_server;
    QPushButton* m_browse;
    BusyIndicator* m_busy;
    QGroupBox* m_auth;
    QRadioButton* m_windowsAuth;
    QRadioButton* m_serverAuth;
    QWidget* m_loginRow;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QCheckBox* m_integration;
    QGroupBox* m_integrationGroup;
    QLineEdit* m_database;
    QCheckBox* m_ownAccounts;
    QLineEdit* m_customerAccount;
    QLineEdit* m_childAccount;
    QPushButton* m_testButton;
    QPushButton* m_saveButton;
    BrowseTarget m_browseTarget;
    class BrowseThread;
    BrowseThread* m_browseThread = nullptr;
};

} // namespace quillerby
