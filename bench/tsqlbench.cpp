// Benchmarks of the embedded database's T-SQL front end, printed as ratios measured in one run:
//   (a) the 15-row pages of every history grid of the item inquiry (first page, Page Up,
//       Page Down, Home, End, each as the statements of HistoryStatements) on the busy item
//       (the sales grid also on an item of a few thousand lines),
//       and the lot grid also on an item with no open lot, with 5 million sales lines against
//       50 thousand: per grid the worst page kind with SQLite's cache kept and emptied before
//       every page, the read calls a page costs, and the front end against SQLite running the
//       same statements (at most 1.3); and the worst of all; should be at most 1.5;
//   (b) a statement repeated with other values through the front end against the same query
//       prepared once directly in SQLite, each value read in its own kind; should be at most
//       1.2 on a quiet machine;
//   (c) the slowest answer to a hostile text (deep nesting, a million terms, a huge IN list,
//       an oversized CHAR): rows or a refusal, in milliseconds; should stay within seconds;
//   (d) the sales grid's pages through the front end against a hand-written row-value query
//       prepared once; should be at most 1.5;
//   (a') the sales grid's pages on a cold file (the operating system's cache dropped), for
//       what a key costs when the disk must answer;
//   (l) the code lists of the lookups as (a);
//   (B) (b) while two busy loops keep both cores busy.
// The two databases are made once in the folder given as the first argument (minutes for the
// large one) and reused by later runs. A second argument runs only the parts it names by their
// letters ("o" for the cold file), e.g. "bd".
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>

#include "BenchRounds.h"
#include "DbError.h"
#include "EmbeddedDatabase.h"
#include "HistoryData.h"
#include "CodeLookups.h"
#include "HistoryGrids.h"
#include "ItemCatalogue.h"
#include "ItemViews.h"
#include "ListProcedure.h"
#include "PrefetchingFiles.h"
#include "SqlLiteral.h"
#include "SuiteSchema.h"

namespace {
const QString Key = QStringLiteral("(CONVERT(CHAR(11),HCOD1) + CONVERT(CHAR(5),(10000 + HSEQ)))");
const QString Item = QString::fromUtf8(ItemCatalogue::items()[ItemCatalogue::BusyItem].code);
const QString Filter = QStringLiteral(
                           " FROM HISTIN WITH (INDEX = HISTIN_HICOD) WHERE "
                           "SystemVisible = 1 AND HICOD = '%1'")
                           .arg(Item);
const QString Columns = QStringLiteral(
                            "HCOD1,HPNAM,HSNAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 AS "
                            "'HPOIN',ISNULL(HUNI3,(HTOTA / "
                            "HINU3)) AS HUNIT,%1 AS HINX,HCONS,HCOD1SEQ")
                            .arg(Key);

std::unique_ptr<EmbeddedDatabase> open(const QString& folder, const QString& name, qint64 lines) {
    const QString path = folder + u'/' + name + QStringLiteral(".zqdb");
    // A file that an earlier build made with other tables is made anew: what is measured is
    // the schema of this build.
    if (QFile::exists(path) &&
        !SuiteSchema::tablesMadeOtherwise(EmbeddedDatabase(path).connection()).isEmpty()) {
        std::printf("%s was made with other tables; it is made anew\n", qPrintable(path));
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(path + QLatin1String(suffix));
    }
    const bool exists = QFile::exists(path);
    auto db = std::make_unique<EmbeddedDatabase>(
        path, exists ? EmbeddedDatabase::OpenMode::Existing : EmbeddedDatabase::OpenMode::Create);
    if (!exists) {
        std::printf("making %s with %lld sales lines ...\n", qPrintable(path), lines);
        std::fflush(stdout);
    }
    FillLargeHistory(*db, lines);
    return db;
}

// Reads every value of the statement's current row in its own kind, as a caller that wants
// the values does (a number as a number: reading it as a text would make SQLite write it out).
void readRow(sqlite3_stmt* statement) {
    volatile double numbers = 0;
    volatile qsizetype bytes = 0;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        // Each value looked up once and read through it, the leanest way SQLite offers.
        sqlite3_value* const value = sqlite3_column_value(statement, i);
        switch (sqlite3_value_type(value)) {
            case SQLITE_INTEGER:
                numbers = numbers + double(sqlite3_value_int64(value));
                break;
            case SQLITE_FLOAT:
                numbers = numbers + sqlite3_value_double(value);
                break;
            case SQLITE_NULL:
                break;
            default:
                sqlite3_value_text(value);
                bytes = bytes + sqlite3_value_bytes(value);
        }
    }
}

QString last(const ResultSet& set, int column) {
    return set.rows.isEmpty() ? QString() : set.rows.last().value(column).toString();
}

