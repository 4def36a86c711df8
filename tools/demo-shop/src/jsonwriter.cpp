#include "jsonwriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace quillerby::demo {

namespace {
const char kHex[] = "0123456789abcdef";

// Numbers are written straight into the output: a temporary QByteArray per number is a heap
// allocation, and an order has dozens of them.
void appendInteger(QByteArray& out, qint64 value) {
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    const bool negative = value < 0;
    quint64 v = negative ? 0 - quint64(value) : quint64(value);
    do {
        *--p = char('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative)
        *--p = '-';
    out.append(p, end - p);
}

// "1234.50"; with `trim`, "1234.5" and "1234".
void appendCents(QByteArray& out, qint64 cents, bool trim) {
    if (cents < 0) {
        out += '-';
        cents = -cents;
    }
    appendInteger(out, cents / 100);
    const int frac = int(cents % 100);
    if (trim && frac == 0)
        return;
    out += '.';
    out += char('0' + frac / 10);
    if (!trim || frac % 10)
        out += char('0' + frac % 10);
}
} // namespace

QByteArray moneyText(qint64 cents) {
    QByteArray out;
    appendCents(out, cents, false);
    return out;
}

QByteArray decimalText(qint64 cents) {
    QByteArray out;
    appendCents(out, cents, true);
    return out;
}

void JsonWriter::separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.isEmpty()) {
        if (!m_first.last())
            m_out += ',';
        m_first.last() = false;
    }
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    m_out += '{';
    m_first.append(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    m_out += '}';
    m_first.removeLast();
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    m_out += '[';
    m_first.append(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    m_out += ']';
    m_first.removeLast();
    return *this;
}

JsonWriter& JsonWriter::key(const char* name) {
    separate();
    m_out += '"';
    m_out += name;
    m_out += "\":";
    m_afterKey = true;
    return *this;
}

namespace {

// Appends one UTF-16 code unit, escaped as PHP's json_encode does.
inline char* putUnit(char* p, char16_t c) {
    switch (c) {
    case '"':
        *p++ = '\\';
        *p++ = '"';
        return p;
    case '\\':
        *p++ = '\\';
        *p++ = '\\';
        return p;
    case '/':
        *p++ = '\\';
        *p++ = '/';
        return p;
    case '\b':
        *p++ = '\\';
        *p++ = 'b';
        return p;
    case '\f':
        *p++ = '\\';
        *p++ = 'f';
        return p;
    case '\n':
        *p++ = '\\';
        *p++ = 'n';
        return p;
    case '\r':
        *p++ = '\\';
        *p++ = 'r';
        return p;
    case '\t':
        *p++ = '\\';
        *p++ = 't';
        return p;
    default:
        if (c >= 0x20 && c < 0x7f) {
            *p++ = char(c);
        } else {
            *p++ = '\\';
            *p++ = 'u';
            *p++ = kHex[(c >> 12) & 15];
            *p++ = kHex[(c >> 8) & 15];
            *p++ = kHex[(c >> 4) & 15];
            *p++ = kHex[c & 15];
        }
        return p;
    }
}

} // namespace

// Both writers size the output once for the worst case (6 bytes a unit) and trim, instead of growing
// byte by byte: rendering orders is the hot path of a large shop's first pass.
void JsonWriter::appendEscaped(QByteArray& out, QStringView text) {
    const qsizetype start = out.size();
    out.resize(start + 2 + 6 * text.size());
    char* p = out.data() + start;
    *p++ = '"';
    for (const QChar qc : text)
        p = putUnit(p, qc.unicode());
    *p++ = '"';
    out.truncate(p - out.constData());
}

void JsonWriter::appendEscaped(QByteArray& out, QByteArrayView utf8) {
    const qsizetype start = out.size();
    out.resize(start + 2 + 6 * utf8.size());
    char* p = out.data() + start;
    *p++ = '"';
    const auto* s = reinterpret_cast<const uchar*>(utf8.data());
    const auto* end = s + utf8.size();
    while (s < end) {
        uint c = *s++;
        if (c >= 0x80) {
            // Decode one UTF-8 sequence; our texts are valid UTF-8, a stray byte becomes U+FFFD.
            int more = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : -1;
            c = more == 3 ? c & 0x07 : more == 2 ? c & 0x0f : c & 0x1f;
            if (more < 0 || end - s < more) {
                c = 0xfffd;
                more = 0;
            }
            for (; more > 0; --more)
                c = (c << 6) | (*s++ & 0x3f);
            if (c > 0xffff) {
                c -= 0x10000;
                p = putUnit(p, char16_t(0xd800 + (c >> 10)));
                c = 0xdc00 + (c & 0x3ff);
            }
        }
        p = putUnit(p, char16_t(c));
    }
    *p++ = '"';
    out.truncate(p - out.constData());
}

JsonWriter& JsonWriter::string(QStringView text) {
    separate();
    appendEscaped(m_out, text);
    return *this;
}

JsonWriter& JsonWriter::string(QByteArrayView utf8) {
    separate();
    appendEscaped(m_out, utf8);
    return *this;
}

JsonWriter& JsonWriter::number(qint64 value) {
    separate();
    appendInteger(m_out, value);
    return *this;
}

JsonWriter& JsonWriter::number(double value) {
    separate();
    m_out += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
    return *this;
}

JsonWriter& JsonWriter::money(qint64 cents) {
    separate();
    m_out += '"';
    appendCents(m_out, cents, false);
    m_out += '"';
    return *this;
}

JsonWriter& JsonWriter::decimalNumber(qint64 cents) {
    separate();
    appendCents(m_out, cents, true);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    separate();
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    m_out += "null";
    return *this;
}

JsonWriter& JsonWriter::raw(const QByteArray& json) {
    separate();
    m_out += json;
    return *this;
}

JsonWriter& JsonWriter::value(const QJsonValue& v) {
    switch (v.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        return null();
    case QJsonValue::Bool:
        return boolean(v.toBool());
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (d == double(qint64(d)) && qAbs(d) < 9e15)
            return number(qint64(d));
        return number(d);
    }
    case QJsonValue::String:
        return string(v.toString());
    case QJsonValue::Array: {
        beginArray();
        for (const QJsonValue& e : v.toArray())
            value(e);
        return endArray();
    }
    case QJsonValue::Object: {
        beginObject();
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            separate();
            appendEscaped(m_out, it.key());
            m_out += ':';
            m_afterKey = true;
            value(it.value());
        }
        return endObject();
    }
    }
    return null();
}

} // namespace quillerby::demo
