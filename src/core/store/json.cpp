#include "store/json.h"

#include "common/error.h"

#include <QCoreApplication>

#include <algorithm>

namespace quillerby {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("Json", text);
}

const JsonValue& nullValue() {
    static const JsonValue value;
    return value;
}

const QList<JsonValue>& noElements() {
    static const QList<JsonValue> list;
    return list;
}

const QList<JsonValue::Member>& noMembers() {
    static const QList<JsonValue::Member> list;
    return list;
}

} // namespace

struct JsonValue::Container {
    QList<JsonValue> elements;
    QList<Member> members;
};

JsonValue JsonValue::fromBool(bool value) {
    JsonValue v;
    v.m_type = Type::Bool;
    v.m_bool = value;
    return v;
}

JsonValue JsonValue::fromNumberText(const QString& text) {
    JsonValue v;
    v.m_type = Type::Number;
    v.m_text = text;
    return v;
}

JsonValue JsonValue::fromString(const QString& text) {
    JsonValue v;
    v.m_type = Type::String;
    v.m_text = text;
    return v;
}

JsonValue JsonValue::fromArray(QList<JsonValue> elements) {
    JsonValue v;
    v.m_type = Type::Array;
    auto c = std::make_shared<Container>();
    c->elements = std::move(elements);
    v.m_container = std::move(c);
    return v;
}

JsonValue JsonValue::fromObject(QList<Member> members) {
    JsonValue v;
    v.m_type = Type::Object;
    auto c = std::make_shared<Container>();
    c->members = std::move(members);
    v.m_container = std::move(c);
    return v;
}

QString JsonValue::text() const {
    switch (m_type) {
    case Type::Null:
        return QStringLiteral("null");
    case Type::Bool:
        return m_bool ? QStringLiteral("true") : QStringLiteral("false");
    case Type::Number:
    case Type::String:
        return m_text;
    case Type::Array:
    case Type::Object:
        break;
    }
    return QString();
}

int JsonValue::size() const {
    if (m_type == Type::Array)
        return int(m_container->elements.size());
    if (m_type == Type::Object)
        return int(m_container->members.size());
    return 0;
}

const JsonValue& JsonValue::at(int i) const {
    if (i < 0 || i >= size())
        throw Error(tr("The answer has no element %1 (it has %2).").arg(i).arg(size()));
    return m_type == Type::Array ? m_container->elements.at(i) : m_container->members.at(i).value;
}

const QList<JsonValue>& JsonValue::elements() const {
    return m_type == Type::Array ? m_container->elements : noElements();
}

const QList<JsonValue::Member>& JsonValue::members() const {
    return m_type == Type::Object ? m_container->members : noMembers();
}

const JsonValue* JsonValue::find(QAnyStringView name) const {
    if (m_type != Type::Object)
        return nullptr;
    // Objects are small (an order has about 50 members), so a scan beats building an index per object.
    // Scanning from the end makes the last of duplicate names win.
    const QList<Member>& members = m_container->members;
    for (qsizetype i = members.size() - 1; i >= 0; --i) {
        if (members.at(i).name == name)
            return &members.at(i).value;
    }
    return nullptr;
}

bool JsonValue::contains(QAnyStringView name) const {
    return find(name) != nullptr;
}

const JsonValue& JsonValue::operator[](QAnyStringView name) const {
    const JsonValue* v = find(name);
    return v ? *v : nullValue();
}

const JsonValue& JsonValue::member(QAnyStringView name) const {
    if (const JsonValue* v = find(name))
        return *v;
    if (m_type != Type::Object)
        throw Error(
            tr("The answer has no object where the member \"%1\" was expected.").arg(name.toString()));
    throw Error(tr("The answer lacks the member \"%1\".").arg(name.toString()));
}

QString requiredText(const JsonValue& object, QAnyStringView name) {
    const JsonValue& v = object.member(name);
    if (v.isArray() || v.isObject())
        throw Error(tr("The answer's member \"%1\" is a list or an object where a text was expected.")
                        .arg(name.toString()));
    return v.text();
}

QString optionalText(const JsonValue& object, QAnyStringView name, const QString& fallback) {
    const JsonValue* v = object.find(name);
    if (!v || v->isNull())
        return fallback;
    return v->text();
}

