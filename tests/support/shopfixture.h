#pragma once

#include "config/datamodule.h"
#include "db/databasesetup.h"
#include "db/sqlexec.h"
#include "demoshop/demoshop.h"
#include "support/testhome.h"
#include "store/pagefetcher.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace quillerby::testing {

// A configured embedded database and an empty demo shop on its own thread, both private to one test.
struct ShopFixture : TestHome {
    demo::DemoShopThread shop{options()};

    static demo::DemoShopOptions options() {
        demo::DemoShopOptions o;
        o.key = QStringLiteral("ck_test");
        o.secret = QStringLiteral("cs_test");
        return o;
    }

    ShopFixture() {
        if (!setUp())
            qFatal("database set-up failed");
        QString error;
        if (!shop.start(&error))
            qFatal("demo shop: %s", qPrintable(error));
    }

    ShopAccess access() const {
        return ShopAccess{shop.baseUrl().toString(), QStringLiteral("ck_test"), QStringLiteral("cs_test"), {}};
    }
    demo::DemoShop& server() { return *shop.shop(); }
    QSqlDatabase db() const { return dm.local(); }
    int count(const QString& sql) { return scalar(db(), sql).toInt(); }

    // GET requests to `path`, oldest first.
    QList<demo::RecordedRequest> gets(const QString& path) {
        QList<demo::RecordedRequest> out;
        for (const auto& r : server().requests())
            if (r.method == "GET" && r.path == path)
                out << r;
        return out;
    }
};

inline QJsonObject lineItem(const QString& name, const QJsonValue& price, const QString& total, int qty = 1,
                            const QString& sku = QStringLiteral("SKU-1"), const QString& image = QString()) {
    QJsonObject item{{"id", 1}, {"name", name}, {"product_id", 10}, {"quantity", qty}, {"subtotal", total},
                     {"total", total}, {"total_tax", "0.00"}, {"sku", sku}, {"price", price}};
    if (!image.isEmpty())
        item.insert("image", QJsonObject{{"id", 5}, {"src", image}});
    return item;
}

// An order shaped like a real shop's answer: numbers where text might be expected, shop time without offset.
inline QJsonObject order(qint64 id, const QString& status, const QString& created,
                         const QString& modified = QString(), const QJsonArray& items = {}) {
    QJsonObject billing{{"first_name", "Ann"}, {"last_name", "Lee"}, {"company", ""}, {"address_1", "1 Main St"},
                        {"address_2", "Apt 2"}, {"city", "Springfield"}, {"state", "IL"}, {"postcode", "62701"},
                        {"country", "US"}, {"email", "ann@example.com"}, {"phone", "0500000001"}};
    const QString mod = modified.isEmpty() ? created : modified;
    return QJsonObject{{"id", id},
                       {"parent_id", 0},
                       {"status", status},
                       {"currency", "USD"},
                       {"date_created", created},
                       {"date_created_gmt", created},
                       {"date_modified", mod},
                       {"date_modified_gmt", mod},
                       {"discount_total", "0.00"},
                       {"discount_tax", "0.00"},
                       {"shipping_total", "10.00"},
                       {"shipping_tax", "0.00"},
                       {"cart_tax", "0.00"},
                       {"total", "29.35"},
                       {"total_tax", "0.00"},
                       {"customer_id", 0},
                       {"customer_note", ""},
                       {"billing", billing},
                       {"payment_method", "cod"},
                       {"customer_user_agent", "Mozilla/5.0 (Windows NT 10.0; Win64; x64)"},
                       {"line_items", items.isEmpty() ? QJsonArray{lineItem("Woo Single", 18.5, "18.50")} : items},
                       {"tax_lines", QJsonArray{}},
                       {"fee_lines", QJsonArray{}}};
}

} // namespace quillerby::testing
