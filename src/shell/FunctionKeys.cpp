#include "FunctionKeys.h"

#include "CurrentPrinter.h"
#include "Dialogs.h"
#include "Session.h"
#include "UserSettings.h"
#include "WindowRegistry.h"

void HandleFunctionKey(int key, Qt::KeyboardModifiers) {
    const Session& s = Session::current();
    switch (key) {
        case Qt::Key_F7:
            if (!CurrentPrinter::name()) {
                Dialogs::showMessage(QStringLiteral("未安裝印表機!"));
                return;
            }
            WindowRegistry::open(QStringLiteral("printer"));
            return;
        case Qt::Key_F8:
            if (s.sessionOpen) WindowRegistry::open(QStringLiteral("inquiry"));
            return;
        case Qt::Key_F6:
            UserSettings::save(QStringLiteral("Zq2000"), QStringLiteral("Picture"),
                               QStringLiteral("Any"), s.currentItemCode);
            return;
        default: return;  // F9, F10 and every other key
    }
}
