#pragma once

#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>

namespace quillerby {

class Catalogue;
struct NetworkSettings;

struct StoreTestInput {
    QString link;   // the shop's address as typed (no trailing "/")
    QString key;    // REST API consumer key
    QString secret; // REST API consumer secret
};

enum class StoreTestOutcome {
    Connected,        // shop answered, connection stored (or already known), relay told
    Rejected,         // the shop completed the request with a status other than 200
    Failed,           // shop unreachable, request failed, reply unreadable, look-up failed
    DatabaseFailed,   // the connection could not be stored
    RelayFailed,      // stored, but the relay service could not be told
};

struct StoreTestServices {
    // Opens a connection to the program's database usable on the calling thread.
    std::function<QSqlDatabase()> database;
    const Catalogue* catalogue = nullptr;
    const NetworkSettings* network = nullptr;
    QString relayBase; // empty: the built-in relay, nothing to register
    // Shows one message and returns once the user has seen it.
    std::function<void(const QString&)> message;
};

// The shop connection in use: the first row of websites000, if any. Raises Error on database failures.
struct StoredShop {
    QString website;
    QString key;
    QString secret;
    QString currency;
};
std::optional<StoredShop> firstStoredShop(const QSqlDatabase& db, const Catalogue& catalogue);

// Proves the credentials against the shop (general settings), learns its currency, stores the connection in
// websites000 when its consumer secret is new, and registers the credentials with the relay service. Every
// outcome is told through `message`. Blocking; runs on any thread.
StoreTestOutcome runStoreTest(const StoreTestInput& input, const StoreTestServices& services);

// The texts the store test shows.
QString storeTestSuccessText();

} // namespace quillerby
