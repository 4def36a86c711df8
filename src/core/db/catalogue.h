#pragma once

#include "config/connectionconfig.h"

#include <QHash>
#include <QString>

namespace quillerby {

// The named SQL statements compiled in from sql/. An engine's own file wins over sql/common for the same
// name. Immutable after construction, so it can be shared between threads.
class Catalogue {
public:
    explicit Catalogue(Engine engine);

    Engine engine() const { return m_engine; }
    bool contains(const QString& name) const { return m_statements.contains(name); }
    // The statement's text; raises Error for an unknown name (a programming error caught by the tests).
    QString statement(const QString& name) const;

    // Parses the "-- name: x" layout; exposed for tests.
    static QHash<QString, QString> parse(const QString& text);

private:
    void loadFolder(const QString& folder);

    Engine m_engine;
    QHash<QString, QString> m_statements;
};

} // namespace quillerby
