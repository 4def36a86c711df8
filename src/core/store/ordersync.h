#pragma once

#include "store/pagefetcher.h"

#include <QString>
#include <functional>

namespace quillerby {

class DataModule;

// What a synchronisation reports while it runs (all called on the caller's thread).
struct SyncProgress {
    std::function<void()> step;            // one progress step
    std::function<void(int)> setMaximum;   // the number of items the shop reports
    std::function<void()> idle;            // while waiting for the shop: keep the screen alive
    std::function<void(int)> pageDone;     // a page was written, with its number of items
};

struct OrderSyncStart {
    int storedOrders = 0;
    QString modifiedAfter; // "yyyy-mm-dd HH:nn:ss", empty when nothing is stored
    QString lastOrderId;   // the greatest stored order number in text order
};

struct OrderSyncResult {
    bool upToDate = false; // the shop reported no page
    int pages = 0;
    int ordersReported = 0;
    int added = 0;
    int statusChanges = 0;
    int removed = 0;       // stored orders that went back to "processing"
    int items = 0;
};

// Brings the local order history (Orders000, orderitems) up to date with the shop: every order created or
// changed since the newest stored one, 60 per page. New finished orders are added with their line items
// (one transaction per order), changed statuses are updated, an order back in "processing" leaves the
// history, and the month-totals view is rebuilt. Runs on the caller's thread (the data module's); pages are
// downloaded ahead on a thread of their own. Raises Error where it stops; what was written stays, and the
// next run continues from the newest order stored.
class OrderSync {
public:
    OrderSync(DataModule& dm, ShopAccess shop);

    OrderSyncStart startPoint() const;
    OrderSyncResult run(const SyncProgress& progress);

    // The device class of a browser's user-agent text.
    static QString deviceClass(const QString& userAgent);
    static constexpr int kPageSize = 60;

private:
    DataModule& m_dm;
    ShopAccess m_shop;
};

} // namespace quillerby
