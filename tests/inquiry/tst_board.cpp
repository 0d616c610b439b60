// The bulletin board: buttons, save checks, call texts, two writers and refusals, the broadcast,
// the frame driven by keys, and the printed list.
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <latch>
#include <mutex>
#include <thread>

#include "../Controls.h"
#include "../shell/ScriptedDialogs.h"
#include "../suitedb/DemoFolder.h"
#include "Backends.h"
#include "BoardBroadcast.h"
#include "BoardReport.h"
#include "BoardRules.h"
#include "Clock.h"
#include "EmbeddedDatabase.h"
#include "FieldBox.h"
#include "InquiryFrame.h"
#include "LocalSettings.h"
#include "NoticeStatements.h"
#include "RecordingDevice.h"
#include "Session.h"
#include "Values.h"

using namespace BoardRules;

class BoardTest : public QObject {
    Q_OBJECT
    DemoFolder m_folder;
    QString today() const { return DateToRoc(Clock::today()); }
    Fields notice(const QString& text) const {
        return {today(), today(), today(), QString("王美華"), text, QString()};
    }
    // A notice of today with one field changed.
    Fields with(int i, const QString& value) const {
        Fields f = notice(QString("公告"));
        f[i] = value;
        return f;
    }

private slots:
    void initTestCase() {
        Connections::setFactory(MakeConnectionFactory(
            m_folder.path(), LocalSettings{{}, {}, {}, QLatin1String(SuiteSetup::DemoCatalogue)}));
    }

    // B5(0) to B5(9) by rights, row and broadcast: 1 enabled, 0 disabled, h hidden.
    void enabling() {
        const QList<int> all{351, 362, 363, 371, 372};
        const struct {
            QList<int> rights;
            bool row, broadcast;
            const char* expected;
        } cases[] = {{all, true, true, "1111110011"},
                     {all, false, true, "100001001h"},
                     {{362, 371}, true, false, "010010001h"}};
        for (const auto& c : cases) {
            Session::reset();
            for (int r : c.rights) Session::current().rightFlags[r] = true;
            Session::current().switches.boardBroadcast = c.broadcast;
            QString shown;
            for (const ButtonState& b : buttons(Session::current(), c.row, Editing::None))
                shown += !b.visible ? u'h' : b.enabled ? u'1' : u'0';
            QCOMPARE(shown, QString(c.expected));
        }
    }

    // The save checks stop at the first failure; only copies ask the database for an identical one.
    void saveChecks() {
        const struct {
            Editing editing;
            Fields fields;
            const char* copiedFrom;
            bool identical;
            const char* failure;
            int asked;  // so far
        } cases[] = {
            {Editing::Copy, {"", "", "", "", "", "02"}, "02", false, "5 部門代號重覆", 0},
            {Editing::Copy, with(5, "02"), "03", true, "5 複製的內容已存在資料庫,不需重覆", 1},
            {Editing::Copy, with(0, " "), "03", false, "0 欄位不可空白", 2},
            {Editing::Add, with(3, "  "), "02", true, "3 欄位不可空白", 2},
            {Editing::Edit, with(2, "100.01.01"), "", false, "1 日期前後錯誤", 2},
            {Editing::Add, with(5, ""), "", false, "", 2},  // one day, every department
        };
        int asked = 0;
        for (const auto& c : cases) {
            const auto failed = saveCheck(c.editing, c.fields, c.copiedFrom, [&] {
                ++asked;
                return c.identical;
            });
            QCOMPARE(failed ? QString("%1 %2").arg(failed->field).arg(failed->message) : QString(),
                     QString(c.failure));
            QCOMPARE(asked, c.asked);
        }
    }

