// The notice line: the notices asked for, texts and colours turning with the ticks, rereading.
#include <QLabel>
#include <QtTest>

#include "../common/FakeDatabase.h"
#include "Clock.h"
#include "NoticeWindow.h"
#include "ProgramExit.h"
#include "ScriptedDialogs.h"
#include "Session.h"

namespace {
ResultSets notices(const QStringList& texts) {
    ResultSet set{{"FBEGD", "FEND", "FDEPNO", "FSEQ", "FDATA"}, {}};
    for (const QString& t : texts) set.rows << QVariantList{"115.12.05", "115.12.31", "", 1, t};
    return {set};
}
const QColor kYellow(0xFF, 0xFF, 0x80);
}  // namespace

class TestNotices : public QObject {
    Q_OBJECT
    std::shared_ptr<FakeDatabase> m_db;
    QStringList m_texts;

    static void tickTimes(NoticeWindow& w, int n) {
        for (int i = 0; i < n; ++i) w.tick();
    }

private slots:
    void init() {
        Session::reset();
        Session::current().sessionOpen = true;
        Session::current().departmentNo = "D2";
        Clock::setFixed(QDateTime(QDate(2026, 12, 5), QTime(9, 0)));
        ScriptedDialogs::install();
        ProgramExit::throwOnEnd();
        m_db = FakeDatabase::install();
        m_texts = {"盤點通知", "年終尾牙"};
        m_db->answer = [this](const QString&) { return notices(m_texts); };
    }

    // The next notice and colour every fifteen ticks, wrapping; none at all is an empty grey line.
    void rotation() {
        const QStringList two = {"盤點通知", "年終尾牙"};
        const QColor plain = QPalette().color(QPalette::HighlightedText);
        const struct {
            QStringList texts;
            int ticks;
            QString text;
            QColor colour;
        } rows[] = {{two, 14, "盤點通知", plain},
                    {two, 15, "年終尾牙", kYellow},
                    {{"唯一公告"}, 16, "唯一公告", kYellow},  // past the last
                    {{"<img src='file:///dev/zero'>"}, 1, "<img src='file:///dev/zero'>", plain},
                    {{}, 1, "", QPalette().color(QPalette::Button)}};
        for (const auto& r : rows) {
            m_texts = r.texts;
            NoticeWindow w;
            w.load();
            tickTimes(w, r.ticks);
            QCOMPARE(w.noticeText(), r.text);
            QCOMPARE(w.noticeColour(), r.colour);
            QCOMPARE(w.findChild<QLabel*>("L2")->textFormat(), Qt::PlainText);  // never markup
        }
    }

    // The notices asked for (right 355: every department), reread on tick 601, none unsessioned.
    void queryAndRereading() {
        NoticeWindow w;
        w.load();
        const QString mine = "AND (FDEPNO = '' OR FDEPNO = 'D2') ";
        QCOMPARE(m_db->sent.value(0),
                 "SELECT * FROM F8DATA WHERE FBEGD <= '115.12.05' AND FEND >= '115.12.05' " + mine +
                     "ORDER BY FBEGD DESC,FSEQ DESC");
        Session::current().rightFlags[355] = true;
        QCOMPARE(NoticeWindow::noticeQuery("115.12.05"), QString(m_db->sent[0]).remove(mine));
        tickTimes(w, 600);
        QCOMPARE(m_db->sent.size(), 1);
        m_texts = {"新公告"};
        w.tick();  // 601: counter back to 0 and the list read again
        QCOMPARE(m_db->sent.size(), 2);
        w.tick();  // the count started over
        QCOMPARE(m_db->sent.size(), 2);
        QCOMPARE(w.noticeText(), QString("新公告"));
        Session::current().sessionOpen = false;
        m_db->sent.clear();
        NoticeWindow closed;
        closed.load();
        tickTimes(closed, 20);
        QVERIFY(m_db->sent.isEmpty());
        QCOMPARE(closed.counter(), 0);
    }
};

QTEST_MAIN(TestNotices)
#include "tst_notices.moc"
