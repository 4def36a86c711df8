#include "cli/clicommands.h"

#include "common/error.h"
#include "config/datamodule.h"
#include "db/databasesetup.h"
#include "db/sqlexec.h"
#include "store/shopclient.h"
#include "store/ordersync.h"
#include "store/productsync.h"
#include "store/storetest.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>

namespace quillerby {

namespace {

const char* kUsage =
    "Usage: quillerby-cli [--home DIR] [--documents DIR] COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  setup --engine sqlite [--database-file PATH]\n"
    "  setup --engine mssql --server NAME [--auth windows|server --user U --password P]\n"
    "        [--integration --accounting-db NAME]\n"
    "        [--own-accounts --customer-account CODE --child-account CODE]\n"
    "      Writes config.ini, then creates or updates the database.\n"
    "  init-db\n"
    "      Creates or updates the database named in config.ini.\n"
    "  store-test --url URL --key KEY --secret SECRET\n"
    "      Tests the shop connection, stores it and registers it with the relay service.\n"
    "  sync-orders [--yes]\n"
    "      Fetches the orders created or changed since the last run into the order history.\n"
    "  sync-products\n"
    "      Copies the products changed since the last run.\n"
    "  query \"SQL\"\n"
    "      Runs one statement on the program's database; rows are printed tab-separated after a header.\n";

struct UsageError {
    QString text;
};

// Splits "--name value" and "--flag" options; values never start with "--".
class Options {
public:
    Options(const QStringList& args, const QSet<QString>& flags) {
        for (int i = 0; i < args.size(); ++i) {
            const QString& a = args[i];
            if (!a.startsWith(QLatin1String("--")))
                throw UsageError{QStringLiteral("Unexpected argument: %1").arg(a)};
            const QString name = a.mid(2);
            if (flags.contains(name)) {
                m_values.insert(name, QString());
                continue;
            }
            if (i + 1 >= args.size())
                throw UsageError{QStringLiteral("Option %1 needs a value").arg(a)};
            m_values.insert(name, args[++i]);
        }
    }
    bool has(const QString& name) const { return m_values.contains(name); }
    QString value(const QString& name) const { return m_values.value(name); }
    QString required(const QString& name) const {
        if (!has(name))
            throw UsageError{QStringLiteral("Option --%1 is required").arg(name)};
        return value(name);
    }
    void allowOnly(const QSet<QString>& names) const {
        for (auto it = m_values.begin(); it != m_values.end(); ++it)
            if (!names.contains(it.key()))
                throw UsageError{QStringLiteral("Unknown option --%1").arg(it.key())};
    }

private:
    QHash<QString, QString> m_values;
};

// Message texts keep "\r" line breaks as the program defines them; a terminal shows them as new lines.
QString terminalText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// Shows the database test's messages: failures on stderr, everything else on stdout.
Notify printer(QTextStream& out, QTextStream& err) {
    return [&out, &err](NoticeKind kind, const QString& text) {
        QTextStream& s = kind == NoticeKind::Error ? err : out;
        s << terminalText(text) << Qt::endl;
    };
}

void requireConfig(const DataModule& dm) {
    if (!dm.configExists())
        throw Error(QStringLiteral("%1 does not exist; run quillerby-cli setup first.").arg(dm.configFile()));
}

int runDatabaseTest(DataModule& dm, const ConnectionParams& params, QTextStream& out, QTextStream& err) {
    const ConnectionTestResult r = testConnection(dm, params, false, printer(out, err));
    if (!r.succeeded)
        return 1;
    out << "Database ready: "
        << (params.engine == Engine::Sqlite ? dm.localDatabaseFile() : params.server + QStringLiteral(" / qv000"))
        << Qt::endl;
    return 0;
}

int setup(DataModule& dm, const QStringList& args, QTextStream& out, QTextStream& err) {
    const Options o(args, {QStringLiteral("integration"), QStringLiteral("own-accounts")});
    o.allowOnly({QStringLiteral("engine"), QStringLiteral("database-file"), QStringLiteral("server"),
                 QStringLiteral("auth"), QStringLiteral("user"), QStringLiteral("password"),
                 QStringLiteral("integration"), QStringLiteral("accounting-db"), QStringLiteral("own-accounts"),
                 QStringLiteral("customer-account"), QStringLiteral("child-account")});
    ConnectionParams p;
    const QString engine = o.required(QStringLiteral("engine"));
    if (engine == QLatin1String("sqlite")) {
        p.engine = Engine::Sqlite;
        if (o.has(QStringLiteral("database-file")))
            p.databaseFile = QDir(o.value(QStringLiteral("database-file"))).absolutePath();
        p.database = o.value(QStringLiteral("accounting-db"));
    } else if (engine == QLatin1String("mssql")) {
        p.engine = Engine::MsSql;
        p.server = o.required(QStringLiteral("server"));
        p.database = o.value(QStringLiteral("accounting-db"));
    } else {
        throw UsageError{QStringLiteral("--engine must be sqlite or mssql")};
    }
    const QString auth = o.has(QStringLiteral("auth")) ? o.value(QStringLiteral("auth")) : QStringLiteral("windows");
    if (auth == QLatin1String("server")) {
        p.windowsAuth = 1;
        p.username = o.value(QStringLiteral("user"));
        p.password = o.value(QStringLiteral("password"));
    } else if (auth != QLatin1String("windows")) {
        throw UsageError{QStringLiteral("--auth must be windows or server")};
    }
    p.cbIsIntegrated = o.has(QStringLiteral("integration")) ? 1 : 0;
    if (p.cbIsIntegrated && p.database.isEmpty())
        throw UsageError{QStringLiteral("--integration needs --accounting-db")};
    p.cbUnique = o.has(QStringLiteral("own-accounts")) ? 1 : 0;
    p.customerAccount = o.value(QStringLiteral("customer-account"));
    p.customerChildAccount = o.value(QStringLiteral("child-account"));

    // Written first, as the settings window's "Save" does, so a failing database leaves a file to fix.
    ConnectionParams stored;
    dm.loadConnectionParams(stored);
    p.odbcDriver = stored.odbcDriver;
    dm.saveConnectionParams(p);
    out << "Settings saved to " << dm.configFile() << Qt::endl;
    // Keys the user added by hand (driver, network options) take part in the test as well.
    ConnectionParams effective;
    dm.loadConnectionParams(effective);
    return runDatabaseTest(dm, effective, out, err);
}

int initDb(DataModule& dm, const QStringList& args, QTextStream& out, QTextStream& err) {
    Options(args, {}).allowOnly({});
    requireConfig(dm);
    ConnectionParams p;
    dm.loadConnectionParams(p);
    return runDatabaseTest(dm, p, out, err);
}

// The program's own database, opened as the configuration says; returns that configuration.
ConnectionParams openLocal(DataModule& dm) {
    requireConfig(dm);
    ConnectionParams p;
    dm.loadConnectionParams(p);
    dm.configure(p);
    dm.open(ConnectionRole::Local);
    return p;
}

int storeTest(DataModule& dm, const QStringList& args, QTextStream& out) {
    const Options o(args, {});
    o.allowOnly({QStringLiteral("url"), QStringLiteral("key"), QStringLiteral("secret")});
    const StoreTestInput input{o.required(QStringLiteral("url")), o.required(QStringLiteral("key")),
                               o.required(QStringLiteral("secret"))};
    if (input.link.isEmpty() || input.key.isEmpty() || input.secret.isEmpty())
        throw Error(QStringLiteral("Please fill in all fields before proceeding"));
    const ConnectionParams p = openLocal(dm);
    const NetworkSettings network = NetworkSettings::from(p);
    StoreTestServices services;
    services.database = [&dm] { return dm.local(); };
    services.catalogue = &dm.catalogue();
    services.network = &network;
    services.relayBase = p.relayUrl;
    services.message = [&out](const QString& text) { out << terminalText(text) << Qt::endl; };
    return runStoreTest(input, services) == StoreTestOutcome::Connected ? 0 : 1;
}

// The local database and the shop as the desktop program would use them at start.
ShopAccess openForSync(DataModule& dm) {
    requireConfig(dm);
    dm.openAtStartup();
    const auto shop = firstStoredShop(dm.local(), dm.catalogue());
    if (!shop)
        throw Error(QStringLiteral("No shop is connected; run quillerby-cli store-test first."));
    return ShopAccess{shop->website, shop->key, shop->secret, NetworkSettings::from(dm.params())};
}

SyncProgress terminalProgress(QTextStream& err, const char* what) {
    SyncProgress progress;
    auto done = std::make_shared<int>(0);
    auto total = std::make_shared<int>(0);
    progress.setMaximum = [total, &err, what](int n) {
        *total = n;
        err << "The shop reports " << n << ' ' << what << Qt::endl;
    };
    progress.pageDone = [done, total, &err, what](int n) {
        *done += n;
        err << "  " << *done << " of " << *total << ' ' << what << Qt::endl;
    };
    return progress;
}

int syncOrders(DataModule& dm, const QStringList& args, QTextStream& out, QTextStream& err) {
    const Options o(args, {QStringLiteral("yes")});
    o.allowOnly({QStringLiteral("yes")});
    const ShopAccess shop = openForSync(dm);
    if (!o.has(QStringLiteral("yes"))) {
        out << terminalText(QStringLiteral("This process takes some time to fetch orders\r from your online store do "
                                           "you want to continue? \r Click Yes to continue or No to cancel the process"))
            << " [y/N] " << Qt::flush;
        QTextStream in(stdin);
        const QString answer = in.readLine().trimmed().toLower();
        if (answer != QLatin1String("y") && answer != QLatin1String("yes"))
            return 0;
    }
    const OrderSyncResult r = OrderSync(dm, shop).run(terminalProgress(err, "orders"));
    if (r.upToDate) {
        out << "Your data is up to date" << Qt::endl;
        return 0;
    }
    err << r.added << " added, " << r.statusChanges << " status changes (" << r.removed
        << " back in processing), " << r.items << " line items" << Qt::endl;
    out << "Orders have been successfully fetched from the online store" << Qt::endl;
    return 0;
}

int syncProducts(DataModule& dm, const QStringList& args, QTextStream& out, QTextStream& err) {
    Options(args, {}).allowOnly({});
    const ShopAccess shop = openForSync(dm);
    const ProductSyncResult r = ProductSync(dm, shop).run(terminalProgress(err, "products"));
    out << r.products << " products synchronised" << Qt::endl;
    return 0;
}

QString cellText(const QVariant& v) {
    if (v.isNull())
        return QStringLiteral("NULL");
    QString t = v.toString();
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\t'), QStringLiteral("\\t"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return t;
}

int query(DataModule& dm, const QStringList& args, QTextStream& out) {
    if (args.size() != 1)
        throw UsageError{QStringLiteral("query takes one SQL statement")};
    const ConnectionParams p = openLocal(dm);
    QSqlQuery q = execSql(dm.local(), args.first());
    if (!q.isSelect())
        return 0;
    const QSqlRecord r = q.record();
    QStringList header;
    for (int i = 0; i < r.count(); ++i)
        header << r.fieldName(i);
    out << header.join(QLatin1Char('\t')) << '\n';
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < r.count(); ++i)
            row << cellText(q.value(i));
        out << row.join(QLatin1Char('\t')) << '\n';
    }
    out.flush();
    return 0;
}

} // namespace

