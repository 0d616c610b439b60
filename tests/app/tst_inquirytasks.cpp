// The item inquiry's tasks as a person does them, by keys from the main menu: every view of the
// busy demo item and every lookup, read back against the stored rows the views come from, for
// readers with and without the rights that shape them.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTableView>
#include <QTextBrowser>
#include <cmath>

#include "TaskHarness.h"

namespace {
const QString Busy = QStringLiteral("MS0001");  // the item with a share of every history
const QString Masked = QStringLiteral("'***.**'");

QString quoted(const QString& text) { return '\'' + QString(text).replace('\'', "''") + '\''; }

// A cell as compared: a number (thousands separators and all) by its value to the cent.
QString cell(const QString& text) {
    QString bare = text.trimmed();
    bare.remove(u',');
    bool number = false;
    const double value = bare.toDouble(&number);
    return number ? QString::number(std::round(value * 100) / 100, 'f', 2) : text.trimmed();
}

// Who reads: the user's codes and the rights stored in the user's masks.
struct Reader {
    QString user, staff, department;
    QList<qint32> masks;
    bool has(int right) const {
        return quint32(masks.value(right / 32)) & (quint32(1) << (right % 32));
    }
    // A restriction that applies only without the right.
    QString unless(int right, const QString& column, const QString& value) const {
        return has(right) ? QString() : " AND " + column + " = " + quoted(value);
    }
};

// How a view starts and pages: the newest fifteen lines with the newest highlighted, the
// oldest fifteen with the oldest highlighted, or every row at once.
enum class Start { Newest, Oldest, Whole };

// A view of the highlighted item: its key, grid, mode button, the stored rows it shows (FROM
// and ORDER BY of a statement, "%1" the item) and the grid's captions with the stored value
// each shows.
struct View {
    QString key, grid;
    int mode;
    QString from, order;
    QStringList shown;  // "caption=expression"
    Start start = Start::Newest;
    int right = 0;  // a right the view needs; without it the view says so and stays closed
};

QList<View> viewsFor(const Reader& r) {
    const auto price = [&](const QString& column) { return r.has(367) ? column : Masked; };
    const QString lotPrice =
        !r.has(367)  ? Masked
        : r.has(926) ? QStringLiteral("VUNIT")
                     : QStringLiteral("(SELECT ISOUR2 FROM ITEM1 WHERE ICODE1 = VICOD)");
    const QString tax = r.has(355) ? QStringLiteral(
                                         "CASE WHEN (SELECT PTAXM FROM POSEIN WHERE PCOD1 = "
                                         "HCOD1) > 0 THEN 'Y' ELSE 'N' END")
                                   : QStringLiteral("''");
    const QString ownSales =
        !r.has(355) ? r.unless(355, "HSCOD", r.staff) : r.unless(1306, "HDENO", r.department);
    const QString pos =
        "RETAILD WHERE RIDT = '%2' AND RICOD = %1" + r.unless(355, "RSCOD", r.staff);
    return {
        {"I",
         "DG3",
         1,
         "VISEIN WHERE VICOD = %1",
         "VCOD1, VSEQ",
         {"進貨單號=VCOD1", "進貨日期=VDAT1", "廠商名稱=VPNAM", "數量=VINUM",
          "單價=" + price("VUNIT"), "金額=" + price("VTOTA"), "批號=VCOD1SEQ"},
         Start::Newest,
         353},
        {"O",
         "DGO",
         2,
         "VISEOU WHERE SystemVisible = 1 AND VICOD = %1",
         "VCOD1, VOSEQ",
         {"退出單號=VCOD1", "廠商名稱=VPNAM", "倉庫=VTCOD", "數量=VINU2", "單價=" + price("VUNI2")},
         Start::Newest,
         353},
        {"X",
         "DG7",
         4,
         "HISTIN WHERE SystemVisible = 1 AND HICOD = %1" + ownSales,
         "HCOD1, HSEQ",
         {"單據號碼=HCOD1", "客戶名稱=HPNAM", "業務=HSNAM", "倉庫=HTCOD",
          "數量=ISNULL(HINU3, HINUM)", "稅=" + tax}},
        {"B",
         "DGB",
         5,
         "HISTOU WHERE SystemVisible = 1 AND HICOD = %1" + r.unless(355, "HSCOD", r.staff),
         "HCOD1, HSEQ",
         {"單據號碼=HCOD1", "客戶名稱=HPNAM", "業務=HSNAM", "倉庫=HTCOD"}},
        {"S",
         "DG11",
         7,
         "STOC WHERE SITEM = %1",
         "STCOD",
         {"倉庫=STCOD", "倉庫名稱=STNAM", "庫存量=SNUMB"},
         Start::Whole,
         934},
        {"P",
         "DG13",
         10,
         "VISEIN WHERE VICOD = %1 AND VCOD1NUM <> 0 AND VCOD1SEQ <> ''",
         "VCOD1, VCOD1SEQ",
         {"批號=VCOD1SEQ", "進貨單號=VCOD1", "廠商名稱=VPNAM", "單價=" + lotPrice,
          "剩餘量=VCOD1NUM"},
         Start::Oldest},
        {"Q",
         "DG15",
         11,
         pos.arg("%1", "0"),
         "RCOD1, RSEQ",
         {"單據號碼=RCOD1", "客戶名稱=RPNAM", "業務=RSNAM", "數量=ISNULL(RINU2, RINUM)"}},
        {"R",
         "DG15",
         12,
         pos.arg("%1", "1"),
         "RCOD1, RSEQ",
         {"單據號碼=RCOD1", "客戶名稱=RPNAM", "業務=RSNAM", "數量=ISNULL(RINU2, RINUM)"}},
        {"T",
         "DG16",
         13,
         "TRAN1 WHERE TICOD = %1",
         "TCCOD, TSEQ",
         {"調撥單號=TCCOD", "調出倉=TSCO1", "調入倉=TSCO2", "數量=TNUMB"}},
        {"N",
         "DG17",
         14,
         "SISE WHERE SICOD = %1 AND SINUM - SONUM > 0 AND SINYN = 'N'",
         "SCOD1, SSEQ",
         {"採購單號=SCOD1", "廠商名稱=SPNAM", "未到量=SINUM - SONUM"}},
        {"L",
         "DG18",
         15,
         "ORSUB WHERE OICOD = %1 AND OINYN IN ('N', '') AND ONNO > 0" +
             r.unless(355, "OSCOD", r.staff),
         "OCOD1, OSEQ",
         {"訂單號碼=OCOD1", "客戶名稱=OCNAM", "未出量=ONNO", "序號=OCOD1SEQ"}},
        {"G", "DG19", 16, "ITEMP WHERE ICODE = %1", "ITCOD + IICOD", {"倉庫=ITCOD", "儲位=IICOD"}},
        {"U",
         "DG21",
         19,
         "REBACKD WHERE RICOD = %1",
         "RCOD1, RSEQ",
         {"維修單號=RCOD1", "項次=RSEQ", "客戶名稱=RPNAM", "料號=RICOD"}},
        {"C",
         "DG22",
         22,
         "SINOUT WHERE SINOU = 'C' AND SICODE = %1",
         "SIONO DESC",
         {"入庫單號=SIONO", "入庫對象=STTARG", "數量=ENUMB"},
         Start::Whole},
        {"D",
         "DG23",
         24,
         "SerialInOutTotal WHERE ICODE = %1 AND SerialCode <> '' AND Quantity <> 0",
         "SerialCode",
         {"批號=SerialCode", "倉庫=STCOD", "數量=Quantity"},
         Start::Whole},
    };
}

QStringList captionsOf(const QStringList& shown) {
    QStringList captions;
    for (const QString& pair : shown) captions << pair.section(u'=', 0, 0);
    return captions;
}

QString selectOf(const QStringList& shown) {
    QStringList expressions;
    for (const QString& pair : shown) expressions << pair.section(u'=', 1);
    return "SELECT " + expressions.join(", ");
}

// The rows of a grid under the captions, cells as compared.
QStringList gridRows(const QTableView* grid, const QStringList& captions) {
    const QAbstractItemModel* model = grid->model();
    QList<int> columns;
    for (const QString& caption : captions) {
        int found = -1;
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->headerData(c, Qt::Horizontal).toString() == caption) found = c;
        columns << found;
    }
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c : columns)
            cells << (c < 0 ? QStringLiteral("<no column>")
                            : cell(model->index(r, c).data().toString()));
        rows << cells.join(u'|');
    }
    return rows;
}
}  // namespace

