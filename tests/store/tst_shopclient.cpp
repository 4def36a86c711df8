#include "common/error.h"
#include "store/shopclient.h"
#include "store/stubserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QSslKey>
#include <QUrlQuery>
#include <QtTest>

#include <algorithm>

using namespace quillerby;

Q_DECLARE_METATYPE(ShopOperation)

namespace {

const QString Key = QStringLiteral("ck_4f2b9c");
const QString Secret = QStringLiteral("cs_81d0e7");

QByteArray readFixture(const char* name) {
    QFile f(QStringLiteral(QUILLERBY_TLS_FIXTURES "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing TLS fixture %s", name);
    return f.readAll();
}

QString errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

QByteArray ok(const QByteArray& body = "[]") {
    return httpAnswer("200 OK", body);
}

// RFC 3986 percent-encoding written out here again, so that the signature check does not lean on the code
// under test.
QByteArray rfc3986(const QByteArray& raw) {
    static const QByteArray unreserved = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~";
    QByteArray out;
    for (char c : raw) {
        if (unreserved.contains(c))
            out += c;
        else
            out += '%' + QByteArray::number(uchar(c), 16).rightJustified(2, '0').toUpper();
    }
    return out;
}

QList<QPair<QByteArray, QByteArray>> queryPairs(const QByteArray& query) {
    QList<QPair<QByteArray, QByteArray>> pairs;
    for (const QByteArray& item : query.split('&')) {
        const qsizetype eq = item.indexOf('=');
        pairs.append({QByteArray::fromPercentEncoding(item.left(eq)),
                      QByteArray::fromPercentEncoding(item.mid(eq + 1))});
    }
    return pairs;
}

// The OAuth 1.0a signature a shop computes for a received request (RFC 5849, section 3.4).
QByteArray expectedSignature(const RawRequest& r, quint16 port, const QString& secret) {
    QList<QPair<QByteArray, QByteArray>> params;
    for (const auto& p : queryPairs(r.query())) {
        if (p.first != "oauth_signature")
            params.append({rfc3986(p.first), rfc3986(p.second)});
    }
    std::sort(params.begin(), params.end());
    QByteArrayList joined;
    for (const auto& p : params)
        joined << p.first + '=' + p.second;
    const QByteArray base = r.method + '&' +
                            rfc3986("http://127.0.0.1:" + QByteArray::number(port) + r.path()) + '&' +
                            rfc3986(joined.join('&'));
    return QMessageAuthenticationCode::hash(base, secret.toUtf8() + '&', QCryptographicHash::Sha1).toBase64();
}

QByteArray ordersPage(const QList<int>& ids) {
    QByteArrayList items;
    for (int id : ids)
        items << "{\"id\":" + QByteArray::number(id) + ",\"status\":\"processing\",\"total\":\"18.50\"}";
    return '[' + items.join(',') + ']';
}

} // namespace

class TestShopClient : public QObject {
    Q_OBJECT

    QSslConfiguration m_serverTls;
    NetworkSettings m_trusting; // trusts the test CA

private slots:
    void initTestCase() {
        if (!QSslSocket::supportsSsl())
            QSKIP("no TLS backend");
        m_serverTls = QSslConfiguration::defaultConfiguration();
        m_serverTls.setLocalCertificate(QSslCertificate(readFixture("server.pem")));
        m_serverTls.setPrivateKey(QSslKey(readFixture("server.key"), QSsl::Rsa));
        m_serverTls.setPeerVerifyMode(QSslSocket::VerifyNone);
        m_trusting.extraCaCertificates = QSslCertificate::fromData(readFixture("ca.pem"));
        QVERIFY(!m_trusting.extraCaCertificates.isEmpty());
    }

