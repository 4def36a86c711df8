#include "store/shopclient.h"

#include "common/error.h"
#include "config/connectionconfig.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QMessageAuthenticationCode>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QSet>
#include <QSslError>
#include <QStringDecoder>
#include <QTimer>

#include <algorithm>

namespace quillerby {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ShopClient", text);
}

// RFC 3986 unreserved characters stay, everything else is %XX of its UTF-8 bytes. OAuth 1.0a demands exactly
// this set for its base string, so query texts and signature agree.
QByteArray percentEncoded(const QString& text) {
    return QUrl::toPercentEncoding(text);
}

QString party(ShopOperation operation) {
    return operation == ShopOperation::Relay ? tr("The relay service") : tr("The shop");
}

QByteArray standardReason(int status) {
    switch (status) {
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 410:
        return "Gone";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return QByteArray();
    }
}

QString methodName(int method) {
    static const char* const names[] = {"GET", "PUT", "DELETE", "POST"};
    return QLatin1String(names[method]);
}

// One-legged OAuth 1.0a (RFC 5849 with an empty token), the only scheme a WooCommerce shop accepts over
// plain http. The body is not signed, as WooCommerce expects.
QUrl oauthSignedUrl(const QString& method, const UriBuilder& uri, const QString& key, const QString& secret) {
    UriBuilder signedUri = uri;
    signedUri.add(QStringLiteral("oauth_consumer_key"), key);
    signedUri.add(QStringLiteral("oauth_nonce"),
                  QString::number(QRandomGenerator::system()->generate64(), 16) +
                      QString::number(QRandomGenerator::system()->generate64(), 16));
    signedUri.add(QStringLiteral("oauth_signature_method"), QStringLiteral("HMAC-SHA1"));
    signedUri.add(QStringLiteral("oauth_timestamp"), QString::number(QDateTime::currentSecsSinceEpoch()));
    signedUri.add(QStringLiteral("oauth_version"), QStringLiteral("1.0"));

    QList<QPair<QByteArray, QByteArray>> pairs;
    for (const auto& p : signedUri.parameters())
        pairs.append({percentEncoded(p.first), percentEncoded(p.second)});
    std::sort(pairs.begin(), pairs.end());
    QByteArrayList joined;
    for (const auto& p : pairs)
        joined.append(p.first + '=' + p.second);

    // Qt sends the path with its segments normalised ("https://shop/" + "/wp-json" goes out as "/wp-json"),
    // and the shop signs what it received.
    QUrl base = uri.url().adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment |
                                   QUrl::NormalizePathSegments);
    if ((base.scheme() == QLatin1String("http") && base.port() == 80) ||
        (base.scheme() == QLatin1String("https") && base.port() == 443))
        base.setPort(-1);
    const QByteArray baseString = method.toLatin1() + '&' +
                                  percentEncoded(base.toString(QUrl::FullyEncoded)) + '&' +
                                  percentEncoded(QString::fromLatin1(joined.join('&')));
    const QByteArray signature =
        QMessageAuthenticationCode::hash(baseString, secret.toUtf8() + '&', QCryptographicHash::Sha1)
            .toBase64();
    signedUri.add(QStringLiteral("oauth_signature"), QString::fromLatin1(signature));
    return signedUri.url();
}

QString shopMessage(const QByteArray& body) {
    try {
        const JsonValue answer = parseJson(body);
        const JsonValue& message = answer[u"message"];
        if (message.isString())
            return message.text();
    } catch (const Error&) {
        // An HTML error page from a proxy or firewall: the status says enough.
    }
    return QString();
}

} // namespace

QByteArray userAgent(ShopOperation operation) {
    switch (operation) {
    case ShopOperation::OrderSync:
        return "Mozilla/5.0 (Windows NT 6.1; Win64; x64; rv:47.0) Gecko/20100101 Firefox/47.0";
    case ShopOperation::ProductSync:
    case ShopOperation::StoreTest:
    case ShopOperation::StatusAction:
        return "Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.8.1.4) Gecko/20070531";
    case ShopOperation::Relay:
        return "PostmanRuntime/7.32.3";
    }
    return QByteArray();
}

NetworkSettings NetworkSettings::from(const ConnectionParams& params) {
    NetworkSettings s;
    s.acceptUntrustedCertificates = params.acceptUntrustedCertificates;
    if (params.requestTimeoutSeconds > 0)
        s.stallTimeoutSeconds = params.requestTimeoutSeconds;
    return s;
}

