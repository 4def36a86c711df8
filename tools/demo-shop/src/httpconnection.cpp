#include "httpconnection.h"

#include <QDateTime>
#include <QLocale>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace quillerby::demo {

namespace {
constexpr int kMaxHeaderBytes = 64 * 1024;
constexpr qint64 kMaxBodyBytes = 16 * 1024 * 1024;

QString decodeQueryPart(QByteArray part) {
    part.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part));
}

QByteArray httpDate() {
    return QLocale::c()
        .toString(QDateTime::currentDateTimeUtc(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toLatin1();
}
} // namespace

QByteArray HttpRequest::header(const char* name) const {
    for (const auto& h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return {};
}

bool HttpRequest::hasQuery(const QString& name) const {
    for (const auto& q : query) {
        if (q.first == name)
            return true;
    }
    return false;
}

QString HttpRequest::queryValue(const QString& name) const {
    QString value;
    for (const auto& q : query) {
        if (q.first == name)
            value = q.second;
    }
    return value;
}

const char* reasonPhrase(int status) {
    switch (status) {
    case 100:
        return "Continue";
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
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
    case 408:
        return "Request Timeout";
    case 410:
        return "Gone";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return "Unknown";
    }
}

HttpConnection::HttpConnection(QTcpSocket* socket, bool tls, Handler handler, DelayFunction delay,
                               QObject* parent)
    : QObject(parent), m_socket(socket), m_tls(tls), m_handler(std::move(handler)),
      m_delay(std::move(delay)) {
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        m_buffer += m_socket->readAll();
        processBuffer();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    if (m_socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, [this] {
            m_buffer += m_socket->readAll();
            processBuffer();
        });
}

void HttpConnection::processBuffer() {
    while (!m_waiting && !m_closing) {
        HttpRequest request;
        bool keepAlive = true;
        const Parse parsed = parseOne(request, keepAlive);
        if (parsed == Parse::Incomplete)
            return;
        if (parsed == Parse::Bad)
            return;
        HttpResponse response = m_handler(request);
        const int delay = m_delay ? m_delay() : 0;
        if (delay > 0) {
            m_waiting = true;
            QTimer::singleShot(delay, this, [this, method = request.method, response, keepAlive]() mutable {
                m_waiting = false;
                send(method, std::move(response), keepAlive);
                processBuffer();
            });
            return;
        }
        send(request.method, std::move(response), keepAlive);
    }
}

HttpConnection::Parse HttpConnection::parseOne(HttpRequest& request, bool& keepAlive) {
    const qsizetype headerEnd = m_buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        if (m_buffer.size() > kMaxHeaderBytes) {
            fail(431);
            return Parse::Bad;
        }
        return Parse::Incomplete;
    }
    const QList<QByteArray> lines = m_buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1.")) {
        fail(400);
        return Parse::Bad;
    }
    request.method = requestLine[0].toUpper();
    QByteArray target = requestLine[1];
    const QByteArray version = requestLine[2];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            fail(400);
            return Parse::Bad;
        }
        request.headers.append(qMakePair(line.left(colon).trimmed(), line.mid(colon + 1).trimmed()));
    }
    if (!request.header("Transfer-Encoding").isEmpty()) {
        fail(501); // chunked uploads: no client of ours sends them
        return Parse::Bad;
    }
    qint64 length = 0;
    const QByteArray lengthText = request.header("Content-Length");
    if (!lengthText.isEmpty()) {
        bool ok = false;
        length = lengthText.toLongLong(&ok);
        if (!ok || length < 0 || length > kMaxBodyBytes) {
            fail(ok && length > kMaxBodyBytes ? 413 : 400);
            return Parse::Bad;
        }
    }
    const qsizetype bodyStart = headerEnd + 4;
    if (m_buffer.size() - bodyStart < length) {
        if (!m_continueSent && request.header("Expect").compare("100-continue", Qt::CaseInsensitive) == 0) {
            m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
            m_continueSent = true;
        }
        return Parse::Incomplete;
    }
    request.body = m_buffer.mid(bodyStart, length);
    m_buffer.remove(0, bodyStart + length);
    m_continueSent = false;
    request.tls = m_tls;

    // Absolute form ("http://host/path") is allowed by HTTP/1.1; keep only the path and query.
    if (target.startsWith("http://") || target.startsWith("https://")) {
        const qsizetype slash = target.indexOf('/', target.indexOf("//") + 2);
        target = slash < 0 ? QByteArray("/") : target.mid(slash);
    }
    const qsizetype question = target.indexOf('?');
    request.rawPath = question < 0 ? target : target.left(question);
    request.rawQuery = question < 0 ? QByteArray() : target.mid(question + 1);
    request.path = QString::fromUtf8(QByteArray::fromPercentEncoding(request.rawPath));
    for (const QByteArray& pair : request.rawQuery.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype eq = pair.indexOf('=');
        request.query.append({decodeQueryPart(eq < 0 ? pair : pair.left(eq)),
                              eq < 0 ? QString() : decodeQueryPart(pair.mid(eq + 1))});
    }
    const QByteArray connection = request.header("Connection").toLower();
    keepAlive = version == "HTTP/1.0" ? connection.contains("keep-alive") : !connection.contains("close");
    return Parse::Complete;
}

void HttpConnection::send(const QByteArray& method, HttpResponse response, bool keepAlive) {
    if (!m_socket->isOpen())
        return;
    const bool close = response.close || !keepAlive;
    QByteArray head;
    head.reserve(512);
    head += "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    head += "Date: " + httpDate() + "\r\n";
    for (const auto& h : response.headers)
        head += h.first + ": " + h.second + "\r\n";
    head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += close ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
    head += "\r\n";
    m_socket->write(head);
    if (method != "HEAD")
        m_socket->write(response.body);
    if (close) {
        m_closing = true;
        m_socket->disconnectFromHost();
    }
}

void HttpConnection::fail(int status) {
    HttpResponse response;
    response.status = status;
    response.addHeader("Content-Type", "text/plain; charset=UTF-8");
    response.body = QByteArray(reasonPhrase(status)) + '\n';
    response.close = true;
    send("GET", std::move(response), false);
}

} // namespace quillerby::demo
