// The notice line: which notices are asked for, the rotation of texts and colours by the timer
// ticks, the grey empty line, and reading the list again.
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

    void ticks(NoticeWindow& w, int n) {
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

    void queryByDepartmentOrAll() {
        NoticeWindow w;
        w.load();
        QCOMPARE(m_db->sent.value(0),
                 QString("SELECT * FROM F8DATA WHERE FBEGD <= '115.12.05' AND FEND >= '115.12.05' "
                         "AND (FDEPNO = '' OR FDEPNO = 'D2') ORDER BY FBEGD DESC,FSEQ DESC"));
        Session::current().rightFlags[355] = true;
        QCOMPARE(NoticeWindow::noticeQuery("115.12.05"),
                 QString("SELECT * FROM F8DATA WHERE FBEGD <= '115.12.05' AND FEND >= '115.12.05' "
                         "ORDER BY FBEGD DESC,FSEQ DESC"));
    }

    void rotationEveryFifteenTicks() {
        NoticeWindow w;
        w.load();
        const QColor plain = QPalette().color(QPalette::HighlightedText);
        w.tick();
        QCOMPARE(w.noticeText(), QString("盤點通知"));
        QCOMPARE(w.noticeColour(), plain);
        ticks(w, 13);  // tick 14: unchanged
        QCOMPARE(w.noticeText(), QString("盤點通知"));
        w.tick();  // 15
        QCOMPARE(w.noticeText(), QString("年終尾牙"));
        QCOMPARE(w.noticeColour(), kYellow);
        ticks(w, 15);  // 30: past the last, back to the first
        QCOMPARE(w.noticeText(), QString("盤點通知"));
        QCOMPARE(w.noticeColour(), plain);
    }

    void singleNoticeOnlyChangesColour() {
        m_texts = {"唯一公告"};
        NoticeWindow w;
        w.load();
        w.tick();
        const QColor first = w.noticeColour();
        ticks(w, 15);
        QCOMPARE(w.noticeText(), QString("唯一公告"));
        QVERIFY(w.noticeColour() != first);
        ticks(w, 15);
        QCOMPARE(w.noticeColour(), first);
    }

    void noNoticesGiveAGreyLine() {
        m_texts = {};
        NoticeWindow w;
        w.load();
        w.tick();
        QCOMPARE(w.noticeText(), QString());
        QCOMPARE(w.noticeColour(), QPalette().color(QPalette::Button));
    }

    void listIsReadAgainAfterTenMinutes() {
        NoticeWindow w;
        w.load();
        ticks(w, 600);
        QCOMPARE(m_db->sent.size(), 1);
        m_texts = {"新公告"};
        w.tick();  // 601: counter back to 0 and the list read again
        QCOMPARE(m_db->sent.size(), 2);
        QCOMPARE(w.counter(), 0);
        w.tick();
        QCOMPARE(w.noticeText(), QString("新公告"));
    }

    void nothingWithoutSession() {
        Session::current().sessionOpen = false;
        NoticeWindow w;
        w.load();
        ticks(w, 20);
        QVERIFY(m_db->sent.isEmpty());
        QCOMPARE(w.counter(), 0);
    }
};

QTEST_MAIN(TestNotices)
#include "tst_notices.moc"
