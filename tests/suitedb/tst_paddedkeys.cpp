// The grids and lookups whose paging key fills a code to a width, paged by their keys over
// items whose codes are Chinese, longer than the width or hold an apostrophe: every stored
// line is reached exactly once by Page Down from the first page, and every one by Page Up
// from the last.
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "Backends.h"
#include "CodeLookups.h"
#include "DbAccess.h"
#include "HistoryPager.h"
#include "ListProcedure.h"
#include "LocalSettings.h"
#include "SqlLiteral.h"
#include "SqliteConnection.h"
#include "SuiteDatabase.h"
#include "SuiteSchema.h"
#include "Values.h"

namespace {
const QString Vendor = QStringLiteral("P'1");
const QString Customer = QStringLiteral("C'1");

// The items and how many lines each has in every history table: a page and a bit, exactly
// three pages, several pages, a line.
const std::pair<const char*, int> Items[] = {
    {"中文品項", 22},               // Chinese: 8 bytes of the code page in 4 characters
    {"ABCDEFGHIJKLMNOPQRST", 45},  // 20 characters, beyond the 17 of the vendor's key
    {"A'B", 37},                   // an apostrophe
    {"測試ABCDEFGHIJKLMN", 31},    // exactly 17 bytes: the item fills its part of the key
    {"I01", 1},
};

// The document code of an item's n-th line (11 characters) and its line number.
QString document(int item, int n) {
    return QStringLiteral("114%1%2").arg(item + 1, 2, 10, QChar('0')).arg(n / 3, 6, 10, QChar('0'));
}
int lineNumber(int n) { return n % 3 + 1; }

// A line as the walks name it: its document code and 10000 + its line number.
QString lineName(const QString& doc, const QString& key) { return doc.trimmed() + u'#' + key.right(5); }

struct Walk {
    std::function<void()> first;                  // the page a walk down starts from
    std::function<void()> end;                    // the newest page, where a walk up starts
    std::function<void(bool down)> page;          // Page Down or Page Up
    std::function<QStringList()> lines;           // the page's lines, top to bottom
};

// Page Down from the first page until a page is not full: each page starts with the last line
// of the one before, and the lines after it are new. Every line in order, or what went wrong.
QString walkDown(const Walk& w, QStringList* seen) {
    w.first();
    QStringList page = w.lines();
    *seen = page;
    for (int guard = 0; page.size() == 15 && guard < 100; ++guard) {
        w.page(true);
        const QStringList next = w.lines();
        if (next.isEmpty() || next.first() != page.last())
            return QStringLiteral("page after %1 starts with %2").arg(page.last(), next.value(0));
        *seen += next.mid(1);
        page = next;
    }
    return {};
}

// Page Up from the newest page until the page no longer changes; the lines of all pages.
QStringList walkUp(const Walk& w) {
    w.end();
    QStringList page = w.lines();
    QStringList seen = page;
    for (int guard = 0; guard < 100; ++guard) {
        w.page(false);
        const QStringList next = w.lines();
        if (next == page) break;
        seen += next;
        page = next;
    }
    seen.removeDuplicates();
    return seen;
}
}  // namespace

class PaddedKeysTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_vendorLines;                  // every purchase line of the vendor
    QList<QStringList> m_itemLines;             // each item's lines, in document order

    void check(const QString& what, const Walk& walk, QStringList expected) {
        std::sort(expected.begin(), expected.end());
        QStringList down;
        const QString broken = walkDown(walk, &down);
        QVERIFY2(broken.isEmpty(), qPrintable(what + ": " + broken));
        QStringList once = down;
        once.removeDuplicates();
        QVERIFY2(once.size() == down.size(), qPrintable(what + ": a line twice going down"));
        std::sort(down.begin(), down.end());
        QVERIFY2(down == expected, qPrintable(QStringLiteral("%1: down reached %2 of %3 lines")
                                                  .arg(what)
                                                  .arg(down.size())
                                                  .arg(expected.size())));
        QStringList up = walkUp(walk);
        std::sort(up.begin(), up.end());
        QVERIFY2(up == expected, qPrintable(QStringLiteral("%1: up reached %2 of %3 lines")
                                                .arg(what)
                                                .arg(up.size())
                                                .arg(expected.size())));
    }

