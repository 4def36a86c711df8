// quillerby-demo-shop: the demo shop as a process, for manual runs, screenshots and benchmarks.
#include "demoshop/demoshop.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#ifdef Q_OS_UNIX
#include <csignal>
#endif

using quillerby::demo::DemoShop;
using quillerby::demo::DemoShopOptions;

namespace {

[[noreturn]] void usageError(const QString& message) {
    std::fprintf(stderr, "quillerby-demo-shop: %s\n", qPrintable(message));
    std::exit(2);
}

int intOption(const QCommandLineParser& parser, const QString& name, int minimum, int maximum) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        usageError(
            QStringLiteral("--%1 needs a whole number from %2 to %3").arg(name).arg(minimum).arg(maximum));
    return value;
}

} // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_UNIX
    // A client that hangs up mid-answer must cost one connection, never the server.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillerby-demo-shop"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A WooCommerce-compatible shop (REST API v3) and relay service on 127.0.0.1.\n"
                       "The first line on stdout is \"listening on \" followed by the base URL."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("port"), QStringLiteral("Port to listen on; 0 picks a free one."),
         QStringLiteral("P"), QStringLiteral("0")},
        {QStringLiteral("key"), QStringLiteral("Accepted consumer key (without key and secret: any)."),
         QStringLiteral("CK")},
        {QStringLiteral("secret"), QStringLiteral("Accepted consumer secret."), QStringLiteral("CS")},
        {QStringLiteral("tls"), QStringLiteral("Serve HTTPS (needs --cert and --cert-key).")},
        {QStringLiteral("cert"), QStringLiteral("PEM certificate (chain) for --tls."),
         QStringLiteral("FILE")},
        {QStringLiteral("cert-key"), QStringLiteral("PEM private key for --tls."), QStringLiteral("FILE")},
        {QStringLiteral("orders"), QStringLiteral("Number of generated orders."), QStringLiteral("N"),
         QStringLiteral("0")},
        {QStringLiteral("products"), QStringLiteral("Number of generated products."), QStringLiteral("M"),
         QStringLiteral("0")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the generated data."), QStringLiteral("S"),
         QStringLiteral("1")},
        {QStringLiteral("now"),
         QStringLiteral("Shop time the generated data ends at (yyyy-MM-ddTHH:mm:ss); default: now."),
         QStringLiteral("DATETIME")},
        {QStringLiteral("utc-offset"), QStringLiteral("Shop time zone in minutes east of UTC (default 180)."),
         QStringLiteral("MINUTES"), QStringLiteral("180")},
        {QStringLiteral("data"),
         QStringLiteral("Serve {\"orders\":[..],\"products\":[..],\"settings\":[..]} from FILE."),
         QStringLiteral("FILE")},
        {QStringLiteral("strict-http"),
         QStringLiteral("Over plain http accept OAuth 1.0a only, as real shops do.")},
        {QStringLiteral("fail"),
         QStringLiteral("Answer PATH (or PATH@page=N) with STATUS; repeatable. Example: "
                        "/wp-json/wc/v3/orders@page=3=503"),
         QStringLiteral("PATH=STATUS")},
        {QStringLiteral("malformed"), QStringLiteral("Answer PATH with truncated JSON; repeatable."),
         QStringLiteral("PATH")},
        {QStringLiteral("delay"), QStringLiteral("Milliseconds added to every answer."), QStringLiteral("MS"),
         QStringLiteral("0")},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        usageError(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));

    DemoShopOptions options;
    options.port = quint16(intOption(parser, QStringLiteral("port"), 0, 65535));
    options.key = parser.value(QStringLiteral("key"));
    options.secret = parser.value(QStringLiteral("secret"));
    options.tls = parser.isSet(QStringLiteral("tls"));
    options.certFile = parser.value(QStringLiteral("cert"));
    options.certKeyFile = parser.value(QStringLiteral("cert-key"));
    if (options.tls && (options.certFile.isEmpty() || options.certKeyFile.isEmpty()))
        usageError(QStringLiteral("--tls needs --cert and --cert-key"));
    options.orders = intOption(parser, QStringLiteral("orders"), 0, 10'000'000);
    options.products = intOption(parser, QStringLiteral("products"), 0, 10'000'000);
    bool seedOk = false;
    options.seed = parser.value(QStringLiteral("seed")).toUInt(&seedOk);
    if (!seedOk)
        usageError(QStringLiteral("--seed needs a whole number from 0 to 4294967295"));
    if (parser.isSet(QStringLiteral("now"))) {
        options.now = QDateTime::fromString(parser.value(QStringLiteral("now")), Qt::ISODate);
        if (!options.now.isValid())
            usageError(QStringLiteral("--now needs a date-time such as 2024-03-05T18:00:00"));
    }
    options.utcOffsetMinutes = intOption(parser, QStringLiteral("utc-offset"), -14 * 60, 14 * 60);
    options.dataFile = parser.value(QStringLiteral("data"));
    options.strictHttp = parser.isSet(QStringLiteral("strict-http"));
    for (const QString& fail : parser.values(QStringLiteral("fail"))) {
        // The status follows the last "=", so "PATH@page=3=503" keeps its page selector.
        const qsizetype eq = fail.lastIndexOf(u'=');
        bool ok = false;
        const int status = eq > 0 ? fail.mid(eq + 1).toInt(&ok) : 0;
        if (!ok || status < 100 || status > 599)
            usageError(QStringLiteral("--fail needs PATH=STATUS or PATH@page=N=STATUS, got %1").arg(fail));
        options.failures.insert(fail.left(eq), status);
    }
    options.malformed = parser.values(QStringLiteral("malformed"));
    options.delayMs = intOption(parser, QStringLiteral("delay"), 0, 600'000);

    DemoShop shop(options);
    QString error;
    if (!shop.start(&error)) {
        std::fprintf(stderr, "quillerby-demo-shop: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("listening on %s\n", qPrintable(shop.baseUrl().toString()));
    std::fflush(stdout);
    return app.exec();
}
