#include "widgets/windowregistry.h"

namespace quillerby {

void WindowRegistry::add(QWidget* window, WindowOwner owner) {
    m_entries.append({window, owner});
    connect(window, &QObject::destroyed, this, [this](QObject* gone) {
        m_entries.removeIf([gone](const Entry& e) { return e.window.isNull() || e.window == gone; });
    });
}

QWidget* WindowRegistry::find(const QString& name) const {
    for (const Entry& e : m_entries) {
        if (e.window && e.owner == WindowOwner::Application &&
            e.window->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return e.window;
    }
    return nullptr;
}

} // namespace quillerby
