// zqfu: the fixed asset module. The suite starts it as "zqfu /GO 0016 ADM".
#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

#include "AssetWindow.h"
#include "Backends.h"
#include "FunctionKeys.h"
#include "Startup.h"
#include "SuiteDatabase.h"
#include "ValueHelpers.h"
#include "WindowRegistry.h"
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
    WindowRegistry::setKeyHandler(&HandleFunctionKey);

    RunStartup(env);

    ZqMDI mdi;
    WindowRegistry::setOpener(QStringLiteral("printer"), [&mdi] { mdi.showPrinterWindow(); });
    QPointer<AssetWindow> assets;
    WindowRegistry::setOpener(QStringLiteral("assets"), [&mdi, &assets] {
        if (assets) {
            mdi.showChild(assets, 0, 0);
            return;
        }
        assets = new AssetWindow;
        CenterChild(mdi.showChild(assets, 0, 0));
        assets->open();
    });
    mdi.resize(1024, 740);
    mdi.show();
    mdi.raise();
    mdi.activateWindow();
    QApplication::processEvents();
    mdi.openSession();
    const int code = QApplication::exec();
    Connections::closeAll();
    return code;
}
