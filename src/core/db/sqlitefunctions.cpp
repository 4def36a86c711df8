#include "db/sqlitefunctions.h"

#include "common/amounts.h"
#include "common/error.h"
#include "db/sqlexec.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace quillerby {

namespace {

QString argText(sqlite3_value* v) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(text, sqlite3_value_bytes(v));
}

void amountFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
    default:
        break;
    }
    const QString text = argText(argv[0]);
    if (const auto v = parseAmount(text)) {
        sqlite3_result_double(ctx, *v);
        return;
    }
    const QByteArray msg = QStringLiteral("'%1' is not an amount").arg(text).toUtf8();
    sqlite3_result_error(ctx, msg.constData(), msg.size());
}

void intFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
    default:
        break;
    }
    const QString text = argText(argv[0]);
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok);
    if (ok) {
        sqlite3_result_int64(ctx, n);
        return;
    }
    const QByteArray msg = QStringLiteral("Conversion failed when converting the value '%1' to data type int.")
                               .arg(text)
                               .toUtf8();
    sqlite3_result_error(ctx, msg.constData(), msg.size());
}

} // namespace

void prepareSqliteConnection(const QSqlDatabase& db) {
    const QVariant h = db.driver()->handle();
    sqlite3* handle = h.isValid() ? *static_cast<sqlite3* const*>(h.data()) : nullptr;
    if (!handle)
        throw Error(QStringLiteral("The SQLite connection has no handle."));
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function(handle, "qv_amount", 1, flags, nullptr, amountFunction, nullptr, nullptr) !=
            SQLITE_OK ||
        sqlite3_create_function(handle, "qv_int", 1, flags, nullptr, intFunction, nullptr, nullptr) != SQLITE_OK)
        throw Error(QString::fromUtf8(sqlite3_errmsg(handle)));
    execSql(db, QStringLiteral("PRAGMA journal_mode=WAL"));
    execSql(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
    execSql(db, QStringLiteral("PRAGMA busy_timeout=5000"));
}

} // namespace quillerby
