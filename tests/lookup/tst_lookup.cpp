// The paged lookup: the exact page statements, the page arithmetic of every key at both ends
// of the list, and the grid's take-over, Esc and not-found behaviour.
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "../common/FakeDatabase.h"
#include "../shell/ScriptedDialogs.h"
#include "DataSource.h"
#include "DbAccess.h"
#include "LookupGrid.h"
#include "LookupPager.h"
#include "ProgramExit.h"
#include "Session.h"

namespace {
// A lookup procedure over a list of codes with the page rules of the suite's procedures.
ResultSets procedurePage(const QStringList& all, const QString& command) {
    static const QRegularExpression call("^F (\\d+),'(.*)','(.*)%'$");
    const auto m = call.match(command);
    if (!m.hasMatch()) return {};
    const int mode = m.captured(1).toInt();
    const QString anchor = m.captured(2);
    QStringList codes;
    for (const QString& c : all)
        if (c.startsWith(m.captured(3))) codes << c;
    qsizetype from = 0;
    const auto upTo = [&](int n) {
        qsizetype last = -1;
        for (qsizetype i = 0; i < codes.size(); ++i)
            if (codes[i] <= anchor) last = i;
        return std::max<qsizetype>(0, last - (n - 1));
    };
    switch (mode) {
        case 35: from = std::max<qsizetype>(0, codes.size() - 10); break;
        case 33: from = upTo(10); break;
        case 38: from = upTo(2); break;
        case 34:
        case 40:
            while (from < codes.size() && codes[from] < anchor) ++from;
            break;
        default: break;
    }
    ResultSet page{{"ACODE", "ANAME"}, {}};
    for (const QString& c : codes.mid(from, 10)) page.rows << QVariantList{c, "名稱" + c};
    return {page};
}
}  // namespace

class TestLookup : public QObject {
    Q_OBJECT
    std::shared_ptr<FakeDatabase> m_db;
    QStringList m_codes;
    QString m_typed;
    DataSource m_source;
    ScriptedDialogs* m_dialogs = nullptr;

    std::unique_ptr<LookupPager> pager() {
        auto lookup = std::make_shared<ProcedureLookupSource>("F", "ACODE", "ANAME");
        return std::make_unique<LookupPager>(m_source, lookup, [this] { return m_typed + "%"; },
                                             "FUA");
    }
    qsizetype queries() const { return m_db->sent.size(); }

private slots:
    void init() {
        Session::reset();
        ProgramExit::throwOnEnd();
        m_dialogs = ScriptedDialogs::install();
        m_db = FakeDatabase::install();
        m_codes.clear();
        for (int i = 1; i <= 25; ++i) m_codes << QString("A%1").arg(i, 2, 10, QChar('0'));
        m_db->answer = [this](const QString& c) { return procedurePage(m_codes, c); };
        m_typed.clear();
        SetConnection(m_source);
    }

    void sqlStatements() {
        const SqlLookupSource acco("ACCO", "ACODE", "ANOTE");
        const QString head = "SELECT TOP 10 ACODE AS A,ANOTE AS B FROM ACCO WHERE ACODE LIKE '1[_]%'";
        QCOMPARE(acco.pageCommand(LookupPage::First, "", "1[_]%"), head + " ORDER BY ACODE");
        QCOMPARE(acco.pageCommand(LookupPage::Last, "", "1[_]%"),
                 head + " AND ACODE >= (SELECT MIN(ACODE) FROM (SELECT TOP 10 ACODE FROM ACCO "
                        "WHERE ACODE LIKE '1[_]%' ORDER BY ACODE DESC) AS A) ORDER BY ACODE");
        QCOMPARE(acco.pageCommand(LookupPage::From, "1_3", "1[_]%"),
                 head + " AND ACODE >= '1_3' ORDER BY ACODE");
        QCOMPARE(acco.pageCommand(LookupPage::FromSecond, "1_3", "1[_]%"),
                 head + " AND ACODE >= '1_3' ORDER BY ACODE");
        QCOMPARE(acco.pageCommand(LookupPage::UpTo, "1_3", "1[_]%"),
                 head + " AND ACODE >= (SELECT MIN(ACODE) FROM (SELECT TOP 10 ACODE FROM ACCO "
                        "WHERE ACODE LIKE '1[_]%' AND ACODE <= '1_3' ORDER BY ACODE DESC) AS A) "
                        "ORDER BY ACODE");
        QCOMPARE(acco.pageCommand(LookupPage::OneUp, "1_3", "1[_]%"),
                 head + " AND ACODE >= (SELECT MIN(ACODE) FROM (SELECT TOP 2 ACODE FROM ACCO "
                        "WHERE ACODE LIKE '1[_]%' AND ACODE <= '1_3' ORDER BY ACODE DESC) AS A) "
                        "ORDER BY ACODE");
        const ProcedureLookupSource assets("SF_ZQ2K_ASSET_F2", "ACODE", "ANAME");
        QCOMPARE(assets.pageCommand(LookupPage::First, "", "A%"),
                 QString("SF_ZQ2K_ASSET_F2 36,'','A%'"));
        QCOMPARE(assets.pageCommand(LookupPage::OneUp, "A07", "A%"),
                 QString("SF_ZQ2K_ASSET_F2 38,'A07','A%'"));
    }

