// The main menu and the suite-wide keys: rights, letters, the exit question, help texts, F6-F10.
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "../Controls.h"
#include "../common/FakeDatabase.h"
#include "CurrentPrinter.h"
#include "DbAccess.h"
#include "FunctionKeys.h"
#include "MainMenu.h"
#include "ProgramExit.h"
#include "ScriptedDialogs.h"
#include "Session.h"
#include "StatusText.h"
#include "UserSettings.h"
#include "WindowRegistry.h"
#include "ZqMDI.h"

class TestMainMenu : public QObject {
    Q_OBJECT
    ScriptedDialogs* m_dialogs = nullptr;
    QStringList m_opened;

private slots:
    void init() {
        Session::reset();
        WindowRegistry::clear();
        for (const char* name : {"assets", "summary", "detail", "printer", "inquiry"})
            WindowRegistry::setOpener(name, [this, name] { m_opened << name; });
        WindowRegistry::setKeyHandler(&HandleFunctionKey);
        m_opened.clear();
        m_dialogs = ScriptedDialogs::install();
        for (const char* builtIn : {"PDF", "Excel", "CSV"})
            UserSettings::save("Zq2000", "Printer", builtIn, "0");
        CurrentPrinter::setSystemForTest(QStringList{"HP LaserJet", "Epson LQ"}, "HP LaserJet");
    }

    // Rights and letters, F6-F10 (F7 refused without a printer), the exit asked and told.
    void keysAndExit() {
        Session::current().rightFlags[960] = Session::current().rightFlags[962] = true;
        MainMenu menu;
        for (int i = 0; i < 4; ++i)  // right 961 is the summary's; the exit needs none
            QCOMPARE(control<QPushButton>(&menu, QString("But(%1)").arg(i))->isEnabled(), i != 1);
        menu.show();
        QTest::keyClick(&menu, Qt::Key_B);  // disabled: nothing
        QTest::keyClick(&menu, Qt::Key_C, Qt::ShiftModifier);
        QTest::keyClick(menu.button(2), Qt::Key_A);  // letters work whatever has the focus
        QTest::keyClick(&menu, Qt::Key_F7);
        QTest::keyClick(&menu, Qt::Key_F8);  // no session yet: nothing
        Session::current().sessionOpen = true;
        for (const Qt::Key key : {Qt::Key_F8, Qt::Key_F9, Qt::Key_F10}) QTest::keyClick(&menu, key);
        QCOMPARE(m_opened, (QStringList{"detail", "assets", "printer", "inquiry"}));
        Session::current().currentItemCode = "A-100";
        QTest::keyClick(&menu, Qt::Key_F6);
        QCOMPARE(UserSettings::get("ZQ2000", "Picture", "Any"), QString("A-100"));
        CurrentPrinter::setSystemForTest(QStringList{});
        m_opened.clear();
        QTest::keyClick(&menu, Qt::Key_F7);
        QCOMPARE(m_dialogs->shown, QStringList{"未安裝印表機!"});
        QVERIFY(m_opened.isEmpty());
        QSignalSpy exits(&menu, &MainMenu::exitConfirmed);
        UserSettings::save("ZQ2000", "OpenId", "FU", "1");
        m_dialogs->shown.clear();
        m_dialogs->answers = {Dialogs::Answer::No};
        QTest::keyClick(&menu, Qt::Key_Escape);
        QCOMPARE(m_dialogs->shown,
                 QStringList{"是否確定離開 Q.V.K.晟嘉通進銷存會計系統 固定資產管理系統?"});
        QCOMPARE(exits.count(), 0);
        QCOMPARE(UserSettings::get("Zq2000", "OpenId", "FU"), QString("1"));
        m_dialogs->answers = {Dialogs::Answer::Yes};
        menu.button(3)->click();
        QCOMPARE(exits.count(), 1);
        QCOMPARE(UserSettings::get("Zq2000", "OpenId", "FU"), QString("0"));
    }

    // The focused button's help text despite a late focus-out; status text after its window.
    void focusedButtonShowsItsHelpText() {
        Session::current().rightFlags[960] = true;
        {
            ZqMDI mdi;
            mdi.show();
            mdi.openSession();
            QVERIFY(QTest::qWaitForWindowActive(&mdi));
            MainMenu* menu = mdi.menu();
            menu->button(3)->setFocus();
            menu->button(0)->setFocus();
            QVERIFY(!menu->button(0)->statusTip().isEmpty());
            QCOMPARE(mdi.statusText(), menu->button(0)->statusTip());
            QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
            QCoreApplication::sendEvent(menu->button(3), &out);
            QCOMPARE(mdi.statusText(), menu->button(0)->statusTip());
            QCoreApplication::sendEvent(menu->button(0), &out);
            QVERIFY(mdi.statusText().isEmpty());
        }
        StatusText::set("目前進度：第 1 頁");  // its main window gone
        ZqMDI next;
        StatusText::set("目前進度：第 2 頁");
        QCOMPARE(next.statusText(), QString("目前進度：第 2 頁"));
    }

    // The hourly heartbeat; no DTIME or a database error (named by the current title) ends it.
    void titleAndHeartbeat() {
        auto db = FakeDatabase::install();
        ProgramExit::throwOnEnd();
        Session::current().versionText = "1.0.0.7";
        Session::current().workstationCode = "0016";
        SetConnection(SharedSources::general());
        const auto beats = [](ZqMDI& mdi) {
            for (int i = 0; i < 59; ++i) mdi.heartbeat();
        };
        db->answer = [](const QString&) {
            return ResultSets{
                ResultSet{{"DTIME"}, {{QDateTime(QDate(2026, 12, 5), QTime(10, 30))}}}};
        };
        ZqMDI mdi;
        beats(mdi);
        QVERIFY(db->sent.isEmpty());
        mdi.heartbeat();
        QCOMPARE(db->sent, QStringList{"EXEC SP_TIME_UPDATE '0016'"});
        db->answer = [](const QString&) { return ResultSets{ResultSet{{"X"}, {{1}}}}; };
        beats(mdi);
        QVERIFY_THROWS_EXCEPTION(ProgramExit::ProgramEnded, mdi.heartbeat());
        QVERIFY(m_dialogs->shown.value(0).startsWith("錯誤發生位置：ZqMDI-Timer1\r\n"));
        m_dialogs->shown.clear();
        db->answer = [](const QString&) -> ResultSets { throw DbError(0x80004005, "down"); };
        ZqMDI second;
        CurrentPrinter::setSystemForTest(QStringList{"HP LaserJet"}, "HP LaserJet");
        second.refreshTitle();
        CurrentPrinter::setSystemForTest(std::nullopt);
        QCOMPARE(second.windowTitle(),
                 QString(" Q.V.K.晟嘉通進銷存會計系統  固定資產管理系統 v1.0.0.7     工作站號：0016"
                         "     指定印表機：HP LaserJet"));
        beats(second);
        QVERIFY_THROWS_EXCEPTION(ProgramExit::ProgramEnded, second.heartbeat());
        QVERIFY(m_dialogs->shown.value(0).startsWith("錯誤發生位置：" + second.windowTitle() +
                                                     " 與資料庫連線取資料時"));
        Connections::setFactory({});
    }
};

QTEST_MAIN(TestMainMenu)
#include "tst_mainmenu.moc"
