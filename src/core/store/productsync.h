#pragma once

#include "store/ordersync.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace quillerby {

class DataModule;

struct ProductSyncResult {
    int pages = 0;
    int products = 0; // products written (each replaces the stored row with its id)
};

// One stored product as the products list shows it (raw column values; NULL stays a null QVariant).
struct ProductRow {
    QVariant sku, name, stockStatus, price, catalogVisibility, categories, stockQuantity, salePrice, status;
};

// Copies the shop's product catalogue into Products000: all products the first time, afterwards those
// changed since the newest stored change. Each product replaces the stored row of its id in one transaction.
// Raises Error where it stops; products written before stay.
class ProductSync {
public:
    ProductSync(DataModule& dm, ShopAccess shop);

    // The "modified_after" value, empty when no product is stored.
    QString modifiedAfter() const;
    ProductSyncResult run(const SyncProgress& progress);
    // Every stored product in the database's order.
    QList<ProductRow> storedProducts() const;

    // " ,Shirts ,Sale" for the categories Shirts and Sale; empty without categories.
    static QString categoriesText(const JsonValue& product);
    static constexpr int kPageSize = 60;

private:
    DataModule& m_dm;
    ShopAccess m_shop;
};

} // namespace quillerby
