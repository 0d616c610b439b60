// The paged lookup: the page statements, every key's page at both ends of the list, and the
// grid's place, take-over, Esc and not-found behaviour.
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
// A lookup procedure over the codes A01 to A25 with the page rules of the suite's procedures.
ResultSets procedurePage(const QString& command) {
    static const QRegularExpression call("^F (\\d+),'(.*)','(.*)%'$");
    const auto m = call.match(command);
    if (!m.hasMatch()) return {};
    QStringList codes;
    for (int i = 1; i <= 25; ++i) codes << QString("A%1").arg(i, 2, 10, QChar('0'));
    codes = codes.filter(QRegularExpression("^" + m.captured(3)));
    const QString anchor = m.captured(2);
    const qsizetype below = std::ranges::count_if(codes, [&](auto& c) { return c < anchor; });
    const qsizetype upTo = std::ranges::count_if(codes, [&](auto& c) { return c <= anchor; });
    // Where each kind of page starts; the first page (36) at the first code.
    const QHash<int, qsizetype> starts = {
        {35, codes.size() - 10}, {33, upTo - 10}, {38, upTo - 2}, {34, below}, {40, below}};
    const qsizetype from = starts.value(m.captured(1).toInt(), 0);
    ResultSet page{{"ACODE", "ANAME"}, {}};
    for (const QString& c : codes.mid(std::max<qsizetype>(from, 0), 10))
        page.rows << QVariantList{c, "名稱" + c};
    return {page};
}
}  // namespace

class TestLookup : public QObject {
    Q_OBJECT
    std::shared_ptr<FakeDatabase> m_db;
    std::shared_ptr<ProcedureLookupSource> m_lookup;
    QString m_typed;
    DataSource m_source;
    ScriptedDialogs* m_dialogs = nullptr;

    std::unique_ptr<LookupPager> pager() {
        return std::make_unique<LookupPager>(
            m_source, m_lookup, [this] { return m_typed + "%"; }, "FUA");
    }
    // The keys fetch nothing: the pager is at that end of the list already.
    void keysFetchNothing(LookupPager& p, std::initializer_list<int> keys) {
        const qsizetype before = m_db->sent.size();
        for (int key : keys) p.key(key);
        QCOMPARE(m_db->sent.size(), before);
    }
    // A shown window with the grid of the asset lookup in it.
    std::unique_ptr<LookupGrid> showGrid(QWidget& window) {
        auto grid = std::make_unique<LookupGrid>(
            m_source, LookupGrid::Setup{"DGF3", "財產編號", "財產名稱", "FUA"}, &window);
        grid->resize(280, 100);
        window.show();
        if (!QTest::qWaitForWindowActive(&window)) qWarning("the window is not active");
        return grid;
    }
    bool open(LookupGrid& grid, QWidget* field) {
        return grid.open(
            field, m_lookup, [this] { return m_typed + "%"; }, "找不到相關財產資料!");
    }

private slots:
    void init() {
        Session::reset();
        ProgramExit::throwOnEnd();
        m_dialogs = ScriptedDialogs::install();
        m_db = FakeDatabase::install();
        m_lookup = std::make_shared<ProcedureLookupSource>("F", "ACODE", "ANAME");
        m_db->answer = procedurePage;
        m_typed.clear();
        SetConnection(m_source);
    }

    // A table's page statements (bracket kept); a procedure's page number, the quote doubled.
    void pageStatements() {
        const SqlLookupSource acco("ACCO", "ACODE", "ANOTE");
        const auto page = [&](LookupPage p, const char* anchor) {
            return acco.pageCommand(p, anchor, "1[_]%");
        };
        const QString head =
            "SELECT TOP 10 ACODE AS A,ANOTE AS B FROM ACCO WHERE ACODE LIKE '1[_]%'";
        const QString upTo =
            " AND ACODE >= (SELECT MIN(ACODE) FROM (SELECT TOP %1 ACODE FROM ACCO "
            "WHERE ACODE LIKE '1[_]%'%2 ORDER BY ACODE DESC) AS A) ORDER BY ACODE";
        QCOMPARE(page(LookupPage::First, ""), head + " ORDER BY ACODE");
        QCOMPARE(page(LookupPage::Last, ""), head + upTo.arg(10).arg(""));
        QCOMPARE(page(LookupPage::From, "1_3"), head + " AND ACODE >= '1_3' ORDER BY ACODE");
        QCOMPARE(page(LookupPage::UpTo, "1_3"), head + upTo.arg(10).arg(" AND ACODE <= '1_3'"));
        QCOMPARE(page(LookupPage::OneUp, "1_3"), head + upTo.arg(2).arg(" AND ACODE <= '1_3'"));
        const ProcedureLookupSource assets("SF_ZQ2K_ASSET_F2", "ACODE", "ANAME");
        QCOMPARE(assets.pageCommand(LookupPage::OneUp, "O'N", "A%"),
                 QString("SF_ZQ2K_ASSET_F2 38,'O''N','A%'"));
    }

