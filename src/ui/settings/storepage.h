#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillerby {

class BusyIndicator;
class DataModule;
class Prompter;
struct StoreTestInput;

// "Store Details": the shop's link and REST API keys, and the button that tests them.
class StorePage : public QWidget {
    Q_OBJECT
public:
    StorePage(DataModule& dm, Prompter& prompter, QWidget* parent = nullptr);

    // Fills the boxes from the stored connection (each time the page becomes visible).
    void reload();
    // Checks the boxes; on success shows the busy state and asks for a test with their values.
    void startTest();
    // Back to idle once a test has ended.
    void endBusy();
    bool isBusy() const;

signals:
    void testRequested(const QString& link, const QString& key, const QString& secret);

private:
    DataModule& m_dm;
    Prompter& m_prompter;
    QLineEdit* m_link;
    QLineEdit* m_key;
    QLineEdit* m_secret;
    QPushButton* m_test;
    BusyIndicator* m_busy;
    QLabel* m_wait;
};

} // namespace quillerby
