#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/theme.h"
#include "config/datamodule.h"
#include "widgets/prompter.h"
#include "widgets/windowregistry.h"

#include <QApplication>

using namespace quillerby;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    registerUiResources();
    QApplication::setApplicationName(QStringLiteral("Quillerby"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillerby"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLERBY_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));

    QtPrompter prompter;
    const QString themeError = applyTheme(app);
    if (!themeError.isEmpty())
        prompter.warning(themeError);

    DataModule dm(AppPaths::system());
    if (!prepareDataModule(dm, prompter, settingsWindowRunner(dm, prompter)))
        return 0;

    WindowRegistry registry;
    Session session = createSession(dm, prompter, registry);
    session.mainWindow->showMaximized();
    session.mainWindow->afterShown();
    return app.exec();
}
