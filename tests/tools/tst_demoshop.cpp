// The demo shop stands in for real WooCommerce shops in every other test and benchmark, so these tests
// hold it to what real shops do: paging headers, parameter checks, authentication rules, order changes,
// the relay, injected faults, and realistic, reproducible data.
#include "demoshop/demoshop.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMessageAuthenticationCode>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <algorithm>

using namespace quillerby::demo;

namespace {

const QString kOrders = QStringLiteral("/wp-json/wc/v3/orders");
const QString kProducts = QStringLiteral("/wp-json/wc/v3/products");
const QString kSettings = QStringLiteral("/wp-json/wc/v3/settings/general");
const QString kKey = QStringLiteral("ck_4f2b9d0c1e");
const QString kSecret = QStringLiteral("cs_8a7e6d5c4b");

struct Answer {
    int status = 0;
    QByteArray body;
    QList<QNetworkReply::RawHeaderPair> headers;
    QString errorText;

    QByteArray header(const QByteArray& name) const {
        for (const auto& h : headers) {
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return h.second;
        }
        return {};
    }
    QJsonArray array() const { return QJsonDocument::fromJson(body).array(); }
    QJsonObject object() const { return QJsonDocument::fromJson(body).object(); }
    QString code() const { return object().value(QLatin1String("code")).toString(); }
    QList<qint64> ids() const {
        QList<qint64> out;
        for (const QJsonValue& v : array())
            out << qint64(v.toObject().value(QLatin1String("id")).toDouble());
        return out;
    }
};

// Qt's client, trusting only the test CA for HTTPS.
class Client {
public:
    Answer send(const QByteArray& method, const QUrl& url, const QByteArray& body = {},
                const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        for (const auto& h : headers)
            request.setRawHeader(h.first, h.second);
        if (url.scheme() == u"https") {
            QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
            ssl.setCaCertificates(
                QSslCertificate::fromPath(QStringLiteral(QUILLERBY_TLS_FIXTURES "/ca.pem")));
            request.setSslConfiguration(ssl);
        }
        QNetworkReply* reply = m_nam.sendCustomRequest(request, method, body);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!reply->isFinished())
            finished.wait(15000);
        Answer a;
        a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        a.body = reply->readAll();
        a.headers = reply->rawHeaderPairs();
        if (reply->error() != QNetworkReply::NoError)
            a.errorText = reply->errorString();
        reply->deleteLater();
        return a;
    }
    Answer get(const QUrl& url, const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        return send("GET", url, {}, headers);
    }

private:
    QNetworkAccessManager m_nam;
};

QUrl urlOf(const DemoShop& shop, const QString& path, const QString& query = {}) {
    QUrl url = shop.baseUrl();
    url.setPath(path);
    if (!query.isEmpty())
        url.setQuery(query);
    return url;
}

QPair<QByteArray, QByteArray> basicAuth(const QString& user, const QString& password) {
    return {"Authorization", "Basic " + (user + u':' + password).toUtf8().toBase64()};
}

// One-legged OAuth 1.0a written from RFC 5849 independently of the shop's code (and checked against a
// signature computed elsewhere in oauthSignerMatchesKnownAnswer).
QByteArray rfc3986(const QByteArray& text) {
    return text.toPercentEncoding(); // leaves exactly the unreserved ALPHA DIGIT - . _ ~
}

QByteArray oauthSignature(const QByteArray& method, const QByteArray& baseUri,
                          QList<QPair<QByteArray, QByteArray>> params, const QByteArray& secret) {
    for (auto& p : params)
        p = {rfc3986(p.first), rfc3986(p.second)};
    std::sort(params.begin(), params.end());
    QByteArrayList pairs;
    for (const auto& p : params)
        pairs << p.first + '=' + p.second;
    const QByteArray base = method + '&' + rfc3986(baseUri) + '&' + rfc3986(pairs.join('&'));
    return QMessageAuthenticationCode::hash(base, secret + '&', QCryptographicHash::Sha1).toBase64();
}

struct OAuthRequest {
    QUrl url;
    QList<QPair<QByteArray, QByteArray>> headers;
};

// Signs GET `url`; the oauth parameters go into the query or into an "Authorization: OAuth" header.
OAuthRequest signRequest(QUrl url, const QString& key, const QString& secret, qint64 timestamp,
                         const QByteArray& nonce, bool inHeader) {
    QList<QPair<QByteArray, QByteArray>> query;
    for (const auto& item : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        query.append({item.first.toUtf8(), item.second.toUtf8()});
    const QList<QPair<QByteArray, QByteArray>> oauth = {
        {"oauth_consumer_key", key.toUtf8()},
        {"oauth_nonce", nonce},
        {"oauth_signature_method", "HMAC-SHA1"},
        {"oauth_timestamp", QByteArray::number(timestamp)},
        {"oauth_version", "1.0"},
    };
    QUrl base = url;
    base.setQuery(QString());
    const QByteArray signature = oauthSignature("GET", base.toEncoded(), query + oauth, secret.toUtf8());
    OAuthRequest out;
    if (inHeader) {
        QByteArrayList parts;
        for (const auto& p : oauth + QList<QPair<QByteArray, QByteArray>>{{"oauth_signature", signature}})
            parts << p.first + "=\"" + rfc3986(p.second) + '"';
        out.headers.append({"Authorization", "OAuth " + parts.join(", ")});
        out.url = url;
    } else {
        QByteArrayList parts;
        for (const auto& p :
             query + oauth + QList<QPair<QByteArray, QByteArray>>{{"oauth_signature", signature}})
            parts << rfc3986(p.first) + '=' + rfc3986(p.second);
        url.setQuery(QString::fromLatin1(parts.join('&')), QUrl::StrictMode);
        out.url = url;
    }
    return out;
}

QJsonObject fixtureOrder(qint64 id, const QString& created, const QString& status,
                         const QString& modified = {}) {
    QJsonObject o{{"id", id},
                  {"status", status},
                  {"currency", "SAR"},
                  {"date_created", created},
                  {"date_modified", modified.isEmpty() ? created : modified},
                  {"total", "115.00"},
                  {"billing", QJsonObject{{"first_name", "Reem"}, {"phone", "0501234567"}}}};
    return o;
}

std::unique_ptr<DemoShop> started(DemoShopOptions options) {
    auto shop = std::make_unique<DemoShop>(std::move(options));
    QString error;
    if (!shop->start(&error)) {
        qWarning() << "demo shop did not start:" << error;
        return nullptr;
    }
    return shop;
}

// 25 orders, ids 101..125; two orders share each creation date, so ties are ordered by id.
std::unique_ptr<DemoShop> pagingShop() {
    auto shop = started({});
    if (!shop)
        return nullptr;
    for (int i = 1; i <= 25; ++i)
        shop->putOrder(fixtureOrder(100 + i,
                                    QStringLiteral("2024-01-%1T10:00:00").arg(1 + i / 2, 2, 10, QChar(u'0')),
                                    QStringLiteral("completed")));
    return shop;
}

QList<qint64> descendingIds(qint64 from, qint64 to) {
    QList<qint64> ids;
    for (qint64 id = to; id >= from; --id)
        ids << id;
    return ids;
}

} // namespace