class TestInquiryTasks : public QObject {
    Q_OBJECT
    std::unique_ptr<TaskHarness> m_task;

    bool walk(const QString& steps) { return m_task->walk(steps); }

    // The stored rows of a statement, cells as compared.
    QStringList stored(const QString& sql) const {
        QStringList rows;
        for (const QVariantList& row : m_task->query(sql).value(0).rows) {
            QStringList cells;
            for (const QVariant& v : row) cells << cell(v.toString());
            rows << cells.join(u'|');
        }
        return rows;
    }
    Reader readerOf(const QString& user) const {
        Reader r{user, {}, {}, {}};
        QString masks;
        for (int c = 0; c < 41; ++c) masks += QStringLiteral(", R%1").arg(c, 2, 10, QChar(u'0'));
        const QVariantList row = m_task
                                     ->query("SELECT SCODE, DEPARTNO" + masks +
                                             " FROM SALE WHERE SUSER = " + quoted(user))
                                     .value(0)
                                     .rows.value(0);
        r.staff = row.value(0).toString().trimmed();
        r.department = row.value(1).toString().trimmed();
        for (int c = 0; c < 41; ++c) r.masks << qint32(row.value(2 + c).toLongLong());
        return r;
    }
    // Gives or takes rights of a demo user in the stored masks; the next start reads them.
    void setRights(const QString& user, const QList<int>& rights, bool on) {
        Reader r = readerOf(user);
        for (int right : rights) {
            quint32 mask = quint32(r.masks[right / 32]);
            const quint32 bit = quint32(1) << (right % 32);
            mask = on ? mask | bit : mask & ~bit;
            r.masks[right / 32] = qint32(mask);
            m_task->query(QStringLiteral("UPDATE SALE SET R%1 = %2 WHERE SUSER = %3")
                              .arg(right / 32, 2, 10, QChar(u'0'))
                              .arg(qint32(mask))
                              .arg(quoted(user)));
        }
    }

