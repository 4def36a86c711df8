#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>

class QAction;
class QMdiArea;
class QProgressBar;
class QToolBar;
class QMenu;

namespace quillerby {

class DataModule;
class OperationGate;
class Prompter;
struct ShopAccess;
class WindowRegistry;
class AboutBox;

// The frame window: toolbar, menus, MDI area, the progress bar along the bottom, the shop credentials and
// the default invoice template read at creation.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(DataModule& dm, Prompter& prompter, WindowRegistry& registry, OperationGate& gate,
               QWidget* parent = nullptr);

    // Creation steps that read the database: the shop's credentials and the default template. An error ends
    // them with its text shown; what was read before it is kept.
    void loadStartupValues();
    // Called once the window is on screen.
    void afterShown();

    QString consumerKey() const { return m_ck; }
    QString consumerSecret() const { return m_cs; }
    QString website() const { return m_website; }
    QString defaultReport() const { return m_defaultRep; }
    void setDefaultReport(const QString& path) { m_defaultRep = path; }

    QMdiArea* mdiArea() const { return m_mdi; }
    QProgressBar* progressBar() const { return m_progress; }
    QAction* action(const QString& objectName) const;
    void setAboutBox(AboutBox* about);
    // "Program Setting": a new settings window, modal.
    void openSettings();
    // "Synch All Orders".
    void synchronizeOrders();
    // The shop as the main window knows it (read at start).
    ShopAccess shopAccess() const;
    // The products window shown by "Products List".
    void setProductsWindow(QWidget* window);

    // One progress step of a synchronisation: closes the processed-orders window, advances the current
    // statistics window's progress bar by 35 (not beyond its maximum), and lets the screen repaint.
    void progressStep();
    // The statistics window that progress steps advance (replaced by each new one).
    void setCurrentStatistics(QWidget* window) { m_currentStatistics = window; }

signals:
    // The order history changed (a synchronisation wrote to it).
    void ordersChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* makeAction(const char* objectName, const QString& caption, bool available);
    void buildActions();
    void buildMenus();
    void buildToolBar();

    DataModule& m_dm;
    Prompter& m_prompter;
    WindowRegistry& m_registry;
    OperationGate& m_gate;
    QPointer<QWidget> m_products;
    QMdiArea* m_mdi = nullptr;
    QProgressBar* m_progress = nullptr;
    QToolBar* m_toolBar = nullptr;
    QPointer<AboutBox> m_about;
    QPointer<QWidget> m_currentStatistics;
    bool m_closeConfirmed = false;

    QString m_ck;
    QString m_cs;
    QString m_website;
    QString m_defaultRep;
};

} // namespace quillerby
