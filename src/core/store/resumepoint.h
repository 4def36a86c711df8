#pragma once

#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace quillerby {

class Catalogue;

// The shop lists newest first, so a run that stops half way has stored the newest items and not the older
// ones; starting the next run after the newest stored item would skip those for good. A run therefore notes
// where it started and clears the note only when it completes; the next run starts from the earlier of the
// note and its own start point. Raises Error on database failures.
class ResumePoint {
public:
    ResumePoint(const QSqlDatabase& db, const Catalogue& catalogue, QString name);

    // The noted start of an interrupted run: an empty text means "from the beginning"; nullopt: none.
    std::optional<QString> interrupted() const;
    // Notes `after` ("" = from the beginning) as the start of the run beginning now.
    void begin(const QString& after);
    void complete();

    // The start to use: the earlier of `computed` and an interrupted run's start ("" is earliest).
    QString effectiveStart(const QString& computed) const;

private:
    QSqlDatabase m_db;
    const Catalogue& m_catalogue;
    QString m_name;
};

} // namespace quillerby