class TestDemoShop : public QObject {
    Q_OBJECT

private slots:
    void paging_data();
    void paging();
    void parameterChecks_data();
    void parameterChecks();
    void modifiedAfterIsStrict_data();
    void modifiedAfterIsStrict();
    void statusFilter_data();
    void statusFilter();

    void httpsAuthentication_data();
    void httpsAuthentication();
    void httpAuthentication_data();
    void httpAuthentication();
    void oauthSignerMatchesKnownAnswer();
    void oauthNonceCannotBeReplayed();

    void statusChangeAndTrash();
    void settingsCarryTheCurrency();
    void unknownRoutes_data();
    void unknownRoutes();
    void keepAliveAndPipelining();

    void relayOrders_data();
    void relayOrders();
    void relayRegistersCredentials();

    void injectedFaults_data();
    void injectedFaults();
    void delayDoesNotBlockOtherClients();

    void generatedDataIsDeterministic();
    void generatedDataLooksLikeARealShop();
    void generatedProductsLookReal();
    void twoHundredThousandOrders();
    void dataFileIsServed();
    void executableUsage();
};

// ---- lists ----

void TestDemoShop::paging_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<qint64>>("ids");
    QTest::addColumn<int>("totalPages");
    QTest::addColumn<QStringList>("links");

    QTest::newRow("default page size") << QString() << descendingIds(116, 125) << 3 << QStringList{"next"};
    QTest::newRow("middle page") << "per_page=10&page=2" << descendingIds(106, 115) << 3
                                 << QStringList{"prev", "next"};
    QTest::newRow("last, short page")
        << "per_page=10&page=3" << descendingIds(101, 105) << 3 << QStringList{"prev"};
    QTest::newRow("one page holds all") << "per_page=100" << descendingIds(101, 125) << 1 << QStringList{};
    QTest::newRow("beyond the last page")
        << "per_page=10&page=4" << QList<qint64>{} << 3 << QStringList{"prev"};
    QTest::newRow("oldest first") << "per_page=5&order=asc" << QList<qint64>{101, 102, 103, 104, 105} << 5
                                  << QStringList{"next"};
}

void TestDemoShop::paging() {
    QFETCH(QString, query);
    QFETCH(QList<qint64>, ids);
    QFETCH(int, totalPages);
    QFETCH(QStringList, links);
    auto shop = pagingShop();
    QVERIFY(shop);
    Client client;
    const Answer a = client.get(urlOf(*shop, kOrders, query));
    QCOMPARE(a.status, 200);
    QCOMPARE(a.header("Content-Type"), QByteArray("application/json; charset=UTF-8"));
    QCOMPARE(a.ids(), ids);
    QCOMPARE(a.header("X-WP-Total"), QByteArray("25"));
    QCOMPARE(a.header("X-WP-TotalPages"), QByteArray::number(totalPages));

    const QString link = QString::fromLatin1(a.header("Link"));
    for (const QString& rel : {QStringLiteral("prev"), QStringLiteral("next")}) {
        const QRegularExpression re(QStringLiteral("<([^>]+)>; rel=\"%1\"").arg(rel));
        const auto m = re.match(link);
        QCOMPARE(m.hasMatch(), links.contains(rel));
        if (m.hasMatch()) { // a followed link asks for a neighbouring page with the same size
            const QUrlQuery target(QUrl(m.captured(1)));
            QVERIFY(QUrl(m.captured(1)).toString().startsWith(shop->baseUrl().toString() + kOrders));
            QCOMPARE(target.queryItemValue(QStringLiteral("per_page")),
                     QUrlQuery(query).queryItemValue(QStringLiteral("per_page")));
        }
    }
}

void TestDemoShop::parameterChecks_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("badParam"); // empty: accepted

    QTest::newRow("per_page 1") << "per_page=1" << QString();
    QTest::newRow("per_page 100") << "per_page=100" << QString();
    QTest::newRow("per_page 0") << "per_page=0"
                                << "per_page";
    QTest::newRow("per_page 101") << "per_page=101"
                                  << "per_page";
    QTest::newRow("per_page negative") << "per_page=-5"
                                       << "per_page";
    QTest::newRow("per_page not a number") << "per_page=ten"
                                           << "per_page";
    QTest::newRow("page 0") << "page=0"
                            << "page";
    QTest::newRow("modified_after not a date") << "modified_after=yesterday"
                                               << "modified_after";
    QTest::newRow("modified_after without time") << "modified_after=2024-03-05"
                                                 << "modified_after";
    QTest::newRow("order sideways") << "order=up"
                                    << "order";
}

void TestDemoShop::parameterChecks() {
    QFETCH(QString, query);
    QFETCH(QString, badParam);
    auto shop = pagingShop();
    QVERIFY(shop);
    Client client;
    const Answer a = client.get(urlOf(*shop, kOrders, query));
    if (badParam.isEmpty()) {
        QCOMPARE(a.status, 200);
        return;
    }
    QCOMPARE(a.status, 400);
    QCOMPARE(a.code(), QStringLiteral("rest_invalid_param"));
    QCOMPARE(a.object()["message"].toString(), QStringLiteral("Invalid parameter(s): ") + badParam);
    const QJsonObject data = a.object()["data"].toObject();
    QCOMPARE(data["status"].toInt(), 400);
    QVERIFY(data["params"].toObject().contains(badParam));
    if (badParam == u"per_page" && query != u"per_page=ten")
        QCOMPARE(data["params"].toObject()["per_page"].toString(),
                 QStringLiteral("per_page must be between 1 (inclusive) and 100 (inclusive)"));
}