enum class PageKind { First, Up, Down, Home, End };
constexpr PageKind PageKinds[] = {PageKind::First, PageKind::Up, PageKind::Down, PageKind::Home,
                                  PageKind::End};
const char* nameOf(PageKind kind) {
    static const char* const names[] = {"first", "up", "down", "home", "end"};
    return names[int(kind)];
}

// A paged grid or list of one reader on one database, as the bench drives it: its keys in
// order, and a page of a kind. Every statement a page sends goes through run(), which also
// keeps it when asked (to run the same statements in SQLite directly).
struct Paged {
    static constexpr qsizetype PageSize = HistoryStatements::PageSize;
    EmbeddedDatabase* db;
    QStringList keys;
    QStringList* kept = nullptr;

    explicit Paged(EmbeddedDatabase& database) : db(&database) {}
    virtual ~Paged() = default;
    // A page of the kind; Page Up and Page Down from the anchor.
    virtual void turn(PageKind kind, const QString& anchor) = 0;

    ResultSets run(const QString& text) {
        if (kept) kept->append(text);
        return db->execute(text);
    }
    // The key at a fraction of the range, leaving out a page at either end (where there are
    // more than two pages), so that Page Up and Page Down from it read a full page on either
    // database: a short page at the end of the small range would do less work than its
    // counterpart on the large one.
    QString at(double fraction) const {
        const qsizetype edge = keys.size() > 2 * PageSize ? PageSize : 0;
        const qsizetype span = keys.size() - 2 * edge;
        return span <= 0 ? QString() : keys[edge + qsizetype(fraction * double(span))];
    }
    void pageAt(PageKind kind, double fraction) {
        turn(kind, kind == PageKind::Up || kind == PageKind::Down ? at(fraction) : QString());
    }
};

// One history grid of one reader: its pages as the window reads them (a boundary, then the
// rows from the boundary's last key, in one snapshot).
struct GridPages : Paged {
    HistoryStatements statements;

    GridPages(EmbeddedDatabase& database, HistoryGrid grid, const QString& item,
              const HistoryReader& reader)
        : GridPages(database, HistoryStatements(grid, item, reader)) {}
    GridPages(EmbeddedDatabase& database, const HistoryStatements& pages)
        : Paged(database), statements(pages) {
        const HistoryGrid grid = statements.grid();
        // Home without TOP: every row of the item, in key order.
        static const QRegularExpression top(QStringLiteral("^SELECT TOP \\d+ "));
        const ResultSet set =
            db->execute(statements.homeRows().replace(top, QStringLiteral("SELECT ")))[0];
        const QString keyColumn = InfoOf(grid).keyColumn;
        const int keyPosition = InfoOf(grid).keyPosition;
        for (const QVariantList& row : set.rows) {
            if (grid == HistoryGrid::Lots)
                keys.append(row[set.columnIndex(QStringLiteral("VCOD1"))].toString() +
                            row[set.columnIndex(QStringLiteral("VCOD1SEQ"))].toString());
            else
                keys.append(!keyColumn.isEmpty() ? row[set.columnIndex(keyColumn)].toString()
                            : keyPosition >= 0   ? row[keyPosition].toString()
                                                 : row.last().toString());
        }
    }
    QString lastKey(const QString& boundary) { return last(run(boundary)[0], 0); }

    void turn(PageKind kind, const QString& anchor) override {
        switch (kind) {
            case PageKind::First:
                if (statements.firstPageIsOneStatement())
                    run(statements.firstRows(QString()));
                else
                    db->readTogether(
                        [&] { run(statements.firstRows(lastKey(statements.firstBoundary()))); });
                return;
            case PageKind::Up:
                db->readTogether(
                    [&] { run(statements.upRows(lastKey(statements.upBoundary(anchor)))); });
                return;
            case PageKind::Down:
                run(statements.downRows(anchor));
                return;
            case PageKind::Home:
                run(statements.homeRows());
                return;
            case PageKind::End:
                db->readTogether(
                    [&] { run(statements.endRows(lastKey(statements.endBoundary()))); });
                return;
        }
    }
};

// A code list of the lookups: its keys read by a statement, a page the statement of its kind.
struct ListPages : Paged {
    std::function<QString(PageKind, const QString& anchor)> text;

    ListPages(EmbeddedDatabase& database, const QString& keysStatement,
              std::function<QString(PageKind, const QString&)> pageText)
        : Paged(database), text(std::move(pageText)) {
        const ResultSets sets = database.execute(keysStatement);
        for (const QVariantList& row : sets[0].rows) keys.append(row[0].toString());
    }
    void turn(PageKind kind, const QString& anchor) override { run(text(kind, anchor)); }
};

// Golden-ratio steps spread the anchors evenly over a range in any number of calls.
double fraction(int n) { return std::fmod(0.5 + n * 0.6180339887498949, 1.0); }

