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
            QStringList captions;  // the buttons', then the default's and Esc's
        } rows[] = {{Buttons::Ok, Answer::Ok, {ok, ok, ok}},
                    {Buttons::YesNo, Answer::No, {yes, no, no, no}},
                    {Buttons::YesNo, Answer::Yes, {yes, no, yes, no}},
                    {Buttons::OkCancel, Answer::Ok, {ok, cancel, ok, cancel}}};
        for (const auto& [buttons, preselected, captions] : rows) {
            const auto box =
                Dialogs::buildBox(QStringLiteral("資料列印完畢!請按下確定"), buttons, preselected);
            QStringList shown, expected = captions.mid(0, captions.size() - 2);
            for (QAbstractButton* b : box->buttons()) shown << b->text();
            shown.sort();
            expected.sort();
            QVERIFY(box->defaultButton() && box->escapeButton());
            QCOMPARE(shown << box->defaultButton()->text() << box->escapeButton()->text(),
                     expected << captions.mid(captions.size() - 2));
            QCOMPARE(box->windowTitle(), QCoreApplication::applicationName());
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
        }
    }

    // A one-character message under a long title: the box is at least as wide as the title.
    void neverNarrowerThanTitle() {
        QCoreApplication::setApplicationName(
            QStringLiteral("固定資產管理系統─固定資產異動處理作業"));
        for (const Buttons buttons : {Buttons::Ok, Buttons::YesNo, Buttons::OkCancel}) {
            const auto box = Dialogs::buildBox(QStringLiteral("!"), buttons, Answer::Ok);
            const int titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
            QVERIFY(box->layout());
            QVERIFY2(box->layout()->totalMinimumSize().width() > titleWidth,
                     qPrintable(QString::number(box->layout()->totalMinimumSize().width())));
            box->show();
            QVERIFY(box->width() > titleWidth);
            box->hide();
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