void TestDemoShop::modifiedAfterIsStrict_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<qint64>>("ids");

    // Orders 1, 2, 3 were modified at 17:42:09, :10 and :11 shop time (14:42:0x GMT).
    QTest::newRow("equal is not after") << "modified_after=2024-03-05 17:42:10" << QList<qint64>{3};
    QTest::newRow("T separator") << "modified_after=2024-03-05T17:42:09" << QList<qint64>{3, 2};
    QTest::newRow("offset ignored") << "modified_after=2024-03-05T17:42:10%2B05:00" << QList<qint64>{3};
    QTest::newRow("Z ignored") << "modified_after=2024-03-05T17:42:10Z" << QList<qint64>{3};
    QTest::newRow("fraction dropped") << "modified_after=2024-03-05T17:42:08.999" << QList<qint64>{3, 2, 1};
    QTest::newRow("nothing newer") << "modified_after=2024-03-05 17:42:11" << QList<qint64>{};
    QTest::newRow("against GMT on request")
        << "modified_after=2024-03-05 14:42:09&dates_are_gmt=true" << QList<qint64>{3, 2};
}

void TestDemoShop::modifiedAfterIsStrict() {
    QFETCH(QString, query);
    QFETCH(QList<qint64>, ids);
    auto shop = started({});
    QVERIFY(shop);
    for (int i = 1; i <= 3; ++i)
        shop->putOrder(fixtureOrder(i, QStringLiteral("2024-03-0%1T08:00:00").arg(i),
                                    QStringLiteral("completed"),
                                    QStringLiteral("2024-03-05T17:42:%1").arg(8 + i, 2, 10, QChar(u'0'))));
    Client client;
    const Answer a = client.get(urlOf(*shop, kOrders, query));
    QCOMPARE(a.status, 200);
    QCOMPARE(a.ids(), ids);
    QCOMPARE(a.header("X-WP-Total"), QByteArray::number(ids.size()));
    QCOMPARE(a.header("X-WP-TotalPages"), QByteArray(ids.isEmpty() ? "0" : "1"));
}

void TestDemoShop::statusFilter_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<qint64>>("ids");

    QTest::newRow("default hides trash") << QString() << QList<qint64>{5, 4, 3, 2};
    QTest::newRow("any hides trash") << "status=any" << QList<qint64>{5, 4, 3, 2};
    QTest::newRow("one status") << "status=processing" << QList<qint64>{5, 2};
    QTest::newRow("comma list") << "status=completed,on-hold" << QList<qint64>{4, 3};
    QTest::newRow("trash on request") << "status=trash" << QList<qint64>{1};
    QTest::newRow("known status, no orders") << "status=refunded" << QList<qint64>{};
}

void TestDemoShop::statusFilter() {
    QFETCH(QString, query);
    QFETCH(QList<qint64>, ids);
    auto shop = started({});
    QVERIFY(shop);
    const QStringList statuses = {"trash", "processing", "completed", "on-hold", "processing"};
    for (int i = 1; i <= 5; ++i)
        shop->putOrder(fixtureOrder(i, QStringLiteral("2024-03-0%1T08:00:00").arg(i), statuses[i - 1]));
    Client client;
    const Answer a = client.get(urlOf(*shop, kOrders, query));
    QCOMPARE(a.status, 200);
    QCOMPARE(a.ids(), ids);
}

// ---- authentication ----

void TestDemoShop::httpsAuthentication_data() {
    QTest::addColumn<QString>("credentials"); // basic:USER:PASS, query:KEY:SECRET, oauth, none
    QTest::addColumn<int>("status");

    QTest::newRow("Basic") << "basic:" + kKey + ':' + kSecret << 200;
    QTest::newRow("Basic, wrong secret") << "basic:" + kKey + ":cs_wrong" << 401;
    QTest::newRow("Basic, wrong key") << "basic:ck_wrong:" + kSecret << 401;
    QTest::newRow("key parameters") << "query:" + kKey + ':' + kSecret << 200;
    QTest::newRow("key parameters, wrong secret") << "query:" + kKey + ":cs_wrong" << 401;
    QTest::newRow("OAuth is not read over HTTPS") << "oauth" << 401;
    QTest::newRow("none") << "none" << 401;
}

void TestDemoShop::httpsAuthentication() {
    QFETCH(QString, credentials);
    QFETCH(int, status);
    DemoShopOptions options;
    options.tls = true;
    options.certFile = QStringLiteral(QUILLERBY_TLS_FIXTURES "/server.pem");
    options.certKeyFile = QStringLiteral(QUILLERBY_TLS_FIXTURES "/server.key");
    options.key = kKey;
    options.secret = kSecret;
    auto shop = started(options);
    QVERIFY(shop);
    QCOMPARE(shop->baseUrl().scheme(), QStringLiteral("https"));

    const QStringList parts = credentials.split(u':');
    QUrl url = urlOf(*shop, kSettings);
    QList<QPair<QByteArray, QByteArray>> headers;
    if (parts[0] == u"basic")
        headers << basicAuth(parts[1], parts[2]);
    else if (parts[0] == u"query")
        url.setQuery(QStringLiteral("consumer_key=%1&consumer_secret=%2").arg(parts[1], parts[2]));
    else if (parts[0] == u"oauth")
        url = signRequest(url, kKey, kSecret, QDateTime::currentSecsSinceEpoch(), "n1", false).url;
    Client client;
    const Answer a = client.get(url, headers);
    QVERIFY2(a.status != 0, qPrintable(a.errorText)); // the TLS handshake with the test CA worked
    QCOMPARE(a.status, status);
    if (status == 401) {
        QCOMPARE(a.code(), QStringLiteral("woocommerce_rest_cannot_view"));
        QCOMPARE(a.object()["message"].toString(), QStringLiteral("Sorry, you cannot list resources."));
        QCOMPARE(a.object()["data"].toObject()["status"].toInt(), 401);
    }
}

