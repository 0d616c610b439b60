#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "ButtonLook.h"

namespace {
struct Look {
    QFont font;
    QString sheet;
    bool operator==(const Look&) const = default;
};

Look lookOf(const QPushButton* b) { return {b->font(), b->styleSheet()}; }

}  // namespace

namespace QTest {
template <>
char* toString(const Look& look) {
    return qstrdup(qPrintable(QString("%1 sheet[%2]").arg(look.font.toString(), look.sheet)));
}
}  // namespace QTest

class ButtonLookTest : public QObject {
    Q_OBJECT

private slots:
    // The look at start-up, after Tab, after a click and after a focus given by the program are
    // one and the same; a button that loses the focus is exactly as it was before it had it,
    // and no button moves or changes its size with the focus.
    void sameLookHoweverTheFocusCame() {
        // Three buttons with the look; the first one is given the focus before the window
        // shows, as the windows of the program do.
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        QPushButton* buttons[3];
        for (int i = 0; i < 3; ++i) {
            buttons[i] = new QPushButton(QStringLiteral("按鈕%1").arg(i), &window);
            layout->addWidget(buttons[i]);
            InstallButtonLook(buttons[i]);
        }
        buttons[0]->setFocus();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_VERIFY(buttons[0]->hasFocus());

        const Look focused = lookOf(buttons[0]);
        const Look normal = lookOf(buttons[1]);
        QVERIFY(focused.font.pointSize() == 11 && focused.font.bold() && !focused.sheet.isEmpty());
        QVERIFY(normal.font.pointSize() == 9 && !normal.font.bold() && normal.sheet.isEmpty());
        QList<QRect> places;
        for (int i = 0; i < 3; ++i) places << buttons[i]->geometry();
        const auto focusMoved = [&](int from, int to) {
            QTRY_VERIFY(buttons[to]->hasFocus());
            QCOMPARE(lookOf(buttons[to]), focused);
            QCOMPARE(lookOf(buttons[from]), normal);
        };

        QTest::keyClick(buttons[0], Qt::Key_Tab);
        focusMoved(0, 1);
        QTest::mouseClick(buttons[2], Qt::LeftButton);
        focusMoved(1, 2);
        buttons[0]->setFocus(Qt::OtherFocusReason);
        focusMoved(2, 0);

        // Round and round: nothing of the focused look is left behind.
        for (int i = 0; i < 7; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(lookOf(buttons[i]), buttons[i]->hasFocus() ? focused : normal);
        // The focus moved the look, never the buttons.
        QCoreApplication::processEvents();
        for (int i = 0; i < 3; ++i) QCOMPARE(buttons[i]->geometry(), places[i]);
    }
};

QTEST_MAIN(ButtonLookTest)
#include "tst_buttonlook.moc"
