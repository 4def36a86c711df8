#include "app/theme.h"

#include <QApplication>
#include <QFile>

// The UI library is static: its compiled-in resources must be registered by hand.
static void initUiResources() { Q_INIT_RESOURCE(resources); }

namespace quillerby {

void registerUiResources() {
    static const bool done = (initUiResources(), true);
    Q_UNUSED(done);
}

QString applyTheme(QApplication& app) {
    registerUiResources();
    QFile f(QStringLiteral(":/theme/aqua-light-slate.qss"));
    if (!f.open(QIODevice::ReadOnly))
        return QObject::tr("The theme \"Aqua Light Slate\" could not be loaded: %1").arg(f.errorString());
    const QString sheet = QString::fromUtf8(f.readAll());
    if (sheet.trimmed().isEmpty())
        return QObject::tr("The theme \"Aqua Light Slate\" is empty.");
    app.setStyle(QStringLiteral("Fusion"));
    app.setStyleSheet(sheet);
    return {};
}

} // namespace quillerby
