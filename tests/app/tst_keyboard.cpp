// The module's windows on a real display server with a window manager, driven by keys only:
// every key goes to the control that has the focus, as it would from the clerk's keyboard.
// After any child window closes the keyboard must still reach a control (the menu, or the
// window underneath), and the lookup must show its whole page where it can be seen and take
// the row the mouse chose.
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

// Step keys that are not typed: Out presses Esc until the focused window closes (a field steps
// back to the cancel button first); CloseBox closes the focused window's frame as its close box
// does.
constexpr int Out = 0;
constexpr int CloseBox = -1;

// A key and where the focus must come to rest after it: the window, and the control if named.
struct Step {
    int key;
    const char* window;
    const char* control = nullptr;
};
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
    QString focusedWindow() const {
        QWidget* w = ChildWindowOf(focused());
        return w ? w->objectName() : QString();
    }
    // Where the keyboard is, for the failure messages.
    QString where() const {
        const auto name = [](QWidget* w) {
            return w ? QString("%1 %2%3").arg(w->metaObject()->className(), w->objectName(),
                                              w->isVisible() ? "" : " (hidden)")
                     : QString("nothing");
        };
        return QString("focus on %1 in %2, active window %3")
            .arg(name(focused()), focusedWindow(), name(QApplication::activeWindow()));
    }
    QWidget* openWindow(const QString& name) const {
        for (auto* w : m_mdi->findChildren<QWidget*>(name))
            if (w->isVisible()) return w;
        return nullptr;
    }
    // Waits for a control to have the focus, then types the key on it.
    bool press(int key) {
        if (!QTest::qWaitFor([this] { return keyboardReady(); }, 5000)) {
            qWarning("no control takes key %x (%s)", key, qPrintable(where()));
            return false;
        }
        QTest::keyClick(focused(), Qt::Key(key));
        QTest::qWait(20);  // the event loop runs between two keys, as it does for a typist
        return true;
    }
    // The focus comes to rest in the named window (and on the named control, if given).
    bool focusLandsIn(const QString& window, const QString& controlName = {}) {
        const bool landed = QTest::qWaitFor(
            [&] {
                return keyboardReady() && focusedWindow() == window &&
                       (controlName.isEmpty() || focused()->objectName() == controlName);
            },
            5000);
        if (!landed)
            qWarning("expected %s in %s, %s", qPrintable(controlName), qPrintable(window),
                     qPrintable(where()));
        return landed;
    }
    // Takes the steps one after the other; a window left by Esc, Enter or its close box must
    // have closed.
    bool walk(std::initializer_list<Step> steps) {
        for (const Step& s : steps) {
            const QString from = focusedWindow();
            bool typed = true;
            if (s.key == Out)
                for (int i = 0; i < 3 && typed && openWindow(from); ++i)
                    typed = press(Qt::Key_Escape);
            else if (s.key == CloseBox)
                qobject_cast<QMdiSubWindow*>(openWindow(from)->parentWidget())->close();
            else
                typed = press(s.key);
            if (!typed || !focusLandsIn(s.window, s.control)) return false;
            const bool leaves = s.key == Out || s.key == CloseBox || s.key == Qt::Key_Escape ||
                                s.key == Qt::Key_Return;
            if (leaves && from != s.window && openWindow(from)) {
                qWarning("%s is still open after the key that left it", qPrintable(from));
                return false;
            }
        }
        return true;
    }

    // What keeps a lookup from showing its whole page of ten rows; empty when nothing does.
    static QString pageProblem(QTableView* grid) {
        if (grid->model()->rowCount() != 10)
            return QString("%1 rows on the page").arg(grid->model()->rowCount());
        if (grid->verticalScrollBar()->value() != 0) return "the rows are scrolled";
        for (int row = 0; row < 10; ++row)
            if (!grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(row, 0))))
                return QString("row %1 is not wholly shown").arg(row);
        return {};
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
        StartupEnvironment env;
        env.commandLine = "/GO 0016 ADM";
        env.programFolder = m_folder->path();
        env.place = ZqMDI::placeText();
        env.connect = [](const QString& folder, const LocalSettings& settings) {
            Connections::setFactory(MakeConnectionFactory(folder, settings));
        };
        RunStartup(env);

        // As the program starts its main window.
        m_mdi = std::make_unique<ZqMDI>();
        RegisterModuleWindows(*m_mdi);
        m_mdi->resize(1024, 740);
        m_mdi->show();
        m_mdi->raise();
        m_mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mdi.get(), 10000));
        m_mdi->openSession();
        QVERIFY(focusLandsIn("FU", "But(0)"));
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

    // Each child window closed with Esc, Enter or its close box hands the keyboard back: to
    // the menu button that opened it, or to the control it was opened from in the window
    // underneath, which answers its keys again.
    void keyboardComesBackAfterEveryChildWindow() {
        QVERIFY(walk({
            {Qt::Key_A, "FUA", "B1a(0)"},
            {Out, "FU", "But(0)"},
            {Qt::Key_B, "FUB", "T1(0)"},
            {Out, "FU", "But(1)"},
            {Qt::Key_C, "FUC", "T1(0)"},
            {Qt::Key_Escape, "FUC", "B1(1)"},  // back to "Esc 取消", which Enter presses
            {Qt::Key_Return, "FU", "But(2)"},
            {Qt::Key_F7, "FPrint", "C"},
            {Qt::Key_Escape, "FU", "But(2)"},
            {Qt::Key_F7, "FPrint", "C"},
            {Qt::Key_Return, "FU", "But(2)"},  // takes the printer
            {Qt::Key_A, "FUA", "B1a(0)"},
            {Qt::Key_F7, "FPrint"},
            {Qt::Key_Escape, "FUA", "B1a(0)"},
            {Qt::Key_PageUp, "FUA", "B1a(0)"},
            {Out, "FU", "But(0)"},
            {Qt::Key_B, "FUB"},
            {Out, "FU", "But(1)"},
            {Qt::Key_A, "FUA", "B1a(0)"},
            {CloseBox, "FU", "But(0)"},
            {Qt::Key_B, "FUB"},  // at once: the keyboard handed back late must not take it
            {Out, "FU", "But(1)"},
            {Qt::Key_A, "FUA", "B1a(0)"},
            {Qt::Key_F8, "FF8", "DG1"},
            {CloseBox, "FUA", "B1a(0)"},
            {Out, "FU", "But(0)"},
        }));
    }

    // The item inquiry from the menu: every frame takes the keyboard when its letter is pressed
    // on the list and hands it back when Esc leaves it, to the list or to its mode button; Esc
    // on a mode button goes on to "Esc 離開", which Esc or Enter leaves by.
    void inquiryByKeys() {
        QVERIFY(walk({{Qt::Key_F8, "FF8", "DG1"},
                      {Qt::Key_PageDown, "FF8", "DG1"},
                      {Qt::Key_Down, "FF8", "DG1"}}));
        const struct {
            Qt::Key letter;
            const char* field;
            const char* back;
        } frames[] = {
            {Qt::Key_J, "T2(0)", "DG1"},  {Qt::Key_Y, "T3(0)", "DG1"},
            {Qt::Key_M, "T6(0)", "DG1"},  {Qt::Key_A, "T8", "DG1"},
            {Qt::Key_Z, "T9", "DG1"},     {Qt::Key_F, "T1(0)", "DG1"},
            {Qt::Key_S, "DG11", "B1(7)"}, {Qt::Key_H, "T5(0)", "B1(18)"},
            {Qt::Key_E, "T7", "B1(20)"},
        };
        for (const auto& f : frames) {
            QVERIFY2(walk({{f.letter, "FF8", f.field}, {Qt::Key_Escape, "FF8", f.back}}), f.field);
            if (QLatin1String(f.back) != QLatin1String("DG1"))
                QVERIFY2(walk({{Qt::Key_Escape, "FF8", "B1(8)"},
                               {Qt::Key_Escape, "FU", "But(0)"},
                               {Qt::Key_F8, "FF8", "DG1"}}),
                         f.field);
        }
        // A history grid's page keys, each read by statements of its own, leave the keyboard
        // in the grid; Esc hands it to the grid's mode button.
        QVERIFY(walk({{Qt::Key_X, "FF8", "DG7"},
                      {Qt::Key_PageDown, "FF8", "DG7"},
                      {Qt::Key_PageUp, "FF8", "DG7"},
                      {Qt::Key_End, "FF8", "DG7"},
                      {Qt::Key_Home, "FF8", "DG7"},
                      {Qt::Key_Escape, "FF8", "B1(4)"},
                      {Qt::Key_Escape, "FF8", "B1(8)"},
                      {Qt::Key_Escape, "FU", "But(0)"},
                      {Qt::Key_F8, "FF8", "DG1"}}));
        QVERIFY(walk({
            {Qt::Key_K, "FF8", "DG12"},  // the board: its list, then out by its "Esc 離開"
            {Qt::Key_Escape, "FF8", "B5(8)"},
            {Qt::Key_Return, "FF8", "DG1"},
            {Qt::Key_Escape, "FF8", "B1(8)"},
            {Qt::Key_Return, "FU", "But(0)"},
        }));
    }

    // The asset window opened with the mouse: the focused control's help text is in the status
    // line, not wiped by the late focus-out of the menu button that was clicked. The asset
    // lookup under the find box at the bottom of that window: the whole grid inside the window
    // and on the screen, ten rows with none scrolled away, and a row chosen with the mouse is
    // the row Enter takes.
    void mouseOnTheMenuAndTheLookup() {
        QTest::mouseClick(m_mdi->menu()->button(0), Qt::LeftButton);
        QVERIFY(focusLandsIn("FUA", "B1a(0)"));
        QTest::qWait(100);
        QVERIFY(!focused()->statusTip().isEmpty());
        QCOMPARE(m_mdi->statusText(), focused()->statusTip());
        QVERIFY(walk({{Qt::Key_F, "FUA", "T5"}, {Qt::Key_F2, "FUA", "DGF3"}}));
        auto* window = qobject_cast<AssetWindow*>(openWindow("FUA"));
        QVERIFY(window);
        auto* grid = control<QTableView>(window, "DGF3");
        const auto placed = [grid](QWidget* in) {
            return QRect(grid->mapTo(in, QPoint()), grid->size());
        };
        QVERIFY2(window->rect().contains(placed(window)), "the lookup reaches out of its window");
        QVERIFY(m_mdi->centralWidget()->geometry().contains(placed(m_mdi.get())));
        QVERIFY(
            grid->screen()->geometry().contains(QRect(grid->mapToGlobal(QPoint()), grid->size())));
        QCOMPARE(pageProblem(grid), QString());
        for (int key : {Qt::Key_PageDown, Qt::Key_Down}) {
            QVERIFY(walk({{key, "FUA", "DGF3"}}));
            QCOMPARE(pageProblem(grid), QString());
        }

        const QModelIndex chosen = grid->model()->index(3, 0);
        const QString code = chosen.data().toString().trimmed();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(chosen).center());
        QVERIFY(focusLandsIn("FUA", "DGF3"));
        QVERIFY(walk({{Qt::Key_Return, "FUA", "B1a(3)"}}));
        QCOMPARE(window->currentCode().trimmed(), code);
        QCOMPARE(control<FieldBox>(window, "T2(0)")->text().trimmed(), code);
        QVERIFY(walk({{Out, "FU", "But(0)"}}));
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