void TestDemoShop::httpAuthentication_data() {
    QTest::addColumn<bool>("strict");
    QTest::addColumn<bool>("keyConfigured");
    QTest::addColumn<QString>("credentials"); // oauth-query, oauth-header, basic, none
    QTest::addColumn<QString>("secretUsed");
    QTest::addColumn<int>("clockSkew"); // seconds added to the OAuth timestamp
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("code");

    const QString ok, cannotView = QStringLiteral("woocommerce_rest_cannot_view"),
                      authError = QStringLiteral("woocommerce_rest_authentication_error");
    QTest::newRow("OAuth in query") << true << true << "oauth-query" << kSecret << 0 << 200 << ok;
    QTest::newRow("OAuth header") << true << true << "oauth-header" << kSecret << 0 << 200 << ok;
    QTest::newRow("OAuth, 14 minutes old")
        << true << true << "oauth-query" << kSecret << -14 * 60 << 200 << ok;
    QTest::newRow("OAuth, bad signature") << true << true << "oauth-query"
                                          << "cs_wrong" << 0 << 401 << authError;
    QTest::newRow("OAuth header, bad signature") << true << true << "oauth-header"
                                                 << "cs_wrong" << 0 << 401 << authError;
    QTest::newRow("OAuth, 16 minutes old")
        << true << true << "oauth-query" << kSecret << -16 * 60 << 401 << authError;
    QTest::newRow("OAuth, 16 minutes ahead")
        << true << true << "oauth-query" << kSecret << 16 * 60 << 401 << authError;
    QTest::newRow("strict refuses Basic") << true << true << "basic" << kSecret << 0 << 401 << cannotView;
    QTest::newRow("lenient takes Basic") << false << true << "basic" << kSecret << 0 << 200 << ok;
    QTest::newRow("lenient, wrong Basic") << false << true << "basic"
                                          << "cs_wrong" << 0 << 401 << cannotView;
    QTest::newRow("no credentials") << false << true << "none" << QString() << 0 << 401 << cannotView;
    QTest::newRow("open shop, no credentials") << false << false << "none" << QString() << 0 << 200 << ok;
    QTest::newRow("open shop, any Basic") << false << false << "basic"
                                          << "cs_wrong" << 0 << 200 << ok;
    QTest::newRow("open strict shop, Basic") << true << false << "basic" << kSecret << 0 << 401 << cannotView;
}

void TestDemoShop::httpAuthentication() {
    QFETCH(bool, strict);
    QFETCH(bool, keyConfigured);
    QFETCH(QString, credentials);
    QFETCH(QString, secretUsed);
    QFETCH(int, clockSkew);
    QFETCH(int, status);
    QFETCH(QString, code);
    DemoShopOptions options;
    options.strictHttp = strict;
    if (keyConfigured) {
        options.key = kKey;
        options.secret = kSecret;
    }
    options.orders = 30;
    auto shop = started(options);
    QVERIFY(shop);

    // Query values that need percent-encoding exercise the signature base string.
    QUrl url = urlOf(*shop, kOrders, QStringLiteral("per_page=5&modified_after=2000-01-01%2000:00:00"));
    QList<QPair<QByteArray, QByteArray>> headers;
    if (credentials.startsWith(u"oauth")) {
        const OAuthRequest signedRequest =
            signRequest(url, kKey, secretUsed, QDateTime::currentSecsSinceEpoch() + clockSkew,
                        QByteArrayLiteral("a1b2+c3/d4 e5~"), credentials == u"oauth-header");
        url = signedRequest.url;
        headers = signedRequest.headers;
    } else if (credentials == u"basic") {
        headers << basicAuth(kKey, secretUsed);
    }
    Client client;
    const Answer a = client.get(url, headers);
    QCOMPARE(a.status, status);
    QCOMPARE(a.code(), code);
    if (status == 200)
        QCOMPARE(a.array().size(), 5);
}

void TestDemoShop::oauthSignerMatchesKnownAnswer() {
    // Computed independently (Python, hmac + urllib.parse.quote(safe="-._~")) for this exact request.
    const QList<QPair<QByteArray, QByteArray>> params = {
        {"per_page", "5"},
        {"modified_after", "2024-03-05 17:42:10"},
        {"status", "on-hold,completed"},
        {"oauth_consumer_key", "ck_test"},
        {"oauth_nonce", "n0nce~1"},
        {"oauth_signature_method", "HMAC-SHA1"},
        {"oauth_timestamp", "1700000000"},
        {"oauth_version", "1.0"},
    };
    QCOMPARE(oauthSignature("GET", "http://127.0.0.1:8080/wp-json/wc/v3/orders", params, "cs_secret"),
             QByteArray("10br1od3Nc2wdea48yzjgyduutQ="));
}

void TestDemoShop::oauthNonceCannotBeReplayed() {
    DemoShopOptions options;
    options.key = kKey;
    options.secret = kSecret;
    auto shop = started(options);
    QVERIFY(shop);
    Client client;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const OAuthRequest first = signRequest(urlOf(*shop, kSettings), kKey, kSecret, now, "same-nonce", false);
    QCOMPARE(client.get(first.url).status, 200);

    const Answer replay = client.get(first.url);
    QCOMPARE(replay.status, 401);
    QCOMPARE(replay.object()["message"].toString(),
             QStringLiteral("Invalid nonce - nonce has already been used."));
    // Signed again with a new timestamp, the nonce is still spent.
    const OAuthRequest later =
        signRequest(urlOf(*shop, kSettings), kKey, kSecret, now + 1, "same-nonce", true);
    QCOMPARE(client.get(later.url, later.headers).status, 401);
    // A forged request must not burn a nonce that the real client has yet to use.
    const OAuthRequest forged =
        signRequest(urlOf(*shop, kSettings), kKey, QStringLiteral("cs_guess"), now, "fresh", false);
    QCOMPARE(client.get(forged.url).status, 401);
    QCOMPARE(client.get(signRequest(urlOf(*shop, kSettings), kKey, kSecret, now, "fresh", false).url).status,
             200);
}