// ---- UriBuilder

UriBuilder::UriBuilder(const QString& base) : m_base(base) {
    const qsizetype query = base.indexOf(QLatin1Char('?'));
    if (query < 0)
        return;
    m_base = base.left(query);
    const QStringList items = base.mid(query + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts);
    for (const QString& item : items) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? item : item.left(eq);
        const QString value = eq < 0 ? QString() : item.mid(eq + 1);
        add(QUrl::fromPercentEncoding(name.toUtf8()), QUrl::fromPercentEncoding(value.toUtf8()));
    }
}

UriBuilder& UriBuilder::add(const QString& name, const QString& value) {
    m_parameters.append({name, value});
    return *this;
}

QString UriBuilder::toString() const {
    if (m_parameters.isEmpty())
        return m_base;
    QByteArray query;
    for (const auto& p : m_parameters) {
        query += query.isEmpty() ? '?' : '&';
        query += percentEncoded(p.first) + '=' + percentEncoded(p.second);
    }
    return m_base + QString::fromLatin1(query);
}

QUrl UriBuilder::url() const {
    return QUrl(toString());
}

// ---- ShopResponse, PageInfo

QByteArray ShopResponse::header(const QByteArray& name) const {
    for (const auto& h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return QByteArray();
}

bool ShopResponse::hasHeader(const QByteArray& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& h) { return h.first.compare(name, Qt::CaseInsensitive) == 0; });
}

JsonValue ShopResponse::json() const {
    // Shops send UTF-8; a host that declares another character set gets its text converted first.
    const QByteArray type = header("Content-Type").toLower();
    const qsizetype at = type.indexOf("charset=");
    if (at >= 0) {
        QByteArray charset = type.mid(at + 8);
        if (const qsizetype end = charset.indexOf(';'); end >= 0)
            charset.truncate(end);
        charset = charset.trimmed();
        if (charset.startsWith('"'))
            charset = charset.mid(1, charset.size() - 2);
        if (!charset.isEmpty() && charset != "utf-8" && charset != "utf8") {
            QStringDecoder decoder(charset.constData());
            if (decoder.isValid())
                return parseJson(QString(decoder(body)).toUtf8());
        }
    }
    return parseJson(body);
}

PageInfo PageInfo::from(const ShopResponse& response) {
    const auto read = [&](const char* name) {
        bool ok = false;
        const int v = response.header(name).trimmed().toInt(&ok, 10);
        return ok && v > 0 ? v : 0;
    };
    return PageInfo{read("X-WP-TotalPages"), read("X-WP-Total")};
}

// ---- ShopClient

ShopClient::ShopClient(const QString& address, const QString& consumerKey, const QString& consumerSecret,
                       ShopOperation operation, const NetworkSettings& settings)
    : m_address(address), m_key(consumerKey), m_secret(consumerSecret), m_operation(operation),
      m_settings(settings), m_ssl(QSslConfiguration::defaultConfiguration()),
      m_network(std::make_unique<QNetworkAccessManager>()) {
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_ssl.setProtocol(QSsl::TlsV1_2OrLater);
    if (m_settings.acceptUntrustedCertificates) {
        m_ssl.setPeerVerifyMode(QSslSocket::VerifyNone);
    } else if (!m_settings.extraCaCertificates.isEmpty()) {
        // Adding CAs to a configuration turns off the system store's on-demand loading, so the system's
        // CAs are listed explicitly next to the extra ones.
        m_ssl.setCaCertificates(QSslConfiguration::systemCaCertificates() + m_settings.extraCaCertificates);
    }
}

ShopClient::~ShopClient() = default;

ShopResponse ShopClient::get(const UriBuilder& uri) {
    return send(Method::Get, uri, QByteArray(), true);
}

ShopResponse ShopClient::put(const QString& path, const QByteArray& json) {
    return send(Method::Put, this->uri(path), json, true);
}

ShopResponse ShopClient::del(const UriBuilder& uri) {
    return send(Method::Delete, uri, QByteArray(), true);
}

ShopResponse ShopClient::post(const UriBuilder& uri, const QByteArray& body) {
    return send(Method::Post, uri, body, false);
}

