#include "demoshop/demoshop.h"

#include "httpconnection.h"
#include "jsonwriter.h"
#include "oauth.h"
#include "recordstore.h"
#include "shopgenerator.h"
#include "shoptime.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutex>
#include <QSet>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QThread>
#include <atomic>
#include <climits>
#include <cmath>

namespace quillerby::demo {

namespace {

constexpr qint64 kOAuthWindowSeconds = 15 * 60;
const QString kRestPrefix = QStringLiteral("/wp-json/wc/v3/");

// The order statuses WooCommerce registers; plugins may add more (any status already present in the
// data is accepted too).
const QStringList kOrderStatuses = {
    QStringLiteral("pending"),   QStringLiteral("processing"),     QStringLiteral("on-hold"),
    QStringLiteral("completed"), QStringLiteral("cancelled"),      QStringLiteral("refunded"),
    QStringLiteral("failed"),    QStringLiteral("checkout-draft"),
};

struct Denial {
    const char* code;
    const char* message;
};
const Denial kCannotList = {"woocommerce_rest_cannot_view", "Sorry, you cannot list resources."};
const Denial kCannotView = {"woocommerce_rest_cannot_view", "Sorry, you cannot view this resource."};
const Denial kCannotEdit = {"woocommerce_rest_cannot_edit",
                            "Sorry, you are not allowed to edit this resource."};
const Denial kCannotDelete = {"woocommerce_rest_cannot_delete",
                              "Sorry, you are not allowed to delete this resource."};

HttpResponse jsonResponse(int status, QByteArray body) {
    HttpResponse r;
    r.status = status;
    r.body = std::move(body);
    r.addHeader("Content-Type", "application/json; charset=UTF-8");
    r.addHeader("X-Robots-Tag", "noindex");
    r.addHeader("X-Content-Type-Options", "nosniff");
    r.addHeader("Access-Control-Expose-Headers", "X-WP-Total, X-WP-TotalPages, Link");
    return r;
}

// WordPress's error shape: {"code":..,"message":..,"data":{"status":..,"params":{..}}}.
HttpResponse restError(int status, const char* code, const QString& message,
                       const QList<QPair<QString, QString>>& params = {}) {
    QByteArray body;
    JsonWriter w(body);
    w.beginObject().member("code", code).member("message", message);
    w.key("data").beginObject().member("status", status);
    if (!params.isEmpty()) {
        w.key("params").beginObject();
        for (const auto& p : params) {
            const QByteArray name = p.first.toLatin1();
            w.key(name.constData()).string(p.second);
        }
        w.endObject();
    }
    w.endObject().endObject();
    return jsonResponse(status, body);
}

HttpResponse invalidParams(const QList<QPair<QString, QString>>& params) {
    QStringList names;
    for (const auto& p : params)
        names << p.first;
    return restError(400, "rest_invalid_param",
                     QStringLiteral("Invalid parameter(s): %1").arg(names.join(QStringLiteral(", "))),
                     params);
}

HttpResponse noRoute() {
    return restError(404, "rest_no_route",
                     QStringLiteral("No route was found matching the URL and request method."));
}

HttpResponse relayAnswer(int status, const QByteArray& body) {
    HttpResponse r;
    r.status = status;
    r.body = body;
    r.addHeader("Content-Type", "application/json; charset=UTF-8");
    return r;
}

// "//wp-json/wc/v3/orders/" and "/wp-json/wc/v3/orders" name the same route, as WordPress trims slashes.
QString normalisedPath(const QString& path) {
    QString p = path;
    while (p.startsWith(QLatin1String("//")))
        p.remove(0, 1);
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    return p;
}

// WordPress's rest_is_integer: digits, optionally signed.
std::optional<qint64> integerParam(const QString& text) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (ok)
        return value;
    const double d = text.trimmed().toDouble(&ok);
    if (ok && std::floor(d) == d && std::abs(d) < 9e15)
        return qint64(d);
    return std::nullopt;
}

QByteArray setTopLevelMember(const QByteArray& json, const QByteArray& name, const QByteArray& valueJson);

} // namespace

// ---------------------------------------------------------------------------------------------------

