#include "app/theme.h"

#include <QApplication>
#include <QFile>

namespace quillerby {

QString applyTheme(QApplication& app) {
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
