// The module's windows on a real display server with a window manager, driven by keys typed on
// the focused control: where the focus rests after each key, and the lookup's whole page.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include "../Controls.h"
#include "../shell/ScriptedDialogs.h"
#include "../suitedb/DemoFolder.h"
#include "AssetWindow.h"
#include "Backends.h"
#include "ChildFocus.h"
#include "CurrentPrinter.h"
#include "DisplayServer.h"
#include "FieldBox.h"
#include "MainMenu.h"
#include "ModuleWindows.h"
#include "NoticeWindow.h"
#include "ProgramExit.h"
#include "Startup.h"
#include "ZqMDI.h"

namespace {
QString g_noDisplay;  // why no display server could start; empty when one runs
QWidget* focused() { return QApplication::focusWidget(); }
}  // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
    std::unique_ptr<DemoFolder> m_folder;
    std::unique_ptr<ZqMDI> m_mdi;
    QString m_cwd;
    ScriptedDialogs* m_dialogs = nullptr;

    // A control of the main window has the focus while the main window is the active window.
    bool keyboardReady() const {
        QWidget* f = focused();
        return f && f->isVisible() && f->isEnabled() && QApplication::activeWindow() == m_mdi.get();
    }
    static QString focusedWindow() {
        QWidget* w = ChildWindowOf(focused());
        return w ? w->objectName() : QString();
    }
    QWidget* openWindow(const QString& name) const {
        for (auto* w : m_mdi->findChildren<QWidget*>(name))
            if (w->isVisible()) return w;
        return nullptr;
    }
    // Waits for a control to have the focus, then types the key on it.
    bool press(int key) {
        if (!QTest::qWaitFor([this] { return keyboardReady(); }, 5000)) return false;
        QTest::keyClick(focused(), Qt::Key(key));
        QTest::qWait(20);  // the event loop runs between two keys, as it does for a typist
        return true;
    }
    // The focus comes to rest in WINDOW[/CONTROL].
    bool focusLandsIn(const QString& target) {
        const auto at = [] {
            return focused() ? focusedWindow() + '/' + focused()->objectName() + '/' : QString();
        };
        if (QTest::qWaitFor([&] { return keyboardReady() && at().startsWith(target + '/'); }, 5000))
            return true;
        qWarning("focus on %s", qPrintable(at()));
        return false;
    }
    // Steps "KEY WINDOW[/CONTROL], ...": a QKeySequence key name (Out: Esc until the window
    // closes; CloseBox: its frame's close box) and where the focus must rest after it. A window
    // left by Esc, Enter or its close box must have closed.
    bool walk(const QString& steps) {
        for (const QString& step : steps.split(", ")) {
            const QString keyName = step.section(' ', 0, 0), target = step.section(' ', 1);
            const int key = QKeySequence::fromString(keyName)[0].key();
            const QString from = focusedWindow();
            bool typed = true;
            if (keyName == "Out")
                for (int i = 0; i < 3 && typed && openWindow(from); ++i)
                    typed = press(Qt::Key_Escape);
            else if (keyName == "CloseBox")
                qobject_cast<QMdiSubWindow*>(openWindow(from)->parentWidget())->close();
            else
                typed = key && press(key);
            if (!typed || !focusLandsIn(target)) {
                qWarning("at %s", qPrintable(step));
                return false;
            }
            const bool leaves = keyName == "Out" || keyName == "CloseBox" ||
                                key == Qt::Key_Escape || key == Qt::Key_Return;
            if (leaves && from != target.section('/', 0, 0) && openWindow(from)) {
                qWarning("%s is still open after %s", qPrintable(from), qPrintable(step));
                return false;
            }
        }
        return true;
    }

    // Ten rows from the top, the last not cut off.
    static bool wholePage(QTableView* grid) {
        const QRect last = grid->visualRect(grid->model()->index(9, 0));
        return grid->model()->rowCount() == 10 && grid->verticalScrollBar()->value() == 0 &&
               grid->viewport()->rect().contains(last);
    }

