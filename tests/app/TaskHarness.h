#pragma once

// A person's whole task on a real display server (Xvfb with openbox): the module started as the
// suite starts it, driven by keys typed on whatever control has the focus, the stored rows read
// back afterwards. Every key waits until some control of the main window has the keyboard.
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "../shell/ScriptedDialogs.h"
#include "../suitedb/DemoFolder.h"
#include "Backends.h"
#include "ChildFocus.h"
#include "CurrentPrinter.h"
#include "DbError.h"
#include "DisplayServer.h"
#include "EmbeddedDatabase.h"
#include "MainMenu.h"
#include "ModuleWindows.h"
#include "NoticeWindow.h"
#include "ProgramExit.h"
#include "Session.h"
#include "Startup.h"
#include "ZqMDI.h"

class TaskHarness {
public:
    DemoFolder folder;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<ZqMDI> mdi;

    TaskHarness() : m_cwd(QDir::currentPath()) {
        ProgramExit::throwOnEnd();
        QDir::setCurrent(folder.path());
        dialogs = ScriptedDialogs::install();
        CurrentPrinter::setSystemForTest(QStringList{"HP LaserJet"}, "HP LaserJet");
    }
    ~TaskHarness() {
        stop();
        QDir::setCurrent(m_cwd);
    }

    // Starts the module as "/GO <workstation> <user>" and waits for the menu to take the keyboard.
    // Empty when it did; else why not (a message of start-up, or the main window not active).
    QString start(const QString& user, const QString& workstation = QStringLiteral("0016")) {
        stop();
        Session::reset();
        try {
            RunStartup({.commandLine = "/GO " + workstation + ' ' + user,
                        .programFolder = folder.path(),
                        .place = ZqMDI::placeText(),
                        .connect = [](const QString& f, const LocalSettings& settings) {
                            Connections::setFactory(MakeConnectionFactory(f, settings));
                        }});
        } catch (...) {
            return "start-up ended: " + takeMessages().join('|');
        }
        mdi = std::make_unique<ZqMDI>();
        RegisterModuleWindows(*mdi);
        mdi->resize(1024, 740);
        mdi->show();
        mdi->raise();
        mdi->activateWindow();
        if (!QTest::qWaitForWindowActive(mdi.get(), 10000)) return "the main window is not active";
        mdi->openSession();
        return focusLandsIn("FU") ? QString() : "the menu has not the keyboard";
    }
    void stop() {
        mdi.reset();
        Connections::closeAll();
    }