    // The texts the database sees: quotes doubled, the sequence as a number, a password braced;
    // a date field once left.
    void callTexts() {
        QCOMPARE(QStringList({normalisedDate("113.2.5"), normalisedDate(""),
                              normalisedDate("113.02.30")}),
                 QStringList({"113.02.05", today(), DateToRoc(ZeroDate())}));
        const Fields f{"114.05.01", "114.05.01", "114.06.30", "王美華", "It's 公告", "02"};
        QCOMPARE(addCall(QString("ADM"), f),
                 QString("EXEC  SP_F8F_ADD 'ADM','114.05.01','114.05.01','114.06.30',"
                         "'王美華','It''s 公告','02'"));
        QCOMPARE(deleteCall(QString("00000003")), QString("EXEC  SP_F8F_DEL 00000003"));
        QCOMPARE(deleteCall(QString("3;DROP")), QString("EXEC  SP_F8F_DEL '3;DROP'"));
        QCOMPARE(identicalNotice(f),
                 QString("SELECT * FROM F8DATA WHERE FDATE = '114.05.01' AND FDEPNO = '02' "
                         "AND FBEGD = '114.05.01' AND FDATA = 'It''s 公告'"));
        const CompanyGroup::Company c{.provider = "SQLOLEDB.1",
                                      .server = "10.0.0.2",
                                      .user = "sa",
                                      .password = "a;b",
                                      .database = "ZqPro2",
                                      .connectTimeout = 3};
        QCOMPARE(connectionText(c),
                 QString("Provider=SQLOLEDB.1;Password={a;b};Persist Security Info=True;"
                         "User ID=sa;Initial Catalog=ZqPro2;Data Source=10.0.0.2;"
                         "Connect Timeout=3"));
    }

