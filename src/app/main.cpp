// zqfu: the fixed asset module. The suite starts it as "zqfu /GO 0016 ADM".
#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "Backends.h"
#include "ModuleWindows.h"
#include "Startup.h"
#include "SuiteDatabase.h"
#include "ZqMDI.h"

namespace {
// One copy per user on a workstation: the lock file is released when the process ends,
// however it ends.
QString lockPath() {
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("zqfu-%1.lock").arg(user));
}
}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZQFU"));
    const QString folder = QCoreApplication::applicationDirPath();

    QLockFile lock(lockPath());
    lock.setStaleLockTime(0);

    QStringList words = QCoreApplication::arguments().mid(1);
    StartupEnvironment env;
    env.commandLine = words.join(' ');
    env.programFolder = folder;
    env.programFile = QCoreApplication::applicationFilePath();
    env.place = ZqMDI::placeText();
    env.anotherCopyRunning = [&lock] { return !lock.tryLock(0); };
    // Our stand-in for the suite's setup program lies beside the module.
    env.startSetup = [folder](const QString& command) {
        QStringList args = command.split(' ').mid(1);
        QProcess::startDetached(QDir(folder).filePath(QStringLiteral("zqfu-setup")), args, folder);
    };
    env.connect = [](const QString& settingsFolder, const LocalSettings& settings) {
        Connections::setFactory(MakeConnectionFactory(settingsFolder, settings));
    };

    RunStartup(env);

    ZqMDI mdi;
    RegisterModuleWindows(mdi);
    // The main window takes the whole screen, as the suite's windows do.
    mdi.showMaximized();
    mdi.raise();
    mdi.activateWindow();
    QApplication::processEvents();
    mdi.openSession();
    // The start-up benchmark measures the time to this point: the menu shown and taking keys.
    if (qEnvironmentVariableIsSet("ZQFU_QUIT_WHEN_READY"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int code = QApplication::exec();
    Connections::closeAll();
    return code;
}
