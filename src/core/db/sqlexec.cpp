#include "db/sqlexec.h"

#include "common/error.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <sqlite3.h>

namespace quillerby {

namespace {

QString errorText(const QSqlError& e) {
    QString t = e.databaseText().trimmed();
    const QString d = e.driverText().trimmed();
    if (t.isEmpty())
        t = d;
    return t.isEmpty() ? e.text() : t;
}

QVariant paramValue(const QVariantMap& params, const QString& name) {
    auto it = params.constFind(name);
    if (it != params.constEnd())
        return it.value();
    it = params.constFind(QLatin1Char(':') + name);
    if (it != params.constEnd())
        return it.value();
    return {};
}

bool hasParam(const QVariantMap& params, const QString& name) {
    return params.contains(name) || params.contains(QLatin1Char(':') + name);
}

void bindSqlite(sqlite3_stmt* stmt, const QVariantMap& params) {
    const int n = sqlite3_bind_parameter_count(stmt);
    for (int i = 1; i <= n; ++i) {
        const char* raw = sqlite3_bind_parameter_name(stmt, i);
        if (!raw)
            continue;
        const QString name = QString::fromUtf8(raw + 1);
        if (!hasParam(params, name))
            throw Error(QStringLiteral("No value for parameter :%1").arg(name));
        const QVariant v = paramValue(params, name);
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, i);
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
                   v.typeId() == QMetaType::Bool || v.typeId() == QMetaType::UInt) {
            rc = sqlite3_bind_int64(stmt, i, v.toLongLong());
        } else if (v.typeId() == QMetaType::Double) {
            rc = sqlite3_bind_double(stmt, i, v.toDouble());
        } else {
            const QByteArray utf8 = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, i, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            throw Error(QString::fromUtf8(sqlite3_errstr(rc)));
    }
}

} // namespace

bool isSqlite(const QSqlDatabase& db) { return db.driverName() == QLatin1String("QSQLITE"); }

QSqlQuery execSql(const QSqlDatabase& db, const QString& sql, const QVariantMap& params) {
    if (!db.isOpen())
        throw Error(QStringLiteral("The database connection is not open."));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // Text without parameters goes to the server as it is (SQLExecDirect on ODBC): server batches with
    // IF/BEGIN/END and dynamic SQL are meant to be sent that way, not prepared.
    if (params.isEmpty()) {
        if (!q.exec(sql))
            throw Error(errorText(q.lastError()));
        return q;
    }
    if (!q.prepare(sql))
        throw Error(errorText(q.lastError()));
    {
        static const QRegularExpression placeholder(QStringLiteral("(?<![:\\w]):([A-Za-z_]\\w*)"));
        auto it = placeholder.globalMatch(sql);
        QSet<QString> bound;
        while (it.hasNext()) {
            const QString name = it.next().captured(1);
            if (bound.contains(name) || !hasParam(params, name))
                continue;
            bound.insert(name);
            q.bindValue(QLatin1Char(':') + name, paramValue(params, name));
        }
    }
    if (!q.exec())
        throw Error(errorText(q.lastError()));
    return q;
}

void execBatch(const QSqlDatabase& db, const QString& sql, const QVariantMap& params) {
    if (!db.isOpen())
        throw Error(QStringLiteral("The database connection is not open."));
    if (!isSqlite(db)) {
        execSql(db, sql, params);
        return;
    }
    const QVariant h = db.driver()->handle();
    sqlite3* handle = h.isValid() ? *static_cast<sqlite3* const*>(h.data()) : nullptr;
    if (!handle)
        throw Error(QStringLiteral("The SQLite connection has no handle."));
    const QByteArray text = sql.toUtf8();
    const char* tail = text.constData();
    const char* end = tail + text.size();
    while (tail < end) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, tail, int(end - tail), &stmt, &tail) != SQLITE_OK)
            throw Error(QString::fromUtf8(sqlite3_errmsg(handle)));
        if (!stmt) // only blanks or comments were left
            continue;
        try {
            bindSqlite(stmt, params);
        } catch (...) {
            sqlite3_finalize(stmt);
            throw;
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw Error(QString::fromUtf8(sqlite3_errmsg(handle)));
    }
}

Statement::Statement(const QSqlDatabase& db, const QString& sql) : m_query(db) {
    if (!db.isOpen())
        throw Error(QStringLiteral("The database connection is not open."));
    m_query.setForwardOnly(true);
    if (!m_query.prepare(sql))
        throw Error(errorText(m_query.lastError()));
}

Statement& Statement::bind(const QString& name, const QVariant& value) {
    m_query.bindValue(QLatin1Char(':') + name, value);
    return *this;
}

QSqlQuery& Statement::exec() {
    if (!m_query.exec())
        throw Error(errorText(m_query.lastError()));
    return m_query;
}

QVariant scalar(const QSqlDatabase& db, const QString& sql, const QVariantMap& params) {
    QSqlQuery q = execSql(db, sql, params);
    if (!q.next())
        return {};
    return q.value(0);
}

} // namespace quillerby
