// Start-up of the module as the suite starts it ("zqfu /GO 0016 ADM" on the embedded demo
// database, the offscreen platform), from the process's start to the main menu taking keys:
// the median of 15 starts on a quiet machine and while two busy loops keep both cores busy.
// Should be at most 0.5 s either way.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchRounds.h"

namespace {
double startOnce(const QString& bin) {
    QProcess module;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ZQFU_QUIT_WHEN_READY"), QStringLiteral("1"));
    module.setProcessEnvironment(env);
    module.setWorkingDirectory(bin);
    QElapsedTimer clock;
    clock.start();
    module.start(QDir(bin).filePath(QStringLiteral("zqfu")),
                 {QStringLiteral("/GO"), QStringLiteral("0016"), QStringLiteral("ADM")});
    if (!module.waitForFinished(30000) || module.exitCode() != 0)
        qFatal("zqfu did not start and end: %s", module.readAllStandardError().constData());
    return double(clock.nsecsElapsed()) / 1e9;
}

double medianStart(const QString& bin) {
    std::vector<double> times;
    for (int i = 0; i < 15; ++i) times.push_back(startOnce(bin));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();
    // The demo database and settings file beside the module, made once as scripts/run does.
    if (!QFile::exists(QDir(bin).filePath(QStringLiteral("ZqSrvUse.dat"))) &&
        QProcess::execute(QDir(bin).filePath(QStringLiteral("zqfu-setup")), {}) != 0)
        qFatal("zqfu-setup failed");
    startOnce(bin);  // the libraries and the database file in the system's cache
    const double quiet = medianStart(bin);
    double loaded = 0;
    {
        const BusyCores load;
        loaded = medianStart(bin);
    }
    std::printf("start-up to the main menu: %.2f s quiet, %.2f s with both cores busy (median of "
                "15; at most 0.5)\n",
                quiet, loaded);
    return 0;
}
