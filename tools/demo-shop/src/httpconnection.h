#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>

class QTcpSocket;

namespace quillerby::demo {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

struct HttpRequest {
    QByteArray method;
    QByteArray rawPath;                   // as sent, before "?"
    QByteArray rawQuery;                  // as sent, after "?"
    QString path;                         // percent-decoded
    QList<QPair<QString, QString>> query; // decoded ("+" is a blank, as PHP reads it), in request order
    HeaderList headers;
    QByteArray body;
    bool tls = false;

    QByteArray header(const char* name) const; // first match, case-insensitive; empty when absent
    bool hasQuery(const QString& name) const;
    QString queryValue(const QString& name) const; // the last one wins, as in PHP
};

struct HttpResponse {
    int status = 200;
    HeaderList headers; // besides Content-Length, Connection and Date
    QByteArray body;
    bool close = false;

    void addHeader(const QByteArray& name, const QByteArray& value) {
        headers.append(qMakePair(name, value));
    }
};

const char* reasonPhrase(int status);

// One client connection: HTTP/1.1 with keep-alive and Content-Length bodies. Requests on a connection
// are answered strictly in order; with a delay, the next request waits until the previous answer went
// out (a timer, so the thread keeps serving other connections). Deletes itself when the peer closes.
class HttpConnection : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    using DelayFunction = std::function<int()>;

    // Takes ownership of `socket`.
    HttpConnection(QTcpSocket* socket, bool tls, Handler handler, DelayFunction delay, QObject* parent);

private:
    enum class Parse { Incomplete, Complete, Bad };
    void processBuffer();
    Parse parseOne(HttpRequest& request, bool& keepAlive);
    void send(const QByteArray& method, HttpResponse response, bool keepAlive);
    void fail(int status);

    QTcpSocket* m_socket;
    bool m_tls;
    Handler m_handler;
    DelayFunction m_delay;
    QByteArray m_buffer;
    bool m_waiting = false;
    bool m_closing = false;
    bool m_continueSent = false;
};

} // namespace quillerby::demo
