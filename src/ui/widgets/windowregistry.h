#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quillerby {

// Who owns a window: the application (found by name) or the main window (not found by name).
enum class WindowOwner { Application, MainWindow };

// The program's windows by objectName. A window leaves the registry when it is destroyed. Only
// application-owned windows are found by name, compared without regard to case ("form2" finds "Form2").
class WindowRegistry : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void add(QWidget* window, WindowOwner owner);
    bool isFormCreated(const QString& name) const { return find(name) != nullptr; }
    QWidget* find(const QString& name) const;

private:
    struct Entry {
        QPointer<QWidget> window;
        WindowOwner owner;
    };
    QList<Entry> m_entries;
};

} // namespace quillerby
