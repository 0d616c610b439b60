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
#include "DetailReport.h"
#include "FunctionKeys.h"
#include "Startup.h"
#include "SummaryReport.h"
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
    // The windows of the menu: one of each, brought forward when open, centred when new.
    QPointer<AssetWindow> assets;
    QPointer<SummaryReport> summary;
    QPointer<DetailReport> detail;
    const auto opener = [&mdi](auto& window, auto create) {
        return [&mdi, &window, create] {
            if (window) {
                mdi.showChild(window, 0, 0);
                return;
            }
            window = create();
            CenterChild(mdi.showChild(window, 0, 0));
        };
    };
    WindowRegistry::setOpener(QStringLiteral("assets"), opener(assets, [] {
        auto* w = new AssetWindow;
        w->open();
        return w;
    }));
    WindowRegistry::setOpener(QStringLiteral("summary"), opener(summary, [] { return new SummaryReport; }));
    WindowRegistry::setOpener(QStringLiteral("detail"), opener(detail, [] { return new DetailReport; }));
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
