#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace quillerby {

class AboutBox;
class DataModule;
class MainWindow;
class OperationGate;
class ProductsWindow;
class Prompter;
class WindowRegistry;

// Shows the settings window modally; `wizard` is set on a first run (no configuration file yet). Returns
// false when the user chose to end the program from it. Empty when there is no window to show.
using SettingsRunner = std::function<bool(bool wizard)>;

// The desktop program's runner: a new settings window each time.
SettingsRunner settingsWindowRunner(DataModule& dm, Prompter& prompter);

// The windows that live from start-up to the end of the program.
struct Session {
    std::unique_ptr<OperationGate> gate;
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<ProductsWindow> productsWindow;
    std::unique_ptr<AboutBox> aboutBox;
    Session();
    Session(Session&&) noexcept;
    ~Session();
};

// Text shown when there is no configuration and no settings window to create one.
QString notSetUpText();
// The one box shown for every failure to open the database at start.
QString connectionFailureText();

// The data module's part of start-up: documents folder, first-run wizard, configuration, connections and
// program settings. A connection failure is reported and the settings window opened, but start-up goes on.
// Returns false when the program must end (nothing is configured and nothing can configure it).
bool prepareDataModule(DataModule& dm, Prompter& prompter, const SettingsRunner& runSettings);

// The rest of start-up: main window (reading its start-up values), the about box, registration of the
// windows; the caller shows the main window and calls afterShown().
Session createSession(DataModule& dm, Prompter& prompter, WindowRegistry& registry);

} // namespace quillerby
