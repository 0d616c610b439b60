#include <QAbstractButton>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "Dialogs.h"

using Dialogs::Answer;
using Dialogs::Buttons;

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // Chinese captions; the preselected answer is the default, Esc gives the negative one.
    void buttonsInChinese() {
        const QString ok = "確定", cancel = "取消", yes = "是(&Y)", no = "否(&N)";
        const struct {
            Buttons buttons;
            Answer preselected;
            QStringList captions;  // the buttons' in sorted order, then the default's and Esc's
        } rows[] = {{Buttons::Ok, Answer::Ok, {ok, ok, ok}},
                    {Buttons::YesNo, Answer::No, {no, yes, no, no}},
                    {Buttons::YesNo, Answer::Yes, {no, yes, yes, no}},
                    {Buttons::OkCancel, Answer::Ok, {cancel, ok, ok, cancel}}};
        for (const auto& [buttons, preselected, captions] : rows) {
            const auto box =
                Dialogs::buildBox(QStringLiteral("資料列印完畢!請按下確定"), buttons, preselected);
            QStringList shown;
            for (QAbstractButton* b : box->buttons()) shown << b->text();
            shown.sort();
            QVERIFY(box->defaultButton() && box->escapeButton());
            QCOMPARE(shown << box->defaultButton()->text() << box->escapeButton()->text(),
                     captions);
            QCOMPARE(box->windowTitle(), QCoreApplication::applicationName());
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
        }
    }

    // A message quoting stored data shows it as text, never loads what markup names, and is
    // bounded: a notice of 5,000 characters shows its first 2,000.
    void storedTextIsPlain() {
        const QString notice = QStringLiteral("<img src=\"file:///dev/zero\"><b>x</b>");
        const auto box = Dialogs::buildBox(notice, Buttons::YesNo, Answer::No);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->text(), notice);
        box->show();  // with rich text, showing it would read the device until memory runs out
        QCOMPARE(Dialogs::buildBox(QString(5000, u'x'), Buttons::Ok, Answer::Ok)->text().size(),
                 2001);
    }

    // A one-character message and one button under a long title: the box is as wide as the title.
    void neverNarrowerThanTitle() {
        QCoreApplication::setApplicationName(
            QStringLiteral("固定資產管理系統─固定資產異動處理作業"));
        const auto box = Dialogs::buildBox(QStringLiteral("!"), Buttons::Ok, Answer::Ok);
        const int titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
        QVERIFY(box->layout());
        QVERIFY2(box->layout()->totalMinimumSize().width() > titleWidth,
                 qPrintable(QString::number(box->layout()->totalMinimumSize().width())));
        box->show();
        QVERIFY(box->width() > titleWidth);
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
