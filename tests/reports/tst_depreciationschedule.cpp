// The detail report's schedule of a hundred-year asset on the embedded database.
#include <QMap>
#include <QTableView>
#include <QtTest>

#include "../Controls.h"
#include "../shell/ScriptedDialogs.h"
#include "../suitedb/DemoFolder.h"
#include "DetailReport.h"
#include "EmbeddedDatabase.h"
#include "FieldBox.h"
#include "ProgramExit.h"
#include "RecordingDevice.h"
#include "Session.h"
#include "Values.h"

namespace {
struct Line {
    QString date;
    double amount;
    QString voucher;  // blank: still to post
};

// By definition: each month with lines to post, their sum, the posted sum up to and including
// that month, and the value less that; as printed. (Dates of one length sort as text.)
QList<QStringList> directly(const QList<Line>& lines, double value) {
    const auto amount = [](double v) { return FormatPicture(v, QStringLiteral("#,##0.00")); };
    QMap<QString, double> toPost;
    for (const Line& l : lines)
        if (l.voucher.trimmed().isEmpty()) toPost[l.date] += l.amount;
    QList<QStringList> shown;
    for (auto it = toPost.cbegin(); it != toPost.cend(); ++it) {
        double done = 0;
        for (const Line& l : lines)
            if (!l.voucher.trimmed().isEmpty() && l.date <= it.key()) done += l.amount;
        shown << QStringList{it.key(), amount(it.value()), amount(done), amount(value - done)};
    }
    return shown;
}
}  // namespace

class TestDepreciationSchedule : public QObject {
    Q_OBJECT
    std::unique_ptr<DemoFolder> m_folder;
    std::shared_ptr<EmbeddedDatabase> m_db;

    static constexpr int Months = 1200;
    static constexpr double Value = 1500000.0 - 60000.0 - 12345.67;
    QList<Line> m_lines;

private slots:
    // 1,200 months from 2011, 700 posted, adjustments, a split month, a blank voucher, a 15th.
    void initTestCase() {
        ProgramExit::throwOnEnd();
        ScriptedDialogs::install();
        Session::reset();
        m_folder = std::make_unique<DemoFolder>();
        m_db = std::make_shared<EmbeddedDatabase>(m_folder->database());
        Connections::setFactory([db = m_db](const QString&) { return db; });
        const double monthly = std::round(Value / Months * 100) / 100;
        for (int m = 0; m < Months; ++m) {
            const QString date = DateToRoc(QDate(2011, 1, 1).addMonths(m + 1).addDays(-1));
            const double a =
                m < Months - 1 ? monthly : std::round((Value - m * monthly) * 100) / 100;
            if (m == 349)
                m_lines << Line{date, a - 100, ""} << Line{date, 100, ""};
            else
                m_lines << Line{date, a, m == 499 ? " " : ""};
            if (m < 700) m_lines << Line{date, a, QString("JV%1").arg(m)};
            if (m < 700 && m % 97 == 0) m_lines << Line{date, 12.34, QString("ADJ%1").arg(m)};
        }
        m_lines << Line{"105.06.15", 55.55, "JV-MID"};
        SqliteConnection& sql = m_db->connection();
        sql.transaction([&] {
            sql.exec(
                "INSERT INTO Asset (ACODE, ANAME, ACOD1, ADAT1, ATOTA, ATOT1, AYEAR, ATOT2) VALUES "
                "('ZL0001', '百年設備', '1441', '100.01.01', 1500000, 60000, 1200, 12345.67)");
            for (const Line& l : std::as_const(m_lines))
                sql.exec(
                    "INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES ('ZL0001', ?1, ?2, ?3)",
                    {l.date, l.amount, l.voucher});
        });
    }

    void cleanupTestCase() {
        Connections::closeAll();
        m_db.reset();
    }

    // Shown and printed with the sums the lines give: month ends, cents, the mid-month posting.
    void runningSumsOfAHundredYears() {
        const QList<QStringList> expected = directly(m_lines, Value);
        QCOMPARE(expected.size(), Months);
        DetailReport w;
        w.show();
        for (int c : {0, 1}) w.criteria(c)->setText(QStringLiteral("ZL0001"));
        w.runQuery();
        QCOMPARE(control<QTableView>(&w, "DGR2b")->model()->rowCount(), Months);
        QCOMPARE(w.countPages(), Months / 40);
        RecordingDevice device;
        w.printOn(device, Months / 40);
        QStringList printed;
        for (const auto& op : device.texts()) printed << op.text;
        qsizetype at = 0;
        for (const QStringList& line : expected) {
            at = printed.indexOf(line[0], at);
            QVERIFY2(at >= 0, qPrintable("not printed: " + line[0]));
            QCOMPARE(printed.mid(at, 4), line);
        }
    }
};

QTEST_MAIN(TestDepreciationSchedule)
#include "tst_depreciationschedule.moc"
