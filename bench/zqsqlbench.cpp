// Benchmark of the T-SQL shell's memory: the peak heap of zqsql printing every line of a
// depreciation schedule table of two million lines against one of twenty thousand, in both
// output forms (standard output thrown away). Rows print as they are read, so the ratio should
// stay near 1. The heap is the process's anonymous memory, sampled while it runs; the peak
// resident size, printed beside it, also counts the pages of the database file that SQLite
// reads through a memory map, and so grows with the file whatever the program holds.
// The two databases are made once in the folder given as the first argument (half a minute for
// the large one) and reused by later runs.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "EmbeddedDatabase.h"
#include "SuiteSchema.h"

extern char** environ;

namespace {
constexpr const char* Statement = "SELECT ACODE, ADATE, ATOTA, ASOUR FROM Assets";

// A schedule of that many lines: a thousand assets, a posted line each month.
QString makeDatabase(const QString& folder, int lines) {
    const QString path = folder + QStringLiteral("/SCHEDULE%1.zqdb").arg(lines);
    if (QFile::exists(path)) return path;
    std::printf("making %s with %d lines ...\n", qPrintable(path), lines);
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    const QString part = path + QStringLiteral(".part");
    {
        EmbeddedDatabase db(part, EmbeddedDatabase::OpenMode::Create);
        SqliteConnection& sql = db.connection();
        SuiteSchema::create(sql);
        sql.transaction([&] {
            for (int i = 0; i < lines; ++i)
                sql.exec(QStringLiteral("INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES "
                                        "(?1, ?2, ?3, ?4)"),
                         {QStringLiteral("EQ%1").arg(i % 1000, 4, 10, QLatin1Char('0')),
                          QStringLiteral("%1.%2.28")
                              .arg(100 + i / 12000)
                              .arg(i / 1000 % 12 + 1, 2, 10, QLatin1Char('0')),
                          1234.56 + i % 100, QStringLiteral("JV%1").arg(i)});
        });
    }
    QDir(part + QStringLiteral("-sessions")).removeRecursively();
    QFile::rename(part, path);
    std::printf("  made in %.0f s\n", double(clock.elapsed()) / 1000);
    return path;
}

struct Peak {
    long resident = -1;   // kilobytes, the pages of the mapped file included
    long anonymous = -1;  // kilobytes: the heap, what the program holds
};

// Takes in what /proc tells of the running process now: its resident high-water mark and its
// anonymous memory. False when it is gone.
bool sample(pid_t pid, Peak& peak) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    const auto kilobytes = [](const QByteArray& line) {
        return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLong();
    };
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) peak.resident = std::max(peak.resident, kilobytes(line));
        if (line.startsWith("RssAnon:")) peak.anonymous = std::max(peak.anonymous, kilobytes(line));
    }
    return true;
}

// One run of zqsql printing the whole table, its standard output thrown away.
Peak measure(const QString& database, bool json) {
    const QByteArray program = QFile::encodeName(QStringLiteral(ZQSQL));
    const QByteArray file = QFile::encodeName(database);
    std::vector<const char*> arguments = {program.constData(), "--db", file.constData()};
    if (json) arguments.push_back("--json");
    arguments.push_back("-Q");
    arguments.push_back(Statement);
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.constData(), &actions, nullptr,
                                   const_cast<char* const*>(arguments.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return {};
    // Sampled while it runs: the kernel's own peak of a child (wait4) would count this
    // process's memory, which the child shares until it starts zqsql.
    Peak peak;
    int status = 0;
    while (true) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) break;
        if (ended < 0) return {};
        sample(pid, peak);
        usleep(2000);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return peak;
}
}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(folder);
    const QString small = makeDatabase(folder, 20000);
    const QString large = makeDatabase(folder, 2000000);
    std::printf("zqsql printing every line (%s), peak memory:\n", Statement);
    for (const bool json : {false, true}) {
        const Peak smallPeak = measure(small, json);
        const Peak largePeak = measure(large, json);
        const char* form = json ? "--json" : "tab-separated";
        if (smallPeak.resident < 0 || largePeak.resident < 0) {
            std::printf("  %s: zqsql failed\n", form);
            return 1;
        }
        std::printf(
            "  %-13s heap %6.1f MB (20 thousand rows) against %6.1f MB (2 million): "
            "%.2f; resident with the mapped file %6.1f MB against %6.1f MB\n",
            form, double(smallPeak.anonymous) / 1024, double(largePeak.anonymous) / 1024,
            double(largePeak.anonymous) / double(smallPeak.anonymous),
            double(smallPeak.resident) / 1024, double(largePeak.resident) / 1024);
    }
    return 0;
}