// The worst page kind of one grid and reader, each kind's ratio the median over rounds of the
// large database's time over the small one's, both reading from a new anchor at the same place
// of their ranges on every call (the anchors walk the whole range, never repeating); with
// SQLite's page cache kept (warm) or emptied before every page (cold).
struct Worst {
    double ratio = 0;
    const char* kind = "";
    double micro = 0;  // the large database's time of that kind
    void take(double r, PageKind k, double us) {
        if (r > ratio) *this = {r, nameOf(k), us};
    }
};
Worst worstPage(Paged& small, Paged& large, bool cold) {
    Worst worst;
    const auto empty = [](Paged& p) {
        return [&p] { sqlite3_db_release_memory(p.db->connection().handle()); };
    };
    for (const PageKind kind : PageKinds) {
        int s = 0, l = 0;
        const std::vector<std::function<void()>> works = {
            [&] { small.pageAt(kind, fraction(s++)); }, [&] { large.pageAt(kind, fraction(l++)); }};
        const Rounds rounds =
            cold ? measureEach(works, {empty(small), empty(large)}, 10) : measure(works, 10);
        worst.take(medianRatio(rounds, 1, 0), kind, medianOf(rounds, 1));
    }
    return worst;
}

// The read calls a page costs on a database with SQLite's cache emptied before it (the file's
// first page, which SQLite never maps, is read by a call).
double readsAPage(Paged& paged) {
    constexpr int Pages = 25;
    const long long before = PrefetchingFiles::databaseReads();
    for (int n = 0; n < Pages; ++n)
        for (const PageKind kind : PageKinds) {
            sqlite3_db_release_memory(paged.db->connection().handle());
            paged.pageAt(kind, fraction(n));
        }
    return double(PrefetchingFiles::databaseReads() - before) / (Pages * 5.0);
}