private slots:
    void initTestCase() {
        if (!g_noDisplay.isEmpty()) QSKIP(qPrintable("no display server: " + g_noDisplay));
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        ProgramExit::throwOnEnd();
        m_folder = std::make_unique<DemoFolder>();
        m_cwd = QDir::currentPath();
        QDir::setCurrent(m_folder->path());
        m_dialogs = ScriptedDialogs::install();
        CurrentPrinter::setSystemForTest(QStringList{"HP LaserJet"}, "HP LaserJet");
        RunStartup({.commandLine = "/GO 0016 ADM",
                    .programFolder = m_folder->path(),
                    .place = ZqMDI::placeText(),
                    .connect = [](const QString& folder, const LocalSettings& settings) {
                        Connections::setFactory(MakeConnectionFactory(folder, settings));
                    }});
        m_mdi = std::make_unique<ZqMDI>();  // as the program starts its main window
        RegisterModuleWindows(*m_mdi);
        m_mdi->resize(1024, 740);
        m_mdi->show();
        m_mdi->raise();
        m_mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mdi.get(), 10000));
        m_mdi->openSession();
        QVERIFY(focusLandsIn("FU/But(0)"));
    }
    // No test shows a message; a failed step leaves no window behind for the next test.
    void cleanup() {
        for (QMdiSubWindow* frame : m_mdi->findChild<QMdiArea*>()->subWindowList())
            if (frame->widget() != m_mdi->menu() && frame->widget() != m_mdi->notices())
                frame->close();
        QTest::qWait(20);
        m_mdi->activateWindow();
        m_mdi->menu()->button(0)->setFocus();
        const QStringList shown = std::exchange(m_dialogs->shown, {});
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join('|')));
    }
    void cleanupTestCase() {
        m_mdi.reset();
        Connections::closeAll();
        if (!m_cwd.isEmpty()) QDir::setCurrent(m_cwd);
    }

    // A child window closed by Esc, Enter or close box hands the keyboard back where it came from;
    // each inquiry frame takes the keyboard from the list and Esc hands it back.
    void keyboardComesBackAfterEveryChildWindow() {
        QVERIFY(
            walk("A FUA/B1a(0), Out FU/But(0), B FUB/T1(0), Out FU/But(1), C FUC/T1(0), "
                 "Esc FUC/B1(1), Return FU/But(2), F7 FPrint/C, Esc FU/But(2), F7 FPrint/C, "
                 "Return FU/But(2), A FUA/B1a(0), F7 FPrint, Esc FUA/B1a(0), "
                 "PgUp FUA/B1a(0), Out FU/But(0), B FUB, Out FU/But(1), A FUA/B1a(0), "
                 "CloseBox FU/But(0), B FUB, Out FU/But(1), A FUA/B1a(0), F8 FF8/DG1, "
                 "CloseBox FUA/B1a(0), Out FU/But(0), F8 FF8/DG1, PgDown FF8/DG1, Down FF8/DG1"));
        const char* frames[] = {
            "J FF8/T2(0), Esc FF8/DG1",  "Y FF8/T3(0), Esc FF8/DG1",    "M FF8/T6(0), Esc FF8/DG1",
            "A FF8/T8, Esc FF8/DG1",     "Z FF8/T9, Esc FF8/DG1",       "F FF8/T1(0), Esc FF8/DG1",
            "S FF8/DG11, Esc FF8/B1(7)", "H FF8/T5(0), Esc FF8/B1(18)", "E FF8/T7, Esc FF8/B1(20)"};
        const QString again = ", Esc FF8/B1(8), Esc FU/But(0), F8 FF8/DG1";
        for (const QString frame : frames)
            QVERIFY2(walk(frame + (frame.endsWith("DG1") ? QString() : again)), qPrintable(frame));
        QVERIFY(
            walk("X FF8/DG7, PgDown FF8/DG7, PgUp FF8/DG7, End FF8/DG7, Home FF8/DG7, "
                 "Esc FF8/B1(4)" +
                 again));
        // The board: its list, then out by its "Esc 離開".
        QVERIFY(walk("K FF8/DG12, Esc FF8/B5(8), Return FF8/DG1, Esc FF8/B1(8), Return FU/But(0)"));
    }

    // Opened by mouse, the help text stays; the lookup on screen, whole, takes the row clicked.
    void mouseOnTheMenuAndTheLookup() {
        QTest::mouseClick(m_mdi->menu()->button(0), Qt::LeftButton);
        QVERIFY(focusLandsIn("FUA/B1a(0)"));
        QTest::qWait(100);
        QVERIFY(!focused()->statusTip().isEmpty());
        QCOMPARE(m_mdi->statusText(), focused()->statusTip());
        QVERIFY(walk("F FUA/T5, F2 FUA/DGF3"));
        auto* window = qobject_cast<AssetWindow*>(openWindow("FUA"));
        QVERIFY(window);
        auto* grid = control<QTableView>(window, "DGF3");
        const auto global = [](QWidget* w) { return QRect(w->mapToGlobal(QPoint()), w->size()); };
        QVERIFY2(global(window).contains(global(grid)), "the lookup reaches out of its window");
        QVERIFY(global(m_mdi->centralWidget()).contains(global(grid)));
        QVERIFY(grid->screen()->geometry().contains(global(grid)));
        QVERIFY(wholePage(grid));
        for (const QString key : {"PgDown", "Down"})
            QVERIFY2(walk(key + " FUA/DGF3") && wholePage(grid), qPrintable(key));
        const QModelIndex chosen = grid->model()->index(3, 0);
        const QString code = chosen.data().toString().trimmed();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(chosen).center());
        QVERIFY(focusLandsIn("FUA/DGF3"));
        QVERIFY(walk("Return FUA/B1a(3)"));
        QCOMPARE(control<FieldBox>(window, "T2(0)")->text().trimmed(), code);
        QVERIFY(walk("Out FU/But(0)"));
    }
};

int main(int argc, char* argv[]) {
    // The test environment asks for the offscreen platform; this test needs its own X display.
    DisplayServer server;
    if (server.start(&g_noDisplay)) {
        qputenv("DISPLAY", server.display());
        qputenv("QT_QPA_PLATFORM", "xcb");
        qunsetenv("WAYLAND_DISPLAY");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    TestKeyboard test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keyboard.moc"
