// The report page protocol on the recording device: the page question, and sections that each
// start on a page of their own, with where the pages break, the continuation line, the closing
// rules and the footer, one document per page.
#include <QtTest>

#include "../shell/ScriptedDialogs.h"
#include "Clock.h"
#include "PrintEngine.h"
#include "RecordingDevice.h"
#include "ReportPage.h"
#include "Session.h"
#include "StatusText.h"

using Op = RecordingDevice::Operation;
using Orientation = PrintDevice::Orientation;

namespace {
// The portrait sections: 40 rows a page from y = 2400, rules from 2700 to 8500.
const ReportLayout Tall{40, 2170, 2700, 8500, Orientation::Portrait};

// The operations of each document, split at the ends of documents.
QList<QList<Op>> documents(const RecordingDevice& device) {
    QList<QList<Op>> split{{}};
    for (const Op& op : device.operations) {
        split.last() << op;
        if (op.kind == Op::Kind::EndDocument) split << QList<Op>{};
    }
    split.removeLast();
    return split;
}

QList<double> ruleHeights(const QList<Op>& ops) {
    QList<double> ys;
    for (const Op& op : ops)
        if (op.kind == Op::Kind::Line) ys << op.y;
    return ys;
}

const Op* findText(const QList<Op>& ops, const QString& text) {
    for (const Op& op : ops)
        if (op.kind == Op::Kind::Text && op.text.startsWith(text)) return &op;
    return nullptr;
}
}  // namespace

class TestReportPage : public QObject {
    Q_OBJECT
    ScriptedDialogs* m_dialogs = nullptr;

private slots:
    void init() {
        Session::reset();
        Session::current().staffName = "王小明";
        Session::current().printerReady = true;
        m_dialogs = ScriptedDialogs::install();
        Clock::setFixed(QDateTime(QDate(2024, 5, 20), QTime(14, 30, 5)));
    }

    // Pages for n rows; the question with its counts; the progress cleared and the end said.
    void questionAndEnd() {
        QCOMPARE(PagesFor(0, 35), 0);
        QCOMPARE(PagesFor(35, 35), 1);
        QCOMPARE(PagesFor(36, 35), 2);
        m_dialogs->answers = {Dialogs::Answer::Cancel, Dialogs::Answer::Ok};
        QVERIFY(!ConfirmPrint(36, 2));
        QVERIFY(ConfirmPrint(36, 2));
        QCOMPARE(m_dialogs->shown.first(), QString("共有 36 筆資料,共需 2 頁,確定要列印?"));
        StatusText::set("目前進度：第 2 頁，共 2 頁");
        ReportPrinted();
        QCOMPARE(StatusText::text(), QString());
        QCOMPARE(m_dialogs->shown.last(), QString("資料列印完畢!"));
    }

    // Sections of 0, 41, 3 and 3 rows (the detail report's way): each on pages of its own, every
    // page a document closed by the rules and the footer or the continuation line.
    void sectionsEachOnTheirOwnPages() {
        RecordingDevice device;
        int tops = 0;
        ReportPage pages(device, Tall, [&](int page) {
            ++tops;
            PrintAt(device, 1100, 2600, QString("page %1").arg(page));
        });
        pages.start();
        for (int lines : {0, 41, 3, 3}) {
            if (lines == 0) pages.printTopNow();
            for (int r = 1; r <= lines; ++r)
                PrintAt(device, pages.nextRow(), 2700, QString("L%1-%2").arg(lines).arg(r));
            pages.close();
        }
        QCOMPARE(pages.page(), 6);
        QCOMPARE(pages.row(), qint16(1));
        const QList<QList<Op>> docs = documents(device);
        QCOMPARE(docs.size(), 5);
        QCOMPARE(tops, 5);
        for (const QList<Op>& doc : docs) QCOMPARE(doc.last().kind, Op::Kind::EndDocument);
        QCOMPARE(docs[2].first().kind, Op::Kind::Orientation);  // turned again after a break
        QCOMPARE(docs[2].first().orientation, Orientation::Portrait);

        QVERIFY(findText(docs[0], "page 1"));
        QCOMPARE(ruleHeights(docs[0]), (QList<double>{2400, 2420}));
        QCOMPARE(findText(docs[0], "製單人:")->y, 2480.0);
        QCOMPARE(findText(docs[1], "L41-40")->y, 11370.0);
        QCOMPARE(ruleHeights(docs[1]), (QList<double>{11600, 11620}));
        QCOMPARE(findText(docs[1], "接下頁......")->y, 11680.0);
        QVERIFY(findText(docs[2], "page 3"));
        QCOMPARE(findText(docs[2], "L41-41")->y, 2400.0);
        QCOMPARE(ruleHeights(docs[2]), (QList<double>{2630, 2650}));
        for (int d : {3, 4}) {
            QVERIFY(findText(docs[d], QString("page %1").arg(d + 1)));
            QCOMPARE(ruleHeights(docs[d]), (QList<double>{3090, 3110}));
            QCOMPARE(findText(docs[d], "製單人:")->y, 3170.0);
            QVERIFY(!findText(docs[d], "接下頁"));
        }
    }
};

QTEST_MAIN(TestReportPage)
#include "tst_reportpage.moc"
