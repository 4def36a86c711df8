#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>
#include <vector>

namespace quillerby::demo {

// One order or product. The indexed members mirror the JSON; `json` is the answer sent for it.
struct Record {
    qint64 id = 0;
    qint64 created = 0;     // date_created, shop time (see shoptime.h)
    qint64 modified = 0;    // date_modified, shop time
    qint64 modifiedGmt = 0; // date_modified_gmt
    int status = 0;         // RecordStore::statusCode()
    int recipe = -1;        // generated record: the generator's recipe, rendered on first use
    QByteArray json;        // compact JSON; empty until rendered for a generated record
};

struct ListQuery {
    std::optional<qint64> modifiedAfter; // strictly after
    bool gmt = false;                    // compare modifiedAfter with modifiedGmt
    QVector<int> statuses;               // empty: every status except trash
    bool anyStatus = true;               // with empty statuses: trash excluded, as WooCommerce's "any"
    bool ascending = false;
    int offset = 0;
    int limit = 10;
};

struct ListResult {
    int total = 0;
    QVector<int> positions; // the requested slice
};

// Records in WooCommerce's default list order (newest date_created first, then highest id), an id index,
// and interned status names. A list query is one linear pass over compact structs: for 200,000 records
// that is far below a millisecond, and no per-query index has to be kept in step with updates.
// Not thread-safe: DemoShop serialises access.
class RecordStore {
public:
    using Renderer = std::function<QByteArray(const Record&, const QString& status)>;

    RecordStore();

    void setRenderer(Renderer renderer) { m_render = std::move(renderer); }

    int statusCode(const QString& name);       // interns
    int findStatus(const QString& name) const; // -1 when never seen
    const QString& statusName(int code) const { return m_statuses[code]; }
    int trashCode() const { return 0; }

    int size() const { return int(m_records.size()); }
    const Record& at(int position) const { return m_records[size_t(position)]; }
    Record& at(int position) { return m_records[size_t(position)]; }
    int positionOf(qint64 id) const { return m_index.value(id, -1); }
    // The record's JSON, rendered and kept on first use.
    const QByteArray& json(int position);

    void assign(std::vector<Record> records);
    void upsert(Record record);
    bool remove(qint64 id);

    ListResult list(const ListQuery& query) const;
    QByteArray jsonArray(const QVector<int>& positions);

    // A record from a WooCommerce-shaped object; nullopt without a numeric "id". Missing dates become
    // `now`, a missing *_gmt twin is derived with `utcOffsetSeconds`, a missing status is `defaultStatus`.
    std::optional<Record> fromJson(const QJsonObject& object, qint64 now, int utcOffsetSeconds,
                                   const QString& defaultStatus);

private:
    void reindex();

    std::vector<Record> m_records;
    QHash<qint64, int> m_index;
    QStringList m_statuses;
    Renderer m_render;
};

} // namespace quillerby::demo