QByteArray RecordedRequest::header(const char* name) const {
    for (const auto& h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return {};
}

QString RecordedRequest::queryValue(const QString& name) const {
    QString value;
    for (const auto& q : query) {
        if (q.first == name)
            value = q.second;
    }
    return value;
}

bool RecordedRequest::hasQuery(const QString& name) const {
    for (const auto& q : query) {
        if (q.first == name)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------------

class DemoShop::Private {
public:
    explicit Private(DemoShopOptions o);

    HttpResponse handle(const HttpRequest& request);

    // All below: with `mutex` held.
    HttpResponse route(const HttpRequest& request, const QString& path);
    std::optional<HttpResponse> authenticate(const HttpRequest& request, const Denial& denial);
    std::optional<HttpResponse> checkOAuth(const HttpRequest& request, const oauth::Params& headerParams);
    HttpResponse list(const HttpRequest& request, RecordStore& store, bool orders, const QString& route);
    HttpResponse single(const HttpRequest& request, RecordStore& store, qint64 id, bool orders);
    HttpResponse updateOrder(const HttpRequest& request, qint64 id);
    HttpResponse deleteOrder(const HttpRequest& request, qint64 id);
    HttpResponse settingsAnswer(const HttpRequest& request, const QString& id);
    HttpResponse relayOrders(const HttpRequest& request);
    HttpResponse registerCredentials(const HttpRequest& request);
    void patchOrder(int position, const QString& status, qint64 now);
    qint64 shopNow() const { return shoptime::now(offset); }
    void loadDataFile();
    void setSettings(const QJsonArray& settings);
    QByteArray origin(const HttpRequest& request) const;

    DemoShopOptions options;
    int offset = 0; // seconds east of UTC
    mutable QMutex mutex;
    QString loadError;
    std::unique_ptr<ShopGenerator> generator; // renders the generated orders; outlives nothing it serves
    RecordStore orders;
    RecordStore products;
    QByteArray settingsJson;
    QJsonArray settings;
    QString currency;
    QList<RecordedRequest> requests;
    QList<CredentialRegistration> registrations;
    QHash<QString, int> failures;
    QSet<QString> malformed;
    std::atomic<int> delayMs{0};
    QHash<QByteArray, qint64> nonces; // consumer key + "\n" + nonce -> timestamp
    QTcpServer* server = nullptr;
};

DemoShop::Private::Private(DemoShopOptions o) : options(std::move(o)) {
    offset = options.utcOffsetMinutes * 60;
    failures = options.failures;
    for (const QString& p : options.malformed)
        malformed.insert(normalisedPath(p));
    delayMs = options.delayMs;
    qint64 now = shopNow();
    if (options.now.isValid()) {
        const QDate d = options.now.date();
        const QTime t = options.now.time();
        now = shoptime::fromCivil(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    }
    if (!options.dataFile.isEmpty()) {
        loadDataFile();
        return;
    }
    generator = std::make_unique<ShopGenerator>(options.seed, now, offset);
    generator->generate(options.products, options.orders, products, orders);
    currency = ShopGenerator::currency();
    setSettings(QJsonDocument::fromJson(ShopGenerator::generalSettings(currency)).array());
}

void DemoShop::Private::setSettings(const QJsonArray& array) {
    settings = array;
    settingsJson.clear();
    JsonWriter(settingsJson).value(array);
    for (const QJsonValue& v : array) {
        const QJsonObject o = v.toObject();
        if (o.value(QLatin1String("id")).toString() == QLatin1String("woocommerce_currency"))
            currency = o.value(QLatin1String("value")).toString();
    }
}

void DemoShop::Private::loadDataFile() {
    QFile file(options.dataFile);
    if (!file.open(QIODevice::ReadOnly)) {
        loadError = QStringLiteral("cannot read %1: %2").arg(options.dataFile, file.errorString());
        return;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        loadError =
            QStringLiteral("%1 is not a JSON object: %2").arg(options.dataFile, parseError.errorString());
        return;
    }
    const QJsonObject root = doc.object();
    const qint64 now = shopNow();
    for (const char* name : {"orders", "products"}) {
        const bool isOrders = qstrcmp(name, "orders") == 0;
        RecordStore& store = isOrders ? orders : products;
        std::vector<Record> records;
        const QJsonArray array = root.value(QLatin1String(name)).toArray();
        for (int i = 0; i < array.size(); ++i) {
            auto r = store.fromJson(array[i].toObject(), now, offset,
                                    isOrders ? QStringLiteral("pending") : QStringLiteral("publish"));
            if (!r) {
                loadError = QStringLiteral("%1: %2[%3] has no numeric \"id\"")
                                .arg(options.dataFile, QLatin1String(name))
                                .arg(i);
                return;
            }
            records.push_back(std::move(*r));
        }
        store.assign(std::move(records));
    }
    if (root.value(QLatin1String("settings")).isArray()) {
        setSettings(root.value(QLatin1String("settings")).toArray());
    } else {
        // A data file without settings still reports the currency its orders are in.
        QString fileCurrency = ShopGenerator::currency();
        const QJsonArray list = root.value(QLatin1String("orders")).toArray();
        if (!list.isEmpty() && list.first().toObject().value(QLatin1String("currency")).isString())
            fileCurrency = list.first().toObject().value(QLatin1String("currency")).toString();
        currency = fileCurrency;
        setSettings(QJsonDocument::fromJson(ShopGenerator::generalSettings(fileCurrency)).array());
    }
}

QByteArray DemoShop::Private::origin(const HttpRequest& request) const {
    QByteArray host = request.header("Host");
    if (host.isEmpty())
        host = "127.0.0.1:" + QByteArray::number(server ? server->serverPort() : 0);
    return (request.tls ? "https://" : "http://") + host.toLower();
}

HttpResponse DemoShop::Private::handle(const HttpRequest& request) {
    QMutexLocker lock(&mutex);
    const QString path = normalisedPath(request.path);
    HttpResponse response = route(request, path);
    if (malformed.contains(path)) {
        // A plugin's PHP notice or a proxy cutting the answer short: 200 with JSON that does not parse.
        response.status = 200;
        response.body =
            response.body.size() > 8 ? response.body.left(response.body.size() / 2) : QByteArray("[{\"id\":");
    }
    RecordedRequest seen;
    seen.method = request.method;
    seen.path = request.path;
    seen.query = request.query;
    seen.headers = request.headers;
    seen.body = request.body;
    seen.tls = request.tls;
    seen.status = response.status;
    requests.append(std::move(seen));
    return response;
}

HttpResponse DemoShop::Private::route(const HttpRequest& request, const QString& path) {
    if (!failures.isEmpty()) {
        const QString page = request.hasQuery(QStringLiteral("page"))
                                 ? request.queryValue(QStringLiteral("page"))
                                 : QStringLiteral("1");
        const int status = failures.value(path + QStringLiteral("@page=") + page, failures.value(path, 0));
        if (status > 0) {
            HttpResponse r =
                status == 500
                    ? restError(500, "internal_server_error",
                                QStringLiteral("<p>There has been a critical error on this website.</p>"))
                    : restError(status, "http_error", QString::fromLatin1(reasonPhrase(status)));
            if (status == 429 || status == 503)
                r.addHeader("Retry-After", "1");
            return r;
        }
    }

    const QByteArray& method = request.method;
    const bool get = method == "GET" || method == "HEAD";
    if (path.compare(QLatin1String("/api/orders"), Qt::CaseInsensitive) == 0 && method == "POST")
        return relayOrders(request);
    if (path.compare(QLatin1String("/api/getcred"), Qt::CaseInsensitive) == 0 && method == "POST")
        return registerCredentials(request);
    if (!path.startsWith(kRestPrefix, Qt::CaseInsensitive))
        return noRoute();

    const QStringList parts = path.mid(kRestPrefix.size()).toLower().split(u'/');
    const QString resource = parts.value(0);
    std::optional<qint64> id;
    if (parts.size() == 2 && (resource == u"orders" || resource == u"products")) {
        bool ok = false;
        const qint64 value = parts[1].toLongLong(&ok);
        if (!ok || value < 0 || parts[1].contains(u'+'))
            return noRoute();
        id = value;
    }
    if (resource == u"orders" && parts.size() == 1 && get)
        return list(request, orders, true, path);
    if (resource == u"products" && parts.size() == 1 && get)
        return list(request, products, false, path);
    if (resource == u"orders" && id) {
        if (get)
            return single(request, orders, *id, true);
        if (method == "PUT" || method == "POST" || method == "PATCH")
            return updateOrder(request, *id);
        if (method == "DELETE")
            return deleteOrder(request, *id);
    }
    if (resource == u"products" && id && get)
        return single(request, products, *id, false);
    if (resource == u"settings" && parts.value(1) == u"general" && parts.size() <= 3 && get)
        return settingsAnswer(request, parts.value(2));
    return noRoute();
}

// ---- authentication ----

std::optional<HttpResponse> DemoShop::Private::authenticate(const HttpRequest& request,
                                                            const Denial& denial) {
    const bool open = options.key.isEmpty() && options.secret.isEmpty();
    const auto deny = [&] { return restError(401, denial.code, QString::fromLatin1(denial.message)); };
    const auto check = [&](const QString& key, const QString& secret) -> std::optional<HttpResponse> {
        if (open || (key == options.key && secret == options.secret))
            return std::nullopt;
        return deny();
    };

    const QByteArray authorization = request.header("Authorization");
    const bool basic = authorization.left(6).compare("Basic ", Qt::CaseInsensitive) == 0;
    QString basicUser, basicPassword;
    if (basic) {
        const QByteArray decoded = QByteArray::fromBase64(authorization.mid(6).trimmed());
        const qsizetype colon = decoded.indexOf(':');
        basicUser = QString::fromUtf8(colon < 0 ? decoded : decoded.left(colon));
        basicPassword = colon < 0 ? QString() : QString::fromUtf8(decoded.mid(colon + 1));
    }
    const bool queryKeys = request.hasQuery(QStringLiteral("consumer_key"));
    const auto checkOffered = [&]() -> std::optional<HttpResponse> {
        if (basic)
            return check(basicUser, basicPassword);
        return check(request.queryValue(QStringLiteral("consumer_key")),
                     request.queryValue(QStringLiteral("consumer_secret")));
    };

    if (request.tls) {
        // Over HTTPS WooCommerce reads Basic or the key parameters, and never OAuth.
        if (basic || queryKeys)
            return checkOffered();
        return open ? std::nullopt : std::optional<HttpResponse>(deny());
    }
    const oauth::Params headerOAuth = oauth::parseAuthorization(authorization);
    const bool queryOAuth = request.hasQuery(QStringLiteral("oauth_consumer_key")) ||
                            request.hasQuery(QStringLiteral("oauth_signature"));
    if (!headerOAuth.isEmpty() || queryOAuth)
        return open ? std::nullopt : checkOAuth(request, headerOAuth);
    if (basic || queryKeys) {
        // A real shop ignores Basic over plain http and treats the request as anonymous.
        if (options.strictHttp)
            return deny();
        return checkOffered();
    }
    return open ? std::nullopt : std::optional<HttpResponse>(deny());
}

std::optional<HttpResponse> DemoShop::Private::checkOAuth(const HttpRequest& request,
                                                          const oauth::Params& headerParams) {
    const auto fail = [](const QString& message) {
        return restError(401, "woocommerce_rest_authentication_error", message);
    };
    oauth::Params params = headerParams;
    for (const auto& q : request.query)
        params.append({q.first.toUtf8(), q.second.toUtf8()});
    const auto value = [&](const char* name) {
        QByteArray v;
        for (const auto& p : params) {
            if (p.first == name)
                v = p.second;
        }
        return v;
    };
    QStringList missing;
    for (const char* name : {"oauth_consumer_key", "oauth_timestamp", "oauth_nonce", "oauth_signature",
                             "oauth_signature_method"}) {
        if (value(name).isEmpty())
            missing << QString::fromLatin1(name);
    }
    if (!missing.isEmpty())
        return fail(QStringLiteral("%1 parameter(s) missing.").arg(missing.join(QStringLiteral(", "))));
    const QByteArray consumerKey = value("oauth_consumer_key");
    if (QString::fromUtf8(consumerKey) != options.key)
        return fail(QStringLiteral("Consumer key is invalid."));
    const QByteArray method = value("oauth_signature_method");
    QCryptographicHash::Algorithm algorithm;
    if (method == "HMAC-SHA1")
        algorithm = QCryptographicHash::Sha1;
    else if (method == "HMAC-SHA256")
        algorithm = QCryptographicHash::Sha256;
    else
        return fail(QStringLiteral("Invalid signature - signature method is invalid."));

    const QByteArray base = oauth::baseString(request.method, origin(request) + request.rawPath, params);
    const QByteArray expected = oauth::sign(base, options.secret.toUtf8(), algorithm);
    // PHP has already turned a "+" of the query string into a blank; WooCommerce turns it back.
    QByteArray offered = value("oauth_signature");
    offered.replace(' ', '+');
    if (offered != expected)
        return fail(QStringLiteral("Invalid signature - provided signature does not match."));

    const qint64 now = QDateTime::currentSecsSinceEpoch();
    bool ok = false;
    const qint64 timestamp = value("oauth_timestamp").toLongLong(&ok);
    if (!ok || std::abs(now - timestamp) > kOAuthWindowSeconds)
        return fail(QStringLiteral("Invalid timestamp."));
    if (nonces.size() > 10000) {
        for (auto it = nonces.begin(); it != nonces.end();)
            it = now - it.value() > kOAuthWindowSeconds ? nonces.erase(it) : std::next(it);
    }
    const QByteArray nonceKey = consumerKey + '\n' + value("oauth_nonce");
    if (nonces.contains(nonceKey))
        return fail(QStringLiteral("Invalid nonce - nonce has already been used."));
    nonces.insert(nonceKey, timestamp);
    return std::nullopt;
}

// ---- REST endpoints ----

HttpResponse DemoShop::Private::list(const HttpRequest& request, RecordStore& store, bool isOrders,
                                     const QString& route) {
    QList<QPair<QString, QString>> invalid;
    int perPage = 10;
    qint64 page = 1;
    ListQuery query;
    if (request.hasQuery(QStringLiteral("per_page"))) {
        const auto v = integerParam(request.queryValue(QStringLiteral("per_page")));
        if (!v)
            invalid.append({QStringLiteral("per_page"), QStringLiteral("per_page is not of type integer.")});
        else if (*v < 1 || *v > 100)
            invalid.append({QStringLiteral("per_page"),
                            QStringLiteral("per_page must be between 1 (inclusive) and 100 (inclusive)")});
        else
            perPage = int(*v);
    }
    if (request.hasQuery(QStringLiteral("page"))) {
        const auto v = integerParam(request.queryValue(QStringLiteral("page")));
        if (!v)
            invalid.append({QStringLiteral("page"), QStringLiteral("page is not of type integer.")});
        else if (*v < 1)
            invalid.append(
                {QStringLiteral("page"), QStringLiteral("page must be greater than or equal to 1")});
        else
            page = *v;
    }
    if (request.hasQuery(QStringLiteral("modified_after"))) {
        query.modifiedAfter = shoptime::parse(request.queryValue(QStringLiteral("modified_after")));
        if (!query.modifiedAfter)
            invalid.append({QStringLiteral("modified_after"), QStringLiteral("Invalid date.")});
    }
    if (request.hasQuery(QStringLiteral("order"))) {
        const QString order = request.queryValue(QStringLiteral("order"));
        if (order != u"asc" && order != u"desc")
            invalid.append({QStringLiteral("order"), QStringLiteral("order is not one of asc and desc.")});
        query.ascending = order == u"asc";
    }
    if (request.hasQuery(QStringLiteral("status"))) {
        const QStringList wanted =
            request.queryValue(QStringLiteral("status")).split(u',', Qt::SkipEmptyParts);
        for (const QString& raw : wanted) {
            const QString s = raw.trimmed();
            if (s == u"any")
                continue;
            const int code = store.findStatus(s);
            const bool known = isOrders ? kOrderStatuses.contains(s) || s == u"trash"
                                        : QStringList{QStringLiteral("draft"),   QStringLiteral("pending"),
                                                      QStringLiteral("private"), QStringLiteral("publish"),
                                                      QStringLiteral("future"),  QStringLiteral("trash")}
                                              .contains(s);
            if (code < 0 && !known) {
                invalid.append(
                    {QStringLiteral("status"),
                     QStringLiteral("status[%1] is not a registered status.").arg(wanted.indexOf(raw))});
                break;
            }
            query.statuses.append(code); // -1 matches nothing: a known status no record has yet
        }
    }
    if (!invalid.isEmpty())
        return invalidParams(invalid);
    if (auto denied = authenticate(request, kCannotList))
        return *denied;

    const QString gmt = request.queryValue(QStringLiteral("dates_are_gmt"));
    query.gmt = gmt == u"true" || gmt == u"1";
    const qint64 skipped = page > INT_MAX ? qint64(INT_MAX) : (page - 1) * perPage;
    query.offset = skipped > INT_MAX ? INT_MAX : int(skipped);
    query.limit = perPage;
    const ListResult result = store.list(query);
    const int totalPages = (result.total + perPage - 1) / perPage;

    HttpResponse r = jsonResponse(200, store.jsonArray(result.positions));
    r.addHeader("X-WP-Total", QByteArray::number(result.total));
    r.addHeader("X-WP-TotalPages", QByteArray::number(totalPages));

    // prev/next links as WooCommerce builds them: the request's own parameters with another page.
    QByteArray base = origin(request) + route.toUtf8() + '?';
    for (const auto& q : request.query) {
        if (q.first == u"page" || q.first.startsWith(QLatin1String("oauth_")) ||
            q.first.startsWith(QLatin1String("consumer_")))
            continue;
        base += QUrl::toPercentEncoding(q.first) + '=' + QUrl::toPercentEncoding(q.second) + '&';
    }
    QList<QByteArray> links;
    if (page > 1)
        links << '<' + base +
                     "page=" + QByteArray::number(qMax<qint64>(1, qMin<qint64>(page - 1, totalPages))) +
                     ">; rel=\"prev\"";
    if (totalPages > page)
        links << '<' + base + "page=" + QByteArray::number(page + 1) + ">; rel=\"next\"";
    if (!links.isEmpty())
        r.addHeader("Link", links.join(", "));
    return r;
}

HttpResponse DemoShop::Private::single(const HttpRequest& request, RecordStore& store, qint64 id,
                                       bool isOrders) {
    if (auto denied = authenticate(request, kCannotView))
        return *denied;
    const int position = store.positionOf(id);
    if (position < 0)
        return restError(
            404, isOrders ? "woocommerce_rest_shop_order_invalid_id" : "woocommerce_rest_product_invalid_id",
            QStringLiteral("Invalid ID."));
    return jsonResponse(200, store.json(position));
}

void DemoShop::Private::patchOrder(int position, const QString& status, qint64 now) {
    // Edit the stored text in place so members keep WooCommerce's order; only these few ever change.
    QByteArray json = orders.json(position);
    const QJsonObject current = QJsonDocument::fromJson(json).object();
    const auto unset = [&](const char* name) {
        const QJsonValue v = current.value(QLatin1String(name));
        return v.isNull() || v.isUndefined();
    };
    const auto text = [](qint64 t) { return '"' + shoptime::format(t) + '"'; };
    QByteArray quoted;
    JsonWriter::appendEscaped(quoted, status);
    json = setTopLevelMember(json, "status", quoted);
    json = setTopLevelMember(json, "date_modified", text(now));
    json = setTopLevelMember(json, "date_modified_gmt", text(now - offset));
    if (status == u"completed" && unset("date_completed")) {
        json = setTopLevelMember(json, "date_completed", text(now));
        json = setTopLevelMember(json, "date_completed_gmt", text(now - offset));
    }
    if ((status == u"completed" || status == u"processing") && unset("date_paid")) {
        json = setTopLevelMember(json, "date_paid", text(now));
        json = setTopLevelMember(json, "date_paid_gmt", text(now - offset));
    }
    Record& r = orders.at(position);
    r.json = json;
    r.status = orders.statusCode(status);
    r.modified = now;
    r.modifiedGmt = now - offset;
}

HttpResponse DemoShop::Private::updateOrder(const HttpRequest& request, qint64 id) {
    QString status;
    bool hasStatus = false;
    if (!request.body.trimmed().isEmpty()) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(request.body, &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            return restError(400, "rest_invalid_json", QStringLiteral("Invalid JSON body passed."));
        const QJsonValue v = doc.object().value(QLatin1String("status"));
        hasStatus = !v.isUndefined();
        status = v.toString();
        if (hasStatus && !v.isString())
            return invalidParams(
                {{QStringLiteral("status"), QStringLiteral("status is not of type string.")}});
    } else if (request.hasQuery(QStringLiteral("status"))) {
        // WordPress merges query parameters into the request, so "?status=" works too.
        hasStatus = true;
        status = request.queryValue(QStringLiteral("status"));
    }
    if (hasStatus && !kOrderStatuses.contains(status) &&
        (orders.findStatus(status) < 0 || status == u"trash"))
        return invalidParams({{QStringLiteral("status"),
                               QStringLiteral("status is not one of pending, processing, on-hold, completed, "
                                              "cancelled, refunded, failed, and checkout-draft.")}});
    if (auto denied = authenticate(request, kCannotEdit))
        return *denied;
    const int position = orders.positionOf(id);
    if (position < 0)
        return restError(404, "woocommerce_rest_shop_order_invalid_id", QStringLiteral("Invalid ID."));
    if (hasStatus)
        patchOrder(position, status, shopNow());
    return jsonResponse(200, orders.json(position));
}

HttpResponse DemoShop::Private::deleteOrder(const HttpRequest& request, qint64 id) {
    if (auto denied = authenticate(request, kCannotDelete))
        return *denied;
    const int position = orders.positionOf(id);
    if (position < 0)
        return restError(404, "woocommerce_rest_shop_order_invalid_id", QStringLiteral("Invalid ID."));
    const QString force = request.queryValue(QStringLiteral("force"));
    if (force == u"true" || force == u"1") {
        const QByteArray previous = orders.json(position);
        orders.remove(id);
        return jsonResponse(200, previous);
    }
    if (orders.at(position).status == orders.trashCode())
        return restError(410, "woocommerce_rest_already_trashed",
                         QStringLiteral("The shop_order has already been deleted."));
    patchOrder(position, QStringLiteral("trash"), shopNow());
    return jsonResponse(200, orders.json(position));
}

HttpResponse DemoShop::Private::settingsAnswer(const HttpRequest& request, const QString& id) {
    if (auto denied = authenticate(request, kCannotList))
        return *denied;
    if (id.isEmpty())
        return jsonResponse(200, settingsJson);
    for (const QJsonValue& v : settings) {
        if (v.toObject().value(QLatin1String("id")).toString().compare(id, Qt::CaseInsensitive) == 0) {
            QByteArray body;
            JsonWriter(body).value(v);
            return jsonResponse(200, body);
        }
    }
    return restError(404, "rest_setting_setting_invalid", QStringLiteral("Invalid setting."));
}

// ---- relay ----

HttpResponse DemoShop::Private::relayOrders(const HttpRequest& request) {
    const QJsonDocument doc = QJsonDocument::fromJson(request.body);
    if (!doc.isObject())
        return relayAnswer(400, R"({"message":"Invalid request body"})");
    const QJsonObject body = doc.object();
    const bool open = options.key.isEmpty() && options.secret.isEmpty();
    if (!open && (body.value(QLatin1String("consumer_key")).toString() != options.key ||
                  body.value(QLatin1String("consumer_secret")).toString() != options.secret))
        return relayAnswer(401, R"({"message":"Invalid consumer key or secret"})");
    ListQuery query;
    query.statuses = {orders.findStatus(QStringLiteral("processing"))};
    query.limit = INT_MAX;
    return relayAnswer(200, orders.jsonArray(orders.list(query).positions));
}

HttpResponse DemoShop::Private::registerCredentials(const HttpRequest& request) {
    const QJsonDocument doc = QJsonDocument::fromJson(request.body);
    if (!doc.isObject())
        return relayAnswer(400, R"({"message":"Invalid request body"})");
    const QJsonObject body = doc.object();
    registrations.append({body.value(QLatin1String("consumer_key")).toString(),
                          body.value(QLatin1String("consumer_secret")).toString(),
                          body.value(QLatin1String("website_name")).toString()});
    return relayAnswer(200, R"({"status":"ok"})");
}

// ---------------------------------------------------------------------------------------------------

namespace {

// Skips one JSON value starting at `i` (no validation: the text is our own serialisation).
qsizetype skipValue(const QByteArray& s, qsizetype i) {
    int depth = 0;
    bool inString = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"') {
                inString = false;
                if (depth == 0)
                    return i + 1;
            }
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            break;
        case '{':
        case '[':
            ++depth;
            break;
        case '}':
        case ']':
            if (depth == 0)
                return i;
            if (--depth == 0)
                return i + 1;
            break;
        case ',':
            if (depth == 0)
                return i;
            break;
        default:
            break;
        }
    }
    return i;
}

QByteArray setTopLevelMember(const QByteArray& json, const QByteArray& name, const QByteArray& valueJson) {
    const QByteArray wanted = '"' + name + '"';
    qsizetype i = json.indexOf('{') + 1;
    while (i > 0 && i < json.size()) {
        while (i < json.size() &&
               (json[i] == ' ' || json[i] == '\n' || json[i] == '\r' || json[i] == '\t' || json[i] == ','))
            ++i;
        if (i >= json.size() || json[i] != '"')
            break;
        const qsizetype keyEnd = skipValue(json, i);
        const bool match = json.mid(i, keyEnd - i) == wanted;
        qsizetype v = json.indexOf(':', keyEnd) + 1;
        while (v < json.size() && (json[v] == ' ' || json[v] == '\n' || json[v] == '\r' || json[v] == '\t'))
            ++v;
        const qsizetype valueEnd = skipValue(json, v);
        if (match)
            return json.left(v) + valueJson + json.mid(valueEnd);
        i = valueEnd;
    }
    // Absent: append before the closing brace.
    const qsizetype close = json.lastIndexOf('}');
    const bool empty = json.left(close).trimmed().endsWith('{');
    return json.left(close) + (empty ? "" : ",") + wanted + ':' + valueJson + json.mid(close);
}

} // namespace

// ---------------------------------------------------------------------------------------------------

DemoShop::DemoShop(DemoShopOptions options, QObject* parent)
    : QObject(parent), d(std::make_unique<Private>(std::move(options))) {}

DemoShop::~DemoShop() = default;

bool DemoShop::start(QString* error) {
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!d->loadError.isEmpty())
        return fail(d->loadError);
    if (d->server)
        return fail(QStringLiteral("already started"));
    const bool tls = d->options.tls;
    if (tls) {
        if (!QSslSocket::supportsSsl())
            return fail(QStringLiteral("TLS is not available (no OpenSSL backend)"));
        QFile certFile(d->options.certFile), keyFile(d->options.certKeyFile);
        if (!certFile.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read certificate %1: %2")
                            .arg(certFile.fileName(), certFile.errorString()));
        if (!keyFile.open(QIODevice::ReadOnly))
            return fail(
                QStringLiteral("cannot read key %1: %2").arg(keyFile.fileName(), keyFile.errorString()));
        const QList<QSslCertificate> chain = QSslCertificate::fromData(certFile.readAll(), QSsl::Pem);
        const QByteArray keyPem = keyFile.readAll();
        QSslKey key;
        for (QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
            key = QSslKey(keyPem, algorithm, QSsl::Pem);
            if (!key.isNull())
                break;
        }
        if (chain.isEmpty())
            return fail(QStringLiteral("no PEM certificate in %1").arg(certFile.fileName()));
        if (key.isNull())
            return fail(QStringLiteral("no usable PEM private key in %1").arg(keyFile.fileName()));
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setLocalCertificateChain(chain);
        config.setPrivateKey(key);
        config.setPeerVerifyMode(QSslSocket::VerifyNone);
        config.setProtocol(QSsl::TlsV1_2OrLater);
        auto* server = new QSslServer(this);
        server->setSslConfiguration(config);
        d->server = server;
    } else {
        d->server = new QTcpServer(this);
    }
    Private* p = d.get();
    connect(d->server, &QTcpServer::pendingConnectionAvailable, this, [this, p, tls] {
        while (QTcpSocket* socket = p->server->nextPendingConnection()) {
            new HttpConnection(
                socket, tls, [p](const HttpRequest& request) { return p->handle(request); },
                [p] { return p->delayMs.load(); }, this);
        }
    });
    if (!d->server->listen(QHostAddress::LocalHost, d->options.port)) {
        const QString why = d->server->errorString();
        delete d->server;
        d->server = nullptr;
        return fail(QStringLiteral("cannot listen on 127.0.0.1:%1: %2").arg(d->options.port).arg(why));
    }
    return true;
}

