#include "store/storetest.h"

#include "common/error.h"
#include "db/catalogue.h"
#include "db/sqlexec.h"
#include "store/json.h"
#include "store/shopclient.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QSqlRecord>

namespace quillerby {

namespace {
QString tr(const char* text) { return QCoreApplication::translate("StoreTest", text); }
} // namespace

std::optional<StoredShop> firstStoredShop(const QSqlDatabase& db, const Catalogue& catalogue) {
    QSqlQuery q = execSql(db, catalogue.statement(QStringLiteral("websites_first")));
    if (!q.next())
        return std::nullopt;
    const QSqlRecord r = q.record();
    const auto text = [&](const char* column) { return q.value(r.indexOf(QLatin1String(column))).toString(); };
    return StoredShop{text("website"), text("consumer_key"), text("consumer_secret"), text("currency")};
}

QString storeTestSuccessText() { return tr("Congratulations!\r\nYour store has been successfully connected."); }

StoreTestOutcome runStoreTest(const StoreTestInput& in, const StoreTestServices& s) {
    QString currency;
    QSqlDatabase db;
    bool known = false;
    try {
        ShopClient shop(in.link, in.key, in.secret, ShopOperation::StoreTest, *s.network);
        const ShopResponse reply = shop.get(UriBuilder(in.link + QStringLiteral("/wp-json/wc/v3/settings/general")));
        if (reply.status != 200) {
            s.message(tr("Invalid WooCommerce API credentials or configuration."));
            return StoreTestOutcome::Rejected;
        }
        const JsonValue settings = parseJson(reply.body);
        if (!settings.isArray())
            throw Error(QStringLiteral("The shop's general settings are not a JSON array."));
        for (int i = 0; i < settings.size(); ++i) {
            const JsonValue& item = settings.at(i);
            if (item.isObject() && item.contains(QStringLiteral("id")) &&
                item.member(QStringLiteral("id")).text() == QLatin1String("woocommerce_currency"))
                currency = item.member(QStringLiteral("value")).text();
        }
        db = s.database();
        QSqlQuery found = execSql(db, s.catalogue->statement(QStringLiteral("store_by_secret")),
                                  {{QStringLiteral("secret"), in.secret}});
        known = found.next();
    } catch (const Error& e) {
        s.message(tr("An error occurred.\r\n") + e.message());
        return StoreTestOutcome::Failed;
    }

    if (!known) {
        try {
            execSql(db, s.catalogue->statement(QStringLiteral("insert_store")),
                    {{QStringLiteral("website"), in.link},
                     {QStringLiteral("key"), in.key},
                     {QStringLiteral("secret"), in.secret},
                     {QStringLiteral("secret_again"), in.secret},
                     {QStringLiteral("currency"), currency}});
        } catch (const Error&) {
            s.message(tr("A connection to database error occurred "));
            return StoreTestOutcome::DatabaseFailed;
        }
    }

    try {
        RelayClient relay(s.relayBase, *s.network);
        relay.registerCredentials(in.key, in.secret, in.link);
    } catch (const Error& e) {
        s.message(tr("An error occurred.\r\n") + e.message());
        return StoreTestOutcome::RelayFailed;
    }

    s.message(storeTestSuccessText());
    return StoreTestOutcome::Connected;
}

} // namespace quillerby
