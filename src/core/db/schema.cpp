#include "db/schema.h"

#include "db/sqlexec.h"

#include <QDir>
#include <QSqlQuery>

namespace quillerby {

QString SchemaInstaller::templatePath(const QString& documentsPath, const QString& templateName) {
    return QDir::toNativeSeparators(documentsPath + QStringLiteral("/Quillerby/2.0/Reports/") + templateName +
                                    QStringLiteral(".fr3"));
}

QString SchemaInstaller::monthTotalsColumns(Engine engine, const QList<int>& years) {
    QStringList cols;
    for (int y : years) {
        if (engine == Engine::Sqlite) {
            const QString when = QStringLiteral("CAST(strftime('%Y', o.post_date) AS INTEGER) = %1").arg(y);
            cols << QStringLiteral("SUM(CASE WHEN %1 THEN round(qv_amount(o.order_total), 2) ELSE 0 END) AS \"%2\"")
                        .arg(when)
                        .arg(y)
                 << QStringLiteral("SUM(CASE WHEN %1 THEN round(qv_amount(o.order_shipping), 2) ELSE 0 END) AS "
                                   "\"order_shipping_total_%2\"")
                        .arg(when)
                        .arg(y);
        } else {
            const QString when = QStringLiteral("DATEPART(year, o.post_date) = %1").arg(y);
            cols << QStringLiteral("SUM(CASE WHEN %1 THEN CAST(dbo.qv_amount(o.order_total) AS decimal(18, 2)) "
                                   "ELSE 0 END) AS [%2]")
                        .arg(when)
                        .arg(y)
                 << QStringLiteral("SUM(CASE WHEN %1 THEN CAST(dbo.qv_amount(o.order_shipping) AS decimal(18, 2)) "
                                   "ELSE 0 END) AS [order_shipping_total_%2]")
                        .arg(when)
                        .arg(y);
        }
    }
    return cols.join(QStringLiteral(", "));
}

bool SchemaInstaller::sqliteObjectExists(const QSqlDatabase& db, const QString& name) const {
    return scalar(db, m_catalogue.statement(QStringLiteral("table_exists")), {{QStringLiteral("name"), name}})
               .toInt() > 0;
}

void SchemaInstaller::createDatabase(const QSqlDatabase& master) const {
    if (m_catalogue.engine() == Engine::Sqlite)
        return;
    execBatch(master, m_catalogue.statement(QStringLiteral("create_database")));
}

void SchemaInstaller::installSchema(const QSqlDatabase& local, const QString& documentsPath) const {
    const QString a4 = templatePath(documentsPath, QStringLiteral("A4 Design"));
    const QString thermal = templatePath(documentsPath, QStringLiteral("Thermal paper size"));
    if (m_catalogue.engine() == Engine::MsSql) {
        execBatch(local, m_catalogue.statement(QStringLiteral("schema")),
                  {{QStringLiteral("s"), documentsPath}, {QStringLiteral("sep"), QString(QDir::separator())}});
        return;
    }
    struct Step {
        const char* table; // created when missing; nullptr for a statement that always runs
        const char* statement;
    };
    static const Step steps[] = {
        {"Orders000", "create_orders000"},
        {"copyitems", "create_copyitems"},
        {nullptr, "clear_copyitems"},
        {"copyfromexcel", "create_copyfromexcel"},
        {nullptr, "clear_copyfromexcel"},
        {"orderitems", "create_orderitems"},
        {"Products000", "create_products000"},
        {"set000", "create_set000"},
        {"HiddenColumns000", "create_hiddencolumns000"},
        {"OrderProductsTaxes", "create_orderproductstaxes"},
        {"reports000", "create_reports000"},
        {"taxes000", "create_taxes000"},
        {"websites000", "create_websites000"},
        {nullptr, "create_indexes"},
    };
    const QVariantMap params{{QStringLiteral("a4"), a4}, {QStringLiteral("thermal"), thermal}};
    for (const Step& step : steps) {
        if (step.table && sqliteObjectExists(local, QLatin1String(step.table)))
            continue;
        // A table and its seed rows go in together, so an interrupted run never leaves a table without them.
        QSqlDatabase db = local;
        db.transaction();
        try {
            execBatch(local, m_catalogue.statement(QLatin1String(step.statement)), params);
        } catch (...) {
            db.rollback();
            throw;
        }
        db.commit();
    }
}

void SchemaInstaller::installCopyTables(const QSqlDatabase& accounting) const {
    if (m_catalogue.engine() == Engine::MsSql) {
        execBatch(accounting, m_catalogue.statement(QStringLiteral("copy_tables")));
        return;
    }
    if (!sqliteObjectExists(accounting, QStringLiteral("copyitems")))
        execBatch(accounting, m_catalogue.statement(QStringLiteral("create_copyitems")));
    if (!sqliteObjectExists(accounting, QStringLiteral("copyfromexcel")))
        execBatch(accounting, m_catalogue.statement(QStringLiteral("create_copyfromexcel")));
}

void SchemaInstaller::createMonthTotalsView(const QSqlDatabase& local, bool recreate) const {
    if (recreate)
        execBatch(local, m_catalogue.statement(QStringLiteral("drop_month_totals_view")));
    else if (scalar(local, m_catalogue.statement(QStringLiteral("month_totals_view_exists"))).toInt() > 0)
        return;
    QList<int> years;
    QSqlQuery q = execSql(local, m_catalogue.statement(QStringLiteral("month_totals_years")));
    while (q.next())
        if (!q.value(0).isNull())
            years << q.value(0).toInt();
    q.finish();
    if (years.isEmpty())
        return;
    QString sql = m_catalogue.statement(QStringLiteral("month_totals_view"));
    sql.replace(QStringLiteral("{columns}"), monthTotalsColumns(m_catalogue.engine(), years));
    execBatch(local, sql);
}

void SchemaInstaller::createReturnCustomerView(const QSqlDatabase& local) const {
    execBatch(local, m_catalogue.statement(QStringLiteral("return_customer_view")));
}

} // namespace quillerby
