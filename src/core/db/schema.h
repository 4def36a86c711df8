#pragma once

#include "db/catalogue.h"

#include <QList>
#include <QSqlDatabase>

namespace quillerby {

// Creates and brings up to date the program's database. Every step is idempotent: an object is created only
// when it is missing and seed rows go in with their table; the two working tables are emptied on every run.
// Each call raises Error with the database's message and leaves what ran before it done.
class SchemaInstaller {
public:
    explicit SchemaInstaller(const Catalogue& catalogue) : m_catalogue(catalogue) {}

    // On the server's master database: creates the database when missing. The embedded engine creates
    // its file when the local connection first opens, so there is nothing to do there.
    void createDatabase(const QSqlDatabase& master) const;
    // Tables, seed rows and indexes. `documentsPath` has no trailing separator.
    void installSchema(const QSqlDatabase& local, const QString& documentsPath) const;
    // The two working tables in the accounting database, in the local shape.
    void installCopyTables(const QSqlDatabase& accounting) const;
    // With `recreate` the view is dropped first so its year columns follow the data; otherwise an existing
    // view is kept. No view exists while no order is completed.
    void createMonthTotalsView(const QSqlDatabase& local, bool recreate) const;
    void createReturnCustomerView(const QSqlDatabase& local) const;

    // Full path of a shipped template below the documents folder, with the platform's separators.
    static QString templatePath(const QString& documentsPath, const QString& templateName);
    // The month-totals view's per-year column list: one sales and one shipping column per year, ascending.
    static QString monthTotalsColumns(Engine engine, const QList<int>& years);

private:
    bool sqliteObjectExists(const QSqlDatabase& db, const QString& name) const;
    const Catalogue& m_catalogue;
};

} // namespace quillerby