// ---- order changes, settings, routes ----

void TestDemoShop::statusChangeAndTrash() {
    auto shop = started({});
    QVERIFY(shop);
    shop->putOrder(fixtureOrder(727, QStringLiteral("2024-03-05T17:42:09"), QStringLiteral("processing")));
    shop->putOrder(fixtureOrder(728, QStringLiteral("2024-03-06T09:00:00"), QStringLiteral("processing")));
    Client client;
    const QUrl order727 = urlOf(*shop, kOrders + QStringLiteral("/727"));

    const Answer put = client.send("PUT", order727, R"({"status":"completed"})");
    QCOMPARE(put.status, 200);
    QCOMPARE(put.object()["status"].toString(), QStringLiteral("completed"));
    QCOMPARE(put.object()["id"].toInt(), 727);
    QCOMPARE(shop->order(727)->value("status").toString(), QStringLiteral("completed"));
    // The change moves date_modified (+ GMT twin) to now, so an incremental sync sees it.
    const QString modified = put.object()["date_modified"].toString();
    QVERIFY2(modified > QStringLiteral("2025-01-01"), qPrintable(modified));
    QCOMPARE(QDateTime::fromString(modified, Qt::ISODate).addSecs(-3 * 3600),
             QDateTime::fromString(put.object()["date_modified_gmt"].toString(), Qt::ISODate));
    QVERIFY(!put.object()["date_completed"].isNull());
    QCOMPARE(client.get(urlOf(*shop, kOrders, "modified_after=2024-12-31 00:00:00")).ids(),
             QList<qint64>{727});

    QCOMPARE(
        client.send("PUT", urlOf(*shop, kOrders + QStringLiteral("/999")), R"({"status":"on-hold"})").code(),
        QStringLiteral("woocommerce_rest_shop_order_invalid_id"));
    QCOMPARE(
        client.send("PUT", urlOf(*shop, kOrders + QStringLiteral("/999")), R"({"status":"on-hold"})").status,
        404);
    QCOMPARE(client.send("PUT", order727, R"({"status":"shipped-by-owl"})").status, 400);
    QCOMPARE(client.send("PUT", order727, R"({"status":)").code(), QStringLiteral("rest_invalid_json"));

    const QUrl trash728 = urlOf(*shop, kOrders + QStringLiteral("/728"), QStringLiteral("force=false"));
    const Answer deleted = client.send("DELETE", trash728);
    QCOMPARE(deleted.status, 200);
    QCOMPARE(deleted.object()["status"].toString(), QStringLiteral("trash"));
    QCOMPARE(client.get(urlOf(*shop, kOrders)).ids(), QList<qint64>{727});
    const Answer again = client.send("DELETE", trash728);
    QCOMPARE(again.status, 410);
    QCOMPARE(again.code(), QStringLiteral("woocommerce_rest_already_trashed"));
    QCOMPARE(
        client.send("DELETE", urlOf(*shop, kOrders + QStringLiteral("/999"), QStringLiteral("force=false")))
            .status,
        404);
    QCOMPARE(shop->orderCount(), 2); // trashed, not deleted
}

void TestDemoShop::settingsCarryTheCurrency() {
    DemoShopOptions options;
    options.orders = 5;
    auto shop = started(options);
    QVERIFY(shop);
    Client client;
    const Answer a = client.get(urlOf(*shop, kSettings));
    QCOMPARE(a.status, 200);
    QString currency;
    for (const QJsonValue& v : a.array()) {
        QVERIFY(v.toObject().contains("label") && v.toObject().contains("value"));
        if (v.toObject()["id"].toString() == u"woocommerce_currency")
            currency = v.toObject()["value"].toString();
    }
    QCOMPARE(currency, shop->currency());
    QCOMPARE(currency, shop->order(shop->orderIds().first())->value("currency").toString());
}

void TestDemoShop::unknownRoutes_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");

    QTest::newRow("unknown path") << QByteArray("GET") << "/wp-json/wc/v3/coupons" << 404;
    QTest::newRow("site root") << QByteArray("GET") << "/" << 404;
    QTest::newRow("POST to a list") << QByteArray("POST") << kOrders << 404;
    QTest::newRow("non-numeric id") << QByteArray("GET") << kOrders + "/abc" << 404;
    QTest::newRow("relay wants POST") << QByteArray("GET") << "/api/orders" << 404;
    QTest::newRow("trailing slash") << QByteArray("GET") << kOrders + "/" << 200;
    QTest::newRow("double slash of an address ending in /") << QByteArray("GET") << "/" + kOrders << 200;
}

void TestDemoShop::unknownRoutes() {
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(int, status);
    auto shop = pagingShop();
    QVERIFY(shop);
    Client client;
    const Answer a =
        client.send(method, urlOf(*shop, path), method == "POST" ? QByteArray("{}") : QByteArray());
    QCOMPARE(a.status, status);
    if (status == 404)
        QCOMPARE(a.code(), QStringLiteral("rest_no_route"));
}

void TestDemoShop::keepAliveAndPipelining() {
    // A shop on its own thread, so this thread may block on a raw socket.
    DemoShopOptions options;
    options.orders = 3;
    DemoShopThread thread(options);
    QString error;
    QVERIFY2(thread.start(&error), qPrintable(error));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, thread.shop()->port());
    QVERIFY(socket.waitForConnected(5000));
    const QByteArray get = "GET " + kOrders.toLatin1() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    socket.write(get + get); // two requests at once on one connection

    QByteArray received;
    const auto readAnswer = [&]() -> QByteArray {
        for (;;) {
            const qsizetype end = received.indexOf("\r\n\r\n");
            if (end >= 0) {
                const QRegularExpression length(QStringLiteral("Content-Length: (\\d+)"),
                                                QRegularExpression::CaseInsensitiveOption);
                const auto m = length.match(QString::fromLatin1(received.left(end)));
                if (!m.hasMatch())
                    return {};
                const qsizetype total = end + 4 + m.captured(1).toLongLong();
                if (received.size() >= total) {
                    const QByteArray answer = received.left(total);
                    received.remove(0, total);
                    return answer;
                }
            }
            if (!socket.waitForReadyRead(5000))
                return {};
            received += socket.readAll();
        }
    };
    for (int i = 0; i < 2; ++i) {
        const QByteArray answer = readAnswer();
        QVERIFY2(answer.startsWith("HTTP/1.1 200 OK\r\n"), answer.left(100).constData());
        QVERIFY(answer.contains("Connection: keep-alive\r\n"));
        QCOMPARE(QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4)).array().size(), 3);
    }
    socket.write("GET " + kOrders.toLatin1() + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QVERIFY(readAnswer().contains("Connection: close\r\n"));
    QVERIFY(socket.state() == QAbstractSocket::UnconnectedState || socket.waitForDisconnected(5000));
    QCOMPARE(thread.shop()->requestCount(), 3);
}