// Binds a value of a translated statement as the front end does.
void bindValue(sqlite3_stmt* statement, int at, const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString: {
            // Given with its NUL (QByteArray keeps one), a text the rows hand back is read
            // without a copy to end it.
            const QByteArray v = value.toString().toUtf8();
            sqlite3_bind_text(statement, at, v.constData(), -1, SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::Double:
            sqlite3_bind_double(statement, at, value.toDouble());
            break;
        case QMetaType::UnknownType:
            sqlite3_bind_null(statement, at);
            break;
        default:
            sqlite3_bind_int64(statement, at, value.toLongLong());
    }
}

// The front end against SQLite's own work on the same index: per page kind, twelve pages'
// statements as the window sends them, through the front end, against the very statements
// SQLite runs for them, each prepared once and read value by value with the page's values
// bound (two statements of a page in one transaction on either side). The worst kind; a
// ratio of 0 when every kind is a call of the list procedure, whose statements are its own.
Worst frontEndAgainstSqlite(Paged& large) {
    Worst worst;
    sqlite3* handle = large.db->connection().handle();
    QHash<QString, sqlite3_stmt*> prepared;
    for (const PageKind kind : PageKinds) {
        std::vector<QStringList> pages;
        for (int n = 0; n < 12; ++n) {
            QStringList kept;
            large.kept = &kept;
            large.pageAt(kind, fraction(n));
            large.kept = nullptr;
            pages.push_back(kept);
        }
        if (pages[0].join(u'\n').contains(QLatin1String("EXEC "))) continue;
        struct Direct {
            sqlite3_stmt* statement;
            QVariantList values;
        };
        std::vector<std::vector<Direct>> direct;
        for (const QStringList& texts : pages) {
            std::vector<Direct>& page = direct.emplace_back();
            for (const QString& text : texts)
                for (const auto& p : large.db->translator().prepare(text)) {
                    sqlite3_stmt*& statement = prepared[p.sql];
                    if (!statement) {
                        const QByteArray sql = p.sql.toUtf8();
                        sqlite3_prepare_v3(handle, sql.constData(), int(sql.size()),
                                           SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
                    }
                    page.push_back({statement, p.values});
                }
        }
        size_t f = 0, d = 0;
        const Rounds rounds = measure(
            {[&] {
                 const QStringList& texts = pages[f++ % pages.size()];
                 if (texts.size() == 1)
                     large.db->execute(texts[0]);
                 else
                     large.db->readTogether([&] {
                         for (const QString& t : texts) large.db->execute(t);
                     });
             },
             [&] {
                 const std::vector<Direct>& page = direct[d++ % direct.size()];
                 if (page.size() > 1) sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr);
                 for (const Direct& s : page) {
                     sqlite3_reset(s.statement);
                     for (int i = 0; i < s.values.size(); ++i)
                         bindValue(s.statement, i + 1, s.values[i]);
                     while (sqlite3_step(s.statement) == SQLITE_ROW) readRow(s.statement);
                 }
                 if (page.size() > 1) sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
             }},
            10);
        worst.take(medianRatio(rounds, 0, 1), kind, medianOf(rounds, 0));
    }
    for (sqlite3_stmt* statement : std::as_const(prepared)) sqlite3_finalize(statement);
    return worst;
}

// One line for a grid: the worst page kind warm and cold (5 million against 50 thousand), the
// read calls a cold page costs, and the front end against SQLite's own work.
struct GridFigures {
    Worst warm, cold, frontEnd;
};
GridFigures gridFigures(const QString& name, Paged& small, Paged& large) {
    std::printf("  %-34s %8lld / %-6lld", qPrintable(name), qlonglong(large.keys.size()),
                qlonglong(small.keys.size()));
    std::fflush(stdout);
    GridFigures f;
    f.warm = worstPage(small, large, false);
    f.cold = worstPage(small, large, true);
    const double readsLarge = readsAPage(large), readsSmall = readsAPage(small);
    f.frontEnd = frontEndAgainstSqlite(large);
    std::printf(" warm %.2f %-5s cold %.2f %-5s (%3.0f us) reads %.1f/%.1f",
                f.warm.ratio, f.warm.kind, f.cold.ratio, f.cold.kind, f.cold.micro, readsLarge,
                readsSmall);
    if (f.frontEnd.ratio > 0)
        std::printf("  front end %.2f %s", f.frontEnd.ratio, f.frontEnd.kind);
    else
        std::printf("  front end -- (list procedure)");
    std::printf("%s\n", small.keys.size() <= Paged::PageSize ? "  too few rows to page" : "");
    std::fflush(stdout);
    return f;
}

// The reader with every right, so that the sales grid has its tax column and every price
// shows; and the first salesman without right 355, who sees only his own sales.
HistoryReader everyRight() {
    HistoryReader r;
    r.allSalesmen = r.allDepartments = r.purchasePrices = r.lotPurchasePrice = true;
    return r;
}
HistoryReader ownSales() {
    HistoryReader r = everyRight();
    r.allSalesmen = false;
    r.staffCode = QLatin1String(ItemCatalogue::salesmen()[0].code);
    r.departmentNo = QLatin1String(ItemCatalogue::salesmen()[0].department);
    return r;
}

// The item with the most purchase lines and no open lot in the small database: its lot grid
// finds nothing, and should cost no more for the lines it has.
QString itemWithoutLots(EmbeddedDatabase& db) {
    return last(
        db.execute(QStringLiteral("SELECT TOP 1 VICOD FROM VISEIN GROUP BY VICOD HAVING SUM(CASE "
                                  "WHEN VCOD1NUM != 0 AND VCOD1SEQ != '' THEN 1 ELSE 0 END) = 0 "
                                  "ORDER BY COUNT(*) DESC, VICOD"))[0],
        0);
}

// The item with the most sales lines under 8,000 in the large database: most items of a
// company are far from the busiest one, and their pages lie in other parts of the indexes.
QString itemOfAFewThousandLines(EmbeddedDatabase& large) {
    return last(large.execute(QStringLiteral(
                    "SELECT TOP 1 HICOD FROM HISTIN WITH (INDEX = HISTIN_HICOD) GROUP BY HICOD "
                    "HAVING COUNT(*) <= 8000 ORDER BY COUNT(*) DESC, HICOD"))[0],
                0);
}

// The most purchase lines of one vendor, and the most sales lines of one customer, in the small
// database: their lists page through their own items and lines.
QString busiest(EmbeddedDatabase& db, const char* statement) {
    return last(db.execute(QString::fromLatin1(statement))[0], 0);
}

// The code lists of the lookups (F2 in the entry frames), each page as the window sends it:
// DG2 the item codes, DG4 the vendors, DG5 the vendor's items and DG6 its purchase lines (the
// first page a statement, the others the list procedure), DG8 the customers and DG9 the
// customer's items (statements).
std::vector<std::pair<QString, std::function<std::unique_ptr<Paged>(EmbeddedDatabase&)>>> codeLists(
    EmbeddedDatabase& small) {
    const QString vendor = busiest(
        small, "SELECT TOP 1 VPCOD FROM VISEIN GROUP BY VPCOD ORDER BY COUNT(*) DESC, VPCOD");
    const QString customer = busiest(
        small, "SELECT TOP 1 HPCOD FROM HISTIN GROUP BY HPCOD ORDER BY COUNT(*) DESC, HPCOD");
    const QString all = QStringLiteral("%");
    const auto procedure = [](const char* grid) {
        auto p = std::make_shared<ListProcedure>(QString::fromLatin1(grid), QString());
        p->flag = QStringLiteral("True");
        p->listWarehouse = QStringLiteral("01");
        p->stoppedShown = 1;
        p->passThrough10 = QStringLiteral("%");
        return p;
    };
    // A list paged by the list procedure after a first page of its own.
    const auto byProcedure = [&](const char* grid, const QString& code, const QString& keys,
                                 const QString& first) {
        return [=, p = procedure(grid)](EmbeddedDatabase& db) -> std::unique_ptr<Paged> {
            return std::make_unique<ListPages>(
                db, keys, [=](PageKind kind, const QString& anchor) {
                    switch (kind) {
                        case PageKind::First:
                            return first;
                        case PageKind::Up:
                            return p->call(ListProcedure::PageUp, code, anchor, false);
                        case PageKind::Down:
                            return p->call(ListProcedure::PageDown, code, anchor, false);
                        case PageKind::Home:
                            return p->call(ListProcedure::Home, code, QString(), false);
                        case PageKind::End:
                            return p->call(ListProcedure::End, code, QString(), false);
                    }
                    return QString();
                });
        };
    };
    using CodeLookups::Page;
    const auto pageOf = [](PageKind kind) {
        const Page pages[] = {Page::First, Page::Up, Page::Down, Page::Home, Page::End};
        return pages[int(kind)];
    };
    const QString v = SqlLiteral(vendor), c = SqlLiteral(customer);
    return {
        {QStringLiteral("DG2 item codes"),
         byProcedure("DG2", QString(), QStringLiteral("SELECT ICODE FROM ITEM ORDER BY ICODE"),
                     ItemViews::codeListFirstPage(QString()))},
        {QStringLiteral("DG4 vendors"),
         byProcedure("DG4", QString(), QStringLiteral("SELECT PCODE FROM PART ORDER BY PCODE"),
                     CodeLookups::vendorList(all))},
        {QStringLiteral("DG5 items of ") + vendor,
         byProcedure("DG5", vendor,
                     "SELECT ICODE FROM ITEM WHERE ICODE IN (SELECT VICOD FROM VF8J WHERE VPCOD "
                     "= " + v + ") ORDER BY ICODE",
                     CodeLookups::partnerItems(CodeLookups::Partner::Vendor, Page::First, vendor,
                                               all))},
        {QStringLiteral("DG6 purchases of ") + vendor,
         byProcedure("DG6", vendor,
                     "SELECT VINX FROM VF8J WHERE VPCOD = " + v + " ORDER BY VINX",
                     CodeLookups::vendorHistory(vendor, all, true))},
        {QStringLiteral("DG8 customers"),
         [=](EmbeddedDatabase& db) -> std::unique_ptr<Paged> {
             return std::make_unique<ListPages>(
                 db, QStringLiteral("SELECT CCODE FROM CUST ORDER BY CCODE"),
                 [=](PageKind kind, const QString& anchor) {
                     return CodeLookups::customerList(pageOf(kind), all, anchor);
                 });
         }},
        {QStringLiteral("DG9 items of ") + customer,
         [=](EmbeddedDatabase& db) -> std::unique_ptr<Paged> {
             return std::make_unique<ListPages>(
                 db,
                 "SELECT ICODE FROM ITEM WHERE ICODE IN (SELECT HICOD FROM HISTIN WHERE HPCOD = " +
                     c + ") ORDER BY ICODE",
                 [=](PageKind kind, const QString& anchor) {
                     return CodeLookups::partnerItems(CodeLookups::Partner::Customer,
                                                      pageOf(kind), customer, all, anchor);
                 });
         }},
    };
}

// Every paged grid and code list of the inquiry on the small and the large database, a line
// each; then the worst of each figure.
void pageCosts(EmbeddedDatabase& small, EmbeddedDatabase& large, bool grids, bool lists,
               const QString& only) {
    std::printf(
        "(a) pages of every grid, 5 million against 50 thousand sales lines: rows of the large / "
        "small database; the worst page kind warm (SQLite's cache kept) and cold (emptied before "
        "every page), the large database's time of the cold one; read calls a cold page costs "
        "on the large / small file; the front end against SQLite running the same statements "
        "prepared once (large database). Medians over interleaved rounds.\n");
    Worst warm, cold, frontEnd;
    QString warmGrid, coldGrid, frontEndGrid;
    const auto figures = [&](const QString& name, Paged& s, Paged& l) {
        if (!name.startsWith(only)) return;
        const GridFigures f = gridFigures(name, s, l);
        if (f.warm.ratio > warm.ratio) std::tie(warm, warmGrid) = std::pair(f.warm, name);
        if (f.cold.ratio > cold.ratio) std::tie(cold, coldGrid) = std::pair(f.cold, name);
        if (f.frontEnd.ratio > frontEnd.ratio)
            std::tie(frontEnd, frontEndGrid) = std::pair(f.frontEnd, name);
    };
    const auto measureGrid = [&](const HistoryStatements& statements, const QString& note) {
        GridPages s(small, statements);
        GridPages l(large, statements);
        const HistoryGridInfo info = InfoOf(statements.grid());
        figures(QStringLiteral("%1 mode %2, %3").arg(info.name).arg(info.mode).arg(note), s, l);
    };
    const auto run = [&](HistoryGrid grid, const QString& item, const HistoryReader& reader,
                         const QString& note) {
        measureGrid(HistoryStatements(grid, item, reader), note);
    };
    const QString fewThousand = grids ? itemOfAFewThousandLines(large) : QString();
    for (const HistoryGrid grid : grids ? AllHistoryGrids() : QList<HistoryGrid>()) {
        run(grid, Item, everyRight(), QStringLiteral("every right"));
        // Chosen by its sales lines, the item has too few lines of the other kinds in the
        // small database for their pages to compare.
        if (grid == HistoryGrid::Sales) run(grid, fewThousand, everyRight(), fewThousand);
        if (grid == HistoryGrid::Sales) run(grid, Item, ownSales(), QStringLiteral("without 355"));
        if (grid == HistoryGrid::Lots) {
            const QString item = itemWithoutLots(small);
            run(grid, item, everyRight(), item + QStringLiteral(", no open lot"));
        }
    }
    // The customer lookups: every sale and repair order of the busy customer, whatever the
    // item, by the customer's own keys.
    const QString customer =
        QString::fromUtf8(ItemCatalogue::customers()[ItemCatalogue::BusyCustomer].code);
    const QString all = QStringLiteral("%");
    if (grids) {
        measureGrid(HistoryStatements(HistoryGrid::CustomerSales, customer, all, everyRight()),
                    customer + QStringLiteral(", every right"));
        measureGrid(HistoryStatements(HistoryGrid::CustomerSales, customer, all, ownSales()),
                    customer + QStringLiteral(", without 355"));
        measureGrid(HistoryStatements(HistoryGrid::CustomerRepairs, customer, all, everyRight()),
                    customer + QStringLiteral(", every right"));
    }
    for (const auto& [name, make] : lists ? codeLists(small) : decltype(codeLists(small))()) {
        const auto s = make(small), l = make(large);
        figures(name, *s, *l);
    }
    std::printf("ratio (a) 5 million / 50 thousand, worst page kind of all grids warm: %.2f (%s, "
                "%s; at most 1.5)\n",
                warm.ratio, qPrintable(warmGrid), warm.kind);
    std::printf("ratio (a) 5 million / 50 thousand, worst page kind of all grids cold: %.2f (%s, "
                "%s; at most 1.5)\n",
                cold.ratio, qPrintable(coldGrid), cold.kind);
    std::printf("ratio (a) front end / SQLite's own statements, worst page kind of all grids: "
                "%.2f (%s, %s; at most 1.3)\n",
                frontEnd.ratio, qPrintable(frontEndGrid), frontEnd.kind);
    std::fflush(stdout);
}

// The middle page statement with 50 different bounds, through the front end and directly.
void repeatCost(EmbeddedDatabase& db) {
    SqliteConnection& c = db.connection();
    const ResultSet keys = c.query(
        QStringLiteral("SELECT HCOD1, HSEQ FROM HISTIN WHERE HICOD = ?1 ORDER BY HCOD1, HSEQ "
                       "LIMIT 50 OFFSET 1000"),
        {Item});
    QStringList texts;
    for (const QVariantList& k : keys.rows)
        texts.append(QStringLiteral("SELECT TOP 15 ") + Columns + Filter + QStringLiteral(" AND ") +
                     Key + QStringLiteral(" >= '") + k[0].toString().leftJustified(11, u' ') +
                     QString::number(10000 + k[1].toLongLong()) +
                     QStringLiteral("' ORDER BY HCOD1,HSEQ"));
    std::vector<TsqlTranslator::Prepared> prepared;
    for (const QString& text : texts) prepared.push_back(db.translator().prepare(text)[0]);

    // Directly: one statement prepared once; bind, step, read every value of every row.
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = prepared[0].sql.toUtf8();
    sqlite3_prepare_v2(c.handle(), sql.constData(), int(sql.size()), &statement, nullptr);
    size_t next[3] = {0, 0, 0};
    const Rounds rounds =
        measure({[&] { db.execute(texts[qsizetype(next[0]++ % prepared.size())]); },
                 [&] {
                     const QVariantList& values = prepared[next[1]++ % prepared.size()].values;
                     sqlite3_reset(statement);
                     for (int i = 0; i < values.size(); ++i)
                         bindValue(statement, i + 1, values[i]);
                     while (sqlite3_step(statement) == SQLITE_ROW) readRow(statement);
                 },
                 [&] {
                     const auto& p = prepared[next[2]++ % prepared.size()];
                     c.query(p.sql, p.values);
                 }},
                200);
    std::printf("repeated statement: %.1f us through the front end, %.1f us prepared directly\n",
                medianOf(rounds, 0), medianOf(rounds, 1));
    std::printf("(the translated statement through SqliteConnection::query: %.1f us)\n",
                medianOf(rounds, 2));
    std::printf("ratio (b) front end / direct: %.2f (at most 1.2)\n", medianRatio(rounds, 0, 1));
    sqlite3_finalize(statement);
}
}  // namespace

