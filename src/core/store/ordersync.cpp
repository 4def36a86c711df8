#include "store/ordersync.h"

#include "common/amounts.h"
#include "common/error.h"
#include "config/datamodule.h"
#include "db/schema.h"
#include "db/sqlexec.h"
#include "store/resumepoint.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace quillerby {

namespace {

QString storedAmount(const DataModule& dm, const QString& shopText, const char* member) {
    bool ok = false;
    const double value = shopText.trimmed().toDouble(&ok); // the shop writes "." decimals
    if (!ok)
        throw Error(QStringLiteral("\"%1\" is not a valid number (%2).").arg(shopText, QLatin1String(member)));
    return dm.formatStoredAmount(value);
}

} // namespace

OrderSync::OrderSync(DataModule& dm, ShopAccess shop) : m_dm(dm), m_shop(std::move(shop)) {}

QString OrderSync::deviceClass(const QString& ua) {
    if (ua.contains(QLatin1String("Windows")))
        return QStringLiteral("Windows");
    if (ua.contains(QLatin1String("Android")))
        return QStringLiteral("Android");
    if (ua.contains(QLatin1String("iPhone")) || ua.contains(QLatin1String("iPad")))
        return QStringLiteral("iPhone");
    if (ua.contains(QLatin1String("Macintosh")))
        return QStringLiteral("Macintosh");
    return QStringLiteral("Unknown");
}

OrderSyncStart OrderSync::startPoint() const {
    OrderSyncStart s;
    QSqlQuery q = execSql(m_dm.local(), m_dm.catalogue().statement(QStringLiteral("order_sync_start")));
    if (!q.next())
        return s;
    const QSqlRecord r = q.record();
    s.storedOrders = q.value(r.indexOf(QStringLiteral("orderstotal"))).toInt();
    if (s.storedOrders > 0) {
        s.modifiedAfter = DataModule::filterDateText(q.value(r.indexOf(QStringLiteral("post_date"))));
        s.lastOrderId = q.value(r.indexOf(QStringLiteral("order_id"))).toString();
    }
    return s;
}