    QTableView* grid(const QString& name) const {
        return m_task->shownControl<QTableView>(QStringLiteral("FF8"), name);
    }
    QString text(const QString& name) const {
        QWidget* w = m_task->shownControl(QStringLiteral("FF8"), name);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
        if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
        if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) return plain->toPlainText();
        return QStringLiteral("<no %1>").arg(name);
    }
    // The item the list highlights.
    QString listItem() const {
        QTableView* list = grid(QStringLiteral("DG1"));
        if (!list || !list->currentIndex().isValid()) return {};
        return list->model()->index(list->currentIndex().row(), 0).data().toString().trimmed();
    }
    // The page a grid shows and its highlighted row against the rows expected; empty when they
    // agree, else what differs.
    QString pageDiffers(const QString& name, const QStringList& captions,
                        const QStringList& expected, int highlighted) const {
        QTableView* g = grid(name);
        if (!g) return name + " is not shown";
        const QStringList rows = gridRows(g, captions);
        if (rows != expected) {
            int i = 0;
            while (i < rows.size() && i < expected.size() && rows[i] == expected[i]) ++i;
            return QStringLiteral(
                       "%1 shows %2 rows, %3 expected; first difference at row %4: "
                       "[%5] instead of [%6]")
                .arg(name)
                .arg(rows.size())
                .arg(expected.size())
                .arg(i)
                .arg(rows.value(i), expected.value(i));
        }
        if (highlighted >= 0 && g->currentIndex().row() != highlighted)
            return QStringLiteral("%1 highlights row %2, not %3")
                .arg(name)
                .arg(g->currentIndex().row())
                .arg(highlighted);
        return {};
    }

    // From the menu: the inquiry opened, the list at the item by the item entry frame.
    bool openAt(const QString& item) {
        if (!walk("F8 FF8/DG1, F FF8/T1(0)") || !m_task->type(item)) return false;
        return walk("Return FF8/T1(1), Return FF8/B2(0), Return FF8/DG1") && listItem() == item;
    }

    // One view: the first page, Page Down from it, Home and Page Down from there, each against
    // the stored rows, then Esc to its mode button.
    void checkView(const Reader& r, const View& v) {
        const QStringList captions = captionsOf(v.shown);
        const QString step = r.user + ", " + v.key + ' ' + v.grid;
        if (v.right && !r.has(v.right)) {
            QVERIFY2(walk(v.key + " FF8"), qPrintable(step));
            QCOMPARE(m_task->takeMessages().size(), 1);
            QVERIFY2(!grid(v.grid), qPrintable(step + " shows without the right"));
            return;
        }
        const QStringList all = stored(selectOf(v.shown) + " FROM " + v.from.arg(quoted(Busy)) +
                                       " ORDER BY " + v.order);
        const int n = int(all.size());
        QVERIFY2(n > 0, qPrintable(step + ": the demo item has no rows"));
        const auto page = [&](int from) { return all.mid(std::max(0, from), 15); };
        const bool paged = v.start != Start::Whole, full = n >= 15;
        const QStringList first = v.start == Start::Newest ? page(n - 15) : paged ? page(0) : all;
        const int highlighted = v.start == Start::Newest ? int(first.size()) - 1 : 0;
        constexpr int Last = -2, Any = -1;
        struct Step {
            QString key;
            QStringList rows;
            int highlighted;
        };
        // Page Down from the newest page starts at its last line, which is all there is; a page
        // that is not full ignores Page Down; the second page goes on from the first's last line.
        const QList<Step> steps = {
            {v.key, first, highlighted},
            {"PgDown",
             !paged || !full            ? first
             : v.start == Start::Newest ? page(n - 1)
                                        : page(14),
             !paged ? Any
             : full ? Last
                    : highlighted},
            {"Home", paged ? page(0) : first, paged ? 0 : Any},
            {"PgDown",
             paged && full ? page(14)
             : paged       ? page(0)
                           : first,
             !paged ? Any
             : full ? Last
                    : 0},
        };
        for (const Step& s : steps) {
            QVERIFY2(walk(s.key + " FF8/" + v.grid), qPrintable(step + ", " + s.key));
            const QString differs =
                pageDiffers(v.grid, captions, s.rows,
                            s.highlighted == Last ? int(s.rows.size()) - 1 : s.highlighted);
            QVERIFY2(differs.isEmpty(), qPrintable(step + " " + s.key + ": " + differs));
        }
        QVERIFY2(walk(QStringLiteral("Esc FF8/B1(%1)").arg(v.mode)), qPrintable(step));
    }

