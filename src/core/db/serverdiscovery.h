#pragma once

#include <QHostAddress>
#include <QObject>
#include <QStringList>

class QUdpSocket;

namespace quillerby {

// SQL Server instances on this computer: on Windows the instance names registered under
// HKLM\SOFTWARE\Microsoft\Microsoft SQL Server\Instance Names\SQL, each as "COMPUTER\INSTANCE"; elsewhere
// an installed SQL Server (its default instance) as "COMPUTER\MSSQLSERVER". `installRoot` is where the
// Linux package installs the server (overridable for tests).
QStringList localSqlServerInstances(const QString& installRoot = QStringLiteral("/opt/mssql"));

// Where the SQL Server Browser search is sent. The address comes from configuration ("host" or
// "host:port"); empty means the local network's broadcast address on the standard port 1434.
struct BrowseTarget {
    QHostAddress address = QHostAddress(QHostAddress::Broadcast);
    quint16 port = 1434;
    static BrowseTarget fromConfig(const QString& text);
};

// Asks SQL Server Browser services for their instances (CLNT_BCAST_EX) and collects the answers for
// `waitMs`. Returns "SERVER\INSTANCE" names in the order found, without duplicates. Blocking: run it on a
// worker thread. Failures end the search quietly with what was found so far.
QStringList browseSqlServers(const BrowseTarget& target, int waitMs = 2000);

// Parses one SVR_RESP datagram into "SERVER\INSTANCE" names (exposed for tests).
QStringList parseBrowserResponse(const QByteArray& datagram);

// Answers SQL Server Browser requests with a fixed list of instances, on 127.0.0.1 only. For tests, demos
// and screenshots, so that no search ever leaves the machine. Lives on the thread that creates it.
class SqlBrowserResponder : public QObject {
    Q_OBJECT
public:
    // Each entry is "SERVER\INSTANCE". Listens on 127.0.0.1:`port` (0 = any free port).
    explicit SqlBrowserResponder(QStringList instances, quint16 port = 0, QObject* parent = nullptr);
    quint16 port() const;
    int requestsSeen() const { return m_requests; }

private:
    void answer();
    QUdpSocket* m_socket;
    QStringList m_instances;
    int m_requests = 0;
};

} // namespace quillerby
