#include "core/common/amounts.h"

#include <QtTest>

using quillerby::formatAmount;
using quillerby::parseAmount;
using quillerby::RegionalSeparators;

namespace {
const QString kComma = QStringLiteral(",");
const QString kDot = QStringLiteral(".");
const RegionalSeparators kEnglish{QLatin1Char(','), QLatin1Char('.')};
const RegionalSeparators kGerman{QLatin1Char('.'), QLatin1Char(',')};
// Qt's French locale groups with a narrow no-break space.
const RegionalSeparators kFrench{QChar(0x202F), QLatin1Char(',')};
} // namespace

Q_DECLARE_METATYPE(RegionalSeparators)

class TestAmounts : public QObject {
    Q_OBJECT

private slots:
    void format_data();
    void format();
    void parse_data();
    void parse();
    void formattedAmountsReadBack_data();
    void formattedAmountsReadBack();
};

void TestAmounts::format_data() {
    QTest::addColumn<QString>("thousandsSep");
    QTest::addColumn<QString>("decimalSep");
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("num");
    QTest::addColumn<RegionalSeparators>("regional");
    QTest::addColumn<QString>("expected");

    // Default settings: grouping and exactly the configured decimals.
    QTest::newRow("grouped") << kComma << kDot << 2 << 1234567.891 << kEnglish << "1,234,567.89";
    QTest::newRow("below one") << kComma << kDot << 2 << 0.5 << kEnglish << "0.50";
    QTest::newRow("zero") << kComma << kDot << 2 << 0.0 << kEnglish << "0.00";
    QTest::newRow("negative") << kComma << kDot << 2 << -1234.5 << kEnglish << "-1,234.50";
    QTest::newRow("three decimals") << kComma << kDot << 3 << 98765.4321 << kEnglish << "98,765.432";
    QTest::newRow("no decimals") << kComma << kDot << 0 << 1234.5 << kEnglish << "1,235";
    QTest::newRow("no decimals, carry") << kComma << kDot << 0 << 999.5 << kEnglish << "1,000";
    QTest::newRow("no decimals, below half") << kComma << kDot << 0 << 0.4 << kEnglish << "0";

    // One group separator per group, none in front of a full first group.
    QTest::newRow("hundred thousand") << kComma << kDot << 2 << 100000.0 << kEnglish << "100,000.00";
    QTest::newRow("million") << kComma << kDot << 2 << 1000000.0 << kEnglish << "1,000,000.00";
    QTest::newRow("billion") << kComma << kDot << 2 << 1234567890.12 << kEnglish << "1,234,567,890.12";

    // The written separators are the regional ones, not the picture's.
    QTest::newRow("german") << kComma << kDot << 2 << 1234567.891 << kGerman << "1.234.567,89";
    QTest::newRow("french")
        << kComma << kDot << 2 << 1234567.891 << kFrench
        << QString(QStringLiteral("1x234x567,89")).replace(QLatin1Char('x'), QChar(0x202F));

    // "." as thousands separator becomes the picture's decimal point: no grouping, "##0" are decimals.
    QTest::newRow("dot separator") << kDot << kDot << 2 << 1234.5 << kEnglish << "1234.50000";
    QTest::newRow("dot separator, no decimals") << kDot << kDot << 0 << 12.0 << kEnglish << "12.000";
    QTest::newRow("dot separator, millions")
        << kDot << kDot << 2 << 1234567.891 << kEnglish << "1234567.89100";
    QTest::newRow("dot separator, german") << kDot << kDot << 2 << 1234.5 << kGerman << "1234,50000";
    QTest::newRow("dot separator, below one") << kDot << kDot << 2 << 0.5 << kEnglish << "0.50000";
    // An empty separator setting (a fresh settings row) simply leaves grouping off.
    QTest::newRow("no separator") << QString() << kDot << 2 << 1234567.891 << kEnglish << "1234567.89";
    // Without "." in the picture every place is an integer place; the "00" demand leading zeros.
    QTest::newRow("no decimal point") << kComma << QString() << 2 << 5.4 << kEnglish << "005";

    // Signs: dropped when the amount rounds to zero, kept in front of any group separator.
    QTest::newRow("negative to zero") << kComma << kDot << 2 << -0.004 << kEnglish << "0.00";
    QTest::newRow("negative zero") << kComma << kDot << 2 << -0.0 << kEnglish << "0.00";
    QTest::newRow("negative rounds away") << kComma << kDot << 2 << -0.005 << kEnglish << "-0.01";
    QTest::newRow("negative carry to group") << kComma << kDot << 2 << -999.995 << kEnglish << "-1,000.00";

    // Rounding: half away from zero on the 18-digit decimal value of the stored double.
    QTest::newRow("2.675 stored below") << kComma << kDot << 2 << 2.675 << kEnglish << "2.67";
    QTest::newRow("0.125 exact half") << kComma << kDot << 2 << 0.125 << kEnglish << "0.13";
    QTest::newRow("half, no decimals") << kComma << kDot << 0 << 2.5 << kEnglish << "3";
    QTest::newRow("negative half") << kComma << kDot << 0 << -2.5 << kEnglish << "-3";
    // 0.154999999999999999 at 18 digits; a 17-digit rendering would read 0.155 and round up.
    QTest::newRow("0.155 at 18 digits") << kComma << kDot << 2 << 0.155 << kEnglish << "0.15";
    // 1000.00500000000000 at 18 digits although the double lies below the half.
    QTest::newRow("1000.005 at 18 digits") << kComma << kDot << 2 << 1000.005 << kEnglish << "1,000.01";
    // The double is 12345678901234567168; only 17 significant digits are written.
    QTest::newRow("17 significant digits")
        << kComma << kDot << 2 << 12345678901234567890.0 << kEnglish << "12,345,678,901,234,567,000.00";

    // Amounts differing only beyond the configured decimals look the same.
    QTest::newRow("beyond decimals a") << kComma << kDot << 2 << 1.234 << kEnglish << "1.23";
    QTest::newRow("beyond decimals b") << kComma << kDot << 2 << 1.2349 << kEnglish << "1.23";
}

