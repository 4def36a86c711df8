#include "store/productsync.h"

#include "common/error.h"
#include "config/datamodule.h"
#include "db/sqlexec.h"
#include "store/resumepoint.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace quillerby {

namespace {

// A yes/no column: "true"/"false" as the shop writes them; a JSON null stays NULL.
QVariant flagValue(const QString& text) {
    if (text == QLatin1String("true"))
        return 1;
    if (text == QLatin1String("false"))
        return 0;
    if (text == QLatin1String("null"))
        return QVariant(QMetaType::fromType<int>());
    throw Error(QStringLiteral("\"%1\" is not true or false.").arg(text));
}

} // namespace

ProductSync::ProductSync(DataModule& dm, ShopAccess shop) : m_dm(dm), m_shop(std::move(shop)) {}

QString ProductSync::categoriesText(const JsonValue& product) {
    QString out;
    if (const JsonValue* categories = product.find(u"categories"); categories && categories->isArray())
        for (const JsonValue& c : categories->elements())
            out += QStringLiteral(" ,") + requiredText(c, u"name");
    return out;
}

QString ProductSync::modifiedAfter() const {
    QSqlQuery q = execSql(m_dm.local(), m_dm.catalogue().statement(QStringLiteral("product_sync_start")));
    if (!q.next())
        return {};
    const QSqlRecord r = q.record();
    if (q.value(r.indexOf(QStringLiteral("productstotal"))).toInt() == 0)
        return {};
    return DataModule::filterDateText(q.value(r.indexOf(QStringLiteral("post_date"))));
}

ProductSyncResult ProductSync::run(const SyncProgress& progress) {
    ProductSyncResult result;
    ResumePoint resume(m_dm.local(), m_dm.catalogue(), QStringLiteral("products"));
    const QString after = resume.effectiveStart(modifiedAfter());
    resume.begin(after);
    const QString base = m_shop.website + QStringLiteral("/wp-json/wc/v3/products");
    const auto uriForPage = [base, after](int page) {
        UriBuilder uri(base);
        uri.add(QStringLiteral("per_page"), QString::number(kPageSize));
        uri.add(QStringLiteral("page"), QString::number(page));
        if (!after.isEmpty())
            uri.add(QStringLiteral("modified_after"), after);
        return uri;
    };
    PageFetcher fetcher(m_shop, ShopOperation::ProductSync, uriForPage, true);
    const PageInfo info = fetcher.start(progress.idle);
    result.pages = info.totalPages;
    if (progress.setMaximum)
        progress.setMaximum(info.total);

    const QSqlDatabase db = m_dm.local();
    Statement remove(db, m_dm.catalogue().statement(QStringLiteral("product_delete")));
    Statement insert(db, m_dm.catalogue().statement(QStringLiteral("product_insert")));
    for (int page = 1; page <= result.pages; ++page) {
        const JsonValue products = fetcher.page(page, progress.idle);
        for (const JsonValue& p : products.elements()) {
            const QString id = requiredText(p, u"id");
            const struct {
                const char* param;
                const char16_t* member;
            } texts[] = {{"id", u"id"},
                         {"Pname", u"name"},
                         {"slug", u"slug"},
                         {"permalink", u"permalink"},
                         {"Ptype", u"type"},
                         {"pstatus", u"status"},
                         {"catalog_visibility", u"catalog_visibility"},
                         {"pdescription", u"description"},
                         {"short_description", u"short_description"},
                         {"sku", u"sku"},
                         {"price", u"price"},
                         {"regular_price", u"regular_price"},
                         {"sale_price", u"sale_price"},
                         {"tax_status", u"tax_status"},
                         {"tax_class", u"tax_class"},
                         {"stock_quantity", u"stock_quantity"},
                         {"stock_status", u"stock_status"}};
            for (const auto& t : texts)
                insert.bind(QLatin1String(t.param), requiredText(p, t.member));
            insert.bind(QStringLiteral("date_created"), m_dm.dateParameter(requiredText(p, u"date_created"), QStringLiteral("date_created")))
                .bind(QStringLiteral("date_modified"), m_dm.dateParameter(requiredText(p, u"date_modified"), QStringLiteral("date_modified")))
                .bind(QStringLiteral("featured"), flagValue(requiredText(p, u"featured")))
                .bind(QStringLiteral("pvirtual"), flagValue(requiredText(p, u"virtual")))
                .bind(QStringLiteral("manage_stock"), flagValue(requiredText(p, u"manage_stock")))
                .bind(QStringLiteral("categories"), categoriesText(p));
            // Delete and insert together: a failure never leaves the product deleted.
            inTransaction(db, [&] {
                remove.bind(QStringLiteral("s"), id).exec();
                insert.exec();
            });
            ++result.products;
        }
        if (progress.pageDone)
            progress.pageDone(products.size());
        if (progress.step)
            progress.step();
    }
    resume.complete();
    return result;
}

QList<ProductRow> ProductSync::storedProducts() const {
    QList<ProductRow> rows;
    QSqlQuery q = execSql(m_dm.local(), m_dm.catalogue().statement(QStringLiteral("product_list")));
    const QSqlRecord r = q.record();
    const int sku = r.indexOf(QStringLiteral("sku")), name = r.indexOf(QStringLiteral("Pname")),
              stock = r.indexOf(QStringLiteral("stock_status")), price = r.indexOf(QStringLiteral("price")),
              visibility = r.indexOf(QStringLiteral("catalog_visibility")),
              categories = r.indexOf(QStringLiteral("categories")), qty = r.indexOf(QStringLiteral("stock_quantity")),
              sale = r.indexOf(QStringLiteral("sale_price")), status = r.indexOf(QStringLiteral("pstatus"));
    while (q.next())
        rows.append({q.value(sku), q.value(name), q.value(stock), q.value(price), q.value(visibility),
                     q.value(categories), q.value(qty), q.value(sale), q.value(status)});
    return rows;
}

} // namespace quillerby
