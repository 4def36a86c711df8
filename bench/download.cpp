// The reference for a synchronisation: downloads the same pages, the same way (one request after the
// other, a request for the paging headers first), and throws them away.
//   quillerby-bench-download URL KEY SECRET orders|products [PER_PAGE]
#include "store/shopclient.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace quillerby;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 5) {
        QTextStream(stderr) << "usage: quillerby-bench-download URL KEY SECRET orders|products [PER_PAGE]\n";
        return 2;
    }
    const QString base = a[1] + QStringLiteral("/wp-json/wc/v3/") + a[4];
    const QString perPage = a.size() > 5 ? a[5] : QStringLiteral("60");
    try {
        ShopClient client(a[1], a[2], a[3], ShopOperation::OrderSync);
        const auto uri = [&](int page) {
            UriBuilder u(base);
            u.add(QStringLiteral("per_page"), perPage).add(QStringLiteral("page"), QString::number(page));
            return u;
        };
        const PageInfo info = PageInfo::from(client.get(uri(1)));
        qint64 bytes = 0;
        for (int page = 1; page <= info.totalPages; ++page)
            bytes += client.get(uri(page)).body.size();
        QTextStream(stdout) << info.totalPages << " pages, " << bytes << " bytes\n";
    } catch (const std::exception& e) {
        QTextStream(stderr) << e.what() << '\n';
        return 1;
    }
    return 0;
}
