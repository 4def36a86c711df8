#include "store/resumepoint.h"

#include "db/catalogue.h"
#include "db/sqlexec.h"

namespace quillerby {

ResumePoint::ResumePoint(const QSqlDatabase& db, const Catalogue& catalogue, QString name)
    : m_db(db), m_catalogue(catalogue), m_name(std::move(name)) {
    execBatch(m_db, m_catalogue.statement(QStringLiteral("sync_state_ensure")));
}

std::optional<QString> ResumePoint::interrupted() const {
    QSqlQuery q = execSql(m_db, m_catalogue.statement(QStringLiteral("sync_resume_get")),
                          {{QStringLiteral("name"), m_name}});
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

void ResumePoint::begin(const QString& after) {
    inTransaction(m_db, [&] {
        execSql(m_db, m_catalogue.statement(QStringLiteral("sync_resume_delete")), {{QStringLiteral("name"), m_name}});
        execSql(m_db, m_catalogue.statement(QStringLiteral("sync_resume_insert")),
                {{QStringLiteral("name"), m_name}, {QStringLiteral("after"), after}});
    });
}

void ResumePoint::complete() {
    execSql(m_db, m_catalogue.statement(QStringLiteral("sync_resume_delete")), {{QStringLiteral("name"), m_name}});
}

QString ResumePoint::effectiveStart(const QString& computed) const {
    const auto noted = interrupted();
    if (!noted)
        return computed;
    // "yyyy-mm-dd HH:nn:ss" texts compare in time order; the empty text (everything) comes first.
    return noted->isEmpty() || *noted < computed ? *noted : computed;
}

} // namespace quillerby