// ---- relay ----

void TestDemoShop::relayOrders_data() {
    QTest::addColumn<bool>("keyConfigured");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");

    const QByteArray good = "{\"consumer_key\":\"" + kKey.toUtf8() + "\",\r\n\"consumer_secret\":\"" +
                            kSecret.toUtf8() + "\",\r\n\"website_name\":\"https://shop.example\"}";
    QTest::newRow("three lines, CRLF") << true << good << 200;
    QTest::newRow("wrong secret") << true << QByteArray(good).replace(kSecret.toUtf8(), "cs_nope") << 401;
    QTest::newRow("not JSON") << true << QByteArray("consumer_key=ck") << 400;
    QTest::newRow("open shop, any keys")
        << false << QByteArray(good).replace(kSecret.toUtf8(), "cs_nope") << 200;
}

void TestDemoShop::relayOrders() {
    QFETCH(bool, keyConfigured);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    DemoShopOptions options;
    if (keyConfigured) {
        options.key = kKey;
        options.secret = kSecret;
    }
    auto shop = started(options);
    QVERIFY(shop);
    const QStringList statuses = {"processing", "completed", "processing", "on-hold", "processing", "trash"};
    for (int i = 0; i < statuses.size(); ++i)
        shop->putOrder(fixtureOrder(500 + i, QStringLiteral("2024-05-%1T12:00:00").arg(10 + i), statuses[i]));
    Client client;
    const Answer a = client.send("POST", urlOf(*shop, QStringLiteral("/api/orders")), body,
                                 {{"User-Agent", "PostmanRuntime/7.32.3"}});
    QCOMPARE(a.status, status);
    if (status == 200)
        QCOMPARE(a.ids(), (QList<qint64>{504, 502, 500})); // every processing order, newest first
}

void TestDemoShop::relayRegistersCredentials() {
    auto shop = started({});
    QVERIFY(shop);
    Client client;
    const QByteArray body = "{\"consumer_key\":\"ck_1\",\r\n\"consumer_secret\":\"cs_\\\"q\\\"\",\r\n"
                            "\"website_name\":\"https://shop.example/ar\"}";
    const Answer a = client.send("POST", urlOf(*shop, QStringLiteral("/api/getcred")), body);
    QCOMPARE(a.status, 200);
    QCOMPARE(a.object()["status"].toString(), QStringLiteral("ok"));
    const auto registrations = shop->credentialRegistrations();
    QCOMPARE(registrations.size(), 1);
    QCOMPARE(registrations[0].consumerKey, QStringLiteral("ck_1"));
    QCOMPARE(registrations[0].consumerSecret, QStringLiteral("cs_\"q\""));
    QCOMPARE(registrations[0].websiteName, QStringLiteral("https://shop.example/ar"));
    QCOMPARE(shop->requests().last().body, body);
}

// ---- faults ----

void TestDemoShop::injectedFaults_data() {
    QTest::addColumn<QString>("failure"); // failure key, or "malformed"
    QTest::addColumn<int>("failStatus");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("validJson");

    QTest::newRow("whole path fails") << kOrders << 500 << "page=3" << 500 << true;
    QTest::newRow("chosen page fails") << kOrders + "@page=3" << 503 << "per_page=5&page=3" << 503 << true;
    QTest::newRow("other pages still work")
        << kOrders + "@page=3" << 503 << "per_page=5&page=2" << 200 << true;
    QTest::newRow("page 1 without a page parameter")
        << kOrders + "@page=1" << 429 << "per_page=5" << 429 << true;
    QTest::newRow("other paths untouched") << kProducts << 500 << "per_page=5" << 200 << true;
    QTest::newRow("malformed answer") << "malformed" << 0 << "per_page=5" << 200 << false;
}

void TestDemoShop::injectedFaults() {
    QFETCH(QString, failure);
    QFETCH(int, failStatus);
    QFETCH(QString, query);
    QFETCH(int, status);
    QFETCH(bool, validJson);
    DemoShopOptions options;
    options.orders = 30;
    if (failure == u"malformed")
        options.malformed << kOrders;
    else
        options.failures.insert(failure, failStatus);
    auto shop = started(options);
    QVERIFY(shop);
    Client client;
    const Answer a = client.get(urlOf(*shop, kOrders, query));
    QCOMPARE(a.status, status);
    QJsonParseError parse;
    QJsonDocument::fromJson(a.body, &parse);
    QCOMPARE(parse.error == QJsonParseError::NoError, validJson);
    QCOMPARE(a.header("Content-Length").toInt(), a.body.size());
    if (status != 200)
        QCOMPARE(a.object()["data"].toObject()["status"].toInt(), status);
    QCOMPARE(a.header("Retry-After").isEmpty(), status != 503 && status != 429);

    // Faults are switched at run time too.
    shop->clearFailures();
    shop->setMalformed(kOrders, false);
    QCOMPARE(client.get(urlOf(*shop, kOrders, query)).status, 200);
    shop->setFailure(kOrders, 502);
    QCOMPARE(client.get(urlOf(*shop, kOrders, query)).status, 502);
}

