#include "app/startup.h"

#include "app/aboutbox.h"
#include "app/mainwindow.h"
#include "common/error.h"
#include "config/datamodule.h"
#include "products/productswindow.h"
#include "settings/settingswindow.h"
#include "store/ordersync.h"
#include "widgets/operationgate.h"
#include "widgets/prompter.h"
#include "widgets/windowregistry.h"

#include <QCoreApplication>

namespace quillerby {

Session::Session() = default;
Session::Session(Session&&) noexcept = default;
Session::~Session() = default;

QString notSetUpText() {
    return QCoreApplication::translate(
        "Startup", "Quillerby is not set up yet.\r\nRun \"quillerby-cli setup --engine sqlite\" (or see README for "
                   "SQL Server) to create its configuration and database, then start Quillerby again.");
}

QString connectionFailureText() {
    return QCoreApplication::translate(
        "Startup", "A connection to the database server could not be established.\rPlease make sure that there is "
                   "a copy of SQL Server installed, and \rthat the database connection settings are correct.");
}

bool prepareDataModule(DataModule& dm, Prompter& prompter, const SettingsRunner& runSettings) {
    if (dm.myDocumentsPath().isEmpty())
        prompter.plain(QCoreApplication::translate("Startup", "Failed to retrieve My Documents path."));

    if (!dm.configExists()) {
        if (!runSettings) {
            prompter.information(notSetUpText());
            return false;
        }
        if (!runSettings(true))
            return false;
    }

    try {
        dm.openAtStartup();
    } catch (const Error&) {
        // Every cause gets the same box; the settings window is where the user can see and fix it.
        prompter.error(connectionFailureText());
        if (runSettings && !runSettings(false))
            return false;
    }
    return true;
}

SettingsRunner settingsWindowRunner(DataModule& dm, Prompter& prompter) {
    return [&dm, &prompter](bool wizard) {
        SettingsWindow window(dm, prompter, wizard);
        window.exec();
        return !window.quitRequested();
    };
}

Session createSession(DataModule& dm, Prompter& prompter, WindowRegistry& registry) {
    Session s;
    s.gate = std::make_unique<OperationGate>();
    s.mainWindow = std::make_unique<MainWindow>(dm, prompter, registry, *s.gate);
    registry.add(s.mainWindow.get(), WindowOwner::Application);
    s.mainWindow->loadStartupValues();
    s.aboutBox = std::make_unique<AboutBox>(prompter);
    registry.add(s.aboutBox.get(), WindowOwner::Application);
    s.mainWindow->setAboutBox(s.aboutBox.get());
    MainWindow* main = s.mainWindow.get();
    s.productsWindow = std::make_unique<ProductsWindow>(
        dm, prompter, *s.gate, [main] { return main->shopAccess(); }, [main] { main->progressStep(); });
    registry.add(s.productsWindow.get(), WindowOwner::Application);
    s.mainWindow->setProductsWindow(s.productsWindow.get());
    return s;
}

} // namespace quillerby
