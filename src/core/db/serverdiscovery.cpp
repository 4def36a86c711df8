#include "db/serverdiscovery.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QNetworkDatagram>
#include <QSettings>
#include <QSysInfo>
#include <QUdpSocket>

namespace quillerby {

namespace {
// The system's computer-name call has room for 16 characters (NetBIOS names are 15 at most); a longer name
// makes it fail, and the instance is then listed without it.
QString computerName() {
    const QString name = QSysInfo::machineHostName().section(QLatin1Char('.'), 0, 0).toUpper();
    return name.size() > 15 ? QString() : name;
}
} // namespace

QStringList localSqlServerInstances(const QString& installRoot) {
    QStringList out;
#ifdef Q_OS_WIN
    Q_UNUSED(installRoot);
    QSettings key(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Microsoft SQL Server\\Instance Names\\SQL"),
                  QSettings::NativeFormat);
    for (const QString& instance : key.childKeys())
        out << computerName() + QLatin1Char('\\') + instance;
#else
    if (QFileInfo::exists(installRoot + QStringLiteral("/bin/sqlservr")))
        out << computerName() + QStringLiteral("\\MSSQLSERVER");
#endif
    return out;
}

BrowseTarget BrowseTarget::fromConfig(const QString& text) {
    BrowseTarget t;
    const QString s = text.trimmed();
    if (s.isEmpty())
        return t;
    QString host = s;
    const int colon = s.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && s.count(QLatin1Char(':')) == 1) {
        bool ok = false;
        const int port = s.mid(colon + 1).toInt(&ok);
        if (ok && port > 0 && port < 65536) {
            t.port = quint16(port);
            host = s.left(colon);
        }
    }
    QHostAddress a;
    if (a.setAddress(host))
        t.address = a;
    else if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        t.address = QHostAddress(QHostAddress::LocalHost);
    return t;
}

QStringList parseBrowserResponse(const QByteArray& datagram) {
    // SVR_RESP: 0x05, a little-endian 16-bit length, then "key;value;" pairs, instances ended by ";;".
    QStringList out;
    if (datagram.size() < 3 || quint8(datagram.at(0)) != 0x05)
        return out;
    const int length = quint8(datagram.at(1)) | (quint8(datagram.at(2)) << 8);
    const QString text = QString::fromLatin1(datagram.mid(3, length));
    for (const QString& record : text.split(QStringLiteral(";;"), Qt::SkipEmptyParts)) {
        const QStringList parts = record.split(QLatin1Char(';'));
        QString server, instance;
        for (int i = 0; i + 1 < parts.size(); i += 2) {
            if (parts[i].compare(QLatin1String("ServerName"), Qt::CaseInsensitive) == 0)
                server = parts[i + 1];
            else if (parts[i].compare(QLatin1String("InstanceName"), Qt::CaseInsensitive) == 0)
                instance = parts[i + 1];
        }
        if (!server.isEmpty() && !instance.isEmpty())
            out << server + QLatin1Char('\\') + instance;
    }
    return out;
}

QStringList browseSqlServers(const BrowseTarget& target, int waitMs) {
    QStringList found;
    QUdpSocket socket;
    const QHostAddress local = target.address.isLoopback() ? QHostAddress(QHostAddress::LocalHost)
                                                           : QHostAddress(QHostAddress::AnyIPv4);
    if (!socket.bind(local, 0))
        return found;
    if (socket.writeDatagram(QByteArray(1, '\x02'), target.address, target.port) != 1)
        return found;
    QDeadlineTimer deadline(waitMs);
    while (!deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            continue;
        while (socket.hasPendingDatagrams()) {
            for (const QString& name : parseBrowserResponse(socket.receiveDatagram().data()))
                if (!found.contains(name, Qt::CaseInsensitive))
                    found << name;
        }
    }
    return found;
}

SqlBrowserResponder::SqlBrowserResponder(QStringList instances, quint16 port, QObject* parent)
    : QObject(parent), m_socket(new QUdpSocket(this)), m_instances(std::move(instances)) {
    m_socket->bind(QHostAddress(QHostAddress::LocalHost), port);
    connect(m_socket, &QUdpSocket::readyRead, this, &SqlBrowserResponder::answer);
}

quint16 SqlBrowserResponder::port() const { return m_socket->localPort(); }

void SqlBrowserResponder::answer() {
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram request = m_socket->receiveDatagram();
        if (request.data().isEmpty() || (request.data().at(0) != '\x02' && request.data().at(0) != '\x03'))
            continue;
        ++m_requests;
        QByteArray text;
        for (const QString& name : m_instances) {
            text += "ServerName;" + name.section(QLatin1Char('\\'), 0, 0).toLatin1() + ";InstanceName;" +
                    name.section(QLatin1Char('\\'), 1).toLatin1() +
                    ";IsClustered;No;Version;16.0.1000.6;tcp;1433;;";
        }
        QByteArray reply(1, '\x05');
        reply += char(text.size() & 0xff);
        reply += char((text.size() >> 8) & 0xff);
        reply += text;
        m_socket->writeDatagram(reply, request.senderAddress(), quint16(request.senderPort()));
    }
}

} // namespace quillerby