    // Two workstations adding at once never share a number; every refusal writes nothing.
    void procedures() {
        constexpr int Rounds = 20;
        std::latch bothOpen(2);
        std::mutex lock;
        QStringList failures;
        const auto work = [&](int writer) {
            try {
                EmbeddedDatabase db(m_folder.database());
                bothOpen.arrive_and_wait();
                for (int i = 0; i < Rounds; ++i) {
                    const ResultSets sets = db.execute(
                        addCall(QString("WANG"), notice(QString("寫入%1-%2").arg(writer).arg(i))));
                    if (sets.value(0).rows.value(0).value(1).toInt() != 0) throw sets;
                }
            } catch (...) {
                std::lock_guard guard(lock);
                failures << QString("writer %1").arg(writer);
            }
        };
        std::thread first(work, 1), second(work, 2);
        first.join();
        second.join();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u',')));
        EmbeddedDatabase db(m_folder.database());
        const auto scalar = [&db](const char* sql) { return db.execute(sql)[0].rows[0][0]; };
        const char* count = "SELECT COUNT(DISTINCT FSEQ) FROM F8DATA";
        QCOMPARE(scalar("SELECT COUNT(*) FROM F8DATA WHERE FDATA LIKE N'寫入%'").toInt(),
                 2 * Rounds);
        const int before = scalar(count).toInt();
        const Fields good = notice(QString("公告"));
        const QString user = QString("WANG");
        const QList<std::pair<QString, QString>> refused = {
            {addCall("LEE", good), "權限不足"},
            {addCall(user, with(4, " ")), "欄位不可空白"},
            {addCall(user, with(0, "明天")), "日期格式錯誤"},
            {addCall(user, with(2, "100.01.01")), "日期前後錯誤"},
            {addCall(user, with(3, "無名氏")), "查無此人"},
            {addCall(user, with(5, "99")), "查無此部門代號"},
            {addCall(user, with(4, QString(81, u'x'))), "可輸入英數80個字,中文40個字!"},
            {editCall(user, "99999", good), "查無此筆公告資料"},
        };
        for (const auto& [call, message] : refused) {
            const ResultSet answer = db.execute(call).value(0);
            QCOMPARE(answer.rows.value(0).value(0).toString(), message);
            QCOMPARE(answer.rows.value(0).value(1).toInt(), 1);
        }
        QCOMPARE(scalar(count).toInt(), before);
        // A change and a deletion reach the notice line's next read.
        const QString seq = db.execute(addCall(user, good))[0].rows[0][0].toString();
        QCOMPARE(seq.size(), 8);
        db.execute(editCall(user, seq, with(4, "改過的公告")));
        Session::reset();
        Session::current().departmentNo = QString("03");
        const auto listed = [&] {
            QStringList texts;
            const ResultSets sets =
                db.execute(NoticeStatements::validOn(Session::current(), today()));
            for (const QVariantList& row : sets[0].rows) texts << row[5].toString();
            return texts;
        };
        QVERIFY(listed().contains(QString("改過的公告")));
        db.execute(deleteCall(seq));
        QVERIFY(!listed().contains(QString("改過的公告")));
        // The deleted newest number is not given again; past eight digits the call is refused.
        const QString next = db.execute(addCall(user, good))[0].rows[0][0].toString();
        QCOMPARE(next.toInt(), seq.toInt() + 1);
        db.execute("UPDATE F8DATA SET FSEQ = '99999999' WHERE FSEQ = '" + next + "'");
        QCOMPARE(db.execute(addCall(user, good))[0].rows[0][1].toInt(), 1);
        QCOMPARE(scalar("SELECT MAX(FSEQ) FROM F8DATA").toString(), QString("99999999"));
        // An ASCII text of 80 bytes is taken whole.
        const QString full = QString(80, u'y');
        QCOMPARE(db.execute(editCall(user, "99999999", with(4, full)))[0].rows[0][1].toInt(), 0);
        QCOMPARE(scalar("SELECT FDATA FROM F8DATA WHERE FSEQ = '99999999'").toString(), full);
        db.execute("DELETE FROM F8DATA WHERE FSEQ = '99999999'; UPDATE F8SEQ SET FLAST = " + next);
    }

    // A company that cannot be reached fails alone; the others get the notice.
    void broadcast() {
        QList<CompanyGroup::Company> companies;
        for (const char* key : {"ZqPro2", "ZqPro3", "ZqPro4"}) {
            CompanyGroup::Company c;
            c.key = c.database = c.shortName = QLatin1String(key);
            c.name = c.key + QString("公司");
            companies << c;
            // ZqPro3 is taken away, the others are copies of the main database.
            const QString file = m_folder.path() + u'/' + c.key + ".zqdb";
            QFile::remove(file);
            if (c.key != u"ZqPro3") QVERIFY(QFile::copy(m_folder.database(), file));
        }
        QStringList steps;
        const int done =
            BoardBroadcast::send(companies, QString("WANG"), notice(QString("群組公告")),
                                 [&steps](const QString& text) { steps << text; });
        QCOMPARE(done, 2);
        QCOMPARE(steps.first(), QString("正在測通 ZqPro2公司 的資料庫伺服器....."));
        QVERIFY(steps.contains(QString("ZqPro3 佈告欄更新 失敗")));
        QCOMPARE(steps.filter(QString("佈告欄更新 完成")).size(), 2);
        QVERIFY(!QFile::exists(m_folder.path() + QString("/ZqPro3.zqdb")));
        const ResultSets four =
            EmbeddedDatabase(m_folder.path() + "/ZqPro4.zqdb")
                .execute("SELECT COUNT(*) FROM F8DATA WHERE FDATA = N'群組公告'");
        QCOMPARE(four[0].rows[0][0].toInt(), 1);
        QCOMPARE(BoardBroadcast::summary(done), QString("共完成了 2 家公司之佈告欄更新"));
    }

    // The frame by keys: add with a field check (focus stays), delete with the question, list, out.
    void frame() {
        Session::reset();
        Session& s = Session::current();
        s.sessionOpen = true;
        s.userCode = "WANG";
        s.departmentNo = "03";
        s.dbName = QLatin1String(SuiteSetup::DemoCatalogue);
        for (int r : {351, 355, 362, 363, 371, 372}) s.rightFlags[r] = true;
        ScriptedDialogs* dialogs = ScriptedDialogs::install();
        QWidget window;
        window.resize(1100, 600);
        InquiryFrame* frame = InquiryFrames::makerOf(9)(&window);  // K 佈告欄
        int finished = 0;
        connect(frame, &InquiryFrame::finished, this, [&finished] { ++finished; });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(frame->start({{}, {}, {}, QRect(10, 10, 600, 400)}));
        auto* dg12 = control<QTableView>(frame, "DG12");
        auto field = [=](int i) { return control<FieldBox>(frame, QString("T4(%1)").arg(i)); };
        auto button = [=](int i) { return control<QPushButton>(frame, QString("B5(%1)").arg(i)); };
        const auto focused = [] { return QApplication::focusWidget(); };
        const int listed = dg12->model()->rowCount();
        QVERIFY(listed > 0);
        QCOMPARE(focused(), dg12);
        QCOMPARE(field(4)->text(), dg12->model()->index(0, 4).data().toString());
        QTest::keyClick(dg12, Qt::Key_A);
        QCOMPARE(focused(), field(0));
        QCOMPARE(field(0)->text(), today());
        QVERIFY(field(4)->text().isEmpty());
        QVERIFY(!dg12->isEnabled() && !button(Add)->isEnabled() && button(Save)->isEnabled());
        const auto enter = [&](int i, const QString& text) {
            field(i)->setText(text);
            QTest::keyClick(field(i), Qt::Key_Return);
        };
        for (int i : {0, 1, 2}) enter(i, today());
        enter(3, QString("無名氏"));
        QCOMPARE(dialogs->shown.last(), QString("查無此人"));
        QCOMPARE(focused(), field(3));
        enter(3, QString("王美華"));
        QCOMPARE(focused(), field(4));
        for (int i = 0; i < 45; ++i)  // 40 characters of Big5 at most
            QTest::sendKeyEvent(QTest::Click, field(4), Qt::Key_unknown, QString("告"),
                                Qt::NoModifier);
        QCOMPARE(field(4)->text(), QString(40, u'告'));
        QTest::keyClick(field(4), Qt::Key_Return);
        enter(5, QString());  // every department
        QCOMPARE(focused(), button(Save));
        QTest::keyClick(button(Save), Qt::Key_Return);
        QCOMPARE(dg12->model()->rowCount(), listed + 1);
        QCOMPARE(focused(), dg12);
        QCOMPARE(field(4)->text(), QString(40, u'告'));  // the newest first
        dialogs->answers << Dialogs::Answer::Yes;
        QTest::keyClick(dg12, Qt::Key_D);
        QCOMPARE(dialogs->shown.last(),
                 QString("確定刪除內容為:") + QString(40, u'告') + QString("的公告資料"));
        QCOMPARE(dg12->model()->rowCount(), listed);
        QCOMPARE(focused(), dg12);
        QTest::keyClick(dg12, Qt::Key_L);
        QCOMPARE(button(ListToggle)->text(), QString("L 顯示區間"));
        QVERIFY(dg12->model()->rowCount() > listed);
        QTest::keyClick(focused(), Qt::Key_Escape);
        QCOMPARE(focused(), button(Close));
        QTest::keyClick(button(Close), Qt::Key_Return);
        QCOMPARE(finished, 1);
        QVERIFY(!frame->isVisible());
    }

    // 36 notices: two pages, continuation and foot once each, a long notice cut at its column.
    void printed() {
        Session::current().staffName = QString("王美華");
        ResultSet notices{QString("FSEQ FDATE FBEGD FEND FDEPNO FDATA FSNAM FUSER").split(u' '),
                          {}};
        for (int i = 0; i < 36; ++i)
            notices.rows.append({i, "114.04.30", "114.05.01", "114.06.30", "02",
                                 i == 0 ? QString(100, u'x') : QString("公告%1").arg(i), "王美華",
                                 "WANG"});
        RecordingDevice device;
        BoardReport::printOn(device, notices, BoardReport::pagesFor(36));
        QCOMPARE(device.documentCount(), 2);
        QVERIFY(device.text(QString("公 告 內 容")));
        int continued = 0, feet = 0;
        for (const auto& op : device.texts()) {
            continued += op.text == QString("接下頁......");
            feet += op.text.startsWith(QString("製單人：王美華"));
            if (op.text.startsWith(u'x')) QVERIFY(op.x + op.text.size() * 110 <= 15400);
        }
        QCOMPARE(continued, 1);
        QCOMPARE(feet, 1);
        QVERIFY(device.text(QString("公告35")));
    }
};

QTEST_MAIN(BoardTest)
#include "tst_board.moc"
