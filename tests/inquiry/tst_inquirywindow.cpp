// The item inquiry window by keys: the list procedure's calls and highlight, and the history
// grids on a small embedded database.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "../Controls.h"
#include "../common/FakeDatabase.h"
#include "../shell/ScriptedDialogs.h"
#include "EmbeddedDatabase.h"
#include "InquiryWindow.h"
#include "Session.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"
#include "UserSettings.h"
#include "WindowRegistry.h"

namespace {
constexpr int Items = 20;  // A001 .. A020 in the scripted list
QString itemCode(int i) { return QString("A%1").arg(i + 1, 3, 10, QLatin1Char('0')); }

// The list procedure's answer for the item list, as the suite's procedure pages it.
ResultSets listPage(const QStringList& args) {
    const int key = args.value(2).toInt();
    const QString anchor = args.value(5);
    int anchorAt = 0;
    while (anchorAt < Items && itemCode(anchorAt) < anchor) ++anchorAt;
    // Where each key's page starts; the other keys (99, 36) read the top.
    const QHash<int, int> start{{35, Items - 15},   {33, anchorAt - 14}, {34, anchorAt},
                                {13, anchorAt},     {80, anchorAt},      {38, anchorAt - 1},
                                {40, anchorAt - 13}};
    const int from = std::clamp(start.value(key), 0, Items - 15);
    ResultSet page{
        QString("ICODE INAME ICONS IPOIN SNUMB INUMB ISAVE IUNIT2 INUM2 IPOI2 IUNI2").split(u' '),
        {}};
    for (int i = from; i < from + 15; ++i)
        page.rows.append({itemCode(i), QString("品名%1").arg(i), QString(), "個", 10 * i, 10 * i,
                          25, 123.5, 12, "盒", 1200});
    return {ResultSet{{"LW", "CAP"}, {{"01", "總庫存"}}}, page};
}

// "EXEC SP_F8 'DG1','True',99,..." -> the ten arguments, unquoted.
QStringList callArguments(const QString& text) {
    QStringList args;
    for (QString a : text.mid(text.indexOf(u' ', 5) + 1).split(u',')) {
        a = a.trimmed();
        if (a.startsWith(u'\'')) a = a.mid(1, a.size() - 2);
        args << a;
    }
    return args;
}

// The history rows, numbered by a counting table: A001 holds 16 open purchase order lines, A002
// exactly 15; 20 sales lines of two salesmen (14 of department 02); three lines each of sales
// returns, point-of-sale sales and returns and open orders, two of them S002's; lots (L03 used
// up), purchase returns, stock.
const char* const HistoryRows =
    "CREATE TEMP TABLE N AS WITH RECURSIVE C(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM C "
    "WHERE I < 20) SELECT I FROM C;"
    "INSERT INTO SISE (SCOD1, SSEQ, SICOD, SPNAM, SINUM, SONUM, SINYN) SELECT '1140101' || "
    "printf('%04d', I), 1, 'A001', '聯強', 10, 1, 'N' FROM N WHERE I <= 16;"
    "INSERT INTO SISE (SCOD1, SSEQ, SICOD, SINUM, SONUM, SINYN) SELECT '1140201' || "
    "printf('%04d', I), I, 'A002', 5, 0, 'N' FROM N WHERE I <= 15;"
    "INSERT INTO HISTIN (HCOD1, HSEQ, HICOD, HSCOD, HSNAM, HDENO, HINUM, HTOTA, HCOD1SEQ) SELECT "
    "'1140301' || printf('%04d', I), 1, 'A001', IIF(I % 2, 'S001', 'S002'), IIF(I % 2, 'S001', "
    "'S002'), IIF(I % 3, '02', '03'), 1, 100, printf('N%02d', I) FROM N;"
    "INSERT INTO HISTOU (HCOD1, HSEQ, HICOD, HSCOD, HSNAM) SELECT '1140302' || printf('%04d', I), "
    "1, 'A001', IIF(I % 3, 'S002', 'S001'), IIF(I % 3, 'S002', 'S001') FROM N WHERE I <= 3;"
    "INSERT INTO RETAILD (RCOD1, RSEQ, RIDT, RICOD, RSCOD, RSNAM) SELECT '1140303' || "
    "printf('%04d', I), 1, IIF(I > 3, '1', '0'), 'A001', IIF(I % 3, 'S002', 'S001'), IIF(I % 3, "
    "'S002', 'S001') FROM N WHERE I <= 6;"
    "INSERT INTO ORSUB (OCOD1, OSEQ, OICOD, OSCOD, OCNAM, OINUM, OINU2, ONNO, OINYN) SELECT "
    "'1140304' || printf('%04d', I), 1, 'A001', IIF(I % 3, 'S002', 'S001'), IIF(I % 3, 'S002', "
    "'S001'), 1, 1, 1, 'N' FROM N WHERE I <= 3;"
    "INSERT INTO VISEIN (VCOD1, VSEQ, VICOD, VPNAM, VINUM, VUNIT, VCOD1SEQ, VCOD1NUM) SELECT "
    "'1140401' || printf('%04d', I), 1, 'A001', '聯強', 10, 100, printf('L%02d', I), "
    "IIF(I = 3, 0, I) FROM N WHERE I <= 17;"
    "DROP TABLE N;"
    "INSERT INTO BUYSIN (BCOD1, BTAXM) VALUES ('11404010001', 1);"
    "INSERT INTO ITEM1 (ICODE1, ISOUR2) VALUES ('A001', 77);"
    "INSERT INTO BUYSINCODE (BCOD1SEQ, STCOD, INUMB) VALUES ('L01', '001', 1), ('L01', '002', 0);"
    "INSERT INTO VISEOU (VCOD1, VOSEQ, VICOD, VPNAM, VINU2, VUNI2) VALUES"
    "  ('11405010001', 1, 'A001', '聯強', 2, 90);"
    "INSERT INTO STOC (SITEM, STCOD, STNAM, SNUMB) VALUES ('A001', '001', '台北倉', 7);"
    "INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('1', '001', '台北倉');";
}  // namespace

class InquiryWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<EmbeddedDatabase> m_db;
    std::shared_ptr<FakeDatabase> m_fake;
    ScriptedDialogs* m_dialogs = nullptr;
    std::unique_ptr<InquiryWindow> m_window;
    bool m_emptyList = false;
    QStringList m_forwarded;

    // The statements that the action sends.
    QStringList sentBy(const std::function<void()>& action) {
        const int from = m_fake->sent.size();
        action();
        return m_fake->sent.mid(from);
    }
    QStringList listCalls(int n) const { return m_fake->sent.mid(n).filter("EXEC SP_F8 'DG1'"); }
    QTableView* grid(const char* name) { return control<QTableView>(m_window.get(), name); }
    int highlighted(QTableView* g) { return g->currentIndex().row(); }
    void key(QWidget* w, int k) { QTest::keyClick(w, Qt::Key(k)); }
    // A key on the item list, which first gets the keyboard back.
    void onList(int k) {
        grid("DG1")->setFocus();
        key(grid("DG1"), k);
    }

    // Opens the window with the rights, the staff code and the saved option "零不顯示".
    void openWindow(const QList<int>& rights, const QString& staff = "S001",
                    const QString& saved = "0") {
        m_window.reset();
        Session::reset();
        Session& s = Session::current();
        s.sessionOpen = true;
        s.defaultStore = "01";
        s.staffCode = staff;
        s.departmentNo = "02";
        s.amountDecimals = "2";
        for (int r : rights) s.rightFlags[r] = true;
        m_dialogs = ScriptedDialogs::install();
        UserSettings::save("ZQ2000", "F8", "Chk1", saved);
        m_window = std::make_unique<InquiryWindow>();
        m_window->open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        grid("DG1")->setFocus();
    }
    const QList<int> allRights{57, 353, 355, 367, 645, 646, 647, 648, 926, 934, 1074, 1306};

