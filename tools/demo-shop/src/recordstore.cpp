#include "recordstore.h"

#include "jsonwriter.h"
#include "shoptime.h"

#include <algorithm>

namespace quillerby::demo {

namespace {
bool listsBefore(const Record& a, const Record& b) {
    if (a.created != b.created)
        return a.created > b.created;
    return a.id > b.id;
}
} // namespace

RecordStore::RecordStore() {
    m_statuses << QStringLiteral("trash"); // code 0, see trashCode()
}

int RecordStore::statusCode(const QString& name) {
    const int found = int(m_statuses.indexOf(name));
    if (found >= 0)
        return found;
    m_statuses << name;
    return int(m_statuses.size() - 1);
}

int RecordStore::findStatus(const QString& name) const {
    return int(m_statuses.indexOf(name));
}

const QByteArray& RecordStore::json(int position) {
    Record& r = m_records[size_t(position)];
    if (r.json.isEmpty() && m_render)
        r.json = m_render(r, m_statuses[r.status]);
    return r.json;
}

void RecordStore::assign(std::vector<Record> records) {
    m_records = std::move(records);
    std::stable_sort(m_records.begin(), m_records.end(), listsBefore);
    reindex();
}

void RecordStore::upsert(Record record) {
    remove(record.id);
    const auto at = std::lower_bound(m_records.begin(), m_records.end(), record, listsBefore);
    m_records.insert(at, std::move(record));
    reindex();
}

bool RecordStore::remove(qint64 id) {
    const int position = positionOf(id);
    if (position < 0)
        return false;
    m_records.erase(m_records.begin() + position);
    reindex();
    return true;
}

void RecordStore::reindex() {
    m_index.clear();
    m_index.reserve(qsizetype(m_records.size()));
    for (size_t i = 0; i < m_records.size(); ++i)
        m_index.insert(m_records[i].id, int(i));
}

ListResult RecordStore::list(const ListQuery& q) const {
    ListResult result;
    const int n = size();
    const bool after = q.modifiedAfter.has_value();
    const qint64 limitDate = after ? *q.modifiedAfter : 0;
    const int end = q.offset + q.limit;
    for (int k = 0; k < n; ++k) {
        const int position = q.ascending ? n - 1 - k : k;
        const Record& r = m_records[size_t(position)];
        if (q.statuses.isEmpty()) {
            if (q.anyStatus && r.status == trashCode())
                continue;
        } else if (!q.statuses.contains(r.status)) {
            continue;
        }
        if (after && (q.gmt ? r.modifiedGmt : r.modified) <= limitDate)
            continue;
        if (result.total >= q.offset && result.total < end)
            result.positions.append(position);
        ++result.total;
    }
    return result;
}

QByteArray RecordStore::jsonArray(const QVector<int>& positions) {
    qsizetype size = 2;
    for (int p : positions)
        size += json(p).size() + 1;
    QByteArray out;
    out.reserve(size);
    out += '[';
    for (int i = 0; i < positions.size(); ++i) {
        if (i)
            out += ',';
        out += m_records[size_t(positions[i])].json;
    }
    out += ']';
    return out;
}

std::optional<Record> RecordStore::fromJson(const QJsonObject& o, qint64 now, int utcOffsetSeconds,
                                            const QString& defaultStatus) {
    const QJsonValue id = o.value(QLatin1String("id"));
    if (!id.isDouble())
        return std::nullopt;
    auto date = [&](const char* name) -> std::optional<qint64> {
        return shoptime::parse(o.value(QLatin1String(name)).toString());
    };
    Record r;
    r.id = qint64(id.toDouble());
    r.created = date("date_created").value_or(now);
    r.modified = date("date_modified").value_or(r.created);
    r.modifiedGmt = date("date_modified_gmt").value_or(r.modified - utcOffsetSeconds);
    r.status = statusCode(o.value(QLatin1String("status")).toString(defaultStatus));
    JsonWriter(r.json).value(o);
    return r;
}

} // namespace quillerby::demo
