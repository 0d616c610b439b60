// Benchmark of the F2 code lookups, printed as ratios measured in one run: a page of
// SF_ZQ2K_ASSET_F2 for every mode (36 first, 35 last, 33 up to the anchor, 34 and 40 from it,
// 38 one code before it) with a million assets against a thousand, each call anchored at
// another code drawn from the whole register and with a pattern of the code's first letters
// every other call, as the lookup sends them; the same for the statements of the SQL back end
// (the account lookup's kind); the worst mode's ratio of each should be at most 1.5.
// The two registers are made once in the folder given as the first argument.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>

#include "BenchRounds.h"
#include "EmbeddedDatabase.h"
#include "ItemCatalogue.h"
#include "LookupSource.h"
#include "SqlLiteral.h"
#include "SuiteSchema.h"
#include "Values.h"

namespace {
constexpr int Modes[] = {36, 35, 33, 34, 40, 38};
constexpr int TextsPerMode = 2048;

QString code(int i) { return QStringLiteral("F%1").arg(i, 7, 10, QLatin1Char('0')); }

std::unique_ptr<EmbeddedDatabase> openRegister(const QString& folder, int assets) {
    const QString path = folder + QStringLiteral("/LOOKUP%1.zqdb").arg(assets);
    const bool exists = QFile::exists(path);
    auto db = std::make_unique<EmbeddedDatabase>(
        path, exists ? EmbeddedDatabase::OpenMode::Existing : EmbeddedDatabase::OpenMode::Create);
    if (!exists) {
        std::printf("making %s with %d assets ...\n", qPrintable(path), assets);
        std::fflush(stdout);
        SqliteConnection& c = db->connection();
        SuiteSchema::create(c);
        c.exec(QStringLiteral("BEGIN"));
        for (int i = 0; i < assets; ++i)
            c.exec(QStringLiteral("INSERT INTO Asset (ACODE, ANAME) VALUES (?1, ?2)"),
                   {code(i), QStringLiteral("資產%1").arg(i)});
        c.exec(QStringLiteral("COMMIT"));
    }
    db->connection().scalar(QStringLiteral("SELECT SUM(length(ANAME)) FROM Asset"));
    return db;
}

// The texts of one mode on a register of `assets` codes: the procedure's calls or, for the SQL
// back end, the statements of the account lookup's kind on the asset table.
QStringList texts(int mode, int assets, bool sql) {
    static const SqlLookupSource statements(QStringLiteral("Asset"), QStringLiteral("ACODE"),
                                            QStringLiteral("ANAME"));
    QStringList out;
    for (int i = 0; i < TextsPerMode; ++i) {
        const int at = int(ItemCatalogue::mix(std::uint64_t(mode), std::uint64_t(i)) %
                           std::uint64_t(assets));
        const QString anchor = code(at);
        const QString pattern = i % 2 ? LikePrefix(anchor.left(3)) : LikePrefix(QString());
        const QString from = mode == 36 || mode == 35 ? QString() : anchor;
        out << (sql ? statements.pageCommand(LookupPage(mode), from, pattern)
                    : QStringLiteral("SF_ZQ2K_ASSET_F2 %1,%2,%3")
                          .arg(mode)
                          .arg(SqlLiteral(from), SqlLiteral(pattern)));
    }
    return out;
}

bool somePage(const ResultSets& sets) { return !sets.isEmpty() && !sets[0].rows.isEmpty(); }
using Caller = TextCaller<EmbeddedDatabase, bool (*)(const ResultSets&)>;
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(folder);
    auto small = openRegister(folder, 1000);
    auto large = openRegister(folder, 1000000);
    std::printf("F2 lookup pages, a million assets against a thousand (median over rounds):\n");
    for (const bool sql : {false, true}) {
        const char* backEnd = sql ? "SQL statements" : "procedure";
        double worst = 0;
        int worstMode = 0;
        for (int mode : Modes) {
            Caller a{*large, texts(mode, 1000000, sql), somePage};
            Caller b{*small, texts(mode, 1000, sql), somePage};
            const Rounds rounds = measure({std::ref(a), std::ref(b)}, 64);
            const double ratio = medianRatio(rounds, 0, 1);
            std::printf("  %s, mode %d: %.2f (%.0f us against %.0f us)\n", backEnd, mode, ratio,
                        medianOf(rounds, 0), medianOf(rounds, 1));
            if (ratio > worst) worst = ratio, worstMode = mode;
        }
        std::printf("ratio F2 lookup 1 million / 1 thousand, %s, worst mode (%d): %.2f (at "
                    "most 1.5)\n",
                    backEnd, worstMode, worst);
    }
    return 0;
}
