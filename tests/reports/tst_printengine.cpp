// The drawing operations on the recording device: units, aligned texts, the centring caps, the
// underline's whole twips, the page headers, the missing-printer guard and the date keys.
#include <QLineEdit>
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

    // Every text as "text x,y" and every line as "x,y-x2,y2", in the order drawn.
    static QStringList drawn(const RecordingDevice& device) {
        const auto n = [](double v) { return QString::number(v, 'g', 12); };
        QStringList out;
        for (const Op& op : device.operations) {
            if (op.kind == Op::Kind::Text) out << op.text + ' ' + n(op.x) + ',' + n(op.y);
            if (op.kind == Op::Kind::Line)
                out << n(op.x) + ',' + n(op.y) + '-' + n(op.x2) + ',' + n(op.y2);
        }
        return out;
    }

private slots:
    void init() {
        Session::reset();
        m_dialogs = ScriptedDialogs::install();
        Clock::setFixed(QDateTime(QDate(2024, 5, 20), QTime(14, 30, 5)));
        StatusText::clear();
    }

    // Units (any case) convert every coordinate; aligned texts stop at the edges: right-aligned
    // at 5000 and at 300 (wider: from the page's left edge), centred between 1000 and 2000 and
    // between 1000 and 1500 (wider: from the cell's left). 12 points: half-width 120 twips.
    void placedTexts() {
        RecordingDevice device;
        PrintAt(device, 10, 20, "millimetres", "MM");
        PrintAt(device, 10, 20, "centimetres", "cm");
        device.setFontSize(12);
        PrintRight(device, 1100, 5000, "ABC");
        PrintRight(device, 1100, 300, "wider than x");
        PrintCenteredIn(device, 2150, 1000, 2000, "財產");
        PrintCenteredIn(device, 2150, 1000, 1500, "財產編號");
        QCOMPARE(drawn(device),
                 QStringList({"millimetres 1134,567", "centimetres 20,10", "ABC 4640,1100",
                              "wider than x 0,1100", "財產 1260,2150", "財產編號 1000,2150"}));
    }

    // On paper narrower than the caps (11300 twips, wide 16200, both shown by the headers) the
    // centring is on the paper; the underline spans exactly the text, here given in inches.
    void centringOnNarrowPaper() {
        RecordingDevice device(QSizeF(8000, 12000));
        device.setFontSize(12);  // "ABCD": 480 twips
        PrintCentered(device, 650, "ABCD");
        PrintCenteredWide(device, 700, "ABCD");
        UnderlineCentered(device, 1000, "ABCD");
        UnderlineCenteredWide(device, 1, "ABCD", "in");
        QCOMPARE(drawn(device), QStringList({"ABCD 3760,650", "ABCD 3760,700",
                                             "3760,1000-4240,1000", "3760,1440-4240,1440"}));
    }

    // The underline's ends in whole twips (half to even, halves cut), clamped to the page:
    // at 9.25 points "A" is 92.5 twips, 11300 - 92.5 = 11207.5 rounds to the even 11208,
    // halved 5604, and 5604 + 92.5 to the even 5696; at 9.5 points 11205 halved drops the
    // remainder: 5602, then 5697. A text wider than the page is centred from 0.
    void underlineWholeTwips() {
        RecordingDevice device;
        const QString wide(60, QChar(0x5b57));
        device.setFontSize(9.25);
        UnderlineCentered(device, 1000, "A");
        device.setFontSize(9.5);
        UnderlineCentered(device, 1000, "A");
        device.setFontSize(12);
        UnderlineCentered(device, 1000, wide);
        PrintCentered(device, 650, wide);
        QCOMPARE(drawn(device), QStringList({"5604,1000-5696,1000", "5602,1000-5697,1000",
                                             "0,1000-11300,1000", wide + " 0,650"}));
    }

    // With a total of pages (portrait, a subtitle centred between the margins, the page right-
    // aligned) and without (landscape, nothing in the middle); the company's name in the
    // header's face and not bold, whatever the device had.
    void pageHeaders() {
        Session::current().companyName = "晟嘉通公司";
        RecordingDevice device;
        device.setFontBold(true);
        PrintPageHeader(device, "固定資產明細表", "財產編號:A~B", 2600, 8600, 2, 5);
        QVERIFY(!device.text("晟嘉通公司")->bold);
        QCOMPARE(device.fontName(), QString("標楷體"));
        QCOMPARE(drawn(device), QStringList({"晟嘉通公司 4750,300", "固定資產明細表 4390,650",
                                             "4390,1000-6910,1000", "列印日期：113.05.20 2600,1100",
                                             "財產編號:A~B 4880,1100", "第 2 頁，共 5 頁 6680,1100",
                                             "2600,1400-8600,1400", "2600,1380-8600,1380"}));
        QCOMPARE(StatusText::text(), QString("目前進度：第 2 頁，共 5 頁"));

        RecordingDevice wide;
        wide.setOrientation(Orientation::Landscape);
        PrintPageHeaderWide(wide, "固定資產總表", "", 0, 15500, 3, 0);
        QCOMPARE(drawn(wide),
                 QStringList({"晟嘉通公司 7200,300", "固定資產總表 7020,650", "7020,1000-9180,1000",
                              "列印日期：113.05.20 0,1100", "頁次：3 14660,1100",
                              "0,1400-15500,1400", "0,1380-15500,1380"}));
        QCOMPARE(StatusText::text(), QString("目前進度：第 3 頁"));
    }

    // No printer: said once, and the report stops; with one, nothing is said.
    void printerMissing() {
        Session::current().printerReady = false;
        QVERIFY(PrinterMissing());
        Session::current().printerReady = true;
        QVERIFY(!PrinterMissing());
        QCOMPARE(m_dialogs->shown, QStringList{"您尚未安裝印表機,請先設定印表機"});
    }

    // The date keys of the criteria: a date put in and a Tab on, or (other keys) nothing.
    void dateKeys_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("toField");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");  // empty: the key is not taken
        const QDate march(2024, 3, 15), january(2024, 1, 10);
        QTest::newRow("from F3 January") << january << false << int(Qt::Key_F3) << "112.12.01";
        QTest::newRow("from F5") << march << false << int(Qt::Key_F5) << "112.01.01";
        QTest::newRow("to F3 leap February") << march << true << int(Qt::Key_F3) << "113.02.29";
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
