#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "ButtonLook.h"
#include "../Controls.h"

namespace {
struct Look {
    QFont font;
    QString sheet;
    bool operator==(const Look&) const = default;
};

Look lookOf(const QPushButton* b) { return {b->font(), b->styleSheet()}; }

char* describe(const Look& look) {
    return qstrdup(qPrintable(QStringLiteral("%1 sheet[%2]").arg(look.font.toString(), look.sheet)));
}
}  // namespace

namespace QTest {
template <>
char* toString(const Look& look) { return describe(look); }
}  // namespace QTest

class ButtonLookTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> window;

    QPushButton* button(int i) const {
        return control<QPushButton>(window.get(), QStringLiteral("B%1").arg(i));
    }

    // Three buttons with the look; the first one is given the focus before the window shows,
    // as the windows of the program do.
    void openWindow() {
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        for (int i = 0; i < 3; ++i) {
            auto* b = new QPushButton(QStringLiteral("按鈕%1").arg(i), window.get());
            b->setObjectName(QStringLiteral("B%1").arg(i));
            layout->addWidget(b);
            InstallButtonLook(b);
        }
        button(0)->setFocus();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTRY_VERIFY(button(0)->hasFocus());
    }

private slots:
    void cleanup() { window.reset(); }

    // The look at start-up, after Tab, after a click and after a focus given by the program are
    // one and the same; a button that loses the focus is exactly as it was before it had it,
    // and no button moves or changes its size with the focus.
    void sameLookHoweverTheFocusCame() {
        openWindow();
        const Look focused = lookOf(button(0));
        const Look normal = lookOf(button(1));
        QCOMPARE(focused.font.pointSize(), 11);
        QVERIFY(focused.font.bold());
        QVERIFY(!focused.sheet.isEmpty());
        QCOMPARE(normal.font.pointSize(), 9);
        QVERIFY(!normal.font.bold());
        QVERIFY(normal.sheet.isEmpty());
        QList<QRect> places;
        for (int i = 0; i < 3; ++i) places << button(i)->geometry();

        QTest::keyClick(button(0), Qt::Key_Tab);
        QTRY_VERIFY(button(1)->hasFocus());
        QCOMPARE(lookOf(button(1)), focused);
        QCOMPARE(lookOf(button(0)), normal);

        QTest::mouseClick(button(2), Qt::LeftButton);
        QTRY_VERIFY(button(2)->hasFocus());
        QCOMPARE(lookOf(button(2)), focused);
        QCOMPARE(lookOf(button(1)), normal);

        button(0)->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(button(0)->hasFocus());
        QCOMPARE(lookOf(button(0)), focused);
        QCOMPARE(lookOf(button(2)), normal);

        // Round and round: nothing of the focused look is left behind.
        for (int i = 0; i < 7; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(lookOf(button(i)), button(i)->hasFocus() ? focused : normal);
        // The focus moved the look, never the buttons.
        QCoreApplication::processEvents();
        for (int i = 0; i < 3; ++i) QCOMPARE(button(i)->geometry(), places[i]);
    }
};

QTEST_MAIN(ButtonLookTest)
#include "tst_buttonlook.moc"
