// The module's windows on a real display server with a window manager, driven by keys typed on
// the focused control: where the focus rests after each key, and the lookup's whole page.
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>

#include "../Controls.h"
#include "AssetWindow.h"
#include "FieldBox.h"
#include "MainMenu.h"
#include "TaskHarness.h"

class TestKeyboard : public QObject {
    Q_OBJECT
    std::unique_ptr<TaskHarness> m_task;

    QWidget* focused() const { return TaskHarness::focused(); }
    bool focusLandsIn(const QString& target) { return m_task->focusLandsIn(target); }
    bool walk(const QString& steps) { return m_task->walk(steps); }
    QWidget* openWindow(const QString& name) const { return m_task->openWindow(name); }

    static bool wholePage(QTableView* grid) { return TaskHarness::wholePage(grid, 10); }

private slots:
    void initTestCase() {
        TASK_NEEDS_DISPLAY();
        m_task = std::make_unique<TaskHarness>();
        TASK_START(*m_task, "ADM");
    }
    // No test shows a message; a failed step leaves no window behind for the next test.
    void cleanup() {
        const QString unread = m_task->finish();
        QVERIFY2(unread.isEmpty(), qPrintable(unread));
    }
    void cleanupTestCase() { m_task.reset(); }

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
            "J FF8/T2(0), Esc FF8/DG1",
            "Y FF8/T3(0), Esc FF8/DG1",
            "M FF8/T6(0), Esc FF8/DG1",
            "A FF8/T8, Esc FF8/DG1",
            "Z FF8/T9, Esc FF8/DG1",
            "F FF8/T1(0), Tab FF8/T1(1), Esc FF8/T1(0), Esc FF8/B2(0), Esc FF8/DG1",
            "S FF8/DG11, Esc FF8/B1(7)",
            "H FF8/T5(0), Esc FF8/B1(18)",
            "E FF8/T7, Esc FF8/B1(20)"};
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
        QTest::mouseClick(m_task->mdi->menu()->button(0), Qt::LeftButton);
        QVERIFY(focusLandsIn("FUA/B1a(0)"));
        QTest::qWait(100);
        QVERIFY(!focused()->statusTip().isEmpty());
        QCOMPARE(m_task->mdi->statusText(), focused()->statusTip());
        // The pointer over another button does not take the status line from the focused one.
        QStatusTipEvent hover(m_task->mdi->menu()->button(1)->statusTip());
        QApplication::sendEvent(m_task->mdi->menu()->button(1), &hover);
        QVERIFY(m_task->mdi->statusBar()->currentMessage().isEmpty());
        QCOMPARE(m_task->mdi->statusText(), focused()->statusTip());
        QVERIFY(walk("F FUA/T5, F2 FUA/DGF3"));
        auto* window = qobject_cast<AssetWindow*>(openWindow("FUA"));
        QVERIFY(window);
        auto* grid = control<QTableView>(window, "DGF3");
        const auto global = [](QWidget* w) { return QRect(w->mapToGlobal(QPoint()), w->size()); };
        QVERIFY2(global(window).contains(global(grid)), "the lookup reaches out of its window");
        QVERIFY(global(m_task->mdi->centralWidget()).contains(global(grid)));
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

TASK_MAIN(TestKeyboard)

#include "tst_keyboard.moc"
