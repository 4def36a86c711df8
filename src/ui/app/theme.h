#pragma once

#include <QString>

class QApplication;

namespace quillerby {

// Makes the icons and the style sheet of the UI library available; applyTheme() calls it too.
void registerUiResources();

// Applies the "Aqua Light Slate" style sheet. Returns an empty text on success, else why it failed (the
// caller reports it and the default look stays).
QString applyTheme(QApplication& app);

} // namespace quillerby
