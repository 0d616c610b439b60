// Value rules: amounts, pictures, numbers, ROC dates, Big5 limits, LIKE prefixes, key filters.
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

    // Company decimals (9: two), half away from zero on 1.005, no -0, texts; a null shows two.
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
        QCOMPARE((QStringList{FormatWhole(-1234567), FormatWhole(QVariant()),
                              FormatWhole("-12,345.6"), FormatPicture(0, "###"),
                              FormatPicture(1.456, "0.0#"), FormatPicture(1.5, "0.0#")}),
                 (QStringList{"-1,234,567", "0", "-12,346", "", "1.46", "1.5"}));
        QCOMPARE((QList<double>{ToNumber("12abc"), ToNumber("1,234,567.5"), ToNumber("inf")}),
                 (QList<double>{0, 1234567.5, 0}));
    }

    // ROC dates dotted or compact, impossible and leap days, years past 999 and before 1912.
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

    // Big5 lengths and cuts (never inside a character); LIKE prefixes escape "_" and "[".
    void byteLimitsAndLikePrefixes() {
        const QString name = QStringLiteral("財產編號");
        QCOMPARE((QList<int>{Big5Length(name), Big5Length(QStringLiteral("€😀"))}),
                 (QList<int>{8, 3}));
        QCOMPARE((QStringList{LimitBytes(QStringLiteral("AB財產"), 5), LimitBytes(name, 8),
                              LimitBytes(name, 0), LikePrefix("A_1 [x]"), LikePrefix("50%")}),
                 (QStringList{QStringLiteral("AB財"), name, name, "A[_]1_[[]x]%", "50%%"}));
    }

    // Esc, Enter, Backspace and digits (and "." for decimals) pass, not Tab or a Big5 character.
    void keyFilters() {
        const int rows[][3] = {{27, 27, 27},    {13, 13, 13},  {8, 8, 8},   {'0', '0', '0'},
                               {'9', '9', '9'}, {'.', 0, '.'}, {'/', 0, 0}, {':', 0, 0},
                               {9, 0, 0},       {0x8CA1, 0, 0}};
        for (const auto& [code, digits, decimal] : rows)
            QCOMPARE((QList<int>{KeyDigitsOnly(code), KeyDecimalOnly(code)}),
                     (QList<int>{digits, decimal}));
        QCOMPARE(KeyNoQuote('\''), 0);
        for (int code : {int('a'), int('%'), 0x8CA1}) QCOMPARE(KeyNoQuote(code), code);
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