QUrl DemoShop::baseUrl() const {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2").arg(d->options.tls ? "https" : "http").arg(port()));
}

quint16 DemoShop::port() const {
    return d->server ? d->server->serverPort() : 0;
}

QList<RecordedRequest> DemoShop::requests() const {
    QMutexLocker lock(&d->mutex);
    return d->requests;
}

int DemoShop::requestCount() const {
    QMutexLocker lock(&d->mutex);
    return int(d->requests.size());
}

void DemoShop::clearRequests() {
    QMutexLocker lock(&d->mutex);
    d->requests.clear();
}

QList<CredentialRegistration> DemoShop::credentialRegistrations() const {
    QMutexLocker lock(&d->mutex);
    return d->registrations;
}

namespace {
QList<qint64> idsOf(const RecordStore& store) {
    QList<qint64> ids;
    ids.reserve(store.size());
    for (int i = 0; i < store.size(); ++i)
        ids.append(store.at(i).id);
    return ids;
}

std::optional<QJsonObject> objectOf(RecordStore& store, qint64 id) {
    const int position = store.positionOf(id);
    if (position < 0)
        return std::nullopt;
    return QJsonDocument::fromJson(store.json(position)).object();
}
} // namespace

int DemoShop::orderCount() const {
    QMutexLocker lock(&d->mutex);
    return d->orders.size();
}