private slots:
    void initTestCase() {
        TASK_NEEDS_DISPLAY();
        m_task = std::make_unique<TaskHarness>();
    }
    // No test leaves a message unread; a failed step leaves no window behind for the next test.
    void cleanup() {
        const QString unread = m_task->finish();
        QVERIFY2(unread.isEmpty(), qPrintable(unread));
    }
    void cleanupTestCase() { m_task.reset(); }

    // Every view of the busy item and every lookup, as readers with and without the rights
    // that shape them: own lines only or all of them, prices masked or shown.
    void everyViewAndLookup_data() {
        QTest::addColumn<QString>("staff");     // the demo user's salesman code
        QTest::addColumn<QList<int>>("lacks");  // rights the reader must not have
        QTest::addColumn<QList<int>>("given");  // rights given to the demo user for the run
        QTest::newRow("every right") << "S001" << QList<int>{} << QList<int>{};
        QTest::newRow("own lines only") << "S005" << QList<int>{355} << QList<int>{};
        QTest::newRow("own department") << "S006" << QList<int>{1306} << QList<int>{};
        QTest::newRow("no prices")
            << "S007" << QList<int>{367, 926, 645, 646, 647, 648} << QList<int>{};
        // The demo users lack the purchase views' right 353: given, the purchase grids show
        // with their prices masked, and with 367 but not 926 the lots show the item's cost.
        QTest::newRow("purchases, no prices") << "S007" << QList<int>{367, 926} << QList<int>{353};
        QTest::newRow("prices, no lot price") << "S007" << QList<int>{926} << QList<int>{353, 367};
    }
    void everyViewAndLookup() {
        QFETCH(QString, staff);
        QFETCH(QList<int>, lacks);
        QFETCH(QList<int>, given);
        const QString user =
            m_task->scalar("SELECT SUSER FROM SALE WHERE SCODE = " + quoted(staff)).trimmed();
        setRights(user, given, true);
        const auto restore = qScopeGuard([&] { setRights(user, given, false); });
        const Reader r = readerOf(user);
        for (int right : lacks) QVERIFY2(!r.has(right), qPrintable(QString::number(right)));
        for (int right : given) QVERIFY(r.has(right));

        const QString why = m_task->start(user);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY(openAt(Busy));

        // The panel's price levels 2 to 4 and the lowest price.
        const QStringList prices =
            stored("SELECT IUNIT2, IUNIT3, IUNIT4, IUNIT5 FROM ITEM WHERE ICODE = " + quoted(Busy))
                .value(0)
                .split(u'|');
        for (int i = 0; i < 4; ++i)
            QCOMPARE(cell(text(QStringLiteral("L0(%1)").arg(27 + 2 * i))),
                     r.has(645 + i) ? prices.value(i) : QStringLiteral("********.**"));

        for (const View& v : viewsFor(r)) {
            checkView(r, v);
            if (QTest::currentTestFailed()) return;
        }
        // A view's grid gives the keyboard back to the list by Tab.
        QVERIFY(walk("X FF8/DG7, Tab FF8/DG1"));

        vendorLookup(r);
        if (QTest::currentTestFailed()) return;
        customerLookup(r, false);
        if (QTest::currentTestFailed()) return;
        customerLookup(r, true);
        if (QTest::currentTestFailed()) return;
        lotLookup(r);
        if (QTest::currentTestFailed()) return;
        externalCodeLookup();
    }

    // F: the list moves to an item by its code, by its name (the first code of that name) and by
    // its EAN-13 bar code typed without the zeros in front; an unknown item keeps the frame.
    void itemEntry() {
        TASK_START(*m_task, "ADM");
        QVERIFY(walk("F8 FF8/DG1"));
        const QStringList named = stored(
            "SELECT TOP 1 INAME, (SELECT MIN(ICODE) FROM ITEM B WHERE B.INAME = A.INAME) FROM "
            "ITEM A GROUP BY INAME HAVING COUNT(*) > 1 ORDER BY INAME");
        const QStringList barcode =
            stored("SELECT TOP 1 ENA13, ICODE1 FROM ITEM1 WHERE ENA13 LIKE '000%' ORDER BY ICODE1");
        QVERIFY(!named.isEmpty() && !barcode.isEmpty());
        const QString ean = m_task->scalar("SELECT ENA13 FROM ITEM1 WHERE ICODE1 = " +
                                           quoted(barcode[0].section(u'|', 1)));
        struct Case {
            QString typed;
            bool byName;
            QString item;
        };
        const QList<Case> cases = {
            {Busy, false, Busy},
            {named[0].section(u'|', 0, 0), true, named[0].section(u'|', 1)},
            {ean.mid(3), false, barcode[0].section(u'|', 1)},
        };
        for (const Case& c : cases) {
            QVERIFY(walk(c.byName ? "F FF8/T1(0), Return FF8/T1(1)" : "F FF8/T1(0)"));
            QVERIFY(m_task->type(c.typed));
            QVERIFY(walk(c.byName ? "Return FF8/B2(0)" : "Return FF8/T1(1), Return FF8/B2(0)"));
            const QString name =
                m_task->scalar("SELECT INAME FROM ITEM WHERE ICODE = " + quoted(c.item));
            if (!c.byName) {
                QCOMPARE(text("T1(0)").trimmed(), c.item);
                QCOMPARE(text("T1(1)").trimmed(), name.trimmed());
            }
            QVERIFY(walk("Return FF8/DG1"));
            QCOMPARE(listItem(), c.item);
            QCOMPARE(text("L0(1)"), c.item);
        }
        QVERIFY(walk("F FF8/T1(0)") && m_task->type("ZZ-NONE"));
        QVERIFY(walk("Return FF8/T1(1), Return FF8/B2(0), Return FF8/T1(0)"));
        QCOMPARE(m_task->takeMessages(), QStringList{"查無相關產品資料"});
        QVERIFY(walk("Esc FF8/B2(0), Esc FF8/DG1"));
        QCOMPARE(listItem(), cases.last().item);
    }

    // The code lists of the entry frames show their whole page of fifteen: the item codes (F),
    // the vendors and their items (J), the customers and their items (Y); Enter takes a code
    // into its field, Esc goes back to it.
    void codeListsShowWholePages() {
        TASK_START(*m_task, "ADM");
        const auto listed = [&](const QString& name, const QString& field) {
            QTableView* list = grid(name);
            const bool whole = TaskHarness::wholePage(list, 15);
            if (!whole) qWarning("%s does not show 15 whole rows", qPrintable(name));
            const QString first = list ? list->model()->index(0, 0).data().toString() : QString();
            return whole && walk("Return FF8/" + field) && text(field).trimmed() == first.trimmed();
        };
        QVERIFY(walk("F8 FF8/DG1, F FF8/T1(0), F2 FF8/DG2"));
        QVERIFY(listed("DG2", "T1(0)"));
        QVERIFY(walk("Esc FF8/B2(0), Esc FF8/DG1"));
        const QString vendor = m_task->scalar(
            "SELECT TOP 1 VPCOD FROM VF8J GROUP BY VPCOD ORDER BY COUNT(DISTINCT VICOD) DESC");
        QVERIFY(walk("J FF8/T2(0), F2 FF8/DG4") && listed("DG4", "T2(0)"));
        QVERIFY(walk("Home FF8/T2(0)") && m_task->press(Qt::Key_End, Qt::ShiftModifier) &&
                m_task->type(vendor));
        QVERIFY(walk("Return FF8/T2(1), F2 FF8/DG5") && listed("DG5", "T2(1)"));
        QVERIFY(walk("F2 FF8/DG5, Esc FF8/T2(1), Esc FF8/DG1"));
        const QString customer = m_task->scalar(
            "SELECT TOP 1 HPCOD FROM HISTIN GROUP BY HPCOD ORDER BY COUNT(DISTINCT HICOD) DESC");
        QVERIFY(walk("Y FF8/T3(0), F2 FF8/DG8") && listed("DG8", "T3(0)"));
        QVERIFY(walk("Home FF8/T3(0)") && m_task->press(Qt::Key_End, Qt::ShiftModifier) &&
                m_task->type(customer));
        QVERIFY(walk("Return FF8/T3(1), F2 FF8/DG9") && listed("DG9", "T3(1)"));
        QVERIFY(walk("Esc FF8/DG1"));
    }

    // H: the counts of the item's stored sales, returns and orders; the fields by Enter and the
    // arrows, Esc back to the mode button.
    void statistics() {
        TASK_START(*m_task, "ADM");
        QVERIFY(openAt(Busy));
        QVERIFY(walk("H FF8/T5(0)"));
        const QString item = quoted(Busy);
        const QList<std::pair<QString, QString>> counts = {
            {"T5(0)", "SELECT SUM(HINUM) FROM HISTIN WHERE SystemVisible = 1 AND HICOD = " + item},
            {"T5(5)", "SELECT SUM(HINUM) FROM HISTOU WHERE SystemVisible = 1 AND HICOD = " + item},
            {"T5(6)", "SELECT SUM(OINUM) FROM ORSUB WHERE OICOD = " + item},
        };
        for (const auto& [field, sql] : counts)
            QCOMPARE(cell(text(field)), cell(m_task->scalar(sql)));
        QVERIFY(walk("Return FF8/T5(1), Down FF8/T5(2), Up FF8/T5(1), Esc FF8/B1(18)"));
    }

    // E: the item's description in T7 and as the page Html.htm beside the program, which
    // follows what is typed; Esc back to the mode button.
    void descriptionPage() {
        TASK_START(*m_task, "ADM");
        QVERIFY(openAt(Busy));
        QVERIFY(walk("E FF8/T7"));
        const QString description =
            m_task->scalar("SELECT ISPACE FROM ITEM WHERE ICODE = " + quoted(Busy));
        QVERIFY(!description.isEmpty());
        QCOMPARE(text("T7"), description);
        QVERIFY(m_task->press(Qt::Key_End, Qt::ControlModifier) && m_task->type("<p>zq</p>"));
        QCOMPARE(text("T7"), description + "<p>zq</p>");
        const auto page = [] {
            QFile file(QCoreApplication::applicationDirPath() + "/Html.htm");
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QTRY_VERIFY(page().endsWith("<p>zq</p></body></html>"));
        auto* view = m_task->shownControl<QTextBrowser>("FF8", "WebBrowser");
        QVERIFY(view);
        QTRY_VERIFY(view->toPlainText().endsWith("zq"));
        QVERIFY(walk("Esc FF8/B1(20)"));
    }

private:
    // J: the vendor's purchase lines of every item, oldest first by item, document and line;
    // Page Down goes on from the page's last line; Enter back to the mode button.
    void vendorLookup(const Reader& r) {
        if (!r.has(353)) {
            QVERIFY(walk("J FF8"));
            QCOMPARE(m_task->takeMessages(), QStringList{"權限不足"});
            return;
        }
        const QString vendor =
            m_task->scalar("SELECT TOP 1 VPCOD FROM VISEIN WHERE VICOD = " + quoted(Busy) +
                           " GROUP BY VPCOD ORDER BY COUNT(*) DESC, VPCOD");
        const QStringList shown = {"進貨單號=VCOD1", "產品代號=VICOD", "數量=VINUM",
                                   "單價=" + (r.has(367) ? QStringLiteral("VUNIT") : Masked)};
        const QStringList all =
            stored(selectOf(shown) + " FROM VISEIN WHERE VPCOD = " + quoted(vendor) +
                   " ORDER BY VICOD, VCOD1, VSEQ");
        QVERIFY(all.size() >= 29);
        QVERIFY(walk("J FF8/T2(0)") && m_task->type(vendor));
        QVERIFY(walk("Return FF8/T2(1), Return FF8/B3(0), Return FF8/DG6"));
        QString differs = pageDiffers("DG6", captionsOf(shown), all.mid(0, 15), 0);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        QVERIFY(walk("PgDown FF8/DG6"));
        differs = pageDiffers("DG6", captionsOf(shown), all.mid(14, 15), 14);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        QVERIFY(walk("Return FF8/B1(3)"));
    }

    // Y and M: the customer's sales lines (by item, document and line) or repair orders (by
    // item and order), own ones only without right 355; Page Down goes on from the page's last
    // line (the repair orders from its order code); Enter moves the list to the row's item.
    void customerLookup(const Reader& r, bool repairs) {
        const QString key = repairs ? "M" : "Y", field = repairs ? "T6" : "T3",
                      button = repairs ? "B6(0)" : "B4(0)", name = repairs ? "DG20" : "DG10";
        const QString customer = m_task->scalar(
            repairs
                ? "SELECT TOP 1 WPCOD FROM WORKER GROUP BY WPCOD ORDER BY COUNT(*) DESC, WPCOD"
                : "SELECT TOP 1 HPCOD FROM HISTIN GROUP BY HPCOD ORDER BY COUNT(*) DESC, HPCOD");
        const QString from =
            repairs ? "WORKER WHERE WPCOD = " + quoted(customer) + r.unless(355, "WSC13", r.staff)
                    : "HISTIN WHERE SystemVisible = 1 AND HPCOD = " + quoted(customer) +
                          r.unless(355, "HSCOD", r.staff);
        const QString order = repairs ? " ORDER BY WICOD, WCOD2" : " ORDER BY HICOD, HCOD1, HSEQ";
        const QStringList shown =
            repairs ? QStringList{"維修單號=WCOD2", "產品代號=WICOD", "業務=WSN13"}
                    : QStringList{"單據號碼=HCOD1", "產品代號=HICOD", "業務=HSNAM",
                                  "數量=ISNULL(HINU3, HINUM)",
                                  "稅=CASE WHEN (SELECT PTAXM FROM POSEIN WHERE PCOD1 = HCOD1) > 0 "
                                  "THEN 'Y' ELSE 'N' END"};
        const QStringList all = stored(selectOf(shown) + " FROM " + from + order);
        QVERIFY2(!all.isEmpty(), qPrintable(key + ": the demo customer has no rows"));
        QVERIFY(walk(key + " FF8/" + field + "(0)") && m_task->type(customer));
        QVERIFY(walk("Return FF8/" + field + "(1), Return FF8/" + button + ", Return FF8/" + name));
        QStringList expected = all.mid(0, 15);
        QString differs = pageDiffers(name, captionsOf(shown), expected, 0);
        QVERIFY2(differs.isEmpty(), qPrintable(r.user + ", " + key + ": " + differs));
        if (expected.size() == 15) {
            if (repairs)  // the orders from the page's last order code, in item order
                expected =
                    stored("SELECT TOP 15" + selectOf(shown).mid(6) + " FROM " + from +
                           " AND WCOD2 >= " + quoted(expected.last().section(u'|', 0, 0)) + order);
            else
                expected = all.mid(14, 15);
        }
        QVERIFY(walk("PgDown FF8/" + name));
        differs = pageDiffers(name, captionsOf(shown), expected,
                              expected.size() == 15 ? int(expected.size()) - 1 : -1);
        QVERIFY2(differs.isEmpty(), qPrintable(r.user + ", " + key + " PgDown: " + differs));
        QTableView* g = grid(name);
        const QString item = gridRows(g, {"產品代號"}).value(g->currentIndex().row());
        QVERIFY(walk("Return FF8/DG1"));
        QCOMPARE(listItem(), item);
    }

    // A: the lot's item, name, quantities and price in a message (the lot's own price with 367
    // and 926, the item's cost with 367 alone, masked without 367); the keyboard stays in the
    // field; Esc back to the list.
    void lotLookup(const Reader& r) {
        const QStringList lot = stored(
            "SELECT TOP 1 VCOD1SEQ, VICOD, VINAM, VUNIT, (SELECT ISOUR2 FROM ITEM1 WHERE ICODE1 "
            "= VICOD) FROM VISEIN WHERE VICOD = " +
            quoted(Busy) + " AND VCOD1SEQ <> '' ORDER BY VCOD1 DESC");
        QVERIFY(!lot.isEmpty());
        const QStringList v = lot[0].split(u'|');
        QVERIFY(walk("A FF8/T8") && m_task->type(v[0]));
        QVERIFY(walk("Return FF8/B8(0), Return FF8/T8"));
        const QStringList said = m_task->takeMessages();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].contains("[ " + v[1] + " ]") && said[0].contains("[ " + v[2] + " ]"),
                 qPrintable(said[0]));
        const QString price = said[0].section("該批進貨單價為 [", 1).section(u']', 0, 0);
        QCOMPARE(cell(price), !r.has(367) ? QStringLiteral("***.**") : r.has(926) ? v[3] : v[4]);
        QVERIFY(walk("Esc FF8/DG1"));
    }

    // Z: the items of an external code prefix (not stopped, by code); the list moves to the
    // first, and to the one chosen by Enter.
    void externalCodeLookup() {
        const QString prefix = QStringLiteral("EX-MS00");
        const QStringList shown = {"產品代號=ICODE", "品名規格=INAME", "外部碼=ICOD2"};
        const QStringList all =
            stored(selectOf(shown) +
                   " FROM ITEM JOIN ITEM3 ON ICODE3 = ICODE WHERE STOPSALE = 0 AND ICOD2 LIKE " +
                   quoted(prefix + '%') + " ORDER BY ICOD2");
        QVERIFY(all.size() >= 2);
        QVERIFY(walk("Z FF8/T9") && m_task->type(prefix));
        QVERIFY(walk("Return FF8/B9(0), Return FF8/DG09"));
        const QString differs = pageDiffers("DG09", captionsOf(shown), all, 0);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        QCOMPARE(listItem(), all[0].section(u'|', 0, 0));
        QVERIFY(walk("Down FF8/DG09, Return FF8/DG1"));
        QCOMPARE(listItem(), all[1].section(u'|', 0, 0));
    }
};

TASK_MAIN(TestInquiryTasks)

#include "tst_inquirytasks.moc"