    static QWidget* focused() { return QApplication::focusWidget(); }
    // A control of the main window has the focus, shown and enabled, while the main window is
    // the active window: the next key works.
    bool keyboardReady() const {
        QWidget* f = focused();
        return mdi && f && f->isVisible() && f->isEnabled() &&
               QApplication::activeWindow() == mdi.get();
    }
    static QString focusedWindow() {
        QWidget* w = ChildWindowOf(focused());
        return w ? w->objectName() : QString();
    }
    // WINDOW/CONTROL of the focus.
    static QString at() {
        return focused() ? focusedWindow() + '/' + focused()->objectName() : QString("-");
    }
    QWidget* openWindow(const QString& name) const {
        for (auto* w : mdi->findChildren<QWidget*>(name))
            if (w->isVisible()) return w;
        return nullptr;
    }
    // A control of an open window that is on screen (of several of that name, the one shown);
    // null when there is none.
    template <class T = QWidget>
    T* shownControl(const QString& window, const QString& name) const {
        QWidget* w = openWindow(window);
        if (!w) return nullptr;
        for (T* c : w->findChildren<T*>(name))
            if (c->isVisible()) return c;
        return nullptr;
    }
    // The grid shows ROWS rows from the top, the last of them not cut off.
    static bool wholePage(const QTableView* grid, int rows) {
        if (!grid || grid->model()->rowCount() != rows || grid->verticalScrollBar()->value() != 0)
            return false;
        return grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(rows - 1, 0)));
    }
    // Waits for a control to have the keyboard, then types the key on it.
    bool press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        if (!QTest::qWaitFor([this] { return keyboardReady(); }, 5000)) {
            qWarning("no control has the keyboard (focus on %s)", qPrintable(at()));
            return false;
        }
        QTest::keyClick(focused(), Qt::Key(key), modifiers);
        QTest::qWait(20);  // the event loop runs between two keys, as it does for a typist
        return true;
    }
    // Types a text a character at a time on the focused control.
    bool type(const QString& text) {
        for (const QChar c : text) {
            if (!QTest::qWaitFor([this] { return keyboardReady(); }, 5000)) return false;
            QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
        QTest::qWait(20);
        return true;
    }
    // The focus comes to rest in WINDOW[/CONTROL].
    bool focusLandsIn(const QString& target) {
        if (QTest::qWaitFor(
                [&] { return keyboardReady() && (at() + '/').startsWith(target + '/'); }, 5000))
            return true;
        qWarning("focus on %s, not %s", qPrintable(at()), qPrintable(target));
        return false;
    }
    // Steps "KEY WINDOW[/CONTROL], ...": a QKeySequence key name (Out: Esc until the window
    // closes; CloseBox: its frame's close box) and where the focus must rest after it. A window
    // left by Esc, Enter or its close box must have closed.
    bool walk(const QString& steps) {
        for (const QString& step : steps.split(", ")) {
            const QString keyName = step.section(' ', 0, 0), target = step.section(' ', 1);
            const QKeyCombination combination = QKeySequence::fromString(keyName)[0];
            const QString from = focusedWindow();
            bool typed = true;
            if (keyName == "Out")
                for (int i = 0; i < 3 && typed && openWindow(from); ++i)
                    typed = press(Qt::Key_Escape);
            else if (keyName == "CloseBox")
                qobject_cast<QMdiSubWindow*>(openWindow(from)->parentWidget())->close();
            else
                typed =
                    combination.key() && press(combination.key(), combination.keyboardModifiers());
            if (!typed || !focusLandsIn(target)) {
                qWarning("at %s", qPrintable(step));
                return false;
            }
            const int key = combination.key();
            const bool leaves = keyName == "Out" || keyName == "CloseBox" ||
                                key == Qt::Key_Escape || key == Qt::Key_Return;
            if (leaves && from != target.section('/', 0, 0) && openWindow(from)) {
                qWarning("%s is still open after %s", qPrintable(from), qPrintable(step));
                return false;
            }
        }
        return true;
    }

    // Makes the printer of that name the current one through F7, by keys (Home, Down until the
    // list shows it, Enter), from where the focus is and back there.
    bool choosePrinter(const QString& name) {
        const QString back = at();
        if (!walk("F7 FPrint/C, Home FPrint/C")) return false;
        auto* list = qobject_cast<QComboBox*>(focused());
        for (int i = 0; list && list->currentText() != name && i < list->count(); ++i)
            if (!walk("Down FPrint/C")) return false;
        return list && list->currentText() == name && walk("Return " + back) &&
               CurrentPrinter::name() == name;
    }

    // Every child window but the menu and the notice line closed; the menu has the keyboard.
    void closeChildren() {
        if (!mdi) return;
        for (QMdiSubWindow* frame : mdi->findChild<QMdiArea*>()->subWindowList())
            if (frame->widget() != mdi->menu() && frame->widget() != mdi->notices()) frame->close();
        QTest::qWait(20);
        mdi->activateWindow();
        mdi->menu()->button(0)->setFocus();
    }
    QStringList takeMessages() { return std::exchange(dialogs->shown, {}); }
    // After a task: no window stays behind, no answer is left over; the messages nobody took.
    QString finish() {
        dialogs->answers.clear();
        closeChildren();
        return takeMessages().join('|');
    }

    // Another workstation's view of the stored rows: a connection of its own. A database error
    // comes back as the text "DbError: ..." in the first cell, so that the check that reads it
    // fails and the other checks still run.
    ResultSets query(const QString& sql) const {
        try {
            EmbeddedDatabase db(folder.database());
            return db.execute(sql);
        } catch (const DbError& e) {
            return {ResultSet{{"error"}, {{"DbError: " + e.description()}}}};
        }
    }
    QString scalar(const QString& sql) const {
        return query(sql).value(0).rows.value(0).value(0).toString();
    }
    // The rows of a statement as "a|b|c" texts.
    QStringList rows(const QString& sql) const {
        QStringList texts;
        for (const QVariantList& row : query(sql).value(0).rows) {
            QStringList cells;
            for (const QVariant& v : row) cells << v.toString().trimmed();
            texts << cells.join('|');
        }
        return texts;
    }

private:
    QString m_cwd;
};

// A task test program: its own X display with a window manager, the xcb platform; without them
// the program runs offscreen and its test class skips.
#define TASK_MAIN(TestClass)                          \
    int main(int argc, char* argv[]) {                \
        DisplayServer server;                         \
        QString why;                                  \
        if (server.start(&why)) {                     \
            qputenv("DISPLAY", server.display());     \
            qputenv("QT_QPA_PLATFORM", "xcb");        \
            qunsetenv("WAYLAND_DISPLAY");             \
        } else {                                      \
            qputenv("QT_QPA_PLATFORM", "offscreen");  \
            qputenv("ZQFU_NO_DISPLAY", why.toUtf8()); \
        }                                             \
        QApplication app(argc, argv);                 \
        TestClass test;                               \
        QTEST_SET_MAIN_SOURCE_PATH                    \
        return QTest::qExec(&test, argc, argv);       \
    }

// Starts the module as the user, failing the test function with the reason when it does not.
#define TASK_START(task, user)                          \
    do {                                                \
        const QString whyNot = (task).start(user);      \
        QVERIFY2(whyNot.isEmpty(), qPrintable(whyNot)); \
    } while (false)

// In initTestCase: skips the program's tests without a display server.
#define TASK_NEEDS_DISPLAY()                                                                    \
    do {                                                                                        \
        if (qEnvironmentVariableIsSet("ZQFU_NO_DISPLAY"))                                       \
            QSKIP(qPrintable("no display server: " + qEnvironmentVariable("ZQFU_NO_DISPLAY"))); \
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));                              \
    } while (false)
