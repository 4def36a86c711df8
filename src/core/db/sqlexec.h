#pragma once

#include <QSqlDatabase>
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

} // namespace quillerby
