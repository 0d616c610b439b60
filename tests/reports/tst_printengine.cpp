// The drawing operations on the recording device: units, right-aligned and centred texts, the
// centring caps, the underline's whole-twip arithmetic, the page header with and without a
// total, the missing-printer guard, and the date keys of the criteria.
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

#include "../shell/ScriptedDialogs.h"
#include "Clock.h"
#include "CriteriaKeys.h"
#include "PrintEngine.h"
#include "RecordingDevice.h"
#include "Session.h"
#include "StatusText.h"

using Op = RecordingDevice::Operation;
using Orientation = PrintDevice::Orientation;

class TestPrintEngine : public QObject {
    Q_OBJECT
    ScriptedDialogs* m_dialogs = nullptr;

    static void verifyText(const RecordingDevice& device, const QString& text, double x, double y) {
        const auto op = device.text(text);
        QVERIFY2(op, qPrintable("not printed: " + text));
        QCOMPARE(op->x, x);
        QCOMPARE(op->y, y);
    }
    // A horizontal rule at y from x to x2.
    static void verifyRule(const Op& rule, double y, double x, double x2) {
        QCOMPARE(rule.y, y);
        QCOMPARE(rule.y2, y);
        QCOMPARE(rule.x, x);
        QCOMPARE(rule.x2, x2);
    }

private slots:
    void init() {
        Session::reset();
        m_dialogs = ScriptedDialogs::install();
        Clock::setFixed(QDateTime(QDate(2024, 5, 20), QTime(14, 30, 5)));
        StatusText::clear();
    }

    // Units (any case; unknown: twips) convert every coordinate; aligned texts stop at edges.
    void placedTexts() {
        RecordingDevice device;
        PrintAt(device, 10, 20, "millimetres", "MM");
        PrintAt(device, 10, 20, "centimetres", "cm");
        verifyText(device, "millimetres", float(20 * 56.7), float(10 * 56.7));
        verifyText(device, "centimetres", 20, 10);

        PrintRule(device, 10, 5, 15, "mm");
        verifyRule(device.lines().last(), 10 * 56.7, 5 * 56.7, 15 * 56.7);

        // Right-aligned and centred in a cell.
        device.setFontSize(12);  // half-width 120, full-width 240 twips
        PrintRight(device, 1100, 5000, "ABC");
        verifyText(device, "ABC", 4640, 1100);
        PrintRight(device, 1100, 300, "wider than x");  // starts at the left edge of the page
        verifyText(device, "wider than x", 0, 1100);

        PrintCenteredIn(device, 2150, 1000, 2000, "財產");
        verifyText(device, "財產", 1260, 2150);
        PrintCenteredIn(device, 2150, 1000, 1500, "財產編號");  // wider than the cell
        verifyText(device, "財產編號", 1000, 2150);
    }

    // The portrait centring stops at 11300 twips, the wide one at 16200; the underline spans
    // exactly the centred text ("ABCD" in 12 points is 480 twips wide).
    void centringCaps() {
        const struct {
            QSizeF paper;
            bool landscape;
            double portraitX, wideX;
        } cases[] = {{{11906, 16838}, true, 5410, 7860}, {{8000, 12000}, false, 3760, 3760}};
        for (const auto& c : cases) {
            RecordingDevice device(c.paper);
            device.setFontSize(12);
            if (c.landscape) device.setOrientation(Orientation::Landscape);
            PrintCentered(device, 650, "ABCD");
            PrintCenteredWide(device, 700, "ABCD");
            verifyText(device, "ABCD", c.portraitX, 650);
            QCOMPARE(device.texts().at(1).x, c.wideX);
            QCOMPARE(device.texts().at(1).y, 700.0);
            UnderlineCentered(device, 1000, "ABCD");
            UnderlineCenteredWide(device, 1, "ABCD", "in");
            verifyRule(device.lines().at(0), 1000, c.portraitX, c.portraitX + 480);
            verifyRule(device.lines().at(1), 1440, c.wideX, c.wideX + 480);
        }
    }

    // The underline's ends in whole twips (half to even, halves cut), clamped to the page.
    void underlineWholeTwips() {
        RecordingDevice device;
        // 9.25 points: "A" is 92.5 twips. 11300 - 92.5 = 11207.5 rounds to the even 11208,
        // halved 5604; 5604 + 92.5 = 5696.5 rounds to the even 5696.
        device.setFontSize(9.25);
        UnderlineCentered(device, 1000, "A");
        verifyRule(device.lines().last(), 1000, 5604, 5696);
        // 9.5 points: "A" is 95; 11205 halved drops the remainder: 5602, then 5697.
        device.setFontSize(9.5);
        UnderlineCentered(device, 1000, "A");
        verifyRule(device.lines().last(), 1000, 5602, 5697);
        // Wider than the page: clamped at both ends.
        device.setFontSize(12);
        UnderlineCentered(device, 1000, QString(60, QChar(0x5b57)));
        verifyRule(device.lines().last(), 1000, 0, 11300);
        // A centred text wider than the page starts at 0.
        PrintCentered(device, 650, QString(60, QChar(0x5b57)));
        QCOMPARE(device.texts().last().x, 0.0);
    }

