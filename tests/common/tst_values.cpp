// The value rules without a widget: amounts, pictures, numbers, ROC dates, Big5 byte limits,
// LIKE prefixes and key filters.
#include <QtTest>

#include "Clock.h"
#include "Session.h"
#include "Values.h"

namespace {
const QDate kToday(2024, 5, 6);
}  // namespace

class TestValues : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Session::reset();
        Clock::setFixed(QDateTime(kToday, QTime(9, 30)));
    }
    void cleanup() { Clock::setFixed(QDateTime()); }

    // The company's decimals (9 means two), half away from zero on the decimal value.
    void amounts_data() {
        QTest::addColumn<QString>("decimals");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none rounds") << "0" << QVariant(1234.5) << "1,235";
        QTest::newRow("nine counts as two") << "9" << QVariant(1234.5) << "1,234.50";
        QTest::newRow("1.005 up") << "2" << QVariant(1.005) << "1.01";
        QTest::newRow("-2.5 away") << "0" << QVariant(-2.5) << "-3";
        QTest::newRow("carry") << "2" << QVariant(999999.995) << "1,000,000.00";
        QTest::newRow("no minus zero") << "2" << QVariant(-0.004) << "0.00";
        QTest::newRow("text") << "2" << QVariant(" 1,234.5 ") << "1,234.50";
        QTest::newRow("bad text") << "2" << QVariant("abc") << "0.00";
        QTest::newRow("zero, none") << "0" << QVariant(0) << "0";
        QTest::newRow("null, none") << "0" << QVariant() << "0.00";
    }
    void amounts() {
        QFETCH(QString, decimals);
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        Session::current().amountDecimals = decimals;
        QCOMPARE(FormatAmount(value), expected);
    }

    // Whole numbers ignore the decimals; optional picture digits; a text not wholly a number is 0.
    void wholeNumbersPicturesAndNumbers() {
        Session::current().amountDecimals = "4";
        QCOMPARE(FormatWhole(-1234567), "-1,234,567");
        QCOMPARE(FormatWhole(QVariant()), "0");
        QCOMPARE(FormatWhole(0.5), "1");
        QCOMPARE(FormatWhole(-0.4), "0");
        QCOMPARE(FormatWhole("12,345.6"), "12,346");

        QCOMPARE(FormatPicture(0, "###"), "");
        QCOMPARE(FormatPicture(1.456, "0.0#"), "1.46");
        QCOMPARE(FormatPicture(1.5, "0.0#"), "1.5");

        QCOMPARE(ToNumber("12abc"), 0.0);
        QCOMPARE(ToNumber("  7 "), 7.0);
        QCOMPARE(ToNumber("1,234,567.5"), 1234567.5);
        QCOMPARE(ToNumber("inf"), 0.0);
    }

    // ROC dates dotted or compact; impossible and leap days; years past 999 and before 1912.
    void rocDates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");  // what RocToDate gives
        QTest::addColumn<bool>("valid");  // what IsRocDate says
        const QDate nov1(2010, 11, 1);
        QTest::newRow("six digits") << "991101" << nov1 << true;
        QTest::newRow("six chars dotted") << "99.1.1" << QDate(2010, 1, 1) << true;
        QTest::newRow("blanks") << " 99 . 11 . 1 " << nov1 << true;
        QTest::newRow("feb 30") << "099.02.30" << ZeroDate() << false;
        QTest::newRow("no leap day") << "0990229" << ZeroDate() << false;
        QTest::newRow("leap day") << "1010229" << QDate(2012, 2, 29) << true;
        QTest::newRow("compact letters") << "099ab01" << ZeroDate() << false;
        QTest::newRow("year 999") << "999.12.31" << QDate(2910, 12, 31) << true;
        QTest::newRow("year 1000") << "1000.01.01" << QDate(2911, 1, 1) << false;
        QTest::newRow("before 1912") << "-001.06.05" << QDate(1910, 6, 5) << true;
        QTest::newRow("empty") << "" << kToday << false;
        QTest::newRow("one point") << "099.1101" << kToday << false;
        QTest::newRow("five digits") << "99111" << kToday << false;
    }
    void rocDates() {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QFETCH(bool, valid);
        QCOMPARE(RocToDate(text), date);
        QCOMPARE(IsRocDate(text), valid);
        if (valid) QCOMPARE(RocToDate(DateToRoc(date)), date);
    }

    // The stored form: leading zeros, the year 100, a year before 1912 as a negative one.
    void datesToRoc() {
        QCOMPARE(DateToRoc(QDate(2010, 11, 1)), "099.11.01");
        QCOMPARE(DateToRoc(QDate(2011, 12, 31)), "100.12.31");
        QCOMPARE(DateToRoc(QDate(1910, 6, 5)), "-001.06.05");
    }

    // Lengths in code page 950 bytes ("?" for what it lacks); a cut never splits a character.
    // LIKE prefixes escape the server's wildcards "_" and "["; "%" stays a wildcard.
    void byteLimitsAndLikePrefixes() {
        const QString name = QStringLiteral("財產編號");
        QCOMPARE(Big5Length(name), 8);
        QCOMPARE(Big5Length(QStringLiteral("€")), 2);
        QCOMPARE(Big5Length(QStringLiteral("😀")), 1);
        QCOMPARE(LimitBytes(name, 5), QStringLiteral("財產"));
        QCOMPARE(LimitBytes(QStringLiteral("AB財C"), 4), QStringLiteral("AB財"));
        QCOMPARE(LimitBytes(name, 8), name);
        QCOMPARE(LimitBytes(name, 0), name);
        QCOMPARE(LikePrefix("A_1 [x]"), "A[_]1_[[]x]%");
        QCOMPARE(LikePrefix(""), "%");
        QCOMPARE(LikePrefix("50%"), "50%%");
    }

    // Esc, Enter, Backspace and digits (and "." for decimals) pass, not Tab or a Big5 character.
    void keyFilters() {
        for (int code : {27, 13, 8, int('0'), int('9')}) {
            QCOMPARE(KeyDigitsOnly(code), code);
            QCOMPARE(KeyDecimalOnly(code), code);
        }
        QCOMPARE(KeyDigitsOnly('.'), 0);
        QCOMPARE(KeyDecimalOnly('.'), int('.'));
        for (int code : {int('a'), int('-'), int('/'), int(':'), 9, 0x8CA1}) {
            QCOMPARE(KeyDigitsOnly(code), 0);
            QCOMPARE(KeyDecimalOnly(code), 0);
        }
        QCOMPARE(KeyNoQuote('\''), 0);
        for (int code : {int('a'), int('%'), 0x8CA1}) QCOMPARE(KeyNoQuote(code), code);
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
