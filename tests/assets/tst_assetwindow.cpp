// The asset window against a scripted register: commands by state, add, edit, delete, sale,
// review with the server's questions, and the department allocation.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "../Controls.h"
#include "../shell/ScriptedDialogs.h"
#include "AssetWindow.h"
#include "Clock.h"
#include "FakeRegister.h"
#include "FieldBox.h"
#include "ProgramExit.h"
#include "Session.h"

using Dialogs::Answer;

class TestAssetWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeRegister> m_reg;
    std::unique_ptr<AssetWindow> m_window;
    ScriptedDialogs* m_dialogs = nullptr;

    FieldBox* box(const QString& name) { return control<FieldBox>(m_window.get(), name); }
    QPushButton* button(const QString& name) { return control<QPushButton>(m_window.get(), name); }
    QWidget* widget(const QString& name) { return control<QWidget>(m_window.get(), name); }
    // A command key on the command buttons, as the clerk presses it.
    void press(Qt::Key key) { QTest::keyClick(button("B1a(0)"), key); }
    QString lastShown() const { return m_dialogs->shown.value(m_dialogs->shown.size() - 1); }
    int mode() const { return m_window->editMode(); }
    // The commands B1a(0) to B1a(5) enabled (1) or not (0).
    QString commands() {
        QString s;
        for (int i = 0; i < 6; ++i) s += button(QString("B1a(%1)").arg(i))->isEnabled() ? '1' : '0';
        return s;
    }
    void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    void click(const QString& name) {
        button(name)->click();
        settle();
    }
    // Types into an open box and leaves it, as the clerk would with Enter.
    void enter(const QString& name, const QString& text) {
        FieldBox* b = box(name);
        QVERIFY2(b->isOpen(), qPrintable(name));
        b->setFocus();
        b->setText(text);
        QTest::keyClick(b, Qt::Key_Return);
        settle();
    }
    void fillNewAsset(const QString& code) {
        const QStringList texts{code, "堆高機", "1441", "6125", "1442", "100000", "10000", "60"};
        const int boxes[] = {0, 1, 2, 4, 6, 9, 10, 11};
        for (int i = 0; i < texts.size(); ++i) enter(QString("T2(%1)").arg(boxes[i]), texts[i]);
    }

