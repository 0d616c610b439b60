// Benchmarks of the embedded database's T-SQL front end, printed as ratios measured in one run:
//   (a) a 15-row page of the busy item's sales history (first page, a page in the middle, the
//       oldest page, with the composite text key) with 5 million sales lines against 50
//       thousand; should be at most 1.5;
//   (b) a statement repeated with other values through the front end against the same query
//       prepared once directly in SQLite; should be at most 1.3;
//   (c) the slowest answer to a hostile text (deep nesting, a million terms, a huge IN list,
//       an oversized CHAR): rows or a refusal, in milliseconds; should stay within seconds.
// The two databases are made once in the folder given as the first argument (minutes for the
// large one) and reused by later runs.
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "DbError.h"
#include "EmbeddedDatabase.h"
#include "HistoryData.h"
#include "ItemCatalogue.h"

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

QString last(const ResultSet& set, int column) {
    return set.rows.isEmpty() ? QString() : set.rows.last().value(column).toString();
}

// The three pages as the history grid reads them (two statements for the first page).
struct Pages {
    EmbeddedDatabase& db;
    QString middle;  // the key of the item's middle line

    void first() {
        const ResultSet bound =
            db.execute(QStringLiteral("SELECT TOP 15 %1 AS HINX%2 ORDER BY HCOD1 DESC,HSEQ DESC")
                           .arg(Key, Filter))[0];
        rows(QStringLiteral("SELECT ") + Columns + Filter + QStringLiteral(" AND ") + Key +
             QStringLiteral(" >= '") + last(bound, 0) + QStringLiteral("' ORDER BY HCOD1,HSEQ"));
    }
    void inTheMiddle() {
        rows(QStringLiteral("SELECT TOP 15 ") + Columns + Filter + QStringLiteral(" AND ") + Key +
             QStringLiteral(" >= '") + middle + QStringLiteral("' ORDER BY HCOD1,HSEQ"));
    }
    void oldest() {
        rows(QStringLiteral("SELECT TOP 15 ") + Columns + Filter +
             QStringLiteral(" ORDER BY HCOD1,HSEQ"));
    }
    void rows(const QString& text) {
        if (db.execute(text)[0].rows.size() != 15)
            qFatal("a page without 15 rows: %s", qPrintable(text));
    }
};

// The works run in turn, round after round; per round, the microseconds per call of each.
// Short rounds taken in turn let a load on the machine that comes and goes weigh on all the
// works alike, and a ratio is then taken within each round.
using Rounds = std::vector<std::vector<double>>;

Rounds measure(const std::vector<std::function<void()>>& works, int calls) {
    Rounds rounds;
    for (int r = 0; r < 31; ++r) {
        std::vector<double>& round = rounds.emplace_back();
        for (const std::function<void()>& work : works) {
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < calls; ++i) work();
            round.push_back(double(timer.nsecsElapsed()) / 1000.0 / calls);
        }
    }
    return rounds;
}

// The median over the rounds of what the function makes of one round.
double median(const Rounds& rounds, const std::function<double(const std::vector<double>&)>& of) {
    std::vector<double> values;
    for (const std::vector<double>& round : rounds) values.push_back(of(round));
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString middleKey(EmbeddedDatabase& db) {
    SqliteConnection& c = db.connection();
    const qlonglong n =
        c.scalar(QStringLiteral("SELECT COUNT(*) FROM HISTIN WHERE HICOD = ?1"), {Item})
            .toLongLong();
    const ResultSet row = c.query(
        QStringLiteral("SELECT HCOD1, HSEQ FROM HISTIN WHERE HICOD = ?1 ORDER BY HCOD1, HSEQ "
                       "LIMIT 1 OFFSET ?2"),
        {Item, n / 2});
    return row.rows[0][0].toString().leftJustified(11, u' ') +
           QString::number(10000 + row.rows[0][1].toLongLong());
}

// The three pages on the small and the large database, in turn.
void pageCosts(EmbeddedDatabase& small, EmbeddedDatabase& large) {
    Pages s{small, middleKey(small)};
    Pages l{large, middleKey(large)};
    const Rounds rounds =
        measure({[&] { s.first(); }, [&] { s.inTheMiddle(); }, [&] { s.oldest(); },
                 [&] { l.first(); }, [&] { l.inTheMiddle(); }, [&] { l.oldest(); }},
                20);
    const auto smallPages = [](const std::vector<double>& r) { return r[0] + r[1] + r[2]; };
    const auto largePages = [](const std::vector<double>& r) { return r[3] + r[4] + r[5]; };
    std::printf(
        "history pages (first + middle + oldest): %.1f us with 50 thousand lines, %.1f us "
        "with 5 million\n",
        median(rounds, smallPages), median(rounds, largePages));
    std::printf("ratio (a) 5 million / 50 thousand: %.2f (at most 1.5)\n",
                median(rounds, [&](const std::vector<double>& r) {
                    return largePages(r) / smallPages(r);
                }));
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
                             const QByteArray v = values[i].toString().toUtf8();
                             sqlite3_bind_text(statement, i + 1, v.constData(), int(v.size()),
                                               SQLITE_TRANSIENT);
                         } else {
                             sqlite3_bind_int64(statement, i + 1, values[i].toLongLong());
                         }
                     }
                     const int columns = sqlite3_column_count(statement);
                     while (sqlite3_step(statement) == SQLITE_ROW)
                         for (int i = 0; i < columns; ++i) sqlite3_column_text(statement, i);
                 },
                 [&] {
                     const auto& p = prepared[next[2]++ % prepared.size()];
                     c.query(p.sql, p.values);
                 }},
                200);
    const auto at = [](size_t work) {
        return [work](const std::vector<double>& r) { return r[work]; };
    };
    std::printf("repeated statement: %.1f us through the front end, %.1f us prepared directly\n",
                median(rounds, at(0)), median(rounds, at(1)));
    std::printf("(the translated statement through SqliteConnection::query: %.1f us)\n",
                median(rounds, at(2)));
    std::printf("ratio (b) front end / direct: %.2f (at most 1.3)\n",
                median(rounds, [](const std::vector<double>& r) { return r[0] / r[1]; }));
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

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(folder);
    auto small = open(folder, QStringLiteral("BENCH50K"), 50000);
    hostileTexts(*small);
    auto large = open(folder, QStringLiteral("BENCH5M"), 5000000);

    pageCosts(*small, *large);
    repeatCost(*large);
    return 0;
}
