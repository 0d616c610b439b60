// The drawing operations on the recording device, the missing-printer guard and the date keys.
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

    // Units, alignment, underline ends in whole twips (half to even, halves cut), narrow paper.
    // Page headers with a total of pages and without (nothing in the middle); the company never
    // bold. No printer: said once, and the report stops; with one, nothing is said.
    void drawing() {
        RecordingDevice device;
        PrintAt(device, 10, 20, "millimetres", "MM");
        PrintAt(device, 10, 20, "centimetres", "cm");
        device.setFontSize(12);  // half-width 120 twips
        PrintRight(device, 1100, 5000, "ABC");
        PrintRight(device, 1100, 300, "wider than x");
        PrintCenteredIn(device, 2150, 1000, 2000, "財產");
        PrintCenteredIn(device, 2150, 1000, 1500, "財產編號");
        const QString wide(60, QChar(0x5b57));
        UnderlineCentered(device, 1000, wide);  // wider than the page: from 0
        device.setFontSize(9.25);  // "A" 92.5 twips: (11300 - 92.5) to the even 11208, halved
        UnderlineCentered(device, 1000, "A");
        device.setFontSize(9.5);  // 11205 halved drops the half
        UnderlineCentered(device, 1000, "A");
        QCOMPARE(drawn(device),
                 QStringList({"millimetres 1134,567", "centimetres 20,10", "ABC 4640,1100",
                              "wider than x 0,1100", "財產 1260,2150", "財產編號 1000,2150",
                              "0,1000-11300,1000", "5604,1000-5696,1000", "5602,1000-5697,1000"}));
        RecordingDevice narrow(QSizeF(8000, 12000));  // narrower than the caps: on the paper
        narrow.setFontSize(12);                       // "ABCD": 480 twips
        PrintCentered(narrow, 650, "ABCD");
        PrintCenteredWide(narrow, 700, "ABCD");
        UnderlineCentered(narrow, 1000, "ABCD");
        UnderlineCenteredWide(narrow, 1, "ABCD", "in");
        PrintCentered(narrow, 650, wide);
        QCOMPARE(drawn(narrow),
                 QStringList({"ABCD 3760,650", "ABCD 3760,700", "3760,1000-4240,1000",
                              "3760,1440-4240,1440", wide + " 0,650"}));
        Session::current().companyName = "晟嘉通公司";
        RecordingDevice header;
        header.setFontBold(true);
        PrintPageHeader(header, "固定資產明細表", "財產編號:A~B", 2600, 8600, 2, 5);
        QVERIFY(!header.text("晟嘉通公司")->bold);
        QCOMPARE(header.fontName(), QString("標楷體"));
        QCOMPARE(drawn(header), QStringList({"晟嘉通公司 4750,300", "固定資產明細表 4390,650",
                                             "4390,1000-6910,1000", "列印日期：113.05.20 2600,1100",
                                             "財產編號:A~B 4880,1100", "第 2 頁，共 5 頁 6680,1100",
                                             "2600,1400-8600,1400", "2600,1380-8600,1380"}));
        QCOMPARE(StatusText::text(), QString("目前進度：第 2 頁，共 5 頁"));
        RecordingDevice landscape;
        landscape.setOrientation(Orientation::Landscape);
        PrintPageHeaderWide(landscape, "固定資產總表", "", 0, 15500, 3, 0);
        QCOMPARE(drawn(landscape).mid(3, 2),
                 QStringList({"列印日期：113.05.20 0,1100", "頁次：3 14660,1100"}));
        QCOMPARE(StatusText::text(), QString("目前進度：第 3 頁"));
        Session::current().printerReady = false;
        QVERIFY(PrinterMissing());
        Session::current().printerReady = true;
        QVERIFY(!PrinterMissing());
        QCOMPARE(m_dialogs->shown, QStringList{"您尚未安裝印表機,請先設定印表機"});
    }

    // The criteria's date keys put a date in and Tab on; other keys are not taken.
    void dateKeys() {
        const QDate march(2024, 3, 15);
        QWidget window;
        auto* box = new QLineEdit(&window);
        auto* next = new QLineEdit(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Today, the "to" box or the "from" one, the key, the date put in (empty: not taken).
        for (const auto& [today, toField, key, expected] :
             {std::tuple{QDate(2024, 1, 10), false, Qt::Key_F3, QString("112.12.01")},
              std::tuple{march, false, Qt::Key_F5, QString("112.01.01")},
              std::tuple{march, true, Qt::Key_F3, QString("113.02.29")},  // leap February
              std::tuple{march, true, Qt::Key_F5, QString()}}) {
            Clock::setFixed(QDateTime(today, QTime(9, 0)));
            box->setText("old");
            box->setFocus();
            const bool taken = toField ? ToDateKeys(key, box) : FromDateKeys(key, box);
            QCOMPARE(taken, !expected.isEmpty());
            QCOMPARE(box->text(), taken ? expected : QString("old"));
            QCOMPARE(next->hasFocus(), taken);  // a Tab moved on
        }
    }
};

QTEST_MAIN(TestPrintEngine)
#include "tst_printengine.moc"
