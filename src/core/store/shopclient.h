#pragma once

#include "store/json.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;

namespace quillerby {

struct ConnectionParams;

// The operations that talk to the shop (or the relay service). Each has its own user agent, and the status
// actions leave the Content-Encoding header out.
enum class ShopOperation { OrderSync, ProductSync, StoreTest, StatusAction, Relay };

// The exact "User-Agent" text of an operation.
QByteArray userAgent(ShopOperation operation);

// Transport settings shared by every client, read from config.ini.
struct NetworkSettings {
    // Turns off the verification of the server's certificate (a self-signed shop). Off by default.
    bool acceptUntrustedCertificates = false;
    // A request that sends and receives nothing for this many seconds is aborted and fails.
    int stallTimeoutSeconds = 60;
    // Certificate authorities trusted in addition to the system's (tests bring their own CA).
    QList<QSslCertificate> extraCaCertificates;

    static NetworkSettings from(const ConnectionParams& params);
};

// A request address: a base text used exactly as given (the shop address with the path appended directly,
// so "https://shop/" + "/wp-json" gives "https://shop//wp-json") followed by query parameters in the order
// they were added. Names and values are percent-encoded (everything but A-Z a-z 0-9 - . _ ~). A query
// already present in the base is taken apart into parameters, so it is encoded and signed like the rest.
class UriBuilder {
public:
    UriBuilder(const QString& base); // NOLINT: implicit on purpose, a plain address is a valid builder
    // `address` + `path`, nothing inserted between them.
    static UriBuilder forShop(const QString& address, const QString& path) {
        return UriBuilder(address + path);
    }

    UriBuilder& add(const QString& name, const QString& value);

    const QString& base() const { return m_base; }
    const QList<QPair<QString, QString>>& parameters() const { return m_parameters; }
    QString toString() const;
    QUrl url() const;

private:
    QString m_base;
    QList<QPair<QString, QString>> m_parameters;
};

// A completed HTTP exchange.
struct ShopResponse {
    int status = 0;                               // HTTP status code
    QByteArray reason;                            // reason phrase as sent (empty over HTTP/2)
    QByteArray body;                              // raw body (already decompressed)
    QList<QPair<QByteArray, QByteArray>> headers; // in the order received

    // First header of that name, compared without regard to case; empty when missing.
    QByteArray header(const QByteArray& name) const;
    bool hasHeader(const QByteArray& name) const;
    // The body parsed as JSON, decoded by the character set the answer declares (UTF-8 when none). Raises
    // Error when it is not valid JSON.
    JsonValue json() const;
};

// The paging headers of a list answer: "X-WP-TotalPages" and "X-WP-Total", names matched without regard
// to case; a missing, negative or non-numeric value counts as 0.
struct PageInfo {
    int totalPages = 0;
    int total = 0;

    static PageInfo from(const ShopResponse& response);
};

// A blocking HTTP client for one operation against one shop (or the relay service).
//
// Threading: create, use and destroy it on one thread (the UI thread or a worker thread); its network
// manager belongs to that thread. Each call waits in a local event loop that does not deliver user input,
// so windows still repaint but cannot start another operation meanwhile. Not copyable.
//
// Credentials go with every shop request: over https as Basic authentication sent with the first request,
// over http as one-legged OAuth 1.0a (HMAC-SHA1) in the query string, because shops refuse Basic over http.
// TLS 1.2 or later; the server certificate is verified unless the settings say otherwise. Redirects are not
// followed. Requests of one client share kept-alive connections.
//
// Every call returns only answers with a status from 200 to 299. Anything else raises Error with a text
// that states the cause: the address is incomplete, the host is unknown or refuses the connection, TLS
// failed (with the certificate problems), nothing moved for the stall time, or the answer's status (code,
// reason phrase and the shop's own "message" when it sent one). Nothing is retried.
class ShopClient {
public:
    // `address`: the shop address as stored (or the relay's base address); `consumerKey`/`consumerSecret`:
    // REST API credentials, both empty for none.
    ShopClient(const QString& address, const QString& consumerKey, const QString& consumerSecret,
               ShopOperation operation, const NetworkSettings& settings = NetworkSettings());
    ~ShopClient();
    ShopClient(const ShopClient&) = delete;
    ShopClient& operator=(const ShopClient&) = delete;

    ShopOperation operation() const { return m_operation; }
    // The shop address followed directly by `path`.
    UriBuilder uri(const QString& path) const { return UriBuilder::forShop(m_address, path); }

    ShopResponse get(const UriBuilder& uri);
    // PUT of a JSON body to the shop address followed by `path`.
    ShopResponse put(const QString& path, const QByteArray& json);
    ShopResponse del(const UriBuilder& uri);
    // POST without credentials (the relay service takes them in the body).
    ShopResponse post(const UriBuilder& uri, const QByteArray& body);

private:
    enum class Method { Get, Put, Delete, Post };
    ShopResponse send(Method method, const UriBuilder& uri, const QByteArray& body, bool withCredentials);

    QString m_address;
    QString m_key;
    QString m_secret;
    ShopOperation m_operation;
    NetworkSettings m_settings;
    QSslConfiguration m_ssl;
    std::unique_ptr<QNetworkAccessManager> m_network;
};

// The relay service that serves the orders waiting to be processed. Its base address comes from config.ini
// (ConnectionParams::relayUrl); an empty base is the built-in relay, which asks the shop itself.
// Blocking and single-threaded like ShopClient; each call uses its own client.
class RelayClient {
public:
    RelayClient(const QString& baseUrl, const NetworkSettings& settings = NetworkSettings());

    bool isBuiltIn() const { return m_base.isEmpty(); }

    // Tells the relay service the shop's credentials (POST base + "/api/getcred"); the answer is not
    // examined. The built-in relay needs nothing. Raises Error when the request fails.
    void registerCredentials(const QString& consumerKey, const QString& consumerSecret,
                             const QString& website);

    // All orders in status "processing" as one JSON array of order objects: POST base + "/api/orders", or,
    // for the built-in relay, every page of GET website + "/wp-json/wc/v3/orders?status=processing" (100 per
    // page, each order once). Raises Error when a request fails or an answer is not a JSON array.
    JsonValue fetchProcessingOrders(const QString& consumerKey, const QString& consumerSecret,
                                    const QString& website);

    // The request body of both relay calls: three lines joined by CR LF, no spaces, the values JSON-escaped:
    // {"consumer_key":"K",  /  "consumer_secret":"S",  /  "website_name":"W"}  (UTF-8).
    static QByteArray requestBody(const QString& consumerKey, const QString& consumerSecret,
                                  const QString& website);

private:
    JsonValue fetchFromShop(const QString& consumerKey, const QString& consumerSecret,
                            const QString& website);

    QString m_base;
    NetworkSettings m_settings;
};

} // namespace quillerby