namespace {

class Parser {
public:
    explicit Parser(const QByteArray& text)
        : m_begin(text.constData()), m_p(text.constData()), m_end(text.constData() + text.size()) {}

    JsonValue document() {
        if (m_end - m_p >= 3 && m_p[0] == '\xEF' && m_p[1] == '\xBB' && m_p[2] == '\xBF')
            m_p += 3;
        skipSpace();
        if (m_p == m_end)
            fail(tr("the text is empty"));
        JsonValue v = value(0);
        skipSpace();
        if (m_p != m_end)
            fail(tr("unexpected text after the end of the value"));
        return v;
    }

private:
    // Deep enough for any shop answer, shallow enough that a hostile answer cannot exhaust a worker
    // thread's stack.
    static constexpr int MaxDepth = 256;

    [[noreturn]] void fail(const QString& what) const { failAt(m_p, what); }

    [[noreturn]] void failAt(const char* at, const QString& what) const {
        int line = 1;
        const char* lineStart = m_begin;
        for (const char* c = m_begin; c < at; ++c) {
            if (*c == '\n') {
                ++line;
                lineStart = c + 1;
            }
        }
        throw Error(tr("The answer is not valid JSON: %1 at offset %2 (line %3, column %4).")
                        .arg(what, QString::number(at - m_begin), QString::number(line),
                             QString::number(at - lineStart + 1)));
    }

    [[noreturn]] void unexpected() const {
        if (m_p == m_end)
            fail(tr("the text ends too early"));
        const uchar c = uchar(*m_p);
        if (c >= 0x20 && c < 0x7f)
            fail(tr("unexpected character '%1'").arg(QChar(c)));
        fail(tr("unexpected byte 0x%1").arg(uint(c), 2, 16, QLatin1Char('0')));
    }

    void skipSpace() {
        while (m_p != m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }

    void expect(char c) {
        if (m_p == m_end || *m_p != c)
            unexpected();
        ++m_p;
    }

    JsonValue value(int depth) {
        if (m_p == m_end)
            unexpected();
        switch (*m_p) {
        case '{':
            return object(depth + 1);
        case '[':
            return array(depth + 1);
        case '"':
            return JsonValue::fromString(string());
        case 't':
            literal("true");
            return JsonValue::fromBool(true);
        case 'f':
            literal("false");
            return JsonValue::fromBool(false);
        case 'n':
            literal("null");
            return JsonValue();
        default:
            return JsonValue::fromNumberText(number());
        }
    }

    void literal(const char* word) {
        const char* start = m_p;
        for (const char* w = word; *w; ++w, ++m_p) {
            if (m_p == m_end || *m_p != *w)
                failAt(start, tr("unknown word (expected \"%1\")").arg(QLatin1String(word)));
        }
    }

    JsonValue array(int depth) {
        if (depth > MaxDepth)
            fail(tr("nesting deeper than %1 levels").arg(MaxDepth));
        ++m_p;
        QList<JsonValue> elements;
        skipSpace();
        if (m_p != m_end && *m_p == ']') {
            ++m_p;
            return JsonValue::fromArray(std::move(elements));
        }
        for (;;) {
            skipSpace();
            elements.append(value(depth));
            skipSpace();
            if (m_p != m_end && *m_p == ',') {
                ++m_p;
                continue;
            }
            expect(']');
            return JsonValue::fromArray(std::move(elements));
        }
    }

    JsonValue object(int depth) {
        if (depth > MaxDepth)
            fail(tr("nesting deeper than %1 levels").arg(MaxDepth));
        ++m_p;
        QList<JsonValue::Member> members;
        skipSpace();
        if (m_p != m_end && *m_p == '}') {
            ++m_p;
            return JsonValue::fromObject(std::move(members));
        }
        for (;;) {
            skipSpace();
            if (m_p == m_end || *m_p != '"')
                unexpected();
            QString name = string();
            skipSpace();
            expect(':');
            skipSpace();
            members.append({std::move(name), value(depth)});
            skipSpace();
            if (m_p != m_end && *m_p == ',') {
                ++m_p;
                continue;
            }
            expect('}');
            return JsonValue::fromObject(std::move(members));
        }
    }

    QString number() {
        const char* start = m_p;
        auto digits = [&] {
            const char* from = m_p;
            while (m_p != m_end && *m_p >= '0' && *m_p <= '9')
                ++m_p;
            return m_p - from;
        };
        if (m_p != m_end && *m_p == '-')
            ++m_p;
        if (m_p != m_end && *m_p == '0') {
            ++m_p; // JSON allows no leading zeros
        } else if (digits() == 0) {
            unexpected();
        }
        if (m_p != m_end && *m_p == '.') {
            ++m_p;
            if (digits() == 0)
                unexpected();
        }
        if (m_p != m_end && (*m_p == 'e' || *m_p == 'E')) {
            ++m_p;
            if (m_p != m_end && (*m_p == '+' || *m_p == '-'))
                ++m_p;
            if (digits() == 0)
                unexpected();
        }
        return QString::fromLatin1(start, m_p - start);
    }

    int hex4() {
        if (m_end - m_p < 4)
            fail(tr("incomplete \\u escape"));
        int v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_p[i];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                fail(tr("invalid \\u escape"));
            v = v * 16 + d;
        }
        m_p += 4;
        return v;
    }