QList<qint64> DemoShop::orderIds() const {
    QMutexLocker lock(&d->mutex);
    return idsOf(d->orders);
}

std::optional<QJsonObject> DemoShop::order(qint64 id) const {
    QMutexLocker lock(&d->mutex);
    return objectOf(d->orders, id);
}

bool DemoShop::putOrder(const QJsonObject& order) {
    QMutexLocker lock(&d->mutex);
    auto record = d->orders.fromJson(order, d->shopNow(), d->offset, QStringLiteral("pending"));
    if (!record)
        return false;
    d->orders.upsert(std::move(*record));
    return true;
}

bool DemoShop::removeOrder(qint64 id) {
    QMutexLocker lock(&d->mutex);
    return d->orders.remove(id);
}

int DemoShop::productCount() const {
    QMutexLocker lock(&d->mutex);
    return d->products.size();
}

QList<qint64> DemoShop::productIds() const {
    QMutexLocker lock(&d->mutex);
    return idsOf(d->products);
}

std::optional<QJsonObject> DemoShop::product(qint64 id) const {
    QMutexLocker lock(&d->mutex);
    return objectOf(d->products, id);
}

bool DemoShop::putProduct(const QJsonObject& product) {
    QMutexLocker lock(&d->mutex);
    auto record = d->products.fromJson(product, d->shopNow(), d->offset, QStringLiteral("publish"));
    if (!record)
        return false;
    d->products.upsert(std::move(*record));
    return true;
}

