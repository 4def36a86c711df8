#pragma once

#include "store/storetest.h"

#include <QDialog>
#include <QList>
#include <QMutex>
#include <atomic>
#include <memory>

class QPushButton;
class QTabWidget;

namespace quillerby {

class DataModule;
class DatabasePanel;
class Prompter;
class StorePage;
class StoreTestWorker;
class TaxesPage;

// The "Setting" dialog and first-run wizard: database, taxes and numbers, store. Modal; one instance per
// opening. Store tests run on worker threads; a worker still running when the window goes is detached from
// it and never touches it again.
class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    // `wizard`: the first run (no configuration yet): side buttons disabled.
    SettingsWindow(DataModule& dm, Prompter& prompter, bool wizard, QWidget* parent = nullptr);
    ~SettingsWindow() override;

    void showPage(int index); // 0 database, 1 taxes and numbers, 2 store
    int currentPage() const;
    void next();
    void finish();

    DatabasePanel* databasePanel() const { return m_panel; }
    TaxesPage* taxesPage() const { return m_taxes; }
    StorePage* storePage() const { return m_store; }
    bool wizardRun() const { return m_wizardRun; }
    bool getCorrectStoreSetting() const { return m_finishRequested.load(); }
    // True once the user chose to end the program from the close question.
    bool quitRequested() const { return m_quitRequested; }
    // Store tests whose work is not yet reported back.
    int storeTestsRunning() const { return m_running.size(); }
    // Workers that reported their end while their thread was still finishing.
    int terminatedThreadsCount() const;

signals:
    void storeTestEnded(quillerby::StoreTestOutcome outcome);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    friend class StoreTestWorker;
    void startStoreTest(const QString& link, const QString& key, const QString& secret);
    void storeTestDone(StoreTestWorker* worker, StoreTestOutcome outcome);
    void workerTerminated(StoreTestWorker* worker);
    void showWorkerMessage(const QString& text);

    DataModule& m_dm;
    Prompter& m_prompter;
    QTabWidget* m_pages;
    QList<QPushButton*> m_sideButtons;
    DatabasePanel* m_panel;
    TaxesPage* m_taxes;
    StorePage* m_store;
    bool m_wizardRun = false;
    bool m_quitRequested = false;
    std::atomic<bool> m_finishRequested{false};

    // The workers still doing their work, and those that reported their end before their thread had finished.
    QList<StoreTestWorker*> m_running;
    QList<StoreTestWorker*> m_terminated;
    mutable QMutex m_terminatedLock;

    // What workers use to reach the window; cut when the window goes.
    struct Link;
    std::shared_ptr<Link> m_link;
};

} // namespace quillerby
