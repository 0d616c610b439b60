// Benchmark of the item inquiry's list procedure SP_F8, printed as ratios measured in one run:
//   (a) a page of the item list for every key number (99, 13, 33, 34, 35, 36, 38, 40, 80)
//       with a million items against a thousand, each call anchored at another item code
//       drawn from the whole list; the worst key's ratio should be at most 1.5;
//   (b) opening the list (key 99) with 5 million history lines against 50 thousand, on the
//       history databases that tsqlbench leaves in the same folder (skipped when they are
//       not there); the list reads no history, so it should stay near 1.
// The two item databases are made once in the folder given as the first argument (a minute
// or two for the large one) and reused by later runs; their item tables are read through
// before they are measured, so that pages the system has let go of are not read from disk.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>

#include "BenchRounds.h"
#include "EmbeddedDatabase.h"
#include "HistoryData.h"
#include "ItemCatalogue.h"
#include "SqlLiteral.h"
#include "SuiteSchema.h"

namespace {
constexpr int Keys[] = {99, 13, 33, 34, 35, 36, 38, 40, 80};
constexpr int TextsPerKey = 4096;

// Reads every row of the tables the list reads through the database's own connection, so
// that their pages are in memory and mapped as they are in a workstation that has been
// listing for a while: what is measured is the work of a page, not the disk.
void warm(EmbeddedDatabase& db) {
    for (const char* scan :
         {"SELECT SUM(length(ISPACE)) FROM ITEM", "SELECT SUM(length(ENA13)) FROM ITEM1",
          "SELECT SUM(STOPSALE) FROM ITEM3"})
        db.connection().scalar(QLatin1String(scan));
}

std::unique_ptr<EmbeddedDatabase> openCatalogue(const QString& folder, const QString& name,
                                                int items) {
    const QString path = folder + u'/' + name + QStringLiteral(".zqdb");
    const bool exists = QFile::exists(path);
    auto db = std::make_unique<EmbeddedDatabase>(
        path, exists ? EmbeddedDatabase::OpenMode::Existing : EmbeddedDatabase::OpenMode::Create);
    if (!exists) {
        std::printf("making %s with %d items ...\n", qPrintable(path), items);
        std::fflush(stdout);
    }
    QElapsedTimer clock;
    clock.start();
    FillLargeCatalogue(*db, items);
    if (!exists) std::printf("  made in %.0f s\n", double(clock.elapsed()) / 1000);
    warm(*db);
    return db;
}

// The call as the window sends it, the options bare.
QString call(int key, const QString& code) {
    return QStringLiteral("EXEC SP_F8 'DG1','True',%1,'01','',%2,'',0,1,''")
        .arg(SqlLiteral(QVariant(key)), SqlLiteral(code));
}

// The texts of one key on a list of `items` items: the keys that page from an item get an
// item code from anywhere in the list, every text another.
QStringList texts(int key, int items) {
    QStringList out;
    const bool anchored = key != 99 && key != 35 && key != 36;
    for (int i = 0; i < TextsPerKey; ++i) {
        const int index =
            int(ItemCatalogue::mix(std::uint64_t(key), std::uint64_t(i)) % std::uint64_t(items));
        out << call(key, anchored ? QString::fromUtf8(ItemCatalogue::item(index).code) : QString());
    }
    return out;
}

// Every page of the list holds fifteen items.
bool fullList(const ResultSets& sets) { return sets.value(1).rows.size() == 15; }
using Caller = TextCaller<EmbeddedDatabase, bool (*)(const ResultSets&)>;

// (a): the pages of every key on both lists, small and large in turn.
void pageCosts(EmbeddedDatabase& small, int smallItems, EmbeddedDatabase& large, int largeItems) {
    std::vector<std::function<void()>> works;
    for (int key : Keys) {
        works.push_back(Caller{small, texts(key, smallItems), fullList});
        works.push_back(Caller{large, texts(key, largeItems), fullList});
    }
    const Rounds rounds = measure(works, 40);
    double worst = 0;
    int worstKey = 0;
    for (size_t k = 0; k < std::size(Keys); ++k) {
        const double ratio = medianRatio(rounds, 2 * k + 1, 2 * k);
        std::printf("key %2d: %6.1f us with %d items, %6.1f us with %d, ratio %.2f\n", Keys[k],
                    medianOf(rounds, 2 * k), smallItems, medianOf(rounds, 2 * k + 1), largeItems,
                    ratio);
        if (ratio > worst) {
            worst = ratio;
            worstKey = Keys[k];
        }
    }
    std::printf("ratio (a) worst key (%d), 1 million / 1 thousand items: %.2f (at most 1.5)\n",
                worstKey, worst);
    std::fflush(stdout);
}

// (b): opening on the history databases of tsqlbench.
void openingCost(const QString& folder) {
    const QString small = folder + QStringLiteral("/BENCH50K.zqdb");
    const QString large = folder + QStringLiteral("/BENCH5M.zqdb");
    if (!QFile::exists(small) || !QFile::exists(large)) {
        std::printf("(b) skipped: run tsqlbench first for the history databases\n");
        return;
    }
    EmbeddedDatabase s(small);
    EmbeddedDatabase l(large);
    SuiteSchema::create(s.connection());  // columns added since the files were made
    SuiteSchema::create(l.connection());
    const QString open = call(99, QString());
    std::vector<std::function<void()>> works = {Caller{s, {open}, fullList},
                                                Caller{l, {open}, fullList}};
    const Rounds rounds = measure(works, 100);
    std::printf("opening: %.1f us with 50 thousand history lines, %.1f us with 5 million\n",
                medianOf(rounds, 0), medianOf(rounds, 1));
    std::printf("ratio (b) opening, 5 million / 50 thousand history lines: %.2f (about 1)\n",
                medianRatio(rounds, 1, 0));
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(folder);
    constexpr int SmallItems = 1000;
    constexpr int LargeItems = 1000000;
    auto small = openCatalogue(folder, QStringLiteral("ITEMS1K"), SmallItems);
    auto large = openCatalogue(folder, QStringLiteral("ITEMS1M"), LargeItems);
    pageCosts(*small, SmallItems, *large, LargeItems);
    openingCost(folder);
    return 0;
}