    void pagingThroughTheList() {
        auto p = pager();
        QVERIFY(p->open());
        QCOMPARE(p->firstKey(), QString("A01"));
        QCOMPARE(m_db->sent.last(), QString("F 36,'','%'"));

        p->key(Qt::Key_PageDown);  // from the old last row on
        QCOMPARE(m_db->sent.last(), QString("F 34,'A10','%'"));
        QCOMPARE(p->code(p->row()), QString("A19"));
        p->key(Qt::Key_PageDown);
        QCOMPARE(p->rowCount(), 7);
        QCOMPARE(p->code(p->row()), QString("A25"));
        auto before = queries();
        p->key(Qt::Key_PageDown);  // a short page is the end
        p->key(Qt::Key_Down);
        QCOMPARE(queries(), before);

        p->key(Qt::Key_End);
        QCOMPARE(m_db->sent.last(), QString("F 35,'','%'"));
        QCOMPARE(p->lastKey(), QString("A25"));
        before = queries();
        p->key(Qt::Key_End);
        p->key(Qt::Key_PageDown);
        QCOMPARE(queries(), before);

        // Down on a full last page fetches once more, from its second row, then stops.
        p->key(Qt::Key_Down);
        QCOMPARE(m_db->sent.last(), QString("F 40,'A17','%'"));
        QCOMPARE(p->rowCount(), 9);
        QCOMPARE(p->code(p->row()), QString("A25"));
        before = queries();
        p->key(Qt::Key_Down);
        QCOMPARE(queries(), before);

        p->key(Qt::Key_PageUp);  // ends with the old first row
        QCOMPARE(m_db->sent.last(), QString("F 33,'A17','%'"));
        QCOMPARE(p->code(0), QString("A08"));
        QCOMPARE(p->code(p->lastRow()), QString("A17"));
        p->key(Qt::Key_Up);  // first row, not the first key: one row up
        QCOMPARE(m_db->sent.last(), QString("F 38,'A08','%'"));
        QCOMPARE(p->code(p->row()), QString("A07"));
        p->key(Qt::Key_Down);
        QCOMPARE(p->code(p->row()), QString("A08"));

        p->key(Qt::Key_Home);
        QCOMPARE(p->code(p->row()), QString("A01"));
        before = queries();
        p->key(Qt::Key_Home);  // already on the first key
        p->key(Qt::Key_PageUp);
        p->key(Qt::Key_Up);
        QCOMPARE(queries(), before);
        p->key(Qt::Key_Down);
        p->key(Qt::Key_Down);
        p->key(Qt::Key_Home);  // from the third row: fetched again
        QCOMPARE(queries(), before + 1);
    }

    void shortListBehavesLikeAPlainList() {
        m_typed = "A2";
        auto p = pager();
        QVERIFY(p->open());
        QCOMPARE(p->rowCount(), 6);
        const auto before = queries();
        for (int key : {Qt::Key_PageDown, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_Up})
            p->key(key);
        QCOMPARE(queries(), before);
        QVERIFY(!p->key(Qt::Key_A));
    }