void TestAmounts::format() {
    QFETCH(QString, thousandsSep);
    QFETCH(QString, decimalSep);
    QFETCH(int, digits);
    QFETCH(double, num);
    QFETCH(RegionalSeparators, regional);
    QFETCH(QString, expected);

    QCOMPARE(formatAmount(thousandsSep, decimalSep, digits, num, regional), expected);
}

void TestAmounts::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");

    QTest::newRow("plain integer") << "12" << true << 12.0;
    QTest::newRow("shop decimal") << "12.5" << true << 12.5;
    QTest::newRow("english grouped") << "1,234,567.89" << true << 1234567.89;
    QTest::newRow("german grouped") << "1.234.567,89" << true << 1234567.89;
    QTest::newRow("negative grouped") << "-1,234.50" << true << -1234.5;
    QTest::newRow("plus sign") << "+12" << true << 12.0;
    QTest::newRow("spaces trimmed") << "  12.5 " << true << 12.5;
    QTest::newRow("dot separator output") << "1234.50000" << true << 1234.5;
    QTest::newRow("dot separator, no decimals") << "12.000" << true << 12.0;
    // A lone "." is always the decimal point; a lone "," only when not followed by exactly 3 digits.
    QTest::newRow("lone dot, three digits") << "1.234" << true << 1.234;
    QTest::newRow("lone comma, three digits") << "1,234" << true << 1234.0;
    QTest::newRow("decimal comma") << "0,5" << true << 0.5;
    QTest::newRow("decimal comma, two digits") << "12,50" << true << 12.5;
    QTest::newRow("decimal comma, four digits") << "1,2345" << true << 1.2345;
    QTest::newRow("repeated commas group") << "1,000,000" << true << 1000000.0;
    QTest::newRow("repeated dots group") << "1.000.000" << true << 1000000.0;
    QTest::newRow("no integer digits") << ".5" << true << 0.5;
    QTest::newRow("no fraction digits") << "5." << true << 5.0;
    QTest::newRow("grouped, empty fraction") << "1,234." << true << 1234.0;

    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blank") << "   " << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("trailing letter") << "12a" << false << 0.0;
    QTest::newRow("exponent") << "1e5" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("double sign") << "--5" << false << 0.0;
    QTest::newRow("separator only") << "." << false << 0.0;
    QTest::newRow("space inside") << "1 234" << false << 0.0;
    QTest::newRow("single-digit groups") << "1,2,3" << false << 0.0;
    QTest::newRow("short middle group") << "1,23,4.5" << false << 0.0;
    QTest::newRow("long middle group") << "1,2345,678" << false << 0.0;
    QTest::newRow("long first group") << "1234,567.5" << false << 0.0;
    QTest::newRow("empty first group") << ",123" << false << 0.0;
    QTest::newRow("mixed separators") << "1.2.3,4.5" << false << 0.0;
}

void TestAmounts::parse() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);

    const std::optional<double> parsed = parseAmount(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestAmounts::formattedAmountsReadBack_data() {
    QTest::addColumn<QString>("thousandsSep");
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("num");
    QTest::addColumn<RegionalSeparators>("regional");
    QTest::addColumn<double>("rounded");

    QTest::newRow("thousands") << kComma << 2 << 1234.5 << kEnglish << 1234.5;
    QTest::newRow("millions") << kComma << 2 << 1234567.891 << kEnglish << 1234567.89;
    QTest::newRow("negative millions") << kComma << 2 << -7654321.126 << kEnglish << -7654321.13;
    QTest::newRow("billions, one decimal") << kComma << 1 << 123456789012.34 << kEnglish << 123456789012.3;
    QTest::newRow("three decimals") << kComma << 3 << 98765.4321 << kEnglish << 98765.432;
    QTest::newRow("no decimals") << kComma << 0 << 1234.5 << kEnglish << 1235.0;
    QTest::newRow("no decimals, millions") << kComma << 0 << 2345678.9 << kEnglish << 2345679.0;
    QTest::newRow("german millions") << kComma << 2 << 1234567.891 << kGerman << 1234567.89;
    QTest::newRow("german thousands") << kComma << 2 << 1000.0 << kGerman << 1000.0;
    QTest::newRow("dot separator") << kDot << 2 << 1234.5 << kEnglish << 1234.5;
    QTest::newRow("dot separator, german") << kDot << 2 << 1234.5 << kGerman << 1234.5;
}

void TestAmounts::formattedAmountsReadBack() {
    QFETCH(QString, thousandsSep);
    QFETCH(int, digits);
    QFETCH(double, num);
    QFETCH(RegionalSeparators, regional);
    QFETCH(double, rounded);

    const QString text = formatAmount(thousandsSep, kDot, digits, num, regional);
    const std::optional<double> parsed = parseAmount(text);
    QVERIFY2(parsed.has_value(), qPrintable(text));
    QCOMPARE(*parsed, rounded);
}

QTEST_APPLESS_MAIN(TestAmounts)
#include "tst_amounts.moc"