private slots:
    void initTestCase() {
        {
            SqliteConnection db(m_dir.filePath("MAIN.zqdb"), SqliteConnection::OpenMode::Create);
            SuiteSchema::create(db);
            QCOMPARE(SuiteSchema::create(db), 0);  // the view as declared stays
            QStringList sql;
            const auto insert = [&](const char* head, const QString& values) {
                sql << QString::fromUtf8(head) + values;
            };
            for (int i = 0; i < int(std::size(Items)); ++i) {
                const QString item = SqlLiteral(QString::fromUtf8(Items[i].first));
                insert("INSERT INTO ITEM (ICODE, INAME) VALUES ", QString("(%1, %1)").arg(item));
                QStringList lines;
                for (int n = 0; n < Items[i].second; ++n) {
                    const QString doc = SqlLiteral(document(i, n));
                    const QString row = QString("(%1, %2, %3").arg(doc).arg(lineNumber(n)).arg(item);
                    lines << lineName(document(i, n), QString::number(10000 + lineNumber(n)));
                    insert("INSERT INTO HISTIN (HCOD1, HSEQ, HICOD, HPCOD) VALUES ",
                           row + u',' + SqlLiteral(Customer) + u')');
                    insert("INSERT INTO HISTOU (HCOD1, HSEQ, HICOD) VALUES ", row + u')');
                    insert("INSERT INTO RETAILD (RCOD1, RSEQ, RICOD, RIDT) VALUES ",
                           row + ",'0')," + row + ",'1')");
                    insert("INSERT INTO TRAN1 (TCCOD, TSEQ, TICOD) VALUES ", row + u')');
                    insert("INSERT INTO SISE (SCOD1, SSEQ, SICOD, SINUM, SINYN) VALUES ",
                           row + ", 5, 'N')");
                    insert("INSERT INTO ORSUB (OCOD1, OSEQ, OICOD, ONNO, OINUM, OINU2, OINYN) "
                           "VALUES ",
                           row + ", 1, 1, 1, 'N')");
                    insert("INSERT INTO REBACKD (RCOD1, RSEQ, RICOD) VALUES ", row + u')');
                    insert("INSERT INTO VISEIN (VCOD1, VSEQ, VICOD, VPCOD) VALUES ",
                           row + u',' + SqlLiteral(Vendor) + u')');
                }
                m_itemLines << lines;
                m_vendorLines += lines;
            }
            db.script(sql.join(u';'));
        }
        Connections::setFactory(MakeConnectionFactory(
            m_dir.path(), LocalSettings{QString("embedded"), {}, {}, QString("MAIN")}));
    }

    void cleanupTestCase() { Connections::setFactory({}); }


    // The item inquiry's history grids: the document code filled to 11 (the customer's
    // sales: the item filled to 17 before it), for each item.
    void historyGrids() {
        const HistoryGrid grids[] = {HistoryGrid::Sales,         HistoryGrid::SalesReturns,
                                     HistoryGrid::PosSales,      HistoryGrid::PosReturns,
                                     HistoryGrid::Transfers,     HistoryGrid::OpenPurchases,
                                     HistoryGrid::OpenOrders,    HistoryGrid::RepairParts,
                                     HistoryGrid::PurchaseReturns};
        HistoryReader reader;
        reader.allSalesmen = reader.allDepartments = reader.purchasePrices = true;
        HistoryPager pager(QStringLiteral("paddedkeys"));
        const auto walkOf = [&](std::function<void()> first) {
            return Walk{first, [&] { pager.key(Qt::Key_End, 0); },
                        [&](bool down) { pager.key(down ? Qt::Key_PageDown : Qt::Key_PageUp, 0); },
                        [&] {
                            QStringList out;
                            const ResultSet& set = pager.rows().recordset().current();
                            for (int r = 0; r < pager.rowCount(); ++r)
                                out << lineName(set.rows[r].value(0).toString(), pager.keyOf(r));
                            return out;
                        }};
        };
        for (int i = 0; i < int(std::size(Items)); ++i) {
            const QString item = QString::fromUtf8(Items[i].first);
            for (const HistoryGrid grid : grids) {
                // Purchase returns were not stored; their grid stays empty.
                if (grid == HistoryGrid::PurchaseReturns) {
                    QVERIFY(!pager.first(grid, item, reader));
                    continue;
                }
                check(InfoOf(grid).name + u' ' + item,
                      walkOf([&] {
                          pager.first(grid, item, reader);
                          pager.key(Qt::Key_Home, 0);
                      }),
                      m_itemLines[i]);
            }
        }
        const HistoryStatements bought(HistoryGrid::CustomerSales, Customer, LikePrefix(""),
                                       reader);
        check("DG10", walkOf([&] { pager.first(bought); }), m_vendorLines);
    }

    // The vendor's lines (DG6: the frame's own first page, then SP_F8 with VINX, the item
    // filled to 17) and each item's purchases (DG3: SP_F8 with HINX, the document filled).
    void procedureGrids() {
        DataSource opened;
        SetConnection(opened);
        const DataSource* shown = nullptr;  // the frame's first page, or the procedure's
        const auto value = [&](int row, const char* column) {
            const ResultSet& set = shown->recordset().current();
            return set.rows.value(row).value(set.columnIndex(QString::fromLatin1(column)));
        };
        const auto procedureWalk = [&](ListProcedure& p, const QString& code, const char* key,
                                       std::function<void()> first) {
            const auto page = [&, key, code](int number) {
                const int rows = shown->recordset().recordCount();
                const QString anchor = number == ListProcedure::PageUp ? value(0, key).toString()
                                       : number == ListProcedure::PageDown
                                           ? value(rows - 1, key).toString()
                                           : QString();
                p.read(number, code, anchor, false);
                shown = &p.rows();
            };
            return Walk{first, [=] { page(ListProcedure::End); },
                        [=](bool down) {
                            page(down ? ListProcedure::PageDown : ListProcedure::PageUp);
                        },
                        [&, key] {
                            QStringList out;
                            for (int r = 0; r < shown->recordset().recordCount(); ++r)
                                out << lineName(value(r, "VCOD1").toString(),
                                                value(r, key).toString());
                            return out;
                        }};
        };
        ListProcedure vendor(QStringLiteral("DG6"), QStringLiteral("paddedkeys"));
        vendor.flag = "True";
        vendor.listWarehouse = "01";
        vendor.passThrough10 = LikePrefix("");
        const auto frameFirstPage = [&] {
            opened.commandText = CodeLookups::vendorHistory(Vendor, LikePrefix(""), true);
            RefreshData(opened, "paddedkeys");
            shown = &opened;
        };
        check("DG6", procedureWalk(vendor, Vendor, "VINX", frameFirstPage), m_vendorLines);

        ListProcedure purchases(QStringLiteral("DG3"), QStringLiteral("paddedkeys"));
        purchases.flag = "True";
        purchases.listWarehouse = "01";
        for (int i = 0; i < int(std::size(Items)); ++i) {
            const QString item = QString::fromUtf8(Items[i].first);
            check("DG3 " + item,
                  procedureWalk(purchases, item, "HINX",
                                [&, item] {
                                    purchases.read(ListProcedure::Home, item, {}, false);
                                    shown = &purchases.rows();
                                }),
                  m_itemLines[i]);
        }
    }
};

QTEST_GUILESS_MAIN(PaddedKeysTest)
#include "tst_paddedkeys.moc"
