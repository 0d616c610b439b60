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

    // The company's decimals (9 means two), half away from zero on the decimal value (1.005),
    // no minus zero, a text read as a number; a null shows two decimals even with none.
    void amounts() {
        const struct {
            const char* decimals;
            QVariant value;
            const char* expected;
        } rows[] = {
            {"0", 1234.5, "1,235"},         {"9", 1234.5, "1,234.50"},
            {"2", 1.005, "1.01"},           {"0", -2.5, "-3"},
            {"2", -0.004, "0.00"},          {"0", QVariant(), "0.00"},
            {"2", " 1,234.5 ", "1,234.50"},
        };
        for (const auto& r : rows) {
            Session::current().amountDecimals = r.decimals;
            QCOMPARE(FormatAmount(r.value), QString(r.expected));
        }
    }

    // Whole numbers ignore the decimals; optional picture digits; a text not wholly a number is 0.
    void wholeNumbersPicturesAndNumbers() {
        Session::current().amountDecimals = "4";
        QCOMPARE(FormatWhole(-1234567), "-1,234,567");
        QCOMPARE(FormatWhole(QVariant()), "0");
        QCOMPARE(FormatWhole(0.5), "1");
        QCOMPARE(FormatWhole("-12,345.6"), "-12,346");

        QCOMPARE(FormatPicture(0, "###"), "");
        QCOMPARE(FormatPicture(1.456, "0.0#"), "1.46");
        QCOMPARE(FormatPicture(1.5, "0.0#"), "1.5");

        QCOMPARE(ToNumber("12abc"), 0.0);
        QCOMPARE(ToNumber("1,234,567.5"), 1234567.5);
        QCOMPARE(ToNumber("inf"), 0.0);
    }

    // ROC dates dotted or compact; impossible and leap days; years past 999 and before 1912;
    // what RocToDate gives (today for no date at all) and what IsRocDate says.
    void rocDates() {
        const struct {
            const char* text;
            QDate date;
            bool valid;
        } rows[] = {
            {"991101", QDate(2010, 11, 1), true},
            {"99.1.1", QDate(2010, 1, 1), true},  // six characters, but dotted
            {" 99 . 11 . 1 ", QDate(2010, 11, 1), true},
            {"099.02.30", ZeroDate(), false},
            {"1010229", QDate(2012, 2, 29), true},
            {"999.12.31", QDate(2910, 12, 31), true},
            {"1000.01.01", QDate(2911, 1, 1), false},
            {"-001.06.05", QDate(1910, 6, 5), true},
            {"", kToday, false},
            {"099.1101", kToday, false},
        };
        for (const auto& r : rows) {
            QCOMPARE(RocToDate(r.text), r.date);
            QVERIFY2(IsRocDate(r.text) == r.valid, r.text);
            if (r.valid) QCOMPARE(RocToDate(DateToRoc(r.date)), r.date);
        }
        // The stored form: leading zeros, a year before 1912 as a negative one.
        QCOMPARE(DateToRoc(QDate(2010, 11, 1)), "099.11.01");
        QCOMPARE(DateToRoc(QDate(1910, 6, 5)), "-001.06.05");
    }

    // Lengths in code page 950 bytes ("?" for what it lacks); a cut never splits a character.
    // LIKE prefixes escape the server's wildcards "_" and "["; "%" stays a wildcard.
    void byteLimitsAndLikePrefixes() {
        const QString name = QStringLiteral("財產編號");
        QCOMPARE(Big5Length(name), 8);
        QCOMPARE(Big5Length(QStringLiteral("€😀")), 3);
        QCOMPARE(LimitBytes(QStringLiteral("AB財產"), 5), QStringLiteral("AB財"));
        QCOMPARE(LimitBytes(name, 8), name);
        QCOMPARE(LimitBytes(name, 0), name);
        QCOMPARE(LikePrefix("A_1 [x]"), "A[_]1_[[]x]%");
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
        for (int code : {int('/'), int(':'), 9, 0x8CA1}) {
            QCOMPARE(KeyDigitsOnly(code), 0);
            QCOMPARE(KeyDecimalOnly(code), 0);
        }
        QCOMPARE(KeyNoQuote('\''), 0);
        for (int code : {int('a'), int('%'), 0x8CA1}) QCOMPARE(KeyNoQuote(code), code);
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
