#pragma once

#include <QString>
#include <optional>

namespace quillerby {

// Reads an ISO 8601 date-time as shops send it ("2024-03-05T17:42:09", with optional fraction, "Z" or
// "+02:00"). A text without zone is taken as it is (shop time, no shift); a text with a zone is brought to
// UTC. Returns "YYYY-MM-DD HH:MM:SS" (with ".fff" when there is a fraction), or nullopt when the text is
// not such a date.
std::optional<QString> normaliseIsoDateTime(const QString& text);

// The same date as SQL Server reads it without regard to its language settings ("YYYY-MM-DDTHH:MM:SS").
QString toServerDateTime(const QString& normalised);

} // namespace quillerby
