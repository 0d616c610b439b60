// Child windows hand the keyboard on when they close, never to the notice line; the frames.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "../Controls.h"
#include "ChildFocus.h"
#include "CurrentPrinter.h"
#include "FunctionKeys.h"
#include "MainMenu.h"
#include "ModuleIcon.h"
#include "NoticeWindow.h"
#include "ScriptedDialogs.h"
#include "Session.h"
#include "Twips.h"
#include "UserSettings.h"
#include "WindowHelpers.h"
#include "WindowRegistry.h"
#include "ZqMDI.h"

namespace {
// A child window with two buttons; Esc on either closes it as the module's windows do.
class TestWindow : public QWidget {
public:
    explicit TestWindow(const QString& name) {
        setObjectName(name);
        for (int i = 0; i < 2; ++i) {
            auto* b = new QPushButton(QStringLiteral("B%1").arg(i), this);
            b->setObjectName(QStringLiteral("B(%1)").arg(i));
            b->move(0, 30 * i);
            b->installEventFilter(this);
        }
        resize(200, 80);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape)
            CloseChild(this);
        else
            WindowRegistry::forwardKey(key);
        return true;
    }
};
}  // namespace

class TestChildWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<ZqMDI> m_mdi;
    QPointer<TestWindow> m_window;  // "FUA", opened by the menu's first button

    QWidget* focused() const { return QApplication::focusWidget(); }
    // Types a key on whatever has the focus, lets the event loop run: "window/control" focused.
    QString typed(int key) {
        if (focused()) QTest::keyClick(focused(), Qt::Key(key));
        QTest::qWait(10);
        const QWidget* in = ChildWindowOf(focused());
        return (in ? in->objectName() : "no window") + "/" +
               (focused() ? focused()->objectName() : "nothing");
    }
    QPushButton* button(int i) { return control<QPushButton>(m_window, QString("B(%1)").arg(i)); }

private slots:
    void init() {
        Session::reset();
        Session::current().rightFlags[960] = true;
        WindowRegistry::clear();
        WindowRegistry::setKeyHandler(&HandleFunctionKey);
        ScriptedDialogs::install();
        for (const char* builtIn : {"PDF", "Excel", "CSV"})
            UserSettings::save("Zq2000", "Printer", builtIn, "0");
        CurrentPrinter::setSystemForTest(QStringList{"HP LaserJet", "Epson LQ"}, "HP LaserJet");
        m_mdi = std::make_unique<ZqMDI>();
        WindowRegistry::setOpener("printer", [this] { m_mdi->showPrinterWindow(); });
        WindowRegistry::setOpener("assets", [this] {
            if (!m_window) m_window = new TestWindow("FUA");
            m_mdi->showChild(m_window, 0, 0);
        });
        m_mdi->resize(1024, 740);
        m_mdi->show();
        QVERIFY(QTest::qWaitForWindowActive(m_mdi.get()));
        m_mdi->openSession();
    }
    void cleanup() {
        m_mdi.reset();
        delete m_window;
    }

    // Closed over another child, the keyboard goes back to the control that had it (or the first).
    void keyboardComesBack() {
        QCOMPARE(focused(), m_mdi->menu()->button(0));
        QCOMPARE(typed(Qt::Key_A), QString("FUA/B(0)"));
        button(1)->setFocus();
        QCOMPARE(typed(Qt::Key_F7), QString("FPrint/C"));
        QCOMPARE(typed(Qt::Key_Escape), QString("FUA/B(1)"));
        QCOMPARE(typed(Qt::Key_F7), QString("FPrint/C"));
        button(1)->setEnabled(false);
        QCOMPARE(typed(Qt::Key_Escape), QString("FUA/B(0)"));
        QCOMPARE(typed(Qt::Key_Escape), QString("FU/But(0)"));
        QVERIFY(!m_window);
        // A window the program showed, closed after a click on the notice line: focus to the menu.
        auto* window = new TestWindow("FUX");
        m_mdi->showChild(window, 0, 0);
        QCOMPARE(focused(), window->findChild<QPushButton*>("B(0)"));
        auto* area = m_mdi->findChild<QMdiArea*>();
        area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(m_mdi->notices()->parentWidget()));
        CloseChild(window);
        QVERIFY(focused() && m_mdi->menu()->isAncestorOf(focused()));
        QCOMPARE(area->activeSubWindow()->widget(), m_mdi->menu());
    }

    // Every frame has the module's icon; the notice line stays behind, takes nothing, spans.
    void framesAndTheNoticeLine() {
        auto* area = control<QMdiArea>(m_mdi.get(), "MDIClient");
        auto* notices = qobject_cast<QMdiSubWindow*>(m_mdi->notices()->parentWidget());
        QVERIFY(notices);
        QCOMPARE(typed(Qt::Key_A), QString("FUA/B(0)"));
        QCOMPARE(typed(Qt::Key_F7), QString("FPrint/C"));
        const QImage expected = ModuleIcon().pixmap(32).toImage();
        QCOMPARE(area->subWindowList().size(), 4);  // the notice line, the menu, FUA, the printers
        QCOMPARE(m_mdi->windowIcon().pixmap(32).toImage(), expected);
        for (QMdiSubWindow* frame : area->subWindowList())
            QVERIFY(frame->windowIcon().pixmap(32).toImage() == expected);
        QCOMPARE(area->subWindowList(QMdiArea::StackingOrder).first(), notices);
        QWidget* before = focused();
        QMdiSubWindow* active = area->activeSubWindow();
        const QPoint onNotices(notices->geometry().right() - 4, notices->geometry().center().y());
        QVERIFY(!notices->isAncestorOf(area->viewport()->childAt(onNotices)));
        QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, onNotices);
        QTest::qWait(10);
        QCOMPARE(area->activeSubWindow(), active);
        QCOMPARE(focused(), before);
        area->setActiveSubWindow(notices);
        QVERIFY(area->activeSubWindow() != notices);
        QTRY_COMPARE(area->subWindowList(QMdiArea::StackingOrder).first(), notices);
        QVERIFY(!notices->isAncestorOf(focused()) && focused() != notices);
        m_mdi->resize(800, 740);
        QTest::qWait(10);
        QCOMPARE(notices->width(), area->viewport()->width() - Twips::toPixels(200));
        QCOMPARE(notices->x(), Twips::toPixels(200) / 2);
    }
};

QTEST_MAIN(TestChildWindows)
#include "tst_childwindows.moc"