// Texts that try to exhaust the front end; each must be answered or refused quickly.
void hostileTexts(EmbeddedDatabase& db) {
    const auto repeated = [](const QString& head, const QString& part, int n, const QString& tail) {
        QString text = head;
        text.reserve(head.size() + part.size() * n + tail.size());
        for (int i = 0; i < n; ++i) text += part;
        return text + tail;
    };
    const QList<QPair<const char*, QString>> texts = {
        {"a million terms of + and *", repeated("SELECT 1", "+2*3", 1000000, "")},
        {"100,000 parentheses", repeated("SELECT ", "(", 100000, "1")},
        {"an IN list of 100,000 values",
         repeated("SELECT ICODE FROM ITEM WHERE ICODE IN ('x'", ",'x'", 99999, ")")},
        {"an IN list of 32,766 values",
         repeated("SELECT ICODE FROM ITEM WHERE ICODE IN ('x'", ",'x'", 32765, ")")},
        {"CONVERT(CHAR(1000000000),'x')", "SELECT CONVERT(CHAR(1000000000),'x')"},
        {"SELECT 1e999", "SELECT 1e999"},
    };
    qint64 worst = 0;
    const char* slowest = "";
    for (const auto& [name, text] : texts) {
        QElapsedTimer clock;
        clock.start();
        try {
            db.execute(text);
        } catch (const DbError&) {
        }
        if (clock.elapsed() >= worst) {
            worst = clock.elapsed();
            slowest = name;
        }
    }
    std::printf("(c) slowest answer to a hostile text: %lld ms (%s)\n", worst, slowest);
    std::fflush(stdout);
}