int runCli(const QStringList& argsIn, QTextStream& out, QTextStream& err) {
    QStringList args = argsIn;
    QString home, documents;
    try {
        while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
            const QString opt = args.takeFirst();
            if (opt == QLatin1String("--help")) {
                out << kUsage;
                return 0;
            }
            if (args.isEmpty())
                throw UsageError{QStringLiteral("Option %1 needs a value").arg(opt)};
            if (opt == QLatin1String("--home"))
                home = args.takeFirst();
            else if (opt == QLatin1String("--documents"))
                documents = args.takeFirst();
            else
                throw UsageError{QStringLiteral("Unknown option %1").arg(opt)};
        }
        if (args.isEmpty())
            throw UsageError{QStringLiteral("No command given")};
        const QString command = args.takeFirst();
        DataModule dm(AppPaths::fromFolders(home, documents));
        if (command == QLatin1String("setup"))
            return setup(dm, args, out, err);
        if (command == QLatin1String("init-db"))
            return initDb(dm, args, out, err);
        if (command == QLatin1String("sync-orders"))
            return syncOrders(dm, args, out, err);
        if (command == QLatin1String("sync-products"))
            return syncProducts(dm, args, out, err);
        if (command == QLatin1String("store-test"))
            return storeTest(dm, args, out);
        if (command == QLatin1String("query"))
            return query(dm, args, out);
        throw UsageError{QStringLiteral("Unknown command %1").arg(command)};
    } catch (const UsageError& e) {
        err << e.text << "\n\n" << kUsage;
        err.flush();
        return 1;
    } catch (const Error& e) {
        err << e.message() << Qt::endl;
        return 1;
    }
}

} // namespace quillerby