    // m_p is on the opening quote. Most strings have no escapes: they are decoded in one piece.
    QString string() {
        const char* quote = m_p;
        ++m_p;
        const char* run = m_p;
        QString out;
        bool escaped = false;
        for (;;) {
            while (m_p != m_end && *m_p != '"' && *m_p != '\\' && uchar(*m_p) >= 0x20)
                ++m_p;
            if (m_p == m_end)
                failAt(quote, tr("string without its closing quote"));
            if (uchar(*m_p) < 0x20)
                fail(tr("control character inside a string"));
            if (*m_p == '"') {
                if (!escaped) {
                    out = QString::fromUtf8(run, m_p - run);
                } else {
                    out += QString::fromUtf8(run, m_p - run);
                }
                ++m_p;
                return out;
            }
            // A backslash: flush the run before it, then decode the escape.
            if (!escaped) {
                out.reserve(int(m_p - run) + 16);
                escaped = true;
            }
            out += QString::fromUtf8(run, m_p - run);
            ++m_p;
            if (m_p == m_end)
                failAt(quote, tr("string without its closing quote"));
            const char e = *m_p++;
            switch (e) {
            case '"':
                out += QLatin1Char('"');
                break;
            case '\\':
                out += QLatin1Char('\\');
                break;
            case '/':
                out += QLatin1Char('/');
                break;
            case 'b':
                out += QLatin1Char('\b');
                break;
            case 'f':
                out += QLatin1Char('\f');
                break;
            case 'n':
                out += QLatin1Char('\n');
                break;
            case 'r':
                out += QLatin1Char('\r');
                break;
            case 't':
                out += QLatin1Char('\t');
                break;
            case 'u': {
                const int unit = hex4();
                if (QChar::isHighSurrogate(char16_t(unit))) {
                    // Characters outside the basic plane come as a pair of escapes; keep a pair
                    // together and replace a lone half, which no text can hold.
                    if (m_end - m_p >= 6 && m_p[0] == '\\' && m_p[1] == 'u') {
                        const char* back = m_p;
                        m_p += 2;
                        const int low = hex4();
                        if (QChar::isLowSurrogate(char16_t(low))) {
                            out += QChar(char16_t(unit));
                            out += QChar(char16_t(low));
                            break;
                        }
                        m_p = back;
                    }
                    out += QChar(QChar::ReplacementCharacter);
                } else if (QChar::isLowSurrogate(char16_t(unit))) {
                    out += QChar(QChar::ReplacementCharacter);
                } else {
                    out += QChar(char16_t(unit));
                }
                break;
            }
            default:
                m_p -= 2;
                fail(tr("invalid escape in a string"));
            }
            run = m_p;
        }
    }

    const char* m_begin;
    const char* m_p;
    const char* m_end;
};

} // namespace

JsonValue parseJson(const QByteArray& utf8) {
    return Parser(utf8).document();
}

QString jsonEscape(const QString& text) {
    auto needsEscape = [](QChar c) {
        return c == QLatin1Char('"') || c == QLatin1Char('\\') || c.unicode() < 0x20;
    };
    if (std::none_of(text.begin(), text.end(), needsEscape))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (!needsEscape(c)) {
            out += c;
            continue;
        }
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\b':
            out += QLatin1String("\\b");
            break;
        case '\f':
            out += QLatin1String("\\f");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        }
    }
    return out;
}

} // namespace quillerby
