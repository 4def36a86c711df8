#include "common/error.h"
#include "store/json.h"

#include <QtTest>

using namespace quillerby;

namespace {

// Writes a parsed tree back in a compact form that shows what the reader kept: numbers unquoted with their
// source text, strings quoted with their decoded content (not escaped), members in their order.
QString dump(const JsonValue& v) {
    switch (v.type()) {
    case JsonValue::Type::Null:
    case JsonValue::Type::Bool:
    case JsonValue::Type::Number:
        return v.text();
    case JsonValue::Type::String:
        return QLatin1Char('"') + v.text() + QLatin1Char('"');
    case JsonValue::Type::Array: {
        QStringList parts;
        for (const JsonValue& e : v.elements())
            parts << dump(e);
        return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    case JsonValue::Type::Object: {
        QStringList parts;
        for (const JsonValue::Member& m : v.members())
            parts << QLatin1Char('"') + m.name + QStringLiteral("\":") + dump(m.value);
        return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
    }
    }
    return QString();
}

} // namespace

class TestJson : public QObject {
    Q_OBJECT

private slots:
    void readsValuesAsWritten_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");
        QTest::newRow("numbers keep their text")
            << QByteArray("[18.50, 0, -0.5, 1e3, 2.50E-2, 12345678901234567890, 9007199254740993]")
            << QStringLiteral("[18.50,0,-0.5,1e3,2.50E-2,12345678901234567890,9007199254740993]");
        QTest::newRow("order members in document order")
            << QByteArray(R"({"id": 727, "total": "29.35", "price": 18.50, "compound": false,
                               "rate_percent": null, "billing": {"first_name": "John"}, "a": 1})")
            << QStringLiteral(
                   R"({"id":727,"total":"29.35","price":18.50,"compound":false,"rate_percent":null,)"
                   R"("billing":{"first_name":"John"},"a":1})");
        QTest::newRow("simple escapes") << QByteArray("[\"a\\\"b\\\\c\\/d\\b\\f\\n\\r\\t\"]")
                                        << QStringLiteral("[\"a\"b\\c/d\b\f\n\r\t\"]");
        QTest::newRow("unicode escapes")
            << QByteArray("[\"caf\\u00e9 \\u20AC\"]") << QStringLiteral("[\"caf\u00e9 \u20ac\"]");
        QTest::newRow("surrogate pair")
            << QByteArray("[\"\\ud83d\\ude00!\"]") << QString::fromUtf8("[\"\xF0\x9F\x98\x80!\"]");
        QTest::newRow("lone surrogates are replaced") << QByteArray("[\"\\ud83d x \\ude00 \\ud83d\\u0041\"]")
                                                      << QStringLiteral("[\"\ufffd x \ufffd \ufffdA\"]");
        QTest::newRow("raw UTF-8 next to escapes") << QByteArray("[\"Zo\xC3\xAB \\\"\xE2\x9C\x93\\\"\"]")
                                                   << QStringLiteral("[\"Zo\u00eb \"\u2713\"\"]");
        QTest::newRow("byte-order mark and white space")
            << QByteArray("\xEF\xBB\xBF \r\n\t[ ]\n") << QStringLiteral("[]");
        QTest::newRow("empty containers") << QByteArray(R"({"a":[],"b":{},"c":[[1],{}]})")
                                          << QStringLiteral(R"({"a":[],"b":{},"c":[[1],{}]})");
        QTest::newRow("scalar document") << QByteArray("\"x\"") << QStringLiteral("\"x\"");
    }
    void readsValuesAsWritten() {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        QCOMPARE(dump(parseJson(json)), expected);
    }

    void rejectsInvalidJsonNamingThePlace_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected"); // part of the message
        QTest::newRow("empty") << QByteArray("  ") << QStringLiteral("the text is empty at offset 2");
        QTest::newRow("trailing comma") << QByteArray("[1,]") << QStringLiteral("character ']' at offset 3");
        QTest::newRow("cut off") << QByteArray("{\"a\":1") << QStringLiteral("ends too early at offset 6");
        QTest::newRow("leading zero") << QByteArray("[01]") << QStringLiteral("character '1' at offset 2");
        QTest::newRow("fraction without digits") << QByteArray("[1.]") << QStringLiteral("offset 3");
        QTest::newRow("unclosed string")
            << QByteArray("[1, \"abc") << QStringLiteral("closing quote at offset 4");
        QTest::newRow("missing colon")
            << QByteArray(R"({"a" 1})") << QStringLiteral("character '1' at offset 5");
        QTest::newRow("bad escape") << QByteArray("[\"a\\x\"]")
                                    << QStringLiteral("invalid escape in a string at offset 3");
        QTest::newRow("bad unicode escape")
            << QByteArray("[\"\\u12G4\"]") << QStringLiteral("invalid \\u escape");
        QTest::newRow("raw line break in a string")
            << QByteArray("[\"a\nb\"]") << QStringLiteral("control character inside a string at offset 3");
        QTest::newRow("unknown word")
            << QByteArray("[tru]") << QStringLiteral("(expected \"true\") at offset 1");
        QTest::newRow("text after the value")
            << QByteArray("[1] 2") << QStringLiteral("after the end of the value at offset 4");
        QTest::newRow("line and column")
            << QByteArray("[\n 1,\n ?]") << QStringLiteral("offset 7 (line 3, column 2)");
        QTest::newRow("hostile nesting") << QByteArray(100000, '[') << QStringLiteral("nesting deeper than");
    }
    void rejectsInvalidJsonNamingThePlace() {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        try {
            parseJson(json);
            QFAIL("no error raised");
        } catch (const Error& e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("The answer is not valid JSON: ")),
                     qPrintable(e.message()));
            QVERIFY2(e.message().contains(expected), qPrintable(e.message()));
        }
    }

    void objectAccess() {
        const JsonValue order =
            parseJson(R"({"id": 727, "note": null, "items": [1], "status": "a", "status": "b"})");
        QVERIFY(order.contains(u"note"));
        QVERIFY(!order.contains("missing"));
        QVERIFY(order[u"missing"].isNull());
        QCOMPARE(order[u"note"].text(), QStringLiteral("null"));
        QCOMPARE(order[u"status"].text(), QStringLiteral("b")); // the last of duplicate names wins
        QCOMPARE(requiredText(order, u"id"), QStringLiteral("727"));
        QCOMPARE(optionalText(order, u"note", QStringLiteral("-")), QStringLiteral("-"));
        QCOMPARE(optionalText(order, u"missing"), QString());
        QCOMPARE(order.at(0).text(), QStringLiteral("727"));
        QVERIFY(order[u"items"].text().isEmpty());

        const auto raises = [](const std::function<void()>& read, const QString& expected) {
            try {
                read();
            } catch (const Error& e) {
                return e.message().contains(expected);
            }
            return false;
        };
        QVERIFY(raises([&] { order.member(u"currency"); }, QStringLiteral("\"currency\"")));
        QVERIFY(raises([&] { requiredText(order, u"date_created"); }, QStringLiteral("\"date_created\"")));
        QVERIFY(raises([&] { requiredText(order, u"items"); }, QStringLiteral("\"items\"")));
        QVERIFY(raises([&] { order[u"items"].member(u"total"); }, QStringLiteral("\"total\"")));
        QVERIFY(raises([&] { order[u"items"].at(1); }, QStringLiteral("element 1")));
    }

    void escapesForWriting_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QStringLiteral("ck_0123abc") << QStringLiteral("ck_0123abc");
        QTest::newRow("quote and backslash") << QStringLiteral("a\"b\\c") << QStringLiteral("a\\\"b\\\\c");
        QTest::newRow("controls") << QStringLiteral("\r\n\t\b\f") + QChar(0x01) + QChar(0x1f)
                                  << QStringLiteral("\\r\\n\\t\\b\\f\\u0001\\u001f");
        QTest::newRow("kept as is") << QStringLiteral("https://sh\u00f6p.example/a?b=1 \u2713")
                                    << QStringLiteral("https://sh\u00f6p.example/a?b=1 \u2713");
    }
    void escapesForWriting() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(jsonEscape(text), expected);
        // Whatever we write, a reader gets the same text back.
        QCOMPARE(parseJson(QByteArray("\"") + jsonEscape(text).toUtf8() + "\"").text(), text);
    }
};

QTEST_GUILESS_MAIN(TestJson)
#include "tst_json.moc"