void TestDemoShop::delayDoesNotBlockOtherClients() {
    DemoShopOptions options;
    options.orders = 5;
    options.delayMs = 800;
    auto shop = started(options);
    QVERIFY(shop);
    QNetworkAccessManager nam;
    QNetworkReply* slow = nam.get(QNetworkRequest(urlOf(*shop, kOrders)));
    QTRY_COMPARE(shop->requestCount(), 1); // the slow request has been read and is waiting
    shop->setDelay(0);
    Client other; // a second connection
    QCOMPARE(other.get(urlOf(*shop, kSettings)).status, 200);
    QVERIFY(!slow->isFinished());
    QSignalSpy finished(slow, &QNetworkReply::finished);
    QVERIFY(slow->isFinished() || finished.wait(5000));
    QCOMPARE(slow->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    delete slow;
}

// ---- generated data ----

void TestDemoShop::generatedDataIsDeterministic() {
    const auto make = [](quint32 seed) {
        DemoShopOptions options;
        options.orders = 400;
        options.products = 30;
        options.seed = seed;
        options.now = QDateTime(QDate(2024, 3, 5), QTime(18, 0));
        return started(options);
    };
    auto a = make(5), b = make(5), c = make(6);
    QVERIFY(a && b && c);
    Client client;
    // Shop b renders its pages in another order: no answer may depend on what was asked before.
    const QStringList queries = {"per_page=100&page=3", "per_page=100&page=1", "per_page=7&page=13"};
    QHash<QString, QByteArray> fromB;
    for (auto it = queries.rbegin(); it != queries.rend(); ++it)
        fromB[*it] = client.get(urlOf(*b, kOrders, *it)).body;
    for (const QString& q : queries) {
        const QByteArray fromA = client.get(urlOf(*a, kOrders, q)).body;
        QVERIFY(!fromA.isEmpty());
        QCOMPARE(fromA, fromB[q]);
        QVERIFY(fromA != client.get(urlOf(*c, kOrders, q)).body);
    }
    QCOMPARE(client.get(urlOf(*a, kProducts, "per_page=100")).body,
             client.get(urlOf(*b, kProducts, "per_page=100")).body);
    const QString newest =
        client.get(urlOf(*a, kOrders, "per_page=1")).array()[0].toObject()["date_created"].toString();
    QVERIFY2(newest < QStringLiteral("2024-03-05T18:00:00") && newest > QStringLiteral("2024-03-05T12:00:00"),
             qPrintable(newest));
}

void TestDemoShop::generatedDataLooksLikeARealShop() {
    DemoShopOptions options;
    options.orders = 800;
    options.products = 40;
    options.seed = 11;
    auto shop = started(options);
    QVERIFY(shop);
    const QList<qint64> ids = shop->orderIds();
    QCOMPARE(ids.size(), 800);

    QSet<QString> statuses, devices;
    QHash<QString, int> ordersByPhone;
    int arabicNames = 0, emptyEmails = 0, withImage = 0, items = 0, withoutRatePercent = 0, above1000 = 0,
        withFees = 0, notes = 0;
    qint64 previousId = LLONG_MAX;
    QString previousDate = QStringLiteral("9999");
    int processingAmongNewest = 0;
    const auto cents = [](const QJsonValue& v) { return qRound64(v.toString().toDouble() * 100); };
    for (int n = 0; n < ids.size(); ++n) {
        const QJsonObject o = *shop->order(ids[n]);
        const QString status = o["status"].toString();
        statuses << status;
        if (n < 15 && status == u"processing")
            ++processingAmongNewest;
        // Newest first, ids rising with the creation date.
        const QString created = o["date_created"].toString();
        QVERIFY(created <= previousDate && ids[n] < previousId);
        previousDate = created;
        previousId = ids[n];
        QCOMPARE(QDateTime::fromString(created, Qt::ISODate).addSecs(-3 * 3600),
                 QDateTime::fromString(o["date_created_gmt"].toString(), Qt::ISODate));
        QVERIFY(o["date_modified"].toString() >= created);

        const QJsonObject billing = o["billing"].toObject();
        ++ordersByPhone[billing["phone"].toString()];
        if (billing["first_name"].toString().contains(
                QRegularExpression(QStringLiteral("[\\x{0600}-\\x{06FF}]"))))
            ++arabicNames;
        if (billing["email"].toString().isEmpty())
            ++emptyEmails;
        const QString agent = o["customer_user_agent"].toString();
        for (const char* device : {"Windows", "Android", "iPhone", "iPad", "Macintosh"}) {
            if (agent.contains(QLatin1String(device)))
                devices << QLatin1String(device);
        }
        if (agent.isEmpty())
            devices << QStringLiteral("empty");
        notes += !o["customer_note"].toString().isEmpty();
        above1000 += cents(o["total"]) > 100000;
        withFees += !o["fee_lines"].toArray().isEmpty();

        // The amounts add up as on a real shop, and members keep WooCommerce's types.
        qint64 sum = cents(o["shipping_total"]) + cents(o["total_tax"]);
        for (const QJsonValue& v : o["line_items"].toArray()) {
            const QJsonObject item = v.toObject();
            ++items;
            QVERIFY(item["price"].isDouble() && item["quantity"].isDouble() && item["total"].isString());
            QVERIFY(item["taxes"].isArray() && item["sku"].isString());
            withImage += item["image"].toObject()["src"].toString().startsWith(u"https://");
            sum += cents(item["total"]);
        }
        for (const QJsonValue& v : o["fee_lines"].toArray())
            sum += cents(v.toObject()["total"]);
        QCOMPARE(sum, cents(o["total"]));
        qint64 taxes = 0;
        for (const QJsonValue& v : o["tax_lines"].toArray()) {
            const QJsonObject line = v.toObject();
            QVERIFY(line["compound"].isBool() && line["label"].isString());
            taxes += cents(line["tax_total"]) + cents(line["shipping_tax_total"]);
            withoutRatePercent += !line.contains("rate_percent");
        }
        QCOMPARE(taxes, cents(o["total_tax"]));
    }
    QCOMPARE(statuses, (QSet<QString>{"pending", "processing", "on-hold", "completed", "cancelled",
                                      "refunded", "failed"}));
    QVERIFY2(processingAmongNewest >= 8, "the newest orders are the ones waiting to be processed");
    QCOMPARE(devices, (QSet<QString>{"Windows", "Android", "iPhone", "iPad", "Macintosh", "empty"}));
    const int returning =
        int(std::count_if(ordersByPhone.begin(), ordersByPhone.end(), [](int n) { return n > 1; }));
    QVERIFY2(returning > 50, "customers come back");
    QVERIFY(arabicNames > 100 && arabicNames < 700);
    QVERIFY(emptyEmails > 10 && emptyEmails < 200);
    QVERIFY(items > 2 * 800 && items < 4 * 800);
    QVERIFY(withImage > items / 2 && withImage < items);
    QVERIFY(withoutRatePercent > 0 && above1000 > 0 && withFees > 0 && notes > 0);
}

void TestDemoShop::generatedProductsLookReal() {
    DemoShopOptions options;
    options.products = 120;
    auto shop = started(options);
    QVERIFY(shop);
    Client client;
    const Answer a = client.get(urlOf(*shop, kProducts, QStringLiteral("per_page=100&page=2")));
    QCOMPARE(a.header("X-WP-Total"), QByteArray("120"));
    QCOMPARE(a.array().size(), 20);
    int arabic = 0, onSale = 0, managed = 0;
    for (const qint64 id : shop->productIds()) {
        const QJsonObject p = *shop->product(id);
        QVERIFY(p["price"].isString() && p["regular_price"].isString() && p["sale_price"].isString());
        QVERIFY(p["featured"].isBool() && p["virtual"].isBool() && p["manage_stock"].isBool());
        QCOMPARE(p["stock_quantity"].isNull(), !p["manage_stock"].toBool());
        QCOMPARE(p["on_sale"].toBool(), !p["sale_price"].toString().isEmpty());
        for (const QJsonValue& c : p["categories"].toArray())
            QVERIFY(c.toObject()["id"].isDouble() && !c.toObject()["slug"].toString().isEmpty());
        arabic += p["name"].toString().contains(QRegularExpression(QStringLiteral("[\\x{0600}-\\x{06FF}]")));
        onSale += p["on_sale"].toBool();
        managed += p["manage_stock"].toBool();
    }
    QVERIFY(arabic > 10 && arabic < 110);
    QVERIFY(onSale > 0 && managed > 0);
}

void TestDemoShop::twoHundredThousandOrders() {
    DemoShopOptions options;
    options.orders = 200000;
    auto shop = started(options);
    QVERIFY(shop);
    QCOMPARE(shop->orderCount(), 200000);
    Client client;
    for (const char* page : {"1", "2000"}) {
        const Answer a =
            client.get(urlOf(*shop, kOrders, QStringLiteral("per_page=100&page=") + QLatin1String(page)));
        QCOMPARE(a.status, 200);
        QCOMPARE(a.array().size(), 100);
        QCOMPARE(a.header("X-WP-Total"), QByteArray("200000"));
        QCOMPARE(a.header("X-WP-TotalPages"), QByteArray("2000"));
    }
}

void TestDemoShop::dataFileIsServed() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shop.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QJsonObject data{
        {"orders", QJsonArray{fixtureOrder(10, "2023-01-01T10:00:00", "ready-to-ship"),
                              fixtureOrder(11, "2023-02-01T10:00:00", "completed")}},
        {"products",
         QJsonArray{QJsonObject{{"id", 5}, {"name", "Dates"}, {"date_created", "2022-01-01T00:00:00"}}}},
        {"settings", QJsonArray{QJsonObject{{"id", "woocommerce_currency"}, {"value", "EUR"}}}}};
    file.write(QJsonDocument(data).toJson());
    file.close();

    DemoShopOptions options;
    options.dataFile = path;
    options.orders = 50; // ignored: the file is the shop
    auto shop = started(options);
    QVERIFY(shop);
    QCOMPARE(shop->currency(), QStringLiteral("EUR"));
    Client client;
    QCOMPARE(client.get(urlOf(*shop, kOrders)).ids(), (QList<qint64>{11, 10}));
    QCOMPARE(client.get(urlOf(*shop, kOrders, "status=ready-to-ship")).ids(), QList<qint64>{10});
    QCOMPARE(client.get(urlOf(*shop, kProducts)).ids(), QList<qint64>{5});

    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(R"({"orders":[{"status":"completed"}]})");
    file.close();
    DemoShop broken(options);
    QString error;
    QVERIFY(!broken.start(&error));
    QVERIFY2(error.contains(QLatin1String("orders[0]")), qPrintable(error));
}

