#include "CriteriaKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "Clock.h"
#include "Values.h"

namespace {
QString todayText() { return DateToRoc(Clock::today()); }

QString monthsBack(const QString& roc, int months) {
    return DateToRoc(RocToDate(roc).addMonths(-months));
}

void putAndMoveOn(QLineEdit* box, const QString& text) {
    box->setText(text);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &tab);
}
}  // namespace

void SwapTexts(QLineEdit* boxA, QLineEdit* boxB) {
    const QString a = boxA->text();
    const QString b = boxB->text();
    boxB->setText(a);
    boxA->setText(b);
}

bool FromDateKeys(int keyCode, QLineEdit* box) {
    const QString today = todayText();
    const QString firstOfMonth = today.left(7) + QStringLiteral("01");
    const QString firstOfYear = today.left(4) + QStringLiteral("01.01");
    switch (keyCode) {
        case Qt::Key_F2:
            putAndMoveOn(box, firstOfMonth);
            return true;
        case Qt::Key_F3:
            putAndMoveOn(box, monthsBack(firstOfMonth, 1));
            return true;
        case Qt::Key_F4:
            putAndMoveOn(box, firstOfYear);
            return true;
        case Qt::Key_F5:
            putAndMoveOn(box, monthsBack(firstOfYear, 12));
            return true;
        default:
            return false;
    }
}

bool ToDateKeys(int keyCode, QLineEdit* box) {
    const QString today = todayText();
    switch (keyCode) {
        case Qt::Key_F2:
            putAndMoveOn(box, today);
            return true;
        case Qt::Key_F3:
            putAndMoveOn(box,
                         DateToRoc(RocToDate(today.left(7) + QStringLiteral("01")).addDays(-1)));
            return true;
        case Qt::Key_F4:
            putAndMoveOn(box, monthsBack(today.left(4) + QStringLiteral("12.31"), 12));
            return true;
        default:
            return false;
    }
}
