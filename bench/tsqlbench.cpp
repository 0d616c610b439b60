// Benchmarks of the embedded database's T-SQL front end, printed as ratios measured in one run:
//   (a) the 15-row pages of every history grid of the item inquiry (first page, Page Up,
//       Page Down, Home, End, each as the statements of HistoryStatements) on the busy item
//       (the sales grid also on an item of a few thousand lines),
//       and the lot grid also on an item with no open lot, with 5 million sales lines against
//       50 thousand: per grid the worst page kind, and the worst of all; should be at most 1.5;
//   (b) a statement repeated with other values through the front end against the same query
//       prepared once directly in SQLite, each value read in its own kind; should be at most
//       1.2 on a quiet machine;
//   (c) the slowest answer to a hostile text (deep nesting, a million terms, a huge IN list,
//       an oversized CHAR): rows or a refusal, in milliseconds; should stay within seconds;
//   (d) the sales grid's pages through the front end against a hand-written row-value query
//       prepared once; should be at most 1.5;
//   (a') the sales grid's pages on a cold file (the operating system's cache dropped), for
//       what a key costs when the disk must answer.
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
#include "HistoryGrids.h"
#include "ItemCatalogue.h"
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

// One history grid of one reader on one database: its keys in order, and its pages as the
// window reads them (a boundary, then the rows from the boundary's last key).
struct GridPages {
    static constexpr qsizetype PageSize = HistoryStatements::PageSize;
    EmbeddedDatabase* db;  // another one when the cold run opens the file anew
    HistoryStatements statements;
    QStringList keys;