void TestDemoShop::executableUsage() {
    QProcess process;
    process.start(QStringLiteral(QUILLERBY_DEMO_SHOP),
                  {"--port", "0", "--orders", "12", "--key", kKey, "--secret", kSecret, "--strict-http",
                   "--fail", kOrders + "@page=2=503"});
    QVERIFY(process.waitForStarted(5000));
    QVERIFY(process.waitForReadyRead(10000));
    const QString line = QString::fromUtf8(process.readLine()).trimmed();
    const auto m =
        QRegularExpression(QStringLiteral("^listening on (http://127\\.0\\.0\\.1:\\d+)$")).match(line);
    QVERIFY2(m.hasMatch(), qPrintable(line));
    QUrl base(m.captured(1));
    base.setPath(kOrders);

    Client client;
    int nonce = 0;
    const auto get = [&](const QString& query) {
        QUrl url = base;
        url.setQuery(query);
        const OAuthRequest r = signRequest(url, kKey, kSecret, QDateTime::currentSecsSinceEpoch(),
                                           "n" + QByteArray::number(++nonce), true);
        return client.get(r.url, r.headers);
    };
    const Answer first = get(QStringLiteral("per_page=10"));
    QCOMPARE(first.status, 200);
    QCOMPARE(first.header("X-WP-Total"), QByteArray("12"));
    QCOMPARE(get(QStringLiteral("per_page=10&page=2")).status, 503);
    QCOMPARE(client.get(base, {basicAuth(kKey, kSecret)}).status, 401); // --strict-http
    process.kill();
    process.waitForFinished(5000);

    QProcess wrong;
    wrong.start(QStringLiteral(QUILLERBY_DEMO_SHOP), {"--tls"});
    QVERIFY(wrong.waitForFinished(10000));
    QCOMPARE(wrong.exitCode(), 2);
}

QTEST_GUILESS_MAIN(TestDemoShop)
#include "tst_demoshop.moc"