// (d) Each page kind of the sales grid through the front end, as the window sends it, against
// one hand-written query giving the same rows with a row-value bound, prepared once in SQLite
// and read value by value; new anchors on the large database; should be at most 1.5. Both
// read the tax marker through the same narrow index.
void handWrittenCosts(EmbeddedDatabase& large) {
    GridPages g(large, HistoryGrid::Sales, Item, everyRight());
    const QString head = QStringLiteral(
        "SELECT HCOD1, HPNAM, HSNAM, HTCOD, ifnull(HINU3, HINUM), HPOI3, "
        "ifnull(HUNI3, HTOTA / HINU3), substr(HCOD1 || '           ', 1, 11) || (10000 + HSEQ), "
        "HCONS, HCOD1SEQ, CASE WHEN (SELECT PTAXM FROM POSEIN INDEXED BY POSEIN_PTAXM WHERE "
        "POSEIN.PCOD1 = HISTIN.HCOD1) > 0 THEN 'Y' ELSE 'N' END FROM HISTIN WHERE HICOD = ?1 "
        "AND SystemVisible = 1");
    const QString newest = QStringLiteral(" ORDER BY HCOD1 DESC, HSEQ DESC LIMIT 15");
    const QString tails[] = {
        newest,
        QStringLiteral(" AND (HCOD1, HSEQ) <= (?2, ?3) ORDER BY HCOD1 DESC, HSEQ DESC LIMIT 15"),
        QStringLiteral(" AND (HCOD1, HSEQ) >= (?2, ?3) ORDER BY HCOD1, HSEQ LIMIT 15"),
        QStringLiteral(" ORDER BY HCOD1, HSEQ LIMIT 15"),
        newest,
    };
    sqlite3* handle = large.connection().handle();
    const QByteArray item = Item.toUtf8();
    std::printf(
        "(d) the sales grid's pages through the front end against a hand-written "
        "row-value query prepared once (5 million lines):\n ");
    double worst = 0;
    for (const PageKind kind : PageKinds) {
        sqlite3_stmt* statement = nullptr;
        const QByteArray sql = (head + tails[int(kind)]).toUtf8();
        sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &statement, nullptr);
        // Each side pages from anchors of its own, so that neither reads what the other has
        // just brought into the processor's caches: the even steps of the walk for the front
        // end, the odd ones for the hand-written query.
        int f = 0, d = 1;
        const Rounds rounds = measure(
            {[&] { g.pageAt(kind, fraction(std::exchange(f, f + 2))); },
             [&] {
                 const QString key = g.at(fraction(std::exchange(d, d + 2)));
                 const QByteArray code = key.left(11).trimmed().toUtf8();
                 sqlite3_reset(statement);
                 sqlite3_bind_text(statement, 1, item.constData(), int(item.size()), SQLITE_STATIC);
                 sqlite3_bind_text(statement, 2, code.constData(), int(code.size()), SQLITE_STATIC);
                 sqlite3_bind_int64(statement, 3, key.mid(11).toLongLong() - 10000);
                 int rows = 0;
                 for (; sqlite3_step(statement) == SQLITE_ROW; ++rows) readRow(statement);
                 if (rows != 15) qFatal("the hand-written page has %d rows", rows);
             }},
            10);
        sqlite3_finalize(statement);
        const double ratio = medianRatio(rounds, 0, 1);
        std::printf(" %s %.2f (%.0f us against %.0f us)", nameOf(kind), ratio, medianOf(rounds, 0),
                    medianOf(rounds, 1));
        worst = std::max(worst, ratio);
    }
    std::printf("\nratio (d) front end / hand-written, worst page kind: %.2f (at most 1.5)\n",
                worst);
    std::fflush(stdout);
}