    // Every operation sends the common headers and its own user agent; over https the credentials go
    // with the first request, before any challenge.
    void headersAndBasicCredentials_data() {
        QTest::addColumn<ShopOperation>("operation");
        QTest::addColumn<QByteArray>("agent");
        QTest::addColumn<bool>("contentEncoding");
        const QByteArray x11 = "Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.8.1.4) Gecko/20070531";
        QTest::newRow("order sync")
            << ShopOperation::OrderSync
            << QByteArray("Mozilla/5.0 (Windows NT 6.1; Win64; x64; rv:47.0) Gecko/20100101 Firefox/47.0")
            << true;
        QTest::newRow("product sync") << ShopOperation::ProductSync << x11 << true;
        QTest::newRow("store test") << ShopOperation::StoreTest << x11 << true;
        QTest::newRow("status action") << ShopOperation::StatusAction << x11 << false;
        QTest::newRow("relay") << ShopOperation::Relay << QByteArray("PostmanRuntime/7.32.3") << true;
    }
    void headersAndBasicCredentials() {
        QFETCH(ShopOperation, operation);
        QFETCH(QByteArray, agent);
        QFETCH(bool, contentEncoding);
        StubServer shop([](const RawRequest&) { return ok(); }, m_serverTls);
        ShopClient client(shop.base(), Key, Secret, operation, m_trusting);
        const ShopResponse answer = client.get(client.uri(QStringLiteral("/wp-json/wc/v3/settings/general")));
        QCOMPARE(answer.status, 200);
        QCOMPARE(answer.body, QByteArray("[]"));

        const QList<RawRequest> seen = shop.requests();
        QCOMPARE(seen.size(), 1);
        const RawRequest& r = seen.first();
        QCOMPARE(r.target, QByteArray("/wp-json/wc/v3/settings/general")); // no keys in the query over https
        QCOMPARE(r.header("Authorization"), "Basic " + (Key + ':' + Secret).toUtf8().toBase64());
        QCOMPARE(r.header("User-Agent"), agent);
        QCOMPARE(r.header("Accept"), QByteArray("application/json"));
        QCOMPARE(r.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(r.hasHeader("Content-Encoding"), contentEncoding);
        if (contentEncoding)
            QCOMPARE(r.header("Content-Encoding"), QByteArray("UTF-8"));
    }

    void certificateVerification_data() {
        QTest::addColumn<bool>("trustTestCa");
        QTest::addColumn<bool>("acceptUntrusted");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("unknown issuer refused by default") << false << false << false;
        QTest::newRow("trusted through an extra CA") << true << false << true;
        QTest::newRow("accepted when the user allows untrusted") << false << true << true;
    }
    void certificateVerification() {
        QFETCH(bool, trustTestCa);
        QFETCH(bool, acceptUntrusted);
        QFETCH(bool, accepted);
        StubServer shop([](const RawRequest&) { return ok(); }, m_serverTls);
        NetworkSettings settings = trustTestCa ? m_trusting : NetworkSettings();
        settings.acceptUntrustedCertificates = acceptUntrusted;
        ShopClient client(shop.base(), Key, Secret, ShopOperation::StoreTest, settings);
        const QString error =
            errorOf([&] { client.get(client.uri(QStringLiteral("/wp-json/wc/v3/orders"))); });
        if (accepted) {
            QCOMPARE(error, QStringLiteral("<no error>"));
            QCOMPARE(shop.requests().size(), 1);
        } else {
            QVERIFY2(error.startsWith(QStringLiteral("The secure connection to 127.0.0.1 failed: ")),
                     qPrintable(error));
            QVERIFY2(error.contains(QStringLiteral("certificate"), Qt::CaseInsensitive), qPrintable(error));
            QVERIFY(shop.requests().isEmpty()); // credentials never left the client
        }
    }

    // Over plain http the shop wants one-legged OAuth 1.0a; the signature is checked the way a shop does.
    void oauthOverPlainHttp_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QByteArray>("callerQuery");
        QTest::newRow("GET with paging")
            << QStringLiteral("GET")
            << QByteArray("per_page=60&modified_after=2024-03-05%2017%3A42%3A10&page=1");
        QTest::newRow("PUT status") << QStringLiteral("PUT") << QByteArray();
        QTest::newRow("DELETE to trash") << QStringLiteral("DELETE") << QByteArray("force=false");
    }
    void oauthOverPlainHttp() {
        QFETCH(QString, method);
        QFETCH(QByteArray, callerQuery);
        StubServer shop([](const RawRequest&) { return ok("{}"); });
        ShopClient client(shop.base(), Key, Secret, ShopOperation::StatusAction);
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        for (int i = 0; i < 2; ++i) {
            if (method == QLatin1String("GET"))
                client.get(client.uri(QStringLiteral("/wp-json/wc/v3/orders"))
                               .add(QStringLiteral("per_page"), QStringLiteral("60"))
                               .add(QStringLiteral("modified_after"), QStringLiteral("2024-03-05 17:42:10"))
                               .add(QStringLiteral("page"), QStringLiteral("1")));
            else if (method == QLatin1String("PUT"))
                client.put(QStringLiteral("/wp-json/wc/v3/orders/727"), R"({"status":"completed"})");
            else
                client.del(client.uri(QStringLiteral("/wp-json/wc/v3/orders/727"))
                               .add(QStringLiteral("force"), QStringLiteral("false")));
        }

        const QList<RawRequest> seen = shop.requests();
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0].connection, seen[1].connection); // the connection is kept alive
        QByteArrayList nonces;
        for (const RawRequest& r : seen) {
            QCOMPARE(r.method, method.toLatin1());
            QVERIFY(!r.hasHeader("Authorization"));
            if (method == QLatin1String("PUT"))
                QCOMPARE(r.body, QByteArray(R"({"status":"completed"})"));
            // The caller's parameters come first, in their order, then OAuth's.
            QVERIFY2(
                r.query().startsWith(callerQuery.isEmpty() ? QByteArray("oauth_") : callerQuery + "&oauth_"),
                r.target);
            QMap<QByteArray, QByteArray> oauth;
            for (const auto& p : queryPairs(r.query()))
                oauth.insert(p.first, p.second);
            QCOMPARE(oauth.value("oauth_consumer_key"), Key.toLatin1());
            QCOMPARE(oauth.value("oauth_signature_method"), QByteArray("HMAC-SHA1"));
            QCOMPARE(oauth.value("oauth_version"), QByteArray("1.0"));
            QVERIFY(qAbs(oauth.value("oauth_timestamp").toLongLong() - before) < 60);
            QVERIFY(oauth.value("oauth_nonce").size() >= 16);
            nonces << oauth.value("oauth_nonce");
            QCOMPARE(oauth.value("oauth_signature"), expectedSignature(r, shop.port(), Secret));
        }
        QVERIFY(nonces[0] != nonces[1]);
    }

    void uriBuilder_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QStringList>("parameters"); // name, value, name, value, ...
        QTest::addColumn<QString>("expected");
        QTest::newRow("parameters in the order added")
            << QStringLiteral("https://shop.example/wp-json/wc/v3/orders")
            << QStringList{"per_page", "60", "modified_after", "2024-03-05 17:42:10", "page", "1"}
            << QStringLiteral("https://shop.example/wp-json/wc/v3/"
                              "orders?per_page=60&modified_after=2024-03-05%2017%3A42%3A10&page=1");
        QTest::newRow("reserved and non-ASCII characters")
            << QStringLiteral("http://s/x") << QStringList{"a b", "&=+/?#%", "name", "Zo\u00eb~-._"}
            << QStringLiteral("http://s/x?a%20b=%26%3D%2B%2F%3F%23%25&name=Zo%C3%AB~-._");
        QTest::newRow("address with a closing slash")
            << QStringLiteral("https://shop.example//wp-json/wc/v3/orders") << QStringList{"page", "2"}
            << QStringLiteral("https://shop.example//wp-json/wc/v3/orders?page=2");
        QTest::newRow("query written into the base")
            << QStringLiteral("https://s/orders/727?force=false") << QStringList{"x", "1"}
            << QStringLiteral("https://s/orders/727?force=false&x=1");
        QTest::newRow("no parameters")
            << QStringLiteral("https://s/p") << QStringList() << QStringLiteral("https://s/p");
    }
    void uriBuilder() {
        QFETCH(QString, base);
        QFETCH(QStringList, parameters);
        QFETCH(QString, expected);
        UriBuilder uri(base);
        for (int i = 0; i + 1 < parameters.size(); i += 2)
            uri.add(parameters[i], parameters[i + 1]);
        QCOMPARE(uri.toString(), expected);
        QCOMPARE(uri.url().toString(QUrl::FullyEncoded), expected);
    }

    // The stored address is used as it is. A closing "/" gives "//wp-json" in the address; Qt sends the
    // path normalised, and the OAuth signature must cover the path the shop receives. An empty address fails.
    void addressUsedAsStored() {
        StubServer shop([](const RawRequest&) { return ok(); });
        ShopClient client(shop.base() + QLatin1Char('/'), Key, Secret, ShopOperation::ProductSync);
        const UriBuilder uri =
            client.uri(QStringLiteral("/wp-json/wc/v3/products"))
                .add(QStringLiteral("modified_after"), QStringLiteral("2024-03-05 17:42:10"));
        QCOMPARE(uri.toString(),
                 shop.base() +
                     QStringLiteral("//wp-json/wc/v3/products?modified_after=2024-03-05%2017%3A42%3A10"));
        client.get(uri);
        const RawRequest r = shop.requests().value(0);
        QVERIFY2(r.path().endsWith("/wp-json/wc/v3/products"), r.target);
        QVERIFY2(r.query().startsWith("modified_after=2024-03-05%2017%3A42%3A10&oauth_"), r.target);
        const auto pairs = queryPairs(r.query());
        const auto signature = std::find_if(pairs.cbegin(), pairs.cend(),
                                            [](const auto& p) { return p.first == "oauth_signature"; });
        QVERIFY(signature != pairs.cend());
        QCOMPARE(signature->second, expectedSignature(r, shop.port(), Secret));

        ShopClient nowhere(QString(), Key, Secret, ShopOperation::OrderSync);
        QCOMPARE(
            errorOf([&] { nowhere.get(nowhere.uri(QStringLiteral("/wp-json/wc/v3/orders"))); }),
            QStringLiteral("The shop has no usable address: \"/wp-json/wc/v3/orders\" is not a complete web "
                           "address starting with https:// or http://."));
    }

    void pagingHeaders_data() {
        QTest::addColumn<QByteArrayList>("headers");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("total");
        QTest::newRow("as WordPress writes them")
            << QByteArrayList{"X-WP-Total", "61", "X-WP-TotalPages", "2"} << 2 << 61;
        QTest::newRow("names in any case")
            << QByteArrayList{"x-wp-total", "5", "X-WP-TOTALPAGES", "1"} << 1 << 5;
        QTest::newRow("missing") << QByteArrayList{"Link", "<x>"} << 0 << 0;
        QTest::newRow("not numbers") << QByteArrayList{"X-WP-Total", "many", "X-WP-TotalPages", "3abc"} << 0
                                     << 0;
        QTest::newRow("blank around, negative")
            << QByteArrayList{"X-WP-Total", " 12 ", "X-WP-TotalPages", "-1"} << 0 << 12;
    }
    void pagingHeaders() {
        QFETCH(QByteArrayList, headers);
        QFETCH(int, pages);
        QFETCH(int, total);
        ShopResponse r;
        for (int i = 0; i + 1 < headers.size(); i += 2)
            r.headers.append({headers[i], headers[i + 1]});
        const PageInfo info = PageInfo::from(r);
        QCOMPARE(info.totalPages, pages);
        QCOMPARE(info.total, total);
    }

    void bodyDecodedByDeclaredCharset() {
        ShopResponse r;
        r.body = "[\"Zo\xEB\"]";
        r.headers = {{"content-type", "application/json; charset=ISO-8859-1"}};
        QCOMPARE(r.json().at(0).text(), QStringLiteral("Zo\u00eb"));
        r.body = "[\"Zo\xC3\xAB\"]";
        r.headers = {{"Content-Type", "application/json"}};
        QCOMPARE(r.json().at(0).text(), QStringLiteral("Zo\u00eb"));
    }

    // Each failure names its cause, and nothing is tried twice.
    void failuresStateTheirCause_data() {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QStringList>("expected");
        const QString get = QStringLiteral("GET http://127.0.0.1:%1/wp-json/wc/v3/orders");
        QTest::newRow("connection refused")
            << false << QByteArray()
            << QStringList{"The shop refused the connection", "/wp-json/wc/v3/orders"};
        QTest::newRow("401 with the shop's message")
            << true
            << httpAnswer(
                   "401 Unauthorized",
                   R"({"code":"woocommerce_rest_cannot_view","message":"Sorry, you cannot list resources.","data":{"status":401}})")
            << QStringList{"The shop answered \"401 Unauthorized\" to " + get +
                           ": Sorry, you cannot list resources."};
        QTest::newRow("401 with a challenge")
            << true
            << httpAnswer("401 Unauthorized", R"({"message":"Consumer key is invalid."})",
                          {"WWW-Authenticate: Basic realm=\"WooCommerce\""})
            << QStringList{"The shop answered \"401 Unauthorized\" to " + get + ": Consumer key is invalid."};
        QTest::newRow("redirect not followed")
            << true
            << httpAnswer("301 Moved Permanently", "",
                          {"Location: https://www.shop.example/wp-json/wc/v3/orders"})
            << QStringList{
                   "The shop answered \"301 Moved Permanently\"",
                   "a redirect to https://www.shop.example/wp-json/wc/v3/orders, which is not followed"};
        QTest::newRow("firewall page, not retried")
            << true << httpAnswer("503 Service Unavailable", "<html>busy</html>", {"Retry-After: 120"})
            << QStringList{"The shop answered \"503 Service Unavailable\" to " + get + "."};
        QTest::newRow("no reason phrase")
            << true << httpAnswer("404 ", "") << QStringList{"The shop answered \"404 Not Found\""};
        QTest::newRow("connection closed mid-answer")
            << true
            << QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 100\r\n\r\n[{\"id\":1}")
            << QStringList{"The shop closed the connection before the answer was complete"};
    }
    void failuresStateTheirCause() {
        QFETCH(bool, listening);
        QFETCH(QByteArray, answer);
        QFETCH(QStringList, expected);
        StubServer shop([answer](const RawRequest&) { return answer; });
        QString base = shop.base();
        if (!listening) {
            QTcpServer closed; // a port that was just free, with nobody behind it any more
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            base = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
            closed.close();
        }
        ShopClient client(base, QString(), QString(), ShopOperation::OrderSync);
        const QString error =
            errorOf([&] { client.get(client.uri(QStringLiteral("/wp-json/wc/v3/orders"))); });
        for (QString part : expected) {
            part.replace(QStringLiteral("%1"), QString::number(shop.port()));
            QVERIFY2(error.contains(part), qPrintable(error + QStringLiteral("\n  lacks: ") + part));
        }
        QCOMPARE(shop.requests().size(), listening ? 1 : 0);
    }

    // Only silence counts: an answer that keeps coming in small pieces may take longer than the limit.
    void stallTimeout_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("fails");
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n"; // the body is [{"id":1}]
        QTest::newRow("no answer at all") << QByteArray() << true;
        QTest::newRow("answer stops halfway") << head + "[{\"id\"" << true;
        QTest::newRow("slow but steady answer")
            << head + "[{" + stubPause() + "\"id" + stubPause() + "\":1" + stubPause() + "}]" << false;
    }
    void stallTimeout() {
        QFETCH(QByteArray, answer);
        QFETCH(bool, fails);
        StubServer shop([answer](const RawRequest&) { return answer; });
        NetworkSettings settings;
        settings.stallTimeoutSeconds = 1;
        ShopClient client(shop.base(), QString(), QString(), ShopOperation::OrderSync, settings);
        QElapsedTimer clock;
        clock.start();
        const QString error =
            errorOf([&] { client.get(client.uri(QStringLiteral("/wp-json/wc/v3/orders"))); });
        if (!fails) {
            QCOMPARE(error, QStringLiteral("<no error>"));
            QVERIFY(clock.elapsed() > 1000);
            return;
        }
        QCOMPARE(
            error,
            QStringLiteral("The shop did not answer for 1 second: %1/wp-json/wc/v3/orders").arg(shop.base()));
        QVERIFY2(clock.elapsed() >= 900 && clock.elapsed() < 10000,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void blocksOnAWorkerThread() {
        StubServer shop([](const RawRequest&) { return ok(R"([{"id":1}])"); }, m_serverTls);
        QByteArray body;
        QString error;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            try {
                ShopClient client(shop.base(), Key, Secret, ShopOperation::StoreTest, m_trusting);
                body = client.get(client.uri(QStringLiteral("/wp-json/wc/v3/settings/general"))).body;
            } catch (const Error& e) {
                error = e.message();
            }
        }));
        worker->start();
        QVERIFY(worker->wait(20000));
        QCOMPARE(error, QString());
        QCOMPARE(body, QByteArray(R"([{"id":1}])"));
    }

    void relayBody_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<QString>("website");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("three lines, no spaces")
            << Key << Secret << QStringLiteral("https://shop.example")
            << QByteArray("{\"consumer_key\":\"ck_4f2b9c\",\r\n\"consumer_secret\":\"cs_81d0e7\",\r\n"
                          "\"website_name\":\"https://shop.example\"}");
        QTest::newRow("values escaped")
            << QStringLiteral("ck\"1") << QStringLiteral("cs\\2\n")
            << QStringLiteral("https://sh\u00f6p.example/")
            << QByteArray("{\"consumer_key\":\"ck\\\"1\",\r\n\"consumer_secret\":\"cs\\\\2\\n\",\r\n"
                          "\"website_name\":\"https://sh\xC3\xB6p.example/\"}");
    }
    void relayBody() {
        QFETCH(QString, key);
        QFETCH(QString, secret);
        QFETCH(QString, website);
        QFETCH(QByteArray, expected);
        QCOMPARE(RelayClient::requestBody(key, secret, website), expected);
    }

    void relayExchange() {
        StubServer relay([](const RawRequest& r) {
            if (r.target == "/api/getcred")
                return ok("{\"ok\":true}");
            if (r.target == "/api/orders" && r.body.contains("ck_list"))
                return ok(R"([{"id":727,"total":"29.35"},{"id":728,"total":18.50}])");
            return ok(R"({"error":"unknown shop"})");
        });
        RelayClient client(relay.base() + QLatin1Char('/'));
        QVERIFY(!client.isBuiltIn());
        client.registerCredentials(Key, Secret, QStringLiteral("https://shop.example"));
        const JsonValue orders = client.fetchProcessingOrders(QStringLiteral("ck_list"), Secret,
                                                              QStringLiteral("https://shop.example"));
        QCOMPARE(orders.size(), 2);
        QCOMPARE(requiredText(orders.at(1), u"total"), QStringLiteral("18.50"));
        QCOMPARE(errorOf([&] {
                     client.fetchProcessingOrders(Key, Secret, QStringLiteral("https://shop.example"));
                 }),
                 QStringLiteral("The relay service's answer is not a list of orders."));

        const QList<RawRequest> seen = relay.requests();
        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[0].method + ' ' + seen[0].target, QByteArray("POST /api/getcred"));
        QCOMPARE(seen[1].method + ' ' + seen[1].target, QByteArray("POST /api/orders"));
        QCOMPARE(seen[0].body, RelayClient::requestBody(Key, Secret, QStringLiteral("https://shop.example")));
        for (const RawRequest& r : seen) {
            QVERIFY(!r.hasHeader("Authorization"));
            QCOMPARE(r.header("User-Agent"), QByteArray("PostmanRuntime/7.32.3"));
            QCOMPARE(r.header("Content-Encoding"), QByteArray("UTF-8"));
        }

        // Nothing to register with the built-in relay, so nothing is sent anywhere.
        RelayClient builtIn{QString()};
        QVERIFY(builtIn.isBuiltIn());
        builtIn.registerCredentials(Key, Secret, QString());
    }

    // Without a relay service the program asks the shop for every page of processing orders and hands them
    // on as one list, each order once.
    void builtInRelayWalksAllPages_data() {
        QTest::addColumn<bool>("pagingHeaders");
        QTest::addColumn<QList<QList<int>>>("pages");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QList<int>>("expected");
        QList<int> hundred;
        for (int i = 1; i <= 100; ++i)
            hundred << i;
        QTest::newRow("three pages by the header")
            << true << QList<QList<int>>{{5, 4}, {3, 2}, {1}} << 3 << QList<int>{5, 4, 3, 2, 1};
        QTest::newRow("one page") << true << QList<QList<int>>{{1}} << 1 << QList<int>{1};
        QTest::newRow("nothing waiting") << true << QList<QList<int>>{{}} << 1 << QList<int>{};
        QTest::newRow("an order pushed over the page boundary comes once")
            << true << QList<QList<int>>{{9, 8}, {8, 7}} << 2 << QList<int>{9, 8, 7};
        QTest::newRow("headers stripped: a full page asks for more")
            << false << QList<QList<int>>{hundred, {101}} << 2 << (QList<int>(hundred) << 101);
        QTest::newRow("headers stripped: a short page is the last")
            << false << QList<QList<int>>{{3, 2, 1}, {0}} << 1 << QList<int>{3, 2, 1};
    }
    void builtInRelayWalksAllPages() {
        QFETCH(bool, pagingHeaders);
        QFETCH(QList<QList<int>>, pages);
        QFETCH(int, requests);
        QFETCH(QList<int>, expected);
        StubServer shop([=](const RawRequest& r) {
            const int page =
                QUrlQuery(QString::fromLatin1(r.query())).queryItemValue(QStringLiteral("page")).toInt();
            QByteArrayList headers;
            if (pagingHeaders)
                headers << "x-wp-totalpages: " + QByteArray::number(pages.size()) << "x-wp-total: 0";
            return httpAnswer("200 OK", ordersPage(pages.value(page - 1)), headers);
        });
        RelayClient relay{QString()};
        const JsonValue orders = relay.fetchProcessingOrders(Key, Secret, shop.base());
        QList<int> ids;
        for (const JsonValue& order : orders.elements())
            ids << requiredText(order, u"id").toInt();
        QCOMPARE(ids, expected);

        const QList<RawRequest> seen = shop.requests();
        QCOMPARE(seen.size(), requests);
        for (int i = 0; i < seen.size(); ++i) {
            QCOMPARE(seen[i].method + ' ' + seen[i].path(), QByteArray("GET /wp-json/wc/v3/orders"));
            QVERIFY2(seen[i].query().startsWith("status=processing&per_page=100&page=" +
                                                QByteArray::number(i + 1) + "&oauth_consumer_key="),
                     seen[i].target);
        }
    }
};

QTEST_GUILESS_MAIN(TestShopClient)
#include "tst_shopclient.moc"