OrderSyncResult OrderSync::run(const SyncProgress& progress) {
    OrderSyncResult result;
    const OrderSyncStart start = startPoint();
    ResumePoint resume(m_dm.local(), m_dm.catalogue(), QStringLiteral("orders"));
    const QString after = resume.effectiveStart(start.storedOrders > 0 ? start.modifiedAfter : QString());
    resume.begin(after);
    const QString base = m_shop.website + QStringLiteral("/wp-json/wc/v3/orders");
    const auto uriForPage = [base, after](int page) {
        UriBuilder uri(base);
        uri.add(QStringLiteral("per_page"), QString::number(kPageSize));
        if (!after.isEmpty())
            uri.add(QStringLiteral("modified_after"), after);
        uri.add(QStringLiteral("page"), QString::number(page));
        return uri;
    };

    PageFetcher fetcher(m_shop, ShopOperation::OrderSync, uriForPage, false);
    const PageInfo info = fetcher.start(progress.idle);
    // The shop's page count is held as an unsigned 16-bit number.
    result.pages = quint16(info.totalPages);
    result.ordersReported = info.total;
    if (progress.setMaximum)
        progress.setMaximum(info.total);
    if (result.pages == 0) {
        resume.complete();
        result.upToDate = true;
        return result;
    }

    const QSqlDatabase db = m_dm.local();
    const Catalogue& sql = m_dm.catalogue();
    Statement lookup(db, sql.statement(QStringLiteral("order_lookup")));
    Statement updateStatus(db, sql.statement(QStringLiteral("order_update_status")));
    Statement remove(db, sql.statement(QStringLiteral("order_delete")));
    Statement insertOrder(db, sql.statement(QStringLiteral("order_insert")));
    Statement insertItem(db, sql.statement(QStringLiteral("orderitem_insert")));

    for (int page = 1; page <= result.pages; ++page) {
        const JsonValue orders = fetcher.page(page, progress.idle);
        for (const JsonValue& order : orders.elements()) {
            const QString status = requiredText(order, u"status");
            const QString id = requiredText(order, u"id");

            QSqlQuery& found = lookup.bind(QStringLiteral("id"), id).exec();
            const bool stored = found.next() && found.value(0).toString() == id;
            const QString storedStatus = stored ? found.value(1).toString() : QString();
            found.finish();

            if (stored) {
                if (storedStatus == status)
                    continue;
                inTransaction(db, [&] {
                    updateStatus.bind(QStringLiteral("status"), status).bind(QStringLiteral("id"), id).exec();
                    if (status == QLatin1String("processing"))
                        remove.bind(QStringLiteral("id"), id).exec();
                });
                ++result.statusChanges;
                if (status == QLatin1String("processing"))
                    ++result.removed;
                continue;
            }
            if (status == QLatin1String("processing") || id == start.lastOrderId || id == QLatin1String("NULL"))
                continue;

            const QString created = requiredText(order, u"date_created");
            const QVariant postDate = m_dm.dateParameter(created, QStringLiteral("date_created"));
            insertOrder.bind(QStringLiteral("order_id"), id)
                .bind(QStringLiteral("status"), status)
                .bind(QStringLiteral("currency"), requiredText(order, u"currency"))
                .bind(QStringLiteral("post_date"), postDate)
                .bind(QStringLiteral("customer_note"), requiredText(order, u"customer_note"))
                .bind(QStringLiteral("order_total"), requiredText(order, u"total"))
                .bind(QStringLiteral("order_shipping"), requiredText(order, u"shipping_total"))
                .bind(QStringLiteral("payment_method"), requiredText(order, u"payment_method"))
                .bind(QStringLiteral("customer_user_agent"), deviceClass(requiredText(order, u"customer_user_agent")));
            const JsonValue* billing = order.find(u"billing");
            const bool withBilling = billing && billing->isObject() && billing->contains(u"first_name");
            const QVariant none(QMetaType::fromType<QString>());
            if (withBilling) {
                const JsonValue& b = *billing;
                insertOrder
                    .bind(QStringLiteral("billing_first_name"),
                          requiredText(b, u"first_name") + QLatin1Char(' ') + requiredText(b, u"last_name"))
                    .bind(QStringLiteral("billing_city"), requiredText(b, u"state"))
                    .bind(QStringLiteral("country"), requiredText(b, u"country"))
                    .bind(QStringLiteral("billing_address_1"),
                          requiredText(b, u"address_1") + QLatin1Char(' ') + requiredText(b, u"address_2"))
                    .bind(QStringLiteral("mobile"), requiredText(b, u"phone"))
                    .bind(QStringLiteral("billing_email"), requiredText(b, u"email"))
                    .bind(QStringLiteral("delivery_date"),
                          b.contains(u"delivery_date") ? QVariant(b[u"delivery_date"].text()) : none);
            } else {
                for (const char* column : {"billing_first_name", "billing_city", "country", "billing_address_1",
                                           "mobile", "billing_email", "delivery_date"})
                    insertOrder.bind(QLatin1String(column), none);
            }

            // The items are read and checked before anything is written, and the order goes in with its items
            // in one transaction: a failure never leaves items that the next run would insert again.
            struct Item {
                QString qty, lineTotal, sku, name, price, src;
            };
            QList<Item> items;
            if (const JsonValue* lines = order.find(u"line_items"); lines && lines->isArray()) {
                items.reserve(lines->size());
                for (const JsonValue& line : lines->elements()) {
                    const JsonValue* image = line.find(u"image");
                    items.append({requiredText(line, u"quantity"),
                                  storedAmount(m_dm, requiredText(line, u"total"), "total"),
                                  requiredText(line, u"sku"), requiredText(line, u"name"),
                                  storedAmount(m_dm, requiredText(line, u"price"), "price"),
                                  image && image->isObject() ? optionalText(*image, u"src") : QStringLiteral("NA")});
                }
            }
            inTransaction(db, [&] {
                for (const Item& item : items) {
                    insertItem.bind(QStringLiteral("order_id"), id)
                        .bind(QStringLiteral("post_date"), postDate)
                        .bind(QStringLiteral("qty"), item.qty)
                        .bind(QStringLiteral("line_total"), item.lineTotal)
                        .bind(QStringLiteral("sku"), item.sku)
                        .bind(QStringLiteral("Item_name"), item.name)
                        .bind(QStringLiteral("price"), item.price)
                        .bind(QStringLiteral("src"), item.src)
                        .exec();
                }
                insertOrder.exec();
            });
            ++result.added;
            result.items += items.size();
        }
        if (progress.pageDone)
            progress.pageDone(orders.size());
        if (progress.step)
            progress.step();
    }

    SchemaInstaller(m_dm.catalogue()).createMonthTotalsView(db, true);
    resume.complete();
    return result;
}

} // namespace quillerby
