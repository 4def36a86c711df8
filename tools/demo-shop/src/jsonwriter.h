#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonValue>
#include <QString>
#include <QVarLengthArray>

namespace quillerby::demo {

// Appends compact JSON to a byte array, the way WordPress writes it: members in the order they are
// written, "/" escaped as "\/" and every non-ASCII character as \uXXXX (PHP's json_encode defaults).
// Clients must therefore decode escapes rather than compare raw bytes, as with a real shop.
// Much faster than building QJsonObjects, which matters when 200,000 orders are served.
class JsonWriter {
public:
    explicit JsonWriter(QByteArray& out) : m_out(out) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // `name` is an ASCII literal; it is written without escaping.
    JsonWriter& key(const char* name);

    JsonWriter& string(QStringView text);
    JsonWriter& string(const char* utf8) { return string(QByteArrayView(utf8)); }
    JsonWriter& string(const QByteArray& utf8) { return string(QByteArrayView(utf8)); }
    JsonWriter& string(QByteArrayView utf8);
    JsonWriter& number(qint64 value);
    JsonWriter& number(double value);
    // An amount of cents as WooCommerce writes totals: the text "1234.50".
    JsonWriter& money(qint64 cents);
    // An amount of cents as a JSON number with no trailing zeros (18.5, 3), as line-item prices are sent.
    JsonWriter& decimalNumber(qint64 cents);
    JsonWriter& boolean(bool value);
    JsonWriter& null();
    JsonWriter& value(const QJsonValue& value);
    // Already serialised JSON (one complete value).
    JsonWriter& raw(const QByteArray& json);

    // Shorthands for a member.
    JsonWriter& member(const char* name, QStringView text) { return key(name).string(text); }
    JsonWriter& member(const char* name, const char* utf8) { return key(name).string(utf8); }
    JsonWriter& member(const char* name, const QByteArray& utf8) { return key(name).string(utf8); }
    JsonWriter& member(const char* name, qint64 value) { return key(name).number(value); }
    JsonWriter& member(const char* name, int value) { return key(name).number(qint64(value)); }
    JsonWriter& memberBool(const char* name, bool value) { return key(name).boolean(value); }
    JsonWriter& memberMoney(const char* name, qint64 cents) { return key(name).money(cents); }

    static void appendEscaped(QByteArray& out, QStringView text);
    static void appendEscaped(QByteArray& out, QByteArrayView utf8);

private:
    void separate();

    QByteArray& m_out;
    QVarLengthArray<bool, 16> m_first; // per open container: nothing written in it yet
    bool m_afterKey = false;
};

// Cents as "1234.50" / as the shortest decimal "1234.5".
QByteArray moneyText(qint64 cents);
QByteArray decimalText(qint64 cents);

} // namespace quillerby::demo
