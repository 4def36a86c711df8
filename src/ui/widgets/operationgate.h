#pragma once

#include <QObject>

namespace quillerby {

// One long operation at a time (synchronisations, retrieval, posting). Windows disable the actions that
// would start another while busy() is true. UI thread only.
class OperationGate : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool busy() const { return m_busy; }
    // False when another operation runs.
    bool tryBegin() {
        if (m_busy)
            return false;
        setBusy(true);
        return true;
    }
    void end() { setBusy(false); }

signals:
    void busyChanged(bool busy);

private:
    void setBusy(bool b) {
        m_busy = b;
        emit busyChanged(b);
    }
    bool m_busy = false;
};

// Begins an operation and ends it when the scope ends, also on an error.
class OperationScope {
public:
    explicit OperationScope(OperationGate& gate) : m_gate(gate), m_active(gate.tryBegin()) {}
    ~OperationScope() {
        if (m_active)
            m_gate.end();
    }
    bool active() const { return m_active; }

private:
    OperationGate& m_gate;
    bool m_active;
};

} // namespace quillerby
