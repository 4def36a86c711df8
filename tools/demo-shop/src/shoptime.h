#pragma once

#include <QByteArray>
#include <QStringView>
#include <optional>

namespace quillerby::demo::shoptime {

// WooCommerce writes dates without an offset ("2024-03-05T17:42:09", shop time) plus *_gmt twins. The demo
// shop keeps each as seconds since 1970-01-01T00:00:00 of that same clock (no zone arithmetic), which
// sorts and compares cheaply.

qint64 fromCivil(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Parses what the REST API accepts as a date-time: "YYYY-MM-DD", a "T" or a blank, "HH:MM:SS", an
// optional fraction (dropped) and an optional "Z" or "+HH:MM"/"-HH:MM" (ignored, as WooCommerce does for
// modified_after). Anything else gives nullopt.
std::optional<qint64> parse(QStringView text);

// "YYYY-MM-DDTHH:MM:SS".
QByteArray format(qint64 seconds);
// "YYYY-MM-DD".
QByteArray formatDate(qint64 seconds);

// The current time on the shop's clock, `utcOffsetSeconds` east of UTC.
qint64 now(int utcOffsetSeconds);

} // namespace quillerby::demo::shoptime