    GridPages(EmbeddedDatabase& database, HistoryGrid grid, const QString& item,
              const HistoryReader& reader)
        : GridPages(database, HistoryStatements(grid, item, reader)) {}
    GridPages(EmbeddedDatabase& database, const HistoryStatements& pages)
        : db(&database), statements(pages) {
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

    // The key at a fraction of the item's range, leaving out a page at either end (where
    // there are more than two pages), so that Page Up and Page Down from it read a full page
    // on either database: a short page at the end of the small item's range would do less
    // work than its counterpart on the large one.
    QString at(double fraction) const {
        const qsizetype edge = keys.size() > 2 * PageSize ? PageSize : 0;
        const qsizetype span = keys.size() - 2 * edge;
        return span <= 0 ? QString() : keys[edge + qsizetype(fraction * double(span))];
    }
    QString lastKey(const QString& boundary) { return last(db->execute(boundary)[0], 0); }

    // As the window does, a page of two statements reads them in one snapshot.
    void first() {
        if (statements.firstPageIsOneStatement())
            db->execute(statements.firstRows(QString()));
        else
            db->readTogether(
                [&] { db->execute(statements.firstRows(lastKey(statements.firstBoundary()))); });
    }
    void up(const QString& anchor) {
        db->readTogether(
            [&] { db->execute(statements.upRows(lastKey(statements.upBoundary(anchor)))); });
    }
    void down(const QString& anchor) { db->execute(statements.downRows(anchor)); }
    void home() { db->execute(statements.homeRows()); }
    void end() {
        db->readTogether(
            [&] { db->execute(statements.endRows(lastKey(statements.endBoundary()))); });
    }
};

enum class PageKind { First, Up, Down, Home, End };
constexpr PageKind PageKinds[] = {PageKind::First, PageKind::Up, PageKind::Down, PageKind::Home,
                                  PageKind::End};
const char* nameOf(PageKind kind) {
    static const char* const names[] = {"first", "up", "down", "home", "end"};
    return names[int(kind)];
}

// A page of the kind; Page Up and Page Down from the key at the given fraction of the range.
void page(GridPages& g, PageKind kind, double fraction) {
    switch (kind) {
        case PageKind::First:
            return g.first();
        case PageKind::Up:
            return g.up(g.at(fraction));
        case PageKind::Down:
            return g.down(g.at(fraction));
        case PageKind::Home:
            return g.home();
        case PageKind::End:
            return g.end();
    }
}

// The worst page kind of one grid and reader: each kind's ratio is the median over rounds of
// the large database's time over the small one's, both reading from a new anchor at the same
// place of their ranges on every call (the anchors walk the whole range, never repeating).
double gridRatio(const QString& name, GridPages& small, GridPages& large) {
    const int calls = 10;
    std::printf("  %-32s %7lld / %-6lld rows:", qPrintable(name), qlonglong(large.keys.size()),
                qlonglong(small.keys.size()));
    double worst = 0;
    const char* worstKind = "";
    for (const PageKind kind : PageKinds) {
        // Golden-ratio steps spread the anchors evenly over the range in any number of calls.
        int s = 0, l = 0;
        const auto fraction = [](int n) { return std::fmod(0.5 + n * 0.6180339887498949, 1.0); };
        const Rounds rounds = measure(
            {[&] { page(small, kind, fraction(s++)); }, [&] { page(large, kind, fraction(l++)); }},
            calls);
        const double ratio = medianRatio(rounds, 1, 0);
        std::printf(" %s %.2f (%.0f us)", nameOf(kind), ratio, medianOf(rounds, 1));
        if (ratio > worst) {
            worst = ratio;
            worstKind = nameOf(kind);
        }
    }
    std::printf("  worst %.2f (%s)%s\n", worst, worstKind,
                small.keys.size() <= HistoryStatements::PageSize ? "  too few rows to page" : "");
    std::fflush(stdout);
    return worst;
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

// Every paged history grid on the small and the large database.
void pageCosts(EmbeddedDatabase& small, EmbeddedDatabase& large) {
    std::printf(
        "(a) history pages of %s and of an item of a few thousand lines, 5 million against 50 "
        "thousand sales lines (per page kind the median over rounds; the large database's time "
        "in brackets):\n",
        qPrintable(Item));
    double worst = 0;
    QString worstGrid;
    const auto measureGrid = [&](const HistoryStatements& statements, const QString& note) {
        GridPages s(small, statements);
        GridPages l(large, statements);
        const HistoryGridInfo info = InfoOf(statements.grid());
        const QString name =
            QStringLiteral("%1 mode %2, %3").arg(info.name).arg(info.mode).arg(note);
        const double ratio = gridRatio(name, s, l);
        if (ratio > worst) {
            worst = ratio;
            worstGrid = name;
        }
    };
    const auto run = [&](HistoryGrid grid, const QString& item, const HistoryReader& reader,
                         const QString& note) {
        measureGrid(HistoryStatements(grid, item, reader), note);
    };
    const QString fewThousand = itemOfAFewThousandLines(large);
    for (const HistoryGrid grid : AllHistoryGrids()) {
        run(grid, Item, everyRight(), QStringLiteral("every right"));
        // Chosen by its sales lines, the item has too few lines of the other kinds in the
        // small database for their pages to compare.
        if (grid == HistoryGrid::Sales)
            run(grid, fewThousand, everyRight(), fewThousand + QStringLiteral(", every right"));
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
    const double itemWorst = std::exchange(worst, 0.0);
    const QString itemWorstGrid = std::exchange(worstGrid, QString());
    measureGrid(HistoryStatements(HistoryGrid::CustomerSales, customer, all, everyRight()),
                customer + QStringLiteral(", every right"));
    measureGrid(HistoryStatements(HistoryGrid::CustomerSales, customer, all, ownSales()),
                customer + QStringLiteral(", without 355"));
    measureGrid(HistoryStatements(HistoryGrid::CustomerRepairs, customer, all, everyRight()),
                customer + QStringLiteral(", every right"));
    std::printf(
        "ratio (a) 5 million / 50 thousand, worst page kind of the customer lookups DG10 and "
        "DG20: %.2f (%s; at most 1.5)\n",
        worst, qPrintable(worstGrid));
    if (itemWorst > worst) {
        worst = itemWorst;
        worstGrid = itemWorstGrid;
    }
    std::printf(
        "ratio (a) 5 million / 50 thousand, worst page kind of all grids: %.2f (%s; at "
        "most 1.5)\n",
        worst, qPrintable(worstGrid));
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
                     for (int i = 0; i < values.size(); ++i) {
                         if (values[i].typeId() == QMetaType::QString) {
                             // Given with its NUL (QByteArray keeps one), a text the rows
                             // hand back is read without a copy to end it.
                             const QByteArray v = values[i].toString().toUtf8();
                             sqlite3_bind_text(statement, i + 1, v.constData(), -1,
                                               SQLITE_TRANSIENT);
                         } else {
                             sqlite3_bind_int64(statement, i + 1, values[i].toLongLong());
                         }
                     }
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
        const auto fraction = [](int n) { return std::fmod(0.5 + n * 0.6180339887498949, 1.0); };
        int f = 0, d = 1;
        const Rounds rounds = measure(
            {[&] { page(g, kind, fraction(std::exchange(f, f + 2))); },
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
        for (const PageKind kind : PageKinds) page(*grids[i], kind, 0.5);
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
                page(*grids[i], kind, fraction);
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
    const QString parts = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("acbdo");
    const auto wanted = [&](char part) { return parts.contains(QLatin1Char(part)); };
    QDir().mkpath(folder);
    auto small = open(folder, QStringLiteral("BENCH50K"), 50000);
    if (wanted('c')) hostileTexts(*small);
    auto large = open(folder, QStringLiteral("BENCH5M"), 5000000);

    if (wanted('a')) pageCosts(*small, *large);
    if (wanted('b')) repeatCost(*large);
    if (wanted('d')) handWrittenCosts(*large);
    small.reset();
    large.reset();
    if (wanted('o')) coldCosts(folder);
    return 0;
}
