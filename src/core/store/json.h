#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace quillerby {

// One value of a JSON document as the shop wrote it. Unlike QJsonValue it keeps every number's source text
// ("18.50" stays "18.50", an id of 20 digits stays exact), and objects keep their members in the order of
// the text. Values are immutable and cheap to copy (arrays and objects share their elements). A value may be
// read from several threads at once.
class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };
    struct Member;

    JsonValue() = default; // null

    static JsonValue fromBool(bool value);
    // `text` must be a JSON number (not checked: the parser is the usual source).
    static JsonValue fromNumberText(const QString& text);
    static JsonValue fromString(const QString& text);
    static JsonValue fromArray(QList<JsonValue> elements);
    // Later members of the same name hide earlier ones on lookup, as in most JSON readers.
    static JsonValue fromObject(QList<Member> members);

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::Null; }
    bool isBool() const { return m_type == Type::Bool; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isString() const { return m_type == Type::String; }
    bool isArray() const { return m_type == Type::Array; }
    bool isObject() const { return m_type == Type::Object; }

    // The value's text form: a string's content, a number's source text, "true"/"false", "null". Arrays
    // and objects have none and give an empty text.
    QString text() const;
    bool toBool() const { return m_type == Type::Bool && m_bool; }

    // Arrays: number of elements; objects: number of members (each name counted as often as it occurs);
    // anything else: 0.
    int size() const;
    // Element i of an array, member value i of an object. Raises Error when out of range or not a container.
    const JsonValue& at(int i) const;
    // Array elements / object members in document order (empty for anything else).
    const QList<JsonValue>& elements() const;
    const QList<Member>& members() const;

    // Objects only (false/null for anything else). Names may be given as u"id", "id" or a QString.
    bool contains(QAnyStringView name) const;
    // The member's value; a null value when the member is missing (test with contains() when absence and
    // an explicit null must be told apart).
    const JsonValue& operator[](QAnyStringView name) const;
    // The member's value; raises Error naming the member when it is missing or this is not an object.
    const JsonValue& member(QAnyStringView name) const;
    // The member's value, or nullptr when missing.
    const JsonValue* find(QAnyStringView name) const;

private:
    struct Container;
    Type m_type = Type::Null;
    bool m_bool = false;
    QString m_text;                               // string content or number text
    std::shared_ptr<const Container> m_container; // arrays and objects
};

struct JsonValue::Member {
    QString name;
    JsonValue value;
};

// Parses a complete JSON text (UTF-8, an optional byte-order mark is skipped). Raises Error stating the
// offset (bytes from the start), line and column of the first fault.
JsonValue parseJson(const QByteArray& utf8);

// The text of a member that must be there: raises Error naming the member when `object` lacks it or holds
// an array or object under that name.
QString requiredText(const JsonValue& object, QAnyStringView name);
// The text of a member that may be missing: `fallback` when it is missing or null.
QString optionalText(const JsonValue& object, QAnyStringView name, const QString& fallback = QString());

// `text` escaped for use between the double quotes of a JSON string: quotation mark, backslash and the
// control characters are escaped, everything else (non-ASCII included) is kept. No quotes are added.
QString jsonEscape(const QString& text);

} // namespace quillerby
