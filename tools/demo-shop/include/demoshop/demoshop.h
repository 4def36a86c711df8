#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <optional>

class QThread;

namespace quillerby::demo {

// A WooCommerce-compatible shop (REST API v3, the parts Quillerby uses) plus the relay service's two
// endpoints, listening on 127.0.0.1 only. Tests start one in-process on an ephemeral port; the
// quillerby-demo-shop executable wraps the same class.
struct DemoShopOptions {
    quint16 port = 0;        // 0: any free port
    QString key, secret;     // the accepted consumer key and secret; both empty: any credentials
    bool strictHttp = false; // plain http: refuse Basic and key parameters, as a real shop does
    bool tls = false;        // HTTPS with certFile / certKeyFile (PEM)
    QString certFile, certKeyFile;
    int orders = 0, products = 0; // generated data
    quint32 seed = 1;
    // Generated dates end a little before this shop-time moment; invalid: the current time. Pin it to
    // get byte-identical data on every run.
    QDateTime now;
    int utcOffsetMinutes = 180; // the shop's time zone (shop time = UTC + offset)
    // A JSON file {"orders":[...],"products":[...],"settings":[...]} served instead of generated data.
    QString dataFile;
    // Injected failures: "PATH" or "PATH@page=N" (N: the page parameter, 1 when absent) -> HTTP status,
    // answered with a JSON error body before anything else is checked.
    QHash<QString, int> failures;
    QStringList malformed; // paths whose answers are cut in half (status 200, invalid JSON)
    int delayMs = 0;       // added to every answer (a timer; the server keeps serving)
};

// One request as the shop saw it.
struct RecordedRequest {
    QByteArray method;
    QString path;                                 // percent-decoded, without the query
    QList<QPair<QString, QString>> query;         // decoded, in request order
    QList<QPair<QByteArray, QByteArray>> headers; // as received
    QByteArray body;
    bool tls = false;
    int status = 0; // status of the answer sent

    QByteArray header(const char* name) const;     // first match, case-insensitive; empty when absent
    QString queryValue(const QString& name) const; // last match; empty when absent
    bool hasQuery(const QString& name) const;
};

// A body received on the relay's POST /api/getcred.
struct CredentialRegistration {
    QString consumerKey, consumerSecret, websiteName;
};

// Threading: the server lives in the thread the object lives in (see DemoShopThread for a shop on its
// own thread). Every public member function except start() is thread-safe and may be called from any
// thread while the shop serves.
class DemoShop : public QObject {
    Q_OBJECT
public:
    // Loads or generates the data at once (200,000 generated orders take well under a second: orders are
    // rendered to JSON on first use and then kept).
    explicit DemoShop(DemoShopOptions options, QObject* parent = nullptr);
    ~DemoShop() override;

    // Starts listening on 127.0.0.1. False with a reason when the data file could not be read, the
    // certificate or key could not be loaded, or the port is taken.
    bool start(QString* error = nullptr);
    // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT", without a trailing slash. Valid after start().
    QUrl baseUrl() const;
    quint16 port() const;

    // Requests seen, oldest first, and their count.
    QList<RecordedRequest> requests() const;
    int requestCount() const;
    void clearRequests();
    QList<CredentialRegistration> credentialRegistrations() const;

    // Data. Orders and products are WooCommerce-shaped JSON objects; put* adds or replaces by "id"
    // (a number) and returns false without one. Trashed orders count and are listed by orderIds().
    int orderCount() const;
    QList<qint64> orderIds() const; // list order: newest date_created first, then highest id
    std::optional<QJsonObject> order(qint64 id) const;
    bool putOrder(const QJsonObject& order);
    bool removeOrder(qint64 id);
    int productCount() const;
    QList<qint64> productIds() const;
    std::optional<QJsonObject> product(qint64 id) const;
    bool putProduct(const QJsonObject& product);
    // woocommerce_currency of /settings/general.
    QString currency() const;

    // Fault injection at run time; see DemoShopOptions. Status 0 removes a failure.
    void setFailure(const QString& pathOrPage, int status);
    void clearFailures();
    void setMalformed(const QString& path, bool malformed = true);
    void setDelay(int milliseconds);
    void setCredentials(const QString& key, const QString& secret);

    class Private;

private:
    std::unique_ptr<Private> d;
};

// A DemoShop on a thread of its own, so that a client blocking the calling thread (a synchronous sync
// run, a QEventLoop-free test) is still answered. Not copyable; the destructor stops the server and
// joins the thread.
class DemoShopThread {
public:
    explicit DemoShopThread(DemoShopOptions options);
    ~DemoShopThread();
    DemoShopThread(const DemoShopThread&) = delete;
    DemoShopThread& operator=(const DemoShopThread&) = delete;

    // Builds the shop (data included) and returns once it listens, or false with the reason.
    bool start(QString* error = nullptr);
    DemoShop* shop() const { return m_shop; } // owned; valid between start() and destruction
    QUrl baseUrl() const;

private:
    DemoShopOptions m_options;
    std::unique_ptr<QThread> m_thread;
    DemoShop* m_shop = nullptr;
};

} // namespace quillerby::demo