    // Every key's page at both ends, keys that must not fetch there, a list shorter than a page.
    void pagingThroughTheList() {
        auto p = pager();
        // The key pressed, then the last statement sent and the current row's code.
        const auto after = [&](int key) {
            p->key(key);
            return m_db->sent.last() + " " + p->code(p->row());
        };
        QVERIFY(p->open());
        QCOMPARE(m_db->sent.last() + " " + p->firstKey(), "F 36,'','%' A01");
        QCOMPARE(after(Qt::Key_PageDown), "F 34,'A10','%' A19");  // from the old last row on
        QCOMPARE(after(Qt::Key_PageDown), "F 34,'A19','%' A25");
        QCOMPARE(p->rowCount(), 7);
        keysFetchNothing(*p, {Qt::Key_PageDown, Qt::Key_Down});  // a short page is the end
        p->key(Qt::Key_End);
        QCOMPARE(m_db->sent.last() + " " + p->lastKey(), "F 35,'','%' A25");
        keysFetchNothing(*p, {Qt::Key_End, Qt::Key_PageDown});
        // Down on a full last page fetches once more, from its second row, then stops.
        QCOMPARE(after(Qt::Key_Down), "F 40,'A17','%' A25");
        QCOMPARE(p->rowCount(), 9);
        keysFetchNothing(*p, {Qt::Key_Down});
        p->key(Qt::Key_PageUp);  // ends with the old first row
        QCOMPARE(m_db->sent.last() + " " + p->code(0) + " " + p->code(p->lastRow()),
                 "F 33,'A17','%' A08 A17");
        // First row, not the first key: one row up.
        QCOMPARE(after(Qt::Key_Up), "F 38,'A08','%' A07");
        p->key(Qt::Key_Home);
        QCOMPARE(p->code(p->row()), QString("A01"));
        keysFetchNothing(*p, {Qt::Key_Home, Qt::Key_PageUp, Qt::Key_Up});  // on the first key
        p->key(Qt::Key_Down);
        p->key(Qt::Key_Down);
        const qsizetype before = m_db->sent.size();
        p->key(Qt::Key_Home);  // from the third row: fetched again
        QCOMPARE(m_db->sent.size(), before + 1);
        m_typed = "A2";
        p = pager();
        QVERIFY(p->open());
        QCOMPARE(p->rowCount(), 6);
        keysFetchNothing(*p, {Qt::Key_PageDown, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_Up});
        QVERIFY(!p->key(Qt::Key_A));
    }

    // Enter or a double click on a row takes it, beside the rows nothing; Esc; no match: notice.
    void gridTakesTheRowOrGoesBack() {
        QWidget window;
        window.resize(400, 450);
        auto* field = new QLineEdit(&window);
        auto* name = new QLineEdit(&window);
        const auto grid = showGrid(window);
        QObject::connect(grid.get(), &LookupGrid::taken, [&](const QString& c, const QString& n) {
            field->setText(c);
            name->setText(n);
        });
        const auto rowCentre = [&](int row) {
            return grid->visualRect(grid->model()->index(row, 0)).center();
        };
        m_typed = "A1";
        QVERIFY(open(*grid, field));
        QVERIFY(grid->isVisible() && grid->hasFocus());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowCentre(4));
        QCOMPARE(grid->pager()->row(), 4);
        QTest::keyClick(grid.get(), Qt::Key_Down);
        QTest::keyClick(grid.get(), Qt::Key_Return);
        QCOMPARE(field->text() + " " + name->text(), "A15 名稱A15");
        QVERIFY(field->hasFocus());
        QVERIFY(!grid->isVisible());  // losing the focus closed it
        m_typed = "A2";
        QVERIFY(open(*grid, field));
        QCOMPARE(grid->model()->rowCount(), 6);  // room beside the six rows
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rowCentre(5) + QPoint(0, 60));
        QCOMPARE(field->text(), QString("A15"));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rowCentre(2));
        QCOMPARE(field->text(), QString("A22"));
        QSignalSpy escapes(grid.get(), &LookupGrid::escaped);
        QVERIFY(open(*grid, field));
        QTest::keyClick(grid.get(), Qt::Key_PageDown);
        QTest::keyClick(grid.get(), Qt::Key_Escape);
        QCOMPARE(escapes.count(), 1);
        QCOMPARE(field->text(), QString("A22"));
        m_typed = "Z";
        QVERIFY(!open(*grid, field));
        QVERIFY(!grid->isVisible());
        QCOMPARE(m_dialogs->shown, QStringList{"找不到相關財產資料!"});
    }

    // Below the field, else above, within the window; always a whole page with none scrolled away.
    void gridSeenWholeWherever() {
        QWidget window;
        window.resize(600, 500);
        const auto fieldAt = [&](QRect place) {
            auto* f = new QLineEdit(&window);
            f->setGeometry(place);
            return f;
        };
        auto *top = fieldAt({10, 10, 100, 24}), *bottom = fieldAt({10, 466, 100, 24}),
             *right = fieldAt({560, 200, 30, 24});
        const auto grid = showGrid(window);
        const auto wholePage = [&] {
            if (grid->verticalScrollBar()->value() != 0) return false;
            for (int row = 0; row < LookupPager::PageSize; ++row)
                if (!grid->viewport()->rect().contains(
                        grid->visualRect(grid->model()->index(row, 1))))
                    return false;
            return true;
        };
        QVERIFY(open(*grid, top));
        QCOMPARE(grid->pos(), QPoint(10, 34));
        QCOMPARE(grid->height(), grid->pageHeight());
        QVERIFY(wholePage());
        for (int key : {Qt::Key_PageDown, Qt::Key_Down, Qt::Key_Down, Qt::Key_End}) {
            QTest::keyClick(grid.get(), Qt::Key(key));
            QCOMPARE(grid->model()->rowCount(), LookupPager::PageSize);
            QVERIFY2(wholePage(), qPrintable(QString("after key %1").arg(key, 0, 16)));
        }
        top->setFocus();
        QVERIFY(open(*grid, bottom));
        QCOMPARE(grid->geometry().bottom(), bottom->y() - 1);  // just above the field
        QVERIFY(window.rect().contains(grid->geometry()));
        top->setFocus();
        QVERIFY(open(*grid, right));
        QVERIFY(window.rect().contains(grid->geometry()));
        QCOMPARE(grid->geometry().right(), window.rect().right());
        QVERIFY(wholePage());
    }
};

QTEST_MAIN(TestLookup)
#include "tst_lookup.moc"
