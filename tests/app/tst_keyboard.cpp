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
#include "Session.h"
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

    static QString describe(QWidget* w) {
        return w ? QString("%1 %2").arg(w->metaObject()->className(), w->objectName())
                 : QString("nothing");
    }
    // A control of the main window has the focus while the main window is the active window.
    bool keyboardReady() const {
        QWidget* f = focused();
        return f && f->isVisible() && f->isEnabled() && QApplication::activeWindow() == m_mdi.get();
    }
    QString focusedWindow() const {
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
        if (!QTest::qWaitFor([this] { return keyboardReady(); }, 5000)) {
            qWarning("no control has the focus before key %x (focus: %s, active window: %s)", key,
                     qPrintable(describe(focused())),
                     qPrintable(describe(QApplication::activeWindow())));
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
            qWarning("focus is on %s%s in %s (main window %s), expected %s in %s",
                     qPrintable(describe(focused())),
                     focused() && !focused()->isVisible() ? " (hidden)" : "",
                     qPrintable(focusedWindow()),
                     QApplication::activeWindow() == m_mdi.get() ? "active" : "not active",
                     qPrintable(controlName), qPrintable(window));
        return landed;
    }
    // Presses Esc until the window closes (a field steps back to the cancel button first).
    bool escapeFrom(const QString& window) {
        for (int i = 0; i < 3 && openWindow(window); ++i)
            if (!press(Qt::Key_Escape)) return false;
        return !openWindow(window);
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
    // A failed step leaves no window behind for the next test.
    void cleanup() {
        for (QMdiSubWindow* frame : m_mdi->findChild<QMdiArea*>()->subWindowList())
            if (frame->widget() != m_mdi->menu() && frame->widget() != m_mdi->notices())
                frame->close();
        QTest::qWait(20);
        m_mdi->activateWindow();
        m_mdi->menu()->button(0)->setFocus();
    }
    void cleanupTestCase() {
        m_mdi.reset();
        Connections::closeAll();
        if (!m_cwd.isEmpty()) QDir::setCurrent(m_cwd);
    }

    // Each child window opened with its key and closed with Esc or Enter hands the keyboard
    // back: to the menu button that opened it, or to the window it was opened from.
    void keyboardComesBackAfterEveryChildWindow() {
        QVERIFY(press(Qt::Key_A));
        QVERIFY(focusLandsIn("FUA", "B1a(0)"));
        QVERIFY(escapeFrom("FUA"));
        QVERIFY(focusLandsIn("FU", "But(0)"));

        QVERIFY(press(Qt::Key_B));
        QVERIFY(focusLandsIn("FUB", "T1(0)"));
        QVERIFY(escapeFrom("FUB"));
        QVERIFY(focusLandsIn("FU", "But(1)"));

        QVERIFY(press(Qt::Key_C));
        QVERIFY(focusLandsIn("FUC", "T1(0)"));
        QVERIFY(press(Qt::Key_Escape));  // back to "Esc 取消", which Enter presses
        QVERIFY(focusLandsIn("FUC", "B1(1)"));
        QVERIFY(press(Qt::Key_Return));
        QVERIFY(!openWindow("FUC"));
        QVERIFY(focusLandsIn("FU", "But(2)"));

        QVERIFY(press(Qt::Key_F7));
        QVERIFY(focusLandsIn("FPrint", "C"));
        QVERIFY(press(Qt::Key_Escape));
        QVERIFY(focusLandsIn("FU", "But(2)"));
        QVERIFY(press(Qt::Key_F7));
        QVERIFY(focusLandsIn("FPrint", "C"));
        QVERIFY(press(Qt::Key_Return));  // takes the printer
        QVERIFY(focusLandsIn("FU", "But(2)"));

        // The printer choice over the asset window gives the keyboard back to that window.
        QVERIFY(press(Qt::Key_A));
        QVERIFY(focusLandsIn("FUA", "B1a(0)"));
        QVERIFY(press(Qt::Key_F7));
        QVERIFY(focusLandsIn("FPrint"));
        QVERIFY(press(Qt::Key_Escape));
        QVERIFY(focusLandsIn("FUA", "B1a(0)"));
        QVERIFY(press(Qt::Key_PageUp));  // the window answers its keys again
        QVERIFY(escapeFrom("FUA"));
        QVERIFY(focusLandsIn("FU", "But(0)"));

        QVERIFY(press(Qt::Key_B));
        QVERIFY(focusLandsIn("FUB"));
        QVERIFY(escapeFrom("FUB"));
        QVERIFY(focusLandsIn("FU", "But(1)"));
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));
    }

    // A window closed by its close box hands the keyboard back as Esc does, also when it
    // was opened over another window.
    void keyboardComesBackAfterTheCloseBox() {
        const auto closeBox = [this](const QString& name) {
            auto* frame = qobject_cast<QMdiSubWindow*>(openWindow(name)->parentWidget());
            frame->close();  // what the frame's close box does
        };
        QVERIFY(press(Qt::Key_A));
        QVERIFY(focusLandsIn("FUA", "B1a(0)"));
        closeBox("FUA");
        QVERIFY(focusLandsIn("FU", "But(0)"));
        QVERIFY(press(Qt::Key_A));
        QVERIFY(focusLandsIn("FUA", "B1a(0)"));
        QVERIFY(press(Qt::Key_F8));
        QVERIFY(focusLandsIn("FF8", "DG1"));
        closeBox("FF8");
        QVERIFY(focusLandsIn("FUA", "B1a(0)"));
        QVERIFY(escapeFrom("FUA"));
        QVERIFY(focusLandsIn("FU", "But(0)"));
    }

    // A window opened with the mouse: the focused control's help text is in the status line,
    // not wiped by the late focus-out of the menu button that was clicked.
    void statusTextAfterAMouseOpen() {
        QTest::mouseClick(m_mdi->menu()->button(0), Qt::LeftButton);
        QVERIFY(focusLandsIn("FUA"));
        QTest::qWait(100);
        QVERIFY(!focused()->statusTip().isEmpty());
        QCOMPARE(m_mdi->statusText(), focused()->statusTip());
        QVERIFY(escapeFrom("FUA"));
        QVERIFY(focusLandsIn("FU", "But(0)"));
    }

    // The item inquiry from the menu: the list, a mode's grid over it and back, Esc to
    // "Esc 離開" and Enter on it; the keyboard is never lost.
    void inquiryByKeys() {
        QVERIFY(press(Qt::Key_F8));
        QVERIFY(focusLandsIn("FF8", "DG1"));
        QVERIFY(press(Qt::Key_PageDown));
        QVERIFY(focusLandsIn("FF8", "DG1"));
        QVERIFY(press(Qt::Key_Down));
        QVERIFY(press(Qt::Key_S));  // stock per warehouse over the list
        QVERIFY(focusLandsIn("FF8", "DG11"));
        QVERIFY(press(Qt::Key_Escape));
        QVERIFY(focusLandsIn("FF8", "B1(7)"));
        QVERIFY(press(Qt::Key_Escape));  // from a mode button to "Esc 離開"
        QVERIFY(focusLandsIn("FF8", "B1(8)"));
        QVERIFY(press(Qt::Key_Return));
        QVERIFY(!openWindow("FF8"));
        QVERIFY(focusLandsIn("FU", "But(0)"));
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));
    }

    // Every frame of the inquiry takes the keyboard when its letter is pressed on the list and
    // hands it back when Esc leaves it: to the list, or to its mode button.
    void inquiryFramesByKeys() {
        QVERIFY(press(Qt::Key_F8));
        QVERIFY(focusLandsIn("FF8", "DG1"));
        const struct {
            Qt::Key letter;
            const char* field;
            const char* back;
        } frames[] = {
            {Qt::Key_J, "T2(0)", "DG1"},  {Qt::Key_Y, "T3(0)", "DG1"}, {Qt::Key_M, "T6(0)", "DG1"},
            {Qt::Key_A, "T8", "DG1"},     {Qt::Key_Z, "T9", "DG1"},    {Qt::Key_F, "T1(0)", "DG1"},
            {Qt::Key_H, "T5(0)", "B1(18)"}, {Qt::Key_E, "T7", "B1(20)"},
        };
        for (const auto& f : frames) {
            QVERIFY(press(f.letter));
            QVERIFY2(focusLandsIn("FF8", f.field), f.field);
            QVERIFY(press(Qt::Key_Escape));
            QVERIFY2(focusLandsIn("FF8", f.back), f.field);
            if (QLatin1String(f.back) != QLatin1String("DG1")) {
                QVERIFY(press(Qt::Key_Escape));  // the mode button hands on to "Esc 離開"
                QVERIFY(press(Qt::Key_Escape));
                QVERIFY(!openWindow("FF8"));
                QVERIFY(press(Qt::Key_F8));
                QVERIFY(focusLandsIn("FF8", "DG1"));
            }
        }
        QVERIFY(press(Qt::Key_K));  // the board: its list, then out by "Esc 離開"
        QVERIFY(focusLandsIn("FF8", "DG12"));
        QVERIFY(press(Qt::Key_Escape));
        QVERIFY(focusLandsIn("FF8", "B5(8)"));
        QVERIFY(press(Qt::Key_Return));
        QVERIFY(focusLandsIn("FF8", "DG1"));
        QVERIFY(press(Qt::Key_Escape));
        QVERIFY(focusLandsIn("FF8", "B1(8)"));
        QVERIFY(press(Qt::Key_Return));
        QVERIFY(!openWindow("FF8"));
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));
    }

    // The asset lookup under the find box at the bottom of the asset window: the whole grid
    // inside the window and on the screen, ten rows with none scrolled away, and a row chosen
    // with the mouse is the row Enter takes.
    void lookupSeenWholeAndAgreeingWithTheMouse() {
        QVERIFY(press(Qt::Key_A));
        QVERIFY(focusLandsIn("FUA", "B1a(0)"));
        auto* window = qobject_cast<AssetWindow*>(openWindow("FUA"));
        QVERIFY(window);
        QVERIFY(press(Qt::Key_F));
        QVERIFY(focusLandsIn("FUA", "T5"));
        QVERIFY(press(Qt::Key_F2));
        QVERIFY(focusLandsIn("FUA", "DGF3"));
        auto* grid = control<QTableView>(window, "DGF3");

        const QRect inWindow(grid->mapTo(window, QPoint(0, 0)), grid->size());
        QVERIFY2(window->rect().contains(inWindow), "the lookup reaches out of its window");
        const QRect onScreen(grid->mapToGlobal(QPoint(0, 0)), grid->size());
        QVERIFY(grid->screen()->geometry().contains(onScreen));
        const QRect inArea(grid->mapTo(m_mdi.get(), QPoint(0, 0)), grid->size());
        QVERIFY(m_mdi->centralWidget()->geometry().contains(inArea));
        QCOMPARE(pageProblem(grid), QString());
        QVERIFY(press(Qt::Key_PageDown));
        QCOMPARE(pageProblem(grid), QString());
        QVERIFY(press(Qt::Key_Down));
        QCOMPARE(pageProblem(grid), QString());

        const QModelIndex chosen = grid->model()->index(3, 0);
        const QString code = chosen.data().toString().trimmed();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(chosen).center());
        QVERIFY(focusLandsIn("FUA", "DGF3"));
        QVERIFY(press(Qt::Key_Return));
        QCOMPARE(window->currentCode().trimmed(), code);
        QCOMPARE(control<FieldBox>(window, "T2(0)")->text().trimmed(), code);
        QVERIFY(focusLandsIn("FUA", "B1a(3)"));
        QVERIFY(escapeFrom("FUA"));
        QVERIFY(focusLandsIn("FU", "But(0)"));
        QVERIFY2(m_dialogs->shown.isEmpty(), qPrintable(m_dialogs->shown.join('|')));
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
