// The detail report's schedule on the embedded database: an asset of a hundred years with
// posted months, adjustments, a month of two lines and a posting between months, shown and
// printed with the running sums that a direct computation from its lines gives.
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

bool posted(const Line& l) { return !l.voucher.trimmed().isEmpty(); }
QString amount(double value) { return FormatPicture(value, QStringLiteral("#,##0.00")); }

// The schedule by its definition: every month with lines still to post, their sum, the sum of
// every posted line up to and including that month, and the value less that; as printed.
QList<QStringList> directly(const QList<Line>& lines, double value) {
    QMap<QString, double> toPost;  // the dates are of one length: text order is date order
    for (const Line& l : lines)
        if (!posted(l)) toPost[l.date] += l.amount;
    QList<QStringList> shown;
    for (auto it = toPost.cbegin(); it != toPost.cend(); ++it) {
        double done = 0;
        for (const Line& l : lines)
            if (posted(l) && l.date <= it.key()) done += l.amount;
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
    // A hundred years from January 2011 (ROC 100), the value spread to the cent with the rest
    // in the last month; the first 700 months posted, every 97th with an adjustment; month 350
    // in two lines, month 500's voucher blank; a posting on the 15th of a month.
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
                m_lines << Line{date, a - 100, QString()} << Line{date, 100, QString()};
            else
                m_lines << Line{date, a, m == 499 ? QStringLiteral(" ") : QString()};
            if (m < 700) m_lines << Line{date, a, QStringLiteral("JV%1").arg(m)};
            if (m < 700 && m % 97 == 0)
                m_lines << Line{date, 12.34, QStringLiteral("ADJ%1").arg(m)};
        }
        m_lines << Line{QStringLiteral("105.06.15"), 55.55, QStringLiteral("JV-MID")};

        SqliteConnection& sql = m_db->connection();
        sql.transaction([&] {
            sql.exec(QStringLiteral(
                "INSERT INTO Asset (ACODE, ANAME, ACOD1, ADAT1, ATOTA, ATOT1, AYEAR, ATOT2) "
                "VALUES ('ZL0001', '百年設備', '1441', '100.01.01', 1500000, 60000, 1200, "
                "12345.67)"));
            for (const Line& l : std::as_const(m_lines))
                sql.exec(QStringLiteral("INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES "
                                        "('ZL0001', ?1, ?2, ?3)"),
                         {l.date, l.amount, l.voucher});
        });
    }

    void cleanupTestCase() {
        Connections::closeAll();
        m_db.reset();
    }

    // The window reads the schedule, shows as many lines and prints them with the sums that
    // the lines give: month ends, cents and the posting between months all counted right.
    void runningSumsOfAHundredYears() {
        const QList<QStringList> expected = directly(m_lines, Value);
        QCOMPARE(expected.size(), Months);
        DetailReport w;
        w.show();
        w.criteria(0)->setText(QStringLiteral("ZL0001"));
        w.criteria(1)->setText(QStringLiteral("ZL0001"));
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
