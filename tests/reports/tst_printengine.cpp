// The drawing operations on the recording device: units, right-aligned and centred texts, the
// centring caps, the underline's whole-twip arithmetic, the page header with and without a
// total, the missing-printer guard, and the criteria helpers (swap, date keys).
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

private slots:
    void init() {
        Session::reset();
        m_dialogs = ScriptedDialogs::install();
        Clock::setFixed(QDateTime(QDate(2024, 5, 20), QTime(14, 30, 5)));
        StatusText::clear();
    }

    void unitsConvertEveryCoordinate() {
        RecordingDevice device;
        PrintAt(device, 1100, 2600, "twips", "");
        PrintAt(device, 1, 2, "inches", "in");
        PrintAt(device, 10, 20, "millimetres", "MM");
        PrintAt(device, 10, 20, "centimetres", "cm");  // not a unit: twips
        verifyText(device, "twips", 2600, 1100);
        verifyText(device, "inches", 2880, 1440);
        verifyText(device, "millimetres", float(20 * 56.7), float(10 * 56.7));
        verifyText(device, "centimetres", 20, 10);

        PrintRule(device, 10, 5, 15, "mm");
        const Op rule = device.lines().last();
        QCOMPARE(rule.x, 5 * 56.7);
        QCOMPARE(rule.x2, 15 * 56.7);
        QCOMPARE(rule.y, 10 * 56.7);
        QCOMPARE(rule.y2, 10 * 56.7);
    }

    void rightAlignedAndCentredInACell() {
        RecordingDevice device;
        device.setFontSize(12);  // half-width 120, full-width 240 twips
        PrintRight(device, 1100, 5000, "ABC");
        verifyText(device, "ABC", 4640, 1100);
        PrintRight(device, 10, 100, "DEF", "mm");
        verifyText(device, "DEF", float(5670 - 360), float(567));
        PrintRight(device, 1100, 300, "wider than x");  // starts at the left edge of the page
        verifyText(device, "wider than x", 0, 1100);

        PrintCenteredIn(device, 2150, 1000, 2000, "財產");
        verifyText(device, "財產", 1260, 2150);
        PrintCenteredIn(device, 2150, 1000, 1500, "財產編號");  // wider than the cell
        verifyText(device, "財產編號", 1000, 2150);
    }

    void centringCaps_data() {
        QTest::addColumn<double>("paperWidth");
        QTest::addColumn<double>("paperHeight");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("portraitX");
        QTest::addColumn<double>("wideX");
        // "ABCD" in 12 points is 480 twips wide.
        QTest::newRow("A4 portrait") << 11906.0 << 16838.0 << false << 5410.0 << 5713.0;
        QTest::newRow("A4 landscape") << 11906.0 << 16838.0 << true << 5410.0 << 7860.0;
        QTest::newRow("narrow page") << 8000.0 << 12000.0 << false << 3760.0 << 3760.0;
        QTest::newRow("just below the cap") << 11300.0 << 16000.0 << false << 5410.0 << 5410.0;
    }

    void centringCaps() {
        QFETCH(double, paperWidth);
        QFETCH(double, paperHeight);
        QFETCH(bool, landscape);
        QFETCH(double, portraitX);
        QFETCH(double, wideX);
        RecordingDevice device(QSizeF(paperWidth, paperHeight));
        device.setFontSize(12);
        if (landscape) device.setOrientation(Orientation::Landscape);
        PrintCentered(device, 650, "ABCD");
        PrintCenteredWide(device, 700, "ABCD");
        QCOMPARE(device.texts().at(0).x, portraitX);
        QCOMPARE(device.texts().at(1).x, wideX);
        QCOMPARE(device.texts().at(1).y, 700.0);

        // The underline spans exactly the centred text.
        UnderlineCentered(device, 1000, "ABCD");
        UnderlineCenteredWide(device, 1, "ABCD", "in");
        const Op portrait = device.lines().at(0), wide = device.lines().at(1);
        QCOMPARE(portrait.x, portraitX);
        QCOMPARE(portrait.x2, portraitX + 480);
        QCOMPARE(wide.x, wideX);
        QCOMPARE(wide.x2, wideX + 480);
        QCOMPARE(wide.y, 1440.0);
    }

    void underlineWholeTwips() {
        RecordingDevice device;
        // 9.25 points: "A" is 92.5 twips. 11300 - 92.5 = 11207.5 rounds to the even 11208,
        // halved 5604; 5604 + 92.5 = 5696.5 rounds to the even 5696.
        device.setFontSize(9.25);
        UnderlineCentered(device, 1000, "A");
        QCOMPARE(device.lines().last().x, 5604.0);
        QCOMPARE(device.lines().last().x2, 5696.0);
        // 9.5 points: "A" is 95; 11205 halved drops the remainder: 5602, then 5697.
        device.setFontSize(9.5);
        UnderlineCentered(device, 1000, "A");
        QCOMPARE(device.lines().last().x, 5602.0);
        QCOMPARE(device.lines().last().x2, 5697.0);
        // Wider than the page: clamped at both ends.
        device.setFontSize(12);
        UnderlineCentered(device, 1000, QString(60, QChar(0x5b57)));
        QCOMPARE(device.lines().last().x, 0.0);
        QCOMPARE(device.lines().last().x2, 11300.0);
        // A centred text wider than the page starts at 0.
        PrintCentered(device, 650, QString(60, QChar(0x5b57)));
        QCOMPARE(device.texts().last().x, 0.0);
    }

    void pageHeaderWithTotal() {
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
        QCOMPARE(lines[0].y, 1000.0);
        QCOMPARE(lines[0].x, 4390.0);
        QCOMPARE(lines[0].x2, 6910.0);
        verifyText(device, "列印日期：113.05.20", 2600, 1100);
        QCOMPARE(device.text("列印日期：113.05.20")->size, 12.0);
        // "財產編號:A~B": 4 × 240 + 4 × 120 = 1440 between 2600 and 8600.
        verifyText(device, "財產編號:A~B", 2600 + (6000 - 1440) / 2.0, 1100);
        // 5 full-width and 6 half-width characters: 1920.
        verifyText(device, "第 2 頁，共 5 頁", 8600 - 1920, 1100);
        QCOMPARE(StatusText::text(), QString("目前進度：第 2 頁，共 5 頁"));
        QCOMPARE(lines[1].y, 1400.0);
        QCOMPARE(lines[2].y, 1380.0);
        for (const Op& rule : {lines[1], lines[2]}) {
            QCOMPARE(rule.x, 2600.0);
            QCOMPARE(rule.x2, 8600.0);
        }
    }

    void pageHeaderWithoutTotal() {
        Session::current().companyName = "晟嘉通公司";
        RecordingDevice device;
        device.setOrientation(Orientation::Landscape);
        PrintPageHeaderWide(device, "固定資產總表", "", 0, 15500, 3, 0);
        verifyText(device, "晟嘉通公司", (16200 - 1800) / 2.0, 300);
        verifyText(device, "固定資產總表", (16200 - 2160) / 2.0, 650);
        QCOMPARE(device.lines().at(0).x, 7020.0);
        QCOMPARE(device.lines().at(0).x2, 9180.0);
        verifyText(device, "列印日期：113.05.20", 0, 1100);
        verifyText(device, "頁次：3", 15500 - 840, 1100);
        QCOMPARE(StatusText::text(), QString("目前進度：第 3 頁"));
        int onDateLine = 0;
        for (const Op& op : device.texts()) onDateLine += op.y == 1100;
        QCOMPARE(onDateLine, 2);  // no subtitle in the middle
    }

    void printerMissing() {
        Session::current().printerReady = false;
        QVERIFY(PrinterMissing());
        QCOMPARE(m_dialogs->shown, QStringList{"您尚未安裝印表機,請先設定印表機"});
        Session::current().printerReady = true;
        QVERIFY(!PrinterMissing());
        QCOMPARE(m_dialogs->shown.size(), 1);
    }

    void swapTexts() {
        QLineEdit a("A001"), b(" ");
        SwapTexts(&a, &b);
        QCOMPARE(a.text(), QString(" "));
        QCOMPARE(b.text(), QString("A001"));
    }

    void dateKeys_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("toField");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        const QDate march(2024, 3, 15), january(2024, 1, 10);
        QTest::newRow("from F2 first of month") << march << false << int(Qt::Key_F2) << "113.03.01";
        QTest::newRow("from F3 first of last month")
            << march << false << int(Qt::Key_F3) << "113.02.01";
        QTest::newRow("from F3 in January") << january << false << int(Qt::Key_F3) << "112.12.01";
        QTest::newRow("from F4 first of year") << march << false << int(Qt::Key_F4) << "113.01.01";
        QTest::newRow("from F5 first of last year")
            << march << false << int(Qt::Key_F5) << "112.01.01";
        QTest::newRow("to F2 today") << march << true << int(Qt::Key_F2) << "113.03.15";
        QTest::newRow("to F3 leap February") << march << true << int(Qt::Key_F3) << "113.02.29";
        QTest::newRow("to F3 in January") << january << true << int(Qt::Key_F3) << "112.12.31";
        QTest::newRow("to F4 end of last year") << march << true << int(Qt::Key_F4) << "112.12.31";
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
        QVERIFY(toField ? ToDateKeys(key, box) : FromDateKeys(key, box));
        QCOMPARE(box->text(), expected);
        QVERIFY(next->hasFocus());  // a Tab moved on
    }

    void otherKeysDoNothing() {
        QLineEdit box("113.01.01");
        QVERIFY(!FromDateKeys(Qt::Key_F6, &box));
        QVERIFY(!ToDateKeys(Qt::Key_F5, &box));
        QVERIFY(!ToDateKeys(Qt::Key_A, &box));
        QCOMPARE(box.text(), QString("113.01.01"));
    }
};

QTEST_MAIN(TestPrintEngine)
#include "tst_printengine.moc"
