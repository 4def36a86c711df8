#pragma once

#include "prng.h"
#include "recordstore.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace quillerby::demo {

// Deterministic demo data in the shapes real WooCommerce shops send: the same seed and the same `now`
// give byte-identical answers. Orders are kept as small recipes (dates, status, customer, a seed) and
// rendered to JSON on first use, so 200,000 orders cost a few megabytes until they are asked for, and
// rendering order does not matter (each order draws from its own random stream).
class ShopGenerator {
public:
    // `now` is the shop-time moment the data ends just before; `utcOffsetSeconds` the shop's zone.
    ShopGenerator(quint32 seed, qint64 now, int utcOffsetSeconds);
    ~ShopGenerator();

    static QString currency() { return QStringLiteral("SAR"); }

    // Fills `products` with `productCount` rendered products and `orders` with `orderCount` order
    // recipes; installs the order renderer on `orders`. The generator must outlive `orders`.
    void generate(int productCount, int orderCount, RecordStore& products, RecordStore& orders);

    QByteArray renderOrder(const Record& record, const QString& status) const;

    // The array of /settings/general, with `currency` as woocommerce_currency.
    static QByteArray generalSettings(const QString& currency);

    struct Customer;
    struct CatalogueItem;
    struct Recipe;

private:
    // `count` products; with `served`, they are also rendered into it (else only line items use them).
    void generateCatalogue(int count, RecordStore* served);
    void generateOrders(int count, RecordStore& orders);
    int newCustomer(Prng& rng, qint64 lastActive);
    // Customer details as UTF-8, composed on demand from the customer's small record.
    QByteArray firstName(const Customer& c) const;
    QByteArray lastName(const Customer& c) const;
    QByteArray phone(const Customer& c) const;
    QByteArray email(const Customer& c) const;
    QByteArray city(const Customer& c) const;
    QByteArray state(const Customer& c) const;
    QByteArray postcode(const Customer& c) const;
    QByteArray address1(const Customer& c) const;
    QByteArray address2(const Customer& c) const;

    quint64 m_seed;
    qint64 m_now;
    int m_offset;
    qint64 m_oldShopBefore = 0; // orders before this look like an older WooCommerce
    std::vector<Customer> m_customers;
    std::vector<CatalogueItem> m_catalogue;
    std::vector<Recipe> m_recipes;
    int m_nextUserId = 2;
    qint64 m_lastProductId = 0;
};

// A WordPress slug: ASCII lowercased with "-" between words; other characters percent-encoded (UTF-8,
// lowercase hex), as WordPress stores Arabic slugs.
QString slugify(const QString& name);

} // namespace quillerby::demo