    // With a total of pages (portrait, a subtitle) and without (landscape, no subtitle).
    void pageHeaders() {
        Session::current().companyName = "晟嘉通公司";  // 5 × 360 = 1800 at 18 points
        RecordingDevice device;
        device.setFontBold(true);
        PrintPageHeader(device, "固定資產明細表", "財產編號:A~B", 2600, 8600, 2, 5);

        verifyText(device, "晟嘉通公司", (11300 - 1800) / 2.0, 300);
        QCOMPARE(device.text("晟嘉通公司")->size, 18.0);
        QVERIFY(!device.text("晟嘉通公司")->bold);
        QCOMPARE(device.fontName(), QString("標楷體"));
        verifyText(device, "固定資產明細表", (11300 - 2520) / 2.0, 650);
        const QList<Op> lines = device.lines();
        QCOMPARE(lines.size(), 3);
        verifyRule(lines[0], 1000, 4390, 6910);
        verifyText(device, "列印日期：113.05.20", 2600, 1100);
        QCOMPARE(device.text("列印日期：113.05.20")->size, 12.0);
        // "財產編號:A~B": 4 × 240 + 4 × 120 = 1440 between 2600 and 8600.
        verifyText(device, "財產編號:A~B", 2600 + (6000 - 1440) / 2.0, 1100);
        // 5 full-width and 6 half-width characters: 1920.
        verifyText(device, "第 2 頁，共 5 頁", 8600 - 1920, 1100);
        QCOMPARE(StatusText::text(), QString("目前進度：第 2 頁，共 5 頁"));
        verifyRule(lines[1], 1400, 2600, 8600);
        verifyRule(lines[2], 1380, 2600, 8600);

        RecordingDevice wide;
        wide.setOrientation(Orientation::Landscape);
        PrintPageHeaderWide(wide, "固定資產總表", "", 0, 15500, 3, 0);
        verifyText(wide, "晟嘉通公司", (16200 - 1800) / 2.0, 300);
        verifyText(wide, "固定資產總表", (16200 - 2160) / 2.0, 650);
        verifyRule(wide.lines().at(0), 1000, 7020, 9180);
        verifyText(wide, "列印日期：113.05.20", 0, 1100);
        verifyText(wide, "頁次：3", 15500 - 840, 1100);
        QCOMPARE(StatusText::text(), QString("目前進度：第 3 頁"));
        int onDateLine = 0;
        for (const Op& op : wide.texts()) onDateLine += op.y == 1100;
        QCOMPARE(onDateLine, 2);  // no subtitle in the middle
    }

    // No printer: said once, and the report stops; with one, nothing is said.
    void printerMissing() {
        Session::current().printerReady = false;
        QVERIFY(PrinterMissing());
        QCOMPARE(m_dialogs->shown, QStringList{"您尚未安裝印表機,請先設定印表機"});
        Session::current().printerReady = true;
        QVERIFY(!PrinterMissing());
        QCOMPARE(m_dialogs->shown.size(), 1);
    }

    // The date keys of the criteria: a date put in and the focus on, or (other keys) nothing.
    void dateKeys_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("toField");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");  // empty: the key is not taken
        const QDate march(2024, 3, 15), january(2024, 1, 10);
        QTest::newRow("from F2") << march << false << int(Qt::Key_F2) << "113.03.01";
        QTest::newRow("from F3 January") << january << false << int(Qt::Key_F3) << "112.12.01";
        QTest::newRow("from F5") << march << false << int(Qt::Key_F5) << "112.01.01";
        QTest::newRow("from F6") << march << false << int(Qt::Key_F6) << "";
        QTest::newRow("to F3 leap February") << march << true << int(Qt::Key_F3) << "113.02.29";
        QTest::newRow("to F3 January") << january << true << int(Qt::Key_F3) << "112.12.31";
        QTest::newRow("to F5") << march << true << int(Qt::Key_F5) << "";
    }

    void dateKeys() {
        QFETCH(QDate, today);
        QFETCH(bool, toField);
        QFETCH(int, key);
        QFETCH(QString, expected);
        Clock::setFixed(QDateTime(today, QTime(9, 0)));
        QWidget window;
        auto* box = new QLineEdit("old", &window);
        auto* next = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(next);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        const bool taken = toField ? ToDateKeys(key, box) : FromDateKeys(key, box);
        QCOMPARE(taken, !expected.isEmpty());
        QCOMPARE(box->text(), taken ? expected : QString("old"));
        QCOMPARE(next->hasFocus(), taken);  // a Tab moved on
    }
};

QTEST_MAIN(TestPrintEngine)
#include "tst_printengine.moc"
