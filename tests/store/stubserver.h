#pragma once

// A tiny HTTP/1.1 server on 127.0.0.1 for client tests. It runs on its own thread (so a client may block
// the test's thread, or a worker thread, while it answers), records every request as received and answers
// each with the bytes a responder returns. An empty answer means "say nothing"; an answer carrying
// "Connection: close" is followed by closing the connection; stubPause() inside an answer holds the rest
// back for 400 ms.

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QSslConfiguration>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

struct RawRequest {
    int connection = 0; // 1 for the first connection accepted, and so on
    QByteArray method;
    QByteArray target; // as on the request line: path and query, still percent-encoded
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray header(const QByteArray& name) const {
        for (const auto& h : headers) {
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return h.second;
        }
        return QByteArray();
    }
    bool hasHeader(const QByteArray& name) const {
        for (const auto& h : headers) {
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }
    QByteArray path() const {
        return target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
    }
    QByteArray query() const {
        return target.indexOf('?') < 0 ? QByteArray() : target.mid(target.indexOf('?') + 1);
    }
};

using Responder = std::function<QByteArray(const RawRequest&)>;

inline QByteArray stubPause() {
    return QByteArray("\0pause\0", 7);
}

inline QByteArray httpAnswer(const QByteArray& statusLine, const QByteArray& body,
                             const QByteArrayList& extraHeaders = {}) {
    QByteArray out = "HTTP/1.1 " + statusLine + "\r\nContent-Type: application/json; charset=UTF-8\r\n";
    for (const QByteArray& h : extraHeaders)
        out += h + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    return out;
}

class StubServer {
public:
    // `tls`: serve HTTPS with this configuration (certificate and key); null: plain HTTP.
    explicit StubServer(Responder responder, std::optional<QSslConfiguration> tls = std::nullopt)
        : m_responder(std::move(responder)), m_tls(std::move(tls)) {
        m_thread.start();
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            m_context, [this] { listen(); }, Qt::BlockingQueuedConnection);
    }
    ~StubServer() {
        m_context->deleteLater(); // the thread deletes it (with server and sockets) on its way out
        m_thread.quit();
        m_thread.wait();
    }
    StubServer(const StubServer&) = delete;
    StubServer& operator=(const StubServer&) = delete;

    quint16 port() const { return m_port; }
    QString base() const {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
            .arg(m_port);
    }
    QList<RawRequest> requests() const {
        QMutexLocker lock(&m_mutex);
        return m_requests;
    }

private:
    void listen() {
        QTcpServer* server;
        if (m_tls) {
            auto* ssl = new QSslServer(m_context);
            ssl->setSslConfiguration(*m_tls);
            server = ssl;
        } else {
            server = new QTcpServer(m_context);
        }
        if (!server->listen(QHostAddress::LocalHost, 0))
            qFatal("stub server cannot listen: %s", qPrintable(server->errorString()));
        m_port = server->serverPort();
        QObject::connect(server, &QTcpServer::pendingConnectionAvailable, m_context, [this, server] {
            while (QTcpSocket* socket = server->nextPendingConnection())
                serve(socket);
        });
    }

    void serve(QTcpSocket* socket) {
        const int id = ++m_connections;
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto read = [this, socket, id, buffer] {
            buffer->append(socket->readAll());
            while (std::optional<RawRequest> request = take(*buffer)) {
                request->connection = id;
                {
                    QMutexLocker lock(&m_mutex);
                    m_requests.append(*request);
                }
                const QByteArray answer = m_responder(*request);
                if (answer.isEmpty())
                    continue;
                const bool close =
                    answer.left(answer.indexOf("\r\n\r\n") + 2).contains("\r\nConnection: close\r\n");
                QList<QByteArray> pieces;
                for (qsizetype from = 0;;) {
                    const qsizetype at = answer.indexOf(stubPause(), from);
                    pieces << answer.mid(from, at < 0 ? -1 : at - from);
                    if (at < 0)
                        break;
                    from = at + stubPause().size();
                }
                for (int i = 0; i < pieces.size(); ++i) {
                    const bool last = i == pieces.size() - 1;
                    QTimer::singleShot(400 * i, socket, [socket, piece = pieces[i], last, close] {
                        socket->write(piece);
                        if (last && close)
                            socket->disconnectFromHost();
                    });
                }
            }
        };
        QObject::connect(socket, &QTcpSocket::readyRead, m_context, read);
        read(); // bytes that came with the handshake
    }

    static std::optional<RawRequest> take(QByteArray& buffer) {
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return std::nullopt;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        RawRequest r;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        r.method = first.value(0);
        r.target = first.value(1);
        qsizetype length = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            r.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
            if (line.left(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) == 0)
                length = line.mid(colon + 1).trimmed().toLongLong();
        }
        if (buffer.size() < end + 4 + length)
            return std::nullopt;
        r.body = buffer.mid(end + 4, length);
        buffer.remove(0, end + 4 + length);
        return r;
    }

    Responder m_responder;
    std::optional<QSslConfiguration> m_tls;
    QThread m_thread;
    QObject* m_context = nullptr;
    quint16 m_port = 0;
    int m_connections = 0; // stub thread only
    mutable QMutex m_mutex;
    QList<RawRequest> m_requests;
};