ShopResponse ShopClient::send(Method method, const UriBuilder& uri, const QByteArray& body,
                              bool withCredentials) {
    const QString shown = uri.toString(); // never the signed form: errors should not carry signatures
    const QString verb = methodName(int(method));
    QUrl url = uri.url();
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        throw Error(tr("%1 has no usable address: \"%2\" is not a complete web address starting with "
                       "https:// or http://.")
                        .arg(party(m_operation), shown));

    QNetworkRequest request;
    const bool https = scheme == QLatin1String("https");
    if (withCredentials && !(m_key.isEmpty() && m_secret.isEmpty())) {
        if (https)
            request.setRawHeader("Authorization",
                                 "Basic " + (m_key + QLatin1Char(':') + m_secret).toUtf8().toBase64());
        else
            url = oauthSignedUrl(verb, uri, m_key, m_secret);
    }
    request.setUrl(url);
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("Content-Type", "application/json");
    if (m_operation != ShopOperation::StatusAction)
        request.setRawHeader("Content-Encoding", "UTF-8");
    request.setRawHeader("User-Agent", userAgent(m_operation));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (https)
        request.setSslConfiguration(m_ssl);

    std::unique_ptr<QNetworkReply> reply;
    switch (method) {
    case Method::Get:
        reply.reset(m_network->get(request));
        break;
    case Method::Put:
        reply.reset(m_network->put(request, body));
        break;
    case Method::Delete:
        reply.reset(m_network->deleteResource(request));
        break;
    case Method::Post:
        reply.reset(m_network->post(request, body));
        break;
    }

    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    const int stallSeconds = std::clamp(m_settings.stallTimeoutSeconds, 1, 24 * 3600);
    stall.setInterval(stallSeconds * 1000);
    bool stalled = false;
    QStringList tlsProblems;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &stall, qOverload<>(&QTimer::start));
    QObject::connect(reply.get(), &QNetworkReply::uploadProgress, &stall, qOverload<>(&QTimer::start));
    QObject::connect(reply.get(), &QNetworkReply::sslErrors, &loop, [&](const QList<QSslError>& errors) {
        for (const QSslError& e : errors)
            tlsProblems.append(e.errorString());
    });
    QObject::connect(&stall, &QTimer::timeout, &loop, [&] {
        stalled = true;
        reply->abort();
    });
    stall.start();
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    stall.stop();

    if (stalled) {
        if (stallSeconds == 1)
            throw Error(tr("%1 did not answer for 1 second: %2").arg(party(m_operation), shown));
        throw Error(tr("%1 did not answer for %2 seconds: %3")
                        .arg(party(m_operation), QString::number(stallSeconds), shown));
    }

    ShopResponse response;
    response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    response.reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
    response.headers = reply->rawHeaderPairs();
    if (reply->isOpen())
        response.body = reply->readAll();
    const QNetworkReply::NetworkError error = reply->error();

    const bool answered = response.status > 0;
    const bool success = answered && response.status >= 200 && response.status <= 299;
    if (answered && !success) {
        const QByteArray reason =
            response.reason.isEmpty() ? standardReason(response.status) : response.reason;
        QString text =
            tr("%1 answered \"%2\" to %3 %4")
                .arg(party(m_operation),
                     QString::number(response.status) +
                         (reason.isEmpty() ? QString() : QLatin1Char(' ') + QString::fromLatin1(reason)),
                     verb, shown);
        if (response.status >= 300 && response.status <= 399) {
            const QByteArray location = response.header("Location");
            text += location.isEmpty()
                        ? tr(" (a redirect, which is not followed).")
                        : tr(" (a redirect to %1, which is not followed).").arg(QString::fromUtf8(location));
        } else {
            const QString message = shopMessage(response.body);
            text += message.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + message;
        }
        throw Error(text);
    }
    if (success && error == QNetworkReply::NoError)
        return response;

    const QString who = party(m_operation);
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        throw Error(tr("%1 refused the connection (nothing answers at that address): %2").arg(who, shown));
    case QNetworkReply::HostNotFoundError:
        throw Error(tr("%1 could not be reached: the host \"%2\" was not found.").arg(who, url.host()));
    case QNetworkReply::RemoteHostClosedError:
        throw Error(tr("%1 closed the connection before the answer was complete: %2").arg(who, shown));
    case QNetworkReply::TimeoutError:
        throw Error(tr("The connection to %1 timed out: %2").arg(url.host(), shown));
    case QNetworkReply::SslHandshakeFailedError:
        throw Error(
            tr("The secure connection to %1 failed: %2 (%3)")
                .arg(url.host(),
                     tlsProblems.isEmpty() ? reply->errorString() : tlsProblems.join(QStringLiteral("; ")),
                     shown));
    default:
        throw Error(tr("The request to %1 failed: %2 (%3)").arg(url.host(), reply->errorString(), shown));
    }
}