// Drops the file's pages from the operating system's cache (pages nobody maps or changed).
void evict(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return;
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// (a') The sales grid's pages on a cold file, as a key pressed after the file left the
// operating system's cache: the connections open (without the memory map, whose pages the
// system would not drop), the translations made; before each page SQLite's cache is emptied
// and the file dropped from the system's cache, so that the page reads its index from the
// disk. Per page kind the median ratio over the pairs of pages. The other connections to the
// files must be closed.
void coldCosts(const QString& folder) {
    const int pairs = 15;
    std::unique_ptr<EmbeddedDatabase> dbs[2];
    std::unique_ptr<GridPages> grids[2];
    const QString names[2] = {QStringLiteral("BENCH50K"), QStringLiteral("BENCH5M")};
    for (int i = 0; i < 2; ++i) {
        dbs[i] =
            std::make_unique<EmbeddedDatabase>(folder + u'/' + names[i] + QStringLiteral(".zqdb"));
        dbs[i]->connection().exec(QStringLiteral("PRAGMA mmap_size = 0"));
        grids[i] = std::make_unique<GridPages>(*dbs[i], HistoryGrid::Sales, Item, everyRight());
        for (const PageKind kind : PageKinds) grids[i]->pageAt(kind, 0.5);
    }
    std::printf(
        "(a') the sales grid of %s on a cold file, 5 million against 50 thousand (%d "
        "pages a kind, each after the file left the caches; the large one's time in "
        "brackets):\n ",
        qPrintable(Item), pairs);
    double worst = 0;
    for (const PageKind kind : PageKinds) {
        std::vector<double> ratios, times;
        for (int n = 0; n < pairs; ++n) {
            const double fraction = std::fmod(0.25 + n * 0.6180339887498949, 1.0);
            double micro[2] = {0, 0};
            for (int i = 0; i < 2; ++i) {
                sqlite3_db_release_memory(dbs[i]->connection().handle());
                evict(dbs[i]->connection().path());
                QElapsedTimer timer;
                timer.start();
                grids[i]->pageAt(kind, fraction);
                micro[i] = double(timer.nsecsElapsed()) / 1000.0;
            }
            ratios.push_back(micro[1] / micro[0]);
            times.push_back(micro[1]);
        }
        std::sort(ratios.begin(), ratios.end());
        std::sort(times.begin(), times.end());
        const double ratio = ratios[ratios.size() / 2];
        std::printf(" %s %.2f (%.2f ms)", nameOf(kind), ratio, times[times.size() / 2] / 1000);
        worst = std::max(worst, ratio);
    }
    std::printf("\nratio (a') cold file, worst page kind: %.2f\n", worst);
    std::fflush(stdout);
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    // A second argument picks the parts to run, e.g. "bd"; all of them without it.
    const QString parts = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("alcbBdo");
    const auto wanted = [&](char part) { return parts.contains(QLatin1Char(part)); };
    QDir().mkpath(folder);
    auto small = open(folder, QStringLiteral("BENCH50K"), 50000);
    if (wanted('c')) hostileTexts(*small);
    auto large = open(folder, QStringLiteral("BENCH5M"), 5000000);

    // A third argument picks the grids and lists whose names begin with it, e.g. "DG20".
    const QString only = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (wanted('a') || wanted('l')) pageCosts(*small, *large, wanted('a'), wanted('l'), only);
    if (wanted('b')) repeatCost(*large);
    if (wanted('B')) {
        const BusyCores load;
        std::printf("(b) under load, both cores kept busy:\n");
        repeatCost(*large);
    }
    if (wanted('d')) handWrittenCosts(*large);
    small.reset();
    large.reset();
    if (wanted('o')) coldCosts(folder);
    return 0;
}
