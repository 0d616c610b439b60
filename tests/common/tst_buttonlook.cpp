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

class ButtonLookTest : public QObject {
    Q_OBJECT

private slots:
    // One look for the focused button however the focus came; none moves or changes its size.
    void sameLookHoweverTheFocusCame() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        QPushButton* buttons[3];
        QList<QRect> places;
        for (int i = 0; i < 3; ++i) {
            layout->addWidget(buttons[i] = new QPushButton(QStringLiteral("按鈕%1").arg(i)));
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
        QCoreApplication::processEvents();
        for (int i = 0; i < 3; ++i) QCOMPARE(buttons[i]->geometry(), places[i]);
    }
};

QTEST_MAIN(ButtonLookTest)
#include "tst_buttonlook.moc"
