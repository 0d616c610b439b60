// Child windows of the main window hand the keyboard on when they close, never to the notice
// line; the notice line and the frames of the main window.
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
    // Types a key on whatever has the focus and lets the event loop run; the focus must then be
    // on the named control of the named window.
    bool typeTo(int key, const QString& window, const QString& name) {
        if (focused()) QTest::keyClick(focused(), Qt::Key(key));
        QTest::qWait(10);
        QWidget* in = ChildWindowOf(focused());
        if (in && in->objectName() == window && focused()->objectName() == name) return true;
        qWarning("after key %x the focus is on %s in %s", key,
                 qPrintable(focused() ? focused()->objectName() : "nothing"),
                 qPrintable(in ? in->objectName() : "no window"));
        return false;
    }
    QPushButton* button(int i) { return control<QPushButton>(m_window, QString("B(%1)").arg(i)); }

private slots:
    void init() {
        Session::reset();
        Session::current().rightFlags[960] = true;
        WindowRegistry::clear();
        WindowRegistry::setKeyHandler(&HandleFunctionKey);
        ScriptedDialogs::install();
        UserSettings::save("Zq2000", "Printer", "PDF", "0");
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

    // Closed over another child window, the keyboard goes back to the control that had it, or
    // to the first one if that was disabled meanwhile (the rest on a display: tst_keyboard).
    void keyboardComesBack() {
        QCOMPARE(focused(), m_mdi->menu()->button(0));
        QVERIFY(typeTo(Qt::Key_A, "FUA", "B(0)"));
        button(1)->setFocus();
        QVERIFY(typeTo(Qt::Key_F7, "FPrint", "C"));
        QVERIFY(typeTo(Qt::Key_Escape, "FUA", "B(1)"));
        QVERIFY(typeTo(Qt::Key_F7, "FPrint", "C"));
        button(1)->setEnabled(false);
        QVERIFY(typeTo(Qt::Key_Escape, "FUA", "B(0)"));
        QVERIFY(typeTo(Qt::Key_Escape, "FU", "But(0)"));
        QVERIFY(!m_window);
    }

    // Every frame shows the module's icon, never Qt's logo. The notice line stays behind, takes
    // nothing (clicks go through, activation is passed on) and spans the main window's width.
    void framesAndTheNoticeLine() {
        auto* area = control<QMdiArea>(m_mdi.get(), "MDIClient");
        auto* notices = qobject_cast<QMdiSubWindow*>(m_mdi->notices()->parentWidget());
        QVERIFY(notices);
        QVERIFY(typeTo(Qt::Key_A, "FUA", "B(0)"));
        QVERIFY(typeTo(Qt::Key_F7, "FPrint", "C"));
        const QImage expected = ModuleIcon().pixmap(32).toImage();
        QCOMPARE(m_mdi->windowIcon().pixmap(32).toImage(), expected);
        QCOMPARE(area->subWindowList().size(), 4);  // the notice line, the menu, FUA, the printers
        for (QMdiSubWindow* frame : area->subWindowList())
            QVERIFY2(frame->windowIcon().pixmap(32).toImage() == expected,
                     qPrintable(frame->widget()->objectName()));
        QCOMPARE(area->subWindowList(QMdiArea::StackingOrder).first(), notices);

        QWidget* before = focused();
        QMdiSubWindow* active = area->activeSubWindow();
        const QPoint onNotices(notices->geometry().right() - 4, notices->geometry().center().y());
        QVERIFY(!area->viewport()->childAt(onNotices) ||
                !notices->isAncestorOf(area->viewport()->childAt(onNotices)));
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

    // The notice line takes no keys: a window that the program showed by itself, closed after
    // the notice line was clicked, hands the keyboard to the menu.
    void noticeLineIsPassedOver() {
        auto* window = new TestWindow("FUX");
        m_mdi->showChild(window, 0, 0);
        QCOMPARE(focused(), window->findChild<QPushButton*>("B(0)"));
        auto* area = m_mdi->findChild<QMdiArea*>();
        area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(m_mdi->notices()->parentWidget()));
        CloseChild(window);
        QVERIFY(focused() && m_mdi->menu()->isAncestorOf(focused()));
        QCOMPARE(area->activeSubWindow()->widget(), m_mdi->menu());
    }
};

QTEST_MAIN(TestChildWindows)
#include "tst_childwindows.moc"