private slots:
    void initTestCase() {
        m_db = std::make_unique<EmbeddedDatabase>(m_dir.filePath("MAIN.zqdb"),
                                                  EmbeddedDatabase::OpenMode::Create);
        SuiteSchema::create(m_db->connection());
        m_db->connection().script(QString::fromUtf8(HistoryRows));
        m_fake = FakeDatabase::install();
        m_fake->answer = [this](const QString& text) -> ResultSets {
            const ResultSet head{{"LW", "CAP"}, {{"01", QString()}}};
            if (text.startsWith(QLatin1String("EXEC SP_F8 'DG1'")))
                return m_emptyList ? ResultSets{head, ResultSet{{"ICODE"}, {}}}
                                   : listPage(callArguments(text));
            if (text.startsWith(QLatin1String("EXEC SP_F8 'DG3'")))
                return {head, ResultSet{{"VCOD1", "VUNIT", "HINX"},
                                        {{"11401010001", "***.**", "11401010001 10001"},
                                         {"11401010002", "***.**", "11401010002 10001"}}}};
            return m_db->execute(text);
        };
        // The function keys reach the suite-wide handler with the highlighted item stored.
        WindowRegistry::setKeyHandler([this](int key, Qt::KeyboardModifiers) {
            m_forwarded << QString::number(key - Qt::Key_F1 + 1) + ":" +
                               Session::current().currentItemCode;
        });
    }

    void cleanupTestCase() {
        m_window.reset();
        Connections::setFactory({});
    }

    // The opening calls by rights and the saved option; closing keeps "零不顯示" either way.
    void opening_data() {
        QTest::addColumn<QList<int>>("rights");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("options");
        QTest::newRow("57 only, own warehouse, zero hidden")
            << QList<int>{57} << "1"
            << "EXEC SP_F8 'DG1','True',99,'01','01','','','1','1',''"
            << "EXEC SP_F8 'DG1','True',40,'01','01','A001','',1,1,''";
        QTest::newRow("926 without 57") << QList<int>{926, 934} << "0"
                                        << "EXEC SP_F8 'DG1','False',99,'01','','','','0','0',''"
                                        << "EXEC SP_F8 'DG1','False',40,'01','','A001','',0,1,''";
    }
    void opening() {
        QFETCH(QList<int>, rights);
        QFETCH(QString, saved);
        const int from = m_fake->sent.size();
        openWindow(rights, "S001", saved);
        QFETCH(QString, open);
        QFETCH(QString, options);
        QCOMPARE(listCalls(from), (QStringList{open, options}));
        QCOMPARE(control<QCheckBox>(m_window.get(), "Chk1(0)")->isChecked(), saved == u"1");
        QCOMPARE(grid("DG1")->model()->headerData(4, Qt::Horizontal).toString(), "總庫存");
        // A code of 20 characters fits its column.
        QVERIFY(grid("DG1")->columnWidth(0) >
                grid("DG1")->fontMetrics().horizontalAdvance("MWMWMWMWMWMWMWMWMWMW"));
        // The warehouse list beside the highlighted item.
        QVERIFY(m_fake->sent.mid(from).contains("SF_ZQ2K_ITYP_F2 36,'','%','1','A001'"));
        // Closing keeps "零不顯示" for the next opening.
        control<QCheckBox>(m_window.get(), "Chk1(0)")->setChecked(saved != u"1");
        m_window->close();
        QCOMPARE(UserSettings::get("ZQ2000", "F8", "Chk1"), QString(saved == u"1" ? "0" : "1"));
    }

    // The list keys: the key numbers and anchors sent, and the row highlighted after each.
    void listKeys() {
        openWindow(allRights);
        QTableView* dg1 = grid("DG1");
        QCOMPARE(highlighted(dg1), 0);
        auto step = [&](int k, const QString& call, int row, const QString& first) {
            const int from = m_fake->sent.size();
            key(dg1, k);
            QCOMPARE(listCalls(from), call.isEmpty() ? QStringList() : QStringList{call});
            QCOMPARE(highlighted(dg1), row);
            QCOMPARE(dg1->model()->index(0, 0).data().toString(), first);
            QVERIFY(dg1->hasFocus());
        };
        const QString head = QString("EXEC SP_F8 'DG1','True2',");
        for (int k : {Qt::Key_PageUp, Qt::Key_Up, Qt::Key_Home})  // the top of the list
            step(k, {}, 0, "A001");
        step(Qt::Key_Down, {}, 1, "A001");
        step(Qt::Key_PageDown, head + "34,'01','','A015','',0,1,''", 14, "A006");
        step(Qt::Key_Down, head + "40,'01','','A020','',0,1,''", 14, "A006");  // the end
        step(Qt::Key_PageUp, head + "33,'01','','A006','',0,1,''", 0, "A001");
        step(Qt::Key_End, head + "35,'01','','','',0,1,''", 14, "A006");
        for (int i = 0; i < 14; ++i) key(dg1, Qt::Key_Up);
        step(Qt::Key_Up, head + "38,'01','','A006','',0,1,''", 0, "A005");
        step(Qt::Key_Home, head + "36,'01','','','',0,1,''", 0, "A001");
        key(dg1, Qt::Key_Down);
        // An option re-reads at the highlighted item and keeps it highlighted.
        const int from = m_fake->sent.size();
        control<QCheckBox>(m_window.get(), "Chk1(0)")->setChecked(true);
        QCOMPARE(listCalls(from), QStringList{head + "40,'01','','A002','',1,1,''"});
        QCOMPARE(m_window->highlightedItem(), QString("A002"));
        // Function keys: the item is stored first, then the key goes to the suite's handler.
        m_forwarded.clear();
        key(dg1, Qt::Key_F6);
        QCOMPARE(m_forwarded, QStringList{QString("6:A002")});
        // Enter moves on like Tab.
        key(dg1, Qt::Key_Return);
        QVERIFY(control<QCheckBox>(m_window.get(), "Chk1(0)")->hasFocus());
        // Positioning at an item: key 13, or 80 with the options quoted.
        m_window->positionList(QString("A010"), true);
        QCOMPARE(listCalls(from).last(), head + "80,'01','','A010','','1','1',''");
        QCOMPARE(m_window->highlightedItem(), QString("A010"));
    }

    // Open purchase orders, 16 lines and exactly 15: statements, page and highlight at both ends.
    void pagingEdges() {
        openWindow(allRights);
        QTableView* dg1 = grid("DG1");
        const QStringList opened = sentBy([&] { key(dg1, Qt::Key_N); });
        QTableView* dg17 = grid("DG17");
        QVERIFY(dg17->isVisible() && dg17->hasFocus());
        QCOMPARE(dg17->geometry(), dg1->geometry());
        const QString hinx = "(CONVERT(CHAR(11),SCOD1) + CONVERT(CHAR(5),(10000 + SSEQ)))",
                      where =
                          " FROM SISE WITH (INDEX = SISE1_INX) WHERE SICOD = 'A001' AND "
                          "(SINUM-SONUM) > 0 AND SINYN = 'N'";
        QCOMPARE(
            opened.mid(0, 2),
            (QStringList{
                "SELECT TOP 15 " + hinx + " AS HINX" + where + " ORDER BY SCOD1 DESC,SSEQ DESC",
                "SELECT SCOD1,SPNAM,SINUM,SPOIN,(SINUM-SONUM) AS SSNUM,ISNULL((SELECT "
                "SDAT2 FROM SBIN WHERE SBIN.SCOD1 = SISE.SCOD1),'') AS SDAT2,SBACK," +
                    hinx + " AS HINX" + where + " AND " + hinx +
                    " >= '1140101000210001' ORDER BY SCOD1,SSEQ"}));
        // The first code, the row count and the highlighted row.
        const auto page = [&] {
            const QStringList c = column(dg17, 0);
            return QString("%1 %2 %3").arg(c.value(0)).arg(c.size()).arg(highlighted(dg17));
        };
        QCOMPARE(page(), "11401010002 15 14");  // rows 2..16, the newest highlighted
        QCOMPARE(sentBy([&] { key(dg17, Qt::Key_PageUp); }).value(0),
                 "SELECT TOP 15 " + hinx + " AS HINX" + where + " AND " + hinx +
                     " <= '1140101000210001' ORDER BY SCOD1 DESC,SSEQ DESC");
        QCOMPARE(page(), "11401010001 15 0");  // rows 1..15
        key(dg17, Qt::Key_PageUp);
        QCOMPARE(page(), "11401010001 15 0");  // the oldest page stays
        key(dg17, Qt::Key_PageDown);
        QCOMPARE(page(), "11401010015 2 1");  // one row of overlap
        // Fewer than 15 rows: the last page.
        QCOMPARE(sentBy([&] { key(dg17, Qt::Key_PageDown); }), QStringList());
        // Esc goes back to the mode button; the grid stays in front.
        key(dg17, Qt::Key_Escape);
        QVERIFY(control<QPushButton>(m_window.get(), "B1(14)")->hasFocus());
        QVERIFY(dg17->isVisible());
        // Exactly 15 lines: all on the first page; Page Down shows the last line alone.
        dg1->setFocus();
        QVERIFY(!dg17->isVisible());
        key(dg1, Qt::Key_Down);  // A002
        key(dg1, Qt::Key_N);
        QCOMPARE(page(), "11402010001 15 14");
        key(dg17, Qt::Key_PageDown);
        QCOMPARE(page(), "11402010015 1 0");
        // The lines went away meanwhile: End sends its boundary alone and shows no row.
        m_db->execute("DELETE FROM SISE WHERE SICOD = 'A002'");
        QCOMPARE(sentBy([&] { key(dg17, Qt::Key_End); }).size(), 1);
        QCOMPARE(dg17->model()->rowCount(), 0);
    }

    // One message of each kind, and the history keys on an empty list without a fault.
    void messages() {
        openWindow({57}, QString("S009"));
        QTableView* dg1 = grid("DG1");
        for (int k : {Qt::Key_I, Qt::Key_S, Qt::Key_X}) key(dg1, k);
        key(dg1, Qt::Key_Down);
        key(dg1, Qt::Key_Down);  // A003 has no history at all
        for (int k : {Qt::Key_P, Qt::Key_C}) key(dg1, k);
        QCOMPARE(
            m_dialogs->shown,
            (QStringList{"查廠商進貨權限不足", "沒有分倉查詢的權限", "查無任何銷貨記錄!",
                         "查無相關批號資料,或批號剩餘數量已全部是零", "尚無相關入庫資料可查詢"}));
        QVERIFY(dg1->isVisible() && dg1->hasFocus());
        m_emptyList = true;
        openWindow(allRights);
        for (int k : {Qt::Key_I, Qt::Key_X, Qt::Key_S, Qt::Key_N}) key(grid("DG1"), k);
        QCOMPARE(m_dialogs->shown, QStringList(4, QString("尚無相關資料可查詢")));
        m_emptyList = false;
    }

    // Who sees which lines: the rows and the names of a column (the salesman's where the grid
    // shows one). Sales: without 355 the user's own (also with 1306) and no tax marker, with 355
    // but not 1306 the department's; after "|" the first row's 序號 and tax marker.
    void restrictions() {
        const struct {
            QList<int> rights;
            int key;
            const char* grid;
            int names;
            const char* seen;
        } cases[] = {
            {{}, Qt::Key_X, "DG7", 2, "10 S002|N02 |稅 hidden"},
            {{1306}, Qt::Key_X, "DG7", 2, "10 S002|N02 |稅 hidden"},
            {{355}, Qt::Key_X, "DG7", 2, "14 S001 S002|N01 N"},
            {{355, 1306}, Qt::Key_X, "DG7", 2, "15 S001 S002|N06 N"},
            {{}, Qt::Key_B, "DGB", 2, "2 S002"},
            {{355}, Qt::Key_B, "DGB", 2, "3 S001 S002"},
            {{}, Qt::Key_Q, "DG15", 2, "2 S002"},
            {{355}, Qt::Key_Q, "DG15", 2, "3 S001 S002"},
            {{}, Qt::Key_R, "DG15", 2, "2 S002"},
            {{355}, Qt::Key_R, "DG15", 2, "3 S001 S002"},
            {{}, Qt::Key_L, "DG18", 1, "2 S002"},
            {{355}, Qt::Key_L, "DG18", 1, "3 S001 S002"},
            {{934}, Qt::Key_S, "DG11", 1, "1 台北倉"},
        };
        for (const auto& c : cases) {
            openWindow(QList<int>{57} + c.rights, QString("S002"));
            key(grid("DG1"), c.key);
            QTableView* g = grid(c.grid);
            QStringList names = column(g, c.names);
            names.removeDuplicates();
            names.sort();
            QString seen = QString::number(g->model()->rowCount()) + u' ' + names.join(u' ');
            if (g == grid("DG7"))
                seen += u'|' + column(g, 8).value(0) + u' ' + column(g, 9).value(0) +
                        (g->isColumnHidden(9) ? u'|' + g->model()->headerData(9, Qt::Horizontal)
                                                           .toString() + " hidden"
                                              : QString());
            QVERIFY2(g->isVisible(), qPrintable(c.grid + m_dialogs->shown.join(u',')));
            QCOMPARE(seen, QString(c.seen));
        }
        // Alt and a mode's letter work from a mode button, a check box and a grid too.
        openWindow({57, 355}, QString("S002"));
        for (const char* from : {"B1(8)", "Chk1(0)", "DG7"}) {
            auto* w = control<QWidget>(m_window.get(), from);
            w->setFocus();
            QTest::keyClick(w, Qt::Key_B, Qt::AltModifier);
            QVERIFY2(grid("DGB")->isVisible(), from);
            QTest::keyClick(grid("DGB"), Qt::Key_X, Qt::AltModifier);
            QVERIFY2(grid("DG7")->isVisible() && !grid("DGB")->isVisible(), from);
        }
        // A mode refused by its message puts the item list in front again.
        openWindow({57}, QString("S002"));
        key(grid("DG1"), Qt::Key_X);
        QVERIFY(grid("DG7")->isVisible());
        m_window->pressMode(1);  // I without 353
        QCOMPARE(m_dialogs->shown.last(), QString("查廠商進貨權限不足"));
        QVERIFY(!grid("DG7")->isVisible() && grid("DG1")->hasFocus());
    }

    // Prices masked without 367 (also with 926 or tax-included), +3 % when taxed, the lot's own
    // price with 926 and else the item's cost; purchase returns and history by 367; 645 levels.
    void priceMasks() {
        openWindow({57, 926, 934});
        Session& s = Session::current();
        const auto lotPrices = [&] { return column(grid("DG13"), 3).mid(0, 2).join(u' '); };
        key(grid("DG1"), Qt::Key_P);
        QCOMPARE(lotPrices(), "***.** ***.**");
        s.switches.taxIncludedLotPrices = true;
        key(grid("DG13"), Qt::Key_Home);
        QCOMPARE(lotPrices(), "***.** ***.**");
        s.rightFlags[367] = true;
        onList(Qt::Key_P);
        QCOMPARE(lotPrices(), "103.00 100.00");
        s.switches.taxIncludedLotPrices = false;
        onList(Qt::Key_P);
        QCOMPARE(lotPrices().section(u' ', 0, 0), "100.00");  // the lot's own
        s.rightFlags[926] = false;
        onList(Qt::Key_P);
        QCOMPARE(lotPrices().section(u' ', 0, 0), "77.00");  // the item's cost
        // Purchase returns and the purchase history (its flag on every page): 367, never 926.
        s.rightFlags[353] = true;
        for (const bool prices : {true, false}) {
            s.rightFlags[367] = prices;
            s.rightFlags[926] = !prices;
            onList(Qt::Key_O);
            QCOMPARE(column(grid("DGO"), 5), QStringList{prices ? "90.00" : "***.**"});
            onList(Qt::Key_I);
            key(grid("DG3"), Qt::Key_PageUp);
            QCOMPARE(m_fake->sent.last(),
                     QString("EXEC SP_F8 'DG3','%1',33,'01','','A001','11401010001 10001',0,1,''")
                         .arg(prices ? "True" : "False"));
        }
        const auto label = [&](const char* name) { return control<QLabel>(m_window.get(), name); };
        QCOMPARE(label("L0(27)")->text(), QString("********.**"));
        s.rightFlags[645] = true;
        onList(Qt::Key_Down);
        QCOMPARE(label("L0(27)")->text(), QString("123.50"));
        QCOMPARE(label("L0(4)")->text(), QString("12 個=１盒 售價 1,200.00"));
    }

    // The safety stock notice (right 1074) and the stock per warehouse unless right 1073.
    void safetyStockNotice() {
        openWindow({57, 934, 1074});
        QTableView* dg1 = grid("DG1");
        QWidget* notice = control<QWidget>(m_window.get(), "FrSafety");
        QTableView* dgr1 = grid("DGR1");
        QVERIFY(notice->isVisible());  // A001: stock 0 against 25
        QCOMPARE(column(dgr1, 1), QStringList{QString("台北倉")});
        QVERIFY(dgr1->isVisible() && dgr1->geometry().left() > dg1->geometry().right());
        // Beside the row, over nothing else of the window, whatever the row; the notice has a
        // background of its own.
        QVERIFY(notice->autoFillBackground());
        const auto coversNothing = [&](QWidget* w) {
            if (!w->isVisible()) return true;
            if (!m_window->rect().contains(w->geometry())) return false;
            for (QWidget* other : m_window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (other != w && other->isVisible() && other->geometry().intersects(w->geometry()))
                    return false;
            return true;
        };
        const QRect first = dg1->visualRect(dg1->model()->index(0, 0));
        QCOMPARE(notice->y(), dg1->y() + dg1->viewport()->y() + first.top());
        for (int row = 0; row < dg1->model()->rowCount(); ++row) {
            QVERIFY2(coversNothing(notice) && coversNothing(dgr1), qPrintable(QString::number(row)));
            key(dg1, Qt::Key_Down);
        }
        key(dg1, Qt::Key_Home);
        QVERIFY(notice->isVisible());
        for (int i = 0; i < 3; ++i) key(dg1, Qt::Key_Down);  // A004: 30 against 25, no stock row
        QVERIFY(!notice->isVisible() && !dgr1->isVisible() && dg1->hasFocus());
        Session::current().rightFlags[1073] = true;
        key(dg1, Qt::Key_Home);
        QVERIFY(notice->isVisible() && !dgr1->isVisible());
        Session::current().rightFlags[1074] = false;
        key(dg1, Qt::Key_Down);  // A002: 10 against 25
        QVERIFY(!notice->isVisible());
    }

    // Lots: the oldest first, one further at the page's edges, S for the lot's stock per warehouse.
    void lots() {
        openWindow(allRights);
        key(grid("DG1"), Qt::Key_P);
        QTableView* dg13 = grid("DG13");
        QCOMPARE(column(dg13, 0).mid(0, 3), (QStringList{"L01", "L02", "L04"}));
        QCOMPARE(highlighted(dg13), 0);
        key(dg13, Qt::Key_End);
        QCOMPARE(column(dg13, 0).value(0) + " " + QString::number(highlighted(dg13)), "L02 14");
        key(dg13, Qt::Key_Home);
        key(dg13, Qt::Key_Up);  // already the oldest lot
        QCOMPARE(column(dg13, 0).value(0), QString("L01"));
        for (int i = 0; i < 15; ++i) key(dg13, Qt::Key_Down);
        QCOMPARE(column(dg13, 0).value(0), QString("L02"));
        QVERIFY(m_fake->sent.value(m_fake->sent.size() - 3)
                    .startsWith(QLatin1String("SELECT TOP 2 VCOD1SEQ,VCOD1,VPNAM,VUNIT,VINUM")));
        key(dg13, Qt::Key_Home);
        key(dg13, Qt::Key_S);
        QTableView* dg14 = grid("DG14");
        QCOMPARE(
            m_fake->sent.last(),
            QString("SELECT STCOD,INUMB FROM BUYSINCODE WHERE BCOD1SEQ = 'L01' AND INUMB <> 0"));
        QCOMPARE(column(dg14, 0), QStringList{"001"});
        key(dg14, Qt::Key_Escape);
        QVERIFY(!dg14->isVisible() && dg13->hasFocus());
    }
};

QTEST_MAIN(InquiryWindowTest)
#include "tst_inquirywindow.moc"
