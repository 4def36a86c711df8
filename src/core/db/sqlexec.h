#pragma once

#include "common/error.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantMap>

namespace quillerby {

// Runs one statement with named parameters (":name" in the text, "name" or ":name" as the map key; keys the
// text does not use are ignored). Raises Error with the database's own message on failure.
QSqlQuery execSql(const QSqlDatabase& db, const QString& sql, const QVariantMap& params = {});

// Runs a batch of several statements sent whole. On SQLite each statement is prepared in turn from the text
// (binding the parameters it names); on SQL Server the batch goes to the server as one text. Returns no rows.
void execBatch(const QSqlDatabase& db, const QString& sql, const QVariantMap& params = {});

// First column of the first row, or an invalid QVariant when there is no row.
QVariant scalar(const QSqlDatabase& db, const QString& sql, const QVariantMap& params = {});

bool isSqlite(const QSqlDatabase& db);

// A statement prepared once and run many times (a synchronisation writes thousands of rows).
class Statement {
public:
    // Raises Error when the text does not prepare.
    Statement(const QSqlDatabase& db, const QString& sql);
    // `name` without the leading ":".
    Statement& bind(const QString& name, const QVariant& value);
    // Runs with the values bound so far; raises Error with the database's message.
    QSqlQuery& exec();
    QSqlQuery& query() { return m_query; }

private:
    QSqlQuery m_query;
};

// Runs `work` in a transaction: committed when it returns, rolled back when it throws (and rethrown).
template <typename F> void inTransaction(const QSqlDatabase& db, F&& work) {
    QSqlDatabase d = db;
    if (!d.transaction()) {
        work();
        return;
    }
    try {
        work();
    } catch (...) {
        d.rollback();
        throw;
    }
    if (!d.commit()) {
        const QString why = d.lastError().text();
        d.rollback();
        throw Error(why);
    }
}

} // namespace quillerby
