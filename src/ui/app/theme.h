#pragma once

#include <QString>

class QApplication;

namespace quillerby {

// Applies the "Aqua Light Slate" style sheet. Returns an empty text on success, else why it failed (the
// caller reports it and the default look stays).
QString applyTheme(QApplication& app);

} // namespace quillerby