// ---- RelayClient

RelayClient::RelayClient(const QString& baseUrl, const NetworkSettings& settings)
    : m_base(baseUrl.trimmed()), m_settings(settings) {
    // The relay's paths start with "/"; a base written with a closing slash must not double it.
    if (m_base.endsWith(QLatin1Char('/')))
        m_base.chop(1);
}

QByteArray RelayClient::requestBody(const QString& consumerKey, const QString& consumerSecret,
                                    const QString& website) {
    return (QStringLiteral("{\"consumer_key\":\"") + jsonEscape(consumerKey) + QStringLiteral("\",\r\n") +
            QStringLiteral("\"consumer_secret\":\"") + jsonEscape(consumerSecret) +
            QStringLiteral("\",\r\n") + QStringLiteral("\"website_name\":\"") + jsonEscape(website) +
            QStringLiteral("\"}"))
        .toUtf8();
}

void RelayClient::registerCredentials(const QString& consumerKey, const QString& consumerSecret,
                                      const QString& website) {
    if (isBuiltIn())
        return;
    ShopClient relay(m_base, QString(), QString(), ShopOperation::Relay, m_settings);
    relay.post(relay.uri(QStringLiteral("/api/getcred")), requestBody(consumerKey, consumerSecret, website));
}

JsonValue RelayClient::fetchProcessingOrders(const QString& consumerKey, const QString& consumerSecret,
                                             const QString& website) {
    if (isBuiltIn())
        return fetchFromShop(consumerKey, consumerSecret, website);
    ShopClient relay(m_base, QString(), QString(), ShopOperation::Relay, m_settings);
    const ShopResponse response = relay.post(relay.uri(QStringLiteral("/api/orders")),
                                             requestBody(consumerKey, consumerSecret, website));
    JsonValue orders = response.json();
    if (!orders.isArray())
        throw Error(tr("The relay service's answer is not a list of orders."));
    return orders;
}

JsonValue RelayClient::fetchFromShop(const QString& consumerKey, const QString& consumerSecret,
                                     const QString& website) {
    // The built-in relay stands in for the relay service, so its requests carry the relay's user agent.
    ShopClient shop(website, consumerKey, consumerSecret, ShopOperation::Relay, m_settings);
    constexpr int perPage = 100;
    QList<JsonValue> orders;
    QSet<QString> seen;
    int pages = 0;
    for (int page = 1;; ++page) {
        UriBuilder uri = shop.uri(QStringLiteral("/wp-json/wc/v3/orders"));
        uri.add(QStringLiteral("status"), QStringLiteral("processing"))
            .add(QStringLiteral("per_page"), QString::number(perPage))
            .add(QStringLiteral("page"), QString::number(page));
        const ShopResponse response = shop.get(uri);
        const JsonValue list = response.json();
        if (!list.isArray())
            throw Error(tr("The shop's answer to %1 is not a list of orders.").arg(uri.toString()));
        if (page == 1)
            pages = PageInfo::from(response).totalPages;

        // An order that turns "processing" while we page moves the later ones down a place; the one pushed
        // over a page boundary then comes twice.
        int added = 0;
        for (const JsonValue& order : list.elements()) {
            const QString id = order.isObject() ? optionalText(order, u"id") : QString();
            if (!id.isEmpty() && seen.contains(id))
                continue;
            seen.insert(id);
            orders.append(order);
            ++added;
        }
        // Some hosts strip the paging headers: then a full page means there may be more. A page with
        // nothing new ends the walk either way, so a shop that ignores "page" cannot keep us looping.
        const bool more = pages > 0 ? page < pages : list.size() >= perPage;
        if (!more || added == 0)
            break;
    }
    return JsonValue::fromArray(std::move(orders));
}

} // namespace quillerby