QString DemoShop::currency() const {
    QMutexLocker lock(&d->mutex);
    return d->currency;
}

void DemoShop::setFailure(const QString& pathOrPage, int status) {
    QMutexLocker lock(&d->mutex);
    if (status > 0)
        d->failures.insert(pathOrPage, status);
    else
        d->failures.remove(pathOrPage);
}

void DemoShop::clearFailures() {
    QMutexLocker lock(&d->mutex);
    d->failures.clear();
}

void DemoShop::setMalformed(const QString& path, bool malformed) {
    QMutexLocker lock(&d->mutex);
    if (malformed)
        d->malformed.insert(normalisedPath(path));
    else
        d->malformed.remove(normalisedPath(path));
}

void DemoShop::setDelay(int milliseconds) {
    d->delayMs = qMax(0, milliseconds);
}

void DemoShop::setCredentials(const QString& key, const QString& secret) {
    QMutexLocker lock(&d->mutex);
    d->options.key = key;
    d->options.secret = secret;
}

// ---------------------------------------------------------------------------------------------------

DemoShopThread::DemoShopThread(DemoShopOptions options) : m_options(std::move(options)) {}

DemoShopThread::~DemoShopThread() {
    if (m_shop) {
        DemoShop* shop = m_shop;
        QMetaObject::invokeMethod(
            shop, [shop] { delete shop; }, Qt::BlockingQueuedConnection);
        m_shop = nullptr;
    }
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
    }
}

bool DemoShopThread::start(QString* error) {
    if (m_shop) {
        if (error)
            *error = QStringLiteral("already started");
        return false;
    }
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("demo-shop"));
    m_thread->start();
    auto* shop = new DemoShop(m_options);
    shop->moveToThread(m_thread.get());
    bool ok = false;
    QString why;
    QMetaObject::invokeMethod(
        shop, [&] { ok = shop->start(&why); }, Qt::BlockingQueuedConnection);
    if (!ok) {
        QMetaObject::invokeMethod(
            shop, [shop] { delete shop; }, Qt::BlockingQueuedConnection);
        if (error)
            *error = why;
        return false;
    }
    m_shop = shop;
    return true;
}

QUrl DemoShopThread::baseUrl() const {
    return m_shop ? m_shop->baseUrl() : QUrl();
}

} // namespace quillerby::demo