    void gridTakesTheRowOrGoesBack() {
        QWidget window;
        auto* field = new QLineEdit(&window);
        auto* name = new QLineEdit(&window);
        LookupGrid grid(m_source, {"DGF3", "財產編號", "財產名稱", "FUA"},
                        &window);
        QObject::connect(&grid, &LookupGrid::taken, [&](const QString& c, const QString& n) {
            field->setText(c);
            name->setText(n);
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto lookup = std::make_shared<ProcedureLookupSource>("F", "ACODE", "ANAME");
        field->setText("A1");
        QVERIFY(grid.open(field, lookup, [&] { return field->text() + "%"; }, "找不到相關財產資料!"));
        QVERIFY(grid.isVisible() && grid.hasFocus());
        QCOMPARE(grid.objectName(), QString("DGF3"));
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(field->text(), QString("A11"));
        QCOMPARE(name->text(), QString("名稱A11"));
        QVERIFY(field->hasFocus());
        QVERIFY(!grid.isVisible());  // losing the focus closed it

        QSignalSpy escapes(&grid, &LookupGrid::escaped);
        QVERIFY(grid.open(field, lookup, [&] { return field->text() + "%"; }, "找不到相關財產資料!"));
        QTest::keyClick(&grid, Qt::Key_PageDown);
        QTest::keyClick(&grid, Qt::Key_Escape);
        QCOMPARE(escapes.count(), 1);
        QCOMPARE(field->text(), QString("A11"));

        field->setText("Z");
        QVERIFY(!grid.open(field, lookup, [&] { return field->text() + "%"; }, "找不到相關財產資料!"));
        QVERIFY(!grid.isVisible());
        QCOMPARE(m_dialogs->shown, QStringList{"找不到相關財產資料!"});
    }

    // Below its field where there is room, above it where there is none, within the window at
    // its right edge; and always a whole page of rows with none scrolled away.
    void gridSeenWholeWherever() {
        QWidget window;
        window.resize(600, 500);
        auto* top = new QLineEdit(&window);
        top->setGeometry(10, 10, 100, 24);
        auto* bottom = new QLineEdit(&window);
        bottom->setGeometry(10, 466, 100, 24);
        auto* right = new QLineEdit(&window);
        right->setGeometry(560, 200, 30, 24);
        LookupGrid grid(m_source, {"DGF1", "財產編號", "財產名稱", "FUB"}, &window);
        grid.resize(280, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto lookup = std::make_shared<ProcedureLookupSource>("F", "ACODE", "ANAME");
        const auto openUnder = [&](QLineEdit* field) {
            return grid.open(
                field, lookup, [] { return QString("%"); }, "找不到相關財產資料!");
        };
        const auto wholePage = [&] {
            if (grid.verticalScrollBar()->value() != 0) return false;
            for (int row = 0; row < LookupPager::PageSize; ++row)
                if (!grid.viewport()->rect().contains(grid.visualRect(grid.model()->index(row, 1))))
                    return false;
            return true;
        };

        QVERIFY(openUnder(top));
        QCOMPARE(grid.pos(), QPoint(10, 34));
        QCOMPARE(grid.height(), grid.pageHeight());
        QVERIFY(wholePage());
        for (int key : {Qt::Key_PageDown, Qt::Key_Down, Qt::Key_Down, Qt::Key_End}) {
            QTest::keyClick(&grid, Qt::Key(key));
            QCOMPARE(grid.model()->rowCount(), LookupPager::PageSize);
            QVERIFY2(wholePage(), qPrintable(QString("after key %1").arg(key, 0, 16)));
        }
        top->setFocus();

        QVERIFY(openUnder(bottom));
        QCOMPARE(grid.geometry().bottom(), bottom->y() - 1);  // just above the field
        QVERIFY(window.rect().contains(grid.geometry()));
        top->setFocus();

        QVERIFY(openUnder(right));
        QVERIFY(window.rect().contains(grid.geometry()));
        QCOMPARE(grid.geometry().right(), window.rect().right());
        QVERIFY(wholePage());
    }

    // A row chosen with the mouse is the current row for the keys too: Down goes on from it
    // and Enter takes the row under the highlight; a double click beside the rows takes none.
    void mouseAndKeysAgreeOnTheRow() {
        QWidget window;
        auto* field = new QLineEdit(&window);
        LookupGrid grid(m_source, {"DGF3", "財產編號", "財產名稱", "FUA"}, &window);
        grid.resize(280, 100);
        window.resize(400, 450);
        QSignalSpy taken(&grid, &LookupGrid::taken);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto lookup = std::make_shared<ProcedureLookupSource>("F", "ACODE", "ANAME");
        QVERIFY(grid.open(
            field, lookup, [&] { return m_typed + "%"; }, "找不到相關財產資料!"));
        const auto rowCentre = [&](int row) {
            return grid.visualRect(grid.model()->index(row, 0)).center();
        };
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rowCentre(4));
        QCOMPARE(grid.pager()->row(), 4);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.currentIndex().row(), 5);
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(taken.takeFirst().value(0).toString(), QString("A06"));

        m_typed = "A2";  // six rows: room beside them
        QVERIFY(grid.open(
            field, lookup, [&] { return m_typed + "%"; }, "找不到相關財產資料!"));
        QCOMPARE(grid.model()->rowCount(), 6);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, rowCentre(5) + QPoint(0, 60));
        QVERIFY(taken.isEmpty());
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, rowCentre(2));
        QCOMPARE(taken.takeFirst().value(0).toString(), QString("A22"));
    }
};

QTEST_MAIN(TestLookup)
#include "tst_lookup.moc"