private slots:
    void init() {
        Session::reset();
        Session& s = Session::current();
        s.workstationCode = "0016";
        s.staffName = "王大明";
        s.amountDecimals = "2";
        for (int r : {963, 964, 965, 968}) s.rightFlags[r] = true;
        Clock::setFixed(QDateTime(QDate(2026, 12, 5), QTime(9, 30)));
        ProgramExit::throwOnEnd();
        m_dialogs = ScriptedDialogs::install();
        m_reg = std::make_unique<FakeRegister>();
        m_reg->assets["A001"] = FakeRegister::asset("A001", "貨車");
        m_reg->assets["A002"] = FakeRegister::asset("A002", "冷氣機");
        m_reg->assets["A002"]["ause3"] = "陳經理";  // reviewed
        m_window = std::make_unique<AssetWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->open();
    }
    void cleanup() { m_window.reset(); }

    // The last asset, boxes closed; edit/delete before review, sale after it, nothing once sold.
    // Find: one match ("_" as such) shown at once, several open the lookup; F2 in an add fills in.
    // Closing the window leaves no work rows of this workstation behind.
    void openingFindAndClosing() {
        const auto state = [&] {
            return m_reg->db->sent.last() + " " + box("T2(0)")->text() + " " + commands();
        };
        QCOMPARE(state(), "SF_ZQ2K_ASSET_BROW 35,'' A002 100111");
        QVERIFY(!box("T2(1)")->isOpen());
        press(Qt::Key_PageUp);
        QCOMPARE(state(), "SF_ZQ2K_ASSET_BROW 33,'A002' A001 111101");
        m_reg->assets["A001"]["asell"] = 1;
        press(Qt::Key_Home);
        QCOMPARE(commands(), QString("100100"));
        const auto base = m_reg->db->answer;
        m_reg->db->answer = [&, base](const QString& t) -> ResultSets {
            ResultSet found{{"ACODE", "ANAME"}, {{"A001", "貨車"}}};
            if (t !=
                "SELECT TOP 2 ACODE,ANAME FROM Asset WHERE ACODE LIKE 'A00[_]1%' ORDER BY ACODE")
                found.rows << QVariantList{"A002", "冷氣機"};
            return t.startsWith("SELECT TOP 2 ACODE") || t.startsWith("SF_ZQ2K_ASSET_F2 ")
                       ? ResultSets{found}
                       : base(t);
        };
        const auto find = [&](const QString& text) {
            press(Qt::Key_F);
            QVERIFY(box("T5")->hasFocus() && !widget("Fr1")->isVisible());
            box("T5")->setText(text);
            button("B5(0)")->click();
        };
        const auto takeSecondRow = [&] {
            auto* grid = control<QTableView>(m_window.get(), "DGF3");
            QVERIFY(grid->isVisible() && grid->hasFocus());
            QTest::keyClick(grid, Qt::Key_Down);
            QTest::keyClick(grid, Qt::Key_Return);
            settle();
        };
        find("A00_1");
        QCOMPARE(m_reg->db->sent.last(), QString("SF_ZQ2K_ASSET_BROW 99,'A001'"));
        QCOMPARE(box("T2(0)")->text(), QString("A001"));
        QVERIFY(widget("Fr1")->isVisible() && button("B1a(3)")->hasFocus());
        find("A");
        QCOMPARE(m_reg->db->sent.last(), QString("SF_ZQ2K_ASSET_F2 36,'','A%'"));
        takeSecondRow();
        QCOMPARE(m_window->currentCode(), QString("A002"));
        press(Qt::Key_A);
        QTest::keyClick(box("T2(0)"), Qt::Key_F2);
        takeSecondRow();
        QCOMPARE(box("T2(0)")->text() + " " + box("T2(1)")->text(), "A002 冷氣機");
        QVERIFY(box("T2(2)")->hasFocus());  // the account next
        QCOMPARE(mode(), int(AssetWindow::Adding));
        m_window->close();
        QCOMPARE(m_reg->db->sent.last(), QString("SF_ZQ2K_ASSET_CLEAN '0016'"));
    }

    // An add: defaults, first failing check alone, the acquisition date against the closing
    // date, a refused save rewrites the same work row.
    void addWithChecksAndRefusal() {
        press(Qt::Key_A);
        QCOMPARE(box("T2(8)")->text() + " " + box("T3(2)")->text(), "115.12.05 王大明");
        QVERIFY(!box("T2(13)")->isOpen());
        button("B1b(0)")->click();  // everything empty: only the first check speaks
        QCOMPARE(m_dialogs->shown, QStringList{"請輸入財產編號!"});
        QVERIFY(box("T2(0)")->hasFocus());
        enter("T2(8)", "114.02.30");  // no such day: emptied
        QCOMPARE(box("T2(8)")->text(), QString());
        m_dialogs->answers = {Answer::No};
        enter("T2(8)", "1140629");
        QCOMPARE(lastShown(), QString("取得日期小於關帳日期,是否繼續?"));
        QVERIFY(button("B1b(1)")->hasFocus());
        enter("T2(8)", "114.6.30");  // the closing date itself passes unasked
        QCOMPARE(box("T2(8)")->text(), QString("114.06.30"));
        QCOMPARE(m_dialogs->shown.size(), 2);
        fillNewAsset("B100");
        QCOMPARE(box("T2(15)")->text(), QString("90,000.00"));
        enter("T2(2)", "9999");  // unknown account: code and name emptied silently
        QCOMPARE(box("T2(2)")->text() + box("T2(3)")->text(), QString());
        enter("T2(2)", "1441");
        QCOMPARE(box("T2(3)")->text(), QString("機器設備"));
        enter("T2(11)", "0");  // months 0: the per-period amount keeps its text
        QCOMPARE(box("T2(13)")->text(), QString("1,500.00"));
        button("B1b(0)")->click();
        QCOMPARE(lastShown(), QString("請輸入耐用月數!"));
        enter("T2(11)", "60");
        m_reg->answers["SF_ZQ2K_ASSET_ADD"] = {{"財產編號已存在", 2}, {"", 0}};
        button("B1b(0)")->click();
        QCOMPARE(lastShown(), QString("財產編號已存在"));
        QCOMPARE(mode(), int(AssetWindow::Adding));
        QVERIFY(box("T2(0)")->hasFocus());
        enter("T2(0)", "B101");
        button("B1b(0)")->click();
        QCOMPARE(m_reg->sentMatching("INSERT INTO Asset_Temp").size(), 1);
        const QStringList updates = m_reg->sentMatching("UPDATE Asset_Temp SET ");
        QCOMPARE(updates.size(), 1);
        QVERIFY(updates[0].contains("acode = 'B101'") && updates[0].contains("acode = 'B100'"));
        QCOMPARE(m_reg->sentMatching("SF_ZQ2K_ASSET_ADD '0016'").size(), 2);
        QCOMPARE(lastShown(), QString("財產編號[ B101 ]新增完成!"));
        QCOMPARE(m_reg->db->sent.last(), QString("SF_ZQ2K_ASSET_BROW 99,'B101'"));  // browsing
    }

    // A review before closing asks twice; an edit refused stays in browse; a save refused (another
    // workstation) keeps the typed text; a delete asks first, a cancel sends nothing, and done the
    // server's returned asset shows; cancelling its review asks the server, flags in reverse.
    void reviewEditDeleteAndTheirRefusals() {
        press(Qt::Key_PageUp);  // A001, acquired before closing, not reviewed
        m_dialogs->answers = {Answer::Yes, Answer::Ok};
        press(Qt::Key_R);
        QCOMPARE(m_dialogs->shown,
                 (QStringList{"取得日期小於關帳日期,是否繼續?", "確定要覆核財產編號[ A001 ]?"}));
        QCOMPARE(m_reg->sentMatching("SF_ZQ2K_ASSET_RATI"),
                 QStringList{"SF_ZQ2K_ASSET_RATI '0016','A001',0"});
        m_reg->answers["SF_ZQ2K_ASSET_COPY"] = {{"財產編號[ A001 ]已覆核,不可修改!", 1}, {"", 0}};
        press(Qt::Key_E);
        QCOMPARE(m_dialogs->shown.mid(2), QStringList{"財產編號[ A001 ]已覆核,不可修改!"});
        QCOMPARE(mode(), int(AssetWindow::Browse));
        QVERIFY(button("B1a(1)")->hasFocus());
        QTest::keyClick(button("B1a(1)"), Qt::Key_E);
        QCOMPARE(m_reg->sentMatching("SF_ZQ2K_ASSET_COPY").last(),
                 QString("SF_ZQ2K_ASSET_COPY '0016','A001'"));
        QVERIFY(!box("T2(0)")->isOpen() && box("T2(1)")->hasFocus());
        QCOMPARE(box("T2(1)")->background(), FieldBox::focusedColour());
        enter("T2(1)", "大貨車");
        m_reg->answers["SF_ZQ2K_ASSET_EDIT"] = {{"財產編號[ A001 ]已被其他工作站異動", 1}, {"", 0}};
        QTest::keyClick(box("T2(1)"), Qt::Key_F3);
        QCOMPARE(lastShown(), QString("財產編號[ A001 ]已被其他工作站異動"));
        QCOMPARE(mode(), int(AssetWindow::Editing));
        QVERIFY(button("B1b(0)")->hasFocus());
        button("B1b(0)")->click();
        QCOMPARE(lastShown(), QString("財產編號[ A001 ]修改完成!"));
        QCOMPARE(m_reg->sentMatching("SF_ZQ2K_ASSET_EDIT '0016'").size(), 2);
        QVERIFY(m_reg->sentMatching("UPDATE Asset_Temp SET ").last().contains("aname = '大貨車'"));
        QVERIFY(button("B1a(1)")->hasFocus());
        m_dialogs->answers = {Answer::Cancel, Answer::Ok};
        press(Qt::Key_D);
        QCOMPARE(lastShown(), QString("確定要刪除財產編號[ A001 ]?"));
        QVERIFY(m_reg->sentMatching("SF_ZQ2K_ASSET_DEL").isEmpty());
        m_reg->answers["SF_ZQ2K_ASSET_DEL"] = {{"A002", 0}};
        press(Qt::Key_D);
        QCOMPARE(m_reg->sentMatching("SF_ZQ2K_ASSET_DEL"),
                 QStringList{"SF_ZQ2K_ASSET_DEL '0016','A001'"});
        QCOMPARE(lastShown(), QString("財產編號[ A001 ]刪除完成!"));
        QCOMPARE(box("T2(0)")->text(), QString("A002"));
        m_reg->answers["SF_ZQ2K_ASSET_RATI"] = {{"已提列折舊,確定取消?", 2}, {"", 0}};
        m_dialogs->answers = {Answer::Ok, Answer::Yes};
        press(Qt::Key_R);
        QCOMPARE(m_reg->sentMatching("SF_ZQ2K_ASSET_RATI").mid(1),
                 (QStringList{"SF_ZQ2K_ASSET_RATI '0016','A002',1",
                              "SF_ZQ2K_ASSET_RATI '0016','A002',0"}));
    }

    // A sale refused at the question, then done; the focus after it; closed months' notice.
    void saleQuestionAnsweredNoOrYes() {
        press(Qt::Key_S);
        QCOMPARE(box("T3(0)")->text(), QString("115.12.05"));
        QVERIFY(control<QCheckBox>(m_window.get(), "Ch3")->isChecked());
        m_reg->answers["SF_ZQ2K_ASSET_SELL"] = {{"尚有未提列折舊,是否繼續?", 2}};
        m_dialogs->answers = {Answer::No};
        QTest::keyClick(box("T3(0)"), Qt::Key_F3);
        QCOMPARE(m_reg->sentMatching("SF_ZQ2K_ASSET_SELL"),
                 QStringList{"SF_ZQ2K_ASSET_SELL '0016','A002','115.12.05',0"});
        QCOMPARE(mode(), int(AssetWindow::Browse));
        QVERIFY(!box("T3(0)")->isOpen() && button("B1a(4)")->hasFocus());
        QTest::keyClick(button("B1a(4)"), Qt::Key_S);
        m_reg->answers["SF_ZQ2K_ASSET_SELL"] = {{"尚有未提列折舊,是否繼續?", 2}, {"", 0}};
        m_dialogs->answers = {Answer::Yes};
        m_reg->assets["A002"]["asell"] = 1;  // what the register records
        button("B1b(0)")->click();
        QCOMPARE(m_reg->sentMatching("SF_ZQ2K_ASSET_SELL").last(),
                 QString("SF_ZQ2K_ASSET_SELL '0016','A002','115.12.05',2"));
        QCOMPARE(lastShown(), QString("財產編號[ A002 ]售出處理完成!"));
        QVERIFY(!button("B1a(4)")->isEnabled() && button("B1a(0)")->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);  // the keys work on
        QCOMPARE(box("T2(0)")->text(), QString("A001"));
        m_reg->assets["A001"]["ause3"] = "陳經理";
        press(Qt::Key_Home);
        press(Qt::Key_S);
        m_reg->answers["SF_ZQ2K_ASSET_SELL"] = {{"售出日期已關帳,請調整帳務!", 3}};
        m_reg->assets["A001"]["asell"] = 1;
        QTest::keyClick(box("T3(0)"), Qt::Key_F3);
        QCOMPARE(lastShown(), QString("售出日期已關帳,請調整帳務!"));
        QCOMPARE(mode(), int(AssetWindow::Browse));
        QVERIFY(button("B1a(0)")->hasFocus());
    }

    // Allocation: the editor in the sale frame's place, refusals, and a cancel that asks first.
    void allocationLines() {
        auto* grid = control<QTableView>(m_window.get(), "DGF1");
        press(Qt::Key_A);
        fillNewAsset("B200");
        // The frame's place on the window, and the two beside it that must not move.
        const auto places = [&](const QString& frame) {
            QWidget* f = widget(frame);
            return QList<QRect>{QRect(f->mapTo(m_window.get(), QPoint(0, 0)), f->size()),
                                widget("Fr2")->geometry(), grid->geometry()};
        };
        const QList<QRect> before = places("Fr3");
        click("B2");
        QCOMPARE(m_window->allocationMode(), int(AssetWindow::AllocationList));
        QVERIFY(!button("B4a(1)")->isEnabled());  // no lines yet
        QVERIFY(widget("Fr4")->isVisible() && !widget("Fr3")->isVisible());
        QCOMPARE(places("Fr4"), before);
        FieldBox* name = box("T4(1)");
        name->setText(QString("台北總公司管理部會計"));
        name->setCursorPosition(10);  // after the last character the first is still shown
        const QRect inside = name->contentsRect();
        QCOMPARE(name->cursorPositionAt(QPoint(inside.left() + 4, inside.center().y())), 0);
        const auto addLine = [&](const QString& department, const QString& share) {
            enter("T4(0)", department);
            enter("T4(2)", share);
            click("B4b(0)");  // the line is stored and the next one begins
        };
        button("B4a(0)")->click();
        addLine("01", "50");
        QCOMPARE(m_window->allocationMode(), int(AssetWindow::AddingLine));
        QVERIFY(!grid->isEnabled());
        addLine("01", "25");
        QCOMPARE(lastShown(), QString("部門代號[ 01 ]的攤提比例已設定過,不能重覆設定"));
        enter("T4(0)", "02");
        enter("T4(2)", "25");
        QCOMPARE(box("T4(3)")->text(), QString("375.00"));  // 25% of 1,500
        click("B4b(0)");
        addLine("03", "15");
        QCOMPARE(m_reg->workLines.size(), 3);
        click("B4b(1)");
        QVERIFY(grid->isEnabled());
        button("B4a(3)")->click();  // 50 + 25 + 15 = 90
        QCOMPARE(lastShown(),
                 QString("您所設定的部門攤提比例合計不等於100,請檢查設定值是否都正確"));
        QCOMPARE(m_window->allocationMode(), int(AssetWindow::AllocationList));
        // Deleting line 2 moves to the next line.
        m_dialogs->answers = {Answer::Ok};
        grid->selectRow(1);
        settle();
        click("B4a(2)");
        QCOMPARE(lastShown(), QString("確定要刪除項次[ 2 ]的部門攤提記錄?"));
        QCOMPARE(m_reg->workLines.size(), 2);
        QCOMPARE(box("T4(0)")->text(), QString("03"));
        button("B4a(1)")->click();
        QCOMPARE(m_window->allocationMode(), int(AssetWindow::EditingLine));
        QVERIFY(!grid->isEnabled());
        enter("T4(2)", "50");
        click("B4b(0)");
        m_reg->workLines[1][4] = 50.0;  // what the register holds after the change
        click("B4a(3)");
        QCOMPARE(m_window->allocationMode(), int(AssetWindow::AllocationClosed));
        QVERIFY(widget("Fr3")->isVisible() && !widget("Fr4")->isVisible());
        QCOMPARE(places("Fr3"), before);
        m_dialogs->answers = {Answer::Cancel};
        QTest::keyClick(box("T2(1)"), Qt::Key_F5);
        QCOMPARE(lastShown(), QString("您已有輸入部門分攤比例明細,確定要放棄?"));
        QCOMPARE(mode(), int(AssetWindow::Adding));
        QVERIFY(m_reg->sentMatching("SF_ZQ2K_ASSET_CLEAN").isEmpty());
    }
};

QTEST_MAIN(TestAssetWindow)
#include "tst_assetwindow.moc"
