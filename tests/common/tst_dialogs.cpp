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
    // Every button the user sees is in Chinese, the preselected answer is the default and Esc
    // gives the negative one.
    void buttonsInChinese_data() {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Answer>("preselected");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("defaultCaption");
        QTest::addColumn<QString>("escapeCaption");
        const QString ok = "確定", cancel = "取消", yes = "是(&Y)", no = "否(&N)";
        QTest::newRow("message") << Buttons::Ok << Answer::Ok << QStringList{ok} << ok << ok;
        QTest::newRow("yes/no, no preselected")
            << Buttons::YesNo << Answer::No << QStringList{yes, no} << no << no;
        QTest::newRow("yes/no, yes preselected")
            << Buttons::YesNo << Answer::Yes << QStringList{yes, no} << yes << no;
        QTest::newRow("ok/cancel")
            << Buttons::OkCancel << Answer::Ok << QStringList{ok, cancel} << ok << cancel;
    }
    void buttonsInChinese() {
        QFETCH(Buttons, buttons);
        QFETCH(Answer, preselected);
        QFETCH(QStringList, expected);
        QFETCH(QString, defaultCaption);
        QFETCH(QString, escapeCaption);
        const auto box =
            Dialogs::buildBox(QStringLiteral("資料列印完畢!請按下確定"), buttons, preselected);
        QStringList captions;
        for (QAbstractButton* b : box->buttons()) captions << b->text();
        captions.sort();
        expected.sort();
        QCOMPARE(captions, expected);
        QVERIFY(box->defaultButton() && box->escapeButton());
        QCOMPARE(box->defaultButton()->text(), defaultCaption);
        QCOMPARE(box->escapeButton()->text(), escapeCaption);
        QCOMPARE(box->windowTitle(), QCoreApplication::applicationName());
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
    }

    // A one-character message under a long title: the box is laid out at least as wide as the
    // title's text, shown or not.
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
